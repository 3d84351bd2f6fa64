#pragma once
// The window wrapper. A CWnd holds its window handle and little else. Every window we create or
// subclass is found through a per-thread handle-to-object map that is in place from the window's
// first message; the map lets go on WM_NCDESTROY. The library never deletes a wrapper: embedded child
// windows live and die with their owners, and a wrapper whose window is still alive destroys it.
//
// Messages run through the class's message map (MessageMap.h). Standard messages the program handles
// are "cracked" to virtual members (OnPaint, OnSize, ...); a class lists `Cracked(WM_PAINT)` in its
// map and overrides the member. The defaults hand the message to the default procedure.

#include "classlib/MessageMap.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>

// The text of any window (controls included).
std::wstring WindowText(HWND hwnd);

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The wrapper of a window of this thread, or null when the window has none.
    static CWnd* FromHandle(HWND hwnd);

    // Creates a window of a class we registered (RegisterWindowClass; null takes a plain class with
    // CS_DBLCLKS and the arrow cursor) or of a system class ("EDIT", WC_COMBOBOXW, TOOLTIPS_CLASSW).
    // For a child, idOrMenu is the control id; for a top-level window a menu handle or 0.
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                  const RECT& rect, HWND parent, UINT_PTR idOrMenu, void* param = nullptr);
    bool Create(const wchar_t* className, const wchar_t* title, DWORD style, const RECT& rect,
                CWnd* parent, UINT id) {
        return CreateEx(0, className, title, style, rect, parent ? parent->m_hWnd : nullptr, id);
    }
    // Takes over an existing window (a dialog item, a control made elsewhere).
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(UINT id, CWnd* parent);
    // Gives the window back to its class procedure and forgets it.
    HWND UnsubclassWindow();
    bool DestroyWindow();

    // The message being handled goes on to the default procedure (or the subclassed control's own).
    LRESULT Default();
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs one message through the map; the window procedure calls it.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called before dispatch for messages of this window or its children; true consumes the message.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Called after WM_NCDESTROY, once the wrapper has let go of the window. Does nothing here; a
    // wrapper that owns itself may delete itself.
    virtual void PostNcDestroy() {}
    // A control's notification reflected by its parent: true when this wrapper's map took it.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The tool under a client point for the thread's tool tip: fills `info` (rect, hwnd, text: null
    // for TTN_NEEDTEXTW, else malloc'ed and freed by the library) and returns the tool's id, -1 for none.
    virtual INT_PTR OnToolHitTest(POINT point, TOOLINFOW* info) const;

    // Cracked messages.
    virtual int OnCreate(CREATESTRUCTW* cs);
    virtual void OnDestroy();
    virtual void OnClose();
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(HDC dc);
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnMove(int x, int y);
    virtual void OnShowWindow(BOOL show, UINT status);
    virtual void OnWindowPosChanged(WINDOWPOS* pos);
    virtual void OnGetMinMaxInfo(MINMAXINFO* info);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnLButtonDown(UINT flags, POINT point);
    virtual void OnLButtonUp(UINT flags, POINT point);
    virtual void OnLButtonDblClk(UINT flags, POINT point);
    virtual void OnRButtonDown(UINT flags, POINT point);
    virtual void OnRButtonUp(UINT flags, POINT point);
    virtual void OnMButtonDown(UINT flags, POINT point);
    virtual void OnMouseMove(UINT flags, POINT point);
    virtual void OnMouseLeave();
    virtual BOOL OnMouseWheel(UINT flags, short delta, POINT screenPoint);
    virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
    virtual void OnKeyUp(UINT key, UINT repeat, UINT flags);
    virtual void OnChar(UINT ch, UINT repeat, UINT flags);
    virtual void OnSetFocus(HWND previous);
    virtual void OnKillFocus(HWND next);
    virtual BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
    virtual UINT OnGetDlgCode();
    virtual void OnHScroll(UINT code, UINT position, HWND scrollBar);
    virtual void OnVScroll(UINT code, UINT position, HWND scrollBar);
    virtual HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlType);
    virtual void OnParentNotify(UINT message, LPARAM lParam);
    virtual void OnSysCommand(UINT command, LPARAM lParam);
    virtual void OnDropFiles(HDROP drop);
    virtual void OnIdleUpdateCmdUI();

    // Sends to every window below this one, depth first (a child, then its children, then the next
    // child). deep = false stops at the children; onlyWrapped skips windows without a wrapper (but
    // still descends into them), so standard controls never see private messages.
    void SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, bool deep = true,
                                  bool onlyWrapped = false) const;
    static void SendMessageToDescendants(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         bool deep = true, bool onlyWrapped = false);

    // Tool tips: the window answers OnToolHitTest for the thread's tool-tip control.
    void EnableToolTips(bool enable = true) { toolTipsEnabled_ = enable; }
    bool ToolTipsEnabled() const { return toolTipsEnabled_; }

    // One call each.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    bool PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(m_hWnd, message, wParam, lParam) != FALSE;
    }
    bool ShowWindow(int command) const { return ::ShowWindow(m_hWnd, command) != FALSE; }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd) != FALSE; }
    bool EnableWindow(bool enable) const { return ::EnableWindow(m_hWnd, enable) != FALSE; }
    bool MoveWindow(int x, int y, int cx, int cy, bool repaint = true) const {
        return ::MoveWindow(m_hWnd, x, y, cx, cy, repaint) != FALSE;
    }
    bool MoveWindow(const RECT& r, bool repaint = true) const {
        return MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
    }
    bool SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) const {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags) != FALSE;
    }
    RECT GetClientRect() const { RECT r{}; ::GetClientRect(m_hWnd, &r); return r; }
    RECT GetWindowRect() const { RECT r{}; ::GetWindowRect(m_hWnd, &r); return r; }
    void ScreenToClient(POINT* p) const { ::ScreenToClient(m_hWnd, p); }
    void ClientToScreen(POINT* p) const { ::ClientToScreen(m_hWnd, p); }
    void ScreenToClient(RECT* r) const { ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(r), 2); }
    void ClientToScreen(RECT* r) const { ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(r), 2); }
    void Invalidate(bool erase = true) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* r, bool erase = true) const { ::InvalidateRect(m_hWnd, r, erase); }
    void UpdateWindow() const { ::UpdateWindow(m_hWnd); }
    // Paints what is invalid and puts it on the screen now, also in the middle of a job that takes no
    // messages (Wine holds a window's paint back until its thread next waits for messages).
    void UpdateWindowOnScreen() const;
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    void SetDlgCtrlID(int id) const { ::SetWindowLongPtrW(m_hWnd, GWLP_ID, id); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    bool ModifyStyle(DWORD remove, DWORD add) const;
    bool ModifyStyleEx(DWORD remove, DWORD add) const;
    std::wstring GetWindowText() const { return WindowText(m_hWnd); }
    void SetWindowText(const wchar_t* text) const { ::SetWindowTextW(m_hWnd, text ? text : L""); }
    void SetFont(HFONT font, bool redraw = true) const { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    UINT_PTR SetTimer(UINT_PTR id, UINT ms) const { return ::SetTimer(m_hWnd, id, ms, nullptr); }
    bool KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id) != FALSE; }
    HWND SetCapture() const { return ::SetCapture(m_hWnd); }
    bool HasCapture() const { return ::GetCapture() == m_hWnd; }

    // The message being handled (valid inside a handler).
    const MSG* CurrentMessage() const { return current_; }

    // The window procedure of every class registered by RegisterWindowClass.
    static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Runs the pre-translate walk for a message: the tool tip sees mouse messages, then each wrapped
    // window from the message's own up through its parents to its top-level window gets
    // PreTranslateMessage. True when one of them consumed the message.
    static bool WalkPreTranslateTree(MSG* msg);

protected:
    // Runs `make`, which creates exactly one window for this wrapper (CreateWindowEx,
    // CreateDialogIndirectParam, ...), with the wrapper in the handle map from the first message.
    bool CreateAttached(HWND (*make)(void* context), void* context);

private:
    friend struct WindowAttach;
    void Attach(HWND hwnd, WNDPROC previous);
    void Detach();
    LRESULT OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC previousProc_ = nullptr;   // what Default() calls
    bool subclassed_ = false;          // we replaced the window's procedure
    const MSG* current_ = nullptr;
    bool toolTipsEnabled_ = false;
};

// Registers (once) a window class with our window procedure; the name is owned by the library and
// stays valid for the life of the process. Null on failure.
const wchar_t* RegisterWindowClass(UINT style, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                   HICON icon = nullptr);

// Sends to the window, then to all its descendants depth first.
void SendToWindowTree(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool onlyWrapped = false);

// The thread's tool-tip control (a wrapper of a TOOLTIPS_CLASSW window, or null). Installing returns
// the one that was installed before, so a caller can put it back.
CWnd* GetThreadToolTip();
CWnd* SetThreadToolTip(CWnd* toolTip);
// Shows the thread's tool tip for a mouse message, asking OnToolHitTest of the nearest wrapped window
// with tool tips enabled (the pre-translate walk calls it).
void RelayToolTipMessage(const MSG& msg);

// Cracked rows: the map row sending a standard message to its virtual member of CWnd (WM_CTLCOLOR...
// go under kCtlColor). Names a message that has no member: a compile error in a constexpr table.
namespace Crack {
void Create(CCmdTarget&, MessageArgs&);
void Destroy(CCmdTarget&, MessageArgs&);
void Close(CCmdTarget&, MessageArgs&);
void Paint(CCmdTarget&, MessageArgs&);
void EraseBkgnd(CCmdTarget&, MessageArgs&);
void Size(CCmdTarget&, MessageArgs&);
void Move(CCmdTarget&, MessageArgs&);
void ShowWindow(CCmdTarget&, MessageArgs&);
void WindowPosChanged(CCmdTarget&, MessageArgs&);
void GetMinMaxInfo(CCmdTarget&, MessageArgs&);
void Timer(CCmdTarget&, MessageArgs&);
void LButtonDown(CCmdTarget&, MessageArgs&);
void LButtonUp(CCmdTarget&, MessageArgs&);
void LButtonDblClk(CCmdTarget&, MessageArgs&);
void RButtonDown(CCmdTarget&, MessageArgs&);
void RButtonUp(CCmdTarget&, MessageArgs&);
void MButtonDown(CCmdTarget&, MessageArgs&);
void MouseMove(CCmdTarget&, MessageArgs&);
void MouseLeave(CCmdTarget&, MessageArgs&);
void MouseWheel(CCmdTarget&, MessageArgs&);
void KeyDown(CCmdTarget&, MessageArgs&);
void KeyUp(CCmdTarget&, MessageArgs&);
void Char(CCmdTarget&, MessageArgs&);
void SetFocus(CCmdTarget&, MessageArgs&);
void KillFocus(CCmdTarget&, MessageArgs&);
void SetCursor(CCmdTarget&, MessageArgs&);
void GetDlgCode(CCmdTarget&, MessageArgs&);
void HScroll(CCmdTarget&, MessageArgs&);
void VScroll(CCmdTarget&, MessageArgs&);
void CtlColor(CCmdTarget&, MessageArgs&);
void ParentNotify(CCmdTarget&, MessageArgs&);
void SysCommand(CCmdTarget&, MessageArgs&);
void DropFiles(CCmdTarget&, MessageArgs&);
void IdleUpdateCmdUI(CCmdTarget&, MessageArgs&);
}  // namespace Crack

constexpr MessageEntry Cracked(UINT message) {
    switch (message) {
    case WM_CREATE: return {message, 0, 0, 0, Crack::Create};
    case WM_DESTROY: return {message, 0, 0, 0, Crack::Destroy};
    case WM_CLOSE: return {message, 0, 0, 0, Crack::Close};
    case WM_PAINT: return {message, 0, 0, 0, Crack::Paint};
    case WM_ERASEBKGND: return {message, 0, 0, 0, Crack::EraseBkgnd};
    case WM_SIZE: return {message, 0, 0, 0, Crack::Size};
    case WM_MOVE: return {message, 0, 0, 0, Crack::Move};
    case WM_SHOWWINDOW: return {message, 0, 0, 0, Crack::ShowWindow};
    case WM_WINDOWPOSCHANGED: return {message, 0, 0, 0, Crack::WindowPosChanged};
    case WM_GETMINMAXINFO: return {message, 0, 0, 0, Crack::GetMinMaxInfo};
    case WM_TIMER: return {message, 0, 0, 0, Crack::Timer};
    case WM_LBUTTONDOWN: return {message, 0, 0, 0, Crack::LButtonDown};
    case WM_LBUTTONUP: return {message, 0, 0, 0, Crack::LButtonUp};
    case WM_LBUTTONDBLCLK: return {message, 0, 0, 0, Crack::LButtonDblClk};
    case WM_RBUTTONDOWN: return {message, 0, 0, 0, Crack::RButtonDown};
    case WM_RBUTTONUP: return {message, 0, 0, 0, Crack::RButtonUp};
    case WM_MBUTTONDOWN: return {message, 0, 0, 0, Crack::MButtonDown};
    case WM_MOUSEMOVE: return {message, 0, 0, 0, Crack::MouseMove};
    case WM_MOUSELEAVE: return {message, 0, 0, 0, Crack::MouseLeave};
    case WM_MOUSEWHEEL: return {message, 0, 0, 0, Crack::MouseWheel};
    case WM_KEYDOWN: return {message, 0, 0, 0, Crack::KeyDown};
    case WM_KEYUP: return {message, 0, 0, 0, Crack::KeyUp};
    case WM_CHAR: return {message, 0, 0, 0, Crack::Char};
    case WM_SETFOCUS: return {message, 0, 0, 0, Crack::SetFocus};
    case WM_KILLFOCUS: return {message, 0, 0, 0, Crack::KillFocus};
    case WM_SETCURSOR: return {message, 0, 0, 0, Crack::SetCursor};
    case WM_GETDLGCODE: return {message, 0, 0, 0, Crack::GetDlgCode};
    case WM_HSCROLL: return {message, 0, 0, 0, Crack::HScroll};
    case WM_VSCROLL: return {message, 0, 0, 0, Crack::VScroll};
    case kCtlColor: return {message, 0, 0, 0, Crack::CtlColor};
    case WM_PARENTNOTIFY: return {message, 0, 0, 0, Crack::ParentNotify};
    case WM_SYSCOMMAND: return {message, 0, 0, 0, Crack::SysCommand};
    case WM_DROPFILES: return {message, 0, 0, 0, Crack::DropFiles};
    case WM_IDLEUPDATECMDUI: return {message, 0, 0, 0, Crack::IdleUpdateCmdUI};
    default: throw "no cracked member for this message";   // stops a constexpr table from compiling
    }
}
