#include "DocumentFakes.h"
#include "document/DocumentHost.h"


#include <cstring>

namespace {

class SegmentTest : public DocumentTest {};

bool SameRecords(const std::vector<Diza>& a, const std::vector<Diza>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].address != b[i].address || a[i].kind != b[i].kind)
            return false;
    return true;
}

struct RefusalRow {
    int64_t address, offset, sizeInFile, sizeInMemory;
    const wchar_t* line;
};

TEST_F(SegmentTest, RefusalsAreLoggedAndCounted) {
    ASSERT_TRUE(doc->AddSegment(32, 0x2000, 0, 0x100, 0));
    const RefusalRow rows[] = {
        // The first segment set the address width to 4.
        { 0x5000, 0, -1, 0x10, L"Segment 5000 size is illegal" },
        { 0x5000, 0xF00, 0x101, 0, L"Segment 5000 out file" },              // one byte past the end
        { 0x5000, -1, 0x10, 0, L"Segment 5000 out file" },                  // negative offset
        { 0x5000, 0x2000, 0, 0x10, L"Segment 5000 out file" },              // offset past the file
        { INT64_MAX - 4, 0, 0x10, 0, L"Segment 7FFFFFFF`FFFFFFFB size is illegal" },   // end overflows
        { 0x20FF, 0, 0x10, 0, L"Segment 20FF inside segment" },
        { 0x1F00, 0, 0x10, 0x101, L"Segment 1F00 inside segment" },        // memory part reaches in
    };
    int errors = 0;
    for (const RefusalRow& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << row.address);
        EXPECT_FALSE(doc->AddSegment(32, row.address, row.offset, row.sizeInFile, row.sizeInMemory));
        ASSERT_FALSE(Lines().empty());
        EXPECT_EQ(Lines().back(), row.line);
        EXPECT_EQ(doc->errorCount, ++errors);
    }
    EXPECT_EQ(doc->Segments().Count(), 1);
}

// A segment of no extent is told, not counted, and adds nothing: no segment, no record, no message.
TEST_F(SegmentTest, AnEmptySegmentAddsNothing) {
    ASSERT_TRUE(doc->AddSegment(32, 0x2000, 0, 0x100, 0));
    const int records = doc->Map().Count();
    const size_t sent = Host().sent.size();
    EXPECT_TRUE(doc->AddSegment(0, 0x5000, 0, 0, 0));
    EXPECT_EQ(Lines().back(), L"Segment 5000 is empty");
    EXPECT_TRUE(doc->AddSegment(0, 0x6000, 0, 0, -4));
    EXPECT_EQ(doc->errorCount, 0);
    EXPECT_EQ(doc->Segments().Count(), 1);
    EXPECT_EQ(doc->Map().Count(), records);
    EXPECT_EQ(Host().sent.size(), sent);
}

TEST_F(SegmentTest, EndingExactlyAtTheFileEndIsAccepted) {
    EXPECT_TRUE(doc->AddSegment(0, 0x100, 0xF00, 0x100, 0));
    EXPECT_EQ(doc->errorCount, 0);
}

TEST_F(SegmentTest, MemorySizeBelowFileSizeTakesTheFileSize) {
    ASSERT_TRUE(doc->AddSegment(32, 0x400000, 0, 0x200, 0x10));
    EXPECT_EQ(doc->Segments().Get(0)->sizeInMemory, 0x200);
}

// Touching segments in both orders give the same map: each first record is there, and the end marker
// of the lower segment never unmakes the upper one's first item.
TEST_F(SegmentTest, TouchingSegmentsInEitherOrderKeepTheMap) {
    const std::vector<Diza> expected = {
        { 0x1000, 0xC1000000 }, { 0x1100, 0xB0000000 }, { 0x1200, 0xC1000000 }, { 0x1300, 0 } };
    ASSERT_TRUE(doc->AddSegment(32, 0x1000, 0, 0x100, 0));
    ASSERT_TRUE(doc->AddSegment(0, 0x1100, 0x100, 0x100, 0));
    ASSERT_TRUE(doc->AddSegment(32, 0x1200, 0x200, 0x100, 0));
    EXPECT_TRUE(SameRecords(Records(), expected));

    doc->Segments().Clear();
    doc->Map().Clear();
    ASSERT_TRUE(doc->AddSegment(32, 0x1200, 0x200, 0x100, 0));
    ASSERT_TRUE(doc->AddSegment(0, 0x1100, 0x100, 0x100, 0));
    ASSERT_TRUE(doc->AddSegment(32, 0x1000, 0, 0x100, 0));
    EXPECT_TRUE(SameRecords(Records(), expected));
    EXPECT_EQ(doc->Segments().Get(0)->address, 0x1000);
    EXPECT_EQ(doc->Segments().Get(2)->address, 0x1200);
}

// A segment filling the gap between two others: its first record replaces the marker in the middle.
TEST_F(SegmentTest, SegmentIntoAGapReplacesTheMiddleMarker) {
    ASSERT_TRUE(doc->AddSegment(32, 0x1000, 0, 0x100, 0));
    ASSERT_TRUE(doc->AddSegment(32, 0x1200, 0, 0x100, 0));
    ASSERT_TRUE(doc->AddSegment(0, 0x1100, 0, 0x100, 0));
    EXPECT_TRUE(SameRecords(Records(), { { 0x1000, 0xC1000000 }, { 0x1100, 0xB0000000 }, { 0x1200, 0xC1000000 },
                                         { 0x1300, 0 } }));
}

TEST_F(SegmentTest, SegmentsChangedCarriesFirstAndWiderFlags) {
    ASSERT_TRUE(doc->AddSegment(0, 0x3000, 0, 0x10, 0));    // end 0x3010: 4 characters
    ASSERT_TRUE(doc->AddSegment(0, 0x2000, 0, 0x10, 0));    // lower: no wider
    ASSERT_TRUE(doc->AddSegment(0, 0x10000, 0, 0x10, 0));   // 8
    ASSERT_TRUE(doc->AddSegment(0, 0x100000000LL, 0, 0x10, 0));   // 11
    ASSERT_TRUE(doc->AddSegment(0, 0x10000000000LL, 0, 0x10, 0));   // 13
    const uintptr_t expected[] = { 0xC0000001, 0x1, 0x40000001, 0x40000001, 0x40000001 };
    ASSERT_EQ(Host().sent.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(Host().sent[i].message, kMsgSegmentsChanged);
        EXPECT_EQ(Host().sent[i].wparam, expected[i]) << i;
        EXPECT_EQ(Host().sent[i].lparam, reinterpret_cast<intptr_t>(doc));
    }
    EXPECT_EQ(doc->addressWidth, 13);
    EXPECT_EQ(doc->AddressText(0x1000), L"0000`00001000");
}

TEST_F(SegmentTest, SegmentNameOnlyAtTheStart) {
    ASSERT_TRUE(doc->AddSegment(32, 0x1000, 0, 0x100, 0));
    EXPECT_TRUE(doc->SetSegmentName(0x1000, L".text"));
    EXPECT_EQ(doc->Segments().Get(0)->name, L".text");
    EXPECT_FALSE(doc->SetSegmentName(0x1010, L"%s inside"));
    EXPECT_EQ(Lines().back(), L"No segment 1010 found for name '%s inside'");
    EXPECT_EQ(doc->errorCount, 0);
    EXPECT_FALSE(doc->CheckAddress(0x1100));
    EXPECT_EQ(Lines().back(), L"Address 1100 not found");
}

TEST_F(SegmentTest, AddressesAndOffsets) {
    ASSERT_TRUE(doc->AddSegment(32, 0x1000, 0x100, 0x80, 0x100));
    ASSERT_TRUE(doc->AddSegment(32, 0x2000, 0x200, 0x100, 0));
    EXPECT_EQ(doc->AddressToOffset(0x1010), 0x110);
    EXPECT_EQ(doc->AddressToOffset(0x1080), -1);    // memory-only part
    EXPECT_EQ(doc->AddressToOffset(0x1800), -1);    // gap
    EXPECT_EQ(doc->OffsetToAddress(0x210), 0x2010);
    EXPECT_EQ(doc->OffsetToAddress(0x180), -1);
    EXPECT_TRUE(doc->InSegment(0x10FF));
    EXPECT_FALSE(doc->InSegment(0x1100));
    EXPECT_TRUE(doc->InAddressRange(0x1800));

    const SegmentMap& m = doc->Segments();
    EXPECT_EQ(m.lowestAddress, 0x1000);
    EXPECT_EQ(m.highestEnd, 0x2100);
    EXPECT_EQ(m.lowestFileOffset, 0x100);
    EXPECT_EQ(m.highestFileEnd, 0x300);
    EXPECT_EQ(m.Step(0x10F0, 0x20), 0x2010);      // over the gap
    EXPECT_EQ(m.Step(0x2010, -0x20), 0x10F0);
    EXPECT_EQ(m.Step(0x2000, 0x1000), 0x2100);    // past the last: the highest end
    EXPECT_EQ(m.Step(0x1010, -0x100), 0x1000);
    EXPECT_EQ(m.Step(0x1800, 5), 0x1800);         // in no segment
    EXPECT_EQ(m.Distance(0x10F0, 0x2010), 0x20);
    EXPECT_EQ(m.Distance(-1, -1), 0x200);
    EXPECT_EQ(m.Distance(0x1010, 0x1020), 0x10);
    EXPECT_EQ(m.Distance(0x1020, 0x1010), 0);
    EXPECT_TRUE(m.IsRangeFree(0x1100, 0xF00));
    EXPECT_FALSE(m.IsRangeFree(0x1100, 0xF01));
    EXPECT_TRUE(m.IsRangeInSegment(0x1000, 0x10FF));
    EXPECT_FALSE(m.IsRangeInSegment(0x1000, 0x2000));
    EXPECT_EQ(m.SegmentOffset(0x1070), 0x10);
    EXPECT_EQ(m.BytesToSegmentEnd(0x1070), 0x90);
}

// The built-in parser delivers nothing for memory-only bytes; reads stop at the end of the segment.
TEST_F(SegmentTest, ReadsAcrossTheFileAndMemoryBoundary) {
    ASSERT_TRUE(doc->AddSegment(32, 0x1000, 0x10, 0x8, 0x10));
    ASSERT_TRUE(doc->AddSegment(32, 0x1100, 0x20, 0x10, 0));
    uint8_t buffer[32];
    std::memset(buffer, 0xEE, sizeof buffer);
    SectionLock lock(doc->FileLock());
    // The lambda parser is a BFileParser: it fills memory-only bytes with zeros, as plug-ins do.
    EXPECT_EQ(doc->ReadBytes(0x1004, static_cast<void*>(buffer), 32u), 12u);
    const uint8_t expected[12] = { 0x14, 0x15, 0x16, 0x17, 0, 0, 0, 0, 0, 0, 0, 0 };
    EXPECT_EQ(std::memcmp(buffer, expected, 12), 0);
    EXPECT_EQ(buffer[12], 0xEE);
    EXPECT_EQ(doc->ReadDword(0x1100), 0x23222120u);
    EXPECT_EQ(doc->ReadWord(0x110F), 0x002Fu);   // the last file byte, then nothing
    EXPECT_EQ(doc->ReadBytes(0x1050, static_cast<void*>(buffer), 4u), 0u);
}

// A go-to reaches the disassembly pane with the address in halves, only for an address in a segment.
TEST_F(SegmentTest, GotoGoesToThePaneOnlyInsideSegments) {
    ASSERT_TRUE(doc->AddSegment(32, 0x1000, 0, 0x100, 0));
    ASSERT_TRUE(doc->AddSegment(32, 0x180000000, 0, 0x100, 0));
    struct Row {
        int64_t address;
        bool sent;
        uint32_t high, low;
    } rows[] = {
        { 0x1010, true, 0, 0x1010 },
        { 0x180000010, true, 1, 0x80000010 },
        { 0x1100, false, 0, 0 },   // the gap
        { -1, false, 0, 0 },
    };
    for (const Row& row : rows) {
        Host().paneSent.clear();
        Host().posted.clear();
        EXPECT_EQ(doc->PostGotoAddress(row.address), row.sent) << std::hex << row.address;
        EXPECT_TRUE(Host().posted.empty());
        ASSERT_EQ(Host().paneSent.size(), row.sent ? 1u : 0u);
        if (row.sent) {
            EXPECT_EQ(Host().paneSent[0].message, kMsgGoto);
            EXPECT_EQ(Host().paneSent[0].wparam, row.high);
            EXPECT_EQ(static_cast<uint32_t>(Host().paneSent[0].lparam), row.low);
        } else {
            EXPECT_NE(Lines().back().find(L"not found"), std::wstring::npos);
        }
    }
}

// Each log line, a continuation with its line, shows in the status bar through the window; once the
// file is closed, nothing.
TEST_F(SegmentTest, EachLogLineGoesToTheStatusBar) {
    Host().statusTexts.clear();
    doc->Log().Print(L"%s", L"first");
    doc->Log().Print(L"Segment %s", L"second");
    doc->Log().SetContinue();
    doc->Log().Print(L"%s", L" more");
    EXPECT_EQ(Host().statusTexts, (std::vector<std::wstring>{ L"first", L"Segment second", L"Segment second more" }));
    doc->CloseFile();
    doc->Log().ShowInStatusBar();
    EXPECT_EQ(Host().statusTexts.size(), 3u);
}

}  // namespace
