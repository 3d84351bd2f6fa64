// Option properties: one typed value each, with its key in the options file. A property made with a
// section appends itself to that section's members; a copy joins no section.
//
//   PInt width{this, 0, nullptr, 28, 0, 80};             // memory only
//   PBool show{this, kListed, L"FileSidePaneShow", true}; // in the file and in the options dialog
#pragma once

#include "core/StringW.h"

#include <windows.h>

class BInifile;
class BPropertySection;

class BProperty {
public:
    static constexpr int kListed = 4;   // flag: a key in the options file and a row in the dialog

    BProperty(BPropertySection* section, int flags, const wchar_t* key);
    BProperty(const BProperty& other);   // takes flags and key; joins no section
    BProperty& operator=(const BProperty&) = delete;
    virtual ~BProperty() = default;

    // Drawing and editing the value cell are the options dialog's (app/PropertyCells), so that the
    // options stay free of window code.
    virtual bool Load(BInifile& ini, const wchar_t* section) = 0;
    virtual bool Save(BInifile& ini, const wchar_t* section) = 0;
    virtual StringW ToText() const { return StringW(); }

    bool Listed() const { return (flags & kListed) != 0; }

    int flags;
    StringW key;

protected:
    friend class BPropertySection;
    // Copies a property of the same kind (the section copy pairs its members by position).
    virtual void CopySame(const BProperty& other) = 0;
    void CopyBase(const BProperty& other);
};

class PBool : public BProperty {
public:
    PBool(BPropertySection* section, int flags, const wchar_t* key, bool defaultValue);
    PBool(const PBool&) = default;
    void CopyFrom(const PBool& other);
    bool Load(BInifile& ini, const wchar_t* section) override;
    bool Save(BInifile& ini, const wchar_t* section) override;
    StringW ToText() const override { return value ? L"enable" : L"disable"; }

    bool defaultValue;
    bool value;

protected:
    void CopySame(const BProperty& other) override { CopyFrom(static_cast<const PBool&>(other)); }
};

class PInt : public BProperty {
public:
    PInt(BPropertySection* section, int flags, const wchar_t* key, int value, int minimum, int maximum);
    PInt(const PInt&) = default;
    void CopyFrom(const PInt& other);
    // Takes the file's number only inside [minimum, maximum]; false and unchanged otherwise.
    bool Load(BInifile& ini, const wchar_t* section) override;
    bool Save(BInifile& ini, const wchar_t* section) override;
    StringW ToText() const override;

    int value;
    int minimum;
    int maximum;

protected:
    void CopySame(const BProperty& other) override { CopyFrom(static_cast<const PInt&>(other)); }
};

// One of a fixed list of choices, e.g. "LE|BE" (a run of '|' counts as one separator).
class PList : public BProperty {
public:
    PList(BPropertySection* section, int flags, const wchar_t* key, const wchar_t* choices, int index);
    PList(const PList&) = default;
    void CopyFrom(const PList& other);
    bool Load(BInifile& ini, const wchar_t* section) override;
    bool Save(BInifile& ini, const wchar_t* section) override;
    StringW ToText() const override;

    // Index of the choice named exactly (case-sensitive) `name`; -1 when there is none.
    int IndexOf(const wchar_t* name) const;
    // The current choice as a number when it starts with a digit, else 0 ("None" gives 0).
    int ValueAsInt() const;
    // A pop-up menu of the choices at the message position, the current one checked; a pick sets the
    // index and gives true.
    bool ShowMenu(HWND window, UINT trackFlags);

    const wchar_t* choices;   // not owned: a literal
    int index;

protected:
    void CopySame(const BProperty& other) override { CopyFrom(static_cast<const PList&>(other)); }
};

class PColor : public BProperty {
public:
    PColor(BPropertySection* section, int flags, const wchar_t* key, COLORREF value);
    PColor(const PColor&) = default;
    void CopyFrom(const PColor& other);
    bool Load(BInifile& ini, const wchar_t* section) override;
    bool Save(BInifile& ini, const wchar_t* section) override;

    COLORREF value;

protected:
    void CopySame(const BProperty& other) override { CopyFrom(static_cast<const PColor&>(other)); }
};

class PString : public BProperty {
public:
    PString(BPropertySection* section, int flags, const wchar_t* key, const wchar_t* value);
    PString(const PString&) = default;
    void CopyFrom(const PString& other);
    // An empty or missing value leaves the property unchanged (false); an empty one deletes the key.
    bool Load(BInifile& ini, const wchar_t* section) override;
    bool Save(BInifile& ini, const wchar_t* section) override;
    StringW ToText() const override { return value; }

    StringW value;

protected:
    void CopySame(const BProperty& other) override { CopyFrom(static_cast<const PString&>(other)); }
};

// A folder; "$\" at its start stands for the program's own folder.
class PDir : public PString {
public:
    PDir(BPropertySection* section, int flags, const wchar_t* key, const wchar_t* value);
    PDir(const PDir&) = default;
    void CopyFrom(const PDir& other);
    bool Load(BInifile& ini, const wchar_t* section) override;

    // The folder as a full path ending in '\'; empty for an empty value. Computed once per value.
    const StringW& Expanded();
    void SetValue(const wchar_t* text);

    StringW expanded;          // empty until computed
    int edgeStyle = EDGE_RAISED;   // of the browse button

protected:
    void CopySame(const BProperty& other) override { CopyFrom(static_cast<const PDir&>(other)); }
};

class PFont : public BProperty {
public:
    static constexpr int kMaxFace = 31;   // characters of a face name (LF_FACESIZE less the terminator)

    PFont(BPropertySection* section, int flags, const wchar_t* key, const wchar_t* face, int size,
          bool italic, bool bold);
    PFont(const PFont&) = default;
    void CopyFrom(const PFont& other);
    bool Load(BInifile& ini, const wchar_t* section) override;
    bool Save(BInifile& ini, const wchar_t* section) override;
    // "face,size" and ",style" (1 italic + 2 bold) when either is set.
    StringW ToText() const override;

    // Reads the ToText form; false and unchanged unless the size is a number above 0 (and the style,
    // when present, a number).
    bool ParseText(const wchar_t* text);
    LOGFONTW GetLogFont() const;
    // Replaces `font` (deleting the old one) by a font made from GetLogFont.
    void CreateFont(HFONT& font) const;

    StringW face;
    int size;
    bool italic;
    bool bold;

protected:
    void CopySame(const BProperty& other) override { CopyFrom(static_cast<const PFont&>(other)); }
};

// The main window's place.
class PWindowPos : public BProperty {
public:
    static constexpr int kUnset = static_cast<int>(0x80000000);

    PWindowPos(BPropertySection* section, int flags, const wchar_t* key, int left, int top, int width,
               int height, bool zoomed);
    PWindowPos(const PWindowPos&) = default;
    void CopyFrom(const PWindowPos& other);
    // Keeps the old place unless all five numbers read; true either way.
    bool Load(BInifile& ini, const wchar_t* section) override;
    // Takes the main window's state first: zoomed when maximised, else its window rectangle.
    bool Save(BInifile& ini, const wchar_t* section) override;

    // The place for a screen of this size: a margin of 1/32 of the width and 1/48 of the height.
    void SetScreenDefault(int screenWidth, int screenHeight);
    // Reads the main window's state (nothing without one).
    void TakeWindowState();

    // The main window whose place Save records; set by the application once it exists.
    static HWND mainWindow;

    int left;
    int top;
    int width;
    int height;
    bool zoomed;

protected:
    void CopySame(const BProperty& other) override { CopyFrom(static_cast<const PWindowPos&>(other)); }
};

// The program's own folder, ending in '\'.
StringW ProgramFolder();
