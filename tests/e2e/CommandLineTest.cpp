// The command line as a user gives it: no file, nine names, a missing file.
#include "tests/e2e/E2eFlow.h"

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

}  // namespace
}  // namespace e2e
