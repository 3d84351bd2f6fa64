// The crash report's text: the stack dump's lines and marks, addresses inside the image, the header
// lines from a fault's context, and a fault while writing or a second report.

#include "app/CrashReport.h"
#include "app/DText.h"
#include "classlib/Dialog.h"
#include "tests/Emulation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Two pages, the second unreadable: `readable` bytes before its start can be read.
class GuardedStack {
public:
    explicit GuardedStack(size_t readable) {
        base_ = static_cast<uint8_t*>(::VirtualAlloc(nullptr, 2 * kPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old;
        ::VirtualProtect(base_ + kPage, kPage, PAGE_NOACCESS, &old);
        start_ = base_ + kPage - readable;
    }
    ~GuardedStack() { ::VirtualFree(base_, 0, MEM_RELEASE); }
    uint32_t* Words() { return reinterpret_cast<uint32_t*>(start_); }
    uintptr_t Address() const { return reinterpret_cast<uintptr_t>(start_); }

private:
    static constexpr size_t kPage = 4096;
    uint8_t* base_;
    uint8_t* start_;
};

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t from = 0;
    for (;;) {
        const size_t at = text.find(L"\r\n", from);
        lines.push_back(text.substr(from, at == std::wstring::npos ? std::wstring::npos : at - from));
        if (at == std::wstring::npos)
            return lines;
        from = at + 2;
    }
}

std::wstring Hex(uintptr_t v) {
    wchar_t text[16];
    swprintf(text, 16, L"%08X", static_cast<unsigned>(v));
    return text;
}

TEST(CrashReportTest, TwentyReadableBytesGiveOneLineOfFiveValues) {
    SKIP_WITHOUT_CAUGHT_FAULTS();
    GuardedStack stack(20);
    for (int i = 0; i < 5; ++i)
        stack.Words()[i] = 0x11111111u * (i + 1);
    CrashReport report;
    report.DumpStack(stack.Address(), 512);
    EXPECT_EQ(report.text, L" " + Hex(stack.Address()) +
                               L": 11111111  22222222  33333333  44444444 - 55555555 ");
}

TEST(CrashReportTest, LinesHoldEightValuesAndInImageValuesAreRelative) {
    SKIP_WITHOUT_CAUGHT_FAULTS();
    GuardedStack stack(40);
    CrashReport report;
    report.imageBase = 0x400000;
    report.imageStart = 0x400080;
    report.imageEnd = 0x500000;
    for (int i = 0; i < 10; ++i)
        stack.Words()[i] = i;
    stack.Words()[1] = 0x401000;   // inside the image
    stack.Words()[2] = 0x400000;   // the base itself lies before the PE header: outside
    report.text = L"head";
    report.DumpStack(stack.Address(), 512);
    const std::vector<std::wstring> lines = Lines(report.text);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], L"head");
    EXPECT_EQ(lines[1], L"");   // an empty line before the dump
    EXPECT_EQ(lines[2], L" " + Hex(stack.Address()) +
                            L": 00000000 [00001000] 00400000  00000003 - 00000004  00000005  00000006  00000007 ");
    EXPECT_EQ(lines[3], L" " + Hex(stack.Address() + 32) + L": 00000008  00000009 ");
}

TEST(CrashReportTest, FormatsOfNumbersAndAddresses) {
    CrashReport report;
    report.imageBase = 0x10000000;
    report.imageStart = 0x10000100;
    report.imageEnd = 0x10008000;
    EXPECT_STREQ(report.FormatHex(0xABC), L"00000ABC");
    EXPECT_STREQ(report.FormatAddress(0x10001234), L"[00001234]");
    EXPECT_STREQ(report.FormatAddress(0x20000000), L" 20000000 ");
    EXPECT_STREQ(report.FormatAddress(0x10008000), L" 10008000 ");   // the end is outside
}

// A report of a fault in this program: the header lines from the context and the exit code 238.
TEST(CrashReportTest, ReportHasVersionImageAddressCodeAndRegisters) {
    SKIP_WITHOUT_CAUGHT_FAULTS();
    GuardedStack stack(8);
    CONTEXT context{};
    context.Eax = 1, context.Ebx = 2, context.Ecx = 3, context.Edx = 4;
    context.Esi = 5, context.Edi = 6, context.Ebp = 7, context.Esp = static_cast<DWORD>(stack.Address());
    EXCEPTION_RECORD record{};
    record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
    const uintptr_t base = reinterpret_cast<uintptr_t>(::GetModuleHandleW(nullptr));
    record.ExceptionAddress = reinterpret_cast<void*>(base + 0x1234);
    EXCEPTION_POINTERS pointers{&record, &context};

    CrashReport report;
    std::wstring shown;
    std::vector<UINT> exits;
    report.show = [&](const wchar_t* text) { shown = text; };
    report.terminate = [&](UINT code) { exits.push_back(code); };
    report.stackPointer = context.Esp;
    report.address = static_cast<uint32_t>(base + 0x1234);
    report.code = record.ExceptionCode;
    report.Write(&pointers);
    ASSERT_EQ(exits, std::vector<UINT>{CrashReport::kExitReported});
    const std::vector<std::wstring> lines = Lines(shown);
    ASSERT_GE(lines.size(), 9u);
    EXPECT_EQ(lines[0], L"   Version: 0.0.0 x32");
    EXPECT_EQ(lines[1], L" Imagebase: " + Hex(base));
    EXPECT_EQ(lines[2], L"   Address: " + Hex(base + 0x1234) + L" [00001234]");
    EXPECT_EQ(lines[3], L" Exception: C0000005");
    EXPECT_EQ(lines[4], L"");
    EXPECT_EQ(lines[5], L" eax: 00000001  ebx: 00000002  ecx: 00000003  edx: 00000004");
    EXPECT_EQ(lines[6], L" esi: 00000005  edi: 00000006  ebp: 00000007  esp: " + Hex(stack.Address()));
    EXPECT_EQ(lines[7], L"");
    EXPECT_EQ(lines[8].substr(0, 10), L" " + Hex(stack.Address()) + L":");

    // A second report in the same process ends at once with 239 and shows nothing.
    shown.clear();
    report.Write(&pointers);
    EXPECT_EQ(exits.back(), CrashReport::kExitNested);
    EXPECT_TRUE(shown.empty());
}

// A parent that asked for no fault dialog (a shell, an IDE) does not hide the report: only a test
// run's own switch sends it to stderr.
TEST(CrashReportTest, TheDialogShowsWhateverErrorModeTheProgramGot) {
    const UINT mode = ::GetErrorMode();
    ::SetErrorMode(mode | SEM_NOGPFAULTERRORBOX);
    ::SetEnvironmentVariableW(CrashReport::kStderrSwitch, nullptr);
    static std::wstring caption, shown;
    caption.clear();
    shown.clear();
    PushModalAction([](Dialog& d) {
        caption = d.GetWindowText();
        shown = d.GetItemText(DText::kEditorId);
        ::SendMessageW(d.Item(IDOK), BM_CLICK, 0, 0);
    });
    CrashReport report;
    std::vector<UINT> exits;
    report.terminate = [&](UINT code) { exits.push_back(code); };
    report.Write(nullptr);
    ::SetEnvironmentVariableW(CrashReport::kStderrSwitch, L"1");
    ::SetErrorMode(mode);
    EXPECT_EQ(PendingModalActions(), 0u);
    EXPECT_EQ(caption, L"Ba-bah!");
    EXPECT_EQ(shown.substr(0, 21), L"   Version: 0.0.0 x32");
    EXPECT_EQ(exits, std::vector<UINT>{CrashReport::kExitReported});
}

TEST(CrashReportTest, AFaultWhileWritingEndsTheTextWithAbort) {
    SKIP_WITHOUT_CAUGHT_FAULTS();
    CrashReport report;
    report.module = reinterpret_cast<HMODULE>(0x10);   // unreadable: the image look faults
    std::wstring shown;
    report.show = [&](const wchar_t* text) { shown = text; };
    report.terminate = [](UINT) {};
    report.Write(nullptr);
    EXPECT_NE(shown.find(L"  (abort)"), std::wstring::npos);
}

TEST(CrashReportTest, NoMzSignStopsTheImageLook) {
    std::vector<uint8_t> fake(256, 0);
    CrashReport report;
    report.module = reinterpret_cast<HMODULE>(fake.data());
    report.FindImage();
    EXPECT_EQ(report.text, L" No MZ sign at " + Hex(reinterpret_cast<uintptr_t>(fake.data())) + L"\r\n");
    EXPECT_EQ(report.imageStart, report.imageEnd);
    fake[0] = 'M', fake[1] = 'Z', fake[0x3C] = 0x40;
    CrashReport second;
    second.module = reinterpret_cast<HMODULE>(fake.data());
    second.FindImage();
    EXPECT_EQ(second.text.substr(0, 15), L" No PE sign at ");
}

// In a test program (no fault dialog asked for) an exception that nobody handles ends the program at once
// with the report's exit code, the report on stderr, never a dialog that waits for a click.
TEST(CrashReportTest, AnUnhandledExceptionInATestEndsItWithTheReportOnStderr) {
    EXPECT_EXIT(
        {
            TheCrashReport().Install();
            ::RaiseException(0xE0000002, 0, 0, nullptr);
        },
        ::testing::ExitedWithCode(CrashReport::kExitReported), "Exception: E0000002");
}

}  // namespace
