#include "document/BResultDiza.h"

#include "decode/BDecodeEngine.h"
#include "document/Diza.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "document/HTimemeter.h"
#include "document/ReferPairs.h"

#include <limits>
#include <vector>

namespace {

uint32_t LineKind(uint32_t word) { return word >> diza::kKindShift; }

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

void BResultDiza::Clear() {
    SectionLock lock(lock_.Get());
    results_.count = 0;
    pool_.Reset();
}

int BResultDiza::RemoveRange(int64_t start, int64_t end) {
    SectionLock lock(lock_.Get());
    if (end <= start)
        return 0;
    const int a = results_.LowerBound(Key(start));
    return results_.Erase(a, results_.LowerBound(Key(end)) - a);
}

int BResultDiza::Find(const DizaLinePos& pos) {
    SectionLock lock(lock_.Get());
    return results_.Find(_RESULT_DIZA{ pos, nullptr, -1, -1 });
}

int BResultDiza::FindAddress(int64_t address) {
    SectionLock lock(lock_.Get());
    const int i = results_.Find(Key(address));
    if (i >= 0)
        return i;
    if (~i < results_.count && results_[~i].pos.address == address)
        return ~i;
    return i;
}

bool BResultDiza::Contains(int64_t address) {
    SectionLock lock(lock_.Get());
    const int i = (address == std::numeric_limits<int64_t>::max() ? results_.count
                                                                   : results_.LowerBound(Key(address + 1))) - 1;
    if (i < 0)
        return false;
    const _RESULT_DIZA& r = results_[i];
    return r.length != -1 && r.length > 0 &&
           static_cast<uint64_t>(address) - static_cast<uint64_t>(r.pos.address) < static_cast<uint64_t>(r.length);
}

DizaLinePos BResultDiza::Next(int64_t address) {
    SectionLock lock(lock_.Get());
    if (address == std::numeric_limits<int64_t>::max())
        return DizaLinePos{ -1, 0 };
    const int i = results_.LowerBound(Key(address + 1));
    return i < results_.count ? results_[i].pos : DizaLinePos{ -1, 0 };
}

DizaLinePos BResultDiza::Prev(int64_t address) {
    SectionLock lock(lock_.Get());
    const int i = results_.LowerBound(Key(address)) - 1;
    return i >= 0 ? results_[i].pos : DizaLinePos{ -1, 0 };
}

bool BResultDiza::Get(const DizaLinePos& pos, _RESULT_DIZA* out) {
    SectionLock lock(lock_.Get());
    const int i = results_.Find(_RESULT_DIZA{ pos, nullptr, -1, -1 });
    if (i < 0)
        return false;
    *out = results_[i];
    return true;
}

int BResultDiza::Count() {
    SectionLock lock(lock_.Get());
    return results_.count;
}

_RESULT_DIZA BResultDiza::At(int i) {
    SectionLock lock(lock_.Get());
    const _RESULT_DIZA* r = results_.Get(i);
    return r ? *r : _RESULT_DIZA{ { -1, 0 }, nullptr, -1, -1 };
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

void RefersResult::AddRefer(FileParseThread* document, int64_t address) {
    SectionLock fileLock(document->FileLock());
    const Diza item = document->Map().ItemAt(address);
    StringW text;
    if (diza::KindOf(item.kind) == diza::kCode && document->Engine()) {
        std::unique_ptr<BDecodeEngine> engine = document->Engine()->Clone();
        engine->DecodeAt(address);
        text.SetText(engine->GetText());
    }
    AddLine(DizaLinePos{ address, item.kind }, text.empty() ? nullptr : text.c_str());
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
    for (int64_t from : froms)
        AddRefer(document, from);
    return Count();
}
