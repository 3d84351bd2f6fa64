#pragma once
// Parsers: plug-in libraries (*.zep32) and the built-in raw-data parser, and the registry that loads
// them once and asks each whether it knows a file.

#include "core/StringW.h"
#include "document/ParseRequest.h"

#include <windows.h>

#include <cstdint>
#include <vector>

class Options;

class BFileParser {
public:
    BFileParser() = default;
    virtual ~BFileParser();
    BFileParser(const BFileParser&) = delete;
    BFileParser& operator=(const BFileParser&) = delete;

    // Loads the library and checks its entries; false with the reason in `message`.
    virtual bool Load(const wchar_t* path);
    virtual bool KnowsFile(ParseProbe* probe);
    virtual void OnOpen(ParseRequest* request);
    virtual bool Parse(ParseRequest* request);
    virtual void OnClose(ParseRequest* request);
    virtual int64_t TranslateAddress(ParseRequest* request, uint32_t low, uint32_t high);
    // Fills memory-only bytes of a segment: zeros, all of them.
    virtual uint32_t ClearBuffer(ParseRequest* request, uint32_t low, uint32_t high, void* destination, uint32_t count);

    void ClearMessage() { status.clear(); }
    bool IsSecond() const { return (flags & kSecondParser) != 0; }

    static constexpr uint32_t kSecondParser = 0x2;

    HMODULE library = nullptr;
    StringW path;
    StringW title;
    uint32_t id = 0;
    uint32_t flags = 0;
    StringW message;
    bool busy = false;
    StringW status;
    ZepIKnowThisFileFn knowsFileEntry = nullptr;
    void* spare1 = nullptr;
    ZepParseFileFn parseEntry = nullptr;
    void* spare3 = nullptr;
    void* spare4 = nullptr;
    void* spare5 = nullptr;
};

// The raw-data parser: knows every file and makes it one segment.
class FileParserBinary : public BFileParser {
public:
    FileParserBinary();
    bool KnowsFile(ParseProbe* probe) override;
    bool Parse(ParseRequest* request) override;
    uint32_t ClearBuffer(ParseRequest* request, uint32_t low, uint32_t high, void* destination, uint32_t count) override;
};

// Records of the plug-in interface: allocated zero-filled, freed with FreeParseRecord.
ParseRequest* MakeParseRequest(const wchar_t* path);
ParseProbe* MakeParseProbe(const ParseRequest* request);
ParseRequest* CopyParseRequest(const ParseProbe* probe, const wchar_t* path);
void FreeParseRecord(void* record);

class ParserRegistry {
public:
    ParserRegistry() = default;
    virtual ~ParserRegistry() { Clear(); }
    ParserRegistry(const ParserRegistry&) = delete;
    ParserRegistry& operator=(const ParserRegistry&) = delete;

    // Loads one library; every outcome goes to the main log.
    bool LoadParser(const wchar_t* folder, const wchar_t* fileName);
    // Every ".zep32" of the folder (with its trailing backslash), then the built-in parser last.
    void LoadAll(const wchar_t* folder);
    // The folder is the application's plug-in folder option ("$\": the program's own folder).
    void LoadAll(Options& appOptions);
    // Asks every main parser about the file of `request`; each acceptance appends a new request.
    int Probe(std::vector<ParseRequest*>& out, const ParseRequest* request);
    void Add(BFileParser* parser) { mainParsers.push_back(parser); }
    void Clear();

    std::vector<BFileParser*> mainParsers;
    std::vector<BFileParser*> secondParsers;
    // The main parser the open dialog chose last; forgotten with the parsers.
    BFileParser* lastChosen = nullptr;
    ParseProbe* probe = nullptr;
    StringW message;
};
