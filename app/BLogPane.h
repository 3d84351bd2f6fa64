#pragma once
// Log panes: scrolled panes of text lines kept in a fixed ring of characters (BTextRoll), where the
// oldest lines fall out when room is needed. The start screen's main log and each file's log are
// BLogPanes. A text's first character 1..6 draws it in one of the line's colour presets.

#include "core/StringW.h"
#include "document/DocumentHost.h"
#include "toolkit/BMultiZone.h"
#include "toolkit/BZoneLine.h"

#include <cstdint>
#include <memory>

class Options;
class ZoneStringPreset;

// Texts one after the other, each ended by a zero; the first is the oldest. The memory is fixed.
class BTextRoll {
public:
    explicit BTextRoll(uint32_t capacity);
    virtual ~BTextRoll() = default;
    BTextRoll(const BTextRoll&) = delete;
    BTextRoll& operator=(const BTextRoll&) = delete;

    // The number of oldest texts dropped to make room, or -1 when the text does not fit at all
    // (nothing stored). `continuation`: the text joins the last one. Leading backspaces each remove the
    // last character of the last text.
    int32_t AddText(const wchar_t* text, bool continuation);
    // Drops texts from the front until `length` characters are free; -1 when the capacity is smaller.
    int32_t MakeRoom(uint32_t length);
    // A text, or null when the ring is empty or the index is outside it.
    const wchar_t* GetText(int32_t index) const;
    int32_t GetLength(int32_t index) const;
    void Clear();

    uint32_t Capacity() const { return capacity_; }
    uint32_t Used() const { return used_; }
    int32_t Count() const { return count_; }

private:
    void DropFront(uint32_t characters);

    uint32_t capacity_;
    std::unique_ptr<wchar_t[]> buffer_;
    uint32_t used_ = 0;
    int32_t count_ = 0;
    // The last lookup, so that consecutive rows do not scan the ring from its start.
    mutable int32_t cachedIndex_ = -1;
    mutable uint32_t cachedOffset_ = 0;
};

// One zone: the text with its colour preset.
class LogLine : public BZoneLine {
public:
    static constexpr int kZoneId = 101;
    void CreateZones(BMultiZone* pane) override;
    void SetData(const void* item) override;
    ZoneStringPreset* text = nullptr;
};

class BLogPane : public BMultiZone, public BLogSink {
public:
    // A ring of (count & 0xFFFFFF) x 1024 characters.
    explicit BLogPane(int32_t count);
    ~BLogPane() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // A new line, or with the continue flag set the rest of the last line.
    void AddLine(const wchar_t* text);
    void AddLine(const wchar_t* text, bool continuation) override;
    void SetContinue() { continueNext = true; }
    void SetPrefix(wchar_t prefix) { pendingPrefix = prefix; }
    // Empties the ring and the selection.
    void ClearLog();
    // The selected text: whole lines each followed by CR LF, or the characters picked inside a line.
    StringW SelectedText() const;
    bool HasSelection() const { return selection.HasAnchor(); }
    // A new ring of that many 1024-character blocks, when the pane holds no text yet.
    void ResizeRing(int32_t count);
    BTextRoll& Ring() { return *ring_; }
    LogLine* Line() const { return line_; }

    void* GetItem(int row) override;
    void UpdateCount() override;
    int OnCreate(CREATESTRUCTW* cs) override;
    // 0x5E20, wparam 1: the log's font and colours.
    LRESULT OnOptions(WPARAM what, LPARAM options);
    virtual void ApplyOptions(const Options& options);

    wchar_t pendingPrefix = 0;
    bool continueNext = false;

protected:
    std::unique_ptr<BTextRoll> ring_;
    LogLine* line_ = nullptr;

private:
    static const MessageEntry kEntries[];
};
