#include "document/DizaWalk.h"

#include "document/Diza.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "document/ItemStores.h"

#include <algorithm>
#include <limits>

using namespace diza;

namespace {

bool IsSubKind(uint32_t k) { return k == kLineComment || k == kLineName || k == kLineOnlineMore; }
bool IsItemKind(uint32_t k) { return k >= 6 && k <= 14; }
uint8_t Clip(int n) { return static_cast<uint8_t>(std::max(0, std::min(n, 255))); }

}  // namespace

// --- Sub-lines of one address.

void DizaSubLines::Init(FileParseThread* document, int64_t at, uint32_t itemKind) {
    std::fill(counts, counts + 16, 0);
    address = at;
    kind = itemKind;
    if (itemKind >= kFirstMade)
        counts[KindOf(itemKind)] = 1;
    BItemStores& stores = StoresOf(document);
    counts[kLineComment] = Clip(stores.CommentLineCount(at));
    counts[kLineName] = Clip(stores.NameCount(at));
    BDocumentHost* host = document->Host();
    if (host && host->CommentPaneVisible() && !stores.IsCollapsed(at))
        counts[kLineOnlineMore] = Clip(stores.OnlineCommentLineCount(at) - 1);
    lines = 0;
    for (uint8_t c : counts)
        lines += c;
}

uint32_t DizaSubLines::WordOfKind(uint32_t k, int index) const {
    return IsItemKind(k) ? kind : LineWord(k, index);
}

uint32_t DizaSubLines::First() const {
    if (lines > 1)
        for (uint32_t k = 0; k <= 5; ++k)
            if (counts[k])
                return LineWord(k, 0);
    return kind;
}

uint32_t DizaSubLines::Last() const {
    if (counts[kLineOnlineMore])
        return LineWord(kLineOnlineMore, counts[kLineOnlineMore] - 1);
    return kind;
}

bool DizaSubLines::Next(uint32_t& word) const {
    if (lines <= 1)
        return false;
    const uint32_t k = KindOf(word);
    if (IsSubKind(k)) {
        const uint32_t index = (word + 1) & kLineIndexMask;
        if (index < counts[k] && index != 0) {
            word = LineWord(k, static_cast<int>(index));
            return true;
        }
    }
    for (uint32_t j = k + 1; j < 16; ++j)
        if (counts[j]) {
            word = WordOfKind(j, 0);
            return true;
        }
    return false;
}

bool DizaSubLines::Prev(uint32_t& word) const {
    if (lines <= 1)
        return false;
    const uint32_t k = KindOf(word);
    if (IsSubKind(k) && (word & kLineIndexMask) > 0) {
        word = LineWord(k, static_cast<int>((word & kLineIndexMask) - 1));
        return true;
    }
    for (uint32_t j = k; j-- > 1;)
        if (counts[j]) {
            word = WordOfKind(j, counts[j] - 1);
            return true;
        }
    return false;
}

bool DizaSubLines::Holds(uint32_t word) const {
    const uint32_t k = KindOf(word);
    return IsSubKind(k) && (word & kLineIndexMask) < counts[k];
}

// --- Walkers.

void BBDizaWalk::LoadItem(int64_t address, bool lineStart) {
    const Diza item = lineStart ? document->Map().LineAtStart(address) : document->Map().ItemAtOrNext(address);
    subLines.Init(document, item.address, item.address == -1 ? 0 : item.kind);
    current = { item.address, item.kind };
    atLineStart_ = item.address != -1;
}

int64_t BBDizaWalk::PrevItem() {
    // The map's answer is the start of a line too.
    const int64_t prev = PrevInCode(current.address);
    stepStart_ = prev != -1 ? prev : document->Map().PrevItemAddress(current.address);
    return stepStart_;
}

int64_t BBDizaWalk::PrevInCode(int64_t address) {
    // Bytes decoded before the first start used: enough for the decode to fall into step.
    constexpr int64_t kWindow = 256, kSettle = 64;
    if (address == -1 || address == std::numeric_limits<int64_t>::min())
        return -1;
    const int64_t last = address - 1;
    const DizaMap& map = document->Map();
    const int i = map.FindFloor(last);
    if (i < 0)
        return -1;
    const Diza item = map.GetAt(i);
    if (KindOf(item.kind) != kCode || item.address >= last || !models.Decoder().Ready())
        return -1;
    if (back_.item != item.address || last < back_.trusted || last >= back_.end) {
        back_.starts.clear();
        const int64_t from = std::max(item.address, last - kWindow);
        models.Decoder().StartsUpTo(from, last, back_.starts);
        back_.item = item.address;
        back_.trusted = from == item.address ? from : from + kSettle;
        back_.end = address;
        if (back_.starts.empty())
            return -1;
    }
    const auto s = std::upper_bound(back_.starts.begin(), back_.starts.end(), last);
    if (s == back_.starts.begin() || *(s - 1) < back_.trusted) {
        back_.item = -1;
        return -1;
    }
    return *(s - 1);
}

int64_t BBDizaWalk::NextItem() {
    // From a line start the next line is this line's length on: no search for where lines start.
    if (atLineStart_) {
        stepStart_ = document->Map().NextLineStart(current.address, models.Decoder());
        return stepStart_;
    }
    return document->Map().NextItemAddress(current.address);
}

void BBDizaWalk::SetAddress(int64_t address) {
    LoadItem(address);
    if (current.address != -1)
        current.line = subLines.First();
}

void BBDizaWalk::SetItemAddress(int64_t address) { LoadItem(address); }

void BBDizaWalk::SetPosition(const DizaLinePos& position) {
    LoadItem(position.address);
    if (current.address == -1)
        return;
    if (IsItemLine(position.line)) {
        atLineStart_ = position.address == current.address;
        current = position;
    }
    else if (subLines.Holds(position.line) && current.address == position.address)
        current.line = position.line;
    else
        current.line = subLines.First();
}

bool BBDizaWalk::NextLine() {
    if (!IsLine())
        return false;
    uint32_t word = current.line;
    if (subLines.Next(word)) {
        current.line = word;
        return true;
    }
    stepStart_ = -1;
    const int64_t next = NextItem();
    if (next == -1) {
        current = kNoLine;
        atLineStart_ = false;
        return false;
    }
    LoadItem(next, next == stepStart_);
    if (current.address != -1)
        current.line = subLines.First();
    return true;
}

bool BBDizaWalk::PrevLine() {
    if (AtEnd())
        return false;
    uint32_t word = current.line;
    if (subLines.Prev(word)) {
        current.line = word;
        return true;
    }
    stepStart_ = -1;
    const int64_t prev = PrevItem();
    if (prev == -1) {
        current = kNoLine;
        atLineStart_ = false;
        return false;
    }
    LoadItem(prev, prev == stepStart_);
    if (current.address != -1)
        current.line = subLines.Last();
    return true;
}

int BBDizaWalk::StepForward(int n) { return n < 0 ? Steps(-n, false) : Steps(n, true); }

int BBDizaWalk::StepBack(int n) { return n < 0 ? Steps(-n, true) : Steps(n, false); }

int BBDizaWalk::Steps(int n, bool forward) {
    int moved = 0;
    for (; moved < n; ++moved) {
        const DizaLinePos before = current;
        const DizaSubLines lines = subLines;
        const bool atLineStart = atLineStart_;
        if (!(forward ? NextLine() : PrevLine()) || !IsLine()) {
            current = before;
            subLines = lines;
            atLineStart_ = atLineStart;
            break;
        }
    }
    return moved;
}

BDizaWalk::BDizaWalk(FileParseThread* document) : BBDizaWalk(document), lock_(document->FileLock()) {}

int64_t DizaWalk::NextItem() {
    BItemStores& stores = StoresOf(document);
    if (stores.IsCollapsed(current.address)) {
        const int64_t end = stores.CollapseEnd(current.address);
        if (end > current.address)
            return document->Segments().Find(end) ? end : document->Map().NextItemAddress(end);
    }
    return BBDizaWalk::NextItem();
}

int64_t DizaWalk::PrevItem() {
    BItemStores& stores = StoresOf(document);
    int64_t p = stores.FindCollapsedStartByEnd(current.address);
    if (p == -1)
        p = BBDizaWalk::PrevItem();
    // A folded range that holds the item shows as its start; nested ones give the outermost.
    for (int64_t at = p; at != -1;) {
        at = stores.FindCollapsedContaining(p);
        if (at == -1 || at >= p)
            break;
        p = at;
    }
    return p;
}
