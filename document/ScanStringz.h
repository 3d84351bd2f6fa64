#pragma once
// The found-strings scan: runs of text in every segment's bytes (8-bit, and UTF-16 at even and at odd
// offsets, as the open request asks), entered in the document's strings table. A string is a run of at
// least eight text characters that ends directly before a zero (the zero counted in its length) or at
// the end of the bytes scanned.

#include "core/StringW.h"
#include "core/TChunk.h"
#include "document/BThread.h"
#include "document/CodePageChars.h"
#include "document/HTimemeter.h"
#include "document/StringzTable.h"

#include <cstdint>
#include <vector>

class FileParseThread;

// Request flags that ask for the scan.
enum : uint32_t {
    kScanWideOdd = 0x100000,
    kScanWideEven = 0x200000,
    kScanAscii = 0x400000,
};

struct SCAN_STRINGZ {
    int64_t offset;   // bytes from the buffer's start
    int32_t length;   // characters, the terminating zero included when there is one
};

class ScanStringz {
public:
    explicit ScanStringz(uint32_t codePage = CodePageChars::kNone);
    virtual ~ScanStringz() = default;
    ScanStringz(const ScanStringz&) = delete;
    ScanStringz& operator=(const ScanStringz&) = delete;

    // Each replaces the hits with the runs found. `zeroAfter`: a zero follows the bytes (memory past
    // the file part of a segment), so a run at their end is terminated.
    void ScanAscii(const uint8_t* bytes, int64_t length, bool zeroAfter = false);
    // Over length / 2 little-endian units; offsets are in bytes. `tail` (0 none) is one more unit that
    // follows them, before the zero when `zeroAfter`.
    void ScanUnicode(const uint8_t* units, int64_t length, bool zeroAfter = false, uint16_t tail = 0);

    CodePageChars chars;
    TChunk<SCAN_STRINGZ> hits;
    int32_t minimum = 8;

private:
    template <class Get, class IsText>
    void ScanRuns(int64_t count, Get get, IsText isText, bool zeroAfter, int unitSize);
    bool IsWide(uint16_t u) const;
    uint8_t wideBits_[65536 / 8];   // the UTF-16 units that count as text
};

class ScanStringzThread : public BThread {
public:
    explicit ScanStringzThread(FileParseThread* document) : document(document) {}
    ~ScanStringzThread() override = default;

    void Run() override;
    static bool IsWanted(uint32_t requestFlags) { return (requestFlags & (kScanWideOdd | kScanWideEven | kScanAscii)) != 0; }
    // Adds the hits of the last scan at the address to the strings table; an address listed already
    // keeps its record. False when the document is closing (the scan stops).
    bool ReportHits(int64_t address, uint32_t kind);

    HTimemeter meter;
    FileParseThread* document;
    ScanStringz scanner;

private:
    void ScanSegments(uint32_t flags, uint32_t asciiKind);
};

// Sorted records (ascending, one per address) into the table; a record at a listed address is dropped.
void MergeStringz(StringzTable& table, const std::vector<STRINGZ_DATA>& records);

// The text of a table record as the strings list shows it: 'ansi', L"wide", "utf-8", or "n/a"; of a
// long string only the first kMaxShownCharacters characters.
constexpr int kMaxShownCharacters = 65536;
StringW FormatStringz(FileParseThread* document, const STRINGZ_DATA& record);
