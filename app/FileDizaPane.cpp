#include "app/FileDizaPane.h"

#include "app/AppMessages.h"
#include "app/DComment.h"
#include "app/DGoto.h"
#include "app/DMakerArray.h"
#include "app/DName.h"
#include "app/DizaZoneLines.h"
#include "app/FileMainPane.h"
#include "app/FilePane.h"
#include "app/FileSideTab.h"
#include "app/resources/resource.h"
#include "core/NumberText.h"
#include "core/SectionLock.h"
#include "core/SystemServices.h"
#include "core/TimingTrace.h"
#include "document/BDizaLine.h"
#include "document/Diza.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "document/FindContext.h"
#include "document/MakerCode.h"
#include "document/MakerData.h"
#include "document/MakerStringz.h"
#include "options/Options.h"
#include "toolkit/BZoneLine.h"
#include "toolkit/GuiMetrics.h"

#if __has_include("app/FileButtonBar.h")
#include "app/FileButtonBar.h"
#define TRELVO_HAS_MAKER_ROW 1
#endif
#if __has_include("app/ShowasPane.h")
#include "app/ShowasPane.h"
#define TRELVO_HAS_SHOWAS 1
#endif

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <memory>

namespace {

bool KeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

constexpr int kIdRefersTab = 224;   // the side tab's refers list

bool IsLine(const DizaLinePos& p) { return p.line >= diza::kFirstMade; }

// A dump item: kind word exactly 0xB0000000 in its top 4 and low 16 bits.
bool IsDumpItem(uint32_t word) { return (word & 0xF000FFFFu) == 0xB0000000u; }

// The side tab of the document's file window, null without one.
FileSideTab* SideTabOf(FileParseThread* document) {
    auto* file = dynamic_cast<FilePane*>(document ? dynamic_cast<CWnd*>(document->Host()) : nullptr);
    return file ? dynamic_cast<FileSideTab*>(file->SideTab()) : nullptr;
}

}  // namespace


// --- Line texts for the finds.

bool DizaPaneFindLines::SubLineText(FileParseThread* document, const DizaLinePos& line, StringW& text) {
    const int index = static_cast<int>(line.line & 0xFF);
    switch (line.line >> 28) {
    case 1: {
        const StringW comment = document->stores.lineComments.GetLineText(line.address, index);
        text = L";";
        text += comment;
        return true;
    }
    case 2: text = document->stores.names.TextAt(line.address, index); break;
    // A continuation row shows ";" and its line of the comment, as the comment pane does.
    case 15: {
        const StringW comment = document->stores.onlineComments.GetLineText(line.address, index);
        if (comment.empty())
            return false;
        text = L";";
        text += comment;
        return true;
    }
    default: return false;
    }
    return !text.empty();
}

// --- The pane.

const MessageEntry kDizaPaneEntries[] = {
    Cracked(WM_CREATE),
    Cracked(WM_ERASEBKGND),
    Cracked(WM_KEYDOWN),
    Cracked(WM_KEYUP),
    Cracked(WM_MOUSEWHEEL),
    Cracked(WM_LBUTTONDOWN),
    Cracked(WM_LBUTTONUP),
    Cracked(WM_IDLEUPDATECMDUI),
    OnMessage(kMsgAttach, Route<&FileDizaPane::OnAttach>),
    OnMessage(kMsgSegmentsChanged, Route<&FileDizaPane::OnSegmentsChanged>),
    OnMessage(kMsgSelectionChanged, Route<&FileDizaPane::OnSelectionChanged>),
    OnMessage(kMsgGoto, Route<&FileDizaPane::OnGoto>),
    OnMessage(kMsgShowasItem, Route<&FileDizaPane::OnShowasItem>),
    OnMessage(kMsgOptions, Route<&FileDizaPane::OnOptions>),
};
const MessageMap FileDizaPane::kMessageMap{ &BMultiZone::kMessageMap, kDizaPaneEntries };

FileDizaPane::FileDizaPane(FileOncommentPane* comments) : commentPane(comments), page_(new DizaPage(this)) {
    vScroller.SetPager(page_);
}

FileDizaPane::~FileDizaPane() {
    if (commentPane)
        commentPane->owner = nullptr;
}

int FileDizaPane::OnCreate(CREATESTRUCTW* cs) {
    if (BMultiZone::OnCreate(cs) == -1)
        return -1;
    cornerButtons.Create(this, IDB_DIZA_BUTTONS);
    cornerButtons.commandWindow = this;
    cornerButtons.AddPushButton(kCmdShowDumpBytes, L"Show dump bytes", true);
    cornerButtons.AddPushButton(kCmdShowComments, L"Show online comments", true);
    cornerButtons.AddClickButton(kCmdCollapse, L"Add/Remove collapse", false);
    cornerButtons.Check(kCmdShowDumpBytes, true);
    bodyLine = new DizaBodyZoneline;
    AddLine(bodyLine);
    commentLine = new DizaCommentlineZoneline;
    AddLine(commentLine);
    nameLine = new DizaNameZoneline;
    AddLine(nameLine);
    onlineLine = new DizaCommentOnlineZoneline;
    AddLine(onlineLine);
    nullLine = new DizaNullZoneline;
    AddLine(nullLine);
    SetFont(L"Consolas", 9, FW_NORMAL);
    return 0;
}

// --- Rows.

void* FileDizaPane::GetItem(int row) {
    if (!document || row < 0 || row > page_->LineCount())
        return nullptr;
    const DizaLinePos& p = page_->Row(row);
    return MakeDizaLine(document, Diza{ p.address, p.line });
}

void FileDizaPane::ReleaseItem(void* item) { delete static_cast<BDizaLine*>(item); }

CRITICAL_SECTION* FileDizaPane::GetDrawLock() { return document ? document->FileLock() : nullptr; }

DizaZoneline* FileDizaPane::LineForKind(uint32_t word) {
    DizaZoneline* line = nullLine;
    if (word > 0x5FFFFFFFu && word < 0xF0000000u)
        line = bodyLine;
    else if (word >> 28 == 1)
        line = commentLine;
    else if (word >> 28 == 2)
        line = nameLine;
    else if (word > 0xEFFFFFFFu)
        line = onlineLine;
    if (line)
        line->ResetState();
    return line;
}

BZoneLine* FileDizaPane::GetLine(int row) {
    if (row < 0 || row > page_->LineCount())
        return nullLine;
    return LineForKind(page_->Row(row).line);
}

void FileDizaPane::DrawBackground(CDC&) {
    page_->Refill(RowCount());
    vScroller.top = page_->PositionOf(page_->top.address);
    vScroller.page64 = page_->PageExtent();
}

BOOL FileDizaPane::OnEraseBkgnd(HDC dc) {
    if (page_->valid && document)
        return BMultiZone::OnEraseBkgnd(dc);
    if (shadow.GetSafeHdc() && !shadow.bitmap.IsNull()) {
        SelectGdi keep(shadow, shadow.bitmap.GetSafeHandle());
        shadow.FillSolidRect(RECT{ 0, 0, shadow.maxWidth, shadow.maxHeight }, normalColor);
    }
    if (commentPane && commentPane->m_hWnd && commentPane->IsShown())
        commentPane->Invalidate();
    return TRUE;
}

void FileDizaPane::UpdateScrollers(CDC& dc) {
    const int row = cursorAddress != -1 ? page_->LineOfAddress(cursorAddress) : -1;
    if (row >= 0 && document && diza::IsItemLine(page_->Row(row).line)) {
        std::unique_ptr<BDizaLine> model(static_cast<BDizaLine*>(GetItem(row)));
        if (model) {
            const RECT r = GetRowRect(row);
            bodyLine->row = row;
            bodyLine->SetData(model.get());
            bodyLine->DrawCursorMarks(dc, model.get(), cursorAddress, r.top, r.bottom,
                                      document->options.codeColors.codeClickAddress.value);
        }
    }
    BMultiZone::UpdateScrollers(dc);
#ifdef TRELVO_HAS_SHOWAS
    if (FilePane* file = dynamic_cast<FilePane*>(document ? dynamic_cast<CWnd*>(document->Host()) : nullptr))
        if (ShowasPane* showas = file->Showas())
            showas->SetItem(CurrentPosition());
#endif
    if (commentPane && commentPane->m_hWnd)
        commentPane->PaintRows();
    if (m_hWnd)
        SendMessage(WM_IDLEUPDATECMDUI, 0, 0);
}

void FileDizaPane::SetZoneWidth(BZone* zone, int width) {
    if (width == 0 && zone && zone->id == kZoneDizaDump) {
        bodyLine->SetZoneHidden(kZoneDizaDump, true);
        LayoutLines();
        Invalidate();
        return;
    }
    BMultiZone::SetZoneWidth(zone, width);
}

BOOL FileDizaPane::PreTranslateMessage(MSG* msg) {
    if (BMultiZone::PreTranslateMessage(msg))
        return TRUE;
    if (accelerators && msg->message >= WM_KEYFIRST && msg->message <= 0x109)
        return ::TranslateAcceleratorW(m_hWnd, accelerators, msg) != 0;
    return FALSE;
}

// --- The cursor, the current address and the selection.

void FileDizaPane::SetCursorAddress(int64_t address) {
    cursorAddress = address;
    // A go-to lands here after its repaint: the cursor row follows when its item does not hold the address.
    const DizaLinePos current = CurrentPosition();
    const int row = address != -1 ? page_->LineOfAddress(address) : -1;
    if (row >= 0 && row != page_->currentRow &&
        !(current.address != -1 && current.address <= address &&
          address < current.address + std::max(page_->LineQuery(page_->currentRow), 1))) {
        page_->currentRow = row;
        // The page may have been painted already with the row the go-to left.
        if (m_hWnd)
            Invalidate();
    }
    if (document)
        document->NotifyWindows(kMsgCursorAddress, address != -1 ? 1 : 0, 0, true);
}

DizaLinePos FileDizaPane::CurrentPosition() {
    const int row = page_->currentRow;
    if (!page_->valid || row < 0 || row >= page_->LineCount())
        return kNoLine;
    return page_->Row(row);
}

int64_t FileDizaPane::GetCurrentAddress() {
    const DizaLinePos current = CurrentPosition();
    if (cursorAddress != -1 && current.address != -1 && current.address <= cursorAddress &&
        cursorAddress < current.address + page_->LineQuery(page_->currentRow))
        return cursorAddress;
    return page_->valid ? current.address : -1;
}

void FileDizaPane::SetHighlight(const StringW& text) {
    selection.selectedText = text;
    Invalidate();
}

void FileDizaPane::SelectionChanged(bool extend) {
    if (document && document->Host())
        document->NotifyWindows(kMsgSelectionChanged, extend ? 1 : 0, PaneParam(), true);
    else
        OnSelectionChanged(extend ? 1 : 0, 0);
}

LRESULT FileDizaPane::OnSelectionChanged(WPARAM extend, LPARAM) {
    BlockSelection& s = page_->selection;
    if (extend) {
        const DizaLinePos current = CurrentPosition();
        if (s.state == BlockSelection::kNone)
            s.Begin(current);
        else
            s.Extend(current);
        s.length = -1;
    } else {
        s.Clear();
    }
    if (m_hWnd)
        SendMessage(WM_IDLEUPDATECMDUI, 0, 0);
    return 0;
}

void FileDizaPane::UpdateSelection(bool extend) {
    BlockSelection& s = page_->selection;
    if (extend) {
        if (s.state == BlockSelection::kMarked) {
            s.Clear();
            if (m_hWnd)
                SendMessage(WM_IDLEUPDATECMDUI, 0, 0);
        }
        if (s.state == BlockSelection::kNone)
            s.Begin(CurrentPosition());
    } else if (s.state != BlockSelection::kNone) {
        SelectionChanged(false);
    }
}

// --- Keys and mouse.

void FileDizaPane::OnPaint() {
    BMultiZone::OnPaint();
    TimingTrace::Event(L"diza painted");
}

void FileDizaPane::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    TimingTrace::Event(L"diza key %u", key);
    const bool moves = (key >= VK_PRIOR && key <= VK_HOME) || key == VK_UP || key == VK_DOWN;
    if (key == kForcedCodeKey && KeyDown(VK_CONTROL) && KeyDown(VK_SHIFT)) {
        RunCommand(kCmdForcedCode);
        return;
    }
    if (!moves) {
        BMultiZone::OnKeyDown(key, repeat, flags);
        return;
    }
    UpdateSelection(KeyDown(VK_SHIFT));
    BMultiZone::OnKeyDown(key, repeat, flags);
    // The cursor address goes with the row, so that the dump and status bar follow the keys.
    const int64_t at = GetCurrentAddress();
    if (at != -1 && at != cursorAddress) {
        SetCursorAddress(at);
        Invalidate();   // the cursor marks were drawn for the old address
    }
    if (page_->selection.state == BlockSelection::kMarking) {
        SelectionChanged(true);
        Invalidate();
    }
}

void FileDizaPane::OnKeyUp(UINT key, UINT repeat, UINT flags) {
    if (key == VK_SHIFT && page_->selection.state == BlockSelection::kMarking)
        page_->selection.Finish();
    BMultiZone::OnKeyUp(key, repeat, flags);
}

BOOL FileDizaPane::OnMouseWheel(UINT flags, short delta, POINT screenPoint) {
    UpdateSelection((flags & MK_SHIFT) != 0);
    const BOOL result = BMultiZone::OnMouseWheel(flags, delta, screenPoint);
    if (page_->selection.state == BlockSelection::kMarking) {
        SelectionChanged(true);
        Invalidate();
    }
    return result;
}

void FileDizaPane::OnLButtonDown(UINT flags, POINT point) {
    pressPoint = point;
    BMultiZone::OnLButtonDown(flags, point);
}

void FileDizaPane::OnLButtonUp(UINT flags, POINT point) {
    BMultiZone::OnLButtonUp(flags, point);
    EndPress();
}

void FileDizaPane::CancelDrag() {
    BMultiZone::CancelDrag();
    EndPress();
}

void FileDizaPane::EndPress() {
    dragClip.Release();
    if (page_->selection.state != BlockSelection::kNone)
        page_->selection.Finish();
}

void FileDizaPane::OnZoneDown(BZone* zone, int row, int x) {
    if (row < 0 || !IsLine(page_->Row(row)))
        return;
    if (CWnd* parent = CWnd::FromHandle(GetParent())) {
        RECT area = parent->GetClientRect();
        parent->ClientToScreen(&area);
        dragClip.Confine(area);
    }
    page_->currentRow = row;
    pressRow = page_->Row(row);
    SelectionChanged(false);
    if (zone)
        zone->OnClick(this, row, x);
    if (CWnd* parent = CWnd::FromHandle(GetParent()))
        parent->Invalidate();
    Invalidate();
}

void FileDizaPane::OnZoneDrag(BZone*, int row, int, UINT) {
    if (row < 0 || !IsLine(page_->Row(row)))
        return;
    page_->currentRow = row;
    POINT p = CursorScreenPos();
    ScreenToClient(&p);
    if (HasCapture() && std::abs(p.y - pressPoint.y) > 3) {
        // A block begun by a drag holds the pressed row, wherever the pointer left it.
        BlockSelection& s = page_->selection;
        const DizaLinePos current = CurrentPosition();
        if (s.state == BlockSelection::kNone && pressRow.address != -1 &&
            (pressRow.address != current.address || pressRow.line != current.line))
            s.Begin(pressRow);
        SelectionChanged(true);
    }
    Invalidate();
}

void FileDizaPane::OnZoneUp(BZone*, int, int) {}

void FileDizaPane::OnZoneDblClick(BZone* zone, int row, int x) {
    if (!zone || row < 0)
        return;
    if (zone->id == kZoneBookmark || zone->id == kZoneRefers || zone->id == kZoneCollapse) {
        zone->OnDblClick(this, row, x);
        return;
    }
    auto* chars = dynamic_cast<BZoneChar*>(zone);
    if (!chars)
        return;
    StringW word;
    {
        SectionLock lock(GetDrawLock());
        word = chars->WordAt(this, row, x);
    }
    ClickableText(word, KeyDown(VK_CONTROL), KeyDown(VK_SHIFT));
}

void FileDizaPane::ClickableText(const StringW& word, bool ctrl, bool shift) {
    if (word.empty() || !document)
        return;
    if (ctrl) {
        ClipboardPutText(word.c_str(), true);
        return;
    }
    if (shift) {
        document->finds.parameters.text = word;
        document->finds.parameters.flags &= ~kFindModeMask;
        if (CWnd* file = dynamic_cast<CWnd*>(document->Host()))
            file->SendMessage(WM_COMMAND, kCmdFind, 0);
        return;
    }
    bool hex = true;
    for (wchar_t c : word)
        if (!std::iswxdigit(c) && c != L'`')
            hex = false;
    int64_t address = -1;
    if (hex) {
        if (!ParseNumber(word.c_str(), address, 16))
            address = -1;
    } else {
        address = document->stores.names.AddressOf(word.c_str());
    }
    if (address != -1)
        document->navigator.ResolveAddress(address);
}

int64_t FileDizaPane::AddressAtColumn(BZone* zone, int row, int x) {
    if (!document || row < 0)
        return -1;
    SectionLock lock(GetDrawLock());
    std::unique_ptr<BDizaLine> model(static_cast<BDizaLine*>(GetItem(row)));
    if (!model)
        return -1;
    BDizaBodyLine* body = model->Body();
    if (!body)
        return model->address;
    body->BuildText();
    const RECT r = GetRowRect(row);
    return body->Address(zone, x, (r.top + r.bottom) / 2);
}

// --- The view's seam.

void FileDizaPane::RewalkTop() {
    page_->RewalkTop();
    Repaint();
}

void FileDizaPane::Repaint() {
    if (!m_hWnd)
        return;
    if (document && page_->valid)
        page_->Refill(RowCount());
    Invalidate();
    UpdateWindow();
}

int FileDizaPane::RowCount() {
    int rows = vScroller.page;
    const bool barShown = vScroller.m_hWnd && (vScroller.GetStyle() & WS_VISIBLE);
    if ((!barShown || rows == 0) && commentPane && commentPane->m_hWnd)
        rows = commentPane->VBar().page;
    return rows;
}

bool FileDizaPane::PageShows(const DizaLinePos& position) {
    if (document && page_->valid)
        page_->Refill(RowCount());
    const uint32_t kind = diza::KindOf(position.line);
    const bool subLine = kind == 1 || kind == 2 || kind == 15;
    return (subLine ? page_->LineOfItem(position) : page_->LineOfAddress(position.address)) >= 0;
}

void FileDizaPane::SetTop(const DizaLinePos& position) { page_->SetTop(position); }

void FileDizaPane::SetCurrentLine(const DizaLinePos& position) {
    const int row = page_->LineOfItem(position);
    if (row < 0 || row == page_->currentRow)
        return;
    page_->currentRow = row;
    Invalidate();
}

void FileDizaPane::SetMarkedAddress(int64_t address) { SetCursorAddress(address); }

bool FileDizaPane::RunArrayDialog(int elementSize, int64_t length, ArrayChoice& choice) {
    DMakerArray dialog(this, elementSize, length);
    if (dialog.DoModal() != IDOK)
        return false;
    choice.itemsPerLine = dialog.perLine;
    choice.decimal = DMakerArray::Decimal();
    choice.isSigned = DMakerArray::Signed();
    choice.closed = DMakerArray::Collapsed();
    return true;
}

int FileDizaPane::ColumnAt(const void* zone, int x, int) {
    auto* chars = dynamic_cast<BZoneChar*>(static_cast<BZone*>(const_cast<void*>(zone)));
    if (!chars || !m_hWnd)
        return -1;
    CClientDC dc(m_hWnd);
    std::vector<int> offsets;
    chars->GetCharOffsets(dc, offsets);
    const int column = chars->ColumnAt(offsets, x);
    return column < 0 || column >= chars->GetText().Length() ? -1 : column;
}

int FileDizaPane::ColumnsWidth(HDC dc, const void* zone, const wchar_t* text, int columns) {
    auto* chars = dynamic_cast<BZoneChar*>(static_cast<BZone*>(const_cast<void*>(zone)));
    if (!chars || columns <= 0)
        return 0;
    CDC wrap(dc);
    std::vector<int> offsets;
    chars->GetCharOffsets(wrap, offsets);
    (void)text;
    int width = 0;
    for (int i = 0; i < columns && i < static_cast<int>(offsets.size()); ++i)
        width += offsets[static_cast<size_t>(i)];
    return width;
}

bool FileDizaPane::RedrawIfShown(int64_t address) {
    if (!page_->Contains(address))
        return false;
    if (m_hWnd)
        Invalidate();
    return true;
}

bool FileDizaPane::CommentPaneVisible() const {
    return commentPane && commentPane->m_hWnd && (commentPane->GetStyle() & WS_VISIBLE);
}

// --- Messages.

LRESULT FileDizaPane::OnAttach(WPARAM attached, LPARAM doc) {
    if (attached) {
        document = reinterpret_cast<FileParseThread*>(doc);
        return 0;
    }
    document = nullptr;
    cursorAddress = -1;
    page_->Detach();
    selection.selectedText.clear();
    Invalidate();
    return 0;
}

LRESULT FileDizaPane::OnSegmentsChanged(WPARAM flags, LPARAM) {
    if ((flags & 0xFF) != 1 || !document)
        return 0;
    {
        SectionLock lock(document->FileLock());
        const SegmentMap& s = document->Segments();
        vScroller.rangeStart = s.lowestAddress;
        vScroller.rangeEnd = s.lowestAddress + s.Distance(s.lowestAddress, s.highestEnd);
    }
    if (flags & kSegmentsFirst) {
        page_->Start(static_cast<int32_t>(flags));
        vScroller.top = vScroller.rangeStart;
    }
    if (flags & kSegmentsWiderAddress) {
        addressDigits = std::max(document->addressWidth, 1);
        bodyLine->address->digitCount = addressDigits;
        bodyLine->address->charCount = addressDigits;
        bodyLine->SetFont(&font);
        LayoutLines();
    }
    if (vScroller.m_hWnd)
        vScroller.UpdateThumb();
    Invalidate();
    return 0;
}

LRESULT FileDizaPane::OnGoto(WPARAM high, LPARAM low) {
    if (!document)
        return 0;
    const int64_t address = static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | static_cast<uint32_t>(low));
    SectionLock lock(document->FileLock());
    document->history.Push(CurrentPosition());
    document->navigator.GotoAddress(address);
    return 0;
}

LRESULT FileDizaPane::OnShowasItem(WPARAM, LPARAM record) {
    if (!document || !record)
        return 0;
    const auto* item = reinterpret_cast<const DizaLinePos*>(record);
    {
        SectionLock lock(document->FileLock());
        DizaMap& map = document->Map();
        if (map.IsItemStart(item->address)) {
            map.Put(Diza{ item->address, item->line });
            // A comment or name line at the top keeps its word: only the item's own line carries the kind.
            if (page_->top.address == item->address && diza::IsItemLine(page_->top.line))
                page_->top.line = item->line;
        }
    }
    Invalidate();
    return 0;
}

void FileDizaPane::ApplyOptions(const Options& options) {
    const OptionsCodeColors& c = options.codeColors;
    const PFont& f = options.fonts.codeFont;
    SetFont(f.face.c_str(), f.size, f.bold ? FW_BOLD : FW_NORMAL, f.italic);
    SetNormalColor(c.codeBk.value);
    SetTextColor(c.codeTxt.value);
    SetHighlightColor(c.markerMk.value);
    SetMatchColor(c.foundBk.value);
    currentFocusColor = c.codeInfocus.value;
    currentColor = c.codeOutfocus.value;
    selectedColor = c.selectLinesBk.value;
    dumpCells = options.file.dumpBytesPerLine.value;
    bodyLine->dump->charCount = dumpCells;
    bodyLine->ApplyOptions(options);
    commentLine->text->SetTextColor(c.commentTxt.value);
    commentLine->text->flags |= BZone::kOwnTextColor;
    const PFont& cf = options.fonts.commentFont;
    CreateFontPoints(commentFont, cf.face.c_str(), cf.size, cf.italic, cf.bold ? FW_BOLD : FW_NORMAL);
    commentLine->text->SetFont(&commentFont);
    commentLine->text->flags |= BZone::kOwnFont;
    nameLine->text->SetTextColor(c.nameTxt.value);
    nameLine->text->flags |= BZone::kOwnTextColor;
    bodyLine->SetFont(&font);
    LayoutLines();
    Invalidate();
}

LRESULT FileDizaPane::OnOptions(WPARAM what, LPARAM set) {
    auto* options = reinterpret_cast<Options*>(set);
    if (!options)
        return 0;
    if (what == 1) {
        ApplyOptions(*options);
        const bool dumpShown = options->file.showDumpBytes.value;
        bodyLine->SetZoneHidden(kZoneDizaDump, !dumpShown);
        LayoutLines();
    } else if (what == 2) {
        options->file.showDumpBytes.value = !bodyLine->dump->hidden;
    }
    return 0;
}

// --- Commands.

bool FileDizaPane::OnCmdMsg(UINT id, UINT code) {
    if (code == 0 && ((id >= kCmdGoto && id <= kCmdCommentOnline) || (id >= kCmdShowDumpBytes && id <= kCmdCollapse))) {
        switch (id) {
        case kCmdGoto: case kCmdGoBack: case kCmdBookmarkPrev: case kCmdToggleBookmark: case kCmdBookmarkNext:
        case kCmdFindPrev: case kCmdFindNext: case kCmdFind: case kCmdRefer: case kCmdName: case kCmdCode:
        case kCmdForcedCode: case kCmdByte: case kCmdWord: case kCmdDword: case kCmdQword: case kCmdDump:
        case kCmdByteline: case kCmdAsciiz: case kCmdUnicode: case kCmdCommentLine: case kCmdCommentOnline:
        case kCmdShowDumpBytes: case kCmdShowComments: case kCmdCollapse:
            RunCommand(id);
            return true;
        default: break;
        }
    }
    return BMultiZone::OnCmdMsg(id, code);
}

bool FileDizaPane::GuardPasses(UINT id) {
    if (id == kCmdCollapse)
        return cornerButtons.IsButtonEnabled(kCmdCollapse) || CollapseEnabled();
    const bool guarded = (id >= kCmdName && id <= kCmdUnicode) || id == kCmdCommentLine || id == kCmdCommentOnline;
    if (!guarded)
        return true;
    const UINT asked = id == kCmdForcedCode ? static_cast<UINT>(kCmdCode) : id;
    return IsCommandEnabled(asked);
}

void FileDizaPane::MarkModified() {
    if (document)
        document->modified = true;
}

void FileDizaPane::RunCommand(UINT id) {
    if (!GuardPasses(id))
        return;
    switch (id) {
    case kCmdShowDumpBytes:
        bodyLine->SetZoneHidden(kZoneDizaDump, !bodyLine->dump->hidden);
        LayoutLines();
        Invalidate();
        return;
    case kCmdShowComments:
        if (commentPane)
            commentPane->ShowPane(!CommentPaneVisible());
        return;
    default: break;
    }
    if (!document)
        return;
    switch (id) {
    case kCmdGoto: {
        DGoto dialog(this, document);
        if (dialog.DoModal() == IDOK)
            document->PostGotoAddress(dialog.address);
        break;
    }
    case kCmdGoBack: {
        const DizaLinePos back = document->history.Next();
        if (back.address != -1)
            document->navigator.GotoLinePosition(back);
        break;
    }
    case kCmdBookmarkPrev: OnBookmarkStep(false); break;
    case kCmdBookmarkNext: OnBookmarkStep(true); break;
    case kCmdToggleBookmark: OnToggleBookmark(); break;
    case kCmdFindPrev: OnFindStep(false); break;
    case kCmdFindNext: OnFindStep(true); break;
    case kCmdFind:
        if (auto* host = dynamic_cast<BFindHost*>(document->Host()))
            if (document->finds.Start(host))
                MarkModified();
        break;
    case kCmdRefer: OnRefer(); break;
    case kCmdName: OnName(); break;
    case kCmdForcedCode: OnForcedCode(); break;
    case kCmdDump: OnDumpCommand(); break;
    case kCmdByteline: OnByteline(); break;
    case kCmdCode: case kCmdByte: case kCmdWord: case kCmdDword: case kCmdQword: case kCmdAsciiz: case kCmdUnicode:
        ApplyMaker(id);
        break;
    case kCmdCommentLine: OnComment(false); break;
    case kCmdCommentOnline: OnComment(true); break;
    case kCmdCollapse: OnCollapse(); break;
    default: break;
    }
}

void FileDizaPane::ApplyMaker(UINT id) {
    std::unique_ptr<BMaker> maker;
    switch (id) {
    case kCmdCode: maker.reset(new MakerCode(document)); break;
    case kCmdByte: maker.reset(new MakerByte(document)); break;
    case kCmdWord: maker.reset(new MakerWord(document)); break;
    case kCmdDword: maker.reset(new MakerDword(document)); break;
    case kCmdQword: maker.reset(new MakerQword(document)); break;
    case kCmdDump: maker.reset(new MakerDump(document)); break;
    case kCmdAsciiz: maker.reset(new MakerAsciiz(document)); break;
    case kCmdUnicode: maker.reset(new MakerUnicode(document)); break;
    default: return;
    }
    maker->MakeAtCursor(this);
    maker.reset();
    if (id != kCmdAsciiz && id != kCmdUnicode)
        MarkModified();
    Invalidate();
}

void FileDizaPane::OnBookmarkStep(bool next) {
    const DizaLinePos current = CurrentPosition();
    if (current.address == -1)
        return;
    const int64_t target = next ? document->stores.bookmarks.Next(current.address)
                                : document->stores.bookmarks.Prev(current.address);
    if (target == -1)
        return;
    document->PostGotoAddress(target);
    if (FileSideTab* side = SideTabOf(document))
        side->bookmarks.GotoBookmark(target);
    if (BDocumentHost* host = document->Host())
        host->RepaintBookmarks();
}

void FileDizaPane::OnToggleBookmark() {
    const int64_t at = GetCurrentAddress();
    if (at == -1)
        return;
    BookmarkStore& marks = document->stores.bookmarks;
    BOOKMARK_DATA existing{};
    const bool added = !marks.Get(at, &existing);
    if (added)
        marks.AddKind(at, L"", 0);
    else
        marks.Remove(at);
    if (FileSideTab* side = SideTabOf(document); side && added)
        side->bookmarks.GotoBookmark(at);
    if (BDocumentHost* host = document->Host())
        host->RepaintBookmarks();
    MarkModified();
    Invalidate();
}

void FileDizaPane::OnFindStep(bool next) {
    FindContext& finds = document->finds;
    if (finds.activePane == 0)
        return;
    FindResult* result = finds.GetResult(finds.activePane);
    const int64_t at = GetCurrentAddress();
    if (!result || at == -1)
        return;
    const DizaLinePos hit = next ? result->Next(at) : result->Prev(at);
    if (hit.address == -1)
        return;
    if (hit.line >= diza::kFirstMade)
        document->navigator.GotoLinePosition(hit);
    else
        document->PostGotoAddress(hit.address);
    if (FileSideTab* side = SideTabOf(document))
        side->FindPaneAt(finds.activePane == kFind1Pane ? 0 : 1)->SelectAddress(hit.address);
}

void FileDizaPane::OnName() {
    const DizaLinePos current = CurrentPosition();
    if (current.address == -1)
        return;
    const int index = current.line >> 28 == 2 ? static_cast<int>(current.line & 0xFF) : 0;
    NameEditor editor(this, &document->stores.names);
    if (!document->stores.names.EditDialog(&editor, document, current.address, index))
        return;
    {
        SectionLock lock(document->FileLock());
        if (BDocumentHost* host = document->Host())
            host->RepaintSideTabs();
    }
    if (CWnd* file = dynamic_cast<CWnd*>(document->Host()))
        file->Invalidate();
    MarkModified();
    Invalidate();
}

void FileDizaPane::OnForcedCode() {
    const DizaLinePos current = CurrentPosition();
    if (cursorAddress == -1 || current.address == -1 || current.line >> 28 != diza::kCode)
        return;
    if (cursorAddress < current.address || cursorAddress >= current.address + page_->LineQuery(page_->currentRow))
        return;
    {
        SectionLock lock(document->FileLock());
        if (cursorAddress != current.address)
            document->Map().AddForcedCodeStart(cursorAddress);
        else if (current.line & diza::kForcedStart)
            document->Map().RemoveKey(current.address);
        else
            return;
    }
    SelectionChanged(false);
    document->navigator.GotoAddress(cursorAddress);
    MarkModified();
}

void FileDizaPane::OnDumpCommand() {
    const DizaLinePos current = CurrentPosition();
    if (page_->selection.state == BlockSelection::kNone && cursorAddress != -1 && cursorAddress == current.address &&
        IsDumpItem(current.line)) {
        SectionLock lock(document->FileLock());
        document->Map().UpdateByteline(current.address);
    } else {
        ApplyMaker(kCmdDump);
        return;
    }
    MarkModified();
    Invalidate();
}

void FileDizaPane::OnByteline() {
    BlockSelection& s = page_->selection;
    int64_t lower = -1, lineEnd = -1, length = 0;
    {
        SectionLock lock(document->FileLock());
        lower = s.Start(document);
        length = s.Length(document);
        if (lower == -1 || length <= 0)
            return;
        lineEnd = document->Map().ByteLineEnd(lower + length);
    }
    if (lineEnd == -1)
        return;
    // The maker takes the span in bytes and cuts it into whole lines of the block's length.
    const int64_t span = std::clamp<int64_t>(lineEnd - lower, 0, BMaker::kNoSize - 1);
    MakerByteline maker(document, static_cast<uint32_t>(length));
    if (maker.Make(lower, static_cast<uint32_t>(span))) {
        maker.RefreshPane(this);
        MarkModified();
    }
}

void FileDizaPane::OnComment(bool online) {
    const DizaLinePos current = CurrentPosition();
    if (current.address == -1)
        return;
    CommentEditor editor(this);
    BComment& store = online ? static_cast<BComment&>(document->stores.onlineComments)
                             : static_cast<BComment&>(document->stores.lineComments);
    if (!store.EditDialog(&editor, document, current.address))
        return;
    if (!online && current.address == page_->top.address)
        page_->RewalkTop();
    MarkModified();
    Invalidate();
}

void FileDizaPane::OnRefer() {
    const DizaLinePos current = CurrentPosition();
    const int64_t at = diza::IsItemLine(current.line) ? current.address : -1;
    const int32_t length = at != -1 ? page_->LineQuery(page_->currentRow) : 0;
    int found = 0;
    {
        SectionLock lock(document->FileLock());
        found = document->stores.refers.FillResults(at, length);
    }
    if (at != -1) {
        const StringW text = document->AddressText(at);
        document->Log().Print(L"Target refer address %s", text.c_str());
        SetHighlight(text);
        if (FileSideTab* side = SideTabOf(document); side && found > 0)
            side->SelectTab(kIdRefersTab);
    }
    if (BDocumentHost* host = document->Host()) {
        host->RepaintRefers();
        host->RepaintSideTabs();
    }
}

bool FileDizaPane::CollapseEnabled() {
    if (!document || !page_->valid)
        return false;
    const DizaLinePos current = CurrentPosition();
    if (current.address == -1)
        return false;
    SectionLock lock(document->FileLock());
    const Collapse& ranges = document->stores.collapses;
    BlockSelection& s = page_->selection;
    if (s.state != BlockSelection::kNone) {
        const int64_t lower = s.Start(document);
        int64_t higher = s.Higher().address;
        if (lower >= higher || ranges.FindEnd(lower) != -1)
            return false;
        // Past a range that starts at the last line's address, then its last byte.
        const int64_t end = ranges.FindEnd(higher);
        if (end != -1)
            higher = end;
        else
            higher += std::max<int64_t>(CollapseLineSize(document, higher), 1);
        return ranges.FindContainingStart(lower) == ranges.FindContainingStart(higher - 1);
    }
    return cursorAddress != -1 && ranges.FindEnd(cursorAddress) != -1;
}

void FileDizaPane::OnCollapse() {
    {
        SectionLock lock(document->FileLock());
        Collapse& ranges = document->stores.collapses;
        BlockSelection& s = page_->selection;
        const bool ctrl = KeyDown(VK_CONTROL);
        if (s.state != BlockSelection::kNone) {
            const int64_t lower = s.Start(document);
            const int64_t length = s.Length(document);
            if (lower != -1 && length > 0) {
                ranges.RemoveCrossing(lower, lower + length);
                if (ranges.Add(lower, lower + length) && ctrl) {
                    ranges.SetCollapsed(lower);
                    document->navigator.GotoAddress(lower);
                }
            }
        } else {
            const int64_t at = CurrentPosition().address;
            if (at != -1 && ranges.FindEnd(at) == -1) {
                const int64_t itemEnd = at + document->QueryItemLength(at);
                const int64_t runEnd = document->Map().RunEnd(at);
                if (runEnd > itemEnd) {
                    ranges.RemoveCrossing(at, runEnd);
                    if (ranges.Add(at, runEnd) && ctrl)
                        ranges.SetCollapsed(at);
                }
            } else if (at != -1) {
                ranges.RemoveAt(at);
            }
        }
    }
    Invalidate();
}

bool FileDizaPane::IsCommandChecked(UINT id) {
    if (id == kCmdShowDumpBytes)
        return bodyLine && !bodyLine->dump->hidden;
    if (id == kCmdShowComments)
        return CommentPaneVisible();
    return false;
}

bool FileDizaPane::IsCommandEnabled(UINT id) {
    if (!document)
        return false;
    SectionLock lock(document->FileLock());
    const DizaLinePos row = CurrentPosition();
    const int64_t current = GetCurrentAddress();
    BlockSelection& s = page_->selection;
    const bool sel = s.state != BlockSelection::kNone;
    const bool one = sel && s.InOneSegment(document);
    const bool itemRow = diza::IsItemLine(row.line);
    switch (id) {
    case kCmdBookmarkPrev: return current != -1 && document->stores.bookmarks.Prev(current) != -1;
    case kCmdBookmarkNext: return current != -1 && document->stores.bookmarks.Next(current) != -1;
    case kCmdFindPrev:
    case kCmdFindNext: {
        FindResult* result = document->finds.activePane ? document->finds.GetResult(document->finds.activePane) : nullptr;
        if (!result || current == -1)
            return false;
        return (id == kCmdFindNext ? result->Next(current) : result->Prev(current)).address != -1;
    }
    case kCmdCode: return (sel ? one : itemRow) && document->Engine() != nullptr;
    case kCmdByte: case kCmdWord: case kCmdDword: case kCmdQword: case kCmdDump: case kCmdAsciiz: case kCmdUnicode:
        return sel ? one : itemRow;
    case kCmdByteline: {
        if (!sel || !one)
            return false;
        const int64_t length = s.Length(document);
        return length >= 3 && length <= 0xFFFF;
    }
    case kCmdName: case kCmdCommentLine: case kCmdCommentOnline: return row.address != -1;
    case kCmdCollapse: return CollapseEnabled();
    default: return true;
    }
}

void FileDizaPane::OnIdleUpdateCmdUI() {
    ApplyButtonStates();
    BMultiZone::OnIdleUpdateCmdUI();
}

void FileDizaPane::ApplyButtonStates() {
    if (!m_hWnd)
        return;
    cornerButtons.Check(kCmdShowDumpBytes, IsCommandChecked(kCmdShowDumpBytes));
    cornerButtons.Check(kCmdShowComments, IsCommandChecked(kCmdShowComments));
    cornerButtons.Enable(kCmdCollapse, CollapseEnabled());
#ifdef TRELVO_HAS_MAKER_ROW
    if (!document)
        return;
    if (FilePane* file = dynamic_cast<FilePane*>(dynamic_cast<CWnd*>(document->Host())))
        if (FileButtonBar* bar = file->ButtonBar())
            for (UINT id : { kCmdBookmarkPrev, kCmdBookmarkNext, kCmdFindPrev, kCmdFindNext, kCmdCode, kCmdByte,
                             kCmdWord, kCmdDword, kCmdQword, kCmdDump, kCmdByteline, kCmdAsciiz, kCmdUnicode })
                bar->SetEnabled(id, IsCommandEnabled(id));
#endif
}
