#include "toolkit/BStatusBar.h"

#include "options/BColorTheme.h"
#include "toolkit/GuiMetrics.h"
#include "toolkit/HShadowDC.h"
#include "toolkit/ImageLists.h"
#include "toolkit/ToolTip.h"

#include <algorithm>

// ---- cells

StatusCell::StatusCell() : textColor(ThemeColor(4)), backColor(ThemeColor(0)) {}

int StatusCell::IconWidth() const {
    if (icon) return iconSize + 3;
    return (flags & kLamp) ? 12 : 0;
}

bool StatusCell::IconAtRight() const {
    return (flags & DT_RIGHT) || ((flags & kIconRight) && (flags & DT_CENTER));
}

void StatusCell::DrawFrame(CDC& dc, RECT r) const {
    r.left += 1;
    r.right -= 1;
    dc.FillSolidRect(r, backColor);
    if (flags < 0) dc.Draw3dRect(r, ThemeColor(3), ThemeColor(2));
    else dc.Draw3dRect(r, ThemeColor(2), ThemeColor(3));
}

void StatusCell::Draw(CDC& dc, RECT r) const {
    r.left += 3;
    r.right -= 3;
    if (icon || (flags & kLamp)) {
        const int size = icon ? (enabled || !disabledIcon ? iconSize : disabledIconSize) : 9;
        const int x = IconAtRight() ? r.right - size : r.left;
        const int y = r.top + (r.bottom - r.top - size) / 2;
        if (icon) {
            dc.DrawIcon(x, y, enabled || !disabledIcon ? icon : disabledIcon, size);
            if (flags & kLamp) {
                TImageList2<8>& overlays = CheckOverlays();
                CImageList& list = enabled ? static_cast<CImageList&>(overlays) : overlays.grey;
                list.Draw(dc, lampOn ? 1 : 0, x + size - 8, y + size - 8, ILD_TRANSPARENT);
            }
        } else {
            TImageList2<9>& marks = CheckMarks((flags & kSecondLamps) ? 1 : 0);
            CImageList& list = enabled ? static_cast<CImageList&>(marks) : marks.grey;
            list.Draw(dc, lampOn ? 1 : 0, x, y, ILD_TRANSPARENT);
        }
        if (IconAtRight()) r.right -= IconWidth();
        else r.left += IconWidth();
    }
    if (!enabled) return;
    const COLORREF oldText = dc.SetTextColor(textColor);
    const COLORREF oldBack = dc.SetBkColor(backColor);
    dc.DrawText(text, &r, static_cast<UINT>(flags) & 0xFFFFFF);
    dc.SetTextColor(oldText);
    dc.SetBkColor(oldBack);
}

// ---- the bar

namespace {
const MessageEntry kStatusBarEntries[] = {
    Cracked(WM_CREATE), Cracked(WM_DESTROY), Cracked(WM_ERASEBKGND), Cracked(WM_PAINT), Cracked(WM_TIMER),
    Cracked(WM_LBUTTONDOWN), Cracked(WM_LBUTTONDBLCLK), Cracked(WM_RBUTTONDOWN), Cracked(WM_SIZE),
};
}  // namespace

const MessageMap BStatusBar::kMessageMap{&BPane::kMessageMap, kStatusBarEntries};

BStatusBar::BStatusBar(int cellCount) : BPane(1), cells(std::max(cellCount, 0)) {}

int BStatusBar::OnCreate(CREATESTRUCTW* cs) {
    if (BPane::OnCreate(cs) == -1) return -1;
    backColor = ThemeColor(0);
    highlightBack = ThemeColor(42);
    highlightText = ThemeColor(43);
    font.CreatePointFont(100, L"Helv");
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(font)), 0);
    SetSide(2);
    return 0;
}

int BStatusBar::GetBarHeight() const {
    return CharCellFromMetrics(font).cy + 6;
}

int BStatusBar::GetExtent() const {
    return GetBarHeight();
}

void BStatusBar::EndHighlight(int cell) {
    if (cell < 0 || cell >= static_cast<int>(cells.size())) return;
    if (m_hWnd) KillTimer(static_cast<UINT_PTR>(cell));
    if (static_cast<size_t>(cell) < saved_.size() && saved_[cell].highlighted) {
        cells[cell].textColor = saved_[cell].text;
        cells[cell].backColor = saved_[cell].back;
        saved_[cell].highlighted = false;
    }
}

void BStatusBar::SetCellText(const wchar_t* text) {
    if (mainCell < 0 || mainCell >= static_cast<int>(cells.size())) return;
    EndHighlight(mainCell);
    cells[mainCell].text = text;   // null gives an empty text
    Invalidate(true);
}

void BStatusBar::Highlight(int cell, int seconds) {
    if (cell < 0 || cell >= static_cast<int>(cells.size())) return;
    if (saved_.size() < cells.size()) saved_.resize(cells.size());
    Saved& s = saved_[cell];
    if (!s.highlighted) {
        s.highlighted = true;
        s.text = cells[cell].textColor;
        s.back = cells[cell].backColor;
    }
    cells[cell].backColor = highlightBack;
    cells[cell].textColor = highlightText;
    SetTimer(static_cast<UINT_PTR>(cell), static_cast<UINT>(seconds) * 1000u);
    Invalidate(true);
    UpdateWindow();
}

void BStatusBar::HighlightCurrent(int seconds) {
    if (seconds != 0) Highlight(mainCell, seconds);
}

void BStatusBar::ClearCell(int index) {
    if (index >= 0 && index < static_cast<int>(cells.size())) cells[index].text.clear();
}

void BStatusBar::ClearCells() {
    // An emptied cell must not stay lit with no timer left to end it.
    for (int i = 0; i < static_cast<int>(cells.size()); ++i) EndHighlight(i);
    for (StatusCell& c : cells) c.text.clear();
}

std::pair<int, int> BStatusBar::HitTest(int x) const {
    int left = 0;
    for (int i = 0; i < static_cast<int>(cells.size()); ++i) {
        const int w = cells[i].width;
        if (w <= 0) continue;
        if (left + w > x) return {i, x - left};
        left += w;
    }
    return {-1, 0};
}

int BStatusBar::GetTipText(TOOLINFOW* info, int index, int) const {
    info->uId = static_cast<UINT_PTR>(index);
    info->lpszText = WcsDupN(256, cells[index].tipText.c_str());
    return 1;
}

INT_PTR BStatusBar::OnToolHitTest(POINT point, TOOLINFOW* info) const {
    const auto hit = HitTest(point.x);
    if (hit.first < 0) return -1;
    const StatusCell& c = cells[hit.first];
    const RECT client = GetClientRect();
    info->hwnd = m_hWnd;
    info->rect = RECT{point.x - hit.second, client.top, point.x - hit.second + c.width, client.bottom};
    GetTipText(info, hit.first, hit.second);
    return static_cast<INT_PTR>(info->uId);
}

void BStatusBar::LayoutCells(int cx, int) {
    if (mainCell < 0 || mainCell >= static_cast<int>(cells.size())) return;
    int others = 0;
    for (int i = 0; i < static_cast<int>(cells.size()); ++i)
        if (i != mainCell && cells[i].width > 0) others += cells[i].width;
    // The main cell's width already holds its icon: the cells end at the bar's right edge.
    cells[mainCell].width = cx - others;
}

void BStatusBar::OnSize(UINT, int cx, int cy) {
    LayoutCells(cx, cy);
}

void BStatusBar::PaintInto(CDC& dc, const RECT& client) {
    PrepareCells();
    dc.FillSolidRect(client, backColor);
    int x = client.left;
    for (StatusCell& c : cells) {
        if (c.width <= 0) continue;
        c.DrawFrame(dc, RECT{x, client.top, x + c.width, client.bottom});
        x += c.width;
    }
    dc.SetBkMode(TRANSPARENT);
    const HGDIOBJ oldFont = ::SelectObject(dc, font.GetSafeHandle());
    x = client.left;
    for (StatusCell& c : cells) {
        c.left = x;
        if (c.width >= 1) {
            c.Draw(dc, RECT{x, client.top, x + c.width, client.bottom});
            x += c.width;
        }
    }
    ::SelectObject(dc, oldFont);
    PaintExtra(dc, client);
}

void BStatusBar::OnPaint() {
    CPaintDC paint(m_hWnd);
    const RECT client = GetClientRect();
    const int w = client.right, h = client.bottom;
    if (w <= 0 || h <= 0) return;
    MemoryDC mem;
    if (!mem.Create(paint, w, h)) return;
    PaintInto(mem, client);
    paint.BitBlt(mem.leftSkip, 0, w - mem.leftSkip - mem.rightSkip, h, mem, mem.leftSkip, 0);
}

void BStatusBar::OnTimer(UINT_PTR id) {
    if (id >= cells.size()) return;
    const int cell = static_cast<int>(id);
    EndHighlight(cell);
    ClearCell(cell);
    Invalidate(true);
    UpdateWindow();
}

void BStatusBar::OnDestroy() {
    for (size_t i = 0; i < cells.size(); ++i) KillTimer(i);
    CWnd::OnDestroy();
}

void BStatusBar::ReportClick(UINT kind, int x) {
    const int cell = HitTest(x).first;
    if (cell < 0) return;
    clickedCell = cell;
    ::SendMessageW(GetParent(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), kind), reinterpret_cast<LPARAM>(m_hWnd));
    clickedCell = -1;
}

void BStatusBar::OnLButtonDown(UINT, POINT point) { ReportClick(kClickLeft, point.x); }
void BStatusBar::OnLButtonDblClk(UINT, POINT point) { ReportClick(kClickDouble, point.x); }
void BStatusBar::OnRButtonDown(UINT, POINT point) { ReportClick(kClickRight, point.x); }
