#include "decode/Ia32Insn.h"

#include <cstring>

const char* MnemonicName(unsigned index) { return index == 0 ? "#UD" : "<n/a>"; }

const char* FormatInstruction(const IA32_INSN& insn, char* out, size_t capacity, DecodeNameFn, void*) {
    if (capacity)
        std::strncpy(out, MnemonicName(InsnMnemonic(insn)), capacity - 1), out[capacity - 1] = 0;
    return out;
}
