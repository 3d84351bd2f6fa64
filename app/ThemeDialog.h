#pragma once
// The base of every dialog made from a resource: painted in the colour theme, and put back where the
// user last left it (a rectangle of the caller's that lives as long as the process). DialogLayout moves
// and stretches a dialog's controls in its WM_SIZE handler.
//
//   static RECT place;                       // one per dialog kind
//   DGoto dialog(pane, document, &place);    // a ThemeDialog
//   if (dialog.DoModal() == IDOK) ...

#include "classlib/Dialog.h"
#include "classlib/GdiObject.h"

#include <windows.h>

class ThemeDialog : public Dialog {
public:
    // `place` may be null: the dialog then opens where its template says.
    ThemeDialog(UINT templateId, CWnd* parent, RECT* place);
    ThemeDialog(const wchar_t* templateName, CWnd* parent, RECT* place);
    ~ThemeDialog() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlType) override;
    // Applies the size limits below.
    void OnGetMinMaxInfo(MINMAXINFO* info) override;

    // Size limits of a resizable dialog: the smallest client area in dialog units, the largest window
    // in pixels (0: none);
    // a fixed height keeps the dialog from growing taller than its smallest height.
    SIZE minUnits{0, 0};
    SIZE maxPixels{0, 0};
    bool fixedHeight = false;

    // A caption band over a control: the caption (alignment 0 left, 1 centre, 2 right) between two
    // lines; the caption's rectangle is returned.
    RECT DrawGroupFrame(HDC dc, int controlId, const wchar_t* caption, int alignment);

protected:
    // Set once the dialog's units can be mapped (from WM_INITDIALOG on); the limits wait for it, so
    // that the window made from the template is not cut to unmapped sizes.
    bool unitsKnown_ = false;
    // Remembers the window rectangle in the place.
    void StorePlace();

    RECT* place_;
    CBrush background_;
    CBrush editBackground_;
};

// One resize pass over a dialog's controls (WM_SIZE with the new client size). Redrawing is off for
// the pass and back on, with a repaint, when the layout goes.
class DialogLayout {
public:
    static constexpr int kAnchorId = 9;   // the invisible 1 x 1 static in the bottom-right corner

    DialogLayout(Dialog& dialog, int width, int height);
    ~DialogLayout();
    DialogLayout(const DialogLayout&) = delete;
    DialogLayout& operator=(const DialogLayout&) = delete;

    // Reads the control's rectangle; false when the dialog has no such control.
    bool Take(int id);
    // The anchor: its right and bottom edges go to the new client size, and the shift is kept.
    void MoveX();
    // Keeps the control's offset from the horizontal centre.
    void CentreX();
    void StretchX();
    void StretchY();
    void MoveY();

    int Dx() const { return dx_; }
    int Dy() const { return dy_; }

private:
    void Place(int left, int top, int width, int height);

    Dialog& dialog_;
    int oldWidth_ = 0, oldHeight_ = 0;
    int newWidth_, newHeight_;
    int dx_ = 0, dy_ = 0;
    int id_ = 0;
    RECT rect_{};
};

// The usual pass of a dialog around one large control: the control grows with the dialog in both
// directions, OK and Cancel stay centred below it.
void LayoutAroundControl(Dialog& dialog, int width, int height, int controlId);
