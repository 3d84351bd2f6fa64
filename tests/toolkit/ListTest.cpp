#include "toolkit/BMultiList.h"

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

struct Entry {
    std::wstring name, address;
};

// Columns: a clickable name (id 1), a right-aligned address (id 2), a stretch filler (id 3).
class EntryLine : public BMultiListLine {
public:
    EntryLine() : BMultiListLine(3) {}
    void CreateZones(BMultiZone* pane) override {
        name = new BZoneString(1, BZone::kAlignLeft | BZone::kHeaderClick, 16);
        address = new BZoneString(2, BZone::kAlignRight, 9);
        AddColumn(L"Name", name);
        AddColumn(L"Address", address);
        AddColumn(L"", new ZoneStretch(3, BZone::kStretch));
        Attach(static_cast<BMultiList*>(pane));
    }
    void SetData(const void* item) override {
        const auto* e = static_cast<const Entry*>(item);
        name->SetText(e->name.c_str());
        address->SetText(e->address.c_str());
    }
    BZoneString* name = nullptr;
    BZoneString* address = nullptr;
};

class EntryList : public BMultiFilterList {
public:
    void Refilter() override {
        ClearFiltered();
        for (Entry& e : entries)
            if (filterText.empty() || FilterLower(e.name.c_str()).find(filterText) != std::wstring::npos)
                AddFiltered(&e);
    }
    bool AcceptsFilterChar(wchar_t c) override { return c > 32 && c != L'#'; }
    void OnHeaderPressed(BZone* zone) override { pressed.push_back(zone->id); }
    void OnHeaderClick(BZone* zone) override { middle.push_back(zone->id); }

    std::vector<Entry> entries;
    std::vector<int> pressed, middle;
};

class Host : public CWnd {};

struct Fixture {
    wintest::FakeCursorClip clip;

    explicit Fixture(int count, bool visible = false) {
        EXPECT_TRUE(host.CreateEx(0, nullptr, L"list", WS_POPUP | (visible ? WS_VISIBLE : 0), RECT{40, 40, 400, 260},
                                  nullptr, 0));
        EXPECT_TRUE(list.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, host.m_hWnd, 229));
        line = new EntryLine;
        list.AddLine(line);
        list.SetFont(L"Arial", 9);
        for (int i = 0; i < count; ++i)
            list.entries.push_back({(i % 2 ? L"Alpha_" : L"beta_") + std::to_wstring(i), std::to_wstring(0x401000 + i)});
        list.Refilter();
        list.MoveWindow(0, 0, 360, 220, true);
        wintest::DrainQueue();
        Erase();   // the first paint takes the item count
    }
    ~Fixture() {
        host.DestroyWindow();
    }
    void Erase() { list.SendMessage(WM_ERASEBKGND, 0, 0); }
    int CountInPage(const RECT& r, COLORREF c) {
        SelectGdi keep(list.shadow, list.shadow.bitmap.GetSafeHandle());
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += list.shadow.GetPixel(x, y) == c;
        return n;
    }
    POINT InRow(int row, int x) {
        RECT r = list.GetRowRect(row);
        return POINT{x, (r.top + r.bottom) / 2};
    }
    POINT InHeader(int x) {
        RECT r;
        list.GetTextArea(r);
        return POINT{x, r.top + list.headerHeight / 2};
    }
    void Mouse(UINT message, POINT p, UINT keys = 0) { list.SendMessage(message, keys, MAKELPARAM(p.x, p.y)); }
    // Runs a message through the list's pre-translation the way the message loop would.
    bool Pre(HWND to, UINT message, WPARAM w) {
        MSG m{to, message, w, 1, 0, {0, 0}};
        return CWnd::WalkPreTranslateTree(&m);
    }

    Host host;
    EntryList list;
    EntryLine* line = nullptr;
};

TEST(List, HeaderTitlesAndSeparators)
{
    Fixture f(5);
    ASSERT_EQ(f.list.columnTitles.size(), 3u);
    EXPECT_EQ(f.list.columnTitles[0], L"Name");
    EXPECT_EQ(f.list.columnTitles[1], L"Address");
    // Name | Address | stretch: separators after the first two only.
    ASSERT_EQ(f.line->ZoneCount(), 5);
    EXPECT_TRUE(f.line->ZoneAt(1)->IsSeparator());
    EXPECT_TRUE(f.line->ZoneAt(3)->IsSeparator());
    EXPECT_EQ(f.line->ZoneAt(1)->textColor, ThemeColor(76));
    EXPECT_EQ(*f.list.TitleOf(f.line->ZoneAt(2)), L"Address");
    EXPECT_GT(f.list.headerHeight, 5);
    EXPECT_EQ(f.list.rowGap, 1);
    EXPECT_EQ(f.list.selection.flags, 0);
}

TEST(List, PaintsHeaderCellsAndTheSortGlyph)
{
    Fixture f(5);
    f.Erase();
    const BZone* name = f.line->ZoneAt(0);
    const BZone* address = f.line->ZoneAt(2);
    RECT text;
    f.list.GetTextArea(text);
    RECT nameHead{name->rect.left, text.top, name->rect.right, text.top + f.list.headerHeight};
    RECT addrHead{address->rect.left, text.top, address->rect.right, text.top + f.list.headerHeight};
    EXPECT_GT(f.CountInPage(addrHead, ThemeColor(71)), 20);
    EXPECT_EQ(f.CountInPage(nameHead, ThemeColor(75)), 0);
    f.list.sortColumn = -1;   // descending on the name column
    f.Erase();
    RECT glyphArea{nameHead.left, nameHead.top, nameHead.left + 12, nameHead.bottom};
    EXPECT_GT(f.CountInPage(glyphArea, ThemeColor(75)), 3);
    f.list.sortColumn = 2;    // right-aligned column: the glyph at the right end
    f.Erase();
    EXPECT_EQ(f.CountInPage(glyphArea, ThemeColor(75)), 0);
    RECT right{addrHead.right - 12, addrHead.top, addrHead.right, addrHead.bottom};
    EXPECT_GT(f.CountInPage(right, ThemeColor(75)), 3);
}

TEST(List, ClickingARowMakesItCurrent)
{
    Fixture f(50);
    f.Mouse(WM_LBUTTONDOWN, f.InRow(3, 20), MK_LBUTTON);
    f.Mouse(WM_LBUTTONUP, f.InRow(3, 20));
    EXPECT_TRUE(f.list.Pager()->IsCurrentRow(f.list.VBar(), 3));
    EXPECT_TRUE(f.list.pressed.empty());
    f.list.MoveCurrentLine(20);
    EXPECT_EQ(f.list.Pager()->GetCurrent(f.list.VBar()), 20);
    std::vector<std::pair<int, int>> counts;
    f.list.ReportCount(counts);
    ASSERT_EQ(counts.size(), 1u);
    EXPECT_EQ(counts[0], std::make_pair(229, 50));
}

// Page Down from the first of exactly two pages lands on the last page: the current row is the last line.
TEST(List, PageDownOntoTheLastPageTakesTheLastLine)
{
    Fixture f(0, true);
    const int page = f.list.RowsPerPage();
    ASSERT_GT(page, 2);
    for (int i = 0; i < 2 * page; ++i) f.list.entries.push_back({L"row_" + std::to_wstring(i), std::to_wstring(i)});
    f.list.Refilter();
    f.Erase();
    f.list.SetFocus();
    f.list.PostMessage(WM_KEYDOWN, VK_NEXT, 1);
    wintest::DrainQueue();
    EXPECT_EQ(f.list.VBar().top, page);
    EXPECT_EQ(f.list.Pager()->GetCurrent(f.list.VBar()), 2 * page - 1);
    EXPECT_TRUE(f.list.Pager()->IsCurrentRow(f.list.VBar(), page - 1));
}

TEST(List, OnlyClickableHeaderCellsPress)
{
    Fixture f(5);
    const BZone* name = f.line->ZoneAt(0);
    const BZone* address = f.line->ZoneAt(2);
    f.Mouse(WM_LBUTTONDOWN, f.InHeader(address->rect.left + 5), MK_LBUTTON);
    f.Mouse(WM_LBUTTONUP, f.InHeader(address->rect.left + 5));
    EXPECT_TRUE(f.list.pressed.empty());
    EXPECT_EQ(f.list.pressedHeader, 0);
    f.Mouse(WM_LBUTTONDOWN, f.InHeader(name->rect.left + 5), MK_LBUTTON);
    EXPECT_EQ(f.list.pressedHeader, 1);
    f.Mouse(WM_LBUTTONUP, f.InHeader(name->rect.left + 5));
    EXPECT_EQ(f.list.pressed, std::vector<int>{1});
    EXPECT_EQ(f.list.pressedHeader, 0);
    f.Mouse(WM_MBUTTONDOWN, f.InHeader(address->rect.left + 5), MK_MBUTTON);
    f.Mouse(WM_MBUTTONDOWN, f.InHeader(name->rect.left + 5), MK_MBUTTON);
    EXPECT_EQ(f.list.middle, std::vector<int>{1});
}

// A header press that loses the mouse comes back up: the next press on a row leaves the cell raised.
TEST(List, AHeaderPressEndsWhenTheMouseIsTaken)
{
    Fixture f(5);
    const BZone* name = f.line->ZoneAt(0);
    const POINT head = f.InHeader(name->rect.left + 5);
    const POINT row = f.InRow(2, name->rect.left + 5);
    RECT text;
    f.list.GetTextArea(text);
    const RECT cell{name->rect.left, text.top, name->rect.right, text.top + f.list.headerHeight};
    const auto pixels = [&] {
        f.Erase();
        SelectGdi keep(f.list.shadow, f.list.shadow.bitmap.GetSafeHandle());
        std::vector<COLORREF> all;
        for (int y = cell.top; y < cell.bottom; ++y)
            for (int x = cell.left; x < cell.right; ++x) all.push_back(f.list.shadow.GetPixel(x, y));
        return all;
    };
    const std::vector<COLORREF> raised = pixels();
    for (wintest::MouseTaker taker : wintest::kMouseTakers) {
        f.list.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(head.x, head.y));
        wintest::DrainQueue();
        ASSERT_EQ(f.list.pressedHeader, 1) << wintest::TakerName(taker);
        wintest::TakeMouse(taker, f.list.m_hWnd);
        EXPECT_EQ(f.list.pressedHeader, 0) << wintest::TakerName(taker);
        f.list.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row.x, row.y));
        wintest::DrainQueue();
        ASSERT_TRUE(f.list.HasCapture()) << wintest::TakerName(taker);
        EXPECT_TRUE(pixels() == raised) << wintest::TakerName(taker);
        f.list.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(row.x, row.y));
        wintest::DrainQueue();
    }
}

// The column takes the width of its widest text, also when that text is in the last row, and in a
// list of one row.
TEST(List, DoubleClickOnASeparatorFitsTheColumn)
{
    for (int count : { 1, 5 }) {
        SCOPED_TRACE(count);
        Fixture f(count);
        f.list.entries.back().name = L"WWWWWWW";   // narrower than the column's 16 cells
        f.list.Refilter();
        BZone* name = f.line->ZoneAt(0);
        const int max = name->GetMaxWidth();
        ASSERT_EQ(name->width, max);
        f.Mouse(WM_LBUTTONDBLCLK, f.InHeader(name->rect.right));
        CClientDC dc(f.list.m_hWnd);
        f.line->name->SetText(L"WWWWWWW");
        EXPECT_EQ(name->width, f.line->name->MeasureWidth(dc));
        EXPECT_LT(name->width, max);
    }
    Fixture f(5);
    BZone* name = f.line->ZoneAt(0);
    const int max = name->GetMaxWidth();
    f.list.entries[0].name = std::wstring(60, L'W');
    f.list.Refilter();
    f.Mouse(WM_LBUTTONDBLCLK, f.InHeader(name->rect.right));
    EXPECT_EQ(name->width, max);            // never beyond the maximum
}

// Auto-fit measures every item, also those scrolled away above the page.
TEST(List, DoubleClickOnASeparatorMeasuresEveryItem)
{
    Fixture f(100);
    BZone* name = f.line->ZoneAt(0);
    f.list.entries[3].name = L"WWWWWWWWWWWW";
    f.list.Refilter();
    f.Erase();
    f.Mouse(WM_LBUTTONDBLCLK, f.InHeader(name->rect.right));
    const int fitted = name->width;
    f.list.MoveCurrentLine(50);
    f.Erase();
    const int64_t top = f.list.VBar().top;
    ASSERT_GT(top, 40);
    name->SetWidth(name->GetMaxWidth());
    f.list.LayoutLines();
    f.list.PostMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(name->rect.right, f.InHeader(0).y));
    wintest::DrainQueue();
    EXPECT_EQ(name->width, fitted);
    EXPECT_EQ(f.list.VBar().top, top);         // the scroll stays
}

TEST(FilterList, TypingOpensTheFilterAndEscapeClosesIt)
{
    Fixture f(10);
    EXPECT_EQ(f.list.GetCount(), 10);
    EXPECT_FALSE(f.Pre(f.list.m_hWnd, WM_CHAR, L'#'));   // refused: the list keeps the character
    EXPECT_FALSE(f.list.FilterShown());
    EXPECT_TRUE(f.Pre(f.list.m_hWnd, WM_CHAR, L'L'));
    EXPECT_TRUE(f.list.FilterShown());
    EXPECT_EQ(::GetFocus(), f.list.filterEdit.m_hWnd);
    wintest::DrainQueue();
    EXPECT_EQ(f.list.filterText, L"l");                   // lower-cased
    EXPECT_EQ(f.list.GetCount(), 5);                      // Alpha_1, 3, 5, 7, 9
    RECT area;
    f.list.GetClientArea(area);
    EXPECT_EQ(area.bottom, f.list.GetClientRect().bottom - f.list.editHeight);
    EXPECT_TRUE(f.list.HasFocus());
    // Down goes to the list.
    EXPECT_TRUE(f.Pre(f.list.filterEdit.m_hWnd, WM_KEYDOWN, VK_DOWN));
    EXPECT_TRUE(f.Pre(f.list.filterEdit.m_hWnd, WM_KEYDOWN, VK_ESCAPE));
    wintest::DrainQueue();
    EXPECT_FALSE(f.list.FilterShown());
    EXPECT_EQ(f.list.filterText, L"");
    EXPECT_EQ(f.list.GetCount(), 10);
}

TEST(FilterList, ItemsPastTheFilteredCountAreNull)
{
    Fixture f(3);
    EXPECT_NE(f.list.GetItem(2), nullptr);
    EXPECT_EQ(f.list.GetItem(3), nullptr);
    EXPECT_EQ(f.list.GetItem(-1), nullptr);
}

TEST(List, Screenshot)
{
    Fixture f(12, true);
    f.list.sortColumn = 1;
    f.Mouse(WM_LBUTTONDOWN, f.InRow(2, 20), MK_LBUTTON);
    f.Mouse(WM_LBUTTONUP, f.InRow(2, 20));
    f.list.Invalidate();
    f.list.UpdateWindow();
    wintest::DrainQueue();
    EXPECT_TRUE(SaveScreenshot(f.host.m_hWnd, L"list.png"));
}

}  // namespace
