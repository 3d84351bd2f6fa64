#include "document/BResultDiza.h"

#include "decode/BDecodeEngine.h"
#include "document/BDizaLine.h"
#include "document/ChunkMerge.h"
#include "document/Diza.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "document/HTimemeter.h"
#include "document/ReferPairs.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace {

uint32_t LineKind(uint32_t word) { return word >> diza::kKindShift; }

// Queued results wait until this many are queued, or as many as the list holds: every merge moves
// the listed results at most once, so a long run of adds costs linear time.
constexpr size_t kQueueMinimum = 0x10000;

}  // namespace

bool operator<(const _RESULT_DIZA& a, const _RESULT_DIZA& b) {
    if (a.pos.address != b.pos.address)
        return a.pos.address < b.pos.address;
    if (LineKind(a.pos.line) != LineKind(b.pos.line))
        return LineKind(a.pos.line) < LineKind(b.pos.line);
    if (diza::IsItemLine(a.pos.line))
        return false;
    return (a.pos.line & diza::kLineIndexMask) < (b.pos.line & diza::kLineIndexMask);
}

bool operator==(const _RESULT_DIZA& a, const _RESULT_DIZA& b) { return !(a < b) && !(b < a); }

int BResultDiza::Add(const DizaLinePos& pos, int32_t value, int32_t length, const wchar_t* text) {
    SectionLock lock(lock_.Get());
    MergeQueue();
    _RESULT_DIZA record = { pos, nullptr, value, length };
    const int i = results_.Find(record);
    if (i >= 0)
        return i;
    if (text)
        record.text = pool_.AddString(text);
    results_.OpenGap(~i, 1);
    results_[~i] = record;
    return ~i;
}

int BResultDiza::AddHit(int64_t address, int32_t length, const wchar_t* text) {
    return Add(DizaLinePos{ address, 0 }, -1, length, text);
}

int BResultDiza::AddLine(const DizaLinePos& pos, const wchar_t* text) { return Add(pos, -1, -1, text); }

int BResultDiza::AddValues(const DizaLinePos& pos, int32_t value, int32_t length, const wchar_t* text) {
    return Add(pos, value, length, text);
}

void BResultDiza::QueueHit(int64_t address, int32_t length, const wchar_t* text) {
    QueueValues(DizaLinePos{ address, 0 }, -1, length, text);
}

void BResultDiza::QueueValues(const DizaLinePos& pos, int32_t value, int32_t length, const wchar_t* text) {
    SectionLock lock(lock_.Get());
    // Room for every queued result is taken now, so that the merge (run by readers) cannot fail.
    if (queue_.size() >= static_cast<size_t>(std::numeric_limits<int>::max() - results_.count))
        throw std::bad_alloc();
    results_.Reserve(results_.count + static_cast<int>(queue_.size()));
    const _RESULT_DIZA record = { pos, text ? pool_.AddString(text) : nullptr, value, length };
    if (!queue_.empty()) {
        queueRising_ = queueRising_ && queue_.back() < record;
        queueFalling_ = queueFalling_ && record < queue_.back();
    }
    queue_.push_back(record);
    if (queue_.size() >= std::max(kQueueMinimum, static_cast<size_t>(results_.count)))
        MergeQueue();
}

void BResultDiza::MergeQueue() {
    if (queue_.empty())
        return;
    auto less = [](const _RESULT_DIZA& a, const _RESULT_DIZA& b) { return a < b; };
    // Falling order (a backward find) turns round; any other order is sorted keeping equal results in
    // the order they came, so the first of them stays.
    if (std::adjacent_find(queue_.begin(), queue_.end(), [](const _RESULT_DIZA& a, const _RESULT_DIZA& b) {
            return !(b < a);
        }) == queue_.end())
        std::reverse(queue_.begin(), queue_.end());
    else if (!std::is_sorted(queue_.begin(), queue_.end(), less))
        std::stable_sort(queue_.begin(), queue_.end(), less);
    // A queue wholly after or before the list (a find forward or backward) holds nothing listed.
    const bool apart = results_.count == 0 || results_[results_.count - 1] < queue_.front() ||
                       queue_.back() < results_[0];
    size_t kept = 0;
    for (size_t i = 0; i < queue_.size(); ++i) {
        if ((kept > 0 && queue_[kept - 1] == queue_[i]) || (!apart && results_.Find(queue_[i]) >= 0))
            continue;
        queue_[kept++] = queue_[i];
    }
    queue_.resize(kept);
    MergeIntoSorted(results_, queue_, less);
    queue_.clear();
    queueRising_ = queueFalling_ = true;
}

const _RESULT_DIZA& BResultDiza::Queued(int i) const {
    return queueFalling_ && !queueRising_ ? queue_[queue_.size() - 1 - static_cast<size_t>(i)]
                                          : queue_[static_cast<size_t>(i)];
}

bool BResultDiza::QueueReadInPlace() {
    if (queue_.empty())
        return true;
    if (!queueRising_ && !queueFalling_)
        return false;
    const int n = static_cast<int>(queue_.size());
    return results_.count == 0 || results_[results_.count - 1] < Queued(0) || Queued(n - 1) < results_[0];
}

void BResultDiza::SettleQueue() {
    if (!QueueReadInPlace())
        MergeQueue();
}

int BResultDiza::AllLowerBound(const _RESULT_DIZA& key) const {
    int low = 0, high = static_cast<int>(queue_.size());
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (Queued(middle) < key)
            low = middle + 1;
        else
            high = middle;
    }
    const int listed = results_.Find(key);
    return (listed >= 0 ? listed : ~listed) + low;
}

const _RESULT_DIZA& BResultDiza::AllAt(int i) const {
    const int n = static_cast<int>(queue_.size());
    const bool queueFirst = n > 0 && results_.count > 0 && Queued(n - 1) < results_[0];
    if (queueFirst)
        return i < n ? Queued(i) : results_[i - n];
    return i < results_.count ? results_[i] : Queued(i - results_.count);
}

void BResultDiza::Clear() {
    SectionLock lock(lock_.Get());
    results_.count = 0;
    std::vector<_RESULT_DIZA>().swap(queue_);
    queueRising_ = queueFalling_ = true;
    pool_.Reset();
}

int BResultDiza::RemoveRange(int64_t start, int64_t end) {
    SectionLock lock(lock_.Get());
    MergeQueue();
    if (end <= start)
        return 0;
    const int a = results_.LowerBound(Key(start));
    return results_.Erase(a, results_.LowerBound(Key(end)) - a);
}

int BResultDiza::Find(const DizaLinePos& pos) {
    SectionLock lock(lock_.Get());
    SettleQueue();
    const _RESULT_DIZA key{ pos, nullptr, -1, -1 };
    const int i = AllLowerBound(key);
    return i < AllCount() && AllAt(i) == key ? i : ~i;
}

int BResultDiza::FindAddress(int64_t address) {
    SectionLock lock(lock_.Get());
    SettleQueue();
    const _RESULT_DIZA key = Key(address);
    const int i = AllLowerBound(key);
    // The result with line word 0 at the address, else the next one when it has that address.
    if (i < AllCount() && (AllAt(i) == key || AllAt(i).pos.address == address))
        return i;
    return ~i;
}

bool BResultDiza::Contains(int64_t address) {
    SectionLock lock(lock_.Get());
    SettleQueue();
    const int i = (address == std::numeric_limits<int64_t>::max() ? AllCount() : AllLowerBound(Key(address + 1))) - 1;
    if (i < 0)
        return false;
    const _RESULT_DIZA& r = AllAt(i);
    return r.length != -1 && r.length > 0 &&
           static_cast<uint64_t>(address) - static_cast<uint64_t>(r.pos.address) < static_cast<uint64_t>(r.length);
}

DizaLinePos BResultDiza::Next(int64_t address) {
    SectionLock lock(lock_.Get());
    SettleQueue();
    if (address == std::numeric_limits<int64_t>::max())
        return DizaLinePos{ -1, 0 };
    const int i = AllLowerBound(Key(address + 1));
    return i < AllCount() ? AllAt(i).pos : DizaLinePos{ -1, 0 };
}

DizaLinePos BResultDiza::Prev(int64_t address) {
    SectionLock lock(lock_.Get());
    SettleQueue();
    const int i = AllLowerBound(Key(address)) - 1;
    return i >= 0 ? AllAt(i).pos : DizaLinePos{ -1, 0 };
}

bool BResultDiza::Get(const DizaLinePos& pos, _RESULT_DIZA* out) {
    SectionLock lock(lock_.Get());
    SettleQueue();
    const _RESULT_DIZA key{ pos, nullptr, -1, -1 };
    const int i = AllLowerBound(key);
    if (i >= AllCount() || !(AllAt(i) == key))
        return false;
    *out = AllAt(i);
    return true;
}

int BResultDiza::Count() {
    SectionLock lock(lock_.Get());
    SettleQueue();
    return AllCount();
}

_RESULT_DIZA BResultDiza::At(int i) {
    SectionLock lock(lock_.Get());
    SettleQueue();
    return i >= 0 && i < AllCount() ? AllAt(i) : _RESULT_DIZA{ { -1, 0 }, nullptr, -1, -1 };
}

void FindResult::BeginJob(const FindParameters& p) {
    bool first = false;
    {
        SectionLock lock(Lock());
        first = runningJobs++ == 0;
        if (first) {
            stop = 0;
            stopAddress = -1;
            parameters = p;
            elapsed = 0;
            startTime = MeterTicks();
            Clear();
        }
    }
    if (first && document) {
        if (document->Host())
            document->Host()->EmptyResultPane(paneIndex);
        document->NotifyWindows(kMsgFindJob, 1, reinterpret_cast<intptr_t>(this), true);
    }
}

void FindResult::EndJob() {
    bool last = false;
    {
        SectionLock lock(Lock());
        last = runningJobs-- == 1;
        if (last) {
            elapsed = MeterTicks() - startTime;
            startTime = 0;
        }
    }
    if (last && document)
        document->NotifyWindows(kMsgFindJob, 0, reinterpret_cast<intptr_t>(this), true);
}

void FindResult::OnFound(int64_t address) {
    if (document && document->Host())
        document->Host()->OnResultFound(paneIndex, address);
}

namespace {

// The line of a referring address: its item's kind word, and for code the instruction's text. The
// caller holds the document's lock.
uint32_t ReferLine(FileParseThread* document, BDecodeEngine* engine, int64_t address, StringW& text) {
    const Diza item = document->Map().ItemAt(address);
    text.clear();
    if (diza::KindOf(item.kind) == diza::kCode && engine) {
        engine->DecodeAt(address);
        text.SetText(engine->GetText());
    }
    return item.kind;
}

}  // namespace

void RefersResult::AddRefer(FileParseThread* document, int64_t address) {
    SectionLock fileLock(document->FileLock());
    EngineHolder engine(document);
    StringW text;
    const uint32_t kind = ReferLine(document, engine.Get(), address, text);
    AddLine(DizaLinePos{ address, kind }, text.empty() ? nullptr : text.c_str());
}

bool RefersResult::InRange(int64_t address) {
    SectionLock lock(Lock());
    return rangeStart != -1 && address >= rangeStart && address < rangeEnd;
}

bool RefersResult::AddIfInRange(FileParseThread* document, int64_t from, int64_t to) {
    if (!InRange(to))
        return false;
    AddRefer(document, from);
    if (document->Host())
        document->Host()->RepaintRefers();
    return true;
}

int RefersResult::Fill(FileParseThread* document, int64_t start, int64_t size, ReferPairStore& mirror) {
    std::vector<int64_t> froms;
    if (start != -1) {
        const int64_t end = size > std::numeric_limits<int64_t>::max() - start ? std::numeric_limits<int64_t>::max()
                                                                              : start + std::max<int64_t>(size, 0);
        for (int i = mirror.LowerBound(start); i < mirror.count && mirror[i].first < end; ++i)
            froms.push_back(mirror[i].second);
    }
    return FillFrom(document, start, size, froms);
}

int RefersResult::FillFrom(FileParseThread* document, int64_t start, int64_t size, const std::vector<int64_t>& froms) {
    Clear();
    if (document->Host())
        document->Host()->EmptyRefersPane();
    {
        SectionLock lock(Lock());
        rangeStart = start;
        rangeEnd = start == -1 ? -1
                               : (size > std::numeric_limits<int64_t>::max() - start ? std::numeric_limits<int64_t>::max()
                                                                                      : start + std::max<int64_t>(size, 0));
    }
    if (start == -1)
        return 0;
    // The lines come in the pairs' order (by target): queued, then merged once.
    SectionLock fileLock(document->FileLock());
    EngineHolder engine(document);
    StringW text;
    for (int64_t from : froms) {
        const uint32_t kind = ReferLine(document, engine.Get(), from, text);
        QueueValues(DizaLinePos{ from, kind }, -1, -1, text.empty() ? nullptr : text.c_str());
    }
    return Count();
}
