#pragma once
// Makers of typed data: elements of 1, 2, 4 or 8 bytes, several to a line, in the document's or the
// item's own radix and element order.

#include "document/BMaker.h"

class BMakerData : public BMaker {
public:
    BMakerData(FileParseThread* document, int elementSize);
    void ComputeEnd() override;
    void Apply() override;
    // With a marked block the data-array dialog chooses items per line, radix and collapse first.
    bool MakeAtCursor(BDizaView* pane) override;

    int32_t elementSize;
    // Bits 0-7 items per line, 28 big-endian, 29 radix chosen, 30 decimal, 31 signed.
    uint32_t dataFormat;
};

class MakerByte : public BMakerData {
public:
    explicit MakerByte(FileParseThread* document) : BMakerData(document, 1) { name = L"Byte"; }
};

class MakerWord : public BMakerData {
public:
    explicit MakerWord(FileParseThread* document) : BMakerData(document, 2) { name = L"Word"; }
};

class MakerDword : public BMakerData {
public:
    explicit MakerDword(FileParseThread* document) : BMakerData(document, 4) { name = L"Dword"; }
};

class MakerQword : public BMakerData {
public:
    explicit MakerQword(FileParseThread* document) : BMakerData(document, 8) { name = L"Qword"; }
};
