#pragma once
// Comments of a document, one text per address, of one or more lines split at line feeds (every line
// feed starts a line, so empty lines stay where they are; a trailing one adds none; CRs are dropped).
// CommentLine holds the comments shown on lines of their own before an item; CommentOnline those shown
// on the item's own line, whose line operations give only the lines after the first. No lock of their
// own: callers hold the document's file lock.

#include "core/BMemoryCluster.h"
#include "core/StringW.h"
#include "core/TChunk.h"

#include <cstdint>

class BTextEditor;
class FileParseThread;

struct _COMMENT {
    int64_t address;
    const wchar_t* text;   // in the store's pool
};

// Lines of a comment text: 0 for an empty text; a trailing line feed adds none.
int32_t CountCommentLines(const wchar_t* text);
// Line n (from 0) of a comment text without its CRs; empty when there is no such line.
StringW CommentLineOf(const wchar_t* text, int n);

class BComment {
public:
    explicit BComment(int recordsPerChunk);
    virtual ~BComment() = default;
    BComment(const BComment&) = delete;
    BComment& operator=(const BComment&) = delete;

    virtual StringW GetLineText(int64_t address, int n);
    virtual int32_t LineCount(int64_t address);

    StringW Text(int64_t address) const;
    bool Has(int64_t address) const { return records_.Find(address) >= 0; }
    // A null or empty text removes the address's comment.
    void SetComment(int64_t address, const wchar_t* text);
    // The comment dialog ("Comment @ %s"); whether OK was chosen.
    bool EditDialog(BTextEditor* editor, FileParseThread* document, int64_t address);

    int Count() const { return records_.count; }
    _COMMENT At(int i) const { return records_[i]; }

protected:
    const wchar_t* RawText(int64_t address) const;

private:
    TChunkSortKey<_COMMENT, int64_t> records_;
    HStringMemory pool_;
};

class CommentLine : public BComment {
public:
    explicit CommentLine(int recordsPerChunk) : BComment(recordsPerChunk) {}
};

class CommentOnline : public BComment {
public:
    explicit CommentOnline(int recordsPerChunk) : BComment(recordsPerChunk) {}
    // The lines below the item's own line.
    StringW GetLineText(int64_t address, int n) override { return BComment::GetLineText(address, n + 1); }
    int32_t LineCount(int64_t address) override;
    // The first line, shown on the item's own line.
    StringW FirstLine(int64_t address) { return BComment::GetLineText(address, 0); }
};
