#include "classlib/PixelSurface.h"
#include "toolkit/GuiMetrics.h"
#include "toolkit/HexEditline.h"
#include "toolkit/InPlaceEdit.h"

#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

namespace {

// An editor without a window: 8 nibbles wide.
struct Editor : HexEditline {
    Editor() {
        cellWidth = 8;
        cellHeight = 14;
        visibleBytes = 4;
    }
    void Type(const wchar_t* text) { for (; *text; ++text) TypeChar(*text); }
};

TEST(HexEditline, SetTextKeepsDigitsAndWildcardPairs)
{
    struct Row { const wchar_t* in; const wchar_t* want; };
    const Row rows[] = {
        {L"4d5a?x??1", L"4D 5A ?? 10"},
        {L"", L""},
        {L"zz", L""},
        {L"4 D 5 A", L"4D 5A"},
        {L"4??", L"40 ??"},     // a wildcard starts a byte of its own
    };
    for (const Row& r : rows) {
        Editor e;
        e.SetText(r.in);
        EXPECT_EQ(e.GetText(), r.want) << r.in;
        EXPECT_EQ(e.caret, e.nibbles.Length());
    }
    Editor e;
    e.SetText(L"4d5a");
    EXPECT_EQ(e.selStart, 0);
    EXPECT_EQ(e.selEnd, 3);
    e.SetText(L"");
    EXPECT_FALSE(e.HasSelection());
}

TEST(HexEditline, SetTextStopsAtTheLimit)
{
    Editor e;
    e.maxNibbles = 4;
    e.SetText(L"112233");
    EXPECT_EQ(e.GetText(), L"11 22");
}

TEST(HexEditline, Typing)
{
    struct Row { const wchar_t* typed; const wchar_t* want; int caret; };
    const Row rows[] = {
        {L"?", L"", 0},              // a wildcard cannot start the pattern
        {L"4", L"40", 1},            // a digit makes a byte, the caret on its "0"
        {L"4d", L"4D", 2},
        {L"4d?", L"4D ??", 4},
        {L"4?", L"40", 1},           // not on a second nibble
        {L"4dz5", L"4D 50", 3},
        {L"\t\r", L"", 0},
    };
    for (const Row& r : rows) {
        Editor e;
        e.Type(r.typed);
        EXPECT_EQ(e.GetText(), r.want) << r.typed;
        EXPECT_EQ(e.caret, r.caret) << r.typed;
    }
}

TEST(HexEditline, TypingReplacesTheSelectionButNotPastTheLimit)
{
    Editor e;
    e.maxNibbles = 4;
    e.SetText(L"1122");
    e.TypeChar(L'7');             // the selection goes, then 7 makes a byte
    EXPECT_EQ(e.GetText(), L"70");
    e.TypeChar(L'7');
    e.TypeChar(L'8');
    EXPECT_EQ(e.GetText(), L"77 80");
    e.TypeChar(L'9');             // full, but the byte being typed still gets its second digit
    EXPECT_EQ(e.GetText(), L"77 89");
    e.TypeChar(L'1');             // no room for a new byte
    EXPECT_EQ(e.GetText(), L"77 89");
    e.SetText(L"1122");           // a full pattern, all selected: the selection still goes
    e.TypeChar(L'x');
    EXPECT_EQ(e.GetText(), L"");
    e.SetText(L"1122");
    e.TypeChar(0x16);             // the Ctrl+V character after a paste keeps the pasted pattern
    EXPECT_EQ(e.GetText(), L"11 22");
}

TEST(HexEditline, Keys)
{
    struct Row { const wchar_t* text; int caret; UINT key; const wchar_t* want; int wantCaret; };
    const Row rows[] = {
        {L"112233", 4, VK_BACK, L"11 33", 2},     // at a byte start: the byte before
        {L"112233", 3, VK_BACK, L"11 33", 2},     // on a second nibble: its byte
        {L"112233", 0, VK_BACK, L"11 22 33", 0},
        {L"112233", 0, VK_DELETE, L"11 22 33", 0},
        {L"112233", 3, VK_DELETE, L"11 33", 2},
        {L"112233", 6, VK_DELETE, L"11 22 33", 6},
        {L"112233", 3, VK_HOME, L"11 22 33", 0},
        {L"112233", 3, VK_END, L"11 22 33", 6},
        {L"112233", 0, VK_LEFT, L"11 22 33", 0},
        {L"112233", 6, VK_RIGHT, L"11 22 33", 6},
        {L"112233", 2, VK_RIGHT, L"11 22 33", 3},
    };
    for (const Row& r : rows) {
        Editor e;
        e.SetText(r.text);
        e.caret = r.caret;
        e.EnsureCaretVisible();
        e.PressKey(r.key, false, false);
        EXPECT_EQ(e.GetText(), r.want) << r.key << " at " << r.caret;
        EXPECT_EQ(e.caret, r.wantCaret) << r.key << " at " << r.caret;
    }
    Editor e;
    e.SetText(L"112233");
    e.PressKey(VK_BACK, false, false);    // the whole selection
    EXPECT_EQ(e.GetText(), L"");
}

TEST(HexEditline, CaretStaysOnThePage)
{
    Editor e;   // 4 bytes shown
    e.SetText(L"00112233445566778899");
    EXPECT_EQ(e.firstNibble, 12);         // caret at the end (20): 20 - 8, even
    e.PressKey(VK_HOME, false, false);
    EXPECT_EQ(e.firstNibble, 0);
    for (int i = 0; i < 9; ++i) e.PressKey(VK_RIGHT, false, false);
    EXPECT_EQ(e.caret, 9);
    EXPECT_EQ(e.firstNibble, 2);          // 9 + 1 - 8
    e.SetText(L"0011");
    EXPECT_EQ(e.firstNibble, 0);          // it fits
}

TEST(HexEditline, ClickPicksTheNibble)
{
    Editor e;    // byte width 20, first digit cell 8 wide
    e.SetText(L"00112233");
    struct Row { int x, caret; };
    const Row rows[] = {{0, 0}, {8, 0}, {9, 1}, {19, 1}, {20, 2}, {45, 4}, {50, 5}, {200, 8}};
    for (const Row& r : rows) {
        e.ClickAt(r.x);
        EXPECT_EQ(e.caret, r.caret) << r.x;
        EXPECT_FALSE(e.HasSelection());
    }
}

// A top-level window for the controls under test.
struct Host {
    Host() {
        hwnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    }
    ~Host() { ::DestroyWindow(hwnd); }
    HWND hwnd;
};

// Runs `action` on the temporary control (found by its id under `parent`) from a timer, while an
// editor's loop waits for messages. Leftovers of earlier tests are dropped first.
std::function<void(HWND)> g_action;
HWND g_parent = nullptr;
void CALLBACK RunAction(HWND hwnd, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(hwnd, id);
    HWND control = ::GetDlgItem(g_parent, kPopupEditId);
    if (!control) control = ::GetDlgItem(g_parent, kPopupComboId);
    if (g_action) g_action(control);
}
void Later(HWND parent, std::function<void(HWND)> action)
{
    wintest::DrainQueue();
    g_parent = parent;
    g_action = std::move(action);
    ::SetTimer(parent, 77, 10, RunAction);
}
void PostKeys(HWND w, const wchar_t* chars, UINT endKey)
{
    for (; *chars; ++chars) ::PostMessageW(w, WM_CHAR, *chars, 1);
    ::PostMessageW(w, WM_KEYDOWN, endKey, 1);
}

TEST(PopupEdit, EnterConfirmsEscapeCancels)
{
    Host host;
    StringW text(L"ab");
    Later(host.hwnd, [](HWND w) { PostKeys(w, L"12", VK_RETURN); });
    EXPECT_TRUE(PopupEdit(host.hwnd, RECT{10, 10, 200, 30}, nullptr, text, 0));
    EXPECT_EQ(text, L"12");           // the old text was selected and replaced
    Later(host.hwnd, [](HWND w) { PostKeys(w, L"9", VK_ESCAPE); });
    EXPECT_FALSE(PopupEdit(host.hwnd, RECT{10, 10, 200, 30}, nullptr, text, 0));
    EXPECT_EQ(text, L"9");            // written back all the same
    EXPECT_EQ(::GetDlgItem(host.hwnd, kPopupEditId), nullptr);
}

TEST(PopupEdit, HexStyleFiltersTypedCharacters)
{
    Host host;
    StringW text;
    Later(host.hwnd, [](HWND w) { PostKeys(w, L"1g2-Fa", VK_RETURN); });
    EXPECT_TRUE(PopupEdit(host.hwnd, RECT{10, 10, 200, 30}, nullptr, text, kPopupHexDigits));
    EXPECT_EQ(text, L"12Fa");
}

TEST(PopupEdit, ParentGoneEndsTheLoop)
{
    HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    StringW text(L"kept");
    Later(parent, [parent](HWND) { ::DestroyWindow(parent); ::PostMessageW(nullptr, WM_NULL, 0, 0); });
    EXPECT_FALSE(PopupEdit(parent, RECT{10, 10, 200, 30}, nullptr, text, 0));
    EXPECT_EQ(text, L"kept");
}

// WM_QUIT ends either loop as a cancel; the temporary control goes with it and the quit is put back.
TEST(PopupEdit, QuitEndsTheLoopAndLeavesNoEditorBehind)
{
    Host host;
    StringW text(L"kept");
    Later(host.hwnd, [](HWND) { ::PostQuitMessage(3); });
    EXPECT_FALSE(PopupEdit(host.hwnd, RECT{10, 10, 200, 30}, nullptr, text, 0));
    EXPECT_EQ(text, L"kept");
    EXPECT_EQ(::GetDlgItem(host.hwnd, kPopupEditId), nullptr);
    MSG msg;
    EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    Later(host.hwnd, [](HWND) { ::PostQuitMessage(4); });
    EXPECT_FALSE(PopupCombo(host.hwnd, RECT{10, 10, 200, 120}, nullptr, text, L"disable|enable", 0));
    EXPECT_EQ(::GetDlgItem(host.hwnd, kPopupComboId), nullptr);
    EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(PopupCombo, SelectsTheMatchOrTheFirstChoice)
{
    Host host;
    StringW text(L"nothing like it");
    Later(host.hwnd, [](HWND w) {
        EXPECT_EQ(::SendMessageW(w, CB_GETCURSEL, 0, 0), 0);
        ::PostMessageW(w, WM_KEYDOWN, VK_RETURN, 1);
    });
    EXPECT_TRUE(PopupCombo(host.hwnd, RECT{10, 10, 200, 120}, nullptr, text, L"disable|enable", 0));
    EXPECT_EQ(text, L"disable");
    // Unchanged: false.
    Later(host.hwnd, [](HWND w) { ::PostMessageW(w, WM_KEYDOWN, VK_RETURN, 1); });
    EXPECT_FALSE(PopupCombo(host.hwnd, RECT{10, 10, 200, 120}, nullptr, text, L"disable|enable", 0));
}

TEST(PopupCombo, EscapeAfterAChangeWritesButReturnsFalse)
{
    Host host;
    StringW text(L"disable");
    Later(host.hwnd, [](HWND w) {
        ::SendMessageW(w, CB_SETCURSEL, 1, 0);
        ::PostMessageW(w, WM_KEYDOWN, VK_ESCAPE, 1);
    });
    EXPECT_FALSE(PopupCombo(host.hwnd, RECT{10, 10, 200, 120}, nullptr, text, L"disable|enable", 0));
    EXPECT_EQ(text, L"enable");
}

// What the display shows of the editor: the selection only while it has the focus, and the byte cut by
// the right edge.
TEST(HexEditlineWindow, PaintsSelectionOnlyWithFocus)
{
    Host host;
    HexEditline edit;
    ASSERT_TRUE(edit.Create(host.hwnd, RECT{0, 0, 200, 20}, 5));
    EXPECT_EQ(edit.owner, host.hwnd);
    ASSERT_GT(edit.visibleBytes, 0);
    edit.SetText(L"4D5A");
    edit.SetFocus();
    PixelSurface shown;
    const RECT all{0, 0, 200, 20};
    ASSERT_TRUE(wintest::SettledDisplayPixels(wintest::ClientOnScreen(edit.m_hWnd), shown));
    EXPECT_GT(shown.CountColour(all, 0xFF9933), 40);
    ::SetFocus(host.hwnd);
    ASSERT_TRUE(wintest::SettledDisplayPixels(wintest::ClientOnScreen(edit.m_hWnd), shown));
    EXPECT_EQ(shown.CountColour(all, 0xFF9933), 0);
    EXPECT_EQ(edit.SendMessage(WM_GETDLGCODE), LRESULT(DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_WANTARROWS));

    // Half a byte more than fits: after Home its first digit still shows at the right edge.
    const int half = edit.visibleBytes * (2 * edit.cellWidth + 4) + edit.cellWidth + 2;
    edit.MoveWindow(0, 0, half, 20, true);
    edit.SetFocus();
    for (int i = 0; i < 2 * edit.visibleBytes + 4; ++i)
        edit.PostMessage(WM_CHAR, L'8', 1);
    edit.PostMessage(WM_KEYDOWN, VK_HOME, 1);
    ASSERT_TRUE(wintest::PumpUntil([&] { return edit.firstNibble == 0 && edit.caret == 0; }));
    ::SetFocus(host.hwnd);
    ASSERT_TRUE(wintest::SettledDisplayPixels(wintest::ClientOnScreen(edit.m_hWnd), shown));
    EXPECT_GT(shown.CountColour(RECT{half - edit.cellWidth - 2, 0, half, 20}, RGB(0, 0, 0)), 4);
}

UINT g_seenKey = 0;
WNDPROC g_staticProc = nullptr;
LRESULT CALLBACK RecordKeys(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_KEYDOWN) g_seenKey = static_cast<UINT>(w);
    return ::CallWindowProcW(g_staticProc, h, m, w, l);
}

TEST(HexEditlineWindow, PassesNavigationKeysToTheOwner)
{
    Host host;
    HexEditline edit;
    ASSERT_TRUE(edit.Create(host.hwnd, RECT{0, 0, 200, 20}, 5));
    HWND watcher = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, host.hwnd, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr);
    g_staticProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(watcher, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordKeys)));
    edit.owner = watcher;
    struct Row { UINT key; UINT seen; };
    const Row rows[] = {{VK_TAB, VK_TAB}, {VK_F5, VK_F5}, {VK_NEXT, VK_NEXT}, {VK_LEFT, 0}, {VK_HOME, 0}};
    for (const Row& r : rows) {
        g_seenKey = 0;
        edit.SendMessage(WM_KEYDOWN, r.key, 1);
        EXPECT_EQ(g_seenKey, r.seen) << r.key;
    }
}

// A byte is two digits or "??": a digit typed onto the second "?" makes a whole byte, never "?5".
TEST(HexEditlineWindow, ADigitInAWildcardMakesAWholeByte)
{
    Host host;
    HexEditline edit;
    ASSERT_TRUE(edit.Create(host.hwnd, RECT{0, 0, 200, 20}, 5));
    edit.SetText(L"4d??");
    edit.PostMessage(WM_KEYDOWN, VK_LEFT, 1);   // the caret on the second "?"
    edit.PostMessage(WM_CHAR, L'5', 1);
    wintest::DrainQueue();
    EXPECT_EQ(edit.GetText(), L"4D 05");
    EXPECT_EQ(edit.caret, 4);
    edit.PostMessage(WM_KEYDOWN, VK_END, 1);
    edit.PostMessage(WM_CHAR, L'?', 1);
    edit.PostMessage(WM_KEYDOWN, VK_LEFT, 1);
    edit.PostMessage(WM_CHAR, L'?', 1);         // no half wildcard either way
    wintest::DrainQueue();
    EXPECT_EQ(edit.GetText(), L"4D 05 ??");
}

TEST(HexCombobox, SwitchesBetweenTextAndHex)
{
    Host host;
    HexCombobox combo;
    ASSERT_TRUE(combo.CreateEx(0, WC_COMBOBOXW, L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, RECT{0, 0, 200, 120},
                               host.hwnd, 40));
    combo.MoveWindow(0, 0, 220, 120);   // the first WM_SIZE makes the hex editor
    ASSERT_NE(combo.hex.m_hWnd, nullptr);
    EXPECT_EQ(combo.hex.GetDlgCtrlID(), 40);
    combo.SetLimit(3);
    combo.SetText(L"4d 5a");
    EXPECT_EQ(combo.GetText(), L"4d 5a");
    combo.ShowHexEditor();
    EXPECT_TRUE(combo.HexShown());
    EXPECT_EQ(combo.GetText(), L"4D 5A");
    combo.SetText(L"11223344");
    EXPECT_EQ(combo.GetText(), L"11 22 33");   // 3 bytes at most
    combo.ShowTextEditor();
    EXPECT_FALSE(combo.HexShown());
    EXPECT_EQ(combo.GetText(), L"");
    combo.startEmpty = true;
    combo.SetText(L"abc");
    combo.ShowHexEditor();
    EXPECT_EQ(combo.GetText(), L"");
}

TEST(GuiMetrics, CellsAndExtents)
{
    CFont font;
    ASSERT_TRUE(CreateFontPoints(font, L"Courier New", 10, true, FW_BOLD));
    LOGFONTW lf{};
    font.GetLogFont(&lf);
    EXPECT_LT(lf.lfHeight, 0);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    SIZE sample = CharCellFromSample(font), metrics = CharCellFromMetrics(font);
    EXPECT_GT(sample.cx, 0);
    EXPECT_GT(metrics.cx, 0);
    EXPECT_EQ(sample.cy, metrics.cy);
    PixelSurface s(10, 10);
    SIZE one = TextExtentInFont(s, L"W", font), four = TextExtentInFont(s, L"WWWW", font);
    EXPECT_GT(four.cx, 3 * one.cx);
    EXPECT_EQ(one.cy, sample.cy);
}

}  // namespace
