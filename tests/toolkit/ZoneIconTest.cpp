#include "toolkit/BMultiZone.h"
#include "toolkit/DividerDraw.h"
#include "toolkit/MultiColorIcon.h"
#include "toolkit/ZoneIcon.h"

#include "app/resources/resource.h"
#include "classlib/PixelSurface.h"
#include "options/BColorTheme.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

namespace {

constexpr COLORREF kYellow = RGB(0xF0, 0xC0, 0x40);   // a colour of the program icon
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGround = RGB(1, 2, 3);

struct FlagSet : MultiColorIcon {
    FlagSet() : MultiColorIcon(L"APPICON", kYellow, 16) {}
};

struct FlagZone : ZoneMultiColorIcon {
    FlagZone() : ZoneMultiColorIcon(11, 16, 2) {}
    MultiColorIcon* GetIconSet() override { return &set; }
    FlagSet set;
};

TEST(MultiColorIcon, EachColourIsMadeOnce) {
    FlagSet set;
    HICON base = set.GetIcon(kYellow);
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(set.cache.size(), 1u);
    HICON red = set.GetIcon(kRed);
    ASSERT_NE(red, nullptr);
    EXPECT_NE(red, base);
    EXPECT_EQ(set.GetIcon(kRed), red);
    EXPECT_EQ(set.cache.size(), 2u);

    PixelSurface s(20, 20);
    s.FillSolidRect(RECT{0, 0, 20, 20}, kGround);
    set.Draw(s, 0, 0, 20, 20, kRed);
    EXPECT_GT(s.CountColour(RECT{0, 0, 20, 20}, kRed), 0);
    EXPECT_EQ(s.CountColour(RECT{0, 0, 20, 20}, kYellow), 0);
    EXPECT_EQ(s.CountColour(RECT{0, 0, 2, 20}, kGround), 40);   // centred: 2 columns of ground each side
    s.FillSolidRect(RECT{0, 0, 20, 20}, kGround);
    set.Draw(s, 0, 0, 20, 20, kYellow);
    EXPECT_GT(s.CountColour(RECT{0, 0, 20, 20}, kYellow), 0);
}

TEST(MultiColorIcon, AMissingResourceGivesNoIcon) {
    MultiColorIcon set(L"NO_SUCH_ICON", kYellow, 12);
    EXPECT_EQ(set.GetIcon(kRed), nullptr);
    EXPECT_EQ(set.GetIcon(kRed), nullptr);
    EXPECT_TRUE(set.cache.empty());
    PixelSurface s(12, 12);
    set.Draw(s, 0, 0, 12, 12, kRed);   // draws nothing, fails nothing
    EXPECT_EQ(s.CountColour(RECT{0, 0, 12, 12}, RGB(0, 0, 0)), 144);
}

TEST(ZoneIcon, DrawsTheIconInsideItsMarginAndKeepsItsWidthWithout) {
    FlagZone zone;
    EXPECT_EQ(zone.width, 20);
    EXPECT_EQ(zone.maxWidth, 20);
    RECT running{10, 0, 200, 30};
    EXPECT_EQ(zone.Place(running), 20);
    EXPECT_EQ(running.left, 30);

    PixelSurface s(60, 30);
    s.FillSolidRect(RECT{0, 0, 60, 30}, kGround);
    zone.SetColour(kRed);
    ASSERT_NE(zone.icon, nullptr);
    EXPECT_EQ(zone.Draw(s, 10, 0, 30, 30), 20);
    EXPECT_GT(s.CountColour(RECT{12, 7, 28, 23}, kRed), 0);   // at (left + margin, centred)
    EXPECT_EQ(s.CountColour(RECT{0, 0, 12, 30}, kGround), 12 * 30);

    zone.SetColour(static_cast<COLORREF>(-1));
    EXPECT_EQ(zone.icon, nullptr);
    s.FillSolidRect(RECT{0, 0, 60, 30}, kGround);
    EXPECT_EQ(zone.Draw(s, 10, 0, 30, 30), 20);
    EXPECT_EQ(s.CountColour(RECT{0, 0, 60, 30}, kGround), 60 * 30);

    zone.SetHidden(true);
    EXPECT_EQ(zone.Draw(s, 10, 0, 30, 30), 0);
    RECT again{0, 0, 100, 30};
    EXPECT_EQ(zone.Place(again), 0);
}

TEST(ZoneIcon, TheStretchFlagDoesNotStretchAnIcon) {
    ZoneIcon zone(3, 9, 1);
    zone.flags = BZone::kStretch;
    RECT running{0, 0, 300, 20};
    EXPECT_EQ(zone.Place(running), 11);
    EXPECT_EQ(zone.rect.right, 11);
}

TEST(BZoneIconList, LoadsAStripAndDrawsTheChosenImage) {
    BZoneIconList zone(12, BZone::kHatchEmpty, 2);
    EXPECT_FALSE(zone.LoadBitmap(9999));
    EXPECT_EQ(zone.iconSize, 0);
    ASSERT_TRUE(zone.LoadBitmap(IDB_REFERS));
    EXPECT_EQ(zone.iconSize, 12);
    EXPECT_EQ(zone.width, 16);
    EXPECT_EQ(zone.maxWidth, 16);
    EXPECT_EQ(zone.images.GetImageCount(), 3);

    RECT running{4, 0, 100, 20};
    zone.Place(running);
    PixelSurface s(30, 20);
    s.FillSolidRect(RECT{0, 0, 30, 20}, kGround);
    EXPECT_EQ(zone.Draw(s, 4, 0, 20, 20), 16);     // no image: hatched
    EXPECT_LT(s.CountColour(RECT{4, 0, 20, 20}, kGround), 16 * 20);
    EXPECT_EQ(s.CountColour(RECT{0, 0, 4, 20}, kGround), 80);

    s.FillSolidRect(RECT{0, 0, 30, 20}, kGround);
    zone.imageIndex = 2;
    zone.Draw(s, 4, 0, 20, 20);
    // Image 2 starts with a blue arrow head at (2, 0) of the image: (4 + 2 + 2, (20 - 12 + 1) / 2).
    EXPECT_EQ(s.Pixel(8, 4), RGB(0x20, 0x50, 0xC0));
    EXPECT_EQ(s.Pixel(6, 4), kGround);              // transparent around it

    BZoneIconList plain(13, 0, 2);
    s.FillSolidRect(RECT{0, 0, 30, 20}, kGround);
    plain.Place(running = RECT{0, 0, 30, 20});
    EXPECT_EQ(plain.Draw(s, 0, 0, 30, 20), 4);      // nothing to draw, no hatch
    EXPECT_EQ(s.CountColour(RECT{0, 0, 30, 20}, kGround), 600);
}

// A pane that records the commands it gets.
struct CommandPane : BMultiZone {
    void* GetItem(int) override { return nullptr; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND)
            commands.push_back(static_cast<UINT>(wParam));
        return BMultiZone::WindowProc(message, wParam, lParam);
    }
    std::vector<UINT> commands;
};

TEST(ZoneRefers, LoadsTheRefersStripAndAsksThePaneOnAClick) {
    ZoneRefers zone(12, IDB_REFERS);
    EXPECT_EQ(zone.margin, 2);
    EXPECT_EQ(zone.iconSize, 12);
    EXPECT_EQ(zone.width, 16);
    EXPECT_EQ(zone.imageIndex, -1);
    CommandPane pane;
    ASSERT_TRUE(pane.CreateEx(0, nullptr, L"", WS_POPUP, RECT{0, 0, 100, 100}, nullptr, 0));
    zone.OnClick(&pane, 3, 5);
    ASSERT_EQ(pane.commands.size(), 1u);
    EXPECT_EQ(pane.commands[0], 337u);
    zone.OnClick(nullptr, 0, 0);
    pane.DestroyWindow();
}

TEST(DividerDraw, BarFrameEndsLieOutside) {
    PixelSurface s(4, 50);
    DrawDividerBar(s, RECT{0, 0, 4, 50});
    EXPECT_EQ(s.Pixel(0, 25), ThemeColor(19));
    EXPECT_EQ(s.Pixel(3, 25), ThemeColor(20));
    EXPECT_EQ(s.Pixel(1, 25), ThemeColor(18));
    EXPECT_EQ(s.Pixel(1, 0), ThemeColor(18));      // the top edge of the frame is pushed out
    EXPECT_EQ(s.Pixel(2, 49), ThemeColor(18));
}

TEST(DividerDraw, GripRidgesStartByState) {
    struct Row { int state; int firstRidge; };
    const Row rows[] = {{2, 1}, {0, 2}};
    for (const Row& r : rows) {
        PixelSurface s(100, 9);
        DrawDividerGrip(s, RECT{0, 0, 100, 9}, r.state);
        EXPECT_EQ(s.Pixel(10, r.firstRidge), ThemeColor(20)) << r.state;
        EXPECT_EQ(s.Pixel(10, r.firstRidge + 1), ThemeColor(19)) << r.state;
        EXPECT_EQ(s.Pixel(10, r.firstRidge + 3), ThemeColor(20)) << r.state;
        EXPECT_EQ(s.Pixel(10, r.firstRidge - 1), ThemeColor(18)) << r.state;
        // The half-disc clears the ridges around the glyph, which is drawn in the middle.
        EXPECT_EQ(s.Pixel(44, 4), ThemeColor(18)) << r.state;
        EXPECT_GT(s.CountColour(RECT{45, 0, 55, 9}, ThemeColor(21)), 0) << r.state;
    }
    PixelSurface v(9, 100);
    DrawDividerGrip(v, RECT{0, 0, 9, 100}, 1);
    EXPECT_EQ(v.Pixel(1, 10), ThemeColor(20));
    EXPECT_EQ(v.Pixel(2, 10), ThemeColor(19));
    EXPECT_GT(v.CountColour(RECT{0, 45, 9, 55}, ThemeColor(21)), 0);
}

TEST(DividerDraw, GripFormFollowsTheSideNotTheShape) {
    // A stacked divider squeezed shorter than it is thick keeps its ridges across.
    PixelSurface flat(4, 8);
    DrawDividerGrip(flat, RECT{0, 0, 4, 8}, 2);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(flat.Pixel(x, 1), ThemeColor(x < 3 ? 20 : 19)) << x;
        EXPECT_EQ(flat.Pixel(x, 0), ThemeColor(18)) << x;
    }
    // A side-by-side divider wider than it is tall keeps its ridges down.
    PixelSurface upright(8, 4);
    DrawDividerGrip(upright, RECT{0, 0, 8, 4}, 3);
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(upright.Pixel(2, y), ThemeColor(y < 3 ? 20 : 19)) << y;
        EXPECT_EQ(upright.Pixel(1, y), ThemeColor(18)) << y;
    }
}

}  // namespace

