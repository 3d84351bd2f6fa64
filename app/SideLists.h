#pragma once
// The list panes of a file window's side tab: segments, names, bookmarks, refers, strings and the two
// find results. Each reads one store of the document under that store's lock and draws it through one
// list line; a double click on a row's address takes the disassembly pane there.
//
//   auto* names = new GlobalNamePane;
//   names->CreateEx(0, nullptr, L"", WS_CHILD, rect, sideTab, kIdNameList);
//   // then 0x5E20 (options), 0x5E08 (document) and 0x5E0B (parsed) reach it with the file window's.

#include "app/AppMessages.h"
#include "app/DizaZoneLines.h"
#include "app/StringzFilterBytes.h"
#include "app/StringzFilterTexts.h"
#include "core/DizaLinePos.h"
#include "core/StringW.h"
#include "document/BName.h"
#include "document/BResultDiza.h"
#include "document/BookmarkStore.h"
#include "document/DocumentHost.h"
#include "document/KSegment.h"
#include "document/StringzTable.h"
#include "toolkit/BMultiList.h"
#include "toolkit/BZoneLine.h"
#include "toolkit/ZoneText.h"

#include <windows.h>

#include <cstdint>
#include <vector>

class FileParseThread;
class Options;

// Control ids of the side tab's panes, in tab order.
enum : int {
    kIdSegmentList = 221,
    kIdNameList = 222,
    kIdBookmarkList = 223,
    kIdRefersList = 224,
    kIdStringList = 225,
    kIdFind1List = 226,
    kIdFind2List = 227,
};

// Commands of the result panes' button row, and the strip its icons come from.
enum : UINT {
    kCmdCopyResults = 101,
};

// Hexadecimal text of an address at d digits: above 8 the high half (d - 9 digits), a backquote and
// 8 low digits; the address -1 gives an empty text.
StringW ListAddressText(int64_t address, int digits);

// The file window's disassembly pane goes to an address; the focus follows when it went.
bool GotoAndFocus(CWnd& from, FileParseThread* document, int64_t address);

// Fonts and colours of every side list (0x5E20 with wparam 1): the keyless header font, "ListFont",
// "ListBk", "ListTxt", "ListInfocus" and "ListOutfocus".
void ApplySideListOptions(BMultiList& list, const Options& options);

// --- Lines

class SegmentListLine : public BMultiListLine {
public:
    SegmentListLine() : BMultiListLine(5) {}
    void CreateZones(BMultiZone* pane) override;
    void SetData(const void* item) override;

    ZoneNumberHexAdapt* address = nullptr;
    ZoneNumberHexAdapt* offset = nullptr;
    ZoneNumberHexAdapt* fileSize = nullptr;
    ZoneNumberHexAdapt* memorySize = nullptr;
    BZoneString* name = nullptr;
};

class GlobalNameLine : public BMultiListLine {
public:
    GlobalNameLine() : BMultiListLine(3) {}
    void CreateZones(BMultiZone* pane) override;
    void SetData(const void* item) override;

    ZoneNumberHexAdapt* address = nullptr;
    BZoneString* mark = nullptr;
    BZoneString* name = nullptr;
};

class BookmarkLine : public BMultiListLine {
public:
    BookmarkLine() : BMultiListLine(3) {}
    void CreateZones(BMultiZone* pane) override;
    void SetData(const void* item) override;

    ZoneBookmark* flag = nullptr;   // zone 1 here
    ZoneNumberHexAdapt* address = nullptr;
    BZoneString* note = nullptr;
};

class BResultLine : public BMultiListLine {
public:
    BResultLine() : BMultiListLine(2) {}
    void CreateZones(BMultiZone* pane) override;
    void SetData(const void* item) override;

    ZoneNumberHexAdapt* address = nullptr;
    BZoneString* result = nullptr;
    // Whether the record's found span (value, length) is marked in the text.
    bool markFound = false;
};

// A row of the strings list: the record and what its line shows.
struct StringzRow {
    STRINGZ_DATA record{};
    StringW text;
    int refers = 0;
};

class StringzLine : public BMultiListLine {
public:
    StringzLine() : BMultiListLine(3) {}
    void CreateZones(BMultiZone* pane) override;
    void SetData(const void* item) override;

    ZoneNumberHexAdapt* address = nullptr;
    BZoneString* refers = nullptr;
    BZoneString* text = nullptr;
};

// --- Panes

class SegmentListPane : public BMultiList {
public:
    SegmentListPane();
    ~SegmentListPane() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    void* GetItem(int row) override;
    int32_t GetCount() override;
    CRITICAL_SECTION* GetDrawLock() override;
    FileParseThread* GetDocument() override { return document; }
    void OnZoneDblClick(BZone* zone, int row, int x) override;
    int OnCreate(CREATESTRUCTW* cs) override;
    void OnSize(UINT type, int cx, int cy) override;

    LRESULT OnAttach(WPARAM attached, LPARAM doc);
    LRESULT OnOptions(WPARAM what, LPARAM options);
    LRESULT OnSegments(WPARAM flags, LPARAM);
    // Digits and widths of the columns from all segments; the name column takes the rest.
    void FitColumns();
    void FitNameColumn();
    int TitleWidth(const BZone* zone);

    FileParseThread* document = nullptr;
    SegmentListLine* line = nullptr;

private:
    static const MessageEntry kEntries[];
};

// The filtered lists' common part: order id, remembered current row, digits after parsing.
class SideFilterList : public BMultiFilterList {
public:
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // The number of items in the current order (no filter).
    virtual int32_t StoreCount() = 0;
    // The item at index i of the current order, into the pane's row slot; null past the end.
    virtual void* StoreItem(int i) = 0;
    virtual int64_t AddressOfItem(const void* item) = 0;
    virtual ZoneNumberHexAdapt* AddressZone() = 0;
    // The store's change count (it grows with every change of the store's items).
    virtual uint32_t StoreChanges() = 0;
    // Takes the store's locks and runs FilterItems.
    virtual void FilterStore() = 0;
    // Whether item i of the current order has a lowered text that holds the filter (under the locks).
    virtual bool ItemHolds(int i) = 0;

    // Rebuilds the filtered rows (none are kept for an empty filter: the store is shown as it is).
    void Refilter() final;
    int32_t GetCount() override;
    int32_t RowCount() override;
    uint32_t SourceStamp() override { return StoreChanges(); }
    void* GetItem(int row) override;
    void UpdateCount() override;
    void OnRowDraw(int row, void* item) override;
    void OnFilterChanged() override;
    void OnPaint() override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    // A double click on a row's address (zone 1) goes there.
    void OnZoneDblClick(BZone* zone, int row, int x) override;
    FileParseThread* GetDocument() override { return document; }

    // A new order: scroll to the top, refilter, repaint.
    void SetOrder(int id);
    // The index in the current order of filtered position n (n itself without a filter); -1 past it.
    int IndexOfPosition(int64_t n);
    // After the list changed: the remembered address is looked for near its old row.
    void KeepCurrent();
    void Remember(int64_t position, int64_t address);

    LRESULT OnAttach(WPARAM attached, LPARAM doc);
    LRESULT OnOptions(WPARAM what, LPARAM options);
    LRESULT OnParsing(WPARAM started, LPARAM);

    FileParseThread* document = nullptr;
    int orderId = 1;
    int64_t rememberedIndex = -1;
    int64_t rememberedAddress = -1;

protected:
    // Appends the index of every item that holds the filter: of the rows it had when the filter only
    // grew over an unchanged store, else of the whole store (FilterAll).
    void FilterItems();
    // Appends the index of every item of the store that holds the filter.
    virtual void FilterAll();
    // Appends the index of each of the rows (rising indexes) whose item holds the filter.
    virtual void FilterRows(const std::vector<int>& rows);
    // Whether a grown filter looks faster at the `rows` it had than at the whole store.
    virtual bool NarrowsFaster(int) { return true; }
    void AddIndex(int i) { AddFiltered(reinterpret_cast<void*>(static_cast<intptr_t>(i))); }

private:
    // Whether the filtered rows were made from this store state (its change count) and order.
    bool SameSource(uint32_t changes) const;
    // Whether the store, the filter or the order changed since the filtered rows were made.
    bool FilterStale();

    static const MessageEntry kEntries[];
    // What the filtered rows were made from.
    bool filteredValid_ = false;
    uint32_t filteredChanges_ = 0;
    StringW filteredText_;
    int filteredOrder_ = 0;
    bool narrowing_ = false;
    std::vector<int> narrowed_;   // the rows a grown filter looks at again
};

class GlobalNamePane : public SideFilterList {
public:
    static constexpr int kOrderByAddress = 1;
    static constexpr int kOrderByName = 2;

    GlobalNamePane();
    ~GlobalNamePane() override;

    CRITICAL_SECTION* GetDrawLock() override;
    int32_t StoreCount() override;
    void* StoreItem(int i) override;
    int64_t AddressOfItem(const void* item) override { return static_cast<const NAME_DATA*>(item)->address; }
    ZoneNumberHexAdapt* AddressZone() override { return line ? line->address : nullptr; }
    uint32_t StoreChanges() override;
    void FilterStore() override;
    bool ItemHolds(int i) override;
    bool AcceptsFilterChar(wchar_t c) override;
    void OnHeaderPressed(BZone* zone) override;
    int OnCreate(CREATESTRUCTW* cs) override;

    GlobalNameLine* line = nullptr;
    NAME_DATA slot{};
};

class StringzPane : public SideFilterList {
public:
    StringzPane();
    ~StringzPane() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    CRITICAL_SECTION* GetDrawLock() override;
    int32_t StoreCount() override;
    void* StoreItem(int i) override;
    int64_t AddressOfItem(const void* item) override {
        return static_cast<const StringzRow*>(item)->record.address;
    }
    ZoneNumberHexAdapt* AddressZone() override { return line ? line->address : nullptr; }
    uint32_t StoreChanges() override;
    void FilterStore() override;
    bool ItemHolds(int i) override;
    bool AcceptsFilterChar(wchar_t c) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    int OnCreate(CREATESTRUCTW* cs) override;
    void OnTimer(UINT_PTR id) override;
    void UpdateCount() override;
    int32_t RowCount() override;

    // Removes the current string from the table (Shift+Delete); whether one went.
    bool RemoveCurrent();
    LRESULT OnStringScan(WPARAM running, LPARAM);
    // A new document: the texts are made anew.
    LRESULT OnAttach(WPARAM attached, LPARAM doc);
    // The filter texts are made in idle time when they no longer match the table.
    void StartFilterTexts();
    // Fills the slot from the record: text and refers.
    void FillRow(const STRINGZ_DATA& record);

    StringzLine* line = nullptr;
    StringzRow slot;
    StringzFilterTexts filterTexts;
    StringzFilterBytes filterBytes;
    // Whether Shift is held (tests replace it).
    static bool (*shiftHeld)();
    // How long an idle slice works on the filter texts, in milliseconds (tests lower it).
    static int filterTextsSliceMs;

protected:
    void FilterAll() override;
    void FilterRows(const std::vector<int>& rows) override;
    bool NarrowsFaster(int rows) override;

private:
    static constexpr UINT_PTR kFilterTextsTimer = 0x5354;
    bool textsReady_ = false;   // FilterStore has the filter texts of the table
    static const MessageEntry kEntries[];
};

class BookmarkPane : public BMultiList {
public:
    BookmarkPane();
    ~BookmarkPane() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    void* GetItem(int row) override;
    int32_t GetCount() override;
    CRITICAL_SECTION* GetDrawLock() override;
    FileParseThread* GetDocument() override { return document; }
    void OnZoneDblClick(BZone* zone, int row, int x) override;
    int OnCreate(CREATESTRUCTW* cs) override;

    // The bookmark at the address becomes the current row; false when there is none.
    bool GotoBookmark(int64_t address);
    // A double click on a row's cell: the address goes there, the note opens the bookmark dialog.
    void OnItemAction(BZone* zone, int row);
    // The bookmark dialog over a note and colour; true on OK (tests replace it).
    static bool (*editBookmark)(CWnd* parent, StringW& note, COLORREF& colour);

    LRESULT OnAttach(WPARAM attached, LPARAM doc);
    LRESULT OnOptions(WPARAM what, LPARAM options);
    LRESULT OnParsing(WPARAM started, LPARAM);

    FileParseThread* document = nullptr;
    BookmarkLine* line = nullptr;
    BOOKMARK_DATA slot{};

private:
    static const MessageEntry kEntries[];
};

class BResultPane : public BMultiList {
public:
    BResultPane();
    ~BResultPane() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // The result store the pane lists; null without a document.
    virtual BResultDiza* GetStore() = 0;

    void* GetItem(int row) override;
    int32_t GetCount() override;
    CRITICAL_SECTION* GetDrawLock() override;
    FileParseThread* GetDocument() override { return document; }
    void UpdateCount() override;
    void OnRowDraw(int row, void* item) override;
    void OnZoneDblClick(BZone* zone, int row, int x) override;
    void OnIdleUpdateCmdUI() override;
    bool OnCmdMsg(UINT id, UINT code) override;
    int OnCreate(CREATESTRUCTW* cs) override;

    // The row of the record at the address becomes current; false when there is none.
    bool SelectAddress(int64_t address);
    // The list starts anew (no remembered row, scrolled to the top).
    void Empty();
    // The records as text, "address text\n" each; false (and logged) when it could not be copied.
    bool CopyToClipboard();
    // The text CopyToClipboard puts; empty without records. `failed` is set when no memory was had.
    StringW ResultsText(bool& failed);

    LRESULT OnAttach(WPARAM attached, LPARAM doc);
    LRESULT OnOptions(WPARAM what, LPARAM options);
    LRESULT OnParsing(WPARAM started, LPARAM);

    FileParseThread* document = nullptr;
    BResultLine* line = nullptr;
    _RESULT_DIZA slot{};
    int64_t rememberedIndex = -1;
    DizaLinePos rememberedPos{ -1, 0 };
    // Replaceable for tests: the clipboard and the buffer's allocation.
    static bool (*putClipboard)(const wchar_t* text);
    static bool (*reserveBuffer)(StringW& text, size_t bytes);

private:
    static const MessageEntry kEntries[];
};

class FindPane : public BResultPane {
public:
    static constexpr int kIconSize = 12;

    FindPane() = default;
    ~FindPane() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    BResultDiza* GetStore() override;
    void OnShowWindow(BOOL show, UINT status) override;
    // The tab shows the "IMAGE_ACTIVE" icon while this is the active result pane.
    void UpdateTabIcon(bool active);
    static HICON ActiveIcon();

private:
    static const MessageEntry kEntries[];
};

class RefersPane : public BResultPane {
public:
    BResultDiza* GetStore() override;
};
