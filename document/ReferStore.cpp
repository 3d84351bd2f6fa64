#include "document/ReferStore.h"

#include "decode/BDecodeEngine.h"
#include "document/Diza.h"
#include "document/DizaMap.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "document/HTimemeter.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <limits>
#include <new>

namespace {

constexpr size_t kInitialBuffer = 32768;
constexpr uint32_t kWindow = 65536;
constexpr uint32_t kLongestInsn = 16;

int64_t SpanEnd(int64_t start, int64_t length) {
    if (length <= 0)
        return start;
    return length > std::numeric_limits<int64_t>::max() - start ? std::numeric_limits<int64_t>::max() : start + length;
}

}  // namespace

void ReferStore::ScanAll() {
    HTimemeter meter;
    meter.Start();
    for (int i = 0;; ++i) {
        int64_t start = 0, end = 0;
        {
            SectionLock lock(document_->FileLock());
            if (i >= document_->Segments().Count())
                break;
            const KSegment* s = document_->Segments().Get(i);
            start = s->address;
            end = s->address + s->sizeInFile;
        }
        if (document_->closing || !ScanRange(start, end))
            break;
    }
    meter.Stop();
    document_->Log().Print(L"Refers scan is finished in %s", meter.ElapsedText());
}

bool ReferStore::ScanRange(int64_t start, int64_t end) {
    ReferThread job(document_, start, end);
    job.Run();
    return !job.starved;
}

void ReferStore::AddPair(int64_t from, int64_t to) {
    bool added = false;
    {
        SectionLock lock(lock_.Get());
        if (fromTo_.Find(_REFER_PAIR{ from, to }) < 0) {
            fromTo_.Add(from, to);
            added = true;
        }
        toFrom_.Add(to, from);
    }
    if (!added)
        return;
    results.AddIfInRange(document_, from, to);
    if (document_->Host())
        document_->Host()->RedrawIfShown(to);
}

void ReferStore::AddPending(int64_t from, int64_t to) {
    pending_.push_back(_REFER_PAIR{ from, to });
    // The walk gives ascending froms; the targets of one instruction are put in order here.
    const size_t n = pending_.size();
    if (n > 1 && pending_[n - 1] < pending_[n - 2])
        std::swap(pending_[n - 1], pending_[n - 2]);
    // Batches grow with the stores, so each pair is moved a bounded number of times in all.
    if (pending_.size() >= std::max(batchPairs, static_cast<size_t>(fromTo_.count)))
        Flush();
}

void ReferStore::AddPendingCall(int64_t target) {
    pendingCalls_.push_back(target);
    if (pendingCalls_.size() >= batchPairs)
        FlushCalls();
}

void ReferStore::FlushCalls() {
    if (pendingCalls_.empty())
        return;
    SortStableBy(pendingCalls_, callScratch_, [](int64_t t) { return t; });
    pendingCalls_.erase(std::unique(pendingCalls_.begin(), pendingCalls_.end()), pendingCalls_.end());
    // A target made before in this scan needs nothing more.
    std::vector<int64_t>& targets = callScratch_;
    targets.clear();
    std::set_difference(pendingCalls_.begin(), pendingCalls_.end(), madeCalls_.begin(), madeCalls_.end(),
                        std::back_inserter(targets));
    pendingCalls_.clear();
    const size_t made = madeCalls_.size();
    madeCalls_.insert(madeCalls_.end(), targets.begin(), targets.end());
    std::inplace_merge(madeCalls_.begin(), madeCalls_.begin() + static_cast<ptrdiff_t>(made), madeCalls_.end());
    if (targets.empty())
        return;
    SectionLock fileLock(document_->FileLock());
    const uint32_t code = diza::CodeWord(document_->GetBitness());
    std::vector<Diza> items;
    std::vector<std::pair<int64_t, StringW>> names;
    items.reserve(targets.size());
    names.reserve(targets.size());
    for (int64_t target : targets) {
        items.push_back(Diza{ target, code });
        names.emplace_back(target, document_->AddressText(target));
        names.back().second.insert(0, L"fn_");
    }
    document_->Map().PutSorted(items);
    const size_t added = document_->stores.names.AddMany(names, 'F').size();
    for (size_t i = 0; i < added; ++i)
        document_->CountNewName();
}

void ReferStore::Flush() {
    FlushCalls();
    if (pending_.empty())
        return;
    // A walk finds its pairs in address order: only the two targets of one instruction may be out of
    // order.
    if (!std::is_sorted(pending_.begin(), pending_.end()))
        std::sort(pending_.begin(), pending_.end());
    added_.clear();
    added_.reserve(pending_.size());
    {
        SectionLock lock(lock_.Get());
        fromTo_.MergeSorted(pending_, &added_);
        // The new pairs, sorted by from, turn into their mirrors: a stable sort by to orders them.
        for (_REFER_PAIR& p : added_)
            std::swap(p.first, p.second);
        SortStableBy(added_, pending_, [](const _REFER_PAIR& p) { return p.first; });
        toFrom_.MergeFresh(added_);
    }
    pending_.clear();
    // The list and the window only hear of pairs that are new.
    int64_t shown = -1;
    {
        SectionLock lock(results.Lock());
        shown = results.rangeStart;
    }
    BDocumentHost* host = document_->Host();
    for (size_t i = 0; i < added_.size(); ++i) {   // (to, from), sorted
        const _REFER_PAIR& p = added_[i];
        if (shown != -1)
            results.AddIfInRange(document_, p.second, p.first);
        if (host && (i == 0 || added_[i - 1].first != p.first))
            host->RedrawIfShown(p.first);
    }
}

void ReferStore::EndScan() {
    Flush();
    DropScan();
}

void ReferStore::DropScan() {
    // The working room of a scan goes with it.
    std::vector<int64_t>().swap(pendingCalls_);
    std::vector<int64_t>().swap(callScratch_);
    std::vector<int64_t>().swap(madeCalls_);
    std::vector<_REFER_PAIR>().swap(pending_);
    std::vector<_REFER_PAIR>().swap(added_);
}

int ReferStore::RemoveRange(int64_t start, int64_t end) {
    SectionLock lock(lock_.Get());
    const int pairs = fromTo_.RemoveRange(start, end, toFrom_);
    return pairs + results.RemoveRange(start, end);
}

int ReferStore::CountRefsTo(int64_t address, int64_t length) {
    SectionLock lock(lock_.Get());
    return toFrom_.CountFrom(address, length);
}

int ReferStore::Classify(int64_t address, int64_t length) {
    const int n = CountRefsTo(address, length);
    return n == 0 ? -1 : n == 1 ? 0 : n < 8 ? 1 : 2;
}

int ReferStore::FillResults(int64_t address, int64_t length) {
    SectionLock fileLock(document_->FileLock());
    std::vector<int64_t> froms;
    if (address != -1) {
        SectionLock lock(lock_.Get());
        const int64_t end = SpanEnd(address, length);
        for (int i = toFrom_.LowerBound(address); i < toFrom_.count && toFrom_[i].first < end; ++i)
            froms.push_back(toFrom_[i].second);
    }
    return results.FillFrom(document_, address, length, froms);
}

bool ReferStore::ClearResultsIfInRange(int64_t start, int64_t end) {
    int64_t shown = -1, shownEnd = -1;
    {
        SectionLock lock(results.Lock());
        shown = results.rangeStart;
        shownEnd = results.rangeEnd;
    }
    if (shown == -1 || shown < start || shown >= end)
        return false;
    FillResults(shown, shownEnd - shown);
    return true;
}

int ReferStore::PairCount() {
    SectionLock lock(lock_.Get());
    return fromTo_.count;
}

ReferWalk::ReferWalk(FileParseThread* document) : document(document), map(document->Map()) {
    if (document->Engine())
        engine = document->Engine()->Clone();
    buffer.resize(kInitialBuffer);
}

ReferWalk::~ReferWalk() = default;

void ReferWalk::Start(int64_t at) {
    while (!ahead_.empty() && ahead_.front() <= at) {
        passed_ = std::max(passed_, ahead_.front());
        std::pop_heap(ahead_.begin(), ahead_.end(), std::greater<int64_t>());
        ahead_.pop_back();
    }
    const int i = map.FindFloor(at);
    const Diza floor = map.GetAt(i);
    kind = i >= 0 ? floor.kind : diza::kUnmade;
    // A code start made above the map's record covers the address; one made at the record gives it the
    // code kind, except to an unmade marker inside the map.
    if (passed_ != INT64_MIN &&
        (i < 0 || passed_ > floor.address ||
         (passed_ == floor.address && (!diza::IsUnmade(kind) || i + 1 == map.Count()))))
        kind = diza::CodeWord(document->GetBitness());
    address = at;
    mapNext_ = i + 1 < map.Count() ? map.GetAt(i + 1).address : -1;
    nextRecord = mapNext_;
    if (!ahead_.empty() && (nextRecord == -1 || ahead_.front() < nextRecord))
        nextRecord = ahead_.front();
    ComputeLength();
}

void ReferWalk::MakeCode(int64_t target) {
    // Code made inside code changes nothing the walk reads; the spans of other kinds only shrink while
    // the walk goes on (the scan makes nothing but code).
    const auto after = std::upper_bound(otherSpans_.begin(), otherSpans_.end(), target,
                                        [](int64_t t, const std::pair<int64_t, int64_t>& span) { return t < span.first; });
    if (after == otherSpans_.begin() || target >= std::prev(after)->second)
        return;
    ahead_.push_back(target);
    std::push_heap(ahead_.begin(), ahead_.end(), std::greater<int64_t>());
}

void ReferWalk::FindOtherSpans(int64_t start, int64_t end) {
    otherSpans_.clear();
    int i = map.FindFloor(start);
    int64_t at = start;
    if (i < 0) {
        // Before the first record nothing is made.
        const int64_t first = map.Count() > 0 ? std::min(map.GetAt(0).address, end) : end;
        if (first > start)
            otherSpans_.push_back({ start, first });
        at = first;
        i = 0;
    }
    for (; i < map.Count() && at < end; ++i) {
        const Diza record = map.GetAt(i);
        const int64_t next = i + 1 < map.Count() ? std::min(map.GetAt(i + 1).address, end) : end;
        if (diza::KindOf(record.kind) != diza::kCode || diza::IsUnmade(record.kind)) {
            if (!otherSpans_.empty() && otherSpans_.back().second == at)
                otherSpans_.back().second = next;
            else if (next > at)
                otherSpans_.push_back({ at, next });
        }
        at = next;
    }
}

void ReferWalk::Next() {
    if (length <= 0) {
        // An unmade record, or an item that has no length: go on at the next record.
        if (nextRecord == -1 || nextRecord <= address) {
            address = std::numeric_limits<int64_t>::max();
            return;
        }
        Start(nextRecord);
        return;
    }
    address += length;
    if (nextRecord == -1 || address < nextRecord)
        ComputeLength();
    else
        Start(address);
}

void ReferWalk::ComputeLength() {
    if (diza::IsUnmade(kind)) {
        length = 0;
    } else if (diza::KindOf(kind) == diza::kCode) {
        length = engine ? DecodeHere() : 0;
    } else {
        SectionLock lock(document->FileLock());
        length = map.ItemLength(address);
        // A code start made ahead ends the item's line there, as the map cuts a line at its next record.
        if (nextRecord != mapNext_) {
            const int64_t lineStart = map.ItemAtOrNext(address).address;
            if (lineStart + length > nextRecord)
                length = static_cast<int32_t>(nextRecord - lineStart);
        }
    }
}

int32_t ReferWalk::DecodeHere() {
    uint64_t offset = static_cast<uint64_t>(address) - static_cast<uint64_t>(windowStart_);
    const bool inside = windowStart_ != -1 && address >= windowStart_ && offset < windowLength_;
    // A window that was read short ends where the readable bytes end: no refill helps there.
    if (!inside || (offset + kLongestInsn > windowLength_ && windowLength_ == kWindow)) {
        if (window_.empty())
            window_.resize(kWindow);
        windowStart_ = address;
        windowLength_ = document->ReadBytes(address, static_cast<void*>(window_.data()), kWindow);
        offset = 0;
    }
    decoded_ = offset < windowLength_;
    if (!decoded_)
        return 1;   // nothing readable: one byte, no instruction
    return static_cast<int32_t>(engine->DecodeBytes(address, window_.data() + offset, windowLength_ - offset));
}

const uint8_t* ReferWalk::ReadBytes() {
    if (length <= 0)
        return nullptr;
    if (diza::KindOf(kind) == diza::kCode && engine && decoded_)
        return window_.data() + (address - windowStart_);
    if (static_cast<size_t>(length) > buffer.size())
        buffer.resize((static_cast<size_t>(length) + 4095) / 4096 * 4096);
    const uint32_t got = document->ReadBytes(address, static_cast<void*>(buffer.data()), static_cast<uint32_t>(length));
    std::fill(buffer.begin() + got, buffer.begin() + length, 0);
    return buffer.data();
}

ReferThread::ReferThread(FileParseThread* document, int64_t start, int64_t end)
    : document(document), refers(document->stores.refers), rangeStart(start), rangeEnd(end) {}

void ReferThread::Run() {
    HTimemeterScope scope(L"ReferThread");
    addressWidth = document->addressWidth;
    baseIsZero = document->ImageBase() == 0;
    bitness = document->GetBitness();
    ReferWalk walk(document);
    SectionLock lock(document->FileLock());
    if (!walk.HasEngine())
        return;
    document->NotifyWindows(kMsgRefersScan, 1, 0, true);
    try {
        walk.FindOtherSpans(rangeStart, rangeEnd);
        walk.Start(rangeStart);
        while (!document->closing && walk.address < rangeEnd) {
            ScanItem(walk);
            walk.Next();
        }
        refers.EndScan();
    } catch (const std::bad_alloc&) {
        // The pairs stored so far stay; the scan's working room goes.
        refers.DropScan();
        starved = true;
        document->Log().Print(L"Refers scan: %s", L"not enough memory");
    }
    document->NotifyWindows(kMsgRefersScan, 0, 0, true);
}

bool ReferThread::InSegment(int64_t address) {
    if (segment_ && segment_->Holds(address))
        return true;
    const KSegment* s = document->Segments().Find(address);
    if (s)
        segment_ = s;
    return s != nullptr;
}

void ReferThread::ScanItem(ReferWalk& walk) {
    const uint32_t kind = diza::KindOf(walk.kind);
    if (diza::IsUnmade(walk.kind) || walk.length <= 0)
        return;
    if (kind == diza::kCode) {
        if (!walk.Decoded())
            return;
        DECODE_TARGET targets[2];
        const int n = walk.engine->GetTargets(targets);
        for (int i = 0; i < n; ++i) {
            const int64_t target = targets[i].address;
            // Only targets inside a segment: a gap between segments holds nothing to refer to.
            if (!InSegment(target))
                continue;
            refers.AddPending(walk.address, target);
            if (targets[i].flags & kTargetCall) {
                refers.AddPendingCall(target);
                if (target > walk.address && target < rangeEnd)
                    walk.MakeCode(target);
            }
        }
    } else if (kind == diza::kData && ((walk.kind & diza::kSizeMask) >> diza::kSizeShift) == 2 && bitness == 32 &&
               !baseIsZero) {
        const uint8_t* bytes = walk.ReadBytes();
        if (!bytes)
            return;
        for (int32_t i = 0; i + 4 <= walk.length; i += 4) {
            const uint32_t value = bytes[i] | (bytes[i + 1] << 8) | (bytes[i + 2] << 16) |
                                   (static_cast<uint32_t>(bytes[i + 3]) << 24);
            if (InSegment(value))
                refers.AddPending(walk.address + i, value);
        }
    }
}
