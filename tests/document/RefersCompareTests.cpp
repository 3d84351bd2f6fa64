// The refers scan against a plain one-step-at-a-time scan on mixed files: code, dumps and dword tables
// in code and data segments, gaps between segments, calls into data, dumps, gaps and outside. Both
// documents are laid out alike; the stores (pairs both ways, address map, names, name count, log
// lines and scan notices) must come out the same.

#include "document/DocumentStores.h"
#include "document/Diza.h"
#include "document/MakerCode.h"
#include "document/MakerData.h"
#include "document/MakerStringz.h"

#include "DocumentFakes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

namespace {

constexpr int64_t kA = 0x401000;   // code, 0x3000 bytes in the file and 0x400 more in memory
constexpr int64_t kB = 0x405000;   // data, 0x1000 bytes, after a gap
constexpr int64_t kC = 0x406000;   // code, 0x2000 bytes, right after B
constexpr uint32_t kFileSize = 0x6000;

// File offset of an address of the three segments.
size_t OffsetOf(int64_t address) {
    if (address >= kC)
        return static_cast<size_t>(0x4000 + (address - kC));
    if (address >= kB)
        return static_cast<size_t>(0x3000 + (address - kB));
    return static_cast<size_t>(address - kA);
}

// The plain scan: every step asks the map, every refer is added at once.
class PlainScan {
public:
    explicit PlainScan(FileParseThread* d) : d_(d), map_(d->Map()), engine_(d->Engine()->Clone()) {}

    void Range(int64_t start, int64_t end) {
        d_->NotifyWindows(kMsgRefersScan, 1, 0, true);
        Start(start);
        while (address_ < end) {
            Item();
            Next();
        }
        d_->NotifyWindows(kMsgRefersScan, 0, 0, true);
    }
    void All() {
        for (int i = 0; i < d_->Segments().Count(); ++i) {
            const KSegment* s = d_->Segments().Get(i);
            Range(s->address, s->address + s->sizeInFile);
        }
        d_->Log().Print(L"Refers scan is finished in %s", L"0 ms");
    }

private:
    void Start(int64_t at) {
        const int i = map_.FindFloor(at);
        kind_ = i >= 0 ? map_.GetAt(i).kind : 0;
        address_ = at;
        next_ = i + 1 < map_.Count() ? map_.GetAt(i + 1).address : -1;
        Length();
    }
    void Next() {
        if (length_ <= 0) {
            if (next_ == -1 || next_ <= address_)
                address_ = INT64_MAX;
            else
                Start(next_);
            return;
        }
        address_ += length_;
        if (next_ == -1 || address_ < next_)
            Length();
        else
            Start(address_);
    }
    void Length() {
        if (diza::IsUnmade(kind_))
            length_ = 0;
        else if (diza::KindOf(kind_) == diza::kCode)
            length_ = static_cast<int32_t>(engine_->DecodeAt(address_));
        else
            length_ = map_.ItemLength(address_);
    }
    void Item() {
        if (diza::IsUnmade(kind_) || length_ <= 0)
            return;
        if (diza::KindOf(kind_) == diza::kCode) {
            DECODE_TARGET targets[2];
            const int n = engine_->GetTargets(targets);
            for (int i = 0; i < n; ++i) {
                const int64_t target = targets[i].address;
                if (!d_->InSegment(target))
                    continue;
                d_->stores.refers.AddPair(address_, target);
                if (targets[i].flags & kTargetCall) {
                    map_.AddCodeItem(target);
                    const StringW name(kFormat, L"fn_%s", d_->AddressText(target).c_str());
                    if (d_->stores.names.Add(target, name.c_str(), 'F'))
                        d_->CountNewName();
                }
            }
        } else if (diza::KindOf(kind_) == diza::kData && ((kind_ & diza::kSizeMask) >> diza::kSizeShift) == 2 &&
                   d_->GetBitness() == 32 && d_->ImageBase() != 0) {
            std::vector<uint8_t> bytes(static_cast<size_t>(length_));
            d_->ReadBytes(address_, static_cast<void*>(bytes.data()), static_cast<uint32_t>(length_));
            for (int32_t i = 0; i + 4 <= length_; i += 4) {
                const uint32_t value = bytes[i] | (bytes[i + 1] << 8) | (bytes[i + 2] << 16) |
                                       (static_cast<uint32_t>(bytes[i + 3]) << 24);
                if (d_->InSegment(value))
                    d_->stores.refers.AddPair(address_ + i, value);
            }
        }
    }

    FileParseThread* d_;
    DizaMap& map_;
    std::unique_ptr<BDecodeEngine> engine_;
    int64_t address_ = 0;
    uint32_t kind_ = 0;
    int32_t length_ = 0;
    int64_t next_ = -1;
};

void Put32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s[at + i] = static_cast<char>(v >> (8 * i));
}

// Targets worth referring to: anywhere in the segments, the item starts, inside a dword line, the
// memory-only tail of A, segment ends, the gap and outside.
int64_t PickTarget(std::mt19937& r) {
    static const int64_t kSpecial[] = { kA + 0x1800, kA + 0x2000, kA + 0x2006, kA + 0x2100, kA + 0x2108, kA + 0x3200,
                                        kA + 0x3400, kB,          kB + 0x200,  kB + 0x400,  kB + 0x703,  kB + 0x714,
                                        kC,          kC + 0x800,  kC + 0x1000, kC + 0x2000, 0x404800,    0x300000,
                                        0x500000,    0x401000 - 1 };
    const uint32_t pick = r() % 10;
    if (pick < 2)
        return kSpecial[r() % (sizeof kSpecial / sizeof kSpecial[0])];
    if (pick < 5)
        return kC + r() % 0x2000;
    if (pick < 8)
        return kA + r() % 0x3000;
    return kB + r() % 0x1000;
}

// Instructions with and without targets from `from` to `to` (offsets into `s` of code at `address`),
// now and then a stray byte.
void FillCode(std::string& s, std::mt19937& r, size_t from, size_t to, int64_t address) {
    size_t at = from;
    while (at + 8 <= to) {
        const int64_t here = address + static_cast<int64_t>(at - from);
        const uint32_t pick = r() % 100;
        if (pick < 22) {
            s[at] = '\xE8';   // call rel32
            Put32(s, at + 1, static_cast<uint32_t>(PickTarget(r) - (here + 5)));
            at += 5;
        } else if (pick < 30) {
            s[at] = '\xE9';   // jmp rel32
            Put32(s, at + 1, static_cast<uint32_t>(PickTarget(r) - (here + 5)));
            at += 5;
        } else if (pick < 38) {
            s[at] = '\x0F';   // jcc rel32
            s[at + 1] = static_cast<char>(0x80 + r() % 16);
            Put32(s, at + 2, static_cast<uint32_t>(PickTarget(r) - (here + 6)));
            at += 6;
        } else if (pick < 44) {
            s[at] = '\xEB';   // jmp short
            s[at + 1] = static_cast<char>(r());
            at += 2;
        } else if (pick < 52) {
            s[at] = '\xA1';   // mov eax,[abs]
            Put32(s, at + 1, static_cast<uint32_t>(PickTarget(r)));
            at += 5;
        } else if (pick < 58) {
            s[at] = '\xFF';   // call [abs]
            s[at + 1] = '\x15';
            Put32(s, at + 2, static_cast<uint32_t>(PickTarget(r)));
            at += 6;
        } else if (pick < 64) {
            s[at] = '\x8B';   // mov reg,[reg+disp32]
            s[at + 1] = static_cast<char>(0x80 + r() % 64);
            Put32(s, at + 2, static_cast<uint32_t>(PickTarget(r)));
            at += 6;
        } else if (pick < 80) {
            s[at] = '\x83';   // add reg,imm8
            s[at + 1] = static_cast<char>(0xC0 + r() % 8);
            s[at + 2] = static_cast<char>(r());
            at += 3;
        } else if (pick < 94) {
            s[at] = '\x89';   // mov reg,reg
            s[at + 1] = static_cast<char>(0xC0 + r() % 64);
            at += 2;
        } else {
            s[at] = static_cast<char>(r());
            at += 1;
        }
    }
}

void FillDwords(std::string& s, std::mt19937& r, size_t from, size_t to) {
    for (size_t at = from; at + 4 <= to; at += 4)
        Put32(s, at, r() % 4 == 0 ? static_cast<uint32_t>(r()) : static_cast<uint32_t>(PickTarget(r)));
}

// Seed 0: code in C that calls into the first line of C's dump, and a code start at C + 0x7F0 inside
// an instruction: from there the walk's instructions (from C) and the start's own (from C + 0x7F0)
// differ, so the walk enters the dump's first line in its middle, at C + 0x801.
std::string CrossingFile() {
    std::string s(kFileSize, '\x90');
    const size_t c = OffsetOf(kC);
    s[c] = '\xE8';
    Put32(s, c + 1, static_cast<uint32_t>(kC + 0x808 - (kC + 5)));
    // The walk: mov al,5 (7EF); mov eax (7F1, 7F6); add eax (7FB-800). From 7F0: add eax three times
    // (7F0, 7F5, 7FA) and nop (7FF).
    const char run[] = "\xB0\x05\xB8\x00\x00\x00\x05\xB8\x00\x00\x00\x05\x81\xC0\x00\x00\x90";
    s.replace(c + 0x7EF, sizeof run - 1, run, sizeof run - 1);
    s[c + 0x808] = '\xE8';
    Put32(s, c + 0x809, static_cast<uint32_t>(kA - (kC + 0x80D)));
    return s;
}

std::string RandomFile(unsigned seed) {
    std::mt19937 r(seed);
    std::string s(kFileSize, '\0');
    FillCode(s, r, 0, 0x3000, kA);
    FillDwords(s, r, OffsetOf(kA + 0x2000), OffsetOf(kA + 0x2040));
    FillDwords(s, r, OffsetOf(kB), OffsetOf(kB + 0x400));
    FillCode(s, r, OffsetOf(kB + 0x400), OffsetOf(kB + 0x500), kB + 0x400);
    FillDwords(s, r, OffsetOf(kB + 0x500), OffsetOf(kB + 0x1000));
    FillCode(s, r, OffsetOf(kC), OffsetOf(kC + 0x2000), kC);
    return s;
}

std::string MixedFile(unsigned seed) {
    std::string s = seed == 0 ? CrossingFile() : RandomFile(seed);
    const std::string text = "refers, text\r\nand a second line";
    s.replace(OffsetOf(kB + 0x700), text.size() + 1, text.c_str(), text.size() + 1);
    return s;
}

template <class M>
void Make(FileParseThread* d, int64_t start, uint32_t count, uint32_t perLine = 0) {
    M maker(d);
    maker.logWanted = false;
    if constexpr (std::is_base_of<BMakerData, M>::value)
        if (perLine)
            maker.dataFormat = (maker.dataFormat & ~0xFFu) | perLine;
    EXPECT_TRUE(maker.Make(start, count));
}

// The layout: dumps in both code segments, dword tables (one and four to a line) in A and B, byte
// lines in A, code and a string in B, words that give no refers.
bool Layout(FileParseThread* d) {
    bool ok = d->AddCodeSegment(kA, 0, 0x3000, 0x3400) && d->AddDataSegment(kB, 0x3000, 0x1000, 0) &&
              d->AddCodeSegment(kC, 0x4000, 0x2000, 0);
    Make<MakerDump>(d, kA + 0x1800, 0x400);
    Make<MakerDword>(d, kA + 0x2000, 0x40, 4);
    {
        MakerByteline lines(d, 16);
        lines.logWanted = false;
        EXPECT_TRUE(lines.Make(kA + 0x2100, 0x40));
    }
    {
        MakerAsciiz text(d);
        text.logWanted = false;
        EXPECT_TRUE(text.Make(kB + 0x700, 0xFFFFFFFF));
    }
    Make<MakerDword>(d, kB, 0x100);
    Make<MakerDword>(d, kB + 0x200, 0x80, 4);
    Make<MakerCode>(d, kB + 0x400, 0x100);
    Make<MakerWord>(d, kB + 0x600, 0x20);
    Make<MakerDword>(d, kB + 0x800, 0x800, 3);
    d->Map().AddCodeItem(kC + 0x7F0);   // as a plug-in may set it
    Make<MakerDump>(d, kC + 0x800, 0x1000);
    return ok;
}

std::string Text(const _REFER_PAIR& p) {
    char text[40];
    std::snprintf(text, sizeof text, "%llX->%llX", static_cast<long long>(p.first), static_cast<long long>(p.second));
    return text;
}
std::string Text(const std::pair<int64_t, uint32_t>& record) {
    char text[40];
    std::snprintf(text, sizeof text, "%llX:%08X", static_cast<long long>(record.first), record.second);
    return text;
}
std::string Text(const std::wstring& s) { return std::string(s.begin(), s.end()); }

// The counts and the first record in which two lists differ; empty when they are the same.
template <class T>
std::string Difference(const std::vector<T>& fast, const std::vector<T>& plain) {
    if (fast == plain)
        return "";
    size_t i = 0;
    while (i < fast.size() && i < plain.size() && fast[i] == plain[i])
        ++i;
    return std::to_string(fast.size()) + " vs " + std::to_string(plain.size()) + ", at " + std::to_string(i) +
           ": " + (i < fast.size() ? Text(fast[i]) : "end") + " vs " + (i < plain.size() ? Text(plain[i]) : "end");
}

struct Side {
    explicit Side(FakeDirectory& directory) : od(directory) {}
    OpenDocument od;
    FileParseThread* doc() { return od.doc; }
    ReferStore& refers() { return od.doc->stores.refers; }
};

class RefersCompareTest : public ::testing::TestWithParam<unsigned> {
protected:
    RefersCompareTest() : file_(L"refers_mixed.bin", MixedFile(GetParam())), fast_(dir_), plain_(dir_) {
        for (Side* side : { &fast_, &plain_ }) {
            EXPECT_TRUE(side->doc()->OpenFile(RequestFor(file_.Path(), &parser_, 32, 0x400000)));
            side->od.host.DeliverPosted();
            side->od.host.notices.clear();
            side->od.log.lines.clear();
        }
    }

    static std::vector<_REFER_PAIR> Pairs(ReferPairStore& store) {
        std::vector<_REFER_PAIR> pairs;
        for (int i = 0; i < store.count; ++i)
            pairs.push_back(store[i]);
        return pairs;
    }
    static std::vector<std::wstring> Names(FileParseThread* d) {
        std::vector<std::wstring> names;
        for (int i = 0; i < d->stores.names.Count(); ++i) {
            const NAME_DATA n = d->stores.names.ByAddressAt(i);
            names.push_back(std::wstring(d->AddressText(n.address).c_str()) + L" " + n.text + L" " +
                            BName::MarkOf(n.text));
        }
        return names;
    }
    static std::vector<std::pair<int64_t, uint32_t>> Records(FileParseThread* d) {
        std::vector<std::pair<int64_t, uint32_t>> records;
        for (int i = 0; i < d->Map().Count(); ++i)
            records.push_back({ d->Map().GetAt(i).address, d->Map().GetAt(i).kind });
        return records;
    }
    // The log without the time a scan took.
    static std::vector<std::wstring> LogLines(const Side& side) {
        std::vector<std::wstring> lines = side.od.log.lines;
        for (std::wstring& line : lines) {
            const size_t at = line.find(L"finished in ");
            if (at != std::wstring::npos)
                line.resize(at + 12);
        }
        return lines;
    }
    static std::vector<std::pair<uint32_t, uintptr_t>> Notices(const Side& side) {
        std::vector<std::pair<uint32_t, uintptr_t>> notices;
        for (const Notice& n : side.od.host.notices)
            notices.push_back({ n.message, n.wparam });
        return notices;
    }

    void ExpectSame() {
        EXPECT_EQ(Difference(Pairs(fast_.refers().FromTo()), Pairs(plain_.refers().FromTo())), "");
        EXPECT_EQ(Difference(Pairs(fast_.refers().ToFrom()), Pairs(plain_.refers().ToFrom())), "");
        EXPECT_EQ(Difference(Records(fast_.doc()), Records(plain_.doc())), "");
        EXPECT_EQ(Difference(Names(fast_.doc()), Names(plain_.doc())), "");
        EXPECT_EQ(fast_.doc()->namesAdded, plain_.doc()->namesAdded);
        EXPECT_EQ(LogLines(fast_), LogLines(plain_));
        EXPECT_EQ(Notices(fast_), Notices(plain_));
    }

    FakeDirectory dir_;
    TempFile file_;
    LambdaParser parser_{ Layout };
    Side fast_;
    Side plain_;
};

TEST_P(RefersCompareTest, WholeFileScansAlike) {
    // Small batches: the finds are merged many times while the walk goes on.
    if (GetParam() % 2)
        fast_.refers().batchPairs = 7;
    fast_.refers().ScanAll();
    PlainScan(plain_.doc()).All();
    ExpectSame();
    if (GetParam() == 0) {
        // The target is code and named; the walk goes on from where the dump's line ends.
        EXPECT_EQ(diza::KindOf(fast_.doc()->Map().ItemAt(kC + 0x808).kind), diza::kCode);
        EXPECT_EQ(fast_.doc()->stores.names.TextAt(kC + 0x808, 0), L"fn_00406808");
        return;
    }
    // Something of each kind was found, so the comparison has something to compare.
    EXPECT_GT(fast_.refers().PairCount(), 500);
    EXPECT_GT(fast_.doc()->stores.names.Count(), 100);
    EXPECT_GT(fast_.refers().CountRefsTo(kA, 0x3000), 0);
    EXPECT_GT(fast_.refers().CountRefsTo(kB, 0x1000), 0);
}

TEST_P(RefersCompareTest, RangesAfterMakesScanAlike) {
    if (GetParam() % 2 == 0)
        fast_.refers().batchPairs = 5;
    fast_.refers().ScanAll();
    PlainScan(plain_.doc()).All();
    // Remade ranges lose their refers and are scanned again; a second whole scan adds nothing.
    for (Side* side : { &fast_, &plain_ }) {
        Make<MakerDump>(side->doc(), kA + 0x100, 0x200);
        Make<MakerDword>(side->doc(), kC + 0x1000, 0x100, 2);
        Make<MakerCode>(side->doc(), kA + 0x1900, 0x80);
        side->refers().RemoveRange(kA, kA + 0x1000);
    }
    fast_.refers().ScanRange(kA, kA + 0x1000);
    PlainScan(plain_.doc()).Range(kA, kA + 0x1000);
    fast_.refers().ScanRange(kC + 0x1000, kC + 0x1100);
    PlainScan(plain_.doc()).Range(kC + 0x1000, kC + 0x1100);
    fast_.refers().ScanAll();
    PlainScan(plain_.doc()).All();
    ExpectSame();
}

// A call target becomes code at once, so code at a target later in the range is scanned even where a
// dump or a dword table stood.
TEST(RefersTargetsTest, CodeAtALaterTargetIsScanned) {
    std::string s(0x200, '\x90');
    auto call = [&s](size_t at, int64_t target) {
        s[at] = '\xE8';
        Put32(s, at + 1, static_cast<uint32_t>(target - (kA + static_cast<int64_t>(at) + 5)));
    };
    call(0x00, kA + 0x80);    // into the dump
    call(0x05, kA + 0x108);   // into the third dword of the table
    call(0x80, kA + 0x10);    // code in the dump
    call(0x108, kA + 0x20);   // code in the table
    Put32(s, 0x100, kA + 0x30);
    Put32(s, 0x104, kA + 0x40);
    FakeDirectory directory;
    TempFile file(L"refers_targets.bin", s);
    LambdaParser parser([](FileParseThread* d) {
        const bool ok = d->AddCodeSegment(kA, 0, 0x200, 0);
        Make<MakerDump>(d, kA + 0x40, 0x80);
        Make<MakerDword>(d, kA + 0x100, 0x20, 4);
        return ok;
    });
    OpenDocument od(directory);
    ASSERT_TRUE(od.doc->OpenFile(RequestFor(file.Path(), &parser, 32, 0x400000)));
    ReferStore& refers = od.doc->stores.refers;
    refers.ScanAll();
    EXPECT_GE(refers.FromTo().Find({ kA + 0x80, kA + 0x10 }), 0);
    EXPECT_GE(refers.FromTo().Find({ kA + 0x108, kA + 0x20 }), 0);
    // The dwords before the target still refer; the one cut by it does not.
    EXPECT_GE(refers.FromTo().Find({ kA + 0x100, kA + 0x30 }), 0);
    EXPECT_GE(refers.FromTo().Find({ kA + 0x104, kA + 0x40 }), 0);
    EXPECT_EQ(refers.PairCount(), 6);
    for (int64_t target : { kA + 0x10, kA + 0x20, kA + 0x80, kA + 0x108 }) {
        EXPECT_EQ(od.doc->stores.names.TextAt(target, 0), StringW(kFormat, L"fn_%08X", static_cast<uint32_t>(target)));
        const Diza item = od.doc->Map().ItemAt(target);
        EXPECT_EQ(item.address, target);
        EXPECT_EQ(diza::KindOf(item.kind), diza::kCode);
    }
    EXPECT_EQ(diza::KindOf(od.doc->Map().ItemAt(kA + 0x7F).kind), diza::kBytes);
    EXPECT_EQ(diza::KindOf(od.doc->Map().ItemAt(kA + 0x104).kind), diza::kData);
    EXPECT_EQ(od.doc->namesAdded, 4);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RefersCompareTest, ::testing::Range(0u, 13u));

}  // namespace
