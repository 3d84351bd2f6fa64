#include "core/CommandLine.h"

const wchar_t* CommandLine::NextWord(const wchar_t* text, StringW& word) {
    word.clear();
    if (!text) return nullptr;
    while (*text == L' ' || *text == L'\t') ++text;
    if (!*text) return nullptr;
    bool quoted = false;
    for (; *text; ++text) {
        const wchar_t c = *text;
        if (quoted ? c == L'"' : (c == L' ' || c == L'\t')) return text + 1;
        if (c == L'"') quoted = true;
        else word.push_back(c);
    }
    return text;
}

int CommandLine::Split(const wchar_t* text) {
    files.clear();
    options.clear();
    StringW word;
    for (const wchar_t* p = NextWord(text, word); p; p = NextWord(p, word)) {
        if (!word.empty() && word[0] == L'/') {
            _CMDLINE_OPTION option;
            const size_t equals = word.find(L'=');
            option.name = StringW(word.substr(1, equals == StringW::npos ? StringW::npos : equals - 1));
            if (equals != StringW::npos) option.value = StringW(word.substr(equals));
            options.push_back(option);
        } else {
            files.push_back(word);
        }
    }
    return static_cast<int>(files.size());
}

void CommandLine::CheckOptions() const {
    for (const _CMDLINE_OPTION& option : options) {
        if (!option.claimed) throw ECmdlineOption(ECmdlineOption::kUnclaimedOption);
    }
}
