#pragma once
// The address map of one document: where each made item starts and what it is. An item runs from its
// record to the next record; unmade ranges are closed by unmade markers. Callers hold the document's
// file lock.

#include "core/TChunk.h"
#include "document/Diza.h"

#include <cstdint>
#include <vector>

class FileParseThread;
class LineDecoder;

class DizaMap {
public:
    explicit DizaMap(FileParseThread* document) : document_(document), records_(0x8000) {}
    virtual ~DizaMap() = default;
    DizaMap(const DizaMap&) = delete;
    DizaMap& operator=(const DizaMap&) = delete;

    // Adders: each builds its record and puts it.
    void AddStringItem(int64_t address, int length, int charClass);
    void AddUnicodeItem(int64_t address, int length);
    void AddBytelineItem(int64_t address, int length);   // a length above 0xFFFF adds nothing
    void AddDumpItem(int64_t address);
    void AddCodeItem(int64_t address);
    void AddForcedCodeStart(int64_t address);
    void AddDataItem(int64_t address, int elementSize, int perLine);
    void AddUnmade(int64_t address);

    // Stores the record; an unmade marker in the middle of the map is kept as it is.
    void Put(const Diza& record);
    void Insert(const Diza& record);
    // Puts records sorted by address, each as Put would, moving the map's records once.
    void PutSorted(const std::vector<Diza>& records);
    // A new segment's first record replaces whatever marker stands there; its end marker is written
    // only where no made item starts (a segment added below another must not unmake its first item).
    void PutSegmentStart(const Diza& record);
    void PutSegmentEnd(int64_t address);

    int FindFloor(int64_t address) const;
    Diza GetAt(int index) const;
    Diza NextAfter(int64_t address) const;
    Diza PrevRecord(int64_t address) const;
    void RemoveKey(int64_t address);
    void RemoveMadeRange(int64_t start, int64_t end);
    Diza ItemAt(int64_t address) const;
    // A code line's start and length are decoded with the caller's decoder when one is given.
    Diza ItemAtOrNext(int64_t address, LineDecoder* decoder = nullptr) const;
    int32_t ItemLength(int64_t address, LineDecoder* decoder = nullptr) const;
    int64_t NextItemAddress(int64_t address) const;
    int64_t PrevItemAddress(int64_t address) const;
    // For a walk's own line starts, which need no search for the start of their line: the next item
    // address after the line at `lineStart` (as NextItemAddress gives it, a code line's length decoded
    // with the walk's decoder), and the line at a line start (as ItemAtOrNext gives it).
    int64_t NextLineStart(int64_t lineStart, LineDecoder& decoder) const;
    Diza LineAtStart(int64_t lineStart) const;
    bool IsItemStart(int64_t address) const;
    int64_t RunEnd(int64_t address) const;
    int64_t ByteLineEnd(int64_t address) const;
    // A record at the address that follows a plain dump of its segment is removed, so the dump runs on
    // to the next record; collapses over the removed item go, one ending at the address is stretched.
    void UpdateByteline(int64_t address);
    bool SetItemRadix(int64_t address, uint32_t dataFormat);

    int Count() const { return records_.count; }
    void Clear();

    static constexpr Diza kMissing = { -1, 0 };

private:
    int Find(int64_t address) const { return records_.Find(Diza{ address, 0 }); }
    bool IsLast(int index) const { return index == records_.count - 1; }
    // The made record that covers the address (true), else the item after the unmade range there, or
    // the last marker, or kMissing (false).
    bool CoveringItem(int64_t address, Diza& out) const;
    // Start and length of the item line of `record` that holds `address`.
    int64_t LineStart(const Diza& record, int64_t address, LineDecoder* decoder = nullptr) const;
    int32_t LineLength(const Diza& record, int64_t lineStart, LineDecoder* decoder = nullptr) const;

    FileParseThread* document_;
    TChunkSort<Diza> records_;
};
