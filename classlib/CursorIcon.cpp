#include "classlib/CursorIcon.h"

OwnedIcon& OwnedIcon::operator=(OwnedIcon&& other) noexcept
{
    if (this != &other)
        Attach(other.Detach());
    return *this;
}

void OwnedIcon::Destroy()
{
    if (icon_)
        ::DestroyIcon(icon_);
    icon_ = nullptr;
}

bool OwnedIcon::Load(const wchar_t* name, int size)
{
    Attach(static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    return icon_ != nullptr;
}

bool OwnedIcon::CreateCursor(int hotX, int hotY, int width, int height, const uint8_t* andMask,
                             const uint8_t* xorMask)
{
    Attach(::CreateCursor(::GetModuleHandleW(nullptr), hotX, hotY, width, height, andMask, xorMask));
    return icon_ != nullptr;
}

SIZE OwnedIcon::GetSize() const
{
    ICONINFO info{};
    if (!icon_ || !::GetIconInfo(icon_, &info))
        return SIZE{0, 0};
    BITMAP bm{};
    ::GetObjectW(info.hbmMask, sizeof(bm), &bm);
    SIZE size{bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2};
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return size;
}

namespace {

CursorClip::Calls g_clipCalls{::ClipCursor, ::GetClipCursor};

}  // namespace

CursorClip::Calls CursorClip::Replace(const Calls& calls)
{
    Calls old = g_clipCalls;
    g_clipCalls = calls;
    return old;
}

bool CursorClip::Confine(const RECT& screenArea)
{
    if (!active_)
        g_clipCalls.get(&previous_);
    bool confined = g_clipCalls.clip(&screenArea) != FALSE;
    active_ = active_ || confined;
    return confined;
}

void CursorClip::Release()
{
    if (active_)
        g_clipCalls.clip(&previous_);
    active_ = false;
}

void CancelMouseMode()
{
    HWND holder = ::GetCapture();
    if (!holder)
        return;
    ::SendMessageW(holder, WM_CANCELMODE, 0, 0);
    if (::GetCapture() == holder)
        ::ReleaseCapture();
}
