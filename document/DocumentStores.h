#pragma once
// The stores of user and analysis data that a document holds besides its segments and address map:
// names, the two comment stores, collapses, bookmarks and refers; and the two steps every make takes
// around its range. The makers, line models and walkers reach them through BItemStores.

#include "document/BComment.h"
#include "document/BName.h"
#include "document/BookmarkStore.h"
#include "document/Collapse.h"
#include "document/ItemStores.h"
#include "document/ReferStore.h"

#include <cstdint>

class FileParseThread;
class FindResult;

class DocumentStores : public BItemStores {
public:
    explicit DocumentStores(FileParseThread* document);
    ~DocumentStores() override = default;
    DocumentStores(const DocumentStores&) = delete;
    DocumentStores& operator=(const DocumentStores&) = delete;

    // What lay in the range goes: collapses, bookmarks, refers from it, hits of the line finds.
    void ClearRange(int64_t start, int64_t end) override;
    // After a make: the page reads the range again; refers are scanned again when wanted, and the
    // refers list is filled again when it shows an address of the range.
    void OnRangeChanged(int64_t start, int64_t end) override;

    // What the makers, line models and walkers ask (each under the document's file lock).
    bool IsCollapsed(int64_t start) override;
    int64_t CollapseEnd(int64_t start) override;
    int64_t FindCollapsedContaining(int64_t address) override;
    int64_t FindCollapsedStartByEnd(int64_t address) override;
    void ExpandAround(int64_t address) override;
    void RemoveCollapseAt(int64_t start) override;
    bool AddCollapse(int64_t start, int64_t end) override;
    void SetCollapsed(int64_t start) override;
    int CommentLineCount(int64_t address) override;
    int NameCount(int64_t address) override;
    int OnlineCommentLineCount(int64_t address) override;
    bool RefersScanBusy(int64_t start, int64_t end) override { return refers.IsScanBusy(start, end); }

    GlobalName names;
    CommentLine lineComments;
    CommentOnline onlineComments;
    Collapse collapses;
    BookmarkStore bookmarks;
    ReferStore refers;
    // The find state's two results ("Find1", "Find2"), borrowed; null until it registers them.
    FindResult* findResults[2] = {};

private:
    // The operation under the document's file lock.
    template <class Operation>
    auto Locked(Operation operation);

    FileParseThread* document_;
};
