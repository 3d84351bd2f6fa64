#pragma once
// What a document needs from the world around it. The file window implements the host, the log panes
// implement the sinks and the file tabber the directory; tests put recording fakes in their place, so
// the document runs without any window.

#include <cstdint>

class BDizaView;
class FileParseThread;

// Private window messages the document sends.
enum : uint32_t {
    kMsgAttach = 0x5E08,           // wparam 1 attach, 0 detach; lparam the document
    kMsgSegmentsChanged = 0x5E09,  // wparam flags below; lparam the document
    kMsgParsing = 0x5E0B,          // wparam 1 started, 0 all parsers finished; lparam the document
    kMsgParserDone = 0x5E0C,       // wparam parser index; lparam the document
    kMsgRefersScan = 0x5E0D,       // wparam 1 a range's refers scan started, 0 ended; lparam 0
    kMsgStringScan = 0x5E0E,       // wparam 1 the string scan started, 0 ended; lparam 0
    kMsgFindJob = 0x5E0F,          // wparam 1 a find result's job began, 0 ended; lparam the result
    kMsgSelectionChanged = 0x5E11, // wparam 1 the selection's end follows the row, 0 cleared; lparam the pane
    kMsgGoto = 0x5E13,             // to the disassembly pane: wparam the high half, lparam the low half
};

// wparam bits of kMsgSegmentsChanged.
enum : uint32_t {
    kSegmentsChanged = 0x1,
    kSegmentsWiderAddress = 0x40000000,  // the address text width grew
    kSegmentsFirst = 0x80000000,         // the map holds exactly one segment
};

class BDocumentHost {
public:
    virtual ~BDocumentHost() = default;
    // A new document belongs to this window, whose control id becomes the document's file id.
    virtual void AttachDocument(FileParseThread* document, int32_t fileId) = 0;
    // Sends (or, off the user-interface thread, posts) a message to the file window and all its
    // descendants; window first or last. The result is the file window's answer when it comes last.
    virtual intptr_t NotifyWindows(uint32_t message, uintptr_t wparam, intptr_t lparam, bool windowFirst) = 0;
    // SendNotifyMessageW to the file window alone.
    virtual void SendNotify(uint32_t message, uintptr_t wparam, intptr_t lparam) = 0;
    // SendNotifyMessageW to the file window's disassembly pane (kMsgGoto); nothing without the pane.
    virtual void SendNotifyDizaPane(uint32_t message, uintptr_t wparam, intptr_t lparam) {
        (void)message, (void)wparam, (void)lparam;
    }
    // PostMessageW to the file window alone.
    virtual void Post(uint32_t message, uintptr_t wparam, intptr_t lparam) = 0;
    // The tab caption becomes the document's file name.
    virtual void UpdateTabTitle() = 0;
    // The parent pane is laid out again and repainted at once.
    virtual void Relayout() = 0;
    // The side tab of lists repaints (the names list shows its count).
    virtual void RepaintSideTabs() = 0;
    // Closing: the disassembly pane is disabled and the window's parse state flags cleared.
    virtual void OnClosing() = 0;
    // The cancel question: close an open one.
    virtual void CloseCancelQuestion() = 0;
    // The file's status bar shows a log text, highlighted for the UI option "StatusbarHighlightTimer".
    virtual void ShowInStatusBar(const wchar_t* text) { (void)text; }
    // The parse pop-up shows a stage.
    virtual void ShowProgress(const wchar_t* stage) = 0;
    // Dispatches every pending window message (may close the tab and delete the document).
    virtual void PumpMessages() = 0;
    // Whether the comment pane is shown beside the disassembly.
    virtual bool CommentPaneVisible() = 0;
    // The disassembly pane as makers, walkers and line models see it; null while none is shown.
    virtual BDizaView* DizaView() { return nullptr; }

    // The panes that show the stores; a host without them keeps these empty bodies.
    virtual void RepaintBookmarks() {}
    virtual void RepaintRefers() {}
    virtual void EmptyRefersPane() {}
    // Find result panes by their index (0 "Find1", 1 "Find2").
    virtual void EmptyResultPane(int index) { (void)index; }
    virtual void RepaintResultPane(int index) { (void)index; }
    // A find hit: the pane holder repaints and, showing that pane, the page goes to the address.
    virtual void OnResultFound(int index, int64_t address) { (void)index, (void)address; }
    // The disassembly pane repaints when its page shows the address; whether it did.
    virtual bool RedrawIfShown(int64_t address) { (void)address; return false; }
    // The disassembly page reads the range again after a make.
    virtual void ReloadRange(int64_t start, int64_t end) { (void)start, (void)end; }
};

// A log that takes whole lines; a line may continue the last one.
class BLogSink {
public:
    virtual ~BLogSink() = default;
    virtual void AddLine(const wchar_t* text, bool continuation) = 0;
};

// The open documents, found by file id (the file tabber's list).
class BFileDirectory {
public:
    virtual ~BFileDirectory() = default;
    virtual FileParseThread* FindFileById(int32_t id) = 0;
};

// The process-wide directory and main log; null until the application (or a test) sets them.
void SetFileDirectory(BFileDirectory* directory);
FileParseThread* FindFileById(int32_t id);
void SetMainLog(BLogSink* log);
void MainLogLine(const wchar_t* text);
void MainLogAppend(const wchar_t* text);
