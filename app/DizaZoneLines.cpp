#include "app/DizaZoneLines.h"

#include "app/DizaPage.h"
#include "app/FileDizaPane.h"
#include "app/FileMainPane.h"
#include "app/resources/resource.h"
#include "core/SectionLock.h"
#include "decode/BDecodeEngine.h"
#include "document/BDizaLine.h"
#include "document/Diza.h"
#include "document/FileParseThread.h"
#include "document/FindContext.h"
#include "options/BColorTheme.h"
#include "options/Options.h"
#include "toolkit/DrawTools.h"
#include "toolkit/MultiColorIcon.h"

#include <algorithm>
#include <cwctype>
#include <vector>

namespace dizatext {

namespace {

// Register-name groups that colour (the test registers do not), then the byte registers of REX forms.
constexpr unsigned kColouredRegisterGroups = BDecodeEngine::kRegisterGroups - 1;
const char* const kRexByteRegisters[] = {"spl", "bpl", "sil", "dil"};

bool IsNameChar(wchar_t c) {
    return std::iswalpha(c) || c == L'&' || c == L'?' || c == L'_' || c == L'$' || c == L'@' || c == L'\\' ||
           c == L'`' || c == L'\'' || c == 0x7F || c == L'~';
}

bool IsHexDigit(wchar_t c) { return std::iswxdigit(c) != 0; }

void SetRole(AttrLine& attrs, int from, int to, int role) {
    if (to > from)
        attrs.SetTextIndex(from, role, to - from);
}

bool StartsNoCase(const wchar_t* text, int length, const wchar_t* word) {
    int n = 0;
    for (; word[n]; ++n)
        if (n >= length || std::towlower(text[n]) != word[n])
            return false;
    return true;
}

}  // namespace

int RegisterNameAt(const wchar_t* text, int length, int at) {
    // The length of `name` when the text holds it at `at` followed by an operand boundary, else 0.
    auto matches = [&](const char* name) {
        int n = 0;
        while (name[n] && at + n < length && text[at + n] == static_cast<unsigned char>(name[n]))
            ++n;
        if (name[n] || n == 0)
            return 0;
        return at + n >= length || std::wcschr(L" ,-+]*", text[at + n]) ? n : 0;
    };
    for (unsigned group = 0; group < kColouredRegisterGroups; ++group)
        for (unsigned number = 0; number < 16; ++number)
            if (const int n = matches(BDecodeEngine::RegisterNameText(group, number)))
                return n;
    for (const char* name : kRexByteRegisters)
        if (const int n = matches(name))
            return n;
    return 0;
}

void ColorInstruction(const wchar_t* text, int length, AttrLine& attrs) {
    int i = 0;
    while (i < length && text[i] != L' ')
        ++i;
    // A prefix and the instruction it repeats or locks make one mnemonic.
    if (i < length && ((StartsNoCase(text, length, L"rep")) || StartsNoCase(text, length, L"lock"))) {
        int j = i + 1;
        while (j < length && text[j] != L' ')
            ++j;
        i = j;
    }
    SetRole(attrs, 0, i, kMnemonic);
    while (i < length && text[i] == L' ')
        ++i;
    while (i < length) {
        const wchar_t c = text[i];
        const wchar_t next = i + 1 < length ? text[i + 1] : 0;
        const wchar_t afterNext = i + 2 < length ? text[i + 2] : 0;
        if (std::iswdigit(c) || c == L'.' || (c == L'-' && std::iswdigit(next))) {
            int j = i + 1;
            while (j < length && (IsHexDigit(text[j]) || text[j] == L':'))
                ++j;
            SetRole(attrs, i, j, kNumber);
            i = j;
            continue;
        }
        if (std::iswalpha(c)) {
            if (const int n = RegisterNameAt(text, length, i)) {
                SetRole(attrs, i, i + n, kRegister);
                i += n;
                continue;
            }
        }
        if (next != L',' && !(next == L's' && afterNext == L':') && IsNameChar(c)) {
            int j = i;
            while (j < length && text[j] != L';')
                ++j;
            SetRole(attrs, i, j, kName);
            i = j;
            continue;
        }
        if (c == L',') {
            ++i;
            continue;
        }
        // A memory operand up to a "]" at the end or before a comma.
        int j = i;
        int content = -1;
        while (j < length) {
            if (text[j] == L'[' && j + 1 < length && (IsNameChar(text[j + 1]) || std::iswalpha(text[j + 1])) &&
                content < 0)
                content = j + 1;
            if (text[j] == L']' && (j + 1 >= length || text[j + 1] == L',')) {
                ++j;
                break;
            }
            ++j;
        }
        SetRole(attrs, i, j, kMemory);
        if (content >= 0 && !RegisterNameAt(text, length, content)) {
            int k = content;
            while (k < j && text[k] != L']')
                ++k;
            SetRole(attrs, content, k, kName);
        }
        i = std::max(j, i + 1);
    }
}

void ColorData(const wchar_t* text, int length, AttrLine& attrs) {
    int i = 0;
    while (i < length && text[i] != L' ')
        ++i;
    SetRole(attrs, 0, i, kMnemonic);
    while (i < length && text[i] == L' ')
        ++i;
    while (i < length) {
        int j = i;
        while (j < length && text[j] != L',')
            ++j;
        SetRole(attrs, i, j, kNumber);
        i = j + 1;
    }
}

}  // namespace dizatext

FileDizaPane* DizaPaneOf(BMultiZone* pane) {
    if (auto* diza = dynamic_cast<FileDizaPane*>(pane))
        return diza;
    if (auto* comments = dynamic_cast<FileOncommentPane*>(pane))
        return comments->owner;
    return nullptr;
}

namespace {

bool CtrlDown() { return (::GetKeyState(VK_CONTROL) & 0x8000) != 0; }

// The row's model the pane made for a row (the item of GetItem).
const BDizaLine* ModelOf(const void* item) { return static_cast<const BDizaLine*>(item); }

}  // namespace

// --- Zones.

ZoneDizaBody::ZoneDizaBody() : BZoneColorString(kZoneDizaBody, BZone::kAlignLeft | BZone::kStretch, 40, nullptr) {
    context = &colours;
    marksMatches = true;
}

void ZoneDizaBody::SetLine(FileParseThread* document, int64_t address, uint32_t kind, const wchar_t* value,
                           const StringW& highlight) {
    (void)highlight;
    SetText(value);
    const int length = text.Length();
    attrs.Reserve(length);
    found.Invalidate();
    switch (diza::KindOf(kind)) {
    case diza::kBytes:
        if (document && document->finds.IsHexResultActive()) {
            found.Resize(length);
            for (int i = 0; i < length; ++i)
                if (document->finds.IsHexHitAt(address + i)) {
                    found.SetBits(i, 1);
                    attrs.SetBackIndex(i, 2, 1);
                }
        }
        break;
    case diza::kCode: dizatext::ColorInstruction(text.c_str(), length, attrs); break;
    case diza::kData:
    case diza::kDataExt: dizatext::ColorData(text.c_str(), length, attrs); break;
    default: break;
    }
}

void ZoneDizaBody::OnClick(BMultiZone* pane, int row, int x) {
    FileDizaPane* diza = DizaPaneOf(pane);
    if (!diza || !diza->document)
        return;
    diza->SetCursorAddress(diza->AddressAtColumn(this, row, x));
    if (CtrlDown())
        diza->SetHighlight(WordAt(pane, row, x));
}

ZoneDizaDump::ZoneDizaDump(int cells) : BZoneDump(kZoneDizaDump, BZone::kAlignLeft, cells) {}

void ZoneDizaDump::SetFont(CFont* newFont) {
    const bool full = width >= maxWidth;
    BZoneDump::SetFont(newFont);
    if (!sized_ && cellWidth > 0) {
        sized_ = true;
        width = std::min(maxWidth, TextWidth(std::min(charCount, kFirstCells)));
    } else if (full) {
        width = maxWidth;
    }
}

void ZoneDizaDump::OnDrawByte(CDC& dc, int index) {
    dc.SetTextColor(index >= itemLength ? ThemeColor(103) : ownColor);
}

void ZoneDizaDump::MarkFinds(FileParseThread* document, int64_t address, uint32_t kind, int count) {
    highlightMap.Invalidate();
    FindContext& finds = document->finds;
    if (finds.IsHexResultActive()) {
        highlightMap.Resize(2 * count);
        for (int i = 0; i < count; ++i)
            if (finds.IsHexHitAt(address + i))
                highlightMap.SetBits(2 * i, 2);
        return;
    }
    if (!finds.IsTextResultActive() || (kind & 0xF000FFFFu) != 0xB0000000u)
        return;
    FindResult* result = finds.GetResult(finds.activePane);
    _RESULT_DIZA record{};
    if (!result || !result->Get(DizaLinePos{ address, kind }, &record) || !record.text || record.text[0] == L';' ||
        record.value < 0 || record.length <= 0)
        return;
    highlightMap.Resize(2 * count);
    highlightMap.SetBits(2 * record.value, 2 * record.length);
}

void ZoneDizaDump::OnClick(BMultiZone* pane, int row, int x) {
    FileDizaPane* diza = DizaPaneOf(pane);
    if (!diza)
        return;
    const int cell = 2 * cellWidth + 2;
    const int byte = cell > 0 ? (x - rect.left - margin) / cell : -1;
    const DizaLinePos position = diza->Page().Row(row);
    if (byte >= 0 && byte < text.Length() / 2 && position.address != -1)
        diza->SetCursorAddress(position.address + byte);
}

ZoneCollapse::ZoneCollapse() : BZone(kZoneCollapse, BZone::kFixed, 12) {}

int ZoneCollapse::Draw(CDC& dc, int, int top, int, int bottom) {
    if (hidden)
        return 0;
    const COLORREF colour = ThemeColor(17);
    const RECT cell{ rect.left, top, rect.right, bottom };
    const int middle = (cell.left + cell.right) / 2;
    switch (collapseClass) {
    case 1:
    case 2: {
        const RECT box = CenterSquareInRect(cell, 4);
        DrawFrameRect(dc, box.left, box.top, box.right, box.bottom, colour, NULL_BRUSH);
        if (collapseClass == 1) {
            DrawPlus(dc, box.left + 2, box.top + 2, box.right - 2, box.bottom - 2, colour);
        } else {
            DrawMidHLine(dc, box.left + 2, box.top + 2, box.right - 2, box.bottom - 2, colour);
            DrawLineColor(dc, middle, box.bottom, middle, bottom - 1, colour);
        }
        break;
    }
    case 3: DrawMidVLine(dc, cell.left, cell.top, cell.right, cell.bottom, colour); break;
    case 4: DrawTreeElbow(dc, cell.left, cell.top, cell.right, cell.bottom, colour); break;
    default: break;
    }
    return VisibleWidth();
}

void ZoneCollapse::OnClick(BMultiZone* pane, int row, int) {
    FileDizaPane* diza = DizaPaneOf(pane);
    if (!diza || !diza->document)
        return;
    const DizaLinePos position = diza->Page().Row(row);
    {
        SectionLock lock(diza->document->FileLock());
        if (!diza->document->stores.collapses.Toggle(position.address))
            return;
    }
    diza->Invalidate();
}

void ZoneCollapse::OnDblClick(BMultiZone* pane, int row, int) {
    FileDizaPane* diza = DizaPaneOf(pane);
    if (!diza || !diza->document)
        return;
    const DizaLinePos position = diza->Page().Row(row);
    int64_t target = -1;
    {
        SectionLock lock(diza->document->FileLock());
        const Collapse& ranges = diza->document->stores.collapses;
        const int64_t start = ranges.FindContainingStart(position.address);
        if (start == -1)
            return;
        target = CtrlDown() ? ranges.FindEnd(start) - 1 : start;
    }
    diza->document->PostGotoAddress(target);
}

ZoneBookmark::ZoneBookmark() : ZoneMultiColorIcon(kZoneBookmark, 12, 2) { flags |= BZone::kFixed; }

MultiColorIcon* ZoneBookmark::GetIconSet() {
    static MultiColorIcon flags(L"IMAGE_REDFLAG", RGB(255, 0, 0), 12);
    return &flags;
}

void ZoneBookmark::OnClick(BMultiZone* pane, int, int) {
    if (FileDizaPane* diza = DizaPaneOf(pane))
        diza->RunCommand(kCmdToggleBookmark);
}

ZoneAddress::ZoneAddress() : ZoneNumberHexAdapt(kZoneAddress, BZone::kAlignLeft | BZone::kHexCell, 17, 17) {}

void ZoneAddress::SetFont(CFont* newFont) {
    const bool full = maxWidth == 0 || width >= maxWidth;
    ZoneNumberHexAdapt::SetFont(newFont);
    if (full)
        width = maxWidth;
}

ZoneComment::ZoneComment(int id) : BZoneString(id, BZone::kAlignLeft | BZone::kStretch, 40) { marksMatches = true; }

void ZoneComment::OnClick(BMultiZone* pane, int row, int x) {
    if (!CtrlDown())
        return;
    if (FileDizaPane* diza = DizaPaneOf(pane))
        diza->SetHighlight(WordAt(pane, row, x));
}

// --- Lines.

FileParseThread* DizaZoneline::Document() const {
    FileDizaPane* pane = Pane();
    return pane ? pane->document : nullptr;
}

DizaLinePos DizaZoneline::RowPosition() const {
    FileDizaPane* pane = Pane();
    return pane ? pane->Page().Row(row) : kNoLine;
}

DizaLinePos DizaZoneline::NextPosition() const {
    FileDizaPane* pane = Pane();
    return pane ? pane->Page().Row(row + 1) : kNoLine;
}

int DizaZoneline::CollapseClassOf(const DizaLinePos& position) const {
    FileParseThread* doc = Document();
    return doc ? doc->stores.collapses.ClassifyLine(position, NextPosition()) : 0;
}

void DizaZoneline::ShareLeadZones(BMultiZone* pane) {
    FileDizaPane* diza = DizaPaneOf(pane);
    if (!diza || !diza->bodyLine)
        return;
    for (int id : { kZoneBookmark, kZoneRefers, kZoneCollapse })
        AddSharedZone(*diza->bodyLine, id);
}

void DizaZoneline::FillLeadZones(const DizaLinePos& position) {
    if (auto* flag = static_cast<ZoneBookmark*>(ZoneById(kZoneBookmark)); flag && flag->id == kZoneBookmark)
        flag->SetColour(static_cast<COLORREF>(-1));
    if (auto* refers = dynamic_cast<ZoneRefers*>(ZoneById(kZoneRefers)))
        refers->imageIndex = -1;
    if (auto* collapse = dynamic_cast<ZoneCollapse*>(ZoneById(kZoneCollapse)))
        collapse->collapseClass = CollapseClassOf(position);
}

void DizaZoneline::FillLeadRow(const void* item, BZoneString* text, const LeadText& textOf) {
    const BDizaLine* model = ModelOf(item);
    FileParseThread* doc = Document();
    if (text)
        text->SetText(L"");
    if (!model || !doc)
        return;
    SectionLock lock(doc->FileLock());
    FillLeadZones(DizaLinePos{ model->address, model->kind });
    if (text && textOf)
        text->SetText(textOf(doc, *model).c_str());
}

void DizaBodyZoneline::CreateZones(BMultiZone* pane) {
    bookmark = new ZoneBookmark;
    AddZone(bookmark);
    refers = new ZoneRefers(kZoneRefers, IDB_REFERS);
    refers->flags |= BZone::kFixed;
    AddZone(refers);
    collapse = new ZoneCollapse;
    AddZone(collapse);
    pane->SetFixedColumns(this);
    address = new ZoneAddress;
    AddZone(address);
    AddSeparator(pane);
    FileDizaPane* diza = DizaPaneOf(pane);
    dump = new ZoneDizaDump(diza ? diza->dumpCells : 16);
    AddZone(dump);
    AddSeparator(pane);
    body = new ZoneDizaBody;
    AddZone(body);
}

void DizaBodyZoneline::ApplyOptions(const Options& options) {
    body->colours.FromOptions(options);
    const OptionsCodeColors& c = options.codeColors;
    address->SetTextColor(c.addressTxt.value);
    address->SetMatchColor(c.markerMk.value);
    address->flags |= BZone::kOwnTextColor;
    // Marker colours are backgrounds: the bytes themselves are in the code text colour.
    dump->ownColor = c.codeTxt.value;
    dump->SetTextColor(c.codeTxt.value);
    dump->flags |= BZone::kOwnTextColor;
    dump->SetHighlightColor(c.foundBk.value);
    dump->SetMatchColor(c.markerMk.value);
    body->SetMatchColor(c.markerMk.value);
}

void DizaBodyZoneline::SetData(const void* item) {
    auto* model = const_cast<BDizaLine*>(ModelOf(item));
    FileParseThread* doc = Document();
    tick = false;
    if (!model || !doc)
        return;
    SectionLock lock(doc->FileLock());
    BDizaBodyLine* line = model->Body();
    const int64_t at = model->address;
    int32_t count = 0;
    const uint8_t* bytes = nullptr;
    if (line) {
        line->BuildText();
        count = line->GetByteCount();
        bytes = line->LoadBytes();
    }
    // The page knows its rows' lengths from the walk that filled it.
    FileDizaPane* owner = Pane();
    const DizaLinePos shown = owner ? owner->Page().Row(row) : kNoLine;
    dump->itemLength = shown.address == at && shown.line == model->kind ? owner->Page().LineQuery(row)
                                                                        : doc->QueryItemLength(at);
    const int64_t colour = doc->stores.bookmarks.ColourInRange(at, std::max(count, 1));
    bookmark->SetColour(colour < 0 ? static_cast<COLORREF>(-1) : static_cast<COLORREF>(colour));
    refers->imageIndex = doc->stores.refers.Classify(at, std::max(count, 1));
    collapse->collapseClass = CollapseClassOf(RowPosition());
    address->SetValue(static_cast<uint64_t>(at));
    dump->SetBytes(bytes, bytes ? count : 0);
    dump->MarkFinds(doc, at, model->kind, bytes ? count : 0);
    FileDizaPane* pane = Pane();
    body->SetLine(doc, at, model->kind, line ? line->text.c_str() : L"", pane ? pane->selection.selectedText : StringW());
    tick = doc->Map().IsItemStart(at);
}

ZoneLineWidths DizaBodyZoneline::Draw(CDC& dc, int rowIndex, int left, int top, int right, int bottom,
                                      bool highlighted) {
    const ZoneLineWidths widths = DizaZoneline::Draw(dc, rowIndex, left, top, right, bottom, highlighted);
    if (tick && !address->hidden) {
        const int y = (top + bottom) / 2;
        DrawLineColor(dc, address->rect.right - 2, y, address->rect.right + 3, y, ThemeColor(81));
    }
    return widths;
}

void DizaBodyZoneline::DrawCursorMarks(CDC& dc, BDizaLine* model, int64_t cursor, int top, int bottom,
                                       COLORREF colour) {
    if (!model)
        return;
    const int64_t offset = cursor - model->address;
    if (offset < 0)
        return;
    if (!dump->hidden && offset < dump->text.Length() / 2) {
        const int cell = 2 * dump->cellWidth + 2;
        const int x = dump->rect.left + dump->margin + static_cast<int>(offset) * cell;
        // Only a cell the column shows: a narrowed column hides the line's later bytes.
        if (x + 2 * dump->cellWidth <= dump->rect.right - dump->margin)
            DrawBrackets(dc, x - 1, top + 1, x + cell - 2, bottom - 2, colour);
    }
    if (BDizaBodyLine* line = model->Body()) {
        RECT r{ body->rect.left, top, body->rect.right, bottom };
        if (line->HandleClick(dc, body, static_cast<int>(offset), r))
            DrawBrackets(dc, r.left - 1, top + 1, r.right + 1, bottom - 2, colour);
    }
}

void DizaCommentlineZoneline::CreateZones(BMultiZone* pane) {
    ShareLeadZones(pane);
    text = new ZoneComment(kZoneCommentLine);
    AddZone(text);
}

void DizaCommentlineZoneline::SetData(const void* item) {
    FillLeadRow(item, text, [](FileParseThread* doc, const BDizaLine& model) {
        StringW shown = L";";
        shown += doc->stores.lineComments.GetLineText(model.address, static_cast<int>(model.kind & 0xFF));
        return shown;
    });
}

void DizaNameZoneline::CreateZones(BMultiZone* pane) {
    ShareLeadZones(pane);
    text = new BZoneString(kZoneName, BZone::kAlignLeft | BZone::kStretch, 40);
    text->marksMatches = true;
    AddZone(text);
}

void DizaNameZoneline::SetData(const void* item) {
    FillLeadRow(item, text, [](FileParseThread* doc, const BDizaLine& model) {
        return doc->stores.names.TextAt(model.address, static_cast<int>(model.kind & 0xFF));
    });
}

void DizaCommentOnlineZoneline::CreateZones(BMultiZone* pane) {
    ShareLeadZones(pane);
    AddZone(new ZoneStretch(0x7F, BZone::kStretch));
}

void DizaCommentOnlineZoneline::SetData(const void* item) { FillLeadRow(item, nullptr, nullptr); }

void DizaNullZoneline::CreateZones(BMultiZone*) { AddZone(new ZoneStretch(0x7E, BZone::kStretch)); }

void DizaOncommentZoneline::CreateZones(BMultiZone*) {
    text = new ZoneComment(kZoneOncomment);
    AddZone(text);
}

void DizaOncommentZoneline::SetData(const void* item) {
    const BDizaLine* model = ModelOf(item);
    FileParseThread* doc = Document();
    text->SetText(L"");
    if (!model || !doc)
        return;
    SectionLock lock(doc->FileLock());
    CommentOnline& comments = doc->stores.onlineComments;
    if (!comments.Has(model->address))
        return;
    StringW line;
    if (model->kind >= 0xF0000000u)
        line = comments.GetLineText(model->address, static_cast<int>(model->kind & 0xFF));
    else if (diza::IsItemLine(model->kind))
        line = comments.FirstLine(model->address);
    else
        return;
    text->SetText((L";" + std::wstring(line.c_str())).c_str());
}
