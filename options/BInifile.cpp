#include "options/BInifile.h"

#include <climits>
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

template <class C>
bool ScanIntOf(const C*& p, int& value) {
    const C* s = p;
    while (*s == ' ' || *s == '\t') ++s;
    bool negative = false;
    if (*s == '+' || *s == '-') negative = *s++ == '-';
    if (*s < '0' || *s > '9') return false;
    int64_t n = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        n = n * 10 + (*s - '0');
        if (n > static_cast<int64_t>(INT_MAX) + 1) return false;
    }
    if (negative) n = -n;
    if (n > INT_MAX || n < INT_MIN) return false;
    value = static_cast<int>(n);
    p = s;
    return true;
}

// Reads "<int>" followed by `separator` (0: nothing required) into `value`.
bool ScanField(const char*& p, int& value, char separator) {
    if (!ScanInt(p, value)) return false;
    if (separator && *p++ != separator) return false;
    return true;
}

StringA Narrow(const wchar_t* text) {
    StringA narrow;
    narrow.AssignWide(text ? text : L"");
    return narrow;
}

}  // namespace

bool ScanInt(const char*& p, int& value) { return ScanIntOf(p, value); }
bool ScanInt(const wchar_t*& p, int& value) { return ScanIntOf(p, value); }

void BInifile::Reset() {
    text.Clear();
    state = 1;
    text.SelectSection("");
    text.WriteValue("Version", "1");
}

bool BInifile::Load(const wchar_t* path) {
    loadError.clear();
    text.path = path ? path : L"";
    HANDLE file = CreateFileW(text.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        loadError = StringW(kFormat, L"Cannot open the options file '%s' (error %u)", text.path.c_str(),
                            static_cast<unsigned>(GetLastError()));
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart > kMaxFileSize) {
        loadError = StringW(kFormat, L"The options file '%s' is too large", text.path.c_str());
        CloseHandle(file);
        return false;
    }
    std::vector<char> bytes(static_cast<size_t>(size.QuadPart));
    DWORD done = 0;
    size_t total = 0;
    while (total < bytes.size()
           && ReadFile(file, bytes.data() + total, static_cast<DWORD>(bytes.size() - total), &done, nullptr)
           && done > 0) {
        total += done;
    }
    CloseHandle(file);
    if (total != bytes.size()) {
        loadError = StringW(kFormat, L"Cannot read the options file '%s'", text.path.c_str());
        return false;
    }
    // A byte-order mark from an editor is not text: the first line starts after it.
    size_t i = total >= 3 && memcmp(bytes.data(), "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
    size_t out = 0;
    for (; i < total; ++i) {
        if (bytes[i] == '\r' && i + 1 < total && bytes[i + 1] == '\n') continue;
        bytes[out++] = bytes[i];
    }
    text.Assign(bytes.data(), static_cast<int>(out));
    state = 1;
    return true;
}

StringA BInifile::ReadValue(const wchar_t* section, const wchar_t* key) {
    if (state <= 0) return StringA();
    text.SelectSection(Narrow(section).c_str());
    return text.GetValue(Narrow(key).c_str());
}

bool BInifile::GetBool(const wchar_t* section, const wchar_t* key, bool defaultValue) {
    const StringA value = ReadValue(section, key);
    if (value == "enable" || value == "true") return true;
    if (value == "disable" || value == "false") return false;
    return defaultValue;
}

int BInifile::GetInt(const wchar_t* section, const wchar_t* key, int defaultValue) {
    const StringA value = ReadValue(section, key);
    if (value.empty() || value[0] < '0' || value[0] > '9') return defaultValue;
    const char* p = value.c_str();
    int number;
    return ScanInt(p, number) ? number : defaultValue;
}

COLORREF BInifile::GetColor(const wchar_t* section, const wchar_t* key, COLORREF defaultValue) {
    const StringA value = ReadValue(section, key);
    const char* p = value.c_str();
    int r, g, b;
    if (*p++ != '(' || !ScanField(p, r, ',') || !ScanField(p, g, ',') || !ScanField(p, b, 0)) {
        return defaultValue;
    }
    if (r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255) return defaultValue;
    return RGB(r, g, b);
}

bool BInifile::GetWindowPos(const wchar_t* section, const wchar_t* key, int& left, int& top, int& width,
                            int& height, bool& zoomed) {
    const StringA value = ReadValue(section, key);
    const char* p = value.c_str();
    int n[5];
    if (!ScanField(p, n[0], ',') || !ScanField(p, n[1], ',') || !ScanField(p, n[2], ',')
        || !ScanField(p, n[3], ',') || !ScanField(p, n[4], 0)) {
        return false;
    }
    left = n[0];
    top = n[1];
    width = n[2];
    height = n[3];
    zoomed = n[4] != 0;
    return true;
}

bool BInifile::Write(const wchar_t* section, const wchar_t* key, const char* value) {
    if (state < 1) return false;
    text.SelectSection(Narrow(section).c_str());
    return text.WriteValue(Narrow(key).c_str(), value);
}

bool BInifile::SetFormatted(const wchar_t* section, const wchar_t* key, const char* format, ...) {
    if (state < 1) return false;
    StringA value;
    va_list args;
    va_start(args, format);
    value.FormatV(format, args);
    va_end(args);
    return Write(section, key, value.c_str());
}

bool BInifile::SetBool(const wchar_t* section, const wchar_t* key, bool value) {
    return SetFormatted(section, key, "%s", value ? "enable" : "disable");
}

bool BInifile::SetInt(const wchar_t* section, const wchar_t* key, int value) {
    return SetFormatted(section, key, "%d", value);
}

bool BInifile::SetColor(const wchar_t* section, const wchar_t* key, COLORREF value) {
    return SetFormatted(section, key, "(%d,%d,%d)", GetRValue(value), GetGValue(value), GetBValue(value));
}

bool BInifile::SetWindowPos(const wchar_t* section, const wchar_t* key, int left, int top, int width,
                            int height, bool zoomed) {
    return SetFormatted(section, key, "%d,%d,%d,%d,%d", left, top, width, height, zoomed ? 1 : 0);
}

bool BInifile::SetString(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    // Written directly rather than through "%s", so long texts are not cut by the format buffer.
    return Write(section, key, Narrow(value).c_str());
}

void BInifile::DeleteKey(const wchar_t* section, const wchar_t* key) {
    text.SelectSection(Narrow(section).c_str());
    text.DeleteKey(Narrow(key).c_str());
}
