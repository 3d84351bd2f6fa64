#include "document/FileLog.h"

#include "document/DocumentHost.h"
#include "core/TimingTrace.h"

void FileLog::SetSink(BLogSink* sink) {
    SectionLock lock(lock_.Get());
    sink_ = sink;
}

void FileLog::Print(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    StringW text;
    text.FormatV(format, args);
    va_end(args);
    PrintText(text.c_str());
}

void FileLog::PrintText(const wchar_t* text) {
    if (Write(text))
        ShowInStatusBar();
}

bool FileLog::Write(const wchar_t* text) {
    SectionLock lock(lock_.Get());
    if (!sink_)
        return false;
    TimingTrace::Event(L"log %s", text);
    if (continue_) {
        continue_ = false;
        last_.Append(text);
        sink_->AddLine(text, true);
        return true;
    }
    last_.SetText(text);
    if (prefix_) {
        StringW marked(&prefix_, 1);
        marked.Append(text);
        prefix_ = 0;
        sink_->AddLine(marked.c_str(), false);
    } else {
        sink_->AddLine(text, false);
    }
    return true;
}

void FileLog::ShowInStatusBar() {
    StringW text;
    {
        SectionLock lock(lock_.Get());
        text = last_;
    }
    if (host_)
        host_->ShowInStatusBar(text.c_str());
}
