#include "classlib/PixelSurface.h"
#include "classlib/RotateBlt.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A 3 x 2 block with a distinct value per pixel:  1 2 3
//                                                 4 5 6
const std::vector<uint32_t> kBlock = {1, 2, 3, 4, 5, 6};

struct RotateRow {
    int angle;
    int width, height;                 // of the result
    std::vector<uint32_t> expected;
};

const RotateRow kRotations[] = {
    {0, 3, 2, {1, 2, 3, 4, 5, 6}},
    {90, 2, 3, {4, 1, 5, 2, 6, 3}},     // clockwise: the top row becomes the right column
    {180, 3, 2, {6, 5, 4, 3, 2, 1}},
    {270, 2, 3, {3, 6, 2, 5, 1, 4}},
    {-90, 2, 3, {3, 6, 2, 5, 1, 4}},
    {450, 2, 3, {4, 1, 5, 2, 6, 3}},
};

// Every pixel a different colour, so any misplaced pixel shows.
void PaintPattern(PixelSurface& s)
{
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            s.SetPixelColour(x, y, RGB(x * 7 + 1, y * 11 + 1, (x * y) & 0xFF));
}

}  // namespace

TEST(RotatePixels, QuarterTurns)
{
    for (const RotateRow& row : kRotations) {
        SCOPED_TRACE(row.angle);
        std::vector<uint32_t> out(6, 0);
        ASSERT_TRUE(RotatePixels(kBlock.data(), 3, 2, row.angle, out.data()));
        EXPECT_EQ(out, row.expected);
    }
    std::vector<uint32_t> out(6, 0);
    EXPECT_FALSE(RotatePixels(kBlock.data(), 3, 2, 45, out.data()));
}

TEST(RotatePixels, RoundTrips)
{
    const int pairs[][2] = {{90, 270}, {270, 90}, {180, 180}, {0, 0}};
    for (const auto& pair : pairs) {
        SCOPED_TRACE(pair[0]);
        std::vector<uint32_t> turned(6), back(6);
        RotatePixels(kBlock.data(), 3, 2, pair[0], turned.data());
        bool quarter = pair[0] % 180 != 0;
        RotatePixels(turned.data(), quarter ? 2 : 3, quarter ? 3 : 2, pair[1], back.data());
        EXPECT_EQ(back, kBlock);
    }
}

TEST(RotateBlt, CopiesTurnedIntoTheTarget)
{
    const int w = 13, h = 7, x0 = 5, y0 = 4;
    PixelSurface source(w + 3, h + 2);
    PaintPattern(source);
    for (int angle : {0, 90, 180, 270}) {
        SCOPED_TRACE(angle);
        bool quarter = angle == 90 || angle == 270;
        PixelSurface target(30, 30);
        target.FillSolidRect(RECT{0, 0, 30, 30}, RGB(1, 2, 3));
        ASSERT_TRUE(RotateBlt(target, x0, y0, source, 2, 1, w, h, angle));
        int dw = quarter ? h : w, dh = quarter ? w : h;
        int wrong = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                int tx = x, ty = y;
                if (angle == 90) { tx = h - 1 - y; ty = x; }
                if (angle == 180) { tx = w - 1 - x; ty = h - 1 - y; }
                if (angle == 270) { tx = y; ty = w - 1 - x; }
                wrong += target.Pixel(x0 + tx, y0 + ty) != source.Pixel(2 + x, 1 + y);
            }
        }
        EXPECT_EQ(wrong, 0);
        // Nothing outside the destination rectangle changed.
        int outside = 30 * 30 - dw * dh;
        EXPECT_EQ(target.CountColour(RECT{0, 0, 30, 30}, RGB(1, 2, 3)), outside);
    }
}

TEST(RotateBlt, RoundTripThroughAnUprightSurface)
{
    // As a rotated strip is drawn: bring the target's area in turned back, then copy it out turned.
    PixelSurface target(20, 16);
    PaintPattern(target);
    PixelSurface before(20, 16);
    before.BitBlt(0, 0, 20, 16, target, 0, 0);
    const RECT area{3, 2, 15, 11};
    int w = area.right - area.left, h = area.bottom - area.top;
    for (int angle : {90, 180, 270}) {
        SCOPED_TRACE(angle);
        bool quarter = angle != 180;
        PixelSurface upright(quarter ? h : w, quarter ? w : h);
        ASSERT_TRUE(RotateBlt(upright, 0, 0, target, area.left, area.top, w, h, 360 - angle));
        ASSERT_TRUE(RotateBlt(target, area.left, area.top, upright, 0, 0, upright.Width(), upright.Height(),
                              angle));
        EXPECT_EQ(0, memcmp(target.Bits(), before.Bits(), 20 * 16 * 4));
    }
}

TEST(RotateBlt, RefusesOddAnglesAndEmptyAreas)
{
    PixelSurface a(4, 4), b(4, 4);
    EXPECT_FALSE(RotateBlt(b, 0, 0, a, 0, 0, 4, 4, 30));
    EXPECT_FALSE(RotateBlt(b, 0, 0, a, 0, 0, 0, 4, 90));
    EXPECT_FALSE(RotateBlt(b, 0, 0, a, 0, 0, 4, -1, 90));
}
