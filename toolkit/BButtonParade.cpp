#include "toolkit/BButtonParade.h"

#include "classlib/GdiObject.h"
#include "options/BColorTheme.h"
#include "toolkit/BButton.h"
#include "toolkit/ImageLists.h"

#include <algorithm>

BButtonParade::~BButtonParade()
{
    for (BButton* button : buttons)
        delete button;
    buttons.clear();
}

bool BButtonParade::Create(CWnd* ownerWnd, UINT bitmapId)
{
    owner = ownerWnd;
    commandWindow = nullptr;
    if (owner && owner->m_hWnd) {
        commandWindow = CWnd::FromHandle(owner->GetParent());
        if (bitmapId == 0)
            bitmapId = static_cast<UINT>(owner->GetDlgCtrlID());
    }
    CBitmap strip;
    if (!strip.LoadBitmap(bitmapId) || ImageListFromBitmap(strip, icons) <= 0)
        return false;
    iconSize = strip.GetSize().cy;
    disabledIcons.Attach(ImageList_Duplicate(icons));
    if (boxed) {
        ImageListReplaceColor(icons, 0, 0, 0x7FFF, 0x7FFF, RGB(0, 0, 0), ThemeColor(1));
        ImageListReplaceColor(disabledIcons, 0, 0, 0x7FFF, 0x7FFF, RGB(0, 0, 0), RGB(128, 128, 128));
    } else {
        ImageListMakeGrey(disabledIcons);
    }
    return true;
}

BButton* BButtonParade::AddClickButton(UINT id, const wchar_t* tip, bool enabled)
{
    auto* button = new ButtonClick;
    button->Create(owner, id, iconSize);
    return AddButton(button, tip, enabled);
}

BButton* BButtonParade::AddPushButton(UINT id, const wchar_t* tip, bool enabled)
{
    auto* button = new ButtonPush;
    button->Create(owner, id, iconSize);
    return AddButton(button, tip, enabled);
}

BButton* BButtonParade::AddButton(BButton* button, const wchar_t* tip, bool enabled)
{
    if (!button)
        return nullptr;
    if (button->HasIcon()) {
        int n = imageButtons_++;
        HICON enabledIcon = n < icons.GetImageCount() ? icons.ExtractIcon(n) : nullptr;
        HICON greyIcon = n < disabledIcons.GetImageCount() ? disabledIcons.ExtractIcon(n) : nullptr;
        button->SetIcons(enabledIcon, greyIcon);
    }
    button->row = this;
    button->commandWindow = commandWindow;
    button->tipText = tip;
    button->horizontal = horizontal;
    button->boxed = boxed;
    button->Enable(enabled);
    buttons.push_back(button);
    return button;
}

BButton* BButtonParade::AddSeparator()
{
    auto* separator = new ButtonSeparator;
    separator->Create(owner, 0, iconSize);
    separator->horizontal = horizontal;
    buttons.push_back(separator);
    return separator;
}

BButton* BButtonParade::FindButton(UINT id) const
{
    for (BButton* button : buttons)
        if (button->m_hWnd && static_cast<UINT>(button->GetDlgCtrlID()) == id && !dynamic_cast<ButtonSeparator*>(button))
            return button;
    return nullptr;
}

bool BButtonParade::GetCheck(UINT id) const
{
    BButton* button = FindButton(id);
    return button && button->GetCheck();
}

bool BButtonParade::Check(UINT id, bool check)
{
    BButton* button = FindButton(id);
    return button && button->SetCheck(check);
}

void BButtonParade::Enable(UINT id, bool enable)
{
    if (BButton* button = FindButton(id))
        button->Enable(enable);
}

bool BButtonParade::IsButtonEnabled(UINT id) const
{
    if (!switchedOn)
        return false;
    BButton* button = FindButton(id);
    return button && button->IsEffectivelyEnabled();
}

void BButtonParade::SwitchOn(bool on)
{
    if (switchedOn == on)
        return;
    switchedOn = on;
    for (BButton* button : buttons)
        if (button->m_hWnd)
            button->Invalidate(true);
}

void BButtonParade::SetHorizontal(bool h)
{
    horizontal = h;
    for (BButton* button : buttons)
        button->horizontal = h;
}

bool BButtonParade::Shown(const BButton& button)
{
    return button.m_hWnd && (button.GetStyle() & WS_VISIBLE);
}

SIZE BButtonParade::Box(const BButton& button) const
{
    int w = button.GetWidth(), h = button.GetHeight();
    if (horizontal) {
        if (button.TakesMargins())
            w += 2 * marginAlong;
        h += 2 * marginAcross;
    } else {
        w += 2 * marginAlong;
        if (button.TakesMargins())
            h += 2 * marginAcross;
    }
    return SIZE{w, h};
}

int BButtonParade::MeasureLength() const
{
    if (buttons.empty())
        return 0;
    int length = endGap;
    for (const BButton* button : buttons) {
        if (!Shown(*button))
            continue;
        SIZE box = Box(*button);
        length += (horizontal ? box.cx : box.cy) + spacing;
    }
    return length + endGap;
}

int BButtonParade::GetThickness() const
{
    return horizontal ? iconSize + 2 * (sideGap + marginAcross) + 4 : iconSize + 2 * (endGap + marginAlong) + 4;
}

SIZE BButtonParade::GetSize(int available)
{
    if (!horizontal)
        return SIZE{iconSize + 2 * marginAlong + 4 + 2 * sideGap, MeasureLength()};
    if (stretchWindow)
        stretchWindow->SetSize(0);
    SIZE size{MeasureLength(), iconSize + 2 * marginAcross + 4 + 2 * sideGap};
    if (stretchWindow && available > 0)
        stretchWindow->SetSize(available - size.cx);
    return size;
}

int BButtonParade::Layout(int left, int top, int right, int bottom, HDC dc)
{
    if (!visible)
        return 0;
    if (horizontal && stretchWindow)
        GetSize(right - left);
    // Across the row every button takes the same band; along it, its box and then the spacing.
    RECT band = horizontal ? RECT{0, top + sideGap, 0, top + sideGap + iconSize + 2 * marginAcross + 4}
                           : RECT{left + endGap, 0, left + endGap + iconSize + 2 * marginAlong + 4, 0};
    int along = horizontal ? left + endGap : top + sideGap;
    const int limit = horizontal ? right : bottom;
    for (BButton* button : buttons) {
        if (!Shown(*button))
            continue;
        SIZE box = Box(*button);
        int end = along + (horizontal ? box.cx : box.cy);
        if (!button->HasIcon())
            end = std::min(end, limit);
        RECT place = band;
        (horizontal ? place.left : place.top) = along;
        (horizontal ? place.right : place.bottom) = end;
        button->MoveTo(place, true);
        if (dc)
            ::ExcludeClipRect(dc, place.left, place.top, place.right, place.bottom);
        along = end + spacing;
    }
    return along + endGap;
}

void BButtonParade::PaintBackground(HDC dc, const RECT& rect)
{
    CBrush brush(ThemeColor(1));
    ::FillRect(dc, &rect, brush);
}
