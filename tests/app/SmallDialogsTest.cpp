// The small dialogs through the modal seam: what enables OK in the name and go-to dialogs, the
// data-array limits, the bookmark colour pictures, the comment's line ends and the text dialog's size.

#include "app/DBookmark.h"
#include "app/DComment.h"
#include "app/DGoto.h"
#include "app/DMakerArray.h"
#include "app/DName.h"
#include "app/DText.h"
#include "app/resources/resource.h"
#include "classlib/Screenshot.h"
#include "core/SystemServices.h"
#include "options/BColorTheme.h"
#include "tests/app/HeadlessPage.h"
#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

template <class D>
INT_PTR RunWith(D& dialog, std::function<void(D&)> action) {
    PushModalAction([action](Dialog& d) { action(static_cast<D&>(d)); });
    return dialog.DoModal();
}

void Type(Dialog& d, int id, const wchar_t* text, UINT notification) {
    d.SetItemText(id, text);
    d.SendMessage(WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(d.Item(id)));
}

class SmallDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        page.AddSegment(0x1000, 0x1000);
        page.doc.stores.names.Add(0x1500, L"start", ' ');
        page.doc.stores.names.Add(0x1600, L"stop", ' ');
        page.doc.stores.names.Add(0x9000, L"outside", ' ');
    }
    void TearDown() override { EXPECT_EQ(0u, PendingModalActions()); }
    HeadlessPage page;
};

// A text that begins with a digit is a hexadecimal address, any other text a name, also when it reads
// as hexadecimal: the segment at 0x9800 holds addresses of every first digit from 9 to F.
TEST_F(SmallDialogs, GotoEnablesOkOnlyForAddressesInsideSegments) {
    page.AddSegment(0x9800, 0x6800);
    page.doc.stores.names.Add(0x1700, L"F00D", ' ');
    struct Case { const wchar_t* text; int64_t address; };
    const Case cases[] = {
        {L"1000", 0x1000}, {L"1FFF", 0x1FFF}, {L"2000", -1}, {L"0x1800", 0x1800},
        {L"start", 0x1500}, {L"nosuch", -1}, {L"outside", -1}, {L"", -1},
        {L"0A000", 0xA000}, {L"9800", 0x9800}, {L"97FF", -1}, {L"FFFF", -1},
        {L"A000", -1}, {L"F00D", 0x1700},
    };
    DGoto dialog(nullptr, &page.doc);
    RunWith<DGoto>(dialog, [&](DGoto& d) {
        for (const Case& c : cases) {
            Type(d, IDC_GOTO_TEXT, c.text, CBN_EDITCHANGE);
            EXPECT_EQ(c.address, d.address) << c.text;
            EXPECT_EQ(c.address != -1, d.IsItemEnabled(IDOK)) << c.text;
        }
        d.OnCancel();
    });
}

TEST_F(SmallDialogs, GotoListsMatchingNamesWhileTypingAndHistoryOtherwise) {
    page.doc.navigator.texts.PushFront(L"1234");
    DGoto dialog(nullptr, &page.doc);
    INT_PTR result = RunWith<DGoto>(dialog, [&](DGoto& d) {
        ListBox list(d.ListHandle());
        EXPECT_FALSE(d.IsItemEnabled(IDOK));
        ASSERT_EQ(1, list.GetCount());
        EXPECT_EQ(L"1234", list.GetText(0));
        // Names are listed without regard to case, but OK needs one as it is; the list on the display
        // follows the keys.
        COMBOBOXINFO combo{};
        combo.cbSize = sizeof combo;
        ASSERT_TRUE(::GetComboBoxInfo(d.Item(IDC_GOTO_TEXT), &combo));
        ::PostMessageW(combo.hwndItem, WM_CHAR, L'S', 1);
        ::PostMessageW(combo.hwndItem, WM_CHAR, L'T', 1);
        EXPECT_TRUE(wintest::PumpUntil([&] { return list.GetCount() == 2; }));
        EXPECT_EQ(0, wintest::PixelsAwaitingPaint(d.ListHandle()));
        EXPECT_FALSE(d.IsItemEnabled(IDOK));
        ASSERT_EQ(2, list.GetCount());
        EXPECT_EQ(L"start", list.GetText(0));
        EXPECT_EQ(L"stop", list.GetText(1));
        Type(d, IDC_GOTO_TEXT, L"", CBN_EDITCHANGE);
        EXPECT_EQ(1, list.GetCount());
        // More names than the list shows: its scroll bar reaches the last one.
        for (int i = 0; i < 40; ++i)
            page.doc.stores.names.Add(0x1000 + i, StringW(kFormat, L"many_%d", i).c_str(), ' ');
        Type(d, IDC_GOTO_TEXT, L"many", CBN_EDITCHANGE);
        ASSERT_EQ(40, list.GetCount());
        SCROLLINFO bar{};
        bar.cbSize = sizeof bar;
        bar.fMask = SIF_RANGE | SIF_PAGE;
        ASSERT_TRUE(::GetScrollInfo(d.ListHandle(), SB_VERT, &bar));
        EXPECT_EQ(39, bar.nMax);
        EXPECT_LT(bar.nPage, 40u);
        Type(d, IDC_GOTO_TEXT, L"stop", CBN_EDITCHANGE);
        d.SendMessage(WM_COMMAND, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(0x1600, dialog.address);
    EXPECT_EQ(L"stop", std::wstring(page.doc.navigator.texts.At(0).c_str()));
}

TEST_F(SmallDialogs, NameAcceptsValidNewNamesAndClearingAnOldOne) {
    struct Case { const wchar_t* old; const wchar_t* typed; bool ok; };
    const Case cases[] = {
        {L"", L"", false},            // nothing to clear
        {L"start", L"", true},        // clearing an existing name
        {L"", L"start", false},       // held already
        {L"", L"loop_%A", true},      // becomes loop_1000
        {L"", L"1abc", false},        // not a valid name
        {L"", L"has space", false},
    };
    for (const Case& c : cases) {
        DName dialog(nullptr, &page.doc.stores.names, L"1000", c.old, c.old);
        RunWith<DName>(dialog, [&](DName& d) {
            Type(d, IDC_NAME_TEXT, c.typed, CBN_EDITCHANGE);
            EXPECT_EQ(c.ok, d.IsItemEnabled(IDOK)) << c.old << " / " << c.typed;
            d.OnCancel();
        });
    }
}

TEST_F(SmallDialogs, NameEditorNamesAnAddressThroughTheStore) {
    NameEditor editor(nullptr, &page.doc.stores.names);
    PushModalAction([](Dialog& d) {
        EXPECT_EQ(L"Name @ 1000", d.GetWindowText());
        EXPECT_EQ(L"addr_1000", d.GetItemText(IDC_NAME_TEXT));
        Type(d, IDC_NAME_TEXT, L"entry_%A", CBN_EDITCHANGE);
        d.SendMessage(WM_COMMAND, IDOK);
    });
    ASSERT_TRUE(page.doc.stores.names.EditDialog(&editor, &page.doc, 0x1000, 0));
    EXPECT_EQ(0x1000, page.doc.stores.names.AddressOf(L"entry_1000"));
    EXPECT_EQ(L"entry_1000", std::wstring(page.doc.stores.names.recent.At(0).c_str()));
}

TEST_F(SmallDialogs, NameEditorRenamesAndClearsANameThroughTheStore) {
    NameEditor editor(nullptr, &page.doc.stores.names);
    GlobalName& names = page.doc.stores.names;
    PushModalAction([](Dialog& d) {
        EXPECT_EQ(L"start", d.GetItemText(IDC_NAME_TEXT));
        Type(d, IDC_NAME_TEXT, L"begin", CBN_EDITCHANGE);
        d.SendMessage(WM_COMMAND, IDOK);
    });
    ASSERT_TRUE(names.EditDialog(&editor, &page.doc, 0x1500, 0));
    EXPECT_EQ(0x1500, names.AddressOf(L"begin"));
    EXPECT_EQ(-1, names.AddressOf(L"start"));
    EXPECT_EQ(1, names.CountAt(0x1500));
    PushModalAction([](Dialog& d) {
        Type(d, IDC_NAME_TEXT, L"", CBN_EDITCHANGE);
        d.SendMessage(WM_COMMAND, IDOK);
    });
    ASSERT_TRUE(names.EditDialog(&editor, &page.doc, 0x1500, 0));
    EXPECT_EQ(0, names.CountAt(0x1500));
    EXPECT_EQ(-1, names.AddressOf(L"begin"));
}

// Above 4 GiB the address text holds a '`': the default name is a name all the same.
TEST_F(SmallDialogs, NameEditorTakesTheDefaultNameOfAWideAddress) {
    page.AddSegment(0x140001000LL, 0x1000);
    NameEditor editor(nullptr, &page.doc.stores.names);
    PushModalAction([](Dialog& d) {
        EXPECT_EQ(L"addr_01`40001010", d.GetItemText(IDC_NAME_TEXT));
        EXPECT_TRUE(d.IsItemEnabled(IDOK));
        if (d.IsItemEnabled(IDOK))
            d.SendMessage(WM_COMMAND, IDOK);
        else
            d.OnCancel();
    });
    ASSERT_TRUE(page.doc.stores.names.EditDialog(&editor, &page.doc, 0x140001010LL, 0));
    EXPECT_EQ(0x140001010LL, page.doc.stores.names.AddressOf(L"addr_01`40001010"));
}

TEST_F(SmallDialogs, MakerArrayLimitsElementsPerLine) {
    struct Case { int size; int64_t typed; int limited; };
    const Case cases[] = {{4, 100, 64}, {1, 1000, 255}, {2, 0, 1}, {8, -3, 1}, {8, 32, 32}, {4, 64, 64}};
    for (const Case& c : cases) {
        DMakerArray dialog(nullptr, c.size, 64);
        EXPECT_EQ(16 / c.size, dialog.perLine);
        EXPECT_EQ(c.limited, dialog.LimitPerLine(c.typed)) << c.size << " " << c.typed;
    }
}

std::wstring g_perLineAfterTab;
void CALLBACK ReadPerLineAndOk(HWND dialog, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(dialog, id);
    g_perLineAfterTab = WindowText(::GetDlgItem(dialog, IDC_ARRAY_PERLINE));
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(SmallDialogs, MakerArrayNeedsElementsAndKeepsItsBoxes) {
    DMakerArray empty(nullptr, 4, 3);
    RunWith<DMakerArray>(empty, [](DMakerArray& d) {
        EXPECT_FALSE(d.IsItemEnabled(IDOK));
        EXPECT_EQ(L"0", d.GetItemText(IDC_ARRAY_ELEMENTS));
        d.OnCancel();
    });
    DMakerArray first(nullptr, 2, 100);
    INT_PTR result = RunWith<DMakerArray>(first, [](DMakerArray& d) {
        EXPECT_EQ(L"50", d.GetItemText(IDC_ARRAY_ELEMENTS));
        d.SetCheck(IDC_ARRAY_SIGNED, true);
        // Tab, through the dialog's loop, leaves the field showing the limited value.
        const HWND field = d.Item(IDC_ARRAY_PERLINE);
        ::SetFocus(field);
        d.SetItemText(IDC_ARRAY_PERLINE, L"900");
        ::PostMessageW(field, WM_KEYDOWN, VK_TAB, (::MapVirtualKeyW(VK_TAB, MAPVK_VK_TO_VSC) << 16) | 1);
        ::SetTimer(d.m_hWnd, 1, 10, ReadPerLineAndOk);
    });
    EXPECT_EQ(L"128", g_perLineAfterTab);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(128, first.perLine);
    DMakerArray second(nullptr, 2, 100);
    RunWith<DMakerArray>(second, [](DMakerArray& d) {
        EXPECT_TRUE(d.IsChecked(IDC_ARRAY_SIGNED));
        EXPECT_FALSE(d.IsChecked(IDC_ARRAY_DECIMAL));
        d.SetCheck(IDC_ARRAY_SIGNED, false);
        d.SendMessage(WM_COMMAND, IDOK);
    });
    EXPECT_FALSE(DMakerArray::Signed());
}

// Each of the four pictures shows its colour on the screen; a click on one chooses it.
TEST_F(SmallDialogs, BookmarkPictureChoosesItsColour) {
    DBookmark dialog(nullptr, L"old", 1);
    INT_PTR result = RunWith<DBookmark>(dialog, [](DBookmark& d) {
        ::RedrawWindow(d.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        for (int i = 0; i < 4; ++i) {
            const HWND picture = d.Item(IDC_BOOKMARK_PICTURE1 + i);
            RECT r;
            ::GetClientRect(picture, &r);
            HDC dc = ::GetDC(picture);
            EXPECT_EQ(DBookmark::ColourOf(i), ::GetPixel(dc, r.right / 2, r.bottom / 2)) << "picture " << i;
            ::ReleaseDC(picture, dc);
        }
        EXPECT_TRUE(d.IsChecked(IDC_BOOKMARK_RADIO1 + 1));
        d.SendMessage(WM_COMMAND, MAKEWPARAM(23, STN_CLICKED), reinterpret_cast<LPARAM>(d.Item(23)));
        EXPECT_TRUE(d.IsChecked(33));
        EXPECT_FALSE(d.IsChecked(32));
        d.SetItemText(IDC_BOOKMARK_NOTE, std::wstring(300, L'n').c_str());
        d.SendMessage(WM_COMMAND, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(2, dialog.colourIndex);
    EXPECT_EQ(0xFF0000u, DBookmark::ColourOf(dialog.colourIndex));
    EXPECT_EQ(2, DBookmark::IndexOf(0xFF0000));
}

TEST_F(SmallDialogs, CommentKeepsLineFeedsAndTheCaption) {
    // The dialog's colour made unlike every grey of the text's edges.
    static constexpr COLORREF kFace = RGB(0xC0, 0xFF, 0xC0);
    const COLORREF face = CurrentTheme().Entry(0).value;
    CurrentTheme().Entry(0).value = kFace;
    CommentEditor editor(nullptr);
    StringW text(L"\none\ntwo");   // an empty first line is a line too
    PushModalAction([](Dialog& d) {
        EXPECT_EQ(L"Comment @ 1000", d.GetWindowText());
        EXPECT_EQ(L"\r\none\r\ntwo", d.GetItemText(IDC_COMMENT_TEXT));
        // The text stands on the edit's own background, not on the dialog's.
        ::SendMessageW(d.Item(IDC_COMMENT_TEXT), EM_SETSEL, 0, 0);
        PixelSurface shot;
        ASSERT_TRUE(CaptureWindow(d.Item(IDC_COMMENT_TEXT), shot, true));
        EXPECT_EQ(0, shot.CountColour(RECT{ 0, 0, shot.Width(), shot.Height() }, kFace));
        d.SetItemText(IDC_COMMENT_TEXT, L"a\r\nb\r\nc");
        d.SendMessage(WM_COMMAND, IDOK);
    });
    const bool edited = editor.EditText(StringW(L"Comment @ 1000"), text);
    CurrentTheme().Entry(0).value = face;
    ASSERT_TRUE(edited);
    EXPECT_EQ(L"a\nb\nc", std::wstring(text.c_str()));
}

// Enter in the comment makes a new line and Ctrl+Enter is OK, as keys through the dialog's loop.
// Keys down only: the characters that the loop makes of them come in the keys' order.
void PostKey(HWND window, UINT key) {
    ::PostMessageW(window, WM_KEYDOWN, key, (::MapVirtualKeyW(key, MAPVK_VK_TO_VSC) << 16) | 1);
}
std::wstring g_commentBeforeCtrlEnter;
void CALLBACK CancelTheComment(HWND dialog, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(dialog, id);
    ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}
// Comes once the keys before it are taken, and only while the dialog lives.
void CALLBACK PressCtrlEnter(HWND dialog, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(dialog, id);
    const HWND edit = ::GetDlgItem(dialog, IDC_COMMENT_TEXT);
    g_commentBeforeCtrlEnter = WindowText(edit);
    wintest::SetKey(VK_CONTROL, true);
    PostKey(edit, VK_RETURN);
    ::SetTimer(dialog, id, 2000, CancelTheComment);
}

TEST_F(SmallDialogs, CommentTakesEnterAsANewLineAndCtrlEnterAsOk) {
    CommentEditor editor(nullptr);
    StringW text(L"");
    g_commentBeforeCtrlEnter.clear();
    PushModalAction([](Dialog& d) {
        const HWND edit = d.Item(IDC_COMMENT_TEXT);
        ::SetFocus(edit);
        for (UINT key : {UINT('A'), UINT(VK_RETURN), UINT('B')})
            PostKey(edit, key);
        ::SetTimer(d.m_hWnd, 1, 10, PressCtrlEnter);
    });
    const bool ok = editor.EditText(StringW(L"Comment"), text);
    wintest::SetKey(VK_CONTROL, false);
    EXPECT_EQ(L"a\r\nb", g_commentBeforeCtrlEnter) << "the dialog stays open after Enter";
    EXPECT_TRUE(ok);
    EXPECT_EQ(L"a\nb", std::wstring(text.c_str()));
}

TEST_F(SmallDialogs, TextDialogFitsAOneLineText) {
    DText box(nullptr);
    box.caption = L"Ba-bah!";
    box.buttonText = L"&Terminate";
    StringW text(L"One line only");
    RECT window{};
    PushModalAction([&](Dialog& d) {
        window = d.GetWindowRect();
        EXPECT_EQ(L"&Terminate", d.GetItemText(IDOK));
        EXPECT_EQ(L"One line only", WindowText(d.Item(DText::kEditorId)));
        // A double click copies the whole text.
        ClipboardPutText(L"before", true);
        d.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(2, 2));
        std::unique_ptr<wchar_t[]> copied = ClipboardGetText();
        ASSERT_NE(nullptr, copied);
        EXPECT_EQ(std::wstring(L"One line only"), std::wstring(copied.get()));
        d.SendMessage(WM_COMMAND, IDOK);
    });
    EXPECT_EQ(IDOK, box.ShowModal(text));
    EXPECT_LT(window.right - window.left, ::GetSystemMetrics(SM_CXSCREEN) / 2);
    EXPECT_LT(window.bottom - window.top, ::GetSystemMetrics(SM_CYSCREEN) / 2);
    EXPECT_GE(window.right - window.left, 256);
}

// A report longer than the screen opens on its first line.
TEST_F(SmallDialogs, TextDialogOpensALongTextOnItsFirstLine) {
    DText box(nullptr);
    std::wstring lines;
    for (int i = 1; i <= 300; ++i)
        lines += L"line " + std::to_wstring(i) + L"\r\n";
    const StringW text(lines.c_str());
    std::wstring first;
    PushModalAction([&first](Dialog& d) {
        const HWND editor = d.Item(DText::kEditorId);
        wchar_t shown[32] = { 31 };   // EM_GETLINE reads the buffer's size from its first character
        const LRESULT top = ::SendMessageW(editor, EM_GETFIRSTVISIBLELINE, 0, 0);
        first.assign(shown, static_cast<size_t>(::SendMessageW(editor, EM_GETLINE, static_cast<WPARAM>(top),
                                                                reinterpret_cast<LPARAM>(shown))));
        d.SendMessage(WM_COMMAND, IDOK);
    });
    EXPECT_EQ(IDOK, box.ShowModal(text));
    EXPECT_EQ(L"line 1", first);
}

}  // namespace

namespace {

TEST_F(SmallDialogs, ResizedCommentStretchesItsEditAndKeepsButtonsCentredBelow) {
    CommentEditor editor(nullptr);
    StringW text(L"x");
    PushModalAction([](Dialog& d) {
        RECT edit = d.ItemRect(IDC_COMMENT_TEXT), ok = d.ItemRect(IDOK);
        RECT client = d.GetClientRect();
        RECT window = d.GetWindowRect();
        d.SetWindowPos(nullptr, 0, 0, window.right - window.left + 100, window.bottom - window.top + 60,
                       SWP_NOMOVE | SWP_NOZORDER);
        RECT edit2 = d.ItemRect(IDC_COMMENT_TEXT), ok2 = d.ItemRect(IDOK);
        RECT client2 = d.GetClientRect();
        int dx = client2.right - client.right, dy = client2.bottom - client.bottom;
        EXPECT_EQ(100, dx);
        // Within a pixel: the anchor's place in dialog units rounds.
        EXPECT_NEAR((edit.right - edit.left) + dx, edit2.right - edit2.left, 1);
        EXPECT_NEAR((edit.bottom - edit.top) + dy, edit2.bottom - edit2.top, 1);
        EXPECT_NEAR(ok.top + dy, ok2.top, 1);
        EXPECT_NEAR(client2.right / 2 + ok.left - client.right / 2, ok2.left, 1);
        // Smaller than its smallest size it will not go.
        d.SetWindowPos(nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER);
        RECT small = d.GetWindowRect();
        EXPECT_NEAR(window.right - window.left, small.right - small.left, 1);
        EXPECT_NEAR(window.bottom - window.top, small.bottom - small.top, 1);
        d.SendMessage(WM_COMMAND, IDCANCEL);
    });
    EXPECT_FALSE(editor.EditText(StringW(L"Comment"), text));
}

TEST_F(SmallDialogs, NameDialogGrowsOnlyInWidth) {
    DName dialog(nullptr, &page.doc.stores.names, L"1000", L"", L"a");
    RunWith<DName>(dialog, [](DName& d) {
        RECT window = d.GetWindowRect();
        RECT combo = d.ItemRect(IDC_NAME_TEXT);
        d.SetWindowPos(nullptr, 0, 0, window.right - window.left + 80, window.bottom - window.top + 80,
                       SWP_NOMOVE | SWP_NOZORDER);
        RECT grown = d.GetWindowRect();
        EXPECT_EQ(window.bottom - window.top, grown.bottom - grown.top);
        RECT combo2 = d.ItemRect(IDC_NAME_TEXT);
        EXPECT_EQ(combo.right - combo.left + 80, combo2.right - combo2.left);
        d.OnCancel();
    });
}

TEST_F(SmallDialogs, NameDialogOpensWholeWithItsButtonsInView) {
    // Its height limit must not cut the template when the window is made (before dialog units exist).
    DName dialog(nullptr, &page.doc.stores.names, L"1000", L"", L"a");
    RunWith<DName>(dialog, [](DName& d) {
        RECT client = d.GetClientRect();
        for (int id : {IDOK, IDCANCEL}) {
            RECT button = d.ItemRect(id);
            EXPECT_LE(button.bottom, client.bottom) << id;
            EXPECT_GT(button.top, d.ItemRect(IDC_NAME_TEXT).top) << id;
        }
        d.OnCancel();
    });
}

}  // namespace
