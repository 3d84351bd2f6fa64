#include "toolkit/BSplitter.h"

#include "classlib/DC.h"
#include "toolkit/DividerDraw.h"

#include <algorithm>

namespace {

const MessageEntry kSplitterEntries[] = {
    Cracked(WM_CREATE), Cracked(WM_ERASEBKGND), Cracked(WM_PAINT), Cracked(WM_SIZE),
    Cracked(WM_LBUTTONDOWN), Cracked(WM_LBUTTONUP), Cracked(WM_MOUSEMOVE),
    OnMessage(WM_CAPTURECHANGED, Route<&BSplitter::OnCaptureChanged>),
    OnMessage(WM_CANCELMODE, Route<&BSplitter::OnCancelMode>),
};

// The track sizes a child asks for along one axis; 0 and 0x7fff when it sets none.
void TrackRange(HWND child, bool alongX, int& low, int& high) {
    MINMAXINFO info{};
    info.ptMaxTrackSize = POINT{0x7fff, 0x7fff};
    ::SendMessageW(child, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    low = alongX ? info.ptMinTrackSize.x : info.ptMinTrackSize.y;
    high = alongX ? info.ptMaxTrackSize.x : info.ptMaxTrackSize.y;
}

int Limit(int v, int low, int high) {
    return std::min(std::max(v, low), high);
}

}  // namespace

const MessageMap BSplitter::kMessageMap{&BPane::kMessageMap, kSplitterEntries};

BSplitter::BSplitter(int paneType, CWnd* first, CWnd* second)
    : BPane(paneType), first(first), second(second) {}

bool BSplitter::Shows(const CWnd* child) {
    return child && child->m_hWnd && (child->GetStyle() & WS_VISIBLE) != 0;
}

int BSplitter::OnCreate(CREATESTRUCTW* cs) {
    if (BPane::OnCreate(cs) == -1) return -1;
    const RECT r{0, 0, cs->cx, cs->cy};
    const DWORD style = WS_CHILD | WS_VISIBLE;
    if (!first->CreateEx(0, nullptr, L"", style, r, m_hWnd, kFirstId, cs->lpCreateParams)) return -1;
    if (!second->CreateEx(0, nullptr, L"", style, r, m_hWnd, kSecondId, cs->lpCreateParams)) return -1;
    return 0;
}

int BSplitter::ClientExtent() const {
    const RECT r = GetClientRect();
    return sideBySide ? r.right - r.left : r.bottom - r.top;
}

int BSplitter::UsableExtent() const {
    return ClientExtent() - barWidth;
}

int BSplitter::ClampPosition(int v) const {
    if (!Shows(first) || !Shows(second)) return v;
    int low1, high1, low2, high2;
    TrackRange(*first, sideBySide, low1, high1);
    TrackRange(*second, sideBySide, low2, high2);
    const int r = v < 3 ? 0 : Limit(v, low1, high1);
    if (r != v) return r;
    const int usable = UsableExtent();
    const int d = usable - r;
    const int s = d < 3 ? 0 : Limit(d, low2, high2);
    return s != d ? usable - s : r;
}

void BSplitter::SetPosition(int v) {
    const int usable = UsableExtent();
    v = std::max(0, std::min(ClampPosition(v), usable));
    position = v;
    if (usable > 0) fraction = static_cast<int>(static_cast<int64_t>(v) * 10000 / usable);
}

void BSplitter::SetPercent(int p) {
    const int usable = UsableExtent();
    if (usable <= 0) {
        // Not sized yet: keep the percentage for the first WM_SIZE rather than losing it to 0.
        fraction = Limit(p, 0, 100) * 100;
        position = 0;
        return;
    }
    SetPosition(static_cast<int>(static_cast<int64_t>(p) * usable * 100 / 10000));
}

void BSplitter::PositionFromFraction() {
    if (barWidth != kGrip)
        position = ClampPosition(static_cast<int>(static_cast<int64_t>(ClientExtent() - kBar) * fraction / 10000));
    LayoutChildren();
    Invalidate(true);
}

void BSplitter::Collapse(CWnd* child, bool hide) {
    CWnd* other = child == first ? second : first;
    if (hide) {
        child->ShowWindow(SW_HIDE);
        other->ShowWindow(SW_SHOW);
        barWidth = kGrip;
    } else {
        child->ShowWindow(SW_SHOW);
        barWidth = kBar;
        PositionFromFraction();
    }
    LayoutChildren();
}

void BSplitter::LayoutChildren() {
    const bool one = Shows(first), two = Shows(second);
    if (!one && !two) return;
    const RECT c = GetClientRect();
    const int w = c.right, h = c.bottom;
    if (one && two) {
        if (sideBySide) {
            first->MoveWindow(0, 0, position, h, false);
            second->MoveWindow(position + kBar, 0, w - position - kBar, h, true);
        } else {
            first->MoveWindow(0, 0, w, position, false);
            second->MoveWindow(0, position + kBar, w, h - position - kBar, true);
        }
    } else if (two) {
        if (sideBySide) second->MoveWindow(kGrip, 0, w - kGrip, h, true);
        else second->MoveWindow(0, kGrip, w, h - kGrip, true);
    } else {
        if (sideBySide) first->MoveWindow(0, 0, w - kGrip, h, true);
        else first->MoveWindow(0, 0, w, h - kGrip, true);
    }
}

RECT BSplitter::BarRect() const {
    const RECT c = GetClientRect();
    RECT r = c;
    int from, thickness;
    if (barWidth == kBar) {
        from = position;
        thickness = kBar;
    } else {
        from = Shows(first) ? (sideBySide ? c.right : c.bottom) - kGrip : 0;
        thickness = kGrip;
    }
    if (sideBySide) {
        r.left = from;
        r.right = from + thickness;
    } else {
        r.top = from;
        r.bottom = from + thickness;
    }
    return r;
}

void BSplitter::OnPaint() {
    CPaintDC dc(m_hWnd);
    const RECT bar = BarRect();
    if (barWidth == kBar) {
        DrawDividerBar(dc, bar);
    } else {
        const bool firstShown = Shows(first);
        const int code = sideBySide ? (firstShown ? 1 : 3) : (firstShown ? 2 : 0);
        DrawDividerGrip(dc, bar, code);
    }
}

void BSplitter::OnSize(UINT, int, int) {
    PositionFromFraction();
}

void BSplitter::SetResizeCursor() const {
    ::SetCursor(BDivider::ResizeCursor(!sideBySide));
}

void BSplitter::OnLButtonDown(UINT, POINT point) {
    SetCapture();
    if (barWidth == kGrip) return;
    SetResizeCursor();
    pressX = point.x;
    pressY = point.y;
    pressPosition = position;
    RECT area = GetClientRect();
    ClientToScreen(&area);
    clip_.Confine(area);
}

void BSplitter::OnMouseMove(UINT flags, POINT point) {
    const bool down = (flags & MK_LBUTTON) != 0;
    if ((down && !HasCapture()) || barWidth == kGrip) return;
    SetResizeCursor();
    if (!down) return;
    SetPosition(pressPosition + (sideBySide ? point.x - pressX : point.y - pressY));
    LayoutChildren();
    Invalidate(true);
    UpdateWindow();
}

void BSplitter::OnLButtonUp(UINT, POINT point) {
    if (HasCapture()) ::ReleaseCapture();
    if (barWidth == kGrip) {
        const RECT bar = BarRect();
        if (::PtInRect(&bar, point)) Collapse(Shows(first) ? second : first, false);
    } else {
        clip_.Release();
        if (fraction == 0 || fraction == 10000) {
            Collapse(fraction == 0 ? first : second, true);
            // The bar comes back where the drag began: keep that place and its fraction.
            const int usable = ClientExtent() - kBar;
            position = pressPosition;
            if (usable > 0) fraction = static_cast<int>(static_cast<int64_t>(pressPosition) * 10000 / usable);
        }
    }
    LayoutChildren();
    Invalidate(true);
}

// The bar stays where the drag left it; only the confinement ends.
LRESULT BSplitter::OnCaptureChanged(WPARAM, LPARAM) {
    clip_.Release();
    return 0;
}

LRESULT BSplitter::OnCancelMode(WPARAM, LPARAM) {
    clip_.Release();
    if (HasCapture()) ::ReleaseCapture();
    return 0;
}
