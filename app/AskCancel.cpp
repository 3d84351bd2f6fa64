#include "app/AskCancel.h"

#include "core/StringW.h"

namespace {

int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    return ::MessageBoxW(owner, text, caption, type);
}

}  // namespace

int (*AskCancel::showBox)(HWND, const wchar_t*, const wchar_t*, UINT) = ShowMessageBox;

AskCancel& AskCancel::Instance() {
    static AskCancel instance;
    return instance;
}

void AskCancel::CloseQuestion() {
    if (HWND box = ::FindWindowW(nullptr, kCaption))
        ::EndDialog(box, IDNO);
}

AskCancel& AskCancel::Ask(const wchar_t* what, HWND owner) {
    AskCancel& self = Instance();
    StringW text(kFormat, L"Do You want cancel %s ?", what ? what : L"");
    if (text.size() > static_cast<size_t>(kTextLength))
        text.resize(kTextLength);
    if (self.answered)
        return self;
    CloseQuestion();
    if (showBox(owner, text.c_str(), kCaption, MB_ICONQUESTION | MB_YESNO) == IDYES)
        self.answered = 1;
    return self;
}
