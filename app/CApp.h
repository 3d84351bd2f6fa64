#pragma once
// The application object: the one global of the program. It owns the main window, the application's
// option set, the command line and the parser registry (the open dialog keeps the recent files). Its
// start-up prepares the process and shows the main window; the command-line files are opened by a
// posted message once the loop runs.

#include "app/VApp.h"
#include "classlib/Application.h"
#include "core/StringW.h"
#include "document/BFileParser.h"
#include "document/DocumentHost.h"
#include "options/Options.h"

#include <cstdarg>
#include <cstdint>
#include <vector>

class FileParseThread;

// The file names of the command line, at most eight; any option word or a ninth name is refused with
// the usage line.
class AppCommandLine {
public:
    static constexpr int kMaxFiles = 8;
    virtual ~AppCommandLine() = default;

    // The text after the program name; false (error holds the usage line) when it cannot be taken.
    bool Parse(const wchar_t* text);
    // File name i counted from 1; empty for 0, a negative index or one beyond the count.
    StringW GetArg(int i) const;
    int Count() const { return static_cast<int>(files.size()); }

    std::vector<StringW> files;
    StringW error;
};

constexpr int kBuildNumber = 2503;
constexpr const wchar_t* kProductName = L"Trelvo";

class CApp : public Application, public BFileDirectory, public BLogSink {
public:
    CApp();
    ~CApp() override;

    bool InitInstance() override;
    int ExitInstance(int quitCode) override;
    // The start-up steps with a given command line (the text after the program name) and show command.
    bool Start(const wchar_t* commandLineText, int showCommand);

    // The open document with that file id, or null.
    FileParseThread* FindFileById(int32_t id) override;
    // A new line in the main log, or the rest of its last line. Formats are our own literals.
    void LogLine(const wchar_t* format, ...);
    void LogAppend(const wchar_t* format, ...);
    void LogFormatted(bool continuation, const wchar_t* format, va_list args);
    // The main log as the document sees it.
    void AddLine(const wchar_t* text, bool continuation) override;

    // Closing the main window: asks when work runs, closes every tab; false when the window stays.
    bool CloseAll();

    VApp mainWindow;
    AppOptions options;
    AppCommandLine commandLine;
    ParserRegistry parsers;
    const wchar_t* windowClass = nullptr;
};

// The application object of the process.
CApp& App();
