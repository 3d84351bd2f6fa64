#include "toolkit/BStatusBar.h"

#include "classlib/PixelSurface.h"
#include "options/BColorTheme.h"
#include "toolkit/GuiMetrics.h"

#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Records the bar's commands and which cell the bar said was clicked.
class BarParent : public CWnd {
public:
    bool OnCmdMsg(UINT id, UINT code) override {
        lastId = id;
        lastCode = code;
        lastCell = bar ? bar->clickedCell : -2;
        ++count;
        return true;
    }
    BStatusBar* bar = nullptr;
    UINT lastId = 0, lastCode = 0;
    int lastCell = -2;
    int count = 0;
};

struct StatusBarFixture : ::testing::Test {
    BarParent parent;
    CWnd rest;                         // the first child takes what the bar leaves
    BStatusBar bar{4};

    void SetUp() override {
        parent.bar = &bar;
        ASSERT_TRUE(parent.CreateEx(0, nullptr, L"status", WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 100}, nullptr, 0));
        ASSERT_TRUE(rest.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, parent, 1));
        bar.cells[1].width = 0;        // hidden
        bar.cells[2].width = 30;
        bar.cells[3].width = 40;
        ASSERT_TRUE(bar.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, parent, 213));
        bar.MoveWindow(0, 70, 200, 30);
    }
    void TearDown() override { parent.DestroyWindow(); }
};

TEST_F(StatusBarFixture, MainCellTakesTheRestAndDocksAtTheBottom) {
    EXPECT_EQ(bar.side, 2);
    EXPECT_EQ(bar.cells[0].width, 130);
    EXPECT_EQ(bar.GetExtent(), CharCellFromMetrics(bar.font).cy + 6);
    BPane::LayoutChildren(parent, false);
    RECT r = bar.GetWindowRect();
    parent.ScreenToClient(&r);
    EXPECT_EQ(r.bottom, 100);
    EXPECT_EQ(r.bottom - r.top, bar.GetBarHeight());
    EXPECT_EQ(bar.cells[0].width, 300 - 70);   // resized with the layout
}

TEST_F(StatusBarFixture, HitTestSkipsHiddenCells) {
    const struct { int x, cell, offset; } rows[] = {
        {0, 0, 0}, {129, 0, 129}, {130, 2, 0}, {159, 2, 29}, {160, 3, 0}, {199, 3, 39}, {200, -1, 0}, {500, -1, 0},
    };
    for (const auto& row : rows) {
        const auto hit = bar.HitTest(row.x);
        EXPECT_EQ(hit.first, row.cell) << row.x;
        EXPECT_EQ(hit.second, row.offset) << row.x;
    }
}

TEST_F(StatusBarFixture, ClicksReportKindAndCell) {
    const struct { UINT message; int x; UINT code; int cell; } rows[] = {
        {WM_LBUTTONDOWN, 10, 0, 0}, {WM_LBUTTONDBLCLK, 135, 5, 2}, {WM_RBUTTONDOWN, 170, 2, 3},
    };
    for (const auto& row : rows) {
        bar.SendMessage(row.message, 0, MAKELPARAM(row.x, 5));
        EXPECT_EQ(parent.lastId, 213u);
        EXPECT_EQ(parent.lastCode, row.code);
        EXPECT_EQ(parent.lastCell, row.cell);
        EXPECT_EQ(bar.clickedCell, -1);
    }
    const int before = parent.count;
    bar.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(250, 5));   // right of the last cell
    EXPECT_EQ(parent.count, before);
}

TEST_F(StatusBarFixture, HighlightEndsByTimerOrNewText) {
    const COLORREF normalBack = bar.cells[0].backColor;
    bar.HighlightCurrent(0);
    EXPECT_EQ(bar.cells[0].backColor, normalBack);            // 0 seconds: nothing
    bar.SetCellText(L"opened");
    bar.HighlightCurrent(5);
    EXPECT_EQ(bar.cells[0].backColor, ThemeColor(42));
    EXPECT_EQ(bar.cells[0].textColor, ThemeColor(43));
    bar.SetCellText(L"next");                                 // ends the highlight at once
    EXPECT_EQ(bar.cells[0].backColor, normalBack);
    EXPECT_EQ(bar.cells[0].text, L"next");
    bar.Highlight(0, 5);
    bar.SendMessage(WM_TIMER, 0, 0);                          // time is up
    EXPECT_EQ(bar.cells[0].backColor, normalBack);
    EXPECT_TRUE(bar.cells[0].text.empty());
    bar.cells[2].text = L"x";
    bar.Highlight(2, 5);
    bar.ClearCells();
    EXPECT_TRUE(bar.cells[2].text.empty());
    EXPECT_EQ(bar.cells[2].backColor, normalBack);
    bar.SetCellText(nullptr);
    EXPECT_TRUE(bar.cells[0].text.empty());
}

TEST_F(StatusBarFixture, RealTimerClearsTheMessage) {
    bar.SetCellText(L"short");
    bar.Highlight(0, 1);
    EXPECT_TRUE(wintest::PumpUntil([this] { return bar.cells[0].text.empty(); }));
}

TEST_F(StatusBarFixture, PaintsCellsAndSkipsHiddenOnes) {
    bar.cells[3].backColor = RGB(10, 200, 30);
    bar.cells[3].flags |= StatusCell::kSunken;
    bar.Highlight(0, 5);
    PixelSurface surface(200, 30);
    const RECT client{0, 0, 200, 30};
    bar.PaintInto(surface, client);
    EXPECT_EQ(surface.Pixel(60, 15), ThemeColor(42));           // main cell, highlighted, no text there
    EXPECT_EQ(surface.Pixel(0, 15), ThemeColor(0));             // one pixel of bar at each cell side
    EXPECT_EQ(surface.Pixel(180, 15), RGB(10, 200, 30));
    EXPECT_EQ(surface.Pixel(161, 0), ThemeColor(3));            // sunken: dark top-left
    EXPECT_EQ(surface.Pixel(131, 0), ThemeColor(2));            // raised
    EXPECT_EQ(bar.cells[3].left, 160);
    EXPECT_EQ(bar.cells[2].left, 130);
    ASSERT_TRUE(surface.SavePng(L"statusbar.png"));
}

TEST_F(StatusBarFixture, LampsLitAndDarkDiffer) {
    bar.cells[2].flags |= StatusCell::kLamp;
    EXPECT_EQ(bar.cells[2].IconWidth(), 12);
    PixelSurface dark(200, 30), lit(200, 30);
    bar.PaintInto(dark, RECT{0, 0, 200, 30});
    bar.cells[2].lampOn = true;
    bar.PaintInto(lit, RECT{0, 0, 200, 30});
    const RECT lamp{133, 0, 145, 30};
    int differing = 0;
    for (int y = lamp.top; y < lamp.bottom; ++y)
        for (int x = lamp.left; x < lamp.right; ++x) differing += dark.Pixel(x, y) != lit.Pixel(x, y);
    EXPECT_GT(differing, 0);
    EXPECT_GT(lit.CountColour(lamp, ThemeColor(46)), 0);
}

TEST_F(StatusBarFixture, TipOfTheCellUnderThePointer) {
    bar.cells[3].tipText = std::wstring(300, L'a');
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    EXPECT_EQ(bar.OnToolHitTest(POINT{170, 5}, &info), 3);
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_EQ(std::wstring(info.lpszText).size(), 255u);
    EXPECT_EQ(info.rect.left, 160);
    EXPECT_EQ(info.rect.right, 200);
    std::free(info.lpszText);
    EXPECT_EQ(bar.OnToolHitTest(POINT{250, 5}, &info), -1);
}

}  // namespace
