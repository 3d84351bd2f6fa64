#include "app/DGoto.h"

#include "app/resources/resource.h"
#include "core/NumberText.h"
#include "core/SectionLock.h"
#include "core/TimingTrace.h"
#include "document/FileParseThread.h"

namespace {

constexpr MessageEntry kGotoEntries[] = {
    Cracked(WM_SIZE),
    OnControl(CBN_EDITCHANGE, IDC_GOTO_TEXT, Route<&DGoto::OnEdit>),
    OnControl(CBN_SELCHANGE, IDC_GOTO_TEXT, Route<&DGoto::OnSelect>),
};

RECT& GotoPlace() {
    static RECT place{};
    return place;
}

}  // namespace

const MessageMap DGoto::kMessageMap{&ThemeDialog::kMessageMap, kGotoEntries};

DGoto::DGoto(CWnd* parent, FileParseThread* document)
    : ThemeDialog(IDD_GOTO, parent, &GotoPlace()), document_(document) {
    minUnits = SIZE{128, 80};
    maxPixels = SIZE{800, 800};
}

BOOL DGoto::OnInitDialog() {
    ThemeDialog::OnInitDialog();
    COMBOBOXINFO info{};
    if (Combo(IDC_GOTO_TEXT).GetComboBoxInfo(&info)) list_ = info.hwndList;
    if (list_ && document_) ListBoxAddFiltered(list_, document_->navigator.texts, L"");
    EnableItem(IDOK, false);
    return TRUE;
}

int64_t DGoto::Resolve(const StringW& typed) const {
    if (!document_ || typed.empty()) return -1;
    int64_t value = -1;
    if (typed[0] >= L'0' && typed[0] <= L'9') {
        if (!ParseNumber(typed.c_str(), value, 16)) return -1;
    } else {
        value = document_->stores.names.AddressOf(typed.c_str());
        if (value == -1) return -1;
    }
    return document_->InSegment(value) ? value : -1;
}

void DGoto::Check(const StringW& typed) {
    text = typed;
    address = Resolve(typed);
    EnableItem(IDOK, address != -1);
}

void DGoto::Refill(const StringW& typed) {
    if (!list_ || !document_) return;
    ListBox list(list_);
    // The list is shown: filled as it is, it would redraw itself and its scroll bar for every name.
    ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    list.ResetContent();
    Fill(typed);
    ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list_, nullptr, TRUE);
}

void DGoto::Fill(const StringW& typed) {
    ListBox list(list_);
    SectionLock fileLock(document_->FileLock());
    if (typed.empty()) {
        ListBoxAddFiltered(list_, document_->navigator.texts, L"");
        return;
    }
    // Listed without regard to case, to help find a name; OK still needs the name as it is.
    BName& names = document_->stores.names;
    SectionLock namesLock(names.Lock());
    int count = names.Count();
    for (int i = 0; i < count; ++i) {
        NAME_DATA record = names.ByTextAt(i);
        if (!record.text) continue;
        StringW name;
        name = record.text;
        if (name.FindNoCase(typed.c_str(), 0) >= 0) list.AddString(name.c_str());
    }
}

void DGoto::OnEdit() {
    StringW typed;
    typed = GetItemText(IDC_GOTO_TEXT).c_str();
    Check(typed);
    Refill(typed);
    if (TimingTrace::On() && list_)
        TimingTrace::Event(L"goto listed %d %d %s", ListBox(list_).GetCount(), address != -1, typed.c_str());
}

void DGoto::OnSelect() {
    ComboBox combo = Combo(IDC_GOTO_TEXT);
    int selected = combo.GetCurSel();
    if (selected < 0) return;
    StringW typed;
    typed = combo.GetLBText(selected).c_str();
    Check(typed);
}

void DGoto::OnOK() {
    StringW typed;
    typed = GetItemText(IDC_GOTO_TEXT).c_str();
    Check(typed);
    if (address == -1) return;
    if (document_) document_->navigator.texts.PushFront(text.c_str());
    ThemeDialog::OnOK();
}

void DGoto::OnSize(UINT type, int cx, int cy) {
    if (type == SIZE_MINIMIZED) return;
    LayoutAroundControl(*this, cx, cy, IDC_GOTO_TEXT);
}
