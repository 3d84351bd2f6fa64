#include "options/BColorTheme.h"

#include "options/GrayPalette.h"
#include "options/OptionsSections.h"

namespace {

template <class S>
struct Seed {
    PColor S::*color;
    int entry;
};

// The colour sections' members in key order, each with the palette entry it starts from.
constexpr Seed<OptionsUIColors> kUISeeds[] = {
    {&OptionsUIColors::logBk, 60},          {&OptionsUIColors::logTxt, 61},
    {&OptionsUIColors::logSelectLinesBk, 62}, {&OptionsUIColors::logLine, 63},
    {&OptionsUIColors::dumpBk, 66},         {&OptionsUIColors::dumpTxt, 67},
    {&OptionsUIColors::dumpNoVaddress, 68}, {&OptionsUIColors::listBk, 69},
    {&OptionsUIColors::listTxt, 70},        {&OptionsUIColors::listInfocus, 77},
    {&OptionsUIColors::listOutfocus, 78},   {&OptionsUIColors::statusbarHighlight, 85},
    {&OptionsUIColors::detailsMark, 86},
};

constexpr Seed<OptionsCodeColors> kCodeSeeds[] = {
    {&OptionsCodeColors::codeBk, 90},       {&OptionsCodeColors::codeTxt, 91},
    {&OptionsCodeColors::addressTxt, 93},   {&OptionsCodeColors::commentTxt, 94},
    {&OptionsCodeColors::nameTxt, 95},      {&OptionsCodeColors::mnemonicTxt, 96},
    {&OptionsCodeColors::registerTxt, 97},  {&OptionsCodeColors::numberTxt, 98},
    {&OptionsCodeColors::memoryTxt, 99},    {&OptionsCodeColors::markerMk, 87},
    {&OptionsCodeColors::foundBk, 88},      {&OptionsCodeColors::selectLinesBk, 89},
    {&OptionsCodeColors::codeInfocus, 100}, {&OptionsCodeColors::codeOutfocus, 101},
    {&OptionsCodeColors::codeClickAddress, 102},
};

BColorTheme* g_current = nullptr;

}  // namespace

BColorTheme::BColorTheme() : BPropertySection(L"ColorTheme", 256, 0) {
    palette_.reserve(kColors);
    for (int i = 0; i < kColors; ++i) palette_.push_back(std::make_unique<PColor>(this, 0, nullptr, 0));
}

COLORREF BColorTheme::Color(int i) const { return i >= 0 && i < kColors ? palette_[i]->value : 0; }

void BColorTheme::ExportUIColors(OptionsUIColors& section) const {
    for (const auto& seed : kUISeeds) (section.*seed.color).value = Color(seed.entry);
}

void BColorTheme::ExportCodeColors(OptionsCodeColors& section) const {
    for (const auto& seed : kCodeSeeds) (section.*seed.color).value = Color(seed.entry);
}

ColorThemeGray::ColorThemeGray() {
    for (int i = 0; i < kColors; ++i) Entry(i).value = kGrayPalette[i];
}

ColorThemeGray& GrayTheme() {
    static ColorThemeGray theme;
    return theme;
}

BColorTheme& CurrentTheme() { return g_current ? *g_current : GrayTheme(); }

void SetCurrentTheme(BColorTheme& theme) { g_current = &theme; }
