#pragma once
// Sorted pairs of addresses (first, second), each at most once. The refer store keeps two: the (from,
// to) pairs of the refers scan and their mirror of (to, from) pairs.

#include "core/TChunk.h"

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

// Sorts pairs by first, stably (pairs of equal first keep their order), in linear time when the firsts
// span less than 2^48; `scratch` is working room.
void SortByFirstStable(std::vector<_REFER_PAIR>& pairs, std::vector<_REFER_PAIR>& scratch);
