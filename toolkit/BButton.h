#pragma once
// The toolkit's icon buttons: child windows that paint an icon on a theme-coloured ground, look hot
// under the pointer, show a tool tip and send WM_COMMAND (id, button window) to their command window
// when clicked. ButtonClick holds the mouse while pressed, ButtonPush latches, ButtonSeparator is the
// thin bar between buttons. Derived buttons change behaviour by overriding the handlers.

#include "classlib/CWnd.h"
#include "core/StringW.h"

#include <windows.h>

#include <cstdint>

class BButtonParade;

class BButton : public CWnd {
public:
    BButton() = default;
    ~BButton() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // Stores the flag and repaints when it changes.
    virtual void Enable(bool enable);
    // A length handed out by a row to its stretch button; plain buttons ignore it.
    virtual void SetSize(int length);
    virtual int GetHeight() const;
    virtual int GetWidth() const;
    virtual bool TakesMargins() const { return true; }
    virtual bool HasIcon() const { return true; }
    // Push buttons latch: the old state is returned. Others answer false.
    virtual bool SetCheck(bool check);
    virtual bool GetCheck() const { return false; }
    virtual void GetRect(RECT& rect) const;
    virtual bool IsPressed() const;
    virtual void MoveTo(const RECT& rect, bool repaint);
    // A visible child of `commandWindow` with the id, both icon sizes set to iconSize.
    virtual bool Create(CWnd* commandWindow, UINT id, int iconSize);
    // The enabled or disabled icon, centred in the rectangle at its size.
    virtual void DrawIcon(HDC dc, const RECT& rect);

    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnMouseLeave() override;
    INT_PTR OnToolHitTest(POINT point, TOOLINFOW* info) const override;

    // Enabled, and not in a row that is switched off.
    bool IsEffectivelyEnabled() const;
    // The ground of the button (what WM_ERASEBKGND paints).
    void PaintGround(HDC dc);
    // Takes ownership of the two icons (the old ones are destroyed).
    void SetIcons(HICON enabledIcon, HICON greyIcon);

    BButtonParade* row = nullptr;
    CWnd* commandWindow = nullptr;
    HICON icon = nullptr;
    int32_t iconSize = 0;
    HICON disabledIcon = nullptr;
    int32_t disabledIconSize = 0;
    StringW tipText;
    bool hot = false;
    bool horizontal = true;
    bool enabled = true;
    bool boxed = false;
};

class ButtonClick : public BButton {
public:
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
};

class ButtonPush : public ButtonClick {
public:
    bool SetCheck(bool check) override;
    bool GetCheck() const override { return latched; }
    bool IsPressed() const override;
    void OnLButtonUp(UINT flags, POINT point) override;

    bool latched = false;
};

class ButtonSeparator : public BButton {
public:
    int GetHeight() const override;
    int GetWidth() const override;
    bool TakesMargins() const override { return false; }
    bool HasIcon() const override { return false; }
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnPaint() override;
};
