#include "app/VApp.h"

#include "app/CApp.h"
#include "app/FilePane.h"
#include "app/FileTabber.h"
#include "app/DProperty.h"
#include "app/resources/resource.h"
#include "classlib/CommonDialogs.h"
#include "classlib/DC.h"
#include "classlib/ModalLoop.h"
#include "document/FileParseThread.h"
#include "options/BColorTheme.h"
#include "toolkit/ImageLists.h"

namespace {

constexpr int kMinTrackWidth = 800;
constexpr int kMinTrackHeight = 600;
constexpr int kStartLogPercent = 35;

Options* OptionsOf(LPARAM lParam) { return reinterpret_cast<Options*>(lParam); }

}  // namespace

VApp& MainWnd() { return App().mainWindow; }

// ---- the start screen

constexpr MessageEntry kStartPaneEntries[] = {
    Cracked(WM_DROPFILES),
    Cracked(WM_LBUTTONDBLCLK),
    Cracked(WM_ERASEBKGND),
    Cracked(WM_PAINT),
};
const MessageMap StartPane::kMessageMap{&BPane::kMessageMap, kStartPaneEntries};

int StartPane::OnCreate(CREATESTRUCTW* cs) {
    if (BPane::OnCreate(cs) == -1)
        return -1;
    AcceptDroppedFiles(m_hWnd);
    return 0;
}

void StartPane::OnDropFiles(HDROP drop) {
    DroppedFiles files(drop);   // released whatever happens
    if (files.Count() == 0)
        return;
    Tabber().request.fileName = StringW(files.File(0).c_str());
    Tabber().PostMessage(WM_COMMAND, ID_FILE_OPEN, 0);
}

void StartPane::OnLButtonDblClk(UINT, POINT) { Tabber().PostMessage(WM_COMMAND, ID_FILE_OPEN, 0); }

BOOL StartPane::OnEraseBkgnd(HDC dc) {
    RECT r = GetClientRect();
    HBRUSH brush = ::CreateSolidBrush(ThemeColor(48));
    ::FillRect(dc, &r, brush);
    ::DeleteObject(brush);
    return TRUE;
}

void StartPane::OnPaint() { CPaintDC dc(m_hWnd); }

constexpr MessageEntry kStartScreenEntries[] = {
    Cracked(WM_CREATE),
    Cracked(WM_WINDOWPOSCHANGED),
};
const MessageMap StartScreen::kMessageMap{&CWnd::kMessageMap, kStartScreenEntries};

int StartScreen::OnCreate(CREATESTRUCTW* cs) {
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    const RECT none{0, 0, 0, 0};
    if (!pane.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, none, m_hWnd, kIdStartPane))
        return -1;
    log.side = 1;
    log.SetSize(kStartLogPercent * 100);
    if (!log.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, none, m_hWnd, kIdStartLog))
        return -1;
    return 0;
}

void StartScreen::OnWindowPosChanged(WINDOWPOS* pos) {
    CWnd::OnWindowPosChanged(pos);
    if (!(pos->flags & SWP_NOSIZE) || (pos->flags & SWP_SHOWWINDOW))
        BPane::LayoutChildren(m_hWnd, true);
}

// ---- the main window

constexpr MessageEntry kVAppEntries[] = {
    Cracked(WM_CREATE),
    Cracked(WM_SIZE),
    Cracked(WM_GETMINMAXINFO),
    Cracked(WM_MOVE),
    Cracked(WM_SETFOCUS),
    Cracked(WM_SYSCOMMAND),
    Cracked(WM_IDLEUPDATECMDUI),
    OnMessage(WM_ACTIVATE, Route<&VApp::OnActivate>),
    OnMessage(kMsgStartup, Route<&VApp::OnStartup>),
    OnMessage(kMsgOptions, Route<&VApp::OnOptionsMessage>),
    OnCommand(ID_OPTIONS, Route<&VApp::OnOptions>),
    OnCommand(kCmdNothing, Route<&VApp::OnNothing>),
};
const MessageMap VApp::kMessageMap{&CWnd::kMessageMap, kVAppEntries};

VApp::VApp() = default;

VApp::~VApp() {
    CloseAllFiles();
    if (m_hWnd)
        DestroyWindow();
}

void VApp::CloseAllFiles() {
    if (!tabber)
        return;
    tabber->StopAll();
    while (tabber->Count() > 0 && tabber->CloseFile(tabber->Count() - 1, false)) {
    }
}

bool VApp::CreateMain(const wchar_t* className, const RECT& place) {
    return CreateEx(WS_EX_CLIENTEDGE, className, L"", WS_OVERLAPPEDWINDOW, place, nullptr, 0);
}

int VApp::OnCreate(CREATESTRUCTW* cs) {
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    const RECT none{0, 0, 0, 0};
    startScreen.reset(new StartScreen);
    if (!startScreen->CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, none, m_hWnd,
                               kIdStartScreen))
        return -1;
    tabber.reset(new FileTabber);
    if (!tabber->CreateEx(0, nullptr, L"", WS_CHILD | WS_CLIPCHILDREN, none, m_hWnd, kIdFileTabber))
        return -1;
    CreateStockGlyphs();
    if (menu.LoadMenu(IDR_MAINMENU))
        menu.SetToWindow(m_hWnd);
    toolTip.Create(this);
    return 0;
}

void VApp::FitChild(CWnd& child) {
    const RECT r = GetClientRect();
    child.MoveWindow(r, true);
    child.Invalidate();
}

void VApp::ShowTabs() {
    if (!tabber || tabber->IsWindowVisible())
        return;
    startScreen->ShowWindow(SW_HIDE);
    tabber->ShowWindow(SW_SHOW);
    FitChild(*tabber);
}

void VApp::ShowStartScreen() {
    if (!startScreen || startScreen->IsWindowVisible())
        return;
    startScreen->ShowWindow(SW_SHOW);
    tabber->ShowWindow(SW_HIDE);
    FitChild(*startScreen);
}

void VApp::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    if (!IsWindowVisible() || cx <= 0 || cy <= 0)
        return;
    if (tabber && tabber->IsWindowVisible())
        FitChild(*tabber);
    else if (startScreen)
        FitChild(*startScreen);
}

void VApp::OnGetMinMaxInfo(MINMAXINFO* info) {
    info->ptMinTrackSize.x = kMinTrackWidth;
    info->ptMinTrackSize.y = kMinTrackHeight;
    info->ptMaxTrackSize.x = ::GetSystemMetrics(SM_CXSCREEN);
    info->ptMaxTrackSize.y = ::GetSystemMetrics(SM_CYSCREEN);
}

void VApp::OnMove(int x, int y) {
    CWnd::OnMove(x, y);
    SendMessageToDescendants(kMsgMainMoved, 0, MAKELPARAM(x, y), true, true);
}

void VApp::OnSetFocus(HWND previous) {
    if (focusPane_ && ::IsWindow(focusPane_))
        ::SetFocus(focusPane_);
    else
        CWnd::OnSetFocus(previous);
}

LRESULT VApp::OnActivate(WPARAM wParam, LPARAM lParam) {
    // Leaving: remember the pane that has the focus, so that it gets it back.
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(m_hWnd, focus))
            focusPane_ = focus;
    }
    return DefWindowProc(WM_ACTIVATE, wParam, lParam);
}

void VApp::OnSysCommand(UINT command, LPARAM lParam) {
    if ((command & 0xFFF0) == SC_CLOSE) {
        // The caller of a dialog or menu goes on with its file once the loop returns: the close waits.
        if (ModalLoopDepth() > 0) {
            PostAfterModalLoops(m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
            return;
        }
        if (!App().CloseAll())
            return;
    }
    CWnd::OnSysCommand(command, lParam);
}

void VApp::OnIdleUpdateCmdUI() {
    const bool open = tabber && tabber->Count() > 0;
    CmdUI ui(menu.GetSafeHmenu(), nullptr);
    ui.Enable(ID_FILE_OPEN, !open);
    ui.Enable(ID_FILE_CLOSE, open);
}

INT_PTR VApp::OnToolHitTest(POINT point, TOOLINFOW* info) const {
    return toolTip.HitTest(point.x, point.y, info);
}

bool VApp::OnCmdMsg(UINT id, UINT code) {
    if (CWnd::OnCmdMsg(id, code))
        return true;
    if (!tabber)
        return false;
    if (tabber->OnCmdMsg(id, code))
        return true;
    FilePane* current = tabber->CurrentWindow();
    return current && current->OnCmdMsg(id, code);
}

LRESULT VApp::OnStartup(WPARAM, LPARAM) {
    AppCommandLine& line = App().commandLine;
    for (int i = 1; i <= line.Count(); ++i) {
        FileRequest request;
        request.fileName = line.GetArg(i);
        if (!request.Run(this))
            continue;
        ShowTabs();
        const int id = tabber->OpenFileInNewTab(request.Take());
        tabber->SelectAndFocus(id);
        SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, true, true);
        tabber->Invalidate();
    }
    return 0;
}

LRESULT VApp::OnOptionsMessage(WPARAM wParam, LPARAM lParam) {
    Options* set = OptionsOf(lParam);
    if (!set)
        return 0;
    if (wParam == kOptionsApply && toolTip.Control()) {
        const PFont& font = set->fonts.mainWindowFont;
        toolTip.fonts.Set(nullptr, font.size, font.face.c_str());
        toolTip.SelectFont(m_hWnd);
    }
    // The tabber decides which file windows the set is for; everything else takes it once.
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (tabber && child == tabber->m_hWnd)
            tabber->SendMessage(kMsgOptions, wParam, lParam);
        else
            SendToWindowTree(child, kMsgOptions, wParam, lParam, true);
    }
    return 0;
}

Options& VApp::OptionsToEdit() {
    if (tabber) {
        if (FileParseThread* file = tabber->CurrentFile())
            return file->options;
    }
    return App().options;
}

void VApp::OnOptions() {
    Options& edited = OptionsToEdit();
    SendMessage(kMsgOptions, kOptionsStore, reinterpret_cast<LPARAM>(&edited));
    ApplyOptionsResult(edited, RunOptionsDialog(this, edited));
}

void VApp::ApplyOptionsResult(Options& edited, INT_PTR result) {
    if (result == IDCANCEL)
        return;
    AppOptions& app = App().options;
    if (result == 6) {
        if (&edited != &app)
            app.CopyFrom(edited);
        if (!app.Save()) {
            // The start log is hidden while a file is open: the user must see that nothing was saved.
            const StringW error(kFormat, L"Options file error: %s", app.ini.text.saveError.c_str());
            App().LogLine(L"%s", error.c_str());
            ShowMessageBox(m_hWnd, error.c_str(), kProductName, MB_ICONERROR);
        }
    } else if (result == IDOK && &edited != &app) {
        app.general.CopyFrom(edited.general);
    }
    SendMessage(kMsgOptions, kOptionsApply, reinterpret_cast<LPARAM>(&edited));
    BPane::LayoutChildren(m_hWnd, true);
    if (tabber && tabber->IsWindowVisible())
        BPane::Relayout(tabber->m_hWnd);
}
