#pragma once
// The crash report: when an exception reaches the top of a thread unhandled, a short text (version,
// image base, faulting address, exception code, registers, 512 bytes of stack) is shown in a dialog and
// the process ends.

#include "core/StringW.h"

#include <windows.h>

#include <cstdarg>
#include <cstdint>
#include <functional>

class CrashReport {
public:
    static constexpr UINT kExitReported = 238;
    static constexpr UINT kExitNested = 239;

    CrashReport() = default;
    virtual ~CrashReport() = default;
    CrashReport(const CrashReport&) = delete;
    CrashReport& operator=(const CrashReport&) = delete;

    // Set in the environment (to anything), the report goes to stderr instead of its dialog: test runs
    // set it, so that a crash ends them at once rather than waiting for an answer.
    static constexpr const wchar_t* kStderrSwitch = L"TRELVO_CRASH_TO_STDERR";
    static bool ToStderr();

    // The process-wide unhandled-exception filter.
    static LONG WINAPI Filter(EXCEPTION_POINTERS* pointers);
    // Installs Filter, keeping the one installed before (never called).
    void Install();
    // Builds the report, shows it and ends the process.
    void Write(EXCEPTION_POINTERS* pointers);
    // Builds the report text (steps before the dialog); false when a report was begun before.
    bool Build(EXCEPTION_POINTERS* pointers);

    // The program's own image: base and the range of its PE image.
    void FindImage();
    bool InImage(uintptr_t address) const { return address >= imageStart && address < imageEnd; }
    const wchar_t* FormatHex(uint32_t value);
    const wchar_t* FormatAddress(uintptr_t address);
    void DumpStack(uintptr_t start, int bytes);

    void TextAppendLine();
    void TextAppendText(const wchar_t* text);
    void TextAppendFormat(const wchar_t* format, ...);
    void TextFormatLine(const wchar_t* format, ...);

    StringW text;
    LPTOP_LEVEL_EXCEPTION_FILTER previous = nullptr;
    uint32_t code = 0;
    uint32_t address = 0;
    uint32_t stackPointer = 0;
    uintptr_t imageBase = 0;
    uintptr_t imageStart = 0;
    uintptr_t imageEnd = 0;

    // The module whose image is reported (null: the program) and how the report is shown and the process
    // ended; tests replace them.
    HMODULE module = nullptr;
    std::function<void(const wchar_t* report)> show;
    std::function<void(UINT exitCode)> terminate;

    // The report's lines (step 3); public for the guarded call.
    void WriteLines(EXCEPTION_POINTERS* pointers);

private:
    void AppendFormatted(bool newLine, const wchar_t* format, va_list args);
    wchar_t hexText_[16] = {};
    wchar_t addressText_[24] = {};
};

CrashReport& TheCrashReport();
