#include "app/ShowasPane.h"

#include "app/AppMessages.h"
#include "app/FilePane.h"
#include "core/SectionLock.h"
#include "document/BDizaLine.h"
#include "document/Diza.h"
#include "document/DizaMap.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "options/Options.h"
#include "toolkit/ScrollPager.h"
#include "toolkit/ZoneText.h"

#include <memory>

namespace {


bool IsItemLine(uint32_t word) {
    const uint32_t kind = word >> 28;
    return kind >= 6 && kind <= 14;
}

// The row of a data line's representation code (0-3 hexadecimal and decimal, unsigned and signed,
// 5 bits): row 0 is the byte order, so the codes 0-3 stand one row lower.
int RowOfRepresentation(int code) { return code < 4 ? code + 1 : code; }

}  // namespace

void ApplyListOptions(BMultiZone& pane, const Options& options) {
    pane.SetFont(options.fonts.listFont.face.c_str(), options.fonts.listFont.size, FW_NORMAL);
    pane.SetNormalColor(options.uiColors.listBk.value);
    pane.SetTextColor(options.uiColors.listTxt.value);
    pane.currentFocusColor = options.uiColors.listInfocus.value;
    pane.currentColor = options.uiColors.listOutfocus.value;
    if (pane.m_hWnd)
        pane.Invalidate();
}

// --- Show-as line.

void ShowasPaneLine::CreateZones(BMultiZone* pane) {
    // Sized by the font to 16 characters; the options lift its limit once the font is set.
    label = new BZoneString(1, BZone::kAlignLeft, 16);
    AddZone(label);
    AddSeparator(pane);
    value = new BZoneString(2, BZone::kAlignLeft | BZone::kStretch, 64);
    AddZone(value);
}

void ShowasPaneLine::SetData(const void* item) {
    const SHOWAS_DATA* record = static_cast<const SHOWAS_DATA*>(item);
    if (label)
        label->SetText(record ? record->label.c_str() : L"");
    if (value)
        value->SetText(record ? record->value.c_str() : L"");
}

// --- Show-as pane.

const MessageEntry ShowasPane::kEntries[] = {
    Cracked(WM_CREATE),
    OnMessage(kMsgAttach, Route<&ShowasPane::OnAttach>),
    OnMessage(kMsgOptions, Route<&ShowasPane::OnOptions>),
};
const MessageMap ShowasPane::kMessageMap{ &BMultiZone::kMessageMap, kEntries };

ShowasPane::ShowasPane() = default;

int ShowasPane::OnCreate(CREATESTRUCTW* cs) {
    if (BMultiZone::OnCreate(cs) == -1)
        return -1;
    VBar().SetPager(new BScrollPagerYline);
    line_ = new ShowasPaneLine;
    AddLine(line_);
    return 0;
}

CRITICAL_SECTION* ShowasPane::GetDrawLock() { return nullptr; }

void* ShowasPane::GetItem(int row) {
    const int64_t index = VBar().top + row;
    if (index < 0 || index >= RowCount())
        return nullptr;
    return &records[static_cast<size_t>(index)];
}

void ShowasPane::UpdateCount() {
    VBar().rangeStart = 0;
    VBar().rangeEnd = RowCount();
}

int ShowasPane::CurrentRow() {
    BScrollPager* pager = VBar().Pager();
    const int64_t current = pager ? pager->GetCurrent(VBar()) : -1;
    return current >= 0 && current < RowCount() ? static_cast<int>(current) : -1;
}

void ShowasPane::Empty() {
    records.clear();
    second.clear();
    VBar().top = 0;
    if (BScrollPager* pager = VBar().Pager())
        pager->SetCurrent(VBar(), 0);
    UpdateCount();
}

int ShowasPane::Fill() {
    if (!document)
        return -1;
    SectionLock lock(document->FileLock());
    std::unique_ptr<BDizaLine> model(MakeDizaLine(document, Diza{ position_.address, position_.line }));
    BDizaBodyLine* body = model ? model->Body() : nullptr;
    if (!body)
        return -1;
    DizaPropertyList list;
    const int current = body->Properties(list);
    for (const DizaProperty& p : list)
        records.push_back(SHOWAS_DATA{ p.name, p.text, p.address, p.kind });
    return diza::KindOf(position_.line) == diza::kData ? RowOfRepresentation(current) : current;
}

void ShowasPane::SetItem(const DizaLinePos& position) {
    if (position.address == position_.address && position.line == position_.line)
        return;
    position_ = position;
    Empty();
    if (IsItemLine(position.line)) {
        const int current = Fill();
        UpdateCount();
        if (current >= 0 && current < RowCount())
            if (BScrollPager* pager = VBar().Pager())
                pager->SetCurrent(VBar(), current);
    }
    if (m_hWnd) {
        if (VBar().m_hWnd)
            VBar().UpdateThumb();
        Invalidate();
    }
}

bool ShowasPane::ActOnRow(int row, int key) {
    if (!document || row < 0 || row >= RowCount() || !IsItemLine(position_.line))
        return false;
    bool go = false;
    {
        SectionLock lock(document->FileLock());
        Diza record{ position_.address, position_.line };
        std::unique_ptr<BDizaLine> model(MakeDizaLine(document, record));
        BDizaBodyLine* body = model ? model->Body() : nullptr;
        if (!body)
            return false;
        DizaPropertyList list;
        for (const SHOWAS_DATA& r : records)
            list.push_back(DizaProperty{ r.label, r.value, r.address, r.kind });
        go = body->OnKey(list, record, row, key);
        if (!go) {
            // The model may have shown the line another way: take its rows again.
            position_.line = record.kind;
            records.clear();
            for (const DizaProperty& p : list)
                records.push_back(SHOWAS_DATA{ p.name, p.text, p.address, p.kind });
            UpdateCount();
        }
    }
    if (go) {
        if (BScrollPager* pager = VBar().Pager())
            pager->SetCurrent(VBar(), row);
        return GotoSelected();
    }
    if (m_hWnd)
        Invalidate();
    return false;
}

HWND ShowasPane::GotoWindow() const {
    if (gotoTarget)
        return gotoTarget;
    for (HWND w = m_hWnd ? ::GetParent(m_hWnd) : nullptr; w; w = ::GetParent(w))
        if (FilePane* pane = dynamic_cast<FilePane*>(CWnd::FromHandle(w)))
            return pane->DizaWindow() ? pane->DizaWindow()->m_hWnd : nullptr;
    return nullptr;
}

bool ShowasPane::GotoSelected() {
    const int row = CurrentRow();
    if (!document || row < 0)
        return false;
    ShowasTarget target{ -1, 0 };
    {
        SectionLock lock(document->FileLock());
        const SHOWAS_DATA& record = records[static_cast<size_t>(row)];
        const Diza item = document->Map().ItemAt(record.address);
        if (diza::KindOf(item.kind) != diza::KindOf(record.kind) || !IsItemLine(item.kind))
            return false;
        target = ShowasTarget{ item.address, record.kind };
    }
    HWND to = GotoWindow();
    if (!to)
        return false;
    ::SendMessageW(to, kMsgShowasItem, 0, reinterpret_cast<LPARAM>(&target));
    return true;
}

void ShowasPane::OnZoneDown(BZone* zone, int row, int x) {
    BMultiZone::OnZoneDown(zone, row, x);
    const int64_t index = VBar().top + row;
    if (index >= 0 && index < RowCount())
        if (BScrollPager* pager = VBar().Pager())
            pager->SetCurrent(VBar(), index);
    Invalidate();
}

void ShowasPane::OnZoneDblClick(BZone* zone, int row, int x) {
    BMultiZone::OnZoneDblClick(zone, row, x);
    const int64_t index = VBar().top + row;
    if (index >= 0 && index < RowCount())
        ActOnRow(static_cast<int>(index), 13);
}

void ShowasPane::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    if (key == VK_RETURN || key == VK_SPACE) {
        const int row = CurrentRow();
        if (row >= 0)
            ActOnRow(row, key == VK_RETURN ? 13 : static_cast<int>(key));
        return;
    }
    BMultiZone::OnKeyDown(key, repeat, flags);
}

LRESULT ShowasPane::OnAttach(WPARAM attached, LPARAM doc) {
    if (attached == 1) {
        document = reinterpret_cast<FileParseThread*>(doc);
    } else if (attached == 0) {
        Empty();
        document = nullptr;
        position_ = DizaLinePos{ -1, 0 };
        if (m_hWnd)
            Invalidate();
    }
    return 0;
}

LRESULT ShowasPane::OnOptions(WPARAM what, LPARAM lparam) {
    if (what != 1 || !lparam)
        return 0;
    ApplyListOptions(*this, *reinterpret_cast<const Options*>(lparam));
    // A limit set before the font would read as a column the user closed: the label would not show.
    if (line_ && line_->label)
        line_->label->SetMaxWidth(ShowasPaneLine::kLabelMaxWidth);
    return 0;
}

// --- Details.

void DetailsPaneLine::CreateZones(BMultiZone* pane) {
    AddZone(new BZoneString(1, BZone::kAlignLeft, 256));
    AddSeparator(pane);
    AddZone(new BZoneString(2, BZone::kAlignLeft, 256));
}

const MessageEntry DetailsPane::kEntries[] = {
    Cracked(WM_CREATE),
    OnMessage(kMsgOptions, Route<&DetailsPane::OnOptions>),
};
const MessageMap DetailsPane::kMessageMap{ &BMultiZone::kMessageMap, kEntries };

int DetailsPane::OnCreate(CREATESTRUCTW* cs) {
    if (BMultiZone::OnCreate(cs) == -1)
        return -1;
    VBar().SetPager(new BScrollPagerYline);
    AddLine(new DetailsPaneLine);
    return 0;
}

void DetailsPane::UpdateCount() {
    VBar().rangeStart = 0;
    VBar().rangeEnd = 0;
}

LRESULT DetailsPane::OnOptions(WPARAM what, LPARAM lparam) {
    if (what == 1 && lparam)
        ApplyListOptions(*this, *reinterpret_cast<const Options*>(lparam));
    return 0;
}
