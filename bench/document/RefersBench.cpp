// The refers scan over synthetic 32-bit code of 4, 16 and 64 MB: functions of calls, jumps, memory
// operands and plain instructions. Prints MB/s, pairs/s and the time per pair at each size, the ratio
// of the time per pair at each size to that at 4 MB (flat stays near 1), and as the peer the bare
// decoder's speed over the same bytes in the same run, with the scan's time over the decoder's. Each
// figure is the best of several runs (3, or the number given).
//   refers_bench [runs]

#include "document/BFileParser.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int64_t kBase = 0x400000;
constexpr int64_t kCodeStart = 0x401000;

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Put32(std::vector<uint8_t>& code, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        code[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Functions of 64 to 512 bytes; about a quarter of the instructions are calls to function starts, a
// sixth branches within a few KB, a tenth read a dword elsewhere in the code.
std::vector<uint8_t> SyntheticCode(uint32_t size) {
    std::mt19937 random(2503);
    std::vector<uint32_t> starts;
    for (uint32_t at = 0; at < size - 1024; at += 64 + random() % 449)
        starts.push_back(at);
    std::vector<uint8_t> code(size, 0x90);
    for (size_t f = 0; f < starts.size(); ++f) {
        const uint32_t end = f + 1 < starts.size() ? starts[f + 1] : size - 16;
        uint32_t at = starts[f];
        code[at++] = 0x55;   // push ebp
        code[at++] = 0x8B;   // mov ebp,esp
        code[at++] = 0xEC;
        while (at + 8 < end) {
            const uint32_t pick = random() % 100;
            const int64_t here = kCodeStart + at;
            if (pick < 25) {
                const uint32_t target = starts[random() % starts.size()];
                code[at] = 0xE8;
                Put32(code, at + 1, static_cast<uint32_t>(kCodeStart + target - (here + 5)));
                at += 5;
            } else if (pick < 40) {
                const int64_t target = std::max<int64_t>(kCodeStart, std::min<int64_t>(kCodeStart + size - 1,
                                                          here + static_cast<int32_t>(random() % 8192) - 4096));
                code[at] = 0x0F;
                code[at + 1] = static_cast<uint8_t>(0x80 + random() % 16);
                Put32(code, at + 2, static_cast<uint32_t>(target - (here + 6)));
                at += 6;
            } else if (pick < 50) {
                code[at] = 0xA1;   // mov eax,[abs]
                Put32(code, at + 1, static_cast<uint32_t>(kCodeStart + random() % size));
                at += 5;
            } else if (pick < 75) {
                code[at] = 0x83;   // add reg,imm8
                code[at + 1] = static_cast<uint8_t>(0xC0 + random() % 8);
                code[at + 2] = static_cast<uint8_t>(random());
                at += 3;
            } else {
                code[at] = 0x89;   // mov reg,reg
                code[at + 1] = static_cast<uint8_t>(0xC0 + random() % 64);
                at += 2;
            }
        }
        code[end - 1] = 0xC3;
    }
    return code;
}

class CodeParser : public BFileParser {
public:
    bool Parse(ParseRequest*) override {
        return document->AddCodeSegment(kCodeStart, 0, document->FileSize(), 0);
    }
    FileParseThread* document = nullptr;
};

struct Figures {
    double seconds;
    int pairs;
    int names;
    double decodeSeconds;   // the bare decoder over the same bytes
};

// One linear sweep of the document's decoder over the bytes, as the scan decodes them.
double DecodeSeconds(const BDecodeEngine& engine, const std::vector<uint8_t>& code) {
    std::unique_ptr<BDecodeEngine> decoder = engine.Clone();
    const auto start = std::chrono::steady_clock::now();
    size_t insns = 0;
    for (size_t at = 0; at < code.size(); ++insns)
        at += std::max(1u, decoder->DecodeBytes(kCodeStart + static_cast<int64_t>(at), code.data() + at, code.size() - at));
    const double seconds = Seconds(start);
    return insns > 0 ? seconds : 0;
}

// One scan of a new document over the file; false when it cannot be opened.
bool ScanOnce(const wchar_t* path, const std::vector<uint8_t>& code, Figures* out) {
    CodeParser parser;
    parser.title = L"Code";
    FileParseThread* doc = new FileParseThread(nullptr);
    parser.document = doc;
    ParseRequest* request = MakeParseRequest(path);
    request->mainParser = &parser;
    request->head.bitness = 32;
    request->head.acceptCode = 1;
    request->head.baseAddress = kBase;
    request->head.flags = kRequestRefers;
    const bool opened = doc->OpenFile(request) && doc->Segments().Count() == 1;
    if (opened) {
        const auto start = std::chrono::steady_clock::now();
        doc->stores.refers.ScanAll();
        out->seconds = Seconds(start);
        out->pairs = doc->stores.refers.PairCount();
        out->names = doc->stores.names.Count();
        out->decodeSeconds = DecodeSeconds(*doc->Engine(), code);
    }
    delete doc;
    return opened;
}

// The best of `runs` scans and decoder sweeps: on a shared machine the best run is the one least
// disturbed.
bool Measure(uint32_t size, int runs, Figures* out) {
    const wchar_t* path = L"refers_bench.bin";
    const std::vector<uint8_t> code = SyntheticCode(size);
    HANDLE f = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool ok = f != INVALID_HANDLE_VALUE && ::WriteFile(f, code.data(), size, &written, nullptr) && written == size;
    if (f != INVALID_HANDLE_VALUE)
        ::CloseHandle(f);
    for (int run = 0; ok && run < runs; ++run) {
        Figures figures = {};
        ok = ScanOnce(path, code, &figures);
        if (run == 0) {
            *out = figures;
        } else {
            out->seconds = std::min(out->seconds, figures.seconds);
            out->decodeSeconds = std::min(out->decodeSeconds, figures.decodeSeconds);
        }
    }
    ::DeleteFileW(path);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    const uint32_t sizes[] = { 4u << 20, 16u << 20, 64u << 20 };
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::printf("best of %d runs at each size\n", runs);
    double basePerPair = 0;
    std::printf("%8s %10s %10s %9s %10s %12s %9s %21s %11s\n", "size", "seconds", "pairs", "names", "MB/s", "pairs/s",
                "ns/pair", "per pair vs 4 MB", "decoder MB/s");
    for (uint32_t size : sizes) {
        Figures figures = {};
        if (!Measure(size, runs, &figures)) {
            std::printf("%6u MB: the file could not be made or opened\n", size >> 20);
            return 1;
        }
        const double perPair = figures.seconds * 1e9 / std::max(figures.pairs, 1);
        if (basePerPair == 0)
            basePerPair = perPair;
        const double mb = size / 1048576.0;
        std::printf("%5u MB %10.3f %10d %9d %10.1f %12.0f %9.1f %21.2f %11.1f  (scan x%.2f of decoder time)\n",
                    size >> 20, figures.seconds, figures.pairs, figures.names, mb / figures.seconds,
                    figures.pairs / figures.seconds, perPair, perPair / basePerPair, mb / figures.decodeSeconds,
                    figures.seconds / figures.decodeSeconds);
    }
    return 0;
}
