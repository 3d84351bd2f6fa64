// Decoder throughput on real 32-bit code: the .text of the MinGW-w64 runtime DLLs on this machine (or
// the executables named on the command line), swept linearly. Natively it also runs Zydis and
// Capstone on the same bytes in the same run and prints the ratios.
//   decode_bench [file.dll ...]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/decode/CodeCorpus.h"
#include "decode/Ia32Insn.h"

#ifdef TRELVO_BENCH_ZYDIS
#include <Zydis/Zydis.h>
#endif
#ifdef TRELVO_BENCH_CAPSTONE
#include <capstone/capstone.h>
#endif

namespace {

struct Figure {
    std::string engine, work;
    double seconds = 0;                  // best pass
    uint64_t bytes = 0, insns = 0;       // per pass
    double MBs() const { return seconds > 0 ? double(bytes) / seconds / 1e6 : 0; }
    double Minsns() const { return seconds > 0 ? double(insns) / seconds / 1e6 : 0; }
};

// One pass over every section: `step` decodes at a position and returns the bytes it took (at least
// one). The best of several passes counts; passes repeat until about `budget` seconds are spent.
Figure Measure(const char* engine, const char* work, const std::vector<CodeSection>& corpus,
               const std::function<size_t(const CodeSection&, size_t)>& step, double budget = 1.5) {
    Figure f{engine, work};
    double spent = 0;
    for (int pass = 0; pass < 3 || (spent < budget && pass < 50); ++pass) {
        uint64_t insns = 0, bytes = 0;
        const auto start = std::chrono::steady_clock::now();
        for (const CodeSection& s : corpus) {
            for (size_t pos = 0; pos < s.bytes.size(); ++insns)
                pos += std::max<size_t>(1, step(s, pos));
            bytes += s.bytes.size();
        }
        const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        spent += t;
        if (pass == 0 || t < f.seconds)
            f.seconds = t;
        f.bytes = bytes;
        f.insns = insns;
    }
    return f;
}

const Figure* Find(const std::vector<Figure>& figures, const std::string& engine, const std::string& work) {
    for (const Figure& f : figures)
        if (f.engine == engine && f.work == work)
            return &f;
    return nullptr;
}

void Ratio(const std::vector<Figure>& figures, const char* work, const char* peer, const char* peerWork) {
    const Figure* ours = Find(figures, "trelvo", work);
    const Figure* theirs = Find(figures, peer, peerWork);
    if (!ours || !theirs || theirs->MBs() <= 0)
        return;
    std::printf("  trelvo %-14s / %-8s %-14s  %5.2fx MB/s  %5.2fx insns/s\n", work, peer, peerWork,
                ours->MBs() / theirs->MBs(), ours->Minsns() / std::max(theirs->Minsns(), 1e-12));
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> paths(argv + 1, argv + argc);
    if (paths.empty())
        paths = FindMingwRuntimeDlls();
    std::vector<std::string> skipped;
    const std::vector<CodeSection> corpus = LoadCorpus(paths, 32, &skipped);
    for (const std::string& s : skipped)
        std::fprintf(stderr, "skipped: %s\n", s.c_str());
    uint64_t total = 0;
    for (const CodeSection& s : corpus)
        total += s.bytes.size();
    if (corpus.empty() || total == 0) {
        std::fprintf(stderr, "no 32-bit code found (name PE32 files on the command line)\n");
        return 1;
    }
    std::printf("corpus: %zu sections, %.2f MB of 32-bit code\n", corpus.size(), double(total) / 1e6);

    std::vector<Figure> figures;
    const uint32_t options = kStartupOptions;
    figures.push_back(Measure("trelvo", "decode", corpus, [&](const CodeSection& s, size_t pos) {
        IA32_INSN insn;
        return DecodeInstruction(insn, 32, int64_t(s.address + pos), &s.bytes[pos], s.bytes.size() - pos,
                                 options);
    }));
    figures.push_back(Measure("trelvo", "decode+format", corpus, [&](const CodeSection& s, size_t pos) {
        IA32_INSN insn;
        char text[kInsnTextSize];
        const unsigned n = DecodeInstruction(insn, 32, int64_t(s.address + pos), &s.bytes[pos],
                                             s.bytes.size() - pos, options);
        FormatInstruction(insn, text, sizeof text, nullptr, nullptr);
        return n;
    }));

#ifdef TRELVO_BENCH_ZYDIS
    ZydisDecoder decoder;
    ZydisDecoderInit(&decoder, ZYDIS_MACHINE_MODE_LEGACY_32, ZYDIS_STACK_WIDTH_32);
    ZydisFormatter formatter;
    ZydisFormatterInit(&formatter, ZYDIS_FORMATTER_STYLE_INTEL);
    figures.push_back(Measure("zydis", "decode", corpus, [&](const CodeSection& s, size_t pos) -> size_t {
        ZydisDecodedInstruction insn;
        ZydisDecodedOperand ops[ZYDIS_MAX_OPERAND_COUNT];
        if (!ZYAN_SUCCESS(ZydisDecoderDecodeFull(&decoder, &s.bytes[pos], s.bytes.size() - pos, &insn, ops)))
            return 1;
        return insn.length;
    }));
    figures.push_back(Measure("zydis", "decode+format", corpus, [&](const CodeSection& s, size_t pos) -> size_t {
        ZydisDecodedInstruction insn;
        ZydisDecodedOperand ops[ZYDIS_MAX_OPERAND_COUNT];
        char text[256];
        if (!ZYAN_SUCCESS(ZydisDecoderDecodeFull(&decoder, &s.bytes[pos], s.bytes.size() - pos, &insn, ops)))
            return 1;
        ZydisFormatterFormatInstruction(&formatter, &insn, ops, insn.operand_count_visible, text, sizeof text,
                                        s.address + pos, ZYAN_NULL);
        return insn.length;
    }));
#endif
#ifdef TRELVO_BENCH_CAPSTONE
    csh handle;
    if (cs_open(CS_ARCH_X86, CS_MODE_32, &handle) == CS_ERR_OK) {
        cs_option(handle, CS_OPT_SYNTAX, CS_OPT_SYNTAX_INTEL);
        cs_insn* insn = cs_malloc(handle);
        // Capstone always builds the text: its one figure is decode+format.
        figures.push_back(Measure("capstone", "decode+format", corpus, [&](const CodeSection& s, size_t pos) -> size_t {
            const uint8_t* code = &s.bytes[pos];
            size_t size = s.bytes.size() - pos;
            uint64_t address = s.address + pos;
            return cs_disasm_iter(handle, &code, &size, &address, insn) ? insn->size : 1;
        }));
        cs_free(insn, 1);
        cs_close(&handle);
    }
#endif

    std::printf("%-9s %-14s %9s %12s %12s\n", "engine", "work", "MB/s", "Minsns/s", "insns");
    for (const Figure& f : figures)
        std::printf("%-9s %-14s %9.1f %12.2f %12llu\n", f.engine.c_str(), f.work.c_str(), f.MBs(), f.Minsns(),
                    static_cast<unsigned long long>(f.insns));
    if (figures.size() > 2) {
        std::printf("ratios:\n");
        Ratio(figures, "decode", "zydis", "decode");
        Ratio(figures, "decode+format", "zydis", "decode+format");
        Ratio(figures, "decode", "capstone", "decode+format");
        Ratio(figures, "decode+format", "capstone", "decode+format");
    }
    return 0;
}
