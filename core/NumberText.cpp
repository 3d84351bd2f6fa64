#include "core/NumberText.h"

#include "core/StringW.h"

#include <cstdarg>
#include <cwctype>

namespace {

// The texts of one element size; signed decimal values are widened with their sign first.
struct SizeFormats {
    int bits;
    const wchar_t* hex;
    const wchar_t* hexPositive;
    const wchar_t* hexNegative;
    const wchar_t* signedNatural;
    const wchar_t* signedPadded;
    const wchar_t* unsignedNatural;
    const wchar_t* unsignedPadded;
};

const SizeFormats kByte  = { 8,  L"%02X", L" %02X", L"-%02X", L"%d", L"%4d", L"%u", L"%3u" };
const SizeFormats kWord  = { 16, L"%04X", L" %04X", L"-%04X", L"%d", L"%6d", L"%u", L"%5u" };
const SizeFormats kDword = { 32, L"%08X", L" %08X", L"-%08X", L"%d", L"%11d", L"%u", L"%10u" };
const SizeFormats kQword = { 64, L"%08X`%08X", L" %08X`%08X", L"-%08X`%08X",
                             L"%I64d", L"%20I64d", L"%I64u", L"%20I64u" };

uint32_t High(uint64_t v) { return static_cast<uint32_t>(v >> 32); }
uint32_t Low(uint64_t v) { return static_cast<uint32_t>(v); }

}  // namespace

const wchar_t* NumberText::Print(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    FormatIntoW(text, sizeof text / sizeof text[0], format, args);
    va_end(args);
    return text;
}

static const wchar_t* FormatSized(NumberText& t, uint64_t value, const SizeFormats& f) {
    const uint64_t mask = f.bits == 64 ? ~0ULL : (1ULL << f.bits) - 1;
    value &= mask;
    const bool negative = (value >> (f.bits - 1)) & 1;
    if (t.decimal) {
        if (t.isSigned) {
            const int64_t widened = negative ? static_cast<int64_t>(value | ~mask) : static_cast<int64_t>(value);
            const wchar_t* format = t.width ? f.signedPadded : f.signedNatural;
            return f.bits == 64 ? t.Print(format, widened) : t.Print(format, static_cast<int32_t>(widened));
        }
        const wchar_t* format = t.width ? f.unsignedPadded : f.unsignedNatural;
        return f.bits == 64 ? t.Print(format, value) : t.Print(format, static_cast<uint32_t>(value));
    }
    const wchar_t* format = f.hex;
    if (t.isSigned) {
        format = negative ? f.hexNegative : f.hexPositive;
        if (negative) value = (0 - value) & mask;
    }
    return f.bits == 64 ? t.Print(format, High(value), Low(value)) : t.Print(format, static_cast<uint32_t>(value));
}

const wchar_t* NumberText::FormatByte(uint8_t value) { return FormatSized(*this, value, kByte); }
const wchar_t* NumberText::FormatWord(uint16_t value) { return FormatSized(*this, value, kWord); }
const wchar_t* NumberText::FormatDword(uint32_t value) { return FormatSized(*this, value, kDword); }
const wchar_t* NumberText::FormatQword(uint64_t value) { return FormatSized(*this, value, kQword); }
const wchar_t* NumberText::FormatWordSwapped(uint16_t value) { return FormatWord(SwapBytes16(value)); }
const wchar_t* NumberText::FormatDwordSwapped(uint32_t value) { return FormatDword(SwapBytes32(value)); }
const wchar_t* NumberText::FormatQwordSwapped(uint64_t value) { return FormatQword(SwapBytes64(value)); }

const wchar_t* NumberText::FormatBinary(uint64_t value, int size) {
    if (size < 1 || size > 8) size = 8;
    wchar_t* out = text;
    for (int bit = size * 8 - 1; bit >= 0; --bit) {
        *out++ = (value >> bit) & 1 ? L'1' : L'0';
        if (bit % 8 == 0 && bit != 0) *out++ = L'-';
    }
    *out = 0;
    return text;
}

const wchar_t* NumberText::FormatBinarySwapped(uint64_t value, int size) {
    switch (size) {
    case 2: value = SwapBytes16(static_cast<uint16_t>(value)); break;
    case 4: value = SwapBytes32(static_cast<uint32_t>(value)); break;
    case 8: value = SwapBytes64(value); break;
    default: break;
    }
    return FormatBinary(value, size);
}

const wchar_t* NumberText::FormatDecimal(int32_t value) { return Print(L"%d", value); }
const wchar_t* NumberText::FormatHexByte(uint32_t value) { return Print(L"%02X", value & 0xFF); }
const wchar_t* NumberText::FormatHexDword(uint32_t value) { return Print(L"%08X", value); }

const wchar_t* NumberText::FormatSignedQwordHex(int64_t value) {
    const uint64_t v = static_cast<uint64_t>(value);
    if (value < 0) {
        const uint64_t magnitude = 0 - v;
        return Print(kQword.hexNegative, High(magnitude), Low(magnitude));
    }
    return Print(kQword.hexPositive, High(v), Low(v));
}

const wchar_t* NumberText::FormatHexAuto(uint64_t value) {
    if (value == 0) return Print(L"0");
    switch (width) {
    case 1: return Print(L"%02X", static_cast<uint32_t>(value & 0xFF));
    case 2: return Print(L"%04X", static_cast<uint32_t>(value & 0xFFFF));
    case 4: return Print(L"%08X", Low(value));
    case 0:
        if (High(value) == 0) {
            if (value < 256) return Print(L"%02X", Low(value));
            return Print(value > 0xFFFF ? L"%08X" : L"%04X", Low(value));
        }
        break;
    default: break;
    }
    return Print(kQword.hex, High(value), Low(value));
}

bool ParseNumber(const wchar_t* text, int64_t& result, int base) {
    result = 0;
    if (!text) return true;
    const wchar_t* p = text;
    bool negative = false;
    if (*p == L'+' || *p == L'-') negative = *p++ == L'-';
    if (p[0] == L'0' && (p[1] == L'x' || p[1] == L'X')) {
        p += 2;
        base = 16;
    } else if (base <= 0) {
        base = 10;
    }
    const uint64_t max = INT64_MAX;
    uint64_t value = 0;
    for (; *p; ++p) {
        const wchar_t c = *p;
        if (std::iswspace(c)) break;
        if (c == L'`') continue;
        int digit = -1;
        if (c >= L'0' && c <= L'9') digit = c - L'0';
        else if (base == 16) digit = HexDigitValue(c);
        if (digit < 0) break;
        // Checked before the multiply, so no wrap-around can slip through.
        if (value > (max - digit) / static_cast<uint64_t>(base)) {
            result = -1;
            return false;
        }
        value = value * base + digit;
    }
    result = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    return true;
}

int HexDigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

int HexAddressWidth(uint64_t value) {
    if (value <= 0xFFFF) return 4;
    const uint32_t high = High(value);
    if (high == 0) return 8;
    if (high <= 0xFF) return 11;
    if (high <= 0xFFFF) return 13;
    if (high <= 0xFFFFFF) return 15;
    return 17;
}

int DecimalDigits(uint64_t value) {
    int digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

uint16_t SwapBytes16(uint16_t value) { return static_cast<uint16_t>((value >> 8) | (value << 8)); }
uint32_t SwapBytes32(uint32_t value) { return __builtin_bswap32(value); }
uint64_t SwapBytes64(uint64_t value) { return __builtin_bswap64(value); }
