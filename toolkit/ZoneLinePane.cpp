// The parts of zones and lines that reach into their pane or list.
#include "toolkit/BMultiList.h"
#include "toolkit/BZoneLine.h"
#include "toolkit/ZoneText.h"

ZoneSeparator* BZoneLine::AddSeparator(BMultiZone* pane)
{
    return AddSeparator(pane ? pane->gridColor : COLORREF(0));
}

BZone* BZoneLine::AddSharedZone(BMultiZone* pane, int id)
{
    BZoneLine* first = pane ? pane->Line(0) : nullptr;
    return first ? AddSharedZone(*first, id) : nullptr;
}

void BMultiListLine::Attach(BMultiList* list)
{
    owner = list;
    for (const auto& column : columns) {
        AddZone(column.second);
        if (list) list->AddColumnTitle(column.first);
        if (HasSeparator(column.second->flags)) AddSeparator(list);
    }
}

StringW BZoneChar::WordAt(BMultiZone* pane, int row, int x)
{
    x -= margin;
    if (x < 0 || !pane) return StringW();
    int column = pane->ColumnAtX(this, row, x);
    return FindWord(GetText(), column);
}
