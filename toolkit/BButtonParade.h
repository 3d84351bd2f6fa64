#pragma once
// A row of buttons made from one bitmap strip of icons (square, as high as the strip, white
// transparent), with a greyed copy for disabled buttons. The row owns its buttons, lays them out
// along its owner horizontally or vertically and answers for them by command id.
//
//   row.Create(ownerPane, IDB_TOOLS);           // the buttons' commands go to the owner's parent
//   row.AddSeparator();
//   row.AddClickButton(311, L"File goto", true);
//   row.Layout(0, 0, width, height, dc);

#include "classlib/CWnd.h"
#include "classlib/ImageList.h"

#include <windows.h>

#include <cstdint>
#include <vector>

class BButton;

class BButtonParade {
public:
    BButtonParade() = default;
    virtual ~BButtonParade();
    BButtonParade(const BButtonParade&) = delete;
    BButtonParade& operator=(const BButtonParade&) = delete;

    // Loads the strip (bitmapId, or the owner's control id when 0) into the icons and makes the
    // disabled icons; false when the strip is missing (the row then has buttons without icons).
    bool Create(CWnd* owner, UINT bitmapId);
    BButton* AddClickButton(UINT id, const wchar_t* tip, bool enabled);
    BButton* AddPushButton(UINT id, const wchar_t* tip, bool enabled);
    // The row takes the button: an image button gets the next icons of the strip.
    BButton* AddButton(BButton* button, const wchar_t* tip, bool enabled);
    BButton* AddSeparator();

    BButton* FindButton(UINT id) const;
    bool GetCheck(UINT id) const;
    bool Check(UINT id, bool check);
    void Enable(UINT id, bool enable);
    bool IsButtonEnabled(UINT id) const;
    // A row switched off shows every button disabled without touching their own flags.
    void SwitchOn(bool on);
    void SetHorizontal(bool horizontal);

    int MeasureLength() const;
    int GetThickness() const;
    SIZE GetSize(int available);
    // Places the visible buttons from (left, top); returns the far edge along the row (0 when the row
    // is hidden). With a DC, the buttons are cut out of its clip region.
    int Layout(int left, int top, int right, int bottom, HDC dc);
    void PaintBackground(HDC dc, const RECT& rect);

    std::vector<BButton*> buttons;
    bool switchedOn = true;
    CWnd* owner = nullptr;
    CWnd* commandWindow = nullptr;   // the owner's parent (its wrapper)
    CImageList icons;
    CImageList disabledIcons;
    bool visible = true;
    int32_t iconSize = 0;
    int32_t marginAcross = 0;
    int32_t marginAlong = 0;
    int32_t endGap = 0;
    int32_t sideGap = 0;
    int32_t spacing = 0;
    bool horizontal = true;
    bool boxed = false;
    BButton* stretchWindow = nullptr;   // gets the length the other buttons leave free

private:
    SIZE Box(const BButton& button) const;
    static bool Shown(const BButton& button);
    int imageButtons_ = 0;
};
