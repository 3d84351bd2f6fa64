#include "toolkit/BTabber.h"

#include "classlib/RotateBlt.h"
#include "options/BColorTheme.h"
#include "toolkit/DrawTools.h"
#include "toolkit/GuiMetrics.h"
#include "toolkit/HShadowDC.h"
#include "toolkit/ImageLists.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace {

constexpr int kDragStart = 12;      // pixels along the strip before a press becomes a drag
constexpr int kButtonSide = 15;
constexpr int kButtonRoom = 33;     // kept free at the end of the last row for the two buttons
constexpr int kMargin = 3;          // each side of a tab cell

HFONT FontOrDefault(const CFont& font) {
    return font.IsNull() ? static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)) : static_cast<HFONT>(font.GetSafeHandle());
}

int TextWidthIn(HFONT font, const wchar_t* text) {
    HDC screen = ::GetDC(nullptr);
    const SIZE s = TextExtentInFont(screen, text, font);
    ::ReleaseDC(nullptr, screen);
    return s.cx;
}

// The scroll arrows, 9 x 9: hollow left, hollow right, filled left, filled right.
constexpr uint8_t kArrowHollowLeft[18] = {0, 0, 0x02, 0, 0x06, 0, 0x0A, 0, 0x12, 0, 0x0A, 0, 0x06, 0, 0x02, 0, 0, 0};
constexpr uint8_t kArrowHollowRight[18] = {0, 0, 0x20, 0, 0x30, 0, 0x28, 0, 0x24, 0, 0x28, 0, 0x30, 0, 0x20, 0, 0, 0};
constexpr uint8_t kArrowLeft[18] = {0, 0, 0x02, 0, 0x06, 0, 0x0E, 0, 0x1E, 0, 0x0E, 0, 0x06, 0, 0x02, 0, 0, 0};
constexpr uint8_t kArrowRight[18] = {0, 0, 0x20, 0, 0x30, 0, 0x38, 0, 0x3C, 0, 0x38, 0, 0x30, 0, 0x20, 0, 0, 0};

TImageList<9>& ArrowGlyphs() {
    static TImageList<9> list;
    if (!list.GetSafeHandle() && list.Make()) {
        ImageListAddGlyph(list, kArrowHollowLeft);
        ImageListAddGlyph(list, kArrowHollowRight);
        ImageListAddGlyph(list, kArrowLeft);
        ImageListAddGlyph(list, kArrowRight);
        ImageListReplaceColor(list, 0, 0, 0x7FFF, 0x7FFF, RGB(0, 0, 0), ThemeColor(49));
    }
    return list;
}

}  // namespace

// ---- tabs

bool BTabOne::SetIcon(HICON newIcon, int size) {
    if (icon == newIcon) return false;
    icon = newIcon;
    iconSize = size;
    return true;
}

void BTabOne::SetText(const wchar_t* text) {
    caption = text;
    MeasureText();
}

void BTabOne::MeasureText() {
    textWidth = TextWidthIn(tabber ? FontOrDefault(tabber->font) : FontOrDefault(CFont()), caption.c_str());
}

int BTabOne::ContentWidth(bool compact) const {
    if (compact) return iconSize;
    return std::max(textWidth, 0) + (icon ? iconSize + 2 : 0);
}

void BTabOne::DrawIcon(CDC& dc, RECT& r, HICON shown) {
    if (shown) dc.DrawIcon(r.left, r.top + (r.bottom - r.top - iconSize) / 2, shown, iconSize);
    r.left += iconSize + 2;
}

void BTabOne::DrawText(CDC& dc, RECT& r) {
    const COLORREF old = dc.SetTextColor(enabled ? textColor : disabledTextColor);
    const int room = r.right - r.left;
    if (room >= textWidth) {
        dc.DrawText(caption, &r, textFormat);
    } else {
        const int dots = dc.GetTextExtent(L"..", 2).cx;
        if (room >= dots) {
            // The longest start (or end, for right-aligned text) that leaves room for "..".
            const bool atStart = (textFormat & DT_RIGHT) != 0;
            size_t keep = caption.size();
            StringW shown;
            while (true) {
                shown = atStart ? StringW(L"..") + caption.substr(caption.size() - keep)
                                : StringW(caption.substr(0, keep)) + L"..";
                if (keep == 0 || dc.GetTextExtent(shown).cx <= room) break;
                --keep;
            }
            dc.DrawText(shown, &r, textFormat);
        }
    }
    dc.SetTextColor(old);
}

void BTabOne::Draw(CDC& dc, RECT cell) {
    const bool compact = tabber && (tabber->flags & BTabber::kCompact);
    const int content = ContentWidth(compact);
    const int room = cell.right - cell.left;
    if (content < room) cell.left += (room - content) / 2;
    const HICON shown = enabled || !disabledIcon ? icon : disabledIcon;
    if (shown) DrawIcon(dc, cell, shown);
    if (!compact) DrawText(dc, cell);
}

TabVS2003::TabVS2003(BTabber* owner) : BTabOne(owner) {
    slant = 3;
    stripBack = ThemeColor(50);
    lineColor = ThemeColor(53);
    textColor = ThemeColor(54);
    disabledTextColor = ThemeColor(55);
    normalShape = ThemeColor(56);
    draggedShape = ThemeColor(57);
    outline = ThemeColor(58);
    focusShape = ThemeColor(59);
    fill = ThemeColor(50);
}

BTabOne* TabVS2003::Clone(BTabber* owner) const {
    auto* tab = new TabVS2003(*this);
    tab->tabber = owner;
    tab->window = nullptr;
    tab->caption.clear();
    tab->enabled = true;
    tab->icon = tab->disabledIcon = nullptr;
    tab->textWidth = -1;
    tab->iconSize = 0;
    return tab;
}

void TabVS2003::DrawShape(CDC& dc, const RECT& r, COLORREF colour) {
    const bool flipped = tabber && tabber->stripSide == BTabber::kBottom;
    const int outer = flipped ? r.bottom - 1 : r.top;   // the edge away from the page
    const int inner = flipped ? r.top : r.bottom;
    const int cut = flipped ? -4 : 4;
    const POINT points[6] = {
        {r.left, inner}, {r.left, outer + cut}, {r.left + 4, outer},
        {r.right - 4, outer}, {r.right, outer + cut}, {r.right, inner},
    };
    PenRestorer pen(dc, outline);
    BrushRestorer brush(dc, colour);
    dc.Polygon(points, 6);
}

void TabVS2003::Draw(CDC& dc, RECT cell) {
    const bool flipped = tabber && tabber->stripSide == BTabber::kBottom;
    RECT band = cell;
    if (flipped) {
        band.bottom = cell.top + slant;
        cell.top = band.bottom;
    } else {
        band.top = cell.bottom - slant;
        cell.bottom = band.top;
    }
    dc.FillSolidRect(band, fill);
    BTabOne::Draw(dc, cell);
}

// ---- scroll buttons

namespace {
const MessageEntry kTabButtonEntries[] = {
    Cracked(WM_CREATE), Cracked(WM_ERASEBKGND), Cracked(WM_LBUTTONDOWN), Cracked(WM_LBUTTONUP),
    Cracked(WM_RBUTTONDOWN), Cracked(WM_MOUSEMOVE), Cracked(WM_PAINT), Cracked(WM_TIMER),
};
}  // namespace

const MessageMap BTabButton::kMessageMap{&CWnd::kMessageMap, kTabButtonEntries};

int BTabButton::OnCreate(CREATESTRUCTW* cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    ArrowGlyphs();
    return 0;
}

BOOL BTabButton::OnEraseBkgnd(HDC dc) {
    CDC target(dc);
    target.FillSolidRect(GetClientRect(), tabber ? tabber->Prototype().stripBack : ThemeColor(50));
    return TRUE;
}

BOOL (WINAPI* BTabButton::getCursorPos)(POINT*) = ::GetCursorPos;

POINT BTabButton::CursorClientPos() const {
    POINT p{};
    getCursorPos(&p);
    ScreenToClient(&p);
    return p;
}

void BTabButton::OnLButtonDown(UINT, POINT point) {
    const RECT r = GetClientRect();
    const UINT id = static_cast<UINT>(GetDlgCtrlID());
    if (!tabber || !tabber->CanScroll(id) || !::PtInRect(&r, point)) return;
    KillTimer(kRepeatTimer);
    SetTimer(kRepeatTimer, HasCapture() ? 300 : 500);
    SetCapture();
    Invalidate(true);
    ::SendMessageW(*tabber, WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(m_hWnd));
}

void BTabButton::OnLButtonUp(UINT, POINT) {
    KillTimer(kRepeatTimer);
    if (HasCapture()) ::ReleaseCapture();
    Invalidate(true);
}

void BTabButton::OnRButtonDown(UINT, POINT) {
    if (tabber)
        ::SendMessageW(*tabber, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BTabber::kMenuCode),
                       reinterpret_cast<LPARAM>(m_hWnd));
}

void BTabButton::OnMouseMove(UINT, POINT point) {
    const RECT r = GetClientRect();
    if (!::PtInRect(&r, point) || hover) return;
    hover = true;
    Invalidate(true);
    SetTimer(kHoverTimer, 100);
}

void BTabButton::OnTimer(UINT_PTR id) {
    if (id == kRepeatTimer) {
        if (!HasCapture()) {          // released elsewhere: stop repeating
            KillTimer(kRepeatTimer);
            return;
        }
        OnLButtonDown(MK_LBUTTON, CursorClientPos());
    } else if (id == kHoverTimer) {
        const RECT r = GetClientRect();
        const POINT p = CursorClientPos();
        if (::PtInRect(&r, p)) return;
        hover = false;
        KillTimer(kHoverTimer);
        Invalidate(true);
    }
}

void BTabButton::PaintInto(CDC& dc, const RECT& client) {
    const bool pressed = HasCapture();
    const UINT id = static_cast<UINT>(GetDlgCtrlID());
    dc.FillSolidRect(client, tabber ? tabber->Prototype().stripBack : ThemeColor(50));
    if (hover) {
        if (pressed) dc.Draw3dRect(client, ThemeColor(52), ThemeColor(51));
        else dc.Draw3dRect(client, ThemeColor(51), ThemeColor(52));
    }
    RECT inner = client;
    ::InflateRect(&inner, -3, -3);
    if (pressed) ::OffsetRect(&inner, 1, 1);
    const bool can = tabber && tabber->CanScroll(id);
    const int image = (can ? 2 : 0) + (id == BTabber::kForwardId ? 1 : 0);
    TImageList<9>& arrows = ArrowGlyphs();
    const int x = inner.left + (inner.right - inner.left - 9) / 2;
    const int y = inner.top + (inner.bottom - inner.top - 9) / 2;
    if (tabber && tabber->IsVertical()) {
        HICON glyph = arrows.ExtractIcon(image);
        DrawIconRotated(dc, x, y, glyph, 9, 90);
        if (glyph) ::DestroyIcon(glyph);
    } else {
        arrows.Draw(dc, image, x, y, ILD_TRANSPARENT);
    }
}

void BTabButton::OnPaint() {
    CPaintDC paint(m_hWnd);
    PaintInto(paint, GetClientRect());
}

// ---- strip geometry

BTabberDraw::BTabberDraw(BTabber* owner, int width, int height)
    : tabber(owner), bitmapWidth(width), bitmapHeight(height) {
    const BTabOne& proto = owner->Prototype();
    rowHeight = proto.slant + 2 * owner->tabInset + owner->fontTerm;
}

int BTabberDraw::ButtonRoom() const {
    return tabber->rows == tabber->maxRows ? kButtonRoom : 0;
}

int BTabberDraw::StripEnd() const {
    return tabber->stripLength + 2 - ButtonRoom();
}

int BTabberDraw::Begin() {
    tabber->rows = 1;
    cell = RECT{2, 2, 2, 2 + rowHeight};
    const int n = static_cast<int>(tabber->tabs.size());
    if (tabber->maxRows == 0 && n > 0) {
        equalWidth = std::min(tabber->stripLength / n, tabber->maxTabWidth);
        remainder = equalWidth > 0 ? tabber->stripLength % equalWidth : 0;
        remainder = std::min(remainder, n);   // one extra pixel per tab at most
        if (equalWidth < 2 * tabber->iconWidth + 6) tabber->flags |= BTabber::kCompact;
        else tabber->flags &= ~BTabber::kCompact;
    } else {
        equalWidth = 0;
        remainder = 0;
    }
    return equalWidth;
}

int BTabberDraw::PlaceTab(int width) {
    cell.right = cell.left + width;
    if (remainder > 0) {
        ++cell.right;
        --remainder;
    }
    return StripEnd() - cell.right;
}

RECT BTabberDraw::GetTabRect() const {
    RECT r = cell;
    r.right = std::min<LONG>(r.right, StripEnd());
    return r;
}

void BTabberDraw::NextTabPos() {
    cell.left = cell.right;   // the cells touch: the margins are inside them
}

void BTabberDraw::StartRow(int width) {
    cell.top = cell.bottom + 2;
    cell.bottom = cell.top + rowHeight;
    cell.left = 2;
    cell.right = 2 + width;
    ++tabber->rows;
}

RECT BTabberDraw::GetStripRect() const {
    return RECT{0, cell.bottom, tabber->stripLength + 4, cell.bottom + 2};
}

void BTabberDraw::DrawBaseLine(CDC& dc) const {
    const RECT line = Map(RECT{2, cell.bottom - 1, tabber->stripLength + 2, cell.bottom});
    const int y = PageAbove() ? line.top : line.bottom - 1;
    if (line.right - line.left > line.bottom - line.top) DrawLineColor(dc, line.left, y, line.right, y, tabber->Prototype().lineColor);
    else DrawLineColor(dc, line.left, line.top, line.left, line.bottom, tabber->Prototype().lineColor);
}

void BTabberDraw::DrawTabSeparator(CDC& dc) const {
    const RECT r = Map(RECT{cell.right - 1, cell.top + 4, cell.right, cell.bottom - 4});
    DrawLineColor(dc, r.left, r.top, r.left, r.bottom, tabber->Prototype().lineColor);
}

void BTabberDraw::PlaceButtons(RECT& back, RECT& forward) const {
    const int right = tabber->stripLength + 4;
    const int bottom = cell.bottom - (rowHeight - kButtonSide) / 2;
    const RECT b{right - 32, bottom - kButtonSide, right - 32 + kButtonSide, bottom};
    const RECT f{b.right, b.top, b.right + kButtonSide, b.bottom};
    back = ToWindow(Map(b));
    forward = ToWindow(Map(f));
}

// ---- the tabber

namespace {
const MessageEntry kTabberEntries[] = {
    Cracked(WM_ERASEBKGND), Cracked(WM_PAINT), Cracked(WM_SIZE), Cracked(WM_WINDOWPOSCHANGED),
    Cracked(WM_LBUTTONDOWN), Cracked(WM_LBUTTONUP), Cracked(WM_MOUSEMOVE),
    OnControl(BTabber::kMenuCode, BTabber::kBackId, Route<&BTabber::ShowTabMenu>),
    OnControl(BTabber::kMenuCode, BTabber::kForwardId, Route<&BTabber::ShowTabMenu>),
    OnCommand(BTabber::kBackId, Route<&BTabber::ScrollBack>),
    OnCommand(BTabber::kForwardId, Route<&BTabber::ScrollForward>),
};
}  // namespace

const MessageMap BTabber::kMessageMap{&BPane::kMessageMap, kTabberEntries};

BTabber::BTabber(int paneType, std::unique_ptr<BTabOne> prototype, size_t capacity)
    : BPane(paneType), prototype_(std::move(prototype)) {
    if (!prototype_) prototype_ = std::make_unique<TabVS2003>();
    prototype_->tabber = this;
    backButton.tabber = this;
    forwardButton.tabber = this;
    if (capacity > tabs.max_size() || capacity > tabRects.max_size()) throw std::length_error("vector<T> too long");
    tabs.reserve(capacity);
    tabRects.reserve(capacity);
}

BTabber::~BTabber() {
    for (BTabOne* tab : tabs) delete tab;
}

int BTabber::OnCreate(CREATESTRUCTW* cs) {
    if (BPane::OnCreate(cs) == -1) return -1;
    const RECT r{0, 0, kButtonSide, kButtonSide};
    if (!backButton.CreateEx(0, nullptr, L"", WS_CHILD, r, m_hWnd, kBackId)) return -1;
    if (!forwardButton.CreateEx(0, nullptr, L"", WS_CHILD, r, m_hWnd, kForwardId)) return -1;
    return 0;
}

int BTabber::IndexOfId(int id) const {
    for (size_t i = 0; i < tabs.size(); ++i)
        if (tabs[i]->window && tabs[i]->window->m_hWnd && tabs[i]->window->GetDlgCtrlID() == id)
            return static_cast<int>(i);
    return -1;
}

int BTabber::ActiveIndex() const {
    for (size_t i = 0; i < tabs.size(); ++i)
        if (tabs[i]->window == active) return static_cast<int>(i);
    return -1;
}

BTabOne* BTabber::TabByWindow(const CWnd* w) const {
    if (!w || !w->m_hWnd) return nullptr;
    const int i = IndexOfId(w->GetDlgCtrlID());
    return i < 0 ? nullptr : tabs[i];
}

bool BTabber::HasFocusInside() const {
    if (!active || !active->m_hWnd) return false;
    for (HWND w = ::GetFocus(); w; w = ::GetParent(w))
        if (w == active->m_hWnd) return true;
    return false;
}

void BTabber::AddTab(CWnd* window, const wchar_t* caption, bool enabled) {
    BTabOne* tab = prototype_->Clone(this);
    tab->window = window;
    tab->caption = caption;
    tab->iconSize = iconWidth;
    tab->enabled = enabled;
    if (window && window->m_hWnd && m_hWnd) ::SetParent(*window, m_hWnd);
    tab->MeasureText();
    tabs.push_back(tab);
    if (!active && enabled) {
        active = window;
        if (window && window->m_hWnd) {
            const RECT page = PageRect();
            window->MoveWindow(page, false);
            window->ShowWindow(SW_SHOW);
        }
    }
    if (m_hWnd) Invalidate(true);
}

void BTabber::ActivateTab(int index, bool focus) {
    BTabOne* tab = tabs[index];
    CWnd* old = active;
    if (old && old != tab->window && old->m_hWnd) old->ShowWindow(SW_HIDE);
    active = tab->window;
    if (active && active->m_hWnd) {
        active->MoveWindow(PageRect(), false);
        active->ShowWindow(SW_SHOW);
        if (focus) active->SetFocus();
        Relayout(*active);
    }
    ExpandIfCollapsed();
    Invalidate(true);
    if (HWND parent = GetParent()) ::InvalidateRect(parent, nullptr, TRUE);
}

bool BTabber::SelectTab(int id) {
    const int i = IndexOfId(id);
    if (i < 0 || !tabs[i]->enabled) return false;
    ActivateTab(i, false);
    return true;
}

void BTabber::SelectAndFocus(int id) {
    SelectTab(id);
    if (active && active->m_hWnd) active->SetFocus();
}

void BTabber::SetTabData(int id, COLORREF colour) {
    const int i = IndexOfId(id);
    if (i < 0) return;
    tabs[i]->fill = colour;
    if (m_hWnd) Invalidate(true);
}

bool BTabber::IsTabShown(int id) const {
    const int i = IndexOfId(id);
    return i >= 0 && tabs[i]->enabled;
}

void BTabber::ShowTab(int id, bool enabled) {
    const int i = IndexOfId(id);
    if (i < 0) return;
    tabs[i]->enabled = enabled;
    if (!enabled && tabs[i]->window == active) {
        const int n = static_cast<int>(tabs.size());
        int next = -1;
        for (int k = 1; k < n && next < 0; ++k)
            if (tabs[(i + k) % n]->enabled) next = (i + k) % n;
        if (next >= 0) {
            ActivateTab(next, false);
        } else {
            if (active && active->m_hWnd) active->ShowWindow(SW_HIDE);
            active = nullptr;
        }
    }
    if (m_hWnd) Invalidate(true);
}

void BTabber::RemoveTab(int index) {
    const int n = static_cast<int>(tabs.size());
    if (index < 0 || index >= n) return;
    if (tabs[index]->window == active) {
        int next = -1;
        if (index + 1 < n && tabs[index + 1]->enabled) next = index + 1;
        else if (index > 0 && tabs[index - 1]->enabled) next = index - 1;
        else
            for (int k = 1; k < n && next < 0; ++k)
                if (tabs[(index + k) % n]->enabled) next = (index + k) % n;
        if (next >= 0) {
            ActivateTab(next, false);
        } else {
            active = nullptr;
        }
    }
    delete tabs[index];
    tabs.erase(tabs.begin() + index);
    // Removing the dragged tab ends its drag. A drag moves its tab away from where the press was, so
    // the press's index is no tab's during a drag and only follows a removal before it.
    if (index == draggedTab) {
        pressedTab = draggedTab = -1;
        if (HasCapture()) ::ReleaseCapture();
    } else {
        if (draggedTab > index) --draggedTab;
        if (pressedTab > index) --pressedTab;
        else if (pressedTab == index && draggedTab < 0) pressedTab = -1;
    }
    const int left = static_cast<int>(tabs.size());
    if (first >= left) first = std::max(0, left - 1);
    if (left >= 2 && spaceLeft > 0 && maxRows > 0) {
        // Pull earlier tabs in while they still fit, so the strip stays filled.
        const int length = stripLength;
        while (first > 0 && TabsFit(first - 1, left - 1, std::max(rows, 1), length)) --first;
    }
    if (m_hWnd) Invalidate(true);
}

void BTabber::SetFont(const wchar_t* face, int points, bool italic) {
    CreateFontPoints(font, face, points, italic, FW_NORMAL);
    fontTerm = 2 * points + 2;
    if (m_hWnd) SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font.GetSafeHandle()), 0);
    for (BTabOne* tab : tabs) tab->MeasureText();
    if (m_hWnd) Invalidate(true);
}

void BTabber::SetLayoutValue(int n) {
    maxRows = n;
    first = 0;
}

void BTabber::ActivateIndex(int id) {
    EnsureVisible(IndexOfId(id));
}

void BTabber::SetSideFlags(int newSide) {
    if (newSide == stripSide) return;
    stripSide = newSide;
    first = 0;
    const RECT c = m_hWnd ? GetClientRect() : RECT{};
    stripLength = ((stripSide & kHorizontalSides) ? c.right : c.bottom) - 4;
    if (m_hWnd) Invalidate(true);
}

int BTabber::StripSize() const {
    if ((flags & kHideSingle) && tabs.size() == 1) return 0;
    const int base = prototype_->slant + 2 * tabInset + fontTerm;
    if (maxRows > 0) return rows > 0 ? (base + 2) * rows + 2 : 0;
    return base + 4;
}

RECT BTabber::PageRect() const {
    RECT r = m_hWnd ? GetClientRect() : RECT{};
    const int s = StripSize();
    switch (stripSide) {
    case kBottom: r.bottom -= s; break;
    case kLeft: r.left += s; break;
    case kRight: r.right -= s; break;
    default: r.top += s; break;
    }
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

BOOL BTabber::DrawBackground(HDC dc) {
    if (!active) {
        CDC target(dc);
        target.FillSolidRect(GetClientRect(), ThemeColor(48));
    }
    return TRUE;
}

void BTabber::OnSize(UINT, int cx, int cy) {
    clientWidth = cx;
    clientHeight = cy;
    const int length = ((stripSide & kHorizontalSides) ? cx : cy) - 4;
    stripLength = length > 4 ? length : 0;
    first = 0;
    // Every tab is laid out again along the new strip: the whole strip is drawn anew.
    Invalidate(true);
}

void BTabber::OnWindowPosChanged(WINDOWPOS* pos) {
    Default();   // WM_SIZE and WM_MOVE
    EnsureVisible(ActiveIndex());
    if (!(pos->flags & SWP_NOSIZE) && active && active->m_hWnd) active->MoveWindow(PageRect(), true);
}

int BTabber::TabWidth(int index) const {
    const int content = tabs[index]->ContentWidth((flags & kCompact) != 0);
    return std::min(std::max(content, minTabWidth), maxTabWidth) + 2 * kMargin;
}

bool BTabber::TabsFit(int from, int through, int rowCount, int length) const {
    if (from < 0 || through >= static_cast<int>(tabs.size())) return false;
    int row = 1, x = 0;
    for (int i = from; i <= through; ++i) {
        const int w = TabWidth(i);
        const int end = length - (row == maxRows ? kButtonRoom : 0);
        if (x > 0 && x + w > end) {
            ++row;
            x = 0;
        }
        if (row > rowCount) return false;
        x += w;
        if (x > length - (row == maxRows ? kButtonRoom : 0)) return false;
    }
    return true;
}

void BTabber::EnsureVisible(int index) {
    if (maxRows <= 0 || index < 0 || index >= static_cast<int>(tabs.size())) return;
    const int lastDrawn = first + static_cast<int>(tabRects.size()) - 1;
    if (index >= first && index < lastDrawn) return;
    if (index == lastDrawn && spaceLeft >= iconWidth + 6) return;
    const int n = static_cast<int>(tabs.size());
    if (index > 0 && rows >= maxRows) {
        int f = n - 1;
        while (f > 0 && TabsFit(f - 1, n - 1, maxRows, stripLength)) --f;
        if (index < f) {
            f = index;
            while (f > 0 && TabsFit(f - 1, index, rows / 2 + 1, stripLength / 2)) --f;
        }
        first = f;
    } else {
        first = 0;
    }
    if (m_hWnd) Invalidate(true);
}

bool BTabber::CanScroll(UINT buttonId) const {
    if (buttonId == kBackId) return first > 0;
    return spaceLeft < -3 || first + static_cast<int>(tabRects.size()) < static_cast<int>(tabs.size());
}

int BTabber::TabAtPoint(int x, int y) const {
    const POINT p{x, y};
    // The rectangles are the last paint's: a tab removed since then may still have one.
    for (size_t i = 0; i < tabRects.size(); ++i)
        if (::PtInRect(&tabRects[i], p)) {
            const int index = first + static_cast<int>(i);
            return index < static_cast<int>(tabs.size()) ? index : -1;
        }
    return -1;
}

std::unique_ptr<BTabberDraw> BTabber::MakeDraw(int bitmapWidth, int bitmapHeight) {
    switch (stripSide) {
    case kBottom: return std::make_unique<TabberDrawBottom>(this, bitmapWidth, bitmapHeight);
    case kLeft: return std::make_unique<TabberDrawLeft>(this, bitmapWidth, bitmapHeight);
    case kRight: return std::make_unique<TabberDrawRight>(this, bitmapWidth, bitmapHeight);
    default: return std::make_unique<TabberDrawTop>(this, bitmapWidth, bitmapHeight);
    }
}

void BTabber::DrawTabs(CDC& dc, BTabberDraw& draw) {
    tabRects.clear();
    rows = 0;
    const HGDIOBJ oldFont = ::SelectObject(dc, FontOrDefault(font));
    dc.SetTextColor(prototype_->textColor);
    dc.SetBkMode(TRANSPARENT);
    const int equal = draw.Begin();
    const int n = static_cast<int>(tabs.size());
    const bool focusInside = HasFocusInside();
    spaceLeft = stripLength;
    for (int i = first; i < n; ++i) {
        const int width = equal ? equal : TabWidth(i);
        int room = draw.PlaceTab(width);
        bool cut = room < 0;
        if (cut && i > first) {
            if (rows < maxRows) {
                draw.DrawBaseLine(dc);
                draw.StartRow(width);
                room = draw.PlaceTab(width);
                cut = room < 0;
            } else if (width + room < iconWidth) {
                break;
            }
        }
        spaceLeft = room;
        const RECT logical = draw.GetTabRect();
        const RECT mapped = draw.Map(logical);
        tabRects.push_back(draw.ToWindow(mapped));
        BTabOne* tab = tabs[i];
        if (i == draggedTab) tab->DrawShape(dc, mapped, prototype_->draggedShape);
        else if (tab->window == active && active) tab->DrawShape(dc, mapped, focusInside ? prototype_->focusShape : prototype_->normalShape);
        else if (i != n - 1) draw.DrawTabSeparator(dc);
        RECT content = logical;
        content.left += kMargin;
        content.right -= kMargin;
        if (content.right > content.left) tab->Draw(dc, draw.Map(content));
        if (cut) break;
        draw.NextTabPos();
    }
    dc.FillSolidRect(draw.Map(draw.GetStripRect()), prototype_->normalShape);
    ::SelectObject(dc, oldFont);
}

void BTabber::MoveWindowsToPage() {
    const RECT page = PageRect();
    for (BTabOne* tab : tabs) {
        if (!tab->window || !tab->window->m_hWnd) continue;
        const RECT now = [&] {
            RECT r = tab->window->GetWindowRect();
            ScreenToClient(&r);
            return r;
        }();
        if (!::EqualRect(&now, &page)) tab->window->MoveWindow(page, true);
    }
}

void BTabber::OnPaint() {
    CPaintDC paint(m_hWnd);
    if (stripLength <= 0) return;
    const RECT c = GetClientRect();
    const int bw = IsVertical() ? c.bottom : c.right;
    const int bh = IsVertical() ? c.right : c.bottom;
    if (bw <= 0 || bh <= 0) return;
    MemoryDC mem;
    if (!mem.Create(paint, bw, bh)) return;
    mem.FillSolidRect(RECT{0, 0, bw, bh}, prototype_->stripBack);
    std::unique_ptr<BTabberDraw> draw = MakeDraw(bw, bh);
    DrawTabs(mem, *draw);
    const int s = std::min(StripSize(), bh);
    if (s > 0) {
        switch (stripSide) {
        case kBottom: paint.BitBlt(0, c.bottom - s, c.right, s, mem, 0, bh - s); break;
        case kRight: RotateBlt(paint, c.right - s, 0, mem, 0, 0, bw, s, 90); break;
        case kLeft: RotateBlt(paint, 0, 0, mem, 0, 0, bw, s, 270); break;
        default: paint.BitBlt(0, 0, c.right, s, mem, 0, 0); break;
        }
    }
    if (!tabs.empty() && rows == maxRows && s > 0) {
        RECT back, forward;
        draw->PlaceButtons(back, forward);
        backButton.MoveWindow(back, true);
        forwardButton.MoveWindow(forward, true);
        backButton.ShowWindow(SW_SHOWNA);
        forwardButton.ShowWindow(SW_SHOWNA);
        backButton.Invalidate(true);
        forwardButton.Invalidate(true);
    } else {
        backButton.ShowWindow(SW_HIDE);
        forwardButton.ShowWindow(SW_HIDE);
    }
    MoveWindowsToPage();
    minSize = StripSize();
}

void BTabber::OnLButtonDown(UINT, POINT point) {
    pressedTab = TabAtPoint(point.x, point.y);
    if (pressedTab >= 0 && tabs[pressedTab]->enabled) ActivateTab(pressedTab, true);
    pressX = point.x;
    pressY = point.y;
}

void BTabber::OnMouseMove(UINT mouseFlags, POINT point) {
    if (!(mouseFlags & MK_LBUTTON) || pressedTab < 0 || !(flags & kDraggable) || tabs.size() < 2) return;
    if (draggedTab < 0) {
        const int moved = IsVertical() ? point.y - pressY : point.x - pressX;
        if (std::abs(moved) < kDragStart) return;
        draggedTab = pressedTab;
        ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEALL));
        SetCapture();
        Invalidate(true);
        return;
    }
    const int over = TabAtPoint(point.x, point.y);
    if (over < 0 || over == draggedTab) return;
    BTabOne* moving = tabs[draggedTab];
    tabs.erase(tabs.begin() + draggedTab);
    tabs.insert(tabs.begin() + over, moving);
    draggedTab = over;
    Invalidate(true);
    UpdateWindow();
}

void BTabber::OnLButtonUp(UINT, POINT) {
    if (HasCapture()) ::ReleaseCapture();
    pressedTab = -1;
    draggedTab = -1;
    Invalidate(true);
}

void BTabber::ScrollBack() {
    if (first > 0) --first;
    Invalidate(true);
}

void BTabber::ScrollForward() {
    if (first < static_cast<int>(tabs.size()) - 1) ++first;
    Invalidate(true);
}

int BTabber::TrackTabMenu(CMenu& menu, POINT screen) {
    return menu.TrackPopupMenu(TPM_RETURNCMD, screen.x, screen.y, m_hWnd);
}

void BTabber::ShowTabMenu() {
    CMenu menu;
    if (!menu.CreatePopupMenu()) return;
    for (size_t i = 0; i < tabs.size(); ++i) {
        UINT itemFlags = MF_STRING;
        if (tabs[i]->window == active && active) itemFlags |= MF_CHECKED;
        if (!tabs[i]->enabled) itemFlags |= MF_GRAYED;
        menu.AppendMenu(itemFlags, i + 1, tabs[i]->caption.c_str());
    }
    const DWORD pos = ::GetMessagePos();
    const int chosen = TrackTabMenu(menu, POINT{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))});
    if (chosen > 0 && chosen <= static_cast<int>(tabs.size()) && tabs[chosen - 1]->enabled) {
        ActivateTab(chosen - 1, true);
        EnsureVisible(chosen - 1);
    }
    Invalidate(true);
}
