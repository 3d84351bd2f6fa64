#pragma once
// The flat records that carry a file's opening choices into a parser plug-in: the probe is the argument
// of "IKnowThisFile", the request the argument of "ParseFile". Both cross a DLL boundary, so their byte
// layout is fixed and checked below; this header needs nothing but <cstdint> so plug-ins include it too.

#include <cstddef>
#include <cstdint>
#include <cstring>

class BFileParser;

// Request flags.
enum : uint32_t {
    kRequestNotBusy = 0x10,            // the parser is not marked busy while it parses
    kRequestEnableData = 0x100,        // the open dialog's "&Data" choice
    kRequestEnable16 = 0x200,          // "&16"
    kRequestEnable32 = 0x400,          // "3&2"
    kRequestEnableBase = 0x1000,       // the base-address field
    kRequestOrderOpen = 0x2000,        // with 0x4000: the element order is left to the user
    kRequestBigEndian = 0x4000,        // data in big-endian element order
    kRequestRefers = 0x8000,           // refers scan wanted
    kRequestWideOdd = 0x100000,        // scan wide strings at odd addresses
    kRequestWideEven = 0x200000,       // scan wide strings at even addresses
    kRequestAscii = 0x400000,          // scan ASCII strings
};

// Bytes 0-39, shared by both records.
struct ParseRecordHead {
    int32_t pathLength;     // bytes of the path without its terminating zero
    int32_t fileId;         // 0 while probing; the document's serial once the file is open
    uint32_t flags;
    int16_t bitness;        // 16, 32 or 64; 0 = data file
    int16_t acceptCode;     // 1 = accepted with code; 0 with bitness 0 = accepted as data
    int64_t baseAddress;
    uint8_t reserved24[8];
    int32_t reserved32;
    uint32_t reserved36;
};

struct ParseProbe {
    ParseRecordHead head;
    wchar_t path[1];        // UTF-16, zero-terminated; the record is allocated to its length
};

struct ParseRequest {
    ParseRecordHead head;
    BFileParser* secondParser;
    BFileParser* mainParser;
    wchar_t path[1];
};

static_assert(sizeof(wchar_t) == 2, "paths are UTF-16");
static_assert(offsetof(ParseRecordHead, pathLength) == 0, "ParseRecordHead layout");
static_assert(offsetof(ParseRecordHead, fileId) == 4, "ParseRecordHead layout");
static_assert(offsetof(ParseRecordHead, flags) == 8, "ParseRecordHead layout");
static_assert(offsetof(ParseRecordHead, bitness) == 12, "ParseRecordHead layout");
static_assert(offsetof(ParseRecordHead, acceptCode) == 14, "ParseRecordHead layout");
static_assert(offsetof(ParseRecordHead, baseAddress) == 16, "ParseRecordHead layout");
static_assert(offsetof(ParseRecordHead, reserved24) == 24, "ParseRecordHead layout");
static_assert(offsetof(ParseRecordHead, reserved32) == 32, "ParseRecordHead layout");
static_assert(offsetof(ParseRecordHead, reserved36) == 36, "ParseRecordHead layout");
static_assert(sizeof(ParseRecordHead) == 40, "ParseRecordHead layout");
static_assert(offsetof(ParseProbe, path) == 40, "ParseProbe layout");
#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(ParseRequest, secondParser) == 40, "ParseRequest layout");
static_assert(offsetof(ParseRequest, mainParser) == 44, "ParseRequest layout");
static_assert(offsetof(ParseRequest, path) == 48, "ParseRequest layout");
#endif

// The plug-in entries, all cdecl. A plug-in's bool is read from AL alone, so it comes back as a byte.
extern "C" {
typedef int32_t(__cdecl* ZepApiVersionUsedFn)();
typedef uint8_t(__cdecl* ZepIKnowThisFileFn)(ParseProbe* probe);
typedef uint8_t(__cdecl* ZepParseFileFn)(ParseRequest* request);
typedef uint32_t(__cdecl* ZepIDFn)();
typedef const wchar_t*(__cdecl* ZepTitleFn)();
}

// The highest plug-in interface version this program understands (its build number).
constexpr int32_t kZepApiVersion = 2503;

// GetProcAddress gives one function type for every entry; a byte copy turns it into the entry's own type
// without a cast between unrelated function types.
template <class To, class From>
To FunctionCast(From from) {
    static_assert(sizeof(To) == sizeof(From), "function pointers of one size");
    To to;
    std::memcpy(&to, &from, sizeof(to));
    return to;
}
