#pragma once
// The options dialog: a tab strip with one page per option section, each page a grid of the section's
// listed properties (key at the left, value at the right, edited in place by a click). The pages work
// on clones; "&Apply" (result 1) and the save button (result 6) assign the changed pages back,
// "&Cancel" (2) nothing.
//
//   int result = RunOptionsDialog(mainWindow, appOptions);   // 6: save the set

#include "classlib/Dialog.h"
#include "classlib/GdiObject.h"
#include "options/BPropertySection.h"
#include "toolkit/BScroller.h"
#include "toolkit/BTabber.h"

#include <memory>
#include <vector>

class Options;

class TabView : public BTabber {
public:
    TabView();
};

class BPropertyView : public CWnd, public BPropertyRows {
public:
    static constexpr int kMargin = 4;
    static constexpr UINT kEditNotice = 84;   // WM_PARENTNOTIFY code to the dialog: 0 edit begins, 1 ends

    explicit BPropertyView(CWnd* dialog);
    ~BPropertyView() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    bool Create(HWND parent, UINT id);
    void AddRow(BProperty* property) override { rows.push_back(property); }

    int OnCreate(CREATESTRUCTW* cs) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnPaint() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    BOOL OnMouseWheel(UINT flags, short delta, POINT screenPoint) override;
    void OnVScroll(UINT code, UINT position, HWND scrollBar) override;

    // Paints the view into a DC of its client size.
    void PaintInto(HDC dc, const RECT& client);
    // The row under a client point; -1 when none.
    int RowAt(POINT point) const;
    // The value half of a row in client coordinates.
    RECT ValueCell(int row) const;
    // Lets the row's property edit itself; true when its value changed.
    bool EditRow(int row, POINT click);
    int RowPitch() const { return rowHeight + 2; }
    // The scroller's own shown state (the page itself may be a hidden tab).
    bool ScrollerShown() const { return scroller.m_hWnd && (scroller.GetStyle() & WS_VISIBLE); }

    std::vector<BProperty*> rows;
    VScroller scroller;
    CFont font;
    int charWidth = 0, charHeight = 0;
    int rowHeight = 0;
    int firstRow = 0;
    RECT rowsArea{};
    bool changed = false;
    CWnd* dialog;

private:
    void ScrollTo(int row);
};

class DProperty : public Dialog {
public:
    static constexpr UINT kSaveId = 6;
    static constexpr int kMinWidth = 388;
    static constexpr int kWidth = 480;

    // The sections are the caller's; the dialog edits clones of them.
    DProperty(CWnd* parent, std::vector<BPropertySection*> sections);
    ~DProperty() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnSave();
    void OnSize(UINT type, int cx, int cy) override;
    void OnGetMinMaxInfo(MINMAXINFO* info) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnParentNotify(UINT message, LPARAM lParam) override;
    // The wheel reaches the focus (the tab strip), which passes it up here: the page under the
    // pointer scrolls.
    BOOL OnMouseWheel(UINT flags, short delta, POINT screenPoint) override;

    // Assigns every changed page's clone to its section; the number assigned.
    int AssignChanged();
    bool AnyChanged() const;

    TabView tabs;
    std::vector<BPropertySection*> sections;
    std::vector<std::unique_ptr<BPropertySection>> clones;
    std::vector<std::unique_ptr<BPropertyView>> views;
    int minWidth = kMinWidth;
    int minHeight = 0;

private:
    DialogTemplate template_;
};

// Runs the dialog over the six sections the options dialog shows; its result (1 apply, 2 cancel,
// 6 save).
int RunOptionsDialog(CWnd* parent, Options& options);
