#include "core/TChunk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <random>
#include <vector>

namespace {

struct Rec {
    int64_t address;
    uint32_t tag;
};

struct Pair {
    int64_t from;
    int64_t to;
    bool operator<(const Pair& o) const { return from != o.from ? from < o.from : to < o.to; }
    bool operator==(const Pair& o) const { return from == o.from && to == o.to; }
};

int comparisons = 0;

struct Counted {
    int64_t value;
    bool operator<(const Counted& o) const { ++comparisons; return value < o.value; }
    bool operator==(const Counted& o) const { return value == o.value; }
};

struct Named {
    const wchar_t* text;
    int id;
};

}  // namespace

template <>
struct TChunkKey<Named, const wchar_t*> {
    static const wchar_t* Of(const Named& r) { return r.text; }
    static bool Match(const Named& r, const wchar_t* key) { return std::wcscmp(r.text, key) == 0; }
};

namespace {

TEST(TChunk, PlacementByArithmetic) {
    TChunk<int> a(4);
    a.Reserve(11);
    EXPECT_EQ(a.BunkerCount(), 3);
    EXPECT_EQ(a.Reserved(), 12);
    EXPECT_EQ(a.BunkerOf(3), 0);
    EXPECT_EQ(a.BunkerOf(4), 1);
    EXPECT_EQ(a.BunkerOf(11), 2);
    // Growing never moves a record.
    int* first = a.At(0);
    a.At(1000);
    EXPECT_EQ(a.At(0), first);
    EXPECT_EQ(a.count, 0);
}

// The bunker list grows by half (at least one slot), not by one slot per bunker: n bunkers take a
// logarithmic number of list reallocations.
TEST(TChunk, BunkerListGrowsByHalf) {
    TChunk<char> a(1);
    std::vector<int> capacities;
    for (int i = 0; i < 100; ++i) {
        a.Reserve(i);
        if (capacities.empty() || capacities.back() != a.BunkerListCapacity())
            capacities.push_back(a.BunkerListCapacity());
    }
    EXPECT_EQ(a.BunkerCount(), 100);
    const std::vector<int> expected = { 1, 2, 3, 4, 6, 9, 13, 19, 28, 42, 63, 94, 141 };
    EXPECT_EQ(capacities, expected);
}

TEST(TChunk, ClearSetsTheFirstBunkerSize) {
    TChunk<int> a(16);
    for (int i = 0; i < 40; ++i) a.Append(i);
    a.Clear(100);
    a.count = 0;
    EXPECT_EQ(a.BunkerCount(), 0);
    a.Reserve(99);
    EXPECT_EQ(a.BunkerCount(), 1);
    a.Reserve(100);
    EXPECT_EQ(a.BunkerCount(), 2);
    EXPECT_EQ(a.Reserved(), 116);
    a.Clear(10);   // never shrinks
    a.Reserve(99);
    EXPECT_EQ(a.BunkerCount(), 1);
}

TEST(TChunk, GetIsBoundsCheckedAndNeverAllocates) {
    TChunk<int> a(4);
    EXPECT_EQ(a.Get(0), nullptr);
    EXPECT_EQ(a.Get(-1), nullptr);
    EXPECT_EQ(a.At(-1), nullptr);
    EXPECT_EQ(a.BunkerCount(), 0);
    a.Append(7);
    ASSERT_NE(a.Get(0), nullptr);
    EXPECT_EQ(*a.Get(0), 7);
    EXPECT_EQ(a.Get(1), nullptr);
    EXPECT_EQ(a.Get(100), nullptr);
    EXPECT_EQ(a.BunkerCount(), 1);
}

TEST(TChunk, OpenGapAndEraseLimits) {
    TChunk<int> a(3);
    for (int i = 0; i < 5; ++i) a.Append(i);
    EXPECT_EQ(a.OpenGap(6, 1), 0);   // past the count: refused
    EXPECT_EQ(a.OpenGap(-1, 1), 0);
    EXPECT_EQ(a.OpenGap(2, 0), 0);
    EXPECT_EQ(a.count, 5);
    EXPECT_EQ(a.OpenGap(5, 2), 2);   // at the count: extends
    EXPECT_EQ(a.count, 7);
    EXPECT_EQ(a.Erase(7, 1), 0);
    EXPECT_EQ(a.Erase(-1, 1), 0);
    EXPECT_EQ(a.Erase(0, 0), 0);
    EXPECT_EQ(a.Erase(3, 100), 4);   // reaches the end: lowers the count
    EXPECT_EQ(a.count, 3);
    EXPECT_EQ(a.Erase(0, 3), 3);
    EXPECT_EQ(a.count, 0);
    EXPECT_EQ(a.BunkerCount(), 3);   // erase frees no bunker
}

// OpenGap/Erase/Insert/Find against std::vector, with bunkers of 3 or 4 so that every run crosses edges.
TEST(TChunk, RandomisedAgainstVector) {
    for (int firstSize : { 3, 7, 4 }) {
        std::mt19937 rng(1234 + firstSize);
        // Bunkers of 4 find their records by shifts, the others by divisions.
        const int later = firstSize == 4 ? 4 : 3;
        TChunk<int> a(later);
        if (firstSize != later) a.Clear(firstSize);
        std::vector<int> v;
        int next = 0;
        for (int step = 0; step < 20000; ++step) {
            const int op = rng() % 3;
            if (op == 0 || v.size() < 4) {
                const int at = rng() % (v.size() + 1);
                const int n = 1 + rng() % 8;
                ASSERT_EQ(a.OpenGap(at, n), n);
                for (int k = 0; k < n; ++k) *a.At(at + k) = next + k;
                v.insert(v.begin() + at, n, 0);
                for (int k = 0; k < n; ++k) v[at + k] = next + k;
                next += n;
            } else {
                const int at = rng() % (v.size() + 2);
                const int n = rng() % 9;
                const int expect = at >= static_cast<int>(v.size()) || n <= 0 ? 0
                                   : std::min<int>(n, static_cast<int>(v.size()) - at);
                ASSERT_EQ(a.Erase(at, n), expect);
                v.erase(v.begin() + std::min<size_t>(at, v.size()), v.begin() + std::min<size_t>(at + n, v.size()));
            }
            ASSERT_EQ(a.count, static_cast<int>(v.size()));
            if (step % 97 == 0 || v.size() < 20) {
                for (int i = 0; i < a.count; ++i) ASSERT_EQ(a[i], v[i]) << "step " << step << " index " << i;
                // Runs cover the records once, in order, each inside one bunker.
                int n = 0;
                for (int i = 0; i < a.count; i += n) {
                    const int* run = a.Run(i, n);
                    ASSERT_TRUE(run && n > 0 && n <= std::max(later, firstSize) && i + n <= a.count);
                    for (int k = 0; k < n; ++k) ASSERT_EQ(run[k], v[i + k]) << "step " << step << " run at " << i;
                }
                ASSERT_EQ(a.Run(a.count, n), nullptr);
                ASSERT_EQ(n, 0);
            }
        }
    }
}

TEST(TChunkSortKey, RandomisedInsertAndFindAgainstVector) {
    std::mt19937 rng(99);
    TChunkSortKey<Rec, int64_t> a(3);
    std::vector<Rec> v;
    for (uint32_t tag = 0; tag < 3000; ++tag) {
        const int64_t key = static_cast<int64_t>(rng() % 200) - 100;
        a.Insert({ key, tag });
        auto at = std::lower_bound(v.begin(), v.end(), key, [](const Rec& r, int64_t k) { return r.address < k; });
        v.insert(at, { key, tag });
        if (tag % 50 == 0) {
            for (int64_t probe = -102; probe <= 102; ++probe) {
                auto lb = std::lower_bound(v.begin(), v.end(), probe, [](const Rec& r, int64_t k) { return r.address < k; });
                const int index = static_cast<int>(lb - v.begin());
                const int want = lb != v.end() && lb->address == probe ? index : ~index;
                ASSERT_EQ(a.Find(probe), want) << probe;
            }
        }
    }
    ASSERT_EQ(a.count, static_cast<int>(v.size()));
    for (int i = 0; i < a.count; ++i) {
        ASSERT_EQ(a[i].address, v[i].address);
        ASSERT_EQ(a[i].tag, v[i].tag);   // a new equal key goes before the older ones
    }
}

TEST(TChunkSortKey, FindAndInsertCases) {
    TChunkSortKey<Rec, int64_t> a(2);
    EXPECT_EQ(a.Find(5), -1);
    for (int64_t k : { 10, 20, 20, 30 }) a.Insert({ k, 0 });
    EXPECT_EQ(a.Find(20), 1);
    EXPECT_EQ(a.Find(25), -4);
    EXPECT_EQ(a.Find(40), -5);
    EXPECT_EQ(a.Find(5), -1);

    TChunkSortKey<Rec, int64_t> b(4);
    b.Insert({ 5, 1 });
    b.Insert({ 3, 2 });
    b.Insert({ 5, 3 });
    ASSERT_EQ(b.count, 3);
    EXPECT_EQ(b[0].tag, 2u);
    EXPECT_EQ(b[1].tag, 3u);   // the new 5 before the first one
    EXPECT_EQ(b[2].tag, 1u);

    TChunkSortKey<Rec, int64_t> c(4);
    c.Insert({ 0, 0 });
    c.Insert({ -1, 1 });   // no address sorts first
    c.Insert({ INT64_MIN, 2 });
    EXPECT_EQ(c[0].tag, 2u);
    EXPECT_EQ(c[1].address, -1);
    EXPECT_EQ(c.Find(-1), 1);
}

TEST(TChunkSortKey, TextKeysAreOrdinal) {
    TChunkSortKey<Named, const wchar_t*> a(2);
    const wchar_t* texts[] = { L"b", L"B", L"\u00e9", L"a", L"ab", L"" };
    for (int i = 0; i < 6; ++i) a.Insert({ texts[i], i });
    const wchar_t* want[] = { L"", L"B", L"a", L"ab", L"b", L"\u00e9" };
    for (int i = 0; i < 6; ++i) EXPECT_STREQ(a[i].text, want[i]);
    EXPECT_EQ(a.Find(L"ab"), 3);
    EXPECT_EQ(a.Find(L"abc"), ~4);
}

TEST(TChunkSort, WholeRecordKey) {
    TChunkSort<Pair> a(3);
    const Pair in[] = { { 5, 1 }, { 2, 9 }, { 5, 0 }, { -1, 3 }, { 2, 9 } };
    for (const Pair& p : in) a.Insert(p);
    const Pair want[] = { { -1, 3 }, { 2, 9 }, { 2, 9 }, { 5, 0 }, { 5, 1 } };
    ASSERT_EQ(a.count, 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(a[i], want[i]) << i;
    EXPECT_EQ(a.Find({ 5, 0 }), 3);
    EXPECT_EQ(a.Find({ 5, 2 }), ~5);
}

TEST(TChunkSort, AscendingInsertsNeverSearch) {
    TChunkSort<Counted> a(8);
    comparisons = 0;
    for (int64_t i = 0; i < 100; ++i) a.Insert({ i });
    EXPECT_EQ(comparisons, 99);   // one test against the last record each
    a.Insert({ 50 });
    EXPECT_GT(comparisons, 100);
    EXPECT_EQ(a[50].value, 50);
    EXPECT_EQ(a[51].value, 50);
}

TEST(TChunkPtrSortKey, PointersByPointeeKey) {
    Rec recs[] = { { 30, 0 }, { 10, 1 }, { 20, 2 } };
    TChunkPtrSortKey<Rec*, int64_t> a(2);
    for (Rec& r : recs) {
        const int at = a.Find(r.address);
        ASSERT_LT(at, 0);
        ASSERT_TRUE(a.InsertAt(~at, &r));
    }
    EXPECT_EQ(a[0], &recs[1]);
    EXPECT_EQ(a[1], &recs[2]);
    EXPECT_EQ(a[2], &recs[0]);
    EXPECT_EQ(a.Find(20), 1);
    EXPECT_EQ(a.Find(15), ~1);
    EXPECT_FALSE(a.InsertAt(5, &recs[0]));
}

}  // namespace
