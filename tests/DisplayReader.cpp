#include "tests/DisplayReader.h"

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

namespace display {

namespace {

using DosNameOf = wchar_t* (*)(const char*);

// Wine's own export: the Windows name of a Unix path. Absent on Windows.
DosNameOf WineDosName() {
    static const auto dosName = reinterpret_cast<DosNameOf>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    return dosName;
}

bool ReadFile(const std::wstring& path, std::vector<unsigned char>& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD read = 0;
    const BOOL ok = ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(file);
    return ok && read == bytes.size();
}

// Starts a Unix command line through the shell. Wine hands back no handles of a Unix process (the
// fields are none of ours to close), so callers wait for the file it renames into place at its end.
bool StartUnix(const std::string& shellLine) {
    std::string command = "/bin/sh -c \"" + shellLine + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    return ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
}

bool ReadX(const RECT& area, PixelSurface& pixels) {
    static std::atomic<int> serial{ 0 };
    const int width = area.right - area.left, height = area.bottom - area.top;
    char unixPath[96];
    std::snprintf(unixPath, sizeof unixPath, "/tmp/trelvo-display-%lu-%d.rgb", ::GetCurrentProcessId(), ++serial);
    wchar_t* dos = WineDosName()(unixPath);
    if (!dos)
        return false;
    const std::wstring path = dos;
    ::HeapFree(::GetProcessHeap(), 0, dos);
    char command[320];
    std::snprintf(command, sizeof command,
                  "/usr/bin/import -silent -window root -crop %dx%d%+ld%+ld -depth 8 rgb:%s.part || : >%s.part; mv -f %s.part %s",
                  width, height, area.left, area.top, unixPath, unixPath, unixPath, unixPath);
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    bool read = false;
    if (StartUnix(command)) {
        for (const DWORD end = ::GetTickCount() + 30000; !read && ::GetTickCount() < end; ::Sleep(2))
            read = ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
        read = read && ReadFile(path, rgb);
    }
    ::DeleteFileW(path.c_str());
    if (!read || !pixels.Create(width, height))
        return false;
    uint32_t* bits = pixels.Bits();
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
        bits[i] = (uint32_t{ rgb[3 * i] } << 16) | (uint32_t{ rgb[3 * i + 1] } << 8) | rgb[3 * i + 2];
    return true;
}

}  // namespace

bool Read(const RECT& screenArea, PixelSurface& pixels) {
    if (screenArea.right <= screenArea.left || screenArea.bottom <= screenArea.top)
        return false;
    if (WineDosName())
        return ReadX(screenArea, pixels);
    HDC screen = ::GetDC(nullptr);
    const bool copied = pixels.CopyFrom(screen, screenArea);
    ::ReleaseDC(nullptr, screen);
    return copied;
}

bool ReadWindow(HWND window, PixelSurface& pixels, bool clientOnly) {
    RECT area{};
    if (clientOnly) {
        ::GetClientRect(window, &area);
        ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    } else {
        ::GetWindowRect(window, &area);
    }
    return Read(area, pixels);
}

COLORREF Pixel(POINT screenPoint) {
    PixelSurface pixels;
    if (!Read(RECT{ screenPoint.x, screenPoint.y, screenPoint.x + 1, screenPoint.y + 1 }, pixels))
        return CLR_INVALID;
    return pixels.Pixel(0, 0);
}

bool PumpUntilShown(HWND window, const std::function<void()>& pump,
                    const std::function<bool(const PixelSurface&)>& shows) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        pump();
        PixelSurface shown;
        if (!ReadWindow(window, shown))
            return false;
        if (shows(shown))
            return true;
        if (::GetTickCount() - start > 20000)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

}  // namespace display
