#include "toolkit/BMultiZone.h"

#include "core/SectionLock.h"
#include "options/BColorTheme.h"
#include "toolkit/BZone.h"
#include "toolkit/BZoneLine.h"
#include "toolkit/GuiMetrics.h"
#include "toolkit/ScrollPager.h"
#include "toolkit/ZoneText.h"

#include <algorithm>
#include <cstdlib>

BMultiZone* BMultiZone::lastFocused_ = nullptr;

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// Keeps the DC's text alignment for a scope.
class TextAlignScope {
public:
    TextAlignScope(HDC dc, UINT align) : dc_(dc), old_(::SetTextAlign(dc, align)) {}
    ~TextAlignScope() { ::SetTextAlign(dc_, old_); }
    TextAlignScope(const TextAlignScope&) = delete;
    TextAlignScope& operator=(const TextAlignScope&) = delete;

private:
    HDC dc_;
    UINT old_;
};

}  // namespace

constexpr MessageEntry kMultiZoneEntries[] = {
    Cracked(WM_CREATE),
    Cracked(WM_ERASEBKGND),
    Cracked(WM_PAINT),
    Cracked(WM_SIZE),
    Cracked(WM_WINDOWPOSCHANGED),
    Cracked(WM_LBUTTONDOWN),
    Cracked(WM_LBUTTONUP),
    Cracked(WM_LBUTTONDBLCLK),
    Cracked(WM_MBUTTONDOWN),
    Cracked(WM_MOUSEMOVE),
    Cracked(WM_MOUSEWHEEL),
    Cracked(WM_KEYDOWN),
    Cracked(WM_GETDLGCODE),
    Cracked(WM_HSCROLL),
    Cracked(WM_VSCROLL),
    Cracked(WM_TIMER),
    Cracked(WM_SETFOCUS),
    Cracked(WM_KILLFOCUS),
    OnMessage(WM_CAPTURECHANGED, Route<&BMultiZone::OnCaptureChanged>),
    OnMessage(WM_CANCELMODE, Route<&BMultiZone::OnCancelMode>),
    OnNotifyRange(scroller::kShownCode, scroller::kHScrollId, scroller::kVScrollId,
                  Route<&BMultiZone::OnScrollerShown>),
};
const MessageMap BMultiZone::kMessageMap{&BPane::kMessageMap, kMultiZoneEntries};

BMultiZone::BMultiZone(int dividerType)
    : BPane(dividerType),
      normalColor(ThemeColor(79)),
      textColor(ThemeColor(80)),
      gridColor(ThemeColor(81)),
      currentFocusColor(ThemeColor(83)),
      currentColor(ThemeColor(84)),
      selectedColor(ThemeColor(82)) {}

BMultiZone::~BMultiZone() {
    if (lastFocused_ == this)
        lastFocused_ = nullptr;
    selection.Clear();
    lines.clear();
}

// --- Defaults of the subclass operations.

void BMultiZone::OnPageRows(int) {}
void BMultiZone::OnRowDraw(int, void*) {}
void BMultiZone::OnScrolled() {}
CRITICAL_SECTION* BMultiZone::GetDrawLock() { return nullptr; }
bool BMultiZone::HasFocus() { return ::GetFocus() == m_hWnd; }
void BMultiZone::DrawBackground(CDC&) {}
void BMultiZone::UpdateCount() {}
void BMultiZone::OnZoneMiddleClick(BZone*, int) {}
void BMultiZone::OnZoneDown(BZone*, int, int) {}
void BMultiZone::OnZoneUp(BZone*, int, int) {}
void BMultiZone::OnZoneDblClick(BZone*, int, int) {}
void BMultiZone::OnZoneDrag(BZone*, int, int, UINT) {}
void BMultiZone::OnHeaderDblClick(BZone*) {}
FileParseThread* BMultiZone::GetDocument() { return nullptr; }
void BMultiZone::DrawExtra(CDC&, int, int, int, int, int) {}
void BMultiZone::ReleaseItem(void*) {}

BZoneLine* BMultiZone::GetLine(int) {
    if (lines.empty())
        return nullptr;
    lines.front()->row = -1;
    return lines.front().get();
}

void BMultiZone::GetClientArea(RECT& r) { r = GetClientRect(); }

COLORREF BMultiZone::RowBackColor(int row) {
    BScrollPager* pager = Pager();
    if (pager && pager->SelectionClass(vScroller, row, &selection) != 0)
        return selectedColor;
    if (!pager || !pager->IsCurrentRow(vScroller, row))
        return normalColor;
    return HasFocus() ? currentFocusColor : currentColor;
}

void BMultiZone::SetZoneWidth(BZone* zone, int width) {
    zone->SetWidth(width);
    relayoutRunning = true;
    BPane::Relayout(m_hWnd);
    relayoutRunning = false;
}

// --- Lines, font, colours.

void BMultiZone::AddLine(BZoneLine* line) {
    line->owner = this;
    line->CreateZones(this);
    if (font.GetSafeHandle()) {
        line->lineHeight = rowHeight;
        line->SetFont(&font);
    }
    lines.emplace_back(line);
}

void BMultiZone::SetFixedColumns(BZoneLine* line) { fixedColumns = line->ZoneCount() - 1; }

void BMultiZone::SetFont(const wchar_t* face, int points, int weight, bool italic) {
    CreateFontPoints(font, face, points, italic, weight);
    TEXTMETRICW tm{};
    {
        CClientDC dc(m_hWnd);
        SelectGdi keep(dc, font.GetSafeHandle());
        dc.GetTextMetrics(&tm);
    }
    rowHeight = std::max<int32_t>(tm.tmHeight + rowGap, 1);
    vScroller.lineHeight = rowHeight;
    // Sideways a line step is one and a half characters; positions stay pixels.
    hScroller.lineStep = std::max<int32_t>(tm.tmAveCharWidth * 3 / 2, 1);
    for (auto& line : lines) {
        line->lineHeight = rowHeight;
        line->SetFont(&font);
    }
    // Rows per page follow the new row height at once, not at the next resize.
    if (vScroller.m_hWnd && vScroller.height > 0) {
        vScroller.SetPage(vScroller.height / rowHeight);
        vScroller.UpdateThumb();
        vScroller.NormalizePosition();
    }
}

void BMultiZone::SetNormalColor(COLORREF colour) {
    normalColor = colour;
    for (auto& line : lines)
        line->SetBackColors(colour);
}

void BMultiZone::SetHighlightColor(COLORREF colour) {
    for (auto& line : lines)
        line->SetHighlightColors(colour);
}

void BMultiZone::SetMatchColor(COLORREF colour) {
    for (auto& line : lines)
        line->SetMatchColors(colour);
}

void BMultiZone::SetTextColor(COLORREF colour) {
    textColor = colour;
    for (auto& line : lines)
        line->SetTextColors(colour);
}

// --- Geometry.

int BMultiZone::RowAtY(int y) {
    RECT client;
    GetClientArea(client);
    const int d = y - headerHeight - client.top;
    return d < 0 ? -1 : d / std::max(rowHeight, 1);
}

int BMultiZone::HOffset() const {
    return Shows(hScroller) ? static_cast<int>(std::min<int64_t>(std::max<int64_t>(hScroller.top, 0), INT32_MAX / 2))
                            : 0;
}

int BMultiZone::PageX(int x) {
    RECT t;
    GetTextArea(t);
    return x < t.left + fixedWidth ? x : x + HOffset();
}

BZone* BMultiZone::ZoneAtXY(int x, int y) {
    BZoneLine* line = GetLine(RowAtY(y));
    return line ? line->ZoneAtPoint(PageX(x), y) : nullptr;
}

int BMultiZone::ColumnAtX(BZone* zone, int row, int x) {
    auto* chars = dynamic_cast<BZoneChar*>(zone);
    if (!chars || row < 0)
        return -1;
    SectionLock lock(GetDrawLock());
    void* item = GetItem(row);
    if (!item)
        return -1;
    BZoneLine* line = GetLine(row);
    int column = -1;
    if (line) {
        line->row = row;
        line->SetData(item);
        CWindowDC dc(m_hWnd);
        std::vector<int> offsets;
        chars->GetCharOffsets(dc, offsets);
        column = chars->ColumnAt(offsets, x) / std::max(chars->charsPerUnit, 1);
    }
    ReleaseItem(item);
    return column;
}

int BMultiZone::MaxZoneWidth(BZone* zone, int firstRow, int lastRow) {
    SectionLock lock(GetDrawLock());
    CClientDC dc(m_hWnd);
    int widest = 0;
    for (int row = firstRow; row <= lastRow; ++row) {
        void* item = GetItem(row);
        if (!item)
            break;
        if (BZoneLine* line = GetLine(row)) {
            line->row = row;
            line->SetData(item);
            widest = std::max(widest, zone->MeasureWidth(dc));
        }
        ReleaseItem(item);
    }
    return widest;
}

int64_t BMultiZone::LineOfRow(int row) {
    if (row < 0 || !Pager())
        return -1;
    return Pager()->PositionOfRow(vScroller, row);
}

void BMultiZone::ResetScroll() {
    vScroller.rangeEnd = 0;
    vScroller.top = 0;
    selection.Clear();
}

void BMultiZone::GetTextArea(RECT& r) {
    GetClientArea(r);
    if (Shows(vScroller) && Width(r) >= kScrollerThickness)
        r.right -= kScrollerThickness;
    if (Shows(hScroller) && Height(r) >= kScrollerThickness)
        r.bottom -= kScrollerThickness;
}

void BMultiZone::GetPageArea(RECT& r) {
    GetTextArea(r);
    if (Shows(vScroller))
        r.top = std::min<LONG>(r.top + headerHeight, r.bottom);
}

RECT BMultiZone::GetRowRect(int n) {
    RECT r;
    GetPageArea(r);
    r.top += n * rowHeight;
    r.bottom = r.top + rowHeight;
    return r;
}

void BMultiZone::DrawGrid(CDC& dc) {
    RECT page;
    GetPageArea(page);
    const int right = page.left + (lines.empty() ? 0 : lines.front()->TotalVisibleWidth());
    CPen pen(PS_SOLID, 1, gridColor);
    SelectGdi keep(dc, pen.GetSafeHandle());
    for (int top = page.top;; top += rowHeight) {
        const int y = top + rowHeight - rowGap;
        if (y >= page.bottom || rowHeight <= 0)
            break;
        dc.MoveTo(page.left, y);
        dc.LineTo(right, y);
    }
}

int BMultiZone::AutoscrollRegion(int x, int y) {
    RECT a;
    GetTextArea(a);
    if (Shows(vScroller))
        a.top += headerHeight;
    const int fixedEdge = a.left + fixedWidth;
    if (y < a.top + 6)
        return 1;
    if (y >= a.bottom - 6)
        return 2;
    if (x >= a.right - 6)
        return 4;
    if ((x >= fixedEdge && x < fixedEdge + 6) || x < a.left)
        return 3;
    return 0;
}

// --- Layout.

void BMultiZone::LayoutLines() {
    if (lines.empty())
        return;
    BZoneLine& first = *lines.front();
    fixedWidth = 0;
    for (int i = 0; i <= fixedColumns && i < first.ZoneCount(); ++i)
        fixedWidth += first.ZoneAt(i)->VisibleWidth();
    contentWidth = first.TotalVisibleWidth();
    // A stretching zone takes what the text area leaves beside the other columns.
    int rigid = 0;
    for (BZone* z : first.zones)
        if (!(z->flags & BZone::kStretch))
            rigid += z->VisibleWidth();
    RECT r;
    GetTextArea(r);
    r.right = std::max<LONG>(r.right, r.left + rigid);
    for (auto& line : lines)
        line->PlaceZones(r);
}

void BMultiZone::ResizePage() {
    const RECT client = GetClientRect();
    const int visible = Width(client);
    const int h = Height(client);
    if (visible <= 0 || h <= 0)
        return;
    // As wide as the columns may grow, but no wider than can be shown: the visible width plus the
    // sideways scroll reach (a zone's maximum may be far beyond any screen).
    const int reach = std::max<int>(contentWidth, static_cast<int>(std::min<int64_t>(hScroller.rangeEnd, 0x7FFF)));
    const int wanted = std::max<int>(visible, lines.empty() ? 0 : lines.front()->TotalMaxWidth());
    const SIZE page{std::min(wanted, visible + std::max(reach, 0)), h};
    CClientDC dc(m_hWnd);
    // A size GDI refused is not asked for again by every erase, only once the pane wants another.
    if (page.cx != refusedPage_.cx || page.cy != refusedPage_.cy) {
        shadow.GrowBitmap(dc, page.cx, page.cy);
        const bool refused = shadow.maxWidth < page.cx || shadow.maxHeight < page.cy;
        refusedPage_ = refused ? page : SIZE{0, 0};
    }
    // Refused: the visible size at least, so the pane keeps painting; a smaller page kept from
    // before would leave part of the pane unpainted.
    if (shadow.bitmap.IsNull() || shadow.maxWidth < visible || shadow.maxHeight < h)
        shadow.GrowBitmap(dc, visible, h);
}

int BMultiZone::OnCreate(CREATESTRUCTW* cs) {
    const int result = BPane::OnCreate(cs);
    if (result != 0)
        return result;
    cornerButtons.endGap = 2;
    topCorner.Create(m_hWnd);
    bottomCorner.Create(m_hWnd);
    hScroller.CreateBarA(m_hWnd);
    vScroller.CreateBarB(m_hWnd);
    // Sideways the position is a pixel offset stepped by lineStep, without a current column.
    hScroller.SetPager(new ScrollPagerPage);
    return 0;
}

void BMultiZone::OnSize(UINT, int cx, int cy) {
    if (cx <= 0 || cy <= 0 || !(GetStyle() & WS_VISIBLE))
        return;
    RECT t;
    GetTextArea(t);
    if (Shows(vScroller)) {
        topCorner.MoveWindow(t.right, t.top, kScrollerThickness, headerHeight, true);
        vScroller.MoveWindow(t.right, t.top + headerHeight, kScrollerThickness,
                             std::max<int>(Height(t) - headerHeight, 0), true);
    } else if (vScroller.m_hWnd) {
        // Hidden while a neighbour's scroller moves the rows: its page still counts the rows shown here.
        vScroller.SetPage(std::max<int>(Height(t), 0) / std::max<int32_t>(rowHeight, 1));
    }
    if (Shows(hScroller)) {
        cornerLength = cornerButtons.MeasureLength();
        const int left = t.left + cornerLength;
        hScroller.extraWidth = cornerLength;
        hScroller.MoveWindow(left, t.bottom, std::max<int>(t.right - left, 0), kScrollerThickness, true);
        bottomCorner.MoveWindow(t.right, t.bottom, kScrollerThickness, kScrollerThickness, true);
    }
}

void BMultiZone::OnWindowPosChanged(WINDOWPOS* pos) {
    BPane::OnWindowPosChanged(pos);   // WM_SIZE and WM_MOVE
    if ((pos->flags & SWP_NOSIZE) && !(pos->flags & SWP_FRAMECHANGED))
        return;
    const RECT client = GetClientRect();
    if (Width(client) <= 0 || Height(client) <= 0)
        return;
    LayoutLines();
    ResizePage();
    Invalidate();
}

void BMultiZone::OnScrollerShown(NMHDR* header, LRESULT* result) {
    *result = 0;
    if (!hScroller.m_hWnd || !vScroller.m_hWnd)
        return;
    const bool shown = reinterpret_cast<scroller::ShownNotice*>(header)->shown != 0;
    const bool fromVertical = header->idFrom == scroller::kVScrollId;
    if (fromVertical)
        topCorner.ShowWindow(shown ? SW_SHOWNA : SW_HIDE);
    const bool other = fromVertical ? Shows(hScroller) : Shows(vScroller);
    bottomCorner.ShowWindow(shown && other ? SW_SHOWNA : SW_HIDE);
}

// --- Painting.

BOOL BMultiZone::OnEraseBkgnd(HDC) {
    ResizePage();   // a column drawn wider, or a bitmap refused before
    if (!shadow.GetSafeHdc() || shadow.bitmap.IsNull())
        return TRUE;
    SelectGdi page(shadow, shadow.bitmap.GetSafeHandle());
    shadow.FillSolidRect(RECT{0, 0, shadow.maxWidth, shadow.maxHeight}, normalColor);
    const int oldMode = shadow.SetBkMode(TRANSPARENT);
    {
        TextAlignScope align(shadow, TA_BOTTOM);
        SectionLock lock(GetDrawLock());
        DrawBackground(shadow);
        DrawRows(shadow);
        UpdateScrollers(shadow);
    }
    shadow.SetBkMode(oldMode);
    return TRUE;
}

int32_t BMultiZone::DrawRows(CDC& dc) {
    UpdateCount();
    BScrollPager* pager = Pager();
    const int n = vScroller.page;
    if (n <= 0 || !pager)
        return 0;
    OnPageRows(n);
    RECT page;
    GetPageArea(page);
    int top = page.top;
    const int right = 0x7FFF;
    int widest = 0;
    for (int i = 0; i <= n; ++i) {
        void* item = GetItem(i);
        if (!item)
            break;
        OnRowDraw(i, item);
        const int bottom = top + rowHeight - rowGap;
        BZoneLine* line = GetLine(i);
        if (line) {
            line->SetRowMark(pager->SelectionClass(vScroller, i, &selection));
            const COLORREF colour = RowBackColor(i);
            if (colour != normalColor)
                dc.FillSolidRect(RECT{page.left, top, right, bottom}, colour);
            line->row = i;
            line->SetBackColors(colour);
            line->SetData(item);
            line->searchText = selection.selectedText;
            const ZoneLineWidths w = line->Draw(dc, i, page.left, top, right, bottom, colour != normalColor);
            widest = std::max(widest, w.width);
        }
        ReleaseItem(item);
        top = bottom + rowGap;
    }
    if (hScroller.top == 0)
        hScroller.rangeEnd = widest;
    return widest;
}

void BMultiZone::UpdateScrollers(CDC&) {
    for (BScroller* bar : {static_cast<BScroller*>(&hScroller), static_cast<BScroller*>(&vScroller)}) {
        if (!bar->m_hWnd)
            continue;
        bar->UpdateThumb();
        bar->Invalidate();
    }
}

void BMultiZone::OnPaint() {
    CPaintDC dc(m_hWnd);
    if (!shadow.GetSafeHdc() || shadow.bitmap.IsNull())
        return;
    SelectGdi page(shadow, shadow.bitmap.GetSafeHandle());
    RECT t;
    GetTextArea(t);
    const int fixed = std::min<int>(fixedWidth, Width(t));
    if (fixed > 0)
        dc.BitBlt(t.left, t.top, fixed, Height(t), shadow, t.left, t.top);
    dc.BitBlt(t.left + fixed, t.top, Width(t) - fixed, Height(t), shadow, t.left + fixed + HOffset(), t.top);
    if (Shows(hScroller) && cornerLength > 0) {
        const RECT strip{t.left, t.bottom, t.left + cornerLength, t.bottom + kScrollerThickness};
        cornerButtons.Layout(strip.left, strip.top, strip.right, strip.bottom, nullptr);
        cornerButtons.PaintBackground(dc, strip);
    }
}

// --- Scrolling.

void BMultiZone::Refresh(BScroller& bar) {
    bar.NormalizePosition();
    bar.UpdateThumb();
    bar.Invalidate();
}

void BMultiZone::VerticalStep(UINT code, int count) {
    for (int i = 0; i < count; ++i)
        vScroller.Scroll(code, 0);
    Refresh(vScroller);
    OnScrolled();
    Invalidate(true);
    UpdateWindow();
}

void BMultiZone::HorizontalStep(UINT code) {
    hScroller.Scroll(code, 0);
    Refresh(hScroller);
    Invalidate(false);
    UpdateWindow();
}

void BMultiZone::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const bool sideways = Shows(hScroller);
    switch (key) {
    case VK_PRIOR: VerticalStep(SB_PAGEUP); return;
    case VK_NEXT: VerticalStep(SB_PAGEDOWN); return;
    case VK_UP: VerticalStep(SB_LINEUP); return;
    case VK_DOWN: VerticalStep(SB_LINEDOWN); return;
    case VK_LEFT:
        if (sideways)
            HorizontalStep(SB_LINEUP);
        return;
    case VK_RIGHT:
        if (sideways)
            HorizontalStep(SB_LINEDOWN);
        return;
    case VK_HOME:
    case VK_END: {
        const UINT code = key == VK_HOME ? SB_TOP : SB_BOTTOM;
        if (ctrl)
            VerticalStep(code);
        else if (sideways)
            HorizontalStep(code);
        return;
    }
    default: CWnd::OnKeyDown(key, repeat, flags);
    }
}

UINT BMultiZone::OnGetDlgCode() { return DLGC_WANTALLKEYS; }

BOOL BMultiZone::OnMouseWheel(UINT, short delta, POINT) {
    const int notches = delta / WHEEL_DELTA;
    VerticalStep(notches < 0 ? SB_LINEDOWN : SB_LINEUP, 3 * std::abs(notches));
    return TRUE;
}

void BMultiZone::OnVScroll(UINT code, UINT position, HWND) {
    vScroller.Scroll(code, static_cast<int16_t>(position));
    Refresh(vScroller);
    OnScrolled();
    Invalidate(true);
}

void BMultiZone::OnHScroll(UINT code, UINT position, HWND) {
    if (!Shows(hScroller))
        return;
    hScroller.Scroll(code, static_cast<int16_t>(position));
    Refresh(hScroller);
    Invalidate(false);
}

// --- Mouse.

POINT BMultiZone::CursorClient() const {
    POINT p = CursorScreenPos();
    ScreenToClient(&p);
    return p;
}

void BMultiZone::OnLButtonDown(UINT, POINT p) {
    SetFocus();
    SetCapture();
    BZone* zone = ZoneAtXY(p.x, p.y);
    if (!zone)
        return;
    const int x = PageX(p.x);
    if (!zone->IsSeparator()) {
        const int row = RowAtY(p.y);
        if (row >= RowsPerPage())
            return;
        {
            SectionLock lock(GetDrawLock());
            void* item = row >= 0 ? GetItem(row) : nullptr;
            BZoneLine* line = item ? GetLine(row) : nullptr;
            if (line) {
                line->row = row;
                line->SetData(item);
                CClientDC dc(m_hWnd);
                selection.Begin(dc, zone, LineOfRow(row), x, p.y);
            } else {
                selection.Clear();
            }
            if (item)
                ReleaseItem(item);
        }
        OnZoneDown(zone, row, x);
        Invalidate();
        return;
    }
    // A separator of any row drags the header's separator at the same place.
    BZone* handle = lines.size() > 1 ? lines.front()->CorrespondingZone(zone) : zone;
    auto* separator = dynamic_cast<ZoneSeparator*>(handle);
    if (!separator || !separator->sizedZone)
        return;
    BZone* sized = separator->sizedZone;
    RECT confine = sized->rect;
    const int shift = PageX(p.x) - p.x;
    if (confine.left >= fixedWidth) {
        confine.left -= shift;
        confine.right -= shift;
    }
    confine.right = confine.left + sized->GetMaxWidth() + 1;
    dragSeparator = separator;
    separator->BeginDrag(this, p.x, confine);
}

void BMultiZone::OnMouseMove(UINT flags, POINT p) {
    if (!(flags & MK_LBUTTON)) {
        if (BZone* zone = ZoneAtXY(p.x, p.y))
            zone->OnHover();
        return;
    }
    if (!HasCapture())
        return;
    if (dragSeparator) {
        dragSeparator->DragTo(this, p.x);
        return;
    }
    if (AutoscrollRegion(p.x, p.y) != 0) {
        SetTimer(kAutoscrollTimer, static_cast<UINT>(autoscrollInterval));
        return;
    }
    RECT t;
    GetTextArea(t);
    if (p.x <= t.left + fixedWidth)
        return;
    if (FollowDrag(p, flags)) {
        Invalidate();
        UpdateWindow();
    }
}

bool BMultiZone::FollowDrag(POINT p, UINT keys) {
    const int row = RowAtY(p.y);
    if (row < 0 || row >= RowsPerPage() || !Pager())
        return false;
    const int64_t line = LineOfRow(row);
    if (line < vScroller.RangeStart() || line >= vScroller.RangeEnd())
        return false;
    BZone* zone = ZoneAtXY(p.x, p.y);
    const int x = PageX(p.x);
    selection.OnMouseMove(zone, line, x, p.y);
    OnZoneDrag(zone, row, x, keys);
    return true;
}

void BMultiZone::OnLButtonUp(UINT, POINT p) {
    if (dragSeparator) {
        ZoneSeparator* separator = dragSeparator;
        dragSeparator = nullptr;
        separator->EndDrag(this, p.x);
        BZone* sized = separator->sizedZone;
        SetZoneWidth(sized, std::max<int>(PageX(p.x) - sized->rect.left, 0));
        LayoutLines();
    } else {
        const int row = RowAtY(p.y);
        if (row < RowsPerPage())
            if (BZone* zone = ZoneAtXY(p.x, p.y))
                OnZoneUp(zone, row, PageX(p.x));
        selection.EndDrag();
        KillTimer(kAutoscrollTimer);
    }
    // Released after the drag's own end: losing the capture cancels whatever still runs.
    ::ReleaseCapture();
    Invalidate();
}

void BMultiZone::CancelDrag() {
    if (ZoneSeparator* separator = dragSeparator) {
        dragSeparator = nullptr;
        separator->EndDrag(this, separator->dragX);
        // A paint during the drag already wiped the track line, so the erase may have drawn one.
        Invalidate();
    }
    if (selection.flags & TextSelection::kDragging)
        selection.EndDrag();
    KillTimer(kAutoscrollTimer);
    dragClip.Release();
}

LRESULT BMultiZone::OnCaptureChanged(WPARAM, LPARAM) {
    CancelDrag();
    return 0;
}

LRESULT BMultiZone::OnCancelMode(WPARAM, LPARAM) {
    CancelDrag();
    if (HasCapture())
        ::ReleaseCapture();
    return 0;
}

void BMultiZone::OnLButtonDblClk(UINT, POINT p) {
    const int row = RowAtY(p.y);
    if (row >= RowsPerPage())
        return;
    BZone* zone = ZoneAtXY(p.x, p.y);
    if (!zone)
        return;
    if (row >= 0 || !zone->IsSeparator())
        OnZoneDblClick(zone, row, PageX(p.x));
    else
        OnHeaderDblClick(zone);
}

void BMultiZone::OnMButtonDown(UINT, POINT p) {
    if (BZone* zone = ZoneAtXY(p.x, p.y))
        OnZoneMiddleClick(zone, RowAtY(p.y));
}

void BMultiZone::OnTimer(UINT_PTR id) {
    if (id != kAutoscrollTimer) {
        BPane::OnTimer(id);
        return;
    }
    KillTimer(kAutoscrollTimer);
    const POINT p = CursorClient();
    switch (AutoscrollRegion(p.x, p.y)) {
    case 1: vScroller.Scroll(SB_LINEUP, 0); break;
    case 2: vScroller.Scroll(SB_LINEDOWN, 0); break;
    case 3: hScroller.Scroll(SB_LINEUP, 0); break;
    case 4: hScroller.Scroll(SB_LINEDOWN, 0); break;
    default: return;
    }
    Refresh(vScroller);
    Refresh(hScroller);
    const int row = std::min(std::max(RowAtY(p.y), 0), std::max(RowsPerPage() - 1, 0));
    if (FollowDrag(POINT{p.x, GetRowRect(row).top}, 1))
        SetTimer(kAutoscrollTimer, static_cast<UINT>(autoscrollInterval));
    Invalidate();
    UpdateWindow();
}

void BMultiZone::OnSetFocus(HWND previous) {
    BPane::OnSetFocus(previous);
    ::InvalidateRect(GetParent(), nullptr, TRUE);
}

void BMultiZone::OnKillFocus(HWND next) {
    BPane::OnKillFocus(next);
    lastFocused_ = this;
    ::InvalidateRect(GetParent(), nullptr, TRUE);
}
