#pragma once
// The bookmark dialog: a note (at most 256 characters) and one of four colours, picked by its radio
// button or by a click on its picture.

#include "app/ThemeDialog.h"
#include "core/StringW.h"

class DBookmark : public ThemeDialog {
public:
    static constexpr int kNoteLimit = 256;

    DBookmark(CWnd* parent, const StringW& note, int colourIndex);

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlType) override;
    void OnPicture(UINT id);
    void OnRadio(UINT id);

    // The four colours in the order of the radio buttons: red, green, blue, yellow.
    static COLORREF ColourOf(int index);
    // The index of a stored colour; 0 for any other colour.
    static int IndexOf(COLORREF colour);

    StringW note;
    int colourIndex;   // 0-3

private:
    CBrush pictures_[4];
};
