// The options text: ini-style 8-bit text kept in one buffer and edited in place, so that comments,
// blank lines and keys nobody here knows survive a rewrite of a hand-edited file.
//
//   [UI]                 section header, name compared without regard to case
//   Key = value ; note   key compared without regard to case; ';' outside double quotes starts a comment
//
// Lines end with "\n" in the buffer (CR LF on disk). Lines before the first header form the nameless
// top section. Positions are byte offsets into the text, -1 for none, so they stay valid as it grows.
#pragma once

#include "core/StringW.h"

#include <memory>

class IniText {
public:
    static constexpr int kStep = 4096;   // the buffer grows in steps of this many bytes

    IniText() = default;
    ~IniText() = default;
    IniText(const IniText&) = delete;
    IniText& operator=(const IniText&) = delete;

    // Empties the text (keeping a buffer of at least kStep bytes) and forgets the current section.
    void Clear();
    // Makes room for `needed` bytes of text plus the terminator; true when the buffer was reallocated.
    bool Reserve(int needed);
    // The whole text replaced by `length` bytes (a file just read); no section is current afterwards.
    void Assign(const char* text, int length);

    // Makes the section current (null or "" is the top section); searched again unless it already is
    // current under exactly this name.
    void SelectSection(const char* name);
    bool FindSection();
    bool HasSection() const { return body_ >= 0; }
    const StringA& SectionName() const { return section_; }
    int SectionHeader() const { return header_; }
    int SectionBody() const { return body_; }

    // The line at `cursor` (blanks and tabs before it skipped), without its "\n"; the cursor moves past
    // the "\n", or becomes -1 at the end of the text.
    StringA ReadLine(int& cursor) const;
    // Trims blanks, tabs and a ';' comment outside double quotes; true when nothing is left.
    static bool TrimLine(StringA& line);

    // The trimmed line of `key` in the current section and where that line's text begins; empty and
    // -1 when the key is not there.
    StringA FindKey(const char* key, int& position) const;
    // The value of `key` in the current section: after the first run of '=', up to the next '=', trimmed.
    StringA GetValue(const char* key) const;
    // Just after the current section's last non-empty line (its "\n" included); the body when it has none.
    int SectionEnd() const;
    // Replaces the line at `position`, with its "\n", by `length` bytes of `text`.
    void ReplaceLine(int position, const char* text, int length);
    // Appends "\n[name]\n" for the current section name and makes that section current.
    void AppendSection();

    // Sets `key` in the current section to `value`, or deletes its line when `value` is null. A key or
    // value holding a line break is refused (it would inject lines into the file). False when nothing
    // changed.
    bool WriteValue(const char* key, const char* value);
    bool DeleteKey(const char* key) { return WriteValue(key, nullptr); }

    // Writes the text to `path` (CR LF line ends) through a temporary file beside it, which replaces
    // the old file only once every byte is written and closed. True with nothing to write.
    bool SaveToFile();

    const char* Text() const { return buffer_ ? buffer_.get() : ""; }
    int Length() const { return length_; }
    int Capacity() const { return capacity_; }

    StringW path;        // the options file; empty until the owner sets it
    StringW saveError;   // why the last SaveToFile failed

private:
    struct Span {
        int begin = 0;
        int end = 0;
        bool Empty() const { return begin >= end; }
    };
    // The raw line at `cursor` (blanks skipped) and the position after its "\n"; false at the end.
    bool NextLine(int& cursor, Span& line) const;
    // The trimmed line of `key` in the current section; false when it is not there.
    bool FindKeyLine(const char* key, Span& trimmed, int& position) const;
    static Span Trim(const char* text, Span span);
    void Replace(int begin, int end, const char* text, int length);

    StringA section_;                 // current section name
    std::unique_ptr<char[]> buffer_;  // text + terminator
    int capacity_ = 0;
    int length_ = 0;
    int header_ = -1;                 // where the current section's header line begins
    int body_ = -1;                   // its first line after the header; -1: no section current
};
