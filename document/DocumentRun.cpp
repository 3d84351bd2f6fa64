#include "document/DocumentRun.h"

#include "document/FileParseThread.h"
#include "document/MakerCode.h"
#include "document/MakerData.h"

namespace {

// Without a decode engine no code can be made: logged, and true.
bool RefuseCodeWithoutEngine(FileParseThread* document, int64_t address) {
    if (document->Engine())
        return false;
    document->Log().Print(L"%s(%s) %s", L"Code", document->AddressText(address).c_str(), L"no decode engine");
    return true;
}

}  // namespace

bool MakeCodeAtRun(FileParseThread* document, uint32_t count) {
    SectionLock lock(document->FileLock());
    // An address in no segment is reported as such, whatever else would refuse the make.
    if (!document->CheckAddress(document->runAddress) || RefuseCodeWithoutEngine(document, document->runAddress))
        return false;
    MakerCode maker(document);
    maker.logWanted = false;
    if (!maker.Make(document->runAddress, count))
        return false;
    document->runAddress = maker.end;
    return true;
}

bool MakeDumpAtRun(FileParseThread* document, uint32_t count, uint32_t flag) {
    SectionLock lock(document->FileLock());
    if (!document->CheckAddress(document->runAddress))
        return false;
    MakerDump maker(document);
    maker.logWanted = false;
    maker.collapseWanted = false;
    maker.collapseClosed = (flag & 0xFF) != 0;
    if (!maker.Make(document->runAddress, count))
        return false;
    document->runAddress = maker.end;
    return true;
}

bool MakeWordsAtRun(FileParseThread* document, int32_t count) {
    if (count <= 0)
        return false;
    SectionLock lock(document->FileLock());
    if (!document->CheckAddress(document->runAddress))
        return false;
    MakerWord maker(document);
    maker.logWanted = false;
    maker.dataFormat = document->dataFormat;
    if (!maker.Make(document->runAddress, static_cast<uint32_t>(count) * 2))
        return false;
    int64_t end = maker.end;
    const int64_t align = document->runAlignment;
    if (align >= 2 && end % align != 0)
        end += align - end % align;
    document->runAddress = end;
    return true;
}

bool MakeCollapse(FileParseThread* document, int64_t address, int64_t size, uint32_t flag) {
    SectionLock lock(document->FileLock());
    // An end past the largest address cannot lie in a segment; it is refused as such below.
    const bool wraps = size > 0 && address > INT64_MAX - size;
    const int64_t end = wraps ? INT64_MAX : address + size;
    const StringW top = document->AddressText(address);
    const StringW bottom = document->AddressText(end);
    FileLog& log = document->Log();
    if (size <= 0) {
        log.Print(L"Collapse %s size is illegal", top.c_str());
        return false;
    }
    Collapse& collapses = document->stores.collapses;
    if (collapses.FindEnd(address) != -1) {
        log.Print(L"Collapse %s is already", top.c_str());
        return false;
    }
    if (wraps || !document->Segments().IsRangeInSegment(address, end - 1)) {
        log.Print(L"Collapse [%s %s] out the same segment", top.c_str(), bottom.c_str());
        return false;
    }
    if (!document->Map().IsItemStart(address)) {
        log.Print(L"Collapse %s illegal top address", top.c_str());
        return false;
    }
    if (!document->Map().IsItemStart(end)) {
        log.Print(L"Collapse %s illegel bottom address %s", top.c_str(), bottom.c_str());
        return false;
    }
    if (!collapses.AddSpan(address, size)) {
        log.Print(L"Collapse %s failed", top.c_str());
        return false;
    }
    if (flag & 0xFF)
        collapses.SetCollapsed(address);
    return true;
}

void LogText(FileParseThread* document, const wchar_t* text) { document->Log().Print(L"%s", text); }

namespace {

bool SetComment(FileParseThread* document, BComment& store, int64_t address, const wchar_t* text) {
    SectionLock lock(document->FileLock());
    if (!document->CheckAddress(address))
        return false;
    store.SetComment(address, text);
    return true;
}

}  // namespace

bool AddCommentLine(FileParseThread* document, int64_t address, const wchar_t* text) {
    return SetComment(document, document->stores.lineComments, address, text);
}

bool AddCommentOnline(FileParseThread* document, int64_t address, const wchar_t* text) {
    return SetComment(document, document->stores.onlineComments, address, text);
}
