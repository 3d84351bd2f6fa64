#include "core/AddressHistory.h"

bool AddressHistory::SamePosition(const DizaLinePos& held, const DizaLinePos& added) {
    if (held.address != added.address || (held.line >> 28) != (added.line >> 28)) return false;
    const bool itemLine = added.line >= 0x60000000u && added.line <= 0xEFFFFFFFu;
    return itemLine || (held.line & 0xFF) == (added.line & 0xFF);
}

bool AddressHistory::Contains(const DizaLinePos& position) const {
    for (int i = 0; i < count_; ++i) {
        if (SamePosition(entries_[i], position)) return true;
    }
    return false;
}

void AddressHistory::Push(const DizaLinePos& position) {
    if (Contains(position)) return;
    const int keep = count_ < kCapacity ? count_ : kCapacity - 1;
    for (int i = keep; i > 0; --i) entries_[i] = entries_[i - 1];
    entries_[0] = position;
    read_ = 0;
    if (count_ < kCapacity) ++count_;
}

DizaLinePos AddressHistory::Next() {
    if (read_ < 0 || count_ == 0) return DizaLinePos{ -1, 0 };
    const DizaLinePos position = entries_[read_];
    read_ = (read_ + 1) % count_;
    return position;
}

void AddressHistory::Free() {
    count_ = 0;
    read_ = -1;
}
