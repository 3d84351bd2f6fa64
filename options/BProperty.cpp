#include "options/BProperty.h"

#include "options/BInifile.h"
#include "options/BPropertySection.h"
#include "options/DirValue.h"

#include <vector>

namespace {

constexpr int kMaxFontSize = 1638;   // the largest point size the system's font dialog offers

StringW Wide(const StringA& narrow) {
    StringW wide;
    wide.AssignNarrow(narrow.c_str());
    return wide;
}

// A text holding ';' is written in double quotes, its own quotes as \", so that the ';' does not start
// a comment; a quoted text read back that holds ';' loses them again. Other texts stand as they are,
// as in files written before.
StringW QuotedValue(const StringW& text) {
    if (text.find(L';') == StringW::npos) return text;
    StringW quoted(L"\"");
    for (wchar_t c : text) {
        if (c == L'"') quoted += L'\\';
        quoted += c;
    }
    quoted += L'"';
    return quoted;
}

StringW UnquotedValue(const StringW& text) {
    if (text.size() < 2 || text.front() != L'"' || text.back() != L'"' || text.find(L';') == StringW::npos)
        return text;
    StringW plain;
    for (size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] == L'\\' && text[i + 1] == L'"' && i + 2 < text.size()) continue;   // an escaped quote
        plain += text[i];
    }
    return plain;
}

}  // namespace

// ---- BProperty ----

BProperty::BProperty(BPropertySection* section, int flags_, const wchar_t* key_)
    : flags(flags_), key(key_) {
    if (section) section->Add(this);
}

BProperty::BProperty(const BProperty& other) : flags(other.flags), key(other.key) {}

void BProperty::CopyBase(const BProperty& other) {
    flags = other.flags;
    key = other.key;
}

// ---- PBool ----

PBool::PBool(BPropertySection* section, int flags_, const wchar_t* key_, bool defaultValue_)
    : BProperty(section, flags_, key_), defaultValue(defaultValue_), value(defaultValue_) {}

void PBool::CopyFrom(const PBool& other) {
    CopyBase(other);
    defaultValue = other.defaultValue;
    value = other.value;
}

bool PBool::Load(BInifile& ini, const wchar_t* section) {
    value = ini.GetBool(section, key.c_str(), defaultValue);
    return true;
}

bool PBool::Save(BInifile& ini, const wchar_t* section) { return ini.SetBool(section, key.c_str(), value); }

// ---- PInt ----

PInt::PInt(BPropertySection* section, int flags_, const wchar_t* key_, int value_, int minimum_, int maximum_)
    : BProperty(section, flags_, key_), value(value_), minimum(minimum_), maximum(maximum_) {}

void PInt::CopyFrom(const PInt& other) {
    CopyBase(other);
    value = other.value;
    minimum = other.minimum;
    maximum = other.maximum;
}

bool PInt::Load(BInifile& ini, const wchar_t* section) {
    const int number = ini.GetInt(section, key.c_str(), value);
    if (number < minimum || number > maximum) return false;
    value = number;
    return true;
}

bool PInt::Save(BInifile& ini, const wchar_t* section) { return ini.SetInt(section, key.c_str(), value); }

StringW PInt::ToText() const { return StringW(kFormat, L"%d", value); }

// ---- PList ----

PList::PList(BPropertySection* section, int flags_, const wchar_t* key_, const wchar_t* choices_, int index_)
    : BProperty(section, flags_, key_), choices(choices_), index(index_) {}

void PList::CopyFrom(const PList& other) {
    CopyBase(other);
    choices = other.choices;
    index = other.index;
}

StringW PList::ToText() const {
    StringW choice;
    if (index >= 0) choice.GetField(choices, index, L'|');
    return choice;
}

int PList::IndexOf(const wchar_t* name) const {
    StringW choice;
    for (int i = 0; choice.GetField(choices, i, L'|'); ++i) {
        if (StringEquals(name, choice)) return i;
    }
    return -1;
}

int PList::ValueAsInt() const {
    const StringW choice = ToText();
    const wchar_t* p = choice.c_str();
    int number = 0;
    if (*p >= L'0' && *p <= L'9' && ScanInt(p, number)) return number;
    return 0;
}

bool PList::ShowMenu(HWND window, UINT trackFlags) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return false;
    StringW choice;
    for (int i = 0; choice.GetField(choices, i, L'|'); ++i) {
        AppendMenuW(menu, MF_STRING | (i == index ? MF_CHECKED : MF_UNCHECKED), i + 1, choice.c_str());
    }
    const DWORD at = GetMessagePos();
    const int picked = static_cast<int>(TrackPopupMenu(menu, trackFlags | TPM_RETURNCMD | TPM_NONOTIFY,
                                                       static_cast<short>(LOWORD(at)),
                                                       static_cast<short>(HIWORD(at)), 0, window,
                                                       nullptr));
    DestroyMenu(menu);
    if (picked <= 0) return false;
    index = picked - 1;
    return true;
}

bool PList::Load(BInifile& ini, const wchar_t* section) {
    const int found = IndexOf(Wide(ini.GetString(section, key.c_str())).c_str());
    if (found < 0) return false;
    index = found;
    return true;
}

bool PList::Save(BInifile& ini, const wchar_t* section) {
    const StringW choice = ToText();
    if (choice.empty()) {
        ini.DeleteKey(section, key.c_str());
        return true;
    }
    return ini.SetString(section, key.c_str(), choice.c_str());
}

// ---- PColor ----

PColor::PColor(BPropertySection* section, int flags_, const wchar_t* key_, COLORREF value_)
    : BProperty(section, flags_, key_), value(value_) {}

void PColor::CopyFrom(const PColor& other) {
    CopyBase(other);
    value = other.value;
}

bool PColor::Load(BInifile& ini, const wchar_t* section) {
    value = ini.GetColor(section, key.c_str(), value);
    return true;
}

bool PColor::Save(BInifile& ini, const wchar_t* section) { return ini.SetColor(section, key.c_str(), value); }

// ---- PString ----

PString::PString(BPropertySection* section, int flags_, const wchar_t* key_, const wchar_t* value_)
    : BProperty(section, flags_, key_), value(value_) {}

void PString::CopyFrom(const PString& other) {
    CopyBase(other);
    value = other.value;
}

bool PString::Load(BInifile& ini, const wchar_t* section) {
    const StringW text = UnquotedValue(Wide(ini.GetString(section, key.c_str())));
    if (text.empty()) return false;
    value = text;
    return true;
}

bool PString::Save(BInifile& ini, const wchar_t* section) {
    if (value.empty()) {
        ini.DeleteKey(section, key.c_str());
        return true;
    }
    return ini.SetString(section, key.c_str(), QuotedValue(value).c_str());
}

// ---- PDir ----

PDir::PDir(BPropertySection* section, int flags_, const wchar_t* key_, const wchar_t* value_)
    : PString(section, flags_, key_, value_) {}

void PDir::CopyFrom(const PDir& other) {
    PString::CopyFrom(other);
    expanded = other.expanded;
    edgeStyle = other.edgeStyle;
}

bool PDir::Load(BInifile& ini, const wchar_t* section) {
    const StringW old = value;
    if (!PString::Load(ini, section)) return false;
    if (value != old) expanded.clear();
    return true;
}

void PDir::SetValue(const wchar_t* text) {
    value = text;
    expanded.clear();
}

const StringW& PDir::Expanded() {
    if (expanded.empty() && !value.empty()) expanded = ExpandDirValue(value, ProgramFolder());
    return expanded;
}

// ---- PFont ----

PFont::PFont(BPropertySection* section, int flags_, const wchar_t* key_, const wchar_t* face_, int size_,
             bool italic_, bool bold_)
    : BProperty(section, flags_, key_), face(face_), size(size_), italic(italic_), bold(bold_) {}

void PFont::CopyFrom(const PFont& other) {
    CopyBase(other);
    face = other.face;
    size = other.size;
    italic = other.italic;
    bold = other.bold;
}

StringW PFont::ToText() const {
    StringW text(kFormat, L"%s,%d", face.c_str(), size);
    if (italic || bold) text += StringW(kFormat, L",%d", (italic ? 1 : 0) + (bold ? 2 : 0));
    return text;
}

bool PFont::ParseText(const wchar_t* text) {
    StringW newFace, field;
    if (!newFace.GetField(text, 0, L',')) return false;
    // A hand-edited line may have blanks around its parts; Windows would take them as part of the face.
    const size_t first = newFace.find_first_not_of(L" \t");
    if (first == StringW::npos) return false;
    newFace = StringW(newFace.substr(first, newFace.find_last_not_of(L" \t") + 1 - first));
    newFace.TruncateAt(kMaxFace);
    int newSize;
    if (!field.GetField(text, 1, L',')) return false;
    const wchar_t* p = field.c_str();
    if (!ScanInt(p, newSize) || newSize <= 0 || newSize > kMaxFontSize) return false;
    int style = 0;
    if (field.GetField(text, 2, L',')) {
        p = field.c_str();
        if (!ScanInt(p, style)) return false;
    }
    face = newFace;
    size = newSize;
    italic = (style & 1) != 0;
    bold = (style & 2) != 0;
    return true;
}

bool PFont::Load(BInifile& ini, const wchar_t* section) {
    return ParseText(Wide(ini.GetString(section, key.c_str())).c_str());
}

bool PFont::Save(BInifile& ini, const wchar_t* section) {
    return ini.SetString(section, key.c_str(), ToText().c_str());
}

LOGFONTW PFont::GetLogFont() const {
    LOGFONTW font{};
    HDC screen = GetDC(nullptr);
    font.lfHeight = -MulDiv(size, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    font.lfItalic = italic ? 1 : 0;
    font.lfWeight = bold ? 600 : 400;
    font.lfCharSet = DEFAULT_CHARSET;
    face.copy(font.lfFaceName, kMaxFace);
    return font;
}

void PFont::CreateFont(HFONT& font) const {
    const LOGFONTW logFont = GetLogFont();
    if (font) DeleteObject(font);
    font = CreateFontIndirectW(&logFont);
}

// ---- PWindowPos ----

HWND PWindowPos::mainWindow = nullptr;

PWindowPos::PWindowPos(BPropertySection* section, int flags_, const wchar_t* key_, int left_, int top_,
                       int width_, int height_, bool zoomed_)
    : BProperty(section, flags_, key_), left(left_), top(top_), width(width_), height(height_),
      zoomed(zoomed_) {}

void PWindowPos::CopyFrom(const PWindowPos& other) {
    CopyBase(other);
    left = other.left;
    top = other.top;
    width = other.width;
    height = other.height;
    zoomed = other.zoomed;
}

void PWindowPos::SetScreenDefault(int screenWidth, int screenHeight) {
    left = screenWidth / 32;
    top = screenHeight / 48;
    width = screenWidth - screenWidth / 16;
    height = screenHeight - screenHeight / 8;
    zoomed = false;
}

void PWindowPos::TakeWindowState() {
    if (!mainWindow || !IsWindow(mainWindow)) return;
    zoomed = IsZoomed(mainWindow) != FALSE;
    // A minimised window's rectangle lies far off the screen: keep the last normal place then too.
    RECT r;
    if (!zoomed && !IsIconic(mainWindow) && GetWindowRect(mainWindow, &r)) {
        left = r.left;
        top = r.top;
        width = r.right - r.left;
        height = r.bottom - r.top;
    }
}

bool PWindowPos::Load(BInifile& ini, const wchar_t* section) {
    ini.GetWindowPos(section, key.c_str(), left, top, width, height, zoomed);
    return true;
}

bool PWindowPos::Save(BInifile& ini, const wchar_t* section) {
    TakeWindowState();
    return ini.SetWindowPos(section, key.c_str(), left, top, width, height, zoomed);
}

// ---- helpers ----

StringW ProgramFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return StringW();
        if (n < path.size()) break;
        path.resize(path.size() * 2);
    }
    StringW folder(path.data());
    const size_t slash = folder.find_last_of(L'\\');
    folder.resize(slash == StringW::npos ? 0 : slash + 1);
    return folder;
}
