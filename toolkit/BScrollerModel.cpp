#include "toolkit/BScrollerModel.h"

#include "toolkit/ScrollMath.h"
#include "toolkit/ScrollPager.h"

#include <windows.h>

#include <algorithm>

namespace {

int32_t ToPixels(uint64_t v) { return static_cast<int32_t>(std::min<uint64_t>(v, INT32_MAX)); }

}  // namespace

BScrollerModel::BScrollerModel() : pager_(new BScrollPagerYline) {}

BScrollerModel::~BScrollerModel() { BScrollPager::Release(pager_); }

void BScrollerModel::SetPager(BScrollPager* pager) {
    if (pager == pager_)
        return;
    BScrollPager::Release(pager_);
    pager_ = pager;
}

int64_t BScrollerModel::Scroll(int code, int32_t value) {
    if (!pager_)
        return 0;
    switch (code) {
    case SB_LINEUP: return pager_->LineUp(*this);
    case SB_LINEDOWN: return pager_->LineDown(*this);
    case SB_PAGEUP: return pager_->PageUp(*this);
    case SB_PAGEDOWN: return pager_->PageDown(*this);
    case SB_THUMBTRACK: pager_->TrackTo(*this, value); return 0;
    case SB_TOP: pager_->Top(*this); return 0;
    case SB_BOTTOM: pager_->Bottom(*this); return 0;
    default: return 0;
    }
}

void BScrollerModel::NormalizePosition() {
    if (pager_)
        pager_->Clamp(*this);
}

int64_t BScrollerModel::RangeStart() { return pager_ ? pager_->GetRangeStart(*this) : rangeStart; }
int64_t BScrollerModel::RangeEnd() { return pager_ ? pager_->GetRangeEnd(*this) : rangeEnd; }
uint64_t BScrollerModel::RangeLength() {
    return pager_ ? pager_->RangeLength(*this) : scroll::Span(rangeStart, rangeEnd);
}

int32_t BScrollerModel::PositionToPixel(uint64_t count) {
    const uint64_t r = RangeLength();
    const int32_t t = TrackLength();
    return r == 0 || t <= 0 ? 0 : ToPixels(scroll::MulDiv(static_cast<uint64_t>(t), count, r));
}

int64_t BScrollerModel::PixelToPosition(int32_t pixels) {
    const int32_t t = std::max(TrackLength(), 0);
    return scroll::MulDivSigned(RangeLength(), pixels, static_cast<uint64_t>(t) + 1);
}

int32_t BScrollerModel::ThumbLength() {
    const uint64_t r = RangeLength();
    const int32_t t = std::max(TrackLength(), 0);
    if (r == 0)
        return 4;
    const uint64_t g = scroll::MulDiv(static_cast<uint64_t>(t), static_cast<uint64_t>(std::max<int64_t>(page64, 0)), r);
    return std::max(ToPixels(g == UINT64_MAX ? g : g + 1), 4);
}

int32_t BScrollerModel::ThumbOffset(int32_t length) {
    const uint64_t r = RangeLength();
    const int32_t t = std::max(TrackLength(), 0);
    const int32_t h = r == 0 ? 0 : ToPixels(scroll::MulDiv(static_cast<uint64_t>(t), scroll::Span(rangeStart, top), r));
    return static_cast<int64_t>(length) + h > t ? std::max(t - length, 0) : h;
}

void BScrollerModel::UpdateThumb() {
    if (rangeEnd <= rangeStart) {
        active = false;
        ShowThumb(false);
        return;
    }
    const int32_t t = TrackLength();
    const uint64_t r = RangeLength();
    const uint64_t g = r == 0 ? 0 : scroll::MulDiv(static_cast<uint64_t>(std::max(t, 0)),
                                                   static_cast<uint64_t>(std::max<int64_t>(page64, 0)), r);
    if (t > 0 && g < static_cast<uint64_t>(t)) {
        active = true;
        // A track shorter than the smallest thumb shows none, yet the buttons act.
        ShowThumb(t >= 4);
        if (t >= 4)
            PositionThumb();
    } else {
        active = false;
        ShowThumb(false);
    }
}

void BScrollerModel::ClampTop() {
    if (top > scroll::Sub(rangeEnd, page64))
        top = scroll::Sub(rangeEnd, page64);
    if (top < rangeStart)
        top = rangeStart;
}

bool BScrollerModel::EdgeReached(int button) {
    return button == 0 ? top <= rangeStart : scroll::Add(top, page64) >= rangeEnd;
}

void BScrollerModel::SetPage(int32_t rows) {
    page = std::max(rows, 0);
    page64 = page;
}
