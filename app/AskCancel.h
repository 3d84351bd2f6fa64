#pragma once
// The one cancel question of the program: "Do You want cancel ... ?" in a yes/no box. A Yes is kept
// until someone clears it, and while it is kept nothing more is asked. A second question while one is
// open closes the open box (as No) first.

#include <windows.h>

#include <cstdint>

class AskCancel {
public:
    static constexpr const wchar_t* kCaption = L"Ask confirm abort";
    static constexpr int kTextLength = 64;

    // Asks about `what` ("parsing", "finding", "all operations") in a box owned by `owner`; read
    // Answered() of the result.
    static AskCancel& Ask(const wchar_t* what, HWND owner);
    // Closes an open question box as if No had been chosen.
    static void CloseQuestion();
    static AskCancel& Instance();

    bool Answered() const { return answered != 0; }
    void Clear() { answered = 0; }

    uint8_t answered = 0;

    // The box itself (tests put a fake in its place); returns IDYES or IDNO.
    static int (*showBox)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
};
