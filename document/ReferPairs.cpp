#include "document/ReferPairs.h"

#include "document/ChunkMerge.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace {

// The end of [address, address + n) without passing the largest address.
int64_t SpanEnd(int64_t address, int64_t n) {
    return n > std::numeric_limits<int64_t>::max() - address ? std::numeric_limits<int64_t>::max() : address + n;
}

}  // namespace

int ReferPairStore::Add(int64_t first, int64_t second) {
    const _REFER_PAIR pair = { first, second };
    const int i = Find(pair);
    if (i >= 0)
        return i;
    Insert(pair);
    return ~i;
}

int ReferPairStore::CountFrom(int64_t address, int64_t n) const {
    if (n <= 0)
        return 0;
    return LowerBound(SpanEnd(address, n)) - LowerBound(address);
}

int ReferPairStore::RemoveRange(int64_t start, int64_t end, ReferPairStore& mirror) {
    if (end <= start)
        return 0;
    const int a = LowerBound(start);
    const int b = LowerBound(end);
    if (b <= a)
        return 0;
    std::vector<_REFER_PAIR> mirrored;
    mirrored.reserve(static_cast<size_t>(b - a));
    for (int i = a; i < b; ++i)
        mirrored.push_back({ (*this)[i].second, (*this)[i].first });
    Erase(a, b - a);
    std::sort(mirrored.begin(), mirrored.end());
    mirror.RemoveSorted(mirrored);
    return b - a;
}

void ReferPairStore::MergeSorted(const std::vector<_REFER_PAIR>& sorted, std::vector<_REFER_PAIR>* added) {
    if (sorted.empty())
        return;
    // The new pairs are collected where the caller wants them when that is empty.
    std::vector<_REFER_PAIR> local;
    std::vector<_REFER_PAIR>& fresh = added && added->empty() ? *added : local;
    // A batch that is large next to the pairs it spans is checked in one walk beside them; a small
    // one by a search per pair.
    int at = count > 0 ? LowerBound(sorted.front()) : 0;
    const int span = (count > 0 ? LowerBound(sorted.back()) : 0) - at;
    const bool walk = sorted.size() * 24 > static_cast<size_t>(span);
    for (size_t i = 0; i < sorted.size(); ++i) {
        const _REFER_PAIR& p = sorted[i];
        if (i > 0 && p == sorted[i - 1])
            continue;
        bool present;
        if (walk) {
            while (at < count && (*this)[at] < p)
                ++at;
            present = at < count && (*this)[at] == p;
        } else {
            present = Find(p) >= 0;
        }
        if (!present)
            fresh.push_back(p);
    }
    MergeFresh(fresh);
    if (added && &fresh != added)
        added->insert(added->end(), fresh.begin(), fresh.end());
}

void ReferPairStore::MergeFresh(const std::vector<_REFER_PAIR>& fresh) {
    if (fresh.empty())
        return;
    const int old = count;
    if (fresh.size() > static_cast<size_t>(std::numeric_limits<int>::max() - old))
        throw std::length_error("vector<T> too long");
    // Records below the first new pair stay where they are.
    const int low = LowerBound(fresh.front());
    Reserve(old + static_cast<int>(fresh.size()) - 1);
    count = old + static_cast<int>(fresh.size());
    // A backward merge, one bunker run at a time: w = i + j + 1 stays above i, so nothing unread is
    // overwritten.
    int i = old - 1;
    int w = count - 1;
    size_t j = fresh.size();
    while (j > 0) {
        _REFER_PAIR* out = Slot(w);
        int outRun = RunBefore(w);
        const _REFER_PAIR* in = i >= low ? Slot(i) : nullptr;
        int inRun = i >= low ? std::min(RunBefore(i), i - low + 1) : 0;
        while (outRun > 0 && j > 0) {
            if (inRun > 0 && fresh[j - 1] < *in) {
                *out-- = *in--;
                --inRun;
                --i;
            } else {
                *out-- = fresh[--j];
            }
            --outRun;
            --w;
            if (inRun == 0 && i >= low)
                break;   // the read run ended inside the bunker: find the next one
        }
    }
}

void ReferPairStore::RemoveSorted(const std::vector<_REFER_PAIR>& sorted) {
    if (sorted.empty() || count == 0)
        return;
    if (sorted.size() <= 16) {
        for (const _REFER_PAIR& p : sorted) {
            const int i = Find(p);
            if (i >= 0)
                Erase(i, 1);
        }
        return;
    }
    // One compaction pass from the first pair that may go.
    int w = LowerBound(sorted.front());
    size_t j = 0;
    for (int r = w; r < count; ++r) {
        const _REFER_PAIR p = (*this)[r];
        while (j < sorted.size() && sorted[j] < p)
            ++j;
        if (j < sorted.size() && sorted[j] == p)
            continue;
        if (w != r)
            (*this)[w] = p;
        ++w;
    }
    count = w;
}
