#pragma once
// The log of one open file in the "Log" tab of the low pane: a log pane whose writes, copies and
// clears run under the document's log lock, with a small row of two buttons ("Copy to clipboard",
// "Log clear") at the left end of its horizontal scroller.

#include "app/BLogPane.h"

class FileParseThread;

class FileLogPane : public BLogPane {
public:
    static constexpr UINT kCmdCopy = 101;
    static constexpr UINT kCmdClear = 102;
    static constexpr int kDefaultPower = 7;

    FileLogPane();
    ~FileLogPane() override = default;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // The drawing lock: the document's log lock.
    CRITICAL_SECTION* GetDrawLock() override;
    FileParseThread* GetDocument() override { return document; }
    void ApplyOptions(const Options& options) override;
    int OnCreate(CREATESTRUCTW* cs) override;
    void OnIdleUpdateCmdUI() override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnZoneDblClick(BZone* zone, int row, int x) override;
    bool OnCmdMsg(UINT id, UINT code) override;

    LRESULT OnAttach(WPARAM attached, LPARAM document);
    void OnCopy();
    void OnClear();
    bool CanCopy() const { return HasSelection(); }
    bool CanClear() const { return ring_->Used() > 0; }

    FileParseThread* document = nullptr;
    CFont presetFont;   // preset 1: the pane's font in the log-line colour

private:
    static const MessageEntry kEntries[];
};
