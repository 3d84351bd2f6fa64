#pragma once
// The scrolled pane of rows of zones that every list, log and the disassembly view are built on. It
// stores no rows: for each visible row it asks its subclass for the row's item (GetItem), fills one of
// its few zone lines with it (GetLine, SetData) and draws the line into an off-screen page, which
// WM_PAINT copies to the screen. A fixed left part (the zones of the first line up to SetFixedColumns)
// does not scroll sideways. Its vertical scroller's pager maps rows to 64-bit line positions; its
// horizontal scroller's position is the pixel offset of the part right of the fixed one.
//
//   class MyList : public BMultiZone {
//       void* GetItem(int row) override;            // null past the end
//   };
//   pane.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, r, parent, id);
//   pane.AddLine(new MyLine);  pane.SetFont(L"Courier New", 10, FW_NORMAL);
//   pane.VScroller().rangeEnd = count;  pane.Invalidate();

#include "classlib/CursorIcon.h"
#include "classlib/DC.h"
#include "classlib/GdiObject.h"
#include "toolkit/BButtonParade.h"
#include "toolkit/BPane.h"
#include "toolkit/BScroller.h"
#include "toolkit/HShadowDC.h"
#include "toolkit/TextSelection.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

class BZone;
class BZoneLine;
class FileParseThread;
class ZoneSeparator;

class BMultiZone : public BPane {
public:
    static constexpr UINT_PTR kAutoscrollTimer = 15;
    static constexpr int kScrollerThickness = 15;

    explicit BMultiZone(int dividerType = 0);
    ~BMultiZone() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // --- What subclasses fill in.
    // The item shown in visible row n; null past the end.
    virtual void* GetItem(int row) = 0;
    // Draws the visible rows into the page; the widest row's width.
    virtual int32_t DrawRows(CDC& dc);
    virtual void UpdateScrollers(CDC& dc);
    virtual void OnPageRows(int rows);
    virtual void OnRowDraw(int row, void* item);
    virtual void OnScrolled();
    // The lock of the data under the rows, held while painting and while a press fills a row.
    virtual CRITICAL_SECTION* GetDrawLock();
    // The line that draws a row (the base: the first line, its row set to -1).
    virtual BZoneLine* GetLine(int row);
    virtual bool HasFocus();
    virtual void DrawBackground(CDC& dc);
    virtual void UpdateCount();
    virtual void OnZoneMiddleClick(BZone* zone, int row);
    virtual void OnZoneDown(BZone* zone, int row, int x);
    virtual void OnZoneUp(BZone* zone, int row, int x);
    virtual void OnZoneDblClick(BZone* zone, int row, int x);
    virtual void OnZoneDrag(BZone* zone, int row, int x, UINT keys);
    virtual void OnHeaderDblClick(BZone* zone);
    virtual void GetClientArea(RECT& r);
    virtual COLORREF RowBackColor(int row);
    // Sets a column's width and lays the pane out again.
    virtual void SetZoneWidth(BZone* zone, int width);
    virtual FileParseThread* GetDocument();
    // A drawing hook of subclasses; the toolkit leaves it empty.
    virtual void DrawExtra(CDC& dc, int a, int b, int c, int d, int e);
    virtual void LayoutLines();
    // Called after a row's item was drawn or used by a press, for panes that make their items.
    virtual void ReleaseItem(void* item);
    // Ends a running drag without its effect, when the capture goes elsewhere (a menu, another window)
    // or a modal loop begins: the track line goes, the cursor is freed, autoscroll stops.
    virtual void CancelDrag();

    // --- Lines, font and colours.
    // The pane owns the line from now on.
    void AddLine(BZoneLine* line);
    BZoneLine* Line(size_t i) const { return i < lines.size() ? lines[i].get() : nullptr; }
    size_t LineCount() const { return lines.size(); }
    // Every zone the line holds so far belongs to the fixed left part.
    void SetFixedColumns(BZoneLine* line);
    // The pane's font (weight: FW_NORMAL, FW_BOLD, ...); sets the row height and the scrollers' steps.
    void SetFont(const wchar_t* face, int points, int weight, bool italic = false);
    CFont& Font() { return font; }
    void SetNormalColor(COLORREF colour);
    void SetHighlightColor(COLORREF colour);
    void SetMatchColor(COLORREF colour);
    void SetTextColor(COLORREF colour);

    // --- Geometry. x and y are client coordinates unless said otherwise.
    int RowAtY(int y);
    // Page x of a client x: shifted by the horizontal offset right of the fixed part.
    int PageX(int x);
    int HOffset() const;
    BZone* ZoneAtXY(int x, int y);
    // The character (unit) of the zone under page x in a row; -1 without an item.
    int ColumnAtX(BZone* zone, int row, int x);
    // The widest content of the zone over the rows, stopping at the first row without an item.
    int MaxZoneWidth(BZone* zone, int firstRow, int lastRow);
    int64_t LineOfRow(int row);
    void ResetScroll();
    // The client area less the visible scrollers; the page area also less the header.
    void GetTextArea(RECT& r);
    void GetPageArea(RECT& r);
    RECT GetRowRect(int n);
    void DrawGrid(CDC& dc);
    // 1 top strip, 2 bottom, 4 right edge, 3 just right of the fixed part, else 0.
    int AutoscrollRegion(int x, int y);
    int RowsPerPage() const { return vScroller.page; }

    HScroller& HBar() { return hScroller; }
    VScroller& VBar() { return vScroller; }
    BScrollPager* Pager() const { return vScroller.Pager(); }
    static BMultiZone* LastFocused() { return lastFocused_; }

    // --- Messages.
    int OnCreate(CREATESTRUCTW* cs) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnPaint() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnWindowPosChanged(WINDOWPOS* pos) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnLButtonDblClk(UINT flags, POINT point) override;
    void OnMButtonDown(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;
    BOOL OnMouseWheel(UINT flags, short delta, POINT screenPoint) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    UINT OnGetDlgCode() override;
    void OnHScroll(UINT code, UINT position, HWND bar) override;
    void OnVScroll(UINT code, UINT position, HWND bar) override;
    void OnTimer(UINT_PTR id) override;
    void OnSetFocus(HWND previous) override;
    void OnKillFocus(HWND next) override;
    void OnScrollerShown(NMHDR* header, LRESULT* result);
    LRESULT OnCaptureChanged(WPARAM, LPARAM);
    LRESULT OnCancelMode(WPARAM, LPARAM);

    HShadowDC shadow;
    int32_t fixedColumns = -1;
    int32_t fixedWidth = 0;
    // Small buttons at the left end of the horizontal scroller's strip (a subclass fills the row).
    BButtonParade cornerButtons;
    int32_t cornerLength = 0;   // how far right of the text area's left edge the horizontal scroller starts
    ZoneSeparator* dragSeparator = nullptr;
    // The confinement of a press drag in a row (subclasses confine; the end of any drag frees it).
    CursorClip dragClip;
    COLORREF normalColor;
    COLORREF textColor;
    COLORREF gridColor;
    COLORREF currentFocusColor;
    COLORREF currentColor;
    COLORREF selectedColor;
    int32_t rowHeight = 16;
    int32_t rowGap = 0;
    int32_t headerHeight = 0;
    TextSelection selection;
    int32_t contentWidth = 0;
    int32_t autoscrollInterval = 25;
    bool relayoutRunning = false;

protected:
    CFont font;
    std::vector<std::unique_ptr<BZoneLine>> lines;
    HScroller hScroller;
    VScroller vScroller;
    BScrollCorner topCorner;
    BScrollCorner bottomCorner;

private:
    bool Shows(const CWnd& w) const { return w.m_hWnd && (w.GetStyle() & WS_VISIBLE); }
    void ResizePage();
    // After a step: the scroller's thumb and its window.
    void Refresh(BScroller& bar);
    void VerticalStep(UINT code, int count = 1);
    void HorizontalStep(UINT code);
    // Follows a drag to a client point: the selection and OnZoneDrag.
    bool FollowDrag(POINT p, UINT keys);
    POINT CursorClient() const;

    static BMultiZone* lastFocused_;
    SIZE refusedPage_{0, 0};   // the last page size GDI refused
};
