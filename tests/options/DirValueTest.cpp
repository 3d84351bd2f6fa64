// Expansion of folder values; also built natively, under the sanitizers.
#include "options/DirValue.h"

#include <gtest/gtest.h>

TEST(DirValue, ProgramFolderAndTrailingBackslash) {
    const struct {
        const wchar_t* value;
        const wchar_t* folder;
        const wchar_t* expanded;
    } rows[] = {
        { L"$\\", L"C:\\Prog\\", L"C:\\Prog\\" },
        { L"$\\plugins", L"C:\\Prog\\", L"C:\\Prog\\plugins\\" },
        { L"$\\plugins\\", L"C:\\Prog\\", L"C:\\Prog\\plugins\\" },
        { L"D:\\zep", L"C:\\Prog\\", L"D:\\zep\\" },
        { L"$x", L"C:\\Prog\\", L"$x\\" },             // only "$\" stands for the folder
        { L"", L"C:\\Prog\\", L"" },
        { L"$\\", L"", L"" },                          // the program's folder unknown: nothing
        { L"$\\sub", L"", L"sub\\" },
    };
    for (const auto& r : rows)
        EXPECT_EQ(ExpandDirValue(r.value, r.folder), r.expanded) << r.value << " in " << r.folder;
}
