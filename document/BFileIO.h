#pragma once
// The byte source of one document: opens the file once, read-only, reads every byte into memory it
// owns, closes the file and answers each read from memory.

#include "core/StringW.h"

#include <cstdint>

class BFileIO {
public:
    BFileIO() = default;
    ~BFileIO();
    BFileIO(const BFileIO&) = delete;
    BFileIO& operator=(const BFileIO&) = delete;

    // Nothing to do: the handle is closed when Open returns.
    virtual void Close();
    // Reads the whole file; false when it cannot be opened, read in full or held in memory.
    virtual bool Open();
    virtual int32_t GetSize();
    // Copies up to `count` bytes from `offset`; an offset at or past the size copies nothing.
    virtual uint32_t Read(uint32_t offset, void* destination, uint32_t count);

    // Problem() when set, else the system's text of the last error.
    StringW GetErrorText() const;
    // A short text of why the file is not held; empty when the system's text says it all.
    const StringW& Problem() const { return problem_; }
    const uint8_t* Bytes() const { return bytes_; }

    StringW fileName;
    int32_t size = -1;
    uint32_t lastError = 0;
    uint32_t access = 0x80000000;     // GENERIC_READ
    uint32_t shareMode = 3;           // FILE_SHARE_READ | FILE_SHARE_WRITE
    uint32_t creation = 3;            // OPEN_EXISTING
    uint32_t flagsAndAttributes = 0x80;

private:
    void Free();

    uint8_t* bytes_ = nullptr;
    StringW problem_;
};

// The system's text of an error code, or "FormatMessage() returns %d" when it has none.
StringW FormatSystemMessage(uint32_t code);
