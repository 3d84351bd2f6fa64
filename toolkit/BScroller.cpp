#include "toolkit/BScroller.h"

#include "options/BColorTheme.h"
#include "toolkit/DrawTools.h"
#include "toolkit/ImageLists.h"
#include "toolkit/ScrollPager.h"

#include <algorithm>

namespace scroller {

UINT firstDelay = 500;
UINT repeatInterval = 100;

namespace {
POINT MessagePos() {
    const DWORD pos = ::GetMessagePos();
    return POINT{static_cast<int16_t>(LOWORD(pos)), static_cast<int16_t>(HIWORD(pos))};
}
}  // namespace

POINT (*cursorPos)() = MessagePos;

}  // namespace scroller

using namespace scroller;

namespace {

const wchar_t* ScrollerClass() {
    static const wchar_t* name = RegisterWindowClass(0, ::LoadCursorW(nullptr, IDC_ARROW));
    return name;
}

bool Inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// Where the pointer is now, in the window's client coordinates.
POINT CursorIn(const CWnd& window) {
    POINT p = cursorPos();
    window.ScreenToClient(&p);
    return p;
}

// The arrow buttons' length along a scroller of `length` pixels.
int ButtonLength(int length) { return length < 2 * kButtonLength ? length / 2 : kButtonLength; }

// The arrow glyphs of all buttons, 9 x 9 with the arrow in the left 5 columns: 0 hollow left,
// 1 hollow right, 2 filled left, 3 filled right; in theme colour 35, with a greyed copy.
constexpr uint8_t kArrowGlyphs[4][18] = {
    {0x08, 0, 0x18, 0, 0x28, 0, 0x48, 0, 0x88, 0, 0x48, 0, 0x28, 0, 0x18, 0, 0x08, 0},
    {0x80, 0, 0xC0, 0, 0xA0, 0, 0x90, 0, 0x88, 0, 0x90, 0, 0xA0, 0, 0xC0, 0, 0x80, 0},
    {0x08, 0, 0x18, 0, 0x38, 0, 0x78, 0, 0xF8, 0, 0x78, 0, 0x38, 0, 0x18, 0, 0x08, 0},
    {0x80, 0, 0xC0, 0, 0xE0, 0, 0xF0, 0, 0xF8, 0, 0xF0, 0, 0xE0, 0, 0xC0, 0, 0x80, 0},
};

TImageList2<9>& ArrowGlyphs() {
    static TImageList2<9> list;
    if (!list.GetSafeHandle() && list.Make()) {
        for (const auto& glyph : kArrowGlyphs)
            ImageListAddGlyph(list, glyph);
        ImageListReplaceColor(list, 0, 0, 0x7FFF, 0x7FFF, RGB(0, 0, 0), ThemeColor(35));
        list.MakeGreyCopy();
    }
    return list;
}

void DrawArrow(HDC dc, int x, int y, int image, bool grey, int angle) {
    CImageList& list = grey ? static_cast<CImageList&>(ArrowGlyphs().grey) : ArrowGlyphs();
    if (angle == 0) {
        list.Draw(dc, image, x, y, ILD_TRANSPARENT);
        return;
    }
    HICON icon = list.ExtractIcon(image);
    DrawIconRotated(dc, x, y, icon, 9, angle);
    if (icon)
        ::DestroyIcon(icon);
}

void Frame(CDC& dc, RECT r, COLORREF colour) {
    CBrush brush(colour);
    dc.FrameRect(r, brush);
}

}  // namespace

// --- The scroller.

constexpr MessageEntry kScrollerEntries[] = {
    Cracked(WM_ERASEBKGND),
    Cracked(WM_LBUTTONDOWN),
    Cracked(WM_LBUTTONUP),
    Cracked(WM_PAINT),
    Cracked(WM_SIZE),
    Cracked(WM_SHOWWINDOW),
    Cracked(WM_TIMER),
    OnMessage(WM_CAPTURECHANGED, Route<&BScroller::OnCaptureChanged>),
    OnNotifyRange(kEdgeQueryCode, 0, 1, Route<&BScroller::OnEdgeQuery>),
};
const MessageMap BScroller::kMessageMap{&CWnd::kMessageMap, kScrollerEntries};

BScroller::BScroller() {
    firstDelay = 500;
    repeatInterval = 100;
}

BScroller::~BScroller() {
    // Hiding a part makes Windows erase the track at once, and the derived scroller that knows the axis
    // is gone by now: the bar stops drawing first.
    if (m_hWnd)
        SendMessage(WM_SETREDRAW, FALSE, 0);
    slider.reset();
    buttonA.reset();
    buttonB.reset();
}

bool BScroller::CreateBarA(HWND parent) { return CreateBar(parent, kHScrollId); }
bool BScroller::CreateBarB(HWND parent) { return CreateBar(parent, kVScrollId); }

bool BScroller::CreateBar(HWND parent, UINT id) {
    const RECT none{0, 0, 0, 0};
    if (!CreateEx(0, ScrollerClass(), L"", WS_CHILD | WS_VISIBLE, none, parent, id))
        return false;
    buttonB = std::make_unique<BScrollButton>(*this);
    buttonA = std::make_unique<BScrollButton>(*this);
    slider = std::make_unique<BScrollSlider>(*this);
    // The left or top button has id 0.
    BScrollButton& first = *Button(0);
    BScrollButton& second = *Button(1);
    return first.CreateEx(0, ScrollerClass(), L"", WS_CHILD | WS_VISIBLE, none, m_hWnd, 0) &&
           second.CreateEx(0, ScrollerClass(), L"", WS_CHILD | WS_VISIBLE, none, m_hWnd, 1) &&
           slider->CreateEx(0, ScrollerClass(), L"", WS_CHILD, none, m_hWnd, kSliderId);
}

void BScroller::ShowThumb(bool shown) {
    if (!slider || !slider->m_hWnd)
        return;
    if (shown != ((slider->GetStyle() & WS_VISIBLE) != 0))
        slider->ShowWindow(shown ? SW_SHOWNA : SW_HIDE);
}

RECT BScroller::ThumbRect() const {
    RECT r{0, 0, 0, 0};
    if (slider && slider->m_hWnd && (slider->GetStyle() & WS_VISIBLE)) {
        r = slider->GetWindowRect();
        ScreenToClient(&r);
    }
    return r;
}

void BScroller::SendScroll(UINT code, int16_t value) const {
    const WPARAM w = MAKEWPARAM(code, static_cast<uint16_t>(value));
    ::SendMessageW(GetParent(), static_cast<UINT>(GetDlgCtrlID()), w, reinterpret_cast<LPARAM>(m_hWnd));
}

BOOL BScroller::OnEraseBkgnd(HDC dc) {
    CDC target(dc);
    EraseTrack(target);
    return TRUE;
}

void BScroller::OnPaint() { CPaintDC paint(m_hWnd); }

void BScroller::OnLButtonUp(UINT, POINT) {
    ::ReleaseCapture();
    KillTimer(kRepeatTimer);
    Invalidate();
}

void BScroller::OnTimer(UINT_PTR id) {
    if (id != kRepeatTimer)
        return;
    if (!HasCapture()) {   // the mouse went elsewhere: the press is over
        KillTimer(kRepeatTimer);
        return;
    }
    OnTrackPress(0, CursorIn(*this));
}

LRESULT BScroller::OnCaptureChanged(WPARAM, LPARAM gainer) {
    if (reinterpret_cast<HWND>(gainer) != m_hWnd)
        KillTimer(kRepeatTimer);
    return 0;
}

void BScroller::OnShowWindow(BOOL show, UINT status) {
    ShownNotice notice{};
    notice.header.hwndFrom = m_hWnd;
    notice.header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    notice.header.code = kShownCode;
    notice.shown = show ? 1 : 0;
    ::SendMessageW(GetParent(), WM_NOTIFY, notice.header.idFrom, reinterpret_cast<LPARAM>(&notice));
    CWnd::OnShowWindow(show, status);
}

void BScroller::OnEdgeQuery(NMHDR* header, LRESULT* result) {
    *result = EdgeReached(static_cast<int>(header->idFrom)) ? 1 : 0;
}

RECT BScroller::TrackRect() {
    RECT r = GetClientRect();
    if (Vertical()) {
        r.top += kButtonLength;
        r.bottom -= kButtonLength;
    } else {
        r.left += kButtonLength;
        r.right -= kButtonLength;
    }
    return r;
}

int32_t BScroller::TrackLength() {
    const RECT r = TrackRect();
    return Vertical() ? r.bottom - r.top : r.right - r.left;
}

void BScroller::PositionThumb() {
    if (!slider || !slider->m_hWnd || !(slider->GetStyle() & WS_VISIBLE))
        return;
    const int32_t l = ThumbLength();
    const int32_t at = ThumbOffset(l) + kButtonLength;
    if (Vertical())
        slider->MoveWindow(0, at, width, l, true);
    else
        slider->MoveWindow(at, 0, l, height, true);
}

void BScroller::OnSize(UINT, int cx, int cy) {
    if ((Vertical() ? cy : cx) == 0 || !(GetStyle() & WS_VISIBLE))
        return;
    const int c = ButtonLength(Vertical() ? cy : cx);
    if (Vertical()) {
        Button(0)->MoveWindow(0, 0, cx, c, true);
        Button(1)->MoveWindow(0, cy - c, cx, c, true);
    } else {
        Button(0)->MoveWindow(0, 0, c, cy, true);
        Button(1)->MoveWindow(cx - c, 0, c, cy, true);
    }
    width = cx;
    height = cy;
    SetPage(PageFor(cx, cy));
    UpdateThumb();
    NormalizePosition();
}

// Fills the track around the thumb and dots its centre line.
void BScroller::EraseTrack(CDC& dc) {
    const RECT client = GetClientRect();
    const RECT thumb = ThumbRect();
    const bool vertical = Vertical();
    const COLORREF back = ThemeColor(31);
    const bool hasThumb = thumb.right > thumb.left && thumb.bottom > thumb.top;
    if (!hasThumb) {
        dc.FillSolidRect(client, back);
    } else if (vertical) {
        dc.FillSolidRect(RECT{client.left, client.top, client.right, thumb.top}, back);
        dc.FillSolidRect(RECT{client.left, thumb.bottom, client.right, client.bottom}, back);
    } else {
        dc.FillSolidRect(RECT{client.left, client.top, thumb.left, client.bottom}, back);
        dc.FillSolidRect(RECT{thumb.right, client.top, client.right, client.bottom}, back);
    }
    // One dot every 6 pixels, none under the thumb.
    const COLORREF dot = ThemeColor(active ? 32 : 33);
    const int from = (vertical ? client.top : client.left) + 12;
    const int to = (vertical ? client.bottom : client.right) - 12;
    const int across = vertical ? (client.left + client.right) / 2 : (client.top + client.bottom) / 2;
    const int thumbFrom = vertical ? thumb.top : thumb.left;
    const int thumbTo = vertical ? thumb.bottom : thumb.right;
    for (int a = from; a < to; a += 6) {
        if (hasThumb && a >= thumbFrom && a < thumbTo)
            continue;
        if (vertical)
            dc.SetPixel(across, a, dot);
        else
            dc.SetPixel(a, across, dot);
    }
}

// A page step towards the point, repeated by the timer until the thumb is under the pointer.
void BScroller::OnTrackPress(UINT, POINT p) {
    if (!active)
        return;
    const RECT client = GetClientRect();
    const bool inside = Inside(client, p);
    const int along = Vertical() ? p.y : p.x;
    const RECT thumb = ThumbRect();
    int start, end;
    if (thumb.right > thumb.left && thumb.bottom > thumb.top) {
        start = Vertical() ? thumb.top : thumb.left;
        end = Vertical() ? thumb.bottom : thumb.right;
    } else {
        // No thumb window (a very short track): where the thumb would start.
        start = end = kButtonLength + ThumbOffset(ThumbLength());
    }
    if (!inside || along == end || (along >= start && along < end)) {
        KillTimer(kRepeatTimer);
        return;
    }
    SetTimer(kRepeatTimer, HasCapture() ? repeatInterval : firstDelay);
    SetCapture();
    SendScroll(along < start ? SB_PAGEUP : SB_PAGEDOWN);
}

int32_t HScroller::PageFor(int cx, int) const { return (cx + extraWidth) / std::max(lineHeight, 1); }

int32_t VScroller::PageFor(int, int cy) const { return cy / std::max(lineHeight, 1); }

void VScroller::EraseTrack(CDC& dc) {
    BScroller::EraseTrack(dc);
    if (Pager())
        Pager()->DrawMarks(*this, dc, GetClientRect(), ThumbRect());
}

// --- Arrow buttons.

constexpr MessageEntry kButtonEntries[] = {
    Cracked(WM_CREATE),      Cracked(WM_ERASEBKGND), Cracked(WM_LBUTTONDOWN), Cracked(WM_LBUTTONUP),
    Cracked(WM_MOUSEMOVE),   Cracked(WM_PAINT),      Cracked(WM_TIMER),
    OnMessage(WM_CAPTURECHANGED, Route<&BScrollButton::OnCaptureChanged>),
};
const MessageMap BScrollButton::kMessageMap{&CWnd::kMessageMap, kButtonEntries};

int BScrollButton::OnCreate(CREATESTRUCTW* cs) {
    const int result = CWnd::OnCreate(cs);
    ArrowGlyphs();   // made once for all buttons
    return result;
}

BOOL BScrollButton::OnEraseBkgnd(HDC dc) {
    CDC target(dc);
    target.FillSolidRect(GetClientRect(), ThemeColor(31));
    return TRUE;
}

void BScrollButton::OnLButtonDown(UINT flags, POINT point) {
    if (!scroller_.active || !Inside(GetClientRect(), point))
        return;
    KillTimer(kRepeatTimer);
    SetTimer(kRepeatTimer, HasCapture() ? repeatInterval : firstDelay);
    SetCapture();
    const bool ctrl = (flags & MK_CONTROL) || (::GetKeyState(VK_CONTROL) & 0x8000);
    const bool first = GetDlgCtrlID() == 0;
    scroller_.SendScroll(ctrl ? (first ? SB_TOP : SB_BOTTOM) : (first ? SB_LINEUP : SB_LINEDOWN));
}

void BScrollButton::OnLButtonUp(UINT, POINT) {
    KillTimer(kRepeatTimer);
    ::ReleaseCapture();
    Invalidate();
}

LRESULT BScrollButton::OnCaptureChanged(WPARAM, LPARAM gainer) {
    if (reinterpret_cast<HWND>(gainer) != m_hWnd) {
        KillTimer(kRepeatTimer);
        Invalidate();   // drawn up again
    }
    return 0;
}

void BScrollButton::OnMouseMove(UINT, POINT) {
    if (hover)
        return;
    hover = true;
    Invalidate();
    SetTimer(kHoverTimer, 100);
}

void BScrollButton::OnTimer(UINT_PTR id) {
    if (id == kRepeatTimer) {
        if (!HasCapture()) {   // the mouse went elsewhere: the press is over
            KillTimer(kRepeatTimer);
            return;
        }
        // A held button repeats while the pointer stays on it.
        OnLButtonDown(0, CursorIn(*this));
    } else if (id == kHoverTimer) {
        if (Inside(GetClientRect(), CursorIn(*this))) {
            SetTimer(kHoverTimer, 100);
        } else {
            hover = false;
            KillTimer(kHoverTimer);
            Invalidate();
        }
    }
}

void BScrollButton::OnPaint() {
    CPaintDC dc(m_hWnd);
    RECT r = GetClientRect();
    ::InflateRect(&r, -1, -1);
    const bool pressed = HasCapture();
    if (scroller_.active && (pressed || hover)) {
        const COLORREF a = ThemeColor(pressed ? 37 : 36);
        const COLORREF b = ThemeColor(pressed ? 36 : 37);
        dc.Draw3dRect(r, a, b);
    }
    if (r.right - r.left < 9 || r.bottom - r.top < 9)
        return;
    const int id = GetDlgCtrlID();
    int image = id;
    bool grey = true;
    if (scroller_.active) {
        grey = false;
        NMHDR query{m_hWnd, static_cast<UINT_PTR>(id), kEdgeQueryCode};
        const LRESULT edge = ::SendMessageW(scroller_.m_hWnd, WM_NOTIFY, static_cast<WPARAM>(id),
                                            reinterpret_cast<LPARAM>(&query));
        image = edge == 0 ? id + 2 : id;
    }
    const bool vertical = scroller_.Vertical();
    const int boxW = vertical ? 9 : 5;
    const int boxH = vertical ? 5 : 9;
    int x = r.left + (r.right - r.left - boxW) / 2;
    int y = r.top + (r.bottom - r.top - boxH) / 2;
    if (pressed) {
        ++x;
        ++y;
    }
    DrawArrow(dc, x, y, image, grey, vertical ? 90 : 0);
}

// --- Thumb.

constexpr MessageEntry kSliderEntries[] = {
    Cracked(WM_ERASEBKGND), Cracked(WM_LBUTTONDOWN), Cracked(WM_LBUTTONUP), Cracked(WM_MOUSEMOVE), Cracked(WM_PAINT),
};
const MessageMap BScrollSlider::kMessageMap{&CWnd::kMessageMap, kSliderEntries};

BOOL BScrollSlider::OnEraseBkgnd(HDC dc) {
    CDC target(dc);
    target.FillSolidRect(GetClientRect(), ThemeColor(38));
    return TRUE;
}

void BScrollSlider::OnLButtonDown(UINT, POINT point) {
    SetCapture();
    pressX = point.x;
    pressY = point.y;
}

void BScrollSlider::OnLButtonUp(UINT, POINT) {
    ::ReleaseCapture();
    Invalidate();
}

void BScrollSlider::OnMouseMove(UINT flags, POINT point) {
    if (!(flags & MK_LBUTTON))
        return;
    const int d = scroller_.Vertical() ? point.y - pressY : point.x - pressX;
    scroller_.SendScroll(SB_THUMBTRACK, static_cast<int16_t>(d));
}

void BScrollSlider::OnPaint() {
    CPaintDC dc(m_hWnd);
    RECT r = GetClientRect();
    Frame(dc, r, ThemeColor(39));
    ::InflateRect(&r, -1, -1);
    Frame(dc, r, ThemeColor(40));
    ::InflateRect(&r, -2, -2);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    if (w < 20 && h < 20)
        return;
    // Three ridges across the longer side.
    const bool alongX = w >= h;
    const int centre = alongX ? r.left + w / 2 : r.top + h / 2;
    for (int offset : {-2, 2, 6}) {
        for (int k = 0; k < 2; ++k) {
            const COLORREF c = ThemeColor(k == 0 ? 39 : 40);
            const int at = centre + offset + k;
            if (alongX)
                dc.FillSolidRect(RECT{at, r.top, at + 1, r.bottom}, c);
            else
                dc.FillSolidRect(RECT{r.left, at, r.right, at + 1}, c);
        }
    }
}

// --- Corner.

constexpr MessageEntry kCornerEntries[] = {Cracked(WM_ERASEBKGND)};
const MessageMap BScrollCorner::kMessageMap{&CWnd::kMessageMap, kCornerEntries};

bool BScrollCorner::Create(HWND parent) {
    const RECT none{0, 0, 0, 0};
    return CreateEx(0, ScrollerClass(), L"", WS_CHILD | WS_VISIBLE, none, parent, static_cast<UINT_PTR>(-1));
}

BOOL BScrollCorner::OnEraseBkgnd(HDC dc) {
    CDC target(dc);
    RECT r = GetClientRect();
    Frame(target, r, ThemeColor(39));
    ::InflateRect(&r, -1, -1);
    Frame(target, r, ThemeColor(40));
    ::InflateRect(&r, -1, -1);
    target.FillSolidRect(r, ThemeColor(31));
    return TRUE;
}
