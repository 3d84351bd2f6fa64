#include <gtest/gtest.h>
#include <windows.h>
#include <mutex>
int TrelvoProbe();
TEST(Probe, Runs) { std::mutex m; std::lock_guard<std::mutex> g(m); EXPECT_EQ(42, TrelvoProbe()); EXPECT_EQ(2u, sizeof(wchar_t)); }
