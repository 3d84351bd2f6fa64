#include "document/PatternMatcher.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

struct MatchRow {
    const wchar_t* pattern;
    const wchar_t* text;
    int result;
    int start;
    int length;
};

void CheckRows(const MatchRow* rows, size_t n, bool caseSensitive) {
    for (size_t i = 0; i < n; ++i) {
        const MatchRow& r = rows[i];
        PatternMatcher m;
        m.caseSensitive = caseSensitive;
        ASSERT_TRUE(m.Compile(r.pattern)) << r.pattern;
        EXPECT_EQ(m.Match(r.text), r.result) << r.pattern << L" / " << r.text;
        if (r.result == PatternMatcher::kHit) {
            EXPECT_EQ(m.start, r.start) << r.pattern << L" / " << r.text;
            EXPECT_EQ(m.length, r.length) << r.pattern << L" / " << r.text;
        }
    }
}

TEST(PatternMatcher, Grammar) {
    const MatchRow rows[] = {
        { L"mov", L"  mov eax,1", 0, 2, 3 },
        { L"mov", L"push eax", 1, 0, 0 },
        { L"^mov", L"mov eax,1", 0, 0, 3 },
        { L"^mov", L"  mov eax,1", 1, 0, 0 },
        { L"eax^", L"push eax", 0, 5, 3 },
        { L"eax^", L"mov eax,1", 1, 0, 0 },
        { L"^mov eax,1^", L"mov eax,1", 0, 0, 9 },
        { L"mov eax", L"mov     eax,ebx", 0, 0, 11 },      // a blank run counts as one blank
        { L"mov  eax", L"mov     eax,ebx", 0, 0, 11 },     // and so does one in the pattern
        { L"dd  1", L"dd 1", 0, 0, 4 },
        { L"^a   b^", L"a  b", 0, 0, 4 },
        { L"a\\ \\ b", L"xa   b", 0, 1, 5 },                  // escaped blanks fold with the rest
        { L"a\\ \\ ", L"xa   b", 0, 1, 4 },                   // also as the pattern's last two
        { L"a \\ b", L"a b", 0, 0, 3 },
        { L"a\\  b", L"a    b", 0, 0, 6 },
        { L"!call", L"mov eax,1", 0, 0, 0 },
        { L"!call", L"call foo", 1, 0, 0 },
        { L"^!abc", L"!abcd", 0, 0, 4 },                    // only a leading "!" negates
        { L"^!abc", L"x!abc", 1, 0, 0 },
        { L"!^abc", L"xabc", 0, 0, 0 },
        { L"{!0-9}", L"0123a5", 0, 4, 1 },
        { L"^{!0-9}", L"0123a5", 1, 0, 0 },
        { L"{0-9}{0-9}", L"ab12", 0, 2, 2 },
        { L"{xyz}", L"abc", 1, 0, 0 },
        { L"{W-}", L"\x4e00", 0, 0, 1 },                     // a "-" before "}" runs to U+FFFF
        { L"(jz|jnz) ", L"  jnz short x", 0, 2, 4 },
        { L"^(jz|jnz) ", L"jz short x", 0, 0, 3 },
        { L"^(jz|jnz) ", L"jmp short x", 1, 0, 0 },
        { L"(a(b|c)|d)e", L"xxacex", 0, 2, 3 },
        { L"(a(b|c)|d)e", L"xxdex", 0, 2, 2 },
        { L"m?v", L"mxv", 0, 0, 3 },
        { L"m?v", L"mv", 1, 0, 0 },
        { L"a*c", L"xxabbbcbc", 0, 2, 5 },
        { L"a***c", L"abc", 0, 0, 3 },
        { L"\\*", L"a*b", 0, 1, 1 },
        { L"\\?", L"ab", 1, 0, 0 },
        { L"a\\", L"xa\\", 0, 1, 2 },                        // a trailing backslash is itself
        { L"x\\^", L"x^y", 0, 0, 2 },                        // an escaped caret does not anchor
        { L"{ab", L"xb", 0, 1, 1 },                          // an unterminated set ends with the text
        { L"(ab|cd", L"zzcd", 0, 2, 2 },                     // an unterminated group too
        { L"a|b", L"xa|by", 0, 1, 3 },                       // "|" outside a group is itself
        { L")", L"f(x)", 0, 3, 1 },
        { L"*", L"abc", 0, 0, 0 },
    };
    CheckRows(rows, sizeof rows / sizeof rows[0], true);
}

TEST(PatternMatcher, CaseFolding) {
    const MatchRow insensitive[] = {
        { L"MOV", L"mov eax", 0, 0, 3 },
        { L"mov", L"MOV EAX", 0, 0, 3 },
        { L"{a-c}x", L"Bx", 0, 0, 2 },
        { L"\x0434", L"\x0414", 0, 0, 1 },                   // Cyrillic de in either case
    };
    CheckRows(insensitive, sizeof insensitive / sizeof insensitive[0], false);
    const MatchRow sensitive[] = {
        { L"MOV", L"mov eax", 1, 0, 0 },
        { L"mov", L"mov eax", 0, 0, 3 },
    };
    CheckRows(sensitive, sizeof sensitive / sizeof sensitive[0], true);
}

TEST(PatternMatcher, CompileLimits) {
    PatternMatcher m;
    EXPECT_FALSE(m.Compile(L""));
    EXPECT_FALSE(m.Compile(nullptr));
    EXPECT_TRUE(m.Compile(std::wstring(251, L'a').c_str()));
    EXPECT_FALSE(m.Compile(std::wstring(252, L'a').c_str()));
    ASSERT_TRUE(m.Compile(L"!^abc"));
    EXPECT_STREQ(m.Pattern(), L"!ABC*");   // folded: the case does not matter
    ASSERT_TRUE(m.Compile(L"abc"));
    EXPECT_STREQ(m.Pattern(), L"*ABC*");
}

TEST(PatternMatcher, EmptyTextAndNesting) {
    PatternMatcher m;
    ASSERT_TRUE(m.Compile(L"!abc"));
    EXPECT_EQ(m.Match(L""), PatternMatcher::kNoHit);   // also for a negated pattern
    ASSERT_TRUE(m.Compile(L"((((((((a))))))))"));       // 8 deep
    EXPECT_EQ(m.Match(L"xa"), PatternMatcher::kHit);
    ASSERT_TRUE(m.Compile(L"(((((((((a)))))))))"));     // 9 deep
    EXPECT_EQ(m.Match(L"xa"), PatternMatcher::kTooDeep);
    ASSERT_TRUE(m.Compile(L"!(((((((((a)))))))))"));
    EXPECT_EQ(m.Match(L"xa"), PatternMatcher::kTooDeep);
}

TEST(PatternMatcher, MatchNextFindsEveryHit) {
    PatternMatcher m;
    ASSERT_TRUE(m.Compile(L"ax"));
    const wchar_t* text = L"ax bx ax ax";
    std::vector<int> starts;
    for (int r = m.Match(text); r == PatternMatcher::kHit; r = m.MatchNext()) {
        starts.push_back(m.start);
        EXPECT_EQ(m.matchStart, text + m.start);
        EXPECT_EQ(m.matchEnd, text + m.start + 2);
    }
    EXPECT_EQ(starts, (std::vector<int>{ 0, 6, 9 }));

    ASSERT_TRUE(m.Compile(L"^ax"));                      // anchored: one hit only
    EXPECT_EQ(m.Match(text), PatternMatcher::kHit);
    EXPECT_EQ(m.MatchNext(), PatternMatcher::kNoHit);
    ASSERT_TRUE(m.Compile(L"!zz"));
    EXPECT_EQ(m.Match(text), PatternMatcher::kHit);
    EXPECT_EQ(m.MatchNext(), PatternMatcher::kNoHit);
    PatternMatcher fresh;
    EXPECT_EQ(fresh.MatchNext(), PatternMatcher::kNoHit);
}

// Plain backtracking over literals, "?" and "*" on whole texts (no blanks in the alphabet).
bool Reference(const wchar_t* p, const wchar_t* t) {
    if (!*p)
        return !*t;
    if (*p == L'*')
        return Reference(p + 1, t) || (*t && Reference(p, t + 1));
    if (!*t)
        return false;
    return (*p == L'?' || *p == *t) && Reference(p + 1, t + 1);
}

TEST(PatternMatcher, RandomAgainstReference) {
    std::mt19937 rng(8);
    const wchar_t patternChars[] = L"ab?*";
    PatternMatcher m;   // one matcher, compiled again each round
    m.caseSensitive = 1;
    for (int round = 0; round < 4000; ++round) {
        std::wstring p, t;
        const int pn = 1 + rng() % 7, tn = 1 + rng() % 10;
        for (int i = 0; i < pn; ++i)
            p += patternChars[rng() % 4];
        for (int i = 0; i < tn; ++i)
            t += L"ab"[rng() % 2];
        ASSERT_TRUE(m.Compile(p.c_str()));
        const bool expected = Reference((L"*" + p + L"*").c_str(), t.c_str());
        ASSERT_EQ(m.Match(t.c_str()) == PatternMatcher::kHit, expected) << p << L" / " << t;
        if (expected) {
            ASSERT_GE(m.start, 0);
            ASSERT_LE(m.start + m.length, static_cast<int>(t.size()));
        }
    }
}

TEST(PatternMatcher, RandomPatternsNeverFail) {
    std::mt19937 rng(42);
    const wchar_t chars[] = L"ab ?*{}!-^()|\\x";
    PatternMatcher m;
    for (int round = 0; round < 3000; ++round) {
        std::wstring p, t;
        const int pn = 1 + rng() % 40, tn = rng() % 60;
        for (int i = 0; i < pn; ++i)
            p += chars[rng() % 15];
        for (int i = 0; i < tn; ++i)
            t += L"ab x(|)"[rng() % 7];
        if (!m.Compile(p.c_str()))
            continue;
        const int r = m.Match(t.c_str());
        ASSERT_TRUE(r == 0 || r == 1 || r == 17);
        if (r == 0) {
            ASSERT_GE(m.start, 0);
            ASSERT_LE(m.start + m.length, static_cast<int>(t.size()));
            for (int k = 0; k < 5 && m.MatchNext() == 0; ++k)
                ASSERT_LE(m.start + m.length, static_cast<int>(t.size()));
        }
    }
}

TEST(PatternMatcher, ManyStarsStayFast) {
    std::wstring p;
    for (int i = 0; i < 40; ++i)
        p += L"a*";
    p += L"b";
    PatternMatcher m;
    ASSERT_TRUE(m.Compile(p.c_str()));
    const std::wstring text(4000, L'a');
    EXPECT_EQ(m.Match(text.c_str()), PatternMatcher::kNoHit);
    EXPECT_EQ(m.Match((text + L"b").c_str()), PatternMatcher::kHit);
}

}  // namespace
