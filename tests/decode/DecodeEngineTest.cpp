// The engine over a fake document: reads, segments, names, targets and instruction starts.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "decode/DecodeEngineIa32.h"
#include "tests/decode/DecodeTestUtil.h"

using decode_test::Expand;
using decode_test::Hex;

namespace {

// One segment of bytes at `base`, plus names.
class FakeDocument : public BDecodeSource {
public:
    FakeDocument(int64_t base, std::vector<uint8_t> bytes) : base_(base), bytes_(std::move(bytes)) {}

    size_t ReadBytes(int64_t address, uint8_t* out, size_t count) override {
        if (!IsInSegment(address))
            return 0;
        size_t at = static_cast<size_t>(address - base_);
        size_t n = std::min(count, bytes_.size() - at);
        std::copy(bytes_.begin() + static_cast<std::ptrdiff_t>(at), bytes_.begin() + static_cast<std::ptrdiff_t>(at + n), out);
        return n;
    }
    bool IsInSegment(int64_t address) override {
        return address >= base_ && address < base_ + static_cast<int64_t>(bytes_.size());
    }
    bool FirstNameAt(int64_t address, char16_t* out, size_t capacity) override {
        auto it = names_.find(address);
        if (it == names_.end() || capacity == 0)
            return false;
        size_t n = std::min(capacity - 1, it->second.size());
        std::copy(it->second.begin(), it->second.begin() + static_cast<std::ptrdiff_t>(n), out);
        out[n] = 0;
        return true;
    }
    void Name(int64_t address, std::u16string name) { names_[address] = std::move(name); }

private:
    int64_t base_;
    std::vector<uint8_t> bytes_;
    std::map<int64_t, std::u16string> names_;
};

std::string Narrow(const wchar_t* text) {
    std::string s;
    for (; *text; ++text)
        s += static_cast<char>(*text);
    return s;
}

constexpr int64_t kBase = 0x401000;

}  // namespace

TEST(DecodeEngine, OutsideEverySegmentIsUndefined) {
    FakeDocument doc(kBase, Hex("C3"));
    DecodeEngineIa32 engine(&doc, 32);
    EXPECT_EQ(engine.DecodeAt(0x500000), 1u);
    EXPECT_TRUE(engine.IsUndefined());
    DECODE_TARGET t[2];
    EXPECT_EQ(engine.GetTargets(t), 0);
    EXPECT_EQ(Narrow(engine.GetText()), "#UD");
}

TEST(DecodeEngine, ReadsAreZeroFilledPastTheSegment) {
    FakeDocument doc(kBase, Hex("90 E8 00"));
    DecodeEngineIa32 engine(&doc, 32);
    EXPECT_EQ(engine.DecodeAt(kBase + 1), 5u);                         // E8 00 then zeros
    const uint8_t* bytes = engine.GetBytes();
    EXPECT_EQ(bytes[0], 0xE8);
    for (int i = 2; i < 16; ++i)
        EXPECT_EQ(bytes[i], 0) << i;
    EXPECT_FALSE(engine.IsUndefined());
}

TEST(DecodeEngine, InsnStartAt) {
    // push ebp / mov ebp,esp / sub esp,10 / call
    FakeDocument doc(kBase, Hex("55 8B EC 83 EC 10 E8 00 00 00 00 C3"));
    DecodeEngineIa32 engine(&doc, 32);
    EXPECT_EQ(engine.InsnStartAt(kBase + 3, kBase + 3), kBase + 3);
    EXPECT_EQ(engine.InsnStartAt(kBase + 5, kBase + 2), kBase + 5);   // from past the address
    EXPECT_EQ(engine.InsnStartAt(kBase, kBase + 2), kBase + 1);
    EXPECT_EQ(engine.InsnStartAt(kBase, kBase + 3), kBase + 3);
    EXPECT_EQ(engine.InsnStartAt(kBase, kBase + 8), kBase + 6);
    // From before the segment: decoding starts where the segment does.
    EXPECT_EQ(engine.InsnStartAt(kBase - 0x1000, kBase + 2), kBase + 1);
    EXPECT_EQ(engine.InsnStartAt(kBase - 0x10, kBase + 4), kBase + 3);
}

TEST(DecodeEngine, InsnStartAtRestartsFarBackWindows) {
    // B8 repeated: every 5-byte step from the window's start is an instruction boundary.
    FakeDocument doc(kBase, std::vector<uint8_t>(1000, 0xB8));
    DecodeEngineIa32 engine(&doc, 32);
    const int64_t address = kBase + 600;
    EXPECT_EQ(engine.InsnStartAt(address - 240, address), address);
    EXPECT_EQ(engine.InsnStartAt(address - 300, address), address - 1);   // restarts at address - 241
}

TEST(DecodeEngine, Targets) {
    struct Row {
        int mode;
        const char* bytes;
        int count;
        int64_t target0;
        uint32_t flags0;
        int64_t target1;
    };
    const Row rows[] = {
        {32, "E8 FB 0F 00 00", 1, kBase + 0x1000, kTargetCall, 0},
        {32, "E9 FB 0F 00 00", 1, kBase + 0x1000, 0, 0},
        {32, "0F 84 FA 0F 00 00", 1, kBase + 0x1000, 0, 0},
        {32, "EB FE", 1, kBase, 0, 0},
        {32, "FF 15 00 20 40 00", 1, 0x402000, kTargetCallSlot, 0},
        {32, "FF 25 00 20 40 00", 1, 0x402000, 0, 0},
        {32, "68 00 30 40 00", 1, 0x403000, 0, 0},
        {32, "68 00 00 00 80", 1, 0x80000000, 0, 0},                     // zero-extended
        {32, "6A 10", 0, 0, 0, 0},
        {32, "C7 05 00 20 40 00 00 30 40 00", 2, 0x402000, 0, 0x403000},
        {32, "A1 00 20 40 00", 1, 0x402000, 0, 0},
        {32, "8B 45 F8", 0, 0, 0, 0},
        {32, "8B 85 00 20 40 00", 1, 0x402000, 0, 0},
        {32, "B8 00 30 40 00", 1, 0x403000, 0, 0},
        {32, "05 00 30 40 00", 0, 0, 0, 0},                             // add: an immediate, not an address
        {32, "66 E8 FC FF", 1, 0x1000, kTargetCall, 0},                  // 16-bit target, from the operand
        {16, "E8 FD 0F", 1, kBase + 0x1000, kTargetCall, 0},             // 16-bit displacement
        {64, "FF 15 FA 0F 00 00", 1, kBase + 0x1000, kTargetCallSlot, 0},  // RIP-relative slot
        {64, "E8 FB 0F 00 00", 1, kBase + 0x1000, kTargetCall, 0},
        {32, "0F 10 C0", 0, 0, 0, 0},                                   // error: no targets
        {32, "F0 E8 00 00 00 00", 0, 0, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.bytes);
        FakeDocument doc(kBase, Hex(r.bytes));
        DecodeEngineIa32 engine(&doc, static_cast<uint8_t>(r.mode));
        engine.DecodeAt(kBase);
        DECODE_TARGET t[2];
        ASSERT_EQ(engine.GetTargets(t), r.count);
        if (r.count > 0) {
            EXPECT_EQ(t[0].address, r.target0);
            EXPECT_EQ(t[0].flags, r.flags0);
        }
        if (r.count > 1) {
            EXPECT_EQ(t[1].address, r.target1);
        }
    }
}

TEST(DecodeEngine, NamesInText) {
    std::vector<uint8_t> bytes(0x40, 0x90);
    auto put = [&](size_t at, const char* hex) {
        auto b = Hex(hex);
        std::copy(b.begin(), b.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    };
    put(0x00, "E8 1B 00 00 00");                  // call 401020
    put(0x05, "8B 05 30 10 40 00");               // mov eax,[401030]
    put(0x0B, "64 8B 05 30 10 40 00");            // segment and name
    put(0x12, "8B 04 85 30 10 40 00");            // table with index
    put(0x19, "E8 0A 00 00 00");                  // call 401028: jmp [slot]
    put(0x20, "C3");
    put(0x28, "FF 25 38 10 40 00");
    put(0x1E, "EB 60");                           // jmp outside the segment
    FakeDocument doc(kBase, bytes);
    doc.Name(0x401020, u"func");
    doc.Name(0x401030, u"table");
    doc.Name(0x401038, u"__imp_ExitProcess");
    doc.Name(0x401080, u"outside");               // named, but in no segment
    DecodeEngineIa32 engine(&doc, 32);
    const struct {
        int64_t at;
        const char* text;
    } rows[] = {
        {kBase + 0x00, "call|func"},
        {kBase + 0x05, "mov|eax,[table]"},
        {kBase + 0x0B, "mov|eax,[table]"},
        {kBase + 0x12, "mov|eax,[eax]*4[table]"},
        {kBase + 0x19, "call|__imp_ExitProcess"},
        {kBase + 0x1E, "jmps|00401080"},
    };
    for (const auto& r : rows) {
        engine.DecodeAt(r.at);
        EXPECT_EQ(Narrow(engine.GetText()), Expand(r.text)) << std::hex << r.at;
    }
}

// In 64-bit code FF 25 is RIP-relative: the thunk's name is that of the slot after the thunk's end
// plus the displacement, not of the displacement read as an address.
TEST(DecodeEngine, ThunkSlotsOf64BitCode) {
    std::vector<uint8_t> bytes(0x40, 0x90);
    auto put = [&](size_t at, const char* hex) {
        auto b = Hex(hex);
        std::copy(b.begin(), b.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    };
    put(0x00, "E8 1B 00 00 00");                  // call 401020: jmp [rip+0x12] = [401038]
    put(0x05, "E8 26 00 00 00");                  // call 401030: jmp [rip-0x36] = [401000]
    put(0x20, "FF 25 12 00 00 00");
    put(0x30, "FF 25 CA FF FF FF");
    FakeDocument doc(kBase, bytes);
    doc.Name(0x401038, u"__imp_ExitProcess");
    doc.Name(0x12, u"wrong");                     // the displacement read as an address
    doc.Name(kBase, u"start");
    DecodeEngineIa32 engine(&doc, 64);
    engine.DecodeAt(kBase);
    EXPECT_EQ(Narrow(engine.GetText()), Expand("call|__imp_ExitProcess"));
    engine.DecodeAt(kBase + 5);
    EXPECT_EQ(Narrow(engine.GetText()), Expand("call|start"));
    // The same bytes in 32-bit code read the field as the slot's address.
    DecodeEngineIa32 engine32(&doc, 32);
    engine32.DecodeAt(kBase);
    EXPECT_EQ(Narrow(engine32.GetText()), Expand("call|wrong"));
}

TEST(DecodeEngine, LongAndWideNamesAreNarrowedAndCut) {
    FakeDocument doc(kBase, Hex("E8 FB 0F 00 00 C3"));
    std::u16string name(300, u'a');
    name[0] = u'\u00E9';
    doc.Name(kBase + 0x1000, name);
    DecodeEngineIa32 engine(&doc, 32);
    engine.DecodeAt(kBase);
    // The target is outside this document's one segment: no name.
    EXPECT_EQ(Narrow(engine.GetText()), Expand("call|00402000"));

    std::vector<uint8_t> code(0x1010, 0xC3);
    code[0] = 0xE8, code[1] = 0xFB, code[2] = 0x0F, code[3] = 0, code[4] = 0;
    FakeDocument doc2(kBase, code);
    doc2.Name(kBase + 0x1000, name);
    DecodeEngineIa32 engine2(&doc2, 32);
    engine2.DecodeAt(kBase);
    const wchar_t* text = engine2.GetText();
    std::wstring w(text);
    ASSERT_EQ(w.size(), 13u + 254u);
    EXPECT_EQ(w[13], static_cast<wchar_t>(0xE9));
}

TEST(DecodeEngine, CloneKeepsItsOwnRecord) {
    FakeDocument doc(kBase, Hex("C3 55"));
    DecodeEngineIa32 engine(&doc, 32);
    engine.DecodeAt(kBase);
    auto clone = engine.Clone();
    EXPECT_EQ(clone->Bitness(), 32);
    EXPECT_EQ(clone->Source(), &doc);
    EXPECT_TRUE(clone->IsUndefined());                                 // empty record
    clone->DecodeAt(kBase + 1);
    EXPECT_EQ(Narrow(clone->GetText()), Expand("push|ebp"));
    EXPECT_EQ(Narrow(engine.GetText()), "retn");
}

TEST(DecodeEngine, ClonesReuseFreedEnginesWithAnEmptyRecord) {
    FakeDocument doc(kBase, Hex("55 C3"));
    DecodeEngineIa32 engine(&doc, 32);
    auto first = engine.Clone();
    first->DecodeAt(kBase);
    EXPECT_EQ(Narrow(first->GetText()), Expand("push|ebp"));
    const void* block = first.get();
    first.reset();
    auto second = engine.Clone();
    EXPECT_EQ(static_cast<const void*>(second.get()), block);
    EXPECT_TRUE(second->IsUndefined());
    DECODE_TARGET t[2];
    EXPECT_EQ(second->GetTargets(t), 0);
    second->DecodeAt(kBase + 1);
    EXPECT_EQ(Narrow(second->GetText()), "retn");
}

TEST(DecodeEngine, DecodeBytesUsesTheGivenBuffer) {
    DecodeEngineIa32 engine(nullptr, 64);
    const uint8_t bytes[] = {0x48, 0x8B, 0x45, 0xF8};
    EXPECT_EQ(engine.DecodeBytes(0x140001000, bytes, sizeof bytes), 4u);
    EXPECT_EQ(Narrow(engine.GetText()), Expand("mov|rax,[rbp][-8]"));
    EXPECT_EQ(engine.Insn().opcodeAddress, 0x140001001);
}

TEST(DecodeEngine, RelativeTargetsAbove4GB) {
    DecodeEngineIa32 engine(nullptr, 64);
    const uint8_t call[] = {0xE8, 0x00, 0x00, 0x00, 0x00};
    engine.DecodeBytes(0x140001000, call, sizeof call);
    EXPECT_EQ(Narrow(engine.GetText()), Expand("call|140001005"));
    DecodeEngineIa32 engine32(nullptr, 32);
    const uint8_t back[] = {0xEB, 0x80};
    engine32.DecodeBytes(0x10, back, sizeof back);
    EXPECT_EQ(Narrow(engine32.GetText()), Expand("jmps|0FFFFFF92"));
}

TEST(DecodeOptionsWord, StartUpValue) {
    SetDecodeOptions();
    EXPECT_EQ(DecodeOptions(), 0x30600u);
}

TEST(DecodeEngine, InsnStartAtNearTheEndsOfTheRange) {
    FakeDocument doc(INT64_MAX - 0x200, std::vector<uint8_t>(0x180, 0x90));
    DecodeEngineIa32 engine(&doc, 64);
    EXPECT_EQ(engine.InsnStartAt(INT64_MIN, INT64_MAX - 0x100), INT64_MAX - 0x100);
    EXPECT_EQ(engine.InsnStartAt(INT64_MAX - 0x110, INT64_MAX - 0x100), INT64_MAX - 0x100);
    EXPECT_EQ(engine.InsnStartAt(INT64_MAX - 20, INT64_MAX), INT64_MAX);
}

TEST(DecodeEngine, RegisterNameTableByGroup) {
    struct Row { unsigned group, number; const char* text; };
    const Row rows[] = {
        {0, 5, "gs"}, {0, 6, "?s"}, {1, 4, "ah"}, {2, 7, "di"}, {3, 0, "eax"}, {4, 7, "st(7)"},
        {4, 8, "st?"}, {5, 15, "r15"}, {6, 15, "mm?"}, {7, 0, ""}, {8, 15, ""}, {9, 1, "CR1"},
        {9, 8, "cr8"}, {9, 9, "CR?"}, {10, 4, "DR4"}, {10, 8, "DR?"}, {11, 6, "tr6"}, {11, 8, "TR?"},
        {12, 0, ""}, {0, 16, ""},
    };
    for (const Row& r : rows)
        EXPECT_STREQ(r.text, BDecodeEngine::RegisterNameText(r.group, r.number)) << r.group << "/" << r.number;
}
