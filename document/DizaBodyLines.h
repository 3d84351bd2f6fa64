#pragma once
// The line models of each item kind: code (one instruction a line), data (typed elements), byte lines
// (hex bytes), dumps (characters) and one-byte or UTF-16 strings (one item, one line).

#include "document/BDizaLine.h"

#include <vector>

namespace diza {
// Data (0xD), on a line model's own copy of the word only: show the element as bits.
constexpr uint32_t kDataBits = 0x00400000;
}  // namespace diza

class DizaBodylineCode : public BDizaBodyLine {
public:
    DizaBodylineCode(FileParseThread* document, const Diza& record) : BDizaBodyLine(document, record), own_(document) {}
    void BuildText() override;
    int64_t LineStart(int64_t at) override;
    int32_t LineLength() override;
    // Decodes with a walk's decoder (null: its own clone), so that the walk and the line's text share
    // each instruction's decode.
    void ShareDecoder(LineDecoder* decoder) { decoder_ = decoder ? decoder : &own_; }

private:
    LineDecoder own_;
    LineDecoder* decoder_ = &own_;
};

class DizaBodylineData : public BDizaBodyLine {
public:
    using BDizaBodyLine::BDizaBodyLine;
    void Reset(const Diza& record) override {
        BDizaBodyLine::Reset(record);
        prefixWanted = true;
    }
    void BuildText() override;
    int64_t LineStart(int64_t at) override;
    int32_t LineLength() override;
    int32_t Properties(DizaPropertyList& list) override;
    bool OnKey(DizaPropertyList& list, Diza& record, int row, int key) override;

    bool prefixWanted = true;

private:
    int PerLine() const;
    int ElementSize() const { return 1 << ((kind & diza::kSizeMask) >> diza::kSizeShift); }
};

// Lines of a fixed length counted from the item's start.
class BDizaFixedLine : public BDizaBodyLine {
public:
    using BDizaBodyLine::BDizaBodyLine;
    int64_t LineStart(int64_t at) override;
};

class DizaBodylineByteline : public BDizaFixedLine {
public:
    using BDizaFixedLine::BDizaFixedLine;
    void BuildText() override;
    int32_t LineLength() override { return static_cast<int32_t>(kind & diza::kLengthMask); }
    bool HandleClick(HDC dc, const void* zone, int byteIndex, RECT& rect) override;
    int64_t Address(const void* zone, int x, int y) override;
};

class DizaBodylineDump : public BDizaFixedLine {
public:
    using BDizaFixedLine::BDizaFixedLine;
    void BuildText() override;
    int32_t LineLength() override;
    bool HandleClick(HDC dc, const void* zone, int byteIndex, RECT& rect) override;
    int64_t Address(const void* zone, int x, int y) override { return AddressAtColumn(zone, x, y); }

private:
    // Conversion room, kept while the model is reused.
    std::vector<char> narrow_;
    std::vector<wchar_t> wide_;
};

class BDizaBodylineStringz : public BDizaBodyLine {
public:
    using BDizaBodyLine::BDizaBodyLine;
    int64_t LineStart(int64_t) override { return address; }

protected:
    // The quoting rule: runs of ordinary characters quoted (each run after the prefix), 0, 10 and 13 as
    // numbers, "," between the parts.
    void Quote(const wchar_t* chars, size_t count, wchar_t quote, const wchar_t* prefix);

    // Conversion room, kept while the model is reused.
    std::vector<char> narrow_;
    std::vector<wchar_t> wide_;
};

class DizaBodylineAsciiz : public BDizaBodylineStringz {
public:
    using BDizaBodylineStringz::BDizaBodylineStringz;
    void BuildText() override;
    int32_t LineLength() override { return static_cast<int32_t>(kind & diza::kLengthMask); }
    // 1 ANSI, 2 OEM, 3 UTF-8: the record's class, else the document's option.
    int CodePageClass() const;
};

class DizaBodylineUnicode : public BDizaBodylineStringz {
public:
    using BDizaBodylineStringz::BDizaBodylineStringz;
    void BuildText() override;
    int32_t LineLength() override { return 2 * static_cast<int32_t>(kind & diza::kLengthMask); }
};

// The model kind of a record's line: the one classification behind MakeDizaLine, the reused models of
// a walk and the address map's line geometry.
enum class DizaLineSlot { kPlain, kCode, kData, kByteline, kDump, kAsciiz, kUnicode, kCount };
DizaLineSlot SlotOfLine(uint32_t word);

template <class Model, class F>
auto WithModelOf(FileParseThread* document, const Diza& record, F& f) {
    Model model(document, record);
    return f(static_cast<BDizaBodyLine*>(&model));
}

// Calls f with the record's line model made on the stack (null for a plain line), so that callers that
// keep no models ask the models themselves and allocate nothing; a code model decodes with `decoder`
// when one is given.
template <class F>
auto WithLineModel(FileParseThread* document, const Diza& record, LineDecoder* decoder, F&& f) {
    switch (SlotOfLine(record.kind)) {
    case DizaLineSlot::kCode: {
        DizaBodylineCode model(document, record);
        model.ShareDecoder(decoder);
        return f(static_cast<BDizaBodyLine*>(&model));
    }
    case DizaLineSlot::kData: return WithModelOf<DizaBodylineData>(document, record, f);
    case DizaLineSlot::kByteline: return WithModelOf<DizaBodylineByteline>(document, record, f);
    case DizaLineSlot::kDump: return WithModelOf<DizaBodylineDump>(document, record, f);
    case DizaLineSlot::kAsciiz: return WithModelOf<DizaBodylineAsciiz>(document, record, f);
    case DizaLineSlot::kUnicode: return WithModelOf<DizaBodylineUnicode>(document, record, f);
    default: return f(static_cast<BDizaBodyLine*>(nullptr));
    }
}
