// The differential test's own parts: reading both spellings, the normalisation, the listing parser
// and the executable readers. A fault here would hide decoder bugs or invent them.
#include <gtest/gtest.h>

#include <cstring>

#include "bench/decode/CodeCorpus.h"
#include "tests/decode/diff/InsnForm.h"
#include "tests/decode/diff/Objdump.h"

namespace {

std::vector<uint8_t> Bytes(const char* hex) {
    std::vector<uint8_t> out;
    for (const char* p = hex; *p;) {
        if (*p == ' ') {
            ++p;
            continue;
        }
        out.push_back(uint8_t(std::strtoul(std::string(p, 2).c_str(), nullptr, 16)));
        p += 2;
    }
    return out;
}

struct FormRow {
    uint8_t bitness;
    const char* bytes;
    const char* ours;
    const char* objdump;
    const char* field;                   // first differing field, "" when they agree
};

const FormRow kFormRows[] = {
    {32, "8B 45 F8", "mov          eax,[ebp][-8]", "mov    eax,DWORD PTR [ebp-0x8]", ""},
    {32, "8B 45 10", "mov          eax,[ebp][10]", "mov    eax,DWORD PTR [ebp+0x10]", ""},
    {32, "8B 45 10", "mov          eax,[ebp][16]", "mov    eax,DWORD PTR [ebp+0x10]", "displacement"},
    {32, "C7 45 FC 01 00 00 00", "mov          d,[ebp][-4],1", "mov    DWORD PTR [ebp-0x4],0x1", ""},
    {32, "C7 45 FC 01 00 00 00", "mov          w,[ebp][-4],1", "mov    DWORD PTR [ebp-0x4],0x1",
     "memory size"},
    {32, "64 A1 30 00 00 00", "mov          eax,fs:[00000030]", "mov    eax,fs:0x30", ""},
    {32, "A1 30 00 00 00", "mov          eax,[00000030]", "mov    eax,ds:0x30", ""},
    {32, "6A FF", "push         -1", "push   0xffffffff", ""},
    {32, "6A 80", "push         080", "push   0xffffff80", ""},
    {32, "6A 7F", "push         7F", "push   0x7f", ""},
    {32, "6A 7F", "push         7F", "push   0xffffff7f", "immediate"},
    {32, "B0 C8", "mov          al,0C8", "mov    al,0xc8", ""},
    {32, "8B 04 8D 10 00 00 00", "mov          eax,[ecx]*4[00000010]", "mov    eax,DWORD PTR [ecx*4+0x10]", ""},
    {32, "8B 04 08", "mov          eax,[eax][ecx]", "mov    eax,DWORD PTR [eax+ecx*1]", ""},
    {32, "8B 04 88", "mov          eax,[eax][ecx]*4", "mov    eax,DWORD PTR [eax+ecx*1]", "memory registers"},
    {32, "8B 04 20", "mov          eax,[eax]", "mov    eax,DWORD PTR [eax+eiz*1]", ""},
    {16, "8B 42 FE", "mov          ax,[bp][si][-2]", "mov    ax,WORD PTR [bp+si-0x2]", ""},
    {16, "8B 06 34 12", "mov          ax,[1234]", "mov    ax,WORD PTR ds:0x1234", ""},
    {32, "F3 A4", "rep movsb", "rep movs BYTE PTR es:[edi],BYTE PTR ds:[esi]", ""},
    {32, "F2 A6", "repne cmpsb", "repnz cmps BYTE PTR ds:[esi],BYTE PTR es:[edi]", ""},
    {32, "66 AD", "lodsw", "lods   ax,WORD PTR ds:[esi]", ""},
    {32, "A5", "movsw", "movs   DWORD PTR es:[edi],DWORD PTR ds:[esi]", "mnemonic"},
    {32, "F3 C3", "retn", "repz ret", ""},
    {32, "9C", "pushfd", "pushf", ""},
    {32, "66 9C", "pushf", "pushfw", ""},
    {32, "9C", "pushf", "pushf", "mnemonic"},
    {64, "9C", "pushfq", "pushf", ""},
    {32, "CC", "int          3", "int3", ""},
    {32, "F1", "#ICE1", "int1", ""},
    {32, "74 00", "jz           00000002", "je     0x2", ""},
    {32, "EB FE", "jmps         00000000", "jmp    0x0", ""},
    {32, "EB FE", "jmps         00000002", "jmp    0x0", "target"},
    {32, "66 E9 00 00", "jmp          00000004", "jmpw   0x4", ""},
    {32, "9A 11 22 33 44 55 66", "callf        06655:044332211", "call   0x6655:0x44332211", ""},
    {32, "FF 18", "callf        f,[eax]", "call   FWORD PTR [eax]", ""},
    {32, "66 90", "nop", "xchg   ax,ax", ""},
    {64, "41 90", "xchg         r8d,eax", "xchg   r8d,eax", ""},
    {64, "48 8B 05 10 00 00 00", "mov          rax,[0000000000000017]",
     "mov    rax,QWORD PTR [rip+0x10]        # 0x17", ""},
    {64, "48 8B 05 10 00 00 00", "mov          rax,[0000000000000010]",
     "mov    rax,QWORD PTR [rip+0x10]        # 0x17", "displacement"},
    {64, "3E 8B 00", "mov          eax,ds:[rax]", "ds mov eax,DWORD PTR [rax]", "segment"},
    {32, "D8 C1", "fadd         st(0),st(1)", "fadd   st,st(1)", ""},
    {32, "DB E0", "fneni", "fneni(8087 only)", ""},
    {32, "D6", "setalc", "(bad)", "validity: objdump invalid"},
    {32, "0F 10 C0", "#UD(32)", "movups xmm0,xmm0", "validity: ours invalid"},
    {32, "0F FF", "#UD(32)", "(bad)", ""},
    {64, "40 40 90", "#UD(64)", "rex", "objdump lists a prefix alone"},
    {32, "F0 01 00", "lock add     d,[eax],eax", "lock add DWORD PTR [eax],eax", ""},
    {32, "F0 01 00", "add          [eax],eax", "lock add DWORD PTR [eax],eax", "prefix"},
    {32, "D5 0A", "aad", "aad    0xa", "operand count"},
    {32, "8B C1", "mov          eax,ecx", "mov    eax,ecx", ""},
    {32, "8B C1", "mov          eax,edx", "mov    eax,ecx", "register"},
    {32, "C8 08 00 01", "enter        0008,1", "enter  0x8,0x1", ""},
    {32, "D7", "xlat", "xlat   BYTE PTR ds:[ebx]", ""},
};

TEST(InsnForms, NormalisedComparison) {
    for (const FormRow& row : kFormRows) {
        const std::vector<uint8_t> bytes = Bytes(row.bytes);
        const ByteFacts facts = ReadByteFacts(bytes.data(), bytes.size(), row.bitness);
        const InsnForm ours = ParseOwnText(row.ours, facts);
        const InsnForm theirs = ParseObjdumpText(row.objdump, facts);
        const unsigned length = unsigned(bytes.size());
        const FormDifference d = CompareForms(ours, length, theirs, length, facts);
        EXPECT_EQ(d.field, row.field) << row.bytes << ": " << row.ours << " | " << row.objdump << " | "
                                      << d.detail;
    }
}

TEST(InsnForms, ByteFacts) {
    const std::vector<uint8_t> b = Bytes("66 F0 48 0F 38 00 C1");
    const ByteFacts f = ReadByteFacts(b.data(), b.size(), 64);
    EXPECT_EQ(f.prefixes, (std::vector<uint8_t>{0x66, 0xF0}));
    EXPECT_EQ(f.rex, 0x48);
    EXPECT_EQ(f.prefixLength, 3u);
    EXPECT_EQ(f.map, 0x38);
    EXPECT_EQ(f.opcode, 0x00);
    EXPECT_EQ(f.modrm, 0xC1);
    EXPECT_EQ(f.Key(), "0F 38 00 /0 r");
    // A REX followed by a legacy prefix no longer counts.
    const std::vector<uint8_t> c = Bytes("48 66 90");
    EXPECT_EQ(ReadByteFacts(c.data(), c.size(), 64).rex, 0);
    // Outside 64-bit mode 40-4F are opcodes.
    const std::vector<uint8_t> d = Bytes("48 90");
    EXPECT_EQ(ReadByteFacts(d.data(), d.size(), 32).opcode, 0x48);
}

TEST(InsnForms, ListingLines) {
    ObjdumpLine line;
    ASSERT_TRUE(ParseObjdumpLine("  1f:\t7f c4                \tjg     0xffffffe5\n", line));
    EXPECT_EQ(line.address, 0x1Fu);
    EXPECT_EQ(line.length, 2u);
    EXPECT_EQ(line.text, "jg     0xffffffe5");
    ASSERT_TRUE(ParseObjdumpLine("  b7:\t0f                   \t.byte 0xf\n", line));
    EXPECT_EQ(line.length, 1u);
    EXPECT_FALSE(ParseObjdumpLine("00000000 <.data>:\n", line));
    EXPECT_FALSE(ParseObjdumpLine("Disassembly of section .data:\n", line));
    EXPECT_FALSE(ParseObjdumpLine("\n", line));
}

// A minimal PE32 image with one .text section of four bytes.
std::vector<uint8_t> TinyPe() {
    std::vector<uint8_t> img(0x200, 0);
    auto put = [&](size_t at, uint64_t v, unsigned n) {
        for (unsigned i = 0; i < n; ++i)
            img[at + i] = uint8_t(v >> (8 * i));
    };
    img[0] = 'M', img[1] = 'Z';
    put(0x3C, 0x40, 4);
    put(0x40, 0x00004550, 4);
    put(0x46, 1, 2);                     // one section
    put(0x54, 0xE0, 2);                  // optional header size
    put(0x58, 0x10B, 2);
    put(0x58 + 28, 0x400000, 4);         // image base
    const size_t sec = 0x58 + 0xE0;
    std::memcpy(&img[sec], ".text", 5);
    put(sec + 8, 4, 4);                  // virtual size
    put(sec + 12, 0x1000, 4);
    put(sec + 16, 0x10, 4);              // raw size
    put(sec + 20, 0x180, 4);
    put(sec + 36, 0x60000020, 4);
    put(0x180, 0xC3C3C390, 4);
    return img;
}

TEST(CodeCorpus, ReadsPeText) {
    std::vector<CodeSection> out;
    std::string error;
    ASSERT_TRUE(ParseCodeSections(TinyPe(), "tiny", out, error)) << error;
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].address, 0x401000u);
    EXPECT_EQ(out[0].bitness, 32);
    EXPECT_EQ(out[0].bytes, (std::vector<uint8_t>{0x90, 0xC3, 0xC3, 0xC3}));
}

TEST(CodeCorpus, DamagedImagesGiveErrors) {
    struct Damage {
        const char* what;
        size_t at;
        uint32_t value;
        unsigned size;
    };
    const Damage kDamage[] = {
        {"PE offset past the end", 0x3C, 0xFFFFFFF0, 4},
        {"no PE signature", 0x40, 0x12345678, 4},
        {"unknown optional magic", 0x58, 0x999, 2},
        {"section count past the end", 0x46, 0xFFFF, 2},
        {"raw data past the end", 0x58 + 0xE0 + 20, 0x7FFFFFF0, 4},
        {"raw size past the end", 0x58 + 0xE0 + 8, 0xFFFFFFFF, 4},
    };
    for (const Damage& d : kDamage) {
        std::vector<uint8_t> img = TinyPe();
        for (unsigned i = 0; i < d.size; ++i)
            img[d.at + i] = uint8_t(d.value >> (8 * i));
        if (d.at == 0x58 + 0xE0 + 8)     // a raw size that runs past the file
            for (unsigned i = 0; i < 4; ++i)
                img[0x58 + 0xE0 + 16 + i] = 0xFF;
        std::vector<CodeSection> out;
        std::string error;
        EXPECT_FALSE(ParseCodeSections(img, "bad", out, error)) << d.what;
        EXPECT_FALSE(error.empty()) << d.what;
    }
    std::vector<CodeSection> out;
    std::string error;
    EXPECT_FALSE(ParseCodeSections({0x7F, 'E', 'L', 'F', 2, 1}, "elf", out, error));
    EXPECT_FALSE(ParseCodeSections({1, 2, 3}, "junk", out, error));
    EXPECT_FALSE(ReadCodeSections("/nonexistent/file.dll", out, error));
    EXPECT_TRUE(out.empty());
}

TEST(CodeCorpus, ReadsElfText) {
    std::vector<CodeSection> out;
    std::string error;
    if (!ReadCodeSections("/bin/ls", out, error))
        GTEST_SKIP() << error;
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].name, ".text");
    EXPECT_GT(out[0].bytes.size(), 1000u);
}

}  // namespace
