#include "toolkit/BScrollerModel.h"
#include "toolkit/ScrollMath.h"
#include "toolkit/ScrollPager.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// A scroller with a track of given pixels; counts thumb moves and remembers whether it shows.
class ProbeScroller : public BScrollerModel {
public:
    explicit ProbeScroller(int32_t track = 0) : track(track) {}
    int32_t TrackLength() override { return track; }
    void PositionThumb() override { ++thumbMoves; }
    void ShowThumb(bool s) override { shown = s; }
    int32_t track;
    int thumbMoves = 0;
    bool shown = false;
};

// A list of `lines` lines and a page of `rows` rows, on the default pager.
struct List {
    List(int64_t lines, int32_t rows, int64_t start = 0) {
        s.rangeStart = start;
        s.rangeEnd = start + lines;
        s.top = start;
        s.SetPage(rows);
        pager().current = start;
    }
    BScrollPagerYline& pager() { return *static_cast<BScrollPagerYline*>(s.Pager()); }
    void Do(int code, int32_t value = 0) {
        s.Scroll(code, value);
        s.NormalizePosition();
    }
    ProbeScroller s;
};

struct StepRow {
    const char* name;
    int64_t top, current;   // before
    int code;
    int64_t expectTop, expectCurrent;
};

TEST(ScrollPagerYline, StepsOverAHundredLinesOfTenRows) {
    const StepRow rows[] = {
        { "line down inside the page", 0, 3, SB_LINEDOWN, 0, 4 },
        { "line down on the last row scrolls one", 0, 9, SB_LINEDOWN, 1, 10 },
        { "line up on the top row scrolls back one", 5, 5, SB_LINEUP, 4, 4 },
        { "line up at the first line stays", 0, 0, SB_LINEUP, 0, 0 },
        { "line down at the last line stays", 90, 99, SB_LINEDOWN, 90, 99 },
        { "page down", 0, 4, SB_PAGEDOWN, 10, 10 },
        { "page down onto the last page", 85, 85, SB_PAGEDOWN, 90, 99 },
        { "page up", 30, 35, SB_PAGEUP, 20, 29 },
        { "page up from the first page", 3, 5, SB_PAGEUP, 0, 0 },
        { "top", 40, 45, SB_TOP, 0, 0 },
        { "bottom", 40, 45, SB_BOTTOM, 90, 99 },
    };
    for (const StepRow& r : rows) {
        List l(100, 10);
        l.s.top = r.top;
        l.pager().current = r.current;
        l.Do(r.code);
        EXPECT_EQ(l.s.top, r.expectTop) << r.name;
        EXPECT_EQ(l.pager().current, r.expectCurrent) << r.name;
    }
}

TEST(ScrollPagerYline, SetCurrent) {
    struct Row {
        const char* name;
        int64_t top, position;
        bool result;
        int64_t expectTop;
        int thumbMoves;
    } rows[] = {
        { "on the page", 20, 25, true, 20, 0 },
        { "just below the last full row", 20, 30, true, 20, 0 },
        { "off the page: a third of a page below the top", 20, 50, true, 47, 1 },
        { "near the end: the range end pulls the top back", 20, 98, true, 90, 1 },
        { "before the range", 20, -1, false, 20, 0 },
        { "past the range", 20, 100, false, 20, 0 },
    };
    for (const Row& r : rows) {
        List l(100, 10);
        l.s.top = r.top;
        EXPECT_EQ(l.pager().SetCurrent(l.s, r.position), r.result) << r.name;
        EXPECT_EQ(l.s.top, r.expectTop) << r.name;
        EXPECT_EQ(l.s.thumbMoves, r.thumbMoves) << r.name;
        if (r.result) {
            EXPECT_EQ(l.pager().current, r.position) << r.name;
        }
    }
}

TEST(ScrollPagerYline, RowsAndMovingTheCurrentLine) {
    List l(100, 10);
    l.s.top = 40;
    l.pager().current = 43;
    EXPECT_EQ(l.pager().PositionOfRow(l.s, 3), 43);
    EXPECT_TRUE(l.pager().IsCurrentRow(l.s, 3));
    EXPECT_FALSE(l.pager().IsCurrentRow(l.s, 4));
    l.pager().MoveCurrent(l.s, 50);   // the view moves with it
    EXPECT_EQ(l.s.top, 47);
    EXPECT_EQ(l.pager().current, 50);
    l.pager().MoveCurrent(l.s, 99);   // held at the end
    EXPECT_EQ(l.s.top, 90);
    l.pager().MoveCurrent(l.s, -5);
    EXPECT_EQ(l.pager().current, 99);
}

TEST(ScrollPagerYline, ARangeAtTheTopOfTheAddressSpaceStillScrolls) {
    const int64_t start = static_cast<int64_t>(0x8000000000000000ull);   // at 2^63 as unsigned
    struct Row {
        int64_t startAt, lines;
    } rows[] = { { start, 1000 }, { scroll::kMax - 1000, 1000 }, { -1000, 1000 } };
    for (const Row& r : rows) {
        List l(r.lines, 10, r.startAt);
        l.Do(SB_PAGEDOWN);
        EXPECT_EQ(l.s.top, r.startAt + 10);
        l.Do(SB_BOTTOM);
        EXPECT_EQ(l.s.top, r.startAt + r.lines - 10);
        EXPECT_EQ(l.pager().current, r.startAt + r.lines - 1);
        l.Do(SB_LINEDOWN);
        EXPECT_EQ(l.pager().current, r.startAt + r.lines - 1);
        l.Do(SB_PAGEUP);
        l.Do(SB_TOP);
        EXPECT_EQ(l.s.top, r.startAt);
        l.Do(SB_PAGEUP);
        EXPECT_EQ(l.s.top, r.startAt);
        EXPECT_EQ(l.pager().current, r.startAt);
        EXPECT_TRUE(l.pager().SetCurrent(l.s, r.startAt + 500));
        EXPECT_EQ(l.s.top, r.startAt + 497);
    }
}

TEST(ScrollPagerPage, StepsAndSelectionMarks) {
    class Marks : public BLineSelection {
    public:
        int32_t LineMark(int64_t line) const override { return line == 12 ? 1 : 0; }
    } marks;
    ScrollPagerPage* pager = new ScrollPagerPage;
    ProbeScroller s;
    s.SetPager(pager);
    s.rangeEnd = 100;
    s.SetPage(10);
    s.lineStep = 3;
    s.Scroll(SB_LINEDOWN, 0);
    EXPECT_EQ(s.top, 3);
    s.Scroll(SB_PAGEDOWN, 0);
    EXPECT_EQ(s.top, 13);
    s.Scroll(SB_LINEUP, 0);
    EXPECT_EQ(pager->SelectionClass(s, 2, &marks), 1);
    EXPECT_EQ(pager->SelectionClass(s, 3, &marks), 0);
    EXPECT_FALSE(pager->IsCurrentRow(s, 0));
    EXPECT_FALSE(pager->SetCurrent(s, 5));
    s.Scroll(SB_BOTTOM, 0);
    s.NormalizePosition();
    EXPECT_EQ(s.top, 90);
}

TEST(DumpScrollPager, RowsOfSixteenBytes) {
    DumpScrollPager* pager = new DumpScrollPager;
    ProbeScroller s(99);   // 100 pixels of track + 1: one position per pixel over a range of 0x640
    s.SetPager(pager);
    s.rangeEnd = 0x640;
    s.SetPage(0x100);
    s.lineStep = 16;
    s.Scroll(SB_THUMBTRACK, 1);   // 16 positions: one row
    EXPECT_EQ(s.top, 16);
    s.Scroll(SB_THUMBTRACK, 2);   // 32
    EXPECT_EQ(s.top, 48);
    s.top = 0;
    s.rangeEnd = 1000;
    s.Scroll(SB_THUMBTRACK, 1);   // 10 positions: rounded up to a row
    EXPECT_EQ(s.top, 16);
    s.Scroll(SB_BOTTOM, 0);
    EXPECT_EQ(s.top, 1000 - 0x100);
    EXPECT_EQ(pager->PositionOfRow(s, 3), 0);
}

TEST(BScrollPager, ASharedPagerLivesUntilItsLastOwnerLetsGo) {
    static int deleted = 0;
    class Counted : public BScrollPagerYline {
    public:
        ~Counted() override { ++deleted; }
    };
    deleted = 0;
    Counted* pager = new Counted;
    {
        ProbeScroller a;
        a.SetPager(pager);
        {
            ProbeScroller b;
            b.SetPager(pager->Share());
            EXPECT_EQ(pager->extraOwners, 1);
        }
        EXPECT_EQ(deleted, 0);
        EXPECT_EQ(pager->extraOwners, 0);
        a.SetPager(pager);   // the same pager again: kept, not released
        EXPECT_EQ(deleted, 0);
    }
    EXPECT_EQ(deleted, 1);
}

TEST(BScrollerModel, ThumbOverRangesOfEverySize) {
    struct Row {
        const char* name;
        int64_t start, end, top;
        int32_t page, track;
        bool active, shown;
        int32_t length, offset;
    } rows[] = {
        { "empty range", 0, 0, 0, 10, 200, false, false, 4, 0 },
        { "range shorter than the page", 0, 5, 0, 10, 200, false, false, 401, 0 },
        { "half the range on a page", 0, 100, 50, 50, 200, true, true, 101, 99 },
        { "above 2^32 positions", 0, 1ll << 40, 1ll << 39, 50, 200, true, true, 4, 100 },
        { "at the range's end", 0, 1ll << 40, (1ll << 40) - 50, 50, 200, true, true, 4, 196 },
        { "the whole signed space", scroll::kMin, scroll::kMax, 0, 50, 200, true, true, 4, 100 },
        { "track shorter than a thumb", 0, 100, 0, 10, 3, true, false, 4, 0 },
    };
    for (const Row& r : rows) {
        ProbeScroller s(r.track);
        s.rangeStart = r.start;
        s.rangeEnd = r.end;
        s.top = r.top;
        s.SetPage(r.page);
        s.UpdateThumb();
        EXPECT_EQ(s.active, r.active) << r.name;
        EXPECT_EQ(s.shown, r.shown) << r.name;
        const int32_t length = s.ThumbLength();
        EXPECT_EQ(length, r.length) << r.name;
        EXPECT_EQ(s.ThumbOffset(length), r.offset) << r.name;
        EXPECT_LE(s.ThumbOffset(length) + length, std::max(r.track, length)) << r.name;
    }
}

TEST(BScrollerModel, PixelsAndPositions) {
    ProbeScroller s(1023);   // 1024 pixels with the end one
    s.rangeEnd = 1ll << 50;
    EXPECT_EQ(s.PixelToPosition(1), 1ll << 40);
    EXPECT_EQ(s.PixelToPosition(-2), -(1ll << 41));
    EXPECT_EQ(s.PositionToPixel(1ull << 49), 511);
    s.rangeStart = scroll::kMin;
    s.rangeEnd = scroll::kMax;   // 2^64 - 1 positions
    EXPECT_EQ(s.PositionToPixel(UINT64_MAX), 1023);
    EXPECT_GT(s.PixelToPosition(1000), 0);
    EXPECT_LT(s.PixelToPosition(-1000), 0);
}

TEST(BScrollerModel, EdgesAndClamp) {
    ProbeScroller s;
    s.rangeStart = 10;
    s.rangeEnd = 110;
    s.SetPage(20);
    s.top = 10;
    EXPECT_TRUE(s.EdgeReached(0));
    EXPECT_FALSE(s.EdgeReached(1));
    s.top = 95;
    s.ClampTop();
    EXPECT_EQ(s.top, 90);
    EXPECT_TRUE(s.EdgeReached(1));
    s.rangeEnd = 15;   // less than a page: the start wins
    s.ClampTop();
    EXPECT_EQ(s.top, 10);
    s.rangeEnd = scroll::kMin + 5;
    s.rangeStart = scroll::kMin;
    s.top = scroll::kMin;
    s.ClampTop();
    EXPECT_EQ(s.top, scroll::kMin);
}

}  // namespace
