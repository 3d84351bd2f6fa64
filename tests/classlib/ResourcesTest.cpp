// The program's resources, when the test program is built with them (trelvo_resources).
#include "app/resources/resource.h"
#include "classlib/CursorIcon.h"
#include "classlib/Menu.h"
#include "classlib/PixelSurface.h"
#include "classlib/Screenshot.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class Resources : public ::testing::Test {
protected:
    void SetUp() override {
        if (!::FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_MAINMENU), MAKEINTRESOURCEW(4)))
            GTEST_SKIP() << "this program was built without the resources (trelvo_resources)";
    }
};

std::wstring ItemText(HWND dialog, int id)
{
    wchar_t text[64] = {};
    ::GetDlgItemTextW(dialog, id, text, 64);
    return text;
}

std::wstring ClassOf(HWND dialog, int id)
{
    wchar_t name[64] = {};
    ::GetClassNameW(::GetDlgItem(dialog, id), name, 64);
    return name;
}

INT_PTR CALLBACK QuietDialog(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

}  // namespace

TEST_F(Resources, MainMenu)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_MAINMENU));
    ASSERT_EQ(menu.GetMenuItemCount(), 2);
    EXPECT_EQ(menu.GetMenuString(0, MF_BYPOSITION), L"&File");
    EXPECT_EQ(menu.GetMenuString(1, MF_BYPOSITION), L"&Options");
    EXPECT_EQ(menu.GetMenuItemID(1), static_cast<UINT>(ID_OPTIONS));
    HMENU file = menu.GetSubMenu(0);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(::GetMenuItemCount(file), 2);
    EXPECT_EQ(::GetMenuItemID(file, 0), static_cast<UINT>(ID_FILE_OPEN));
    EXPECT_EQ(::GetMenuItemID(file, 1), static_cast<UINT>(ID_FILE_CLOSE));
    EXPECT_EQ(menu.GetMenuString(ID_FILE_OPEN, MF_BYCOMMAND), L"&Open...");
    EXPECT_EQ(menu.GetMenuString(ID_FILE_CLOSE, MF_BYCOMMAND), L"&Close");
}

TEST_F(Resources, OpenFileDialogTemplate)
{
    HWND dialog = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_OPENFILE), nullptr,
                                       QuietDialog, 0);
    ASSERT_NE(dialog, nullptr);
    struct Control { int id; const wchar_t* cls; const wchar_t* text; };
    const Control controls[] = {
        {IDC_OPEN_FILE, L"ComboBox", L""},       {IDC_OPEN_BROWSE, L"Button", L"..."},
        {IDC_OPEN_PARSER, L"ComboBox", L""},     {IDC_OPEN_BASE, L"Edit", L""},
        {IDC_OPEN_BITS16, L"Button", L"&16"},    {IDC_OPEN_BITS32, L"Button", L"3&2"},
        {IDC_OPEN_DATA, L"Button", L"&Data"},    {IDC_OPEN_BIGENDIAN, L"Button", L"&Big-endian"},
        {IDC_OPEN_REFERS, L"Button", L"&Refers"}, {IDC_OPEN_WIDEODD, L"Button", L"W&ide@odd"},
        {IDC_OPEN_WIDEEVEN, L"Button", L"&Wide@even"}, {IDC_OPEN_ASCII, L"Button", L"&Ascii"},
        {IDC_OPEN_SECOND, L"ComboBox", L""},     {IDOK, L"Button", L"&OK"},
        {IDCANCEL, L"Button", L"Cancel"},
    };
    for (const Control& c : controls) {
        SCOPED_TRACE(c.id);
        ASSERT_NE(::GetDlgItem(dialog, c.id), nullptr);
        EXPECT_EQ(ClassOf(dialog, c.id), c.cls);
        if (c.cls != std::wstring(L"ComboBox")) {
            EXPECT_EQ(ItemText(dialog, c.id), c.text);
        }
    }
    LONG okStyle = ::GetWindowLongW(::GetDlgItem(dialog, IDOK), GWL_STYLE);
    EXPECT_EQ(okStyle & 0x0F, BS_DEFPUSHBUTTON);
    EXPECT_EQ(::GetWindowLongW(::GetDlgItem(dialog, IDC_OPEN_PARSER), GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    EXPECT_EQ(::GetWindowLongW(::GetDlgItem(dialog, IDC_OPEN_FILE), GWL_STYLE) & 3, CBS_DROPDOWN);
    RECT units{0, 0, 350, 240}, client{};
    ::MapDialogRect(dialog, &units);
    ::GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);
    ::DestroyWindow(dialog);
}

TEST_F(Resources, ProgramIconAtBothSizes)
{
    const COLORREF kHighlight = RGB(0x3A, 0x5F, 0xB0), kPaper = RGB(255, 0, 255);
    struct Row { int size; POINT highlight; };
    const Row rows[] = {{16, {5, 8}}, {32, {25, 15}}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.size);
        OwnedIcon icon;
        ASSERT_TRUE(icon.Load(L"APPICON", row.size));
        EXPECT_EQ(icon.GetSize().cx, row.size);
        PixelSurface s(row.size, row.size);
        s.FillSolidRect(RECT{0, 0, row.size, row.size}, kPaper);
        ASSERT_TRUE(s.DrawIcon(0, 0, icon, row.size));
        EXPECT_EQ(s.Pixel(0, 0), kPaper);                         // the rounded corner is transparent
        EXPECT_EQ(s.Pixel(row.highlight.x, row.highlight.y), kHighlight);
        EXPECT_EQ(s.CountColour(RECT{0, 0, row.size, row.size}, kPaper), row.size == 16 ? 4 : 12);
    }
}

TEST_F(Resources, ManifestSelectsCommonControls6)
{
    if (!::FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)))
        GTEST_SKIP() << "no manifest in classlib/ yet";
    // Version 6 is the side-by-side assembly; version 5 lives in the system folder.
    HMODULE comctl = ::LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(comctl, path, MAX_PATH);
    std::wstring lower(path);
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(towlower(c));
    EXPECT_NE(lower.find(L"\\winsxs\\"), std::wstring::npos) << "comctl32 from " << lower;
    ::FreeLibrary(comctl);
}

TEST_F(Resources, ScreenshotOfMenuDialogAndIcon)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_MAINMENU));
    OwnedIcon icon;
    ASSERT_TRUE(icon.Load(L"APPICON", 32));
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = L"TrelvoResourceFrame";
    ::RegisterClassW(&wc);
    HWND frame = ::CreateWindowExW(0, wc.lpszClassName, L"Trelvo", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 700, 520,
                                   nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(menu.SetToWindow(frame));
    ::SendMessageW(frame, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon.Get()));
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(frame, WM_GETICON, ICON_BIG, 0)), icon.Get());
    HWND dialog = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_OPENFILE), frame,
                                       QuietDialog, 0);
    ASSERT_NE(dialog, nullptr);
    ::SetWindowPos(dialog, HWND_TOP, 60, 90, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ::UpdateWindow(dialog);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
    PixelSurface screen;
    ASSERT_TRUE(CaptureScreen(screen));
    RECT place{};
    ::GetWindowRect(dialog, &place);
    RECT inner{place.left + 4, place.top + 30, place.right - 4, place.bottom - 4};
    COLORREF face = ::GetSysColor(COLOR_3DFACE);
    int area = (inner.right - inner.left) * (inner.bottom - inner.top);
    EXPECT_GT(screen.CountColour(inner, face), area / 2);       // the dialog's face, its controls on it
    EXPECT_TRUE(screen.SavePng(L"resources_screen.png"));
    ::DestroyWindow(dialog);
    ::DestroyWindow(frame);
}
