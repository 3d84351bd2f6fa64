#pragma once
// The tabs of the open files. Each tab holds one file window, which owns its document; the list of tabs
// is the program's list of open files, looked up by file id under the tabber's lock.

#include "core/SectionLock.h"
#include "core/StringW.h"
#include "toolkit/BTabber.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <vector>

class FileParseThread;
class FilePane;
struct ParseRequest;

// The open request: a file name offered in the open dialog, and the request chosen there.
class FileRequest {
public:
    FileRequest() = default;
    virtual ~FileRequest();
    FileRequest(const FileRequest&) = delete;
    FileRequest& operator=(const FileRequest&) = delete;

    // Runs the open dialog on fileName; true on OK with a request to take.
    bool Run(CWnd* owner);
    // The chosen request; the caller owns it from now on.
    ParseRequest* Take();

    StringW fileName;
    ParseRequest* request = nullptr;
};

class FileTabber : public BTabber {
public:
    FileTabber();
    ~FileTabber() override;
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // A new file window and document in a new, selected tab; the file is opened (and parsed) at once.
    // Returns the file window's control id (the document's file id).
    int OpenFileInNewTab(ParseRequest* request);
    // ask: the cancel question for a file still parsing (without it the file is closed regardless).
    bool CloseFile(int index, bool ask = true);
    bool CloseCurrentFile();
    bool ReloadFile();
    FileParseThread* CurrentFile() const;
    FileParseThread* FileAt(int n) const;
    FilePane* WindowAt(int n) const;
    FilePane* CurrentWindow() const { return WindowAt(ActiveIndex()); }
    int Count() const { return static_cast<int>(tabs.size()); }
    bool AnyFileBusy() const;
    void StopAll();
    // A close waits while that file is in a nested loop (a find, a question about it); once all such
    // files are closed, the main window is closed too when this is set.
    bool ClosePending() const { return !closeWhenFree_.empty(); }
    bool closeMainAfter = false;
    FileParseThread* FindFileById(int32_t id);

    // The tab of a file window: caption, and the activity mark (a box in `colour`, or none).
    void SetTabCaption(const CWnd* window, const wchar_t* caption);
    void ShowActivity(const CWnd* window, bool shown, COLORREF colour);

    // Command 301: open a file in a new tab while none is open.
    void OnOpen();
    int OnCreate(CREATESTRUCTW* cs) override;
    void OnLButtonDblClk(UINT flags, POINT point) override;
    LRESULT OnMButtonUp(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR id) override;
    LRESULT OnOptionsMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnRepaintStrip(WPARAM, LPARAM);

    FileRequest request;

    static constexpr int kIconSize = 10;

private:
    HICON IconOf(COLORREF colour);
    static bool FindRunning(const FilePane* window);
    static constexpr UINT_PTR kCloseTimer = 1;

    std::vector<HWND> closeWhenFree_;

    CriticalSection lock_;
    std::map<COLORREF, HICON> icons_;
};

FileTabber& Tabber();
