#pragma once
// Tests that need a fault caught inside the program skip under an emulated CPU: qemu does not hand
// hardware faults (an unreadable page, a write to address 0) to Wine's handlers, and an exception
// caught by a handler that unwinds does not come back whole.

#include <windows.h>

#include <gtest/gtest.h>

// Set by tools/wine-session when i386 programs run through qemu.
inline bool RunsEmulated() { return ::GetEnvironmentVariableW(L"TRELVO_EMULATED", nullptr, 0) != 0; }

#define SKIP_WITHOUT_CAUGHT_FAULTS() \
    if (RunsEmulated())              \
    GTEST_SKIP() << "needs faults caught inside the program, which Wine under qemu does not deliver"
