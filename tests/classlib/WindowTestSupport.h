#pragma once
// Shared by the window tests: a log of what handlers saw, and a hidden test window.

#include "classlib/CWnd.h"

#include <functional>
#include <string>
#include <vector>

namespace wintest {

inline std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

// A hidden top-level window of our plain class.
inline bool CreateHidden(CWnd& wnd, const wchar_t* title = L"test") {
    return wnd.CreateEx(0, nullptr, title, WS_OVERLAPPEDWINDOW, RECT{0, 0, 300, 200}, nullptr, 0);
}

inline bool CreateChild(CWnd& wnd, CWnd& parent, UINT id) {
    return wnd.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 50, 50}, parent.m_hWnd, id);
}

// Dispatches whatever is queued for this thread (without the pre-translate walk).
inline void DrainQueue() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Dispatches what comes until `done` holds, waking on each new message (timers included); false when
// it still does not hold after `timeoutMs`, which is generous so that a loaded machine passes too.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        DrainQueue();
        if (done())
            return true;
        if (::GetTickCount() - start > timeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

// A key held down or let go in this thread's keyboard state, as GetKeyState reads it while posted keys
// are taken (Shift and Ctrl with their left keys).
inline void SetKey(int key, bool down) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[key] = down ? 0x80 : 0;
    if (key == VK_SHIFT)
        keys[VK_LSHIFT] = keys[key];
    if (key == VK_CONTROL)
        keys[VK_LCONTROL] = keys[key];
    ::SetKeyboardState(keys);
}

struct IdSearch {
    int id;
    HWND found;
};

inline BOOL CALLBACK MatchId(HWND child, LPARAM p) {
    auto* search = reinterpret_cast<IdSearch*>(p);
    if (::GetDlgCtrlID(child) != search->id)
        return TRUE;
    search->found = child;
    return FALSE;
}

// The first window among parent's descendants with the control id, or null.
inline HWND DescendantWithId(HWND parent, int id) {
    IdSearch search{id, nullptr};
    ::EnumChildWindows(parent, MatchId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace wintest
