#include "DocumentFakes.h"

#include "document/BDizaLine.h"

#include <memory>

namespace {

class AddressMapTest : public DocumentTest {
protected:
    uint32_t WordAt(int64_t address) {
        DizaMap& m = doc->Map();
        const int i = m.FindFloor(address);
        const Diza r = m.GetAt(i);
        return r.address == address ? r.kind : 0xFFFFFFFF;
    }
};

// Golden words: each adder's word, bit for bit.
TEST_F(AddressMapTest, AdderWords) {
    DizaMap& m = doc->Map();
    struct Row {
        int64_t address;
        std::function<void()> add;
        uint32_t word;
    };
    const Row rows[] = {
        { 0x10, [&] { m.AddStringItem(0x10, 5, 3); }, 0xA0300005 },
        { 0x20, [&] { m.AddStringItem(0x20, 0x12345, 0x1F); }, 0xA0F02345 },   // class and length cut
        { 0x30, [&] { m.AddUnicodeItem(0x30, 7); }, 0xA1000007 },
        { 0x40, [&] { m.AddBytelineItem(0x40, 16); }, 0xB0000010 },
        { 0x50, [&] { m.AddBytelineItem(0x50, 0xFFFF); }, 0xB000FFFF },
        { 0x60, [&] { m.AddDumpItem(0x60); }, 0xB0000000 },
        { 0x70, [&] { m.AddCodeItem(0x70); }, 0xC1000000 },                  // bitness 32
        { 0x80, [&] { m.AddForcedCodeStart(0x80); }, 0xC1800000 },
        { 0x90, [&] { m.AddDataItem(0x90, 1, 16); }, 0xD0000010 },
        { 0xA0, [&] { m.AddDataItem(0xA0, 2, 8); }, 0xD1000008 },
        { 0xB0, [&] { m.AddDataItem(0xB0, 4, 255); }, 0xD20000FF },
        { 0xC0, [&] { m.AddDataItem(0xC0, 8, 0x101); }, 0xD3000001 },      // items per line: 8 bits
        { 0xD0, [&] { m.AddUnmade(0xD0); }, 0x00000000 },
    };
    for (const Row& row : rows) {
        row.add();
        EXPECT_EQ(WordAt(row.address), row.word) << std::hex << row.address;
    }
    m.AddBytelineItem(0xE0, 0x10000);   // too long: nothing
    EXPECT_EQ(WordAt(0xE0), 0xFFFFFFFF);
    static_assert(diza::CodeWord(16) == 0xC0000000 && diza::ForcedCodeWord(64) == 0xC2800000, "code words");
    static_assert(diza::LineWord(diza::kLineName, 3) == 0x20000003, "line words");
}

TEST_F(AddressMapTest, PutKeepsAMiddleMarkerButReplacesTheLast) {
    ASSERT_TRUE(doc->AddSegment(32, 0x1000, 0, 0x100, 0));
    ASSERT_TRUE(doc->AddSegment(32, 0x1200, 0, 0x100, 0));
    DizaMap& m = doc->Map();
    m.AddDataItem(0x1100, 4, 1);   // the marker between the two segments stays
    EXPECT_EQ(WordAt(0x1100), 0u);
    m.AddDumpItem(0x1300);         // the end marker is replaced
    EXPECT_EQ(WordAt(0x1300), 0xB0000000u);
    m.AddDataItem(0x1000, 4, 1);   // a made record takes the new word
    EXPECT_EQ(WordAt(0x1000), 0xD2000001u);
}

// Dump items have lines of the dump length (16); strings are one line; the map cuts lines at the next
// record and at the highest segment end.
TEST_F(AddressMapTest, ItemLengthsAndWalking) {
    ASSERT_TRUE(doc->AddSegment(0, 0x1000, 0, 0x28, 0));      // dump [0x1000, 0x1028)
    ASSERT_TRUE(doc->AddSegment(0, 0x2000, 0x100, 0x20, 0));   // dump [0x2000, 0x2020)
    DizaMap& m = doc->Map();
    m.AddStringItem(0x2010, 4, 0);
    EXPECT_EQ(m.ItemLength(0x1000), 16);
    EXPECT_EQ(m.ItemLength(0x1013), 16);
    EXPECT_EQ(m.ItemLength(0x1020), 8);         // cut at the marker
    EXPECT_EQ(m.ItemLength(0x1800), 0);         // unmade
    EXPECT_EQ(m.ItemLength(0x2010), 4);
    m.AddDumpItem(0x2014);
    EXPECT_EQ(m.ItemLength(0x2014), 12);        // the last item: cut at the end of the segments
    EXPECT_EQ(m.NextItemAddress(0x1000), 0x1010);
    EXPECT_EQ(m.NextItemAddress(0x1020), 0x2000);   // over the unmade range
    EXPECT_EQ(m.NextItemAddress(0x2014), -1);       // the last item
    EXPECT_EQ(m.NextItemAddress(-1), -1);
    EXPECT_EQ(m.PrevItemAddress(0x2000), 0x1020);   // back over the unmade range
    EXPECT_EQ(m.PrevItemAddress(0x1014), 0x1010);
    EXPECT_EQ(m.PrevItemAddress(0x1000), -1);
    EXPECT_TRUE(m.IsItemStart(0x1010));
    EXPECT_FALSE(m.IsItemStart(0x1011));
    EXPECT_TRUE(m.IsItemStart(0x1028));              // an unmade marker
    EXPECT_EQ(m.ItemAtOrNext(0x1015).address, 0x1010);
    EXPECT_EQ(m.ItemAt(0x1800).address, 0x2000);     // from an unmade range to the next item
    EXPECT_EQ(m.RunEnd(0x1000), 0x1028);
    EXPECT_EQ(m.RunEnd(0x1028), 0x1028);
    EXPECT_EQ(m.ByteLineEnd(0x1000), 0x1028);        // a plain dump: one run
    EXPECT_EQ(m.NextAfter(0x1000).address, 0x1028);
    EXPECT_EQ(m.PrevRecord(0x2012).address, 0x2000);
    EXPECT_EQ(m.PrevRecord(0x1000).address, -1);
}

TEST_F(AddressMapTest, CodeLinesAreInstructions) {
    // 32-bit code at 0x1000 over file bytes 0x50.. : push eax (50), push ecx (51), ... one byte each;
    // at 0xB8.. a five-byte mov eax, imm32.
    ASSERT_TRUE(doc->AddSegment(32, 0x1000, 0x50, 0x8, 0));
    ASSERT_TRUE(doc->AddSegment(32, 0x2000, 0xB8, 0x10, 0));
    DizaMap& m = doc->Map();
    EXPECT_EQ(m.ItemLength(0x1003), 1);
    EXPECT_EQ(m.ItemLength(0x2000), 5);
    EXPECT_EQ(m.ItemAtOrNext(0x2003).address, 0x2000);
    EXPECT_EQ(m.NextItemAddress(0x2000), 0x2005);
}

// The map's line geometry is the line models': for every kind of word the map's line starts and
// lengths are those of the record's model, a data word with 0 items per line included (one element a
// line, so a walk moves on).
TEST_F(AddressMapTest, LineGeometryIsTheModels) {
    ASSERT_TRUE(doc->AddSegment(0, 0x1000, 0, 0x100, 0));
    DizaMap& m = doc->Map();
    const uint32_t words[] = { 0xD2000000, 0xD2000003, 0xD0000007, 0xB0000006, 0xB0000000,
                               0xA0000009, 0xA1000005, 0xA2000004, 0xE0000000 };
    for (uint32_t word : words) {
        SCOPED_TRACE(testing::Message() << std::hex << word);
        m.Clear();
        m.Put({ 0x1000, word });
        m.Put({ 0x1100, 0 });
        std::unique_ptr<BDizaLine> line(MakeDizaLine(doc, { 0x1000, word }));
        BDizaBodyLine* body = line->Body();
        const int64_t length = body ? body->LineLength() : 0;
        for (int64_t at : { 0x1000, 0x1001, 0x1005, 0x1013 }) {
            const int64_t start = body && at > 0x1000 ? body->LineStart(at) : 0x1000;
            EXPECT_EQ(m.ItemAtOrNext(at).address, start) << std::hex << at;
        }
        EXPECT_EQ(m.ItemLength(0x1000), length);
    }
    m.Clear();
    m.Put({ 0x1000, 0xD2000000 });
    m.Put({ 0x1100, 0 });
    EXPECT_EQ(m.ItemLength(0x1000), 4);
    EXPECT_EQ(m.NextItemAddress(0x1000), 0x1004);
    EXPECT_EQ(m.ItemAtOrNext(0x1006).address, 0x1004);
}

TEST_F(AddressMapTest, RemovalAndRadix) {
    DizaMap& m = doc->Map();
    m.AddDataItem(0x10, 2, 1);
    m.AddDataItem(0x12, 2, 1);
    m.AddUnmade(0x14);
    m.AddDataItem(0x16, 2, 1);
    m.RemoveMadeRange(0x10, 0x100);   // stops at the marker
    EXPECT_EQ(m.Count(), 2);
    EXPECT_EQ(m.GetAt(0).address, 0x14);
    m.RemoveKey(0x14);
    EXPECT_EQ(m.Count(), 1);

    EXPECT_FALSE(m.SetItemRadix(0x16, 0));            // neither bit 29 nor bit 16
    EXPECT_TRUE(m.SetItemRadix(0x16, 0xE0000000));    // radix chosen, decimal, signed
    EXPECT_EQ(WordAt(0x16), 0xD1380001u);
    EXPECT_TRUE(m.SetItemRadix(0x16, 0x20000000));    // hexadecimal, unsigned
    EXPECT_EQ(WordAt(0x16), 0xD1200001u);
    m.Insert({ 0x20, 0xE0000000 });
    EXPECT_TRUE(m.SetItemRadix(0x20, 0x00FE0000 | 0x10000));
    EXPECT_EQ(WordAt(0x20), 0xE000FE00u);
    m.AddDumpItem(0x30);
    EXPECT_FALSE(m.SetItemRadix(0x30, 0x20000000));
    EXPECT_FALSE(m.SetItemRadix(0x31, 0x20000000));
}

// A record after a plain dump of the same segment merges into the dump; anything else stays.
TEST_F(AddressMapTest, UpdateBytelineMergesIntoTheDumpBefore) {
    ASSERT_TRUE(doc->AddSegment(32, 0x1000, 0, 0x100, 0));
    ASSERT_TRUE(doc->AddSegment(32, 0x1100, 0, 0x100, 0));
    DizaMap& m = doc->Map();
    m.AddDumpItem(0x1000);
    m.AddBytelineItem(0x1040, 16);
    m.AddDataItem(0x1080, 4, 1);
    m.AddDumpItem(0x10C0);
    const std::vector<Diza> before = Records();
    for (int64_t at : { 0x1000, 0x1044, 0x1080, 0x1100, 0x1200, 0x1300 }) {
        m.UpdateByteline(at);   // first record, no record, after a byte line, other segment, last, none
        EXPECT_EQ(Records(), before) << std::hex << at;
    }

    Collapse& c = doc->stores.collapses;
    c.Add(0x1000, 0x1040);   // ends at the byte line: stretched to the next record, still closed
    c.SetCollapsed(0x1000);
    c.Add(0x1040, 0x1080);   // the byte line's own range goes
    c.Add(0x1050, 0x1090);   // crosses the end: goes
    c.Add(0x1080, 0x10C0);   // after it: stays
    m.UpdateByteline(0x1040);
    EXPECT_EQ(WordAt(0x1040), 0xFFFFFFFF);
    EXPECT_EQ(WordAt(0x1000), 0xB0000000u);
    EXPECT_EQ(m.ItemLength(0x1040), 16);   // dump lines from 0x1000
    ASSERT_EQ(c.Count(), 2);
    EXPECT_EQ(c.FindEnd(0x1000), 0x1080);
    EXPECT_TRUE(c.IsCollapsed(0x1000));
    EXPECT_EQ(c.FindEnd(0x1080), 0x10C0);
}

}  // namespace
