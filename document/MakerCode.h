#pragma once
// Makers of code runs, dumps and byte lines.

#include "document/BMaker.h"

// A run of whole instructions; one code record covers it.
class MakerCode : public BMaker {
public:
    explicit MakerCode(FileParseThread* document) : BMaker(document) { name = L"Code"; }
    void ComputeEnd() override;
    void Apply() override;
};

// Characters, a dump line at a time; a dump longer than one line gets a collapse.
class MakerDump : public BMaker {
public:
    explicit MakerDump(FileParseThread* document) : BMaker(document) { name = L"Dump"; }
    void ComputeEnd() override;
    void Apply() override;
};

// Hex bytes in lines of a fixed length (whole lines only).
class MakerByteline : public BMaker {
public:
    MakerByteline(FileParseThread* document, uint32_t lineLength)
        : BMaker(document), lineLength(lineLength) { name = L"Byteline"; }
    void ComputeEnd() override;
    void Apply() override;
    bool Report() override;

    uint32_t lineLength;
};
