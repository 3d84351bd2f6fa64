#pragma once
// Makers turn a range of a document's bytes into one made item of its address map. BMaker owns the
// transaction: the checks, the lines the new item cuts into, clearing them, the concrete maker's
// record, the edges (bytes around the item keep their kinds), an optional collapse, the views and one
// log line. A maker holds the document's file lock from construction to destruction, so a refused
// make changes nothing.
//
//   MakerDword maker(document);      // lock entered
//   maker.logWanted = false;         // plug-in callbacks write no line
//   if (maker.Make(address, 8))      // count 0xFFFFFFFF (kNoSize): no size given
//       next = maker.end;

#include "core/SectionLock.h"
#include "core/StringW.h"
#include "document/BDizaLine.h"

#include <cstdint>

class BDizaView;
class DizaMap;
class FileParseThread;

// The failure inside a make: its reason, logged by Make.
class EMaker {
public:
    explicit EMaker(const wchar_t* reason) : reason(reason) {}
    const wchar_t* reason;
};

class BMaker {
public:
    static constexpr uint32_t kNoSize = 0xFFFFFFFF;

    explicit BMaker(FileParseThread* document);
    virtual ~BMaker();
    BMaker(const BMaker&) = delete;
    BMaker& operator=(const BMaker&) = delete;

    // Sets end from start, count and run end.
    virtual void ComputeEnd() = 0;
    // Records the new item at start.
    virtual void Apply() = 0;
    // Before the closing log line; whether to write it.
    virtual bool Report() { return true; }
    // Makes at the pane's marked block or cursor, then refreshes the pane and moves to the end.
    virtual bool MakeAtCursor(BDizaView* pane);
    // The transaction; true when the item was made.
    virtual bool Make(int64_t start, uint32_t count);
    // After a make: the pane re-walks its top, its block is cleared, and it repaints at once.
    void RefreshPane(BDizaView* pane);

    const wchar_t* name = nullptr;
    FileParseThread* document;
    int64_t lineStart = -1;
    int64_t start = -1;
    int64_t end = -1;
    int64_t touchedEnd = -1;
    uint32_t count = 0;
    bool logWanted = true;
    bool collapseWanted = false;
    bool collapseClosed = false;
    DizaMap* map = nullptr;
    int64_t runEnd = -1;

protected:
    // The count of a make: the pane's block length, or kNoSize without a block.
    static uint32_t CountOfLength(int64_t length);
    void GotoEnd(BDizaView* pane);
    // The end of the segment that holds start (in memory); -1 when none.
    int64_t SegmentEnd() const;

private:
    SectionLock lock_;

protected:
    // One engine clone for the whole make: the code maker's instructions and the line searches at the
    // item's edges share it (made only when code is decoded).
    LineDecoder decoder_;
};
