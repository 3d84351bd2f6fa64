#pragma once
// The document of one open file: its bytes (through the file source), the request it was opened with,
// the parsers that lay it out, its segments and address map, its decode engine, its log and its locks.
// It is also its own parse job: Run calls the current parser under a structured-exception frame.

#include "core/AddressHistory.h"
#include "core/SectionLock.h"
#include "core/StringW.h"
#include "decode/BDecodeEngine.h"
#include "document/BFileIO.h"
#include "document/BThread.h"
#include "document/DizaMap.h"
#include "document/DocumentStores.h"
#include "document/FindContext.h"
#include "document/FileLog.h"
#include "document/FileNavigator.h"
#include "document/HTimemeter.h"
#include "document/KSegment.h"
#include "document/StringzTable.h"
#include "document/ParseRequest.h"
#include "document/ScanStringz.h"
#include "options/Options.h"

#include <cstdint>
#include <memory>

class BDocumentHost;
class BItemStores;
class BFileParser;

class FileParseThread : public BThread, public BDecodeSource {
public:
    explicit FileParseThread(BDocumentHost* host);
    ~FileParseThread() override;

    // Takes over the request (freed with the document) and opens its file; false when it cannot be read.
    bool OpenFile(ParseRequest* request);
    bool CloseFile();

    intptr_t NotifyWindows(uint32_t message, uintptr_t wparam, intptr_t lparam, bool windowFirst);
    void NotifySegmentsChanged();
    void CountNewName();
    void CreateDecodeEngine();
    void InitDataFlags();

    int GetBitness() const { return request_ ? request_->head.bitness : 0; }
    const wchar_t* FilePath() const { return request_ ? request_->path : L""; }
    int64_t ImageBase() const { return request_ ? request_->head.baseAddress : 0; }
    int32_t QueryItemLength(int64_t address) { return map_.ItemLength(address); }
    // Bytes held by the file source; 0 before a successful open.
    int32_t FileSize() const;
    int32_t DumpLineLength() { return options.file.dumpBytesPerLine.value; }
    // Hexadecimal text of an address at the document's address width; -1 gives "".
    StringW AddressText(int64_t address) const;

    // Segments (each under the file lock; refusals are logged and counted as errors).
    bool AddSegment(int32_t kind, int64_t address, int64_t fileOffset, int64_t sizeInFile, int64_t sizeInMemory);
    bool AddCodeSegment(int64_t address, int64_t fileOffset, int64_t sizeInFile, int64_t sizeInMemory);
    bool AddDataSegment(int64_t address, int64_t fileOffset, int64_t sizeInFile, int64_t sizeInMemory);
    bool SetSegmentName(int64_t address, const wchar_t* name);
    bool CheckAddress(int64_t address);
    // The disassembly pane goes to an address in a segment (kMsgGoto); else "Address %s not found".
    bool PostGotoAddress(int64_t address);
    bool InSegment(int64_t address);
    bool InAddressRange(int64_t address);
    int64_t AddressToOffset(int64_t address);
    int64_t OffsetToAddress(int64_t offset);

    // Bytes at an address: the file part, then the memory-only part as the main parser fills it. The
    // caller holds the file lock.
    uint32_t ReadBytes(int64_t address, void* destination, uint32_t count);
    uint32_t ReadFileBytes(int64_t offset, void* destination, uint32_t count);
    uint32_t ReadDword(int64_t address);
    uint16_t ReadWord(int64_t address);

    // The parse job.
    void RunParser(BFileParser* parser, int index);
    void Run() override;
    // The file window's handler of the job's end (kMsgParserDone). It dispatches pending messages,
    // which may close the tab and delete this document: nothing is touched after that.
    void OnParserDone(int index);
    // The user's request to cancel this file's parse: no second parser runs and the file is not ready.
    void CancelParse() { cancelRequested = true; }

    // What the decode engine reads.
    size_t ReadBytes(int64_t address, uint8_t* out, size_t count) override;
    bool IsInSegment(int64_t address) override { return InSegment(address); }
    bool FirstNameAt(int64_t address, char16_t* out, size_t capacity) override;

    CRITICAL_SECTION* FileLock() { return fileLock_.Get(); }
    CRITICAL_SECTION* ReadLock() { return readLock_.Get(); }
    FileLog& Log() { return log_; }
    SegmentMap& Segments() { return segments_; }
    DizaMap& Map() { return map_; }
    BDecodeEngine* Engine() const { return engine_.get(); }
    BFileIO* FileSource() const { return fileSource_.get(); }
    ParseRequest* Request() const { return request_; }
    BFileParser* Parser(int index) const { return index >= 0 && index < 2 ? parsers_[index] : nullptr; }
    BDocumentHost* Host() const { return host_; }
    int32_t Serial() const { return serial_; }

    static constexpr int kPopupStageLength = 64;

private:
    void LogRefusal(const wchar_t* format, int64_t address);

    // The locks come first, so they are destroyed last, after every member that uses them.
    CriticalSection fileLock_;
    CriticalSection readLock_;
    FileLog log_;

public:
    FileParseThread* jobDocument = nullptr;
    BFileParser* jobParser = nullptr;
    int32_t jobParserIndex = -1;
    bool jobSuccess = false;
    uint32_t exceptionCode = 0;
    uint32_t exceptionAddress = 0;
    HTimemeter jobMeter;

private:
    int32_t serial_ = 0;

public:
    Options options;

private:
    BDocumentHost* host_;
    std::unique_ptr<BFileIO> fileSource_;
    BFileParser* parsers_[3] = {};
    std::unique_ptr<BDecodeEngine> engine_;
    ParseRequest* request_ = nullptr;
    SegmentMap segments_;
    DizaMap map_;

public:
    FileNavigator navigator{ this };
    AddressHistory history;
    DocumentStores stores{ this };
    StringzTable strings;
    ScanStringzThread stringScan{ this };
    FindContext finds{ this };
    // The stores and pane that makers, line models and walkers reach (none: empty).
    BItemStores* itemStores = nullptr;
    bool refersWanted = false;
    int32_t addressWidth = 0;
    int32_t errorCount = 0;
    int32_t namesAdded = 0;
    bool restored = false;
    bool ready = false;
    uint32_t dataFormat = 1;
    int64_t runAddress = -1;
    int32_t runAlignment = 1;
    bool closing = false;
    bool modified = false;
    bool cancelRequested = false;
    // A parser's Parse is on the stack (it may pump messages): the document must outlive it.
    bool inParserCall = false;
};
