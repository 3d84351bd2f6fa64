// The disassembly pane and its lists driven as a user drives them: the application's idle processing
// sets the button states, buttons are clicked with the mouse messages of a click, keys and double clicks
// go through the message queue, and what the user sees is asserted.

#include "app/AppMessages.h"
#include "app/DFind.h"
#include "app/DizaPage.h"
#include "app/DGoto.h"
#include "app/DizaZoneLines.h"
#include "app/FileButtonBar.h"
#include "classlib/Screenshot.h"
#include "app/FileDizaPane.h"
#include "app/FileDumpPane.h"
#include "app/FileMainPane.h"
#include "app/FilePane.h"
#include "app/FileLowPane.h"
#include "app/FileSideTab.h"
#include "app/FileStatusBar.h"
#include "app/SideLists.h"
#include "app/StringzFilterTexts.h"
#include "app/resources/resource.h"
#include "classlib/Application.h"
#include "classlib/Dialog.h"
#include "core/SectionLock.h"
#include "document/Diza.h"
#include "document/DizaMap.h"
#include "document/DizaWalk.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "document/ParseRequest.h"
#include "document/ScanStringz.h"
#include "document/StringzTable.h"
#include "options/BColorTheme.h"
#include "options/Options.h"
#include "tests/app/FileFixtures.h"
#include "tests/classlib/FakeCursorClip.h"
#include "tests/classlib/WindowTestSupport.h"
#include "toolkit/BButton.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using fixtures::StepParser;

using wintest::SetKey;

class DizaInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        options_.ApplyColorTheme();
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        path_ = fixtures::ScratchPath((L"input-" + std::wstring(name.begin(), name.end()) + L".bin").c_str());
        fixtures::MakeFileWindow(frame_, window_, doc_, directory_, options_, SIZE{ 1000, 720 });
        app_.SetMainWindow(&frame_);
    }
    void TearDown() override {
        SetKey(VK_SHIFT, false);
        SetKey(VK_CONTROL, false);
        app_.SetMainWindow(nullptr);
        fixtures::CloseFileWindow(frame_, window_, directory_);
        ::DeleteFileW(path_.c_str());
    }
    // A file of `size` bytes; one data segment over its first 0x2000, 4-byte items over the first 0x100.
    // `text` goes at the file's offset 0x1C00 (address 0x2C00); `meanwhile` runs once the parse has
    // posted its end.
    void Open(std::function<void(FileParseThread*)> more = nullptr, uint32_t flags = 0, size_t size = 0x2000,
              const std::string& text = {}, std::function<void()> meanwhile = nullptr) {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(i * 5);
        bytes.replace(kTextOffset, text.size(), text);
        fixtures::WriteFileBytes(path_, bytes);
        StepParser parser([&](FileParseThread* d) { return fixtures::LayDataItems(d, 0x2000, 0, more); });
        ASSERT_TRUE(doc_->OpenFile(fixtures::RequestFor(path_, &parser, flags)));
        if (meanwhile)
            meanwhile();
        Loop();
        Diza().SetFocus();
        Loop();
    }
    // The message loop's work until the queue is empty, then the application's idle processing.
    void Loop() {
        MSG msg;
        for (int i = 0; i < 2000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i)
            app_.PumpMessage(msg);
        app_.RunIdle();
    }
    // The application's loop runs until `done` holds; false when it still does not after a bound that a
    // loaded machine passes too.
    bool LoopUntil(const std::function<bool()>& done) {
        const DWORD start = ::GetTickCount();
        for (;;) {
            Loop();
            if (done())
                return true;
            if (::GetTickCount() - start > 20000)
                return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        }
    }
    FileMainPane& Main() { return *dynamic_cast<FileMainPane*>(window_->MainPane()); }
    FileDizaPane& Diza() { return Main().diza; }
    FileSideTab& Side() { return *dynamic_cast<FileSideTab*>(window_->SideTab()); }
    static BButton* ButtonIn(HWND parent, UINT id) {
        return dynamic_cast<BButton*>(CWnd::FromHandle(::GetDlgItem(parent, static_cast<int>(id))));
    }
    BButton* PaneButton(UINT id) { return ButtonIn(Diza().m_hWnd, id); }
    BButton* BarButton(UINT id) { return ButtonIn(window_->ButtonBar()->m_hWnd, id); }
    // What a click does: the button goes down and up at its middle.
    void Click(BButton* button) {
        ASSERT_NE(nullptr, button);
        const RECT r = button->GetClientRect();
        ASSERT_GT(r.right, 0) << "the button is not laid out";
        const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
        button->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        button->PostMessage(WM_LBUTTONUP, 0, at);
        Loop();
    }
    // A key pressed on the pane that has the focus.
    void Key(UINT key) {
        HWND target = ::GetFocus() ? ::GetFocus() : Diza().m_hWnd;
        ::PostMessageW(target, WM_KEYDOWN, key, 1);
        ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
        Loop();
    }
    void ShiftKeys(UINT key, int times) {
        SetKey(VK_SHIFT, true);
        for (int i = 0; i < times; ++i) {
            ::PostMessageW(Diza().m_hWnd, WM_KEYDOWN, key, 1);
            Loop();
        }
        SetKey(VK_SHIFT, false);
        ::PostMessageW(Diza().m_hWnd, WM_KEYUP, VK_SHIFT, 0xC0000001);
        Loop();
    }
    // A key as the keyboard gives it: down and up with its scan code, to the window (the loop makes the
    // character).
    static void PostKey(HWND to, UINT key) {
        const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
        ::PostMessageW(to, WM_KEYDOWN, key, scan | 1);
        ::PostMessageW(to, WM_KEYUP, key, scan | 0xC0000001);
    }
    // A list of the side tab shown and focused.
    template <class List>
    List& ShowList(List& list) {
        EXPECT_TRUE(Side().SelectTab(::GetDlgCtrlID(list.m_hWnd)));
        list.SetFocus();
        Loop();
        return list;
    }
    // A file with these names, its names list shown and focused.
    GlobalNamePane& OpenNames(const std::vector<std::pair<int64_t, std::wstring>>& list) {
        Open([&](FileParseThread* d) {
            for (const auto& name : list)
                d->stores.names.Add(name.first, name.second.c_str(), ' ');
        });
        return ShowList(Side().names);
    }
    static constexpr size_t kTextOffset = 0x1C00;
    static constexpr int64_t kTextAddress = 0x2C00;
    static constexpr int64_t kRunAddress = 0x3000;
    static constexpr size_t kRunSize = 0x10010;
    // Strings of every kind over the file's bytes (offset * 5: upper and lower case, bytes past 0x7F);
    // a UTF-8 string whose C0 80 gives a character 0 (the row shows `"ab`), an ANSI string with a zero
    // after "Oz", a wide and a UTF-8 string holding U+10400 (lowered with its surrogate pair), an ANSI
    // string of 20 "x" just before "QZ" and a zero, an ANSI string ending "YZ" where the first
    // segment's bytes end; in a second segment a UTF-8 and an ANSI
    // string longer than a row shows (the UTF-8 row ends "Ék" and a C3 whose A9 lies past it, "QQQQ"
    // and a zero come after both rows' ends), then two short strings of "x", the last where the file
    // ends. The strings list shown and focused.
    void OpenStrings() {
        std::string head("ab\xC0\x80zzqxOz\0zqzQxA\0\x01\xD8\0\xDC\0\0B\xED\xA0\x81\xED\xB0\x80\0", 32);
        head += std::string(0x54 - 32, 'x') + std::string("QZ\0", 3);
        head += std::string(0x400 - 2 - head.size(), 'x') + "YZ";
        std::string run(kRunSize, 'x');
        for (size_t k = 0; k < 0x10000; ++k)
            run[k] = "Xyz Ab"[k % 6];
        run.replace(0xFFFC, 10, std::string("\xC3\x89k\xC3\xA9QQQQ", 10));
        Open([](FileParseThread* d) {
            for (int i = 0; i < 60; ++i)
                d->strings.Insert(0x1000 + 0x31 * i, 2 + i % 7, 1 + i % 4);
            d->strings.Insert(kTextAddress, 7, kStringzUtf8);
            d->strings.Insert(kTextAddress + 8, 7, kStringzAnsi);
            d->strings.Insert(kTextAddress + 16, 4, kStringzWide);
            d->strings.Insert(kTextAddress + 24, 8, kStringzUtf8);
            d->strings.Insert(kTextAddress + 0x40, 20, kStringzAnsi);
            d->strings.Insert(0x2FD8, 40, kStringzAnsi);
            d->AddDataSegment(kRunAddress, 0x2000, kRunSize, kRunSize);
            d->strings.Insert(kRunAddress, 0x10008, kStringzUtf8);
            d->strings.Insert(kRunAddress + 1, 0x10008, kStringzAnsi);
            d->strings.Insert(kRunAddress + 0x10006, 6, kStringzAnsi);
            d->strings.Insert(kRunAddress + 0x1000C, 4, kStringzAnsi);
        }, 0, 0x2000, head + run);
        ShowList(Side().strings);
    }
    // n idle slices of the strings filter's texts (the timer's messages alone).
    void FilterTextSlices(int n) {
        for (int done = 0, waited = 0; done < n && waited < 5000; ++waited) {
            MSG msg;
            if (::PeekMessageW(&msg, Side().strings.m_hWnd, WM_TIMER, WM_TIMER, PM_REMOVE)) {
                app_.PumpMessage(msg);
                ++done;
            } else {
                ::Sleep(1);
            }
        }
    }
    // The idle slices run until the strings filter's texts match the table or are given up.
    void WaitForFilterTexts() {
        StringzFilterTexts& texts = Side().strings.filterTexts;
        for (int i = 0; i < 5000 && !texts.Current(doc_) && !texts.Failed(doc_); ++i) {
            ::Sleep(1);
            Loop();
        }
    }
    // Filters typed into the strings list, each replacing the last (BackSpaces to what they share,
    // then its characters, each key taken as it comes), the rows then checked against the formatted
    // rows: the quotes and the L, whole texts of every kind (ANSI, wide, OEM, UTF-8, past 0x7F), texts
    // cut by a character 0, the ends of the texts longer than a row shows, and what lies past them.
    void TypeStringsFilters(std::wstring& filter) {
        const int count = doc_->strings.Count();
        const std::wstring utf8 = ShownString(count - 4), ansi = ShownString(count - 3);
        // Each filter, and how many rows hold it (-1: some).
        const std::pair<std::wstring, int> filters[] = {
            { L"l\"", -1 }, { L"'", -1 }, { L"\"", -1 }, { ShownString(0), -1 }, { ShownString(1), -1 },
            { ShownString(2), -1 }, { ShownString(3), -1 }, { ShownString(28).substr(1), -1 },
            { ShownString(59), -1 }, { utf8.substr(utf8.size() - 4), 1 }, { ansi.substr(ansi.size() - 3), 1 },
            { ansi.substr(ansi.size() - 3, 2), -1 }, { ansi.substr(ansi.size() - 2) + L"z", 0 },
            { ansi.substr(ansi.size() - 2), 1 }, { L"yz'", 1 }, { L"yz", -1 }, { L"xxz", 0 }, { L"xx", -1 },
            { L"qz'x", 0 }, { L"qz'", 0 }, { L"\"ab", 1 },
            { L"ab\"", 0 }, { L"oz'", 1 }, { L"a\U00010428", 1 }, { L"b\U00010428", 1 }, { L"zq", 0 },
            { L"qqqq", 0 }, { L"qq", 0 } };
        for (const auto& [text, rows] : filters) {
            const size_t kept = static_cast<size_t>(
                std::mismatch(filter.begin(), filter.end(), text.begin(), text.end()).first - filter.begin());
            for (wchar_t c : std::wstring(filter.size() - kept, VK_BACK) + text.substr(kept))
                ::PostMessageW(::GetFocus(), WM_CHAR, c, 1);
            Loop();
            filter = text;
            const size_t found = CheckStringsFilter(filter);
            EXPECT_TRUE(rows < 0 ? found > 0 : found == static_cast<size_t>(rows)) << found << " rows hold "
                                                                               << std::string(text.begin(), text.end());
        }
    }
    // The caption the side tab's strip shows for a list, once it has drawn all it was asked to.
    std::wstring DrawnCaption(int id) {
        MSG msg;
        while (::PeekMessageW(&msg, Side().m_hWnd, WM_PAINT, WM_PAINT, PM_REMOVE))
            app_.PumpMessage(msg);
        EXPECT_FALSE(::GetUpdateRect(Side().m_hWnd, nullptr, FALSE)) << "the strip is still to be drawn";
        for (BTabOne* tab : Side().tabs)
            if (tab->window->GetDlgCtrlID() == id)
                return tab->caption.c_str();
        return L"?";
    }
    // The rows a list shows in the zone's column, once it has drawn all it was asked to.
    int DrawnRows(BMultiList& list, const BZone& zone) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            app_.PumpMessage(msg);
        EXPECT_FALSE(::GetUpdateRect(list.m_hWnd, nullptr, FALSE)) << "the list is still to be drawn";
        return fixtures::RowsInPage(list, zone);
    }
    // The lowered text string i shows.
    std::wstring ShownString(int i) {
        if (shownChanges_ != doc_->strings.Changes() || shown_.empty()) {
            shown_.clear();
            for (int k = 0; k < doc_->strings.Count(); ++k) {
                STRINGZ_DATA r{};
                doc_->strings.Get(k, r);
                shown_.push_back(std::wstring(FilterLower(FormatStringz(doc_, r).c_str()).c_str()));
            }
            shownChanges_ = doc_->strings.Changes();
        }
        return i >= 0 && static_cast<size_t>(i) < shown_.size() ? shown_[static_cast<size_t>(i)] : std::wstring();
    }
    // The strings list shows exactly the strings whose shown text holds the filter, in order; how many.
    size_t CheckStringsFilter(const std::wstring& filter) {
        StringzPane& strings = Side().strings;
        EXPECT_EQ(StringW(filter.c_str()), strings.filterText);
        std::vector<int64_t> expected, rows;
        for (int i = 0; i < doc_->strings.Count(); ++i) {
            STRINGZ_DATA r{};
            doc_->strings.Get(i, r);
            if (ShownString(i).find(filter) != std::wstring::npos)
                expected.push_back(r.address);
        }
        strings.Invalidate();
        Loop();
        for (int row = 0; row < strings.GetCount(); ++row)
            rows.push_back(static_cast<const StringzRow*>(strings.GetItem(row))->record.address);
        EXPECT_EQ(expected, rows) << "filter " << std::string(filter.begin(), filter.end());
        return expected.size();
    }
    // Characters typed into the focused list or filter, each checked; a backspace shortens the filter.
    void TypeStringsFilter(const std::wstring& keys, std::wstring& filter) {
        for (wchar_t c : keys) {
            ::PostMessageW(::GetFocus(), WM_CHAR, c, 1);
            Loop();
            if (c == VK_BACK)
                filter.pop_back();
            else
                filter += static_cast<wchar_t>(::towlower(c));
            CheckStringsFilter(filter);
        }
    }
    // The window with the control id among the file window's descendants.
    CWnd* Descendant(int id) {
        return CWnd::FromHandle(wintest::DescendantWithId(window_->m_hWnd, id));
    }
    FileDumpPane* Dump() { return dynamic_cast<FileDumpPane*>(Descendant(FileLongTab::kIdDump)); }
    bool Logged(const std::wstring& text) {
        BTextRoll& ring = window_->LogPane()->Ring();
        for (int i = 0; i < ring.Count(); ++i)
            if (std::wstring(ring.GetText(i)) == text)
                return true;
        return false;
    }
    // The addresses of the page's item rows from the first row at or after `from`.
    std::vector<int64_t> ItemRowsFrom(int64_t from, size_t count) {
        std::vector<int64_t> rows;
        DizaPage& page = Diza().Page();
        for (int i = 0; i < page.LineCount() && rows.size() < count; ++i)
            if (page.Row(i).address >= from && diza::IsItemLine(page.Row(i).line))
                rows.push_back(page.Row(i).address);
        return rows;
    }
    // A click (or a double click) of the left button on a zone of a row of a pane.
    static void ClickZone(BMultiZone& pane, const BZone& zone, int row, bool twice = false) {
        const RECT r = pane.GetRowRect(row);
        const LPARAM at = MAKELPARAM((zone.rect.left + zone.rect.right) / 2, (r.top + r.bottom) / 2);
        pane.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        pane.PostMessage(WM_LBUTTONUP, 0, at);
        if (twice) {
            pane.PostMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
            pane.PostMessage(WM_LBUTTONUP, 0, at);
        }
    }
    // A go-to as the go-to dialog posts it; the target's row must be on the page and be the cursor row.
    // The go-to dialog opened from the pane, the text typed and OK pressed.
    void GotoByDialog(const wchar_t* typed) {
        PushModalAction([typed](Dialog& d) {
            d.SetItemText(IDC_GOTO_TEXT, typed);
            d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_GOTO_TEXT, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(d.Item(IDC_GOTO_TEXT)));
            d.SendMessage(WM_COMMAND, IDOK);
        });
        Diza().PostMessage(WM_COMMAND, kCmdGoto, 0);
        Loop();
        Loop();
    }
    void GotoStandsOn(int64_t target) {
        Diza().PostMessage(kMsgGoto, 0, static_cast<LPARAM>(target));
        Loop();
        DizaPage& page = Diza().Page();
        const int row = page.LineOfAddress(target);
        ASSERT_GE(row, 0) << std::hex << target << " is not on the page";
        EXPECT_EQ(target, page.Row(row).address);
        EXPECT_EQ(row, page.currentRow);
    }
    ::Diza ItemAt(int64_t address) {
        SectionLock lock(doc_->FileLock());
        return doc_->Map().ItemAt(address);
    }

    std::vector<std::wstring> shown_;   // ShownString's texts, of the table at shownChanges_
    uint32_t shownChanges_ = 0;
    wintest::FakeCursorClip clip_;
    Application app_;
    Options options_;
    fixtures::TestDirectory directory_;
    CWnd frame_;
    FilePane* window_ = nullptr;
    FileParseThread* doc_ = nullptr;
    std::wstring path_;
};

TEST_F(DizaInputTest, IdleSetsTheButtonStatesAndTheFoldButtonMakesAndRemovesAFold) {
    Open([](FileParseThread* d) { d->stores.bookmarks.AddKind(0x1040, L"", 0); });
    BButton* fold = PaneButton(kCmdCollapse);
    BButton* comments = PaneButton(kCmdShowComments);
    BButton* dumpBytes = PaneButton(kCmdShowDumpBytes);
    ASSERT_TRUE(fold && comments && dumpBytes);
    ASSERT_TRUE(Diza().CommentPaneVisible());
    EXPECT_TRUE(dumpBytes->GetCheck());
    EXPECT_TRUE(comments->GetCheck());
    EXPECT_FALSE(fold->IsEffectivelyEnabled());
    // On an item row without a block: the element makers yes, the byte line no; a bookmark lies ahead.
    EXPECT_TRUE(BarButton(kCmdByte)->IsEffectivelyEnabled());
    EXPECT_FALSE(BarButton(kCmdByteline)->IsEffectivelyEnabled());
    EXPECT_TRUE(BarButton(kCmdBookmarkNext)->IsEffectivelyEnabled());
    EXPECT_FALSE(BarButton(kCmdBookmarkPrev)->IsEffectivelyEnabled());
    EXPECT_FALSE(BarButton(kCmdFindNext)->IsEffectivelyEnabled());

    // Four rows marked with Shift+Down: a fold and a byte line can be made.
    ShiftKeys(VK_DOWN, 3);
    ASSERT_EQ(BlockSelection::kMarked, Diza().Page().selection.state);
    EXPECT_TRUE(fold->IsEffectivelyEnabled());
    EXPECT_TRUE(BarButton(kCmdByteline)->IsEffectivelyEnabled());
    Click(fold);
    EXPECT_EQ(0x1010, doc_->stores.collapses.FindEnd(0x1000));
    EXPECT_FALSE(fold->IsEffectivelyEnabled());   // a range starts at the block now

    // Back on the fold's first row without a block: the button takes the fold away.
    for (int i = 0; i < 3; ++i)
        Key(VK_UP);
    EXPECT_EQ(BlockSelection::kNone, Diza().Page().selection.state);
    EXPECT_EQ(0x1000, Diza().GetCurrentAddress());
    EXPECT_TRUE(fold->IsEffectivelyEnabled());
    Click(fold);
    EXPECT_EQ(-1, doc_->stores.collapses.FindEnd(0x1000));
    EXPECT_FALSE(fold->IsEffectivelyEnabled());

    // The comments button hides the comment pane, and shows released.
    Click(comments);
    EXPECT_FALSE(Diza().CommentPaneVisible());
    EXPECT_FALSE(comments->GetCheck());
    Click(dumpBytes);
    EXPECT_FALSE(dumpBytes->GetCheck());
    EXPECT_TRUE(Diza().bodyLine->dump->hidden);
}

// The byte line button cuts the span up to the byte-line end into lines of the block's length, and the
// made lines replace the marked block on the page.
TEST_F(DizaInputTest, BytelineButtonMakesLinesOfTheBlocksLengthUpToTheLineEnd) {
    Open([](FileParseThread* d) { d->Map().AddDumpItem(0x1100); });
    FileDumpPane* dump = Dump();
    ASSERT_NE(nullptr, dump);
    struct Case {
        int64_t at;          // the block's first row
        int rows;            // rows marked
        uint32_t length;     // the block's length: one line
        int64_t runEnd;      // where the byte line's run ends
    };
    const Case cases[] = {
        // Four 4-byte items: the span reaches past the next item, one whole line fits.
        { 0x1000, 4, 16, 0x1010 },
        // Two 16-byte dump rows: lines of 32 bytes up to the segment's end.
        { 0x1100, 2, 32, 0x3000 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at);
        Diza().PostMessage(kMsgGoto, 0, static_cast<LPARAM>(c.at));
        Loop();
        ASSERT_EQ(c.at, Diza().CurrentPosition().address);
        ShiftKeys(VK_DOWN, c.rows - 1);
        ASSERT_EQ(int64_t{ c.length }, Diza().Page().selection.Length(doc_));
        ASSERT_NE(-1, dump->markFirst);
        ASSERT_TRUE(BarButton(kCmdByteline)->IsEffectivelyEnabled());
        Click(BarButton(kCmdByteline));
        EXPECT_EQ(0xB0000000u | c.length, ItemAt(c.at).kind);
        {
            SectionLock lock(doc_->FileLock());
            EXPECT_EQ(c.runEnd, doc_->Map().RunEnd(c.at));
        }
        EXPECT_TRUE(Logged(L"Byteline one line length: " + std::to_wstring(c.length)));
        EXPECT_TRUE(doc_->modified);
        // The page shows the lines, and the block is gone from both panes.
        const std::vector<int64_t> rows = ItemRowsFrom(c.at, 3);
        ASSERT_EQ(3u, rows.size());
        EXPECT_EQ(c.at + c.length, rows[1]);
        EXPECT_EQ(c.runEnd > c.at + c.length ? c.at + 2 * c.length : c.runEnd + 4, rows[2]);
        EXPECT_EQ(BlockSelection::kNone, Diza().Page().selection.state);
        EXPECT_EQ(-1, dump->markFirst);
    }
}

// A click on a row's refers mark fills the refers list and brings its tab to the front; on a row without
// refers it leaves the tab shown.
TEST_F(DizaInputTest, AClickOnTheRefersMarkShowsTheRefersTab) {
    Open(nullptr, kRequestRefers);
    doc_->stores.refers.AddPair(0x1020, 0x1008);
    doc_->stores.refers.AddPair(0x1030, 0x1009);
    Diza().Invalidate();
    Loop();
    FileSideTab& side = Side();
    // A line that nothing refers to leaves the list that is shown.
    ShowList(side.names);
    ClickZone(Diza(), *Diza().bodyLine->refers, Diza().Page().LineOfAddress(0x1010));
    Loop();
    EXPECT_EQ(0x1010, Diza().CurrentPosition().address);
    EXPECT_EQ(&side.names, side.active);
    const int row = Diza().Page().LineOfAddress(0x1008);
    ASSERT_GE(row, 0);
    ClickZone(Diza(), *Diza().bodyLine->refers, row);
    Loop();
    EXPECT_EQ(0x1008, Diza().CurrentPosition().address);
    EXPECT_EQ(2, side.refers.GetCount());
    EXPECT_EQ(&side.refers, side.active);
    EXPECT_TRUE(side.refers.IsWindowVisible());
    EXPECT_TRUE(Logged(L"Target refer address " + std::wstring(doc_->AddressText(0x1008).c_str())));
}

// The selected row of a list.
int64_t SelectedRow(BMultiList& list) { return list.Pager()->GetCurrent(list.VBar()); }

// The bookmark and find steps, and a click on a row's bookmark mark, select the row they went to in
// their list.
TEST_F(DizaInputTest, BookmarkAndFindStepsSelectTheRowTheyWentTo) {
    Open([](FileParseThread* d) {
        for (int64_t at : { 0x1010, 0x1030, 0x1050 })
            d->stores.bookmarks.AddKind(at, L"", 0);
    });
    BookmarkPane& marks = Side().bookmarks;
    struct Step {
        UINT command;
        int64_t address;
        int64_t row;
    };
    const Step bookmarkSteps[] = { { kCmdBookmarkNext, 0x1010, 0 }, { kCmdBookmarkNext, 0x1030, 1 },
                                   { kCmdBookmarkNext, 0x1050, 2 }, { kCmdBookmarkPrev, 0x1030, 1 } };
    for (const Step& step : bookmarkSteps) {
        Click(BarButton(step.command));
        EXPECT_EQ(step.address, Diza().CurrentPosition().address) << step.address;
        EXPECT_EQ(step.row, SelectedRow(marks)) << step.address;
    }
    // A click on the bookmark mark of the row at 0x1020 sets a bookmark there, and the list selects it.
    ClickZone(Diza(), *Diza().bodyLine->bookmark, Diza().Page().LineOfAddress(0x1020));
    Loop();
    BOOKMARK_DATA mark{};
    EXPECT_TRUE(doc_->stores.bookmarks.Get(0x1020, &mark));
    EXPECT_EQ(1, SelectedRow(marks));

    // The hits of a find in "Find2": lines, and bytes inside an item; a step from that hit goes on to the
    // next one, as the cursor stays on the hit's byte.
    FindResult* result = doc_->finds.GetResult(kFind2Pane);
    result->AddLine(DizaLinePos{ 0x1044, ItemAt(0x1044).kind }, L"dd 0");
    result->AddHit(0x1061, 2, L"00 00");
    result->AddLine(DizaLinePos{ 0x1080, ItemAt(0x1080).kind }, L"dd 0");
    doc_->finds.activePane = kFind2Pane;
    Loop();
    FindPane& hits = *Side().FindPaneAt(1);
    const Step findSteps[] = { { kCmdFindNext, 0x1044, 0 }, { kCmdFindNext, 0x1060, 1 },
                               { kCmdFindNext, 0x1080, 2 }, { kCmdFindPrev, 0x1060, 1 } };
    for (const Step& step : findSteps) {
        ASSERT_TRUE(BarButton(step.command)->IsEffectivelyEnabled()) << step.address;
        Click(BarButton(step.command));
        EXPECT_EQ(step.address, Diza().CurrentPosition().address) << step.address;
        EXPECT_EQ(step.row, SelectedRow(hits)) << step.address;
    }
}

// A find run from the Find button takes the disassembly pane to its hits as it finds them.
TEST_F(DizaInputTest, AFindHitMovesTheDisassemblyPaneThere) {
    Open([](FileParseThread* d) { d->stores.names.Add(0x1800, L"needle", ' '); });
    ASSERT_FALSE(Diza().Page().Contains(0x1800));
    FindParameters& p = doc_->finds.parameters;
    p.text = L"*needle*";
    p.flags = kFindLineMode | (1u << kFindPaneShift) | kFindCodeSegments | kFindDataSegments | kFindComments;
    PushModalAction([](Dialog& d) { static_cast<DFind&>(d).OnOK(); });
    Click(BarButton(kCmdFind));
    EXPECT_EQ(0u, PendingModalActions());
    ASSERT_EQ(1, doc_->finds.GetResult(kFind1Pane)->Count());
    EXPECT_EQ(&Side().find1, Side().active);
    EXPECT_TRUE(Diza().Page().Contains(0x1800));
    EXPECT_EQ(0x1800, Diza().GetCurrentAddress());
    EXPECT_EQ(0, SelectedRow(Side().find1));
}

// A double click on a result row, a find step and go back stand on the comment, name or continuation
// line they go to, not on its item's line.
TEST_F(DizaInputTest, GoingToALinePositionStandsOnThatLine) {
    Open([](FileParseThread* d) {
        d->stores.lineComments.SetComment(0x1040, L"first\nsecond");
        d->stores.names.Add(0x1040, L"table", ' ');
        d->stores.onlineComments.SetComment(0x1080, L"one\ntwo\nthree");
    });
    const DizaLinePos second{ 0x1040, 0x10000001 };
    const DizaLinePos name{ 0x1040, 0x20000000 };
    const DizaLinePos continuation{ 0x1080, 0xF0000001 };
    FindResult* result = doc_->finds.GetResult(kFind1Pane);
    result->AddLine(second, L";second");
    result->AddLine(name, L"table");
    result->AddLine(continuation, L";three");
    Side().SelectTab(kFind1Pane);
    Loop();
    ASSERT_EQ(kFind1Pane, doc_->finds.activePane);
    FindPane& hits = Side().find1;
    ClickZone(hits, *hits.line->ZoneById(1), 1, true);
    Loop();
    EXPECT_TRUE(SameLine(name, Diza().CurrentPosition()));
    EXPECT_EQ(Diza().m_hWnd, ::GetFocus());
    // The keys go on in the code from there.
    Key(VK_DOWN);
    EXPECT_TRUE(SameLine(DizaLinePos{ 0x1040, ItemAt(0x1040).kind }, Diza().CurrentPosition()));
    EXPECT_EQ(1, SelectedRow(hits));
    ClickZone(hits, *hits.line->ZoneById(1), 0, true);
    Loop();
    EXPECT_TRUE(SameLine(second, Diza().CurrentPosition()));

    Click(BarButton(kCmdFindNext));
    EXPECT_TRUE(SameLine(continuation, Diza().CurrentPosition()));

    // A go-to remembers the line it left; go back returns to it.
    Diza().PostMessage(kMsgGoto, 0, 0x1200);
    Loop();
    ASSERT_EQ(0x1200, Diza().CurrentPosition().address);
    Click(BarButton(kCmdGoBack));
    EXPECT_TRUE(SameLine(continuation, Diza().CurrentPosition()));
    // A place already in the history is not put in again, so go back passes it once.
    GotoByDialog(L"1200");
    GotoByDialog(L"1400");
    Click(BarButton(kCmdGoBack));
    ASSERT_EQ(0x1200, Diza().CurrentPosition().address);
    GotoByDialog(L"1400");
    Click(BarButton(kCmdGoBack));
    EXPECT_TRUE(SameLine(continuation, Diza().CurrentPosition()));
}

// A go-to into a closed fold on the page opens it and then asks whether the target is on the page: the
// opened fold pushes it below the last row, so the page moves.
TEST_F(DizaInputTest, AGotoIntoAClosedFoldOnThePageShowsTheTarget) {
    Open([](FileParseThread* d) {
        d->stores.collapses.Add(0x1010, 0x1100);
        d->stores.collapses.SetCollapsed(0x1010);
    });
    DizaPage& page = Diza().Page();
    ASSERT_EQ(0x1100, page.Row(5).address);   // 0x1000-0x100C, the fold's one line, then its end
    ASSERT_LT(page.LineCount(), 4 + 0x3C);    // opened, 0x10F0 lies below the last row
    GotoStandsOn(0x10F0);
    EXPECT_FALSE(doc_->stores.collapses.IsCollapsed(0x1010));
}

// A go-to to an item whose on-line comment continuation row is the page's top row: the item's own row
// is above the page, so the page moves to show it.
TEST_F(DizaInputTest, AGotoToTheItemOfTheTopContinuationRowShowsItsRow) {
    Open();
    ASSERT_TRUE(Diza().CommentPaneVisible());
    DizaPage& page = Diza().Page();
    const int64_t last = 0x1000 + 4 * (page.LineCount() - 1);   // the item on the page's last row
    doc_->stores.onlineComments.SetComment(last, L"one\ntwo\nthree");
    Diza().Invalidate();
    Loop();
    ASSERT_EQ(last, page.Row(page.LineCount() - 1).address);
    Key(VK_NEXT);
    ASSERT_TRUE(SameLine(DizaLinePos{ last, 0xF0000000 }, page.Row(0)));
    GotoStandsOn(last);
}

// The comment pane hidden while the page's top is a continuation row: the page then starts on the item's
// first line, and stays there when the pane shows again, as a fresh walk from the item gives.
TEST_F(DizaInputTest, TheCommentPaneToggledAtAContinuationTopKeepsTheItemsFirstLineOnTop) {
    Open();
    DizaPage& page = Diza().Page();
    const int64_t last = 0x1000 + 4 * (page.LineCount() - 1);
    doc_->stores.onlineComments.SetComment(last, L"one\ntwo\nthree");
    Diza().Invalidate();
    Loop();
    Key(VK_NEXT);
    ASSERT_TRUE(SameLine(DizaLinePos{ last, 0xF0000000 }, page.Row(0)));
    for (bool shown : { false, true }) {
        Click(PaneButton(kCmdShowComments));
        ASSERT_EQ(shown, Diza().CommentPaneVisible());
        const std::vector<DizaLinePos> fresh = fixtures::LinesFrom(doc_, last, page.LineCount());
        for (size_t i = 0; i < fresh.size(); ++i)
            ASSERT_TRUE(SameLine(fresh[i], page.Row(static_cast<int>(i)))) << "shown " << shown << ", row " << i;
    }
}

// A block marked from an on-line comment's continuation row starts at the next item for all its users:
// the status bar, the dump's marks, the fold and the makers.
TEST_F(DizaInputTest, ABlockFromAContinuationRowStartsAtTheNextItemForAllItsUsers) {
    Open([](FileParseThread* d) { d->stores.onlineComments.SetComment(0x1008, L"one\ntwo"); });
    ASSERT_TRUE(Diza().CommentPaneVisible());
    for (int i = 0; i < 3; ++i)
        Key(VK_DOWN);
    ASSERT_TRUE(SameLine(DizaLinePos{ 0x1008, 0xF0000000 }, Diza().CurrentPosition()));
    ShiftKeys(VK_DOWN, 2);   // to the item at 0x1010: the block is 0x100C-0x1013
    ASSERT_EQ(BlockSelection::kMarked, Diza().Page().selection.state);
    const StatusCell& cell = window_->StatusBar()->cells[FileStatusBar::kSelection];
    EXPECT_EQ(doc_->AddressText(0x100C) + L"/8", cell.text);
    ASSERT_NE(nullptr, Dump());
    EXPECT_EQ(0xC, Dump()->markFirst);
    EXPECT_EQ(0x14, Dump()->markEnd);
    Click(PaneButton(kCmdCollapse));
    EXPECT_EQ(0x1014, doc_->stores.collapses.FindEnd(0x100C));
    EXPECT_EQ(-1, doc_->stores.collapses.FindEnd(0x1008));
    ASSERT_EQ(BlockSelection::kMarked, Diza().Page().selection.state);
    const uint32_t dword = ItemAt(0x1008).kind;
    Click(BarButton(kCmdDump));
    EXPECT_EQ(dword, ItemAt(0x1008).kind);
    EXPECT_EQ(diza::kBytes, diza::KindOf(ItemAt(0x100C).kind));
    EXPECT_EQ(diza::kBytes, diza::KindOf(ItemAt(0x1010).kind));
}

// Ctrl+click on a word of the comment pane highlights that word of the clicked row.
TEST_F(DizaInputTest, CtrlClickInTheCommentPaneHighlightsTheWordOfItsOwnRow) {
    Open([](FileParseThread* d) {
        d->stores.onlineComments.SetComment(0x1004, L"alpha");
        d->stores.onlineComments.SetComment(0x100C, L"charlie");
    });
    FileOncommentPane& comments = Main().comments;
    ASSERT_TRUE(Diza().CommentPaneVisible());
    comments.Invalidate();
    Loop();
    const BZone& zone = *comments.commentLine->text;
    const RECT r = comments.GetRowRect(1);
    const LPARAM at = MAKELPARAM(zone.rect.left + 24, (r.top + r.bottom) / 2);   // in ";alpha"
    SetKey(VK_CONTROL, true);
    comments.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, at);
    comments.PostMessage(WM_LBUTTONUP, MK_CONTROL, at);
    Loop();
    SetKey(VK_CONTROL, false);
    EXPECT_EQ(StringW(L"alpha"), Diza().selection.selectedText);
    EXPECT_EQ(0x1004, Diza().CurrentPosition().address);
}

// The cursor byte's brackets in the dump column stand only on a cell the column shows (8 at first): a
// go-to to the immediate of a 10-byte instruction draws none over the separator and the text.
TEST_F(DizaInputTest, TheCursorBracketsStayInsideTheShownDumpCells) {
    std::string bytes;
    for (int i = 0; i < 0x100; ++i)
        bytes += std::string("\xC7\x05\x00\x20\x00\x00\x78\x56\x34\x12", 10);   // mov d,[2000],12345678
    fixtures::WriteFileBytes(path_, bytes);
    StepParser parser([](FileParseThread* d) {
        if (!d->AddCodeSegment(0x1000, 0, 0xA00, 0xA00))
            return false;
        SectionLock lock(d->FileLock());
        d->Map().AddCodeItem(0x1000);
        return true;
    });
    ASSERT_TRUE(doc_->OpenFile(fixtures::RequestFor(path_, &parser)));
    Diza().SetFocus();
    Loop();
    const COLORREF mark = RGB(255, 0, 255);
    doc_->options.codeColors.codeClickAddress.value = mark;
    FileDizaPane& pane = Diza();
    const ZoneDizaDump& dump = *pane.bodyLine->dump;
    const int cell = 2 * dump.cellWidth + 2;
    for (int offset : { 2, 8 }) {
        SCOPED_TRACE(offset);
        pane.PostMessage(kMsgGoto, 0, 0x1000 + offset);
        Loop();
        pane.Invalidate();
        Loop();
        const int row = pane.Page().LineOfAddress(0x1000 + offset);
        ASSERT_GE(row, 0);
        ASSERT_EQ(0x1000, pane.Page().Row(row).address);
        const int x = dump.rect.left + dump.margin + offset * cell;
        const bool shown = x + 2 * dump.cellWidth <= dump.rect.right - dump.margin;
        ASSERT_EQ(offset == 2, shown);
        const RECT r = pane.GetRowRect(row);
        int marks = 0;
        HDC dc = ::GetDC(pane.m_hWnd);
        for (int y = r.top; y < r.bottom; ++y)
            for (int px = x - 1; px < x + cell - 1; ++px)
                marks += ::GetPixel(dc, px, y) == mark;
        ::ReleaseDC(pane.m_hWnd, dc);
        EXPECT_EQ(shown, marks > 0) << marks;
    }
}

// A click in the bytes column: the last byte cell of a 4-byte item puts the cursor on its last byte; the
// first empty cell after the item leaves the cursor alone and the clicked row current.
TEST_F(DizaInputTest, AClickOnAByteCellTakesThatByteAndAnEmptyCellOnlyTheRow) {
    Open();
    FileDizaPane& pane = Diza();
    const ZoneDizaDump& dump = *pane.bodyLine->dump;
    const int cell = 2 * dump.cellWidth + 2;
    auto click = [&](int64_t address, int byte) {
        const int row = pane.Page().LineOfAddress(address);
        EXPECT_GE(row, 0);
        const RECT r = pane.GetRowRect(row);
        const LPARAM at = MAKELPARAM(dump.rect.left + dump.margin + byte * cell + cell / 2, (r.top + r.bottom) / 2);
        pane.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        pane.PostMessage(WM_LBUTTONUP, 0, at);
        Loop();
        return row;
    };
    ASSERT_LT(dump.rect.left + dump.margin + 5 * cell, dump.rect.right);   // the empty cell is shown
    int row = click(0x1004, 3);
    EXPECT_EQ(0x1007, pane.cursorAddress);
    EXPECT_EQ(row, pane.Page().currentRow);
    row = click(0x1010, 4);
    EXPECT_EQ(0x1007, pane.cursorAddress);
    EXPECT_EQ(row, pane.Page().currentRow);
    EXPECT_EQ(0x1010, pane.CurrentPosition().address);
}

// A rename keeps the count of names: the filtered names list filters again and shows what matches now;
// so it does after a name is cleared, one is added and the filter grows.
TEST_F(DizaInputTest, TheFilteredNamesListFollowsARename) {
    GlobalNamePane& names = OpenNames({ { 0x1000, L"alpha_one" }, { 0x1004, L"beta" } });
    names.PostMessage(WM_CHAR, 'a', 1);
    Loop();
    for (wchar_t c : std::wstring(L"lpha")) {
        ::PostMessageW(::GetFocus(), WM_CHAR, c, 1);
        Loop();
    }
    ASSERT_EQ(StringW(L"alpha"), names.filterText);
    ASSERT_EQ(1, names.GetCount());
    // The name row of 0x1004 (rows: name, item, name, item), renamed through the name dialog.
    Diza().SetFocus();
    Loop();
    Key(VK_DOWN);
    Key(VK_DOWN);
    ASSERT_TRUE(SameLine(DizaLinePos{ 0x1004, 0x20000000 }, Diza().CurrentPosition()));
    PushModalAction([](Dialog& d) {
        d.SetItemText(IDC_NAME_TEXT, L"alpha_two");
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_NAME_TEXT, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(d.Item(IDC_NAME_TEXT)));
        d.SendMessage(WM_COMMAND, IDOK);
    });
    ASSERT_TRUE(Side().SelectTab(kIdSegmentList));   // renamed while the names list is hidden
    Click(BarButton(kCmdName));
    EXPECT_EQ(0u, PendingModalActions());
    EXPECT_EQ(L"Names(2)", DrawnCaption(kIdNameList));
    ASSERT_TRUE(Side().SelectTab(kIdNameList));
    ASSERT_EQ(0x1004, doc_->stores.names.AddressOf(L"alpha_two"));
    ASSERT_EQ(2, doc_->stores.names.Count());
    const auto shown = [&] {
        names.Invalidate();
        Loop();
        std::vector<std::wstring> texts;
        for (int row = 0; row < names.GetCount(); ++row) {
            const auto* n = static_cast<const NAME_DATA*>(names.GetItem(row));
            texts.push_back(n ? n->text : L"(no item)");
        }
        return texts;
    };
    EXPECT_EQ((std::vector<std::wstring>{ L"alpha_one", L"alpha_two" }), shown());
    // Cleared through the dialog, the name leaves the list; a longer filter narrows it.
    PushModalAction([](Dialog& d) {
        d.SetItemText(IDC_NAME_TEXT, L"");
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_NAME_TEXT, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(d.Item(IDC_NAME_TEXT)));
        d.SendMessage(WM_COMMAND, IDOK);
    });
    Click(BarButton(kCmdName));
    ASSERT_EQ(1, doc_->stores.names.Count());
    EXPECT_EQ((std::vector<std::wstring>{ L"alpha_one" }), shown());
    doc_->stores.names.Add(0x1008, L"alpha_three", ' ');
    EXPECT_EQ((std::vector<std::wstring>{ L"alpha_one", L"alpha_three" }), shown());
    EXPECT_EQ(L"Names(2)", DrawnCaption(kIdNameList));
    names.SetFocus();
    Loop();
    ::PostMessageW(::GetFocus(), WM_CHAR, '_', 1);
    ::PostMessageW(::GetFocus(), WM_CHAR, 't', 1);
    Loop();
    EXPECT_EQ((std::vector<std::wstring>{ L"alpha_three" }), shown());
}

// The rows a shown list draws are the ones its caption counts, as soon as the loop is idle, however the
// list changed: a string made with the "Asciiz" button where none started (nothing tells the list), a
// bookmark set with a click on a row's mark, a name given through the name dialog.
TEST_F(DizaInputTest, AShownListDrawsTheRowsItsCaptionCounts) {
    Open([](FileParseThread* d) {
        d->strings.Insert(kTextAddress, 6, kStringzAnsi);
        d->strings.Insert(kTextAddress + 0x10, 7, kStringzAnsi);
    }, 0, 0x2000, std::string("first\0\0\0\0\0\0\0\0\0\0\0second\0\0\0\0\0\0\0\0\0\0third\0", 38));
    StringzPane& strings = ShowList(Side().strings);
    EXPECT_EQ(2, DrawnRows(strings, *strings.line->address));
    EXPECT_EQ(L"Strings(2)", DrawnCaption(kIdStringList));
    GotoStandsOn(kTextAddress + 0x20);
    Click(BarButton(kCmdAsciiz));
    ASSERT_EQ(3, doc_->strings.Count());
    EXPECT_EQ(3, DrawnRows(strings, *strings.line->address));
    EXPECT_EQ(L"Strings(3)", DrawnCaption(kIdStringList));
    // The line drew the new string last.
    EXPECT_EQ(2, strings.line->row);
    EXPECT_EQ(StringW(L"'third'"), strings.line->text->text);
    EXPECT_EQ(ListAddressText(kTextAddress + 0x20, doc_->addressWidth), strings.line->address->text);

    BookmarkPane& marks = ShowList(Side().bookmarks);
    EXPECT_EQ(0, DrawnRows(marks, *marks.line->address));
    Diza().SetFocus();
    GotoStandsOn(0x1020);
    ClickZone(Diza(), *Diza().bodyLine->bookmark, Diza().Page().LineOfAddress(0x1020));
    Loop();
    EXPECT_EQ(1, DrawnRows(marks, *marks.line->address));
    EXPECT_EQ(L"Bookmarks(1)", DrawnCaption(kIdBookmarkList));

    GlobalNamePane& names = ShowList(Side().names);
    Diza().SetFocus();
    Loop();
    PushModalAction([](Dialog& d) {
        d.SetItemText(IDC_NAME_TEXT, L"start_here");
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_NAME_TEXT, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(d.Item(IDC_NAME_TEXT)));
        d.SendMessage(WM_COMMAND, IDOK);
    });
    Click(BarButton(kCmdName));
    EXPECT_EQ(1, DrawnRows(names, *names.line->address));
    EXPECT_EQ(L"Names(1)", DrawnCaption(kIdNameList));
    EXPECT_EQ(StringW(L"start_here"), names.line->name->text);
}

// A filtered names list sorted by its Name header, then by its Address header: the same names, in
// the new order.
TEST_F(DizaInputTest, AFilteredNamesListSortsByItsHeaders) {
    GlobalNamePane& names =
        OpenNames({ { 0x1000, L"zeta_x" }, { 0x1004, L"beta_x" }, { 0x1008, L"alpha_x" }, { 0x100C, L"other" } });
    names.PostMessage(WM_CHAR, '_', 1);
    names.PostMessage(WM_CHAR, 'x', 1);
    Loop();
    const auto sortedBy = [&](const BZone* header) {
        const LPARAM at = MAKELPARAM((header->rect.left + header->rect.right) / 2, names.GetRowRect(0).top / 2);
        names.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        names.PostMessage(WM_LBUTTONUP, 0, at);
        Loop();
        std::vector<std::wstring> texts;
        for (int row = 0; row < names.GetCount(); ++row)
            texts.push_back(static_cast<const NAME_DATA*>(names.GetItem(row))->text);
        return texts;
    };
    EXPECT_EQ((std::vector<std::wstring>{ L"alpha_x", L"beta_x", L"zeta_x" }), sortedBy(names.line->name));
    EXPECT_EQ((std::vector<std::wstring>{ L"zeta_x", L"beta_x", L"alpha_x" }), sortedBy(names.line->address));
}

// The filtered strings list after the table changes under it (a string made, one removed) and after
// the filter changes (grown, shortened, grown over a changed table).
TEST_F(DizaInputTest, TheFilteredStringsListFollowsTheTableAndTheFilter) {
    // The file's bytes are (offset * 5): "AFK" at 0x100D, "EJ" at 0x1041, "K" at 0x100F.
    Open([](FileParseThread* d) {
        d->strings.Insert(0x100D, 3, kStringzAnsi);
        d->strings.Insert(0x1041, 2, kStringzAnsi);
    });
    StringzPane& strings = ShowList(Side().strings);
    const auto rows = [&] {
        strings.Invalidate();
        Loop();
        std::vector<int64_t> addresses;
        for (int row = 0; row < strings.GetCount(); ++row) {
            const auto* item = static_cast<const StringzRow*>(strings.GetItem(row));
            addresses.push_back(item ? item->record.address : -1);
        }
        return addresses;
    };
    strings.PostMessage(WM_CHAR, 'k', 1);
    Loop();
    ASSERT_EQ(StringW(L"k"), strings.filterText);
    EXPECT_EQ((std::vector<int64_t>{ 0x100D }), rows());
    doc_->strings.Insert(0x100F, 1, kStringzAnsi);
    EXPECT_EQ((std::vector<int64_t>{ 0x100D, 0x100F }), rows());
    doc_->strings.Remove(0);
    EXPECT_EQ((std::vector<int64_t>{ 0x100F }), rows());
    ::PostMessageW(::GetFocus(), WM_CHAR, VK_BACK, 1);
    ::PostMessageW(::GetFocus(), WM_CHAR, 'j', 1);
    Loop();
    EXPECT_EQ((std::vector<int64_t>{ 0x1041 }), rows());
    // "JO" made at 0x1042 just before the filter grows: looked at although the rows had it not.
    doc_->strings.Insert(0x1042, 2, kStringzAnsi);
    ::PostMessageW(::GetFocus(), WM_CHAR, 'o', 1);
    Loop();
    EXPECT_EQ((std::vector<int64_t>{ 0x1042 }), rows());
    ::PostMessageW(::GetFocus(), WM_CHAR, VK_BACK, 1);
    Loop();
    EXPECT_EQ((std::vector<int64_t>{ 0x1041, 0x1042 }), rows());
}

// A setting changed for a test, put back when the test ends however it ends.
template <class T>
class TestSetting {
public:
    explicit TestSetting(T& setting) : saved(setting), setting_(setting) {}
    TestSetting(T& setting, T value) : TestSetting(setting) { setting_ = value; }
    ~TestSetting() { setting_ = saved; }
    TestSetting(const TestSetting&) = delete;
    TestSetting& operator=(const TestSetting&) = delete;

    const T saved;

private:
    T& setting_;
};

// The page's draws (an erase of the list that drew its rows) while a hook counts them.
HWND g_drawnList = nullptr;
int g_pageDraws = 0;
LRESULT CALLBACK CountPageDraws(int code, WPARAM w, LPARAM l) {
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(l);
    if (code == HC_ACTION && message->hwnd == g_drawnList && message->message == WM_ERASEBKGND && message->lResult)
        ++g_pageDraws;
    return ::CallNextHookEx(nullptr, code, w, l);
}

// Opening the filter with its first key and closing it with Esc each draw the list's page once, however
// many windows move meanwhile.
TEST_F(DizaInputTest, TheFilterOpensAndClosesWithOneDrawOfThePage) {
    OpenStrings();
    StringzPane& strings = Side().strings;
    g_drawnList = strings.m_hWnd;
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, CountPageDraws, nullptr, ::GetCurrentThreadId());
    std::vector<int> draws;
    for (HWND to : { strings.m_hWnd, strings.filterEdit.m_hWnd }) {
        g_pageDraws = 0;
        PostKey(to, to == strings.m_hWnd ? 'K' : VK_ESCAPE);
        Loop();
        EXPECT_EQ(to == strings.m_hWnd, strings.FilterShown());
        draws.push_back(g_pageDraws);
    }
    ::UnhookWindowsHookEx(hook);
    g_drawnList = nullptr;
    EXPECT_EQ((std::vector<int>{ 1, 1 }), draws);
}

// The strings filter lists exactly the strings whose formatted row holds it in lower case, on every
// path: with its texts, and past their ceiling with the strings' bytes, looked through many at a time
// and one at a time. Its texts follow a string made again at its address with another length; texts
// for which no room can be made are given up, the rows and the tab's caption right all the same.
TEST_F(DizaInputTest, TheStringsFilterListsTheSameRowsOnEveryPath) {
    OpenStrings();
    StringzPane& strings = Side().strings;
    WaitForFilterTexts();
    ASSERT_TRUE(strings.filterTexts.Current(doc_));
    std::wstring filter;
    TypeStringsFilters(filter);
    STRINGZ_DATA r{};
    doc_->strings.Get(16, r);   // "PUZ_", made again as "PUZ_din"
    doc_->strings.Remove(16);
    doc_->strings.Insert(r.address, r.Length() + 3, r.Kind());
    CheckStringsFilter(filter);
    WaitForFilterTexts();
    TypeStringsFilter(std::wstring(filter.size(), VK_BACK) + ShownString(16), filter);
    EXPECT_EQ(1u, CheckStringsFilter(filter));
    const TestSetting<size_t> ceiling(StringzFilterTexts::maxBytes, 80);
    const TestSetting<bool> vectors(StringzFilterTexts::vectors);
    for (bool many : { true, false }) {
        StringzFilterTexts::vectors = many;
        PostKey(strings.filterEdit.m_hWnd, VK_ESCAPE);
        Loop();
        strings.SendMessage(kMsgAttach, 1, reinterpret_cast<LPARAM>(doc_));   // the texts made anew
        strings.UpdateWindow();
        FilterTextSlices(1);
        ASSERT_TRUE(strings.filterTexts.Failed(doc_)) << "no room, and the first slice did not give them up";
        filter.clear();
        TypeStringsFilters(filter);
        EXPECT_EQ(L"Strings(" + std::to_wstring(strings.GetCount()) + L")", DrawnCaption(kIdStringList));
    }
}

// Every byte the texts hold counts against their ceiling: texts whose characters alone would fit are
// not made, and a rebuild counts the texts it replaces. A build that failed is not begun again while
// the table is as large, whatever changed in it, only once it is smaller.
TEST_F(DizaInputTest, TheStringsFilterTextsHoldTheirBytesUnderTheCeiling) {
    const TestSetting<size_t> ceiling(StringzFilterTexts::maxBytes);
    OpenStrings();
    StringzPane& strings = Side().strings;
    StringzFilterTexts& texts = strings.filterTexts;
    size_t characters = 0;
    for (int i = 0; i < doc_->strings.Count(); ++i)
        characters += ShownString(i).size();
    std::wstring filter;
    TypeStringsFilter(L"'", filter);
    WaitForFilterTexts();
    ASSERT_TRUE(texts.Current(doc_));
    EXPECT_EQ(texts.HeldBytes(), texts.PeakBytes()) << "a block was held beside its grown copy";
    // Texts that would not fit beside those they replace are made without them.
    StringzFilterTexts::maxBytes = 2 * texts.HeldBytes() - 1;
    doc_->strings.Insert(0x1002, 5, kStringzAnsi);
    TypeStringsFilter(L"c", filter);
    WaitForFilterTexts();
    EXPECT_TRUE(texts.Current(doc_));
    EXPECT_LE(texts.PeakBytes(), StringzFilterTexts::maxBytes);
    // A new document: the old texts' memory is given back; room for their characters alone is too
    // little.
    strings.SendMessage(kMsgAttach, 1, reinterpret_cast<LPARAM>(doc_));
    EXPECT_EQ(0u, texts.HeldBytes());
    StringzFilterTexts::maxBytes = characters * sizeof(wchar_t);
    TypeStringsFilter(L"\b", filter);
    WaitForFilterTexts();
    EXPECT_TRUE(texts.Failed(doc_));
    const int builds = texts.buildsBegun;
    StringzFilterTexts::maxBytes = ceiling.saved;
    doc_->strings.Insert(0x1001, 4, kStringzAnsi);
    TypeStringsFilter(L"c", filter);
    doc_->strings.Remove(0);   // as many as when it failed
    TypeStringsFilter(L"\b", filter);
    WaitForFilterTexts();
    EXPECT_EQ(builds, texts.buildsBegun);
    doc_->strings.Remove(0);
    TypeStringsFilter(L"c", filter);
    WaitForFilterTexts();
    EXPECT_EQ(builds + 1, texts.buildsBegun);
    EXPECT_TRUE(texts.Current(doc_));
}

// Thousands of strings: their texts are made in many short slices while the table changes between two
// slices and after the last; typed filters then find what the shown texts hold.
TEST_F(DizaInputTest, TheStringsFilterTextsMadeInSlicesFollowTheTable) {
    const TestSetting<int> slice(StringzPane::filterTextsSliceMs, 0);
    Open([](FileParseThread* d) {
        for (int i = 0; i < 3000; ++i)
            d->strings.Insert(0x1000 + 2 * i, 2 + i % 7, 1 + i % 4);
    });
    StringzPane& strings = Side().strings;
    ASSERT_TRUE(Side().SelectTab(kIdStringList));
    strings.SetFocus();
    strings.UpdateWindow();   // its first paint starts the slices
    const auto slices = [&](int n) { FilterTextSlices(n); };
    slices(2);
    ASSERT_FALSE(strings.filterTexts.Current(doc_)) << "the texts were made in fewer slices";
    doc_->strings.Remove(1000);
    doc_->strings.Insert(0x1001, 3, kStringzAnsi);
    slices(3);
    doc_->strings.Insert(0x2F00, 5, kStringzAnsi);
    for (int i = 0; i < 40 && !strings.filterTexts.Current(doc_); ++i)
        slices(1);
    ASSERT_TRUE(strings.filterTexts.Current(doc_));
    std::wstring filter;
    TypeStringsFilter(L"'c", filter);
    doc_->strings.Remove(2000);
    doc_->strings.Insert(0x1003, 6, kStringzWide);
    TypeStringsFilter(std::wstring(2, VK_BACK) + L"l\"", filter);
}

// A filter typed while the file is still being read: when the strings scan ends, the tab strip draws
// the count of the rows the list then holds.
TEST_F(DizaInputTest, TheStringsCaptionCountsTheRowsWhenTheScanEnds) {
    StringzPane& strings = ShowList(Side().strings);
    Open(nullptr, kScanAscii, 0x2000, std::string("\0crypt_one\0other_one\0crypt_two\0", 31), [&] {
        for (UINT key : { UINT('C'), UINT('R'), UINT('Y'), UINT('P'), UINT('T') })
            PostKey(strings.m_hWnd, key);
    });
    ASSERT_EQ(3, doc_->strings.Count());
    EXPECT_EQ(StringW(L"crypt"), strings.filterText);
    EXPECT_EQ(2, strings.GetCount());
    EXPECT_EQ(L"Strings(2)", DrawnCaption(kIdStringList));
}

// Keys typed before the program catches up act as typed slowly, in order: the first opens the filter,
// the rest are still the list's when they come (the loop making each character from its key), and an
// Enter or Esc among them closes and empties the filter.
TEST_F(DizaInputTest, KeysTypedAheadAllReachTheFilter) {
    GlobalNamePane& names = OpenNames({ { 0x1000, L"bcrypt_init" }, { 0x1004, L"crypto_x" }, { 0x1008, L"b_only" } });
    for (UINT key : { UINT('B'), UINT('C'), UINT('R'), UINT('Y'), UINT('P'), UINT('T'), UINT('X'), UINT(VK_BACK) })
        PostKey(names.m_hWnd, key);
    Loop();
    EXPECT_EQ(StringW(L"bcrypt"), names.filterText);
    EXPECT_EQ(1, names.GetCount());
    EXPECT_EQ(names.filterEdit.m_hWnd, ::GetFocus());
    for (UINT close : { UINT(VK_RETURN), UINT(VK_ESCAPE) }) {
        PostKey(::GetFocus(), VK_ESCAPE);   // typed slowly: the filter closes, empty
        Loop();
        ASSERT_FALSE(names.FilterShown());
        ASSERT_EQ(3, names.GetCount());
        // A keyboard's character comes before its next key (the loop's own translation of a posted
        // key would come after every key posted already): the letters as characters, the close as a key.
        names.PostMessage(WM_CHAR, 'b', 1);
        names.PostMessage(WM_CHAR, 'c', 1);
        PostKey(names.m_hWnd, close);
        names.PostMessage(WM_CHAR, 'o', 1);
        Loop();
        EXPECT_EQ(StringW(L"o"), names.filterText) << close;
        EXPECT_EQ(L"o", names.filterEdit.GetWindowText()) << close;
        EXPECT_EQ(2, names.GetCount()) << close;
    }
}

// The first key opens the filter bar with its character in view at the bar's left edge, and the rows
// end above the bar: the last row, made current with Page Down, lies wholly above it.
TEST_F(DizaInputTest, TheFilterBarShowsItsFirstCharacterAndTheRowsEndAboveIt) {
    std::vector<std::pair<int64_t, std::wstring>> many;
    for (int i = 0; i < 120; ++i)
        many.emplace_back(0x1000 + 4 * i, StringW(kFormat, L"name_%03d", i).c_str());
    GlobalNamePane& names = OpenNames(many);
    const HWND bar = names.filterEdit.m_hWnd;
    for (const wchar_t* typed : { L"n", L"na" }) {
        PostKey(::GetFocus(), ::towupper(typed[wcslen(typed) - 1]));
        Loop();
        ASSERT_TRUE(::IsWindowVisible(bar));
        EXPECT_EQ(typed, names.filterEdit.GetWindowText());
        EXPECT_EQ(StringW(typed), names.filterText);
        EXPECT_EQ(0, ::SendMessageW(bar, EM_GETFIRSTVISIBLELINE, 0, 0)) << "first character shown";
        const LRESULT first = ::SendMessageW(bar, EM_POSFROMCHAR, 0, 0);
        EXPECT_GE(static_cast<short>(LOWORD(first)), 0) << typed;
        EXPECT_EQ(120, names.GetCount());
    }
    RECT strip = names.filterEdit.GetWindowRect();
    names.ScreenToClient(&strip);
    const RECT client = names.GetClientRect();
    EXPECT_EQ(client.left, strip.left);
    EXPECT_EQ(client.right, strip.right);
    EXPECT_EQ(client.bottom, strip.bottom);
    for (int i = 0; i < 12; ++i)
        PostKey(::GetFocus(), VK_NEXT);
    Loop();
    int current = -1;
    for (int row = 0; row <= names.RowsPerPage() + 2 && current < 0; ++row)
        if (names.Pager()->IsCurrentRow(names.VBar(), row))
            current = row;
    ASSERT_GE(current, 0);
    const auto* last = static_cast<const NAME_DATA*>(names.GetItem(current));
    ASSERT_NE(nullptr, last);
    EXPECT_EQ(std::wstring(L"name_119"), last->text);
    EXPECT_LE(names.GetRowRect(current).bottom, strip.top);
    // The bar follows the list when the window is made smaller.
    const RECT whole = window_->GetClientRect();
    window_->MoveWindow(0, 0, whole.right, whole.bottom - 100);
    Loop();
    RECT moved = names.filterEdit.GetWindowRect();
    names.ScreenToClient(&moved);
    EXPECT_EQ(names.GetClientRect().bottom, moved.bottom);
    EXPECT_LT(moved.bottom, strip.bottom);
}

// Ctrl+Shift+C in the pane records a forced code start at the cursor byte inside a code row, and the
// code button's tip names the key.
TEST_F(DizaInputTest, CtrlShiftCStartsCodeAtTheCursorByte) {
    Open([](FileParseThread* d) { d->Map().AddCodeItem(0x1100); });
    EXPECT_NE(std::wstring(BarButton(kCmdCode)->tipText.c_str()).find(L"Ctrl+Shift+C"), std::wstring::npos);
    Diza().PostMessage(kMsgGoto, 0, 0x1101);
    Loop();
    ASSERT_EQ(0x1100, Diza().CurrentPosition().address);
    ASSERT_EQ(diza::kCode, diza::KindOf(Diza().CurrentPosition().line));
    ASSERT_EQ(0x1101, Diza().GetCurrentAddress());
    ASSERT_GT(Diza().Page().LineQuery(Diza().Page().currentRow), 1);
    doc_->modified = false;
    SetKey(VK_CONTROL, true);
    SetKey(VK_SHIFT, true);
    Key(kForcedCodeKey);
    SetKey(VK_SHIFT, false);
    SetKey(VK_CONTROL, false);
    {
        SectionLock lock(doc_->FileLock());
        EXPECT_TRUE(doc_->Map().IsItemStart(0x1101));
    }
    EXPECT_TRUE(doc_->modified);
    EXPECT_EQ((std::vector<int64_t>{ 0x1100, 0x1101 }), ItemRowsFrom(0x1100, 2));
    EXPECT_EQ(0x1101, Diza().CurrentPosition().address);
}

// Whether the fold mark in the collapse zone of a row shows a plus, as read from the screen.
bool ShowsPlus(FileDizaPane& pane, int row) {
    const RECT r = pane.GetRowRect(row);
    const RECT zone = pane.bodyLine->collapse->rect;
    const COLORREF mark = ThemeColor(17);
    HDC dc = ::GetDC(pane.m_hWnd);
    // The square's top edge: the first row of mark pixels in the cell; the square is as high as wide.
    int top = -1, left = -1, right = -1;
    for (int y = r.top; y < r.bottom && top < 0; ++y)
        for (int x = zone.left; x < zone.right; ++x)
            if (::GetPixel(dc, x, y) == mark) {
                top = y;
                left = left < 0 ? x : left;
                right = x;
            }
    // Inside the frame a plus has a column of marks, a minus only its one row.
    bool plus = false;
    for (int x = left + 1; top >= 0 && x < right && !plus; ++x) {
        int marks = 0;
        for (int y = top + 1; y < top + (right - left); ++y)
            marks += ::GetPixel(dc, x, y) == mark;
        plus = marks >= 3;
    }
    ::ReleaseDC(pane.m_hWnd, dc);
    return plus;
}

// A fold made folded with Ctrl shows a plus on its first row; opened by a click on the mark, a minus.
TEST_F(DizaInputTest, AFoldedStartShowsItsPlus) {
    Open();
    ShiftKeys(VK_DOWN, 3);
    SetKey(VK_CONTROL, true);
    Click(PaneButton(kCmdCollapse));
    SetKey(VK_CONTROL, false);
    ASSERT_TRUE(doc_->stores.collapses.IsCollapsed(0x1000));
    Diza().Invalidate();
    Loop();
    const std::vector<int64_t> rows = ItemRowsFrom(0x1000, 2);
    ASSERT_EQ((std::vector<int64_t>{ 0x1000, 0x1010 }), rows);   // the fold is one line
    EXPECT_TRUE(ShowsPlus(Diza(), 0));
    EXPECT_FALSE(ShowsPlus(Diza(), 1));
    ClickZone(Diza(), *Diza().bodyLine->collapse, 0);
    Loop();
    EXPECT_FALSE(doc_->stores.collapses.IsCollapsed(0x1000));
    EXPECT_EQ(0x1004, Diza().Page().Row(1).address);
    EXPECT_FALSE(ShowsPlus(Diza(), 0));
}

// The font a zone draws with, as the font object describes itself.
LOGFONTW FontOf(const BZone& zone) {
    LOGFONTW face{};
    if (zone.font)
        ::GetObjectW(zone.font->GetSafeHandle(), sizeof face, &face);
    return face;
}

// Full-line comment rows are drawn in the comment font, the other rows in the code font.
TEST_F(DizaInputTest, CommentRowsUseTheCommentFontAndColour) {
    options_.fonts.commentFont.face = L"Courier New";
    options_.fonts.commentFont.italic = true;
    options_.fonts.codeFont.face = L"Tahoma";
    options_.fonts.codeFont.italic = false;
    options_.codeColors.commentTxt.value = RGB(0, 0xA0, 0);
    SendToWindowTree(window_->m_hWnd, kMsgOptions, 1, reinterpret_cast<LPARAM>(&options_), true);
    Open([](FileParseThread* d) { d->stores.lineComments.SetComment(0x1008, L"a comment"); });
    DizaPage& page = Diza().Page();
    const int commentRow = page.LineOfItem(DizaLinePos{ 0x1008, 0x10000000 });
    ASSERT_GE(commentRow, 0);
    // The zone line that draws the comment row, and the one of an item row.
    BZoneLine* comment = Diza().GetLine(commentRow);
    BZoneLine* item = Diza().GetLine(page.LineOfAddress(0x1008));
    ASSERT_EQ(static_cast<BZoneLine*>(Diza().commentLine), comment);
    const LOGFONTW commentFace = FontOf(*Diza().commentLine->text);
    EXPECT_EQ(std::wstring(L"Courier New"), commentFace.lfFaceName);
    EXPECT_TRUE(commentFace.lfItalic);
    ASSERT_EQ(static_cast<BZoneLine*>(Diza().bodyLine), item);
    const LOGFONTW bodyFace = FontOf(*Diza().bodyLine->body);
    EXPECT_EQ(std::wstring(L"Tahoma"), bodyFace.lfFaceName);
    EXPECT_FALSE(bodyFace.lfItalic);
    // New options keep each font with its rows.
    SendToWindowTree(window_->m_hWnd, kMsgOptions, 1, reinterpret_cast<LPARAM>(&options_), true);
    EXPECT_EQ(std::wstring(L"Courier New"), FontOf(*Diza().commentLine->text).lfFaceName);
    // And the comment's own colour.
    PixelSurface shot;
    ASSERT_TRUE(CaptureWindow(Diza().m_hWnd, shot, true));
    EXPECT_GT(shot.CountColour(Diza().GetRowRect(commentRow), RGB(0, 0xA0, 0)), 0);
}

// Keys on the dump pane: Ctrl+Left shifts the rows' phase by a byte, Ctrl+Home goes to the first row,
// which holds offset 0 in its last cells and never a row of nothing.
TEST_F(DizaInputTest, TheDumpKeepsItsPhaseAboveOffsetZero) {
    Open();
    FileDumpPane* dump = Dump();
    ASSERT_NE(nullptr, dump);
    ASSERT_TRUE(dump->IsWindowVisible());
    dump->SetFocus();
    const int64_t perRow = dump->bytesPerRow;
    ASSERT_GT(perRow, 2);
    const auto ctrlKey = [&](UINT key) {
        SetKey(VK_CONTROL, true);
        Key(key);
        SetKey(VK_CONTROL, false);
    };
    for (int shift = 1; shift <= 2; ++shift) {
        ctrlKey(VK_LEFT);
        ctrlKey(VK_HOME);
        EXPECT_EQ(shift - perRow, dump->Position()) << shift;
        EXPECT_EQ(shift - perRow, dump->scroller.rangeStart) << shift;
        // The range covers the file in whole rows from there, not a row more.
        EXPECT_LT(dump->scroller.rangeEnd - perRow, 0x2000) << shift;
        EXPECT_GE(dump->scroller.rangeEnd, 0x2000) << shift;
    }
}

// Ctrl+Home and Ctrl+End take the cursor row to the first and the last line; the cursor address, the
// dump's mark and the status bar's address cell go with it. Shift+Ctrl+Home marks up to the top.
TEST_F(DizaInputTest, CtrlHomeAndEndGoToTheEndsAndTheDumpAndStatusBarFollow) {
    Open();
    FileDumpPane* dump = Dump();
    ASSERT_NE(nullptr, dump);
    const StatusCell& cell = window_->StatusBar()->cells[FileStatusBar::kCursor];
    const auto ctrlKey = [&](UINT key) {
        SetKey(VK_CONTROL, true);
        Key(key);
        SetKey(VK_CONTROL, false);
    };
    const struct {
        UINT key;
        int64_t address;
    } cases[] = { { VK_END, 0x2FFC }, { VK_HOME, 0x1000 }, { VK_END, 0x2FFC } };   // the last line: 4 bytes
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        ctrlKey(c.key);
        EXPECT_EQ(c.address, Diza().CurrentPosition().address);
        EXPECT_EQ(c.key == VK_HOME ? 0 : Diza().Page().LineCount() - 1, Diza().Page().currentRow);
        EXPECT_EQ(c.address, Diza().GetCurrentAddress());
        EXPECT_EQ(c.address - 0x1000, dump->fileMark);
        EXPECT_EQ(StringW(doc_->AddressText(c.address)), cell.text);
    }
    ctrlKey(VK_HOME);
    for (int i = 0; i < 3; ++i)
        Key(VK_DOWN);
    ASSERT_EQ(3, Diza().Page().currentRow);
    SetKey(VK_SHIFT, true);
    ctrlKey(VK_HOME);
    SetKey(VK_SHIFT, false);
    ::PostMessageW(Diza().m_hWnd, WM_KEYUP, VK_SHIFT, 0xC0000001);
    Loop();
    const BlockSelection& block = Diza().Page().selection;
    EXPECT_EQ(BlockSelection::kMarked, block.state);
    EXPECT_EQ(0x1000, block.Lower().address);
    EXPECT_EQ(0x100C, block.Higher().address);
    EXPECT_EQ(0, dump->markFirst);
    EXPECT_EQ(0x10, dump->markEnd);
    EXPECT_EQ(0x1000, Diza().GetCurrentAddress());
}

// The width in pixels of the offset text in the dump's first row, read from the screen.
int OffsetTextWidth(FileDumpPane& dump) {
    int x0 = 0;
    for (UINT id : { FileDumpPane::kCmdAddressMode, FileDumpPane::kCmdTextHex })
        if (HWND button = ::GetDlgItem(dump.m_hWnd, static_cast<int>(id))) {
            RECT r;
            ::GetWindowRect(button, &r);
            ::MapWindowPoints(nullptr, dump.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
            x0 = std::max<int>(x0, r.right);
        }
    HDC dc = ::GetDC(dump.m_hWnd);
    const COLORREF back = ::GetPixel(dc, dump.hexArea.left - 2, dump.lineHeight * 3 / 2);
    int left = -1, right = -1;
    for (int x = x0; x < dump.hexArea.left; ++x)
        for (int y = 0; y < dump.lineHeight; ++y)
            if (::GetPixel(dc, x, y) != back) {
                left = left < 0 ? x : left;
                right = x;
                break;
            }
    ::ReleaseDC(dump.m_hWnd, dc);
    return left < 0 ? 0 : right - left + 1;
}

// The width of n zeros in the dump's address font.
int ZerosWidth(FileDumpPane& dump, int n) {
    HDC dc = ::GetDC(dump.m_hWnd);
    const HGDIOBJ old = ::SelectObject(dc, dump.addressFont.GetSafeHandle());
    SIZE extent{};
    const std::wstring zeros(static_cast<size_t>(n), L'0');
    ::GetTextExtentPoint32W(dc, zeros.c_str(), n, &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(dump.m_hWnd, dc);
    return extent.cx;
}

// The offsets of a file of 0x12000 bytes have 8 digits, an address's width, not 5.
TEST_F(DizaInputTest, TheDumpsOffsetsHaveTheAddressWidths) {
    Open(nullptr, 0, 0x12000);
    FileDumpPane* dump = Dump();
    ASSERT_NE(nullptr, dump);
    dump->Invalidate();
    Loop();
    const int width = OffsetTextWidth(*dump);
    EXPECT_GT(width, ZerosWidth(*dump, 7));
    EXPECT_LE(width, ZerosWidth(*dump, 8));
}

// A find with thousands of hits moves the pane as it goes, and leaves it on the last hit.
TEST_F(DizaInputTest, AFindEndsWithThePaneOnItsLastHit) {
    StepParser parser([](FileParseThread* d) { return d->AddCodeSegment(0x1000, 0, 0x2000, 0x2000); });
    std::string bytes;
    for (int i = 0; i < 0x1000; ++i)
        bytes += "\x31\xD2";   // xor edx,edx
    fixtures::WriteFileBytes(path_, bytes);
    ASSERT_TRUE(doc_->OpenFile(fixtures::RequestFor(path_, &parser)));
    {
        SectionLock lock(doc_->FileLock());
        for (int64_t a = 0x1000; a < 0x3000; a += 0x100)
            doc_->Map().AddCodeItem(a);
    }
    Loop();
    Diza().SetFocus();
    Loop();
    FindParameters& p = doc_->finds.parameters;
    p.text = L"*xor*";
    p.flags = kFindLineMode | (1u << kFindPaneShift) | kFindCodeSegments | kFindCodeLines;
    PushModalAction([](Dialog& d) { static_cast<DFind&>(d).OnOK(); });
    Click(BarButton(kCmdFind));
    // How many moves the find made on its way depends on the machine's speed: wait for its end state.
    FindResult* hits = doc_->finds.GetResult(kFind1Pane);
    EXPECT_TRUE(LoopUntil([&] { return hits->runningJobs == 0 && Diza().GetCurrentAddress() == 0x2FFE; }));
    ASSERT_EQ(0x1000, hits->Count());
    EXPECT_EQ(0x2FFE, Diza().GetCurrentAddress());
    EXPECT_EQ(0xFFF, SelectedRow(Side().find1));
}

// Up on the page's top row moves the page one line up a key, through one-byte instructions too: the
// tops are the lines of a walk from the segment's start, backwards.
TEST_F(DizaInputTest, UpOnTheTopRowStepsBackOneInstructionAKey) {
    StepParser parser([](FileParseThread* d) { return d->AddCodeSegment(0x1000, 0, 0x200, 0x200); });
    std::string bytes;
    while (bytes.size() < 0x200)
        bytes += std::string("\x55\x8B\xEC\x90\xC3\xB8\x01\x00\x00\x00", 10);   // push, mov, nop, ret, mov
    bytes.resize(0x200);
    fixtures::WriteFileBytes(path_, bytes);
    ASSERT_TRUE(doc_->OpenFile(fixtures::RequestFor(path_, &parser)));
    {
        SectionLock lock(doc_->FileLock());
        doc_->Map().AddCodeItem(0x1000);
    }
    Loop();
    Diza().SetFocus();
    Loop();
    std::vector<DizaLinePos> lines;
    {
        DizaWalk walk(doc_);
        walk.SetAddress(0x1000);
        for (; walk.IsLine(); walk.NextLine())
            lines.push_back(walk.current);
    }
    DizaPage& page = Diza().Page();
    Key(VK_NEXT);
    Key(VK_NEXT);
    for (int i = 0; i < 100 && page.currentRow > 0; ++i)
        Key(VK_UP);
    size_t top = 0;
    while (top < lines.size() && !SameLine(lines[top], page.Row(0)))
        ++top;
    ASSERT_LT(top, lines.size()) << "the page's top is not a line of the walk";
    ASSERT_GT(top, 10u);
    while (top-- > 0) {
        Key(VK_UP);
        ASSERT_TRUE(SameLine(lines[top], page.Row(0))) << std::hex << "top " << page.Row(0).address << " for "
                                                       << lines[top].address;
        ASSERT_EQ(0, page.currentRow);
    }
}

// A 32-bit code segment at 0x1000 of `count` five-byte instructions: every 32nd calls 64 instructions on.
std::string CallingCode(int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        const bool call = i % 32 == 0;
        const uint32_t operand = call ? 63 * 5 : 0x04030201u + static_cast<uint32_t>(i);
        bytes += static_cast<char>(call ? 0xE8 : 0xB8);
        for (int b = 0; b < 4; ++b)
            bytes += static_cast<char>((operand >> (8 * b)) & 0xFF);
    }
    return bytes;
}

// The go-to dialog over unmade code bytes and code the refers scan made: the target's row becomes the
// highlighted cursor row, also when the page moves to show it after the marks were drawn.
TEST_F(DizaInputTest, GotoDialogMakesTheTargetRowTheCursorRowOverUnmadeCode) {
    fixtures::WriteFileBytes(path_, CallingCode(0x900));
    StepParser parser([](FileParseThread* d) { return d->AddCodeSegment(0x1000, 0, 0x2D00, 0x2D00); });
    ASSERT_TRUE(doc_->OpenFile(fixtures::RequestFor(path_, &parser, kRequestRefers)));
    ASSERT_TRUE(doc_->refersWanted);
    const int64_t called = 0x1000 + 64 * 5;
    const auto made = [&] {
        SectionLock lock(doc_->FileLock());
        const DizaMap& map = doc_->Map();
        const int i = map.FindFloor(called);
        return i >= 0 && map.GetAt(i).address == called && diza::KindOf(map.GetAt(i).kind) == diza::kCode;
    };
    ASSERT_TRUE(LoopUntil(made)) << "the refers scan made no code";
    Diza().SetFocus();
    Loop();
    FileDizaPane& pane = Diza();
    // Whether the row is painted as the cursor row, read from the screen at its right end.
    const auto highlighted = [&](int row) {
        const RECT r = pane.GetRowRect(row);
        HDC dc = ::GetDC(pane.m_hWnd);
        const COLORREF ground = ::GetPixel(dc, r.right - 6, (r.top + r.bottom) / 2);
        ::ReleaseDC(pane.m_hWnd, dc);
        return ground == pane.currentFocusColor || ground == pane.currentColor;
    };
    struct Case {
        int64_t target;
        const wchar_t* typed;
    };
    const Case cases[] = {
        { 0x1000 + 0x300 * 5, L"1F00" },    // a call target with its name line, far down
        { 0x1000 + 1333 * 5, L"2A09" },     // unmade code between made items
        { 0x1000 + 1336 * 5, L"2A18" },     // a few rows on, on the same page
        { 0x1000 + 40 * 5, L"10C8" },       // back up
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        GotoByDialog(c.typed);
        const int row = pane.Page().LineOfAddress(c.target);
        ASSERT_GE(row, 0) << "the target is not on the page";
        EXPECT_EQ(c.target, pane.Page().Row(row).address);
        EXPECT_EQ(row, pane.Page().currentRow);
        EXPECT_EQ(c.target, pane.GetCurrentAddress());
        for (int i = 0; i < pane.Page().LineCount(); ++i)
            EXPECT_EQ(i == row, highlighted(i)) << "row " << i << " of target row " << row;
    }
}

}  // namespace
