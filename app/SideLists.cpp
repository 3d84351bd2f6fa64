#include "app/SideLists.h"

#include "app/AppMessages.h"
#include "app/DBookmark.h"
#include "app/FilePane.h"
#include "app/FileSideTab.h"
#include "app/resources/resource.h"
#include "core/NumberText.h"
#include "core/SectionLock.h"
#include "core/SystemServices.h"
#include "core/TimingTrace.h"
#include "document/BName.h"
#include "document/CodePageChars.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "document/ScanStringz.h"
#include "options/Options.h"
#include "toolkit/GuiMetrics.h"
#include "toolkit/ScrollPager.h"

#include <algorithm>
#include <cwchar>
#include <new>

namespace {

constexpr int kHexChars = 17;
constexpr uint32_t kFirstItemLine = 0x10000000;

ZoneNumberHexAdapt* NewHexZone(int id, uint32_t flags = 0) {
    return new ZoneNumberHexAdapt(id, BZone::kAlignRight | BZone::kHexCell | flags, kHexChars, kHexChars);
}

// A hex column shows `digits` digits: its text and its width follow.
void SetDigits(ZoneNumberHexAdapt* zone, int digits) {
    if (!zone || digits <= 0)
        return;
    zone->digitCount = digits;
    zone->charCount = digits;
    const int w = zone->TextWidth(digits);
    zone->SetMaxWidth(w);
    zone->width = w;
}

// A list's one line, in the list font until the options come.
template <class Line>
Line* AddListLine(BMultiList& list) {
    auto* line = new Line;
    list.AddLine(line);
    list.SetFont(L"Verdana", 8);
    return line;
}

// 0x5E20: with wparam 1 the option set's list fonts and colours; whether they were applied.
bool TakeListOptions(BMultiList& list, WPARAM what, LPARAM options) {
    if (what != 1 || !options)
        return false;
    ApplySideListOptions(list, *reinterpret_cast<const Options*>(options));
    return true;
}

void RelayoutList(BMultiZone& pane) {
    if (!pane.m_hWnd)
        return;
    BPane::Relayout(pane.m_hWnd);
    pane.LayoutLines();
    pane.Invalidate();
}

FilePane* FilePaneOf(const CWnd& w) {
    for (HWND h = w.m_hWnd ? ::GetParent(w.m_hWnd) : nullptr; h; h = ::GetParent(h))
        if (auto* pane = dynamic_cast<FilePane*>(CWnd::FromHandle(h)))
            return pane;
    return nullptr;
}

void FocusDizaPane(const CWnd& from) {
    if (FilePane* file = FilePaneOf(from))
        if (CWnd* diza = file->DizaWindow(); diza && diza->m_hWnd)
            diza->SetFocus();
}

void RepaintParent(const CWnd& w) {
    if (w.m_hWnd)
        if (HWND parent = ::GetParent(w.m_hWnd))
            ::InvalidateRect(parent, nullptr, TRUE);
}

bool ShiftHeld() { return ::GetKeyState(VK_SHIFT) < 0; }

bool RunBookmarkDialog(CWnd* parent, StringW& note, COLORREF& colour) {
    DBookmark dialog(parent, note, DBookmark::IndexOf(colour));
    if (dialog.DoModal() != IDOK)
        return false;
    note = dialog.note;
    colour = DBookmark::ColourOf(dialog.colourIndex);
    return true;
}

bool PutClipboard(const wchar_t* text) { return ClipboardPutText(text, true); }

bool ReserveBuffer(StringW& text, size_t bytes) {
    try {
        text.reserve(bytes / sizeof(wchar_t));
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

}  // namespace

StringW ListAddressText(int64_t address, int digits) {
    if (address == -1)
        return StringW();
    ZoneNumberHexAdapt zone(0, 0, kHexChars, digits);
    zone.SetValue(static_cast<uint64_t>(address));
    return zone.text;
}

bool GotoAndFocus(CWnd& from, FileParseThread* document, int64_t address) {
    if (!document || !document->PostGotoAddress(address))
        return false;
    FocusDizaPane(from);
    return true;
}

void ApplySideListOptions(BMultiList& list, const Options& options) {
    const PFont& rows = options.fonts.listFont;
    list.SetFont(rows.face.c_str(), rows.size, rows.italic ? 1 : 0);
    const PFont& header = options.fonts.listHeaderFont;
    CreateFontPoints(list.listFont, header.face.c_str(), header.size, header.italic, FW_NORMAL);
    list.headerHeight = CharCellFromMetrics(list.listFont).cy + 5;
    list.SetNormalColor(options.uiColors.listBk.value);
    list.SetTextColor(options.uiColors.listTxt.value);
    list.currentFocusColor = options.uiColors.listInfocus.value;
    list.currentColor = options.uiColors.listOutfocus.value;
}

// --- Lines

void SegmentListLine::CreateZones(BMultiZone* pane) {
    address = NewHexZone(1);
    offset = NewHexZone(2);
    fileSize = NewHexZone(3);
    memorySize = NewHexZone(4);
    name = new BZoneString(5, BZone::kAlignLeft, 16);
    AddColumn(L"address", address);
    AddColumn(L"offset", offset);
    AddColumn(L"fsize", fileSize);
    AddColumn(L"vsize", memorySize);
    AddColumn(L"name", name);
    Attach(static_cast<BMultiList*>(pane));
}

void SegmentListLine::SetData(const void* item) {
    const auto* s = static_cast<const KSegment*>(item);
    address->SetValue(static_cast<uint64_t>(s->address));
    if (s->sizeInFile == 0)
        offset->SetText(L"-");
    else
        offset->SetValue(static_cast<uint64_t>(s->fileOffset));
    fileSize->SetValue(static_cast<uint64_t>(s->sizeInFile));
    memorySize->SetValue(static_cast<uint64_t>(s->sizeInMemory));
    name->SetText(s->name.c_str());
}

void GlobalNameLine::CreateZones(BMultiZone* pane) {
    address = NewHexZone(1, BZone::kHeaderClick);
    mark = new BZoneString(2, BZone::kAlignCenter | BZone::kHeaderClick, 1);
    name = new BZoneString(3, BZone::kAlignLeft | BZone::kHeaderClick | BZone::kStretch, 24);
    AddColumn(L"address", address);
    AddColumn(L"", mark);
    AddColumn(L"name", name);
    Attach(static_cast<BMultiList*>(pane));
}

void GlobalNameLine::SetData(const void* item) {
    const auto* n = static_cast<const NAME_DATA*>(item);
    address->SetValue(static_cast<uint64_t>(n->address));
    const wchar_t m[2] = { n->text ? BName::MarkOf(n->text) : L'\0', 0 };
    mark->SetText(m[0] ? m : L"");
    name->SetText(n->text ? n->text : L"");
}

void BookmarkLine::CreateZones(BMultiZone* pane) {
    flag = new ZoneBookmark;
    flag->id = 1;
    address = NewHexZone(2);
    note = new BZoneString(3, BZone::kAlignLeft | BZone::kStretch, 24);
    AddColumn(L"", flag);
    AddColumn(L"address", address);
    AddColumn(L"note", note);
    Attach(static_cast<BMultiList*>(pane));
}

void BookmarkLine::SetData(const void* item) {
    const auto* b = static_cast<const BOOKMARK_DATA*>(item);
    flag->SetColour(b->colour);
    address->SetValue(static_cast<uint64_t>(b->address));
    note->SetText(b->text ? b->text : L"");
}

void BResultLine::CreateZones(BMultiZone* pane) {
    address = NewHexZone(1);
    result = new BZoneString(2, BZone::kAlignLeft, 80);
    AddColumn(L"address", address);
    AddColumn(L"result", result);
    Attach(static_cast<BMultiList*>(pane));
}

void BResultLine::SetData(const void* item) {
    const auto* r = static_cast<const _RESULT_DIZA*>(item);
    address->SetValue(static_cast<uint64_t>(r->pos.address));
    result->SetText(r->text ? r->text : L"");
    result->highlightMap.Invalidate();
    if (markFound && r->text && r->value >= 0 && r->length > 0)
        result->HighlightRange(ZoneFoundMarks{ result->text.c_str(), r->value, r->length });
}

void StringzLine::CreateZones(BMultiZone* pane) {
    address = NewHexZone(1);
    refers = new BZoneString(2, BZone::kAlignRight, 5);
    text = new BZoneString(3, BZone::kAlignLeft, 80);
    AddColumn(L"address", address);
    AddColumn(L"nrefs", refers);
    AddColumn(L"", text);
    Attach(static_cast<BMultiList*>(pane));
}

void StringzLine::SetData(const void* item) {
    const auto* s = static_cast<const StringzRow*>(item);
    address->SetValue(static_cast<uint64_t>(s->record.address));
    refers->SetText(s->refers > 0 ? StringW(kFormat, L"%d", s->refers).c_str() : L"");
    text->SetText(s->text.c_str());
}

// --- Segments

const MessageEntry SegmentListPane::kEntries[] = {
    Cracked(WM_CREATE),
    Cracked(WM_SIZE),
    OnMessage(kMsgAttach, Route<&SegmentListPane::OnAttach>),
    OnMessage(kMsgOptions, Route<&SegmentListPane::OnOptions>),
    OnMessage(kMsgSegmentsChanged, Route<&SegmentListPane::OnSegments>),
};
const MessageMap SegmentListPane::kMessageMap{ &BMultiList::kMessageMap, kEntries };

SegmentListPane::SegmentListPane() = default;
SegmentListPane::~SegmentListPane() = default;

int SegmentListPane::OnCreate(CREATESTRUCTW* cs) {
    if (BMultiList::OnCreate(cs) == -1)
        return -1;
    line = AddListLine<SegmentListLine>(*this);
    return 0;
}

CRITICAL_SECTION* SegmentListPane::GetDrawLock() { return document ? document->FileLock() : nullptr; }

int32_t SegmentListPane::GetCount() {
    if (!document)
        return 0;
    SectionLock lock(document->FileLock());
    return document->Segments().Count();
}

void* SegmentListPane::GetItem(int row) {
    if (!document)
        return nullptr;
    const int64_t n = LineOfRow(row);
    SectionLock lock(document->FileLock());
    return n >= 0 && n < document->Segments().Count() ? document->Segments().Get(static_cast<int>(n)) : nullptr;
}

LRESULT SegmentListPane::OnAttach(WPARAM attached, LPARAM doc) {
    document = attached == 1 ? reinterpret_cast<FileParseThread*>(doc) : nullptr;
    ResetScroll();
    UpdateCount();
    if (m_hWnd)
        Invalidate();
    return 0;
}

LRESULT SegmentListPane::OnOptions(WPARAM what, LPARAM options) {
    if (!TakeListOptions(*this, what, options))
        return 0;
    if (document)
        FitColumns();
    RelayoutList(*this);
    return 0;
}

LRESULT SegmentListPane::OnSegments(WPARAM flags, LPARAM) {
    if (!(flags & 0xFF) || !document)
        return 0;
    UpdateCount();
    FitColumns();
    RelayoutList(*this);
    return 0;
}

void SegmentListPane::FitColumns() {
    if (!document || !line)
        return;
    SectionLock lock(document->FileLock());
    SegmentMap& map = document->Segments();
    const int count = map.Count();
    int64_t high[4] = {};
    for (int i = 0; i < count; ++i) {
        const KSegment* s = map.Get(i);
        high[0] = std::max(high[0], s->address);
        high[1] = std::max(high[1], s->fileOffset);
        high[2] = std::max(high[2], s->sizeInFile);
        high[3] = std::max(high[3], s->sizeInMemory);
    }
    ZoneNumberHexAdapt* zones[4] = { line->address, line->offset, line->fileSize, line->memorySize };
    for (int i = 0; i < 4; ++i)
        SetDigits(zones[i], HexAddressWidth(static_cast<uint64_t>(high[i])));
    if (!m_hWnd || count == 0)
        return;
    for (ZoneNumberHexAdapt* zone : zones) {
        const int widest = std::max(WidestOfAll(zone), TitleWidth(zone));
        zone->SetMaxWidth(std::max(widest, zone->maxWidth));
        zone->SetWidth(widest);
    }
    FitNameColumn();
}

void SegmentListPane::FitNameColumn() {
    if (!line || !m_hWnd)
        return;
    const int count = GetCount();
    const int widest = std::max(count > 0 ? WidestOfAll(line->name) : 0, TitleWidth(line->name));
    RECT area;
    GetTextArea(area);
    int others = 0;
    for (int id = 1; id <= 4; ++id)
        others += line->ColumnWidth(id);
    const int rest = static_cast<int>(area.right - area.left) - others;
    const int w = std::max(widest, rest);
    line->name->SetMaxWidth(w);
    line->name->SetWidth(w);
}

int SegmentListPane::TitleWidth(const BZone* zone) {
    // A column is never narrower than its header's title.
    const StringW* title = TitleOf(zone);
    if (!title || title->empty() || !m_hWnd || listFont.IsNull())
        return 0;
    return TextExtentInFont(CClientDC(m_hWnd), title->c_str(), listFont).cx + 12;
}

void SegmentListPane::OnSize(UINT type, int cx, int cy) {
    BMultiList::OnSize(type, cx, cy);
    if (!(GetStyle() & WS_VISIBLE))
        return;
    FitNameColumn();
    LayoutLines();
}

void SegmentListPane::OnZoneDblClick(BZone* zone, int row, int x) {
    BMultiList::OnZoneDblClick(zone, row, x);
    if (!zone || zone->id != 1 || row < 0 || !document)
        return;
    int64_t address = -1;
    {
        SectionLock lock(document->FileLock());
        if (const auto* s = static_cast<const KSegment*>(GetItem(row)))
            address = s->address;
    }
    if (address != -1)
        GotoAndFocus(*this, document, address);
}

// --- Filtered lists

const MessageEntry SideFilterList::kEntries[] = {
    OnMessage(kMsgAttach, Route<&SideFilterList::OnAttach>),
    OnMessage(kMsgOptions, Route<&SideFilterList::OnOptions>),
    OnMessage(kMsgParsing, Route<&SideFilterList::OnParsing>),
};
const MessageMap SideFilterList::kMessageMap{ &BMultiFilterList::kMessageMap, kEntries };

int32_t SideFilterList::GetCount() {
    if (!document)
        return 0;
    return filterText.empty() ? StoreCount() : filtered.count;
}

int SideFilterList::IndexOfPosition(int64_t n) {
    if (n < 0)
        return -1;
    if (filterText.empty())
        return n < StoreCount() ? static_cast<int>(n) : -1;
    if (n >= filtered.count)
        return -1;
    void** slot = filtered.Get(static_cast<int>(n));
    return slot ? static_cast<int>(reinterpret_cast<intptr_t>(*slot)) : -1;
}

void* SideFilterList::GetItem(int row) {
    if (!document)
        return nullptr;
    const int i = IndexOfPosition(LineOfRow(row));
    return i >= 0 ? StoreItem(i) : nullptr;
}

void SideFilterList::Refilter() {
    // Read before the walk: a change made meanwhile makes the rows stale again.
    const uint32_t changes = StoreChanges();
    narrowing_ = document && SameSource(changes) && !filteredText_.empty() &&
                 filterText.find(filteredText_) != StringW::npos && NarrowsFaster(filtered.count);
    if (narrowing_) {
        narrowed_.resize(static_cast<size_t>(filtered.count));
        int run = 0;
        for (int n = 0; n < filtered.count; n += run) {
            void* const* rows = filtered.Run(n, run);
            for (int k = 0; k < run; ++k)
                narrowed_[static_cast<size_t>(n + k)] = static_cast<int>(reinterpret_cast<intptr_t>(rows[k]));
        }
    }
    ClearFiltered();
    filteredValid_ = false;
    if (!document)
        return;
    if (!filterText.empty())
        FilterStore();
    narrowed_.clear();
    filteredValid_ = true;
    filteredChanges_ = changes;
    filteredText_ = filterText;
    filteredOrder_ = orderId;
}

void SideFilterList::FilterItems() {
    if (narrowing_)
        FilterRows(narrowed_);
    else
        FilterAll();
}

void SideFilterList::FilterRows(const std::vector<int>& rows) {
    for (int i : rows)
        if (ItemHolds(i))
            AddIndex(i);
}

void SideFilterList::FilterAll() {
    const int count = StoreCount();
    for (int i = 0; i < count; ++i)
        if (ItemHolds(i))
            AddIndex(i);
}

bool SideFilterList::SameSource(uint32_t changes) const {
    return filteredValid_ && filteredChanges_ == changes && filteredOrder_ == orderId;
}

bool SideFilterList::FilterStale() { return !SameSource(StoreChanges()) || filteredText_ != filterText; }

void SideFilterList::UpdateCount() {
    if (document) {
        SectionLock lock(GetDrawLock());
        // A rename keeps the count but not the matches: any change of the store filters again.
        if (!filterText.empty() && FilterStale())
            Refilter();
        BMultiFilterList::UpdateCount();
        KeepCurrent();
    } else {
        BMultiFilterList::UpdateCount();
    }
}

int32_t SideFilterList::RowCount() {
    SectionLock lock(GetDrawLock());
    if (document && !filterText.empty() && FilterStale())
        Refilter();
    return GetCount();
}

void SideFilterList::Remember(int64_t position, int64_t address) {
    rememberedIndex = position;
    rememberedAddress = address;
}

void SideFilterList::OnRowDraw(int row, void* item) {
    if (item && Pager() && Pager()->IsCurrentRow(vScroller, row))
        Remember(LineOfRow(row), AddressOfItem(item));
}

void SideFilterList::KeepCurrent() {
    if (rememberedIndex < 0 || !document || !Pager())
        return;
    const int64_t count = GetCount();
    auto holds = [&](int64_t n) {
        if (n < 0 || n >= count)
            return false;
        const int i = IndexOfPosition(n);
        const void* item = i >= 0 ? StoreItem(i) : nullptr;
        return item && AddressOfItem(item) == rememberedAddress;
    };
    if (holds(rememberedIndex))
        return;
    for (int64_t d = 1; d < 1024; ++d) {
        for (int64_t n : { rememberedIndex + d, rememberedIndex - d }) {
            if (holds(n)) {
                rememberedIndex = n;
                Pager()->SetCurrent(vScroller, n);
                return;
            }
        }
    }
}

void SideFilterList::OnFilterChanged() {
    BMultiFilterList::OnFilterChanged();
    rememberedIndex = -1;
    rememberedAddress = -1;
    ResetScroll();
    RepaintParent(*this);   // the tab's caption shows the count
}

void SideFilterList::OnPaint() {
    BMultiFilterList::OnPaint();
    TimingTrace::Event(L"list painted %d", GetDlgCtrlID());
}

void SideFilterList::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    TimingTrace::Event(L"list key %d %u", GetDlgCtrlID(), key);
    BMultiFilterList::OnKeyDown(key, repeat, flags);
}

void SideFilterList::SetOrder(int id) {
    orderId = id;
    ResetScroll();
    rememberedIndex = -1;
    if (document && !filterText.empty()) {
        SectionLock lock(GetDrawLock());
        Refilter();
    }
    if (m_hWnd)
        Invalidate();
}

LRESULT SideFilterList::OnAttach(WPARAM attached, LPARAM doc) {
    document = attached == 1 ? reinterpret_cast<FileParseThread*>(doc) : nullptr;
    rememberedIndex = -1;
    rememberedAddress = -1;
    ClearFiltered();
    filteredValid_ = false;
    ResetScroll();
    if (m_hWnd)
        Invalidate();
    return 0;
}

LRESULT SideFilterList::OnOptions(WPARAM what, LPARAM options) {
    filteredValid_ = false;   // a code page of the options changes the strings' texts
    if (TakeListOptions(*this, what, options))
        RelayoutList(*this);
    return 0;
}

LRESULT SideFilterList::OnParsing(WPARAM started, LPARAM) {
    if (started != 0 || !document)
        return 0;
    filteredValid_ = false;
    SetDigits(AddressZone(), document->addressWidth);
    RelayoutList(*this);
    return 0;
}

void SideFilterList::OnZoneDblClick(BZone* zone, int row, int x) {
    BMultiFilterList::OnZoneDblClick(zone, row, x);
    if (!zone || zone->id != 1 || row < 0 || !document)
        return;
    int64_t address = -1;
    {
        SectionLock lock(GetDrawLock());
        if (const void* item = GetItem(row)) {
            address = AddressOfItem(item);
            Remember(LineOfRow(row), address);
        }
    }
    if (address != -1)
        GotoAndFocus(*this, document, address);
}

// --- Names

GlobalNamePane::GlobalNamePane() = default;
GlobalNamePane::~GlobalNamePane() = default;

int GlobalNamePane::OnCreate(CREATESTRUCTW* cs) {
    if (BMultiFilterList::OnCreate(cs) == -1)
        return -1;
    line = AddListLine<GlobalNameLine>(*this);
    sortColumn = 1;
    return 0;
}

CRITICAL_SECTION* GlobalNamePane::GetDrawLock() { return document ? document->stores.names.Lock() : nullptr; }

int32_t GlobalNamePane::StoreCount() { return document ? document->stores.names.Count() : 0; }

void* GlobalNamePane::StoreItem(int i) {
    if (!document || i < 0 || i >= document->stores.names.Count())
        return nullptr;
    GlobalName& names = document->stores.names;
    slot = orderId == kOrderByAddress ? names.ByAddressAt(i) : names.ByTextAt(i);
    return &slot;
}

uint32_t GlobalNamePane::StoreChanges() { return document ? document->stores.names.Changes() : 0; }

void GlobalNamePane::FilterStore() {
    SectionLock lock(GetDrawLock());
    FilterItems();
}

bool GlobalNamePane::ItemHolds(int i) {
    const auto* n = static_cast<const NAME_DATA*>(StoreItem(i));
    return n && n->text && FilterLower(n->text).find(filterText) != StringW::npos;
}

bool GlobalNamePane::AcceptsFilterChar(wchar_t c) { return IsNameChar(c); }

void GlobalNamePane::OnHeaderPressed(BZone* zone) {
    if (!zone)
        return;
    const int order = zone->id == 1 ? kOrderByAddress : kOrderByName;
    sortColumn = order == kOrderByAddress ? 1 : 3;
    SetOrder(order);
}

// --- Strings

bool (*StringzPane::shiftHeld)() = ShiftHeld;
int StringzPane::filterTextsSliceMs = 8;

const MessageEntry StringzPane::kEntries[] = {
    Cracked(WM_CREATE),
    OnMessage(kMsgStringScan, Route<&StringzPane::OnStringScan>),
    OnMessage(kMsgAttach, Route<&StringzPane::OnAttach>),
};
const MessageMap StringzPane::kMessageMap{ &SideFilterList::kMessageMap, kEntries };

StringzPane::StringzPane() = default;
StringzPane::~StringzPane() = default;

int StringzPane::OnCreate(CREATESTRUCTW* cs) {
    if (BMultiFilterList::OnCreate(cs) == -1)
        return -1;
    line = AddListLine<StringzLine>(*this);
    return 0;
}

CRITICAL_SECTION* StringzPane::GetDrawLock() { return document ? document->strings.Lock() : nullptr; }

int32_t StringzPane::StoreCount() { return document ? document->strings.Count() : 0; }

void StringzPane::FillRow(const STRINGZ_DATA& record) {
    slot.record = record;
    int64_t length = record.Length();
    if (record.Kind() == kStringzWide)
        length *= 2;
    SectionLock lock(document->FileLock());
    slot.text = FormatStringz(document, record);
    slot.refers = document->stores.refers.CountRefsTo(record.address, length);
}

void* StringzPane::StoreItem(int i) {
    STRINGZ_DATA record{};
    if (!document || !document->strings.Get(i, record))
        return nullptr;
    FillRow(record);
    return &slot;
}

BOOL StringzPane::OnEraseBkgnd(HDC dc) {
    // The rows read the file's bytes: the file lock comes before the table's.
    SectionLock file(document ? document->FileLock() : nullptr);
    return SideFilterList::OnEraseBkgnd(dc);
}

uint32_t StringzPane::StoreChanges() { return document ? document->strings.Changes() : 0; }

void StringzPane::FilterStore() {
    SectionLock file(document->FileLock());
    SectionLock lock(GetDrawLock());
    // The texts while they match the table; else (being made, or past their ceiling) the strings'
    // bytes: a key never waits for the texts.
    textsReady_ = filterTexts.Current(document);
    if (!textsReady_)
        filterBytes.Begin(document, filterText);
    FilterItems();
    textsReady_ = false;
}

bool StringzPane::NarrowsFaster(int rows) {
    // The texts are looked through at once faster than many rows one by one; the bytes are not.
    return rows < StoreCount() / 8 || !document || !filterTexts.Current(document);
}

void StringzPane::FilterAll() {
    const auto add = [this](int i) { AddIndex(i); };
    if (textsReady_)
        filterTexts.FindAll(filterText, add);
    else
        filterBytes.FindAll(add);
}

void StringzPane::FilterRows(const std::vector<int>& rows) {
    if (textsReady_)
        SideFilterList::FilterRows(rows);
    else
        filterBytes.FindAmong(rows, [this](int i) { AddIndex(i); });
}

bool StringzPane::ItemHolds(int i) { return filterTexts.Holds(i, filterText); }

bool StringzPane::AcceptsFilterChar(wchar_t c) {
    if (c < 0x20)
        return false;
    CodePageChars chars(document && document->options.file.stringCodepage.index == 1 ? 1 : 0);
    if (c < 0x80)
        return chars.IsPrintable(static_cast<uint8_t>(c));
    const UINT page = chars.CodePage() == 1 ? CP_OEMCP : CP_ACP;
    char bytes[4] = {};
    BOOL lost = FALSE;
    const int n = ::WideCharToMultiByte(page, 0, &c, 1, bytes, sizeof bytes, nullptr, &lost);
    return n == 1 && !lost && chars.IsPrintable(static_cast<uint8_t>(bytes[0]));
}

bool StringzPane::RemoveCurrent() {
    if (!document || !Pager())
        return false;
    bool removed = false;
    {
        SectionLock file(document->FileLock());
        SectionLock lock(GetDrawLock());
        const int i = IndexOfPosition(Pager()->GetCurrent(vScroller));
        if (i >= 0 && i < StoreCount()) {
            document->strings.Remove(i);
            removed = true;
            if (!filterText.empty())
                Refilter();
        }
    }
    if (removed) {
        document->modified = true;
        rememberedIndex = -1;
        if (m_hWnd)
            Invalidate();
        RepaintParent(*this);
    }
    return removed;
}

void StringzPane::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    if (key == VK_DELETE) {
        if (shiftHeld())
            RemoveCurrent();
        return;
    }
    SideFilterList::OnKeyDown(key, repeat, flags);
}

LRESULT StringzPane::OnStringScan(WPARAM running, LPARAM) {
    if (m_hWnd)
        Invalidate();
    RepaintParent(*this);
    if (running == 0)
        StartFilterTexts();
    return 0;
}

LRESULT StringzPane::OnAttach(WPARAM attached, LPARAM doc) {
    filterTexts.Forget();
    return SideFilterList::OnAttach(attached, doc);
}

void StringzPane::UpdateCount() {
    SideFilterList::UpdateCount();
    StartFilterTexts();
}

int32_t StringzPane::RowCount() {
    SectionLock file(document ? document->FileLock() : nullptr);
    return SideFilterList::RowCount();
}

void StringzPane::StartFilterTexts() {
    if (m_hWnd && document && !filterTexts.Current(document) && !filterTexts.Failed(document))
        SetTimer(kFilterTextsTimer, 0);
}

void StringzPane::OnTimer(UINT_PTR id) {
    if (id != kFilterTextsTimer) {
        SideFilterList::OnTimer(id);
        return;
    }
    // A slice at a time: the timer comes only when no input waits.
    if (!document) {
        KillTimer(kFilterTextsTimer);
    } else if (filterTexts.Build(document, filterTextsSliceMs)) {
        KillTimer(kFilterTextsTimer);
        TimingTrace::Event(L"strings texts ready %d", StoreCount());
    } else if (filterTexts.Failed(document)) {
        KillTimer(kFilterTextsTimer);
        TimingTrace::Event(L"strings texts failed %d", StoreCount());
    }
}

// --- Bookmarks

bool (*BookmarkPane::editBookmark)(CWnd*, StringW&, COLORREF&) = RunBookmarkDialog;

const MessageEntry BookmarkPane::kEntries[] = {
    Cracked(WM_CREATE),
    OnMessage(kMsgAttach, Route<&BookmarkPane::OnAttach>),
    OnMessage(kMsgOptions, Route<&BookmarkPane::OnOptions>),
    OnMessage(kMsgParsing, Route<&BookmarkPane::OnParsing>),
};
const MessageMap BookmarkPane::kMessageMap{ &BMultiList::kMessageMap, kEntries };

BookmarkPane::BookmarkPane() = default;
BookmarkPane::~BookmarkPane() = default;

int BookmarkPane::OnCreate(CREATESTRUCTW* cs) {
    if (BMultiList::OnCreate(cs) == -1)
        return -1;
    line = AddListLine<BookmarkLine>(*this);
    return 0;
}

CRITICAL_SECTION* BookmarkPane::GetDrawLock() { return document ? document->stores.bookmarks.Lock() : nullptr; }

int32_t BookmarkPane::GetCount() { return document ? document->stores.bookmarks.Count() : 0; }

void* BookmarkPane::GetItem(int row) {
    if (!document)
        return nullptr;
    const int64_t n = LineOfRow(row);
    BookmarkStore& store = document->stores.bookmarks;
    SectionLock lock(store.Lock());
    if (n < 0 || n >= store.Count())
        return nullptr;
    slot = store.At(static_cast<int>(n));
    return &slot;
}

bool BookmarkPane::GotoBookmark(int64_t address) {
    if (!document || !Pager())
        return false;
    BookmarkStore& store = document->stores.bookmarks;
    int found = -1;
    {
        SectionLock lock(store.Lock());
        int low = 0, high = store.Count() - 1;
        while (low <= high) {
            const int mid = low + (high - low) / 2;
            const int64_t at = store.At(mid).address;
            if (at == address) {
                found = mid;
                break;
            }
            if (at < address)
                low = mid + 1;
            else
                high = mid - 1;
        }
    }
    if (found < 0)
        return false;
    UpdateCount();
    MoveCurrentLine(found);
    if (m_hWnd)
        Invalidate();
    return true;
}

void BookmarkPane::OnZoneDblClick(BZone* zone, int row, int x) {
    BMultiList::OnZoneDblClick(zone, row, x);
    if (row >= 0)
        OnItemAction(zone, row);
}

void BookmarkPane::OnItemAction(BZone* zone, int row) {
    if (!zone || !document)
        return;
    BOOKMARK_DATA mark{};
    {
        SectionLock lock(GetDrawLock());
        const auto* item = static_cast<const BOOKMARK_DATA*>(GetItem(row));
        if (!item)
            return;
        mark = *item;
    }
    if (zone->id == 2) {
        GotoAndFocus(*this, document, mark.address);
        return;
    }
    if (zone->id != 3)
        return;
    StringW note(mark.text ? mark.text : L"");
    COLORREF colour = mark.colour;
    if (!editBookmark(this, note, colour))
        return;
    {
        SectionLock file(document->FileLock());
        document->stores.bookmarks.Set(mark.address, note.c_str(), colour);
    }
    UpdateCount();
    if (m_hWnd)
        Invalidate();
    RepaintParent(*this);
    if (FilePane* file = FilePaneOf(*this))
        if (CWnd* diza = file->DizaWindow(); diza && diza->m_hWnd)
            diza->Invalidate();
    document->modified = true;
}

LRESULT BookmarkPane::OnAttach(WPARAM attached, LPARAM doc) {
    document = attached == 1 ? reinterpret_cast<FileParseThread*>(doc) : nullptr;
    ResetScroll();
    if (m_hWnd)
        Invalidate();
    return 0;
}

LRESULT BookmarkPane::OnOptions(WPARAM what, LPARAM options) {
    if (TakeListOptions(*this, what, options))
        RelayoutList(*this);
    return 0;
}

LRESULT BookmarkPane::OnParsing(WPARAM started, LPARAM) {
    if (started != 0 || !document)
        return 0;
    SetDigits(line ? line->address : nullptr, document->addressWidth);
    UpdateCount();
    RelayoutList(*this);
    return 0;
}

// --- Result lists

bool (*BResultPane::putClipboard)(const wchar_t*) = PutClipboard;
bool (*BResultPane::reserveBuffer)(StringW&, size_t) = ReserveBuffer;

const MessageEntry BResultPane::kEntries[] = {
    Cracked(WM_CREATE),
    Cracked(WM_IDLEUPDATECMDUI),
    OnMessage(kMsgAttach, Route<&BResultPane::OnAttach>),
    OnMessage(kMsgOptions, Route<&BResultPane::OnOptions>),
    OnMessage(kMsgParsing, Route<&BResultPane::OnParsing>),
};
const MessageMap BResultPane::kMessageMap{ &BMultiList::kMessageMap, kEntries };

BResultPane::BResultPane() = default;
BResultPane::~BResultPane() = default;

int BResultPane::OnCreate(CREATESTRUCTW* cs) {
    if (BMultiList::OnCreate(cs) == -1)
        return -1;
    cornerButtons.Create(this, IDB_RESULT_BUTTONS);
    cornerButtons.commandWindow = this;
    cornerButtons.AddClickButton(kCmdCopyResults, L"Copy to clipboard", false);
    line = AddListLine<BResultLine>(*this);
    return 0;
}

CRITICAL_SECTION* BResultPane::GetDrawLock() {
    BResultDiza* store = GetStore();
    return store ? store->Lock() : nullptr;
}

int32_t BResultPane::GetCount() {
    BResultDiza* store = GetStore();
    return store ? store->Count() : 0;
}

void* BResultPane::GetItem(int row) {
    BResultDiza* store = GetStore();
    if (!store)
        return nullptr;
    const int64_t n = LineOfRow(row);
    SectionLock lock(store->Lock());
    if (n < 0 || n >= store->Count())
        return nullptr;
    slot = store->At(static_cast<int>(n));
    return &slot;
}

void BResultPane::OnRowDraw(int row, void* item) {
    if (item && Pager() && Pager()->IsCurrentRow(vScroller, row)) {
        rememberedIndex = LineOfRow(row);
        rememberedPos = static_cast<const _RESULT_DIZA*>(item)->pos;
    }
}

void BResultPane::UpdateCount() {
    BMultiList::UpdateCount();
    BResultDiza* store = GetStore();
    if (!store || rememberedIndex < 0 || !Pager())
        return;
    SectionLock lock(store->Lock());
    const int count = store->Count();
    if (rememberedIndex < count && store->At(static_cast<int>(rememberedIndex)).pos.address == rememberedPos.address)
        return;
    const int i = store->FindAddress(rememberedPos.address);
    if (i < 0)
        return;
    rememberedIndex = i;
    Pager()->SetCurrent(vScroller, i);
}

bool BResultPane::SelectAddress(int64_t address) {
    BResultDiza* store = GetStore();
    if (!store || !Pager())
        return false;
    int i = -1;
    {
        SectionLock lock(store->Lock());
        i = store->FindAddress(address);
        if (i >= 0) {
            rememberedIndex = i;
            rememberedPos = store->At(i).pos;
        }
    }
    if (i < 0)
        return false;
    BMultiList::UpdateCount();
    MoveCurrentLine(i);
    if (m_hWnd)
        Invalidate();
    return true;
}

void BResultPane::Empty() {
    rememberedIndex = -1;
    rememberedPos = DizaLinePos{ -1, 0 };
    ResetScroll();
    if (m_hWnd)
        Invalidate();
}

void BResultPane::OnZoneDblClick(BZone* zone, int row, int x) {
    BMultiList::OnZoneDblClick(zone, row, x);
    if (!zone || zone->id != 1 || row < 0 || !document)
        return;
    _RESULT_DIZA record{};
    {
        SectionLock lock(GetDrawLock());
        const auto* item = static_cast<const _RESULT_DIZA*>(GetItem(row));
        if (!item)
            return;
        record = *item;
        rememberedIndex = LineOfRow(row);
        rememberedPos = record.pos;
    }
    if (record.pos.line >= kFirstItemLine) {
        document->navigator.GotoLinePosition(record.pos);
        FocusDizaPane(*this);
    } else {
        GotoAndFocus(*this, document, record.pos.address);
    }
}

void BResultPane::OnIdleUpdateCmdUI() {
    cornerButtons.Enable(kCmdCopyResults, GetCount() > 0);
}

bool BResultPane::OnCmdMsg(UINT id, UINT code) {
    if (id == kCmdCopyResults && code == 0) {
        if (GetCount() > 0)
            CopyToClipboard();
        return true;
    }
    return BMultiList::OnCmdMsg(id, code);
}

StringW BResultPane::ResultsText(bool& failed) {
    failed = false;
    StringW text;
    BResultDiza* store = GetStore();
    if (!store || !document)
        return text;
    SectionLock lock(store->Lock());
    const int count = store->Count();
    if (count <= 0)
        return text;
    const int digits = document->addressWidth;
    size_t textBytes = 0;
    for (int i = 0; i < count; ++i) {
        const _RESULT_DIZA r = store->At(i);
        if (r.text)
            textBytes += (std::wcslen(r.text) + 1) * sizeof(wchar_t);
    }
    const size_t bytes = textBytes + static_cast<size_t>(count) * (digits + 3) * sizeof(wchar_t) + 2;
    if (!reserveBuffer(text, bytes)) {
        document->Log().Print(L"No free memory (%dKb)", static_cast<int>(bytes / 1024));
        failed = true;
        return StringW();
    }
    for (int i = 0; i < count; ++i) {
        const _RESULT_DIZA r = store->At(i);
        text += ListAddressText(r.pos.address, digits);
        text += L' ';
        if (r.text)
            text += r.text;
        text += L'\n';
    }
    return text;
}

bool BResultPane::CopyToClipboard() {
    bool failed = false;
    const StringW text = ResultsText(failed);
    if (failed)
        return false;
    if (text.empty())
        return true;
    if (putClipboard(text.c_str()))
        return true;
    if (document)
        document->Log().Print(L"ClipboardCopy failed for %dKb", static_cast<int>(text.size() * sizeof(wchar_t) / 1024));
    return false;
}

LRESULT BResultPane::OnAttach(WPARAM attached, LPARAM doc) {
    document = attached == 1 ? reinterpret_cast<FileParseThread*>(doc) : nullptr;
    rememberedIndex = -1;
    rememberedPos = DizaLinePos{ -1, 0 };
    ResetScroll();
    if (m_hWnd)
        Invalidate();
    return 0;
}

LRESULT BResultPane::OnOptions(WPARAM what, LPARAM options) {
    if (!TakeListOptions(*this, what, options))
        return 0;
    if (line) {
        const Options* set = reinterpret_cast<const Options*>(options);
        line->SetHighlightColors(set->codeColors.foundBk.value);
        // Whether the rows show where their text matched.
        line->markFound = set->ui.resultHighlight.value;
    }
    RelayoutList(*this);
    return 0;
}

LRESULT BResultPane::OnParsing(WPARAM started, LPARAM) {
    if (started != 0 || !document)
        return 0;
    SetDigits(line ? line->address : nullptr, document->addressWidth);
    RelayoutList(*this);
    return 0;
}

// --- Find results

const MessageEntry FindPane::kEntries[] = {
    Cracked(WM_SHOWWINDOW),
};
const MessageMap FindPane::kMessageMap{ &BResultPane::kMessageMap, kEntries };

FindPane::~FindPane() = default;

BResultDiza* FindPane::GetStore() {
    return document && m_hWnd ? document->finds.GetResult(GetDlgCtrlID()) : nullptr;
}

HICON FindPane::ActiveIcon() {
    static HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), L"IMAGE_ACTIVE", IMAGE_ICON,
                                                        kIconSize, kIconSize, LR_DEFAULTCOLOR));
    return icon;
}

void FindPane::UpdateTabIcon(bool active) {
    if (!m_hWnd)
        return;
    auto* tabber = dynamic_cast<BTabber*>(CWnd::FromHandle(GetParent()));
    if (!tabber)
        return;
    if (BTabOne* tab = tabber->TabByWindow(this))
        if (tab->SetIcon(active ? ActiveIcon() : nullptr, kIconSize))
            tabber->Invalidate();
}

void FindPane::OnShowWindow(BOOL show, UINT status) {
    BResultPane::OnShowWindow(show, status);
    if (!show || !document)
        return;
    if (auto* side = dynamic_cast<FileSideTab*>(CWnd::FromHandle(GetParent())))
        side->OnFindPaneShown(this);
}

BResultDiza* RefersPane::GetStore() { return document ? &document->stores.refers.results : nullptr; }
