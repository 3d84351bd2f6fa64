#pragma once
// Off-screen surfaces. HShadowDC is a pane's long-lived memory DC whose bitmap only grows, so steady
// repaints allocate nothing; MemoryDC is a surface of one exact size for one paint; HRotateDC lets code
// draw upright and lands the drawing in its target turned by a quarter, half or three-quarter turn.
//
//   HShadowDC shadow;                                 // a member of the pane
//   shadow.GrowBitmap(paintDc, width, height);
//   shadow.SelectObject(shadow.bitmap);               // GrowBitmap leaves selecting to the caller
//   ... draw into shadow ..., then BitBlt it to the screen
//
//   { HRotateDC turned(&dc, left, top, right, bottom, 90);   // draw as if the area were upright
//     DrawSomething(turned, 0, 0, bottom - top, right - left); }   // copied out, turned, here

#include "classlib/DC.h"
#include "classlib/GdiObject.h"

#include <windows.h>

#include <cstdint>

class HShadowDC : public CDC {
public:
    HShadowDC() = default;
    ~HShadowDC() override;

    // Makes the memory DC (compatible with dc) on first use. False when the bitmap is already at
    // least width x height; otherwise the bitmap is remade at the larger of the old and new sizes and
    // the answer is true. When the old bitmap was selected in this DC, the new one takes its place.
    // When GDI cannot make the larger bitmap, the old one stays and the answer is false.
    bool GrowBitmap(HDC dc, int width, int height);

    // Makes the bitmaps: GDI's CreateCompatibleBitmap (tests count or refuse them).
    static HBITMAP(WINAPI* createBitmap)(HDC dc, int width, int height);

    CBitmap bitmap;
    int32_t maxWidth = 0;
    int32_t maxHeight = 0;
};

class HRotateDC : public HShadowDC {
public:
    // angle 0, 90, 180 or 270 (clockwise as seen in the target). Draw at (0, 0) upright: the surface
    // is (bottom - top) x (right - left) for the quarter turns, else (right - left) x (bottom - top),
    // and it starts out holding the target's pixels turned back.
    HRotateDC(CDC* target, int left, int top, int right, int bottom, int angle);
    ~HRotateDC() override;

    // The upright surface's size.
    int Width() const { return maxWidth; }
    int Height() const { return maxHeight; }

    CDC* target;
    RECT area;
    int32_t angle;
    HGDIOBJ oldBitmap = nullptr;
};

// A memory DC of one exact size, its bitmap selected from Create to destruction. leftSkip and
// rightSkip are columns that the owner leaves out when copying it to the screen.
class MemoryDC : public CDC {
public:
    MemoryDC() = default;
    ~MemoryDC() override;

    bool Create(HDC dc, int width, int height);

    CBitmap bitmap;
    HGDIOBJ oldBitmap = nullptr;
    int32_t height = 0;
    int32_t width = 0;
    int32_t leftSkip = 0;
    int32_t rightSkip = 0;
};

// Where PlgBlt would put a source's upper-left, upper-right and lower-left corners to turn it into
// the rectangle: 90 gives (right, top), (right, bottom), (left, top); 270 gives (left, bottom),
// (left, top), (right, bottom). One buffer serves every caller; other angles leave it as it was.
const POINT* RotateRect(const RECT& rectangle, int angle);
