// Opcode tables, checked against the Intel and AMD opcode maps row by row.
#include "decode/Ia32Tables.h"

namespace ia32 {

constexpr const char* const kMnemonicText[kMnemonicCount] = {
#define X(id, text) text,
#include "decode/Ia32Mnemonics.def"
#undef X
};

namespace {

constexpr int Compare(const char* a, const char* b) {
    while (*a && *a == *b)
        ++a, ++b;
    return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
}
constexpr bool MnemonicsSorted() {
    for (unsigned i = 4; i < kMnemonicCount; ++i)
        if (Compare(kMnemonicText[i - 1], kMnemonicText[i]) >= 0)
            return false;
    return true;
}
static_assert(MnemonicsSorted(), "mnemonics after the first three must be sorted and unique");

template <unsigned N>
constexpr bool RowsIndexedByOpcode(const OpcodeRow (&rows)[N]) {
    for (unsigned i = 0; i < N; ++i)
        if (rows[i].opcode != i)
            return false;
    return true;
}

// Every word names a form whose codes exist, and escapes name rows that exist.
constexpr bool WordSound(uint32_t w) {
    unsigned mn = WordMnemonic(w);
    unsigned form = WordForm(w);
    if (mn == kEscGroup)
        return form + (WordCount(w) == 3 ? 1 : 0) < kGroupRows;
    if (mn == kEscFpu)
        return form < kFpuRows;
    if (mn == kEscWait)
        return form + 1 < spCount;
    if (mn >= kEscSpecial)
        return true;
    return mn < kMnemonicCount && form < kFormCount;
}
template <unsigned N>
constexpr bool MapSound(const OpcodeRow (&rows)[N]) {
    for (unsigned i = 0; i < N; ++i)
        if (!WordSound(rows[i].word))
            return false;
    return true;
}

constexpr uint32_t kSz = kShowSize;
constexpr uint32_t kLk = kLockable;

}  // namespace

// Operand codes: {handler, size parameter}; rows not named are unused.
constexpr OperandCodeTable BuildOperandCodes() {
    OperandCodeTable t{};
    struct Def { uint8_t code, handler, size; };
    constexpr Def defs[] = {
        {oOne, hConst, szOne},      {oThree, hConst, szThree},  {oAp, hFar, szP},
        {oCd, hCr, szNone},         {oDd, hDr, szNone},
        {oEb, hModrm, szB},         {oEd, hModrm, szD},         {oEp, hModrm, szP},
        {oEv, hModrm, szV},         {oEw, hModrm, szW},
        {oGb, hGreg, szB},          {oGdq, hGreg, szY},         {oGv, hGreg, szV},
        {oGw, hGreg, szW},          {oGz, hGreg, szZ},
        {oIb, hImm, szB},           {oIbU, hImmU, szB},         {oIv, hImm, szV},
        {oIwU, hImmU, szW},         {oIz, hImm, szZ},
        {oJb, hRel, szB},           {oJz, hRel, szZ},
        {oM, hMem, szNone},         {oMa, hMem, szOne},         {oMb, hMem, szB},
        {oMd, hMem, szD},           {oMdq, hMem, szO},          {oMq, hMem, szQ},
        {oMp, hMem, szP},           {oMy, hMem, szY},           {oMs, hMem, szMs},
        {oMt, hMem, szT},           {oMw, hMem, szW},
        {oOb, hOffset, szB},        {oOv, hOffset, szV},
        {oQq, hMmxModrm, szQ},      {oPq, hMmxReg, szQ},
        {oRdq, hRegRm, szDQ},       {oRv, hRegRm, szV},         {oRw, hRegRm, szW},
        {oAL, hAcc, szB},           {oAXfpu, hAccFpu, szW},     {oCL, hCl, szB},
        {oDX, hDx, szW},            {oRAX, hAcc, szV},          {oEAX, hAcc, szZ},
        {oSregOp, hSregOp, szNone}, {oZb, hRegOp, szB},         {oZv, hRegOp, szV},
        {oSw, hSreg, szW},          {oST0, hSt0, szNone},       {oSTi, hSti, szNone},
        {oTd, hTr, szNone},         {oAamBase, hAamBase, szNone},
        {oStr, hString, szNone},    {oWords, hWords, szNone},
    };
    for (const Def& d : defs)
        t.rows[d.code] = OperandCode{d.handler, d.size};
    return t;
}
constexpr OperandCodeTable kOperandCodes = BuildOperandCodes();
constexpr bool FormsUseKnownCodes() {
    for (const FormRow& f : kForms)
        for (uint8_t c : f.codes)
            if (c != 0 && kOperandCodes.rows[c].handler == 0)
                return false;
    return true;
}
static_assert(FormsUseKnownCodes(), "a form names an operand code without a builder");


using F = Form;

// One-byte opcode map.
constexpr OpcodeRow kOneByteMap[256] = {
    /* 00 */ {0x00, I(Mn::add, F::Eb_Gb, kLk)},
    /* 01 */ {0x01, I(Mn::add, F::Ev_Gv, kLk)},
    /* 02 */ {0x02, I(Mn::add, F::Gb_Eb)},
    /* 03 */ {0x03, I(Mn::add, F::Gv_Ev)},
    /* 04 */ {0x04, I(Mn::add, F::AL_Ib)},
    /* 05 */ {0x05, I(Mn::add, F::rAX_Iz)},
    /* 06 */ {0x06, L(Mn::push, F::SregOp)},              // push es
    /* 07 */ {0x07, L(Mn::pop, F::SregOp)},               // pop es
    /* 08 */ {0x08, I(Mn::or_, F::Eb_Gb, kLk)},
    /* 09 */ {0x09, I(Mn::or_, F::Ev_Gv, kLk)},
    /* 0A */ {0x0A, I(Mn::or_, F::Gb_Eb)},
    /* 0B */ {0x0B, I(Mn::or_, F::Gv_Ev)},
    /* 0C */ {0x0C, I(Mn::or_, F::AL_Ib)},
    /* 0D */ {0x0D, I(Mn::or_, F::rAX_Iz)},
    /* 0E */ {0x0E, L(Mn::push, F::SregOp)},              // push cs
    /* 0F */ {0x0F, kUD},                                 // two-byte escape, never looked up
    /* 10 */ {0x10, I(Mn::adc, F::Eb_Gb, kLk)},
    /* 11 */ {0x11, I(Mn::adc, F::Ev_Gv, kLk)},
    /* 12 */ {0x12, I(Mn::adc, F::Gb_Eb)},
    /* 13 */ {0x13, I(Mn::adc, F::Gv_Ev)},
    /* 14 */ {0x14, I(Mn::adc, F::AL_Ib)},
    /* 15 */ {0x15, I(Mn::adc, F::rAX_Iz)},
    /* 16 */ {0x16, L(Mn::push, F::SregOp)},              // push ss
    /* 17 */ {0x17, L(Mn::pop, F::SregOp)},               // pop ss
    /* 18 */ {0x18, I(Mn::sbb, F::Eb_Gb, kLk)},
    /* 19 */ {0x19, I(Mn::sbb, F::Ev_Gv, kLk)},
    /* 1A */ {0x1A, I(Mn::sbb, F::Gb_Eb)},
    /* 1B */ {0x1B, I(Mn::sbb, F::Gv_Ev)},
    /* 1C */ {0x1C, I(Mn::sbb, F::AL_Ib)},
    /* 1D */ {0x1D, I(Mn::sbb, F::rAX_Iz)},
    /* 1E */ {0x1E, L(Mn::push, F::SregOp)},              // push ds
    /* 1F */ {0x1F, L(Mn::pop, F::SregOp)},               // pop ds
    /* 20 */ {0x20, I(Mn::and_, F::Eb_Gb, kLk)},
    /* 21 */ {0x21, I(Mn::and_, F::Ev_Gv, kLk)},
    /* 22 */ {0x22, I(Mn::and_, F::Gb_Eb)},
    /* 23 */ {0x23, I(Mn::and_, F::Gv_Ev)},
    /* 24 */ {0x24, I(Mn::and_, F::AL_Ib)},
    /* 25 */ {0x25, I(Mn::and_, F::rAX_Iz)},
    /* 26 */ {0x26, I(Mn::es_)},                          // prefixes: reached only at the length limit
    /* 27 */ {0x27, L(Mn::daa)},
    /* 28 */ {0x28, I(Mn::sub, F::Eb_Gb, kLk)},
    /* 29 */ {0x29, I(Mn::sub, F::Ev_Gv, kLk)},
    /* 2A */ {0x2A, I(Mn::sub, F::Gb_Eb)},
    /* 2B */ {0x2B, I(Mn::sub, F::Gv_Ev)},
    /* 2C */ {0x2C, I(Mn::sub, F::AL_Ib)},
    /* 2D */ {0x2D, I(Mn::sub, F::rAX_Iz)},
    /* 2E */ {0x2E, I(Mn::cs_)},
    /* 2F */ {0x2F, L(Mn::das)},
    /* 30 */ {0x30, I(Mn::xor_, F::Eb_Gb, kLk)},
    /* 31 */ {0x31, I(Mn::xor_, F::Ev_Gv, kLk)},
    /* 32 */ {0x32, I(Mn::xor_, F::Gb_Eb)},
    /* 33 */ {0x33, I(Mn::xor_, F::Gv_Ev)},
    /* 34 */ {0x34, I(Mn::xor_, F::AL_Ib)},
    /* 35 */ {0x35, I(Mn::xor_, F::rAX_Iz)},
    /* 36 */ {0x36, I(Mn::ss_)},
    /* 37 */ {0x37, L(Mn::aaa)},
    /* 38 */ {0x38, I(Mn::cmp, F::Eb_Gb)},
    /* 39 */ {0x39, I(Mn::cmp, F::Ev_Gv)},
    /* 3A */ {0x3A, I(Mn::cmp, F::Gb_Eb)},
    /* 3B */ {0x3B, I(Mn::cmp, F::Gv_Ev)},
    /* 3C */ {0x3C, I(Mn::cmp, F::AL_Ib)},
    /* 3D */ {0x3D, I(Mn::cmp, F::rAX_Iz)},
    /* 3E */ {0x3E, I(Mn::ds_)},
    /* 3F */ {0x3F, L(Mn::aas)},
    /* 40 */ {0x40, L(Mn::inc, F::Zv)},                   // REX in 64-bit mode
    /* 41 */ {0x41, L(Mn::inc, F::Zv)},
    /* 42 */ {0x42, L(Mn::inc, F::Zv)},
    /* 43 */ {0x43, L(Mn::inc, F::Zv)},
    /* 44 */ {0x44, L(Mn::inc, F::Zv)},
    /* 45 */ {0x45, L(Mn::inc, F::Zv)},
    /* 46 */ {0x46, L(Mn::inc, F::Zv)},
    /* 47 */ {0x47, L(Mn::inc, F::Zv)},
    /* 48 */ {0x48, L(Mn::dec, F::Zv)},
    /* 49 */ {0x49, L(Mn::dec, F::Zv)},
    /* 4A */ {0x4A, L(Mn::dec, F::Zv)},
    /* 4B */ {0x4B, L(Mn::dec, F::Zv)},
    /* 4C */ {0x4C, L(Mn::dec, F::Zv)},
    /* 4D */ {0x4D, L(Mn::dec, F::Zv)},
    /* 4E */ {0x4E, L(Mn::dec, F::Zv)},
    /* 4F */ {0x4F, L(Mn::dec, F::Zv)},
    /* 50 */ {0x50, I(Mn::push, F::Zv, kDefault64)},
    /* 51 */ {0x51, I(Mn::push, F::Zv, kDefault64)},
    /* 52 */ {0x52, I(Mn::push, F::Zv, kDefault64)},
    /* 53 */ {0x53, I(Mn::push, F::Zv, kDefault64)},
    /* 54 */ {0x54, I(Mn::push, F::Zv, kDefault64)},
    /* 55 */ {0x55, I(Mn::push, F::Zv, kDefault64)},
    /* 56 */ {0x56, I(Mn::push, F::Zv, kDefault64)},
    /* 57 */ {0x57, I(Mn::push, F::Zv, kDefault64)},
    /* 58 */ {0x58, I(Mn::pop, F::Zv, kDefault64)},
    /* 59 */ {0x59, I(Mn::pop, F::Zv, kDefault64)},
    /* 5A */ {0x5A, I(Mn::pop, F::Zv, kDefault64)},
    /* 5B */ {0x5B, I(Mn::pop, F::Zv, kDefault64)},
    /* 5C */ {0x5C, I(Mn::pop, F::Zv, kDefault64)},
    /* 5D */ {0x5D, I(Mn::pop, F::Zv, kDefault64)},
    /* 5E */ {0x5E, I(Mn::pop, F::Zv, kDefault64)},
    /* 5F */ {0x5F, I(Mn::pop, F::Zv, kDefault64)},
    /* 60 */ {0x60, kSpecial},                            // pusha/pushad
    /* 61 */ {0x61, kSpecial},                            // popa/popad
    /* 62 */ {0x62, L(Mn::bound, F::Gv_Ma)},
    /* 63 */ {0x63, kSpecial},                            // arpl; movsxd in 64-bit mode
    /* 64 */ {0x64, I(Mn::fs_)},
    /* 65 */ {0x65, I(Mn::gs_)},
    /* 66 */ {0x66, kUD},
    /* 67 */ {0x67, kUD},
    /* 68 */ {0x68, I(Mn::push, F::Iz, kDefault64)},
    /* 69 */ {0x69, I(Mn::imul, F::Gv_Ev_Iz)},
    /* 6A */ {0x6A, I(Mn::push, F::Ib, kDefault64)},
    /* 6B */ {0x6B, I(Mn::imul, F::Gv_Ev_Ib)},
    /* 6C */ {0x6C, I(Mn::insb, F::Str)},
    /* 6D */ {0x6D, kSpecial},                            // insw/insd
    /* 6E */ {0x6E, I(Mn::outsb, F::Str)},
    /* 6F */ {0x6F, kSpecial},                            // outsw/outsd
    /* 70 */ {0x70, I(Mn::jo, F::Jb)},
    /* 71 */ {0x71, I(Mn::jno, F::Jb)},
    /* 72 */ {0x72, I(Mn::jc, F::Jb)},
    /* 73 */ {0x73, I(Mn::jnc, F::Jb)},
    /* 74 */ {0x74, I(Mn::jz, F::Jb)},
    /* 75 */ {0x75, I(Mn::jnz, F::Jb)},
    /* 76 */ {0x76, I(Mn::jbe, F::Jb)},
    /* 77 */ {0x77, I(Mn::ja, F::Jb)},
    /* 78 */ {0x78, I(Mn::js, F::Jb)},
    /* 79 */ {0x79, I(Mn::jns, F::Jb)},
    /* 7A */ {0x7A, I(Mn::jp, F::Jb)},
    /* 7B */ {0x7B, I(Mn::jnp, F::Jb)},
    /* 7C */ {0x7C, I(Mn::jl, F::Jb)},
    /* 7D */ {0x7D, I(Mn::jge, F::Jb)},
    /* 7E */ {0x7E, I(Mn::jle, F::Jb)},
    /* 7F */ {0x7F, I(Mn::jg, F::Jb)},
    /* 80 */ {0x80, Group(0)},                            // Eb,Ib
    /* 81 */ {0x81, Group(1)},                            // Ev,Iz
    /* 82 */ {0x82, Group(2)},                            // Eb,Ib (not in 64-bit mode)
    /* 83 */ {0x83, Group(3)},                            // Ev,Ib
    /* 84 */ {0x84, I(Mn::test, F::Eb_Gb)},
    /* 85 */ {0x85, I(Mn::test, F::Ev_Gv)},
    /* 86 */ {0x86, I(Mn::xchg, F::Eb_Gb, kLk)},
    /* 87 */ {0x87, I(Mn::xchg, F::Ev_Gv, kLk)},
    /* 88 */ {0x88, I(Mn::mov, F::Eb_Gb)},
    /* 89 */ {0x89, I(Mn::mov, F::Ev_Gv)},
    /* 8A */ {0x8A, I(Mn::mov, F::Gb_Eb)},
    /* 8B */ {0x8B, I(Mn::mov, F::Gv_Ev)},
    /* 8C */ {0x8C, I(Mn::mov, F::Ev_Sw)},
    /* 8D */ {0x8D, I(Mn::lea, F::Gv_M)},
    /* 8E */ {0x8E, I(Mn::mov, F::Sw_Ew)},
    /* 8F */ {0x8F, Group(4)},                            // pop Ev
    /* 90 */ {0x90, kSpecial},                            // nop, pause, xchg r8,rAX
    /* 91 */ {0x91, I(Mn::xchg, F::Zv_rAX)},
    /* 92 */ {0x92, I(Mn::xchg, F::Zv_rAX)},
    /* 93 */ {0x93, I(Mn::xchg, F::Zv_rAX)},
    /* 94 */ {0x94, I(Mn::xchg, F::Zv_rAX)},
    /* 95 */ {0x95, I(Mn::xchg, F::Zv_rAX)},
    /* 96 */ {0x96, I(Mn::xchg, F::Zv_rAX)},
    /* 97 */ {0x97, I(Mn::xchg, F::Zv_rAX)},
    /* 98 */ {0x98, kSpecial},                            // cbw/cwde/cdqe
    /* 99 */ {0x99, kSpecial},                            // cwd/cdq/cqo
    /* 9A */ {0x9A, L(Mn::callf, F::Ap)},
    /* 9B */ {0x9B, I(Mn::fwait)},
    /* 9C */ {0x9C, kSpecial},                            // pushf/pushfd/pushfq
    /* 9D */ {0x9D, kSpecial},                            // popf/popfd/popfq
    /* 9E */ {0x9E, I(Mn::sahf)},
    /* 9F */ {0x9F, I(Mn::lahf)},
    /* A0 */ {0xA0, I(Mn::mov, F::AL_Ob)},
    /* A1 */ {0xA1, I(Mn::mov, F::rAX_Ov)},
    /* A2 */ {0xA2, I(Mn::mov, F::Ob_AL)},
    /* A3 */ {0xA3, I(Mn::mov, F::Ov_rAX)},
    /* A4 */ {0xA4, I(Mn::movsb, F::Str)},
    /* A5 */ {0xA5, kSpecial},                            // movsw/movsd/movsq
    /* A6 */ {0xA6, I(Mn::cmpsb, F::Str)},
    /* A7 */ {0xA7, kSpecial},
    /* A8 */ {0xA8, I(Mn::test, F::AL_Ib)},
    /* A9 */ {0xA9, I(Mn::test, F::rAX_Iz)},
    /* AA */ {0xAA, I(Mn::stosb, F::Str)},
    /* AB */ {0xAB, kSpecial},
    /* AC */ {0xAC, I(Mn::lodsb, F::Str)},
    /* AD */ {0xAD, kSpecial},
    /* AE */ {0xAE, I(Mn::scasb, F::Str)},
    /* AF */ {0xAF, kSpecial},
    /* B0 */ {0xB0, I(Mn::mov, F::Zb_Ib)},
    /* B1 */ {0xB1, I(Mn::mov, F::Zb_Ib)},
    /* B2 */ {0xB2, I(Mn::mov, F::Zb_Ib)},
    /* B3 */ {0xB3, I(Mn::mov, F::Zb_Ib)},
    /* B4 */ {0xB4, I(Mn::mov, F::Zb_Ib)},
    /* B5 */ {0xB5, I(Mn::mov, F::Zb_Ib)},
    /* B6 */ {0xB6, I(Mn::mov, F::Zb_Ib)},
    /* B7 */ {0xB7, I(Mn::mov, F::Zb_Ib)},
    /* B8 */ {0xB8, I(Mn::mov, F::Zv_Iv)},
    /* B9 */ {0xB9, I(Mn::mov, F::Zv_Iv)},
    /* BA */ {0xBA, I(Mn::mov, F::Zv_Iv)},
    /* BB */ {0xBB, I(Mn::mov, F::Zv_Iv)},
    /* BC */ {0xBC, I(Mn::mov, F::Zv_Iv)},
    /* BD */ {0xBD, I(Mn::mov, F::Zv_Iv)},
    /* BE */ {0xBE, I(Mn::mov, F::Zv_Iv)},
    /* BF */ {0xBF, I(Mn::mov, F::Zv_Iv)},
    /* C0 */ {0xC0, Group(5)},                            // shifts Eb,Ib
    /* C1 */ {0xC1, Group(6)},                            // shifts Ev,Ib
    /* C2 */ {0xC2, I(Mn::retn, F::IwU)},
    /* C3 */ {0xC3, I(Mn::retn)},
    /* C4 */ {0xC4, L(Mn::les, F::Gz_Mp)},
    /* C5 */ {0xC5, L(Mn::lds, F::Gz_Mp)},
    /* C6 */ {0xC6, Group(7)},                            // mov Eb,Ib
    /* C7 */ {0xC7, Group(8)},                            // mov Ev,Iz
    /* C8 */ {0xC8, I(Mn::enter, F::IwU_IbU)},
    /* C9 */ {0xC9, I(Mn::leave)},
    /* CA */ {0xCA, I(Mn::retf, F::IwU)},
    /* CB */ {0xCB, I(Mn::retf)},
    /* CC */ {0xCC, I(Mn::int_, F::Three)},
    /* CD */ {0xCD, kSpecial},                            // int Ib, VxD calls
    /* CE */ {0xCE, L(Mn::into)},
    /* CF */ {0xCF, kSpecial},                            // iret/iretd/iretq
    /* D0 */ {0xD0, Group(9)},                            // shifts Eb,1
    /* D1 */ {0xD1, Group(10)},                           // shifts Ev,1
    /* D2 */ {0xD2, Group(11)},                           // shifts Eb,cl
    /* D3 */ {0xD3, Group(12)},                           // shifts Ev,cl
    /* D4 */ {0xD4, L(Mn::aam, F::IbU_AamBase)},
    /* D5 */ {0xD5, L(Mn::aad, F::IbU_AamBase)},
    /* D6 */ {0xD6, L(Mn::setalc)},
    /* D7 */ {0xD7, kSpecial},                            // xlat/xlatb
    /* D8 */ {0xD8, Fpu(0)},
    /* D9 */ {0xD9, Fpu(2)},
    /* DA */ {0xDA, Fpu(4)},
    /* DB */ {0xDB, Fpu(6)},
    /* DC */ {0xDC, Fpu(8)},
    /* DD */ {0xDD, Fpu(10)},
    /* DE */ {0xDE, Fpu(12)},
    /* DF */ {0xDF, Fpu(14)},
    /* E0 */ {0xE0, I(Mn::loopne, F::Jb)},
    /* E1 */ {0xE1, I(Mn::loope, F::Jb)},
    /* E2 */ {0xE2, I(Mn::loop, F::Jb)},
    /* E3 */ {0xE3, kSpecial},                            // jcxz/jecxz/jrcxz
    /* E4 */ {0xE4, I(Mn::in, F::AL_IbU)},
    /* E5 */ {0xE5, I(Mn::in, F::eAX_IbU)},
    /* E6 */ {0xE6, I(Mn::out, F::IbU_AL)},
    /* E7 */ {0xE7, I(Mn::out, F::IbU_eAX)},
    /* E8 */ {0xE8, I(Mn::call, F::Jz, kDefault64)},
    /* E9 */ {0xE9, I(Mn::jmp, F::Jz, kDefault64)},
    /* EA */ {0xEA, L(Mn::jmpf, F::Ap)},
    /* EB */ {0xEB, I(Mn::jmps, F::Jb)},
    /* EC */ {0xEC, I(Mn::in, F::AL_DX)},
    /* ED */ {0xED, I(Mn::in, F::eAX_DX)},
    /* EE */ {0xEE, I(Mn::out, F::DX_AL)},
    /* EF */ {0xEF, I(Mn::out, F::DX_eAX)},
    /* F0 */ {0xF0, I(Mn::lock)},
    /* F1 */ {0xF1, I(Mn::ICE1)},
    /* F2 */ {0xF2, I(Mn::repne)},
    /* F3 */ {0xF3, I(Mn::repe)},
    /* F4 */ {0xF4, I(Mn::hlt)},
    /* F5 */ {0xF5, I(Mn::cmc)},
    /* F6 */ {0xF6, Group(13)},                           // unary Eb
    /* F7 */ {0xF7, Group(14)},                           // unary Ev
    /* F8 */ {0xF8, I(Mn::clc)},
    /* F9 */ {0xF9, I(Mn::stc)},
    /* FA */ {0xFA, I(Mn::cli)},
    /* FB */ {0xFB, I(Mn::sti)},
    /* FC */ {0xFC, I(Mn::cld)},
    /* FD */ {0xFD, I(Mn::std)},
    /* FE */ {0xFE, Group(15)},                           // inc/dec Eb
    /* FF */ {0xFF, Group2(18)},                          // inc/dec/call/jmp/push Ev; mod 3 row 19
};
static_assert(RowsIndexedByOpcode(kOneByteMap), "one-byte map: row missing or out of order");
static_assert(MapSound(kOneByteMap), "one-byte map: word names a row that does not exist");
// Two-byte opcode map (0F xx), one for every prefix code.
constexpr OpcodeRow kTwoByteMap[256] = {
    /* 00 */ {0x00, Group2(20)},                           // sldt, str, lldt, ltr, verr, verw; mod 3 row 21
    /* 01 */ {0x01, Group2(22)},                           // sgdt ... invlpg; mod 3 row 23
    /* 02 */ {0x02, I(Mn::lar, F::Gv_Ew)},
    /* 03 */ {0x03, I(Mn::lsl, F::Gv_Ew)},
    /* 04 */ {0x04, kUD},
    /* 05 */ {0x05, W(Mn::syscall)},
    /* 06 */ {0x06, I(Mn::clts)},
    /* 07 */ {0x07, W(Mn::sysret)},
    /* 08 */ {0x08, I(Mn::invd)},
    /* 09 */ {0x09, I(Mn::wbinvd)},
    /* 0A */ {0x0A, kUD},
    /* 0B */ {0x0B, I(Mn::ud2)},
    /* 0C */ {0x0C, kUD},
    /* 0D */ {0x0D, I(Mn::prefetch, F::Eb)},
    /* 0E */ {0x0E, I(Mn::femms)},
    /* 0F */ {0x0F, I(Mn::T3D, F::Pq_Qq)},                 // 3DNow!: the suffix byte names the operation
    /* 10 */ {0x10, kVector},
    /* 11 */ {0x11, kVector},
    /* 12 */ {0x12, kVector},
    /* 13 */ {0x13, kVector},
    /* 14 */ {0x14, kVector},
    /* 15 */ {0x15, kVector},
    /* 16 */ {0x16, kVector},
    /* 17 */ {0x17, kVector},
    /* 18 */ {0x18, Group2(24)},                           // prefetch hints; mod 3 row 25
    /* 19 */ {0x19, I(Mn::nop, F::Ev)},
    /* 1A */ {0x1A, I(Mn::nop, F::Ev)},
    /* 1B */ {0x1B, I(Mn::nop, F::Ev)},
    /* 1C */ {0x1C, I(Mn::nop, F::Ev)},
    /* 1D */ {0x1D, I(Mn::nop, F::Ev)},
    /* 1E */ {0x1E, I(Mn::nop, F::Ev)},
    /* 1F */ {0x1F, I(Mn::nop, F::Ev)},
    /* 20 */ {0x20, I(Mn::mov, F::Rdq_Cd)},
    /* 21 */ {0x21, I(Mn::mov, F::Rdq_Dd)},
    /* 22 */ {0x22, I(Mn::mov, F::Cd_Rdq)},
    /* 23 */ {0x23, I(Mn::mov, F::Dd_Rdq)},
    /* 24 */ {0x24, I(Mn::mov, F::Rdq_Td)},
    /* 25 */ {0x25, kUD},
    /* 26 */ {0x26, I(Mn::mov, F::Td_Rdq)},
    /* 27 */ {0x27, kUD},
    /* 28 */ {0x28, kVector},
    /* 29 */ {0x29, kVector},
    /* 2A */ {0x2A, kVector},
    /* 2B */ {0x2B, kVector},
    /* 2C */ {0x2C, kVector},
    /* 2D */ {0x2D, kVector},
    /* 2E */ {0x2E, kVector},
    /* 2F */ {0x2F, kVector},
    /* 30 */ {0x30, I(Mn::wrmsr)},
    /* 31 */ {0x31, I(Mn::rdtsc)},
    /* 32 */ {0x32, I(Mn::rdmsr)},
    /* 33 */ {0x33, I(Mn::rdpmc)},
    /* 34 */ {0x34, I(Mn::sysenter)},
    /* 35 */ {0x35, I(Mn::sysexit)},
    /* 36 */ {0x36, kUD},
    /* 37 */ {0x37, I(Mn::getsec)},
    /* 38 */ {0x38, kEsc0F38},
    /* 39 */ {0x39, kUD},
    /* 3A */ {0x3A, kEsc0F3A},
    /* 3B */ {0x3B, kUD},
    /* 3C */ {0x3C, kUD},
    /* 3D */ {0x3D, kUD},
    /* 3E */ {0x3E, kUD},
    /* 3F */ {0x3F, kUD},
    /* 40 */ {0x40, I(Mn::cmovo, F::Gv_Ev)},
    /* 41 */ {0x41, I(Mn::cmovno, F::Gv_Ev)},
    /* 42 */ {0x42, I(Mn::cmovc, F::Gv_Ev)},
    /* 43 */ {0x43, I(Mn::cmovnc, F::Gv_Ev)},
    /* 44 */ {0x44, I(Mn::cmovz, F::Gv_Ev)},
    /* 45 */ {0x45, I(Mn::cmovnz, F::Gv_Ev)},
    /* 46 */ {0x46, I(Mn::cmovbe, F::Gv_Ev)},
    /* 47 */ {0x47, I(Mn::cmova, F::Gv_Ev)},
    /* 48 */ {0x48, I(Mn::cmovs, F::Gv_Ev)},
    /* 49 */ {0x49, I(Mn::cmovns, F::Gv_Ev)},
    /* 4A */ {0x4A, I(Mn::cmovp, F::Gv_Ev)},
    /* 4B */ {0x4B, I(Mn::cmovnp, F::Gv_Ev)},
    /* 4C */ {0x4C, I(Mn::cmovl, F::Gv_Ev)},
    /* 4D */ {0x4D, I(Mn::cmovge, F::Gv_Ev)},
    /* 4E */ {0x4E, I(Mn::cmovle, F::Gv_Ev)},
    /* 4F */ {0x4F, I(Mn::cmovg, F::Gv_Ev)},
    /* 50 */ {0x50, kVector},
    /* 51 */ {0x51, kVector},
    /* 52 */ {0x52, kVector},
    /* 53 */ {0x53, kVector},
    /* 54 */ {0x54, kVector},
    /* 55 */ {0x55, kVector},
    /* 56 */ {0x56, kVector},
    /* 57 */ {0x57, kVector},
    /* 58 */ {0x58, kVector},
    /* 59 */ {0x59, kVector},
    /* 5A */ {0x5A, kVector},
    /* 5B */ {0x5B, kVector},
    /* 5C */ {0x5C, kVector},
    /* 5D */ {0x5D, kVector},
    /* 5E */ {0x5E, kVector},
    /* 5F */ {0x5F, kVector},
    /* 60 */ {0x60, kVector},
    /* 61 */ {0x61, kVector},
    /* 62 */ {0x62, kVector},
    /* 63 */ {0x63, kVector},
    /* 64 */ {0x64, kVector},
    /* 65 */ {0x65, kVector},
    /* 66 */ {0x66, kVector},
    /* 67 */ {0x67, kVector},
    /* 68 */ {0x68, kVector},
    /* 69 */ {0x69, kVector},
    /* 6A */ {0x6A, kVector},
    /* 6B */ {0x6B, kVector},
    /* 6C */ {0x6C, kVector},
    /* 6D */ {0x6D, kVector},
    /* 6E */ {0x6E, kVector},
    /* 6F */ {0x6F, kVector},
    /* 70 */ {0x70, kVector},
    /* 71 */ {0x71, kVector},
    /* 72 */ {0x72, kVector},
    /* 73 */ {0x73, kVector},
    /* 74 */ {0x74, kVector},
    /* 75 */ {0x75, kVector},
    /* 76 */ {0x76, kVector},
    /* 77 */ {0x77, I(Mn::emms)},
    /* 78 */ {0x78, kVector},
    /* 79 */ {0x79, kVector},
    /* 7A */ {0x7A, kUD},
    /* 7B */ {0x7B, kUD},
    /* 7C */ {0x7C, kVector},
    /* 7D */ {0x7D, kVector},
    /* 7E */ {0x7E, kVector},
    /* 7F */ {0x7F, kVector},
    /* 80 */ {0x80, I(Mn::jo, F::Jz, kDefault64)},
    /* 81 */ {0x81, I(Mn::jno, F::Jz, kDefault64)},
    /* 82 */ {0x82, I(Mn::jc, F::Jz, kDefault64)},
    /* 83 */ {0x83, I(Mn::jnc, F::Jz, kDefault64)},
    /* 84 */ {0x84, I(Mn::jz, F::Jz, kDefault64)},
    /* 85 */ {0x85, I(Mn::jnz, F::Jz, kDefault64)},
    /* 86 */ {0x86, I(Mn::jbe, F::Jz, kDefault64)},
    /* 87 */ {0x87, I(Mn::ja, F::Jz, kDefault64)},
    /* 88 */ {0x88, I(Mn::js, F::Jz, kDefault64)},
    /* 89 */ {0x89, I(Mn::jns, F::Jz, kDefault64)},
    /* 8A */ {0x8A, I(Mn::jp, F::Jz, kDefault64)},
    /* 8B */ {0x8B, I(Mn::jnp, F::Jz, kDefault64)},
    /* 8C */ {0x8C, I(Mn::jl, F::Jz, kDefault64)},
    /* 8D */ {0x8D, I(Mn::jge, F::Jz, kDefault64)},
    /* 8E */ {0x8E, I(Mn::jle, F::Jz, kDefault64)},
    /* 8F */ {0x8F, I(Mn::jg, F::Jz, kDefault64)},
    /* 90 */ {0x90, I(Mn::seto, F::Eb)},
    /* 91 */ {0x91, I(Mn::setno, F::Eb)},
    /* 92 */ {0x92, I(Mn::setc, F::Eb)},
    /* 93 */ {0x93, I(Mn::setnc, F::Eb)},
    /* 94 */ {0x94, I(Mn::setz, F::Eb)},
    /* 95 */ {0x95, I(Mn::setnz, F::Eb)},
    /* 96 */ {0x96, I(Mn::setbe, F::Eb)},
    /* 97 */ {0x97, I(Mn::seta, F::Eb)},
    /* 98 */ {0x98, I(Mn::sets, F::Eb)},
    /* 99 */ {0x99, I(Mn::setns, F::Eb)},
    /* 9A */ {0x9A, I(Mn::setp, F::Eb)},
    /* 9B */ {0x9B, I(Mn::setnp, F::Eb)},
    /* 9C */ {0x9C, I(Mn::setl, F::Eb)},
    /* 9D */ {0x9D, I(Mn::setge, F::Eb)},
    /* 9E */ {0x9E, I(Mn::setle, F::Eb)},
    /* 9F */ {0x9F, I(Mn::setg, F::Eb)},
    /* A0 */ {0xA0, I(Mn::push, F::SregOp, kDefault64)},  // push fs
    /* A1 */ {0xA1, I(Mn::pop, F::SregOp, kDefault64)},   // pop fs
    /* A2 */ {0xA2, I(Mn::cpuid)},
    /* A3 */ {0xA3, I(Mn::bt, F::Ev_Gv)},
    /* A4 */ {0xA4, I(Mn::shld, F::Ev_Gv_Ib)},
    /* A5 */ {0xA5, I(Mn::shld, F::Ev_Gv_CL)},
    /* A6 */ {0xA6, kUD},
    /* A7 */ {0xA7, kUD},
    /* A8 */ {0xA8, I(Mn::push, F::SregOp, kDefault64)},  // push gs
    /* A9 */ {0xA9, I(Mn::pop, F::SregOp, kDefault64)},   // pop gs
    /* AA */ {0xAA, I(Mn::rsm)},
    /* AB */ {0xAB, I(Mn::bts, F::Ev_Gv, kLk)},
    /* AC */ {0xAC, I(Mn::shrd, F::Ev_Gv_Ib)},
    /* AD */ {0xAD, I(Mn::shrd, F::Ev_Gv_CL)},
    /* AE */ {0xAE, Group2(26)},                           // fxsave ... clflush; mod 3: fences
    /* AF */ {0xAF, I(Mn::imul, F::Gv_Ev)},
    /* B0 */ {0xB0, I(Mn::cmpxchg, F::Eb_Gb, kLk)},
    /* B1 */ {0xB1, I(Mn::cmpxchg, F::Ev_Gv, kLk)},
    /* B2 */ {0xB2, I(Mn::lss, F::Gv_Mp)},
    /* B3 */ {0xB3, I(Mn::btr, F::Ev_Gv, kLk)},
    /* B4 */ {0xB4, I(Mn::lfs, F::Gv_Mp)},
    /* B5 */ {0xB5, I(Mn::lgs, F::Gv_Mp)},
    /* B6 */ {0xB6, I(Mn::movzx, F::Gv_Eb, kSz)},
    /* B7 */ {0xB7, I(Mn::movzx, F::Gv_Ew, kSz)},
    /* B8 */ {0xB8, kSpecial},                            // popcnt Gv,Ev with F3; else a vector row
    /* B9 */ {0xB9, I(Mn::ud1, F::Gv_Ev)},
    /* BA */ {0xBA, Group(16)},                            // bt, bts, btr, btc Ev,Ib
    /* BB */ {0xBB, I(Mn::btc, F::Ev_Gv, kLk)},
    /* BC */ {0xBC, I(Mn::bsf, F::Gv_Ev)},
    /* BD */ {0xBD, I(Mn::bsr, F::Gv_Ev)},
    /* BE */ {0xBE, I(Mn::movsx, F::Gv_Eb, kSz)},
    /* BF */ {0xBF, I(Mn::movsx, F::Gv_Ew, kSz)},
    /* C0 */ {0xC0, I(Mn::xadd, F::Eb_Gb, kLk)},
    /* C1 */ {0xC1, I(Mn::xadd, F::Ev_Gv, kLk)},
    /* C2 */ {0xC2, kVector},
    /* C3 */ {0xC3, I(Mn::movnti, F::My_Gdq)},
    /* C4 */ {0xC4, kVector},
    /* C5 */ {0xC5, kVector},
    /* C6 */ {0xC6, kVector},
    /* C7 */ {0xC7, Group2(28)},                           // cmpxchg8b/16b Mq; mod 3 row 29
    /* C8 */ {0xC8, I(Mn::bswap, F::Zv)},
    /* C9 */ {0xC9, I(Mn::bswap, F::Zv)},
    /* CA */ {0xCA, I(Mn::bswap, F::Zv)},
    /* CB */ {0xCB, I(Mn::bswap, F::Zv)},
    /* CC */ {0xCC, I(Mn::bswap, F::Zv)},
    /* CD */ {0xCD, I(Mn::bswap, F::Zv)},
    /* CE */ {0xCE, I(Mn::bswap, F::Zv)},
    /* CF */ {0xCF, I(Mn::bswap, F::Zv)},
    /* D0 */ {0xD0, kVector},
    /* D1 */ {0xD1, kVector},
    /* D2 */ {0xD2, kVector},
    /* D3 */ {0xD3, kVector},
    /* D4 */ {0xD4, kVector},
    /* D5 */ {0xD5, kVector},
    /* D6 */ {0xD6, kVector},
    /* D7 */ {0xD7, kVector},
    /* D8 */ {0xD8, kVector},
    /* D9 */ {0xD9, kVector},
    /* DA */ {0xDA, kVector},
    /* DB */ {0xDB, kVector},
    /* DC */ {0xDC, kVector},
    /* DD */ {0xDD, kVector},
    /* DE */ {0xDE, kVector},
    /* DF */ {0xDF, kVector},
    /* E0 */ {0xE0, kVector},
    /* E1 */ {0xE1, kVector},
    /* E2 */ {0xE2, kVector},
    /* E3 */ {0xE3, kVector},
    /* E4 */ {0xE4, kVector},
    /* E5 */ {0xE5, kVector},
    /* E6 */ {0xE6, kVector},
    /* E7 */ {0xE7, kVector},
    /* E8 */ {0xE8, kVector},
    /* E9 */ {0xE9, kVector},
    /* EA */ {0xEA, kVector},
    /* EB */ {0xEB, kVector},
    /* EC */ {0xEC, kVector},
    /* ED */ {0xED, kVector},
    /* EE */ {0xEE, kVector},
    /* EF */ {0xEF, kVector},
    /* F0 */ {0xF0, kVector},
    /* F1 */ {0xF1, kVector},
    /* F2 */ {0xF2, kVector},
    /* F3 */ {0xF3, kVector},
    /* F4 */ {0xF4, kVector},
    /* F5 */ {0xF5, kVector},
    /* F6 */ {0xF6, kVector},
    /* F7 */ {0xF7, kVector},
    /* F8 */ {0xF8, kVector},
    /* F9 */ {0xF9, kVector},
    /* FA */ {0xFA, kVector},
    /* FB */ {0xFB, kVector},
    /* FC */ {0xFC, kVector},
    /* FD */ {0xFD, kVector},
    /* FE */ {0xFE, kVector},
    /* FF */ {0xFF, kUD},
};
static_assert(RowsIndexedByOpcode(kTwoByteMap), "two-byte map: row missing or out of order");
static_assert(MapSound(kTwoByteMap), "two-byte map: word names a row that does not exist");

// Groups, indexed by ModRM reg.
constexpr uint32_t kGroupTable[kGroupRows][8] = {
    /*  0: 80 Eb,Ib */ {I(Mn::add, F::Eb_Ib, kSz | kLk), I(Mn::or_, F::Eb_Ib, kSz | kLk), I(Mn::adc, F::Eb_Ib, kSz | kLk),
                        I(Mn::sbb, F::Eb_Ib, kSz | kLk), I(Mn::and_, F::Eb_Ib, kSz | kLk), I(Mn::sub, F::Eb_Ib, kSz | kLk),
                        I(Mn::xor_, F::Eb_Ib, kSz | kLk), I(Mn::cmp, F::Eb_Ib, kSz)},
    /*  1: 81 Ev,Iz */ {I(Mn::add, F::Ev_Iz, kSz | kLk), I(Mn::or_, F::Ev_Iz, kSz | kLk), I(Mn::adc, F::Ev_Iz, kSz | kLk),
                        I(Mn::sbb, F::Ev_Iz, kSz | kLk), I(Mn::and_, F::Ev_Iz, kSz | kLk), I(Mn::sub, F::Ev_Iz, kSz | kLk),
                        I(Mn::xor_, F::Ev_Iz, kSz | kLk), I(Mn::cmp, F::Ev_Iz, kSz)},
    /*  2: 82 Eb,Ib */ {L(Mn::add, F::Eb_Ib, kSz | kLk), L(Mn::or_, F::Eb_Ib, kSz | kLk), L(Mn::adc, F::Eb_Ib, kSz | kLk),
                        L(Mn::sbb, F::Eb_Ib, kSz | kLk), L(Mn::and_, F::Eb_Ib, kSz | kLk), L(Mn::sub, F::Eb_Ib, kSz | kLk),
                        L(Mn::xor_, F::Eb_Ib, kSz | kLk), L(Mn::cmp, F::Eb_Ib, kSz)},
    /*  3: 83 Ev,Ib */ {I(Mn::add, F::Ev_Ib, kSz | kLk), I(Mn::or_, F::Ev_Ib, kSz | kLk), I(Mn::adc, F::Ev_Ib, kSz | kLk),
                        I(Mn::sbb, F::Ev_Ib, kSz | kLk), I(Mn::and_, F::Ev_Ib, kSz | kLk), I(Mn::sub, F::Ev_Ib, kSz | kLk),
                        I(Mn::xor_, F::Ev_Ib, kSz | kLk), I(Mn::cmp, F::Ev_Ib, kSz)},
    /*  4: 8F */       {I(Mn::pop, F::Ev, kSz | kDefault64), kUD, kUD, kUD, kUD, kUD, kUD, kUD},
    /*  5: C0 Eb,Ib */ {I(Mn::rol, F::Eb_Ib, kSz), I(Mn::ror, F::Eb_Ib, kSz), I(Mn::rcl, F::Eb_Ib, kSz),
                        I(Mn::rcr, F::Eb_Ib, kSz), I(Mn::shl, F::Eb_Ib, kSz), I(Mn::shr, F::Eb_Ib, kSz),
                        I(Mn::sal, F::Eb_Ib, kSz), I(Mn::sar, F::Eb_Ib, kSz)},
    /*  6: C1 Ev,Ib */ {I(Mn::rol, F::Ev_Ib, kSz), I(Mn::ror, F::Ev_Ib, kSz), I(Mn::rcl, F::Ev_Ib, kSz),
                        I(Mn::rcr, F::Ev_Ib, kSz), I(Mn::shl, F::Ev_Ib, kSz), I(Mn::shr, F::Ev_Ib, kSz),
                        I(Mn::sal, F::Ev_Ib, kSz), I(Mn::sar, F::Ev_Ib, kSz)},
    /*  7: C6 */       {I(Mn::mov, F::Eb_Ib, kSz), kUD, kUD, kUD, kUD, kUD, kUD, kUD},
    /*  8: C7 */       {I(Mn::mov, F::Ev_Iz, kSz), kUD, kUD, kUD, kUD, kUD, kUD, kUD},
    /*  9: D0 Eb,1 */  {I(Mn::rol, F::Eb_1, kSz), I(Mn::ror, F::Eb_1, kSz), I(Mn::rcl, F::Eb_1, kSz),
                        I(Mn::rcr, F::Eb_1, kSz), I(Mn::shl, F::Eb_1, kSz), I(Mn::shr, F::Eb_1, kSz),
                        I(Mn::sal, F::Eb_1, kSz), I(Mn::sar, F::Eb_1, kSz)},
    /* 10: D1 Ev,1 */  {I(Mn::rol, F::Ev_1, kSz), I(Mn::ror, F::Ev_1, kSz), I(Mn::rcl, F::Ev_1, kSz),
                        I(Mn::rcr, F::Ev_1, kSz), I(Mn::shl, F::Ev_1, kSz), I(Mn::shr, F::Ev_1, kSz),
                        I(Mn::sal, F::Ev_1, kSz), I(Mn::sar, F::Ev_1, kSz)},
    /* 11: D2 Eb,cl */ {I(Mn::rol, F::Eb_CL, kSz), I(Mn::ror, F::Eb_CL, kSz), I(Mn::rcl, F::Eb_CL, kSz),
                        I(Mn::rcr, F::Eb_CL, kSz), I(Mn::shl, F::Eb_CL, kSz), I(Mn::shr, F::Eb_CL, kSz),
                        I(Mn::sal, F::Eb_CL, kSz), I(Mn::sar, F::Eb_CL, kSz)},
    /* 12: D3 Ev,cl */ {I(Mn::rol, F::Ev_CL, kSz), I(Mn::ror, F::Ev_CL, kSz), I(Mn::rcl, F::Ev_CL, kSz),
                        I(Mn::rcr, F::Ev_CL, kSz), I(Mn::shl, F::Ev_CL, kSz), I(Mn::shr, F::Ev_CL, kSz),
                        I(Mn::sal, F::Ev_CL, kSz), I(Mn::sar, F::Ev_CL, kSz)},
    /* 13: F6 */       {I(Mn::test, F::Eb_Ib, kSz), I(Mn::test, F::Eb_Ib, kSz), I(Mn::not_, F::Eb, kSz | kLk),
                        I(Mn::neg, F::Eb, kSz | kLk), I(Mn::mul, F::Eb, kSz), I(Mn::imul, F::Eb, kSz),
                        I(Mn::div, F::Eb, kSz), I(Mn::idiv, F::Eb, kSz)},
    /* 14: F7 */       {I(Mn::test, F::Ev_Iz, kSz), I(Mn::test, F::Ev_Iz, kSz), I(Mn::not_, F::Ev, kSz | kLk),
                        I(Mn::neg, F::Ev, kSz | kLk), I(Mn::mul, F::Ev, kSz), I(Mn::imul, F::Ev, kSz),
                        I(Mn::div, F::Ev, kSz), I(Mn::idiv, F::Ev, kSz)},
    /* 15: FE */       {I(Mn::inc, F::Eb, kSz | kLk), I(Mn::dec, F::Eb, kSz | kLk), kUD, kUD, kUD, kUD, kUD, kUD},
    /* 16: 0F BA */    {kUD, kUD, kUD, kUD, I(Mn::bt, F::Ev_Ib, kSz), I(Mn::bts, F::Ev_Ib, kSz | kLk),
                        I(Mn::btr, F::Ev_Ib, kSz | kLk), I(Mn::btc, F::Ev_Ib, kSz | kLk)},
    /* 17 */           {kUD, kUD, kUD, kUD, kUD, kUD, kUD, kUD},
    /* 18: FF */       {I(Mn::inc, F::Ev, kSz | kLk), I(Mn::dec, F::Ev, kSz | kLk), I(Mn::call, F::Ev, kSz | kForce64),
                        I(Mn::callf, F::Ep, kSz), I(Mn::jmp, F::Ev, kSz | kForce64), I(Mn::jmpf, F::Ep, kSz),
                        I(Mn::push, F::Ev, kSz | kDefault64), kUD},
    /* 19: FF mod 3 */ {I(Mn::inc, F::Ev, kSz | kLk), I(Mn::dec, F::Ev, kSz | kLk), I(Mn::call, F::Ev, kSz | kForce64),
                        kUD, I(Mn::jmp, F::Ev, kSz | kForce64), kUD, I(Mn::push, F::Ev, kSz | kDefault64), kUD},
    /* 20: 0F 00 */    {I(Mn::sldt, F::Mw), I(Mn::str, F::Mw), I(Mn::lldt, F::Ew), I(Mn::ltr, F::Ew),
                        I(Mn::verr, F::Ew), I(Mn::verw, F::Ew), kUD, kUD},
    /* 21: mod 3 */    {I(Mn::sldt, F::Rv), I(Mn::str, F::Rv), I(Mn::lldt, F::Ew), I(Mn::ltr, F::Ew),
                        I(Mn::verr, F::Ew), I(Mn::verw, F::Ew), kUD, kUD},
    /* 22: 0F 01 */    {I(Mn::sgdt, F::Ms), I(Mn::sidt, F::Ms), I(Mn::lgdt, F::Ms), I(Mn::lidt, F::Ms),
                        I(Mn::smsw, F::Mw), kUD, I(Mn::lmsw, F::Ew), I(Mn::invlpg, F::Mb)},
    /* 23: mod 3 */    {kSpecial, kSpecial, kSpecial, kSpecial, I(Mn::smsw, F::Rv), kUD, I(Mn::lmsw, F::Ew), kSpecial},
    /* 24: 0F 18 */    {I(Mn::prefetchnta, F::Mb), I(Mn::prefetcht0, F::Mb), I(Mn::prefetcht1, F::Mb),
                        I(Mn::prefetcht2, F::Mb), I(Mn::nop, F::Ev), I(Mn::nop, F::Ev), I(Mn::nop, F::Ev),
                        I(Mn::nop, F::Ev)},
    /* 25: mod 3 */    {kUD, kUD, kUD, kUD, kUD, kUD, kUD, kUD},
    /* 26: 0F AE */    {I(Mn::fxsave, F::M), I(Mn::fxrstor, F::M), I(Mn::ldmxcsr, F::Md), I(Mn::stmxcsr, F::Md),
                        I(Mn::xsave, F::M), I(Mn::xrstor, F::M), kUD, I(Mn::clflush, F::Mb)},
    /* 27: mod 3 */    {kUD, kUD, kUD, kUD, kUD, I(Mn::lfence), I(Mn::mfence), I(Mn::sfence)},
    /* 28: 0F C7 */    {kVector, kSpecial, kVector, kVector, kVector, kVector, kVector, kVector},
    /* 29: mod 3 */    {kVector, kVector, kVector, kVector, kVector, kVector, kSpecial, kSpecial},   // rdrand, rdseed Rv
};

// x87: rows 0-15 are D8-DF, a memory row (by reg) then a register row (by reg); rows 16-24 name an
// operation per rm.
constexpr uint32_t kFpuTable[kFpuRows][8] = {
    /*  0: D8 mem */ {I(Mn::fadd, F::Md, kSz), I(Mn::fmul, F::Md, kSz), I(Mn::fcom, F::Md, kSz), I(Mn::fcomp, F::Md, kSz),
                      I(Mn::fsub, F::Md, kSz), I(Mn::fsubr, F::Md, kSz), I(Mn::fdiv, F::Md, kSz), I(Mn::fdivr, F::Md, kSz)},
    /*  1: D8 reg */ {I(Mn::fadd, F::ST0_STi), I(Mn::fmul, F::ST0_STi), I(Mn::fcom, F::STi), I(Mn::fcomp, F::STi),
                      I(Mn::fsub, F::ST0_STi), I(Mn::fsubr, F::ST0_STi), I(Mn::fdiv, F::ST0_STi), I(Mn::fdivr, F::ST0_STi)},
    /*  2: D9 mem */ {I(Mn::fld, F::Md, kSz), kUD, I(Mn::fst, F::Md, kSz), I(Mn::fstp, F::Md, kSz),
                      I(Mn::fldenv, F::M, kSz), I(Mn::fldcw, F::Mw, kSz), Wait(spFnstenv), Wait(spFnstcw)},
    /*  3: D9 reg */ {I(Mn::fld, F::STi), I(Mn::fxch, F::STi), Fpu(16), I(Mn::fstp1, F::STi),
                      Fpu(17), Fpu(18), Fpu(19), Fpu(20)},
    /*  4: DA mem */ {I(Mn::fiadd, F::Md, kSz), I(Mn::fimul, F::Md, kSz), I(Mn::ficom, F::Md, kSz), I(Mn::ficomp, F::Md, kSz),
                      I(Mn::fisub, F::Md, kSz), I(Mn::fisubr, F::Md, kSz), I(Mn::fidiv, F::Md, kSz), I(Mn::fidivr, F::Md, kSz)},
    /*  5: DA reg */ {I(Mn::fcmovb, F::ST0_STi), I(Mn::fcmove, F::ST0_STi), I(Mn::fcmovbe, F::ST0_STi),
                      I(Mn::fcmovu, F::ST0_STi), kUD, Fpu(21), kUD, kUD},
    /*  6: DB mem */ {I(Mn::fild, F::Md, kSz), I(Mn::fisttp, F::Md, kSz), I(Mn::fist, F::Md, kSz), I(Mn::fistp, F::Md, kSz),
                      kUD, I(Mn::fld, F::Mt, kSz), kUD, I(Mn::fstp, F::Mt, kSz)},
    /*  7: DB reg */ {I(Mn::fcmovnb, F::ST0_STi), I(Mn::fcmovne, F::ST0_STi), I(Mn::fcmovnbe, F::ST0_STi),
                      I(Mn::fcmovnu, F::ST0_STi), Fpu(22), I(Mn::fucomi, F::ST0_STi), I(Mn::fcomi, F::ST0_STi), kUD},
    /*  8: DC mem */ {I(Mn::fadd, F::Mq, kSz), I(Mn::fmul, F::Mq, kSz), I(Mn::fcom, F::Mq, kSz), I(Mn::fcomp, F::Mq, kSz),
                      I(Mn::fsub, F::Mq, kSz), I(Mn::fsubr, F::Mq, kSz), I(Mn::fdiv, F::Mq, kSz), I(Mn::fdivr, F::Mq, kSz)},
    /*  9: DC reg */ {I(Mn::fadd, F::STi_ST0), I(Mn::fmul, F::STi_ST0), I(Mn::fcom2, F::STi), I(Mn::fcomp3, F::STi),
                      I(Mn::fsubr, F::STi_ST0), I(Mn::fsub, F::STi_ST0), I(Mn::fdivr, F::STi_ST0), I(Mn::fdiv, F::STi_ST0)},
    /* 10: DD mem */ {I(Mn::fld, F::Mq, kSz), I(Mn::fisttp, F::Mq, kSz), I(Mn::fst, F::Mq, kSz), I(Mn::fstp, F::Mq, kSz),
                      I(Mn::frstor, F::M, kSz), kUD, Wait(spFnsave), Wait(spFnstswM)},
    /* 11: DD reg */ {I(Mn::ffree, F::STi), I(Mn::fxch4, F::STi), I(Mn::fst, F::STi), I(Mn::fstp, F::STi),
                      I(Mn::fucom, F::STi), I(Mn::fucomp, F::STi), kUD, kUD},
    /* 12: DE mem */ {I(Mn::fiadd, F::Mw, kSz), I(Mn::fimul, F::Mw, kSz), I(Mn::ficom, F::Mw, kSz), I(Mn::ficomp, F::Mw, kSz),
                      I(Mn::fisub, F::Mw, kSz), I(Mn::fisubr, F::Mw, kSz), I(Mn::fidiv, F::Mw, kSz), I(Mn::fidivr, F::Mw, kSz)},
    /* 13: DE reg */ {I(Mn::faddp, F::STi_ST0), I(Mn::fmulp, F::STi_ST0), I(Mn::fcomp5, F::STi), Fpu(23),
                      I(Mn::fsubrp, F::STi_ST0), I(Mn::fsubp, F::STi_ST0), I(Mn::fdivrp, F::STi_ST0), I(Mn::fdivp, F::STi_ST0)},
    /* 14: DF mem */ {I(Mn::fild, F::Mw, kSz), I(Mn::fisttp, F::Mw, kSz), I(Mn::fist, F::Mw, kSz), I(Mn::fistp, F::Mw, kSz),
                      I(Mn::fbld, F::Mt, kSz), I(Mn::fild, F::Mq, kSz), I(Mn::fbstp, F::Mt, kSz), I(Mn::fistp, F::Mq, kSz)},
    /* 15: DF reg */ {I(Mn::ffreep, F::STi), I(Mn::fxch7, F::STi), I(Mn::fstp8, F::STi), I(Mn::fstp9, F::STi),
                      Fpu(24), I(Mn::fucomip, F::ST0_STi), I(Mn::fcomip, F::ST0_STi), kUD},
    /* 16: D9 D0 */  {I(Mn::fnop), kUD, kUD, kUD, kUD, kUD, kUD, kUD},
    /* 17: D9 E0 */  {I(Mn::fchs), I(Mn::fabs), kUD, kUD, I(Mn::ftst), I(Mn::fxam), kUD, kUD},
    /* 18: D9 E8 */  {I(Mn::fld1), I(Mn::fldl2t), I(Mn::fldl2e), I(Mn::fldpi), I(Mn::fldlg2), I(Mn::fldln2), I(Mn::fldz), kUD},
    /* 19: D9 F0 */  {I(Mn::f2xm1), I(Mn::fyl2x), I(Mn::fptan), I(Mn::fpatan), I(Mn::fxtract), I(Mn::fprem1),
                      I(Mn::fdecstp), I(Mn::fincstp)},
    /* 20: D9 F8 */  {I(Mn::fprem), I(Mn::fyl2xp1), I(Mn::fsqrt), I(Mn::fsincos), I(Mn::frndint), I(Mn::fscale),
                      I(Mn::fsin), I(Mn::fcos)},
    /* 21: DA E8 */  {kUD, I(Mn::fucompp), kUD, kUD, kUD, kUD, kUD, kUD},
    /* 22: DB E0 */  {I(Mn::fneni), I(Mn::fndisi), Wait(spFnclex), Wait(spFninit), kUD, kUD, kUD, kUD},
    /* 23: DE D8 */  {kUD, I(Mn::fcompp), kUD, kUD, kUD, kUD, kUD, kUD},
    /* 24: DF E0 */  {Wait(spFnstswAX), kUD, kUD, kUD, kUD, kUD, kUD, kUD},
};

// Special rows; each names its own row so the order is checked.
struct SpecialRow {
    uint8_t row;
    uint32_t word;
};
constexpr SpecialRow kSpecialRows[spCount] = {
    {spPusha, L(Mn::pusha)},
    {spPushad, L(Mn::pushad)},
    {spPopa, L(Mn::popa)},
    {spPopad, L(Mn::popad)},
    {spArpl, L(Mn::arpl, F::Ew_Gw)},
    {spMovsxd, W(Mn::movsxd, F::Gv_Ed, kForce64)},
    {spInsw, I(Mn::insw, F::Str)},
    {spInsd, I(Mn::insd, F::Str)},
    {spOutsw, I(Mn::outsw, F::Str)},
    {spOutsd, I(Mn::outsd, F::Str)},
    {spNop, I(Mn::nop)},
    {spPause, I(Mn::pause)},
    {spXchg, I(Mn::xchg, F::Zv_rAX)},
    {spCbw, I(Mn::cbw)},
    {spCwde, I(Mn::cwde)},
    {spCdqe, W(Mn::cdqe)},
    {spCwd, I(Mn::cwd)},
    {spCdq, I(Mn::cdq)},
    {spCqo, W(Mn::cqo)},
    {spPushf, I(Mn::pushf)},
    {spPushfd, L(Mn::pushfd)},
    {spPushfq, W(Mn::pushfq, F::None, kDefault64)},
    {spPopf, I(Mn::popf)},
    {spPopfd, L(Mn::popfd)},
    {spPopfq, W(Mn::popfq, F::None, kDefault64)},
    {spMovsw, I(Mn::movsw, F::Str)},
    {spMovsd, I(Mn::movsd, F::Str)},
    {spMovsq, W(Mn::movsq, F::Str)},
    {spCmpsw, I(Mn::cmpsw, F::Str)},
    {spCmpsd, I(Mn::cmpsd, F::Str)},
    {spCmpsq, W(Mn::cmpsq, F::Str)},
    {spStosw, I(Mn::stosw, F::Str)},
    {spStosd, I(Mn::stosd, F::Str)},
    {spStosq, W(Mn::stosq, F::Str)},
    {spLodsw, I(Mn::lodsw, F::Str)},
    {spLodsd, I(Mn::lodsd, F::Str)},
    {spLodsq, W(Mn::lodsq, F::Str)},
    {spScasw, I(Mn::scasw, F::Str)},
    {spScasd, I(Mn::scasd, F::Str)},
    {spScasq, W(Mn::scasq, F::Str)},
    {spIret, I(Mn::iret)},
    {spIretd, I(Mn::iretd)},
    {spIretq, W(Mn::iretq)},
    {spJcxz, L(Mn::jcxz, F::Jb)},
    {spJecxz, I(Mn::jecxz, F::Jb)},
    {spJrcxz, W(Mn::jrcxz, F::Jb)},
    {spXlat, I(Mn::xlat)},
    {spXlatb, I(Mn::xlatb)},
    {spInt, I(Mn::int_, F::IbU)},
    {spVxdcall, L(Mn::vxdcall, F::Words)},
    {spVxdjmp, L(Mn::vxdjmp, F::Words)},
    {spVmmcall, L(Mn::vmmcall, F::Words)},
    {spVmmjmp, L(Mn::vmmjmp, F::Words)},
    {spVmcall, I(Mn::vmcall)},
    {spVmlaunch, I(Mn::vmlaunch)},
    {spVmresume, I(Mn::vmresume)},
    {spVmxoff, I(Mn::vmxoff)},
    {spMonitor, I(Mn::monitor)},
    {spMwait, I(Mn::mwait)},
    {spXgetbv, I(Mn::xgetbv)},
    {spXsetbv, I(Mn::xsetbv)},
    {spVmrun, I(Mn::vmrun)},
    {spVmmcall01, I(Mn::vmmcall)},
    {spVmload, I(Mn::vmload)},
    {spVmsave, I(Mn::vmsave)},
    {spStgi, I(Mn::stgi)},
    {spClgi, I(Mn::clgi)},
    {spSkinit, I(Mn::skinit)},
    {spInvlpga, I(Mn::invlpga)},
    {spSwapgs, W(Mn::swapgs)},
    {spRdtscp, I(Mn::rdtscp)},
    {spUD, kUD},
    {spFnstenv, I(Mn::fnstenv, F::M, kSz)},
    {spFstenv, I(Mn::fstenv, F::M, kSz)},
    {spFnstcw, I(Mn::fnstcw, F::Mw, kSz)},
    {spFstcw, I(Mn::fstcw, F::Mw, kSz)},
    {spFnsave, I(Mn::fnsave, F::M, kSz)},
    {spFsave, I(Mn::fsave, F::M, kSz)},
    {spFnstswM, I(Mn::fnstsw, F::Mw, kSz)},
    {spFstswM, I(Mn::fstsw, F::Mw, kSz)},
    {spFnclex, I(Mn::fnclex)},
    {spFclex, I(Mn::fclex)},
    {spFninit, I(Mn::fninit)},
    {spFinit, I(Mn::finit)},
    {spFnstswAX, I(Mn::fnstsw, F::AXfpu)},
    {spFstswAX, I(Mn::fstsw, F::AXfpu)},
    {spCmpxchg8b, I(Mn::cmpxchg8b, F::Mq, kLk)},
    {spCmpxchg16b, W(Mn::cmpxchg16b, F::Mdq, kLk)},
    {spPopcnt, I(Mn::popcnt, F::Gv_Ev)},
    {spRdrand, I(Mn::rdrand, F::Rv)},
    {spRdseed, I(Mn::rdseed, F::Rv)},
};
constexpr bool SpecialRowsInOrder() {
    for (unsigned i = 0; i < spCount; ++i)
        if (kSpecialRows[i].row != i)
            return false;
    return true;
}
static_assert(SpecialRowsInOrder(), "special table: row missing or out of order");

constexpr SpecialTable BuildSpecialTable() {
    SpecialTable t{};
    for (unsigned i = 0; i < spCount; ++i)
        t.words[i] = kSpecialRows[i].word;
    return t;
}
constexpr SpecialTable kSpecialTable = BuildSpecialTable();

// 0F 01 with mod 3: {row, opcode, reg, rm}.
constexpr ModrmFormRow kModrmFormTable[kModrmForms] = {
    {spVmcall, 0x01, 0, 1},   {spVmlaunch, 0x01, 0, 2}, {spVmresume, 0x01, 0, 3}, {spVmxoff, 0x01, 0, 4},   // C1-C4
    {spMonitor, 0x01, 1, 0},  {spMwait, 0x01, 1, 1},                                                       // C8 C9
    {spXgetbv, 0x01, 2, 0},   {spXsetbv, 0x01, 2, 1},                                                      // D0 D1
    {spVmrun, 0x01, 3, 0},    {spVmmcall01, 0x01, 3, 1}, {spVmload, 0x01, 3, 2},  {spVmsave, 0x01, 3, 3},  // D8-DB
    {spStgi, 0x01, 3, 4},     {spClgi, 0x01, 3, 5},     {spSkinit, 0x01, 3, 6},   {spInvlpga, 0x01, 3, 7}, // DC-DF
    {spSwapgs, 0x01, 7, 0},   {spRdtscp, 0x01, 7, 1},                                                      // F8 F9
};

// 3DNow! suffixes; unnamed ones stay "#3D".
struct Suffix {
    uint8_t byte;
    Mn mn;
};
constexpr Suffix k3DNowSuffixes[] = {
    {0x0C, Mn::pi2fw},   {0x0D, Mn::pi2fd},    {0x1C, Mn::pf2iw},    {0x1D, Mn::pf2id},    {0x8A, Mn::pfnacc},
    {0x8E, Mn::pfpnacc}, {0x90, Mn::pfcmpge},  {0x94, Mn::pfmin},    {0x96, Mn::pfrcp},    {0x97, Mn::pfrsqrt},
    {0x9A, Mn::pfsub},   {0x9E, Mn::pfadd},    {0xA0, Mn::pfcmpgt},  {0xA4, Mn::pfmax},    {0xA6, Mn::pfrcpit1},
    {0xA7, Mn::pfrsqit1}, {0xAA, Mn::pfsubr},  {0xAE, Mn::pfacc},    {0xB0, Mn::pfcmpeq},  {0xB4, Mn::pfmul},
    {0xB6, Mn::pfrcpit2}, {0xB7, Mn::pmulhrw}, {0xBB, Mn::pswapd},   {0xBF, Mn::pavgusb},
};
constexpr SuffixTable Build3DNow() {
    SuffixTable t{};
    for (unsigned i = 0; i < 256; ++i)
        t.mn[i] = static_cast<uint16_t>(Mn::T3D);
    for (const Suffix& s : k3DNowSuffixes)
        t.mn[s.byte] = static_cast<uint16_t>(s.mn);
    return t;
}
constexpr SuffixTable k3DNowTable = Build3DNow();
constexpr bool SuffixesIncreasing() {
    for (unsigned i = 1; i < sizeof k3DNowSuffixes / sizeof k3DNowSuffixes[0]; ++i)
        if (k3DNowSuffixes[i - 1].byte >= k3DNowSuffixes[i].byte)
            return false;
    return true;
}
static_assert(SuffixesIncreasing(), "3DNow! suffixes: out of order or repeated");


constexpr bool GroupsSound() {
    for (const auto& row : kGroupTable)
        for (uint32_t w : row)
            if (!WordSound(w) || WordMnemonic(w) == kEscGroup)
                return false;
    for (const auto& row : kFpuTable)
        for (uint32_t w : row)
            if (!WordSound(w))
                return false;
    for (const SpecialRow& r : kSpecialRows)
        if (WordMnemonic(r.word) >= kEscGroup)
            return false;
    return true;
}
static_assert(GroupsSound(), "group, FPU or special table: word names a row that does not exist");

}  // namespace ia32
