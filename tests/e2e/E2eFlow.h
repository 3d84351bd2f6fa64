#pragma once
// The test fixture of the end-to-end programs: a session and the user's common moves and reads
// (the open dialog, the log, the status bar, tool buttons, rows of the disassembly pane).

#include "tests/e2e/E2eSession.h"

#include <gtest/gtest.h>

#include <string>

namespace e2e {

std::wstring Quoted(const std::wstring& text);
bool Checked(HWND button);

class FlowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND WaitOpenDialog(DWORD timeoutMs = 15000);
    // The file log as its copy button puts it on the clipboard (the lines in view).
    std::wstring LogText();
    // Clicks a "Copy to clipboard" button and reads what it put there (the clipboard is emptied first
    // by the caller).
    std::wstring CopyByButton(HWND button);
    bool WaitLog(const std::wstring& part, DWORD timeoutMs = 30000);
    // The tool tip of a status bar cell (0-5), which shows the cell's text.
    std::wstring StatusCell(int cell);

    Session s;
};

}  // namespace e2e
