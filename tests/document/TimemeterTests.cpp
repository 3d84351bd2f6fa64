#include "document/HTimemeter.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(Timemeter, TextAtEachBoundary) {
    const struct {
        int32_t ms;
        const wchar_t* text;
    } rows[] = {
        { 999, L"0.999s" }, { 1000, L"1.000s" }, { 5999, L"5s" }, { 59999, L"59s" }, { 60000, L"1m 00s" },
        { 3599999, L"59m 59s" }, { 3600999, L"1h 00m 00s" }, { 36000000, L"10h 00m 00s" },
    };
    for (const auto& row : rows) {
        wchar_t text[32];
        HTimemeter::FormatElapsed(row.ms, text);
        EXPECT_STREQ(text, row.text) << row.ms;
    }
}

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
