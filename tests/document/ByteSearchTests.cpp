#include "document/ByteSearch.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <vector>

namespace {

bool NaiveAt(const std::vector<uint8_t>& buf, int at, const std::vector<uint8_t>& pat,
             const std::vector<uint8_t>& mask, bool fold) {
    for (size_t i = 0; i < pat.size(); ++i) {
        if (mask[i])
            continue;
        uint8_t a = buf[at + i], b = pat[i];
        if (fold && a < 128 && b < 128) {
            a = static_cast<uint8_t>(std::toupper(a));
            b = static_cast<uint8_t>(std::toupper(b));
        }
        if (a != b)
            return false;
    }
    return true;
}

// Every hit, forward (repeating from the last hit + 1) and backward (repeating to the last hit + length - 1).
std::vector<int> AllForward(const ByteSearch& s, const std::vector<uint8_t>& buf) {
    std::vector<int> hits;
    int from = 0;
    for (;;) {
        const int h = s.FindForward(buf.data() + from, static_cast<int>(buf.size()) - from);
        if (h < 0)
            break;
        hits.push_back(from + h);
        from += h + 1;
    }
    return hits;
}

std::vector<int> AllBackward(const ByteSearch& s, const std::vector<uint8_t>& buf) {
    std::vector<int> hits;
    int end = static_cast<int>(buf.size());
    for (;;) {
        const int h = s.FindBackward(buf.data(), end);
        if (h < 0)
            break;
        hits.push_back(h);
        end = h + s.Length() - 1;
    }
    return hits;
}

TEST(ByteSearch, RandomAgainstNaive) {
    std::mt19937 rng(143);
    for (int round = 0; round < 3000; ++round) {
        const bool fold = round % 3 == 0;
        const int n = 1 + rng() % 200, m = 1 + rng() % 8;
        std::vector<uint8_t> buf(n), pat(m), mask(m);
        const uint8_t alphabet[] = { 'a', 'B', 'A', 'b', 0, 0xFF };
        for (auto& b : buf)
            b = alphabet[rng() % 6];
        for (int i = 0; i < m; ++i) {
            pat[i] = alphabet[rng() % 6];
            mask[i] = rng() % 4 == 0;
        }
        if (rng() % 4 == 0 && n >= m) {   // plant hits at the start and at the end
            std::copy(pat.begin(), pat.end(), buf.begin());
            std::copy(pat.begin(), pat.end(), buf.end() - m);
        }
        ByteSearch s;
        s.caseSensitive = !fold;
        if (s.Setup(pat.data(), mask.data(), m) == 0)
            continue;
        std::vector<int> expected;
        for (int at = 0; at + m <= n; ++at)
            if (NaiveAt(buf, at, pat, mask, fold))
                expected.push_back(at);
        ASSERT_EQ(AllForward(s, buf), expected) << round;
        std::vector<int> backward(expected.rbegin(), expected.rend());
        ASSERT_EQ(AllBackward(s, buf), backward) << round;
    }
}

TEST(ByteSearch, EdgeCases) {
    ByteSearch s;
    s.caseSensitive = 1;
    const uint8_t any[3] = { 1, 1, 1 };
    const uint8_t pat[3] = { 0x8B, 0x00, 0x24 };
    EXPECT_EQ(s.Setup(pat, any, 3), 0);        // only "any" positions
    EXPECT_EQ(s.Setup(pat, nullptr, 0), 0);
    const uint8_t mask[3] = { 0, 1, 0 };
    EXPECT_EQ(s.Setup(pat, mask, 3), 1);       // runs of equal length: the last wins
    const uint8_t buf[] = { 0x8B, 0x44, 0x24, 0x8B, 0x45 };
    EXPECT_EQ(s.FindForward(buf, 5), 0);
    EXPECT_EQ(s.FindForward(buf + 1, 4), -1);  // 8B 45 runs out of the buffer
    EXPECT_EQ(s.FindBackward(buf, 5), 0);
    EXPECT_EQ(s.FindForward(buf, 2), -1);      // pattern longer than the buffer
    EXPECT_EQ(s.FindBackward(buf, 2), -1);

    std::vector<uint8_t> big(600, 0x41);
    EXPECT_EQ(s.Setup(big.data(), nullptr, 600), 520);
    EXPECT_EQ(s.Length(), 520);
}

TEST(ByteSearch, CaseFlag) {
    const uint8_t pat[2] = { 0x41, 0x42 };
    const uint8_t texts[3][2] = { { 0x61, 0x62 }, { 0x41, 0x62 }, { 0x41, 0x42 } };
    ByteSearch s;
    s.Setup(pat, nullptr, 2);
    for (const auto& t : texts)
        EXPECT_EQ(s.FindForward(t, 2), 0);
    s.caseSensitive = 1;
    s.Setup(pat, nullptr, 2);
    EXPECT_EQ(s.FindForward(texts[0], 2), -1);
    EXPECT_EQ(s.FindForward(texts[1], 2), -1);
    EXPECT_EQ(s.FindForward(texts[2], 2), 0);
}

TEST(ByteSearch, OemPattern) {
    // Plain ASCII is the same in the OEM page: a letter pattern still finds itself in either case.
    ByteSearch s;
    s.oem = 1;
    const uint8_t pat[3] = { 'a', 'b', 'c' };
    ASSERT_EQ(s.Setup(pat, nullptr, 3), 3);
    const uint8_t buf[] = { 'x', 'A', 'b', 'C' };
    EXPECT_EQ(s.FindForward(buf, 4), 1);
}

}  // namespace
