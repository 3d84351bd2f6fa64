#pragma once
// The thread's text caret, made for one window (usually on WM_SETFOCUS) and destroyed with this
// object or on WM_KILLFOCUS.

#include <windows.h>

class Caret {
public:
    Caret() = default;
    ~Caret() { Destroy(); }
    Caret(const Caret&) = delete;
    Caret& operator=(const Caret&) = delete;

    // A solid caret; hidden until Show.
    bool Create(HWND window, int width, int height);
    void Destroy();
    bool IsCreated() const { return window_ != nullptr; }
    bool SetPos(int x, int y) const { return window_ && ::SetCaretPos(x, y) != FALSE; }
    bool Show() const { return window_ && ::ShowCaret(window_) != FALSE; }
    bool Hide() const { return window_ && ::HideCaret(window_) != FALSE; }

private:
    HWND window_ = nullptr;
};
