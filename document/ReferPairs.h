#pragma once
// Sorted pairs of addresses (first, second), each at most once. The refer store keeps two: the (from,
// to) pairs of the refers scan and their mirror of (to, from) pairs.

#include "core/TChunk.h"

#include <algorithm>
#include <cstdint>
#include <vector>

struct _REFER_PAIR {
    int64_t first;
    int64_t second;
};

inline bool operator<(const _REFER_PAIR& a, const _REFER_PAIR& b) {
    return a.first != b.first ? a.first < b.first : a.second < b.second;
}
inline bool operator==(const _REFER_PAIR& a, const _REFER_PAIR& b) { return a.first == b.first && a.second == b.second; }

class ReferPairStore : public TChunkSort<_REFER_PAIR> {
public:
    explicit ReferPairStore(int bunkerSize = 0x40000) : TChunkSort<_REFER_PAIR>(bunkerSize) {}

    // Index of the pair; inserted unless present.
    int Add(int64_t first, int64_t second);
    using TChunkSort<_REFER_PAIR>::LowerBound;
    // The first pair whose first is at or above the address.
    int LowerBound(int64_t address) const { return LowerBound(_REFER_PAIR{ address, INT64_MIN }); }
    int CountFrom(int64_t address, int64_t n) const;
    // Removes the pairs whose first lies in [start, end) and their mirrors; the number removed here.
    int RemoveRange(int64_t start, int64_t end, ReferPairStore& mirror);
    // Merges sorted pairs in one pass; those not present before are appended to `added` (when given).
    void MergeSorted(const std::vector<_REFER_PAIR>& sorted, std::vector<_REFER_PAIR>* added);
    // Merges sorted pairs none of which is present, moving each record behind the first of them once.
    void MergeFresh(const std::vector<_REFER_PAIR>& fresh);
    // Removes the given sorted pairs wherever present.
    void RemoveSorted(const std::vector<_REFER_PAIR>& sorted);
};

// Sorts records by a signed 64-bit key, stably (records of equal key keep their order), in linear time
// when the keys span less than 2^48; `scratch` is working room.
template <class T, class Key>
void SortStableBy(std::vector<T>& records, std::vector<T>& scratch, Key key) {
    if (records.size() < 2)
        return;
    int64_t low = key(records[0]), high = low;
    for (const T& r : records) {
        low = std::min(low, key(r));
        high = std::max(high, key(r));
    }
    const uint64_t span = static_cast<uint64_t>(high) - static_cast<uint64_t>(low);
    int bits = 0;
    while (bits < 64 && (span >> bits) != 0)
        ++bits;
    if (bits == 0)
        return;
    if (bits > 48 || records.size() < 256) {
        std::stable_sort(records.begin(), records.end(), [&key](const T& a, const T& b) { return key(a) < key(b); });
        return;
    }
    // Least significant digit first, up to 12 bits a digit (more buckets scatter too widely).
    const int passes = (bits + 11) / 12;
    const int digit = (bits + passes - 1) / passes;
    const uint64_t mask = (uint64_t{ 1 } << digit) - 1;
    std::vector<uint32_t> counts(static_cast<size_t>(mask) + 2);
    scratch.resize(records.size());
    for (int pass = 0; pass < passes; ++pass) {
        const int shift = pass * digit;
        const auto digitOf = [&](const T& r) {
            return static_cast<size_t>((static_cast<uint64_t>(key(r)) - static_cast<uint64_t>(low)) >> shift & mask);
        };
        std::fill(counts.begin(), counts.end(), 0);
        for (const T& r : records)
            ++counts[digitOf(r) + 1];
        for (size_t d = 1; d < counts.size(); ++d)
            counts[d] += counts[d - 1];
        for (const T& r : records)
            scratch[counts[digitOf(r)]++] = r;
        records.swap(scratch);
    }
}
