#pragma once
// Lists: the multi-zone pane with a header row of column titles, grid lines, clickable header cells
// with a sort glyph, double-click auto-fit of a column and a current row that follows the mouse.
// BMultiFilterList adds a one-line filter edit that opens when the user types in the list and narrows
// the items to those whose text holds the filter.
//
//   class NamesList : public BMultiFilterList {
//       int32_t GetCount() override ...   // or the filtered count of the base
//       void Refilter() override;          // fills `filtered` from the source using filterText
//       bool AcceptsFilterChar(wchar_t c) override { return c > 32; }
//   };

#include "classlib/Controls.h"
#include "classlib/GdiObject.h"
#include "core/StringW.h"
#include "core/TChunk.h"
#include "toolkit/BMultiZone.h"

#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>

class BMultiList : public BMultiZone {
public:
    BMultiList();
    ~BMultiList() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    void DrawBackground(CDC& dc) override;
    int32_t DrawRows(CDC& dc) override;
    void UpdateCount() override;
    void OnZoneMiddleClick(BZone* zone, int row) override;
    void OnZoneDown(BZone* zone, int row, int x) override;
    void OnZoneUp(BZone* zone, int row, int x) override;
    void CancelDrag() override;
    void OnHeaderDblClick(BZone* zone) override;
    // The widest text of a zone over every item of the list, whatever the scroll position.
    int WidestOfAll(BZone* zone);

    virtual void DrawHeaderCell(CDC& dc, const RECT& r, BZone* zone);
    virtual void DrawHeaderRow(CDC& dc);
    // A clickable header cell was pressed (lists that sort do it here).
    virtual void OnHeaderPressed(BZone* zone);
    // A clickable header cell got a middle click.
    virtual void OnHeaderClick(BZone* zone);
    virtual int32_t GetCount() = 0;
    // The count of the rows once they are made for the source as it is now (a list that makes its
    // rows when it paints makes them here); captions show it.
    virtual int32_t RowCount();
    // Changes whenever the source's items do; lists whose count says it all keep 0.
    virtual uint32_t SourceStamp();
    // The rows drawn last no longer show the source: its count or its stamp moved since (a change
    // that told the list nothing).
    bool RowsStale();

    void AddColumnTitle(const wchar_t* text);
    // The list font (weight 400; style 1 italic) for the header and the rows; the header is a
    // character cell + 5 high.
    void SetFont(const wchar_t* face, int points, int style = 0);
    // Appends (control id, item count), for captions that show counts.
    void ReportCount(std::vector<std::pair<int, int>>& out);
    // The current line and the page top move together to line n.
    void MoveCurrentLine(int64_t n);
    // The title of a zone of the first line: the n-th title for the n-th non-separator zone.
    const StringW* TitleOf(const BZone* zone) const;

    int OnCreate(CREATESTRUCTW* cs) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    std::vector<StringW> columnTitles;
    CFont listFont;
    HACCEL accelerators = nullptr;
    COLORREF headerBack;
    COLORREF headerText;
    int32_t pressedHeader = 0;   // id of the header zone held down, 0 none
    int32_t sortColumn = 0;      // id of the sort column, negative descending, 0 none

protected:
    // The header cell of a zone in page coordinates.
    RECT HeaderCellRect(const BZone* zone);

private:
    // What the rows were drawn from last.
    int64_t drawnCount_ = -1;
    uint32_t drawnStamp_ = 0;
};

class BMultiFilterList : public BMultiList {
public:
    static constexpr int kFilterEditId = 60913;

    BMultiFilterList();
    ~BMultiFilterList() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    void* GetItem(int row) override;
    bool HasFocus() override;
    void DrawBackground(CDC& dc) override;
    void GetClientArea(RECT& r) override;
    int32_t GetCount() override;

    // Rebuilds `filtered` from the subclass's source with filterText (under the draw lock).
    virtual void Refilter() = 0;
    // Whether a character typed into the list opens the filter.
    virtual bool AcceptsFilterChar(wchar_t c) = 0;
    // Reads the filter edit: lower-cased into filterText, then Refilter and a repaint.
    virtual void OnFilterChanged();

    int OnCreate(CREATESTRUCTW* cs) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type) override;
    void OnSetFocus(HWND previous) override;
    BOOL OnEraseBkgnd(HDC dc) override;

    bool FilterShown() const { return filterEdit.m_hWnd && (filterEdit.GetStyle() & WS_VISIBLE); }
    // For Refilter: empties the filtered items, and appends one.
    void ClearFiltered() { filtered.Clear(0); filtered.count = 0; }
    void AddFiltered(void* item) { filtered.Append(item); }
    // Hides the edit, empties its text (showing every item again) and lays the pane out.
    void CloseFilter();

    TChunk<void*> filtered{1024};
    CFont filterFont;
    CEdit filterEdit;
    StringW filterText;
    int32_t editHeight = 0;
    bool editOnTop = false;
    CBrush editBrush;

private:
    // While the filter opens or closes, the pane is drawn only by the paint that follows.
    class HoldErase {
    public:
        explicit HoldErase(BMultiFilterList& list) : list_(list) { list_.holdErase_ = true; }
        ~HoldErase() { list_.holdErase_ = false; }
        HoldErase(const HoldErase&) = delete;
        HoldErase& operator=(const HoldErase&) = delete;

    private:
        BMultiFilterList& list_;
    };

    void Relayout();
    // Moves the edit into its strip: the full client width, edit height high.
    void PlaceEdit();

    bool holdErase_ = false;
};

// Lower-cases a text for filtering (the filter compares lower-cased texts).
StringW FilterLower(const wchar_t* text);
