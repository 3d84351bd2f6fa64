#pragma once
// Docked panes. A pane sits on one side of its parent (top, right, bottom or left) and takes a size
// along that side's axis, in pixels or as a fraction of the parent. The parent lays all its children
// out in one pass (LayoutChildren): every child after the first cuts its piece from an edge of the
// parent's client area with message 0x5E24, and the first child fills what is left. A pane may own a
// divider bar beside it through which the user drags its size, double-clicks it away and back, or
// drags it below its minimum to hide it.

#include "classlib/CWnd.h"

#include <cstdint>
#include <memory>

// Lay out a pane: wparam 1 repaints while moving; lparam the PaneLayoutArea.
constexpr UINT kMsgLayoutPane = 0x5E24;

// What every pane of one layout pass cuts its piece from.
struct PaneLayoutArea {
    RECT rect;              // shrinks as each pane takes its piece
    int32_t parentWidth;
    int32_t parentHeight;
    HWND rest;              // the child that takes what is left (the parent's first child)
};

class BPane;

// The bar beside a pane. A plain divider only paints itself.
class BDivider : public CWnd {
public:
    static constexpr int kThin = 4;     // beside a visible pane
    static constexpr int kThick = 9;    // a hidden pane's grip

    explicit BDivider(int kind) : kind(kind) {}
    ~BDivider() override = default;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // A child of parent, its kind as control id.
    bool Create(HWND parent);
    int Thickness() const;
    bool OwnerShown() const;

    void OnPaint() override;

    // The cursor of a bar between rows or between columns.
    static HCURSOR ResizeCursor(bool rows);

    HWND owner = nullptr;   // the pane that gets the notifications
    int kind;               // 0 plain, 2 movable; also the control id at creation
    int side = 0;           // copied from the pane at each layout
};

// The divider the user drags: it forwards its mouse messages to the owner pane as WM_NOTIFY with the
// message as code, from control id 2 while the pane shows and 1 while it is hidden.
class DividerMoved : public BDivider {
public:
    DividerMoved() : BDivider(2) {}

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    BOOL OnSetCursor(HWND window, UINT hitTest, UINT message) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnLButtonDblClk(UINT flags, POINT point) override;
    // A drag ends when the capture goes elsewhere; the owner hears WM_CANCELMODE as the code.
    LRESULT OnCaptureChanged(WPARAM, LPARAM);
    LRESULT OnCancelMode(WPARAM, LPARAM);

private:
    void Notify(UINT code);

    bool pressed_ = false;
};

class BPane : public CWnd {
public:
    // dividerType 0: none, 1: a plain BDivider, 2: a DividerMoved.
    explicit BPane(int dividerType = 0);
    ~BPane() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // Client width for the sides 1 and 3, else client height.
    virtual int GetExtent() const;
    virtual void SetSizeScaled(int percent, int hundredths);
    // The size in 1/10000 of the parent's extent, at most maxFraction.
    virtual void SetSize(int v);
    // Changes the docking side; the pixel extent survives the change of axis.
    virtual void SetSide(int side);
    int OnCreate(CREATESTRUCTW* cs) override;
    virtual void OnDividerDown();
    virtual void OnDividerUp();
    virtual void OnDividerDrag();
    virtual void OnDividerDblClk();
    // The divider lost the mouse in a drag (a menu or a dialog took it): the drag ends where it is.
    virtual void OnDividerCancel();

    // The handler of 0x5E24: cuts this pane (and its divider) from the area.
    LRESULT OnLayout(WPARAM repaint, LPARAM area);

    // Lays out all children of a window (see the header comment).
    static void LayoutChildren(HWND parent, bool repaint);
    // Makes the pane resize itself (a WM_SIZE at its current size).
    static void Relayout(HWND pane);
    // A pane collapsed to its minimum by a double click gets its saved extent back.
    void ExpandIfCollapsed();

    BDivider* Divider() const { return divider_.get(); }
    // The pane's own visibility (WS_VISIBLE), whether or not its parent shows.
    bool IsShown() const { return (GetStyle() & WS_VISIBLE) != 0; }
    bool AlongX() const { return side == 1 || side == 3; }

    int side = 0;               // 0 top, 1 right, 2 bottom, 3 left
    int size = -1;              // 1/10000 of the parent's extent; -1 keeps the pixel extent
    int parentWidth = 0, parentHeight = 0;
    int minSize = 0;            // collapsed size in pixels; 0 none
    int maxSize = 0x7fff;
    bool hideAtMin = false;     // a drag ending at or below minSize hides the pane
    int maxFraction = 8000;
    HWND restSibling = nullptr;
    POINT dragStart{0, 0};
    POINT dragLast{0, 0};
    int dragStartSize = -1;
    int savedExtent = 0;
    int dragSize = -1;          // the size of the layouts inside a drag or toggle; -1 none
    bool shownAtDrag = false;
    int dragLimitX = 0, dragLimitY = 0;

protected:
    // The cursor in screen coordinates (tests replace it).
    virtual POINT CursorScreenPos() const;

private:
    void NotifyDown(NMHDR*, LRESULT* result) { *result = 0; OnDividerDown(); }
    void NotifyUp(NMHDR*, LRESULT* result) { *result = 0; OnDividerUp(); }
    void NotifyDrag(NMHDR*, LRESULT* result) { *result = 0; OnDividerDrag(); }
    void NotifyDblClk(NMHDR*, LRESULT* result) { *result = 0; OnDividerDblClk(); }
    void NotifyCancel(NMHDR*, LRESULT* result) { *result = 0; OnDividerCancel(); }
    void LayoutParentNow();
    int ParentExtent() const { return AlongX() ? parentWidth : parentHeight; }

    std::unique_ptr<BDivider> divider_;

    static const MessageEntry kEntries[];
};
