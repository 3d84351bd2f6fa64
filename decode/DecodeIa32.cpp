// Instruction decoding: prefixes, REX, escape, table lookup, ModRM/SIB and operands.
#include <atomic>
#include <cstring>

#include "decode/Ia32Insn.h"
#include "decode/Ia32Tables.h"

using namespace ia32;

namespace {

std::atomic<uint32_t> gOptions{0};

// Every read of one decode stays below this index (15 prefixes, escape, opcode, ModRM, SIB, disp32,
// imm32, 3DNow! suffix). The decoder reads a zero-padded copy of the first 15 bytes: a sixteenth byte can
// never belong to an instruction, so it must not decide anything about one that runs into the limit.
constexpr size_t kPadded = 32;

inline uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
inline int64_t ReadSigned(const uint8_t* p, unsigned size) {
    switch (size) {
    case 1: return static_cast<int8_t>(p[0]);
    case 2: return static_cast<int16_t>(Read16(p));
    case 4: return static_cast<int32_t>(Read32(p));
    case 8: return static_cast<int64_t>(Read32(p) | static_cast<uint64_t>(Read32(p + 4)) << 32);
    default: return 0;
    }
}
inline uint64_t ReadUnsigned(const uint8_t* p, unsigned size) {
    switch (size) {
    case 1: return p[0];
    case 2: return Read16(p);
    case 4: return Read32(p);
    case 8: return Read32(p) | static_cast<uint64_t>(Read32(p + 4)) << 32;
    default: return 0;
    }
}

inline void SetCount(IA32_INSN& in, unsigned count) {
    in.attribute = (in.attribute & ~(7u << kCountShift)) | count << kCountShift;
}

unsigned ElementSize(const IA32_INSN& in, uint8_t param) {
    switch (param) {
    case szB: return 1;
    case szD: return 4;
    case szP:
        if (in.mode != 8)
            return in.operandSize == 2 ? 4 : 6;
        return in.operandSize == 2 ? 4 : in.operandSize == 4 ? 6 : 10;
    case szQ: return 8;
    case szV: return in.operandSize;
    case szW: return 2;
    case szZ: return in.operandSize == 2 ? 2 : 4;
    case szT: return 10;
    case szDQ: return in.mode == 8 ? 8 : 4;
    case szY: return in.operandSize == 8 ? 8 : 4;
    case szO: return 16;
    default: return 0;
    }
}

struct Decoder {
    IA32_INSN& in;
    const uint8_t* b;

    uint8_t RexR() const { return (in.rex & 4) ? 8 : 0; }
    uint8_t RexX() const { return (in.rex & 2) ? 8 : 0; }
    uint8_t RexB() const { return (in.rex & 1) ? 8 : 0; }

    static void SetReg(IA32_OPERAND& op, unsigned number, uint8_t regClass, unsigned size) {
        op.type = kOperandRegister;
        op.value.reg.number = static_cast<uint8_t>(number);
        op.value.reg.regClass = regClass;
        op.dataSize = static_cast<uint8_t>(size);
    }

    // Base first, then index: an index without a base takes the base slot.
    static void AddMemReg(IA32_OPERAND& op, uint8_t reg) {
        if (!(op.flags & kMemBase)) {
            op.value.mem.base = reg;
            op.flags |= kMemBase;
        } else {
            op.value.mem.index = reg;
            op.flags |= kMemIndex;
        }
    }
    void SetSibIndex(IA32_OPERAND& op) {
        if (in.index == 4)
            return;
        AddMemReg(op, in.index);
        op.value.mem.scale = in.scale;
    }
    void SetDisp(IA32_OPERAND& op, const uint8_t* p, unsigned size) {
        op.value.mem.disp = static_cast<int32_t>(ReadSigned(p, size));
        op.flags |= kMemDisp;
        op.dataSize = static_cast<uint8_t>(size);
    }

    // Register or memory from ModRM; `at` is the ModRM byte. Returns the bytes taken.
    unsigned ModrmOperand(IA32_OPERAND& op, unsigned at, uint8_t regClass, unsigned size) {
        in.prefixFlags |= kPrefixModrm;
        if (in.mod == 3) {
            SetReg(op, in.rm + (regClass == kRegClassGeneral ? RexB() : 0), regClass, size);
            return 1;
        }
        op.type = kOperandMemory;
        in.operandFlags |= kInsnMemory;
        op.segment = in.segmentPrefix;
        if (in.attribute & kShowSize)
            op.elementSize = static_cast<uint8_t>(size);
        const uint8_t* p = b + at + 1;
        if (in.addressSize == 2) {
            if (in.mod == 0 && in.rm == 6) {
                SetDisp(op, p, 2);
                return 3;
            }
            AddMemReg(op, in.rm);
            if (in.mod == 0)
                return 1;
            unsigned dsize = in.mod == 1 ? 1 : 2;
            SetDisp(op, p, dsize);
            return 1 + dsize;
        }
        // Outside 16-bit addressing the record's rm already carries REX.B.
        const unsigned rm = in.rm & 7;
        unsigned dsize = in.mod == 1 ? 1 : in.mod == 2 ? 4 : 0;
        if (rm == 4) {
            // SIB: its fields already carry REX.X and REX.B.
            in.prefixFlags |= kPrefixSib;
            if (in.mod == 0 && (in.base & 7) == 5) {
                SetSibIndex(op);
                SetDisp(op, p + 1, 4);
                return 6;
            }
            AddMemReg(op, in.base);
            SetSibIndex(op);
            if (dsize)
                SetDisp(op, p + 1, dsize);
            return 2 + dsize;
        }
        if (in.mod == 0 && rm == 5) {
            // mod 00 rm 101 is a bare disp32; in 64-bit mode it is relative to the next instruction.
            SetDisp(op, p, 4);
            if (in.mode == 8)
                op.flags |= kMemRipRelative;
            return 5;
        }
        AddMemReg(op, in.rm);
        if (dsize)
            SetDisp(op, p, dsize);
        return 1 + dsize;
    }

    // Builds operand i from its code, reading at `at`; returns the bytes taken.
    unsigned Operand(unsigned i, unsigned at) {
        IA32_OPERAND& op = in.operands[i];
        uint8_t code = kForms[WordForm(in.attribute)].codes[i];
        const OperandCode& oc = kOperandCodes.rows[code];
        op.insn = &in;
        op.code = code;
        op.handler = oc.handler;
        op.sizeParam = oc.sizeParam;
        unsigned size = ElementSize(in, oc.sizeParam);
        switch (oc.handler) {
        case hFar:
            op.type = kOperandFar;
            op.elementSize = static_cast<uint8_t>(size);
            if (size == 4) {
                op.value.far.offset = Read16(b + at);
                op.value.far.selector = Read16(b + at + 2);
            } else {
                op.value.far.offset = Read32(b + at);
                op.value.far.selector = Read16(b + at + 4);
            }
            return size;
        case hCr: {
            unsigned n = in.reg;
            if (in.mode == 8) {
                n += RexR();
            } else if (in.lockRepeat == 0xF0) {
                n += 8;            // lock mov crN selects cr8 outside 64-bit mode
                in.lockRepeat = 0;
            }
            SetReg(op, n, kRegClassControl, size);
            in.prefixFlags |= kPrefixModrm;
            return 0;
        }
        case hDr:
            SetReg(op, in.reg, kRegClassDebug, size);
            in.prefixFlags |= kPrefixModrm;
            return 0;
        case hModrm:
            return ModrmOperand(op, at, kRegClassGeneral, size);
        case hGreg:
            SetReg(op, in.reg + RexR(), kRegClassGeneral, size);
            in.prefixFlags |= kPrefixModrm;
            return 0;
        case hImm:
        case hImmU:
            op.type = kOperandImmediate;
            op.dataSize = static_cast<uint8_t>(size);
            if (oc.handler == hImmU) {
                op.value.imm = static_cast<int64_t>(ReadUnsigned(b + at, size));
                op.flags |= kNeverSigned;
            } else {
                op.value.imm = ReadSigned(b + at, size);
            }
            return size;
        case hRel:
            op.type = kOperandRelative;
            op.dataSize = static_cast<uint8_t>(size);
            op.value.imm = ReadSigned(b + at, size);
            op.flags |= kNeverSigned;
            return size;
        case hMem:
            if (in.mod == 3) {
                in.error = kErrorRegisterNotMemory;
                in.prefixFlags |= kPrefixModrm;
                return 1;          // the ModRM byte still belongs to the instruction
            }
            return ModrmOperand(op, at, kRegClassGeneral, size);
        case hOffset:
            op.type = kOperandOffset;
            op.segment = in.segmentPrefix;
            op.dataSize = in.addressSize;
            op.value.imm = static_cast<int64_t>(ReadUnsigned(b + at, in.addressSize));
            return in.addressSize;
        case hMmxReg:
            SetReg(op, in.reg, kRegClassMmx, size);
            in.prefixFlags |= kPrefixModrm;
            return 0;
        case hMmxModrm:
            return ModrmOperand(op, at, kRegClassMmx, size);
        case hRegRm:
            SetReg(op, (in.rm & 7) + RexB(), kRegClassGeneral, size);
            in.prefixFlags |= kPrefixModrm;
            return 1;
        case hSreg:
            SetReg(op, in.reg, kRegClassSegment, size);
            in.prefixFlags |= kPrefixModrm;
            if (in.reg > 5 || (in.reg == 1 && i == 0))
                in.error = kErrorBadSegment;
            return 0;
        case hTr:
            SetReg(op, in.reg, kRegClassTest, size);
            in.prefixFlags |= kPrefixModrm;
            return 0;
        case hSt0:
            SetReg(op, 0, kRegClassFpu, size);
            return 0;
        case hSti:
            SetReg(op, in.rm, kRegClassFpu, size);
            in.prefixFlags |= kPrefixModrm;
            return 1;
        case hConst:
            op.type = kOperandImmediate;
            op.value.imm = oc.sizeParam;
            op.dataSize = 1;
            return 0;
        case hString:
            in.operandFlags |= kInsnString;
            SetCount(in, 0);
            return 0;
        case hAcc:
            SetReg(op, 0, kRegClassGeneral, size);
            return 0;
        case hAccFpu:
            SetReg(op, 0, kRegClassGeneral, size);
            return 1;
        case hCl:
            SetReg(op, 1, kRegClassGeneral, size);
            return 0;
        case hDx:
            SetReg(op, 2, kRegClassGeneral, size);
            return 0;
        case hSregOp:
            SetReg(op, (in.opcode >> 3) & 7, kRegClassSegment, 2);
            return 0;
        case hRegOp:
            SetReg(op, (in.opcode & 7) + RexB(), kRegClassGeneral, size);
            return 0;
        case hAamBase:
            SetCount(in, static_cast<uint8_t>(in.operands[0].value.imm) != 10 ? 1 : 0);
            return 0;
        case hWords:
            op.type = kOperandWords;
            op.value.words.first = Read16(b + at + 1);
            op.value.words.second = Read16(b + at + 3);
            return 5;
        default:
            return 0;
        }
    }

    // Picks a row of the special table by opcode, sizes and prefixes; `pos` is after the opcode.
    uint32_t Special(unsigned& pos) {
        const uint8_t osz = in.operandSize;
        const unsigned by3 = osz == 2 ? 0 : osz == 4 ? 1 : 2;
        unsigned row = spUD;
        if (in.mapSelector == 0) {
            switch (in.opcode) {
            case 0x60: row = osz == 2 ? spPusha : spPushad; break;
            case 0x61: row = osz == 2 ? spPopa : spPopad; break;
            case 0x63: row = in.mode == 8 ? spMovsxd : spArpl; break;
            case 0x6D: row = osz == 2 ? spInsw : spInsd; break;
            case 0x6F: row = osz == 2 ? spOutsw : spOutsd; break;
            case 0x98: row = spCbw + by3; break;
            case 0x99: row = spCwd + by3; break;
            case 0xA5: row = spMovsw + by3; break;
            case 0xA7: row = spCmpsw + by3; break;
            case 0xAB: row = spStosw + by3; break;
            case 0xAD: row = spLodsw + by3; break;
            case 0xAF: row = spScasw + by3; break;
            case 0xCF: row = spIret + by3; break;
            case 0xE3: row = in.addressSize == 2 ? spJcxz : in.addressSize == 4 ? spJecxz : spJrcxz; break;
            case 0xD7: row = (in.prefixFlags & kPrefixAddrSize) ? spXlatb : spXlat; break;
            case 0x9C:
            case 0x9D: {
                unsigned form;     // 0 plain, 1 d, 2 q
                if (in.prefixFlags & kPrefixOpSize)
                    form = in.mode == 2 ? 1 : 0;
                else
                    form = in.mode == 2 ? 0 : in.mode == 4 ? 1 : 2;
                row = (in.opcode == 0x9C ? spPushf : spPopf) + form;
                break;
            }
            case 0x90:
                if (in.lockRepeat == 0xF3)
                    row = spPause;
                else if (in.rex)
                    row = spXchg;
                else
                    row = spNop;
                break;
            case 0xCD:
                row = spInt;
                if ((in.options & kOptVxd) && b[pos] == 0x20) {
                    uint16_t w1 = Read16(b + pos + 1);
                    uint16_t w2 = Read16(b + pos + 3);
                    bool jump = (w1 & 0x8000) != 0;
                    row = w2 == 1 ? (jump ? spVmmjmp : spVmmcall) : (jump ? spVxdjmp : spVxdcall);
                }
                break;
            default: break;
            }
        } else if (in.opcode == 0x01) {
            for (const ModrmFormRow& f : kModrmFormTable) {
                if (f.opcode == in.opcode && f.reg == in.reg && f.rm == in.rm) {
                    row = f.special;
                    in.prefixFlags |= kPrefixModrm;
                    break;
                }
            }
        } else if (in.opcode == 0xC7) {
            // rdrand and rdseed take no F2/F3: with those the row names other (vector) instructions.
            if (in.mod != 3)
                row = osz == 8 ? spCmpxchg16b : spCmpxchg8b;
            else if (in.lockRepeat == 0xF2 || in.lockRepeat == 0xF3)
                return kVector;
            else
                row = in.reg == 6 ? spRdrand : spRdseed;
        } else if (in.opcode == 0xB8) {
            if (in.mapSelector != 16 + 2)
                return kVector;            // popcnt is F3 0F B8; without F3 it is a vector row
            row = spPopcnt;
        }
        if (row == spNop && (in.options & kOptFoldNop)) {
            while (pos < 15 && b[pos] == 0x90)
                ++pos;
        }
        return kSpecialTable.words[row];
    }

    unsigned Finish(unsigned length) {
        if (length >= 16) {
            in.error = kErrorTooLong;
            length = 15;
        }
        in.length = static_cast<uint8_t>(length);
        return length;
    }

    unsigned Run(size_t available) {
        const bool m64 = in.mode == 8;
        unsigned pos = 0;
        // Prefixes.
        for (; pos <= 15; ++pos) {
            uint8_t c = b[pos];
            if (c == 0x26 || c == 0x2E || c == 0x36 || c == 0x3E || c == 0x64 || c == 0x65) {
                in.segmentPrefix = c;
            } else if (c == 0x66) {
                in.prefixFlags |= kPrefixOpSize;
            } else if (c == 0x67) {
                in.prefixFlags |= kPrefixAddrSize;
            } else if (c == 0xF0 || c == 0xF2 || c == 0xF3) {
                in.lockRepeat = c;
            } else {
                if (c == 0x9B) {
                    // fwait folds into the wait forms of fnstsw ax, fnclex, fninit and the simple
                    // [reg] forms of fnstenv/fnstcw (D9) and fnsave/fnstsw (DD).
                    uint8_t n1 = b[pos + 1], n2 = b[pos + 2];
                    bool fold = (n1 == 0xDF && n2 == 0xE0) || (n1 == 0xDB && (n2 == 0xE2 || n2 == 0xE3)) ||
                                ((n1 == 0xD9 || n1 == 0xDD) && n2 >= 0x30 && n2 <= 0x3F);
                    if (fold) {
                        ++pos;
                        in.prefixFlags |= kPrefixWaitFolded;
                    }
                }
                break;
            }
        }
        if (m64 && pos < 15 && (b[pos] & 0xF0) == 0x40)
            in.rex = b[pos++];
        in.opcodeAddress = static_cast<int64_t>(static_cast<uint64_t>(in.address) + pos);   // wraps
        in.opcodeBytes = pos <= available ? in.bytes + pos : nullptr;
        if (pos >= 15)
            return Finish(pos + 1);

        if (b[pos] == 0x0F) {
            uint8_t next = b[pos + 1];
            uint8_t sel = next == 0x38 ? 32 : next == 0x3A ? 48 : 16;
            if (in.lockRepeat == 0xF2)
                sel += 3;
            else if (in.lockRepeat == 0xF3)
                sel += 2;
            else if (in.prefixFlags & kPrefixOpSize)
                sel += 1;
            in.mapSelector = sel;
            ++pos;
        }

        const bool opSize = (in.prefixFlags & kPrefixOpSize) != 0;
        const bool addrSize = (in.prefixFlags & kPrefixAddrSize) != 0;
        if (in.mode == 2) {
            in.operandSize = opSize ? 4 : 2;
            in.addressSize = addrSize ? 4 : 2;
        } else if (in.mode == 4) {
            in.operandSize = opSize ? 2 : 4;
            in.addressSize = addrSize ? 2 : 4;
        } else {
            in.operandSize = (in.rex & 8) ? 8 : opSize ? 2 : 4;
            in.addressSize = addrSize ? 4 : 8;
        }

        in.opcode = b[pos];
        uint32_t word = in.mapSelector ? kTwoByteMap[in.opcode].word : kOneByteMap[in.opcode].word;
        ++pos;
        bool fpuNested = false;
        while (WordMnemonic(word) >= kEscGroup) {
            const unsigned esc = WordMnemonic(word);
            const uint8_t modrm = b[pos];
            in.mod = modrm >> 6;
            in.reg = (modrm >> 3) & 7;
            in.rm = modrm & 7;
            if (esc == kEscGroup) {
                in.prefixFlags |= kPrefixModrm;
                unsigned row = WordForm(word) + (WordCount(word) == 3 && in.mod == 3 ? 1 : 0);
                word = kGroupTable[row][in.reg];
            } else if (esc == kEscFpu) {
                in.prefixFlags |= kPrefixModrm;
                in.mapSelector = 128;
                if (!fpuNested)
                    word = kFpuTable[WordForm(word) + (in.mod == 3 ? 1 : 0)][in.reg];
                else
                    word = kFpuTable[WordForm(word)][in.rm];
                fpuNested = true;
            } else if (esc == kEscWait) {
                word = kSpecialTable.words[WordForm(word) + ((in.prefixFlags & kPrefixWaitFolded) ? 1 : 0)];
            } else if (esc == kEscSpecial) {
                word = Special(pos);
            } else {
                break;             // vector rows and the three-byte escapes: invalid below
            }
        }
        if (b[0] == 0xCC && pos == 1 && (in.options & kOptFoldInt3)) {
            while (pos < 15 && b[pos] == 0xCC)
                ++pos;
        }
        if (WordMnemonic(word) != 0 && !(word & (m64 ? kValid64 : kValid32))) {
            in.error = kErrorInvalidInMode;
            return Finish(pos);
        }
        in.attribute = word;
        in.operandPosition = static_cast<uint8_t>(pos);

        if (m64) {
            if ((word & kDefault64) && in.operandSize == 4) {
                in.operandSize = 8;
                in.prefixFlags |= kPrefixDefault64;
            }
            if (word & kForce64) {
                in.operandSize = 8;
                in.prefixFlags |= kPrefixForced64;
            }
        }

        if (pos > 15)
            return Finish(pos);
        // Decided from locals: reading back the bytes just stored stalls on store forwarding.
        const uint8_t modrm = b[pos];
        const uint8_t sib = b[pos + 1];
        const uint8_t mod = modrm >> 6;
        uint8_t rm = modrm & 7;
        uint8_t index = (sib >> 3) & 7;
        uint8_t base = sib & 7;
        if (mod != 3 && in.addressSize != 2) {
            if (rm == 4) {
                index += RexX();
                base += RexB();
            } else if (!(mod == 0 && rm == 5)) {
                rm += RexB();
            }
        }
        in.mod = mod;
        in.reg = (modrm >> 3) & 7;
        in.rm = rm;
        in.scale = sib >> 6;
        in.index = index;
        in.base = base;

        unsigned length;
        if (WordCount(word) == 0) {
            length = pos + ((in.prefixFlags & kPrefixModrm) ? 1 : 0);
        } else {
            length = pos;
            for (unsigned i = 0; i < WordCount(in.attribute); ++i)
                length += Operand(i, length);
            if (WordMnemonic(in.attribute) == static_cast<unsigned>(Mn::T3D) && in.mapSelector != 0) {
                in.attribute = (in.attribute & ~kMnemonicMask) | k3DNowTable.mn[b[length]];
                in.mapSelector = 129;
                ++length;
            }
        }

        const unsigned mn = WordMnemonic(in.attribute);
        if ((mn == static_cast<unsigned>(Mn::xrstor) || mn == static_cast<unsigned>(Mn::xsave)) &&
            ((in.prefixFlags & kPrefixOpSize) || in.lockRepeat))
            in.error = kErrorXsavePrefix;
        if (in.lockRepeat == 0xF0 && (!(in.attribute & kLockable) || !(in.operandFlags & kInsnMemory))) {
            in.error = kErrorLock;
            length = in.operandPosition;
        }
        return Finish(length);
    }
};

}  // namespace

void SetDecodeOptions() {
    gOptions.store((gOptions.load() & ~kOptSignedImm) | kStartupOptions);
}

uint32_t DecodeOptions() { return gOptions.load(std::memory_order_relaxed); }

unsigned DecodeInstruction(IA32_INSN& insn, uint8_t bitness, int64_t address, const uint8_t* bytes,
                           size_t available, uint32_t options) {
    uint8_t local[kPadded];
    if (!bytes)
        available = 0;
    if (available >= kMaxInsnLength) {
        std::memcpy(local, bytes, kMaxInsnLength);
        std::memset(local + kMaxInsnLength, 0, kPadded - kMaxInsnLength);
    } else {
        if (available)
            std::memcpy(local, bytes, available);
        std::memset(local + available, 0, kPadded - available);
    }
    std::memset(&insn, 0, sizeof insn);
    insn.mode = static_cast<uint8_t>(bitness == 16 ? 2 : bitness == 64 ? 8 : 4);
    insn.options = options;
    insn.address = address;
    insn.bytes = bytes;
    Decoder d{insn, local};
    return d.Run(available);
}

int64_t RelativeTarget(const IA32_INSN& insn, const IA32_OPERAND& op) {
    uint64_t target = static_cast<uint64_t>(insn.address) + insn.length + static_cast<uint64_t>(op.value.imm);
    if (insn.mode == 4 && (insn.prefixFlags & kPrefixOpSize))
        target &= 0xFFFF;
    return static_cast<int64_t>(target);
}

int64_t OperandTarget(const IA32_INSN& insn, const IA32_OPERAND& op) {
    int64_t target = op.value.mem.disp;
    if (op.flags & kMemRipRelative)
        target = static_cast<int64_t>(static_cast<uint64_t>(insn.address) + insn.length + static_cast<uint64_t>(target));
    if (insn.mode != 8 && !(op.flags & kMemBase))
        target = static_cast<uint32_t>(target);
    return target;
}

int DecodeTargets(const IA32_INSN& insn, DECODE_TARGET out[2]) {
    std::memset(out, 0, 2 * sizeof *out);
    if (insn.error || insn.attribute == 0)
        return 0;
    const unsigned mn = InsnMnemonic(insn);
    const bool call = mn == static_cast<unsigned>(Mn::call);
    const unsigned count = InsnOperandCount(insn);
    if (count > 0 && insn.operands[0].type == kOperandRelative) {
        out[0].address = RelativeTarget(insn, insn.operands[0]);
        out[0].flags = call ? kTargetCall : 0;
        return 1;
    }
    int n = 0;
    for (unsigned i = 0; i < count && n < 2; ++i) {
        const IA32_OPERAND& op = insn.operands[i];
        if (op.type == kOperandMemory && (op.flags & kMemDisp) && op.dataSize == 4) {
            out[n].address = OperandTarget(insn, op);
            out[n++].flags = call ? kTargetCallSlot : 0;
        } else if (op.type == kOperandImmediate && op.dataSize == 4 &&
                   (mn == static_cast<unsigned>(Mn::mov) || mn == static_cast<unsigned>(Mn::push))) {
            out[n++].address = static_cast<uint32_t>(op.value.imm);
        } else if (op.type == kOperandOffset && (op.dataSize == 4 || op.dataSize == 8)) {
            out[n++].address = op.value.imm;
        }
    }
    return n;
}
