#pragma once
// The looks of divider bars: the thin bar beside a visible pane and the grip of a hidden one, a
// ridged bar with a half-disc carrying a stock arrow glyph.

#include <windows.h>

// The bar: a 3-D frame (theme colours 19 and 20) around a fill of colour 18, the frame's ends pushed
// one pixel out along the longer side so that they do not show.
void DrawDividerBar(HDC dc, const RECT& rectangle);
// The grip; state is the divider's side and the stock glyph on it (0 down, 1 left, 2 up, 3 right).
// Sides 0 and 2 have their ridges across and the half-disc bulging out of the bottom for state 2 and
// out of the top otherwise; sides 1 and 3 have them down, bulging right for 1 and left for 3.
void DrawDividerGrip(HDC dc, const RECT& rectangle, int state);
