#include "core/SectionLock.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

DWORD WINAPI TryFromOtherThread(void* section) {
    if (!TryEnterCriticalSection(static_cast<CRITICAL_SECTION*>(section))) return 0;
    LeaveCriticalSection(static_cast<CRITICAL_SECTION*>(section));
    return 1;
}

bool FreeForOtherThreads(CriticalSection& section) {
    HANDLE thread = CreateThread(nullptr, 0, TryFromOtherThread, section.Get(), 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    DWORD result = 0;
    GetExitCodeThread(thread, &result);
    CloseHandle(thread);
    return result == 1;
}

TEST(SectionLock, HeldForItsScopeAndReleasedByExceptions) {
    CriticalSection section;
    {
        SectionLock lock(section.Get());
        EXPECT_FALSE(FreeForOtherThreads(section));
    }
    EXPECT_TRUE(FreeForOtherThreads(section));
    try {
        SectionLock lock(section.Get());
        throw std::runtime_error("leave");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(FreeForOtherThreads(section));
    EXPECT_EQ(section.Get()->RecursionCount, 0);
}

TEST(SectionLock, NullDoesNothing) {
    SectionLock lock(nullptr);
    SUCCEED();
}

}  // namespace
