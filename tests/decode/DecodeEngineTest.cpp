#include <gtest/gtest.h>

#include "decode/DecodeEngineIa32.h"

TEST(DecodeEngine, EqualArgumentsGiveTheAddress) {
    DecodeEngineIa32 engine(nullptr, 32);
    EXPECT_EQ(engine.InsnStartAt(0x1000, 0x1000), 0x1000);
}
