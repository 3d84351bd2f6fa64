#include "document/BDizaLine.h"

#include "document/DizaBodyLines.h"
#include "document/FileParseThread.h"
#include "document/ItemStores.h"

#include <algorithm>
#include <cstring>
#include <new>

using namespace diza;

EngineHolder::EngineHolder(FileParseThread* document) {
    if (BDecodeEngine* engine = document->Engine())
        engine_ = engine->Clone();
}

bool LineDecoder::Ready() {
    if (!cloned_) {
        cloned_ = true;
        if (BDecodeEngine* engine = document_->Engine())
            engine_ = engine->Clone();
    }
    return engine_ != nullptr;
}

unsigned LineDecoder::Decode(int64_t address) {
    if (!Ready())
        return 1;
    if (address != at_) {
        // Forget the old place first: a throwing decode must not leave it standing.
        at_ = -1;
        length_ = engine_->DecodeAt(address);
        at_ = address;
    }
    return length_;
}

int64_t LineDecoder::InsnStartAt(int64_t from, int64_t address) {
    return Ready() ? engine_->InsnStartAt(from, address) : address;
}

void LineDecoder::StartsUpTo(int64_t from, int64_t address, std::vector<int64_t>& starts) {
    if (!Ready() || from > address)
        return;
    from = std::max(from, address - kStartsSpan);
    at_ = -1;   // the engine's record is overwritten
    constexpr size_t kInsnMax = 16;
    uint8_t window[kStartsSpan + kInsnMax + 1] = {};
    const size_t size = static_cast<size_t>(address - from) + kInsnMax;
    document_->ReadBytes(from, static_cast<void*>(window), static_cast<uint32_t>(size));
    for (size_t pos = 0; pos < size;) {
        const int64_t at = from + static_cast<int64_t>(pos);
        const unsigned length = std::max(engine_->DecodeBytes(at, window + pos, size - pos), 1u);
        starts.push_back(at);
        if (at + static_cast<int64_t>(length) > address)
            return;
        pos += length;
    }
}

DizaLineSlot SlotOfLine(uint32_t word) {
    if (!IsItemLine(word))
        return DizaLineSlot::kPlain;
    switch (KindOf(word)) {
    case kCode:
        return DizaLineSlot::kCode;
    case kData:
        return DizaLineSlot::kData;
    case kBytes:
        return (word & kLengthMask) ? DizaLineSlot::kByteline : DizaLineSlot::kDump;
    case kString:
        if ((word & kStringWidthMask) == 0)
            return DizaLineSlot::kAsciiz;
        if ((word & kStringWidthMask) == kStringWide)
            return DizaLineSlot::kUnicode;
        return DizaLineSlot::kPlain;
    default:
        return DizaLineSlot::kPlain;
    }
}

BDizaLine* MakeDizaLine(FileParseThread* document, const Diza& record) {
    switch (SlotOfLine(record.kind)) {
    case DizaLineSlot::kCode:
        return new (std::nothrow) DizaBodylineCode(document, record);
    case DizaLineSlot::kData:
        return new (std::nothrow) DizaBodylineData(document, record);
    case DizaLineSlot::kByteline:
        return new (std::nothrow) DizaBodylineByteline(document, record);
    case DizaLineSlot::kDump:
        return new (std::nothrow) DizaBodylineDump(document, record);
    case DizaLineSlot::kAsciiz:
        return new (std::nothrow) DizaBodylineAsciiz(document, record);
    case DizaLineSlot::kUnicode:
        return new (std::nothrow) DizaBodylineUnicode(document, record);
    default:
        return new (std::nothrow) BDizaLine(document, record);
    }
}

int32_t BDizaBodyLine::GetByteCount() {
    if (byteCount_ < 0)
        byteCount_ = document->QueryItemLength(address);
    return byteCount_;
}

void BDizaBodyLine::Reset(const Diza& record) {
    BDizaLine::Reset(record);
    text.clear();
    bytes_ = nullptr;
    byteCount_ = -1;
}

const uint8_t* BDizaBodyLine::LoadBytes() {
    if (bytes_)
        return bytes_;
    const int32_t n = GetByteCount();
    const size_t size = static_cast<size_t>(n) + 16;
    if (size <= sizeof inline_) {
        bytes_ = inline_;
    } else if (size <= heapSize_) {
        bytes_ = heap_.get();
    } else {
        heap_.reset(new (std::nothrow) uint8_t[size]);
        heapSize_ = heap_ ? size : 0;
        if (!heap_) {
            byteCount_ = 0;
            bytes_ = inline_;
        } else {
            bytes_ = heap_.get();
        }
    }
    std::memset(bytes_, 0, byteCount_ + 16);
    if (byteCount_ > 0)
        document->ReadBytes(address, static_cast<void*>(bytes_), static_cast<uint32_t>(byteCount_));
    return bytes_;
}

int BDizaBodyLine::ByteAtColumn(const void* zone, int x, int y) {
    if (!IsItemLine(kind))
        return -1;
    SectionLock lock(document->FileLock());
    BDizaView* view = ViewOf(document);
    const int column = view ? view->ColumnAt(zone, x, y) : -1;
    return column < 0 ? -1 : column;
}

int64_t BDizaBodyLine::AddressAtColumn(const void* zone, int x, int y) {
    const int column = ByteAtColumn(zone, x, y);
    if (column < 0 || column >= GetByteCount())
        return -1;
    return address + column;
}

bool BDizaBodyLine::NarrowToColumns(HDC dc, const void* zone, int first, int columns, RECT& rect) {
    BDizaView* view = ViewOf(document);
    const wchar_t* t = text.c_str();
    const int before = view ? view->ColumnsWidth(dc, zone, t, first) : 0;
    const int upTo = view ? view->ColumnsWidth(dc, zone, t, first + columns) : 0;
    const LONG left = rect.left;
    rect.left = left + before;
    rect.right = left + upTo;
    rect.top += 1;
    rect.bottom -= 2;
    return true;
}

void BDizaBodyLine::LoadBytesFrom(const uint8_t* source, size_t count) {
    bytes_ = inline_;
    std::memset(inline_, 0, sizeof inline_);
    if (source)
        std::memcpy(inline_, source, count < 16 ? count : 16);
}
