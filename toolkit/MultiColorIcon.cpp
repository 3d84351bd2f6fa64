#include "toolkit/MultiColorIcon.h"

#include "classlib/GdiObject.h"
#include "toolkit/ImageLists.h"

MultiColorIcon::~MultiColorIcon()
{
    Release();
}

void MultiColorIcon::Release()
{
    for (Entry& e : cache)
        ::DestroyIcon(e.icon);
    cache.clear();
    loadFailed_ = false;
}

void MultiColorIcon::SetSource(const wchar_t* name, COLORREF base, int size)
{
    Release();
    resourceName = name;
    baseColour = base;
    iconSize = size;
}

bool MultiColorIcon::LoadBase()
{
    if (!cache.empty())
        return true;
    if (loadFailed_ || resourceName.empty() || iconSize <= 0)
        return false;
    HINSTANCE module = ::GetModuleHandleW(nullptr);
    auto icon = static_cast<HICON>(
        ::LoadImageW(module, resourceName.c_str(), IMAGE_ICON, iconSize, iconSize, LR_DEFAULTCOLOR));
    if (!icon) {
        // Artwork kept as a bitmap (white transparent) serves as well.
        CBitmap bitmap;
        CImageList list;
        if (bitmap.LoadBitmap(resourceName.c_str()) && ImageListFromBitmap(bitmap, list) > 0)
            icon = list.ExtractIcon(0);
    }
    if (!icon) {
        loadFailed_ = true;
        return false;
    }
    cache.push_back(Entry{icon, iconSize, baseColour});
    return true;
}

HICON MultiColorIcon::GetIcon(COLORREF colour)
{
    if (!LoadBase())
        return nullptr;
    for (const Entry& e : cache)
        if (e.key == colour)
            return e.icon;
    CImageList list;
    if (!list.Create(iconSize, iconSize, ILC_COLOR24 | ILC_MASK, 1, 1) || list.Add(cache.front().icon) < 0)
        return nullptr;
    ImageListReplaceColor(list, 0, 0, 0x7FFF, 0x7FFF, baseColour, colour);
    HICON icon = list.ExtractIcon(0);
    if (!icon)
        return nullptr;
    cache.push_back(Entry{icon, iconSize, colour});
    return icon;
}

void MultiColorIcon::Draw(HDC dc, int left, int top, int right, int bottom, COLORREF colour)
{
    HICON icon = GetIcon(colour);
    if (!icon)
        return;
    int x = left + (right - left - iconSize) / 2, y = top + (bottom - top - iconSize) / 2;
    ::DrawIconEx(dc, x, y, icon, iconSize, iconSize, 0, nullptr, DI_NORMAL);
}
