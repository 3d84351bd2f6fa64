#include "toolkit/BZone.h"

#include "classlib/CWnd.h"
#include "options/BColorTheme.h"

#include <algorithm>

BZone::BZone(int id, uint32_t flags, int width) : id(id), flags(flags), width(width), maxWidth(width) {}

BZone::~BZone() = default;

int BZone::Draw(CDC&, int, int, int, int) { return VisibleWidth(); }
void BZone::OnHover() {}
void BZone::OnDblClick(BMultiZone*, int, int) {}
void BZone::OnClick(BMultiZone*, int, int) {}
BZone* BZone::SetBackColor(COLORREF) { return this; }
BZone* BZone::Prepare(CDC&, int, int, int, int, bool) { return this; }
void BZone::MarkMatches(const wchar_t*, int) {}

BZone* BZone::SetTextColor(COLORREF colour)
{
    textColor = colour;
    return this;
}

BZone* BZone::SetSeparatorColor(COLORREF) { return this; }
BZone* BZone::SetMatchColor(COLORREF) { return this; }
BZone* BZone::SetHighlightColor(COLORREF) { return this; }
void BZone::SetFont(CFont*) {}

int BZone::Place(RECT& running)
{
    if (hidden) return 0;
    rect = running;
    if (flags & kStretch) {
        width = maxWidth = running.right - running.left;
        running.left = running.right;
    } else {
        rect.right = running.left + width;
        running.left = rect.right;
    }
    return width;
}

BZone* BZone::SetWidth(int w)
{
    width = std::min(w, maxWidth);
    return this;
}

int BZone::VisibleWidth() const { return hidden ? 0 : width; }

BZone* BZone::SetMaxWidth(int w)
{
    maxWidth = w;
    width = std::min(width, w);
    return this;
}

int BZone::GetMaxWidth() const { return maxWidth; }
int BZone::MeasureWidth(CDC&) { return width; }

bool BZone::HitTest(int x, int y) const
{
    return !hidden && ::PtInRect(&rect, POINT{x, y});
}

RECT BZone::GetCellRect(int n) const
{
    if (hidden) return RECT{0x7FFF, 0x7FFF, 0x7FFF, 0x7FFF};
    if (rect.right - rect.left <= 0) return rect;
    return RECT{rect.left + margin, rect.top + n * lineHeight, rect.right - margin, rect.top + (n + 1) * lineHeight};
}

bool BZone::SetHidden(bool hide)
{
    bool was = hidden;
    hidden = hide;
    return was;
}

void BZone::FillHatched(CDC& dc, const RECT& r)
{
    CBrush brush;
    brush.CreateHatchBrush(HS_DIAGCROSS, ThemeColor(92));
    dc.FillRect(r, brush);
}

RECT BZone::CenterSquareInRect(const RECT& r, int margin)
{
    int w = r.right - r.left, h = r.bottom - r.top;
    int side = std::min(w, h) - margin;
    int left = r.left + (w - side) / 2;
    int top = r.top + (h - side) / 2;
    return RECT{left, top, left + side, top + side};
}

int ZoneNil::Draw(CDC&, int, int, int, int) { return 0; }
int ZoneNil::Place(RECT&) { return 0; }
int ZoneNil::MeasureWidth(CDC&) { return 0; }
bool ZoneNil::HitTest(int, int) const { return false; }

int ZoneStretch::Draw(CDC& dc, int, int top, int, int bottom)
{
    if (hidden) return 0;
    if (flags & kHatchEmpty) {
        dc.SetBkColor(backColor);
        FillHatched(dc, RECT{rect.left, top, rect.right, bottom});
    }
    return 1;
}

BZone* ZoneStretch::SetBackColor(COLORREF colour)
{
    backColor = colour;
    return this;
}

ZoneSeparator::ZoneSeparator(COLORREF barColor, BZone* sizedZone)
    : BZone(kSeparatorId, 0, 1), cursor(::LoadCursorW(nullptr, IDC_SIZEWE)), sizedZone(sizedZone)
{
    textColor = barColor;
}

int ZoneSeparator::Draw(CDC& dc, int, int top, int, int bottom)
{
    if (hidden) return 0;
    dc.FillSolidRect(RECT{rect.left, top, rect.right, bottom}, textColor);
    return width;
}

void ZoneSeparator::OnHover()
{
    if (sizedZone) ::SetCursor(cursor);
}

BZone* ZoneSeparator::SetTextColor(COLORREF) { return this; }

BZone* ZoneSeparator::SetSeparatorColor(COLORREF colour)
{
    textColor = colour;
    return this;
}

bool ZoneSeparator::HitTest(int x, int y) const
{
    if (hidden || !sizedZone) return false;
    RECT wide{rect.left - 2, rect.top, rect.right + 2, rect.bottom};
    return ::PtInRect(&wide, POINT{x, y}) != FALSE;
}

void ZoneSeparator::DrawTrack(CWnd* pane, int x)
{
    if (!pane || !pane->m_hWnd) return;
    CClientDC dc(pane->m_hWnd);
    int old = dc.SetROP2(R2_NOT);
    dc.MoveTo(x, rect.top);
    dc.LineTo(x, rect.bottom);
    dc.SetROP2(old);
}

void ZoneSeparator::BeginDrag(CWnd* pane, int x, const RECT& confine)
{
    ::SetCursor(cursor);
    RECT screen = confine;
    if (pane && pane->m_hWnd) pane->ClientToScreen(&screen);
    clip_.Confine(screen);
    dragX = x;
    DrawTrack(pane, x);
}

void ZoneSeparator::DragTo(CWnd* pane, int x)
{
    DrawTrack(pane, dragX);
    DrawTrack(pane, x);
    dragX = x;
}

void ZoneSeparator::EndDrag(CWnd* pane, int)
{
    // The line to erase is the one last drawn, wherever the release happened.
    DrawTrack(pane, dragX);
    clip_.Release();
    dragX = 0;
}
