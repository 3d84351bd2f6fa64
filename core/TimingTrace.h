// Times of the program's own events for a benchmark driving it from outside: when the environment
// variable TRELVO_TIMING names a file, each event is appended to it as one line
// "<microseconds> <text>", on the performance counter's clock (one clock for every process of the
// machine). Without the variable an event costs one test of a flag.
#pragma once

namespace TimingTrace {

bool On();
// Writes the event; the text is one of our own formats ("%s" for wide text).
void Event(const wchar_t* format, ...);

}  // namespace TimingTrace
