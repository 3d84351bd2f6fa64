#pragma once
// Cross references ("refers") of a document: (from, to) pairs found by the refers scan, their mirror of
// (to, from) pairs, and the refers list that shows the lines referring into one address span. The scan
// (ReferThread) walks the made items of a range with ReferWalk and collects its pairs, which go into
// the stores in sorted batches, so a scan costs about the same per pair however many pairs are there.
// Lock order: the document's file lock, then this store's lock, then the refers list's lock.

#include "core/SectionLock.h"
#include "document/BResultDiza.h"
#include "document/BThread.h"
#include "document/ReferPairs.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class BDecodeEngine;
class DizaMap;
class FileParseThread;
class KSegment;

class ReferStore {
public:
    explicit ReferStore(FileParseThread* document) : document_(document) {}
    ~ReferStore() = default;
    ReferStore(const ReferStore&) = delete;
    ReferStore& operator=(const ReferStore&) = delete;

    // Scans every segment's file bytes in address order and logs the time taken; out of memory ends
    // it after the segment where it happened.
    void ScanAll();
    // False when the scan ran out of memory.
    bool ScanRange(int64_t start, int64_t end);
    void AddPair(int64_t from, int64_t to);
    // Removes the pairs whose from lies in [start, end) (with their mirrors) and the list's lines there;
    // references from outside into the range stay. Returns how many went.
    int RemoveRange(int64_t start, int64_t end);
    int CountRefsTo(int64_t address, int64_t length);
    // -1 none, 0 one, 1 two to seven, 2 eight or more.
    int Classify(int64_t address, int64_t length);
    // Fills the refers list with the lines referring into [address, address + length); the line count.
    int FillResults(int64_t address, int64_t length);
    bool ClearResultsIfInRange(int64_t start, int64_t end);
    // Scans run in place, so none is ever busy when a maker asks.
    bool IsScanBusy(int64_t, int64_t) const { return false; }
    int PairCount();

    // What a running scan finds waits here until Flush merges it: pairs, and the targets of direct
    // calls, which become code items with "fn_" names. The walk of the scan treats a target ahead of
    // it as code at once (ReferWalk::MakeCode), so it reads the map as if each were made at once.
    void AddPending(int64_t from, int64_t to);
    void AddPendingCall(int64_t target);
    void Flush();
    // Flushes and frees the working room of the scan.
    void EndScan();
    // Forgets a scan's pending pairs and working room (after it ran out of memory).
    void DropScan();
    // Pairs (and call targets) a scan keeps at least before merging them; a merge moves the stores'
    // records once.
    size_t batchPairs = 1u << 20;

    CRITICAL_SECTION* Lock() { return lock_.Get(); }
    ReferPairStore& FromTo() { return fromTo_; }
    ReferPairStore& ToFrom() { return toFrom_; }
    RefersResult results;

private:
    FileParseThread* document_;
    ReferPairStore fromTo_;
    ReferPairStore toFrom_;
    void FlushCalls();

    std::vector<_REFER_PAIR> pending_;
    std::vector<_REFER_PAIR> added_;
    std::vector<int64_t> pendingCalls_;
    std::vector<int64_t> callScratch_;
    std::vector<int64_t> madeCalls_;   // call targets this scan made code, sorted
    CriticalSection lock_;
};

// The line walker of the scan: steps through a range item line by item line, keeping the covering
// record's kind and the next record's address, and decoding each instruction once.
class ReferWalk {
public:
    explicit ReferWalk(FileParseThread* document);
    ~ReferWalk();
    ReferWalk(const ReferWalk&) = delete;
    ReferWalk& operator=(const ReferWalk&) = delete;

    void Start(int64_t address);
    void Next();
    void ComputeLength();
    // A code item made at a target ahead of the walk, before the map holds it: from there on the walk
    // reads code, as it would read the map's record.
    void MakeCode(int64_t target);
    // Notes the spans of [start, end) that the map does not make code, before a walk over it.
    void FindOtherSpans(int64_t start, int64_t end);
    // The bytes of the current line (the decoded instruction's for code); null when none.
    const uint8_t* ReadBytes();

    bool HasEngine() const { return engine != nullptr; }
    // Whether the current line is an instruction that was decoded (its targets can be asked).
    bool Decoded() const { return decoded_; }

    FileParseThread* document;
    DizaMap& map;
    std::unique_ptr<BDecodeEngine> engine;
    int64_t address = -1;
    uint32_t kind = 0;
    int32_t length = 0;
    int64_t nextRecord = -1;
    std::vector<uint8_t> buffer;

private:
    // Code is decoded from a window of the segment's bytes, read once per window.
    int32_t DecodeHere();

    // Code starts made ahead of the walk (a min-heap), and the highest one the walk has passed.
    std::vector<int64_t> ahead_;
    int64_t passed_ = INT64_MIN;
    int64_t mapNext_ = -1;   // the map's own next record
    // Sorted spans [first, second) of the range that were not code when the walk began.
    std::vector<std::pair<int64_t, int64_t>> otherSpans_;

    std::vector<uint8_t> window_;
    int64_t windowStart_ = -1;
    uint32_t windowLength_ = 0;
    bool decoded_ = false;
};

class ReferThread : public BThread {
public:
    ReferThread(FileParseThread* document, int64_t start, int64_t end);
    void Run() override;

    FileParseThread* document;
    ReferStore& refers;
    int32_t addressWidth = 0;
    bool baseIsZero = false;
    int32_t bitness = 0;
    int64_t rangeStart;
    int64_t rangeEnd;
    bool starved = false;   // the scan ran out of memory

private:
    void ScanItem(ReferWalk& walk);
    // Whether a segment holds the address; the segment last found is asked first.
    bool InSegment(int64_t address);

    const KSegment* segment_ = nullptr;
};
