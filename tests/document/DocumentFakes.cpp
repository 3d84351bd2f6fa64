#include "DocumentFakes.h"

#include <windows.h>

#include <cstdint>

TempFile::TempFile(const std::wstring& name, const std::string& bytes) : path_(ProgramFolder() + name) {
    HANDLE f = ::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (!bytes.empty())
        ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(f);
}

TempFile::~TempFile() { ::DeleteFileW(path_.c_str()); }

ParseRequest* RequestFor(const std::wstring& path, BFileParser* parser, int bitness, int64_t base, uint32_t flags,
                         int acceptCode) {
    ParseRequest* r = MakeParseRequest(path.c_str());
    r->mainParser = parser;
    r->head.bitness = static_cast<int16_t>(bitness);
    r->head.acceptCode = static_cast<int16_t>(acceptCode);
    r->head.baseAddress = base;
    r->head.flags = flags;
    return r;
}

OpenDocument::OpenDocument(FakeDirectory& dir) : directory(dir) {
    doc = new FileParseThread(&host);
    doc->Log().SetSink(&log);
    directory.documents.push_back(doc);
}

OpenDocument::~OpenDocument() {
    if (doc) {
        directory.Remove(doc);
        delete doc;
    }
}

// The program's exported callbacks that the test plug-in calls, as far as these tests need them: each
// finds the document by its file id and does one document operation.
namespace {

int64_t Join(uint32_t low, uint32_t high) { return static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low); }

}  // namespace

extern "C" {

__declspec(dllexport) uint8_t __cdecl ZepFileAddCodeSegment(int32_t id, uint32_t al, uint32_t ah, uint32_t ol,
                                                            uint32_t oh, uint32_t sl, uint32_t sh, uint32_t ml,
                                                            uint32_t mh) {
    FileParseThread* d = FindFileById(id);
    return d && d->AddCodeSegment(Join(al, ah), Join(ol, oh), Join(sl, sh), Join(ml, mh));
}

__declspec(dllexport) uint8_t __cdecl ZepFileAddDataSegment(int32_t id, uint32_t al, uint32_t ah, uint32_t ol,
                                                            uint32_t oh, uint32_t sl, uint32_t sh, uint32_t ml,
                                                            uint32_t mh) {
    FileParseThread* d = FindFileById(id);
    return d && d->AddDataSegment(Join(al, ah), Join(ol, oh), Join(sl, sh), Join(ml, mh));
}

__declspec(dllexport) uint8_t __cdecl ZepFileSegmentName(int32_t id, uint32_t al, uint32_t ah, const wchar_t* name) {
    FileParseThread* d = FindFileById(id);
    return d && d->SetSegmentName(Join(al, ah), name);
}

__declspec(dllexport) uint8_t __cdecl ZepFileLog(int32_t id, const wchar_t* text) {
    FileParseThread* d = FindFileById(id);
    if (!d)
        return 0;
    d->Log().Print(L"%s", text);
    return 1;
}

}  // extern "C"
