#include "DocumentFakes.h"

#include "document/BFileIO.h"
#include "document/HTimemeter.h"

#include <windows.h>
#include <winioctl.h>

#include <cstring>

namespace {

// A file source over a scratch file with these bytes, opened.
struct OpenedSource {
    explicit OpenedSource(const std::string& bytes) : file(L"source.bin", bytes) {
        io.fileName.SetText(file.Path().c_str());
        opened = io.Open();
    }
    TempFile file;
    BFileIO io;
    bool opened;
};

TEST(FileSource, ReadsFromMemory) {
    OpenedSource source("0123456789");
    BFileIO& io = source.io;
    ASSERT_TRUE(source.opened);
    EXPECT_EQ(io.GetSize(), 10);
    char buffer[16] = {};
    EXPECT_EQ(io.Read(7, buffer, 8), 3u);   // runs past the end: only what is there
    EXPECT_EQ(std::string(buffer, 3), "789");
    EXPECT_EQ(io.Read(10, buffer, 1), 0u);
    EXPECT_EQ(io.Read(0xFFFFFFFF, buffer, 1), 0u);
    ::DeleteFileW(source.file.Path().c_str());   // the file is closed once read
    EXPECT_EQ(io.Read(0, buffer, 2), 2u);
}

TEST(FileSource, EmptyFileOpensWithSizeZero) {
    OpenedSource source("");
    BFileIO& io = source.io;
    ASSERT_TRUE(source.opened);
    EXPECT_EQ(io.GetSize(), 0);
    char c;
    EXPECT_EQ(io.Read(0, &c, 1), 0u);
}

TEST(FileSource, MissingFileGivesTheSystemText) {
    BFileIO io;
    io.fileName = ProgramFolder();
    io.fileName.Append(L"no such file.bin");
    EXPECT_FALSE(io.Open());
    EXPECT_EQ(io.GetSize(), -1);
    EXPECT_EQ(io.lastError, static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(io.GetErrorText(), FormatSystemMessage(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(io.GetErrorText().empty());
}

TEST(FileSource, SystemMessageOfAnUnknownCode) {
    const StringW text = FormatSystemMessage(0x2FFFFFFF);
    EXPECT_EQ(text.compare(0, 24, L"FormatMessage() returns "), 0) << std::string(text.begin(), text.end());
}

// A file of 2 GiB or more cannot be held by 32-bit sizes: refused with a reason, never a crash. The
// file is sparse where the file system allows it.
TEST(FileSource, TwoGigabytesAreRefused) {
    const std::wstring path = ProgramFolder() + std::wstring(L"huge.bin");
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD unused = 0;
    ::DeviceIoControl(f, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 0x80000000LL;
    const bool sized = ::SetFilePointerEx(f, size, nullptr, FILE_BEGIN) && ::SetEndOfFile(f);
    ::CloseHandle(f);
    if (!sized) {
        ::DeleteFileW(path.c_str());
        GTEST_SKIP() << "no room for a 2 GiB file";
    }
    BFileIO io;
    io.fileName = path;
    EXPECT_FALSE(io.Open());
    EXPECT_EQ(io.GetSize(), -1);
    EXPECT_EQ(io.GetErrorText(), L"the file is too large: 2147483648 bytes, 2 GiB or more");
    {
        FakeDirectory directory;
        OpenDocument open(directory);
        LambdaParser parser([](FileParseThread*) { return true; });
        EXPECT_FALSE(open.doc->OpenFile(RequestFor(path, &parser, 32, 0)));
        ASSERT_EQ(open.log.lines.size(), 2u);
        EXPECT_EQ(open.log.lines[1], L"Open file error: the file is too large: 2147483648 bytes, 2 GiB or more");
    }
    ::DeleteFileW(path.c_str());
}

TEST(FileLog, LinesContinuationsAndMarks) {
    FileLog log;
    log.Print(L"%s", L"no sink: dropped");
    RecordingLog sink;
    log.SetSink(&sink);
    log.PrintText(L"100%s literal");
    log.SetContinue();
    log.Print(L" and %d more", 2);
    log.MarkNextLine();
    log.Print(L"marked");
    log.Print(L"plain");
    const std::vector<std::wstring> expected = { L"100%s literal and 2 more", L"\x01marked", L"plain" };
    EXPECT_EQ(sink.lines, expected);
    EXPECT_EQ(log.LastText(), L"plain");
}

TEST(Timemeter, ElapsedTexts) {
    const struct {
        int32_t ms;
        const wchar_t* text;
    } rows[] = {
        { 0, L"0s" }, { 1, L"0.001s" }, { 4999, L"4.999s" }, { 5000, L"5s" }, { 59999, L"59s" },
        { 61000, L"1m 01s" }, { 3600000, L"1h 00m 00s" }, { 3723000, L"1h 02m 03s" },
        { 999, L"0.999s" }, { 1000, L"1.000s" }, { 5999, L"5s" }, { 60000, L"1m 00s" },
        { 3599999, L"59m 59s" }, { 3600999, L"1h 00m 00s" }, { 36000000, L"10h 00m 00s" },
    };
    for (const auto& row : rows) {
        wchar_t text[32];
        HTimemeter::FormatElapsed(row.ms, text);
        EXPECT_STREQ(text, row.text) << row.ms;
    }
}

}  // namespace
