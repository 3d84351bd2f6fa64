#include "MakerFakes.h"

#include "document/DocumentHost.h"
#include "document/MakerCode.h"
#include "document/MakerData.h"
#include "document/MakerStringz.h"

#include <string>

namespace {

constexpr uint32_t kDump = 0xB0000000;
constexpr uint32_t kCode32 = 0xC1000000;

std::string Filled(size_t size, char c) { return std::string(size, c); }

}  // namespace

// A data segment of dwords, four a line, over 0x1000..0x1040: making a byte inside the second line
// cuts it into a head dump, the byte, a tail dump, and the following lines keep their data kind.
TEST_F(MakerTest, MakingPartOfADataLine) {
    Open(Filled(0x100, 'x'));
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
    {
        MakerDword m(doc);
        m.dataFormat = (m.dataFormat & ~0xFFu) | 4;
        ASSERT_TRUE(m.Make(0x1000, 0x40));
    }
    stores.calls.clear();
    MakerByte m(doc);
    ASSERT_TRUE(m.Make(0x1014, BMaker::kNoSize));
    EXPECT_EQ(m.lineStart, 0x1010);
    EXPECT_EQ(m.touchedEnd, 0x1020);
    const uint32_t dword4 = 0xD2000004;
    EXPECT_EQ(Pairs(Records()), (RecordList{ { 0x1000, dword4 }, { 0x1010, kDump }, { 0x1014, 0xD0000001 },
                                             { 0x1015, kDump }, { 0x1020, dword4 }, { 0x1040, kDump },
                                             { 0x1100, 0 } }));
    EXPECT_EQ(stores.calls, (std::vector<std::wstring>{ L"clear 1010-1020", L"changed 1010-1020" }));
    EXPECT_EQ(Lines().back(), L"Byte(1014-1014)");
}

// Inside a dump run no head record is written and nothing before the start is removed.
TEST_F(MakerTest, MakingInsideADumpRun) {
    Open(Filled(0x100, 'x'));
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
    MakerWord m(doc);
    ASSERT_TRUE(m.Make(0x1012, BMaker::kNoSize));
    EXPECT_EQ(m.lineStart, 0x1010);
    EXPECT_EQ(m.touchedEnd, 0x1020);
    EXPECT_EQ(Pairs(Records()), (RecordList{ { 0x1000, kDump }, { 0x1012, 0xD1000001 }, { 0x1014, kDump }, { 0x1100, 0 } }));
}

// An item that ends exactly at a line end adds no tail dump; the next line keeps its kind.
TEST_F(MakerTest, EndOnTheTouchedEndAddsNoTail) {
    Open(Filled(0x100, 'x'));
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
    MakerDump dump(doc);
    ASSERT_TRUE(dump.Make(0x1000, 0x20));
    MakerQword q(doc);
    ASSERT_TRUE(q.Make(0x1008, 8));
    EXPECT_EQ(q.touchedEnd, 0x1010);
    EXPECT_EQ(Pairs(Records()), (RecordList{ { 0x1000, kDump }, { 0x1008, 0xD3000001 }, { 0x1010, kDump },
                                             { 0x1020, kDump }, { 0x1100, 0 } }));
}

// An item that ends at its segment's end, another segment right after it: the make stops at the
// border and the next segment keeps its records.
TEST_F(MakerTest, AMakeEndingAtTheSegmentEnd) {
    Open(Filled(0x200, 'x'));
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
    ASSERT_TRUE(doc->AddDataSegment(0x1100, 0x100, 0x100, 0));
    MakerDword m(doc);
    ASSERT_TRUE(m.Make(0x10FC, BMaker::kNoSize));
    EXPECT_EQ(m.end, 0x1100);
    EXPECT_EQ(m.touchedEnd, 0x1100);
    EXPECT_EQ(Pairs(Records()), (RecordList{ { 0x1000, kDump }, { 0x10FC, 0xD2000001 }, { 0x1100, kDump },
                                             { 0x1200, 0 } }));
    EXPECT_EQ(stores.calls, (std::vector<std::wstring>{ L"clear 10F0-1100", L"changed 10F0-1100" }));
}

// Each refusal: nothing changes (map, stores, hooks) and exactly one line is logged, also without
// log lines wanted.
TEST_F(MakerTest, RefusedMakesChangeNothing) {
    Open(Filled(0x100, 'x'));
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
    const RecordList before = Pairs(Records());
    struct Case {
        int64_t start;
        uint32_t count;
        const wchar_t* line;
    };
    const Case cases[] = {
        { 0x900, 4, L"Dword(0900-0903) invalid address" },
        { 0x1000, 0, L"Dword(1000-0FFF) zero space" },
        { 0x10FE, 4, L"Dword(10FE-1101) segments mismatch" },
        { 0x1000, 3, L"Dword(1000-1002) no space" },
        { 0x10FE, BMaker::kNoSize, L"Dword(10FE) no space" },
    };
    for (const Case& c : cases) {
        Lines().clear();
        MakerDword m(doc);
        m.logWanted = false;
        m.collapseWanted = true;
        EXPECT_FALSE(m.Make(c.start, c.count));
        EXPECT_EQ(Lines(), std::vector<std::wstring>{ c.line });
        EXPECT_EQ(Pairs(Records()), before);
        EXPECT_TRUE(stores.calls.empty());
        EXPECT_TRUE(stores.collapses.empty());
    }
}

// An item at the top of the address space: counts and ends are 64-bit and never wrap.
TEST_F(MakerTest, TopOfTheAddressSpace) {
    Open(Filled(0x100, 'x'));
    const int64_t base = INT64_MAX - 0xFF;   // the segment ends at INT64_MAX
    ASSERT_TRUE(doc->AddDataSegment(base, 0, 0xFF, 0));
    MakerDword m(doc);
    EXPECT_FALSE(m.Make(INT64_MAX - 2, 0xFFFFFFF0));
    EXPECT_NE(Lines().back().find(L"segments mismatch"), std::wstring::npos);
    MakerDump d(doc);
    EXPECT_TRUE(d.Make(INT64_MAX - 4, BMaker::kNoSize));
    EXPECT_EQ(d.end, INT64_MAX);
}

// Code: a bound of 0 makes exactly one instruction; 2^4 - 1 takes nops while the sum stays below 15;
// a count cuts at whole instructions; a count shorter than the first instruction makes nothing.
TEST_F(MakerTest, CodeRuns) {
    std::string bytes = Filled(0x40, '\x90');
    bytes.replace(0x20, 6, "\x81\xC1\x01\x02\x03\x04");   // add ecx,imm32 (6 bytes)
    Open(bytes);
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x40, 0));
    {
        MakerCode m(doc);
        ASSERT_TRUE(m.Make(0x1000, BMaker::kNoSize));
        EXPECT_EQ(m.end, 0x1001);
    }
    doc->options.file.codeRunPower.value = 4;
    {
        MakerCode m(doc);
        ASSERT_TRUE(m.Make(0x1001, BMaker::kNoSize));
        EXPECT_EQ(m.end, 0x1001 + 14);
    }
    {
        MakerCode m(doc);
        ASSERT_TRUE(m.Make(0x101E, 7));   // two nops, then 6 bytes that do not fit in the 5 left
        EXPECT_EQ(m.end, 0x1020);
    }
    {
        MakerCode m(doc);
        EXPECT_FALSE(m.Make(0x1020, 5));
        EXPECT_EQ(Lines().back(), L"Code(1020-1024) no space");
        MakerCode m2(doc);
        ASSERT_TRUE(m2.Make(0x1020, 6));
        EXPECT_EQ(m2.end, 0x1026);
    }
    EXPECT_EQ(doc->Map().ItemAt(0x1020).kind, kCode32);
}

TEST_F(MakerTest, CodeOnADataFileIsRefused) {
    Open(Filled(0x40, '\x90'), 0);
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x40, 0));
    const RecordList before = Pairs(Records());
    MakerCode m(doc);
    EXPECT_FALSE(m.Make(0x1000, BMaker::kNoSize));
    EXPECT_EQ(Lines().back(), L"Code(1000) no decode engine");
    EXPECT_EQ(Pairs(Records()), before);
}

// Data: sizes, items per line limits (at least one), byte order and radix bits.
TEST_F(MakerTest, DataWords) {
    Open(Filled(0x100, 'x'));
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
    struct Case {
        int size;
        uint32_t format;
        uint32_t count;
        int64_t end;
        uint32_t word;
    };
    const Case cases[] = {
        { 4, 1, 10, 0x1008, 0xD2000001 },
        { 2, 200, 0x40, 0x1040, 0xD1000080 },                 // 128 words at most
        { 2, 200, 2, 0x1002, 0xD1000001 },                    // a single element: one a line
        { 1, 0, 0x10, 0x1010, 0xD0000001 },                   // 0 items per line stores 1
        { 8, 2 | 0x10000000, 0x10, 0x1010, 0xD3800002 },      // big-endian
        { 4, 1 | 0x20000000 | 0xC0000000, 4, 0x1004, 0xD2380001 },   // radix: signed decimal
    };
    for (const Case& c : cases) {
        BMakerData m(doc, c.size);
        m.name = L"Data";
        m.dataFormat = c.format;
        ASSERT_TRUE(m.Make(0x1000, c.count)) << c.size;
        EXPECT_EQ(m.end, c.end);
        EXPECT_EQ(doc->Map().ItemAt(0x1000).kind, c.word) << std::hex << c.word;
    }
}

// A byte line of 16 over 40 bytes covers two lines and adds an open collapse; a dump over one dump
// line adds none, a longer one does. Line lengths that cannot be recorded are refused.
TEST_F(MakerTest, BytelinesDumpsAndCollapses) {
    Open(Filled(0x100, 'x'));
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
    {
        MakerByteline m(doc, 16);
        ASSERT_TRUE(m.Make(0x1000, 40));
        EXPECT_EQ(m.end, 0x1020);
        EXPECT_EQ(Lines(), (std::vector<std::wstring>{ L"Byteline one line length: 16", L"Byteline(1000-101F)" }));
        ASSERT_EQ(stores.collapses.size(), 1u);
        EXPECT_EQ(stores.collapses[0].end, 0x1020);
        EXPECT_FALSE(stores.collapses[0].closed);
    }
    stores.collapses.clear();
    {
        MakerDump m(doc);
        ASSERT_TRUE(m.Make(0x1040, 16));
        EXPECT_TRUE(stores.collapses.empty());
        MakerDump m2(doc);
        ASSERT_TRUE(m2.Make(0x1060, 17));
        EXPECT_EQ(stores.collapses.size(), 1u);
    }
    for (uint32_t length : { 0u, 0x10000u }) {
        MakerByteline m(doc, length);
        EXPECT_FALSE(m.Make(0x1080, 0x40));
    }
}

// Strings: the text is cut after each run of line breaks; pieces go to the strings table.
TEST_F(MakerTest, StringPiecesSplitAtLineBreaks) {
    std::string bytes = Filled(0x100, 'x');
    bytes.replace(0, 7, std::string("AB\r\nCD\0", 7));
    bytes.replace(0x10, 7, "A\r\n\r\nBx");
    bytes[0x16] = 0;
    Open(bytes);
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
    {
        MakerAsciiz m(doc);
        ASSERT_TRUE(m.Make(0x1000, BMaker::kNoSize));
        EXPECT_TRUE(m.terminatorFound);
    }
    EXPECT_EQ(doc->Map().ItemAt(0x1000).kind, 0xA0100004u);
    EXPECT_EQ(doc->Map().ItemAt(0x1004).kind, 0xA0100003u);
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{ L"Asciiz(1000-1003)", L"Asciiz(1004-1006)" }));
    ASSERT_EQ(doc->strings.Count(), 2);
    STRINGZ_DATA s;
    ASSERT_TRUE(doc->strings.Get(1, s));
    EXPECT_EQ(s.address, 0x1004);
    EXPECT_EQ(s.word, (1u << 28) | 3);
    {
        MakerAsciiz m(doc);
        ASSERT_TRUE(m.Make(0x1010, BMaker::kNoSize));
    }
    EXPECT_EQ(doc->Map().ItemAt(0x1010).kind & 0xFFFF, 5u);
    EXPECT_EQ(doc->Map().ItemAt(0x1015).kind & 0xFFFF, 2u);
    // A marked block bounds the text: the zero after it is not looked at.
    {
        MakerAsciiz m(doc);
        ASSERT_TRUE(m.Make(0x1000, 2));
        EXPECT_EQ(m.characterCount, 2);
        EXPECT_TRUE(m.terminatorFound);
    }
}

TEST_F(MakerTest, StringsTooLongBreak) {
    Open(Filled(0x100, 'x'));
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
    doc->options.file.maxStringLength.value = 8;
    MakerAsciiz m(doc);
    ASSERT_TRUE(m.Make(0x1000, BMaker::kNoSize));
    EXPECT_EQ(m.end, 0x1007);
    EXPECT_EQ(Lines(), (std::vector<std::wstring>{ L"Asciiz(1000-1006)", L"Break, stringz too long" }));
}

// UTF-16 at the cursor takes printable text only; with a size any units go.
TEST_F(MakerTest, UnicodeStrings) {
    std::string bytes = Filled(0x100, '\0');
    bytes.replace(0, 8, std::string("H\0i\0\x01\0\0\0", 8));
    bytes.replace(0x10, 6, std::string("\x10\x04\x4F\x04\0\0", 6));   // two Cyrillic letters
    Open(bytes);
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
    const RecordList before = Pairs(Records());
    {
        MakerUnicode m(doc);
        EXPECT_FALSE(m.Make(0x1000, BMaker::kNoSize));
        EXPECT_EQ(Lines().back(), L"Unicode(1000) no valid unicode stringz");
        EXPECT_EQ(Pairs(Records()), before);
    }
    {
        MakerUnicode m(doc);
        ASSERT_TRUE(m.Make(0x1000, 8));
        EXPECT_EQ(doc->Map().ItemAt(0x1000).kind, 0xA1000004u);
    }
    {
        MakerUnicode m(doc);
        ASSERT_TRUE(m.Make(0x1010, BMaker::kNoSize));
        EXPECT_EQ(m.end, 0x1016);
    }
    STRINGZ_DATA s;
    ASSERT_TRUE(doc->strings.Get(0, s));
    EXPECT_EQ(s.word, (2u << 28) | 4);
}

// At the cursor: the block's lower end whichever way it was marked; the pane is refreshed and sent to
// the end; the data-array dialog chooses the layout.
TEST_F(MakerTest, MakeAtCursor) {
    Open(Filled(0x100, 'x'));
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
    view.selection.Begin({ 0x1020, kDump });
    view.selection.Extend({ 0x1000, kDump });
    view.selection.Finish();
    view.choice.itemsPerLine = 4;
    view.choice.closed = true;
    view.choice.isSigned = true;
    {
        MakerDword m(doc);
        ASSERT_TRUE(m.MakeAtCursor(&view));
        EXPECT_EQ(m.start, 0x1000);
        EXPECT_EQ(m.end, 0x1030);   // the block holds its last line: 0x30 bytes
    }
    EXPECT_EQ(view.dialogSize, 4);
    EXPECT_EQ(doc->Map().ItemAt(0x1000).kind, 0xD2300004u);
    ASSERT_EQ(stores.collapses.size(), 1u);
    EXPECT_TRUE(stores.collapses[0].closed);
    EXPECT_EQ(view.rewalks, 1);
    ASSERT_FALSE(Host().paneSent.empty());
    EXPECT_EQ(Host().paneSent.back().message, kMsgGoto);
    EXPECT_EQ(Host().paneSent.back().lparam, 0x1030);
    // Cancel makes nothing; without a block the current address is used.
    view.dialogOk = false;
    {
        MakerWord m(doc);
        EXPECT_FALSE(m.MakeAtCursor(&view));
    }
    view.selection.Clear();
    view.current = 0x1040;
    MakerWord m(doc);
    ASSERT_TRUE(m.MakeAtCursor(&view));
    EXPECT_EQ(doc->Map().ItemAt(0x1040).kind, 0xD1000001u);
}

// A marked array folds only when its elements need more than one line: 16 bytes of dwords fill one
// line of four exactly, and overflow one of three.
TEST_F(MakerTest, AnArrayFoldsOnlyPastOneLine) {
    Open(Filled(0x100, 'x'));
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
    const struct {
        int64_t at;
        int perLine;
        bool folds;
    } cases[] = { { 0x1000, 4, false }, { 0x1020, 3, true }, { 0x1040, 5, false } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.perLine);
        stores.collapses.clear();
        view.selection.Begin({ c.at, kDump });
        view.selection.Finish();
        view.choice.itemsPerLine = c.perLine;
        MakerDword m(doc);
        ASSERT_TRUE(m.MakeAtCursor(&view));
        EXPECT_EQ(m.end, c.at + 0x10);
        EXPECT_EQ(view.dialogLength, 16);
        EXPECT_EQ(stores.collapses.size(), c.folds ? 1u : 0u);
    }
}
