// libFuzzer target: one instruction decoded and formatted from a heap buffer of exactly the bytes
// given, so that AddressSanitizer sees any read past them. Input: a control byte (bitness, options,
// address), then the instruction bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "decode/Ia32Insn.h"

namespace {

#define FUZZ_CHECK(cond, ...)                                                                     \
    do {                                                                                          \
        if (!(cond)) {                                                                            \
            std::fprintf(stderr, "invariant failed: %s: ", #cond);                                \
            std::fprintf(stderr, __VA_ARGS__);                                                    \
            std::fprintf(stderr, "\n");                                                           \
            std::abort();                                                                         \
        }                                                                                         \
    } while (0)

// Anything longer is not an instruction line: 15 bytes give at most four operands of a few dozen
// characters each.
constexpr size_t kMaxText = 160;

struct Result {
    unsigned length;
    IA32_INSN insn;
    char text[kInsnTextSize];
};

void Decode(Result& r, uint8_t bitness, int64_t address, const uint8_t* bytes, size_t size,
            uint32_t options) {
    r.length = DecodeInstruction(r.insn, bitness, address, bytes, size, options);
    FormatInstruction(r.insn, r.text, sizeof r.text, nullptr, nullptr);
}

// A copy of `data` in a heap block of exactly `size` bytes (at least one, so the pointer is real).
std::unique_ptr<uint8_t[]> HeapCopy(const uint8_t* data, size_t size, size_t total, uint8_t fill) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[total ? total : 1]);
    std::memset(copy.get(), fill, total ? total : 1);
    std::memcpy(copy.get(), data, size < total ? size : total);
    return copy;
}

// Same length, error and text; for a valid instruction also the same attribute and operands (after
// an error the record's operands are not part of the result).
bool SameDecode(const Result& a, const Result& b) {
    if (a.length != b.length || a.insn.error != b.insn.error || std::strcmp(a.text, b.text) != 0)
        return false;
    if (a.insn.error != kErrorNone)
        return true;
    if (a.insn.attribute != b.insn.attribute)
        return false;
    for (unsigned i = 0; i < 4; ++i) {
        const IA32_OPERAND& x = a.insn.operands[i];
        const IA32_OPERAND& y = b.insn.operands[i];
        if (x.type != y.type || x.dataSize != y.dataSize || x.flags != y.flags ||
            std::memcmp(&x.value, &y.value, sizeof x.value) != 0)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const uint8_t control = data[0];
    ++data;
    --size;
    if (size > 24)
        size = 24;
    static const uint8_t kBitness[4] = {16, 32, 64, 32};
    static const int64_t kAddress[4] = {0x401000, 0, INT64_MAX - 8, -16};
    static const uint32_t kOptionSets[4] = {0, kStartupOptions, kStartupOptions | kOptVxd,
                                            kOptSignedImm | kOptSignedDisp | kOptOneDigit | kOptVxd};
    const uint8_t bitness = kBitness[control & 3];
    const int64_t address = kAddress[(control >> 2) & 3];
    uint32_t options = kOptionSets[(control >> 4) & 3];
    if (bitness == 64)                   // the VxD forms are invalid there, decided by the byte after CD
        options &= ~kOptVxd;

    std::unique_ptr<uint8_t[]> bytes = HeapCopy(data, size, size, 0);
    static Result whole;
    Decode(whole, bitness, address, bytes.get(), size, options);
    const unsigned len = whole.length;
    FUZZ_CHECK(len >= 1 && len <= 15, "length %u", len);
    FUZZ_CHECK(whole.insn.length == len, "record length %u, returned %u", whole.insn.length, len);
    const uint8_t e = whole.insn.error;
    FUZZ_CHECK(e == 0 || e == 1 || e == 2 || e == 3 || e == 4 || e == 9 || e == 10, "error %u", e);
    const size_t textLength = std::strlen(whole.text);
    FUZZ_CHECK(textLength > 0 && textLength <= kMaxText, "text length %zu: %s", textLength, whole.text);
    for (size_t i = 0; i < textLength; ++i)
        FUZZ_CHECK(whole.text[i] >= 0x20 && whole.text[i] < 0x7F, "unprintable text: %s", whole.text);
    DECODE_TARGET targets[2];
    const int count = DecodeTargets(whole.insn, targets);
    FUZZ_CHECK(count >= 0 && count <= 2, "%d targets", count);
    FUZZ_CHECK(e == 0 || count == 0, "%d targets after error %u", count, e);

    // Bytes past the length change nothing: cut off there (read as zero), or replaced by FF (which
    // starts none of the look-ahead forms: 9B folding, nop and int3 runs). Two exceptions by design:
    // a refused lock and an opcode invalid by its ModRM end before the ModRM byte that decided them.
    const bool decidedPastLength =
        e == kErrorLock || (e == kErrorInvalidInMode && (whole.insn.prefixFlags & kPrefixModrm));
    if (len <= size && !decidedPastLength) {
        static Result cut;
        std::unique_ptr<uint8_t[]> exact = HeapCopy(data, size, len, 0);
        Decode(cut, bitness, address, exact.get(), len, options);
        FUZZ_CHECK(SameDecode(whole, cut), "cut to %u bytes: '%s' became '%s'", len, whole.text, cut.text);

        static Result changed;
        std::unique_ptr<uint8_t[]> padded = HeapCopy(data, len, 16, 0xFF);
        Decode(changed, bitness, address, padded.get(), 16, options);
        FUZZ_CHECK(SameDecode(whole, changed), "FF after %u bytes: '%s' became '%s'", len, whole.text,
                   changed.text);
    }

    // A short output buffer is cut, never overrun.
    char small[9];
    std::memset(small, 0x5A, sizeof small);
    FormatInstruction(whole.insn, small, 8, nullptr, nullptr);
    FUZZ_CHECK(small[8] == 0x5A && std::memchr(small, 0, 8) != nullptr, "8-byte buffer overrun");
    return 0;
}
