#include "document/BResultDiza.h"
#include "document/Diza.h"
#include "document/ReferPairs.h"

#include "DocumentFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(ResultList, SameHitTwiceIsOneResult) {
    BResultDiza r;
    const int i = r.AddHit(0x100, 4, L"one");
    EXPECT_EQ(r.AddHit(0x100, 4, L"again"), i);
    EXPECT_EQ(r.Count(), 1);
    _RESULT_DIZA got;
    ASSERT_TRUE(r.Get(DizaLinePos{ 0x100, 0 }, &got));
    EXPECT_EQ(std::wstring(got.text), L"one");
    EXPECT_EQ(got.value, -1);
    EXPECT_EQ(got.length, 4);
}

TEST(ResultList, OrderByAddressKindAndSubLine) {
    BResultDiza r;
    const uint32_t code = diza::CodeWord(32);
    r.AddLine({ 0x10, code }, nullptr);
    r.AddLine({ 0x10, diza::LineWord(diza::kLineName, 1) }, L"n1");
    r.AddLine({ 0x10, diza::LineWord(diza::kLineComment, 0) }, L"c0");
    r.AddLine({ 0x10, diza::LineWord(diza::kLineName, 0) }, L"n0");
    r.AddLine({ 0x08, code }, nullptr);
    // Item lines of one kind are one line whatever their sub-fields.
    EXPECT_EQ(r.AddLine({ 0x10, code | 0x5 }, nullptr), 4);
    ASSERT_EQ(r.Count(), 5);
    EXPECT_EQ(r.At(0).pos.address, 0x08);
    EXPECT_EQ(std::wstring(r.At(1).text), L"c0");
    EXPECT_EQ(std::wstring(r.At(2).text), L"n0");
    EXPECT_EQ(std::wstring(r.At(3).text), L"n1");
    EXPECT_EQ(r.At(4).text, nullptr);
}

TEST(ResultList, NextPrevSkipAllResultsOfAnAddress) {
    BResultDiza r;
    r.AddLine({ 0x10, diza::LineWord(diza::kLineComment, 0) }, nullptr);
    r.AddLine({ 0x10, diza::LineWord(diza::kLineName, 0) }, nullptr);
    r.AddLine({ 0x10, diza::CodeWord(32) }, nullptr);
    r.AddHit(0x20, 2, nullptr);
    EXPECT_EQ(r.Next(0x10).address, 0x20);
    EXPECT_EQ(r.Next(0x20).address, -1);
    EXPECT_EQ(r.Prev(0x20).address, 0x10);
    EXPECT_EQ(r.Prev(0x10).address, -1);
    EXPECT_EQ(r.Next(0x0).address, 0x10);
    EXPECT_EQ(r.FindAddress(0x10), 0);   // no word-0 result there: the first result of the address
    EXPECT_EQ(r.FindAddress(0x20), 3);
    EXPECT_EQ(r.FindAddress(0x15), ~3);
}

TEST(ResultList, ContainsNeedsALength) {
    BResultDiza r;
    r.AddLine({ 0x10, diza::CodeWord(32) }, nullptr);
    r.AddHit(0x20, 4, nullptr);
    EXPECT_FALSE(r.Contains(0x10));
    EXPECT_TRUE(r.Contains(0x20));
    EXPECT_TRUE(r.Contains(0x23));
    EXPECT_FALSE(r.Contains(0x24));
    EXPECT_FALSE(r.Contains(0x0F));
}

TEST(ResultList, RemoveRangeAndClear) {
    BResultDiza r;
    for (int64_t a = 0; a < 0x100; a += 0x10)
        r.AddHit(a, 1, L"hit");
    EXPECT_EQ(r.RemoveRange(0x20, 0x50), 3);
    EXPECT_EQ(r.Count(), 13);
    EXPECT_EQ(r.Next(0x10).address, 0x50);
    r.Clear();
    EXPECT_EQ(r.Count(), 0);
    EXPECT_EQ(r.AddHit(0x5, 1, L"after"), 0);
}

// Every field of every result, for comparing two lists.
std::vector<std::wstring> Dump(BResultDiza& r) {
    std::vector<std::wstring> out;
    for (int i = 0; i < r.Count(); ++i) {
        const _RESULT_DIZA x = r.At(i);
        out.push_back(std::to_wstring(x.pos.address) + L" " + std::to_wstring(x.pos.line) + L" " +
                      std::to_wstring(x.value) + L" " + std::to_wstring(x.length) + L" " + (x.text ? x.text : L"-"));
    }
    return out;
}

TEST(ResultList, QueuedEqualsAddedInAnyOrder) {
    struct Case {
        const char* name;
        int count;
        int order;   // 0 rising, 1 falling, 2 random with repeats
    };
    const Case cases[] = { { "rising", 5000, 0 }, { "falling", 5000, 1 }, { "random", 5000, 2 },
                           { "falling past the queue limit", 200000, 1 }, { "random past the limit", 150000, 2 } };
    const uint32_t words[] = { diza::CodeWord(32), diza::LineWord(diza::kLineComment, 0),
                               diza::LineWord(diza::kLineName, 1), diza::CodeWord(32) | 7 };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::mt19937 random(c.count);
        BResultDiza added, queued;
        // Some results are listed before the queue starts; queuing them again changes nothing.
        for (int64_t a = 0; a < 3 * c.count; a += 97) {
            added.AddValues({ a, words[0] }, 1, 2, L"before");
            queued.AddValues({ a, words[0] }, 1, 2, L"before");
        }
        // Past the queue limit the reference takes the same results in rising order, equal ones in the
        // order they came (so the first still wins): appends, where falling adds one by one would take
        // quadratic time.
        const bool sortedReference = c.count > 0x10000;
        std::vector<std::pair<_RESULT_DIZA, int>> reference;
        std::vector<std::wstring> texts(c.count);
        for (int i = 0; i < c.count; ++i) {
            const int64_t n = c.order == 0 ? i : c.order == 1 ? c.count - 1 - i : static_cast<int64_t>(random() % c.count);
            const DizaLinePos pos = { 3 * n, words[(n + i) % 4] };
            texts[i] = L"t" + std::to_wstring(i);
            const wchar_t* text = i % 3 ? texts[i].c_str() : nullptr;
            if (sortedReference)
                reference.push_back({ { pos, text, i, static_cast<int32_t>(n % 5) }, i });
            else
                added.AddValues(pos, i, static_cast<int32_t>(n % 5), text);
            queued.QueueValues(pos, i, static_cast<int32_t>(n % 5), text);
        }
        std::stable_sort(reference.begin(), reference.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& r : reference)
            added.AddValues(r.first.pos, r.first.value, r.first.length, r.first.text);
        EXPECT_EQ(Dump(queued), Dump(added));
    }
}

TEST(ResultList, ReadsAndEditsSeeQueuedResults) {
    BResultDiza r;
    r.QueueHit(0x30, 4, L"c");
    r.QueueHit(0x10, 4, L"a");
    EXPECT_TRUE(r.Contains(0x12));
    EXPECT_EQ(r.Next(0x10).address, 0x30);
    r.QueueHit(0x20, 4, L"b");
    EXPECT_EQ(r.FindAddress(0x20), 1);
    EXPECT_EQ(r.AddHit(0x20, 4, L"again"), 1);   // an add sees the queue first
    r.QueueHit(0x40, 4, nullptr);
    EXPECT_EQ(r.RemoveRange(0x30, 0x50), 2);
    EXPECT_EQ(r.Count(), 2);
    r.QueueHit(0x50, 4, nullptr);
    r.Clear();   // drops the queue too
    EXPECT_EQ(r.Count(), 0);
    EXPECT_EQ(r.Prev(0x100).address, -1);
}

// A find reads its list after each hit (to select the hit's row): every read between queued hits
// answers as the list with those hits added would, whether the queue lies apart from the listed
// results or runs into them.
TEST(ResultList, ReadsBetweenQueuedHitsAnswerAsTheAddedList) {
    struct Case {
        const char* name;
        int64_t first;   // the first hit's address, then by step
        int64_t step;
    };
    // Listed: 1000, 1010, ... 1490.
    const Case cases[] = { { "falling below the list", 990, -3 }, { "rising past the list", 1500, 7 },
                           { "falling into the list", 1700, -4 }, { "rising through the list", 800, 5 } };
    const uint32_t comment = diza::LineWord(diza::kLineComment, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BResultDiza added, queued;
        for (int64_t a = 1000; a < 1500; a += 10) {
            added.AddLine({ a, diza::CodeWord(32) }, L"listed");
            queued.AddLine({ a, diza::CodeWord(32) }, L"listed");
        }
        for (int i = 0; i < 300; ++i) {
            const int64_t a = c.first + i * c.step;
            const DizaLinePos pos{ a, i % 2 ? comment : diza::CodeWord(32) };
            added.AddValues(pos, i, 2, nullptr);
            queued.QueueValues(pos, i, 2, nullptr);
            ASSERT_EQ(added.FindAddress(a), queued.FindAddress(a)) << i;
            ASSERT_EQ(added.Find(pos), queued.Find(pos)) << i;
            ASSERT_EQ(added.Count(), queued.Count()) << i;
            const int row = added.FindAddress(a);
            ASSERT_EQ(added.At(row).pos.address, queued.At(row).pos.address) << i;
            for (int64_t probe : { a - 1, a, a + 1 }) {
                ASSERT_EQ(added.Next(probe).address, queued.Next(probe).address) << i << " " << probe;
                ASSERT_EQ(added.Prev(probe).address, queued.Prev(probe).address) << i << " " << probe;
                ASSERT_EQ(added.Contains(probe), queued.Contains(probe)) << i << " " << probe;
            }
            _RESULT_DIZA one{}, other{};
            ASSERT_TRUE(queued.Get(pos, &one)) << i;
            ASSERT_TRUE(added.Get(pos, &other)) << i;
            ASSERT_EQ(other.value, one.value) << i;
        }
        EXPECT_EQ(Dump(queued), Dump(added));
    }
}

TEST(ReferPairs, AddFindCountRemoveWithMirror) {
    ReferPairStore fromTo, toFrom;
    const _REFER_PAIR pairs[] = { { 0x10, 0x100 }, { 0x10, 0x80 }, { 0x20, 0x100 }, { 0x30, 0x10 }, { 0x40, 0x100 } };
    for (const _REFER_PAIR& p : pairs) {
        fromTo.Add(p.first, p.second);
        toFrom.Add(p.second, p.first);
    }
    EXPECT_EQ(fromTo.Add(0x10, 0x80), 0);   // present: its index
    EXPECT_EQ(fromTo.count, 5);
    EXPECT_EQ(toFrom.CountFrom(0x100, 1), 3);
    EXPECT_EQ(toFrom.CountFrom(0x80, 0x81), 4);
    EXPECT_EQ(fromTo.RemoveRange(0x10, 0x21, toFrom), 3);
    EXPECT_EQ(toFrom.CountFrom(0x100, 1), 1);
    EXPECT_EQ(toFrom.CountFrom(0x80, 1), 0);
    EXPECT_EQ(toFrom.count, 2);
}

TEST(ReferPairs, MergeEqualsOneByOneInserts) {
    std::mt19937 random(7);
    ReferPairStore merged, inserted;
    std::vector<_REFER_PAIR> batch;
    for (int round = 0; round < 4; ++round) {
        batch.clear();
        for (int i = 0; i < 3000; ++i) {
            const _REFER_PAIR p = { static_cast<int64_t>(random() % 5000), static_cast<int64_t>(random() % 7) };
            batch.push_back(p);
            inserted.Add(p.first, p.second);
        }
        std::sort(batch.begin(), batch.end());
        std::vector<_REFER_PAIR> added;
        merged.MergeSorted(batch, &added);
        for (const _REFER_PAIR& p : added)
            EXPECT_LT(merged.Find(p), merged.count);
    }
    ASSERT_EQ(merged.count, inserted.count);
    for (int i = 0; i < merged.count; ++i)
        ASSERT_TRUE(merged[i] == inserted[i]) << i;
    // A removal of many pairs in one pass keeps the rest in order.
    std::vector<_REFER_PAIR> gone;
    for (int i = 0; i < merged.count; i += 3)
        gone.push_back(merged[i]);
    const int before = merged.count;
    merged.RemoveSorted(gone);
    EXPECT_EQ(merged.count, before - static_cast<int>(gone.size()));
    for (int i = 1; i < merged.count; ++i)
        ASSERT_TRUE(merged[i - 1] < merged[i]);
    for (const _REFER_PAIR& p : gone)
        EXPECT_LT(merged.Find(p), 0);
}

// Merges across bunker edges, into the middle, before and after what is there, give what one sorted
// list gives.
TEST(ReferPairs, MergeFreshAcrossBunkers) {
    std::mt19937 random(11);
    for (int bunker : { 1, 3, 7, 64 }) {
        ReferPairStore store(bunker);
        std::vector<_REFER_PAIR> all;
        for (int round = 0; round < 6; ++round) {
            std::vector<_REFER_PAIR> fresh;
            const int64_t base = round == 2 ? -1000 : round == 4 ? 100000 : 0;   // all before, all after
            for (int i = 0; i < 1 + round * 37; ++i) {
                const _REFER_PAIR p = { base + static_cast<int64_t>(random() % 900), static_cast<int64_t>(random() % 5) };
                if (std::find(all.begin(), all.end(), p) == all.end() &&
                    std::find(fresh.begin(), fresh.end(), p) == fresh.end())
                    fresh.push_back(p);
            }
            std::sort(fresh.begin(), fresh.end());
            store.MergeFresh(fresh);
            all.insert(all.end(), fresh.begin(), fresh.end());
            std::sort(all.begin(), all.end());
            ASSERT_EQ(store.count, static_cast<int>(all.size())) << bunker;
            for (int i = 0; i < store.count; ++i)
                ASSERT_TRUE(store[i] == all[static_cast<size_t>(i)]) << bunker << " " << round << " " << i;
        }
    }
}

// The sort keeps the order of equal keys, over narrow spans (by digits), wide ones and negative keys.
TEST(ReferPairs, StableSortByFirst) {
    std::mt19937 random(5);
    for (const int64_t span : { int64_t{ 1 }, int64_t{ 5000 }, int64_t{ 1 } << 30, int64_t{ 1 } << 52 }) {
        std::vector<_REFER_PAIR> pairs, scratch;
        for (int i = 0; i < 3000; ++i)
            pairs.push_back({ static_cast<int64_t>(random() % 97) * (span / 97 + 1) - span / 2, i });
        std::vector<_REFER_PAIR> expected = pairs;
        std::stable_sort(expected.begin(), expected.end(),
                         [](const _REFER_PAIR& a, const _REFER_PAIR& b) { return a.first < b.first; });
        SortStableBy(pairs, scratch, [](const _REFER_PAIR& p) { return p.first; });
        ASSERT_TRUE(pairs == expected) << span;
    }
}

}  // namespace

namespace {

class JobHost : public FakeHost {
public:
    void EmptyResultPane(int index) override { emptied.push_back(index); }
    void OnResultFound(int index, int64_t address) override { found.push_back({ index, address }); }
    std::vector<int> emptied;
    std::vector<std::pair<int, int64_t>> found;
};

TEST(FindResultJobs, NestedJobsSignalOnce) {
    FakeDirectory dir;
    JobHost host;
    FileParseThread doc(&host);
    FindResult result(&doc, 1);
    result.AddHit(0x10, 1, L"old");
    FindParameters p;
    p.text.SetText(L"needle");
    p.flags = 0x21;
    result.stop = 1;
    result.BeginJob(p);
    EXPECT_EQ(result.Count(), 0);
    EXPECT_EQ(result.stop, 0);
    EXPECT_EQ(result.parameters.text, L"needle");
    EXPECT_FALSE(result.SearchesLines());
    FindParameters other;
    other.text.SetText(L"second");
    result.BeginJob(other);   // a second job while one runs changes nothing
    EXPECT_EQ(result.parameters.text, L"needle");
    result.EndJob();
    result.EndJob();
    ASSERT_EQ(host.notices.size(), 2u);
    EXPECT_EQ(host.notices[0].message, kMsgFindJob);
    EXPECT_EQ(host.notices[0].wparam, 1u);
    EXPECT_EQ(host.notices[1].wparam, 0u);
    EXPECT_EQ(host.notices[1].lparam, reinterpret_cast<intptr_t>(&result));
    EXPECT_EQ(host.emptied, std::vector<int>{ 1 });
    EXPECT_GE(result.elapsed, 0);
    EXPECT_EQ(result.startTime, 0);
    result.OnFound(0x44);
    ASSERT_EQ(host.found.size(), 1u);
    EXPECT_EQ(host.found[0].second, 0x44);
}

}  // namespace
