#pragma once
// Records of the address map and of page line positions, and the layout of their 32-bit words.
//
// An address-map record (Diza) says what item starts at its address: the top four bits of its kind word
// are the item kind, the lower bits its sub-fields; the item runs to the next record. A word below
// 0x10000000 is an unmade marker (written as 0). A page line position (DizaLinePos) uses the same
// encoding for an item's own line, and kinds 1, 2 and 15 for the lines around it.

#include "core/DizaLinePos.h"

#include <cstdint>

struct Diza {
    int64_t address;
    uint32_t kind;
};
static_assert(sizeof(Diza) == 16, "address-map record: 64-bit address, kind word, padding");


inline bool operator<(const Diza& a, const Diza& b) { return a.address < b.address; }

// address + n as the CPU adds addresses: past the top of the signed range it wraps instead of
// overflowing, so a range that runs off the top reads as ending below its start.
constexpr int64_t AddressPlus(int64_t address, int64_t n) {
    return static_cast<int64_t>(static_cast<uint64_t>(address) + static_cast<uint64_t>(n));
}
inline bool operator==(const Diza& a, const Diza& b) { return a.address == b.address; }

namespace diza {

// Top four bits: the kind.
constexpr int kKindShift = 28;
constexpr uint32_t kKindMask = 0xF0000000;
constexpr uint32_t KindOf(uint32_t word) { return word >> kKindShift; }

// Item kinds.
constexpr uint32_t kString = 0xA;
constexpr uint32_t kBytes = 0xB;      // a dump (length 0) or a byte line
constexpr uint32_t kCode = 0xC;
constexpr uint32_t kData = 0xD;
constexpr uint32_t kDataExt = 0xE;    // a further data kind; nothing makes it

constexpr uint32_t kUnmade = 0;
constexpr uint32_t kFirstMade = 0x10000000;   // words below it are unmade markers
constexpr bool IsUnmade(uint32_t word) { return word < kFirstMade; }
constexpr uint32_t kFirstItemLine = 0x60000000;   // item lines: 0x60000000 .. 0xEFFFFFFF
constexpr uint32_t kLastItemLine = 0xEFFFFFFF;
constexpr bool IsItemLine(uint32_t word) { return word >= kFirstItemLine && word <= kLastItemLine; }

// Strings (0xA): bits 24-27 width (0 one-byte, 1 UTF-16), bits 20-23 character class, bits 0-15 length.
constexpr int kStringWidthShift = 24;
constexpr uint32_t kStringWidthMask = 0x0F000000;
constexpr uint32_t kStringWide = 0x01000000;
constexpr int kStringClassShift = 20;
constexpr uint32_t kStringClassMask = 0x00F00000;
constexpr uint32_t kLengthMask = 0x0000FFFF;      // strings and byte lines

// Code (0xC): bits 24-27 bitness code (bitness >> 5), bit 23 a start set inside an instruction.
constexpr int kBitnessShift = 24;
constexpr uint32_t kBitnessMask = 0x0F000000;
constexpr uint32_t kForcedStart = 0x00800000;
constexpr uint32_t BitnessCode(int bitness) { return static_cast<uint32_t>(bitness) >> 5; }

// Data (0xD): bits 24-26 element size code, bit 23 big-endian, bit 21 radix chosen, bit 20 signed,
// bit 19 decimal, bits 0-7 items per line.
constexpr int kSizeShift = 24;
constexpr uint32_t kSizeMask = 0x07000000;
constexpr uint32_t kDataBigEndian = 0x00800000;
constexpr uint32_t kDataRadixChosen = 0x00200000;
constexpr uint32_t kDataSigned = 0x00100000;
constexpr uint32_t kDataDecimal = 0x00080000;
constexpr uint32_t kPerLineMask = 0x000000FF;
constexpr uint32_t SizeCode(int elementSize) {
    return elementSize == 8 ? 3u : (static_cast<uint32_t>(elementSize) >> 1) & 7u;
}

// 0xE: bits 9-11 and 12-15 take data-format bits 17-19 and 20-23.
constexpr uint32_t kExtLowMask = 0x00000E00;
constexpr uint32_t kExtHighMask = 0x0000F000;

// The words the adders write.
constexpr uint32_t StringWord(int length, int charClass) {
    return 0xA0000000u + ((static_cast<uint32_t>(charClass) & 0xF) << kStringClassShift) +
           (static_cast<uint32_t>(length) & kLengthMask);
}
constexpr uint32_t UnicodeWord(int length) { return 0xA1000000u + (static_cast<uint32_t>(length) & kLengthMask); }
constexpr uint32_t BytelineWord(int length) { return 0xB0000000u + static_cast<uint32_t>(length); }
constexpr uint32_t kDumpWord = 0xB0000000u;
constexpr uint32_t CodeWord(int bitness) { return 0xC0000000u + (BitnessCode(bitness) << kBitnessShift); }
constexpr uint32_t ForcedCodeWord(int bitness) { return 0xC0800000u + (BitnessCode(bitness) << kBitnessShift); }
constexpr uint32_t DataWord(int elementSize, int perLine) {
    return 0xD0000000u + (SizeCode(elementSize) << kSizeShift) + (static_cast<uint32_t>(perLine) & kPerLineMask);
}

constexpr bool IsPlainDump(uint32_t word) { return KindOf(word) == kBytes && (word & kLengthMask) == 0; }

// Data-format word of a document (what data items are made with).
constexpr uint32_t kFormatPerLineMask = 0x000000FF;
constexpr uint32_t kFormatExtSelect = 0x00010000;   // bit 16: the 0xE fields below are chosen
constexpr uint32_t kFormatExtLow = 0x000E0000;      // bits 17-19
constexpr uint32_t kFormatExtHigh = 0x00F00000;     // bits 20-23
constexpr uint32_t kFormatBigEndian = 0x10000000;
constexpr uint32_t kFormatRadixChosen = 0x20000000;
constexpr uint32_t kFormatDecimal = 0x40000000;
constexpr uint32_t kFormatSigned = 0x80000000;

// Page line kinds (top four bits of a line word).
constexpr uint32_t kLineNone = 0;
constexpr uint32_t kLineComment = 1;        // a comment line above the item; low 8 bits its index
constexpr uint32_t kLineName = 2;           // a name line; low 8 bits its index
constexpr uint32_t kLineOnlineMore = 15;    // a continuation line of the on-line comment
constexpr uint32_t kLineIndexMask = 0xFF;
constexpr uint32_t LineWord(uint32_t lineKind, int index) {
    return (lineKind << kKindShift) | (static_cast<uint32_t>(index) & kLineIndexMask);
}

static_assert(CodeWord(16) == 0xC0000000 && CodeWord(32) == 0xC1000000 && CodeWord(64) == 0xC2000000,
              "bitness codes 0, 1, 2");
static_assert(SizeCode(1) == 0 && SizeCode(2) == 1 && SizeCode(4) == 2 && SizeCode(8) == 3, "size codes");
static_assert((kSizeMask & kDataBigEndian) == 0 && (kDataBigEndian & kDataRadixChosen) == 0 &&
                  (kDataSigned & kDataDecimal) == 0 && (kPerLineMask & kDataDecimal) == 0,
              "data fields do not overlap");

}  // namespace diza

