#pragma once
// Result lists: the lines a find or the refers view produced, sorted by line position, each with an
// optional text in the list's pool. FindResult adds the state of a find job, RefersResult the address
// range whose referring lines it lists.

#include "core/BMemoryCluster.h"
#include "core/DizaLinePos.h"
#include "core/SectionLock.h"
#include "core/StringW.h"
#include "core/TChunk.h"

#include <cstdint>
#include <vector>

class FileParseThread;
class ReferPairStore;
class PatternMatcher;

struct _RESULT_DIZA {
    DizaLinePos pos;
    const wchar_t* text;   // in the pool; may be null
    int32_t value;         // -1 when none
    int32_t length;        // -1 when none
};

// By address, then by the line word's kind, then (outside the item lines) by its sub-line index.
bool operator<(const _RESULT_DIZA& a, const _RESULT_DIZA& b);
bool operator==(const _RESULT_DIZA& a, const _RESULT_DIZA& b);

class BResultDiza {
public:
    BResultDiza() : pool_(0x20000, 0), results_(4096) {}
    virtual ~BResultDiza() = default;
    BResultDiza(const BResultDiza&) = delete;
    BResultDiza& operator=(const BResultDiza&) = delete;

    // Each returns the index of the result, the present one when it is there already.
    int AddHit(int64_t address, int32_t length, const wchar_t* text);
    int AddLine(const DizaLinePos& pos, const wchar_t* text);
    int AddValues(const DizaLinePos& pos, int32_t value, int32_t length, const wchar_t* text);
    // The same without an index, for adders of many results in any order (a backward find adds them
    // in falling address order): the result waits in a queue that is merged into the list at once
    // before the next read, so each result already listed moves once per merge, not once per add.
    void QueueHit(int64_t address, int32_t length, const wchar_t* text);
    void QueueValues(const DizaLinePos& pos, int32_t value, int32_t length, const wchar_t* text);
    void Clear();
    int RemoveRange(int64_t start, int64_t end);
    int Find(const DizaLinePos& pos);
    int FindAddress(int64_t address);
    bool Contains(int64_t address);
    DizaLinePos Next(int64_t address);
    DizaLinePos Prev(int64_t address);
    bool Get(const DizaLinePos& pos, _RESULT_DIZA* out);

    int Count();
    _RESULT_DIZA At(int i);
    CRITICAL_SECTION* Lock() { return lock_.Get(); }

private:
    int Add(const DizaLinePos& pos, int32_t value, int32_t length, const wchar_t* text);
    // Moves the queued results into the list (under the lock); allocates nothing.
    void MergeQueue();
    // Before a read: the queue is merged unless it can be read where it stands. A queue in strictly
    // rising or falling order that lies wholly before or after the list (a find's hits, each of which
    // selects its row as it comes) is read in place, so a backward find does not move the whole list
    // once per hit.
    void SettleQueue();
    bool QueueReadInPlace();
    // The queued result with index i in sorting order.
    const _RESULT_DIZA& Queued(int i) const;
    // Over the list and the queue read in place: the count, the number of results before the key,
    // and the result with index i.
    int AllCount() const { return results_.count + static_cast<int>(queue_.size()); }
    int AllLowerBound(const _RESULT_DIZA& key) const;
    const _RESULT_DIZA& AllAt(int i) const;
    static _RESULT_DIZA Key(int64_t address) { return _RESULT_DIZA{ { address, 0 }, nullptr, -1, -1 }; }

    HStringMemory pool_;
    TChunkSort<_RESULT_DIZA> results_;
    std::vector<_RESULT_DIZA> queue_;   // added, not yet merged; the first of equal results wins
    bool queueRising_ = true;           // each queued result sorts after the one before it
    bool queueFalling_ = true;          // each sorts before the one before it
    CriticalSection lock_;
};

// What a find searches for: the text, the find flags word and the range [start, end).
struct FindParameters {
    StringW text;
    uint32_t flags = 0;
    int64_t rangeStart = -1;
    int64_t rangeEnd = -1;
};

class FindResult : public BResultDiza {
public:
    FindResult(FileParseThread* document, int paneIndex) : document(document), paneIndex(paneIndex) {}

    void BeginJob(const FindParameters& parameters);
    void EndJob();
    void OnFound(int64_t address);
    // A find over the texts of lines (not over bytes).
    bool SearchesLines() const { return (parameters.flags & 0xF) == 0; }

    FindParameters parameters;
    int32_t runningJobs = 0;
    FileParseThread* document;
    PatternMatcher* matcher = nullptr;
    volatile uint8_t stop = 0;
    int64_t stopAddress = -1;
    int32_t elapsed = 0;     // milliseconds
    int32_t startTime = 0;
    int paneIndex;           // 0 "Find1", 1 "Find2"
};

class RefersResult : public BResultDiza {
public:
    // The line at the address, with the instruction's text for code.
    void AddRefer(FileParseThread* document, int64_t address);
    bool AddIfInRange(FileParseThread* document, int64_t from, int64_t to);
    // The lines of every (to, from) pair of the mirror store with to in [start, start + size); the
    // caller holds the document's lock, then the pair store's.
    int Fill(FileParseThread* document, int64_t start, int64_t size, ReferPairStore& mirror);
    // The same with the referring addresses already taken from the pairs.
    int FillFrom(FileParseThread* document, int64_t start, int64_t size, const std::vector<int64_t>& froms);
    bool InRange(int64_t address);

    int64_t rangeStart = -1;
    int64_t rangeEnd = -1;
};
