#pragma once
// The tabs of the open files. Each tab holds one file window, which owns its document; the list of tabs
// is the program's list of open files, looked up by file id under the tabber's lock.

#include "app/FileWindow.h"
#include "core/SectionLock.h"
#include "core/StringW.h"
#include "toolkit/BPane.h"
#include "classlib/GdiObject.h"

#include <cstdint>
#include <map>
#include <vector>

class FileParseThread;
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

// One tab of the strip.
struct FileTab {
    FileWindow* window = nullptr;   // owned
    StringW caption;
    int iconKey = -1;               // theme colour of the activity mark, -1 none
};

class FileTabber : public BPane {
public:
    static constexpr int kStripHeight = 22;

    FileTabber();
    ~FileTabber() override;
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // A new file window and document in a new, selected tab; the file is opened (and parsed) at once.
    // Returns the file window's control id (the document's file id).
    int OpenFileInNewTab(ParseRequest* request);
    bool CloseFile(int index);
    bool CloseCurrentFile();
    bool ReloadFile();
    FileParseThread* CurrentFile() const;
    FileParseThread* FileAt(int n) const;
    FileWindow* WindowAt(int n) const;
    FileWindow* CurrentWindow() const { return WindowAt(current_); }
    int Count() const { return static_cast<int>(tabs_.size()); }
    int CurrentIndex() const { return current_; }
    bool AnyFileBusy() const;
    void StopAll();
    FileParseThread* FindFileById(int32_t id);

    // Tab of a file window: selection, caption and activity mark.
    bool SelectTab(int index);
    void SelectAndFocus(int index);
    int IndexOf(const CWnd* window) const;
    void SetTabCaption(const CWnd* window, const wchar_t* caption);
    // Shows a box in theme colour `key` on the window's tab (-1 none); true when the mark changed.
    bool SetTabIcon(const CWnd* window, int key);
    const FileTab& Tab(int index) const { return tabs_[index]; }
    int TabAtPoint(POINT point) const;
    RECT PageRect() const;

    // Command 301: open a file in a new tab while none is open.
    void OnOpen();
    bool OnCmdMsg(UINT id, UINT code) override;
    int OnCreate(CREATESTRUCTW* cs) override;
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnPaint() override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonDblClk(UINT flags, POINT point) override;
    LRESULT OnMButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnOptionsMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnRepaintStrip(WPARAM, LPARAM);

    FileRequest request;

private:
    void PlaceWindows();
    void RemoveTab(int index);
    HICON IconOf(int key);

    CriticalSection lock_;
    std::vector<FileTab> tabs_;
    int current_ = -1;
    CFont font_;
    std::map<int, HICON> icons_;
};

FileTabber& Tabber();
