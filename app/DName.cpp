#include "app/DName.h"

#include "app/resources/resource.h"
#include "document/BName.h"

namespace {

constexpr MessageEntry kNameEntries[] = {
    Cracked(WM_SIZE),
    OnControl(CBN_EDITCHANGE, IDC_NAME_TEXT, Route<&DName::OnEdit>),
    OnControl(CBN_SELCHANGE, IDC_NAME_TEXT, Route<&DName::OnSelect>),
};

RECT& NamePlace() {
    static RECT place{};
    return place;
}

}  // namespace

const MessageMap DName::kMessageMap{&ThemeDialog::kMessageMap, kNameEntries};

DName::DName(CWnd* parent, BName* names, const StringW& addressText, const StringW& oldName, const StringW& initial)
    : ThemeDialog(IDD_NAME, parent, &NamePlace()), name(initial), names_(names), addressText_(addressText),
      oldName_(oldName) {
    minUnits = SIZE{240, 74};
    fixedHeight = true;
}

BOOL DName::OnInitDialog() {
    ThemeDialog::OnInitDialog();
    SetWindowText(StringW(kFormat, L"Name @ %s", addressText_.c_str()).c_str());
    if (names_) names_->recent.FillControl(Item(IDC_NAME_TEXT));
    SetItemText(IDC_NAME_TEXT, name.c_str());
    Check(name);
    return TRUE;
}

StringW DName::Expand(const StringW& text) const {
    StringW result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 1 < text.size() && text[i + 1] == L'A') {
            result.Append(addressText_.c_str());
            ++i;
        } else {
            result.push_back(text[i]);
        }
    }
    return result;
}

bool DName::Acceptable(const StringW& text) const {
    if (text.empty()) return !oldName_.empty();   // clearing a name
    return IsValidName(text.c_str()) && !(names_ && names_->HasText(text.c_str()));
}

void DName::Check(const StringW& typed) { EnableItem(IDOK, Acceptable(Expand(typed))); }

void DName::OnEdit() {
    StringW typed;
    typed = GetItemText(IDC_NAME_TEXT).c_str();
    Check(typed);
}

void DName::OnSelect() {
    ComboBox combo = Combo(IDC_NAME_TEXT);
    int selected = combo.GetCurSel();
    StringW typed;
    typed = selected >= 0 ? combo.GetLBText(selected).c_str() : GetItemText(IDC_NAME_TEXT).c_str();
    Check(typed);
}

void DName::OnOK() {
    StringW typed;
    typed = GetItemText(IDC_NAME_TEXT).c_str();
    StringW text = Expand(typed);
    if (!Acceptable(text)) return;
    name = text;
    if (names_) names_->recent.PushFront(name.c_str());
    ThemeDialog::OnOK();
}

void DName::OnSize(UINT type, int cx, int cy) {
    if (type == SIZE_MINIMIZED) return;
    DialogLayout layout(*this, cx, cy);
    if (!layout.Take(IDC_LAYOUT_ANCHOR)) return;
    layout.MoveX();
    if (layout.Take(IDC_NAME_TEXT)) layout.StretchX();
    for (int id : {IDOK, IDCANCEL}) {
        if (layout.Take(id)) layout.CentreX();
    }
}

bool NameEditor::EditText(const StringW& caption, StringW& text) {
    // The store shows the current name, or a default one when the address has none.
    StringW oldName = names_ && names_->HasText(text.c_str()) ? text : StringW();
    DName dialog(parent_, names_, caption, oldName, text);
    if (dialog.DoModal() != IDOK) return false;
    text = dialog.name;
    return true;
}
