#include "document/BFileParser.h"
#include "document/Diza.h"
#include "document/ZepExports.h"

#include "DocumentFakes.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

class CallbackTest : public DocumentTest {
protected:
    CallbackTest() : id(doc->Serial()) {}
    bool Logged(const std::wstring& line) const {
        for (const std::wstring& l : Lines())
            if (l == line)
                return true;
        return false;
    }
    const int32_t id;
};

// Every export, called with a file id.
std::vector<std::function<uint8_t(int32_t)>> AllExports(uint32_t low, uint32_t high) {
    return {
        [=](int32_t i) { return ZepFileAddCodeSegment(i, low, high, 0, 0, 0x10, 0, 0, 0); },
        [=](int32_t i) { return ZepFileAddDataSegment(i, low, high, 0, 0, 0x10, 0, 0, 0); },
        [=](int32_t i) { return ZepFileCommentline(i, low, high, L"c"); },
        [=](int32_t i) { return ZepFileLog(i, L"log"); },
        [=](int32_t i) { return ZepFileMakeCode(i, low, high); },
        [=](int32_t i) { return ZepFileMakeCodes(i, low, high, 4); },
        [=](int32_t i) { return ZepFileMakeCollapse(i, low, high, 4, 0); },
        [=](int32_t i) { return ZepFileMakeDec(i); },
        [=](int32_t i) { return ZepFileMakeDump(i, low, high, 4, 0); },
        [=](int32_t i) { return ZepFileMakeHex(i); },
        [=](int32_t i) { return ZepFileMakePerline(i, 4); },
        [=](int32_t i) { return ZepFileMakeWords(i, low, high, 1); },
        [=](int32_t i) { return ZepFileRunCommentOnline(i, L"o"); },
        [=](int32_t i) { return ZepFileRunCommentline(i, L"c"); },
        [=](int32_t i) { return ZepFileRunDump(i, 4, 0); },
        [=](int32_t i) { return ZepFileRunWord(i); },
        [=](int32_t i) { return ZepFileRunWords(i, 1); },
        [=](int32_t i) { return ZepFileSegmentName(i, low, high, L"n"); },
        [=](int32_t i) { return ZepFileSetRunAddress(i, low, high); },
    };
}

TEST_F(CallbackTest, UnknownIdAndClosedFileGiveZero) {
    ASSERT_TRUE(doc->AddCodeSegment(0x100, 0, 0x100, 0));
    const auto exports = AllExports(0x100, 0);
    ASSERT_EQ(exports.size(), 19u);
    for (size_t i = 0; i < exports.size(); ++i) {
        EXPECT_EQ(exports[i](id + 1000), 0) << "export " << i + 1;
        EXPECT_EQ(exports[i](0), 0) << "export " << i + 1;
    }
    // While open, the log export answers; after the close no export finds the document.
    EXPECT_EQ(ZepFileLog(id, L"open"), 1);
    doc->CloseFile();
    const size_t lines = Lines().size();
    for (size_t i = 0; i < exports.size(); ++i)
        EXPECT_EQ(exports[i](id), 0) << "export " << i + 1;
    EXPECT_EQ(Lines().size(), lines);
}

TEST_F(CallbackTest, DataFormatWord) {
    EXPECT_EQ(ZepFileMakePerline(id, 300), 1);
    EXPECT_EQ(doc->dataFormat & 0xFF, 255u);
    EXPECT_EQ(ZepFileMakePerline(id, 0), 0);
    EXPECT_EQ(ZepFileMakePerline(id, -3), 0);
    EXPECT_EQ(ZepFileMakePerline(id, 7), 1);
    EXPECT_EQ(doc->dataFormat & 0xFF, 7u);
    EXPECT_EQ(ZepFileMakeDec(id), 1);
    EXPECT_EQ(doc->dataFormat & (diza::kFormatRadixChosen | diza::kFormatDecimal),
              diza::kFormatRadixChosen | diza::kFormatDecimal);
    EXPECT_EQ(ZepFileMakeHex(id), 1);
    EXPECT_EQ(doc->dataFormat & (diza::kFormatRadixChosen | diza::kFormatDecimal), diza::kFormatRadixChosen);
    EXPECT_EQ(doc->dataFormat & 0xFF, 7u);
}

TEST_F(CallbackTest, RunWordsMoveTheRunAddress) {
    ASSERT_EQ(ZepFileAddDataSegment(id, 0x2000, 0, 0, 0, 0x100, 0, 0, 0), 1);
    ASSERT_EQ(ZepFileSetRunAddress(id, 0x2000, 0), 1);
    EXPECT_EQ(ZepFileRunWords(id, 0), 0);
    EXPECT_EQ(ZepFileRunWords(id, -1), 0);
    EXPECT_EQ(doc->runAddress, 0x2000);
    EXPECT_EQ(ZepFileRunWords(id, 3), 1);
    EXPECT_EQ(doc->runAddress, 0x2006);
    EXPECT_EQ(diza::KindOf(doc->Map().ItemAt(0x2000).kind), diza::kData);
    doc->runAlignment = 4;
    EXPECT_EQ(ZepFileRunWord(id), 1);
    EXPECT_EQ(doc->runAddress, 0x2008);   // 0x2008 already a multiple of 4
    EXPECT_EQ(ZepFileRunWord(id), 1);
    EXPECT_EQ(doc->runAddress, 0x200C);   // 0x200A rounded up
    EXPECT_EQ(ZepFileMakeWords(id, 0x2040, 0, 2), 1);
    EXPECT_EQ(doc->runAddress, 0x2044);
}

TEST_F(CallbackTest, RunAddressOutsideSegments) {
    ASSERT_EQ(ZepFileAddDataSegment(id, 0x2000, 0, 0, 0, 0x100, 0, 0, 0), 1);
    ASSERT_EQ(ZepFileAddDataSegment(id, 0x3000, 0, 0, 0, 0x100, 0, 0, 0), 1);
    ASSERT_EQ(ZepFileSetRunAddress(id, 0x2010, 0), 1);
    EXPECT_EQ(ZepFileSetRunAddress(id, 0x2800, 0), 0);   // the gap
    EXPECT_TRUE(Logged(L"Address 2800 not found"));
    EXPECT_EQ(doc->runAddress, 0x2010);
    // A failed make still moves the run address.
    EXPECT_EQ(ZepFileMakeWords(id, 0x2900, 0, 1), 0);
    EXPECT_EQ(doc->runAddress, 0x2900);
    EXPECT_EQ(ZepFileRunCommentline(id, L"lost"), 0);
    EXPECT_EQ(ZepFileCommentline(id, 0x2900, 0, L"lost"), 0);
    EXPECT_EQ(doc->stores.lineComments.Count(), 0);
}

TEST_F(CallbackTest, AddressAboveFourGigabytesKeepsItsHalves) {
    ASSERT_EQ(ZepFileAddDataSegment(id, 0x80000000u, 1, 0, 0, 0x100, 0, 0, 0), 1);
    ASSERT_EQ(doc->Segments().Get(0)->address, 0x180000000LL);
    EXPECT_EQ(ZepFileSetRunAddress(id, 0x80000010u, 1), 1);
    EXPECT_EQ(doc->runAddress, 0x180000010LL);
    EXPECT_EQ(ZepFileSegmentName(id, 0x80000000u, 1, L"high"), 1);
    EXPECT_EQ(doc->Segments().Get(0)->name, L"high");
    EXPECT_EQ(ZepFileCommentline(id, 0x80000020u, 1, L"up here"), 1);
    EXPECT_EQ(doc->stores.lineComments.Text(0x180000020LL), L"up here");
    EXPECT_EQ(ZepFileSetRunAddress(id, 0x80000010u, 0), 0);   // the low half alone is no segment
}

TEST_F(CallbackTest, CommentsNullTextsAndLog) {
    ASSERT_EQ(ZepFileAddDataSegment(id, 0x2000, 0, 0, 0, 0x100, 0, 0, 0), 1);
    ASSERT_EQ(ZepFileSetRunAddress(id, 0x2004, 0), 1);
    EXPECT_EQ(ZepFileRunCommentline(id, L"own\nline"), 1);
    EXPECT_EQ(ZepFileRunCommentOnline(id, L"on the item"), 1);
    EXPECT_EQ(doc->stores.lineComments.LineCount(0x2004), 2);
    EXPECT_EQ(doc->stores.onlineComments.FirstLine(0x2004), L"on the item");
    EXPECT_EQ(ZepFileCommentline(id, 0x2004, 0, nullptr), 1);   // a null text removes
    EXPECT_FALSE(doc->stores.lineComments.Has(0x2004));
    EXPECT_EQ(ZepFileRunCommentOnline(id, L""), 1);
    EXPECT_FALSE(doc->stores.onlineComments.Has(0x2004));
    EXPECT_EQ(ZepFileLog(id, L"100%s text"), 1);
    EXPECT_EQ(Lines().back(), L"100%s text");
    EXPECT_EQ(ZepFileLog(id, nullptr), 1);
    EXPECT_EQ(Lines().back(), L"");
    EXPECT_EQ(ZepFileSegmentName(id, 0x2000, 0, nullptr), 1);
    EXPECT_EQ(doc->Segments().Get(0)->name, L"");
}

TEST_F(CallbackTest, CodeAndDumps) {
    ASSERT_EQ(ZepFileAddCodeSegment(id, 0x1000, 0, 0, 0, 0x400, 0, 0, 0), 1);
    EXPECT_EQ(ZepFileMakeCodes(id, 0x1100, 0, 0x10), 1);
    EXPECT_EQ(diza::KindOf(doc->Map().ItemAt(0x1100).kind), diza::kCode);
    EXPECT_GT(doc->runAddress, 0x1100);
    EXPECT_LE(doc->runAddress, 0x1110);
    EXPECT_EQ(ZepFileMakeDump(id, 0x1200, 0, 0x40, 1), 1);
    EXPECT_EQ(doc->runAddress, 0x1240);
    EXPECT_TRUE(doc->stores.collapses.IsCollapsed(0x1200));
    EXPECT_EQ(ZepFileRunDump(id, 0x40, 0), 1);
    EXPECT_EQ(doc->runAddress, 0x1280);
    EXPECT_FALSE(doc->stores.collapses.IsCollapsed(0x1240));
    EXPECT_EQ(ZepFileMakeCode(id, 0x1300, 0), 1);
    EXPECT_EQ(diza::KindOf(doc->Map().ItemAt(0x1300).kind), diza::kCode);
    EXPECT_EQ(ZepFileMakeCode(id, 0x9000, 0), 0);
    EXPECT_TRUE(Logged(L"Address 9000 not found"));
}

class DataFileCallbackTest : public DocumentTest {
protected:
    DataFileCallbackTest() : DocumentTest(0x1000, 0) {}
};

// Like every failed Make, a refused one still moves the run address: the next Run starts there.
TEST_F(DataFileCallbackTest, CodeWithoutEngineIsRefusedButMovesTheRunAddress) {
    const int32_t id = doc->Serial();
    ASSERT_EQ(ZepFileAddDataSegment(id, 0x1000, 0, 0, 0, 0x100, 0, 0, 0), 1);
    ASSERT_EQ(ZepFileSetRunAddress(id, 0x1010, 0), 1);
    const int records = doc->Map().Count();
    EXPECT_EQ(ZepFileMakeCode(id, 0x1020, 0), 0);
    EXPECT_EQ(doc->runAddress, 0x1020);
    EXPECT_EQ(ZepFileMakeCodes(id, 0x1030, 0, 8), 0);
    EXPECT_EQ(doc->runAddress, 0x1030);
    EXPECT_EQ(doc->Map().Count(), records);
    EXPECT_EQ(Lines().back(), L"Code(1030) no decode engine");
    // Outside every segment the address is what is wrong.
    EXPECT_EQ(ZepFileMakeCode(id, 0x2800, 0), 0);
    EXPECT_EQ(doc->runAddress, 0x2800);
    EXPECT_EQ(Lines().back(), L"Address 2800 not found");
    EXPECT_EQ(ZepFileMakeCodes(id, 0x2900, 0, 8), 0);
    EXPECT_EQ(doc->runAddress, 0x2900);
    EXPECT_EQ(Lines().back(), L"Address 2900 not found");
    ASSERT_EQ(ZepFileSetRunAddress(id, 0x1030, 0), 1);
    EXPECT_EQ(ZepFileRunWord(id), 1);
    EXPECT_EQ(diza::KindOf(doc->Map().ItemAt(0x1030).kind), diza::kData);
    EXPECT_EQ(doc->Map().ItemAt(0x1030).address, 0x1030);
    // A code segment in a data file is refused and counted.
    EXPECT_EQ(ZepFileAddCodeSegment(id, 0x2000, 0, 0, 0, 0x10, 0, 0, 0), 0);
    EXPECT_EQ(doc->errorCount, 1);
}

struct CollapseRow {
    uint32_t address, size;
    const wchar_t* line;   // null: made
};

TEST_F(CallbackTest, CollapseRefusals) {
    ASSERT_EQ(ZepFileAddDataSegment(id, 0x2000, 0, 0, 0, 0x100, 0, 0, 0), 1);
    ASSERT_EQ(ZepFileAddDataSegment(id, 0x2100, 0, 0, 0, 0x100, 0, 0, 0), 1);
    ASSERT_EQ(ZepFileMakeWords(id, 0x2010, 0, 8), 1);   // words 0x2010..0x2020, one line per 1 item
    const CollapseRow rows[] = {
        { 0x2010, 0, L"Collapse 2010 size is illegal" },
        { 0x20F0, 0x20, L"Collapse [20F0 2110] out the same segment" },
        { 0x2011, 0x0F, L"Collapse 2011 illegal top address" },
        { 0x2010, 0x05, L"Collapse 2010 illegel bottom address 2015" },
        { 0x2010, 0x10, nullptr },
        { 0x2010, 0x08, L"Collapse 2010 is already" },
    };
    for (const CollapseRow& row : rows) {
        const uint8_t made = ZepFileMakeCollapse(id, row.address, 0, row.size, 0x101);
        EXPECT_EQ(made, row.line ? 0 : 1) << std::hex << row.address;
        if (row.line) {
            EXPECT_EQ(Lines().back(), row.line);
        }
    }
    EXPECT_EQ(doc->stores.collapses.FindEnd(0x2010), 0x2020);
    EXPECT_TRUE(doc->stores.collapses.IsCollapsed(0x2010));
}

// The test plug-in lays out a file through all 19 exports, calling each by ordinal, after checking that
// every name and its ordinal are one entry.
class PluginCallbackTest : public ::testing::Test {
protected:
    PluginCallbackTest() : od_(dir_) {
        doc = od_.doc;
        loaded_ = registry_.LoadParser(ProgramFolder().c_str(), L"zeptest.zep32");
    }
    void OpenScript(const std::string& script) {
        ASSERT_TRUE(loaded_);
        std::string text = "ZEPTEST\n" + script + "end\n";
        ASSERT_LT(text.size(), 0xC00u);
        text.resize(0x1000, '\x90');
        file_.reset(new TempFile(L"callbacks.bin", text));
        ASSERT_TRUE(doc->OpenFile(RequestFor(file_->Path(), registry_.mainParsers[0], 32, 0x1000)));
        od_.host.DeliverPosted();
    }
    FakeDirectory dir_;
    OpenDocument od_;
    FileParseThread* doc;
    ParserRegistry registry_;
    bool loaded_;
    std::unique_ptr<TempFile> file_;
};

TEST_F(PluginCallbackTest, EveryExportByOrdinal) {
    const char* names[] = { "ZepFileAddCodeSegment", "ZepFileAddDataSegment", "ZepFileCommentline",
                            "ZepFileLog", "ZepFileMakeCode", "ZepFileMakeCodes", "ZepFileMakeCollapse",
                            "ZepFileMakeDec", "ZepFileMakeDump", "ZepFileMakeHex", "ZepFileMakePerline",
                            "ZepFileMakeWords", "ZepFileRunCommentOnline", "ZepFileRunCommentline",
                            "ZepFileRunDump", "ZepFileRunWord", "ZepFileRunWords", "ZepFileSegmentName",
                            "ZepFileSetRunAddress" };
    std::string script;
    for (int i = 0; i < 19; ++i)
        script += "same " + std::string(names[i]) + " " + std::to_string(i + 1) + "\n";
    script +=
        "call #1 $id q:0x1000 q:0xC00 q:0x100 q:0\nexpect 1\n"
        "call #2 $id q:0x2000 q:0xD00 q:0x100 q:0\nexpect 1\n"
        "call #18 $id q:0x2000 \".data\"\nexpect 1\n"
        "call #4 $id \"from the plug-in\"\nexpect 1\n"
        "call #5 $id q:0x1000\nexpect 1\n"
        "call #6 $id q:0x1010 4\nexpect 1\n"
        "call #11 $id 2\nexpect 1\n"
        "call #8 $id\nexpect 1\n"
        "call #10 $id\nexpect 1\n"
        "call #19 $id q:0x2000\nexpect 1\n"
        "call #16 $id\nexpect 1\n"
        "call #17 $id 3\nexpect 1\n"
        "call #15 $id 0x40 1\nexpect 1\n"
        "call #19 $id q:0x2008\nexpect 1\n"
        "call #14 $id \"above\"\nexpect 1\n"
        "call #13 $id \"beside\"\nexpect 1\n"
        "call #12 $id q:0x2080 2\nexpect 1\n"
        "call #9 $id q:0x20C0 0x20 0\nexpect 1\n"
        "call #3 $id q:0x2000 \"first\"\nexpect 1\n"
        "call #7 $id q:0x2000 8 1\nexpect 1\n"
        "call #19 $id q:0x5000\nexpect 0\n";
    OpenScript(script);
    ASSERT_EQ(doc->Segments().Count(), 2);
    EXPECT_EQ(doc->Segments().Get(1)->name, L".data");
    EXPECT_TRUE(doc->ready);
    EXPECT_EQ(diza::KindOf(doc->Map().ItemAt(0x1000).kind), diza::kCode);
    EXPECT_EQ(diza::KindOf(doc->Map().ItemAt(0x1010).kind), diza::kCode);
    EXPECT_EQ(doc->Map().ItemAt(0x2002).kind & 0xFF, 2u);   // two items per line
    EXPECT_EQ(doc->dataFormat & (diza::kFormatRadixChosen | diza::kFormatDecimal), diza::kFormatRadixChosen);
    EXPECT_EQ(doc->stores.lineComments.Text(0x2008), L"above");
    EXPECT_EQ(doc->stores.onlineComments.Text(0x2008), L"beside");
    EXPECT_EQ(doc->stores.lineComments.Text(0x2000), L"first");
    EXPECT_TRUE(doc->stores.collapses.IsCollapsed(0x2008));
    EXPECT_EQ(doc->stores.collapses.FindEnd(0x2000), 0x2008);
    EXPECT_TRUE(doc->stores.collapses.IsCollapsed(0x2000));
    EXPECT_EQ(doc->runAddress, 0x20E0);
    bool logged = false;
    for (const std::wstring& line : od_.log.lines)
        logged = logged || line == L"from the plug-in";
    EXPECT_TRUE(logged);
}

}  // namespace
