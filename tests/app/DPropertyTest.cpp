// The options dialog and its value cells: clones edited in place, only changed pages assigned, the
// dialog's fixed height, the scroller of a long page, and each kind's editor answered by the seams.

#include "app/DProperty.h"
#include "app/PropertyCells.h"
#include "classlib/CommonDialogs.h"
#include "classlib/Screenshot.h"
#include "options/BColorTheme.h"
#include "options/Options.h"
#include "tests/Emulation.h"
#include "tests/classlib/WindowTestSupport.h"
#include "toolkit/InPlaceEdit.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include <commctrl.h>

#include <functional>
#include <vector>

namespace {

// Runs `action` on the in-place control from a timer while the editor's loop waits.
std::function<void(HWND)> g_action;
HWND g_parent = nullptr;
void CALLBACK RunAction(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(hwnd, id);
    HWND control = ::GetDlgItem(g_parent, kPopupEditId);
    if (!control) control = ::GetDlgItem(g_parent, kPopupComboId);
    if (g_action) g_action(control);
}
void Later(HWND parent, std::function<void(HWND)> action) {
    g_parent = parent;
    g_action = std::move(action);
    ::SetTimer(parent, 78, 10, RunAction);
}
void TypeAndEnd(HWND w, const wchar_t* chars, UINT endKey) {
    ::SendMessageW(w, EM_SETSEL, 0, -1);
    for (; *chars; ++chars) ::PostMessageW(w, WM_CHAR, *chars, 1);
    ::PostMessageW(w, WM_KEYDOWN, endKey, 1);
}

class CellTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
        context.parent = host;
        context.cell = RECT{100, 20, 280, 40};
        context.click = POINT{150, 30};
        context.rowHeight = 18;
        ::UpdateWindow(host);   // painted before the editors draw on it
    }
    void TearDown() override { ::DestroyWindow(host); }
    HWND host = nullptr;
    PropertyEditContext context;
};

TEST_F(CellTest, IntegerFieldTakesNumbersInRangeAndRetriesOthers) {
    PInt wide(nullptr, 0, L"Width", 10, 0, 1000);
    Later(host, [](HWND w) { TypeAndEnd(w, L"250", VK_RETURN); });
    EXPECT_TRUE(EditPropertyCell(wide, context));
    EXPECT_EQ(250, wide.value);
    // The bounds are inside: taken, no box.
    for (const wchar_t* bound : {L"1000", L"0"}) {
        Later(host, [bound](HWND w) { TypeAndEnd(w, bound, VK_RETURN); });
        EXPECT_TRUE(EditPropertyCell(wide, context)) << bound;
        EXPECT_EQ(std::wstring(bound), std::wstring(wide.ToText().c_str()));
    }

    // Out of range: the box says so; Retry edits again, Cancel gives up.
    PushMessageBoxAnswer(IDRETRY);
    Later(host, [this](HWND w) {
        TypeAndEnd(w, L"5000", VK_RETURN);
        Later(host, [](HWND again) { TypeAndEnd(again, L"7", VK_RETURN); });
    });
    EXPECT_TRUE(EditPropertyCell(wide, context));
    EXPECT_EQ(7, wide.value);
    EXPECT_EQ(L"The number out range [0,1000]", LastMessageBox().text);

    PushMessageBoxAnswer(IDCANCEL);
    Later(host, [](HWND w) { TypeAndEnd(w, L"1001", VK_RETURN); });
    EXPECT_FALSE(EditPropertyCell(wide, context));
    EXPECT_EQ(7, wide.value);

    Later(host, [](HWND w) { TypeAndEnd(w, L"99", VK_ESCAPE); });
    EXPECT_FALSE(EditPropertyCell(wide, context));
    EXPECT_EQ(7, wide.value);
}

// The field stands in a frame of theme colour 29 around the cell.
TEST_F(CellTest, TextFieldTakesTheTypedText) {
    PString text(nullptr, 0, L"Face", L"old");
    COLORREF corner = 0;
    Later(host, [this, &corner](HWND w) {
        HDC dc = ::GetDC(host);
        corner = ::GetPixel(dc, context.cell.left, context.cell.top);
        ::ReleaseDC(host, dc);
        TypeAndEnd(w, L"new", VK_RETURN);
    });
    EXPECT_TRUE(EditPropertyCell(text, context));
    EXPECT_EQ(L"new", std::wstring(text.value.c_str()));
    EXPECT_EQ(ThemeColor(29), corner);
}

// A folder edited as text: the browse strip is blanked and the text field takes the whole cell, as a
// plain text value's does.
TEST_F(CellTest, FolderTextFieldTakesTheWholeCell) {
    PDir dir(nullptr, 0, L"Plugins", L"C:\\old");
    PString text(nullptr, 0, L"Face", L"old");
    RECT dirField{}, textField{};
    auto typeInto = [this](RECT& field, const wchar_t* typed) {
        Later(host, [this, &field, typed](HWND w) {
            ::GetWindowRect(w, &field);
            ::MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&field), 2);
            TypeAndEnd(w, typed, VK_RETURN);
        });
    };
    typeInto(dirField, L"D:\\new");
    EXPECT_TRUE(EditPropertyCell(dir, context));
    EXPECT_EQ(L"D:\\new", std::wstring(dir.value.c_str()));
    EXPECT_EQ(L"D:\\new\\", std::wstring(dir.Expanded().c_str()));
    typeInto(textField, L"new");
    EXPECT_TRUE(EditPropertyCell(text, context));
    EXPECT_EQ(context.cell.right - 1, dirField.right);
    EXPECT_EQ(textField.left, dirField.left);
    EXPECT_EQ(textField.right, dirField.right);
}

// The strip of a folder cell as drawn.
std::vector<COLORREF> BrowseStripOf(PDir& dir, const RECT& cell) {
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, cell.right, cell.bottom);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    DrawPropertyCell(dir, dc, cell);
    std::vector<COLORREF> pixels;
    for (int y = cell.top; y < cell.bottom; ++y)
        for (int x = cell.right - kBrowseButtonWidth; x < cell.right; ++x)
            pixels.push_back(::GetPixel(dc, x, y));
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return pixels;
}

// Answers the first system dialog of the thread that shows and that `answer` takes (true), from a timer
// that runs in the dialog's own loop.
std::function<bool(HWND)> g_systemDialogAnswer;
BOOL CALLBACK OfferSystemDialog(HWND window, LPARAM) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    return std::wstring(name) != L"#32770" || !::IsWindowVisible(window) || !g_systemDialogAnswer(window);
}

// The folder the dialog's tree shows selected.
std::wstring g_folderShown;
BOOL CALLBACK ReadSelectedFolder(HWND child, LPARAM) {
    wchar_t name[16] = {};
    ::GetClassNameW(child, name, 16);
    if (std::wstring(name) != L"SysTreeView32")
        return TRUE;
    wchar_t text[MAX_PATH] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(::SendMessageW(child, TVM_GETNEXTITEM, TVGN_CARET, 0));
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    if (item.hItem && ::SendMessageW(child, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        g_folderShown = text;
    return FALSE;
}
void CALLBACK AnswerSystemDialogWhenShown(HWND host, UINT, UINT_PTR id, DWORD) {
    if (!::EnumThreadWindows(::GetCurrentThreadId(), OfferSystemDialog, 0))
        ::KillTimer(host, id);
}
void AnswerSystemDialog(HWND host, std::function<bool(HWND)> answer) {
    g_systemDialogAnswer = std::move(answer);
    ::SetTimer(host, 79, 50, AnswerSystemDialogWhenShown);
}

// The browse button is pressed while the folder dialog is open and raised again once it is closed; the
// dialog opens on the cell's folder.
TEST_F(CellTest, BrowseButtonComesUpAfterTheFolderDialog) {
    if (RunsEmulated())
        GTEST_SKIP() << "Wine's folder dialog hangs or crashes under qemu, two runs in three";
    PDir dir(nullptr, 0, L"Plugins", L"C:\\windows");
    const std::vector<COLORREF> raised = BrowseStripOf(dir, context.cell);
    context.click = POINT{ context.cell.right - 4, (context.cell.top + context.cell.bottom) / 2 };
    g_folderShown.clear();
    // Cancelled once it shows its selected folder.
    AnswerSystemDialog(host, [](HWND folders) {
        ::EnumChildWindows(folders, ReadSelectedFolder, 0);
        return !g_folderShown.empty() && ::PostMessageW(folders, WM_COMMAND, IDCANCEL, 0) != 0;
    });
    EXPECT_FALSE(EditPropertyCell(dir, context));
    EXPECT_EQ(raised, BrowseStripOf(dir, context.cell));
    EXPECT_EQ(L"windows", g_folderShown);
}

TEST_F(CellTest, BooleanAndListPickFromTheirChoices) {
    PBool flag(nullptr, 0, L"Show", false);
    Later(host, [](HWND w) {
        ::SendMessageW(w, CB_SETCURSEL, 1, 0);
        ::PostMessageW(w, WM_KEYDOWN, VK_RETURN, 1);
    });
    EXPECT_TRUE(EditPropertyCell(flag, context));
    EXPECT_TRUE(flag.value);

    PList side(nullptr, 0, L"Side", L"Left|Right", 0);
    Later(host, [](HWND w) {
        EXPECT_EQ(2, ::SendMessageW(w, CB_GETCOUNT, 0, 0));
        ::SendMessageW(w, CB_SETCURSEL, 1, 0);
        ::PostMessageW(w, WM_KEYDOWN, VK_RETURN, 1);
    });
    EXPECT_TRUE(EditPropertyCell(side, context));
    EXPECT_EQ(1, side.index);
}

TEST_F(CellTest, SmallIntegerRangeIsAListButATinyOneAField) {
    PInt small(nullptr, 0, L"Rows", 5, 0, 11);
    Later(host, [](HWND w) {
        EXPECT_EQ(12, ::SendMessageW(w, CB_GETCOUNT, 0, 0));
        ::SendMessageW(w, CB_SETCURSEL, 7, 0);
        ::PostMessageW(w, WM_KEYDOWN, VK_RETURN, 1);
    });
    EXPECT_TRUE(EditPropertyCell(small, context));
    EXPECT_EQ(7, small.value);

    // Fewer than four values count as a large range: the number field.
    PInt tiny(nullptr, 0, L"Mode", 1, 1, 3);
    Later(host, [](HWND w) {
        wchar_t name[16] = {};
        ::GetClassNameW(w, name, 16);
        EXPECT_EQ(std::wstring(L"Edit"), std::wstring(name));
        TypeAndEnd(w, L"2", VK_RETURN);
    });
    EXPECT_TRUE(EditPropertyCell(tiny, context));
    EXPECT_EQ(2, tiny.value);
}

TEST_F(CellTest, ColourAndFontComeFromTheSystemDialogs) {
    PColor colour(nullptr, 0, L"Back", 0x112233);
    PushSystemDialogAnswer([](SystemDialog& d) {
        static_cast<CColorDialog&>(d).SetColor(0x445566);
        return static_cast<INT_PTR>(IDOK);
    });
    EXPECT_TRUE(EditPropertyCell(colour, context));
    EXPECT_EQ(0x445566u, colour.value);

    PFont font(nullptr, 0, L"Font", L"Courier New", 10, false, true);
    PushSystemDialogAnswer([](SystemDialog& d) {
        auto& f = static_cast<CFontDialog&>(d);
        LOGFONTW lf = f.GetLogFont();
        wcscpy(lf.lfFaceName, L"Arial");
        lf.lfWeight = 600;
        lf.lfItalic = 1;
        f.SetLogFont(lf);
        f.SetSize(120);
        return static_cast<INT_PTR>(IDOK);
    });
    EXPECT_TRUE(EditPropertyCell(font, context));
    EXPECT_EQ(L"Arial", std::wstring(font.face.c_str()));
    EXPECT_EQ(12, font.size);
    EXPECT_TRUE(font.italic);
    EXPECT_FALSE(font.bold);   // only weight 700 is bold

    PWindowPos place(nullptr, 0, L"Place", 0, 0, 10, 10, false);
    EXPECT_FALSE(EditPropertyCell(place, context));
}

TEST_F(CellTest, ColourCellIsFilledWithItsColour) {
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 40, 20);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    PColor colour(nullptr, 0, L"Back", 0x0000FF);
    DrawPropertyCell(colour, dc, RECT{0, 0, 40, 20});
    EXPECT_EQ(0x0000FFu, ::GetPixel(dc, 20, 10));
    PBool flag(nullptr, 0, L"Show", true);
    DrawPropertyCell(flag, dc, RECT{0, 0, 40, 20});
    EXPECT_EQ(ThemeColor(1), ::GetPixel(dc, 1, 1));
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

class OptionsDialogTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(0u, PendingModalActions()); }
    int Run(std::function<void(DProperty&)> action) {
        PushModalAction([action](Dialog& d) { action(static_cast<DProperty&>(d)); });
        return RunOptionsDialog(nullptr, options);
    }
    Options options;
};

TEST_F(OptionsDialogTest, CancelChangesNothingAndApplyWaitsForAChange) {
    COLORREF before = options.uiColors.logBk.value;
    int result = Run([](DProperty& d) {
        EXPECT_EQ(6u, d.views.size());
        EXPECT_FALSE(d.IsItemEnabled(IDOK));
        EXPECT_TRUE(d.IsItemEnabled(IDCANCEL));
        // An edit that keeps the value leaves Apply disabled; the keys' half of a row is in theme colour 1.
        BPropertyView& colours = *d.views[2];
        d.tabs.SelectTab(102);
        PushSystemDialogAnswer([](SystemDialog&) { return static_cast<INT_PTR>(IDCANCEL); });
        const RECT cell = colours.ValueCell(0);
        colours.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell.left + 5, cell.top + 3));
        EXPECT_FALSE(d.IsItemEnabled(IDOK));
        EXPECT_TRUE(d.IsItemEnabled(IDCANCEL));
        PixelSurface shot;
        ASSERT_TRUE(CaptureWindow(colours.m_hWnd, shot, true));
        EXPECT_EQ(ThemeColor(1), shot.Pixel(colours.rowsArea.left + 1, cell.top + 1));
        static_cast<PColor*>(d.views[2]->rows[0])->value = 0x010203;
        d.SendMessage(WM_COMMAND, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(before, options.uiColors.logBk.value);
}

TEST_F(OptionsDialogTest, ApplyAssignsOnlyTheChangedPage) {
    bool fileBefore = options.file.showDumpBytes.value;
    int result = Run([](DProperty& d) {
        BPropertyView& colours = *d.views[2];
        d.tabs.SelectTab(102);
        ASSERT_EQ(L"LogBk", std::wstring(colours.rows[0]->key.c_str()));
        // The File page's clone changes without an edit: it is not assigned.
        static_cast<PBool*>(d.views[0]->rows[0])->value = !static_cast<PBool*>(d.views[0]->rows[0])->value;
        PushSystemDialogAnswer([](SystemDialog& s) {
            static_cast<CColorDialog&>(s).SetColor(0x00ABCDEF);
            return static_cast<INT_PTR>(IDOK);
        });
        RECT cell = colours.ValueCell(0);
        colours.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell.left + 5, cell.top + 3));
        EXPECT_TRUE(colours.changed);
        EXPECT_TRUE(d.IsItemEnabled(IDOK));
        EXPECT_TRUE(d.IsItemEnabled(IDCANCEL));
        d.SendMessage(WM_COMMAND, IDOK);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(0x00ABCDEFu, options.uiColors.logBk.value);
    EXPECT_EQ(fileBefore, options.file.showDumpBytes.value);
}

// The system's own font dialog, as a user answers it: a face and a size picked from its lists, then OK.
// Both reach the option once applied.
TEST_F(OptionsDialogTest, TheFontDialogsFaceAndSizeReachTheOption) {
    static std::wstring face;
    face.clear();
    int result = Run([](DProperty& d) {
        BPropertyView& fonts = *d.views[4];
        d.tabs.SelectTab(104);
        ASSERT_EQ(L"LogFont", std::wstring(fonts.rows[4]->key.c_str()));
        AnswerSystemDialog(d.m_hWnd, [](HWND dialog) {
            const HWND faces = ::GetDlgItem(dialog, cmb1), sizes = ::GetDlgItem(dialog, cmb3);
            if (!faces || !sizes)
                return false;   // the options dialog itself
            // A click on an entry of each list.
            auto pick = [dialog](int id, HWND list, LRESULT index) {
                ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
                ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
            };
            auto entry = [](HWND list, const wchar_t* text) {
                return ::SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
            };
            pick(cmb1, faces, 0);   // the faces the system has differ from one machine to another
            face = WindowText(faces);
            const LRESULT size = entry(sizes, L"14");
            EXPECT_GE(size, 0) << "no size 14 for " << face;
            pick(cmb3, sizes, size);
            ::PostMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            return true;
        });
        const RECT cell = fonts.ValueCell(4);
        fonts.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell.left + 5, cell.top + 3));
        wintest::DrainQueue();
        const bool changed = d.IsItemEnabled(IDOK);
        EXPECT_TRUE(changed);
        ::PostMessageW(d.Item(changed ? IDOK : IDCANCEL), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(1, result);
    EXPECT_FALSE(face.empty());
    EXPECT_EQ(face, std::wstring(options.fonts.logFont.face.c_str()));
    EXPECT_EQ(14, options.fonts.logFont.size);
}

// A click in the band just below a page's last row edits nothing: no editor, no box, "&Apply" disabled.
TEST_F(OptionsDialogTest, AClickBelowTheLastRowEditsNothing) {
    int result = Run([](DProperty& d) {
        for (size_t i = 0; i < d.views.size(); ++i) {
            BPropertyView& page = *d.views[i];
            d.tabs.SelectTab(static_cast<int>(100 + i));
            const POINT below{ page.rowsArea.right - 5, page.ValueCell(static_cast<int>(page.rows.size())).top + 1 };
            ASSERT_TRUE(::PtInRect(&page.rowsArea, below)) << i;
            page.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(below.x, below.y));
            wintest::DrainQueue();
            EXPECT_FALSE(d.IsItemEnabled(IDOK)) << i;
            EXPECT_TRUE(d.IsItemEnabled(IDCANCEL)) << i;
        }
        d.SendMessage(WM_COMMAND, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, result);
}

TEST_F(OptionsDialogTest, SaveButtonAssignsAndEndsWithSix) {
    int result = Run([](DProperty& d) {
        static_cast<PColor*>(d.views[2]->rows[1])->value = 0x00123456;
        d.views[2]->changed = true;
        d.SendMessage(WM_COMMAND, DProperty::kSaveId);
    });
    EXPECT_EQ(6, result);
    EXPECT_EQ(0x00123456u, options.uiColors.logTxt.value);
}

TEST_F(OptionsDialogTest, GrowsOnlyInWidthAndScrollsALongPage) {
    Run([](DProperty& d) {
        RECT before = d.GetWindowRect();
        d.SetWindowPos(nullptr, 0, 0, 700, (before.bottom - before.top) + 200, SWP_NOMOVE | SWP_NOZORDER);
        RECT after = d.GetWindowRect();
        EXPECT_EQ(700, after.right - after.left);
        EXPECT_EQ(before.bottom - before.top, after.bottom - after.top);
        BPropertyView& page = *d.views[3];   // CodeColors, the longest page
        d.tabs.SelectTab(103);
        page.MoveWindow(0, 0, 300, 3 * page.RowPitch());
        EXPECT_TRUE(page.ScrollerShown());
        // The wheel goes to the focus, the tab strip, and scrolls the page under the pointer.
        ASSERT_EQ(::GetFocus(), d.tabs.m_hWnd);
        const RECT r = page.GetWindowRect();
        const LPARAM pointer = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        ::PostMessageW(::GetFocus(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), pointer);
        MSG wheel;   // only the wheel: a layout still queued would put the page back in its place
        while (::PeekMessageW(&wheel, nullptr, WM_MOUSEWHEEL, WM_MOUSEWHEEL, PM_REMOVE))
            ::DispatchMessageW(&wheel);
        EXPECT_EQ(3, page.firstRow);
        page.MoveWindow(0, 0, 300, 2000);
        EXPECT_FALSE(page.ScrollerShown());
        EXPECT_EQ(0, page.firstRow);
        d.SendMessage(WM_COMMAND, IDCANCEL);
    });
}

}  // namespace
