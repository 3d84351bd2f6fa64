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

bool DocumentStores::IsCollapsed(int64_t start) {
    SectionLock lock(document_->FileLock());
    return collapses.IsCollapsed(start);
}

int64_t DocumentStores::CollapseEnd(int64_t start) {
    SectionLock lock(document_->FileLock());
    return collapses.FindEnd(start);
}

int64_t DocumentStores::FindCollapsedContaining(int64_t address) {
    SectionLock lock(document_->FileLock());
    return collapses.FindCollapsedContaining(address);
}

int64_t DocumentStores::FindCollapsedStartByEnd(int64_t address) {
    SectionLock lock(document_->FileLock());
    return collapses.FindCollapsedStartByEnd(address);
}

void DocumentStores::ExpandAround(int64_t address) {
    SectionLock lock(document_->FileLock());
    collapses.ExpandAround(address);
}

void DocumentStores::RemoveCollapseAt(int64_t start) {
    SectionLock lock(document_->FileLock());
    collapses.RemoveAt(start);
}

bool DocumentStores::AddCollapse(int64_t start, int64_t end) {
    SectionLock lock(document_->FileLock());
    return collapses.Add(start, end);
}

void DocumentStores::SetCollapsed(int64_t start) {
    SectionLock lock(document_->FileLock());
    collapses.SetCollapsed(start);
}

int DocumentStores::CommentLineCount(int64_t address) {
    SectionLock lock(document_->FileLock());
    return lineComments.LineCount(address);
}

int DocumentStores::NameCount(int64_t address) { return names.CountAt(address); }

int DocumentStores::OnlineCommentLineCount(int64_t address) {
    SectionLock lock(document_->FileLock());
    return onlineComments.BComment::LineCount(address);   // every line, the one on the item's line too
}
