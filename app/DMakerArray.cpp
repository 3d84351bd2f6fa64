#include "app/DMakerArray.h"

#include "app/resources/resource.h"
#include "core/NumberText.h"
#include "core/StringW.h"

#include <algorithm>

namespace {

constexpr MessageEntry kArrayEntries[] = {
    OnControl(EN_KILLFOCUS, IDC_ARRAY_PERLINE, Route<&DMakerArray::OnPerLineDone>),
};

RECT& ArrayPlace() {
    static RECT place{};
    return place;
}

}  // namespace

const MessageMap DMakerArray::kMessageMap{&ThemeDialog::kMessageMap, kArrayEntries};

bool& DMakerArray::Decimal() {
    static bool state = false;
    return state;
}
bool& DMakerArray::Signed() {
    static bool state = false;
    return state;
}
bool& DMakerArray::Collapsed() {
    static bool state = false;
    return state;
}

DMakerArray::DMakerArray(CWnd* parent, int elementSize, int64_t byteCount)
    : ThemeDialog(IDD_MAKERARRAY, parent, &ArrayPlace()), elementSize(elementSize > 0 ? elementSize : 1),
      byteCount(byteCount) {
    perLine = std::max(1, 16 / this->elementSize);
    elementCount = byteCount / this->elementSize;
}

int DMakerArray::LimitPerLine(int64_t value) const {
    int64_t most = (254 + elementSize) / elementSize;
    return static_cast<int>(std::min<int64_t>(std::max<int64_t>(value, 1), most));
}

BOOL DMakerArray::OnInitDialog() {
    ThemeDialog::OnInitDialog();
    SetItemText(IDC_ARRAY_BYTES, StringW(kFormat, L"%I64d", byteCount).c_str());
    SetItemText(IDC_ARRAY_ELEMENTS, StringW(kFormat, L"%I64d", elementCount).c_str());
    SetItemText(IDC_ARRAY_PERLINE, StringW(kFormat, L"%d", perLine).c_str());
    SetCheck(IDC_ARRAY_DECIMAL, Decimal());
    SetCheck(IDC_ARRAY_SIGNED, Signed());
    SetCheck(IDC_ARRAY_COLLAPSED, Collapsed());
    EnableItem(IDOK, elementCount > 0);
    return TRUE;
}

void DMakerArray::OnPerLineDone() {
    int64_t value = 0;
    if (!ParseNumber(GetItemText(IDC_ARRAY_PERLINE).c_str(), value, 10)) value = 0;
    perLine = LimitPerLine(value);
    SetItemText(IDC_ARRAY_PERLINE, StringW(kFormat, L"%d", perLine).c_str());
}

void DMakerArray::OnOK() {
    if (elementCount <= 0) return;
    OnPerLineDone();
    Decimal() = IsChecked(IDC_ARRAY_DECIMAL);
    Signed() = IsChecked(IDC_ARRAY_SIGNED);
    Collapsed() = IsChecked(IDC_ARRAY_COLLAPSED);
    ThemeDialog::OnOK();
}
