// The decode-engine interface every decoding user of a document works through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "decode/Ia32Insn.h"

// What the engine needs from the document it decodes: its bytes, its segments and its names.
class BDecodeSource {
public:
    virtual ~BDecodeSource() = default;
    // Copies up to `count` bytes at `address` into `out`; returns how many were read (0: none).
    virtual size_t ReadBytes(int64_t address, uint8_t* out, size_t count) = 0;
    // True when `address` lies in one of the document's segments.
    virtual bool IsInSegment(int64_t address) = 0;
    // Writes the first name at `address` (UTF-16, NUL-terminated, cut to `capacity` units) into `out`
    // and returns true, or returns false when there is none.
    virtual bool FirstNameAt(int64_t address, char16_t* out, size_t capacity) = 0;
};

class BDecodeEngine {
public:
    BDecodeEngine(BDecodeSource* source, uint8_t bitness) : source_(source), bitness_(bitness) {}
    virtual ~BDecodeEngine() = default;
    BDecodeEngine(const BDecodeEngine&) = delete;
    BDecodeEngine& operator=(const BDecodeEngine&) = delete;

    // A new engine for the same document and bitness, with an empty record.
    virtual std::unique_ptr<BDecodeEngine> Clone() const = 0;
    // Start of the instruction covering `address` when decoding forward from `from`.
    virtual int64_t InsnStartAt(int64_t from, int64_t address) = 0;
    // Decodes `bytes` (of which `available` may be read) as the instruction at `address`; returns
    // its length.
    virtual unsigned DecodeBytes(int64_t address, const uint8_t* bytes, size_t available) = 0;
    // Reads the document at `address` and decodes; 1 with an empty record when nothing can be read.
    virtual unsigned DecodeAt(int64_t address) = 0;
    // The 16 bytes the last DecodeAt read (zero past what the document held).
    virtual const uint8_t* GetBytes() const = 0;
    // Branch or memory targets of the last instruction; returns 0-2.
    virtual int GetTargets(DECODE_TARGET out[2]) const = 0;
    // Text of the last instruction, with the document's names.
    virtual const wchar_t* GetText() = 0;
    // True when the last instruction is "#UD", invalid in this mode, or could not be read.
    virtual bool IsUndefined() const = 0;

    // The register-name table of the instruction text: 12 groups of 16 names by register class, the
    // general class split by size (0 segment, 1 8-bit, 2 16-bit, 3 32-bit, 4 x87, 5 64-bit, 6 MMX,
    // 7-8 empty, 9 control, 10 debug, 11 test); "" outside the table.
    static constexpr unsigned kRegisterGroups = 12;
    static const char* RegisterNameText(unsigned group, unsigned number);

    BDecodeSource* Source() const { return source_; }
    uint8_t Bitness() const { return bitness_; }

protected:
    BDecodeSource* source_;              // borrowed
    uint8_t bitness_;                    // 16, 32 or 64
};
