#include "toolkit/BPane.h"

#include "classlib/DC.h"
#include "toolkit/DividerDraw.h"
#include "toolkit/ImageLists.h"

#include <algorithm>

namespace {

constexpr UINT kDividerMovedId = 2;    // a shown pane's movable divider
constexpr UINT kDividerHiddenId = 1;   // the same while its pane is hidden: double clicks only

bool HasStyle(HWND hwnd, DWORD bit) {
    return (static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_STYLE)) & bit) != 0;
}

// The smallest size the rest sibling accepts along the axis; 0 when it sets none.
int RestMinTrack(HWND rest, bool alongX) {
    if (!rest) return 0;
    MINMAXINFO info{};
    ::SendMessageW(rest, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return alongX ? info.ptMinTrackSize.x : info.ptMinTrackSize.y;
}

// Cuts `amount` pixels off the area's edge on that side and returns the piece cut.
RECT CutEdge(RECT& area, int side, int amount) {
    RECT piece = area;
    switch (side) {
    case 0: piece.bottom = area.top + amount; area.top += amount; break;
    case 2: piece.top = area.bottom - amount; area.bottom -= amount; break;
    case 3: piece.right = area.left + amount; area.left += amount; break;
    default: piece.left = area.right - amount; area.right -= amount; break;
    }
    return piece;
}

}  // namespace

// ---- dividers

const MessageEntry kDividerEntries[] = {
    Cracked(WM_PAINT),
};
const MessageMap BDivider::kMessageMap{&CWnd::kMessageMap, kDividerEntries};

bool BDivider::Create(HWND parent) {
    const wchar_t* cls = RegisterWindowClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                                             static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)));
    return CreateEx(0, cls, L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0}, parent,
                    static_cast<UINT_PTR>(kind));
}

HCURSOR BDivider::ResizeCursor(bool rows) {
    return rows ? RowResizeCursor() : ColumnResizeCursor();
}

bool BDivider::OwnerShown() const {
    return owner && HasStyle(owner, WS_VISIBLE);
}

int BDivider::Thickness() const {
    return OwnerShown() ? kThin : kThick;
}

void BDivider::OnPaint() {
    CPaintDC dc(m_hWnd);
    RECT r = GetClientRect();
    if (OwnerShown()) DrawDividerBar(dc, r);
    else DrawDividerGrip(dc, r, side);
}

const MessageEntry kDividerMovedEntries[] = {
    Cracked(WM_SETCURSOR), Cracked(WM_LBUTTONDOWN), Cracked(WM_LBUTTONUP),
    Cracked(WM_MOUSEMOVE), Cracked(WM_LBUTTONDBLCLK),
    OnMessage(WM_CAPTURECHANGED, Route<&DividerMoved::OnCaptureChanged>),
    OnMessage(WM_CANCELMODE, Route<&DividerMoved::OnCancelMode>),
};
const MessageMap DividerMoved::kMessageMap{&BDivider::kMessageMap, kDividerMovedEntries};

void DividerMoved::Notify(UINT code) {
    NMHDR header{m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID()), code};
    ::SendMessageW(owner, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
}

BOOL DividerMoved::OnSetCursor(HWND window, UINT hitTest, UINT message) {
    if (GetDlgCtrlID() != static_cast<int>(kDividerMovedId)) return CWnd::OnSetCursor(window, hitTest, message);
    ::SetCursor(ResizeCursor(side == 0 || side == 2));
    return TRUE;
}

void DividerMoved::OnLButtonDown(UINT, POINT) {
    SetCapture();
    pressed_ = true;
    Notify(WM_LBUTTONDOWN);
}

void DividerMoved::OnLButtonUp(UINT, POINT) {
    pressed_ = false;
    ::ReleaseCapture();
    Notify(WM_LBUTTONUP);
}

LRESULT DividerMoved::OnCaptureChanged(WPARAM, LPARAM) {
    if (pressed_) {
        pressed_ = false;
        Notify(WM_CANCELMODE);
    }
    return 0;
}

LRESULT DividerMoved::OnCancelMode(WPARAM, LPARAM) {
    OnCaptureChanged(0, 0);
    if (HasCapture()) ::ReleaseCapture();
    return 0;
}

void DividerMoved::OnMouseMove(UINT flags, POINT) {
    if ((flags & MK_LBUTTON) && HasCapture()) Notify(WM_MOUSEMOVE);
}

void DividerMoved::OnLButtonDblClk(UINT, POINT) {
    Notify(WM_LBUTTONDBLCLK);
}

// ---- panes

const MessageEntry BPane::kEntries[] = {
    Cracked(WM_CREATE),
    OnMessage(kMsgLayoutPane, Route<&BPane::OnLayout>),
    OnNotify(WM_LBUTTONDOWN, kDividerMovedId, Route<&BPane::NotifyDown>),
    OnNotify(WM_MOUSEMOVE, kDividerMovedId, Route<&BPane::NotifyDrag>),
    OnNotify(WM_LBUTTONUP, kDividerMovedId, Route<&BPane::NotifyUp>),
    OnNotify(WM_LBUTTONDBLCLK, kDividerMovedId, Route<&BPane::NotifyDblClk>),
    OnNotify(WM_LBUTTONDBLCLK, kDividerHiddenId, Route<&BPane::NotifyDblClk>),
    OnNotify(WM_CANCELMODE, kDividerMovedId, Route<&BPane::NotifyCancel>),
};
const MessageMap BPane::kMessageMap{&CWnd::kMessageMap, kEntries};

BPane::BPane(int dividerType) {
    if (dividerType == 1) divider_ = std::make_unique<BDivider>(0);
    else if (dividerType == 2) divider_ = std::make_unique<DividerMoved>();
}

BPane::~BPane() = default;

int BPane::GetExtent() const {
    RECT r = GetClientRect();
    return AlongX() ? r.right - r.left : r.bottom - r.top;
}

void BPane::SetSizeScaled(int percent, int hundredths) {
    SetSize(percent * 100 + hundredths);
}

void BPane::SetSize(int v) {
    size = std::min(v, maxFraction);
}

void BPane::SetSide(int newSide) {
    const int extent = GetExtent();
    SetWindowPos(nullptr, 0, 0, extent, extent,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    side = newSide;
}

int BPane::OnCreate(CREATESTRUCTW* cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    if (divider_) {
        divider_->owner = m_hWnd;
        divider_->side = side;
        if (!divider_->Create(GetParent())) return -1;
    }
    return 0;
}

LRESULT BPane::OnLayout(WPARAM repaint, LPARAM lParam) {
    auto& area = *reinterpret_cast<PaneLayoutArea*>(lParam);
    parentWidth = area.parentWidth;
    parentHeight = area.parentHeight;
    restSibling = area.rest;
    const bool alongX = AlongX();
    const bool shown = IsShown();
    RECT& r = area.rect;

    int a = 0;
    if (shown) {
        int b = dragSize;
        if (b < 0) {
            b = size < 0 ? GetExtent()
                         : static_cast<int>(static_cast<int64_t>(size) * ParentExtent() / 10000);
        }
        const int room = (alongX ? r.right - r.left : r.bottom - r.top) - RestMinTrack(restSibling, alongX) - 4;
        a = std::min(room, std::min(maxSize, std::max(b, minSize)));
        a = std::max(a, 0);   // an area too small for the rest leaves the pane nothing, not less
    }

    const RECT piece = CutEdge(r, side, a);
    if (shown) MoveWindow(piece, repaint != 0);

    if (divider_ && divider_->m_hWnd && HasStyle(divider_->m_hWnd, WS_VISIBLE)) {
        const RECT bar = CutEdge(r, side, divider_->Thickness());
        const RECT was = divider_->GetClientRect();
        divider_->side = side;
        divider_->MoveWindow(bar, repaint != 0);
        // A bar that became a grip, or a grip a bar, is drawn anew whole, not only where it grew.
        if (was.right != bar.right - bar.left || was.bottom != bar.bottom - bar.top)
            divider_->Invalidate();
    }
    return 1;
}

void BPane::LayoutChildren(HWND parent, bool repaint) {
    PaneLayoutArea area{};
    ::GetClientRect(parent, &area.rect);
    area.parentWidth = area.rect.right - area.rect.left;
    area.parentHeight = area.rect.bottom - area.rect.top;
    area.rest = ::GetWindow(parent, GW_CHILD);
    if (!area.rest) return;
    for (HWND child = ::GetWindow(area.rest, GW_HWNDNEXT); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::SendMessageW(child, kMsgLayoutPane, repaint ? 1 : 0, reinterpret_cast<LPARAM>(&area));
    const RECT& r = area.rect;
    ::MoveWindow(area.rest, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
}

void BPane::Relayout(HWND pane) {
    RECT w{};
    ::GetWindowRect(pane, &w);
    const int cx = w.right - w.left, cy = w.bottom - w.top;
    ::SetWindowPos(pane, nullptr, 0, 0, cx - 1, cy, SWP_NOREDRAW | SWP_NOZORDER | SWP_NOMOVE);
    ::SetWindowPos(pane, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE);
}

void BPane::LayoutParentNow() {
    const HWND parent = GetParent();
    Relayout(m_hWnd);
    if (!parent) return;
    LayoutChildren(parent, false);
    ::InvalidateRect(parent, nullptr, TRUE);
    ::UpdateWindow(parent);
}

void BPane::ExpandIfCollapsed() {
    if (GetExtent() != minSize || savedExtent == 0) return;
    dragSize = savedExtent;
    LayoutParentNow();
    dragSize = -1;
}

POINT BPane::CursorScreenPos() const {
    POINT p{};
    ::GetCursorPos(&p);
    return p;
}

void BPane::OnDividerDown() {
    dragStart = CursorScreenPos();
    dragLast = POINT{0, 0};
    savedExtent = GetExtent();
    shownAtDrag = IsShown();
    dragStartSize = shownAtDrag ? savedExtent : 0;
    RECT rest{};
    if (restSibling) ::GetClientRect(restSibling, &rest);
    dragLimitX = dragStartSize + rest.right;
    dragLimitY = dragStartSize + rest.bottom;
}

void BPane::OnDividerDrag() {
    const POINT p = CursorScreenPos();
    if (p.x == dragLast.x && p.y == dragLast.y) return;
    dragLast = p;
    // A move back onto the press point (or the first move Windows reports at it) is no drag: it must
    // not collapse the pane to 0.
    if (p.x == dragStart.x && p.y == dragStart.y) return;
    switch (side) {
    case 0: dragSize = dragStartSize + (p.y - dragStart.y); break;
    case 2: dragSize = dragStartSize - (p.y - dragStart.y); break;
    case 1: dragSize = dragStartSize - (p.x - dragStart.x); break;
    default: dragSize = dragStartSize + (p.x - dragStart.x); break;
    }
    int limit = AlongX() ? dragLimitX : dragLimitY;
    if (size >= 0) limit = static_cast<int>(static_cast<int64_t>(limit) * maxFraction / 10000);
    dragSize = std::max(0, std::min(dragSize, limit));
    if (!shownAtDrag) {
        shownAtDrag = true;
        SetWindowPos(nullptr, 0, 0, savedExtent, savedExtent,
                     SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    LayoutParentNow();
}

void BPane::OnDividerUp() {
    // A press and release without a drag (a plain click, or the release after a double click)
    // changes nothing: taken as a drag to 0 it would hide the pane.
    if (dragSize >= 0) {
        if (dragSize > minSize) {
            if (size >= 0 && ParentExtent() > 0)
                size = std::min(static_cast<int>(static_cast<int64_t>(dragSize) * 10000 / ParentExtent()),
                                maxFraction);
        } else if (hideAtMin && shownAtDrag) {
            SetWindowPos(nullptr, 0, 0, savedExtent, savedExtent,
                         SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    LayoutParentNow();
    dragSize = -1;
}

void BPane::OnDividerCancel() { OnDividerUp(); }

void BPane::OnDividerDblClk() {
    if (minSize != 0 && IsShown()) {
        const int extent = GetExtent();
        if (extent == minSize) {
            dragSize = savedExtent;
        } else {
            savedExtent = extent;
            dragSize = minSize;
        }
    } else {
        const bool show = !IsShown();
        SetWindowPos(nullptr, 0, 0, 0, 0,
                     (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW) | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER |
                         SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOOWNERZORDER);
        if (divider_ && divider_->kind == 2 && divider_->m_hWnd)
            divider_->SetDlgCtrlID(show ? kDividerMovedId : kDividerHiddenId);
        if (divider_ && divider_->m_hWnd) divider_->Invalidate();
    }
    LayoutParentNow();
    dragSize = -1;
}
