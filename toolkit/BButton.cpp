#include "toolkit/BButton.h"

#include "classlib/DC.h"
#include "options/BColorTheme.h"
#include "toolkit/BButtonParade.h"
#include "toolkit/DrawTools.h"
#include "toolkit/ToolTip.h"

namespace {

constexpr MessageEntry kBButtonEntries[] = {
    Cracked(WM_LBUTTONDOWN),
    Cracked(WM_PAINT),
    Cracked(WM_ERASEBKGND),
    Cracked(WM_MOUSEMOVE),
    Cracked(WM_MOUSELEAVE),
    Cracked(WM_LBUTTONUP),
};

void Repaint(const CWnd& wnd)
{
    if (wnd.m_hWnd)
        wnd.Invalidate(true);
}

}  // namespace

const MessageMap BButton::kMessageMap{&CWnd::kMessageMap, kBButtonEntries};

BButton::~BButton()
{
    DestroyWindow();
    SetIcons(nullptr, nullptr);
}

void BButton::SetIcons(HICON enabledIcon, HICON greyIcon)
{
    if (icon && icon != enabledIcon)
        ::DestroyIcon(icon);
    if (disabledIcon && disabledIcon != greyIcon)
        ::DestroyIcon(disabledIcon);
    icon = enabledIcon;
    disabledIcon = greyIcon;
}

void BButton::Enable(bool enable)
{
    if (enabled == enable)
        return;
    enabled = enable;
    Repaint(*this);
}

void BButton::SetSize(int)
{
}

int BButton::GetHeight() const
{
    return iconSize + 4;
}

int BButton::GetWidth() const
{
    return iconSize + 4;
}

bool BButton::SetCheck(bool)
{
    return false;
}

void BButton::GetRect(RECT& rect) const
{
    rect = GetClientRect();
}

bool BButton::IsPressed() const
{
    return m_hWnd && HasCapture();
}

void BButton::MoveTo(const RECT& rect, bool repaint)
{
    MoveWindow(rect, repaint);
}

bool BButton::Create(CWnd* command, UINT id, int size)
{
    iconSize = disabledIconSize = size;
    commandWindow = command;
    return CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0}, command ? command->m_hWnd : nullptr, id);
}

bool BButton::IsEffectivelyEnabled() const
{
    return enabled && (!row || row->switchedOn);
}

void BButton::DrawIcon(HDC dc, const RECT& r)
{
    bool grey = !IsWindowEnabled() || !IsEffectivelyEnabled();
    HICON shown = grey ? disabledIcon : icon;
    int size = grey ? disabledIconSize : iconSize;
    if (!shown)
        return;
    RECT square = CentreSquare(r.left, r.top, r.right, r.bottom, size);
    ::DrawIconEx(dc, square.left, square.top, shown, size, size, 0, nullptr, DI_NORMAL);
}

void BButton::PaintGround(HDC dc)
{
    CDC target(dc);
    RECT r = GetClientRect();
    const bool e = IsEffectivelyEnabled();
    if (boxed && !(hot && e)) {
        target.FillSolidRect(r, ThemeColor(1));
        r = CentreSquare(r.left, r.top, r.right, r.bottom, iconSize);
    }
    int colour = 1;
    if (IsPressed())
        colour = 6;
    else if (hot && e)
        colour = 7;
    else if (boxed)
        colour = e ? 8 : 9;
    target.FillSolidRect(r, ThemeColor(colour));
}

BOOL BButton::OnEraseBkgnd(HDC dc)
{
    PaintGround(dc);
    return 1;
}

void BButton::OnPaint()
{
    CPaintDC dc(m_hWnd);
    DrawIcon(dc, GetClientRect());
}

void BButton::OnLButtonDown(UINT, POINT)
{
}

void BButton::OnMouseMove(UINT, POINT)
{
    if (hot)
        return;
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = m_hWnd;
    track.dwHoverTime = HOVER_DEFAULT;
    ::TrackMouseEvent(&track);
    hot = true;
    Repaint(*this);
}

void BButton::OnMouseLeave()
{
    hot = false;
    Repaint(*this);
}

void BButton::OnLButtonUp(UINT, POINT point)
{
    if (!IsEffectivelyEnabled() || !commandWindow || !commandWindow->m_hWnd)
        return;
    RECT r = GetClientRect();
    if (::PtInRect(&r, point))
        ::SendMessageW(commandWindow->m_hWnd, WM_COMMAND, static_cast<WPARAM>(GetDlgCtrlID()),
                       reinterpret_cast<LPARAM>(m_hWnd));
}

INT_PTR BButton::OnToolHitTest(POINT, TOOLINFOW* info) const
{
    if (tipText.empty())
        return -1;
    info->hwnd = m_hWnd;
    info->rect = GetClientRect();
    info->lpszText = WcsDupN(tipText.Length() + 1, tipText.c_str());
    return GetDlgCtrlID();
}

void ButtonClick::OnLButtonDown(UINT, POINT)
{
    if (!IsEffectivelyEnabled())
        return;
    SetCapture();
    Repaint(*this);
}

void ButtonClick::OnLButtonUp(UINT flags, POINT point)
{
    // A button switched off while held still lets go of the mouse.
    if (HasCapture()) {
        ::ReleaseCapture();
        Repaint(*this);
    }
    BButton::OnLButtonUp(flags, point);
}

bool ButtonPush::SetCheck(bool check)
{
    bool old = latched;
    if (old != check) {
        latched = check;
        Repaint(*this);
    }
    return old;
}

bool ButtonPush::IsPressed() const
{
    return latched || BButton::IsPressed();
}

void ButtonPush::OnLButtonUp(UINT flags, POINT point)
{
    if (IsEffectivelyEnabled())
        latched = !latched;
    ButtonClick::OnLButtonUp(flags, point);
}

int ButtonSeparator::GetHeight() const
{
    return horizontal ? iconSize + 4 : 4;
}

int ButtonSeparator::GetWidth() const
{
    return horizontal ? 4 : iconSize + 4;
}

void ButtonSeparator::OnLButtonDown(UINT, POINT)
{
}

void ButtonSeparator::OnPaint()
{
    CPaintDC dc(m_hWnd);
    RECT r = GetClientRect();
    dc.FillSolidRect(r, ThemeColor(1));
    COLORREF line = ThemeColor(2);
    if (horizontal) {
        ::InflateRect(&r, -2, -3);
        DrawLineColor(dc, r.left, r.top, r.left, r.bottom, line);
        DrawLineColor(dc, r.left + 1, r.top, r.left + 1, r.bottom, line);
    } else {
        ::InflateRect(&r, -3, -2);
        DrawLineColor(dc, r.left, r.top, r.right, r.top, line);
        DrawLineColor(dc, r.left, r.top + 1, r.right, r.top + 1, line);
    }
}
