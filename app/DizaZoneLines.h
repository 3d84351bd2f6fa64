#pragma once
// The zone lines that draw the rows of the disassembly pane, one per line kind: the item line (bookmark
// flag, refers class, fold mark, address, dump bytes, the coloured text), comment lines, name lines,
// the rows of an on-line comment's further lines and empty rows; and the comment pane's line. Each is
// filled for one row from the row's line model (a BDizaLine made by the pane) under the file lock.

#include "core/DizaLinePos.h"
#include "toolkit/BZoneLine.h"
#include "toolkit/ZoneIcon.h"
#include "toolkit/ZoneText.h"

#include <cstdint>
#include <functional>

class BDizaLine;
class FileDizaPane;
class FileParseThread;
class Options;

// Zone ids.
enum : int {
    kZoneBookmark = 11,
    kZoneRefers = 12,
    kZoneCollapse = 13,
    kZoneAddress = 14,
    kZoneDizaDump = 15,
    kZoneDizaBody = 16,
    kZoneOncomment = 17,
    kZoneCommentLine = 23,
    kZoneName = 33,
};

// Colour roles of the body text (the text colour index of each character).
namespace dizatext {
enum Role : int { kPlain, kAddress, kComment, kMnemonic, kRegister, kNumber, kMemory, kName };
// The length of a register name at `at` that is followed by one of " ,-+]*" or the end; 0 when none.
int RegisterNameAt(const wchar_t* text, int length, int at);
void ColorInstruction(const wchar_t* text, int length, AttrLine& attrs);
void ColorData(const wchar_t* text, int length, AttrLine& attrs);
// The colour role of character i (after one of the above).
inline int RoleAt(const AttrLine& attrs, int i) { return (attrs.At(i) >> 3) & 7; }
}  // namespace dizatext

// The disassembly pane a zone line draws for (the comment pane's lines too).
FileDizaPane* DizaPaneOf(BMultiZone* pane);

class ZoneDizaBody : public BZoneColorString {
public:
    ZoneDizaBody();
    void OnClick(BMultiZone* pane, int row, int x) override;
    // The text of a line of that item kind, with its colours, highlight matches and hex-find marks.
    void SetLine(FileParseThread* document, int64_t address, uint32_t kind, const wchar_t* text,
                 const StringW& highlight);
    ZoneDrawContext colours;
    BBitNumber found;
};

class ZoneDizaDump : public BZoneDump {
public:
    explicit ZoneDizaDump(int cells);
    // A new column shows this many cells at most (its separator drags it to all of them), so that the
    // text column keeps its room; a column at its full width follows the cell count.
    static constexpr int kFirstCells = 8;
    void SetFont(CFont* newFont) override;
    void OnClick(BMultiZone* pane, int row, int x) override;
    void OnDrawByte(CDC& dc, int index) override;
    // The bytes of the line that a hex find hit, or the span a text find found on a dump line.
    void MarkFinds(FileParseThread* document, int64_t address, uint32_t kind, int count);
    // The cells of the item's own bytes and those past them (theme entry 103).
    int32_t itemLength = 0;
    COLORREF ownColor = 0;

private:
    bool sized_ = false;
};

class ZoneCollapse : public BZone {
public:
    ZoneCollapse();
    int Draw(CDC& dc, int left, int top, int right, int bottom) override;
    void OnClick(BMultiZone* pane, int row, int x) override;
    void OnDblClick(BMultiZone* pane, int row, int x) override;
    int32_t collapseClass = 0;   // 0 none, 1 folded start, 2 open start, 3 inside, 4 last line
};

class ZoneBookmark : public ZoneMultiColorIcon {
public:
    ZoneBookmark();
    MultiColorIcon* GetIconSet() override;
    void OnClick(BMultiZone* pane, int row, int x) override;
};

class ZoneAddress : public ZoneNumberHexAdapt {
public:
    ZoneAddress();
    // A column at its full width follows the digit count.
    void SetFont(CFont* newFont) override;
};

class ZoneComment : public BZoneString {
public:
    explicit ZoneComment(int id);
    void OnClick(BMultiZone* pane, int row, int x) override;
};

// The base of the pane's lines: the row's position and the next row's, from the pane's page.
class DizaZoneline : public BZoneLine {
public:
    explicit DizaZoneline(int reserve) : BZoneLine(reserve) {}
    FileDizaPane* Pane() const { return DizaPaneOf(owner); }
    FileParseThread* Document() const;
    DizaLinePos RowPosition() const;
    DizaLinePos NextPosition() const;
    // Clears the row's draw state before the line is used for another row.
    virtual void ResetState() {}
    // The options of 0x5E20 (fonts are the pane's).
    virtual void ApplyOptions(const Options& options) { (void)options; }

protected:
    // The shared zones of a line before the item (comment, name, on-line comment rows).
    void ShareLeadZones(BMultiZone* pane);
    void FillLeadZones(const DizaLinePos& position);
    // A row before or after the item: the lead zones, and the text zone (when given) from the model.
    using LeadText = std::function<StringW(FileParseThread*, const BDizaLine&)>;
    void FillLeadRow(const void* item, BZoneString* text, const LeadText& textOf);
    int CollapseClassOf(const DizaLinePos& position) const;
};

class DizaBodyZoneline : public DizaZoneline {
public:
    DizaBodyZoneline() : DizaZoneline(8) {}
    void CreateZones(BMultiZone* pane) override;
    void SetData(const void* item) override;
    ZoneLineWidths Draw(CDC& dc, int row, int left, int top, int right, int bottom, bool highlighted) override;
    void ResetState() override { tick = false; }
    void ApplyOptions(const Options& options) override;
    // Brackets in "CodeClickAddress" around the cursor byte's dump cell and its body text.
    void DrawCursorMarks(CDC& dc, BDizaLine* model, int64_t cursor, int top, int bottom, COLORREF colour);

    ZoneBookmark* bookmark = nullptr;
    ZoneRefers* refers = nullptr;
    ZoneCollapse* collapse = nullptr;
    ZoneAddress* address = nullptr;
    ZoneDizaDump* dump = nullptr;
    ZoneDizaBody* body = nullptr;
    bool tick = false;
};

class DizaCommentlineZoneline : public DizaZoneline {
public:
    DizaCommentlineZoneline() : DizaZoneline(8) {}
    void CreateZones(BMultiZone* pane) override;
    void SetData(const void* item) override;
    ZoneComment* text = nullptr;
};

class DizaNameZoneline : public DizaZoneline {
public:
    DizaNameZoneline() : DizaZoneline(8) {}
    void CreateZones(BMultiZone* pane) override;
    void SetData(const void* item) override;
    BZoneString* text = nullptr;
};

class DizaCommentOnlineZoneline : public DizaZoneline {
public:
    DizaCommentOnlineZoneline() : DizaZoneline(8) {}
    void CreateZones(BMultiZone* pane) override;
    void SetData(const void* item) override;
};

class DizaNullZoneline : public DizaZoneline {
public:
    DizaNullZoneline() : DizaZoneline(1) {}
    void CreateZones(BMultiZone* pane) override;
    void SetData(const void*) override {}
};

// The comment pane's line: ";" and the on-line comment's line of the row.
class DizaOncommentZoneline : public DizaZoneline {
public:
    DizaOncommentZoneline() : DizaZoneline(1) {}
    void CreateZones(BMultiZone* pane) override;
    void SetData(const void* item) override;
    ZoneComment* text = nullptr;
};
