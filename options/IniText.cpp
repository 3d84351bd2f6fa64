#include "options/IniText.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(const char* a, const char* b, int n) {
    for (int i = 0; i < n; ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

bool HasLineBreak(const char* text) { return text && std::strpbrk(text, "\r\n") != nullptr; }

}  // namespace

// Blanks and tabs off both ends; a ';' outside double quotes cuts the rest. A quote preceded by a
// backslash is literal; one at the very start opens a quoted part like any other, so "x;y" keeps its ';'.
IniText::Span IniText::Trim(const char* text, Span span) {
    while (span.begin < span.end && IsBlank(text[span.begin])) ++span.begin;
    bool quoted = false;
    for (int i = span.begin; i < span.end; ++i) {
        if (text[i] == '"' && !(i > span.begin && text[i - 1] == '\\')) {
            quoted = !quoted;
        } else if (text[i] == ';' && !quoted) {
            span.end = i;
            break;
        }
    }
    while (span.end > span.begin && IsBlank(text[span.end - 1])) --span.end;
    return span;
}


void IniText::Clear() {
    if (!buffer_) Reserve(0);
    length_ = 0;
    buffer_[0] = 0;
    header_ = -1;
    body_ = -1;
}

bool IniText::Reserve(int needed) {
    if (buffer_ && needed + 1 <= capacity_) return false;
    const int capacity = (needed + 1 + kStep - 1) / kStep * kStep;
    std::unique_ptr<char[]> grown(new char[capacity]);
    const bool first = !buffer_;
    if (buffer_) std::memcpy(grown.get(), buffer_.get(), length_);
    buffer_ = std::move(grown);
    capacity_ = capacity;
    buffer_[length_] = 0;
    if (first) body_ = 0;
    return true;
}

void IniText::Assign(const char* text, int length) {
    Clear();
    Reserve(length);
    if (length > 0) std::memcpy(buffer_.get(), text, length);
    length_ = length;
    buffer_[length_] = 0;
    header_ = -1;
    body_ = -1;
}

void IniText::SelectSection(const char* name) {
    if (!name) name = "";
    if (HasSection() && section_ == name) return;
    section_ = name;
    FindSection();
}

bool IniText::FindSection() {
    header_ = -1;
    body_ = -1;
    if (!buffer_) return false;
    if (section_.empty()) {
        body_ = 0;
        return true;
    }
    const int nameLength = section_.Length();
    int cursor = 0;
    while (cursor >= 0) {
        const int start = cursor;
        Span line;
        if (!NextLine(cursor, line)) break;
        const Span trimmed = Trim(buffer_.get(), line);
        if (trimmed.end - trimmed.begin == nameLength + 2 && buffer_[trimmed.begin] == '['
            && buffer_[trimmed.end - 1] == ']'
            && EqualNoCase(buffer_.get() + trimmed.begin + 1, section_.c_str(), nameLength)) {
            header_ = start;
            body_ = cursor >= 0 ? cursor : length_;
            return true;
        }
    }
    return false;
}

bool IniText::NextLine(int& cursor, Span& line) const {
    if (cursor < 0 || !buffer_) return false;
    const char* text = buffer_.get();
    int p = cursor;
    while (p < length_ && (text[p] == ' ' || text[p] == '\t')) ++p;
    if (p >= length_) {
        cursor = -1;
        return false;
    }
    const void* nl = std::memchr(text + p, '\n', length_ - p);
    const int end = nl ? static_cast<int>(static_cast<const char*>(nl) - text) : length_;
    line.begin = p;
    line.end = end;
    cursor = end < length_ ? end + 1 : length_;
    return true;
}

bool IniText::FindKeyLine(const char* key, Span& trimmed, int& position) const {
    position = -1;
    if (!buffer_ || body_ < 0 || !key) return false;
    const char* text = buffer_.get();
    const int keyLength = static_cast<int>(std::strlen(key));
    int cursor = body_;
    Span line;
    while (NextLine(cursor, line)) {
        trimmed = Trim(text, line);
        if (trimmed.Empty()) continue;
        if (text[trimmed.begin] == '[') break;
        const void* eq = std::memchr(text + trimmed.begin, '=', trimmed.end - trimmed.begin);
        if (!eq) continue;   // no '=': not a key line
        const Span name = Trim(text, Span{trimmed.begin, static_cast<int>(static_cast<const char*>(eq) - text)});
        if (name.end - name.begin == keyLength && EqualNoCase(text + name.begin, key, keyLength)) {
            position = line.begin;
            return true;
        }
    }
    return false;
}

StringA IniText::ReadLine(int& cursor) const {
    Span line;
    if (!NextLine(cursor, line)) return StringA();
    return StringA(buffer_.get() + line.begin, line.end - line.begin);
}

bool IniText::TrimLine(StringA& line) {
    const Span trimmed = Trim(line.data(), Span{0, line.Length()});
    line = StringA(line.substr(trimmed.begin, trimmed.end - trimmed.begin));
    return line.empty();
}

StringA IniText::FindKey(const char* key, int& position) const {
    Span trimmed;
    if (!FindKeyLine(key, trimmed, position)) return StringA();
    return StringA(buffer_.get() + trimmed.begin, trimmed.end - trimmed.begin);
}

StringA IniText::GetValue(const char* key) const {
    Span trimmed;
    int position;
    if (!FindKeyLine(key, trimmed, position)) return StringA();
    const char* text = buffer_.get();
    int p = trimmed.begin;
    while (p < trimmed.end && text[p] != '=') ++p;
    while (p < trimmed.end && text[p] == '=') ++p;
    int end = p;
    while (end < trimmed.end && text[end] != '=') ++end;
    const Span value = Trim(text, Span{p, end});
    return StringA(text + value.begin, value.end - value.begin);
}

int IniText::SectionEnd() const {
    if (!buffer_ || body_ < 0) return body_;
    int end = body_;
    int cursor = body_;
    for (;;) {
        Span line;
        if (!NextLine(cursor, line)) break;
        const Span trimmed = Trim(buffer_.get(), line);
        if (trimmed.Empty()) continue;
        if (buffer_[trimmed.begin] == '[') break;
        end = line.end < length_ ? line.end + 1 : length_;
    }
    return end;
}

void IniText::Replace(int begin, int end, const char* text, int length) {
    const int grown = length_ - (end - begin) + length;
    Reserve(grown);
    char* base = buffer_.get();
    std::memmove(base + begin + length, base + end, length_ - end);
    std::memcpy(base + begin, text, length);
    length_ = grown;
    base[length_] = 0;
}

void IniText::ReplaceLine(int position, const char* text, int length) {
    int cursor = position;
    Span line;
    if (!NextLine(cursor, line)) {
        Replace(length_, length_, text, length);
        return;
    }
    Replace(line.begin, cursor, text, length);
}

void IniText::AppendSection() {
    if (!buffer_) Clear();
    const std::string added = "\n[" + section_ + "]\n";
    const int at = length_;
    Replace(length_, length_, added.data(), static_cast<int>(added.size()));
    header_ = at + 1;
    body_ = length_;
}

bool IniText::WriteValue(const char* key, const char* value) {
    if (!key || HasLineBreak(key) || HasLineBreak(value)) return false;
    Span trimmed;
    int position;
    if (FindKeyLine(key, trimmed, position)) {
        if (value) {
            const std::string line = std::string(key) + "=" + value + "\n";
            ReplaceLine(position, line.data(), static_cast<int>(line.size()));
        } else {
            ReplaceLine(position, "", 0);
        }
        return true;
    }
    if (!value) return false;
    if (!HasSection()) AppendSection();
    std::string line = std::string(key) + "=" + value + "\n";
    const int at = length_ == 0 ? 0 : SectionEnd();
    if (at > 0 && buffer_[at - 1] != '\n') line.insert(0, "\n");   // a last line without its line end
    Replace(at, at, line.data(), static_cast<int>(line.size()));
    return true;
}

bool IniText::SaveToFile() {
    saveError.clear();
    if (!buffer_) return true;
    if (path.empty()) {
        saveError = L"The options file has no path";
        return false;
    }
    std::string bytes;
    bytes.reserve(length_ + length_ / 16);
    for (int i = 0; i < length_; ++i) {
        if (buffer_[i] == '\n') bytes += '\r';
        bytes += buffer_[i];
    }

    // Windows refuses to replace a read-only file; say so before writing anything.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        saveError = StringW(kFormat, L"The options file '%s' is read-only", path.c_str());
        return false;
    }
    const StringW temporary = path + L".tmp";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        saveError = StringW(kFormat, L"Cannot create '%s' (error %u)", temporary.c_str(),
                            static_cast<unsigned>(GetLastError()));
        return false;
    }
    DWORD written = 0;
    const bool wrote = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)
                       && written == bytes.size();
    const DWORD writeError = GetLastError();
    const bool flushed = wrote && FlushFileBuffers(file);
    const bool closed = CloseHandle(file);
    if (!wrote || !flushed || !closed) {
        saveError = StringW(kFormat, L"Cannot write '%s' (error %u)", temporary.c_str(),
                            static_cast<unsigned>(wrote ? GetLastError() : writeError));
        DeleteFileW(temporary.c_str());
        return false;
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        saveError = StringW(kFormat, L"Cannot replace '%s' (error %u)", path.c_str(),
                            static_cast<unsigned>(GetLastError()));
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}
