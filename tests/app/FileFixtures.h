#pragma once
// What tests of file windows share: a directory of open documents, a parser that runs a test's
// function, and scratch files.

#include "document/BFileParser.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace fixtures {

// The open documents of a test, found by file id.
class TestDirectory : public BFileDirectory {
public:
    TestDirectory() { SetFileDirectory(this); }
    ~TestDirectory() override { SetFileDirectory(nullptr); }
    FileParseThread* FindFileById(int32_t id) override {
        for (FileParseThread* d : documents)
            if (d && d->Serial() == id)
                return d;
        return nullptr;
    }
    std::vector<FileParseThread*> documents;
};

// A parser whose Parse calls the test's function with the document of the request.
class StepParser : public BFileParser {
public:
    explicit StepParser(std::function<bool(FileParseThread*)> parse) : parse_(std::move(parse)) { title = L"Steps"; }
    bool Parse(ParseRequest* request) override { return parse_(::FindFileById(request->head.fileId)); }

private:
    std::function<bool(FileParseThread*)> parse_;
};

inline std::wstring ScratchPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

inline void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(f);
}

// A request for the file with a main parser, as the open dialog hands it to the document.
inline ParseRequest* RequestFor(const std::wstring& path, BFileParser* parser, uint32_t flags = 0, int bitness = 32) {
    ParseRequest* r = MakeParseRequest(path.c_str());
    r->mainParser = parser;
    r->head.bitness = static_cast<int16_t>(bitness);
    r->head.acceptCode = 1;
    r->head.flags = flags;
    return r;
}

}  // namespace fixtures
