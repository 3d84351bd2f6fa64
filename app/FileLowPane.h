#pragma once
// The lower area of a file window: a splitter of two tabbers, the hex dump ("Dump") beside the file's
// log, details and show-as lists ("Log", "Details", "ShowAs").

#include "app/FileLogPane.h"
#include "app/ShowasPane.h"
#include "toolkit/BSplitter.h"
#include "toolkit/BTabber.h"

#include <cstdint>
#include <memory>

class FileLongTab : public BTabber {
public:
    static constexpr int kIdDump = 242;
    static constexpr int kMinWidth = 200;

    FileLongTab();
    ~FileLongTab() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    int OnCreate(CREATESTRUCTW* cs) override;
    void OnGetMinMaxInfo(MINMAXINFO* info) override;
    LRESULT OnAttach(WPARAM attached, LPARAM);
    LRESULT OnCursorAddress(WPARAM, LPARAM) { return 0; }
    CWnd* DumpPane() const { return dump_.get(); }

    StringW caption;
    uint8_t tabColour = 0;

private:
    std::unique_ptr<CWnd> dump_;
    static const MessageEntry kEntries[];
};

class FileShortTab : public BTabber {
public:
    static constexpr int kIdLog = 232;
    static constexpr int kIdDetails = 233;
    static constexpr int kIdShowas = 234;
    static constexpr int kMinWidth = 160;

    FileShortTab();
    ~FileShortTab() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    int OnCreate(CREATESTRUCTW* cs) override;
    void OnGetMinMaxInfo(MINMAXINFO* info) override;
    LRESULT OnAttach(WPARAM attached, LPARAM);

    FileLogPane log;
    DetailsPane details;
    ShowasPane showas;
    uint8_t tabColour = 0;

private:
    void AddColouredTab(CWnd& pane, int id, const wchar_t* caption);
    static const MessageEntry kEntries[];
};

class FileLowPane : public BSplitter {
public:
    FileLowPane();
    ~FileLowPane() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    int OnCreate(CREATESTRUCTW* cs) override;
    LRESULT OnOptions(WPARAM what, LPARAM options);

    FileLogPane* LogPane() { return &shortTab.log; }
    CWnd* LogWindow() { return &shortTab.log; }
    ShowasPane* Showas() { return &shortTab.showas; }
    DetailsPane* Details() { return &shortTab.details; }

    FileLongTab longTab;
    FileShortTab shortTab;

private:
    static const MessageEntry kEntries[];
};
