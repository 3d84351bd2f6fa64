#pragma once
// The strings list's filter texts: the lowered shown text of every record of a document's strings
// table, one after another in the table's order, so that a filter looks through them without reading
// and formatting each string again; with each text, the set of its characters, so that most texts are
// passed over without being read. They are made in slices (idle time) and again after the table
// changed, taking over the texts of the records that stayed. Every byte they hold, the texts being
// replaced included, counts against one ceiling.
//
//   texts.Build(document, budgetMs);               // a slice; true once the texts match the table
//   texts.FindAll(filter, [&](int i) { ... });    // every record whose text holds the filter

#include "core/StringW.h"
#include "document/StringzTable.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class FileParseThread;

// Whether a text holds a filter (`n` characters).
bool TextHolds(const wchar_t* text, size_t length, const wchar_t* filter, size_t n);

class StringzFilterTexts {
public:
    StringzFilterTexts() = default;
    virtual ~StringzFilterTexts() = default;
    StringzFilterTexts(const StringzFilterTexts&) = delete;
    StringzFilterTexts& operator=(const StringzFilterTexts&) = delete;

    // Works on the texts for about `budgetMs` milliseconds (negative: to the end) under the file lock
    // and the table's lock; true when they match the table as it is.
    bool Build(FileParseThread* document, int budgetMs);
    // Whether the texts match the table's state.
    bool Current(FileParseThread* document);
    // Whether the texts could not be had (no room for them) for a table of this size: the filter reads
    // the strings' bytes then. They are tried again only once the table is smaller, or after Forget.
    bool Failed(FileParseThread* document);
    // Drops every text (a new document).
    void Forget();

    // Calls `add` with the index of every record whose text holds the lowered filter, in order.
    void FindAll(const StringW& filter, const std::function<void(int)>& add) const;
    // Whether the text of record i holds the lowered filter.
    bool Holds(int i, const StringW& filter) const;
    // The most bytes the texts may hold at once, growth and the texts being replaced included;
    // beyond it they are not made (tests lower it).
    static size_t maxBytes;
    // Whether texts and bytes are looked through many characters at a time (where the processor
    // can; tests turn it off).
    static bool vectors;
    // The bytes they hold now, and the most they held so far.
    size_t HeldBytes() const { return account_.held; }
    size_t PeakBytes() const { return account_.peak; }
    // How many builds began anew (not a slice's resumption).
    int buildsBegun = 0;

private:
    struct Account {
        size_t held = 0;
        size_t peak = 0;
    };
    // Allocates for the texts, counting each block against the ceiling.
    template <class T>
    struct Counted {
        using value_type = T;
        using propagate_on_container_move_assignment = std::true_type;
        using propagate_on_container_swap = std::true_type;
        explicit Counted(Account* a) : account(a) {}
        template <class U>
        Counted(const Counted<U>& other) : account(other.account) {}
        T* allocate(size_t n);
        void deallocate(T* p, size_t n) {
            std::allocator<T>().deallocate(p, n);
            account->held -= n * sizeof(T);
        }
        bool operator==(const Counted& other) const { return account == other.account; }
        bool operator!=(const Counted& other) const { return account != other.account; }
        Account* account;
    };
    template <class T>
    using Vector = std::vector<T, Counted<T>>;

    // The characters a text holds: bit c for an ASCII character c, bit (c & 0x7F) and bit 0 (that no
    // text holds) for any other.
    struct CharSet {
        uint64_t low = 0, high = 0;
        void Add(wchar_t c);
        bool Holds(const CharSet& other) const {
            return (low & other.low) == other.low && (high & other.high) == other.high;
        }
        bool AsciiOnly() const { return (low & 1) == 0; }
    };
    static CharSet SetOf(const wchar_t* text, size_t length);
    // FindAll for a filter of two characters or more, over all the texts in one pass.
    void FindAllInBlocks(const StringW& filter, const std::function<void(int)>& add) const;

    struct Texts {
        explicit Texts(Account* a) : records(Counted<STRINGZ_DATA>(a)), starts(Counted<uint32_t>(a)),
                                     chars(Counted<wchar_t>(a)), sets(Counted<CharSet>(a)) {}
        Vector<STRINGZ_DATA> records;
        Vector<uint32_t> starts;   // where each text begins; one more for the end
        Vector<wchar_t> chars;     // the texts, one after another
        Vector<CharSet> sets;      // the characters of each text
        void Clear();
        // Room for `count` texts of `characters` in all; the bytes that takes.
        void Reserve(size_t count, size_t characters);
        static size_t Bytes(size_t count, size_t characters);
        // Appends a record's text, lowered when asked, with its characters (known when reused).
        void Append(const STRINGZ_DATA& record, const wchar_t* text, size_t length, bool lower,
                    const CharSet* set = nullptr);
    };

    Account account_;
    Texts done_{ &account_ };  // the texts of the table as it was at `doneChanges_`
    bool doneValid_ = false;
    uint32_t doneChanges_ = 0;
    Texts next_{ &account_ };  // being made for the table at `nextChanges_`
    bool building_ = false;
    uint32_t nextChanges_ = 0;
    size_t reuse_ = 0;         // the first record of done_ not yet passed by next_
    bool failed_ = false;      // no memory for a table of `failedCount_` records
    int failedCount_ = 0;
};
