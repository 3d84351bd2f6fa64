#include "toolkit/HexEditline.h"

#include "core/SystemServices.h"
#include "toolkit/GuiMetrics.h"

#include <algorithm>

namespace {

bool IsHexDigit(wchar_t c)
{
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f');
}

wchar_t Upper(wchar_t c) { return (c >= L'a' && c <= L'f') ? static_cast<wchar_t>(c - 32) : c; }

bool KeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

}  // namespace

constexpr MessageEntry kHexEditlineEntries[] = {
    Cracked(WM_CREATE), Cracked(WM_GETDLGCODE), Cracked(WM_ERASEBKGND), Cracked(WM_PAINT),
    Cracked(WM_SIZE), Cracked(WM_SETFOCUS), Cracked(WM_KILLFOCUS), Cracked(WM_LBUTTONDOWN),
    Cracked(WM_KEYDOWN), Cracked(WM_CHAR),
};
const MessageMap HexEditline::kMessageMap{&CWnd::kMessageMap, kHexEditlineEntries};

bool HexEditline::Create(HWND parent, const RECT& rect, UINT id, DWORD style)
{
    return CreateEx(0, nullptr, L"", style, rect, parent, id);
}

int HexEditline::OnCreate(CREATESTRUCTW* cs)
{
    owner = cs->hwndParent;
    CreateFontPoints(font, L"Courier New", 10, false, FW_NORMAL);
    SetFont(font);
    return 0;
}

void HexEditline::SetFont(HFONT f)
{
    currentFont = f;
    SIZE cell = CharCellFromSample(f);
    cellWidth = cell.cx;
    cellHeight = cell.cy;
    if (m_hWnd) {
        RECT r = GetClientRect();
        visibleBytes = ByteWidth() > 0 ? (r.right - r.left + 4) / ByteWidth() : 0;
        Invalidate();
    }
}

void HexEditline::SetText(const wchar_t* text)
{
    nibbles.clear();
    for (const wchar_t* p = text ? text : L""; *p && nibbles.Length() < maxNibbles; ++p) {
        if (IsHexDigit(*p)) {
            nibbles.push_back(Upper(*p));
        } else if (*p == L'?' && p[1] == L'?') {
            // A wildcard byte only where a byte starts, so pairs stay pairs.
            if (nibbles.Length() % 2) nibbles.push_back(L'0');
            if (nibbles.Length() + 2 > maxNibbles) break;
            nibbles.append(L"??");
            ++p;
        }
    }
    if (nibbles.Length() % 2) {
        if (nibbles.Length() < maxNibbles) nibbles.push_back(L'0');
        else nibbles.pop_back();
    }
    caret = nibbles.Length();
    EnsureCaretVisible();
    if (nibbles.Length() >= 2) {
        selStart = 0;
        selEnd = nibbles.Length() - 1;
    }
}

StringW HexEditline::GetText() const
{
    StringW text;
    for (int i = 0; i + 1 < nibbles.Length(); i += 2) {
        if (i) text.push_back(L' ');
        text.push_back(nibbles[i]);
        text.push_back(nibbles[i + 1]);
    }
    return text;
}

void HexEditline::Changed()
{
    if (m_hWnd) Invalidate();
}

void HexEditline::EnsureCaretVisible()
{
    selStart = selEnd = -1;
    int length = nibbles.Length(), span = 2 * visibleBytes;
    if (length <= span) {
        firstNibble = 0;
    } else {
        if (caret < firstNibble) firstNibble = caret;
        else if (caret >= firstNibble + span) firstNibble = caret + 1 - span;
        firstNibble = std::min(firstNibble, length - span);
        firstNibble = std::max(0, firstNibble & ~1);
    }
    Changed();
    PlaceCaret();
}

void HexEditline::PlaceCaret()
{
    if (!caret_.IsCreated()) return;
    int x = (caret - firstNibble) / 2 * ByteWidth() + ((caret & 1) ? cellWidth - 1 : 0);
    caret_.SetPos(x, 0);
}

void HexEditline::DeleteSelection()
{
    int start = std::max(0, selStart), end = std::min(selEnd, nibbles.Length() - 1);
    if (end >= start) nibbles.erase(static_cast<size_t>(start), static_cast<size_t>(end - start + 1));
    if (nibbles.Length() % 2) nibbles.push_back(L'0');
    caret = std::min(start, nibbles.Length());
    selStart = selEnd = -1;
}

void HexEditline::RemoveByte(int start)
{
    nibbles.erase(static_cast<size_t>(start), 2);
    caret = start;
}

void HexEditline::TypeChar(wchar_t c)
{
    if (c == L'\t' || c == L'\r' || c == 27) return;
    // Control characters (Backspace, Ctrl+V, ...) were handled as keys: they must not delete a
    // selection the key just made.
    if (c < 32) return;
    if (HasSelection()) DeleteSelection();
    // At the limit no byte can be added, but the second digit of the byte being typed still can: it
    // does not make the pattern longer.
    if (nibbles.Length() >= maxNibbles && !((caret & 1) && IsHexDigit(c))) {
        EnsureCaretVisible();
        return;
    }
    if (IsHexDigit(c)) {
        if (caret & 1) {
            // A byte is two digits or "??": a digit in a wildcard makes the other half 0.
            if (nibbles[static_cast<size_t>(caret - 1)] == L'?') nibbles[static_cast<size_t>(caret - 1)] = L'0';
            nibbles[static_cast<size_t>(caret)] = Upper(c);
            ++caret;
        } else {
            wchar_t pair[2] = {Upper(c), L'0'};
            nibbles.insert(static_cast<size_t>(caret), pair, 2);
            ++caret;
        }
    } else if (c == L'?' && caret > 0 && !(caret & 1)) {
        nibbles.insert(static_cast<size_t>(caret), L"??", 2);
        caret += 2;
    }
    EnsureCaretVisible();
}

void HexEditline::PressKey(UINT key, bool shift, bool control)
{
    int length = nibbles.Length();
    switch (key) {
    case VK_BACK:
        if (HasSelection()) DeleteSelection();
        else if (caret > 0) RemoveByte((caret & 1) ? caret - 1 : caret - 2);
        EnsureCaretVisible();
        break;
    case VK_DELETE:
        if (HasSelection()) DeleteSelection();
        else if (caret > 0 && caret < length) RemoveByte(caret & ~1);
        EnsureCaretVisible();
        break;
    case VK_HOME: caret = 0; EnsureCaretVisible(); break;
    case VK_END: caret = length; EnsureCaretVisible(); break;
    case VK_LEFT: caret = std::max(0, caret - 1); EnsureCaretVisible(); break;
    case VK_RIGHT: caret = std::min(length, caret + 1); EnsureCaretVisible(); break;
    case VK_INSERT:
    case 'V':
    case 'P':
        if ((key == VK_INSERT && shift) || (key != VK_INSERT && control)) {
            std::unique_ptr<wchar_t[]> clip = ClipboardGetText();
            if (clip) SetText(clip.get());
        }
        break;
    case VK_TAB: case VK_RETURN: case VK_ESCAPE: case VK_PRIOR: case VK_NEXT: case VK_UP: case VK_DOWN:
        if (owner && m_hWnd) {
            const MSG* m = CurrentMessage();
            ::SendMessageW(owner, WM_KEYDOWN, key, m ? m->lParam : 0);
        }
        break;
    default:
        if (key >= VK_F1 && key <= VK_F12 && owner && m_hWnd) {
            const MSG* m = CurrentMessage();
            ::SendMessageW(owner, WM_KEYDOWN, key, m ? m->lParam : 0);
        }
        break;
    }
    PlaceCaret();
}

void HexEditline::ClickAt(int x)
{
    int w = ByteWidth();
    if (w <= 0) return;
    int n = firstNibble + 2 * (x / w) + ((x % w) > cellWidth ? 1 : 0);
    caret = std::min(std::max(0, n), nibbles.Length());
    selStart = selEnd = -1;
    Changed();
    PlaceCaret();
}

UINT HexEditline::OnGetDlgCode() { return DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_WANTARROWS; }

BOOL HexEditline::OnEraseBkgnd(HDC dc)
{
    RECT r = GetClientRect();
    CDC(dc).FillSolidRect(r, backColor);
    return TRUE;
}

void HexEditline::PaintInto(HDC hdc, const RECT& client, bool focused)
{
    CDC dc(hdc);
    SelectGdi select(hdc, currentFont ? static_cast<HGDIOBJ>(currentFont) : ::GetStockObject(SYSTEM_FONT));
    UINT oldAlign = ::SetTextAlign(hdc, TA_TOP | TA_LEFT);
    dc.SetTextColor(textColor);
    int top = client.top + (client.bottom - client.top - cellHeight) / 2;
    int end = std::min(nibbles.Length(), firstNibble + 2 * visibleBytes + 2);
    int x = client.left;
    for (int i = firstNibble; i < end; i += 2) {
        for (int k = 0; k < 2 && i + k < end; ++k) {
            int n = i + k;
            bool selected = focused && HasSelection() && n >= selStart && n <= selEnd;
            dc.SetBkColor(selected ? selectionColor : backColor);
            int left = x + (k ? cellWidth : 0);
            RECT cell{left, client.top, left + (k ? cellWidth + 4 : cellWidth), client.bottom};
            dc.ExtTextOut(left, top, ETO_OPAQUE | ETO_CLIPPED, &cell, nibbles.c_str() + n, 1);
        }
        x += ByteWidth();
    }
    ::SetTextAlign(hdc, oldAlign);
    dc.Detach();
}

void HexEditline::OnPaint()
{
    CPaintDC dc(m_hWnd);
    PaintInto(dc, GetClientRect(), ::GetFocus() == m_hWnd);
}

void HexEditline::OnSize(UINT, int cx, int)
{
    visibleBytes = ByteWidth() > 0 ? (cx + 4) / ByteWidth() : 0;
    EnsureCaretVisible();
}

void HexEditline::OnSetFocus(HWND)
{
    RECT r = GetClientRect();
    caret_.Create(m_hWnd, 1, r.bottom - r.top);
    PlaceCaret();
    caret_.Show();
    Invalidate();
}

void HexEditline::OnKillFocus(HWND)
{
    caret_.Destroy();
    Invalidate();
}

void HexEditline::OnLButtonDown(UINT, POINT point)
{
    SetFocus();
    ClickAt(point.x);
}

void HexEditline::OnKeyDown(UINT key, UINT, UINT)
{
    PressKey(key, KeyDown(VK_SHIFT), KeyDown(VK_CONTROL));
}

void HexEditline::OnChar(UINT ch, UINT, UINT)
{
    TypeChar(static_cast<wchar_t>(ch));
}

// ---- HexCombobox

constexpr MessageEntry kHexComboboxEntries[] = {
    Cracked(WM_SIZE),
    Cracked(WM_KEYDOWN),
    OnReflectedControl(CBN_SELCHANGE, Route<&HexCombobox::FocusHex>),
    OnReflectedControl(CBN_SETFOCUS, Route<&HexCombobox::FocusHex>),
    OnReflectedControl(CBN_SELENDCANCEL, Route<&HexCombobox::FocusHex>),
};
const MessageMap HexCombobox::kMessageMap{&CWnd::kMessageMap, kHexComboboxEntries};

void HexCombobox::PlaceHex()
{
    COMBOBOXINFO info{};
    if (!GetComboBoxInfo(&info)) return;
    comboEdit = info.hwndItem;
    comboList = info.hwndList;
    const RECT& r = info.rcItem;
    if (!hex.m_hWnd) {
        hex.Create(m_hWnd, r, static_cast<UINT>(GetDlgCtrlID()), WS_CHILD | WS_TABSTOP);
    } else {
        hex.MoveWindow(r);
    }
}

void HexCombobox::OnSize(UINT type, int cx, int cy)
{
    Default();
    (void)type, (void)cx, (void)cy;
    PlaceHex();
}

void HexCombobox::OnKeyDown(UINT key, UINT, UINT)
{
    if (key <= 32 && !GetDroppedState()) {
        const MSG* m = CurrentMessage();
        ::SendMessageW(GetParent(), WM_KEYDOWN, key, m ? m->lParam : 0);
        return;
    }
    Default();
}

bool HexCombobox::FocusHex()
{
    if (HexShown()) hex.SetFocus();
    return false;   // the parent still hears of it
}

StringW HexCombobox::GetText() const
{
    if (HexShown()) return hex.GetText();
    return StringW(GetWindowText());
}

void HexCombobox::SetText(const wchar_t* text)
{
    if (HexShown()) hex.SetText(text);
    else SetWindowText(text);
}

void HexCombobox::SetLimit(int n)
{
    LimitText(n);
    hex.maxNibbles = 2 * n;
}

void HexCombobox::ShowHexEditor()
{
    if (!hex.m_hWnd) PlaceHex();
    if (!hex.m_hWnd || HexShown()) return;
    hex.SetText(startEmpty ? L"" : GetWindowText().c_str());
    if (comboEdit) ::ShowWindow(comboEdit, SW_HIDE);
    hex.ShowWindow(SW_SHOW);
}

void HexCombobox::ShowTextEditor()
{
    if (!HexShown()) return;
    SetWindowText(L"");
    hex.ShowWindow(SW_HIDE);
    if (comboEdit) ::ShowWindow(comboEdit, SW_SHOW);
}
