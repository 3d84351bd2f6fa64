// The shell: the command line, start-up and closing, the main window's menu, routing and start screen,
// the file tabber and its open-file list, the tabs' activity marks and the start log.

#include "app/ActivityStack.h"
#include "app/AppMessages.h"
#include "app/AskCancel.h"
#include "app/CApp.h"
#include "app/CrashReport.h"
#include "app/DFind.h"
#include "app/FileButtonBar.h"
#include "app/FileDizaPane.h"
#include "app/FileDumpPane.h"
#include "app/FileMainPane.h"
#include "app/FileSideTab.h"
#include "app/FilePane.h"
#include "app/FileLogPane.h"
#include "app/FileLowPane.h"
#include "app/FileStatusBar.h"
#include "app/FileTabber.h"
#include "app/SideLists.h"
#include "app/resources/resource.h"
#include "classlib/CommonDialogs.h"
#include "classlib/Dialog.h"
#include "core/SystemServices.h"
#include "document/BFileParser.h"
#include "document/BlockSelection.h"
#include "document/BResultDiza.h"
#include "document/FileParseThread.h"
#include "options/BColorTheme.h"
#include "toolkit/BButton.h"
#include "toolkit/BPopup.h"
#include "toolkit/BMultiZone.h"
#include "toolkit/ZoneText.h"
#include "tests/classlib/FakeCursorClip.h"
#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdio>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

// What the posted input leads to runs on this thread, modal loops included: dispatching until the
// queue is empty sees it through.
void Pump() { wintest::DrainQueue(); }

std::wstring TempFile(const char* bytes) {
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    ::GetTempFileNameW(folder, L"shl", 0, path);
    if (FILE* f = _wfopen(path, L"wb")) {
        fputs(bytes, f);
        fclose(f);
    }
    return path;
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

void RunLoop(CApp* app);

// Answers the next open dialogs: OK for true, Cancel for false; the names offered are kept.
std::vector<std::wstring> g_offered;
void AnswerOpenDialogs(std::initializer_list<bool> answers) {
    for (bool ok : answers) {
        PushModalAction([ok](Dialog& d) {
            g_offered.push_back(d.GetItemText(IDC_OPEN_FILE));
            d.SendMessage(WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
        });
    }
}

// ---- the command line

TEST(AppCommandLineTest, AcceptsUpToEightNamesAndNoOption) {
    struct Case {
        const wchar_t* text;
        bool ok;
        int count;
    };
    const Case cases[] = {
        {L"", true, 0},
        {L"a.exe", true, 1},
        {L"\"c:\\with blank\\a.exe\" b.dll", true, 2},
        {L"1 2 3 4 5 6 7 8", true, 8},
        {L"1 2 3 4 5 6 7 8 9", false, 0},
        {L"/x", false, 0},
        {L"a.exe /size=3", false, 0},
    };
    for (const Case& c : cases) {
        AppCommandLine line;
        EXPECT_EQ(line.Parse(c.text), c.ok) << c.text;
        EXPECT_EQ(line.Count(), c.count) << c.text;
        EXPECT_EQ(line.error == L"Usage: Trelvo filename", !c.ok) << c.text;
    }
}

TEST(AppCommandLineTest, GetArgCountsFromOne) {
    AppCommandLine line;
    ASSERT_TRUE(line.Parse(L"first \"sec ond\""));
    EXPECT_EQ(line.GetArg(1), L"first");
    EXPECT_EQ(line.GetArg(2), L"sec ond");
    EXPECT_TRUE(line.GetArg(0).empty());
    EXPECT_TRUE(line.GetArg(-1).empty());
    EXPECT_TRUE(line.GetArg(3).empty());
}

// ---- the activity marks

TEST(ActivityStackTest, TopIsTheLastKeyAndRemovalsBelowKeepIt) {
    ActivityStack stack(nullptr);
    stack.Remove(5);   // empty: nothing
    EXPECT_TRUE(stack.Empty());
    stack.Push(25);
    stack.Push(27);
    stack.Remove(25);
    EXPECT_EQ(stack.Top(), 27u);
    EXPECT_EQ(stack.keys.size(), 1u);
    stack.Remove(99);   // not there
    EXPECT_EQ(stack.keys.size(), 1u);
    stack.Remove(27);
    EXPECT_TRUE(stack.Empty());
    // The first match below the top, searching downwards.
    stack.keys = {1, 2, 1, 3};
    stack.Remove(1);
    EXPECT_EQ(stack.keys, (std::vector<uint32_t>{1, 2, 3}));
}

// ---- the application with its windows

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_offered.clear();
        app = new CApp;
        AskCancel::Instance().Clear();
        savedBox = AskCancel::showBox;
        // No real box may stop a test: a question nobody expected is answered Yes.
        AskCancel::showBox = [](HWND, const wchar_t*, const wchar_t*, UINT) -> int { return IDYES; };
    }
    void TearDown() override {
        // An answer no dialog took would answer the next test's dialog instead: fail here, and drop it.
        EXPECT_EQ(PendingModalActions(), 0u);
        DropModalActions();
        AskCancel::showBox = savedBox;
        AskCancel::Instance().Clear();
        // Closing the window must not leave a WM_QUIT for the tests after this one.
        app->SetMainWindow(nullptr);
        delete app;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        for (const std::wstring& f : files)
            ::DeleteFileW(f.c_str());
    }
    // Runs a bare dialog for each answer that no dialog took.
    static void DropModalActions() {
        DialogTemplate unused(WS_POPUP | WS_CAPTION, 0, 0, 0, 40, 20, L"unused");
        while (PendingModalActions() > 0)
            Dialog(unused.Get()).DoModal();
    }
    bool Start(const std::wstring& line) {
        const bool ok = app->Start(line.c_str(), SW_SHOWNORMAL);
        Pump();   // the command-line files and the ends of their parsers
        return ok;
    }
    // The options file beside the program with the given text (removed after the test).
    std::wstring OptionsFile(const char* text) {
        const std::wstring path = Options::DefaultPath().c_str();
        files.push_back(path);
        if (FILE* f = _wfopen(path.c_str(), L"wb")) {
            fputs(text, f);
            fclose(f);
        }
        return path;
    }
    std::wstring File(const char* bytes = "0123456789abcdef") {
        files.push_back(TempFile(bytes));
        return files.back();
    }
    VApp& Main() { return app->mainWindow; }
    FileTabber& Tabs() { return *app->mainWindow.tabber; }
    // A double click on the first file's tab, as the mouse gives it, seen through.
    void DoubleClickTheTab() {
        Tabs().Invalidate();
        Tabs().UpdateWindow();
        ASSERT_FALSE(Tabs().tabRects.empty());
        const RECT tab = Tabs().tabRects[0];
        const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
        Tabs().PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        Tabs().PostMessage(WM_LBUTTONUP, 0, at);
        Tabs().PostMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        Tabs().PostMessage(WM_LBUTTONUP, 0, at);
        RunLoop(app);
    }
    UINT MenuState(UINT id) { return ::GetMenuState(Main().menu.GetSafeHmenu(), id, MF_BYCOMMAND); }

    CApp* app = nullptr;
    std::vector<std::wstring> files;
    decltype(AskCancel::showBox) savedBox = nullptr;
};

TEST_F(ShellTest, EmptyCommandLineShowsTheStartScreenWithMenuAndTitle) {
    ASSERT_TRUE(Start(L""));
    ASSERT_TRUE(::IsWindow(Main().m_hWnd));
    EXPECT_EQ(Main().GetWindowText(), L"Trelvo 2503");
    EXPECT_TRUE(Main().startScreen->IsWindowVisible());
    EXPECT_FALSE(Tabs().IsWindowVisible());
    EXPECT_EQ(Tabs().Count(), 0);
    EXPECT_EQ(Main().startScreen->GetDlgCtrlID(), 100);
    EXPECT_EQ(Tabs().GetDlgCtrlID(), 200);
    EXPECT_EQ(Main().startScreen->pane.GetDlgCtrlID(), 101);
    EXPECT_EQ(Main().startScreen->log.GetDlgCtrlID(), 232);
    HMENU menu = ::GetMenu(Main().m_hWnd);
    ASSERT_NE(menu, nullptr);
    EXPECT_NE(::GetMenuState(menu, ID_FILE_OPEN, MF_BYCOMMAND), 0xFFFFFFFFu);
    EXPECT_NE(::GetMenuState(menu, ID_FILE_CLOSE, MF_BYCOMMAND), 0xFFFFFFFFu);
    EXPECT_NE(::GetMenuState(menu, ID_OPTIONS, MF_BYCOMMAND), 0xFFFFFFFFu);
    EXPECT_GT(Main().startScreen->log.LineCount(), 0);   // the start-up lines
    EXPECT_TRUE(g_offered.empty());
}

// A damaged options file beside the program: start-up goes on with what could be read and says which
// file it read.
TEST_F(ShellTest, DamagedOptionsFileKeepsTheDefaults) {
    const std::wstring path = OptionsFile("\x01\xFF garbage\n[File\nFileShowDumpBytes=(1,2\n[UIColors]\nLogBk=(300,0,0)\n=\n");
    ASSERT_TRUE(Start(L""));
    EXPECT_TRUE(app->options.file.showDumpBytes.value);
    Options fresh;
    fresh.ApplyColorTheme();
    EXPECT_EQ(app->options.uiColors.logBk.value, fresh.uiColors.logBk.value);
    StartLogPane& log = Main().startScreen->log;
    bool named = false;
    for (int i = 0; i < log.LineCount(); ++i)
        named = named || log.LineText(i) == (L"Options: '" + path + L"'").c_str();
    EXPECT_TRUE(named);
}

// Whatever error mode the parent passed on (no fault dialog, say), the program sets its own, so that
// a crash shows its report.
TEST_F(ShellTest, StartSetsItsOwnErrorMode) {
    const UINT inherited = ::GetErrorMode();
    ::SetErrorMode(inherited | SEM_NOGPFAULTERRORBOX);
    ::SetEnvironmentVariableW(CrashReport::kStderrSwitch, nullptr);
    ASSERT_TRUE(Start(L""));
    const UINT mode = ::GetErrorMode();
    ::SetEnvironmentVariableW(CrashReport::kStderrSwitch, L"1");
    ::SetErrorMode(inherited);
    EXPECT_EQ(mode, static_cast<UINT>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));
}

TEST_F(ShellTest, BadCommandLinesEndWithTheUsageBox) {
    for (const wchar_t* line : {L"1 2 3 4 5 6 7 8 9", L"/verbose"}) {
        PushMessageBoxAnswer(IDOK);
        EXPECT_FALSE(app->Start(line, SW_SHOWNORMAL)) << line;
        EXPECT_EQ(LastMessageBox().text, L"Usage: Trelvo filename");
        EXPECT_TRUE(LastMessageBox().type & MB_ICONERROR);
        EXPECT_EQ(Main().m_hWnd, nullptr) << "no window before the usage box";
    }
}

TEST_F(ShellTest, CommandLineFilesEachGetATabUnlessCancelled) {
    const std::wstring a = File(), b = File(), c = File();
    AnswerOpenDialogs({true, false, true});
    ASSERT_TRUE(Start(Quoted(a) + L" " + Quoted(b) + L" " + Quoted(c)));
    Pump();
    ASSERT_EQ(g_offered.size(), 3u);
    EXPECT_EQ(g_offered[0], a);
    EXPECT_EQ(g_offered[1], b);
    EXPECT_EQ(g_offered[2], c);
    ASSERT_EQ(Tabs().Count(), 2);
    EXPECT_TRUE(Tabs().IsWindowVisible());
    EXPECT_FALSE(Main().startScreen->IsWindowVisible());
    FileParseThread* first = Tabs().FileAt(0);
    FileParseThread* second = Tabs().FileAt(1);
    EXPECT_STREQ(first->FilePath(), a.c_str());
    EXPECT_STREQ(second->FilePath(), c.c_str());
    EXPECT_EQ(second->Serial(), first->Serial() + 1);
    EXPECT_EQ(Tabs().WindowAt(0)->GetDlgCtrlID(), first->Serial());
    EXPECT_EQ(app->FindFileById(first->Serial()), first);
    EXPECT_EQ(FindFileById(second->Serial()), second);   // the document's own directory
    EXPECT_EQ(Tabs().CurrentFile(), second);              // the last opened is selected
}

TEST_F(ShellTest, EightNamesAreAllOfferedInOrder) {
    std::wstring line;
    std::vector<std::wstring> names;
    for (int i = 0; i < 8; ++i) {
        names.push_back(File());
        line += Quoted(names.back()) + L" ";
    }
    AnswerOpenDialogs({false, false, false, false, false, false, false, false});
    ASSERT_TRUE(Start(line));
    EXPECT_EQ(g_offered, names);
    EXPECT_EQ(Tabs().Count(), 0);
    EXPECT_TRUE(Main().startScreen->IsWindowVisible());
}

TEST_F(ShellTest, ReloadMakesANewDocumentWithTheFilesOptionsUnlessCancelled) {
    const std::wstring a = File();
    AnswerOpenDialogs({true});
    ASSERT_TRUE(Start(Quoted(a)));
    ASSERT_EQ(Tabs().Count(), 1);
    FilePane* window = Tabs().WindowAt(0);
    FileParseThread* old = window->document;
    const int32_t oldId = old->Serial();
    AnswerOpenDialogs({false});
    EXPECT_FALSE(Tabs().ReloadFile());
    EXPECT_EQ(window->document, old);
    EXPECT_EQ(g_offered.back(), a);
    // The code page chosen in the status bar's cell ("OEM", the second choice) is the file's own: the
    // reload that a double click on the tab runs keeps it, not the application's.
    FileStatusBar* bar = window->StatusBar();
    const RECT r = bar->GetClientRect();
    bar->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM(bar->cells[FileStatusBar::kCodepage].left + 2, (r.top + r.bottom) / 2));
    bar->PostMessage(WM_KEYDOWN, VK_DOWN, 0);
    bar->PostMessage(WM_KEYDOWN, VK_DOWN, 0);
    bar->PostMessage(WM_KEYDOWN, VK_RETURN, 0);
    RunLoop(app);
    ASSERT_EQ(bar->cells[FileStatusBar::kCodepage].text, StringW(L"OEM"));
    ASSERT_EQ(app->options.file.stringCodepage.ToText(), StringW(L"ANSI"));
    AnswerOpenDialogs({true});
    DoubleClickTheTab();
    ASSERT_EQ(Tabs().Count(), 1);
    EXPECT_EQ(Tabs().WindowAt(0), window);
    EXPECT_GT(window->document->Serial(), oldId);
    EXPECT_EQ(app->FindFileById(oldId), nullptr);
    EXPECT_EQ(app->FindFileById(window->document->Serial()), window->document);
    EXPECT_STREQ(window->document->FilePath(), a.c_str());
    EXPECT_EQ(window->document->options.file.stringCodepage.ToText(), StringW(L"OEM"));
    EXPECT_EQ(bar->cells[FileStatusBar::kCodepage].text, StringW(L"OEM"));
}

// A reloaded file's strings list filters the strings read now, not those it had before.
TEST_F(ShellTest, AReloadedFilesStringsFilterReadsItsNewStrings) {
    const std::wstring a = File("");
    const auto write = [&](const char* first, const char* second) {
        if (FILE* f = _wfopen(a.c_str(), L"wb")) {
            fwrite(first, 1, strlen(first) + 1, f);
            fwrite(second, 1, strlen(second) + 1, f);
            fclose(f);
        }
        PushModalAction([](Dialog& d) {
            d.SetCheck(IDC_OPEN_ASCII, true);
            d.SendMessage(WM_COMMAND, IDOK, 0);
        });
    };
    write("xxxx_one", "yyyy_two");
    ASSERT_TRUE(Start(Quoted(a)));
    RunLoop(app);
    FilePane* window = Tabs().WindowAt(0);
    auto* side = static_cast<FileSideTab*>(window->SideTab());
    StringzPane& strings = side->strings;
    ASSERT_TRUE(side->SelectTab(kIdStringList));
    strings.SetFocus();
    strings.PostMessage(WM_CHAR, 'x', 1);
    const auto rows = [&] {
        strings.Invalidate();
        RunLoop(app);
        std::vector<std::wstring> texts;
        for (int row = 0; row < strings.GetCount(); ++row)
            texts.push_back(static_cast<const StringzRow*>(strings.GetItem(row))->text.c_str());
        return texts;
    };
    const auto caption = [&] {   // as the strip has drawn it
        MSG msg;
        while (::PeekMessageW(&msg, side->m_hWnd, WM_PAINT, WM_PAINT, PM_REMOVE))
            app->PumpMessage(msg);
        EXPECT_FALSE(::GetUpdateRect(side->m_hWnd, nullptr, FALSE));
        for (BTabOne* tab : side->tabs)
            if (tab->window == &strings)
                return std::wstring(tab->caption.c_str());
        return std::wstring();
    };
    EXPECT_EQ(std::vector<std::wstring>{ L"'xxxx_one'" }, rows());
    // Reloaded while another list is shown: the strings list is drawn again only when shown again, but
    // its caption counts its rows at once.
    ASSERT_TRUE(side->SelectTab(kIdNameList));
    write("yyyy_one", "xxxx_two");
    DoubleClickTheTab();   // reloads the file
    ASSERT_EQ(0u, PendingModalActions());
    EXPECT_EQ(L"Strings(1)", caption());
    ASSERT_TRUE(side->SelectTab(kIdStringList));
    EXPECT_EQ(std::vector<std::wstring>{ L"'xxxx_two'" }, rows());
    EXPECT_EQ(L"Strings(1)", caption());
}

TEST_F(ShellTest, MiddleButtonReleaseOnATabClosesIt) {
    AnswerOpenDialogs({true, true});
    ASSERT_TRUE(Start(Quoted(File()) + L" " + Quoted(File())));
    ASSERT_EQ(Tabs().Count(), 2);
    Tabs().Invalidate();
    Tabs().UpdateWindow();
    ASSERT_EQ(Tabs().tabRects.size(), 2u);
    const RECT first = Tabs().tabRects[0];
    const int32_t keep = Tabs().FileAt(1)->Serial();
    Tabs().SendMessage(WM_MBUTTONUP, 0, MAKELPARAM((first.left + first.right) / 2, (first.top + first.bottom) / 2));
    ASSERT_EQ(Tabs().Count(), 1);
    EXPECT_EQ(Tabs().FileAt(0)->Serial(), keep);
    Tabs().SendMessage(WM_MBUTTONUP, 0, MAKELPARAM(5, 2000));   // not on a tab
    EXPECT_EQ(Tabs().Count(), 1);
}

// The active middle one of three tabs closes to the next tab, the last one to the previous.
TEST_F(ShellTest, ClosingTheLastTabBringsTheStartScreenBackAndIdsAreNotReused) {
    const std::wstring a = File(), b = File(), c = File();
    AnswerOpenDialogs({true, true, true});
    ASSERT_TRUE(Start(Quoted(a) + L" " + Quoted(b) + L" " + Quoted(c)));
    ASSERT_EQ(Tabs().Count(), 3);
    const int32_t id1 = Tabs().FileAt(0)->Serial();
    const int32_t id2 = Tabs().FileAt(1)->Serial();
    const int32_t id3 = Tabs().FileAt(2)->Serial();
    Tabs().Invalidate();
    Tabs().UpdateWindow();
    ASSERT_EQ(Tabs().tabRects.size(), 3u);
    const RECT middle = Tabs().tabRects[1];
    const LPARAM at = MAKELPARAM((middle.left + middle.right) / 2, (middle.top + middle.bottom) / 2);
    Tabs().PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    Tabs().PostMessage(WM_LBUTTONUP, 0, at);
    RunLoop(app);
    ASSERT_EQ(Tabs().CurrentFile()->Serial(), id2);
    Main().PostMessage(WM_COMMAND, ID_FILE_CLOSE, 0);
    RunLoop(app);
    ASSERT_EQ(Tabs().Count(), 2);
    EXPECT_EQ(Tabs().CurrentFile()->Serial(), id3);
    EXPECT_EQ(app->FindFileById(id2), nullptr);
    EXPECT_TRUE(Tabs().CloseCurrentFile());
    EXPECT_EQ(Tabs().Count(), 1);
    EXPECT_EQ(Tabs().CurrentFile()->Serial(), id1);
    EXPECT_EQ(app->FindFileById(id3), nullptr);
    EXPECT_TRUE(Tabs().IsWindowVisible());
    // The menu's Close enters at the main window and reaches the file window.
    Main().SendMessage(WM_COMMAND, ID_FILE_CLOSE, 0);
    EXPECT_EQ(Tabs().Count(), 0);
    EXPECT_EQ(app->FindFileById(id1), nullptr);
    EXPECT_FALSE(Tabs().IsWindowVisible());
    EXPECT_TRUE(Main().startScreen->IsWindowVisible());
    EXPECT_FALSE(Tabs().CloseCurrentFile());
    EXPECT_FALSE(Tabs().CloseFile(-1));
    // Open through the menu: the next id.
    Tabs().request.fileName = a.c_str();
    AnswerOpenDialogs({true});
    Main().SendMessage(WM_COMMAND, ID_FILE_OPEN, 0);
    ASSERT_EQ(Tabs().Count(), 1);
    EXPECT_EQ(Tabs().FileAt(0)->Serial(), id3 + 1);
}

TEST_F(ShellTest, MenuOpenActsOnlyWithoutAnOpenFileAndIdleGreysTheItems) {
    ASSERT_TRUE(Start(L""));
    app->RunIdle();
    EXPECT_FALSE(MenuState(ID_FILE_OPEN) & MF_GRAYED);
    EXPECT_TRUE(MenuState(ID_FILE_CLOSE) & MF_GRAYED);
    // Cancelled: nothing opens.
    Tabs().request.fileName = File().c_str();
    AnswerOpenDialogs({false});
    Main().SendMessage(WM_COMMAND, ID_FILE_OPEN, 0);
    EXPECT_EQ(Tabs().Count(), 0);
    EXPECT_TRUE(Main().startScreen->IsWindowVisible());
    AnswerOpenDialogs({true});
    Main().SendMessage(WM_COMMAND, ID_FILE_OPEN, 0);
    ASSERT_EQ(Tabs().Count(), 1);
    app->RunIdle();
    EXPECT_TRUE(MenuState(ID_FILE_OPEN) & MF_GRAYED);
    EXPECT_FALSE(MenuState(ID_FILE_CLOSE) & MF_GRAYED);
    // With a file open the menu's Open asks nothing and opens nothing.
    const size_t asked = g_offered.size();
    Main().SendMessage(WM_COMMAND, ID_FILE_OPEN, 0);
    EXPECT_EQ(Tabs().Count(), 1);
    EXPECT_EQ(g_offered.size(), asked);
    // A command nobody takes changes nothing.
    Main().SendMessage(WM_COMMAND, 12345, 0);
    Main().SendMessage(WM_COMMAND, 991, 0);
    EXPECT_EQ(Tabs().Count(), 1);
    EXPECT_TRUE(::IsWindow(Main().m_hWnd));
}

TEST_F(ShellTest, WindowCannotShrinkBelow800By600) {
    ASSERT_TRUE(Start(L""));
    MINMAXINFO info{};
    Main().SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 800);
    EXPECT_EQ(info.ptMinTrackSize.y, 600);
    EXPECT_EQ(info.ptMaxTrackSize.x, ::GetSystemMetrics(SM_CXSCREEN));
    Main().SetWindowPos(nullptr, 0, 0, 300, 200, SWP_NOZORDER);
    const RECT r = Main().GetWindowRect();
    EXPECT_GE(r.right - r.left, 800);
    EXPECT_GE(r.bottom - r.top, 600);
}

TEST_F(ShellTest, ZoomedPlaceShowsTheWindowMaximisedWhateverTheShowCommand) {
    PWindowPos& place = app->options.general.windowPos;
    place.left = 10, place.top = 10, place.width = 900, place.height = 700;
    place.zoomed = true;
    ASSERT_TRUE(app->Start(L"", SW_SHOWNORMAL));
    EXPECT_TRUE(::IsZoomed(Main().m_hWnd));
}

TEST_F(ShellTest, ClosingAsksOnlyWhileAFindRunsAndNoKeepsEverything) {
    AnswerOpenDialogs({true});
    ASSERT_TRUE(Start(Quoted(File())));
    ASSERT_EQ(Tabs().Count(), 1);
    FindResult* find = Tabs().FileAt(0)->finds.GetResultByIndex(1);
    find->runningJobs = 1;
    static std::wstring asked;
    asked.clear();
    AskCancel::showBox = [](HWND, const wchar_t* text, const wchar_t*, UINT) -> int {
        asked = text;
        return IDNO;
    };
    Main().SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(asked, L"Do You want cancel all operations ?");
    EXPECT_TRUE(::IsWindow(Main().m_hWnd));
    EXPECT_EQ(Tabs().Count(), 1);
    EXPECT_EQ(find->stop, 0);
    // Yes stops the finds; the tab and the window close once the find has returned.
    AskCancel::showBox = [](HWND, const wchar_t*, const wchar_t*, UINT) -> int { return IDYES; };
    Main().SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_NE(find->stop, 0);
    EXPECT_EQ(Tabs().Count(), 1);
    find->runningJobs = 0;
    for (int i = 0; i < 200 && ::IsWindow(Main().m_hWnd); ++i) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        RunLoop(app);
    }
    EXPECT_FALSE(::IsWindow(Main().m_hWnd));
}

TEST_F(ShellTest, ClosingWithoutFilesClosesAtOnce) {
    ASSERT_TRUE(Start(L""));
    AskCancel::showBox = [](HWND, const wchar_t*, const wchar_t*, UINT) -> int {
        ADD_FAILURE() << "nothing to ask";
        return IDNO;
    };
    Main().SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(::IsWindow(Main().m_hWnd));
}

TEST_F(ShellTest, ActivityMarksShowOnTheFilesTab) {
    AnswerOpenDialogs({true});
    ASSERT_TRUE(Start(Quoted(File())));
    FilePane* window = Tabs().WindowAt(0);
    BTabOne* tab = Tabs().TabByWindow(window);
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->icon, nullptr);   // parsing ended inside the open
    window->activity.Push(ThemeColor(25));
    HICON parse = tab->icon;
    EXPECT_NE(parse, nullptr);
    window->activity.Push(ThemeColor(27));
    HICON findIcon = tab->icon;
    EXPECT_NE(findIcon, parse);
    window->activity.Remove(ThemeColor(25));
    EXPECT_EQ(tab->icon, findIcon);
    window->activity.Remove(ThemeColor(27));
    EXPECT_EQ(tab->icon, nullptr);
}

// Hovers a window at a client point as the pointer does: the cursor goes there and two moves come
// through the application's loop; the tip's own timer then shows the tip. Its text as the control
// gives it, empty when none shows.
std::wstring HoverTip(CApp* app, HWND target, POINT client) {
    const HWND tip = app->mainWindow.toolTip.Control()->m_hWnd;
    for (int dx : {0, 1}) {
        POINT screen{client.x + dx, client.y};
        ::ClientToScreen(target, &screen);
        ::SetCursorPos(screen.x, screen.y);
        ::PostMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(client.x + dx, client.y));
        RunLoop(app);
    }
    for (int i = 0; i < 100; ++i) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        RunLoop(app);
        if (::IsWindowVisible(tip) && !WindowText(tip).empty())
            return WindowText(tip);
    }
    return std::wstring();
}

HWND ChildWithId(HWND parent, int id) { return wintest::DescendantWithId(parent, id); }

// The deepest window under the pointer gives the tip: a button of the button bar, a corner button of
// the disassembly pane, a byte of the dump.
TEST_F(ShellTest, TipsComeFromTheWindowUnderThePointer) {
    AnswerOpenDialogs({true});
    ASSERT_TRUE(Start(Quoted(File())));
    FilePane* window = Tabs().WindowAt(0);
    BButton* go = window->ButtonBar()->FindButton(311);
    BButton* dumpBytes = dynamic_cast<FileMainPane&>(*window->MainPane()).diza.cornerButtons.FindButton(kCmdShowDumpBytes);
    auto* dump = dynamic_cast<FileDumpPane*>(CWnd::FromHandle(ChildWithId(window->m_hWnd, 242)));
    ASSERT_TRUE(go && dumpBytes && dump);
    ASSERT_TRUE(go->IsWindowVisible() && dumpBytes->IsWindowVisible() && dump->IsWindowVisible());
    const auto centre = [](const CWnd& w) {
        const RECT r = w.GetClientRect();
        return POINT{r.right / 2, r.bottom / 2};
    };
    EXPECT_EQ(HoverTip(app, go->m_hWnd, centre(*go)), L"File goto");
    EXPECT_EQ(HoverTip(app, dumpBytes->m_hWnd, centre(*dumpBytes)), L"Show dump bytes");
    const POINT byte{dump->hexArea.left + (2 * dump->charWidth + 2) + 1, dump->lineHeight / 2};
    EXPECT_EQ(HoverTip(app, dump->m_hWnd, byte), L"FileOffset: 0001\r\nAddress: 0001");
    // A click ends the tip that its move started: none shows until the pointer moves again.
    const HWND tip = app->mainWindow.toolTip.Control()->m_hWnd;
    CWnd& diza = dynamic_cast<FileMainPane&>(*window->MainPane()).diza;
    const POINT away = centre(diza);
    POINT screen = away;
    ::ClientToScreen(diza.m_hWnd, &screen);
    ::SetCursorPos(screen.x, screen.y);
    diza.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(away.x, away.y));
    RunLoop(app);
    ASSERT_FALSE(::IsWindowVisible(tip));
    screen = byte;
    ::ClientToScreen(dump->m_hWnd, &screen);
    ::SetCursorPos(screen.x, screen.y);
    dump->PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(byte.x, byte.y));
    RunLoop(app);   // the moves start the tip's delay
    dump->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(byte.x, byte.y));
    dump->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(byte.x, byte.y));
    for (int i = 0; i < 40; ++i) {   // twice the tip's delay
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        RunLoop(app);
    }
    const std::wstring shown = WindowText(tip);
    EXPECT_FALSE(::IsWindowVisible(tip)) << std::string(shown.begin(), shown.end());
    // Onto "Ascii/Hex" and three clicks there, each followed by the move the system sends at the
    // same point: no tip; the next move to another point brings it.
    BButton* textHex = dump->buttons.FindButton(FileDumpPane::kCmdTextHex);
    ASSERT_NE(textHex, nullptr);
    const POINT on = centre(*textHex);
    screen = on;
    ::ClientToScreen(textHex->m_hWnd, &screen);
    ::SetCursorPos(screen.x, screen.y);
    const LPARAM at = MAKELPARAM(on.x, on.y);
    textHex->PostMessage(WM_MOUSEMOVE, 0, at);
    for (int click = 1; click <= 3; ++click) {
        textHex->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        textHex->PostMessage(WM_LBUTTONUP, 0, at);
        textHex->PostMessage(WM_MOUSEMOVE, 0, at);
        // Two and a half times the tip's delay.
        for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < 2500 && !::IsWindowVisible(tip);) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            RunLoop(app);
        }
        ASSERT_FALSE(::IsWindowVisible(tip)) << "click " << click;
    }
    EXPECT_EQ(HoverTip(app, textHex->m_hWnd, POINT{on.x - 1, on.y}), L"Ascii/Hex");
}

// Sixteen files (the command line's eight, twice) in the narrowest main window: the equal cells tile
// the strip, each is drawn, and a click on each selects its file.
TEST_F(ShellTest, SixteenFileTabsTileTheStripAndEachTakesAClick) {
    std::wstring line;
    for (int i = 0; i < 8; ++i)
        line += Quoted(File()) + L" ";
    for (int i = 0; i < 16; ++i)
        AnswerOpenDialogs({true});
    ASSERT_TRUE(Start(line));
    Main().SetWindowPos(nullptr, 0, 0, 640, 600, SWP_NOZORDER);   // held at its smallest width
    Main().PostMessage(kMsgStartup, 0, 0);
    Pump();
    ASSERT_EQ(Tabs().Count(), 16);
    Tabs().Invalidate();
    Tabs().UpdateWindow();
    const std::vector<RECT>& cells = Tabs().tabRects;
    ASSERT_EQ(cells.size(), 16u);
    EXPECT_EQ(cells.front().left, 2);
    EXPECT_EQ(cells.back().right, Tabs().stripLength + 2);
    for (size_t i = 1; i < cells.size(); ++i) {
        EXPECT_EQ(cells[i].left, cells[i - 1].right) << i;
        EXPECT_LE(std::abs((cells[i].right - cells[i].left) - (cells[0].right - cells[0].left)), 1) << i;
    }
    for (int i = 15; i >= 0; --i) {
        const RECT& c = cells[static_cast<size_t>(i)];
        const LPARAM at = MAKELPARAM((c.left + c.right) / 2, (c.top + c.bottom) / 2);
        Tabs().PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        Tabs().PostMessage(WM_LBUTTONUP, 0, at);
        RunLoop(app);
        EXPECT_EQ(Tabs().CurrentFile(), Tabs().FileAt(i)) << i;
    }
}

TEST_F(ShellTest, OptionsFromTheApplicationReachTheStartLogOnly) {
    ASSERT_TRUE(Start(L""));
    StartLogPane& log = Main().startScreen->log;
    ASSERT_NE(log.Line(), nullptr);
    ZoneStringPreset* text = log.Line()->text;
    EXPECT_EQ(text->presetColors[1], RGB(0, 0, 128));
    EXPECT_EQ(text->presetColors[2], RGB(12, 132, 222));
    EXPECT_EQ(text->presetColors[3], ThemeColor(65));
    // A file's own set leaves the main log as it is.
    Options other;
    other.ApplyColorTheme();
    other.uiColors.logLine.value = RGB(1, 2, 3);
    Main().SendMessage(kMsgOptions, 1, reinterpret_cast<LPARAM>(&other));
    EXPECT_NE(text->presetColors[4], RGB(1, 2, 3));
    app->options.uiColors.logLine.value = RGB(4, 5, 6);
    Main().SendMessage(kMsgOptions, 1, reinterpret_cast<LPARAM>(static_cast<Options*>(&app->options)));
    EXPECT_EQ(text->presetColors[4], RGB(4, 5, 6));
}

TEST_F(ShellTest, DoubleClickOnAStartLogLineOpensOnlyItsWebAddress) {
    ASSERT_TRUE(Start(L""));
    static std::vector<std::wstring> opened;
    opened.clear();
    SetShellOpenSeam([](const wchar_t* target) {
        opened.push_back(target);
        return true;
    });
    StartLogPane& log = Main().startScreen->log;
    // Each line and what a double click on it opens (nothing for an empty text).
    const std::pair<const wchar_t*, const wchar_t*> rows[] = {
        {L"see http://example.org/x for more", L"http://example.org/x"},
        {L"no address here", L""},
        {L"loaded c:\\httpd\\x.exe", L""},                  // a path is never run
        {L"httpd\\x.exe then https://example.org/a?b=1\tdone", L"https://example.org/a?b=1"},
        {L"http:// alone", L""},
        {L"file://c:/x.exe and http:x.exe", L""},
    };
    // The log has scrolled past a screen of lines, each with an address of its own.
    for (int i = 0; i <= log.RowsPerPage(); ++i)
        app->LogLine(L"before http://example.org/%d", i);
    for (const auto& row : rows)
        app->LogLine(L"%s", row.first);
    Pump();
    ASSERT_GT(log.VBar().top, 0);
    // The row that shows the line, from the scroller's top and the pane's rows.
    auto clickLine = [&](int line) {
        const int64_t row = line - log.VBar().top;
        ASSERT_GE(row, 0);
        ASSERT_LT(row, log.RowsPerPage());
        const RECT r = log.GetRowRect(static_cast<int>(row));
        log.PostMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(r.left + 5, (r.top + r.bottom) / 2));
        Pump();
    };
    const int first = log.LineCount() - static_cast<int>(std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
        opened.clear();
        clickLine(first + static_cast<int>(i));
        EXPECT_EQ(opened, std::vector<std::wstring>(*rows[i].second ? 1 : 0, rows[i].second)) << i;
    }
    SetShellOpenSeam(nullptr);
}

TEST_F(ShellTest, FocusReturnsToTheLastPaneUntilItsTabCloses) {
    AnswerOpenDialogs({true});
    ASSERT_TRUE(Start(Quoted(File())));
    HWND pane = Tabs().WindowAt(0)->m_hWnd;
    // Another window taken to the front and the main window back: the focus is where it was.
    const HWND diza = Tabs().WindowAt(0)->DizaWindow()->m_hWnd;
    ::SetActiveWindow(Main().m_hWnd);
    ::SetFocus(diza);
    CWnd other;
    ASSERT_TRUE(wintest::CreateHidden(other));
    other.ShowWindow(SW_SHOW);
    ::SetActiveWindow(other.m_hWnd);
    ASSERT_NE(::GetFocus(), diza);
    ::SetActiveWindow(Main().m_hWnd);
    EXPECT_EQ(::GetFocus(), diza);
    other.DestroyWindow();
    Main().SetFocusPane(pane);
    ::SetFocus(Main().m_hWnd);
    HWND focus = ::GetFocus();
    EXPECT_TRUE(focus == pane || ::IsChild(pane, focus));
    EXPECT_TRUE(Tabs().CloseCurrentFile());
    EXPECT_EQ(Main().FocusPane(), nullptr);
    ::SetFocus(Main().m_hWnd);
    EXPECT_EQ(::GetFocus(), Main().m_hWnd);
}

std::string ReadAll(const std::wstring& path) {
    std::string text;
    if (FILE* f = _wfopen(path.c_str(), L"rb")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        fclose(f);
    }
    return text;
}

// The options command's results: Cancel changes nothing, Apply gives the application the edited
// General section, the third button (6) the whole set, written to the options file when one is loaded.
TEST_F(ShellTest, OptionsResultsReachTheApplicationsSet) {
    AnswerOpenDialogs({true});
    ASSERT_TRUE(Start(Quoted(File())));
    const std::wstring ini = File("Version=1\n[File]\nFileShowDumpBytes=enable\n; kept\n");
    ASSERT_TRUE(app->options.Load(ini.c_str()));
    Options& edited = Main().OptionsToEdit();
    ASSERT_EQ(&edited, &Tabs().FileAt(0)->options);   // the open file's own copy
    edited.general.historySize.value = 33;
    edited.file.showDumpBytes.value = false;

    Main().ApplyOptionsResult(edited, IDCANCEL);
    EXPECT_EQ(app->options.general.historySize.value, 16);
    Main().ApplyOptionsResult(edited, IDOK);
    EXPECT_EQ(app->options.general.historySize.value, 33);
    EXPECT_TRUE(app->options.file.showDumpBytes.value);
    Main().ApplyOptionsResult(edited, 6);
    EXPECT_FALSE(app->options.file.showDumpBytes.value);
    const std::string text = ReadAll(ini);
    EXPECT_NE(text.find("FileShowDumpBytes=disable"), std::string::npos) << text;
    EXPECT_NE(text.find("; kept"), std::string::npos) << text;
}

// With two files open, the Options command stores and applies the current file's set in that file's
// windows alone: the other file keeps its own layout and colours.
TEST_F(ShellTest, OptionsOfTheCurrentFileStayWithItsWindows) {
    AnswerOpenDialogs({true, true});
    ASSERT_TRUE(Start(Quoted(File()) + L" " + Quoted(File())));
    ASSERT_EQ(Tabs().Count(), 2);
    FilePane* current = Tabs().CurrentWindow();
    FilePane* other = Tabs().WindowAt(0) == current ? Tabs().WindowAt(1) : Tabs().WindowAt(0);
    ASSERT_NE(current, other);
    auto sideShown = [](FilePane* w) { return ::IsWindowVisible(w->GetDlgItem(kIdFileSideTab)) != FALSE; };
    auto codeBack = [](FilePane* w) { return dynamic_cast<BMultiZone*>(w->DizaWindow())->normalColor; };
    other->PostMessage(WM_COMMAND, kCmdSidePane, 0);   // the other file's own layout: no side tab
    Pump();
    ASSERT_FALSE(sideShown(other));
    ASSERT_TRUE(sideShown(current));
    const COLORREF otherBack = codeBack(other);
    current->document->options.codeColors.codeBk.value = RGB(1, 2, 3);

    PushModalAction([](Dialog& d) { d.EndDialog(IDOK); });
    Main().PostMessage(WM_COMMAND, ID_OPTIONS, 0);
    Pump();
    EXPECT_EQ(PendingModalActions(), 0u);
    EXPECT_TRUE(current->document->options.ui.sidePaneShow.value);   // stored from its own windows
    EXPECT_TRUE(sideShown(current));
    EXPECT_FALSE(sideShown(other));
    EXPECT_EQ(codeBack(current), RGB(1, 2, 3));
    EXPECT_EQ(codeBack(other), otherBack);
}

// A press on the low pane's bar, held while Alt+O opens the menu and then the Options dialog: the
// drag ends, the cursor is free before the dialog shows, and later moves leave the bar alone.
TEST_F(ShellTest, AltOWhileDraggingTheLowBarFreesTheCursor) {
    wintest::FakeCursorClip clip;
    AnswerOpenDialogs({true});
    ASSERT_TRUE(Start(Quoted(File())));
    FileLowPane* low = Tabs().CurrentWindow()->LowPane();
    ASSERT_TRUE(low && low->IsWindowVisible());
    const RECT bar = low->BarRect();
    const int x = (bar.left + bar.right) / 2, y = (bar.top + bar.bottom) / 2;
    low->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    Pump();
    ASSERT_FALSE(wintest::FakeCursorClip::Free());
    const int position = low->position;
    static bool freeInDialog = false;
    freeInDialog = false;
    PushModalAction([](Dialog& d) {
        freeInDialog = wintest::FakeCursorClip::Free();
        d.EndDialog(IDCANCEL);
    });
    Main().PostMessage(WM_SYSKEYDOWN, 'O', 0x20000001);
    ASSERT_TRUE(wintest::PumpUntil([] { return PendingModalActions() == 0; }));
    EXPECT_EQ(PendingModalActions(), 0u);
    EXPECT_TRUE(freeInDialog);
    EXPECT_TRUE(wintest::FakeCursorClip::Free());
    low->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 80, y));
    Pump();
    EXPECT_EQ(low->position, position);
}

TEST_F(ShellTest, OptionsCommandRunsTheDialogOnTheApplicationsSetWithoutAFile) {
    ASSERT_TRUE(Start(L""));
    EXPECT_EQ(&Main().OptionsToEdit(), static_cast<Options*>(&app->options));
    const std::wstring ini = File("Version=1\n");
    ASSERT_TRUE(app->options.Load(ini.c_str()));
    ::DeleteFileW(ini.c_str());
    PushModalAction([](Dialog& d) { d.EndDialog(IDCANCEL); });
    Main().SendMessage(WM_COMMAND, ID_OPTIONS, 0);
    EXPECT_EQ(PendingModalActions(), 0u);
    EXPECT_EQ(::GetFileAttributesW(ini.c_str()), INVALID_FILE_ATTRIBUTES);   // Cancel writes nothing
    PushModalAction([](Dialog& d) { d.EndDialog(6); });
    Main().SendMessage(WM_COMMAND, ID_OPTIONS, 0);
    EXPECT_NE(ReadAll(ini).find("Version=1"), std::string::npos);
}

// The options file is held open for writing by another program while the program starts: it is not
// read, and the dialog's Save keeps the user's lines. A Save that fails is told in a box, not only in
// the start log that an open file hides.
TEST_F(ShellTest, SaveKeepsAnUnreadOptionsFileAndTellsWhenItFails) {
    const std::wstring path = OptionsFile("; mine\nVersion=1\n[Plugins]\nExtra=1\n");
    HANDLE writer = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    AnswerOpenDialogs({true});
    ASSERT_TRUE(Start(Quoted(File())));
    ::CloseHandle(writer);
    EXPECT_EQ(app->options.ini.state, -1);
    auto save = [this] {
        PushModalAction([](Dialog& d) { ::SendMessageW(d.Item(6), BM_CLICK, 0, 0); });
        Main().PostMessage(WM_COMMAND, ID_OPTIONS, 0);
        Pump();
    };
    save();
    EXPECT_EQ(PendingModalActions(), 0u);
    const std::string text = ReadAll(path);
    EXPECT_EQ(text.compare(0, 8, "; mine\r\n"), 0) << text;
    EXPECT_NE(text.find("Extra=1"), std::string::npos) << text;
    EXPECT_NE(text.find("[Fonts]"), std::string::npos) << text;

    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    PushMessageBoxAnswer(IDOK);
    save();
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(LastMessageBox().text, L"Options file error: The options file '" + path + L"' is read-only");
    EXPECT_TRUE(LastMessageBox().type & MB_ICONERROR);
    EXPECT_EQ(ReadAll(path), text);
}

// The comment pane's width is a share of the main pane kept in whole percent, in memory only (no key of
// the options file): dragged wider, it keeps that share through the options' Save and their applying.
TEST_F(ShellTest, TheCommentPanesDraggedShareOutlivesSaveAndApply) {
    wintest::FakeCursorClip clip;
    const std::wstring path = OptionsFile("Version=1\n");
    AnswerOpenDialogs({true});
    ASSERT_TRUE(Start(Quoted(File())));
    ASSERT_EQ(Tabs().Count(), 1);
    FileMainPane& main = *dynamic_cast<FileMainPane*>(Tabs().CurrentWindow()->MainPane());
    FileOncommentPane& comments = main.comments;
    ASSERT_TRUE(comments.IsShown());
    BDivider* divider = comments.Divider();
    ASSERT_TRUE(divider && divider->m_hWnd);
    RECT bar{};
    ::GetWindowRect(divider->m_hWnd, &bar);
    auto pointAt = [&](int dx) {
        POINT p{ (bar.left + bar.right) / 2 + dx, (bar.top + bar.bottom) / 2 };
        ::SetCursorPos(p.x, p.y);
        ::ScreenToClient(divider->m_hWnd, &p);
        return MAKELPARAM(p.x, p.y);
    };
    const int whole = main.GetClientRect().right;
    EXPECT_EQ(comments.GetExtent(), 30 * whole / 100);   // the default share
    divider->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, pointAt(0));
    Pump();
    divider->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, pointAt(-73));
    Pump();
    divider->PostMessage(WM_LBUTTONUP, 0, pointAt(-73));
    Pump();
    const int dragged = comments.GetExtent();
    ASSERT_GT(dragged, 30 * whole / 100 + 60);
    const int percent = dragged * 100 / whole;
    PushModalAction([](Dialog& d) { ::SendMessageW(d.Item(6), BM_CLICK, 0, 0); });
    Main().PostMessage(WM_COMMAND, ID_OPTIONS, 0);
    Pump();
    EXPECT_EQ(PendingModalActions(), 0u);
    EXPECT_NE(ReadAll(path).find("[UI]"), std::string::npos);
    EXPECT_EQ(app->options.ui.mainPaneDivider.value, percent);
    EXPECT_EQ(comments.GetExtent(), percent * whole / 100);
}

// A drop of several files offers only the first.
TEST_F(ShellTest, DroppingFilesOffersTheFirst) {
    ASSERT_TRUE(Start(L""));
    const std::wstring a = File(), b = File();
    std::wstring names = a + L'\0' + b + L'\0' + L'\0';
    HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(drop + 1, names.data(), names.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    AnswerOpenDialogs({true});
    Main().startScreen->pane.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    Pump();
    ASSERT_EQ(g_offered.size(), 1u);
    EXPECT_EQ(g_offered[0], a);
    ASSERT_EQ(Tabs().Count(), 1);
    EXPECT_STREQ(Tabs().FileAt(0)->FilePath(), a.c_str());
}

// ---- cancelling a parse

// The application's own loop until the queue is empty, then its idle step.
void RunLoop(CApp* app) {
    MSG msg;
    for (int i = 0; i < 10000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT)
            break;
        app->PumpMessage(msg);
    }
    app->RunIdle();
}

std::vector<std::wstring> LogOf(FilePane* window) {
    std::vector<std::wstring> lines;
    BTextRoll& ring = window->LogPane()->Ring();
    for (int i = 0; i < ring.Count(); ++i)
        lines.push_back(ring.GetText(i));
    return lines;
}

bool Logged(const std::vector<std::wstring>& lines, const std::wstring& start) {
    for (const std::wstring& line : lines)
        if (line.compare(0, start.size(), start) == 0)
            return true;
    return false;
}

// A parser offered for every file: 32-bit code over the whole file with refers and ASCII strings
// chosen. `during` runs inside each parse with its file window: what the user does meanwhile.
class HookParser : public BFileParser {
public:
    explicit HookParser(std::function<void(FilePane*)> during) : during_(std::move(during)) { title = L"Hooked"; }
    bool KnowsFile(ParseProbe* probe) override {
        probe->head.flags = kRequestEnable32 | kRequestRefers | kRequestAscii;
        probe->head.bitness = 32;
        probe->head.acceptCode = 1;
        probe->head.baseAddress = 0x400000;
        return true;
    }
    bool Parse(ParseRequest* request) override {
        FileParseThread* document = FindFileById(request->head.fileId);
        if (!document)
            return false;
        if (during_)
            during_(dynamic_cast<FilePane*>(document->Host()));
        document = FindFileById(request->head.fileId);
        return document && document->AddCodeSegment(0x400000, 0, document->FileSize(), document->FileSize());
    }
    void OnClose(ParseRequest* request) override {
        if (FileParseThread* document = FindFileById(request->head.fileId))
            cancelledAtClose.push_back(document->cancelRequested);
    }
    std::vector<bool> cancelledAtClose;

private:
    std::function<void(FilePane*)> during_;
};

std::vector<std::wstring> g_asked;
int AnswerYes(HWND, const wchar_t* text, const wchar_t*, UINT) {
    g_asked.push_back(text);
    return IDYES;
}

class ParseCancelTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        g_asked.clear();
        AskCancel::showBox = AnswerYes;
    }
    // The menu's Open with the open dialog answered OK.
    void OpenThroughMenu() {
        Tabs().request.fileName = File().c_str();
        AnswerOpenDialogs({true});
        Main().PostMessage(WM_COMMAND, ID_FILE_OPEN, 0);
        RunLoop(app);
    }
    void ExpectReadyWithScans(FilePane* window, size_t fromLine = 0) {
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->document->ready);
        std::vector<std::wstring> lines = LogOf(window);
        lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(fromLine, lines.size())));
        EXPECT_TRUE(Logged(lines, L"Scan refers is starting..."));
        EXPECT_TRUE(Logged(lines, L"Scan stringz is starting..."));
        EXPECT_FALSE(Logged(lines, L"The file is not ready"));
    }
    const std::vector<std::wstring> kParsingQuestion{ L"Do You want cancel parsing ?" };
};

// A click on Close waits in the queue while the parser works; its Yes must not outlive the file.
TEST_F(ParseCancelTest, ClosingAFileWhileItParsesLeavesTheNextFileReady) {
    int runs = 0;
    app->parsers.Add(new HookParser([&](FilePane*) {
        if (runs++ == 0)
            Main().PostMessage(WM_COMMAND, ID_FILE_CLOSE, 0);
    }));
    ASSERT_TRUE(app->Start(L"", SW_SHOWNORMAL));
    RunLoop(app);
    OpenThroughMenu();
    EXPECT_EQ(Tabs().Count(), 0);
    EXPECT_EQ(g_asked, kParsingQuestion);
    OpenThroughMenu();
    ASSERT_EQ(Tabs().Count(), 1);
    ExpectReadyWithScans(Tabs().WindowAt(0));
    EXPECT_EQ(g_asked.size(), 1u);
}

// A window that posts a message again when it comes: then it stands behind what was queued meanwhile.
class Relay {
public:
    Relay() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TestRelay";
        ::RegisterClassW(&wc);
        hwnd_ = ::CreateWindowExW(0, L"TestRelay", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    ~Relay() { ::DestroyWindow(hwnd_); }
    void PostLater(HWND to, UINT message, WPARAM wparam, LPARAM lparam) {
        later_ = MSG{ to, message, wparam, lparam, 0, {} };
        ::PostMessageW(hwnd_, WM_APP, 0, reinterpret_cast<LPARAM>(&later_));
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message != WM_APP)
            return ::DefWindowProcW(hwnd, message, wparam, lparam);
        const MSG* m = reinterpret_cast<const MSG*>(lparam);
        ::PostMessageW(m->hwnd, m->message, m->wParam, m->lParam);
        return 0;
    }
    HWND hwnd_;
    MSG later_{};
};

// A double click on the tab strip that is handled in the after-parse step reloads the file: the new
// document parses alone.
TEST_F(ParseCancelTest, ReloadingAFileWhileItParsesLeavesTheNewDocumentReady) {
    int runs = 0;
    Relay relay;
    app->parsers.Add(new HookParser([&](FilePane*) {
        if (runs++ == 0)
            relay.PostLater(Tabs().m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 5));
    }));
    ASSERT_TRUE(app->Start(L"", SW_SHOWNORMAL));
    RunLoop(app);
    AnswerOpenDialogs({true});   // the reload's dialog
    OpenThroughMenu();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(g_asked, kParsingQuestion);
    ASSERT_EQ(Tabs().Count(), 1);
    FilePane* window = Tabs().WindowAt(0);
    const std::vector<std::wstring> lines = LogOf(window);
    size_t closed = 0;
    while (closed < lines.size() && lines[closed] != L"--- --- ---")
        ++closed;
    ASSERT_LT(closed, lines.size());
    ExpectReadyWithScans(window, closed);
}

// The pop-up's close box (clicked while a plug-in pumps messages) and Esc (handled after the parse
// ends) both ask; a Yes cancels that file's parse only, not the next file's.
TEST_F(ParseCancelTest, YesToTheQuestionCancelsThatFilesParseOnly) {
    const std::function<void(FilePane*)> ways[] = {
        [](FilePane* window) {
            BPopup* popup = window->ParsePopup();
            ASSERT_NE(popup, nullptr);
            const RECT c = popup->GetClientRect();
            popup->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.right - 5, c.top + 5));
            ::PumpMessages();
        },
        [](FilePane* window) {
            ASSERT_NE(window->DizaWindow(), nullptr);
            ::PostMessageW(window->DizaWindow()->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 1);
        },
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(&way - ways);
        g_asked.clear();
        int runs = 0;
        app->parsers.Add(new HookParser([&](FilePane* window) {
            if (runs++ == 0)
                way(window);
        }));
        AnswerOpenDialogs({true, true});
        ASSERT_TRUE(app->Start((Quoted(File()) + L" " + Quoted(File())).c_str(), SW_SHOWNORMAL));
        RunLoop(app);
        ASSERT_EQ(Tabs().Count(), 2);
        EXPECT_EQ(runs, 2);   // both files went to the hooked parser, the dialog's first offer
        EXPECT_EQ(g_asked, kParsingQuestion);
        FilePane* first = Tabs().WindowAt(0);
        EXPECT_TRUE(first->document->cancelRequested);
        EXPECT_FALSE(first->document->ready);
        const std::vector<std::wstring> lines = LogOf(first);
        EXPECT_TRUE(Logged(lines, L"The file is not ready"));
        EXPECT_FALSE(Logged(lines, L"Scan refers is starting..."));
        ExpectReadyWithScans(Tabs().WindowAt(1));
        EXPECT_FALSE(AskCancel::Instance().Answered());
        TearDown();
        SetUp();
    }
}

// Closing the main window while a file parses asks about all operations; Yes cancels the parse
// before the file closes.
TEST_F(ParseCancelTest, StoppingAllCancelsTheParseBeforeClosing) {
    HookParser* parser = new HookParser([&](FilePane*) { Main().PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0); });
    app->parsers.Add(parser);
    ASSERT_TRUE(app->Start(L"", SW_SHOWNORMAL));
    RunLoop(app);
    OpenThroughMenu();
    EXPECT_EQ(g_asked, (std::vector<std::wstring>{ L"Do You want cancel all operations ?" }));
    EXPECT_FALSE(::IsWindow(Main().m_hWnd));
    EXPECT_EQ(parser->cancelledAtClose, std::vector<bool>{ true });
}

struct QuestionSearch {
    const wchar_t* text;
    HWND found;
};

BOOL CALLBACK MatchQuestion(HWND window, LPARAM p) {
    QuestionSearch& s = *reinterpret_cast<QuestionSearch*>(p);
    wchar_t caption[64] = {}, body[128] = {};
    ::GetWindowTextW(window, caption, 64);
    ::GetDlgItemTextW(window, 0xFFFF, body, 128);   // a message box's text
    if (!::IsWindowVisible(window) || wcscmp(caption, AskCancel::kCaption) != 0 || wcscmp(body, s.text) != 0)
        return TRUE;
    s.found = window;
    return FALSE;
}

// This thread's visible cancel question with the text, or null.
HWND VisibleQuestion(const wchar_t* text) {
    QuestionSearch search{text, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), MatchQuestion, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Another program closes the main window once the parse question shows; Yes to the question about
// all operations.
int g_closeStage = 0;
void CALLBACK CloseDuringTheParseQuestion(HWND, UINT, UINT_PTR id, DWORD) {
    if (g_closeStage == 0 && VisibleQuestion(L"Do You want cancel parsing ?")) {
        g_closeStage = 1;
        ::PostMessageW(App().mainWindow.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (HWND box = g_closeStage == 1 ? VisibleQuestion(L"Do You want cancel all operations ?") : nullptr) {
        g_closeStage = 2;
        ::KillTimer(nullptr, id);
        ::PostMessageW(box, WM_COMMAND, IDYES, 0);
    }
}

// The real parse question's loop runs a close posted by another program; its Yes closes the file
// once, after the question has returned, not under it, and then the main window.
TEST_F(ParseCancelTest, ACloseWhileTheParseQuestionIsOpenClosesTheFileOnceAfterIt) {
    AskCancel::showBox = savedBox;
    g_closeStage = 0;
    bool returned = false;   // a fault under the parser would be caught by its guard
    HookParser* parser = new HookParser([&](FilePane* window) {
        BPopup* popup = window->ParsePopup();
        ASSERT_NE(popup, nullptr);
        const RECT c = popup->GetClientRect();
        popup->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.right - 5, c.top + 5));
        ::SetTimer(nullptr, 0, 10, CloseDuringTheParseQuestion);
        ::PumpMessages();
        EXPECT_EQ(g_closeStage, 2);
        EXPECT_EQ(Tabs().Count(), 1);   // still open: the parser is on the stack
        returned = true;
    });
    app->parsers.Add(parser);
    ASSERT_TRUE(app->Start(L"", SW_SHOWNORMAL));
    RunLoop(app);
    OpenThroughMenu();
    EXPECT_TRUE(wintest::PumpUntil([&] { return !::IsWindow(Main().m_hWnd); }, 10000));
    EXPECT_TRUE(returned);
    EXPECT_EQ(parser->cancelledAtClose, std::vector<bool>{ true });
}

// The same once the parser has returned, the question's loop played by the box: the close asked for
// there does not take the file window from under its question.
int g_tabsInQuestion = -1;
int AnswerNoAfterTheQueueYesToAll(HWND, const wchar_t* text, const wchar_t*, UINT) {
    g_asked.push_back(text);
    if (std::wstring(text) == L"Do You want cancel all operations ?")
        return IDYES;
    wintest::DrainQueue();
    g_tabsInQuestion = App().mainWindow.tabber->Count();
    return IDNO;
}

TEST_F(ParseCancelTest, ACloseInTheParseQuestionsLoopWaitsForItsAnswer) {
    AskCancel::showBox = AnswerNoAfterTheQueueYesToAll;
    g_tabsInQuestion = -1;
    HookParser* parser = new HookParser([&](FilePane* window) {
        ASSERT_NE(window->DizaWindow(), nullptr);
        ::PostMessageW(window->DizaWindow()->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 1);
        Main().PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    app->parsers.Add(parser);
    ASSERT_TRUE(app->Start(L"", SW_SHOWNORMAL));
    RunLoop(app);
    OpenThroughMenu();
    EXPECT_TRUE(wintest::PumpUntil([&] { return !::IsWindow(Main().m_hWnd); }, 10000));
    EXPECT_EQ(g_asked, (std::vector<std::wstring>{ L"Do You want cancel parsing ?", L"Do You want cancel all operations ?" }));
    EXPECT_EQ(g_tabsInQuestion, 1);
    EXPECT_EQ(parser->cancelledAtClose, std::vector<bool>{ true });
}

// Clicks each tab of a strip, as a user would: an enabled tab comes to the front.
void ClickEachTab(BTabber& strip, CApp* app) {
    strip.Invalidate();
    strip.UpdateWindow();
    const std::vector<RECT> rects(strip.tabRects);
    const int first = strip.first;
    for (size_t i = 0; i < rects.size(); ++i) {
        const RECT& r = rects[i];
        const BTabOne* tab = strip.tabs[static_cast<size_t>(first) + i];
        strip.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        strip.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        RunLoop(app);
        if (tab->enabled) {
            EXPECT_EQ(strip.active, tab->window) << i;
        }
    }
}

// An empty file opens as an empty, ready document; every command, key, tab and status cell copes.
// Without the parse pop-up the views stay enabled, so the commands reach the makers and the view.
TEST_F(ParseCancelTest, AnEmptyFileIsAReadyDocumentThatEveryCommandCopesWith) {
    for (bool popup : { true, false }) {
        SCOPED_TRACE(popup);
        app->options.general.showParsingPopup.value = popup;
        const std::wstring empty = File("");
        PushModalAction([](Dialog& d) {
            for (int id : { IDC_OPEN_BITS32, IDC_OPEN_REFERS, IDC_OPEN_ASCII })
                ::SendMessageW(d.Item(id), BM_CLICK, 0, 0);
            d.SendMessage(WM_COMMAND, IDOK, 0);
        });
        ASSERT_TRUE(app->Start(Quoted(empty).c_str(), SW_SHOWNORMAL));
        RunLoop(app);
        ASSERT_EQ(Tabs().Count(), 1);
        FilePane* window = Tabs().WindowAt(0);
        FileParseThread* document = window->document;
        EXPECT_TRUE(document->ready);
        EXPECT_EQ(document->errorCount, 0);
        EXPECT_EQ(document->Segments().Count(), 0);
        const std::vector<std::wstring> lines = LogOf(window);
        EXPECT_TRUE(Logged(lines, L"Segment 0000 is empty"));
        EXPECT_TRUE(Logged(lines, L"Main parser is successed in "));
        EXPECT_TRUE(Logged(lines, L"Refers scan is finished in "));
        EXPECT_TRUE(Logged(lines, L"Scan stringz is finished in "));
        EXPECT_FALSE(Logged(lines, L"The file is not ready"));
        EXPECT_TRUE(g_asked.empty());

        // Commands through the menu's route; a dialog that comes up is cancelled.
        const UINT commands[] = { 311, 312, 321, 322, 323, 331, 332, 333, 337, 351, 352, 353, 354, 355, 356, 357,
                                  360, 361, 362, 363, 371, 372, 401, 402, 403, 401, 402, 220, 230, 220, 230 };
        for (UINT id : commands) {
            SCOPED_TRACE(id);
            if (PendingModalActions() == 0)
                PushModalAction([](Dialog& d) { d.EndDialog(IDCANCEL); });
            Main().PostMessage(WM_COMMAND, id, 0);
            RunLoop(app);
            ASSERT_EQ(Tabs().Count(), 1);
        }
        // Keys on the disassembly pane, clicks on every tab and on every status cell (menus closed by Esc).
        HWND diza = window->DizaWindow()->m_hWnd;
        for (UINT key : { VK_DOWN, VK_UP, VK_NEXT, VK_PRIOR, VK_HOME, VK_END, VK_RETURN, VK_LEFT, VK_RIGHT })
            ::PostMessageW(diza, WM_KEYDOWN, key, 1);
        RunLoop(app);
        EXPECT_EQ(window->MainPanes()->CursorAddress(), -1);   // no line to stand on
        EXPECT_TRUE(window->StatusBar()->cells[FileStatusBar::kCursor].text.empty());
        ClickEachTab(*static_cast<BTabber*>(window->SideTab()), app);
        ClickEachTab(window->LowPane()->shortTab, app);
        ClickEachTab(window->LowPane()->longTab, app);
        FileStatusBar* bar = window->StatusBar();
        bar->Invalidate();
        bar->UpdateWindow();
        const int codepage = document->options.file.stringCodepage.index;
        const int highlight = document->options.ui.statusbarHighlightTimer.index;
        for (const StatusCell& cell : std::vector<StatusCell>(bar->cells)) {
            const RECT r = bar->GetClientRect();
            bar->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell.left + 2, (r.top + r.bottom) / 2));
            bar->PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
            RunLoop(app);
        }
        // Esc closed the cells' menus choosing nothing.
        EXPECT_EQ(document->options.file.stringCodepage.index, codepage);
        EXPECT_EQ(document->options.ui.statusbarHighlightTimer.index, highlight);
        ::RedrawWindow(Main().m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        EXPECT_TRUE(document->ready);
        EXPECT_EQ(document->Segments().Count(), 0);
        EXPECT_TRUE(g_asked.empty());
        DropModalActions();
        window->PostMessage(WM_COMMAND, kCmdFileClose, 0);   // the button bar's "File close"
        RunLoop(app);
        EXPECT_EQ(Tabs().Count(), 0);
        TearDown();
        SetUp();
    }
}


// ---- closing a file while a find runs

std::vector<std::wstring> g_boxTexts;
// A question box's own loop: what waits in the queue is dispatched while the box is up.
int AnswerYesAfterTheQueue(HWND, const wchar_t* text, const wchar_t*, UINT) {
    g_boxTexts.push_back(text);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return IDYES;
}

// A close that reaches the tab strip while a find runs (from the question box's loop) stops the
// find and closes the file once the find has returned, never under it.
TEST_F(ShellTest, ClosingAFileWhileAFindRunsClosesItWhenTheFindHasReturned) {
    AnswerOpenDialogs({true});
    ASSERT_TRUE(Start(Quoted(File(std::string(0x10000, 'A').c_str()))));
    ASSERT_EQ(Tabs().Count(), 1);
    Tabs().Invalidate();
    Tabs().UpdateWindow();
    ASSERT_EQ(Tabs().tabRects.size(), 1u);
    const RECT tab = Tabs().tabRects[0];
    CWnd* diza = Tabs().WindowAt(0)->DizaWindow();
    ASSERT_NE(diza, nullptr);
    g_boxTexts.clear();
    AskCancel::showBox = AnswerYesAfterTheQueue;
    PushModalAction([&](Dialog& d) {
        static_cast<DFind&>(d).combo.SetText(L"*");
        Tabs().PostMessage(WM_MBUTTONUP, 0, MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2));
        diza->PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
        d.SendMessage(WM_COMMAND, IDOK, 0);
    });
    diza->PostMessage(WM_COMMAND, kCmdFind, 0);
    RunLoop(app);
    for (int i = 0; i < 200 && Tabs().Count() > 0; ++i) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        RunLoop(app);
    }
    EXPECT_EQ(0u, PendingModalActions());
    EXPECT_EQ(g_boxTexts, (std::vector<std::wstring>{ L"Do You want cancel finding ?" }));
    EXPECT_EQ(Tabs().Count(), 0);
}

// Alt+F4, the close box, a double click on the window's icon and the window menu's Close while a find
// runs ask about all operations at once, from inside the find.
// No leaves everything open, then and after the find; Yes stops the find and closes once it has
// returned.
std::vector<bool> g_findRunningAtQuestion;
int g_closeAnswer = IDNO;
int AnswerTheClose(HWND, const wchar_t* text, const wchar_t*, UINT) {
    g_boxTexts.push_back(text);
    g_findRunningAtQuestion.push_back(App().mainWindow.tabber->FileAt(0)->finds.AnyRunning());
    return g_closeAnswer;
}

void CALLBACK EndTheMenu(HWND, UINT, UINT_PTR, DWORD) { ::EndMenu(); }
void CALLBACK PressCInTheMenu(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    ::PostMessageW(App().mainWindow.m_hWnd, WM_KEYDOWN, 'C', 0x002E0001);
}

TEST_F(ShellTest, ClosingWhileAFindRunsAsksAtOnce) {
    AnswerOpenDialogs({true});
    ASSERT_TRUE(Start(Quoted(File(std::string(0x1000, 'A').c_str()))));
    ASSERT_EQ(Tabs().Count(), 1);
    CWnd* diza = Tabs().WindowAt(0)->DizaWindow();
    ASSERT_NE(diza, nullptr);
    AskCancel::showBox = AnswerTheClose;
    struct Way {
        int answer;
        std::function<void()> close;
    };
    const Way ways[] = {
        {IDNO, [&] { diza->PostMessage(WM_SYSKEYDOWN, VK_F4, 0x20000001); }},
        {IDNO, [&] { Main().PostMessage(WM_NCLBUTTONDBLCLK, HTSYSMENU, 0); }},
        // Alt+Space opens the window menu at once; its Close (C, typed once the menu is up) asks then.
        {IDNO, [&] {
             diza->PostMessage(WM_SYSKEYDOWN, VK_SPACE, 0x20390001);
             diza->PostMessage(WM_SYSCHAR, VK_SPACE, 0x20390001);
             ::SetTimer(nullptr, 0, 300, PressCInTheMenu);
         }},
        {IDYES, [&] { Main().PostMessage(WM_NCLBUTTONDOWN, HTCLOSE, 0); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(&way - ways);
        g_boxTexts.clear();
        g_findRunningAtQuestion.clear();
        g_closeAnswer = way.answer;
        PushModalAction([&](Dialog& d) {
            static_cast<DFind&>(d).combo.SetText(L"*");
            way.close();
            d.SendMessage(WM_COMMAND, IDOK, 0);
        });
        // A window menu that waits for a key it never gets ends.
        const UINT_PTR menuEnd = ::SetTimer(nullptr, 0, 5000, EndTheMenu);
        diza->PostMessage(WM_COMMAND, kCmdFind, 0);
        RunLoop(app);
        wintest::PumpUntil([&] { return !::IsWindow(Main().m_hWnd); }, 1000);
        ::KillTimer(nullptr, menuEnd);
        EXPECT_EQ(g_boxTexts, (std::vector<std::wstring>{ L"Do You want cancel all operations ?" }));
        EXPECT_EQ(g_findRunningAtQuestion, std::vector<bool>{ true });
        ASSERT_EQ(::IsWindow(Main().m_hWnd) != FALSE, way.answer == IDNO);
    }
}

// A close posted while a dialog of the file (or the options dialog on the file's set) is open waits
// for the dialog: its caller goes on with the file. Then the program closes, asking first when the
// dialog started a find.
struct UnderDialog {
    Dialog* dialog = nullptr;
    std::function<void(Dialog&)> end;
    FileParseThread* file = nullptr;   // the one open file when the dialog ended
    bool ended = false;
};
UnderDialog g_under;
FileParseThread* TheOneOpenFile() {
    FileTabber* tabs = App().mainWindow.tabber.get();
    return tabs && tabs->Count() == 1 ? tabs->FileAt(0) : nullptr;
}
void CALLBACK EndTheDialogUnderTheClose(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    g_under.file = TheOneOpenFile();
    if (g_under.file)
        g_under.end(*g_under.dialog);   // else what it would give is already freed
    g_under.ended = !g_under.dialog->IsRunning();
    if (!g_under.ended)
        g_under.dialog->EndDialog(IDCANCEL);
}

void PressShiftDown(CApp* app, CWnd& pane, int times) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
    ::SetKeyboardState(keys);
    for (int i = 0; i < times; ++i) {
        pane.PostMessage(WM_KEYDOWN, VK_DOWN, 1);
        RunLoop(app);
    }
    keys[VK_SHIFT] = keys[VK_LSHIFT] = 0;
    ::SetKeyboardState(keys);
    pane.PostMessage(WM_KEYUP, VK_SHIFT, 0xC0000001);
    RunLoop(app);
}

void DoubleClickTheBookmarkNote(CApp* app, FilePane& window) {
    window.DizaWindow()->PostMessage(WM_COMMAND, kCmdToggleBookmark, 0);
    RunLoop(app);
    auto* side = static_cast<FileSideTab*>(window.SideTab());
    side->SelectTab(kIdBookmarkList);
    BookmarkPane& list = side->bookmarks;
    list.SendMessage(WM_ERASEBKGND, 0, 0);   // lays the cells out
    const RECT row = list.GetRowRect(0);
    ASSERT_TRUE(list.line && list.line->note);
    const LPARAM at = MAKELPARAM(list.line->note->rect.left + 2, (row.top + row.bottom) / 2);
    list.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    list.PostMessage(WM_LBUTTONUP, 0, at);
    list.PostMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
}

TEST_F(ShellTest, ACloseWhileAFileDialogIsOpenWaitsForItThenCloses) {
    const auto ok = [](Dialog& d) { d.SendMessage(WM_COMMAND, IDOK, 0); };
    const auto typed = [ok](const wchar_t* text) {
        return [ok, text](Dialog& d) { d.SetItemText(11, text); ok(d); };
    };
    struct Way {
        const char* dialog;
        UINT command;   // 0: a double click on the note of the bookmark at the cursor
        bool toMain;
        std::function<void(Dialog&)> end;
        bool asks;   // the dialog starts a find, which is running when the close comes back
    };
    const Way ways[] = {
        {"find", kCmdFind, false, [ok](Dialog& d) { static_cast<DFind&>(d).combo.SetText(L"*"); ok(d); }, true},
        {"name", kCmdName, false, typed(L"under_close"), false},
        {"comment", kCmdCommentLine, false, typed(L"under close"), false},
        {"go-to", kCmdGoto, false, [](Dialog& d) { d.SendMessage(WM_COMMAND, IDCANCEL, 0); }, false},
        {"data array", kCmdByte, false, ok, false},
        {"bookmark note", 0, false, typed(L"under close"), false},
        {"options", ID_OPTIONS, true, ok, false},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.dialog);
        AnswerOpenDialogs({true});
        ASSERT_TRUE(Start(Quoted(File(std::string(0x1000, 'A').c_str()))));
        ASSERT_EQ(Tabs().Count(), 1);
        FileParseThread* document = Tabs().FileAt(0);
        CWnd* diza = Tabs().WindowAt(0)->DizaWindow();
        ASSERT_NE(diza, nullptr);
        if (way.command == kCmdByte) {
            PressShiftDown(app, *diza, 3);   // a marked block: the byte maker asks for the array
            ASSERT_EQ(static_cast<FileDizaPane*>(diza)->Page().selection.state, BlockSelection::kMarked);
        }
        g_boxTexts.clear();
        g_findRunningAtQuestion.clear();
        g_closeAnswer = IDYES;
        AskCancel::showBox = AnswerTheClose;
        g_under = UnderDialog{};
        g_under.end = way.end;
        bool opened = false;
        PushModalAction([&](Dialog& d) {
            opened = true;
            g_under.dialog = &d;
            Main().PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
            // Behind the close in the dialog's own loop: the dialog ends (a timer's message comes
            // after the posted ones).
            ::SetTimer(nullptr, 0, 50, EndTheDialogUnderTheClose);
        });
        if (way.command)
            (way.toMain ? static_cast<CWnd&>(Main()) : *diza).PostMessage(WM_COMMAND, way.command, 0);
        else
            DoubleClickTheBookmarkNote(app, *Tabs().WindowAt(0));
        RunLoop(app);
        wintest::PumpUntil([&] { return !::IsWindow(Main().m_hWnd); }, 5000);
        EXPECT_TRUE(opened);
        EXPECT_EQ(g_under.file, document);
        EXPECT_TRUE(g_under.ended);
        EXPECT_EQ(g_boxTexts, way.asks ? std::vector<std::wstring>{ L"Do You want cancel all operations ?" }
                                       : std::vector<std::wstring>{});
        EXPECT_EQ(g_findRunningAtQuestion, std::vector<bool>(way.asks ? 1 : 0, true));
        EXPECT_FALSE(::IsWindow(Main().m_hWnd));
        TearDown();
        SetUp();
    }
}

// The same for a real message box: the error box of an options Save that fails.
BOOL CALLBACK FindVisibleBox(HWND window, LPARAM found) {
    wchar_t kind[16] = {};
    ::GetClassNameW(window, kind, 16);
    if (std::wstring(kind) != L"#32770" || !::IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}
HWND TheVisibleBox() {
    HWND box = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindVisibleBox, reinterpret_cast<LPARAM>(&box));
    return box;
}
UINT_PTR g_boxTimer = 0;
void CALLBACK EndTheBoxUnderTheClose(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    g_under.file = TheOneOpenFile();
    const HWND box = TheVisibleBox();
    g_under.ended = box != nullptr;
    if (box)
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
}
// Once the box is up (a timer's message comes when its loop waits): the close, then the box's end.
void CALLBACK CloseUnderTheBox(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    if (!TheVisibleBox())
        return;
    App().mainWindow.PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    g_boxTimer = ::SetTimer(nullptr, 0, 50, EndTheBoxUnderTheClose);
}

TEST_F(ShellTest, ACloseWhileAMessageBoxIsOpenWaitsForItThenCloses) {
    const std::wstring path = OptionsFile("Version=1\n");
    AnswerOpenDialogs({true});
    ASSERT_TRUE(Start(Quoted(File())));
    ASSERT_EQ(Tabs().Count(), 1);
    FileParseThread* document = Tabs().FileAt(0);
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    g_under = UnderDialog{};
    PushModalAction([](Dialog& d) {
        g_boxTimer = ::SetTimer(nullptr, 0, 50, CloseUnderTheBox);
        ::SendMessageW(d.Item(6), BM_CLICK, 0, 0);   // Save
    });
    Main().PostMessage(WM_COMMAND, ID_OPTIONS, 0);
    RunLoop(app);
    wintest::PumpUntil([&] { return !::IsWindow(Main().m_hWnd); }, 5000);
    ::KillTimer(nullptr, g_boxTimer);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(LastMessageBox().text, L"Options file error: The options file '" + path + L"' is read-only");
    EXPECT_TRUE(g_under.ended);
    EXPECT_EQ(g_under.file, document);
    EXPECT_FALSE(::IsWindow(Main().m_hWnd));
}

// The same for the code page menu of the file's status bar.
void CALLBACK EndTheMenuUnderTheClose(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    g_under.file = TheOneOpenFile();
    g_under.ended = true;
    ::EndMenu();
}

TEST_F(ShellTest, ACloseWhileAStatusBarMenuIsOpenWaitsForIt) {
    AnswerOpenDialogs({true});
    ASSERT_TRUE(Start(Quoted(File())));
    ASSERT_EQ(Tabs().Count(), 1);
    FileParseThread* document = Tabs().FileAt(0);
    FileStatusBar* bar = Tabs().WindowAt(0)->StatusBar();
    bar->Invalidate();
    bar->UpdateWindow();
    g_under = UnderDialog{};
    const RECT r = bar->GetClientRect();
    bar->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(bar->cells[FileStatusBar::kCodepage].left + 2, r.bottom / 2));
    Main().PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 200, EndTheMenuUnderTheClose);
    RunLoop(app);
    wintest::PumpUntil([&] { return !::IsWindow(Main().m_hWnd); }, 5000);
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(g_under.ended);
    EXPECT_EQ(g_under.file, document);
    EXPECT_FALSE(::IsWindow(Main().m_hWnd));
}

// A double click on the tab strip while a dialog of the file is open does not reload the file under it.
TEST_F(ShellTest, NoReloadWhileAFileDialogIsOpen) {
    AnswerOpenDialogs({true});
    ASSERT_TRUE(Start(Quoted(File())));
    ASSERT_EQ(Tabs().Count(), 1);
    FileParseThread* document = Tabs().FileAt(0);
    Tabs().Invalidate();
    Tabs().UpdateWindow();
    ASSERT_EQ(Tabs().tabRects.size(), 1u);
    const RECT tab = Tabs().tabRects[0];
    g_under = UnderDialog{};
    g_under.end = [](Dialog& d) { d.SendMessage(WM_COMMAND, IDCANCEL, 0); };
    PushModalAction([&](Dialog& d) {
        g_under.dialog = &d;
        Tabs().PostMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2));
        ::SetTimer(nullptr, 0, 50, EndTheDialogUnderTheClose);
    });
    AnswerOpenDialogs({true});   // the reload's open dialog, taken only if the reload runs
    Tabs().WindowAt(0)->DizaWindow()->PostMessage(WM_COMMAND, kCmdGoto, 0);
    RunLoop(app);
    EXPECT_EQ(g_under.file, document);
    EXPECT_TRUE(g_under.ended);
    EXPECT_EQ(PendingModalActions(), 1u);
    DropModalActions();
    EXPECT_EQ(Tabs().FileAt(0), document);
}

// A click on a maker button queued before the find's Esc question waits for the answer: inside the
// box's loop nothing changes the document that the find walks. It runs afterwards.
bool g_modifiedInQuestion = true;
int AnswerNoAfterTheQueue(HWND, const wchar_t* text, const wchar_t*, UINT) {
    g_boxTexts.push_back(text);
    wintest::DrainQueue();
    g_modifiedInQuestion = App().mainWindow.tabber->FileAt(0)->modified;
    return IDNO;
}

TEST_F(ShellTest, InputQueuedBeforeTheFindsQuestionWaitsForItsAnswer) {
    AnswerOpenDialogs({true});
    ASSERT_TRUE(Start(Quoted(File(std::string(0x1000, 'A').c_str()))));
    ASSERT_EQ(Tabs().Count(), 1);
    FilePane* window = Tabs().WindowAt(0);
    CWnd* diza = window->DizaWindow();
    CWnd* button = window->ButtonBar()->FindButton(kCmdByte);
    ASSERT_TRUE(diza && button);
    ASSERT_FALSE(window->document->modified);
    g_boxTexts.clear();
    AskCancel::showBox = AnswerNoAfterTheQueue;
    PushModalAction([&](Dialog& d) {
        static_cast<DFind&>(d).combo.SetText(L"*");
        const RECT r = button->GetClientRect();
        button->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right / 2, r.bottom / 2));
        button->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(r.right / 2, r.bottom / 2));
        diza->PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
        d.SendMessage(WM_COMMAND, IDOK, 0);
    });
    diza->PostMessage(WM_COMMAND, kCmdFind, 0);
    RunLoop(app);
    RunLoop(app);
    EXPECT_EQ(g_boxTexts, (std::vector<std::wstring>{ L"Do You want cancel finding ?" }));
    EXPECT_FALSE(g_modifiedInQuestion);
    EXPECT_TRUE(window->document->modified);   // the click was taken after the answer
}

}  // namespace
