#pragma once
// The document's table of strings (found by the string scan or made by the user): one record per
// address, sorted by address, with a lock of its own (taken after the file lock).

#include "core/SectionLock.h"
#include "core/TChunk.h"

#include <cstdint>

struct STRINGZ_DATA {
    int64_t address;
    uint32_t word;   // kind << 28 | length in characters

    uint32_t Kind() const { return word >> 28; }
    uint32_t Length() const { return word & 0x0FFFFFFF; }
};

// String kinds of the table.
enum : uint32_t {
    kStringzAnsi = 1,
    kStringzWide = 2,
    kStringzOem = 3,
    kStringzUtf8 = 4,
};

class StringzTable {
public:
    StringzTable() : records_(0x4000) {}
    virtual ~StringzTable() = default;
    StringzTable(const StringzTable&) = delete;
    StringzTable& operator=(const StringzTable&) = delete;

    // Adds the record unless one has the address already (false then).
    bool Insert(int64_t address, uint32_t length, uint32_t kind);
    // Index of the record at the address, or the complement of its insertion point.
    int Find(int64_t address);
    // A copy of record i; false past the count.
    bool Get(int i, STRINGZ_DATA& record);
    // The records from i on that lie one after another: n of them (0 past the count). The caller holds
    // the lock while it reads them.
    const STRINGZ_DATA* Run(int i, int& n) const { return records_.Run(i, n); }
    void Remove(int i, int n = 1);
    int Count();
    // Grows with every change of the records (Records() counts as one: its caller may change them).
    uint32_t Changes();

    CRITICAL_SECTION* Lock() { return lock_.Get(); }
    TChunkSortKey<STRINGZ_DATA, int64_t>& Records() {
        SectionLock lock(lock_.Get());
        ++changes_;
        return records_;
    }

private:
    CriticalSection lock_;
    TChunkSortKey<STRINGZ_DATA, int64_t> records_;
    uint32_t changes_ = 0;
};
