#include "document/BName.h"
#include "document/TextEditor.h"

#include "DocumentFakes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ValidityRow {
    const wchar_t* text;
    bool valid;
};

const ValidityRow kValidity[] = {
    { L"_start", true },        { L"a.b", true },        { L"$x", true },        { L"[ebp]", true },
    { L"#%()-.?@~", true },     { L"x\x7F", true },      { L"A9", true },        { L"9A", false },
    { L"", false },             { L"a b", false },       { L"caf\xE9", false },  { L"a,b", false },
    { L"a+b", false },          { L"a\tb", false },      { L"a/b", false },      { L"\x80", false },
    { L"fn_01`40001000", true }, { L"`x", true },
};

TEST(NameValidity, Table) {
    for (const ValidityRow& row : kValidity)
        EXPECT_EQ(IsValidName(row.text), row.valid) << std::wstring(row.text).c_str();
    EXPECT_FALSE(IsValidName(nullptr));
}

TEST(NameStore, TwoNamesAtOneAddressNewestFirst) {
    GlobalName names(4);
    ASSERT_TRUE(names.Add(0x1000, L"first", ' '));
    ASSERT_TRUE(names.Add(0x1000, L"second", ' '));
    EXPECT_EQ(names.CountAt(0x1000), 2);
    EXPECT_EQ(names.TextAt(0x1000, 0), L"second");
    EXPECT_EQ(names.TextAt(0x1000, 1), L"first");
    EXPECT_EQ(names.TextAt(0x1000, 2), L"");
    EXPECT_EQ(names.TextAt(0x0FFF, 0), L"");
    EXPECT_EQ(names.CountAt(0x1001), 0);
    EXPECT_EQ(names.FirstIndexAt(0x1001), -1);
}

TEST(NameStore, RefusesTakenInvalidAndNegative) {
    GlobalName names(4);
    ASSERT_TRUE(names.Add(0x10, L"dup", ' '));
    EXPECT_FALSE(names.Add(0x20, L"dup", ' '));
    EXPECT_FALSE(names.Add(0x20, L"1abc", ' '));
    EXPECT_FALSE(names.Add(0x20, L"has blank", ' '));
    EXPECT_FALSE(names.Add(0x20, L"\x00E9t\x00E9", ' '));
    EXPECT_FALSE(names.Add(0x20, L"", ' '));
    EXPECT_FALSE(names.Add(0x20, nullptr, ' '));
    EXPECT_FALSE(names.Add(-5, L"neg", ' '));
    EXPECT_EQ(names.Count(), 1);
    // An address above 4 GiB is an ordinary address.
    EXPECT_TRUE(names.Add(0x180000000LL, L"high", ' '));
    EXPECT_EQ(names.AddressOf(L"high"), 0x180000000LL);
    EXPECT_EQ(names.AddressOf(L"nope"), -1);
}

TEST(NameStore, MarksOutsidePrintableBecomeBlank) {
    GlobalName names(4);
    names.Add(1, L"a", 7);
    names.Add(2, L"b", 'F');
    names.Add(3, L"c", 127);
    EXPECT_EQ(names.MarkAt(1, 0), L' ');
    EXPECT_EQ(names.MarkAt(2, 0), L'F');
    EXPECT_EQ(names.MarkAt(3, 0), L' ');
    EXPECT_EQ(names.MarkAt(4, 0), 0);
}

TEST(NameStore, RenameKeepsPlaceAndMark) {
    GlobalName names(4);
    names.Add(0x40, L"older", 'F');
    names.Add(0x40, L"newer", ' ');
    ASSERT_TRUE(names.Rename(L"older", L"renamed"));
    EXPECT_EQ(names.TextAt(0x40, 1), L"renamed");
    EXPECT_EQ(names.MarkAt(0x40, 1), L'F');
    EXPECT_FALSE(names.HasText(L"older"));
    EXPECT_EQ(names.AddressOf(L"renamed"), 0x40);
    // The text index stays sorted: every text is still found.
    EXPECT_TRUE(names.HasText(L"newer"));
    EXPECT_FALSE(names.Rename(L"renamed", L"9bad"));
    EXPECT_FALSE(names.Rename(L"renamed", L"newer"));   // a taken text would be in the index twice
    EXPECT_FALSE(names.Rename(L"missing", L"x"));
    EXPECT_TRUE(names.Rename(L"renamed", L""));
    EXPECT_EQ(names.CountAt(0x40), 1);
    EXPECT_EQ(names.Count(), 1);
}

TEST(NameStore, RemoveTextTakesTheRightRecordAtASharedAddress) {
    GlobalName names(2);   // tiny chunks: records cross chunk borders
    for (int i = 0; i < 9; ++i)
        names.Add(0x100, (L"n" + std::to_wstring(i)).c_str(), ' ');
    ASSERT_TRUE(names.RemoveText(L"n4"));
    EXPECT_FALSE(names.RemoveText(L"n4"));
    EXPECT_EQ(names.CountAt(0x100), 8);
    for (int n = 0; n < 8; ++n)
        EXPECT_NE(names.TextAt(0x100, n), L"n4");
    EXPECT_EQ(names.ByTextAt(0).text, std::wstring(L"n0"));
}

TEST(NameStore, TextLongerThanAPoolBlockIsKeptWhole) {
    GlobalName names(1);   // blocks of 48 bytes
    const std::wstring longName(500, L'x');
    ASSERT_TRUE(names.Add(1, longName.c_str(), ' '));
    EXPECT_EQ(names.TextAt(1, 0), longName);
}

TEST(NameStore, RecentListTakesKeyAndLength) {
    GlobalName names(4);
    names.recent.SetKey(L"MRUGlobalName", 2);
    names.recent.PushFront(L"a");
    names.recent.PushFront(L"b");
    names.recent.PushFront(L"c");
    EXPECT_EQ(names.recent.Key(), L"MRUGlobalName");
    EXPECT_EQ(names.recent.Count(), 2);
}

class FixedEditor : public BTextEditor {
public:
    FixedEditor(bool ok, const wchar_t* answer) : ok_(ok), answer_(answer) {}
    bool EditText(const StringW& caption, StringW& text) override {
        captions.push_back(caption);
        shown.push_back(text);
        if (ok_)
            text.SetText(answer_);
        return ok_;
    }
    std::vector<std::wstring> captions, shown;

private:
    bool ok_;
    const wchar_t* answer_;
};

class NameDialogTest : public DocumentTest {};

TEST_F(NameDialogTest, OffersDefaultNameThenRenames) {
    ASSERT_TRUE(doc->AddCodeSegment(0x401000, 0, 0x100, 0));
    GlobalName& names = doc->stores.names;
    FixedEditor add(true, L"entry");
    EXPECT_TRUE(names.EditDialog(&add, doc, 0x401000, 0));
    EXPECT_EQ(add.shown[0], L"addr_00401000");
    EXPECT_EQ(add.captions[0], L"00401000");
    EXPECT_EQ(names.TextAt(0x401000, 0), L"entry");
    EXPECT_EQ(names.MarkAt(0x401000, 0), L' ');
    FixedEditor rename(true, L"main");
    EXPECT_TRUE(names.EditDialog(&rename, doc, 0x401000, 0));
    EXPECT_EQ(rename.shown[0], L"entry");
    EXPECT_EQ(names.CountAt(0x401000), 1);
    EXPECT_EQ(names.TextAt(0x401000, 0), L"main");
    FixedEditor cancel(false, L"ignored");
    EXPECT_FALSE(names.EditDialog(&cancel, doc, 0x401000, 0));
    EXPECT_EQ(names.TextAt(0x401000, 0), L"main");
}

TEST_F(NameDialogTest, TheDecoderSeesTheFirstName) {
    doc->stores.names.Add(0x20, L"older", ' ');
    doc->stores.names.Add(0x20, L"newest", ' ');
    char16_t out[4];
    ASSERT_TRUE(doc->FirstNameAt(0x20, out, 4));
    EXPECT_EQ(std::u16string(out), u"new");   // cut to the capacity
    EXPECT_FALSE(doc->FirstNameAt(0x21, out, 4));
}

}  // namespace

namespace {

TEST(NameStore, AddManyMatchesAddOneByOne) {
    GlobalName many(2), single(2);
    std::vector<std::pair<int64_t, StringW>> batch;
    const struct { int64_t address; const wchar_t* text; } rows[] = {
        { 0x30, L"fn_30" }, { 0x10, L"fn_10" }, { 0x10, L"other" }, { 0x20, L"9bad" },
        { 0x40, L"fn_10" }, { -1, L"neg" },     { 0x50, L"taken" },
    };
    many.Add(0x50, L"taken", ' ');
    single.Add(0x50, L"taken", ' ');
    for (const auto& row : rows) {
        StringW text;
        text.SetText(row.text);
        batch.emplace_back(row.address, text);
        single.Add(row.address, row.text, 'F');
    }
    const std::vector<int64_t> added = many.AddMany(batch, 'F');
    EXPECT_EQ(added.size(), 3u);
    ASSERT_EQ(many.Count(), single.Count());
    for (int i = 0; i < many.Count(); ++i) {
        EXPECT_EQ(many.ByAddressAt(i).address, single.ByAddressAt(i).address);
        EXPECT_EQ(std::wstring(many.ByAddressAt(i).text), std::wstring(single.ByAddressAt(i).text)) << i;
        EXPECT_EQ(std::wstring(many.ByTextAt(i).text), std::wstring(single.ByTextAt(i).text)) << i;
    }
    EXPECT_EQ(many.MarkAt(0x10, 0), L'F');
    EXPECT_EQ(many.AddressOf(L"fn_30"), 0x30);
}

}  // namespace
