#pragma once
// GDI objects: each wrapper owns its handle and deletes it on destruction, except stock objects.

#include <windows.h>

// Restores the DC's previous object when the scope ends.
class SelectGdi {
public:
    SelectGdi(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
    ~SelectGdi() { ::SelectObject(dc_, old_); }
    SelectGdi(const SelectGdi&) = delete;
    SelectGdi& operator=(const SelectGdi&) = delete;
private:
    HDC dc_; HGDIOBJ old_;
};

class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ GetSafeHandle() const { return handle_; }
    bool IsNull() const { return handle_ == nullptr; }
    // Takes ownership of a handle (a previous one is deleted first).
    void Attach(HGDIOBJ handle);
    HGDIOBJ Detach();
    // Deletes the object now; false when there was none or GDI refused (still selected somewhere).
    bool DeleteObject();
    // A stock object (GetStockObject index): held, never deleted.
    bool CreateStockObject(int index);
    int GetObject(int size, void* buffer) const { return ::GetObjectW(handle_, size, buffer); }

protected:
    bool Take(HGDIOBJ handle) { Attach(handle); return handle != nullptr; }

private:
    HGDIOBJ handle_ = nullptr;
    bool stock_ = false;
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
    bool CreatePen(int style, int width, COLORREF colour) { return Take(::CreatePen(style, width, colour)); }
    operator HPEN() const { return static_cast<HPEN>(GetSafeHandle()); }
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
    bool CreateSolidBrush(COLORREF colour) { return Take(::CreateSolidBrush(colour)); }
    bool CreateHatchBrush(int hatch, COLORREF colour) { return Take(::CreateHatchBrush(hatch, colour)); }
    bool CreatePatternBrush(HBITMAP bitmap) { return Take(::CreatePatternBrush(bitmap)); }
    operator HBRUSH() const { return static_cast<HBRUSH>(GetSafeHandle()); }
};

class CFont : public CGdiObject {
public:
    bool CreateFontIndirect(const LOGFONTW& font) { return Take(::CreateFontIndirectW(&font)); }
    // Size in tenths of a point, converted through the DC's vertical resolution (the screen's when
    // dc is null); character set DEFAULT_CHARSET, normal weight.
    bool CreatePointFont(int tenths, const wchar_t* face, HDC dc = nullptr);
    // As CreatePointFont, with lfHeight of the given record read as tenths of a point.
    bool CreatePointFontIndirect(const LOGFONTW& font, HDC dc = nullptr);
    bool GetLogFont(LOGFONTW* font) const { return GetObject(sizeof(*font), font) == sizeof(*font); }
    operator HFONT() const { return static_cast<HFONT>(GetSafeHandle()); }

    // The negative LOGFONT height (character height) of a size in tenths of a point.
    static int HeightOfTenths(int tenths, HDC dc = nullptr);
};

class CBitmap : public CGdiObject {
public:
    bool CreateCompatibleBitmap(HDC dc, int width, int height) {
        return Take(::CreateCompatibleBitmap(dc, width, height));
    }
    bool CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
        return Take(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
    }
    // A bitmap resource of the program (LoadImage, so colours stay as stored).
    bool LoadBitmap(UINT id) { return LoadBitmap(MAKEINTRESOURCEW(id)); }
    bool LoadBitmap(const wchar_t* name);
    bool GetBitmap(BITMAP* info) const { return GetObject(sizeof(*info), info) == sizeof(*info); }
    SIZE GetSize() const;
    operator HBITMAP() const { return static_cast<HBITMAP>(GetSafeHandle()); }
};
