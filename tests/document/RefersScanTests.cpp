#include "document/BDizaLine.h"
#include "document/DizaBodyLines.h"
#include "document/DocumentStores.h"
#include "document/Diza.h"
#include "document/MakerData.h"

#include "DocumentFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

class StoreHost : public FakeHost {
public:
    void RepaintRefers() override { ++refersRepaints; }
    void RepaintBookmarks() override { ++bookmarkRepaints; }
    void EmptyRefersPane() override { ++refersEmptied; }
    bool RedrawIfShown(int64_t address) override {
        if (starve)
            throw std::bad_alloc();
        redraws.push_back(address);
        return false;
    }
    void ReloadRange(int64_t start, int64_t end) override { reloads.push_back({ start, end }); }
    int refersRepaints = 0, bookmarkRepaints = 0, refersEmptied = 0;
    bool starve = false;   // the stores' growth throws as out of memory
    std::vector<int64_t> redraws;
    std::vector<std::pair<int64_t, int64_t>> reloads;
};

constexpr int64_t kCode = 0x401000;
constexpr int64_t kData = 0x402000;

void Put32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s[at + i] = static_cast<char>(v >> (8 * i));
}

// Call rel32 at `at` (an offset into the code segment) to `target`.
void PutCall(std::string& s, size_t at, int64_t target, uint8_t opcode = 0xE8) {
    s[at] = static_cast<char>(opcode);
    Put32(s, at + 1, static_cast<uint32_t>(target - (kCode + static_cast<int64_t>(at) + 5)));
}

// A file of a 0x100-byte code segment at 0x401000 and a 0x40-byte data segment at 0x402000 whose first
// dwords point into the code, outside every segment and into the gap between the two segments.
std::string ScanFile() {
    std::string s(0x140, '\x90');
    PutCall(s, 0x00, kCode + 0x10);          // call 401010
    s[0x05] = '\xEB';                         // jmp short 401010
    s[0x06] = 0x09;
    PutCall(s, 0x07, 0x500000);              // call outside every segment
    s[0x10] = '\xC3';
    PutCall(s, 0x11, kCode + 0x800);         // call into the gap
    PutCall(s, 0x16, kCode + 0x10);          // a second call to 401010
    PutCall(s, 0x1B, kCode + 0x40, 0xE9);    // jmp 401040
    Put32(s, 0x100, kCode + 0x10);
    Put32(s, 0x104, kCode);
    Put32(s, 0x108, 0x12345678);
    Put32(s, 0x10C, kCode + 0x800);
    return s;
}

class RefersScanTest : public ::testing::Test {
protected:
    explicit RefersScanTest(int bitness = 32, int64_t base = 0x400000, int64_t code = kCode)
        : file_(L"refers.bin", ScanFile()), doc(new FileParseThread(&host)), bitness_(bitness), base_(base),
          code_(code) {
        doc->Log().SetSink(&log);
        dir_.documents.push_back(doc.get());
    }
    ~RefersScanTest() override { dir_.Remove(doc.get()); }

    // Opens the file: the code segment (as code, or as data in a data file) and the data segment with
    // its first 16 bytes made dwords.
    void Open(uint32_t flags = kRequestRefers) {
        LambdaParser parser([this](FileParseThread* d) {
            if (bitness_ != 0)
                d->AddCodeSegment(code_, 0, 0x100, 0);
            else
                d->AddDataSegment(code_, 0, 0x100, 0);
            d->AddDataSegment(kData, 0x100, 0x40, 0);
            MakerDword maker(d);
            maker.logWanted = false;
            return maker.Make(kData, 16);
        });
        ASSERT_TRUE(doc->OpenFile(RequestFor(file_.Path(), &parser, bitness_, base_, flags)));
        host.DeliverPosted();
        host.notices.clear();
    }
    ReferStore& Refers() { return doc->stores.refers; }
    bool HasPair(int64_t from, int64_t to) {
        return Refers().FromTo().Find({ from, to }) >= 0 && Refers().ToFrom().Find({ to, from }) >= 0;
    }
    int ScanNotices() const {
        int n = 0;
        for (const Notice& notice : host.notices)
            n += notice.message == kMsgRefersScan;
        return n;
    }

    FakeDirectory dir_;
    TempFile file_;
    StoreHost host;
    RecordingLog log;
    std::unique_ptr<FileParseThread> doc;
    int bitness_;
    int64_t base_;
    int64_t code_;
};

TEST_F(RefersScanTest, PairsNamesAndCodeAtCallTargets) {
    Open();   // the dword table made while parsing was scanned then
    host.redraws.clear();
    Refers().ScanAll();
    // Each new target's line is repainted once; the table's older pairs repaint nothing.
    EXPECT_EQ(host.redraws, (std::vector<int64_t>{ kCode + 0x10, kCode + 0x40 }));
    EXPECT_TRUE(HasPair(kCode + 0x00, kCode + 0x10));
    EXPECT_TRUE(HasPair(kCode + 0x05, kCode + 0x10));
    EXPECT_TRUE(HasPair(kCode + 0x16, kCode + 0x10));
    EXPECT_TRUE(HasPair(kCode + 0x1B, kCode + 0x40));
    EXPECT_TRUE(HasPair(kData + 0x0, kCode + 0x10));
    EXPECT_TRUE(HasPair(kData + 0x4, kCode));
    // Nothing for targets outside every segment or in the gap between two.
    EXPECT_EQ(Refers().PairCount(), 6);
    EXPECT_EQ(Refers().ToFrom().count, 6);
    EXPECT_EQ(Refers().CountRefsTo(0x500000, 1), 0);
    EXPECT_EQ(Refers().CountRefsTo(kCode + 0x800, 1), 0);
    // One name for two calls; none for the jump's target.
    GlobalName& names = doc->stores.names;
    EXPECT_EQ(names.Count(), 1);
    EXPECT_EQ(names.TextAt(kCode + 0x10, 0), L"fn_00401010");
    EXPECT_EQ(names.MarkAt(kCode + 0x10, 0), L'F');
    EXPECT_EQ(doc->namesAdded, 1);
    EXPECT_EQ(doc->Map().GetAt(doc->Map().FindFloor(kCode + 0x10)).address, kCode + 0x10);
    EXPECT_EQ(diza::KindOf(doc->Map().ItemAt(kCode + 0x10).kind), diza::kCode);
    EXPECT_EQ(doc->Map().GetAt(doc->Map().FindFloor(kCode + 0x800)).address, kCode + 0x100);   // nothing in the gap
    // One started/ended pair per segment, and the closing log line.
    ASSERT_EQ(ScanNotices(), 4);
    EXPECT_EQ(host.notices[0].wparam, 1u);
    EXPECT_EQ(host.notices[1].wparam, 0u);
    EXPECT_EQ(log.lines.back().rfind(L"Refers scan is finished in ", 0), 0u);
}

// A store that runs out of memory ends the scan: the log says so, the lamp goes off, and the
// document goes on (a later scan finds every pair).
TEST_F(RefersScanTest, OutOfMemoryIsLoggedAndTheScanEnds) {
    Open();
    host.starve = true;
    Refers().ScanAll();
    ASSERT_GE(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[log.lines.size() - 2], L"Refers scan: not enough memory");
    EXPECT_EQ(log.lines.back().rfind(L"Refers scan is finished in ", 0), 0u);
    EXPECT_EQ(std::count(log.lines.begin(), log.lines.end(), L"Refers scan: not enough memory"), 1);
    // The first segment's scan started and ended; the second was not begun.
    EXPECT_EQ(ScanNotices(), 2);
    host.starve = false;
    Refers().ScanAll();
    EXPECT_EQ(Refers().PairCount(), 6);
    EXPECT_TRUE(HasPair(kCode + 0x1B, kCode + 0x40));
}

TEST_F(RefersScanTest, RescanAddsNothingTwice) {
    Open();
    Refers().ScanAll();
    const int pairs = Refers().PairCount();
    const int names = doc->stores.names.Count();
    host.redraws.clear();
    Refers().ScanAll();
    Refers().ScanRange(kCode, kCode + 0x20);
    EXPECT_EQ(Refers().PairCount(), pairs);
    EXPECT_EQ(Refers().ToFrom().count, pairs);
    EXPECT_EQ(doc->stores.names.Count(), names);
    EXPECT_EQ(doc->namesAdded, 1);
    EXPECT_TRUE(host.redraws.empty());   // no new refer, no repaint
}

TEST_F(RefersScanTest, ClassifyAndFillTheList) {
    Open();
    Refers().ScanAll();
    EXPECT_EQ(Refers().Classify(kCode + 0x10, 1), 1);   // four refers
    EXPECT_EQ(Refers().Classify(kCode, 1), 0);
    EXPECT_EQ(Refers().Classify(kCode + 1, 0xF), -1);
    EXPECT_EQ(Refers().FillResults(kCode + 0x10, 1), 4);
    RefersResult& list = Refers().results;
    EXPECT_EQ(list.At(0).pos.address, kCode);
    ASSERT_NE(list.At(0).text, nullptr);
    EXPECT_EQ(std::wstring(list.At(0).text).rfind(L"call", 0), 0u);
    EXPECT_EQ(list.At(3).pos.address, kData);
    EXPECT_EQ(list.At(3).text, nullptr);   // a data line has no text
    EXPECT_EQ(diza::KindOf(list.At(3).pos.line), diza::kData);
    EXPECT_EQ(Refers().FillResults(kCode + 0x80, 0x10), 0);   // nothing refers there
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(Refers().FillResults(-1, 0), 0);
    EXPECT_GE(host.refersEmptied, 3);
}

TEST_F(RefersScanTest, RemovingARangeKeepsIncomingRefers) {
    Open();
    Refers().ScanAll();
    Refers().FillResults(kCode + 0x10, 1);
    // The pairs from [401000, 401006) go with their mirrors; 402004 -> 401000 comes from outside.
    EXPECT_EQ(Refers().RemoveRange(kCode, kCode + 6), 4);   // two pairs and their two list lines
    EXPECT_FALSE(HasPair(kCode, kCode + 0x10));
    EXPECT_FALSE(HasPair(kCode + 5, kCode + 0x10));
    EXPECT_TRUE(HasPair(kData + 4, kCode));
    EXPECT_EQ(Refers().CountRefsTo(kCode + 0x10, 1), 2);
    EXPECT_EQ(Refers().results.Count(), 2);
    // The rescan of the range brings them back, and the list shows them again.
    host.refersRepaints = 0;
    Refers().ScanRange(kCode, kCode + 6);
    EXPECT_TRUE(HasPair(kCode, kCode + 0x10));
    EXPECT_EQ(Refers().results.Count(), 4);
    EXPECT_GT(host.refersRepaints, 0);
}

TEST_F(RefersScanTest, MakesClearAndRescanTheirRange) {
    Open();
    Refers().ScanAll();
    Refers().FillResults(kCode + 0x10, 1);
    doc->stores.bookmarks.AddKind(kData + 4, L"mark", 1);
    doc->stores.collapses.Add(kData, kData + 8);
    doc->stores.collapses.Add(kData - 0x1000, kData + 0x40);   // holds the whole range: stays
    // Line-find hits in the range go with the lines; those outside it and byte hits stay.
    FindResult* lines = doc->finds.GetResultByIndex(1);
    FindResult* bytes = doc->finds.GetResultByIndex(2);
    lines->AddHit(kData + 4, 3, L"dd");
    lines->AddHit(kData + 8, 3, L"dd");
    bytes->parameters.flags = 1;
    bytes->AddHit(kData + 4, 2, L"10 40");
    host.reloads.clear();
    {
        MakerDword maker(doc.get());
        maker.logWanted = false;
        ASSERT_TRUE(maker.Make(kData, 8));
    }
    EXPECT_EQ(doc->stores.bookmarks.Count(), 0);
    EXPECT_EQ(host.bookmarkRepaints, 1);
    EXPECT_EQ(doc->stores.collapses.Count(), 1);
    ASSERT_EQ(lines->Count(), 1);
    EXPECT_EQ(lines->At(0).pos.address, kData + 8);
    EXPECT_EQ(bytes->Count(), 1);
    EXPECT_FALSE(host.reloads.empty());
    // The pairs of the remade range came back with the rescan.
    EXPECT_TRUE(HasPair(kData, kCode + 0x10));
    EXPECT_TRUE(HasPair(kData + 4, kCode));
}

// A 64-bit file at its usual base: the address text of a call target holds a '`', and so does its name.
class RefersWideTest : public RefersScanTest {
protected:
    RefersWideTest() : RefersScanTest(64, 0x140000000LL, 0x140001000LL) {}
};

TEST_F(RefersWideTest, CallTargetsAboveFourGigabytesAreNamed) {
    Open();
    Refers().ScanAll();
    const int64_t target = 0x140001010LL;   // the code's calls are relative: the same bytes, moved up
    EXPECT_TRUE(HasPair(0x140001000LL, target));
    GlobalName& names = doc->stores.names;
    EXPECT_EQ(names.TextAt(target, 0), L"fn_01`40001010");
    EXPECT_EQ(doc->namesAdded, names.Count());
    // The call's operand reads the name.
    SectionLock lock(doc->FileLock());
    std::unique_ptr<BDizaLine> line(MakeDizaLine(doc.get(), doc->Map().ItemAt(0x140001000LL)));
    ASSERT_TRUE(line->Body());
    line->Body()->BuildText();
    const std::wstring text(line->Body()->text.c_str());
    EXPECT_EQ(text.rfind(L"call", 0), 0u) << text;
    EXPECT_NE(text.find(L"fn_01`40001010"), std::wstring::npos) << text;
}

class RefersBaseZeroTest : public RefersScanTest {
protected:
    RefersBaseZeroTest() : RefersScanTest(32, 0) {}
};

TEST_F(RefersBaseZeroTest, DwordTablesNeedABase) {
    Open();
    Refers().ScanAll();
    EXPECT_FALSE(HasPair(kData, kCode + 0x10));
    EXPECT_EQ(Refers().PairCount(), 4);
}

class RefersDataFileTest : public RefersScanTest {
protected:
    RefersDataFileTest() : RefersScanTest(0, 0x400000) {}
};

TEST_F(RefersDataFileTest, NoEngineNoPairsNoNotices) {
    Open();
    EXPECT_FALSE(doc->refersWanted);
    Refers().ScanAll();
    EXPECT_EQ(Refers().PairCount(), 0);
    EXPECT_EQ(ScanNotices(), 0);
    EXPECT_EQ(doc->stores.names.Count(), 0);
}

TEST_F(RefersScanTest, ClosingStopsTheScan) {
    Open();   // the dword table made while parsing was scanned then
    const int pairs = Refers().PairCount();
    doc->closing = true;
    Refers().ScanAll();
    EXPECT_EQ(Refers().PairCount(), pairs);
}

}  // namespace
