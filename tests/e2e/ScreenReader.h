#pragma once
// What a user sees of a program in another process: its windows and their texts, the tool tip
// under the pointer, the clipboard and the pixels on the screen. Waits poll for a state with a
// timeout; every timeout of the driver is multiplied by its time scale.

#include "classlib/PixelSurface.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// The driver's time scale, read once: TRELVO_E2E_TIME_SCALE (a positive number) sets it; otherwise 5
// where the programs run on an emulated CPU (TRELVO_EMULATED is set), else 1.
double TimeScale();
// A time of the driver (a wait, a timeout, a time budget) multiplied by the time scale.
DWORD Scaled(DWORD ms);

// Polls the condition until it holds (true) or the scaled time is up (false).
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

class ScreenReader {
public:
    explicit ScreenReader(DWORD process = 0) : process_(process) {}
    void SetProcess(DWORD process) { process_ = process; }

    // The visible top-level windows of the process.
    std::vector<HWND> TopWindows() const;
    // A visible top-level window of the process whose title contains the text (any title for null)
    // and whose class is the one given (any for null).
    HWND FindTop(const wchar_t* titlePart, const wchar_t* className = nullptr) const;
    HWND WaitTop(const wchar_t* titlePart, const wchar_t* className, DWORD timeoutMs) const;

    // The first visible descendant with the control id (depth first), else the first hidden one.
    static HWND Child(HWND parent, int id);
    static HWND ChildPath(HWND root, std::initializer_list<int> ids);
    static std::wstring Text(HWND window);
    static std::wstring ClassName(HWND window);
    static RECT ScreenRect(HWND window);
    static bool Visible(HWND window) { return window && ::IsWindowVisible(window); }
    // The window answers a message within the (scaled) time.
    static bool Responsive(HWND window, DWORD timeoutMs);
    // The static texts of a dialog or message box, joined by new lines.
    static std::wstring StaticTexts(HWND dialog);

    // Moves the pointer away, then onto the point, and reads the tool tip that shows there.
    std::wstring ReadTip(POINT where, POINT away, DWORD timeoutMs = 6000) const;
    HWND VisibleTip() const;

    static std::wstring Clipboard();
    // Waits for new text on the clipboard after the sequence number given (without holding the
    // clipboard open meanwhile, so the program can write it) and reads it; empty after the timeout.
    static std::wstring WaitClipboard(DWORD sequence, DWORD timeoutMs = 3000);
    static void ClearClipboard();

    // The pixels of a window (client area when clientOnly) as they stand on the screen.
    static bool Capture(HWND window, PixelSurface& pixels, bool clientOnly = true);
    // The client pixels once they hold still (two captures 100 ms apart agree), to compare later
    // screens with: a repaint still under way (of what a tip or a dialog covered) is waited out.
    // False when they kept changing for the whole time.
    static bool CaptureSettled(HWND window, PixelSurface& pixels, DWORD timeoutMs = 5000);
    // A PNG of the window as on the screen.
    static bool Shot(HWND window, const std::wstring& path);

private:
    DWORD process_;
};

}  // namespace e2e
