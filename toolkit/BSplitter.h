#pragma once
// A pane holding two child windows side by side (or stacked) with a bar between them that the user
// drags. The bar's place is kept as a fraction of the extent so that it survives resizing; a drag
// that ends at either end collapses the child there behind a 9-pixel grip, and a click on the grip
// brings it back where it was.

#include "classlib/CursorIcon.h"
#include "toolkit/BPane.h"

class BSplitter : public BPane {
public:
    static constexpr UINT kFirstId = 1111;
    static constexpr UINT kSecondId = 2222;
    static constexpr int kBar = 4;
    static constexpr int kGrip = 9;

    // The children are created with the splitter; the derived class owns them.
    BSplitter(int paneType, CWnd* first, CWnd* second);
    ~BSplitter() override = default;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    int OnCreate(CREATESTRUCTW* cs) override;
    BOOL OnEraseBkgnd(HDC) override { return TRUE; }
    void OnPaint() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;
    // A drag ends when the capture goes elsewhere (a menu, a dialog) or the mode is cancelled.
    LRESULT OnCaptureChanged(WPARAM, LPARAM);
    LRESULT OnCancelMode(WPARAM, LPARAM);

    // p percent of the usable extent.
    void SetPercent(int p);
    void SetPosition(int v);
    // Snaps a bar position to the children's track sizes and to the ends (closer than 3 pixels).
    int ClampPosition(int v) const;
    // Hides the child (the other shows, behind a grip) or shows it again at the kept fraction.
    void Collapse(CWnd* child, bool hide);
    // Places the two children around the bar.
    void LayoutChildren();
    RECT BarRect() const;
    // The client width (height when stacked) less the bar.
    int UsableExtent() const;

    CWnd* first;
    CWnd* second;
    bool sideBySide = true;
    int position = 0;
    int fraction = 5000;
    int barWidth = kBar;
    int pressX = 0, pressY = 0;
    int pressPosition = 0;

private:
    int ClientExtent() const;
    void PositionFromFraction();
    void SetResizeCursor() const;
    static bool Shows(const CWnd* child);

    CursorClip clip_;
};
