#pragma once
// The log of one open file: lines go to its log pane (a sink; none until a window attaches one) under
// the log lock, which a caller may also hold around a group of lines so that they stay together.

#include "core/SectionLock.h"
#include "core/StringW.h"

class BDocumentHost;
class BLogSink;

class FileLog {
public:
    FileLog() = default;
    virtual ~FileLog() = default;
    FileLog(const FileLog&) = delete;
    FileLog& operator=(const FileLog&) = delete;

    void SetSink(BLogSink* sink);
    BLogSink* Sink() const { return sink_; }
    // The window whose status bar ShowInStatusBar uses; null once the file is closed.
    void SetHost(BDocumentHost* host) { host_ = host; }
    CRITICAL_SECTION* Lock() { return lock_.Get(); }

    // A new line (or, after SetContinue, the rest of the last line) from one of our own formats.
    void Print(const wchar_t* format, ...);
    // A text as it stands (from a plug-in, a file or the user): never read as a format. Each line
    // also goes to the file's status bar.
    void PrintText(const wchar_t* text);
    void SetContinue() { continue_ = true; }
    // The next new line is drawn in the log's marked colour.
    void MarkNextLine() { prefix_ = 0x01; }
    const StringW& LastText() const { return last_; }
    // The last text goes to the file's status bar, highlighted for a while.
    void ShowInStatusBar();

private:
    // Adds the text to the pane; false without one.
    bool Write(const wchar_t* text);

    CriticalSection lock_;
    BLogSink* sink_ = nullptr;
    BDocumentHost* host_ = nullptr;
    StringW last_;
    bool continue_ = false;
    wchar_t prefix_ = 0;
};
