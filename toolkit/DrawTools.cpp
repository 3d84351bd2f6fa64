#include "toolkit/DrawTools.h"

#include "classlib/DC.h"
#include "toolkit/HShadowDC.h"

#include <utility>

PenRestorer::PenRestorer(HDC dc, COLORREF colour, int width, int style)
    : dc_(dc), pen_(::CreatePen(style, width, colour)), oldPen_(::SelectObject(dc, pen_))
{
}

PenRestorer::~PenRestorer()
{
    ::SelectObject(dc_, oldPen_);
    ::DeleteObject(pen_);
}

BrushRestorer::BrushRestorer(HDC dc, COLORREF colour)
    : dc_(dc), brush_(::CreateSolidBrush(colour)), oldBrush_(::SelectObject(dc, brush_)), owned_(true)
{
}

BrushRestorer::BrushRestorer(HDC dc, int stockIndex, bool)
    : dc_(dc), brush_(static_cast<HBRUSH>(::GetStockObject(stockIndex))), oldBrush_(::SelectObject(dc, brush_)),
      owned_(false)
{
}

BrushRestorer::BrushRestorer(BrushRestorer&& other) noexcept
    : dc_(other.dc_), brush_(std::exchange(other.brush_, nullptr)), oldBrush_(std::exchange(other.oldBrush_, nullptr)),
      owned_(other.owned_)
{
}

BrushRestorer::~BrushRestorer()
{
    if (oldBrush_)
        ::SelectObject(dc_, oldBrush_);
    if (owned_ && brush_)
        ::DeleteObject(brush_);
}

void DrawFrameRect(HDC dc, int left, int top, int right, int bottom, COLORREF colour, int stockBrush)
{
    PenRestorer pen(dc, colour);
    BrushRestorer brush = BrushRestorer::Stock(dc, stockBrush);
    ::Rectangle(dc, left, top, right, bottom);
}

void DrawBrackets(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    if (left >= right)
        return;
    int t = (right - left) / 3;
    PenRestorer pen(dc, colour);
    BrushRestorer brush = BrushRestorer::Stock(dc, NULL_BRUSH);
    const POINT open[] = {{left + t, top}, {left, top}, {left, bottom}, {left + t, bottom}};
    const POINT close[] = {{right - t, top}, {right, top}, {right, bottom}, {right - t, bottom}};
    ::Polyline(dc, open, 4);
    ::Polyline(dc, close, 4);
}

void DrawTreeElbow(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    int x = left + (right - left) / 2, y = top + (bottom - top) / 2;
    PenRestorer pen(dc, colour);
    const POINT elbow[] = {{x, top}, {x, y}, {right, y}};
    ::Polyline(dc, elbow, 3);
}

void DrawCross(HDC dc, int left, int top, int right, int bottom, COLORREF colour, int penWidth)
{
    PenRestorer pen(dc, colour, penWidth);
    ::MoveToEx(dc, left, top, nullptr);
    ::LineTo(dc, right - penWidth, bottom - penWidth);
    ::MoveToEx(dc, right - penWidth, top, nullptr);
    ::LineTo(dc, left, bottom - penWidth);
}

bool DrawIconRotated(HDC dc, int x, int y, HICON icon, int size, int angle)
{
    if (!icon)
        return false;
    if (angle == 0)
        return ::DrawIconEx(dc, x, y, icon, size, size, 0, nullptr, DI_NORMAL) != FALSE;
    CDC target(dc);
    HRotateDC turned(&target, x, y, x + size, y + size, angle);
    return ::DrawIconEx(turned, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL) != FALSE;
}

void DrawLineColor(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour)
{
    PenRestorer pen(dc, colour);
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
}

void DrawMidHLine(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    int y = top + (bottom - top) / 2;
    DrawLineColor(dc, left, y, right, y, colour);
}

void DrawMidVLine(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    int x = left + (right - left) / 2;
    DrawLineColor(dc, x, top, x, bottom, colour);
}

void DrawPlus(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    DrawMidHLine(dc, left, top, right, bottom, colour);
    DrawMidVLine(dc, left, top, right, bottom, colour);
}

int DrawTextTransparent(HDC dc, const wchar_t* text, RECT& rectangle, COLORREF colour, UINT format, HFONT font)
{
    HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
    int oldMode = ::SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = ::SetTextColor(dc, colour);
    int height = ::DrawTextW(dc, text ? text : L"", -1, &rectangle, format);
    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);
    if (oldFont)
        ::SelectObject(dc, oldFont);
    return height;
}

RECT CentreSquare(int left, int top, int right, int bottom, int size)
{
    int x = left + (right - left - size) / 2, y = top + (bottom - top - size) / 2;
    return RECT{x, y, x + size, y + size};
}
