#include "document/BookmarkStore.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Bookmarks, ColourKinds) {
    const struct { int kind; COLORREF colour; } rows[] = {
        { 1, 0xFF0000 }, { 2, 0x00FF00 }, { 3, 0x00FFFF }, { 0, 0x0000FF },
    };
    for (const auto& row : rows) {
        EXPECT_EQ(BookmarkStore::ColourOfKind(row.kind), row.colour);
        EXPECT_EQ(BookmarkStore::KindOfColour(row.colour), row.kind);
    }
    EXPECT_EQ(BookmarkStore::ColourOfKind(7), 0x0000FFu);
    EXPECT_EQ(BookmarkStore::KindOfColour(0x123456), 0);
}

TEST(Bookmarks, SetTwiceKeepsOneRecord) {
    BookmarkStore b;
    b.AddKind(0x100, L"first", 1);
    b.Set(0x100, L"second", 0x00FF00);
    ASSERT_EQ(b.Count(), 1);
    BOOKMARK_DATA d;
    ASSERT_TRUE(b.Get(0x100, &d));
    EXPECT_EQ(std::wstring(d.text), L"second");
    EXPECT_EQ(d.colour, 0x00FF00u);
    b.Set(0x200, nullptr, 0);
    ASSERT_TRUE(b.Get(0x200, &d));
    EXPECT_EQ(std::wstring(d.text), L"");
}

TEST(Bookmarks, ColourInRange) {
    BookmarkStore b;
    b.AddKind(0x108, L"a", 1);
    b.AddKind(0x110, L"b", 2);
    EXPECT_EQ(b.ColourInRange(0x100, 16), 0xFF0000);
    EXPECT_EQ(b.ColourInRange(0x110, 1), 0x00FF00);
    EXPECT_EQ(b.ColourInRange(0x109, 7), -1);   // 0x110 lies at the span's end
    EXPECT_EQ(b.ColourInRange(0x109, 8), 0x00FF00);
    EXPECT_EQ(b.ColourInRange(0x111, 0x1000), -1);
    b.Remove(0x108);
    EXPECT_EQ(b.ColourInRange(0x100, 16), -1);
}

TEST(Bookmarks, NextPrevAndRemoval) {
    BookmarkStore b;
    EXPECT_EQ(b.Prev(0x100), -1);
    EXPECT_EQ(b.Next(0x100), -1);
    for (int64_t a : { 0x300LL, 0x100LL, 0x200LL, 0x180000000LL })
        b.AddKind(a, L"x", 0);
    EXPECT_EQ(b.Next(0x100), 0x200);
    EXPECT_EQ(b.Next(0x300), 0x180000000LL);
    EXPECT_EQ(b.Next(0x180000000LL), -1);
    EXPECT_EQ(b.Prev(0x100), -1);
    EXPECT_EQ(b.Prev(0x201), 0x200);
    EXPECT_EQ(b.RemoveRange(0x100, 0x200), 1);   // keeps the one at the end address
    EXPECT_EQ(b.Next(0), 0x200);
    EXPECT_FALSE(b.Remove(0x100));
    EXPECT_TRUE(b.Remove(0x200));
    EXPECT_EQ(b.Count(), 2);
}

}  // namespace
