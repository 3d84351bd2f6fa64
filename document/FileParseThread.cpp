#include "document/FileParseThread.h"

#include "core/NumberText.h"
#include "decode/DecodeEngineIa32.h"
#include "document/BFileParser.h"
#include "document/DocumentHost.h"
#include "document/SehGuard.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

int32_t g_lastFileId = 0;

}  // namespace

FileParseThread::FileParseThread(BDocumentHost* host) : jobDocument(this), host_(host), map_(this) {
    itemStores = &stores;
    serial_ = ++g_lastFileId;
    log_.SetHost(host_);
    if (host_)
        host_->AttachDocument(this, serial_);
}

FileParseThread::~FileParseThread() {
    FreeParseRecord(request_);
    request_ = nullptr;
}

int32_t FileParseThread::FileSize() const {
    return fileSource_ ? std::max(fileSource_->GetSize(), 0) : 0;
}

StringW FileParseThread::AddressText(int64_t address) const {
    if (address == -1)
        return StringW();
    // Never narrower than the address itself: a refusal before the first segment still shows it.
    const int width = std::max(addressWidth, HexAddressWidth(static_cast<uint64_t>(address)));
    const uint32_t low = static_cast<uint32_t>(address);
    const uint32_t high = static_cast<uint32_t>(static_cast<uint64_t>(address) >> 32);
    if (width <= 8)
        return StringW(kFormat, L"%*.*X", width, width, low);
    return StringW(kFormat, L"%*.*X`%08X", width - 9, width - 9, high, low);
}

bool FileParseThread::OpenFile(ParseRequest* request) {
    FreeParseRecord(request_);
    request_ = request;
    if (!request_)
        return false;
    stores.names.recent.SetKey(L"MRUGlobalName", options.general.historySize.value);
    parsers_[0] = request_->mainParser;
    parsers_[1] = request_->secondParser;
    parsers_[2] = nullptr;
    request_->mainParser = nullptr;
    request_->secondParser = nullptr;
    request_->head.fileId = 0;
    options.file.dataOrder.index = (request_->head.flags & kRequestBigEndian) ? 1 : 0;
    if (host_)
        host_->UpdateTabTitle();
    if (!fileSource_)
        fileSource_.reset(new BFileIO);
    fileSource_->fileName.SetText(request_->path);
    log_.Print(L"The file: '%s'", request_->path);
    if (!fileSource_->Open()) {
        log_.Print(L"Open file error: %s", fileSource_->GetErrorText().c_str());
        return false;
    }
    if (!parsers_[0]) {
        log_.Print(L"Open file error: %s", L"no parser chosen");
        return false;
    }
    log_.Print(L"Main parser: '%s'", parsers_[0]->title.c_str());
    CreateDecodeEngine();
    refersWanted = (request_->head.flags & kRequestRefers) && engine_;
    InitDataFlags();
    NotifyWindows(kMsgAttach, 1, reinterpret_cast<intptr_t>(this), true);
    parsers_[0]->OnOpen(request_);
    request_->head.fileId = serial_;
    if (host_)
        host_->Relayout();
    ready = false;
    NotifyWindows(kMsgParsing, 1, reinterpret_cast<intptr_t>(this), true);
    RunParser(parsers_[0], 0);
    return true;
}

bool FileParseThread::CloseFile() {
    finds.StopAll();
    closing = true;
    if (host_)
        host_->OnClosing();
    if (request_) {
        for (BFileParser** p = parsers_; *p; ++p)
            (*p)->OnClose(request_);
    }
    NotifyWindows(kMsgAttach, 0, reinterpret_cast<intptr_t>(this), true);
    if (fileSource_)
        fileSource_->Close();
    serial_ = 0;
    host_ = nullptr;
    log_.SetHost(nullptr);
    if (parsers_[0])
        parsers_[0]->ClearMessage();
    log_.Print(L"File '%s' is close.", FilePath());
    log_.Print(L"%s", L"--- --- ---");
    return true;
}

intptr_t FileParseThread::NotifyWindows(uint32_t message, uintptr_t wparam, intptr_t lparam, bool windowFirst) {
    return host_ ? host_->NotifyWindows(message, wparam, lparam, windowFirst) : 0;
}

void FileParseThread::NotifySegmentsChanged() {
    uintptr_t wparam = kSegmentsChanged;
    if (segments_.Count() == 1)
        wparam |= kSegmentsFirst;
    const int width = HexAddressWidth(static_cast<uint64_t>(segments_.highestEnd));
    if (width > addressWidth) {
        addressWidth = width;
        wparam |= kSegmentsWiderAddress;
    }
    if (host_)
        host_->SendNotify(kMsgSegmentsChanged, wparam, reinterpret_cast<intptr_t>(this));
}

void FileParseThread::CountNewName() {
    ++namesAdded;
    if (namesAdded % 1000 == 0 && host_)
        host_->RepaintSideTabs();
}

void FileParseThread::CreateDecodeEngine() {
    engine_.reset();
    if (request_ && request_->head.bitness != 0 && request_->head.acceptCode == 1)
        engine_.reset(new DecodeEngineIa32(this, static_cast<uint8_t>(request_->head.bitness)));
}

void FileParseThread::InitDataFlags() {
    using namespace diza;
    dataFormat &= ~(kFormatRadixChosen | kFormatBigEndian | kFormatDecimal | kFormatSigned);
    if (options.file.dataOrder.index == 1)
        dataFormat |= kFormatBigEndian;
    if (options.file.dataDecimal.value)
        dataFormat |= kFormatDecimal;
    if (options.file.dataSigned.value)
        dataFormat |= kFormatSigned;
}

void FileParseThread::LogRefusal(const wchar_t* format, int64_t address) {
    SectionLock lock(log_.Lock());
    log_.Print(format, AddressText(address).c_str());
    ++errorCount;
}

bool FileParseThread::AddSegment(int32_t kind, int64_t address, int64_t fileOffset, int64_t sizeInFile,
                                 int64_t sizeInMemory) {
    SectionLock lock(fileLock_.Get());
    const int64_t extent = std::max(sizeInFile, sizeInMemory);
    // A segment whose end does not fit 64 bits has no size it could have.
    if (sizeInFile < 0 || (address >= 0 && extent > INT64_MAX - address)) {
        LogRefusal(L"Segment %s size is illegal", address);
        return false;
    }
    // An empty section (or an empty file) is nothing wrong; it just holds no address.
    if (extent == 0) {
        log_.Print(L"Segment %s is empty", AddressText(address).c_str());
        return true;
    }
    const int64_t held = FileSize();
    if (fileOffset < 0 || fileOffset > held || sizeInFile > held - fileOffset) {
        LogRefusal(L"Segment %s out file", address);
        return false;
    }
    if (!segments_.IsRangeFree(address, extent)) {
        LogRefusal(L"Segment %s inside segment", address);
        return false;
    }
    segments_.Add(kind, address, fileOffset, sizeInFile, sizeInMemory);
    map_.PutSegmentStart({ address, kind != 0 ? diza::CodeWord(GetBitness()) : diza::kDumpWord });
    map_.PutSegmentEnd(address + extent);
    NotifySegmentsChanged();
    return true;
}

bool FileParseThread::AddCodeSegment(int64_t address, int64_t fileOffset, int64_t sizeInFile, int64_t sizeInMemory) {
    if (GetBitness() == 0) {
        LogRefusal(L"Illegal code segment %s for data file", address);
        return false;
    }
    return AddSegment(GetBitness(), address, fileOffset, sizeInFile, sizeInMemory);
}

bool FileParseThread::AddDataSegment(int64_t address, int64_t fileOffset, int64_t sizeInFile, int64_t sizeInMemory) {
    return AddSegment(0, address, fileOffset, sizeInFile, sizeInMemory);
}

bool FileParseThread::SetSegmentName(int64_t address, const wchar_t* name) {
    SectionLock lock(fileLock_.Get());
    KSegment* segment = segments_.Find(address);
    if (!segment || segment->address != address) {
        log_.Print(L"No segment %s found for name '%s'", AddressText(address).c_str(), name ? name : L"");
        return false;
    }
    segment->name.SetText(name);
    return true;
}

bool FileParseThread::CheckAddress(int64_t address) {
    if (InSegment(address))
        return true;
    log_.Print(L"Address %s not found", AddressText(address).c_str());
    return false;
}

bool FileParseThread::PostGotoAddress(int64_t address) {
    if (!CheckAddress(address))
        return false;
    if (host_)
        host_->SendNotifyDizaPane(kMsgGoto, static_cast<uintptr_t>(static_cast<uint64_t>(address) >> 32),
                                  static_cast<intptr_t>(static_cast<uint32_t>(address)));
    return true;
}

bool FileParseThread::InSegment(int64_t address) {
    SectionLock lock(fileLock_.Get());
    return segments_.Find(address) != nullptr;
}

bool FileParseThread::InAddressRange(int64_t address) {
    SectionLock lock(fileLock_.Get());
    return segments_.Count() > 0 && address >= segments_.lowestAddress && address < segments_.highestEnd;
}

int64_t FileParseThread::AddressToOffset(int64_t address) {
    SectionLock lock(fileLock_.Get());
    const KSegment* s = segments_.Find(address);
    if (!s || address - s->address >= s->sizeInFile)
        return -1;
    return s->fileOffset + (address - s->address);
}

int64_t FileParseThread::OffsetToAddress(int64_t offset) {
    SectionLock lock(fileLock_.Get());
    for (int i = 0; i < segments_.Count(); ++i) {
        const KSegment* s = segments_.Get(i);
        if (offset >= s->fileOffset && offset - s->fileOffset < s->sizeInFile)
            return s->address + (offset - s->fileOffset);
    }
    return -1;
}

uint32_t FileParseThread::ReadBytes(int64_t address, void* destination, uint32_t count) {
    uint8_t* out = static_cast<uint8_t*>(destination);
    uint32_t delivered = 0;
    {
        // One search gives the segment's file part and the offset.
        SectionLock lock(fileLock_.Get());
        const KSegment* s = segments_.Find(address);
        const uint32_t n = s ? static_cast<uint32_t>(std::min<int64_t>(count, s->BytesToEnd(address))) : 0;
        if (n != 0) {
            delivered = ReadFileBytes(s->fileOffset + (address - s->address), out, n);
            if (delivered < n)
                return delivered;
        }
    }
    if (delivered == count)
        return delivered;
    const int64_t at = address + delivered;
    const uint32_t rest = static_cast<uint32_t>(std::min<int64_t>(count - delivered, segments_.BytesToSegmentEnd(at)));
    if (rest == 0 || !parsers_[0])
        return delivered;
    SectionLock lock(readLock_.Get());
    const uint32_t filled = parsers_[0]->ClearBuffer(request_, static_cast<uint32_t>(at),
                                                      static_cast<uint32_t>(static_cast<uint64_t>(at) >> 32),
                                                      out + delivered, rest);
    return delivered + std::min(filled, rest);
}

uint32_t FileParseThread::ReadFileBytes(int64_t offset, void* destination, uint32_t count) {
    SectionLock lock(readLock_.Get());
    std::memset(destination, 0, count);
    if (offset < 0 || offset > UINT32_MAX || !fileSource_)
        return 0;
    return fileSource_->Read(static_cast<uint32_t>(offset), destination, count);
}

uint32_t FileParseThread::ReadDword(int64_t address) {
    uint8_t b[4] = {};
    ReadBytes(address, static_cast<void*>(b), 4u);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

uint16_t FileParseThread::ReadWord(int64_t address) {
    uint8_t b[2] = {};
    ReadBytes(address, static_cast<void*>(b), 2u);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

size_t FileParseThread::ReadBytes(int64_t address, uint8_t* out, size_t count) {
    SectionLock lock(fileLock_.Get());
    return ReadBytes(address, static_cast<void*>(out), static_cast<uint32_t>(std::min<size_t>(count, UINT32_MAX)));
}

bool FileParseThread::FirstNameAt(int64_t address, char16_t* out, size_t capacity) {
    const StringW name = stores.names.TextAt(address, 0);
    if (name.empty() || capacity == 0)
        return false;
    const size_t n = std::min(name.size(), capacity - 1);
    std::memcpy(out, name.data(), n * sizeof(char16_t));
    out[n] = 0;
    return true;
}

void FileParseThread::RunParser(BFileParser* parser, int index) {
    jobDocument = this;
    jobParser = parser;
    jobParserIndex = index;
    Run();
}

namespace {

struct ParseCall {
    BFileParser* parser;
    ParseRequest* request;
    bool result;
};

void CallParse(void* context) {
    ParseCall* call = static_cast<ParseCall*>(context);
    // A C++ exception must not unwind through the guard's frame: it ends the parse as a failure.
    try {
        call->result = call->parser->Parse(call->request);
    } catch (...) {
        call->result = false;
    }
}

}  // namespace

void FileParseThread::Run() {
    jobMeter.elapsed = 0;
    jobMeter.Start();
    ParseCall call = { jobParser, request_, false };
    SehFault fault;
    inParserCall = true;
    const bool returned = CallGuarded(CallParse, &call, &fault);
    inParserCall = false;
    if (returned) {
        jobSuccess = call.result;
        exceptionCode = 0;
    } else {
        jobSuccess = false;
        exceptionCode = fault.code;
        exceptionAddress = fault.address;
        jobParser->busy = false;   // its Parse never returned to clear it
    }
    jobMeter.Stop();
    if (host_)
        host_->Post(kMsgParserDone, static_cast<uintptr_t>(jobParserIndex), reinterpret_cast<intptr_t>(this));
}

void FileParseThread::OnParserDone(int index) {
    if (host_)
        host_->CloseCancelQuestion();
    if (closing)
        return;
    const wchar_t* label = index == 0 ? L"Main parser" : L"Second parser";
    {
        SectionLock lock(log_.Lock());
        if (exceptionCode != 0) {
            log_.Print(L"Exception code %.8lX at %s", static_cast<unsigned long>(exceptionCode),
                       StringW(kFormat, L"%08X", exceptionAddress).c_str());
            ++errorCount;
        }
        // An empty file has nothing a parser could lay out.
        if (segments_.Count() == 0 && FileSize() > 0) {
            log_.Print(L"No segment defined.");
            ++errorCount;
        }
        if (!jobSuccess) {
            log_.Print(L"%s return false.", label);
            ++errorCount;
        }
        if (errorCount != 0) {
            log_.Print(L"%s error(s): %d", label, errorCount);
            log_.MarkNextLine();
        }
        log_.Print(L"%s is %s in %s", label, errorCount != 0 ? L"failed" : L"successed", jobMeter.ElapsedText());
    }
    BFileParser* next = index == 0 ? parsers_[1] : nullptr;
    // Dispatching may close this file's tab, which deletes the document: keep the id, and go on only
    // while the directory still finds this document under it.
    const int32_t id = serial_;
    if (host_)
        host_->PumpMessages();
    if (id == 0 || FindFileById(id) != this || closing)
        return;
    // This file's own request: a Yes about another file's parse must not spoil this one.
    ready = !cancelRequested && errorCount == 0;
    if (next && ready) {
        SectionLock lock(log_.Lock());
        log_.Print(L"%s: '%s'", L"Second parser", next->title.c_str());
        if (!next->busy) {
            if (host_)
                host_->ShowProgress(L"Second parser");
            next->OnOpen(request_);
        } else {
            log_.Print(L"%s is BUSY.", L"Second parser");
            ready = false;
            next = nullptr;
        }
    } else {
        next = nullptr;
    }
    if (next) {
        RunParser(next, index + 1);
        return;
    }
    NotifyWindows(kMsgParsing, 0, reinterpret_cast<intptr_t>(this), false);
}
