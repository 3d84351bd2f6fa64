#include "MakerFakes.h"

#include "document/DizaWalk.h"
#include "document/DocumentHost.h"
#include "document/FileNavigator.h"
#include "document/MakerCode.h"
#include "document/MakerData.h"

#include <vector>

namespace {

constexpr uint32_t kDump = 0xB0000000;

DizaLinePos Pos(int64_t a, uint32_t w) { return { a, w }; }
uint32_t Sub(uint32_t kind, int index) { return (kind << 28) | static_cast<uint32_t>(index); }

std::vector<std::pair<int64_t, uint32_t>> Forward(BBDizaWalk& w, int n) {
    std::vector<std::pair<int64_t, uint32_t>> r;
    for (int i = 0; i < n && w.IsLine(); ++i, w.NextLine())
        r.emplace_back(w.current.address, w.current.line);
    return r;
}

// Two data segments with a gap: 0x1000..0x1100 and 0x2000..0x2040, dump lines of 16 bytes.
class WalkTest : public MakerTest {
protected:
    void SetUp() override {
        Open(std::string(0x200, 'x'));
        ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x100, 0));
        ASSERT_TRUE(doc->AddDataSegment(0x2000, 0x100, 0x40, 0));
    }
};

}  // namespace

// An item's lines: comment lines, name lines, the item line, on-line comment continuations.
TEST_F(WalkTest, SubLinesOfAnItem) {
    stores.comments[0x1010] = 3;
    stores.names[0x1010] = 1;
    stores.online[0x1010] = 2;
    DizaWalk w(doc);
    w.SetAddress(0x1000);
    EXPECT_EQ(Forward(w, 8), (RecordList{ { 0x1000, kDump }, { 0x1010, Sub(1, 0) }, { 0x1010, Sub(1, 1) },
                                          { 0x1010, Sub(1, 2) }, { 0x1010, Sub(2, 0) }, { 0x1010, kDump },
                                          { 0x1010, Sub(15, 0) }, { 0x1020, kDump } }));
    // Back again: the last line of an item is its last continuation line.
    w.SetAddress(0x1020);
    ASSERT_TRUE(w.PrevLine());
    EXPECT_EQ(w.current.line, Sub(15, 0));
    EXPECT_EQ(w.StepBack(5), 5);
    EXPECT_EQ(w.current.line, Sub(1, 0));
    // A sub-line that the address does not have gives its first line.
    w.SetPosition(Pos(0x1010, Sub(2, 3)));
    EXPECT_EQ(w.current.line, Sub(1, 0));
    w.SetPosition(Pos(0x1010, Sub(1, 2)));
    EXPECT_EQ(w.current.line, Sub(1, 2));
    // A folded range's start shows no continuation lines.
    stores.collapses.push_back({ 0x1010, 0x1030, true });
    w.SetAddress(0x1010);
    EXPECT_EQ(w.subLines.lines, 5);
}

// A closed collapse is one line: forward from its start straight to its end, back onto its end lands
// on its start.
TEST_F(WalkTest, OverAClosedCollapse) {
    stores.collapses.push_back({ 0x1020, 0x1060, true });
    DizaWalk w(doc);
    w.SetAddress(0x1010);
    EXPECT_EQ(Forward(w, 3), (RecordList{ { 0x1010, kDump }, { 0x1020, kDump }, { 0x1060, kDump } }));
    w.SetAddress(0x1060);
    ASSERT_TRUE(w.PrevLine());
    EXPECT_EQ(w.current.address, 0x1020);
    // From inside the folded range's following item, back lands on the outermost folded start.
    stores.collapses.push_back({ 0x1030, 0x1080, true });
    stores.collapses.push_back({ 0x1000, 0x1090, true });
    w.SetAddress(0x1090);
    ASSERT_TRUE(w.PrevLine());
    EXPECT_EQ(w.current.address, 0x1000);
    // An open range is walked line by line.
    stores.collapses.clear();
    stores.collapses.push_back({ 0x1020, 0x1060, false });
    w.SetAddress(0x1020);
    w.NextLine();
    EXPECT_EQ(w.current.address, 0x1030);
    // Without a walker that knows collapses, a closed range is walked through.
    stores.collapses[0].closed = true;
    BDizaWalk plain(doc);
    plain.SetAddress(0x1020);
    plain.NextLine();
    EXPECT_EQ(plain.current.address, 0x1030);
}

// Steps that would leave the lines stop on the first or last line; the gap between segments is skipped.
TEST_F(WalkTest, StepsStopAtTheEnds) {
    DizaWalk w(doc);
    w.SetAddress(0x2000);
    ASSERT_TRUE(w.PrevLine());
    EXPECT_EQ(w.current.address, 0x10F0);
    ASSERT_TRUE(w.NextLine());
    EXPECT_EQ(w.current.address, 0x2000);
    w.SetAddress(0x2010);
    EXPECT_EQ(w.StepForward(10), 2);
    EXPECT_EQ(w.current.address, 0x2030);
    EXPECT_EQ(w.StepForward(-3), 3);
    EXPECT_EQ(w.current.address, 0x2000);
    w.SetAddress(0x1010);
    EXPECT_EQ(w.StepBack(5), 1);
    EXPECT_EQ(w.current.address, 0x1000);
    // A walk that runs off the end reaches the end position, which no longer moves.
    w.SetAddress(0x2030);
    EXPECT_FALSE(w.NextLine());
    EXPECT_TRUE(w.AtEnd());
    EXPECT_FALSE(w.NextLine());
    EXPECT_FALSE(w.PrevLine());
    // From the highest end (the page's End), one step back is the last line.
    w.SetAddress(0x2040);
    EXPECT_FALSE(w.IsLine());
    EXPECT_EQ(w.StepBack(1), 1);
    EXPECT_EQ(w.current.address, 0x2030);
}

TEST_F(WalkTest, BlockSelection) {
    BlockSelection down, up;
    down.Begin(Pos(0x1010, kDump));
    down.Extend(Pos(0x2010, kDump));
    down.Finish();
    up.Begin(Pos(0x2010, kDump));
    up.Extend(Pos(0x1010, kDump));
    up.Finish();
    EXPECT_EQ(down.Length(doc), 0xF0 + 0x10 + 0x10);   // the gap does not count; the last line does
    EXPECT_EQ(up.Length(doc), down.Length(doc));
    EXPECT_EQ(up.Lower().address, 0x1010);
    EXPECT_EQ(up.End(doc), 0x2020);
    EXPECT_TRUE(up.Contains(Pos(0x1080, kDump)));
    EXPECT_FALSE(up.Contains(Pos(0x2020, kDump)));
    EXPECT_FALSE(up.InOneSegment(doc));
    EXPECT_FALSE(up.IsSingleAddress());
    // A closed collapse at the higher end counts whole; a comment line above counts nothing of its item.
    stores.collapses.push_back({ 0x1020, 0x1060, true });
    BlockSelection b;
    b.Begin(Pos(0x1000, Sub(1, 0)));
    b.Extend(Pos(0x1020, kDump));
    EXPECT_EQ(b.Length(doc), 0x60);
    b.Extend(Pos(0x1020, Sub(2, 0)));
    EXPECT_EQ(b.Length(doc), 0x20);
    EXPECT_TRUE(b.InOneSegment(doc));
    b.Clear();
    EXPECT_EQ(b.Length(doc), -1);
    EXPECT_EQ(b.End(doc), -1);
}

// Going to an address inside two nested closed collapses opens both, moves the page a third of its
// rows above it and puts the cursor there.
TEST_F(WalkTest, NavigatorOpensFoldedRanges) {
    stores.collapses.push_back({ 0x1000, 0x1080, true });
    stores.collapses.push_back({ 0x1020, 0x1060, true });
    view.rows = 9;
    FileNavigator nav(doc);
    nav.GotoAddress(0x1045);
    EXPECT_FALSE(stores.collapses[0].closed);
    EXPECT_FALSE(stores.collapses[1].closed);
    EXPECT_EQ(view.marked, 0x1045);
    EXPECT_EQ(view.top.address, 0x1010);
    EXPECT_EQ(view.cursor, 0x1045);   // the byte asked for, inside the item at 0x1040
    ASSERT_FALSE(Host().notices.empty());
    EXPECT_EQ(Host().notices.back().message, kMsgSelectionChanged);
    // A line already on the page leaves the page where it is.
    view.pageFirst = 0x1000;
    view.pageEnd = 0x1100;
    view.top = kNoLine;
    nav.GotoLinePosition(Pos(0x10A0, kDump));
    EXPECT_EQ(view.top.address, -1);
    EXPECT_EQ(view.cursor, 0x10A0);
}

TEST_F(WalkTest, ResolveAddress) {
    FileNavigator nav(doc);
    EXPECT_TRUE(nav.ResolveAddress(0x2010));
    ASSERT_FALSE(Host().paneSent.empty());
    EXPECT_EQ(Host().paneSent.back().message, kMsgGoto);
    EXPECT_EQ(Host().paneSent.back().lparam, 0x2010);
    EXPECT_FALSE(nav.ResolveAddress(0x3000));
    EXPECT_EQ(Lines().back(), L"Address 3000 not found");
}

// With the document's own stores: a dump longer than a line gets a collapse; closed, the walk steps
// over it and back onto its start; a name adds a line.
TEST_F(WalkTest, WithTheDocumentsStores) {
    doc->itemStores = &doc->stores;
    {
        MakerDump m(doc);
        m.collapseClosed = true;
        ASSERT_TRUE(m.Make(0x1020, 0x40));
    }
    EXPECT_TRUE(doc->stores.collapses.IsCollapsed(0x1020));
    EXPECT_EQ(doc->stores.collapses.FindEnd(0x1020), 0x1060);
    DizaWalk w(doc);
    w.SetAddress(0x1010);
    EXPECT_EQ(Forward(w, 3), (RecordList{ { 0x1010, kDump }, { 0x1020, kDump }, { 0x1060, kDump } }));
    w.SetAddress(0x1060);
    ASSERT_TRUE(w.PrevLine());
    EXPECT_EQ(w.current.address, 0x1020);
    // Re-making over the whole range clears the collapse.
    {
        MakerDword m(doc);
        ASSERT_TRUE(m.Make(0x1020, 0x40));
    }
    EXPECT_EQ(doc->stores.collapses.FindEnd(0x1020), -1);
}
