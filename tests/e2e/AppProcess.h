#pragma once
// The program under test as a process of its own: a copy of the built exe in a temporary folder
// (where its options file lives), started with a command line, its Wine log caught in a file, and
// what it holds of the system (window, GDI and USER objects, memory) sampled from outside.

#include <windows.h>

#include <string>

namespace e2e {

// A Windows path for a path of the build (a Unix path under Wine's Z: drive, or already Windows).
std::wstring WindowsPath(const char* path);
std::wstring FolderOf(const std::wstring& path);
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
std::string ReadWholeFile(const std::wstring& path);

// A new empty folder under the temporary folder, deleted with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

struct Usage {
    DWORD gdiObjects = 0;     // GetGuiResources, else Wine's GDI handle table of the process
    DWORD userObjects = 0;    // GetGuiResources, else the windows of the process
    SIZE_T privateBytes = 0;
    SIZE_T workingSet = 0;
    bool gdiCounted = false;  // false when neither way could count them
};

class AppProcess {
public:
    AppProcess() = default;
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    // Starts the exe with the arguments (already quoted as needed) in its own folder; Wine's error
    // channel goes to logPath.
    bool Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& logPath);
    bool Alive() const;
    // Waits for the end; the exit code, or STILL_ACTIVE after the (scaled) timeout.
    DWORD WaitExit(DWORD timeoutMs) const;
    void Kill();
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    Usage Sample() const;
    // The Wine error lines the program wrote so far ("err:" channel), and its crash report if any.
    std::string WineErrors() const;

private:
    PROCESS_INFORMATION info_{};
    std::wstring logPath_;
};

}  // namespace e2e
