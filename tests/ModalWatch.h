#pragma once
// Linked into the window test programs (tests/ModalWatch.cpp): no modal loop outlives its bound. Every
// dialog, message box, system dialog, pop-up menu and in-place editor that the test thread opens is
// watched from its creation; one still open after the bound fails the test, naming what the test
// waited for, and its loop is ended (a WM_QUIT, which every loop of ours and of the system obeys, and
// the menu's end). A loop that does not end then (a queue never empty holds back the WM_QUIT), or a test
// thread that takes no messages, ends the program with a failure. A loop without such a window takes a
// LoopBound for its scope.

#include <string>

namespace modalwatch {

// Milliseconds a watched loop may run: 20 s (the longest dialog of the tests lives under a second),
// five times that under an emulated CPU, or the value of TRELVO_MODAL_BOUND_MS.
unsigned BoundMs();

// Watches the loop run inside its scope, named by `what` ("the application's loop to end", ...).
class LoopBound {
public:
    explicit LoopBound(const std::wstring& what);
    ~LoopBound();
    LoopBound(const LoopBound&) = delete;
    LoopBound& operator=(const LoopBound&) = delete;

private:
    int id_;
};

}  // namespace modalwatch
