// Helpers shared by the decoder's table tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "decode/Ia32Insn.h"

namespace decode_test {

// "8B 45 F8" -> bytes; blanks are optional.
inline std::vector<uint8_t> Hex(const char* text) {
    std::vector<uint8_t> out;
    int nibble = -1;
    for (const char* p = text; *p; ++p) {
        int v;
        if (*p >= '0' && *p <= '9')
            v = *p - '0';
        else if (*p >= 'A' && *p <= 'F')
            v = *p - 'A' + 10;
        else if (*p >= 'a' && *p <= 'f')
            v = *p - 'a' + 10;
        else
            continue;
        if (nibble < 0) {
            nibble = v;
        } else {
            out.push_back(static_cast<uint8_t>(nibble << 4 | v));
            nibble = -1;
        }
    }
    return out;
}

// "mov|eax,[ebp][-8]" -> the mnemonic padded to the operand column, then the operands.
inline std::string Expand(const char* text) {
    std::string s(text);
    size_t bar = s.find('|');
    if (bar == std::string::npos)
        return s;
    std::string head = s.substr(0, bar);
    size_t blanks = head.size() < 12 ? 13 - head.size() : 1;
    return head + std::string(blanks, ' ') + s.substr(bar + 1);
}

struct Decoded {
    unsigned length;
    unsigned error;
    std::string text;
    IA32_INSN insn;
};

// Decodes from a heap buffer holding exactly the given bytes, so a read past them is caught under
// AddressSanitizer.
inline Decoded Decode(int mode, uint32_t options, const std::vector<uint8_t>& bytes, int64_t address = 0x401000) {
    std::vector<uint8_t> exact(bytes);
    Decoded d;
    d.length = DecodeInstruction(d.insn, static_cast<uint8_t>(mode), address, exact.empty() ? nullptr : exact.data(),
                                 exact.size(), options);
    d.error = d.insn.error;
    char text[kInsnTextSize];
    FormatInstruction(d.insn, text, sizeof text, nullptr, nullptr);
    d.text = text;
    return d;
}

}  // namespace decode_test
