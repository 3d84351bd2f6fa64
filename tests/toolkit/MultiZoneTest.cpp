#include "toolkit/BMultiZone.h"

#include "classlib/PixelSurface.h"
#include "classlib/Screenshot.h"
#include "options/BColorTheme.h"
#include "toolkit/BZoneLine.h"
#include "toolkit/ScrollPager.h"
#include "toolkit/ZoneText.h"

#include "tests/classlib/FakeCursorClip.h"
#include "tests/classlib/MouseTakers.h"
#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void Drain() { wintest::DrainQueue(); }

// One row: a fixed name column, a separator, a text column and its separator.
struct RowItem {
    std::wstring name, text;
};

class TestLine : public BZoneLine {
public:
    void CreateZones(BMultiZone*) override {
        name = new BZoneString(1, BZone::kAlignLeft, 4);
        AddZone(name);
        AddSeparator(RGB(0, 0, 0));
        text = new BZoneString(2, BZone::kAlignLeft, 12);
        AddZone(text);
        AddSeparator(RGB(0, 0, 0));
    }
    void SetData(const void* item) override {
        const auto* r = static_cast<const RowItem*>(item);
        name->SetText(r->name.c_str());
        text->SetText(r->text.c_str());
    }
    BZoneString* name = nullptr;
    BZoneString* text = nullptr;
};

class TestPane : public BMultiZone {
public:
    void* GetItem(int row) override {
        asked.push_back(row);
        const int64_t line = LineOfRow(row);
        return line >= 0 && line < static_cast<int64_t>(items.size()) ? &items[static_cast<size_t>(line)] : nullptr;
    }
    void OnZoneDown(BZone* zone, int row, int x) override { downs.push_back({zone ? zone->id : -9, row, x}); }
    void OnScrolled() override { ++scrolled; }
    POINT CursorScreenPos() const override { return cursor; }

    struct Event {
        int zone, row, x;
    };
    std::vector<RowItem> items;
    std::vector<int> asked;
    std::vector<Event> downs;
    int scrolled = 0;
    POINT cursor{0, 0};
};

class PaneHost : public CWnd {};

// A pane of `count` rows in a 320 x 200 client, with both scrollers, its line fixed at the name column.
struct Fixture {
    explicit Fixture(int count, bool visible = false, int pageWidth = 320) {
        EXPECT_TRUE(host.CreateEx(0, nullptr, L"pane", WS_POPUP | (visible ? WS_VISIBLE : 0),
                                  RECT{30, 30, 30 + pageWidth, 230}, nullptr, 0));
        EXPECT_TRUE(pane.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, host.m_hWnd, 300));
        line = new TestLine;
        pane.AddLine(line);
        // Fixed part: the name zone and its separator.
        pane.fixedColumns = 1;
        pane.SetFont(L"Courier New", 10, FW_NORMAL);
        for (int i = 0; i < count; ++i)
            pane.items.push_back({L"N" + std::to_wstring(i), L"text of row " + std::to_wstring(i)});
        pane.VBar().rangeEnd = count;
        pane.MoveWindow(0, 0, pageWidth, 200, true);
        pane.VBar().UpdateThumb();
        Drain();
    }
    ~Fixture() {
        host.DestroyWindow();
    }
    void Erase() { pane.SendMessage(WM_ERASEBKGND, 0, 0); }
    COLORREF PagePixel(int x, int y) {
        SelectGdi keep(pane.shadow, pane.shadow.bitmap.GetSafeHandle());
        return pane.shadow.GetPixel(x, y);
    }
    POINT InRow(int row, int x) {
        RECT r = pane.GetRowRect(row);
        return POINT{x, (r.top + r.bottom) / 2};
    }
    void Mouse(UINT message, POINT p, UINT keys = 0) { pane.SendMessage(message, keys, MAKELPARAM(p.x, p.y)); }

    wintest::FakeCursorClip clip;
    PaneHost host;
    TestPane pane;
    TestLine* line = nullptr;
};

TEST(MultiZone, DrawsOnePageOfRowsPlusThePartlyVisibleOne) {
    Fixture f(100);
    const int rows = f.pane.RowsPerPage();
    ASSERT_GT(rows, 3);
    EXPECT_EQ(rows, (200 - 15) / f.pane.rowHeight);
    f.pane.asked.clear();
    f.Erase();
    std::vector<int> expect;
    for (int i = 0; i <= rows; ++i)
        expect.push_back(i);
    EXPECT_EQ(f.pane.asked, expect);
    EXPECT_GT(f.pane.HBar().rangeEnd, 0);   // the widest row sets the sideways range
}

TEST(MultiZone, EmptyPaneDrawsOnlyTheBackground) {
    Fixture f(0);
    f.pane.asked.clear();
    SelectGdi keep(f.pane.shadow, f.pane.shadow.bitmap.GetSafeHandle());
    EXPECT_EQ(f.pane.DrawRows(f.pane.shadow), 0);
    EXPECT_EQ(f.pane.asked, std::vector<int>{0});
    f.pane.SendMessage(WM_ERASEBKGND, 0, 0);
    PixelSurface copy;
    copy.CopyFrom(f.pane.shadow, RECT{0, 0, 300, 180});
    EXPECT_EQ(copy.CountColour(RECT{0, 0, 300, 180}, f.pane.normalColor), 300 * 180);
}

TEST(MultiZone, AreasFollowTheVisibleScrollers) {
    Fixture f(100);
    f.pane.headerHeight = 20;
    struct Row {
        const char* name;
        bool v, h;
        RECT text, page;
    } rows[] = {
        {"both", true, true, {0, 0, 305, 185}, {0, 20, 305, 185}},
        {"vertical only", true, false, {0, 0, 305, 200}, {0, 20, 305, 200}},
        {"horizontal only", false, true, {0, 0, 320, 185}, {0, 0, 320, 185}},
        {"none", false, false, {0, 0, 320, 200}, {0, 0, 320, 200}},
    };
    for (const Row& r : rows) {
        f.pane.VBar().ShowWindow(r.v ? SW_SHOWNA : SW_HIDE);
        f.pane.HBar().ShowWindow(r.h ? SW_SHOWNA : SW_HIDE);
        RECT t, p;
        f.pane.GetTextArea(t);
        f.pane.GetPageArea(p);
        EXPECT_TRUE(EqualRect(&t, &r.text)) << r.name << " text " << t.right << "," << t.bottom;
        EXPECT_TRUE(EqualRect(&p, &r.page)) << r.name << " page " << p.top;
    }
    EXPECT_EQ(f.pane.RowAtY(5), -1);
    EXPECT_EQ(f.pane.RowAtY(20), 0);
    EXPECT_EQ(f.pane.RowAtY(20 + 2 * f.pane.rowHeight + 1), 2);
    EXPECT_EQ(f.pane.LineOfRow(-1), -1);
    f.pane.VBar().top = 40;
    EXPECT_EQ(f.pane.LineOfRow(3), 43);
}

TEST(MultiZone, ScrollerNoticesShowAndHideTheCorners) {
    Fixture f(100);
    auto shown = [](const CWnd& w) { return (w.GetStyle() & WS_VISIBLE) != 0; };
    HWND top = nullptr, bottom = nullptr;
    // The corners are the children with id -1, top first.
    for (HWND c = ::GetWindow(f.pane.m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
        if (::GetDlgCtrlID(c) == 0xFFFF || ::GetDlgCtrlID(c) == -1)
            (top ? bottom : top) = c;
    ASSERT_TRUE(top && bottom);
    f.pane.VBar().ShowWindow(SW_HIDE);
    EXPECT_FALSE(::IsWindowVisible(top) || (::GetWindowLongW(top, GWL_STYLE) & WS_VISIBLE));
    EXPECT_FALSE(::GetWindowLongW(bottom, GWL_STYLE) & WS_VISIBLE);
    f.pane.VBar().ShowWindow(SW_SHOW);
    EXPECT_TRUE(::GetWindowLongW(top, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(::GetWindowLongW(bottom, GWL_STYLE) & WS_VISIBLE);
    f.pane.HBar().ShowWindow(SW_HIDE);
    EXPECT_FALSE(::GetWindowLongW(bottom, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(shown(f.pane.VBar()));
}

TEST(MultiZone, WheelAndKeysScroll) {
    Fixture f(1000);
    f.pane.VBar().SetPager(new ScrollPagerPage);
    const int page = f.pane.RowsPerPage();
    struct Row {
        const char* name;
        UINT message;
        WPARAM w;
        bool ctrl, sideways;
        int64_t startTop, expectTop, expectSideways;
    } rows[] = {
        {"wheel -240: six lines down", WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), false, true, 0, 6, 0},
        {"wheel -100: nothing", WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-100)), false, true, 10, 10, 0},
        {"wheel +120: three lines up", WM_MOUSEWHEEL, MAKEWPARAM(0, 120), false, true, 10, 7, 0},
        {"page down", WM_KEYDOWN, VK_NEXT, false, true, 0, page, 0},
        {"line up", WM_KEYDOWN, VK_UP, false, true, 5, 4, 0},
        {"ctrl+end", WM_KEYDOWN, VK_END, true, true, 5, 1000 - page, 0},
        {"ctrl+home", WM_KEYDOWN, VK_HOME, true, false, 50, 0, 0},
        {"end without ctrl goes sideways", WM_KEYDOWN, VK_END, false, true, 5, 5, 1},
        {"end without a sideways scroller", WM_KEYDOWN, VK_END, false, false, 5, 5, 0},
        {"right without a sideways scroller", WM_KEYDOWN, VK_RIGHT, false, false, 5, 5, 0},
        {"right", WM_KEYDOWN, VK_RIGHT, false, true, 5, 5, 1},
    };
    for (const Row& r : rows) {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = r.ctrl ? 0x80 : 0;
        ::SetKeyboardState(keys);
        f.pane.HBar().ShowWindow(r.sideways ? SW_SHOWNA : SW_HIDE);
        f.pane.HBar().rangeEnd = 2000;
        f.pane.HBar().top = 0;
        f.pane.VBar().top = r.startTop;
        const int before = f.pane.scrolled;
        f.pane.SendMessage(r.message, r.w, 0);
        EXPECT_EQ(f.pane.VBar().top, r.expectTop) << r.name;
        EXPECT_EQ(f.pane.HBar().top != 0, r.expectSideways != 0) << r.name;
        if (r.expectTop != r.startTop) {
            EXPECT_EQ(f.pane.scrolled, before + 1) << r.name;
        }
    }
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
    EXPECT_EQ(f.pane.SendMessage(WM_GETDLGCODE), DLGC_WANTALLKEYS);
}

TEST(MultiZone, FixedPartDoesNotScrollSideways) {
    Fixture f(100);
    f.pane.HBar().rangeEnd = 2000;
    f.pane.HBar().top = 30;
    f.Erase();
    const int fixedRight = f.line->name->rect.right;
    ASSERT_EQ(f.pane.fixedWidth, f.line->name->width + 1);
    const POINT inFixed = f.InRow(2, fixedRight - 3);
    f.Mouse(WM_LBUTTONDOWN, inFixed, MK_LBUTTON);
    f.Mouse(WM_LBUTTONUP, inFixed);
    const POINT inText = f.InRow(2, f.pane.fixedWidth + 10);
    f.Mouse(WM_LBUTTONDOWN, inText, MK_LBUTTON);
    f.Mouse(WM_LBUTTONUP, inText);
    ASSERT_EQ(f.pane.downs.size(), 2u);
    EXPECT_EQ(f.pane.downs[0].zone, 1);
    EXPECT_EQ(f.pane.downs[0].x, fixedRight - 3);                // unshifted in the fixed part
    EXPECT_EQ(f.pane.downs[1].x, f.pane.fixedWidth + 10 + 30);  // page x right of it
    EXPECT_EQ(f.pane.downs[1].zone, 2);
    EXPECT_EQ(f.pane.downs[1].row, 2);
}

TEST(MultiZone, DraggingASeparatorSetsTheColumnWidthUpToItsMaximum) {
    Fixture f(100);
    BZoneString* text = f.line->text;
    const int maxWidth = text->GetMaxWidth();
    struct Row {
        const char* name;
        int dx;   // from the column's right edge
        int expectWidth;
    } rows[] = {
        {"narrower", -30, maxWidth - 30},
        {"wider than the maximum", +60, maxWidth},
        {"to nothing", -1000, 0},
    };
    for (const Row& r : rows) {
        text->SetWidth(maxWidth);
        f.pane.LayoutLines();
        const int sepX = text->rect.right;   // the separator after the text column
        const POINT press = f.InRow(1, sepX);
        f.Mouse(WM_LBUTTONDOWN, press, MK_LBUTTON);
        ASSERT_NE(f.pane.dragSeparator, nullptr) << r.name;
        const POINT to{press.x + r.dx, press.y};
        f.Mouse(WM_MOUSEMOVE, to, MK_LBUTTON);
        f.Mouse(WM_LBUTTONUP, to);
        EXPECT_EQ(f.pane.dragSeparator, nullptr) << r.name;
        EXPECT_EQ(text->width, r.expectWidth) << r.name;
        EXPECT_EQ(text->rect.right, text->rect.left + r.expectWidth) << r.name;   // laid out again
    }
}

// A separator drag that loses the mouse ends without its effect: the track line is erased, the
// cursor free, the width unchanged, and a later release changes nothing.
TEST(MultiZone, ASeparatorDragLetsGoWhenTheMouseIsTaken) {
    Fixture f(100, true);
    BZoneString* text = f.line->text;
    const int width = text->width;
    // The column of the screen where the track line runs: after the drag, what the pane paints.
    const auto screenColumn = [&](int x) {
        std::vector<COLORREF> column;
        HDC dc = ::GetDC(f.pane.m_hWnd);
        for (int y = 0; y < f.pane.GetClientRect().bottom; ++y) column.push_back(::GetPixel(dc, x, y));
        ::ReleaseDC(f.pane.m_hWnd, dc);
        return column;
    };
    for (wintest::MouseTaker taker : wintest::kMouseTakers) {
        const int sepX = text->rect.right;
        const POINT press = f.InRow(1, sepX);
        const POINT to{press.x - 20, press.y};
        f.pane.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
        f.pane.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        Drain();
        f.pane.Invalidate();   // a paint during the drag wipes the track line
        f.pane.UpdateWindow();
        ASSERT_NE(f.pane.dragSeparator, nullptr) << wintest::TakerName(taker);
        ZoneSeparator* separator = f.pane.dragSeparator;
        EXPECT_EQ(separator->dragX, to.x);
        EXPECT_FALSE(wintest::FakeCursorClip::Free());
        const wintest::TakenState seen = wintest::TakeMouse(taker, f.pane.m_hWnd);
        EXPECT_TRUE(seen.cursorFree) << wintest::TakerName(taker);
        EXPECT_TRUE(seen.captureFree) << wintest::TakerName(taker);
        EXPECT_EQ(f.pane.dragSeparator, nullptr) << wintest::TakerName(taker);
        EXPECT_EQ(separator->dragX, 0) << wintest::TakerName(taker);   // the track line is gone
        Drain();
        const std::vector<COLORREF> shown = screenColumn(to.x);
        f.pane.Invalidate();
        f.pane.UpdateWindow();
        EXPECT_TRUE(shown == screenColumn(to.x)) << wintest::TakerName(taker) << ": a track line stays";
        f.pane.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
        Drain();
        EXPECT_EQ(text->width, width) << wintest::TakerName(taker);
    }
}

// A column whose maximum is far beyond any screen does not make the page that wide: the page is the
// visible width plus the sideways reach, and the rows still paint.
TEST(MultiZone, ThePageIsNoWiderThanCanBeShown) {
    Fixture f(100, true);
    f.line->text->SetMaxWidth(0x7FFF);
    f.line->text->maxWidth = 0x7FFF;
    f.pane.MoveWindow(0, 0, 300, 200, true);
    f.pane.Invalidate();
    f.pane.UpdateWindow();
    const RECT client = f.pane.GetClientRect();
    EXPECT_LE(f.pane.shadow.maxWidth, client.right + std::max<int>(f.pane.contentWidth, f.pane.HBar().rangeEnd));
    EXPECT_LT(f.pane.shadow.maxWidth, 0x7FFF);
    // The rows are there: the text column of row 1 holds text-coloured pixels.
    const RECT row = f.pane.GetRowRect(1);
    int inked = 0;
    for (int x = f.line->text->rect.left; x < f.line->text->rect.left + 60; ++x)
        for (int y = row.top; y < row.bottom; ++y)
            inked += f.PagePixel(x, y) != f.pane.normalColor;
    EXPECT_GT(inked, 0);
}

int g_bitmapsRefused = 0;
HBITMAP WINAPI CountedBitmap(HDC dc, int width, int height) {
    HBITMAP made = ::CreateCompatibleBitmap(dc, width, height);
    g_bitmapsRefused += made == nullptr;
    return made;
}

// A page too big to make (far wider than shown, and very tall) leaves a page of the visible size,
// not the smaller one from before; the refused size is asked for again only once another is wanted,
// also when only its width is too much.
TEST(MultiZone, ARefusedPageFallsBackToTheVisibleSize) {
    Fixture f(100, true);
    struct Counted {
        Counted() { HShadowDC::createBitmap = CountedBitmap; }
        ~Counted() { HShadowDC::createBitmap = ::CreateCompatibleBitmap; }
    } counted;
    g_bitmapsRefused = 0;
    f.line->text->SetMaxWidth(0x7FFF);
    f.line->text->maxWidth = 0x7FFF;
    f.pane.HBar().rangeEnd = 0x7FFF;
    f.pane.HBar().top = 8;   // scrolled sideways: the rows keep the reach
    const int tall = 17000;   // 32-bit pixels of 33000 x 17000 pass any bitmap's limit
    f.pane.MoveWindow(0, 0, 300, tall, true);
    f.pane.Invalidate();
    f.pane.UpdateWindow();
    EXPECT_GE(f.pane.shadow.maxWidth, f.pane.GetClientRect().right);
    EXPECT_GE(f.pane.shadow.maxHeight, f.pane.GetClientRect().bottom);
    EXPECT_EQ(f.PagePixel(f.pane.GetClientRect().right - 1, f.pane.GetClientRect().bottom - 1), f.pane.normalColor);
    ASSERT_EQ(g_bitmapsRefused, 1);
    for (int i = 0; i < 3; ++i) {
        f.pane.Invalidate();
        f.pane.UpdateWindow();
    }
    EXPECT_EQ(g_bitmapsRefused, 1);
    f.pane.MoveWindow(0, 0, 300, tall + 8, true);
    f.pane.Invalidate();
    f.pane.UpdateWindow();
    EXPECT_EQ(g_bitmapsRefused, 2);
    EXPECT_EQ(f.PagePixel(f.pane.GetClientRect().right - 1, f.pane.GetClientRect().bottom - 1), f.pane.normalColor);
    // Shorter: the page kept is tall enough, the width alone is refused, and only once.
    f.pane.MoveWindow(0, 0, 300, tall, true);
    for (int i = 0; i < 3; ++i) {
        f.pane.Invalidate();
        f.pane.UpdateWindow();
    }
    EXPECT_LE(g_bitmapsRefused, 3);
    EXPECT_EQ(f.PagePixel(f.pane.GetClientRect().right - 1, f.pane.GetClientRect().bottom - 1), f.pane.normalColor);
}

TEST(MultiZone, MouseSelectsCharactersOnOneRowAndLinesAcrossRows) {
    Fixture f(100);
    f.pane.VBar().SetPager(new ScrollPagerPage);
    const int left = f.line->text->rect.left;
    const POINT press = f.InRow(1, left + 4 + 2);
    f.Mouse(WM_LBUTTONDOWN, press, MK_LBUTTON);
    EXPECT_EQ(f.pane.selection.anchorLine, 1);
    EXPECT_EQ(f.pane.selection.anchorColumn, 0);
    // Three pixels sideways selects the line itself; four or more select characters.
    f.Mouse(WM_MOUSEMOVE, POINT{press.x + 3, press.y}, MK_LBUTTON);
    EXPECT_EQ(f.pane.selection.LineMark(1), 1);
    f.Mouse(WM_MOUSEMOVE, POINT{press.x + 3 * f.line->text->cellWidth + 1, press.y}, MK_LBUTTON);
    EXPECT_GE(f.pane.selection.currentColumn, 3);
    EXPECT_EQ(f.pane.selection.selectedText.substr(0, 3), L"tex");
    EXPECT_EQ(f.pane.selection.LineMark(1), 0);   // characters, not lines
    // Another row: whole lines.
    f.Mouse(WM_MOUSEMOVE, f.InRow(3, press.x), MK_LBUTTON);
    EXPECT_EQ(f.pane.selection.currentColumn, TextSelection::kWholeLines);
    EXPECT_TRUE(f.pane.selection.selectedText.empty());
    f.Mouse(WM_LBUTTONUP, f.InRow(3, press.x));
    EXPECT_EQ(f.pane.selection.LineMark(0), 0);
    EXPECT_EQ(f.pane.selection.LineMark(1), 2);
    EXPECT_EQ(f.pane.selection.LineMark(3), 2);
    // Selected rows take the selection colour in the page.
    f.Erase();
    const RECT row2 = f.pane.GetRowRect(2);
    EXPECT_EQ(f.PagePixel(f.pane.fixedWidth + 150, row2.top + 1), f.pane.selectedColor);
    const RECT row5 = f.pane.GetRowRect(5);
    EXPECT_EQ(f.PagePixel(f.pane.fixedWidth + 150, row5.top + 1), f.pane.normalColor);
    // A click without a drag clears it.
    f.Mouse(WM_LBUTTONDOWN, press, MK_LBUTTON);
    f.Mouse(WM_LBUTTONUP, press);
    EXPECT_FALSE(f.pane.selection.HasAnchor());
}

TEST(MultiZone, CurrentRowTakesTheFocusColours) {
    Fixture f(100);
    auto* pager = static_cast<BScrollPagerYline*>(f.pane.Pager());
    pager->current = 2;
    f.Erase();
    const RECT r = f.pane.GetRowRect(2);
    EXPECT_EQ(f.PagePixel(200, r.top + 1), f.pane.currentColor);
    EXPECT_EQ(f.pane.RowBackColor(1), f.pane.normalColor);
}

TEST(MultiZone, AutoscrollRegions) {
    Fixture f(100);
    RECT t;
    f.pane.GetTextArea(t);
    const int fx = f.pane.fixedWidth;
    struct Row {
        int x, y, region;
    } rows[] = {
        {100, 2, 1}, {100, t.bottom - 3, 2}, {t.right - 2, 80, 4}, {fx + 2, 80, 3}, {fx - 2, 80, 0}, {100, 80, 0},
        {100, -20, 1}, {-5, 80, 3},
    };
    for (const Row& r : rows)
        EXPECT_EQ(f.pane.AutoscrollRegion(r.x, r.y), r.region) << r.x << "," << r.y;
}

TEST(MultiZone, AutoscrollStepsWhileThePointerStaysInTheStrip) {
    Fixture f(1000);
    f.pane.VBar().SetPager(new ScrollPagerPage);
    const POINT press = f.InRow(2, 150);
    f.Mouse(WM_LBUTTONDOWN, press, MK_LBUTTON);
    RECT t;
    f.pane.GetTextArea(t);
    POINT below{150, t.bottom - 2};
    f.Mouse(WM_MOUSEMOVE, below, MK_LBUTTON);
    f.pane.cursor = below;
    f.pane.ClientToScreen(&f.pane.cursor);
    for (int i = 0; i < 5; ++i)
        f.pane.SendMessage(WM_TIMER, BMultiZone::kAutoscrollTimer, 0);
    EXPECT_EQ(f.pane.VBar().top, 5);
    EXPECT_EQ(f.pane.selection.firstLine, 2);
    EXPECT_GT(f.pane.selection.lastLine, 2 + 5);
    f.Mouse(WM_LBUTTONUP, below);
}

TEST(MultiZone, Screenshot) {
    Fixture f(100, true, 150);
    f.pane.VBar().SetPager(new ScrollPagerPage);
    f.pane.HBar().rangeEnd = 600;
    f.pane.HBar().top = 0;
    f.pane.selection.anchorLine = f.pane.selection.firstLine = 3;
    f.pane.selection.lastLine = 4;
    f.pane.selection.currentColumn = TextSelection::kWholeLines;
    f.pane.Invalidate();
    f.pane.UpdateWindow();
    Drain();
    PixelSurface before;
    ASSERT_TRUE(CaptureWindow(f.pane.m_hWnd, before, true));
    before.SavePng(L"multizone.png");
    {
        const RECT thumb = f.pane.VBar().ThumbRect();
        EXPECT_TRUE(f.pane.VBar().active);
        EXPECT_GT(thumb.bottom - thumb.top, 4) << thumb.top;
        RECT inPane = f.pane.VBar().GetWindowRect();
        f.pane.ScreenToClient(&inPane);
        EXPECT_EQ(before.Pixel(inPane.left + 7, inPane.top + (thumb.top + thumb.bottom) / 2), ThemeColor(38))
            << inPane.left << "," << inPane.top << " thumb " << thumb.top << "-" << thumb.bottom;
    }
    // A sideways step moves the text columns and leaves the fixed part where it is.
    f.pane.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    f.pane.UpdateWindow();
    Drain();
    PixelSurface after;
    ASSERT_TRUE(CaptureWindow(f.pane.m_hWnd, after, true));
    const int fw = f.pane.fixedWidth;
    int fixedSame = 0, movedSame = 0;
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < fw; ++x)
            fixedSame += before.Pixel(x, y) == after.Pixel(x, y);
        for (int x = fw; x < 130; ++x)
            movedSame += before.Pixel(x, y) == after.Pixel(x, y);
    }
    EXPECT_EQ(fixedSame, fw * 150);
    EXPECT_LT(movedSame, (130 - fw) * 150);
    EXPECT_EQ(before.Pixel(fw + 50, f.pane.GetRowRect(3).top + 1), f.pane.selectedColor);
}

TEST(MultiZone, MeasuresColumnsAndCharactersOfRows) {
    Fixture f(5);
    f.pane.items[3].text = L"a much longer text";
    BZoneString* text = f.line->text;
    CClientDC dc(f.pane.m_hWnd);
    // Rows 0..9 are asked, the measuring stops at row 5 (no item).
    const int widest = f.pane.MaxZoneWidth(text, 0, 9);
    text->SetText(L"a much longer text");
    EXPECT_EQ(widest, text->MeasureWidth(dc));
    EXPECT_EQ(f.pane.MaxZoneWidth(text, 0, 2), [&] { text->SetText(L"text of row 0"); return text->MeasureWidth(dc); }());
    text->SetText(L"text of row 1");
    std::vector<int> advances;
    text->GetCharOffsets(dc, advances);
    const int x = text->rect.left + text->margin + advances[0] + advances[1] + 1;
    EXPECT_EQ(f.pane.ColumnAtX(text, 1, x), 2);
    EXPECT_EQ(f.pane.ColumnAtX(text, 7, x), -1);   // no item
}

TEST(MultiZone, NewFontSetsRowsPerPageAtOnce) {
    Fixture f(100);
    const int before = f.pane.RowsPerPage();
    f.pane.SetFont(L"Courier New", 20, FW_BOLD);
    EXPECT_LT(f.pane.RowsPerPage(), before);
    EXPECT_EQ(f.pane.RowsPerPage(), f.pane.VBar().height / f.pane.rowHeight);
    EXPECT_EQ(f.line->text->lineHeight, f.pane.rowHeight);
}

TEST(MultiZone, CornerButtonsPushTheSidewaysScrollerRight) {
    Fixture f(100);
    ASSERT_EQ(f.pane.cornerButtons.endGap, 2);
    f.pane.cornerButtons.Create(&f.pane, 0xFFF0);   // no strip: buttons without icons
    f.pane.cornerButtons.AddClickButton(101, L"one", true);
    f.pane.cornerButtons.AddClickButton(102, L"two", true);
    BPane::Relayout(f.pane.m_hWnd);
    const int length = f.pane.cornerButtons.MeasureLength();
    ASSERT_GT(length, 4);
    EXPECT_EQ(f.pane.cornerLength, length);
    RECT bar = f.pane.HBar().GetWindowRect();
    f.pane.ScreenToClient(&bar);
    EXPECT_EQ(bar.left, length);
    EXPECT_EQ(bar.right, 320 - 15);
    EXPECT_EQ(f.pane.HBar().extraWidth, length);
}

// A name column and a filler that takes the rest of the row.
class StretchLine : public BZoneLine {
public:
    void CreateZones(BMultiZone*) override {
        AddZone(new BZoneString(1, BZone::kAlignLeft, 4));
        filler = new ZoneStretch(9, BZone::kStretch | BZone::kHatchEmpty);
        AddZone(filler);
    }
    void SetData(const void*) override {}
    ZoneStretch* filler = nullptr;
};

TEST(MultiZone, StretchZoneFillsTheRestOfTheTextArea) {
    Fixture f(10);
    auto* line = new StretchLine;
    f.pane.AddLine(line);
    for (int width : {500, 260, 320}) {
        f.pane.MoveWindow(0, 0, width, 200, true);
        RECT t;
        f.pane.GetTextArea(t);
        EXPECT_EQ(line->filler->rect.right, t.right) << width;
        EXPECT_GT(line->filler->width, 0) << width;
    }
}

// --- The selection on its own.

TEST(TextSelection, LinesRemovedMovesTheSelectionUp) {
    struct Row {
        const char* name;
        int64_t first, last, line, count;
        bool cleared;
        int64_t expectFirst, expectLast;
    } rows[] = {
        {"ends before", 2, 4, 5, 3, false, 2, 4},
        {"wholly inside", 5, 6, 5, 3, true, 0, 0},
        {"ends inside", 2, 6, 5, 3, false, 2, 4},
        {"starts inside", 6, 10, 5, 3, false, 5, 7},
        {"after", 9, 12, 5, 3, false, 6, 9},
        {"covers them", 2, 12, 5, 3, false, 2, 9},
        {"log drops the first lines", 1, 4, 0, 2, false, 0, 2},
        {"nothing removed", 1, 4, 0, 0, false, 1, 4},
    };
    for (const Row& r : rows) {
        TextSelection s;
        s.anchorLine = r.first;
        s.firstLine = r.first;
        s.lastLine = r.last;
        s.currentColumn = TextSelection::kWholeLines;
        s.LinesRemoved(r.line, r.count);
        EXPECT_EQ(!s.HasAnchor(), r.cleared) << r.name;
        if (r.cleared)
            continue;
        EXPECT_EQ(s.firstLine, r.expectFirst) << r.name;
        EXPECT_EQ(s.lastLine, r.expectLast) << r.name;
        EXPECT_GE(s.anchorLine, s.firstLine) << r.name;
        EXPECT_LE(s.anchorLine, s.lastLine) << r.name;
    }
    TextSelection none;
    none.LinesRemoved(0, 5);
    EXPECT_FALSE(none.HasAnchor());
}

TEST(TextSelection, WordSelectionCoversWholeUnits) {
    // A dump-like zone: two characters per byte.
    BZoneString zone(1, BZone::kAlignLeft, 16);
    zone.charsPerUnit = 2;
    zone.text = L"4D5A9000";
    zone.rect = RECT{0, 0, 200, 16};
    TextSelection s;
    s.anchorLine = s.firstLine = s.lastLine = 7;
    s.zone = &zone;
    s.zoneText = zone.text;
    s.anchorColumn = 2;
    s.currentColumn = 4;
    s.flags |= TextSelection::kDragging;
    // Same zone, same line, far enough sideways: characters of the units 2..5.
    s.offsets = {8, 8, 8, 8, 8, 8, 8, 8, 0, 64};
    s.pressX = 4 + 2 * 8 + 2;
    s.pressY = 5;
    s.OnMouseMove(&zone, 7, 4 + 4 * 8 + 2, 6);
    EXPECT_EQ(s.currentColumn, 4);
    EXPECT_EQ(s.selectedText, L"5A90");
    // Words switched off: no text, the range still stands.
    s.flags = static_cast<uint8_t>(s.flags & ~TextSelection::kWordsAllowed);
    s.selectedText.clear();
    s.OnMouseMove(&zone, 7, 4 + 5 * 8 + 2, 6);
    EXPECT_TRUE(s.selectedText.empty());
    // Lines switched off: moving to another line changes nothing.
    s.flags = static_cast<uint8_t>(s.flags & ~TextSelection::kLinesAllowed);
    s.OnMouseMove(&zone, 9, 10, 40);
    EXPECT_EQ(s.lastLine, 7);
    EXPECT_EQ(s.LineMark(7), 0);
}

}  // namespace
