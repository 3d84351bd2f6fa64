// One scripted run through the program as a user works: open the sample, make items, name,
// comment, bookmark, fold, follow refers, find, go to, look at the lower panes, copy a list, change
// and save an option, close and open files, and start again; in a case of its own, a forced code start.
// Each step asserts what the user sees.
#include "tests/e2e/E2eFlow.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <cwctype>
#include <algorithm>

namespace e2e {
namespace {

constexpr uint32_t kBase = 0x400000;

uint32_t Dword(const std::string& bytes, size_t at) {
    uint32_t v = 0;
    if (at + 4 <= bytes.size())
        std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

// The file offset of the entry point of a PE file.
uint32_t EntryOffset(const std::string& pe) {
    const uint32_t header = Dword(pe, 0x3C);
    const uint32_t entry = Dword(pe, header + 0x28);
    const unsigned sections = static_cast<unsigned char>(pe[header + 6]) | static_cast<unsigned char>(pe[header + 7]) << 8;
    const unsigned optionalSize = static_cast<unsigned char>(pe[header + 20]) | static_cast<unsigned char>(pe[header + 21]) << 8;
    const size_t table = header + 24 + optionalSize;
    for (unsigned i = 0; i < sections; ++i) {
        const size_t s = table + i * 40;
        const uint32_t va = Dword(pe, s + 12), size = Dword(pe, s + 16), raw = Dword(pe, s + 20);
        if (entry >= va && entry < va + size)
            return entry - va + raw;
    }
    return 0;
}

std::wstring Hex(uint32_t value) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%08X", value);
    return text;
}

bool SameHex(std::wstring shown, uint32_t value) {
    for (auto& c : shown) c = static_cast<wchar_t>(std::towupper(c));
    while (!shown.empty() && std::iswspace(shown.back())) shown.pop_back();
    return shown.find(Hex(value)) != std::wstring::npos;
}

class ScriptedRun : public FlowTest {
protected:
    // A double click on the start screen offers the open dialog; the file is typed in, the boxes
    // ticked, OK pressed.
    void OpenFromStartScreen(const std::wstring& path, std::initializer_list<int> boxes) {
        HWND start = ScreenReader::ChildPath(s.Main(), {kStartScreen, 101});
        ASSERT_TRUE(WaitUntil([&] { return ScreenReader::Visible(start); }, 5000));
        s.Note("double click the start screen");
        UserInput::DoubleClick(UserInput::Centre(start));
        HWND dialog = WaitOpenDialog();
        ASSERT_TRUE(dialog);
        s.TypeInto(ScreenReader::Child(dialog, 11), path);
        HWND ok = ScreenReader::Child(dialog, IDOK);
        // The parsers are probed once typing pauses; OK waits for them.
        ASSERT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(ok) != FALSE; }, 5000));
        for (int id : boxes)
            s.ClickControl(ScreenReader::Child(dialog, id));
        // A click that comes while the parsers are probed again is lost: click once more, as a user would.
        for (int attempt = 0; attempt < 3 && ::IsWindow(dialog); ++attempt) {
            s.ClickControl(ok);
            WaitUntil([&] { return !::IsWindow(dialog); }, 3000);
        }
        ASSERT_FALSE(::IsWindow(dialog)) << "the open dialog stayed";
    }
    // The row with the cursor-address marks, once they are drawn.
    int MarkRow(DizaLayout& layout) {
        int row = -1;
        WaitUntil([&] {
            layout = MeasureDiza();
            return (row = CursorMarkRow(layout)) >= 0;
        }, 5000);
        if (row < 0) {
            std::string seps;
            for (int x : layout.separators) seps += " " + std::to_string(x);
            std::printf("no cursor marks; separators%s, row %d+%d\n", seps.c_str(), layout.rowTop, layout.rowHeight);
        }
        return row;
    }
    // The mnemonic of the row `offset` rows below the cursor row.
    std::wstring Mnemonic(const DizaLayout& layout, int offset = 0) {
        return WordAt(s.Pane(kDizaPane), layout.BodyLeft() + 4, layout.RowMiddle(offset));
    }
    std::wstring RowAddress(const DizaLayout& layout, int offset = 0) {
        return WordAt(s.Pane(kDizaPane), layout.AddressRight() - 12, layout.RowMiddle(offset));
    }
    // Pixels of the row that differ from its background, in a column range of the pane.
    int Ink(const DizaLayout& layout, int offset, int x0, int x1) {
        PixelSurface pixels;
        ScreenReader::Capture(s.Pane(kDizaPane), pixels);
        const int y0 = layout.rowTop + offset * layout.rowHeight;
        // The row's ground is its commonest colour at the right edge (the current row may be framed).
        COLORREF ground = pixels.Pixel(layout.width - 4, y0 + layout.rowHeight / 2);
        int groundCount = 0;
        for (int y = y0 + 1; y < y0 + layout.rowHeight - 1; ++y) {
            int n = 0;
            for (int yy = y0 + 1; yy < y0 + layout.rowHeight - 1; ++yy)
                n += pixels.Pixel(layout.width - 4, yy) == pixels.Pixel(layout.width - 4, y);
            if (n > groundCount) {
                groundCount = n;
                ground = pixels.Pixel(layout.width - 4, y);
            }
        }
        int ink = 0;
        for (int y = y0 + 1; y < y0 + layout.rowHeight - 1; ++y)
            for (int x = x0; x < x1; ++x)
                ink += pixels.Pixel(x, y) != ground;
        return ink;
    }
};

TEST_F(ScriptedRun, AUserWorksThroughTheSampleProgram) {
    const DWORD start = ::GetTickCount();
    const uint32_t entry = kBase + EntryOffset(s.SampleBytes());
    const size_t greetingOffset = s.SampleBytes().find("Sample greeting");
    ASSERT_GT(entry, kBase);
    ASSERT_NE(greetingOffset, std::string::npos);
    const uint32_t greeting = kBase + static_cast<uint32_t>(greetingOffset);

    // ---- start with the sample on the command line; the open dialog
    ASSERT_TRUE(s.Launch(Quoted(s.SamplePath()))) << s.LastNotes();
    HWND open = WaitOpenDialog();
    ASSERT_TRUE(open);
    EXPECT_EQ(ScreenReader::Text(ScreenReader::Child(open, 11)), s.SamplePath());
    EXPECT_EQ(ScreenReader::Text(ScreenReader::Child(open, 13)), L"Binary(internal)");
    s.Shot("open-dialog");
    s.TypeInto(ScreenReader::Child(open, 15), L"400000");
    for (int id : {17, 22, 33}) {
        s.ClickControl(ScreenReader::Child(open, id));
        EXPECT_TRUE(WaitUntil([&] { return Checked(ScreenReader::Child(open, id)); }, 3000)) << id;
    }
    s.ClickControl(ScreenReader::Child(open, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return s.FileWindow() != nullptr; }, 15000));

    // ---- the parse and both scans end
    ASSERT_TRUE(WaitLog(L"Scan stringz is finished in")) << LogText();
    const std::wstring firstLog = LogText();
    EXPECT_NE(firstLog.find(L"Main parser: 'Binary(internal)'"), std::wstring::npos) << firstLog;
    EXPECT_NE(firstLog.find(L"Refers scan is finished in"), std::wstring::npos) << firstLog;
    s.Shot("file-open");

    // ---- go to the entry address
    ASSERT_TRUE(GotoText(Hex(entry).substr(1)));
    EXPECT_TRUE(WaitUntil([&] { return SameHex(CursorAddressShown(), entry); }, 5000)) << CursorAddressShown();
    DizaLayout layout = MeasureDiza();
    ASSERT_TRUE(layout.Valid()) << layout.separators.size() << " " << layout.rowHeight;
    const int entryRow = MarkRow(layout);
    ASSERT_GE(entryRow, 0);
    s.Shot("goto-dialog-done");
    // The go-to makes the target's row the cursor row.
    EXPECT_TRUE(WaitUntil([&] { return MeasureDiza().rowTop == entryRow * layout.rowHeight; }, 3000))
        << "the go-to leaves the cursor row where it was: " << MeasureDiza().rowTop / layout.rowHeight << " not " << entryRow;
    ClickRow(layout, entryRow);
    layout = MeasureDiza();
    ASSERT_EQ(layout.rowTop / layout.rowHeight, entryRow);
    EXPECT_TRUE(SameHex(RowAddress(layout), entry)) << RowAddress(layout);
    s.Shot("goto-entry");

    // ---- code with the maker button: the row starts an item of the address map (its tick) and the
    // cursor goes on to the next row. The parse made the entry an item already, so only the cursor
    // shows that the click was taken: each step waits for its own input's effect, as a look at rows
    // an earlier step left would let the driver run ahead of a busy program.
    const int tickBefore = Ink(layout, 0, layout.AddressRight() + 1, layout.AddressRight() + 4);
    s.ClickButton(kCode);
    EXPECT_TRUE(WaitUntil([&] { return MeasureDiza().rowTop == layout.rowTop + layout.rowHeight; }, 5000))
        << "the cursor stays on the entry after Code";
    EXPECT_TRUE(WaitUntil([&] { return Ink(layout, 0, layout.AddressRight() + 1, layout.AddressRight() + 4) > 0; }, 5000))
        << "no item tick at the entry after Code (before: " << tickBefore << ")";
    // The reading's click brings the cursor back to the entry.
    const std::wstring entryMnemonic = Mnemonic(layout);
    EXPECT_FALSE(entryMnemonic.empty());
    EXPECT_TRUE(WaitUntil([&] { return MeasureDiza().rowTop == layout.rowTop; }, 3000));
    s.Shot("code");

    // ---- a dword on the next row, reached with the keys
    UserInput::Key(VK_DOWN);
    EXPECT_TRUE(WaitUntil([&] { return MeasureDiza().rowTop == layout.rowTop + layout.rowHeight; }, 3000));
    layout = MeasureDiza();
    s.ClickButton(kDword);
    EXPECT_TRUE(WaitUntil([&] { return Mnemonic(layout) == L"dd"; }, 5000)) << Mnemonic(layout);
    // The status bar's first cell shows the last log line, the maker's report.
    {
        HWND bar = s.Pane(kStatusBar);
        RECT r{};
        ::GetClientRect(bar, &r);
        const std::wstring shown = s.Screen().ReadTip(UserInput::ClientPoint(bar, 40, r.bottom / 2),
                                                      UserInput::ClientPoint(bar, r.right - 24, r.bottom / 2));
        // Read within the message's highlight time (5 s by default): the text goes when it ends.
        EXPECT_NE(shown.find(L"Dword("), std::wstring::npos) << "status cell 0: '" << std::string(shown.begin(), shown.end()) << "'";
    }
    s.Shot("dword");

    // ---- the show-as pane lists the dword's representations; choosing one changes the line
    ASSERT_TRUE(SelectLowTab(kShowas));
    {
        HWND showas = s.Pane(kShowas);
        PixelSurface before;
        ScreenReader::CaptureSettled(s.Pane(kDizaPane), before);
        RECT r{};
        ::GetClientRect(showas, &r);
        // The third representation row (the rows are as high as the disassembly's or close to it).
        s.Note("show-as: double click a representation");
        UserInput::DoubleClick(UserInput::ClientPoint(showas, 40, layout.rowHeight * 2 + layout.rowHeight / 2 + 2));
        const bool changed = WaitUntil([&] {
            PixelSurface after;
            ScreenReader::Capture(s.Pane(kDizaPane), after);
            const int y = layout.rowTop + layout.rowHeight / 2;
            for (int x = layout.BodyLeft(); x < layout.width - 4; ++x)
                for (int dy = -3; dy <= 3; ++dy)
                    if (after.Pixel(x, y + dy) != before.Pixel(x, y + dy))
                        return true;
            return false;
        }, 3000);
        EXPECT_TRUE(changed) << "a show-as representation changed nothing in the line";
        s.Shot("showas");
    }

    // ---- a string with the maker button at the greeting
    ASSERT_TRUE(GotoText(Hex(greeting)));
    layout = MeasureDiza();
    const int greetingRow = MarkRow(layout);
    ASSERT_GE(greetingRow, 0);
    ClickRow(layout, greetingRow);
    layout = MeasureDiza();
    s.ClickButton(kAsciiz);
    EXPECT_TRUE(WaitUntil([&] { return SameHex(RowAddress(layout, 1), greeting + 0x25); }, 5000))
        << "the row after the string: " << RowAddress(layout, 1);
    s.Shot("string");

    // ---- name the entry through the name dialog; the go-to dialog knows the name
    ASSERT_TRUE(GotoText(Hex(entry)));
    layout = MeasureDiza();
    ClickRow(layout, MarkRow(layout));
    layout = MeasureDiza();
    s.ClickButton(kName);
    {
        HWND dialog = s.WaitDialog(L"Name @");
        ASSERT_TRUE(dialog);
        EXPECT_NE(ScreenReader::Text(dialog).find(Hex(entry)), std::wstring::npos) << ScreenReader::Text(dialog);
        s.TypeInto(ScreenReader::Child(dialog, 11), L"e2e_entry");
        HWND ok = ScreenReader::Child(dialog, IDOK);
        EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(ok) != FALSE; }, 3000));
        s.ClickControl(ok);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5000));
    }
    s.Shot("name");

    // ---- a comment line and an on-line comment at the entry
    layout = MeasureDiza();
    ClickRow(layout, MarkRow(layout));
    layout = MeasureDiza();
    for (int command : {kCommentLine, kCommentOnLine}) {
        s.ClickButton(command);
        HWND dialog = WaitDialogWith(11);
        ASSERT_TRUE(dialog) << command;
        s.ClickControl(ScreenReader::Child(dialog, 11));
        UserInput::Type(command == kCommentLine ? L"e2e comment line" : L"e2e online note");
        // Ctrl+Enter is the comment dialog's OK (Enter alone starts a new line).
        UserInput::Key(VK_RETURN, UserInput::kCtrl);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5000)) << command;
    }
    s.Shot("comments");

    // ---- a bookmark on the entry's row, then step to it from the top of the file
    layout = MeasureDiza();
    const int markRow = MarkRow(layout);
    ASSERT_GE(markRow, 0);
    ClickRow(layout, markRow);
    layout = MeasureDiza();
    s.Note("click the bookmark cell");
    UserInput::Click(UserInput::ClientPoint(s.Pane(kDizaPane), 7, layout.RowMiddle(0)));
    EXPECT_TRUE(WaitUntil([&] { return Ink(layout, 0, 1, 14) > 0; }, 3000)) << "no bookmark flag";
    s.Shot("bookmark");
    UserInput::Key(VK_HOME, UserInput::kCtrl);
    UserInput::Key(VK_HOME);
    s.ClickButton(kBookmarkNext);
    EXPECT_TRUE(WaitUntil([&] { return SameHex(CursorAddressShown(), entry); }, 5000)) << CursorAddressShown();

    // ---- a fold: mark three rows with Shift+Down, the collapse button, then fold and unfold it
    ASSERT_TRUE(GotoText(Hex(entry)));
    layout = MeasureDiza();
    // The entry's row is the one with the bookmark flag.
    int flagRow = -1;
    {
        const int current = layout.rowTop / layout.rowHeight;
        for (int row = 0; (row + 1) * layout.rowHeight < layout.height - 24 && flagRow < 0; ++row)
            if (Ink(layout, row - current, 1, 14) > 4)
                flagRow = row;
    }
    ASSERT_GE(flagRow, 0) << "the bookmarked row is not in view";
    ClickRow(layout, flagRow);
    layout = MeasureDiza();
    ASSERT_EQ(layout.rowTop / layout.rowHeight, flagRow);
    // Reading a row's address clicks it: the entry's row is clicked again before the block is marked.
    const std::wstring afterEntry = RowAddress(layout, 1);
    ClickRow(layout, flagRow);
    ASSERT_TRUE(WaitUntil([&] { return MeasureDiza().rowTop == flagRow * layout.rowHeight; }, 3000));
    s.Note("shift held, down three times");
    UserInput::KeyDown(VK_SHIFT);
    for (int i = 0; i < 3; ++i)
        UserInput::Key(VK_DOWN);
    UserInput::KeyUp(VK_SHIFT);
    s.ClickButton(kCollapse);
    const int foldX = 40;   // the fold marks stand in the third cell of the fixed columns
    // Rows with a fold mark: an open range shows its box and the lines of its rows, a folded one only
    // its box.
    auto markedRows = [&] {
        const int current = layout.rowTop / layout.rowHeight;
        int rows = 0;
        for (int row = 0; (row + 1) * layout.rowHeight < layout.height - 24; ++row)
            rows += Ink(layout, row - current, 32, 48) > 0;
        return rows;
    };
    EXPECT_TRUE(WaitUntil([&] { return markedRows() >= 3; }, 3000)) << "no open fold after the collapse button";
    // The fold state is read from the text of the row below the entry: what lies past the range when folded.
    ASSERT_FALSE(afterEntry.empty());
    std::wstring below;
    s.Note("click the fold mark");
    UserInput::Click(UserInput::ClientPoint(s.Pane(kDizaPane), foldX, layout.RowMiddle(0)));
    EXPECT_TRUE(WaitUntil([&] {
        below = RowAddress(layout, 1);
        return !below.empty() && below != afterEntry;
    }, 5000)) << "the fold mark did not fold: the row below shows " << below;
    s.Shot("folded");
    s.Note("click the fold mark again");
    UserInput::Click(UserInput::ClientPoint(s.Pane(kDizaPane), foldX, layout.RowMiddle(0)));
    EXPECT_TRUE(WaitUntil([&] { return (below = RowAddress(layout, 1)) == afterEntry; }, 5000))
        << "the fold mark did not unfold: the row below shows " << below << ", not " << afterEntry;

    // ---- follow a call's target to the Refers tab: the refers cell of a row that has refers
    {
        layout = MeasureDiza();
        int referRow = -1;
        for (int row = 0; (row + 1) * layout.rowHeight < layout.height - 24 && referRow < 0; ++row)
            if (Ink(layout, row - layout.rowTop / layout.rowHeight, 15, 31) > 4)
                referRow = row;
        ASSERT_GE(referRow, 0) << "no row with refers in view";
        s.Note("click the refers cell of row " + std::to_string(referRow));
        UserInput::Click(UserInput::ClientPoint(s.Pane(kDizaPane), 23, referRow * layout.rowHeight + layout.rowHeight / 2));
        EXPECT_TRUE(WaitLog(L"Target refer address", 10000));
        EXPECT_TRUE(WaitUntil([&] { return ScreenReader::Visible(s.Pane(kRefers)); }, 3000)) << "the Refers tab did not open";
        s.Shot("refers");
    }

    // ---- a hex find for "Sample"; a double click on a hit moves the disassembly there
    ASSERT_TRUE(RunFind(true, L"53616D706C65", {}, 0));
    {
        const std::wstring hits = CopyList(kFind1);
        EXPECT_NE(hits.find(Hex(greeting)), std::wstring::npos) << hits;
        ASSERT_TRUE(GotoText(Hex(entry)));
        HWND list = s.Pane(kFind1);
        s.Note("double click the first hit");
        UserInput::DoubleClick(UserInput::ClientPoint(list, 30, 28));
        EXPECT_TRUE(WaitUntil([&] { return !SameHex(CursorAddressShown(), entry); }, 5000)) << "a hit did not move the pane";
        s.Shot("hex-find");
    }

    // ---- a line find over comments lists both comments; the list goes to the clipboard
    ASSERT_TRUE(RunFind(false, L"e2e*", {63}, 1));
    {
        const std::wstring hits = CopyList(kFind2);
        EXPECT_NE(hits.find(L"e2e comment line"), std::wstring::npos) << hits;
        EXPECT_NE(hits.find(L"e2e online note"), std::wstring::npos) << hits;
        EXPECT_NE(hits.find(Hex(entry)), std::wstring::npos) << hits;
        s.Shot("line-find");
    }

    // ---- the strings list: filter it by typing, go to the greeting
    ASSERT_TRUE(SelectSideTab(kStrings));
    {
        HWND list = s.Pane(kStrings);
        UserInput::Click(UserInput::ClientPoint(list, 30, 28));
        UserInput::Type(L"greeting");
        s.Shot("strings");
        s.Note("double click the first string");
        UserInput::DoubleClick(UserInput::ClientPoint(list, 30, 28));
        EXPECT_TRUE(WaitUntil([&] { return SameHex(CursorAddressShown(), greeting); }, 5000)) << CursorAddressShown();
    }

    // ---- go to an address by its text, and the name by its text
    ASSERT_TRUE(GotoText(L"401000"));
    EXPECT_TRUE(WaitUntil([&] { return SameHex(CursorAddressShown(), 0x401000); }, 5000)) << CursorAddressShown();
    ASSERT_TRUE(GotoText(L"e2e_entry"));
    EXPECT_TRUE(WaitUntil([&] { return SameHex(CursorAddressShown(), entry); }, 5000)) << CursorAddressShown();

    // ---- the dump pane's modes: each mode looks different, the third click brings the first back
    {
        HWND dump = s.Pane(kDumpPane);
        ASSERT_TRUE(ScreenReader::Visible(dump));
        // The tips of a tool button and of a dump byte; the disassembly has none.
        const POINT away = UserInput::Centre(s.Pane(kDizaPane));
        const HWND gotoButton = ScreenReader::Child(s.Pane(kButtonBar), kGoto);
        EXPECT_EQ(s.Screen().ReadTip(UserInput::Centre(gotoButton), away), L"File goto");
        RECT area{};
        ::GetClientRect(dump, &area);
        std::wstring byteTip;
        for (int sixth = 2; sixth <= 4 && byteTip.empty(); ++sixth)   // somewhere in the hex or text columns
            byteTip = s.Screen().ReadTip(UserInput::ClientPoint(dump, area.right * sixth / 6, 6), away, 4000);
        EXPECT_EQ(byteTip.rfind(L"FileOffset: ", 0), 0u) << std::string(byteTip.begin(), byteTip.end());
        EXPECT_NE(byteTip.find(L"\r\nAddress: "), std::wstring::npos) << std::string(byteTip.begin(), byteTip.end());
        UserInput::MoveTo(away);   // the tip goes before the dump's pixels are read
        EXPECT_TRUE(WaitUntil([&] { return s.Screen().VisibleTip() == nullptr; }, 3000));
        // The references are taken once the dump has repainted what the tip and the last mode covered.
        PixelSurface first;
        ScreenReader::CaptureSettled(dump, first);
        auto differs = [&](const PixelSurface& a) {
            PixelSurface now;
            ScreenReader::Capture(dump, now);
            int diff = 0;
            for (int y = 0; y < std::min(a.Height(), now.Height()); y += 2)
                for (int x = 30; x < std::min(a.Width(), now.Width()) - 30; x += 2)
                    diff += a.Pixel(x, y) != now.Pixel(x, y);
            return diff;
        };
        for (int i = 0; i < 3; ++i) {
            HWND modeButton = ScreenReader::Child(dump, kDumpMode);
            PixelSurface before;
            ScreenReader::CaptureSettled(dump, before);
            s.Note("dump mode button");
            UserInput::Click(UserInput::Centre(modeButton));
            EXPECT_TRUE(WaitUntil([&] { return differs(before) > 50; }, 3000)) << "mode click " << i;
            s.Shot("dump-mode-" + std::to_string(i + 1));
        }
        PixelSurface offsets;
        ScreenReader::CaptureSettled(dump, offsets);
        EXPECT_LT(differs(first), 50) << "three mode clicks do not bring the first mode back";
        UserInput::Click(UserInput::Centre(ScreenReader::Child(dump, kAddressMode)));
        EXPECT_TRUE(WaitUntil([&] { return differs(offsets) > 20; }, 3000)) << "the address column did not change";
    }

    // ---- change an option in the options dialog and save it
    UserInput::Key('O', UserInput::kAlt);
    {
        HWND dialog = WaitDialogWith(100);
        ASSERT_TRUE(dialog) << "no options dialog";
        s.Shot("options");
        HWND page = ScreenReader::Child(dialog, 100);
        RECT r{};
        ::GetClientRect(page, &r);
        // The first row of the File page: "FileShowDumpBytes", its value on the right half.
        s.Note("options: first row's value");
        UserInput::Click(UserInput::ClientPoint(page, r.right * 3 / 4, 12));
        HWND combo = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (combo = ScreenReader::Child(page, 0x7F02)) != nullptr; }, 5000));
        EXPECT_EQ(ScreenReader::Text(combo), L"enable");
        UserInput::Type(L"d");
        UserInput::Key(VK_RETURN);
        HWND save = nullptr;
        for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            if (ScreenReader::Text(child) == L"&Save")
                save = child;
        ASSERT_TRUE(save);
        s.ClickControl(save);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, 5000));
        EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(s.OptionsPath()).find("FileShowDumpBytes=disable") != std::string::npos; }, 5000))
            << ReadWholeFile(s.OptionsPath());
    }

    // ---- close the file while it parses (right after it opens), then open the other file
    s.ClickButton(kFileClose);
    ASSERT_TRUE(WaitUntil([&] { return s.FileWindow() == nullptr; }, 10000));
    OpenFromStartScreen(s.SamplePath(), {22, 33});
    ASSERT_TRUE(WaitUntil([&] { return s.FileWindow() != nullptr; }, 10000));
    s.ClickButton(kFileClose);
    if (HWND ask = s.Screen().WaitTop(L"Ask confirm abort", nullptr, 1000))
        s.ClickControl(ScreenReader::Child(ask, IDYES));
    ASSERT_TRUE(WaitUntil([&] { return s.FileWindow() == nullptr; }, 10000));
    OpenFromStartScreen(s.RandomPath(), {});
    ASSERT_TRUE(WaitUntil([&] { return s.FileWindow() != nullptr; }, 10000));
    ASSERT_TRUE(WaitLog(L"random.bin"));
    EXPECT_EQ(LogText().find(L"not ready"), std::wstring::npos) << LogText();
    s.Shot("random-file");

    // ---- exit with Alt+F4
    UserInput::Key(VK_F4, UserInput::kAlt);
    EXPECT_EQ(s.App().WaitExit(10000), 0u);
    EXPECT_EQ(s.App().WineErrors(), "");

    // ---- start again: the saved option is in force (no byte column in the disassembly)
    ASSERT_TRUE(s.Launch(Quoted(s.SamplePath())));
    {
        HWND dialog = WaitOpenDialog();
        ASSERT_TRUE(dialog);
        s.ClickControl(ScreenReader::Child(dialog, 17));
        s.ClickControl(ScreenReader::Child(dialog, IDOK));
    }
    ASSERT_TRUE(WaitUntil([&] { return s.FileWindow() != nullptr; }, 10000));
    EXPECT_TRUE(WaitUntil([&] { const DizaLayout l = MeasureDiza(); return l.separators.size() == 1; }, 5000))
        << MeasureDiza().separators.size() << " separators";
    s.Shot("restart");
    std::printf("scripted run: %.1f s\n", (::GetTickCount() - start) / 1000.0);
}

// Ctrl+Shift+C on a byte inside an instruction starts code there: the cursor row then begins at that
// byte, right below the instruction's first byte, now an item of its own.
TEST_F(ScriptedRun, CtrlShiftCStartsCodeAtAByteInsideAnInstruction) {
    const uint32_t entry = kBase + EntryOffset(s.SampleBytes());
    ASSERT_TRUE(OpenSample()) << s.LastNotes();
    ASSERT_TRUE(GotoText(Hex(entry)));
    DizaLayout layout = MeasureDiza();
    ClickRow(layout, MarkRow(layout));
    layout = MeasureDiza();
    s.ClickButton(kCode);
    ASSERT_TRUE(WaitUntil([&] { return Ink(layout, 0, layout.AddressRight() + 1, layout.AddressRight() + 4) > 0; }, 5000))
        << "no item tick at the entry after Code";
    const std::wstring next = RowAddress(layout, 1);
    ASSERT_GE(layout.separators.size(), 2u);
    // The byte column holds 8 cells; the third is the instruction's third byte.
    const int cell = (layout.separators[1] - layout.separators[0] - 8) / 8;
    s.Note("click the entry's third byte");
    UserInput::Click(UserInput::ClientPoint(s.Pane(kDizaPane), layout.separators[0] + 5 + 2 * cell + cell / 2,
                                            layout.RowMiddle(0)));
    ASSERT_TRUE(WaitUntil([&] { return SameHex(CursorAddressShown(), entry + 2); }, 5000)) << CursorAddressShown();
    ASSERT_FALSE(SameHex(next, entry + 2)) << "the entry's instruction is 2 bytes long";
    s.Note("ctrl+shift+C");
    UserInput::Key('C', UserInput::kCtrl | UserInput::kShift);
    // The cursor row moves one down, onto the new start (reading an address clicks its row: not before).
    const int entryTop = layout.rowTop;
    EXPECT_TRUE(WaitUntil([&] { return (layout = MeasureDiza()).rowTop == entryTop + layout.rowHeight; }, 5000))
        << "the cursor row after Ctrl+Shift+C: " << layout.rowTop << ", the entry's " << entryTop;
    s.Shot("forced-code");
    EXPECT_TRUE(SameHex(RowAddress(layout), entry + 2)) << RowAddress(layout);
    EXPECT_TRUE(SameHex(RowAddress(layout, -1), entry)) << RowAddress(layout, -1);
}

}  // namespace
}  // namespace e2e
