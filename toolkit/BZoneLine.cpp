#include "toolkit/BZoneLine.h"

BZoneLine::BZoneLine(int reserve)
{
    if (reserve > 0) zones.reserve(static_cast<size_t>(reserve));
}

BZoneLine::~BZoneLine()
{
    for (BZone* z : zones) {
        if (z->shareCount == 0) delete z;
        else --z->shareCount;
    }
}

void BZoneLine::AddZone(BZone* zone)
{
    if (zone) zones.push_back(zone);
}

ZoneSeparator* BZoneLine::AddSeparator(COLORREF barColor)
{
    BZone* sized = zones.empty() ? nullptr : zones.back();
    if (sized && (sized->flags & BZone::kFixed)) sized = nullptr;
    auto* separator = new ZoneSeparator(barColor, sized);
    zones.push_back(separator);
    return separator;
}

BZone* BZoneLine::AddSharedZone(BZoneLine& from, int id)
{
    int i = from.IndexOfId(id);
    if (i < 0) return nullptr;
    BZone* zone = from.zones[static_cast<size_t>(i)];
    ++zone->shareCount;
    zones.push_back(zone);
    if (static_cast<size_t>(i) + 1 < from.zones.size() && from.zones[static_cast<size_t>(i) + 1]->IsSeparator()) {
        BZone* separator = from.zones[static_cast<size_t>(i) + 1];
        ++separator->shareCount;
        zones.push_back(separator);
    }
    return zone;
}

BZone* BZoneLine::ZoneById(int id) const
{
    int i = IndexOfId(id);
    return i < 0 ? nullptr : zones[static_cast<size_t>(i)];
}

int BZoneLine::IndexOfId(int id) const
{
    for (size_t i = 0; i < zones.size(); ++i)
        if (zones[i]->id == id) return static_cast<int>(i);
    return -1;
}

BZone* BZoneLine::ZoneAtPoint(int x, int y)
{
    for (size_t i = zones.size(); i-- > 0;)
        if (zones[i]->HitTest(x, y)) return zones[i];
    return &nil;
}

BZone* BZoneLine::CorrespondingZone(BZone* zone)
{
    if (!zone || zones.empty()) return zone;
    for (BZone* z : zones)
        if (!z->hidden && z->rect.left == zone->rect.left && z->IsSeparator() == zone->IsSeparator()) return z;
    return zone;
}

bool BZoneLine::SetZoneHidden(int id, bool hide)
{
    int i = IndexOfId(id);
    if (i < 0) return false;
    bool was = zones[static_cast<size_t>(i)]->SetHidden(hide);
    if (static_cast<size_t>(i) + 1 < zones.size() && zones[static_cast<size_t>(i) + 1]->IsSeparator())
        zones[static_cast<size_t>(i) + 1]->SetHidden(hide);
    return was;
}

int32_t BZoneLine::PlaceZones(RECT running)
{
    int32_t sum = 0;
    for (BZone* z : zones) sum += z->Place(running);
    return sum;
}

int32_t BZoneLine::TotalVisibleWidth() const
{
    int32_t sum = 0;
    for (BZone* z : zones) sum += z->VisibleWidth();
    return sum;
}

int32_t BZoneLine::TotalMaxWidth() const
{
    int32_t sum = 0;
    for (BZone* z : zones) sum += z->GetMaxWidth();
    return sum;
}

void BZoneLine::SetBackColors(COLORREF colour) { for (BZone* z : zones) z->SetBackColor(colour); }
void BZoneLine::SetMatchColors(COLORREF colour) { for (BZone* z : zones) z->SetMatchColor(colour); }
void BZoneLine::SetHighlightColors(COLORREF colour) { for (BZone* z : zones) z->SetHighlightColor(colour); }
void BZoneLine::SetRowMark(int32_t mark) { for (BZone* z : zones) z->rowMark = mark; }

void BZoneLine::SetTextColors(COLORREF colour)
{
    for (BZone* z : zones)
        if (!(z->flags & BZone::kOwnTextColor)) z->SetTextColor(colour);
}

void BZoneLine::SetFont(CFont* font)
{
    for (BZone* z : zones) {
        z->lineHeight = lineHeight;
        if (!(z->flags & BZone::kOwnFont)) z->SetFont(font);
    }
}

ZoneLineWidths BZoneLine::Draw(CDC& dc, int, int left, int top, int right, int bottom, bool highlighted)
{
    ZoneLineWidths result;
    int32_t lastDrawn = 0;
    for (size_t i = 0; i < zones.size(); ++i) {
        BZone* z = zones[i];
        int w = z->VisibleWidth();
        if (w != 0) {
            z->Prepare(dc, left, top, right, bottom, highlighted);
            z->MarkMatches(searchText.c_str(), searchText.Length());
            lastDrawn = z->Draw(dc, left, top, right, bottom);
        }
        if (i + 1 < zones.size()) result.width += w;
        else result.lastWidth = w;
    }
    result.width += lastDrawn;
    return result;
}

BMultiListLine::BMultiListLine(int columns) : BZoneLine(2 * columns)
{
    this->columns.reserve(static_cast<size_t>(columns));
}

void BMultiListLine::AddColumn(const wchar_t* title, BZone* zone)
{
    columns.emplace_back(title, zone);
}

bool BMultiListLine::HasSeparator(uint32_t flags)
{
    bool fixedBar = (flags & BZone::kFixed) && (flags & BZone::kFixedBar);
    return fixedBar || !(flags & (BZone::kFixed | BZone::kStretch));
}

BZone* BMultiListLine::ColumnZone(int id) const
{
    for (const auto& c : columns)
        if (c.second->id == id) return c.second;
    return nullptr;
}

int32_t BMultiListLine::ColumnWidth(int id) const
{
    BZone* z = ColumnZone(id);
    if (!z || z->hidden) return 0;
    return z->VisibleWidth() + (HasSeparator(z->flags) ? 1 : 0);
}
