// The disassembly page over a document of 1M made items and a thousand folded and open ranges (some
// nested): positioning at a random address and filling a 100-line page, thumb drags, and 10,000 page
// steps down. The peer, measured in the same run, is a bare walk of the same 100 lines.
// Then a page inside one run of code 4 MB long: a fill and the item length of every row (as a paint
// asks them), against the bare walk of the same lines.

#include "decode/Ia32Insn.h"
#include "document/BFileParser.h"
#include "document/MakerCode.h"
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

// A page over one file-backed code segment made as a single run of code.
class CodeRunPage : public BDizaPageOwner, public BFileDirectory {
public:
    static constexpr uint32_t kSize = 4u << 20;

    class NoParser : public BFileParser {
    public:
        NoParser() { title = L"bench"; }
        bool Parse(ParseRequest*) override { return true; }
    };

    CodeRunPage() : doc(&host), page(new DizaPage(this)) { scroller.SetPager(page); }
    ~CodeRunPage() override {
        SetFileDirectory(nullptr);
        if (!path.empty())
            ::DeleteFileW(path.c_str());
    }
    FileParseThread* PageDocument() override { return &doc; }
    int64_t PageRangeStart() override { return kBase; }
    FileParseThread* FindFileById(int32_t id) override { return doc.Serial() == id ? &doc : nullptr; }

    // Typical 32-bit code: a frame, loads, stores, arithmetic, calls and branches.
    bool Build() {
        static const uint8_t kPattern[] = { 0x55, 0x8B, 0xEC, 0x83, 0xEC, 0x10, 0x8B, 0x45, 0x08, 0x8B, 0x4D, 0x0C,
                                            0x03, 0xC1, 0x89, 0x45, 0xFC, 0x85, 0xC0, 0x74, 0x07, 0xE8, 0x10, 0x20,
                                            0x00, 0x00, 0x05, 0x78, 0x56, 0x34, 0x12, 0x33, 0xC9, 0x8B, 0xE5, 0x5D,
                                            0xC3 };
        std::vector<uint8_t> code(kSize);
        for (size_t i = 0; i < code.size(); ++i)
            code[i] = kPattern[i % sizeof kPattern];
        wchar_t folder[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        path = std::wstring(folder) + L"trelvo_app_bench_code.bin";
        HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f == INVALID_HANDLE_VALUE)
            return false;
        DWORD n = 0;
        const bool written = ::WriteFile(f, code.data(), kSize, &n, nullptr) && n == kSize;
        ::CloseHandle(f);
        SetFileDirectory(this);
        ParseRequest* request = MakeParseRequest(path.c_str());
        request->mainParser = &parser;
        request->head.bitness = 32;
        request->head.acceptCode = 1;
        if (!written || !doc.OpenFile(request) || !doc.AddCodeSegment(kBase, 0, kSize, kSize))
            return false;
        MakerCode maker(&doc);
        maker.logWanted = false;
        if (!maker.Make(kBase, kSize))
            return false;
        page->Start(1);
        return true;
    }

    QuietHost host;
    NoParser parser;
    FileParseThread doc;
    TrackScroller scroller;
    DizaPage* page;
    std::wstring path;
};

int64_t RandomAddress(std::mt19937& rng) {
    return kBase + static_cast<int64_t>(rng() % kItems) * kItemSize + static_cast<int64_t>(rng() % kItemSize);
}

}  // namespace

int main() {
    SetDecodeOptions();
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

    // One long code run: the page's fill, then each row's item length.
    double codeWalkUs = 0, codeFillUs = 0, codeLengthsUs = 0;
    int64_t lengthSum = 0;
    {
        CodeRunPage c;
        if (!c.Build()) {
            std::printf("cannot build the code run\n");
            return 1;
        }
        constexpr int kCodePages = 500;
        std::mt19937 codeRng(777);
        auto codeAddress = [&] { return kBase + static_cast<int64_t>(codeRng() % (CodeRunPage::kSize - 0x10000)); };
        t = Clock::now();
        for (int i = 0; i < kCodePages; ++i) {
            DizaWalk walk(&c.doc);
            walk.SetAddress(codeAddress());
            for (int line = 0; line <= kRows; ++line)
                walk.NextLine();
        }
        codeWalkUs = Micros(t) / kCodePages;
        codeRng.seed(777);
        for (int i = 0; i < kCodePages; ++i) {
            {
                DizaWalk walk(&c.doc);
                walk.SetAddress(codeAddress());
                c.page->SetTop(walk.current);
            }
            t = Clock::now();
            c.page->Refill(kRows);
            codeFillUs += Micros(t);
            t = Clock::now();
            for (int row = 0; row < kRows; ++row)
                lengthSum += c.page->LineQuery(row);
            codeLengthsUs += Micros(t);
        }
        codeFillUs /= kCodePages;
        codeLengthsUs /= kCodePages;
    }

    std::printf("bare walk of %d lines:           %8.1f us\n", kRows, walkUs);
    std::printf("position + fill %d-line page:    %8.1f us  (%.2fx the bare walk)%s\n", kRows, positionUs,
                positionUs / walkUs, positionUs < 1000 ? "" : "  ABOVE 1 ms");
    std::printf("thumb drag + fill:                %8.1f us\n", dragUs);
    std::printf("%d page downs:                 %8.1f ms  (%.1f us a page; %d times home), now at %08llX\n",
                kPageSteps, pageDownMs, pageDownMs * 1000 / kPageSteps, homes,
                static_cast<unsigned long long>(p.page->top.address));
    std::printf("code run: bare walk of %d lines: %8.1f us\n", kRows, codeWalkUs);
    std::printf("code run: fill %d-line page:     %8.1f us  (%.2fx the bare walk)\n", kRows, codeFillUs,
                codeFillUs / codeWalkUs);
    std::printf("code run: %d item lengths:       %8.1f us  (%.2fx the bare walk; %.2f bytes a line)\n", kRows,
                codeLengthsUs, codeLengthsUs / codeWalkUs, static_cast<double>(lengthSum) / (500.0 * kRows));
    return 0;
}
