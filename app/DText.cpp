#include "app/DText.h"

#include "options/BColorTheme.h"

#include <algorithm>

namespace {

constexpr MessageEntry kTextEntries[] = {
    Cracked(WM_SIZE),
    Cracked(WM_GETMINMAXINFO),
    Cracked(kCtlColor),
    Cracked(WM_LBUTTONDBLCLK),
};

constexpr DWORD kDialogStyle = WS_POPUP | WS_VISIBLE | WS_DLGFRAME;
constexpr DWORD kEditorStyle = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_READONLY;

}  // namespace

const MessageMap DText::kMessageMap{&Dialog::kMessageMap, kTextEntries};

DText::DText(CWnd* parent) : Dialog(static_cast<const DLGTEMPLATE*>(nullptr), parent) {}

DText::~DText() = default;

COLORREF DText::BackColour() const { return ThemeColor(0); }
COLORREF DText::TextColour() const { return ThemeColor(5); }

INT_PTR DText::ShowModal(const StringW& text) {
    source_ = &text;
    template_ = std::make_unique<DialogTemplate>(style | kDialogStyle, 0, 0, 0, 200, 100, caption.c_str());
    template_->AddControl(L"BUTTON", buttonText.c_str(), IDOK,
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 60, 80, 40, 14);
    SetTemplate(template_->Get());
    return DoModal();
}

BOOL DText::OnInitDialog() {
    RECT none{0, 0, 0, 0};
    editor.CreateEx(0, L"EDIT", L"", editorStyle | kEditorStyle, none, m_hWnd, kEditorId);
    background_.CreateSolidBrush(BackColour());
    font_.CreatePointFont(fontSize * 10, fontFace.c_str());
    editor.SetFont(font_);

    const wchar_t* text = source_ ? source_->c_str() : L"";
    if (place.left == 0 && place.top == 0 && place.right == 0 && place.bottom == 0) {
        HDC dc = ::GetDC(editor.m_hWnd);
        HGDIOBJ old = ::SelectObject(dc, font_);
        RECT measure{0, 0, 0, 0};
        ::DrawTextW(dc, text, -1, &measure, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
        ::SelectObject(dc, old);
        ::ReleaseDC(editor.m_hWnd, dc);
        DWORD editStyle = editor.GetStyle();
        int padded = ::GetSystemMetrics(SM_CXPADDEDBORDER);
        int width = (padded + marginX) * 2 + (measure.right - measure.left) +
                    ((editStyle & WS_VSCROLL) ? ::GetSystemMetrics(SM_CXVSCROLL) : 0) + 18;
        int height = marginY + padded * 2 + (measure.bottom - measure.top) +
                     ((editStyle & WS_HSCROLL) ? ::GetSystemMetrics(SM_CYHSCROLL) : 0) +
                     ::GetSystemMetrics(SM_CYDLGFRAME) * 2 +
                     ((GetStyle() & WS_CAPTION) == WS_CAPTION ? ::GetSystemMetrics(SM_CYCAPTION) : 0) + 52;
        // A long report never grows past the screen; the editor scrolls instead.
        int screenWidth = ::GetSystemMetrics(SM_CXSCREEN), screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
        width = std::min(std::max(width, 256), screenWidth);
        height = std::min(std::max(height, 80), screenHeight - 40);
        ::SetWindowPos(m_hWnd, nullptr, (screenWidth - width) / 2, (screenHeight - height) / 2, width, height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        ::SetWindowPos(m_hWnd, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT client = GetClientRect();
    OnSize(SIZE_RESTORED, client.right, client.bottom);

    editor.SetWindowText(text);
    if (scrollToEnd) editor.LineScroll(editor.GetLineCount());
    SetWindowText(caption.c_str());
    SetItemText(IDOK, buttonText.c_str());
    editor.SetFocus();
    return FALSE;
}

void DText::OnSize(UINT, int cx, int cy) {
    if (editor.m_hWnd) {
        editor.MoveWindow(marginX + 4, marginY + 4, std::max(0, cx - 2 * (marginX + 4)),
                          std::max(0, cy - 40 - marginY - 4));
    }
    if (HWND button = Item(IDOK)) ::MoveWindow(button, (cx - 80) / 2, cy - 32, 80, 28, TRUE);
}

void DText::OnGetMinMaxInfo(MINMAXINFO* info) {
    info->ptMinTrackSize = POINT{256, 80};
    info->ptMaxTrackSize = POINT{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN) - 40};
}

HBRUSH DText::OnCtlColor(HDC dc, HWND, UINT) {
    ::SetTextColor(dc, TextColour());
    ::SetBkColor(dc, BackColour());
    return background_;
}

void DText::CopyAll() {
    editor.SetSel(0, -1);
    editor.SendMessage(WM_COPY);
    editor.SetSel(-1, 0);
}

void DText::OnLButtonDblClk(UINT, POINT) { CopyAll(); }
