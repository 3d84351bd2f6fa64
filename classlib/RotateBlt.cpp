#include "classlib/RotateBlt.h"

#include "classlib/PixelSurface.h"

namespace {

int NormalAngle(int angle)
{
    angle %= 360;
    return angle < 0 ? angle + 360 : angle;
}

}  // namespace

bool RotatePixels(const uint32_t* src, int width, int height, int angle, uint32_t* dst)
{
    angle = NormalAngle(angle);
    if (angle % 90 != 0)
        return false;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t p = src[y * width + x];
            switch (angle) {
            case 0: dst[y * width + x] = p; break;
            case 90: dst[x * height + (height - 1 - y)] = p; break;
            case 180: dst[(height - 1 - y) * width + (width - 1 - x)] = p; break;
            default: dst[(width - 1 - x) * height + y] = p; break;
            }
        }
    }
    return true;
}

bool RotateBlt(HDC target, int x, int y, HDC source, int sx, int sy, int sw, int sh, int angle)
{
    angle = NormalAngle(angle);
    if (sw <= 0 || sh <= 0 || angle % 90 != 0)
        return false;
    bool quarter = angle == 90 || angle == 270;
    int dw = quarter ? sh : sw, dh = quarter ? sw : sh;
    PixelSurface upright, turned;
    if (!upright.CopyFrom(source, RECT{sx, sy, sx + sw, sy + sh}) || !turned.Create(dw, dh))
        return false;
    RotatePixels(upright.Bits(), sw, sh, angle, turned.Bits());
    return ::BitBlt(target, x, y, dw, dh, turned, 0, 0, SRCCOPY) != FALSE;
}
