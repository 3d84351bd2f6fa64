#pragma once
// 64-bit arithmetic for scroll positions that never wraps: saturating sums and differences, and a
// product taken at full width before its division (positions span the whole 64-bit range, track
// lengths are pixels, and i686 has no 128-bit integer).

#include <cstdint>
#include <limits>

namespace scroll {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

inline int64_t Add(int64_t a, int64_t b) {
    int64_t r;
    return __builtin_add_overflow(a, b, &r) ? (b > 0 ? kMax : kMin) : r;
}
inline int64_t Sub(int64_t a, int64_t b) {
    int64_t r;
    return __builtin_sub_overflow(a, b, &r) ? (b < 0 ? kMax : kMin) : r;
}

// Unsigned distance from `from` up to `to` (0 when `to` lies below `from`).
inline uint64_t Span(int64_t from, int64_t to) {
    return to > from ? static_cast<uint64_t>(to) - static_cast<uint64_t>(from) : 0;
}

// floor(a * b / c) with the product at 128 bits; UINT64_MAX when the quotient does not fit or c is 0.
uint64_t MulDiv(uint64_t a, uint64_t b, uint64_t c);

// The same with a signed factor; held at the ends of the int64 range.
int64_t MulDivSigned(uint64_t a, int64_t b, uint64_t c);

}  // namespace scroll
