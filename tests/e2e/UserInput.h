#pragma once
// What a user does with the mouse and the keyboard, given to the system's input queue with
// SendInput: the program under test gets it as hardware input, wherever it runs.

#include <windows.h>

#include <functional>
#include <string>

namespace e2e {

class UserInput {
public:
    // The pointer to a screen point.
    static void MoveTo(POINT screen);
    static void Press(POINT screen, bool right = false);
    static void Release(POINT screen, bool right = false);
    static void Click(POINT screen, bool right = false);
    static void MiddleClick(POINT screen);
    static void DoubleClick(POINT screen);
    // Press at one point, move to the other in steps, release there; `settle` runs after the press
    // and after each move (it waits until the program has taken the input).
    static void Drag(POINT from, POINT to, int steps = 6, const std::function<void()>& settle = nullptr);
    // Wheel turns at a point: positive away from the user.
    static void Wheel(POINT screen, int notches);
    static void KeyDown(WORD vk);
    static void KeyUp(WORD vk);
    // A key with modifiers held (VK_SHIFT, VK_CONTROL, VK_MENU combined in `modifiers` as bits 1, 2, 4).
    static void Key(WORD vk, int modifiers = 0);
    // Types the text as key strokes (Shift where the character needs it).
    static void Type(const std::wstring& text);

    enum : int { kShift = 1, kCtrl = 2, kAlt = 4 };

    // A point of a window's client area on the screen.
    static POINT ClientPoint(HWND window, int x, int y);
    static POINT Centre(HWND window);
};

}  // namespace e2e
