#include "app/DBookmark.h"

#include "app/resources/resource.h"

namespace {

constexpr COLORREF kColours[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF};

constexpr MessageEntry kBookmarkEntries[] = {
    OnControlRange(STN_CLICKED, IDC_BOOKMARK_PICTURE1, IDC_BOOKMARK_PICTURE4, Route<&DBookmark::OnPicture>),
    OnControlRange(BN_CLICKED, IDC_BOOKMARK_RADIO1, IDC_BOOKMARK_RADIO4, Route<&DBookmark::OnRadio>),
};

RECT& BookmarkPlace() {
    static RECT place{};
    return place;
}

}  // namespace

const MessageMap DBookmark::kMessageMap{&ThemeDialog::kMessageMap, kBookmarkEntries};

COLORREF DBookmark::ColourOf(int index) { return kColours[index >= 0 && index < 4 ? index : 0]; }

int DBookmark::IndexOf(COLORREF colour) {
    for (int i = 0; i < 4; ++i) {
        if (kColours[i] == colour) return i;
    }
    return 0;
}

DBookmark::DBookmark(CWnd* parent, const StringW& note, int colourIndex)
    : ThemeDialog(IDD_BOOKMARK, parent, &BookmarkPlace()), note(note),
      colourIndex(colourIndex >= 0 && colourIndex < 4 ? colourIndex : 0) {
    for (int i = 0; i < 4; ++i) pictures_[i].CreateSolidBrush(kColours[i]);
}

BOOL DBookmark::OnInitDialog() {
    ThemeDialog::OnInitDialog();
    EditItem(IDC_BOOKMARK_NOTE).LimitText(kNoteLimit);
    SetItemText(IDC_BOOKMARK_NOTE, note.c_str());
    CheckRadio(IDC_BOOKMARK_RADIO1, IDC_BOOKMARK_RADIO4, IDC_BOOKMARK_RADIO1 + colourIndex);
    return TRUE;
}

HBRUSH DBookmark::OnCtlColor(HDC dc, HWND control, UINT ctlType) {
    int id = ::GetDlgCtrlID(control);
    if (id >= IDC_BOOKMARK_PICTURE1 && id <= IDC_BOOKMARK_PICTURE4) return pictures_[id - IDC_BOOKMARK_PICTURE1];
    return ThemeDialog::OnCtlColor(dc, control, ctlType);
}

void DBookmark::OnPicture(UINT id) {
    colourIndex = static_cast<int>(id) - IDC_BOOKMARK_PICTURE1;
    CheckRadio(IDC_BOOKMARK_RADIO1, IDC_BOOKMARK_RADIO4, IDC_BOOKMARK_RADIO1 + colourIndex);
}

void DBookmark::OnRadio(UINT id) { colourIndex = static_cast<int>(id) - IDC_BOOKMARK_RADIO1; }

void DBookmark::OnOK() {
    note = GetItemText(IDC_BOOKMARK_NOTE).c_str();
    int checked = GetCheckedRadio(IDC_BOOKMARK_RADIO1, IDC_BOOKMARK_RADIO4);
    if (checked) colourIndex = checked - IDC_BOOKMARK_RADIO1;
    ThemeDialog::OnOK();
}
