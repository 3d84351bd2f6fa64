#include "core/NumberText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

enum Mode { kHex, kHexSigned, kDec, kDecSigned, kDecPadded, kDecSignedPadded };

NumberText Formatter(Mode mode) {
    NumberText t;
    t.decimal = mode >= kDec;
    t.isSigned = mode == kHexSigned || mode == kDecSigned || mode == kDecSignedPadded;
    t.width = mode >= kDecPadded ? 1 : 0;
    return t;
}

TEST(NumberText, SizedFormats) {
    struct Row { int size; uint64_t value; Mode mode; const wchar_t* want; };
    const Row rows[] = {
        { 1, 0x80, kHexSigned, L"-80" },
        { 1, 0x7F, kHexSigned, L" 7F" },
        { 1, 0xFF, kHexSigned, L"-01" },
        { 1, 0x0A, kHex, L"0A" },
        { 1, 0x80, kHex, L"80" },
        { 1, 0x80, kDecSigned, L"-128" },
        { 1, 0x80, kDec, L"128" },
        { 1, 0x05, kDecPadded, L"  5" },
        { 1, 0xFF, kDecSignedPadded, L"  -1" },
        { 2, 0xFFFF, kHexSigned, L"-0001" },
        { 2, 0x1234, kHex, L"1234" },
        { 2, 0x8000, kDecSigned, L"-32768" },
        { 2, 0xFFFF, kDecPadded, L"65535" },
        { 2, 7, kDecSignedPadded, L"     7" },
        { 4, 0x80000000, kHexSigned, L"-80000000" },
        { 4, 0x7FFFFFFF, kHexSigned, L" 7FFFFFFF" },
        { 4, 0xFFFFFFFF, kDecSigned, L"-1" },
        { 4, 0xFFFFFFFF, kDec, L"4294967295" },
        { 4, 1, kDecPadded, L"         1" },
        { 4, 0x80000000, kDecSignedPadded, L"-2147483648" },
        { 8, 0x0000000100000002ULL, kHex, L"00000001`00000002" },
        { 8, 0xFFFFFFFFFFFFFFFEULL, kHexSigned, L"-00000000`00000002" },
        { 8, 0x8000000000000000ULL, kHexSigned, L"-80000000`00000000" },
        { 8, 0x0000000100000002ULL, kHexSigned, L" 00000001`00000002" },
        { 8, 0xFFFFFFFFFFFFFFFFULL, kDec, L"18446744073709551615" },
        { 8, 0xFFFFFFFFFFFFFFFFULL, kDecSigned, L"-1" },
        { 8, 12, kDecPadded, L"                  12" },
        { 8, 0x8000000000000000ULL, kDecSignedPadded, L"-9223372036854775808" },
    };
    for (const Row& row : rows) {
        NumberText t = Formatter(row.mode);
        const wchar_t* got = row.size == 1 ? t.FormatByte(static_cast<uint8_t>(row.value))
                           : row.size == 2 ? t.FormatWord(static_cast<uint16_t>(row.value))
                           : row.size == 4 ? t.FormatDword(static_cast<uint32_t>(row.value))
                                           : t.FormatQword(row.value);
        EXPECT_STREQ(got, row.want) << "size " << row.size << " mode " << row.mode;
        EXPECT_EQ(got, t.text);
    }
}

TEST(NumberText, HexIgnoresTheWidth) {
    NumberText t;
    t.width = 1;
    EXPECT_STREQ(t.FormatWord(0x12), L"0012");
}

TEST(NumberText, Swapped) {
    NumberText t;
    EXPECT_STREQ(t.FormatWordSwapped(0x1234), L"3412");
    EXPECT_STREQ(t.FormatDwordSwapped(0x12345678), L"78563412");
    EXPECT_STREQ(t.FormatQwordSwapped(0x0102030405060708ULL), L"08070605`04030201");
    t.decimal = 1;
    t.isSigned = 1;
    EXPECT_STREQ(t.FormatWordSwapped(0xFFFE), L"-257");
}

TEST(NumberText, Binary) {
    NumberText t;
    EXPECT_STREQ(t.FormatBinary(0xA5, 1), L"10100101");
    EXPECT_STREQ(t.FormatBinary(0x0102, 2), L"00000001-00000010");
    EXPECT_STREQ(t.FormatBinarySwapped(0x0102, 2), L"00000010-00000001");
    EXPECT_STREQ(t.FormatBinarySwapped(0xA5, 1), L"10100101");
    EXPECT_STREQ(t.FormatBinarySwapped(0x01020304, 4), L"00000100-00000011-00000010-00000001");
    EXPECT_EQ(std::wstring(t.FormatBinary(~0ULL, 8)).size(), 71u);
    EXPECT_STREQ(t.FormatBinarySwapped(0x80ULL, 8),
                 L"10000000-00000000-00000000-00000000-00000000-00000000-00000000-00000000");
}

TEST(NumberText, HexAuto) {
    struct Row { int width; uint64_t value; const wchar_t* want; };
    const Row rows[] = {
        { 0, 0, L"0" }, { 0, 0x7F, L"7F" }, { 0, 0xFF, L"FF" }, { 0, 0x100, L"0100" },
        { 0, 0x1234, L"1234" }, { 0, 0xFFFF, L"FFFF" }, { 0, 0x10000, L"00010000" }, { 0, 0x12345, L"00012345" },
        { 0, 1ULL << 32, L"00000001`00000000" },
        { 1, 0x1234, L"34" }, { 2, 0x123456, L"3456" }, { 4, 0x123456789ULL, L"23456789" },
        { 4, 0, L"0" }, { 8, 5, L"00000000`00000005" }, { 3, 5, L"00000000`00000005" },
    };
    for (const Row& row : rows) {
        NumberText t;
        t.width = row.width;
        EXPECT_STREQ(t.FormatHexAuto(row.value), row.want) << row.width;
    }
}

TEST(NumberText, SmallFormats) {
    NumberText t;
    EXPECT_STREQ(t.FormatDecimal(-42), L"-42");
    EXPECT_STREQ(t.FormatHexByte(0x1AB), L"AB");
    EXPECT_STREQ(t.FormatHexDword(0xBEEF), L"0000BEEF");
    EXPECT_STREQ(t.FormatSignedQwordHex(-2), L"-00000000`00000002");
    EXPECT_STREQ(t.FormatSignedQwordHex(0x100000000LL), L" 00000001`00000000");
    EXPECT_STREQ(t.Print(L"%s=%d", L"a", 3), L"a=3");
}

TEST(ParseNumber, Table) {
    struct Row { const wchar_t* text; int base; bool ok; int64_t value; };
    const Row rows[] = {
        { L"0x1234`5678", 16, true, 0x12345678 },
        { L"-10", 16, true, -16 },
        { L"12 34", 16, true, 0x12 },
        { L"12\t34", 16, true, 0x12 },
        { L"0x8000000000000000", 16, false, -1 },
        { L"7FFFFFFF`FFFFFFFF", 16, true, INT64_MAX },
        { L"-7FFFFFFFFFFFFFFF", 16, true, -INT64_MAX },
        { L"12345678901234567", 16, false, -1 },      // wraps around without a check before the multiply
        { L"FFFFFFFFFFFFFFFFF", 16, false, -1 },
        { L"", 16, true, 0 },
        { L"12z", 16, true, 0x12 },
        { L"+0XfF", 10, true, 255 },
        { L"99", 0, true, 99 },
        { L"ab", 10, true, 0 },
        { L"19", 8, true, 17 },                         // 1 × 8 + 9: digits are not checked against the base
        { L"9223372036854775807", 10, true, INT64_MAX },
        { L"9223372036854775808", 10, false, -1 },
        { L"-", 16, true, 0 },
        { L"0x", 16, true, 0 },
        { L"1`2`3", 10, true, 123 },
    };
    for (const Row& row : rows) {
        int64_t value = 77;
        EXPECT_EQ(ParseNumber(row.text, value, row.base), row.ok) << row.text;
        EXPECT_EQ(value, row.value) << row.text;
    }
    int64_t value = 5;
    EXPECT_TRUE(ParseNumber(nullptr, value, 16));
    EXPECT_EQ(value, 0);
}

TEST(NumberText, Counting) {
    struct Row { uint64_t value; int hexWidth; int digits; };
    const Row rows[] = {
        { 0, 4, 1 }, { 9, 4, 1 }, { 10, 4, 2 }, { 0xFFFF, 4, 5 }, { 0x10000, 8, 5 },
        { 0xFFFFFFFF, 8, 10 }, { 1ULL << 32, 11, 10 }, { 1ULL << 40, 13, 13 }, { 1ULL << 48, 15, 15 },
        { 1ULL << 56, 17, 17 }, { ~0ULL, 17, 20 }, { 9999999999999999999ULL, 17, 19 },
        { 10000000000000000000ULL, 17, 20 },
    };
    for (const Row& row : rows) {
        EXPECT_EQ(HexAddressWidth(row.value), row.hexWidth) << row.value;
        EXPECT_EQ(DecimalDigits(row.value), row.digits) << row.value;
    }
    EXPECT_EQ(HexDigitValue(L'0'), 0);
    EXPECT_EQ(HexDigitValue(L'f'), 15);
    EXPECT_EQ(HexDigitValue(L'F'), 15);
    EXPECT_EQ(HexDigitValue(L'g'), -1);
    EXPECT_EQ(HexDigitValue(L'`'), -1);
}

}  // namespace
