// The decoder's constant tables: opcode maps of attribute words, group, FPU and special tables, the
// 0F 01 register forms, 3DNow! suffixes, forms, operand codes and mnemonics. Internal to decode/.
#pragma once

#include <cstdint>

namespace ia32 {

// Mnemonic indices, from the one list that also gives their texts.
enum class Mn : uint16_t {
#define X(id, text) id,
#include "decode/Ia32Mnemonics.def"
#undef X
    Count
};
constexpr unsigned kMnemonicCount = static_cast<unsigned>(Mn::Count);
extern const char* const kMnemonicText[kMnemonicCount];

// Escape values in the mnemonic field of an attribute word.
constexpr uint32_t kEscGroup = 0x4AD;    // group table [form (+1 for mod 3 when count is 3)][reg]
constexpr uint32_t kEscSpecial = 0x4AE;  // chosen by opcode and sizes
constexpr uint32_t kEscFpu = 0x4AF;      // FPU table [form (+1 for mod 3)][reg], nested: [form][rm]
constexpr uint32_t kEscWait = 0x4B0;     // special table [form (+1 when a 9B was folded)]
constexpr uint32_t kEscVector = 0x4B1;   // vector rows: invalid in every mode
constexpr uint32_t kEsc0F38 = 0x4B2;
constexpr uint32_t kEsc0F3A = 0x4B3;
static_assert(kMnemonicCount <= kEscGroup, "mnemonics run into the escape values");

// Attribute word bits.
constexpr uint32_t kMnemonicMask = 0x7FF;
constexpr unsigned kCountShift = 11;
constexpr unsigned kFormShift = 14;
constexpr uint32_t kValid32 = 1u << 22;      // valid in 16- and 32-bit modes
constexpr uint32_t kValid64 = 1u << 23;      // valid in 64-bit mode
constexpr uint32_t kDefault64 = 1u << 24;    // operand size 8 by default in 64-bit mode
constexpr uint32_t kForce64 = 1u << 25;      // operand size 8 always in 64-bit mode
constexpr uint32_t kShowSize = 1u << 26;     // memory operand shows its element size
constexpr uint32_t kLockable = 1u << 27;     // lock allowed with a memory operand

constexpr unsigned WordMnemonic(uint32_t w) { return w & kMnemonicMask; }
constexpr unsigned WordCount(uint32_t w) { return (w >> kCountShift) & 7; }
constexpr unsigned WordForm(uint32_t w) { return (w >> kFormShift) & 0xFF; }

// Operand builders.
enum Handler : uint8_t {
    hNone = 0,
    hFar = 1,        // far pointer Ap
    hCr = 2,         // control register from reg
    hDr = 3,         // debug register from reg
    hModrm = 4,      // register or memory, general class
    hGreg = 5,       // general register from reg
    hImm = 7,        // immediate
    hImmU = 9,       // immediate, never signed
    hRel = 10,       // relative target
    hMem = 12,       // memory only
    hOffset = 14,    // direct memory offset
    hMmxReg = 15,    // MMX register from reg
    hMmxModrm = 16,  // MMX register or memory
    hRegRm = 17,     // general register from rm
    hSreg = 18,      // segment register from reg
    hTr = 19,        // test register from reg
    hSt0 = 23,       // st(0)
    hSti = 24,       // st(rm)
    hConst = 25,     // constant immediate: the size parameter itself
    hString = 26,    // string instruction marker
    hAcc = 27,       // accumulator
    hAccFpu = 28,    // ax of fnstsw, taking the second FPU byte
    hCl = 29,
    hDx = 30,
    hSregOp = 31,    // segment register from opcode bits 3-5
    hRegOp = 32,     // general register from opcode bits 0-2
    hAamBase = 33,   // hides aam/aad's base 10
    hWords = 34,     // two words of a VxD call
};

// Size parameters (element size rules).
enum SizeParam : uint8_t {
    szNone = 0,
    szOne = 1,       // constant 1
    szB = 2,         // byte
    szThree = 3,     // constant 3
    szD = 4,         // doubleword
    szP = 6,         // far pointer
    szQ = 10,        // quadword
    szMs = 12,       // pseudo-descriptor (no size)
    szV = 16,        // operand size
    szW = 17,        // word
    szZ = 20,        // word or doubleword
    szT = 21,        // ten bytes
    szDQ = 22,       // 8 in 64-bit mode, else 4
    szY = 23,        // 8 for operand size 8, else 4
    szO = 24,        // sixteen bytes
};

// Operand codes in the manual's notation; the numbers index kOperandCodes.
enum Oc : uint8_t {
    oNone = 0,
    oOne = 1, oThree = 2, oAp = 3, oCd = 4, oDd = 5,
    oEb = 6, oEd = 7, oEp = 10, oEv = 12, oEw = 13,
    oGb = 14, oGdq = 17, oGv = 19, oGw = 20, oGz = 21,
    oIb = 29, oIbU = 31, oIv = 32, oIwU = 34, oIz = 35,
    oJb = 36, oJz = 37,
    oM = 40, oMa = 41, oMb = 42, oMd = 43, oMdq = 44, oMq = 45, oMp = 46, oMy = 47, oMs = 49, oMt = 50,
    oMw = 51,
    oOb = 53, oOv = 54,
    oQq = 57, oPq = 60,
    oRdq = 61, oRv = 62, oRw = 63,
    oAL = 64, oAXfpu = 65, oCL = 66, oDX = 67, oRAX = 68, oEAX = 69,
    oSregOp = 70, oZb = 71, oZv = 72, oSw = 74, oST0 = 75, oSTi = 76, oTd = 77,
    oAamBase = 98, oStr = 99, oWords = 100,
};
constexpr unsigned kOperandCodeCount = 101;

struct OperandCode {
    uint8_t handler;
    uint8_t sizeParam;
};
struct OperandCodeTable {
    OperandCode rows[kOperandCodeCount];
};
extern const OperandCodeTable kOperandCodes;

// Forms: up to four operand codes, in display order.
#define IA32_FORMS(F)                     \
    F(None, oNone, oNone, oNone)          \
    F(Eb_Gb, oEb, oGb, oNone)             \
    F(Ev_Gv, oEv, oGv, oNone)             \
    F(Gb_Eb, oGb, oEb, oNone)             \
    F(Gv_Ev, oGv, oEv, oNone)             \
    F(AL_Ib, oAL, oIb, oNone)             \
    F(rAX_Iz, oRAX, oIz, oNone)           \
    F(SregOp, oSregOp, oNone, oNone)      \
    F(Zv, oZv, oNone, oNone)              \
    F(Gv_Ma, oGv, oMa, oNone)             \
    F(Ew_Gw, oEw, oGw, oNone)             \
    F(Gv_Ed, oGv, oEd, oNone)             \
    F(Iz, oIz, oNone, oNone)              \
    F(Ib, oIb, oNone, oNone)              \
    F(Gv_Ev_Iz, oGv, oEv, oIz)            \
    F(Gv_Ev_Ib, oGv, oEv, oIb)            \
    F(Str, oStr, oNone, oNone)            \
    F(Jb, oJb, oNone, oNone)              \
    F(Jz, oJz, oNone, oNone)              \
    F(Eb_Ib, oEb, oIb, oNone)             \
    F(Ev_Iz, oEv, oIz, oNone)             \
    F(Ev_Ib, oEv, oIb, oNone)             \
    F(Ev_Sw, oEv, oSw, oNone)             \
    F(Gv_M, oGv, oM, oNone)               \
    F(Sw_Ew, oSw, oEw, oNone)             \
    F(Ev, oEv, oNone, oNone)              \
    F(Eb, oEb, oNone, oNone)              \
    F(Ew, oEw, oNone, oNone)              \
    F(Ep, oEp, oNone, oNone)              \
    F(Zv_rAX, oZv, oRAX, oNone)           \
    F(Ap, oAp, oNone, oNone)              \
    F(AL_Ob, oAL, oOb, oNone)             \
    F(rAX_Ov, oRAX, oOv, oNone)           \
    F(Ob_AL, oOb, oAL, oNone)             \
    F(Ov_rAX, oOv, oRAX, oNone)           \
    F(Zb_Ib, oZb, oIb, oNone)             \
    F(Zv_Iv, oZv, oIv, oNone)             \
    F(IwU, oIwU, oNone, oNone)            \
    F(Gz_Mp, oGz, oMp, oNone)             \
    F(Gv_Mp, oGv, oMp, oNone)             \
    F(IwU_IbU, oIwU, oIbU, oNone)         \
    F(Three, oThree, oNone, oNone)        \
    F(IbU, oIbU, oNone, oNone)            \
    F(IbU_AamBase, oIbU, oAamBase, oNone) \
    F(Eb_1, oEb, oOne, oNone)             \
    F(Ev_1, oEv, oOne, oNone)             \
    F(Eb_CL, oEb, oCL, oNone)             \
    F(Ev_CL, oEv, oCL, oNone)             \
    F(AL_IbU, oAL, oIbU, oNone)           \
    F(eAX_IbU, oEAX, oIbU, oNone)         \
    F(IbU_AL, oIbU, oAL, oNone)           \
    F(IbU_eAX, oIbU, oEAX, oNone)         \
    F(AL_DX, oAL, oDX, oNone)             \
    F(eAX_DX, oEAX, oDX, oNone)           \
    F(DX_AL, oDX, oAL, oNone)             \
    F(DX_eAX, oDX, oEAX, oNone)           \
    F(Words, oWords, oNone, oNone)        \
    F(Gv_Ew, oGv, oEw, oNone)             \
    F(Gv_Eb, oGv, oEb, oNone)             \
    F(M, oM, oNone, oNone)                \
    F(Mb, oMb, oNone, oNone)              \
    F(Md, oMd, oNone, oNone)              \
    F(Mq, oMq, oNone, oNone)              \
    F(Mdq, oMdq, oNone, oNone)            \
    F(Mw, oMw, oNone, oNone)              \
    F(Mt, oMt, oNone, oNone)              \
    F(Ms, oMs, oNone, oNone)              \
    F(Rv, oRv, oNone, oNone)              \
    F(Rdq_Cd, oRdq, oCd, oNone)           \
    F(Rdq_Dd, oRdq, oDd, oNone)           \
    F(Cd_Rdq, oCd, oRdq, oNone)           \
    F(Dd_Rdq, oDd, oRdq, oNone)           \
    F(Rdq_Td, oRdq, oTd, oNone)           \
    F(Td_Rdq, oTd, oRdq, oNone)           \
    F(Pq_Qq, oPq, oQq, oNone)             \
    F(Ev_Gv_Ib, oEv, oGv, oIb)            \
    F(Ev_Gv_CL, oEv, oGv, oCL)            \
    F(My_Gdq, oMy, oGdq, oNone)           \
    F(ST0_STi, oST0, oSTi, oNone)         \
    F(STi_ST0, oSTi, oST0, oNone)         \
    F(STi, oSTi, oNone, oNone)            \
    F(AXfpu, oAXfpu, oNone, oNone)

enum class Form : uint8_t {
#define F(name, a, b, c) name,
    IA32_FORMS(F)
#undef F
    Count
};
constexpr unsigned kFormCount = static_cast<unsigned>(Form::Count);
static_assert(kFormCount <= 256, "form outgrows its 8-bit field");

struct FormRow {
    uint8_t codes[4];
    uint8_t count;
};
constexpr FormRow MakeForm(uint8_t a, uint8_t b, uint8_t c) {
    return {{a, b, c, 0}, static_cast<uint8_t>((a != 0) + (b != 0) + (c != 0))};
}
constexpr FormRow kForms[kFormCount] = {
#define F(name, a, b, c) MakeForm(a, b, c),
    IA32_FORMS(F)
#undef F
};

// Attribute words. I: valid in every mode; L: 16/32-bit modes only; W: 64-bit mode only.
constexpr uint32_t Word(Mn mn, Form form, uint32_t flags) {
    return static_cast<uint32_t>(mn) | static_cast<uint32_t>(kForms[static_cast<unsigned>(form)].count) << kCountShift |
           static_cast<uint32_t>(form) << kFormShift | flags;
}
constexpr uint32_t I(Mn mn, Form form = Form::None, uint32_t flags = 0) {
    return Word(mn, form, flags | kValid32 | kValid64);
}
constexpr uint32_t L(Mn mn, Form form = Form::None, uint32_t flags = 0) { return Word(mn, form, flags | kValid32); }
constexpr uint32_t W(Mn mn, Form form = Form::None, uint32_t flags = 0) { return Word(mn, form, flags | kValid64); }
constexpr uint32_t kUD = 0;                                   // "#UD", accepted in every mode
constexpr uint32_t Group(unsigned row) { return kEscGroup | row << kFormShift; }
constexpr uint32_t Group2(unsigned row) { return kEscGroup | 3u << kCountShift | row << kFormShift; }
constexpr uint32_t Fpu(unsigned row) { return kEscFpu | row << kFormShift; }
constexpr uint32_t Wait(unsigned row) { return kEscWait | row << kFormShift; }
constexpr uint32_t kSpecial = kEscSpecial;
constexpr uint32_t kVector = kEscVector;

struct OpcodeRow {
    uint8_t opcode;
    uint32_t word;
};
constexpr unsigned kGroupRows = 30;
constexpr unsigned kFpuRows = 25;

extern const OpcodeRow kOneByteMap[256];
extern const OpcodeRow kTwoByteMap[256];
extern const uint32_t kGroupTable[kGroupRows][8];
extern const uint32_t kFpuTable[kFpuRows][8];

// Rows of the special table, chosen by the decoder from opcode and sizes.
enum Sp : uint8_t {
    spPusha, spPushad, spPopa, spPopad, spArpl, spMovsxd,
    spInsw, spInsd, spOutsw, spOutsd,
    spNop, spPause, spXchg,
    spCbw, spCwde, spCdqe, spCwd, spCdq, spCqo,
    spPushf, spPushfd, spPushfq, spPopf, spPopfd, spPopfq,
    spMovsw, spMovsd, spMovsq, spCmpsw, spCmpsd, spCmpsq, spStosw, spStosd, spStosq,
    spLodsw, spLodsd, spLodsq, spScasw, spScasd, spScasq,
    spIret, spIretd, spIretq,
    spJcxz, spJecxz, spJrcxz,
    spXlat, spXlatb,
    spInt,
    spVxdcall, spVxdjmp, spVmmcall, spVmmjmp,
    spVmcall, spVmlaunch, spVmresume, spVmxoff, spMonitor, spMwait, spXgetbv, spXsetbv,
    spVmrun, spVmmcall01, spVmload, spVmsave, spStgi, spClgi, spSkinit, spInvlpga, spSwapgs, spRdtscp,
    spUD,
    spFnstenv, spFstenv, spFnstcw, spFstcw, spFnsave, spFsave, spFnstswM, spFstswM,
    spFnclex, spFclex, spFninit, spFinit, spFnstswAX, spFstswAX,
    spCmpxchg8b, spCmpxchg16b,
    spPopcnt, spRdrand, spRdseed,
    spCount
};
struct SpecialTable {
    uint32_t words[spCount];
};
extern const SpecialTable kSpecialTable;

// Register forms of 0F 01 (mod 3), searched in order.
struct ModrmFormRow {
    uint8_t special;
    uint8_t opcode;
    uint8_t reg;
    uint8_t rm;
};
constexpr unsigned kModrmForms = 18;
extern const ModrmFormRow kModrmFormTable[kModrmForms];

struct SuffixTable {
    uint16_t mn[256];
};
extern const SuffixTable k3DNowTable;

}  // namespace ia32
