#include "document/HTimemeter.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(Timemeter, ScopeNamesAndMeasures) {
    HTimemeterScope scope(L"%s %d", L"FindThread", 2);
    EXPECT_STREQ(scope.Name(), L"FindThread 2");
    EXPECT_NE(scope.meter.startTicks, 0);
    Sleep(20);
    scope.meter.Stop();
    EXPECT_EQ(scope.meter.startTicks, 0);
    EXPECT_GE(scope.meter.elapsed, 10);
    EXPECT_STRNE(scope.meter.ElapsedText(), L"0s");
}

}  // namespace
