#pragma once
// A one-line editor of byte patterns: hexadecimal pairs with "??" wildcard bytes, shown as digit
// cells without separators, and a combo box whose edit area switches between plain text and it.
// The editing rules work without a window (tests drive TypeChar and PressKey directly).

#include "classlib/Caret.h"
#include "classlib/Controls.h"
#include "classlib/CWnd.h"
#include "classlib/GdiObject.h"
#include "core/StringW.h"

#include <windows.h>

#include <climits>
#include <cstdint>

class HexEditline : public CWnd {
public:
    HexEditline() = default;
    ~HexEditline() override = default;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // A child window; its parent becomes the owner that gets the keys passed on.
    bool Create(HWND parent, const RECT& rect, UINT id, DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP);

    // Hex digits and "??" pairs of the text; the rest is skipped; an odd digit gets a "0".
    void SetText(const wchar_t* text);
    // "4D 5A ?? 00"; empty for an empty pattern.
    StringW GetText() const;
    void SetFont(HFONT font);

    // The editing rules of a typed character and of a key (with the shift and control states).
    void TypeChar(wchar_t c);
    void PressKey(UINT key, bool shift, bool control);
    void ClickAt(int x);
    // Keeps the caret on the page after an edit or a move; clears the selection.
    void EnsureCaretVisible();
    bool HasSelection() const { return selStart >= 0 && selEnd >= selStart; }

    int OnCreate(CREATESTRUCTW* cs) override;
    UINT OnGetDlgCode() override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnPaint() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnSetFocus(HWND previous) override;
    void OnKillFocus(HWND next) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnChar(UINT ch, UINT repeat, UINT flags) override;

    // Paints the pattern into a DC of the given client rectangle.
    void PaintInto(HDC dc, const RECT& client, bool focused);

    HWND owner = nullptr;
    CFont font;
    HFONT currentFont = nullptr;
    int32_t cellWidth = 0, cellHeight = 0;
    StringW nibbles;
    int32_t visibleBytes = 0;
    int32_t firstNibble = 0;
    int32_t caret = 0;
    int32_t maxNibbles = INT_MAX;
    int32_t selStart = -1, selEnd = -1;
    COLORREF backColor = 0xFFFFFF;
    COLORREF textColor = 0;
    COLORREF selectionColor = 0xFF9933;

private:
    int ByteWidth() const { return 2 * cellWidth + 4; }
    void DeleteSelection();
    void RemoveByte(int start);
    void PlaceCaret();
    void Changed();
    Caret caret_;
};

// A combo box whose edit area can show a HexEditline instead of the combo's own edit.
class HexCombobox : public CComboBox {
public:
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    StringW GetText() const;
    void SetText(const wchar_t* text);
    // CB_LIMITTEXT n; the hex editor takes 2n nibbles.
    void SetLimit(int n);
    void ShowHexEditor();
    void ShowTextEditor();
    bool HexShown() const { return hex.m_hWnd && (hex.GetStyle() & WS_VISIBLE); }

    void OnSize(UINT type, int cx, int cy) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;

    HexEditline hex;
    HWND comboEdit = nullptr;
    HWND comboList = nullptr;
    bool startEmpty = false;   // the hex editor starts empty when shown

    // The combo's list or focus moved while the hex editor shows: the focus goes to it.
    bool FocusHex();

private:
    void PlaceHex();
};
