// Table-driven decode rows: bytes -> length, error and exact text.
#include <gtest/gtest.h>

#include "tests/decode/DecodeTestUtil.h"

using decode_test::Decode;
using decode_test::Expand;
using decode_test::Hex;

namespace {

constexpr uint32_t S = kStartupOptions;   // 0x30600

struct Row {
    int mode;
    uint32_t options;
    const char* bytes;
    unsigned length;
    unsigned error;
    const char* text;                      // '|' stands for the blanks before the operand column
};

void CheckRows(const Row* rows, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const Row& r = rows[i];
        SCOPED_TRACE(testing::Message() << "mode " << r.mode << " options " << std::hex << r.options << " bytes "
                                        << r.bytes);
        auto d = Decode(r.mode, r.options, Hex(r.bytes));
        EXPECT_EQ(d.length, r.length);
        EXPECT_EQ(d.error, r.error);
        EXPECT_EQ(d.text, Expand(r.text));
    }
}
template <size_t N>
void CheckRows(const Row (&rows)[N]) { CheckRows(rows, N); }

}  // namespace

TEST(DecodeText, ColumnAndPrefixWords) {
    const Row rows[] = {
        {32, S, "8B 45 F8", 3, 0, "mov          eax,[ebp][-8]"},      // 3 + 10 blanks: operands at column 13
        {32, S, "0F 18 00", 3, 0, "prefetchnta  [eax]"},
        {32, S, "F0 0F C7 0E", 4, 0, "lock cmpxchg8b [esi]"},         // longer than the column: one blank
        {32, S, "F3 A4", 2, 0, "rep movsb"},
        {32, S, "F2 A6", 2, 0, "repne cmpsb"},
        {32, S, "F3 A6", 2, 0, "rep cmpsb"},
        {32, S, "F3 AB", 2, 0, "rep stosd"},
        {32, S, "66 F3 AB", 3, 0, "rep stosw"},
        {32, S, "F2 8B C0", 3, 0, "mov|eax,eax"},                      // no rep word outside strings
        {32, S, "F3 90", 2, 0, "pause"},
        {32, S, "F1", 1, 0, "#ICE1"},
        {32, S, "0F 10 C0", 2, 2, "#UD(32)"},
        {16, S, "0F 10 C0", 2, 2, "#UD(16)"},
        {64, S, "0F 10 C0", 2, 2, "#UD(64)"},
        {32, S, "8D C0", 2, 3, "#UD(err)"},
    };
    CheckRows(rows);
}

TEST(DecodeText, PartExamples) {
    const Row rows[] = {
        {32, S, "8B 45 08", 3, 0, "mov|eax,[ebp][8]"},
        {32, S, "8B 45 10", 3, 0, "mov|eax,[ebp][10]"},
        {32, S, "64 A1 30 00 00 00", 6, 0, "mov|eax,fs:[00000030]"},
        {32, S, "6A FF", 2, 0, "push|-1"},
        {32, S, "6A 80", 2, 0, "push|080"},
        {32, S, "6A 7F", 2, 0, "push|7F"},
        {32, S, "C7 45 FC 01 00 00 00", 7, 0, "mov|d,[ebp][-4],1"},
        {32, S, "E8 00 00 00 00", 5, 0, "call|00401005"},
    };
    CheckRows(rows);
}

TEST(Decode, PartEdgeCases) {
    const Row rows[] = {
        {32, S, "0F 38 00 C0", 2, 2, "#UD(32)"},
        {32, S, "0F 3A 0F C0 08", 2, 2, "#UD(32)"},
        {32, S, "66 0F 6F C0", 3, 2, "#UD(32)"},
        {64, S, "48 50", 2, 0, "push|rax"},
        {64, S, "66 50", 2, 0, "push|ax"},
        {64, S, "48 48 50", 2, 2, "#UD(64)"},                         // a second REX is an opcode
        {32, S, "9B DD 3E", 3, 0, "fstsw|w,[esi]"},
        {32, S, "9B D9 7D FC", 1, 0, "fwait"},
        {32, S, "90 90 90", 3, 0, "nop"},
        {32, S, "CC CC", 2, 0, "int|3"},
        {32, S, "66 CC CC", 2, 0, "int|3"},
        {32, S, "F0 01 C0", 2, 10, "#UD(err)"},
        {32, S, "F0 01 00", 3, 0, "lock add|[eax],eax"},
        {32, S, "8E C8", 2, 4, "#UD(err)"},
        {32, S, "8C C8", 2, 0, "mov|eax,cs"},
        {32, S, "8E D8", 2, 0, "mov|ds,ax"},
        {32, S, "8E F0", 2, 4, "#UD(err)"},
        {32, S, "8C F0", 2, 4, "#UD(err)"},
        {32, S, "8D C0", 2, 3, "#UD(err)"},
        {64, S, "41 8B 04 25 00 10 00 00", 8, 0, "mov|eax,[00001000]"},
        {32, S, "F0 0F 20 C0", 4, 0, "mov|eax,cr8"},
        {32, S, "0F 20 C0", 3, 0, "mov|eax,cr0"},
        {32, S, "0F 22 D8", 3, 0, "mov|cr3,eax"},
        {32, S, "D5 0A", 2, 0, "aad"},
        {32, S, "D5 08", 2, 0, "aad|8"},
        {32, S, "D4 0A", 2, 0, "aam"},
        {32, S, "D4 10", 2, 0, "aam|10"},
        {32, S, "66 66 66 66 66 66 66 66 66 66 66 66 66 66 66 66", 15, 9, "#GP"},
        {32, S, "0F 0F C1 9E", 4, 0, "pfadd|mm0,mm1"},
        {32, S, "0F 0F C1 00", 4, 0, "#3D|mm0,mm1"},
        {32, S, "DF E0", 2, 0, "fnstsw|ax"},
        {32, S, "9B DF E0", 3, 0, "fstsw|ax"},
        {32, S, "DC E1", 2, 0, "fsubr|st(1),st(0)"},
        {32, S, "DC E9", 2, 0, "fsub|st(1),st(0)"},
        {32, S, "D9 D9", 2, 0, "fstp1|st(1)"},
        {32, S, "DF C9", 2, 0, "fxch7|st(1)"},
        {32, S, "0F 01 F8", 2, 2, "#UD(32)"},
        {64, S, "0F 01 F8", 3, 0, "swapgs"},
        {32, S, "FF D8", 2, 0, "#UD"},
        {32, S, "FF E8", 2, 0, "#UD"},
        {32, S, "FF 18", 2, 0, "callf|f,[eax]"},
    };
    CheckRows(rows);
}

TEST(Decode, PrefixRunsAtTheLengthLimit) {
    const Row rows[] = {
        {32, S, "66 66 66 66 66 66 66 66 66 66 66 66 66 66 90", 15, 0, "nop"},   // 14 prefixes + opcode
        {32, S, "66 66 66 66 66 66 66 66 66 66 66 66 66 66 66 90", 15, 9, "#GP"},
        {32, S, "66 66 66 66 66 66 66 66 66 66 66 66 66 B8 01 00", 15, 9, "#GP"},
        {32, S, "66 66 66 66 66 66 66 66 66 66 66 66 66 0F 0F C1 9E", 15, 9, "#GP"},
        {64, S, "66 66 66 66 66 66 66 66 66 66 66 66 66 48 90", 15, 0, "xchg|rax,rax"},
        {64, S, "66 66 66 66 66 66 66 66 66 66 66 66 66 66 48 90", 15, 9, "#GP"},
        {32, S, "F0 F0 F0 F0 F0 F0 F0 F0 F0 F0 F0 F0 F0 F0 F0 F0", 15, 9, "#GP"},
        {32, S, "26 2E 36 3E 64 65 26 2E 36 3E 64 65 26 8B 00", 15, 0, "mov|eax,es:[eax]"},
    };
    CheckRows(rows);
}

TEST(Decode, ModeMatrix) {
    const Row rows[] = {
        {16, S, "06", 1, 0, "push|es"},
        {32, S, "06", 1, 0, "push|es"},
        {64, S, "06", 1, 2, "#UD(64)"},
        {32, S, "1F", 1, 0, "pop|ds"},
        {64, S, "1F", 1, 2, "#UD(64)"},
        {16, S, "40", 1, 0, "inc|ax"},
        {32, S, "40", 1, 0, "inc|eax"},
        {64, S, "40 90", 2, 0, "xchg|eax,eax"},                       // any REX turns 90 into xchg
        {16, S, "60", 1, 0, "pusha"},
        {32, S, "60", 1, 0, "pushad"},
        {32, S, "66 60", 2, 0, "pusha"},
        {64, S, "60", 1, 2, "#UD(64)"},
        {32, S, "61", 1, 0, "popad"},
        {16, S, "63 C8", 2, 0, "arpl|ax,cx"},
        {32, S, "63 C8", 2, 0, "arpl|ax,cx"},
        {64, S, "48 63 C8", 3, 0, "movsxd|rcx,eax"},
        {16, S, "98", 1, 0, "cbw"},
        {32, S, "98", 1, 0, "cwde"},
        {32, S, "66 98", 2, 0, "cbw"},
        {64, S, "98", 1, 0, "cwde"},
        {64, S, "48 98", 2, 0, "cdqe"},
        {16, S, "99", 1, 0, "cwd"},
        {32, S, "99", 1, 0, "cdq"},
        {64, S, "48 99", 2, 0, "cqo"},
        {16, S, "9C", 1, 0, "pushf"},
        {16, S, "66 9C", 2, 0, "pushfd"},
        {32, S, "9C", 1, 0, "pushfd"},
        {32, S, "66 9C", 2, 0, "pushf"},
        {64, S, "9C", 1, 0, "pushfq"},
        {64, S, "66 9C", 2, 0, "pushf"},
        {16, S, "9D", 1, 0, "popf"},
        {32, S, "9D", 1, 0, "popfd"},
        {64, S, "9D", 1, 0, "popfq"},
        {16, S, "CF", 1, 0, "iret"},
        {32, S, "CF", 1, 0, "iretd"},
        {64, S, "48 CF", 2, 0, "iretq"},
        {16, S, "E3 FE", 2, 0, "jcxz|00401000"},
        {32, S, "E3 FE", 2, 0, "jecxz|00401000"},
        {64, S, "E3 FE", 2, 0, "jrcxz|00401000"},
        {16, S, "67 E3 FD", 3, 0, "jecxz|00401000"},
        {32, S, "67 E3 FD", 3, 0, "jcxz|00401000"},
        {64, S, "67 E3 FD", 3, 0, "jecxz|00401000"},
        {16, S, "A5", 1, 0, "movsw"},
        {32, S, "A5", 1, 0, "movsd"},
        {32, S, "66 A5", 2, 0, "movsw"},
        {64, S, "48 A5", 2, 0, "movsq"},
        {64, S, "48 A7", 2, 0, "cmpsq"},
        {64, S, "48 AB", 2, 0, "stosq"},
        {64, S, "48 AD", 2, 0, "lodsq"},
        {64, S, "48 AF", 2, 0, "scasq"},
        {16, S, "6D", 1, 0, "insw"},
        {32, S, "6D", 1, 0, "insd"},
        {32, S, "66 6F", 2, 0, "outsw"},
        {32, S, "D7", 1, 0, "xlat"},
        {32, S, "67 D7", 2, 0, "xlatb"},
        {16, S, "0F 05", 2, 2, "#UD(16)"},
        {32, S, "0F 05", 2, 2, "#UD(32)"},
        {64, S, "0F 05", 2, 0, "syscall"},
        {64, S, "0F 07", 2, 0, "sysret"},
        {32, S, "82 C0 01", 3, 0, "add|al,1"},
        {64, S, "82 C0 01", 1, 2, "#UD(64)"},
        {64, S, "D4 0A", 1, 2, "#UD(64)"},
        {32, S, "9A 00 10 00 00 08 00", 7, 0, "callf|00008:000001000"},
        {16, S, "9A 00 10 08 00", 5, 0, "callf|00008:01000"},
        {64, S, "9A 00 10 00 00 08 00", 1, 2, "#UD(64)"},
        {32, S, "EA 00 10 00 00 08 00", 7, 0, "jmpf|00008:000001000"},
        {32, S, "C4 00", 2, 0, "les|eax,[eax]"},
        {32, S, "C4 C0", 2, 3, "#UD(err)"},
        {64, S, "C4 00", 1, 2, "#UD(64)"},
        {32, S, "CE", 1, 0, "into"},
        {64, S, "CE", 1, 2, "#UD(64)"},
        {32, S, "D6", 1, 0, "setalc"},
        {32, S, "27", 1, 0, "daa"},
        {16, S, "E8 FD FF", 3, 0, "call|00401000"},
        {32, S, "66 E8 FA FF", 4, 0, "call|00000FFE"},                // 16-bit target
        {64, S, "E8 FB FF FF FF", 5, 0, "call|00401000"},
        {64, S, "FF 15 F0 FF FF FF", 6, 0, "call|q,[0000000000400FF6]"},
        {32, S, "FF 15 00 20 40 00", 6, 0, "call|d,[00402000]"},
        {16, S, "FF 16 00 20", 4, 0, "call|w,[2000]"},
    };
    CheckRows(rows);
}

TEST(Decode, SixteenBitAddressing) {
    const Row rows[] = {
        {16, S, "8B 00", 2, 0, "mov|ax,[bx][si]"},
        {16, S, "8B 01", 2, 0, "mov|ax,[bx][di]"},
        {16, S, "8B 02", 2, 0, "mov|ax,[bp][si]"},
        {16, S, "8B 03", 2, 0, "mov|ax,[bp][di]"},
        {16, S, "8B 04", 2, 0, "mov|ax,[si]"},
        {16, S, "8B 05", 2, 0, "mov|ax,[di]"},
        {16, S, "8B 06 34 12", 4, 0, "mov|ax,[1234]"},
        {16, S, "8B 07", 2, 0, "mov|ax,[bx]"},
        {16, S, "8B 40 10", 3, 0, "mov|ax,[bx][si][10]"},
        {16, S, "8B 41 10", 3, 0, "mov|ax,[bx][di][10]"},
        {16, S, "8B 42 10", 3, 0, "mov|ax,[bp][si][10]"},
        {16, S, "8B 43 10", 3, 0, "mov|ax,[bp][di][10]"},
        {16, S, "8B 44 10", 3, 0, "mov|ax,[si][10]"},
        {16, S, "8B 45 10", 3, 0, "mov|ax,[di][10]"},
        {16, S, "8B 46 10", 3, 0, "mov|ax,[bp][10]"},
        {16, S, "8B 47 10", 3, 0, "mov|ax,[bx][10]"},
        {16, S, "8B 80 34 12", 4, 0, "mov|ax,[bx][si][1234]"},
        {16, S, "8B 81 34 12", 4, 0, "mov|ax,[bx][di][1234]"},
        {16, S, "8B 82 34 12", 4, 0, "mov|ax,[bp][si][1234]"},
        {16, S, "8B 83 34 12", 4, 0, "mov|ax,[bp][di][1234]"},
        {16, S, "8B 84 34 12", 4, 0, "mov|ax,[si][1234]"},
        {16, S, "8B 85 34 12", 4, 0, "mov|ax,[di][1234]"},
        {16, S, "8B 86 34 12", 4, 0, "mov|ax,[bp][1234]"},
        {16, S, "8B 87 34 12", 4, 0, "mov|ax,[bx][1234]"},
        {16, S, "8B 46 FE", 3, 0, "mov|ax,[bp][-2]"},
        {16, 0, "8B 46 FE", 3, 0, "mov|ax,[bp][-2]"},
        {16, S, "8B 46 F0", 3, 0, "mov|ax,[bp][-10]"},
        {16, 0, "8B 46 F0", 3, 0, "mov|ax,[bp][0F0]"},
        {16, S, "8B 86 00 FF", 4, 0, "mov|ax,[bp][-0100]"},
        {16, 0, "8B 86 00 FF", 4, 0, "mov|ax,[bp][0FF00]"},
        {16, S, "8B 06 F0 FF", 4, 0, "mov|ax,[FFF0]"},                 // an absolute address is never negative
        {16, S, "66 8B 00", 3, 0, "mov|eax,[bx][si]"},
        {16, S, "67 8B 00", 3, 0, "mov|ax,[eax]"},
        {32, S, "67 8B 00", 3, 0, "mov|eax,[bx][si]"},
        {32, S, "67 8B 46 08", 4, 0, "mov|eax,[bp][8]"},
    };
    CheckRows(rows);
}

TEST(Decode, SibAndRex) {
    const Row rows[] = {
        {32, S, "8B 04 24", 3, 0, "mov|eax,[esp]"},
        {32, S, "8B 04 20", 3, 0, "mov|eax,[eax]"},                    // index 4: none
        {32, S, "8B 04 60", 3, 0, "mov|eax,[eax]"},                    // ... whatever the scale
        {32, S, "8B 04 85 00 10 40 00", 7, 0, "mov|eax,[eax]*4[00401000]"},
        {32, S, "8B 04 25 00 10 40 00", 7, 0, "mov|eax,[00401000]"},
        {32, S, "8B 44 24 08", 4, 0, "mov|eax,[esp][8]"},
        {32, S, "8B 84 24 00 01 00 00", 7, 0, "mov|eax,[esp][00000100]"},
        {32, S, "8B 44 8D F8", 4, 0, "mov|eax,[ebp][ecx]*4[-8]"},
        {32, S, "8B 04 C8", 3, 0, "mov|eax,[eax][ecx]*8"},
        {32, S, "8B 04 48", 3, 0, "mov|eax,[eax][ecx]*2"},
        {32, S, "8B 45 00", 3, 0, "mov|eax,[ebp][0]"},
        {64, S, "8B 04 24", 3, 0, "mov|eax,[rsp]"},
        {64, S, "41 8B 04 24", 4, 0, "mov|eax,[r12]"},
        {64, S, "41 8B 45 00", 4, 0, "mov|eax,[r13][0]"},
        {64, S, "41 8B 45 08", 4, 0, "mov|eax,[r13][8]"},
        {64, S, "41 8B 00", 3, 0, "mov|eax,[r8]"},
        {64, S, "42 8B 04 20", 4, 0, "mov|eax,[rax][r12]"},            // REX.X makes index 4 r12
        {64, S, "4A 8B 04 E5 00 00 00 00", 8, 0, "mov|rax,[r12]*8[0]"},
        {64, S, "49 8B 04 24", 4, 0, "mov|rax,[r12]"},
        {64, S, "4B 8B 04 C8", 4, 0, "mov|rax,[r8][r9]*8"},
        {64, S, "8B 05 10 00 00 00", 6, 0, "mov|eax,[0000000000401016]"},
        {64, S, "8B 04 25 F0 FF FF FF", 7, 0, "mov|eax,[-00000010]"},
        {64, 0, "8B 04 25 F0 FF FF FF", 7, 0, "mov|eax,[0FFFFFFF0]"},
        {64, S, "67 8B 00", 3, 0, "mov|eax,[eax]"},
        {64, S, "67 41 8B 00", 4, 0, "mov|eax,[r8d]"},
        {64, S, "48 8B 45 F8", 4, 0, "mov|rax,[rbp][-8]"},
        {64, S, "48 8B 45 10", 4, 0, "mov|rax,[rbp][10]"},             // an 8-bit displacement keeps its width
        {64, 0, "48 8B 45 F0", 4, 0, "mov|rax,[rbp][0F0]"},
        {64, S, "48 8B 85 00 01 00 00", 7, 0, "mov|rax,[rbp][00000100]"},
        {64, S, "4C 8B 4C 24 F8", 5, 0, "mov|r9,[rsp][-8]"},
        {64, S, "88 E0", 2, 0, "mov|al,ah"},
        {64, S, "40 88 E0", 3, 0, "mov|al,spl"},
        {64, S, "40 88 F7", 3, 0, "mov|dil,sil"},
        {64, S, "44 88 C0", 3, 0, "mov|al,r8b"},
        {64, S, "41 88 C0", 3, 0, "mov|r8b,al"},
        {64, S, "45 88 C8", 3, 0, "mov|r8b,r9b"},
        {64, S, "66 41 8B C0", 4, 0, "mov|ax,r8w"},
        {64, S, "45 8B C8", 3, 0, "mov|r9d,r8d"},
        {64, S, "4D 8B C8", 3, 0, "mov|r9,r8"},
        {64, S, "41 50", 2, 0, "push|r8"},
        {64, S, "41 5F", 2, 0, "pop|r15"},
        {64, S, "41 B8 01 00 00 00", 6, 0, "mov|r8d,1"},
        {64, S, "49 B8 88 77 66 55 44 33 22 11", 10, 0, "mov|r8,1122334455667788"},
        {64, S, "41 B4 05", 3, 0, "mov|r12b,5"},
        {64, S, "41 0F C8", 3, 0, "bswap|r8d"},
        {64, S, "44 0F 20 C0", 4, 0, "mov|rax,cr8"},
        {64, S, "4C 8D 05 00 00 00 00", 7, 0, "lea|r8,[0000000000401007]"},
        {64, S, "FF 24 C5 00 10 40 00", 7, 0, "jmp|q,[rax]*8[00401000]"},
    };
    CheckRows(rows);
}

TEST(Decode, LockRules) {
    const Row rows[] = {
        {32, S, "F0 00 00", 3, 0, "lock add|[eax],al"},
        {32, S, "F0 02 00", 2, 10, "#UD(err)"},                        // the destination is a register
        {32, S, "F0 80 00 01", 4, 0, "lock add|b,[eax],1"},
        {32, S, "F0 83 08 FF", 4, 0, "lock or|d,[eax],-1"},
        {32, S, "F0 80 38 01", 2, 10, "#UD(err)"},                     // cmp never locks
        {32, S, "F0 83 C0 01", 2, 10, "#UD(err)"},
        {32, S, "F0 86 00", 3, 0, "lock xchg|[eax],al"},
        {32, S, "F0 87 C0", 2, 10, "#UD(err)"},
        {32, S, "F0 0F AB 00", 4, 0, "lock bts|[eax],eax"},
        {32, S, "F0 0F BA 28 01", 5, 0, "lock bts|d,[eax],1"},
        {32, S, "F0 0F A3 00", 3, 10, "#UD(err)"},                     // bt only reads
        {32, S, "F0 0F B1 0E", 4, 0, "lock cmpxchg|[esi],ecx"},
        {32, S, "F0 0F C1 06", 4, 0, "lock xadd|[esi],eax"},
        {32, S, "F0 F7 1E", 3, 0, "lock neg|d,[esi]"},
        {32, S, "F0 F6 16", 3, 0, "lock not|b,[esi]"},
        {32, S, "F0 FE 06", 3, 0, "lock inc|b,[esi]"},
        {32, S, "F0 FF 0E", 3, 0, "lock dec|d,[esi]"},
        {32, S, "F0 8B 00", 2, 10, "#UD(err)"},
        {32, S, "F0 A4", 2, 10, "#UD(err)"},
        {32, S, "F0 90", 2, 10, "#UD(err)"},
        {32, S, "F0 F7 06 01 00 00 00", 2, 10, "#UD(err)"},
        {64, S, "F0 48 0F C7 0E", 5, 0, "lock cmpxchg16b [rsi]"},
        {64, S, "F0 48 01 03", 4, 0, "lock add|[rbx],rax"},
    };
    CheckRows(rows);
}

TEST(Decode, Table0F01And0F00) {
    const Row rows[] = {
        {32, S, "0F 01 00", 3, 0, "sgdt|[eax]"},
        {32, S, "0F 01 08", 3, 0, "sidt|[eax]"},
        {32, S, "0F 01 10", 3, 0, "lgdt|[eax]"},
        {32, S, "0F 01 18", 3, 0, "lidt|[eax]"},
        {32, S, "0F 01 20", 3, 0, "smsw|[eax]"},
        {32, S, "0F 01 28", 3, 0, "#UD"},
        {32, S, "0F 01 30", 3, 0, "lmsw|[eax]"},
        {32, S, "0F 01 38", 3, 0, "invlpg|[eax]"},
        {32, S, "0F 01 C1", 3, 0, "vmcall"},
        {32, S, "0F 01 C2", 3, 0, "vmlaunch"},
        {32, S, "0F 01 C3", 3, 0, "vmresume"},
        {32, S, "0F 01 C4", 3, 0, "vmxoff"},
        {32, S, "0F 01 C8", 3, 0, "monitor"},
        {32, S, "0F 01 C9", 3, 0, "mwait"},
        {32, S, "0F 01 D0", 3, 0, "xgetbv"},
        {32, S, "0F 01 D1", 3, 0, "xsetbv"},
        {32, S, "0F 01 D8", 3, 0, "vmrun"},
        {32, S, "0F 01 D9", 3, 0, "vmmcall"},
        {32, S, "0F 01 DA", 3, 0, "vmload"},
        {32, S, "0F 01 DB", 3, 0, "vmsave"},
        {32, S, "0F 01 DC", 3, 0, "stgi"},
        {32, S, "0F 01 DD", 3, 0, "clgi"},
        {32, S, "0F 01 DE", 3, 0, "skinit"},
        {32, S, "0F 01 DF", 3, 0, "invlpga"},
        {64, S, "0F 01 F8", 3, 0, "swapgs"},
        {32, S, "0F 01 F9", 3, 0, "rdtscp"},
        {64, S, "0F 01 F9", 3, 0, "rdtscp"},
        {32, S, "0F 01 E0", 3, 0, "smsw|eax"},
        {32, S, "0F 01 F0", 3, 0, "lmsw|ax"},
        {32, S, "0F 01 E8", 3, 0, "#UD"},
        {32, S, "0F 01 C0", 3, 0, "#UD"},                              // no register form: "#UD", no error
        {32, S, "0F 01 CA", 3, 0, "#UD"},
        {32, S, "0F 01 FA", 3, 0, "#UD"},
        {32, S, "0F 00 C0", 3, 0, "sldt|eax"},
        {32, S, "0F 00 00", 3, 0, "sldt|[eax]"},
        {32, S, "0F 00 08", 3, 0, "str|[eax]"},
        {32, S, "0F 00 D8", 3, 0, "ltr|ax"},
        {32, S, "0F 00 E0", 3, 0, "verr|ax"},
        {32, S, "0F 00 28", 3, 0, "verw|[eax]"},
        {32, S, "0F 00 F0", 3, 0, "#UD"},
    };
    CheckRows(rows);
}

TEST(Decode, FpuAliasesAndWaitForms) {
    const Row rows[] = {
        {32, S, "D9 D9", 2, 0, "fstp1|st(1)"},
        {32, S, "DC D1", 2, 0, "fcom2|st(1)"},
        {32, S, "DC D9", 2, 0, "fcomp3|st(1)"},
        {32, S, "DD C9", 2, 0, "fxch4|st(1)"},
        {32, S, "DE D1", 2, 0, "fcomp5|st(1)"},
        {32, S, "DF C9", 2, 0, "fxch7|st(1)"},
        {32, S, "DF D1", 2, 0, "fstp8|st(1)"},
        {32, S, "DF D9", 2, 0, "fstp9|st(1)"},
        {32, S, "DF C1", 2, 0, "ffreep|st(1)"},
        {32, S, "DB 08", 2, 0, "fisttp|d,[eax]"},
        {32, S, "DD 08", 2, 0, "fisttp|q,[eax]"},
        {32, S, "DF 08", 2, 0, "fisttp|w,[eax]"},
        {32, S, "DB E0", 2, 0, "fneni"},
        {32, S, "DB E1", 2, 0, "fndisi"},
        {32, S, "DB E2", 2, 0, "fnclex"},
        {32, S, "9B DB E2", 3, 0, "fclex"},
        {32, S, "DB E3", 2, 0, "fninit"},
        {32, S, "9B DB E3", 3, 0, "finit"},
        {32, S, "DB E4", 2, 0, "#UD"},
        {32, S, "D9 36", 2, 0, "fnstenv|[esi]"},
        {32, S, "9B D9 36", 3, 0, "fstenv|[esi]"},
        {32, S, "D9 3E", 2, 0, "fnstcw|w,[esi]"},
        {32, S, "9B D9 3E", 3, 0, "fstcw|w,[esi]"},
        {32, S, "DD 36", 2, 0, "fnsave|[esi]"},
        {32, S, "9B DD 36", 3, 0, "fsave|[esi]"},
        {32, S, "DD 3E", 2, 0, "fnstsw|w,[esi]"},
        {32, S, "9B 90", 1, 0, "fwait"},
        {32, S, "DE D9", 2, 0, "fcompp"},
        {32, S, "DA E9", 2, 0, "fucompp"},
        {32, S, "D9 D0", 2, 0, "fnop"},
        {32, S, "D9 D1", 2, 0, "#UD"},
        {32, S, "D9 E0", 2, 0, "fchs"},
        {32, S, "D9 E5", 2, 0, "fxam"},
        {32, S, "D9 EE", 2, 0, "fldz"},
        {32, S, "D9 EF", 2, 0, "#UD"},
        {32, S, "D9 F0", 2, 0, "f2xm1"},
        {32, S, "D9 FF", 2, 0, "fcos"},
        {32, S, "D8 C1", 2, 0, "fadd|st(0),st(1)"},
        {32, S, "DE C1", 2, 0, "faddp|st(1),st(0)"},
        {32, S, "DE F9", 2, 0, "fdivp|st(1),st(0)"},
        {32, S, "DC 00", 2, 0, "fadd|q,[eax]"},
        {32, S, "D8 45 F8", 3, 0, "fadd|d,[ebp][-8]"},
        {32, S, "DE 00", 2, 0, "fiadd|w,[eax]"},
        {32, S, "DB 28", 2, 0, "fld|t,[eax]"},
        {32, S, "DF 28", 2, 0, "fild|q,[eax]"},
        {32, S, "DF 20", 2, 0, "fbld|t,[eax]"},
        {32, S, "D9 C1", 2, 0, "fld|st(1)"},
        {32, S, "DB E9", 2, 0, "fucomi|st(0),st(1)"},
        {32, S, "DF F1", 2, 0, "fcomip|st(0),st(1)"},
        {32, S, "DA C1", 2, 0, "fcmovb|st(0),st(1)"},
        {32, S, "DD D9", 2, 0, "fstp|st(1)"},
        {32, S, "DD E1", 2, 0, "fucom|st(1)"},
        {32, S, "D9 08", 2, 0, "#UD"},
    };
    CheckRows(rows);
}

TEST(Decode, ThreeDNow) {
    const Row rows[] = {
        {32, S, "0F 0F 00 0C", 4, 0, "pi2fw|mm0,[eax]"},
        {32, S, "0F 0F C1 0D", 4, 0, "pi2fd|mm0,mm1"},
        {32, S, "0F 0F 44 24 08 B4", 6, 0, "pfmul|mm0,[esp][8]"},
        {32, S, "0F 0F C1 BF", 4, 0, "pavgusb|mm0,mm1"},
        {32, S, "0F 0F C1 BB", 4, 0, "pswapd|mm0,mm1"},
        {32, S, "0F 0F D1 A7", 4, 0, "pfrsqit1|mm2,mm1"},
        {32, S, "0F 0F C1 FF", 4, 0, "#3D|mm0,mm1"},
        {64, S, "0F 0F 05 00 00 00 00 9E", 8, 0, "pfadd|mm0,[0000000000401008]"},   // RIP counts the suffix
        {32, S, "0F 0E", 2, 0, "femms"},
        {32, S, "0F 77", 2, 0, "emms"},
    };
    CheckRows(rows);
}

TEST(Decode, NumberFormatsUnderEachOption) {
    const Row rows[] = {
        {32, 0, "83 C0 FF", 3, 0, "add|eax,0FF"},
        {32, 0x100, "83 C0 FF", 3, 0, "add|eax,-01"},
        {32, 0x400, "83 C0 FF", 3, 0, "add|eax,-1"},
        {32, 0x500, "83 C0 FF", 3, 0, "add|eax,-1"},
        {32, 0, "83 C0 F0", 3, 0, "add|eax,0F0"},
        {32, 0x100, "83 C0 F0", 3, 0, "add|eax,-10"},
        {32, 0x400, "83 C0 F0", 3, 0, "add|eax,0F0"},
        {32, 0, "83 C0 05", 3, 0, "add|eax,05"},
        {32, 0x400, "83 C0 05", 3, 0, "add|eax,5"},
        {32, 0, "05 00 00 00 80", 5, 0, "add|eax,080000000"},
        {32, 0x100, "05 00 00 00 80", 5, 0, "add|eax,-80000000"},
        {32, 0, "68 FF FF FF FF", 5, 0, "push|0FFFFFFFF"},
        {32, 0x400, "68 FF FF FF FF", 5, 0, "push|-1"},
        {16, 0, "B8 FF 7F", 3, 0, "mov|ax,7FFF"},
        {64, 0, "48 B8 FF FF FF FF FF FF FF FF", 10, 0, "mov|rax,0FFFFFFFFFFFFFFFF"},
        {64, 0x400, "48 B8 FF FF FF FF FF FF FF FF", 10, 0, "mov|rax,-1"},
        // never signed: int's vector, retn's count, enter's sizes
        {32, 0, "CD FF", 2, 0, "int|FF"},
        {32, 0x500, "CD FF", 2, 0, "int|FF"},
        {32, 0x400, "CD 03", 2, 0, "int|3"},
        {32, 0, "CD 03", 2, 0, "int|03"},
        {32, 0x500, "C2 FF FF", 3, 0, "retn|FFFF"},
        {32, 0x400, "C2 08 00", 3, 0, "retn|8"},
        {32, 0x500, "C8 10 00 FF", 4, 0, "enter|0010,FF"},
        {32, S, "C8 10 00 01", 4, 0, "enter|0010,1"},
        {32, 0x500, "E4 80", 2, 0, "in|al,80"},
        // displacements
        {32, 0, "8B 45 F0", 3, 0, "mov|eax,[ebp][0F0]"},
        {32, 0x200, "8B 45 F0", 3, 0, "mov|eax,[ebp][-10]"},
        {32, 0, "8B 45 FC", 3, 0, "mov|eax,[ebp][-4]"},
        {32, 0x200, "8B 45 FC", 3, 0, "mov|eax,[ebp][-4]"},
        {32, 0, "8B 45 05", 3, 0, "mov|eax,[ebp][5]"},
        {32, 0, "8B 45 09", 3, 0, "mov|eax,[ebp][9]"},                 // one digit up to 9 and down to -9
        {32, 0, "8B 45 0A", 3, 0, "mov|eax,[ebp][0A]"},
        {32, 0, "8B 45 F7", 3, 0, "mov|eax,[ebp][-9]"},
        {32, 0, "8B 45 F6", 3, 0, "mov|eax,[ebp][0F6]"},
        {32, 0, "8B 85 00 FF FF FF", 6, 0, "mov|eax,[ebp][0FFFFFF00]"},
        {32, 0x200, "8B 85 00 FF FF FF", 6, 0, "mov|eax,[ebp][-00000100]"},
        {32, 0x200, "8B 05 F0 FF FF FF", 6, 0, "mov|eax,[FFFFFFF0]"},  // no base: an address, not negative
        // VxD calls
        {32, S | 0x1, "CD 20 01 00 02 00", 6, 0, "vxdcall|0001.0002"},
        {32, S | 0x1, "CD 20 01 80 02 00", 6, 0, "vxdjmp|8001.0002"},
        {32, S | 0x1, "CD 20 05 00 01 00", 6, 0, "vmmcall|0005.0001"},
        {32, S | 0x1, "CD 20 05 80 01 00", 6, 0, "vmmjmp|8005.0001"},
        {32, S, "CD 20 01 00 02 00", 2, 0, "int|20"},
        {64, S | 0x1, "CD 20 01 00 02 00", 1, 2, "#UD(64)"},
        // folding
        {32, 0, "90 90 90", 1, 0, "nop"},
        {32, 0x10000, "66 90 90", 3, 0, "nop"},
        {32, 0x10000, "90 90 90 90 90 90 90 90 90 90 90 90 90 90 90 90 90", 15, 0, "nop"},
        {32, 0, "CC CC CC", 1, 0, "int|03"},
        {32, 0x20000, "CC CC CC", 3, 0, "int|03"},
        {32, 0x20000, "CC CC CC CC CC CC CC CC CC CC CC CC CC CC CC CC CC", 15, 0, "int|03"},
        {32, 0x20000, "CC 90", 1, 0, "int|03"},
    };
    CheckRows(rows);
}

TEST(Decode, OperandForms) {
    const Row rows[] = {
        {32, S, "A1 00 10 40 00", 5, 0, "mov|eax,[00401000]"},
        {32, S, "A2 00 10 40 00", 5, 0, "mov|[00401000],al"},
        {32, S, "2E A1 00 10 40 00", 6, 0, "mov|eax,cs:[00401000]"},
        {32, S, "67 A1 00 10", 4, 0, "mov|eax,[1000]"},
        {16, S, "A1 34 12", 3, 0, "mov|ax,[1234]"},
        {64, S, "A1 88 77 66 55 44 33 22 11", 9, 0, "mov|eax,[1122334455667788]"},
        {64, S, "48 A3 00 10 40 00 00 00 00 00", 10, 0, "mov|[0000000000401000],rax"},
        {32, S, "26 8B 00", 3, 0, "mov|eax,es:[eax]"},
        {32, S, "0F B6 00", 3, 0, "movzx|eax,b,[eax]"},
        {32, S, "0F BF 00", 3, 0, "movsx|eax,w,[eax]"},
        {32, S, "0F B6 C1", 3, 0, "movzx|eax,cl"},
        {32, S, "66 0F B6 C1", 4, 0, "movzx|ax,cl"},
        {32, S, "FF 30", 2, 0, "push|d,[eax]"},
        {32, S, "8F 00", 2, 0, "pop|d,[eax]"},
        {32, S, "66 FF 18", 3, 0, "callf|d,[eax]"},
        {32, S, "C6 00 05", 3, 0, "mov|b,[eax],5"},
        {32, S, "D1 20", 2, 0, "shl|d,[eax],1"},
        {32, S, "D1 E0", 2, 0, "shl|eax,1"},
        {32, S, "D3 E0", 2, 0, "shl|eax,cl"},
        {32, S, "C1 E0 04", 3, 0, "shl|eax,4"},
        {32, S, "C0 F0 04", 3, 0, "sal|al,4"},
        {32, S, "F7 D8", 2, 0, "neg|eax"},
        {32, S, "F6 00 01", 3, 0, "test|b,[eax],1"},
        {32, S, "F7 C8 01 00 00 00", 6, 0, "test|eax,1"},
        {32, S, "F7 E1", 2, 0, "mul|ecx"},
        {32, S, "0F BA 20 03", 4, 0, "bt|d,[eax],3"},
        {32, S, "0F BA 00 03", 3, 0, "#UD"},
        {32, S, "8B 00", 2, 0, "mov|eax,[eax]"},
        {32, S, "0F C8", 2, 0, "bswap|eax"},
        {32, S, "0F A2", 2, 0, "cpuid"},
        {32, S, "0F B2 00", 3, 0, "lss|eax,[eax]"},
        {32, S, "0F A4 C1 04", 4, 0, "shld|ecx,eax,4"},
        {32, S, "0F AD C1", 3, 0, "shrd|ecx,eax,cl"},
        {32, S, "0F AF C1", 3, 0, "imul|eax,ecx"},
        {32, S, "69 C1 00 01 00 00", 6, 0, "imul|eax,ecx,00000100"},
        {32, S, "6B C1 F8", 3, 0, "imul|eax,ecx,-8"},
        {32, S, "0F 44 C1", 3, 0, "cmovz|eax,ecx"},
        {32, S, "0F 4F C1", 3, 0, "cmovg|eax,ecx"},
        {32, S, "0F 92 C0", 3, 0, "setc|al"},
        {32, S, "0F 97 C0", 3, 0, "seta|al"},
        {32, S, "0F A0", 2, 0, "push|fs"},
        {32, S, "0F A9", 2, 0, "pop|gs"},
        {32, S, "0F 0D 00", 3, 0, "prefetch|[eax]"},
        {32, S, "0F 1F 40 00", 4, 0, "nop|[eax][0]"},
        {32, S, "0F 1F 44 00 00", 5, 0, "nop|[eax][eax][0]"},
        {32, S, "66 0F 1F 44 00 00", 6, 0, "nop|[eax][eax][0]"},
        {32, S, "0F 18 20", 3, 0, "nop|[eax]"},
        {32, S, "0F 18 C0", 3, 0, "#UD"},
        {32, S, "0F AE F8", 3, 0, "sfence"},
        {32, S, "0F AE E8", 3, 0, "lfence"},
        {32, S, "0F AE F0", 3, 0, "mfence"},
        {32, S, "0F AE 38", 3, 0, "clflush|[eax]"},
        {32, S, "0F AE 00", 3, 0, "fxsave|[eax]"},
        {32, S, "0F AE 10", 3, 0, "ldmxcsr|[eax]"},
        {32, S, "0F AE 20", 3, 0, "xsave|[eax]"},
        {32, S, "66 0F AE 20", 4, 1, "#UD(err)"},
        {32, S, "F3 0F AE 28", 4, 1, "#UD(err)"},
        {32, S, "0F AE C0", 3, 0, "#UD"},
        {32, S, "0F 24 C0", 3, 0, "mov|eax,TR0"},
        {32, S, "0F 26 F0", 3, 0, "mov|tr6,eax"},
        {32, S, "0F 21 F8", 3, 0, "mov|eax,dr7"},
        {32, S, "0F 21 E0", 3, 0, "mov|eax,DR4"},
        {32, S, "0F 20 C8", 3, 0, "mov|eax,CR1"},
        {32, S, "62 00", 2, 0, "bound|eax,[eax]"},
        {32, S, "62 C0", 2, 3, "#UD(err)"},
        {32, S, "0F B9 C1", 3, 0, "ud1|eax,ecx"},
        {32, S, "0F 0B", 2, 0, "ud2"},
        {32, S, "0F BD C1", 3, 0, "bsr|eax,ecx"},
        {32, S, "0F BD 44 24 04", 5, 0, "bsr|eax,[esp][4]"},
        {32, S, "F3 0F BD C1", 4, 0, "bsr|eax,ecx"},
        {32, S, "0F BC C1", 3, 0, "bsf|eax,ecx"},
        {32, S, "0F C7 0E", 3, 0, "cmpxchg8b|[esi]"},
        {32, S, "0F C7 CE", 2, 2, "#UD(32)"},
        {32, S, "F3 0F C7 F8", 3, 2, "#UD(32)"},                  // rdpid: not decoded
        // General-purpose instructions of compiled code, among the vector rows.
        {32, S, "0F C7 F0", 3, 0, "rdrand|eax"},
        {32, S, "0F C7 FA", 3, 0, "rdseed|edx"},
        {32, S, "66 0F C7 F0", 4, 0, "rdrand|ax"},
        {64, S, "48 0F C7 F8", 4, 0, "rdseed|rax"},
        {64, S, "49 0F C7 F1", 4, 0, "rdrand|r9"},
        {64, S, "0F C7 F0", 3, 0, "rdrand|eax"},
        {32, S, "F3 0F B8 C1", 4, 0, "popcnt|eax,ecx"},
        {32, S, "F3 0F B8 44 24 04", 6, 0, "popcnt|eax,[esp][4]"},
        {32, S, "66 F3 0F B8 C1", 5, 0, "popcnt|ax,cx"},
        {64, S, "F3 4C 0F B8 C1", 5, 0, "popcnt|r8,rcx"},
        {16, S, "F3 0F B8 C1", 4, 0, "popcnt|ax,cx"},
        {32, S, "0F B8 C1", 2, 2, "#UD(32)"},
        {32, S, "F2 0F B8 C1", 3, 2, "#UD(32)"},
        {64, S, "48 0F C7 0E", 4, 0, "cmpxchg16b|[rsi]"},
        {32, S, "0F C3 00", 3, 0, "movnti|[eax],eax"},
        {32, S, "E4 60", 2, 0, "in|al,60"},
        {32, S, "66 ED", 2, 0, "in|ax,dx"},
        {32, S, "EF", 1, 0, "out|dx,eax"},
        {32, S, "E6 80", 2, 0, "out|80,al"},
        {32, S, "91", 1, 0, "xchg|ecx,eax"},
        {32, S, "8C D8", 2, 0, "mov|eax,ds"},
        {32, S, "C3", 1, 0, "retn"},
        {32, S, "CB", 1, 0, "retf"},
        {32, S, "C9", 1, 0, "leave"},
        {32, S, "9B", 1, 0, "fwait"},
        {32, S, "EB FE", 2, 0, "jmps|00401000"},
        {32, S, "74 00", 2, 0, "jz|00401002"},
        {32, S, "7F 00", 2, 0, "jg|00401002"},
        {32, S, "0F 84 00 00 00 00", 6, 0, "jz|00401006"},
        {32, S, "0F 8C 00 00 00 00", 6, 0, "jl|00401006"},
        {32, S, "E2 FE", 2, 0, "loop|00401000"},
        {32, S, "E0 FE", 2, 0, "loopne|00401000"},
        {32, S, "E1 FE", 2, 0, "loope|00401000"},
    };
    CheckRows(rows);
}

TEST(Decode, MnemonicNameOutsideTheTable) {
    EXPECT_STREQ(MnemonicName(0), "#UD");
    EXPECT_STREQ(MnemonicName(1), "#3D");
    EXPECT_STREQ(MnemonicName(2), "#ICE1");
    EXPECT_STREQ(MnemonicName(1196), "<n/a>");
    EXPECT_STREQ(MnemonicName(0xFFFFFFFF), "<n/a>");
}
