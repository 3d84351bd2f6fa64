// Numbers as text: the data formatter NumberText (byte, word, dword and qword values in hexadecimal,
// signed or unsigned decimal, padded or natural, byte-swapped, binary), and ParseNumber, its reverse,
// which reads the backquote form of 64-bit hex ("00000001`00000002").
#pragma once

#include <cstdint>

// Made on the caller's stack; set the fields, then call a Format operation, which writes `text` and
// returns it.
struct NumberText {
    wchar_t text[256] = {};
    // Sized formats: 0 natural, else padded decimal. FormatHexAuto: the element size (0 by magnitude,
    // 1, 2, 4; anything else 64-bit).
    int32_t width = 0;
    uint8_t decimal = 0;      // 0 hexadecimal, 1 decimal
    uint8_t isSigned = 0;     // 1 shows the value as signed

    const wchar_t* Print(const wchar_t* format, ...);

    const wchar_t* FormatByte(uint8_t value);
    const wchar_t* FormatWord(uint16_t value);
    const wchar_t* FormatDword(uint32_t value);
    const wchar_t* FormatQword(uint64_t value);
    // Big-endian values read from memory: the bytes are reversed first.
    const wchar_t* FormatWordSwapped(uint16_t value);
    const wchar_t* FormatDwordSwapped(uint32_t value);
    const wchar_t* FormatQwordSwapped(uint64_t value);
    // size × 8 bits, most significant first, '-' between groups of eight ("00000001-00000010").
    const wchar_t* FormatBinary(uint64_t value, int size);
    const wchar_t* FormatBinarySwapped(uint64_t value, int size);

    const wchar_t* FormatDecimal(int32_t value);           // "%d"
    const wchar_t* FormatHexByte(uint32_t value);          // "%02X" of the low byte
    const wchar_t* FormatHexDword(uint32_t value);         // "%08X"
    const wchar_t* FormatSignedQwordHex(int64_t value);    // " %08X`%08X" or "-%08X`%08X" of the magnitude
    const wchar_t* FormatHexAuto(uint64_t value);
};

// Reads a number: optional sign, "0x" switching to base 16, backquotes skipped; white space or any
// other character ends it. Base 0 means 10. An empty text gives true and 0. Overflow past the largest
// signed 64-bit value gives false and -1.
bool ParseNumber(const wchar_t* text, int64_t& result, int base);

int HexDigitValue(wchar_t c);          // 0-15, or -1
int HexAddressWidth(uint64_t value);   // 4, 8, 11, 13, 15 or 17 characters
int DecimalDigits(uint64_t value);     // 1 for 0

uint16_t SwapBytes16(uint16_t value);
uint32_t SwapBytes32(uint32_t value);
uint64_t SwapBytes64(uint64_t value);
