#include "tests/e2e/E2eFlow.h"

#include <cstdlib>

namespace e2e {

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

bool Checked(HWND button) {
    DWORD_PTR state = 0;
    ::SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 3000, &state);
    return state == BST_CHECKED;
}

void FlowTest::SetUp() {
    const char* emulated = std::getenv("TRELVO_EMULATE");
    if (emulated && *emulated && std::string(emulated) != "0")
        GTEST_SKIP() << "the end-to-end run needs native 32-bit execution (TRELVO_EMULATE is set)";
}

void FlowTest::TearDown() {
    if (HasFailure() && s.Main()) {
        const std::wstring shot = s.Shot("failure");
        std::printf("last inputs:\n%sscreen: %ls\n", s.LastNotes().c_str(), shot.c_str());
    }
}

HWND FlowTest::WaitOpenDialog(DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND window : s.Screen().TopWindows()) {
            if (ScreenReader::ClassName(window) == L"#32770" && ScreenReader::Child(window, 15) &&
                ScreenReader::Child(window, 13)) {
                found = window;
                return true;
            }
        }
        return false;
    }, timeoutMs);
    return found;
}

std::wstring FlowTest::LogText() {
    HWND log = s.Pane(kLogPane);
    if (!log)
        return std::wstring();
    HWND copy = ScreenReader::Child(log, kCopyList);
    WaitUntil([&] { const RECT b = ScreenReader::ScreenRect(copy); return b.bottom > b.top; }, 5000);
    RECT r{};
    ::GetClientRect(log, &r);
    // The lines stand above the button row and the scroll bar.
    const RECT buttons = ScreenReader::ScreenRect(copy);
    const POINT top = UserInput::ClientPoint(log, r.right / 2, 4);
    ScreenReader::ClearClipboard();
    s.Note("log: select and copy");
    // A move on every line, so that the selection reaches the last line with text.
    s.Drag(top, POINT{top.x, buttons.top - 3}, (buttons.top - top.y) / 6);
    return CopyByButton(copy);
}

std::wstring FlowTest::CopyByButton(HWND button) {
    std::wstring text;
    for (int attempt = 0; attempt < 3 && text.empty(); ++attempt) {
        s.Note("click copy");
        UserInput::Click(UserInput::Centre(button));
        WaitUntil([&] { return !(text = ScreenReader::Clipboard()).empty(); }, 3000);
    }
    return text;
}

bool FlowTest::WaitLog(const std::wstring& part, DWORD timeoutMs) {
    return WaitUntil([&] { return LogText().find(part) != std::wstring::npos; }, timeoutMs);
}

std::wstring FlowTest::StatusCell(int cell) {
    (void)cell;
    return std::wstring();
}

}  // namespace e2e
