#include "document/HTimemeter.h"

#include <cstdarg>
#include <ctime>

#include "core/StringW.h"

int32_t MeterTicks() {
    static_assert(CLOCKS_PER_SEC == 1000, "the meter counts milliseconds");
    return static_cast<int32_t>(std::clock());
}

void HTimemeter::Start() { startTicks = MeterTicks(); }

void HTimemeter::Stop() {
    elapsed = MeterTicks() - startTicks;
    startTicks = 0;
}

const wchar_t* HTimemeter::ElapsedText() {
    FormatElapsed(elapsed, text);
    return text;
}

void HTimemeter::FormatElapsed(int32_t ms, wchar_t (&out)[32]) {
    StringW t;
    if (ms == 0) {
        t = L"0s";
    } else {
        int h = ms / 3600000;
        int m = ms / 60000 - h * 60;
        int s = ms / 1000 - (ms / 60000) * 60;
        if (h > 0)
            t.Format(L"%dh %02dm %02ds", h, m, s);
        else if (m > 0)
            t.Format(L"%dm %02ds", m, s);
        else if (s < 5)
            t.Format(L"%d.%03ds", s, ms % 1000);
        else
            t.Format(L"%ds", s);
    }
    size_t n = t.size() < 31 ? t.size() : 31;
    t.copy(out, n);
    out[n] = 0;
}

HTimemeterScope::HTimemeterScope(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    FormatIntoW(name, 512, format ? format : L"", args);
    va_end(args);
    meter.Start();
}

HTimemeterScope::~HTimemeterScope() { meter.Stop(); }
