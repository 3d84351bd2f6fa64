#pragma once
// Quarter-turn copies done on DIB pixels: Wine's PlgBlt and world-transform blits do not rotate.

#include <windows.h>

#include <cstdint>

// Turns a width x height pixel block clockwise by angle (0, 90, 180 or 270; any multiple of 90,
// negative ones too) into dst, which becomes height x width for 90 and 270. False for other angles.
bool RotatePixels(const uint32_t* src, int width, int height, int angle, uint32_t* dst);

// Copies the sw x sh rectangle of source at (sx, sy) into target at (x, y) turned clockwise by angle:
// a quarter turn lands the source's top row on the destination's right column (upper-left corner at
// the upper right), as PlgBlt would with the points (right, top), (right, bottom), (left, top).
// The destination is sh x sw for 90 and 270. False for an empty rectangle or an angle that is not a
// multiple of 90.
bool RotateBlt(HDC target, int x, int y, HDC source, int sx, int sy, int sw, int sh, int angle);
