#pragma once
// Walkers step through the display lines of a document: the comment and name lines of each item, its
// own line, the continuation lines of its on-line comment, item after item. DizaWalk jumps over folded
// ranges. BDizaWalk and DizaWalk hold the document's file lock for their whole life; BBDizaWalk is for
// callers that hold it already.
//
//   DizaWalk walk(document);
//   walk.SetAddress(address);
//   for (int i = 0; i < rows && walk.IsLine(); ++i, walk.NextLine()) show(walk.current);

#include "core/DizaLinePos.h"
#include "core/SectionLock.h"
#include "document/BlockSelection.h"
#include "document/DizaLineModels.h"

#include <cstdint>
#include <vector>

class FileParseThread;

// The display lines of one address, by kind: 1 comment lines, 2 name lines, the item's own line, 15
// continuation lines of its on-line comment.
class DizaSubLines {
public:
    void Init(FileParseThread* document, int64_t address, uint32_t itemKind);
    uint32_t First() const;
    uint32_t Last() const;
    // The line after or before `word` at this address; false when there is none.
    bool Next(uint32_t& word) const;
    bool Prev(uint32_t& word) const;
    // Whether a sub-line word's index lies within its kind's count.
    bool Holds(uint32_t word) const;

    uint8_t counts[16] = {};
    int32_t lines = 0;
    int64_t address = -1;
    uint32_t kind = 0;

private:
    uint32_t WordOfKind(uint32_t k, int index) const;
};

class BBDizaWalk {
public:
    explicit BBDizaWalk(FileParseThread* document) : document(document), models(document) {}
    virtual ~BBDizaWalk() = default;
    BBDizaWalk(const BBDizaWalk&) = delete;
    BBDizaWalk& operator=(const BBDizaWalk&) = delete;

    // Addresses of the items before and after the current one; -1 when none.
    virtual int64_t PrevItem();
    virtual int64_t NextItem();

    // The first display line of the item at the address.
    void SetAddress(int64_t address);
    // The item's own line.
    void SetItemAddress(int64_t address);
    // A body line as given; a sub-line when it exists at the item, else the item's first line.
    void SetPosition(const DizaLinePos& position);

    bool NextLine();
    bool PrevLine();
    // n lines on or back (a negative n the other way), stopping at the first or last line; the number
    // of lines moved.
    int StepForward(int n);
    int StepBack(int n);

    bool IsLine() const { return current.line >= 0x10000000; }
    bool AtEnd() const { return current.address == -1 && current.line == 0; }

    FileParseThread* document;
    DizaLinePos current = { 0, 0 };
    DizaSubLines subLines;
    // Line models for the lines walked over; the code model shares the walk's decoder, so a step and
    // the text of a code line decode its instruction once.
    DizaLineModels models;

private:
    // The item (line start and kind word) at the address and its sub-lines; `lineStart` when the
    // address is known to start a line (a walk's own step), so its line's start is not searched.
    void LoadItem(int64_t address, bool lineStart = false);

    // The previous line inside a run of code from the instruction starts of one forward decode; -1 when
    // the map answers at no cost (another kind, an item's first line) or there is no engine.
    int64_t PrevInCode(int64_t address);

    bool atLineStart_ = false;    // current.address starts its line (a walk reached it, not a caller)
    int64_t stepStart_ = -1;      // the line start that the last step of this class gave (-1: none)
    // Instruction starts of one code item decoded forward, for the steps back through it: the starts
    // below `trusted` may still be out of step with the item's own decode and are not used.
    struct BackStarts {
        int64_t item = -1;
        int64_t trusted = 0;
        int64_t end = 0;   // the starts cover the addresses below it
        std::vector<int64_t> starts;
    } back_;
    // n steps one way; a step that would leave the lines is undone and ends the stepping.
    int Steps(int n, bool forward);
};

class BDizaWalk : public BBDizaWalk {
public:
    explicit BDizaWalk(FileParseThread* document);

private:
    SectionLock lock_;
};

// Folded ranges count as one line: the walk goes from a folded range's start to its end.
class DizaWalk : public BDizaWalk {
public:
    using BDizaWalk::BDizaWalk;
    int64_t PrevItem() override;
    int64_t NextItem() override;
};
