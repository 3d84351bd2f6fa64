#include "core/NumberText.h"
#include "document/DizaBodyLines.h"
#include "document/FileParseThread.h"

#include <algorithm>
#include <cstring>

using namespace diza;

// --- Code: one instruction a line, decoded once per model (or per step of the walk that shares its
// decoder).

int64_t DizaBodylineCode::LineStart(int64_t at) { return decoder_->InsnStartAt(address, at); }

int32_t DizaBodylineCode::LineLength() { return static_cast<int32_t>(decoder_->Decode(address)); }

void DizaBodylineCode::BuildText() {
    text.clear();
    if (!decoder_->Ready()) {
        byteCount_ = 1;
        return;
    }
    const unsigned length = decoder_->Decode(address);
    byteCount_ = static_cast<int32_t>(length);
    LoadBytesFrom(decoder_->Bytes(), length);
    const int64_t left = document->Segments().BytesToSegmentEnd(address);
    if (left < static_cast<int64_t>(length)) {
        NumberText n;
        text.append(n.Print(L"db  %02X", bytes_[0]));
        for (int64_t i = 1; i < left; ++i)
            text.append(n.Print(L",%02X", bytes_[i]));
        return;
    }
    if (const wchar_t* t = decoder_->Text())
        text.append(t);
}

// --- Data: items per line elements of 1, 2, 4 or 8 bytes.

int DizaBodylineData::PerLine() const { return std::max<int>(kind & kPerLineMask, 1); }

int32_t DizaBodylineData::LineLength() { return PerLine() * ElementSize(); }

int64_t DizaBodylineData::LineStart(int64_t at) {
    if (at < address)
        return address;
    return at - (at - address) % LineLength();
}

namespace {

uint64_t ReadElement(const uint8_t* p, int size) {
    uint64_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

const wchar_t* FormatElement(NumberText& n, uint64_t v, int size, bool bigEndian) {
    switch (size) {
    case 1: return n.FormatByte(static_cast<uint8_t>(v));
    case 2: return bigEndian ? n.FormatWordSwapped(static_cast<uint16_t>(v)) : n.FormatWord(static_cast<uint16_t>(v));
    case 4: return bigEndian ? n.FormatDwordSwapped(static_cast<uint32_t>(v)) : n.FormatDword(static_cast<uint32_t>(v));
    default: return bigEndian ? n.FormatQwordSwapped(v) : n.FormatQword(v);
    }
}

}  // namespace

void DizaBodylineData::BuildText() {
    const uint8_t* p = LoadBytes();
    const int size = ElementSize();
    const int elements = GetByteCount() / size;
    const bool bigEndian = (kind & kDataBigEndian) != 0;
    text.clear();
    NumberText n;
    if (prefixWanted)
        text.append(n.Print(L"d%.1s  ", L"bwdq" + ((kind & kSizeMask) >> kSizeShift)));
    if (kind & kDataBits) {
        const uint64_t v = elements > 0 ? ReadElement(p, size) : 0;
        text.append(bigEndian ? n.FormatBinarySwapped(v, size) : n.FormatBinary(v, size));
        return;
    }
    if (kind & kDataRadixChosen) {
        n.decimal = (kind & kDataDecimal) ? 1 : 0;
        n.isSigned = (kind & kDataSigned) ? 1 : 0;
    } else {
        n.decimal = document->options.file.dataDecimal.value ? 1 : 0;
        n.isSigned = document->options.file.dataSigned.value ? 1 : 0;
    }
    n.width = elements > 1 ? 1 : 0;
    text.reserve(text.size() + static_cast<size_t>(elements) * (2 * size + 4));
    for (int i = 0; i < elements; ++i) {
        if (i)
            text.append(L", ");
        text.append(FormatElement(n, ReadElement(p + i * size, size), size, bigEndian));
    }
}

int32_t DizaBodylineData::Properties(DizaPropertyList& list) {
    prefixWanted = false;
    list.push_back({ L"Data order", (kind & kDataBigEndian) ? L"Big-endian" : L"Little-endian", address, kind });
    int32_t result;
    if (kind & kDataBits) {
        result = 5;
    } else if (kind & kDataRadixChosen) {
        result = ((kind & kDataSigned) ? 1 : 0) + 2 * ((kind & kDataDecimal) ? 1 : 0);
    } else {
        result = (document->options.file.dataSigned.value ? 1 : 0) + 2 * (document->options.file.dataDecimal.value ? 1 : 0);
    }
    const uint32_t saved = kind;
    auto row = [&](const wchar_t* name) {
        BuildText();
        list.push_back({ name, text, address, kind });
    };
    kind = (kind | kDataRadixChosen) & ~(kDataDecimal | kDataSigned | kDataBits);
    row(L"Uns Hex");
    kind |= kDataSigned;
    row(L"Sign Hex");
    kind = (kind & ~kDataSigned) | kDataDecimal;
    row(L"Uns Dec");
    kind |= kDataSigned;
    row(L"Sign Dec");
    if (PerLine() == 1) {
        kind = (kind & ~(kDataDecimal | kDataSigned | kDataRadixChosen)) | kDataBits;
        row(L"Bits");
    }
    kind = saved;
    return result;
}

bool DizaBodylineData::OnKey(DizaPropertyList& list, Diza& record, int row, int key) {
    if (row != 0 || key != 13)
        return key == 13;
    record.kind ^= kDataBigEndian;
    address = record.address;
    kind = record.kind;
    list.clear();
    Properties(list);
    return false;
}
