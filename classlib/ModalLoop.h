#pragma once
// The modal loops of this thread: our dialogs, the system dialogs, message boxes and pop-up menus.
// Each runs inside a caller that goes on with what it holds once the loop returns; a message that
// would free that must wait until the outermost loop has ended.

#include <windows.h>

class ModalLoopScope {
public:
    ModalLoopScope();
    // The outermost scope posts what waited for it.
    ~ModalLoopScope();
    ModalLoopScope(const ModalLoopScope&) = delete;
    ModalLoopScope& operator=(const ModalLoopScope&) = delete;
};

// How many modal loops run on this thread now.
int ModalLoopDepth();
// Posts the message when the outermost modal loop has ended; a message already waiting is not added
// twice.
void PostAfterModalLoops(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
