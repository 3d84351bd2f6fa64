#include "DocumentFakes.h"

#include "document/SehGuard.h"

#include <windows.h>

#include <memory>

namespace {

bool StartsWith(const std::wstring& text, const std::wstring& start) { return text.compare(0, start.size(), start) == 0; }

class ParseJobTest : public ::testing::Test {
protected:
    ParseJobTest() : od_(dir_), host(od_.host), lines(od_.log.lines), doc(od_.doc) {}
    // The lines from index `from` on.
    std::vector<std::wstring> LinesFrom(size_t from) const {
        return std::vector<std::wstring>(lines.begin() + std::min(from, lines.size()), lines.end());
    }

    FakeDirectory dir_;
    OpenDocument od_;
    FakeHost& host;
    std::vector<std::wstring>& lines;
    FileParseThread* doc;
};

TEST_F(ParseJobTest, FileIdsCountUpAndGoToTheWindow) {
    FakeHost other;
    FileParseThread second(&other);
    EXPECT_EQ(host.controlId, doc->Serial());
    EXPECT_EQ(other.controlId, doc->Serial() + 1);
    EXPECT_EQ(other.document, &second);
}

TEST_F(ParseJobTest, MissingFileLogsTwoLinesAndAttachesNothing) {
    FileParserBinary binary;
    const std::wstring path = ProgramFolder() + L"missing.bin";
    EXPECT_FALSE(doc->OpenFile(RequestFor(path, &binary, 32, 0)));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], L"The file: '" + path + L"'");
    EXPECT_EQ(lines[1], L"Open file error: " + std::wstring(FormatSystemMessage(ERROR_FILE_NOT_FOUND)));
    EXPECT_TRUE(host.notices.empty());
    EXPECT_TRUE(host.posted.empty());
    EXPECT_EQ(doc->Engine(), nullptr);
}

TEST_F(ParseJobTest, BuiltInParserMakesOneSegment) {
    TempFile file(L"raw.bin", std::string(0x30, 'x'));
    FileParserBinary binary;
    ASSERT_TRUE(doc->OpenFile(RequestFor(file.Path(), &binary, 32, 0x400000, kRequestRefers)));
    EXPECT_EQ(lines[0], L"The file: '" + file.Path() + L"'");
    EXPECT_EQ(lines[1], L"Main parser: 'Binary(internal)'");
    ASSERT_EQ(doc->Segments().Count(), 1);
    const KSegment* s = doc->Segments().Get(0);
    EXPECT_EQ(s->address, 0x400000);
    EXPECT_EQ(s->sizeInMemory, 0x30);
    EXPECT_EQ(s->kind, 32);
    EXPECT_NE(doc->Engine(), nullptr);
    EXPECT_TRUE(doc->refersWanted);
    EXPECT_EQ(doc->Request()->head.fileId, doc->Serial());
    EXPECT_EQ(doc->stores.names.recent.Key(), L"MRUGlobalName");
    EXPECT_EQ(doc->Parser(0), &binary);
    EXPECT_EQ(doc->Request()->mainParser, nullptr);
    EXPECT_EQ(host.titleUpdates, 1);
    EXPECT_EQ(host.relayouts, 1);
    ASSERT_EQ(host.Messages(), (std::vector<uint32_t>{ kMsgAttach, kMsgParsing }));
    EXPECT_EQ(host.notices[0].wparam, 1u);
    EXPECT_TRUE(host.notices[1].windowFirst);
    ASSERT_EQ(host.posted.size(), 1u);
    EXPECT_EQ(host.posted[0].message, kMsgParserDone);
    EXPECT_EQ(host.posted[0].wparam, 0u);

    const size_t before = lines.size();
    host.DeliverPosted();
    ASSERT_EQ(LinesFrom(before).size(), 1u);
    EXPECT_TRUE(StartsWith(lines.back(), L"Main parser is successed in ")) << std::string(lines.back().begin(), lines.back().end());
    EXPECT_TRUE(doc->ready);
    EXPECT_EQ(host.notices.back().message, kMsgParsing);
    EXPECT_EQ(host.notices.back().wparam, 0u);
    EXPECT_FALSE(host.notices.back().windowFirst);
    EXPECT_EQ(host.questionsClosed, 1);

    // The built-in parser delivers nothing for memory-only bytes.
    ASSERT_TRUE(doc->AddSegment(0, 0x10000, 0, 0x10, 0x20));
    uint8_t buffer[8];
    SectionLock lock(doc->FileLock());
    EXPECT_EQ(doc->ReadBytes(0x1000C, static_cast<void*>(buffer), 8u), 4u);
}

// An empty file is an empty document: its one empty segment is told, not counted, and it is ready.
TEST_F(ParseJobTest, EmptyFileIsReadyWithoutSegments) {
    TempFile file(L"empty.bin", "");
    FileParserBinary binary;
    ASSERT_TRUE(doc->OpenFile(RequestFor(file.Path(), &binary, 0, 0)));
    host.DeliverPosted();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], L"Segment 0000 is empty");
    EXPECT_TRUE(StartsWith(lines[3], L"Main parser is successed in "));
    EXPECT_EQ(doc->errorCount, 0);
    EXPECT_EQ(doc->Segments().Count(), 0);
    EXPECT_EQ(doc->Map().Count(), 0);
    EXPECT_TRUE(doc->ready);
}

TEST_F(ParseJobTest, DataFileHasNoEngineAndWantsNoRefers) {
    TempFile file(L"data.bin", std::string(16, 'd'));
    FileParserBinary binary;
    ASSERT_TRUE(doc->OpenFile(RequestFor(file.Path(), &binary, 0, 0, kRequestRefers | kRequestBigEndian)));
    EXPECT_EQ(doc->Engine(), nullptr);
    EXPECT_FALSE(doc->refersWanted);
    EXPECT_EQ(doc->options.file.dataOrder.index, 1);
    EXPECT_EQ(doc->dataFormat, 0x10000001u);
    EXPECT_FALSE(doc->AddCodeSegment(0x100, 0, 4, 0));
    EXPECT_EQ(lines.back(), L"Illegal code segment 0100 for data file");
}

TEST_F(ParseJobTest, AcceptCodeOtherThanOneGetsNoEngine) {
    TempFile file(L"code.bin", std::string(16, 'c'));
    LambdaParser parser([](FileParseThread*) { return true; });
    ASSERT_TRUE(doc->OpenFile(RequestFor(file.Path(), &parser, 32, 0, kRequestRefers, 0)));
    EXPECT_EQ(doc->Engine(), nullptr);
    EXPECT_FALSE(doc->refersWanted);
}

TEST_F(ParseJobTest, FalseWithoutSegmentsLogsInOrder) {
    TempFile file(L"f.bin", "x");
    LambdaParser parser([](FileParseThread*) { return false; });
    ASSERT_TRUE(doc->OpenFile(RequestFor(file.Path(), &parser, 32, 0)));
    const size_t before = lines.size();
    host.DeliverPosted();
    const std::vector<std::wstring> got = LinesFrom(before);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0], L"No segment defined.");
    EXPECT_EQ(got[1], L"Main parser return false.");
    EXPECT_EQ(got[2], L"Main parser error(s): 2");
    EXPECT_TRUE(StartsWith(got[3], L"\x01Main parser is failed in "));   // marked
}

TEST_F(ParseJobTest, SecondParserRunsAfterAGoodMainParser) {
    TempFile file(L"two.bin", std::string(0x20, 't'));
    int secondRuns = 0;
    LambdaParser main([](FileParseThread* d) { return d->AddDataSegment(0, 0, 0x20, 0); }, L"Main");
    LambdaParser second([&](FileParseThread*) { ++secondRuns; return true; }, L"Second");
    ParseRequest* request = RequestFor(file.Path(), &main, 32, 0);
    request->secondParser = &second;
    ASSERT_TRUE(doc->OpenFile(request));
    EXPECT_EQ(doc->Parser(1), &second);
    host.DeliverPosted();
    EXPECT_EQ(secondRuns, 1);
    EXPECT_EQ(host.stages, std::vector<std::wstring>{ L"Second parser" });
    const std::vector<std::wstring> got = LinesFrom(2);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_TRUE(StartsWith(got[0], L"Main parser is successed in "));
    EXPECT_EQ(got[1], L"Second parser: 'Second'");
    EXPECT_TRUE(StartsWith(got[2], L"Second parser is successed in "));
    EXPECT_EQ(host.Messages(), (std::vector<uint32_t>{ kMsgAttach, kMsgParsing, kMsgParsing }));
    EXPECT_EQ(host.notices.back().wparam, 0u);
    EXPECT_TRUE(doc->ready);
}

TEST_F(ParseJobTest, CancelOrBusyStopsTheSecondParser) {
    for (int busy = 0; busy < 2; ++busy) {
        FakeDirectory dir;
        OpenDocument od(dir);
        TempFile file(L"two.bin", std::string(0x20, 't'));
        int secondRuns = 0;
        LambdaParser main([](FileParseThread* d) { return d->AddDataSegment(0, 0, 0x20, 0); }, L"Main");
        LambdaParser second([&](FileParseThread*) { ++secondRuns; return true; }, L"Second");
        second.busy = busy != 0;
        if (busy == 0)
            od.doc->CancelParse();
        ParseRequest* request = RequestFor(file.Path(), &main, 32, 0);
        request->secondParser = &second;
        ASSERT_TRUE(od.doc->OpenFile(request));
        od.host.DeliverPosted();
        EXPECT_EQ(secondRuns, 0);
        EXPECT_FALSE(od.doc->ready);
        EXPECT_EQ(od.host.notices.back().message, kMsgParsing);
        EXPECT_EQ(od.host.notices.back().wparam, 0u);
        if (busy) {
            EXPECT_EQ(od.log.lines.back(), L"Second parser is BUSY.");
        }
    }
}

TEST_F(ParseJobTest, FileClosedBeforeTheJobEndIsHandled) {
    TempFile file(L"c.bin", "abc");
    LambdaParser parser([](FileParseThread* d) { return d->AddDataSegment(0, 0, 3, 0); });
    ASSERT_TRUE(doc->OpenFile(RequestFor(file.Path(), &parser, 0, 0)));
    EXPECT_TRUE(doc->CloseFile());
    EXPECT_EQ(doc->Serial(), 0);
    EXPECT_EQ(FindFileById(od_.host.controlId), nullptr);
    EXPECT_EQ(host.closings, 1);
    const size_t before = lines.size();
    EXPECT_EQ(lines[before - 2], L"File '" + file.Path() + L"' is close.");
    EXPECT_EQ(lines[before - 1], L"--- --- ---");
    EXPECT_EQ(host.notices.back().message, kMsgAttach);
    EXPECT_EQ(host.notices.back().wparam, 0u);
    const size_t notices = host.notices.size();
    host.DeliverPosted();
    EXPECT_EQ(lines.size(), before);
    EXPECT_EQ(host.notices.size(), notices);   // the window was forgotten
}

TEST_F(ParseJobTest, CloseWithoutOpenIsHarmless) {
    EXPECT_TRUE(doc->CloseFile());
    EXPECT_EQ(lines.back(), L"--- --- ---");
    EXPECT_EQ(doc->Serial(), 0);
}

// The tab closes while the job's end dispatches messages: the document is gone, and nothing after the
// dispatch may touch it.
TEST_F(ParseJobTest, DocumentDeletedDuringTheDispatch) {
    TempFile file(L"d.bin", std::string(0x10, 'd'));
    int secondRuns = 0;
    LambdaParser main([](FileParseThread* d) { return d->AddDataSegment(0, 0, 0x10, 0); });
    LambdaParser second([&](FileParseThread*) { ++secondRuns; return true; });
    ParseRequest* request = RequestFor(file.Path(), &main, 0, 0);
    request->secondParser = &second;
    ASSERT_TRUE(doc->OpenFile(request));
    host.onPump = [this] {
        dir_.Remove(od_.doc);
        delete od_.doc;
        od_.doc = nullptr;
    };
    const size_t notices = host.notices.size();
    host.DeliverPosted();
    EXPECT_EQ(od_.doc, nullptr);
    EXPECT_EQ(secondRuns, 0);
    EXPECT_EQ(host.notices.size(), notices);
}

TEST_F(ParseJobTest, EveryThousandthNameRepaintsTheLists) {
    for (int i = 0; i < 2500; ++i)
        doc->CountNewName();
    EXPECT_EQ(host.sideTabRepaints, 2);
}

// The test plug-in, loaded from the program's folder, lays out a file through the program's exports.
class PluginJobTest : public ParseJobTest {
protected:
    PluginJobTest() { loaded_ = registry_.LoadParser(ProgramFolder().c_str(), L"zeptest.zep32"); }
    // Opens a file whose script is `script` (after the magic line), padded with dots to 0x400 bytes.
    void OpenScript(const std::string& script) {
        ASSERT_TRUE(loaded_);
        std::string text = "ZEPTEST\n" + script + "end\n";
        text.resize(0x400, '.');
        file_.reset();
        file_.reset(new TempFile(L"script.bin", text));
        ASSERT_TRUE(doc->OpenFile(RequestFor(file_->Path(), Plugin(), 32, 0x1000)));
        EXPECT_FALSE(Plugin()->busy);
        host.DeliverPosted();
    }
    BFileParser* Plugin() { return registry_.mainParsers[0]; }
    std::vector<std::wstring> ResultLines() const { return LinesFrom(2); }

    ParserRegistry registry_;
    bool loaded_;
    std::unique_ptr<TempFile> file_;
};

TEST_F(PluginJobTest, SegmentsNamesAndLogThroughTheExports) {
    OpenScript("call ZepFileAddCodeSegment $id q:0x1000 q:0 q:0x3F0 q:0x800\nexpect 1\n"
               "call ZepFileAddDataSegment 999 q:0x4000 q:0 q:0x10 q:0\nexpect 0\n"   // no such file id
               "call ZepFileSegmentName $id q:0x1000 \".text\"\nexpect 1\n"
               "call ZepFileLog $id \"100% plug-in\"\n"
               "badptr\n");
    EXPECT_EQ(lines[1], L"Main parser: 'Test parser'");
    const std::vector<std::wstring> got = ResultLines();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], L"100% plug-in");
    EXPECT_TRUE(StartsWith(got[1], L"Main parser is successed in "));
    ASSERT_EQ(doc->Segments().Count(), 1);
    EXPECT_EQ(doc->Segments().Get(0)->name, L".text");
    EXPECT_EQ(doc->Segments().Get(0)->sizeInMemory, 0x800);

    // A plug-in parser fills the memory-only part with zeros.
    uint8_t buffer[8];
    SectionLock lock(doc->FileLock());
    EXPECT_EQ(doc->ReadBytes(0x13EC, static_cast<void*>(buffer), 8u), 8u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 8), std::string("....\0\0\0\0", 8));
    EXPECT_EQ(doc->ReadBytes(0x17FC, static_cast<void*>(buffer), 8u), 4u);   // to the segment's end
}

TEST_F(PluginJobTest, ResultIsReadFromAlOnly) {
    OpenScript("call ZepFileAddCodeSegment $id q:0x1000 q:0 q:0x10 q:0\nreturn 0x100\n");
    const std::vector<std::wstring> got = ResultLines();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], L"Main parser return false.");
    EXPECT_EQ(got[1], L"Main parser error(s): 1");
}

TEST_F(PluginJobTest, FaultIsLoggedAndTheProgramGoesOn) {
    const struct {
        const char* script;
        const wchar_t* first;
    } rows[] = {
        { "fault\n", L"Exception code C0000005 at " },
        { "raise 0xE0001234\n", L"Exception code E0001234 at " },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.script);
        lines.clear();
        doc->errorCount = 0;
        OpenScript(row.script);
        const std::vector<std::wstring> got = ResultLines();
        ASSERT_EQ(got.size(), 5u);
        EXPECT_TRUE(StartsWith(got[0], row.first));
        EXPECT_EQ(got[0].size(), wcslen(row.first) + 8);
        EXPECT_EQ(got[1], L"No segment defined.");
        EXPECT_EQ(got[2], L"Main parser return false.");
        EXPECT_EQ(got[3], L"Main parser error(s): 3");
        EXPECT_FALSE(Plugin()->busy);
    }
    // The thread's handler chain is whole again: a later fault elsewhere is still caught.
    SehFault fault;
    EXPECT_FALSE(CallGuarded([](void*) { ::RaiseException(0xE0000001, 0, 0, nullptr); }, nullptr, &fault));
    EXPECT_EQ(fault.code, 0xE0000001u);
}

TEST_F(PluginJobTest, SegmentRefusalsCountAsErrors) {
    OpenScript("call ZepFileAddCodeSegment $id q:0x1000 q:0x3F0 q:0x20 q:0\nexpect 0\n"
               "call ZepFileAddCodeSegment $id q:0x1000 q:0 q:0x10 q:0\n"
               "call ZepFileAddCodeSegment $id q:0x1008 q:0 q:0x10 q:0\nexpect 0\n");
    const std::vector<std::wstring> got = ResultLines();
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[0], L"Segment 1000 out file");
    EXPECT_EQ(got[1], L"Segment 1008 inside segment");
    EXPECT_EQ(got[2], L"Main parser error(s): 2");
    EXPECT_TRUE(StartsWith(got[3], L"\x01Main parser is failed in "));   // marked
}

// An empty section is told in the log and left out; the rest of the file parses.
TEST_F(PluginJobTest, AnEmptySectionIsNoError) {
    OpenScript("call ZepFileAddCodeSegment $id q:0x1000 q:0 q:0x100 q:0\nexpect 1\n"
               "call ZepFileAddDataSegment $id q:0x2000 q:0x100 q:0 q:0\nexpect 1\n"
               "call ZepFileAddDataSegment $id q:0x3000 q:0x100 q:0x100 q:0\nexpect 1\n");
    const std::vector<std::wstring> got = ResultLines();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], L"Segment 2000 is empty");
    EXPECT_TRUE(StartsWith(got[1], L"Main parser is successed in "));
    EXPECT_EQ(doc->Segments().Count(), 2);
    EXPECT_FALSE(doc->InSegment(0x2000));
    EXPECT_EQ(doc->Map().Count(), 4);   // two starts, two end markers
    EXPECT_TRUE(doc->ready);
}

}  // namespace
