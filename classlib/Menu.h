#pragma once
// Menus. A CMenu owns its menu and destroys it, unless it was given to a window (which destroys its
// menu with itself) or detached.

#include "classlib/ModalLoop.h"

#include <windows.h>

#include <string>

class CMenu {
public:
    CMenu() = default;
    virtual ~CMenu() { DestroyMenu(); }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU GetSafeHmenu() const { return menu_; }
    operator HMENU() const { return menu_; }
    void Attach(HMENU menu) { DestroyMenu(); menu_ = menu; owned_ = true; }
    HMENU Detach() { HMENU menu = menu_; menu_ = nullptr; owned_ = true; return menu; }

    // A menu resource of the program.
    bool LoadMenu(UINT id) { return LoadMenu(MAKEINTRESOURCEW(id)); }
    bool LoadMenu(const wchar_t* name);
    bool CreateMenu() { Attach(::CreateMenu()); return menu_ != nullptr; }
    bool CreatePopupMenu() { Attach(::CreatePopupMenu()); return menu_ != nullptr; }
    bool DestroyMenu();
    // Makes the menu the window's menu; the window owns it from then on, the object still uses it.
    bool SetToWindow(HWND window);

    bool AppendMenu(UINT flags, UINT_PTR id, const wchar_t* text) {
        return ::AppendMenuW(menu_, flags, id, text) != FALSE;
    }
    HMENU GetSubMenu(int position) const { return ::GetSubMenu(menu_, position); }
    int GetMenuItemCount() const { return ::GetMenuItemCount(menu_); }
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(menu_, position); }
    UINT GetMenuState(UINT item, UINT flags) const { return ::GetMenuState(menu_, item, flags); }
    std::wstring GetMenuString(UINT item, UINT flags) const;
    // Previous state (MF_ENABLED, MF_GRAYED...), -1 when the item does not exist.
    UINT EnableMenuItem(UINT item, UINT flags) { return ::EnableMenuItem(menu_, item, flags); }
    DWORD CheckMenuItem(UINT item, UINT flags) { return ::CheckMenuItem(menu_, item, flags); }
    // With TPM_RETURNCMD the chosen command (0 for none), else success.
    int TrackPopupMenu(UINT flags, int x, int y, HWND owner) {
        ModalLoopScope loop;
        return ::TrackPopupMenu(menu_, flags, x, y, 0, owner, nullptr);
    }

private:
    HMENU menu_ = nullptr;
    bool owned_ = true;
};
