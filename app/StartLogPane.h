#pragma once
// The main log on the start screen: a log pane of 8192 characters without selection. A double click on
// a line with a web address opens it with the shell. Only the application's own option set styles it.

#include "app/BLogPane.h"
#include "classlib/GdiObject.h"
#include "core/StringW.h"

class StartLogPane : public BLogPane {
public:
    static constexpr int kRingBlocks = 8;

    StartLogPane() : BLogPane(kRingBlocks) {}
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    int LineCount() { return Ring().Count(); }
    // The text of a line (without its colour preset character), empty outside the ring.
    StringW LineText(int index);
    // The ring index of the line under a client point, -1 when none.
    int LineAt(POINT point);
    // What a double click opens: the first http:// or https:// address, cut at white space; empty
    // when the line has none.
    static StringW WebAddressOf(const wchar_t* line);

    void OnLButtonDown(UINT, POINT) override {}
    void OnLButtonUp(UINT, POINT) override {}
    void OnMouseMove(UINT, POINT) override {}
    void OnLButtonDblClk(UINT flags, POINT point) override;
    LRESULT OnStartOptions(WPARAM wParam, LPARAM lParam);

    CFont presetFont;   // "Consolas" at the log font's size
    CFont logFont;      // the log font, for preset 4
};
