#pragma once
// The disassembly view of one open file: a multi-zone pane whose rows are the rows of its DizaPage,
// each drawn by the zone line of its line kind. It holds the cursor row, the marked block and the cursor
// address, and runs the editing commands (make code and data, name, comment, bookmark, fold, go to, go
// back, find, refers). Child 211 of the main pane, beside the comment pane; the document reaches it as
// its BDizaView.
//
//   FileDizaPane pane(&commentPane);
//   pane.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, r, mainPane, 211);
//   // 0x5E08 (attach), 0x5E09 (segments), 0x5E20 (options) do the rest

#include "app/AppMessages.h"
#include "app/DizaPage.h"
#include "core/StringW.h"
#include "document/FindThread.h"
#include "document/ItemStores.h"
#include "toolkit/BMultiZone.h"

#include <cstdint>

class BDizaLine;
class DizaBodyZoneline;
class DizaCommentlineZoneline;
class DizaCommentOnlineZoneline;
class DizaNameZoneline;
class DizaNullZoneline;
class DizaZoneline;
class FileOncommentPane;
class FileParseThread;
class Options;

// Commands of the disassembly pane.
enum : UINT {
    kCmdGoto = 311,
    kCmdGoBack = 312,
    kCmdBookmarkPrev = 321,
    kCmdToggleBookmark = 322,
    kCmdBookmarkNext = 323,
    kCmdFindPrev = 331,
    kCmdFindNext = 332,
    kCmdFind = 333,
    kCmdRefer = 337,
    kCmdName = 351,
    kCmdCode = 352,
    kCmdForcedCode = 353,
    kCmdByte = 354,
    kCmdWord = 355,
    kCmdDword = 356,
    kCmdQword = 357,
    kCmdDump = 360,
    kCmdByteline = 361,
    kCmdAsciiz = 362,
    kCmdUnicode = 363,
    kCmdCommentLine = 371,
    kCmdCommentOnline = 372,
    kCmdShowDumpBytes = 401,
    kCmdShowComments = 402,
    kCmdCollapse = 403,
};

// Ctrl+Shift with this key runs the forced code start (353) in the pane; the code button's tip names it.
constexpr UINT kForcedCodeKey = 'C';

// The texts of display lines as the pane shows them, for the line finds.
class DizaPaneFindLines : public BFindLines {
public:
    bool SubLineText(FileParseThread* document, const DizaLinePos& line, StringW& text) override;
};

class FileDizaPane : public BMultiZone, public BDizaPageOwner, public BDizaView {
public:
    explicit FileDizaPane(FileOncommentPane* commentPane = nullptr);
    ~FileDizaPane() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    DizaPage& Page() { return *page_; }
    // The cursor address: -1 none. The file's windows get 0x5E10.
    void SetCursorAddress(int64_t address) override;
    // The cursor address inside the current row's item, else the current row's address; -1.
    int64_t GetCurrentAddress() override;
    // The current row's position; none without a current row.
    DizaLinePos CurrentPosition();
    // The text marked in every line (a word taken with Ctrl+click, a refers target).
    void SetHighlight(const StringW& text);
    // Runs a command as its button or menu item would (guarded commands check their button first).
    void RunCommand(UINT id);
    // Whether the command's button would be enabled now (the idle rules).
    bool IsCommandEnabled(UINT id);
    bool IsCommandChecked(UINT id);
    // The address of the body text's column under page x of a row.
    int64_t AddressAtColumn(BZone* zone, int row, int x);
    bool RedrawIfShown(int64_t address);
    bool CommentPaneVisible() const;
    // The selection update of a key or a wheel turn (extend: Shift).
    void UpdateSelection(bool extend);
    // What a double click on a word does (jump, Shift: find, Ctrl: copy).
    void ClickableText(const StringW& word, bool ctrl, bool shift);
    void ApplyOptions(const Options& options);
    // The button went up (here or in the comment pane): the pointer is free, a marked block finished.
    void EndPress();

    // --- BMultiZone.
    void* GetItem(int row) override;
    void ReleaseItem(void* item) override;
    void CancelDrag() override;
    void UpdateScrollers(CDC& dc) override;
    CRITICAL_SECTION* GetDrawLock() override;
    BZoneLine* GetLine(int row) override;
    void DrawBackground(CDC& dc) override;
    void OnZoneDown(BZone* zone, int row, int x) override;
    void OnZoneUp(BZone* zone, int row, int x) override;
    void OnZoneDblClick(BZone* zone, int row, int x) override;
    void OnZoneDrag(BZone* zone, int row, int x, UINT keys) override;
    void SetZoneWidth(BZone* zone, int width) override;
    FileParseThread* GetDocument() override { return document; }
    BOOL PreTranslateMessage(MSG* msg) override;

    // --- The page's owner.
    FileParseThread* PageDocument() override { return document; }
    int64_t PageRangeStart() override { return vScroller.rangeStart; }

    // --- BDizaView.
    BlockSelection& Selection() override { return page_->selection; }
    void RewalkTop() override;
    void Repaint() override;
    intptr_t PaneParam() override { return reinterpret_cast<intptr_t>(this); }
    bool PageShows(const DizaLinePos& position) override;
    int RowCount() override;
    void SetTop(const DizaLinePos& position) override;
    void SetCurrentLine(const DizaLinePos& position) override;
    void SetMarkedAddress(int64_t address) override;
    bool RunArrayDialog(int elementSize, int64_t length, ArrayChoice& choice) override;
    int ColumnAt(const void* zone, int x, int y) override;
    int ColumnsWidth(HDC dc, const void* zone, const wchar_t* text, int columns) override;

    // --- Messages.
    int OnCreate(CREATESTRUCTW* cs) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnPaint() override;
    void OnKeyUp(UINT key, UINT repeat, UINT flags) override;
    BOOL OnMouseWheel(UINT flags, short delta, POINT screenPoint) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnIdleUpdateCmdUI() override;
    bool OnCmdMsg(UINT id, UINT code) override;
    LRESULT OnAttach(WPARAM attached, LPARAM document);
    LRESULT OnSegmentsChanged(WPARAM flags, LPARAM);
    LRESULT OnSelectionChanged(WPARAM extend, LPARAM);
    LRESULT OnGoto(WPARAM high, LPARAM low);
    LRESULT OnShowasItem(WPARAM, LPARAM record);
    LRESULT OnOptions(WPARAM what, LPARAM options);

    FileParseThread* document = nullptr;
    FileOncommentPane* commentPane;
    int64_t cursorAddress = -1;
    POINT pressPoint{ 0, 0 };
    DizaLinePos pressRow{ -1, 0 };   // the row pressed: a drag's block begins there
    int32_t addressDigits = 17;
    int32_t dumpCells = 16;
    HACCEL accelerators = nullptr;   // none is loaded
    CFont commentFont;               // the full-line comment rows'
    DizaBodyZoneline* bodyLine = nullptr;
    DizaCommentlineZoneline* commentLine = nullptr;
    DizaNameZoneline* nameLine = nullptr;
    DizaCommentOnlineZoneline* onlineLine = nullptr;
    DizaNullZoneline* nullLine = nullptr;
    DizaPaneFindLines findLines;

private:
    bool GuardPasses(UINT id);
    void MarkModified();
    void SelectionChanged(bool extend);
    void ApplyMaker(UINT id);
    void OnBookmarkStep(bool next);
    void OnToggleBookmark();
    void OnFindStep(bool next);
    void OnName();
    void OnForcedCode();
    void OnDumpCommand();
    void OnByteline();
    void OnComment(bool online);
    void OnRefer();
    void OnCollapse();
    bool CollapseEnabled();
    void ApplyButtonStates();
    DizaZoneline* LineForKind(uint32_t word);

    DizaPage* page_;   // owned through the vertical scroller's pager count
    bool pageGiven_ = false;
};
