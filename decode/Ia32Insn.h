// The decoded x86 instruction record and the plain decode and format functions around it.
// Plain C++17: no platform header, so the decoder builds both into the program and natively.
#pragma once

#include <cstddef>
#include <cstdint>

struct IA32_INSN;

// Operand value, read by the operand's type.
union IA32_OPERAND_VALUE {
    int64_t imm;                         // immediate, relative displacement, direct offset
    struct Reg {
        uint8_t number;                  // 0-15, extension bits added
        uint8_t regClass;                // kRegClass...
    } reg;
    struct Mem {
        int32_t disp;                    // sign-extended displacement
        uint8_t base;
        uint8_t index;
        uint8_t scale;                   // 0-3 = x1, x2, x4, x8
    } mem;
    struct Far {
        uint32_t selector;
        uint32_t offset;
    } far;
    struct Words {
        uint16_t first;
        uint16_t second;
    } words;
};

struct IA32_OPERAND {
    IA32_INSN* insn;                     // the owning instruction
    IA32_OPERAND_VALUE value;
    uint8_t code;                        // operand code (row of the operand-code table)
    uint8_t handler;                     // builder case of that code
    uint8_t sizeParam;                   // size rule of that code
    uint8_t type;                        // kOperand...
    uint8_t elementSize;                 // memory: size code printed before it; far pointer: 4 or 6
    uint8_t segment;                     // segment prefix byte (memory, direct offset)
    uint8_t dataSize;                    // bytes of the immediate/displacement/offset, or register size
    uint8_t flags;                       // kMem... / kNeverSigned
};

struct IA32_INSN {
    int64_t address;                     // first byte of the instruction
    int64_t opcodeAddress;               // address of the escape or opcode byte
    uint32_t attribute;                  // attribute word of the resolved opcode; 0 after error 2
    uint32_t options;                    // the decoder options word at decode time
    const uint8_t* bytes;                // first byte of the instruction (the caller's buffer)
    const uint8_t* opcodeBytes;          // first byte after prefixes and REX
    IA32_OPERAND operands[4];            // in display order
    uint8_t error;                       // kError...
    uint8_t mode;                        // bitness / 8
    uint8_t length;                      // 1..15
    uint8_t operandSize;                 // 2, 4 or 8
    uint8_t addressSize;                 // 2, 4 or 8
    uint8_t prefixFlags;                 // kPrefix...
    uint8_t operandFlags;                // kInsnString, kInsnMemory
    uint8_t lockRepeat;                  // 0, F0, F2 or F3: the last seen
    uint8_t segmentPrefix;               // 0 or the last segment prefix byte
    uint8_t rex;                         // 40-4F in 64-bit mode, else 0
    uint8_t opcode;                      // the byte looked up in the map
    uint8_t mapSelector;                 // 0, 16/32/48 + prefix code, 128 FPU, 129 3DNow!
    uint8_t operandPosition;             // offset of the byte after the opcode
    uint8_t mod, reg, rm;
    uint8_t scale, index, base;
};

struct DECODE_TARGET {
    int64_t address;
    uint32_t flags;                      // kTargetCall, kTargetCallSlot
};

// Error codes.
constexpr uint8_t kErrorNone = 0;
constexpr uint8_t kErrorXsavePrefix = 1;     // 66 or lock/repeat with xsave/xrstor
constexpr uint8_t kErrorInvalidInMode = 2;   // opcode invalid in this mode
constexpr uint8_t kErrorRegisterNotMemory = 3;
constexpr uint8_t kErrorBadSegment = 4;
constexpr uint8_t kErrorTooLong = 9;         // longer than 15 bytes
constexpr uint8_t kErrorLock = 10;           // lock prefix not allowed

// Prefix flags.
constexpr uint8_t kPrefixOpSize = 0x01;
constexpr uint8_t kPrefixAddrSize = 0x02;
constexpr uint8_t kPrefixDefault64 = 0x04;
constexpr uint8_t kPrefixForced64 = 0x08;
constexpr uint8_t kPrefixModrm = 0x10;
constexpr uint8_t kPrefixSib = 0x20;
constexpr uint8_t kPrefixWaitFolded = 0x40;

// Instruction operand flags.
constexpr uint8_t kInsnString = 0x01;        // takes rep/repne, operands not shown
constexpr uint8_t kInsnMemory = 0x02;        // a memory operand is present

// Operand types.
constexpr uint8_t kOperandNone = 0;
constexpr uint8_t kOperandMemory = 1;
constexpr uint8_t kOperandRegister = 2;
constexpr uint8_t kOperandImmediate = 3;
constexpr uint8_t kOperandRelative = 4;
constexpr uint8_t kOperandFar = 5;
constexpr uint8_t kOperandOffset = 6;
constexpr uint8_t kOperandWords = 7;

// Operand flags.
constexpr uint8_t kMemDisp = 0x01;
constexpr uint8_t kMemBase = 0x02;
constexpr uint8_t kMemIndex = 0x04;
constexpr uint8_t kMemRipRelative = 0x08;
constexpr uint8_t kNeverSigned = 0x10;

// Register classes.
constexpr uint8_t kRegClassSegment = 0;
constexpr uint8_t kRegClassGeneral = 1;
constexpr uint8_t kRegClassFpu = 4;
constexpr uint8_t kRegClassMmx = 6;
constexpr uint8_t kRegClassControl = 9;
constexpr uint8_t kRegClassDebug = 10;
constexpr uint8_t kRegClassTest = 11;

// Target flags.
constexpr uint32_t kTargetCall = 0x1;        // target of a direct relative call
constexpr uint32_t kTargetCallSlot = 0x2;    // address of a call's memory operand

// Decoder options word bits.
constexpr uint32_t kOptVxd = 0x1;            // CD 20 w1 w2 decodes as a VxD call
constexpr uint32_t kOptSignedImm = 0x100;    // immediates print signed
constexpr uint32_t kOptSignedDisp = 0x200;   // negative displacements print as "-" and magnitude
constexpr uint32_t kOptOneDigit = 0x400;     // 0..9 and -1..-9 print as one digit
constexpr uint32_t kOptFoldNop = 0x10000;    // a nop absorbs the 90 bytes after it
constexpr uint32_t kOptFoldInt3 = 0x20000;   // a leading CC absorbs the CC bytes after it
constexpr uint32_t kStartupOptions = 0x30600;

// Longest instruction and the text buffer a caller should give FormatInstruction.
constexpr unsigned kMaxInsnLength = 15;
constexpr size_t kInsnTextSize = 2048;

// The process-wide options word: zero until SetDecodeOptions runs once at start-up.
void SetDecodeOptions();
uint32_t DecodeOptions();

// Decodes one instruction at `address` from `bytes`, of which `available` may be read (bytes past that
// read as zero; nothing past them is touched). `bitness` is 16, 32 or 64. Returns the length, 1..15.
unsigned DecodeInstruction(IA32_INSN& insn, uint8_t bitness, int64_t address, const uint8_t* bytes,
                           size_t available, uint32_t options);

// Name source of the formatter: writes the name of `target` into `out` (NUL-terminated, cut to
// `capacity`) and returns true, or returns false when the target has no name.
using DecodeNameFn = bool (*)(void* context, int64_t insnAddress, int64_t target, char* out,
                              size_t capacity);

// Writes the instruction's text into `out` (always NUL-terminated, cut to `capacity`; kInsnTextSize
// holds any instruction) and returns `out`. `name` may be null.
const char* FormatInstruction(const IA32_INSN& insn, char* out, size_t capacity, DecodeNameFn name,
                              void* context);

// The mnemonic's text; "<n/a>" for an index outside the table.
const char* MnemonicName(unsigned index);

// Mnemonic index of a decoded record (low 11 bits of its attribute).
inline unsigned InsnMnemonic(const IA32_INSN& insn) { return insn.attribute & 0x7FF; }
// Number of operands shown.
inline unsigned InsnOperandCount(const IA32_INSN& insn) { return (insn.attribute >> 11) & 7; }

// The branch target of a relative operand, as the text shows it.
int64_t RelativeTarget(const IA32_INSN& insn, const IA32_OPERAND& op);
// The address a memory operand refers to: RIP-relative resolved, else the displacement.
int64_t OperandTarget(const IA32_INSN& insn, const IA32_OPERAND& op);

// Branch and memory targets of a decoded instruction (none after an error); returns 0-2.
int DecodeTargets(const IA32_INSN& insn, DECODE_TARGET out[2]);
