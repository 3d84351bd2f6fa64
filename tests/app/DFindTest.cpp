// The find dialog over a document's find state: the flags it reads back, what an empty text does, the
// result panes' running finds, a data-only file and the history.

#include "app/DFind.h"
#include "app/resources/resource.h"
#include "document/BFileParser.h"
#include "document/FindContext.h"
#include "tests/app/HeadlessPage.h"
#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

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

// Rests the pointer on each spot in turn as a user does, through the running dialog's own loop: it
// first leaves for a bare spot of the dialog (the last tip goes), then the cursor goes to the spot and
// two moves, the second a pixel on, are posted to the window there. A thread timer reads the thread's
// tip control until it shows a text or the wait passes; the texts (empty for none) come in order, and
// the dialog is cancelled after the last spot.
struct Spot {
    HWND window;
    POINT client;
};

struct TipWalk {
    DFind* dialog = nullptr;
    std::vector<Spot> spots;
    std::vector<std::wstring> tips;
    DWORD since = 0;
    UINT_PTR timer = 0;
};
TipWalk g_walk;

void PostMove(HWND window, POINT client) {
    POINT screen = client;
    ::ClientToScreen(window, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
}

void MoveToNextSpot() {
    const Spot& s = g_walk.spots[g_walk.tips.size()];
    PostMove(g_walk.dialog->m_hWnd, POINT{2, 2});
    PostMove(s.window, s.client);
    PostMove(s.window, POINT{s.client.x + 1, s.client.y});
    g_walk.since = ::GetTickCount();
}

void CALLBACK WatchTip(HWND, UINT, UINT_PTR, DWORD) {
    const HWND tip = GetThreadToolTip() ? GetThreadToolTip()->m_hWnd : nullptr;
    const bool shown = ::IsWindowVisible(tip) && !WindowText(tip).empty();
    if (!shown && ::GetTickCount() - g_walk.since < 4000)   // eight times the tip's delay
        return;
    g_walk.tips.push_back(shown ? WindowText(tip) : std::wstring());
    if (g_walk.tips.size() < g_walk.spots.size()) {
        MoveToNextSpot();
        return;
    }
    ::KillTimer(nullptr, g_walk.timer);
    g_walk.dialog->OnCancel();
}

// The combo box's help tip in line mode, over its edit, its left end and its arrow; none in hex mode.
TEST_F(FindDialogTest, TheComboShowsTheHelpOfLinePatternsInLineModeOnly) {
    const auto hover = [this](std::function<std::vector<Spot>(DFind&)> spots) {
        Run([spots](DFind& d) {
            g_walk = TipWalk{};
            g_walk.dialog = &d;
            g_walk.spots = spots(d);
            MoveToNextSpot();
            g_walk.timer = ::SetTimer(nullptr, 0, 50, WatchTip);
            if (!g_walk.timer)
                d.OnCancel();
        });
        return g_walk.tips;
    };
    const std::wstring help =
        L"? - any single character\r\n* - arbitrary number of any characters (0 or more)\r\n"
        L"{ABC} - A, B, or C\r\n{A-C} - A, B, or C\r\n{!ABC} - any single character except A, B, and C\r\n"
        L"(exp1|exp2) - exp1 or exp2\r\n! - anything but ...\r\n^ - begin/end of line";
    Finds().parameters.text = L"mov*";
    Finds().parameters.flags = kFindLineMode;
    const std::vector<std::wstring> line = hover([](DFind& d) {
        RECT edit{};
        ::GetClientRect(d.combo.comboEdit, &edit);
        const RECT combo = d.combo.GetClientRect();
        return std::vector<Spot>{{d.combo.comboEdit, POINT{edit.right / 2, edit.bottom / 2}},
                                 {d.combo.m_hWnd, POINT{1, combo.bottom / 2}},
                                 {d.combo.m_hWnd, POINT{combo.right - 5, combo.bottom / 2}}};
    });
    EXPECT_EQ(line, std::vector<std::wstring>(3, help));
    Finds().parameters.text = L"90";
    Finds().parameters.flags = kFindHexMode;
    const std::vector<std::wstring> hex = hover([](DFind& d) {
        const RECT r = d.combo.hex.GetClientRect();
        return std::vector<Spot>{{d.combo.hex.m_hWnd, POINT{r.right / 2, r.bottom / 2}}};
    });
    EXPECT_EQ(hex, std::vector<std::wstring>(1, std::wstring()));
}

// Tab in the hex editor moves the focus to the next control in tab order (the checked mode), Shift+Tab
// to the previous one ("Cancel", the last), as keys through the dialog's loop; each step is read once
// the keys before it are taken.
struct TabKeys {
    DFind* dialog = nullptr;
    std::vector<int> focused;
};
TabKeys g_tabKeys;

void TabFromTheHexEditor(bool shift) {
    g_tabKeys.dialog->combo.hex.SetFocus();
    wintest::SetKey(VK_SHIFT, shift);
    ::PostMessageW(g_tabKeys.dialog->combo.hex.m_hWnd, WM_KEYDOWN, VK_TAB, 1);
}

void CALLBACK AfterTheTab(HWND dialog, UINT, UINT_PTR id, DWORD) {
    g_tabKeys.focused.push_back(::GetDlgCtrlID(::GetFocus()));
    if (g_tabKeys.focused.size() == 1) {
        TabFromTheHexEditor(true);
        return;
    }
    ::KillTimer(dialog, id);
    wintest::SetKey(VK_SHIFT, false);
    g_tabKeys.dialog->OnCancel();
}

TEST_F(FindDialogTest, TabInTheHexEditorMovesOnAndShiftTabBack) {
    Finds().parameters.text = L"90";
    Finds().parameters.flags = kFindHexMode;
    g_tabKeys = TabKeys{};
    Run([](DFind& d) {
        ASSERT_TRUE(d.combo.HexShown());
        g_tabKeys.dialog = &d;
        TabFromTheHexEditor(false);
        ::SetTimer(d.m_hWnd, 1, 50, AfterTheTab);
    });
    wintest::SetKey(VK_SHIFT, false);
    EXPECT_EQ(g_tabKeys.focused, (std::vector<int>{ IDC_FIND_HEXMODE, IDCANCEL }));
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
