#pragma once
// Finds a byte pattern with "any byte" positions in a buffer, forward or backward: a Horspool search
// whose skips come from the longest run of fixed bytes. Letters may match in either case, and the
// pattern may be taken in the OEM code page.

#include <cstdint>

class ByteSearch {
public:
    static constexpr int kMaxLength = 520;

    ByteSearch() = default;
    virtual ~ByteSearch() = default;

    // Takes the pattern (mask byte non-zero: any byte there); a length above kMaxLength is cut. Returns
    // the length of the longest fixed run, 0 when there is none or the length is 0 or less.
    int Setup(const uint8_t* pattern, const uint8_t* mask, int length);
    // The first hit at or after the buffer's start lying wholly in the buffer, or -1.
    int FindForward(const uint8_t* buffer, int length) const;
    // The last hit that ends at or before `end`, or -1.
    int FindBackward(const uint8_t* buffer, int end) const;

    int Length() const { return length_; }

    uint8_t oem = 0;
    uint8_t caseSensitive = 0;

private:
    bool MatchesAt(const uint8_t* at) const;

    uint8_t pattern_[kMaxLength] = {};
    uint8_t otherCase_[kMaxLength] = {};
    uint8_t mask_[kMaxLength] = {};
    uint8_t fold_[256] = {};
    int32_t forward_[256] = {};
    int32_t backward_[256] = {};
    // The skips indexed by the byte itself (the fold applied), 0 for the run's own end byte, so that
    // the skip loops need neither the fold nor a compare.
    int32_t forwardByByte_[256] = {};
    int32_t backwardByByte_[256] = {};
    int32_t length_ = 0;
    int32_t runLength_ = 0;
    int32_t runStart_ = 0;
    int32_t runEnd_ = 0;
};
