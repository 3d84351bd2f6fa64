#include "options/BInifile.h"
#include "options/BProperty.h"
#include "options/OptionsSections.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kListed = BProperty::kListed;

// Saves `written` into a fresh text, loads it into `read`; gives the value text that was written.
template <class P>
std::string RoundTrip(P& written, P& read, bool* loaded = nullptr) {
    BInifile ini;
    ini.Reset();
    EXPECT_TRUE(written.Save(ini, L"S"));
    const bool ok = read.Load(ini, L"S");
    if (loaded) *loaded = ok;
    return ini.ReadValue(L"S", written.key.c_str());
}

// A text holding "[S]" and K=value, ready to load from.
void LoadValue(BInifile& ini, const std::string& value) {
    const std::string text = "[S]\nK=" + value + "\n";
    ini.text.Assign(text.data(), static_cast<int>(text.size()));
    ini.state = 1;
}

}  // namespace

TEST(Property, BoolRoundTrips) {
    for (bool value : {true, false}) {
        PBool written(nullptr, kListed, L"K", !value);
        written.value = value;
        PBool read(nullptr, kListed, L"K", !value);
        EXPECT_EQ(RoundTrip(written, read), value ? "enable" : "disable");
        EXPECT_EQ(read.value, value);
        EXPECT_EQ(read.ToText(), value ? L"enable" : L"disable");
    }
}

TEST(Property, BoolUnreadableGivesItsDefault) {
    BInifile ini;
    LoadValue(ini, "yes");
    PBool flag(nullptr, kListed, L"K", true);
    flag.value = false;
    EXPECT_TRUE(flag.Load(ini, L"S"));
    EXPECT_TRUE(flag.value);
}

TEST(Property, IntLoadsOnlyInsideItsRange) {
    struct Row {
        const char* text;
        bool loaded;
        int value;   // after the load, starting from 3
    };
    const Row rows[] = {
        {"5", true, 5},      {"0", true, 0},     {"11", true, 11},  {"12", false, 3},
        {"-1", true, 3},     // not a digit: the current value, which is in range
        {"7px", true, 7},    {"99999999999", true, 3},
    };
    for (const Row& row : rows) {
        BInifile ini;
        LoadValue(ini, row.text);
        PInt number(nullptr, kListed, L"K", 3, 0, 11);
        EXPECT_EQ(number.Load(ini, L"S"), row.loaded) << row.text;
        EXPECT_EQ(number.value, row.value) << row.text;
    }
    PInt written(nullptr, kListed, L"K", 42, 0, 100), read(nullptr, kListed, L"K", 1, 0, 100);
    EXPECT_EQ(RoundTrip(written, read), "42");
    EXPECT_EQ(read.value, 42);
    EXPECT_EQ(read.ToText(), L"42");
}

TEST(Property, ListByExactChoiceName) {
    PList order(nullptr, kListed, L"K", L"LE|BE", 0);
    struct Row {
        const char* text;
        bool loaded;
        int index;
    };
    const Row rows[] = {{"BE", true, 1}, {"le", false, 0}, {"LE ", true, 0}, {"", false, 0}, {"LE|BE", false, 0}};
    for (const Row& row : rows) {
        BInifile ini;
        LoadValue(ini, row.text);
        order.index = 0;
        EXPECT_EQ(order.Load(ini, L"S"), row.loaded) << row.text;
        EXPECT_EQ(order.index, row.index) << row.text;
    }

    PList timer(nullptr, kListed, L"K", L"None|1|2||15", 0);
    EXPECT_EQ(timer.IndexOf(L"15"), 3);   // a run of '|' counts as one
    EXPECT_EQ(timer.IndexOf(L"3"), -1);
    const int asInt[] = {0, 1, 2, 15};
    for (int i = 0; i < 4; ++i) {
        timer.index = i;
        EXPECT_EQ(timer.ValueAsInt(), asInt[i]);
        PList read(nullptr, kListed, L"K", L"None|1|2||15", 0);
        RoundTrip(timer, read);
        EXPECT_EQ(read.index, i);
    }
}

TEST(Property, ListWithAnEmptyChoiceDeletesItsKey) {
    BInifile ini;
    LoadValue(ini, "x");
    PList list(nullptr, kListed, L"K", L"|x", 0);
    EXPECT_TRUE(list.Save(ini, L"S"));
    EXPECT_EQ(ini.ReadValue(L"S", L"K"), "");
    EXPECT_EQ(std::string(ini.text.Text()), "[S]\n");
}

TEST(Property, ColorRoundTrips) {
    const COLORREF colors[] = {0x000000, 0x030201, 0xFFE8E8, 0xFFFFFF};
    const char* texts[] = {"(0,0,0)", "(1,2,3)", "(232,232,255)", "(255,255,255)"};
    for (int i = 0; i < 4; ++i) {
        PColor written(nullptr, kListed, L"K", colors[i]), read(nullptr, kListed, L"K", 0x123456);
        EXPECT_EQ(RoundTrip(written, read), texts[i]);
        EXPECT_EQ(read.value, colors[i]);
    }
}

TEST(Property, StringKeepsPercentSignsAndRefusesEmptyValues) {
    PString written(nullptr, kListed, L"K", L"100% %s %d"), read(nullptr, kListed, L"K", L"old");
    bool loaded = false;
    EXPECT_EQ(RoundTrip(written, read, &loaded), "100% %s %d");
    EXPECT_TRUE(loaded);
    EXPECT_EQ(read.value, L"100% %s %d");

    BInifile ini;
    LoadValue(ini, "x");
    PString empty(nullptr, kListed, L"K", L"");
    EXPECT_TRUE(empty.Save(ini, L"S"));   // an empty value deletes the key
    EXPECT_EQ(std::string(ini.text.Text()), "[S]\n");
    PString kept(nullptr, kListed, L"K", L"kept");
    EXPECT_FALSE(kept.Load(ini, L"S"));
    EXPECT_EQ(kept.value, L"kept");
}

// A ';' would start a comment: such a value is written in double quotes (its own quotes escaped) and
// reads back whole; values without ';', and files written before, read as they stand.
TEST(Property, TextsHoldingSemicolonsReadBackWhole) {
    const struct {
        const wchar_t* value;
        const char* written;
    } rows[] = {
        { L"C:\\my;plugins", "\"C:\\my;plugins\"" },
        { L"C:\\end;in\\", "\"C:\\end;in\\\"" },               // a closing quote after a backslash
        { L";", "\";\"" },
        { L"say \"a;b\" now", "\"say \\\"a;b\\\" now\"" },
        { L"a\\\";b", "\"a\\\\\";b\"" },                          // a backslash before a quote of its own
        { L"\"plain\"", "\"plain\"" },                             // no ';': as it stands
        { L"C:\\tools", "C:\\tools" },
    };
    for (const auto& r : rows) {
        PString written(nullptr, kListed, L"K", r.value), read(nullptr, kListed, L"K", L"old");
        bool loaded = false;
        EXPECT_EQ(RoundTrip(written, read, &loaded), r.written) << r.written;
        EXPECT_TRUE(loaded);
        EXPECT_EQ(read.value, r.value) << r.written;
        PDir dirWritten(nullptr, kListed, L"K", r.value), dir(nullptr, kListed, L"K", L"old");
        EXPECT_EQ(RoundTrip(dirWritten, dir), r.written);
        EXPECT_EQ(dir.value, r.value) << r.written;
    }
    // Written before: an unquoted value is cut at its ';' as ever; a hand-quoted one reads whole.
    BInifile ini;
    PString read(nullptr, kListed, L"K", L"old");
    LoadValue(ini, "a;b");
    EXPECT_TRUE(read.Load(ini, L"S"));
    EXPECT_EQ(read.value, L"a");
    LoadValue(ini, "\"a;b\" ; comment");
    EXPECT_TRUE(read.Load(ini, L"S"));
    EXPECT_EQ(read.value, L"a;b");
}

TEST(Property, FontTextAndParsing) {
    struct Save {
        bool italic, bold;
        const char* text;
    };
    const Save saves[] = {{false, false, "Consolas,9"}, {true, false, "Consolas,9,1"},
                          {false, true, "Consolas,9,2"}, {true, true, "Consolas,9,3"}};
    for (const Save& s : saves) {
        PFont written(nullptr, kListed, L"K", L"Consolas", 9, s.italic, s.bold);
        PFont read(nullptr, kListed, L"K", L"Arial", 20, !s.italic, !s.bold);
        bool loaded = false;
        EXPECT_EQ(RoundTrip(written, read, &loaded), s.text);
        EXPECT_TRUE(loaded);
        EXPECT_EQ(read.ToText(), written.ToText());
    }

    struct Parse {
        const wchar_t* text;
        bool read;
        const wchar_t* after;   // ToText afterwards, starting from "Helv,9"
    };
    const Parse parses[] = {
        {L"Tahoma,8", true, L"Tahoma,8"},
        {L"Tahoma, 8 ,2", true, L"Tahoma,8,2"},
        {L"Tahoma,0", false, L"Helv,9"},
        {L"Tahoma,-3", false, L"Helv,9"},
        {L"Tahoma", false, L"Helv,9"},
        {L"Tahoma,x", false, L"Helv,9"},
        {L"Tahoma,8,x", false, L"Helv,9"},
        {L"Tahoma,99999999999", false, L"Helv,9"},
        {L",9", false, L"Helv,9"},
        {L" Courier New\t , 10 ", true, L"Courier New,10"},
        {L"  ,9", false, L"Helv,9"},
        {L"", false, L"Helv,9"},
        {L"0123456789012345678901234567890123456789,10", true, L"0123456789012345678901234567890,10"},
    };
    for (const Parse& p : parses) {
        PFont font(nullptr, kListed, L"K", L"Helv", 9, false, false);
        EXPECT_EQ(font.ParseText(p.text), p.read) << p.text;
        EXPECT_EQ(font.ToText(), p.after) << p.text;
    }
}

TEST(Property, FontLogFont) {
    PFont font(nullptr, kListed, L"K", L"Consolas", 9, true, true);
    LOGFONTW log = font.GetLogFont();
    EXPECT_EQ(log.lfWeight, 600);   // bold is 600, not 700
    EXPECT_EQ(log.lfItalic, 1);
    EXPECT_EQ(log.lfCharSet, DEFAULT_CHARSET);
    EXPECT_LT(log.lfHeight, 0);
    EXPECT_STREQ(log.lfFaceName, L"Consolas");
    font.bold = false;
    font.italic = false;
    log = font.GetLogFont();
    EXPECT_EQ(log.lfWeight, 400);
    EXPECT_EQ(log.lfItalic, 0);

    HFONT made = nullptr;
    font.CreateFont(made);
    EXPECT_NE(made, nullptr);
    font.CreateFont(made);   // replaces (and frees) the previous font
    EXPECT_NE(made, nullptr);
    DeleteObject(made);
}

TEST(Property, DirExpansion) {
    const StringW folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\');
    EXPECT_NE(GetFileAttributesW((folder + L"options_tests.exe").c_str()), INVALID_FILE_ATTRIBUTES);

    struct Row {
        const wchar_t* value;
        std::wstring expanded;
    };
    const Row rows[] = {
        {L"$\\", folder},
        {L"$\\Savers", folder + L"Savers\\"},
        {L"C:\\tools", L"C:\\tools\\"},
        {L"C:\\tools\\", L"C:\\tools\\"},
        {L"", L""},
    };
    for (const Row& row : rows) {
        PDir dir(nullptr, kListed, L"K", row.value);
        EXPECT_EQ(dir.Expanded(), row.expanded) << row.value;
    }

    PDir dir(nullptr, kListed, L"K", L"C:\\a");
    EXPECT_EQ(dir.Expanded(), L"C:\\a\\");
    BInifile ini;
    LoadValue(ini, "C:\\b");
    EXPECT_TRUE(dir.Load(ini, L"S"));
    EXPECT_EQ(dir.Expanded(), L"C:\\b\\");
}

TEST(Property, WindowPlaceForTheScreen) {
    struct Row {
        int screenWidth, screenHeight, left, top, width, height;
    };
    const Row rows[] = {{1920, 1080, 60, 22, 1800, 945}, {1280, 1024, 40, 21, 1200, 896}, {0, 0, 0, 0, 0, 0}};
    for (const Row& row : rows) {
        PWindowPos place(nullptr, 0, nullptr, 1, 2, 3, 4, true);
        place.SetScreenDefault(row.screenWidth, row.screenHeight);
        EXPECT_EQ(place.left, row.left);
        EXPECT_EQ(place.top, row.top);
        EXPECT_EQ(place.width, row.width);
        EXPECT_EQ(place.height, row.height);
        EXPECT_FALSE(place.zoomed);
    }
}

TEST(Property, WindowPlaceTakesTheMainWindowState) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 10, 20, 300, 200, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    PWindowPos::mainWindow = window;

    PWindowPos place(nullptr, kListed, L"P", 1, 2, 3, 4, true);
    BInifile ini;
    ini.Reset();
    EXPECT_TRUE(place.Save(ini, L"S"));
    EXPECT_EQ(ini.ReadValue(L"S", L"P"), "10,20,300,200,0");

    ShowWindow(window, SW_MAXIMIZE);
    EXPECT_TRUE(place.Save(ini, L"S"));   // maximised: the last normal place, zoomed
    EXPECT_EQ(ini.ReadValue(L"S", L"P"), "10,20,300,200,1");

    PWindowPos read(nullptr, kListed, L"P", 0, 0, 0, 0, false);
    EXPECT_TRUE(read.Load(ini, L"S"));
    EXPECT_EQ(read.width, 300);
    EXPECT_TRUE(read.zoomed);

    PWindowPos::mainWindow = nullptr;
    DestroyWindow(window);
}

TEST(Property, CopiesJoinNoSectionAndCopyEveryField) {
    OptionsFile section;
    const size_t members = section.Members().size();
    PInt copy(section.dumpBytesPerLine);
    EXPECT_EQ(section.Members().size(), members);
    EXPECT_EQ(copy.value, 16);
    EXPECT_EQ(copy.maximum, 256);

    PInt target(nullptr, kListed, L"Other", 1, 0, 2);
    target.CopyFrom(section.dumpBytesPerLine);
    EXPECT_EQ(target.flags, 0);
    EXPECT_TRUE(target.key.empty());
    EXPECT_EQ(target.minimum, 4);
    EXPECT_EQ(target.maximum, 256);

    PDir source(nullptr, kListed, L"D", L"C:\\x");
    source.Expanded();
    source.edgeStyle = EDGE_SUNKEN;
    PDir dir(nullptr, 0, nullptr, L"");
    dir.CopyFrom(source);
    EXPECT_EQ(dir.expanded, L"C:\\x\\");
    EXPECT_EQ(dir.edgeStyle, EDGE_SUNKEN);
    EXPECT_EQ(dir.key, L"D");
}
