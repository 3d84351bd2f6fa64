#include "core/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::wstring>;

TEST(CommandLine, Split) {
    struct Row { const wchar_t* text; Texts files; };
    const Row rows[] = {
        { L"", {} },
        { L" \t  \t", {} },
        { L"a.exe\tb.dll", { L"a.exe", L"b.dll" } },
        { L"\"C:\\Program Files\\x y.exe\"", { L"C:\\Program Files\\x y.exe" } },
        { L"ab\"c d\" e", { L"abc d", L"e" } },
        { L"\"\"", { L"" } },
        { L"\"a\"b", { L"a", L"b" } },            // the closing quote ends the word
        { L"\"open to the end", { L"open to the end" } },
        { L"name%s.bin  x%d", { L"name%s.bin", L"x%d" } },
    };
    for (const Row& row : rows) {
        CommandLine line;
        EXPECT_EQ(line.Split(row.text), static_cast<int>(row.files.size())) << row.text;
        EXPECT_EQ(Texts(line.files.begin(), line.files.end()), row.files) << row.text;
        EXPECT_TRUE(line.options.empty());
        EXPECT_NO_THROW(line.CheckOptions());
    }
}

TEST(CommandLine, OptionsAreRefused) {
    CommandLine line;
    EXPECT_EQ(line.Split(L"/x=1 file /verbose /a=b=c"), 1);
    ASSERT_EQ(line.options.size(), 3u);
    EXPECT_EQ(line.options[0].name, L"x");
    EXPECT_EQ(line.options[0].value, L"=1");
    EXPECT_EQ(line.options[1].name, L"verbose");
    EXPECT_EQ(line.options[1].value, L"");
    EXPECT_EQ(line.options[2].name, L"a");
    EXPECT_EQ(line.options[2].value, L"=b=c");
    try {
        line.CheckOptions();
        FAIL() << "an unclaimed option passed";
    } catch (const ECmdlineOption& e) {
        EXPECT_EQ(e.code, 1);
    }
    for (_CMDLINE_OPTION& option : line.options) option.claimed = 1;
    EXPECT_NO_THROW(line.CheckOptions());
}

TEST(CommandLine, NextWordPositions) {
    StringW word(L"stale");
    const wchar_t* text = L"ab cd";
    const wchar_t* p = CommandLine::NextWord(text, word);
    EXPECT_EQ(word, L"ab");
    EXPECT_EQ(p, text + 3);
    p = CommandLine::NextWord(p, word);
    EXPECT_EQ(word, L"cd");
    EXPECT_EQ(p, text + 5);
    EXPECT_EQ(CommandLine::NextWord(p, word), nullptr);
    EXPECT_TRUE(word.empty());
    EXPECT_EQ(CommandLine::NextWord(nullptr, word), nullptr);
}

}  // namespace
