#pragma once
// What the display shows, read from outside Wine: the X server's own pixels, taken by a Linux program
// (ImageMagick's import). A window's DC inside Wine reads the window's surface, which may hold a paint
// that never reached the screen (Wine copies surfaces out when the thread goes idle). Outside Wine the
// screen DC is read instead. Read may run on a second thread while the window's thread is busy.

#include "classlib/PixelSurface.h"

#include <windows.h>

#include <functional>

namespace display {

// The screen rectangle as the display shows it, into `pixels` (resized to the rectangle).
bool Read(const RECT& screenArea, PixelSurface& pixels);
// A window's client area (its whole frame when clientOnly is false) as the display shows it.
bool ReadWindow(HWND window, PixelSurface& pixels, bool clientOnly = true);
// One pixel at a screen point; CLR_INVALID when it could not be read.
COLORREF Pixel(POINT screenPoint);
// Runs `pump` (the test's message loop) until the display shows the window's client area as `shows`
// wants it; false when it still does not after a bound that a loaded machine passes too, or when the
// display cannot be read.
bool PumpUntilShown(HWND window, const std::function<void()>& pump,
                    const std::function<bool(const PixelSurface&)>& shows);

}  // namespace display
