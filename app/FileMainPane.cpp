#include "app/FileMainPane.h"

#include "app/AppMessages.h"
#include "app/DizaZoneLines.h"
#include "core/SectionLock.h"
#include "document/BDizaLine.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "options/Options.h"

#include <algorithm>
#include <memory>

// --- The comment pane.

const MessageEntry kOncommentEntries[] = {
    Cracked(WM_CREATE),
    Cracked(WM_ERASEBKGND),
    Cracked(WM_WINDOWPOSCHANGED),
    Cracked(WM_SETFOCUS),
    Cracked(WM_LBUTTONUP),
    Cracked(WM_HSCROLL),
    Cracked(WM_VSCROLL),
    Cracked(WM_MOUSEWHEEL),
    OnMessage(kMsgSegmentsChanged, Route<&FileOncommentPane::OnSegmentsChanged>),
    OnMessage(kMsgOptions, Route<&FileOncommentPane::OnOptions>),
};
const MessageMap FileOncommentPane::kMessageMap{ &BMultiZone::kMessageMap, kOncommentEntries };

FileOncommentPane::FileOncommentPane() : BMultiZone(2) {}

FileOncommentPane::~FileOncommentPane() {
    if (owner)
        owner->commentPane = nullptr;
}

void FileOncommentPane::SetOwner(FileDizaPane* pane) {
    owner = pane;
    if (pane)
        vScroller.SetPager(pane->Page().Share());
}

int FileOncommentPane::OnCreate(CREATESTRUCTW* cs) {
    if (BMultiZone::OnCreate(cs) == -1)
        return -1;
    commentLine = new DizaOncommentZoneline;
    AddLine(commentLine);
    nullLine = new DizaNullZoneline;
    AddLine(nullLine);
    SetFont(L"Consolas", 9, FW_NORMAL, true);
    return 0;
}

void* FileOncommentPane::GetItem(int row) { return owner ? owner->GetItem(row) : nullptr; }

void FileOncommentPane::ReleaseItem(void* item) { delete static_cast<BDizaLine*>(item); }

CRITICAL_SECTION* FileOncommentPane::GetDrawLock() { return owner ? owner->GetDrawLock() : nullptr; }

BZoneLine* FileOncommentPane::GetLine(int row) {
    if (!owner)
        return nullLine;
    DizaPage& page = owner->Page();
    if (page.LineCount() > 0 && row >= 0 && row <= page.LineCount() && page.Row(row).line >= 0x10000000u)
        return commentLine;
    return nullLine;
}

bool FileOncommentPane::HasFocus() { return owner && owner->m_hWnd && ::GetFocus() == owner->m_hWnd; }

void FileOncommentPane::DrawBackground(CDC&) {
    if (!owner)
        return;
    DizaPage& page = owner->Page();
    if (page.top.address != -1) {
        vScroller.top = page.PositionOf(page.top.address);
        vScroller.page64 = page.PageExtent();
    }
}

BOOL FileOncommentPane::OnEraseBkgnd(HDC dc) {
    if (owner && owner->document && owner->Page().valid)
        return BMultiZone::OnEraseBkgnd(dc);
    if (shadow.GetSafeHdc() && !shadow.bitmap.IsNull()) {
        SelectGdi keep(shadow, shadow.bitmap.GetSafeHandle());
        shadow.FillSolidRect(RECT{ 0, 0, shadow.maxWidth, shadow.maxHeight }, normalColor);
    }
    return TRUE;
}

void FileOncommentPane::PaintRows() {
    if (!m_hWnd || !IsShown() || !owner)
        return;
    selection.selectedText = owner->selection.selectedText;
    Invalidate();
}

void FileOncommentPane::OnZoneDown(BZone* zone, int row, int x) {
    if (!owner)
        return;
    owner->selection.selectedText = selection.selectedText;
    // The row is the owner's; the zone is this pane's, so its click measures this pane's line.
    owner->OnZoneDown(nullptr, row, x);
    if (zone && row >= 0 && row < owner->Page().LineCount() && owner->Page().Row(row).line >= diza::kFirstMade)
        zone->OnClick(this, row, x);
}

void FileOncommentPane::OnZoneDrag(BZone* zone, int row, int x, UINT keys) {
    if (!owner)
        return;
    owner->selection.selectedText = selection.selectedText;
    owner->OnZoneDrag(zone, row, x, keys);
    owner->Invalidate();
}

void FileOncommentPane::OnZoneUp(BZone* zone, int row, int x) {
    if (owner)
        owner->OnZoneUp(zone, row, x);
}

void FileOncommentPane::OnZoneDblClick(BZone*, int, int) {
    if (owner)
        owner->RunCommand(kCmdCommentOnline);
}

void FileOncommentPane::OnWindowPosChanged(WINDOWPOS* pos) {
    BMultiZone::OnWindowPosChanged(pos);
    if (!owner || !owner->m_hWnd || !owner->VBar().m_hWnd)
        return;
    if (pos->flags & SWP_SHOWWINDOW)
        owner->VBar().ShowWindow(SW_HIDE);
    else if (pos->flags & SWP_HIDEWINDOW)
        owner->VBar().ShowWindow(SW_SHOW);
}

void FileOncommentPane::OnLButtonUp(UINT flags, POINT point) {
    BMultiZone::OnLButtonUp(flags, point);
    if (owner)
        owner->EndPress();
}

void FileOncommentPane::CancelDrag() {
    BMultiZone::CancelDrag();
    if (owner)
        owner->EndPress();
}

int FileOncommentPane::TrackX() const {
    HWND main = GetParent();
    POINT p = CursorScreenPos();
    ::ScreenToClient(main, &p);
    RECT area{};
    ::GetClientRect(main, &area);
    return std::min(std::max<int>(p.x, area.left), std::max<int>(area.right - 1, 0));
}

void FileOncommentPane::DrawSplitTrack(int x) {
    HWND main = GetParent();
    RECT area{};
    ::GetClientRect(main, &area);
    // Without the children's clipping: the line crosses both panes.
    CClientDC dc(main, DCX_CACHE);
    const int old = dc.SetROP2(R2_NOT);
    dc.MoveTo(x, area.top);
    dc.LineTo(x, area.bottom);
    dc.SetROP2(old);
}

void FileOncommentPane::EndSplitTrack() {
    if (splitX_ >= 0)
        DrawSplitTrack(splitX_);
    splitX_ = -1;
    splitClip_.Release();
}

void FileOncommentPane::OnDividerDown() {
    BPane::OnDividerDown();
    HWND main = GetParent();
    if (!main)
        return;
    RECT area{};
    ::GetClientRect(main, &area);
    ::MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&area), 2);
    // The allowed widths, from 0 to the pane's share of the main pane, as pointer places.
    int limit = dragLimitX;
    if (size >= 0)
        limit = static_cast<int>(static_cast<int64_t>(limit) * maxFraction / 10000);
    area.left = std::max<LONG>(area.left, dragStart.x - std::max(limit - dragStartSize, 0));
    area.right = std::min<LONG>(area.right, dragStart.x + dragStartSize + 1);
    ::SetCursor(BDivider::ResizeCursor(false));
    splitClip_.Confine(area);
    splitX_ = TrackX();
    DrawSplitTrack(splitX_);
}

void FileOncommentPane::OnDividerDrag() {
    if (splitX_ < 0)
        return;
    const int x = TrackX();
    if (x == splitX_)
        return;
    DrawSplitTrack(splitX_);
    DrawSplitTrack(x);
    splitX_ = x;
}

void FileOncommentPane::OnDividerUp() {
    if (splitX_ < 0)
        return;
    EndSplitTrack();
    // The width the pointer asks for, applied once.
    BPane::OnDividerDrag();
    BPane::OnDividerUp();
}

void FileOncommentPane::OnDividerCancel() {
    EndSplitTrack();
    dragSize = -1;
}

void FileOncommentPane::OnSetFocus(HWND) {
    if (owner && owner->m_hWnd)
        owner->SetFocus();
}

void FileOncommentPane::OnHScroll(UINT code, UINT position, HWND bar) {
    BMultiZone::OnHScroll(code, position, bar);
    PaintRows();
}

void FileOncommentPane::OnVScroll(UINT code, UINT position, HWND bar) {
    BMultiZone::OnVScroll(code, position, bar);
    if (owner)
        owner->Invalidate();
}

BOOL FileOncommentPane::OnMouseWheel(UINT flags, short delta, POINT screenPoint) {
    if (!owner)
        return FALSE;
    const BOOL result = owner->OnMouseWheel(flags, delta, screenPoint);
    owner->Invalidate();
    return result;
}

LRESULT FileOncommentPane::OnSegmentsChanged(WPARAM flags, LPARAM) {
    FileParseThread* doc = owner ? owner->document : nullptr;
    if ((flags & 0xFF) != 1 || !doc)
        return 0;
    SectionLock lock(doc->FileLock());
    const SegmentMap& s = doc->Segments();
    vScroller.rangeStart = s.lowestAddress;
    vScroller.rangeEnd = s.lowestAddress + s.Distance(s.lowestAddress, s.highestEnd);
    vScroller.top = vScroller.rangeStart;
    return 0;
}

void FileOncommentPane::ApplyOptions(const Options& options) {
    const PFont& f = options.fonts.commentFont;
    SetFont(f.face.c_str(), f.size, f.bold ? FW_BOLD : FW_NORMAL, f.italic);
    if (owner) {
        // The rows line up with the owner's.
        rowHeight = owner->rowHeight;
        vScroller.lineHeight = rowHeight;
        for (auto& line : lines)
            line->lineHeight = rowHeight;
    }
    const OptionsCodeColors& c = options.codeColors;
    SetNormalColor(c.codeBk.value);
    SetTextColor(c.commentTxt.value);
    SetHighlightColor(c.markerMk.value);
    SetMatchColor(c.foundBk.value);
    currentFocusColor = c.codeInfocus.value;
    currentColor = c.codeOutfocus.value;
    selectedColor = c.selectLinesBk.value;
    LayoutLines();
}

void FileOncommentPane::ShowPane(bool show) {
    if (!m_hWnd)
        return;
    ShowWindow(show ? SW_SHOW : SW_HIDE);
    if (owner && owner->VBar().m_hWnd)
        owner->VBar().ShowWindow(show ? SW_HIDE : SW_SHOW);
    if (HWND parent = GetParent())
        BPane::LayoutChildren(parent, true);
    if (owner) {
        BPane::Relayout(owner->m_hWnd);
        // The continuation rows of on-line comments come and go with the pane.
        owner->Page().RewalkTop();
        owner->Invalidate();
    }
    Invalidate();
}

LRESULT FileOncommentPane::OnOptions(WPARAM what, LPARAM set) {
    auto* options = reinterpret_cast<Options*>(set);
    if (!options)
        return 0;
    if (what == 1) {
        ApplyOptions(*options);
        ShowPane(options->file.showCommentOnline.value);
    } else if (what == 2) {
        options->file.showCommentOnline.value = IsShown();
    }
    return 0;
}

// --- The main pane.

const MessageEntry kMainPaneEntries[] = {
    Cracked(WM_CREATE),
    Cracked(WM_ERASEBKGND),
    Cracked(WM_WINDOWPOSCHANGED),
    OnMessage(kMsgOptions, Route<&FileMainPane::OnOptions>),
};
const MessageMap FileMainPane::kMessageMap{ &BPane::kMessageMap, kMainPaneEntries };

FileMainPane::FileMainPane() : diza(&comments) { comments.SetOwner(&diza); }

FileMainPane::~FileMainPane() = default;

int FileMainPane::OnCreate(CREATESTRUCTW* cs) {
    if (BPane::OnCreate(cs) == -1)
        return -1;
    const RECT r{ 0, 0, 100, 100 };
    diza.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, r, m_hWnd, kIdDizaPane);
    comments.side = 1;
    comments.SetSize(3000);
    comments.CreateEx(0, nullptr, L"", WS_CHILD, r, m_hWnd, kIdCommentPane);
    return 0;
}

BOOL FileMainPane::OnEraseBkgnd(HDC) { return TRUE; }

void FileMainPane::OnWindowPosChanged(WINDOWPOS* pos) {
    BPane::OnWindowPosChanged(pos);
    if (!(pos->flags & SWP_NOSIZE))
        BPane::LayoutChildren(m_hWnd, !(pos->flags & SWP_NOREDRAW));
}

bool FileMainPane::OnCmdMsg(UINT id, UINT code) {
    if (diza.m_hWnd && diza.OnCmdMsg(id, code))
        return true;
    return BPane::OnCmdMsg(id, code);
}

void FileMainPane::ReloadRange(int64_t start, int64_t end) {
    diza.Page().EnsureTopInRange(start, end);
    diza.Invalidate();
}

LRESULT FileMainPane::OnOptions(WPARAM what, LPARAM set) {
    auto* options = reinterpret_cast<Options*>(set);
    if (!options)
        return 0;
    if (what == 1) {
        comments.SetSize(options->ui.mainPaneDivider.value * 100);
        BPane::LayoutChildren(m_hWnd, true);
    } else if (what == 2 && comments.size >= 0) {
        options->ui.mainPaneDivider.value = comments.size / 100;
    }
    return 0;
}
