// Scope guard over a critical section that may be absent (null: the guard does nothing). Every store
// access takes its lock this way, so every path out, exceptions included, releases it.
#pragma once

#include <windows.h>

class SectionLock {
public:
    explicit SectionLock(CRITICAL_SECTION* section) : section_(section) {
        if (section_) EnterCriticalSection(section_);
    }
    ~SectionLock() {
        if (section_) LeaveCriticalSection(section_);
    }
    SectionLock(const SectionLock&) = delete;
    SectionLock& operator=(const SectionLock&) = delete;

private:
    CRITICAL_SECTION* section_;
};

// A critical section owned by a store or document: initialised when made, deleted when destroyed.
class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&section_); }
    ~CriticalSection() { DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    CRITICAL_SECTION* Get() { return &section_; }

private:
    CRITICAL_SECTION section_;
};
