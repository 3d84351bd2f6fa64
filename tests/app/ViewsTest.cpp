// The views of a file window over a real document: the colour roles of instruction and data texts, the
// rows of the disassembly and comment panes, the selection by keys, the command guards, and the dump
// pane's layout, scrolling and read window.

#include "app/AppMessages.h"
#include "app/AskCancel.h"
#include "app/DFind.h"
#include "app/DGoto.h"
#include "app/FileButtonBar.h"
#include "app/FileLogPane.h"
#include "app/DizaZoneLines.h"
#include "app/FileDizaPane.h"
#include "app/FileDumpPane.h"
#include "app/FileLogPane.h"
#include "app/FileMainPane.h"
#include "app/FileLowPane.h"
#include "app/FilePane.h"
#include "app/FileStatusBar.h"
#include "app/ShowasPane.h"
#include "app/resources/resource.h"
#include "classlib/Dialog.h"
#include "classlib/PixelSurface.h"
#include "classlib/Screenshot.h"
#include "core/SectionLock.h"
#include "core/SystemServices.h"
#include "document/BDizaLine.h"
#include "document/BFileParser.h"
#include "document/Diza.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "document/FindContext.h"
#include "options/BColorTheme.h"
#include "options/Options.h"
#include "tests/app/FileFixtures.h"
#include "tests/classlib/FakeCursorClip.h"
#include "tests/classlib/MouseTakers.h"
#include "toolkit/BButton.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

// --- Colour roles.

std::string Roles(const wchar_t* text, bool code) {
    AttrLine attrs;
    const int n = static_cast<int>(std::wcslen(text));
    attrs.Reserve(n);
    if (code)
        dizatext::ColorInstruction(text, n, attrs);
    else
        dizatext::ColorData(text, n, attrs);
    std::string roles;
    for (int i = 0; i < n; ++i)
        roles += static_cast<char>('0' + dizatext::RoleAt(attrs, i));
    return roles;
}

TEST(DizaColours, InstructionAndDataTextsGetTheirRoles) {
    struct Case {
        const wchar_t* text;
        bool code;
        const char* roles;
    };
    const Case cases[] = {
        // Prefixes take the instruction after them into the mnemonic.
        { L"rep movsb", true, "333333333" },
        { L"repne scasb", true, "33333333333" },
        { L"repne", true, "33333" },
        { L"lock xadd", true, "333333333" },
        { L"push eax", true, "33330444" },
        // A memory operand whose bracket starts with a register gets no name colour inside.
        { L"mov eax, [ebx+4]", true, "3330444066666666" },
        { L"call [MyTable]", true, "33330677777776" },
        { L"jmp short loc_1000", true, "333077777777777777" },
        { L"add al,1Fh", true, "3330440557" },
        { L"add al, 1Fh", true, "33304406666" },
        { L"mov CR?,eax", true, "33304440444" },
        { L"fld st?", true, "3330444" },
        { L"db 1, 2, 3", false, "3305055055" },
        { L"dd 12345678h", false, "330555555555" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.roles, Roles(c.text, c.code)) << std::string(c.text, c.text + std::wcslen(c.text));
}

TEST(DizaColours, RegisterNamesEndAtAnOperandBoundary) {
    struct Case {
        const wchar_t* text;
        int at;
        int length;
    };
    const Case cases[] = {
        { L"eax", 0, 3 }, { L"eax,", 0, 3 }, { L"eaxb", 0, 0 }, { L"[esi+4]", 1, 3 }, { L"st(3)]", 0, 5 },
        { L"r15", 0, 3 }, { L"r15d", 0, 4 }, { L"EAX", 0, 0 }, { L"sil*2", 0, 3 }, { L"x", 0, 0 },
        // The engine's placeholders and upper-case names colour as it prints them; test registers do not.
        { L"st?", 0, 3 }, { L"mm?,", 0, 3 }, { L"CR?", 0, 3 }, { L"DR?", 0, 3 }, { L"?s", 0, 2 },
        { L"CR1", 0, 3 }, { L"cr1", 0, 0 }, { L"TR0", 0, 0 }, { L"tr6", 0, 0 },
    };
    for (const Case& c : cases) {
        const int n = static_cast<int>(std::wcslen(c.text));
        EXPECT_EQ(c.length, dizatext::RegisterNameAt(c.text, n, c.at)) << c.at;
    }
}

// --- A file window over a real file.

using fixtures::ScratchPath;
using fixtures::StepParser;
using fixtures::TestDirectory;

void WriteBytes(const std::wstring& path, int size) {
    std::string bytes(static_cast<size_t>(size), '\0');
    for (int i = 0; i < size; ++i)
        bytes[static_cast<size_t>(i)] = static_cast<char>(i * 7);
    fixtures::WriteFileBytes(path, bytes);
}

void Pump() {
    MSG msg;
    for (int i = 0; i < 400 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void SetModifier(int key, int left, bool down) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[key] = down ? 0x80 : 0;
    keys[left] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

void SetShift(bool down) { SetModifier(VK_SHIFT, VK_LSHIFT, down); }

class ViewsTest : public ::testing::Test {
protected:
    explicit ViewsTest(int size = 0x2000) : size_(size) {}
    void SetUp() override {
        options_.ApplyColorTheme();
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        path_ = ScratchPath((L"views-" + std::wstring(name.begin(), name.end()) + L".bin").c_str());
        WriteBytes(path_, size_);
        ASSERT_TRUE(frame_.CreateEx(0, nullptr, L"frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                    RECT{ 0, 0, 900, 700 }, nullptr, 0));
        window_ = new FilePane;
        ASSERT_TRUE(window_->CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                      RECT{ 0, 0, 880, 660 }, frame_.m_hWnd, 0));
        frame_.ShowWindow(SW_SHOWNOACTIVATE);
        doc_ = new FileParseThread(window_);
        directory_.documents.push_back(doc_);
        doc_->options.CopyFrom(options_);
        SendToWindowTree(window_->m_hWnd, kMsgOptions, 1, reinterpret_cast<LPARAM>(&options_), true);
    }
    void TearDown() override {
        SetShift(false);
        dump_.reset();
        directory_.documents.clear();
        delete window_;
        frame_.DestroyWindow();
        ::DeleteFileW(path_.c_str());
    }
    // One data segment over the file (and `extra` bytes more in memory), items of 4 bytes at its start.
    void Open(int64_t extra = 0, std::function<void(FileParseThread*)> more = nullptr) {
        StepParser parser([&](FileParseThread* d) { return fixtures::LayDataItems(d, size_, extra, more); });
        ASSERT_TRUE(doc_->OpenFile(fixtures::RequestFor(path_, &parser)));
        Pump();
        Paint();
    }
    FileMainPane& Main() { return *dynamic_cast<FileMainPane*>(window_->MainPane()); }
    FileDizaPane& Diza() { return Main().diza; }
    void Paint() {
        Diza().Invalidate();
        Diza().UpdateWindow();
        Main().comments.UpdateWindow();
    }
    // The text the comment pane shows in a row.
    std::wstring CommentText(int row) {
        FileOncommentPane& c = Main().comments;
        SectionLock lock(doc_->FileLock());
        std::unique_ptr<BDizaLine> model(static_cast<BDizaLine*>(c.GetItem(row)));
        BZoneLine* line = c.GetLine(row);
        if (!model || line != reinterpret_cast<BZoneLine*>(c.commentLine))
            return L"-";
        line->row = row;
        line->SetData(model.get());
        return c.commentLine->text->text.c_str();
    }
    // The line kinds of the page's rows for one address, in order.
    std::vector<uint32_t> KindsAt(int64_t address) {
        std::vector<uint32_t> kinds;
        DizaPage& page = Diza().Page();
        for (int i = 0; i < page.LineCount(); ++i)
            if (page.Row(i).address == address)
                kinds.push_back(page.Row(i).line >> 28);
        return kinds;
    }
    void Key(UINT key) { Diza().SendMessage(WM_KEYDOWN, key, 0); }
    // A double click of the left button as the system posts it, with the keys held.
    // Pixels of a colour that a window shows in its client area, or in a part of it.
    static int CountShown(HWND window, COLORREF colour, const RECT* part = nullptr) {
        PixelSurface shot;
        if (!CaptureWindow(window, shot, true))
            return -1;
        const RECT all{ 0, 0, shot.Width(), shot.Height() };
        return shot.CountColour(part ? *part : all, colour);
    }
    static void DoubleClick(CWnd& pane, LPARAM at, WPARAM keys = 0) {
        pane.PostMessage(WM_LBUTTONDOWN, keys | MK_LBUTTON, at);
        pane.PostMessage(WM_LBUTTONUP, keys, at);
        pane.PostMessage(WM_LBUTTONDBLCLK, keys | MK_LBUTTON, at);
        pane.PostMessage(WM_LBUTTONUP, keys, at);
    }

    int size_;
    wintest::FakeCursorClip clip_;
    Options options_;
    TestDirectory directory_;
    CWnd frame_;
    FilePane* window_ = nullptr;
    FileParseThread* doc_ = nullptr;
    std::wstring path_;
    std::unique_ptr<FileDumpPane> dump_;
};

TEST_F(ViewsTest, PanesAreMadeAndTheFirstSegmentStartsThePage) {
    Open();
    FileDizaPane& diza = Diza();
    ASSERT_TRUE(diza.m_hWnd);
    EXPECT_EQ(FileMainPane::kIdDizaPane, ::GetDlgCtrlID(diza.m_hWnd));
    EXPECT_EQ(FileMainPane::kIdCommentPane, ::GetDlgCtrlID(Main().comments.m_hWnd));
    EXPECT_EQ(doc_, diza.document);
    EXPECT_NE(0, diza.Page().valid);
    EXPECT_GT(diza.Page().LineCount(), 5);
    EXPECT_EQ(0x1000, diza.Page().Row(0).address);
    EXPECT_EQ(0x1004, diza.Page().Row(1).address);
    EXPECT_EQ(0x1000, diza.VBar().rangeStart);
    EXPECT_EQ(0x1000 + size_, diza.VBar().rangeEnd);
}

TEST_F(ViewsTest, OnlineCommentRowsFollowTheCommentPane) {
    Open(0, [](FileParseThread* d) {
        d->stores.lineComments.SetComment(0x1008, L"one\ntwo\nthree");
        d->stores.names.Add(0x1008, L"table", ' ');
        d->stores.onlineComments.SetComment(0x1008, L"first\nsecond\nthird");
    });
    ASSERT_TRUE(Diza().CommentPaneVisible());
    Paint();
    // Three comment lines, the name, the item, two continuation rows.
    EXPECT_EQ((std::vector<uint32_t>{ 1, 1, 1, 2, 0xD, 15, 15 }), KindsAt(0x1008));
    const int item = Diza().Page().LineOfAddress(0x1008);
    ASSERT_GE(item, 0);
    EXPECT_EQ(L";first", CommentText(item));
    EXPECT_EQ(L";second", CommentText(item + 1));
    EXPECT_EQ(L";third", CommentText(item + 2));
    EXPECT_EQ(L"", CommentText(item - 1));

    Diza().RunCommand(kCmdShowComments);
    Paint();
    EXPECT_FALSE(Diza().CommentPaneVisible());
    EXPECT_EQ((std::vector<uint32_t>{ 1, 1, 1, 2, 0xD }), KindsAt(0x1008));
    Diza().RunCommand(kCmdShowComments);
    Paint();
    EXPECT_EQ(7u, KindsAt(0x1008).size());
}

TEST_F(ViewsTest, ShiftArrowsMarkAndAReleasedShiftFinishesTheBlock) {
    Open();
    FileDizaPane& diza = Diza();
    BlockSelection& s = diza.Page().selection;
    SetShift(true);
    for (int i = 0; i < 3; ++i)
        Key(VK_DOWN);
    EXPECT_EQ(BlockSelection::kMarking, s.state);
    EXPECT_EQ(0x1000, s.Lower().address);
    EXPECT_EQ(0x100C, s.Higher().address);
    SetShift(false);
    diza.SendMessage(WM_KEYUP, VK_SHIFT, 0);
    EXPECT_EQ(BlockSelection::kMarked, s.state);
    // A new Shift+Down replaces the finished block by one beginning at the current row.
    SetShift(true);
    Key(VK_DOWN);
    EXPECT_EQ(BlockSelection::kMarking, s.state);
    EXPECT_EQ(0x100C, s.Lower().address);
    EXPECT_EQ(0x1010, s.Higher().address);
    // A plain arrow clears it.
    SetShift(false);
    Key(VK_DOWN);
    EXPECT_EQ(BlockSelection::kNone, s.state);
}

TEST_F(ViewsTest, APressInEitherPaneHoldsThePointerUntilTheButtonGoesUp) {
    Open();
    for (BMultiZone* pane : { static_cast<BMultiZone*>(&Diza()), static_cast<BMultiZone*>(&Main().comments) }) {
        const RECT row = pane->GetRowRect(3);
        const LPARAM at = MAKELPARAM(row.right - 20, (row.top + row.bottom) / 2);
        pane->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        EXPECT_FALSE(wintest::FakeCursorClip::Free());
        EXPECT_EQ(3, Diza().Page().currentRow);
        pane->SendMessage(WM_LBUTTONUP, 0, at);
        EXPECT_TRUE(wintest::FakeCursorClip::Free());
        Key(VK_UP);
    }
    BOOKMARK_DATA mark{};
    EXPECT_FALSE(doc_->stores.bookmarks.Get(0x100C, &mark));
}

// A press in the rows of the disassembly, comment or log pane lets go when something else takes the
// mouse: the cursor is free, the capture gone, a block begun by the drag is finished.
TEST_F(ViewsTest, APressInTheRowsLetsGoWhenTheMouseIsTaken) {
    Open();
    BlockSelection& s = Diza().Page().selection;
    FileLogPane* log = window_->LogPane();
    ASSERT_TRUE(log && log->m_hWnd);
    for (wintest::MouseTaker taker : wintest::kMouseTakers) {
        for (BMultiZone* pane : { static_cast<BMultiZone*>(&Diza()), static_cast<BMultiZone*>(&Main().comments),
                                  static_cast<BMultiZone*>(log) }) {
            const RECT row = pane->GetRowRect(1);
            const RECT below = pane->GetRowRect(4);
            const int x = row.right - 20;
            POINT screen{ x, (below.top + below.bottom) / 2 };
            pane->ClientToScreen(&screen);
            ::SetCursorPos(screen.x, screen.y);
            pane->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, (row.top + row.bottom) / 2));
            pane->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, (below.top + below.bottom) / 2));
            Pump();
            ASSERT_FALSE(wintest::FakeCursorClip::Free()) << wintest::TakerName(taker);
            const wintest::TakenState seen = wintest::TakeMouse(taker, pane->m_hWnd);
            EXPECT_TRUE(seen.cursorFree) << wintest::TakerName(taker);
            EXPECT_TRUE(seen.captureFree) << wintest::TakerName(taker);
            EXPECT_TRUE(wintest::FakeCursorClip::Free()) << wintest::TakerName(taker);
            EXPECT_NE(BlockSelection::kMarking, s.state) << wintest::TakerName(taker);
            Key(VK_UP);   // a plain key clears the block
            EXPECT_EQ(BlockSelection::kNone, s.state) << wintest::TakerName(taker);
        }
    }
}

// The split drag between the disassembly and comment panes: a track line over the main pane
// follows the pointer, which is held in the main pane; the width changes once, on release; a drag
// that loses the mouse erases its line, frees the cursor and changes nothing.
TEST_F(ViewsTest, TheSplitDragTracksALineAndSizesOnRelease) {
    Open();
    FileOncommentPane& comments = Main().comments;
    ASSERT_TRUE(comments.IsShown());
    BDivider* divider = comments.Divider();
    ASSERT_TRUE(divider && divider->m_hWnd);
    RECT bar{};
    ::GetWindowRect(divider->m_hWnd, &bar);
    POINT grip{ (bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2 };
    auto pointAt = [&](int dx) {
        ::SetCursorPos(grip.x + dx, grip.y);
        POINT p{ grip.x + dx, grip.y };
        ::ScreenToClient(divider->m_hWnd, &p);
        return MAKELPARAM(p.x, p.y);
    };
    auto mainX = [&](int dx) {
        POINT p{ grip.x + dx, grip.y };
        ::ScreenToClient(Main().m_hWnd, &p);
        return static_cast<int>(p.x);
    };
    // What the main pane shows at a place (over its children too).
    auto shown = [&](int x, int y) {
        CClientDC dc(Main().m_hWnd, DCX_CACHE);
        return ::GetPixel(dc.GetSafeHdc(), x, y);
    };
    RECT mainArea = Main().GetClientRect();
    ::MapWindowPoints(Main().m_hWnd, nullptr, reinterpret_cast<POINT*>(&mainArea), 2);
    const int width = comments.GetExtent();
    const int lineY = Main().GetClientRect().bottom / 2;
    Paint();
    const COLORREF before = shown(mainX(-60), lineY);

    divider->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, pointAt(0));
    Pump();
    divider->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, pointAt(-60));
    Pump();
    // Held in the main pane, where the comment pane keeps within 0 and its largest share.
    const RECT held = wintest::FakeCursorClip::Current();
    EXPECT_EQ(mainArea.top, held.top);
    EXPECT_EQ(mainArea.bottom, held.bottom);
    EXPECT_LE(held.right, mainArea.right);
    EXPECT_GE(held.right, mainArea.right - 4);
    EXPECT_GT(held.left, mainArea.left + (mainArea.right - mainArea.left) / 10);
    EXPECT_EQ(mainX(-60), comments.SplitTrackX());
    EXPECT_EQ(before ^ 0xFFFFFFu, shown(mainX(-60), lineY));   // the inverted track line
    EXPECT_EQ(width, comments.GetExtent());            // nothing moves before the release
    divider->PostMessage(WM_LBUTTONUP, 0, pointAt(-60));
    Pump();
    EXPECT_TRUE(wintest::FakeCursorClip::Free());
    EXPECT_EQ(-1, comments.SplitTrackX());
    EXPECT_EQ(width + 60, comments.GetExtent());

    for (wintest::MouseTaker taker : wintest::kMouseTakers) {
        ::GetWindowRect(divider->m_hWnd, &bar);
        grip = POINT{ (bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2 };
        const int before = comments.GetExtent();
        Paint();
        Pump();
        const COLORREF under = shown(mainX(-30), lineY);
        divider->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, pointAt(0));
        Pump();
        divider->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, pointAt(-30));
        Pump();
        ASSERT_EQ(mainX(-30), comments.SplitTrackX()) << wintest::TakerName(taker);
        const wintest::TakenState seen = wintest::TakeMouse(taker, divider->m_hWnd);
        EXPECT_TRUE(seen.cursorFree) << wintest::TakerName(taker);
        EXPECT_TRUE(seen.captureFree) << wintest::TakerName(taker);
        EXPECT_EQ(-1, comments.SplitTrackX()) << wintest::TakerName(taker);
        EXPECT_EQ(under, shown(mainX(-30), lineY)) << wintest::TakerName(taker);   // the line is gone
        divider->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, pointAt(-90));
        divider->PostMessage(WM_LBUTTONUP, 0, pointAt(-90));
        Pump();
        EXPECT_EQ(before, comments.GetExtent()) << wintest::TakerName(taker);
    }
}

TEST_F(ViewsTest, HexFindHitsMarkTheirDumpCells) {
    Open();
    FindResult* result = doc_->finds.GetResult(kFind1Pane);
    result->parameters.flags = kFindHexMode;
    result->AddHit(0x1005, 2, L"00 00");
    result->AddHit(0x1006, 2, L"00 00");
    doc_->finds.activePane = kFind1Pane;
    FileDizaPane& diza = Diza();
    Paint();
    const int row = diza.Page().LineOfAddress(0x1004);
    ASSERT_GE(row, 0);
    SectionLock lock(doc_->FileLock());
    std::unique_ptr<BDizaLine> model(static_cast<BDizaLine*>(diza.GetItem(row)));
    diza.bodyLine->row = row;
    diza.bodyLine->SetData(model.get());
    const ColorMap& marks = diza.bodyLine->dump->highlightMap;
    std::string cells;
    for (int i = 0; i < 8; ++i)
        cells += marks.Test(i) ? '1' : '0';
    EXPECT_EQ("00111111", cells);   // bytes 1 to 3 of the item at 0x1004 lie in the two hits
    doc_->finds.activePane = 0;
    diza.bodyLine->SetData(model.get());
    EXPECT_TRUE(diza.bodyLine->dump->highlightMap.IsEmpty());
}

TEST_F(ViewsTest, CollapseCommandAddsARangeOverTheBlockAndRemovesItAtItsStart) {
    Open();
    FileDizaPane& diza = Diza();
    Collapse& ranges = doc_->stores.collapses;
    EXPECT_FALSE(diza.IsCommandEnabled(kCmdCollapse));
    BlockSelection& s = diza.Page().selection;
    s.Begin(DizaLinePos{ 0x1008, 0xD0000000 });
    s.Extend(DizaLinePos{ 0x1018, 0xD0000000 });
    EXPECT_TRUE(diza.IsCommandEnabled(kCmdCollapse));
    diza.RunCommand(kCmdCollapse);
    EXPECT_EQ(0x101C, ranges.FindEnd(0x1008));
    EXPECT_FALSE(ranges.IsCollapsed(0x1008));
    // A block starting where a range starts cannot make another one there.
    EXPECT_FALSE(diza.IsCommandEnabled(kCmdCollapse));
    s.Clear();
    Key(VK_DOWN);
    Key(VK_DOWN);
    diza.cursorAddress = 0x1008;
    EXPECT_TRUE(diza.IsCommandEnabled(kCmdCollapse));
    diza.RunCommand(kCmdCollapse);
    EXPECT_EQ(-1, ranges.FindEnd(0x1008));
    EXPECT_FALSE(diza.IsCommandEnabled(kCmdCollapse));
}

// A double click on a fold's mark goes to the fold's first item; with Ctrl held to its last.
TEST_F(ViewsTest, ADoubleClickOnAFoldsMarkGoesToItsFirstItemOrWithCtrlItsLast) {
    Open(0, [](FileParseThread* d) { d->stores.collapses.Add(0x1010, 0x1020); });
    FileDizaPane& diza = Diza();
    const BZone& mark = *diza.bodyLine->collapse;
    struct Case {
        bool ctrl;
        int64_t target;
    };
    for (const Case& c : { Case{ false, 0x1010 }, Case{ true, 0x101C } }) {
        const int row = diza.Page().LineOfAddress(0x1014);   // inside the fold
        ASSERT_GE(row, 0);
        const RECT r = diza.GetRowRect(row);
        const LPARAM at = MAKELPARAM((mark.rect.left + mark.rect.right) / 2, (r.top + r.bottom) / 2);
        SetModifier(VK_CONTROL, VK_LCONTROL, c.ctrl);
        DoubleClick(diza, at, c.ctrl ? MK_CONTROL : 0);
        Pump();
        SetModifier(VK_CONTROL, VK_LCONTROL, false);
        Paint();
        EXPECT_EQ(c.target, diza.CurrentPosition().address) << c.ctrl;
        EXPECT_FALSE(doc_->stores.collapses.IsCollapsed(0x1010)) << c.ctrl;
    }
}

TEST_F(ViewsTest, ReferMarksTheRowAddressInEveryLine) {
    Open();
    FileDizaPane& diza = Diza();
    Key(VK_DOWN);
    Key(VK_DOWN);
    diza.RunCommand(kCmdRefer);
    EXPECT_EQ(std::wstring(doc_->AddressText(0x1008).c_str()), diza.selection.selectedText.c_str());
}

TEST_F(ViewsTest, BytelineIsEnabledForThreeTo65535Bytes) {
    Open(0x20000);
    FileDizaPane& diza = Diza();
    BlockSelection& s = diza.Page().selection;
    const struct {
        int64_t length;
        bool enabled;
    } cases[] = { { 2, false }, { 3, true }, { 0xFFFF, true }, { 0x10000, false } };
    for (const auto& c : cases) {
        s.Clear();
        s.Begin(DizaLinePos{ 0x1000, 0xD0000000 });
        s.Extend(DizaLinePos{ 0x1000 + c.length, 0x10000000 });
        EXPECT_EQ(c.length, s.Length(doc_));
        EXPECT_EQ(c.enabled, diza.IsCommandEnabled(kCmdByteline)) << c.length;
    }
    s.Clear();
    EXPECT_FALSE(diza.IsCommandEnabled(kCmdByteline));
}

TEST_F(ViewsTest, ForcedCodeStartAtTheRowAddressWithoutOneDoesNothing) {
    Open(0, [](FileParseThread* d) { d->Map().AddCodeItem(0x1100); });
    FileDizaPane& diza = Diza();
    doc_->navigator.GotoAddress(0x1100);
    Pump();
    Paint();
    const DizaLinePos row = diza.CurrentPosition();
    ASSERT_EQ(0x1100, row.address);
    ASSERT_EQ(diza::kCode, row.line >> 28);
    diza.cursorAddress = 0x1100;
    const int records = doc_->Map().Count();
    const bool modified = doc_->modified;
    diza.RunCommand(kCmdForcedCode);
    EXPECT_EQ(records, doc_->Map().Count());
    EXPECT_EQ(modified, doc_->modified);
    // Inside the instruction it records a forced start.
    const int32_t length = diza.Page().LineQuery(diza.Page().currentRow);
    if (length > 1) {
        diza.cursorAddress = 0x1101;
        diza.RunCommand(kCmdForcedCode);
        EXPECT_TRUE(doc_->Map().IsItemStart(0x1101));
        EXPECT_TRUE(doc_->modified);
    }
}

TEST_F(ViewsTest, GoBackCyclesThroughTheHistory) {
    Open();
    FileDizaPane& diza = Diza();
    for (int64_t a : { 0x1010, 0x1020, 0x1030 })
        doc_->history.Push(DizaLinePos{ a, 0xD0000000 });
    std::vector<int64_t> seen;
    for (int i = 0; i < 4; ++i) {
        diza.RunCommand(kCmdGoBack);
        Pump();
        Paint();
        seen.push_back(diza.CurrentPosition().address);
    }
    EXPECT_EQ((std::vector<int64_t>{ 0x1030, 0x1020, 0x1010, 0x1030 }), seen);
}

TEST_F(ViewsTest, ToggleBookmarkAddsAndRemovesAtTheCurrentAddress) {
    Open();
    FileDizaPane& diza = Diza();
    Key(VK_DOWN);
    ASSERT_EQ(0x1004, diza.GetCurrentAddress());
    diza.RunCommand(kCmdToggleBookmark);
    BOOKMARK_DATA mark{};
    EXPECT_TRUE(doc_->stores.bookmarks.Get(0x1004, &mark));
    EXPECT_TRUE(doc_->modified);
    diza.RunCommand(kCmdToggleBookmark);
    EXPECT_FALSE(doc_->stores.bookmarks.Get(0x1004, &mark));
}

TEST_F(ViewsTest, DumpBytesButtonHidesTheDumpZone) {
    Open();
    FileDizaPane& diza = Diza();
    EXPECT_TRUE(diza.IsCommandChecked(kCmdShowDumpBytes));
    diza.RunCommand(kCmdShowDumpBytes);
    EXPECT_FALSE(diza.IsCommandChecked(kCmdShowDumpBytes));
    Options stored;
    diza.SendMessage(kMsgOptions, 2, reinterpret_cast<LPARAM>(&stored));
    EXPECT_FALSE(stored.file.showDumpBytes.value);
}

TEST_F(ViewsTest, DetachLeavesThePageInvalidAndTheCursorUnset) {
    Open();
    FileDizaPane& diza = Diza();
    diza.SetCursorAddress(0x1004);
    diza.SendMessage(kMsgAttach, 0, reinterpret_cast<LPARAM>(doc_));
    EXPECT_EQ(nullptr, diza.document);
    EXPECT_EQ(-1, diza.cursorAddress);
    EXPECT_EQ(0, diza.Page().valid);
    EXPECT_EQ(-1, diza.GetCurrentAddress());
    EXPECT_FALSE(diza.IsCommandEnabled(kCmdByte));
    diza.RunCommand(kCmdToggleBookmark);   // nothing to act on
    EXPECT_EQ(0, doc_->stores.bookmarks.Count());
    EXPECT_FALSE(doc_->modified);
    diza.SendMessage(kMsgAttach, 1, reinterpret_cast<LPARAM>(doc_));
}

// While the comment pane carries the scroller the rows still follow the pane's height: a taller window
// shows more of them, and one row less keeps the cursor on the new last full row.
TEST_F(ViewsTest, RowsFollowThePanesHeightWhileTheCommentPaneScrolls) {
    Open();
    FileDizaPane& diza = Diza();
    ASSERT_TRUE(Main().comments.IsWindowVisible());
    const int rows = diza.RowsPerPage();
    frame_.MoveWindow(0, 0, 900, 900, true);
    window_->MoveWindow(0, 0, 880, 860, true);
    Pump();
    const int more = diza.RowsPerPage();
    ASSERT_GT(more, rows + 5);
    PixelSurface shown;
    ASSERT_TRUE(wintest::SettledDisplayPixels(wintest::ClientOnScreen(diza.m_hWnd), shown));
    const int rowHeight = diza.VBar().lineHeight;
    const RECT band{0, (rows + 1) * rowHeight, 200, (more - 1) * rowHeight};
    EXPECT_LT(shown.CountColour(band, diza.normalColor), (band.right - band.left) * (band.bottom - band.top) * 9 / 10);

    for (int i = 1; i < more; ++i)
        diza.PostMessage(WM_KEYDOWN, VK_DOWN, 1);
    Pump();
    ASSERT_EQ(more - 1, diza.Page().currentRow);
    for (int less = 1; diza.RowsPerPage() == more && less < 100; ++less) {
        window_->MoveWindow(0, 0, 880, 860 - less, true);
        Pump();
    }
    ASSERT_EQ(more - 1, diza.RowsPerPage());
    EXPECT_EQ(more - 2, diza.Page().currentRow);
}

TEST_F(ViewsTest, GotoMessagePushesTheHistoryAndMovesTheCursorRow) {
    Open();
    FileDizaPane& diza = Diza();
    auto goBackEnabled = [this] {
        SendToWindowTree(window_->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0, true);
        return window_->ButtonBar()->IsEnabled(312);
    };
    EXPECT_FALSE(goBackEnabled());   // no earlier place yet
    Key(VK_DOWN);
    diza.PostMessage(kMsgGoto, 0, 0x10F0);
    Pump();
    Paint();
    EXPECT_EQ(0x10F0, diza.CurrentPosition().address);
    EXPECT_EQ(0x10F0, diza.cursorAddress);
    EXPECT_TRUE(goBackEnabled());    // one place to go back to
    EXPECT_EQ(0x1004, doc_->history.Next().address);
}

// The status bar's cells as a user clicks them: 3 picks the strings' code page from its menu, 4 takes
// the cursor to the selection's low end, 5 brings the cursor's row back into view.
TEST_F(ViewsTest, StatusCellsPickTheCodePageAndGoToTheSelectionAndTheCursor) {
    Open();
    FileStatusBar* bar = window_->StatusBar();
    bar->Invalidate();
    bar->UpdateWindow();
    auto click = [&](int cell, std::initializer_list<UINT> keys) {
        const RECT r = bar->GetClientRect();
        bar->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(bar->cells[cell].left + 2, (r.top + r.bottom) / 2));
        for (UINT key : keys)
            bar->PostMessage(WM_KEYDOWN, key, 1);
        Pump();
        Paint();
    };
    PList& codepage = doc_->options.file.stringCodepage;
    ASSERT_EQ(codepage.index, 0);
    click(FileStatusBar::kCodepage, { VK_DOWN, VK_DOWN, VK_RETURN });
    EXPECT_NE(codepage.index, 0);
    EXPECT_EQ(bar->cells[FileStatusBar::kCodepage].text, codepage.ToText());

    FileDizaPane& diza = Diza();
    SetShift(true);
    for (int i = 0; i < 3; ++i)
        Key(VK_DOWN);
    SetShift(false);
    diza.SendMessage(WM_KEYUP, VK_SHIFT, 0);
    ASSERT_EQ(diza.cursorAddress, 0x100C);
    click(FileStatusBar::kSelection, {});
    EXPECT_EQ(diza.cursorAddress, 0x1000);

    diza.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-30 * WHEEL_DELTA)), 0);
    Paint();
    ASSERT_TRUE(KindsAt(0x1000).empty());   // scrolled away; the cursor stays
    EXPECT_EQ(diza.cursorAddress, 0x1000);
    click(FileStatusBar::kCursor, {});
    EXPECT_FALSE(KindsAt(0x1000).empty());
}

// The log's "Copy to clipboard" button, clicked, puts the chosen line on the clipboard.
TEST_F(ViewsTest, TheLogsCopyButtonPutsTheChosenLineOnTheClipboard) {
    Open();
    ASSERT_TRUE(window_->LowPane()->shortTab.SelectTab(FileShortTab::kIdLog));
    FileLogPane& log = *window_->LogPane();
    Pump();
    log.Invalidate();
    log.UpdateWindow();
    log.selection.anchorLine = log.selection.firstLine = log.selection.lastLine = 0;   // the first line chosen
    log.selection.currentColumn = TextSelection::kWholeLines;
    log.SendMessage(WM_IDLEUPDATECMDUI);
    BButton* copy = log.cornerButtons.FindButton(FileLogPane::kCmdCopy);
    ASSERT_NE(copy, nullptr);
    const RECT button = copy->GetClientRect();
    ClipboardPutText(L"before", true);
    const LPARAM centre = MAKELPARAM(button.right / 2, button.bottom / 2);
    copy->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, centre);
    copy->PostMessage(WM_LBUTTONUP, 0, centre);
    Pump();
    std::unique_ptr<wchar_t[]> copied = ClipboardGetText();
    ASSERT_TRUE(copied);
    EXPECT_EQ(std::wstring(copied.get()).substr(0, 10), std::wstring(log.Ring().GetText(0)).substr(0, 10));
}

// A double click on a name in the file log's first row goes there, as on any other row.
TEST_F(ViewsTest, ADoubleClickOnANameInTheLogsFirstRowGoesThere) {
    Open(0, [](FileParseThread* d) {
        for (const wchar_t* name : {L"The", L"file"})
            d->stores.names.Add(0x1010, name, ' ');
    });
    ASSERT_TRUE(window_->LowPane()->shortTab.SelectTab(FileShortTab::kIdLog));
    FileLogPane& log = *window_->LogPane();
    Pump();
    log.Invalidate();
    log.UpdateWindow();
    ASSERT_EQ(0, std::wstring(log.Ring().GetText(0)).find(L"The file: "));
    const RECT row = log.GetRowRect(0);
    DoubleClick(log, MAKELPARAM(log.Line()->text->rect.left + 20, (row.top + row.bottom) / 2));
    Pump();
    EXPECT_EQ(0x1010, Diza().cursorAddress);
}

// The side and low panes hidden and shown by their buttons: the display shows what the windows draw,
// the dividers turned grips and back and the tab strips laid out anew.
TEST_F(ViewsTest, TogglingThePanesLeavesNothingStaleOnTheDisplay) {
    Open();
    // Above the status bar, whose message highlight may end meanwhile.
    RECT panes = window_->GetClientRect();
    panes.bottom = wintest::ClientOnScreen(window_->StatusBar()->m_hWnd).top - wintest::ClientOnScreen(window_->m_hWnd).top;
    for (UINT command : {220u, 230u, 220u, 230u}) {
        window_->PostMessage(WM_COMMAND, command, 0);
        EXPECT_EQ(0, wintest::PixelsAwaitingPaint(window_->m_hWnd, &panes)) << command;
    }
}

TEST_F(ViewsTest, ScrollingTheCommentPaneMovesBothPanes) {
    Open();
    FileDizaPane& diza = Diza();
    FileOncommentPane& comments = Main().comments;
    ASSERT_TRUE(diza.CommentPaneVisible());
    const int64_t top = diza.Page().top.address;
    comments.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    Paint();
    EXPECT_GT(diza.Page().top.address, top);
    EXPECT_EQ(diza.Page().PositionOf(diza.Page().top.address), comments.VBar().top);
    EXPECT_EQ(diza.VBar().top, comments.VBar().top);
}

TEST_F(ViewsTest, ShowasRecordReplacesTheKindWordAtItsAddress) {
    Open();
    FileDizaPane& diza = Diza();
    const DizaLinePos record{ 0x1000, 0xD1000000 };
    diza.SendMessage(kMsgShowasItem, 0, reinterpret_cast<LPARAM>(&record));
    SectionLock lock(doc_->FileLock());
    EXPECT_EQ(0xD1000000u, doc_->Map().ItemAt(0x1000).kind);
    EXPECT_EQ(0xD1000000u, diza.Page().top.line);
}

// The show-as list of a data line, through the user's path: its mark stands on the line's own
// representation, and a double click on another representation row shows the line that way. The item
// has a name: the page's top row is that name row, and stays there (only an item row at the top takes
// the record's word).
TEST_F(ViewsTest, ShowasRowsShowTheDataLineInTheirRepresentation) {
    Open(0, [](FileParseThread* d) { d->stores.names.Add(0x1000, L"first", ' '); });
    ASSERT_TRUE(window_->LowPane()->shortTab.SelectTab(FileShortTab::kIdShowas));
    ShowasPane& showas = *window_->Showas();
    Diza().SetFocus();
    SetModifier(VK_CONTROL, VK_LCONTROL, true);
    Key(VK_HOME);
    SetModifier(VK_CONTROL, VK_LCONTROL, false);
    Key(VK_DOWN);
    Pump();
    Paint();
    const DizaLinePos name{ 0x1000, 0x20000000 };
    ASSERT_TRUE(SameLine(name, Diza().Page().top));
    ASSERT_EQ(0x1000, showas.Position().address);
    ASSERT_EQ(6, showas.RowCount());
    // Each row shows its label, then its value.
    const auto& showasLine = *static_cast<ShowasPaneLine*>(showas.Line(0));
    const RECT labelRect = showasLine.label->rect;
    ASSERT_GT(labelRect.right - labelRect.left, 0);
    EXPECT_LE(labelRect.right, showasLine.value->rect.left);
    {
        const RECT row = showas.GetRowRect(0);
        HDC dc = ::GetDC(showas.m_hWnd);
        const COLORREF ground = ::GetPixel(dc, labelRect.right - 2, row.bottom - 1);
        int ink = 0;
        for (int y = row.top; y < row.bottom; ++y)
            for (int x = labelRect.left; x < labelRect.right; ++x)
                ink += ::GetPixel(dc, x, y) != ground;
        ::ReleaseDC(showas.m_hWnd, dc);
        EXPECT_GT(ink, 10);
    }
    auto label = [&](int row) { return row < 0 ? std::wstring(L"-") : std::wstring(showas.records[row].label.c_str()); };
    EXPECT_EQ(L"Uns Hex", label(showas.CurrentRow()));
    auto lineText = [&] {
        SectionLock lock(doc_->FileLock());
        DizaPage& page = Diza().Page();
        std::unique_ptr<BDizaLine> model(MakeDizaLine(doc_, ::Diza{ 0x1000, page.Row(page.LineOfAddress(0x1000)).line }));
        model->Body()->BuildText();
        return std::wstring(model->Body()->text.c_str());
    };
    for (const wchar_t* chosen : { L"Sign Dec", L"Bits", L"Uns Dec", L"Sign Hex", L"Uns Hex" }) {
        SCOPED_TRACE(std::wstring(chosen));
        int row = 0;
        while (row < showas.RowCount() && label(row) != chosen)
            ++row;
        ASSERT_LT(row, showas.RowCount());
        const std::wstring value = showas.records[row].value.c_str();
        const RECT r = showas.GetRowRect(row - static_cast<int>(showas.VBar().top));
        const LPARAM at = MAKELPARAM(8, (r.top + r.bottom) / 2);
        showas.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        showas.PostMessage(WM_LBUTTONUP, 0, at);
        showas.PostMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        Pump();
        Paint();
        const std::wstring text = lineText();
        EXPECT_EQ(value, text.substr(text.size() - std::min(text.size(), value.size())));
        EXPECT_EQ(chosen, label(showas.CurrentRow()));
        EXPECT_TRUE(SameLine(name, Diza().Page().top));
    }
    // The keys on a chosen row: Space does nothing; Enter on the byte-order row turns the order of
    // the rows' values, and Enter on a representation row shows the line so.
    auto choose = [&](int row) {
        const RECT r = showas.GetRowRect(row - static_cast<int>(showas.VBar().top));
        showas.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, (r.top + r.bottom) / 2));
        showas.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(8, (r.top + r.bottom) / 2));
        Pump();
    };
    auto value = [&](int row) { return std::wstring(showas.records[row].value.c_str()); };
    auto press = [&](UINT key) {
        showas.PostMessage(WM_KEYDOWN, key, 1);
        Pump();
    };
    // The current row shows whether the list has the focus.
    const COLORREF focusRow = options_.uiColors.listInfocus.value;
    EXPECT_EQ(showas.m_hWnd, ::GetFocus());
    EXPECT_GT(CountShown(showas.m_hWnd, focusRow), 0);
    Diza().SetFocus();
    EXPECT_EQ(0, CountShown(showas.m_hWnd, focusRow));
    EXPECT_GT(CountShown(showas.m_hWnd, options_.uiColors.listOutfocus.value), 0);
    ASSERT_EQ(L"Data order", label(0));
    choose(0);
    const std::wstring little = value(1);
    press(VK_SPACE);
    EXPECT_EQ(L"Little-endian", value(0));
    EXPECT_EQ(little, value(1));
    press(VK_RETURN);
    EXPECT_EQ(L"Big-endian", value(0));
    EXPECT_NE(little, value(1));
    const std::wstring big = value(1);
    choose(1);
    press(VK_RETURN);
    Paint();
    const std::wstring text = lineText();
    EXPECT_EQ(big, text.substr(text.size() - std::min(text.size(), big.size())));
}

// --- The dump pane.

class DumpTest : public ViewsTest {
protected:
    DumpTest() : ViewsTest(0x2000) {}
    void MakeDump(int width, int height) {
        dump_ = std::make_unique<FileDumpPane>();
        ASSERT_TRUE(dump_->CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{ 0, 0, width, height },
                                    frame_.m_hWnd, 242));
        dump_->SendMessage(kMsgOptions, 1, reinterpret_cast<LPARAM>(&options_));
        dump_->SendMessage(kMsgAttach, 1, reinterpret_cast<LPARAM>(doc_));
    }
};

// A Shift-drag in the dump lets go when something else takes the mouse; later moves scroll nothing.
TEST_F(DumpTest, AShiftDragLetsGoWhenTheMouseIsTaken) {
    Open();
    MakeDump(600, 200);
    Pump();
    for (wintest::MouseTaker taker : wintest::kMouseTakers) {
        const int64_t position = dump_->Position();
        const int x = dump_->hexArea.left + 40, y = dump_->hexArea.top + 5;
        dump_->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(x, y));
        Pump();
        ASSERT_FALSE(wintest::FakeCursorClip::Free()) << wintest::TakerName(taker);
        const wintest::TakenState seen = wintest::TakeMouse(taker, dump_->m_hWnd);
        EXPECT_TRUE(seen.cursorFree) << wintest::TakerName(taker);
        EXPECT_TRUE(seen.captureFree) << wintest::TakerName(taker);
        dump_->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x - 200, y));
        Pump();
        EXPECT_EQ(position, dump_->Position()) << wintest::TakerName(taker);
    }
}

// The background, and the cells of the disassembly's block 0x1004..0x100F in the marked colour, the
// bytes on either side not.
TEST_F(DumpTest, PaintsItsBackgroundAndCells) {
    Open();
    MakeDump(600, 200);
    BlockSelection& s = Diza().Page().selection;
    s.Begin(DizaLinePos{ 0x1004, 0xD0000000 });
    s.Extend(DizaLinePos{ 0x100C, 0xD0000000 });
    dump_->SendMessage(kMsgSelectionChanged, 1, reinterpret_cast<LPARAM>(&Diza()));
    dump_->Invalidate();
    dump_->UpdateWindow();
    const int perRow = dump_->bytesPerRow;
    HDC dc = ::GetDC(dump_->m_hWnd);
    const auto cellCorner = [&](int offset) {
        return ::GetPixel(dc, dump_->hexArea.left + (offset % perRow) * (2 * dump_->charWidth + 2) + 1,
                          (offset / perRow) * dump_->lineHeight + 1);
    };
    const COLORREF back = ::GetPixel(dc, 590 - 20, 190);
    const COLORREF cells[] = { cellCorner(3), cellCorner(4), cellCorner(0xF), cellCorner(0x10) };
    ::ReleaseDC(dump_->m_hWnd, dc);
    EXPECT_EQ(options_.uiColors.dumpBk.value, back);
    EXPECT_EQ(back, cells[0]);
    EXPECT_EQ(dump_->markedColor, cells[1]);
    EXPECT_EQ(dump_->markedColor, cells[2]);
    EXPECT_EQ(back, cells[3]);
}

// The text column as drawn: bytes below 32 show as '.', a space as a blank cell, 0x7E as its glyph.
TEST_F(DumpTest, TheTextColumnShowsControlBytesAsDotsAndASpaceBlank) {
    std::string bytes(static_cast<size_t>(size_), 'A');
    const char first[] = { '.', 0x1F, 0x20, 0x7E };
    std::copy(std::begin(first), std::end(first), bytes.begin());
    fixtures::WriteFileBytes(path_, bytes);
    Open();
    MakeDump(600, 200);
    PixelSurface shot;
    ASSERT_TRUE(CaptureWindow(dump_->m_hWnd, shot, true));
    auto cell = [&](int offset) {
        std::vector<COLORREF> pixels;
        for (int y = 0; y < dump_->lineHeight; ++y)
            for (int x = 0; x < dump_->charWidth; ++x)
                pixels.push_back(shot.Pixel(dump_->textArea.left + offset * dump_->charWidth + x, y));
        return pixels;
    };
    const std::vector<COLORREF> dot = cell(0), tilde = cell(3);
    const std::vector<COLORREF> blank(dot.size(), options_.uiColors.dumpBk.value);
    EXPECT_NE(dot, blank);
    EXPECT_EQ(cell(1), dot);
    EXPECT_EQ(cell(2), blank);
    EXPECT_NE(tilde, dot);
    EXPECT_NE(tilde, blank);
}

TEST_F(DumpTest, ANarrowPaneStillShowsOneBytePerRow) {
    Open();
    MakeDump(30, 200);
    EXPECT_EQ(1, dump_->bytesPerRow);
    dump_->MoveWindow(0, 0, 700, 200, TRUE);
    EXPECT_GT(dump_->bytesPerRow, 8);
    EXPECT_GT(dump_->rows, 3);
}

TEST_F(DumpTest, CtrlLeftShiftsTheRowPhase) {
    Open();
    MakeDump(600, 200);
    const int perRow = dump_->bytesPerRow;
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    dump_->SendMessage(WM_KEYDOWN, VK_LEFT, 0);
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
    EXPECT_EQ(1, dump_->Position());
    EXPECT_EQ(1 - perRow, dump_->scroller.rangeStart);
    dump_->SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(1 + perRow, dump_->Position());
    // Without Ctrl the arrow does nothing.
    dump_->SendMessage(WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(1 + perRow, dump_->Position());
}

TEST_F(DumpTest, TheCursorAddressScrollsOnlyWhenOutsideThePage) {
    Open();
    MakeDump(600, 200);
    const int perRow = dump_->bytesPerRow;
    const int rows = dump_->rows;
    ASSERT_GT(rows, 2);
    Diza().cursorAddress = 0x1000 + perRow;   // offset perRow: on the page
    dump_->SendMessage(kMsgCursorAddress, 1, 0);
    EXPECT_EQ(0, dump_->Position());
    EXPECT_EQ(perRow, dump_->fileMark);
    const int64_t target = 0x1000 + 50 * perRow + 3;
    Diza().cursorAddress = target;
    dump_->SendMessage(kMsgCursorAddress, 1, 0);
    EXPECT_EQ(target - 0x1000, dump_->fileMark);
    EXPECT_EQ(target - 0x1000 - (rows / 3) * perRow, dump_->Position());
    EXPECT_LE(dump_->Position(), dump_->fileMark);
}

TEST_F(DumpTest, ModeButtonCyclesAndHitTestsFollowTheAreas) {
    Open();
    MakeDump(600, 200);
    const int both = dump_->bytesPerRow;
    dump_->SendMessage(WM_COMMAND, FileDumpPane::kCmdTextHex, 0);
    EXPECT_EQ(FileDumpPane::kHexOnly, dump_->mode);
    EXPECT_GT(dump_->bytesPerRow, both);
    EXPECT_EQ(0, dump_->textArea.right);
    dump_->SendMessage(WM_COMMAND, FileDumpPane::kCmdTextHex, 0);
    EXPECT_EQ(FileDumpPane::kTextOnly, dump_->mode);
    dump_->SendMessage(WM_COMMAND, FileDumpPane::kCmdTextHex, 0);
    EXPECT_EQ(FileDumpPane::kBoth, dump_->mode);
    const POINT hex{ dump_->hexArea.left + 2 * (2 * dump_->charWidth + 2) + 1, dump_->lineHeight + 1 };
    EXPECT_EQ(dump_->bytesPerRow + 2, dump_->HitTest(hex));
    const POINT text{ dump_->textArea.left + dump_->charWidth * 3 + 1, 1 };
    EXPECT_EQ(3, dump_->HitTest(text));
    EXPECT_EQ(-1, dump_->HitTest(POINT{ 1, 1 }));
    EXPECT_EQ(std::wstring(L"FileOffset: 0003\r\nAddress: 1003"), dump_->TipText(text).c_str());
}

// A thumb drag moves by the scroller's distance raised to the next whole row, upward as downward.
TEST_F(DumpTest, AThumbDragMovesTheDistanceRaisedToAWholeRow) {
    Open();
    MakeDump(600, 200);
    Pump();
    const int perRow = dump_->bytesPerRow;
    dump_->SetPosition(0x1000 - 0x1000 % perRow);
    CWnd& thumb = *dump_->scroller.Slider();
    for (int pixels : { 1, -1, 3, -3 }) {
        const int64_t distance = dump_->scroller.PixelToPosition(pixels);
        const int64_t raised = distance >= 0 ? (distance + perRow - 1) / perRow * perRow : -(-distance / perRow * perRow);
        const int64_t before = dump_->Position();
        thumb.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 10));
        thumb.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2, 10 + pixels));
        thumb.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 10 + pixels));
        Pump();
        EXPECT_EQ(raised, dump_->Position() - before) << pixels;
    }
}

// A wheel notch toward the user moves the top down one row, away from the user back up.
TEST_F(DumpTest, AWheelNotchMovesOneRow) {
    Open();
    MakeDump(600, 200);
    Pump();
    POINT over{ dump_->hexArea.left + 5, dump_->lineHeight };
    dump_->ClientToScreen(&over);
    for (int notch : { -WHEEL_DELTA, WHEEL_DELTA }) {
        dump_->PostMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(notch)), MAKELPARAM(over.x, over.y));
        Pump();
        EXPECT_EQ(notch < 0 ? dump_->bytesPerRow : 0, dump_->Position()) << notch;
    }
}

TEST_F(DumpTest, TheDisassemblySelectionMarksItsBytes) {
    Open();
    MakeDump(600, 200);
    BlockSelection& s = Diza().Page().selection;
    s.Begin(DizaLinePos{ 0x1004, 0xD0000000 });
    s.Extend(DizaLinePos{ 0x100C, 0xD0000000 });
    dump_->SendMessage(kMsgSelectionChanged, 1, reinterpret_cast<LPARAM>(&Diza()));
    EXPECT_EQ(4, dump_->markFirst);
    EXPECT_EQ(0x10, dump_->markEnd);
    dump_->SendMessage(kMsgSelectionChanged, 0, reinterpret_cast<LPARAM>(&Diza()));
    EXPECT_EQ(-1, dump_->markFirst);
}

TEST_F(DumpTest, OffsetsOutsideTheSegmentsHaveNoAddress) {
    // The segment covers only the file's first 0x1000 bytes.
    StepParser parser([&](FileParseThread* d) { return d->AddDataSegment(0x1000, 0, 0x1000, 0x1000); });
    ASSERT_TRUE(doc_->OpenFile(fixtures::RequestFor(path_, &parser)));
    Pump();
    MakeDump(600, 400);
    const int perRow = dump_->bytesPerRow;
    const POINT first{ dump_->textArea.left + 1, 1 };
    EXPECT_EQ(std::wstring(L"FileOffset: 0000\r\nAddress: 1000"), dump_->TipText(first).c_str());
    dump_->SetPosition(0x1000 - 0x1000 % perRow);
    const POINT outside{ dump_->textArea.left + dump_->charWidth * (0x1000 % perRow) + 1, 1 };
    EXPECT_EQ(std::wstring(L"FileOffset: 1000\r\nAddress: n/a"), dump_->TipText(outside).c_str());
    EXPECT_EQ(0, dump_->addressMode);
    dump_->SendMessage(WM_COMMAND, FileDumpPane::kCmdAddressMode, 0);
    EXPECT_EQ(1, dump_->addressMode);
    dump_->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
    EXPECT_TRUE(dump_->buttons.GetCheck(FileDumpPane::kCmdAddressMode));
    // A click on a byte without an address leaves the mark alone.
    dump_->SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(outside.x, outside.y));
    EXPECT_EQ(-1, dump_->fileMark);
    // Its digits are drawn in their own colour: the row from 0xFFF holds one byte with an address.
    dump_->SetPosition(0xFFF);
    const int cell = 2 * dump_->charWidth + 2;
    const RECT last{ dump_->hexArea.left, 0, dump_->hexArea.left + cell, dump_->lineHeight };
    const RECT beyond{ last.right, 0, last.right + cell, dump_->lineHeight };
    const COLORREF none = options_.uiColors.dumpNoVaddress.value;
    EXPECT_GT(CountShown(dump_->m_hWnd, options_.uiColors.dumpTxt.value, &last), 0);
    EXPECT_EQ(0, CountShown(dump_->m_hWnd, none, &last));
    EXPECT_GT(CountShown(dump_->m_hWnd, none, &beyond), 0);
}

TEST_F(DumpTest, AClickOnAByteTakesTheDisassemblyThereInEveryMode) {
    Open();
    MakeDump(600, 200);
    struct Case {
        int mode;
        bool hex;
        int byte;
    };
    const Case cases[] = { { FileDumpPane::kBoth, true, 5 }, { FileDumpPane::kBoth, false, 9 },
                           { FileDumpPane::kHexOnly, true, 12 }, { FileDumpPane::kTextOnly, false, 3 } };
    for (const Case& c : cases) {
        while (dump_->mode != c.mode)
            dump_->SendMessage(WM_COMMAND, FileDumpPane::kCmdTextHex, 0);
        const int row = 1;
        const POINT at = c.hex ? POINT{ dump_->hexArea.left + c.byte * (2 * dump_->charWidth + 2) + 1, row * dump_->lineHeight + 1 }
                               : POINT{ dump_->textArea.left + c.byte * dump_->charWidth + 1, row * dump_->lineHeight + 1 };
        const int64_t offset = static_cast<int64_t>(row) * dump_->bytesPerRow + c.byte;
        ASSERT_EQ(offset, dump_->HitTest(at)) << c.mode << c.hex;
        dump_->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        dump_->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        Pump();
        Paint();
        EXPECT_EQ(offset, dump_->fileMark);
        // The row of the 4-byte item that holds the byte.
        EXPECT_EQ(0x1000 + (offset & ~3), Diza().CurrentPosition().address) << c.mode << c.hex;
    }
}

// The string code page chosen in the status bar's cell: the dump's text cells are drawn in it at once
// and the disassembly rows are drawn again.
TEST_F(ViewsTest, TheCodePageChosenInTheStatusBarDrawsTheDumpText) {
    // A byte whose OEM character is another byte's ANSI one ("é": 0x82 and 0xE9 in 437/850 and 1252).
    auto widen = [](UINT page, int b) {
        wchar_t c = 0;
        const char narrow = static_cast<char>(b);
        return ::MultiByteToWideChar(page, 0, &narrow, 1, &c, 1) ? c : 0;
    };
    int oemByte = -1, ansiByte = -1;
    for (int b = 0x80; b < 0x100 && oemByte < 0; ++b)
        for (int a = 0x80; a < 0x100 && oemByte < 0; ++a)
            if (widen(CP_OEMCP, b) && widen(CP_OEMCP, b) == widen(CP_ACP, a) && widen(CP_ACP, b) != widen(CP_OEMCP, b))
                oemByte = b, ansiByte = a;
    if (oemByte < 0)
        GTEST_SKIP() << "the OEM and ANSI code pages share no character above 0x7F";
    std::string bytes(static_cast<size_t>(size_), '\x20');
    bytes[4] = static_cast<char>(oemByte);
    bytes[6] = static_cast<char>(ansiByte);
    fixtures::WriteFileBytes(path_, bytes);
    Open();
    auto* dump = static_cast<FileDumpPane*>(window_->LowPane()->longTab.DumpPane());
    ASSERT_TRUE(dump && dump->IsWindowVisible());
    // The pixels of a text cell in the first row, as drawn on the screen.
    auto cell = [&](int offset) {
        dump->Invalidate();
        dump->UpdateWindow();
        std::vector<COLORREF> pixels;
        HDC dc = ::GetDC(dump->m_hWnd);
        const int x = dump->textArea.left + offset * dump->charWidth;
        for (int y = 0; y < dump->lineHeight; ++y)
            for (int i = 0; i < dump->charWidth; ++i)
                pixels.push_back(::GetPixel(dc, x + i, y));
        ::ReleaseDC(dump->m_hWnd, dc);
        return pixels;
    };
    const std::vector<COLORREF> ansi = cell(6);
    EXPECT_NE(cell(4), ansi);
    // Cell 3 of the status bar: its menu's second choice is "OEM".
    FileStatusBar* bar = window_->StatusBar();
    const RECT r = bar->GetClientRect();
    int x = 0;
    while (x < r.right && bar->HitTest(x).first != FileStatusBar::kCodepage)
        ++x;
    ASSERT_LT(x, r.right);
    POINT at{ x + 2, (r.top + r.bottom) / 2 };
    ::ClientToScreen(bar->m_hWnd, &at);
    ::SetCursorPos(at.x, at.y);   // the menu opens there, away from the disassembly
    ::ValidateRect(Diza().m_hWnd, nullptr);
    bar->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x + 2, (r.top + r.bottom) / 2));
    bar->PostMessage(WM_KEYDOWN, VK_DOWN, 0);
    bar->PostMessage(WM_KEYDOWN, VK_DOWN, 0);
    bar->PostMessage(WM_KEYDOWN, VK_RETURN, 0);
    // Everything but paints, so the rows still wait for theirs.
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, WM_PAINT - 1, PM_REMOVE) ||
           ::PeekMessageW(&msg, nullptr, WM_PAINT + 1, 0xFFFF, PM_REMOVE))
        ::DispatchMessageW(&msg);
    ASSERT_EQ(doc_->options.file.stringCodepage.index, 1);
    EXPECT_EQ(bar->cells[FileStatusBar::kCodepage].text, StringW(L"OEM"));
    EXPECT_TRUE(::GetUpdateRect(Diza().m_hWnd, nullptr, FALSE));
    EXPECT_EQ(cell(4), ansi);
}

class BigDumpTest : public ViewsTest {
protected:
    BigDumpTest() : ViewsTest(0x100000) {}
};

TEST_F(BigDumpTest, AReloadNearTheEndCoversTheLastWindow) {
    Open();
    DumpReadWindow reader;
    reader.document = doc_;
    const int64_t size = doc_->FileSize();
    ASSERT_EQ(0x100000, size);
    EXPECT_EQ(static_cast<uint8_t>((size - 10) * 7), reader.Ensure(size - 10));
    EXPECT_EQ(size - DumpReadWindow::kSize, reader.start);
    EXPECT_EQ(DumpReadWindow::kSize, reader.loaded);
    EXPECT_EQ(static_cast<uint8_t>(0x50000 * 7), reader.Ensure(0x50000));
    EXPECT_EQ(0x50000 - DumpReadWindow::kBefore, reader.start);
    EXPECT_EQ(0, reader.Ensure(size));
    EXPECT_EQ(0, reader.Ensure(-1));
}

}  // namespace

// --- The commands of the disassembly pane on a real document.

namespace commands {

class CommandsTest : public ViewsTest {
protected:
    ::Diza ItemAt(int64_t address) {
        SectionLock lock(doc_->FileLock());
        return doc_->Map().ItemAt(address);
    }
    int32_t LengthAt(int64_t address) {
        SectionLock lock(doc_->FileLock());
        return doc_->Map().ItemLength(address);
    }
    void Settle() {
        Pump();
        Paint();
    }
    // The next dialog gets the text typed into its control and OK.
    static void Answer(int id, const wchar_t* text, UINT notification) {
        PushModalAction([=](Dialog& d) {
            d.SetItemText(id, text);
            d.SendMessage(WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(d.Item(id)));
            d.SendMessage(WM_COMMAND, IDOK);
        });
    }
};

TEST_F(CommandsTest, ElementMakersReplaceTheRowItem) {
    struct Case {
        UINT command;
        uint32_t kind;
        int32_t length;
    };
    const Case cases[] = {
        { kCmdByte, diza::kData, 1 }, { kCmdWord, diza::kData, 2 }, { kCmdQword, diza::kData, 8 },
        { kCmdDword, diza::kData, 4 }, { kCmdDump, diza::kBytes, -1 },
    };
    Open();
    FileDizaPane& diza = Diza();
    for (const Case& c : cases) {
        doc_->modified = false;
        doc_->navigator.GotoAddress(0x1000);
        Settle();
        ASSERT_EQ(0x1000, diza.CurrentPosition().address);
        EXPECT_TRUE(diza.IsCommandEnabled(c.command)) << c.command;
        diza.RunCommand(c.command);
        Settle();
        const ::Diza item = ItemAt(0x1000);
        EXPECT_EQ(c.kind, diza::KindOf(item.kind)) << c.command;
        if (c.length > 0) {
            EXPECT_EQ(c.length, LengthAt(0x1000)) << c.command;
            EXPECT_EQ(0x1000 + c.length, diza.CurrentPosition().address) << c.command;   // the row moves on
        }
        EXPECT_TRUE(doc_->modified) << c.command;
    }
}

TEST_F(CommandsTest, MakersOverABlockCoverItAndNeedOneSegment) {
    Open();
    FileDizaPane& diza = Diza();
    BlockSelection& s = diza.Page().selection;
    s.Begin(DizaLinePos{ 0x1010, 0xD0000000 });
    s.Extend(DizaLinePos{ 0x101C, 0xD0000000 });
    ASSERT_TRUE(diza.IsCommandEnabled(kCmdWord));
    diza.RunCommand(kCmdWord);
    Settle();
    // The block is words now, the items before and past it are untouched.
    EXPECT_EQ(diza::kData, diza::KindOf(ItemAt(0x1010).kind));
    EXPECT_EQ(2, LengthAt(0x1010));
    EXPECT_EQ(4, LengthAt(0x100C));
    EXPECT_EQ(4, LengthAt(0x1020));   // the item past the block is untouched
}

TEST_F(CommandsTest, CodeMakerDecodesFromTheRow) {
    Open();
    FileDizaPane& diza = Diza();
    Key(VK_DOWN);
    ASSERT_EQ(0x1004, diza.CurrentPosition().address);
    ASSERT_TRUE(diza.IsCommandEnabled(kCmdCode));
    diza.RunCommand(kCmdCode);
    Settle();
    EXPECT_EQ(diza::kCode, diza::KindOf(ItemAt(0x1004).kind));
    EXPECT_TRUE(doc_->modified);
    EXPECT_EQ(0x1000, diza.Page().Row(0).address);   // the rows before it stay
}

TEST_F(CommandsTest, NameCommandNamesTheRowThroughItsDialog) {
    Open();
    FileDizaPane& diza = Diza();
    Key(VK_DOWN);
    Key(VK_DOWN);
    ASSERT_EQ(0x1008, diza.CurrentPosition().address);
    Answer(IDC_NAME_TEXT, L"table_start", CBN_EDITCHANGE);
    diza.RunCommand(kCmdName);
    EXPECT_EQ(0u, PendingModalActions());
    EXPECT_EQ(0x1008, doc_->stores.names.AddressOf(L"table_start"));
    EXPECT_TRUE(doc_->modified);
    Settle();
    EXPECT_EQ((std::vector<uint32_t>{ 2, 0xD }), KindsAt(0x1008));
    // A cancelled dialog changes nothing.
    doc_->modified = false;
    PushModalAction([](Dialog& d) { d.SendMessage(WM_COMMAND, IDCANCEL); });
    diza.RunCommand(kCmdName);
    EXPECT_FALSE(doc_->modified);
    EXPECT_EQ(0x1008, doc_->stores.names.AddressOf(L"table_start"));
}

TEST_F(CommandsTest, CommentCommandsAddLineAndOnlineComments) {
    Open();
    FileDizaPane& diza = Diza();
    Key(VK_DOWN);
    ASSERT_EQ(0x1004, diza.CurrentPosition().address);
    Answer(IDC_COMMENT_TEXT, L"first\r\nsecond", EN_CHANGE);
    diza.RunCommand(kCmdCommentLine);
    Settle();
    EXPECT_TRUE(doc_->modified);
    EXPECT_EQ((std::vector<uint32_t>{ 1, 1, 0xD }), KindsAt(0x1004));
    // The row stays on the item; an on-line comment goes to the comment pane.
    const int item = Diza().Page().LineOfAddress(0x1004);
    ASSERT_GE(item, 0);
    Diza().Page().currentRow = item;
    Answer(IDC_COMMENT_TEXT, L"beside", EN_CHANGE);
    diza.RunCommand(kCmdCommentOnline);
    Settle();
    EXPECT_EQ(L";beside", CommentText(Diza().Page().LineOfAddress(0x1004)));
}

TEST_F(CommandsTest, BookmarkStepsWalkTheMarksAndStopAtTheEnds) {
    Open(0, [](FileParseThread* d) {
        d->stores.bookmarks.AddKind(0x1010, L"a", 0);
        d->stores.bookmarks.AddKind(0x1030, L"b", 0);
    });
    FileDizaPane& diza = Diza();
    EXPECT_FALSE(diza.IsCommandEnabled(kCmdBookmarkPrev));
    std::vector<int64_t> seen;
    for (int i = 0; i < 3; ++i) {
        const bool enabled = diza.IsCommandEnabled(kCmdBookmarkNext);
        diza.RunCommand(kCmdBookmarkNext);
        Settle();
        seen.push_back(enabled ? diza.CurrentPosition().address : -1);
    }
    EXPECT_EQ((std::vector<int64_t>{ 0x1010, 0x1030, -1 }), seen);
    EXPECT_EQ(0x1030, diza.CurrentPosition().address);
    ASSERT_TRUE(diza.IsCommandEnabled(kCmdBookmarkPrev));
    diza.RunCommand(kCmdBookmarkPrev);
    Settle();
    EXPECT_EQ(0x1010, diza.CurrentPosition().address);
}

TEST_F(CommandsTest, GotoDialogMovesThereAndGoBackReturns) {
    Open();
    FileDizaPane& diza = Diza();
    Key(VK_DOWN);
    Answer(IDC_GOTO_TEXT, L"1040", CBN_EDITCHANGE);
    diza.RunCommand(kCmdGoto);
    Settle();
    EXPECT_EQ(0x1040, diza.CurrentPosition().address);
    diza.RunCommand(kCmdGoBack);
    Settle();
    EXPECT_EQ(0x1004, diza.CurrentPosition().address);
    // An address outside every segment is refused: the view stays.
    PushModalAction([](Dialog& d) {
        d.SetItemText(IDC_GOTO_TEXT, L"90000");
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_GOTO_TEXT, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(d.Item(IDC_GOTO_TEXT)));
        d.SendMessage(WM_COMMAND, IDOK);
        EXPECT_TRUE(d.IsRunning());   // refused
        d.SendMessage(WM_COMMAND, IDCANCEL);
    });
    diza.RunCommand(kCmdGoto);
    Settle();
    EXPECT_EQ(0x1004, diza.CurrentPosition().address);
}

TEST_F(CommandsTest, CtrlDoubleClickWordGoesToTheClipboard) {
    Open();
    ClipboardPutText(L"before", true);
    Diza().ClickableText(StringW(L"loc_1040"), true, false);
    auto text = ClipboardGetText();
    ASSERT_TRUE(text);
    EXPECT_EQ(std::wstring(L"loc_1040"), text.get());
    // A plain double click on an address word goes there.
    Diza().ClickableText(StringW(L"1040"), false, false);
    Settle();
    EXPECT_EQ(0x1040, Diza().CurrentPosition().address);
}

// A double click on a 64-bit address, written with its backquote, goes there.
TEST_F(CommandsTest, ADoubleClickOnAWideAddressGoesThere) {
    const int64_t base = 0x140001000;
    const int64_t target = base + 0x40;
    std::string bytes(static_cast<size_t>(size_), '\0');
    std::memcpy(&bytes[8], &target, sizeof target);
    fixtures::WriteFileBytes(path_, bytes);
    StepParser parser([&](FileParseThread* d) {
        d->AddDataSegment(base, 0, size_, size_);
        SectionLock lock(d->FileLock());
        for (int64_t a = base; a < base + 0x100; a += 4)
            d->Map().AddDataItem(a, 4, 1);
        d->Map().AddDataItem(base + 8, 8, 1);   // the qword holding the target
        d->Map().RemoveKey(base + 0xC);
        return true;
    });
    ASSERT_TRUE(doc_->OpenFile(fixtures::RequestFor(path_, &parser, 0, 64)));
    Settle();
    FileDizaPane& diza = Diza();
    const int row = diza.Page().LineOfAddress(base + 8);
    ASSERT_GE(row, 0);
    const ZoneDizaBody& body = *diza.bodyLine->body;
    std::wstring text;
    {
        SectionLock lock(doc_->FileLock());
        std::unique_ptr<BDizaLine> model(static_cast<BDizaLine*>(diza.GetItem(row)));
        diza.bodyLine->row = row;
        diza.bodyLine->SetData(model.get());
        text = body.text.c_str();
    }
    const size_t quote = text.find(L'`');
    ASSERT_NE(std::wstring::npos, quote) << text;
    // Where the backquote is drawn.
    int x = 0;
    {
        CWindowDC dc(diza.m_hWnd);
        SelectGdi font(dc, body.font->GetSafeHandle());
        x = body.rect.left + body.margin + dc.GetTextExtent(text.substr(0, quote + 1)).cx;
    }
    const RECT r = diza.GetRowRect(row);
    const LPARAM at = MAKELPARAM(x, (r.top + r.bottom) / 2);
    DoubleClick(diza, at);
    Settle();
    EXPECT_EQ(target, diza.CurrentPosition().address) << text;
}

TEST_F(CommandsTest, ADragOfThreePixelsOrLessMarksNothing) {
    Open();
    FileDizaPane& diza = Diza();
    BlockSelection& s = diza.Page().selection;
    const RECT row2 = diza.GetRowRect(2);
    const RECT row5 = diza.GetRowRect(5);
    const int x = row2.right - 30;
    const POINT press{ x, row2.bottom - 1 };
    diza.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    struct Step {
        int y;
        bool marked;
    };
    // Three pixels down reach the next row but mark nothing; further down does.
    const Step steps[] = { { press.y + 3, false }, { (row5.top + row5.bottom) / 2, true } };
    for (const Step& step : steps) {
        POINT screen{ x, step.y };
        diza.ClientToScreen(&screen);
        ::SetCursorPos(screen.x, screen.y);
        diza.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, step.y));
        EXPECT_EQ(step.marked, s.state != BlockSelection::kNone) << step.y;
    }
    diza.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, (row5.top + row5.bottom) / 2));
    EXPECT_EQ(diza.Page().Row(2).address, s.Lower().address);
    EXPECT_EQ(diza.Page().Row(5).address, s.Higher().address);
}

TEST_F(CommandsTest, GuardedCommandsDoNothingWithoutARow) {
    Open();
    FileDizaPane& diza = Diza();
    diza.SendMessage(kMsgAttach, 0, reinterpret_cast<LPARAM>(doc_));
    const int records = [&] { SectionLock lock(doc_->FileLock()); return doc_->Map().Count(); }();
    for (UINT id : { kCmdByte, kCmdCode, kCmdName, kCmdCommentLine, kCmdByteline, kCmdCollapse, kCmdGoBack }) {
        EXPECT_FALSE(diza.IsCommandEnabled(id) && id != kCmdGoBack) << id;
        diza.RunCommand(id);
    }
    EXPECT_EQ(0u, PendingModalActions());
    EXPECT_FALSE(doc_->modified);
    SectionLock lock(doc_->FileLock());
    EXPECT_EQ(records, doc_->Map().Count());
    diza.SendMessage(kMsgAttach, 1, reinterpret_cast<LPARAM>(doc_));
}

}  // namespace commands

namespace layout {

BOOL CALLBACK FindDump(HWND child, LPARAM data) {
    auto** found = reinterpret_cast<FileDumpPane**>(data);
    *found = dynamic_cast<FileDumpPane*>(CWnd::FromHandle(child));
    return *found ? FALSE : TRUE;
}

FileDumpPane* DumpOf(HWND fileWindow) {
    FileDumpPane* found = nullptr;
    ::EnumChildWindows(fileWindow, FindDump, reinterpret_cast<LPARAM>(&found));
    return found;
}

// A fresh window gives the address its digits, a few byte cells and the instruction text the rest.
TEST_F(ViewsTest, TheTextColumnGetsTheWidthTheAddressAndBytesLeave) {
    Open();
    DizaBodyZoneline* line = Diza().bodyLine;
    ASSERT_LT(doc_->addressWidth, 17);
    EXPECT_EQ(line->address->TextWidth(doc_->addressWidth), line->address->VisibleWidth());
    EXPECT_LE(line->dump->VisibleWidth(), line->dump->TextWidth(8));
    EXPECT_EQ(line->dump->TextWidth(16), line->dump->GetMaxWidth());
    // The text runs from the bytes to the pane's right edge, whatever the fonts' widths.
    const RECT client = Diza().GetClientRect();
    EXPECT_EQ(client.right, line->body->rect.right);
    EXPECT_LE(line->body->rect.left - line->dump->rect.right, 1);
    EXPECT_GT(line->body->VisibleWidth(), line->dump->VisibleWidth());
    // A wider address still gets all its digits.
    doc_->addressWidth = 12;
    Diza().SendMessage(kMsgSegmentsChanged, 0x40000001u, 0);
    EXPECT_EQ(line->address->TextWidth(12), line->address->VisibleWidth());
}

// Moving the cursor row with the keys moves the cursor address, and the dump pane follows it.
TEST_F(ViewsTest, ArrowKeysCarryTheCursorAddressToTheDump) {
    Open();
    FileDumpPane* dump = DumpOf(window_->m_hWnd);
    ASSERT_NE(nullptr, dump);
    Diza().SetFocus();
    for (int i = 0; i < 3; ++i)
        Key(VK_DOWN);
    Pump();
    const int64_t row = Diza().CurrentPosition().address;
    EXPECT_GT(row, 0x1000);
    EXPECT_EQ(row, Diza().cursorAddress);
    EXPECT_EQ(row - 0x1000, dump->fileMark);
    for (int i = 0; i < 30; ++i)
        Key(VK_NEXT);
    Pump();
    const int64_t later = Diza().CurrentPosition().address;
    EXPECT_EQ(later, Diza().cursorAddress);
    EXPECT_EQ(later - 0x1000, dump->fileMark);
    EXPECT_GT(dump->Position(), 0);
    EXPECT_LE(dump->Position(), dump->fileMark);
}

// The focused-tab colour, made unlike the unfocused one so that the strip shows which it drew.
class FocusColourTest : public ViewsTest {
protected:
    static constexpr int kFocusShape = 59;
    void SetUp() override {
        options_.ApplyColorTheme();
        saved_ = CurrentTheme().Entry(kFocusShape).value;
        CurrentTheme().Entry(kFocusShape).value = RGB(0, 0xC0, 0x40);
        ViewsTest::SetUp();
    }
    void TearDown() override {
        ViewsTest::TearDown();
        CurrentTheme().Entry(kFocusShape).value = saved_;
    }
    // Pixels of the focused-tab colour that a window shows outside one of its children.
    static int FocusPixels(HWND window, HWND child) {
        RECT client, inner;
        ::GetClientRect(window, &client);
        ::GetWindowRect(child, &inner);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&inner), 2);
        HDC dc = ::GetDC(window);
        int count = 0;
        for (int y = client.top; y < client.bottom; ++y)
            for (int x = client.left; x < client.right; ++x) {
                const POINT p{ x, y };
                if (!::PtInRect(&inner, p) && ::GetPixel(dc, x, y) == RGB(0, 0xC0, 0x40))
                    ++count;
            }
        ::ReleaseDC(window, dc);
        return count;
    }
    COLORREF saved_ = 0;
};

// A click that moves the focus from the disassembly into the dump lights the "Dump" tab.
TEST_F(FocusColourTest, AClickInTheDumpShowsItsTabFocused) {
    Open();
    FileDumpPane* dump = DumpOf(window_->m_hWnd);
    ASSERT_NE(nullptr, dump);
    const HWND strip = ::GetParent(dump->m_hWnd);
    Diza().SetFocus();
    ::RedrawWindow(window_->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    EXPECT_EQ(0, FocusPixels(strip, dump->m_hWnd));
    // The current row in both main panes in the focus colour; the dump's offsets in its text colour.
    const COLORREF focusRow = options_.codeColors.codeInfocus.value;
    EXPECT_GT(CountShown(Diza().m_hWnd, focusRow), 0);
    ASSERT_TRUE(Main().comments.IsShown());
    EXPECT_GT(CountShown(Main().comments.m_hWnd, focusRow), 0);
    const RECT offsets{ 0, 0, dump->hexArea.left, dump->hexArea.bottom };
    const COLORREF focusAddress = options_.codeColors.addressTxt.value;
    EXPECT_EQ(0, CountShown(dump->m_hWnd, focusAddress, &offsets));
    const LPARAM at = MAKELPARAM(dump->hexArea.left + 2, 2);
    dump->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    dump->PostMessage(WM_LBUTTONUP, 0, at);
    Pump();
    ASSERT_EQ(dump->m_hWnd, ::GetFocus());
    EXPECT_GT(FocusPixels(strip, dump->m_hWnd), 0);
    // Now the offsets in the address colour, and the clicked byte between the brackets of the mark.
    EXPECT_GT(CountShown(dump->m_hWnd, focusAddress, &offsets), 0);
    const RECT byte{ dump->hexArea.left - 1, 0, dump->hexArea.left + 2 * dump->charWidth + 2, dump->lineHeight };
    EXPECT_GT(CountShown(dump->m_hWnd, options_.codeColors.codeClickAddress.value, &byte), 0);
}

// Row 0 holds the item at 0x1000: its address in the address colour and the tick of an item start.
TEST_F(ViewsTest, TheAddressShowsInItsColourWithTheTickOfAnItemStart) {
    Open();
    const RECT zone = Diza().bodyLine->address->rect;
    const RECT row = Diza().GetRowRect(0);
    const RECT digits{ zone.left, row.top, zone.right - 3, row.bottom };
    EXPECT_GT(CountShown(Diza().m_hWnd, options_.codeColors.addressTxt.value, &digits), 0);
    const int middle = (row.top + row.bottom) / 2;
    const RECT tick{ zone.right - 2, middle, zone.right + 3, middle + 1 };
    EXPECT_EQ(5, CountShown(Diza().m_hWnd, ThemeColor(81), &tick));
}

}  // namespace layout

namespace findstop {

// The question box as it shows, answered Yes through its own message queue.
std::wstring questionText;
HHOOK questionHook = nullptr;
LRESULT CALLBACK AnswerYes(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE) {
        const HWND box = reinterpret_cast<HWND>(wparam);
        wchar_t caption[64] = {};
        ::GetWindowTextW(box, caption, 64);
        if (std::wstring(caption) == AskCancel::kCaption) {
            wchar_t text[128] = {};
            ::GetDlgItemTextW(box, 0xFFFF, text, 128);
            questionText = text;
            ::PostMessageW(box, WM_COMMAND, IDYES, 0);
        }
    }
    return ::CallNextHookEx(questionHook, code, wparam, lparam);
}

// A file of some thousand display lines, so that a find over it polls for Esc several times.
class FindStopTest : public ViewsTest {
protected:
    FindStopTest() : ViewsTest(0x10000) {}
    std::wstring LastLogLine() {
        BTextRoll& ring = window_->LogPane()->Ring();
        return ring.Count() > 0 ? ring.GetText(ring.Count() - 1) : L"";
    }
};

// Esc pressed while a find runs asks the one question; Yes stops the find where it is.
TEST_F(FindStopTest, EscDuringAFindAsksAndYesStopsIt) {
    Open();
    questionText.clear();
    questionHook = ::SetWindowsHookExW(WH_CBT, AnswerYes, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(nullptr, questionHook);
    // The dialog asks for a text every line holds; the key reaches the queue as it closes.
    PushModalAction([this](Dialog& d) {
        DFind& find = static_cast<DFind&>(d);
        find.combo.SetText(L"*");
        Diza().PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
        find.SendMessage(WM_COMMAND, IDOK);
    });
    Diza().PostMessage(WM_COMMAND, kCmdFind, 0);
    Pump();
    ::UnhookWindowsHookEx(questionHook);
    EXPECT_EQ(0u, PendingModalActions());
    EXPECT_EQ(L"Do You want cancel finding ?", questionText);
    FindResult* result = doc_->finds.GetResultByIndex(1);
    EXPECT_EQ(0, result->runningJobs);
    EXPECT_GT(result->Count(), 0);
    EXPECT_LE(result->Count(), static_cast<int>(BFindThread::kPollEvery));
    const std::wstring last = LastLogLine();
    const std::wstring canceled = L"Find1 for '*' is canceled at ";
    EXPECT_EQ(canceled, last.substr(0, canceled.size())) << std::string(last.begin(), last.end());
    EXPECT_FALSE(AskCancel::Instance().Answered());
}

}  // namespace findstop
