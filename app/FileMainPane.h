#pragma once
// The central area of a file window: the disassembly pane and, docked at its right, the comment pane,
// which shows the on-line comments of the same rows (both read one DizaPage). While the comment pane is
// shown it carries the only vertical scroller of the two.
//
//   auto* main = new FileMainPane;
//   main->CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, r, fileWindow, 210);
//   main->DizaWindow();   // the disassembly pane (commands, focus, go-to)

#include "app/FileDizaPane.h"
#include "app/FilePane.h"
#include "toolkit/BMultiZone.h"
#include "toolkit/BPane.h"

class DizaNullZoneline;
class DizaOncommentZoneline;
class Options;

class FileOncommentPane : public BMultiZone {
public:
    FileOncommentPane();
    ~FileOncommentPane() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // Shares the owner's page as its own scroller's pager.
    void SetOwner(FileDizaPane* pane);
    // Shows or hides the pane (the owner's scroller the other way round); the panes are laid out again.
    void ShowPane(bool show);
    // After each scroller update of the owner: the rows again, with the owner's highlight text.
    void PaintRows();
    void ApplyOptions(const Options& options);

    void* GetItem(int row) override;
    void ReleaseItem(void* item) override;
    CRITICAL_SECTION* GetDrawLock() override;
    BZoneLine* GetLine(int row) override;
    bool HasFocus() override;
    void DrawBackground(CDC& dc) override;
    void OnZoneDown(BZone* zone, int row, int x) override;
    void OnZoneUp(BZone* zone, int row, int x) override;
    void OnZoneDblClick(BZone* zone, int row, int x) override;
    void OnZoneDrag(BZone* zone, int row, int x, UINT keys) override;
    void CancelDrag() override;

    // The split drag on the divider: a track line over the main pane follows the pointer, which is
    // confined to the main pane; the width changes on release, and a lost drag changes nothing.
    void OnDividerDown() override;
    void OnDividerDrag() override;
    void OnDividerUp() override;
    void OnDividerCancel() override;
    // x of the track line in the main pane while a split drag runs, else -1.
    int SplitTrackX() const { return splitX_; }

    int OnCreate(CREATESTRUCTW* cs) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnWindowPosChanged(WINDOWPOS* pos) override;
    void OnSetFocus(HWND previous) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnHScroll(UINT code, UINT position, HWND bar) override;
    void OnVScroll(UINT code, UINT position, HWND bar) override;
    BOOL OnMouseWheel(UINT flags, short delta, POINT screenPoint) override;
    LRESULT OnSegmentsChanged(WPARAM flags, LPARAM);
    LRESULT OnOptions(WPARAM what, LPARAM options);

    FileDizaPane* owner = nullptr;
    DizaOncommentZoneline* commentLine = nullptr;
    DizaNullZoneline* nullLine = nullptr;
    CFont commentFont;

private:
    int TrackX() const;
    void DrawSplitTrack(int x);
    void EndSplitTrack();

    CursorClip splitClip_;
    int splitX_ = -1;
};

class FileMainPane : public BPane, public BFileMainPanes {
public:
    static constexpr int kIdDizaPane = 211;
    static constexpr int kIdCommentPane = 212;

    FileMainPane();
    ~FileMainPane() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // --- What the file window asks.
    CWnd* DizaWindow() override { return diza.m_hWnd ? &diza : nullptr; }
    BDizaView* DizaView() override { return diza.m_hWnd ? &diza : nullptr; }
    bool CommentPaneVisible() override { return diza.CommentPaneVisible(); }
    bool RedrawIfShown(int64_t address) override { return diza.RedrawIfShown(address); }
    void ReloadRange(int64_t start, int64_t end) override;
    int64_t CursorAddress() override { return diza.cursorAddress; }

    int OnCreate(CREATESTRUCTW* cs) override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnWindowPosChanged(WINDOWPOS* pos) override;
    bool OnCmdMsg(UINT id, UINT code) override;
    LRESULT OnOptions(WPARAM what, LPARAM options);

    FileOncommentPane comments;
    FileDizaPane diza;
};
