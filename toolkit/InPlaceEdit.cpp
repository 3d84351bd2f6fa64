#include "toolkit/InPlaceEdit.h"

#include "classlib/Controls.h"

#include <cwctype>

namespace {

enum class LoopEnd { Enter, Escape, Gone };

bool IsHexInput(WPARAM c)
{
    return c == 8 || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// The loop both editors run. `control` is the temporary window; the loop also ends (as a cancel)
// when it is destroyed under us or the program is quitting, whose WM_QUIT is put back.
LoopEnd RunLoop(HWND control, bool isEdit, bool hexOnly)
{
    MSG msg;
    for (;;) {
        if (!::IsWindow(control)) return LoopEnd::Gone;
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
            return LoopEnd::Gone;
        }
        if (msg.message >= 0xA0 && msg.message <= 0xA9) continue;   // non-client mouse
        if (msg.message == WM_KEYDOWN && (msg.wParam == VK_ESCAPE || msg.wParam == VK_RETURN))
            return msg.wParam == VK_ESCAPE ? LoopEnd::Escape : LoopEnd::Enter;
        if (isEdit) {
            if (msg.message >= 0x200 && msg.message <= 0x20E && msg.hwnd != control) continue;
            if (hexOnly && msg.message == WM_CHAR && !IsHexInput(msg.wParam)) continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
        if (!isEdit && msg.message == WM_LBUTTONDOWN) return LoopEnd::Enter;
    }
}

}  // namespace

bool PopupEdit(HWND parent, const RECT& rect, HFONT font, StringW& text, DWORD style)
{
    DWORD editStyle = (style & 0xFFFF) | WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
    HWND edit = ::CreateWindowExW(0, L"EDIT", text.c_str(), editStyle, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPopupEditId)),
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (!edit) return false;
    if (font) ::SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SetFocus(edit);
    LoopEnd end = RunLoop(edit, true, (style & kPopupHexDigits) != 0);
    if (end == LoopEnd::Gone) {
        if (::IsWindow(edit)) ::DestroyWindow(edit);   // the program is quitting: leave nothing behind
        return false;
    }
    text = WindowText(edit);
    ::DestroyWindow(edit);
    if (parent) ::SetFocus(parent);
    return end == LoopEnd::Enter;
}

bool PopupCombo(HWND parent, const RECT& rect, HFONT font, StringW& text, const wchar_t* choices, DWORD style)
{
    DWORD comboStyle = style | WS_CHILD | WS_VISIBLE | CBS_NOINTEGRALHEIGHT;
    // Without a kind of its own it is a scrolling drop-down list: value lists can be long.
    if ((comboStyle & 3) == 0) comboStyle |= CBS_DROPDOWNLIST | WS_VSCROLL;
    HWND combo = ::CreateWindowExW(0, WC_COMBOBOXW, L"", comboStyle, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPopupComboId)),
                                   ::GetModuleHandleW(nullptr), nullptr);
    if (!combo) return false;
    ComboBox box(combo);
    if (font) ::SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    StringW choice;
    for (int i = 0; choices && choice.GetField(choices, i, L'|'); ++i) box.AddString(choice.c_str());
    int selected = box.FindStringExact(-1, text.c_str());
    box.SetCurSel(selected < 0 ? 0 : selected);
    box.ShowDropDown(true);
    ::SetFocus(combo);
    LoopEnd end = RunLoop(combo, false, false);
    if (end == LoopEnd::Gone) {
        if (::IsWindow(combo)) ::DestroyWindow(combo);
        return false;
    }
    StringW shown(WindowText(combo));
    ::DestroyWindow(combo);
    if (parent) ::SetFocus(parent);
    if (shown == text) return false;
    text = shown;
    return end != LoopEnd::Escape;
}
