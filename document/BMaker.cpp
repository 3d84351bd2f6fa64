#include "document/BMaker.h"

#include "document/BlockSelection.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "document/ItemStores.h"

#include <algorithm>

using namespace diza;

namespace {

BItemStores g_noStores;

bool RecordAt(const DizaMap& map, int64_t address) {
    const int i = map.FindFloor(address);
    return i >= 0 && map.GetAt(i).address == address;
}

}  // namespace

BItemStores& StoresOf(FileParseThread* document) {
    return document && document->itemStores ? *document->itemStores : g_noStores;
}

BDizaView* ViewOf(FileParseThread* document) { return document && document->Host() ? document->Host()->DizaView() : nullptr; }

BMaker::BMaker(FileParseThread* document) : document(document), lock_(document->FileLock()), decoder_(document) {}

BMaker::~BMaker() = default;

int64_t BMaker::SegmentEnd() const {
    const KSegment* s = document->Segments().Find(start);
    return s ? s->End() : -1;
}

bool BMaker::Make(int64_t startAddress, uint32_t size) {
    map = &document->Map();
    start = startAddress;
    runEnd = map->RunEnd(start);
    count = size;
    try {
        const KSegment* segment = document->Segments().Find(start);   // the maker holds the file lock
        if (!segment)
            throw EMaker(L"invalid address");
        if (runEnd == -1 || runEnd > segment->End())
            runEnd = segment->End();
        if (count == 0)
            throw EMaker(L"zero space");
        if (count != kNoSize && !segment->HoldsRange(start, count))
            throw EMaker(L"segments mismatch");
        lineStart = map->ItemAtOrNext(start, &decoder_).address;
        ComputeEnd();
        if (end <= start || !segment->Holds(end - 1))
            throw EMaker(L"no space");
        const Diza last = map->ItemAtOrNext(end - 1, &decoder_);
        touchedEnd = std::max(last.address + map->ItemLength(last.address, &decoder_), end);
        BItemStores& stores = StoresOf(document);
        if (stores.RefersScanBusy(lineStart, touchedEnd))
            throw EMaker(L"the address is busy by refers scan.");

        stores.ClearRange(lineStart, touchedEnd);
        if (IsPlainDump(map->ItemAt(lineStart).kind)) {
            map->RemoveMadeRange(start, touchedEnd);
        } else {
            map->RemoveMadeRange(lineStart, touchedEnd);
            if (lineStart != start)
                map->AddDumpItem(lineStart);
        }
        Apply();
        if (end != touchedEnd)
            map->AddDumpItem(end);
        if (!RecordAt(*map, touchedEnd) && !(IsPlainDump(last.kind) && end != touchedEnd))
            map->Put({ touchedEnd, last.kind });
        if (collapseWanted) {
            stores.RemoveCollapseAt(start);
            if (stores.AddCollapse(start, end) && collapseClosed)
                stores.SetCollapsed(start);
        }
        stores.OnRangeChanged(lineStart, touchedEnd);
        if (logWanted && Report())
            document->Log().Print(L"%s(%s-%s)", name, document->AddressText(start).c_str(),
                                  document->AddressText(end - 1).c_str());
        return true;
    } catch (const EMaker& e) {
        const StringW startText = document->AddressText(start);
        if (count == kNoSize)
            document->Log().Print(L"%s(%s) %s", name, startText.c_str(), e.reason);
        else
            document->Log().Print(L"%s(%s-%s) %s", name, startText.c_str(),
                                  document->AddressText(AddressPlus(start, static_cast<int64_t>(count) - 1)).c_str(), e.reason);
        return false;
    }
}

uint32_t BMaker::CountOfLength(int64_t length) {
    if (length < 0)
        return kNoSize;
    return static_cast<uint32_t>(std::min<int64_t>(length, kNoSize - 1));
}

bool BMaker::MakeAtCursor(BDizaView* pane) {
    if (!pane)
        return false;
    BlockSelection& block = pane->Selection();
    const uint32_t size = CountOfLength(block.Length(document));
    const int64_t at = size == kNoSize ? pane->GetCurrentAddress() : block.Start(document);
    if (!Make(at, size))
        return false;
    RefreshPane(pane);
    GotoEnd(pane);
    return true;
}

void BMaker::RefreshPane(BDizaView* pane) {
    pane->RewalkTop();
    document->NotifyWindows(kMsgSelectionChanged, 0, pane->PaneParam(), true);
    pane->Repaint();
}

void BMaker::GotoEnd(BDizaView*) {
    int64_t address = end;
    const int i = map->FindFloor(end);
    if (i >= 0 && map->GetAt(i).address == end && IsUnmade(map->GetAt(i).kind))
        address = end - 1;
    document->PostGotoAddress(address);
}
