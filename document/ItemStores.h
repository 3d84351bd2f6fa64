#pragma once
// What the makers, line models and walkers need of the document's other stores (collapses, names,
// comments, refers, bookmarks, find results) and of the disassembly pane. The document reaches the
// stores through `FileParseThread::itemStores` and the pane through its host (`DizaView`); without
// them the stores answer as if empty and nothing is shown.

#include "core/DizaLinePos.h"

#include <windows.h>

#include <cstdint>

class BlockSelection;
class FileParseThread;

class BItemStores {
public:
    virtual ~BItemStores() = default;

    // Collapses: the sorted list of folded and open ranges; `start` is a range's exact start.
    virtual bool IsCollapsed(int64_t start) { (void)start; return false; }
    virtual int64_t CollapseEnd(int64_t start) { (void)start; return -1; }
    // The start of the innermost collapsed range that holds the address (before it in start order), -1.
    virtual int64_t FindCollapsedContaining(int64_t address) { (void)address; return -1; }
    // The start of a collapsed range that ends exactly at the address, -1.
    virtual int64_t FindCollapsedStartByEnd(int64_t address) { (void)address; return -1; }
    // Opens every range that holds the address and does not start at it.
    virtual void ExpandAround(int64_t address) { (void)address; }
    virtual void RemoveCollapseAt(int64_t start) { (void)start; }
    virtual bool AddCollapse(int64_t start, int64_t end) { (void)start; (void)end; return false; }
    virtual void SetCollapsed(int64_t start) { (void)start; }

    // Sub-lines of an address: lines of its own-line comment, its names, lines of its on-line comment.
    virtual int CommentLineCount(int64_t address) { (void)address; return 0; }
    virtual int NameCount(int64_t address) { (void)address; return 0; }
    virtual int OnlineCommentLineCount(int64_t address) { (void)address; return 0; }

    // A maker's steps around its work: what lay in the range goes (collapses, bookmarks, refers, find
    // results); afterwards the views and the refers are brought up to date over it.
    virtual void ClearRange(int64_t start, int64_t end) { (void)start; (void)end; }
    virtual void OnRangeChanged(int64_t start, int64_t end) { (void)start; (void)end; }
    // A refers scan running over the range (scans run in place, so none is).
    virtual bool RefersScanBusy(int64_t start, int64_t end) { (void)start; (void)end; return false; }
};

// The stores of a document; an empty set when none are attached.
BItemStores& StoresOf(FileParseThread* document);

// Choices of the data-array dialog.
struct ArrayChoice {
    int itemsPerLine = 16;
    bool decimal = false;
    bool isSigned = false;
    bool closed = false;
};

// The disassembly pane as the makers, the navigator and the line models see it.
class BDizaView {
public:
    virtual ~BDizaView() = default;
    virtual BlockSelection& Selection() = 0;
    // The selection anchor, else the cursor line's address.
    virtual int64_t GetCurrentAddress() = 0;
    // The page re-walks its top line; the pane is invalidated and updated at once.
    virtual void RewalkTop() = 0;
    virtual void Repaint() = 0;
    // The lparam that names the pane in messages (0x5E11).
    virtual intptr_t PaneParam() = 0;
    // Page queries and moves for the navigator.
    // Refills the page from the stores as they are now, then tells whether a row shows the line: a comment,
    // name or continuation line by its own row, else the item row that holds the address.
    virtual bool PageShows(const DizaLinePos& position) = 0;
    virtual int RowCount() = 0;
    virtual void SetTop(const DizaLinePos& position) = 0;
    virtual void SetCursorAddress(int64_t address) = 0;
    // The cursor row goes to the page's row of that line, when the page shows it.
    virtual void SetCurrentLine(const DizaLinePos& position) = 0;
    // The file window's marked address (0x5E10); -1 clears it.
    virtual void SetMarkedAddress(int64_t address) = 0;
    // The data-array dialog; false on Cancel.
    virtual bool RunArrayDialog(int elementSize, int64_t length, ArrayChoice& choice) = 0;
    // Text columns: the column under a point of a zone, -1 when none; the width in pixels of the first
    // `columns` characters of a text drawn in a zone.
    virtual int ColumnAt(const void* zone, int x, int y) = 0;
    virtual int ColumnsWidth(HDC dc, const void* zone, const wchar_t* text, int columns) = 0;
};

// The pane of a document, null when no pane is attached.
BDizaView* ViewOf(FileParseThread* document);
