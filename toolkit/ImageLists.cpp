#include "toolkit/ImageLists.h"

#include "classlib/CursorIcon.h"
#include "options/BColorTheme.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Adds a glyph of `height` rows, `bytesPerRow` pattern bytes each, `width` pixels wide: the rows are
// inverted into a 1-bit bitmap (WORD-aligned rows padded with set bits), so drawn pixels are black
// and the rest white, the mask colour.
int AddBits(CImageList& list, const uint8_t* pattern, int width, int height, int bytesPerRow)
{
    if (!list.GetSafeHandle())
        return -1;
    std::vector<uint8_t> rows(static_cast<size_t>(height) * 2, 0xFF);
    for (int y = 0; y < height; ++y)
        for (int b = 0; b < bytesPerRow; ++b)
            rows[y * 2 + b] = pattern[y * bytesPerRow + b] ^ 0xFF;
    HBITMAP bitmap = ::CreateBitmap(width, height, 1, 1, rows.data());
    if (!bitmap)
        return -1;
    int index = list.Add(bitmap, kWhite);
    ::DeleteObject(bitmap);
    return index;
}

// Patterns. Stock triangles are drawn as checkerboards; 9-pixel rows take two bytes.
constexpr uint8_t kTriangleDown[18] = {0, 0, 0, 0, 0xAA, 0x80, 0x55, 0, 0x2A, 0, 0x14, 0, 0x08, 0, 0, 0, 0, 0};
constexpr uint8_t kTriangleLeft[18] = {0x02, 0, 0x04, 0, 0x0A, 0, 0x14, 0, 0x2A, 0, 0x14, 0, 0x0A, 0, 0x04, 0, 0x02, 0};
constexpr uint8_t kTriangleUp[18] = {0, 0, 0, 0, 0x08, 0, 0x14, 0, 0x2A, 0, 0x55, 0, 0xAA, 0x80, 0, 0, 0, 0};
constexpr uint8_t kTriangleRight[18] = {0x20, 0, 0x10, 0, 0x28, 0, 0x14, 0, 0x2A, 0, 0x14, 0, 0x28, 0, 0x10, 0, 0x20, 0};
constexpr uint8_t kMarkerLeft[5] = {0x20, 0x40, 0xF8, 0x40, 0x20};
constexpr uint8_t kMarkerRight[5] = {0x20, 0x10, 0xF8, 0x10, 0x20};
constexpr uint8_t kHeaderUp[8] = {0, 0, 0x10, 0x38, 0x7C, 0xFE, 0, 0};
constexpr uint8_t kHeaderDown[8] = {0, 0, 0xFE, 0x7C, 0x38, 0x10, 0, 0};
constexpr uint8_t kOverlayUnset[8] = {0xFF, 0x81, 0x81, 0x81, 0x81, 0x81, 0x81, 0xFF};
constexpr uint8_t kOverlaySet[8] = {0x00, 0x02, 0x06, 0x8C, 0xD8, 0x70, 0x20, 0x00};
constexpr uint8_t kCheckUnset[18] = {0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80,
                                     0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0xFF, 0x80};
constexpr uint8_t kCheckSet[18] = {0xFF, 0x80, 0x80, 0x80, 0x82, 0x80, 0x86, 0x80, 0xCC,
                                   0x80, 0xF8, 0x80, 0xB0, 0x80, 0x80, 0x80, 0xFF, 0x80};

// Which pixels of the list's bitmap are masked out (transparent), in the layout of ReadPixels. A
// masked-out pixel must stay black in the image, or drawing the list transparently would paint it.
std::vector<bool> MaskedOut(const CImageList& list, const DibPixels& image)
{
    std::vector<bool> masked(static_cast<size_t>(image.width) * image.height, false);
    IMAGEINFO info{};
    if (!ImageList_GetImageInfo(list.GetSafeHandle(), 0, &info) || !info.hbmMask)
        return masked;
    DibPixels mask;
    mask.width = image.width;
    mask.height = image.height;
    mask.stride = image.stride;
    mask.bits.assign(image.bits.size(), 0);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = mask.width;
    bi.bmiHeader.biHeight = mask.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    int rows = ::GetDIBits(screen, info.hbmMask, 0, mask.height, mask.bits.data(), &bi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != mask.height)
        return masked;
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            masked[static_cast<size_t>(y) * mask.width + x] = mask.Pixel(x, y) != RGB(0, 0, 0);
    return masked;
}

using GlyphAdder = int (*)(CImageList&, const uint8_t*);

// Fills a new glyph list once: the patterns in order, then black turned to the colour.
template <int N>
bool FillOnce(TImageList<N>& list, GlyphAdder add, std::initializer_list<const uint8_t*> patterns, COLORREF colour)
{
    if (list.GetSafeHandle() || !list.Make())
        return false;
    for (const uint8_t* pattern : patterns)
        add(list, pattern);
    ImageListReplaceColor(list, 0, 0, 0x7FFF, 0x7FFF, kBlack, colour);
    return true;
}

// 32 x 32 cursor masks: black pixels from a shape, a white outline around them, the rest transparent.
bool MakeResizeCursor(OwnedIcon& cursor, bool rows)
{
    constexpr int kSide = 32;
    bool black[kSide][kSide] = {};
    auto set = [&](int along, int across) {   // along the arrow, across it
        if (along >= 0 && along < kSide && across >= 0 && across < kSide) {
            if (rows) black[along][across] = true; else black[across][along] = true;
        }
    };
    for (int a = 6; a <= 25; ++a)              // the shaft
        set(a, 15);
    for (int k = 0; k < 4; ++k)                // the two heads
        for (int c = 15 - k; c <= 15 + k; ++c) {
            set(5 + k, c);
            set(26 - k, c);
        }
    for (int c = 7; c <= 23; ++c) {            // the double bar
        set(14, c);
        set(17, c);
    }
    uint8_t andMask[kSide * kSide / 8], xorMask[kSide * kSide / 8];
    std::fill(std::begin(andMask), std::end(andMask), 0xFF);
    std::fill(std::begin(xorMask), std::end(xorMask), 0x00);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            bool outline = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    int yy = y + dy, xx = x + dx;
                    if (yy >= 0 && yy < kSide && xx >= 0 && xx < kSide && black[yy][xx])
                        outline = true;
                }
            uint8_t bit = static_cast<uint8_t>(0x80 >> (x % 8));
            int i = y * kSide / 8 + x / 8;
            if (black[y][x]) {
                andMask[i] &= ~bit;
            } else if (outline) {
                andMask[i] &= ~bit;
                xorMask[i] |= bit;
            }
        }
    return cursor.CreateCursor(kSide / 2, kSide / 2, kSide, kSide, andMask, xorMask);
}

struct StockCursors {
    OwnedIcon rows, columns;
};

StockCursors& Cursors()
{
    static StockCursors cursors;
    return cursors;
}

}  // namespace

template <int N>
bool TImageList<N>::Make()
{
    if (!this->Create(N, N, ILC_COLOR24 | ILC_MASK, 4, 4))
        return false;
    this->SetBkColor(kWhite);
    return true;
}

template <int N>
bool TImageList2<N>::MakeGreyCopy()
{
    grey.Attach(ImageList_Duplicate(this->GetSafeHandle()));
    return grey.GetSafeHandle() && ImageListMakeGrey(grey);
}

template class TImageList<5>;
template class TImageList<8>;
template class TImageList<9>;
template class TImageList2<8>;
template class TImageList2<9>;

int ImageListAddPattern(CImageList& list, const uint8_t pattern[8])
{
    return AddBits(list, pattern, 8, 8, 1);
}

int ImageListAddGlyph(CImageList& list, const uint8_t pattern[18])
{
    return AddBits(list, pattern, 9, 9, 2);
}

int ImageListAddMarkerGlyph(CImageList& list, const uint8_t pattern[5])
{
    return AddBits(list, pattern, 5, 5, 1);
}

int ImageListFromBitmap(HBITMAP bitmap, CImageList& list)
{
    BITMAP info{};
    if (!bitmap || ::GetObjectW(bitmap, sizeof(info), &info) != sizeof(info) || info.bmHeight <= 0 ||
        info.bmWidth < info.bmHeight)
        return 0;
    int side = info.bmHeight;
    if (!list.Create(side, side, ILC_COLOR24 | ILC_MASK, info.bmWidth / side, 4))
        return 0;
    list.Add(bitmap, kWhite);
    list.SetBkColor(kWhite);
    return side;
}

bool ImageListReplaceColor(CImageList& list, int left, int top, int right, int bottom, COLORREF from, COLORREF to)
{
    if (from == to)
        return true;
    if (right < 0 || bottom < 0)
        return false;
    DibPixels pixels;
    if (!list.ReadPixels(pixels))
        return false;
    std::vector<bool> masked = MaskedOut(list, pixels);
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, pixels.width);
    bottom = std::min(bottom, pixels.height);
    const uint8_t fb = GetBValue(from), fg = GetGValue(from), fr = GetRValue(from);
    for (int y = top; y < bottom; ++y) {
        uint8_t* p = pixels.Row(y) + left * 3;
        for (int x = left; x < right; ++x, p += 3) {
            if (p[0] == fb && p[1] == fg && p[2] == fr && !masked[static_cast<size_t>(y) * pixels.width + x]) {
                p[0] = GetBValue(to);
                p[1] = GetGValue(to);
                p[2] = GetRValue(to);
            }
        }
    }
    return list.WritePixels(pixels);
}

uint8_t GreyLevel(uint8_t red, uint8_t green, uint8_t blue)
{
    int grey = (299 * red + 587 * green + 114 * blue) / 1000;
    grey = grey < 81 ? 128 : grey + 48;
    return static_cast<uint8_t>(std::min(grey, 224));
}

bool ImageListMakeGrey(CImageList& list)
{
    DibPixels pixels;
    if (!list.ReadPixels(pixels))
        return false;
    std::vector<bool> masked = MaskedOut(list, pixels);
    for (int y = 0; y < pixels.height; ++y) {
        uint8_t* p = pixels.Row(y);
        for (int x = 0; x < pixels.width; ++x, p += 3)
            if (!masked[static_cast<size_t>(y) * pixels.width + x])
                p[0] = p[1] = p[2] = GreyLevel(p[2], p[1], p[0]);
    }
    return list.WritePixels(pixels);
}

TImageList<9>& StockGlyphs()
{
    static TImageList<9> list;
    FillOnce(list, ImageListAddGlyph, {kTriangleDown, kTriangleLeft, kTriangleUp, kTriangleRight}, ThemeColor(21));
    return list;
}

void CreateStockGlyphs()
{
    StockGlyphs();
    StockCursors& cursors = Cursors();
    if (!cursors.rows.Get())
        MakeResizeCursor(cursors.rows, true);
    if (!cursors.columns.Get())
        MakeResizeCursor(cursors.columns, false);
}

HCURSOR RowResizeCursor()
{
    CreateStockGlyphs();
    return static_cast<HCURSOR>(Cursors().rows.Get());
}

HCURSOR ColumnResizeCursor()
{
    CreateStockGlyphs();
    return static_cast<HCURSOR>(Cursors().columns.Get());
}

TImageList<5>& MarkerGlyphs()
{
    static TImageList<5> list;
    FillOnce(list, ImageListAddMarkerGlyph, {kMarkerLeft, kMarkerRight}, RGB(192, 192, 192));
    return list;
}

TImageList<8>& HeaderGlyphs()
{
    static TImageList<8> list;
    FillOnce(list, ImageListAddPattern, {kHeaderUp, kHeaderDown}, ThemeColor(75));
    return list;
}

TImageList2<8>& CheckOverlays()
{
    static TImageList2<8> list;
    if (FillOnce(list, ImageListAddPattern, {kOverlayUnset, kOverlaySet}, ThemeColor(44)))
        list.MakeGreyCopy();
    return list;
}

TImageList2<9>& CheckMarks(int pair)
{
    static TImageList2<9> lists[2];
    pair = pair ? 1 : 0;
    TImageList2<9>& list = lists[pair];
    if (FillOnce(list, ImageListAddGlyph, {kCheckUnset, kCheckSet}, ThemeColor(pair == 0 ? 46 : 45)))
        list.MakeGreyCopy();
    return list;
}
