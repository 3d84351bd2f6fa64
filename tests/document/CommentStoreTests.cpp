#include "document/BComment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct LinesRow {
    const wchar_t* text;
    std::vector<std::wstring> lines;
};

// Every line feed starts a line, so empty lines stay in their place; CRs go.
const LinesRow kLines[] = {
    { L"", {} },
    { L"one", { L"one" } },
    { L"one\n", { L"one" } },
    { L"one\r\ntwo", { L"one", L"two" } },
    { L"a\n\nb", { L"a", L"", L"b" } },
    { L"\nb", { L"", L"b" } },
    { L"a\n\n", { L"a", L"" } },
    { L"a\r\n\r\nb\r\n", { L"a", L"", L"b" } },
    { L"x\ry", { L"xy" } },
};

TEST(CommentLines, CountAndTextAgree) {
    for (const LinesRow& row : kLines) {
        CommentLine store(4);
        store.SetComment(0x10, row.text);
        ASSERT_EQ(store.LineCount(0x10), static_cast<int>(row.lines.size())) << row.text;
        for (size_t i = 0; i < row.lines.size(); ++i)
            EXPECT_EQ(store.GetLineText(0x10, static_cast<int>(i)), row.lines[i]) << row.text << " line " << i;
        EXPECT_EQ(store.GetLineText(0x10, static_cast<int>(row.lines.size())), L"");
    }
}

TEST(CommentLines, OnlineStoreGivesTheLinesAfterTheFirst) {
    CommentOnline store(4);
    store.SetComment(0x10, L"single");
    EXPECT_EQ(store.LineCount(0x10), 0);
    EXPECT_EQ(store.FirstLine(0x10), L"single");
    store.SetComment(0x20, L"head\r\nmore\n\nlast");
    EXPECT_EQ(store.LineCount(0x20), 3);
    EXPECT_EQ(store.GetLineText(0x20, 0), L"more");
    EXPECT_EQ(store.GetLineText(0x20, 1), L"");
    EXPECT_EQ(store.GetLineText(0x20, 2), L"last");
    EXPECT_EQ(store.LineCount(0x30), 0);
}

TEST(CommentStore, SetReplaceRemove) {
    CommentLine store(2);
    store.SetComment(0x30, L"");   // nothing there: nothing changes
    EXPECT_EQ(store.Count(), 0);
    for (int64_t a : { 0x50, 0x10, 0x40, 0x20, 0x30 })
        store.SetComment(a, (L"c" + std::to_wstring(a)).c_str());
    ASSERT_EQ(store.Count(), 5);
    for (int i = 1; i < store.Count(); ++i)
        EXPECT_LT(store.At(i - 1).address, store.At(i).address);
    store.SetComment(0x30, L"replaced");
    EXPECT_EQ(store.Text(0x30), L"replaced");
    EXPECT_EQ(store.Count(), 5);
    store.SetComment(0x30, nullptr);
    EXPECT_FALSE(store.Has(0x30));
    EXPECT_EQ(store.Text(0x30), L"");
    EXPECT_EQ(store.Count(), 4);
}

TEST(CommentStore, LongCommentIsKeptWhole) {
    CommentLine store(1);   // blocks of 64 bytes
    std::wstring text;
    for (int i = 0; i < 200; ++i)
        text += L"line " + std::to_wstring(i) + L"\n";
    store.SetComment(0x10, text.c_str());
    EXPECT_EQ(store.Text(0x10), text);
    EXPECT_EQ(store.LineCount(0x10), 200);
    EXPECT_EQ(store.GetLineText(0x10, 199), L"line 199");
}

}  // namespace
