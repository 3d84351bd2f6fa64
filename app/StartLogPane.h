#pragma once
// The main log on the start screen: lines of text, the oldest falling out when the 8192 characters of
// room are used up. No selection; a double click on a line with a web address opens it with the shell.

#include "classlib/GdiObject.h"
#include "core/StringW.h"
#include "toolkit/BPane.h"

#include <deque>

class Options;

class StartLogPane : public BPane {
public:
    static constexpr int kCapacity = 8 * 1024;

    StartLogPane() : BPane(1) {}
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // A new line, or (continuation) the rest of the last one; leading backspaces take characters back.
    void AddLine(const wchar_t* text, bool continuation);
    int LineCount() const { return static_cast<int>(lines_.size()); }
    const StringW& Line(int i) const { return lines_[i]; }
    // The text a double click on a line opens: from "http" to the end; empty when the line has none.
    static StringW WebAddressOf(const StringW& line);
    // The line under a client point, -1 when none.
    int LineAt(POINT point) const;

    int OnCreate(CREATESTRUCTW* cs) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnPaint() override;
    void OnLButtonDblClk(UINT flags, POINT point) override;
    void OnLButtonDown(UINT, POINT) override {}
    void OnLButtonUp(UINT, POINT) override {}
    void OnMouseMove(UINT, POINT) override {}
    LRESULT OnOptions(WPARAM wParam, LPARAM lParam);

    COLORREF background = RGB(255, 255, 255);
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF presets[5] = {};

private:
    int LineHeight() const { return lineHeight_ > 0 ? lineHeight_ : 14; }
    int FirstShown() const;
    std::deque<StringW> lines_;
    size_t used_ = 0;   // characters held, one terminator each
    CFont font_;
    CFont presetFont_;
    int lineHeight_ = 0;
};
