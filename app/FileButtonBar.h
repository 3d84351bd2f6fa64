#pragma once
// The tool buttons of a file window: three rows side by side (file, tools, makers), each with its
// icons from the bitmap strip whose id is the row's id. The buttons' commands go to the file window.

#include "toolkit/BButtonParade.h"
#include "toolkit/BPane.h"

class FileButtonBar : public BPane {
public:
    static constexpr UINT kIdFileRow = 202;
    static constexpr UINT kIdToolRow = 203;
    static constexpr UINT kIdMakerRow = 204;
    static constexpr int kSpacing = 2;

    FileButtonBar();
    ~FileButtonBar() override = default;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    int OnCreate(CREATESTRUCTW* cs) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnPaint() override;
    void OnSize(UINT type, int cx, int cy) override;
    // The File row's height.
    int GetExtent() const override;

    // The tool and maker rows are switched off while a file parses.
    void EnableEditRows(bool enable);
    void SetPressed(UINT id, bool pressed);
    void SetEnabled(UINT id, bool enable);
    bool IsEnabled(UINT id) const;
    BButton* FindButton(UINT id) const;
    void LayoutRows();

    BButtonParade fileRow;
    BButtonParade toolRow;
    BButtonParade makerRow;

private:
    static const MessageEntry kEntries[];
};
