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

// The clock of all meters, in milliseconds.
int32_t MeterTicks();
