#include "app/FileLowPane.h"

#include "app/AppMessages.h"
#include "app/FileDumpPane.h"
#include "document/DocumentHost.h"
#include "options/Options.h"

#include <algorithm>

namespace {

const RECT kInitialRect{ 0, 0, 100, 100 };

}  // namespace

// --- The dump's tabber.

const MessageEntry FileLongTab::kEntries[] = {
    Cracked(WM_CREATE),
    Cracked(WM_GETMINMAXINFO),
    OnMessage(kMsgAttach, Route<&FileLongTab::OnAttach>),
    OnMessage(kMsgCursorAddress, Route<&FileLongTab::OnCursorAddress>),
};
const MessageMap FileLongTab::kMessageMap{ &BTabber::kMessageMap, kEntries };

FileLongTab::FileLongTab() : BTabber(0, std::make_unique<TabVS2003>(), 1) {}

FileLongTab::~FileLongTab() {
    if (dump_ && dump_->m_hWnd)
        dump_->DestroyWindow();
}

int FileLongTab::OnCreate(CREATESTRUCTW* cs) {
    if (BTabber::OnCreate(cs) == -1)
        return -1;
    SetFont(L"Helv", 8, false);
    dump_.reset(new FileDumpPane);
    dump_->CreateEx(0, nullptr, L"", WS_CHILD, kInitialRect, m_hWnd, kIdDump);
    AddTab(dump_.get(), L"Dump", true);
    SetTabData(kIdDump, static_cast<COLORREF>(tabColour * 0x10001u | 0xFF00u));
    tabColour = static_cast<uint8_t>(tabColour + 24);
    return 0;
}

void FileLongTab::OnGetMinMaxInfo(MINMAXINFO* info) {
    BTabber::OnGetMinMaxInfo(info);
    info->ptMinTrackSize.x = kMinWidth;
}

LRESULT FileLongTab::OnAttach(WPARAM attached, LPARAM) {
    if (attached == 0) {
        caption.clear();
        tabColour = 0;
    }
    return 0;
}

// --- The log's tabber.

const MessageEntry FileShortTab::kEntries[] = {
    Cracked(WM_CREATE),
    Cracked(WM_GETMINMAXINFO),
    OnMessage(kMsgAttach, Route<&FileShortTab::OnAttach>),
};
const MessageMap FileShortTab::kMessageMap{ &BTabber::kMessageMap, kEntries };

FileShortTab::FileShortTab() : BTabber(0, std::make_unique<TabVS2003>(), 3) {}

FileShortTab::~FileShortTab() = default;

void FileShortTab::AddColouredTab(CWnd& pane, int id, const wchar_t* caption) {
    pane.CreateEx(0, nullptr, L"", WS_CHILD, kInitialRect, m_hWnd, static_cast<UINT>(id));
    AddTab(&pane, caption, true);
    SetTabData(id, static_cast<COLORREF>(tabColour * 0x10000u + 0xFFFFu));
    tabColour = static_cast<uint8_t>(tabColour + 24);
}

int FileShortTab::OnCreate(CREATESTRUCTW* cs) {
    if (BTabber::OnCreate(cs) == -1)
        return -1;
    SetFont(L"Helv", 8, false);
    AddColouredTab(log, kIdLog, L"Log");
    AddColouredTab(details, kIdDetails, L"Details");
    AddColouredTab(showas, kIdShowas, L"ShowAs");
    return 0;
}

void FileShortTab::OnGetMinMaxInfo(MINMAXINFO* info) {
    BTabber::OnGetMinMaxInfo(info);
    info->ptMinTrackSize.x = kMinWidth;
}

LRESULT FileShortTab::OnAttach(WPARAM attached, LPARAM) {
    if (attached == 0)
        tabColour = 0;
    return 0;
}

// --- The splitter.

const MessageEntry FileLowPane::kEntries[] = {
    Cracked(WM_CREATE),
    OnMessage(kMsgOptions, Route<&FileLowPane::OnOptions>),
};
const MessageMap FileLowPane::kMessageMap{ &BSplitter::kMessageMap, kEntries };

FileLowPane::FileLowPane() : BSplitter(2, &longTab, &shortTab) {
    side = 2;
    sideBySide = true;
}

FileLowPane::~FileLowPane() {
    if (m_hWnd)
        DestroyWindow();
}

int FileLowPane::OnCreate(CREATESTRUCTW* cs) {
    if (BSplitter::OnCreate(cs) == -1)
        return -1;
    SetSide(2);
    return 0;
}

LRESULT FileLowPane::OnOptions(WPARAM what, LPARAM lparam) {
    Options* options = reinterpret_cast<Options*>(lparam);
    if (!options)
        return 0;
    PInt& split = options->ui.lowPaneDivider;
    if (what == 1) {
        SetPercent(split.value);
        LayoutChildren();
    } else if (what == 2) {
        split.value = std::min(std::max(fraction / 100, split.minimum), split.maximum);
    }
    return 0;
}
