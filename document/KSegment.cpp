#include "document/KSegment.h"

#include <algorithm>

KSegment* SegmentMap::Add(int32_t kind, int64_t address, int64_t fileOffset, int64_t sizeInFile,
                          int64_t sizeInMemory) {
    const int64_t extent = std::max(sizeInFile, sizeInMemory);
    KSegment* segment = new KSegment;
    segment->kind = kind;
    segment->address = address;
    segment->fileOffset = fileOffset;
    segment->sizeInFile = sizeInFile;
    segment->sizeInMemory = extent;
    int at = segments_.count;
    if (at > 0 && segments_[at - 1]->address >= address) {
        at = segments_.Find(address);
        if (at < 0)
            at = ~at;
    }
    try {
        segments_.InsertAt(at, segment);
    } catch (...) {
        delete segment;
        throw;
    }
    if (segments_.count == 1) {
        lowestFileOffset = INT64_MAX;
        lowestAddress = INT64_MAX;
        highestFileEnd = 0;
        highestEnd = 0;
    }
    lowestAddress = std::min(lowestAddress, address);
    highestEnd = std::max(highestEnd, address + extent);
    lowestFileOffset = std::min(lowestFileOffset, fileOffset);
    highestFileEnd = std::max(highestFileEnd, fileOffset + sizeInFile);
    return segment;
}

int SegmentMap::IndexOfAddress(int64_t address) const {
    int i = segments_.Find(address);
    if (i >= 0)
        return i;
    i = ~i - 1;   // the last segment starting below the address
    return i >= 0 && segments_[i]->Holds(address) ? i : -1;
}

KSegment* SegmentMap::Find(int64_t address) const { return Get(IndexOfAddress(address)); }

bool SegmentMap::IsRangeInSegment(int64_t first, int64_t last) const {
    const KSegment* s = Find(first);
    return s && s->Holds(last);
}

bool SegmentMap::IsRangeFree(int64_t address, int64_t size) const {
    if (segments_.count == 0 || address >= highestEnd)
        return true;
    // The first segment that may overlap is the last one starting at or below the address.
    int i = segments_.Find(address);
    if (i < 0)
        i = std::max(~i - 1, 0);
    for (; i < segments_.count; ++i) {
        const KSegment* s = segments_[i];
        if (s->address >= address + size)
            break;
        if (s->End() > address)
            return false;
    }
    return true;
}

int64_t SegmentMap::Step(int64_t address, int64_t distance) const {
    int i = IndexOfAddress(address);
    if (i < 0)
        return address;
    if (distance >= 0) {
        for (;;) {
            const KSegment* s = segments_[i];
            const int64_t left = s->End() - address;
            if (distance <= left)
                return address + distance;
            if (++i >= segments_.count)
                return highestEnd;
            distance -= left;
            address = segments_[i]->address;
        }
    }
    distance = -distance;
    for (;;) {
        const KSegment* s = segments_[i];
        const int64_t back = address - s->address;
        if (distance <= back)
            return address - distance;
        if (--i < 0)
            return lowestAddress;
        distance -= back;
        address = segments_[i]->End();
    }
}

int64_t SegmentMap::Distance(int64_t from, int64_t to) const {
    if (segments_.count == 0)
        return 0;
    if (from == -1 || from < lowestAddress)
        from = lowestAddress;
    if (to == -1 || to > highestEnd)
        to = highestEnd;
    if (from >= to)
        return 0;
    int i = IndexOfAddress(from);
    if (i < 0)
        return 0;
    const KSegment* s = segments_[i];
    if (s->Holds(to - 1))
        return to - from;
    int64_t total = s->End() - from;
    for (++i; i < segments_.count && segments_[i]->address < to; ++i) {
        s = segments_[i];
        total += s->Holds(to - 1) ? to - s->address : s->sizeInMemory;
    }
    return total;
}

int64_t SegmentMap::SegmentOffset(int64_t address) const {
    const KSegment* s = Find(address);
    return s ? s->BytesToEnd(address) : 0;
}

int64_t SegmentMap::BytesToSegmentEnd(int64_t address) const {
    const KSegment* s = Find(address);
    return s ? s->End() - address : 0;
}

void SegmentMap::Clear() {
    for (int i = 0; i < segments_.count; ++i)
        delete segments_[i];
    segments_.Clear(segments_.count);
    segments_.count = 0;
    lowestFileOffset = 0;
    highestFileEnd = 0;
    lowestAddress = -1;
    highestEnd = -1;
}
