#include "app/PropertyCells.h"

#include "classlib/CommonDialogs.h"
#include "core/NumberText.h"
#include "core/SystemServices.h"
#include "options/BColorTheme.h"
#include "toolkit/InPlaceEdit.h"

#include <cwchar>

namespace {

void FillCell(HDC dc, const RECT& r, COLORREF colour) {
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &r, brush);
    ::DeleteObject(brush);
}

// The base look: the cell in theme colour 1 and the value text on one line.
void DrawTextCell(BProperty& property, HDC dc, const RECT& cell) {
    FillCell(dc, cell, ThemeColor(1));
    RECT text{cell.left + 4, cell.top, cell.right - 4, cell.bottom};
    StringW value = property.ToText();
    int mode = ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, value.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    ::SetBkMode(dc, mode);
}

RECT BrowseStrip(const RECT& cell) { return RECT{cell.right - kBrowseButtonWidth, cell.top, cell.right, cell.bottom}; }

void DrawBrowseButton(HDC dc, const RECT& cell, int edgeStyle) {
    RECT strip = BrowseStrip(cell);
    FillCell(dc, strip, ThemeColor(1));
    RECT button{strip.left, strip.top + 3, strip.right - 4, strip.bottom - 3};
    FillCell(dc, button, ThemeColor(1));
    ::DrawEdge(dc, &button, static_cast<UINT>(edgeStyle), BF_RECT);
}

void RedrawCell(BProperty& property, const PropertyEditContext& context) {
    HDC dc = ::GetDC(context.parent);
    HGDIOBJ old = ::SelectObject(dc, context.font);
    DrawPropertyCell(property, dc, context.cell);
    ::SelectObject(dc, old);
    ::ReleaseDC(context.parent, dc);
}

RECT DropRect(const PropertyEditContext& context, int height) {
    return RECT{context.cell.left, context.cell.top, context.cell.right, context.cell.top + height};
}

// A frame in theme colour 29 just inside the cell, and a row-high field centred in it.
RECT FramedField(const PropertyEditContext& context) {
    HDC dc = ::GetDC(context.parent);
    HBRUSH frame = ::CreateSolidBrush(ThemeColor(29));
    ::FrameRect(dc, &context.cell, frame);
    ::DeleteObject(frame);
    ::ReleaseDC(context.parent, dc);
    const RECT& c = context.cell;
    int top = (c.top + c.bottom - context.rowHeight) / 2;
    return RECT{c.left + 1, top, c.right - 1, top + context.rowHeight};
}

bool EditString(PString& property, const PropertyEditContext& context, const RECT& field) {
    StringW text = property.value;
    if (!PopupEdit(context.parent, field, context.font, text, 0)) return false;
    if (text == property.value) return false;
    property.value = text;
    return true;
}

bool EditBool(PBool& property, const PropertyEditContext& context) {
    StringW text = property.ToText();
    if (!PopupCombo(context.parent, DropRect(context, 4 * context.rowHeight), context.font, text, L"disable|enable", 0))
        return false;
    bool value = text == L"enable";
    if (value == property.value) return false;
    property.value = value;
    return true;
}

bool EditList(PList& property, const PropertyEditContext& context) {
    StringW text = property.ToText();
    if (!PopupCombo(context.parent, DropRect(context, 64 * context.rowHeight), context.font, text,
                    property.choices, 0))
        return false;
    int index = property.IndexOf(text.c_str());
    if (index < 0 || index == property.index) return false;
    property.index = index;
    return true;
}

bool EditInt(PInt& property, const PropertyEditContext& context) {
    int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    unsigned rows = static_cast<unsigned>(screenHeight / (context.rowHeight > 0 ? context.rowHeight : 1));
    unsigned span = static_cast<unsigned>(property.maximum) - static_cast<unsigned>(property.minimum) - 3u;
    if (span < rows) {
        StringW choices;
        for (int v = property.minimum; v <= property.maximum; ++v) {
            choices.Append(StringW(kFormat, v < property.maximum ? L"%d|" : L"%d", v).c_str());
        }
        StringW text = property.ToText();
        if (!PopupCombo(context.parent, DropRect(context, screenHeight), context.font, text, choices.c_str(), 0))
            return false;
        int64_t value = 0;
        if (!ParseNumber(text.c_str(), value, 10) || value == property.value) return false;
        property.value = static_cast<int>(value);
        return true;
    }
    RECT field = FramedField(context);
    StringW text = property.ToText();
    DWORD style = property.minimum >= 0 ? ES_NUMBER : 0;
    for (;;) {
        if (!PopupEdit(context.parent, field, context.font, text, style)) return false;
        int64_t value = 0;
        bool parsed = ParseNumber(text.c_str(), value, 10) && !text.empty();
        if (parsed && value >= property.minimum && value <= property.maximum) {
            if (value == property.value) return false;
            property.value = static_cast<int>(value);
            return true;
        }
        StringW message(kFormat, L"The number out range [%d,%d]", property.minimum, property.maximum);
        if (ShowMessageBox(context.parent, message.c_str(), L"", MB_RETRYCANCEL | MB_ICONWARNING) != IDRETRY)
            return false;
    }
}

bool EditDir(PDir& property, const PropertyEditContext& context) {
    RECT strip = BrowseStrip(context.cell);
    if (::PtInRect(&strip, context.click)) {
        property.edgeStyle = EDGE_SUNKEN;
        RedrawCell(property, context);
        wchar_t path[MAX_PATH] = {};
        CopyTextN(path, property.value.c_str(), 260);
        bool chosen = BrowseForFolder(path, context.parent, nullptr);
        property.edgeStyle = EDGE_RAISED;
        if (!chosen || property.value == path) return false;
        property.SetValue(path);
        return true;
    }
    HDC dc = ::GetDC(context.parent);
    FillCell(dc, strip, ThemeColor(1));
    ::ReleaseDC(context.parent, dc);
    // The strip is blanked; the text edit then takes the whole cell, as for a plain text value.
    StringW value = property.value;
    if (!PopupEdit(context.parent, FramedField(context), context.font, value, 0) || value == property.value) return false;
    property.SetValue(value.c_str());
    return true;
}

bool EditColor(PColor& property, const PropertyEditContext& context) {
    CColorDialog dialog(property.value, context.parent);
    if (dialog.DoModal() != IDOK || dialog.GetColor() == property.value) return false;
    property.value = dialog.GetColor();
    return true;
}

bool EditFont(PFont& property, const PropertyEditContext& context) {
    LOGFONTW initial = property.GetLogFont();
    CFontDialog dialog(&initial, CF_SCREENFONTS, context.parent);
    if (dialog.DoModal() != IDOK) return false;
    StringW face;
    face = dialog.GetFaceName().c_str();
    if (face.size() > static_cast<size_t>(PFont::kMaxFace)) face.resize(PFont::kMaxFace);
    int size = dialog.GetSize() / 10;
    bool italic = dialog.IsItalic();
    bool bold = dialog.GetWeight() == 700;
    if (size <= 0) return false;
    bool changed = face != property.face || size != property.size || italic != property.italic || bold != property.bold;
    property.face = face;
    property.size = size;
    property.italic = italic;
    property.bold = bold;
    return changed;
}

}  // namespace

void DrawPropertyCell(BProperty& property, HDC dc, const RECT& cell) {
    if (dynamic_cast<PWindowPos*>(&property)) return;
    if (auto* colour = dynamic_cast<PColor*>(&property)) {
        FillCell(dc, cell, colour->value);
        return;
    }
    if (auto* dir = dynamic_cast<PDir*>(&property)) {
        RECT text = cell;
        text.right -= kBrowseButtonWidth;
        DrawTextCell(property, dc, text);
        DrawBrowseButton(dc, cell, dir->edgeStyle);
        return;
    }
    if (auto* font = dynamic_cast<PFont*>(&property)) {
        HFONT own = nullptr;
        font->CreateFont(own);
        HGDIOBJ old = own ? ::SelectObject(dc, own) : nullptr;
        DrawTextCell(property, dc, cell);
        if (own) {
            ::SelectObject(dc, old);
            ::DeleteObject(own);
        }
        return;
    }
    DrawTextCell(property, dc, cell);
}

bool EditPropertyCell(BProperty& property, const PropertyEditContext& context) {
    if (auto* p = dynamic_cast<PBool*>(&property)) return EditBool(*p, context);
    if (auto* p = dynamic_cast<PList*>(&property)) return EditList(*p, context);
    if (auto* p = dynamic_cast<PInt*>(&property)) return EditInt(*p, context);
    if (auto* p = dynamic_cast<PDir*>(&property)) return EditDir(*p, context);
    if (auto* p = dynamic_cast<PString*>(&property)) {
        RECT field = FramedField(context);
        return EditString(*p, context, field);
    }
    if (auto* p = dynamic_cast<PColor*>(&property)) return EditColor(*p, context);
    if (auto* p = dynamic_cast<PFont*>(&property)) return EditFont(*p, context);
    return false;   // the window place is not edited here
}
