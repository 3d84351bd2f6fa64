#include "document/SehGuard.h"

#include <windows.h>
#include <intrin.h>

// MinGW has no __try: the frame is registered by hand at the head of the thread's handler chain
// (fs:[0]). The handler unwinds every frame above ours and jumps back into CallGuarded.

namespace {

struct GuardFrame {
    EXCEPTION_REGISTRATION_RECORD registration;   // first: fs:[0] points here
    void* jump[5];                                 // __builtin_setjmp buffer
    SehFault fault;
};

EXCEPTION_DISPOSITION NTAPI GuardHandler(EXCEPTION_RECORD* record, void* establisher, CONTEXT*, void*) {
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
        return ExceptionContinueSearch;
    GuardFrame* frame = static_cast<GuardFrame*>(establisher);
    frame->fault.code = record->ExceptionCode;
    frame->fault.address = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(record->ExceptionAddress));
    // Frames registered inside the call get their unwind calls; afterwards ours heads the chain again.
    ::RtlUnwind(establisher, nullptr, record, nullptr);
    __builtin_longjmp(frame->jump, 1);
}

}  // namespace

bool CallGuarded(void (*fn)(void*), void* context, SehFault* fault) {
    GuardFrame frame;
    frame.fault = SehFault();
    frame.registration.Handler = GuardHandler;
    frame.registration.Next = reinterpret_cast<EXCEPTION_REGISTRATION_RECORD*>(__readfsdword(0));
    bool completed = true;
    __writefsdword(0, static_cast<DWORD>(reinterpret_cast<uintptr_t>(&frame.registration)));
    if (__builtin_setjmp(frame.jump) == 0)
        fn(context);
    else
        completed = false;
    __writefsdword(0, static_cast<DWORD>(reinterpret_cast<uintptr_t>(frame.registration.Next)));
    if (fault)
        *fault = frame.fault;
    return completed;
}
