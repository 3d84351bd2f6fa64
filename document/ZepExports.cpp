// The 19 functions the program exports for parser plug-ins (by name and, through ZepExports.def, by
// ordinal). Each finds the open document by its file id and runs one document operation. Texts are
// copied before any lock is taken; a null text is an empty text; no C++ exception leaves an export.

#include "document/BMaker.h"
#include "document/DocumentHost.h"
#include "document/DocumentRun.h"
#include "document/FileParseThread.h"
#include "document/ZepExports.h"

#include <cstdint>
#include <exception>

namespace {

// Address halves are unsigned: a low half of 0x80000000 or more never spreads into the high half.
int64_t Join(uint32_t low, uint32_t high) {
    return static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
}

StringW CopyText(const wchar_t* text) {
    StringW copy;
    copy.SetText(text);
    return copy;
}

template <class Operation>
uint8_t WithDocument(int32_t id, Operation operation) {
    try {
        FileParseThread* document = FindFileById(id);
        return document && operation(document) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

// Address, file offset, size in file and size in memory, each as low and high halves.
using SegmentAdder = bool (FileParseThread::*)(int64_t, int64_t, int64_t, int64_t);
uint8_t AddSegment(int32_t id, SegmentAdder add, const uint32_t (&h)[8]) {
    return WithDocument(id, [&](FileParseThread* d) {
        return (d->*add)(Join(h[0], h[1]), Join(h[2], h[3]), Join(h[4], h[5]), Join(h[6], h[7]));
    });
}

}  // namespace

extern "C" {

uint8_t __cdecl ZepFileAddCodeSegment(int32_t id, uint32_t addressLow, uint32_t addressHigh, uint32_t offsetLow,
                                      uint32_t offsetHigh, uint32_t fileSizeLow, uint32_t fileSizeHigh,
                                      uint32_t memorySizeLow, uint32_t memorySizeHigh) {
    return AddSegment(id, &FileParseThread::AddCodeSegment, { addressLow, addressHigh, offsetLow, offsetHigh,
                                                               fileSizeLow, fileSizeHigh, memorySizeLow, memorySizeHigh });
}

uint8_t __cdecl ZepFileAddDataSegment(int32_t id, uint32_t addressLow, uint32_t addressHigh, uint32_t offsetLow,
                                      uint32_t offsetHigh, uint32_t fileSizeLow, uint32_t fileSizeHigh,
                                      uint32_t memorySizeLow, uint32_t memorySizeHigh) {
    return AddSegment(id, &FileParseThread::AddDataSegment, { addressLow, addressHigh, offsetLow, offsetHigh,
                                                               fileSizeLow, fileSizeHigh, memorySizeLow, memorySizeHigh });
}

uint8_t __cdecl ZepFileCommentline(int32_t id, uint32_t addressLow, uint32_t addressHigh, const wchar_t* text) {
    try {
        const StringW copy = CopyText(text);
        return WithDocument(id, [&](FileParseThread* d) {
            return AddCommentLine(d, Join(addressLow, addressHigh), copy.c_str());
        });
    } catch (...) {
        return 0;
    }
}

uint8_t __cdecl ZepFileLog(int32_t id, const wchar_t* text) {
    try {
        const StringW copy = CopyText(text);
        return WithDocument(id, [&](FileParseThread* d) {
            LogText(d, copy.c_str());
            return true;
        });
    } catch (...) {
        return 0;
    }
}

uint8_t __cdecl ZepFileMakeCode(int32_t id, uint32_t addressLow, uint32_t addressHigh) {
    return WithDocument(id, [&](FileParseThread* d) {
        d->runAddress = Join(addressLow, addressHigh);   // a failed make still moves it
        return MakeCodeAtRun(d, BMaker::kNoSize);
    });
}

uint8_t __cdecl ZepFileMakeCodes(int32_t id, uint32_t addressLow, uint32_t addressHigh, uint32_t count) {
    return WithDocument(id, [&](FileParseThread* d) {
        d->runAddress = Join(addressLow, addressHigh);   // a failed make still moves it
        return MakeCodeAtRun(d, count);
    });
}

uint8_t __cdecl ZepFileMakeCollapse(int32_t id, uint32_t addressLow, uint32_t addressHigh, uint32_t size,
                                    uint32_t flag) {
    return WithDocument(id, [&](FileParseThread* d) {
        return MakeCollapse(d, Join(addressLow, addressHigh), static_cast<int64_t>(size), flag);
    });
}

uint8_t __cdecl ZepFileMakeDec(int32_t id) {
    return WithDocument(id, [](FileParseThread* d) {
        d->dataFormat |= diza::kFormatRadixChosen | diza::kFormatDecimal;
        return true;
    });
}

uint8_t __cdecl ZepFileMakeDump(int32_t id, uint32_t addressLow, uint32_t addressHigh, uint32_t count,
                                uint32_t flag) {
    return WithDocument(id, [&](FileParseThread* d) {
        d->runAddress = Join(addressLow, addressHigh);
        return MakeDumpAtRun(d, count, flag);
    });
}

uint8_t __cdecl ZepFileMakeHex(int32_t id) {
    return WithDocument(id, [](FileParseThread* d) {
        d->dataFormat = (d->dataFormat | diza::kFormatRadixChosen) & ~diza::kFormatDecimal;
        return true;
    });
}

uint8_t __cdecl ZepFileMakePerline(int32_t id, int32_t n) {
    if (n <= 0)
        return 0;
    return WithDocument(id, [&](FileParseThread* d) {
        d->dataFormat = (d->dataFormat & ~diza::kFormatPerLineMask) | static_cast<uint32_t>(n > 255 ? 255 : n);
        return true;
    });
}

uint8_t __cdecl ZepFileMakeWords(int32_t id, uint32_t addressLow, uint32_t addressHigh, int32_t count) {
    return WithDocument(id, [&](FileParseThread* d) {
        d->runAddress = Join(addressLow, addressHigh);
        return MakeWordsAtRun(d, count);
    });
}

uint8_t __cdecl ZepFileRunCommentOnline(int32_t id, const wchar_t* text) {
    try {
        const StringW copy = CopyText(text);
        return WithDocument(id, [&](FileParseThread* d) { return AddCommentOnline(d, d->runAddress, copy.c_str()); });
    } catch (...) {
        return 0;
    }
}

uint8_t __cdecl ZepFileRunCommentline(int32_t id, const wchar_t* text) {
    try {
        const StringW copy = CopyText(text);
        return WithDocument(id, [&](FileParseThread* d) { return AddCommentLine(d, d->runAddress, copy.c_str()); });
    } catch (...) {
        return 0;
    }
}

uint8_t __cdecl ZepFileRunDump(int32_t id, uint32_t count, uint32_t flag) {
    return WithDocument(id, [&](FileParseThread* d) { return MakeDumpAtRun(d, count, flag); });
}

uint8_t __cdecl ZepFileRunWord(int32_t id) {
    return WithDocument(id, [](FileParseThread* d) { return MakeWordsAtRun(d, 1); });
}

uint8_t __cdecl ZepFileRunWords(int32_t id, int32_t count) {
    return WithDocument(id, [&](FileParseThread* d) { return MakeWordsAtRun(d, count); });
}

uint8_t __cdecl ZepFileSegmentName(int32_t id, uint32_t addressLow, uint32_t addressHigh, const wchar_t* name) {
    try {
        const StringW copy = CopyText(name);
        return WithDocument(id, [&](FileParseThread* d) {
            return d->SetSegmentName(Join(addressLow, addressHigh), copy.c_str());
        });
    } catch (...) {
        return 0;
    }
}

uint8_t __cdecl ZepFileSetRunAddress(int32_t id, uint32_t addressLow, uint32_t addressHigh) {
    return WithDocument(id, [&](FileParseThread* d) {
        const int64_t address = Join(addressLow, addressHigh);
        if (!d->CheckAddress(address))
            return false;
        SectionLock lock(d->FileLock());
        d->runAddress = address;
        return true;
    });
}

}  // extern "C"
