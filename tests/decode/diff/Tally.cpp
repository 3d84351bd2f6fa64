#include "tests/decode/diff/Tally.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool In(uint8_t v, std::initializer_list<uint8_t> set) {
    return std::find(set.begin(), set.end(), v) != set.end();
}

bool Between(uint8_t v, uint8_t lo, uint8_t hi) { return v >= lo && v <= hi; }

unsigned Reg(const ByteFacts& f) { return (f.modrm >> 3) & 7; }
bool RegisterForm(const ByteFacts& f) { return (f.modrm >> 6) == 3; }

// Rows of the two-byte map that hold vector instructions: invalid in every mode.
bool IsVectorRow(uint8_t op) {
    return Between(op, 0x10, 0x17) || Between(op, 0x28, 0x2F) || Between(op, 0x50, 0x76) ||
           In(op, {0x78, 0x79, 0xB8, 0xC2}) || Between(op, 0x7C, 0x7F) || Between(op, 0xC4, 0xC6) ||
           Between(op, 0xD0, 0xFE);
}

// One-byte opcodes that exist only outside 64-bit mode.
bool IsLegacyOnly(uint8_t op) {
    return In(op, {0x06, 0x07, 0x0E, 0x16, 0x17, 0x1E, 0x1F, 0x27, 0x2F, 0x37, 0x3F, 0x60, 0x61, 0x62,
                   0x82, 0x9A, 0xC4, 0xC5, 0xCE, 0xD4, 0xD5, 0xD6, 0xEA}) ||
           Between(op, 0x40, 0x4F);
}

// Cells our tables leave "#UD" on purpose (groups, the 0F 01 register forms, the unused two-byte
// rows), where newer instructions or other readings live.
bool IsUndefinedCell(const ByteFacts& f) {
    const unsigned reg = Reg(f);
    const bool r = RegisterForm(f);
    if (f.map == 0) {
        switch (f.opcode) {
        case 0x8F: case 0xC6: case 0xC7: return reg != 0;
        case 0xFE: return reg > 1;
        case 0xFF: return reg == 7 || (r && (reg == 3 || reg == 5));
        default: return Between(f.opcode, 0xD8, 0xDF);          // x87 cells without an entry
        }
    }
    if (f.map != 0x0F)
        return false;
    switch (f.opcode) {
    case 0x00: return reg >= 6;
    case 0x01: return r ? reg != 4 && reg != 6 : reg == 5;
    case 0x18: return r;
    case 0xAE: return r ? reg <= 4 : reg == 6;
    case 0xBA: return reg <= 3;
    case 0x0F: return true;                                      // 3DNow! suffix without a name
    default:
        return In(f.opcode, {0x04, 0x0A, 0x0C, 0x25, 0x27, 0x36, 0x39, 0x7A, 0x7B, 0xA6, 0xA7, 0xFF}) ||
               Between(f.opcode, 0x3B, 0x3F);
    }
}

// Instructions that take a lock prefix with a memory operand.
bool IsLockable(const ByteFacts& f) {
    const unsigned reg = Reg(f);
    if (RegisterForm(f))
        return false;
    if (f.map == 0)
        return In(f.opcode, {0x00, 0x01, 0x08, 0x09, 0x10, 0x11, 0x18, 0x19, 0x20, 0x21, 0x28, 0x29, 0x30, 0x31,
                             0x86, 0x87}) ||
               (Between(f.opcode, 0x80, 0x83) && reg != 7) || (In(f.opcode, {0xF6, 0xF7}) && (reg == 2 || reg == 3)) ||
               (In(f.opcode, {0xFE, 0xFF}) && reg <= 1);
    if (f.map == 0x0F)
        return In(f.opcode, {0xAB, 0xB3, 0xBB, 0xB0, 0xB1, 0xC0, 0xC1}) || (f.opcode == 0xBA && reg >= 5) ||
               (f.opcode == 0xC7 && reg == 1);
    return false;
}

// The bytes after a 9B that fold it into the next instruction.
bool WaitFolds(const uint8_t* next) {
    return (next[0] == 0xDF && next[1] == 0xE0) || (next[0] == 0xDB && (next[1] == 0xE2 || next[1] == 0xE3)) ||
           ((next[0] == 0xD9 || next[0] == 0xDD) && next[1] >= 0x30 && next[1] <= 0x3F);
}

struct Convention {
    const char* name;
    bool (*match)(const DiffCase&, const FormDifference&);
};

const Convention kConventions[] = {
    {"vector opcodes (0F map rows, 0F 38, 0F 3A) decode as #UD(n)",
     [](const DiffCase& c, const FormDifference&) {
         return c.ourError == 2 && (c.facts.map == 0x38 || c.facts.map == 0x3A ||
                                    (c.facts.map == 0x0F && IsVectorRow(c.facts.opcode)));
     }},
    {"opcodes of 16/32-bit code are invalid in 64-bit mode",
     [](const DiffCase& c, const FormDifference&) {
         return c.ourError == 2 && c.facts.bitness == 64 && c.facts.map == 0 && IsLegacyOnly(c.facts.opcode);
     }},
    {"syscall, sysret and swapgs are 64-bit-mode only",
     [](const DiffCase& c, const FormDifference&) {
         return c.ourError == 2 && c.facts.bitness != 64 && c.facts.map == 0x0F &&
                (In(c.facts.opcode, {0x05, 0x07}) || (c.facts.opcode == 0x01 && c.facts.modrm == 0xF8));
     }},
    {"both invalid: the length is each decoder's own rule (ours: full length after errors 3 and 4)",
     [](const DiffCase&, const FormDifference& d) { return d.field == "length (both invalid)"; }},
    {"one two-byte map for every prefix: 66/F2/F3/67 do not change a 0F opcode",
     [](const DiffCase& c, const FormDifference& d) {
         const bool prefixed = c.facts.Has(0x66) || c.facts.Has(0xF2) || c.facts.Has(0xF3) || c.facts.Has(0x67);
         return c.facts.map == 0x0F && prefixed && c.ourError == 0 &&
                (d.field == "validity: objdump invalid" || d.field == "mnemonic");
     }},
    {"control registers past cr8 print CR?",
     [](const DiffCase& c, const FormDifference& d) {
         return d.field == "register" && c.facts.map == 0x0F && In(c.facts.opcode, {0x20, 0x22});
     }},
    {"debug registers take no REX.R (dr8-dr15 do not exist)",
     [](const DiffCase& c, const FormDifference& d) {
         return d.field == "register" && c.facts.map == 0x0F && In(c.facts.opcode, {0x21, 0x23}) &&
                (c.facts.rex & 4);
     }},
    {"Ew register operands are 16-bit (lar, lsl, mov to a segment register)",
     [](const DiffCase& c, const FormDifference& d) {
         return d.field == "register" && RegisterForm(c.facts) &&
                ((c.facts.map == 0x0F && In(c.facts.opcode, {0x02, 0x03})) ||
                 (c.facts.map == 0 && c.facts.opcode == 0x8E));
     }},
    {"test registers (0F 24, 0F 26) are valid in 64-bit mode",
     [](const DiffCase& c, const FormDifference& d) {
         return c.facts.bitness == 64 && c.facts.map == 0x0F && In(c.facts.opcode, {0x24, 0x26}) &&
                d.field == "validity: objdump invalid";
     }},
    {"90 with any REX byte is xchg",
     [](const DiffCase& c, const FormDifference&) {
         return c.facts.map == 0 && c.facts.opcode == 0x90 && c.facts.rex != 0 && c.ours.mnemonic == "xchg";
     }},
    {"64-bit mode: 66-prefixed near branches are not cut to 16 bits",
     [](const DiffCase& c, const FormDifference& d) {
         return c.facts.bitness == 64 && c.facts.Has(0x66) && d.field == "target";
     }},
    {"pushf/popf names follow 66 and the mode (REX.W aside)",
     [](const DiffCase& c, const FormDifference& d) {
         return c.facts.bitness == 64 && c.facts.map == 0 && In(c.facts.opcode, {0x9C, 0x9D}) &&
                d.field == "mnemonic" && (c.facts.rex & 8) && c.facts.Has(0x66);
     }},
    {"0F 18 /4-/7 are nop (objdump: prefetchit0/1 and others)",
     [](const DiffCase& c, const FormDifference&) {
         return c.facts.map == 0x0F && c.facts.opcode == 0x18 && Reg(c.facts) >= 4 && c.ours.mnemonic == "nop";
     }},
    {"fences take any rm (0F AE register row by reg)",
     [](const DiffCase& c, const FormDifference& d) {
         return c.facts.map == 0x0F && c.facts.opcode == 0xAE && RegisterForm(c.facts) && Reg(c.facts) >= 5 &&
                d.field == "validity: objdump invalid";
     }},
    {"aam/aad show their base only when it is not 10",
     [](const DiffCase& c, const FormDifference& d) {
         return c.facts.map == 0 && In(c.facts.opcode, {0xD4, 0xD5}) && c.facts.modrm == 0x0A &&
                d.field == "operand count";
     }},
    {"3DNow! with 66 keeps MMX registers (objdump: xmm)",
     [](const DiffCase& c, const FormDifference&) {
         return c.facts.map == 0x0F && c.facts.opcode == 0x0F && c.facts.Has(0x66);
     }},
    {"lock and rep share one field: the last of F0/F2/F3 wins",
     [](const DiffCase& c, const FormDifference& d) {
         uint8_t last = 0;
         for (uint8_t p : c.facts.prefixes)
             if (In(p, {0xF0, 0xF2, 0xF3}))
                 last = p;
         return d.field == "prefix" && c.theirs.prefix == "lock" && last != 0xF0;
     }},
    {"3E on an indirect branch is ds: (objdump: notrack)",
     [](const DiffCase& c, const FormDifference& d) {
         return d.field == "segment" && c.facts.Has(0x3E) && c.facts.map == 0 && c.facts.opcode == 0xFF;
     }},
    {"64-bit mode: far pointers with REX.W are m16:64, call/jmp through r/m are 64-bit",
     [](const DiffCase& c, const FormDifference& d) {
         return c.facts.bitness == 64 && (d.field == "memory size" || d.field == "register") &&
                c.facts.map == 0 && c.facts.opcode == 0xFF && In(uint8_t(Reg(c.facts)), {2, 3, 4, 5});
     }},
    {"64-bit mode: a legacy prefix after REX is an opcode (#UD)",
     [](const DiffCase& c, const FormDifference&) {
         static const char* const kPrefixNames[] = {"#UD", "es:", "cs:", "ss:", "ds:", "fs:", "gs:",
                                                    "lock", "repne", "repe"};
         if (c.facts.bitness != 64 || c.theirs.status != InsnForm::kPrefixOnly ||
             c.theirs.mnemonic.compare(0, 3, "rex") != 0)
             return false;
         if (c.ourError == 10)            // the lock before it, on a byte that takes none
             return true;
         for (const char* n : kPrefixNames)
             if (c.ours.mnemonic == n)
                 return true;
         return false;
     }},
    {"objdump lists a REX before 9B on its own",
     [](const DiffCase& c, const FormDifference&) {
         return c.theirs.status == InsnForm::kPrefixOnly && c.facts.map == 0 && c.facts.opcode == 0x9B;
     }},
    {"table cells left #UD (group rows, 0F 01 forms, unused 0F rows, x87, 3DNow! suffixes)",
     [](const DiffCase& c, const FormDifference&) {
         return (c.ours.status == InsnForm::kUndefined || c.ours.mnemonic == "#3D") &&
                IsUndefinedCell(c.facts);
     }},
    {"9B folds only into fnstsw/fnclex/fninit and D9/DD /6 /7 (else fwait alone)",
     [](const DiffCase& c, const FormDifference&) {
         const size_t at = c.facts.prefixLength + 1;
         return c.ours.mnemonic == "fwait" && c.ourLength == at && c.theirLength > c.ourLength &&
                at + 2 <= c.available && !WaitFolds(c.bytes + at);
     }},
    {"lock where it is not allowed is error 10 (#UD(err))",
     [](const DiffCase& c, const FormDifference&) { return c.ourError == 10 && !IsLockable(c.facts); }},
    {"x87 alias names (fstp1, fcom2, fcomp3, fxch4, fcomp5, fxch7, fstp8, fstp9)",
     [](const DiffCase& c, const FormDifference&) {
         static const char* const kNames[] = {"fstp1", "fcom2", "fcomp3", "fxch4", "fcomp5", "fxch7",
                                              "fstp8", "fstp9"};
         for (const char* n : kNames)
             if (c.ours.mnemonic == n)
                 return true;
         return false;
     }},
    {"D6 is setalc",
     [](const DiffCase& c, const FormDifference&) { return c.ours.mnemonic == "setalc"; }},
    {"64-bit mode: es/cs/ss/ds overrides are shown on the operand",
     [](const DiffCase& c, const FormDifference& d) {
         return c.facts.bitness == 64 && d.field == "segment";
     }},
    {"a second REX byte is an invalid opcode",
     [](const DiffCase& c, const FormDifference&) {
         return c.facts.bitness == 64 && c.ourError == 2 && c.theirs.status == InsnForm::kPrefixOnly &&
                c.theirs.mnemonic.compare(0, 3, "rex") == 0;
     }},
    {"F3 0F BC/BD are bsf/bsr (no tzcnt/lzcnt)",
     [](const DiffCase& c, const FormDifference&) {
         return c.facts.map == 0x0F && In(c.facts.opcode, {0xBC, 0xBD}) &&
                (c.theirs.mnemonic == "tzcnt" || c.theirs.mnemonic == "lzcnt");
     }},
    {"0F 19-1F hint forms are nop r/m (endbr, rdssp, ...)",
     [](const DiffCase& c, const FormDifference&) {
         return c.facts.map == 0x0F && Between(c.facts.opcode, 0x19, 0x1F) && c.ours.mnemonic == "nop";
     }},
    {"movsxd takes a 64-bit destination even without REX.W",
     [](const DiffCase& c, const FormDifference&) {
         return c.facts.bitness == 64 && c.facts.map == 0 && c.facts.opcode == 0x63 && !(c.facts.rex & 8);
     }},
    {"0F C7 other than cmpxchg8b/16b, rdrand and rdseed stays a vector row (invalid)",
     [](const DiffCase& c, const FormDifference&) {
         return c.ourError == 2 && c.facts.map == 0x0F && c.facts.opcode == 0xC7 &&
                (Reg(c.facts) != 1 || RegisterForm(c.facts));
     }},
    {"segment register 6, 7 or mov to cs is error 4 (#UD(err))",
     [](const DiffCase& c, const FormDifference&) { return c.ourError == 4; }},
    {"xsave/xrstor with 66 or a lock/repeat prefix is error 1 (#UD(err))",
     [](const DiffCase& c, const FormDifference&) { return c.ourError == 1; }},
    {"shift group /6 is named sal (objdump: shl)",
     [](const DiffCase& c, const FormDifference&) {
         return c.ours.mnemonic == "sal" && c.theirs.mnemonic == "shl";
     }},
    {"0F 0D is prefetch for every ModRM reg (objdump: prefetchw, prefetchwt1)",
     [](const DiffCase& c, const FormDifference&) {
         return c.facts.map == 0x0F && c.facts.opcode == 0x0D && c.ours.mnemonic == "prefetch";
     }},
    {"C4/C5/62 are les/lds/bound outside 64-bit mode (no VEX/EVEX)",
     [](const DiffCase& c, const FormDifference&) {
         return c.facts.bitness != 64 && c.facts.map == 0 && In(c.facts.opcode, {0xC4, 0xC5, 0x62});
     }},
};

// The opcode without its ModRM byte: "0F C7", "D9".
std::string OpcodeName(const ByteFacts& f) {
    const std::string key = f.Key();
    return key.substr(0, key.find(" /"));
}

std::string Example(const DiffCase& c, const FormDifference& d) {
    char head[64];
    std::snprintf(head, sizeof head, "[%u-bit @%llX] ", unsigned(c.facts.bitness),
                  static_cast<unsigned long long>(c.address));
    const size_t n = std::min<size_t>(std::max(c.ourLength, c.theirLength), c.available);
    return head + HexBytes(c.bytes, n) + " | ours(" + std::to_string(c.ourLength) + "): " + c.ours.text +
           " | objdump(" + std::to_string(c.theirLength) + "): " + c.theirs.text + " | " + d.detail;
}

}  // namespace

const char* ConventionOf(const DiffCase& c, const FormDifference& d) {
    for (const Convention& conv : kConventions)
        if (conv.match(c, d))
            return conv.name;
    return nullptr;
}

// The record's branch target against objdump's, once the texts agree.
FormDifference CompareTargetRecord(const DiffCase& c) {
    if (!c.branch)
        return {};
    if (c.targetCount < 1)
        return {"target record", "DecodeTargets gave none"};
    for (const FormOperand& op : c.theirs.operands) {
        if (op.kind != OperandKind::Number)
            continue;
        const unsigned bits = c.facts.OperandSize() == 2 ? 16 : c.facts.bitness == 64 ? 64 : 32;
        const uint64_t mask = bits == 64 ? ~uint64_t(0) : (uint64_t(1) << bits) - 1;
        if (((uint64_t(c.firstTarget) ^ uint64_t(op.value)) & mask) != 0) {
            char detail[64];
            std::snprintf(detail, sizeof detail, "%llX vs %s", static_cast<unsigned long long>(c.firstTarget),
                          op.text.c_str());
            return {"target record", detail};
        }
        return {};
    }
    return {};
}

void Tally::Add(const DiffCase& c) {
    ++cases;
    if (c.ourLength == c.theirLength)
        ++lengthAgree;
    FormDifference d = CompareForms(c.ours, c.ourLength, c.theirs, c.theirLength, c.facts);
    if (d.field.empty())
        d = CompareTargetRecord(c);
    if (d.field.empty()) {
        ++agree;
        return;
    }
    const char* convention = ConventionOf(c, d);
    std::string key;
    if (convention) {
        ++this->convention;
        key = convention;
        static const bool detail = std::getenv("TRELVO_OBJDIFF_DETAIL") != nullptr;
        if (detail)                      // for reviewing what a convention takes in
            key += " | " + d.field + " | " + c.facts.Key() + ", objdump " + c.theirs.mnemonic;
    } else {
        ++unexplained;
        key = d.field + ": " + OpcodeName(c.facts) + ", ours " + c.ours.mnemonic;
        if (c.theirs.status == InsnForm::kValid)
            key += ", objdump " + c.theirs.mnemonic;
    }
    DiffClass& cls = classes[key];
    cls.convention = convention != nullptr;
    if (++cls.count <= 3 || (cls.count & (cls.count - 1)) == 0) {   // a few, spread over the run
        if (cls.examples.size() >= 4)
            cls.examples.erase(cls.examples.begin() + 1);
        cls.examples.push_back(Example(c, d));
    }
}

void Tally::Merge(const Tally& other) {
    cases += other.cases;
    lengthAgree += other.lengthAgree;
    agree += other.agree;
    convention += other.convention;
    unexplained += other.unexplained;
    for (const auto& [key, cls] : other.classes) {
        DiffClass& mine = classes[key];
        mine.count += cls.count;
        mine.convention = cls.convention;
        for (const std::string& e : cls.examples)
            if (mine.examples.size() < 4)
                mine.examples.push_back(e);
    }
}

std::string Tally::Report(const std::string& title, size_t maxClasses) const {
    char line[256];
    std::snprintf(line, sizeof line,
                  "%s: %llu instructions; length agrees %.3f%%, text agrees %.3f%%, convention %.3f%%, "
                  "unexplained %.3f%%\n",
                  title.c_str(), static_cast<unsigned long long>(cases), Rate(lengthAgree), Rate(agree),
                  Rate(convention), Rate(unexplained));
    std::string out = line;
    for (bool conventionKind : {true, false}) {
        std::vector<std::pair<uint64_t, const std::string*>> order;
        for (const auto& [key, cls] : classes)
            if (cls.convention == conventionKind)
                order.emplace_back(cls.count, &key);
        std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        if (order.empty())
            continue;
        out += conventionKind ? "  conventions:\n" : "  unexplained:\n";
        for (size_t i = 0; i < order.size() && i < maxClasses; ++i) {
            const DiffClass& cls = classes.at(*order[i].second);
            std::snprintf(line, sizeof line, "    %8llu  ", static_cast<unsigned long long>(cls.count));
            out += line + *order[i].second + "\n";
            for (const std::string& e : cls.examples)
                out += "              " + e + "\n";
        }
        if (order.size() > maxClasses)
            out += "    ... " + std::to_string(order.size() - maxClasses) + " more classes\n";
    }
    return out;
}
