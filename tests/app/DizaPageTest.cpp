#include "tests/app/HeadlessPage.h"

#include "classlib/PixelSurface.h"
#include "document/Diza.h"
#include "options/BColorTheme.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <random>

namespace {

using diza::IsItemLine;
using diza::KindOf;

constexpr DizaLinePos kNone = { -1, 0 };

bool Same(const DizaLinePos& a, const DizaLinePos& b) { return a.address == b.address && a.line == b.line; }

// Three segments with gaps: 16 four-byte items at 0x1000; 64 at 0x2000, where 0x2010 has a three-line
// comment, a name and a two-line on-line comment, [0x2040, 0x2080) is folded, and [0x20A0, 0x20F0) is
// folded around a folded [0x20B0, 0x20C0); a dump of 0x30 bytes (three lines) at 0x10000.
class DizaPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        p.AddSegment(0x1000, 0x40);
        p.MakeItems(0x1000, 0x1040, 4);
        p.AddSegment(0x2000, 0x100);
        p.MakeItems(0x2000, 0x2100, 4);
        p.AddSegment(0x10000, 0x30);
        {
            SectionLock lock(p.doc.FileLock());
            p.doc.stores.lineComments.SetComment(0x2010, L"one\ntwo\nthree");
            p.doc.stores.names.Add(0x2010, L"entry", ' ');
            p.doc.stores.onlineComments.SetComment(0x2010, L"first\nsecond");
        }
        p.Collapse(0x2040, 0x2080);
        p.Collapse(0x20A0, 0x20F0);
        p.Collapse(0x20B0, 0x20C0);
        p.Announce();
        all = p.AllLines();
    }
    DizaLinePos FirstLine(int64_t address) {
        DizaWalk walk(&p.doc);
        walk.SetAddress(address);
        return walk.current;
    }
    int IndexOf(const DizaLinePos& line) const {
        for (size_t i = 0; i < all.size(); ++i)
            if (Same(all[i], line))
                return static_cast<int>(i);
        return -1;
    }
    // The page's rows must be the lines from `first` on, then empty rows; the after-page entry too.
    void ExpectRowsFrom(int first, const char* what) {
        const int n = p.page->LineCount();
        for (int i = 0; i <= n; ++i) {
            const size_t k = static_cast<size_t>(first) + i;
            const DizaLinePos want = k < all.size() ? all[k] : kNone;
            EXPECT_TRUE(Same(p.page->Row(i), want)) << what << ": row " << i << " is " << std::hex
                                                    << p.page->Row(i).address << "/" << p.page->Row(i).line;
        }
        EXPECT_TRUE(Same(p.page->afterPage, p.page->Row(n))) << what;
    }

    HeadlessPage p;
    std::vector<DizaLinePos> all;
};

TEST_F(DizaPageTest, PagingDownShowsEveryLineOnce) {
    // 16 + (16 items + 5 lines around 0x2010, the fold at 0x2040, 8 items, the fold at 0x20A0, 4 items) + 3.
    ASSERT_EQ(all.size(), 54u);
    p.Paint(10);
    std::vector<DizaLinePos> seen;
    for (int pages = 0; pages < 10; ++pages) {
        for (int i = 0; i < 10 && p.page->Row(i).line >= 0x10000000; ++i)
            seen.push_back(p.page->Row(i));
        if (p.page->afterPage.line < 0x10000000)
            break;
        p.Scroll(SB_PAGEDOWN);
    }
    ASSERT_EQ(seen.size(), all.size());
    for (size_t i = 0; i < all.size(); ++i)
        EXPECT_TRUE(Same(seen[i], all[i])) << i;
}

TEST_F(DizaPageTest, SubLinesOfAnItem) {
    struct Row {
        const char* name;
        bool commentPane;
        std::vector<uint32_t> kinds;
    } rows[] = {
        { "comment pane shown", true, { 1, 1, 1, 2, 0xD, 15 } },
        { "comment pane hidden", false, { 1, 1, 1, 2, 0xD } },
    };
    for (const Row& r : rows) {
        p.host.commentPane = r.commentPane;
        std::vector<uint32_t> kinds;
        std::vector<uint32_t> indexes;
        for (const DizaLinePos& l : p.AllLines())
            if (l.address == 0x2010) {
                kinds.push_back(KindOf(l.line));
                indexes.push_back(l.line & 0xFF);
            }
        EXPECT_EQ(kinds, r.kinds) << r.name;
        EXPECT_EQ(indexes[2], 2u) << r.name;   // the third comment line
    }
}

TEST_F(DizaPageTest, AFoldStartCountsNoContinuationLines) {
    {
        SectionLock lock(p.doc.FileLock());
        p.doc.stores.onlineComments.SetComment(0x2040, L"a\nb\nc");
        p.doc.stores.onlineComments.SetComment(0x2080, L"a\nb\nc");
    }
    int at2040 = 0, at2080 = 0;
    for (const DizaLinePos& l : p.AllLines()) {
        at2040 += l.address == 0x2040;
        at2080 += l.address == 0x2080;
    }
    EXPECT_EQ(at2040, 1);
    EXPECT_EQ(at2080, 3);
}

TEST_F(DizaPageTest, ACommentOf256LinesKeeps255) {
    std::wstring text;
    for (int i = 0; i < 256; ++i)
        text += L"line\n";
    {
        SectionLock lock(p.doc.FileLock());
        p.doc.stores.lineComments.SetComment(0x1008, text.c_str());
    }
    int comments = 0, items = 0;
    for (const DizaLinePos& l : p.AllLines())
        if (l.address == 0x1008) {
            comments += KindOf(l.line) == 1;
            items += IsItemLine(l.line);
        }
    EXPECT_EQ(comments, 255);
    EXPECT_EQ(items, 1);
}

TEST_F(DizaPageTest, ThumbDragsCountOnlyBytesInsideSegments) {
    struct Row {
        const char* name;
        int64_t from;
        int32_t pixels;
        DizaLinePos expect;
        int row;   // the cursor row stays, unless the page has fewer lines
    } rows[] = {
        { "inside a segment", 0x1000, 0x3C, { 0x103C, 0xD2000001 }, 3 },
        { "to a segment's end: the next segment", 0x1000, 0x40, { 0x2000, 0xD2000001 }, 3 },
        { "the gap takes no room", 0x1000, 0x50, { 0x2010, 0x10000000 }, 3 },
        { "back across the gap", 0x2000, -4, { 0x103C, 0xD2000001 }, 3 },
        { "into a fold: its end", 0x2000, 0x50, { 0x2080, 0xD2000001 }, 3 },
        { "onto a fold's start", 0x2000, 0xA0, { 0x20A0, 0xD2000001 }, 3 },
        { "into nested folds: the outer end", 0x2000, 0xB4, { 0x20F0, 0xD2000001 }, 3 },
        { "back into a fold: its end", 0x20F0, -0x10, { 0x20F0, 0xD2000001 }, 3 },
        { "past the last byte: the last item", 0x2000, 0x1000, { 0x10020, 0xB0000000 }, 0 },
        { "before the first byte: the first line", 0x2000, -0x1000, { 0x1000, 0xD2000001 }, 3 },
        { "no distance", 0x2000, 0, { 0x2000, 0xD2000001 }, 3 },
    };
    for (const Row& r : rows) {
        p.page->SetTop(FirstLine(r.from));
        p.page->currentRow = 3;
        p.Paint(5);
        p.Scroll(SB_THUMBTRACK, r.pixels);
        EXPECT_TRUE(Same(p.page->top, r.expect)) << r.name << ": " << std::hex << p.page->top.address << "/"
                                                 << p.page->top.line;
        EXPECT_EQ(p.page->currentRow, r.row) << r.name;
        EXPECT_EQ(p.scroller.top, p.page->PositionOf(r.expect.address)) << r.name;
    }
    // On the last page a drag forwards does nothing.
    p.Scroll(SB_BOTTOM);
    const DizaLinePos last = p.page->top;
    p.Scroll(SB_THUMBTRACK, 0x10);
    EXPECT_TRUE(Same(p.page->top, last));
}

TEST_F(DizaPageTest, FirstAndLastLines) {
    p.Paint(10);
    p.Scroll(SB_BOTTOM);
    ExpectRowsFrom(static_cast<int>(all.size()) - 10, "end");
    EXPECT_EQ(p.page->currentRow, 9);
    p.Scroll(SB_LINEDOWN);
    ExpectRowsFrom(static_cast<int>(all.size()) - 10, "line down at the end");
    EXPECT_EQ(p.page->currentRow, 9);
    p.Scroll(SB_PAGEDOWN);   // on the last page: the cursor goes to the last row
    EXPECT_EQ(p.page->currentRow, 9);
    p.page->currentRow = 2;
    p.Scroll(SB_PAGEDOWN);
    EXPECT_EQ(p.page->currentRow, 9);

    p.Scroll(SB_TOP);
    ExpectRowsFrom(0, "home");
    EXPECT_EQ(p.page->currentRow, 0);
    p.Scroll(SB_LINEUP);
    ExpectRowsFrom(0, "line up at the start");
    p.page->currentRow = 4;
    p.Scroll(SB_PAGEUP);   // on the first page: the cursor goes to row 0, the page stays
    ExpectRowsFrom(0, "page up on the first page");
    EXPECT_EQ(p.page->currentRow, 0);

    // A page taller than the file: End keeps the first line on top, the cursor on the last line.
    p.Paint(100);
    p.Scroll(SB_BOTTOM);
    ExpectRowsFrom(0, "end of a short file");
    EXPECT_EQ(p.page->currentRow, static_cast<int>(all.size()) - 1);
    p.Scroll(SB_LINEDOWN);
    EXPECT_EQ(p.page->currentRow, static_cast<int>(all.size()) - 1);
}

TEST_F(DizaPageTest, RowsOfAddressesAndOfLines) {
    p.Paint(40);
    ExpectRowsFrom(0, "first page");
    const int item2010 = IndexOf({ 0x2010, 0xD2000001 });
    const int fold = IndexOf({ 0x2040, 0xD2000001 });
    struct Row {
        const char* name;
        int64_t address;
        int expect;
    } rows[] = {
        { "an item's first byte", 0x1004, 1 },
        { "inside an item", 0x1006, 1 },
        { "an item followed by its on-line comment lines", 0x2012, item2010 },
        { "inside a fold", 0x2050, fold },
        { "before the file", 0x0FFF, -1 },
        { "below the page", 0x20F0, -1 },
        { "none", -1, -1 },
    };
    for (const Row& r : rows)
        EXPECT_EQ(p.page->LineOfAddress(r.address), r.expect) << r.name;

    EXPECT_EQ(p.page->LineOfItem({ 0x2010, 0x20000000 }), IndexOf({ 0x2010, 0x20000000 }));
    EXPECT_EQ(p.page->LineOfItem({ 0x2010, 0x10000001 }), IndexOf({ 0x2010, 0x10000001 }));
    EXPECT_EQ(p.page->LineOfItem({ 0x2010, 0xD0000000 }), item2010);   // any word of the item's kind
    EXPECT_EQ(p.page->LineOfItem({ 0x2010, 0x10000005 }), -1);
    EXPECT_EQ(p.page->LineOfItem({ 0x10000, 0xB0000000 }), -1);

    EXPECT_EQ(p.page->LineQuery(1), 4);
    EXPECT_EQ(p.page->LineQuery(IndexOf({ 0x2010, 0x10000000 })), 0);
    EXPECT_EQ(p.page->LineQuery(fold), 4);
    EXPECT_EQ(p.page->LineQuery(-1), 0);

    p.Paint(0);
    EXPECT_EQ(p.page->LineOfAddress(0x1000), -1);
}

TEST_F(DizaPageTest, DistancesAndExtents) {
    EXPECT_EQ(p.page->Distance(0x1010, 0x2010), 0x40);
    EXPECT_EQ(p.page->Distance(0x2010, 0x1010), 0);
    EXPECT_EQ(p.page->Distance(0x1000, 0x10030), 0x170);
    EXPECT_EQ(p.page->PositionOf(0x2000), 0x1040);
    EXPECT_EQ(p.page->RangeLength(p.scroller), 0x170u);
    EXPECT_EQ(p.page->GetRangeStart(p.scroller), 0x1000);
    EXPECT_EQ(p.page->GetRangeEnd(p.scroller), 0x10030);
    p.Paint(10);
    EXPECT_EQ(p.page->PageExtent(), 0x28);
    EXPECT_EQ(p.scroller.page64, 0x28);
    EXPECT_EQ(p.scroller.top, 0x1000);
    p.Scroll(SB_BOTTOM);
    EXPECT_EQ(p.page->PageExtent(), p.page->Distance(p.page->top.address, 0x10030));
    EXPECT_EQ(p.scroller.top, p.page->PositionOf(p.page->top.address));
}

TEST_F(DizaPageTest, ContainsReachesTheEndOnTheLastPage) {
    p.Paint(10);
    EXPECT_TRUE(p.page->Contains(0x1000));
    EXPECT_TRUE(p.page->Contains(0x1027));
    EXPECT_FALSE(p.page->Contains(0x1028));
    p.Scroll(SB_BOTTOM);
    EXPECT_TRUE(p.page->Contains(0x1002F));
    EXPECT_FALSE(p.page->Contains(0x10030));
    EXPECT_FALSE(p.page->Contains(p.page->top.address - 1));
}

TEST_F(DizaPageTest, ATopWithoutALineLosesTheCursorUntilHome) {
    p.Paint(10);
    p.page->SetTop({ 0x10030, 0 });
    p.Paint(10);
    EXPECT_EQ(p.page->currentRow, -1);
    ASSERT_EQ(p.log.lines.size(), 1u);
    EXPECT_EQ(p.log.lines[0], L"DP emergency mode");
    EXPECT_EQ(p.page->PositionOfRow(p.scroller, 0), -1);
    p.Scroll(SB_LINEDOWN);
    p.Scroll(SB_LINEUP);
    EXPECT_EQ(p.page->currentRow, -1);
    EXPECT_EQ(p.log.lines.size(), 1u);   // said once
    p.Scroll(SB_TOP);
    EXPECT_EQ(p.page->currentRow, 0);
    ExpectRowsFrom(0, "home");
}

TEST_F(DizaPageTest, TheTableGrowsWithThePage) {
    const int sizes[] = { 3, 50, 2, 60, 0, 7 };
    for (int n : sizes) {
        p.Paint(n);
        EXPECT_EQ(p.page->LineCount(), n);
        ExpectRowsFrom(0, "refill");
    }
    EXPECT_TRUE(Same(p.page->Row(8), kNone));   // beyond the page
}

TEST_F(DizaPageTest, RowsOfTheMarkedBlock) {
    p.Paint(30);
    EXPECT_EQ(p.page->SelectionClass(p.scroller, 3, nullptr), 0);
    p.page->selection.Begin(all[5]);
    p.page->selection.Extend(all[2]);   // marked upwards
    const int expect[] = { 0, 0, 2, 2, 2, 2, 0 };
    for (int row = 0; row < 7; ++row)
        EXPECT_EQ(p.page->SelectionClass(p.scroller, row, nullptr), expect[row]) << row;
    const int comment = IndexOf({ 0x2010, 0x10000000 });
    p.page->selection.Begin(all[comment]);
    p.page->selection.Extend({ 0x2010, 0xD2000001 });
    EXPECT_EQ(p.page->SelectionClass(p.scroller, comment, nullptr), 1);
    EXPECT_EQ(p.page->SelectionClass(p.scroller, comment + 3, nullptr), 1);
    EXPECT_EQ(p.page->SelectionClass(p.scroller, comment + 5, nullptr), 0);
    EXPECT_EQ(p.page->SelectionClass(p.scroller, -1, nullptr), 0);
    p.page->selection.Clear();
    EXPECT_EQ(p.page->SelectionClass(p.scroller, comment, nullptr), 0);
}

TEST_F(DizaPageTest, RowAddressesNeedAValidPageAndACursor) {
    p.Paint(10);
    p.page->currentRow = 4;
    EXPECT_EQ(p.page->PositionOfRow(p.scroller, 2), 0x1008);
    EXPECT_TRUE(p.page->IsCurrentRow(p.scroller, 4));
    EXPECT_EQ(p.page->PositionOfRow(p.scroller, 10), -1);
    EXPECT_EQ(p.page->PositionOfRow(p.scroller, -1), -1);
    p.page->selection.Begin(all[1]);
    p.page->Detach();
    EXPECT_EQ(p.page->PositionOfRow(p.scroller, 2), -1);
    EXPECT_EQ(p.page->selection.state, BlockSelection::kNone);
    p.scroller.top = 77;
    p.page->Clamp(p.scroller);   // an invalid page leaves the scroller alone
    EXPECT_EQ(p.scroller.top, 77);
    p.Paint(10);                 // and shows no rows
    EXPECT_TRUE(Same(p.page->Row(0), kNone));
    EXPECT_EQ(p.page->currentRow, 0);
    EXPECT_TRUE(p.log.lines.empty());
}

TEST_F(DizaPageTest, ClampFollowsTheTopAndKeepsTheCursorOnThePage) {
    p.page->SetTop(FirstLine(0x2000));
    p.page->currentRow = 20;
    p.scroller.page = 10;
    p.page->Clamp(p.scroller);
    EXPECT_EQ(p.scroller.top, 0x1040);
    EXPECT_EQ(p.page->currentRow, 9);
}

TEST_F(DizaPageTest, AReMadeTopIsWalkedAgain) {
    p.page->SetTop(FirstLine(0x2008));
    p.page->EnsureTopInRange(0x3000, 0x4000);
    EXPECT_TRUE(Same(p.page->top, { 0x2008, 0xD2000001 }));
    {
        SectionLock lock(p.doc.FileLock());
        p.doc.stores.lineComments.SetComment(0x2008, L"new");
    }
    p.page->EnsureTopInRange(0x2000, 0x2010);
    EXPECT_TRUE(Same(p.page->top, { 0x2008, 0x10000000 }));
}

TEST_F(DizaPageTest, TrackMarksWhereSegmentsEnd) {
    const RECT track = { 0, 15, 15, 15 + 367 };
    const std::vector<int32_t> ys = p.page->MarkOffsets(p.scroller, track);   // 367 pixels for 0x170 bytes
    ASSERT_EQ(ys.size(), 2u);
    EXPECT_EQ(ys[0], 14 + 367 * 0x40 / 0x170);
    EXPECT_EQ(ys[1], ys[0] + 367 * 0x100 / 0x170);
}

TEST_F(DizaPageTest, TrackMarksStayOffTheThumb) {
    PixelSurface surface(15, 400);
    const COLORREF paper = RGB(1, 2, 3);
    surface.FillSolidRect(RECT{ 0, 0, 15, 400 }, paper);
    const RECT track = { 0, 15, 15, 15 + 367 };
    const std::vector<int32_t> ys = p.page->MarkOffsets(p.scroller, track);
    ASSERT_EQ(ys.size(), 2u);
    const RECT thumb = { 0, ys[1] - 5, 15, ys[1] + 5 };
    p.page->DrawMarks(p.scroller, surface, track, thumb);
    const COLORREF mark = ThemeColor(34);
    ASSERT_NE(mark, paper);
    EXPECT_EQ(surface.CountColour(RECT{ 1, ys[0], 14, ys[0] + 1 }, mark), 13);
    EXPECT_EQ(surface.Pixel(0, ys[0]), paper);
    EXPECT_EQ(surface.Pixel(14, ys[0]), paper);
    EXPECT_EQ(surface.CountColour(RECT{ 0, 0, 15, 400 }, mark), 13);   // the one under the thumb is left out
}

TEST_F(DizaPageTest, WithoutADocumentEveryRowIsEmpty) {
    p.attached = false;
    p.Paint(5);
    for (int i = 0; i <= 5; ++i)
        EXPECT_TRUE(Same(p.page->Row(i), kNone));
    EXPECT_EQ(p.page->RangeLength(p.scroller), 0u);
    p.Scroll(SB_BOTTOM);
    p.Scroll(SB_PAGEUP);
    EXPECT_EQ(p.page->Distance(0x1000, 0x2000), 0);
}

// A page over segments at and above 2^63 (negative as signed addresses).
TEST(DizaPageHigh, ScrollsAtTheTopOfTheAddressSpace) {
    const int64_t low = static_cast<int64_t>(0x8000000000000000ull);
    const int64_t high = static_cast<int64_t>(0xFFFFFFFFFFFF0000ull);
    HeadlessPage p;
    p.AddSegment(low, 0x40);
    p.MakeItems(low, low + 0x40, 4);
    p.AddSegment(high, 0x40);
    p.MakeItems(high, high + 0x40, 4);
    p.Announce();
    const std::vector<DizaLinePos> all = p.AllLines();
    ASSERT_EQ(all.size(), 32u);
    p.Paint(10);
    EXPECT_EQ(p.page->top.address, low);
    p.Scroll(SB_PAGEDOWN);
    p.Scroll(SB_PAGEDOWN);
    EXPECT_EQ(p.page->top.address, high + 0x10);
    EXPECT_EQ(p.scroller.top, low + 0x50);
    p.Scroll(SB_BOTTOM);
    EXPECT_EQ(p.page->top.address, all[22].address);
    EXPECT_EQ(p.page->currentRow, 9);
    p.Scroll(SB_TOP);
    p.Scroll(SB_THUMBTRACK, 0x48);
    EXPECT_EQ(p.page->top.address, high + 8);
    p.Scroll(SB_THUMBTRACK, -0x30);
    EXPECT_EQ(p.page->top.address, low + 0x18);
    EXPECT_EQ(p.page->PageExtent(), 0x28);
    EXPECT_TRUE(p.page->Contains(low + 0x18));
    EXPECT_EQ(p.page->LineOfAddress(low + 0x1A), 0);
}

// Line, page, thumb and position moves at random, against the list of every line of the file.
TEST_F(DizaPageTest, RandomMovesMatchAWalkOverEveryLine) {
    struct Range {
        int64_t start, end;
    };
    const Range folds[] = { { 0x2040, 0x2080 }, { 0x20A0, 0x20F0 }, { 0x20B0, 0x20C0 } };
    const int L = static_cast<int>(all.size());
    std::mt19937 rng(2024);
    for (int n : { 1, 7, 20, 60 }) {
        p.Scroll(SB_TOP);
        p.Paint(n);
        int top = 0, row = 0;
        for (int step = 0; step < 2000; ++step) {
            const int move = static_cast<int>(rng() % 8);
            switch (move) {
            case 0:
                p.Scroll(SB_LINEUP);
                if (row > 0)
                    --row;
                else if (top > 0)
                    --top;
                break;
            case 1:
                p.Scroll(SB_LINEDOWN);
                if (row < n - 1)
                    ++row;
                else if (top + n < L)
                    ++top;
                break;
            case 2: {
                p.Scroll(SB_PAGEUP);
                const int to = std::max(0, top - n);
                row = to != top ? n - 1 : 0;
                top = to;
                break;
            }
            case 3:
                p.Scroll(SB_PAGEDOWN);
                if (top + n < L) {
                    top += n;
                    row = 0;
                } else {
                    row = n - 1;
                }
                break;
            case 4:
                p.Scroll(SB_TOP);
                top = row = 0;
                break;
            case 5:
                p.Scroll(SB_BOTTOM);
                top = std::max(0, L - n);
                row = n - 1;
                break;
            case 6: {   // a go-to or a click: a new top and cursor row
                top = static_cast<int>(rng() % L);
                row = static_cast<int>(rng() % n);
                p.page->SetTop(all[top]);
                p.page->currentRow = row;
                p.Paint(n);
                break;
            }
            case 7: {
                const int32_t d = static_cast<int32_t>(rng() % 0x301) - 0x180;
                p.Scroll(SB_THUMBTRACK, d);
                if (d == 0 || (d > 0 && top + n >= L))
                    break;
                int64_t t;
                {
                    SectionLock lock(p.doc.FileLock());
                    const SegmentMap& s = p.doc.Segments();
                    t = std::min(std::max(s.Step(all[top].address, d), s.lowestAddress), s.highestEnd - 1);
                }
                for (bool moved = true; moved;) {
                    moved = false;
                    for (const Range& f : folds)
                        if (f.start < t && t < f.end) {
                            t = f.end;
                            moved = true;
                        }
                }
                int j = 0;
                for (int k = 0; k < L; ++k)
                    if (IsItemLine(all[k].line) && all[k].address <= t)
                        j = k;
                while (j > 0 && all[j - 1].address == all[j].address)
                    --j;
                top = j;
                break;
            }
            }
            if (row > L - 1 - top)
                row = L - 1 - top;
            ASSERT_EQ(p.page->currentRow, row) << "rows " << n << " step " << step << " move " << move;
            ASSERT_TRUE(Same(p.page->top, all[top])) << "rows " << n << " step " << step << " move " << move;
            ExpectRowsFrom(top, "random");
            ASSERT_EQ(p.scroller.top, p.page->PositionOf(all[top].address));
        }
    }
}

}  // namespace

// The rows' lengths that the fill's walk gives match the document's for every page position: across
// segment gaps, folded ranges, sub-lines, dump lines and an item of two-byte lines; a row whose item
// was made again before the next fill gets the document's length.
TEST_F(DizaPageTest, RowLengthsFromTheWalkMatchTheDocument) {
    {
        SectionLock lock(p.doc.FileLock());
        p.doc.Map().AddDataItem(0x1020, 2, 1);
    }
    all = p.AllLines();
    constexpr int kRows = 12;
    for (size_t first = 0; first < all.size(); ++first) {
        p.page->SetTop(all[first]);
        p.Paint(kRows);
        for (int row = -1; row <= kRows; ++row) {
            const DizaLinePos& at = p.page->Row(row);
            const int32_t expect = diza::IsItemLine(at.line) ? p.doc.QueryItemLength(at.address) : 0;
            EXPECT_EQ(p.page->LineQuery(row), expect) << "top " << first << " row " << row;
        }
    }
    p.page->SetTop(FirstLine(0x1020));
    p.Paint(kRows);
    const int row = p.page->LineOfAddress(0x1020);
    ASSERT_GE(row, 0);
    EXPECT_EQ(p.page->LineQuery(row), 2);
    {
        SectionLock lock(p.doc.FileLock());
        p.doc.Map().AddDataItem(0x1020, 4, 1);
    }
    EXPECT_EQ(p.page->LineQuery(row), 4);
    {
        SectionLock lock(p.doc.FileLock());
        p.doc.Map().AddDataItem(0x1020, 2, 1);
    }
    p.page->RewalkTop();
    EXPECT_EQ(p.page->LineQuery(row), 2);
}
