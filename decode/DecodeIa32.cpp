#include "decode/Ia32Insn.h"

#include <atomic>
#include <cstring>

namespace {
std::atomic<uint32_t> gOptions{0};
}

void SetDecodeOptions() { gOptions.store((gOptions.load() & ~kOptSignedImm) | kStartupOptions); }
uint32_t DecodeOptions() { return gOptions.load(std::memory_order_relaxed); }

unsigned DecodeInstruction(IA32_INSN& insn, uint8_t bitness, int64_t address, const uint8_t* bytes,
                           size_t, uint32_t options) {
    std::memset(&insn, 0, sizeof insn);
    insn.mode = bitness / 8;
    insn.address = address;
    insn.options = options;
    insn.bytes = bytes;
    insn.length = 1;
    return 1;
}

int64_t RelativeTarget(const IA32_INSN& insn, const IA32_OPERAND& op) {
    return insn.address + insn.length + op.value.imm;
}
int64_t OperandTarget(const IA32_INSN&, const IA32_OPERAND& op) { return op.value.mem.disp; }
int DecodeTargets(const IA32_INSN&, DECODE_TARGET out[2]) {
    std::memset(out, 0, 2 * sizeof *out);
    return 0;
}
