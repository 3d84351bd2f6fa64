#include "tests/decode/diff/InsnForm.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <map>
#include <utility>

namespace {

bool IsLegacyPrefix(uint8_t b) {
    switch (b) {
    case 0x26: case 0x2E: case 0x36: case 0x3E: case 0x64: case 0x65:
    case 0x66: case 0x67: case 0xF0: case 0xF2: case 0xF3:
        return true;
    default:
        return false;
    }
}

std::string Trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && s[a] == ' ')
        ++a;
    while (b > a && s[b - 1] == ' ')
        --b;
    return s.substr(a, b - a);
}

bool StartsWith(const std::string& s, const char* prefix) {
    return s.compare(0, std::strlen(prefix), prefix) == 0;
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Splits at commas outside brackets and parentheses.
std::vector<std::string> SplitOperands(const std::string& s) {
    std::vector<std::string> parts;
    std::string cur;
    int depth = 0;
    for (char c : s) {
        if (c == '[' || c == '(')
            ++depth;
        else if (c == ']' || c == ')')
            --depth;
        if (c == ',' && depth == 0) {
            parts.push_back(Trim(cur));
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!Trim(cur).empty() || !parts.empty())
        parts.push_back(Trim(cur));
    return parts;
}

bool IsSegmentName(const std::string& s) {
    return s == "es" || s == "cs" || s == "ss" || s == "ds" || s == "fs" || s == "gs";
}

// Our numbers: upper-case hexadecimal, "-" and a magnitude, or a leading "0" on a negative value.
bool ParseOwnNumber(const std::string& s, int64_t& value, unsigned& bits) {
    size_t p = 0;
    const bool minus = !s.empty() && s[0] == '-';
    if (minus)
        p = 1;
    if (p >= s.size() || s.size() - p > 17)
        return false;
    uint64_t v = 0;
    for (size_t i = p; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9')
            v = v << 4 | unsigned(c - '0');
        else if (c >= 'A' && c <= 'F')
            v = v << 4 | unsigned(c - 'A' + 10);
        else
            return false;
    }
    unsigned digits = unsigned(s.size() - p);
    if (digits == 1) {
        bits = 0;                                // one-digit form: no width shown
    } else {
        if (digits % 2 == 1 && s[p] == '0')      // the "0" that marks a negative value
            --digits;
        bits = digits * 4;
        if (!minus && digits != unsigned(s.size() - p) && bits < 64)
            v |= ~uint64_t(0) << bits;           // sign-extend the shown width
    }
    value = minus ? -int64_t(v) : int64_t(v);
    return true;
}

// objdump's numbers: 0x hexadecimal or plain decimal, with an optional sign.
bool ParseObjdumpNumber(const std::string& s, int64_t& value) {
    size_t p = 0;
    bool minus = false;
    if (p < s.size() && (s[p] == '-' || s[p] == '+'))
        minus = s[p++] == '-';
    if (p >= s.size())
        return false;
    uint64_t v = 0;
    if (s.compare(p, 2, "0x") == 0) {
        p += 2;
        if (p >= s.size())
            return false;
        for (; p < s.size(); ++p) {
            const int c = std::tolower(static_cast<unsigned char>(s[p]));
            if (c >= '0' && c <= '9')
                v = v << 4 | unsigned(c - '0');
            else if (c >= 'a' && c <= 'f')
                v = v << 4 | unsigned(c - 'a' + 10);
            else
                return false;
        }
    } else {
        for (; p < s.size(); ++p) {
            if (s[p] < '0' || s[p] > '9')
                return false;
            v = v * 10 + unsigned(s[p] - '0');
        }
    }
    value = minus ? -int64_t(v) : int64_t(v);
    return true;
}

unsigned SizeOfPtrWord(const std::string& w) {
    static const std::map<std::string, unsigned> kSizes = {
        {"BYTE", 1}, {"WORD", 2}, {"DWORD", 4}, {"FWORD", 6}, {"QWORD", 8}, {"TBYTE", 10},
        {"XMMWORD", 16}, {"OWORD", 16}, {"YMMWORD", 32}, {"ZMMWORD", 64}};
    auto it = kSizes.find(w);
    return it == kSizes.end() ? 0 : it->second;
}

unsigned SizeOfOwnWord(const std::string& w) {
    static const std::map<std::string, unsigned> kSizes = {
        {"b", 1}, {"w", 2}, {"d", 4}, {"f", 6}, {"q", 8}, {"t", 10}, {"dq", 16},
        {"3", 3}, {"5", 5}, {"7", 7}, {"9", 9}, {"1", 11}};
    auto it = kSizes.find(w);
    return it == kSizes.end() ? 0 : it->second;
}

// Our memory operand: [size,][seg:] then "[reg]", "[number]" and "*scale" pieces.
bool ParseOwnMemory(const std::string& text, FormOperand& op) {
    std::string s = text;
    const size_t comma = s.find(',');
    if (comma != std::string::npos) {
        op.size = SizeOfOwnWord(s.substr(0, comma));
        if (op.size == 0)
            return false;
        s = s.substr(comma + 1);
    }
    if (s.size() >= 3 && s[2] == ':' && IsSegmentName(s.substr(0, 2))) {
        op.segment = s.substr(0, 2);
        s = s.substr(3);
    }
    if (s.empty() || s[0] != '[')
        return false;
    std::vector<std::pair<std::string, unsigned>> regs;     // register and its scale (0: none)
    size_t p = 0;
    while (p < s.size()) {
        if (s[p] == '[') {
            const size_t close = s.find(']', p);
            if (close == std::string::npos)
                return false;
            const std::string inner = s.substr(p + 1, close - p - 1);
            int64_t v;
            unsigned bits;
            if (!inner.empty() && std::islower(static_cast<unsigned char>(inner[0]))) {
                regs.emplace_back(inner, 0);
            } else if (ParseOwnNumber(inner, v, bits)) {
                op.hasDisp = true;
                op.disp = v;
            } else {
                return false;
            }
            p = close + 1;
        } else if (s[p] == '*' && p + 1 < s.size() && !regs.empty() && regs.back().second == 0) {
            regs.back().second = unsigned(s[p + 1] - '0');
            p += 2;
        } else {
            return false;
        }
    }
    for (const auto& reg : regs) {
        if (reg.second != 0 || !op.base.empty()) {    // a scaled or second register is the index
            if (!op.index.empty())
                return false;
            op.index = reg.first;
            op.scale = reg.second ? reg.second : 1;
        } else {
            op.base = reg.first;
        }
    }
    op.kind = OperandKind::Memory;
    return true;
}

FormOperand ParseOwnOperand(const std::string& text) {
    FormOperand op;
    op.text = text;
    int64_t v;
    unsigned bits;
    const size_t colon = text.find(':');
    if (text.find('[') != std::string::npos) {
        if (!ParseOwnMemory(text, op))
            op.kind = OperandKind::Unknown;
    } else if (colon != std::string::npos && colon > 0 && text[0] == '0') {
        int64_t sel, off;
        unsigned b1, b2;
        if (ParseOwnNumber(text.substr(1, colon - 1), sel, b1) && colon + 2 < text.size() &&
            text[colon + 1] == '0' && ParseOwnNumber(text.substr(colon + 2), off, b2)) {
            op.kind = OperandKind::Far;
            op.selector = uint32_t(sel) & 0xFFFF;
            op.value = off & 0xFFFFFFFF;
        }
    } else if (text.size() == 9 && text[4] == '.') {
        int64_t a, b;
        unsigned b1, b2;
        if (ParseOwnNumber(text.substr(0, 4), a, b1) && ParseOwnNumber(text.substr(5), b, b2)) {
            op.kind = OperandKind::Words;
            op.value = (a & 0xFFFF) << 16 | (b & 0xFFFF);
        }
    } else if (ParseOwnNumber(text, v, bits)) {
        op.kind = OperandKind::Number;
        op.value = v;
        op.bits = bits;
    } else if (!text.empty() && text.find(' ') == std::string::npos && text[0] != '<') {
        op.kind = OperandKind::Register;
        op.reg = Lower(text);
    }
    return op;
}

// objdump's memory operand: [SIZE PTR ][seg:](number | [terms]) with an optional "# target".
bool ParseObjdumpMemory(std::string s, FormOperand& op, int64_t commentTarget, bool hasComment) {
    const size_t ptr = s.find(" PTR ");
    if (ptr != std::string::npos) {
        op.size = SizeOfPtrWord(s.substr(0, ptr));
        s = s.substr(ptr + 5);
    }
    if (s.size() >= 3 && s[2] == ':' && IsSegmentName(s.substr(0, 2))) {
        op.segment = s.substr(0, 2);
        s = s.substr(3);
    }
    op.kind = OperandKind::Memory;
    if (s.empty())
        return false;
    if (s[0] != '[') {                           // absolute: seg:number
        int64_t v;
        if (op.segment.empty() || !ParseObjdumpNumber(s, v))
            return false;
        op.hasDisp = true;
        op.disp = v;
        return true;
    }
    if (s.back() != ']')
        return false;
    const std::string inner = s.substr(1, s.size() - 2);
    size_t p = 0;
    std::vector<std::string> plain;
    while (p < inner.size()) {
        char sign = '+';
        if (inner[p] == '+' || inner[p] == '-')
            sign = inner[p++];
        size_t e = p;
        while (e < inner.size() && inner[e] != '+' && inner[e] != '-')
            ++e;
        const std::string term = inner.substr(p, e - p);
        p = e;
        int64_t v;
        const size_t star = term.find('*');
        if (star != std::string::npos) {
            op.index = term.substr(0, star);
            op.scale = unsigned(std::atoi(term.c_str() + star + 1));
        } else if (ParseObjdumpNumber(std::string(1, sign) + term, v)) {
            op.hasDisp = true;
            op.disp += v;
        } else {
            plain.push_back(term);
        }
    }
    if (plain.size() > 2 || (plain.size() == 2 && !op.index.empty()))
        return false;
    if (!plain.empty())
        op.base = plain[0];
    if (plain.size() == 2) {
        op.index = plain[1];
        op.scale = 1;
    }
    if (op.index == "eiz" || op.index == "riz") {
        op.index.clear();
        op.scale = 0;
    }
    if (op.base == "rip" || op.base == "eip") {
        if (!hasComment)
            return false;
        op.base.clear();
        op.ripRelative = true;
        op.hasDisp = true;
        op.disp = commentTarget;
    }
    return true;
}

FormOperand ParseObjdumpOperand(const std::string& text, int64_t commentTarget, bool hasComment) {
    FormOperand op;
    op.text = text;
    int64_t v;
    const size_t colon = text.find(':');
    if (text.find('[') != std::string::npos || text.find(" PTR ") != std::string::npos ||
        (colon == 2 && IsSegmentName(text.substr(0, 2)))) {
        if (!ParseObjdumpMemory(text, op, commentTarget, hasComment))
            op.kind = OperandKind::Unknown;
    } else if (colon != std::string::npos) {
        int64_t sel, off;
        if (ParseObjdumpNumber(text.substr(0, colon), sel) &&
            ParseObjdumpNumber(text.substr(colon + 1), off)) {
            op.kind = OperandKind::Far;
            op.selector = uint32_t(sel) & 0xFFFF;
            op.value = off & 0xFFFFFFFF;
        }
    } else if (ParseObjdumpNumber(text, v)) {
        op.kind = OperandKind::Number;
        op.value = v;
    } else if (!text.empty() && text.find(' ') == std::string::npos) {
        op.kind = OperandKind::Register;
        op.reg = text == "st" ? "st(0)" : Lower(text);
    }
    return op;
}

bool IsStringBase(const std::string& m) {
    return m == "movs" || m == "cmps" || m == "stos" || m == "lods" || m == "scas" || m == "ins" ||
           m == "outs";
}

bool IsOwnStringName(const std::string& m) {
    if (m.size() < 4)
        return false;
    const char last = m.back();
    return (last == 'b' || last == 'w' || last == 'd' || last == 'q') &&
           IsStringBase(m.substr(0, m.size() - 1));
}

// Names whose operand size objdump spells as a suffix ("pushfw") and we as a suffix of our own
// ("pushf" = 16 bits): both become "<base>.<bytes>".
std::string SizedName(const std::string& m, bool own, uint8_t bitness) {
    static const char* const kBases[] = {"pushf", "popf", "pusha", "popa", "iret"};
    for (const char* base : kBases) {
        const size_t n = std::strlen(base);
        if (m.compare(0, n, base) != 0 || m.size() > n + 1)
            continue;
        const char suffix = m.size() == n + 1 ? m[n] : 0;
        if (suffix != 0 && suffix != 'w' && suffix != 'd' && suffix != 'q')
            continue;
        unsigned size;
        if (suffix == 'w')
            size = 2;
        else if (suffix == 'd')
            size = 4;
        else if (suffix == 'q')
            size = 8;
        else if (own)
            size = 2;                            // our plain form is the 16-bit one
        else if (bitness == 16)
            size = 2;
        else if (bitness == 64 && std::strcmp(base, "iret") != 0)
            size = 8;
        else
            size = 4;
        return std::string(base) + "." + std::to_string(size);
    }
    return m;
}

// objdump's spelling of names that are ours under another name.
const std::map<std::string, std::string>& ObjdumpAliases() {
    static const std::map<std::string, std::string> kAliases = {
        {"jb", "jc"}, {"jae", "jnc"}, {"je", "jz"}, {"jne", "jnz"},
        {"setb", "setc"}, {"setae", "setnc"}, {"sete", "setz"}, {"setne", "setnz"},
        {"cmovb", "cmovc"}, {"cmovae", "cmovnc"}, {"cmove", "cmovz"}, {"cmovne", "cmovnz"},
        {"loopz", "loope"}, {"loopnz", "loopne"},
        {"ret", "retn"}, {"int1", "#ICE1"}, {"icebp", "#ICE1"}, {"movabs", "mov"},
        {"lcall", "callf"}, {"ljmp", "jmpf"}, {"xlatb", "xlat"}};
    return kAliases;
}

// objdump's operand-size suffixes on stack and branch names ("pushw", "retd", "jmpw").
std::string StripSizeSuffix(const std::string& m) {
    static const char* const kBases[] = {"push", "pop", "call", "jmp", "ret", "retf", "enter", "leave",
                                         "sysret", "sysexit", "lret", "sgdt", "sidt", "lgdt", "lidt",
                                         "fnsave", "fsave", "frstor", "fnstenv", "fstenv", "fldenv"};
    if (m.size() < 2)
        return m;
    const char last = m.back();
    if (last != 'w' && last != 'd' && last != 'q' && last != 'l')
        return m;
    const std::string base = m.substr(0, m.size() - 1);
    for (const char* b : kBases)
        if (base == b)
            return base;
    return m;
}

bool IsPrefixWord(const std::string& w) {
    static const char* const kWords[] = {"lock", "rep", "repz", "repnz", "repe", "repne", "data16",
                                         "data32", "addr16", "addr32", "rex", "cs", "ds", "es", "ss",
                                         "fs", "gs", "notrack", "bnd", "xacquire", "xrelease"};
    for (const char* k : kWords)
        if (w == k)
            return true;
    return StartsWith(w, "rex.") || StartsWith(w, "{");   // {vex}, {evex}
}

}  // namespace

bool ByteFacts::Has(uint8_t prefix) const {
    for (uint8_t p : prefixes)
        if (p == prefix)
            return true;
    return false;
}

unsigned ByteFacts::AddressSize() const {
    const bool a = Has(0x67);
    if (bitness == 16)
        return a ? 4 : 2;
    if (bitness == 32)
        return a ? 2 : 4;
    return a ? 4 : 8;
}

unsigned ByteFacts::OperandSize() const {
    const bool o = Has(0x66);
    if (bitness == 16)
        return o ? 4 : 2;
    if (bitness == 64 && (rex & 8))
        return 8;
    return o ? 2 : 4;
}

std::string ByteFacts::Key() const {
    char buf[48];
    const char* map_ = map == 0 ? "" : map == 0x0F ? "0F " : map == 0x38 ? "0F 38 " : "0F 3A ";
    std::snprintf(buf, sizeof buf, "%s%02X /%u %s", map_, opcode, (modrm >> 3) & 7,
                  (modrm >> 6) == 3 ? "r" : "m");
    return buf;
}

ByteFacts ReadByteFacts(const uint8_t* bytes, size_t size, uint8_t bitness) {
    ByteFacts f;
    f.bitness = bitness;
    size_t p = 0;
    while (p < size && p < 15) {
        const uint8_t b = bytes[p];
        if (IsLegacyPrefix(b)) {
            f.prefixes.push_back(b);
            f.rex = 0;                           // a REX counts only right before the opcode
        } else if (bitness == 64 && (b & 0xF0) == 0x40) {
            f.rex = b;
        } else {
            break;
        }
        ++p;
    }
    f.prefixLength = unsigned(p);
    auto at = [&](size_t i) -> uint8_t { return i < size ? bytes[i] : 0; };
    if (at(p) == 0x0F) {
        f.map = 0x0F;
        ++p;
        if (at(p) == 0x38 || at(p) == 0x3A)
            f.map = at(p++);
    }
    f.opcode = at(p);
    f.modrm = at(p + 1);
    return f;
}

InsnForm ParseOwnText(const std::string& text, const ByteFacts& facts) {
    InsnForm form;
    form.text = text;
    std::string rest = text;
    for (const char* word : {"lock ", "repne ", "rep "}) {
        if (StartsWith(rest, word) && rest.size() > std::strlen(word)) {
            form.prefix = Trim(word);
            rest = rest.substr(std::strlen(word));
            break;
        }
    }
    const size_t blank = rest.find(' ');
    form.mnemonic = rest.substr(0, blank);
    const std::string operands = blank == std::string::npos ? "" : Trim(rest.substr(blank));
    if (StartsWith(form.mnemonic, "#UD(") || form.mnemonic == "#GP") {
        form.status = InsnForm::kInvalid;
        return form;
    }
    form.status = form.mnemonic == "#UD" ? InsnForm::kUndefined : InsnForm::kValid;
    // A size word ("d,") belongs to the memory operand after it.
    std::vector<std::string> parts = SplitOperands(operands);
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i + 1 < parts.size() && SizeOfOwnWord(parts[i]) != 0 &&
            (parts[i + 1].find('[') != std::string::npos)) {
            form.operands.push_back(ParseOwnOperand(parts[i] + "," + parts[i + 1]));
            ++i;
        } else {
            form.operands.push_back(ParseOwnOperand(parts[i]));
        }
    }
    if (form.mnemonic == "jmps")
        form.mnemonic = "jmp";
    else if (form.mnemonic == "xlatb")
        form.mnemonic = "xlat";
    form.mnemonic = SizedName(form.mnemonic, true, facts.bitness);
    return form;
}

InsnForm ParseObjdumpText(const std::string& text, const ByteFacts& facts) {
    InsnForm form;
    form.text = text;
    std::string rest = text;
    int64_t commentTarget = 0;
    bool hasComment = false;
    const size_t hash = rest.find("    # ");
    if (hash != std::string::npos) {
        std::string target = Trim(rest.substr(hash + 6));
        const size_t sp = target.find(' ');
        hasComment = ParseObjdumpNumber(target.substr(0, sp), commentTarget);
        rest = rest.substr(0, hash);
    }
    rest = Trim(rest);
    // Leading prefix words; a line of nothing else is a prefix byte objdump lists on its own.
    std::string rep;
    while (true) {
        const size_t sp = rest.find(' ');
        const std::string word = rest.substr(0, sp);
        if (!IsPrefixWord(word))
            break;
        if (sp == std::string::npos) {
            form.status = InsnForm::kPrefixOnly;
            form.mnemonic = word;
            return form;
        }
        if (word == "lock")
            form.prefix = "lock";
        else if (StartsWith(word, "rep"))
            rep = word;
        else
            form.dropped.push_back(word);
        rest = Trim(rest.substr(sp));
    }
    size_t end = rest.find(' ');
    const size_t paren = rest.find('(');
    if (paren != std::string::npos && paren < end && paren > 0) {   // "fneni(8087 only)"
        end = rest.find(')', paren);
        if (end != std::string::npos)
            ++end;
    }
    std::string mnemonic = rest.substr(0, end);
    const std::string operands = end == std::string::npos ? "" : Trim(rest.substr(end));
    if (mnemonic == "(bad)" || mnemonic == ".byte" || mnemonic.empty()) {
        form.status = InsnForm::kInvalid;
        form.mnemonic = mnemonic;
        return form;
    }
    form.status = InsnForm::kValid;
    if (paren != std::string::npos && paren > 0 && paren < mnemonic.size())
        mnemonic = mnemonic.substr(0, paren);
    for (const std::string& part : SplitOperands(operands))
        form.operands.push_back(ParseObjdumpOperand(part, commentTarget, hasComment));

    mnemonic = StripSizeSuffix(mnemonic);
    if (mnemonic.size() > 2 && mnemonic.compare(mnemonic.size() - 2, 2, "64") == 0 &&
        (StartsWith(mnemonic, "fx") || StartsWith(mnemonic, "xsave") || StartsWith(mnemonic, "xrstor")))
        mnemonic.resize(mnemonic.size() - 2);   // "fxsave64": REX.W spelled in the name
    auto alias = ObjdumpAliases().find(mnemonic);
    if (alias != ObjdumpAliases().end())
        mnemonic = alias->second;
    const bool farByBytes = facts.map == 0 && (facts.opcode == 0x9A || facts.opcode == 0xEA ||
                                               (facts.opcode == 0xFF && (facts.modrm >> 6) != 3 &&
                                                (((facts.modrm >> 3) & 7) == 3 || ((facts.modrm >> 3) & 7) == 5)));
    if (farByBytes && (mnemonic == "call" || mnemonic == "jmp"))
        mnemonic += "f";
    if (mnemonic == "int3") {
        mnemonic = "int";
        FormOperand three;
        three.kind = OperandKind::Number;
        three.value = 3;
        three.text = "3";
        form.operands.push_back(three);
    }
    if (mnemonic == "xchg" && facts.map == 0 && facts.opcode == 0x90 && !(facts.rex & 1))
        mnemonic = "nop", form.operands.clear();
    if (IsStringBase(mnemonic)) {
        unsigned size = 0;
        for (const FormOperand& op : form.operands) {
            if (op.kind == OperandKind::Memory && op.size)
                size = op.size;
            else if (op.kind == OperandKind::Register && op.reg != "dx" && size == 0)
                size = op.reg == "al" ? 1 : op.reg == "ax" ? 2 : op.reg[0] == 'e' ? 4 : 8;
        }
        mnemonic += size == 1 ? "b" : size == 2 ? "w" : size == 4 ? "d" : "q";
        form.operands.clear();
    }
    if (mnemonic == "xlat")
        form.operands.clear();
    if (!rep.empty()) {
        if (IsOwnStringName(mnemonic))
            form.prefix = (rep == "repnz" || rep == "repne") ? "repne" : "rep";
        else
            form.dropped.push_back(rep);
    }
    form.mnemonic = SizedName(mnemonic, false, facts.bitness);
    return form;
}

namespace {

uint64_t Mask(unsigned bits) { return bits >= 64 ? ~uint64_t(0) : (uint64_t(1) << bits) - 1; }

bool IsBranch(const std::string& m) {
    return (m.size() >= 2 && m[0] == 'j' && m != "jmpf") || m == "call" || StartsWith(m, "loop");
}

bool SameImmediate(const FormOperand& ours, const FormOperand& theirs) {
    const uint64_t a = uint64_t(ours.value), b = uint64_t(theirs.value);
    if (ours.bits == 0) {                        // one digit: objdump shows it at some width
        for (unsigned w : {8u, 16u, 32u, 64u})
            if (b == (a & Mask(w)))
                return true;
        return false;
    }
    if (((a ^ b) & Mask(ours.bits)) != 0)
        return false;
    if (ours.bits >= 64)
        return true;
    const uint64_t upper = b >> ours.bits;
    const bool signSet = (a >> (ours.bits - 1)) & 1;
    return upper == 0 || (signSet && ((upper + 1) & upper) == 0);
}

}  // namespace

FormDifference CompareForms(const InsnForm& ours, unsigned ourLength, const InsnForm& theirs,
                            unsigned theirLength, const ByteFacts& facts) {
    auto diff = [](const char* field, const std::string& detail) {
        return FormDifference{field, detail};
    };
    const bool ourBad = ours.status == InsnForm::kInvalid || ours.status == InsnForm::kUndefined;
    if (theirs.status == InsnForm::kPrefixOnly)
        return diff("objdump lists a prefix alone", theirs.mnemonic);
    if (ourBad && theirs.status == InsnForm::kInvalid) {
        if (ourLength != theirLength)
            return diff("length (both invalid)", std::to_string(ourLength) + " vs " +
                                                     std::to_string(theirLength));
        return {};
    }
    if (ourBad)
        return diff(ours.status == InsnForm::kUndefined ? "validity: ours #UD" : "validity: ours invalid",
                    theirs.mnemonic);
    if (theirs.status == InsnForm::kInvalid)
        return diff("validity: objdump invalid", ours.mnemonic);
    if (ourLength != theirLength)
        return diff("length", std::to_string(ourLength) + " vs " + std::to_string(theirLength));
    if (ours.prefix != theirs.prefix)
        return diff("prefix", "'" + ours.prefix + "' vs '" + theirs.prefix + "'");
    if (ours.mnemonic != theirs.mnemonic)
        return diff("mnemonic", ours.mnemonic + " vs " + theirs.mnemonic);
    if (ours.operands.size() != theirs.operands.size())
        return diff("operand count", std::to_string(ours.operands.size()) + " vs " +
                                         std::to_string(theirs.operands.size()));
    for (size_t i = 0; i < ours.operands.size(); ++i) {
        const FormOperand& a = ours.operands[i];
        const FormOperand& b = theirs.operands[i];
        const std::string both = a.text + " vs " + b.text;
        if (a.kind == OperandKind::Unknown || b.kind == OperandKind::Unknown)
            return diff("operand unreadable", both);
        if (a.kind != b.kind)
            return diff("operand kind", both);
        switch (a.kind) {
        case OperandKind::Register:
            if (a.reg != b.reg)
                return diff("register", both);
            break;
        case OperandKind::Number:
            if (IsBranch(ours.mnemonic)) {
                const unsigned bits = facts.bitness != 64 && facts.OperandSize() == 2 ? 16 : 32;
                if (((uint64_t(a.value) ^ uint64_t(b.value)) & Mask(bits)) != 0)
                    return diff("target", both);
            } else if (!SameImmediate(a, b)) {
                return diff("immediate", both);
            }
            break;
        case OperandKind::Far:
            if (a.selector != b.selector || a.value != b.value)
                return diff("far pointer", both);
            break;
        case OperandKind::Memory: {
            if (a.size && b.size && a.size != b.size)
                return diff("memory size", both);
            std::string theirSegment = b.segment;
            if (theirSegment == "ds" && !facts.Has(0x3E))      // objdump names the default
                theirSegment.clear();
            if (a.segment != theirSegment)
                return diff("segment", both);
            auto shape = [](const FormOperand& op) {   // an unscaled index alone is a base
                if (op.base.empty() && op.scale == 1)
                    return op.index + "+*0";
                return op.base + "+" + op.index + "*" + std::to_string(op.index.empty() ? 0 : op.scale);
            };
            if (shape(a) != shape(b))
                return diff("memory registers", both);
            const unsigned bits = a.ripRelative || b.ripRelative ? 64
                                  : facts.AddressSize() == 2  ? 16
                                                              : 32;
            if (((uint64_t(a.disp) ^ uint64_t(b.disp)) & Mask(bits)) != 0)
                return diff("displacement", both);
            break;
        }
        default:
            if (a.value != b.value)
                return diff("operand value", both);
            break;
        }
    }
    return {};
}

std::string HexBytes(const uint8_t* bytes, size_t size) {
    std::string s;
    char buf[4];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", bytes[i]);
        s += buf;
    }
    return s;
}
