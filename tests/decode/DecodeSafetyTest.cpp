// Buffer safety and whole-table properties: run natively under AddressSanitizer, every read past the
// given bytes is caught.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "tests/decode/DecodeTestUtil.h"

using decode_test::Hex;

namespace {

constexpr uint32_t S = kStartupOptions;
const int kModes[] = {16, 32, 64};

bool KnownError(unsigned e) {
    return e == 0 || e == 1 || e == 2 || e == 3 || e == 4 || e == 9 || e == 10;
}

// Decodes from a heap block of exactly `size` bytes.
unsigned DecodeExact(IA32_INSN& insn, int mode, uint32_t options, const uint8_t* bytes, size_t size) {
    std::unique_ptr<uint8_t[]> block(new uint8_t[size ? size : 1]);
    if (size)
        std::memcpy(block.get(), bytes, size);
    unsigned len = DecodeInstruction(insn, static_cast<uint8_t>(mode), 0x1000, block.get(), size, options);
    insn.bytes = nullptr;                  // the block is gone
    insn.opcodeBytes = nullptr;
    for (auto& op : insn.operands)
        op.insn = nullptr;
    return len;
}

std::string Text(const IA32_INSN& insn) {
    char text[kInsnTextSize];
    return FormatInstruction(insn, text, sizeof text, nullptr, nullptr);
}

}  // namespace

TEST(DecodeSafety, LongInstructionsCutAtEveryLength) {
    const char* const rows[] = {
        "66 67 F0 2E 81 84 88 11 22 33 44 55 66 77 88",
        "26 2E 36 3E 64 65 66 67 F2 F3 0F 0F 84 88 11 22 33 44 9E",
        "66 66 66 66 66 66 66 66 66 66 66 66 66 66 66 66",
        "66 66 66 66 66 66 66 66 66 66 66 66 66 66 9B DD 3E",
        "F0 F0 F0 F0 F0 F0 F0 F0 F0 F0 F0 F0 F0 0F 0F",
        "48 B8 11 22 33 44 55 66 77 88",
        "CD 20 01 00 02 00",
        "9A 11 22 33 44 55 66",
        "C7 84 88 11 22 33 44 55 66 77 88",
        "67 C7 86 11 22 33 44",
        "9B DF E0",
        "CC CC CC CC CC CC CC CC CC CC CC CC CC CC CC CC CC",
        "90 90 90 90 90 90 90 90 90 90 90 90 90 90 90 90 90",
    };
    for (const char* row : rows) {
        auto bytes = Hex(row);
        for (int mode : kModes) {
            for (uint32_t options : {0u, S, S | 0x1u}) {
                for (size_t size = 0; size <= bytes.size() && size <= 16; ++size) {
                    SCOPED_TRACE(testing::Message() << row << " mode " << mode << " size " << size);
                    IA32_INSN insn;
                    unsigned len = DecodeExact(insn, mode, options, bytes.data(), size);
                    EXPECT_GE(len, 1u);
                    EXPECT_LE(len, 15u);
                    EXPECT_TRUE(KnownError(insn.error));
                    EXPECT_LT(Text(insn).size(), 200u);
                }
            }
        }
    }
}

// Every one-byte opcode with every second byte, alone and behind 0F, in buffers of exactly one, two and
// three bytes.
TEST(DecodeSafety, EveryOpcodeAndModrmInShortBuffers) {
    for (int mode : kModes) {
        for (unsigned a = 0; a < 256; ++a) {
            for (unsigned b = 0; b < 256; ++b) {
                const uint8_t one[3] = {static_cast<uint8_t>(a), static_cast<uint8_t>(b), 0};
                const uint8_t two[3] = {0x0F, static_cast<uint8_t>(a), static_cast<uint8_t>(b)};
                for (const uint8_t* bytes : {one, two}) {
                    for (size_t size = (b == 0 ? 1 : 2); size <= 3; ++size) {
                        IA32_INSN insn;
                        unsigned len = DecodeExact(insn, mode, S, bytes, size);
                        if (len < 1 || len > 15 || !KnownError(insn.error))
                            FAIL() << "mode " << mode << " " << a << " " << b << " size " << size;
                    }
                }
            }
        }
    }
}

// The result depends on the instruction's own bytes only. The lock check is the one exception: it
// looks at the ModRM byte while the length stops before it.
TEST(DecodeSafety, BytesPastTheLengthNeverChangeTheResult) {
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<uint8_t>(seed >> 16);
    };
    const uint8_t favoured[] = {0x0F, 0x66, 0x67, 0xF0, 0xF3, 0x48, 0x41, 0x9B, 0xD9, 0xDD, 0xCC, 0x90, 0x26};
    for (int round = 0; round < 60000; ++round) {
        uint8_t bytes[24];
        for (uint8_t& b : bytes)
            b = (next() & 3) == 0 ? favoured[next() % sizeof favoured] : next();
        const int mode = kModes[round % 3];
        const uint32_t options = (round & 4) ? S | 0x1 : 0;
        IA32_INSN full;
        unsigned len = DecodeExact(full, mode, options, bytes, sizeof bytes);
        if (full.error == kErrorLock)
            continue;
        IA32_INSN cut;
        unsigned cutLen = DecodeExact(cut, mode, options, bytes, len);
        ASSERT_EQ(cutLen, len) << round;
        ASSERT_EQ(cut.error, full.error) << round;
        ASSERT_EQ(Text(cut), Text(full)) << round;
    }
}

TEST(DecodeSafety, TextIsCutToTheCapacity) {
    IA32_INSN insn;
    auto bytes = Hex("F0 0F C7 8C 88 11 22 33 44");
    DecodeInstruction(insn, 32, 0x1000, bytes.data(), bytes.size(), S);
    const std::string whole = Text(insn);
    for (size_t capacity = 1; capacity <= whole.size() + 2; ++capacity) {
        std::vector<char> out(capacity + 1, '#');
        FormatInstruction(insn, out.data(), capacity, nullptr, nullptr);
        EXPECT_EQ(std::string(out.data()), whole.substr(0, capacity - 1));
        EXPECT_EQ(out[capacity], '#');                                // nothing written past it
    }
}

// Buffers of 32 bytes and more are read in place: the longest reach of one decode must stay inside them.
TEST(DecodeSafety, LongBuffersAreReadInPlaceWithinBounds) {
    uint32_t seed = 777;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<uint8_t>(seed >> 24);
    };
    const uint8_t prefixes[] = {0x66, 0x67, 0xF0, 0xF2, 0xF3, 0x2E, 0x9B, 0x48};
    for (int round = 0; round < 20000; ++round) {
        uint8_t bytes[32];
        const unsigned run = next() % 16;
        for (unsigned i = 0; i < 32; ++i)
            bytes[i] = i < run ? prefixes[next() % sizeof prefixes] : next();
        if (round & 1) {
            bytes[run < 14 ? run : 13] = 0x0F;                         // two-byte map near the limit
            bytes[run < 14 ? run + 1 : 14] = (round & 2) ? 0x0F : 0xBA;
        }
        IA32_INSN insn;
        unsigned len = DecodeExact(insn, kModes[round % 3], S | 0x1, bytes, sizeof bytes);
        ASSERT_GE(len, 1u);
        ASSERT_LE(len, 15u);
    }
}

namespace {

// The record without its pointers, for comparing two decodes.
std::vector<uint8_t> RecordBytes(IA32_INSN insn) {
    insn.bytes = nullptr;
    insn.opcodeBytes = nullptr;
    for (auto& op : insn.operands)
        op.insn = nullptr;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&insn);
    return std::vector<uint8_t>(p, p + sizeof insn);
}

}  // namespace

// A sixteenth byte never belongs to an instruction, so it decides nothing about one at the limit.
TEST(DecodeSafety, ByteSixteenNeverMatters) {
    const char* const heads[] = {
        "F0 3E 3E 3E 3E 3E 3E 3E 3E 3E 3E 3E 3E 3E 81",            // its ModRM would be byte 16
        "66 66 66 66 66 66 66 66 66 66 66 66 66 66 76",            // jbe: the displacement
        "66 66 66 66 66 66 66 66 66 66 66 66 66 66 66",            // a prefix as byte 16
        "66 66 66 66 66 66 66 66 66 66 66 66 66 66 9B",            // 9B looks two bytes ahead
        "36 36 36 36 36 36 36 36 36 36 36 36 36 9B DD",            // ... and would fold with a 3E there
        "66 66 66 66 66 66 66 66 66 66 66 66 66 0F 01",
        "66 66 66 66 66 66 66 66 66 66 66 66 66 0F 0F",
    };
    for (const char* head : heads) {
        for (int mode : kModes) {
            SCOPED_TRACE(testing::Message() << head << " mode " << mode);
            auto bytes = Hex(head);
            bytes.push_back(0x04);
            bytes.push_back(0x24);
            IA32_INSN a, b;
            DecodeInstruction(a, static_cast<uint8_t>(mode), 0x1000, bytes.data(), bytes.size(), S);
            const auto first = RecordBytes(a);
            for (unsigned v : {0x00u, 0x66u, 0x67u, 0xC0u, 0xDFu, 0xFFu}) {
                bytes[15] = static_cast<uint8_t>(v);
                DecodeInstruction(b, static_cast<uint8_t>(mode), 0x1000, bytes.data(), bytes.size(), S);
                EXPECT_EQ(RecordBytes(b), first) << std::hex << v;
            }
        }
    }
    const struct {
        const char* bytes;
        unsigned length;
        unsigned error;
    } rows[] = {
        {"F0 3E 3E 3E 3E 3E 3E 3E 3E 3E 3E 3E 3E 3E 81 04 24", 15, 9},
        {"F0 3E 3E 3E 3E 3E 3E 3E 3E 3E 3E 3E 3E 3E 81 FF", 15, 9},
        {"66 66 66 66 66 66 66 66 66 66 66 66 66 66 9B DF E0", 15, 0},   // fwait: 15 bytes, fine
        {"36 36 36 36 36 36 36 36 36 36 36 36 36 9B DD 3E", 14, 0},      // fwait, not fstsw past the limit
    };
    for (const auto& r : rows) {
        auto d = decode_test::Decode(32, S, Hex(r.bytes));
        EXPECT_EQ(d.length, r.length) << r.bytes;
        EXPECT_EQ(d.error, r.error) << r.bytes;
    }
}

// Addresses are any 64-bit value: sums with them wrap.
TEST(DecodeSafety, AddressesAtTheEndsOfTheRange) {
    const char* const rows[] = {"26 26 26 26 26 26 26 26 26 26 26 26 26 90", "E8 00 00 00 80", "EB 7F",
                                "8B 05 FF FF FF 7F", "0F 84 FF FF FF 7F"};
    for (const char* row : rows) {
        for (int64_t address : {INT64_MAX - 8, INT64_MAX, INT64_MIN, INT64_MIN + 3}) {
            auto bytes = Hex(row);
            IA32_INSN insn;
            DecodeInstruction(insn, 64, address, bytes.data(), bytes.size(), S);
            DECODE_TARGET t[2];
            DecodeTargets(insn, t);
            EXPECT_FALSE(Text(insn).empty());
        }
    }
}
