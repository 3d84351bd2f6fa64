// A parser plug-in for tests. It knows only files that begin with the line "ZEPTEST" and does what the
// script lines after it say, up to a line "end"; the rest of the file is data. Script lines:
//   probe RESULT ACCEPT BITNESS FLAGS BASE   what "IKnowThisFile" answers and puts into the probe
//   return N                                 the result of "ParseFile" (1 unless said)
// Results are returned as whole 32-bit words: a caller must read a plug-in's bool from AL alone, so
// 0x100 means false.
//   call NAME ARG...                         calls the program's export NAME (cdecl, 32-bit arguments):
//                                            a number, "$id" for the request's file id, q:NUMBER for a
//                                            64-bit value as low and high halves, "text" for a UTF-16 text
//                                            (NAME "#N": the export of ordinal N)
//   same NAME N                              the export NAME and the export of ordinal N must be one entry
//   expect N                                 the last call must have returned N, or "ParseFile" fails
//   fault                                    writes to address 0
//   raise CODE                               raises a structured exception with that code
//   badptr                                   probes address 0 through the system, which handles the fault
// Build variants (compile definitions) make libraries that the loader must refuse or treat specially.

#include "document/ParseRequest.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifndef ZEP_API_VERSION
#define ZEP_API_VERSION 2503
#endif
#ifndef ZEP_ID
#define ZEP_ID 0x10000
#endif

namespace {

struct Script {
    bool known = false;
    uint32_t probeResult = 1;
    int16_t accept = 1;
    int16_t bitness = 32;
    uint32_t flags = 0;
    int64_t base = 0x400000;
    std::vector<std::string> lines;
};

bool ReadHead(const wchar_t* path, std::string* text) {
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[8192];
    DWORD got = 0;
    BOOL ok = ::ReadFile(file, buffer, sizeof(buffer), &got, nullptr);
    ::CloseHandle(file);
    if (!ok)
        return false;
    text->assign(buffer, got);
    return true;
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i >= line.size())
            break;
        size_t start = i;
        if (line[i] == '"') {
            size_t end = line.find('"', i + 1);
            if (end == std::string::npos)
                end = line.size();
            words.push_back(line.substr(start, end - start + 1));
            i = end + 1;
            continue;
        }
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        words.push_back(line.substr(start, i - start));
    }
    return words;
}

int64_t Number(const std::string& word) {
    return static_cast<int64_t>(std::strtoull(word.c_str() + (word[0] == '-' ? 1 : 0), nullptr, 0)) *
           (word[0] == '-' ? -1 : 1);
}

Script Load(const wchar_t* path) {
    Script script;
    std::string text;
    if (!ReadHead(path, &text) || text.compare(0, 7, "ZEPTEST") != 0)
        return script;
    script.known = true;
    size_t pos = text.find('\n');
    while (pos != std::string::npos && pos + 1 < text.size()) {
        size_t end = text.find('\n', pos + 1);
        std::string line = text.substr(pos + 1, end == std::string::npos ? std::string::npos : end - pos - 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == "end")
            break;
        std::vector<std::string> w = Words(line);
        if (w.size() == 6 && w[0] == "probe") {
            script.probeResult = static_cast<uint32_t>(Number(w[1]));
            script.accept = static_cast<int16_t>(Number(w[2]));
            script.bitness = static_cast<int16_t>(Number(w[3]));
            script.flags = static_cast<uint32_t>(Number(w[4]));
            script.base = Number(w[5]);
        } else if (!w.empty()) {
            script.lines.push_back(line);
        }
        pos = end;
    }
    return script;
}

typedef uint8_t(__cdecl* Callback)(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                   uint32_t, uint32_t, uint32_t, uint32_t, uint32_t);

// The program's export by name, or by ordinal for "#N".
FARPROC ExportOf(const std::string& name) {
    HMODULE program = ::GetModuleHandleW(nullptr);
    if (name.size() > 1 && name[0] == '#')
        return ::GetProcAddress(program, MAKEINTRESOURCEA(static_cast<WORD>(Number(name.substr(1)))));
    return ::GetProcAddress(program, name.c_str());
}

// One call of the program's export; false when the export is missing or the arguments are too many.
[[maybe_unused]] bool CallExport(const std::vector<std::string>& w, int32_t fileId, uint8_t* result) {
    FARPROC fn = ExportOf(w[1]);
    if (!fn)
        return false;
    uint32_t a[12] = {};
    std::vector<std::wstring> texts;
    texts.reserve(w.size());
    size_t n = 0;
    for (size_t i = 2; i < w.size(); ++i) {
        const std::string& word = w[i];
        if (n >= 12)
            return false;
        if (word == "$id") {
            a[n++] = static_cast<uint32_t>(fileId);
        } else if (word[0] == '"') {
            std::string inner = word.substr(1, word.size() >= 2 ? word.size() - 2 : 0);
            texts.emplace_back(inner.begin(), inner.end());
            a[n++] = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(texts.back().c_str()));
        } else if (word.compare(0, 2, "q:") == 0) {
            if (n + 2 > 12)
                return false;
            uint64_t v = static_cast<uint64_t>(Number(word.substr(2)));
            a[n++] = static_cast<uint32_t>(v);
            a[n++] = static_cast<uint32_t>(v >> 32);
        } else {
            a[n++] = static_cast<uint32_t>(Number(word));
        }
    }
    Callback call = FunctionCast<Callback>(fn);
    *result = call(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10], a[11]);
    return true;
}

}  // namespace

extern "C" {

#ifndef ZEP_NO_VERSION
__declspec(dllexport) int32_t __cdecl ApiVersionUsed() { return ZEP_API_VERSION; }
#endif

#ifndef ZEP_NO_IKNOW
__declspec(dllexport) uint32_t __cdecl IKnowThisFile(ParseProbe* probe) {
    Script script = Load(probe->path);
    if (!script.known)
        return 0;
    probe->head.flags = script.flags;
    probe->head.bitness = script.bitness;
    probe->head.acceptCode = script.accept;
    probe->head.baseAddress = script.base;
    return script.probeResult;
}
#endif

#ifndef ZEP_NO_PARSE
__declspec(dllexport) uint32_t __cdecl ParseFile(ParseRequest* request) {
    Script script = Load(request->path);
    if (!script.known)
        return 0;
    uint32_t value = 1;
    bool ok = true;
    uint8_t last = 0;
    for (const std::string& line : script.lines) {
        std::vector<std::string> w = Words(line);
        if (w[0] == "return" && w.size() == 2) {
            value = static_cast<uint32_t>(Number(w[1]));
        } else if (w[0] == "call" && w.size() >= 2) {
            if (!CallExport(w, request->head.fileId, &last))
                ok = false;
        } else if (w[0] == "same" && w.size() == 3) {
            FARPROC byName = ExportOf(w[1]);
            if (!byName || byName != ExportOf("#" + w[2]))
                ok = false;
        } else if (w[0] == "expect" && w.size() == 2) {
            if (last != Number(w[1]))
                ok = false;
        } else if (w[0] == "fault") {
            volatile uintptr_t zero = 0;   // through a variable, so the compiler writes instead of trapping
            *reinterpret_cast<volatile int*>(zero) = 1;
        } else if (w[0] == "raise" && w.size() == 2) {
            ::RaiseException(static_cast<DWORD>(Number(w[1])), 0, 0, nullptr);
        } else if (w[0] == "badptr") {
            if (!::IsBadReadPtr(nullptr, 4))
                ok = false;
        } else {
            ok = false;
        }
    }
    return ok ? value : 0;
}
#endif

#ifndef ZEP_NO_ID
__declspec(dllexport) uint32_t __cdecl ZepID() { return ZEP_ID; }
#endif

#ifndef ZEP_NO_TITLE
__declspec(dllexport) const wchar_t* __cdecl ZepTitle() { return L"Test parser"; }
#endif

}  // extern "C"
