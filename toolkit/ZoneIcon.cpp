#include "toolkit/ZoneIcon.h"

#include "classlib/GdiObject.h"
#include "toolkit/BMultiZone.h"
#include "toolkit/ImageLists.h"
#include "toolkit/MultiColorIcon.h"

ZoneIcon::ZoneIcon(int id, int size, int margin_) : BZone(id, 0, size + 2 * margin_), iconSize(size)
{
    margin = margin_;
}

int ZoneIcon::Draw(CDC& dc, int, int top, int, int bottom)
{
    if (hidden)
        return 0;
    if (icon)
        dc.DrawIcon(rect.left + margin, top + (bottom - top - iconSize) / 2, icon, iconSize);
    return width;
}

int ZoneIcon::Place(RECT& running)
{
    if (hidden)
        return 0;
    rect = running;
    rect.right = running.left + width;
    running.left = rect.right;
    return width;
}

MultiColorIcon* ZoneMultiColorIcon::GetIconSet()
{
    return nullptr;
}

void ZoneMultiColorIcon::SetColour(COLORREF colour)
{
    MultiColorIcon* set = GetIconSet();
    icon = colour == static_cast<COLORREF>(-1) || !set ? nullptr : set->GetIcon(colour);
}

void ZoneMultiColorIcon::SetIconSource(const wchar_t* resourceName, COLORREF baseColour)
{
    if (MultiColorIcon* set = GetIconSet())
        set->SetSource(resourceName, baseColour, iconSize);
}

BZoneIconList::BZoneIconList(int id, uint32_t flags, int margin_) : BZone(id, flags, 2 * margin_)
{
    margin = margin_;
}

bool BZoneIconList::LoadBitmap(UINT bitmapId)
{
    CBitmap bitmap;
    int side = bitmap.LoadBitmap(bitmapId) ? ImageListFromBitmap(bitmap, images) : 0;
    if (side <= 0)
        return false;
    iconSize = side;
    width = maxWidth = side + 2 * margin;
    return true;
}

int BZoneIconList::Draw(CDC& dc, int, int top, int, int bottom)
{
    if (hidden)
        return 0;
    if ((flags & kHatchEmpty) && imageIndex < 0) {
        FillHatched(dc, RECT{rect.left, top, rect.right, bottom});
    } else if (imageIndex >= 0 && images.GetSafeHandle()) {
        images.Draw(dc, imageIndex, rect.left + margin, top + (bottom - top - iconSize + 1) / 2, ILD_TRANSPARENT);
    }
    return width;
}

ZoneRefers::ZoneRefers(int id, UINT bitmapId) : BZoneIconList(id, 0, 2)
{
    LoadBitmap(bitmapId);
}

void ZoneRefers::OnClick(BMultiZone* pane, int, int)
{
    if (pane && pane->m_hWnd)
        pane->SendMessage(WM_COMMAND, kReferCommand, 0);
}
