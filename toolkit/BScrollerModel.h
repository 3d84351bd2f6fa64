#pragma once
// The numbers of a scroller: its 64-bit range, the first visible position, the page, and the mapping
// between positions and pixels of its track. Its pager (a strategy, shared by count) says what a line
// step, a page step or a thumb drag does to them. The window scroller derives from this and measures
// its track and moves its thumb window; without a window the thumb is an empty interface.
//
//   BScrollerModel s;            // pager: BScrollPagerYline
//   s.rangeEnd = lines; s.SetPage(rows);
//   s.Scroll(SB_PAGEDOWN, 0);    // the pager moves top (and its current line)
//   s.NormalizePosition();       // the pager clamps

#include <cstdint>

class BScrollPager;

class BScrollerModel {
public:
    BScrollerModel();
    virtual ~BScrollerModel();
    BScrollerModel(const BScrollerModel&) = delete;
    BScrollerModel& operator=(const BScrollerModel&) = delete;

    // The thumb: pixels of the track, and moving, showing and hiding the thumb window.
    virtual int32_t TrackLength() { return 0; }
    virtual void PositionThumb() {}
    virtual void ShowThumb(bool shown) { (void)shown; }

    // Releases the old pager and keeps the new one without counting it again.
    void SetPager(BScrollPager* pager);
    BScrollPager* Pager() const { return pager_; }

    // A scroll code (SB_LINEUP ... SB_BOTTOM) with the thumb's pixel delta; what the pager stepped.
    int64_t Scroll(int code, int32_t value);
    void NormalizePosition();
    int64_t RangeStart();
    int64_t RangeEnd();
    uint64_t RangeLength();

    // Pixels of `count` positions on the track, and positions of a (signed) pixel delta.
    int32_t PositionToPixel(uint64_t count);
    int64_t PixelToPosition(int32_t pixels);
    int32_t ThumbLength();
    // Where a thumb of `length` pixels starts on the track; it never leaves the track.
    int32_t ThumbOffset(int32_t length);
    void UpdateThumb();
    // The page ends at the range's end at the latest, and starts at its start at the earliest.
    void ClampTop();
    // Whether the range edge in a button's direction is reached (0 towards the start, 1 the end).
    bool EdgeReached(int button);
    void SetPage(int32_t rows);

    int64_t rangeStart = 0;
    int64_t rangeEnd = 0;    // one past the last position
    int64_t top = 0;
    int32_t page = 0;
    int64_t page64 = 0;
    int32_t lineHeight = 1;
    int32_t lineStep = 1;
    bool active = false;     // the range does not fit the page

private:
    BScrollPager* pager_;
};
