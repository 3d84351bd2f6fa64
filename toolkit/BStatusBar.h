#pragma once
// The status bar: a pane docked at the bottom showing a row of cells left to right, each with text,
// an optional icon or lamp, and its own tool tip. The main cell takes the width the others leave and
// receives SetCellText; a cell can be highlighted for some seconds (its index is the timer id). Clicks
// reach the parent as WM_COMMAND (kind << 16 | the bar's id); the parent reads clickedCell meanwhile.

#include "classlib/DC.h"
#include "classlib/GdiObject.h"
#include "core/StringW.h"
#include "toolkit/BPane.h"

#include <cstdint>
#include <utility>
#include <vector>

// One cell: text with an icon or a lamp. Icons are borrowed.
struct StatusCell {
    static constexpr int32_t kDefaultFormat = DT_VCENTER | DT_SINGLELINE;
    static constexpr int32_t kLamp = 0x20000000;         // shows a lamp (over the icon when it has one)
    static constexpr int32_t kSecondLamps = 0x10000000;  // the second lamp colour
    static constexpr int32_t kIconRight = 0x40000000;    // with DT_CENTER: the icon at the right end
    static constexpr int32_t kSunken = INT32_MIN;        // the frame drawn sunk

    StatusCell();

    // Icon room: icon size + 3 with an icon, 12 for a lamp alone, else 0.
    int IconWidth() const;
    bool IconAtRight() const;
    // Background and 3-D frame of the cell rectangle (already cut to the width).
    void DrawFrame(CDC& dc, RECT r) const;
    // Icon or lamp, then the text when enabled, 3 pixels in from each side.
    void Draw(CDC& dc, RECT r) const;

    StringW text;
    COLORREF textColor;
    COLORREF backColor;
    int32_t flags = kDefaultFormat;   // low 24 bits: DrawText flags
    int32_t left = 0;                 // x of the last draw
    int32_t width = 0;                // 0 or less hides the cell
    bool enabled = true;
    bool lampOn = false;
    HICON icon = nullptr;
    int32_t iconSize = 0;
    HICON disabledIcon = nullptr;
    int32_t disabledIconSize = 0;
    StringW tipText;
};

class BStatusBar : public BPane {
public:
    static constexpr UINT kClickLeft = 0;
    static constexpr UINT kClickRight = 2;
    static constexpr UINT kClickDouble = 5;

    explicit BStatusBar(int cellCount);
    ~BStatusBar() override = default;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // A derived bar fills its cells here before each paint.
    virtual void PrepareCells() {}
    // Drawn over the whole bar after the cells.
    virtual void PaintExtra(CDC&, const RECT&) {}
    virtual void ClearCell(int index);
    // The main cell takes what the others leave of cx.
    virtual void LayoutCells(int cx, int cy);
    virtual void ClearCells();
    // Fills the tool info with the cell's index as id and a copy of its tip (at most 255 characters).
    virtual int GetTipText(TOOLINFOW* info, int index, int offset) const;
    // The font's character cell height + 6.
    int GetExtent() const override;
    int OnCreate(CREATESTRUCTW* cs) override;

    int GetBarHeight() const;
    void SetCellText(const wchar_t* text);
    void Highlight(int cell, int seconds);
    void HighlightCurrent(int seconds);
    // The cell under x and x's offset into it; (-1, 0) beyond the last cell.
    std::pair<int, int> HitTest(int x) const;

    void OnDestroy() override;
    BOOL OnEraseBkgnd(HDC) override { return TRUE; }
    void OnPaint() override;
    void OnTimer(UINT_PTR id) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonDblClk(UINT flags, POINT point) override;
    void OnRButtonDown(UINT flags, POINT point) override;
    void OnSize(UINT type, int cx, int cy) override;
    INT_PTR OnToolHitTest(POINT point, TOOLINFOW* info) const override;

    // Draws the bar into a DC of the client size (the paint goes through a memory DC).
    void PaintInto(CDC& dc, const RECT& client);

    int mainCell = 0;
    std::vector<StatusCell> cells;
    COLORREF backColor = 0;
    COLORREF highlightBack = 0;
    COLORREF highlightText = 0;
    CFont font;
    int clickedCell = -1;

private:
    void ReportClick(UINT kind, int x);
    // Ends a cell's highlight: its timer stops and its own colours come back.
    void EndHighlight(int cell);

    struct Saved {
        bool highlighted = false;
        COLORREF text = 0, back = 0;
    };
    std::vector<Saved> saved_;
};
