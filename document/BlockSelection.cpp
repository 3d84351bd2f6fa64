#include "document/BlockSelection.h"

#include "document/Diza.h"
#include "document/FileParseThread.h"
#include "document/ItemStores.h"

#include <algorithm>

using namespace diza;

namespace {

bool IsItemKind(uint32_t kind) { return kind >= 6 && kind <= 14; }

}  // namespace

int CompareLinePos(const DizaLinePos& a, const DizaLinePos& b) {
    if (a.address != b.address)
        return a.address < b.address ? -1 : 1;
    const uint32_t ka = KindOf(a.line), kb = KindOf(b.line);
    if (ka != kb)
        return ka < kb ? -1 : 1;
    if (IsItemKind(ka))
        return 0;
    const uint32_t ia = a.line & kLineIndexMask, ib = b.line & kLineIndexMask;
    return ia == ib ? 0 : ia < ib ? -1 : 1;
}

bool SameLine(const DizaLinePos& a, const DizaLinePos& b) { return CompareLinePos(a, b) == 0; }

int32_t CollapseLineSize(FileParseThread* document, int64_t address) {
    BItemStores& stores = StoresOf(document);
    if (stores.IsCollapsed(address)) {
        const int64_t end = stores.CollapseEnd(address);
        if (end > address)
            return static_cast<int32_t>(std::min<int64_t>(end - address, INT32_MAX));
    }
    return document->QueryItemLength(address);
}

void BlockSelection::Clear() {
    begin = end = kNoLine;
    state = kNone;
    length = -1;
}

void BlockSelection::Begin(const DizaLinePos& position) {
    begin = end = position;
    state = kMarking;
    length = -1;
}

void BlockSelection::Extend(const DizaLinePos& position) {
    end = position;
    length = -1;
}

int64_t BlockSelection::Length(FileParseThread* document) {
    if (state == kNone)
        return -1;
    if (length < 0)
        length = ComputeLength(document);
    return length;
}

int64_t BlockSelection::Start(FileParseThread* document) const {
    if (state == kNone)
        return -1;
    const DizaLinePos& low = Lower();
    if (low.line < 0xF0000000)
        return low.address;
    SectionLock lock(document->FileLock());
    return low.address + CollapseLineSize(document, low.address);
}

int64_t BlockSelection::ComputeLength(FileParseThread* document) {
    SectionLock lock(document->FileLock());
    const DizaLinePos& high = Higher();
    const int64_t from = Start(document);
    // Continuation lines alone hold no byte: their item's line is above the block.
    if (from > high.address)
        return 0;
    int64_t n = document->Segments().Distance(from, high.address);
    if (high.line >= kFirstItemLine)
        n += CollapseLineSize(document, high.address);
    return n;
}

int64_t BlockSelection::End(FileParseThread* document) const {
    if (state == kNone)
        return -1;
    SectionLock lock(document->FileLock());
    const DizaLinePos& high = Higher();
    return high.line >= kFirstItemLine ? high.address + CollapseLineSize(document, high.address) : high.address;
}

bool BlockSelection::Contains(const DizaLinePos& position) const {
    return CompareLinePos(Lower(), position) <= 0 && CompareLinePos(position, Higher()) <= 0;
}

bool BlockSelection::IsSingleAddress() const { return state != kNone && begin.address == end.address; }

bool BlockSelection::InOneSegment(FileParseThread* document) const {
    if (state == kNone)
        return false;
    SectionLock lock(document->FileLock());
    const KSegment* s = document->Segments().Find(begin.address);
    return s && s->Holds(end.address);
}
