#include "toolkit/ZoneText.h"

#include "document/PatternMatcher.h"
#include "options/Options.h"
#include "toolkit/ImageLists.h"
#include "toolkit/GuiMetrics.h"

#include <algorithm>
#include <cwchar>
#include <cstring>
#include <cwctype>
#include <memory>

// ---- bit sets

void BBitNumber::Resize(int n)
{
    if (n < 0) n = 0;
    if (n != bitCount || data.size() != static_cast<size_t>((n + 7) / 8)) {
        data.assign(static_cast<size_t>((n + 7) / 8), 0);
        bitCount = n;
    } else {
        std::fill(data.begin(), data.end(), 0);
    }
    valid = true;
}

void BBitNumber::SetBits(int start, int count)
{
    if (start < 0 || count <= 0) return;
    int end = std::min(bitCount, start + std::min(count, bitCount));
    for (int i = start; i < end; ++i) data[static_cast<size_t>(i) >> 3] |= static_cast<uint8_t>(1u << (i & 7));
}

bool BBitNumber::Test(int i) const
{
    if (!valid || i < 0 || i >= bitCount) return false;
    return (data[static_cast<size_t>(i) >> 3] >> (i & 7)) & 1;
}

// ---- BZoneChar

BZoneChar::BZoneChar(int id, uint32_t flags, int charCount) : BZone(id, flags, 0), charCount(charCount)
{
    margin = 4;
    marksMatches = true;
}

void BZoneChar::MarkMatches(const wchar_t* search, int length)
{
    if (hidden || !marksMatches) return;
    matchMap.Invalidate();
    const StringW& text = GetText();
    if (length < 1 || !search || text.Length() < length) return;
    matchMap.Resize(text.Length());
    StringW needle(search, static_cast<size_t>(length));
    for (int at = text.FindNoCase(needle.c_str(), 0); at >= 0; at = text.FindNoCase(needle.c_str(), at + 1))
        matchMap.SetBits(at, length);
}

BZone* BZoneChar::SetMatchColor(COLORREF colour)
{
    matchMap.color = colour;
    return this;
}

BZone* BZoneChar::SetHighlightColor(COLORREF colour)
{
    highlightMap.color = colour;
    return this;
}

void BZoneChar::MeasureCell()
{
    if (!font || font->IsNull()) return;
    HFONT f = *font;
    cellWidth = (flags & kHexCell) ? CharCellFromSample(f).cx : CharCellFromMetrics(f).cx;
}

void BZoneChar::SetFont(CFont* newFont)
{
    font = newFont;
    MeasureCell();
    int w = TextWidth(charCount);
    if (width != 0) {
        maxWidth = w;
    } else {
        // A column collapsed to 0 by the user stays collapsed.
        bool wasUnsized = maxWidth == 0;
        maxWidth = w;
        if (wasUnsized) width = w;
    }
}

int BZoneChar::MeasureWidth(CDC& dc)
{
    const StringW& text = GetText();
    HGDIOBJ old = font ? dc.SelectObject(*font) : nullptr;
    SIZE size = dc.GetTextExtent(text);
    if (old) ::SelectObject(dc, old);
    return size.cx + 2 * margin;
}

int BZoneChar::TextWidth(int n) { return n * cellWidth + 2 * margin; }
int BZoneChar::CharsWidth(int n) { return n * cellWidth; }

int BZoneChar::TextLeft(int textWidth) const
{
    if (flags & kAlignLeft) return rect.left + margin;
    if (flags & kAlignRight) return rect.right - margin - textWidth;
    if (flags & kAlignCenter) return (rect.left + rect.right - textWidth) / 2;
    return 0;
}

int BZoneChar::ColumnAt(const std::vector<int>& offsets, int x) const
{
    if (offsets.size() < 2) return -1;
    int n = static_cast<int>(offsets.size()) - 2;
    int start = TextLeft(offsets.back());
    if (x < start) return -1;
    int sum = 0;
    for (int i = 0; i < n; ++i) {
        sum += offsets[i];
        if (sum > x - start) return i;
    }
    return n;
}

bool BZoneChar::IsWordChar(wchar_t c)
{
    return std::iswalnum(static_cast<wint_t>(c)) || (c && std::wcschr(L"._$@#`", c));
}

StringW BZoneChar::FindWord(const StringW& text, int index)
{
    if (index < 0 || index >= text.Length() || !IsWordChar(text[index])) return StringW();
    int first = index, last = index;
    while (first > 0 && IsWordChar(text[first - 1])) --first;
    while (last + 1 < text.Length() && IsWordChar(text[last + 1])) ++last;
    return StringW(text.c_str() + first, static_cast<size_t>(last - first + 1));
}

void BZoneChar::DrawRanges(CDC& dc, const RECT& r, const ColorMap& map)
{
    if (rowMark == 2 || map.IsEmpty()) return;
    std::vector<int> advances;
    int total = GetCharOffsets(dc, advances);
    int start = TextLeft(total);
    int n = std::min(static_cast<int>(advances.size()) - 2, map.bitCount);
    std::vector<int> prefix(static_cast<size_t>(n) + 1, 0);
    for (int i = 0; i < n; ++i) prefix[i + 1] = prefix[i] + advances[i];
    for (int s = 0; s < n;) {
        if (!map.Test(s)) { ++s; continue; }
        int e = s;
        while (e < n && map.Test(e)) ++e;
        if (s % charsPerUnit == 0) {
            RECT run{std::max<int>(start + prefix[s], rect.left), r.top,
                     std::min<int>(start + prefix[e], rect.right), r.bottom};
            if (run.right > run.left) dc.FillSolidRect(run, map.color);
        }
        s = e;
    }
}

void BZoneChar::DrawOverflowMarkers(CDC& dc, const RECT& r, int x, int w, int top, int bottom)
{
    if (flags & kNoOverflow) return;
    int y = top + (bottom - top - 5) / 2;
    if (x < r.left) MarkerGlyphs().Draw(dc, 0, r.left - margin, y, ILD_TRANSPARENT);
    if (x + w > r.right) MarkerGlyphs().Draw(dc, 1, r.right + margin - 5, y, ILD_TRANSPARENT);
}

// ---- BZoneString

int BZoneString::GetCharOffsets(CDC& dc, std::vector<int>& offsets)
{
    HGDIOBJ old = font ? dc.SelectObject(*font) : nullptr;
    offsets.clear();
    for (wchar_t c : text) offsets.push_back(dc.GetTextExtent(&c, 1).cx);
    int total = dc.GetTextExtent(text).cx;
    offsets.push_back(0);
    offsets.push_back(total);
    if (old) ::SelectObject(dc, old);
    return total;
}

int BZoneString::Draw(CDC& dc, int, int top, int, int bottom)
{
    if (hidden) return 0;
    RECT r{rect.left, top, rect.right, bottom};
    if ((flags & kHatchEmpty) && text.empty()) {
        FillHatched(dc, r);
        return r.right - r.left;
    }
    r.left += margin;
    r.right -= margin;
    if (r.right <= r.left) return 0;
    DrawRanges(dc, r, highlightMap);
    DrawRanges(dc, r, matchMap);
    HGDIOBJ old = font ? dc.SelectObject(*font) : nullptr;
    COLORREF oldColour = dc.SetTextColor(textColor);
    int w = dc.GetTextExtent(text).cx;
    int x = TextLeft(w);
    dc.ExtTextOut(x, r.bottom, ETO_CLIPPED, &r, text.c_str(), text.Length());
    dc.SetTextColor(oldColour);
    if (old) ::SelectObject(dc, old);
    DrawOverflowMarkers(dc, r, x, w, top, bottom);
    return std::min<int>(r.right - r.left, w) + 2 * margin;
}

bool BZoneString::HighlightRange(const ZoneFoundMarks& marks)
{
    if (marks.start >= 0 && marks.length > 0 && marks.start < text.Length() &&
        marks.length <= text.Length() - marks.start) {
        highlightMap.Resize(text.Length());
        highlightMap.SetBits(marks.start, marks.length);
        return true;
    }
    highlightMap.Invalidate();
    return false;
}

void BZoneString::HighlightMatches(const ZoneLineRecord& record)
{
    highlightMap.Invalidate();
    if (text.empty() || !record.document || !record.document->HasCurrentFind()) return;
    ZoneFoundMarks marks;
    if (!record.document->FoundMarks(record.line, marks) || !HighlightRange(marks)) return;
    PatternMatcher* matcher = record.document->Matcher();
    if (!matcher) return;
    StringW part(text.c_str() + marks.start, static_cast<size_t>(marks.length));
    int guard = part.Length() + 1;   // each further hit lies past the last one
    for (int r = matcher->Match(part.c_str()); r == PatternMatcher::kHit && guard-- > 0; r = matcher->MatchNext())
        highlightMap.SetBits(marks.start + matcher->start, matcher->length);
}

// ---- number, preset

void ZoneNumberHexAdapt::SetValue(uint64_t v)
{
    value = v;
    wchar_t buffer[64] = {};
    if (v == ~uint64_t(0)) {
        buffer[0] = 0;
    } else if (digitCount > 8) {
        int high = digitCount - 9;
        swprintf(buffer, 64, L"%*.*X`%08X", high, high, static_cast<unsigned>(v >> 32), static_cast<unsigned>(v));
    } else {
        swprintf(buffer, 64, L"%*.*X", digitCount, digitCount, static_cast<unsigned>(v));
    }
    buffer[17] = 0;   // the text holds at most 17 characters
    text = buffer;
}

void BZone::SetNumber(const void* record, size_t offset)
{
    if (auto* number = dynamic_cast<ZoneNumberHexAdapt*>(this)) {
        uint64_t v = 0;
        std::memcpy(&v, static_cast<const uint8_t*>(record) + offset, sizeof v);
        number->SetValue(v);
    }
}

void ZoneStringPreset::SetText(const wchar_t* value)
{
    const wchar_t* shown = value ? value : L"";
    preset = 0;
    if (shown[0] >= 1 && shown[0] <= 6) preset = *shown++;
    text = shown;
    CFont* presetFont = presetFonts[preset] ? presetFonts[preset] : presetFonts[0];
    if (presetFont) font = presetFont;
    textColor = presetColors[preset];
}

void ZoneStringPreset::SetPreset(int index, CFont* presetFont, COLORREF colour)
{
    if (index < 0 || index >= kPresets) return;
    if (presetFont) presetFonts[index] = presetFont;
    presetColors[index] = colour;
}

BZone* ZoneStringPreset::SetTextColor(COLORREF colour)
{
    presetColors[0] = colour;
    return this;
}

void ZoneStringPreset::SetFont(CFont* newFont)
{
    presetFonts[0] = newFont;
    BZoneString::SetFont(newFont);
}

// ---- dump

BZoneDump::BZoneDump(int id, uint32_t flags, int byteCount) : BZoneChar(id, flags | 0x40001, byteCount)
{
    charsPerUnit = 2;
    marksMatches = false;
}

void BZoneDump::SetBytes(const uint8_t* bytes, int n)
{
    text.clear();
    int count = std::min(n, charCount);
    wchar_t pair[3];
    for (int i = 0; i < count; ++i) {
        swprintf(pair, 3, L"%02X", bytes[i]);
        text.append(pair, 2);
    }
}

int BZoneDump::TextWidth(int n) { return (n * (cellWidth + 1) + margin) * 2 - 2; }
int BZoneDump::CharsWidth(int n) { return n * (cellWidth + 1) * 2; }
int BZoneDump::MeasureWidth(CDC&) { return std::min(width, TextWidth(text.Length() / 2)); }
void BZoneDump::OnDrawByte(CDC&, int) {}

int BZoneDump::GetCharOffsets(CDC&, std::vector<int>& offsets)
{
    offsets.clear();
    int bytes = text.Length() / 2;
    for (int i = 0; i < bytes; ++i) {
        offsets.push_back(2 * cellWidth + 2);
        offsets.push_back(0);
    }
    int total = bytes * (2 * cellWidth + 2);
    offsets.push_back(0);
    offsets.push_back(total);
    return total;
}

int BZoneDump::Draw(CDC& dc, int, int top, int, int bottom)
{
    if (hidden) return 0;
    RECT r{rect.left + margin, top, rect.right - margin, bottom};
    if (r.right <= r.left) return 0;
    DrawRanges(dc, r, highlightMap);
    HGDIOBJ old = font ? dc.SelectObject(*font) : nullptr;
    COLORREF oldColour = dc.SetTextColor(textColor);
    int bytes = text.Length() / 2;
    int x = r.left;
    int result = bytes * (2 * cellWidth + 2) + 2 * margin - 2;
    for (int i = 0; i < bytes; ++i) {
        if (x + cellWidth - 1 > r.right) { result = -1; break; }
        OnDrawByte(dc, i);
        dc.ExtTextOut(x, r.bottom, ETO_CLIPPED, &r, text.c_str() + 2 * i, 1);
        if (x + 2 * cellWidth > r.right) { result = -1; break; }
        dc.ExtTextOut(x + cellWidth - 1, r.bottom, ETO_CLIPPED, &r, text.c_str() + 2 * i + 1, 1);
        x += 2 * cellWidth + 2;
    }
    dc.SetTextColor(oldColour);
    if (old) ::SelectObject(dc, old);
    if (result < 0) {
        if (!(flags & kNoOverflow))
            MarkerGlyphs().Draw(dc, 1, r.right + margin - 5, top + (bottom - top - 5) / 2, ILD_TRANSPARENT);
        return width;
    }
    return result;
}

// ---- draw context and attributes

void ZoneDrawContext::FromOptions(const Options& options)
{
    const OptionsCodeColors& c = options.codeColors;
    back[0] = c.codeBk.value;
    back[1] = c.markerMk.value;
    back[2] = c.foundBk.value;
    text[0] = c.codeTxt.value;
    text[1] = c.addressTxt.value;
    text[2] = c.commentTxt.value;
    text[3] = c.mnemonicTxt.value;
    text[4] = c.registerTxt.value;
    text[5] = c.numberTxt.value;
    text[6] = c.memoryTxt.value;
    text[7] = c.nameTxt.value;
    HFONT made = nullptr;
    options.fonts.codeFont.CreateFont(made);
    ownFont.Attach(made);
    fonts[0] = &ownFont;
}

void AttrLine::Init()
{
    buffer.assign(512, 0);
    capacity = 512;
    length = 0;
}

void AttrLine::Reserve(int n)
{
    if (n < 0) n = 0;
    length = n + 1;
    if (capacity < length) {
        capacity = (length + 1023) / 1024 * 1024;
        buffer.assign(static_cast<size_t>(capacity), 0);
    }
    std::fill(buffer.begin(), buffer.begin() + length, 0);
}

void AttrLine::SetField(int position, int count, uint8_t mask, uint8_t bits)
{
    if (position < 0) return;
    int end = count == 0 ? length : std::min(length, position + count);
    for (int i = position; i < end; ++i) buffer[i] = static_cast<uint8_t>((buffer[i] & ~mask) | bits);
}

void AttrLine::SetBackIndex(int position, int index, int count)
{
    SetField(position, count, 0x07, static_cast<uint8_t>(index & 7));
}

void AttrLine::SetTextIndex(int position, int index, int count)
{
    SetField(position, count, 0x38, static_cast<uint8_t>((index & 7) << 3));
}

void AttrLine::DrawChar(int i, CDC& dc, const ZoneDrawContext& context)
{
    uint8_t a = At(i), before = i > 0 ? At(i - 1) : 0;
    if (i == 0 || (a & 0x07) != (before & 0x07)) dc.SetBkColor(context.back[a & 7]);
    if (i == 0 || (a & 0x38) != (before & 0x38)) dc.SetTextColor(context.text[(a >> 3) & 7]);
    if (i == 0 || (a & 0xC0) != (before & 0xC0)) {
        CFont* f = context.fonts[a >> 6];
        if (f && !f->IsNull()) {
            ::SelectObject(dc, *f);
            TEXTMETRICW tm{};
            dc.GetTextMetrics(&tm);
            textHeight = tm.tmHeight;
        }
    }
}

// ---- colour string

void BZoneColorString::SetText(const wchar_t* value)
{
    text = value;
    attrs.Reserve(text.Length());
}

BZone* BZoneColorString::SetBackColor(COLORREF colour)
{
    if (context) context->back[0] = colour;
    return this;
}

BZone* BZoneColorString::SetTextColor(COLORREF colour)
{
    textColor = colour;
    if (context) context->text[0] = colour;
    return this;
}

void BZoneColorString::SetFont(CFont* newFont)
{
    BZoneChar::SetFont(newFont);
    if (context) context->fonts[0] = newFont;
}

void BZoneColorString::WriteRuns(const ColorMap& map)
{
    if (rowMark == 2 || map.IsEmpty() || !context) return;
    int index = 7;
    for (int k = 0; k < 8; ++k)
        if (context->back[k] == map.color) { index = k; break; }
    int n = std::min(text.Length(), map.bitCount);
    for (int i = 0; i < n; ++i)
        if (map.Test(i)) attrs.SetBackIndex(i, index, 1);
}

int BZoneColorString::GetCharOffsets(CDC& dc, std::vector<int>& offsets)
{
    offsets.clear();
    HGDIOBJ oldFont = ::GetCurrentObject(dc, OBJ_FONT);
    COLORREF oldText = dc.GetTextColor(), oldBack = dc.GetBkColor();
    int total = 0;
    for (int i = 0; i < text.Length(); ++i) {
        if (context) attrs.DrawChar(i, dc, *context);
        int w = dc.GetTextExtent(text.c_str() + i, 1).cx;
        offsets.push_back(w);
        total += w;
    }
    ::SelectObject(dc, oldFont);
    dc.SetTextColor(oldText);
    dc.SetBkColor(oldBack);
    offsets.push_back(0);
    offsets.push_back(total);
    return total;
}

int BZoneColorString::Draw(CDC& dc, int, int, int, int bottom)
{
    if (hidden) return 0;
    RECT r{rect.left + margin, bottom - lineHeight, rect.right - margin, bottom};
    if (r.right <= r.left || r.bottom <= r.top) return 0;
    WriteRuns(highlightMap);
    WriteRuns(matchMap);
    std::vector<int> advances;
    int total = GetCharOffsets(dc, advances);
    int x = TextLeft(total);
    HGDIOBJ oldFont = ::GetCurrentObject(dc, OBJ_FONT);
    COLORREF oldText = dc.GetTextColor(), oldBack = dc.GetBkColor();
    int cx = x;
    for (int i = 0; i < text.Length(); ++i) {
        int w = advances[i];
        if (cx + w > r.right) break;
        if (context) attrs.DrawChar(i, dc, *context);
        if (cx >= r.left) {
            wchar_t c = text[i] < 32 ? L'.' : text[i];
            RECT cell{cx, r.top, cx + w, r.bottom};
            dc.ExtTextOut(cx, r.bottom, ETO_OPAQUE | ETO_CLIPPED, &cell, &c, 1);
        }
        cx += w;
    }
    ::SelectObject(dc, oldFont);
    dc.SetTextColor(oldText);
    dc.SetBkColor(oldBack);
    DrawOverflowMarkers(dc, r, x, total, r.top, r.bottom);
    return std::min<int>(r.right - r.left, total) + 2 * margin;
}
