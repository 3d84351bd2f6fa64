#include "toolkit/TextSelection.h"

#include "classlib/DC.h"
#include "toolkit/ZoneText.h"

#include <algorithm>
#include <cstdlib>

void TextSelection::Begin(CDC& dc, BZone* hit, int64_t line, int32_t x, int32_t y) {
    selectedText.clear();
    if (!(flags & kAllowed) || !hit || !hit->marksMatches)
        return;
    if (line < 0) {
        Clear();
        return;
    }
    flags |= kDragging;
    pressX = x;
    pressY = y;
    anchorLine = firstLine = lastLine = line;
    currentColumn = kNoColumn;
    anchorColumn = kNoColumn;
    zone = nullptr;
    offsets.clear();
    zoneText.clear();
    auto* chars = dynamic_cast<BZoneChar*>(hit);
    if (chars && (hit->flags & (BZone::kAlignLeft | BZone::kAlignCenter | BZone::kAlignRight))) {
        zone = chars;
        chars->GetCharOffsets(dc, offsets);
        zoneText = chars->GetText();
        anchorColumn = chars->ColumnAt(offsets, x);
    }
}

void TextSelection::OnMouseMove(BZone* hit, int64_t line, int32_t x, int32_t y) {
    if (!(flags & kDragging))
        return;
    if (std::abs(y - pressY) <= 3 && hit == zone && zone && line == anchorLine && std::abs(x - pressX) > 3) {
        firstLine = lastLine = anchorLine;
        currentColumn = zone->ColumnAt(offsets, x);
        UpdateSelectedText();
    } else if (flags & kLinesAllowed) {
        currentColumn = kWholeLines;
        firstLine = std::min(anchorLine, line);
        lastLine = std::max(anchorLine, line);
        selectedText.clear();
    }
}

void TextSelection::UpdateSelectedText() {
    if (!(flags & kWordsAllowed))
        return;
    if (currentColumn >= 0 && !zoneText.empty()) {
        const int unit = zone ? std::max(zone->charsPerUnit, 1) : 1;
        const int from = std::max(std::min(anchorColumn, currentColumn), 0);
        const int to = std::min(std::max(anchorColumn, currentColumn) + unit - 1, zoneText.Length() - 1);
        selectedText.assign(zoneText, static_cast<size_t>(std::min(from, zoneText.Length())),
                            static_cast<size_t>(std::max(to - from + 1, 0)));
    } else if (currentColumn < 0 && !selectedText.empty()) {
        selectedText.clear();
    }
}

void TextSelection::EndDrag() {
    if (currentColumn == kNoColumn)
        Clear();
    flags &= static_cast<uint8_t>(~kDragging);
}

void TextSelection::Clear() {
    anchorLine = firstLine = lastLine = kNoLine;
    anchorColumn = currentColumn = kNoColumn;
    zone = nullptr;
    offsets.clear();
    zoneText.clear();
    selectedText.clear();
}

int32_t TextSelection::LineMark(int64_t line) const {
    if (!HasAnchor() || currentColumn != kWholeLines)
        return 0;
    if (line < firstLine || line > lastLine)
        return 0;
    return firstLine == lastLine ? 1 : 2;
}

void TextSelection::LinesRemoved(int64_t line, int64_t count) {
    if (count <= 0 || !HasAnchor())
        return;
    const int64_t end = line + count - 1;   // the last removed line
    if (lastLine < line)
        return;
    if (firstLine >= line && lastLine <= end) {
        Clear();
        return;
    }
    if (firstLine < line && lastLine <= end) {
        lastLine = line - 1;
    } else if (firstLine >= line && firstLine <= end) {
        firstLine = line;
        lastLine -= count;
    } else if (firstLine > end) {
        firstLine -= count;
        lastLine -= count;
    } else {
        lastLine -= count;   // it covers them all
    }
    // The anchor stays at one end of what is left.
    if (anchorLine > end)
        anchorLine -= count;
    anchorLine = std::min(std::max(anchorLine, firstLine), lastLine);
}
