#include "document/ScanStringz.h"

#include "document/DocumentHost.h"
#include "document/FileParseThread.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

constexpr int32_t kMaxRecordLength = 0x0FFFFFFF;   // the 28 bits of a table record

}  // namespace

ScanStringz::ScanStringz(uint32_t codePage) : chars(codePage), hits(0x4000) {
    std::memset(wideBits_, 0, sizeof wideBits_);
    for (uint32_t u = 0; u < 65536; ++u)
        if (CodePageChars::IsPrintableWide(static_cast<uint16_t>(u)))
            wideBits_[u >> 3] |= static_cast<uint8_t>(1u << (u & 7));
}

bool ScanStringz::IsWide(uint16_t u) const { return (wideBits_[u >> 3] >> (u & 7)) & 1; }

// One pass over `count` characters. A run can only start right after a character that is not text,
// so the character `minimum - 1` places further decides at once whether a long enough run can start
// anywhere in between: on binary bytes most characters are never looked at.
template <class Get, class IsText>
void ScanStringz::ScanRuns(int64_t count, Get get, IsText isText, bool zeroAfter, int unitSize) {
    hits.count = 0;
    const int64_t m = std::max<int32_t>(minimum, 1);
    int64_t i = 0;
    while (i + m <= count) {
        int64_t probe = i + m - 1;
        if (!isText(get(probe))) {
            i = probe + 1;
            continue;
        }
        int64_t first = probe;
        while (first > i && isText(get(first - 1)))
            --first;
        int64_t end = probe + 1;
        while (end < count && isText(get(end)))
            ++end;
        const int64_t run = end - first;
        if (run >= m) {
            int64_t length = -1;
            if (end < count) {
                if (get(end) == 0)
                    length = run + 1;
            } else {
                length = zeroAfter ? run + 1 : run;
            }
            if (length > 0)
                hits.Append(SCAN_STRINGZ{ first * unitSize, static_cast<int32_t>(std::min<int64_t>(length, kMaxRecordLength)) });
        }
        i = end + 1;
    }
}

void ScanStringz::ScanAscii(const uint8_t* bytes, int64_t length, bool zeroAfter) {
    if (!bytes || length <= 0) {
        hits.count = 0;
        return;
    }
    ScanRuns(length, [bytes](int64_t k) { return bytes[k]; },
             [this](uint8_t c) { return chars.IsPrintable(c); }, zeroAfter, 1);
}

void ScanStringz::ScanUnicode(const uint8_t* units, int64_t length, bool zeroAfter, uint16_t tail) {
    const int64_t whole = units && length > 0 ? length / 2 : 0;
    const int64_t count = whole + (tail != 0 ? 1 : 0);
    if (count == 0) {
        hits.count = 0;
        return;
    }
    ScanRuns(count,
             [units, whole, tail](int64_t k) {
                 return k < whole ? static_cast<uint16_t>(units[2 * k] | (units[2 * k + 1] << 8)) : tail;
             },
             [this](uint16_t u) { return IsWide(u); }, zeroAfter, 2);
}

void MergeStringz(StringzTable& table, const std::vector<STRINGZ_DATA>& batch) {
    if (batch.empty())
        return;
    SectionLock lock(table.Lock());
    TChunkSortKey<STRINGZ_DATA, int64_t>& r = table.Records();
    if (r.count == 0 || r[r.count - 1].address < batch.front().address) {
        for (const STRINGZ_DATA& s : batch)
            r.Append(s);
        return;
    }
    // Merge from the back into a gap opened at the end; records already listed win.
    const int n = r.count;
    const int m = static_cast<int>(batch.size());
    r.OpenGap(n, m);
    int w = n + m - 1, a = n - 1, b = m - 1;
    while (b >= 0) {
        if (a >= 0 && r[a].address >= batch[b].address) {
            if (r[a].address == batch[b].address)
                --b;
            r[w--] = r[a--];
        } else {
            r[w--] = batch[b--];
        }
    }
    if (w > a)
        r.Erase(a + 1, w - a);   // the slots left by dropped duplicates
}

bool ScanStringzThread::ReportHits(int64_t address, uint32_t kind) {
    if (document->closing)
        return false;
    std::vector<STRINGZ_DATA> batch;
    batch.reserve(scanner.hits.count);
    for (int i = 0; i < scanner.hits.count; ++i) {
        const SCAN_STRINGZ& h = scanner.hits[i];
        batch.push_back(STRINGZ_DATA{ address + h.offset, (kind << 28) | static_cast<uint32_t>(h.length) });
    }
    MergeStringz(document->strings, batch);
    return !document->closing;
}

void ScanStringzThread::Run() {
    HTimemeterScope scope(L"ScanStringzThread");
    meter.Start();
    document->NotifyWindows(kMsgStringScan, 1, 0, true);
    const uint32_t flags = document->Request() ? document->Request()->head.flags : 0;
    const uint32_t asciiKind = document->options.file.stringCodepage.index == 1 ? kStringzOem : kStringzAnsi;
    try {
        ScanSegments(flags, asciiKind);
    } catch (const std::bad_alloc&) {
        // What was found so far stays listed.
        document->Log().Print(L"Scan stringz: %s", L"not enough memory");
    }
    meter.Stop();
    document->Log().Print(L"Scan stringz is finished in %s", meter.ElapsedText());
    document->NotifyWindows(kMsgStringScan, 0, 0, true);
}

void ScanStringzThread::ScanSegments(uint32_t flags, uint32_t asciiKind) {
    const BFileIO* source = document->FileSource();
    const uint8_t* file = source ? source->Bytes() : nullptr;
    const int64_t fileSize = document->FileSize();
    bool going = true;
    for (int i = 0; going && file; ++i) {
        KSegment segment;
        {
            SectionLock lock(document->FileLock());
            const KSegment* s = document->Segments().Get(i);
            if (!s)
                break;
            segment.address = s->address;
            segment.fileOffset = s->fileOffset;
            segment.sizeInFile = s->sizeInFile;
            segment.sizeInMemory = s->sizeInMemory;
        }
        // The file part as held, then the memory-only part, which reads as zeros: one zero is enough.
        int64_t size = std::max<int64_t>(segment.sizeInFile, 0);
        if (segment.fileOffset < 0 || segment.fileOffset >= fileSize)
            size = 0;
        else
            size = std::min(size, fileSize - segment.fileOffset);
        const uint8_t* bytes = file + (size > 0 ? segment.fileOffset : 0);
        const int64_t extra = segment.sizeInMemory - size;
        // The bytes are read under the read lock; the table's lock is taken without it.
        if (flags & kScanAscii) {
            {
                SectionLock readLock(document->ReadLock());
                scanner.ScanAscii(bytes, size, extra > 0);
            }
            going = ReportHits(segment.address, asciiKind);
        }
        // UTF-16 from byte `skip`: a last odd byte pairs with a zero of the memory part.
        for (int skip = 0; skip < 2 && going; ++skip) {
            if (!(flags & (skip ? kScanWideOdd : kScanWideEven)))
                continue;
            const int64_t n = std::max<int64_t>(size - skip, 0);
            uint16_t tail = 0;
            int64_t zeros = extra;
            if (n % 2 != 0 && extra > 0) {
                tail = bytes[skip + n - 1];
                zeros -= 1;
            }
            {
                SectionLock readLock(document->ReadLock());
                scanner.ScanUnicode(bytes + skip, n, zeros >= 2 || (tail == 0 && n % 2 != 0 && extra > 0), tail);
            }
            going = ReportHits(segment.address + skip, kStringzWide);
        }
    }
}

StringW FormatStringz(FileParseThread* document, const STRINGZ_DATA& record) {
    const uint32_t kind = record.Kind();
    const int64_t characters = std::min<int64_t>(record.Length(), kMaxShownCharacters);
    const int unit = kind == kStringzWide ? 2 : 1;
    if (kind < kStringzAnsi || kind > kStringzUtf8)
        return StringW(L"n/a");
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[characters * unit + 2]());
    uint32_t got = 0;
    {
        SectionLock lock(document->FileLock());
        got = document->ReadBytes(record.address, static_cast<void*>(bytes.get()), static_cast<uint32_t>(characters * unit));
    }
    StringW text;
    if (kind == kStringzWide) {
        const wchar_t* units = reinterpret_cast<const wchar_t*>(bytes.get());
        size_t n = 0;
        while (n < got / 2 && units[n])
            ++n;
        text = L"L\"";
        text.append(units, n);
        text += L'"';
        return text;
    }
    size_t n = 0;
    while (n < got && bytes[n])
        ++n;
    if (kind == kStringzUtf8) {
        std::unique_ptr<wchar_t[]> units(new wchar_t[n + 1]);
        const size_t count = DecodeUtf8(bytes.get(), n, units.get());
        text = L"\"";
        text.append(units.get(), count);
        text += L'"';
        return text;
    }
    text = L"'";
    if (n > 0) {
        const UINT page = kind == kStringzOem ? CP_OEMCP : CP_ACP;
        const char* narrow = reinterpret_cast<const char*>(bytes.get());
        const int count = MultiByteToWideChar(page, 0, narrow, static_cast<int>(n), nullptr, 0);
        if (count > 0) {
            std::unique_ptr<wchar_t[]> units(new wchar_t[count]);
            MultiByteToWideChar(page, 0, narrow, static_cast<int>(n), units.get(), count);
            text.append(units.get(), count);
        }
    }
    text += L'\'';
    return text;
}
