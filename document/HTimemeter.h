#pragma once
// Elapsed time of a job, and its short text ("0s", "1.234s", "12s", "3m 04s", "1h 02m 03s").

#include <cstdint>

class HTimemeter {
public:
    HTimemeter() = default;
    virtual ~HTimemeter() = default;

    void Start();
    void Stop();
    // The text of the elapsed milliseconds, in the meter's own buffer.
    const wchar_t* ElapsedText();
    static void FormatElapsed(int32_t ms, wchar_t (&text)[32]);

    int32_t startTicks = 0;   // 0 = stopped
    int32_t elapsed = 0;      // milliseconds
    wchar_t text[32] = {};
};

// The named meter a job body opens on entry: started when made, stopped when it goes out of scope.
class HTimemeterScope {
public:
    // The name is formatted printf-style from one of our own formats.
    explicit HTimemeterScope(const wchar_t* format, ...);
    virtual ~HTimemeterScope();
    HTimemeterScope(const HTimemeterScope&) = delete;
    HTimemeterScope& operator=(const HTimemeterScope&) = delete;

    const wchar_t* Name() const { return name; }

    wchar_t name[512] = {};
    HTimemeter meter;
};

// The clock of all meters, in milliseconds.
int32_t MeterTicks();
