#pragma once
// Dialogs from a template resource (by id or by name) or from a template built in memory, run
// modally by a loop of our own: the owner is disabled, each message goes through the pre-translate
// walk and IsDialogMessage, and the loop ends with the code given to EndDialog. WM_QUIT ends it too
// (the result is then IDCANCEL) and is posted again for the loop outside.

#include "classlib/CWnd.h"
#include "classlib/Controls.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A dialog template in memory (DLGTEMPLATE with DS_SETFONT, then one DLGITEMTEMPLATE per control).
class DialogTemplate {
public:
    // Sizes in dialog units. An empty font face leaves the system font.
    DialogTemplate(DWORD style, DWORD exStyle, short x, short y, short cx, short cy,
                   const wchar_t* title, const wchar_t* fontFace = L"MS Shell Dlg", WORD points = 8);
    // className: a registered class name ("BUTTON", "EDIT", ...).
    void AddControl(const wchar_t* className, const wchar_t* text, WORD id, DWORD style, short x, short y,
                    short cx, short cy, DWORD exStyle = 0);
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }
    int ControlCount() const { return words_.size() > 4 ? words_[4] : 0; }

private:
    void PutDword(DWORD v) { words_.push_back(LOWORD(v)); words_.push_back(HIWORD(v)); }
    void PutText(const wchar_t* text);
    void AlignDword() { if (words_.size() % 2) words_.push_back(0); }
    std::vector<WORD> words_;
};

class Dialog : public CWnd {
public:
    explicit Dialog(UINT templateId, CWnd* parent = nullptr);
    Dialog(const wchar_t* templateName, CWnd* parent = nullptr);
    // The template is in memory; it must outlive DoModal.
    Dialog(const DLGTEMPLATE* inMemory, CWnd* parent = nullptr);

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // Runs the dialog modally; the code given to EndDialog, or IDCANCEL when the template is missing,
    // the dialog cannot be made or the program quits.
    INT_PTR DoModal();
    void EndDialog(INT_PTR code);
    bool IsRunning() const { return running_; }
    void SetTemplate(const DLGTEMPLATE* inMemory) { inMemory_ = inMemory; }

    // TRUE lets the system put the focus on the first control.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Control helpers.
    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    std::wstring GetItemText(int id) const { return WindowText(Item(id)); }
    void SetItemText(int id, const wchar_t* text) const { ::SetDlgItemTextW(m_hWnd, id, text ? text : L""); }
    bool IsChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; }
    void SetCheck(int id, bool check) const { ::CheckDlgButton(m_hWnd, id, check ? BST_CHECKED : BST_UNCHECKED); }
    void CheckRadio(int first, int last, int id) const { ::CheckRadioButton(m_hWnd, first, last, id); }
    // The id of the checked button among first..last, 0 when none is.
    int GetCheckedRadio(int first, int last) const;
    void EnableItem(int id, bool enable) const { ::EnableWindow(Item(id), enable); }
    bool IsItemEnabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    void ShowItem(int id, bool show) const { ::ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE); }
    void FocusItem(int id) const { ::SetFocus(Item(id)); }
    // Dialog units of this dialog's font to pixels.
    RECT DialogUnitsToPixels(const RECT& units) const;
    // A control's rectangle in the dialog's client coordinates.
    RECT ItemRect(int id) const;
    ComboBox Combo(int id) const { return ComboBox(Item(id)); }
    ListBox List(int id) const { return ListBox(Item(id)); }
    Edit EditItem(int id) const { return Edit(Item(id)); }

protected:
    CWnd* parent_ = nullptr;

private:
    const DLGTEMPLATE* FindTemplate() const;
    UINT templateId_ = 0;
    std::wstring templateName_;
    const DLGTEMPLATE* inMemory_ = nullptr;
    bool running_ = false;
    INT_PTR result_ = IDCANCEL;
};

// Test seam: the next modal dialog (ours) runs `action` inside its loop after OnInitDialog; the
// action fills controls and usually ends the dialog. Actions are taken in the order pushed.
void PushModalAction(std::function<void(Dialog&)> action);
size_t PendingModalActions();
