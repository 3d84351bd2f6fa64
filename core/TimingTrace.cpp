#include "core/TimingTrace.h"

#include "core/SectionLock.h"
#include "core/StringW.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace TimingTrace {
namespace {

struct Trace {
    HANDLE file = INVALID_HANDLE_VALUE;
    LARGE_INTEGER frequency{};
    CriticalSection lock;

    Trace() {
        wchar_t path[MAX_PATH];
        const DWORD length = ::GetEnvironmentVariableW(L"TRELVO_TIMING", path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return;
        ::QueryPerformanceFrequency(&frequency);
        file = ::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    }
};

Trace& Instance() {
    static Trace trace;
    return trace;
}

}  // namespace

bool On() { return Instance().file != INVALID_HANDLE_VALUE; }

void Event(const wchar_t* format, ...) {
    Trace& trace = Instance();
    if (trace.file == INVALID_HANDLE_VALUE)
        return;
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    wchar_t text[512];
    va_list args;
    va_start(args, format);
    FormatIntoW(text, 512, format, args);
    va_end(args);
    char line[1100];
    const long long micros = now.QuadPart / trace.frequency.QuadPart * 1000000 +
                             now.QuadPart % trace.frequency.QuadPart * 1000000 / trace.frequency.QuadPart;
    int n = std::snprintf(line, sizeof line, "%lld ", micros);
    const int bytes =
        ::WideCharToMultiByte(CP_UTF8, 0, text, -1, line + n, static_cast<int>(sizeof line) - n - 2, nullptr, nullptr);
    if (bytes > 0)
        n += bytes - 1;
    line[n++] = '\n';
    SectionLock guard(trace.lock.Get());
    DWORD written = 0;
    ::WriteFile(trace.file, line, static_cast<DWORD>(n), &written, nullptr);
}

}  // namespace TimingTrace
