#include "MakerFakes.h"

#include "document/BDizaLine.h"
#include "document/CodePageChars.h"
#include "document/DizaBodyLines.h"
#include "document/MakerCode.h"
#include "document/MakerData.h"
#include "document/MakerStringz.h"

#include <windows.h>

#include <memory>

std::wstring MakerTest::Text(int64_t address) {
    SectionLock lock(doc->FileLock());
    const Diza item = doc->Map().ItemAtOrNext(address);
    std::unique_ptr<BDizaLine> line(MakeDizaLine(doc, item));
    BDizaBodyLine* body = line->Body();
    if (!body)
        return L"<plain>";
    body->BuildText();
    return body->text;
}

namespace {

std::string At(std::string bytes, size_t offset, const std::string& piece) {
    bytes.replace(offset, piece.size(), piece);
    return bytes;
}

std::wstring FromCodePage(UINT page, const char* bytes, int n) {
    wchar_t out[16] = {};
    const int k = MultiByteToWideChar(page, 0, bytes, n, out, 16);
    return std::wstring(out, k > 0 ? k : 0);
}

}  // namespace

// The texts of the string models and the quoting rule.
TEST_F(MakerTest, StringTexts) {
    std::string bytes(0x100, 'x');
    bytes = At(bytes, 0x00, std::string("H\0i\0\r\0\n\0\0\0", 10));
    bytes = At(bytes, 0x10, std::string("\0ab\0", 4));
    bytes = At(bytes, 0x20, std::string("a\r\n\r\nb\0", 7));
    bytes = At(bytes, 0x30, std::string("\xC3\xA9\xA9z\0", 5));
    Open(bytes);
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
    {
        MakerUnicode m(doc);
        ASSERT_TRUE(m.Make(0x1000, 10));
    }
    EXPECT_EQ(Text(0x1000), L"L\"Hi\",13,10,0");
    SectionLock lock(doc->FileLock());
    doc->Map().AddStringItem(0x1010, 4, 1);
    doc->Map().AddDumpItem(0x1014);
    EXPECT_EQ(Text(0x1010), L"0,'ab',0");
    doc->Map().AddStringItem(0x1020, 7, 1);
    doc->Map().AddDumpItem(0x1027);
    EXPECT_EQ(Text(0x1020), L"'a',13,10,13,10,'b',0");
    doc->Map().AddStringItem(0x1030, 5, 3);   // UTF-8
    doc->Map().AddDumpItem(0x1035);
    EXPECT_EQ(Text(0x1030), L"\"\u00E9?z\",0");
}

// A one-byte string made under the OEM or UTF-8 code page records it in its kind word and in the
// strings table, and reads its bytes in it.
TEST_F(MakerTest, OneByteStringsInTheOemAndUtf8CodePages) {
    std::string bytes(0x100, 'x');
    bytes = At(bytes, 0x00, std::string("caf\x82\0", 5));
    bytes = At(bytes, 0x10, std::string("caf\xC3\xA9\0", 6));
    Open(bytes);
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
    const std::wstring oem = L"'caf" + FromCodePage(CP_OEMCP, "\x82", 1) + L"',0";
    struct Row {
        int page;
        int64_t at;
        uint32_t kind, word;
        std::wstring text;
    };
    const Row rows[] = {
        { 1, 0x1000, 0xA0200005, (3u << 28) | 5, oem },
        { 2, 0x1010, 0xA0300006, (4u << 28) | 6, L"\"caf\u00E9\",0" },
    };
    for (const Row& r : rows) {
        doc->options.file.stringCodepage.index = r.page;
        MakerAsciiz m(doc);
        ASSERT_TRUE(m.Make(r.at, BMaker::kNoSize)) << r.page;
        EXPECT_EQ(doc->Map().ItemAt(r.at).kind, r.kind) << r.page;
        STRINGZ_DATA s{};
        ASSERT_TRUE(doc->strings.Get(doc->strings.Count() - 1, s));
        EXPECT_EQ(s.address, r.at);
        EXPECT_EQ(s.word, r.word) << r.page;
        EXPECT_EQ(Text(r.at), r.text) << r.page;
    }
    // The recorded code page holds when the document's option changes.
    doc->options.file.stringCodepage.index = 0;
    EXPECT_EQ(Text(0x1000), oem);
}

// Byte lines, dumps and the clipping of a line by the next record.
TEST_F(MakerTest, BytelineAndDumpTexts) {
    std::string bytes(0x100, '\0');
    for (int i = 0; i < 0x100; ++i)
        bytes[i] = static_cast<char>(i);
    bytes = At(bytes, 0x40, std::string("\x41\x00\x7F\x80", 4));
    Open(bytes);
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
    SectionLock lock(doc->FileLock());
    doc->Map().AddBytelineItem(0x1000, 8);
    doc->Map().AddDumpItem(0x100D);
    EXPECT_EQ(Text(0x1000), L"00 01 02 03-04 05 06 07");
    EXPECT_EQ(Text(0x1008), L"08 09 0A 0B-0C");   // five bytes: the fifth after a "-"
    doc->Map().AddDumpItem(0x1040);
    doc->Map().AddBytelineItem(0x1044, 4);
    const char raw[] = { '\x7F', '\x80' };
    EXPECT_EQ(Text(0x1040), L"A." + FromCodePage(CP_ACP, raw, 2));
    doc->options.file.stringCodepage.index = 1;
    EXPECT_EQ(Text(0x1040), L"A." + FromCodePage(CP_OEMCP, raw, 2));
}

// Data lines: prefix, padded numbers only with several elements, byte order, clipping.
TEST_F(MakerTest, DataTexts) {
    std::string bytes(0x100, '\0');
    bytes = At(bytes, 0x00, "\x12\x34");
    bytes = At(bytes, 0x10, std::string("\x01\0\0\0\x02\0\0\0\x03\0\0\0\x04\0\0\0", 16));
    bytes = At(bytes, 0x20, std::string("\xFF\xFF\xFF\xFF\x05\0\0\0", 8));
    Open(bytes);
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
    SectionLock lock(doc->FileLock());
    doc->Map().Put({ 0x1000, 0xD1800001 });   // big-endian word
    doc->Map().Put({ 0x1002, 0xD1000001 });
    doc->Map().AddDumpItem(0x1004);
    EXPECT_EQ(Text(0x1000), L"dw  1234");
    EXPECT_EQ(Text(0x1002), L"dw  0000");
    doc->Map().Put({ 0x1000, 0xD1000001 });
    EXPECT_EQ(Text(0x1000), L"dw  3412");
    doc->Map().AddDataItem(0x1010, 4, 4);
    doc->Map().AddDumpItem(0x1020);
    EXPECT_EQ(Text(0x1010), L"dd  00000001, 00000002, 00000003, 00000004");
    doc->Map().AddDataItem(0x1020, 4, 2);
    doc->Map().AddDumpItem(0x1026);   // clipped after 6 bytes: one element
    EXPECT_EQ(Text(0x1020), L"dd  FFFFFFFF");
    doc->Map().RemoveKey(0x1026);
    doc->Map().AddDumpItem(0x1028);
    doc->Map().Put({ 0x1020, 0xD2380002 });   // signed decimal, padded
    EXPECT_EQ(Text(0x1020), L"dd           -1,           5");
    doc->Map().Put({ 0x1020, 0xD2380001 });
    EXPECT_EQ(Text(0x1020), L"dd  -1");
    // Without a radix of its own an item follows the document's decimal and signed options; with one
    // (hex chosen here) it keeps it.
    struct Row {
        bool decimal, isSigned;
        uint32_t kind;
        const wchar_t* text;
    };
    const Row rows[] = {
        { true, true, 0xD2000001, L"dd  -1" },
        { true, false, 0xD2000001, L"dd  4294967295" },
        { true, true, 0xD2000002, L"dd           -1,           5" },
        { false, false, 0xD2000001, L"dd  FFFFFFFF" },
        { true, true, 0xD2200001, L"dd  FFFFFFFF" },
    };
    for (const Row& r : rows) {
        doc->options.file.dataDecimal.value = r.decimal;
        doc->options.file.dataSigned.value = r.isSigned;
        doc->Map().Put({ 0x1020, r.kind });
        EXPECT_EQ(Text(0x1020), r.text) << std::hex << r.kind << " " << r.decimal << r.isSigned;
    }
}

TEST_F(MakerTest, DataProperties) {
    Open(std::string("\x12\x34", 2) + std::string(0xFE, '\0'));
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
    SectionLock lock(doc->FileLock());
    doc->Map().AddDataItem(0x1000, 2, 1);
    doc->Map().AddDumpItem(0x1002);
    Diza record = doc->Map().ItemAt(0x1000);
    DizaBodylineData line(doc, record);
    DizaPropertyList list;
    EXPECT_EQ(line.Properties(list), 0);
    ASSERT_EQ(list.size(), 6u);
    EXPECT_EQ(list[0].name, L"Data order");
    EXPECT_EQ(list[0].text, L"Little-endian");
    EXPECT_EQ(list[1].text, L"3412");
    EXPECT_EQ(list[3].name, L"Uns Dec");
    EXPECT_EQ(list[3].text, L"13330");
    EXPECT_EQ(list[5].name, L"Bits");
    EXPECT_EQ(list[5].text, L"00110100-00010010");
    EXPECT_FALSE(line.OnKey(list, record, 0, 13));
    EXPECT_EQ(record.kind & 0x00800000, 0x00800000u);
    EXPECT_EQ(list[0].text, L"Big-endian");
    EXPECT_EQ(list[1].text, L"1234");
    EXPECT_TRUE(line.OnKey(list, record, 2, 13));
    EXPECT_FALSE(line.OnKey(list, record, 2, 32));
    // Two elements a line: no "Bits" row.
    DizaBodylineData two(doc, { 0x1000, 0xD1000002 });
    DizaPropertyList list2;
    two.Properties(list2);
    EXPECT_EQ(list2.size(), 5u);
}

// An instruction that runs past its segment's end shows its bytes up to that end.
TEST_F(MakerTest, CodeTextCutAtTheSegmentEnd) {
    std::string bytes(0x20, '\x90');
    bytes = At(bytes, 0x1C, "\x81\xC1\x01\x02");
    Open(bytes);
    ASSERT_TRUE(doc->AddCodeSegment(0x1000, 0, 0x20, 0));
    EXPECT_EQ(Text(0x1000).substr(0, 3), L"nop");
    SectionLock lock(doc->FileLock());
    doc->Map().AddCodeItem(0x101C);
    EXPECT_EQ(Text(0x101C), L"db  81,C1,01,02");
}

TEST_F(MakerTest, FactoryAndColumns) {
    Open(std::string(0x100, '\0'));
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
    SectionLock lock(doc->FileLock());
    for (uint32_t word : { 0x50000000u, 0xF0000000u, 0x90000000u, 0xE0000000u, 0xA2000005u })
    {
        std::unique_ptr<BDizaLine> line(MakeDizaLine(doc, { 0x1000, word }));
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->Body(), nullptr) << std::hex << word;
    }
    doc->Map().AddBytelineItem(0x1000, 4);
    doc->Map().AddDumpItem(0x1004);
    DizaBodylineByteline bytes(doc, { 0x1000, 0xB0000004 });
    EXPECT_EQ(bytes.Address(nullptr, 8 * 7, 0), 0x1002);    // column 7: the third byte's separator
    EXPECT_EQ(bytes.Address(nullptr, 8 * 12, 0), -1);      // right of the last byte
    RECT r = { 100, 10, 400, 30 };
    EXPECT_TRUE(bytes.HandleClick(nullptr, nullptr, 2, r));
    EXPECT_EQ(r.left, 100 + 6 * 8);
    EXPECT_EQ(r.right, 100 + 8 * 8);
    EXPECT_EQ(r.top, 11);
    EXPECT_EQ(r.bottom, 28);
    DizaBodylineDump dump(doc, { 0x1004, 0xB0000000 });
    EXPECT_EQ(dump.Address(nullptr, 8 * 15, 0), 0x1004 + 15);
    EXPECT_EQ(dump.Address(nullptr, 8 * 16, 0), -1);
}

TEST(CodePageCharsTest, SetsAndUtf8) {
    CodePageChars none;
    EXPECT_TRUE(none.IsPrintable('A'));
    EXPECT_TRUE(none.IsPrintable('\r'));
    EXPECT_FALSE(none.IsPrintable(0x7F));
    EXPECT_FALSE(none.IsPrintable(0xC0));
    EXPECT_TRUE(CodePageChars::IsPrintableWide(0x0410));
    EXPECT_TRUE(CodePageChars::IsPrintableWide(0x044F));
    EXPECT_TRUE(CodePageChars::IsPrintableWide(0x0401));
    EXPECT_FALSE(CodePageChars::IsPrintableWide(0x00E9));
    EXPECT_FALSE(CodePageChars::IsPrintableWide(0x0450));
    // The upper half follows the code page: a byte is text when it maps into the wide set.
    CodePageChars ansi(0);
    for (unsigned c = 0x80; c < 0x100; ++c) {
        const char b = static_cast<char>(c);
        wchar_t w = 0;
        const bool maps = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS | MB_PRECOMPOSED, &b, 1, &w, 1) == 1 &&
                          CodePageChars::IsPrintableWide(static_cast<uint16_t>(w));
        EXPECT_EQ(ansi.IsPrintable(static_cast<uint8_t>(c)), maps) << c;
    }
    const uint8_t utf8[] = { 0xC3, 0xA9, 0xA9, 0xE2, 0x82, 0xAC, 0xE2, 0x82 };
    wchar_t out[8] = {};
    ASSERT_EQ(DecodeUtf8(utf8, sizeof utf8, out), 5u);
    EXPECT_EQ(out[0], 0xE9);
    EXPECT_EQ(out[1], L'?');
    EXPECT_EQ(out[2], 0x20AC);
    EXPECT_EQ(out[3], L'?');   // a sequence cut by the count
    EXPECT_EQ(DecodeUtf8(utf8, 2, nullptr), 1u);
}

TEST(StringzTableTest, OneRecordPerAddress) {
    StringzTable t;
    EXPECT_TRUE(t.Insert(0x20, 5, kStringzAnsi));
    EXPECT_TRUE(t.Insert(0x10, 3, kStringzWide));
    EXPECT_FALSE(t.Insert(0x20, 9, kStringzOem));
    ASSERT_EQ(t.Count(), 2);
    STRINGZ_DATA r;
    ASSERT_TRUE(t.Get(1, r));
    EXPECT_EQ(r.address, 0x20);
    EXPECT_EQ(r.Length(), 5u);
    EXPECT_EQ(r.Kind(), kStringzAnsi);
    EXPECT_FALSE(t.Get(2, r));
    EXPECT_EQ(t.Find(0x15), ~1);
}
