#include "toolkit/ScrollPager.h"

#include "toolkit/BScrollerModel.h"
#include "toolkit/ScrollMath.h"

using scroll::Add;
using scroll::Sub;

// --- Base.

void BScrollPager::Release(BScrollPager* pager) {
    if (!pager)
        return;
    if (pager->extraOwners-- == 0)
        delete pager;
}

void BScrollPager::DrawMarks(BScrollerModel&, HDC, const RECT&, const RECT&) {}

void BScrollPager::MoveCurrent(BScrollerModel&, int64_t) {}

uint64_t BScrollPager::RangeLength(BScrollerModel& s) { return scroll::Span(s.rangeStart, s.rangeEnd); }

void BScrollPager::Clamp(BScrollerModel& s) { s.ClampTop(); }

int64_t BScrollPager::GetRangeStart(BScrollerModel& s) { return s.rangeStart; }

int64_t BScrollPager::GetRangeEnd(BScrollerModel& s) { return s.rangeEnd; }

// --- One position per line with a current line.

void BScrollPagerYline::Top(BScrollerModel& s) { s.top = current = s.rangeStart; }

// Clamp then pulls top back a page and current to the last line.
void BScrollPagerYline::Bottom(BScrollerModel& s) { s.top = current = s.rangeEnd; }

int64_t BScrollPagerYline::LineUp(BScrollerModel& s) {
    const int64_t old = current;
    current = Sub(current, 1);
    if (old == s.top)
        s.top = Sub(s.top, 1);
    return 1;
}

int64_t BScrollPagerYline::LineDown(BScrollerModel& s) {
    current = Add(current, 1);
    if (current == Add(s.top, s.page))
        s.top = Add(s.top, 1);
    return 1;
}

int64_t BScrollPagerYline::PageUp(BScrollerModel& s) {
    const int64_t oldTop = s.top;
    s.top = Sub(s.top, s.page);
    current = s.top < s.rangeStart ? s.rangeStart : Sub(oldTop, 1);
    return s.page;
}

int64_t BScrollPagerYline::PageDown(BScrollerModel& s) {
    s.top = Add(s.top, s.page);
    current = Add(s.top, s.page) >= s.rangeEnd ? Sub(s.rangeEnd, 1) : s.top;
    return s.page;
}

void BScrollPagerYline::TrackTo(BScrollerModel& s, int32_t pixels) {
    s.top = Add(s.top, s.PixelToPosition(pixels));
    current = s.top;
}

bool BScrollPagerYline::SetCurrent(BScrollerModel& s, int64_t position) {
    if (position < s.rangeStart || position >= s.rangeEnd)
        return false;
    current = position;
    if (s.top <= position && position <= Add(s.top, s.page))
        return true;
    s.top = Sub(position, s.page / 3);
    Clamp(s);
    s.PositionThumb();
    return true;
}

int64_t BScrollPagerYline::PositionOfRow(BScrollerModel& s, int32_t row) { return Add(s.top, row); }

bool BScrollPagerYline::IsCurrentRow(BScrollerModel& s, int32_t row) {
    const int64_t p = PositionOfRow(s, row);
    return p >= s.rangeStart && p == current;
}

int32_t BScrollPagerYline::SelectionClass(BScrollerModel&, int32_t, const BLineSelection*) { return 0; }

int64_t BScrollPagerYline::GetCurrent(BScrollerModel&) { return current; }

// The view moves with the current line.
void BScrollPagerYline::MoveCurrent(BScrollerModel& s, int64_t position) {
    if (position < s.rangeStart)
        return;
    s.top = position >= current ? Add(s.top, static_cast<int64_t>(scroll::Span(current, position)))
                                : Sub(s.top, static_cast<int64_t>(scroll::Span(position, current)));
    s.ClampTop();
    current = position;
}

void BScrollPagerYline::Clamp(BScrollerModel& s) {
    s.ClampTop();
    if (current < s.top)
        current = s.top;
    if (s.page > 0 && scroll::Span(s.top, current) >= static_cast<uint64_t>(s.page))
        current = Add(s.top, s.page - 1);
    if (current >= s.rangeEnd)
        current = Sub(s.rangeEnd, 1);
}

// --- One position per line, no current line.

void ScrollPagerPage::Top(BScrollerModel& s) { s.top = s.rangeStart; }

void ScrollPagerPage::Bottom(BScrollerModel& s) { s.top = s.rangeEnd; }

int64_t ScrollPagerPage::LineUp(BScrollerModel& s) {
    s.top = Sub(s.top, s.lineStep);
    return s.lineStep;
}

int64_t ScrollPagerPage::LineDown(BScrollerModel& s) {
    s.top = Add(s.top, s.lineStep);
    return s.lineStep;
}

int64_t ScrollPagerPage::PageUp(BScrollerModel& s) {
    s.top = Sub(s.top, s.page);
    return s.page;
}

int64_t ScrollPagerPage::PageDown(BScrollerModel& s) {
    s.top = Add(s.top, s.page);
    return s.page;
}

void ScrollPagerPage::TrackTo(BScrollerModel& s, int32_t pixels) { s.top = Add(s.top, s.PixelToPosition(pixels)); }

bool ScrollPagerPage::SetCurrent(BScrollerModel&, int64_t) { return false; }

int64_t ScrollPagerPage::PositionOfRow(BScrollerModel& s, int32_t row) { return Add(s.top, row); }

bool ScrollPagerPage::IsCurrentRow(BScrollerModel&, int32_t) { return false; }

int32_t ScrollPagerPage::SelectionClass(BScrollerModel& s, int32_t row, const BLineSelection* selection) {
    return selection ? selection->LineMark(PositionOfRow(s, row)) : 0;
}

int64_t ScrollPagerPage::GetCurrent(BScrollerModel&) { return 0; }

// --- Fixed steps.

void DumpScrollPager::Bottom(BScrollerModel& s) { s.top = Sub(s.rangeEnd, s.page); }

void DumpScrollPager::TrackTo(BScrollerModel& s, int32_t pixels) {
    const int64_t step = s.lineStep > 0 ? s.lineStep : 1;
    const int64_t d = s.PixelToPosition(pixels);
    // Up to the next multiple of the row: a distance upward rounds toward the start, not toward 0.
    const int64_t raised = Add(d, step - 1);
    const int64_t rows = raised / step - (raised % step < 0 ? 1 : 0);
    const int64_t delta = rows > scroll::kMax / step ? scroll::kMax
                          : rows < scroll::kMin / step ? scroll::kMin : rows * step;
    s.top = Add(s.top, delta);
}

int64_t DumpScrollPager::PositionOfRow(BScrollerModel&, int32_t) { return 0; }

int32_t DumpScrollPager::SelectionClass(BScrollerModel&, int32_t, const BLineSelection*) { return 0; }
