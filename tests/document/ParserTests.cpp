#include "DocumentFakes.h"

#include <windows.h>

#include <memory>

namespace {

class MainLogTest : public ::testing::Test {
protected:
    MainLogTest() { SetMainLog(&log); }
    ~MainLogTest() override { SetMainLog(nullptr); }
    // The main-log line that starts with the path of a library in the program's folder.
    std::wstring EntryOf(const std::wstring& fileName) const {
        const std::wstring path = ProgramFolder() + fileName;
        for (const std::wstring& line : log.lines)
            if (line.compare(0, path.size(), path) == 0)
                return line.substr(path.size());
        return L"<none>";
    }
    RecordingLog log;
};

bool StartsWith(const std::wstring& text, const std::wstring& start) { return text.compare(0, start.size(), start) == 0; }

// Every variant of the test plug-in lies in the program's folder; each is loaded or refused with its reason.
TEST_F(MainLogTest, LoadAllTakesOrRefusesEachLibrary) {
    ParserRegistry registry;
    Options appOptions;   // the plug-in folder "$\" (the default) is the program's folder
    registry.LoadAll(appOptions);
    const struct {
        const wchar_t* file;
        const wchar_t* entry;   // what follows the path; " at ..." cut off
    } rows[] = {
        { L"zeptest.zep32", L"  (ID:00010000)  'Test parser' loaded" },
        { L"zeptest_id0.zep32", L"  (no-savefile)  'Test parser' loaded" },
        { L"zeptest_id5.zep32", L"  ERROR: ZepID above 0xFFFF" },
        { L"zeptest_noid.zep32", L"  (no-savefile)  'Test parser' loaded" },
        { L"zeptest_noknow.zep32", L"  ERROR: no IKnowThisFile" },
        { L"zeptest_noparse.zep32", L"  ERROR: no ParseFile" },
        { L"zeptest_notitle.zep32", L"  (ID:00010000)  'zeptest_notitle' loaded" },
        { L"zeptest_noversion.zep32", L"  (ID:00010000)  'Test parser' loaded" },
        { L"zeptest_v2504.zep32", L"  ERROR: API version is mismatch" },
    };
    for (const auto& row : rows) {
        const std::wstring entry = EntryOf(row.file);
        EXPECT_TRUE(StartsWith(entry, row.entry)) << std::string(entry.begin(), entry.end());
        if (StartsWith(row.entry, L"  (")) {
            EXPECT_NE(entry.find(L"' loaded at "), std::wstring::npos);
            EXPECT_EQ(entry.size(), wcslen(row.entry) + 12);   // " at " and eight digits
        }
    }
    ASSERT_EQ(registry.mainParsers.size(), 6u);
    EXPECT_EQ(registry.mainParsers.back()->title, L"Binary(internal)");
    EXPECT_EQ(registry.mainParsers.back()->id, 1u);
    EXPECT_TRUE(registry.secondParsers.empty());
    EXPECT_EQ(log.lines.back(), L"");
}

// A folder value that expands to nothing (the program's folder unknown) loads no library from the
// current folder, which here holds the test plug-ins.
TEST_F(MainLogTest, NoFolderLoadsOnlyTheBuiltInParser) {
    ParserRegistry registry;
    wchar_t before[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, before);
    ::SetCurrentDirectoryW(ProgramFolder().c_str());
    registry.LoadAll(L"");
    ::SetCurrentDirectoryW(before);
    ASSERT_EQ(registry.mainParsers.size(), 1u);
    EXPECT_EQ(registry.mainParsers.back()->title, L"Binary(internal)");
}

TEST_F(MainLogTest, NonLibraryIsRefusedWithTheSystemText) {
    const std::wstring folder = ProgramFolder() + L"notdll\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"text.zep32";
    {
        HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n;
        ::WriteFile(f, "not a library", 13, &n, nullptr);
        ::CloseHandle(f);
    }
    ParserRegistry registry;
    EXPECT_FALSE(registry.LoadParser(folder.c_str(), L"text.zep32"));
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0].compare(0, path.size(), path), 0);
    EXPECT_TRUE(StartsWith(log.lines[0].substr(path.size()), L"  ERROR: "));
    EXPECT_GT(log.lines[0].size(), path.size() + 9);   // the system said why
    EXPECT_TRUE(registry.mainParsers.empty());
    ::DeleteFileW(path.c_str());
    ::RemoveDirectoryW(folder.c_str());
}

TEST(Registry, WithoutPluginsOnlyTheBuiltInIsOffered) {
    TempFile file(L"any.bin", "anything");
    ParserRegistry registry;
    registry.Add(new FileParserBinary);
    std::unique_ptr<ParseRequest, void (*)(void*)> typed(MakeParseRequest(file.Path().c_str()), FreeParseRecord);
    std::vector<ParseRequest*> offers;
    EXPECT_EQ(registry.Probe(offers, typed.get()), 1);
    ASSERT_EQ(offers.size(), 1u);
    EXPECT_EQ(offers[0]->mainParser, registry.mainParsers[0]);
    EXPECT_EQ(offers[0]->head.flags, 0x7710u);
    EXPECT_EQ(offers[0]->head.bitness, 0);
    EXPECT_EQ(offers[0]->head.acceptCode, 1);
    EXPECT_EQ(std::wstring(offers[0]->path), file.Path());
    EXPECT_EQ(offers[0]->head.pathLength, static_cast<int32_t>(file.Path().size() * 2));
    FreeParseRecord(offers[0]);
}

// Which answers of "IKnowThisFile" make an offer: true with accept code 1, or true with accept code and
// bitness both 0. The result is read from AL alone.
TEST(Registry, ProbeAcceptanceMatrix) {
    ParserRegistry registry;
    SetMainLog(nullptr);
    ASSERT_TRUE(registry.LoadParser(ProgramFolder().c_str(), L"zeptest.zep32"));
    registry.Add(new FileParserBinary);
    const struct {
        const char* probe;
        bool offered;
    } rows[] = {
        { "probe 1 1 32 0x8000 0x400000", true },
        { "probe 1 1 16 0 0", true },
        { "probe 1 0 0 0x4000 0", true },       // accepted as data
        { "probe 1 0 32 0 0", false },          // true, but neither code nor data
        { "probe 1 2 32 0 0", false },
        { "probe 0 1 32 0 0", false },          // false
        { "probe 0x100 1 32 0 0", false },      // AL is 0: false
        { "probe 0x101 1 32 0 0", true },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.probe);
        TempFile file(L"probe.bin", std::string("ZEPTEST\n") + row.probe + "\nend\n");
        std::unique_ptr<ParseRequest, void (*)(void*)> typed(MakeParseRequest(file.Path().c_str()), FreeParseRecord);
        std::vector<ParseRequest*> offers;
        EXPECT_EQ(registry.Probe(offers, typed.get()), 2);
        ASSERT_EQ(offers.size(), row.offered ? 2u : 1u);
        EXPECT_EQ(offers.back()->mainParser->title, L"Binary(internal)");
        if (row.offered) {
            EXPECT_EQ(offers[0]->mainParser, registry.mainParsers[0]);
            EXPECT_EQ(std::wstring(offers[0]->path), file.Path());
        }
        for (ParseRequest* r : offers)
            FreeParseRecord(r);
    }
    // The fields the plug-in filled travel into the offer.
    TempFile file(L"probe.bin", "ZEPTEST\nprobe 1 1 32 0x8000 0x400000\nend\n");
    std::unique_ptr<ParseRequest, void (*)(void*)> typed(MakeParseRequest(file.Path().c_str()), FreeParseRecord);
    std::vector<ParseRequest*> offers;
    registry.Probe(offers, typed.get());
    ASSERT_EQ(offers.size(), 2u);
    EXPECT_EQ(offers[0]->head.flags, 0x8000u);
    EXPECT_EQ(offers[0]->head.bitness, 32);
    EXPECT_EQ(offers[0]->head.baseAddress, 0x400000);
    EXPECT_EQ(offers[0]->head.fileId, 0);
    for (ParseRequest* r : offers)
        FreeParseRecord(r);
}

TEST(Registry, RecordCopies) {
    ParseRequest* request = MakeParseRequest(L"C:\\a.bin");
    request->head.flags = 0x1234;
    request->head.reserved32 = 77;
    ParseProbe* probe = MakeParseProbe(request);
    EXPECT_EQ(probe->head.pathLength, 16);
    EXPECT_STREQ(probe->path, L"C:\\a.bin");
    EXPECT_EQ(probe->head.reserved32, 77);
    ParseRequest* other = CopyParseRequest(probe, L"D:\\longer.bin");
    EXPECT_EQ(other->head.pathLength, 26);
    EXPECT_STREQ(other->path, L"D:\\longer.bin");
    EXPECT_EQ(other->head.flags, 0x1234u);
    EXPECT_EQ(other->mainParser, nullptr);
    ParseRequest* same = CopyParseRequest(probe, L"");
    EXPECT_STREQ(same->path, L"C:\\a.bin");
    FreeParseRecord(request);
    FreeParseRecord(probe);
    FreeParseRecord(other);
    FreeParseRecord(same);
}

}  // namespace
