#pragma once
// The strings list's filter without its texts (past their ceiling, or while they are made): each
// string's bytes are read where they lie in the file's memory, decoded and lowered as its row shows
// them, and looked through for the filter. One-byte strings go through a table of the lowered
// character of each byte of their code page; UTF-16 and UTF-8 strings are decoded as their rows decode
// them. A string whose bytes are not all in the file's memory, whose code page takes more than a byte
// a character, or that holds a surrogate, is formatted as its row is.
//
//   StringzFilterBytes bytes;
//   bytes.Begin(document, filter);           // the file lock and the table's lock held until done
//   bytes.FindAll([&](int i) { ... });       // every record, or
//   bytes.FindAmong(rows, [&](int i) { ... });   // the records a narrowing keeps

#include "core/StringW.h"
#include "document/StringzTable.h"

#include <cstdint>
#include <functional>
#include <vector>

class FileParseThread;

class StringzFilterBytes {
public:
    StringzFilterBytes() = default;
    virtual ~StringzFilterBytes() = default;
    StringzFilterBytes(const StringzFilterBytes&) = delete;
    StringzFilterBytes& operator=(const StringzFilterBytes&) = delete;

    // Starts a walk of the document's strings for a lowered filter (not empty).
    void Begin(FileParseThread* document, const StringW& filter);
    // Calls `add` with the index of every record whose lowered shown text holds the filter, in order.
    void FindAll(const std::function<void(int)>& add);
    // The same among the records at `rows` (rising indexes).
    void FindAmong(const std::vector<int>& rows, const std::function<void(int)>& add);

private:
    // The lowered characters of a one-byte code page's bytes; not valid for a code page that takes
    // more than a byte a character.
    struct ByteTable {
        bool valid = false;
        wchar_t lower[256] = {};
    };
    static const ByteTable& TableOf(uint32_t kind);
    // For one code page: the bytes that lower to each of the filter's first characters, as a bit
    // set on and a value (a byte b lowers to it when b | set == value), each repeated for a block of
    // 16 bytes; and each byte's class: the text's end, the first character, or neither.
    struct Lead {
        static constexpr int kLead = 3;   // the characters looked for in blocks
        const ByteTable* table = nullptr;
        uint8_t set[kLead][16] = {}, value[kLead][16] = {};
        int count = 0;       // the characters that have a set and a value
        bool never = false;  // no byte lowers to one of them: no text of the code page holds the filter
        uint8_t classes[256] = {};
    };
    // A record and its index, gathered for a walk.
    struct Item {
        int index;
        STRINGZ_DATA record;
    };
    static constexpr int kBatch = 256;

    // Calls `add` with the index of each item whose text holds the filter.
    void Find(const Item* items, int n, const std::function<void(int)>& add);
    template <int Characters>
    void FindInBlocks(const Item* items, int n, const std::function<void(int)>& add);
    bool Holds(const STRINGZ_DATA& record);
    // The file's bytes at an address, `got` of them (at most `count`): those of its segment's file
    // part that the file holds, `readable` in all. Null when there are none.
    const uint8_t* BytesAt(int64_t address, size_t count, size_t& got, size_t& readable);
    // A one-byte text looked through where it lies, a byte at a time: 1 held, 0 not (`length`: its
    // bytes up to the zero), -1 when its end is not among the `got` bytes had.
    int ScanOneByte(const uint8_t* bytes, size_t got, bool whole, const Lead& lead, size_t& length) const;
    // Whether the filter stands at p, among the bytes up to `end`.
    bool StandsAt(const uint8_t* p, const uint8_t* end, const wchar_t* lower) const;
    // Whether the filter stands over an apostrophe around a one-byte text of `length` bytes.
    bool HoldsAtQuotes(const uint8_t* bytes, size_t length, const ByteTable& table) const;
    // The lowered shown text into text_; false when it cannot be made from the bytes had.
    bool MakeWide(const uint8_t* bytes, size_t got, bool whole);
    bool MakeUtf8(const uint8_t* bytes, size_t got, bool whole);
    // The shown text as the row formats it.
    bool HoldsFormatted(const STRINGZ_DATA& record);

    FileParseThread* document_ = nullptr;
    StringW filter_;
    Lead leads_[2];         // ANSI, OEM
    bool quoted_ = false;   // the filter begins or ends with an apostrophe
    const uint8_t* file_ = nullptr;
    int64_t fileSize_ = 0;
    int64_t partStart_ = 0, partEnd_ = 0;   // the file part that the last bytes came from
    const uint8_t* partBytes_ = nullptr;
    std::vector<wchar_t> text_;
};
