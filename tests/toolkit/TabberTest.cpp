#include "toolkit/BTabber.h"

#include "classlib/PixelSurface.h"
#include "classlib/Screenshot.h"
#include "options/BColorTheme.h"
#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A tabber whose tab menu answers without showing itself.
class TestTabber : public BTabber {
public:
    TestTabber() : BTabber(0, std::make_unique<TabVS2003>(), 8) {}
    int menuAnswer = 0;
    int menuItems = -1;
    UINT checkedState = 0;
protected:
    int TrackTabMenu(CMenu& menu, POINT) override {
        menuItems = menu.GetMenuItemCount();
        checkedState = menu.GetMenuState(0, MF_BYPOSITION);
        return menuAnswer;
    }
};

struct TabberFixture : ::testing::Test {
    CWnd host;
    TestTabber tabber;
    std::vector<std::unique_ptr<CWnd>> pages;

    void SetUp() override {
        ASSERT_TRUE(host.CreateEx(0, nullptr, L"tabs", WS_POPUP | WS_VISIBLE, RECT{0, 0, 404, 300}, nullptr, 0));
        ASSERT_TRUE(tabber.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 404, 300}, host, 220));
        tabber.SetFont(L"Arial", 8, false);
    }
    void TearDown() override { host.DestroyWindow(); }

    CWnd* Page(int id) {
        pages.push_back(std::make_unique<CWnd>());
        CWnd* p = pages.back().get();
        static const wchar_t* cls = RegisterWindowClass(0, nullptr, ::CreateSolidBrush(RGB(200, 220, 240)));
        EXPECT_TRUE(p->CreateEx(0, cls, L"", WS_CHILD, RECT{0, 0, 100, 100}, host, id));
        return p;
    }
    void AddTabs(int count, int firstId = 201) {
        for (int i = 0; i < count; ++i) tabber.AddTab(Page(firstId + i), std::to_wstring(i).c_str(), true);
    }
    // Draws the strip as the paint does and returns the rectangles.
    void Draw(PixelSurface* into = nullptr) {
        PixelSurface local;
        PixelSurface& s = into ? *into : local;
        const RECT c = tabber.GetClientRect();
        const int bw = tabber.IsVertical() ? c.bottom : c.right;
        const int bh = tabber.IsVertical() ? c.right : c.bottom;
        if (!into) s.Create(bw, bh);
        auto draw = tabber.MakeDraw(bw, bh);
        tabber.DrawTabs(s, *draw);
    }
};

TEST_F(TabberFixture, OneRowSharesTheStripEqually) {
    EXPECT_EQ(tabber.stripLength, 400);
    AddTabs(3);
    Draw();
    ASSERT_EQ(tabber.tabRects.size(), 3u);
    // 400 / 3: the first takes the odd pixel; the cells touch and end at the strip's end.
    const LONG lefts[] = {2, 136, 269}, rights[] = {136, 269, 402};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tabber.tabRects[i].left, lefts[i]) << i;
        EXPECT_EQ(tabber.tabRects[i].right, rights[i]) << i;
    }
    EXPECT_EQ(tabber.rows, 1);
    EXPECT_EQ(tabber.StripSize(), 3 + 18 + 4);                       // slant + font term + 4
    EXPECT_EQ(tabber.PageRect().top, 25);
}

TEST_F(TabberFixture, NarrowTabsShowIconsOnly) {
    tabber.iconWidth = 16;
    AddTabs(8);
    Draw();                                                            // 400 / 8 = 50 >= 38
    EXPECT_FALSE(tabber.flags & BTabber::kCompact);
    AddTabs(3, 301);
    Draw();                                                            // 400 / 11 = 36 < 38
    EXPECT_TRUE(tabber.flags & BTabber::kCompact);
}

TEST_F(TabberFixture, TextSizedTabsWrapIntoRowsThenStop) {
    tabber.SetLayoutValue(2);
    AddTabs(10);
    Draw();
    // 86 each (80 + 6): four on the first row (to 346), four on the last before the button room.
    EXPECT_EQ(tabber.rows, 2);
    ASSERT_EQ(tabber.tabRects.size(), 9u);                             // the ninth is drawn cut short
    EXPECT_EQ(tabber.tabRects[4].left, 2);
    EXPECT_EQ(tabber.tabRects[4].top, tabber.tabRects[0].bottom + 2);
    EXPECT_EQ(tabber.tabRects[8].right, 402 - 33);
    EXPECT_LT(tabber.spaceLeft, -3);
    EXPECT_TRUE(tabber.CanScroll(BTabber::kForwardId));
    EXPECT_FALSE(tabber.CanScroll(BTabber::kBackId));
    EXPECT_EQ(tabber.StripSize(), (21 + 2) * 2 + 2);
    EXPECT_EQ(tabber.TabAtPoint(90, 10), 1);
    EXPECT_EQ(tabber.TabAtPoint(90, 35), 5);
    EXPECT_EQ(tabber.TabAtPoint(88, 10), 1);                           // the cells touch
    EXPECT_EQ(tabber.TabAtPoint(390, 35), -1);                         // the buttons' room
}

TEST_F(TabberFixture, SelectionSkipsDisabledTabsAndWraps) {
    AddTabs(4);
    EXPECT_EQ(tabber.active, pages[0].get());
    EXPECT_TRUE(pages[0]->GetStyle() & WS_VISIBLE);
    tabber.ShowTab(202, false);
    EXPECT_FALSE(tabber.IsTabShown(202));
    EXPECT_FALSE(tabber.IsTabShown(999));
    EXPECT_FALSE(tabber.SelectTab(202));
    EXPECT_FALSE(tabber.SelectTab(999));
    EXPECT_TRUE(tabber.SelectTab(204));
    EXPECT_FALSE(pages[0]->GetStyle() & WS_VISIBLE);
    EXPECT_TRUE(pages[3]->GetStyle() & WS_VISIBLE);
    tabber.ShowTab(204, false);                                        // wraps past the end and the disabled 202
    EXPECT_EQ(tabber.active, pages[0].get());
    tabber.SetTabData(203, RGB(1, 2, 3));
    EXPECT_EQ(tabber.TabByWindow(pages[2].get())->fill, RGB(1, 2, 3));
}

TEST_F(TabberFixture, RemovingTheActiveTabActivatesANeighbour) {
    AddTabs(3);
    tabber.SelectTab(203);
    tabber.RemoveTab(2);                                               // the last: the previous one
    EXPECT_EQ(tabber.active, pages[1].get());
    tabber.ShowTab(201, false);
    tabber.RemoveTab(1);                                               // no enabled tab left
    EXPECT_EQ(tabber.active, nullptr);
    EXPECT_EQ(tabber.tabs.size(), 1u);
}

// A click that reaches the strip after a tab went and before the next paint finds no tab there.
TEST_F(TabberFixture, AClickWhereARemovedTabWasSelectsNothing) {
    AddTabs(3);
    tabber.Invalidate(true);
    tabber.UpdateWindow();
    ASSERT_EQ(tabber.tabRects.size(), 3u);
    const RECT last = tabber.tabRects[2];
    tabber.RemoveTab(2);
    const LPARAM at = MAKELPARAM((last.left + last.right) / 2, (last.top + last.bottom) / 2);
    tabber.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, tabber.m_hWnd, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
    ::DispatchMessageW(&msg);
    EXPECT_EQ(tabber.pressedTab, -1);
    EXPECT_EQ(tabber.active, pages[0].get());
    tabber.SendMessage(WM_LBUTTONUP, 0, at);
}

TEST_F(TabberFixture, SingleTabStripHiddenByFlag) {
    tabber.flags |= BTabber::kHideSingle;
    AddTabs(1);
    EXPECT_EQ(tabber.StripSize(), 0);
    const RECT page = tabber.PageRect();
    EXPECT_EQ(page.top, 0);
    AddTabs(1, 202);
    EXPECT_GT(tabber.StripSize(), 0);
}

TEST_F(TabberFixture, DragStartsAfterTwelvePixelsWhenAllowed) {
    AddTabs(3);
    Draw();
    tabber.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    tabber.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 10));
    EXPECT_EQ(tabber.draggedTab, -1);                                  // dragging not enabled
    tabber.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(60, 10));
    tabber.flags |= BTabber::kDraggable;
    tabber.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    tabber.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(31, 10));
    EXPECT_EQ(tabber.draggedTab, -1);                                  // 11 pixels
    tabber.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(32, 10));
    EXPECT_EQ(tabber.draggedTab, 0);
    tabber.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 10));   // over the third tab
    EXPECT_EQ(tabber.draggedTab, 2);
    EXPECT_EQ(tabber.tabs[2]->window, pages[0].get());
    tabber.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(300, 10));
    EXPECT_EQ(tabber.draggedTab, -1);
    EXPECT_EQ(tabber.pressedTab, -1);
}

// A tab that goes during a drag: the drag follows its tab, whatever tab sits where the press was, and
// ends (letting the mouse go) only when the dragged tab itself went.
TEST_F(TabberFixture, RemovingATabDuringADragKeepsTheDraggedOne) {
    tabber.flags |= BTabber::kDraggable;
    AddTabs(5);
    const auto post = [&](UINT message, WPARAM flags, int x) {
        tabber.PostMessage(message, flags, MAKELPARAM(x, 10));
        wintest::DrainQueue();
    };
    const auto over = [&](int i) {                                     // the middle of tab i as drawn now
        Draw();
        return static_cast<int>((tabber.tabRects[i].left + tabber.tabRects[i].right) / 2);
    };
    const auto windows = [&] {
        std::vector<CWnd*> shown;
        for (BTabOne* tab : tabber.tabs) shown.push_back(tab->window);
        return shown;
    };
    const int press = over(2);
    post(WM_LBUTTONDOWN, MK_LBUTTON, press);                           // pages 0 1 [2] 3 4
    post(WM_MOUSEMOVE, MK_LBUTTON, press + 20);
    ASSERT_EQ(tabber.draggedTab, 2);
    tabber.RemoveTab(0);                                               // 1 [2] 3 4
    post(WM_MOUSEMOVE, MK_LBUTTON, over(0));                           // [2] 1 3 4
    EXPECT_EQ(tabber.tabs[0]->window, pages[2].get());
    EXPECT_EQ(tabber.draggedTab, 0);
    tabber.RemoveTab(1);                                               // where the press was: [2] 3 4
    EXPECT_TRUE(tabber.HasCapture());
    post(WM_MOUSEMOVE, MK_LBUTTON, over(2));                           // 3 4 [2]
    EXPECT_EQ(windows(), (std::vector<CWnd*>{pages[3].get(), pages[4].get(), pages[2].get()}));
    tabber.RemoveTab(2);                                               // the dragged tab itself
    EXPECT_EQ(tabber.draggedTab, -1);
    EXPECT_EQ(tabber.pressedTab, -1);
    EXPECT_FALSE(tabber.HasCapture());
    post(WM_MOUSEMOVE, MK_LBUTTON, over(0));
    post(WM_MOUSEMOVE, MK_LBUTTON, over(0) + 20);
    EXPECT_EQ(windows(), (std::vector<CWnd*>{pages[3].get(), pages[4].get()}));
    post(WM_LBUTTONUP, 0, over(0));
    EXPECT_FALSE(tabber.HasCapture());
}

POINT g_cursor{};
BOOL WINAPI FakeCursor(POINT* p) { *p = g_cursor; return TRUE; }

// The back button's arrow as painted.
std::vector<COLORREF> BackArrow(TestTabber& tabber) {
    const RECT r = tabber.backButton.GetClientRect();
    PixelSurface s(r.right, r.bottom);
    tabber.backButton.PaintInto(s, r);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < r.bottom; ++y)
        for (int x = 0; x < r.right; ++x) pixels.push_back(s.Pixel(x, y));
    return pixels;
}

TEST_F(TabberFixture, ScrollButtonsStepAndOpenTheMenu) {
    tabber.SetLayoutValue(1);
    AddTabs(8);
    tabber.UpdateWindow();
    tabber.Invalidate(true);
    tabber.UpdateWindow();                                              // paints: the rows are full
    ASSERT_TRUE(tabber.forwardButton.GetStyle() & WS_VISIBLE);
    SaveScreenshot(host, L"tabber-buttons.png");
    EXPECT_TRUE(tabber.CanScroll(BTabber::kForwardId));
    EXPECT_FALSE(tabber.CanScroll(BTabber::kBackId));
    const std::vector<COLORREF> backOff = BackArrow(tabber);
    tabber.forwardButton.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 7));
    EXPECT_EQ(tabber.first, 1);
    EXPECT_TRUE(tabber.forwardButton.HasCapture());
    const auto saved = BTabButton::getCursorPos;
    BTabButton::getCursorPos = FakeCursor;
    g_cursor = POINT{ -1000, -1000 };
    tabber.forwardButton.SendMessage(WM_TIMER, BTabButton::kRepeatTimer, 0);   // held off the button
    BTabButton::getCursorPos = saved;
    tabber.forwardButton.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(7, 7));
    EXPECT_FALSE(tabber.forwardButton.HasCapture());
    tabber.UpdateWindow();
    // One step forward: the back arrow is live; one step back returns to the first tab and greys it.
    ASSERT_EQ(tabber.first, 1);
    EXPECT_TRUE(tabber.CanScroll(BTabber::kBackId));
    EXPECT_NE(BackArrow(tabber), backOff);
    tabber.backButton.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 7));
    tabber.backButton.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(7, 7));
    tabber.UpdateWindow();
    EXPECT_EQ(tabber.first, 0);
    EXPECT_FALSE(tabber.CanScroll(BTabber::kBackId));
    EXPECT_TRUE(tabber.CanScroll(BTabber::kForwardId));
    EXPECT_EQ(BackArrow(tabber), backOff);
    tabber.backButton.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 7));   // refused at the start
    EXPECT_FALSE(tabber.backButton.HasCapture());
    tabber.backButton.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(7, 7));
    EXPECT_EQ(tabber.first, 0);
    tabber.ShowTab(203, false);
    tabber.menuAnswer = 3;                                             // a disabled tab: refused
    tabber.backButton.SendMessage(WM_RBUTTONDOWN, 0, 0);
    EXPECT_EQ(tabber.menuItems, 8);
    EXPECT_TRUE(tabber.checkedState & MF_CHECKED);
    EXPECT_EQ(tabber.active, pages[0].get());
    tabber.menuAnswer = 5;
    tabber.forwardButton.SendMessage(WM_RBUTTONDOWN, 0, 0);
    EXPECT_EQ(tabber.active, pages[4].get());
}

TEST_F(TabberFixture, RepeatedScrollSteps) {
    tabber.SetLayoutValue(1);
    AddTabs(8);
    tabber.Invalidate(true);
    tabber.UpdateWindow();
    const int before = tabber.first;
    tabber.forwardButton.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 7));
    tabber.Invalidate(true);
    tabber.UpdateWindow();
    // The repeat acts at the cursor: over the button it steps, off it it does not.
    const RECT b = tabber.forwardButton.GetWindowRect();
    const auto saved = BTabButton::getCursorPos;
    BTabButton::getCursorPos = FakeCursor;
    g_cursor = POINT{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
    tabber.forwardButton.SendMessage(WM_TIMER, BTabButton::kRepeatTimer, 0);
    EXPECT_EQ(tabber.first, before + 2);
    g_cursor = POINT{b.right + 50, b.bottom + 50};
    tabber.forwardButton.SendMessage(WM_TIMER, BTabButton::kRepeatTimer, 0);
    EXPECT_EQ(tabber.first, before + 2);
    tabber.forwardButton.SendMessage(WM_LBUTTONUP, 0, 0);
    tabber.forwardButton.SendMessage(WM_TIMER, BTabButton::kRepeatTimer, 0);   // released: no repeat
    EXPECT_EQ(tabber.first, before + 2);
    // Hover: on while the cursor is inside, off once the poll finds it outside.
    g_cursor = POINT{b.left + 2, b.top + 2};
    tabber.forwardButton.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(tabber.forwardButton.hover);
    tabber.forwardButton.SendMessage(WM_TIMER, BTabButton::kHoverTimer, 0);
    EXPECT_TRUE(tabber.forwardButton.hover);
    g_cursor = POINT{b.right + 50, b.bottom + 50};
    tabber.forwardButton.SendMessage(WM_TIMER, BTabButton::kHoverTimer, 0);
    EXPECT_FALSE(tabber.forwardButton.hover);
    BTabButton::getCursorPos = saved;
}

TEST_F(TabberFixture, ClickActivatesTheTabUnderThePointer) {
    AddTabs(3);
    Draw();
    tabber.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 10));
    tabber.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(200, 10));
    EXPECT_EQ(tabber.active, pages[1].get());
    RECT r = pages[1]->GetWindowRect();
    tabber.ScreenToClient(&r);
    EXPECT_EQ(r.top, tabber.StripSize());
}

struct SideRow {
    int side;
    RECT expectFirst;      // window rectangle of the first tab (two tabs, 300 x 404 client turned)
};

TEST_F(TabberFixture, VerticalStripsAreTurned) {
    AddTabs(2);
    const int s = tabber.StripSize();
    const SideRow rows[] = {
        {BTabber::kRight, {404 - 2 - 21, 2, 404 - 2, 150}},
        {BTabber::kLeft, {2, 2, 2 + 21, 150}},
        {BTabber::kBottom, {2, 300 - 2 - 21, 202, 300 - 2}},
    };
    for (const SideRow& row : rows) {
        tabber.SetSideFlags(row.side);
        Draw();
        const RECT f = tabber.tabRects[0];
        EXPECT_EQ(f.left, row.expectFirst.left) << row.side;
        EXPECT_EQ(f.top, row.expectFirst.top) << row.side;
        EXPECT_EQ(f.right, row.expectFirst.right) << row.side;
        EXPECT_EQ(f.bottom, row.expectFirst.bottom) << row.side;
    }
    // On screen: the active tab's shape lies along the right edge when the strip is on the right.
    tabber.SetSideFlags(BTabber::kRight);
    tabber.Invalidate(true);
    tabber.UpdateWindow();
    PixelSurface shot;
    ASSERT_TRUE(CaptureWindow(tabber, shot, true));
    const COLORREF shape = tabber.Prototype().normalShape;
    EXPECT_GT(shot.CountColour(RECT{404 - s, 10, 404, 140}, shape), 200);
    EXPECT_EQ(shot.CountColour(RECT{0, 10, 300, 140}, shape), 0);
    tabber.SetSideFlags(BTabber::kTop);
    tabber.Invalidate(true);
    tabber.UpdateWindow();
    ASSERT_TRUE(CaptureWindow(tabber, shot, true));
    EXPECT_GT(shot.CountColour(RECT{10, 0, 190, s}, shape), 200);
    ASSERT_TRUE(shot.SavePng(L"tabber.png"));
}

// A text-sized tab wider than the narrowest is exactly as wide as its caption: the screen shows the
// whole caption, as it looks drawn alone in the tab's font and colour, not cut short with "..".
TEST_F(TabberFixture, ATabAsWideAsItsCaptionShowsItWhole) {
    tabber.SetLayoutValue(1);
    const wchar_t* caption = L"A caption far wider than the narrowest tab";
    tabber.AddTab(Page(201), caption, true);
    tabber.Invalidate(true);
    tabber.UpdateWindow();
    PixelSurface shot;
    ASSERT_TRUE(CaptureWindow(tabber, shot, true));
    ASSERT_EQ(tabber.tabRects.size(), 1u);
    const RECT cell = tabber.tabRects[0];
    const int textWidth = tabber.tabs[0]->textWidth;
    ASSERT_GT(textWidth, tabber.minTabWidth);
    ASSERT_EQ(cell.right - cell.left, textWidth + 6);   // the caption's room is its width, to the pixel
    const COLORREF ink = tabber.Prototype().textColor;
    PixelSurface alone(textWidth, cell.bottom - cell.top);
    RECT text{ 0, 0, textWidth, alone.Height() };
    alone.FillSolidRect(text, shot.Pixel((cell.left + cell.right) / 2, cell.top + 1));   // the tab's shape
    SelectGdi font(alone, tabber.font.GetSafeHandle());
    alone.SetBkMode(TRANSPARENT);
    alone.SetTextColor(ink);
    alone.DrawText(caption, &text, DT_SINGLELINE | DT_VCENTER);
    const int expected = alone.CountColour(text, ink);
    EXPECT_GT(expected, 0);
    // Inside the outline (in the same colour) and above the band that joins the tab to its page.
    EXPECT_EQ(shot.CountColour(RECT{ cell.left + 3, cell.top + 2, cell.right - 3, cell.bottom - 3 }, ink), expected);
}

TEST(Tabber, CapacityBeyondTheVectorsLimitThrows) {
    EXPECT_THROW(BTabber(0, std::make_unique<TabVS2003>(), static_cast<size_t>(-1)), std::length_error);
}

}  // namespace

namespace {

TEST_F(TabberFixture, EnsureVisibleScrollsAHiddenTabIntoTheStrip) {
    tabber.SetLayoutValue(1);
    AddTabs(12);
    Draw();
    const int drawn = static_cast<int>(tabber.tabRects.size());
    ASSERT_LT(drawn, 12);
    tabber.ActivateIndex(211);                    // index 10, beyond the strip
    EXPECT_GT(tabber.first, 0);
    Draw();
    EXPECT_GE(10, tabber.first);
    EXPECT_LT(10, tabber.first + static_cast<int>(tabber.tabRects.size()));
    const int scrolled = tabber.first;
    tabber.ActivateIndex(202);                    // index 1: back toward the start
    Draw();
    EXPECT_LT(tabber.first, scrolled);
    EXPECT_GE(1, tabber.first);
    EXPECT_LT(1, tabber.first + static_cast<int>(tabber.tabRects.size()));
}

}  // namespace
