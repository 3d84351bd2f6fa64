#include "tests/decode/diff/Objdump.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// A temporary file that is removed with this object.
class TempFile {
public:
    TempFile() {
        const char* dir = std::getenv("TMPDIR");
        path_ = std::string(dir && *dir ? dir : "/tmp") + "/trelvo-objdiff-XXXXXX";
        fd_ = mkstemp(&path_[0]);
    }
    ~TempFile() {
        if (fd_ >= 0) {
            close(fd_);
            unlink(path_.c_str());
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    bool Write(const std::vector<uint8_t>& bytes) {
        size_t done = 0;
        while (fd_ >= 0 && done < bytes.size()) {
            const ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                return false;
            done += size_t(n);
        }
        return fd_ >= 0;
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace

bool ObjdumpAvailable() {
    std::FILE* p = popen("objdump --help 2>/dev/null", "r");
    if (!p)
        return false;
    bool i386 = false;
    char buf[4096];
    while (std::fgets(buf, sizeof buf, p))
        if (std::strstr(buf, "i386:x86-64"))
            i386 = true;
    return pclose(p) == 0 && i386;
}

const char* ObjdumpMachine(uint8_t bitness) {
    return bitness == 16 ? "i8086" : bitness == 32 ? "i386" : "i386:x86-64";
}

bool ParseObjdumpLine(const char* text, ObjdumpLine& out) {
    const char* p = text;
    while (*p == ' ')
        ++p;
    uint64_t address = 0;
    const char* digits = p;
    for (int d; (d = HexDigit(*p)) >= 0; ++p)
        address = address << 4 | unsigned(d);
    if (p == digits || p[0] != ':' || p[1] != '\t')
        return false;
    p += 2;
    unsigned length = 0;
    while (HexDigit(p[0]) >= 0 && HexDigit(p[1]) >= 0 && (p[2] == ' ' || p[2] == '\t')) {
        ++length;
        p += 2;
        while (*p == ' ')
            ++p;
    }
    if (length == 0)
        return false;
    if (*p == '\t')
        ++p;
    out.address = address;
    out.length = length;
    out.text.assign(p);
    while (!out.text.empty() && (out.text.back() == '\n' || out.text.back() == ' '))
        out.text.pop_back();
    return true;
}

bool RunObjdump(const std::vector<uint8_t>& bytes, uint8_t bitness, uint64_t vma,
                const std::function<void(const ObjdumpLine&)>& line, std::string& error) {
    TempFile file;
    if (!file.Write(bytes)) {
        error = "cannot write the temporary file " + file.Path();
        return false;
    }
    char command[512];
    std::snprintf(command, sizeof command,
                  "objdump -D -b binary -m %s -M intel --insn-width=16 --adjust-vma=0x%llx '%s' 2>&1",
                  ObjdumpMachine(bitness), static_cast<unsigned long long>(vma), file.Path().c_str());
    std::FILE* p = popen(command, "r");
    if (!p) {
        error = "cannot run objdump";
        return false;
    }
    char buf[1024];
    ObjdumpLine parsed;
    std::string firstOther;
    while (std::fgets(buf, sizeof buf, p)) {
        if (ParseObjdumpLine(buf, parsed))
            line(parsed);
        else if (firstOther.empty() && std::strstr(buf, "objdump:"))
            firstOther = buf;
    }
    const int status = pclose(p);
    if (status != 0) {
        error = "objdump failed: " + firstOther;
        return false;
    }
    return true;
}
