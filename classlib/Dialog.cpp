#include "classlib/Dialog.h"

#include "classlib/Application.h"
#include "classlib/CursorIcon.h"
#include "classlib/ModalLoop.h"

#include <deque>

namespace {

// Runs the test seam's action inside the modal loop.
constexpr UINT kRunModalAction = WM_APP + 0x7F0;

std::deque<std::function<void(Dialog&)>>& ModalActions() {
    static thread_local std::deque<std::function<void(Dialog&)>> actions;
    return actions;
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

void InitDialogRow(CCmdTarget& target, MessageArgs& args) {
    args.result = static_cast<Dialog&>(target).OnInitDialog();
}

constexpr MessageEntry kDialogEntries[] = {
    OnMessage(WM_INITDIALOG, InitDialogRow),
    OnCommand(IDOK, Route<&Dialog::OnOK>),
    OnCommand(IDCANCEL, Route<&Dialog::OnCancel>),
};

}  // namespace

const MessageMap Dialog::kMessageMap{&CWnd::kMessageMap, kDialogEntries};

void PushModalAction(std::function<void(Dialog&)> action) { ModalActions().push_back(std::move(action)); }
size_t PendingModalActions() { return ModalActions().size(); }

// ---- templates in memory

DialogTemplate::DialogTemplate(DWORD style, DWORD exStyle, short x, short y, short cx, short cy,
                               const wchar_t* title, const wchar_t* fontFace, WORD points) {
    bool font = fontFace && *fontFace;
    PutDword(style | (font ? DS_SETFONT : 0));
    PutDword(exStyle);
    words_.push_back(0);   // control count
    for (short v : {x, y, cx, cy}) words_.push_back(static_cast<WORD>(v));
    words_.push_back(0);   // no menu
    words_.push_back(0);   // the standard dialog class
    PutText(title);
    if (font) {
        words_.push_back(points);
        PutText(fontFace);
    }
}

void DialogTemplate::PutText(const wchar_t* text) {
    for (const wchar_t* p = text ? text : L""; *p; ++p) words_.push_back(static_cast<WORD>(*p));
    words_.push_back(0);
}

void DialogTemplate::AddControl(const wchar_t* className, const wchar_t* text, WORD id, DWORD style, short x,
                                short y, short cx, short cy, DWORD exStyle) {
    AlignDword();
    PutDword(style);
    PutDword(exStyle);
    for (short v : {x, y, cx, cy}) words_.push_back(static_cast<WORD>(v));
    words_.push_back(id);
    PutText(className);
    PutText(text);
    words_.push_back(0);   // no creation data
    ++words_[4];
}

// ---- the dialog

Dialog::Dialog(UINT templateId, CWnd* parent) : parent_(parent), templateId_(templateId) {}
Dialog::Dialog(const wchar_t* templateName, CWnd* parent)
    : parent_(parent), templateName_(templateName ? templateName : L"") {}
Dialog::Dialog(const DLGTEMPLATE* inMemory, CWnd* parent) : parent_(parent), inMemory_(inMemory) {}

const DLGTEMPLATE* Dialog::FindTemplate() const {
    if (inMemory_) return inMemory_;
    Application* app = Application::Current();
    HINSTANCE instance = app && app->Instance() ? app->Instance() : ::GetModuleHandleW(nullptr);
    const wchar_t* name = templateName_.empty() ? MAKEINTRESOURCEW(templateId_) : templateName_.c_str();
    HRSRC found = ::FindResourceW(instance, name, MAKEINTRESOURCEW(5));   // RT_DIALOG
    HGLOBAL loaded = found ? ::LoadResource(instance, found) : nullptr;
    return loaded ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
}

INT_PTR Dialog::DoModal() {
    const DLGTEMPLATE* dialogTemplate = FindTemplate();
    if (!dialogTemplate || m_hWnd) return IDCANCEL;
    ModalLoopScope loop;
    CancelMouseMode();
    HWND owner = parent_ && parent_->m_hWnd ? ::GetAncestor(parent_->m_hWnd, GA_ROOT) : nullptr;
    Application* app = Application::Current();
    if (!owner && app && app->MainWindow()) owner = app->MainWindow()->m_hWnd;
    HWND focus = ::GetFocus();

    struct Args { const DLGTEMPLATE* dialogTemplate; HWND owner; } args{dialogTemplate, owner};
    running_ = true;
    result_ = IDCANCEL;
    bool made = CreateAttached(
        [](void* context) {
            const Args& a = *static_cast<Args*>(context);
            return ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), a.dialogTemplate, a.owner,
                                                NoDialogProc, 0);
        },
        &args);
    if (!made) {
        running_ = false;
        return IDCANCEL;
    }
    bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
    if (running_) ShowWindow(SW_SHOW);
    if (!ModalActions().empty()) PostMessage(kRunModalAction);

    MSG msg{};
    while (running_ && m_hWnd) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));   // the outer loop must see it too
            result_ = IDCANCEL;
            break;
        }
        if (got == -1) break;
        if (CWnd::WalkPreTranslateTree(&msg)) continue;
        if (m_hWnd && ::IsDialogMessageW(m_hWnd, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    running_ = false;
    if (ownerWasEnabled) ::EnableWindow(owner, TRUE);
    if (m_hWnd && owner && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
    DestroyWindow();
    if (focus && ::IsWindow(focus)) ::SetFocus(focus);
    return result_;
}

void Dialog::EndDialog(INT_PTR code) {
    result_ = code;
    running_ = false;
    if (m_hWnd) PostMessage(WM_NULL);   // wakes the loop when called from a nested one
}

LRESULT Dialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunModalAction) {
        if (!ModalActions().empty()) {
            auto action = std::move(ModalActions().front());
            ModalActions().pop_front();
            action(*this);
        }
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

int Dialog::GetCheckedRadio(int first, int last) const {
    for (int id = first; id <= last; ++id) {
        if (Item(id) && IsChecked(id)) return id;
    }
    return 0;
}

RECT Dialog::DialogUnitsToPixels(const RECT& units) const {
    RECT r = units;
    ::MapDialogRect(m_hWnd, &r);
    return r;
}

RECT Dialog::ItemRect(int id) const {
    RECT r{};
    ::GetWindowRect(Item(id), &r);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
