#include "classlib/DC.h"
#include "classlib/GdiObject.h"
#include "classlib/PixelSurface.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

int Area(const RECT& r) { return (r.right - r.left) * (r.bottom - r.top); }

}  // namespace

TEST(GdiDrawing, ShapesLandWhereDrawn)
{
    PixelSurface s(40, 30);
    ASSERT_EQ(s.Width(), 40);
    s.FillSolidRect(RECT{0, 0, 40, 30}, kWhite);
    s.FillSolidRect(RECT{2, 3, 12, 9}, kRed);
    {
        CPen pen(PS_SOLID, 1, kBlue);
        CBrush fill(kGreen);
        SelectGdi p(s, pen), b(s, fill);
        s.Rectangle(20, 10, 30, 20);           // blue 1-pixel border, green inside
    }
    EXPECT_EQ(s.CountColour(RECT{2, 3, 12, 9}, kRed), 60);
    EXPECT_EQ(s.CountColour(RECT{0, 0, 40, 30}, kRed), 60);
    EXPECT_EQ(s.CountColour(RECT{21, 11, 29, 19}, kGreen), 64);
    EXPECT_EQ(s.CountColour(RECT{20, 10, 30, 20}, kBlue), 36);
    EXPECT_EQ(s.Pixel(20, 10), kBlue);
    EXPECT_EQ(s.Pixel(30, 20), kWhite);       // right and bottom are exclusive
    EXPECT_EQ(s.Pixel(40, 0), CLR_INVALID);
    EXPECT_EQ(s.GetPixel(5, 5), kRed);        // GDI sees what the pixel buffer holds
}

TEST(GdiDrawing, FillSolidRectKeepsBackgroundColour)
{
    PixelSurface s(8, 8);
    s.SetBkColor(kGreen);
    s.FillSolidRect(2, 2, 3, 3, kRed);
    EXPECT_EQ(s.GetBkColor(), kGreen);
    EXPECT_EQ(s.CountColour(RECT{0, 0, 8, 8}, kRed), 9);
}

TEST(GdiDrawing, Draw3dRectFramesOnePixel)
{
    PixelSurface s(10, 10);
    s.FillSolidRect(RECT{0, 0, 10, 10}, kWhite);
    s.Draw3dRect(RECT{1, 1, 9, 9}, kRed, kBlue);
    EXPECT_EQ(s.Pixel(1, 1), kRed);
    EXPECT_EQ(s.Pixel(7, 1), kRed);
    EXPECT_EQ(s.Pixel(1, 7), kRed);
    EXPECT_EQ(s.Pixel(8, 1), kBlue);           // the top-right and bottom-left corners belong to bottomRight
    EXPECT_EQ(s.Pixel(1, 8), kBlue);
    EXPECT_EQ(s.Pixel(8, 8), kBlue);
    EXPECT_EQ(s.CountColour(RECT{2, 2, 8, 8}, kWhite), 36);
    EXPECT_EQ(s.CountColour(RECT{0, 0, 10, 10}, kRed) + s.CountColour(RECT{0, 0, 10, 10}, kBlue), 28);
}

TEST(GdiDrawing, HatchedAndStockBrushes)
{
    PixelSurface s(16, 16);
    s.FillSolidRect(RECT{0, 0, 16, 16}, kBlack);
    CBrush hatch;
    ASSERT_TRUE(hatch.CreateHatchBrush(HS_DIAGCROSS, kRed));
    s.SetBkColor(kWhite);
    s.FillRect(RECT{0, 0, 16, 16}, hatch);
    int red = s.CountColour(RECT{0, 0, 16, 16}, kRed), white = s.CountColour(RECT{0, 0, 16, 16}, kWhite);
    EXPECT_GT(red, 16);
    EXPECT_GT(white, 16);
    EXPECT_EQ(red + white, 256);

    HGDIOBJ stock = ::GetStockObject(GRAY_BRUSH);
    {
        CBrush gray;
        ASSERT_TRUE(gray.CreateStockObject(GRAY_BRUSH));
        s.FillRect(RECT{0, 0, 4, 4}, gray);
    }
    EXPECT_EQ(::GetObjectType(stock), static_cast<DWORD>(OBJ_BRUSH));   // a stock object survives
    EXPECT_EQ(s.CountColour(RECT{0, 0, 4, 4}, RGB(128, 128, 128)), 16);
}

TEST(GdiSelection, RestoredWhenTheWrapperEnds)
{
    PixelSurface s(8, 8);
    HGDIOBJ pen0 = ::GetCurrentObject(s, OBJ_PEN), brush0 = ::GetCurrentObject(s, OBJ_BRUSH);
    HGDIOBJ font0 = ::GetCurrentObject(s, OBJ_FONT), bitmap0 = ::GetCurrentObject(s, OBJ_BITMAP);
    HGDIOBJ pen = nullptr, brush = nullptr, font = nullptr;
    {
        CPen p1(PS_SOLID, 1, kRed), p2(PS_SOLID, 2, kBlue);
        CBrush b(kGreen);
        CFont f;
        ASSERT_TRUE(f.CreatePointFont(100, L"Arial"));
        pen = p1.GetSafeHandle(); brush = b.GetSafeHandle(); font = f.GetSafeHandle();
        CDC dc(s.GetSafeHdc());
        EXPECT_EQ(dc.SelectObject(p1), pen0);
        EXPECT_EQ(dc.SelectObject(p2), pen);        // a second selection: the first original is kept
        dc.SelectObject(b);
        dc.SelectObject(f);
        EXPECT_EQ(::GetCurrentObject(s, OBJ_PEN), p2.GetSafeHandle());
    }
    EXPECT_EQ(::GetCurrentObject(s, OBJ_PEN), pen0);
    EXPECT_EQ(::GetCurrentObject(s, OBJ_BRUSH), brush0);
    EXPECT_EQ(::GetCurrentObject(s, OBJ_FONT), font0);
    EXPECT_EQ(::GetCurrentObject(s, OBJ_BITMAP), bitmap0);   // the attached DC kept its own bitmap
    EXPECT_EQ(::GetObjectType(pen), 0u);                      // deleted, not left selected
    EXPECT_EQ(::GetObjectType(brush), 0u);
    EXPECT_EQ(::GetObjectType(font), 0u);
    EXPECT_EQ(::GetObjectType(s.GetSafeHdc()), static_cast<DWORD>(OBJ_MEMDC));  // attached: not deleted
}

TEST(GdiSelection, SelectGdiScope)
{
    PixelSurface s(4, 4);
    HGDIOBJ brush0 = ::GetCurrentObject(s, OBJ_BRUSH);
    CBrush b(kRed);
    {
        SelectGdi select(s, b);
        EXPECT_EQ(::GetCurrentObject(s, OBJ_BRUSH), b.GetSafeHandle());
    }
    EXPECT_EQ(::GetCurrentObject(s, OBJ_BRUSH), brush0);
}

TEST(GdiSelection, OwnedMemoryDcReleasesItsBitmap)
{
    CBitmap bitmap;
    HBITMAP handle = nullptr;
    {
        CDC screen(::GetDC(nullptr));
        CDC memory;
        ASSERT_TRUE(memory.CreateCompatibleDC(screen));
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(screen, 16, 8));
        handle = bitmap;
        memory.SelectObject(bitmap);
        memory.FillSolidRect(RECT{0, 0, 16, 8}, kBlue);
        EXPECT_EQ(memory.GetPixel(15, 7), kBlue);
        PixelSurface copy;                                  // reading a device-dependent bitmap's pixels
        ASSERT_TRUE(copy.CopyFrom(memory, RECT{4, 2, 16, 8}));
        EXPECT_EQ(copy.Width(), 12);
        EXPECT_EQ(copy.CountColour(RECT{0, 0, 12, 6}, kBlue), 72);
        ::ReleaseDC(nullptr, screen.Detach());
    }
    SIZE size = bitmap.GetSize();
    EXPECT_EQ(size.cx, 16);
    EXPECT_EQ(size.cy, 8);
    EXPECT_TRUE(bitmap.DeleteObject());                 // no DC holds it any more
    EXPECT_EQ(::GetObjectType(handle), 0u);
}

TEST(GdiFont, PointSizesInTenthsThroughTheScreenResolution)
{
    CDC screen(::GetDC(nullptr));
    int dpi = screen.GetDeviceCaps(LOGPIXELSY);
    ::ReleaseDC(nullptr, screen.Detach());
    ASSERT_GT(dpi, 0);
    struct Row { int tenths; int heightAt96; };
    const Row rows[] = {
        {100, 13}, {90, 12}, {80, 11}, {75, 10}, {120, 16}, {85, 11}, {0, 0},
    };
    PixelSurface s(4, 4);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tenths);
        CFont font;
        ASSERT_TRUE(font.CreatePointFont(row.tenths, L"Arial"));
        LOGFONTW lf{};
        ASSERT_TRUE(font.GetLogFont(&lf));
        int expected = (row.tenths * dpi + 360) / 720;      // rounded to the nearest pixel
        if (dpi == 96) {
            EXPECT_EQ(expected, row.heightAt96);
        }
        EXPECT_EQ(lf.lfHeight, -expected);
        EXPECT_EQ(lf.lfWeight, FW_NORMAL);
        EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
        EXPECT_STREQ(lf.lfFaceName, L"Arial");
        if (row.tenths > 0) {
            SelectGdi select(s, font);
            TEXTMETRICW tm{};
            ASSERT_TRUE(s.GetTextMetrics(&tm));
            EXPECT_NEAR(tm.tmHeight - tm.tmInternalLeading, expected, 1);   // the em height, in pixels
        }
    }
}

TEST(GdiFont, PointFontIndirectKeepsTheOtherFields)
{
    LOGFONTW lf{};
    lf.lfHeight = 120;
    lf.lfItalic = TRUE;
    lf.lfWeight = FW_BOLD;
    wcscpy(lf.lfFaceName, L"Courier New");
    CFont font;
    ASSERT_TRUE(font.CreatePointFontIndirect(lf));
    LOGFONTW out{};
    ASSERT_TRUE(font.GetLogFont(&out));
    EXPECT_EQ(out.lfHeight, CFont::HeightOfTenths(120));
    EXPECT_TRUE(out.lfItalic);
    EXPECT_EQ(out.lfWeight, FW_BOLD);
    EXPECT_STREQ(out.lfFaceName, L"Courier New");
}

TEST(GdiText, DrawnTextColoursItsBoxOnly)
{
    PixelSurface s(120, 30);
    s.FillSolidRect(RECT{0, 0, 120, 30}, kWhite);
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(100, L"Arial"));
    s.SelectObject(font);
    s.SetTextColor(kRed);
    s.SetBkMode(TRANSPARENT);
    RECT box{4, 4, 116, 26};
    SIZE extent = s.GetTextExtent(L"HHHH");
    EXPECT_GT(extent.cx, 8);
    EXPECT_GT(extent.cy, 8);
    s.DrawText(L"HHHH", &box, DT_LEFT | DT_TOP | DT_SINGLELINE);
    RECT ink{4, 4, 4 + extent.cx, 4 + extent.cy};
    int inside = s.CountColour(ink, kRed);
    EXPECT_GT(inside, 20);                                   // glyph pixels differ by font: count, don't match
    EXPECT_EQ(s.CountColour(RECT{0, 0, 120, 30}, kRed), inside);
    EXPECT_EQ(s.CountColour(RECT{ink.right + 2, 0, 120, 30}, kWhite), Area(RECT{ink.right + 2, 0, 120, 30}));
    s.RestoreSelections();
}
