#include "app/DComment.h"

#include "app/resources/resource.h"

namespace {

constexpr MessageEntry kCommentEntries[] = {
    Cracked(WM_SIZE),
};

RECT& CommentPlace() {
    static RECT place{};
    return place;
}

}  // namespace

const MessageMap DComment::kMessageMap{&ThemeDialog::kMessageMap, kCommentEntries};

DComment::DComment(CWnd* parent, const StringW& caption, const StringW& text)
    : ThemeDialog(IDD_COMMENT, parent, &CommentPlace()), caption(caption), text(text) {
    minUnits = SIZE{300, 120};
}

StringW DComment::ToEditor(const StringW& text) {
    StringW result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) result.push_back(L'\r');
        result.push_back(text[i]);
    }
    return result;
}

StringW DComment::FromEditor(const StringW& text) {
    StringW result;
    for (wchar_t c : text) {
        if (c != L'\r') result.push_back(c);
    }
    return result;
}

BOOL DComment::OnInitDialog() {
    ThemeDialog::OnInitDialog();
    SetWindowText(caption.c_str());
    font_.CreatePointFont(100, L"Arial");
    ::SendMessageW(Item(IDC_COMMENT_TEXT), WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(font_)), TRUE);
    SetItemText(IDC_COMMENT_TEXT, ToEditor(text).c_str());
    return TRUE;
}

BOOL DComment::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && (::GetKeyState(VK_CONTROL) & 0x8000) &&
        (msg->hwnd == m_hWnd || ::IsChild(m_hWnd, msg->hwnd))) {
        OnOK();
        return TRUE;
    }
    return ThemeDialog::PreTranslateMessage(msg);
}

void DComment::OnOK() {
    StringW typed;
    typed = GetItemText(IDC_COMMENT_TEXT).c_str();
    text = FromEditor(typed);
    ThemeDialog::OnOK();
}

void DComment::OnSize(UINT type, int cx, int cy) {
    if (type == SIZE_MINIMIZED) return;
    LayoutAroundControl(*this, cx, cy, IDC_COMMENT_TEXT);
}

bool CommentEditor::EditText(const StringW& caption, StringW& text) {
    DComment dialog(parent_, caption, text);
    if (dialog.DoModal() != IDOK) return false;
    text = dialog.text;
    return true;
}
