#include "core/NumberText.h"
#include "document/CodePageChars.h"
#include "document/DizaBodyLines.h"
#include "document/FileParseThread.h"

#include <windows.h>

#include <vector>

using namespace diza;

namespace {

constexpr int kStringCodepageOem = 1;
constexpr int kClassOem = 2, kClassUtf8 = 3;   // 1 is ANSI

// One-byte text as wide text in a Windows code page; one unit a byte for single-byte pages.
void Widen(UINT codePage, const char* bytes, int count, std::vector<wchar_t>& out) {
    out.assign(static_cast<size_t>(count) + 1, 0);
    if (count <= 0) {
        out.resize(0);
        return;
    }
    const int n = MultiByteToWideChar(codePage, 0, bytes, count, out.data(), count);
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
}

}  // namespace

int64_t BDizaFixedLine::LineStart(int64_t at) {
    if (at < address)
        return address;
    const int64_t length = LineLength();
    return length > 0 ? address + (at - address) / length * length : at;
}

// --- Byte lines: "00 01 02 03-04 05".

void DizaBodylineByteline::BuildText() {
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    const uint8_t* p = LoadBytes();
    const int n = GetByteCount();
    text.clear();
    text.reserve(static_cast<size_t>(n) * 3);
    for (int i = 0; i < n; ++i) {
        if (i)
            text.push_back(i % 4 == 0 ? L'-' : L' ');
        text.push_back(kHex[p[i] >> 4]);
        text.push_back(kHex[p[i] & 0xF]);
    }
}

bool DizaBodylineByteline::HandleClick(HDC dc, const void* zone, int byteIndex, RECT& rect) {
    return NarrowToColumns(dc, zone, 3 * byteIndex, 2, rect);
}

int64_t DizaBodylineByteline::Address(const void* zone, int x, int y) {
    const int column = ByteAtColumn(zone, x, y);
    if (column < 0 || column / 3 >= GetByteCount())
        return -1;
    return address + column / 3;
}

// --- Dumps: one character a byte.

int32_t DizaBodylineDump::LineLength() { return document->DumpLineLength(); }

void DizaBodylineDump::BuildText() {
    const uint8_t* p = LoadBytes();
    const int n = GetByteCount();
    narrow_.assign(static_cast<size_t>(n) + 1, 0);
    for (int i = 0; i < n; ++i)
        narrow_[i] = static_cast<char>(p[i] < 32 ? '.' : p[i]);
    const UINT page = document->options.file.stringCodepage.index == kStringCodepageOem ? CP_OEMCP : CP_ACP;
    Widen(page, narrow_.data(), n, wide_);
    text.assign(wide_.data(), wide_.size());
}

bool DizaBodylineDump::HandleClick(HDC dc, const void* zone, int byteIndex, RECT& rect) {
    return NarrowToColumns(dc, zone, byteIndex, 1, rect);
}

// --- Strings.

void BDizaBodylineStringz::Quote(const wchar_t* chars, size_t count, wchar_t quote, const wchar_t* prefix) {
    text.clear();
    text.reserve(count + 16);
    bool open = false;
    for (size_t i = 0; i < count; ++i) {
        const wchar_t c = chars[i];
        if (c == 0 || c == 10 || c == 13) {
            if (open)
                text.push_back(quote);
            open = false;
            if (i)
                text.push_back(L',');
            text.append(c == 0 ? L"0" : c == 10 ? L"10" : L"13");
            continue;
        }
        if (!open) {
            if (i)
                text.push_back(L',');
            text.append(prefix);
            text.push_back(quote);
            open = true;
        }
        text.push_back(c);
    }
    if (open)
        text.push_back(quote);
}

int DizaBodylineAsciiz::CodePageClass() const {
    const int recorded = static_cast<int>((kind & kStringClassMask) >> kStringClassShift);
    return recorded ? recorded : document->options.file.stringCodepage.index + 1;
}

void DizaBodylineAsciiz::BuildText() {
    const uint8_t* p = LoadBytes();
    const int n = GetByteCount();
    std::vector<wchar_t>& wide = wide_;
    switch (CodePageClass()) {
    case kClassUtf8:
        wide.resize(static_cast<size_t>(n) + 1);
        wide.resize(DecodeUtf8(p, static_cast<size_t>(n), wide.data()));
        Quote(wide.data(), wide.size(), L'"', L"");
        return;
    case kClassOem: {
        std::vector<char>& ansi = narrow_;
        ansi.assign(static_cast<size_t>(n) + 1, 0);
        if (n > 0)
            OemToCharBuffA(reinterpret_cast<const char*>(p), ansi.data(), static_cast<DWORD>(n));
        Widen(CP_ACP, ansi.data(), n, wide);
        break;
    }
    default:
        Widen(CP_ACP, reinterpret_cast<const char*>(p), n, wide);
        break;
    }
    Quote(wide.data(), wide.size(), L'\'', L"");
}

void DizaBodylineUnicode::BuildText() {
    const uint8_t* p = LoadBytes();
    const size_t units = static_cast<size_t>(GetByteCount()) / 2;
    wide_.assign(units + 1, 0);
    for (size_t i = 0; i < units; ++i)
        wide_[i] = static_cast<wchar_t>(p[2 * i] | (p[2 * i + 1] << 8));
    Quote(wide_.data(), units, L'"', L"L");
}
