#pragma once
// The system's own dialogs and shell services: font and colour choosers, the open-file dialog,
// message boxes, dropped files and opening a document with the shell. Each modal one has a test
// seam, so tests answer it without a system dialog appearing.

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <functional>
#include <string>

// COM for the calling thread (apartment-threaded, as the shell's folder browser wants) for the life
// of the scope. The application object holds one around its message loop.
class ComScope {
public:
    ComScope();
    ~ComScope();
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool Ok() const { return ok_; }

private:
    bool ok_;
};

// A system dialog. DoModal returns IDOK or IDCANCEL.
class SystemDialog {
public:
    virtual ~SystemDialog() = default;
    INT_PTR DoModal();

protected:
    virtual INT_PTR Show() = 0;
};

// Test seam: the next system dialog is answered by `answer` (which may set the dialog's result
// fields through its setters) instead of being shown.
void PushSystemDialogAnswer(std::function<INT_PTR(SystemDialog&)> answer);

class CFontDialog : public SystemDialog {
public:
    // flags: CF_... (CF_INITTOLOGFONTSTRUCT is added when an initial font is given).
    CFontDialog(const LOGFONTW* initial, DWORD flags = CF_SCREENFONTS, HWND owner = nullptr);
    const LOGFONTW& GetLogFont() const { return logFont_; }
    void SetLogFont(const LOGFONTW& font) { logFont_ = font; }
    // The chosen size in tenths of a point.
    int GetSize() const { return pointSize_; }
    void SetSize(int tenths) { pointSize_ = tenths; }
    std::wstring GetFaceName() const { return logFont_.lfFaceName; }
    bool IsItalic() const { return logFont_.lfItalic != 0; }
    int GetWeight() const { return logFont_.lfWeight; }

protected:
    INT_PTR Show() override;

private:
    LOGFONTW logFont_{};
    int pointSize_ = 0;
    DWORD flags_;
    HWND owner_;
};

class CColorDialog : public SystemDialog {
public:
    explicit CColorDialog(COLORREF initial = 0, HWND owner = nullptr) : color_(initial), owner_(owner) {}
    COLORREF GetColor() const { return color_; }
    void SetColor(COLORREF color) { color_ = color; }

protected:
    INT_PTR Show() override;

private:
    COLORREF color_;
    HWND owner_;
};

class OpenFileDialog : public SystemDialog {
public:
    // filter: pairs of description and pattern separated by '|', ending with "||"; initialFolder may
    // be null.
    OpenFileDialog(HWND owner, const wchar_t* initialName, const wchar_t* filter, const wchar_t* initialFolder,
                   DWORD flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_DONTADDTORECENT | OFN_HIDEREADONLY);
    const std::wstring& GetPathName() const { return path_; }
    void SetPathName(const wchar_t* path) { path_ = path ? path : L""; }
    // "a|*.a||" as the double-zero-terminated list the system wants.
    static std::wstring FilterFromBars(const wchar_t* filter);

protected:
    INT_PTR Show() override;

private:
    HWND owner_;
    std::wstring path_;
    std::wstring filter_;
    std::wstring folder_;
    DWORD flags_;
};

// MessageBoxW, or the next answer a test has queued (the box is then not shown).
int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
void PushMessageBoxAnswer(int answer);
// The last box asked for, shown or answered by the seam.
struct MessageBoxRecord {
    std::wstring text;
    std::wstring caption;
    UINT type = 0;
};
const MessageBoxRecord& LastMessageBox();

// The files of a WM_DROPFILES; the drop is released when the object goes.
class DroppedFiles {
public:
    explicit DroppedFiles(HDROP drop) : drop_(drop) {}
    ~DroppedFiles() { if (drop_) ::DragFinish(drop_); }
    DroppedFiles(const DroppedFiles&) = delete;
    DroppedFiles& operator=(const DroppedFiles&) = delete;
    UINT Count() const;
    std::wstring File(UINT index) const;

private:
    HDROP drop_;
};

// Lets the window take files dropped from the shell, also from a process of another integrity level.
void AcceptDroppedFiles(HWND hwnd);

// Opens a document or web address with the shell ("open", SW_SHOWNORMAL); true on success. A test
// may put a handler in the shell's place.
bool ShellOpen(const wchar_t* target, HWND owner = nullptr);
void SetShellOpenSeam(std::function<bool(const wchar_t*)> seam);
