#include "toolkit/BPane.h"

#include "classlib/PixelSurface.h"
#include "classlib/Screenshot.h"
#include "options/BColorTheme.h"
#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A pane whose cursor the test moves.
class TestPane : public BPane {
public:
    explicit TestPane(int dividerType) : BPane(dividerType) {}
    POINT cursor{0, 0};
protected:
    POINT CursorScreenPos() const override { return cursor; }
};

// The rest sibling, optionally refusing to get narrower than a minimum.
class RestWindow : public CWnd {
public:
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    void OnGetMinMaxInfo(MINMAXINFO* info) override { info->ptMinTrackSize = minTrack; }
    POINT minTrack{0, 0};
};
const MessageEntry kRestEntries[] = { Cracked(WM_GETMINMAXINFO) };
const MessageMap RestWindow::kMessageMap{&CWnd::kMessageMap, kRestEntries};

RECT ChildRect(HWND child) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void ExpectRect(HWND w, const RECT& e, const char* what) {
    const RECT r = ChildRect(w);
    EXPECT_EQ(r.left, e.left) << what;
    EXPECT_EQ(r.top, e.top) << what;
    EXPECT_EQ(r.right, e.right) << what;
    EXPECT_EQ(r.bottom, e.bottom) << what;
}

// A 400 x 300 parent with a rest window and one pane.
struct PaneFixture : ::testing::Test {
    CWnd parent;
    RestWindow rest;
    TestPane* pane = nullptr;

    void Make(int dividerType, int side, int pixels, DWORD visible = WS_VISIBLE) {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, L"panes", WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 300}, nullptr, 0));
        ASSERT_TRUE(rest.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, parent, 100));
        pane = new TestPane(dividerType);
        pane->side = side;
        ASSERT_TRUE(pane->CreateEx(0, nullptr, L"", WS_CHILD | visible, RECT{0, 0, pixels, pixels}, parent, 101));
    }
    void TearDown() override { delete pane; }
    void Layout() { BPane::LayoutChildren(parent, false); }
    void Notify(UINT code, UINT id = 2) {
        NMHDR h{pane->Divider() ? pane->Divider()->m_hWnd : nullptr, id, code};
        pane->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&h));
    }
    void Drag(POINT from, POINT to) {
        pane->cursor = from;
        Notify(WM_LBUTTONDOWN);
        pane->cursor = to;
        Notify(WM_MOUSEMOVE);
        Notify(WM_LBUTTONUP);
    }
    // The same through the divider's own mouse messages.
    void DragDivider(POINT from, POINT to) {
        const HWND divider = pane->Divider()->m_hWnd;
        pane->cursor = from;
        ::PostMessageW(divider, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        wintest::DrainQueue();
        pane->cursor = to;
        ::PostMessageW(divider, WM_MOUSEMOVE, MK_LBUTTON, 0);
        ::PostMessageW(divider, WM_LBUTTONUP, 0, 0);
        wintest::DrainQueue();
    }
};

TEST_F(PaneFixture, ChildOrderFollowsCreation) {
    Make(2, 0, 50);
    EXPECT_EQ(::GetWindow(parent, GW_CHILD), rest.m_hWnd);
    EXPECT_EQ(::GetWindow(rest, GW_HWNDNEXT), pane->m_hWnd);
    EXPECT_EQ(::GetWindow(*pane, GW_HWNDNEXT), pane->Divider()->m_hWnd);
    EXPECT_EQ(pane->Divider()->GetDlgCtrlID(), 2);
}

struct SideRow {
    int side;
    RECT pane, divider, rest;
};

TEST_F(PaneFixture, EachSideCutsItsEdgeAndTheDividerInside) {
    const SideRow rows[] = {
        {0, {0, 0, 400, 50}, {0, 50, 400, 54}, {0, 54, 400, 300}},
        {2, {0, 250, 400, 300}, {0, 246, 400, 250}, {0, 0, 400, 246}},
        {3, {0, 0, 50, 300}, {50, 0, 54, 300}, {54, 0, 400, 300}},
        {1, {350, 0, 400, 300}, {346, 0, 350, 300}, {0, 0, 346, 300}},
    };
    for (const SideRow& row : rows) {
        Make(2, row.side, 50);
        Layout();
        ExpectRect(*pane, row.pane, "pane");
        ExpectRect(*pane->Divider(), row.divider, "divider");
        ExpectRect(rest, row.rest, "rest");
        EXPECT_EQ(pane->Divider()->side, row.side);
        EXPECT_EQ(pane->parentWidth, 400);
        EXPECT_EQ(pane->restSibling, rest.m_hWnd);
        delete pane;
        pane = nullptr;
        parent.DestroyWindow();
    }
}

TEST_F(PaneFixture, FractionOfTheParentAndItsLimits) {
    Make(0, 3, 50);
    pane->SetSize(2500);
    Layout();
    ExpectRect(*pane, {0, 0, 100, 300}, "a quarter");
    pane->SetSize(9000);
    EXPECT_EQ(pane->size, 8000);                          // at most maxFraction
    pane->SetSizeScaled(12, 50);
    EXPECT_EQ(pane->size, 1250);
    pane->size = -1;
    pane->maxSize = 30;
    Layout();
    ExpectRect(*pane, {0, 0, 30, 300}, "maxSize");
    pane->maxSize = 0x7fff;
    pane->minSize = 60;
    Layout();
    ExpectRect(*pane, {0, 0, 60, 300}, "minSize");
}

TEST_F(PaneFixture, NeverMoreThanTheRestAllows) {
    Make(0, 1, 50);
    rest.minTrack = {350, 0};
    pane->SetSize(8000);
    Layout();
    ExpectRect(*pane, {354, 0, 400, 300}, "400 - 350 - 4");
    rest.minTrack = {500, 0};
    Layout();
    EXPECT_EQ(ChildRect(rest).right, 400);                // no room: the pane takes nothing
}

TEST_F(PaneFixture, FirstChildAloneTakesTheWholeArea) {
    Make(0, 0, 50, 0);                                    // the pane is hidden: it takes no room
    Layout();
    ExpectRect(rest, {0, 0, 400, 300}, "rest");
    CWnd plain;
    ASSERT_TRUE(plain.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{5, 5, 20, 20}, parent, 102));
    Layout();
    ExpectRect(rest, {0, 0, 400, 300}, "a window without the handler takes nothing");
    ExpectRect(plain, {5, 5, 20, 20}, "and stays where it was");
}

TEST_F(PaneFixture, DoubleClickHidesAndShowsWithTheGrip) {
    Make(2, 0, 50);
    Layout();
    BDivider* d = pane->Divider();
    d->SendMessage(WM_LBUTTONDBLCLK, 0, 0);
    EXPECT_FALSE(pane->IsShown());
    EXPECT_EQ(d->GetDlgCtrlID(), 1);
    ExpectRect(*d, {0, 0, 400, 9}, "grip");
    ExpectRect(rest, {0, 9, 400, 300}, "rest");
    Notify(WM_LBUTTONDOWN, 1);                            // a hidden pane answers double clicks only
    Notify(WM_LBUTTONDBLCLK, 1);
    EXPECT_TRUE(pane->IsShown());
    EXPECT_EQ(d->GetDlgCtrlID(), 2);
    ExpectRect(*d, {0, 50, 400, 54}, "bar");
}

TEST_F(PaneFixture, DragResizesAndStoresTheFraction) {
    Make(2, 2, 50);
    pane->SetSize(2000);                                  // 60 of 300
    Layout();
    ExpectRect(*pane, {0, 240, 400, 300}, "fraction");
    Drag({100, 500}, {100, 470});                         // up by 30: bottom pane grows
    ExpectRect(*pane, {0, 210, 400, 300}, "dragged");
    EXPECT_EQ(pane->size, 3000);
    EXPECT_EQ(pane->dragSize, -1);
}

TEST_F(PaneFixture, DragLimitedByFractionAndRest) {
    Make(2, 3, 50);
    pane->SetSize(1000);                                  // 40 of 400
    Layout();
    Drag({10, 10}, {1000, 10});
    // rest client 400 - 40 - 4 = 356; (40 + 356) * 8000 / 10000 = 316
    EXPECT_EQ(pane->size, 316 * 10000 / 400);
}

TEST_F(PaneFixture, DragBelowMinimumHidesKeepingFraction) {
    Make(2, 0, 50);
    pane->SetSize(2000);
    pane->minSize = 10;
    pane->hideAtMin = true;
    Layout();
    DragDivider({0, 100}, {0, 50});                       // to 10, the minimum itself
    EXPECT_FALSE(pane->IsShown());
    EXPECT_EQ(pane->size, 2000);
    Notify(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(pane->IsShown());
    Drag({0, 100}, {0, 45});                              // 60 - 55 = 5, below 10
    EXPECT_FALSE(pane->IsShown());
    EXPECT_EQ(pane->size, 2000);
    EXPECT_EQ(pane->Divider()->GetDlgCtrlID(), 2);        // still draggable
    ExpectRect(*pane->Divider(), {0, 0, 400, 9}, "grip");
    pane->cursor = {0, 0};
    Notify(WM_LBUTTONDOWN);
    EXPECT_EQ(pane->dragStartSize, 0);
    pane->cursor = {0, 30};
    Notify(WM_MOUSEMOVE);                                 // shows at once, sized from 0
    EXPECT_TRUE(pane->IsShown());
    ExpectRect(*pane, {0, 0, 400, 30}, "from 0");
    Notify(WM_LBUTTONUP);
    EXPECT_EQ(pane->size, 30 * 10000 / 300);
}

TEST_F(PaneFixture, ClickWithoutDragChangesNothing) {
    Make(2, 0, 50);
    pane->minSize = 10;
    pane->hideAtMin = true;
    Layout();
    pane->cursor = {5, 5};
    Notify(WM_LBUTTONDOWN);
    Notify(WM_MOUSEMOVE);                                 // reported at the press point
    Notify(WM_LBUTTONUP);
    EXPECT_TRUE(pane->IsShown());
    ExpectRect(*pane, {0, 0, 400, 50}, "unchanged");
}

TEST_F(PaneFixture, DoubleClickCollapsesToMinimumAndExpands) {
    Make(2, 3, 80);
    pane->minSize = 20;
    Layout();
    Notify(WM_LBUTTONDBLCLK);
    EXPECT_TRUE(pane->IsShown());
    EXPECT_EQ(pane->GetExtent(), 20);
    EXPECT_EQ(pane->savedExtent, 80);
    pane->ExpandIfCollapsed();
    EXPECT_EQ(pane->GetExtent(), 80);
    EXPECT_EQ(pane->dragSize, -1);
    Notify(WM_LBUTTONDBLCLK);
    Notify(WM_LBUTTONDBLCLK);                             // and back by a second double click
    EXPECT_EQ(pane->GetExtent(), 80);
}

TEST_F(PaneFixture, SideChangeKeepsThePixelExtent) {
    Make(0, 0, 10);
    pane->MoveWindow(0, 0, 400, 70, false);
    pane->SetSide(3);
    EXPECT_EQ(pane->GetExtent(), 70);
    Layout();
    ExpectRect(*pane, {0, 0, 70, 300}, "left");
}

}  // namespace

namespace {

TEST_F(PaneFixture, DividerPaintsBarOrGrip) {
    Make(2, 3, 60);
    Layout();
    parent.Invalidate(true);
    parent.UpdateWindow();
    pane->Divider()->UpdateWindow();
    PixelSurface shot;
    ASSERT_TRUE(CaptureWindow(parent, shot, true));
    EXPECT_GT(shot.CountColour(RECT{60, 0, 64, 300}, ThemeColor(18)), 300);   // the bar's fill
    pane->Divider()->SendMessage(WM_LBUTTONDBLCLK, 0, 0);                     // hidden: the grip
    pane->Divider()->UpdateWindow();
    ASSERT_TRUE(CaptureWindow(parent, shot, true));
    EXPECT_GT(shot.CountColour(RECT{0, 0, 9, 300}, ThemeColor(18)), 300);
    EXPECT_GT(shot.CountColour(RECT{0, 0, 9, 300}, ThemeColor(20)), 0);       // its ridges
    shot.SavePng(L"pane-grip.png");
}

}  // namespace
