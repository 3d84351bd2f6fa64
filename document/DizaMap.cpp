#include "document/DizaMap.h"

#include "core/SectionLock.h"
#include "decode/BDecodeEngine.h"
#include "document/BDizaLine.h"
#include "document/DizaBodyLines.h"
#include "document/ChunkMerge.h"
#include "document/FileParseThread.h"

#include <algorithm>
#include <memory>

using namespace diza;

constexpr Diza DizaMap::kMissing;

void DizaMap::AddStringItem(int64_t address, int length, int charClass) { Put({ address, StringWord(length, charClass) }); }
void DizaMap::AddUnicodeItem(int64_t address, int length) { Put({ address, UnicodeWord(length) }); }
void DizaMap::AddBytelineItem(int64_t address, int length) {
    if (length < 0 || length > 0xFFFF)
        return;
    Put({ address, BytelineWord(length) });
}
void DizaMap::AddDumpItem(int64_t address) { Put({ address, kDumpWord }); }
void DizaMap::AddCodeItem(int64_t address) { Put({ address, CodeWord(document_->GetBitness()) }); }
void DizaMap::AddForcedCodeStart(int64_t address) { Put({ address, ForcedCodeWord(document_->GetBitness()) }); }
void DizaMap::AddDataItem(int64_t address, int elementSize, int perLine) { Put({ address, DataWord(elementSize, perLine) }); }
void DizaMap::AddUnmade(int64_t address) { Put({ address, kUnmade }); }

void DizaMap::Put(const Diza& record) {
    const int i = Find(record.address);
    if (i < 0) {
        // The search gave the place: no second search to insert there.
        records_.OpenGap(~i, 1);
        records_[~i] = record;
        return;
    }
    Diza& there = records_[i];
    if (IsUnmade(there.kind) && !IsLast(i))
        return;
    there.kind = record.kind;
}

void DizaMap::Insert(const Diza& record) { records_.Insert(record); }

void DizaMap::PutSorted(const std::vector<Diza>& records) {
    std::vector<Diza> fresh;
    for (const Diza& record : records) {
        const int i = Find(record.address);
        if (i < 0) {
            if (!fresh.empty() && fresh.back().address == record.address)
                fresh.back() = record;
            else
                fresh.push_back(record);
        } else if (!IsUnmade(records_[i].kind) || IsLast(i)) {
            records_[i].kind = record.kind;
        }
    }
    MergeIntoSorted(records_, fresh, [](const Diza& a, const Diza& b) { return a < b; });
}

void DizaMap::PutSegmentStart(const Diza& record) {
    const int i = Find(record.address);
    if (i < 0)
        Insert(record);
    else
        records_[i].kind = record.kind;
}

void DizaMap::PutSegmentEnd(int64_t address) {
    const int i = Find(address);
    if (i < 0)
        Insert({ address, kUnmade });
    else if (IsUnmade(records_[i].kind))
        records_[i].kind = kUnmade;
}

int DizaMap::FindFloor(int64_t address) const {
    const int i = Find(address);
    return i >= 0 ? i : ~i - 1;
}

Diza DizaMap::GetAt(int index) const {
    const Diza* r = records_.Get(index);
    return r ? *r : kMissing;
}

Diza DizaMap::NextAfter(int64_t address) const {
    const int i = Find(address);
    return GetAt(i >= 0 ? i + 1 : ~i);
}

Diza DizaMap::PrevRecord(int64_t address) const {
    const int i = FindFloor(address);
    return i > 0 ? GetAt(i - 1) : kMissing;
}

void DizaMap::RemoveKey(int64_t address) {
    const int i = Find(address);
    if (i >= 0)
        records_.Erase(i, 1);
}

void DizaMap::RemoveMadeRange(int64_t start, int64_t end) {
    int i = Find(start);
    if (i < 0)
        i = ~i;
    int n = 0;
    while (i + n < records_.count) {
        const Diza& r = records_[i + n];
        if (r.address >= end || IsUnmade(r.kind))
            break;
        ++n;
    }
    records_.Erase(i, n);
}

Diza DizaMap::ItemAt(int64_t address) const {
    const int i = FindFloor(address);
    if (i < 0)
        return kMissing;
    const Diza& r = records_[i];
    if (IsUnmade(r.kind) && !IsLast(i))
        return records_[i + 1];
    return r;
}

bool DizaMap::CoveringItem(int64_t address, Diza& out) const {
    const int i = FindFloor(address);
    if (i < 0) {
        out = kMissing;
        return false;
    }
    out = records_[i];
    if (!IsUnmade(out.kind))
        return true;
    if (!IsLast(i))
        out = records_[i + 1];
    return false;
}

Diza DizaMap::ItemAtOrNext(int64_t address, LineDecoder* decoder) const {
    Diza r;
    if (!CoveringItem(address, r))
        return r;
    SectionLock lock(document_->FileLock());
    r.address = LineStart(r, address, decoder);
    return r;
}

int32_t DizaMap::ItemLength(int64_t address, LineDecoder* decoder) const {
    const int i = FindFloor(address);
    if (i < 0 || IsUnmade(records_[i].kind))
        return 0;
    SectionLock lock(document_->FileLock());
    const Diza& r = records_[i];
    const int64_t start = LineStart(r, address, decoder);
    int64_t length = LineLength(r, start, decoder);
    const int64_t limit = IsLast(i) ? document_->Segments().highestEnd : records_[i + 1].address;
    if (start + length > limit)
        length = limit - start;
    return length > 0 ? static_cast<int32_t>(length) : 0;
}

int64_t DizaMap::NextItemAddress(int64_t address) const {
    if (address == -1 || address >= document_->Segments().highestEnd)
        return -1;
    const int64_t next = address + ItemLength(address);
    const int i = FindFloor(next);
    if (i >= 0 && IsUnmade(records_[i].kind))
        return IsLast(i) ? -1 : records_[i + 1].address;
    return next;
}

int64_t DizaMap::NextLineStart(int64_t lineStart, LineDecoder& decoder) const {
    if (lineStart == -1 || lineStart >= document_->Segments().highestEnd)
        return -1;
    const int i = FindFloor(lineStart);
    int64_t next = lineStart;
    if (i >= 0 && !IsUnmade(records_[i].kind)) {
        const Diza record = records_[i];
        const int64_t limit = IsLast(i) ? document_->Segments().highestEnd : records_[i + 1].address;
        SectionLock lock(document_->FileLock());
        const int64_t length = std::min<int64_t>(LineLength(record, lineStart, &decoder), limit - lineStart);
        next += std::max<int64_t>(length, 0);
        if (next < limit)
            return next;   // the next line of the same item
    }
    const int j = FindFloor(next);
    if (j >= 0 && IsUnmade(records_[j].kind))
        return IsLast(j) ? -1 : records_[j + 1].address;
    return next;
}

Diza DizaMap::LineAtStart(int64_t lineStart) const {
    Diza r;
    if (CoveringItem(lineStart, r))
        r.address = lineStart;
    return r;
}

int64_t DizaMap::PrevItemAddress(int64_t address) const {
    SectionLock lock(document_->FileLock());
    const int64_t lowest = document_->Segments().lowestAddress;
    int64_t at = address - 1;
    for (;;) {
        if (at < lowest || address <= lowest)
            return -1;
        const int i = FindFloor(at);
        if (i < 0)
            return -1;
        const Diza& r = records_[i];
        if (!IsUnmade(r.kind))
            return LineStart(r, at);
        at = r.address - 1;   // the last byte before the unmade range
    }
}

bool DizaMap::IsItemStart(int64_t address) const {
    const int i = Find(address);
    if (i > 0 && IsUnmade(records_[i].kind))
        return true;
    return ItemAtOrNext(address).address == address;
}

int64_t DizaMap::RunEnd(int64_t address) const {
    const int i = Find(address);
    if (i > 0 && IsUnmade(records_[i].kind))
        return address;
    return GetAt(i >= 0 ? i + 1 : ~i).address;   // NextAfter without a second search
}

int64_t DizaMap::ByteLineEnd(int64_t address) const {
    const int i = Find(address);
    if (i > 0 && IsUnmade(records_[i].kind))
        return address;
    const int64_t end = RunEnd(address);
    if (i >= 0 && IsPlainDump(records_[i].kind))
        return end;
    return RunEnd(end);
}

void DizaMap::UpdateByteline(int64_t address) {
    const int i = Find(address);
    if (i <= 0 || IsLast(i) || !IsPlainDump(records_[i - 1].kind))
        return;
    const KSegment* segment = document_->Segments().Find(address);
    if (!segment || !segment->Holds(records_[i - 1].address))
        return;
    const int64_t next = records_[i + 1].address;
    Collapse& collapses = document_->stores.collapses;
    collapses.RemoveCrossing(address, next);
    collapses.MoveEnd(address, next);
    records_.Erase(i, 1);
}

bool DizaMap::SetItemRadix(int64_t address, uint32_t format) {
    if (!(format & (kFormatRadixChosen | kFormatExtSelect)))
        return false;
    const int i = Find(address);
    if (i < 0)
        return false;
    uint32_t& word = records_[i].kind;
    switch (KindOf(word)) {
    case kData:
        word |= kDataRadixChosen;
        word = (word & ~kDataDecimal) | ((format & kFormatDecimal) ? kDataDecimal : 0);
        word = (word & ~kDataSigned) | ((format & kFormatSigned) ? kDataSigned : 0);
        return true;
    case kDataExt:
        word = (word & ~(kExtLowMask | kExtHighMask)) | ((format & kFormatExtLow) >> 8) | ((format & kFormatExtHigh) >> 8);
        return true;
    default:
        return false;
    }
}

void DizaMap::Clear() {
    records_.Clear(records_.count);
    records_.count = 0;
}

// Line geometry is the line models' own: the map asks a model of the record made on the stack.
int64_t DizaMap::LineStart(const Diza& record, int64_t address, LineDecoder* decoder) const {
    if (address <= record.address)
        return record.address;
    return WithLineModel(document_, record, decoder, [&](BDizaBodyLine* line) {
        const int64_t start = line ? line->LineStart(address) : -1;
        return start == -1 ? record.address : start;
    });
}

int32_t DizaMap::LineLength(const Diza& record, int64_t lineStart, LineDecoder* decoder) const {
    return WithLineModel(document_, { lineStart, record.kind }, decoder,
                         [](BDizaBodyLine* line) { return line ? line->LineLength() : 0; });
}
