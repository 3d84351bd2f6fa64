#include "core/SystemServices.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SystemServices, CountSeparated) {
    struct Row { const wchar_t* text; wchar_t sep; int want; };
    const Row rows[] = {
        { L"a,b", L',', 2 }, { L"a,b,", L',', 2 }, { L"", L',', 0 }, { nullptr, L',', 0 },
        { L"a", L',', 1 }, { L",", L',', 1 }, { L",a", L',', 2 }, { L"a,,b", L',', 3 },
    };
    for (const Row& row : rows) EXPECT_EQ(CountSeparated(row.text, row.sep), row.want) << (row.text ? row.text : L"null");
}

TEST(SystemServices, PathParts) {
    struct Row { const wchar_t* path; const wchar_t* name; };
    const Row rows[] = {
        { L"C:\\tools\\bin\\prog.exe", L"prog.exe" },
        { L"C:prog.exe", L"prog.exe" },
        { L"prog.exe", L"prog.exe" },
        { L"dir\\", L"" },
        { L"a:b\\c", L"c" },
    };
    for (const Row& row : rows) {
        StringW name(L"stale");
        FileNameOfPath(name, row.path);
        EXPECT_EQ(name, row.name) << row.path;
    }
    StringW self(L"C:\\x\\y.txt");
    FileNameOfPath(self, self.c_str());
    EXPECT_EQ(self, L"y.txt");

    StringW s(L"a.b.c");
    StripExtension(s);
    EXPECT_EQ(s, L"a.b");
    s = L"noext";
    StripExtension(s);
    EXPECT_EQ(s, L"noext");
}

TEST(SystemServices, CopyTextN) {
    wchar_t buffer[8];
    std::wmemset(buffer, L'#', 8);
    EXPECT_EQ(CopyTextN(buffer, L"abcdefghij", 5), buffer);
    EXPECT_STREQ(buffer, L"abcd");
    EXPECT_EQ(buffer[5], L'#');
    CopyTextN(buffer, L"ab", 5);
    EXPECT_STREQ(buffer, L"ab");
    std::wmemset(buffer, L'#', 8);
    CopyTextN(buffer, L"abc", 0);
    CopyTextN(buffer, L"abc", -3);
    EXPECT_EQ(buffer[0], L'#');
    CopyTextN(buffer, L"abc", 1);
    EXPECT_EQ(buffer[0], 0);
}

TEST(SystemServices, FileExists) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    EXPECT_FALSE(FileExists(dir));
    std::wstring file = std::wstring(dir) + L"trelvo_core_exists.tmp";
    DeleteFileW(file.c_str());
    EXPECT_FALSE(FileExists(file.c_str()));
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_TRUE(FileExists(file.c_str()));
    DeleteFileW(file.c_str());
    EXPECT_FALSE(FileExists(nullptr));
}

TEST(SystemServices, Clipboard) {
    ASSERT_TRUE(ClipboardPutText(L"first line\r\nsecond \u00e4", true));
    auto text = ClipboardGetText();
    ASSERT_TRUE(text);
    EXPECT_STREQ(text.get(), L"first line\r\nsecond \u00e4");
    ASSERT_TRUE(ClipboardPutText(L"", true));
    text = ClipboardGetText();
    ASSERT_TRUE(text);
    EXPECT_STREQ(text.get(), L"");

    // Text without a terminator: nothing past the memory is read.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 3 * sizeof(wchar_t));
    wchar_t* p = static_cast<wchar_t*>(GlobalLock(memory));
    const size_t room = GlobalSize(memory) / sizeof(wchar_t);
    for (size_t i = 0; i < room; ++i) p[i] = L'z';
    GlobalUnlock(memory);
    ASSERT_TRUE(SetClipboardData(CF_UNICODETEXT, memory));
    CloseClipboard();
    text = ClipboardGetText();
    ASSERT_TRUE(text);
    const std::wstring got(text.get());
    EXPECT_LE(got.size(), room);
    EXPECT_EQ(got, std::wstring(got.size(), L'z'));
}

TEST(SystemServices, Menus) {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    HMENU view = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, 301, L"&Open...");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, 302, L"&Close");
    AppendMenuW(view, MF_STRING, 310, L"&Options");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), L"&View");
    EXPECT_EQ(MenuItemPosition(file, 302), 2);
    EXPECT_EQ(MenuItemPosition(file, 310), -1);
    int position = -1;
    EXPECT_EQ(FindSubmenuWithId(bar, 310, &position), view);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(FindSubmenuWithId(bar, 302, &position), file);
    EXPECT_EQ(position, 2);
    EXPECT_EQ(FindSubmenuWithId(bar, 999, &position), nullptr);
    DestroyMenu(bar);
}

int dispatched = 0;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_APP + 1) {
        ++dispatched;
        return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

TEST(SystemServices, PumpMessagesKeepsTheQuit) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TrelvoPumpTest";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(window);
    dispatched = 0;
    PostMessageW(window, WM_APP + 1, 0, 0);
    PostMessageW(window, WM_APP + 1, 0, 0);
    PumpMessages();
    EXPECT_EQ(dispatched, 2);

    PostMessageW(window, WM_APP + 1, 0, 0);
    PostQuitMessage(7);
    PumpMessages();
    EXPECT_EQ(dispatched, 3);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    DestroyWindow(window);
}

TEST(SystemServices, Wow64Redirection) {
    EXPECT_EQ(SetWow64Redirection(false), 0u);   // nothing disabled: nothing to do
    if (SetWow64Redirection(true) == 0) {
        EXPECT_EQ(SetWow64Redirection(true), 0u);
        EXPECT_EQ(SetWow64Redirection(false), 0u);
    }
    EXPECT_EQ(SetWow64Redirection(false), 0u);
}

}  // namespace
