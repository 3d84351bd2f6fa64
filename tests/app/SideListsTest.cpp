// The side tab and its lists over a real document: captions, the segment columns, the names list's
// current row and filter, Shift+Delete on the strings, the bookmark actions, the result panes' copy
// and the find panes' active mark.

#include "app/AppMessages.h"
#include "app/FileSideTab.h"
#include "app/SideLists.h"
#include "app/resources/resource.h"
#include "classlib/Application.h"
#include "classlib/Dialog.h"
#include "tests/app/FileFixtures.h"
#include "tests/app/HeadlessPage.h"
#include "core/SectionLock.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "options/Options.h"
#include "toolkit/ScrollPager.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Records where the disassembly pane was sent.
class RecordingHost : public QuietHost {
public:
    void SendNotifyDizaPane(uint32_t message, uintptr_t high, intptr_t low) override {
        if (message == kMsgGoto)
            gotos.push_back(static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | static_cast<uint32_t>(low)));
    }
    std::vector<int64_t> gotos;
};

// Text at the start of the file, then zeros, then nops.
std::wstring ScratchFile(const wchar_t* name, int size) {
    std::wstring path = fixtures::ScratchPath(name);
    std::string bytes(static_cast<size_t>(size), '\0');
    const char text[] = "The quick brown fox jumps over";
    for (int i = 0; i < size; ++i)
        bytes[static_cast<size_t>(i)] = i < 30 ? text[i] : (i < 0x40 ? 0 : static_cast<char>(0x90));
    fixtures::WriteFileBytes(path, bytes);
    return path;
}

class SideListsTest : public ::testing::Test {
protected:
    void SetUp() override {
        options_.ApplyColorTheme();
        path_ = ScratchFile(L"sidelists.bin", 0x400);
        ASSERT_TRUE(frame_.CreateEx(0, nullptr, L"side", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                    RECT{ 0, 0, 460, 520 }, nullptr, 0));
        side_ = new FileSideTab;
        side_->side = 3;
        ASSERT_TRUE(side_->CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, RECT{ 0, 0, 440, 500 },
                                    frame_.m_hWnd, 220));
        SendToWindowTree(side_->m_hWnd, kMsgOptions, 1, reinterpret_cast<LPARAM>(&options_), true);
    }
    void TearDown() override {
        BookmarkPane::editBookmark = savedEdit_;
        BResultPane::putClipboard = savedPut_;
        BResultPane::reserveBuffer = savedReserve_;
        StringzPane::shiftHeld = savedShift_;
        delete side_;
        frame_.DestroyWindow();
        directory_.documents.clear();
        doc_.reset();
        ::DeleteFileW(path_.c_str());
    }
    // Opens the file with a parser that runs `parse`, then tells the lists as the file window would.
    void Open(std::function<bool(FileParseThread&)> parse, uint32_t flags = 0, int bitness = 32) {
        doc_.reset(new FileParseThread(&host_));
        doc_->options.CopyFrom(options_);
        directory_.documents = { doc_.get() };
        parser_.reset(new fixtures::StepParser([parse](FileParseThread* d) { return d && parse(*d); }));
        ParseRequest* r = MakeParseRequest(path_.c_str());
        r->mainParser = parser_.get();
        r->head.bitness = static_cast<int16_t>(bitness);
        r->head.acceptCode = 1;
        r->head.flags = flags;
        ASSERT_TRUE(doc_->OpenFile(r));
        Send(kMsgAttach, 1);
        Send(kMsgSegmentsChanged, 1);
        Send(kMsgParsing, 0);
    }
    void Send(UINT message, WPARAM w) {
        SendToWindowTree(side_->m_hWnd, message, w, reinterpret_cast<LPARAM>(doc_.get()), true);
    }
    // Shows a list and paints it (the rows' current item is remembered while drawing).
    void Show(int id) {
        ASSERT_TRUE(side_->SelectTab(id));
        side_->Invalidate();
        side_->UpdateWindow();
        Paint(*static_cast<BMultiZone*>(side_->active));
    }
    static void Paint(BMultiZone& list) { list.SendMessage(WM_ERASEBKGND, 0, 0); }
    std::wstring Caption(int id) {
        side_->RefreshCaptions();
        for (BTabOne* tab : side_->tabs)
            if (tab->window->GetDlgCtrlID() == id)
                return tab->caption;
        return L"?";
    }
    static void Click(BMultiZone& list, int row, int x = 4) {
        RECT r = list.GetRowRect(row);
        const LPARAM at = MAKELPARAM(x, (r.top + r.bottom) / 2);
        list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        list.SendMessage(WM_LBUTTONUP, 0, at);
    }
    static void DoubleClick(BMultiZone& list, int row, int x = 4) {
        Click(list, row, x);
        RECT r = list.GetRowRect(row);
        list.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, (r.top + r.bottom) / 2));
    }
    static int64_t Current(BMultiZone& list) { return list.Pager()->GetCurrent(list.VBar()); }

    Options options_;
    RecordingHost host_;
    std::unique_ptr<FileParseThread> doc_;
    fixtures::TestDirectory directory_;
    std::unique_ptr<fixtures::StepParser> parser_;
    CWnd frame_;
    FileSideTab* side_ = nullptr;
    std::wstring path_;
    bool (*savedEdit_)(CWnd*, StringW&, COLORREF&) = BookmarkPane::editBookmark;
    bool (*savedPut_)(const wchar_t*) = BResultPane::putClipboard;
    bool (*savedReserve_)(StringW&, size_t) = BResultPane::reserveBuffer;
    bool (*savedShift_)() = StringzPane::shiftHeld;
};

TEST_F(SideListsTest, SevenListsInTabOrderWithTheirColours) {
    const int ids[] = { 221, 222, 223, 224, 225, 226, 227 };
    const wchar_t* titles[] = { L"Segments", L"Names", L"Bookmarks", L"Refers", L"Strings", L"Find1", L"Find2" };
    ASSERT_EQ(side_->tabs.size(), 7u);
    for (size_t i = 0; i < 7; ++i) {
        BTabOne* tab = side_->tabs[i];
        EXPECT_EQ(tab->window->GetDlgCtrlID(), ids[i]);
        EXPECT_EQ(tab->caption, StringW(titles[i]));
        EXPECT_EQ(tab->fill, static_cast<COLORREF>(0xFF0000 + (i * 24 % 256) * 0x101)) << i;
        EXPECT_EQ(::GetParent(*tab->window), side_->m_hWnd);
    }
    EXPECT_EQ(side_->active, &side_->segments);
    EXPECT_EQ(side_->stripSide, BTabber::kLeft);
    EXPECT_EQ(side_->captions.IndexOfTab(225), 4);
    EXPECT_EQ(side_->captions.IndexOfTab(300), -1);
    // Without a document every caption is its base text.
    EXPECT_EQ(Caption(221), L"Segments");
    EXPECT_EQ(Caption(226), L"Find1");
}

TEST_F(SideListsTest, CaptionsShowTheListSizes) {
    Open([](FileParseThread& d) {
        return d.AddDataSegment(0x1000, 0, 0x200, 0x200) && d.AddDataSegment(0x2000, 0x200, 0x200, 0x200);
    }, kRequestRefers);
    doc_->stores.names.Add(0x1000, L"start", ' ');
    doc_->stores.names.Add(0x1010, L"next", ' ');
    doc_->stores.bookmarks.Set(0x1004, L"here", RGB(255, 0, 0));
    doc_->strings.Insert(0x1000, 10, kStringzAnsi);
    doc_->finds.GetResult(227)->AddHit(0x1008, 2, L"hit");
    EXPECT_EQ(Caption(221), L"Segments(2)");
    EXPECT_EQ(Caption(222), L"Names(2)");
    EXPECT_EQ(Caption(223), L"Bookmarks(1)");
    EXPECT_EQ(Caption(225), L"Strings(1)");
    EXPECT_EQ(Caption(226), L"Find1(0)");
    EXPECT_EQ(Caption(227), L"Find2(1)");
    // Refers were asked for (and a 32-bit file has an engine): the tab shows.
    ASSERT_TRUE(doc_->refersWanted);
    EXPECT_TRUE(side_->IsTabShown(224));
    {
        doc_->stores.refers.AddPair(0x1010, 0x1000);
        doc_->stores.refers.AddPair(0x1020, 0x1000);
        EXPECT_EQ(Caption(224), L"Refers(2)");   // pairs while another tab shows
        side_->SelectTab(224);
        EXPECT_EQ(Caption(224), L"Refers(-)");   // not filled for any address yet
        doc_->stores.refers.FillResults(0x1000, 1);
        EXPECT_EQ(Caption(224), L"Refers(" + std::to_wstring(doc_->stores.refers.results.Count()) + L")");
    }
    Send(kMsgAttach, 0);
    EXPECT_EQ(Caption(221), L"Segments");
    EXPECT_EQ(Caption(224), L"Refers");
    EXPECT_EQ(side_->colourCounter, 0);
}

TEST_F(SideListsTest, TheRefersTabIsHiddenWhenNoScanWasAskedFor) {
    Open([](FileParseThread& d) { return d.AddDataSegment(0x1000, 0, 0x200, 0x200); }, 0);
    EXPECT_FALSE(side_->IsTabShown(224));
    EXPECT_EQ(Caption(224), L"Refers");
}

TEST_F(SideListsTest, SegmentColumnsAndTheOffsetOfASegmentWithoutFileBytes) {
    Open([](FileParseThread& d) {
        return d.AddDataSegment(0x401000, 0x10, 0x300, 0x300) && d.AddDataSegment(0x500000, 0, 0, 0x12345);
    });
    SegmentListPane& list = side_->segments;
    SegmentListLine& line = *list.line;
    EXPECT_EQ(list.GetCount(), 2);
    // Digits from the largest value of each column.
    EXPECT_EQ(line.address->digitCount, 8);
    EXPECT_EQ(line.offset->digitCount, 4);
    EXPECT_EQ(line.fileSize->digitCount, 4);
    EXPECT_EQ(line.memorySize->digitCount, 8);
    line.SetData(list.GetItem(0));
    EXPECT_EQ(line.address->text, StringW(L"00401000"));
    EXPECT_EQ(line.offset->text, StringW(L"0010"));
    line.SetData(list.GetItem(1));
    EXPECT_EQ(line.offset->text, StringW(L"-"));
    EXPECT_EQ(line.memorySize->text, StringW(L"00012345"));
    EXPECT_EQ(list.GetItem(2), nullptr);
    // Every column is at least as wide as its title.
    for (BZone* zone : { static_cast<BZone*>(line.address), static_cast<BZone*>(line.offset),
                         static_cast<BZone*>(line.fileSize), static_cast<BZone*>(line.memorySize) })
        EXPECT_GE(zone->width, list.TitleWidth(zone)) << zone->id << " rect " << zone->rect.right - zone->rect.left;
    // The name column takes what the others leave.
    Show(221);
    RECT area;
    list.GetTextArea(area);
    int others = 0;
    for (int id = 1; id <= 4; ++id)
        others += line.ColumnWidth(id);
    EXPECT_GE(line.name->width, static_cast<int>(area.right - area.left) - others);
    EXPECT_GE(line.offset->rect.right - line.offset->rect.left, list.TitleWidth(line.offset));
    // A double click on the address goes there.
    DoubleClick(list, 1);
    ASSERT_FALSE(host_.gotos.empty());
    EXPECT_EQ(host_.gotos.back(), 0x500000);
}

// The segment columns fit every segment, also while the list is scrolled past the one with the widest
// name.
TEST_F(SideListsTest, SegmentColumnsFitEverySegmentWhateverTheScroll) {
    Open([](FileParseThread& d) {
        for (int i = 0; i < 60; ++i)
            if (!d.AddDataSegment(0x401000 + 0x100 * i, 0, 0, 0x100))
                return false;
        d.Segments().Get(0)->name = L"a_segment_name_wider_than_what_the_other_columns_leave_of_the_list";
        return true;
    });
    SegmentListPane& list = side_->segments;
    Show(221);
    const int fitted = list.line->name->width;
    RECT area;
    list.GetTextArea(area);
    int others = 0;
    for (int id = 1; id <= 4; ++id)
        others += list.line->ColumnWidth(id);
    ASSERT_GT(fitted, static_cast<int>(area.right - area.left) - others);   // the long name sets it
    list.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
    ASSERT_GT(list.VBar().top, 0);
    Send(kMsgSegmentsChanged, 1);
    EXPECT_EQ(fitted, list.line->name->width);
    list.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(area.right - 10, area.bottom));
    EXPECT_EQ(fitted, list.line->name->width);
}

TEST_F(SideListsTest, AddressTextsAtEachDigitCount) {
    struct Case {
        int64_t address;
        int digits;
        const wchar_t* text;
    } cases[] = {
        { 0x1234, 4, L"1234" },
        { 0x401000, 8, L"00401000" },
        { 0x140001000LL, 11, L"01`40001000" },
        { 0x7FFF00001000LL, 13, L"7FFF`00001000" },
        { 0x12, 17, L"00000000`00000012" },
        { -1, 8, L"" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ListAddressText(c.address, c.digits), StringW(c.text)) << c.digits;
}

TEST_F(SideListsTest, CopyPutsEveryResultWithItsAddress) {
    Open([](FileParseThread& d) { return d.AddDataSegment(0x140001000LL, 0, 0x200, 0x200); });
    ASSERT_EQ(doc_->addressWidth, 11);
    FindPane& pane = side_->find1;
    static std::wstring put;
    static bool putAnswer;
    put.clear();
    putAnswer = true;
    BResultPane::putClipboard = [](const wchar_t* text) { put = text; return putAnswer; };
    // No records: nothing goes to the clipboard, and the button is off.
    pane.SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
    EXPECT_FALSE(pane.cornerButtons.IsButtonEnabled(kCmdCopyResults));
    EXPECT_TRUE(pane.CopyToClipboard());
    EXPECT_TRUE(put.empty());
    FindResult* result = doc_->finds.GetResult(226);
    result->AddHit(0x140001010LL, 4, L"mov eax, 1");
    result->AddHit(0x140001000LL, 2, nullptr);
    EXPECT_TRUE(pane.CopyToClipboard());
    EXPECT_EQ(put, L"01`40001000 \n01`40001010 mov eax, 1\n");
    // The buttons: enabled while there are records; the command copies.
    pane.SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
    EXPECT_TRUE(pane.cornerButtons.IsButtonEnabled(kCmdCopyResults));
    put.clear();
    pane.SendMessage(WM_COMMAND, kCmdCopyResults, 0);
    EXPECT_FALSE(put.empty());
    // Failures are logged.
    std::vector<std::wstring> lines;
    struct Sink : BLogSink {
        std::vector<std::wstring>* lines;
        void AddLine(const wchar_t* text, bool) override { lines->push_back(text); }
    } sink;
    sink.lines = &lines;
    doc_->Log().SetSink(&sink);
    putAnswer = false;
    EXPECT_FALSE(pane.CopyToClipboard());
    BResultPane::reserveBuffer = [](StringW&, size_t) { return false; };
    EXPECT_FALSE(pane.CopyToClipboard());
    doc_->Log().SetSink(nullptr);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], L"ClipboardCopy failed for 0Kb");
    EXPECT_EQ(lines[1].rfind(L"No free memory (", 0), 0u);
}

TEST_F(SideListsTest, TheNamesListKeepsItsCurrentNameWhenNamesAreAddedBeforeIt) {
    Open([](FileParseThread& d) { return d.AddDataSegment(0x10000, 0, 0x400, 0x10000); });
    for (int i = 0; i < 40; ++i)
        doc_->stores.names.Add(0x10000 + 0x100 * i, StringW(kFormat, L"name_%d", i).c_str(), ' ');
    GlobalNamePane& list = side_->names;
    Show(222);
    Click(list, 5);
    Paint(list);
    EXPECT_EQ(list.rememberedAddress, 0x10500);
    // Three names land before it: the current row follows.
    for (int i = 0; i < 3; ++i)
        doc_->stores.names.Add(0x10001 + i, StringW(kFormat, L"early_%d", i).c_str(), ' ');
    Paint(list);
    EXPECT_EQ(Current(list), 8);
    EXPECT_EQ(list.rememberedAddress, 0x10500);
    // The name order lists by text; a filter narrows the list.
    list.SetOrder(GlobalNamePane::kOrderByName);
    EXPECT_EQ(static_cast<const NAME_DATA*>(list.GetItem(0))->text, std::wstring(L"early_0"));
    list.filterText = L"name_1";
    list.Refilter();
    EXPECT_EQ(list.GetCount(), 11);   // name_1, name_10 ... name_19
    list.filterText = L"zz";
    list.Refilter();
    EXPECT_EQ(list.GetCount(), 0);
    list.filterText.clear();
    EXPECT_EQ(list.GetCount(), 43);
}

// A 64-bit file at its usual base: the refers scan's names hold the '`' of their address text, are
// listed, and the filter takes that character.
TEST_F(SideListsTest, CallTargetNamesOfAFileAboveFourGigabytesAreListed) {
    std::string bytes(0x400, '\x90');
    bytes.replace(0, 5, std::string("\xE8\x0B\0\0\0", 5));   // call 140001010
    bytes[0x10] = '\xC3';
    fixtures::WriteFileBytes(path_, bytes);
    Open([](FileParseThread& d) { return d.AddCodeSegment(0x140001000LL, 0, 0x400, 0x400); }, kRequestRefers, 64);
    doc_->stores.refers.ScanAll();   // what the scan job does after the parse
    EXPECT_EQ(Caption(222), L"Names(1)");
    GlobalNamePane& list = side_->names;
    Show(222);
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_EQ(static_cast<const NAME_DATA*>(list.GetItem(0))->text, std::wstring(L"fn_01`40001010"));
    list.filterText = L"01`4";
    list.Refilter();
    EXPECT_EQ(list.GetCount(), 1);
    list.filterText.clear();
}

TEST_F(SideListsTest, FilterCharactersOfTheNamesAndStringsLists) {
    struct Case {
        wchar_t c;
        bool name;
        bool string;
    } cases[] = {
        { L'a', true, true }, { L'7', true, true }, { L'_', true, true }, { L'@', true, true }, { L'`', true, true },
        { L' ', false, true }, { L',', false, true }, { L'+', false, true }, { 0x0430, false, false },
        { L'\t', false, false },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(side_->names.AcceptsFilterChar(c.c), c.name) << int(c.c);
        EXPECT_EQ(side_->strings.AcceptsFilterChar(c.c), c.string) << int(c.c);
    }
}

TEST_F(SideListsTest, ShiftDeleteRemovesTheCurrentStringAndDeleteAloneDoesNot) {
    Open([](FileParseThread& d) { return d.AddDataSegment(0x1000, 0, 0x400, 0x400); });
    doc_->strings.Insert(0x1000, 10, kStringzAnsi);
    doc_->strings.Insert(0x1004, 6, kStringzWide);
    doc_->strings.Insert(0x1010, 8, kStringzAnsi);
    // Refers into the wide string's 12 bytes [1004, 1010), one of them also in the first string's
    // [1000, 100A); and just past the end of the first and of the last [1010, 1018).
    for (int64_t to : { 0x1008, 0x100A, 0x100E, 0x1018 })
        doc_->stores.refers.AddPair(0x1100, to);
    StringzPane& list = side_->strings;
    Show(225);
    auto* row = static_cast<const StringzRow*>(list.GetItem(0));
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text, StringW(L"'The quick '"));
    EXPECT_EQ(row->refers, 1);
    EXPECT_EQ(static_cast<const StringzRow*>(list.GetItem(1))->refers, 3);
    EXPECT_EQ(static_cast<const StringzRow*>(list.GetItem(2))->refers, 0);
    list.line->SetData(list.GetItem(2));
    EXPECT_EQ(list.line->refers->text, StringW(L""));
    Click(list, 1);
    StringzPane::shiftHeld = [] { return false; };
    list.SendMessage(WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(doc_->strings.Count(), 3);
    EXPECT_FALSE(doc_->modified);
    StringzPane::shiftHeld = [] { return true; };
    list.SendMessage(WM_KEYDOWN, VK_DELETE, 0);
    ASSERT_EQ(doc_->strings.Count(), 2);
    EXPECT_TRUE(doc_->modified);
    STRINGZ_DATA left{};
    doc_->strings.Get(1, left);
    EXPECT_EQ(left.address, 0x1010);
}

TEST_F(SideListsTest, BookmarkRowsGoAndEditTheirNotes) {
    Open([](FileParseThread& d) { return d.AddDataSegment(0x1000, 0, 0x400, 0x400); });
    doc_->stores.bookmarks.Set(0x1010, L"first", RGB(255, 0, 0));
    doc_->stores.bookmarks.Set(0x1200, L"second", RGB(0, 0, 255));
    BookmarkPane& list = side_->bookmarks;
    Show(223);
    EXPECT_TRUE(list.GotoBookmark(0x1200));
    EXPECT_EQ(Current(list), 1);
    EXPECT_FALSE(list.GotoBookmark(0x1201));
    list.line->SetData(list.GetItem(0));
    EXPECT_NE(list.line->flag->icon, nullptr);
    EXPECT_EQ(list.line->note->text, StringW(L"first"));
    // The address cell goes there; the note cell runs the dialog and stores what it gives.
    list.OnItemAction(list.line->address, 0);
    ASSERT_EQ(host_.gotos.size(), 1u);
    EXPECT_EQ(host_.gotos[0], 0x1010);
    BookmarkPane::editBookmark = [](CWnd*, StringW& note, COLORREF& colour) {
        note = L"changed";
        colour = RGB(0, 255, 0);
        return true;
    };
    list.OnItemAction(list.line->note, 1);
    BOOKMARK_DATA b{};
    ASSERT_TRUE(doc_->stores.bookmarks.Get(0x1200, &b));
    EXPECT_EQ(std::wstring(b.text), L"changed");
    EXPECT_EQ(b.colour, RGB(0, 255, 0));
    EXPECT_TRUE(doc_->modified);
    // The real dialog: it offers the note, and what is typed into it replaces the note on OK.
    BookmarkPane::editBookmark = savedEdit_;
    static std::wstring offered;
    PushModalAction([](Dialog& d) {
        offered = d.GetItemText(IDC_BOOKMARK_NOTE);
        d.SetItemText(IDC_BOOKMARK_NOTE, L"typed");
        ::SendMessageW(d.Item(IDOK), BM_CLICK, 0, 0);
    });
    list.OnItemAction(list.line->note, 1);
    EXPECT_EQ(PendingModalActions(), 0u);
    EXPECT_EQ(offered, L"changed");
    ASSERT_TRUE(doc_->stores.bookmarks.Get(0x1200, &b));
    EXPECT_EQ(std::wstring(b.text), L"typed");
    EXPECT_EQ(b.colour, RGB(0, 255, 0));
}

TEST_F(SideListsTest, AShownFindPaneIsTheActiveOneAndKeepsItsRowOnTheHit) {
    Open([](FileParseThread& d) { return d.AddDataSegment(0x1000, 0, 0x400, 0x400); });
    FindResult* result = doc_->finds.GetResult(227);
    for (int i = 0; i < 10; ++i)
        result->AddHit(0x1000 + 0x20 * i, 2, L"found");
    Show(227);
    EXPECT_EQ(doc_->finds.activePane, 227);
    EXPECT_NE(side_->TabByWindow(&side_->find2)->icon, nullptr);
    EXPECT_EQ(side_->TabByWindow(&side_->find1)->icon, nullptr);
    side_->OnResultFound(1, 0x1000 + 0x20 * 6);
    EXPECT_EQ(Current(side_->find2), 6);
    Paint(side_->find2);
    // A hit added before the current row: the row follows its record.
    result->AddHit(0x1002, 2, L"early");
    Paint(side_->find2);
    EXPECT_EQ(Current(side_->find2), 7);
    // A double click on the address of a hit goes there.
    const int64_t second = result->At(static_cast<int>(side_->find2.LineOfRow(2))).pos.address;
    DoubleClick(side_->find2, 2);
    ASSERT_FALSE(host_.gotos.empty());
    EXPECT_EQ(host_.gotos.back(), second);
    Show(226);
    EXPECT_EQ(doc_->finds.activePane, 226);
    EXPECT_EQ(side_->TabByWindow(&side_->find2)->icon, nullptr);
    side_->EmptyResultPane(1);
    EXPECT_EQ(side_->find2.rememberedIndex, -1);
}

}  // namespace

namespace {

// The UI option decides whether result rows mark the span their record gives; off at start.
TEST_F(SideListsTest, ResultRowsMarkTheFoundSpanAsTheOptionSays) {
    Open([](FileParseThread& d) { return d.AddDataSegment(0x1000, 0, 0x400, 0x400); });
    const _RESULT_DIZA record{ { 0x1040, 0xD0000000 }, L"mov eax, ebx", 4, 3 };
    struct Case {
        BResultPane* pane;
        bool option;
    } cases[] = { { &side_->find1, false }, { &side_->refers, false }, { &side_->find2, true },
                  { &side_->refers, true }, { &side_->find1, false } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.option);
        options_.ui.resultHighlight.value = c.option;
        SendToWindowTree(side_->m_hWnd, kMsgOptions, 1, reinterpret_cast<LPARAM>(&options_), true);
        c.pane->line->SetData(&record);
        BZoneString* text = c.pane->line->result;
        EXPECT_EQ(text->text, StringW(L"mov eax, ebx"));
        EXPECT_EQ(text->highlightMap.Test(4), c.option);
        EXPECT_EQ(text->highlightMap.Test(6), c.option);
        EXPECT_FALSE(text->highlightMap.Test(3));
        EXPECT_FALSE(text->highlightMap.Test(7));
    }
    // A hex hit (no span in its text) marks nothing.
    options_.ui.resultHighlight.value = true;
    SendToWindowTree(side_->m_hWnd, kMsgOptions, 1, reinterpret_cast<LPARAM>(&options_), true);
    const _RESULT_DIZA hit{ { 0x1040, 0 }, L"90 90", -1, 2 };
    side_->find1.line->SetData(&hit);
    EXPECT_FALSE(side_->find1.line->result->highlightMap.Test(0));
}

}  // namespace

namespace {

using fixtures::CountInPage;

TEST_F(SideListsTest, BookmarkFlagsShowInTheirColours) {
    Open([](FileParseThread& d) { return d.AddDataSegment(0x1000, 0, 0x400, 0x400); });
    doc_->stores.bookmarks.Set(0x1010, L"green", RGB(0, 255, 0));
    doc_->stores.bookmarks.Set(0x1020, L"blue", RGB(0, 0, 255));
    BookmarkPane& list = side_->bookmarks;
    Show(223);
    const BZone* flag = list.line->flag;
    RECT first = list.GetRowRect(0), second = list.GetRowRect(1);
    first.left = second.left = flag->rect.left;
    first.right = second.right = flag->rect.right;
    EXPECT_GT(CountInPage(list, first, RGB(0, 255, 0)), 10);
    EXPECT_EQ(CountInPage(list, first, RGB(0, 0, 255)), 0);
    EXPECT_GT(CountInPage(list, second, RGB(0, 0, 255)), 10);
    EXPECT_EQ(CountInPage(list, second, RGB(255, 0, 0)), 0);
}

// A store changed with no word to its list (as a scan or a plug-in changes it): once the application is
// idle the shown list draws what its caption counts, and a rename that keeps the count shows too.
TEST_F(SideListsTest, IdleTimeRedrawsAShownListWhoseStoreChanged) {
    Open([](FileParseThread& d) { return d.AddDataSegment(0x1000, 0, 0x400, 0x400); });
    Application app;
    app.SetMainWindow(&frame_);
    const auto idle = [&](BMultiList& list) {
        app.RunIdle();
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            app.PumpMessage(msg);
        app.RunIdle();   // drawn as it is: not drawn again
        EXPECT_FALSE(::GetUpdateRect(list.m_hWnd, nullptr, FALSE));
    };
    GlobalNamePane& names = side_->names;
    doc_->stores.names.Add(0x1000, L"start", ' ');
    Show(222);
    idle(names);
    EXPECT_EQ(1, fixtures::RowsInPage(names, *names.line->address));
    doc_->stores.names.Add(0x1010, L"next", ' ');
    idle(names);
    EXPECT_EQ(2, fixtures::RowsInPage(names, *names.line->address));
    EXPECT_EQ(L"Names(2)", Caption(222));
    ASSERT_TRUE(doc_->stores.names.Rename(L"next", L"later"));
    idle(names);
    EXPECT_EQ(StringW(L"later"), names.line->name->text);   // the last row drawn

    FindPane& hits = side_->find1;
    Show(226);
    idle(hits);
    EXPECT_EQ(0, fixtures::RowsInPage(hits, *hits.line->address));
    doc_->finds.GetResult(226)->AddHit(0x1008, 2, L"hit");
    idle(hits);
    EXPECT_EQ(1, fixtures::RowsInPage(hits, *hits.line->address));
    EXPECT_EQ(L"Find1(1)", Caption(226));
    app.SetMainWindow(nullptr);
}

}  // namespace
