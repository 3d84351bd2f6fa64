#include "app/CrashReport.h"

#include "app/DText.h"
#include "document/SehGuard.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>

namespace {

CrashReport gCrashReport;

void ShowReport(const wchar_t* report) {
    if (CrashReport::ToStderr()) {
        fputws(L"Crash report:\n", stderr);
        fputws(report, stderr);
        fputws(L"\n", stderr);
        fflush(stderr);
        return;
    }
    DText box(nullptr);
    box.caption = L"Ba-bah!";
    box.buttonText = L"&Terminate";
    const StringW text(report);
    box.ShowModal(text);
}

}  // namespace

CrashReport& TheCrashReport() { return gCrashReport; }

bool CrashReport::ToStderr() {
    wchar_t value[8];
    return ::GetEnvironmentVariableW(kStderrSwitch, value, 8) > 0;
}

void CrashReport::Install() {
    previous = ::SetUnhandledExceptionFilter(&CrashReport::Filter);
}

LONG WINAPI CrashReport::Filter(EXCEPTION_POINTERS* pointers) {
    CrashReport& report = TheCrashReport();
    if (pointers && pointers->ContextRecord)
        report.stackPointer = static_cast<uint32_t>(pointers->ContextRecord->Esp);
    if (pointers && pointers->ExceptionRecord) {
        report.address = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointers->ExceptionRecord->ExceptionAddress));
        report.code = pointers->ExceptionRecord->ExceptionCode;
    }
    report.Write(pointers);
    return EXCEPTION_EXECUTE_HANDLER;
}

void CrashReport::Write(EXCEPTION_POINTERS* pointers) {
    if (!Build(pointers)) {
        if (terminate)
            terminate(kExitNested);
        else
            ::TerminateProcess(::GetCurrentProcess(), kExitNested);
        return;
    }
    if (show)
        show(text.c_str());
    else
        ShowReport(text.c_str());
    if (terminate)
        terminate(kExitReported);
    else
        ::TerminateProcess(::GetCurrentProcess(), kExitReported);
}

bool CrashReport::Build(EXCEPTION_POINTERS* pointers) {
    if (imageBase != 0)
        return false;
    // A fault while writing ends the text with "(abort)"; what was written stays.
    struct Call {
        CrashReport* report;
        EXCEPTION_POINTERS* pointers;
        static void Run(void* context) {
            Call* call = static_cast<Call*>(context);
            call->report->WriteLines(call->pointers);
        }
    } call{this, pointers};
    SehFault fault;
    const bool finished = CallGuarded(&Call::Run, &call, &fault);
    if (!finished)
        TextAppendText(L"  (abort)");
    return true;
}

void CrashReport::WriteLines(EXCEPTION_POINTERS* pointers) {
    FindImage();
    TextFormatLine(L"   Version: %s x%s", L"0.0.0", L"32");
    TextFormatLine(L" Imagebase: %s", FormatHex(static_cast<uint32_t>(imageBase)));
    const StringW hex(FormatHex(address));
    TextFormatLine(L"   Address: %s %s", hex.c_str(), InImage(address) ? FormatAddress(address) : L"");
    TextFormatLine(L" Exception: %08X", code);
    if (pointers && pointers->ContextRecord) {
        const CONTEXT& c = *pointers->ContextRecord;
        TextAppendLine();
        TextFormatLine(L" eax: %08X  ebx: %08X  ecx: %08X  edx: %08X", static_cast<uint32_t>(c.Eax),
                       static_cast<uint32_t>(c.Ebx), static_cast<uint32_t>(c.Ecx), static_cast<uint32_t>(c.Edx));
        TextFormatLine(L" esi: %08X  edi: %08X  ebp: %08X  esp: %08X", static_cast<uint32_t>(c.Esi),
                       static_cast<uint32_t>(c.Edi), static_cast<uint32_t>(c.Ebp), static_cast<uint32_t>(c.Esp));
    }
    DumpStack(stackPointer, 512);
}

void CrashReport::FindImage() {
    imageBase = reinterpret_cast<uintptr_t>(module ? module : ::GetModuleHandleW(nullptr));
    const uint8_t* base = reinterpret_cast<const uint8_t*>(imageBase);
    if (*reinterpret_cast<const uint16_t*>(base) != 0x5A4D) {
        TextFormatLine(L" No MZ sign at %s", FormatHex(static_cast<uint32_t>(imageBase)));
        TextAppendLine();
        return;
    }
    const uint8_t* pe = base + *reinterpret_cast<const uint32_t*>(base + 0x3C);
    if (*reinterpret_cast<const uint32_t*>(pe) != 0x4550) {
        TextFormatLine(L" No PE sign at %s", FormatHex(static_cast<uint32_t>(imageBase)));
        TextAppendLine();
        return;
    }
    imageStart = reinterpret_cast<uintptr_t>(pe);
    imageEnd = imageStart + *reinterpret_cast<const uint32_t*>(pe + 80);
}

const wchar_t* CrashReport::FormatHex(uint32_t value) {
    swprintf(hexText_, sizeof hexText_ / sizeof hexText_[0], L"%08X", value);
    return hexText_;
}

const wchar_t* CrashReport::FormatAddress(uintptr_t a) {
    if (InImage(a))
        swprintf(addressText_, sizeof addressText_ / sizeof addressText_[0], L"[%08X]",
                 static_cast<uint32_t>(a - imageBase));
    else
        swprintf(addressText_, sizeof addressText_ / sizeof addressText_[0], L" %08X ", static_cast<uint32_t>(a));
    return addressText_;
}

void CrashReport::DumpStack(uintptr_t start, int bytes) {
    if (!text.empty())
        TextAppendLine();
    for (int i = 0; i < bytes / 4; ++i) {
        const uint32_t* slot = reinterpret_cast<const uint32_t*>(start + 4 * static_cast<uintptr_t>(i));
        if (::IsBadReadPtr(slot, 4))
            break;
        if (i % 8 == 0)
            TextFormatLine(L" %s:", FormatHex(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(slot))));
        const uint32_t value = *slot;
        if (InImage(value))
            TextAppendFormat(L"[%08X]", static_cast<uint32_t>(value - imageBase));
        else
            TextAppendFormat(L" %08X ", value);
        if (i % 8 == 3)
            TextAppendFormat(L"%s", L"-");
    }
}

void CrashReport::TextAppendLine() {
    if (!text.empty())
        text.append(L"\r\n");
}

void CrashReport::TextAppendText(const wchar_t* line) {
    TextAppendLine();
    text.append(line);
}

void CrashReport::AppendFormatted(bool newLine, const wchar_t* format, va_list args) {
    StringW part;
    part.FormatV(format, args);
    if (newLine)
        TextAppendLine();
    text.append(part);
}

void CrashReport::TextAppendFormat(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    AppendFormatted(false, format, args);
    va_end(args);
}

void CrashReport::TextFormatLine(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    AppendFormatted(true, format, args);
    va_end(args);
}
