#include "classlib/GdiObject.h"

#include <cwchar>

void CGdiObject::Attach(HGDIOBJ handle)
{
    DeleteObject();
    handle_ = handle;
    stock_ = false;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ handle = handle_;
    handle_ = nullptr;
    stock_ = false;
    return handle;
}

bool CGdiObject::DeleteObject()
{
    if (!handle_)
        return false;
    bool deleted = stock_ || ::DeleteObject(handle_) != FALSE;
    handle_ = nullptr;
    stock_ = false;
    return deleted;
}

bool CGdiObject::CreateStockObject(int index)
{
    HGDIOBJ stock = ::GetStockObject(index);
    Attach(stock);
    stock_ = true;
    return stock != nullptr;
}

int CFont::HeightOfTenths(int tenths, HDC dc)
{
    HDC screen = dc ? nullptr : ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(dc ? dc : screen, LOGPIXELSY);
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return -::MulDiv(tenths, dpi, 720);
}

bool CFont::CreatePointFont(int tenths, const wchar_t* face, HDC dc)
{
    LOGFONTW font{};
    font.lfHeight = tenths;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(font.lfFaceName, face ? face : L"", LF_FACESIZE - 1);
    return CreatePointFontIndirect(font, dc);
}

bool CFont::CreatePointFontIndirect(const LOGFONTW& font, HDC dc)
{
    LOGFONTW scaled = font;
    scaled.lfHeight = HeightOfTenths(font.lfHeight, dc);
    return CreateFontIndirect(scaled);
}

bool CBitmap::LoadBitmap(const wchar_t* name)
{
    return Take(::LoadImageW(::GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

SIZE CBitmap::GetSize() const
{
    BITMAP info{};
    if (!GetBitmap(&info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}
