#include "bench/decode/CodeCorpus.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <system_error>

namespace {

// Little-endian reads that fail instead of running off the image.
class ImageReader {
public:
    explicit ImageReader(const std::vector<uint8_t>& image) : image_(image) {}
    bool Has(uint64_t offset, uint64_t size) const {
        return offset <= image_.size() && size <= image_.size() - offset;
    }
    uint64_t Read(uint64_t offset, unsigned size) const {
        uint64_t v = 0;
        if (!Has(offset, size)) {
            ok_ = false;
            return 0;
        }
        for (unsigned i = 0; i < size; ++i)
            v |= uint64_t(image_[offset + i]) << (8 * i);
        return v;
    }
    uint16_t U16(uint64_t offset) const { return uint16_t(Read(offset, 2)); }
    uint32_t U32(uint64_t offset) const { return uint32_t(Read(offset, 4)); }
    uint64_t U64(uint64_t offset) const { return Read(offset, 8); }
    bool Ok() const { return ok_; }

private:
    const std::vector<uint8_t>& image_;
    mutable bool ok_ = true;
};

bool AddSection(const std::vector<uint8_t>& image, const std::string& file, std::string name,
                uint64_t address, uint8_t bitness, uint64_t offset, uint64_t size,
                std::vector<CodeSection>& out, std::string& error) {
    if (offset > image.size() || size > image.size() - offset) {
        error = file + ": section " + name + " lies past the end of the file";
        return false;
    }
    CodeSection s;
    s.file = file;
    s.name = std::move(name);
    s.address = address;
    s.bitness = bitness;
    s.bytes.assign(image.begin() + ptrdiff_t(offset), image.begin() + ptrdiff_t(offset + size));
    out.push_back(std::move(s));
    return true;
}

bool ParsePe(const std::vector<uint8_t>& image, const std::string& file, std::vector<CodeSection>& out,
             std::string& error, bool textOnly) {
    ImageReader r(image);
    const uint32_t pe = r.U32(0x3C);
    if (!r.Ok() || r.U32(pe) != 0x00004550) {
        error = file + ": no PE signature";
        return false;
    }
    const uint64_t coff = pe + 4;
    const uint16_t sectionCount = r.U16(coff + 2);
    const uint16_t optionalSize = r.U16(coff + 16);
    const uint64_t optional = coff + 20;
    const uint16_t magic = r.U16(optional);
    uint8_t bitness = 0;
    uint64_t imageBase = 0;
    if (magic == 0x10B) {
        bitness = 32;
        imageBase = r.U32(optional + 28);
    } else if (magic == 0x20B) {
        bitness = 64;
        imageBase = r.U64(optional + 24);
    }
    if (!r.Ok() || bitness == 0) {
        error = file + ": unknown PE optional header";
        return false;
    }
    const uint64_t table = optional + optionalSize;
    if (!r.Has(table, uint64_t(sectionCount) * 40)) {
        error = file + ": section table past the end of the file";
        return false;
    }
    for (unsigned i = 0; i < sectionCount; ++i) {
        const uint64_t row = table + uint64_t(i) * 40;
        char rawName[9] = {};
        std::memcpy(rawName, &image[row], 8);
        const std::string name = rawName;
        const uint32_t virtualSize = r.U32(row + 8);
        const uint32_t virtualAddress = r.U32(row + 12);
        const uint32_t rawSize = r.U32(row + 16);
        const uint32_t rawOffset = r.U32(row + 20);
        const uint32_t characteristics = r.U32(row + 36);
        const bool code = (characteristics & 0x20000020) != 0;   // contains code, or executable
        if (!code || (textOnly && name != ".text"))
            continue;
        const uint32_t size = virtualSize != 0 ? std::min(virtualSize, rawSize) : rawSize;
        if (!AddSection(image, file, name, imageBase + virtualAddress, bitness, rawOffset, size, out,
                        error))
            return false;
    }
    return true;
}

bool ParseElf(const std::vector<uint8_t>& image, const std::string& file, std::vector<CodeSection>& out,
              std::string& error, bool textOnly) {
    ImageReader r(image);
    const uint8_t elfClass = image.size() > 5 ? image[4] : 0;
    const uint8_t endian = image.size() > 5 ? image[5] : 0;
    if ((elfClass != 1 && elfClass != 2) || endian != 1) {
        error = file + ": not a little-endian ELF file";
        return false;
    }
    const bool wide = elfClass == 2;
    const uint64_t shoff = wide ? r.U64(0x28) : r.U32(0x20);
    const uint16_t shentsize = r.U16(wide ? 0x3A : 0x2E);
    const uint16_t shnum = r.U16(wide ? 0x3C : 0x30);
    const uint16_t shstrndx = r.U16(wide ? 0x3E : 0x32);
    if (!r.Ok() || shentsize < (wide ? 64 : 40) || shstrndx >= shnum ||
        !r.Has(shoff, uint64_t(shnum) * shentsize)) {
        error = file + ": bad ELF section header table";
        return false;
    }
    auto header = [&](unsigned i) { return shoff + uint64_t(i) * shentsize; };
    auto field = [&](unsigned i, unsigned off32, unsigned off64) {
        return wide ? r.U64(header(i) + off64) : r.U32(header(i) + off32);
    };
    const uint64_t strOffset = field(shstrndx, 0x10, 0x18);
    const uint64_t strSize = field(shstrndx, 0x14, 0x20);
    if (!r.Has(strOffset, strSize)) {
        error = file + ": bad ELF section name table";
        return false;
    }
    for (unsigned i = 0; i < shnum; ++i) {
        const uint32_t nameOffset = r.U32(header(i));
        const uint32_t type = r.U32(header(i) + 4);
        const uint64_t flags = field(i, 0x08, 0x08);
        const uint64_t addr = field(i, 0x0C, 0x10);
        const uint64_t offset = field(i, 0x10, 0x18);
        const uint64_t size = field(i, 0x14, 0x20);
        std::string name;
        for (uint64_t p = nameOffset; p < strSize && image[strOffset + p] != 0; ++p)
            name += char(image[strOffset + p]);
        const bool code = type == 1 && (flags & 0x4) != 0;     // PROGBITS, executable
        if (!code || (textOnly && name != ".text"))
            continue;
        if (!AddSection(image, file, name, addr, wide ? 64 : 32, offset, size, out, error))
            return false;
    }
    return r.Ok();
}

}  // namespace

bool ParseCodeSections(const std::vector<uint8_t>& image, const std::string& name,
                       std::vector<CodeSection>& out, std::string& error, bool textOnly) {
    if (image.size() >= 4 && image[0] == 0x7F && image[1] == 'E' && image[2] == 'L' && image[3] == 'F')
        return ParseElf(image, name, out, error, textOnly);
    if (image.size() >= 0x40 && image[0] == 'M' && image[1] == 'Z')
        return ParsePe(image, name, out, error, textOnly);
    error = name + ": neither a PE nor an ELF file";
    return false;
}

bool ReadCodeSections(const std::string& path, std::vector<CodeSection>& out, std::string& error,
                      bool textOnly) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = path + ": cannot open";
        return false;
    }
    std::vector<uint8_t> image;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        image.insert(image.end(), chunk, chunk + n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        error = path + ": read error";
        return false;
    }
    return ParseCodeSections(image, path, out, error, textOnly);
}

std::vector<std::string> FindMingwRuntimeDlls() {
    namespace fs = std::filesystem;
    std::vector<fs::path> folders;
    std::error_code ec;
    for (fs::directory_iterator it("/usr/lib/gcc/i686-w64-mingw32", ec), end; !ec && it != end;
         it.increment(ec))
        if (it->is_directory(ec))
            folders.push_back(it->path());
    std::sort(folders.begin(), folders.end());
    folders.push_back("/usr/i686-w64-mingw32/lib");
    folders.push_back("/usr/i686-w64-mingw32/bin");
    std::vector<std::string> found;
    std::set<std::string> names;                 // the same DLL in two thread-model folders: once
    for (const fs::path& folder : folders) {
        std::vector<fs::path> dlls;
        ec.clear();
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
            if (it->path().extension() == ".dll" && it->is_regular_file(ec))
                dlls.push_back(it->path());
        std::sort(dlls.begin(), dlls.end());
        for (const fs::path& dll : dlls)
            if (names.insert(dll.filename().string()).second)
                found.push_back(dll.generic_string());
    }
    return found;
}

std::vector<CodeSection> LoadCorpus(const std::vector<std::string>& paths, uint8_t bitness,
                                    std::vector<std::string>* skipped) {
    std::vector<CodeSection> corpus;
    for (const std::string& path : paths) {
        std::vector<CodeSection> sections;
        std::string error;
        if (!ReadCodeSections(path, sections, error)) {
            if (skipped)
                skipped->push_back(error);
            continue;
        }
        for (CodeSection& s : sections)
            if (s.bitness == bitness)
                corpus.push_back(std::move(s));
    }
    return corpus;
}
