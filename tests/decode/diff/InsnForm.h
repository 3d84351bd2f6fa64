// One instruction text (ours or objdump's) read into a common shape, so that the two spellings can be
// compared field by field once their conventions are normalised.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class OperandKind : uint8_t { Register, Number, Memory, Far, Words, Unknown };

struct FormOperand {
    OperandKind kind = OperandKind::Unknown;
    std::string reg;                     // Register: lower case
    int64_t value = 0;                   // Number; Far: the offset
    unsigned bits = 0;                   // Number: width our hexadecimal spelling shows, 0 unknown
    uint32_t selector = 0;               // Far
    unsigned size = 0;                   // Memory: element bytes shown, 0 when not shown
    std::string segment;                 // Memory: "es".."gs" or empty
    std::string base, index;
    unsigned scale = 0;                  // 1, 2, 4 or 8 with an index
    bool hasDisp = false;
    int64_t disp = 0;                    // RIP-relative: the absolute target
    bool ripRelative = false;
    std::string text;
};

struct InsnForm {
    enum Status : uint8_t { kValid, kInvalid, kPrefixOnly, kUndefined };
    Status status = kInvalid;            // kUndefined: our "#UD" table cell (no error)
    std::string prefix;                  // "lock", "rep", "repne" or empty
    std::string mnemonic;
    std::vector<FormOperand> operands;
    std::vector<std::string> dropped;    // objdump prefix words set aside
    std::string text;
};

// What the bytes themselves say: prefixes, REX, map and opcode, the byte after it.
struct ByteFacts {
    uint8_t bitness = 32;
    std::vector<uint8_t> prefixes;       // legacy prefixes, in order
    uint8_t rex = 0;                     // REX directly before the opcode (64-bit mode)
    unsigned prefixLength = 0;           // bytes before the opcode (or its 0F escape)
    uint8_t map = 0;                     // 0 one-byte, 0x0F, 0x38 (0F 38) or 0x3A (0F 3A)
    uint8_t opcode = 0;
    uint8_t modrm = 0;                   // the byte after the opcode
    bool Has(uint8_t prefix) const;
    unsigned AddressSize() const;        // 2, 4 or 8
    unsigned OperandSize() const;        // 2, 4 or 8 (the 66/REX.W rule, no per-opcode defaults)
    std::string Key() const;             // "0F 01 /7 r" style name of the opcode cell
};

ByteFacts ReadByteFacts(const uint8_t* bytes, size_t size, uint8_t bitness);

// Our formatter's text ("rep movsb", "mov          d,[ebp][-4],1", "#UD(32)").
InsnForm ParseOwnText(const std::string& text, const ByteFacts& facts);

// objdump's Intel-syntax text, normalised to our conventions where they are only spelling.
InsnForm ParseObjdumpText(const std::string& text, const ByteFacts& facts);

// The first field in which two forms differ ("" when they agree), with a short detail.
struct FormDifference {
    std::string field;
    std::string detail;
};
FormDifference CompareForms(const InsnForm& ours, unsigned ourLength, const InsnForm& theirs,
                            unsigned theirLength, const ByteFacts& facts);

// "8B 45 F8"
std::string HexBytes(const uint8_t* bytes, size_t size);
