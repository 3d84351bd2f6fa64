// Chunked record arrays behind every store. Records live in fixed-size bunkers that never move when the
// array grows (a pointer to a record stays valid until OpenGap, Erase or Clear). Bunker 0 holds F
// records, every later one G; record i is found by arithmetic.
//
//   TChunk<T>                 growable array; owners read and bump `count` themselves when appending.
//   TChunkSortKey<T,K>        sorted by a key of the record (int64_t signed, const wchar_t* ordinal, or T)
//   TChunkSort<T>             sorted by the whole record (its operator< and operator==)
//   TChunkPtrSortKey<P,K>     pointers sorted by a key of the pointee (not owned)
//
// Keys come from TChunkKey<T,K>: records with an int64_t member `address` need nothing; otherwise
// specialise it with `static K Of(const T&)` and `static bool Match(const T&, K)`.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <vector>

template <class T>
class TChunkBunker {
public:
    TChunkBunker(int first, int size, int number) : first(first), size(size) {
        const uint64_t bytes = static_cast<uint64_t>(size) * sizeof(T);
        // Large bunkers start at staggered cache lines, so that the first records of all bunkers (the
        // top of every search) do not compete for the same cache sets.
        const size_t shift = bytes >= 65536 ? static_cast<size_t>(number % 64) * 64 : 0;
        if (bytes + shift > 0xFFFFFFFFull) throw std::bad_alloc();
        memory_ = ::operator new(static_cast<size_t>(bytes) + shift);
        records = reinterpret_cast<T*>(static_cast<unsigned char*>(memory_) + shift);
    }
    virtual ~TChunkBunker() { ::operator delete(memory_); }
    TChunkBunker(const TChunkBunker&) = delete;
    TChunkBunker& operator=(const TChunkBunker&) = delete;

    T* records;
    int first;   // index of records[0] in the array
    int size;

private:
    void* memory_;
};

template <class T>
class TChunk {
    static_assert(std::is_trivially_copyable<T>::value, "chunk records are moved by byte copies");

public:
    explicit TChunk(int bunkerSize) : first_(std::max(bunkerSize, 1)), later_(std::max(bunkerSize, 1)) {
        if ((later_ & (later_ - 1)) != 0) return;
        laterShift_ = 0;
        while ((1 << laterShift_) < later_) ++laterShift_;
    }
    virtual ~TChunk() { Release(); }
    TChunk(const TChunk&) = delete;
    TChunk& operator=(const TChunk&) = delete;

    // Makes sure that `index` (not negative) lies inside a bunker.
    void Reserve(int index) {
        while (index >= reserved_) {
            if (bunkers_.size() >= 0x3FFFFFFF) throw std::length_error("vector<T> too long");
            const int size = bunkers_.empty() ? first_ : later_;
            if (reserved_ > std::numeric_limits<int>::max() - size) throw std::length_error("vector<T> too long");
            if (bunkers_.size() == bunkers_.capacity()) {
                // The list grows by half (at least by one), so n bunkers cost O(n) pointer copies.
                const size_t grown = bunkers_.capacity() + std::max<size_t>(bunkers_.capacity() / 2, 1);
                bunkers_.reserve(grown);
                records_.reserve(grown);
            }
            bunkers_.push_back(std::make_unique<TChunkBunker<T>>(reserved_, size, static_cast<int>(bunkers_.size())));
            records_.push_back(bunkers_.back()->records);
            reserved_ += size;
        }
    }

    // The slot of `index`, reserved first; at or past the count it is not initialised and the count
    // does not change. Null for a negative index.
    T* At(int index) {
        if (index < 0) return nullptr;
        Reserve(index);
        return Slot(index);
    }

    // Bounds-checked read: null unless 0 <= index < count. Never allocates.
    T* Get(int index) { return index >= 0 && index < count ? Slot(index) : nullptr; }
    const T* Get(int index) const { return index >= 0 && index < count ? Slot(index) : nullptr; }

    // Unchecked access to a record below the count.
    T& operator[](int index) { return *Slot(index); }
    const T& operator[](int index) const { return *Slot(index); }

    // The records from `index` that lie one after another in its bunker: `n` of them, up to the count
    // (so a walk over many records divides once a bunker). Null, n 0, outside [0, count).
    const T* Run(int index, int& n) const {
        n = index >= 0 && index < count ? std::min(RunAfter(index), count - index) : 0;
        return n ? Slot(index) : nullptr;
    }

    // Appends a copy of the record.
    T* Append(const T& record) {
        T* slot = At(count);
        *slot = record;
        ++count;
        return slot;
    }

    // Frees every bunker; the first bunker made afterwards holds max(n, F) records. The count is left
    // to the caller.
    void Clear(int n) {
        records_.clear();
        bunkers_.clear();
        reserved_ = 0;
        first_ = std::max(n, first_);
    }

    void Release() {
        Clear(0);
        std::vector<std::unique_ptr<TChunkBunker<T>>>().swap(bunkers_);
        std::vector<T*>().swap(records_);
    }

    // Opens n slots at `index` (0 <= index <= count), moving the records behind up; the slots hold stale
    // copies until written. Returns n, or 0 when refused.
    int OpenGap(int index, int n) {
        if (n <= 0 || index < 0 || index > count) return 0;
        if (count > std::numeric_limits<int>::max() - n) throw std::length_error("vector<T> too long");
        Reserve(count + n - 1);
        MoveUp(index, count, n);
        count += n;
        return n;
    }

    // Removes n records at `index`; returns the number removed. Bunkers stay.
    int Erase(int index, int n) {
        if (index >= count || index < 0 || n <= 0) return 0;
        if (n < count - index) {
            MoveDown(index + n, count, n);
            count -= n;
            return n;
        }
        const int removed = count - index;
        count = index;
        return removed;
    }

    int Reserved() const { return reserved_; }
    int BunkerCount() const { return static_cast<int>(bunkers_.size()); }
    int BunkerListCapacity() const { return static_cast<int>(bunkers_.capacity()); }
    int BunkerOf(int index) const { return index < first_ ? 0 : (index - first_) / later_ + 1; }

    int count = 0;   // records in use

protected:
    T* Slot(int index) const {
        if (index < first_) return records_[0] + index;
        const int rest = index - first_;
        if (laterShift_ >= 0) return records_[(rest >> laterShift_) + 1] + (rest & (later_ - 1));
        return records_[rest / later_ + 1] + rest % later_;
    }
    // Records left in the bunker of `index`, from it to the bunker's end.
    int RunAfter(int index) const { return index < first_ ? first_ - index : later_ - (index - first_) % later_; }
    // Records in the bunker of `index`, from the bunker's start up to and including it.
    int RunBefore(int index) const { return index < first_ ? index + 1 : (index - first_) % later_ + 1; }

    // Records [from, to) move up by n, from the end backwards, one memmove per bunker pair.
    void MoveUp(int from, int to, int n) {
        while (to > from) {
            const int run = std::min({ to - from, RunBefore(to - 1), RunBefore(to - 1 + n) });
            to -= run;
            std::memmove(static_cast<void*>(Slot(to + n)), Slot(to), run * sizeof(T));
        }
    }
    // Records [from, to) move down by n, from the front onwards.
    void MoveDown(int from, int to, int n) {
        while (from < to) {
            const int run = std::min({ to - from, RunAfter(from), RunAfter(from - n) });
            std::memmove(static_cast<void*>(Slot(from - n)), Slot(from), run * sizeof(T));
            from += run;
        }
    }

    // Lower bound of `key` over [0, count) given the key's order on records (`less(record, key)`):
    // first over the bunkers' first records, then inside one bunker.
    template <class Less>
    int LowerBound(Less less) const {
        if (count == 0) return 0;
        const auto begin = records_.begin();
        const auto end = begin + (BunkerOf(count - 1) + 1);
        const int found = static_cast<int>(std::partition_point(begin, end, [&](T* r) { return less(*r); }) - begin) - 1;
        if (found < 0) return 0;
        const int first = found == 0 ? 0 : first_ + (found - 1) * later_;
        const int used = std::min(found == 0 ? first_ : later_, count - first);
        T* records = records_[found];
        return first + static_cast<int>(std::partition_point(records + 1, records + used, less) - records);
    }

    std::vector<std::unique_ptr<TChunkBunker<T>>> bunkers_;
    std::vector<T*> records_;   // each bunker's records, for the hot paths
    int first_;           // F: records of bunker 0
    int later_;           // G: records of every later bunker
    int laterShift_ = -1; // log2 of G when G is a power of two (no division), else -1
    int reserved_ = 0;    // sum of the bunker sizes
};

// Orders of the key types: addresses as signed numbers, texts by unsigned 16-bit code units.
inline bool ChunkKeyLess(int64_t a, int64_t b) { return a < b; }
inline bool ChunkKeyLess(const wchar_t* a, const wchar_t* b) {
    while (*a && *a == *b) ++a, ++b;
    return static_cast<uint16_t>(*a) < static_cast<uint16_t>(*b);
}
template <class T>
bool ChunkKeyLess(const T& a, const T& b) { return a < b; }

template <class T, class K>
struct TChunkKey;

template <class T>
struct TChunkKey<T, int64_t> {
    static int64_t Of(const T& r) { return r.address; }
    static bool Match(const T& r, int64_t key) { return r.address == key; }
};

template <class T>
struct TChunkKey<T, T> {
    static const T& Of(const T& r) { return r; }
    static bool Match(const T& r, const T& key) { return r == key; }
};

template <class T, class K>
class TChunkSortKey : public TChunk<T> {
public:
    using Key = TChunkKey<T, K>;
    using KeyArg = std::conditional_t<std::is_same<K, T>::value, const K&, K>;
    using TChunk<T>::TChunk;

    // Index of the first record matching `key`, or the complement of where it would be inserted.
    int Find(KeyArg key) const {
        const int lo = LowerBound(key);
        if (lo < this->count && Key::Match((*this)[lo], key)) return lo;
        return ~lo;
    }

    // First index whose key is not below `key`.
    int LowerBound(KeyArg key) const {
        return TChunk<T>::LowerBound([&](const T& r) { return ChunkKeyLess(Key::Of(r), key); });
    }

    // Stores a copy at its sorted place, before any records with an equal key. Ascending input is
    // appended without a search.
    T* Insert(const T& record) {
        const auto& key = Key::Of(record);
        if (this->count == 0 || ChunkKeyLess(Key::Of((*this)[this->count - 1]), key)) return this->Append(record);
        const int at = LowerBound(key);
        this->OpenGap(at, 1);
        T* slot = this->Slot(at);
        *slot = record;
        return slot;
    }
};

template <class T>
class TChunkSort : public TChunkSortKey<T, T> {
public:
    using TChunkSortKey<T, T>::TChunkSortKey;
};

template <class P, class K>
class TChunkPtrSortKey : public TChunk<P> {
    static_assert(std::is_pointer<P>::value, "holds pointers");

public:
    using Key = TChunkKey<std::remove_cv_t<std::remove_pointer_t<P>>, K>;
    using TChunk<P>::TChunk;

    int Find(K key) const {
        const int lo = LowerBound(key);
        if (lo < this->count && Key::Match(*(*this)[lo], key)) return lo;
        return ~lo;
    }

    int LowerBound(K key) const {
        return TChunk<P>::LowerBound([&](P p) { return ChunkKeyLess(Key::Of(*p), key); });
    }

    // Stores the pointer at `index` (0 <= index <= count); false when refused.
    bool InsertAt(int index, P pointer) {
        if (this->OpenGap(index, 1) == 0) return false;
        *this->Slot(index) = pointer;
        return true;
    }
};
