#pragma once
// Tests that need a hardware fault (a read of an unreadable page, a write to address 0) inside the
// program skip under an emulated CPU: qemu does not hand such faults to Wine's handlers.

#include <windows.h>

#include <gtest/gtest.h>

// Set by tools/wine-session when i386 programs run through qemu.
inline bool RunsEmulated() { return ::GetEnvironmentVariableW(L"TRELVO_EMULATED", nullptr, 0) != 0; }

#define SKIP_WITHOUT_HARDWARE_FAULTS()                                                   \
    if (RunsEmulated())                                                                  \
    GTEST_SKIP() << "needs a hardware fault, which qemu does not deliver to Wine's handlers"
