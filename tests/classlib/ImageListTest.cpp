#include "classlib/GdiObject.h"
#include "classlib/ImageList.h"
#include "classlib/PixelSurface.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

// A strip of two 8 x 8 images on white: a red 4 x 4 square at (2, 2) in the first, a blue full
// column at x = 5 in the second.
bool MakeStrip(CBitmap& strip)
{
    PixelSurface s(16, 8);
    s.FillSolidRect(RECT{0, 0, 16, 8}, kWhite);
    s.FillSolidRect(RECT{2, 2, 6, 6}, kRed);
    s.FillSolidRect(RECT{13, 0, 14, 8}, kBlue);
    CDC screen(::GetDC(nullptr));
    bool ok = strip.CreateCompatibleBitmap(screen, 16, 8);
    ::ReleaseDC(nullptr, screen.Detach());
    CDC copy;
    ok = ok && copy.CreateCompatibleDC(nullptr);
    if (ok) {
        copy.SelectObject(strip);
        ok = copy.BitBlt(0, 0, 16, 8, s, 0, 0);
    }
    return ok;
}

// Where image i's pixel (x, y) is in the list's bitmap: COMCTL32 lays images out in rows of a
// fixed count, so find it by the image width.
POINT ImagePixel(const DibPixels& pixels, int image, int x, int y, int side)
{
    int perRow = pixels.width / side;
    return POINT{(image % perRow) * side + x, (image / perRow) * side + y};
}

}  // namespace

TEST(ImageListPixels, ReadAndWriteThroughTheDib)
{
    CBitmap strip;
    ASSERT_TRUE(MakeStrip(strip));
    CImageList list;
    ASSERT_TRUE(list.Create(8, 8, ILC_COLOR24 | ILC_MASK, 2, 2));
    ASSERT_EQ(list.Add(strip, kWhite), 0);
    ASSERT_EQ(list.GetImageCount(), 2);
    EXPECT_EQ(list.GetIconSize().cx, 8);

    DibPixels pixels;
    ASSERT_TRUE(list.ReadPixels(pixels));
    ASSERT_GE(pixels.width, 16);
    ASSERT_GE(pixels.height, 8);
    EXPECT_EQ(pixels.stride % 4, 0);
    POINT red = ImagePixel(pixels, 0, 3, 3, 8), blue = ImagePixel(pixels, 1, 5, 7, 8);
    EXPECT_EQ(pixels.Pixel(red.x, red.y), kRed);
    EXPECT_EQ(pixels.Pixel(blue.x, blue.y), kBlue);
    // Rows are stored bottom-up: the image's top row is the buffer's last.
    const uint8_t* last = pixels.bits.data() + static_cast<size_t>(pixels.height - 1 - red.y) * pixels.stride;
    EXPECT_EQ(last[red.x * 3 + 2], 255);
    EXPECT_EQ(last[red.x * 3 + 0], 0);

    // Recolour red to green in the buffer, write it back, and draw the image.
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x)
            if (pixels.Pixel(x, y) == kRed) {
                uint8_t* p = pixels.Row(y) + x * 3;
                p[0] = 0; p[1] = 255; p[2] = 0;
            }
    ASSERT_TRUE(list.WritePixels(pixels));
    PixelSurface out(8, 8);
    out.FillSolidRect(RECT{0, 0, 8, 8}, RGB(10, 20, 30));
    ASSERT_TRUE(list.Draw(out, 0, 0, 0, ILD_TRANSPARENT));
    EXPECT_EQ(out.CountColour(RECT{2, 2, 6, 6}, RGB(0, 255, 0)), 16);
    EXPECT_EQ(out.CountColour(RECT{0, 0, 8, 8}, RGB(10, 20, 30)), 48);   // white was masked out
}

TEST(ImageListPixels, EmptyOrMismatchedBuffersAreRefused)
{
    CImageList list;
    DibPixels pixels;
    EXPECT_FALSE(list.ReadPixels(pixels));                 // no list
    ASSERT_TRUE(list.Create(8, 8, ILC_COLOR24 | ILC_MASK, 1, 1));
    EXPECT_FALSE(list.ReadPixels(pixels));                 // no image yet
    CBitmap strip;
    ASSERT_TRUE(MakeStrip(strip));
    list.Add(strip, kWhite);
    ASSERT_TRUE(list.ReadPixels(pixels));
    DibPixels wrong = pixels;
    wrong.width += 1;
    EXPECT_FALSE(list.WritePixels(wrong));
    wrong = pixels;
    wrong.bits.resize(wrong.bits.size() / 2);
    EXPECT_FALSE(list.WritePixels(wrong));
}

TEST(ImageListPixels, IconsComeOutAndGoIn)
{
    CBitmap strip;
    ASSERT_TRUE(MakeStrip(strip));
    CImageList list;
    ASSERT_TRUE(list.Create(8, 8, ILC_COLOR24 | ILC_MASK, 2, 2));
    list.Add(strip, kWhite);
    HICON icon = list.ExtractIcon(0);
    ASSERT_NE(icon, nullptr);
    CImageList other;
    ASSERT_TRUE(other.Create(8, 8, ILC_COLOR24 | ILC_MASK, 1, 1));
    EXPECT_EQ(other.Add(icon), 0);
    ::DestroyIcon(icon);
    PixelSurface out(8, 8);
    out.FillSolidRect(RECT{0, 0, 8, 8}, kWhite);
    other.Draw(out, 0, 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(out.CountColour(RECT{2, 2, 6, 6}, kRed), 16);
}
