#include "classlib/Application.h"

#include "classlib/CommonDialogs.h"

namespace {
Application* gApplication = nullptr;
}  // namespace

Application::Application() { gApplication = this; }

Application::~Application() {
    if (gApplication == this) gApplication = nullptr;
}

Application* Application::Current() { return gApplication; }

int Application::Run(HINSTANCE instance, int showCommand) {
    instance_ = instance ? instance : ::GetModuleHandleW(nullptr);
    showCommand_ = showCommand;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&icc);
    ComScope com;
    if (!InitInstance()) {
        if (CWnd* main = mainWindow_) {
            mainWindow_ = nullptr;   // no loop to end: leave no WM_QUIT behind
            main->DestroyWindow();
        }
        return ExitInstance(0);
    }
    bool idle = true;
    long idleCount = 0;
    MSG msg{};
    for (;;) {
        while (idle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) idle = false;
        }
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        PumpMessage(msg);
        if (IsIdleMessage(msg)) {
            idle = true;
            idleCount = 0;
        }
    }
    return ExitInstance(msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0);
}

void Application::PumpMessage(MSG& msg) {
    if (CWnd::WalkPreTranslateTree(&msg) || PreTranslateMessage(&msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

bool Application::IsIdleMessage(const MSG& msg) {
    switch (msg.message) {
    case WM_PAINT:
    case WM_TIMER:
    case 0x0118:   // WM_SYSTIMER: the caret's blink
        return false;
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
        if (msg.message == lastMouseMessage_ && msg.pt.x == lastMousePoint_.x && msg.pt.y == lastMousePoint_.y) {
            return false;
        }
        lastMouseMessage_ = msg.message;
        lastMousePoint_ = msg.pt;
        return true;
    default:
        return true;
    }
}

bool Application::OnIdle(long count) {
    if (count == 0) RunIdle();
    return false;
}

void Application::RunIdle() {
    if (!mainWindow_ || !mainWindow_->m_hWnd) return;
    SendToWindowTree(mainWindow_->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0, true);
}

void Application::OnWindowGone(CWnd* wnd) {
    if (gApplication && gApplication->mainWindow_ == wnd) {
        gApplication->mainWindow_ = nullptr;
        ::PostQuitMessage(0);
    }
}

void CmdUI::Enable(UINT id, bool enable) const {
    if (menu_) ::EnableMenuItem(menu_, id, MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
    if (HWND control = controls_ ? ::GetDlgItem(controls_, static_cast<int>(id)) : nullptr) {
        if ((::IsWindowEnabled(control) != FALSE) != enable) ::EnableWindow(control, enable);
    }
}

void CmdUI::SetCheck(UINT id, bool check) const {
    if (menu_) ::CheckMenuItem(menu_, id, MF_BYCOMMAND | (check ? MF_CHECKED : MF_UNCHECKED));
    if (HWND control = controls_ ? ::GetDlgItem(controls_, static_cast<int>(id)) : nullptr) {
        ::SendMessageW(control, BM_SETCHECK, check ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void CmdUI::SetPressed(UINT id, bool pressed) const {
    if (menu_) ::CheckMenuItem(menu_, id, MF_BYCOMMAND | (pressed ? MF_CHECKED : MF_UNCHECKED));
    if (HWND control = controls_ ? ::GetDlgItem(controls_, static_cast<int>(id)) : nullptr) {
        ::SendMessageW(control, BM_SETSTATE, pressed, 0);
    }
}
