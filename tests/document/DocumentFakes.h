#pragma once
// Recording fakes of what surrounds a document: the file window (host), the logs and the directory of
// open files; a parser whose Parse runs a test's function; and scratch files.

#include "document/BFileParser.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "options/BProperty.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

struct Notice {
    uint32_t message;
    uintptr_t wparam;
    intptr_t lparam;
    bool windowFirst;
};

class FakeHost : public BDocumentHost {
public:
    void AttachDocument(FileParseThread* document, int32_t fileId) override {
        this->document = document;
        controlId = fileId;
    }
    intptr_t NotifyWindows(uint32_t message, uintptr_t wparam, intptr_t lparam, bool windowFirst) override {
        notices.push_back({ message, wparam, lparam, windowFirst });
        return 0;
    }
    void SendNotify(uint32_t message, uintptr_t wparam, intptr_t lparam) override {
        sent.push_back({ message, wparam, lparam, true });
    }
    void Post(uint32_t message, uintptr_t wparam, intptr_t lparam) override {
        posted.push_back({ message, wparam, lparam, true });
    }
    void SendNotifyDizaPane(uint32_t message, uintptr_t wparam, intptr_t lparam) override {
        paneSent.push_back({ message, wparam, lparam, true });
    }
    void ShowInStatusBar(const wchar_t* text) override { statusTexts.push_back(text); }
    void UpdateTabTitle() override { ++titleUpdates; }
    void Relayout() override { ++relayouts; }
    void RepaintSideTabs() override { ++sideTabRepaints; }
    void OnClosing() override { ++closings; }
    void CloseCancelQuestion() override { ++questionsClosed; }
    void ShowProgress(const wchar_t* stage) override { stages.push_back(stage); }
    void PumpMessages() override {
        ++pumps;
        if (onPump)
            onPump();
    }
    bool CommentPaneVisible() override { return true; }
    BDizaView* DizaView() override { return dizaView; }

    // Hands the posted job ends to the document, as the file window's handler does.
    void DeliverPosted() {
        while (!posted.empty()) {
            Notice n = posted.front();
            posted.erase(posted.begin());
            if (n.message == kMsgParserDone)
                reinterpret_cast<FileParseThread*>(n.lparam)->OnParserDone(static_cast<int>(n.wparam));
        }
    }
    std::vector<uint32_t> Messages() const {
        std::vector<uint32_t> m;
        for (const Notice& n : notices)
            m.push_back(n.message);
        return m;
    }

    FileParseThread* document = nullptr;
    int32_t controlId = 0;
    std::vector<Notice> notices, sent, posted, paneSent;
    std::vector<std::wstring> stages, statusTexts;
    int titleUpdates = 0, relayouts = 0, sideTabRepaints = 0, closings = 0, questionsClosed = 0, pumps = 0;
    BDizaView* dizaView = nullptr;
    std::function<void()> onPump;
};

class RecordingLog : public BLogSink {
public:
    void AddLine(const wchar_t* text, bool continuation) override {
        if (continuation && !lines.empty())
            lines.back() += text;
        else
            lines.push_back(text);
    }
    std::vector<std::wstring> lines;
};

// The open-file directory; documents register themselves while a test runs.
class FakeDirectory : public BFileDirectory {
public:
    FakeDirectory() { SetFileDirectory(this); }
    ~FakeDirectory() override { SetFileDirectory(nullptr); }
    FileParseThread* FindFileById(int32_t id) override {
        for (FileParseThread* d : documents)
            if (d->Serial() == id)
                return d;
        return nullptr;
    }
    void Remove(FileParseThread* d) {
        for (size_t i = 0; i < documents.size(); ++i)
            if (documents[i] == d)
                documents.erase(documents.begin() + i);
    }
    std::vector<FileParseThread*> documents;
};

// A parser whose Parse calls a test's function with the document found by the request's id.
class LambdaParser : public BFileParser {
public:
    explicit LambdaParser(std::function<bool(FileParseThread*)> parse, const wchar_t* name = L"Lambda")
        : parse_(std::move(parse)) {
        title = name;
    }
    bool Parse(ParseRequest* request) override {
        busy = true;
        bool r = parse_(FindFileById(request->head.fileId));
        busy = false;
        return r;
    }

private:
    std::function<bool(FileParseThread*)> parse_;
};

// A scratch file in the working folder, deleted with the object.
class TempFile {
public:
    TempFile(const std::wstring& name, const std::string& bytes);
    ~TempFile();
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};


// A request for a file with a main parser, as the open dialog hands it to the document.
ParseRequest* RequestFor(const std::wstring& path, BFileParser* parser, int bitness, int64_t base,
                         uint32_t flags = 0, int acceptCode = 1);

// A document in a window, with its log recorded and registered in the directory.
struct OpenDocument {
    explicit OpenDocument(FakeDirectory& directory);
    ~OpenDocument();
    FakeHost host;
    RecordingLog log;
    FakeDirectory& directory;
    FileParseThread* doc;
};

// A 32-bit document over a file of `size` bytes (byte i holds i & 0xFF), parsed by a parser that adds
// nothing, so each test lays out its own segments.
class DocumentTest : public ::testing::Test {
protected:
    explicit DocumentTest(int size = 0x1000, int bitness = 32) : file_(L"segments.bin", Bytes(size)), od_(dir_) {
        doc = od_.doc;
        EXPECT_TRUE(doc->OpenFile(RequestFor(file_.Path(), &parser_, bitness, 0)));
        od_.log.lines.clear();
        od_.host.sent.clear();
        doc->errorCount = 0;
    }
    static std::string Bytes(int size) {
        std::string s(size, '\0');
        for (int i = 0; i < size; ++i)
            s[i] = static_cast<char>(i);
        return s;
    }
    const std::vector<std::wstring>& Lines() const { return od_.log.lines; }
    std::vector<Diza> Records() const {
        std::vector<Diza> r;
        for (int i = 0; i < doc->Map().Count(); ++i)
            r.push_back(doc->Map().GetAt(i));
        return r;
    }
    FakeHost& Host() { return od_.host; }

    FakeDirectory dir_;
    TempFile file_;
    LambdaParser parser_{ [](FileParseThread*) { return true; } };
    OpenDocument od_;
    FileParseThread* doc;
};
