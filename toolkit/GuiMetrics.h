#pragma once
// Measuring texts and character cells, and making fonts by point size: what every pane uses to size
// its rows and columns.

#include "classlib/DC.h"
#include "classlib/GdiObject.h"

#include <windows.h>

// Width and height of the text drawn in that font (DrawText with DT_CALCRECT); the DC's font is put
// back afterwards.
SIZE TextExtentInFont(HDC dc, const wchar_t* text, HFONT font);
// The character cell of a font from its metrics: (maximum width + 3 x average width) / 4, and the
// height. Measured on a screen DC.
SIZE CharCellFromMetrics(HFONT font);
// The character cell measured on "CDCDCDCD" (a fair hexadecimal digit): its extent / 8, and the
// font's height.
SIZE CharCellFromSample(HFONT font);
// Replaces `font` with one of that face, size in points (on the screen's resolution), italic flag and
// weight, character set 1 (the default). False when GDI refuses; the old font is gone all the same.
bool CreateFontPoints(CFont& font, const wchar_t* face, int points, bool italic, int weight);
