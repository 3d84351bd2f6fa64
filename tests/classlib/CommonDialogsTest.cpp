// System dialogs through their seams, message boxes, dropped files and the shell, and tool tips.

#include "classlib/CommonDialogs.h"
#include "classlib/CWnd.h"
#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>
#include <shlobj.h>   // DROPFILES

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <initializer_list>
#include <string>

namespace {

// A literal with embedded terminators, all of it.
template <size_t N>
std::wstring Whole(const wchar_t (&text)[N]) { return std::wstring(text, N - 1); }

// Every system dialog takes the mouse from a window that holds it, as a modal dialog does.
TEST(SystemDialogs, OpenOnlyAfterTheMouseIsLetGo) {
    CWnd holder;
    ASSERT_TRUE(wintest::CreateHidden(holder));
    CFontDialog font(nullptr, CF_SCREENFONTS);
    CColorDialog color(RGB(1, 2, 3));
    OpenFileDialog open(nullptr, L"", L"All|*.*||", nullptr);
    for (SystemDialog* dialog : std::initializer_list<SystemDialog*>{&font, &color, &open}) {
        holder.SetCapture();
        HWND held = nullptr;
        PushSystemDialogAnswer([&held](SystemDialog&) {
            held = ::GetCapture();
            return static_cast<INT_PTR>(IDCANCEL);
        });
        EXPECT_EQ(IDCANCEL, dialog->DoModal());
        EXPECT_EQ(nullptr, held);
    }
    holder.DestroyWindow();
}

TEST(SystemDialogs, SeamAnswersSetTheResultFields) {
    LOGFONTW initial{};
    std::wcscpy(initial.lfFaceName, L"Helv");
    CFontDialog font(&initial, CF_SCREENFONTS);
    EXPECT_EQ(L"Helv", font.GetFaceName());
    PushSystemDialogAnswer([](SystemDialog& d) {
        auto& f = static_cast<CFontDialog&>(d);
        LOGFONTW chosen = f.GetLogFont();
        std::wcscpy(chosen.lfFaceName, L"Consolas");
        chosen.lfItalic = 1;
        chosen.lfWeight = 700;
        f.SetLogFont(chosen);
        f.SetSize(105);
        return static_cast<INT_PTR>(IDOK);
    });
    ASSERT_EQ(IDOK, font.DoModal());
    EXPECT_EQ(L"Consolas", font.GetFaceName());
    EXPECT_TRUE(font.IsItalic());
    EXPECT_EQ(700, font.GetWeight());
    EXPECT_EQ(105, font.GetSize());

    CColorDialog colour(RGB(1, 2, 3));
    PushSystemDialogAnswer([](SystemDialog&) { return static_cast<INT_PTR>(IDCANCEL); });
    EXPECT_EQ(IDCANCEL, colour.DoModal());
    EXPECT_EQ(RGB(1, 2, 3), colour.GetColor());   // a cancel keeps the start colour
}

TEST(SystemDialogs, FilterBarsBecomeTheSystemsList) {
    struct Row { const wchar_t* bars; std::wstring list; } rows[] = {
        {L"All(*.*)|*.*|Executable(*.exe;*.dll)|*.exe;*.dll||",
         Whole(L"All(*.*)\0*.*\0Executable(*.exe;*.dll)\0*.exe;*.dll\0\0")},
        {L"All|*.*", Whole(L"All\0*.*\0\0")},   // a missing end still gets both terminators
        {L"", Whole(L"\0\0")},
        {nullptr, Whole(L"\0\0")},
    };
    for (const Row& row : rows) EXPECT_EQ(row.list, OpenFileDialog::FilterFromBars(row.bars));
}

TEST(MessageBoxes, QueuedAnswersAreTakenInOrderAndRecorded) {
    PushMessageBoxAnswer(IDYES);
    PushMessageBoxAnswer(IDNO);
    EXPECT_EQ(IDYES, ShowMessageBox(nullptr, L"Do You want cancel finding ?", L"Ask confirm abort", MB_ICONQUESTION | MB_YESNO));
    EXPECT_EQ(IDNO, ShowMessageBox(nullptr, L"100% sure?", nullptr, MB_YESNO));
    EXPECT_EQ(L"100% sure?", LastMessageBox().text);   // never read as a format
    EXPECT_EQ(L"", LastMessageBox().caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO), LastMessageBox().type);
}

HDROP MakeDrop(const std::wstring& names) {   // names: each terminated, plus a final terminator
    HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(drop + 1, names.c_str(), names.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

TEST(DropAndShell, DroppedFilesAndTheShellSeam) {
    {
        DroppedFiles files(MakeDrop(Whole(L"C:\\a.exe\0D:\\b c.dll\0")));
        ASSERT_EQ(2u, files.Count());
        EXPECT_EQ(L"C:\\a.exe", files.File(0));
        EXPECT_EQ(L"D:\\b c.dll", files.File(1));
        EXPECT_EQ(L"", files.File(2));
    }
    DroppedFiles none(nullptr);
    EXPECT_EQ(0u, none.Count());

    std::wstring opened;
    SetShellOpenSeam([&](const wchar_t* target) { opened = target; return true; });
    EXPECT_TRUE(ShellOpen(L"http://example.org/x"));
    EXPECT_EQ(L"http://example.org/x", opened);
    EXPECT_FALSE(ShellOpen(L""));
    SetShellOpenSeam(nullptr);
}

// Tool tips: the thread's control learns the tool under the mouse from OnToolHitTest.
class TipWindow : public CWnd {
public:
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    void OnNeedText(NMHDR* header, LRESULT*) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        ++textRequests;
        info->lpszText = const_cast<wchar_t*>(L"Find prev");
    }
    int textRequests = 0;
    INT_PTR OnToolHitTest(POINT point, TOOLINFOW* info) const override {
        ++hitTests;
        if (point.x >= 100) return -1;   // the right half has no tip
        info->hwnd = m_hWnd;
        info->rect = RECT{0, 0, 100, 100};
        if (point.x < 50) {
            info->lpszText = static_cast<wchar_t*>(std::malloc(16 * sizeof(wchar_t)));
            std::wcscpy(info->lpszText, L"Find next");
            return 332;
        }
        return 331;   // text through TTN_NEEDTEXTW
    }
    mutable int hitTests = 0;
};

constexpr MessageEntry kTipWindowEntries[] = {
    OnNotifyRange(TTN_NEEDTEXTW, 0, 0xFFFF, Route<&TipWindow::OnNeedText>),
};
const MessageMap TipWindow::kMessageMap{&CWnd::kMessageMap, kTipWindowEntries};

int ToolCount(const CWnd& tip) { return static_cast<int>(tip.SendMessage(TTM_GETTOOLCOUNT)); }

TOOLINFOW FirstTool(const CWnd& tip, wchar_t* text) {
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.lpszText = text;
    tip.SendMessage(TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&ti));
    return ti;
}

void Relay(const CWnd& wnd, int x, int y) {
    POINT screen{x, y};
    wnd.ClientToScreen(&screen);
    MSG msg{wnd.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y), 0, screen};
    CWnd::WalkPreTranslateTree(&msg);
}

TEST(ToolTips, RelayAddsTheToolUnderTheMouseAndDropsItWhenThereIsNone) {
    TipWindow wnd;
    ASSERT_TRUE(wintest::CreateHidden(wnd));
    CWnd tip;
    ASSERT_TRUE(tip.CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             RECT{0, 0, 0, 0}, wnd.m_hWnd, 0));
    CWnd* previous = SetThreadToolTip(&tip);
    EXPECT_EQ(&tip, GetThreadToolTip());

    Relay(wnd, 10, 10);
    EXPECT_EQ(0, wnd.hitTests);   // tool tips not enabled on the window
    wnd.EnableToolTips();
    Relay(wnd, 10, 10);
    ASSERT_EQ(1, ToolCount(tip));
    wchar_t text[80] = {};
    TOOLINFOW ti = FirstTool(tip, text);
    EXPECT_EQ(332u, ti.uId);
    EXPECT_EQ(wnd.m_hWnd, ti.hwnd);
    EXPECT_STREQ(L"Find next", text);   // copied before the library freed its text

    Relay(wnd, 12, 10);                 // same tool: nothing changes
    EXPECT_EQ(1, ToolCount(tip));
    Relay(wnd, 60, 10);                 // another tool replaces it
    ASSERT_EQ(1, ToolCount(tip));
    EXPECT_EQ(331u, FirstTool(tip, text).uId);
    TOOLINFOW ask{};
    ask.cbSize = sizeof ask;
    ask.hwnd = wnd.m_hWnd;
    ask.uId = 331;
    ask.lpszText = text;
    text[0] = 0;
    tip.SendMessage(TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ask));
    EXPECT_EQ(1, wnd.textRequests);     // the text comes from TTN_NEEDTEXTW to the tool's window
    EXPECT_STREQ(L"Find prev", text);
    Relay(wnd, 150, 10);                // none
    EXPECT_EQ(0, ToolCount(tip));

    EXPECT_EQ(&tip, SetThreadToolTip(previous));
}

}  // namespace
