#pragma once
// Small drawing operations of the toolkit: 1-pixel lines, frames and glyph shapes, each with its own
// pen or brush that is selected for the call and replaced by the previous one afterwards.

#include <windows.h>

// Selects a new pen (or brush) into a DC for a scope; the previous one comes back and the new one is
// deleted at the end.
class PenRestorer {
public:
    PenRestorer(HDC dc, COLORREF colour, int width = 1, int style = PS_SOLID);
    ~PenRestorer();
    PenRestorer(const PenRestorer&) = delete;
    PenRestorer& operator=(const PenRestorer&) = delete;

private:
    HDC dc_;
    HPEN pen_;
    HGDIOBJ oldPen_;
};

class BrushRestorer {
public:
    BrushRestorer(HDC dc, COLORREF colour);
    // A stock brush (GetStockObject index), never deleted.
    static BrushRestorer Stock(HDC dc, int stockIndex) { return BrushRestorer(dc, stockIndex, true); }
    ~BrushRestorer();
    BrushRestorer(const BrushRestorer&) = delete;
    BrushRestorer& operator=(const BrushRestorer&) = delete;
    BrushRestorer(BrushRestorer&& other) noexcept;

private:
    BrushRestorer(HDC dc, int stockIndex, bool);
    HDC dc_;
    HBRUSH brush_;
    HGDIOBJ oldBrush_;
    bool owned_;
};

// Rectangle framed in the colour, filled with a stock brush (NULL_BRUSH leaves the inside alone).
void DrawFrameRect(HDC dc, int left, int top, int right, int bottom, COLORREF colour, int stockBrush);
// A square bracket at each end, each a third of the width deep; nothing when left >= right.
void DrawBrackets(HDC dc, int left, int top, int right, int bottom, COLORREF colour);
// From the middle of the top edge down to the vertical middle, then across to the right.
void DrawTreeElbow(HDC dc, int left, int top, int right, int bottom, COLORREF colour);
// Both diagonals with a pen penWidth wide, stopping penWidth short of the right and bottom edges.
void DrawCross(HDC dc, int left, int top, int right, int bottom, COLORREF colour, int penWidth);
// The icon at size x size, turned clockwise by angle; false for a null icon.
bool DrawIconRotated(HDC dc, int x, int y, HICON icon, int size, int angle);
void DrawLineColor(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour);
void DrawMidHLine(HDC dc, int left, int top, int right, int bottom, COLORREF colour);
void DrawMidVLine(HDC dc, int left, int top, int right, int bottom, COLORREF colour);
void DrawPlus(HDC dc, int left, int top, int right, int bottom, COLORREF colour);
// DrawText in the colour and font on a transparent background; the DC's font, background mode and
// text colour are restored afterwards.
int DrawTextTransparent(HDC dc, const wchar_t* text, RECT& rectangle, COLORREF colour, UINT format, HFONT font);
// A size x size square centred in the rectangle.
RECT CentreSquare(int left, int top, int right, int bottom, int size);
