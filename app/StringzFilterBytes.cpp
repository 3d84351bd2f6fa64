#include "app/StringzFilterBytes.h"

#include "app/StringzFilterTexts.h"
#include "document/BFileIO.h"
#include "document/CodePageChars.h"
#include "document/FileParseThread.h"
#include "document/KSegment.h"
#include "document/ScanStringz.h"
#include "toolkit/BMultiList.h"

#include <emmintrin.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

enum : uint8_t { kPass = 0, kFirst = 1, kEnd = 2 };

bool IsSurrogate(unsigned unit) { return (unit & 0xF800) == 0xD800; }

// Each UTF-16 unit lowered alone, as the rows lower it; a surrogate (lowered with its pair) stands for
// itself.
const wchar_t* LowerUnits() {
    static const std::unique_ptr<wchar_t[]> table = [] {
        std::unique_ptr<wchar_t[]> units(new wchar_t[65536]);
        for (unsigned u = 0; u < 65536; ++u) {
            units[u] = static_cast<wchar_t>(u);
            if (!IsSurrogate(u))
                ::CharLowerBuffW(&units[u], 1);
        }
        return units;
    }();
    return table.get();
}

__attribute__((target("sse2"))) inline __m128i Load16(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The places among the 16 bytes at p where the leading characters begin: the bytes from each place on
// lower to them (b | set == value).
template <int Characters>
__attribute__((target("sse2"))) inline __m128i Starts(const uint8_t* p, const __m128i* set, const __m128i* value) {
    __m128i hit = _mm_cmpeq_epi8(_mm_or_si128(Load16(p), set[0]), value[0]);
    for (int k = 1; k < Characters; ++k)
        hit = _mm_and_si128(hit, _mm_cmpeq_epi8(_mm_or_si128(Load16(p + k), set[k]), value[k]));
    return hit;
}

}  // namespace

const StringzFilterBytes::ByteTable& StringzFilterBytes::TableOf(uint32_t kind) {
    const auto make = [](UINT page) {
        ByteTable table;
        CPINFO info{};
        if (!::GetCPInfo(page, &info) || info.MaxCharSize != 1)
            return table;
        const wchar_t* lower = LowerUnits();
        for (unsigned b = 1; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            wchar_t unit = 0;
            if (::MultiByteToWideChar(page, 0, &byte, 1, &unit, 1) != 1 || unit == 0 || IsSurrogate(unit))
                return table;
            table.lower[b] = lower[static_cast<uint16_t>(unit)];
        }
        table.valid = true;
        return table;
    };
    static const ByteTable ansi = make(CP_ACP), oem = make(CP_OEMCP);
    return kind == kStringzOem ? oem : ansi;
}

void StringzFilterBytes::Begin(FileParseThread* document, const StringW& filter) {
    document_ = document;
    filter_ = filter;
    quoted_ = !filter.empty() && (filter.front() == L'\'' || filter.back() == L'\'');
    for (uint32_t kind : { kStringzAnsi, kStringzOem }) {
        Lead& lead = leads_[kind == kStringzOem ? 1 : 0];
        lead = Lead();
        lead.table = &TableOf(kind);
        const wchar_t* const lower = lead.table->lower;
        lead.classes[0] = kEnd;
        for (unsigned b = 1; b < 256; ++b)
            lead.classes[b] = !filter.empty() && lower[b] == filter[0] ? kFirst : kPass;
        // The bytes of each leading character: one, or two a bit apart (a letter's two cases).
        for (size_t k = 0; k < filter.size() && k < static_cast<size_t>(Lead::kLead); ++k) {
            unsigned bytes[3] = {}, found = 0;
            for (unsigned b = 1; b < 256; ++b)
                if (lower[b] == filter[k] && found++ < 3)
                    bytes[found - 1] = b;
            const unsigned apart = bytes[0] ^ bytes[1];
            if (found == 0)
                lead.never = true;
            if (found == 0 || found > 2 || (found == 2 && (apart & (apart - 1)) != 0) || lead.count != static_cast<int>(k))
                continue;
            std::memset(lead.set[k], found == 2 ? static_cast<int>(apart) : 0, 16);
            std::memset(lead.value[k], static_cast<int>(bytes[0] | bytes[1]), 16);
            ++lead.count;
        }
    }
    const BFileIO* source = document->FileSource();
    file_ = source ? source->Bytes() : nullptr;
    fileSize_ = file_ ? std::max<int64_t>(source->size, 0) : 0;
    partStart_ = partEnd_ = 0;
    partBytes_ = nullptr;
}

void StringzFilterBytes::FindAll(const std::function<void(int)>& add) {
    Item batch[kBatch];
    int used = 0;
    const int count = document_->strings.Count();
    int n = 0;
    for (int i = 0; i < count; i += n) {
        const STRINGZ_DATA* run = document_->strings.Run(i, n);
        if (!run)
            break;
        for (int k = 0; k < n; ++k) {
            batch[used++] = Item{ i + k, run[k] };
            if (used == kBatch) {
                Find(batch, used, add);
                used = 0;
            }
        }
    }
    Find(batch, used, add);
}

void StringzFilterBytes::FindAmong(const std::vector<int>& rows, const std::function<void(int)>& add) {
    Item batch[kBatch];
    int used = 0;
    const STRINGZ_DATA* run = nullptr;
    int runFirst = 0, runCount = 0;
    for (int i : rows) {
        if (!run || i < runFirst || i - runFirst >= runCount) {
            run = document_->strings.Run(i, runCount);
            runFirst = i;
            if (!run)
                continue;
        }
        batch[used++] = Item{ i, run[i - runFirst] };
        if (used == kBatch) {
            Find(batch, used, add);
            used = 0;
        }
    }
    Find(batch, used, add);
}

// One-byte texts whose code page gives the filter's first `Characters` characters a set and a value
// are looked through 32 bytes at a time, up to their first zero, for the places where those
// characters begin; the other records one by one.
template <int Characters>
__attribute__((target("sse2"), force_align_arg_pointer)) void StringzFilterBytes::FindInBlocks(
    const Item* items, int n, const std::function<void(int)>& add) {
    const __m128i zero = _mm_setzero_si128();
    __m128i set[2][Characters], value[2][Characters];
    for (int l = 0; l < 2; ++l)
        for (int k = 0; k < Characters; ++k) {
            set[l][k] = Load16(leads_[l].set[k]);
            value[l][k] = Load16(leads_[l].value[k]);
        }
    // A step reads 32 bytes, and the ones after them that the leading characters reach.
    const size_t span = 32 + Characters - 1;
    for (int t = 0; t < n; ++t) {
        const STRINGZ_DATA& record = items[t].record;
        const uint32_t kind = record.Kind();
        const int l = kind == kStringzOem ? 1 : 0;
        const Lead& lead = leads_[l];
        if ((kind != kStringzAnsi && kind != kStringzOem) || lead.count != Characters || !lead.table->valid) {
            if (Holds(record))
                add(items[t].index);
            continue;
        }
        if (lead.never)
            continue;
        const size_t count = std::min<size_t>(record.Length(), kMaxShownCharacters);
        size_t got = 0, readable = 0, length = 0;
        const uint8_t* const bytes = BytesAt(record.address, count, got, readable);
        int found = -1;
        size_t i = 0;
        for (; i < got && i + span <= readable; i += 32) {
            const uint8_t* const p = bytes + i;
            const __m128i zeros0 = _mm_cmpeq_epi8(Load16(p), zero), zeros1 = _mm_cmpeq_epi8(Load16(p + 16), zero);
            const __m128i starts0 = Starts<Characters>(p, set[l], value[l]);
            const __m128i starts1 = Starts<Characters>(p + 16, set[l], value[l]);
            if (!_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(zeros0, starts0), _mm_or_si128(zeros1, starts1))))
                continue;
            // Only what lies before the bytes' end, and before the first zero.
            unsigned ends = static_cast<unsigned>(_mm_movemask_epi8(zeros0)) |
                            static_cast<unsigned>(_mm_movemask_epi8(zeros1)) << 16;
            unsigned places = static_cast<unsigned>(_mm_movemask_epi8(starts0)) |
                              static_cast<unsigned>(_mm_movemask_epi8(starts1)) << 16;
            if (got - i < 32) {
                const unsigned inside = (1u << (got - i)) - 1;
                ends &= inside;
                places &= inside;
            }
            if (ends)
                places &= (ends & (0u - ends)) - 1;
            for (; places && found < 0; places &= places - 1)
                if (StandsAt(p + __builtin_ctz(places), bytes + got, lead.table->lower))
                    found = 1;
            if (found < 0 && ends) {
                found = 0;
                length = i + static_cast<size_t>(__builtin_ctz(ends));
            }
            if (found >= 0)
                break;
        }
        // What is left near the file part's end, a byte at a time.
        if (found < 0 && i < got) {
            found = ScanOneByte(bytes + i, got - i, got == count, lead, length);
            length += i;
        } else if (found < 0) {
            length = got;
            found = got == count ? 0 : -1;
        }
        if (found == 0 && quoted_)
            found = HoldsAtQuotes(bytes, length, *lead.table) ? 1 : 0;
        if (found < 0)
            found = HoldsFormatted(record) ? 1 : 0;
        if (found == 1)
            add(items[t].index);
    }
}

void StringzFilterBytes::Find(const Item* items, int n, const std::function<void(int)>& add) {
    switch (StringzFilterTexts::vectors ? std::max(leads_[0].count, leads_[1].count) : 0) {
    case 1:
        FindInBlocks<1>(items, n, add);
        return;
    case 2:
        FindInBlocks<2>(items, n, add);
        return;
    case 3:
        FindInBlocks<3>(items, n, add);
        return;
    default:
        for (int t = 0; t < n; ++t)
            if (Holds(items[t].record))
                add(items[t].index);
    }
}

const uint8_t* StringzFilterBytes::BytesAt(int64_t address, size_t count, size_t& got, size_t& readable) {
    got = readable = 0;
    if (address < partStart_ || address >= partEnd_) {
        partStart_ = partEnd_ = 0;
        const KSegment* s = file_ ? document_->Segments().Find(address) : nullptr;
        if (!s || s->fileOffset < 0 || s->fileOffset >= fileSize_)
            return nullptr;
        partStart_ = s->address;
        partEnd_ = s->address + std::min(s->sizeInFile, fileSize_ - s->fileOffset);
        partBytes_ = file_ + s->fileOffset;
        if (address < partStart_ || address >= partEnd_)
            return nullptr;
    }
    readable = static_cast<size_t>(partEnd_ - address);
    got = std::min(count, readable);
    return partBytes_ + (address - partStart_);
}

bool StringzFilterBytes::Holds(const STRINGZ_DATA& record) {
    const uint32_t kind = record.Kind();
    const size_t unit = kind == kStringzWide ? 2 : 1;
    const size_t count = std::min<size_t>(record.Length(), kMaxShownCharacters) * unit;
    size_t got = 0, readable = 0;
    if (kind == kStringzAnsi || kind == kStringzOem) {
        const Lead& lead = leads_[kind == kStringzOem ? 1 : 0];
        if (lead.table->valid) {
            if (lead.never)
                return false;
            size_t length = 0;
            const uint8_t* bytes = BytesAt(record.address, count, got, readable);
            const int found = ScanOneByte(bytes, got, got == count, lead, length);
            if (found == 0 && quoted_)
                return HoldsAtQuotes(bytes, length, *lead.table);
            if (found >= 0)
                return found == 1;
        }
        return HoldsFormatted(record);
    }
    const uint8_t* bytes = BytesAt(record.address, count, got, readable);
    // All the bytes the row reads are had: the text ends with them if not at a zero before.
    const bool whole = got == count;
    if ((kind == kStringzWide && MakeWide(bytes, got, whole)) || (kind == kStringzUtf8 && MakeUtf8(bytes, got, whole)))
        return TextHolds(text_.data(), text_.size(), filter_.data(), filter_.size());
    return HoldsFormatted(record);
}

int StringzFilterBytes::ScanOneByte(const uint8_t* bytes, size_t got, bool whole, const Lead& lead,
                                    size_t& length) const {
    const uint8_t* const end = bytes + got;
    for (const uint8_t* p = bytes; p != end; ++p) {
        const uint8_t c = lead.classes[*p];
        if (c == kPass)
            continue;
        if (c == kEnd) {
            length = static_cast<size_t>(p - bytes);
            return 0;
        }
        if (StandsAt(p, end, lead.table->lower))
            return 1;
    }
    length = got;
    return whole ? 0 : -1;
}

bool StringzFilterBytes::StandsAt(const uint8_t* p, const uint8_t* end, const wchar_t* lower) const {
    // A zero ends the comparison: no filter character lowers to it.
    const size_t n = filter_.size();
    if (static_cast<size_t>(end - p) < n)
        return false;
    size_t k = 1;
    while (k < n && lower[p[k]] == filter_[k])
        ++k;
    return k == n;
}

bool StringzFilterBytes::HoldsAtQuotes(const uint8_t* bytes, size_t length, const ByteTable& table) const {
    const size_t n = filter_.size(), total = length + 2;
    if (n > total)
        return false;
    const auto at = [&](size_t start) {
        for (size_t k = 0; k < n; ++k) {
            const size_t j = start + k;
            if ((j == 0 || j == total - 1 ? L'\'' : table.lower[bytes[j - 1]]) != filter_[k])
                return false;
        }
        return true;
    };
    return (filter_.front() == L'\'' && at(0)) || (filter_.back() == L'\'' && at(total - n));
}

bool StringzFilterBytes::MakeWide(const uint8_t* bytes, size_t got, bool whole) {
    const size_t units = got / 2;
    const wchar_t* lower = LowerUnits();
    text_.resize(units + 3);
    text_[0] = L'l';
    text_[1] = L'"';
    size_t i = 0;
    for (; i < units; ++i) {
        const unsigned u = bytes[2 * i] | (bytes[2 * i + 1] << 8);
        if (u == 0)
            break;
        if (IsSurrogate(u))
            return false;
        text_[i + 2] = lower[u];
    }
    if (i == units && !whole)
        return false;
    text_[i + 2] = L'"';
    text_.resize(i + 3);
    return true;
}

bool StringzFilterBytes::MakeUtf8(const uint8_t* bytes, size_t got, bool whole) {
    const size_t n = static_cast<size_t>(std::find(bytes, bytes + got, 0) - bytes);
    if (n == got && !whole)
        return false;
    text_.resize(n + 2);
    text_[0] = L'"';
    const size_t units = DecodeUtf8(bytes, n, text_.data() + 1);
    // The row ends at a character 0 (the bytes C0 80 give one), its closing quote with it.
    size_t length = 1;
    const wchar_t* lower = LowerUnits();
    for (; length <= units && text_[length] != 0; ++length) {
        if (IsSurrogate(text_[length]))
            return false;
        text_[length] = lower[static_cast<uint16_t>(text_[length])];
    }
    if (length == units + 1)
        text_[length++] = L'"';
    text_.resize(length);
    return true;
}

bool StringzFilterBytes::HoldsFormatted(const STRINGZ_DATA& record) {
    return FilterLower(FormatStringz(document_, record).c_str()).find(filter_) != StringW::npos;
}
