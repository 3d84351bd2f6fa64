// Opening a 256 MB file with the built-in parser, against a plain ReadFile loop over the same file in
// the same run, and the memory the open document holds.

#include "document/BFileParser.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr uint32_t kFileSize = 256u << 20;
constexpr int kRounds = 3;

class OneDocument : public BFileDirectory {
public:
    FileParseThread* FindFileById(int32_t id) override { return doc && doc->Serial() == id ? doc : nullptr; }
    FileParseThread* doc = nullptr;
};

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Committed private memory of the process, summed over its address space (the process counters are not
// kept by every system this runs on).
size_t PrivateBytes() {
    size_t total = 0;
    MEMORY_BASIC_INFORMATION info;
    for (uint8_t* at = nullptr; ::VirtualQuery(at, &info, sizeof(info)) == sizeof(info);) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            total += info.RegionSize;
        uint8_t* next = static_cast<uint8_t*>(info.BaseAddress) + info.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    return total;
}

bool MakeFile(const wchar_t* path) {
    HANDLE f = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    std::vector<uint8_t> piece(1u << 20);
    for (size_t i = 0; i < piece.size(); ++i)
        piece[i] = static_cast<uint8_t>(i * 7);
    bool ok = true;
    for (uint32_t done = 0; ok && done < kFileSize; done += static_cast<uint32_t>(piece.size())) {
        DWORD n = 0;
        ok = ::WriteFile(f, piece.data(), static_cast<DWORD>(piece.size()), &n, nullptr) && n == piece.size();
    }
    ::CloseHandle(f);
    return ok;
}

// The peer: the whole file into one buffer with ReadFile, 1 MB at a time.
double PlainRead(const wchar_t* path) {
    const auto start = std::chrono::steady_clock::now();
    HANDLE f = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    uint8_t* buffer = new uint8_t[kFileSize];
    uint32_t done = 0;
    while (done < kFileSize) {
        DWORD n = 0;
        if (!::ReadFile(f, buffer + done, std::min<uint32_t>(kFileSize - done, 1u << 20), &n, nullptr) || n == 0)
            break;
        done += n;
    }
    ::CloseHandle(f);
    const double s = Seconds(start);
    volatile uint8_t sink = buffer[done - 1];
    (void)sink;
    delete[] buffer;
    return s;
}

double DocumentOpen(const wchar_t* path, size_t* heldBytes, bool* ok) {
    OneDocument directory;
    SetFileDirectory(&directory);
    FileParserBinary binary;
    const size_t before = PrivateBytes();
    const auto start = std::chrono::steady_clock::now();
    FileParseThread* doc = new FileParseThread(nullptr);
    directory.doc = doc;
    ParseRequest* request = MakeParseRequest(path);
    request->mainParser = &binary;
    *ok = doc->OpenFile(request);
    doc->OnParserDone(0);
    const double s = Seconds(start);
    *ok = *ok && doc->Segments().Count() == 1 && doc->Segments().Get(0)->sizeInFile == kFileSize;
    *heldBytes = PrivateBytes() - before;
    delete doc;
    SetFileDirectory(nullptr);
    return s;
}

}  // namespace

int main() {
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"trelvo_bench_256mb.bin";
    if (!MakeFile(path.c_str())) {
        std::printf("cannot write the 256 MB test file\n");
        return 1;
    }
    PlainRead(path.c_str());   // both measured from a warm file cache
    double plain = 1e9, open = 1e9;
    size_t held = 0;
    bool ok = true;
    for (int i = 0; i < kRounds; ++i) {
        plain = std::min(plain, PlainRead(path.c_str()));
        bool good = false;
        open = std::min(open, DocumentOpen(path.c_str(), &held, &good));
        ok = ok && good;
    }
    ::DeleteFileW(path.c_str());
    const double mb = kFileSize / 1048576.0;
    std::printf("document open, 256 MB file, built-in parser (best of %d)\n", kRounds);
    std::printf("  plain ReadFile loop : %8.1f ms  %8.0f MB/s\n", plain * 1e3, mb / plain);
    std::printf("  document OpenFile   : %8.1f ms  %8.0f MB/s\n", open * 1e3, mb / open);
    std::printf("  ratio open / plain  : %8.2f\n", open / plain);
    std::printf("  memory held by the open document: %.1f MB (%.3f x the file)\n", held / 1048576.0,
                static_cast<double>(held) / kFileSize);
    if (!ok)
        std::printf("  ERROR: the document did not hold the file as one segment\n");
    return ok ? 0 : 1;
}
