#include "document/Collapse.h"

#include "document/Diza.h"
#include "document/DizaWalk.h"
#include "document/FileParseThread.h"

#include <algorithm>
#include <cstdint>
#include <limits>

// The searches scan from a place in the start order towards lower starts. Ranges are never longer than
// maxSpan_, so a scan stops once the starts are further below the address than that.

bool Collapse::Add(int64_t start, int64_t end) {
    if (end > start)
        maxSpan_ = std::max(maxSpan_, static_cast<uint64_t>(end) - static_cast<uint64_t>(start));
    ranges_.Insert(_COLLAPSE{ start, end, 0 });
    return true;
}

int Collapse::StartIndex(int64_t start) const {
    const int i = ranges_.Find(start);
    return i >= 0 ? i : -1;
}

int Collapse::UpperBound(int64_t address) const {
    return address == std::numeric_limits<int64_t>::max() ? ranges_.count : ranges_.LowerBound(address + 1);
}

void Collapse::SetCollapsed(int64_t start) {
    const int i = StartIndex(start);
    if (i >= 0)
        ranges_[i].flags |= kCollapsed;
}

bool Collapse::Toggle(int64_t start) {
    const int i = StartIndex(start);
    if (i < 0)
        return false;
    ranges_[i].flags ^= kCollapsed;
    return (ranges_[i].flags & kCollapsed) != 0;
}

bool Collapse::IsCollapsed(int64_t start) const {
    const int i = StartIndex(start);
    return i >= 0 && (ranges_[i].flags & kCollapsed) != 0;
}

int64_t Collapse::FindEnd(int64_t start) const {
    const int i = StartIndex(start);
    return i >= 0 ? ranges_[i].end : -1;
}

const _COLLAPSE* Collapse::FindContaining(int64_t address) const {
    for (int i = UpperBound(address) - 1; i >= 0 && InReach(ranges_[i].start, address); --i) {
        if (!Holds(ranges_[i], address))
            continue;
        // Ranges sharing this start: the shortest one that holds the address is the innermost.
        const _COLLAPSE* best = &ranges_[i];
        for (int j = i - 1; j >= 0 && ranges_[j].start == best->start; --j)
            if (Holds(ranges_[j], address) && ranges_[j].end < best->end)
                best = &ranges_[j];
        return best;
    }
    return nullptr;
}

int64_t Collapse::FindContainingStart(int64_t address) const {
    const _COLLAPSE* r = FindContaining(address);
    return r ? r->start : -1;
}

int64_t Collapse::FindCollapsedContaining(int64_t address) const {
    for (int i = ranges_.LowerBound(address) - 1; i >= 0 && InReach(ranges_[i].start, address); --i)
        if ((ranges_[i].flags & kCollapsed) && Holds(ranges_[i], address))
            return ranges_[i].start;
    return -1;
}

int64_t Collapse::StartByEnd(int64_t address, uint32_t flags) const {
    for (int i = ranges_.LowerBound(address) - 1; i >= 0 && ranges_[i].start < address &&
                                                  static_cast<uint64_t>(address) - static_cast<uint64_t>(ranges_[i].start) <= maxSpan_;
         --i)
        if ((ranges_[i].flags & flags) == flags && ranges_[i].end == address)
            return ranges_[i].start;
    return -1;
}

int64_t Collapse::FindCollapsedStartByEnd(int64_t address) const { return StartByEnd(address, kCollapsed); }

int64_t Collapse::FindStartByEnd(int64_t address) const { return StartByEnd(address, 0); }

int Collapse::Depth(int64_t address) const {
    int depth = 0;
    for (int i = ranges_.LowerBound(address) - 1; i >= 0 && InReach(ranges_[i].start, address); --i)
        if (Holds(ranges_[i], address))
            ++depth;
    return depth;
}

void Collapse::ExpandAround(int64_t address) {
    for (int i = ranges_.LowerBound(address) - 1; i >= 0 && InReach(ranges_[i].start, address); --i)
        if (Holds(ranges_[i], address))
            ranges_[i].flags &= ~kCollapsed;
}

bool Collapse::RemoveAt(int64_t start) {
    const int i = StartIndex(start);
    if (i < 0)
        return false;
    ranges_.Erase(i, 1);
    if (ranges_.count == 0)
        maxSpan_ = 0;
    return true;
}

int Collapse::RemoveCrossing(int64_t start, int64_t end) { return Remove(start, end, false); }

bool Collapse::MoveEnd(int64_t end, int64_t newEnd) {
    for (int i = ranges_.LowerBound(end) - 1; i >= 0 && ranges_[i].start < end &&
                                              static_cast<uint64_t>(end) - static_cast<uint64_t>(ranges_[i].start) <= maxSpan_;
         --i) {
        _COLLAPSE& r = ranges_[i];
        if (r.end != end)
            continue;
        r.end = newEnd;
        if (newEnd > r.start)
            maxSpan_ = std::max(maxSpan_, static_cast<uint64_t>(newEnd) - static_cast<uint64_t>(r.start));
        return true;
    }
    return false;
}

int Collapse::RemoveWithin(int64_t start, int64_t end) { return Remove(start, end, true); }

int Collapse::Remove(int64_t start, int64_t end, bool keepEnclosing) {
    if (end <= start)
        return 0;
    int removed = 0;
    // A range shares a byte with [start, end) when it starts below end and ends above start.
    for (int i = ranges_.LowerBound(end) - 1; i >= 0; --i) {
        const _COLLAPSE& r = ranges_[i];
        if (r.start < start && !InReach(r.start, start))
            break;
        if (r.end <= start || r.end <= r.start || (r.flags & kHeld))
            continue;
        if (keepEnclosing && r.start <= start && r.end >= end && (r.start < start || r.end > end))
            continue;
        ranges_.Erase(i, 1);
        ++removed;
    }
    if (ranges_.count == 0)
        maxSpan_ = 0;
    return removed;
}

int32_t Collapse::LineSize(FileParseThread* document, int64_t address) const {
    const int i = StartIndex(address);
    if (i >= 0 && (ranges_[i].flags & kCollapsed)) {
        const uint64_t size = static_cast<uint64_t>(ranges_[i].end) - static_cast<uint64_t>(address);
        return static_cast<int32_t>(std::min<uint64_t>(size, INT32_MAX));
    }
    return document->QueryItemLength(address);
}

int Collapse::ClassifyLine(const DizaLinePos& line, const DizaLinePos& next) const {
    const _COLLAPSE* r = FindContaining(line.address);
    if (!r)
        return 0;
    const bool nextInside = next.address != -1 && Holds(*r, next.address);
    if (line.address == r->start) {
        if (line.line < diza::kFirstItemLine)
            return Depth(line.address) > 0 ? 3 : 0;
        if (line.line > diza::kLastItemLine)
            return 3;
        // A folded range shows as its first line alone: the line after it already lies past the end.
        if (r->flags & kCollapsed)
            return 1;
        return nextInside ? 2 : 0;
    }
    return nextInside && next.line >= diza::kFirstMade ? 3 : 4;
}

int Collapse::ClassifyAddress(FileParseThread* document, const DizaLinePos& line) const {
    if (!FindContaining(line.address))
        return 0;
    BDizaWalk walk(document);
    walk.SetPosition(line);
    DizaLinePos next = { -1, 0 };
    if (walk.NextLine())
        next = walk.current;
    return ClassifyLine(line, next);
}

void Collapse::Clear() {
    ranges_.count = 0;
    maxSpan_ = 0;
}
