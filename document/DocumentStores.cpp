#include "document/DocumentStores.h"

#include "document/DocumentHost.h"
#include "document/FileParseThread.h"

DocumentStores::DocumentStores(FileParseThread* document)
    : names(10240), lineComments(512), onlineComments(256), refers(document), document_(document) {}

void DocumentStores::ClearRange(int64_t start, int64_t end) {
    BDocumentHost* host = document_->Host();
    {
        SectionLock lock(document_->FileLock());
        collapses.RemoveWithin(start, end);
    }
    if (bookmarks.RemoveRange(start, end) > 0 && host)
        host->RepaintBookmarks();
    if (refers.RemoveRange(start, end) > 0 && host)
        host->RepaintRefers();
    for (int i = 0; i < 2; ++i) {
        FindResult* result = findResults[i];
        if (result && result->SearchesLines() && result->RemoveRange(start, end) > 0 && host)
            host->RepaintResultPane(result->paneIndex);
    }
}

void DocumentStores::OnRangeChanged(int64_t start, int64_t end) {
    if (document_->Host())
        document_->Host()->ReloadRange(start, end);
    if (!document_->refersWanted || document_->closing)
        return;
    refers.ScanRange(start, end);
    if (refers.ClearResultsIfInRange(start, end) && document_->Host())
        document_->Host()->RepaintRefers();
}

template <class Operation>
auto DocumentStores::Locked(Operation operation) {
    SectionLock lock(document_->FileLock());
    return operation();
}

bool DocumentStores::IsCollapsed(int64_t start) {
    return Locked([&] { return collapses.IsCollapsed(start); });
}

int64_t DocumentStores::CollapseEnd(int64_t start) {
    return Locked([&] { return collapses.FindEnd(start); });
}

int64_t DocumentStores::FindCollapsedContaining(int64_t address) {
    return Locked([&] { return collapses.FindCollapsedContaining(address); });
}

int64_t DocumentStores::FindCollapsedStartByEnd(int64_t address) {
    return Locked([&] { return collapses.FindCollapsedStartByEnd(address); });
}

void DocumentStores::ExpandAround(int64_t address) {
    Locked([&] { collapses.ExpandAround(address); });
}

void DocumentStores::RemoveCollapseAt(int64_t start) {
    Locked([&] { collapses.RemoveAt(start); });
}

bool DocumentStores::AddCollapse(int64_t start, int64_t end) {
    return Locked([&] { return collapses.Add(start, end); });
}

void DocumentStores::SetCollapsed(int64_t start) {
    Locked([&] { collapses.SetCollapsed(start); });
}

int DocumentStores::CommentLineCount(int64_t address) {
    return Locked([&] { return lineComments.LineCount(address); });
}

int DocumentStores::NameCount(int64_t address) { return names.CountAt(address); }

// Every line, the one on the item's line too.
int DocumentStores::OnlineCommentLineCount(int64_t address) {
    return Locked([&] { return onlineComments.BComment::LineCount(address); });
}
