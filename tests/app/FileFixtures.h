#pragma once
// What tests of file windows share: a directory of open documents, a parser that runs a test's
// function, and scratch files.

#include "app/AppMessages.h"
#include "app/FilePane.h"
#include "core/SectionLock.h"
#include "document/BFileParser.h"
#include "document/DizaWalk.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "options/Options.h"
#include "toolkit/BMultiZone.h"
#include "toolkit/BZone.h"

#include <gtest/gtest.h>

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

// A parse: a data segment at 0x1000 of `size` bytes in the file (`extra` more in memory), 4-byte data items
// over its first 0x100 bytes, then what the test adds.
inline bool LayDataItems(FileParseThread* d, int64_t size, int64_t extra,
                         const std::function<void(FileParseThread*)>& more) {
    d->AddDataSegment(0x1000, 0, size, size + extra);
    SectionLock lock(d->FileLock());
    for (int64_t a = 0x1000; a < 0x1100; a += 4)
        d->Map().AddDataItem(a, 4, 1);
    if (more)
        more(d);
    return true;
}

// The display lines that a fresh walk gives from the first line at the address: `count` of them, fewer
// at the file's end.
inline std::vector<DizaLinePos> LinesFrom(FileParseThread* d, int64_t address, int count) {
    std::vector<DizaLinePos> lines;
    DizaWalk walk(d);
    walk.SetAddress(address);
    for (; walk.IsLine() && static_cast<int>(lines.size()) < count; walk.NextLine())
        lines.push_back(walk.current);
    return lines;
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

// A shown frame holding the file window of a new document, as a file tab holds it, with the options
// applied to every pane.
inline void MakeFileWindow(CWnd& frame, FilePane*& window, FileParseThread*& document, TestDirectory& directory,
                           Options& options, SIZE size) {
    ASSERT_TRUE(frame.CreateEx(0, nullptr, L"frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                               RECT{ 0, 0, size.cx, size.cy }, nullptr, 0));
    window = new FilePane;
    ASSERT_TRUE(window->CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                 RECT{ 0, 0, size.cx - 20, size.cy - 40 }, frame.m_hWnd, 0));
    frame.ShowWindow(SW_SHOWNOACTIVATE);
    document = new FileParseThread(window);
    directory.documents.push_back(document);
    document->options.CopyFrom(options);
    SendToWindowTree(window->m_hWnd, kMsgOptions, 1, reinterpret_cast<LPARAM>(&options), true);
}

// Pixels of one colour in a rectangle of a pane's off-screen page (what its paint copies to the window).
inline int CountInPage(BMultiZone& pane, const RECT& r, COLORREF c) {
    SelectGdi keep(pane.shadow, pane.shadow.bitmap.GetSafeHandle());
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += pane.shadow.GetPixel(x, y) == c;
    return n;
}

// The rows a list drew last, from its page: how many rows from the top show text in the zone's column.
inline int RowsInPage(BMultiZone& list, const BZone& zone) {
    RECT page;
    list.GetPageArea(page);
    int rows = 0;
    for (RECT r = list.GetRowRect(0); r.bottom <= page.bottom; r = list.GetRowRect(++rows)) {
        r.left = zone.rect.left;
        r.right = zone.rect.right;
        if (CountInPage(list, r, list.textColor) == 0)
            break;
    }
    return rows;
}

// The window goes with its document.
inline void CloseFileWindow(CWnd& frame, FilePane*& window, TestDirectory& directory) {
    directory.documents.clear();
    delete window;
    window = nullptr;
    frame.DestroyWindow();
}

}  // namespace fixtures
