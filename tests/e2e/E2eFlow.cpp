#include "tests/e2e/E2eFlow.h"

#include <algorithm>

namespace e2e {

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

bool Checked(HWND button) {
    DWORD_PTR state = 0;
    ::SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, Scaled(3000), &state);
    return state == BST_CHECKED;
}

void FlowTest::TearDown() {
    if (HasFailure() && s.Main()) {
        const std::wstring shot = s.Shot("failure");
        std::printf("last inputs:\n%sscreen: %ls\n", s.LastNotes().c_str(), shot.c_str());
    }
}

HWND Flow::WaitOpenDialog(DWORD timeoutMs) {
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

bool Flow::OpenSample() {
    if (!s.Launch(Quoted(s.SamplePath())))
        return false;
    HWND open = WaitOpenDialog();
    if (!open)
        return false;
    s.TypeInto(ScreenReader::Child(open, 15), L"400000");
    for (int id : {17, 22, 33}) {
        s.ClickControl(ScreenReader::Child(open, id));
        WaitUntil([&] { return Checked(ScreenReader::Child(open, id)); }, 3000);
    }
    s.ClickControl(ScreenReader::Child(open, IDOK));
    return WaitUntil([&] { return s.FileWindow() != nullptr; }, 15000) && WaitLog(L"Scan stringz is finished in");
}

std::wstring Flow::LogText() {
    SelectLowTab(kLogPane);
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

std::wstring Flow::CopyByButton(HWND button) {
    std::wstring text;
    for (int attempt = 0; attempt < 3 && text.empty(); ++attempt) {
        s.Note("click copy");
        const DWORD sequence = ::GetClipboardSequenceNumber();
        UserInput::Click(UserInput::Centre(button));
        text = ScreenReader::WaitClipboard(sequence);
    }
    return text;
}

bool Flow::WaitLog(const std::wstring& part, DWORD timeoutMs) {
    return WaitUntil([&] { return LogText().find(part) != std::wstring::npos; }, timeoutMs);
}

std::wstring Flow::StatusCell(int cell) {
    (void)cell;
    return std::wstring();
}

}  // namespace e2e

namespace e2e {

Flow::DizaLayout Flow::MeasureDiza() {
    DizaLayout layout;
    HWND pane = s.Pane(kDizaPane);
    PixelSurface pixels;
    if (!pane || !ScreenReader::Capture(pane, pixels))
        return layout;
    layout.width = pixels.Width();
    layout.height = pixels.Height();
    const int top = 2, bottom = layout.height - 24;   // above the horizontal scroll bar
    if (bottom <= top + 10)
        return layout;
    // A separator is a column of one colour nearly from top to bottom (ticks, the current row and rows
    // without columns, such as a name's, may cross it) whose neighbours on both sides are of other
    // colours. Its colour is taken at a few heights, so that no one row kind decides.
    const int rows = bottom - top;
    for (int x = 1; x < layout.width - 1; ++x) {
        bool found = false;
        for (int eighth = 1; eighth < 8 && !found; ++eighth) {
            const COLORREF c = pixels.Pixel(x, top + rows * eighth / 8 + 3);
            int same = 0, apart = 0;
            for (int y = top; y < bottom; ++y) {
                if (pixels.Pixel(x, y) != c)
                    continue;
                ++same;
                apart += pixels.Pixel(x - 1, y) != c && pixels.Pixel(x + 1, y) != c;
            }
            found = same * 10 >= rows * 7 && apart * 10 >= rows * 6;
        }
        if (found)
            layout.separators.push_back(x);
    }
    // The current row: the first run of rows whose colour at the right edge is not the usual one.
    const int x = layout.width - 4;
    std::vector<COLORREF> column;
    for (int y = 0; y < bottom; ++y)
        column.push_back(pixels.Pixel(x, y));
    COLORREF usual = column[column.size() / 2];
    int usualCount = 0;
    for (COLORREF c : column) {
        int n = 0;
        for (COLORREF d : column) n += d == c;
        if (n > usualCount) { usualCount = n; usual = c; }
    }
    for (int y = 0; y < bottom; ++y) {
        if (column[y] == usual)
            continue;
        int end = y;
        while (end < bottom && column[end] == column[y]) ++end;
        layout.rowTop = y;
        layout.rowHeight = end - y;
        break;
    }
    return layout;
}

std::wstring Flow::WordAt(HWND pane, int x, int y) {
    std::wstring word;
    for (int attempt = 0; attempt < 3 && word.empty(); ++attempt) {
        s.Note("ctrl+double click " + std::to_string(x) + "," + std::to_string(y));
        const DWORD sequence = ::GetClipboardSequenceNumber();
        UserInput::KeyDown(VK_CONTROL);
        UserInput::DoubleClick(UserInput::ClientPoint(pane, x, y));
        UserInput::KeyUp(VK_CONTROL);
        word = ScreenReader::WaitClipboard(sequence);
    }
    return word;
}

std::wstring Flow::CursorAddressShown() {
    HWND bar = s.Pane(kStatusBar);
    if (!bar)
        return std::wstring();
    RECT r{};
    ::GetClientRect(bar, &r);
    return s.Screen().ReadTip(UserInput::ClientPoint(bar, r.right - 24, r.bottom / 2),
                              UserInput::ClientPoint(bar, r.right / 3, r.bottom / 2));
}

HWND Flow::WaitDialogWith(int controlId, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND window : s.Screen().TopWindows()) {
            if (ScreenReader::ClassName(window) == L"#32770" && ScreenReader::Child(window, controlId)) {
                found = window;
                return true;
            }
        }
        return false;
    }, timeoutMs);
    return found;
}

bool Flow::GotoText(const std::wstring& text) {
    s.ClickButton(kGoto);
    HWND dialog = s.WaitDialog(L"Goto");
    if (!dialog)
        return false;
    HWND ok = ScreenReader::Child(dialog, IDOK);
    s.TypeInto(ScreenReader::Child(dialog, 11), text);
    if (!WaitUntil([&] { return ::IsWindowEnabled(ok) != FALSE; }, 5000)) {
        s.ClickControl(ScreenReader::Child(dialog, IDCANCEL));
        return false;
    }
    s.ClickControl(ok);
    return WaitUntil([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, 5000);
}

namespace {

bool ProbeTabStrip(Session& s, HWND strip, bool vertical, int paneId) {
    if (!strip)
        return false;
    if (ScreenReader::Visible(s.Pane(paneId)))
        return true;
    RECT r{};
    ::GetClientRect(strip, &r);
    const int length = vertical ? r.bottom : r.right;
    for (int at = 10; at < length; at += 16) {
        const POINT p = vertical ? UserInput::ClientPoint(strip, 10, at) : UserInput::ClientPoint(strip, at, 8);
        s.Note("tab probe " + std::to_string(paneId) + " at " + std::to_string(at));
        UserInput::Click(p);
        if (WaitUntil([&] { return ScreenReader::Visible(s.Pane(paneId)); }, 250))
            return true;
    }
    return false;
}

}  // namespace

bool Flow::SelectSideTab(int paneId) { return ProbeTabStrip(s, s.Pane(kSideTab), true, paneId); }

bool Flow::SelectLowTab(int paneId) {
    HWND pane = s.Pane(paneId);
    return pane && ProbeTabStrip(s, ::GetParent(pane), false, paneId);
}

}  // namespace e2e

namespace e2e {

int Flow::CursorMarkRow(const DizaLayout& layout) {
    PixelSurface pixels;
    if (!layout.Valid() || !ScreenReader::Capture(s.Pane(kDizaPane), pixels))
        return -1;
    // The marks are drawn in a red of their own, in the byte column.
    const int x0 = layout.AddressRight() + 1, x1 = layout.BodyLeft() - 15;
    int best = -1, bestCount = 0;
    for (int row = 0; (row + 1) * layout.rowHeight <= layout.height; ++row) {
        int count = 0;
        for (int y = row * layout.rowHeight; y < (row + 1) * layout.rowHeight; ++y)
            for (int x = x0; x < x1; ++x) {
                const COLORREF c = pixels.Pixel(x, y);
                count += GetRValue(c) > 160 && GetGValue(c) < 90 && GetBValue(c) < 90;
            }
        if (count > bestCount) {
            bestCount = count;
            best = row;
        }
    }
    return best;
}

void Flow::ClickRow(const DizaLayout& layout, int row) {
    HWND pane = s.Pane(kDizaPane);
    s.Note("click row " + std::to_string(row));
    UserInput::Click(UserInput::ClientPoint(pane, layout.BodyLeft() + 30, row * layout.rowHeight + layout.rowHeight / 2));
    WaitUntil([&] { return MeasureDiza().rowTop == row * layout.rowHeight; }, 3000);
}

bool Flow::RunFind(bool hex, const std::wstring& text, std::initializer_list<int> regionBoxes, int resultPane) {
    s.ClickButton(kFind);
    HWND dialog = WaitDialogWith(82);
    if (!dialog)
        return false;
    s.ClickControl(ScreenReader::Child(dialog, hex ? 22 : 21));
    WaitUntil([&] { return Checked(ScreenReader::Child(dialog, hex ? 22 : 21)); }, 3000);
    s.TypeInto(ScreenReader::Child(dialog, 11), text);
    for (int id : {61, 62, 63}) {
        HWND box = ScreenReader::Child(dialog, id);
        const bool wanted = std::find(regionBoxes.begin(), regionBoxes.end(), id) != regionBoxes.end();
        if (::IsWindowEnabled(box) && Checked(box) != wanted) {
            s.ClickControl(box);
            WaitUntil([&] { return Checked(box) == wanted; }, 3000);
        }
    }
    HWND radio = ScreenReader::Child(dialog, resultPane == 0 ? 81 : 82);
    if (::IsWindowEnabled(radio)) {
        s.ClickControl(radio);
        WaitUntil([&] { return Checked(radio); }, 3000);
    }
    s.Shot(hex ? "find-dialog-hex" : "find-dialog-line");
    s.ClickControl(ScreenReader::Child(dialog, IDOK));
    const int paneId = resultPane == 0 ? kFind1 : kFind2;
    return WaitUntil([&] { return !::IsWindow(dialog) && ScreenReader::Visible(s.Pane(paneId)); }, 20000);
}

std::wstring Flow::CopyList(int paneId) {
    HWND pane = s.Pane(paneId);
    HWND copy = ScreenReader::Child(pane, kCopyList);
    if (!copy)
        return std::wstring();
    ScreenReader::ClearClipboard();
    return CopyByButton(copy);
}

}  // namespace e2e
