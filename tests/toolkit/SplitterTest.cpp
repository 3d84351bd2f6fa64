#include "toolkit/BSplitter.h"

#include "classlib/CursorIcon.h"
#include "tests/classlib/MouseTakers.h"
#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A child with track limits along x and y.
class TrackedChild : public CWnd {
public:
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    void OnGetMinMaxInfo(MINMAXINFO* info) override {
        if (minTrack) info->ptMinTrackSize = POINT{minTrack, minTrack};
        if (maxTrack) info->ptMaxTrackSize = POINT{maxTrack, maxTrack};
    }
    int minTrack = 0, maxTrack = 0;
};
const MessageEntry kTrackedEntries[] = { Cracked(WM_GETMINMAXINFO) };
const MessageMap TrackedChild::kMessageMap{&CWnd::kMessageMap, kTrackedEntries};

int g_clips = 0;
BOOL WINAPI FakeClip(const RECT* r) { if (r) ++g_clips; return TRUE; }
BOOL WINAPI FakeGetClip(RECT* r) { *r = RECT{0, 0, 1280, 1024}; return TRUE; }

RECT ChildRect(HWND child) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

struct SplitterFixture : ::testing::Test {
    CWnd host;
    TrackedChild one, two;
    BSplitter splitter{0, &one, &two};
    CursorClip::Calls saved{};

    void SetUp() override {
        saved = CursorClip::Replace(CursorClip::Calls{FakeClip, FakeGetClip});
        ASSERT_TRUE(host.CreateEx(0, nullptr, L"split", WS_POPUP | WS_VISIBLE, RECT{0, 0, 404, 200}, nullptr, 0));
        ASSERT_TRUE(splitter.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 404, 200}, host, 230));
    }
    void TearDown() override { host.DestroyWindow(); CursorClip::Replace(saved); }

    void Post(UINT message, WPARAM flags, int x, int y) {
        splitter.PostMessage(message, flags, MAKELPARAM(x, y));
        wintest::DrainQueue();
    }
    void Press(int x, int y) { Post(WM_LBUTTONDOWN, MK_LBUTTON, x, y); }
    void Move(int x, int y) { Post(WM_MOUSEMOVE, MK_LBUTTON, x, y); }
    void Release(int x, int y) { Post(WM_LBUTTONUP, 0, x, y); }
};

TEST_F(SplitterFixture, ChildrenAroundTheBar) {
    EXPECT_EQ(one.GetDlgCtrlID(), 1111);
    EXPECT_EQ(two.GetDlgCtrlID(), 2222);
    EXPECT_EQ(splitter.UsableExtent(), 400);
    EXPECT_EQ(splitter.position, 200);                    // the middle until told otherwise
    splitter.SetPercent(75);
    EXPECT_EQ(splitter.position, 300);
    EXPECT_EQ(splitter.fraction, 7500);
    splitter.LayoutChildren();
    const RECT a = ChildRect(one), b = ChildRect(two);
    EXPECT_EQ(a.right, 300);
    EXPECT_EQ(b.left, 304);
    EXPECT_EQ(b.right, 404);
    splitter.MoveWindow(0, 0, 204, 200);                  // the fraction survives resizing
    EXPECT_EQ(splitter.position, 150);
}

struct ClampRow {
    int minTrack1, maxTrack1, minTrack2, v, expected;
};

TEST_F(SplitterFixture, ClampSnapsToEndsAndTrackSizes) {
    const ClampRow rows[] = {
        {0, 0, 0, 1, 0}, {0, 0, 0, 2, 0}, {0, 0, 0, 3, 3},
        {0, 0, 0, 398, 400}, {0, 0, 0, 397, 397},
        {50, 0, 0, 20, 50}, {0, 120, 0, 300, 120}, {0, 0, 100, 350, 300},
    };
    for (const ClampRow& r : rows) {
        one.minTrack = r.minTrack1;
        one.maxTrack = r.maxTrack1;
        two.minTrack = r.minTrack2;
        EXPECT_EQ(splitter.ClampPosition(r.v), r.expected) << r.v;
    }
    two.ShowWindow(SW_HIDE);                              // hidden by other code: unchanged
    one.minTrack = 50;
    EXPECT_EQ(splitter.ClampPosition(1), 1);
}

TEST_F(SplitterFixture, DragToTheLeftCollapsesAndAClickRestores) {
    splitter.SetPercent(50);
    splitter.LayoutChildren();
    g_clips = 0;
    Press(201, 50);
    EXPECT_EQ(g_clips, 1);                                // the cursor is confined to the splitter
    Move(-300, 50);
    EXPECT_EQ(splitter.position, 0);
    Release(-300, 50);
    EXPECT_EQ(splitter.barWidth, 9);
    EXPECT_FALSE(one.GetStyle() & WS_VISIBLE);
    const RECT bar = splitter.BarRect();
    EXPECT_EQ(bar.left, 0);
    EXPECT_EQ(bar.right, 9);
    EXPECT_EQ(ChildRect(two).left, 9);
    EXPECT_EQ(wintest::PixelsAwaitingPaint(splitter.m_hWnd), 0);   // the grip as drawn
    Press(4, 50);
    Release(4, 50);
    EXPECT_EQ(splitter.barWidth, 4);
    EXPECT_TRUE(one.GetStyle() & WS_VISIBLE);
    EXPECT_EQ(splitter.position, 200);                    // where it was before the drag
    EXPECT_EQ(ChildRect(one).right, 200);
    EXPECT_EQ(wintest::PixelsAwaitingPaint(splitter.m_hWnd), 0);
}

TEST_F(SplitterFixture, DragToTheRightCollapsesTheSecond) {
    splitter.sideBySide = false;                          // stacked: the drag runs along y
    splitter.SetPercent(50);
    Press(10, 99);
    Move(10, 900);
    Release(10, 900);
    EXPECT_FALSE(two.GetStyle() & WS_VISIBLE);
    EXPECT_EQ(splitter.BarRect().top, 200 - 9);
    EXPECT_EQ(ChildRect(one).bottom, 200 - 9);
    Press(10, 100);                                       // off the grip: nothing
    Release(10, 100);
    EXPECT_EQ(splitter.barWidth, 9);
}

TEST_F(SplitterFixture, DragBetweenTheEndsOnlyMoves) {
    splitter.SetPercent(50);
    Press(201, 50);
    Move(251, 50);
    EXPECT_EQ(ChildRect(one).right, 250);
    Release(251, 50);
    EXPECT_EQ(splitter.barWidth, 4);
    EXPECT_EQ(splitter.position, 250);
    EXPECT_EQ(splitter.fraction, 6250);
    EXPECT_TRUE(one.GetStyle() & WS_VISIBLE);
    EXPECT_TRUE(two.GetStyle() & WS_VISIBLE);
}

// A drag lets go when something else takes the mouse: the cursor is free, the capture gone, and
// later moves with the button down no longer move the bar.
TEST_F(SplitterFixture, ADragLetsGoWhenTheMouseIsTaken) {
    wintest::FakeCursorClip clip;
    for (wintest::MouseTaker taker : wintest::kMouseTakers) {
        splitter.SetPercent(50);
        splitter.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(201, 50));
        splitter.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(211, 50));
        wintest::DrainQueue();
        ASSERT_FALSE(wintest::FakeCursorClip::Free()) << wintest::TakerName(taker);
        ASSERT_EQ(splitter.position, 210);
        const wintest::TakenState seen = wintest::TakeMouse(taker, splitter.m_hWnd);
        EXPECT_TRUE(seen.cursorFree) << wintest::TakerName(taker);
        EXPECT_TRUE(seen.captureFree) << wintest::TakerName(taker);
        EXPECT_TRUE(wintest::FakeCursorClip::Free()) << wintest::TakerName(taker);
        splitter.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 50));
        wintest::DrainQueue();
        EXPECT_EQ(splitter.position, 210) << wintest::TakerName(taker);
        EXPECT_EQ(splitter.barWidth, 4);
    }
}

TEST(Splitter, PercentBeforeTheFirstSizeIsKept) {
    CWnd host, one, two;
    BSplitter s(0, &one, &two);
    ASSERT_TRUE(host.CreateEx(0, nullptr, L"", WS_POPUP, RECT{0, 0, 304, 100}, nullptr, 0));
    ASSERT_TRUE(s.CreateEx(0, nullptr, L"", WS_CHILD, RECT{0, 0, 0, 0}, host, 1));
    s.SetPercent(25);
    EXPECT_EQ(s.fraction, 2500);
    s.MoveWindow(0, 0, 304, 100);
    EXPECT_EQ(s.position, 75);
}

}  // namespace
