#pragma once
// Text zones: zones that show characters. BZoneChar measures a character cell from the font, keeps
// two per-character bit maps (search matches, highlight ranges) painted as coloured runs under the
// text, aligns the text and finds the character and the word under an x. Kinds: plain strings,
// hexadecimal numbers, strings with preset font/colour pairs, hex dumps of bytes, and strings coloured
// character by character through a ZoneDrawContext.

#include "core/StringW.h"
#include "toolkit/BZone.h"

#include <windows.h>

#include <cstdint>
#include <vector>

class Options;
class PatternMatcher;

// A growable bit set; a set that is not valid answers every test with false.
class BBitNumber {
public:
    virtual ~BBitNumber() = default;
    // Valid with n bits, all clear.
    void Resize(int n);
    // Bits start..start+count-1 that lie below the count; nothing for start < 0 or count <= 0.
    void SetBits(int start, int count);
    bool Test(int i) const;
    void Invalidate() { valid = false; }
    bool IsEmpty() const { return !valid || bitCount == 0; }

    std::vector<uint8_t> data;
    int32_t bitCount = 0;
    bool valid = false;
};

class ColorMap : public BBitNumber {
public:
    COLORREF color = 0;
};

class BZoneChar : public BZone {
public:
    BZoneChar(int id, uint32_t flags, int charCount);

    void MarkMatches(const wchar_t* text, int length) override;
    BZone* SetMatchColor(COLORREF colour) override;
    BZone* SetHighlightColor(COLORREF colour) override;
    void SetFont(CFont* font) override;
    int MeasureWidth(CDC& dc) override;

    // The advance of every character, then 0, then the width of the whole text; returns that width.
    virtual int GetCharOffsets(CDC& dc, std::vector<int>& offsets) = 0;
    virtual int TextWidth(int n);
    virtual const StringW& GetText() const = 0;
    virtual int CharsWidth(int n);

    // Where text of that width starts by the alignment flags (0 without one).
    int TextLeft(int textWidth) const;
    // The character under x for the offsets of GetCharOffsets: -1 left of the text, the count past it.
    int ColumnAt(const std::vector<int>& offsets, int x) const;
    // The word under page x in a row of the pane; empty when none.
    StringW WordAt(BMultiZone* pane, int row, int x);
    // The run of word characters (letters, digits, "._$@#`") around index; empty when none there.
    static StringW FindWord(const StringW& text, int index);
    static bool IsWordChar(wchar_t c);

    int32_t cellWidth = 0;
    int32_t charCount;
    int32_t charsPerUnit = 1;
    ColorMap matchMap;
    ColorMap highlightMap;

protected:
    // Paints the runs of set bits in the map's colour under the text (none for row mark 2).
    void DrawRanges(CDC& dc, const RECT& r, const ColorMap& map);
    // The markers of a text cut at the left (x < r.left) or right (x + w > r.right) of r.
    void DrawOverflowMarkers(CDC& dc, const RECT& r, int x, int w, int top, int bottom);
    void MeasureCell();
};

// The marks a find left on a line: the text they belong to, a start and a length in characters.
struct ZoneFoundMarks {
    const wchar_t* text = nullptr;
    int32_t start = -1;
    int32_t length = 0;
};

// What a text zone asks of a document's find state to highlight a line's finds.
class BZoneFindSource {
public:
    virtual ~BZoneFindSource() = default;
    // The find context reports a find and a find-result list is current.
    virtual bool HasCurrentFind() = 0;
    // The current list's found marks of the line; false when it has none.
    virtual bool FoundMarks(int64_t line, ZoneFoundMarks& marks) = 0;
    // The current list's pattern matcher, null when it has none.
    virtual PatternMatcher* Matcher() = 0;
};

// The line a zone is filled for: its document (as a find source) and its 64-bit line address.
struct ZoneLineRecord {
    BZoneFindSource* document = nullptr;
    int64_t line = -1;
};

class BZoneString : public BZoneChar {
public:
    BZoneString(int id, uint32_t flags, int charCount) : BZoneChar(id, flags, charCount) {}
    int Draw(CDC& dc, int left, int top, int right, int bottom) override;
    int GetCharOffsets(CDC& dc, std::vector<int>& offsets) override;
    const StringW& GetText() const override { return text; }
    virtual void SetText(const wchar_t* value) { text = value; }

    void HighlightMatches(const ZoneLineRecord& record);
    bool HighlightRange(const ZoneFoundMarks& marks);

    StringW text;
};

class ZoneNumberHexAdapt : public BZoneString {
public:
    ZoneNumberHexAdapt(int id, uint32_t flags, int charCount, int digits)
        : BZoneString(id, flags, charCount), digitCount(digits) {}
    // All ones gives an empty text; above 8 digits the high half, a backquote and 8 low digits.
    void SetValue(uint64_t v);

    uint64_t value = 0;
    int32_t digitCount;
};

// A string whose first character 1..6 picks one of six further font/colour presets.
class ZoneStringPreset : public BZoneString {
public:
    static constexpr int kPresets = 7;
    ZoneStringPreset(int id, uint32_t flags, int charCount) : BZoneString(id, flags, charCount) {}
    void SetText(const wchar_t* value) override;
    // A null font keeps the preset's font.
    void SetPreset(int index, CFont* presetFont, COLORREF colour);
    BZone* SetTextColor(COLORREF colour) override;
    void SetFont(CFont* newFont) override;

    CFont* presetFonts[kPresets] = {};
    COLORREF presetColors[kPresets] = {};
    int32_t preset = 0;
};

// Bytes as hexadecimal pairs; the character count counts bytes.
class BZoneDump : public BZoneChar {
public:
    BZoneDump(int id, uint32_t flags, int byteCount);
    int Draw(CDC& dc, int left, int top, int right, int bottom) override;
    int GetCharOffsets(CDC& dc, std::vector<int>& offsets) override;
    const StringW& GetText() const override { return text; }
    int TextWidth(int n) override;
    int CharsWidth(int n) override;
    int MeasureWidth(CDC& dc) override;
    // Called before each byte is drawn; a subclass may change colours per byte.
    virtual void OnDrawByte(CDC& dc, int index);

    void SetBytes(const uint8_t* bytes, int n);

    StringW text;
};

// The colours and fonts attribute bytes point into.
struct ZoneDrawContext {
    COLORREF back[8] = {};
    COLORREF text[8] = {};
    CFont* fonts[4] = {};   // not owned
    CFont ownFont;

    // Backgrounds 0-2, texts 0-7 and font 0 (the owned one, from "CodeFont") from the code colours.
    void FromOptions(const Options& options);
};

// One attribute byte per character: bits 0-2 background index, 3-5 text index, 6-7 font index.
class AttrLine {
public:
    AttrLine() { Init(); }
    void Init();
    // Length n + 1, all clear; a buffer too small is replaced (rounded up to 1024).
    void Reserve(int n);
    // count 0: up to the length.
    void SetBackIndex(int position, int index, int count);
    void SetTextIndex(int position, int index, int count);
    uint8_t At(int i) const { return i >= 0 && i < length ? buffer[i] : 0; }
    // Sets the DC's colours and font for character i where they differ from character i-1's.
    void DrawChar(int i, CDC& dc, const ZoneDrawContext& context);

    std::vector<uint8_t> buffer;
    int32_t capacity = 0;
    int32_t length = 0;
    int32_t textHeight = 0;

private:
    void SetField(int position, int count, uint8_t mask, uint8_t bits);
};

class BZoneColorString : public BZoneChar {
public:
    BZoneColorString(int id, uint32_t flags, int charCount, ZoneDrawContext* context)
        : BZoneChar(id, flags, charCount), context(context) {}
    int Draw(CDC& dc, int left, int top, int right, int bottom) override;
    int GetCharOffsets(CDC& dc, std::vector<int>& offsets) override;
    const StringW& GetText() const override { return text; }
    BZone* SetBackColor(COLORREF colour) override;
    BZone* SetTextColor(COLORREF colour) override;
    void SetFont(CFont* newFont) override;
    // A new text with all attributes clear.
    void SetText(const wchar_t* value);

    StringW text;
    AttrLine attrs;
    ZoneDrawContext* context;   // not owned

private:
    void WriteRuns(const ColorMap& map);
};
