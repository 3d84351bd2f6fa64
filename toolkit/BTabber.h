#pragma once
// Tab strips. A BTabber is a pane with a strip of tabs along one side and, beside the strip, the window
// of the active tab (the windows belong to the tabber's owner; a tab owns only its text). The strip is
// always drawn as if on top into an off-screen bitmap and copied turned for the left and right sides.
// Two layouts: one row of equal-width tabs (maxRows 0), or up to maxRows rows of tabs sized by their
// text with two small scroll buttons (ids 37, 39) once the rows are full. Tabs can be dragged to a new
// place, chosen from a pop-up menu (a right click on a scroll button) and disabled.
//
//   auto tabs = new BTabber(0, std::make_unique<TabVS2003>(), 4);
//   tabs->CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, rect, parent, 220);
//   tabs->SetSideFlags(BTabber::kTop); tabs->SetFont(L"Helv", 8, false);
//   tabs->AddTab(&logPane, L"Log", true);      // logPane's control id addresses the tab

#include "classlib/DC.h"
#include "classlib/GdiObject.h"
#include "classlib/Menu.h"
#include "core/StringW.h"
#include "toolkit/BPane.h"

#include <memory>
#include <vector>

class BTabber;

// One tab: caption, optional icons, the look's colours. Clone makes the tab of a new window.
class BTabOne {
public:
    explicit BTabOne(BTabber* tabber = nullptr) : tabber(tabber) {}
    virtual ~BTabOne() = default;

    virtual BTabOne* Clone(BTabber* owner) const = 0;
    virtual void DrawShape(CDC&, const RECT&, COLORREF) {}
    // Draws icon and caption into the cell (its margins already taken off).
    virtual void Draw(CDC& dc, RECT cell);
    // Draws the icon at the left of r, centred vertically, and moves r's left past it.
    virtual void DrawIcon(CDC& dc, RECT& r, HICON shown);
    // The caption, cut with ".." when the room is short.
    virtual void DrawText(CDC& dc, RECT& r);
    // textWidth = the caption's width in the tabber's font.
    virtual void MeasureText();

    // False when the tab already shows that icon; the caller repaints.
    bool SetIcon(HICON newIcon, int size);
    void SetText(const wchar_t* text);
    // Pixels the tab's content needs: the icon alone in compact mode, else text and icon.
    int ContentWidth(bool compact) const;

    BTabber* tabber;
    CWnd* window = nullptr;
    StringW caption;
    bool enabled = true;
    HICON icon = nullptr;
    HICON disabledIcon = nullptr;
    int textWidth = -1;
    int iconSize = 0;
    UINT textFormat = DT_VCENTER | DT_SINGLELINE;
    int slant = 0;
    // The look's colours (theme palette indices in TabVS2003).
    COLORREF stripBack = 0;        // strip background, cell fill and icon background
    COLORREF lineColor = 0;        // base line and separators
    COLORREF textColor = 0;
    COLORREF disabledTextColor = 0;
    COLORREF normalShape = 0;      // the active tab, also the band joining it to the page
    COLORREF draggedShape = 0;
    COLORREF outline = 0;
    COLORREF focusShape = 0;       // the active tab while the focus is inside its window
    COLORREF fill = 0;             // settable per tab (SetTabData)
};

// The tab look of the program: a 3-pixel slant band toward the page, cut corners away from it.
class TabVS2003 : public BTabOne {
public:
    explicit TabVS2003(BTabber* tabber = nullptr);
    BTabOne* Clone(BTabber* owner) const override;
    void DrawShape(CDC& dc, const RECT& r, COLORREF colour) override;
    void Draw(CDC& dc, RECT cell) override;
};

// A small scroll button of the strip: 37 scrolls back, 39 forward; holding it repeats, a right click
// opens the tab menu.
class BTabButton : public CWnd {
public:
    static constexpr UINT kHoverTimer = 512;
    static constexpr UINT kRepeatTimer = 513;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    int OnCreate(CREATESTRUCTW* cs) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnPaint() override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnRButtonDown(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnTimer(UINT_PTR id) override;

    // Paints the button into a DC of its size.
    void PaintInto(CDC& dc, const RECT& r);

    BTabber* tabber = nullptr;
    bool hover = false;

    // Where the repeat and hover timers read the cursor (tests replace it).
    static BOOL (WINAPI* getCursorPos)(POINT* screen);

private:
    POINT CursorClientPos() const;
};

// The geometry of one paint for one side (see BTabber::DrawTabs). Positions are computed as for a
// top strip (logical) and mapped into the bitmap (Map) and from there into the window (ToWindow).
class BTabberDraw {
public:
    BTabberDraw(BTabber* tabber, int bitmapWidth, int bitmapHeight);
    virtual ~BTabberDraw() = default;

    // The two 15 x 15 buttons at the end of the last row, in window coordinates.
    void PlaceButtons(RECT& back, RECT& forward) const;
    void StartRow(int width);
    // The 2-pixel band under the last row.
    RECT GetStripRect() const;
    void DrawBaseLine(CDC& dc) const;
    void DrawTabSeparator(CDC& dc) const;
    // Starts the first row; returns the equal width of the one-row layout (0 for text-sized tabs).
    int Begin();
    RECT GetTabRect() const;
    void NextTabPos();
    // Places the current cell `width` wide; returns the room left on the row.
    int PlaceTab(int width);

    // Logical (top-strip) rectangle to bitmap, bitmap to window.
    virtual RECT Map(const RECT& r) const { return r; }
    virtual RECT ToWindow(const RECT& r) const { return r; }
    // Whether the page lies above the strip in the bitmap (a bottom strip).
    virtual bool PageAbove() const { return false; }

    BTabber* tabber;
    int remainder = 0;
    int rowHeight = 0;
    RECT cell{};
    int equalWidth = 0;
    int bitmapWidth, bitmapHeight;

protected:
    int ButtonRoom() const;
    int StripEnd() const;
};

class TabberDrawTop : public BTabberDraw {
public:
    using BTabberDraw::BTabberDraw;
};

class TabberDrawBottom : public BTabberDraw {
public:
    using BTabberDraw::BTabberDraw;
    RECT Map(const RECT& r) const override { return RECT{r.left, bitmapHeight - r.bottom, r.right, bitmapHeight - r.top}; }
    bool PageAbove() const override { return true; }
};

// Turned by 270 degrees into the window: cells run from the bitmap's far end so the first tab is on top.
class TabberDrawLeft : public BTabberDraw {
public:
    using BTabberDraw::BTabberDraw;
    RECT Map(const RECT& r) const override { return RECT{bitmapWidth - r.right, r.top, bitmapWidth - r.left, r.bottom}; }
    RECT ToWindow(const RECT& r) const override {
        return RECT{r.top, bitmapWidth - r.right, r.bottom, bitmapWidth - r.left};
    }
};

// Turned by 90 degrees into the window.
class TabberDrawRight : public BTabberDraw {
public:
    using BTabberDraw::BTabberDraw;
    RECT ToWindow(const RECT& r) const override {
        return RECT{bitmapHeight - r.bottom, r.left, bitmapHeight - r.top, r.right};
    }
};

class BTabber : public BPane {
public:
    static constexpr int kTop = 0x2000;
    static constexpr int kBottom = 0x8000;
    static constexpr int kLeft = 0x1000;
    static constexpr int kRight = 0x4000;
    static constexpr int kHorizontalSides = 0xA000;
    static constexpr int kVerticalSides = 0x5000;
    static constexpr int kCompact = 1;         // flags: tabs too narrow, icons only
    static constexpr int kHideSingle = 2;      // flags: no strip while there is one tab
    static constexpr int kDraggable = 4;       // flags: tabs can be dragged
    static constexpr UINT kBackId = 37;
    static constexpr UINT kForwardId = 39;
    static constexpr UINT kMenuCode = 5;       // a scroll button's right click

    // The prototype gives the look of every tab; capacity tabs are reserved.
    BTabber(int paneType, std::unique_ptr<BTabOne> prototype, size_t capacity);
    ~BTabber() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    int OnCreate(CREATESTRUCTW* cs) override;

    virtual bool HasFocusInside() const;
    virtual void AddTab(CWnd* window, const wchar_t* caption, bool enabled);
    virtual bool SelectTab(int id);
    virtual void SetTabData(int id, COLORREF colour);
    virtual bool IsTabShown(int id) const;
    virtual void ShowTab(int id, bool enabled);
    virtual void SelectAndFocus(int id);
    virtual void SetFont(const wchar_t* face, int points, bool italic);
    virtual void SetLayoutValue(int n);
    virtual void ActivateIndex(int id);
    virtual BOOL DrawBackground(HDC dc);
    void OnPaint() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnWindowPosChanged(WINDOWPOS* pos) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;
    virtual void ScrollBack();
    virtual void ScrollForward();
    virtual void ShowTabMenu();

    BOOL OnEraseBkgnd(HDC dc) override { return DrawBackground(dc); }

    void RemoveTab(int index);
    void SetSideFlags(int newSide);
    int StripSize() const;
    int TabAtPoint(int x, int y) const;
    BTabOne* TabByWindow(const CWnd* w) const;
    int IndexOfId(int id) const;
    void EnsureVisible(int index);
    // The client area less the strip.
    RECT PageRect() const;
    bool IsVertical() const { return (stripSide & kVerticalSides) != 0; }
    // The scroll buttons' test: whether the strip can scroll that way.
    bool CanScroll(UINT buttonId) const;
    int ActiveIndex() const;
    // Draws the whole strip, as the paint does, into a DC of the client size (width and height
    // swapped for vertical sides), and returns the drawer used.
    void DrawTabs(CDC& dc, BTabberDraw& draw);
    std::unique_ptr<BTabberDraw> MakeDraw(int bitmapWidth, int bitmapHeight);
    const BTabOne& Prototype() const { return *prototype_; }

    BTabButton backButton, forwardButton;
    std::vector<RECT> tabRects;
    CFont font;
    int tabInset = 0;
    int stripSide = kTop;
    int maxRows = 0;
    CWnd* active = nullptr;
    int fontTerm = 0;
    int first = 0;
    int rows = 0;
    int clientWidth = 0, clientHeight = 0;
    int stripLength = 0;
    int spaceLeft = 0;
    int pressedTab = -1;
    int draggedTab = -1;
    std::vector<BTabOne*> tabs;
    int minTabWidth = 80;
    int maxTabWidth = 2047;
    int iconWidth = 0;
    int flags = 0;
    int pressX = 0, pressY = 0;

protected:
    // Runs the tab menu; returns the chosen command (0 for none). Tests replace it.
    virtual int TrackTabMenu(CMenu& menu, POINT screen);

private:
    void ActivateTab(int index, bool focus);
    void MoveWindowsToPage();
    int TabWidth(int index) const;
    bool TabsFit(int from, int through, int rowCount, int length) const;

    std::unique_ptr<BTabOne> prototype_;
};
