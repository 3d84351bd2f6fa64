#include "document/ReferPairs.h"

#include "document/ChunkMerge.h"

#include <algorithm>
#include <limits>

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
    std::vector<_REFER_PAIR> fresh;
    fresh.reserve(sorted.size());
    if (sorted.empty())
        return;
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
    if (fresh.empty())
        return;
    MergeIntoSorted(*this, fresh, [](const _REFER_PAIR& a, const _REFER_PAIR& b) { return a < b; });
    if (added)
        added->insert(added->end(), fresh.begin(), fresh.end());
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
