#include "core/BMemoryCluster.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

int Blocks(const BMemoryCluster& c) {
    int n = 0;
    for (BMemoryCluster::Block* b = c.FirstBlock(); b; b = b->next) ++n;
    return n;
}

bool InBlock(BMemoryCluster::Block* b, const void* p, int bytes) {
    const unsigned char* q = static_cast<const unsigned char*>(p);
    return q >= b->Data() && q + bytes <= b->Data() + b->size;
}

TEST(BMemoryCluster, GoesBackToEarlierBlocks) {
    BMemoryCluster pool(100);
    EXPECT_EQ(pool.UsedBytes(), 0);
    void* a = pool.Alloc(40);
    void* b = pool.Alloc(40);
    void* c = pool.Alloc(40);
    EXPECT_EQ(static_cast<char*>(b) - static_cast<char*>(a), 40);
    EXPECT_EQ(Blocks(pool), 2);
    EXPECT_TRUE(InBlock(pool.LastBlock(), c, 40));
    void* d = pool.Alloc(20);
    EXPECT_TRUE(InBlock(pool.FirstBlock(), d, 20));
    EXPECT_EQ(pool.FirstBlock()->free, 0);
    EXPECT_EQ(pool.UsedBytes(), 140);
    EXPECT_EQ(pool.Alloc(-1), nullptr);
}

TEST(BMemoryCluster, FixsizeNeverGoesBack) {
    FixsizeMemoryCluster pool(20, 5);   // block size 100
    for (int i = 0; i < 7; ++i) static_cast<unsigned char*>(pool.AddItem())[0] = static_cast<unsigned char>(i);
    EXPECT_EQ(pool.ItemCount(), 7);
    EXPECT_EQ(Blocks(pool), 2);
    for (int i = 0; i < 7; ++i) {
        ASSERT_NE(pool.ItemAt(i), nullptr);
        EXPECT_EQ(static_cast<unsigned char*>(pool.ItemAt(i))[0], i);
    }
    EXPECT_TRUE(InBlock(pool.LastBlock(), pool.ItemAt(5), 20));
    EXPECT_EQ(pool.ItemAt(7), nullptr);
    EXPECT_EQ(pool.ItemAt(-1), nullptr);
    // Room left in an earlier block is not reused.
    FixsizeMemoryCluster odd(20, 5);
    odd.Alloc(30);
    odd.Alloc(80);
    void* item = odd.AddItem();
    EXPECT_EQ(Blocks(odd), 2);
    EXPECT_TRUE(InBlock(odd.LastBlock(), item, 20));
}

TEST(BMemoryCluster, HStringMemoryPrefixAndTerminator) {
    HStringMemory pool(64, 2);
    wchar_t* ab = pool.AddString(L"ab");
    EXPECT_EQ(pool.UsedBytes(), 8);
    EXPECT_EQ(reinterpret_cast<unsigned char*>(ab), pool.FirstBlock()->Data() + 2);
    EXPECT_STREQ(ab, L"ab");
    wchar_t* empty = pool.AddString(nullptr);
    EXPECT_STREQ(empty, L"");
    EXPECT_EQ(pool.UsedBytes(), 12);
}

TEST(BMemoryCluster, LargeRequestGetsItsOwnBlock) {
    HStringMemory pool(64, 0);
    pool.AddString(L"x");
    const std::wstring comment(5000, L'c');
    wchar_t* copy = pool.AddString(comment.c_str());
    EXPECT_EQ(std::wstring(copy), comment);   // nothing lost or cut
    EXPECT_EQ(pool.UsedBytes(), 4 + 10002);
    wchar_t* small = pool.AddString(L"yz");
    EXPECT_TRUE(InBlock(pool.FirstBlock(), small, 6));
    EXPECT_STREQ(copy + 4999, L"c");
}

TEST(BMemoryCluster, ResetFreesAndRestarts) {
    TMemoryCluster<int64_t> pool(4);
    for (int i = 0; i < 10; ++i) *pool.Add() = i * 3;
    EXPECT_EQ(*pool.At(9), 27);
    pool.Reset();
    EXPECT_EQ(pool.ItemCount(), 0);
    EXPECT_EQ(pool.UsedBytes(), 0);
    EXPECT_EQ(Blocks(pool), 1);
    EXPECT_EQ(pool.At(0), nullptr);
    *pool.Add() = 5;
    EXPECT_EQ(*pool.At(0), 5);

    HStringMemory strings(16, 0);
    strings.AddString(L"abcdef");
    strings.AddString(L"abcdef");
    strings.Reset();
    EXPECT_EQ(Blocks(strings), 1);
    EXPECT_EQ(strings.UsedBytes(), 0);
    strings.FreeBlocks();
    EXPECT_EQ(strings.FirstBlock(), nullptr);
    EXPECT_STREQ(strings.AddString(L"again"), L"again");   // a pool without blocks makes one
}

}  // namespace
