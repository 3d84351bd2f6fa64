#pragma once
// The marked block of a disassembly page: where marking began and where it is now (in the order of
// marking; every operation uses the lower and the higher), its state and its cached byte length.

#include "core/DizaLinePos.h"

#include <cstdint>

class FileParseThread;

// Order of display lines: by address (signed), then line kind, then, outside the item kinds, index.
int CompareLinePos(const DizaLinePos& a, const DizaLinePos& b);
// The same line: equal addresses and kinds, and an item kind or equal indexes.
bool SameLine(const DizaLinePos& a, const DizaLinePos& b);

constexpr DizaLinePos kNoLine = { -1, 0 };

class BlockSelection {
public:
    enum State : int32_t { kNone = 0, kMarking = 1, kMarked = 2 };

    virtual ~BlockSelection() = default;

    void Clear();
    void Begin(const DizaLinePos& position);   // marking starts (state 1)
    void Extend(const DizaLinePos& position);  // the end follows
    void Finish() { state = kMarked; }

    const DizaLinePos& Lower() const { return CompareLinePos(begin, end) <= 0 ? begin : end; }
    const DizaLinePos& Higher() const { return CompareLinePos(begin, end) <= 0 ? end : begin; }

    // The block's first byte: the lower line's address, past that item when the lower line is one of its
    // on-line comment's continuation lines (the item's own line is above the block); -1 when nothing is
    // marked. Every user of the block takes its range from here and Length.
    int64_t Start(FileParseThread* document) const;
    // Bytes of the block counted inside segments; -1 when nothing is marked. Computed once.
    int64_t Length(FileParseThread* document);
    int64_t ComputeLength(FileParseThread* document);
    // One past the block's last byte; -1 when nothing is marked.
    int64_t End(FileParseThread* document) const;
    bool Contains(const DizaLinePos& position) const;
    bool IsSingleAddress() const;
    bool InOneSegment(FileParseThread* document) const;

    DizaLinePos begin = kNoLine;
    DizaLinePos end = kNoLine;
    int32_t state = kNone;
    int64_t length = -1;
};

// The size of the line at an address as the page shows it: a collapsed range counts whole.
int32_t CollapseLineSize(FileParseThread* document, int64_t address);
