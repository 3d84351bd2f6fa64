#pragma once
// One tool-tip control for all panes of a window: the window's tool hit test finds the deepest
// visible child under the pointer and asks it for the tip; each child may have a font of its own.
//
//   toolTip.Create(mainWindow);                          // installs the control for the thread
//   toolTip.fonts.Set(nullptr, 9, L"Tahoma");            // every window without its own
//   INT_PTR VApp::OnToolHitTest(POINT p, TOOLINFOW* ti) const { return toolTip.HitTest(p.x, p.y, ti); }

#include "classlib/CWnd.h"
#include "classlib/GdiObject.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

// Fonts registered by window (a null window: the font of every window without one of its own).
class FontCache {
public:
    struct Entry {
        HWND key = nullptr;
        CFont font;
    };

    // Replaces the window's font by a new one of `points` in `face`.
    void Set(HWND window, int points, const wchar_t* face);
    void Remove(HWND window);
    // The entry of the window, else the one of key 0, else -1.
    int Find(HWND window) const;
    HFONT Font(int index) const;
    void Clear();

    std::vector<std::unique_ptr<Entry>> fonts;
    int32_t currentFont = -1;
    // The control the current font is given to; it lets go of a font before the font is deleted.
    HWND control = nullptr;

private:
    void Erase(size_t index);
};

class ToolTip {
public:
    ToolTip() = default;
    ~ToolTip();
    ToolTip(const ToolTip&) = delete;
    ToolTip& operator=(const ToolTip&) = delete;

    // A tool-tip control for the window, installed as the thread's; false (and nothing changed) when
    // the control cannot be made.
    bool Create(CWnd* window);
    // The tip under a client point of the window: the deepest visible child beneath it answers.
    // -1 when the point is over no child or the child has no tip.
    INT_PTR HitTest(int x, int y, TOOLINFOW* toolInfo);
    // Gives the control the font registered for the window.
    void SelectFont(HWND window);
    // Deletes the fonts and the control, and puts the thread's previous tool tip back.
    void Clear();

    CWnd* Control() const { return control_.get(); }

    FontCache fonts;
    CWnd* savedTip = nullptr;

private:
    void ReleaseControl();
    std::unique_ptr<CWnd> control_;
    HWND window_ = nullptr;
    bool installed_ = false;
};

// A malloc'ed copy of at most n - 1 characters of the text plus the terminator (a null text copies as
// empty); null when n < 1 or memory runs out. Tool-tip texts are handed over this way.
wchar_t* WcsDupN(int n, const wchar_t* text);
// A malloc'ed text made by printf-style formatting ("%s" is wide); null when memory runs out.
wchar_t* TextFormat(const wchar_t* format, ...);
