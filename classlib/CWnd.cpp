#include "classlib/CWnd.h"

#include "classlib/Application.h"

#include <windowsx.h>
#undef SubclassWindow   // windowsx.h's macro would hide the member

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <list>
#include <unordered_map>

namespace {

struct ThreadState {
    std::unordered_map<HWND, CWnd*> windows;
    CWnd* creating = nullptr;     // the wrapper whose window the next HCBT_CREATEWND belongs to
    CWnd* toolTip = nullptr;
    HWND toolWindow = nullptr;    // the tool last given to the tool tip
    UINT_PTR toolId = 0;
    bool tipEnded = false;        // a press or a release ended the tip; no tip until the pointer
    POINT endedAt{};              // leaves this screen point
};

ThreadState& State() {
    static thread_local ThreadState state;
    return state;
}

bool IsChildWindow(HWND hwnd) {
    return (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) != 0;
}

bool IsCommandLike(UINT message) {
    return message == WM_COMMAND || message == WM_NOTIFY || message == Reflected(WM_COMMAND) ||
           message == Reflected(WM_NOTIFY);
}

bool Matches(const MessageEntry& e, UINT message, UINT code, UINT id) {
    if (e.message != message) return false;
    if (!IsCommandLike(message)) return true;
    return (e.code == kAnyCode || e.code == code) && id >= e.firstId && id <= e.lastId;
}

}  // namespace

// ---- message maps

const MessageMap CCmdTarget::kMessageMap{nullptr};

const MessageEntry* MessageMap::Find(UINT message, UINT code, UINT id) const {
    for (const MessageMap* map = this; map; map = map->base) {
        for (size_t i = 0; i < map->count; ++i) {
            if (Matches(map->entries[i], message, code, id)) return &map->entries[i];
        }
    }
    return nullptr;
}

bool CCmdTarget::DispatchMapped(MessageArgs& args) {
    for (const MessageMap* map = GetMessageMap(); map; map = map->base) {
        for (size_t i = 0; i < map->count; ++i) {
            const MessageEntry& e = map->entries[i];
            if (!Matches(e, args.message, args.code, args.id)) continue;
            args.handled = true;
            e.handler(*this, args);
            if (args.handled) return true;
        }
    }
    return false;
}

bool CCmdTarget::OnCmdMsg(UINT id, UINT code) {
    MessageArgs args;
    args.message = WM_COMMAND;
    args.wParam = MAKEWPARAM(id, code);
    args.id = id;
    args.code = code;
    return DispatchMapped(args);
}

// ---- the handle map and the window procedure

struct WindowAttach {
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam) {
        ThreadState& ts = State();
        if (code == HCBT_CREATEWND && ts.creating) {
            CWnd* wnd = ts.creating;
            ts.creating = nullptr;
            HWND hwnd = reinterpret_cast<HWND>(wParam);
            auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
            if (current == CWnd::WindowProcedure) {
                wnd->Attach(hwnd, ::DefWindowProcW);
            } else {
                ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CWnd::WindowProcedure));
                wnd->Attach(hwnd, current);
                wnd->subclassed_ = true;
            }
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

const MessageMap CWnd::kMessageMap{&CCmdTarget::kMessageMap};

CWnd::~CWnd() {
    if (m_hWnd && ::IsWindow(m_hWnd) && ::GetWindowThreadProcessId(m_hWnd, nullptr) == ::GetCurrentThreadId()) {
        ::DestroyWindow(m_hWnd);   // WM_NCDESTROY detaches us
    }
    if (m_hWnd) Detach();
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    auto& windows = State().windows;
    auto it = windows.find(hwnd);
    return it == windows.end() ? nullptr : it->second;
}

void CWnd::Attach(HWND hwnd, WNDPROC previous) {
    m_hWnd = hwnd;
    previousProc_ = previous;
    State().windows[hwnd] = this;
}

void CWnd::Detach() {
    if (!m_hWnd) return;
    if (subclassed_ && reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) == WindowProcedure) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
    }
    ThreadState& ts = State();
    auto it = ts.windows.find(m_hWnd);
    if (it != ts.windows.end() && it->second == this) ts.windows.erase(it);
    if (ts.toolWindow == m_hWnd) ts.toolWindow = nullptr;
    m_hWnd = nullptr;
    subclassed_ = false;
    previousProc_ = nullptr;
}

bool CWnd::CreateAttached(HWND (*make)(void* context), void* context) {
    if (m_hWnd) return false;
    ThreadState& ts = State();
    CWnd* outer = ts.creating;
    ts.creating = this;
    HHOOK hook = ::SetWindowsHookExW(WH_CBT, WindowAttach::CbtHook, nullptr, ::GetCurrentThreadId());
    HWND hwnd = make(context);
    if (hook) ::UnhookWindowsHookEx(hook);
    ts.creating = outer;
    if (!hwnd || !::IsWindow(hwnd)) return false;
    if (!m_hWnd) SubclassWindow(hwnd);   // no hook call seen: take the window over now
    return m_hWnd == hwnd;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                    const RECT& rect, HWND parent, UINT_PTR idOrMenu, void* param) {
    if (!className) className = RegisterWindowClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW));
    if (!className) return false;
    struct Args {
        DWORD exStyle; const wchar_t* className; const wchar_t* title; DWORD style;
        const RECT& rect; HWND parent; UINT_PTR idOrMenu; void* param;
    } args{exStyle, className, title, style, rect, parent, idOrMenu, param};
    return CreateAttached(
        [](void* context) {
            const Args& a = *static_cast<Args*>(context);
            return ::CreateWindowExW(a.exStyle, a.className, a.title, a.style, a.rect.left, a.rect.top,
                                     a.rect.right - a.rect.left, a.rect.bottom - a.rect.top, a.parent,
                                     reinterpret_cast<HMENU>(a.idOrMenu), ::GetModuleHandleW(nullptr), a.param);
        },
        &args);
}

bool CWnd::SubclassWindow(HWND hwnd) {
    if (m_hWnd || !hwnd || FromHandle(hwnd)) return false;
    auto previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProcedure)));
    if (!previous) return false;
    if (previous == WindowProcedure) {
        Attach(hwnd, ::DefWindowProcW);   // one of our classes, so far without a wrapper
    } else {
        Attach(hwnd, previous);
        subclassed_ = true;
    }
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    return parent && SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
    HWND hwnd = m_hWnd;
    Detach();
    return hwnd;
}

bool CWnd::DestroyWindow() {
    return m_hWnd && ::DestroyWindow(m_hWnd) != FALSE;
}

LRESULT CWnd::Default() {
    if (!current_) return 0;
    return DefWindowProc(current_->message, current_->wParam, current_->lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_hWnd) return 0;
    WNDPROC proc = previousProc_ ? previousProc_ : ::DefWindowProcW;
    return ::CallWindowProcW(proc, m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandle(hwnd);
    if (!wnd) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    MSG msg{hwnd, message, wParam, lParam, 0, {}};
    const MSG* outer = wnd->current_;
    wnd->current_ = &msg;
    LRESULT result = 0;
    try {
        result = wnd->WindowProc(message, wParam, lParam);
    } catch (const std::exception& e) {
        char text[300];
        std::snprintf(text, sizeof text, "window procedure: message 0x%04X: %s\n", message, e.what());
        ::OutputDebugStringA(text);
    } catch (...) {
        ::OutputDebugStringA("window procedure: unknown exception\n");
    }
    if (FromHandle(hwnd) != wnd) return result;   // the wrapper went away while handling
    wnd->current_ = outer;
    if (message == WM_NCDESTROY) {
        wnd->Detach();
        Application::OnWindowGone(wnd);
        wnd->PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return OnWndMsg(message, wParam, lParam);
}

LRESULT CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam) {
    MessageArgs args;
    args.message = message;
    args.wParam = wParam;
    args.lParam = lParam;
    LRESULT reflected = 0;
    auto reflect = [&](HWND control) {
        CWnd* child = FromHandle(control);
        return child && child != this && child->OnChildNotify(message, wParam, lParam, &reflected);
    };
    if (message == WM_COMMAND) {
        HWND control = reinterpret_cast<HWND>(lParam);
        if (control && reflect(control)) return reflected;
        if (OnCmdMsg(LOWORD(wParam), control ? HIWORD(wParam) : 0)) return 0;
        return Default();
    }
    if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (reflect(header->hwndFrom)) return reflected;
        args.id = static_cast<UINT>(header->idFrom);
        args.code = header->code;
    } else if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        if (reflect(reinterpret_cast<HWND>(lParam))) return reflected;
        args.message = kCtlColor;
        args.code = message - WM_CTLCOLORMSGBOX;
    }
    if (DispatchMapped(args)) return args.result;
    return Default();
}

bool CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    MessageArgs args;
    args.wParam = wParam;
    args.lParam = lParam;
    if (message == WM_COMMAND) {
        args.message = Reflected(WM_COMMAND);
        args.id = LOWORD(wParam);
        args.code = HIWORD(wParam);
    } else if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        args.message = Reflected(WM_NOTIFY);
        args.id = static_cast<UINT>(header->idFrom);
        args.code = header->code;
    } else if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        args.message = Reflected(kCtlColor);
        args.code = message - WM_CTLCOLORMSGBOX;
    } else {
        return false;
    }
    if (!DispatchMapped(args)) return false;
    *result = args.result;
    return true;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

INT_PTR CWnd::OnToolHitTest(POINT, TOOLINFOW*) const { return -1; }

namespace {
bool ModifyLong(HWND hwnd, int index, DWORD remove, DWORD add) {
    auto style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, index));
    DWORD changed = (style & ~remove) | add;
    if (changed == style) return false;
    ::SetWindowLongPtrW(hwnd, index, static_cast<LONG_PTR>(changed));
    return true;
}
}  // namespace

bool CWnd::ModifyStyle(DWORD remove, DWORD add) const { return ModifyLong(m_hWnd, GWL_STYLE, remove, add); }
bool CWnd::ModifyStyleEx(DWORD remove, DWORD add) const { return ModifyLong(m_hWnd, GWL_EXSTYLE, remove, add); }

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    int n = ::GetWindowTextW(hwnd, &text[0], static_cast<int>(text.size()));
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

// ---- descendants and the pre-translate walk

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, bool deep,
                                    bool onlyWrapped) const {
    SendMessageToDescendants(m_hWnd, message, wParam, lParam, deep, onlyWrapped);
}

void CWnd::SendMessageToDescendants(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool deep,
                                    bool onlyWrapped) {
    for (HWND child = ::GetWindow(hwnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!onlyWrapped || FromHandle(child)) ::SendMessageW(child, message, wParam, lParam);
        if (deep && ::GetWindow(child, GW_CHILD)) {
            SendMessageToDescendants(child, message, wParam, lParam, deep, onlyWrapped);
        }
    }
}

void SendToWindowTree(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool onlyWrapped) {
    if (!onlyWrapped || CWnd::FromHandle(hwnd)) ::SendMessageW(hwnd, message, wParam, lParam);
    CWnd::SendMessageToDescendants(hwnd, message, wParam, lParam, true, onlyWrapped);
}

bool CWnd::WalkPreTranslateTree(MSG* msg) {
    RelayToolTipMessage(*msg);
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = FromHandle(hwnd);
        if (wnd && wnd->PreTranslateMessage(msg)) return true;
        if (!::IsWindow(hwnd) || !IsChildWindow(hwnd)) break;   // never past the top-level window
    }
    return false;
}

// ---- window classes

const wchar_t* RegisterWindowClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
    static std::list<std::wstring> names;   // the library owns the names for the life of the process
    wchar_t name[96];
    std::swprintf(name, 96, L"Trelvo:%x:%p:%p:%p", style, static_cast<void*>(cursor),
                  static_cast<void*>(background), static_cast<void*>(icon));
    for (const std::wstring& known : names) {
        if (known == name) return known.c_str();
    }
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExW(instance, name, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.style = style;
        wc.lpfnWndProc = CWnd::WindowProcedure;
        wc.hInstance = instance;
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.hIcon = icon;
        wc.lpszClassName = name;
        if (!::RegisterClassExW(&wc)) return nullptr;
    }
    names.emplace_back(name);
    return names.back().c_str();
}

// ---- tool tips

CWnd* GetThreadToolTip() { return State().toolTip; }

CWnd* SetThreadToolTip(CWnd* toolTip) {
    ThreadState& ts = State();
    CWnd* previous = ts.toolTip;
    ts.toolTip = toolTip;
    ts.toolWindow = nullptr;
    return previous;
}

namespace {

void DropTool(ThreadState& ts) {
    if (!ts.toolWindow) return;
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = ts.toolWindow;
    ti.uId = ts.toolId;
    ::SendMessageW(ts.toolTip->m_hWnd, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    ts.toolWindow = nullptr;
}

bool IsMouseMessage(UINT message) {
    return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK);
}

}  // namespace

void RelayToolTipMessage(const MSG& msg) {
    ThreadState& ts = State();
    if (!ts.toolTip || !ts.toolTip->m_hWnd || !IsMouseMessage(msg.message)) return;
    // A press, a release or a move with a button held ends the tip, shown or pending, until the
    // pointer moves to another point: the move the system sends after a click, at the same point,
    // starts none.
    const bool freeMove = msg.message == WM_NCMOUSEMOVE ||
                          (msg.message == WM_MOUSEMOVE && !(msg.wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)));
    if (!freeMove && msg.message != WM_MOUSEWHEEL && msg.message != WM_MOUSEHWHEEL) {
        DropTool(ts);
        ts.tipEnded = true;
        ts.endedAt = msg.pt;
        return;
    }
    if (ts.tipEnded) {
        if (msg.pt.x == ts.endedAt.x && msg.pt.y == ts.endedAt.y) return;
        ts.tipEnded = false;
    }
    CWnd* owner = nullptr;
    for (HWND hwnd = msg.hwnd; hwnd; hwnd = IsChildWindow(hwnd) ? ::GetParent(hwnd) : nullptr) {
        CWnd* wnd = CWnd::FromHandle(hwnd);
        if (wnd && wnd->ToolTipsEnabled()) {
            owner = wnd;
            break;
        }
    }
    if (!owner) {
        DropTool(ts);
        return;
    }
    POINT point = msg.pt;
    ::ScreenToClient(owner->m_hWnd, &point);
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    INT_PTR id = owner->OnToolHitTest(point, &ti);
    bool ownText = ti.lpszText && ti.lpszText != LPSTR_TEXTCALLBACKW;
    if (id == -1) {
        if (ownText) std::free(ti.lpszText);
        DropTool(ts);
        return;
    }
    if (!ti.hwnd) ti.hwnd = owner->m_hWnd;
    // The control shows a tool only when it belongs to the window under the cursor, in that window's
    // coordinates: a tool answered for a child (a combo box's edit, say) moves to the child. One whose
    // text is asked for by TTN_NEEDTEXTW stays with the window that answers for it.
    const HWND under = ::WindowFromPoint(msg.pt);
    if (ownText && under != ti.hwnd && ::IsChild(ti.hwnd, under)) {
        ::MapWindowPoints(ti.hwnd, under, reinterpret_cast<POINT*>(&ti.rect), 2);
        ti.hwnd = under;
    }
    if (ti.hwnd != ts.toolWindow || static_cast<UINT_PTR>(id) != ts.toolId) {
        DropTool(ts);
        ti.uId = static_cast<UINT_PTR>(id);
        ti.hinst = nullptr;
        if (!ti.lpszText) ti.lpszText = LPSTR_TEXTCALLBACKW;
        ::SendMessageW(ts.toolTip->m_hWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
        ts.toolWindow = ti.hwnd;
        ts.toolId = ti.uId;
    }
    if (ownText) std::free(ti.lpszText);
    MSG relay = msg;   // in the tool window's client coordinates, as a rectangle tool expects
    relay.hwnd = ti.hwnd;
    POINT client = msg.pt;
    ::ScreenToClient(ti.hwnd, &client);
    relay.lParam = MAKELPARAM(client.x, client.y);
    ::SendMessageW(ts.toolTip->m_hWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
}

// ---- cracked messages

namespace {
CWnd& W(CCmdTarget& t) { return static_cast<CWnd&>(t); }
POINT Pt(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }
}  // namespace

namespace Crack {
void Create(CCmdTarget& t, MessageArgs& a) { a.result = W(t).OnCreate(reinterpret_cast<CREATESTRUCTW*>(a.lParam)); }
void Destroy(CCmdTarget& t, MessageArgs&) { W(t).OnDestroy(); }
void Close(CCmdTarget& t, MessageArgs&) { W(t).OnClose(); }
void Paint(CCmdTarget& t, MessageArgs&) { W(t).OnPaint(); }
void EraseBkgnd(CCmdTarget& t, MessageArgs& a) { a.result = W(t).OnEraseBkgnd(reinterpret_cast<HDC>(a.wParam)); }
void Size(CCmdTarget& t, MessageArgs& a) {
    W(t).OnSize(static_cast<UINT>(a.wParam), LOWORD(a.lParam), HIWORD(a.lParam));
}
void Move(CCmdTarget& t, MessageArgs& a) { W(t).OnMove(GET_X_LPARAM(a.lParam), GET_Y_LPARAM(a.lParam)); }
void ShowWindow(CCmdTarget& t, MessageArgs& a) {
    W(t).OnShowWindow(static_cast<BOOL>(a.wParam), static_cast<UINT>(a.lParam));
}
void WindowPosChanged(CCmdTarget& t, MessageArgs& a) {
    W(t).OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(a.lParam));
}
void GetMinMaxInfo(CCmdTarget& t, MessageArgs& a) { W(t).OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(a.lParam)); }
void Timer(CCmdTarget& t, MessageArgs& a) { W(t).OnTimer(a.wParam); }
void LButtonDown(CCmdTarget& t, MessageArgs& a) { W(t).OnLButtonDown(static_cast<UINT>(a.wParam), Pt(a.lParam)); }
void LButtonUp(CCmdTarget& t, MessageArgs& a) { W(t).OnLButtonUp(static_cast<UINT>(a.wParam), Pt(a.lParam)); }
void LButtonDblClk(CCmdTarget& t, MessageArgs& a) { W(t).OnLButtonDblClk(static_cast<UINT>(a.wParam), Pt(a.lParam)); }
void RButtonDown(CCmdTarget& t, MessageArgs& a) { W(t).OnRButtonDown(static_cast<UINT>(a.wParam), Pt(a.lParam)); }
void RButtonUp(CCmdTarget& t, MessageArgs& a) { W(t).OnRButtonUp(static_cast<UINT>(a.wParam), Pt(a.lParam)); }
void MButtonDown(CCmdTarget& t, MessageArgs& a) { W(t).OnMButtonDown(static_cast<UINT>(a.wParam), Pt(a.lParam)); }
void MouseMove(CCmdTarget& t, MessageArgs& a) { W(t).OnMouseMove(static_cast<UINT>(a.wParam), Pt(a.lParam)); }
void MouseLeave(CCmdTarget& t, MessageArgs&) { W(t).OnMouseLeave(); }
void MouseWheel(CCmdTarget& t, MessageArgs& a) {
    a.result = W(t).OnMouseWheel(GET_KEYSTATE_WPARAM(a.wParam), GET_WHEEL_DELTA_WPARAM(a.wParam), Pt(a.lParam));
}
void KeyDown(CCmdTarget& t, MessageArgs& a) {
    W(t).OnKeyDown(static_cast<UINT>(a.wParam), LOWORD(a.lParam), HIWORD(a.lParam));
}
void KeyUp(CCmdTarget& t, MessageArgs& a) {
    W(t).OnKeyUp(static_cast<UINT>(a.wParam), LOWORD(a.lParam), HIWORD(a.lParam));
}
void Char(CCmdTarget& t, MessageArgs& a) {
    W(t).OnChar(static_cast<UINT>(a.wParam), LOWORD(a.lParam), HIWORD(a.lParam));
}
void SetFocus(CCmdTarget& t, MessageArgs& a) { W(t).OnSetFocus(reinterpret_cast<HWND>(a.wParam)); }
void KillFocus(CCmdTarget& t, MessageArgs& a) { W(t).OnKillFocus(reinterpret_cast<HWND>(a.wParam)); }
void SetCursor(CCmdTarget& t, MessageArgs& a) {
    a.result = W(t).OnSetCursor(reinterpret_cast<HWND>(a.wParam), LOWORD(a.lParam), HIWORD(a.lParam));
}
void GetDlgCode(CCmdTarget& t, MessageArgs& a) { a.result = W(t).OnGetDlgCode(); }
void HScroll(CCmdTarget& t, MessageArgs& a) {
    W(t).OnHScroll(LOWORD(a.wParam), HIWORD(a.wParam), reinterpret_cast<HWND>(a.lParam));
}
void VScroll(CCmdTarget& t, MessageArgs& a) {
    W(t).OnVScroll(LOWORD(a.wParam), HIWORD(a.wParam), reinterpret_cast<HWND>(a.lParam));
}
void CtlColor(CCmdTarget& t, MessageArgs& a) {
    a.result = reinterpret_cast<LRESULT>(
        W(t).OnCtlColor(reinterpret_cast<HDC>(a.wParam), reinterpret_cast<HWND>(a.lParam), a.code));
}
void ParentNotify(CCmdTarget& t, MessageArgs& a) { W(t).OnParentNotify(LOWORD(a.wParam), a.lParam); }
void SysCommand(CCmdTarget& t, MessageArgs& a) { W(t).OnSysCommand(static_cast<UINT>(a.wParam), a.lParam); }
void DropFiles(CCmdTarget& t, MessageArgs& a) { W(t).OnDropFiles(reinterpret_cast<HDROP>(a.wParam)); }
void IdleUpdateCmdUI(CCmdTarget& t, MessageArgs&) { W(t).OnIdleUpdateCmdUI(); }
}  // namespace Crack

// The defaults hand the message on, so a class that lists a row and overrides nothing behaves as if
// the row were not there.
int CWnd::OnCreate(CREATESTRUCTW*) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(HDC) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnLButtonDown(UINT, POINT) { Default(); }
void CWnd::OnLButtonUp(UINT, POINT) { Default(); }
void CWnd::OnLButtonDblClk(UINT, POINT) { Default(); }
void CWnd::OnRButtonDown(UINT, POINT) { Default(); }
void CWnd::OnRButtonUp(UINT, POINT) { Default(); }
void CWnd::OnMButtonDown(UINT, POINT) { Default(); }
void CWnd::OnMouseMove(UINT, POINT) { Default(); }
void CWnd::OnMouseLeave() { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, POINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSetFocus(HWND) { Default(); }
void CWnd::OnKillFocus(HWND) { Default(); }
BOOL CWnd::OnSetCursor(HWND, UINT, UINT) { return static_cast<BOOL>(Default()); }
UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(Default()); }
void CWnd::OnHScroll(UINT, UINT, HWND) { Default(); }
void CWnd::OnVScroll(UINT, UINT, HWND) { Default(); }
HBRUSH CWnd::OnCtlColor(HDC, HWND, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
void CWnd::OnParentNotify(UINT, LPARAM) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnDropFiles(HDROP) { Default(); }
void CWnd::OnIdleUpdateCmdUI() {}

void CWnd::UpdateWindowOnScreen() const {
    ::UpdateWindow(m_hWnd);
    // A wait of no time for nothing: it takes and dispatches no message, but counts as a wait.
    ::MsgWaitForMultipleObjectsEx(0, nullptr, 0, 0, 0);
}
