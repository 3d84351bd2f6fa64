#include "classlib/ImageList.h"

namespace {

BITMAPINFO Info24(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;            // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

bool CImageList::Create(int cx, int cy, UINT flags, int initial, int grow)
{
    Attach(ImageList_Create(cx, cy, flags, initial, grow));
    return list_ != nullptr;
}

bool CImageList::DeleteImageList()
{
    if (!list_)
        return false;
    bool ok = ImageList_Destroy(list_) != FALSE;
    list_ = nullptr;
    return ok;
}

SIZE CImageList::GetIconSize() const
{
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list_, &cx, &cy);
    return SIZE{cx, cy};
}

HBITMAP CImageList::ImageBitmap() const
{
    IMAGEINFO info{};
    if (!list_ || GetImageCount() <= 0 || !ImageList_GetImageInfo(list_, 0, &info))
        return nullptr;
    return info.hbmImage;
}

bool CImageList::ReadPixels(DibPixels& pixels) const
{
    HBITMAP bitmap = ImageBitmap();
    BITMAP bm{};
    if (!bitmap || ::GetObjectW(bitmap, sizeof(bm), &bm) != sizeof(bm))
        return false;
    int width = bm.bmWidth, height = bm.bmHeight;
    pixels.width = width;
    pixels.height = height;
    pixels.stride = (width * 3 + 3) & ~3;
    pixels.bits.assign(static_cast<size_t>(pixels.stride) * height, 0);
    BITMAPINFO info = Info24(width, height);
    HDC screen = ::GetDC(nullptr);
    int rows = ::GetDIBits(screen, bitmap, 0, height, pixels.bits.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return rows == height;
}

bool CImageList::WritePixels(const DibPixels& pixels)
{
    HBITMAP bitmap = ImageBitmap();
    BITMAP bm{};
    if (!bitmap || ::GetObjectW(bitmap, sizeof(bm), &bm) != sizeof(bm) || pixels.width != bm.bmWidth ||
        pixels.height != bm.bmHeight || pixels.stride != ((pixels.width * 3 + 3) & ~3) ||
        pixels.bits.size() < static_cast<size_t>(pixels.stride) * pixels.height)
        return false;
    BITMAPINFO info = Info24(pixels.width, pixels.height);
    HDC screen = ::GetDC(nullptr);
    int rows = ::SetDIBits(screen, bitmap, 0, pixels.height, pixels.bits.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return rows == pixels.height;
}
