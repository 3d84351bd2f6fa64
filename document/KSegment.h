#pragma once
// Segments of a file and the segment map: address ranges sorted by address, each backed by a stretch
// of the file and possibly longer in memory. All comparisons are signed 64-bit; segments never overlap.

#include "core/StringW.h"
#include "core/TChunk.h"

#include <cstdint>

class KSegment {
public:
    // File bytes left from `address` to the end of the segment's file part; 0 past it.
    int64_t BytesToEnd(int64_t at) const {
        const int64_t end = address + sizeInFile;
        return at >= address && at < end ? end - at : 0;
    }
    int64_t End() const { return address + sizeInMemory; }
    bool Holds(int64_t at) const { return at >= address && at - address < sizeInMemory; }
    // Whether the `count` bytes from `at` all lie in the segment; no sum can overflow, also at the top
    // of the address space.
    bool HoldsRange(int64_t at, uint64_t count) const {
        return count > 0 && Holds(at) && count <= static_cast<uint64_t>(sizeInMemory - (at - address));
    }

    int64_t address = 0;
    int64_t fileOffset = 0;
    int64_t sizeInFile = 0;
    int64_t sizeInMemory = 0;   // never smaller than the size in file
    int32_t kind = 0;           // code bitness (16, 32, 64); 0 for data
    StringW name;
};

class SegmentMap {
public:
    SegmentMap() : segments_(8) {}
    ~SegmentMap() { Clear(); }
    SegmentMap(const SegmentMap&) = delete;
    SegmentMap& operator=(const SegmentMap&) = delete;

    // Adds a checked segment (the document checks); the map widens its bounds. Returns the segment.
    KSegment* Add(int32_t kind, int64_t address, int64_t fileOffset, int64_t sizeInFile, int64_t sizeInMemory);
    // The segment holding the address, or null.
    KSegment* Find(int64_t address) const;
    int IndexOfAddress(int64_t address) const;
    // Binary search on the start address: the index, or the complement of the insertion point.
    int FindKey(int64_t address) const { return segments_.Find(address); }
    KSegment* Get(int i) const { return i >= 0 && i < segments_.count ? segments_[i] : nullptr; }
    int Count() const { return segments_.count; }

    bool IsRangeInSegment(int64_t first, int64_t last) const;
    bool IsRangeFree(int64_t address, int64_t size) const;
    int64_t Step(int64_t address, int64_t distance) const;
    int64_t Distance(int64_t from, int64_t to) const;
    int64_t SegmentOffset(int64_t address) const;
    int64_t BytesToSegmentEnd(int64_t address) const;
    void Clear();

    int64_t lowestFileOffset = 0;
    int64_t highestFileEnd = 0;
    int64_t lowestAddress = -1;
    int64_t highestEnd = -1;

private:
    TChunkPtrSortKey<KSegment*, int64_t> segments_;
};
