#include "document/BookmarkStore.h"

#include <algorithm>
#include <limits>

COLORREF BookmarkStore::ColourOfKind(int kind) {
    switch (kind) {
    case 1: return 0xFF0000;   // blue
    case 2: return 0x00FF00;   // green
    case 3: return 0x00FFFF;   // yellow
    default: return 0x0000FF;  // red
    }
}

int BookmarkStore::KindOfColour(COLORREF colour) {
    switch (colour) {
    case 0xFF0000: return 1;
    case 0x00FF00: return 2;
    case 0x00FFFF: return 3;
    default: return 0;
    }
}

bool BookmarkStore::Set(int64_t address, const wchar_t* text, COLORREF colour) {
    SectionLock lock(lock_.Get());
    const wchar_t* copy = AddString(text);
    const int i = records_.Find(address);
    if (i >= 0) {
        records_[i].text = copy;
        records_[i].colour = colour;
    } else {
        records_.Insert(BOOKMARK_DATA{ address, copy, colour });
    }
    return true;
}

bool BookmarkStore::Remove(int64_t address) {
    SectionLock lock(lock_.Get());
    const int i = records_.Find(address);
    if (i < 0)
        return false;
    records_.Erase(i, 1);
    return true;
}

int BookmarkStore::RemoveRange(int64_t start, int64_t end) {
    SectionLock lock(lock_.Get());
    if (end <= start)
        return 0;
    const int first = records_.LowerBound(start);
    return records_.Erase(first, records_.LowerBound(end) - first);
}

int64_t BookmarkStore::ColourInRange(int64_t address, int64_t length) {
    SectionLock lock(lock_.Get());
    const int i = records_.LowerBound(address);
    if (i >= records_.count)
        return -1;
    const BOOKMARK_DATA& r = records_[i];
    if (r.address == address || static_cast<uint64_t>(r.address) - static_cast<uint64_t>(address) <
                                    static_cast<uint64_t>(std::max<int64_t>(length, 0)))
        return r.colour;
    return -1;
}

int64_t BookmarkStore::Next(int64_t address) {
    SectionLock lock(lock_.Get());
    if (address == std::numeric_limits<int64_t>::max())
        return -1;
    const int i = records_.LowerBound(address + 1);
    return i < records_.count ? records_[i].address : -1;
}

int64_t BookmarkStore::Prev(int64_t address) {
    SectionLock lock(lock_.Get());
    const int i = records_.LowerBound(address) - 1;
    return i >= 0 ? records_[i].address : -1;
}

bool BookmarkStore::Get(int64_t address, BOOKMARK_DATA* out) {
    SectionLock lock(lock_.Get());
    const int i = records_.Find(address);
    if (i < 0)
        return false;
    *out = records_[i];
    return true;
}

int BookmarkStore::Count() {
    SectionLock lock(lock_.Get());
    return records_.count;
}

BOOKMARK_DATA BookmarkStore::At(int i) {
    SectionLock lock(lock_.Get());
    const BOOKMARK_DATA* r = records_.Get(i);
    return r ? *r : BOOKMARK_DATA{ -1, nullptr, 0 };
}
