// Making code over a 16 MB code segment (an instruction at a time, and as one run), then walking the
// lines and building their texts, with the allocations per line; the peer is the bare decoder
// (decode and format the same instructions from a buffer) in the same run. A scrolled page of 100
// lines must take well under a frame (16 ms).

#include "decode/Ia32Insn.h"
#include "document/BDizaLine.h"
#include "document/BFileParser.h"
#include "document/DizaWalk.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "document/MakerCode.h"
#include "document/MakerData.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

// The replaced global allocation functions count every allocation; they pair malloc with free.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

std::atomic<uint64_t> g_allocations{ 0 };

}  // namespace

void* operator new(size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    ++g_allocations;
    return std::malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t& t) noexcept { return operator new(size, t); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

constexpr uint32_t kCodeSize = 16u << 20;
constexpr int64_t kBase = 0x400000;
constexpr int kWalkLines = 1000000;
constexpr int kPageLines = 100;
constexpr int kPages = 200;

class OneDocument : public BFileDirectory {
public:
    FileParseThread* FindFileById(int32_t id) override { return doc && doc->Serial() == id ? doc : nullptr; }
    FileParseThread* doc = nullptr;
};

class NoParser : public BFileParser {
public:
    NoParser() { title = L"bench"; }
    bool Parse(ParseRequest*) override { return true; }
};

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Typical 32-bit code: a frame, loads, stores, arithmetic, calls and branches.
std::vector<uint8_t> SyntheticCode() {
    static const uint8_t kPattern[] = {
        0x55,                                // push ebp
        0x8B, 0xEC,                          // mov ebp,esp
        0x83, 0xEC, 0x10,                    // sub esp,10h
        0x8B, 0x45, 0x08,                    // mov eax,[ebp+8]
        0x8B, 0x4D, 0x0C,                    // mov ecx,[ebp+0Ch]
        0x03, 0xC1,                          // add eax,ecx
        0x89, 0x45, 0xFC,                    // mov [ebp-4],eax
        0x85, 0xC0,                          // test eax,eax
        0x74, 0x07,                          // jz +7
        0xE8, 0x10, 0x20, 0x00, 0x00,        // call rel32
        0x05, 0x78, 0x56, 0x34, 0x12,        // add eax,12345678h
        0x33, 0xC9,                          // xor ecx,ecx
        0xC7, 0x05, 0x00, 0x10, 0x40, 0x00, 0x01, 0x00, 0x00, 0x00,   // mov dword [401000h],1
        0x8B, 0xE5,                          // mov esp,ebp
        0x5D,                                // pop ebp
        0xC3,                                // ret
    };
    std::vector<uint8_t> code(kCodeSize);
    for (size_t i = 0; i < code.size(); ++i)
        code[i] = kPattern[i % sizeof kPattern];
    return code;
}

bool WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD n = 0;
    const bool ok = ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr) && n == bytes.size();
    ::CloseHandle(f);
    return ok;
}

struct Document {
    Document(const std::wstring& path, int bitness) {
        SetFileDirectory(&directory);
        doc = new FileParseThread(nullptr);
        directory.doc = doc;
        ParseRequest* request = MakeParseRequest(path.c_str());
        request->mainParser = &parser;
        request->head.bitness = static_cast<int16_t>(bitness);
        request->head.acceptCode = 1;
        ok = doc->OpenFile(request);
        ok = ok && (bitness ? doc->AddCodeSegment(kBase, 0, kCodeSize, 0) : doc->AddDataSegment(kBase, 0, kCodeSize, 0));
    }
    ~Document() {
        delete doc;
        SetFileDirectory(nullptr);
    }
    OneDocument directory;
    NoParser parser;
    FileParseThread* doc;
    bool ok = false;
};

struct PageTimes {
    double total = 0;
    double worst = 0;
};

// Walks `lines` lines from the address and builds each line's text; returns the characters made.
size_t WalkAndText(FileParseThread* doc, int64_t from, int lines, int* walked) {
    size_t chars = 0;
    DizaWalk walk(doc);
    walk.SetAddress(from);
    int n = 0;
    for (; n < lines && walk.IsLine(); ++n, walk.NextLine()) {
        if (BDizaBodyLine* body = walk.models.Body({ walk.current.address, walk.current.line })) {
            body->BuildText();
            chars += body->text.size();
        }
    }
    *walked = n;
    return chars;
}

// Pages of lines from random addresses, forward, then backward (the walk steps back a page, as a
// scroll up does).
void Pages(FileParseThread* doc, PageTimes& forward, PageTimes& backward) {
    uint32_t seed = 12345;
    for (int i = 0; i < kPages; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int64_t at = kBase + (seed >> 8) % (kCodeSize - 4096);
        int n = 0;
        auto t = std::chrono::steady_clock::now();
        WalkAndText(doc, at, kPageLines, &n);
        double s = Seconds(t);
        forward.total += s;
        forward.worst = std::max(forward.worst, s);
        t = std::chrono::steady_clock::now();
        {
            DizaWalk walk(doc);
            walk.SetAddress(at);
            walk.StepBack(kPageLines);
        }
        s = Seconds(t);
        backward.total += s;
        backward.worst = std::max(backward.worst, s);
    }
}

}  // namespace

int main() {
    SetDecodeOptions();
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"trelvo_bench_code16.bin";
    const std::vector<uint8_t> code = SyntheticCode();
    if (!WriteFileBytes(path, code)) {
        std::printf("cannot write the test file\n");
        return 1;
    }
    bool ok = true;

    // The peer: decode and format every instruction of the buffer.
    auto t = std::chrono::steady_clock::now();
    uint64_t peerInsns = 0;
    size_t peerChars = 0;
    {
        IA32_INSN insn;
        char text[kInsnTextSize];
        for (size_t pos = 0; pos < code.size(); ++peerInsns) {
            const unsigned n = DecodeInstruction(insn, 32, kBase + static_cast<int64_t>(pos), code.data() + pos,
                                                 code.size() - pos, DecodeOptions());
            FormatInstruction(insn, text, sizeof text, nullptr, nullptr);
            peerChars += text[0] != 0;
            pos += n;
        }
    }
    const double peer = Seconds(t);

    // One run over the whole segment; pages inside it.
    double oneRun = 0;
    PageTimes runPage, runBack;
    {
        Document d(path, 32);
        ok = ok && d.ok;
        t = std::chrono::steady_clock::now();
        {
            MakerCode maker(d.doc);
            maker.logWanted = false;
            ok = ok && maker.Make(kBase, kCodeSize) && maker.end == kBase + kCodeSize;
        }
        oneRun = Seconds(t);
        Pages(d.doc, runPage, runBack);
    }

    // An instruction at a time, as a plug-in or the refers scan makes code; then the walk.
    double each = 0, walkTime = 0;
    PageTimes page, pageBack;
    uint64_t made = 0, walkAllocs = 0;
    int walked = 0;
    size_t walkChars = 0;
    size_t records = 0;
    {
        Document d(path, 32);
        ok = ok && d.ok;
        t = std::chrono::steady_clock::now();
        for (int64_t at = kBase; at < kBase + kCodeSize; ++made) {
            MakerCode maker(d.doc);
            maker.logWanted = false;
            if (!maker.Make(at, BMaker::kNoSize)) {
                ok = at + 15 >= kBase + kCodeSize;   // only an instruction cut by the segment's end
                break;
            }
            at = maker.end;
        }
        each = Seconds(t);
        records = static_cast<size_t>(d.doc->Map().Count());

        const uint64_t allocsBefore = g_allocations;
        t = std::chrono::steady_clock::now();
        walkChars = WalkAndText(d.doc, kBase, kWalkLines, &walked);
        walkTime = Seconds(t);
        walkAllocs = g_allocations - allocsBefore;
        ok = ok && walked == kWalkLines;

        Pages(d.doc, page, pageBack);
    }

    // Data lines: dwords, 4 a line, over the same bytes.
    double dataWalk = 0;
    int dataWalked = 0;
    uint64_t dataAllocs = 0;
    {
        Document d(path, 0);
        ok = ok && d.ok;
        MakerDword maker(d.doc);
        maker.logWanted = false;
        maker.dataFormat = (maker.dataFormat & ~0xFFu) | 4;
        ok = ok && maker.Make(kBase, kCodeSize);
        const uint64_t allocsBefore = g_allocations;
        t = std::chrono::steady_clock::now();
        WalkAndText(d.doc, kBase, kWalkLines, &dataWalked);
        dataWalk = Seconds(t);
        dataAllocs = g_allocations - allocsBefore;
    }
    // Dump lines: the same bytes unmade.
    double dumpWalk = 0;
    int dumpWalked = 0;
    uint64_t dumpAllocs = 0;
    {
        Document d(path, 0);
        ok = ok && d.ok;
        const uint64_t allocsBefore = g_allocations;
        t = std::chrono::steady_clock::now();
        WalkAndText(d.doc, kBase, kWalkLines, &dumpWalked);
        dumpWalk = Seconds(t);
        dumpAllocs = g_allocations - allocsBefore;
    }
    ::DeleteFileW(path.c_str());

    std::printf("makers and line texts over a 16 MB 32-bit code segment\n");
    std::printf("  peer: decode + format from a buffer : %9.0f insns/s  (%llu insns, %.0f ms)\n", peerInsns / peer,
                static_cast<unsigned long long>(peerInsns), peer * 1e3);
    std::printf("  make code, one run of 16 MB         : %9.0f insns/s  (%.0f ms, %.2f x peer time)\n",
                peerInsns / oneRun, oneRun * 1e3, oneRun / peer);
    std::printf("  make code, an instruction a make    : %9.0f makes/s  (%llu makes, %.0f ms, %.1f x peer time)\n",
                made / each, static_cast<unsigned long long>(made), each * 1e3, each / peer);
    std::printf("  address-map records after that      : %zu\n", records);
    std::printf("  walk + text of %d code lines     : %9.0f lines/s  (%.0f ms, %.2f allocations/line, %.1f chars/line)\n",
                walked, walked / walkTime, walkTime * 1e3, static_cast<double>(walkAllocs) / walked,
                static_cast<double>(walkChars) / walked);
    std::printf("  ratio walk+text / peer per line     : %9.2f\n", (walkTime / walked) / (peer / peerInsns));
    std::printf("  walk + text of %d dword lines    : %9.0f lines/s  (%.0f ms, %.2f allocations/line)\n",
                dataWalked, dataWalked / dataWalk, dataWalk * 1e3, static_cast<double>(dataAllocs) / dataWalked);
    std::printf("  walk + text of %d dump lines     : %9.0f lines/s  (%.0f ms, %.2f allocations/line)\n",
                dumpWalked, dumpWalked / dumpWalk, dumpWalk * 1e3, static_cast<double>(dumpAllocs) / dumpWalked);
    auto printPages = [](const char* what, const PageTimes& p) {
        std::printf("  %-36s: %9.3f ms average, %.3f ms worst (frame: 16 ms)\n", what, p.total / kPages * 1e3,
                    p.worst * 1e3);
    };
    printPages("page of 100 lines, an item a line", page);
    printPages("100 lines back, an item a line", pageBack);
    printPages("page of 100 lines in one code run", runPage);
    printPages("100 lines back in one code run", runBack);
    if (!ok)
        std::printf("  ERROR: a make or a walk did not cover what it should\n");
    return ok ? 0 : 1;
}
