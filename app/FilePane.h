#pragma once
// The window of one open file, held by a tab of the file tabber. It owns the file's document and every
// pane that shows it: the main pane (disassembly and comment panes), the button bar, the status bar, the
// low pane (dump, log, details, show-as) and the side tab of lists. It is the document's host: the
// document's progress messages arrive here, and after parsing the refers and string scans start here.
//
//   auto* w = new FilePane;
//   w->CreateEx(0, nullptr, L"", WS_CHILD | WS_CLIPCHILDREN, rect, tabberHwnd, 0);
//   w->document = new FileParseThread(w);   // attaches itself: the window takes the file id as its id

#include "core/StringW.h"
#include "document/DocumentHost.h"
#include "document/FindContext.h"
#include "app/ActivityStack.h"
#include "toolkit/BPane.h"

#include <cstdint>
#include <memory>

class BDizaView;
class BPopup;
class FileButtonBar;
class FileLowPane;
class FileParseThread;
class FileStatusBar;
class FindResult;
class Options;
class ShowasPane;
class FileLogPane;

// Child-window ids of a file window, and its commands.
enum : int {
    kIdFileButtonBar = 201,
    kIdFileMainPane = 210,
    kIdFileStatusBar = 213,
    kIdFileSideTab = 220,
    kIdFileLowPane = 230,
};
enum : UINT {
    kCmdFileClose = 301,      // "File close" button
    kCmdMenuClose = 302,      // menu "&Close"
    kCmdStatusBar = 213,      // a click on the status bar
    kCmdSidePane = 220,       // "File pane side"
    kCmdLowPane = 230,        // "File pane low"
    kCmdParsePopup = 24305,   // the parse pop-up's close box
};

// What the file window asks of its main pane (the disassembly and the comment pane); the main pane
// implements it next to its window base.
class BFileMainPanes {
public:
    virtual ~BFileMainPanes() = default;
    // The disassembly pane's window; null while there is none.
    virtual CWnd* DizaWindow() = 0;
    virtual BDizaView* DizaView() = 0;
    virtual bool CommentPaneVisible() = 0;
    // The disassembly pane repaints when its page shows the address; whether it did.
    virtual bool RedrawIfShown(int64_t address) { (void)address; return false; }
    // The page reads the range again after a make.
    virtual void ReloadRange(int64_t start, int64_t end) { (void)start, (void)end; }
    // The text of the cursor address of the disassembly pane (the status bar shows it); -1 for none.
    virtual int64_t CursorAddress() { return -1; }
};

// What the file window asks of its side tab of lists; the side tab implements it next to its window base.
class BFileListPanes {
public:
    virtual ~BFileListPanes() = default;
    virtual void RepaintSideTabs() {}
    virtual void RepaintBookmarks() {}
    virtual void RepaintRefers() {}
    virtual void EmptyRefersPane() {}
    virtual void EmptyResultPane(int index) { (void)index; }
    virtual void RepaintResultPane(int index) { (void)index; }
    virtual void OnResultFound(int index, int64_t address) { (void)index, (void)address; }
    // The tab strip's side: 0x1000 left, 0x4000 right.
    virtual void SetStripSide(int style) { (void)style; }
};

class FilePane : public BPane, public BDocumentHost, public BFindHost {
public:
    FilePane();
    ~FilePane() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // --- The document's host.
    void AttachDocument(FileParseThread* document, int32_t fileId) override;
    intptr_t NotifyWindows(uint32_t message, uintptr_t wparam, intptr_t lparam, bool windowFirst) override;
    void SendNotify(uint32_t message, uintptr_t wparam, intptr_t lparam) override;
    void SendNotifyDizaPane(uint32_t message, uintptr_t wparam, intptr_t lparam) override;
    void Post(uint32_t message, uintptr_t wparam, intptr_t lparam) override;
    void UpdateTabTitle() override;
    void Relayout() override;
    void RepaintSideTabs() override;
    void OnClosing() override;
    void CloseCancelQuestion() override;
    void ShowInStatusBar(const wchar_t* text) override;
    void ShowProgress(const wchar_t* stage) override;
    void PumpMessages() override;
    bool CommentPaneVisible() override;
    BDizaView* DizaView() override;
    void RepaintBookmarks() override;
    void RepaintRefers() override;
    void EmptyRefersPane() override;
    void EmptyResultPane(int index) override;
    void RepaintResultPane(int index) override;
    void OnResultFound(int index, int64_t address) override;
    bool RedrawIfShown(int64_t address) override;
    void ReloadRange(int64_t start, int64_t end) override;

    // --- The finds' host: the find dialog over the disassembly pane, its selection and cursor, the
    // side tab's result panes, and the pane's line texts.
    bool RunDialog(FindContext& context) override;
    bool BlockSelection(int64_t& start, int64_t& end) override;
    int64_t CursorAddress(bool hex) override;
    void ShowResultPane(int paneId) override;
    void ActivePaneChanged(int oldPaneId, int newPaneId) override;
    void DialogFindDone(FindResult* result) override;
    BFindLines* Lines() override;
    void PollStop() override;

    // --- The window.
    void ShowParsePopup(const wchar_t* text);
    // The cancel question about this file's parse; a Yes becomes the document's cancel request.
    // Whether the parse is to be cancelled (asked once: a request stands until the file closes).
    bool AskCancelParsing();
    bool IsParsing() const { return parsing_; }
    // A find walks the document, a parser that may pump messages runs, a question about this file or
    // any modal dialog or menu runs its own message loop: what is on the stack then uses the window and
    // its document, so they are not closed under it.
    bool InNestedLoop() const;
    bool ParseFinished() const { return finished_; }
    // The document's first find result for id 226 ("Find1"), the second for any other id.
    FindResult* SelectResultSetByCommand(int id);
    // The panes (null until made).
    CWnd* MainPane() const { return mainPane_.get(); }
    BFileMainPanes* MainPanes() const { return mainApi_; }
    CWnd* DizaWindow() const;
    FileButtonBar* ButtonBar() const;
    FileStatusBar* StatusBar() const;
    FileLowPane* LowPane() const;
    BPane* SideTab() const { return sideTab_.get(); }
    BFileListPanes* ListPanes() const { return listApi_; }
    ShowasPane* Showas() const;
    FileLogPane* LogPane() const;
    CWnd* LogWindow() const;
    BPopup* ParsePopup() const { return popup_.get(); }
    // The window that owns the cancel question's box (the main window).
    HWND QuestionOwner() const;

    int OnCreate(CREATESTRUCTW* cs) override;
    void OnWindowPosChanged(WINDOWPOS* pos) override;
    void OnSetFocus(HWND previous) override;
    void OnIdleUpdateCmdUI() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    bool OnCmdMsg(UINT id, UINT code) override;

    // Message handlers.
    LRESULT OnAttach(WPARAM attached, LPARAM document);
    LRESULT OnSegmentsChanged(WPARAM flags, LPARAM document);
    LRESULT OnParsing(WPARAM started, LPARAM document);
    LRESULT OnParserDone(WPARAM index, LPARAM job);
    LRESULT OnRefersScan(WPARAM running, LPARAM);
    LRESULT OnFindJob(WPARAM running, LPARAM result);
    LRESULT OnOptions(WPARAM what, LPARAM options);
    LRESULT OnMainMoved(WPARAM, LPARAM);
    // Commands.
    void OnCloseFile();
    void OnToggleSidePane();
    void OnToggleLowPane();
    void OnStatusBarClick();
    void OnParsePopup();

    HACCEL accelerators = nullptr;   // none is loaded
    FileParseThread* document = nullptr;
    ActivityStack activity{ this };
    StringW popupText;

private:
    void PushActivity(int colourIndex);
    void RemoveActivity(int colourIndex);
    void EnableEditing(bool enable);
    void RunScans();
    void TogglePane(CWnd* pane);
    void MovePopup();
    int QuestionAboutEsc();
    // The cancel question about this file, asked in a nested loop.
    bool AskAboutThisFile(const wchar_t* what);
    // Whether the message closes the main window (Alt+F4, its close box, a posted close): while a
    // find runs such a close is asked at once.
    static bool IsCloseRequest(const MSG& msg, HWND main);
    // Alt+Space or a press on the main window's icon: its window menu, whose Close asks at once.
    static bool OpensSystemMenu(const MSG& msg, HWND main);
    static void OpenSystemMenu(const MSG& key, HWND main);

    std::unique_ptr<CWnd> mainPane_;
    BFileMainPanes* mainApi_ = nullptr;
    std::unique_ptr<BPane> buttonBar_;
    std::unique_ptr<BPane> statusBar_;
    std::unique_ptr<BPane> sideTab_;
    BFileListPanes* listApi_ = nullptr;
    std::unique_ptr<BPane> lowPane_;
    std::unique_ptr<BPopup> popup_;
    bool parsing_ = false;
    bool finished_ = false;
    int questionDepth_ = 0;

    static const MessageEntry kEntries[];
};
