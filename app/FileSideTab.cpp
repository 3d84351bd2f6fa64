#include "app/FileSideTab.h"

#include "core/SectionLock.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"

#include <memory>

// --- Captions

void SideTabCaptions::Fill(BTabber& owner) {
    tabber = &owner;
    captions.clear();
    for (BTabOne* tab : owner.tabs)
        captions.emplace_back(tab->window, tab->caption);
}

int SideTabCaptions::IndexOfTab(int id) const {
    for (size_t i = 0; i < captions.size(); ++i)
        if (captions[i].first && captions[i].first->m_hWnd && captions[i].first->GetDlgCtrlID() == id)
            return static_cast<int>(i);
    return -1;
}

const StringW* SideTabCaptions::Base(int id) const {
    const int i = IndexOfTab(id);
    return i < 0 ? nullptr : &captions[static_cast<size_t>(i)].second;
}

bool SideTabCaptions::Put(int id, const StringW& text) {
    const int i = IndexOfTab(id);
    if (i < 0 || !tabber)
        return false;
    BTabOne* tab = tabber->TabByWindow(captions[static_cast<size_t>(i)].first);
    if (!tab || tab->caption == text)
        return false;
    if (!hold)
        tab->SetText(text.c_str());
    return true;
}

bool SideTabCaptions::SetCount(int id, int n) {
    const StringW* base = Base(id);
    return base && Put(id, StringW(kFormat, L"%s(%d)", base->c_str(), n));
}

bool SideTabCaptions::SetText(int id, const wchar_t* text) {
    const StringW* base = Base(id);
    return base && Put(id, StringW(kFormat, L"%s(%s)", base->c_str(), text ? text : L""));
}

bool SideTabCaptions::Reset(int id) {
    const StringW* base = Base(id);
    return base && Put(id, *base);
}

// --- The side tab

const MessageEntry FileSideTab::kEntries[] = {
    Cracked(WM_CREATE),
    Cracked(WM_IDLEUPDATECMDUI),
    OnMessage(kMsgAttach, Route<&FileSideTab::OnAttach>),
    OnMessage(kMsgRefersScan, Route<&FileSideTab::OnRefersScan>),
    OnMessage(kMsgSegmentsChanged, Route<&FileSideTab::OnListsChanged>),
    OnMessage(kMsgParsing, Route<&FileSideTab::OnListsChanged>),
    OnMessage(kMsgStringScan, Route<&FileSideTab::OnListsChanged>),
    OnMessage(kMsgFindJob, Route<&FileSideTab::OnFindJob>),
};
const MessageMap FileSideTab::kMessageMap{ &BTabber::kMessageMap, kEntries };

FileSideTab::FileSideTab() : BTabber(2, std::make_unique<TabVS2003>(), 7) {}

FileSideTab::~FileSideTab() {
    // The panes are members: their windows go before the tabber's own.
    for (CWnd* pane : std::initializer_list<CWnd*>{ &find2, &find1, &strings, &refers, &bookmarks, &names, &segments })
        if (pane->m_hWnd)
            pane->DestroyWindow();
}

void FileSideTab::AddList(CWnd& pane, int id, const wchar_t* caption) {
    const RECT r{ 0, 0, 0, 0 };
    pane.CreateEx(0, nullptr, L"", WS_CHILD | WS_CLIPCHILDREN, r, m_hWnd, static_cast<UINT_PTR>(id));
    AddTab(&pane, caption, true);
    SetTabData(id, static_cast<COLORREF>(0xFF0000 + colourCounter * 0x101));
    colourCounter = static_cast<uint8_t>(colourCounter + kColourStep);
}

int FileSideTab::OnCreate(CREATESTRUCTW* cs) {
    if (BTabber::OnCreate(cs) == -1)
        return -1;
    SetSideFlags(kLeft);
    SetFont(L"Helv", 8, false);
    AddList(segments, kIdSegmentList, L"Segments");
    AddList(names, kIdNameList, L"Names");
    AddList(bookmarks, kIdBookmarkList, L"Bookmarks");
    AddList(refers, kIdRefersList, L"Refers");
    AddList(strings, kIdStringList, L"Strings");
    AddList(find1, kIdFind1List, L"Find1");
    AddList(find2, kIdFind2List, L"Find2");
    captions.Fill(*this);
    return 0;
}

bool FileSideTab::RefreshCaptions() {
    bool changed = false;
    if (!document) {
        for (int id = kIdSegmentList; id <= kIdFind2List; ++id)
            changed |= captions.Reset(id);
        return changed;
    }
    changed |= captions.SetCount(kIdSegmentList, segments.GetCount());
    // A filtered list's rows may not be made yet for its store as it is now (it makes them when it
    // paints, after the strip).
    changed |= captions.SetCount(kIdNameList, names.RowCount());
    changed |= captions.SetCount(kIdBookmarkList, bookmarks.GetCount());
    changed |= captions.SetCount(kIdStringList, strings.RowCount());
    if (!IsTabShown(kIdRefersList)) {
        changed |= captions.Reset(kIdRefersList);
    } else if (active == &refers) {
        ReferStore& store = document->stores.refers;
        if (store.results.rangeStart == -1)
            changed |= captions.SetText(kIdRefersList, L"-");
        else
            changed |= captions.SetCount(kIdRefersList, store.results.Count());
    } else {
        changed |= captions.SetCount(kIdRefersList, document->stores.refers.PairCount());
    }
    changed |= captions.SetCount(kIdFind1List, find1.GetCount());
    changed |= captions.SetCount(kIdFind2List, find2.GetCount());
    find1.UpdateTabIcon(document->finds.activePane == kIdFind1List);
    find2.UpdateTabIcon(document->finds.activePane == kIdFind2List);
    return changed;
}

BOOL FileSideTab::DrawBackground(HDC dc) {
    RefreshCaptions();
    return BTabber::DrawBackground(dc);
}

void FileSideTab::OnIdleUpdateCmdUI() {
    if (!m_hWnd)
        return;
    captions.hold = true;
    const bool changed = RefreshCaptions();
    captions.hold = false;
    if (changed)
        Invalidate();
    // The shown list's rows follow its store as its caption does.
    auto* list = dynamic_cast<BMultiList*>(active);
    if (list && list->m_hWnd && list->IsWindowVisible() && list->RowsStale())
        list->Invalidate();
}

LRESULT FileSideTab::OnAttach(WPARAM attached, LPARAM doc) {
    if (attached == 1) {
        document = reinterpret_cast<FileParseThread*>(doc);
        if (document)
            ShowTab(kIdRefersList, document->refersWanted);
    } else if (attached == 0) {
        document = nullptr;
        colourCounter = 0;
    }
    if (m_hWnd)
        Invalidate();
    return 0;
}

LRESULT FileSideTab::OnRefersScan(WPARAM running, LPARAM) {
    if (running == 0 && m_hWnd)
        Invalidate();
    return 0;
}

LRESULT FileSideTab::OnListsChanged(WPARAM, LPARAM) {
    // The captions show the lists' sizes.
    if (m_hWnd)
        Invalidate();
    return 0;
}

LRESULT FileSideTab::OnFindJob(WPARAM running, LPARAM) {
    if (running) {
        foundMoved_ = false;
        foundPending_ = -1;
    } else if (foundPending_ != -1 && document) {
        document->navigator.GotoAddress(foundPending_);
        foundPending_ = -1;
    }
    return OnListsChanged(running, 0);
}

void FileSideTab::MoveToFound(int64_t address) {
    constexpr DWORD kInterval = 200;   // milliseconds
    const DWORD now = ::GetTickCount();
    if (foundMoved_ && now - foundMovedAt_ < kInterval) {
        foundPending_ = address;
        return;
    }
    foundMoved_ = true;
    foundMovedAt_ = now;
    foundPending_ = -1;
    document->navigator.GotoAddress(address);
}

void FileSideTab::OnFindPaneShown(FindPane* pane) {
    if (!document || !pane || !pane->m_hWnd)
        return;
    document->finds.SetActivePane(pane->GetDlgCtrlID(), nullptr);
    find1.UpdateTabIcon(pane == &find1);
    find2.UpdateTabIcon(pane == &find2);
    if (HWND file = GetParent())
        ::RedrawWindow(file, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// --- What the file window asks

void FileSideTab::RepaintSideTabs() {
    if (!m_hWnd)
        return;
    Invalidate();
    if (active && active->m_hWnd)
        active->Invalidate();
}

void FileSideTab::RepaintBookmarks() {
    if (bookmarks.m_hWnd)
        bookmarks.Invalidate();
    if (m_hWnd)
        Invalidate();
}

void FileSideTab::RepaintRefers() {
    if (refers.m_hWnd)
        refers.Invalidate();
    if (m_hWnd)
        Invalidate();
}

void FileSideTab::EmptyRefersPane() {
    refers.Empty();
    if (m_hWnd)
        Invalidate();
}

void FileSideTab::EmptyResultPane(int index) {
    FindPaneAt(index)->Empty();
    if (m_hWnd)
        Invalidate();
}

void FileSideTab::RepaintResultPane(int index) {
    if (FindPane* pane = FindPaneAt(index); pane->m_hWnd)
        pane->Invalidate();
    if (m_hWnd)
        Invalidate();
}

void FileSideTab::OnResultFound(int index, int64_t address) {
    FindPane* pane = FindPaneAt(index);
    if (active == pane) {
        pane->SelectAddress(address);
        if (document)
            MoveToFound(address);
    }
    RepaintResultPane(index);
}

void FileSideTab::SetStripSide(int style) {
    SetSideFlags(style);
    if (m_hWnd)
        Invalidate();
}
