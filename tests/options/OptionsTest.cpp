#include "options/BColorTheme.h"
#include "options/Options.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>
#include <vector>

namespace {

const char* KindOf(const BProperty* p) {
    if (dynamic_cast<const PDir*>(p)) return "PDir";
    if (dynamic_cast<const PString*>(p)) return "PString";
    if (dynamic_cast<const PBool*>(p)) return "PBool";
    if (dynamic_cast<const PInt*>(p)) return "PInt";
    if (dynamic_cast<const PList*>(p)) return "PList";
    if (dynamic_cast<const PColor*>(p)) return "PColor";
    if (dynamic_cast<const PFont*>(p)) return "PFont";
    if (dynamic_cast<const PWindowPos*>(p)) return "PWindowPos";
    return "?";
}

struct Member {
    const char* kind;
    const wchar_t* key;   // "" for none
    int flags;
    const wchar_t* text;  // ToText of the default
    int minimum, maximum; // PInt only
    const wchar_t* choices;   // PList only
};

struct SectionRow {
    const wchar_t* name;
    COLORREF tabColor;
    std::vector<Member> members;
};

Member Color(const wchar_t* key) { return {"PColor", key, 4, L"", 0, 0, nullptr}; }

const std::vector<SectionRow>& ExpectedSections() {
    static const std::vector<SectionRow> rows = {
        {L"General", 0x0000FF, {
            {"PDir", L"", 0, L"$\\", 0, 0, nullptr},
            {"PWindowPos", L"", 0, L"", 0, 0, nullptr},
            {"PInt", L"", 0, L"7", 0, 11, nullptr},
            {"PInt", L"", 0, L"16", 0, 64, nullptr},
            {"PBool", L"", 0, L"enable", 0, 0, nullptr},
        }},
        {L"File", 0x1818FF, {
            {"PBool", L"FileShowDumpBytes", 4, L"enable", 0, 0, nullptr},
            {"PInt", L"", 0, L"16", 4, 256, nullptr},
            {"PBool", L"FileShowCommentOnline", 4, L"enable", 0, 0, nullptr},
            {"PBool", L"DataDecimal", 4, L"disable", 0, 0, nullptr},
            {"PBool", L"DataSigned", 4, L"disable", 0, 0, nullptr},
            {"PList", L"DataOrder", 0, L"LE", 0, 0, L"LE|BE"},
            {"PList", L"StringCodepage", 4, L"ANSI", 0, 0, L"ANSI|OEM|UTF8"},
            {"PInt", L"", 0, L"0", 0, 30, nullptr},
            {"PInt", L"", 0, L"4096", 8, 65536, nullptr},
        }},
        {L"UI", 0x3030FF, {
            {"PList", L"StatusbarHighlightTimer", 4, L"5", 0, 0,
             L"None|1|2|3|4|5|6|7|8|9|10|15|20|25|30|45|60|90|120"},
            {"PBool", L"", 0, L"disable", 0, 0, nullptr},
            {"PBool", L"FileSidePaneShow", 4, L"enable", 0, 0, nullptr},
            {"PList", L"FileSidePaneSide", 4, L"Left", 0, 0, L"Left|Right"},
            {"PInt", L"", 0, L"28", 0, 80, nullptr},
            {"PBool", L"FileLowPaneShow", 4, L"enable", 0, 0, nullptr},
            {"PInt", L"", 0, L"20", 0, 80, nullptr},
            {"PInt", L"", 0, L"75", 20, 80, nullptr},
            {"PInt", L"", 0, L"30", 0, 50, nullptr},
        }},
        {L"UIColors", 0x4848FF, {
            Color(L"LogBk"), Color(L"LogTxt"), Color(L"LogSelectLinesBk"), {"PColor", L"", 0, L"", 0, 0, nullptr},
            Color(L"DumpBk"), Color(L"DumpTxt"), Color(L"DumpNoVaddress"), Color(L"ListBk"), Color(L"ListTxt"),
            Color(L"ListInfocus"), Color(L"ListOutfocus"), Color(L"StatusbarHighlight"), Color(L"DetailsMark"),
        }},
        {L"CodeColors", 0x6060FF, {
            Color(L"CodeBk"), Color(L"CodeTxt"), Color(L"AddressTxt"), Color(L"CommentTxt"), Color(L"NameTxt"),
            Color(L"MnemonicTxt"), Color(L"RegisterTxt"), Color(L"NumberTxt"), Color(L"MemoryTxt"),
            Color(L"MarkerMk"), Color(L"FoundBk"), Color(L"SelectLinesBk"), Color(L"CodeInfocus"),
            Color(L"CodeOutfocus"), Color(L"CodeClickAddress"),
        }},
        {L"Fonts", 0x7070FF, {
            {"PFont", L"CodeFont", 4, L"Consolas,9", 0, 0, nullptr},
            {"PFont", L"CommentFont", 4, L"Consolas,9,1", 0, 0, nullptr},
            {"PFont", L"DumpFont", 4, L"Consolas,9", 0, 0, nullptr},
            {"PFont", L"ListFont", 4, L"Verdana,8", 0, 0, nullptr},
            {"PFont", L"", 0, L"Tahoma,8", 0, 0, nullptr},
            {"PFont", L"LogFont", 4, L"Helv,9", 0, 0, nullptr},
            {"PFont", L"", 0, L"Helv,10", 0, 0, nullptr},
            {"PFont", L"", 0, L"Helv,9", 0, 0, nullptr},
        }},
        {L"SaveData", 0x8080FF, {
            {"PDir", L"SaverDir", 4, L"$\\Savers", 0, 0, nullptr},
            {"PList", L"SaveFileData", 4, L"Ask", 0, 0, L"Never|Always|Ask"},
        }},
    };
    return rows;
}

class RowCollector : public BPropertyRows {
public:
    void AddRow(BProperty* property) override { keys.push_back(property->key); }
    std::vector<std::wstring> keys;
};

// A folder of its own under the temporary folder, removed with its files afterwards.
class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        path_ = std::wstring(base) + L"trelvo-options-" + std::to_wstring(GetCurrentProcessId()) + L"-"
                + std::to_wstring(counter_++) + L"\\";
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() {
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW((path_ + L"*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring file = path_ + found.cFileName;
                SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(file.c_str());
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
        RemoveDirectoryW(path_.c_str());
    }
    std::wstring File(const wchar_t* name) const { return path_ + name; }
    int FileCount() const {
        int count = 0;
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW((path_ + L"*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) return 0;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++count;
        } while (FindNextFileW(find, &found));
        FindClose(find);
        return count;
    }

private:
    std::wstring path_;
    static inline int counter_ = 0;
};

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

std::string ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// Every property holds a value its users can work with.
void ExpectSane(Options& options) {
    for (BPropertySection* section : options.Sections()) {
        for (BProperty* p : section->Members()) {
            SCOPED_TRACE(Narrow(section->name) + " " + Narrow(p->key));
            if (auto* number = dynamic_cast<PInt*>(p)) {
                EXPECT_GE(number->value, number->minimum);
                EXPECT_LE(number->value, number->maximum);
            } else if (auto* list = dynamic_cast<PList*>(p)) {
                EXPECT_GE(list->IndexOf(list->ToText().c_str()), 0);
            } else if (auto* font = dynamic_cast<PFont*>(p)) {
                EXPECT_FALSE(font->face.empty());
                EXPECT_LE(font->face.size(), 31u);
                EXPECT_GT(font->size, 0);
                EXPECT_LE(font->size, 1638);
            } else if (auto* dir = dynamic_cast<PDir*>(p)) {
                EXPECT_FALSE(dir->value.empty());
            }
        }
    }
}

// The value of every keyed property as text, colours included.
std::vector<std::wstring> KeyedValues(Options& options) {
    std::vector<std::wstring> values;
    for (BPropertySection* section : options.Sections()) {
        for (BProperty* p : section->Members()) {
            if (p->key.empty()) continue;
            std::wstring value = p->key + L"=" + p->ToText();
            if (auto* color = dynamic_cast<PColor*>(p)) value += std::to_wstring(color->value);
            values.push_back(value);
        }
    }
    return values;
}

}  // namespace

TEST(Options, EverySectionMemberAsTabled) {
    Options options;
    const std::vector<BPropertySection*> sections = options.Sections();
    const std::vector<SectionRow>& expected = ExpectedSections();
    ASSERT_EQ(sections.size(), expected.size());
    for (size_t s = 0; s < sections.size(); ++s) {
        const BPropertySection& section = *sections[s];
        const SectionRow& row = expected[s];
        SCOPED_TRACE(::testing::Message() << "section " << s);
        EXPECT_EQ(section.name, row.name);
        EXPECT_EQ(section.tabColor, row.tabColor);
        ASSERT_EQ(section.Members().size(), row.members.size());
        for (size_t m = 0; m < row.members.size(); ++m) {
            const BProperty* p = section.Members()[m];
            const Member& e = row.members[m];
            SCOPED_TRACE(::testing::Message() << "member " << m);
            EXPECT_STREQ(KindOf(p), e.kind);
            EXPECT_EQ(p->key, e.key);
            EXPECT_EQ(p->flags, e.flags);
            EXPECT_EQ(p->ToText(), e.text);
            if (auto* number = dynamic_cast<const PInt*>(p)) {
                EXPECT_EQ(number->minimum, e.minimum);
                EXPECT_EQ(number->maximum, e.maximum);
            }
            if (auto* list = dynamic_cast<const PList*>(p)) {
                EXPECT_STREQ(list->choices, e.choices);
            }
            if (auto* color = dynamic_cast<const PColor*>(p)) {
                EXPECT_EQ(color->value, 0u);   // until the theme
            }
        }
    }
    EXPECT_TRUE(options.general.showParsingPopup.defaultValue);
    EXPECT_FALSE(options.fonts.commentFont.bold);
    EXPECT_EQ(options.ini.state, -1);
}

TEST(Options, WindowPlaceFollowsTheScreen) {
    Options options;
    PWindowPos expected(nullptr, 0, nullptr, 0, 0, 0, 0, true);
    expected.SetScreenDefault(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(options.general.windowPos.left, expected.left);
    EXPECT_EQ(options.general.windowPos.top, expected.top);
    EXPECT_EQ(options.general.windowPos.width, expected.width);
    EXPECT_EQ(options.general.windowPos.height, expected.height);
    EXPECT_FALSE(options.general.windowPos.zoomed);
}

TEST(Options, ListVisibleGivesTheListedMembers) {
    Options options;
    const std::vector<std::vector<std::wstring>> expected = {
        {},
        {L"FileShowDumpBytes", L"FileShowCommentOnline", L"DataDecimal", L"DataSigned", L"StringCodepage"},
        {L"StatusbarHighlightTimer", L"FileSidePaneShow", L"FileSidePaneSide", L"FileLowPaneShow"},
    };
    const std::vector<BPropertySection*> sections = options.Sections();
    for (size_t s = 0; s < expected.size(); ++s) {
        RowCollector rows;
        sections[s]->ListVisible(rows);
        EXPECT_EQ(rows.keys, expected[s]) << "section " << s;
    }
    RowCollector colors;
    options.uiColors.ListVisible(colors);
    EXPECT_EQ(colors.keys.size(), 12u);

    const std::vector<BPropertySection*> dialog = options.DialogSections();
    ASSERT_EQ(dialog.size(), 6u);
    EXPECT_EQ(dialog.front(), &options.file);
    EXPECT_EQ(dialog.back(), &options.saveData);
}

TEST(Options, CopyFromCopiesSectionsButNotTheText) {
    Options app;
    app.ui.sidePaneWidth.value = 40;
    app.file.dataOrder.index = 1;
    app.fonts.codeFont.ParseText(L"Lucida Console,11,2");
    app.ApplyColorTheme();

    app.CopyFrom(app);   // into itself: nothing changes
    EXPECT_EQ(app.ui.sidePaneWidth.value, 40);

    Options document;
    document.ini.Reset();
    document.ini.SetInt(L"Own", L"K", 1);
    const std::string text(document.ini.text.Text());
    document.CopyFrom(app);
    EXPECT_EQ(document.ui.sidePaneWidth.value, 40);
    EXPECT_EQ(document.file.dataOrder.ToText(), L"BE");
    EXPECT_EQ(document.fonts.codeFont.ToText(), L"Lucida Console,11,2");
    EXPECT_EQ(document.codeColors.codeBk.value, 0xFFE8E8u);
    EXPECT_EQ(std::string(document.ini.text.Text()), text);
    EXPECT_EQ(KeyedValues(document), KeyedValues(app));
}

TEST(Options, CloneAndAssign) {
    Options options;
    for (BPropertySection* section : options.Sections()) {
        std::unique_ptr<BPropertySection> clone = section->Clone();
        ASSERT_NE(clone, nullptr);
        EXPECT_EQ(typeid(*clone), typeid(*section));
        ASSERT_EQ(clone->Members().size(), section->Members().size());
        for (size_t m = 0; m < section->Members().size(); ++m) {
            EXPECT_NE(clone->Members()[m], section->Members()[m]);   // its own members
            EXPECT_EQ(clone->Members()[m]->key, section->Members()[m]->key);
            EXPECT_EQ(clone->Members()[m]->ToText(), section->Members()[m]->ToText());
        }
    }

    std::unique_ptr<BPropertySection> clone = options.ui.Clone();
    auto& ui = static_cast<OptionsUI&>(*clone);
    ui.sidePaneSide.index = 1;
    ui.lowPaneDivider.value = 50;
    EXPECT_EQ(options.ui.sidePaneSide.index, 0);   // the source is untouched until assigned
    options.file.Assign(*clone);                   // another class: ignored
    EXPECT_EQ(options.file.name, L"File");
    options.ui.Assign(*clone);
    EXPECT_EQ(options.ui.sidePaneSide.ToText(), L"Right");
    EXPECT_EQ(options.ui.lowPaneDivider.value, 50);
    EXPECT_EQ(options.ui.Members()[3], &options.ui.sidePaneSide);   // members stay its own
}

TEST(Options, ColorTheme) {
    // The current theme is never null; before anything it is the grey theme.
    EXPECT_EQ(&CurrentTheme(), &GrayTheme());
    EXPECT_EQ(ThemeColor(0), 0xF0F0F0u);
    EXPECT_EQ(ThemeColor(29), 0x0000FFu);
    EXPECT_EQ(ThemeColor(103), 0x808080u);
    EXPECT_EQ(ThemeColor(104), 0u);
    EXPECT_EQ(ThemeColor(-1), 0u);
    EXPECT_EQ(GrayTheme().Members().size(), 104u);
    EXPECT_EQ(GrayTheme().name, L"ColorTheme");
    EXPECT_EQ(GrayTheme().Clone(), nullptr);
    OptionsUI other;
    GrayTheme().Assign(other);
    EXPECT_EQ(GrayTheme().name, L"ColorTheme");

    OptionsUIColors fresh;
    for (BProperty* p : fresh.Members()) EXPECT_EQ(static_cast<PColor*>(p)->value, 0u);

    Options options;
    options.ApplyColorTheme();
    const COLORREF ui[] = {0xFFFFFF, 0x000000, 0xFFD0D0, 0x0000FF, 0xFFE8E8, 0x202020, 0x747474,
                           0xFFE8E8, 0x202020, 0xFFC0C0, 0xE0E0E0, 0x00FFFF, 0x808000};
    const COLORREF code[] = {0xFFE8E8, 0x202020, 0xAF912B, 0x808080, 0xCA00CA, 0x000000, 0x656565, 0x00CA00,
                             0xCA0000, 0x00FFFF, 0x00FFFF, 0xFFD0D0, 0xFFC0C0, 0xE0E0E0, 0x0000FF};
    ASSERT_EQ(options.uiColors.Members().size(), std::size(ui));
    ASSERT_EQ(options.codeColors.Members().size(), std::size(code));
    for (size_t i = 0; i < std::size(ui); ++i) {
        EXPECT_EQ(static_cast<PColor*>(options.uiColors.Members()[i])->value, ui[i]) << "UIColors " << i;
    }
    for (size_t i = 0; i < std::size(code); ++i) {
        EXPECT_EQ(static_cast<PColor*>(options.codeColors.Members()[i])->value, code[i]) << "CodeColors " << i;
    }
    EXPECT_EQ(options.codeColors.codeBk.value, 0xFFE8E8u);
    EXPECT_EQ(options.uiColors.logBk.value, 0xFFFFFFu);

    OptionsUIColors copied;
    copied.CopyFrom(options.uiColors);
    EXPECT_EQ(copied.logBk.value, 0xFFFFFFu);
}

TEST(OptionsFile, SaveAndLoadRoundTrip) {
    TempFolder folder;
    const std::wstring path = folder.File(L"Trelvo.ini");

    Options saved;
    saved.ApplyColorTheme();
    saved.file.showDumpBytes.value = false;
    saved.file.dataSigned.value = true;
    saved.file.stringCodepage.index = 2;
    saved.file.dataOrder.index = 1;
    saved.ui.statusbarHighlightTimer.index = 0;
    saved.ui.sidePaneSide.index = 1;
    saved.uiColors.listBk.value = 0x010203;
    saved.codeColors.codeClickAddress.value = 0xABCDEF;
    saved.fonts.logFont.ParseText(L"Courier New,12,3");
    saved.saveData.saverDir.SetValue(L"D:\\save 100%");
    saved.saveData.saveFileData.index = 0;
    EXPECT_FALSE(saved.Load(path.c_str()));   // no file yet: defaults stay, the path is kept
    EXPECT_FALSE(saved.ini.loadError.empty());
    ASSERT_TRUE(saved.Save()) << Narrow(saved.ini.text.saveError);

    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.compare(0, 11, "Version=1\r\n"), 0);
    EXPECT_EQ(bytes.find("\n\n"), std::string::npos);   // every line end is CR LF
    EXPECT_NE(bytes.find("[Fonts]\r\nCodeFont=Consolas,9\r\nCommentFont=Consolas,9,1\r\n"), std::string::npos);
    EXPECT_EQ(folder.FileCount(), 1);   // no temporary file left

    Options loaded;
    loaded.ApplyColorTheme();
    ASSERT_TRUE(loaded.Load(path.c_str()));
    EXPECT_EQ(KeyedValues(loaded), KeyedValues(saved));
    EXPECT_EQ(loaded.ui.sidePaneSide.ToText(), L"Right");
    EXPECT_EQ(loaded.saveData.saverDir.value, L"D:\\save 100%");
    EXPECT_EQ(loaded.saveData.saverDir.Expanded(), L"D:\\save 100%\\");

    // Saving again changes nothing.
    ASSERT_TRUE(loaded.Save());
    EXPECT_EQ(ReadBytes(path), bytes);
}

TEST(OptionsFile, HandEditedFileKeepsItsCommentsAndUnknownKeys) {
    TempFolder folder;
    const std::wstring path = folder.File(L"Trelvo.ini");
    WriteBytes(path,
               "; Trelvo options, edited by hand\r\n"
               "Version=1\r\n"
               "\r\n"
               "[ui]\r\n"
               "FileSidePaneSide = Right   ; I like it there\r\n"
               "MyOwnKey=keep\r\n"
               "\r\n"
               "[Plugins]\r\n"
               "Extra=\"a;b\"\r\n");
    Options options;
    ASSERT_TRUE(options.Load(path.c_str()));
    EXPECT_EQ(options.ui.sidePaneSide.ToText(), L"Right");
    EXPECT_EQ(options.ini.ReadValue(L"Plugins", L"Extra"), "\"a;b\"");
    options.ui.sidePaneShow.value = false;
    ASSERT_TRUE(options.Save());

    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.compare(0, 45, "; Trelvo options, edited by hand\r\nVersion=1\r\n"), 0) << bytes;
    EXPECT_NE(bytes.find("[ui]\r\n"
                         "FileSidePaneSide=Right\r\n"
                         "MyOwnKey=keep\r\n"
                         "StatusbarHighlightTimer=5\r\n"
                         "FileSidePaneShow=disable\r\n"
                         "FileLowPaneShow=enable\r\n"
                         "\r\n"
                         "[Plugins]\r\n"
                         "Extra=\"a;b\"\r\n"),
              std::string::npos)
        << bytes;
}

TEST(OptionsFile, DamagedFilesLoadToSaneValues) {
    std::string garbage;
    uint32_t seed = 12345;
    for (int i = 0; i < 200000; ++i) {
        seed = seed * 1103515245 + 12345;
        garbage += static_cast<char>(seed >> 16);
        if (i % 97 == 0) garbage += "\n[Fonts]\nCodeFont=";
        if (i % 89 == 0) garbage += "\n[UI]\nStatusbarHighlightTimer=";
    }
    static const char kWithNul[] = "[UI]\nFileSidePaneSide=Ri\0ght\n[Fonts\0]\nCodeFont=Arial,10\n";
    struct Row {
        const char* name;
        std::string content;
    };
    const Row rows[] = {
        {"binary garbage", garbage},
        {"a 10 MB line", "[UI]\nFileSidePaneShow=" + std::string(10 * 1024 * 1024, 'x') + "\nFileSidePaneSide=Right\n"},
        {"missing '='", "[UI]\nFileSidePaneSide Right\nFileSidePaneShow\n[Fonts]\nCodeFont Arial,20\n"},
        {"wrong values",
         "[File]\nDataDecimal=maybe\nStringCodepage=KOI8\n"
         "[UIColors]\nLogBk=(256,0,0)\nLogTxt=(99999999999,1,1)\nDumpBk=red\n"
         "[Fonts]\nCodeFont=Consolas,99999999999\nLogFont=,9\nListFont=Verdana,0\n"
         "[SaveData]\nSaverDir=\nSaveFileData=ask\n"},
        {"NUL bytes", std::string(kWithNul, sizeof kWithNul - 1)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder folder;
        const std::wstring path = folder.File(L"Trelvo.ini");
        WriteBytes(path, row.content);
        Options options;
        options.ApplyColorTheme();
        EXPECT_TRUE(options.Load(path.c_str()));
        ExpectSane(options);
        EXPECT_TRUE(options.Save());   // and it writes back without trouble
        Options reloaded;
        EXPECT_TRUE(reloaded.Load(path.c_str()));
        ExpectSane(reloaded);
    }
}

TEST(OptionsFile, UnreadableValuesKeepWhatTheyHad) {
    TempFolder folder;
    const std::wstring path = folder.File(L"Trelvo.ini");
    WriteBytes(path,
               "[File]\nStringCodepage=KOI8\n"
               "[UI]\nFileSidePaneSide Right\n"
               "[UIColors]\nLogBk=(256,0,0)\nLogTxt=(1,2,3)\n"
               "[Fonts]\nCodeFont=Consolas,99999999999\nLogFont=,9\n"
               "[SaveData]\nSaverDir=\n");
    Options options;
    options.ApplyColorTheme();
    ASSERT_TRUE(options.Load(path.c_str()));
    EXPECT_EQ(options.file.stringCodepage.ToText(), L"ANSI");
    EXPECT_EQ(options.ui.sidePaneSide.ToText(), L"Left");
    EXPECT_EQ(options.uiColors.logBk.value, 0xFFFFFFu);
    EXPECT_EQ(options.uiColors.logTxt.value, 0x030201u);
    EXPECT_EQ(options.fonts.codeFont.ToText(), L"Consolas,9");
    EXPECT_EQ(options.fonts.logFont.ToText(), L"Helv,9");
    EXPECT_EQ(options.saveData.saverDir.value, L"$\\Savers");
}

TEST(OptionsFile, FailedSaveLeavesTheOldFile) {
    TempFolder folder;
    const std::wstring path = folder.File(L"Trelvo.ini");
    const std::string old = "Version=1\r\n\r\n[UI]\r\nFileSidePaneSide=Right\r\n";
    WriteBytes(path, old);
    Options options;
    ASSERT_TRUE(options.Load(path.c_str()));
    options.ui.sidePaneSide.index = 0;
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(options.Save());
    EXPECT_FALSE(options.ini.text.saveError.empty());
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(folder.FileCount(), 1);   // the temporary file is gone

    Options nowhere;
    nowhere.ini.text.path = folder.File(L"no such folder\\Trelvo.ini");
    EXPECT_FALSE(nowhere.Save());

    Options noPath;
    EXPECT_FALSE(noPath.Save());   // nothing gives it a path
}

// Another program holds the file open for writing while it is loaded: the set keeps its defaults, and a
// Save never puts them in place of the user's lines; once the file can be read, Save keeps them.
TEST(OptionsFile, AFileThatWasNotReadIsNotReplacedByDefaults) {
    TempFolder folder;
    const std::wstring path = folder.File(L"Trelvo.ini");
    const std::string mine = "; mine\r\nVersion=1\r\n\r\n[UI]\r\nFileSidePaneSide=Right\r\nMyOwnKey=keep\r\n";
    WriteBytes(path, mine);
    HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    Options options;
    EXPECT_FALSE(options.Load(path.c_str()));
    EXPECT_EQ(options.ui.sidePaneSide.index, 0);
    options.file.dataSigned.value = true;
    EXPECT_FALSE(options.Save());   // still held
    EXPECT_NE(options.ini.text.saveError.find(L"left as it is"), StringW::npos);
    CloseHandle(writer);
    EXPECT_EQ(ReadBytes(path), mine);

    ASSERT_TRUE(options.Save());
    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.compare(0, 19, "; mine\r\nVersion=1\r\n"), 0) << bytes;
    EXPECT_NE(bytes.find("MyOwnKey=keep\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("DataSigned=enable\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("FileSidePaneSide=Left\r\n"), std::string::npos) << bytes;   // the set's own value wins
}

// An editor's byte-order mark: the first line is read past it, and saves add no second "Version".
TEST(OptionsFile, AByteOrderMarkIsReadPast) {
    TempFolder folder;
    const std::wstring path = folder.File(L"Trelvo.ini");
    WriteBytes(path, "\xEF\xBB\xBF[UI]\r\nFileSidePaneSide=Right\r\n");
    Options options;
    ASSERT_TRUE(options.Load(path.c_str()));
    EXPECT_EQ(options.ui.sidePaneSide.index, 1);
    WriteBytes(path, "\xEF\xBB\xBFVersion=1\r\n");
    ASSERT_TRUE(options.Load(path.c_str()));
    ASSERT_TRUE(options.Save());
    ASSERT_TRUE(options.Save());
    const std::string bytes = ReadBytes(path);
    EXPECT_EQ(bytes.compare(0, 11, "Version=1\r\n"), 0) << bytes;
    EXPECT_EQ(bytes.find("Version=1", 1), std::string::npos) << bytes;
}

TEST(OptionsFile, LoadReadsCrLfAndRefusesWhatItCannotRead) {
    TempFolder folder;
    const std::wstring path = folder.File(L"Trelvo.ini");
    WriteBytes(path, "[UI]\r\nFileSidePaneSide=Right\r\n\r\n[File]\r\nDataSigned=enable\r");
    Options options;
    ASSERT_TRUE(options.Load(path.c_str()));
    EXPECT_EQ(std::string(options.ini.text.Text()), "[UI]\nFileSidePaneSide=Right\n\n[File]\nDataSigned=enable\r");
    EXPECT_EQ(options.ui.sidePaneSide.index, 1);
    EXPECT_TRUE(options.file.dataSigned.value);

    Options missing;
    EXPECT_FALSE(missing.Load(folder.File(L"absent.ini").c_str()));
    EXPECT_FALSE(missing.ini.loadError.empty());
    EXPECT_EQ(missing.ini.state, -1);
    EXPECT_EQ(missing.ui.sidePaneSide.index, 0);
}
