// Chunked sorted arrays against std::vector + std::lower_bound, measured in the same run:
//   append    10M address-map records in ascending order
//   insert    200k records at random places into 1M
//   lookup    10M searches in the 10M records
//   bunkers   100k bunkers of 4 records each, appended one record at a time (growth of the bunker list)
// Usage: core_bench [scale [bunker]]   (scale divides every count, 1 = the full figures; bunker
// records, 32768 as in the address map)
#include "core/TChunk.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Rec {   // as an address-map record: 64-bit address, kind word
    int64_t address;
    uint32_t kind;
};
bool operator<(const Rec& a, const Rec& b) { return a.address < b.address; }
bool operator==(const Rec& a, const Rec& b) { return a.address == b.address; }

using Chunk = TChunkSort<Rec>;
int kBunker = 32768;   // the address map's bunker size

class Timer {
public:
    Timer() : start_(std::chrono::steady_clock::now()) {}
    double Seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

private:
    std::chrono::steady_clock::time_point start_;
};

struct Random {   // xorshift64: cheap and the same sequence for both peers
    uint64_t s;
    uint64_t Next() {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return s;
    }
};

void VectorInsert(std::vector<Rec>& v, const Rec& r) {
    if (v.empty() || v.back() < r) {
        v.push_back(r);
        return;
    }
    v.insert(std::lower_bound(v.begin(), v.end(), r), r);
}

int VectorFind(const std::vector<Rec>& v, const Rec& key) {
    auto at = std::lower_bound(v.begin(), v.end(), key);
    const int index = static_cast<int>(at - v.begin());
    return at != v.end() && *at == key ? index : ~index;
}

void Report(const char* what, int n, double chunk, double vector) {
    std::printf("%-34s %10d   chunk %8.3f s   vector %8.3f s   chunk/vector %5.2f\n", what, n, chunk, vector,
                vector > 0 ? chunk / vector : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    const int scale = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    if (argc > 2) kBunker = std::atoi(argv[2]);
    const int appendCount = 10000000 / scale;
    const int baseCount = 1000000 / scale;
    const int insertCount = 200000 / scale;
    const int lookupCount = 10000000 / scale;
    std::printf("records of %u bytes, bunkers of %d records, scale 1/%d\n", static_cast<unsigned>(sizeof(Rec)),
                kBunker, scale);

    // Append: ascending keys take the no-search path of both.
    double vectorAppend, chunkAppend;
    long long check = 0;
    {
        Timer t;
        std::vector<Rec> v;
        for (int i = 0; i < appendCount; ++i) VectorInsert(v, Rec{ 16LL * i, 0xC1000000u });
        vectorAppend = t.Seconds();
        check += static_cast<long long>(v.size());
    }
    Chunk map(kBunker);
    {
        Timer t;
        for (int i = 0; i < appendCount; ++i) map.Insert(Rec{ 16LL * i, 0xC1000000u });
        chunkAppend = t.Seconds();
        check += map.count;
    }
    Report("append (ascending)", appendCount, chunkAppend, vectorAppend);

    // Lookups in the appended records, hits and misses alike.
    double chunkLookup, vectorLookup;
    {
        Random rng{ 0x9E3779B97F4A7C15ULL };
        Timer t;
        for (int i = 0; i < lookupCount; ++i) check += map.Find(Rec{ static_cast<int64_t>(rng.Next() % (16ULL * appendCount)), 0 });
        chunkLookup = t.Seconds();
    }
    map.Release();
    map.count = 0;
    {
        std::vector<Rec> v;
        v.reserve(appendCount);
        for (int i = 0; i < appendCount; ++i) v.push_back(Rec{ 16LL * i, 0xC1000000u });
        Random rng{ 0x9E3779B97F4A7C15ULL };
        Timer t;
        for (int i = 0; i < lookupCount; ++i) check -= VectorFind(v, Rec{ static_cast<int64_t>(rng.Next() % (16ULL * appendCount)), 0 });
        vectorLookup = t.Seconds();
    }
    Report("lookup (random keys)", lookupCount, chunkLookup, vectorLookup);

    // Random inserts into a filled array: both move half the records per insert on average.
    double chunkInsert, vectorInsert;
    {
        Chunk a(kBunker);
        for (int i = 0; i < baseCount; ++i) a.Insert(Rec{ 1024LL * i, 0 });
        Random rng{ 12345 };
        Timer t;
        for (int i = 0; i < insertCount; ++i) a.Insert(Rec{ static_cast<int64_t>(rng.Next() % (1024ULL * baseCount)), 1 });
        chunkInsert = t.Seconds();
        check += a.count;
    }
    {
        std::vector<Rec> v;
        for (int i = 0; i < baseCount; ++i) v.push_back(Rec{ 1024LL * i, 0 });
        Random rng{ 12345 };
        Timer t;
        for (int i = 0; i < insertCount; ++i) VectorInsert(v, Rec{ static_cast<int64_t>(rng.Next() % (1024ULL * baseCount)), 1 });
        vectorInsert = t.Seconds();
        check -= static_cast<long long>(v.size());
    }
    Report("random insert into the base records", insertCount, chunkInsert, vectorInsert);

    // Many small bunkers: the bunker list itself must grow geometrically.
    double chunkBunkers, vectorBunkers;
    const int smallBunker = 4;
    const int bunkerCount = 100000;
    {
        Timer t;
        TChunk<Rec> a(smallBunker);
        for (int i = 0; i < bunkerCount * smallBunker; ++i) a.Append(Rec{ i, 0 });
        chunkBunkers = t.Seconds();
        check += a.BunkerCount();
    }
    {
        Timer t;
        std::vector<Rec> v;
        for (int i = 0; i < bunkerCount * smallBunker; ++i) v.push_back(Rec{ i, 0 });
        vectorBunkers = t.Seconds();
        check -= static_cast<long long>(v.size()) / smallBunker;
    }
    Report("100k bunkers of 4 records (appends)", bunkerCount, chunkBunkers, vectorBunkers);
    std::printf("(check %lld)\n", check);
    return 0;
}
