// Running GNU objdump over raw bytes and reading its Intel-syntax listing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct ObjdumpLine {
    uint64_t address = 0;
    unsigned length = 0;                 // bytes listed on the line
    std::string text;                    // everything after the bytes: prefix words, mnemonic, operands
};

// True when an objdump that knows the i386 architectures runs on this machine.
bool ObjdumpAvailable();

// objdump's name for a bitness: "i8086", "i386" or "i386:x86-64".
const char* ObjdumpMachine(uint8_t bitness);

// Disassembles `bytes` as one block of `bitness`-bit code starting at address `vma` and calls `line`
// for every instruction line, in order. False with `error` set when objdump cannot be run.
bool RunObjdump(const std::vector<uint8_t>& bytes, uint8_t bitness, uint64_t vma,
                const std::function<void(const ObjdumpLine&)>& line, std::string& error);

// Reads one listing line ("  1f:\t7f c4   \tjg     0xffffffe5"); false for headers and blank lines.
bool ParseObjdumpLine(const char* text, ObjdumpLine& out);
