#include "classlib/Screenshot.h"

bool CaptureWindow(HWND window, PixelSurface& surface, bool clientOnly)
{
    if (!::IsWindow(window))
        return false;
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN |
                   RDW_UPDATENOW);
    RECT area{};
    if (clientOnly) {
        ::GetClientRect(window, &area);
        CClientDC dc(window);
        return surface.CopyFrom(dc, area);
    }
    RECT frame{};
    ::GetWindowRect(window, &frame);
    area = RECT{0, 0, frame.right - frame.left, frame.bottom - frame.top};
    CWindowDC dc(window);
    return surface.CopyFrom(dc, area);
}

bool CaptureScreen(PixelSurface& surface)
{
    RECT area{::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    area.right = area.left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    area.bottom = area.top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    CClientDC screen(nullptr);
    return surface.CopyFrom(screen, area);
}

bool SaveScreenshot(HWND window, const std::wstring& pngPath)
{
    PixelSurface surface;
    bool captured = window ? CaptureWindow(window, surface) : CaptureScreen(surface);
    return captured && surface.SavePng(pngPath);
}
