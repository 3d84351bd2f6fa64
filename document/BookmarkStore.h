#pragma once
// The bookmarks of a document: at most one per address, each with a text (in the store's own pool, the
// base) and a colour, one of four kinds.

#include "core/BMemoryCluster.h"
#include "core/SectionLock.h"
#include "core/TChunk.h"

#include <windows.h>

#include <cstdint>

struct BOOKMARK_DATA {
    int64_t address;
    const wchar_t* text;   // in the pool
    COLORREF colour;
};

class BookmarkStore : public HStringMemory {
public:
    BookmarkStore() : HStringMemory(0x8000, 0), records_(1024) {}

    static COLORREF ColourOfKind(int kind);
    static int KindOfColour(COLORREF colour);

    bool Set(int64_t address, const wchar_t* text, COLORREF colour);
    bool AddKind(int64_t address, const wchar_t* text, int kind) { return Set(address, text, ColourOfKind(kind)); }
    bool Remove(int64_t address);
    int RemoveRange(int64_t start, int64_t end);
    // The colour of the bookmark at the address, else of the next one below address + length; -1 none.
    int64_t ColourInRange(int64_t address, int64_t length);
    int64_t Next(int64_t address);
    int64_t Prev(int64_t address);
    // The bookmark at the address; false when none.
    bool Get(int64_t address, BOOKMARK_DATA* out);

    int Count();
    BOOKMARK_DATA At(int i);
    CRITICAL_SECTION* Lock() { return lock_.Get(); }

private:
    TChunkSortKey<BOOKMARK_DATA, int64_t> records_;
    CriticalSection lock_;
};
