#pragma once
// Many records into a sorted chunked array at once: a backward merge that moves each record behind the
// first new one once, instead of once per insert. New records go before old ones of an equal key, as
// TChunkSortKey::Insert places them.

#include "core/TChunk.h"

#include <limits>
#include <stdexcept>
#include <vector>

// `fresh` is sorted by `less`; `less(a, b)` orders records by their key.
template <class T, class Less>
void MergeIntoSorted(TChunk<T>& array, const std::vector<T>& fresh, Less less) {
    if (fresh.empty())
        return;
    const int old = array.count;
    if (fresh.size() > static_cast<size_t>(std::numeric_limits<int>::max() - old))
        throw std::length_error("vector<T> too long");
    const int k = static_cast<int>(fresh.size());
    array.Reserve(old + k - 1);
    array.count = old + k;
    int i = old - 1, j = k - 1, w = array.count - 1;
    while (j >= 0) {
        if (i >= 0 && !less(array[i], fresh[static_cast<size_t>(j)]))
            array[w--] = array[i--];
        else
            array[w--] = fresh[static_cast<size_t>(j--)];
    }
}
