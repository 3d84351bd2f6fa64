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

