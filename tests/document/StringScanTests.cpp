#include "DocumentFakes.h"

#include "document/ScanStringz.h"

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

std::vector<std::pair<int64_t, int32_t>> Hits(const ScanStringz& s) {
    std::vector<std::pair<int64_t, int32_t>> r;
    for (int i = 0; i < s.hits.count; ++i)
        r.push_back({ s.hits[i].offset, s.hits[i].length });
    return r;
}

using HitList = std::vector<std::pair<int64_t, int32_t>>;

TEST(StringScan, AsciiRuns) {
    const struct {
        std::string bytes;
        bool zeroAfter;
        HitList hits;
    } rows[] = {
        { std::string(4, '\0') + "ABCDEFGH", false, { { 4, 8 } } },                 // ends with the buffer
        { std::string(8, '\0') + "ABCDEFG" + std::string(1, '\0'), false, {} },    // seven letters
        { std::string(7, '\0') + "ABCDEFGH" + std::string(1, '\0'), false, { { 7, 9 } } },
        { "abcd\x01" "ABCDEFGH" + std::string(1, '\0'), false, { { 5, 9 } } },
        { "ABCDEFGH" + std::string(1, '\0'), false, { { 0, 9 } } },                 // at the first byte
        { "ABCDEFGH", false, { { 0, 8 } } },
        { "ABCDEFGH", true, { { 0, 9 } } },                                          // a zero follows
        { "ABCDEFGH\x01", true, {} },                                                // not before a zero
        { "ABCDEFG", true, {} },
        { std::string("line one\r\n") + std::string(1, '\0'), false, { { 0, 11 } } },
        { std::string("\tabcdefgh") + std::string(1, '\0'), false, { { 1, 9 } } },        // tab is no text
        { std::string("AAAAAAAAA") + std::string(1, '\0') + "BBBBBBBB" + std::string(1, '\0'), false,
          { { 0, 10 }, { 10, 9 } } },
    };
    ScanStringz scan;
    for (const auto& row : rows) {
        const std::vector<uint8_t> b = Bytes(row.bytes);
        scan.ScanAscii(b.data(), static_cast<int64_t>(b.size()), row.zeroAfter);
        EXPECT_EQ(Hits(scan), row.hits) << row.bytes;
    }
    scan.ScanAscii(nullptr, 0);
    EXPECT_EQ(scan.hits.count, 0);
}

// The definition, character by character.
HitList Reference(const std::vector<uint16_t>& units, bool (*isText)(uint16_t), int unitSize, bool zeroAfter) {
    HitList r;
    size_t i = 0;
    while (i < units.size()) {
        if (!isText(units[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < units.size() && isText(units[end]))
            ++end;
        if (end - i >= 8) {
            if (end < units.size() && units[end] == 0)
                r.push_back({ static_cast<int64_t>(i) * unitSize, static_cast<int32_t>(end - i + 1) });
            else if (end == units.size())
                r.push_back({ static_cast<int64_t>(i) * unitSize, static_cast<int32_t>(end - i + (zeroAfter ? 1 : 0)) });
        }
        i = end;
    }
    return r;
}

bool Text8(uint16_t c) { return c == 8 || c == 10 || c == 12 || c == 13 || (c >= 0x20 && c <= 0x7E); }
bool TextWide(uint16_t c) { return Text8(c) || c == 0x401 || c == 0x451 || (c >= 0x410 && c <= 0x44F); }

TEST(StringScan, RandomAgainstDefinition) {
    std::mt19937 rng(140);
    ScanStringz scan;
    for (int round = 0; round < 400; ++round) {
        const bool zeroAfter = round % 2 != 0;
        const int n = rng() % 300;
        std::vector<uint8_t> bytes(n);
        for (auto& b : bytes) {
            const int k = rng() % 10;
            b = k == 0 ? 0 : k == 1 ? static_cast<uint8_t>(rng()) : static_cast<uint8_t>('a' + rng() % 26);
        }
        std::vector<uint16_t> asBytes(bytes.begin(), bytes.end());
        scan.ScanAscii(bytes.data(), n, zeroAfter);
        ASSERT_EQ(Hits(scan), Reference(asBytes, Text8, 1, zeroAfter)) << round;

        std::vector<uint16_t> units(n / 2);
        const uint16_t pool[] = { 0, 0x41, 0x42, 0x410, 0x44F, 0x451, 0xE9, 0x20, 0x0D, 0x3000 };
        for (auto& u : units)
            u = pool[rng() % 10];
        std::vector<uint8_t> raw(units.size() * 2 + (n % 2));
        for (size_t k = 0; k < units.size(); ++k) {
            raw[2 * k] = static_cast<uint8_t>(units[k]);
            raw[2 * k + 1] = static_cast<uint8_t>(units[k] >> 8);
        }
        scan.ScanUnicode(raw.data(), static_cast<int64_t>(raw.size()), zeroAfter);
        ASSERT_EQ(Hits(scan), Reference(units, TextWide, 2, zeroAfter)) << round;
    }
}

TEST(StringScan, CyrillicCountsLatinOneDoesNot) {
    const std::u16string cyrillic = u"\u041F\u0440\u0438\u0432\u0435\u0442\u0438\u043A";   // eight letters
    const std::u16string latin = u"caf\u00E9caf\u00E9";
    ScanStringz scan;
    for (const auto& row : { std::make_pair(cyrillic, 1), std::make_pair(latin, 0) }) {
        std::u16string text = row.first + u'\0';
        scan.ScanUnicode(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int64_t>(text.size() * 2));
        EXPECT_EQ(scan.hits.count, row.second);
    }
    EXPECT_EQ(Hits(scan), HitList{});
    std::u16string text = u"\u0001" + cyrillic + u'\0';
    scan.ScanUnicode(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int64_t>(text.size() * 2));
    EXPECT_EQ(Hits(scan), (HitList{ { 2, 9 } }));   // offsets in bytes, lengths in characters
}

TEST(StringScan, MergeKeepsListedRecords) {
    StringzTable table;
    EXPECT_TRUE(table.Insert(0x20, 5, kStringzAnsi));
    EXPECT_FALSE(table.Insert(0x20, 9, kStringzWide));   // a second record at the address is refused
    MergeStringz(table, { { 0x10, 0x20000003 }, { 0x20, 0x20000004 }, { 0x30, 0x20000005 } });
    MergeStringz(table, { { 0x40, 0x10000006 } });
    MergeStringz(table, { { 0x08, 0x10000001 }, { 0x30, 0x10000001 }, { 0x38, 0x10000002 } });
    std::vector<std::pair<int64_t, uint32_t>> got;
    STRINGZ_DATA r;
    for (int i = 0; table.Get(i, r); ++i)
        got.push_back({ r.address, r.word });
    const std::vector<std::pair<int64_t, uint32_t>> expected = {
        { 0x08, 0x10000001 }, { 0x10, 0x20000003 }, { 0x20, 0x10000005 }, { 0x30, 0x20000005 },
        { 0x38, 0x10000002 }, { 0x40, 0x10000006 },
    };
    EXPECT_EQ(got, expected);
}

TEST(StringScan, Utf8) {
    const struct {
        std::string bytes;
        std::wstring text;
    } rows[] = {
        { "\xC3\xA9", L"\u00E9" },
        { "\xA9", L"?" },
        { "a\xE2\x82\xAC" "b", L"a\u20ACb" },
        { "\xE2\x82", L"??" },           // continuation past the count
        { "\xF0\x9F\x98\x80", L"????" }, // four-byte forms are not decoded
    };
    for (const auto& row : rows) {
        wchar_t out[16] = {};
        const size_t n = DecodeUtf8(reinterpret_cast<const uint8_t*>(row.bytes.data()), row.bytes.size(), out);
        EXPECT_EQ(std::wstring(out, n), row.text);
        EXPECT_EQ(DecodeUtf8(reinterpret_cast<const uint8_t*>(row.bytes.data()), row.bytes.size(), nullptr), n);
    }
}

// A document over the given bytes whose parser lays out the segments given.
struct ScanDocument {
    struct Segment {
        int32_t kind;
        int64_t address, offset, sizeInFile, sizeInMemory;
    };
    ScanDocument(const std::string& bytes, std::vector<Segment> segments, uint32_t flags)
        : file(L"scan.bin", bytes), segments(std::move(segments)), parser([this](FileParseThread* d) {
              for (const Segment& s : this->segments)
                  d->AddSegment(s.kind, s.address, s.offset, s.sizeInFile, s.sizeInMemory);
              return true;
          }),
          open(dir) {
        doc = open.doc;
        EXPECT_TRUE(doc->OpenFile(RequestFor(file.Path(), &parser, 32, 0, flags)));
        open.host.notices.clear();
        open.log.lines.clear();
    }
    std::vector<std::pair<int64_t, uint32_t>> Table() {
        std::vector<std::pair<int64_t, uint32_t>> r;
        STRINGZ_DATA s;
        for (int i = 0; doc->strings.Get(i, s); ++i)
            r.push_back({ s.address, s.word });
        return r;
    }
    FakeDirectory dir;
    TempFile file;
    std::vector<Segment> segments;
    LambdaParser parser;
    OpenDocument open;
    FileParseThread* doc;
};

TEST(StringScanJob, EveryPassWithItsKind) {
    // 0x00: "ABCDEFGH\0"; 0x10: wide "ABCDEFGH\0" at an even offset; 0x31: the same at an odd one.
    std::string bytes(0x60, '\0');
    bytes.replace(0, 8, "ABCDEFGH");
    for (int k = 0; k < 8; ++k) {
        bytes[0x10 + 2 * k] = static_cast<char>('A' + k);
        bytes[0x31 + 2 * k] = static_cast<char>('a' + k);
    }
    ScanDocument d(bytes, { { 32, 0x1000, 0, 0x60, 0 } }, kScanAscii | kScanWideEven | kScanWideOdd);
    ScanStringzThread job(d.doc);
    ASSERT_TRUE(ScanStringzThread::IsWanted(d.doc->Request()->head.flags));
    EXPECT_FALSE(ScanStringzThread::IsWanted(0x8000));
    job.Run();
    const std::vector<std::pair<int64_t, uint32_t>> expected = {
        { 0x1000, 0x10000009 }, { 0x1010, 0x20000009 }, { 0x1031, 0x20000009 },
    };
    EXPECT_EQ(d.Table(), expected);
    ASSERT_EQ(d.open.log.lines.size(), 1u);
    EXPECT_EQ(d.open.log.lines[0].rfind(L"Scan stringz is finished in ", 0), 0u);
    ASSERT_EQ(d.open.host.notices.size(), 2u);
    EXPECT_EQ(d.open.host.notices[0].message, kMsgStringScan);
    EXPECT_EQ(d.open.host.notices[0].wparam, 1u);
    EXPECT_EQ(d.open.host.notices[1].wparam, 0u);

    // Again, with the OEM string code page: listed addresses keep their records.
    d.doc->options.file.stringCodepage.index = 1;
    job.Run();
    EXPECT_EQ(d.Table(), expected);
}

// A first scan under the OEM code page lists its one-byte strings as OEM (kind 3).
TEST(StringScanJob, OemCodePageGivesKindThree) {
    std::string bytes(0x20, '\0');
    bytes.replace(0, 8, "ABCDEFGH");
    ScanDocument d(bytes, { { 32, 0x1000, 0, 0x20, 0 } }, kScanAscii);
    d.doc->options.file.stringCodepage.index = 1;
    ScanStringzThread job(d.doc);
    job.Run();
    const std::vector<std::pair<int64_t, uint32_t>> expected = { { 0x1000, 0x30000009 } };
    EXPECT_EQ(d.Table(), expected);
}

TEST(StringScanJob, MemoryPartGivesOneZero) {
    // Two segments: the first ends its file part in a string and is longer in memory; the second is not,
    // so its last run counts without a zero. A huge memory extent is never allocated.
    std::string bytes = std::string(4, '\x01') + "ABCDEFGHIJ" + std::string(2, '\x01') + "KLMNOPQRST";
    ScanDocument d(bytes, { { 0, 0x100, 0, 14, 0x40000000 }, { 0, 0x40000100, 14, 12, 0 } }, kScanAscii);
    ScanStringzThread job(d.doc);
    job.Run();
    const std::vector<std::pair<int64_t, uint32_t>> expected = { { 0x104, 0x1000000B }, { 0x40000102, 0x1000000A } };
    EXPECT_EQ(d.Table(), expected);
}

TEST(StringScanJob, ClosingStopsTheScan) {
    ScanDocument d(std::string("ABCDEFGH") + std::string(8, '\0'), { { 0, 0x100, 0, 16, 0 } }, kScanAscii);
    d.doc->closing = true;
    ScanStringzThread job(d.doc);
    job.Run();
    EXPECT_EQ(d.doc->strings.Count(), 0);
}

TEST(StringScanJob, FormatEachKind) {
    std::string bytes(0x40, '\0');
    bytes.replace(0, 5, "Hello");
    bytes.replace(0x10, 6, std::string("H\0i\0!\0", 6));
    bytes.replace(0x20, 3, "\xC3\xA9x");
    ScanDocument d(bytes, { { 0, 0x100, 0, 0x40, 0 } }, 0);
    const struct {
        STRINGZ_DATA record;
        const wchar_t* text;
    } rows[] = {
        { { 0x100, 0x10000006 }, L"'Hello'" },
        { { 0x100, 0x30000003 }, L"'Hel'" },
        { { 0x110, 0x20000004 }, L"L\"Hi!\"" },
        { { 0x120, 0x40000004 }, L"\"\u00E9x\"" },
        { { 0x100, 0x50000004 }, L"n/a" },
        { { 0x100, 0x00000004 }, L"n/a" },
    };
    for (const auto& row : rows)
        EXPECT_EQ(FormatStringz(d.doc, row.record), row.text);
}

}  // namespace
