#pragma once
// Line models: what one line of a made item says (where the line that holds an address starts, its
// length, its text, the byte under a text column, its other representations). The factory makes one
// for an address-map record or a page line position; the caller asks and deletes it. Callers hold the
// document's file lock; a model never keeps a pointer into the map.
//
//   std::unique_ptr<BDizaLine> line(MakeDizaLine(document, record));
//   if (BDizaBodyLine* body = line->Body()) { body->BuildText(); use(body->text); }

#include "core/StringW.h"
#include "decode/BDecodeEngine.h"
#include "document/Diza.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

class FileParseThread;

// Named texts about a line (the show-as rows): each with the line's text in one representation and
// the kind word that shows the line so.
struct DizaProperty {
    StringW name;
    StringW text;
    int64_t address;
    uint32_t kind;
};
using DizaPropertyList = std::vector<DizaProperty>;

class BDizaBodyLine;

class BDizaLine {
public:
    BDizaLine(FileParseThread* document, const Diza& record)
        : document(document), address(record.address), kind(record.kind) {}
    virtual ~BDizaLine() = default;
    BDizaLine(const BDizaLine&) = delete;
    BDizaLine& operator=(const BDizaLine&) = delete;

    // The body model behind this line, null for a plain line.
    virtual BDizaBodyLine* Body() { return nullptr; }
    // Makes the model a fresh one of another record of its kind (models reused along a walk).
    virtual void Reset(const Diza& record) {
        address = record.address;
        kind = record.kind;
    }

    FileParseThread* document;
    int64_t address;
    uint32_t kind;
};

class BDizaBodyLine : public BDizaLine {
public:
    using BDizaLine::BDizaLine;

    BDizaBodyLine* Body() override { return this; }
    // Keeps the text's and the byte buffer's room.
    void Reset(const Diza& record) override;

    virtual void BuildText() = 0;
    // The start of the line of this item that holds the address; -1 for none.
    virtual int64_t LineStart(int64_t at) { (void)at; return -1; }
    virtual int32_t LineLength() { return 0; }
    // Narrows the rectangle to the text columns of the byte; false when the line has no byte columns.
    virtual bool HandleClick(HDC dc, const void* zone, int byteIndex, RECT& rect) {
        (void)dc, (void)zone, (void)byteIndex, (void)rect;
        return false;
    }
    // The address under a point of the line's text.
    virtual int64_t Address(const void* zone, int x, int y) { (void)zone, (void)x, (void)y; return address; }
    virtual int32_t Properties(DizaPropertyList& list) { (void)list; return 0; }
    // A key on a property row; `record` is the caller's record of the line.
    virtual bool OnKey(DizaPropertyList& list, Diza& record, int row, int key) {
        (void)list, (void)record, (void)row;
        return key == 13;
    }

    // The line's length clipped to the next record and to the segments' end (computed once).
    int32_t GetByteCount();
    // Reads the line's bytes once; null when nothing could be held.
    const uint8_t* LoadBytes();
    // The text column under a point (the pane measures), -1 when none.
    int ByteAtColumn(const void* zone, int x, int y);
    int64_t AddressAtColumn(const void* zone, int x, int y);

    StringW text;

protected:
    // Takes `count` (at most 16) bytes of a decode as the line's bytes.
    void LoadBytesFrom(const uint8_t* source, size_t count);
    // Narrows a rectangle to `columns` text columns starting at `first`.
    bool NarrowToColumns(HDC dc, const void* zone, int first, int columns, RECT& rect);

    uint8_t* bytes_ = nullptr;        // inline_ or heap_, null until loaded
    int32_t byteCount_ = -1;

private:
    uint8_t inline_[64];
    std::unique_ptr<uint8_t[]> heap_;
    size_t heapSize_ = 0;
};

// A new model for the record, owned by the caller; null when memory runs out.
BDizaLine* MakeDizaLine(FileParseThread* document, const Diza& record);

// A clone of the document's decode engine for one operation; null when the document has none.
class EngineHolder {
public:
    explicit EngineHolder(FileParseThread* document);
    BDecodeEngine* operator->() const { return engine_.get(); }
    BDecodeEngine* Get() const { return engine_.get(); }
    explicit operator bool() const { return engine_ != nullptr; }

private:
    std::unique_ptr<BDecodeEngine> engine_;
};

// One engine clone that remembers where it decoded last, so that a walk decodes each instruction once
// for its length and its text. Every decode of the clone goes through it.
class LineDecoder {
public:
    explicit LineDecoder(FileParseThread* document) : document_(document) {}
    // False when the document has no engine.
    bool Ready();
    // The instruction length at the address (as DecodeAt gives it); 1 without an engine.
    unsigned Decode(int64_t address);
    // The text and the 16 bytes of the instruction decoded last.
    const wchar_t* Text() { return engine_ ? engine_->GetText() : nullptr; }
    const uint8_t* Bytes() const { return engine_ ? engine_->GetBytes() : nullptr; }
    int64_t InsnStartAt(int64_t from, int64_t address);
    // Appends the starts of the instructions decoded forward from `from`, up to the one that covers
    // `address` (which comes last); at most kStartsSpan bytes before the address are decoded.
    static constexpr int64_t kStartsSpan = 480;
    void StartsUpTo(int64_t from, int64_t address, std::vector<int64_t>& starts);

private:
    FileParseThread* document_;
    std::unique_ptr<BDecodeEngine> engine_;   // cloned on first use
    bool cloned_ = false;
    int64_t at_ = -1;
    unsigned length_ = 0;
};
