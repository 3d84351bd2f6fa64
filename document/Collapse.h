#pragma once
// The foldable address ranges of a document, sorted by start; ranges may nest and share a start (a new
// one goes before those with an equal start). No lock of its own: callers hold the document's file lock.
// "Before the address" below means the ranges whose start is below it.

#include "core/DizaLinePos.h"
#include "core/TChunk.h"

#include <cstdint>

class FileParseThread;

struct _COLLAPSE {
    int64_t start;
    int64_t end;      // one past the last byte
    uint32_t flags;   // kCollapsed, kHeld
};

template <>
struct TChunkKey<_COLLAPSE, int64_t> {
    static int64_t Of(const _COLLAPSE& r) { return r.start; }
    static bool Match(const _COLLAPSE& r, int64_t key) { return r.start == key; }
};

class Collapse {
public:
    static constexpr uint32_t kCollapsed = 0x1;
    static constexpr uint32_t kHeld = 0x2;   // never removed by RemoveCrossing

    Collapse() : ranges_(0x8000) {}
    ~Collapse() = default;
    Collapse(const Collapse&) = delete;
    Collapse& operator=(const Collapse&) = delete;

    bool Add(int64_t start, int64_t end);
    bool AddSpan(int64_t address, int64_t size) { return Add(address, address + size); }
    void SetCollapsed(int64_t start);
    bool Toggle(int64_t start);
    bool IsCollapsed(int64_t start) const;
    int64_t FindEnd(int64_t start) const;
    // The innermost range holding the address, or null.
    const _COLLAPSE* FindContaining(int64_t address) const;
    int64_t FindContainingStart(int64_t address) const;
    int64_t FindCollapsedContaining(int64_t address) const;
    int64_t FindCollapsedStartByEnd(int64_t address) const;
    int64_t FindStartByEnd(int64_t address) const;
    int Depth(int64_t address) const;
    void ExpandAround(int64_t address);
    // Removes the range that starts at the address (the newest of several); false when none.
    bool RemoveAt(int64_t start);
    int RemoveCrossing(int64_t start, int64_t end);
    // The range that ends at `end` (found as FindStartByEnd finds it) ends at `newEnd` instead, keeping
    // its start and state; false when none ends there.
    bool MoveEnd(int64_t end, int64_t newEnd);
    // What a make over [start, end) leaves no place for: the ranges that share a byte with it, except
    // those that hold the whole span with room beside it (their ends stay item starts).
    int RemoveWithin(int64_t start, int64_t end);
    int32_t LineSize(FileParseThread* document, int64_t address) const;

    // The collapse mark (0..4) of the display line at `line`, given the display line that follows it.
    int ClassifyLine(const DizaLinePos& line, const DizaLinePos& next) const;
    // The same, with the next display line found by a walk over the document (under its file lock).
    int ClassifyAddress(FileParseThread* document, const DizaLinePos& line) const;

    int Count() const { return ranges_.count; }
    const _COLLAPSE& At(int i) const { return ranges_[i]; }
    void Clear();

private:
    // Index of the first range starting at the address, or -1.
    int StartIndex(int64_t start) const;
    // Index past the last range whose start is at or below the address.
    int UpperBound(int64_t address) const;
    // Whether a range starting at `start` can still reach `address` (all ranges are at most maxSpan_).
    bool InReach(int64_t start, int64_t address) const {
        return static_cast<uint64_t>(address) - static_cast<uint64_t>(start) < maxSpan_;
    }
    int Remove(int64_t start, int64_t end, bool keepEnclosing);
    // Among the ranges below the address, the start of the first one ending there with these flags.
    int64_t StartByEnd(int64_t address, uint32_t flags) const;
    static bool Holds(const _COLLAPSE& r, int64_t address) { return r.start <= address && address < r.end; }

    TChunkSortKey<_COLLAPSE, int64_t> ranges_;
    uint64_t maxSpan_ = 0;   // the longest range ever added since the list was last empty
};
