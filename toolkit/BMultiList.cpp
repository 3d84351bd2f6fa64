#include "toolkit/BMultiList.h"

#include "core/SectionLock.h"
#include "options/BColorTheme.h"
#include "toolkit/BZoneLine.h"
#include "toolkit/GuiMetrics.h"
#include "toolkit/ImageLists.h"
#include "toolkit/ScrollPager.h"
#include "toolkit/ZoneText.h"

#include <algorithm>

constexpr MessageEntry kBMultiListEntries[] = {
    Cracked(WM_CREATE),
};
const MessageMap BMultiList::kMessageMap{&BMultiZone::kMessageMap, kBMultiListEntries};

BMultiList::BMultiList() : headerBack(ThemeColor(71)), headerText(ThemeColor(72))
{
    gridColor = ThemeColor(76);
    rowGap = 1;
}

BMultiList::~BMultiList() = default;

int BMultiList::OnCreate(CREATESTRUCTW* cs)
{
    int result = BMultiZone::OnCreate(cs);
    selection.flags = 0;
    HeaderGlyphs();
    return result;
}

BOOL BMultiList::PreTranslateMessage(MSG* msg)
{
    if (BMultiZone::PreTranslateMessage(msg)) return TRUE;
    if (accelerators && msg->message >= WM_KEYDOWN && msg->message <= WM_SYSDEADCHAR)
        return ::TranslateAcceleratorW(m_hWnd, accelerators, msg) != 0;
    return FALSE;
}

void BMultiList::AddColumnTitle(const wchar_t* text)
{
    columnTitles.emplace_back(text);
}

void BMultiList::SetFont(const wchar_t* face, int points, int style)
{
    CreateFontPoints(listFont, face, points, (style & 1) != 0, FW_NORMAL);
    headerHeight = CharCellFromMetrics(listFont).cy + 5;
    BMultiZone::SetFont(face, points, FW_NORMAL, (style & 1) != 0);
}

void BMultiList::UpdateCount()
{
    vScroller.rangeEnd = GetCount();
}

int32_t BMultiList::DrawRows(CDC& dc)
{
    // Read before the rows: a change made meanwhile leaves them stale.
    drawnStamp_ = SourceStamp();
    const int32_t widest = BMultiZone::DrawRows(dc);
    drawnCount_ = vScroller.rangeEnd;   // the count UpdateCount took for these rows
    return widest;
}

int32_t BMultiList::RowCount() { return GetCount(); }

uint32_t BMultiList::SourceStamp() { return 0; }

bool BMultiList::RowsStale()
{
    return drawnCount_ != RowCount() || drawnStamp_ != SourceStamp();
}

void BMultiList::ReportCount(std::vector<std::pair<int, int>>& out)
{
    out.emplace_back(m_hWnd ? GetDlgCtrlID() : 0, GetCount());
}

void BMultiList::MoveCurrentLine(int64_t n)
{
    if (Pager()) Pager()->MoveCurrent(vScroller, n);
}

const StringW* BMultiList::TitleOf(const BZone* zone) const
{
    BZoneLine* first = Line(0);
    if (!first) return nullptr;
    size_t n = 0;
    for (BZone* z : first->zones) {
        if (z == zone) return n < columnTitles.size() ? &columnTitles[n] : nullptr;
        if (!z->IsSeparator()) ++n;
    }
    return nullptr;
}

RECT BMultiList::HeaderCellRect(const BZone* zone)
{
    RECT text;
    GetTextArea(text);
    return RECT{zone->rect.left, text.top, zone->rect.right, text.top + headerHeight};
}

void BMultiList::DrawBackground(CDC& dc)
{
    DrawHeaderRow(dc);
    DrawGrid(dc);
    if (BZoneLine* first = Line(0)) {
        for (BZone* z : first->zones)
            if (z->IsSeparator() && !z->hidden) dc.FillSolidRect(z->rect, normalColor);
    }
}

void BMultiList::DrawHeaderRow(CDC& dc)
{
    BZoneLine* first = Line(0);
    if (!first || headerHeight <= 0) return;
    HGDIOBJ oldFont = listFont.IsNull() ? nullptr : ::SelectObject(dc, listFont);
    COLORREF oldText = dc.SetTextColor(headerText);
    RECT text;
    GetTextArea(text);
    RECT band{text.left, text.top, text.right, text.top + headerHeight};
    for (BZone* z : first->zones)
        if (!z->hidden && !z->IsSeparator()) DrawHeaderCell(dc, band, z);
    dc.SetTextColor(oldText);
    if (oldFont) ::SelectObject(dc, oldFont);
}

void BMultiList::DrawHeaderCell(CDC& dc, const RECT& r, BZone* zone)
{
    RECT cell{zone->rect.left, r.top, zone->rect.right, r.bottom};
    dc.FillSolidRect(cell, headerBack);
    bool pressed = zone->id == pressedHeader && pressedHeader != 0 && HasCapture();
    if (zone->flags & BZone::kHeaderClick) {
        RECT edge = cell;
        dc.DrawEdge(&edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    } else {
        CPen shade(PS_SOLID, 1, ThemeColor(73)), edgePen(PS_SOLID, 1, ThemeColor(74));
        HGDIOBJ old = ::SelectObject(dc, shade);
        dc.MoveTo(cell.left, cell.bottom - 1);
        dc.LineTo(cell.right - 1, cell.bottom - 1);
        dc.MoveTo(cell.right - 2, cell.top);
        dc.LineTo(cell.right - 2, cell.bottom - 1);
        ::SelectObject(dc, edgePen);
        dc.MoveTo(cell.right - 1, cell.top);
        dc.LineTo(cell.right - 1, cell.bottom);
        ::SelectObject(dc, old);
    }
    ::InflateRect(&cell, -2, -2);
    if (sortColumn != 0 && zone->id == std::abs(sortColumn)) {
        int y = cell.top + (cell.bottom - cell.top - 8) / 2;
        int glyph = sortColumn > 0 ? 1 : 0;
        if (zone->flags & BZone::kAlignRight) {
            HeaderGlyphs().Draw(dc, glyph, cell.right - 8, y, ILD_TRANSPARENT);
            cell.right -= 8;
        } else {
            HeaderGlyphs().Draw(dc, glyph, cell.left, y, ILD_TRANSPARENT);
            cell.left += 8;
        }
    }
    if (pressed) ::OffsetRect(&cell, 1, 1);
    cell.left += 2;
    cell.right -= 2;
    const StringW* title = TitleOf(zone);
    const wchar_t* text = title ? title->c_str() : L"";
    int length = title ? title->Length() : 0;
    int w = dc.GetTextExtent(text, length).cx;
    int x = cell.left;
    if (zone->flags & BZone::kAlignRight) x = cell.right - w;
    else if (zone->flags & BZone::kAlignCenter) x = (cell.left + cell.right - w) / 2;
    UINT oldAlign = ::SetTextAlign(dc, TA_BOTTOM);
    int oldMode = dc.SetBkMode(TRANSPARENT);
    dc.ExtTextOut(x, cell.bottom, ETO_CLIPPED, &cell, text, length);
    dc.SetBkMode(oldMode);
    ::SetTextAlign(dc, oldAlign);
}

void BMultiList::OnHeaderPressed(BZone*) {}
void BMultiList::OnHeaderClick(BZone*) {}

void BMultiList::OnZoneDown(BZone* zone, int row, int)
{
    if (row >= 0) {
        if (Pager()) Pager()->SetCurrent(vScroller, LineOfRow(row));
        return;
    }
    if (!zone || !(zone->flags & BZone::kHeaderClick)) return;
    pressedHeader = zone->id;
    if (m_hWnd) {
        // Shown pressed at once, on the screen where the page puts it.
        CClientDC dc(m_hWnd);
        int shift = zone->rect.left >= fixedWidth ? HOffset() : 0;
        ::SetViewportOrgEx(dc, -shift, 0, nullptr);
        HGDIOBJ oldFont = listFont.IsNull() ? nullptr : ::SelectObject(dc, listFont);
        COLORREF oldText = dc.SetTextColor(headerText);
        DrawHeaderCell(dc, HeaderCellRect(zone), zone);
        dc.SetTextColor(oldText);
        if (oldFont) ::SelectObject(dc, oldFont);
    }
    OnHeaderPressed(zone);
}

void BMultiList::OnZoneUp(BZone*, int, int)
{
    pressedHeader = 0;
}

void BMultiList::CancelDrag()
{
    // The header cell was drawn pressed on the screen: it comes back up.
    if (pressedHeader != 0) {
        pressedHeader = 0;
        Invalidate();
    }
    BMultiZone::CancelDrag();
}

void BMultiList::OnZoneMiddleClick(BZone* zone, int row)
{
    if (row < 0 && zone && (zone->flags & BZone::kHeaderClick)) OnHeaderClick(zone);
}

void BMultiList::OnHeaderDblClick(BZone* zone)
{
    auto* separator = dynamic_cast<ZoneSeparator*>(zone);
    if (!separator || !separator->sizedZone) return;
    BZone* sized = separator->sizedZone;
    sized->SetWidth(WidestOfAll(sized));
    if (m_hWnd) BPane::Relayout(m_hWnd);
    LayoutLines();
    if (m_hWnd) Invalidate();
}

int BMultiList::WidestOfAll(BZone* zone)
{
    // Rows count from the page's top: every item is measured from the first, whatever the scroll.
    const int64_t top = vScroller.top;
    vScroller.top = vScroller.RangeStart();
    const int widest = MaxZoneWidth(zone, 0, GetCount() - 1);
    vScroller.top = top;
    return widest;
}

// ---- filter list

namespace {

// The keys that scroll the rows while the filter is typed.
bool IsScrollKey(WPARAM key)
{
    return key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN;
}

}  // namespace

StringW FilterLower(const wchar_t* text)
{
    StringW lower(text);
    if (!lower.empty()) ::CharLowerBuffW(&lower[0], static_cast<DWORD>(lower.size()));
    return lower;
}

constexpr MessageEntry kBMultiFilterListEntries[] = {
    Cracked(WM_CREATE),
    Cracked(kCtlColor),
    Cracked(WM_SETFOCUS),
    OnControl(EN_CHANGE, BMultiFilterList::kFilterEditId, Route<&BMultiFilterList::OnFilterChanged>),
};
const MessageMap BMultiFilterList::kMessageMap{&BMultiList::kMessageMap, kBMultiFilterListEntries};

BMultiFilterList::BMultiFilterList()
{
    editBrush.CreateSolidBrush(ThemeColor(0));
}

BMultiFilterList::~BMultiFilterList() = default;

int BMultiFilterList::OnCreate(CREATESTRUCTW* cs)
{
    int result = BMultiList::OnCreate(cs);
    filterEdit.CreateEx(0, L"EDIT", L"", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, RECT{0, 0, 0, 0}, m_hWnd,
                        kFilterEditId);
    filterFont.CreatePointFont(100, L"Helv");
    filterEdit.SetFont(filterFont);
    editHeight = CharCellFromMetrics(filterFont).cy + 4;
    return result;
}

void* BMultiFilterList::GetItem(int row)
{
    int64_t position = LineOfRow(row);
    if (position < 0 || position >= filtered.count) return nullptr;
    void** slot = filtered.Get(static_cast<int>(position));
    return slot ? *slot : nullptr;
}

int32_t BMultiFilterList::GetCount() { return filtered.count; }

bool BMultiFilterList::HasFocus()
{
    HWND focus = ::GetFocus();
    return focus && (focus == m_hWnd || focus == filterEdit.m_hWnd);
}

void BMultiFilterList::GetClientArea(RECT& r)
{
    BMultiList::GetClientArea(r);
    if (!FilterShown()) return;
    if (editOnTop) r.top = std::min<LONG>(r.bottom, r.top + editHeight);
    else r.bottom = std::max<LONG>(r.top, r.bottom - editHeight);
}

void BMultiFilterList::DrawBackground(CDC& dc)
{
    BMultiList::DrawBackground(dc);
    if (FilterShown()) PlaceEdit();
}

void BMultiFilterList::PlaceEdit()
{
    RECT client = GetClientRect();
    int top = editOnTop ? client.top : client.bottom - editHeight;
    RECT now = filterEdit.GetWindowRect();
    ScreenToClient(&now);
    if (now.left != client.left || now.top != top || now.right != client.right || now.bottom != top + editHeight)
        filterEdit.MoveWindow(client.left, top, client.right - client.left, editHeight);
}

void BMultiFilterList::Relayout()
{
    if (m_hWnd) BPane::Relayout(m_hWnd);
    LayoutLines();
    Invalidate();
}

void BMultiFilterList::OnFilterChanged()
{
    filterText = FilterLower(filterEdit.GetWindowText().c_str());
    Refilter();
    if (m_hWnd) Invalidate();
}

void BMultiFilterList::CloseFilter()
{
    const HoldErase hold(*this);
    filterEdit.ShowWindow(SW_HIDE);
    filterEdit.SetWindowText(L"");
    if (!filterText.empty()) OnFilterChanged();   // an edit that was never typed in sends no change
    if (::GetFocus() != m_hWnd) SetFocus();
    Relayout();
}

BOOL BMultiFilterList::PreTranslateMessage(MSG* msg)
{
    if (!filterEdit.m_hWnd) return BMultiList::PreTranslateMessage(msg);
    const bool shown = FilterShown();
    if (msg->hwnd == m_hWnd && msg->message == WM_CHAR && !shown &&
        AcceptsFilterChar(static_cast<wchar_t>(msg->wParam))) {
        const HoldErase hold(*this);
        // Placed before it takes the character: an edit with no width scrolls it out of view.
        PlaceEdit();
        filterEdit.ShowWindow(SW_SHOW);
        filterEdit.SetFocus();
        filterEdit.SendMessage(WM_CHAR, msg->wParam, msg->lParam);
        Relayout();
        return TRUE;
    }
    // Keys typed ahead of the filter's focus are the filter's, in order (the scrolling keys go to
    // the list either way).
    if (msg->hwnd == m_hWnd && shown && ::GetFocus() == filterEdit.m_hWnd &&
        (msg->message == WM_CHAR || ((msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) &&
                                     !IsScrollKey(msg->wParam))))
        msg->hwnd = filterEdit.m_hWnd;
    if (msg->hwnd == filterEdit.m_hWnd && msg->message == WM_KEYDOWN) {
        if (IsScrollKey(msg->wParam)) {
            PostMessage(WM_KEYDOWN, msg->wParam, msg->lParam);
            return TRUE;
        }
        if (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE) {
            CloseFilter();
            return TRUE;
        }
    }
    return BMultiList::PreTranslateMessage(msg);
}

BOOL BMultiFilterList::OnEraseBkgnd(HDC dc)
{
    // Left for the paint that ends the change: each window moved meanwhile would draw the page.
    if (holdErase_) return FALSE;
    return BMultiList::OnEraseBkgnd(dc);
}

HBRUSH BMultiFilterList::OnCtlColor(HDC dc, HWND control, UINT type)
{
    if (control && control == filterEdit.m_hWnd) {
        ::SetBkColor(dc, ThemeColor(0));
        ::SetTextColor(dc, ThemeColor(5));
        return editBrush;
    }
    return BMultiList::OnCtlColor(dc, control, type);
}

void BMultiFilterList::OnSetFocus(HWND previous)
{
    if (FilterShown()) {
        filterEdit.SetFocus();
        return;
    }
    BMultiList::OnSetFocus(previous);
}
