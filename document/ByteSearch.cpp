#include "document/ByteSearch.h"

#include <windows.h>

#include <emmintrin.h>

#include <algorithm>
#include <cstring>

namespace {

bool HasSse2() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("sse2") != 0;
    }();
    return has;
}

// Candidates [first, first + 16) whose bytes at offsets a and b (the ends of the fixed run) may match:
// bit i for candidate first + i.
__attribute__((target("sse2"))) inline unsigned Candidates(const uint8_t* first, int a, int b, uint8_t a1,
                                                           uint8_t a2, uint8_t b1, uint8_t b2) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + a));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + b));
    const __m128i ex = _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8(static_cast<char>(a1))),
                                    _mm_cmpeq_epi8(x, _mm_set1_epi8(static_cast<char>(a2))));
    const __m128i ey = _mm_or_si128(_mm_cmpeq_epi8(y, _mm_set1_epi8(static_cast<char>(b1))),
                                    _mm_cmpeq_epi8(y, _mm_set1_epi8(static_cast<char>(b2))));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(ex, ey)));
}

}  // namespace

int ByteSearch::Setup(const uint8_t* pattern, const uint8_t* mask, int length) {
    length_ = runLength_ = runStart_ = runEnd_ = 0;
    if (length <= 0 || !pattern)
        return 0;
    length_ = std::min(length, kMaxLength);
    std::memcpy(pattern_, pattern, length_);
    std::memcpy(otherCase_, pattern, length_);
    if (mask)
        std::memcpy(mask_, mask, length_);
    else
        std::memset(mask_, 0, length_);

    int run = 0;
    for (int i = 0; i <= length_; ++i) {
        if (i == length_ || mask_[i]) {
            if (run > 0 && run >= runLength_) {
                runLength_ = run;
                runStart_ = i - run;
            }
            run = 0;
        } else {
            ++run;
        }
    }
    runEnd_ = runStart_ + runLength_;

    for (int b = 0; b < 256; ++b)
        fold_[b] = static_cast<uint8_t>(b);
    if (!caseSensitive) {
        for (int i = 0; i < length_; ++i) {
            CHAR c = static_cast<CHAR>(otherCase_[i]);
            if (IsCharLowerA(c))
                CharUpperBuffA(&c, 1);
            else if (IsCharUpperA(c))
                CharLowerBuffA(&c, 1);
            otherCase_[i] = static_cast<uint8_t>(c);
        }
        CharUpperBuffA(reinterpret_cast<LPSTR>(fold_ + 1), 255);
    }
    if (oem) {
        CharToOemBuffA(reinterpret_cast<LPCSTR>(pattern_), reinterpret_cast<LPSTR>(pattern_), length_);
        CharToOemBuffA(reinterpret_cast<LPCSTR>(otherCase_), reinterpret_cast<LPSTR>(otherCase_), length_);
        uint8_t ansi[256], inOem[256], upperInOem[256];
        for (int b = 0; b < 256; ++b)
            ansi[b] = static_cast<uint8_t>(b);
        CharToOemBuffA(reinterpret_cast<LPCSTR>(ansi + 1), reinterpret_cast<LPSTR>(inOem + 1), 255);
        CharToOemBuffA(reinterpret_cast<LPCSTR>(fold_ + 1), reinterpret_cast<LPSTR>(upperInOem + 1), 255);
        inOem[0] = upperInOem[0] = 0;
        for (int b = 0; b < 256; ++b)
            fold_[b] = static_cast<uint8_t>(b);
        for (int b = 0; b < 256; ++b)
            fold_[inOem[b]] = upperInOem[b];
    }

    const int L = runLength_;
    const int S = runStart_;
    for (int b = 0; b < 256; ++b)
        forward_[b] = backward_[b] = L;
    // Both cases of each byte are entered, so a fold that does not pair them cannot skip a hit.
    for (int i = 0; i + 1 < L; ++i) {
        forward_[fold_[pattern_[S + i]]] = L - 1 - i;
        forward_[fold_[otherCase_[S + i]]] = L - 1 - i;
    }
    for (int j = L - 1; j >= 1; --j) {
        backward_[fold_[pattern_[S + j]]] = j;
        backward_[fold_[otherCase_[S + j]]] = j;
    }
    if (L > 0) {
        for (int b = 0; b < 256; ++b) {
            const uint8_t f = fold_[b];
            const bool last = f == fold_[pattern_[S + L - 1]] || f == fold_[otherCase_[S + L - 1]];
            const bool first = f == fold_[pattern_[S]] || f == fold_[otherCase_[S]];
            forwardByByte_[b] = last ? 0 : forward_[f];
            backwardByByte_[b] = first ? 0 : backward_[f];
        }
    }
    return runLength_;
}

bool ByteSearch::MatchesAt(const uint8_t* at) const {
    for (int i = length_ - 1; i >= 0; --i) {
        const uint8_t b = at[i];
        if (b != pattern_[i] && b != otherCase_[i] && !mask_[i])
            return false;
    }
    return true;
}

int ByteSearch::FindForward(const uint8_t* buffer, int length) const {
    if (length_ <= 0 || !buffer || length < length_)
        return -1;
    const int limit = length - length_;
    if (runLength_ == 0) {
        for (int c = 0; c <= limit; ++c)
            if (MatchesAt(buffer + c))
                return c;
        return -1;
    }
    int c = 0;
    // Sixteen candidates at a time, filtered by both ends of the fixed run; each survivor is compared.
    if (HasSse2()) {
        const int a = runStart_, b = runEnd_ - 1;
        for (; c + 15 <= limit; c += 16) {
            for (unsigned m = Candidates(buffer + c, a, b, pattern_[a], otherCase_[a], pattern_[b], otherCase_[b]); m;
                 m &= m - 1) {
                const int at = c + __builtin_ctz(m);
                if (MatchesAt(buffer + at))
                    return at;
            }
        }
        if (c > limit)
            return -1;
    }
    const uint8_t* probe = buffer + runEnd_ - 1;   // aligned with the last byte of the fixed run
    const int32_t* skip = forwardByByte_;
    for (;;) {
        // Skip until the probe holds the run's last byte (skip 0), four steps at a time.
        int32_t k = skip[probe[c]];
        while (k != 0) {
            c += k;
            if (c > limit)
                return -1;
            k = skip[probe[c]];
            if (k == 0)
                break;
            c += k;
            if (c > limit)
                return -1;
            k = skip[probe[c]];
        }
        if (MatchesAt(buffer + c))
            return c;
        c += forward_[fold_[probe[c]]];
        if (c > limit)
            return -1;
    }
}

int ByteSearch::FindBackward(const uint8_t* buffer, int end) const {
    if (length_ <= 0 || !buffer || end < length_)
        return -1;
    int c = end - length_;
    if (runLength_ == 0) {
        for (; c >= 0; --c)
            if (MatchesAt(buffer + c))
                return c;
        return -1;
    }
    if (HasSse2()) {
        const int a = runStart_, b = runEnd_ - 1;
        for (; c - 15 >= 0; c -= 16) {
            const int first = c - 15;
            for (unsigned m = Candidates(buffer + first, a, b, pattern_[a], otherCase_[a], pattern_[b], otherCase_[b]);
                 m; m &= ~(1u << (31 - __builtin_clz(m)))) {
                const int at = first + 31 - __builtin_clz(m);
                if (MatchesAt(buffer + at))
                    return at;
            }
        }
        if (c < 0)
            return -1;
    }
    const uint8_t* probe = buffer + runStart_;   // aligned with the first byte of the fixed run
    const int32_t* skip = backwardByByte_;
    for (;;) {
        int32_t k = skip[probe[c]];
        while (k != 0) {
            c -= k;
            if (c < 0)
                return -1;
            k = skip[probe[c]];
        }
        if (MatchesAt(buffer + c))
            return c;
        c -= backward_[fold_[probe[c]]];
        if (c < 0)
            return -1;
    }
}
