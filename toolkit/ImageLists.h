#pragma once
// Image lists of the toolkit: lists cut from bitmap strips, glyph lists made from built-in bit
// patterns and recoloured to the theme, and the two edits of a list's pixels (greying, replacing a
// colour). The shared glyph lists and the two resize cursors are made once, on first use.
//
//   CImageList icons;
//   int side = ImageListFromBitmap(strip, icons);     // square images as high as the strip
//   ImageListReplaceColor(icons, 0, 0, 0x7FFF, 0x7FFF, RGB(0, 0, 0), ThemeColor(1));
//   StockGlyphs().Draw(dc, kGlyphRight, x, y, ILD_TRANSPARENT);

#include "classlib/ImageList.h"

#include <windows.h>

#include <cstdint>

// A list of N x N images.
template <int N>
class TImageList : public CImageList {
public:
    static constexpr int kSide = N;
    ~TImageList() override { DeleteImageList(); }
    // An empty glyph list (ILC_COLOR24 | ILC_MASK, white background).
    bool Make();
};

// A list and a greyed copy of it, for enabled and disabled looks.
template <int N>
class TImageList2 : public TImageList<N> {
public:
    ~TImageList2() override { grey.DeleteImageList(); }
    // Makes `grey` a greyed copy of the list as it stands.
    bool MakeGreyCopy();
    TImageList<N> grey;
};

// One glyph of 8 rows of 8 pixels (one byte per row, the top bit the leftmost pixel, a set bit
// drawn), of 9 rows of 9 pixels (two bytes per row) and of 5 rows of 5. Drawn pixels come out black;
// each returns the new image's index, -1 on failure.
int ImageListAddPattern(CImageList& list, const uint8_t pattern[8]);
int ImageListAddGlyph(CImageList& list, const uint8_t pattern[18]);
int ImageListAddMarkerGlyph(CImageList& list, const uint8_t pattern[5]);

// Makes the list from a bitmap strip: square images as high as the bitmap, white transparent and the
// background. Returns the side, 0 when the bitmap is missing or empty.
int ImageListFromBitmap(HBITMAP bitmap, CImageList& list);
// In the list's pixels inside the rectangle (rows from the top, clipped to the bitmap), `from`
// becomes `to`; masked-out pixels stay as they are, so they stay transparent. True at once when they are equal; false for a negative right or bottom edge or when
// the pixels cannot be read or written.
bool ImageListReplaceColor(CImageList& list, int left, int top, int right, int bottom, COLORREF from, COLORREF to);
// Greys the list's pixels in place: dark greys become 128, the rest are lightened by 48, up to 224.
// Masked-out pixels are left black, so they stay transparent.
bool ImageListMakeGrey(CImageList& list);
// The grey of one pixel as ImageListMakeGrey computes it.
uint8_t GreyLevel(uint8_t red, uint8_t green, uint8_t blue);

// Shared glyph lists.
enum StockGlyph { kGlyphDown = 0, kGlyphLeft = 1, kGlyphUp = 2, kGlyphRight = 3 };
// Makes the stock glyphs (triangles in theme colour 21) and the resize cursors; later calls do nothing.
void CreateStockGlyphs();
TImageList<9>& StockGlyphs();
// Arrows of text that runs past a zone's edge: 0 left, 1 right, in light grey.
TImageList<5>& MarkerGlyphs();
// Sort marks of list headers: 0 up, 1 down, in theme colour 75.
TImageList<8>& HeaderGlyphs();
// Check overlays of icon items: 0 unset, 1 set, in theme colour 44 (with a greyed copy).
TImageList2<8>& CheckOverlays();
// Check marks of items without icon: pair 0 in theme colour 46, pair 1 in 45 (each with a greyed copy).
TImageList2<9>& CheckMarks(int pair);

// The dividers' cursors: an up-and-down arrow through a double bar (resizing rows) and a
// left-and-right one (resizing columns).
HCURSOR RowResizeCursor();
HCURSOR ColumnResizeCursor();
