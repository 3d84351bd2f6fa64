// Command routing down a chain, idle updates, the pre-translate walk and sending to descendants.

#include "classlib/Application.h"
#include "classlib/CWnd.h"
#include "tests/ModalWatch.h"
#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using wintest::Log;

namespace {

// Private messages of these tests.
constexpr UINT kMsgStart = WM_USER + 1;
constexpr UINT kMsgTree = WM_USER + 2;
constexpr UINT kMsgPrivate = WM_USER + 3;

// A chain like the program's: main window -> tabber -> file window -> disassembly pane.
class Level : public CWnd {
public:
    explicit Level(const char* name) : name_(name) {}
    bool OnCmdMsg(UINT id, UINT code) override {
        if (CWnd::OnCmdMsg(id, code)) return true;
        return next_ && next_->OnCmdMsg(id, code);
    }
    void Handle(UINT id) { Log().push_back(name_ + " " + std::to_string(id)); }
    Level* next_ = nullptr;
    std::string name_;
};

class MainLevel : public Level {
public:
    MainLevel() : Level("main") {}
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
};
constexpr MessageEntry kMainLevelEntries[] = {OnCommand(310, Route<&Level::Handle>), OnCommand(991, Route<&Level::Handle>)};
const MessageMap MainLevel::kMessageMap{&CWnd::kMessageMap, kMainLevelEntries};

class TabberLevel : public Level {
public:
    TabberLevel() : Level("tabber") {}
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
};
constexpr MessageEntry kTabberLevelEntries[] = {OnCommand(301, Route<&Level::Handle>)};
const MessageMap TabberLevel::kMessageMap{&CWnd::kMessageMap, kTabberLevelEntries};

class FileLevel : public Level {
public:
    FileLevel() : Level("file") {}
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
};
constexpr MessageEntry kFileLevelEntries[] = {OnCommand(301, Route<&Level::Handle>), OnCommand(302, Route<&Level::Handle>)};
const MessageMap FileLevel::kMessageMap{&CWnd::kMessageMap, kFileLevelEntries};

class PaneLevel : public Level {
public:
    PaneLevel() : Level("pane") {}
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
};
constexpr MessageEntry kPaneLevelEntries[] = {OnCommandRange(351, 372, Route<&Level::Handle>)};
const MessageMap PaneLevel::kMessageMap{&CWnd::kMessageMap, kPaneLevelEntries};

TEST(CommandRouting, EachLevelTriesItsOwnMapFirstAndUnhandledCommandsAreDropped) {
    MainLevel main;
    TabberLevel tabber;
    FileLevel file;
    PaneLevel pane;
    ASSERT_TRUE(wintest::CreateHidden(main));
    ASSERT_TRUE(wintest::CreateChild(tabber, main, 200));
    ASSERT_TRUE(wintest::CreateChild(file, tabber, 1));
    ASSERT_TRUE(wintest::CreateChild(pane, file, 2));
    main.next_ = &tabber;
    tabber.next_ = &file;
    file.next_ = &pane;
    struct Row { CWnd* entry; UINT id; const char* handledBy; } rows[] = {
        {&main, 310, "main 310"},
        {&main, 301, "tabber 301"},   // the menu's Open is the tabber's
        {&file, 301, "file 301"},     // the button's 301 enters at the file window: close
        {&main, 302, "file 302"},
        {&main, 355, "pane 355"},
        {&main, 999, ""},              // nobody: dropped
        {&pane, 310, ""},              // commands never travel up
    };
    for (const Row& row : rows) {
        Log().clear();
        EXPECT_EQ(0, ::SendMessageW(row.entry->m_hWnd, WM_COMMAND, row.id, 0)) << row.id;
        EXPECT_EQ(row.handledBy, Log().empty() ? std::string() : Log()[0]) << row.id;
        EXPECT_LE(Log().size(), 1u);
    }
}

// Idle updates: the menu's Open is enabled only while no file is open, Close only while one is.
class IdleWindow : public CWnd {
public:
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    void OnIdleUpdateCmdUI() override {
        ++idleUpdates;
        CmdUI ui(::GetMenu(m_hWnd), m_hWnd);
        ui.Enable(301, !fileOpen);
        ui.Enable(302, fileOpen);
        ui.SetCheck(220, sideShown);
        ui.SetPressed(230, fileOpen);
    }
    void OnTimer(UINT_PTR) override {
        if (++ticks == 3) DestroyWindow();
    }
    LRESULT OnStart(WPARAM, LPARAM) { SetTimer(1, 5); return 0; }
    bool fileOpen = false;
    bool sideShown = false;
    int idleUpdates = 0;
    int ticks = 0;
};
constexpr MessageEntry kIdleWindowEntries[] = {
    Cracked(WM_IDLEUPDATECMDUI), Cracked(WM_TIMER), OnMessage(kMsgStart, Route<&IdleWindow::OnStart>)};
const MessageMap IdleWindow::kMessageMap{&CWnd::kMessageMap, kIdleWindowEntries};

class IdleChild : public CWnd {
public:
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    void OnIdleUpdateCmdUI() override { ++idleUpdates; }
    int idleUpdates = 0;
};
constexpr MessageEntry kIdleChildEntries[] = {Cracked(WM_IDLEUPDATECMDUI)};
const MessageMap IdleChild::kMessageMap{&CWnd::kMessageMap, kIdleChildEntries};

int gRawIdleMessages = 0;
LRESULT CALLBACK RawProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_IDLEUPDATECMDUI) ++gRawIdleMessages;
    if (message == kMsgTree) Log().push_back("raw");
    return ::DefWindowProcW(hwnd, message, w, l);
}
const wchar_t* RawClass() {
    static const wchar_t* name = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = RawProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"RawTestClass";
        ::RegisterClassW(&wc);
        return L"RawTestClass";
    }();
    return name;
}

UINT MenuState(HWND hwnd, UINT id) { return ::GetMenuState(::GetMenu(hwnd), id, MF_BYCOMMAND); }

TEST(IdleUpdate, EnablesAndChecksCommandsOfTheMainWindowAndWrappedDescendants) {
    Application app;
    IdleWindow main;
    HMENU menu = ::CreateMenu();
    ::AppendMenuW(menu, MF_STRING, 301, L"&Open...");
    ::AppendMenuW(menu, MF_STRING, 302, L"&Close");
    ASSERT_TRUE(main.CreateEx(0, nullptr, L"idle", WS_OVERLAPPEDWINDOW, RECT{0, 0, 300, 200}, nullptr,
                              reinterpret_cast<UINT_PTR>(menu)));
    HWND side = ::CreateWindowExW(0, L"BUTTON", L"side", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 50, 20, main.m_hWnd,
                                  reinterpret_cast<HMENU>(220), nullptr, nullptr);
    HWND low = ::CreateWindowExW(0, L"BUTTON", L"low", WS_CHILD | BS_PUSHBUTTON, 0, 20, 50, 20, main.m_hWnd,
                                 reinterpret_cast<HMENU>(230), nullptr, nullptr);
    IdleChild child;
    ASSERT_TRUE(wintest::CreateChild(child, main, 5));
    HWND raw = ::CreateWindowExW(0, RawClass(), L"", WS_CHILD, 0, 0, 10, 10, child.m_hWnd, nullptr, nullptr, nullptr);
    app.SetMainWindow(&main);
    gRawIdleMessages = 0;

    app.RunIdle();
    EXPECT_EQ(0u, MenuState(main.m_hWnd, 301) & MF_GRAYED);
    EXPECT_NE(0u, MenuState(main.m_hWnd, 302) & MF_GRAYED);
    EXPECT_EQ(BST_UNCHECKED, ::SendMessageW(side, BM_GETCHECK, 0, 0));
    main.fileOpen = true;
    main.sideShown = true;
    app.RunIdle();
    EXPECT_NE(0u, MenuState(main.m_hWnd, 301) & MF_GRAYED);
    EXPECT_EQ(0u, MenuState(main.m_hWnd, 302) & MF_GRAYED);
    EXPECT_EQ(BST_CHECKED, ::SendMessageW(side, BM_GETCHECK, 0, 0));
    EXPECT_NE(0, ::SendMessageW(low, BM_GETSTATE, 0, 0) & BST_PUSHED);
    EXPECT_EQ(2, main.idleUpdates);
    EXPECT_EQ(2, child.idleUpdates);
    EXPECT_EQ(0, gRawIdleMessages);   // windows without a wrapper never see it
    ::DestroyWindow(raw);
    app.SetMainWindow(nullptr);
}

TEST(IdleUpdate, PaintTimerAndAStillMouseDoNotRearmIdle) {
    Application app;
    struct Row { const char* what; UINT message; POINT pt; bool rearms; } rows[] = {
        {"key", WM_KEYDOWN, {0, 0}, true},
        {"paint", WM_PAINT, {0, 0}, false},
        {"timer", WM_TIMER, {0, 0}, false},
        {"caret blink", 0x0118, {0, 0}, false},
        {"first move", WM_MOUSEMOVE, {10, 10}, true},
        {"still mouse", WM_MOUSEMOVE, {10, 10}, false},
        {"moved", WM_MOUSEMOVE, {11, 10}, true},
        {"private", kMsgPrivate, {0, 0}, true},
    };
    for (const Row& row : rows) {
        MSG msg{};
        msg.message = row.message;
        msg.pt = row.pt;
        EXPECT_EQ(row.rearms, app.IsIdleMessage(msg)) << row.what;
    }
}

// The loop itself: one idle pass after the posted start message, none for the timer ticks that
// follow; destroying the main window ends the loop with WM_QUIT.
class LoopApp : public Application {
public:
    bool InitInstance() override {
        if (!wintest::CreateHidden(main)) return false;
        SetMainWindow(&main);
        main.PostMessage(kMsgStart);
        return true;
    }
    int ExitInstance(int quitCode) override { exitSeen = true; return quitCode + 40; }
    IdleWindow main;
    bool exitSeen = false;
};

TEST(IdleUpdate, TheMessageLoopRunsIdleOnceAfterARealMessageAndEndsWithTheMainWindow) {
    LoopApp app;
    modalwatch::LoopBound bound(L"the application's loop to end with its main window");
    EXPECT_EQ(40, app.Run(nullptr, SW_HIDE));
    EXPECT_TRUE(app.exitSeen);
    EXPECT_EQ(3, app.main.ticks);
    EXPECT_EQ(1, app.main.idleUpdates);
    EXPECT_EQ(nullptr, app.MainWindow());
}

class RefusingApp : public Application {
public:
    bool InitInstance() override {
        wintest::CreateHidden(main);
        SetMainWindow(&main);
        return false;   // like a bad command line
    }
    int ExitInstance(int quitCode) override { return quitCode + 5; }
    CWnd main;
};

TEST(IdleUpdate, ARefusedStartRunsNoLoopButStillExits) {
    RefusingApp app;
    EXPECT_EQ(5, app.Run(nullptr, SW_SHOWNORMAL));
    EXPECT_EQ(nullptr, app.main.m_hWnd);   // the main window made so far is gone
    EXPECT_EQ(SW_SHOWNORMAL, app.ShowCommand());
    EXPECT_EQ(::GetModuleHandleW(nullptr), app.Instance());
    MSG msg;
    EXPECT_FALSE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));   // no stray quit left behind
}

// Pre-translate walk: from the message's window up to its top-level window, innermost first.
class WalkWindow : public CWnd {
public:
    explicit WalkWindow(const char* name, bool consume = false) : name_(name), consume_(consume) {}
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN) Log().push_back("pre " + name_);
        return consume_;
    }
    void OnKeyDown(UINT, UINT, UINT) override { Log().push_back("key " + name_); }
    std::string name_;
    bool consume_;
};
constexpr MessageEntry kWalkWindowEntries[] = {Cracked(WM_KEYDOWN)};
const MessageMap WalkWindow::kMessageMap{&CWnd::kMessageMap, kWalkWindowEntries};

void PumpOne(Application& app, HWND target) {
    ::PostMessageW(target, WM_KEYDOWN, VK_F5, 1);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_KEYDOWN) app.PumpMessage(msg);
        else ::DispatchMessageW(&msg);
    }
}

TEST(PreTranslate, WalksFromTheWindowUpToItsTopLevelWindowThenDispatches) {
    Application app;
    WalkWindow main("main"), pane("pane"), inner("inner");
    WalkWindow popup("popup");
    ASSERT_TRUE(wintest::CreateHidden(main));
    ASSERT_TRUE(wintest::CreateChild(pane, main, 1));
    ASSERT_TRUE(wintest::CreateChild(inner, pane, 2));
    ASSERT_TRUE(popup.CreateEx(0, nullptr, L"", WS_POPUP, RECT{0, 0, 10, 10}, main.m_hWnd, 0));
    HWND unwrapped = ::CreateWindowExW(0, RawClass(), L"", WS_CHILD, 0, 0, 5, 5, inner.m_hWnd, nullptr, nullptr, nullptr);

    Log().clear();
    PumpOne(app, inner.m_hWnd);
    EXPECT_EQ((std::vector<std::string>{"pre inner", "pre pane", "pre main", "key inner"}), Log());

    Log().clear();
    PumpOne(app, unwrapped);   // a window without a wrapper is passed over, its parents are not
    EXPECT_EQ((std::vector<std::string>{"pre inner", "pre pane", "pre main"}), Log());

    pane.consume_ = true;
    Log().clear();
    PumpOne(app, inner.m_hWnd);
    EXPECT_EQ((std::vector<std::string>{"pre inner", "pre pane"}), Log());

    Log().clear();
    PumpOne(app, popup.m_hWnd);   // an owned pop-up is its own top: the owner is not asked
    EXPECT_EQ((std::vector<std::string>{"pre popup", "key popup"}), Log());
}

// Sending to descendants.
class Recorder : public CWnd {
public:
    explicit Recorder(const char* name) : name_(name) {}
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    LRESULT OnOptions(WPARAM, LPARAM) { Log().push_back(name_); return 0; }
    std::string name_;
};
constexpr MessageEntry kRecorderEntries[] = {OnMessage(kMsgTree, Route<&Recorder::OnOptions>)};
const MessageMap Recorder::kMessageMap{&CWnd::kMessageMap, kRecorderEntries};

TEST(SendToDescendants, DepthFirstInChildOrderWithTheWrappedOnlyFilter) {
    Recorder root("root"), a("a"), a1a("a1a"), a2("a2"), b("b");
    ASSERT_TRUE(wintest::CreateHidden(root));
    ASSERT_TRUE(wintest::CreateChild(a, root, 1));
    HWND a1 = ::CreateWindowExW(0, RawClass(), L"", WS_CHILD, 0, 0, 5, 5, a.m_hWnd, nullptr, nullptr, nullptr);
    Recorder* a1aPtr = &a1a;
    ASSERT_TRUE(a1aPtr->CreateEx(0, nullptr, L"", WS_CHILD, RECT{0, 0, 5, 5}, a1, 3));
    ASSERT_TRUE(wintest::CreateChild(a2, a, 4));
    ASSERT_TRUE(wintest::CreateChild(b, root, 2));
    // Child order is z-order: a new child goes to the top, so insert them back in creation order.
    ::SetWindowPos(b.m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowPos(a2.m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    struct Row { const char* what; bool deep; bool onlyWrapped; bool withRoot; std::vector<std::string> order; } rows[] = {
        {"all", true, false, false, {"a", "raw", "a1a", "a2", "b"}},
        {"wrapped only", true, true, false, {"a", "a1a", "a2", "b"}},
        {"children only", false, false, false, {"a", "b"}},
        {"window and tree", true, true, true, {"root", "a", "a1a", "a2", "b"}},
    };
    for (const Row& row : rows) {
        Log().clear();
        if (row.withRoot) SendToWindowTree(root.m_hWnd, kMsgTree, 1, 0, row.onlyWrapped);
        else root.SendMessageToDescendants(kMsgTree, 1, 0, row.deep, row.onlyWrapped);
        EXPECT_EQ(row.order, Log()) << row.what;
    }
}

}  // namespace
