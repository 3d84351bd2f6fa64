#include "app/AskCancel.h"

#include "classlib/CursorIcon.h"
#include "core/StringW.h"

#include <algorithm>
#include <cwchar>
#include <vector>

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

namespace {

// Only this thread's own box: a window of that title elsewhere belongs to another program.
BOOL CALLBACK FindOwnQuestion(HWND window, LPARAM found) {
    wchar_t title[32] = {};
    wchar_t kind[16] = {};
    ::GetWindowTextW(window, title, 32);
    ::GetClassNameW(window, kind, 16);
    if (wcscmp(title, AskCancel::kCaption) != 0 || wcscmp(kind, L"#32770") != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

void AskCancel::CloseQuestion() {
    HWND box = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindOwnQuestion, reinterpret_cast<LPARAM>(&box));
    if (box)
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
    CancelMouseMode();
    // The box's loop would dispatch keys and clicks queued before it to the panes, which could change
    // a document whose find or parse is on the stack: they wait for the answer.
    std::vector<MSG> held;
    MSG msg;
    const UINT ranges[][2] = {{WM_KEYFIRST, WM_KEYLAST}, {WM_MOUSEFIRST, WM_MOUSELAST}, {WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK}};
    for (const auto& range : ranges)
        while (::PeekMessageW(&msg, nullptr, range[0], range[1], PM_REMOVE))
            held.push_back(msg);
    std::stable_sort(held.begin(), held.end(), [](const MSG& a, const MSG& b) { return a.time < b.time; });
    if (showBox(owner, text.c_str(), kCaption, MB_ICONQUESTION | MB_YESNO) == IDYES)
        self.answered = 1;
    for (const MSG& input : held)
        ::PostMessageW(input.hwnd, input.message, input.wParam, input.lParam);
    return self;
}
