#include "classlib/Menu.h"

bool CMenu::LoadMenu(const wchar_t* name)
{
    Attach(::LoadMenuW(::GetModuleHandleW(nullptr), name));
    return menu_ != nullptr;
}

bool CMenu::DestroyMenu()
{
    bool owned = owned_;
    HMENU menu = Detach();
    return menu && owned && ::IsMenu(menu) && ::DestroyMenu(menu) != FALSE;
}

bool CMenu::SetToWindow(HWND window)
{
    if (!menu_ || !::SetMenu(window, menu_))
        return false;
    owned_ = false;
    return true;
}

std::wstring CMenu::GetMenuString(UINT item, UINT flags) const
{
    wchar_t text[256] = {};
    int length = ::GetMenuStringW(menu_, item, text, 256, flags);
    return std::wstring(text, length > 0 ? length : 0);
}
