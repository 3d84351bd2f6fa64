// The text ring of the logs, the log panes, and the small texts of the file status bar.

#include "app/AppMessages.h"
#include "app/AskCancel.h"
#include "app/BLogPane.h"
#include "app/FileLogPane.h"
#include "app/FileStatusBar.h"
#include "classlib/Screenshot.h"
#include "options/Options.h"
#include "tests/ModalWatch.h"
#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<std::wstring> Texts(const BTextRoll& ring) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < ring.Count(); ++i)
        texts.push_back(ring.GetText(i) ? ring.GetText(i) : L"<null>");
    return texts;
}

using Lines = std::vector<std::wstring>;

// --- The ring.

struct RollCase {
    const char* name;
    uint32_t capacity;
    std::vector<std::pair<std::wstring, bool>> adds;   // text, continuation
    Lines expected;
    int32_t lastResult;
};

TEST(TextRoll, AddsDropsAndJoinsAsTold) {
    const RollCase cases[] = {
        { "plain lines", 32, { { L"one", false }, { L"two", false } }, { L"one", L"two" }, 0 },
        { "continuation joins the last text", 32, { { L"abc", false }, { L"def", true } }, { L"abcdef" }, 0 },
        { "continuation of an empty ring starts a text", 32, { { L"abc", true } }, { L"abc" }, 0 },
        { "backspaces take letters back", 32, { { L"abc", false }, { L"\b\bxy", true } }, { L"axy" }, 0 },
        { "backspaces never cross into the text before", 32,
          { { L"ab", false }, { L"cd", false }, { L"\b\b\b\bz", true } }, { L"ab", L"z" }, 0 },
        { "backspaces of a new line are dropped", 32, { { L"ab", false }, { L"\bcd", false } }, { L"ab", L"cd" }, 0 },
        // Each text takes its length plus its zero: 4 + 4 = 8 fills a ring of 8; the next drops one.
        { "the oldest text falls out first", 8, { { L"aaa", false }, { L"bbb", false }, { L"cc", false } },
          { L"bbb", L"cc" }, 1 },
        { "a long text drops several", 8, { { L"a", false }, { L"b", false }, { L"c", false }, { L"dddddd", false } },
          { L"dddddd" }, 3 },
        { "a text longer than the ring is refused", 8, { { L"keep", false }, { L"123456789", false } }, { L"keep" }, -1 },
        { "a text of exactly the capacity fits", 8, { { L"x", false }, { L"1234567", false } }, { L"1234567" }, 1 },
    };
    for (const RollCase& c : cases) {
        BTextRoll ring(c.capacity);
        int32_t result = 0;
        for (const auto& add : c.adds)
            result = ring.AddText(add.first.c_str(), add.second);
        EXPECT_EQ(Texts(ring), c.expected) << c.name;
        EXPECT_EQ(result, c.lastResult) << c.name;
    }
}

TEST(TextRoll, RefusedTextLeavesTheRingUnchanged) {
    BTextRoll ring(8);
    ring.AddText(L"ab", false);
    ring.AddText(L"cd", false);
    const uint32_t used = ring.Used();
    EXPECT_EQ(ring.AddText(L"123456789", false), -1);
    EXPECT_EQ(ring.AddText(L"12345678", true), -1);
    EXPECT_EQ(ring.Used(), used);
    EXPECT_EQ(Texts(ring), (Lines{ L"ab", L"cd" }));
    EXPECT_EQ(ring.MakeRoom(9), -1);
}

TEST(TextRoll, LookupsOutsideTheRingGiveNothing) {
    BTextRoll ring(64);
    EXPECT_EQ(ring.GetText(0), nullptr);
    EXPECT_EQ(ring.GetLength(0), -1);
    ring.AddText(L"first", false);
    ring.AddText(L"second", false);
    EXPECT_EQ(ring.GetText(-1), nullptr);
    EXPECT_EQ(ring.GetText(2), nullptr);
    EXPECT_EQ(ring.GetLength(1), 6);
    // Backwards after forwards: the cached position is not reused past its index.
    EXPECT_STREQ(ring.GetText(1), L"second");
    EXPECT_STREQ(ring.GetText(0), L"first");
    ring.Clear();
    EXPECT_EQ(ring.Count(), 0);
    EXPECT_EQ(ring.GetText(0), nullptr);
}

TEST(TextRoll, MakeRoomCountsDroppedTexts) {
    BTextRoll ring(12);
    ring.AddText(L"aa", false);   // 3
    ring.AddText(L"bb", false);   // 6
    ring.AddText(L"cc", false);   // 9
    EXPECT_EQ(ring.MakeRoom(3), 0);
    EXPECT_EQ(ring.MakeRoom(7), 2);
    EXPECT_EQ(Texts(ring), (Lines{ L"cc" }));
}

// --- Status bar texts.

TEST(FileStatusBar, SelectionLengthInMillionsFromOneHundredMillion) {
    const struct {
        int64_t length;
        const wchar_t* expected;
    } cases[] = {
        { 0, L"401000/0" },
        { 16, L"401000/16" },
        { 99999999, L"401000/99999999" },
        { 100000000, L"401000/100M" },
        { 2500000000LL, L"401000/2500M" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileStatusBar::SelectionText(L"401000", c.length), StringW(c.expected)) << c.length;
}

TEST(FileStatusBar, LampsShowTheirJobsAndParsingOverridesAll) {
    const struct {
        bool parsing, refers, strings, find1, find2;
        int expected[4];
    } cases[] = {
        { false, false, false, false, false, { -1, -1, -1, -1 } },
        { false, true, false, false, true, { 26, -1, -1, 27 } },
        { false, false, true, true, false, { -1, 26, 27, -1 } },
        { true, false, false, true, false, { 25, 25, 25, 25 } },
        { true, true, true, true, true, { 25, 25, 25, 25 } },
    };
    for (const auto& c : cases) {
        int out[4];
        FileStatusBar::LampColours(c.parsing, c.refers, c.strings, c.find1, c.find2, out);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(out[i], c.expected[i]) << "box " << i;
    }
}

TEST(FileStatusBar, LampTipsByBox) {
    EXPECT_EQ(FileStatusBar::LampTip(0), nullptr);
    EXPECT_STREQ(FileStatusBar::LampTip(3), L"Refers scan");
    EXPECT_STREQ(FileStatusBar::LampTip(15), L"Refers scan");
    EXPECT_STREQ(FileStatusBar::LampTip(16), L"Stringz scan");
    EXPECT_STREQ(FileStatusBar::LampTip(29), L"Find1");
    EXPECT_STREQ(FileStatusBar::LampTip(42), L"Find2");
    EXPECT_EQ(FileStatusBar::LampTip(55), nullptr);
}

// --- The cancel question.

struct BoxRecorder {
    static std::vector<std::wstring> texts;
    static int answer;
    static HWND capture;   // the capture while the box shows
    static int Show(HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
        texts.push_back(text);
        capture = ::GetCapture();
        EXPECT_STREQ(caption, L"Ask confirm abort");
        EXPECT_EQ(type, static_cast<UINT>(MB_ICONQUESTION | MB_YESNO));
        return answer;
    }
};
std::vector<std::wstring> BoxRecorder::texts;
int BoxRecorder::answer = IDNO;
HWND BoxRecorder::capture = nullptr;

class AskCancelTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = AskCancel::showBox;
        AskCancel::showBox = BoxRecorder::Show;
        BoxRecorder::texts.clear();
        AskCancel::Instance().Clear();
    }
    void TearDown() override {
        AskCancel::showBox = saved_;
        AskCancel::Instance().Clear();
    }
    int (*saved_)(HWND, const wchar_t*, const wchar_t*, UINT) = nullptr;
};

TEST_F(AskCancelTest, YesIsKeptAndSuppressesFurtherQuestionsUntilCleared) {
    BoxRecorder::answer = IDNO;
    EXPECT_FALSE(AskCancel::Ask(L"parsing", nullptr).Answered());
    BoxRecorder::answer = IDYES;
    EXPECT_TRUE(AskCancel::Ask(L"parsing", nullptr).Answered());
    EXPECT_TRUE(AskCancel::Ask(L"finding", nullptr).Answered());
    EXPECT_EQ(BoxRecorder::texts, (Lines{ L"Do You want cancel parsing ?", L"Do You want cancel parsing ?" }));
    AskCancel::Instance().Clear();
    BoxRecorder::answer = IDNO;
    EXPECT_FALSE(AskCancel::Ask(L"all operations", nullptr).Answered());
    EXPECT_EQ(BoxRecorder::texts.back(), L"Do You want cancel all operations ?");
}

// A button held down when the question comes lets go of the mouse first.
TEST_F(AskCancelTest, TheQuestionTakesTheMouse) {
    CWnd holder;
    ASSERT_TRUE(wintest::CreateHidden(holder));
    holder.SetCapture();
    AskCancel::Ask(L"parsing", nullptr);
    EXPECT_EQ(BoxRecorder::capture, nullptr);
    holder.DestroyWindow();
}

TEST_F(AskCancelTest, QuestionTextIsCutAtSixtyFourCharacters) {
    const std::wstring what(100, L'w');
    AskCancel::Ask(what.c_str(), nullptr);
    ASSERT_EQ(BoxRecorder::texts.size(), 1u);
    EXPECT_EQ(BoxRecorder::texts[0].size(), 64u);
    EXPECT_EQ(BoxRecorder::texts[0].substr(0, 19), L"Do You want cancel ");
}

// A box of that title on another thread (another program or instance) is not ours to close; the
// box of this thread is.
struct ForeignBox {
    HANDLE shown = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE answered = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<DWORD> thread{ 0 };
    HWND box = nullptr;
    int answer = 0;
};
ForeignBox* g_foreign = nullptr;

LRESULT CALLBACK NoteForeignBox(int code, WPARAM w, LPARAM l) {
    if (code == HCBT_ACTIVATE && !g_foreign->box) {
        g_foreign->box = reinterpret_cast<HWND>(w);
        ::SetEvent(g_foreign->shown);
    }
    return ::CallNextHookEx(nullptr, code, w, l);
}

void CALLBACK CloseOwnQuestion(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    AskCancel::CloseQuestion();
}

TEST(AskCancelBoxTest, ClosesOnlyThisThreadsQuestion) {
    ForeignBox foreign;
    g_foreign = &foreign;
    std::thread other([] {
        g_foreign->thread = ::GetCurrentThreadId();
        HHOOK hook = ::SetWindowsHookExW(WH_CBT, NoteForeignBox, nullptr, ::GetCurrentThreadId());
        g_foreign->answer = ::MessageBoxW(nullptr, L"another program", AskCancel::kCaption, MB_YESNO);
        ::UnhookWindowsHookEx(hook);
        ::SetEvent(g_foreign->answered);
    });
    const bool shown = ::WaitForSingleObject(foreign.shown, 10000) == WAIT_OBJECT_0;
    EXPECT_TRUE(shown);
    if (shown) {
        AskCancel::CloseQuestion();
        ::PostMessageW(foreign.box, WM_COMMAND, IDYES, 0);
    }
    // The other thread's box is not watched there: its wait is bounded here, and a quit ends its loop.
    if (::WaitForSingleObject(foreign.answered, modalwatch::BoundMs()) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "gave up waiting for the other thread's box to take its Yes";
        ::PostThreadMessageW(foreign.thread, WM_QUIT, 0, 0);
    }
    other.join();
    EXPECT_EQ(foreign.answer, IDYES);
    ::CloseHandle(foreign.shown);
    ::CloseHandle(foreign.answered);
    g_foreign = nullptr;

    // Our own box, open in this thread's modal loop, is answered No.
    ::SetTimer(nullptr, 0, 10, CloseOwnQuestion);
    EXPECT_EQ(::MessageBoxW(nullptr, L"ours", AskCancel::kCaption, MB_YESNO), IDNO);
}

// --- Log panes in a window.

class LogPaneTest : public ::testing::Test {
protected:
    void SetUp() override {
        options_.ApplyColorTheme();
        ASSERT_TRUE(parent_.CreateEx(0, nullptr, L"logs", WS_OVERLAPPEDWINDOW, RECT{ 0, 0, 400, 300 }, nullptr, 0));
    }
    void TearDown() override { parent_.DestroyWindow(); }
    // Pixels of a colour that the pane shows, painted afresh.
    static int Shown(CWnd& pane, COLORREF colour) {
        pane.Invalidate();
        PixelSurface shot;
        if (!CaptureWindow(pane.m_hWnd, shot, true))
            return -1;
        return shot.CountColour(RECT{ 0, 0, shot.Width(), shot.Height() }, colour);
    }

    Options options_;
    CWnd parent_;
};

TEST_F(LogPaneTest, FullRingDropsOldestLinesAndTheSelectionMovesUp) {
    BLogPane pane(1);   // 1024 characters
    ASSERT_TRUE(pane.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{ 0, 0, 300, 200 }, parent_.m_hWnd, 232));
    pane.SendMessage(kMsgOptions, 1, reinterpret_cast<LPARAM>(&options_));
    // 100 lines of 9 characters + zero: 1000 characters.
    for (int i = 0; i < 100; ++i)
        pane.AddLine(StringW(kFormat, L"line %04d", i).c_str());
    EXPECT_EQ(pane.Ring().Count(), 100);
    pane.selection.anchorLine = pane.selection.firstLine = 10;
    pane.selection.lastLine = 11;
    pane.selection.currentColumn = TextSelection::kWholeLines;
    EXPECT_EQ(pane.SelectedText(), StringW(L"line 0010\r\nline 0011\r\n"));
    // 24 characters are free: two more lines fit, each of the next three drops the oldest.
    for (int i = 100; i < 105; ++i)
        pane.AddLine(StringW(kFormat, L"line %04d", i).c_str());
    EXPECT_EQ(pane.Ring().Count(), 102);
    EXPECT_STREQ(pane.Ring().GetText(0), L"line 0003");
    EXPECT_EQ(pane.selection.firstLine, 7);
    EXPECT_EQ(pane.SelectedText(), StringW(L"line 0010\r\nline 0011\r\n"));
    // The view followed the end.
    EXPECT_EQ(pane.VBar().rangeEnd, 102);
    EXPECT_GE(pane.VBar().top + pane.VBar().page, 102);
}

// On the screen, the log keeps its newest line in view and draws selected lines in their colour.
TEST_F(LogPaneTest, AShownLogFollowsItsEndAndDrawsSelectedLines) {
    BLogPane pane(1);
    ASSERT_TRUE(pane.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{ 0, 0, 300, 200 }, parent_.m_hWnd, 1));
    pane.SendMessage(kMsgOptions, 1, reinterpret_cast<LPARAM>(&options_));
    pane.MoveWindow(0, 0, 300, 201);   // laid out, as its tab lays it out
    parent_.ShowWindow(SW_SHOWNOACTIVATE);
    for (int i = 0; i < 40; ++i) {
        pane.AddLine(StringW(kFormat, L"line %d", i).c_str());
        pane.UpdateWindow();
    }
    EXPECT_GT(pane.VBar().top, 0);
    EXPECT_GE(pane.VBar().top + pane.VBar().page, 40);
    const COLORREF selected = options_.uiColors.logSelectLinesBk.value;
    EXPECT_EQ(0, Shown(pane, selected));
    pane.selection.anchorLine = pane.selection.firstLine = pane.selection.lastLine = 39;
    pane.selection.currentColumn = TextSelection::kWholeLines;
    EXPECT_GT(Shown(pane, selected), 0);
}

TEST_F(LogPaneTest, PrefixMarksOnlyTheNextNewLineAndContinuationJoins) {
    BLogPane pane(1);
    ASSERT_TRUE(pane.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{ 0, 0, 300, 200 }, parent_.m_hWnd, 1));
    pane.SetPrefix(1);
    pane.AddLine(L"Scan", true);   // a continuation takes no prefix...
    pane.AddLine(L"marked");       // ...the next new line does
    pane.AddLine(L"plain");
    pane.AddLine(L" more", true);
    EXPECT_EQ(Texts(pane.Ring()), (Lines{ L"Scan", L"\x01marked", L"plain more" }));
}

TEST_F(LogPaneTest, ClearEmptiesTheLogAndDisablesBothButtons) {
    FileLogPane pane;
    ASSERT_TRUE(pane.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{ 0, 0, 300, 200 }, parent_.m_hWnd, 232));
    pane.SendMessage(kMsgOptions, 1, reinterpret_cast<LPARAM>(&options_));
    EXPECT_EQ(pane.Ring().Capacity(), 131072u);
    pane.AddLine(L"The file: 'x'");
    pane.AddLine(L"Main parser: 'y'");
    pane.selection.anchorLine = pane.selection.firstLine = pane.selection.lastLine = 0;
    pane.selection.currentColumn = TextSelection::kWholeLines;
    pane.SendMessage(WM_IDLEUPDATECMDUI);
    EXPECT_TRUE(pane.cornerButtons.IsButtonEnabled(FileLogPane::kCmdClear));
    EXPECT_TRUE(pane.cornerButtons.IsButtonEnabled(FileLogPane::kCmdCopy));
    pane.SendMessage(WM_COMMAND, FileLogPane::kCmdClear, 0);
    EXPECT_EQ(pane.Ring().Count(), 0);
    EXPECT_EQ(pane.GetItem(0), nullptr);
    pane.SendMessage(WM_IDLEUPDATECMDUI);
    EXPECT_FALSE(pane.cornerButtons.IsButtonEnabled(FileLogPane::kCmdClear));
    EXPECT_FALSE(pane.cornerButtons.IsButtonEnabled(FileLogPane::kCmdCopy));
    pane.AddLine(L"again");
    pane.SendMessage(WM_IDLEUPDATECMDUI);
    EXPECT_TRUE(pane.cornerButtons.IsButtonEnabled(FileLogPane::kCmdClear));
    EXPECT_FALSE(pane.cornerButtons.IsButtonEnabled(FileLogPane::kCmdCopy));
}

TEST_F(LogPaneTest, RingSizeFollowsTheLogSizeOptionWhileEmpty) {
    FileLogPane pane;
    ASSERT_TRUE(pane.CreateEx(0, nullptr, L"", WS_CHILD, RECT{ 0, 0, 300, 200 }, parent_.m_hWnd, 232));
    options_.general.logRingPower.value = 3;
    pane.SendMessage(kMsgOptions, 1, reinterpret_cast<LPARAM>(&options_));
    EXPECT_EQ(pane.Ring().Capacity(), 8u * 1024);
    pane.AddLine(L"kept");
    options_.general.logRingPower.value = 5;
    pane.SendMessage(kMsgOptions, 1, reinterpret_cast<LPARAM>(&options_));
    EXPECT_EQ(pane.Ring().Capacity(), 8u * 1024);
    EXPECT_STREQ(pane.Ring().GetText(0), L"kept");
}

}  // namespace
