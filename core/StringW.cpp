#include "core/StringW.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

// msvcrt's own _vsnwprintf keeps the Windows meaning of "%s" in a wide format (wide text); MinGW's C99
// printf family would read it as narrow. It neither terminates a cut result nor tells a cut from a bad
// format: both give -1, and the last character is forced to the terminator.
int FormatIntoW(wchar_t* buffer, int size, const wchar_t* format, va_list args) {
    if (size <= 0) return -1;
    buffer[0] = 0;
    if (!format) return -1;
    int n = _vsnwprintf(buffer, size - 1, format, args);
    buffer[size - 1] = 0;
    return n;
}

int FormatIntoA(char* buffer, int size, const char* format, va_list args) {
    if (size <= 0) return -1;
    buffer[0] = 0;
    if (!format) return -1;
    int n = _vsnprintf(buffer, size - 1, format, args);
    buffer[size - 1] = 0;
    return n;
}

static int FormatInto(wchar_t* buffer, int size, const wchar_t* format, va_list args) {
    return FormatIntoW(buffer, size, format, args);
}
static int FormatInto(char* buffer, int size, const char* format, va_list args) {
    return FormatIntoA(buffer, size, format, args);
}
static bool HasPercent(const wchar_t* text) { return std::wcschr(text, L'%') != nullptr; }
static bool HasPercent(const char* text) { return std::strchr(text, '%') != nullptr; }

template <class C>
int TString<C>::FormatV(const C* format, va_list args) {
    C buffer[kFormatBufferSize];
    const int n = FormatInto(buffer, kFormatBufferSize, format, args);
    Base::assign(buffer);
    return n;
}

template <class C>
int TString<C>::Format(const C* format, ...) {
    va_list args;
    va_start(args, format);
    const int n = FormatV(format, args);
    va_end(args);
    return n;
}

template <class C>
void TString<C>::FormatIfPercent(const C* format, ...) {
    if (!format) return;
    if (!HasPercent(format)) {
        Base::assign(format);
        return;
    }
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

template class TString<wchar_t>;
template class TString<char>;

int StringW::FindNoCase(const wchar_t* text, int start) const {
    if (!text || start < 0) return -1;
    const int len = static_cast<int>(std::wcslen(text));
    const int size = Length();
    if (len == 0) return start <= size ? start : -1;
    for (int pos = start; pos + len <= size; ++pos) {
        if (CompareStringOrdinal(data() + pos, len, text, len, TRUE) == CSTR_EQUAL) return pos;
    }
    return -1;
}

void StringW::AssignNarrow(const char* text) {
    clear();
    if (!text || !*text) return;
    const int length = static_cast<int>(std::strlen(text));
    const int needed = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    if (needed <= 0) return;
    resize(needed);
    const int done = MultiByteToWideChar(codePage, 0, text, length, &(*this)[0], needed);
    resize(done > 0 ? done : 0);
}

// Sized by a first call: in a double-byte code page one wide character may need two bytes.
void StringA::AssignWide(const wchar_t* text) {
    clear();
    if (!text || !*text) return;
    const int length = static_cast<int>(std::wcslen(text));
    const int needed = WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return;
    resize(needed);
    const int done = WideCharToMultiByte(codePage, 0, text, length, &(*this)[0], needed, nullptr, nullptr);
    resize(done > 0 ? done : 0);
}

bool StringEquals(const wchar_t* text, const StringW& string) {
    if (!text) return string.empty();
    const size_t length = std::wcslen(text);
    return length == string.size() && std::wmemcmp(text, string.data(), length) == 0;
}

bool StringEquals(const StringW& string, const wchar_t* text) { return StringEquals(text, string); }
