#pragma once
// A small translucent floating window with one line of text, centred over its owner and movable by
// dragging it with the mouse. Derived pop-ups claim points of their own (HitTest) and draw more over
// the text (PaintExtra).

#include "classlib/CWnd.h"
#include "classlib/GdiObject.h"
#include "core/StringW.h"

#include <windows.h>

#include <cstdint>

class BPopup : public CWnd {
public:
    BPopup() = default;
    ~BPopup() override = default;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // A hidden layered pop-up owned by `owner`, made with the pop-up's font.
    bool Create(CWnd* owner);
    // Stores the text (null counts as empty) and shows the pop-up at its size.
    void SetText(const wchar_t* text);
    // Sizes the pop-up to its text; resizes in place when visible, else centres on the owner and shows.
    void ShowAt();
    // Moves the pop-up, keeping its size, so that its centre is the owner's centre.
    void CenterOnOwner();
    // The size ShowAt gives for a text of that extent.
    SIZE SizeForText(SIZE text) const;

    // A point a derived pop-up handles itself: a press there starts no drag.
    virtual bool HitTest(int x, int y);
    virtual void PaintExtra(HDC dc, const RECT& textRect);

    void OnPaint() override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;

    CWnd* owner = nullptr;
    CWnd* focusAfter = nullptr;
    int32_t pressX = 0, pressY = 0;
    int32_t minWidth = 360;
    int32_t textFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    StringW text;
    StringW fontFace = L"MS Sans Serif";
    int32_t fontSize = 10;
    COLORREF textColor = 0;
    uint8_t alpha = 160;
    CFont font;
};
