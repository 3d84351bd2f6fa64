#pragma once
// In-place editors: a temporary edit or drop-down list put over a cell of a window, running its own
// message loop until the user confirms (Enter, or a click in the list) or cancels (Esc). Both return
// true when the user confirmed a new value, which is then in `text`.
//
//   StringW value(L"12");
//   if (PopupEdit(grid, cell, font, value, kPopupHexDigits)) ...

#include "core/StringW.h"

#include <windows.h>

// Style flag of PopupEdit: only Backspace, 0-9, A-F and a-f may be typed.
constexpr DWORD kPopupHexDigits = 0x10000;
// Control ids of the temporary controls.
constexpr int kPopupEditId = 0x7F01;
constexpr int kPopupComboId = 0x7F02;

// An edit (the style's low 16 bits plus WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL) over `rect` of
// `parent` holding `text`. Its text is written back to `text` in any case; false when Esc ended it.
bool PopupEdit(HWND parent, const RECT& rect, HFONT font, StringW& text, DWORD style);
// A drop-down list (the style plus WS_CHILD | WS_VISIBLE | CBS_NOINTEGRALHEIGHT) of the choices split
// at "|", the entry equal to `text` selected (else the first), dropped down. A changed text is written
// back; true when it changed and Esc did not end it.
bool PopupCombo(HWND parent, const RECT& rect, HFONT font, StringW& text, const wchar_t* choices, DWORD style);
