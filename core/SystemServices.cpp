#include "core/SystemServices.h"

#include <shlobj.h>

#include <cstring>
#include <cwchar>

bool ClipboardPutText(const wchar_t* text, bool emptyFirst) {
    if (!text) text = L"";
    if (!OpenClipboard(nullptr)) return false;
    const size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    bool handed = false;
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* p = GlobalLock(memory)) {
            std::memcpy(p, text, bytes);
            GlobalUnlock(memory);
            if (emptyFirst) EmptyClipboard();
            handed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!handed) GlobalFree(memory);   // the clipboard owns it only once it was taken
    }
    CloseClipboard();
    return handed;
}

std::unique_ptr<wchar_t[]> ClipboardGetText() {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(nullptr)) return nullptr;
    std::unique_ptr<wchar_t[]> copy;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            // A terminator is not trusted: read no more than the memory holds.
            const size_t room = GlobalSize(data) / sizeof(wchar_t);
            size_t length = 0;
            while (length < room && text[length]) ++length;
            copy.reset(new (std::nothrow) wchar_t[length + 1]);
            if (copy) {
                std::wmemcpy(copy.get(), text, length);
                copy[length] = 0;
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return copy;
}

static int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED) SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

bool BrowseForFolder(wchar_t* path, HWND owner, const wchar_t* title) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    LPITEMIDLIST root = nullptr;
    SHGetSpecialFolderLocation(owner, CSIDL_DRIVES, &root);
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pidlRoot = root;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS | BIF_NEWDIALOGSTYLE;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(path);
    bool chosen = false;
    if (LPITEMIDLIST item = SHBrowseForFolderW(&info)) {
        wchar_t chosenPath[MAX_PATH];
        if (SHGetPathFromIDListW(item, chosenPath)) {
            CopyTextN(path, chosenPath, MAX_PATH);
            chosen = true;
        }
        CoTaskMemFree(item);
    }
    if (root) CoTaskMemFree(root);
    if (SUCCEEDED(com)) CoUninitialize();
    return chosen;
}

int MenuItemPosition(HMENU menu, UINT id) {
    const int items = GetMenuItemCount(menu);
    for (int i = 0; i < items; ++i) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID;
        if (GetMenuItemInfoW(menu, i, TRUE, &info) && info.wID == id) return i;
    }
    return -1;
}

HMENU FindSubmenuWithId(HMENU menu, UINT id, int* position) {
    const int items = GetMenuItemCount(menu);
    for (int i = 0; i < items; ++i) {
        HMENU sub = GetSubMenu(menu, i);
        if (!sub) continue;
        const int at = MenuItemPosition(sub, id);
        if (at >= 0) {
            if (position) *position = at;
            return sub;
        }
    }
    return nullptr;
}

bool FileExists(const wchar_t* path) {
    if (!path) return false;
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

wchar_t* CopyTextN(wchar_t* destination, const wchar_t* source, int n) {
    if (n <= 0 || !destination) return destination;
    int i = 0;
    if (source) {
        for (; i < n - 1 && source[i]; ++i) destination[i] = source[i];
    }
    destination[i] = 0;
    destination[n - 1] = 0;
    return destination;
}

int CountSeparated(const wchar_t* text, wchar_t separator) {
    if (!text || !*text) return 0;
    int count = 1;
    for (const wchar_t* p = text; *p; ++p) {
        if (*p == separator && p[1]) ++count;
    }
    return count;
}

void StripExtension(StringW& string) {
    const size_t dot = string.rfind(L'.');
    if (dot != StringW::npos) string.resize(dot);
}

void FileNameOfPath(StringW& string, const wchar_t* path) {
    if (!path) {
        string.clear();
        return;
    }
    const wchar_t* name = std::wcsrchr(path, L'\\');
    if (!name) name = std::wcschr(path, L':');
    string.SetText(name ? name + 1 : path);
}

namespace {
const PVOID kNotDisabled = reinterpret_cast<PVOID>(4126);
PVOID wow64State = kNotDisabled;
}  // namespace

DWORD SetWow64Redirection(bool disable) {
    if (disable) {
        if (wow64State != kNotDisabled) return 0;
        PVOID old = nullptr;
        if (!Wow64DisableWow64FsRedirection(&old)) return GetLastError();
        wow64State = old;
        return 0;
    }
    if (wow64State == kNotDisabled) return 0;
    const PVOID old = wow64State;
    wow64State = kNotDisabled;
    return Wow64RevertWow64FsRedirection(old) ? 0 : GetLastError();
}
