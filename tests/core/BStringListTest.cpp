#include "core/AddressHistory.h"
#include "core/BStringList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RecordingList : public BStringList {
public:
    std::vector<int> removed;
    std::vector<std::wstring> Texts() const { return std::vector<std::wstring>(Entries().begin(), Entries().end()); }

protected:
    void OnRemove(int index) override { removed.push_back(index); }
};

using Texts = std::vector<std::wstring>;

TEST(BStringList, PushFrontOrderAndDuplicates) {
    RecordingList list;
    list.PushFront(L"a");
    list.PushFront(L"b");
    list.PushFront(L"a");
    EXPECT_EQ(list.Texts(), (Texts{ L"a", L"b" }));
    EXPECT_EQ(list.removed, std::vector<int>{ 1 });
    list.PushFront(L"a");
    list.PushFront(L"");
    list.PushFront(nullptr);
    list.PushFront(L"A");   // exact comparison: a different text
    EXPECT_EQ(list.Texts(), (Texts{ L"A", L"a", L"b" }));
    list.PushFront(L"%s");
    EXPECT_EQ(list.At(0), L"%s");
    list.RemoveEqual(L"zz");
    list.RemoveEqual(L"a");
    EXPECT_EQ(list.Texts(), (Texts{ L"%s", L"A", L"b" }));
    EXPECT_EQ(list.removed, (std::vector<int>{ 1, 2 }));
}

TEST(BStringList, LimitDropsTheOldest) {
    RecordingList list;
    for (int i = 0; i < 64; ++i) list.PushFront(std::to_wstring(i).c_str());
    EXPECT_TRUE(list.removed.empty());
    list.PushFront(L"64");
    EXPECT_EQ(list.Count(), 64);
    EXPECT_EQ(list.removed, std::vector<int>{ 63 });
    EXPECT_EQ(list.At(0), L"64");
    EXPECT_EQ(list.At(63), L"1");
}

TEST(BStringList, FillsControls) {
    HWND combo = CreateWindowW(L"COMBOBOX", L"", CBS_DROPDOWN, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    HWND listBox = CreateWindowW(L"LISTBOX", L"", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(combo && listBox);
    BStringList list;
    list.FillControl(combo);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 0);
    for (const wchar_t* t : { L"401000", L"Start", L"main_loop", L"STARTUP" }) list.PushFront(t);
    list.FillControl(combo);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 4);
    wchar_t text[64] = {};
    GetWindowTextW(combo, text, 64);
    EXPECT_STREQ(text, L"STARTUP");

    ListBoxAddFiltered(listBox, list, L"start");
    ASSERT_EQ(SendMessageW(listBox, LB_GETCOUNT, 0, 0), 2);
    SendMessageW(listBox, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"STARTUP");
    SendMessageW(listBox, LB_RESETCONTENT, 0, 0);
    ListBoxAddFiltered(listBox, list, L"");
    EXPECT_EQ(SendMessageW(listBox, LB_GETCOUNT, 0, 0), 4);
    DestroyWindow(combo);
    DestroyWindow(listBox);
}

bool Same(const DizaLinePos& a, const DizaLinePos& b) { return a.address == b.address && a.line == b.line; }

TEST(AddressHistory, GoesBackNewestFirstAndWraps) {
    AddressHistory history;
    EXPECT_EQ(history.ReadPosition(), -1);
    EXPECT_EQ(history.Next().address, -1);   // nothing pushed: no position
    const DizaLinePos p1{ 0x1000, 0xC1000000 }, p2{ 0x2000, 0x20000000 }, p3{ 0x3000, 0x10000001 };
    history.Push(p1);
    history.Push(p2);
    history.Push(p3);
    EXPECT_TRUE(Same(history.Next(), p3));
    EXPECT_TRUE(Same(history.Next(), p2));
    EXPECT_TRUE(Same(history.Next(), p1));
    EXPECT_TRUE(Same(history.Next(), p3));
    history.Push(p2);   // already there: read position unchanged
    EXPECT_TRUE(Same(history.Next(), p2));
    history.Free();
    EXPECT_EQ(history.Count(), 0);
    EXPECT_EQ(history.Next().address, -1);
}

TEST(AddressHistory, KeepsSixteen) {
    AddressHistory history;
    for (int i = 0; i < 20; ++i) history.Push({ i, 0xC0000000 });
    EXPECT_EQ(history.Count(), 16);
    EXPECT_EQ(history.Next().address, 19);
    EXPECT_FALSE(history.Contains({ 3, 0xC0000000 }));
    EXPECT_TRUE(history.Contains({ 4, 0xC0000000 }));
}

TEST(AddressHistory, Equality) {
    struct Row { uint32_t held, added; bool same; };
    const Row rows[] = {
        { 0x60000001, 0x60000002, true },    // item lines: the sub-line does not count
        { 0xC1000000, 0xC1000005, true },
        { 0x10000001, 0x10000002, false },   // comment lines: the index counts
        { 0x10000001, 0x10000001, true },
        { 0xF0000003, 0xF0000003, true },
        { 0x20000000, 0x10000000, false },   // different kinds
        { 0xC1000000, 0xD1000000, false },
    };
    for (const Row& row : rows) {
        EXPECT_EQ(AddressHistory::SamePosition({ 5, row.held }, { 5, row.added }), row.same) << std::hex << row.held;
    }
    EXPECT_FALSE(AddressHistory::SamePosition({ 5, 0xC0000000 }, { 6, 0xC0000000 }));
}

}  // namespace
