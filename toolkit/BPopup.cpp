#include "toolkit/BPopup.h"

#include "classlib/DC.h"
#include "toolkit/DrawTools.h"

#include <algorithm>

namespace {

constexpr MessageEntry kBPopupEntries[] = {
    Cracked(WM_PAINT),
    Cracked(WM_LBUTTONDOWN),
    Cracked(WM_LBUTTONUP),
    Cracked(WM_MOUSEMOVE),
};

constexpr COLORREF kPopupGround = RGB(0xF0, 0xF0, 0xF0);

}  // namespace

const MessageMap BPopup::kMessageMap{&CWnd::kMessageMap, kBPopupEntries};

bool BPopup::Create(CWnd* ownerWnd)
{
    owner = ownerWnd;
    focusAfter = nullptr;
    font.CreatePointFont(fontSize * 10, fontFace.c_str());
    const wchar_t* className = RegisterWindowClass(0, ::LoadCursorW(nullptr, IDC_ARROW),
                                                   static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)));
    if (!CreateEx(0, className, L"", WS_POPUP, RECT{0, 0, 0, 0}, owner ? owner->m_hWnd : nullptr, 0))
        return false;
    ModifyStyleEx(0, WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, 0, alpha, LWA_ALPHA);
    return true;
}

void BPopup::SetText(const wchar_t* newText)
{
    text = newText;
    ShowAt();
}

SIZE BPopup::SizeForText(SIZE extent) const
{
    return SIZE{std::max<LONG>(extent.cx + 12, minWidth), extent.cy + 28};
}

void BPopup::ShowAt()
{
    if (!m_hWnd)
        return;
    CClientDC dc(m_hWnd);
    dc.SelectObject(font);
    RECT measure{0, 0, 0, 0};
    dc.DrawText(text, &measure, textFormat | DT_CALCRECT);
    SIZE size = SizeForText(SIZE{measure.right - measure.left, measure.bottom - measure.top});
    if (IsWindowVisible()) {
        SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Invalidate();
        UpdateWindowOnScreen();
        return;
    }
    SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CenterOnOwner();
    ShowWindow(SW_SHOW);
    UpdateWindowOnScreen();
}

void BPopup::CenterOnOwner()
{
    if (!m_hWnd || !owner || !owner->m_hWnd)
        return;
    RECT mine = GetWindowRect(), theirs = owner->GetWindowRect();
    int w = mine.right - mine.left, h = mine.bottom - mine.top;
    int x = theirs.left + (theirs.right - theirs.left) / 2 - w / 2;
    int y = theirs.top + (theirs.bottom - theirs.top) / 2 - h / 2;
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool BPopup::HitTest(int, int)
{
    return false;
}

void BPopup::PaintExtra(HDC, const RECT&)
{
}

void BPopup::OnPaint()
{
    CPaintDC dc(m_hWnd);
    RECT r = GetClientRect();
    dc.FillSolidRect(r, kPopupGround);
    ::InflateRect(&r, -2, -2);
    DrawFrameRect(dc, r.left, r.top, r.right, r.bottom, RGB(0, 0, 0), NULL_BRUSH);
    ::InflateRect(&r, -2, -2);
    RECT textRect = r;
    DrawTextTransparent(dc, text.c_str(), textRect, textColor, textFormat, font);
    PaintExtra(dc, r);
}

void BPopup::OnLButtonDown(UINT, POINT point)
{
    if (HitTest(point.x, point.y))
        return;
    SetCapture();
    pressX = point.x;
    pressY = point.y;
}

void BPopup::OnMouseMove(UINT flags, POINT point)
{
    if (!(flags & MK_LBUTTON) || !HasCapture())
        return;
    RECT r = GetWindowRect();
    SetWindowPos(nullptr, r.left + point.x - pressX, r.top + point.y - pressY, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void BPopup::OnLButtonUp(UINT, POINT)
{
    if (!HasCapture())
        return;
    ::ReleaseCapture();
    if (focusAfter && focusAfter->m_hWnd)
        focusAfter->SetFocus();
}
