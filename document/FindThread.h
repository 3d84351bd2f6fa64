#pragma once
// The find jobs: a walk over the segments of a range that searches the texts of the display lines
// (FindLineThread, with a PatternMatcher) or the file's bytes (FindHexThread, with a ByteSearch), and
// fills one of the two find results. Jobs run in place and stop when the result's stop flag is set.

#include "core/DizaLinePos.h"
#include "core/StringW.h"
#include "document/BThread.h"
#include "document/ByteSearch.h"

#include <cstdint>
#include <memory>

class BFindHost;
class FileParseThread;
class FindContext;
class FindResult;
struct FindParameters;

// The find flags word.
enum : uint32_t {
    kFindModeMask = 0x0000000F,    // 0 line find, 1 hex find
    kFindLineMode = 0,
    kFindHexMode = 1,
    kFindPaneMask = 0x000000F0,    // result pane number + 1
    kFindPaneShift = 4,
    kFindBackward = 0x00000100,
    kFindFromCursor = 0x00000200,
    kFindSelection = 0x00000400,
    kFindCodeSegments = 0x00001000,
    kFindDataSegments = 0x00002000,
    kFindCodeLines = 0x00010000,
    kFindOtherLines = 0x00020000,
    kFindComments = 0x00040000,
    kFindOem = 0x01000000,
    kFindCase = 0x02000000,
};

// The texts of display lines as the disassembly pane shows them. The pane supplies its own; this one
// builds them from the line models and the stores.
class DizaLineModels;

class BFindLines {
public:
    virtual ~BFindLines() = default;
    // The models of the walk that runs the find (null: a model is made for each line).
    DizaLineModels* models = nullptr;
    // The text of an item's own line; false when it has none.
    virtual bool BodyText(FileParseThread* document, const DizaLinePos& line, StringW& text);
    // The first line of the on-line comment at the address; false when there is none.
    virtual bool OnlineComment(FileParseThread* document, int64_t address, StringW& text);
    // The text of a comment line, a name line or an on-line comment's continuation line.
    virtual bool SubLineText(FileParseThread* document, const DizaLinePos& line, StringW& text);
};

class BFindThread : public BThread {
public:
    BFindThread(FileParseThread* document, FindContext* context) : document(document), context(context) {}
    ~BFindThread() override = default;

    void Run() override;
    virtual bool Prepare() = 0;
    // Over [currentStart, currentEnd); false when the find was stopped.
    virtual bool SearchBackward() = 0;
    virtual bool SearchForward() = 0;
    virtual void Finish() {}

    void SetParameters(const FindParameters& parameters);
    int PaneNumber() const { return static_cast<int>((flags & kFindPaneMask) >> kFindPaneShift); }
    // After a hit or a line at the address: a set stop flag keeps the address and stops the find.
    // Every kPollEvery calls the host first gets to handle the input that stops a find.
    bool StopAt(int64_t address);
    static constexpr uint32_t kPollEvery = 256;
    // The host handles the input that stops a find (the job runs on the user-interface thread): the
    // first time at once, then at most once every kPollMs, as each look at the queue is a round trip
    // to the window system that costs more than hundreds of lines.
    void Poll();
    static constexpr uint32_t kPollMs = 50;

    FileParseThread* document;
    FindContext* context;
    BFindHost* host = nullptr;   // borrowed; none in a job without windows
    StringW text;
    uint32_t flags = 0;
    int64_t rangeStart = -1;
    int64_t rangeEnd = -1;
    FindResult* result = nullptr;
    int64_t currentStart = -1;
    int64_t currentEnd = -1;

protected:
    int64_t position_ = -1;   // the last address looked at
    uint32_t calls_ = 0;      // StopAt calls, for the polls
    bool polled_ = false;
    uint32_t lastPoll_ = 0;   // tick count of the last poll
};

class BFindThreadString : public BFindThread {
public:
    static constexpr int kChunkSize = 0x200000;
    using BFindThread::BFindThread;

protected:
    // The read buffer, made on first use.
    uint8_t* Buffer();

    std::unique_ptr<uint8_t[]> buffer_;
    ByteSearch search_;
};

class FindHexThread : public BFindThreadString {
public:
    using BFindThreadString::BFindThreadString;

    bool Prepare() override;
    bool SearchBackward() override;
    bool SearchForward() override;
    virtual int32_t PatternLength() { return search_.Length(); }
    // The hits in `count` bytes read at `address`; false when stopped.
    virtual bool ScanChunkForward(int64_t address, int32_t count);
    virtual bool ScanChunkBackward(int64_t address, int32_t count);

    // Bytes at a hit: two upper-case digits a byte, blanks between, at most 85 bytes.
    static StringW HexText(const uint8_t* bytes, int count);
    // "8B ?? 24", "8B??24", "8b ?? 24": pattern and mask ("??" any byte); false for anything else or
    // more than 520 items.
    static bool ParsePattern(const wchar_t* text, uint8_t* pattern, uint8_t* mask, int& length);

private:
    bool AddHit(int64_t address, const uint8_t* bytes);
    // Reads up to `count` bytes at the address into the buffer; the bytes delivered.
    int32_t ReadChunk(int64_t address, int32_t count);
};

class FindLineThread : public BFindThread {
public:
    FindLineThread(FileParseThread* document, FindContext* context, BFindLines* lines)
        : BFindThread(document, context), lines(lines) {}

    bool Prepare() override;
    bool SearchBackward() override;
    bool SearchForward() override;

    BFindLines* lines;

private:
    // Matches one display line; false when the find was stopped.
    bool MatchLine(const DizaLinePos& line);
    // Lends the walk's line models to the line texts for one search.
    class ModelsLent;

    StringW lineText_;   // the text matched, its room kept from line to line
};
