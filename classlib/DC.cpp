#include "classlib/DC.h"

namespace {

int SelectionSlot(HGDIOBJ object)
{
    switch (::GetObjectType(object)) {
    case OBJ_PEN:
    case OBJ_EXTPEN: return 0;
    case OBJ_BRUSH: return 1;
    case OBJ_FONT: return 2;
    case OBJ_BITMAP: return 3;
    default: return -1;
    }
}

}  // namespace

CDC::~CDC()
{
    DeleteDC();
}

void CDC::Adopt(HDC dc, Ownership ownership, HWND window)
{
    DeleteDC();
    dc_ = dc;
    owner_ = dc ? ownership : Ownership::None;
    window_ = window;
}

void CDC::Attach(HDC dc)
{
    Adopt(dc, Ownership::None);
}

HDC CDC::Detach()
{
    RestoreSelections();
    HDC dc = dc_;
    Forget();
    return dc;
}

bool CDC::CreateCompatibleDC(HDC dc)
{
    Adopt(::CreateCompatibleDC(dc), Ownership::Delete);
    return dc_ != nullptr;
}

void CDC::DeleteDC()
{
    if (!dc_)
        return;
    RestoreSelections();
    if (owner_ == Ownership::Delete)
        ::DeleteDC(dc_);
    else if (owner_ == Ownership::Release)
        ::ReleaseDC(window_, dc_);
    Forget();
}

HGDIOBJ CDC::SelectObject(HGDIOBJ object)
{
    HGDIOBJ old = ::SelectObject(dc_, object);
    int slot = SelectionSlot(object);
    if (old && slot >= 0 && !replaced_[slot])
        replaced_[slot] = old;
    return old;
}

void CDC::RestoreSelections()
{
    for (HGDIOBJ& old : replaced_) {
        if (old && dc_)
            ::SelectObject(dc_, old);
        old = nullptr;
    }
}

SIZE CDC::GetTextExtent(const wchar_t* text, int length) const
{
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(dc_, text, length, &size);
    return size;
}

POINT CDC::MoveTo(int x, int y)
{
    POINT old{0, 0};
    ::MoveToEx(dc_, x, y, &old);
    return old;
}

void CDC::FillSolidRect(const RECT& rect, COLORREF colour)
{
    COLORREF old = ::SetBkColor(dc_, colour);
    ::ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc_, old);
}

void CDC::Draw3dRect(const RECT& r, COLORREF topLeft, COLORREF bottomRight)
{
    int width = r.right - r.left, height = r.bottom - r.top;
    FillSolidRect(r.left, r.top, width - 1, 1, topLeft);
    FillSolidRect(r.left, r.top, 1, height - 1, topLeft);
    FillSolidRect(r.right - 1, r.top, 1, height, bottomRight);
    FillSolidRect(r.left, r.bottom - 1, width, 1, bottomRight);
}

CPaintDC::CPaintDC(HWND window)
{
    Adopt(::BeginPaint(window, &m_ps), Ownership::None, window);
}

CPaintDC::~CPaintDC()
{
    if (!GetSafeHdc())
        return;
    RestoreSelections();
    ::EndPaint(Window(), &m_ps);
    Forget();
}
