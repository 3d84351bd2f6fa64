#pragma once
// The find state of a document: the parameters and their history, the two find results ("Find1",
// "Find2") with their matchers, the active result pane, and the start of a find from the dialog.
// What the find needs of the file window, its panes and the find dialog comes through BFindHost.

#include "core/BStringList.h"
#include "core/StringW.h"
#include "document/BResultDiza.h"
#include "document/FindThread.h"
#include "document/PatternMatcher.h"

#include <cstdint>
#include <memory>
#include <vector>

class FileParseThread;
class FindContext;

// Control ids of the two result panes.
enum : int {
    kFind1Pane = 226,
    kFind2Pane = 227,
};

// The find dialog's history: the texts, each with the parameters it was found with.
class FindParametersList : public BStringList {
public:
    // Puts the parameters first (an entry with the same text goes); an empty text changes nothing.
    void Push(const FindParameters& parameters);
    // The parameters of entry `index`, null past the end.
    const FindParameters* ParametersAt(int index) const;

protected:
    void OnRemove(int index) override;
    // The entry's parameters become the combo box item's data.
    void AddToControl(HWND combo, int index) override;

private:
    std::vector<std::unique_ptr<FindParameters>> sets_;
};

// The file window, its panes and the find dialog as a find sees them.
class BFindHost {
public:
    virtual ~BFindHost() = default;
    // The find dialog, modal, over the context's parameters and history; false on Cancel.
    virtual bool RunDialog(FindContext& context) = 0;
    // The file window's own search text; empty when it has none.
    virtual StringW WindowSearchText() { return StringW(); }
    // The disassembly pane's block selection: its lower address and one past its end; false when none.
    virtual bool BlockSelection(int64_t& start, int64_t& end) { (void)start, (void)end; return false; }
    // The cursor address: of the dump pane for a hex find, of the disassembly cursor line otherwise.
    virtual int64_t CursorAddress(bool hex) { (void)hex; return -1; }
    // The side tab shows the result pane (kFind1Pane or kFind2Pane).
    virtual void ShowResultPane(int paneId) { (void)paneId; }
    // The old and the new active result pane are told, and their parent repaints.
    virtual void ActivePaneChanged(int oldPaneId, int newPaneId) { (void)oldPaneId, (void)newPaneId; }
    // The open dialog gets the end of a find (0x5E0F with wparam 0).
    virtual void DialogFindDone(FindResult* result) { (void)result; }
    // The texts of the display lines as the disassembly pane shows them; null: the line models' own.
    virtual BFindLines* Lines() { return nullptr; }
    // Called now and then while a job runs in place: the input that stops a find (Esc) is handled.
    virtual void PollStop() {}
};

class FindContext {
public:
    explicit FindContext(FileParseThread* document);
    virtual ~FindContext();
    FindContext(const FindContext&) = delete;
    FindContext& operator=(const FindContext&) = delete;

    // Runs the dialog and, unless it was cancelled, the find; false on Cancel.
    bool Start(BFindHost* host);
    // Steps after the dialog: history, range, result pane, the job. False when the range is empty.
    bool RunFind(BFindHost* host);
    // A new job for the parameters' mode.
    std::unique_ptr<BFindThread> NewFindThread(BFindHost* host);

    // By pane id (kFind1Pane the first, else the second) and by number (1 the first, else the second).
    FindResult* GetResult(int paneId) { return paneId == kFind1Pane ? results_[0].get() : results_[1].get(); }
    FindResult* GetResultByIndex(int number) { return number == 1 ? results_[0].get() : results_[1].get(); }

    void SetActivePane(int paneId, BFindHost* host);
    bool IsHexResultActive();
    bool IsTextResultActive();
    bool IsHexHitAt(int64_t address);
    bool HasTextHits() { return false; }
    // The end of a find (0x5E0F with wparam 0): the dialog is told, the log gets the outcome line.
    void OnFindDone(FindResult* result);
    // Sets the stop flags of both results (Escape, closing).
    void StopAll();
    // A find job of either result set is running (its document is on the stack).
    bool AnyRunning() const;

    FileParseThread* document;
    FindParameters parameters;
    FindParametersList history;
    BFindHost* openDialog = nullptr;   // the host whose dialog is shown
    int activePane = 0;                // kFind1Pane, kFind2Pane or 0

private:
    FindResult* ActiveResult();

    std::unique_ptr<PatternMatcher> matchers_[2];
    std::unique_ptr<FindResult> results_[2];
    BFindLines ownLines_;
};
