#pragma once
// One run of the program under test: its own temporary folder holding a copy of the built exe (and
// so its own options file) and the two samples, the process, and the reading of its screen.

#include "tests/e2e/AppProcess.h"
#include "tests/e2e/ScreenReader.h"
#include "tests/e2e/UserInput.h"

#include <windows.h>

#include <deque>
#include <memory>
#include <string>

namespace e2e {

// Control ids of the program's windows, as a user finds them on the screen.
enum : int {
    kTabber = 200, kButtonBar = 201, kMainPane = 210, kDizaPane = 211, kCommentPane = 212,
    kStatusBar = 213, kSideTab = 220, kSegments = 221, kNames = 222, kBookmarks = 223,
    kRefers = 224, kStrings = 225, kFind1 = 226, kFind2 = 227, kLowPane = 230, kLogPane = 232,
    kDetails = 233, kShowas = 234, kDumpPane = 242, kStartScreen = 100, kStartLog = 232,
};

// Button commands.
enum : int {
    kFileClose = 301, kSidePane = 220, kLowPaneButton = 230, kGoto = 311, kGoBack = 312,
    kBookmarkPrev = 321, kBookmarkNext = 323, kFindPrev = 331, kFind = 333, kFindNext = 332,
    kName = 351, kCode = 352, kByte = 354, kWord = 355, kDword = 356, kQword = 357, kDump = 360,
    kByteline = 361, kAsciiz = 362, kUnicode = 363, kCommentLine = 371, kCommentOnLine = 372,
    kShowDump = 401, kShowComments = 402, kCollapse = 403, kAddressMode = 411, kDumpMode = 412,
    kCopyList = 101, kLogClear = 102,
};

class Session {
public:
    Session();
    ~Session();

    // Starts the program with the arguments.
    bool Start(const std::wstring& arguments);
    // Starts the program with the arguments and waits for its main window.
    bool Launch(const std::wstring& arguments);
    HWND Main() const { return main_; }
    // The window of the open file (its control id is the file id), or null.
    HWND FileWindow() const;
    // A descendant of the current file window by control id.
    HWND Pane(int id) const;
    // The visible dialog of the program whose title holds the text (any title for null).
    HWND WaitDialog(const wchar_t* titlePart, DWORD timeoutMs = 10000) const;

    // Clicks a control of a dialog (or any window) at its centre.
    void ClickControl(HWND control);
    // Clicks a tool button by command id (buttons are windows of that id).
    void ClickButton(int command);
    // Focuses an edit or combo box of a dialog by a click and types a new text into it.
    void TypeInto(HWND control, const std::wstring& text);

    // The window holding the mouse capture in the program's window thread, or null.
    HWND Capture() const;
    // Waits until the program's window thread has handled what came before (a message round trip).
    void Settle() const;
    // A drag whose press is held by the program before the pointer moves on.
    void Drag(POINT from, POINT to, int steps = 6);

    // Notes an input or step for the failure report (the last 40 are kept).
    void Note(const std::string& text);
    std::string LastNotes() const;
    // Saves a screenshot of the main window as <n>-<name>.png under the build's screenshot folder.
    std::wstring Shot(const std::string& name);

    AppProcess& App() { return *app_; }
    ScreenReader& Screen() { return screen_; }
    const std::wstring& Folder() const { return temp_.Path(); }
    std::wstring ProgramPath() const { return temp_ / L"Trelvo.exe"; }
    std::wstring OptionsPath() const { return temp_ / L"Trelvo.ini"; }
    std::wstring SamplePath() const { return temp_ / L"sample.exe"; }
    std::wstring RandomPath() const { return temp_ / L"random.bin"; }
    const std::string& SampleBytes() const { return sample_; }

    // Ends the running program (killing it when it does not end by itself) and forgets it.
    void Stop();

    static std::wstring ShotFolder();

private:
    TempFolder temp_;
    std::unique_ptr<AppProcess> app_;
    ScreenReader screen_;
    HWND main_ = nullptr;
    std::string sample_;
    std::deque<std::string> notes_;
    int shots_ = 0;
};

}  // namespace e2e
