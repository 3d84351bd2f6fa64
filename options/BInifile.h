// The typed front of the options text: booleans, integers, colours, window places and texts by section
// and key (both wide, stored as 8-bit text in the ANSI code page).
#pragma once

#include "options/IniText.h"

#include <windows.h>

// Reads a decimal int at `p` in the manner of "%d" (blanks and tabs, a sign, digits) and moves `p` past
// it; false when there are no digits or the number does not fit an int.
bool ScanInt(const char*& p, int& value);
bool ScanInt(const wchar_t*& p, int& value);

class BInifile {
public:
    static constexpr int kMaxFileSize = 64 * 1024 * 1024;   // larger options files are refused

    BInifile() = default;
    virtual ~BInifile() = default;
    BInifile(const BInifile&) = delete;
    BInifile& operator=(const BInifile&) = delete;

    // The text becomes the one line "Version=1" in the top section; state 1.
    void Reset();
    // Reads the options file at `path` (CR LF read as "\n") into the text; state 1. The path is kept
    // for Save either way. False with loadError set when the file cannot be read or is too large; the
    // text and state are then unchanged.
    bool Load(const wchar_t* path);
    bool Save() { return text.SaveToFile(); }

    StringA ReadValue(const wchar_t* section, const wchar_t* key);
    StringA GetString(const wchar_t* section, const wchar_t* key) { return ReadValue(section, key); }
    // "enable"/"true" and "disable"/"false" (exact case); anything else the default.
    bool GetBool(const wchar_t* section, const wchar_t* key, bool defaultValue);
    // The leading decimal number when the value starts with a digit; else, or when it overflows, the
    // default.
    int GetInt(const wchar_t* section, const wchar_t* key, int defaultValue);
    // "(r,g,b)" with each part 0..255; else the default.
    COLORREF GetColor(const wchar_t* section, const wchar_t* key, COLORREF defaultValue);
    // "left,top,width,height,zoomed"; false and nothing written unless all five read.
    bool GetWindowPos(const wchar_t* section, const wchar_t* key, int& left, int& top, int& width,
                      int& height, bool& zoomed);

    // Writes are refused (false) until the text is loaded or reset.
    bool SetFormatted(const wchar_t* section, const wchar_t* key, const char* format, ...);
    bool SetBool(const wchar_t* section, const wchar_t* key, bool value);
    bool SetInt(const wchar_t* section, const wchar_t* key, int value);
    bool SetColor(const wchar_t* section, const wchar_t* key, COLORREF value);
    bool SetWindowPos(const wchar_t* section, const wchar_t* key, int left, int top, int width, int height,
                      bool zoomed);
    bool SetString(const wchar_t* section, const wchar_t* key, const wchar_t* value);
    void DeleteKey(const wchar_t* section, const wchar_t* key);

    IniText text;
    int state = -1;      // -1: no text loaded (reads are empty, writes refused); 1: text present
    StringW loadError;   // why the last Load failed

private:
    bool Write(const wchar_t* section, const wchar_t* key, const char* value);
};
