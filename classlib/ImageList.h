#pragma once
// Image lists (COMCTL32) with access to their pixels as a 24-bit DIB.

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <vector>

// A 24-bit pixel buffer as GDI keeps DIBs: blue, green, red bytes, rows padded to 4 bytes, stored
// bottom-up (the last row of the image comes first).
struct DibPixels {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<uint8_t> bits;

    // The row y counted from the top of the image.
    uint8_t* Row(int y) { return bits.data() + static_cast<size_t>(height - 1 - y) * stride; }
    const uint8_t* Row(int y) const { return bits.data() + static_cast<size_t>(height - 1 - y) * stride; }
    COLORREF Pixel(int x, int y) const {
        const uint8_t* p = Row(y) + x * 3;
        return RGB(p[2], p[1], p[0]);
    }
};

class CImageList {
public:
    CImageList() = default;
    virtual ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST GetSafeHandle() const { return list_; }
    operator HIMAGELIST() const { return list_; }
    bool Create(int cx, int cy, UINT flags, int initial, int grow);
    void Attach(HIMAGELIST list) { DeleteImageList(); list_ = list; }
    HIMAGELIST Detach() { HIMAGELIST list = list_; list_ = nullptr; return list; }
    bool DeleteImageList();

    // Adds the images of a bitmap (as many as fit its width), pixels of the mask colour transparent;
    // returns the index of the first one, -1 on failure.
    int Add(HBITMAP bitmap, COLORREF mask) { return ImageList_AddMasked(list_, bitmap, mask); }
    int Add(HICON icon) { return ImageList_ReplaceIcon(list_, -1, icon); }
    bool Remove(int index) { return ImageList_Remove(list_, index) != FALSE; }
    int GetImageCount() const { return ImageList_GetImageCount(list_); }
    SIZE GetIconSize() const;
    COLORREF SetBkColor(COLORREF colour) { return ImageList_SetBkColor(list_, colour); }
    bool Draw(HDC dc, int index, int x, int y, UINT style) {
        return ImageList_Draw(list_, index, dc, x, y, style) != FALSE;
    }
    // A new icon of one image; the caller destroys it.
    HICON ExtractIcon(int index) const { return ImageList_GetIcon(list_, index, ILD_NORMAL); }

    // The pixels of the list's whole image bitmap (its layout of images and spare room is COMCTL32's)
    // as 24 bits; false when the list is empty or the bitmap cannot be read.
    bool ReadPixels(DibPixels& pixels) const;
    // Writes such a buffer (of the size ReadPixels gave) back into the list's image bitmap.
    bool WritePixels(const DibPixels& pixels);

private:
    HBITMAP ImageBitmap() const;
    HIMAGELIST list_ = nullptr;
};
