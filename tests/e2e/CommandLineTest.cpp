// The command line as a user gives it: no file, nine names, a missing file; and a crash of the
// program started as a shell starts it.
#include "tests/e2e/E2eFlow.h"
#include "tests/Emulation.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

class CommandLine : public FlowTest {};

TEST_F(CommandLine, NoFileStartsOnTheStartScreen) {
    ASSERT_TRUE(s.Launch(L""));
    HWND start = ScreenReader::Child(s.Main(), kStartScreen);
    EXPECT_TRUE(WaitUntil([&] { return ScreenReader::Visible(start); }, 5000));
    ASSERT_TRUE(ScreenReader::Responsive(s.Main(), 5000));
    // The start-up message has been handled by now: no dialog is offered and no tab made.
    EXPECT_EQ(WaitOpenDialog(500), nullptr);
    EXPECT_EQ(s.FileWindow(), nullptr);
    s.Shot("no-file");
    const Usage idle = s.App().Sample();
    std::printf("idle program: GDI %lu%s, USER %lu, private %lu KB\n", idle.gdiObjects, idle.gdiCounted ? "" : " (not counted)",
                idle.userObjects, static_cast<unsigned long>(idle.privateBytes / 1024));
    UserInput::Key(VK_F4, UserInput::kAlt);
    EXPECT_EQ(s.App().WaitExit(10000), 0u);
}

TEST_F(CommandLine, NineNamesShowTheUsageAndEnd) {
    std::wstring names;
    for (int i = 0; i < 9; ++i)
        names += Quoted(s.SamplePath()) + L" ";
    ASSERT_TRUE(s.Start(names));
    HWND box = s.WaitDialog(nullptr, 10000);
    ASSERT_TRUE(box);
    EXPECT_NE(ScreenReader::StaticTexts(box).find(L"Usage: Trelvo filename"), std::wstring::npos)
        << ScreenReader::StaticTexts(box);
    s.ClickControl(ScreenReader::Child(box, IDOK));
    EXPECT_NE(s.App().WaitExit(10000), static_cast<DWORD>(STILL_ACTIVE));
}

TEST_F(CommandLine, AMissingFileCannotBeOpened) {
    const std::wstring missing = s.Folder() + L"\\no-such-file.bin";
    ASSERT_TRUE(s.Launch(Quoted(missing)));
    HWND open = WaitOpenDialog();
    ASSERT_TRUE(open);
    EXPECT_EQ(ScreenReader::Text(ScreenReader::Child(open, 13)), L"(File not found)");
    EXPECT_FALSE(::IsWindowEnabled(ScreenReader::Child(open, IDOK)));
    s.Shot("missing-file");
    s.ClickControl(ScreenReader::Child(open, IDCANCEL));
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(open); }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return ScreenReader::Visible(ScreenReader::Child(s.Main(), kStartScreen)); }, 5000));
    EXPECT_EQ(s.FileWindow(), nullptr);
}

// A program started by a parent that asked for no fault dialog (a shell, an IDE) still shows its crash
// report: only a test run's own switch, taken away here, sends the report to stderr.
TEST_F(CommandLine, ACrashShowsItsReportWhateverTheParentsErrorMode) {
    SKIP_WITHOUT_CAUGHT_FAULTS();
    const wchar_t* const kSwitch = L"TRELVO_CRASH_TO_STDERR";
    const UINT mode = ::SetErrorMode(::GetErrorMode() | SEM_NOGPFAULTERRORBOX);
    ::SetEnvironmentVariableW(kSwitch, nullptr);
    const bool launched = s.Launch(L"");
    ::SetEnvironmentVariableW(kSwitch, L"1");
    ::SetErrorMode(mode);
    ASSERT_TRUE(launched);
    ASSERT_TRUE(ScreenReader::Responsive(s.Main(), 5000));
    // A thread that starts where nothing is mapped: an access violation that nobody handles.
    HANDLE thread = ::CreateRemoteThread(s.App().Handle(), nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(0x10),
                                         nullptr, 0, nullptr);
    ASSERT_TRUE(thread);
    ::CloseHandle(thread);
    HWND report = s.Screen().WaitTop(L"Ba-bah!", nullptr, 10000);
    ASSERT_TRUE(report) << s.App().WineErrors();
    const std::wstring text = ScreenReader::Text(ScreenReader::Child(report, 60695));
    EXPECT_EQ(text.rfind(L"   Version: 0.0.0 x32", 0), 0u) << std::string(text.begin(), text.end());
    EXPECT_NE(text.find(L"   Address: 00000010"), std::wstring::npos) << std::string(text.begin(), text.end());
    EXPECT_NE(text.find(L" Exception: C0000005"), std::wstring::npos) << std::string(text.begin(), text.end());
    s.Shot("crash-report");
    HWND terminate = ScreenReader::Child(report, IDOK);
    EXPECT_EQ(ScreenReader::Text(terminate), L"&Terminate");
    s.ClickControl(terminate);
    EXPECT_EQ(s.App().WaitExit(10000), 238u);
}

}  // namespace
}  // namespace e2e
