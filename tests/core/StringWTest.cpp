#include "core/StringW.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <windows.h>

namespace {

TEST(StringW, FormattingFollowsTheWindowsConvention) {
    const wchar_t* wide = L"w\u00e9de";
    struct Row { StringW got; const wchar_t* want; };
    const Row rows[] = {
        { StringW(kFormat, L"%%"), L"%" },
        { StringW(kFormat, L"100%%"), L"100%" },
        { StringW(kFormat, L"plain text"), L"plain text" },
        { StringW(kFormat, L"[%s]", wide), L"[w\u00e9de]" },         // "%s" is wide text
        { StringW(kFormat, L"[%hs]", "narrow"), L"[narrow]" },
        { StringW(kFormat, L"[%ls]", wide), L"[w\u00e9de]" },
        { StringW(kFormat, L"%d|%5u|%-3d|", -7, 42u, 1), L"-7|   42|1  |" },
        { StringW(kFormat, L"%08X`%08X", 1u, 2u), L"00000001`00000002" },
        { StringW(kFormat, L"%I64d %I64u", -5LL, 18446744073709551615ULL), L"-5 18446744073709551615" },
        { StringW(kFormat, L"%*.*X", 6, 4, 0xABu), L"  00AB" },
        { StringW(kFormat, L"%c%c", L'a', L'\u0416'), L"a\u0416" },
    };
    for (const Row& row : rows) EXPECT_EQ(row.got, row.want);
}

TEST(StringW, PlainConstructionNeverFormats) {
    const wchar_t* fromFile = L"name %s %d %%";
    StringW a(fromFile);
    StringW b;
    b.SetText(fromFile);
    StringW c = fromFile;
    EXPECT_EQ(a, fromFile);
    EXPECT_EQ(b, fromFile);
    EXPECT_EQ(c, fromFile);
    b.SetText(nullptr);
    EXPECT_TRUE(b.empty());
    EXPECT_TRUE(StringW(static_cast<const wchar_t*>(nullptr)).empty());
}

TEST(StringW, LongResultsAreCutAndTerminated) {
    std::wstring big(kFormatBufferSize + 100, L'x');
    for (int extra : { -2, -1, 0, 1, 100 }) {
        StringW s;
        const int n = s.Format(L"%s", std::wstring(big, 0, kFormatBufferSize + extra).c_str());
        const int fits = kFormatBufferSize + extra;
        if (fits < kFormatBufferSize) {
            EXPECT_EQ(n, fits);
            EXPECT_EQ(s.Length(), fits);
        } else {
            EXPECT_EQ(n, -1) << extra;
            EXPECT_EQ(s.Length(), kFormatBufferSize - 1) << extra;
        }
    }
    StringA a;
    std::string narrow(kFormatBufferSize * 2, 'y');
    EXPECT_EQ(a.Format("%s", narrow.c_str()), -1);
    EXPECT_EQ(a.Length(), kFormatBufferSize - 1);
}

TEST(StringW, FormatReturnsTheLength) {
    StringW s(L"old");
    EXPECT_EQ(s.Format(L"%d-%s", 12, L"ab"), 5);
    EXPECT_EQ(s, L"12-ab");
}

TEST(StringW, MovesAndCopiesKeepTheCodePage) {
    static_assert(std::is_nothrow_move_constructible<StringW>::value, "StringW must move");
    static_assert(std::is_nothrow_move_assignable<StringW>::value, "StringW must move");
    StringW a(L"a long text that does not fit the small buffer of the string");
    a.codePage = CP_OEMCP;
    const wchar_t* storage = a.data();
    StringW b(std::move(a));
    EXPECT_EQ(b.data(), storage);   // moved, not copied
    EXPECT_EQ(b.codePage, static_cast<uint32_t>(CP_OEMCP));
    StringW c;
    c = b;
    EXPECT_EQ(c.codePage, static_cast<uint32_t>(CP_OEMCP));
    EXPECT_EQ(c, b);
    StringW d;
    d = std::move(c);
    EXPECT_EQ(d.codePage, static_cast<uint32_t>(CP_OEMCP));
    EXPECT_EQ(StringW().codePage, 0u);
    StringA e;
    e.codePage = CP_OEMCP;
    StringA f(e);
    EXPECT_EQ(f.codePage, static_cast<uint32_t>(CP_OEMCP));
}

TEST(StringW, GetField) {
    struct Row { const wchar_t* text; int n; wchar_t sep; bool found; const wchar_t* field; };
    const Row rows[] = {
        { L"a,,b", 1, L',', true, L"b" },
        { L"a,b", 2, L',', false, L"" },
        { L",a", 0, L',', true, L"" },
        { L",a", 1, L',', true, L"a" },
        { L"", 0, L',', true, L"" },
        { L"abc", 0, L',', true, L"abc" },
        { L"a,b,", 2, L',', true, L"" },      // an empty last field after a trailing separator
        { L"one two  three", 2, L' ', true, L"three" },
        { nullptr, 0, L',', false, L"" },
    };
    for (const Row& row : rows) {
        StringW s(L"stale");
        EXPECT_EQ(s.GetField(row.text, row.n, row.sep), row.found) << (row.text ? row.text : L"(null)");
        EXPECT_EQ(s, row.field);
        StringA a("stale");
        std::string narrow;
        for (const wchar_t* p = row.text; p && *p; ++p) narrow += static_cast<char>(*p);
        EXPECT_EQ(a.AssignField(row.text ? narrow.c_str() : nullptr, row.n, static_cast<char>(row.sep)),
                  row.found);
    }
}

TEST(StringW, FindNoCase) {
    struct Row { const wchar_t* string; const wchar_t* text; int start; int want; };
    const Row rows[] = {
        { L"xxabcx", L"ABC", 0, 2 },
        { L"xxabcx", L"ABC", 3, -1 },
        { L"xxabcx", L"abcx", 2, 2 },
        { L"xxabcx", L"abcxx", 0, -1 },
        { L"xxabcx", L"", 6, 6 },
        { L"xxabcx", L"", 7, -1 },
        { L"", L"a", 0, -1 },
        { L"Stra\u00dfe \u00c9T\u00c9", L"\u00e9t\u00e9", 0, 7 },
    };
    for (const Row& row : rows) EXPECT_EQ(StringW(row.string).FindNoCase(row.text, row.start), row.want)
        << row.string << " / " << row.text;
}

TEST(StringW, TruncateAt) {
    StringA s("abcdef");
    s.TruncateAt(-1);
    EXPECT_EQ(s, "abcdef");
    s.TruncateAt(6);
    EXPECT_EQ(s, "abcdef");
    s.TruncateAt(3);
    EXPECT_EQ(s, "abc");
    s.TruncateAt(0);
    EXPECT_EQ(s, "");
}

TEST(StringW, ConversionsUseTheCodePage) {
    // 0x84 is a double low quote in code page 1252 and a-umlaut in OEM 437.
    StringW ansi;
    ansi.AssignNarrow("x\x84y");
    EXPECT_EQ(ansi, L"x\u201ey");
    StringW oem;
    oem.codePage = CP_OEMCP;
    oem.AssignNarrow("x\x84y");
    EXPECT_EQ(oem, L"x\u00e4y");
    oem.AssignNarrow("");
    EXPECT_TRUE(oem.empty());

    StringA back;
    back.AssignWide(L"x\u201ey");
    EXPECT_EQ(back, "x\x84y");
    back.codePage = CP_OEMCP;
    back.AssignWide(L"\u00e4");
    EXPECT_EQ(back, "\x84");
    back.AssignWide(nullptr);
    EXPECT_TRUE(back.empty());

    std::string longText(1000, 'a');
    longText += "\x84";
    ansi.AssignNarrow(longText.c_str());
    ASSERT_EQ(ansi.Length(), 1001);
    EXPECT_EQ(ansi[1000], L'\u201e');
}

TEST(StringW, AssignWideKeepsEveryByteOfDoubleByteText) {
    StringA s;
    s.codePage = 932;   // Shift-JIS: each of these characters takes two bytes
    s.AssignWide(L"\u65e5\u672c\u8a9e");
    if (!IsValidCodePage(932)) GTEST_SKIP() << "code page 932 not installed";
    EXPECT_EQ(s.size(), 6u);
    StringW round;
    round.codePage = 932;
    round.AssignNarrow(s.c_str());
    EXPECT_EQ(round, L"\u65e5\u672c\u8a9e");
}

TEST(StringW, StringEquals) {
    const StringW ab(L"ab");
    EXPECT_TRUE(StringEquals(L"ab", ab));
    EXPECT_TRUE(StringEquals(ab, L"ab"));
    EXPECT_FALSE(StringEquals(L"aB", ab));
    EXPECT_FALSE(StringEquals(L"abc", ab));
    EXPECT_FALSE(StringEquals(L"a", ab));
    EXPECT_TRUE(StringEquals(nullptr, StringW()));
    StringW withNul(std::wstring(L"ab\0c", 4));
    EXPECT_FALSE(StringEquals(L"ab", withNul));
}

TEST(StringA, Formatting) {
    EXPECT_EQ(StringA(kFormat, "%%"), "%");
    EXPECT_EQ(StringA(kFormat, "no format"), "no format");
    EXPECT_EQ(StringA(kFormat, "%s=%d", "Key", 5), "Key=5");
    EXPECT_EQ(StringA(kFormat, "%I64X", 0x123456789ABCULL), "123456789ABC");
    EXPECT_EQ(StringA("%s"), "%s");
}

}  // namespace
