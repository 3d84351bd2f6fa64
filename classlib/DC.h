#pragma once
// Device contexts. A CDC remembers what each first selection of a pen, brush, font or bitmap replaced
// and puts it back before the DC is released, deleted or detached, so objects we made are never left
// selected in a DC that outlives them.

#include "classlib/GdiObject.h"

#include <windows.h>

#include <string>

class CDC {
public:
    CDC() = default;
    // Wraps a DC owned elsewhere (for example WM_ERASEBKGND's); it is not deleted.
    explicit CDC(HDC attached) { Attach(attached); }
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC GetSafeHdc() const { return dc_; }
    operator HDC() const { return dc_; }

    // Attach: not owned. Detach restores the selections and hands the handle back.
    void Attach(HDC dc);
    HDC Detach();
    // A memory DC (owned) compatible with dc (the screen when null).
    bool CreateCompatibleDC(HDC dc);
    // Restores the selections and deletes an owned DC; an attached one is only let go.
    void DeleteDC();

    HGDIOBJ SelectObject(HGDIOBJ object);
    HGDIOBJ SelectObject(const CGdiObject& object) { return SelectObject(object.GetSafeHandle()); }
    HGDIOBJ SelectStockObject(int index) { return SelectObject(::GetStockObject(index)); }
    // Puts back every object the first selections replaced.
    void RestoreSelections();

    COLORREF SetTextColor(COLORREF colour) { return ::SetTextColor(dc_, colour); }
    COLORREF GetTextColor() const { return ::GetTextColor(dc_); }
    COLORREF SetBkColor(COLORREF colour) { return ::SetBkColor(dc_, colour); }
    COLORREF GetBkColor() const { return ::GetBkColor(dc_); }
    int SetBkMode(int mode) { return ::SetBkMode(dc_, mode); }
    int SetROP2(int mode) { return ::SetROP2(dc_, mode); }
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(dc_, index); }

    bool TextOut(int x, int y, const std::wstring& text) {
        return ::TextOutW(dc_, x, y, text.c_str(), static_cast<int>(text.size())) != FALSE;
    }
    bool ExtTextOut(int x, int y, UINT options, const RECT* rect, const wchar_t* text, int length) {
        return ::ExtTextOutW(dc_, x, y, options, rect, text, length, nullptr) != FALSE;
    }
    int DrawText(const wchar_t* text, int length, RECT* rect, UINT format) {
        return ::DrawTextW(dc_, text, length, rect, format);
    }
    int DrawText(const std::wstring& text, RECT* rect, UINT format) {
        return DrawText(text.c_str(), static_cast<int>(text.size()), rect, format);
    }
    SIZE GetTextExtent(const wchar_t* text, int length) const;
    SIZE GetTextExtent(const std::wstring& text) const {
        return GetTextExtent(text.c_str(), static_cast<int>(text.size()));
    }
    bool GetTextMetrics(TEXTMETRICW* metrics) const { return ::GetTextMetricsW(dc_, metrics) != FALSE; }

    POINT MoveTo(int x, int y);
    bool LineTo(int x, int y) { return ::LineTo(dc_, x, y) != FALSE; }
    bool Rectangle(int left, int top, int right, int bottom) {
        return ::Rectangle(dc_, left, top, right, bottom) != FALSE;
    }
    bool Rectangle(const RECT& r) { return Rectangle(r.left, r.top, r.right, r.bottom); }
    bool Ellipse(int left, int top, int right, int bottom) {
        return ::Ellipse(dc_, left, top, right, bottom) != FALSE;
    }
    bool Polygon(const POINT* points, int count) { return ::Polygon(dc_, points, count) != FALSE; }
    bool Polyline(const POINT* points, int count) { return ::Polyline(dc_, points, count) != FALSE; }
    COLORREF SetPixel(int x, int y, COLORREF colour) { return ::SetPixel(dc_, x, y, colour); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(dc_, x, y); }

    bool FillRect(const RECT& rect, HBRUSH brush) { return ::FillRect(dc_, &rect, brush) != 0; }
    // Fills with a colour; the background colour is left as it was.
    void FillSolidRect(const RECT& rect, COLORREF colour);
    void FillSolidRect(int x, int y, int width, int height, COLORREF colour) {
        FillSolidRect(RECT{x, y, x + width, y + height}, colour);
    }
    // A 1-pixel frame: top and left in one colour, bottom and right in the other.
    void Draw3dRect(const RECT& rect, COLORREF topLeft, COLORREF bottomRight);
    bool FrameRect(const RECT& rect, HBRUSH brush) { return ::FrameRect(dc_, &rect, brush) != 0; }
    bool InvertRect(const RECT& rect) { return ::InvertRect(dc_, &rect) != FALSE; }
    bool DrawEdge(RECT* rect, UINT edge, UINT flags) { return ::DrawEdge(dc_, rect, edge, flags) != FALSE; }
    bool DrawFocusRect(const RECT& rect) { return ::DrawFocusRect(dc_, &rect) != FALSE; }
    bool DrawIcon(int x, int y, HICON icon, int size, UINT flags = DI_NORMAL) {
        return ::DrawIconEx(dc_, x, y, icon, size, size, 0, nullptr, flags) != FALSE;
    }

    bool BitBlt(int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop = SRCCOPY) {
        return ::BitBlt(dc_, x, y, width, height, source, sx, sy, rop) != FALSE;
    }
    bool StretchBlt(int x, int y, int width, int height, HDC source, int sx, int sy, int sw, int sh,
                    DWORD rop = SRCCOPY) {
        return ::StretchBlt(dc_, x, y, width, height, source, sx, sy, sw, sh, rop) != FALSE;
    }
    bool PatBlt(int x, int y, int width, int height, DWORD rop) {
        return ::PatBlt(dc_, x, y, width, height, rop) != FALSE;
    }

    int IntersectClipRect(const RECT& r) { return ::IntersectClipRect(dc_, r.left, r.top, r.right, r.bottom); }
    int SelectClipRgn(HRGN region) { return ::SelectClipRgn(dc_, region); }

protected:
    enum class Ownership { None, Delete, Release };
    void Adopt(HDC dc, Ownership ownership, HWND window = nullptr);
    // Drops the handle without releasing it (the subclass released it).
    void Forget() { dc_ = nullptr; owner_ = Ownership::None; window_ = nullptr; }
    HWND Window() const { return window_; }

private:
    HDC dc_ = nullptr;
    Ownership owner_ = Ownership::None;
    HWND window_ = nullptr;
    HGDIOBJ replaced_[4] = {};        // pen, brush, font, bitmap that the first selections replaced
};

// BeginPaint/EndPaint for WM_PAINT.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND window);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};
};

// GetDC/ReleaseDC of a window's client area.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND window) { Adopt(::GetDC(window), Ownership::Release, window); }
    // GetDCEx with its DCX_ flags (DCX_CACHE alone: no clipping of the children).
    CClientDC(HWND window, DWORD flags) { Adopt(::GetDCEx(window, nullptr, flags), Ownership::Release, window); }
};

// GetWindowDC/ReleaseDC: the whole window, frame included.
class CWindowDC : public CDC {
public:
    explicit CWindowDC(HWND window) { Adopt(::GetWindowDC(window), Ownership::Release, window); }
};
