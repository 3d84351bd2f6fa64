#pragma once
// What the X display shows: the pixels a user sees, read by the host's xwd from the display that Wine
// draws on, not through a DC of Wine's own (which holds what was painted, shown or not). Wine starts
// the host program without a handle to wait on, so xwd's file is renamed into place when it is whole.

#include "classlib/PixelSurface.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace xscreen {

// The rectangle `area` (root-window coordinates) of an XWD dump of true-colour pixels, 8 bits a colour
// in three or four bytes (xwd started by Wine writes three).
inline bool FromXwd(const std::string& data, const RECT& area, PixelSurface& pixels) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    const auto word = [bytes](size_t i) {   // the header is big-endian
        const unsigned char* b = bytes + 4 * i;
        return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
    };
    if (data.size() < 100 || word(1) != 7 || word(2) != 2 || word(4) == 0 || word(14) != 0xFF0000 ||
        word(15) != 0xFF00 || word(16) != 0xFF)
        return false;
    const uint32_t width = word(4), height = word(5), lsbFirst = word(7) == 0, stride = word(12);
    const uint32_t size = word(11) / 8;   // bytes a pixel
    const size_t start = size_t(word(0)) + size_t(word(19)) * 12;   // header and colour map
    if ((size != 3 && size != 4) || stride < width * size || area.left < 0 || area.top < 0 || area.right > LONG(width) ||
        area.bottom > LONG(height) || data.size() < start + size_t(stride) * height ||
        !pixels.Create(area.right - area.left, area.bottom - area.top))
        return false;
    uint32_t* out = pixels.Bits();
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x) {
            const unsigned char* p = bytes + start + size_t(y) * stride + size_t(x) * size;
            if (!lsbFirst)
                p += size - 3;
            *out++ = lsbFirst ? (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0]
                              : (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
        }
    return true;
}

// A rectangle of the screen as the X display shows it; false where no X display or no xwd is there.
inline bool Capture(const RECT& screenArea, PixelSurface& pixels) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    using DosName = WCHAR*(CDECL*)(LPCSTR);
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "wine_get_unix_file_name")));
    const auto dosName = reinterpret_cast<DosName>(reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "wine_get_dos_file_name")));
    if (!unixName || !dosName)
        return false;   // not under Wine
    static int serial = 0;
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"xscreen-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++serial) + L".xwd";
    char* unixPath = unixName(path.c_str());
    WCHAR* shell = dosName("/bin/sh");
    const std::string target(unixPath ? unixPath : "");
    ::HeapFree(::GetProcessHeap(), 0, unixPath);
    if (target.empty() || !shell)
        return false;
    const std::wstring file(target.begin(), target.end());   // the temporary folder's name is ASCII
    // A failed xwd leaves an empty file, so the wait ends at once.
    std::wstring command = L"sh -c \"xwd -root -silent -out '" + file + L".part' || : >'" + file + L".part'; mv '" +
                           file + L".part' '" + file + L"'\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(shell, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    ::HeapFree(::GetProcessHeap(), 0, shell);
    if (!started)
        return false;
    if (process.hProcess)
        ::CloseHandle(process.hProcess);
    if (process.hThread)
        ::CloseHandle(process.hThread);
    HANDLE f = INVALID_HANDLE_VALUE;
    for (DWORD start = ::GetTickCount(); f == INVALID_HANDLE_VALUE && ::GetTickCount() - start < 20000;) {
        f = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE)
            ::Sleep(10);
    }
    if (f == INVALID_HANDLE_VALUE)
        return false;
    std::string data(::GetFileSize(f, nullptr), '\0');
    DWORD read = 0;
    const bool whole = data.empty() || (::ReadFile(f, &data[0], DWORD(data.size()), &read, nullptr) && read == data.size());
    ::CloseHandle(f);
    ::DeleteFileW(path.c_str());
    RECT area = screenArea;   // the X root's origin is the virtual screen's top left
    ::OffsetRect(&area, -::GetSystemMetrics(SM_XVIRTUALSCREEN), -::GetSystemMetrics(SM_YVIRTUALSCREEN));
    return whole && FromXwd(data, area, pixels);
}

// The window's client area as the X display shows it.
inline bool CaptureClient(HWND window, PixelSurface& pixels) {
    RECT area{};
    ::GetClientRect(window, &area);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    return Capture(area, pixels);
}

// Runs `pump` (the test's message loop) until the X display shows the window's client area as `shows`
// wants it; false when it still does not after a bound that a loaded machine passes too, or when the
// display cannot be read.
inline bool PumpUntilShown(HWND window, const std::function<void()>& pump,
                           const std::function<bool(const PixelSurface&)>& shows) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        pump();
        PixelSurface shown;
        if (!CaptureClient(window, shown))
            return false;
        if (shows(shown))
            return true;
        if (::GetTickCount() - start > 20000)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

}  // namespace xscreen
