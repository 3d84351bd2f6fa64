#pragma once
// The find dialog: text or hex pattern with the history, mode, direction, sections, which line texts,
// options and the result pane. It also shows the two result panes' running finds and can stop them.
// The file window runs it from BFindHost::RunDialog and hands it the end of a find:
//
//   bool RunDialog(FindContext& c) override { return RunFindDialog(pane, c); }
//   void DialogFindDone(FindResult* r) override { if (DFind* d = DFind::Open()) d->OnFindDone(r); }

#include "app/ThemeDialog.h"
#include "classlib/GdiObject.h"
#include "toolkit/HexEditline.h"

#include <memory>

class FindContext;
class FindResult;
struct FindParameters;

class DFind : public ThemeDialog {
public:
    static constexpr int kTextLimit = 512;

    DFind(CWnd* parent, FindContext* context);
    ~DFind() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // The dialog being shown, or null.
    static DFind* Open();

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnPaint() override;
    void OnDestroy() override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    INT_PTR OnToolHitTest(POINT point, TOOLINFOW* info) const override;

    void SetParameters(const FindParameters& parameters);
    void SetMode(const FindParameters& parameters);
    void GetParameters(FindParameters& parameters) const;
    // Radio buttons, "Cancel" and texts of the two result panes from their running jobs.
    void UpdatePanes();
    void OnFindDone(FindResult* result);

    void OnHistoryPick();
    void OnModeClicked(UINT id);
    void OnSelectionToggled();
    void OnStopPane(UINT id);
    LRESULT OnFindActivity(WPARAM wParam, LPARAM lParam);

    HexCombobox combo;
    int modeIndex = -1;
    int paneIndex = -1;

private:
    bool PaneBusy(int index) const;
    void EnableSections();

    FindContext* context_;
    CFont font_;
    bool hasEngine_ = true;
    bool hasSelection_ = false;
    std::unique_ptr<CWnd> toolTip_;
    CWnd* savedToolTip_ = nullptr;
    DFind* savedOpen_ = nullptr;
};

// Runs the dialog over the context's parameters; true (with the parameters set) on OK.
bool RunFindDialog(CWnd* parent, FindContext& context);
