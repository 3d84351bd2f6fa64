#include "app/ThemeDialog.h"

#include "classlib/DC.h"
#include "options/BColorTheme.h"

namespace {

constexpr MessageEntry kThemeDialogEntries[] = {
    Cracked(kCtlColor),
    Cracked(WM_GETMINMAXINFO),
};

}  // namespace

const MessageMap ThemeDialog::kMessageMap{&Dialog::kMessageMap, kThemeDialogEntries};

ThemeDialog::ThemeDialog(UINT templateId, CWnd* parent, RECT* place)
    : Dialog(templateId, parent), place_(place) {
    background_.CreateSolidBrush(ThemeColor(0));
    editBackground_.CreateSolidBrush(ThemeColor(14));
}

ThemeDialog::ThemeDialog(const wchar_t* templateName, CWnd* parent, RECT* place)
    : Dialog(templateName, parent), place_(place) {
    background_.CreateSolidBrush(ThemeColor(0));
    editBackground_.CreateSolidBrush(ThemeColor(14));
}

void ThemeDialog::OnGetMinMaxInfo(MINMAXINFO* info) {
    if (unitsKnown_ && (minUnits.cx > 0 || minUnits.cy > 0)) {
        // The smallest client area, framed.
        RECT r = DialogUnitsToPixels(RECT{0, 0, minUnits.cx, minUnits.cy});
        ::AdjustWindowRectEx(&r, GetStyle(), FALSE, GetExStyle());
        info->ptMinTrackSize = POINT{r.right - r.left, r.bottom - r.top};
        if (fixedHeight) info->ptMaxTrackSize.y = r.bottom - r.top;
    }
    if (maxPixels.cx > 0) info->ptMaxTrackSize.x = maxPixels.cx;
    if (maxPixels.cy > 0) info->ptMaxTrackSize.y = maxPixels.cy;
}

ThemeDialog::~ThemeDialog() {
    if (parent_ && parent_->m_hWnd && ::IsWindow(parent_->m_hWnd)) ::SetFocus(parent_->m_hWnd);
}

BOOL ThemeDialog::OnInitDialog() {
    unitsKnown_ = true;
    BOOL result = Dialog::OnInitDialog();
    if (place_ && place_->left != place_->right) {
        ::SetWindowPos(m_hWnd, nullptr, place_->left, place_->top, place_->right - place_->left,
                       place_->bottom - place_->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return result;
}

void ThemeDialog::StorePlace() {
    if (place_ && m_hWnd) *place_ = GetWindowRect();
}

void ThemeDialog::OnOK() {
    StorePlace();
    Dialog::OnOK();
}

void ThemeDialog::OnCancel() {
    StorePlace();
    Dialog::OnCancel();
}

HBRUSH ThemeDialog::OnCtlColor(HDC dc, HWND, UINT ctlType) {
    ::SetTextColor(dc, ThemeColor(5));
    if (ctlType == CTLCOLOR_EDIT) {
        ::SetBkColor(dc, ThemeColor(14));
        return editBackground_;
    }
    ::SetBkColor(dc, ThemeColor(0));
    return background_;
}

RECT ThemeDialog::DrawGroupFrame(HDC dc, int controlId, const wchar_t* caption, int alignment) {
    HGDIOBJ oldFont = ::SelectObject(dc, GetFont());
    RECT measure{0, 0, 0, 0};
    ::DrawTextW(dc, caption, -1, &measure, DT_CALCRECT | DT_SINGLELINE);
    int captionWidth = measure.right - measure.left;
    int captionHeight = measure.bottom - measure.top;

    RECT control = ItemRect(controlId);
    RECT client = GetClientRect();
    RECT units = DialogUnitsToPixels(RECT{0, 0, 18, 4});
    int mx = units.right, my = units.bottom;
    (void)my;

    RECT band{client.left + mx, control.top - 9 - captionHeight, client.right - mx, control.top - 9};
    RECT text = band;
    switch (alignment) {
    case 1: text.left = (band.left + band.right - captionWidth) / 2; break;
    case 2: text.left = band.right - mx - captionWidth; break;
    default: text.left = band.left + mx; break;
    }
    text.right = text.left + captionWidth;

    int oldMode = ::SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = ::SetTextColor(dc, ThemeColor(2));
    ::DrawTextW(dc, caption, -1, &text, DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);

    int saved = ::SaveDC(dc);
    ::ExcludeClipRect(dc, text.left, text.top, text.right, text.bottom);
    int middle = (band.top + band.bottom) / 2;
    for (int i = 0; i < 2; ++i) {
        HPEN pen = ::CreatePen(PS_SOLID, 1, ThemeColor(i == 0 ? 3 : 2));
        HGDIOBJ oldPen = ::SelectObject(dc, pen);
        ::MoveToEx(dc, band.left, middle + i, nullptr);
        ::LineTo(dc, band.right, middle + i);
        ::SelectObject(dc, oldPen);
        ::DeleteObject(pen);
    }
    ::RestoreDC(dc, saved);
    ::SelectObject(dc, oldFont);
    return text;
}

// ---- DialogLayout

DialogLayout::DialogLayout(Dialog& dialog, int width, int height)
    : dialog_(dialog), newWidth_(width), newHeight_(height) {
    dialog_.SendMessage(WM_SETREDRAW, FALSE);
}

DialogLayout::~DialogLayout() {
    dialog_.SendMessage(WM_SETREDRAW, TRUE);
    ::RedrawWindow(dialog_.m_hWnd, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

bool DialogLayout::Take(int id) {
    id_ = id;
    if (!dialog_.Item(id)) return false;
    rect_ = dialog_.ItemRect(id);
    return true;
}

void DialogLayout::Place(int left, int top, int width, int height) {
    HWND item = dialog_.Item(id_);
    if (item) ::SetWindowPos(item, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    rect_ = RECT{left, top, left + width, top + height};   // so moves of one control chain
}

void DialogLayout::MoveX() {
    oldWidth_ = rect_.right;
    oldHeight_ = rect_.bottom;
    dx_ = newWidth_ - oldWidth_;
    dy_ = newHeight_ - oldHeight_;
    Place(rect_.left + dx_, rect_.top + dy_, rect_.right - rect_.left, rect_.bottom - rect_.top);
}

void DialogLayout::CentreX() {
    int left = newWidth_ / 2 + rect_.left - oldWidth_ / 2;
    Place(left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top);
}

void DialogLayout::StretchX() {
    Place(rect_.left, rect_.top, rect_.right - rect_.left + dx_, rect_.bottom - rect_.top);
}

void DialogLayout::StretchY() {
    Place(rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top + dy_);
}

void DialogLayout::MoveY() {
    Place(rect_.left, rect_.top + dy_, rect_.right - rect_.left, rect_.bottom - rect_.top);
}

void LayoutAroundControl(Dialog& dialog, int width, int height, int controlId) {
    DialogLayout layout(dialog, width, height);
    if (!layout.Take(DialogLayout::kAnchorId)) return;
    layout.MoveX();
    if (layout.Take(controlId)) {
        layout.StretchX();
        layout.StretchY();
    }
    for (int id : {IDOK, IDCANCEL}) {
        if (layout.Take(id)) {
            layout.CentreX();
            layout.MoveY();
        }
    }
}
