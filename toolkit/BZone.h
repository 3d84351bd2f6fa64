#pragma once
// Zones: the cells of one line of a multi-zone pane. A zone measures, places, draws and hit-tests
// itself; a line (BZoneLine) holds its zones in column order and the pane places and draws them row
// by row. BZone is the base of every kind; ZoneNil is the placeholder a lookup returns instead of
// null, ZoneStretch fills the rest of a line and ZoneSeparator is the draggable column divider.
//
//   BZone* z = new ZoneStretch(7, BZone::kStretch | BZone::kHatchEmpty);
//   line->AddZone(z);                      // the line owns it from now on
//   RECT r = textArea; z->Place(r);        // a stretch takes all that is left of r

#include "classlib/CursorIcon.h"
#include "classlib/DC.h"
#include "classlib/GdiObject.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

class BMultiZone;
class CWnd;

class BZone {
public:
    // Flags: the same bits mean the same in every zone kind.
    enum : uint32_t {
        kAlignLeft = 0x1,
        kAlignCenter = 0x2,
        kAlignRight = 0x4,
        kFixed = 0x10,          // the separator after it cannot be dragged
        kFixedBar = 0x20,       // with kFixed: a list still puts a (fixed) separator after it
        kStretch = 0x100,       // Place gives it all the width that is left
        kNoOverflow = 0x200,    // no overflow markers
        kOwnTextColor = 0x2000, // keeps its text colour when the pane sets one for all zones
        kOwnFont = 0x4000,      // keeps its font when the pane sets one for all zones
        kHatchEmpty = 0x10000,  // an empty text zone (and a stretch) draws the hatch pattern
        kHeaderClick = 0x20000, // clickable header cell of a list
        kHexCell = 0x40000,     // character cell measured on hexadecimal digits
    };
    static constexpr int kSeparatorId = 0;
    static constexpr int kNilId = -1;

    BZone(int id, uint32_t flags, int width);
    virtual ~BZone();
    BZone(const BZone&) = delete;
    BZone& operator=(const BZone&) = delete;

    // Draws inside the given vertical span and the zone's own horizontal extent; returns the width
    // used (the base draws nothing and returns the visible width).
    virtual int Draw(CDC& dc, int left, int top, int right, int bottom);
    virtual void OnHover();
    virtual void OnDblClick(BMultiZone* pane, int row, int x);
    virtual void OnClick(BMultiZone* pane, int row, int x);
    virtual BZone* SetBackColor(COLORREF colour);
    virtual BZone* Prepare(CDC& dc, int left, int top, int right, int bottom, bool highlighted);
    virtual void MarkMatches(const wchar_t* text, int length);
    virtual BZone* SetTextColor(COLORREF colour);
    virtual BZone* SetSeparatorColor(COLORREF colour);
    virtual BZone* SetMatchColor(COLORREF colour);
    virtual BZone* SetHighlightColor(COLORREF colour);
    virtual void SetFont(CFont* font);
    // Takes the zone's rectangle from the running rectangle and moves its left edge on.
    virtual int Place(RECT& running);
    virtual BZone* SetWidth(int w);
    virtual int VisibleWidth() const;
    virtual BZone* SetMaxWidth(int w);
    virtual int GetMaxWidth() const;
    virtual int MeasureWidth(CDC& dc);
    virtual bool HitTest(int x, int y) const;
    // Text row n of the zone inside the margins; all sides 0x7FFF when hidden.
    virtual RECT GetCellRect(int n) const;
    virtual bool SetHidden(bool hide);

    bool IsSeparator() const { return id == kSeparatorId; }
    // Shows the 64-bit field at `offset` of a record in a hexadecimal number zone (other kinds ignore it).
    void SetNumber(const void* record, size_t offset);

    // Fills the rectangle with the theme's diagonal cross hatch (palette 92).
    static void FillHatched(CDC& dc, const RECT& rect);
    // The square of side min(width, height) - margin centred in the rectangle.
    static RECT CenterSquareInRect(const RECT& rect, int margin);

    int32_t shareCount = 0;   // further lines holding this zone
    int32_t id;
    RECT rect{0, 0, 0, 0};
    bool hidden = false;
    uint32_t flags;
    int32_t lineHeight = 0;
    int32_t margin = 0;
    int32_t width;
    int32_t maxWidth;
    CFont* font = nullptr;    // not owned
    COLORREF textColor = 0;
    bool marksMatches = false;
    int32_t rowMark = 0;      // 0 not selected, 1 the only selected line, 2 one of several
};

// The placeholder a line returns where a lookup finds nothing.
class ZoneNil : public BZone {
public:
    ZoneNil() : BZone(kNilId, 0, 0) {}
    int Draw(CDC& dc, int left, int top, int right, int bottom) override;
    int Place(RECT& running) override;
    int MeasureWidth(CDC& dc) override;
    bool HitTest(int x, int y) const override;
};

// A filler that takes the rest of the line (give it kStretch); hatched with kHatchEmpty.
class ZoneStretch : public BZone {
public:
    ZoneStretch(int id, uint32_t flags, int width = 0) : BZone(id, flags, width) {}
    int Draw(CDC& dc, int left, int top, int right, int bottom) override;
    BZone* SetBackColor(COLORREF colour) override;

    COLORREF backColor = 0;
};

// The thin bar between columns; with a sized zone it is the handle that drags that zone's width.
class ZoneSeparator : public BZone {
public:
    ZoneSeparator(COLORREF barColor, BZone* sizedZone);
    int Draw(CDC& dc, int left, int top, int right, int bottom) override;
    void OnHover() override;
    BZone* SetTextColor(COLORREF colour) override;
    BZone* SetSeparatorColor(COLORREF colour) override;
    bool HitTest(int x, int y) const override;

    // The drag of the track line: drawn with R2_NOT on a client DC of the pane, so drawing it twice
    // removes it. The confine rectangle is in the pane's client coordinates.
    void BeginDrag(CWnd* pane, int x, const RECT& confine);
    void DragTo(CWnd* pane, int x);
    void EndDrag(CWnd* pane, int x);

    HCURSOR cursor;
    BZone* sizedZone;       // not owned; null: the separator cannot be dragged
    int32_t dragX = 0;

private:
    void DrawTrack(CWnd* pane, int x);

    CursorClip clip_;
};
