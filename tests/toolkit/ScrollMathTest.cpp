#include "toolkit/ScrollMath.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct U128 {
    uint64_t hi, lo;
};

// Schoolbook product for checking the division.
U128 Mul(uint64_t a, uint64_t b) {
    U128 r = { 0, 0 };
    for (int i = 0; i < 64; ++i)
        if ((b >> i) & 1) {
            const uint64_t lo = a << i;
            const uint64_t hi = i ? a >> (64 - i) : 0;
            const uint64_t sum = r.lo + lo;
            r.hi += hi + (sum < r.lo);
            r.lo = sum;
        }
    return r;
}
bool LessEq(U128 x, U128 y) { return x.hi < y.hi || (x.hi == y.hi && x.lo <= y.lo); }
U128 Add(U128 x, uint64_t y) {
    const uint64_t lo = x.lo + y;
    return { x.hi + (lo < x.lo), lo };
}

struct MulDivRow {
    uint64_t a, b, c, expected;
};

TEST(ScrollMath, MulDivTable) {
    const MulDivRow rows[] = {
        { 0, 0, 1, 0 },
        { 7, 3, 2, 10 },
        { 1000, UINT64_MAX, UINT64_MAX, 1000 },                 // track x whole range / whole range
        { UINT64_MAX, UINT64_MAX, UINT64_MAX, UINT64_MAX },
        { 1ull << 63, 4, 8, 1ull << 62 },                       // product beyond 64 bits
        { 1ull << 53, 1000, 1ull << 53, 1000 },                 // above 2^52: a double would round
        { (1ull << 53) + 1, 3, 3, (1ull << 53) + 1 },
        { UINT64_MAX, 2, 1, UINT64_MAX },                       // quotient beyond 64 bits: held
        { 5, 5, 0, UINT64_MAX },                                // no divisor
        { 0xFFFFFFFFFFFFFFFFull, 0x8000, 0x8001, 0xFFFE0003FFF8000Eull },
    };
    for (const MulDivRow& r : rows)
        EXPECT_EQ(scroll::MulDiv(r.a, r.b, r.c), r.expected) << r.a << " * " << r.b << " / " << r.c;
}

TEST(ScrollMath, MulDivIsFloorOfTheFullProduct) {
    std::mt19937_64 rng(7);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t a = rng() >> (rng() % 64), b = rng() >> (rng() % 64);
        const uint64_t c = (rng() >> (rng() % 64)) | 1;
        const uint64_t q = scroll::MulDiv(a, b, c);
        const U128 p = Mul(a, b);
        if (q == UINT64_MAX && !LessEq(p, Add(Mul(UINT64_MAX, c), c - 1)))
            continue;   // held: the quotient does not fit
        EXPECT_TRUE(LessEq(Mul(q, c), p)) << a << " " << b << " " << c;
        EXPECT_FALSE(LessEq(Add(Mul(q, c), c), p)) << a << " " << b << " " << c;
    }
}

TEST(ScrollMath, SignedAndSaturating) {
    EXPECT_EQ(scroll::MulDivSigned(UINT64_MAX, -3, UINT64_MAX), -3);
    EXPECT_EQ(scroll::MulDivSigned(UINT64_MAX, 32767, 1), scroll::kMax);
    EXPECT_EQ(scroll::MulDivSigned(UINT64_MAX, -32768, 1), scroll::kMin);
    EXPECT_EQ(scroll::Add(scroll::kMax, 1), scroll::kMax);
    EXPECT_EQ(scroll::Sub(scroll::kMin, 1), scroll::kMin);
    EXPECT_EQ(scroll::Sub(0, scroll::kMin), scroll::kMax);
    EXPECT_EQ(scroll::Span(scroll::kMin, scroll::kMax), UINT64_MAX);
    EXPECT_EQ(scroll::Span(5, 3), 0u);
}

}  // namespace
