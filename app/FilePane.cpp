#include "app/FilePane.h"

#include "app/AppMessages.h"
#include "app/AskCancel.h"
#include "app/DFind.h"
#include "app/FileDumpPane.h"
#include "app/FileButtonBar.h"
#include "app/FileLowPane.h"
#include "app/FileMainPane.h"
#include "app/FileSideTab.h"
#include "app/FileStatusBar.h"
#include "app/FileTabber.h"
#include "classlib/Application.h"
#include "classlib/ModalLoop.h"
#include "core/SectionLock.h"
#include "core/SystemServices.h"
#include "core/TimingTrace.h"
#include "document/BResultDiza.h"
#include "document/BlockSelection.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "document/ItemStores.h"
#include "document/ScanStringz.h"
#include "options/BColorTheme.h"
#include "options/Options.h"
#include "toolkit/BPopup.h"

#include <vector>

namespace {

// Esc itself; Alt+Esc (a system key) belongs to the system.
bool IsEscape(const MSG& msg) {
    return msg.wParam == VK_ESCAPE && (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR);
}

// Activity colours of the tab: theme colours.
constexpr int kParseColour = 25;
constexpr int kRefersColour = 26;
constexpr int kFindColour = 27;
constexpr int kFind1PaneId = 226;

// The parse pop-up: a close box in its top-right corner posts its command to the file window.
class FileParsePopup : public BPopup {
public:
    static constexpr int kBox = 8;

    explicit FileParsePopup(HWND target) : target_(target) {}

    RECT CloseBox() const {
        const RECT c = GetClientRect();
        return RECT{ c.right - 1 - kBox, c.top + 1, c.right - 1, c.top + 1 + kBox };
    }
    bool HitTest(int x, int y) override {
        const RECT box = CloseBox();
        if (!::PtInRect(&box, POINT{ x, y }))
            return false;
        ::PostMessageW(target_, WM_COMMAND, kCmdParsePopup, 0);
        return true;
    }
    void PaintExtra(HDC dc, const RECT&) override {
        const RECT box = CloseBox();
        HPEN pen = ::CreatePen(PS_SOLID, 2, RGB(128, 128, 128));
        HGDIOBJ old = ::SelectObject(dc, pen);
        ::MoveToEx(dc, box.left, box.top, nullptr);
        ::LineTo(dc, box.right, box.bottom);
        ::MoveToEx(dc, box.right, box.top, nullptr);
        ::LineTo(dc, box.left, box.bottom);
        ::SelectObject(dc, old);
        ::DeleteObject(pen);
    }

private:
    HWND target_;
};

// The tabber that holds the window; none while the window stands alone.
FileTabber* OwnTabberOf(HWND window) {
    for (HWND w = window ? ::GetParent(window) : nullptr; w; w = ::GetParent(w))
        if (FileTabber* tabber = dynamic_cast<FileTabber*>(CWnd::FromHandle(w)))
            return tabber;
    return nullptr;
}

bool OnUiThread(HWND hwnd) {
    return ::GetWindowThreadProcessId(hwnd, nullptr) == ::GetCurrentThreadId();
}

BOOL CALLBACK PostToChild(HWND child, LPARAM message) {
    const MSG* m = reinterpret_cast<const MSG*>(message);
    if (CWnd::FromHandle(child))
        ::PostMessageW(child, m->message, m->wParam, m->lParam);
    return TRUE;
}

void ShowPane(CWnd* pane, bool show) {
    if (pane && pane->m_hWnd)
        ::ShowWindow(pane->m_hWnd, show ? SW_SHOWNA : SW_HIDE);
}

bool PaneShown(const CWnd* pane) { return pane && pane->m_hWnd && (pane->GetStyle() & WS_VISIBLE) != 0; }

}  // namespace

const MessageEntry FilePane::kEntries[] = {
    Cracked(WM_CREATE),
    Cracked(WM_WINDOWPOSCHANGED),
    Cracked(WM_SETFOCUS),
    Cracked(WM_IDLEUPDATECMDUI),
    OnMessage(kMsgAttach, Route<&FilePane::OnAttach>),
    OnMessage(kMsgSegmentsChanged, Route<&FilePane::OnSegmentsChanged>),
    OnMessage(kMsgParsing, Route<&FilePane::OnParsing>),
    OnMessage(kMsgParserDone, Route<&FilePane::OnParserDone>),
    OnMessage(kMsgRefersScan, Route<&FilePane::OnRefersScan>),
    OnMessage(kMsgFindJob, Route<&FilePane::OnFindJob>),
    OnMessage(kMsgOptions, Route<&FilePane::OnOptions>),
    OnMessage(kMsgMainMoved, Route<&FilePane::OnMainMoved>),
    OnCommand(kCmdFileClose, Route<&FilePane::OnCloseFile>),
    OnCommand(kCmdMenuClose, Route<&FilePane::OnCloseFile>),
    OnCommand(kCmdSidePane, Route<&FilePane::OnToggleSidePane>),
    OnCommand(kCmdLowPane, Route<&FilePane::OnToggleLowPane>),
    OnControlRange(kAnyCode, kCmdStatusBar, kCmdStatusBar, Route<&FilePane::OnStatusBarClick>),
    OnCommand(kCmdParsePopup, Route<&FilePane::OnParsePopup>),
};
const MessageMap FilePane::kMessageMap{ &BPane::kMessageMap, kEntries };

FilePane::FilePane() = default;

FilePane::~FilePane() {
    popup_.reset();
    // The panes let go of the document and go first: none may point at it once it is freed.
    if (document) {
        document->Log().SetSink(nullptr);
        if (m_hWnd)
            SendToWindowTree(m_hWnd, kMsgAttach, 0, reinterpret_cast<LPARAM>(document));
    }
    DestroyWindow();
    mainApi_ = nullptr;
    listApi_ = nullptr;
    lowPane_.reset();
    sideTab_.reset();
    statusBar_.reset();
    mainPane_.reset();
    buttonBar_.reset();
    delete document;
    document = nullptr;
}

// --- Panes.

CWnd* FilePane::DizaWindow() const { return mainApi_ ? mainApi_->DizaWindow() : nullptr; }

FileButtonBar* FilePane::ButtonBar() const {
    return static_cast<FileButtonBar*>(buttonBar_.get());
}

FileStatusBar* FilePane::StatusBar() const {
    return static_cast<FileStatusBar*>(statusBar_.get());
}

FileLowPane* FilePane::LowPane() const {
    return static_cast<FileLowPane*>(lowPane_.get());
}

CWnd* FilePane::LogWindow() const {
    return LowPane() ? LowPane()->LogWindow() : nullptr;
}

ShowasPane* FilePane::Showas() const {
    return LowPane() ? LowPane()->Showas() : nullptr;
}

FileLogPane* FilePane::LogPane() const {
    return LowPane() ? LowPane()->LogPane() : nullptr;
}

HWND FilePane::QuestionOwner() const {
    HWND root = m_hWnd ? ::GetAncestor(m_hWnd, GA_ROOT) : nullptr;
    return root ? root : m_hWnd;
}

int FilePane::OnCreate(CREATESTRUCTW* cs) {
    if (BPane::OnCreate(cs) == -1)
        return -1;
    const RECT r{ 0, 0, 100, 100 };
    const DWORD style = WS_CHILD | WS_VISIBLE;
    mainPane_.reset(new FileMainPane);
    mainPane_->CreateEx(0, nullptr, L"", style | WS_CLIPCHILDREN, r, m_hWnd, kIdFileMainPane);
    mainApi_ = dynamic_cast<BFileMainPanes*>(mainPane_.get());
    buttonBar_.reset(new FileButtonBar);
    buttonBar_->side = 0;
    buttonBar_->CreateEx(0, nullptr, L"", style, r, m_hWnd, kIdFileButtonBar);
    statusBar_.reset(new FileStatusBar);
    statusBar_->side = 2;
    statusBar_->CreateEx(0, nullptr, L"", style, r, m_hWnd, kIdFileStatusBar);
    lowPane_.reset(new FileLowPane);
    lowPane_->side = 2;
    lowPane_->CreateEx(0, nullptr, L"", style | WS_CLIPCHILDREN, r, m_hWnd, kIdFileLowPane);
    sideTab_.reset(new FileSideTab);
    sideTab_->side = 3;
    sideTab_->CreateEx(0, nullptr, L"", style | WS_CLIPCHILDREN, r, m_hWnd, kIdFileSideTab);
    listApi_ = dynamic_cast<BFileListPanes*>(static_cast<CWnd*>(sideTab_.get()));
    return 0;
}

// --- The host.

void FilePane::AttachDocument(FileParseThread* doc, int32_t fileId) {
    document = doc;
    if (m_hWnd)
        SetDlgCtrlID(fileId);
    // The file's log writes into the log pane from the first line on.
    if (doc && LogPane())
        doc->Log().SetSink(LogPane());
}

intptr_t FilePane::NotifyWindows(uint32_t message, uintptr_t wparam, intptr_t lparam, bool windowFirst) {
    if (!m_hWnd)
        return 0;
    if (!OnUiThread(m_hWnd)) {
        ::PostMessageW(m_hWnd, message, wparam, lparam);
        MSG m{};
        m.message = message;
        m.wParam = wparam;
        m.lParam = lparam;
        ::EnumChildWindows(m_hWnd, PostToChild, reinterpret_cast<LPARAM>(&m));
        return 0;
    }
    intptr_t result = 0;
    if (windowFirst)
        result = SendMessage(message, wparam, lparam);
    SendMessageToDescendants(message, wparam, lparam, true, true);
    if (!windowFirst)
        result = SendMessage(message, wparam, lparam);
    return result;
}

void FilePane::SendNotify(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (m_hWnd)
        ::SendNotifyMessageW(m_hWnd, message, wparam, lparam);
}

void FilePane::SendNotifyDizaPane(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (CWnd* pane = DizaWindow(); pane && pane->m_hWnd)
        ::SendNotifyMessageW(pane->m_hWnd, message, wparam, lparam);
}

void FilePane::Post(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (m_hWnd)
        ::PostMessageW(m_hWnd, message, wparam, lparam);
}

void FilePane::UpdateTabTitle() {
    if (!document)
        return;
    StringW name;
    FileNameOfPath(name, document->FilePath());
    if (FileTabber* tabber = OwnTabberOf(m_hWnd))
        tabber->SetTabCaption(this, name.c_str());
}

void FilePane::Relayout() {
    if (!m_hWnd)
        return;
    LayoutChildren(m_hWnd, false);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void FilePane::RepaintSideTabs() {
    if (listApi_)
        listApi_->RepaintSideTabs();
}

void FilePane::OnClosing() {
    if (CWnd* pane = DizaWindow(); pane && pane->m_hWnd)
        pane->EnableWindow(false);
    parsing_ = false;
    finished_ = false;
}

void FilePane::CloseCancelQuestion() { AskCancel::CloseQuestion(); }

void FilePane::ShowInStatusBar(const wchar_t* text) {
    FileStatusBar* bar = StatusBar();
    if (!bar || !bar->m_hWnd)
        return;
    bar->SetCellText(text);
    bar->cells[FileStatusBar::kMessage].tipText = text ? text : L"";
    const int seconds = document ? document->options.ui.statusbarHighlightTimer.ValueAsInt() : 0;
    if (seconds > 0)
        bar->HighlightCurrent(seconds);
    bar->UpdateWindowOnScreen();
}

void FilePane::ShowProgress(const wchar_t* stage) {
    if (!popup_ || !popup_->m_hWnd)
        return;
    StringW text(kFormat, L"%s (stage: %s)", popupText.c_str(), stage ? stage : L"");
    popup_->SetText(text.c_str());
}

void FilePane::PumpMessages() {
    // Through the application's own turn, so that Esc reaches the pre-translate step meanwhile.
    Application* app = Application::Current();
    if (!app) {
        ::PumpMessages();
        return;
    }
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        app->PumpMessage(msg);
    }
}

bool FilePane::CommentPaneVisible() { return mainApi_ && mainApi_->CommentPaneVisible(); }

BDizaView* FilePane::DizaView() { return mainApi_ ? mainApi_->DizaView() : nullptr; }

void FilePane::RepaintBookmarks() {
    if (listApi_)
        listApi_->RepaintBookmarks();
}

void FilePane::RepaintRefers() {
    if (listApi_)
        listApi_->RepaintRefers();
}

void FilePane::EmptyRefersPane() {
    if (listApi_)
        listApi_->EmptyRefersPane();
}

void FilePane::EmptyResultPane(int index) {
    if (listApi_)
        listApi_->EmptyResultPane(index);
}

void FilePane::RepaintResultPane(int index) {
    if (listApi_)
        listApi_->RepaintResultPane(index);
}

void FilePane::OnResultFound(int index, int64_t address) {
    if (listApi_)
        listApi_->OnResultFound(index, address);
}

bool FilePane::RedrawIfShown(int64_t address) { return mainApi_ && mainApi_->RedrawIfShown(address); }

void FilePane::ReloadRange(int64_t start, int64_t end) {
    if (mainApi_)
        mainApi_->ReloadRange(start, end);
}

// --- The finds' host.

bool FilePane::RunDialog(FindContext& context) {
    CWnd* pane = DizaWindow();
    return RunFindDialog(pane ? pane : this, context);
}

bool FilePane::BlockSelection(int64_t& start, int64_t& end) {
    BDizaView* view = DizaView();
    if (!view || !document)
        return false;
    ::BlockSelection& selection = view->Selection();
    if (selection.state == ::BlockSelection::kNone)
        return false;
    SectionLock lock(document->FileLock());
    start = selection.Start(document);
    end = selection.End(document);
    return start != -1 && end > start;
}

int64_t FilePane::CursorAddress(bool hex) {
    if (!document || !mainPane_)
        return -1;
    FileDizaPane& diza = static_cast<FileMainPane*>(mainPane_.get())->diza;
    if (!hex)
        return diza.m_hWnd ? diza.CurrentPosition().address : -1;
    // The dump's cursor byte; the dump follows the disassembly's cursor until it is clicked itself.
    if (FileLowPane* low = LowPane())
        if (auto* dump = dynamic_cast<FileDumpPane*>(low->longTab.DumpPane()); dump && dump->fileMark >= 0) {
            const int64_t address = document->OffsetToAddress(dump->fileMark);
            if (address != -1)
                return address;
        }
    return diza.cursorAddress;
}

void FilePane::ShowResultPane(int paneId) {
    if (auto* side = static_cast<FileSideTab*>(sideTab_.get()); side && side->m_hWnd)
        side->SelectTab(paneId);
}

void FilePane::ActivePaneChanged(int, int newPaneId) {
    auto* side = static_cast<FileSideTab*>(sideTab_.get());
    if (!side || !side->m_hWnd)
        return;
    side->FindPaneAt(0)->UpdateTabIcon(newPaneId == kIdFind1List);
    side->FindPaneAt(1)->UpdateTabIcon(newPaneId == kIdFind2List);
    side->Invalidate();
}

void FilePane::DialogFindDone(FindResult* result) {
    if (DFind* dialog = DFind::Open())
        dialog->OnFindDone(result);
}

BFindLines* FilePane::Lines() {
    return mainPane_ ? &static_cast<FileMainPane*>(mainPane_.get())->diza.findLines : nullptr;
}

void FilePane::PollStop() {
    // Only an Esc pressed in this window, a close of the main window and its system menu (where a close
    // asks at once) are taken while the find runs; other keys and the other clicks on the main window's
    // frame are put back in their order and wait for its end, so that nothing changes the document
    // under the job.
    std::vector<MSG> waiting;
    bool escape = false, close = false;
    MSG msg;
    const HWND main = ::GetAncestor(m_hWnd, GA_ROOT);
    while (::PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        if (IsEscape(msg) && (msg.hwnd == m_hWnd || ::IsChild(m_hWnd, msg.hwnd)))
            escape = escape || msg.message == WM_KEYDOWN;
        else if (IsCloseRequest(msg, main))
            close = true;
        else if (OpensSystemMenu(msg, main))
            OpenSystemMenu(msg, main);   // the keys after it are the menu's
        else
            waiting.push_back(msg);
    }
    // The clicks first: a close chosen in a window menu they open is taken with the commands.
    for (UINT first : {UINT(WM_NCLBUTTONDOWN), UINT(WM_SYSCOMMAND)}) {
        const UINT last = first == WM_SYSCOMMAND ? first : WM_NCMBUTTONDBLCLK;
        while (::PeekMessageW(&msg, main, first, last, PM_REMOVE)) {
            if (IsCloseRequest(msg, main))
                close = true;
            else if (OpensSystemMenu(msg, main))
                ::DispatchMessageW(&msg);
            else if (msg.message != WM_NCLBUTTONUP || (msg.wParam != HTCLOSE && msg.wParam != HTSYSMENU))
                waiting.push_back(msg);   // the release of a close box or icon goes with its close
        }
    }
    if (escape)
        QuestionAboutEsc();
    if (close && document && document->finds.AnyRunning())
        ::SendMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    for (const MSG& key : waiting)
        ::PostMessageW(key.hwnd, key.message, key.wParam, key.lParam);
}

bool FilePane::IsCloseRequest(const MSG& msg, HWND main) {
    switch (msg.message) {
    case WM_SYSKEYDOWN:
        return msg.wParam == VK_F4 && ::GetAncestor(msg.hwnd, GA_ROOT) == main;
    case WM_SYSCOMMAND:
        return msg.hwnd == main && (msg.wParam & 0xFFF0) == SC_CLOSE;
    case WM_NCLBUTTONDOWN:
        return msg.hwnd == main && msg.wParam == HTCLOSE;
    case WM_NCLBUTTONDBLCLK:
        return msg.hwnd == main && msg.wParam == HTSYSMENU;
    default:
        return false;
    }
}

bool FilePane::OpensSystemMenu(const MSG& msg, HWND main) {
    switch (msg.message) {
    case WM_SYSKEYDOWN:
    case WM_SYSCHAR:
        return msg.wParam == VK_SPACE && ::GetAncestor(msg.hwnd, GA_ROOT) == main;
    case WM_SYSCOMMAND:
        return msg.hwnd == main && ((msg.wParam & 0xFFF0) == SC_MOUSEMENU ||
                                    ((msg.wParam & 0xFFF0) == SC_KEYMENU && msg.lParam == VK_SPACE));
    case WM_NCLBUTTONDOWN:
        return msg.hwnd == main && msg.wParam == HTSYSMENU;
    default:
        return false;
    }
}

void FilePane::OpenSystemMenu(const MSG& key, HWND main) {
    // Alt+Space: the character made of the same key would reach the open menu as a choice.
    MSG character;
    if (key.message == WM_SYSKEYDOWN && ::PeekMessageW(&character, key.hwnd, WM_SYSCHAR, WM_SYSCHAR, PM_NOREMOVE) &&
        character.wParam == VK_SPACE)
        ::PeekMessageW(&character, key.hwnd, WM_SYSCHAR, WM_SYSCHAR, PM_REMOVE);
    ::SendMessageW(main, WM_SYSCOMMAND, SC_KEYMENU, VK_SPACE);
}

// --- The parse pop-up.

void FilePane::ShowParsePopup(const wchar_t* text) {
    if (!document || !document->options.general.showParsingPopup.value || !m_hWnd)
        return;
    popupText = text ? text : L"";
    TimingTrace::Event(L"popup %s", popupText.c_str());
    if (!popup_) {
        popup_.reset(new FileParsePopup(m_hWnd));
        if (!popup_->Create(this)) {
            popup_.reset();
            return;
        }
    }
    popup_->SetText(popupText.c_str());
}

void FilePane::MovePopup() {
    if (popup_ && popup_->m_hWnd)
        popup_->CenterOnOwner();
}

// --- Activity on the tab.

void FilePane::PushActivity(int colourIndex) {
    TimingTrace::Event(L"lamp on %d", colourIndex);
    activity.Push(ThemeColor(colourIndex));
}

void FilePane::RemoveActivity(int colourIndex) {
    TimingTrace::Event(L"lamp off %d", colourIndex);
    activity.Remove(ThemeColor(colourIndex));
}

void FilePane::EnableEditing(bool enable) {
    if (CWnd* pane = DizaWindow(); pane && pane->m_hWnd)
        pane->EnableWindow(enable);
    if (FileButtonBar* bar = ButtonBar())
        bar->EnableEditRows(enable);
}

// --- Messages.

LRESULT FilePane::OnAttach(WPARAM attached, LPARAM) {
    if (attached == 1) {
        if (document && document->options.general.showParsingPopup.value) {
            EnableEditing(false);
            StringW name;
            FileNameOfPath(name, document->FilePath());
            ShowParsePopup(StringW(kFormat, L"'%s' is parsing...", name.c_str()).c_str());
        }
    } else if (attached == 0) {
        if (statusBar_ && statusBar_->m_hWnd)
            StatusBar()->SetCellText(L"");
    }
    return 0;
}

LRESULT FilePane::OnSegmentsChanged(WPARAM flags, LPARAM doc) {
    if (!document)
        return 0;
    SectionLock lock(document->FileLock());
    SendMessageToDescendants(kMsgSegmentsChanged, flags, doc, true, true);
    return 0;
}

LRESULT FilePane::OnParsing(WPARAM started, LPARAM) {
    if (started == 1)
        PushActivity(kParseColour);
    else
        RemoveActivity(kParseColour);
    parsing_ = started == 1;
    ::SendMessageW(QuestionOwner(), WM_IDLEUPDATECMDUI, 0, 0);
    if (started == 1)
        return 0;
    AskCancel::Instance().Clear();
    if (document && document->Segments().Count() > 0) {
        EnableEditing(true);
        if (::GetFocus() == m_hWnd)
            if (CWnd* pane = DizaWindow(); pane && pane->m_hWnd)
                pane->SetFocus();
    }
    popup_.reset();
    TimingTrace::Event(L"popup closed");
    finished_ = true;
    RunScans();
    if (CWnd* log = LogWindow())
        log->UpdateWindow();
    Invalidate();
    SendToWindowTree(m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0, true);
    return 0;
}

void FilePane::RunScans() {
    if (!document)
        return;
    FileLog& log = document->Log();
    if (!document->ready) {
        log.Print(L"The file is not ready");
        return;
    }
    if (document->restored) {
        log.Print(L"The file is restored");
        return;
    }
    if (document->refersWanted) {
        log.Print(L"Scan refers is starting...");
        document->stores.refers.ScanAll();
    }
    const ParseRequest* request = document->Request();
    if (request && ScanStringzThread::IsWanted(request->head.flags) && !document->closing) {
        log.Print(L"Scan stringz is starting...");
        document->stringScan.Run();
    }
}

LRESULT FilePane::OnParserDone(WPARAM index, LPARAM) {
    // The document may be gone when this returns (its tab closed while messages were pumped).
    if (document)
        document->OnParserDone(static_cast<int>(index));
    return 0;
}

LRESULT FilePane::OnRefersScan(WPARAM running, LPARAM) {
    if (running == 1)
        PushActivity(kRefersColour);
    else
        RemoveActivity(kRefersColour);
    return 0;
}

LRESULT FilePane::OnFindJob(WPARAM running, LPARAM result) {
    if (running == 1) {
        PushActivity(kFindColour);
    } else {
        RemoveActivity(kFindColour);
        if (document && result)
            document->finds.OnFindDone(reinterpret_cast<FindResult*>(result));
    }
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return 0;
}

LRESULT FilePane::OnOptions(WPARAM what, LPARAM lparam) {
    Options* options = reinterpret_cast<Options*>(lparam);
    if (!options)
        return 0;
    OptionsUI& ui = options->ui;
    if (what == 1) {
        if (sideTab_) {
            const bool right = ui.sidePaneSide.index == 1;
            sideTab_->SetSide(right ? 1 : 3);
            if (listApi_)
                listApi_->SetStripSide(right ? 0x4000 : 0x1000);
            ShowPane(sideTab_.get(), ui.sidePaneShow.value);
            sideTab_->SetSize(ui.sidePaneWidth.value * 100);
        }
        if (lowPane_) {
            ShowPane(lowPane_.get(), ui.lowPaneShow.value);
            lowPane_->SetSize(ui.lowPaneHeight.value * 100);
        }
        if (m_hWnd)
            LayoutChildren(m_hWnd, true);
    } else if (what == 2) {
        if (sideTab_) {
            ui.sidePaneShow.value = PaneShown(sideTab_.get());
            if (sideTab_->size >= 0)
                ui.sidePaneWidth.value = sideTab_->size / 100;
        }
        if (lowPane_) {
            ui.lowPaneShow.value = PaneShown(lowPane_.get());
            if (lowPane_->size >= 0)
                ui.lowPaneHeight.value = lowPane_->size / 100;
        }
    }
    return 0;
}

LRESULT FilePane::OnMainMoved(WPARAM, LPARAM) {
    MovePopup();
    return 0;
}

void FilePane::OnWindowPosChanged(WINDOWPOS* pos) {
    CWnd::OnWindowPosChanged(pos);
    if (!pos)
        return;
    if (!(pos->flags & SWP_NOSIZE))
        LayoutChildren(m_hWnd, !(pos->flags & SWP_NOREDRAW));
    if (popup_ && popup_->m_hWnd) {
        if (pos->flags & SWP_SHOWWINDOW)
            popup_->ShowWindow(SW_SHOWNA);
        else if (pos->flags & SWP_HIDEWINDOW)
            popup_->ShowWindow(SW_HIDE);
        if (!(pos->flags & SWP_NOMOVE) || !(pos->flags & SWP_NOSIZE))
            MovePopup();
    }
}

void FilePane::OnSetFocus(HWND) {
    if (CWnd* pane = DizaWindow(); pane && pane->m_hWnd)
        pane->SetFocus();
}

void FilePane::OnIdleUpdateCmdUI() {
    FileButtonBar* bar = ButtonBar();
    if (!bar)
        return;
    bar->SetPressed(kCmdSidePane, PaneShown(sideTab_.get()));
    bar->SetPressed(kCmdLowPane, PaneShown(lowPane_.get()));
    bar->SetEnabled(312, document && document->history.ReadPosition() >= 0);
}

// --- Commands.

bool FilePane::OnCmdMsg(UINT id, UINT code) {
    if (BPane::OnCmdMsg(id, code))
        return true;
    CWnd* pane = DizaWindow();
    return pane && pane->OnCmdMsg(id, code);
}

void FilePane::OnCloseFile() {
    if (FileTabber* tabber = OwnTabberOf(m_hWnd))
        tabber->CloseCurrentFile();
}

void FilePane::TogglePane(CWnd* pane) {
    if (!pane || !pane->m_hWnd)
        return;
    ShowPane(pane, !PaneShown(pane));
    LayoutChildren(m_hWnd, true);
    Invalidate();
    SendToWindowTree(m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0, true);
}

void FilePane::OnToggleSidePane() { TogglePane(sideTab_.get()); }

void FilePane::OnToggleLowPane() { TogglePane(lowPane_.get()); }

void FilePane::OnStatusBarClick() {
    FileStatusBar* bar = StatusBar();
    if (!bar || !document)
        return;
    ModalLoopScope menuLoop;   // the cells' menus run their own loop over this file's options
    switch (bar->clickedCell) {
    case 0:
        // How long a new message stays highlighted; the message shown now keeps its time.
        document->options.ui.statusbarHighlightTimer.ShowMenu(m_hWnd, TPM_LEFTALIGN | TPM_RIGHTBUTTON);
        break;
    case 3: {
        PList& codepage = document->options.file.stringCodepage;
        const int before = codepage.index;
        if (codepage.ShowMenu(m_hWnd, TPM_LEFTALIGN | TPM_RIGHTBUTTON) && codepage.index != before) {
            bar->SendMessage(kMsgOptions, 1, reinterpret_cast<LPARAM>(&document->options));
            // The dump and the one-byte string lines are drawn in the code page: all panes repaint.
            ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        }
        break;
    }
    case 4:
        if (BDizaView* view = DizaView(); view && view->Selection().state != ::BlockSelection::kNone)
            document->PostGotoAddress(view->Selection().Start(document));
        break;
    case 5:
        if (bar->cursorAddress != -1)
            document->PostGotoAddress(bar->cursorAddress);
        break;
    default:
        break;
    }
}

void FilePane::OnParsePopup() { AskCancelParsing(); }

bool FilePane::InNestedLoop() const {
    return questionDepth_ > 0 || ModalLoopDepth() > 0 ||
           (document && (document->inParserCall || document->finds.AnyRunning()));
}

bool FilePane::AskAboutThisFile(const wchar_t* what) {
    ++questionDepth_;
    // The answer belongs to this file: kept in the byte it would outlive this question and be taken
    // for the answer about the next file.
    AskCancel& answer = AskCancel::Ask(what, QuestionOwner());
    const bool yes = answer.Answered();
    answer.Clear();
    --questionDepth_;
    return yes;
}

bool FilePane::AskCancelParsing() {
    if (!document)
        return false;
    if (!document->cancelRequested && AskAboutThisFile(L"parsing"))
        document->CancelParse();
    return document->cancelRequested;
}

FindResult* FilePane::SelectResultSetByCommand(int id) {
    if (!document)
        return nullptr;
    return document->finds.GetResultByIndex(id == kFind1PaneId ? 1 : 2);
}

int FilePane::QuestionAboutEsc() {
    if (!document)
        return 0;
    if (parsing_) {
        AskCancelParsing();
        return 1;
    }
    if (document->finds.AnyRunning()) {
        if (AskAboutThisFile(L"finding"))
            document->finds.StopAll();
        return 1;
    }
    return 0;
}

BOOL FilePane::PreTranslateMessage(MSG* msg) {
    if (IsEscape(*msg)) {
        // The question is asked once per press; the rest of the key's messages go with it.
        const bool busy = parsing_ || (document && document->finds.AnyRunning());
        if (busy) {
            if (msg->message == WM_KEYDOWN)
                QuestionAboutEsc();
            return TRUE;
        }
    }
    if (accelerators && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST)
        return ::TranslateAcceleratorW(m_hWnd, accelerators, msg) != 0;
    return FALSE;
}
