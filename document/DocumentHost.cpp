#include "document/DocumentHost.h"

namespace {

BFileDirectory* g_directory = nullptr;
BLogSink* g_mainLog = nullptr;

}  // namespace

void SetFileDirectory(BFileDirectory* directory) { g_directory = directory; }

FileParseThread* FindFileById(int32_t id) { return g_directory && id != 0 ? g_directory->FindFileById(id) : nullptr; }

void SetMainLog(BLogSink* log) { g_mainLog = log; }

void MainLogLine(const wchar_t* text) {
    if (g_mainLog)
        g_mainLog->AddLine(text, false);
}

void MainLogAppend(const wchar_t* text) {
    if (g_mainLog)
        g_mainLog->AddLine(text, true);
}
