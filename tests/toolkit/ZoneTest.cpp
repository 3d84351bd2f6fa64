#include "classlib/PixelSurface.h"
#include "options/BColorTheme.h"
#include "options/Options.h"
#include "toolkit/BZone.h"
#include "toolkit/BZoneLine.h"
#include "toolkit/GuiMetrics.h"
#include "toolkit/ZoneText.h"

#include "document/PatternMatcher.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

namespace {

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(Zone, WidthsClampToTheMaximum)
{
    struct Row { int width, setWidth, setMax, wantWidth, wantMax; };
    const Row rows[] = {
        {50, 80, -1, 50, 50},    // above the maximum: the maximum
        {50, 30, -1, 30, 50},
        {50, -1, 20, 20, 20},    // a maximum below the width shrinks it
        {50, -1, 90, 50, 90},
    };
    for (const Row& r : rows) {
        BZone z(3, 0, r.width);
        if (r.setWidth >= 0) z.SetWidth(r.setWidth);
        if (r.setMax >= 0) z.SetMaxWidth(r.setMax);
        EXPECT_EQ(z.width, r.wantWidth);
        EXPECT_EQ(z.GetMaxWidth(), r.wantMax);
    }
}

TEST(Zone, HiddenZoneTakesNoRoom)
{
    BZone z(3, 0, 40);
    z.lineHeight = 10;
    EXPECT_FALSE(z.SetHidden(true));
    EXPECT_EQ(z.VisibleWidth(), 0);
    RECT running{10, 0, 300, 20};
    EXPECT_EQ(z.Place(running), 0);
    EXPECT_TRUE(SameRect(running, RECT{10, 0, 300, 20}));
    EXPECT_FALSE(z.HitTest(20, 5));
    EXPECT_TRUE(SameRect(z.GetCellRect(0), RECT{0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF}));
    EXPECT_TRUE(z.SetHidden(false));
}

TEST(Zone, PlaceMovesTheRunningRectangle)
{
    BZone fixed(1, 0, 40);
    ZoneStretch stretch(2, BZone::kStretch);
    RECT running{0, 0, 340, 20};
    EXPECT_EQ(fixed.Place(running), 40);
    EXPECT_TRUE(SameRect(fixed.rect, RECT{0, 0, 40, 20}));
    EXPECT_EQ(running.left, 40);
    EXPECT_EQ(stretch.Place(running), 300);   // all that is left
    EXPECT_EQ(stretch.GetMaxWidth(), 300);
    EXPECT_EQ(running.right - running.left, 0);
}

TEST(Zone, CellRectsAreRowBandsInsideTheMargins)
{
    BZoneString z(1, 0, 10);
    z.lineHeight = 12;
    RECT running{100, 20, 400, 80};
    z.width = 60;
    z.Place(running);
    EXPECT_TRUE(SameRect(z.GetCellRect(0), RECT{104, 20, 156, 32}));
    EXPECT_TRUE(SameRect(z.GetCellRect(2), RECT{104, 44, 156, 56}));
}

TEST(Zone, SeparatorHitsOnlyWithASizedZone)
{
    BZone column(1, 0, 50);
    ZoneSeparator loose(0, nullptr), handle(0, &column);
    RECT r1{50, 0, 400, 20}, r2 = r1;
    loose.Place(r1);
    handle.Place(r2);
    EXPECT_FALSE(loose.HitTest(50, 5));
    EXPECT_TRUE(handle.HitTest(48, 5));    // 2 pixels left of its rectangle
    EXPECT_TRUE(handle.HitTest(52, 5));
    EXPECT_FALSE(handle.HitTest(47, 5));
    EXPECT_FALSE(handle.HitTest(53, 5));
    handle.SetTextColor(RGB(1, 2, 3));     // ignored: the bar has its own colour
    EXPECT_EQ(handle.textColor, 0u);
    handle.SetSeparatorColor(RGB(1, 2, 3));
    EXPECT_EQ(handle.textColor, RGB(1, 2, 3));
}

TEST(Zone, CenterSquareTruncatesOddHalves)
{
    RECT sq = BZone::CenterSquareInRect(RECT{0, 0, 21, 10}, 3);
    EXPECT_TRUE(SameRect(sq, RECT{7, 1, 14, 8}));
}

// A line of zones made by hand.
class TestLine : public BZoneLine {
public:
    void CreateZones(BMultiZone*) override {}
    void SetData(const void*) override {}
};

TEST(ZoneLine, EmptyLineDrawsNothingAndHitsNil)
{
    TestLine line;
    PixelSurface s(50, 20);
    ZoneLineWidths w = line.Draw(s, 0, 0, 0, 50, 20, false);
    EXPECT_EQ(w.width, 0);
    EXPECT_EQ(line.ZoneAtPoint(5, 5), &line.nil);
    EXPECT_EQ(line.ZoneAtPoint(5, 5)->Draw(s, 0, 0, 50, 20), 0);
    RECT r{0, 0, 10, 10};
    EXPECT_EQ(line.nil.Place(r), 0);
    EXPECT_EQ(line.nil.MeasureWidth(s), 0);
    EXPECT_EQ(line.ZoneById(5), nullptr);
}

TEST(ZoneLine, HidingAColumnHidesItsSeparator)
{
    TestLine line;
    line.AddZone(new BZone(1, 0, 30));
    line.AddSeparator(RGB(9, 9, 9));
    line.AddZone(new BZone(2, 0, 40));
    EXPECT_EQ(line.TotalVisibleWidth(), 71);
    EXPECT_FALSE(line.SetZoneHidden(1, true));
    EXPECT_EQ(line.TotalVisibleWidth(), 40);
    EXPECT_TRUE(line.ZoneAt(1)->hidden);
    EXPECT_FALSE(line.SetZoneHidden(99, true));
}

TEST(ZoneLine, SeparatorAfterAFixedZoneNeverHits)
{
    TestLine line;
    line.AddZone(new BZone(1, BZone::kFixed, 30));
    ZoneSeparator* s = line.AddSeparator(RGB(0, 0, 0));
    line.PlaceZones(RECT{0, 0, 200, 20});
    EXPECT_EQ(s->sizedZone, nullptr);
    EXPECT_FALSE(s->HitTest(30, 5));
    EXPECT_EQ(line.ZoneAtPoint(30, 5), &line.nil);
}

// A zone that counts its deletions.
struct CountedZone : BZone {
    explicit CountedZone(int id, int* deleted) : BZone(id, 0, 10), deleted(deleted) {}
    ~CountedZone() override { ++*deleted; }
    int* deleted;
};

TEST(ZoneLine, SharedZonesLiveUntilTheirLastHolder)
{
    for (bool headerFirst : {true, false}) {
        int deleted = 0;
        auto header = std::make_unique<TestLine>();
        auto rows = std::make_unique<TestLine>();
        header->AddZone(new CountedZone(4, &deleted));
        header->AddSeparator(RGB(0, 0, 0));
        rows->AddSharedZone(*header, 4);
        ASSERT_EQ(rows->ZoneCount(), 2);   // the zone and its separator
        EXPECT_EQ(rows->ZoneAt(0), header->ZoneAt(0));
        if (headerFirst) header.reset(); else rows.reset();
        EXPECT_EQ(deleted, 0);
        if (headerFirst) rows.reset(); else header.reset();
        EXPECT_EQ(deleted, 1);
    }
}

TEST(ZoneLine, CorrespondingZoneMatchesLeftEdgeAndKind)
{
    TestLine header, row;
    header.AddZone(new BZone(1, 0, 30));
    ZoneSeparator* hs = header.AddSeparator(RGB(0, 0, 0));
    row.AddZone(new BZone(1, 0, 30));
    ZoneSeparator* rs = row.AddSeparator(RGB(0, 0, 0));
    header.PlaceZones(RECT{0, 0, 200, 20});
    row.PlaceZones(RECT{0, 20, 200, 40});
    EXPECT_EQ(header.CorrespondingZone(rs), hs);
    BZone stray(9, 0, 5);
    stray.rect = RECT{77, 0, 82, 5};
    EXPECT_EQ(header.CorrespondingZone(&stray), &stray);
}

TEST(ZoneLine, DrawSumsWidthsAndTheLastZonesResult)
{
    TestLine line;
    line.AddZone(new BZone(1, 0, 30));
    line.AddZone(new ZoneStretch(2, BZone::kStretch));
    line.PlaceZones(RECT{0, 0, 100, 20});
    PixelSurface s(100, 20);
    ZoneLineWidths w = line.Draw(s, 0, 0, 0, 100, 20, false);
    EXPECT_EQ(w.width, 31);       // 30 plus the stretch's 1
    EXPECT_EQ(w.lastWidth, 70);
}

class TestListLine : public BMultiListLine {
public:
    TestListLine() : BMultiListLine(1) {}
    void CreateZones(BMultiZone*) override {}
    void SetData(const void*) override {}
};

TEST(ListLine, ColumnWidthCountsTheSeparator)
{
    struct Row { uint32_t flags; bool hidden; int want; };
    const Row rows[] = {
        {0, false, 41},
        {BZone::kFixed, false, 40},
        {BZone::kStretch, false, 40},
        {BZone::kFixed | BZone::kFixedBar, false, 41},
        {0, true, 0},
    };
    for (const Row& r : rows) {
        TestListLine line;
        BZone* z = new BZone(5, r.flags, 40);
        z->hidden = r.hidden;
        line.AddColumn(L"Name", z);
        EXPECT_EQ(line.ColumnWidth(5), r.want) << r.flags;
        EXPECT_EQ(line.ColumnWidth(6), 0);
        delete z;   // never attached: the line does not own it
    }
}

TEST(TextZone, MarkMatchesFindsOverlappingHitsWithoutCase)
{
    struct Row { const wchar_t* text; const wchar_t* search; const char* want; };
    const Row rows[] = {
        {L"aaaa", L"aa", "1111"},
        {L"xaby", L"AB", "0110"},
        {L"abc", L"abcd", ""},     // longer than the text: no map
        {L"abc", L"", ""},
    };
    for (const Row& r : rows) {
        BZoneString z(1, 0, 10);
        z.SetText(r.text);
        z.MarkMatches(r.search, static_cast<int>(wcslen(r.search)));
        std::string got;
        if (z.matchMap.valid)
            for (int i = 0; i < z.text.Length(); ++i) got += z.matchMap.Test(i) ? '1' : '0';
        EXPECT_EQ(got, r.want) << r.search;
    }
}

TEST(TextZone, HexNumbers)
{
    struct Row { int digits; uint64_t value; const wchar_t* want; };
    const Row rows[] = {
        {17, 0x12, L"00000000`00000012"},
        {4, 0x12, L"0012"},
        {17, ~uint64_t(0), L""},
        {11, 0x123456789ull, L"01`23456789"},
        {8, 0xABCDEF0123ull, L"CDEF0123"},
    };
    for (const Row& r : rows) {
        ZoneNumberHexAdapt z(1, 0, 17, r.digits);
        z.SetValue(r.value);
        EXPECT_EQ(z.text, r.want);
    }
    ZoneNumberHexAdapt z(1, 0, 17, 4);
    struct { int pad; uint64_t field; } record{0, 0xBEEF};
    z.SetNumber(&record, offsetof(decltype(record), field));
    EXPECT_EQ(z.text, L"BEEF");
}

TEST(TextZone, PresetsPickFontAndColour)
{
    ZoneStringPreset z(1, 0, 10);
    z.SetTextColor(RGB(1, 1, 1));
    z.SetPreset(3, nullptr, RGB(3, 3, 3));
    z.SetText(L"\x03rest");
    EXPECT_EQ(z.text, L"rest");
    EXPECT_EQ(z.textColor, RGB(3, 3, 3));
    z.SetText(L"\x07whole");
    EXPECT_EQ(z.text, L"\x07whole");
    EXPECT_EQ(z.textColor, RGB(1, 1, 1));
}

TEST(TextZone, FindWord)
{
    StringW operand(L"[ebx+var_4]");
    for (int i = 5; i <= 9; ++i) EXPECT_EQ(BZoneChar::FindWord(operand, i), L"var_4") << i;
    EXPECT_EQ(BZoneChar::FindWord(operand, 0), L"");
    EXPECT_EQ(BZoneChar::FindWord(operand, 4), L"");
    EXPECT_EQ(BZoneChar::FindWord(operand, 1), L"ebx");
    EXPECT_EQ(BZoneChar::FindWord(operand, 11), L"");
    EXPECT_EQ(BZoneChar::FindWord(StringW(L"a.b$c@d#e`f g"), 3), L"a.b$c@d#e`f");
}

TEST(TextZone, DumpKeepsOnlyItsByteCount)
{
    BZoneDump z(1, 0, 4);
    const uint8_t bytes[] = {0x4D, 0x5A, 0x90, 0x00, 0x03, 0x04};
    z.SetBytes(bytes, 6);
    EXPECT_EQ(z.text, L"4D5A9000");
    EXPECT_EQ(z.flags & 0x40001u, 0x40001u);
    EXPECT_EQ(z.charsPerUnit, 2);
}

TEST(TextZone, BitSets)
{
    BBitNumber b;
    EXPECT_FALSE(b.Test(0));
    b.Resize(10);
    b.SetBits(8, 5);    // only bits 8 and 9 exist
    b.SetBits(-1, 3);   // nothing
    b.SetBits(2, 0);    // nothing
    for (int i = 0; i < 12; ++i) EXPECT_EQ(b.Test(i), i == 8 || i == 9) << i;
    b.Invalidate();
    EXPECT_FALSE(b.Test(8));
}

TEST(TextZone, HighlightRangeInsideTheTextOnly)
{
    BZoneString z(1, 0, 10);
    z.SetText(L"abcdef");
    EXPECT_TRUE(z.HighlightRange(ZoneFoundMarks{nullptr, 2, 3}));
    EXPECT_TRUE(z.highlightMap.Test(4));
    EXPECT_FALSE(z.highlightMap.Test(5));
    EXPECT_FALSE(z.HighlightRange(ZoneFoundMarks{nullptr, 4, 3}));   // runs past the end
    EXPECT_FALSE(z.highlightMap.valid);
    EXPECT_FALSE(z.HighlightRange(ZoneFoundMarks{nullptr, -1, 2}));
}

// A document whose current find marked part of a line.
struct FakeFind : BZoneFindSource {
    bool HasCurrentFind() override { return hasFind; }
    bool FoundMarks(int64_t line, ZoneFoundMarks& marks) override {
        if (line != 7) return false;
        marks = ZoneFoundMarks{nullptr, 4, 12};
        return true;
    }
    PatternMatcher* Matcher() override { return &matcher; }
    bool hasFind = true;
    PatternMatcher matcher;
};

TEST(TextZone, HighlightMatchesMarksHitsInsideTheFoundPart)
{
    BZoneString z(1, 0, 30);
    z.SetText(L"mov eax,[ebx+eax]  ; eax");   // found part: "eax,[ebx+eax"
    FakeFind find;
    ASSERT_TRUE(find.matcher.Compile(L"eax"));
    z.HighlightMatches(ZoneLineRecord{&find, 7});
    std::string got;
    for (int i = 0; i < z.text.Length(); ++i) got += z.highlightMap.Test(i) ? '1' : '0';
    // The found part, and the matches inside it; the eax after ";" lies outside.
    EXPECT_EQ(got, "000011111111111100000000");
    z.HighlightMatches(ZoneLineRecord{&find, 8});   // no marks on that line
    EXPECT_FALSE(z.highlightMap.valid);
    find.hasFind = false;
    z.HighlightMatches(ZoneLineRecord{&find, 7});
    EXPECT_FALSE(z.highlightMap.valid);
    z.HighlightMatches(ZoneLineRecord{nullptr, 7});
    EXPECT_FALSE(z.highlightMap.valid);
}

TEST(TextZone, AlignmentAndColumns)
{
    BZoneString z(1, BZone::kAlignRight, 10);
    z.rect = RECT{100, 0, 200, 20};
    EXPECT_EQ(z.TextLeft(30), 166);
    z.flags = BZone::kAlignCenter;
    EXPECT_EQ(z.TextLeft(31), 134);
    z.flags = BZone::kAlignLeft;
    EXPECT_EQ(z.TextLeft(30), 104);
    std::vector<int> offsets{5, 6, 7, 0, 18};
    EXPECT_EQ(z.ColumnAt(offsets, 103), -1);
    EXPECT_EQ(z.ColumnAt(offsets, 104), 0);
    EXPECT_EQ(z.ColumnAt(offsets, 109), 1);
    EXPECT_EQ(z.ColumnAt(offsets, 121), 2);
    EXPECT_EQ(z.ColumnAt(offsets, 122), 3);
}

TEST(TextZone, SetFontKeepsACollapsedColumn)
{
    CFont font;
    ASSERT_TRUE(CreateFontPoints(font, L"Courier New", 10, false, 400));
    BZoneString fresh(1, 0, 10), collapsed(2, 0, 10), sized(3, 0, 10);
    collapsed.maxWidth = 50;   // the user dragged it to 0
    sized.width = sized.maxWidth = 20;
    fresh.SetFont(&font);
    collapsed.SetFont(&font);
    sized.SetFont(&font);
    ASSERT_GT(fresh.cellWidth, 0);
    int w = 10 * fresh.cellWidth + 8;
    EXPECT_EQ(fresh.width, w);
    EXPECT_EQ(collapsed.width, 0);
    EXPECT_EQ(collapsed.maxWidth, w);
    EXPECT_EQ(sized.width, 20);
    EXPECT_EQ(sized.maxWidth, w);
}

TEST(TextZone, AttrLineReserveAndRuns)
{
    AttrLine a;
    EXPECT_EQ(a.capacity, 512);
    a.Reserve(600);
    EXPECT_EQ(a.capacity, 1024);
    EXPECT_EQ(a.length, 601);
    a.SetTextIndex(2, 5, 3);
    a.SetBackIndex(3, 2, 0);   // to the end
    EXPECT_EQ(a.At(1), 0);
    EXPECT_EQ(a.At(2), 5 << 3);
    EXPECT_EQ(a.At(3), (5 << 3) | 2);
    EXPECT_EQ(a.At(600), 2);
}

TEST(TextZone, DrawContextFromTheCodeColours)
{
    Options options;
    options.codeColors.codeBk.value = RGB(1, 0, 0);
    options.codeColors.markerMk.value = RGB(2, 0, 0);
    options.codeColors.foundBk.value = RGB(3, 0, 0);
    options.codeColors.registerTxt.value = RGB(0, 4, 0);
    options.codeColors.nameTxt.value = RGB(0, 7, 0);
    ZoneDrawContext context;
    context.back[5] = RGB(9, 9, 9);   // the owner's: left alone
    context.FromOptions(options);
    EXPECT_EQ(context.back[0], RGB(1, 0, 0));
    EXPECT_EQ(context.back[1], RGB(2, 0, 0));
    EXPECT_EQ(context.back[2], RGB(3, 0, 0));
    EXPECT_EQ(context.back[5], RGB(9, 9, 9));
    EXPECT_EQ(context.text[4], RGB(0, 4, 0));
    EXPECT_EQ(context.text[7], RGB(0, 7, 0));
    ASSERT_EQ(context.fonts[0], &context.ownFont);
    EXPECT_FALSE(context.ownFont.IsNull());
}

// Pixels: hatch, overflow marker, colour string control characters.
TEST(TextZoneDraw, EmptyHatchedZoneAndOverflowMarker)
{
    PixelSurface s(200, 20);
    s.FillSolidRect(RECT{0, 0, 200, 20}, RGB(255, 255, 255));
    ::SetTextAlign(s, TA_BOTTOM);
    ::SetBkMode(s, TRANSPARENT);
    BZoneString empty(1, BZone::kHatchEmpty, 5);
    empty.width = empty.maxWidth = 40;
    RECT running{0, 0, 200, 20};
    empty.Place(running);
    EXPECT_EQ(empty.Draw(s, 0, 0, 200, 20), 40);
    EXPECT_GT(s.CountColour(RECT{0, 0, 40, 20}, ThemeColor(92)), 20);

    CFont font;
    CreateFontPoints(font, L"Arial", 10, false, 400);
    BZoneString wide(2, BZone::kAlignLeft, 5);
    wide.SetFont(&font);
    wide.width = 40;
    wide.SetText(L"WWWWWWWWWWWWWWWWWWWW");
    wide.Place(running);
    wide.Draw(s, 0, 0, 200, 20);
    int right = wide.rect.right;   // marker at r.right + margin - 5 .. + 5
    EXPECT_GT(s.CountColour(RECT{right - 5, 7, right, 13}, RGB(192, 192, 192)), 3);

    BZoneString plain(3, BZone::kAlignLeft | BZone::kNoOverflow, 5);
    plain.SetFont(&font);
    plain.width = 40;
    plain.SetText(L"WWWWWWWWWWWWWWWWWWWW");
    plain.Place(running);
    plain.Draw(s, 0, 0, 200, 20);
    EXPECT_EQ(s.CountColour(RECT{plain.rect.right - 5, 7, plain.rect.right, 13}, RGB(192, 192, 192)), 0);
}

TEST(TextZoneDraw, MatchRunsArePaintedUnderTheText)
{
    PixelSurface s(200, 20);
    s.FillSolidRect(RECT{0, 0, 200, 20}, RGB(255, 255, 255));
    ::SetTextAlign(s, TA_BOTTOM);
    ::SetBkMode(s, TRANSPARENT);
    CFont font;
    CreateFontPoints(font, L"Courier New", 10, false, 400);
    BZoneString z(1, BZone::kAlignLeft, 20);
    z.SetFont(&font);
    z.SetMatchColor(RGB(0, 200, 0));
    z.SetText(L"mov eax, ebx");
    RECT running{0, 0, 200, 20};
    z.Place(running);
    z.MarkMatches(L"eax", 3);
    z.Draw(s, 0, 0, 200, 20);
    EXPECT_GT(s.CountColour(RECT{0, 0, 200, 20}, RGB(0, 200, 0)), 50);
    // Row mark 2 (one of several selected lines): no per-character runs.
    s.FillSolidRect(RECT{0, 0, 200, 20}, RGB(255, 255, 255));
    z.rowMark = 2;
    z.Draw(s, 0, 0, 200, 20);
    EXPECT_EQ(s.CountColour(RECT{0, 0, 200, 20}, RGB(0, 200, 0)), 0);
}

TEST(TextZoneDraw, ColorStringShowsControlCharactersAsDots)
{
    ZoneDrawContext context;
    context.back[0] = RGB(255, 255, 255);
    context.text[0] = RGB(0, 0, 0);
    CFont font;
    CreateFontPoints(font, L"Courier New", 10, false, 400);
    context.fonts[0] = &font;
    BZoneColorString z(1, BZone::kAlignLeft, 10, &context);
    z.SetFont(&font);
    z.lineHeight = 18;
    z.SetText(L"a\x01");
    std::vector<int> offsets;
    PixelSurface s(120, 20);
    int total = z.GetCharOffsets(s, offsets);
    ASSERT_EQ(offsets.size(), 4u);
    EXPECT_EQ(offsets[2], 0);
    EXPECT_EQ(total, offsets[0] + offsets[1]);
    RECT running{0, 0, 120, 20};
    z.Place(running);
    EXPECT_GT(z.Draw(s, 0, 0, 120, 20), 0);
}

}  // namespace
