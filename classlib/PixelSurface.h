#pragma once
// A memory DC drawing into a 32-bit top-down DIB section whose pixels can be read and written
// directly: the ground of pixel checks in tests, of rotated copies and of screenshots.

#include "classlib/DC.h"
#include "classlib/GdiObject.h"

#include <windows.h>

#include <cstdint>
#include <string>

class PixelSurface : public CDC {
public:
    PixelSurface() = default;
    PixelSurface(int width, int height) { Create(width, height); }
    ~PixelSurface() override;

    // A new surface of that size, filled with black; false for an empty size or when GDI refuses.
    bool Create(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Pixels as 0x00RRGGBB words, rows from the top. GDI's pending drawing is flushed first.
    const uint32_t* Bits() const;
    uint32_t* Bits();
    // COLORREF of a pixel; CLR_INVALID outside the surface.
    COLORREF Pixel(int x, int y) const;
    void SetPixelColour(int x, int y, COLORREF colour);

    // How many pixels of the rectangle (clipped to the surface) have exactly this colour.
    int CountColour(const RECT& area, COLORREF colour) const;
    // Copies a rectangle of another DC into the surface at (0, 0), resizing it to the rectangle.
    bool CopyFrom(HDC source, const RECT& area);

    // Writes the surface as a 24-bit uncompressed BMP or PNG file.
    bool SaveBmp(const std::wstring& path) const;
    bool SavePng(const std::wstring& path) const;

private:
    CBitmap bitmap_;
    uint32_t* bits_ = nullptr;
    int width_ = 0, height_ = 0;
};

// Swaps COLORREF (0x00BBGGRR) and surface pixel (0x00RRGGBB) order.
inline uint32_t SwapRedBlue(uint32_t value)
{
    return ((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF);
}
