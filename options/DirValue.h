#pragma once
// The full path of a folder option's value: "$\" at its start stands for the program's own folder.

#include <string>

// The value with a leading "$\" replaced by `programFolder` (which ends with '\' or is empty when the
// program's folder is unknown), ending with a '\'. An empty value, or one that expands to nothing,
// gives the empty text.
inline std::wstring ExpandDirValue(const std::wstring& value, const std::wstring& programFolder) {
    std::wstring expanded = value.compare(0, 2, L"$\\") == 0 ? programFolder + value.substr(2) : value;
    if (!expanded.empty() && expanded.back() != L'\\')
        expanded += L'\\';
    return expanded;
}
