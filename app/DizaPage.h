#pragma once
// The page model of a file's disassembly view: which display lines are on screen (comment lines, name
// lines, the item's line and the continuation lines of its on-line comment), the cursor row, the marked
// block, and moves over the address space of the file's segments, where gaps between segments take no
// room and a folded range shows as one line. It is the pager of the view's vertical scroller; positions
// of that scroller count bytes inside segments from the lowest address. Every walk and range query
// takes the document's file lock.
//
//   page.Start(1);                         // the segments were announced
//   page.Refill(rows);                     // before each paint
//   scroller.Scroll(SB_PAGEDOWN, 0);       // moves the page's top
//   int row = page.LineOfAddress(cursor);  // -1 when not shown

#include "core/DizaLinePos.h"
#include "document/BlockSelection.h"
#include "toolkit/ScrollPager.h"

#include <cstdint>
#include <vector>

class FileParseThread;

// The pane that holds the page: its document (null while none is attached) and the lowest address it
// keeps as its scroller's range start.
class BDizaPageOwner {
public:
    virtual ~BDizaPageOwner() = default;
    virtual FileParseThread* PageDocument() = 0;
    virtual int64_t PageRangeStart() = 0;
};

class DizaPage : public BScrollPager {
public:
    explicit DizaPage(BDizaPageOwner* owner) : owner(owner) {}
    ~DizaPage() override = default;

    // Home and End: the first line of the file on row 0; the last line on the last row.
    void Top(BScrollerModel& s) override;
    void Bottom(BScrollerModel& s) override;
    // The cursor row moves; at the page's edge the page moves a line, never past the file's lines.
    int64_t LineUp(BScrollerModel& s) override;
    int64_t LineDown(BScrollerModel& s) override;
    int64_t PageUp(BScrollerModel& s) override;
    int64_t PageDown(BScrollerModel& s) override;
    // The top moves by the thumb's distance in bytes inside segments, out of folded ranges.
    void TrackTo(BScrollerModel& s, int32_t pixels) override;
    bool SetCurrent(BScrollerModel& s, int64_t position) override;
    int64_t PositionOfRow(BScrollerModel& s, int32_t row) override;
    bool IsCurrentRow(BScrollerModel& s, int32_t row) override;
    int32_t SelectionClass(BScrollerModel& s, int32_t row, const BLineSelection* selection) override;
    int64_t GetCurrent(BScrollerModel& s) override;
    // A line across the track where each segment but the last ends.
    void DrawMarks(BScrollerModel& s, HDC dc, const RECT& track, const RECT& thumb) override;
    void MoveCurrent(BScrollerModel& s, int64_t position) override;
    uint64_t RangeLength(BScrollerModel& s) override;
    void Clamp(BScrollerModel& s) override;
    int64_t GetRangeStart(BScrollerModel& s) override;
    int64_t GetRangeEnd(BScrollerModel& s) override;

    // Rebuilds the table for `rows` rows from the top; a top that no longer gives a line loses the
    // cursor ("DP emergency mode" in the file's log) until Home, End, a page step or a go-to sets it.
    void Refill(int32_t rows);
    // Whether the page shows the address (up to the segments' end when the page reaches the last line).
    bool Contains(int64_t address);
    void EnsureTopInRange(int64_t start, int64_t end);
    // The top becomes the first display line at its address again (its item was re-made).
    void RewalkTop();
    // Bytes of the item line of an item row; 0 for other rows. Taken from the fill's walk where it
    // stepped from that line to the next one in the same item; else asked of the document.
    int32_t LineQuery(int32_t row);
    // The item row that holds the address, -1 when none.
    int32_t LineOfAddress(int64_t address);
    // The row that is the same line as the position, -1 when none.
    int32_t LineOfItem(const DizaLinePos& position) const;
    // Bytes inside segments between two addresses.
    int64_t Distance(int64_t from, int64_t to);
    // The scroller position of an address, and the bytes the page spans.
    int64_t PositionOf(int64_t address);
    int64_t PageExtent();
    // Track offsets of the segment ends that DrawMarks draws.
    std::vector<int32_t> MarkOffsets(BScrollerModel& s, const RECT& track);

    // The pane's steps on its document's messages: the segments were first announced (the page starts at
    // the first line of the lowest address), or the document went.
    void Start(int32_t validFlag);
    void Detach();
    void SetTop(const DizaLinePos& position) { top = position; }
    // Entry `row` of the table (0..n, n being the line after the page); none outside it.
    const DizaLinePos& Row(int32_t row) const;
    int32_t LineCount() const { return lineCount; }

    BDizaPageOwner* owner;
    int32_t lineCount = 0;
    DizaLinePos top = kNoLine;
    DizaLinePos afterPage = kNoLine;
    int32_t currentRow = 0;
    BlockSelection selection;
    int32_t valid = 0;

private:
    // The document when it has segments, else null.
    FileParseThread* Laid();
    // The top moves `lines` lines (back when negative), never past the file's first or last line; how
    // many it moved.
    int MoveTop(int lines);

    // The length of the item line from the fill's step to `next`, when the step went by the line's
    // length (not over a folded range or unmade bytes) and the line's record is still there; else -1.
    int32_t StepLength(FileParseThread* document, const DizaLinePos& line, int64_t next);

    std::vector<DizaLinePos> table_;   // lineCount + 1 entries once filled
    std::vector<int64_t> steps_;       // per item row: the address the fill's walk stepped to, -1 none
};
