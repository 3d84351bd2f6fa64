// Message maps: dispatch, chaining to the base table, commands, notifications, control colours,
// reflection, and the life of wrappers in the handle map.

#include "classlib/Controls.h"
#include "classlib/CWnd.h"
#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using wintest::Log;

namespace {

// Private messages of these tests.
constexpr UINT kMsgFirst = WM_USER + 1;
constexpr UINT kMsgSecond = WM_USER + 2;
constexpr UINT kMsgUnmapped = WM_USER + 3;

class BaseWindow : public CWnd {
public:
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    LRESULT OnOptions(WPARAM w, LPARAM) { Log().push_back("base first " + std::to_string(w)); return 0; }
    LRESULT OnLayout(WPARAM, LPARAM) { Log().push_back("base second"); return 1; }
    void OnOpen() { Log().push_back("base 301"); }
    void OnSize(UINT, int cx, int cy) override { Log().push_back("size " + std::to_string(cx) + "x" + std::to_string(cy)); }
};

constexpr MessageEntry kBaseEntries[] = {
    Cracked(WM_SIZE),
    OnMessage(kMsgFirst, Route<&BaseWindow::OnOptions>),
    OnMessage(kMsgSecond, Route<&BaseWindow::OnLayout>),
    OnCommand(301, Route<&BaseWindow::OnOpen>),
};
const MessageMap BaseWindow::kMessageMap{&CWnd::kMessageMap, kBaseEntries};

class DerivedWindow : public BaseWindow {
public:
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    LRESULT OnOptions(WPARAM w, LPARAM) { Log().push_back("derived first " + std::to_string(w)); return 0; }
    void OnMaker(UINT id) { Log().push_back("maker " + std::to_string(id)); }
    void OnStatusClick() { Log().push_back("status 213"); }
    void OnPickFile() { Log().push_back("file selchange"); }
    void OnDividerDown(NMHDR* h, LRESULT* result) { Log().push_back("divider " + std::to_string(h->code)); *result = 77; }
    HBRUSH OnCtlColor(HDC, HWND, UINT type) override { Log().push_back("ctlcolor " + std::to_string(type)); return brush; }
    HBRUSH brush = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
};

constexpr MessageEntry kDerivedEntries[] = {
    OnMessage(kMsgFirst, Route<&DerivedWindow::OnOptions>),   // hides the base's row
    OnCommandRange(351, 357, Route<&DerivedWindow::OnMaker>),
    OnControl(kAnyCode, 213, Route<&DerivedWindow::OnStatusClick>),
    OnControl(CBN_SELCHANGE, 11, Route<&DerivedWindow::OnPickFile>),
    OnNotify(513, 2, Route<&DerivedWindow::OnDividerDown>),
    Cracked(kCtlColor),
};
const MessageMap DerivedWindow::kMessageMap{&BaseWindow::kMessageMap, kDerivedEntries};

struct DispatchRow {
    const char* what;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    const char* logged;   // "" when no handler may run
};

TEST(MessageMap, DispatchesAlongTheChainAndFallsBackToTheDefault) {
    DerivedWindow wnd;
    ASSERT_TRUE(wintest::CreateHidden(wnd));
    const DispatchRow rows[] = {
        {"own row", kMsgFirst, 1, 0, 0, "derived first 1"},
        {"base row", kMsgSecond, 0, 0, 1, "base second"},
        {"base command", WM_COMMAND, 301, 0, 0, "base 301"},
        {"range start", WM_COMMAND, 351, 0, 0, "maker 351"},
        {"range end", WM_COMMAND, 357, 0, 0, "maker 357"},
        {"past the range", WM_COMMAND, 358, 0, 0, ""},
        {"any code", WM_COMMAND, MAKEWPARAM(213, 4), reinterpret_cast<LPARAM>(wnd.m_hWnd), 0, "status 213"},
        {"code and id", WM_COMMAND, MAKEWPARAM(11, CBN_SELCHANGE), reinterpret_cast<LPARAM>(wnd.m_hWnd), 0, "file selchange"},
        {"other code", WM_COMMAND, MAKEWPARAM(11, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(wnd.m_hWnd), 0, ""},
        {"private, unmapped", kMsgUnmapped, 0, 0, 0, ""},
    };
    for (const DispatchRow& row : rows) {
        Log().clear();
        EXPECT_EQ(row.result, ::SendMessageW(wnd.m_hWnd, row.message, row.wParam, row.lParam)) << row.what;
        std::string logged = Log().empty() ? "" : Log().front();
        EXPECT_EQ(row.logged, logged) << row.what;
        EXPECT_LE(Log().size(), 1u) << row.what;
    }
    // A message no table names goes to the default procedure.
    ::SetWindowTextW(wnd.m_hWnd, L"caption");
    EXPECT_EQ(L"caption", wnd.GetWindowText());
}

TEST(MessageMap, FindWalksTheBaseTables) {
    const MessageMap& map = DerivedWindow::kMessageMap;
    EXPECT_EQ(&kDerivedEntries[0], map.Find(kMsgFirst, 0, 0));
    EXPECT_EQ(&kBaseEntries[3], map.Find(WM_COMMAND, 0, 301));
    EXPECT_EQ(nullptr, map.Find(WM_COMMAND, 1, 301));   // an accelerator's code is not a menu command
    EXPECT_EQ(nullptr, map.Find(WM_PAINT, 0, 0));
    EXPECT_EQ(nullptr, BaseWindow::kMessageMap.Find(WM_COMMAND, 0, 351));
}

TEST(MessageMap, CrackedMessagesReachTheVirtualMember) {
    DerivedWindow wnd;
    ASSERT_TRUE(wintest::CreateHidden(wnd));
    Log().clear();
    ::SendMessageW(wnd.m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 45));
    ASSERT_EQ(1u, Log().size());
    EXPECT_EQ("size 120x45", Log()[0]);
}

TEST(MessageMap, NotifyRowsStoreTheirResult) {
    DerivedWindow wnd;
    ASSERT_TRUE(wintest::CreateHidden(wnd));
    NMHDR header{wnd.m_hWnd, 2, 513};
    Log().clear();
    EXPECT_EQ(77, ::SendMessageW(wnd.m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header)));
    EXPECT_EQ(std::vector<std::string>{"divider 513"}, Log());
    header.idFrom = 1;   // same code from another id: not this row
    Log().clear();
    EXPECT_EQ(0, ::SendMessageW(wnd.m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header)));
    EXPECT_TRUE(Log().empty());
}

// A combo box wrapper that takes some of its own notifications and declines others.
class ReflectingCombo : public CComboBox {
public:
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    void OnOwnSelChange() { Log().push_back("combo selchange"); }
    bool OnOwnSetFocus() { Log().push_back("combo setfocus, declined"); return false; }
    HBRUSH OnOwnColour(HDC, UINT) { Log().push_back("combo colour"); return ownBrush; }
    HBRUSH ownBrush = nullptr;
};
constexpr MessageEntry kReflectingComboEntries[] = {
    OnReflectedControl(CBN_SELCHANGE, Route<&ReflectingCombo::OnOwnSelChange>),
    OnReflectedControl(CBN_SETFOCUS, Route<&ReflectingCombo::OnOwnSetFocus>),
    OnReflectedCtlColor(Route<&ReflectingCombo::OnOwnColour>),
};
const MessageMap ReflectingCombo::kMessageMap{&CComboBox::kMessageMap, kReflectingComboEntries};

class ComboParent : public DerivedWindow {
public:
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    void OnFocus() { Log().push_back("parent setfocus"); }
};
constexpr MessageEntry kComboParentEntries[] = {
    OnControl(CBN_SETFOCUS, 11, Route<&ComboParent::OnFocus>),
};
const MessageMap ComboParent::kMessageMap{&DerivedWindow::kMessageMap, kComboParentEntries};

TEST(MessageMap, ReflectsControlNotificationsToTheControlFirst) {
    ComboParent parent;
    ASSERT_TRUE(wintest::CreateHidden(parent));
    ReflectingCombo combo;
    ASSERT_TRUE(combo.Create(WC_COMBOBOXW, L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, RECT{0, 0, 100, 120}, &parent, 11));
    auto lp = reinterpret_cast<LPARAM>(combo.m_hWnd);
    struct Row { WPARAM wParam; std::vector<std::string> logged; } rows[] = {
        {MAKEWPARAM(11, CBN_SELCHANGE), {"combo selchange"}},                            // taken by the control
        {MAKEWPARAM(11, CBN_SETFOCUS), {"combo setfocus, declined", "parent setfocus"}},   // declined: the parent's turn
        {MAKEWPARAM(11, CBN_EDITCHANGE), {}},
    };
    for (const Row& row : rows) {
        Log().clear();
        ::SendMessageW(parent.m_hWnd, WM_COMMAND, row.wParam, lp);
        EXPECT_EQ(row.logged, Log()) << HIWORD(row.wParam);
    }
    // Control colours: the control's own brush wins; without one the parent answers.
    HDC dc = ::GetDC(combo.m_hWnd);
    combo.ownBrush = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    Log().clear();
    EXPECT_EQ(reinterpret_cast<LRESULT>(combo.ownBrush),
              ::SendMessageW(parent.m_hWnd, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), lp));
    EXPECT_EQ(std::vector<std::string>{"combo colour"}, Log());
    combo.ownBrush = nullptr;
    Log().clear();
    EXPECT_EQ(reinterpret_cast<LRESULT>(parent.brush),
              ::SendMessageW(parent.m_hWnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), lp));
    EXPECT_EQ((std::vector<std::string>{"combo colour", "ctlcolor 1"}), Log());   // CTLCOLOR_EDIT
    ::ReleaseDC(combo.m_hWnd, dc);
}

// Records the first message it sees and how it dies.
class LifeWindow : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM w, LPARAM l) override {
        if (!firstMessage) firstMessage = message;
        if (message == WM_CREATE) foundInCreate = FromHandle(m_hWnd) == this;
        return CWnd::WindowProc(message, w, l);
    }
    void PostNcDestroy() override { ++postNcDestroy; }
    UINT firstMessage = 0;
    bool foundInCreate = false;
    int postNcDestroy = 0;
};

TEST(WindowLife, MappedFromTheFirstMessageAndDetachedOnNcDestroy) {
    LifeWindow wnd;
    ASSERT_TRUE(wintest::CreateHidden(wnd));
    HWND hwnd = wnd.m_hWnd;
    // An overlapped window's first message comes before WM_NCCREATE; the wrapper sees it all the same.
    EXPECT_EQ(static_cast<UINT>(WM_GETMINMAXINFO), wnd.firstMessage);
    EXPECT_TRUE(wnd.foundInCreate);
    EXPECT_EQ(&wnd, CWnd::FromHandle(hwnd));
    ::DestroyWindow(hwnd);
    EXPECT_EQ(nullptr, wnd.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandle(hwnd));
    EXPECT_EQ(1, wnd.postNcDestroy);
}

TEST(WindowLife, DestructorDestroysALiveWindowAndEmbeddedChildrenSurvive) {
    HWND parentHwnd = nullptr, childHwnd = nullptr;
    LifeWindow child;   // outlives its parent window, as an embedded member would
    {
        LifeWindow parent;
        ASSERT_TRUE(wintest::CreateHidden(parent));
        ASSERT_TRUE(wintest::CreateChild(child, parent, 5));
        parentHwnd = parent.m_hWnd;
        childHwnd = child.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(parentHwnd));
    EXPECT_FALSE(::IsWindow(childHwnd));
    EXPECT_EQ(nullptr, child.m_hWnd);     // let go, not deleted
    EXPECT_EQ(1, child.postNcDestroy);
}

// An EDIT control of our own making: its procedure still does the typing.
class CountingEdit : public CEdit {
public:
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    void OnChar(UINT ch, UINT, UINT) override { ++chars; if (ch != 'x') Default(); }
    int chars = 0;
};
constexpr MessageEntry kCountingEditEntries[] = {Cracked(WM_CHAR)};
const MessageMap CountingEdit::kMessageMap{&CEdit::kMessageMap, kCountingEditEntries};

TEST(WindowLife, SystemClassesAreSubclassedAndKeepTheirBehaviour) {
    BaseWindow parent;
    ASSERT_TRUE(wintest::CreateHidden(parent));
    CountingEdit edit;
    ASSERT_TRUE(edit.Create(L"EDIT", L"", WS_CHILD | WS_VISIBLE, RECT{0, 0, 100, 20}, &parent, 12));
    for (wchar_t ch : std::wstring(L"axb")) ::SendMessageW(edit.m_hWnd, WM_CHAR, ch, 1);
    EXPECT_EQ(3, edit.chars);
    EXPECT_EQ(L"ab", edit.GetWindowText());   // 'x' swallowed by our handler
    // Subclassing an existing control, then giving it back.
    HWND raw = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 30, 100, 20, parent.m_hWnd,
                                 reinterpret_cast<HMENU>(13), nullptr, nullptr);
    CountingEdit taken;
    ASSERT_TRUE(taken.SubclassDlgItem(13, &parent));
    EXPECT_FALSE(CountingEdit().SubclassWindow(raw));   // one wrapper per window
    ::SendMessageW(raw, WM_CHAR, 'q', 1);
    EXPECT_EQ(1, taken.chars);
    EXPECT_EQ(raw, taken.UnsubclassWindow());
    ::SendMessageW(raw, WM_CHAR, 'r', 1);
    EXPECT_EQ(1, taken.chars);
    EXPECT_EQ(L"qr", WindowText(raw));
}

TEST(WindowClasses, RegisteredOncePerSetOfParameters) {
    HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    const wchar_t* a = RegisterWindowClass(CS_DBLCLKS, arrow);
    const wchar_t* b = RegisterWindowClass(CS_DBLCLKS, arrow);
    const wchar_t* c = RegisterWindowClass(0x8B, arrow, static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)));
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, c);
    EXPECT_EQ(a, b);
    EXPECT_NE(std::wstring(a), std::wstring(c));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    ASSERT_TRUE(::GetClassInfoExW(::GetModuleHandleW(nullptr), c, &wc));
    EXPECT_EQ(0x8Bu, wc.style);
}

}  // namespace
