#include "toolkit/BScroller.h"

#include "classlib/PixelSurface.h"
#include "classlib/Screenshot.h"
#include "options/BColorTheme.h"
#include "toolkit/ScrollPager.h"

#include "tests/classlib/MouseTakers.h"
#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void Drain() { wintest::DrainQueue(); }

// The scrollers' parent: records every scroll message and shown notice, and applies the steps to its
// scroller the way a pane does.
class ScrollHost : public CWnd {
public:
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    LRESULT OnScrollMessage(WPARAM w, LPARAM) {
        const MSG* m = CurrentMessage();
        codes.push_back(LOWORD(w));
        values.push_back(static_cast<int16_t>(HIWORD(w)));
        messages.push_back(m ? m->message : 0);
        BScroller* s = m && m->message == WM_VSCROLL ? static_cast<BScroller*>(v) : h;
        if (apply && s) {
            s->Scroll(LOWORD(w), static_cast<int16_t>(HIWORD(w)));
            s->NormalizePosition();
            s->UpdateThumb();
        }
        return 0;
    }
    void OnShown(NMHDR* header, LRESULT* result) {
        const auto* notice = reinterpret_cast<scroller::ShownNotice*>(header);
        shown.push_back(static_cast<int>(header->idFrom) * 10 + notice->shown);
        *result = 0;
    }

    bool Make(bool visible = false) {
        return CreateEx(0, nullptr, L"scrollers", WS_POPUP | (visible ? WS_VISIBLE : 0), RECT{40, 40, 340, 280},
                        nullptr, 0);
    }

    VScroller* v = nullptr;
    HScroller* h = nullptr;
    bool apply = false;
    std::vector<int> codes, values, shown;
    std::vector<UINT> messages;
};

constexpr MessageEntry kHostEntries[] = {
    OnMessage(WM_HSCROLL, Route<&ScrollHost::OnScrollMessage>),
    OnMessage(WM_VSCROLL, Route<&ScrollHost::OnScrollMessage>),
    OnNotifyRange(scroller::kShownCode, scroller::kHScrollId, scroller::kVScrollId, Route<&ScrollHost::OnShown>),
};
const MessageMap ScrollHost::kMessageMap{&CWnd::kMessageMap, kHostEntries};

// A vertical scroller of 15 x 200 pixels (a track of 178) over a range, lines 10 pixels high.
struct VBar {
    explicit VBar(int64_t lines, int heightPx = 200, bool visible = false) {
        EXPECT_TRUE(host.Make(visible));
        EXPECT_TRUE(bar.CreateBarB(host.m_hWnd));
        host.v = &bar;
        bar.lineHeight = 10;
        bar.rangeEnd = lines;
        bar.MoveWindow(0, 0, 15, heightPx, true);
        bar.UpdateThumb();
        Drain();
    }
    ~VBar() { host.DestroyWindow(); }
    RECT Child(const CWnd& w) const {
        RECT r = w.GetWindowRect();
        bar.ScreenToClient(&r);
        return r;
    }
    ScrollHost host;
    VScroller bar;
};

POINT gCursor{0, 0};
POINT FakeCursor() { return gCursor; }

struct CursorOverride {
    CursorOverride() { scroller::cursorPos = FakeCursor; }
    ~CursorOverride() { scroller::cursorPos = saved; }
    POINT (*saved)() = scroller::cursorPos;
};

TEST(Scroller, CreatesItsPartsWithTheirIds) {
    VBar b(1000);
    EXPECT_EQ(b.bar.GetDlgCtrlID(), 277);
    EXPECT_EQ(b.bar.Button(0)->GetDlgCtrlID(), 0);
    EXPECT_EQ(b.bar.Button(1)->GetDlgCtrlID(), 1);
    EXPECT_EQ(b.bar.buttonB->GetDlgCtrlID(), 0);   // the vertical scroller's top button
    EXPECT_EQ(b.bar.Slider()->GetDlgCtrlID(), 5);
    const RECT top = b.Child(*b.bar.Button(0)), bottom = b.Child(*b.bar.Button(1));
    EXPECT_EQ(top.top, 0);
    EXPECT_EQ(top.bottom, 11);
    EXPECT_EQ(bottom.top, 189);
    EXPECT_EQ(bottom.bottom, 200);
    EXPECT_EQ(b.bar.page, 20);

    ScrollHost host;
    ASSERT_TRUE(host.Make());
    HScroller hbar;
    ASSERT_TRUE(hbar.CreateBarA(host.m_hWnd));
    EXPECT_EQ(hbar.GetDlgCtrlID(), 276);
    EXPECT_EQ(hbar.buttonA->GetDlgCtrlID(), 0);   // the horizontal scroller's left button
    hbar.extraWidth = 40;
    hbar.lineHeight = 2;
    hbar.MoveWindow(0, 0, 100, 15, true);
    EXPECT_EQ(hbar.page, 70);   // (100 + 40) / 2
    hbar.MoveWindow(0, 0, 16, 15, true);
    RECT right = hbar.Button(1)->GetWindowRect();
    hbar.ScreenToClient(&right);
    EXPECT_EQ(right.right - right.left, 8);   // a short scroller halves its buttons
    host.DestroyWindow();
}

TEST(Scroller, ThumbShowsOnlyWhenTheRangeOutgrowsThePage) {
    struct Row {
        const char* name;
        int64_t lines, top;
        bool active;
        int thumbLength, thumbOffset;   // -1: don't check
    } rows[] = {
        {"empty range", 0, 0, false, -1, -1},
        {"range inside the page", 15, 0, false, -1, -1},
        {"range of exactly one page", 20, 0, false, -1, -1},
        {"a thousand lines at the top", 1000, 0, true, 4, 0},
        {"a hundred lines in the middle", 100, 40, true, 36, 71},
        {"a hundred lines at the end", 100, 80, true, 36, 178 - 36},
        {"2^40 lines at the end", int64_t(1) << 40, (int64_t(1) << 40) - 20, true, 4, 178 - 4},
        {"2^62 lines in the middle", int64_t(1) << 62, int64_t(1) << 61, true, 4, 89},
    };
    for (const Row& r : rows) {
        VBar b(r.lines);
        b.bar.top = r.top;
        b.bar.UpdateThumb();
        EXPECT_EQ(b.bar.active, r.active) << r.name;
        EXPECT_EQ((b.bar.Slider()->GetStyle() & WS_VISIBLE) != 0, r.active) << r.name;
        if (r.thumbLength < 0)
            continue;
        const RECT t = b.Child(*b.bar.Slider());
        EXPECT_EQ(t.bottom - t.top, r.thumbLength) << r.name;
        EXPECT_EQ(t.top - 11, r.thumbOffset) << r.name;
        EXPECT_LE(t.bottom, 189) << r.name;   // never leaves the track
    }
}

TEST(Scroller, ButtonsStepAndJumpWithCtrl) {
    struct Row {
        const char* name;
        int button;
        UINT keys;
        int64_t lines;
        std::vector<int> expect;
    } rows[] = {
        {"top button", 0, 0, 1000, {SB_LINEUP}},
        {"bottom button", 1, 0, 1000, {SB_LINEDOWN}},
        {"top button with Ctrl", 0, MK_CONTROL, 1000, {SB_TOP}},
        {"bottom button with Ctrl", 1, MK_CONTROL, 1000, {SB_BOTTOM}},
        {"inactive scroller", 1, 0, 10, {}},
    };
    for (const Row& r : rows) {
        VBar b(r.lines);
        BScrollButton& button = *b.bar.Button(r.button);
        button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | r.keys, MAKELPARAM(5, 5));
        button.SendMessage(WM_LBUTTONUP, r.keys, MAKELPARAM(5, 5));
        EXPECT_EQ(b.host.codes, r.expect) << r.name;
        for (UINT m : b.host.messages)
            EXPECT_EQ(m, UINT(WM_VSCROLL)) << r.name;
    }
}

TEST(Scroller, EdgeQueryAnswersPerButton) {
    VBar b(100);
    auto ask = [&](int id) {
        NMHDR h{b.bar.Button(id)->m_hWnd, static_cast<UINT_PTR>(id), scroller::kEdgeQueryCode};
        return b.bar.SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&h));
    };
    EXPECT_EQ(ask(0), 1);
    EXPECT_EQ(ask(1), 0);
    b.bar.top = 80;
    EXPECT_EQ(ask(0), 0);
    EXPECT_EQ(ask(1), 1);
}

TEST(Scroller, TrackPressPagesTowardsThePointerUntilTheThumbIsUnderIt) {
    CursorOverride cursor;
    VBar b(1000);
    b.host.apply = true;
    // A press far below the thumb pages down; the repeat timer keeps paging while the pointer stays.
    const POINT press{7, 150};
    gCursor = press;
    b.bar.ClientToScreen(&gCursor);
    b.bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    ASSERT_EQ(b.host.codes, std::vector<int>{SB_PAGEDOWN});
    for (int i = 0; i < 200 && b.host.codes.size() < 100; ++i) {
        const size_t before = b.host.codes.size();
        b.bar.SendMessage(WM_TIMER, scroller::kRepeatTimer, 0);
        if (b.host.codes.size() == before)
            break;
    }
    const RECT thumb = b.bar.ThumbRect();
    EXPECT_LE(thumb.top, press.y);
    EXPECT_GE(thumb.bottom, press.y);
    for (int c : b.host.codes)
        EXPECT_EQ(c, SB_PAGEDOWN);
    EXPECT_GT(b.host.codes.size(), 3u);
    const size_t steps = b.host.codes.size();
    b.bar.SendMessage(WM_TIMER, scroller::kRepeatTimer, 0);
    EXPECT_EQ(b.host.codes.size(), steps);   // stopped
    b.bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(press.x, press.y));

    // Above the thumb pages up; on it and on the line just past its end nothing; outside the scroller
    // nothing.
    b.host.codes.clear();
    b.bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 12));
    b.bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(7, 12));
    const RECT t = b.bar.ThumbRect();
    for (LONG y : {(t.top + t.bottom) / 2, t.bottom}) {
        b.bar.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, y));
        b.bar.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(7, y));
        Drain();
    }
    b.bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 150));
    b.bar.SendMessage(WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(b.host.codes, std::vector<int>{SB_PAGEUP});
}

TEST(Scroller, HeldButtonRepeatsAfterTheFirstDelay) {
    CursorOverride cursor;
    VBar b(1000);
    BScrollButton& down = *b.bar.Button(1);
    gCursor = POINT{5, 5};
    down.ClientToScreen(&gCursor);
    const DWORD pressed = ::GetTickCount();
    down.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(b.host.codes.size(), 1u);   // the press's own step
    ASSERT_TRUE(wintest::PumpUntil([&] { return b.host.codes.size() >= 2; }));
    EXPECT_GE(::GetTickCount() - pressed, scroller::firstDelay - 20);   // nothing before the first delay
    ASSERT_TRUE(wintest::PumpUntil([&] { return b.host.codes.size() >= 5; }));
    // Off the button the repeat pauses.
    gCursor.x += 100;
    Drain();
    const size_t held = b.host.codes.size();
    down.SendMessage(WM_TIMER, scroller::kRepeatTimer, 0);
    EXPECT_EQ(b.host.codes.size(), held);
    down.SendMessage(WM_LBUTTONUP, 0, 0);
}

// An arrow or the track held down when something else takes the mouse stops repeating: no further
// step, and the capture stays with whoever took it.
TEST(Scroller, ARepeatEndsWhenTheMouseIsTaken) {
    CursorOverride cursor;
    VBar b(1000);   // the scroller sets the delays back to their defaults
    scroller::firstDelay = scroller::repeatInterval = 10;
    CWnd* parts[] = {b.bar.Button(1), &b.bar};
    for (CWnd* part : parts) {
        const POINT press = part == &b.bar ? POINT{7, 150} : POINT{5, 5};
        for (wintest::MouseTaker taker : wintest::kMouseTakers) {
            gCursor = press;
            part->ClientToScreen(&gCursor);
            b.host.codes.clear();
            part->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
            Drain();
            ASSERT_EQ(::GetCapture(), part->m_hWnd) << wintest::TakerName(taker);
            wintest::TakeMouse(taker, part->m_hWnd);
            const size_t steps = b.host.codes.size();
            wintest::PumpUntil([] { return false; }, 120);   // many repeat intervals
            EXPECT_EQ(b.host.codes.size(), steps) << wintest::TakerName(taker);
            EXPECT_NE(::GetCapture(), part->m_hWnd) << wintest::TakerName(taker);
            part->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(press.x, press.y));
            Drain();
        }
    }
    scroller::firstDelay = 500;
    scroller::repeatInterval = 100;
}

// The hover frame reaches the display when the pointer comes and goes with it once the hover timer
// finds the pointer elsewhere.
TEST(Scroller, ButtonHoverLastsWhileThePointerStaysOnIt) {
    CursorOverride cursor;
    VBar b(1000, 200, true);
    BScrollButton& up = *b.bar.Button(0);
    gCursor = POINT{3, 3};
    up.ClientToScreen(&gCursor);
    up.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    ASSERT_TRUE(wintest::PumpUntil([&] { return up.hover; }));
    EXPECT_EQ(wintest::PixelsAwaitingPaint(up.m_hWnd), 0);
    EXPECT_TRUE(up.hover);   // the timer saw the pointer still there
    gCursor.y += 40;
    ASSERT_TRUE(wintest::PumpUntil([&] { return !up.hover; }));
    EXPECT_EQ(wintest::PixelsAwaitingPaint(up.m_hWnd), 0);
    up.SendMessage(WM_TIMER, 77, 0);   // other timers are ignored
    EXPECT_FALSE(up.hover);
}

TEST(Scroller, ThumbDragSendsPixelDeltas) {
    VBar b(1000);
    b.host.apply = true;
    BScrollSlider& thumb = *b.bar.Slider();
    thumb.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 2));
    thumb.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, 52));
    thumb.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(3, 90));   // button up: ignored
    thumb.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(3, 52));
    ASSERT_EQ(b.host.codes, std::vector<int>{SB_THUMBTRACK});
    EXPECT_EQ(b.host.values[0], 50);
    EXPECT_EQ(b.bar.top, 1000 * 50 / 179);   // R x pixels / (T + 1)

    // Upwards gives a negative delta.
    thumb.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 40));
    thumb.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, 30));
    thumb.SendMessage(WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(b.host.values.back(), -10);
}

TEST(Scroller, TellsItsParentWhenShownOrHidden) {
    VBar b(1000);
    b.host.shown.clear();
    b.bar.ShowWindow(SW_HIDE);
    b.bar.ShowWindow(SW_SHOW);
    EXPECT_EQ(b.host.shown, (std::vector<int>{2770, 2771}));
}

// Draws the track into a surface the scroller's size.
class MarkCounter : public BScrollPagerYline {
public:
    void DrawMarks(BScrollerModel&, HDC, const RECT& track, const RECT& thumb) override {
        ++calls;
        lastTrack = track;
        lastThumb = thumb;
    }
    int calls = 0;
    RECT lastTrack{}, lastThumb{};
};

TEST(Scroller, TrackPaintsAroundTheThumbAndDotsItsCentreLine) {
    VBar b(100);
    auto* marks = new MarkCounter;
    b.bar.SetPager(marks);
    b.bar.top = 80;   // the thumb at the end of the track
    b.bar.UpdateThumb();
    PixelSurface s(15, 200);
    s.FillSolidRect(RECT{0, 0, 15, 200}, RGB(1, 2, 3));
    b.bar.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(s.GetSafeHdc()), 0);
    const RECT thumb = b.bar.ThumbRect();
    ASSERT_GT(thumb.bottom, thumb.top);
    EXPECT_EQ(s.CountColour(thumb, RGB(1, 2, 3)), (thumb.right - thumb.left) * (thumb.bottom - thumb.top));
    EXPECT_EQ(s.Pixel(0, 100), ThemeColor(31));
    EXPECT_EQ(s.Pixel(7, 12), ThemeColor(32));   // the first dot, 12 pixels in
    EXPECT_EQ(s.Pixel(7, 18), ThemeColor(32));
    EXPECT_EQ(s.Pixel(7, 13), ThemeColor(31));
    EXPECT_EQ(marks->calls, 1);
    EXPECT_EQ(marks->lastThumb.top, thumb.top);

    // Inactive: the dots take the other colour.
    b.bar.rangeEnd = 5;
    b.bar.UpdateThumb();
    b.bar.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(s.GetSafeHdc()), 0);
    EXPECT_EQ(s.Pixel(7, 12), ThemeColor(33));
    EXPECT_EQ(s.CountColour(RECT{0, 0, 15, 200}, RGB(1, 2, 3)), 0);
}

TEST(Scroller, LooksRightOnScreen) {
    ScrollHost host;
    ASSERT_TRUE(host.Make(true));
    VScroller v;
    HScroller h;
    BScrollCorner corner;
    ASSERT_TRUE(v.CreateBarB(host.m_hWnd));
    ASSERT_TRUE(h.CreateBarA(host.m_hWnd));
    ASSERT_TRUE(corner.Create(host.m_hWnd));
    v.lineHeight = 10;
    v.rangeEnd = 60;
    v.top = 10;
    h.rangeEnd = 20;   // fits: inactive
    v.MoveWindow(285, 0, 15, 225, true);
    h.MoveWindow(0, 225, 285, 15, true);
    corner.MoveWindow(285, 225, 15, 15, true);
    v.UpdateThumb();
    h.UpdateThumb();
    host.UpdateWindow();
    Drain();
    PixelSurface shot;
    ASSERT_TRUE(CaptureWindow(host.m_hWnd, shot, true));
    shot.SavePng(L"scrollers.png");
    // The thumb's background, the track and the corner's fill.
    EXPECT_GT(shot.CountColour(RECT{285, 11, 300, 214}, ThemeColor(38)), 50);
    EXPECT_GT(shot.CountColour(RECT{0, 225, 285, 240}, ThemeColor(31)), 1000);
    EXPECT_EQ(shot.Pixel(292, 232), ThemeColor(31));
    // Arrow glyphs: the active top button shows coloured pixels, the inactive ones grey.
    EXPECT_GT(shot.CountColour(RECT{285, 0, 300, 11}, ThemeColor(35)), 5);
    host.DestroyWindow();
}

}  // namespace
