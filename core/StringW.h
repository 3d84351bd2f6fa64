// Wide and narrow strings of the program: std::basic_string with a virtual destructor, a code page for
// conversions between the two widths, printf-style formatting and a few text operations.
//
//   StringW plain(L"100%");                         // a plain copy: never read as a format
//   StringW text(kFormat, L"The file: '%s'", p);    // formatting: "%s" in a wide format is WIDE text
//
// Texts from the user, files or plug-ins are only ever copied (plain construction, SetText), never
// used as formats.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <type_traits>

// Tag of the formatting constructors, so that a one-argument text is never taken as a format.
enum FormatTag { kFormat };

// Size in characters of the work buffer that formatting goes through; longer results are cut.
constexpr int kFormatBufferSize = 16384;

// Formats into a buffer of `size` characters, always terminated (also when the result is cut).
// Wide: "%s" is wide text, "%hs" narrow, "%I64d" a 64-bit value. Returns the characters written, or -1
// when the result was cut or the format was bad.
int FormatIntoW(wchar_t* buffer, int size, const wchar_t* format, va_list args);
int FormatIntoA(char* buffer, int size, const char* format, va_list args);

// Arguments that may pass through a printf-style "...": numbers, enums and pointers (a string object
// must be passed as .c_str()).
template <class... Args>
constexpr bool FormatArgsOk() {
    return ((std::is_arithmetic<Args>::value || std::is_enum<Args>::value || std::is_pointer<Args>::value ||
             std::is_null_pointer<Args>::value) && ...);
}

template <class C>
class TString : public std::basic_string<C> {
public:
    using Base = std::basic_string<C>;

    TString() = default;
    TString(const C* text) : Base(text ? text : Empty()) {}   // a plain copy; null gives ""
    TString(const C* text, size_t length) : Base(text, length) {}
    TString(const Base& text) : Base(text) {}
    TString(Base&& text) : Base(std::move(text)) {}
    TString(const TString&) = default;
    TString(TString&&) = default;
    TString& operator=(const TString&) = default;
    TString& operator=(TString&&) = default;
    TString& operator=(const C* text) { Base::assign(text ? text : Empty()); return *this; }
    TString& operator=(const Base& text) { Base::assign(text); return *this; }
    virtual ~TString() = default;

    // Field n (0 first) of a text split at `separator`; a run of separators counts as one. The string
    // is emptied first; false (and empty) when the text is null or has fewer fields.
    bool AssignField(const C* text, int n, C separator);

    // Cuts the string at `position`; no change when it is negative or not below the length.
    void TruncateAt(int position) {
        if (position >= 0 && static_cast<size_t>(position) < Base::size()) Base::resize(position);
    }

    int Length() const { return static_cast<int>(Base::size()); }

    // Formats through a work buffer of kFormatBufferSize characters; returns the characters formatted,
    // or -1 when the result was cut or the format was bad.
    int FormatV(const C* format, va_list args);
    int Format(const C* format, ...);

    // Windows code page used when text of the other width is assigned (0 = ANSI, 1 = OEM).
    uint32_t codePage = 0;

protected:
    // The formatting constructors' rule: a format without '%' is copied unchanged.
    void FormatIfPercent(const C* format, ...);

private:
    static const C* Empty() { static const C empty[1] = {}; return empty; }
};

class StringW : public TString<wchar_t> {
public:
    using TString<wchar_t>::TString;
    using TString<wchar_t>::operator=;
    StringW() = default;
    StringW(const StringW&) = default;
    StringW(StringW&&) = default;
    StringW& operator=(const StringW&) = default;
    StringW& operator=(StringW&&) = default;
    ~StringW() override = default;

    // The printf-style result of `format`; a format without '%' is copied unchanged.
    template <class... Args>
    StringW(FormatTag, const wchar_t* format, Args... args) {
        static_assert(FormatArgsOk<Args...>(), "format arguments: numbers or pointers (pass strings as .c_str())");
        FormatIfPercent(format, args...);
    }

    void Append(const wchar_t* text) { append(text); }
    void SetText(const wchar_t* text) { *this = text; }
    bool GetField(const wchar_t* text, int n, wchar_t separator) { return AssignField(text, n, separator); }
    // First position at or after `start` holding `text` without regard to case; -1 when none.
    int FindNoCase(const wchar_t* text, int start) const;
    // Converts 8-bit text in this string's code page.
    void AssignNarrow(const char* text);
};

class StringA : public TString<char> {
public:
    using TString<char>::TString;
    using TString<char>::operator=;
    StringA() = default;
    StringA(const StringA&) = default;
    StringA(StringA&&) = default;
    StringA& operator=(const StringA&) = default;
    StringA& operator=(StringA&&) = default;
    ~StringA() override = default;

    template <class... Args>
    StringA(FormatTag, const char* format, Args... args) {
        static_assert(FormatArgsOk<Args...>(), "format arguments: numbers or pointers (pass strings as .c_str())");
        FormatIfPercent(format, args...);
    }

    // Converts wide text into this string's code page (no default character).
    void AssignWide(const wchar_t* text);
};

// Exact, case-sensitive comparison of a zero-terminated text (null = "") with a string.
bool StringEquals(const wchar_t* text, const StringW& string);
bool StringEquals(const StringW& string, const wchar_t* text);

template <class C>
bool TString<C>::AssignField(const C* text, int n, C separator) {
    Base::clear();
    if (!text) return false;
    const C* p = text;
    for (int i = 0; i < n; ++i) {
        while (*p && *p != separator) ++p;
        if (!*p) return false;
        while (*p == separator) ++p;
    }
    const C* end = p;
    while (*end && *end != separator) ++end;
    Base::assign(p, end - p);
    return true;
}
