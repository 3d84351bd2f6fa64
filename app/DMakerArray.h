#pragma once
// The data-array dialog: how many elements of a block go on one line, and whether they show in
// decimal, signed and collapsed; the three boxes keep their state from one use to the next.

#include "app/ThemeDialog.h"

#include <cstdint>

class DMakerArray : public ThemeDialog {
public:
    // An element size of 1, 2, 4 or 8 bytes over a block of `byteCount` bytes.
    DMakerArray(CWnd* parent, int elementSize, int64_t byteCount);

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnPerLineDone();

    // Elements per line kept inside 1 .. (254 + size) / size.
    int LimitPerLine(int64_t value) const;

    // Process-wide states of the three check boxes.
    static bool& Decimal();
    static bool& Signed();
    static bool& Collapsed();

    int elementSize;
    int perLine;
    int64_t byteCount;
    int64_t elementCount;
};
