#include "app/DizaPage.h"

#include "classlib/GdiObject.h"
#include "core/SectionLock.h"
#include "document/Diza.h"
#include "document/DizaMap.h"
#include "document/DizaWalk.h"
#include "document/FileParseThread.h"
#include "document/ItemStores.h"
#include "options/BColorTheme.h"
#include "toolkit/BScrollerModel.h"
#include "toolkit/ScrollMath.h"

#include <algorithm>

using diza::IsItemLine;

namespace {

constexpr int kMarkColor = 34;

bool IsLine(const DizaLinePos& p) { return p.line >= diza::kFirstMade; }

// Sets the walk on the last display line of the file.
void WalkToLastLine(BBDizaWalk& walk, int64_t highestEnd) {
    walk.SetAddress(highestEnd);
    if (!walk.IsLine())
        walk.PrevLine();
}

}  // namespace

FileParseThread* DizaPage::Laid() {
    FileParseThread* doc = owner ? owner->PageDocument() : nullptr;
    if (!doc)
        return nullptr;
    SectionLock lock(doc->FileLock());
    return doc->Segments().Count() > 0 ? doc : nullptr;
}

const DizaLinePos& DizaPage::Row(int32_t row) const {
    return row >= 0 && row <= lineCount && static_cast<size_t>(row) < table_.size() ? table_[row] : kNoLine;
}

// --- Moves.

int DizaPage::MoveTop(int lines) {
    FileParseThread* doc = Laid();
    if (!doc)
        return 0;
    DizaWalk walk(doc);
    walk.SetPosition(top);
    const int moved = walk.StepForward(lines);
    if (moved > 0 && walk.IsLine())
        top = walk.current;
    return moved;
}

void DizaPage::Top(BScrollerModel&) {
    FileParseThread* doc = Laid();
    if (!doc)
        return;
    DizaWalk walk(doc);
    walk.SetAddress(doc->Segments().lowestAddress);
    top = walk.current;
    currentRow = 0;
}

// The walk at the segments' end stands one past the last line; the last line goes on the last row.
void DizaPage::Bottom(BScrollerModel&) {
    FileParseThread* doc = Laid();
    if (!doc)
        return;
    DizaWalk walk(doc);
    WalkToLastLine(walk, doc->Segments().highestEnd);
    if (!walk.IsLine())
        return;
    walk.StepBack(lineCount - 1);
    top = walk.current;
    currentRow = std::max(lineCount - 1, 0);
}

int64_t DizaPage::LineUp(BScrollerModel&) {
    if (currentRow < 0)
        return 0;
    if (currentRow > 0)
        --currentRow;
    else
        MoveTop(-1);
    return 1;
}

int64_t DizaPage::LineDown(BScrollerModel&) {
    if (currentRow < 0 || lineCount <= 0)
        return 0;
    if (currentRow < lineCount - 1)
        ++currentRow;
    else if (IsLine(afterPage))
        MoveTop(1);
    return 1;
}

int64_t DizaPage::PageUp(BScrollerModel&) {
    if (!Laid())
        return 0;
    currentRow = MoveTop(-lineCount) > 0 ? std::max(lineCount - 1, 0) : 0;
    return lineCount;
}

int64_t DizaPage::PageDown(BScrollerModel&) {
    if (IsLine(afterPage)) {
        top = afterPage;
        currentRow = 0;
    } else {
        currentRow = std::max(lineCount - 1, 0);
    }
    return lineCount;
}

void DizaPage::TrackTo(BScrollerModel& s, int32_t pixels) {
    int64_t distance = s.PixelToPosition(pixels);
    if (distance == 0 || (distance > 0 && !IsLine(afterPage)))
        return;
    FileParseThread* doc = Laid();
    if (!doc)
        return;
    distance = std::max(distance, -scroll::kMax);
    DizaWalk walk(doc);
    const SegmentMap& segments = doc->Segments();
    int64_t target = segments.Step(top.address, distance);
    if (target <= segments.lowestAddress)
        target = segments.lowestAddress;
    else if (target >= segments.highestEnd)
        target = segments.highestEnd - 1;
    // Out of every folded range that hides the target, nested ones included.
    BItemStores& stores = StoresOf(doc);
    for (int64_t start; (start = stores.FindCollapsedContaining(target)) != -1;) {
        const int64_t end = stores.CollapseEnd(start);
        if (end <= target)
            break;
        target = end;
    }
    if (target >= segments.highestEnd)
        WalkToLastLine(walk, segments.highestEnd);
    else
        walk.SetAddress(target);
    if (!walk.IsLine())
        WalkToLastLine(walk, segments.highestEnd);
    if (walk.IsLine())
        top = walk.current;
}

bool DizaPage::SetCurrent(BScrollerModel&, int64_t) { return false; }

int64_t DizaPage::PositionOfRow(BScrollerModel&, int32_t row) {
    if (!valid || currentRow < 0 || row < 0 || row >= lineCount)
        return -1;
    return Row(row).address;
}

bool DizaPage::IsCurrentRow(BScrollerModel&, int32_t row) { return row == currentRow; }

int32_t DizaPage::SelectionClass(BScrollerModel&, int32_t row, const BLineSelection*) {
    if (selection.state == BlockSelection::kNone || lineCount == 0 || row < 0 || row > lineCount)
        return 0;
    const DizaLinePos& p = Row(row);
    if (!IsLine(p) || !selection.Contains(p))
        return 0;
    return selection.IsSingleAddress() ? 1 : 2;
}

int64_t DizaPage::GetCurrent(BScrollerModel&) { return 0; }

std::vector<int32_t> DizaPage::MarkOffsets(BScrollerModel& s, const RECT& track) {
    std::vector<int32_t> ys;
    FileParseThread* doc = Laid();
    if (!doc)
        return ys;
    SectionLock lock(doc->FileLock());
    const SegmentMap& segments = doc->Segments();
    int64_t y = track.top - 1;
    for (int i = 0; i + 1 < segments.Count(); ++i) {
        y += s.PositionToPixel(static_cast<uint64_t>(segments.Get(i)->sizeInMemory));
        ys.push_back(static_cast<int32_t>(std::min<int64_t>(y, INT32_MAX)));
    }
    return ys;
}

void DizaPage::DrawMarks(BScrollerModel& s, HDC dc, const RECT& track, const RECT& thumb) {
    const std::vector<int32_t> ys = MarkOffsets(s, track);
    if (ys.empty())
        return;
    CPen pen(PS_SOLID, 1, ThemeColor(kMarkColor));
    SelectGdi select(dc, pen.GetSafeHandle());
    const LONG middle = (track.right - track.left) / 2;
    for (int32_t y : ys) {
        if (::PtInRect(&thumb, POINT{ middle, y }))
            continue;
        ::MoveToEx(dc, track.left + 1, y, nullptr);
        ::LineTo(dc, track.right - 1, y);
    }
}

void DizaPage::MoveCurrent(BScrollerModel&, int64_t) {}

uint64_t DizaPage::RangeLength(BScrollerModel&) {
    FileParseThread* doc = Laid();
    if (!doc)
        return 0;
    SectionLock lock(doc->FileLock());
    const SegmentMap& segments = doc->Segments();
    uint64_t sum = 0;
    for (int i = 0; i < segments.Count(); ++i)
        sum += static_cast<uint64_t>(segments.Get(i)->sizeInMemory);
    return sum;
}

void DizaPage::Clamp(BScrollerModel& s) {
    if (!valid)
        return;
    s.top = PositionOf(top.address);
    // A scroller not yet sized has no rows to hold the cursor in.
    if (s.page > 0 && currentRow >= s.page)
        currentRow = s.page - 1;
}

int64_t DizaPage::GetRangeStart(BScrollerModel&) {
    FileParseThread* doc = Laid();
    if (!doc)
        return 0;
    SectionLock lock(doc->FileLock());
    return doc->Segments().lowestAddress;
}

int64_t DizaPage::GetRangeEnd(BScrollerModel&) {
    FileParseThread* doc = Laid();
    if (!doc)
        return 0;
    SectionLock lock(doc->FileLock());
    return doc->Segments().highestEnd;
}

// --- The table.

void DizaPage::Refill(int32_t rows) {
    const int32_t n = std::max(rows, 0);
    if (table_.size() < static_cast<size_t>(n) + 1)
        table_.resize(static_cast<size_t>(n) + 1, kNoLine);
    steps_.assign(static_cast<size_t>(n) + 1, -1);
    lineCount = n;
    // Until the segments are announced the top names no line to walk from.
    FileParseThread* doc = valid ? Laid() : nullptr;
    if (!doc) {
        std::fill(table_.begin(), table_.begin() + n + 1, kNoLine);
        currentRow = 0;
        afterPage = kNoLine;
        return;
    }
    const int32_t before = currentRow;
    {
        DizaWalk walk(doc);
        walk.SetPosition(top);
        int32_t itemRow = -1;   // the last item row whose length the walk has not yet stepped over
        for (int32_t i = 0; i <= n; ++i) {
            table_[i] = walk.current;
            if (!IsLine(walk.current)) {
                table_[i] = kNoLine;
                if (currentRow >= i)
                    currentRow = i - 1;
            }
            const int64_t at = walk.current.address;
            if (IsItemLine(walk.current.line))
                itemRow = i;
            walk.NextLine();
            if (itemRow >= 0 && walk.IsLine() && walk.current.address != at) {
                steps_[static_cast<size_t>(itemRow)] = walk.current.address;
                itemRow = -1;
            }
        }
    }
    if (currentRow < 0 && before >= 0)
        doc->Log().Print(L"%s", L"DP emergency mode");
    afterPage = table_[n];
}

int32_t DizaPage::StepLength(FileParseThread* doc, const DizaLinePos& line, int64_t next) {
    const int64_t address = line.address;
    if (next <= address || next - address > INT32_MAX)
        return -1;
    // A folded range is stepped over whole; a step out of the item's record may have jumped over unmade
    // bytes. Inside one record the walk went by the line's length, as the document counts it.
    if (StoresOf(doc).IsCollapsed(address))
        return -1;
    const DizaMap& map = doc->Map();
    const int record = map.FindFloor(address);
    // A make since the fill may have changed the item: its record must still be the row's.
    if (record < 0 || record != map.FindFloor(next - 1) || map.GetAt(record).kind != line.line)
        return -1;
    return static_cast<int32_t>(next - address);
}

bool DizaPage::Contains(int64_t address) {
    if (!IsLine(top) || address < top.address)
        return false;
    if (IsLine(afterPage))
        return address < afterPage.address;
    FileParseThread* doc = Laid();
    if (!doc)
        return false;
    SectionLock lock(doc->FileLock());
    return address < doc->Segments().highestEnd;
}

void DizaPage::EnsureTopInRange(int64_t start, int64_t end) {
    std::fill(steps_.begin(), steps_.end(), -1);
    if (top.address >= start && top.address < end)
        RewalkTop();
}

void DizaPage::RewalkTop() {
    // The items may have been made again: lengths come from the document until the next fill.
    std::fill(steps_.begin(), steps_.end(), -1);
    FileParseThread* doc = Laid();
    if (!doc)
        return;
    DizaWalk walk(doc);
    walk.SetAddress(top.address);
    top = walk.current;
}

int32_t DizaPage::LineQuery(int32_t row) {
    const DizaLinePos& p = Row(row);
    FileParseThread* doc = owner ? owner->PageDocument() : nullptr;
    if (!doc || !IsItemLine(p.line))
        return 0;
    SectionLock lock(doc->FileLock());
    if (row >= 0 && static_cast<size_t>(row) < steps_.size() && steps_[row] != -1) {
        const int32_t length = StepLength(doc, p, steps_[row]);
        if (length >= 0)
            return length;
    }
    return doc->QueryItemLength(p.address);
}

int32_t DizaPage::LineOfAddress(int64_t address) {
    if (address == -1 || lineCount <= 0)
        return -1;
    for (int32_t i = 0; i < lineCount; ++i) {
        const DizaLinePos& row = Row(i);
        if (!IsItemLine(row.line) || row.address > address)
            continue;
        // The item ends where a row of another address begins: its continuation lines share its address.
        int32_t j = i + 1;
        while (j <= lineCount && Row(j).address == row.address)
            ++j;
        if (j <= lineCount) {
            const DizaLinePos& next = Row(j);
            if (next.address == -1 || address < next.address)
                return i;
            continue;
        }
        FileParseThread* doc = owner ? owner->PageDocument() : nullptr;
        if (!doc)
            return -1;
        SectionLock lock(doc->FileLock());
        const int64_t size = CollapseLineSize(doc, row.address);
        if (scroll::Span(row.address, address) < static_cast<uint64_t>(std::max<int64_t>(size, 1)))
            return i;
    }
    return -1;
}

int32_t DizaPage::LineOfItem(const DizaLinePos& position) const {
    for (int32_t i = 0; i < lineCount; ++i)
        if (IsLine(Row(i)) && SameLine(Row(i), position))
            return i;
    return -1;
}

int64_t DizaPage::Distance(int64_t from, int64_t to) {
    FileParseThread* doc = Laid();
    if (!doc)
        return 0;
    SectionLock lock(doc->FileLock());
    return doc->Segments().Distance(from, to);
}

int64_t DizaPage::PositionOf(int64_t address) {
    const int64_t start = owner ? owner->PageRangeStart() : 0;
    return scroll::Add(start, Distance(start, address));
}

int64_t DizaPage::PageExtent() {
    FileParseThread* doc = Laid();
    if (!doc)
        return 0;
    int64_t end;
    {
        SectionLock lock(doc->FileLock());
        end = IsLine(afterPage) ? afterPage.address : doc->Segments().highestEnd;
    }
    return Distance(top.address, end);
}

// --- The pane's steps.

void DizaPage::Start(int32_t validFlag) {
    FileParseThread* doc = Laid();
    if (doc) {
        DizaWalk walk(doc);
        walk.SetAddress(doc->Segments().lowestAddress);
        top = walk.current;
    } else {
        top = kNoLine;
    }
    afterPage = top;
    currentRow = 0;
    valid = validFlag;
}

void DizaPage::Detach() {
    selection.Clear();
    valid = 0;
}
