#include "document/BFileParser.h"

#include "document/BFileIO.h"
#include "document/DocumentHost.h"
#include "document/FileParseThread.h"
#include "options/Options.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

BFileParser::~BFileParser() {
    if (library)
        ::FreeLibrary(library);
}

bool BFileParser::Load(const wchar_t* libraryPath) {
    path.SetText(libraryPath);
    library = ::LoadLibraryW(libraryPath);
    if (!library) {
        message = FormatSystemMessage(::GetLastError());
        return false;
    }
    if (auto version = FunctionCast<ZepApiVersionUsedFn>(::GetProcAddress(library, "ApiVersionUsed"))) {
        if (version() > kZepApiVersion) {
            message = L"API version is mismatch";
            return false;
        }
    }
    knowsFileEntry = FunctionCast<ZepIKnowThisFileFn>(::GetProcAddress(library, "IKnowThisFile"));
    if (!knowsFileEntry) {
        message = L"no IKnowThisFile";
        return false;
    }
    parseEntry = FunctionCast<ZepParseFileFn>(::GetProcAddress(library, "ParseFile"));
    if (!parseEntry) {
        message = L"no ParseFile";
        return false;
    }
    if (auto idEntry = FunctionCast<ZepIDFn>(::GetProcAddress(library, "ZepID"))) {
        id = idEntry();
        if (id >= 1 && id <= 0xFFFF) {
            message = L"ZepID above 0xFFFF";
            return false;
        }
    }
    if (auto titleEntry = FunctionCast<ZepTitleFn>(::GetProcAddress(library, "ZepTitle")))
        title.SetText(titleEntry());
    if (title.empty()) {
        const size_t slash = path.find_last_of(L"\\/:");
        title = path.substr(slash == StringW::npos ? 0 : slash + 1);
        const size_t dot = title.rfind(L'.');
        if (dot != StringW::npos)
            title.resize(dot);
    }
    return true;
}

bool BFileParser::KnowsFile(ParseProbe* probe) { return knowsFileEntry && knowsFileEntry(probe) != 0; }

void BFileParser::OnOpen(ParseRequest*) {}
void BFileParser::OnClose(ParseRequest*) {}

bool BFileParser::Parse(ParseRequest* request) {
    busy = !(request->head.flags & kRequestNotBusy);
    const bool result = parseEntry && parseEntry(request) != 0;
    busy = false;
    return result;
}

int64_t BFileParser::TranslateAddress(ParseRequest*, uint32_t low, uint32_t high) {
    return static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
}

uint32_t BFileParser::ClearBuffer(ParseRequest*, uint32_t, uint32_t, void* destination, uint32_t count) {
    std::memset(destination, 0, count);
    return count;
}

FileParserBinary::FileParserBinary() {
    title = L"Binary(internal)";
    id = 1;
}

bool FileParserBinary::KnowsFile(ParseProbe* probe) {
    probe->head.flags = 0x7710;   // every code size, the base address and the element order are the user's
    probe->head.bitness = 0;
    probe->head.acceptCode = 1;
    return true;
}

bool FileParserBinary::Parse(ParseRequest* request) {
    FileParseThread* document = FindFileById(request->head.fileId);
    if (!document)
        return false;
    document->AddSegment(request->head.bitness, request->head.baseAddress, 0, document->FileSize(), 0);
    return true;
}

uint32_t FileParserBinary::ClearBuffer(ParseRequest*, uint32_t, uint32_t, void*, uint32_t) { return 0; }

namespace {

size_t PathBytes(const wchar_t* path) { return path ? std::wcslen(path) * sizeof(wchar_t) : 0; }

void* ZeroRecord(size_t bytes) { return std::calloc(1, bytes); }

}  // namespace

ParseRequest* MakeParseRequest(const wchar_t* path) {
    const size_t bytes = PathBytes(path);
    auto* request = static_cast<ParseRequest*>(ZeroRecord(bytes + 50));
    if (!request)
        return nullptr;
    request->head.pathLength = static_cast<int32_t>(bytes);
    std::memcpy(request->path, path, bytes);
    return request;
}

ParseProbe* MakeParseProbe(const ParseRequest* request) {
    const size_t bytes = static_cast<size_t>(std::max(request->head.pathLength, 0));
    auto* probe = static_cast<ParseProbe*>(ZeroRecord(bytes + 42));
    if (!probe)
        return nullptr;
    probe->head = request->head;
    std::memcpy(probe->path, request->path, bytes);
    return probe;
}

ParseRequest* CopyParseRequest(const ParseProbe* probe, const wchar_t* path) {
    const wchar_t* taken = path && *path ? path : probe->path;
    const size_t bytes = PathBytes(taken);
    auto* request = static_cast<ParseRequest*>(ZeroRecord(bytes + 50));
    if (!request)
        return nullptr;
    request->head = probe->head;
    request->head.pathLength = static_cast<int32_t>(bytes);
    std::memcpy(request->path, taken, bytes);
    return request;
}

void FreeParseRecord(void* record) { std::free(record); }

bool ParserRegistry::LoadParser(const wchar_t* folder, const wchar_t* fileName) {
    StringW path(folder);
    path.Append(fileName);
    MainLogLine(path.c_str());
    BFileParser* parser = new BFileParser;
    const bool loaded = parser->Load(path.c_str());
    if (loaded) {
        if (parser->IsSecond()) {
            MainLogAppend(L"  (second)");
            secondParsers.push_back(parser);
        } else {
            MainLogAppend(parser->id ? StringW(kFormat, L"  (ID:%08X)", parser->id).c_str() : L"  (no-savefile)");
            mainParsers.push_back(parser);
        }
        MainLogAppend(StringW(kFormat, L"  '%s' loaded", parser->title.c_str()).c_str());
        if (parser->library)
            MainLogAppend(StringW(kFormat, L" at %08X", static_cast<unsigned>(reinterpret_cast<uintptr_t>(parser->library))).c_str());
    } else {
        MainLogAppend(StringW(kFormat, L"  ERROR: %s", parser->message.c_str()).c_str());
        delete parser;
    }
    MainLogLine(L"");
    return loaded;
}

void ParserRegistry::LoadAll(const wchar_t* folder) {
    // No folder (the program's own unknown) loads no library: a relative search would take them from
    // whatever the current folder is.
    if (!folder || !*folder) {
        Add(new FileParserBinary);
        return;
    }
    StringW pattern(folder);
    pattern.Append(L"*.zep32");
    std::vector<StringW> names;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.emplace_back(found.cFileName);
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    // The system's order is the file system's; ours is by name, so every run loads alike.
    std::sort(names.begin(), names.end());
    for (const StringW& name : names)
        LoadParser(folder, name.c_str());
    Add(new FileParserBinary);
}

void ParserRegistry::LoadAll(Options& appOptions) { LoadAll(appOptions.general.pluginFolder.Expanded().c_str()); }

int ParserRegistry::Probe(std::vector<ParseRequest*>& out, const ParseRequest* request) {
    int asked = 0;
    for (BFileParser* parser : mainParsers) {
        message.clear();
        probe = MakeParseProbe(request);
        if (!probe)
            break;
        ++asked;
        const bool knows = parser->KnowsFile(probe);
        if (knows && (probe->head.acceptCode == 1 || (probe->head.acceptCode == 0 && probe->head.bitness == 0))) {
            if (ParseRequest* offer = CopyParseRequest(probe, nullptr)) {
                offer->mainParser = parser;
                out.push_back(offer);
            }
        }
        FreeParseRecord(probe);
        probe = nullptr;
    }
    return asked;
}

void ParserRegistry::Clear() {
    for (BFileParser* parser : mainParsers)
        delete parser;
    for (BFileParser* parser : secondParsers)
        delete parser;
    mainParsers.clear();
    secondParsers.clear();
}
