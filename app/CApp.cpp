#include "app/CApp.h"

#include "app/AskCancel.h"
#include "app/CrashReport.h"
#include "app/FileTabber.h"
#include "classlib/CommonDialogs.h"
#include "core/CommandLine.h"
#include "core/SystemServices.h"
#include "decode/Ia32Insn.h"
#include "document/FileParseThread.h"
#include "options/BColorTheme.h"

#include <cstdarg>

namespace {

CApp* gApp = nullptr;

constexpr UINT kMainClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_PARENTDC;   // 0x8B

}  // namespace

CApp& App() { return *gApp; }

// ---- the command line

bool AppCommandLine::Parse(const wchar_t* text) {
    files.clear();
    error.clear();
    CommandLine words;
    try {
        if (words.Split(text) > kMaxFiles)
            throw ECmdlineOption(ECmdlineOption::kTooManyFiles);
        words.CheckOptions();   // no option word is known: any one is refused
    } catch (const ECmdlineOption&) {
        error = L"Usage: Trelvo filename";
        return false;
    }
    files = words.files;
    return true;
}

StringW AppCommandLine::GetArg(int i) const {
    if (i <= 0 || i > Count())
        return StringW();
    return files[i - 1];
}

// ---- the application

CApp::CApp() { gApp = this; }

CApp::~CApp() {
    // The documents use the parsers and the option set, which go before the main window object does.
    mainWindow.CloseAllFiles();
    if (mainWindow.m_hWnd)
        mainWindow.DestroyWindow();
    SetFileDirectory(nullptr);
    SetMainLog(nullptr);
    if (gApp == this)
        gApp = nullptr;
}

bool CApp::InitInstance() {
    // The text after the program name.
    StringW programName;
    const wchar_t* rest = CommandLine::NextWord(::GetCommandLineW(), programName);
    return Start(rest ? rest : L"", ShowCommand());
}

bool CApp::Start(const wchar_t* commandLineText, int showCommand) {
    SetMainWindow(&mainWindow);
    TheCrashReport().Install();
    if (!commandLine.Parse(commandLineText)) {
        ShowMessageBox(nullptr, commandLine.error.c_str(), kProductName, MB_ICONERROR);
        return false;
    }
    // Whatever mode the parent passed on, a crash shows its report (tests route it to stderr and keep
    // the system's fault box away too).
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | (CrashReport::ToStderr() ? SEM_NOGPFAULTERRORBOX : 0));
    options.ApplyColorTheme();
    // The window place for this screen unless one is set, then whatever the options file says.
    if (options.general.windowPos.left == PWindowPos::kUnset)
        options.general.windowPos.SetScreenDefault(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    const bool loaded = options.Load(Options::DefaultPath().c_str());
    SetFileDirectory(this);
    SetMainLog(this);

    windowClass = RegisterWindowClass(kMainClassStyle, ::LoadCursorW(nullptr, IDC_ARROW),
                                      static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)), nullptr);
    const PWindowPos& place = options.general.windowPos;
    const RECT rect{place.left, place.top, place.left + place.width, place.top + place.height};
    if (!windowClass || !mainWindow.CreateMain(windowClass, rect))
        return false;
    PWindowPos::mainWindow = mainWindow.m_hWnd;
    if (HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), L"APPICON"))
        mainWindow.SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    const StringW title(kFormat, L"%s %d", kProductName, kBuildNumber);
    mainWindow.SetWindowText(title.c_str());
    mainWindow.SendMessage(kMsgOptions, kOptionsApply, reinterpret_cast<LPARAM>(static_cast<Options*>(&options)));
    mainWindow.ShowWindow(place.zoomed ? SW_MAXIMIZE : showCommand);
    SetDecodeOptions();

    LogLine(L"%s %d", kProductName, kBuildNumber);
    const StringW optionsPath = Options::DefaultPath();
    if (loaded)
        LogLine(L"Options: '%s'", optionsPath.c_str());
    else if (FileExists(optionsPath.c_str()))
        LogLine(L"Options file error: %s", options.ini.loadError.c_str());
    parsers.LoadAll(options);
    LogLine(L"%s", L"Open a file: File, Open..., a double click here or a file dropped here.");
    mainWindow.PostMessage(kMsgStartup, 0, 0);
    return true;
}

int CApp::ExitInstance(int quitCode) {
    (void)quitCode;
    SetWow64Redirection(false);   // back on when anything switched it off
    return 0;
}

FileParseThread* CApp::FindFileById(int32_t id) {
    return mainWindow.tabber ? mainWindow.tabber->FindFileById(id) : nullptr;
}

void CApp::AddLine(const wchar_t* text, bool continuation) {
    if (mainWindow.startScreen && mainWindow.startScreen->log.m_hWnd)
        mainWindow.startScreen->log.AddLine(text, continuation);
}

void CApp::LogFormatted(bool continuation, const wchar_t* format, va_list args) {
    StringW line;
    line.FormatV(format, args);
    AddLine(line.c_str(), continuation);
}

void CApp::LogLine(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    LogFormatted(false, format, args);
    va_end(args);
}

void CApp::LogAppend(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    LogFormatted(true, format, args);
    va_end(args);
}

bool CApp::CloseAll() {
    FileTabber* tabber = mainWindow.tabber.get();
    if (!tabber)
        return true;
    if (tabber->AnyFileBusy()) {
        if (!AskCancel::Ask(L"all operations", mainWindow.m_hWnd).Answered())
            return false;
        tabber->StopAll();
    }
    while (tabber->Count() > 0) {
        if (!tabber->CloseCurrentFile()) {
            // A find still runs in that file: the window closes once it has returned.
            tabber->closeMainAfter = tabber->ClosePending();
            break;
        }
    }
    return tabber->Count() == 0;
}
