#pragma once
// The text selection of a multi-zone pane: either characters inside one zone of one line (a word or
// a run of characters picked by dragging sideways) or a range of whole lines. Lines are 64-bit line
// positions of the pane's pager; columns are character indexes in the zone's text.
//
//   sel.Begin(dc, zone, line, x, y);      // on the press
//   sel.OnMouseMove(zone, line2, x2, y2); // while dragging
//   sel.EndDrag();                        // a press without a drag clears it
//   pager->SelectionClass(s, row, &sel);  // rows ask LineMark

#include "core/StringW.h"
#include "toolkit/ScrollPager.h"

#include <cstdint>
#include <vector>

class BZone;
class BZoneChar;
class CDC;

class TextSelection : public BLineSelection {
public:
    static constexpr int64_t kNoLine = 0x7FFFFFFFFFFFFFFF;
    static constexpr int32_t kNoColumn = static_cast<int32_t>(0x80000001u);
    static constexpr int32_t kWholeLines = -1;
    enum : uint8_t {
        kAllowed = 0x01,       // selecting at all
        kLinesAllowed = 0x02,  // whole-line selection
        kWordsAllowed = 0x04,  // characters within a zone
        kDragging = 0x80,
    };

    // A press at page point (x, y) on a zone of a line; a negative line clears the selection.
    void Begin(CDC& dc, BZone* zone, int64_t line, int32_t x, int32_t y);
    void OnMouseMove(BZone* zone, int64_t line, int32_t x, int32_t y);
    void EndDrag();
    void Clear();
    // 0 outside a line selection, 1 on a one-line selection, 2 inside a selection of several lines.
    int32_t LineMark(int64_t line) const override;
    // `count` lines were removed from `line` on: the selection moves up with the text.
    void LinesRemoved(int64_t line, int64_t count);

    bool HasAnchor() const { return anchorLine != kNoLine; }
    bool IsLineSelection() const { return HasAnchor() && currentColumn == kWholeLines; }

    int32_t pressX = 0;
    int32_t pressY = 0;
    int64_t anchorLine = kNoLine;
    int64_t firstLine = kNoLine;
    int64_t lastLine = kNoLine;
    int32_t anchorColumn = kNoColumn;
    int32_t currentColumn = kNoColumn;
    BZoneChar* zone = nullptr;
    std::vector<int> offsets;
    StringW zoneText;
    StringW selectedText;
    uint8_t flags = 127;

private:
    void UpdateSelectedText();
};
