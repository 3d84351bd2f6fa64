#include "document/Collapse.h"
#include "document/Diza.h"

#include "DocumentFakes.h"

#include <gtest/gtest.h>

namespace {

TEST(Collapse, SameRangeTwiceAnswersForTheLastAdded) {
    Collapse c;
    c.Add(0x1000, 0x1100);
    c.Add(0x1000, 0x1100);
    EXPECT_EQ(c.Count(), 2);
    c.SetCollapsed(0x1000);
    EXPECT_TRUE(c.IsCollapsed(0x1000));
    EXPECT_EQ(c.At(0).flags, Collapse::kCollapsed);   // the newest sits first
    EXPECT_EQ(c.At(1).flags, 0u);
    EXPECT_FALSE(c.Toggle(0x1000));
    EXPECT_FALSE(c.Toggle(0x2000));
    EXPECT_EQ(c.FindEnd(0x1000), 0x1100);
    EXPECT_EQ(c.FindEnd(0x1001), -1);
}

class NestedCollapse : public ::testing::Test {
protected:
    NestedCollapse() {
        c.Add(0x1000, 0x2000);
        c.Add(0x1100, 0x1200);
        c.Add(0x3000, 0x3010);
    }
    Collapse c;
};

TEST_F(NestedCollapse, ContainingAndDepth) {
    EXPECT_EQ(c.FindContainingStart(0x1150), 0x1100);
    EXPECT_EQ(c.Depth(0x1150), 2);
    EXPECT_EQ(c.FindContainingStart(0x1100), 0x1100);
    EXPECT_EQ(c.Depth(0x1100), 1);   // the inner one starts there: not before it
    EXPECT_EQ(c.FindContainingStart(0x1200), 0x1000);
    EXPECT_EQ(c.FindContainingStart(0x2000), -1);
    EXPECT_EQ(c.FindContainingStart(0x0FFF), -1);
    EXPECT_EQ(c.Depth(0x2500), 0);
}

TEST_F(NestedCollapse, InnermostAmongEqualStarts) {
    c.Add(0x1000, 0x1080);   // placed before the outer range of the same start
    EXPECT_EQ(c.FindContaining(0x1010)->end, 0x1080);
    EXPECT_EQ(c.FindContaining(0x1090)->end, 0x2000);
}

TEST_F(NestedCollapse, CollapsedSearchesLookOnlyBelowTheAddress) {
    c.SetCollapsed(0x1000);
    c.SetCollapsed(0x1100);
    EXPECT_EQ(c.FindCollapsedContaining(0x1150), 0x1100);
    EXPECT_EQ(c.FindCollapsedContaining(0x1100), 0x1000);
    EXPECT_EQ(c.FindCollapsedStartByEnd(0x1200), 0x1100);
    EXPECT_EQ(c.FindCollapsedStartByEnd(0x2000), 0x1000);
    c.Toggle(0x1000);
    EXPECT_EQ(c.FindCollapsedStartByEnd(0x2000), -1);
    EXPECT_EQ(c.FindStartByEnd(0x2000), 0x1000);
    EXPECT_EQ(c.FindStartByEnd(0x2001), -1);
}

TEST_F(NestedCollapse, ExpandAroundOpensOnlyRangesStartingBelow) {
    c.SetCollapsed(0x1000);
    c.SetCollapsed(0x1100);
    c.ExpandAround(0x1100);
    EXPECT_FALSE(c.IsCollapsed(0x1000));
    EXPECT_TRUE(c.IsCollapsed(0x1100));
}

struct CrossRow {
    int64_t start, end;
    int removed;
    int left;
};

TEST(CollapseRemove, CrossingTable) {
    const CrossRow rows[] = {
        { 0x1100, 0x1180, 2, 1 },   // inner overlaps, outer encloses
        { 0x2000, 0x3000, 0, 3 },   // touches both, shares no byte
        { 0x1FFF, 0x2000, 1, 2 },   // the outer's last byte
        { 0x0000, 0x4000, 3, 0 },
        { 0x1200, 0x1200, 0, 3 },   // empty span
        { 0x300F, 0x3010, 1, 2 },
    };
    for (const CrossRow& row : rows) {
        Collapse c;
        c.Add(0x1000, 0x2000);
        c.Add(0x1100, 0x1200);
        c.Add(0x3000, 0x3010);
        EXPECT_EQ(c.RemoveCrossing(row.start, row.end), row.removed) << std::hex << row.start;
        EXPECT_EQ(c.Count(), row.left) << std::hex << row.start;
    }
}

TEST(CollapseRemove, WithinKeepsRangesThatHoldTheWholeSpan) {
    Collapse c;
    c.Add(0x1000, 0x2000);   // encloses with room: stays
    c.Add(0x1100, 0x1200);   // the span itself: goes
    c.Add(0x1180, 0x1300);   // crosses the end: goes
    c.Add(0x1100, 0x1400);   // same start, longer: holds the span, stays
    EXPECT_EQ(c.RemoveWithin(0x1100, 0x1200), 2);
    ASSERT_EQ(c.Count(), 2);
    EXPECT_EQ(c.FindEnd(0x1000), 0x2000);
    EXPECT_EQ(c.FindEnd(0x1100), 0x1400);
}

TEST(CollapseRemove, FarAwayLongRangeIsStillFound) {
    Collapse c;
    c.Add(0, 0x100000);
    for (int i = 0; i < 1000; ++i)
        c.Add(0x200000 + i * 0x10, 0x200000 + i * 0x10 + 8);
    EXPECT_EQ(c.FindContainingStart(0xFFFFF), 0);
    EXPECT_EQ(c.RemoveCrossing(0xFFFFF, 0x100000), 1);
    EXPECT_EQ(c.FindContainingStart(0x200004), 0x200000);
    EXPECT_EQ(c.FindContainingStart(0x200008), -1);
}

struct ClassifyRow {
    DizaLinePos line, next;
    int mark;
};

TEST(CollapseClassify, MarksOfLines) {
    Collapse c;
    c.Add(0x1000, 0x2000);
    c.Add(0x1100, 0x1200);
    c.SetCollapsed(0x1100);
    const uint32_t code = diza::CodeWord(32);
    const uint32_t name = diza::LineWord(diza::kLineName, 0);
    const uint32_t more = diza::LineWord(diza::kLineOnlineMore, 0);
    const ClassifyRow rows[] = {
        { { 0x0FF0, code }, { 0x0FF4, code }, 0 },   // in no range
        { { 0x1000, name }, { 0x1000, code }, 0 },   // name line of an outermost start
        { { 0x1100, name }, { 0x1100, code }, 3 },   // name line inside an enclosing range
        { { 0x1000, code }, { 0x1004, code }, 2 },   // open start, next inside
        { { 0x1100, code }, { 0x1104, code }, 1 },   // folded start, next inside
        { { 0x1100, code }, { 0x1200, code }, 1 },   // folded start as the page shows it: next at the end
        { { 0x1000, code }, { 0x2000, code }, 0 },   // open start of a one-line range
        { { 0x1000, more }, { 0x1004, code }, 3 },
        { { 0x1004, code }, { 0x1008, code }, 3 },   // inside, next a real line inside
        { { 0x1FFC, code }, { 0x2000, code }, 4 },   // the last line
        { { 0x1FFC, code }, { -1, 0 }, 4 },
    };
    for (const ClassifyRow& row : rows)
        EXPECT_EQ(c.ClassifyLine(row.line, row.next), row.mark) << std::hex << row.line.address << " " << row.line.line;
}

class CollapseLineSize : public DocumentTest {};

TEST_F(CollapseLineSize, FoldedRangeIsOneLine) {
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x800, 0));
    Collapse c;
    c.Add(0x1000, 0x1400);
    EXPECT_EQ(c.LineSize(doc, 0x1000), doc->QueryItemLength(0x1000));
    c.SetCollapsed(0x1000);
    EXPECT_EQ(c.LineSize(doc, 0x1000), 0x400);
}

TEST_F(CollapseLineSize, ClassifyByWalkingTheDocument) {
    ASSERT_TRUE(doc->AddDataSegment(0x1000, 0, 0x800, 0));   // one dump, a line per 16 bytes
    Collapse& c = doc->stores.collapses;
    c.Add(0x1000, 0x1040);
    const uint32_t dump = diza::kDumpWord;
    EXPECT_EQ(c.ClassifyAddress(doc, { 0x1000, dump }), 2);
    EXPECT_EQ(c.ClassifyAddress(doc, { 0x1010, dump }), 3);
    EXPECT_EQ(c.ClassifyAddress(doc, { 0x1030, dump }), 4);
    EXPECT_EQ(c.ClassifyAddress(doc, { 0x1040, dump }), 0);
    c.SetCollapsed(0x1000);
    EXPECT_EQ(c.ClassifyAddress(doc, { 0x1000, dump }), 1);
}

}  // namespace
