#pragma once
// The cursor confinement of window tests, kept here rather than on the display: under Xvfb a real
// ClipCursor can end the process. While a FakeCursorClip lives, every CursorClip confines this one.

#include "classlib/CursorIcon.h"

#include <windows.h>

namespace wintest {

class FakeCursorClip {
public:
    FakeCursorClip() : saved_(CursorClip::Replace(CursorClip::Calls{Clip, Get})) { Area() = FullScreen(); }
    ~FakeCursorClip() { CursorClip::Replace(saved_); }
    FakeCursorClip(const FakeCursorClip&) = delete;
    FakeCursorClip& operator=(const FakeCursorClip&) = delete;

    static RECT FullScreen() {
        return RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    }
    // What GetClipCursor would give.
    static RECT Current() { return Area(); }
    static bool Free() {
        const RECT a = Area(), full = FullScreen();
        return ::EqualRect(&a, &full) != FALSE;
    }

private:
    static RECT& Area() {
        static RECT area = FullScreen();
        return area;
    }
    static BOOL WINAPI Clip(const RECT* r) {
        Area() = r ? *r : FullScreen();
        return TRUE;
    }
    static BOOL WINAPI Get(RECT* r) {
        *r = Area();
        return TRUE;
    }

    CursorClip::Calls saved_;
};

}  // namespace wintest
