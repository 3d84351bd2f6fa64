#include "toolkit/BButton.h"
#include "toolkit/BButtonParade.h"

#include "app/resources/resource.h"
#include "classlib/PixelSurface.h"
#include "classlib/Screenshot.h"
#include "options/BColorTheme.h"
#include "tests/classlib/WindowTestSupport.h"
#include "tests/DisplayReader.h"
#include "toolkit/ToolTip.h"
#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr COLORREF kArrowBlue = RGB(0x20, 0x50, 0xC0);   // a colour of the refers strip

// The window the buttons' commands go to.
struct CommandWindow : CWnd {
    CommandWindow() {
        CreateEx(0, nullptr, L"commands", WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{50, 50, 450, 250}, nullptr, 0);
    }
    ~CommandWindow() override { DestroyWindow(); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND)
            commands.push_back(wParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<WPARAM> commands;
};

// The pane holding the buttons, a child of the command window.
struct OwnerPane : CWnd {
    explicit OwnerPane(CWnd& parent) {
        CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 400, 40}, parent.m_hWnd, 77);
    }
    ~OwnerPane() override { DestroyWindow(); }
};

struct Fixture {
    CommandWindow commands;
    OwnerPane pane{commands};
    BButtonParade row;
    explicit Fixture(bool boxed = false) {
        row.boxed = boxed;
        created = row.Create(&pane, IDB_REFERS);
        row.AddSeparator();
        row.AddClickButton(311, L"File goto", true);
        row.AddSeparator();
        row.AddPushButton(220, L"File pane side", true);
        row.AddClickButton(312, L"", true);
    }
    bool created;
};

void Click(BButton& b, POINT down, POINT up)
{
    b.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
    b.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
}

// The icon a button shows, drawn on black.
void DrawButtonIcon(BButton& b, PixelSurface& s)
{
    s.Create(b.iconSize, b.iconSize);
    b.DrawIcon(s, RECT{0, 0, b.iconSize, b.iconSize});
}

TEST(BButtonParade, ImageButtonsTakeTheStripInOrderPastSeparators) {
    Fixture f;
    ASSERT_TRUE(f.created);
    EXPECT_EQ(f.row.iconSize, 12);
    EXPECT_EQ(f.row.commandWindow, &f.commands);
    ASSERT_EQ(f.row.buttons.size(), 5u);
    const int strip[] = {-1, 0, -1, 1, 2};   // separators take no icon
    for (size_t i = 0; i < 5; ++i) {
        BButton& b = *f.row.buttons[i];
        if (strip[i] < 0) {
            EXPECT_EQ(b.icon, nullptr);
            EXPECT_EQ(b.row, nullptr);
            continue;
        }
        EXPECT_EQ(b.row, &f.row);
        EXPECT_EQ(b.commandWindow, &f.commands);
        PixelSurface shown, expected(12, 12);
        DrawButtonIcon(b, shown);
        f.row.icons.Draw(expected, strip[i], 0, 0, ILD_TRANSPARENT);
        int differ = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                differ += shown.Pixel(x, y) != expected.Pixel(x, y);
        EXPECT_EQ(differ, 0) << "button " << i;
        EXPECT_GT(shown.CountColour(RECT{0, 0, 12, 12}, kArrowBlue), 0);
    }
    EXPECT_EQ(f.row.FindButton(220), f.row.buttons[3]);
    EXPECT_EQ(f.row.FindButton(999), nullptr);
}

TEST(BButtonParade, AMissingStripMakesNoIcons) {
    CommandWindow commands;
    OwnerPane pane(commands);   // control id 77: no such bitmap either
    BButtonParade row;
    EXPECT_FALSE(row.Create(&pane, 0));
    BButton* b = row.AddClickButton(5, L"x", true);
    EXPECT_EQ(b->icon, nullptr);
    PixelSurface s(16, 16);
    b->DrawIcon(s, RECT{0, 0, 16, 16});   // draws nothing, fails nothing
}

TEST(BButton, ClicksSendTheCommandOnlyWhenReleasedInside) {
    Fixture f;
    BButton& go = *f.row.FindButton(311);
    go.MoveTo(RECT{0, 0, 20, 20}, false);
    HWND goWindow = go.m_hWnd;

    Click(go, {5, 5}, {50, 5});                        // released outside
    EXPECT_TRUE(f.commands.commands.empty());
    EXPECT_FALSE(go.HasCapture());
    Click(go, {5, 5}, {6, 6});
    ASSERT_EQ(f.commands.commands.size(), 1u);
    EXPECT_EQ(f.commands.commands[0], 311u);
    (void)goWindow;

    go.Enable(false);                                  // a disabled button takes no press
    Click(go, {5, 5}, {6, 6});
    EXPECT_EQ(f.commands.commands.size(), 1u);
    EXPECT_FALSE(go.HasCapture());
}

TEST(BButton, APushButtonFlipsEvenWhenReleasedOutside) {
    Fixture f;
    BButton& side = *f.row.FindButton(220);
    side.MoveTo(RECT{0, 0, 20, 20}, false);
    Click(side, {5, 5}, {50, 50});
    EXPECT_TRUE(side.GetCheck());
    EXPECT_TRUE(side.IsPressed());
    EXPECT_TRUE(f.commands.commands.empty());
    Click(side, {5, 5}, {5, 5});
    EXPECT_FALSE(side.GetCheck());
    EXPECT_EQ(f.commands.commands.size(), 1u);
    EXPECT_FALSE(f.row.Check(220, true));             // the old state
    EXPECT_TRUE(f.row.GetCheck(220));
    EXPECT_FALSE(f.row.GetCheck(311));                // a click button never latches
    EXPECT_FALSE(f.row.Check(311, true));
    EXPECT_FALSE(f.row.GetCheck(311));
}

TEST(BButton, ARowSwitchedOffWhileAButtonIsHeldStillLetsGoOfTheMouse) {
    Fixture f;
    BButton& go = *f.row.FindButton(311);
    go.MoveTo(RECT{0, 0, 20, 20}, false);
    go.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(go.HasCapture());
    f.row.SwitchOn(false);
    go.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(go.HasCapture());
    EXPECT_TRUE(f.commands.commands.empty());
}

TEST(BButtonParade, SwitchedOffGreysEveryButtonAndKeepsTheirFlags) {
    Fixture f;
    f.row.Layout(0, 0, 400, 40, nullptr);
    f.row.Enable(312, false);
    EXPECT_TRUE(f.row.IsButtonEnabled(311));
    EXPECT_FALSE(f.row.IsButtonEnabled(312));
    EXPECT_FALSE(f.row.IsButtonEnabled(999));
    EXPECT_EQ(wintest::PixelsAwaitingPaint(f.pane.m_hWnd), 0);
    f.row.SwitchOn(false);
    EXPECT_EQ(wintest::PixelsAwaitingPaint(f.pane.m_hWnd), 0);   // greyed on the display at once
    for (UINT id : {311u, 220u, 312u})
        EXPECT_FALSE(f.row.IsButtonEnabled(id)) << id;
    EXPECT_TRUE(f.row.FindButton(311)->enabled);
    EXPECT_TRUE(f.row.FindButton(220)->enabled);
    PixelSurface s;
    DrawButtonIcon(*f.row.FindButton(311), s);
    EXPECT_EQ(s.CountColour(RECT{0, 0, 12, 12}, kArrowBlue), 0);   // the greyed icon
    EXPECT_GT(s.CountColour(RECT{0, 0, 12, 12}, RGB(128, 128, 128)), 0);
    f.row.SwitchOn(true);
    EXPECT_EQ(wintest::PixelsAwaitingPaint(f.pane.m_hWnd), 0);
    EXPECT_TRUE(f.row.IsButtonEnabled(311));
    DrawButtonIcon(*f.row.FindButton(311), s);
    EXPECT_GT(s.CountColour(RECT{0, 0, 12, 12}, kArrowBlue), 0);
}

TEST(BButtonParade, BoxedRowsRecolourBlack) {
    Fixture f(true);
    PixelSurface s;
    BButton& go = *f.row.FindButton(311);
    DrawButtonIcon(go, s);
    EXPECT_GT(s.CountColour(RECT{0, 0, 12, 12}, ThemeColor(1)), 0);   // the black bar of the arrow
    go.Enable(false);
    DrawButtonIcon(go, s);
    EXPECT_GT(s.CountColour(RECT{0, 0, 12, 12}, RGB(128, 128, 128)), 0);
    EXPECT_GT(s.CountColour(RECT{0, 0, 12, 12}, kArrowBlue), 0);   // only black changes
}

TEST(BButton, GroundColours) {
    struct Row { const char* name; bool boxed, hot, enabled, latched; int centre, corner; };
    const Row rows[] = {
        {"plain", false, false, true, false, 1, 1},
        {"hot", false, true, true, false, 7, 7},
        {"hot but disabled", false, true, false, false, 1, 1},
        {"latched", false, false, true, true, 6, 6},
        {"boxed", true, false, true, false, 8, 1},
        {"boxed disabled", true, false, false, false, 9, 1},
        {"boxed and hot fills it all", true, true, true, false, 7, 7},
    };
    for (const Row& r : rows) {
        Fixture f(r.boxed);
        BButton& side = *f.row.FindButton(220);
        side.MoveTo(RECT{0, 0, 24, 24}, false);
        side.hot = r.hot;
        side.Enable(r.enabled);
        side.SetCheck(r.latched);
        PixelSurface s(24, 24);
        side.PaintGround(s);
        EXPECT_EQ(s.Pixel(12, 12), ThemeColor(r.centre)) << r.name;
        EXPECT_EQ(s.Pixel(1, 1), ThemeColor(r.corner)) << r.name;
    }
}

TEST(BButtonParade, LayoutOfARow) {
    Fixture f;
    f.row.marginAlong = 1;
    f.row.marginAcross = 1;
    f.row.endGap = 2;
    f.row.spacing = 2;
    // separator 4, buttons 16 + 2, each followed by the spacing, between two end gaps.
    const int length = 2 + (4 + 2) + (18 + 2) + (4 + 2) + (18 + 2) + (18 + 2) + 2;
    EXPECT_EQ(f.row.MeasureLength(), length);
    EXPECT_EQ(f.row.GetThickness(), 12 + 2 * (0 + 1) + 4);
    SIZE size = f.row.GetSize(0);
    EXPECT_EQ(size.cx, length);
    EXPECT_EQ(size.cy, 12 + 2 + 4);
    EXPECT_EQ(f.row.Layout(10, 5, 300, 40, nullptr), 10 + length);
    struct Place { size_t button; RECT r; };
    const Place places[] = {
        {0, {12, 5, 16, 23}},
        {1, {18, 5, 36, 23}},
        {2, {38, 5, 42, 23}},
        {4, {64, 5, 82, 23}},
    };
    for (const Place& p : places) {
        RECT r = f.row.buttons[p.button]->GetWindowRect();
        f.pane.ScreenToClient(&r);
        EXPECT_TRUE(EqualRect(&r, &p.r)) << p.button << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
    // A hidden button takes no room.
    f.row.buttons[3]->ShowWindow(SW_HIDE);
    EXPECT_EQ(f.row.MeasureLength(), length - 20);

    f.row.SetHorizontal(false);
    EXPECT_EQ(f.row.buttons[0]->GetWidth(), 16);
    EXPECT_EQ(f.row.buttons[0]->GetHeight(), 4);
    // Vertical: the separator takes no margins across, the buttons 16 + 2.
    EXPECT_EQ(f.row.MeasureLength(), 2 + (4 + 2) + (18 + 2) + (4 + 2) + (18 + 2) + 2);
    EXPECT_EQ(f.row.GetThickness(), 12 + 2 * (2 + 1) + 4);
    // Down the column the buttons start below the side gap, across they keep the end gap.
    EXPECT_EQ(f.row.Layout(0, 0, 40, 300, nullptr), (4 + 2) + (18 + 2) + (4 + 2) + (18 + 2) + 2);
    RECT first = f.row.buttons[1]->GetWindowRect();
    f.pane.ScreenToClient(&first);
    EXPECT_EQ(first.left, 2);
    EXPECT_EQ(first.right, 2 + 12 + 2 + 4);
    EXPECT_EQ(first.top, 6);
    EXPECT_EQ(first.bottom, 6 + 18);

    f.row.visible = false;
    EXPECT_EQ(f.row.Layout(0, 0, 40, 300, nullptr), 0);
    BButtonParade empty;
    EXPECT_EQ(empty.MeasureLength(), 0);
}

// A button that takes the length the row leaves free.
struct StretchButton : BButton {
    void SetSize(int length) override { stretch = length; }
    int GetWidth() const override { return stretch; }
    bool TakesMargins() const override { return false; }
    int stretch = 0;
};

TEST(BButtonParade, TheStretchButtonGetsTheRest) {
    Fixture f;
    auto* stretch = new StretchButton;
    stretch->Create(&f.pane, 400, f.row.iconSize);
    f.row.AddButton(stretch, L"", true);
    f.row.stretchWindow = stretch;
    int fixed = 4 + 16 + 4 + 16 + 16;
    SIZE size = f.row.GetSize(200);
    EXPECT_EQ(size.cx, fixed);
    EXPECT_EQ(stretch->stretch, 200 - fixed);
    EXPECT_EQ(f.row.Layout(0, 0, 200, 30, nullptr), 200);
    EXPECT_EQ(f.row.MeasureLength(), 200);
}

// The pointer moved onto the button and away again: the screen shows its ground hot, then plain.
TEST(BButton, HotWhileThePointerIsOver) {
    Fixture f;
    BButton& go = *f.row.FindButton(311);
    go.MoveTo(RECT{0, 0, 20, 20}, true);
    const RECT onScreen = go.GetWindowRect();
    const auto ground = [](COLORREF colour) {
        return [colour](const PixelSurface& shown) { return shown.Pixel(1, 1) == colour; };
    };
    ::SetCursorPos(onScreen.left + 200, onScreen.top + 100);   // over the command window
    ASSERT_TRUE(display::PumpUntilShown(go.m_hWnd, wintest::DrainQueue, ground(ThemeColor(1))));
    EXPECT_FALSE(go.hot);
    ::SetCursorPos(onScreen.left + 3, onScreen.top + 3);
    EXPECT_TRUE(display::PumpUntilShown(go.m_hWnd, wintest::DrainQueue, ground(ThemeColor(7))));
    EXPECT_TRUE(go.hot);
    ::SetCursorPos(onScreen.left + 4, onScreen.top + 3);
    wintest::DrainQueue();
    EXPECT_TRUE(go.hot);
    ::SetCursorPos(onScreen.left + 200, onScreen.top + 100);
    EXPECT_TRUE(display::PumpUntilShown(go.m_hWnd, wintest::DrainQueue, ground(ThemeColor(1))));
    EXPECT_FALSE(go.hot);
}

TEST(BButton, ToolTipTextIsTheTip) {
    Fixture f;
    BButton& go = *f.row.FindButton(311);
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    EXPECT_EQ(go.OnToolHitTest(POINT{1, 1}, &info), 311);
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_STREQ(info.lpszText, L"File goto");
    std::free(info.lpszText);
    TOOLINFOW none{};
    EXPECT_EQ(f.row.FindButton(312)->OnToolHitTest(POINT{1, 1}, &none), -1);
}

TEST(BButtonParade, Screenshot) {
    Fixture f;
    f.row.spacing = 2;
    f.row.endGap = 2;
    f.row.marginAlong = 2;
    f.row.marginAcross = 2;
    f.row.Check(220, true);
    f.row.Enable(312, false);
    f.row.Layout(0, 0, 400, 40, nullptr);
    f.pane.Invalidate();
    f.pane.UpdateWindow();
    for (BButton* b : f.row.buttons)
        b->UpdateWindow();
    PixelSurface shot;
    ASSERT_TRUE(CaptureWindow(f.pane.m_hWnd, shot, true));
    PixelSurface zoomed(100 * 6, 26 * 6);
    zoomed.StretchBlt(0, 0, 600, 156, shot, 0, 0, 100, 26);
    zoomed.SavePng(L"button-row.png");
    // The latched push button shows palette 6 around its icon.
    RECT r = f.row.FindButton(220)->GetWindowRect();
    f.pane.ScreenToClient(&r);
    EXPECT_EQ(shot.Pixel(r.left + 1, r.top + 1), ThemeColor(6));
}

}  // namespace
