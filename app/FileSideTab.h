#pragma once
// The side tab of a file window: a tab strip holding the seven list panes (segments, names,
// bookmarks, refers, strings, "Find1", "Find2"), whose captions show the lists' sizes.
//
//   auto* side = new FileSideTab;
//   side->side = 3;   // docked left
//   side->CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect, fileWindow, 220);
//   side->SetStripSide(BTabber::kLeft);

#include "app/FilePane.h"
#include "app/SideLists.h"
#include "core/StringW.h"
#include "toolkit/BTabber.h"

#include <cstdint>
#include <utility>
#include <vector>

class FileParseThread;

// The base caption of each tab, to which the side tab adds the list's size.
class SideTabCaptions {
public:
    void Fill(BTabber& tabber);
    int IndexOfTab(int id) const;
    // Each sets a tab's caption and tells whether it changed.
    // "%s(%d)" of the base caption and n.
    bool SetCount(int id, int n);
    // "%s(%s)" of the base caption and the text.
    bool SetText(int id, const wchar_t* text);
    // Back to the base caption.
    bool Reset(int id);
    const StringW* Base(int id) const;

    BTabber* tabber = nullptr;
    std::vector<std::pair<CWnd*, StringW>> captions;
    // While set, the captions only tell whether they would change: a tab shows the caption it drew.
    bool hold = false;

private:
    bool Put(int id, const StringW& text);
};

class FileSideTab : public BTabber, public BFileListPanes {
public:
    static constexpr int kColourStep = 24;

    FileSideTab();
    ~FileSideTab() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    int OnCreate(CREATESTRUCTW* cs) override;
    BOOL DrawBackground(HDC dc) override;
    // A list changed without a word to the strip or to the list (a string made, a key in a hidden
    // list): its caption is drawn again, and the shown list's rows.
    void OnIdleUpdateCmdUI() override;
    // Every tab's caption from its list's size; whether one changed.
    bool RefreshCaptions();

    LRESULT OnAttach(WPARAM attached, LPARAM doc);
    LRESULT OnRefersScan(WPARAM running, LPARAM);
    LRESULT OnListsChanged(WPARAM, LPARAM);
    LRESULT OnFindJob(WPARAM running, LPARAM);

    // What the file window asks of it.
    void RepaintSideTabs() override;
    void RepaintBookmarks() override;
    void RepaintRefers() override;
    void EmptyRefersPane() override;
    void EmptyResultPane(int index) override;
    void RepaintResultPane(int index) override;
    void OnResultFound(int index, int64_t address) override;
    void SetStripSide(int style) override;

    // A find pane became the shown one: it is the active result pane now.
    void OnFindPaneShown(FindPane* pane);
    FindPane* FindPaneAt(int index) { return index == 0 ? &find1 : &find2; }

    FileParseThread* document = nullptr;
    uint8_t colourCounter = 0;
    SideTabCaptions captions;

    SegmentListPane segments;
    GlobalNamePane names;
    BookmarkPane bookmarks;
    RefersPane refers;
    StringzPane strings;
    FindPane find1;
    FindPane find2;

private:
    void AddList(CWnd& pane, int id, const wchar_t* caption);
    // A find's hits move the disassembly pane: the first at once, then at most one per interval (each
    // move repaints the file window), and the last one when the find ends.
    void MoveToFound(int64_t address);
    bool foundMoved_ = false;
    DWORD foundMovedAt_ = 0;
    int64_t foundPending_ = -1;
    static const MessageEntry kEntries[];
};
