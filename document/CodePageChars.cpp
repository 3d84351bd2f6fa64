#include "document/CodePageChars.h"

#include <windows.h>

#include <cstring>

namespace {

bool IsText7(unsigned c) { return c == 0x08 || c == 0x0A || c == 0x0C || c == 0x0D || (c >= 0x20 && c <= 0x7E); }

}  // namespace

CodePageChars::CodePageChars(uint32_t codePage) {
    for (unsigned c = 0; c < 256; ++c)
        table_[c] = IsText7(c) ? 1 : 0;
    SetCodePage(codePage);
}

void CodePageChars::SetCodePage(uint32_t codePage) {
    if (codePage == codePage_)
        return;
    codePage_ = codePage;
    const UINT windowsPage = codePage == 1 ? CP_OEMCP : CP_ACP;
    for (unsigned c = 0x80; c < 256; ++c) {
        table_[c] = 0;
        if (codePage != 0 && codePage != 1)
            continue;
        const char byte = static_cast<char>(c);
        wchar_t unit = 0;
        if (MultiByteToWideChar(windowsPage, MB_ERR_INVALID_CHARS | MB_PRECOMPOSED, &byte, 1, &unit, 1) == 1 &&
            IsPrintableWide(static_cast<uint16_t>(unit)))
            table_[c] = 1;
    }
}

bool CodePageChars::IsPrintableWide(uint16_t unit) {
    const unsigned page = unit >> 8, low = unit & 0xFF;
    if (page == 0)
        return IsText7(low);
    if (page == 4)
        return low == 0x01 || (low >= 0x10 && low <= 0x4F) || low == 0x51;
    return false;
}

size_t DecodeUtf8(const uint8_t* bytes, size_t count, wchar_t* out) {
    size_t units = 0;
    size_t i = 0;
    auto put = [&](wchar_t c) {
        if (out)
            out[units] = c;
        ++units;
    };
    auto isTail = [&](size_t at) { return at < count && (bytes[at] & 0xC0) == 0x80; };
    while (i < count) {
        const uint8_t b = bytes[i];
        if (b < 0x80) {
            put(static_cast<wchar_t>(b));
            i += 1;
        } else if ((b & 0xE0) == 0xC0 && isTail(i + 1)) {
            put(static_cast<wchar_t>(((b & 0x1F) << 6) | (bytes[i + 1] & 0x3F)));
            i += 2;
        } else if ((b & 0xF0) == 0xE0 && isTail(i + 1) && isTail(i + 2)) {
            put(static_cast<wchar_t>(((b & 0x0F) << 12) | ((bytes[i + 1] & 0x3F) << 6) | (bytes[i + 2] & 0x3F)));
            i += 3;
        } else {
            put(L'?');
            i += 1;
        }
    }
    return units;
}
