// Instruction text: prefix word, mnemonic, blanks to column 13, operands joined by ",".
#include <cstring>

#include "decode/BDecodeEngine.h"
#include "decode/Ia32Insn.h"
#include "decode/Ia32Tables.h"

using namespace ia32;

namespace {

constexpr unsigned kOperandColumn = 13;
constexpr size_t kNameLimit = 255;

// Bounded writer: never passes `end`, which is kept for the terminating NUL.
struct Text {
    char* p;
    char* end;

    void Put(char c) {
        if (p < end)
            *p++ = c;
    }
    void Put(const char* s) {
        while (*s && p < end)
            *p++ = *s++;
    }
    void PutN(const char* s, size_t n) {
        while (n-- && *s && p < end)
            *p++ = *s++;
    }
    void Hex(uint64_t v, unsigned digits) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        for (unsigned i = digits; i-- > 0;)
            Put(kDigits[(v >> (4 * i)) & 0xF]);
    }
    // Hexadecimal without leading zeros (at least one digit).
    void HexShort(uint64_t v) {
        unsigned digits = 1;
        while (digits < 16 && (v >> (4 * digits)) != 0)
            ++digits;
        Hex(v, digits);
    }
    void Decimal(unsigned v) {
        char buf[12];
        unsigned n = 0;
        do {
            buf[n++] = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v);
        while (n)
            Put(buf[--n]);
    }
};

// The hexadecimal form of a value of `size` bytes (6: nothing).
void HexForm(Text& t, uint64_t v, unsigned size) {
    switch (size) {
    case 1: t.Hex(v & 0xFF, 2); break;
    case 2: t.Hex(v & 0xFFFF, 4); break;
    case 4: t.Hex(v & 0xFFFFFFFF, 8); break;
    case 8: t.Hex(v, 16); break;
    default: break;
    }
}

// -9..9 as "-" and one digit.
void OneDigit(Text& t, int64_t v) {
    if (v < 0)
        t.Put('-');
    t.Put(static_cast<char>('0' + (v < 0 ? -v : v)));
}

// "-" and the magnitude, one digit below 10 when `oneDigit`.
void Negative(Text& t, int64_t v, unsigned size, bool oneDigit) {
    const uint64_t mag = 0 - static_cast<uint64_t>(v);
    if (oneDigit && mag < 10) {
        OneDigit(t, v);
        return;
    }
    t.Put('-');
    HexForm(t, mag, size);
}

// The hexadecimal form, with a leading "0" for a negative value.
void Plain(Text& t, int64_t v, unsigned size) {
    if (v < 0)
        t.Put('0');
    HexForm(t, static_cast<uint64_t>(v), size);
}

void FormatImmediate(Text& t, int64_t v, unsigned size, bool oneDigit, bool signedRule) {
    if (signedRule && v < 0)
        Negative(t, v, size, oneDigit);
    else if (oneDigit && v >= -9 && v <= 9)
        OneDigit(t, v);
    else
        Plain(t, v, size);
}

const char* const kGeneral8Rex[8] = {"al", "cl", "dl", "bl", "spl", "bpl", "sil", "dil"};

// Groups of 16 by register class; the general class has one group per size (1, 2, 4 and 8 bytes at
// groups 1, 2, 3 and 5), and the vector classes 7 and 8 have no names.
const char* const kRegisterNames[BDecodeEngine::kRegisterGroups][16] = {
    /* 0 segment */ {"es", "cs", "ss", "ds", "fs", "gs", "?s", "?s", "?s", "?s", "?s", "?s", "?s", "?s", "?s", "?s"},
    /* 1 8-bit */ {"al", "cl", "dl", "bl", "ah", "ch", "dh", "bh",
                   "r8b", "r9b", "r10b", "r11b", "r12b", "r13b", "r14b", "r15b"},
    /* 2 16-bit */ {"ax", "cx", "dx", "bx", "sp", "bp", "si", "di",
                    "r8w", "r9w", "r10w", "r11w", "r12w", "r13w", "r14w", "r15w"},
    /* 3 32-bit */ {"eax", "ecx", "edx", "ebx", "esp", "ebp", "esi", "edi",
                    "r8d", "r9d", "r10d", "r11d", "r12d", "r13d", "r14d", "r15d"},
    /* 4 x87 */ {"st(0)", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)",
                 "st?", "st?", "st?", "st?", "st?", "st?", "st?", "st?"},
    /* 5 64-bit */ {"rax", "rcx", "rdx", "rbx", "rsp", "rbp", "rsi", "rdi",
                    "r8", "r9", "r10", "r11", "r12", "r13", "r14", "r15"},
    /* 6 MMX */ {"mm0", "mm1", "mm2", "mm3", "mm4", "mm5", "mm6", "mm7",
                 "mm?", "mm?", "mm?", "mm?", "mm?", "mm?", "mm?", "mm?"},
    /* 7 */ {"", "", "", "", "", "", "", "", "", "", "", "", "", "", "", ""},
    /* 8 */ {"", "", "", "", "", "", "", "", "", "", "", "", "", "", "", ""},
    /* 9 control */ {"cr0", "CR1", "cr2", "cr3", "cr4", "CR5", "CR6", "CR7",
                     "cr8", "CR?", "CR?", "CR?", "CR?", "CR?", "CR?", "CR?"},
    /* 10 debug */ {"dr0", "dr1", "dr2", "dr3", "DR4", "DR5", "DR6", "dr7",
                    "DR?", "DR?", "DR?", "DR?", "DR?", "DR?", "DR?", "DR?"},
    /* 11 test */ {"TR0", "TR1", "TR2", "TR3", "TR4", "TR5", "tr6", "tr7",
                   "TR?", "TR?", "TR?", "TR?", "TR?", "TR?", "TR?", "TR?"},
};

const char* RegisterName(const IA32_INSN& in, const IA32_OPERAND& op) {
    const unsigned n = op.value.reg.number & 15;
    const unsigned regClass = op.value.reg.regClass;
    if (regClass != kRegClassGeneral)
        return BDecodeEngine::RegisterNameText(regClass, n);
    switch (op.dataSize) {
    case 1: return (in.rex && n < 8) ? kGeneral8Rex[n] : kRegisterNames[1][n];
    case 2: return kRegisterNames[2][n];
    case 8: return kRegisterNames[5][n];
    default: return kRegisterNames[3][n];
    }
}

const char* SegmentText(uint8_t segment) {
    switch (segment) {
    case 0x26: return "es:";
    case 0x2E: return "cs:";
    case 0x36: return "ss:";
    case 0x3E: return "ds:";
    case 0x64: return "fs:";
    case 0x65: return "gs:";
    default: return "";
    }
}

const char* const kSizeWord[13] = {"", "b,", "w,", "3,", "d,", "5,", "f,", "7,", "q,", "9,", "t,", "1,", "dq,"};
const char* const kBase16[8] = {"[bx][si]", "[bx][di]", "[bp][si]", "[bp][di]", "[si]", "[di]", "[bp]", "[bx]"};

void MemoryRegister(Text& t, unsigned addressSize, uint8_t reg) {
    if (addressSize == 2) {
        t.Put(reg < 8 ? kBase16[reg] : "[?]");
        return;
    }
    t.Put('[');
    t.Put(kRegisterNames[addressSize == 8 ? 5 : 3][reg & 15]);
    t.Put(']');
}

struct Formatter {
    const IA32_INSN& in;
    Text& t;
    DecodeNameFn name;
    void* context;

    bool Name(int64_t target, char* buf, size_t size) {
        return name && name(context, in.address, target, buf, size) && buf[0];
    }

    void Memory(const IA32_OPERAND& op, char* start) {
        if (op.elementSize && op.elementSize < 13)
            t.Put(kSizeWord[op.elementSize]);
        t.Put(SegmentText(op.segment));
        if (op.flags & kMemBase)
            MemoryRegister(t, in.addressSize, op.value.mem.base);
        if (op.flags & kMemIndex)
            MemoryRegister(t, in.addressSize, op.value.mem.index);
        if ((op.flags & (kMemBase | kMemIndex)) && op.value.mem.scale)
            t.Put(op.value.mem.scale == 1 ? "*2" : op.value.mem.scale == 2 ? "*4" : "*8");
        if (!(op.flags & kMemDisp))
            return;
        const int64_t target = OperandTarget(in, op);
        char label[kNameLimit + 1];
        if (Name(target, label, sizeof label)) {
            if (!(op.flags & (kMemBase | kMemIndex)))
                t.p = start;       // a named address stands for the whole operand
            t.Put('[');
            t.PutN(label, kNameLimit);
            t.Put(']');
            return;
        }
        unsigned width = in.addressSize;
        if (op.dataSize == 1)
            width = 1;
        else if (in.mode == 8 && !(op.flags & kMemRipRelative))
            width = 4;
        t.Put('[');
        if ((in.options & kOptSignedDisp) && target < 0)
            Negative(t, target, width, true);
        else if (target >= -9 && target <= 9)
            OneDigit(t, target);          // whatever the one-digit option
        else
            Plain(t, target, width);
        t.Put(']');
    }

    void Relative(const IA32_OPERAND& op) {
        const int64_t target = RelativeTarget(in, op);
        if (in.mode == 4 && (in.prefixFlags & kPrefixOpSize)) {
            t.Hex(static_cast<uint64_t>(target) & 0xFFFF, 8);
            return;
        }
        char label[kNameLimit + 1];
        if (Name(target, label, sizeof label)) {
            t.PutN(label, kNameLimit);
            return;
        }
        const uint64_t u = static_cast<uint64_t>(target);
        const uint32_t high = static_cast<uint32_t>(u >> 32);
        if (target < 0)
            t.Put('0');
        // 64-bit code can branch above 4 GB: keep the high half there.
        if (in.mode == 8 && high != 0)
            t.HexShort(high);
        t.Hex(u & 0xFFFFFFFF, 8);
    }

    void Operand(const IA32_OPERAND& op) {
        char* start = t.p;
        switch (op.type) {
        case kOperandMemory: Memory(op, start); break;
        case kOperandRegister: t.Put(RegisterName(in, op)); break;
        case kOperandImmediate:
            FormatImmediate(t, op.value.imm, op.dataSize, (in.options & kOptOneDigit) != 0,
                            (in.options & kOptSignedImm) && !(op.flags & kNeverSigned));
            break;
        case kOperandRelative: Relative(op); break;
        case kOperandFar:
            t.Put('0');
            t.Hex(op.value.far.selector & 0xFFFF, 4);
            t.Put(":0");
            t.Hex(op.value.far.offset, op.elementSize == 6 ? 8 : 4);
            break;
        case kOperandOffset: {
            t.Put(SegmentText(op.segment));
            t.Put('[');
            if (op.dataSize == 8 && op.value.imm < 0)
                t.Put('0');
            HexForm(t, static_cast<uint64_t>(op.value.imm), op.dataSize);
            t.Put(']');
            break;
        }
        case kOperandWords:
            t.Hex(op.value.words.first, 4);
            t.Put('.');
            t.Hex(op.value.words.second, 4);
            break;
        default: t.Put("<UNKNOW OPERAND TYPE>"); break;
        }
    }
};

}  // namespace

const char* MnemonicName(unsigned index) {
    return index < kMnemonicCount ? kMnemonicText[index] : "<n/a>";
}

const char* FormatInstruction(const IA32_INSN& insn, char* out, size_t capacity, DecodeNameFn name,
                              void* context) {
    if (!out || capacity == 0)
        return out;
    Text t{out, out + capacity - 1};
    if (!insn.error) {
        if (insn.lockRepeat == 0xF0)
            t.Put("lock ");
        else if (insn.operandFlags & kInsnString)
            t.Put(insn.lockRepeat == 0xF2 ? "repne " : insn.lockRepeat == 0xF3 ? "rep " : "");
    }
    switch (insn.error) {
    case kErrorNone: t.Put(MnemonicName(InsnMnemonic(insn))); break;
    case kErrorTooLong: t.Put("#GP"); break;
    case kErrorInvalidInMode:
        t.Put("#UD(");
        t.Decimal(insn.mode * 8u);
        t.Put(')');
        break;
    default: t.Put("#UD(err)"); break;
    }
    const unsigned count = InsnOperandCount(insn);
    if (count && !insn.error) {
        size_t len = static_cast<size_t>(t.p - out);
        size_t blanks = len < kOperandColumn - 1 ? kOperandColumn - len : 1;
        while (blanks--)
            t.Put(' ');
        Formatter f{insn, t, name, context};
        for (unsigned i = 0; i < count && i < 4; ++i) {
            if (i)
                t.Put(',');
            f.Operand(insn.operands[i]);
        }
    }
    *t.p = 0;
    return out;
}

const char* BDecodeEngine::RegisterNameText(unsigned group, unsigned number) {
    return group < kRegisterGroups && number < 16 ? kRegisterNames[group][number] : "";
}
