#include "toolkit/ImageLists.h"

#include "classlib/PixelSurface.h"
#include "options/BColorTheme.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// A strip of `count` square images of side `side`, image i filled with colours[i].
HBITMAP MakeStrip(int side, int count, const COLORREF* colours)
{
    PixelSurface s(side * count, side);
    for (int i = 0; i < count; ++i)
        s.FillSolidRect(RECT{i * side, 0, (i + 1) * side, side}, colours[i]);
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, side * count, side);
    ::ReleaseDC(nullptr, screen);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    ::BitBlt(dc, 0, 0, side * count, side, s, 0, 0, SRCCOPY);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return bitmap;
}

// Image `index` drawn on a background colour; returns the surface.
void DrawImage(CImageList& list, int index, PixelSurface& s, COLORREF background, UINT style = ILD_TRANSPARENT)
{
    SIZE size = list.GetIconSize();
    s.Create(size.cx, size.cy);
    s.FillSolidRect(RECT{0, 0, size.cx, size.cy}, background);
    list.Draw(s, index, 0, 0, style);
}

TEST(ImageListPixels, GreyLevels) {
    struct Row { COLORREF in; uint8_t grey; };
    const Row rows[] = {
        {RGB(0, 0, 0), 128},            // black (masked-out pixels) becomes mid grey
        {RGB(255, 255, 255), 224},      // white is limited to 224
        {RGB(80, 80, 80), 128},         // just below 81
        {RGB(81, 81, 81), 129},         // 81 and up are lightened by 48
        {RGB(255, 0, 0), 128},          // 76: dark
        {RGB(0, 255, 0), 197},          // 149 + 48
        {RGB(0, 0, 255), 128},          // 29
        {RGB(200, 100, 50), 172},       // (59800 + 58700 + 5700) / 1000 = 124
        {RGB(190, 190, 190), 224},      // 238 is limited
    };
    for (const Row& r : rows)
        EXPECT_EQ(GreyLevel(GetRValue(r.in), GetGValue(r.in), GetBValue(r.in)), r.grey) << std::hex << r.in;
}

TEST(ImageListPixels, FromBitmapCutsSquaresOfTheHeight) {
    const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 128, 0), RGB(0, 0, 255)};
    HBITMAP strip = MakeStrip(12, 3, colours);
    CImageList list;
    EXPECT_EQ(ImageListFromBitmap(strip, list), 12);
    EXPECT_EQ(list.GetImageCount(), 3);
    for (int i = 0; i < 3; ++i) {
        PixelSurface s;
        DrawImage(list, i, s, kBlack);
        EXPECT_EQ(s.CountColour(RECT{0, 0, 12, 12}, colours[i]), 144) << i;
    }
    ::DeleteObject(strip);
    CImageList none;
    EXPECT_EQ(ImageListFromBitmap(nullptr, none), 0);
    EXPECT_EQ(none.GetSafeHandle(), nullptr);
}

TEST(ImageListPixels, ReplaceColor) {
    const COLORREF colours[] = {RGB(10, 20, 30), RGB(10, 20, 30)};
    HBITMAP strip = MakeStrip(8, 2, colours);
    CImageList list;
    ASSERT_EQ(ImageListFromBitmap(strip, list), 8);
    ::DeleteObject(strip);

    EXPECT_TRUE(ImageListReplaceColor(list, 0, 0, 0x7FFF, 0x7FFF, kWhite, kWhite));   // same colour
    EXPECT_FALSE(ImageListReplaceColor(list, 0, 0, -1, 8, colours[0], kWhite));        // negative right
    EXPECT_FALSE(ImageListReplaceColor(list, 0, 0, 8, -5, colours[0], kWhite));        // negative bottom
    CImageList empty;
    EXPECT_FALSE(ImageListReplaceColor(empty, 0, 0, 8, 8, colours[0], kWhite));       // nothing to read

    // The top half of the list's bitmap only: rows count from the top although DIBs are bottom-up.
    ASSERT_TRUE(ImageListReplaceColor(list, 0, 0, 0x7FFF, 4, colours[0], RGB(200, 0, 0)));
    PixelSurface s;
    DrawImage(list, 0, s, kBlack);
    EXPECT_EQ(s.CountColour(RECT{0, 0, 8, 4}, RGB(200, 0, 0)), 32);
    EXPECT_EQ(s.CountColour(RECT{0, 4, 8, 8}, colours[0]), 32);
    DrawImage(list, 1, s, kBlack);
    EXPECT_EQ(s.CountColour(RECT{0, 0, 8, 4}, RGB(200, 0, 0)), 32);
}

TEST(ImageListPixels, MakeGreyGreysEveryImage) {
    const COLORREF colours[] = {RGB(0, 255, 0), RGB(255, 255, 255)};
    HBITMAP strip = MakeStrip(6, 2, colours);
    CImageList list;
    ASSERT_EQ(ImageListFromBitmap(strip, list), 6);
    ::DeleteObject(strip);
    ASSERT_TRUE(ImageListMakeGrey(list));
    PixelSurface s;
    DrawImage(list, 0, s, kBlack, ILD_NORMAL);
    EXPECT_EQ(s.CountColour(RECT{0, 0, 6, 6}, RGB(197, 197, 197)), 36);
    CImageList none;
    EXPECT_FALSE(ImageListMakeGrey(none));

    // Drawn black pixels become 128; masked-out ones stay transparent.
    TImageList<8> glyphs;
    ASSERT_TRUE(glyphs.Make());
    const uint8_t bar[8] = {0xFF, 0, 0, 0, 0, 0, 0, 0};
    ImageListAddPattern(glyphs, bar);
    ASSERT_TRUE(ImageListMakeGrey(glyphs));
    DrawImage(glyphs, 0, s, RGB(0, 0, 200));
    EXPECT_EQ(s.CountColour(RECT{0, 0, 8, 1}, RGB(128, 128, 128)), 8);
    EXPECT_EQ(s.CountColour(RECT{0, 1, 8, 8}, RGB(0, 0, 200)), 56);
}

TEST(ImageListGlyphs, PatternBitsAreDrawnBlackTheRestIsMasked) {
    TImageList<8> list;
    ASSERT_TRUE(list.Make());
    const uint8_t pattern[8] = {0x80, 0x01, 0, 0, 0, 0, 0, 0xFF};
    EXPECT_EQ(ImageListAddPattern(list, pattern), 0);
    const uint8_t glyph[18] = {0x80, 0, 0, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0x80};
    TImageList<9> nine;
    ASSERT_TRUE(nine.Make());
    EXPECT_EQ(ImageListAddGlyph(nine, glyph), 0);

    PixelSurface s;
    DrawImage(list, 0, s, RGB(0, 0, 200));
    EXPECT_EQ(s.Pixel(0, 0), kBlack);
    EXPECT_EQ(s.Pixel(7, 1), kBlack);
    EXPECT_EQ(s.Pixel(1, 0), RGB(0, 0, 200));    // masked: the background shows
    EXPECT_EQ(s.CountColour(RECT{0, 7, 8, 8}, kBlack), 8);
    EXPECT_EQ(s.CountColour(RECT{0, 0, 8, 8}, kBlack), 10);

    DrawImage(nine, 0, s, RGB(0, 0, 200));
    EXPECT_EQ(s.Pixel(0, 0), kBlack);
    EXPECT_EQ(s.Pixel(8, 1), kBlack);            // the ninth pixel comes from the second byte
    EXPECT_EQ(s.CountColour(RECT{0, 8, 9, 9}, kBlack), 9);
    EXPECT_EQ(s.CountColour(RECT{0, 0, 9, 9}, kBlack), 11);
}

TEST(ImageListGlyphs, SharedListsAreMadeOnceInTheirColours) {
    struct Row { CImageList* list; int count; int side; COLORREF colour; };
    const Row rows[] = {
        {&StockGlyphs(), 4, 9, ThemeColor(21)},
        {&MarkerGlyphs(), 2, 5, RGB(192, 192, 192)},
        {&HeaderGlyphs(), 2, 8, ThemeColor(75)},
        {&CheckOverlays(), 2, 8, ThemeColor(44)},
        {&CheckMarks(0), 2, 9, ThemeColor(46)},
        {&CheckMarks(1), 2, 9, ThemeColor(45)},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.list->GetImageCount(), r.count);
        EXPECT_EQ(r.list->GetIconSize().cx, r.side);
        for (int i = 0; i < r.count; ++i) {
            PixelSurface s;
            DrawImage(*r.list, i, s, RGB(1, 2, 3));
            int drawn = s.CountColour(RECT{0, 0, r.side, r.side}, r.colour);
            EXPECT_GT(drawn, 0) << r.side << " image " << i;
            EXPECT_EQ(drawn + s.CountColour(RECT{0, 0, r.side, r.side}, RGB(1, 2, 3)), r.side * r.side);
        }
    }
    EXPECT_EQ(StockGlyphs().GetSafeHandle(), StockGlyphs().GetSafeHandle());
    EXPECT_EQ(CheckOverlays().grey.GetImageCount(), 2);
    EXPECT_EQ(CheckMarks(1).grey.GetImageCount(), 2);
}

TEST(ImageListGlyphs, ResizeCursorsExist) {
    CreateStockGlyphs();
    EXPECT_NE(RowResizeCursor(), nullptr);
    EXPECT_NE(ColumnResizeCursor(), nullptr);
    EXPECT_NE(RowResizeCursor(), ColumnResizeCursor());
}

}  // namespace
