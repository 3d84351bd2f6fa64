#pragma once
// Zones that show an icon: a borrowed icon (ZoneIcon), an icon of a colour set (ZoneMultiColorIcon,
// the bookmark flags) and one image of a list loaded from a bitmap strip (BZoneIconList, ZoneRefers).

#include "classlib/ImageList.h"
#include "toolkit/BZone.h"

#include <windows.h>

#include <cstdint>

class MultiColorIcon;

class ZoneIcon : public BZone {
public:
    ZoneIcon(int id, int iconSize, int margin);

    int Draw(CDC& dc, int left, int top, int right, int bottom) override;
    // As BZone's, without the stretch.
    int Place(RECT& running) override;

    HICON icon = nullptr;     // not owned; null draws nothing
    int32_t iconSize;
};

class ZoneMultiColorIcon : public ZoneIcon {
public:
    using ZoneIcon::ZoneIcon;

    // The set the zone takes its icons from.
    virtual MultiColorIcon* GetIconSet();
    // -1 clears the icon (the zone keeps its width); any other colour takes the set's icon.
    void SetColour(COLORREF colour);
    // Gives the set its resource, base colour and this zone's icon size.
    void SetIconSource(const wchar_t* resourceName, COLORREF baseColour);
};

class BZoneIconList : public BZone {
public:
    // With kHatchEmpty and no image the zone is hatched.
    BZoneIconList(int id, uint32_t flags, int margin);

    int Draw(CDC& dc, int left, int top, int right, int bottom) override;
    // The strip of the program's resources; false (and nothing drawn) when it is missing.
    bool LoadBitmap(UINT bitmapId);

    CImageList images;
    int32_t iconSize = 0;
    int32_t imageIndex = -1;
};

// The refers class of a row (image 0 one refer, 1 two to seven, 2 eight or more), from the owner's
// bitmap strip; a click asks the pane for its refers (command 337).
class ZoneRefers : public BZoneIconList {
public:
    static constexpr UINT kReferCommand = 337;
    ZoneRefers(int id, UINT bitmapId);
    void OnClick(BMultiZone* pane, int row, int x) override;
};
