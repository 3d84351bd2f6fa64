#pragma once
// Zone lines: the template of one row of a multi-zone pane. A pane keeps a few lines (a header, a row
// line) and fills one with the data of each visible row before drawing it; it never keeps a line per
// row. A line owns its zones; a zone shared with the header line (AddSharedZone) lives until its last
// holder goes.

#include "core/StringW.h"
#include "toolkit/BZone.h"

#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>

class BMultiZone;
class BMultiList;

struct ZoneLineWidths {
    int32_t width = 0;       // the row's drawn width
    int32_t lastWidth = 0;   // the visible width of the last zone
};

class BZoneLine {
public:
    explicit BZoneLine(int reserve = 0);
    virtual ~BZoneLine();
    BZoneLine(const BZoneLine&) = delete;
    BZoneLine& operator=(const BZoneLine&) = delete;

    // Builds the line's zones; the pane calls it once when the line is added.
    virtual void CreateZones(BMultiZone* pane) = 0;
    // Fills the zones from one item of the pane's data (row is set first).
    virtual void SetData(const void* item) = 0;
    virtual ZoneLineWidths Draw(CDC& dc, int row, int left, int top, int right, int bottom, bool highlighted);

    void AddZone(BZone* zone);
    // A separator in that bar colour sizing the last zone (none when that zone is fixed).
    ZoneSeparator* AddSeparator(COLORREF barColor);
    // The same in the pane's separator colour.
    ZoneSeparator* AddSeparator(BMultiZone* pane);
    // Shares the zone with that id of another line (the header), and the separator after it there.
    BZone* AddSharedZone(BZoneLine& from, int id);
    // The same from the pane's first line.
    BZone* AddSharedZone(BMultiZone* pane, int id);
    BZone* ZoneById(int id) const;
    int IndexOfId(int id) const;
    // The last zone hit at the point, else the nil zone.
    BZone* ZoneAtPoint(int x, int y);
    // The visible zone with the same left edge and the same separator-ness; the zone itself when none.
    BZone* CorrespondingZone(BZone* zone);
    // Hides or shows the zone and the separator right after it; the previous state (false if none).
    bool SetZoneHidden(int id, bool hide);
    int32_t PlaceZones(RECT running);
    int32_t TotalVisibleWidth() const;
    int32_t TotalMaxWidth() const;

    void SetBackColors(COLORREF colour);
    void SetMatchColors(COLORREF colour);
    void SetHighlightColors(COLORREF colour);
    void SetTextColors(COLORREF colour);
    void SetRowMark(int32_t mark);
    void SetFont(CFont* font);

    int ZoneCount() const { return static_cast<int>(zones.size()); }
    BZone* ZoneAt(int i) const { return zones[static_cast<size_t>(i)]; }

    std::vector<BZone*> zones;
    ZoneNil nil;
    int32_t lineHeight = 0;
    StringW searchText;
    BMultiZone* owner = nullptr;
    int32_t row = -1;
};

// The line of a list: every zone paired with its column title.
class BMultiListLine : public BZoneLine {
public:
    explicit BMultiListLine(int columns);

    // Appends a column; nothing shows until Attach.
    void AddColumn(const wchar_t* title, BZone* zone);
    // Adds the zones with their separators and gives the titles to the list's header.
    void Attach(BMultiList* list);
    BZone* ColumnZone(int id) const;
    // 0 for a hidden column, else its visible width plus 1 for the separator after it.
    int32_t ColumnWidth(int id) const;
    // Whether a column of these flags gets a separator after it.
    static bool HasSeparator(uint32_t flags);

    std::vector<std::pair<const wchar_t*, BZone*>> columns;
};
