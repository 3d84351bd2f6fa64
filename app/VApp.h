#pragma once
// The main window: the start screen while no file is open, else the file tabber. It holds the menu and
// the tool tip, opens the command-line files, runs the Options command and passes option sets and
// window moves down to every window.

#include "app/AppMessages.h"
#include "app/StartLogPane.h"
#include "classlib/CWnd.h"
#include "classlib/Menu.h"
#include "toolkit/BPane.h"
#include "toolkit/ToolTip.h"

#include <memory>

class FileTabber;
class Options;

// Child ids.
constexpr int kIdStartScreen = 100;
constexpr int kIdStartPane = 101;
constexpr int kIdFileTabber = 200;
constexpr int kIdStartLog = 232;
constexpr UINT kCmdNothing = 991;

// The start screen's background and drop target.
class StartPane : public BPane {
public:
    StartPane() : BPane(0) {}
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    int OnCreate(CREATESTRUCTW* cs) override;
    void OnDropFiles(HDROP drop) override;
    void OnLButtonDblClk(UINT flags, POINT point) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnPaint() override;
};

class StartScreen : public CWnd {
public:
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    int OnCreate(CREATESTRUCTW* cs) override;
    void OnWindowPosChanged(WINDOWPOS* pos) override;

    StartPane pane;
    StartLogPane log;
};

class VApp : public CWnd {
public:
    VApp();
    ~VApp() override;
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // Creates the window (hidden) at a place, with the class registered by the application.
    bool CreateMain(const wchar_t* className, const RECT& place);

    void ShowTabs();
    void ShowStartScreen();
    // Closes every file without asking (the application is going).
    void CloseAllFiles();
    // The pane that gets the focus back when the main window is activated; null forgets it.
    void SetFocusPane(HWND pane) { focusPane_ = pane; }
    HWND FocusPane() const { return focusPane_; }

    bool OnCmdMsg(UINT id, UINT code) override;
    int OnCreate(CREATESTRUCTW* cs) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnGetMinMaxInfo(MINMAXINFO* info) override;
    void OnMove(int x, int y) override;
    void OnSetFocus(HWND previous) override;
    void OnSysCommand(UINT command, LPARAM lParam) override;
    void OnIdleUpdateCmdUI() override;
    // The deepest visible window under the pointer gives the tip.
    INT_PTR OnToolHitTest(POINT point, TOOLINFOW* info) const override;
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnStartup(WPARAM, LPARAM);
    LRESULT OnOptionsMessage(WPARAM wParam, LPARAM lParam);
    void OnOptions();
    void OnNothing() {}

    // The option set the Options command edits: the current file's copy, else the application's.
    Options& OptionsToEdit();
    // What the Options command does with the dialog's result on the edited set.
    void ApplyOptionsResult(Options& edited, INT_PTR result);

    CMenu menu;
    HACCEL accelerators[2] = {nullptr, nullptr};
    mutable ToolTip toolTip;   // its hit test also gives the control the tip window's font
    std::unique_ptr<StartScreen> startScreen;
    std::unique_ptr<FileTabber> tabber;

private:
    void FitChild(CWnd& child);
    HWND focusPane_ = nullptr;
};

VApp& MainWnd();
