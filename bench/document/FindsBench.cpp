// The string scan, the hex find and the line find over one document each. The string scan and the hex
// find run on the two files named on the command line (64 MB of real executable bytes and 64 MB of
// random bytes); the line find on a made-up code segment of one million instructions with a rare and
// a frequent hit. Peers (GNU strings and glibc's memmem, run natively by finds_bench.sh in the same
// session) are passed in as milliseconds, and the ratios are printed beside our own figures:
//
//   finds_bench.exe real.bin random.bin [strings-ms-real strings-ms-random memmem-ms-real memmem-ms-random]

#include "document/BFileParser.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "document/DizaWalk.h"
#include "document/FindContext.h"
#include "document/ScanStringz.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 3;
constexpr const wchar_t* kHexPattern = L"48 89 5C 24";
// One byte, frequent in both files: hundreds of thousands of hits, which a backward find adds to its
// result list in falling address order.
constexpr const wchar_t* kManyHitsPattern = L"45";

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class OneDocument : public BFileDirectory {
public:
    FileParseThread* FindFileById(int32_t id) override { return doc && doc->Serial() == id ? doc : nullptr; }
    FileParseThread* doc = nullptr;
};
OneDocument g_directory;

// Lays the whole file out as one segment of the kind given.
class WholeFileParser : public BFileParser {
public:
    explicit WholeFileParser(int kind) : kind_(kind) { title = L"bench"; }
    bool Parse(ParseRequest* request) override {
        FileParseThread* d = FindFileById(request->head.fileId);
        return d && d->AddSegment(kind_, 0x10000000, 0, d->FileSize(), 0);
    }

private:
    int kind_;
};

// A file window as a find meets it: each hit selects its row in the shown result list, and the
// disassembly pane, repainted at the hit, asks whether a hit lies before and after it.
class ListHost : public BDocumentHost {
public:
    void AttachDocument(FileParseThread* d, int32_t) override { document = d; }
    intptr_t NotifyWindows(uint32_t, uintptr_t, intptr_t, bool) override { return 0; }
    void SendNotify(uint32_t, uintptr_t, intptr_t) override {}
    void Post(uint32_t message, uintptr_t wparam, intptr_t) override {
        if (message == kMsgParserDone)
            parsersDone.push_back(static_cast<int>(wparam));
    }
    void UpdateTabTitle() override {}
    void Relayout() override {}
    void RepaintSideTabs() override {}
    void OnClosing() override {}
    void CloseCancelQuestion() override {}
    void ShowProgress(const wchar_t*) override {}
    void PumpMessages() override {}
    bool CommentPaneVisible() override { return false; }
    void OnResultFound(int index, int64_t address) override {
        FindResult* result = document->finds.GetResultByIndex(index + 1);
        const int row = result->FindAddress(address);
        if (row >= 0 && row < result->Count())
            selected = result->At(row).pos.address;
        result->Prev(address);
        result->Next(address);
    }
    // The parser ends the window would get posted.
    void Deliver() {
        for (size_t i = 0; i < parsersDone.size(); ++i)
            document->OnParserDone(parsersDone[i]);
        parsersDone.clear();
    }

    FileParseThread* document = nullptr;
    std::vector<int> parsersDone;
    int64_t selected = -1;
};

struct Document {
    Document(const std::wstring& path, int kind, uint32_t flags, ListHost* host = nullptr)
        : parser(kind), doc(new FileParseThread(host)) {
        g_directory.doc = doc.get();
        ParseRequest* r = MakeParseRequest(path.c_str());
        r->mainParser = &parser;
        r->head.bitness = 32;
        r->head.acceptCode = 1;
        r->head.flags = flags;
        ok = doc->OpenFile(r) && doc->Segments().Count() == 1;
        if (host)
            host->Deliver();
    }
    WholeFileParser parser;
    std::unique_ptr<FileParseThread> doc;
    bool ok = false;
};

// Best of the rounds of a find with these parameters: seconds, and the hits of the last round.
double BestFind(FindContext& finds, const wchar_t* text, uint32_t flags, int& hits, int rounds = kRounds) {
    double best = 1e30;
    for (int round = 0; round < rounds; ++round) {
        finds.parameters.text = text;
        finds.parameters.flags = flags;
        const auto start = std::chrono::steady_clock::now();
        finds.RunFind(nullptr);
        best = std::min(best, Seconds(start));
        hits = finds.GetResultByIndex(1)->Count();
    }
    return best;
}

std::wstring Wide(const char* s) { return std::wstring(s, s + std::strlen(s)); }

double Ratio(double peer, double ours) { return ours > 0 && peer > 0 ? peer / ours : 0; }

void BenchFile(const char* label, const char* path, double stringsPeerMs, double memmemPeerMs) {
    Document d(Wide(path), 0, kScanAscii | kScanWideEven | kScanWideOdd);
    if (!d.ok) {
        std::printf("%s: cannot open %s\n", label, path);
        return;
    }
    const double mb = d.doc->FileSize() / 1048576.0;
    double best = 1e30;
    int found = 0;
    for (int round = 0; round < kRounds; ++round) {
        d.doc->strings.Remove(0, d.doc->strings.Count());
        const auto start = std::chrono::steady_clock::now();
        d.doc->stringScan.Run();
        best = std::min(best, Seconds(start));
        found = d.doc->strings.Count();
    }
    std::printf("%-7s string scan (3 passes + table): %8.1f ms  %7.1f MB/s  %8d strings", label, best * 1e3,
                mb / best, found);
    if (stringsPeerMs > 0)
        std::printf("  | strings -a -n 8: %8.1f ms  ratio %.2fx", stringsPeerMs, Ratio(stringsPeerMs, best * 1e3));
    std::printf("\n");

    int hits = 0;
    best = BestFind(d.doc->finds, kHexPattern,
                    kFindHexMode | (1u << kFindPaneShift) | kFindCodeSegments | kFindDataSegments, hits);
    std::printf("%-7s hex find '%ls':            %8.1f ms  %7.1f MB/s  %8d hits   ", label, kHexPattern, best * 1e3,
                mb / best, hits);
    if (memmemPeerMs > 0)
        std::printf("  | memmem:          %8.1f ms  ratio %.2fx", memmemPeerMs, Ratio(memmemPeerMs, best * 1e3));
    std::printf("\n");

    const uint32_t hex = kFindHexMode | (1u << kFindPaneShift) | kFindCodeSegments | kFindDataSegments;
    int forwardHits = 0, backwardHits = 0;
    const double forward = BestFind(d.doc->finds, kManyHitsPattern, hex, forwardHits, 1);
    const double backward = BestFind(d.doc->finds, kManyHitsPattern, hex | kFindBackward, backwardHits, 1);
    std::printf("%-7s hex find '%ls' forward:   %8.1f ms  %8d hits; backward: %8.1f ms  %8d hits  (%.2fx forward)\n",
                label, kManyHitsPattern, forward * 1e3, forwardHits, backward * 1e3, backwardHits,
                forward > 0 ? backward / forward : 0);
}

// One million instructions: push esi / mov eax,ebx / add ecx,4, every tenth xor edx,edx and every
// ten-thousandth cpuid.
std::string MadeUpCode(int instructions) {
    std::string code;
    code.reserve(instructions * 3);
    for (int i = 0; i < instructions; ++i) {
        if (i % 10000 == 9999)
            code += "\x0F\xA2";
        else if (i % 10 == 9)
            code += "\x31\xD2";
        else if (i % 3 == 0)
            code += "\x56";
        else if (i % 3 == 1)
            code += "\x89\xD8";
        else
            code += "\x83\xC1\x04";
    }
    return code;
}

void BenchLines() {
    const int instructions = 1000000;
    const std::string code = MadeUpCode(instructions);
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"fnd", 0, path);
    HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(f, code.data(), static_cast<DWORD>(code.size()), &written, nullptr);
    CloseHandle(f);
    {
        Document d(path, 32, 0);
        if (!d.ok) {
            std::printf("line find: cannot open the code file\n");
        }
        // Where a line's time goes: the walk alone, then the walk and the line texts.
        for (int withText = 0; d.ok && withText < 2; ++withText) {
            BFindLines lines;
            StringW text;
            const auto start = std::chrono::steady_clock::now();
            int n = 0;
            BDizaWalk walk(d.doc.get());
            lines.models = &walk.models;   // as the line find lends them
            for (walk.SetAddress(0x10000000); walk.IsLine(); walk.NextLine(), ++n)
                if (withText)
                    lines.BodyText(d.doc.get(), walk.current, text);
            const double s = Seconds(start);
            std::printf("%-32s %d lines:  %8.1f ms  %7.2f M lines/s\n",
                        withText ? "walk and line texts over" : "walk alone over", n, s * 1e3, n / s / 1e6);
        }
        for (const wchar_t* pattern : { L"cpuid", L"xor edx" }) {
            int hits = 0;
            const double best = d.ok ? BestFind(d.doc->finds, pattern,
                                                kFindLineMode | (1u << kFindPaneShift) | kFindCodeSegments | kFindCodeLines, hits)
                                     : 0;
            std::printf("line find '%-8ls' over %d lines: %8.1f ms  %7.2f M lines/s  %8d hits (1 in %d)\n", pattern,
                        instructions, best * 1e3, instructions / best / 1e6, hits, hits ? instructions / hits : 0);
        }
        // Backward: the walk steps back through one run of code, the hits come in falling order.
        int hits = 0;
        const double back = d.ok ? BestFind(d.doc->finds, L"xor edx",
                                            kFindLineMode | (1u << kFindPaneShift) | kFindCodeSegments | kFindCodeLines |
                                                kFindBackward,
                                            hits, 1)
                                 : 0;
        std::printf("line find 'xor edx ' backward:          %8.1f ms  %7.2f M lines/s  %8d hits\n", back * 1e3,
                    instructions / back / 1e6, hits);
    }
    {
        // With a window: every hit selects its row in the result list while the find runs.
        ListHost host;
        Document d(path, 32, 0, &host);
        const uint32_t flags = kFindLineMode | (1u << kFindPaneShift) | kFindCodeSegments | kFindCodeLines;
        int forwardHits = 0, backwardHits = 0;
        const double forward = d.ok ? BestFind(d.doc->finds, L"xor edx", flags, forwardHits, 1) : 0;
        const double backward = d.ok ? BestFind(d.doc->finds, L"xor edx", flags | kFindBackward, backwardHits, 1) : 0;
        std::printf("line find 'xor edx ' with a window: forward %8.1f ms  %8d hits; backward %8.1f ms  %8d hits"
                    "  (%.2fx forward)\n",
                    forward * 1e3, forwardHits, backward * 1e3, backwardHits, forward > 0 ? backward / forward : 0);
    }
    DeleteFileW(path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: %s real.bin random.bin [strings-ms-real strings-ms-random memmem-ms-real memmem-ms-random]\n",
                    argv[0]);
        return 2;
    }
    SetFileDirectory(&g_directory);
    auto peer = [&](int i) { return argc > i ? std::atof(argv[i]) : 0.0; };
    BenchFile("real", argv[1], peer(3), peer(5));
    BenchFile("random", argv[2], peer(4), peer(6));
    BenchLines();
    SetFileDirectory(nullptr);
    return 0;
}
