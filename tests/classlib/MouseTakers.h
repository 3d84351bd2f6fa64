#pragma once
// The ways something else takes the mouse in the middle of a drag: another window captures it (as a
// menu does), the mode is cancelled (WM_CANCELMODE), or a modal dialog opens.

#include "classlib/Dialog.h"
#include "tests/classlib/FakeCursorClip.h"
#include "tests/classlib/WindowTestSupport.h"

#include <windows.h>

namespace wintest {

enum class MouseTaker { kOtherWindow, kCancelMode, kModalDialog };

constexpr MouseTaker kMouseTakers[] = {MouseTaker::kOtherWindow, MouseTaker::kCancelMode,
                                       MouseTaker::kModalDialog};

inline const char* TakerName(MouseTaker t) {
    switch (t) {
    case MouseTaker::kOtherWindow: return "another window captures";
    case MouseTaker::kCancelMode: return "WM_CANCELMODE";
    default: return "a modal dialog opens";
    }
}

// What the user saw while a taker held the mouse.
struct TakenState {
    bool cursorFree = false;
    bool captureFree = false;
};

// Takes the mouse from `holder` (the window that holds the capture) the given way, through the
// windows' queues. For a dialog the state is read while the dialog shows; else after the taking.
inline TakenState TakeMouse(MouseTaker t, HWND holder) {
    TakenState seen;
    if (t == MouseTaker::kOtherWindow) {
        CWnd other;
        CreateHidden(other, L"taker");
        ::SetCapture(other.m_hWnd);
        DrainQueue();
        seen.cursorFree = FakeCursorClip::Free();
        seen.captureFree = ::GetCapture() != holder;
        ::ReleaseCapture();
        other.DestroyWindow();
    } else if (t == MouseTaker::kCancelMode) {
        ::PostMessageW(holder, WM_CANCELMODE, 0, 0);
        DrainQueue();
        seen.cursorFree = FakeCursorClip::Free();
        seen.captureFree = ::GetCapture() != holder;
    } else {
        DialogTemplate plain(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0, 0, 0, 120, 60, L"Modal");
        Dialog dialog(plain.Get());
        PushModalAction([&seen, holder](Dialog& d) {
            seen.cursorFree = FakeCursorClip::Free();
            seen.captureFree = ::GetCapture() != holder;
            d.EndDialog(IDCANCEL);
        });
        dialog.DoModal();
    }
    return seen;
}

}  // namespace wintest
