#include "document/ReferPairs.h"

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
    for (size_t i = 0; i < sorted.size(); ++i) {
        if (i > 0 && sorted[i] == sorted[i - 1])
            continue;
        if (Find(sorted[i]) < 0)
            fresh.push_back(sorted[i]);
    }
    if (fresh.empty())
        return;
    // Backward merge in place: only the records behind the first new pair move, each once.
    const int old = count;
    const int k = static_cast<int>(fresh.size());
    if (old > std::numeric_limits<int>::max() - k)
        throw std::length_error("vector<T> too long");
    Reserve(old + k - 1);
    count = old + k;
    int i = old - 1, j = k - 1, w = count - 1;
    while (j >= 0) {
        if (i >= 0 && fresh[static_cast<size_t>(j)] < (*this)[i])
            (*this)[w--] = (*this)[i--];
        else
            (*this)[w--] = fresh[static_cast<size_t>(j--)];
    }
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
