// The colour theme: a palette of 104 colours that all drawing reads by index. The grey theme is the
// only one; the current theme starts as the grey theme and is never null.
#pragma once

#include "options/BInifile.h"
#include "options/BPropertySection.h"

#include <memory>
#include <vector>

class OptionsUIColors;
class OptionsCodeColors;

class BColorTheme : public BPropertySection {
public:
    static constexpr int kColors = 104;

    BColorTheme();
    ~BColorTheme() override = default;

    std::unique_ptr<BPropertySection> Clone() const override { return nullptr; }   // themes are not cloned
    void Assign(const BPropertySection&) override {}

    // Palette entry i; 0 (black) for an index outside the palette.
    COLORREF Color(int i) const;
    PColor& Entry(int i) { return *palette_[i]; }

    // Seeds the colour sections from the palette.
    void ExportUIColors(OptionsUIColors& section) const;
    void ExportCodeColors(OptionsCodeColors& section) const;

    BInifile ini;   // a text of the theme's own; nothing reads or writes it yet

private:
    std::vector<std::unique_ptr<PColor>> palette_;
};

class ColorThemeGray : public BColorTheme {
public:
    ColorThemeGray();
};

// The grey theme (made on first use, destroyed at exit).
ColorThemeGray& GrayTheme();
BColorTheme& CurrentTheme();
void SetCurrentTheme(BColorTheme& theme);
// Palette entry i of the current theme.
inline COLORREF ThemeColor(int i) { return CurrentTheme().Color(i); }
