#include "classlib/Caret.h"

bool Caret::Create(HWND window, int width, int height)
{
    Destroy();
    if (!::CreateCaret(window, nullptr, width, height))
        return false;
    window_ = window;
    return true;
}

void Caret::Destroy()
{
    if (window_)
        ::DestroyCaret();
    window_ = nullptr;
}
