#include "tests/e2e/AppProcess.h"

#include "tests/e2e/ScreenReader.h"

#include <psapi.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace e2e {

std::wstring WindowsPath(const char* path) {
    std::wstring out;
    for (const char* c = path; *c; ++c)
        out += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    if (path[0] == '/')
        out = L"Z:" + out;
    return out;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string ReadWholeFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

namespace {

void DeleteTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(path);
            else
                ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, base);
    for (unsigned n = 0;; ++n) {
        wchar_t name[64];
        std::swprintf(name, 64, L"trelvo-e2e-%lu-%u", ::GetCurrentProcessId(), n);
        path_ = std::wstring(base) + name;
        if (::CreateDirectoryW(path_.c_str(), nullptr))
            break;
    }
}

TempFolder::~TempFolder() { DeleteTree(path_); }

AppProcess::~AppProcess() {
    Kill();
    if (info_.hProcess)
        ::CloseHandle(info_.hProcess);
    if (info_.hThread)
        ::CloseHandle(info_.hThread);
}

bool AppProcess::Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& logPath) {
    logPath_ = logPath;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE log = ::CreateFileW(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    // Wine writes its channels to the process's standard error: only the error channel, whatever
    // the session that runs the test asked for.
    std::vector<wchar_t> environment;
    if (wchar_t* block = ::GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
            if (_wcsnicmp(entry, L"WINEDEBUG=", 10) == 0)
                continue;
            environment.insert(environment.end(), entry, entry + wcslen(entry) + 1);
        }
        ::FreeEnvironmentStringsW(block);
    }
    const wchar_t winedebug[] = L"WINEDEBUG=err+all,fixme-all";
    environment.insert(environment.end(), winedebug, winedebug + wcslen(winedebug) + 1);
    environment.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = log;
    startup.hStdError = log;
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    const std::wstring folder = FolderOf(exe);
    const BOOL started = ::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                                          CREATE_UNICODE_ENVIRONMENT, environment.data(), folder.c_str(),
                                          &startup, &info_);
    if (log != INVALID_HANDLE_VALUE)
        ::CloseHandle(log);
    return started != FALSE;
}

bool AppProcess::Alive() const {
    return info_.hProcess && ::WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD AppProcess::WaitExit(DWORD timeoutMs) const {
    if (!info_.hProcess)
        return 0;
    ::WaitForSingleObject(info_.hProcess, Scaled(timeoutMs));
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

void AppProcess::Kill() {
    if (Alive()) {
        ::TerminateProcess(info_.hProcess, 99);
        ::WaitForSingleObject(info_.hProcess, Scaled(5000));
    }
}

namespace {

struct WindowCount {
    DWORD process;
    DWORD count;
};

BOOL CALLBACK CountChild(HWND, LPARAM data) {
    ++reinterpret_cast<WindowCount*>(data)->count;
    return TRUE;
}

BOOL CALLBACK CountTop(HWND window, LPARAM data) {
    auto* counter = reinterpret_cast<WindowCount*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == counter->process) {
        ++counter->count;
        ::EnumChildWindows(window, CountChild, data);
    }
    return TRUE;
}

// Wine keeps no count for GetGuiResources; its GDI handle table (named in the process's PEB, as on
// Windows) tells which handles are alive. Entries of Wine's table: object (8 bytes), owner (4),
// unique (2: the extended type with the stock flag 0x80, the generation), type (1), flags (1),
// user pointer (8).
bool CountWineGdi(HANDLE process, DWORD& count) {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    if (!ntdll || !::GetProcAddress(ntdll, "wine_get_version"))
        return false;
    using QueryInformation = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryInformation>(
        reinterpret_cast<void (*)()>(::GetProcAddress(ntdll, "NtQueryInformationProcess")));
    if (!query)
        return false;
    struct BasicInformation {
        LONG exitStatus;
        PVOID peb;
        ULONG_PTR affinity;
        LONG basePriority;
        ULONG_PTR processId;
        ULONG_PTR parentId;
    } basic{};
    if (query(process, 0, &basic, sizeof(basic), nullptr) != 0 || !basic.peb)
        return false;
    DWORD table = 0;
    SIZE_T read = 0;
    if (!::ReadProcessMemory(process, static_cast<char*>(basic.peb) + 0x94, &table, 4, &read) || !table)
        return false;
    constexpr size_t kEntry = 24, kEntries = 0x10000;
    std::vector<unsigned char> entries(kEntry * kEntries);
    if (!::ReadProcessMemory(process, reinterpret_cast<void*>(static_cast<ULONG_PTR>(table)), entries.data(),
                             entries.size(), &read))
        return false;
    count = 0;
    for (size_t i = 0; i < kEntries; ++i) {
        const unsigned char* entry = &entries[i * kEntry];
        if (entry[14] != 0 && !(entry[12] & 0x80))
            ++count;
    }
    return true;
}

}  // namespace

Usage AppProcess::Sample() const {
    Usage usage;
    if (!Alive())
        return usage;
    usage.gdiObjects = ::GetGuiResources(info_.hProcess, GR_GDIOBJECTS);
    usage.userObjects = ::GetGuiResources(info_.hProcess, GR_USEROBJECTS);
    usage.gdiCounted = usage.gdiObjects != 0 || CountWineGdi(info_.hProcess, usage.gdiObjects);
    if (usage.userObjects == 0) {
        WindowCount counter{info_.dwProcessId, 0};
        ::EnumWindows(CountTop, reinterpret_cast<LPARAM>(&counter));
        usage.userObjects = counter.count;
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (::GetProcessMemoryInfo(info_.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory))) {
        usage.privateBytes = memory.PrivateUsage;
        usage.workingSet = memory.WorkingSetSize;
    }
    // Wine leaves the private usage 0; its page-file usage counts the same committed memory.
    if (usage.privateBytes == 0)
        usage.privateBytes = memory.PagefileUsage;
    return usage;
}

std::string AppProcess::WineErrors() const {
    std::istringstream log(ReadWholeFile(logPath_));
    std::string line, errors;
    bool report = false;   // the program's crash report, which a test run sends here, runs to the end
    while (std::getline(log, line)) {
        report = report || line.find("Crash report:") != std::string::npos;
        if (report || line.find("err:") != std::string::npos)
            errors += line + "\n";
    }
    return errors;
}

}  // namespace e2e
