#pragma once
// Screenshots for tests and developers: what a user would see of a window or of the whole screen.

#include "classlib/PixelSurface.h"

#include <windows.h>

#include <string>

// The window's pixels, frame included, as it stands on the screen (painted first). With
// clientOnly, the client area alone.
bool CaptureWindow(HWND window, PixelSurface& surface, bool clientOnly = false);
// The whole screen (the virtual desktop).
bool CaptureScreen(PixelSurface& surface);
// Captures the window (the screen when null) into a PNG file.
bool SaveScreenshot(HWND window, const std::wstring& pngPath);
