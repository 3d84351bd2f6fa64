#pragma once
// The application object: one per process. It initialises common controls and COM, runs
// InitInstance, the message loop with the pre-translate walk and idle processing, and ExitInstance.
//
//   int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
//       return Application::Current()->Run(instance, show);
//   }

#include "classlib/CWnd.h"

#include <windows.h>

class Application : public CCmdTarget {
public:
    Application();
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The application object of the process (the last one constructed), or null.
    static Application* Current();

    // Start-up, the message loop until WM_QUIT, then ExitInstance; returns the exit code.
    int Run(HINSTANCE instance, int showCommand);

    // True runs the message loop; false ends at once (ExitInstance still runs).
    virtual bool InitInstance() { return true; }
    // The process exit code; `quitCode` is WM_QUIT's (0 when the loop never ran).
    virtual int ExitInstance(int quitCode) { return quitCode; }
    // Idle processing, called while the queue is empty after a message that counts. count 0 sends
    // WM_IDLEUPDATECMDUI to the main window and its wrapped descendants. True asks for more calls.
    virtual bool OnIdle(long count);
    // The application's turn in the pre-translate step, after the window walk declined.
    virtual BOOL PreTranslateMessage(MSG*) { return FALSE; }

    HINSTANCE Instance() const { return instance_; }
    int ShowCommand() const { return showCommand_; }
    CWnd* MainWindow() const { return mainWindow_; }
    // The loop ends (WM_QUIT) when the main window is destroyed.
    void SetMainWindow(CWnd* wnd) { mainWindow_ = wnd; }

    // One turn of the loop: the pre-translate walk, then TranslateMessage / DispatchMessage.
    void PumpMessage(MSG& msg);
    // Runs idle processing now, as when the queue empties (for tests and for windows that change
    // what their commands allow outside a message).
    void RunIdle();
    // Whether a message re-arms idle processing: paint, timers and a mouse that did not move do not.
    bool IsIdleMessage(const MSG& msg);

    // The wrapper of a destroyed window is gone: the main window ends the loop.
    static void OnWindowGone(CWnd* wnd);

private:
    HINSTANCE instance_ = nullptr;
    int showCommand_ = SW_SHOWDEFAULT;
    CWnd* mainWindow_ = nullptr;
    POINT lastMousePoint_{-1, -1};
    UINT lastMouseMessage_ = 0;
};

// Sets the enabled, checked and pressed state of commands: items of a menu and child controls of a
// window with the command's id (buttons get BM_SETCHECK and BM_SETSTATE).
class CmdUI {
public:
    CmdUI(HMENU menu, HWND controls) : menu_(menu), controls_(controls) {}
    void Enable(UINT id, bool enable) const;
    void SetCheck(UINT id, bool check) const;
    void SetPressed(UINT id, bool pressed) const;

private:
    HMENU menu_;
    HWND controls_;
};
