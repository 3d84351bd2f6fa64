// Linked into every Windows test program: a crash ends the program at once with a failure instead of
// waiting in a dialog that nobody answers (the program's crash report writes to stderr then).

#include <windows.h>

namespace {

struct QuietFaults {
    QuietFaults() { ::SetErrorMode(::GetErrorMode() | SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS); }
} gQuietFaults;

}  // namespace
