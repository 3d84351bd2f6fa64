#include "DocumentFakes.h"

#include "document/FindContext.h"
#include "document/MakerCode.h"
#include "document/MakerStringz.h"

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(FindHex, PatternTexts) {
    const struct {
        const wchar_t* text;
        bool ok;
        std::vector<int> items;   // -1 any byte
    } rows[] = {
        { L"8B ?? 24", true, { 0x8B, -1, 0x24 } },
        { L"8B??24", true, { 0x8B, -1, 0x24 } },
        { L"8b ?? 24", true, { 0x8B, -1, 0x24 } },
        { L"8B 24 ", true, { 0x8B, 0x24 } },
        { L"8B ? 24", false, {} },
        { L"8B  24", false, {} },
        { L" 8B", false, {} },
        { L"8B2", false, {} },
        { L"8G", false, {} },
        { L"", false, {} },
    };
    for (const auto& row : rows) {
        uint8_t pattern[520], mask[520];
        int length = -1;
        ASSERT_EQ(FindHexThread::ParsePattern(row.text, pattern, mask, length), row.ok) << row.text;
        if (!row.ok)
            continue;
        std::vector<int> items;
        for (int i = 0; i < length; ++i)
            items.push_back(mask[i] ? -1 : pattern[i]);
        EXPECT_EQ(items, row.items) << row.text;
    }
    std::wstring longest;
    for (int i = 0; i < 520; ++i)
        longest += L"AB";
    uint8_t pattern[520], mask[520];
    int length = 0;
    EXPECT_TRUE(FindHexThread::ParsePattern(longest.c_str(), pattern, mask, length));
    EXPECT_EQ(length, 520);
    EXPECT_FALSE(FindHexThread::ParsePattern((longest + L"AB").c_str(), pattern, mask, length));
}

TEST(FindHex, HitText) {
    const uint8_t bytes[] = { 0x8B, 0x0A, 0xFF };
    EXPECT_EQ(FindHexThread::HexText(bytes, 3), L"8B 0A FF");
    std::vector<uint8_t> many(100, 0xAB);
    EXPECT_EQ(FindHexThread::HexText(many.data(), 100).size(), 85u * 3 - 1);
}

TEST(FindParameters, HistoryKeepsSetsInStep) {
    FindParametersList list;
    FindParameters p;
    for (int i = 0; i < 70; ++i) {
        p.text = StringW(kFormat, L"t%d", i);
        p.flags = static_cast<uint32_t>(i);
        list.Push(p);
    }
    ASSERT_EQ(list.Count(), 64);
    for (int i = 0; i < list.Count(); ++i)
        ASSERT_EQ(list.ParametersAt(i)->text, list.At(i));
    p.text = L"t10";   // an older entry moves first with its new parameters
    p.flags = 1000;
    list.Push(p);
    EXPECT_EQ(list.At(0), L"t10");
    EXPECT_EQ(list.ParametersAt(0)->flags, 1000u);
    EXPECT_EQ(list.Count(), 64);
    p.flags = 2000;    // the same text again replaces the newest set
    list.Push(p);
    EXPECT_EQ(list.ParametersAt(0)->flags, 2000u);
    for (int i = 0; i < list.Count(); ++i)
        ASSERT_EQ(list.ParametersAt(i)->text, list.At(i));
    EXPECT_EQ(list.ParametersAt(64), nullptr);
    p.text = L"";
    list.Push(p);
    EXPECT_EQ(list.At(0), L"t10");
}

// A document over bytes of a test's choosing with the segments given, and its find state.
class FindDocument {
public:
    struct Segment {
        int32_t kind;
        int64_t address, offset, sizeInFile, sizeInMemory;
    };
    FindDocument(const std::string& bytes, std::vector<Segment> segments, bool zeroFill = true)
        : file_(L"find.bin", bytes), segments_(std::move(segments)), parser_(this, zeroFill), open_(dir_) {
        doc = open_.doc;
        EXPECT_TRUE(doc->OpenFile(RequestFor(file_.Path(), &parser_, 32, 0)));
        context = &doc->finds;
        open_.log.lines.clear();
        open_.host.notices.clear();
    }

    // Runs a find with the flags over the whole file and hands its end to the context.
    FindResult* Run(const wchar_t* text, uint32_t flags) {
        context->parameters.text = text;
        context->parameters.flags = flags;
        context->RunFind(nullptr);
        FindResult* r = context->GetResultByIndex(static_cast<int>((flags & kFindPaneMask) >> kFindPaneShift));
        context->OnFindDone(r);
        return r;
    }
    // Runs a job of a test's own over [start, end) and hands its end to the context.
    FindResult* RunJob(BFindThread& job, const wchar_t* text, uint32_t flags, int64_t start, int64_t end) {
        context->parameters.text = text;
        context->parameters.flags = flags;
        context->parameters.rangeStart = start;
        context->parameters.rangeEnd = end;
        job.SetParameters(context->parameters);
        job.Run();
        FindResult* r = context->GetResultByIndex(job.PaneNumber());
        EXPECT_EQ(r->runningJobs, 0);
        context->OnFindDone(r);
        return r;
    }
    static std::vector<int64_t> Addresses(FindResult* r) {
        std::vector<int64_t> a;
        for (int i = 0; i < r->Count(); ++i)
            a.push_back(r->At(i).pos.address);
        return a;
    }
    const std::vector<std::wstring>& Lines() const { return open_.log.lines; }
    FakeHost& Host() { return open_.host; }

    FileParseThread* doc;
    FindContext* context = nullptr;

private:
    struct Parser : LambdaParser {
        Parser(FindDocument* owner, bool zeroFill)
            : LambdaParser([owner](FileParseThread* d) {
                  for (const Segment& s : owner->segments_)
                      d->AddSegment(s.kind, s.address, s.offset, s.sizeInFile, s.sizeInMemory);
                  return true;
              }),
              zeroFill(zeroFill) {}
        // Without the fill, memory past a segment's file part delivers nothing (a short read).
        uint32_t ClearBuffer(ParseRequest* r, uint32_t low, uint32_t high, void* out, uint32_t count) override {
            return zeroFill ? LambdaParser::ClearBuffer(r, low, high, out, count) : 0;
        }
        bool zeroFill;
    };
    FakeDirectory dir_;
    TempFile file_;
    std::vector<Segment> segments_;
    Parser parser_;
    OpenDocument open_;
};

constexpr uint32_t kHex1 = kFindHexMode | (1u << kFindPaneShift) | kFindCodeSegments | kFindDataSegments;
constexpr uint32_t kLine1 = kFindLineMode | (1u << kFindPaneShift) | kFindCodeSegments | kFindDataSegments |
                            kFindCodeLines | kFindOtherLines | kFindComments;

TEST(FindHex, FiveMegabytesInChunks) {
    const int size = 5 * 1024 * 1024;
    std::string bytes(size, '\x11');
    const std::string pattern = "\x8B\x45\xF8\x50";
    const std::vector<int64_t> planted = { 0, 0x200000 - 2, 0x3FFFFF, size - 4 };   // across both borders too
    for (int64_t at : planted)
        bytes.replace(static_cast<size_t>(at), 4, pattern);
    FindDocument d(bytes, { { 0, 0x10000000, 0, size, 0 } });
    std::vector<int64_t> expected;
    for (int64_t at : planted)
        expected.push_back(0x10000000 + at);

    FindResult* r = d.Run(L"8B 45 ?? 50", kHex1);
    EXPECT_EQ(FindDocument::Addresses(r), expected);
    _RESULT_DIZA hit = r->At(1);
    EXPECT_EQ(hit.length, 4);
    EXPECT_STREQ(hit.text, L"8B 45 F8 50");
    ASSERT_EQ(d.Lines().size(), 2u);
    EXPECT_EQ(d.Lines()[0], L"Find1 for '8B 45 ?? 50' is starting ...");
    EXPECT_EQ(d.Lines()[1].rfind(L"Find1 for '8B 45 ?? 50' is finished in ", 0), 0u) << d.Lines()[1];
    EXPECT_EQ(d.Host().Messages(), (std::vector<uint32_t>{ kMsgFindJob, kMsgFindJob }));
    EXPECT_TRUE(r->SearchesLines() == false);

    // Backward: the same hits (a result list keeps them sorted), found from the end down.
    FindResult* back = d.Run(L"8B 45 ?? 50", kHex1 | kFindBackward);
    EXPECT_EQ(FindDocument::Addresses(back), expected);
}

TEST(FindHex, BackwardFindsForwardHitsReversed) {
    std::mt19937 rng(144);
    std::string bytes(0x500000, '\0');
    for (auto& c : bytes)
        c = static_cast<char>(rng());
    // Overlapping hits, also across the second segment's chunk borders.
    for (int at : { 0, 0x1FFFFE, 0x27FFFB, 0x280000 + 0x1FFFFF, 0x4FFFFB })
        bytes.replace(at, 5, std::string("\x5A\x01\x5A\x01\x5A", 5));
    FindDocument d(bytes, { { 0, 0x1000, 0, 0x280000, 0 }, { 0, 0x400000, 0x280000, 0x280000, 0 } });
    FindResult* forward = d.Run(L"5A 01 5A", kHex1);
    const std::vector<int64_t> f = FindDocument::Addresses(forward);
    std::vector<int64_t> naive;
    for (int s = 0; s < 2; ++s)
        for (int i = 0; i + 2 < 0x280000; ++i)
            if (bytes.compare(s * 0x280000 + i, 3, "\x5A\x01\x5A") == 0)
                naive.push_back((s ? 0x400000 : 0x1000) + i);
    EXPECT_EQ(f, naive);
    EXPECT_GE(f.size(), 10u);
    FindResult* backward = d.Run(L"5A 01 5A", kHex1 | kFindBackward);
    EXPECT_EQ(FindDocument::Addresses(backward), f);
}

TEST(FindHex, ManyBackwardHitsMatchForwardHits) {
    // More hits than the result list queues before it merges, over three chunks.
    std::mt19937 rng(9);
    std::string bytes(0x480000, '\0');
    for (auto& c : bytes)
        c = static_cast<char>(rng() % 24);
    FindDocument d(bytes, { { 0, 0x1000, 0, static_cast<int64_t>(bytes.size()), 0 } });
    FindResult* forward = d.Run(L"07", kHex1);
    const std::vector<int64_t> f = FindDocument::Addresses(forward);
    EXPECT_GT(f.size(), 150000u);
    FindResult* backward = d.Run(L"07", kHex1 | kFindBackward);
    EXPECT_EQ(FindDocument::Addresses(backward), f);
    const int last = backward->Count() - 1;
    EXPECT_STREQ(backward->At(last).text, L"07");
    EXPECT_EQ(backward->At(last).length, 1);
}

TEST(FindHex, StopKeepsTheLastHit) {
    std::string bytes(0x1000, '\0');
    for (int at : { 0x100, 0x200, 0x300 })
        bytes[at] = '\x77';
    FindDocument d(bytes, { { 0, 0x5000, 0, 0x1000, 0 } });
    struct Stopping : FindHexThread {
        using FindHexThread::FindHexThread;
        bool Prepare() override {
            result->stop = 1;   // as if Escape came with the first hit
            return FindHexThread::Prepare();
        }
    };
    Stopping job(d.doc, d.context);
    FindResult* r = d.RunJob(job, L"77", kHex1, 0x5000, 0x6000);
    EXPECT_EQ(FindDocument::Addresses(r), (std::vector<int64_t>{ 0x5100 }));
    EXPECT_EQ(r->stopAddress, 0x5100);
    ASSERT_FALSE(d.Lines().empty());
    EXPECT_EQ(d.Lines().back(), L"Find1 for '77' is canceled at " + d.doc->AddressText(0x5100) + L".");
}

TEST(FindHex, OutOfMemoryEndsLikeAStop) {
    std::string bytes(0x1000, '\0');
    bytes[0x10] = '\x77';
    bytes[0x800] = '\x77';
    FindDocument d(bytes, { { 0, 0x5000, 0, 0x1000, 0 } });
    struct Starving : FindHexThread {
        using FindHexThread::FindHexThread;
        bool ScanChunkForward(int64_t address, int32_t count) override {
            FindHexThread::ScanChunkForward(address, count);
            throw std::bad_alloc();
        }
    };
    Starving job(d.doc, d.context);
    FindResult* r = d.RunJob(job, L"77", kHex1, 0x5000, 0x6000);
    EXPECT_EQ(FindDocument::Addresses(r), (std::vector<int64_t>{ 0x5010, 0x5800 }));
    ASSERT_GE(d.Lines().size(), 2u);
    EXPECT_EQ(d.Lines()[d.Lines().size() - 2], L"Find1: not enough memory");
    EXPECT_EQ(d.Lines().back().rfind(L"Find1 for '77' is canceled at ", 0), 0u);
}

TEST(FindHex, UserTextIsNeverAFormat) {
    FindDocument d(std::string(0x10, '\0'), { { 0, 0x5000, 0, 0x10, 0 } });
    d.Run(L"%s%n%d", kHex1);
    ASSERT_EQ(d.Lines().size(), 2u);
    EXPECT_EQ(d.Lines()[0], L"Find1 for '%s%n%d' is starting ...");
    EXPECT_EQ(d.Lines()[1].rfind(L"Find1 for '%s%n%d' is finished in ", 0), 0u);
}

TEST(FindHex, SegmentKindsAndShortReads) {
    std::string bytes(0x40, '\0');
    bytes[0x08] = '\x77';   // in the code segment
    bytes[0x28] = '\x77';   // in the data segment, whose memory part reads short
    FindDocument d(bytes, { { 32, 0x1000, 0, 0x20, 0 }, { 0, 0x2000, 0x20, 0x20, 0x600000 } }, false);
    EXPECT_EQ(FindDocument::Addresses(d.Run(L"77", kHex1 & ~kFindCodeSegments)), (std::vector<int64_t>{ 0x2008 }));
    EXPECT_EQ(FindDocument::Addresses(d.Run(L"77", kHex1 & ~kFindDataSegments)), (std::vector<int64_t>{ 0x1008 }));
    EXPECT_EQ(FindDocument::Addresses(d.Run(L"77", kHex1 | kFindBackward)), (std::vector<int64_t>{ 0x1008, 0x2008 }));
    // Nothing to search for: an empty result and the usual end line.
    FindResult* r = d.Run(L"?? ??", kHex1);
    EXPECT_EQ(r->Count(), 0);
    EXPECT_EQ(d.Lines().back().rfind(L"Find1 for '?\? ?\?' is finished in ", 0), 0u);
    r = d.Run(L"7", kHex1);
    EXPECT_EQ(r->Count(), 0);
}

// A host whose dialog answers as the test says.
struct FakeFindHost : BFindHost {
    bool RunDialog(FindContext& context) override {
        ++dialogs;
        seenFlags = context.parameters.flags;
        seenText = context.parameters.text;
        if (!ok)
            return false;
        context.parameters.flags = flags;
        return true;
    }
    StringW WindowSearchText() override { return own; }
    bool BlockSelection(int64_t& start, int64_t& end) override {
        start = selectionStart;
        end = selectionEnd;
        return selectionStart != -1;
    }
    int64_t CursorAddress(bool hex) override { return hex ? dumpCursor : lineCursor; }
    void ShowResultPane(int paneId) override { shown.push_back(paneId); }

    bool ok = true;
    uint32_t flags = 0;
    StringW own;
    int64_t selectionStart = -1, selectionEnd = -1, dumpCursor = -1, lineCursor = -1;
    int dialogs = 0;
    uint32_t seenFlags = 0;
    StringW seenText;
    std::vector<int> shown;
};

// The host gets to stop a find between chunks too, so a long hex find with few hits can be stopped;
// a stop that comes as the last bytes are searched finds the find finished.
TEST(FindHex, AStopBetweenChunksEndsAFindWithFewHits) {
    const int64_t kBase = 0x10000000;
    const struct {
        int size;
        bool twoSegments;   // the second half at kBase + 0x1000000
        uint32_t flags;
        int hits;
        const wchar_t* end;   // "" finished
    } rows[] = {
        { 5 << 20, false, kHex1, 0, L"canceled at 101FFFFD." },   // where the second chunk starts
        { 5 << 20, false, kHex1 | kFindBackward, 1, L"canceled at 10300000." },
        { 1 << 20, false, kHex1, 1, L"" },
        { 1 << 20, false, kHex1 | kFindBackward, 1, L"" },
        { 2 << 20, true, kHex1, 0, L"canceled at 11000000." },   // before the next segment
        { 2 << 20, true, kHex1 | kFindBackward, 1, L"canceled at 100FFFFF." },
        { (2 << 20) + 1, false, kHex1 | kFindBackward, 1, L"canceled at 10000001." },   // a pattern's length left
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        std::string bytes(row.size, '\x11');
        bytes.replace(row.size - 4, 4, "\x8B\x45\xF8\x50");
        const int half = row.size / 2;
        FindDocument d(bytes, row.twoSegments ? std::vector<FindDocument::Segment>{ { 0, kBase, 0, half, 0 },
                                                                                    { 0, kBase + 0x1000000, half, half, 0 } }
                                              : std::vector<FindDocument::Segment>{ { 0, kBase, 0, row.size, 0 } });
        struct StoppingHost : FakeFindHost {
            void PollStop() override {
                ++polls;
                context->StopAll();
            }
            FindContext* context = nullptr;
            int polls = 0;
        } host;
        host.context = d.context;
        d.context->parameters.text = L"8B 45 ?? 50";
        d.context->parameters.flags = row.flags;
        d.context->RunFind(&host);
        FindResult* r = d.context->GetResultByIndex(1);
        d.context->OnFindDone(r);
        EXPECT_EQ(host.polls, 1);
        EXPECT_EQ(r->Count(), row.hits);
        ASSERT_FALSE(d.Lines().empty());
        const std::wstring said = L"Find1 for '8B 45 ?? 50' is ";
        if (*row.end)
            EXPECT_EQ(d.Lines().back(), said + row.end);
        else
            EXPECT_EQ(d.Lines().back().rfind(said + L"finished in ", 0), 0u) << d.Lines().back();
    }
}

// Each look at the input is a round trip to the window system: a long find looks at most once every
// kPollMs, not every kPollEvery lines.
TEST(FindPolls, TheHostIsPolledByTimeNotByLine) {
    const int size = 256 * 1024;   // as many one-byte lines
    FindDocument d(std::string(size, '\x90'), { { 1, 0x10000000, 0, size, 0 } });
    struct CountingHost : FakeFindHost {
        void PollStop() override { ++polls; }
        int polls = 0;
    } host;
    host.flags = kLine1 & ~kFindComments;
    d.context->parameters.text = L"qqqzzz*";
    const DWORD start = ::GetTickCount();
    d.context->RunFind(&host);
    const DWORD elapsed = ::GetTickCount() - start;
    d.context->OnFindDone(d.context->GetResultByIndex(1));
    EXPECT_GE(host.polls, 1);
    EXPECT_LE(host.polls, static_cast<int>(elapsed / BFindThread::kPollMs) + 2) << elapsed << " ms";
}

TEST(FindContextStart, DialogRangeAndHistory) {
    std::string bytes(0x300, '\0');
    FindDocument d(bytes, { { 0, 0x1000, 0, 0x100, 0 }, { 0, 0x3000, 0x100, 0x200, 0 } });
    FakeFindHost host;
    host.ok = false;
    host.own = L"call";
    d.context->parameters.flags = kHex1;
    d.doc->options.file.stringCodepage.index = 1;
    EXPECT_FALSE(d.context->Start(&host));
    EXPECT_EQ(host.seenText, L"call");                              // the window's text, in line mode
    EXPECT_EQ(host.seenFlags & kFindModeMask, static_cast<uint32_t>(kFindLineMode));
    EXPECT_TRUE(host.seenFlags & kFindOem);
    EXPECT_FALSE(host.seenFlags & kFindSelection);
    EXPECT_EQ(d.context->history.Count(), 0);
    EXPECT_TRUE(d.Lines().empty());

    host.ok = true;
    host.own = L"";
    d.context->parameters.text = L"00 00";
    host.flags = kHex1 | kFindBackward | kFindFromCursor | (2u << kFindPaneShift);
    host.flags &= ~(1u << kFindPaneShift);
    host.dumpCursor = 0x3010;
    EXPECT_TRUE(d.context->Start(&host));
    FindResult* r = d.context->GetResult(kFind2Pane);
    EXPECT_EQ(r->parameters.rangeStart, 0x1000);   // backward from the cursor: the file's start to it
    EXPECT_EQ(r->parameters.rangeEnd, 0x3010);
    EXPECT_EQ(host.shown, (std::vector<int>{ kFind2Pane }));
    EXPECT_EQ(d.context->history.Count(), 1);
    EXPECT_EQ(d.Lines()[0], L"Find2 for '00 00' is starting ...");
    EXPECT_EQ(r->Count(), 0x100 - 1 + 0x10 - 1);

    host.selectionStart = 0x3020;
    host.selectionEnd = 0x3030;
    host.flags = kHex1 | kFindSelection | kFindFromCursor;
    EXPECT_TRUE(d.context->Start(&host));
    EXPECT_TRUE(host.seenFlags & kFindSelection);
    r = d.context->GetResult(kFind1Pane);
    EXPECT_EQ(r->parameters.rangeStart, 0x3020);
    EXPECT_EQ(r->parameters.rangeEnd, 0x3030);
    EXPECT_EQ(r->Count(), 0xF);

    d.context->SetActivePane(kFind1Pane, &host);
    EXPECT_TRUE(d.context->IsHexResultActive());
    EXPECT_FALSE(d.context->IsTextResultActive());
    EXPECT_TRUE(d.context->IsHexHitAt(0x3021));
    EXPECT_FALSE(d.context->IsHexHitAt(0x3030));
    EXPECT_FALSE(d.context->HasTextHits());
}

// Code and data items whose line texts the line find searches.
class FindLines : public ::testing::Test {
protected:
    FindLines()
        : d(Bytes(), { { 32, 0x401000, 0, 0x20, 0 }, { 0, 0x402000, 0x20, 0x20, 0 } }) {
        MakerCode code(d.doc);
        EXPECT_TRUE(code.Make(0x401000, 0x10));
        MakerAsciiz text(d.doc);
        EXPECT_TRUE(text.Make(0x402000, 0xFFFFFFFF));
        d.doc->stores.names.Add(0x401005, L"loop_start", 0);
        d.doc->stores.onlineComments.SetComment(0x401006, L"count the loop down");
    }
    static std::string Bytes() {
        // mov eax,1 / nop / dec eax / jnz -3 / ret ... then the string "mov the loop" in data
        std::string b = std::string("\xB8\x01\x00\x00\x00\x90\x48\x75\xFD\xC3", 10) + std::string(0x16, '\x90');
        b += std::string("mov the loop", 12) + std::string(0x14, '\0');
        return b;
    }
    FindDocument d;
};

TEST_F(FindLines, LineKindsAndDirections) {
    FindResult* r = d.Run(L"loop", kLine1);
    const std::vector<int64_t> all = FindDocument::Addresses(r);
    EXPECT_EQ(all, (std::vector<int64_t>{ 0x401005, 0x401006, 0x402000 }));
    _RESULT_DIZA hit = r->At(0);
    EXPECT_EQ(diza::KindOf(hit.pos.line), diza::kLineName);
    EXPECT_STREQ(hit.text, L"loop_start");
    EXPECT_EQ(hit.value, 0);
    EXPECT_EQ(hit.length, 4);

    EXPECT_EQ(FindDocument::Addresses(d.Run(L"loop", kLine1 & ~kFindComments)), (std::vector<int64_t>{ 0x402000 }));
    EXPECT_EQ(FindDocument::Addresses(d.Run(L"loop", kLine1 & ~kFindDataSegments)),
              (std::vector<int64_t>{ 0x401005, 0x401006 }));
    // Code segments are skipped when not asked for, whatever the line flags.
    EXPECT_EQ(FindDocument::Addresses(d.Run(L"nop", kLine1 & ~kFindCodeSegments)), std::vector<int64_t>{});
    r = d.Run(L"nop", kLine1);
    EXPECT_GE(r->Count(), 1);
    EXPECT_EQ(r->At(0).pos.address, 0x401005);
    EXPECT_EQ(FindDocument::Addresses(d.Run(L"mov", kLine1 & ~kFindCodeLines)), (std::vector<int64_t>{ 0x402000 }));
    EXPECT_EQ(FindDocument::Addresses(d.Run(L"mov", kLine1 & ~kFindOtherLines)), (std::vector<int64_t>{ 0x401000 }));
    EXPECT_EQ(FindDocument::Addresses(d.Run(L"^MOV", kLine1 | kFindCase)), std::vector<int64_t>{});

    // Backward gives the same hits.
    EXPECT_EQ(FindDocument::Addresses(d.Run(L"loop", kLine1 | kFindBackward)), all);
    r = d.Run(L"!(nop|loop)", kLine1 & ~kFindDataSegments & ~kFindComments);
    for (int i = 0; i < r->Count(); ++i) {
        EXPECT_EQ(r->At(i).value, 0);
        EXPECT_EQ(r->At(i).length, 0);
    }
    EXPECT_GE(r->Count(), 3);
    // A pattern that does not compile: an empty result and the usual end line.
    r = d.Run(std::wstring(300, L'x').c_str(), kLine1);
    EXPECT_EQ(r->Count(), 0);
    EXPECT_NE(d.Lines().back().find(L"is finished in"), std::wstring::npos);
}

TEST_F(FindLines, StopLogsWhereItStopped) {
    struct Stopping : FindLineThread {
        using FindLineThread::FindLineThread;
        bool Prepare() override {
            result->stop = 1;
            return FindLineThread::Prepare();
        }
    };
    BFindLines lines;
    Stopping job(d.doc, d.context, &lines);
    FindResult* r = d.RunJob(job, L"mov", kLine1, 0x401000, 0x402020);
    EXPECT_EQ(r->stopAddress, 0x401000);   // the first line looked at
    EXPECT_EQ(d.Lines().back(), L"Find1 for 'mov' is canceled at " + d.doc->AddressText(0x401000) + L".");
}

}  // namespace
