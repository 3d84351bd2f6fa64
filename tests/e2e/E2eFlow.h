#pragma once
// A session and the user's common moves and reads (the open dialog, the log, the status bar, tool
// buttons, rows of the disassembly pane), and the test fixture of the end-to-end programs built on
// them; the benchmark of the whole program drives it the same way.

#include "tests/e2e/E2eSession.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace e2e {

std::wstring Quoted(const std::wstring& text);
bool Checked(HWND button);

class Flow {
public:
    HWND WaitOpenDialog(DWORD timeoutMs = 15000);
    // Starts the program on the sample and opens it at 400000 with both scans (the open dialog's
    // boxes); true once the scans have ended.
    bool OpenSample();
    // The file log as its copy button puts it on the clipboard (the lines in view).
    std::wstring LogText();
    // Clicks a "Copy to clipboard" button and reads what it put there (the clipboard is emptied first
    // by the caller).
    std::wstring CopyByButton(HWND button);
    bool WaitLog(const std::wstring& part, DWORD timeoutMs = 30000);
    // The tool tip of a status bar cell (0-5), which shows the cell's text.
    std::wstring StatusCell(int cell);

    // Where things stand in the disassembly pane, read from its pixels: the separators after the
    // address and after the byte column, and the band of the current row.
    struct DizaLayout {
        std::vector<int> separators;
        int rowTop = -1;
        int rowHeight = 0;
        int width = 0;
        int height = 0;
        bool Valid() const { return separators.size() >= 1 && rowHeight > 4; }
        int AddressRight() const { return separators.empty() ? 0 : separators.front(); }
        int BodyLeft() const { return separators.empty() ? 0 : separators.back() + 14; }
        // The vertical middle of the row `offset` rows below the current one.
        int RowMiddle(int offset) const { return rowTop + offset * rowHeight + rowHeight / 2; }
    };
    DizaLayout MeasureDiza();
    // The word under a point of the disassembly pane, as Ctrl+double click copies it.
    std::wstring WordAt(HWND pane, int x, int y);
    // The cursor address that the status bar shows (its last cell's tip).
    std::wstring CursorAddressShown();
    // Runs the go-to dialog on the text.
    bool GotoText(const std::wstring& text);
    // A dialog of the program holding a control with the id.
    HWND WaitDialogWith(int controlId, DWORD timeoutMs = 10000);
    // Clicks down the side tab's strip until the list pane with the id shows.
    bool SelectSideTab(int paneId);
    // Clicks a tab of the low right tabber until the pane shows.
    bool SelectLowTab(int paneId);

    // The row (counted from the pane's top) whose byte cells carry the cursor-address marks.
    int CursorMarkRow(const DizaLayout& layout);
    // Clicks a row of the disassembly pane on its instruction text (rows counted from the top).
    void ClickRow(const DizaLayout& layout, int row);
    // Runs the find dialog: hex or line mode, the text, the region boxes to tick, the result pane
    // (0 Find1, 1 Find2). Returns when the result pane shows.
    bool RunFind(bool hex, const std::wstring& text, std::initializer_list<int> regionBoxes, int resultPane);
    // Copies a result list (its button) and returns the text.
    std::wstring CopyList(int paneId);

    Session s;
};

class FlowTest : public ::testing::Test, public Flow {
protected:
    void TearDown() override;
};

}  // namespace e2e
