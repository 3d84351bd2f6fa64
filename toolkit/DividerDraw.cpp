#include "toolkit/DividerDraw.h"

#include "classlib/DC.h"
#include "options/BColorTheme.h"
#include "toolkit/DrawTools.h"
#include "toolkit/ImageLists.h"

void DrawDividerBar(HDC dc, const RECT& rectangle)
{
    CDC target(dc);
    RECT r = rectangle;
    if (r.right - r.left >= r.bottom - r.top)
        ::InflateRect(&r, 1, 0);
    else
        ::InflateRect(&r, 0, 1);
    target.Draw3dRect(r, ThemeColor(19), ThemeColor(20));
    ::InflateRect(&r, -1, -1);
    target.FillSolidRect(r, ThemeColor(18));
}

void DrawDividerGrip(HDC dc, const RECT& r, int state)
{
    CDC target(dc);
    target.FillSolidRect(r, ThemeColor(18));
    // The form follows the divider's side, not the bar's shape: a short bar keeps its ridges.
    const bool across = state == 0 || state == 2;
    const COLORREF fill = ThemeColor(18);
    const int thickness = across ? r.bottom - r.top : r.right - r.left;
    const bool bulgeFar = across ? state == 2 : state == 1;         // bottom, or right
    const int first = bulgeFar ? 1 : 2;
    for (int i = 0; i < 3; ++i) {
        int at = first + i * 3;
        RECT ridge = across ? RECT{r.left, r.top + at, r.right, r.top + at + 2}
                            : RECT{r.left + at, r.top, r.left + at + 2, r.bottom};
        target.Draw3dRect(ridge, ThemeColor(20), ThemeColor(19));
    }
    if (thickness < 9)
        return;
    int cx = r.left + (r.right - r.left) / 2, cy = r.top + (r.bottom - r.top) / 2;
    {
        PenRestorer pen(dc, fill);
        BrushRestorer brush(dc, fill);
        if (across) {
            int edge = bulgeFar ? r.bottom : r.top;
            ::Ellipse(dc, cx - 8, edge - thickness, cx + 9, edge + thickness);
        } else {
            int edge = bulgeFar ? r.right : r.left;
            ::Ellipse(dc, edge - thickness, cy - 8, edge + thickness, cy + 9);
        }
    }
    RECT glyph = CentreSquare(r.left, r.top, r.right, r.bottom, 9);
    StockGlyphs().Draw(dc, state, glyph.left, glyph.top, ILD_TRANSPARENT);
}
