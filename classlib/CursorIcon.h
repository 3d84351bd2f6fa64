#pragma once
// Icons and cursors that we load or make (destroyed with their object), and confining the cursor.

#include <windows.h>

#include <cstdint>

class OwnedIcon {
public:
    OwnedIcon() = default;
    explicit OwnedIcon(HICON icon) : icon_(icon) {}
    ~OwnedIcon() { Destroy(); }
    OwnedIcon(const OwnedIcon&) = delete;
    OwnedIcon& operator=(const OwnedIcon&) = delete;
    OwnedIcon(OwnedIcon&& other) noexcept : icon_(other.Detach()) {}
    OwnedIcon& operator=(OwnedIcon&& other) noexcept;

    HICON Get() const { return icon_; }
    operator HICON() const { return icon_; }
    void Attach(HICON icon) { Destroy(); icon_ = icon; }
    HICON Detach() { HICON icon = icon_; icon_ = nullptr; return icon; }
    void Destroy();

    // An icon resource of the program at size x size pixels (the best of its images, scaled).
    bool Load(const wchar_t* name, int size);
    bool Load(UINT id, int size) { return Load(MAKEINTRESOURCEW(id), size); }
    // A monochrome cursor from AND and XOR masks (rows of width / 8 bytes, a set AND bit keeps the
    // screen, a set XOR bit inverts or paints white).
    bool CreateCursor(int hotX, int hotY, int width, int height, const uint8_t* andMask,
                      const uint8_t* xorMask);
    // The icon's size in pixels; 0 x 0 for none.
    SIZE GetSize() const;

private:
    HICON icon_ = nullptr;
};

// Confines the mouse cursor to a screen rectangle until Release or the end of the scope; the
// previous confinement comes back then.
class CursorClip {
public:
    // The calls that confine and read the confinement. Tests replace them: under Xvfb, Wine's
    // ClipCursor can end the process with an X error once a focused window has been destroyed.
    struct Calls {
        BOOL (WINAPI* clip)(const RECT*);
        BOOL (WINAPI* get)(RECT*);
    };
    // Returns the calls in use before.
    static Calls Replace(const Calls& calls);

    CursorClip() = default;
    explicit CursorClip(const RECT& screenArea) { Confine(screenArea); }
    ~CursorClip() { Release(); }
    CursorClip(const CursorClip&) = delete;
    CursorClip& operator=(const CursorClip&) = delete;

    bool Confine(const RECT& screenArea);
    void Release();
    bool IsActive() const { return active_; }

private:
    RECT previous_{};
    bool active_ = false;
};

// Ends this thread's mouse mode before a modal loop takes over (a dialog, a message box): the window
// holding the capture gets WM_CANCELMODE, where drags end and free the cursor, and the capture goes.
void CancelMouseMode();
