#include "toolkit/HShadowDC.h"

#include "classlib/RotateBlt.h"

#include <algorithm>

namespace {

// Only the quarter turns are turns; anything else draws straight through.
int QuarterAngle(int angle)
{
    angle %= 360;
    if (angle < 0)
        angle += 360;
    return angle % 90 == 0 ? angle : 0;
}

}  // namespace

HBITMAP(WINAPI* HShadowDC::createBitmap)(HDC, int, int) = ::CreateCompatibleBitmap;

HShadowDC::~HShadowDC()
{
    DeleteDC();   // puts the DC's own bitmap back first, so ours can be deleted
}

bool HShadowDC::GrowBitmap(HDC dc, int width, int height)
{
    if (!GetSafeHdc())
        CreateCompatibleDC(dc);
    if (width <= maxWidth && height <= maxHeight)
        return false;
    maxWidth = std::max(maxWidth, width);
    maxHeight = std::max(maxHeight, height);
    HGDIOBJ old = bitmap.Detach();
    bool wasSelected = old && GetSafeHdc() && ::GetCurrentObject(GetSafeHdc(), OBJ_BITMAP) == old;
    bitmap.Attach(createBitmap(dc, maxWidth, maxHeight));
    if (bitmap.IsNull()) {
        // Keep what there was; the next paint asks again.
        bitmap.Attach(old);
        maxWidth = maxHeight = 0;
        if (old) {
            BITMAP info{};
            ::GetObjectW(old, sizeof(info), &info);
            maxWidth = info.bmWidth;
            maxHeight = info.bmHeight;
        }
        return false;
    }
    // A selected bitmap cannot be deleted; swap the new one in first.
    if (wasSelected)
        SelectObject(bitmap);
    if (old)
        ::DeleteObject(old);
    return true;
}

HRotateDC::HRotateDC(CDC* targetDc, int left, int top, int right, int bottom, int turn)
    : target(targetDc), area{left, top, right, bottom}, angle(QuarterAngle(turn))
{
    int w = right - left, h = bottom - top;
    if (!target || w <= 0 || h <= 0)
        return;
    bool quarter = angle == 90 || angle == 270;
    GrowBitmap(*target, quarter ? h : w, quarter ? w : h);
    oldBitmap = ::SelectObject(*this, bitmap);
    // PlgBlt does not turn anything under Wine, so the copies go through the pixel rotation.
    if (angle != 0)
        RotateBlt(*this, 0, 0, *target, left, top, w, h, 360 - angle);
}

HRotateDC::~HRotateDC()
{
    if (!oldBitmap)
        return;
    if (angle != 0)
        RotateBlt(*target, area.left, area.top, *this, 0, 0, maxWidth, maxHeight, angle);
    ::SelectObject(*this, oldBitmap);
}

MemoryDC::~MemoryDC()
{
    if (oldBitmap)
        ::SelectObject(*this, oldBitmap);
    DeleteDC();
}

bool MemoryDC::Create(HDC dc, int w, int h)
{
    if (oldBitmap)
        ::SelectObject(*this, oldBitmap);
    oldBitmap = nullptr;
    width = w;
    height = h;
    if (!CreateCompatibleDC(dc) || !bitmap.CreateCompatibleBitmap(dc, w, h))
        return false;
    oldBitmap = ::SelectObject(*this, bitmap);
    return true;
}

const POINT* RotateRect(const RECT& r, int angle)
{
    static POINT points[3] = {};
    switch (angle) {
    case 90:
        points[0] = {r.right, r.top};
        points[1] = {r.right, r.bottom};
        points[2] = {r.left, r.top};
        break;
    case 270:
        points[0] = {r.left, r.bottom};
        points[1] = {r.left, r.top};
        points[2] = {r.right, r.bottom};
        break;
    default:
        break;
    }
    return points;
}
