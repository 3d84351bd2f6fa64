#include "toolkit/DrawTools.h"
#include "toolkit/HShadowDC.h"
#include "toolkit/ImageLists.h"

#include "classlib/PixelSurface.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof(info), &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

// Every pixel of the surface a different colour, so a turn or a shift shows.
void FillDistinct(PixelSurface& s)
{
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            s.SetPixelColour(x, y, RGB(x * 10, y * 10, 77));
}

TEST(HShadowDC, GrowsOnlyWhenAPaintNeedsMore) {
    PixelSurface screen(4, 4);
    HShadowDC shadow;
    struct Row { int w, h; bool grows; int expectW, expectH; };
    const Row rows[] = {
        {100, 50, true, 100, 50},
        {80, 40, false, 100, 50},      // smaller: the larger bitmap stays
        {100, 50, false, 100, 50},     // the same size
        {120, 30, true, 120, 50},      // wider only: the height is kept
        {10, 70, true, 120, 70},
    };
    for (const Row& r : rows) {
        HGDIOBJ before = shadow.bitmap.GetSafeHandle();
        EXPECT_EQ(shadow.GrowBitmap(screen, r.w, r.h), r.grows) << r.w << "x" << r.h;
        EXPECT_EQ(shadow.maxWidth, r.expectW);
        EXPECT_EQ(shadow.maxHeight, r.expectH);
        SIZE size = BitmapSize(shadow.bitmap);
        EXPECT_EQ(size.cx, r.expectW);
        EXPECT_EQ(size.cy, r.expectH);
        if (!r.grows) {
            EXPECT_EQ(shadow.bitmap.GetSafeHandle(), before);
        }
    }
    EXPECT_NE(shadow.GetSafeHdc(), nullptr);
}

TEST(HShadowDC, ABitmapGdiCannotMakeKeepsTheOldOne) {
    PixelSurface screen(4, 4);
    HShadowDC shadow;
    ASSERT_TRUE(shadow.GrowBitmap(screen, 40, 30));
    HGDIOBJ before = shadow.bitmap.GetSafeHandle();
    EXPECT_FALSE(shadow.GrowBitmap(screen, 0x7FFFFFF, 0x7FFFFFF));
    EXPECT_EQ(shadow.bitmap.GetSafeHandle(), before);
    EXPECT_EQ(shadow.maxWidth, 40);
    EXPECT_EQ(shadow.maxHeight, 30);
    EXPECT_TRUE(shadow.GrowBitmap(screen, 50, 30));   // a later paint still grows it
}

TEST(HShadowDC, ASelectedBitmapIsSwappedForTheLargerOne) {
    PixelSurface screen(4, 4);
    HShadowDC shadow;
    shadow.GrowBitmap(screen, 10, 10);
    shadow.SelectObject(shadow.bitmap);
    ASSERT_TRUE(shadow.GrowBitmap(screen, 30, 20));
    EXPECT_EQ(::GetCurrentObject(shadow, OBJ_BITMAP), shadow.bitmap.GetSafeHandle());
    shadow.FillSolidRect(RECT{0, 0, 30, 20}, kBlue);
    EXPECT_EQ(::GetPixel(shadow, 29, 19), kBlue);
}

TEST(HRotateDC, AngleZeroCopiesNothingEitherWay) {
    PixelSurface target(20, 10);
    target.FillSolidRect(RECT{0, 0, 20, 10}, kRed);
    {
        HRotateDC turned(&target, 2, 2, 12, 8, 0);
        EXPECT_NE(::GetPixel(turned, 0, 0), kRed);   // the target was not brought in
        turned.FillSolidRect(RECT{0, 0, 10, 6}, kBlue);
    }
    EXPECT_EQ(target.CountColour(RECT{0, 0, 20, 10}, kRed), 200);
}

TEST(HRotateDC, QuarterTurnsUseTheSwappedSizeAndRoundTrip) {
    for (int angle : {90, 180, 270}) {
        PixelSurface target(16, 12), before(16, 12);
        FillDistinct(target);
        FillDistinct(before);
        {
            HRotateDC turned(&target, 3, 2, 13, 8, angle);   // 10 x 6
            bool quarter = angle != 180;
            EXPECT_EQ(turned.Width(), quarter ? 6 : 10) << angle;
            EXPECT_EQ(turned.Height(), quarter ? 10 : 6) << angle;
        }
        int differ = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 16; ++x)
                differ += target.Pixel(x, y) != before.Pixel(x, y);
        EXPECT_EQ(differ, 0) << angle;
    }
}

TEST(HRotateDC, TheUprightTopRowLandsWhereTheTurnPutsIt) {
    struct Row { int angle; RECT expectBlue; };
    // Area (4, 2)-(14, 8): 10 wide, 6 high.
    const Row rows[] = {
        {90, RECT{13, 2, 14, 8}},     // clockwise: the top row becomes the right column
        {180, RECT{4, 7, 14, 8}},     // upside down: the bottom row
        {270, RECT{4, 2, 5, 8}},      // the left column
    };
    for (const Row& r : rows) {
        PixelSurface target(20, 12);
        target.FillSolidRect(RECT{0, 0, 20, 12}, kGreen);
        {
            HRotateDC turned(&target, 4, 2, 14, 8, r.angle);
            turned.FillSolidRect(RECT{0, 0, turned.Width(), 1}, kBlue);
        }
        int edge = (r.expectBlue.right - r.expectBlue.left) * (r.expectBlue.bottom - r.expectBlue.top);
        EXPECT_EQ(target.CountColour(r.expectBlue, kBlue), edge) << r.angle;
        EXPECT_EQ(target.CountColour(RECT{0, 0, 20, 12}, kBlue), edge) << r.angle;
    }
}

TEST(RotateRect, GivesThePlgBltCorners) {
    const RECT r{10, 20, 50, 80};
    const POINT* p = RotateRect(r, 90);
    EXPECT_EQ(p[0].x, 50); EXPECT_EQ(p[0].y, 20);
    EXPECT_EQ(p[1].x, 50); EXPECT_EQ(p[1].y, 80);
    EXPECT_EQ(p[2].x, 10); EXPECT_EQ(p[2].y, 20);
    p = RotateRect(r, 270);
    EXPECT_EQ(p[0].x, 10); EXPECT_EQ(p[0].y, 80);
    EXPECT_EQ(p[1].x, 10); EXPECT_EQ(p[1].y, 20);
    EXPECT_EQ(p[2].x, 50); EXPECT_EQ(p[2].y, 80);
    const POINT* same = RotateRect(RECT{0, 0, 1, 1}, 45);   // other angles leave the buffer alone
    EXPECT_EQ(same, p);
    EXPECT_EQ(same[0].x, 10);
    EXPECT_EQ(same[0].y, 80);
}

TEST(MemoryDC, HoldsABitmapOfTheExactSize) {
    PixelSurface screen(4, 4);
    MemoryDC memory;
    ASSERT_TRUE(memory.Create(screen, 33, 7));
    EXPECT_EQ(memory.width, 33);
    EXPECT_EQ(memory.height, 7);
    SIZE size = BitmapSize(static_cast<HBITMAP>(::GetCurrentObject(memory, OBJ_BITMAP)));
    EXPECT_EQ(size.cx, 33);
    EXPECT_EQ(size.cy, 7);
}

TEST(DrawTools, BracketsOnlyOnARectangleWithWidth) {
    struct Row { RECT r; int expectPixels; };
    const Row rows[] = {
        {RECT{5, 5, 5, 15}, 0},      // empty
        {RECT{15, 5, 5, 15}, 0},     // inverted
        {RECT{2, 2, 14, 12}, 2 * (4 + 10 + 4)},   // t = 4: each bracket 4 + 10 + 4 pixels
    };
    for (const Row& row : rows) {
        PixelSurface s(20, 20);
        DrawBrackets(s, row.r.left, row.r.top, row.r.right, row.r.bottom, kBlue);
        EXPECT_EQ(s.CountColour(RECT{0, 0, 20, 20}, kBlue), row.expectPixels)
            << row.r.left << "," << row.r.right;
    }
}

TEST(DrawTools, LinesRestoreThePenAndBrush) {
    PixelSurface s(20, 20);
    HGDIOBJ pen = ::GetCurrentObject(s, OBJ_PEN), brush = ::GetCurrentObject(s, OBJ_BRUSH);
    DrawFrameRect(s, 1, 1, 9, 9, kRed, NULL_BRUSH);
    DrawPlus(s, 10, 10, 20, 20, kBlue);
    DrawTreeElbow(s, 0, 10, 10, 20, kGreen);
    EXPECT_EQ(::GetCurrentObject(s, OBJ_PEN), pen);
    EXPECT_EQ(::GetCurrentObject(s, OBJ_BRUSH), brush);
    EXPECT_EQ(s.CountColour(RECT{1, 1, 9, 9}, kRed), 28);     // the frame alone: the null brush fills nothing
    EXPECT_EQ(s.Pixel(15, 10), kBlue);                        // vertical stroke of the plus
    EXPECT_EQ(s.Pixel(10, 15), kBlue);                        // horizontal stroke
    EXPECT_EQ(s.Pixel(5, 12), kGreen);                        // elbow down the middle
    EXPECT_EQ(s.Pixel(8, 15), kGreen);                        // and across to the right
    EXPECT_NE(s.Pixel(2, 15), kGreen);
}

TEST(DrawTools, CentreSquare) {
    struct Row { RECT in; int size; RECT expect; };
    const Row rows[] = {
        {{0, 0, 20, 20}, 16, {2, 2, 18, 18}},
        {{10, 5, 31, 16}, 9, {16, 6, 25, 15}},    // halves round down
        {{0, 0, 4, 4}, 8, {-2, -2, 6, 6}},        // larger than the rectangle: overhangs evenly
    };
    for (const Row& r : rows) {
        RECT got = CentreSquare(r.in.left, r.in.top, r.in.right, r.in.bottom, r.size);
        EXPECT_TRUE(EqualRect(&got, &r.expect)) << got.left << "," << got.top;
    }
}

TEST(DrawTools, IconRotatedNeedsAnIcon) {
    PixelSurface s(20, 20);
    EXPECT_FALSE(DrawIconRotated(s, 0, 0, nullptr, 16, 90));
}

TEST(DrawTools, AQuarterTurnMakesTheRightArrowPointDown) {
    HICON right = StockGlyphs().ExtractIcon(kGlyphRight);
    HICON down = StockGlyphs().ExtractIcon(kGlyphDown);
    ASSERT_NE(right, nullptr);
    PixelSurface turned(15, 15), upright(15, 15);
    turned.FillSolidRect(RECT{0, 0, 15, 15}, kGreen);
    upright.FillSolidRect(RECT{0, 0, 15, 15}, kGreen);
    EXPECT_TRUE(DrawIconRotated(turned, 3, 4, right, 9, 90));
    EXPECT_TRUE(DrawIconRotated(upright, 3, 4, down, 9, 0));
    int differ = 0, drawn = 0;
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 15; ++x) {
            differ += turned.Pixel(x, y) != upright.Pixel(x, y);
            drawn += upright.Pixel(x, y) != kGreen;
        }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(drawn, 5);
    ::DestroyIcon(right);
    ::DestroyIcon(down);
}

}  // namespace
