// Code sections of executables found on the machine: the corpus of the decoder benchmark and of the
// objdump differential test. Reads PE (32/64) and ELF (32/64, little-endian) files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CodeSection {
    std::string file;                    // the executable it came from
    std::string name;                    // section name (".text")
    uint64_t address = 0;                // virtual address of its first byte
    uint8_t bitness = 0;                 // 32 or 64, from the file header
    std::vector<uint8_t> bytes;
};

// Appends the executable sections of the file at `path` to `out`; false with `error` set when the
// file cannot be read or is not a well-formed PE or ELF image. Only ".text" sections are taken when
// `textOnly` is set, otherwise every section marked executable.
bool ReadCodeSections(const std::string& path, std::vector<CodeSection>& out, std::string& error,
                      bool textOnly = true);

// The same, from an image already in memory (`name` goes into CodeSection::file).
bool ParseCodeSections(const std::vector<uint8_t>& image, const std::string& name,
                       std::vector<CodeSection>& out, std::string& error, bool textOnly = true);

// The MinGW-w64 i686 runtime DLLs installed on this machine (compiler and runtime folders), one per
// file name, sorted; empty when there are none.
std::vector<std::string> FindMingwRuntimeDlls();

// The .text of every file in `paths` with the given bitness; unreadable files are skipped and named in
// `skipped`.
std::vector<CodeSection> LoadCorpus(const std::vector<std::string>& paths, uint8_t bitness,
                                    std::vector<std::string>* skipped = nullptr);
