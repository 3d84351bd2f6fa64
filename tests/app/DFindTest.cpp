// The find dialog over a document's find state: the flags it reads back, what an empty text does, the
// result panes' running finds, a data-only file and the history.

#include "app/DFind.h"
#include "app/resources/resource.h"
#include "document/BFileParser.h"
#include "document/FindContext.h"
#include "tests/app/HeadlessPage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

namespace {

class FindDialogTest : public ::testing::Test {
protected:
    void SetUp() override { page.AddSegment(0x1000, 0x1000); }
    void TearDown() override { EXPECT_EQ(0u, PendingModalActions()); }
    FindContext& Finds() { return page.doc.finds; }
    INT_PTR Run(std::function<void(DFind&)> action) {
        PushModalAction([action](Dialog& d) { action(static_cast<DFind&>(d)); });
        return RunFindDialog(nullptr, Finds()) ? IDOK : IDCANCEL;
    }
    static void Click(DFind& d, int id) {
        d.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(d.Item(id)));
    }
    HeadlessPage page;
};

TEST_F(FindDialogTest, OkWithAnEmptyTextKeepsTheDialogOpen) {
    Finds().parameters.text = L"";
    INT_PTR result = Run([](DFind& d) {
        d.OnOK();
        EXPECT_TRUE(d.IsRunning());
        d.combo.SetText(L"mov*");
        d.OnOK();
        EXPECT_FALSE(d.IsRunning());
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(L"mov*", std::wstring(Finds().parameters.text.c_str()));
    EXPECT_EQ(nullptr, DFind::Open());
}

TEST_F(FindDialogTest, HexModeWithoutSectionBoxesSearchesBoth) {
    Finds().parameters.text = L"4D 5A";
    Finds().parameters.flags = kFindHexMode | (2u << kFindPaneShift) | kFindBackward;
    INT_PTR result = Run([](DFind& d) {
        EXPECT_TRUE(d.IsChecked(IDC_FIND_HEXMODE));
        EXPECT_TRUE(d.combo.HexShown());
        EXPECT_EQ(L"4D 5A", std::wstring(d.combo.GetText().c_str()));
        EXPECT_FALSE(d.IsItemEnabled(IDC_FIND_MATCHCASE));
        EXPECT_FALSE(d.IsItemEnabled(IDC_FIND_COMMENTS));
        EXPECT_TRUE(d.IsChecked(IDC_FIND_PANE2));
        d.SetCheck(IDC_FIND_CODESECTIONS, false);
        d.SetCheck(IDC_FIND_DATASECTIONS, false);
        d.SendMessage(WM_COMMAND, IDOK);
    });
    ASSERT_EQ(IDOK, result);
    uint32_t flags = Finds().parameters.flags;
    EXPECT_EQ(kFindHexMode, flags & kFindModeMask);
    EXPECT_EQ(kFindCodeSegments | kFindDataSegments, flags & (kFindCodeSegments | kFindDataSegments));
    EXPECT_EQ(2u << kFindPaneShift, flags & kFindPaneMask);
    EXPECT_TRUE(flags & kFindBackward);
    EXPECT_FALSE(flags & kFindCase);
}

TEST_F(FindDialogTest, LineFlagsComeBackAsSet) {
    Finds().parameters.text = L"push";
    Finds().parameters.flags = kFindLineMode | (1u << kFindPaneShift) | kFindFromCursor | kFindComments | kFindCase |
                               kFindDataSegments | kFindOem;
    INT_PTR result = Run([](DFind& d) {
        EXPECT_FALSE(d.combo.HexShown());
        EXPECT_TRUE(d.IsChecked(IDC_FIND_DOWN));
        EXPECT_TRUE(d.IsChecked(IDC_FIND_MATCHCASE));
        d.SendMessage(WM_COMMAND, IDOK);
    });
    ASSERT_EQ(IDOK, result);
    uint32_t flags = Finds().parameters.flags;
    EXPECT_EQ(kFindFromCursor | kFindComments | kFindCase | kFindOem | kFindDataSegments,
              flags & (kFindFromCursor | kFindComments | kFindCase | kFindOem | kFindBackward | kFindSelection |
                       kFindDataSegments | kFindCodeSegments | kFindCodeLines));
}

TEST_F(FindDialogTest, BusyPaneGivesWayAndItsCancelStopsIt) {
    Finds().parameters.text = L"x";
    Finds().parameters.flags = 1u << kFindPaneShift;
    FindResult* first = Finds().GetResultByIndex(1);
    FindResult* second = Finds().GetResultByIndex(2);
    first->runningJobs = 1;
    first->parameters.text = L"running";
    Run([&](DFind& d) {
        EXPECT_TRUE(d.IsChecked(IDC_FIND_PANE2));
        EXPECT_FALSE(d.IsItemEnabled(IDC_FIND_PANE1));
        EXPECT_TRUE(d.IsItemEnabled(IDC_FIND_PANE1STOP));
        EXPECT_FALSE(d.IsItemEnabled(IDC_FIND_PANE2STOP));
        EXPECT_EQ(L"running", d.GetItemText(IDC_FIND_PANE1TEXT));
        EXPECT_TRUE(d.IsItemEnabled(IDOK));
        Click(d, IDC_FIND_PANE1STOP);
        EXPECT_EQ(1, first->stop);
        second->runningJobs = 1;
        d.OnFindDone(second);
        EXPECT_FALSE(d.IsItemEnabled(IDOK));
        first->runningJobs = 0;
        d.OnFindDone(first);
        EXPECT_TRUE(d.IsChecked(IDC_FIND_PANE1));
        EXPECT_TRUE(d.IsItemEnabled(IDOK));
        d.OnCancel();
    });
    second->runningJobs = 0;
}

TEST_F(FindDialogTest, DataOnlyFileOffersDataSectionsAndLines) {
    Finds().parameters.text = L"x";
    Finds().parameters.flags = kFindCodeSegments | kFindCodeLines;
    Run([](DFind& d) {
        EXPECT_FALSE(d.IsItemEnabled(IDC_FIND_CODESECTIONS));
        EXPECT_FALSE(d.IsItemEnabled(IDC_FIND_DATASECTIONS));
        EXPECT_FALSE(d.IsItemEnabled(IDC_FIND_CODELINES));
        EXPECT_FALSE(d.IsItemEnabled(IDC_FIND_DATALINES));
        EXPECT_FALSE(d.IsChecked(IDC_FIND_CODESECTIONS));
        EXPECT_TRUE(d.IsChecked(IDC_FIND_DATASECTIONS));
        EXPECT_FALSE(d.IsChecked(IDC_FIND_CODELINES));
        EXPECT_TRUE(d.IsChecked(IDC_FIND_DATALINES));
        // No block selection: the box is off and disabled.
        EXPECT_FALSE(d.IsItemEnabled(IDC_FIND_SELECTION));
        d.SendMessage(WM_COMMAND, IDOK);
    });
    EXPECT_EQ(kFindDataSegments, Finds().parameters.flags & (kFindCodeSegments | kFindDataSegments));
    EXPECT_EQ(kFindOtherLines, Finds().parameters.flags & (kFindCodeLines | kFindOtherLines));
}

TEST_F(FindDialogTest, SelectionDisablesCursorAndSections) {
    Finds().parameters.text = L"x";
    Finds().parameters.flags = kFindSelection;
    Run([](DFind& d) {
        EXPECT_TRUE(d.IsChecked(IDC_FIND_SELECTION));
        EXPECT_FALSE(d.IsItemEnabled(IDC_FIND_ATCURSOR));
        d.SetCheck(IDC_FIND_SELECTION, false);
        Click(d, IDC_FIND_SELECTION);
        EXPECT_TRUE(d.IsItemEnabled(IDC_FIND_ATCURSOR));
        d.OnCancel();
    });
}

TEST_F(FindDialogTest, HistoryPickTakesTextAndMode) {
    FindParameters hex;
    hex.text = L"90 90";
    hex.flags = kFindHexMode;
    FindParameters line;
    line.text = L"call*";
    line.flags = kFindLineMode;
    Finds().history.Push(hex);
    Finds().history.Push(line);
    Finds().parameters = line;
    Run([](DFind& d) {
        EXPECT_EQ(2, d.combo.GetCount());
        d.combo.SetCurSel(1);
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FIND_TEXT, CBN_SELENDOK), reinterpret_cast<LPARAM>(d.combo.m_hWnd));
        EXPECT_TRUE(d.IsChecked(IDC_FIND_HEXMODE));
        EXPECT_TRUE(d.combo.HexShown());
        EXPECT_EQ(L"90 90", std::wstring(d.combo.GetText().c_str()));
        Click(d, IDC_FIND_LINEMODE);
        EXPECT_FALSE(d.combo.HexShown());
        EXPECT_TRUE(d.IsItemEnabled(IDC_FIND_MATCHCASE));
        d.OnCancel();
    });
}

}  // namespace

#include "classlib/Screenshot.h"
#include "options/BColorTheme.h"

namespace {

// The group captions are drawn as a band of two lines above each group's first control.
TEST_F(FindDialogTest, GroupCaptionsDrawTheirLinesAboveTheGroups) {
    Finds().parameters.text = L"x";
    Run([](DFind& d) {
        d.UpdateWindow();
        PixelSurface shot;
        ASSERT_TRUE(CaptureWindow(d.m_hWnd, shot, true));
        RECT first = d.ItemRect(IDC_FIND_UP);
        // Right of the caption text, the band holds a line in theme colour 3 over one in colour 2.
        RECT band{first.left + 150, first.top - 40, first.left + 151, first.top - 8};
        EXPECT_EQ(1, shot.CountColour(band, ThemeColor(3)));
        EXPECT_EQ(1, shot.CountColour(band, ThemeColor(2)));
        d.OnCancel();
    });
}

}  // namespace
