#include "toolkit/ScrollMath.h"

namespace scroll {

uint64_t MulDiv(uint64_t a, uint64_t b, uint64_t c) {
    if (c == 0)
        return UINT64_MAX;
    const uint64_t a0 = static_cast<uint32_t>(a), a1 = a >> 32;
    const uint64_t b0 = static_cast<uint32_t>(b), b1 = b >> 32;
    const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const uint64_t mid = (p00 >> 32) + static_cast<uint32_t>(p01) + static_cast<uint32_t>(p10);
    const uint64_t lo = (mid << 32) | static_cast<uint32_t>(p00);
    const uint64_t hi = p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32);
    if (hi == 0)
        return lo / c;
    if (hi >= c)
        return UINT64_MAX;
    // Long division of hi:lo by c, one bit at a time; the remainder stays below c.
    uint64_t rem = hi, q = 0;
    for (int i = 63; i >= 0; --i) {
        const bool carry = (rem >> 63) != 0;
        rem = (rem << 1) | ((lo >> i) & 1);
        q <<= 1;
        if (carry || rem >= c) {
            rem -= c;
            q |= 1;
        }
    }
    return q;
}

int64_t MulDivSigned(uint64_t a, int64_t b, uint64_t c) {
    const bool negative = b < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(b) : static_cast<uint64_t>(b);
    const uint64_t q = MulDiv(a, magnitude, c);
    if (negative)
        return q >= static_cast<uint64_t>(kMax) + 1 ? kMin : -static_cast<int64_t>(q);
    return q >= static_cast<uint64_t>(kMax) ? kMax : static_cast<int64_t>(q);
}

}  // namespace scroll
