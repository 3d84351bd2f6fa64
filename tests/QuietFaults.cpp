// Linked into every Windows test program: a crash ends the program at once with a failure instead of
// waiting in a dialog that nobody answers. The program's crash report writes to stderr then, here and
// in the programs a test starts (they inherit the environment).
//
// OutputDebugStringA raises an exception and catches it again, which an emulated CPU does not survive
// (see tests/Emulation.h); GoogleTest calls it for every failure and skip. The program's calls go
// through the import slot defined here, which passes them on unless emulated.

#include "tests/Emulation.h"

#include <windows.h>

namespace {

struct QuietFaults {
    QuietFaults() {
        ::SetErrorMode(::GetErrorMode() | SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS);
        ::SetEnvironmentVariableW(L"TRELVO_CRASH_TO_STDERR", L"1");
    }
} gQuietFaults;

void WINAPI DebugOutput(LPCSTR text) {
    using Output = void(WINAPI*)(LPCSTR);
    static const Output system = reinterpret_cast<Output>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "OutputDebugStringA")));
    if (system && !RunsEmulated())
        system(text);
}

}  // namespace

extern "C" {
void(WINAPI* gDebugOutputSlot)(LPCSTR) __asm__("__imp__OutputDebugStringA@4") = &DebugOutput;
}
