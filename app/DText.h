#pragma once
// A dialog built in memory that shows a long text in a read-only editor, sized to the text (or put at
// a given place), with one button. The crash report shows itself in it.
//
//   DText box(nullptr);
//   box.caption = L"Ba-bah!";
//   box.buttonText = L"&Terminate";
//   box.ShowModal(reportText);

#include "classlib/Dialog.h"
#include "classlib/GdiObject.h"
#include "core/StringW.h"

#include <memory>

class DText : public Dialog {
public:
    static constexpr int kEditorId = 60695;

    explicit DText(CWnd* parent);
    ~DText() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // Runs the dialog over the text (kept by reference while it runs).
    INT_PTR ShowModal(const StringW& text);

    BOOL OnInitDialog() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnGetMinMaxInfo(MINMAXINFO* info) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlType) override;
    void OnLButtonDblClk(UINT flags, POINT point) override;

    // Selects everything, copies it to the clipboard and clears the selection.
    void CopyAll();

    CEdit editor;
    RECT place{0, 0, 0, 0};   // all 0: sized to the text and centred
    StringW caption;
    StringW buttonText{L"&Ok"};
    StringW fontFace{L"Courier"};
    int fontSize = 10;         // points
    DWORD style = WS_CAPTION;
    DWORD editorStyle = 0;
    bool scrollToEnd = false;
    int marginX = 0;
    int marginY = 0;

private:
    COLORREF BackColour() const;
    COLORREF TextColour() const;

    CBrush background_;
    CFont font_;
    const StringW* source_ = nullptr;
    std::unique_ptr<DialogTemplate> template_;
};
