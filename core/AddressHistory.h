// The last 16 line positions that the user jumped away from in a disassembly page, newest first, for
// the "go back" command.
#pragma once

#include "core/DizaLinePos.h"

class AddressHistory {
public:
    static constexpr int kCapacity = 16;

    virtual ~AddressHistory() = default;

    // Newest first; an equal position anywhere in the history changes nothing.
    void Push(const DizaLinePos& position);
    // The entry at the read position, which then moves on (newest, older, ..., oldest, newest again).
    // Before any push: no position (address -1, line 0).
    DizaLinePos Next();
    bool Contains(const DizaLinePos& position) const;
    void Free();

    int Count() const { return count_; }
    // -1 until the first push; "go back" is enabled while it is not negative.
    int ReadPosition() const { return read_; }

    // Same address and line kind, and either `added` is an item line (its sub-line does not count) or
    // the low bytes of the line words are equal.
    static bool SamePosition(const DizaLinePos& held, const DizaLinePos& added);

private:
    DizaLinePos entries_[kCapacity] = {};
    int count_ = 0;
    int read_ = -1;
};
