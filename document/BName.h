#pragma once
// The names of a document's addresses: unique texts, several of them possibly at one address, each with
// a mark character kept in the two pool bytes before its text ('F' for the refers scan's "fn_" names,
// a blank for the user's). Two indexes over the same records: by address and by text.

#include "core/BMemoryCluster.h"
#include "core/BStringList.h"
#include "core/SectionLock.h"
#include "core/StringW.h"
#include "core/TChunk.h"

#include <cstdint>
#include <cwchar>
#include <utility>
#include <vector>

class BTextEditor;
class FileParseThread;

struct NAME_DATA {
    int64_t address;
    const wchar_t* text;   // in the store's pool
};

template <>
struct TChunkKey<NAME_DATA, const wchar_t*> {
    static const wchar_t* Of(const NAME_DATA& r) { return r.text; }
    static bool Match(const NAME_DATA& r, const wchar_t* key) { return std::wcscmp(r.text, key) == 0; }
};

// A letter, a digit, one of # $ % ( ) - . ? @ [ ] _ ` ~ or 0x7F.
bool IsNameChar(wchar_t c);
// Name characters only, not starting with a digit.
bool IsValidName(const wchar_t* text);

// The recently entered names, kept under a key in the options.
class NameRecentList : public BStringList {
public:
    void SetKey(const wchar_t* key, int length);
    const StringW& Key() const { return key_; }

private:
    StringW key_;
};

class BName {
public:
    explicit BName(int recordsPerChunk);
    virtual ~BName() = default;
    BName(const BName&) = delete;
    BName& operator=(const BName&) = delete;

    // The start of a default name ("addr_" in a document).
    virtual const wchar_t* Prefix() const = 0;

    bool Add(int64_t address, const wchar_t* text, int mark);
    // Adds many names with one mark as Add would, each index moved once; the addresses of those added.
    std::vector<int64_t> AddMany(const std::vector<std::pair<int64_t, StringW>>& names, int mark);
    bool HasText(const wchar_t* text);
    int64_t AddressOf(const wchar_t* text);
    int32_t CountAt(int64_t address);
    int FirstIndexAt(int64_t address);
    StringW TextAt(int64_t address, int n);
    // The mark of the n-th name at the address; 0 when there is none.
    wchar_t MarkAt(int64_t address, int n);
    bool RemoveText(const wchar_t* text);
    bool Rename(const wchar_t* oldText, const wchar_t* newText);
    // The name dialog for the n-th name at the address; whether OK was chosen.
    bool EditDialog(BTextEditor* editor, FileParseThread* document, int64_t address, int n);

    int Count();
    // Grows with every change of the names (an add, a removal, a rename).
    uint32_t Changes();
    // Record i of each index (the names list reads them under Lock()).
    NAME_DATA ByAddressAt(int i);
    NAME_DATA ByTextAt(int i);
    CRITICAL_SECTION* Lock() { return lock_.Get(); }
    static wchar_t MarkOf(const wchar_t* pooled) { return pooled[-1]; }

    NameRecentList recent;

private:
    const wchar_t* Copy(const wchar_t* text, int mark);
    // Index in the by-address index of the record holding exactly this pooled text; -1 when none.
    int AddressIndexOf(int64_t address, const wchar_t* pooled) const;

    HStringMemory pool_;
    TChunkSortKey<NAME_DATA, int64_t> byAddress_;
    TChunkSortKey<NAME_DATA, const wchar_t*> byText_;
    CriticalSection lock_;
    uint32_t changes_ = 0;
};

class GlobalName : public BName {
public:
    explicit GlobalName(int recordsPerChunk) : BName(recordsPerChunk) {}
    const wchar_t* Prefix() const override { return L"addr_"; }
};
