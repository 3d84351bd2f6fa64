#pragma once
// One icon in many colours: the program's icon resource with every pixel of its base colour
// replaced by the colour asked for. Each colour is made once and kept until the set goes.

#include "core/StringW.h"

#include <windows.h>

#include <cstdint>
#include <vector>

class MultiColorIcon {
public:
    MultiColorIcon() = default;
    MultiColorIcon(const wchar_t* name, COLORREF base, int size) : resourceName(name), baseColour(base), iconSize(size) {}
    virtual ~MultiColorIcon();
    MultiColorIcon(const MultiColorIcon&) = delete;
    MultiColorIcon& operator=(const MultiColorIcon&) = delete;

    // The icon in that colour (the base icon for the base colour); null when the resource is missing.
    HICON GetIcon(COLORREF colour);
    // The icon in that colour, centred in the rectangle at its size.
    void Draw(HDC dc, int left, int top, int right, int bottom, COLORREF colour);
    // A new resource or size: the icons made so far go.
    void SetSource(const wchar_t* name, COLORREF base, int size);

    struct Entry {
        HICON icon;
        int32_t size;
        COLORREF key;
    };

    StringW resourceName;
    COLORREF baseColour = 0;
    int32_t iconSize = 0;
    std::vector<Entry> cache;     // the base icon first

private:
    bool LoadBase();
    void Release();
    bool loadFailed_ = false;
};
