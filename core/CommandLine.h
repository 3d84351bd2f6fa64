// Splits the command-line text (after the program name) into words: a word starting with '/' is an
// option ("/name=value"), every other word a file name. Double quotes group blanks into a word.
#pragma once

#include "core/StringW.h"

#include <cstdint>
#include <vector>

struct _CMDLINE_OPTION {
    int32_t claimed = 0;   // set by a handler that recognises the option
    StringW name;          // after the '/' up to the first '='
    StringW value;         // from the '=' on, '=' included; empty without one
};

// Thrown for a command line the program cannot take: code 1 an unclaimed option, 5 too many files.
class ECmdlineOption {
public:
    enum { kUnclaimedOption = 1, kTooManyFiles = 5 };
    explicit ECmdlineOption(int code) : code(code) {}
    virtual ~ECmdlineOption() = default;
    int code;
};

class CommandLine {
public:
    virtual ~CommandLine() = default;

    // Reads the word starting at `text` into `word`; returns where the next word starts, or null when
    // no word is left.
    static const wchar_t* NextWord(const wchar_t* text, StringW& word);
    // Splits the whole text into files and options; returns the number of file names.
    int Split(const wchar_t* text);
    // Throws ECmdlineOption(1) at the first unclaimed option.
    void CheckOptions() const;

    std::vector<StringW> files;
    std::vector<_CMDLINE_OPTION> options;
};
