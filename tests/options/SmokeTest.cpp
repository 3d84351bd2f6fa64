#include "options/Options.h"
#include <gtest/gtest.h>
TEST(Smoke, Builds) { Options o; EXPECT_EQ(o.file.dumpBytesPerLine.value, 16); }
