#pragma once
// Scroll pagers: the strategies behind a scroller. A pager says what top, bottom, a line step, a page
// step and a thumb drag do to the scroller's 64-bit positions, which position a visible row shows,
// whether a row is the current line, and what the range is. The scroller holds the numbers; a pager
// holds only what its strategy needs beyond them and is handed the scroller on every call.
//
// Pagers are shared by count: a new pager has one owner; a second holder calls Share, and every holder
// lets go with Release, which deletes the pager with its last owner.

#include <windows.h>

#include <cstdint>

class BScrollerModel;

// What a pager asks of a pane's text selection: the mark of a line position (0 outside the selection,
// 1 when it starts and ends on that line, 2 inside a selection of several lines).
class BLineSelection {
public:
    virtual ~BLineSelection() = default;
    virtual int32_t LineMark(int64_t line) const = 0;
};

class BScrollPager {
public:
    BScrollPager() = default;
    virtual ~BScrollPager() = default;
    BScrollPager(const BScrollPager&) = delete;
    BScrollPager& operator=(const BScrollPager&) = delete;

    virtual void Top(BScrollerModel& s) = 0;
    virtual void Bottom(BScrollerModel& s) = 0;
    // The steps answer the step they applied; callers may ignore it.
    virtual int64_t LineUp(BScrollerModel& s) = 0;
    virtual int64_t LineDown(BScrollerModel& s) = 0;
    virtual int64_t PageUp(BScrollerModel& s) = 0;
    virtual int64_t PageDown(BScrollerModel& s) = 0;
    // A thumb drag by a signed pixel delta.
    virtual void TrackTo(BScrollerModel& s, int32_t pixels) = 0;
    virtual bool SetCurrent(BScrollerModel& s, int64_t position) = 0;
    virtual int64_t PositionOfRow(BScrollerModel& s, int32_t row) = 0;
    virtual bool IsCurrentRow(BScrollerModel& s, int32_t row) = 0;
    virtual int32_t SelectionClass(BScrollerModel& s, int32_t row, const BLineSelection* selection) = 0;
    virtual int64_t GetCurrent(BScrollerModel& s) = 0;
    // Marks on the vertical scroller's track, drawn after the track.
    virtual void DrawMarks(BScrollerModel& s, HDC dc, const RECT& track, const RECT& thumb);
    virtual void MoveCurrent(BScrollerModel& s, int64_t position);
    // Positions in the range (a count, so a range over the whole signed space still fits).
    virtual uint64_t RangeLength(BScrollerModel& s);
    virtual void Clamp(BScrollerModel& s);
    virtual int64_t GetRangeStart(BScrollerModel& s);
    virtual int64_t GetRangeEnd(BScrollerModel& s);

    // One more holder.
    BScrollPager* Share() {
        ++extraOwners;
        return this;
    }
    // One holder lets go; the last one deletes the pager.
    static void Release(BScrollPager* pager);

    int32_t extraOwners = 0;   // owners beyond the first
};

// One position per line with a current line kept inside the page (lists and most panes).
class BScrollPagerYline : public BScrollPager {
public:
    void Top(BScrollerModel& s) override;
    void Bottom(BScrollerModel& s) override;
    int64_t LineUp(BScrollerModel& s) override;
    int64_t LineDown(BScrollerModel& s) override;
    int64_t PageUp(BScrollerModel& s) override;
    int64_t PageDown(BScrollerModel& s) override;
    void TrackTo(BScrollerModel& s, int32_t pixels) override;
    bool SetCurrent(BScrollerModel& s, int64_t position) override;
    int64_t PositionOfRow(BScrollerModel& s, int32_t row) override;
    bool IsCurrentRow(BScrollerModel& s, int32_t row) override;
    int32_t SelectionClass(BScrollerModel& s, int32_t row, const BLineSelection* selection) override;
    int64_t GetCurrent(BScrollerModel& s) override;
    void MoveCurrent(BScrollerModel& s, int64_t position) override;
    void Clamp(BScrollerModel& s) override;

    int64_t current = 0;
};

// One position per line, steps of lineStep, no current line (the logs).
class ScrollPagerPage : public BScrollPager {
public:
    void Top(BScrollerModel& s) override;
    void Bottom(BScrollerModel& s) override;
    int64_t LineUp(BScrollerModel& s) override;
    int64_t LineDown(BScrollerModel& s) override;
    int64_t PageUp(BScrollerModel& s) override;
    int64_t PageDown(BScrollerModel& s) override;
    void TrackTo(BScrollerModel& s, int32_t pixels) override;
    bool SetCurrent(BScrollerModel& s, int64_t position) override;
    int64_t PositionOfRow(BScrollerModel& s, int32_t row) override;
    bool IsCurrentRow(BScrollerModel& s, int32_t row) override;
    int32_t SelectionClass(BScrollerModel& s, int32_t row, const BLineSelection* selection) override;
    int64_t GetCurrent(BScrollerModel& s) override;
};

// Fixed steps of lineStep positions (the dump pane: a row is lineStep bytes).
class DumpScrollPager : public ScrollPagerPage {
public:
    void Bottom(BScrollerModel& s) override;
    // The position delta is rounded up to whole rows.
    void TrackTo(BScrollerModel& s, int32_t pixels) override;
    int64_t PositionOfRow(BScrollerModel& s, int32_t row) override;
    int32_t SelectionClass(BScrollerModel& s, int32_t row, const BLineSelection* selection) override;
};
