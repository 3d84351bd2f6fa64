#pragma once
// A disassembly page over a document without a file or window: memory-only data segments, items made
// straight in the address map, the document's own stores, and a scroller whose track maps one pixel
// to one byte (or has no track at all). The pane's steps (range set-up, refill before a paint) are
// played by hand. Used by the page tests and the page benchmark.

#include "app/DizaPage.h"
#include "core/SectionLock.h"
#include "document/DizaWalk.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "toolkit/BScrollerModel.h"

#include <string>
#include <vector>

class QuietHost : public BDocumentHost {
public:
    void AttachDocument(FileParseThread*, int32_t) override {}
    intptr_t NotifyWindows(uint32_t, uintptr_t, intptr_t, bool) override { return 0; }
    void SendNotify(uint32_t, uintptr_t, intptr_t) override {}
    void Post(uint32_t, uintptr_t, intptr_t) override {}
    void UpdateTabTitle() override {}
    void Relayout() override {}
    void RepaintSideTabs() override {}
    void OnClosing() override {}
    void CloseCancelQuestion() override {}
    void ShowProgress(const wchar_t*) override {}
    void PumpMessages() override {}
    bool CommentPaneVisible() override { return commentPane; }
    bool commentPane = true;
};

class LineLog : public BLogSink {
public:
    void AddLine(const wchar_t* text, bool) override { lines.push_back(text); }
    std::vector<std::wstring> lines;
};

class TrackScroller : public BScrollerModel {
public:
    int32_t TrackLength() override { return track; }
    int32_t track = 0;
};

class HeadlessPage : public BDizaPageOwner {
public:
    HeadlessPage() : doc(&host), page(new DizaPage(this)) {
        doc.Log().SetSink(&log);
        scroller.SetPager(page);
    }
    FileParseThread* PageDocument() override { return attached ? &doc : nullptr; }
    int64_t PageRangeStart() override { return scroller.rangeStart; }

    void AddSegment(int64_t address, int64_t size) { doc.AddDataSegment(address, 0, 0, size); }
    // Data items of `size` bytes, one per line, over [start, end).
    void MakeItems(int64_t start, int64_t end, int size) {
        SectionLock lock(doc.FileLock());
        for (int64_t a = start; a < end; a += size)
            doc.Map().AddDataItem(a, size, 1);
    }
    void Collapse(int64_t start, int64_t end, bool collapsed = true) {
        SectionLock lock(doc.FileLock());
        doc.stores.collapses.Add(start, end);
        if (collapsed)
            doc.stores.collapses.SetCollapsed(start);
    }
    // What the pane does when the segments are first announced: the range, then the page at the start.
    void Announce() {
        {
            SectionLock lock(doc.FileLock());
            const SegmentMap& s = doc.Segments();
            scroller.rangeStart = s.lowestAddress;
            scroller.rangeEnd = s.lowestAddress + s.Distance(s.lowestAddress, s.highestEnd);
        }
        page->Start(1);
        scroller.top = scroller.rangeStart;
        // One pixel per byte: a thumb drag of d pixels moves d bytes.
        scroller.track = static_cast<int32_t>(scroller.RangeLength() - 1);
    }
    // What the pane does before each paint.
    void Paint(int32_t rows) {
        page->Refill(rows);
        scroller.page = rows;
        scroller.page64 = page->PageExtent();
        scroller.top = page->PositionOf(page->top.address);
    }
    // A scroller step as the pane runs it, then the paint.
    void Scroll(int code, int32_t value = 0) {
        scroller.Scroll(code, value);
        scroller.NormalizePosition();
        Paint(page->LineCount());
    }
    // Every display line of the file, walked one by one.
    std::vector<DizaLinePos> AllLines() {
        std::vector<DizaLinePos> all;
        DizaWalk walk(&doc);
        walk.SetAddress(doc.Segments().lowestAddress);
        while (walk.IsLine()) {
            all.push_back(walk.current);
            walk.NextLine();
        }
        return all;
    }

    QuietHost host;
    LineLog log;
    FileParseThread doc;
    TrackScroller scroller;
    DizaPage* page;   // the scroller's pager
    bool attached = true;
};
