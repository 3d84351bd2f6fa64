#pragma once
// The toolkit's own scroll bars, over 64-bit ranges. A scroller is a child window with two arrow
// buttons, a thumb window and a pager (the strategy of BScrollerModel). It moves nothing itself: its
// parts send WM_HSCROLL or WM_VSCROLL (the scroller's control id, 276 or 277) to the scroller's parent;
// the parent hands the code to Scroll, normalizes, repaints its view and calls UpdateThumb.
//
//   VScroller bar;  bar.CreateBarB(parentHwnd);  bar.lineHeight = rowHeight;
//   bar.rangeEnd = lines;  bar.UpdateThumb();
//   // parent, on WM_VSCROLL:  bar.Scroll(LOWORD(w), (short)HIWORD(w)); bar.NormalizePosition();
//   //                         bar.UpdateThumb(); Invalidate();
//
// A shown or hidden scroller tells its parent with WM_NOTIFY code 24 (NMHDR, then an int32 flag).

#include "classlib/CWnd.h"
#include "classlib/DC.h"
#include "toolkit/BScrollerModel.h"

#include <windows.h>

#include <cstdint>
#include <memory>

class BScroller;

namespace scroller {

constexpr UINT kHScrollId = WM_HSCROLL;     // 276
constexpr UINT kVScrollId = WM_VSCROLL;     // 277
constexpr UINT kShownCode = 24;             // WM_NOTIFY: the scroller was shown or hidden
constexpr UINT kEdgeQueryCode = 1038;       // WM_NOTIFY from a button: is the range edge reached?
constexpr UINT kSliderId = 5;
constexpr UINT_PTR kHoverTimer = 512;
constexpr UINT_PTR kRepeatTimer = 513;
constexpr int kButtonLength = 11;

// The first auto-repeat delay and the repeat interval, shared by all scrollers (milliseconds).
extern UINT firstDelay;
extern UINT repeatInterval;

// Where the pointer is, in screen coordinates, for the repeat and hover timers (the last message's
// position). Tests replace it.
extern POINT (*cursorPos)();

// What WM_NOTIFY code 24 carries.
struct ShownNotice {
    NMHDR header;
    int32_t shown;
};

}  // namespace scroller

// An arrow button of a scroller (control id 0: left or top; 1: right or bottom).
class BScrollButton : public CWnd {
public:
    explicit BScrollButton(BScroller& scroller) : scroller_(scroller) {}
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    int OnCreate(CREATESTRUCTW* cs) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnPaint() override;
    void OnTimer(UINT_PTR id) override;
    // A repeat ends when the mouse goes to another window.
    LRESULT OnCaptureChanged(WPARAM, LPARAM gainer);

    bool hover = false;

private:
    BScroller& scroller_;
};

// The thumb.
class BScrollSlider : public CWnd {
public:
    explicit BScrollSlider(BScroller& scroller) : scroller_(scroller) {}
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    BOOL OnEraseBkgnd(HDC dc) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnPaint() override;

    int32_t pressX = 0;
    int32_t pressY = 0;

private:
    BScroller& scroller_;
};

class BScroller : public CWnd, public BScrollerModel {
public:
    BScroller();
    ~BScroller() override;
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // The horizontal scroller (id 276) and the vertical one (id 277), with their buttons and thumb.
    bool CreateBarA(HWND parent);
    bool CreateBarB(HWND parent);

    virtual bool Vertical() const = 0;
    // The track: the client area less the buttons.
    virtual RECT TrackRect();
    int32_t TrackLength() override;
    void PositionThumb() override;
    void ShowThumb(bool shown) override;
    virtual void EraseTrack(CDC& dc);
    virtual void OnTrackPress(UINT flags, POINT point);
    void OnSize(UINT type, int cx, int cy) override;

    BOOL OnEraseBkgnd(HDC dc) override;
    void OnLButtonDown(UINT flags, POINT point) override { OnTrackPress(flags, point); }
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnPaint() override;
    void OnShowWindow(BOOL show, UINT status) override;
    void OnTimer(UINT_PTR id) override;
    LRESULT OnCaptureChanged(WPARAM, LPARAM gainer);
    virtual void OnEdgeQuery(NMHDR* header, LRESULT* result);

    // The thumb's rectangle in client coordinates; empty while it is hidden.
    RECT ThumbRect() const;
    // Sends a scroll code to the parent (the message is the scroller's control id).
    void SendScroll(UINT code, int16_t value = 0) const;
    // The button with control id 0 (towards the range start) or 1.
    BScrollButton* Button(int id) const { return (id == 0) != Vertical() ? buttonA.get() : buttonB.get(); }
    BScrollSlider* Slider() const { return slider.get(); }

    int32_t width = 0;
    int32_t height = 0;
    std::unique_ptr<BScrollButton> buttonB;   // horizontal: the right button (id 1); vertical: the top one (id 0)
    std::unique_ptr<BScrollButton> buttonA;   // horizontal: the left button (id 0); vertical: the bottom one (id 1)
    std::unique_ptr<BScrollSlider> slider;

protected:
    bool CreateBar(HWND parent, UINT id);
    // Positions per page for a client size.
    virtual int32_t PageFor(int cx, int cy) const = 0;
};

class HScroller : public BScroller {
public:
    bool Vertical() const override { return false; }

    int32_t extraWidth = 0;   // pixels beside the scroller that the page also covers

protected:
    int32_t PageFor(int cx, int) const override;
};

class VScroller : public BScroller {
public:
    bool Vertical() const override { return true; }
    // The track, then the pager's marks on it.
    void EraseTrack(CDC& dc) override;

protected:
    int32_t PageFor(int, int cy) const override;
};

// The square where a horizontal and a vertical scroller meet.
class BScrollCorner : public CWnd {
public:
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }
    bool Create(HWND parent);
    BOOL OnEraseBkgnd(HDC dc) override;
};
