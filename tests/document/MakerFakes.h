#pragma once
// A document over bytes of a test's choosing, with recording stand-ins for the stores and the pane
// that makers, line models and walkers reach.

#include "DocumentFakes.h"
#include "document/BlockSelection.h"
#include "document/ItemStores.h"

#include <map>
#include <string>
#include <vector>

struct FakeCollapse {
    int64_t start, end;
    bool closed;
};

class FakeView : public BDizaView {
public:
    BlockSelection& Selection() override { return selection; }
    int64_t GetCurrentAddress() override { return current; }
    void RewalkTop() override { ++rewalks; }
    void Repaint() override { ++repaints; }
    intptr_t PaneParam() override { return 77; }
    bool PageShows(const DizaLinePos& p) override { return p.address >= pageFirst && p.address < pageEnd; }
    int RowCount() override { return rows; }
    void SetTop(const DizaLinePos& position) override { top = position; }
    void SetCursorAddress(int64_t address) override { cursor = address; }
    void SetCurrentLine(const DizaLinePos& position) override { line = position; }
    void SetMarkedAddress(int64_t address) override { marked = address; }
    bool RunArrayDialog(int elementSize, int64_t length, ArrayChoice& c) override {
        dialogSize = elementSize;
        dialogLength = length;
        if (!dialogOk)
            return false;
        c = choice;
        return true;
    }
    int ColumnAt(const void*, int x, int) override { return x < 0 ? -1 : x / 8; }
    int ColumnsWidth(HDC, const void*, const wchar_t*, int columns) override { return columns * 8; }

    BlockSelection selection;
    int64_t current = -1, cursor = -1, marked = -2, pageFirst = 0, pageEnd = 0, dialogLength = 0;
    int rows = 30, rewalks = 0, repaints = 0, dialogSize = 0;
    DizaLinePos top = { -1, 0 };
    DizaLinePos line = { -1, 0 };
    bool dialogOk = true;
    ArrayChoice choice;
};

class FakeStores : public BItemStores {
public:
    const FakeCollapse* At(int64_t start) const {
        for (auto it = collapses.rbegin(); it != collapses.rend(); ++it)
            if (it->start == start)
                return &*it;
        return nullptr;
    }
    bool IsCollapsed(int64_t start) override { const FakeCollapse* c = At(start); return c && c->closed; }
    int64_t CollapseEnd(int64_t start) override { const FakeCollapse* c = At(start); return c ? c->end : -1; }
    int64_t FindCollapsedContaining(int64_t a) override {
        int64_t best = -1;
        for (const FakeCollapse& c : collapses)
            if (c.closed && c.start < a && a < c.end && c.start > best)
                best = c.start;
        return best;
    }
    int64_t FindCollapsedStartByEnd(int64_t a) override {
        for (const FakeCollapse& c : collapses)
            if (c.closed && c.end == a && c.start < a)
                return c.start;
        return -1;
    }
    void ExpandAround(int64_t a) override {
        for (FakeCollapse& c : collapses)
            if (c.start < a && a < c.end)
                c.closed = false;
    }
    void RemoveCollapseAt(int64_t start) override {
        for (size_t i = 0; i < collapses.size(); ++i)
            if (collapses[i].start == start) {
                collapses.erase(collapses.begin() + i);
                return;
            }
    }
    bool AddCollapse(int64_t start, int64_t end) override {
        collapses.push_back({ start, end, false });
        return true;
    }
    void SetCollapsed(int64_t start) override {
        for (FakeCollapse& c : collapses)
            if (c.start == start)
                c.closed = true;
    }
    int CommentLineCount(int64_t a) override { return Count(comments, a); }
    int NameCount(int64_t a) override { return Count(names, a); }
    int OnlineCommentLineCount(int64_t a) override { return Count(online, a); }
    void ClearRange(int64_t s, int64_t e) override { calls.push_back(L"clear " + Range(s, e)); }
    void OnRangeChanged(int64_t s, int64_t e) override { calls.push_back(L"changed " + Range(s, e)); }

    static int Count(const std::map<int64_t, int>& m, int64_t a) {
        auto it = m.find(a);
        return it == m.end() ? 0 : it->second;
    }
    static std::wstring Range(int64_t s, int64_t e) {
        wchar_t b[64];
        swprintf(b, 64, L"%llX-%llX", static_cast<unsigned long long>(s), static_cast<unsigned long long>(e));
        return b;
    }

    std::vector<FakeCollapse> collapses;
    std::map<int64_t, int> comments, names, online;
    std::vector<std::wstring> calls;
};

// A document over `bytes`, opened with a parser that adds nothing; each test adds its segments.
class MakerTest : public ::testing::Test {
protected:
    void Open(const std::string& bytes, int bitness = 32) {
        file_.reset(new TempFile(L"makers.bin", bytes));
        od_.reset(new OpenDocument(dir_));
        doc = od_->doc;
        ASSERT_TRUE(doc->OpenFile(RequestFor(file_->Path(), &parser_, bitness, 0)));
        doc->itemStores = &stores;
        Host().dizaView = &view;
        od_->log.lines.clear();
    }
    void TearDown() override {
        od_.reset();
        file_.reset();
    }
    std::vector<std::wstring>& Lines() { return od_->log.lines; }
    FakeHost& Host() { return od_->host; }
    std::vector<Diza> Records() const {
        std::vector<Diza> r;
        for (int i = 0; i < doc->Map().Count(); ++i)
            r.push_back(doc->Map().GetAt(i));
        return r;
    }
    std::wstring Text(int64_t address);

    FakeDirectory dir_;
    LambdaParser parser_{ [](FileParseThread*) { return true; } };
    std::unique_ptr<TempFile> file_;
    std::unique_ptr<OpenDocument> od_;
    FakeStores stores;
    FakeView view;
    FileParseThread* doc = nullptr;
};

using RecordList = std::vector<std::pair<int64_t, uint32_t>>;

inline RecordList Pairs(const std::vector<Diza>& records) {
    RecordList r;
    for (const Diza& d : records)
        r.emplace_back(d.address, d.kind);
    return r;
}
