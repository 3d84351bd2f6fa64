#pragma once
// Shared by the window tests: a log of what handlers saw, a hidden test window, and what the X display
// shows of a window.

#include "classlib/CWnd.h"
#include "classlib/PixelSurface.h"

#include <algorithm>
#include <cstdint>
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

// What the X display shows of a rectangle of the screen, read from outside Wine with xwd, so that a
// paint Wine never copied to the display is seen as missing: from the X window of the top-level window
// given (a layered pop-up reads back black from the root), else from the root. False when xwd cannot be
// run or read.
inline bool DisplayPixels(const RECT& area, PixelSurface& out, HWND topLevel = nullptr) {
    // Named for the display, the process and the read: Wine numbers processes per prefix.
    static int serial = 0;
    wchar_t display[32] = L"";
    ::GetEnvironmentVariableW(L"DISPLAY", display, 32);
    const std::wstring name = L"/tmp/trelvo-xwd" + std::wstring(display + (display[0] == L':')) + L"-" +
                              std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(::GetTickCount()) +
                              L"-" + std::to_wstring(++serial);
    const auto xid = reinterpret_cast<uintptr_t>(topLevel ? ::GetPropA(topLevel, "__wine_x11_whole_window") : nullptr);
    RECT origin{};
    if (xid)
        ::GetWindowRect(topLevel, &origin);
    const std::wstring source = xid ? L"-id " + std::to_wstring(xid) : L"-root";
    // Wine runs a Unix program as it is; the picture is whole once renamed to its name.
    std::wstring command = L"/bin/sh -c \"xwd " + source + L" -silent >" + name + L".part && mv " + name + L".part " + name + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // Wine hands back no handles of a Unix program (whatever lies in the fields is none of ours): nothing
    // is closed.
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(L"Z:\\bin\\sh", &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return false;
    std::wstring path = L"Z:" + name;
    for (wchar_t& c : path)
        c = c == L'/' ? L'\\' : c;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int tries = 0; tries < 1000 && file == INVALID_HANDLE_VALUE; ++tries) {
        file = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            ::Sleep(10);
    }
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::vector<uint8_t> data(::GetFileSize(file, nullptr));
    DWORD read = 0;
    const bool whole = ::ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &read, nullptr) && read == data.size();
    ::CloseHandle(file);
    // The header's 32-bit fields are big-endian; a pixel is 0x00RRGGBB in three or four bytes of the
    // image's byte order.
    auto field = [&](int i) {
        const uint8_t* p = &data[static_cast<size_t>(4 * i)];
        return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
    };
    if (!whole || data.size() < 100 || (field(11) != 24 && field(11) != 32))
        return false;
    const uint32_t width = field(4), height = field(5), lsbFirst = field(7) == 0, line = field(12);
    const size_t bytes = field(11) / 8;
    const size_t start = field(0) + static_cast<size_t>(field(19)) * 12;
    if (line < width * bytes || start + static_cast<size_t>(line) * height > data.size() ||
        !out.Create(area.right - area.left, area.bottom - area.top))
        return false;
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x) {
            const LONG ix = x - origin.left, iy = y - origin.top;
            if (ix < 0 || iy < 0 || static_cast<uint32_t>(ix) >= width || static_cast<uint32_t>(iy) >= height)
                continue;
            const uint8_t* p = &data[start + static_cast<size_t>(iy) * line + static_cast<size_t>(ix) * bytes];
            const uint32_t v = lsbFirst ? p[0] | p[1] << 8 | p[2] << 16 : p[bytes - 1] | p[bytes - 2] << 8 | p[bytes - 3] << 16;
            out.SetPixelColour(x - area.left, y - area.top, SwapRedBlue(v));
        }
    return true;
}

// A window's client area on the screen.
inline RECT ClientOnScreen(HWND window) {
    RECT r{};
    ::GetClientRect(window, &r);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The display's pixels of the area once they hold still while this thread's messages are dispatched
// (two reads 100 ms apart agree).
inline bool SettledDisplayPixels(const RECT& area, PixelSurface& out, HWND topLevel = nullptr) {
    PixelSurface before;
    for (int tries = 0; tries < 50; ++tries) {
        PumpUntil([] { return false; }, 100);
        if (!DisplayPixels(area, out, topLevel))
            return false;
        if (tries > 0 && std::equal(out.Bits(), out.Bits() + out.Width() * out.Height(), before.Bits()))
            return true;
        before.Create(out.Width(), out.Height());
        std::copy(out.Bits(), out.Bits() + out.Width() * out.Height(), before.Bits());
    }
    return false;
}

// How many pixels of the window's client area (or of `part`, in client coordinates) the display shows
// otherwise than a fresh paint of the window draws them: 0 when nothing waits for a repaint; -1 when the
// display cannot be read.
inline int PixelsAwaitingPaint(HWND window, const RECT* part = nullptr) {
    RECT area = ClientOnScreen(window);
    if (part) {
        POINT origin{0, 0};
        ::ClientToScreen(window, &origin);
        area = RECT{origin.x + part->left, origin.y + part->top, origin.x + part->right, origin.y + part->bottom};
    }
    PixelSurface shown, painted;
    const HWND top = ::GetAncestor(window, GA_ROOT);
    if (!SettledDisplayPixels(area, shown, top))
        return -1;
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (!SettledDisplayPixels(area, painted, top))
        return -1;
    int differ = 0;
    for (int i = 0; i < shown.Width() * shown.Height(); ++i)
        differ += shown.Bits()[i] != painted.Bits()[i];
    return differ;
}

}  // namespace wintest
