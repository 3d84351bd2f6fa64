#pragma once
// The base of the parse, refers-scan, string-scan and find jobs. A job's Run is called directly and
// runs to its end on the calling thread; no thread is ever made, so the handle and id keep their
// initial values.

#include <cstdint>

class BThread {
public:
    BThread() = default;
    virtual ~BThread() = default;
    BThread(const BThread&) = delete;
    BThread& operator=(const BThread&) = delete;

    virtual void Run() = 0;

    int32_t threadHandle = -1;
    int32_t threadId = 0;
};
