#include "options/BInifile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(const IniText& text) { return std::string(text.Text(), text.Length()); }

void Load(BInifile& ini, const std::string& content) {
    ini.text.Assign(content.data(), static_cast<int>(content.size()));
    ini.state = 1;
}

}  // namespace

TEST(IniText, ResetAndASequenceOfWrites) {
    BInifile ini;
    ini.Reset();
    EXPECT_EQ(Text(ini.text), "Version=1\n");
    EXPECT_EQ(ini.text.Capacity(), 4096);
    EXPECT_EQ(ini.text.Text()[ini.text.Length()], '\0');

    struct Step {
        const wchar_t* section;
        const wchar_t* key;
        int value;       // -1: delete
        const char* text;
    };
    const Step steps[] = {
        {L"UI", L"A", 1, "Version=1\n\n[UI]\nA=1\n"},
        {L"UI", L"B", 1, "Version=1\n\n[UI]\nA=1\nB=1\n"},
        {L"UI", L"A", 2, "Version=1\n\n[UI]\nA=2\nB=1\n"},             // replaced in place
        {L"", L"X", 5, "Version=1\nX=5\n\n[UI]\nA=2\nB=1\n"},           // top section
        {L"Fonts", L"F", 3, "Version=1\nX=5\n\n[UI]\nA=2\nB=1\n\n[Fonts]\nF=3\n"},
        {L"ui", L"C", 4, "Version=1\nX=5\n\n[UI]\nA=2\nB=1\nC=4\n\n[Fonts]\nF=3\n"},   // case-blind header
        {L"UI", L"a", -1, "Version=1\nX=5\n\n[UI]\nB=1\nC=4\n\n[Fonts]\nF=3\n"},       // case-blind key
        {L"UI", L"Missing", -1, "Version=1\nX=5\n\n[UI]\nB=1\nC=4\n\n[Fonts]\nF=3\n"},
        {L"Nowhere", L"Missing", -1, "Version=1\nX=5\n\n[UI]\nB=1\nC=4\n\n[Fonts]\nF=3\n"},
    };
    for (const Step& step : steps) {
        if (step.value < 0) {
            ini.DeleteKey(step.section, step.key);
        } else {
            EXPECT_TRUE(ini.SetInt(step.section, step.key, step.value));
        }
        EXPECT_EQ(Text(ini.text), step.text) << "after " << step.value << " into key";
    }
}

TEST(IniText, HandWrittenFileKeepsCommentsBlankLinesAndUnknownKeys) {
    BInifile ini;
    Load(ini,
         "; my settings\n"
         "Version=1\n"
         "\n"
         "[UI]   ; the look\n"
         "  Unknown = 42   ; keep me\n"
         "FileSidePaneShow=enable\n"
         "\n"
         "; trailing note\n"
         "[Other]\n"
         "Z=1");
    EXPECT_TRUE(ini.SetBool(L"UI", L"FileSidePaneShow", false));
    EXPECT_TRUE(ini.SetString(L"UI", L"FileSidePaneSide", L"Right"));
    EXPECT_TRUE(ini.SetInt(L"Other", L"Y", 2));
    EXPECT_EQ(Text(ini.text),
              "; my settings\n"
              "Version=1\n"
              "\n"
              "[UI]   ; the look\n"
              "  Unknown = 42   ; keep me\n"
              "FileSidePaneShow=disable\n"
              "FileSidePaneSide=Right\n"
              "\n"
              "; trailing note\n"
              "[Other]\n"
              "Z=1\n"
              "Y=2\n");
    EXPECT_EQ(ini.ReadValue(L"UI", L"unknown"), "42");
}

TEST(IniText, ValuesOfKeyLines) {
    struct Row {
        const char* line;
        const char* value;
    };
    const Row rows[] = {
        {"K=1", "1"},
        {"   K  =  1  ; comment", "1"},
        {"K=\"x;y\"", "\"x;y\""},
        {"K = \"x;y\"", "\"x;y\""},
        {"K = \"x;y\" ; comment", "\"x;y\""},
        {"K=\"a\\\";b\"", "\"a\\\";b\""},   // an escaped quote does not close the quoted part
        {"K=a=b", "a"},
        {"K==a", "a"},
        {"k=lower key", "lower key"},
        {"K=", ""},
        {"K=\ta\t", "a"},
        {"K=a\r", "a"},
        {"KK=1", "second"},   // not K's line: the next one is
        {"K", "second"},      // no '=': not a key line
        {";K=1", "second"},
    };
    for (const Row& row : rows) {
        BInifile ini;
        Load(ini, std::string("[S]\n") + row.line + "\nK=second\n");
        EXPECT_EQ(ini.ReadValue(L"S", L"K"), row.value) << row.line;
    }
}

TEST(IniText, SectionHeaders) {
    struct Row {
        const char* header;
        bool found;
    };
    const Row rows[] = {
        {"[UI]", true},        {"[ui]", true},   {"  [Ui]  ; c", true}, {"[ UI ]", false},
        {"[UIX]", false},      {"[U]", false},   {"UI", false},          {"; [UI]", false},
    };
    for (const Row& row : rows) {
        BInifile ini;
        Load(ini, std::string("Top=0\n") + row.header + "\nK=1\n");
        EXPECT_EQ(ini.ReadValue(L"UI", L"K"), row.found ? "1" : "") << row.header;
    }
}

TEST(IniText, TopSectionStopsAtTheFirstHeader) {
    BInifile ini;
    Load(ini, "A=1\n[S]\nB=2\n");
    EXPECT_EQ(ini.ReadValue(L"", L"A"), "1");
    EXPECT_EQ(ini.ReadValue(L"", L"B"), "");
    EXPECT_EQ(ini.ReadValue(L"S", L"A"), "");
}

TEST(IniText, TrimLine) {
    struct Row {
        const char* line;
        const char* trimmed;
    };
    const Row rows[] = {
        {"", ""},           {" \t ", ""},         {"  a b  ", "a b"}, {"a ; c", "a"},
        {"; all", ""},      {"\"a;b\" ;c", "\"a;b\""}, {"x\"a;b", "x\"a;b"},
    };
    for (const Row& row : rows) {
        StringA line(row.line);
        EXPECT_EQ(IniText::TrimLine(line), std::string(row.trimmed).empty()) << row.line;
        EXPECT_EQ(line, row.trimmed) << row.line;
    }
}

TEST(IniText, ReadLineWalksLinesAndEndsWithMinusOne) {
    IniText text;
    const std::string content = "  a\n\nb  \n   ";
    text.Assign(content.data(), static_cast<int>(content.size()));
    int cursor = 0;
    EXPECT_EQ(text.ReadLine(cursor), "a");
    EXPECT_EQ(text.ReadLine(cursor), "");
    EXPECT_EQ(text.ReadLine(cursor), "b  ");
    EXPECT_EQ(text.ReadLine(cursor), "");
    EXPECT_EQ(cursor, -1);
}

TEST(IniText, LastLineWithoutLineEnd) {
    BInifile ini;
    Load(ini, "[S]\nA=1");
    EXPECT_TRUE(ini.SetInt(L"S", L"B", 2));
    EXPECT_TRUE(ini.SetInt(L"S", L"A", 3));
    EXPECT_EQ(Text(ini.text), "[S]\nA=3\nB=2\n");

    BInifile bare;
    Load(bare, "[S]");
    EXPECT_TRUE(bare.SetInt(L"S", L"A", 1));
    EXPECT_EQ(Text(bare.text), "[S]\nA=1\n");
}

TEST(IniText, GrowthAcrossSeveralStepsKeepsTheCurrentSection) {
    BInifile ini;
    ini.Reset();
    ini.SetInt(L"First", L"Start", 1);
    ini.SetInt(L"Second", L"Other", 2);
    // Grow the buffer several times while [First] stays the current section.
    const std::wstring filler(1500, L'x');
    for (int i = 0; i < 10; ++i) {
        ini.SetString(L"First", (L"Long" + std::to_wstring(i)).c_str(), filler.c_str());
        EXPECT_EQ(ini.text.Capacity() % IniText::kStep, 0);
        EXPECT_GE(ini.text.Capacity(), ini.text.Length() + 1);
    }
    EXPECT_GE(ini.text.Capacity(), 4 * IniText::kStep);
    EXPECT_TRUE(ini.SetInt(L"First", L"End", 3));
    const std::string text = Text(ini.text);
    const size_t end = text.find("End=3\n");
    const size_t second = text.find("[Second]");
    ASSERT_NE(end, std::string::npos);
    EXPECT_LT(end, second);
    EXPECT_EQ(text.compare(end - 2, 2, "x\n"), 0);   // right after the last long line
    EXPECT_EQ(ini.ReadValue(L"Second", L"Other"), "2");
    EXPECT_EQ(ini.ReadValue(L"First", L"Long9"), std::string(1500, 'x'));
}

TEST(IniText, StateMinusOneReadsNothingAndWritesNothing) {
    BInifile ini;
    EXPECT_EQ(ini.state, -1);
    EXPECT_EQ(ini.ReadValue(L"UI", L"A"), "");
    EXPECT_TRUE(ini.GetBool(L"UI", L"A", true));
    EXPECT_EQ(ini.GetInt(L"UI", L"A", 7), 7);
    EXPECT_FALSE(ini.SetInt(L"UI", L"A", 1));
    EXPECT_FALSE(ini.SetString(L"UI", L"A", L"x"));
    ini.DeleteKey(L"UI", L"A");
    EXPECT_EQ(ini.text.Length(), 0);
}

TEST(IniText, LineBreaksInKeysOrValuesAreRefused) {
    BInifile ini;
    ini.Reset();
    EXPECT_FALSE(ini.SetString(L"S", L"Dir", L"C:\\a\nVersion=2"));
    EXPECT_FALSE(ini.SetString(L"S", L"Dir\r", L"x"));
    EXPECT_EQ(Text(ini.text), "Version=1\n");
}

TEST(IniText, TypedReads) {
    struct Row {
        const char* value;
        bool boolean;   // default true
        int integer;    // default -7
        COLORREF color; // default 0x123456
    };
    const Row rows[] = {
        {"enable", true, -7, 0x123456},
        {"disable", false, -7, 0x123456},
        {"true", true, -7, 0x123456},
        {"false", false, -7, 0x123456},
        {"Enable", true, -7, 0x123456},       // exact case only: the default
        {"False", true, -7, 0x123456},
        {"12", true, 12, 0x123456},
        {"12abc", true, 12, 0x123456},
        {"-12", true, -7, 0x123456},           // a sign is not a digit
        {"2147483647", true, 2147483647, 0x123456},
        {"2147483648", true, -7, 0x123456},    // overflow: unreadable
        {"99999999999", true, -7, 0x123456},
        {"(1,2,3)", true, -7, 0x030201},
        {"( 255, 0 ,0)", true, -7, 0x123456},   // "%d," wants the comma right after the number
        {"(255, 0, 0)", true, -7, 0x0000FF},
        {"(256,0,0)", true, -7, 0x123456},      // parts beyond 0..255 are unreadable
        {"(-1,0,0)", true, -7, 0x123456},
        {"(99999999999,0,0)", true, -7, 0x123456},
        {"(1,2)", true, -7, 0x123456},
        {"1,2,3", true, 1, 0x123456},
    };
    for (const Row& row : rows) {
        BInifile ini;
        Load(ini, std::string("[S]\nK=") + row.value + "\n");
        EXPECT_EQ(ini.GetBool(L"S", L"K", true), row.boolean) << row.value;
        EXPECT_EQ(ini.GetInt(L"S", L"K", -7), row.integer) << row.value;
        EXPECT_EQ(ini.GetColor(L"S", L"K", 0x123456), row.color) << row.value;
    }
}

TEST(IniText, WindowPlaceNeedsAllFiveNumbers) {
    struct Row {
        const char* value;
        bool read;
    };
    const Row rows[] = {
        {"-8,-8,1936,1056,1", true},
        {"1,2,3,4", false},
        {"1,2,3,4,x", false},
        {"1,2,3,99999999999,0", false},
        {"", false},
    };
    for (const Row& row : rows) {
        BInifile ini;
        Load(ini, std::string("[S]\nP=") + row.value + "\n");
        int l = 11, t = 12, w = 13, h = 14;
        bool z = false;
        EXPECT_EQ(ini.GetWindowPos(L"S", L"P", l, t, w, h, z), row.read) << row.value;
        if (row.read) {
            EXPECT_EQ(l, -8);
            EXPECT_EQ(h, 1056);
            EXPECT_TRUE(z);
        } else {
            EXPECT_EQ(l, 11);
            EXPECT_EQ(h, 14);
        }
    }
}
