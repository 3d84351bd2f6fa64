// The open-file dialog run through the modal seam: the parser list of a file, the suggestions of the
// chosen parser, the user's choices in the request it hands back, and what keeps OK disabled.

#include "app/DOpenfile.h"
#include "app/resources/resource.h"
#include "document/BFileParser.h"
#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace {

class FakeParser : public BFileParser {
public:
    FakeParser(const wchar_t* name, uint32_t flags, int bitness, int64_t base) : flags_(flags), bitness_(bitness), base_(base) {
        title = name;
        id = 0x10000;
    }
    bool KnowsFile(ParseProbe* probe) override {
        probe->head.flags = flags_;
        probe->head.bitness = static_cast<int16_t>(bitness_);
        probe->head.baseAddress = base_;
        probe->head.acceptCode = 1;
        return true;
    }
    uint32_t flags_;
    int bitness_;
    int64_t base_;
};

std::wstring TempFile() {
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    ::GetTempFileNameW(folder, L"opn", 0, path);
    return path;
}

class OpenfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        file = TempFile();
        plug = new FakeParser(L"Plug", kRequestEnable16 | kRequestEnable32 | kRequestEnableBase | kRequestRefers |
                                           kRequestAscii, 32, 0x400000);
        registry.Add(plug);
        registry.Add(new FileParserBinary);
    }
    void TearDown() override {
        ::DeleteFileW(file.c_str());
        EXPECT_EQ(0u, PendingModalActions());
    }
    // Runs the dialog on `name`; the action looks at it and ends it.
    INT_PTR Run(const std::wstring& name, std::function<void(DOpenfile&)> action) {
        dialog = std::make_unique<DOpenfile>(nullptr, &registry, name.c_str());
        PushModalAction([action](Dialog& d) { action(static_cast<DOpenfile&>(d)); });
        return dialog->DoModal();
    }
    static std::wstring ParserEntry(DOpenfile& d, int i) { return d.Combo(IDC_OPEN_PARSER).GetLBText(i); }
    static void Choose(DOpenfile& d, int i) {
        d.Combo(IDC_OPEN_PARSER).SetCurSel(i);
        d.SelectParser();
    }
    static void Press(DOpenfile& d, int id) { d.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(d.Item(id))); }
    // The request that OK handed back, null when the dialog ended otherwise; it goes with the test.
    ParseRequest* Handed(INT_PTR result) {
        EXPECT_EQ(IDOK, result);
        handed.reset(dialog->TakeRequest());
        return handed.get();
    }

    std::wstring file;
    ParserRegistry registry;
    FakeParser* plug;
    std::unique_ptr<DOpenfile> dialog;
    struct FreeRecord {
        void operator()(ParseRequest* r) const { FreeParseRecord(r); }
    };
    std::unique_ptr<ParseRequest, FreeRecord> handed;
};

// A parser made where an earlier set's parser lived: the set's destruction frees it for reuse.
alignas(16) unsigned char g_parserPlace[512];
class PlacedParser : public FakeParser {
public:
    using FakeParser::FakeParser;
    static void* operator new(size_t) { return g_parserPlace; }
    static void operator delete(void*) {}
};
static_assert(sizeof(PlacedParser) <= sizeof g_parserPlace, "the place holds the parser");

// The choice made with parsers that are gone is not taken for a new parser at the same address.
TEST_F(OpenfileTest, TheLastChoiceGoesWithItsParsers) {
    auto* old = new ParserRegistry;
    old->Add(new FileParserBinary);
    old->Add(new PlacedParser(L"Old", kRequestEnable32, 32, 0));
    dialog = std::make_unique<DOpenfile>(nullptr, old, file.c_str());
    PushModalAction([](Dialog& d) {
        Choose(static_cast<DOpenfile&>(d), 1);
        d.SendMessage(WM_COMMAND, IDOK, 0);
    });
    ASSERT_EQ(IDOK, dialog->DoModal());
    FreeParseRecord(dialog->TakeRequest());
    dialog.reset();
    delete old;
    registry.Add(new PlacedParser(L"New", kRequestEnable32, 32, 0));
    Run(file, [](DOpenfile& d) {
        ASSERT_EQ(3, d.Combo(IDC_OPEN_PARSER).GetCount());
        EXPECT_EQ(L"New", ParserEntry(d, 2));
        EXPECT_EQ(0, d.Combo(IDC_OPEN_PARSER).GetCurSel());
        d.OnCancel();
    });
}

TEST_F(OpenfileTest, MissingFileOffersNoParserAndKeepsOkDisabled) {
    INT_PTR result = Run(file + L".none", [](DOpenfile& d) {
        EXPECT_FALSE(d.fileFound);
        EXPECT_EQ(1, d.Combo(IDC_OPEN_PARSER).GetCount());
        EXPECT_EQ(L"(File not found)", ParserEntry(d, 0));
        EXPECT_FALSE(d.IsItemEnabled(IDC_OPEN_PARSER));
        EXPECT_FALSE(d.IsItemEnabled(IDOK));
        d.OnOK();   // a disabled OK does nothing
        EXPECT_TRUE(d.IsRunning());
        d.OnCancel();
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(nullptr, dialog->TakeRequest());
}

TEST_F(OpenfileTest, PluginFirstWithItsSuggestionsAndOkHandsThemBack) {
    INT_PTR result = Run(file, [](DOpenfile& d) {
        ASSERT_EQ(2, d.Combo(IDC_OPEN_PARSER).GetCount());
        EXPECT_EQ(L"Plug", ParserEntry(d, 0));
        EXPECT_EQ(L"Binary(internal)", ParserEntry(d, 1));
        EXPECT_EQ(0, d.Combo(IDC_OPEN_PARSER).GetCurSel());
        EXPECT_TRUE(d.IsItemEnabled(IDOK));
        EXPECT_TRUE(d.IsChecked(IDC_OPEN_BITS32));
        EXPECT_FALSE(d.IsItemEnabled(IDC_OPEN_DATA));
        EXPECT_TRUE(d.IsChecked(IDC_OPEN_REFERS));
        EXPECT_TRUE(d.IsChecked(IDC_OPEN_ASCII));
        EXPECT_FALSE(d.IsChecked(IDC_OPEN_BIGENDIAN));
        EXPECT_FALSE(d.IsItemEnabled(IDC_OPEN_BIGENDIAN));
        EXPECT_FALSE(d.IsItemEnabled(IDC_OPEN_SECOND));
        EXPECT_EQ(L"(none)", d.Combo(IDC_OPEN_SECOND).GetLBText(0));
        int64_t base = 0;
        std::wstring baseText = d.GetItemText(IDC_OPEN_BASE);
        EXPECT_NE(std::wstring::npos, baseText.find(L"400000")) << baseText.c_str();
        (void)base;
        d.SetCheck(IDC_OPEN_WIDEODD, true);
        d.SetCheck(IDC_OPEN_ASCII, false);
        d.SetItemText(IDC_OPEN_BASE, L"0x10000");
        Press(d, IDOK);
    });
    ParseRequest* request = Handed(result);
    ASSERT_NE(nullptr, request);
    EXPECT_EQ(plug, request->mainParser);
    EXPECT_EQ(32, request->head.bitness);
    EXPECT_EQ(0x10000, request->head.baseAddress);
    EXPECT_EQ(kRequestRefers | kRequestWideOdd,
              request->head.flags & (kRequestRefers | kRequestWideOdd | kRequestAscii | kRequestBigEndian));
    EXPECT_EQ(std::wstring(file), std::wstring(request->path));
    EXPECT_EQ(std::wstring(file), std::wstring(DOpenfile::RecentFiles().At(0).c_str()));
}

TEST_F(OpenfileTest, BaseAddressTextsDecideOk) {
    struct Case { const wchar_t* text; bool valid; int64_t value; };
    const Case cases[] = {
        {L"8000000000000000", false, -1},
        {L"400000", true, 0x400000},
        {L"0x400000", true, 0x400000},
        {L"1`00000000", true, 0x100000000LL},
        {L"-5", false, -5},
        {L"0", true, 0},
    };
    // The last text stays: OK takes it.
    const INT_PTR result = Run(file, [&](DOpenfile& d) {
        for (const Case& c : cases) {
            d.SetItemText(IDC_OPEN_BASE, c.text);
            EXPECT_EQ(c.valid, d.baseValid) << c.text;
            EXPECT_EQ(c.valid, d.IsItemEnabled(IDOK)) << c.text;
        }
        Press(d, IDOK);
    });
    ParseRequest* request = Handed(result);
    ASSERT_NE(nullptr, request);
    EXPECT_EQ(0, request->head.baseAddress);
}

// Typed into the base field in the dialog's own loop: characters other than hexadecimal digits and the
// backquote and Enter are swallowed there, and a 64-bit address of 17 characters fits whole.
TEST_F(OpenfileTest, BaseFieldSwallowsEnterAndForeignCharacters) {
    const INT_PTR result = Run(file, [](DOpenfile& d) {
        const HWND base = d.Item(IDC_OPEN_BASE);
        ::SetFocus(base);
        ::SendMessageW(base, EM_SETSEL, 0, -1);
        auto type = [base](const wchar_t* text) {
            for (const wchar_t* c = text; *c; ++c)
                ::PostMessageW(base, WM_CHAR, *c, 1);
        };
        type(L"z00000001`4x0");
        ::PostMessageW(base, WM_KEYDOWN, VK_RETURN, 1);
        type(L"0010000");   // one more than 17
        d.PostMessage(WM_COMMAND, IDOK);
        MSG msg{d.Item(IDC_OPEN_FILE), WM_CHAR, L'z', 0, 0, {}};
        EXPECT_FALSE(d.PreTranslateMessage(&msg));   // a file name takes any character
    });
    ParseRequest* request = Handed(result);
    ASSERT_NE(nullptr, request);
    EXPECT_EQ(0x140001000, request->head.baseAddress);
}

TEST_F(OpenfileTest, ParserChosenLastIsPreselectedNextTime) {
    Run(file, [](DOpenfile& d) {
        Choose(d, 1);
        // The raw parser leaves code size, base and element order to the user.
        EXPECT_TRUE(d.IsChecked(IDC_OPEN_DATA));
        EXPECT_TRUE(d.IsItemEnabled(IDC_OPEN_BIGENDIAN));
        EXPECT_FALSE(d.IsChecked(IDC_OPEN_BIGENDIAN));
        EXPECT_FALSE(d.IsItemEnabled(IDC_OPEN_REFERS));
        Press(d, IDOK);
    });
    Run(file, [](DOpenfile& d) {
        EXPECT_EQ(1, d.Combo(IDC_OPEN_PARSER).GetCurSel());
        d.OnCancel();
    });
}

TEST_F(OpenfileTest, BusyParserIsMarkedAndKeepsOkDisabled) {
    plug->busy = true;
    Run(file, [](DOpenfile& d) {
        EXPECT_EQ(L"Plug (busy)", ParserEntry(d, 0));
        EXPECT_FALSE(d.parserAccepted);
        EXPECT_FALSE(d.IsItemEnabled(IDOK));
        Choose(d, 1);
        EXPECT_TRUE(d.IsItemEnabled(IDOK));
        d.OnCancel();
    });
}

TEST_F(OpenfileTest, DataChoiceGivesBitnessZeroAndNoRefers) {
    plug->flags_ |= kRequestEnableData;
    INT_PTR result = Run(file, [](DOpenfile& d) {
        d.CheckRadio(IDC_OPEN_BITS16, IDC_OPEN_DATA, IDC_OPEN_DATA);
        d.OnCodesize(IDC_OPEN_DATA);
        EXPECT_FALSE(d.IsChecked(IDC_OPEN_REFERS));
        EXPECT_FALSE(d.IsItemEnabled(IDC_OPEN_REFERS));
        Press(d, IDOK);
    });
    ParseRequest* request = Handed(result);
    ASSERT_NE(nullptr, request);
    EXPECT_EQ(0, request->head.bitness);
    EXPECT_EQ(0u, request->head.flags & kRequestRefers);
}

TEST_F(OpenfileTest, SixtyFourBitSuggestionSurvivesOk) {
    plug->bitness_ = 64;
    plug->flags_ |= 0x800;
    INT_PTR result = Run(file, [](DOpenfile& d) {
        EXPECT_TRUE(d.IsChecked(IDC_OPEN_BITS64));
        EXPECT_TRUE(d.IsItemEnabled(IDC_OPEN_REFERS));
        Press(d, IDOK);
    });
    ParseRequest* request = Handed(result);
    ASSERT_NE(nullptr, request);
    EXPECT_EQ(64, request->head.bitness);
}

TEST_F(OpenfileTest, TypedNameIsProbedOnlyAfterThePause) {
    std::wstring missing = file + L".none";
    Run(missing, [this](DOpenfile& d) {
        EXPECT_FALSE(d.fileFound);
        d.SetItemText(IDC_OPEN_FILE, file.c_str());
        const DWORD typed = ::GetTickCount();
        d.OnFileEdit();
        EXPECT_FALSE(d.fileFound);
        EXPECT_FALSE(d.IsItemEnabled(IDOK));
        ASSERT_TRUE(wintest::PumpUntil([&d] { return d.fileFound; }));
        EXPECT_GE(::GetTickCount() - typed, DOpenfile::kProbeDelay - 20);   // not before the pause
        EXPECT_TRUE(d.IsItemEnabled(IDOK));
        EXPECT_EQ(L"Plug", ParserEntry(d, 0));
        d.OnCancel();
    });
}

void CALLBACK CancelLater(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(hwnd, id);
    static_cast<DOpenfile*>(CWnd::FromHandle(hwnd))->OnCancel();
}

TEST_F(OpenfileTest, EnterRightAfterTypingOpensTheTypedName) {
    // Backslashes and forward slashes alike; OK and Enter before the pause both probe first.
    std::wstring forward = file;
    for (wchar_t& c : forward)
        if (c == L'\\') c = L'/';
    struct Case { std::wstring typed; bool byKey; };
    const Case cases[] = { { file, true }, { forward, true }, { file, false } };
    for (const Case& c : cases) {
        INT_PTR result = Run(file + L".none", [&c](DOpenfile& d) {
            d.SetItemText(IDC_OPEN_FILE, c.typed.c_str());
            d.OnFileEdit();
            EXPECT_FALSE(d.IsItemEnabled(IDOK));
            if (!c.byKey) {
                Press(d, IDOK);
                return;
            }
            HWND edit = ::GetWindow(d.Item(IDC_OPEN_FILE), GW_CHILD);
            ASSERT_NE(nullptr, edit);
            ::SetFocus(edit);
            ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
            // Cancels after a while should Enter not end the dialog.
            ::SetTimer(d.m_hWnd, 77, 3000, CancelLater);
        });
        ASSERT_EQ(IDOK, result) << (c.byKey ? "Enter" : "OK");
        ParseRequest* request = Handed(result);
        ASSERT_NE(nullptr, request);
        EXPECT_EQ(plug, request->mainParser);
        EXPECT_EQ(c.typed, std::wstring(dialog->FileName().c_str()));
    }
}

TEST_F(OpenfileTest, ReopensWhereItWasLeft) {
    RECT moved{};
    Run(file, [&](DOpenfile& d) {
        d.SetWindowPos(nullptr, 37, 41, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        moved = d.GetWindowRect();
        d.OnCancel();
    });
    Run(file, [&](DOpenfile& d) {
        RECT now = d.GetWindowRect();
        EXPECT_EQ(moved.left, now.left);
        EXPECT_EQ(moved.top, now.top);
        d.OnCancel();
    });
}

}  // namespace

#include "classlib/CommonDialogs.h"

namespace {

TEST_F(OpenfileTest, BrowsedFileIsProbed) {
    std::wstring missing = file + L".none";
    Run(missing, [this](DOpenfile& d) {
        EXPECT_FALSE(d.fileFound);
        std::wstring chosen = file;
        PushSystemDialogAnswer([chosen](SystemDialog& s) {
            static_cast<OpenFileDialog&>(s).SetPathName(chosen.c_str());
            return static_cast<INT_PTR>(IDOK);
        });
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_OPEN_BROWSE, BN_CLICKED), reinterpret_cast<LPARAM>(d.Item(IDC_OPEN_BROWSE)));
        EXPECT_EQ(file, d.GetItemText(IDC_OPEN_FILE));
        EXPECT_TRUE(d.fileFound);
        EXPECT_TRUE(d.IsItemEnabled(IDOK));
        d.OnCancel();
    });
}

}  // namespace
