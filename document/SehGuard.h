#pragma once
// Runs a call under a structured-exception frame of its own: a fault or a raised exception inside the
// call ends the call, not the program. Only exceptions that nothing inside the call handles reach the
// frame (a plug-in's own handled exceptions never do).

#include <cstdint>

struct SehFault {
    uint32_t code = 0;      // the exception record's code; 0 when the call returned normally
    uint32_t address = 0;   // where it was raised
};

// Calls fn(context); false (and the fault filled in) when an exception ended it.
bool CallGuarded(void (*fn)(void*), void* context, SehFault* fault);
