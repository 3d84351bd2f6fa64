#pragma once
// Standard controls. Each family's calls are written once (ComboBoxCalls, ListBoxCalls, EditCalls)
// and used both by a wrapper class (CComboBox, subclassed or created by us) and by a plain handle
// view (ComboBox(GetDlgItem(id))) for dialog items nobody wraps.

#include "classlib/CWnd.h"

#include <windows.h>

#include <string>

// What the call families share: the handle of the wrapper or view, and sending to it.
template <class Self>
class ControlCalls {
protected:
    HWND Handle() const { return static_cast<const Self*>(this)->m_hWnd; }
    LRESULT Send(UINT m, WPARAM w, LPARAM l) const { return ::SendMessageW(Handle(), m, w, l); }
    int Int(UINT m, WPARAM w, LPARAM l) const { return static_cast<int>(Send(m, w, l)); }
    static LPARAM Text(const wchar_t* t) { return reinterpret_cast<LPARAM>(t ? t : L""); }
    // An item's text through a length message and a text message (CB_GETLBTEXT, LB_GETTEXT).
    std::wstring ItemText(UINT lengthMessage, UINT textMessage, int index) const {
        int n = Int(lengthMessage, index, 0);
        if (n < 0) return std::wstring();
        std::wstring text(static_cast<size_t>(n) + 1, L'\0');
        n = Int(textMessage, index, reinterpret_cast<LPARAM>(&text[0]));
        text.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return text;
    }
};

template <class Self>
class ComboBoxCalls : public ControlCalls<Self> {
    using B = ControlCalls<Self>;
    using B::Send; using B::Int; using B::Text;
public:
    int AddString(const wchar_t* text) const { return Int(CB_ADDSTRING, 0, Text(text)); }
    int InsertString(int index, const wchar_t* text) const { return Int(CB_INSERTSTRING, index, Text(text)); }
    int DeleteString(int index) const { return Int(CB_DELETESTRING, index, 0); }
    void ResetContent() const { Send(CB_RESETCONTENT, 0, 0); }
    int GetCount() const { return Int(CB_GETCOUNT, 0, 0); }
    int GetCurSel() const { return Int(CB_GETCURSEL, 0, 0); }
    int SetCurSel(int index) const { return Int(CB_SETCURSEL, index, 0); }
    LPARAM GetItemData(int index) const { return Send(CB_GETITEMDATA, index, 0); }
    int SetItemData(int index, LPARAM data) const { return Int(CB_SETITEMDATA, index, data); }
    int FindStringExact(int start, const wchar_t* text) const { return Int(CB_FINDSTRINGEXACT, start, Text(text)); }
    std::wstring GetLBText(int index) const { return B::ItemText(CB_GETLBTEXTLEN, CB_GETLBTEXT, index); }
    void LimitText(int characters) const { Send(CB_LIMITTEXT, characters, 0); }
    void ShowDropDown(bool show) const { Send(CB_SHOWDROPDOWN, show, 0); }
    bool GetDroppedState() const { return Send(CB_GETDROPPEDSTATE, 0, 0) != 0; }
    bool GetComboBoxInfo(COMBOBOXINFO* info) const {
        info->cbSize = sizeof *info;
        return ::GetComboBoxInfo(B::Handle(), info) != FALSE;
    }

};

template <class Self>
class ListBoxCalls : public ControlCalls<Self> {
    using B = ControlCalls<Self>;
    using B::Send; using B::Int; using B::Text;
public:
    int AddString(const wchar_t* text) const { return Int(LB_ADDSTRING, 0, Text(text)); }
    int InsertString(int index, const wchar_t* text) const { return Int(LB_INSERTSTRING, index, Text(text)); }
    int DeleteString(int index) const { return Int(LB_DELETESTRING, index, 0); }
    void ResetContent() const { Send(LB_RESETCONTENT, 0, 0); }
    int GetCount() const { return Int(LB_GETCOUNT, 0, 0); }
    int GetCurSel() const { return Int(LB_GETCURSEL, 0, 0); }
    int SetCurSel(int index) const { return Int(LB_SETCURSEL, index, 0); }
    LPARAM GetItemData(int index) const { return Send(LB_GETITEMDATA, index, 0); }
    int SetItemData(int index, LPARAM data) const { return Int(LB_SETITEMDATA, index, data); }
    std::wstring GetText(int index) const { return B::ItemText(LB_GETTEXTLEN, LB_GETTEXT, index); }

};

template <class Self>
class EditCalls : public ControlCalls<Self> {
    using B = ControlCalls<Self>;
    using B::Send;
public:
    void LimitText(int characters) const { Send(EM_LIMITTEXT, characters, 0); }
    void SetSel(int start, int end) const { Send(EM_SETSEL, start, end); }
    void ReplaceSel(const wchar_t* text) const { Send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text ? text : L"")); }
    int GetLineCount() const { return static_cast<int>(Send(EM_GETLINECOUNT, 0, 0)); }
    void LineScroll(int lines) const { Send(EM_LINESCROLL, 0, lines); }
    void SetReadOnly(bool readOnly) const { Send(EM_SETREADONLY, readOnly, 0); }

};

// Handle views of controls nobody wraps.
struct ComboBox : ComboBoxCalls<ComboBox> { explicit ComboBox(HWND hwnd) : m_hWnd(hwnd) {} HWND m_hWnd; };
struct ListBox : ListBoxCalls<ListBox> { explicit ListBox(HWND hwnd) : m_hWnd(hwnd) {} HWND m_hWnd; };
struct Edit : EditCalls<Edit> { explicit Edit(HWND hwnd) : m_hWnd(hwnd) {} HWND m_hWnd; };

// Wrappers: create one with CWnd::Create(WC_COMBOBOXW, ...) or take over a dialog item with
// SubclassDlgItem; derived classes add message-map rows (reflected notifications included).
class CComboBox : public CWnd, public ComboBoxCalls<CComboBox> {};
class CListBox : public CWnd, public ListBoxCalls<CListBox> {};
class CEdit : public CWnd, public EditCalls<CEdit> {};
