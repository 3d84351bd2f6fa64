// The file window with a real document: parsing, the scans after it, the log, the status bar, the low
// pane's options, Esc and the show-as list.

#include "app/AppMessages.h"
#include "app/AskCancel.h"
#include "app/DFind.h"
#include "app/FileButtonBar.h"
#include "app/FileLogPane.h"
#include "app/FileLowPane.h"
#include "app/FileMainPane.h"
#include "app/FileSideTab.h"
#include "app/FilePane.h"
#include "app/FileStatusBar.h"
#include "app/ShowasPane.h"
#include "document/DocumentHost.h"
#include "tests/app/FileFixtures.h"
#include "core/SectionLock.h"
#include "document/BFileParser.h"
#include "document/BResultDiza.h"
#include "document/DocumentRun.h"
#include "document/FileParseThread.h"
#include "document/ScanStringz.h"
#include "options/BColorTheme.h"
#include "options/Options.h"
#include "toolkit/BPopup.h"
#include "classlib/Dialog.h"
#include "classlib/Screenshot.h"
#include "app/FileDizaPane.h"
#include "tests/classlib/FakeCursorClip.h"
#include "tests/classlib/WindowTestSupport.h"
#include "tests/DisplayReader.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using fixtures::ScratchPath;
using fixtures::StepParser;
using fixtures::TestDirectory;

void WriteBytes(const std::wstring& path, int size) {
    std::string bytes(static_cast<size_t>(size), '\0');
    for (int i = 0; i < size; ++i)
        bytes[static_cast<size_t>(i)] = static_cast<char>(i < 64 ? "The quick brown fox jumps\0"[i % 26] : 0x90);
    fixtures::WriteFileBytes(path, bytes);
}

void Pump() {
    MSG msg;
    for (int i = 0; i < 200 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

struct Boxes {
    static std::vector<std::wstring> texts;
    static int answer;
    static int Show(HWND, const wchar_t* text, const wchar_t*, UINT) {
        texts.push_back(text);
        return answer;
    }
};
std::vector<std::wstring> Boxes::texts;
int Boxes::answer = IDNO;

class FileWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedBox_ = AskCancel::showBox;
        AskCancel::showBox = Boxes::Show;
        Boxes::texts.clear();
        AskCancel::Instance().Clear();
        options_.ApplyColorTheme();
        path_ = ScratchPath(L"filewindow.bin");
        WriteBytes(path_, 0x400);
        fixtures::MakeFileWindow(frame_, window_, doc_, directory_, options_, SIZE{ 900, 600 });
    }
    void TearDown() override {
        fixtures::CloseFileWindow(frame_, window_, directory_);
        ::DeleteFileW(path_.c_str());
        AskCancel::showBox = savedBox_;
        AskCancel::Instance().Clear();
    }
    void Open(StepParser& parser, uint32_t flags) {
        ASSERT_TRUE(doc_->OpenFile(fixtures::RequestFor(path_, &parser, flags)));
        Pump();
    }
    std::vector<std::wstring> LogLines() {
        std::vector<std::wstring> lines;
        BTextRoll& ring = window_->LogPane()->Ring();
        for (int i = 0; i < ring.Count(); ++i)
            lines.push_back(ring.GetText(i));
        return lines;
    }
    bool Logged(const std::wstring& start) {
        for (const std::wstring& line : LogLines())
            if (line.compare(0, start.size(), start) == 0)
                return true;
        return false;
    }

    Options options_;
    TestDirectory directory_;
    CWnd frame_;
    FilePane* window_ = nullptr;
    FileParseThread* doc_ = nullptr;
    std::wstring path_;
    int (*savedBox_)(HWND, const wchar_t*, const wchar_t*, UINT) = nullptr;
};

TEST_F(FileWindowTest, ChildrenAndFileIdAreInPlace) {
    EXPECT_EQ(window_->GetDlgCtrlID(), doc_->Serial());
    EXPECT_EQ(window_->document, doc_);
    for (int id : { kIdFileButtonBar, kIdFileStatusBar, kIdFileLowPane })
        EXPECT_NE(window_->GetDlgItem(id), nullptr) << id;
    ASSERT_NE(window_->LogPane(), nullptr);
    ASSERT_NE(window_->Showas(), nullptr);
    EXPECT_EQ(doc_->Log().Sink(), static_cast<BLogSink*>(window_->LogPane()));
    // Laid out: the button bar on top, the status bar at the bottom.
    RECT client = window_->GetClientRect();
    RECT bar = window_->StatusBar()->GetWindowRect();
    window_->ScreenToClient(&bar);
    EXPECT_EQ(bar.bottom, client.bottom);
    RECT buttons = window_->ButtonBar()->GetWindowRect();
    window_->ScreenToClient(&buttons);
    EXPECT_EQ(buttons.top, 0);
    // Right of the last button row, the bar's own face.
    frame_.ShowWindow(SW_SHOWNOACTIVATE);
    PixelSurface shot;
    ASSERT_TRUE(CaptureWindow(window_->ButtonBar()->m_hWnd, shot, true));
    EXPECT_EQ(ThemeColor(1), shot.Pixel(shot.Width() - 2, shot.Height() / 2));
}

// The status bar's four lamps as the display shows them (the colour in each box's middle) with the tip
// over each box.
struct Lamps {
    COLORREF colour[4] = {};
    std::wstring tip[4];
};

Lamps ReadLamps(FileStatusBar& bar) {
    Lamps lamps;
    PixelSurface shown;
    EXPECT_TRUE(display::ReadWindow(bar.m_hWnd, shown));
    for (int i = 0; i < 4; ++i) {
        const POINT middle{ bar.cells[FileStatusBar::kLamps].left + FileStatusBar::kLampLeft +
                                i * (FileStatusBar::kLampBox + FileStatusBar::kLampGap) + FileStatusBar::kLampBox / 2,
                            shown.Height() / 2 };
        lamps.colour[i] = shown.Pixel(middle.x, middle.y);
        TOOLINFOW info{};
        info.cbSize = sizeof info;
        if (bar.OnToolHitTest(middle, &info) >= 0 && info.lpszText) {
            lamps.tip[i] = info.lpszText;
            std::free(info.lpszText);
        }
    }
    return lamps;
}

// The lamps as the bar shows them once a job's start (a find, the refers or the string scan) has
// reached it, with that start's message.
FileStatusBar* g_lampBar = nullptr;
std::vector<std::pair<UINT, Lamps>> g_lampsAtStart;

LRESULT CALLBACK WatchJobStarts(int code, WPARAM w, LPARAM l) {
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(l);
    const UINT m = message->message;
    if (code == HC_ACTION && g_lampBar && message->hwnd == g_lampBar->m_hWnd &&
        (m == kMsgFindJob || m == kMsgRefersScan || m == kMsgStringScan) && message->wParam == 1)
        g_lampsAtStart.emplace_back(m, ReadLamps(*g_lampBar));
    return ::CallNextHookEx(nullptr, code, w, l);
}

// Watches the job starts at the status bar for the life of the object.
class LampWatch {
public:
    explicit LampWatch(FileStatusBar* bar) {
        g_lampBar = bar;
        g_lampsAtStart.clear();
        hook_ = ::SetWindowsHookExW(WH_CALLWNDPROCRET, WatchJobStarts, nullptr, ::GetCurrentThreadId());
    }
    ~LampWatch() {
        ::UnhookWindowsHookEx(hook_);
        g_lampBar = nullptr;
    }

private:
    HHOOK hook_;
};

// Box `lit` shows the colour, the others as they were when dark.
void ExpectOneLampLit(const Lamps& lamps, const Lamps& dark, int lit, COLORREF colour) {
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(lamps.colour[i], i == lit ? colour : dark.colour[i]) << "box " << i << " of lit " << lit;
}

// While each scan runs, the status bar lights its own lamp in the scan colour.
TEST_F(FileWindowTest, AfterParsingTheScansRunAndTheLogTellsSo) {
    StepParser parser([](FileParseThread* d) { return d && d->AddCodeSegment(0x1000, 0, 0x400, 0x400); });
    FileStatusBar* bar = window_->StatusBar();
    frame_.ShowWindow(SW_SHOWNOACTIVATE);
    Pump();
    const Lamps dark = ReadLamps(*bar);
    LampWatch watch(bar);
    Open(parser, kRequestRefers | kScanAscii);
    ASSERT_EQ(g_lampsAtStart.size(), 2u);
    EXPECT_EQ(g_lampsAtStart[0].first, static_cast<UINT>(kMsgRefersScan));
    ExpectOneLampLit(g_lampsAtStart[0].second, dark, 0, ThemeColor(26));
    EXPECT_EQ(g_lampsAtStart[1].first, static_cast<UINT>(kMsgStringScan));
    ExpectOneLampLit(g_lampsAtStart[1].second, dark, 1, ThemeColor(26));
    EXPECT_TRUE(window_->ParseFinished());
    EXPECT_FALSE(window_->IsParsing());
    EXPECT_EQ(window_->ParsePopup(), nullptr);
    EXPECT_TRUE(Logged(L"The file: '"));
    EXPECT_TRUE(Logged(L"Main parser: 'Steps'"));
    EXPECT_TRUE(Logged(L"Scan refers is starting..."));
    EXPECT_TRUE(Logged(L"Refers scan is finished in "));
    EXPECT_TRUE(Logged(L"Scan stringz is starting..."));
    EXPECT_TRUE(Logged(L"Scan stringz is finished in "));
    EXPECT_GT(doc_->strings.Count(), 0);
    EXPECT_FALSE(bar->parsingLamp || bar->refersLamp || bar->stringsLamp);
    EXPECT_EQ(bar->cells[FileStatusBar::kDataOrder].text, StringW(L"LE"));
    EXPECT_EQ(bar->cells[FileStatusBar::kCodepage].text, StringW(L"ANSI"));
}

// What the display shows of the refers lamp while a long scan runs on the window's thread: read from
// the X display by another thread, lit during the scan and dark once it is over.
struct DisplaySample {
    DWORD from, to;
    COLORREF colour;
};
std::vector<std::pair<DWORD, WPARAM>> g_refersLamp;  // when the bar took each on and off
std::atomic<LONG> g_box1X{ -1 }, g_box1Y{ -1 };      // the middle of the refers box on the screen

LRESULT CALLBACK WatchRefersLamp(int code, WPARAM w, LPARAM l) {
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(l);
    if (code == HC_ACTION && g_lampBar && message->hwnd == g_lampBar->m_hWnd && message->message == kMsgRefersScan) {
        g_refersLamp.emplace_back(::GetTickCount(), message->wParam);
        POINT box{ g_lampBar->cells[FileStatusBar::kLamps].left + FileStatusBar::kLampLeft + FileStatusBar::kLampBox / 2,
                   g_lampBar->GetClientRect().bottom / 2 };
        g_lampBar->ClientToScreen(&box);
        g_box1Y = box.y;
        g_box1X = box.x;
    }
    return ::CallNextHookEx(nullptr, code, w, l);
}

// The program's loop waits for messages just before a scan starts (the parse's end pumps them); under
// Wine a paint made within 50 ms of such a wait stays in the window's surface until the thread next
// waits. A wait just before the lamp's message makes that moment exact.
LRESULT CALLBACK WaitBeforeRefersLamp(int code, WPARAM w, LPARAM l) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(l);
    if (code == HC_ACTION && g_lampBar && message->hwnd == g_lampBar->m_hWnd && message->message == kMsgRefersScan)
        ::MsgWaitForMultipleObjectsEx(0, nullptr, 0, 0, 0);
    return ::CallNextHookEx(nullptr, code, w, l);
}

TEST_F(FileWindowTest, TheRefersLampReachesTheDisplayWhileTheScanRuns) {
    // Calls, loads and branches enough for a scan of well over half a second.
    const size_t size = 24 << 20;
    const unsigned char pattern[] = { 0x55, 0x8B, 0xEC, 0xE8, 0x10, 0x00, 0x00, 0x00, 0xA1, 0x00, 0x10, 0x00, 0x10,
                                      0x74, 0x02, 0x8B, 0x45, 0x08, 0xFF, 0x15, 0x04, 0x20, 0x00, 0x10, 0x5D, 0xC3 };
    std::string code;
    code.reserve(size);
    while (code.size() + sizeof pattern <= size)
        code.append(reinterpret_cast<const char*>(pattern), sizeof pattern);
    fixtures::WriteFileBytes(path_, code);
    const int64_t length = static_cast<int64_t>(code.size());
    StepParser parser([&](FileParseThread* d) { return d && d->AddCodeSegment(0x10000000, 0, length, length); });
    frame_.ShowWindow(SW_SHOWNOACTIVATE);
    Pump();

    std::vector<DisplaySample> samples;
    std::atomic<bool> stop{ false };
    g_box1X = g_box1Y = -1;
    std::thread sampler([&] {
        while (!stop) {
            if (g_box1X < 0) {
                ::Sleep(1);
                continue;
            }
            const DWORD from = ::GetTickCount();
            const COLORREF colour = display::Pixel(POINT{ g_box1X, g_box1Y });
            samples.push_back(DisplaySample{ from, ::GetTickCount(), colour });
        }
    });
    g_lampBar = window_->StatusBar();
    g_refersLamp.clear();
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, WatchRefersLamp, nullptr, ::GetCurrentThreadId());
    HHOOK wait = ::SetWindowsHookExW(WH_CALLWNDPROC, WaitBeforeRefersLamp, nullptr, ::GetCurrentThreadId());
    Open(parser, kRequestRefers);
    ::UnhookWindowsHookEx(wait);
    ::UnhookWindowsHookEx(hook);
    g_lampBar = nullptr;
    for (const DWORD end = ::GetTickCount() + 600; ::GetTickCount() < end; ::Sleep(10))
        Pump();
    stop = true;
    sampler.join();

    ASSERT_EQ(g_refersLamp.size(), 2u);
    const DWORD on = g_refersLamp[0].first, off = g_refersLamp[1].first;
    ASSERT_EQ(g_refersLamp[0].second, 1u);
    ASSERT_GE(off - on, 500u) << "the scan must take long enough to be watched";
    const COLORREF lit = ThemeColor(26);
    int during = 0;
    for (const DisplaySample& s : samples) {
        if (s.from > on && s.to < off) {
            ++during;
            EXPECT_EQ(s.colour, lit) << "sampled " << s.from - on << " to " << s.to - on << " ms into the scan";
        }
    }
    EXPECT_GE(during, 2);
    ASSERT_FALSE(samples.empty());
    EXPECT_GT(samples.back().from, off);
    EXPECT_NE(samples.back().colour, lit);
    EXPECT_NE(samples.back().colour, CLR_INVALID);
}

TEST_F(FileWindowTest, AFileWithoutSegmentsIsNotReadyAndRunsNoScan) {
    StepParser parser([](FileParseThread*) { return true; });
    Open(parser, kRequestRefers | kScanAscii);
    EXPECT_TRUE(window_->ParseFinished());
    EXPECT_TRUE(Logged(L"The file is not ready"));
    EXPECT_FALSE(Logged(L"Scan refers is starting..."));
    EXPECT_FALSE(Logged(L"Scan stringz is starting..."));
}

TEST_F(FileWindowTest, WhileParsingThePopupShowsAndItsCloseBoxAsksTheQuestion) {
    bool popupSeen = false;
    PixelSurface duringParse[2], onceIdle[2];
    StepParser parser([&](FileParseThread* d) {
        popupSeen = window_->ParsePopup() && window_->ParsePopup()->IsWindowVisible() && window_->IsParsing();
        // A log line in the status bar and a stage's text reach the display while the parse still runs,
        // though the thread waited for messages just before each (and then not again until the end).
        if (popupSeen) {
            const HWND shown[2] = { window_->StatusBar()->m_hWnd, window_->ParsePopup()->m_hWnd };
            ::MsgWaitForMultipleObjectsEx(0, nullptr, 0, 0, 0);
            d->Log().Print(L"Reading the names");
            display::ReadWindow(shown[0], duringParse[0]);
            ::MsgWaitForMultipleObjectsEx(0, nullptr, 0, 0, 0);
            window_->ShowProgress(L"Names");
            display::ReadWindow(shown[1], duringParse[1], false);
            Pump();
            display::ReadWindow(shown[0], onceIdle[0]);
            display::ReadWindow(shown[1], onceIdle[1], false);
        }
        return d && d->AddDataSegment(0, 0, 0x100, 0x100);
    });
    frame_.ShowWindow(SW_SHOWNOACTIVATE);
    Open(parser, 0);
    EXPECT_TRUE(popupSeen);
    for (int i = 0; i < 2; ++i) {
        ASSERT_GT(onceIdle[i].Width(), 0);
        ASSERT_EQ(duringParse[i].Width(), onceIdle[i].Width());
        EXPECT_EQ(0, std::memcmp(duringParse[i].Bits(), onceIdle[i].Bits(),
                                 sizeof(uint32_t) * onceIdle[i].Width() * onceIdle[i].Height())) << i;
    }
    EXPECT_EQ(window_->ParsePopup(), nullptr);
    Boxes::answer = IDNO;
    window_->SendMessage(WM_COMMAND, kCmdParsePopup, 0);
    EXPECT_EQ(Boxes::texts, (std::vector<std::wstring>{ L"Do You want cancel parsing ?" }));
}

TEST_F(FileWindowTest, EscapeAsksOnlyWhileAFindRunsAndYesStopsBothFinds) {
    MSG key{};
    key.hwnd = window_->m_hWnd;
    key.message = WM_KEYDOWN;
    key.wParam = VK_ESCAPE;
    EXPECT_FALSE(window_->PreTranslateMessage(&key));
    EXPECT_TRUE(Boxes::texts.empty());

    FindResult* first = doc_->finds.GetResultByIndex(1);
    FindResult* second = doc_->finds.GetResultByIndex(2);
    first->runningJobs = 1;
    Boxes::answer = IDYES;
    EXPECT_TRUE(window_->PreTranslateMessage(&key));
    EXPECT_EQ(Boxes::texts, (std::vector<std::wstring>{ L"Do You want cancel finding ?" }));
    EXPECT_TRUE(first->stop != 0);
    EXPECT_TRUE(second->stop != 0);
    EXPECT_FALSE(AskCancel::Instance().Answered());
    // The release of the same key is swallowed without a second question.
    key.message = WM_KEYUP;
    EXPECT_TRUE(window_->PreTranslateMessage(&key));
    EXPECT_EQ(Boxes::texts.size(), 1u);
    // Alt+Esc belongs to the system: no question, and the key goes on.
    key.message = WM_SYSKEYDOWN;
    key.lParam = 0x20000001;
    EXPECT_FALSE(window_->PreTranslateMessage(&key));
    EXPECT_EQ(Boxes::texts.size(), 1u);
    first->runningJobs = 0;
}

// The find command reaches the document through the file window: the dialog runs, the chosen list
// is shown and filled, the log tells the end, and a line find reads the disassembly pane's texts.
// While it runs, the status bar lights its list's lamp in the find colour, under the list's tip.
TEST_F(FileWindowTest, FindCommandRunsTheDialogAndFillsTheChosenList) {
    StepParser parser([](FileParseThread* d) { return d && d->AddDataSegment(0x1000, 0, 0x400, 0x400); });
    Open(parser, 0);
    auto* main = static_cast<FileMainPane*>(window_->MainPane());
    auto* side = static_cast<FileSideTab*>(window_->SideTab());
    EXPECT_EQ(window_->Lines(), &main->diza.findLines);

    struct Case {
        const wchar_t* text;
        uint32_t mode;
        int pane;           // 1 or 2
        int hits;           // -1: at least one
    };
    // "qui" stands three times in the first 64 bytes ("The quick brown fox jumps" repeated).
    const Case cases[] = {
        { L"71 75 69", kFindHexMode, 1, 3 },
        { L"*quick*", kFindLineMode, 2, -1 },
        { L"71 7", kFindHexMode, 1, 0 },   // a lone digit: an empty result and the usual end line
    };
    FileStatusBar* bar = window_->StatusBar();
    frame_.ShowWindow(SW_SHOWNOACTIVATE);
    Pump();
    const Lamps dark = ReadLamps(*bar);
    LampWatch watch(bar);
    for (const Case& c : cases) {
        g_lampsAtStart.clear();
        FindParameters& p = doc_->finds.parameters;
        p.text = c.text;
        p.flags = c.mode | (static_cast<uint32_t>(c.pane) << kFindPaneShift) | kFindCodeSegments |
                  kFindDataSegments | kFindCodeLines | kFindOtherLines | kFindComments;
        bool dialogSeen = false;
        PushModalAction([&](Dialog& d) {
            dialogSeen = DFind::Open() == &d;
            static_cast<DFind&>(d).OnOK();
        });
        window_->SendMessage(WM_COMMAND, 333, 0);
        Pump();
        EXPECT_EQ(PendingModalActions(), 0u);
        EXPECT_TRUE(dialogSeen) << c.text;
        FindResult* result = doc_->finds.GetResultByIndex(c.pane);
        if (c.hits >= 0)
            EXPECT_EQ(result->Count(), c.hits) << c.text;
        else
            EXPECT_GT(result->Count(), 0) << c.text;
        EXPECT_EQ(result->runningJobs, 0);
        EXPECT_EQ(side->FindPaneAt(c.pane - 1)->GetCount(), result->Count()) << c.text;
        EXPECT_EQ(doc_->finds.activePane, c.pane == 1 ? kFind1Pane : kFind2Pane) << c.text;
        const std::wstring end = std::wstring(L"Find") + (c.pane == 1 ? L"1" : L"2") + L" for '" + result->parameters.text.c_str() +
                                 L"' is finished in ";
        EXPECT_TRUE(Logged(end)) << c.text;
        EXPECT_TRUE(doc_->modified);
        ASSERT_EQ(g_lampsAtStart.size(), 1u) << c.text;
        const int lit = c.pane + 1;
        ExpectOneLampLit(g_lampsAtStart[0].second, dark, lit, ThemeColor(27));
        EXPECT_EQ(g_lampsAtStart[0].second.tip[lit], c.pane == 1 ? L"Find1" : L"Find2") << c.text;
        const Lamps after = ReadLamps(*bar);
        EXPECT_EQ(after.colour[lit], dark.colour[lit]) << c.text;   // dark again once the find is done
    }
    // Cancel in the dialog runs nothing.
    const int before = doc_->finds.GetResultByIndex(1)->Count();
    PushModalAction([](Dialog& d) { static_cast<DFind&>(d).OnCancel(); });
    doc_->finds.parameters.text = L"71";
    window_->SendMessage(WM_COMMAND, 333, 0);
    EXPECT_EQ(doc_->finds.GetResultByIndex(1)->Count(), before);
}

TEST_F(FileWindowTest, HiddenLowPaneIsStoredAsHidden) {
    Options stored;
    stored.CopyFrom(options_);
    window_->SendMessage(WM_COMMAND, kCmdLowPane, 0);
    EXPECT_FALSE(window_->LowPane()->IsShown());
    window_->SendMessage(kMsgOptions, 2, reinterpret_cast<LPARAM>(&stored));
    EXPECT_FALSE(stored.ui.lowPaneShow.value);
    window_->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
    EXPECT_FALSE(window_->ButtonBar()->fileRow.GetCheck(kCmdLowPane));
    window_->SendMessage(WM_COMMAND, kCmdLowPane, 0);
    window_->SendMessage(kMsgOptions, 2, reinterpret_cast<LPARAM>(&stored));
    EXPECT_TRUE(stored.ui.lowPaneShow.value);
    window_->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
    EXPECT_TRUE(window_->ButtonBar()->fileRow.GetCheck(kCmdLowPane));
    // The comment pane, shown or hidden from the disassembly, is stored as it is.
    for (bool shown : { false, true }) {
        window_->SendMessage(WM_COMMAND, kCmdShowComments, 0);
        SendToWindowTree(window_->m_hWnd, kMsgOptions, 2, reinterpret_cast<LPARAM>(&stored), true);
        EXPECT_EQ(shown, stored.file.showCommentOnline.value);
    }
}

TEST_F(FileWindowTest, HiddenSideTabIsStoredAsHidden) {
    if (!window_->SideTab())
        GTEST_SKIP() << "no side tab";
    Options stored;
    stored.CopyFrom(options_);
    window_->SendMessage(WM_COMMAND, kCmdSidePane, 0);
    window_->SendMessage(kMsgOptions, 2, reinterpret_cast<LPARAM>(&stored));
    EXPECT_FALSE(stored.ui.sidePaneShow.value);
    window_->SendMessage(WM_COMMAND, kCmdSidePane, 0);
    window_->SendMessage(kMsgOptions, 2, reinterpret_cast<LPARAM>(&stored));
    EXPECT_TRUE(stored.ui.sidePaneShow.value);
}

TEST_F(FileWindowTest, SideTabGoesRightOrLeftAsTheOptionSays) {
    if (!window_->SideTab())
        GTEST_SKIP() << "no side tab";
    options_.ui.sidePaneSide.index = 1;
    window_->SendMessage(kMsgOptions, 1, reinterpret_cast<LPARAM>(&options_));
    EXPECT_EQ(window_->SideTab()->side, 1);
    RECT side = window_->SideTab()->GetWindowRect();
    window_->ScreenToClient(&side);
    EXPECT_EQ(side.right, window_->GetClientRect().right);
    options_.ui.sidePaneSide.index = 0;
    window_->SendMessage(kMsgOptions, 1, reinterpret_cast<LPARAM>(&options_));
    EXPECT_EQ(window_->SideTab()->side, 3);
    side = window_->SideTab()->GetWindowRect();
    window_->ScreenToClient(&side);
    EXPECT_EQ(side.left, 0);
}

TEST_F(FileWindowTest, LowSplitIsAppliedAndStoredInPercent) {
    options_.ui.lowPaneDivider.value = 40;
    window_->LowPane()->SendMessage(kMsgOptions, 1, reinterpret_cast<LPARAM>(&options_));
    EXPECT_EQ(wintest::PixelsAwaitingPaint(window_->LowPane()->m_hWnd), 0);   // the bar and tabs drawn anew
    Options stored;
    window_->LowPane()->SendMessage(kMsgOptions, 2, reinterpret_cast<LPARAM>(&stored));
    EXPECT_NEAR(stored.ui.lowPaneDivider.value, 40, 1);
    // A split dragged past the option's largest value is stored as that value.
    wintest::FakeCursorClip clip;
    frame_.MoveWindow(0, 0, 1300, 600);
    window_->MoveWindow(0, 0, 1280, 560);
    FileLowPane* low = window_->LowPane();
    ASSERT_GT(low->UsableExtent() - FileShortTab::kMinWidth, low->UsableExtent() * 81 / 100);
    const int x = low->position + 2;
    low->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 10));
    low->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + low->UsableExtent() - 100 - low->position, 10));
    low->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x + low->UsableExtent() - 100 - low->position, 10));
    EXPECT_GT(low->fraction, 8100);
    low->SendMessage(kMsgOptions, 2, reinterpret_cast<LPARAM>(&stored));
    EXPECT_EQ(80, stored.ui.lowPaneDivider.value);
}

// Whether the screen's pixels of the bar show the cell as the bar's state paints it.
bool ShowsCell(BStatusBar& bar, int cell, const PixelSurface& shown) {
    const RECT client = bar.GetClientRect();
    PixelSurface painted(client.right, client.bottom);
    bar.PaintInto(painted, client);
    const StatusCell& c = bar.cells[static_cast<size_t>(cell)];
    for (int y = 0; y < client.bottom; ++y)
        for (int x = c.left; x < c.left + c.width; ++x)
            if (shown.Pixel(x, y) != painted.Pixel(x, y))
                return false;
    return true;
}

// Every log line shows in cell 0, highlighted for the time of the option that a click on cell 0
// offers; a marked line leads the outcome of a failed parse.
TEST_F(FileWindowTest, StatusBarShowsEachLogLineHighlightedForTheChosenTime) {
    StepParser parser([](FileParseThread* d) { return d && d->AddDataSegment(0, 0, 0x100, 0x100); });
    Open(parser, kScanAscii);
    FileStatusBar* bar = window_->StatusBar();
    const StatusCell& message = bar->cells[FileStatusBar::kMessage];
    EXPECT_EQ(message.text, StringW(LogLines().back().c_str()));
    EXPECT_EQ(message.backColor, bar->highlightBack);
    // The cell's menu: "None" is the first choice, "1" the second.
    auto choose = [&](int downs) {
        const RECT r = bar->GetClientRect();
        bar->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, (r.top + r.bottom) / 2));
        for (int i = 0; i < downs; ++i)
            bar->PostMessage(WM_KEYDOWN, VK_DOWN, 0);
        bar->PostMessage(WM_KEYDOWN, VK_RETURN, 0);
        Pump();
    };
    choose(1);
    EXPECT_EQ(doc_->options.ui.statusbarHighlightTimer.index, 0);
    doc_->Log().Print(L"%s", L"plain");
    EXPECT_EQ(message.text, StringW(L"plain"));
    EXPECT_NE(message.backColor, bar->highlightBack);
    // No highlight repaints the cell, and the screen shows the message all the same.
    EXPECT_TRUE(display::PumpUntilShown(bar->m_hWnd, Pump, [&](const PixelSurface& shown) {
        return ShowsCell(*bar, FileStatusBar::kMessage, shown);
    }));
    choose(2);
    EXPECT_EQ(doc_->options.ui.statusbarHighlightTimer.index, 1);
    doc_->Log().Print(L"%s", L"lit");
    EXPECT_EQ(message.text, StringW(L"lit"));
    EXPECT_EQ(message.tipText, StringW(L"lit"));
    EXPECT_EQ(message.backColor, bar->highlightBack);
    // When its second is up the message goes with its highlight and its tip.
    EXPECT_TRUE(wintest::PumpUntil([&] { return message.text.empty(); }));
    EXPECT_NE(message.backColor, bar->highlightBack);
    EXPECT_TRUE(message.tipText.empty());
}

TEST_F(FileWindowTest, AFailedParseMarksItsOutcomeLine) {
    StepParser parser([](FileParseThread*) { return false; });
    Open(parser, 0);
    const std::vector<std::wstring> lines = LogLines();
    size_t outcome = 0;
    while (outcome < lines.size() && lines[outcome].find(L"Main parser is failed in ") == std::wstring::npos)
        ++outcome;
    ASSERT_LT(outcome, lines.size());
    EXPECT_EQ(lines[outcome][0], L'\x01');
    EXPECT_EQ(lines[outcome - 1], L"Main parser error(s): 2");
    EXPECT_EQ(lines[outcome - 1][0], L'M');
}

TEST_F(FileWindowTest, ClosingLeavesTheStatusBarEmpty) {
    StepParser parser([](FileParseThread* d) { return d && d->AddDataSegment(0, 0, 0x100, 0x100); });
    Open(parser, 0);
    FileStatusBar* bar = window_->StatusBar();
    bar->refersLamp = bar->find2Lamp = true;
    bar->SetCellText(L"message");
    doc_->CloseFile();
    for (const StatusCell& cell : bar->cells)
        EXPECT_TRUE(cell.text.empty());
    EXPECT_FALSE(bar->parsingLamp || bar->refersLamp || bar->stringsLamp || bar->find1Lamp || bar->find2Lamp);
    EXPECT_EQ(bar->document, nullptr);
}

TEST_F(FileWindowTest, ShowasListFollowsItemLinesOnly) {
    StepParser parser([](FileParseThread* d) {
        if (!d || !d->AddDataSegment(0, 0, 0x100, 0x100))
            return false;
        d->runAddress = 0x10;
        return MakeWordsAtRun(d, 4);
    });
    Open(parser, 0);
    ShowasPane* showas = window_->Showas();
    Diza item;
    {
        SectionLock lock(doc_->FileLock());
        item = doc_->Map().ItemAt(0x10);
    }
    ASSERT_EQ(diza::KindOf(item.kind), diza::kData);
    showas->SetItem(DizaLinePos{ 0x10, item.kind });
    EXPECT_GT(showas->RowCount(), 0);
    // The same line again does not build the list anew.
    showas->records.push_back(SHOWAS_DATA{ L"marker", L"", 0x10, item.kind });
    const int count = showas->RowCount();
    showas->SetItem(DizaLinePos{ 0x10, item.kind });
    EXPECT_EQ(showas->RowCount(), count);
    // A comment line empties it.
    showas->SetItem(DizaLinePos{ 0x10, 0x10000000 });
    EXPECT_EQ(showas->RowCount(), 0);
}

// Records what reaches the disassembly pane.
class GotoRecorder : public CWnd {
public:
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    LRESULT OnGoto(WPARAM, LPARAM target) {
        targets.push_back(*reinterpret_cast<const ShowasTarget*>(target));
        return 0;
    }
    std::vector<ShowasTarget> targets;
};
const MessageEntry kGotoEntries[] = { OnMessage(kMsgShowasItem, Route<&GotoRecorder::OnGoto>) };
const MessageMap GotoRecorder::kMessageMap{ &CWnd::kMessageMap, kGotoEntries };

TEST_F(FileWindowTest, ShowasGoesToTheItemOnlyWhileItKeepsItsKind) {
    StepParser parser([](FileParseThread* d) {
        if (!d || !d->AddDataSegment(0, 0, 0x100, 0x100))
            return false;
        d->runAddress = 0x20;
        return MakeWordsAtRun(d, 2);
    });
    Open(parser, 0);
    GotoRecorder recorder;
    ASSERT_TRUE(recorder.CreateEx(0, nullptr, L"", WS_CHILD, RECT{ 0, 0, 1, 1 }, frame_.m_hWnd, 77));
    ShowasPane* showas = window_->Showas();
    showas->gotoTarget = recorder.m_hWnd;
    Diza item;
    {
        SectionLock lock(doc_->FileLock());
        item = doc_->Map().ItemAt(0x20);
    }
    showas->records.assign(1, SHOWAS_DATA{ L"as", L"x", 0x21, item.kind });
    showas->UpdateCount();
    EXPECT_TRUE(showas->GotoSelected());
    ASSERT_EQ(recorder.targets.size(), 1u);
    EXPECT_EQ(recorder.targets[0].address, 0x20);
    EXPECT_EQ(recorder.targets[0].kind, item.kind);
    // A record whose address now lies in an item of another kind moves nothing.
    showas->records.assign(1, SHOWAS_DATA{ L"as", L"x", 0x21, (diza::kCode << 28) | 0x01000000 });
    EXPECT_FALSE(showas->GotoSelected());
    EXPECT_EQ(recorder.targets.size(), 1u);
    recorder.DestroyWindow();
}

}  // namespace

namespace {

TEST_F(FileWindowTest, LowSplitterKeepsBothTabbersAtTheirMinimumWidths) {
    FileLowPane* low = window_->LowPane();
    const int usable = low->UsableExtent();
    ASSERT_GT(usable, FileLongTab::kMinWidth + FileShortTab::kMinWidth);
    low->SetPosition(50);
    EXPECT_GE(low->position, FileLongTab::kMinWidth);
    low->SetPosition(usable - 50);
    EXPECT_LE(low->position, usable - FileShortTab::kMinWidth);
}

TEST_F(FileWindowTest, StatusBarKeepsTheFilesOwnByteOrderWhenOptionsAreApplied) {
    StepParser parser([](FileParseThread* d) { return d && d->AddDataSegment(0, 0, 0x100, 0x100); });
    Open(parser, kRequestBigEndian);
    FileStatusBar* bar = window_->StatusBar();
    EXPECT_EQ(bar->cells[FileStatusBar::kDataOrder].text, StringW(L"BE"));
    options_.file.dataOrder.index = 0;
    SendToWindowTree(window_->m_hWnd, kMsgOptions, 1, reinterpret_cast<LPARAM>(&options_), true);
    EXPECT_EQ(bar->cells[FileStatusBar::kDataOrder].text, StringW(L"BE"));
}

TEST_F(FileWindowTest, StatusBarShowsTheCursorAddressAndClearsItWhenInvalid) {
    StepParser parser([](FileParseThread* d) { return d && d->AddDataSegment(0x401000, 0, 0x100, 0x100); });
    Open(parser, 0);
    FileStatusBar* bar = window_->StatusBar();
    if (!window_->MainPanes())
        GTEST_SKIP() << "no main pane";
    window_->SendMessageToDescendants(kMsgCursorAddress, 1, reinterpret_cast<LPARAM>(doc_), true, true);
    EXPECT_EQ(bar->cursorAddress, window_->MainPanes()->CursorAddress());
    bar->SendMessage(kMsgCursorAddress, 0, reinterpret_cast<LPARAM>(doc_));
    EXPECT_EQ(bar->cursorAddress, -1);
    EXPECT_TRUE(bar->cells[FileStatusBar::kCursor].text.empty());
}

}  // namespace

namespace {

TEST_F(FileWindowTest, WithoutSegmentsTheViewStaysDisabledOnlyWhenThePopupSwitchDisabledIt) {
    if (!window_->DizaWindow())
        GTEST_SKIP() << "no disassembly pane";
    const struct {
        bool popup;
        bool enabledAfter;
    } cases[] = { { true, false }, { false, true } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.popup);
        doc_->options.general.showParsingPopup.value = c.popup;
        window_->DizaWindow()->EnableWindow(true);
        window_->ButtonBar()->EnableEditRows(true);
        window_->SendMessage(kMsgAttach, 1, reinterpret_cast<LPARAM>(doc_));
        window_->SendMessage(kMsgParsing, 1, reinterpret_cast<LPARAM>(doc_));
        EXPECT_EQ(window_->DizaWindow()->IsWindowEnabled(), !c.popup);
        EXPECT_EQ(window_->ButtonBar()->IsEnabled(352), !c.popup);
        EXPECT_EQ(window_->ButtonBar()->IsEnabled(311), !c.popup);
        EXPECT_TRUE(window_->ButtonBar()->IsEnabled(301));
        window_->SendMessage(kMsgParsing, 0, reinterpret_cast<LPARAM>(doc_));
        EXPECT_EQ(window_->DizaWindow()->IsWindowEnabled(), c.enabledAfter);
        EXPECT_TRUE(Logged(L"The file is not ready"));
    }
}

// Deleting a file window (closing the program with tabs open) frees its document only after the
// panes have let go of it and their windows are gone.
struct WatchedDocument : FileParseThread {
    explicit WatchedDocument(BDocumentHost* host) : FileParseThread(host) {}
    ~WatchedDocument() override { freed = true; }
    static bool freed;
};
bool WatchedDocument::freed = false;

struct PaneEnd {
    HWND window = nullptr;
    std::function<FileParseThread*()> documentOf;
    bool seen = false, documentFreed = false, stillPointing = false;
};
std::vector<PaneEnd>* g_ends = nullptr;

LRESULT CALLBACK WatchDestroy(int code, WPARAM w, LPARAM l) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(l);
    if (code == HC_ACTION && message->message == WM_DESTROY && g_ends) {
        for (PaneEnd& end : *g_ends) {
            if (end.window == message->hwnd && !end.seen) {
                end.seen = true;
                end.documentFreed = WatchedDocument::freed;
                end.stillPointing = end.documentOf() != nullptr;
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, w, l);
}

TEST(FileWindowLifetime, PanesLetGoBeforeTheDocumentIsFreed) {
    Options options;
    options.ApplyColorTheme();
    TestDirectory directory;
    const std::wstring path = ScratchPath(L"lifetime.bin");
    WriteBytes(path, 0x400);
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, L"frame", WS_OVERLAPPEDWINDOW, RECT{ 0, 0, 900, 600 }, nullptr, 0));
    auto* window = new FilePane;
    ASSERT_TRUE(window->CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{ 0, 0, 880, 560 }, frame.m_hWnd, 0));
    WatchedDocument::freed = false;
    auto* doc = new WatchedDocument(window);
    directory.documents.push_back(doc);
    doc->options.CopyFrom(options);
    SendToWindowTree(window->m_hWnd, kMsgOptions, 1, reinterpret_cast<LPARAM>(&options), true);
    StepParser parser([](FileParseThread* d) {
        d->AddDataSegment(0x1000, 0, 0x400, 0x400);
        return true;
    });
    ASSERT_TRUE(doc->OpenFile(fixtures::RequestFor(path, &parser)));
    Pump();
    auto* main = dynamic_cast<FileMainPane*>(window->MainPane());
    ASSERT_TRUE(main);
    FileLogPane* log = window->LogPane();
    ASSERT_EQ(main->diza.document, doc);
    ASSERT_EQ(log->document, doc);
    std::vector<PaneEnd> ends = {
        { main->diza.m_hWnd, [main] { return main->diza.document; } },
        { log->m_hWnd, [log] { return log->document; } },
    };
    g_ends = &ends;
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, WatchDestroy, nullptr, ::GetCurrentThreadId());
    directory.documents.clear();
    delete window;
    ::UnhookWindowsHookEx(hook);
    g_ends = nullptr;
    EXPECT_TRUE(WatchedDocument::freed);
    for (const PaneEnd& end : ends) {
        EXPECT_TRUE(end.seen);
        EXPECT_FALSE(end.documentFreed);
        EXPECT_FALSE(end.stillPointing);
    }
    frame.DestroyWindow();
    ::DeleteFileW(path.c_str());
}

}  // namespace
