// The disassembly page over a document of 1M made items and a thousand folded and open ranges (some
// nested): positioning at a random address and filling a 100-line page, thumb drags, and 10,000 page
// steps down. The peer, measured in the same run, is a bare walk of the same 100 lines.

#include "tests/app/HeadlessPage.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <random>

namespace {

constexpr int64_t kBase = 0x00400000;
constexpr int kItems = 1000000;
constexpr int kItemSize = 4;
constexpr int kRows = 100;
constexpr int kPositions = 5000;
constexpr int kPageSteps = 10000;

using Clock = std::chrono::steady_clock;

double Micros(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// Items appended to an empty map, then the segment over them (its start record takes the first item's
// kind again), then 500 blocks of an outer range with a folded range inside; every other outer range is
// folded too.
void Build(HeadlessPage& p) {
    const int64_t end = kBase + int64_t{ kItems } * kItemSize;
    {
        SectionLock lock(p.doc.FileLock());
        for (int64_t a = kBase; a < end; a += kItemSize)
            p.doc.Map().AddDataItem(a, kItemSize, 1);
    }
    p.AddSegment(kBase, end - kBase);
    {
        SectionLock lock(p.doc.FileLock());
        p.doc.Map().AddDataItem(kBase, kItemSize, 1);
    }
    for (int block = 0; block < 500; ++block) {
        const int64_t b = kBase + int64_t{ block } * 2000 * kItemSize;
        p.Collapse(b + 100 * kItemSize, b + 400 * kItemSize, block % 2 == 0);
        p.Collapse(b + 150 * kItemSize, b + 250 * kItemSize, true);
    }
    p.Announce();
}

int64_t RandomAddress(std::mt19937& rng) {
    return kBase + static_cast<int64_t>(rng() % kItems) * kItemSize + static_cast<int64_t>(rng() % kItemSize);
}

}  // namespace

int main() {
    HeadlessPage p;
    const Clock::time_point built = Clock::now();
    Build(p);
    std::printf("document: %d items, %d ranges, built in %.0f ms\n", p.doc.Map().Count(),
                p.doc.stores.collapses.Count(), Micros(built) / 1000);
    p.Paint(kRows);

    std::mt19937 rng(12345);
    // Peer: a bare walk of 100 lines from a random address.
    Clock::time_point t = Clock::now();
    for (int i = 0; i < kPositions; ++i) {
        DizaWalk walk(&p.doc);
        walk.SetAddress(RandomAddress(rng));
        for (int line = 0; line <= kRows; ++line)
            walk.NextLine();
    }
    const double walkUs = Micros(t) / kPositions;

    // A go-to: the walk at the address steps back a third of the page, which becomes the top; the page
    // is filled and its scroller numbers taken, as before a paint.
    rng.seed(12345);
    t = Clock::now();
    for (int i = 0; i < kPositions; ++i) {
        {
            DizaWalk walk(&p.doc);
            walk.SetAddress(RandomAddress(rng));
            walk.StepBack(kRows / 3);
            p.page->SetTop(walk.current);
        }
        p.Paint(kRows);
    }
    const double positionUs = Micros(t) / kPositions;

    std::uniform_int_distribution<int32_t> drag(-30000, 30000);
    p.Scroll(SB_TOP);
    t = Clock::now();
    for (int i = 0; i < kPositions; ++i)
        p.Scroll(SB_THUMBTRACK, drag(rng));
    const double dragUs = Micros(t) / kPositions;

    // The file holds about 9,000 pages: at its end the page goes home and steps on.
    p.Scroll(SB_TOP);
    int homes = 0;
    t = Clock::now();
    for (int steps = 0; steps < kPageSteps; ++steps) {
        if (p.page->afterPage.line < 0x10000000) {
            p.Scroll(SB_TOP);
            ++homes;
        }
        p.Scroll(SB_PAGEDOWN);
    }
    const double pageDownMs = Micros(t) / 1000;

    std::printf("bare walk of %d lines:           %8.1f us\n", kRows, walkUs);
    std::printf("position + fill %d-line page:    %8.1f us  (%.2fx the bare walk)%s\n", kRows, positionUs,
                positionUs / walkUs, positionUs < 1000 ? "" : "  ABOVE 1 ms");
    std::printf("thumb drag + fill:                %8.1f us\n", dragUs);
    std::printf("%d page downs:                 %8.1f ms  (%.1f us a page; %d times home), now at %08llX\n",
                kPageSteps, pageDownMs, pageDownMs * 1000 / kPageSteps, homes,
                static_cast<unsigned long long>(p.page->top.address));
    return 0;
}
