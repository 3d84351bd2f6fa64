#pragma once
// Characters that count as text: the 8-bit set (7-bit printable characters, BS, LF, FF, CR, plus the
// upper half of a code page as far as it maps into the wide set) and a sparse set of UTF-16 units (the
// same 7-bit characters and the Cyrillic letters of page 4). Also the UTF-8 decoding of string texts.

#include <cstddef>
#include <cstdint>

class CodePageChars {
public:
    static constexpr uint32_t kNone = 0xFFFF;

    explicit CodePageChars(uint32_t codePage = kNone);
    virtual ~CodePageChars() = default;

    // 1 the OEM code page, 0 the ANSI code page; anything else leaves the upper half out.
    void SetCodePage(uint32_t codePage);
    uint32_t CodePage() const { return codePage_; }

    bool IsPrintable(uint8_t c) const { return table_[c] != 0; }
    static bool IsPrintableWide(uint16_t unit);

private:
    uint32_t codePage_ = kNone;
    uint8_t table_[256];
};

// UTF-8 bytes as UTF-16 units: one, two and three-byte forms; anything else gives '?' and advances one
// byte. Writes to `out` when it is not null; returns the number of units.
size_t DecodeUtf8(const uint8_t* bytes, size_t count, wchar_t* out);
