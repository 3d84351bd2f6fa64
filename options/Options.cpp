#include "options/Options.h"

#include "options/BColorTheme.h"

Options::Options() {
    general.windowPos.SetScreenDefault(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

void Options::CopyFrom(const Options& other) {
    if (&other == this) return;
    general.CopyFrom(other.general);
    file.CopyFrom(other.file);
    ui.CopyFrom(other.ui);
    uiColors.CopyFrom(other.uiColors);
    codeColors.CopyFrom(other.codeColors);
    fonts.CopyFrom(other.fonts);
    saveData.CopyFrom(other.saveData);
}

void Options::ApplyColorTheme() {
    SetCurrentTheme(GrayTheme());
    CurrentTheme().ExportUIColors(uiColors);
    CurrentTheme().ExportCodeColors(codeColors);
}

void Options::SaveToIni() {
    if (ini.state < 1) {
        ini.Reset();
    } else {
        ini.text.SelectSection("");
        ini.text.WriteValue("Version", "1");
    }
    for (BPropertySection* section : Sections()) section->SaveTo(ini);
}

void Options::LoadFromIni() {
    for (BPropertySection* section : Sections()) section->LoadFrom(ini);
}

bool Options::Load(const wchar_t* path) {
    if (!ini.Load(path)) return false;
    LoadFromIni();
    return true;
}

bool Options::Save() {
    // A file that is there but was not read is read now, so that its lines are kept; while it cannot
    // be read it is not replaced.
    if (ini.state < 1 && !ini.text.path.empty()
        && GetFileAttributesW(ini.text.path.c_str()) != INVALID_FILE_ATTRIBUTES && !ini.Load(ini.text.path.c_str())) {
        ini.text.saveError = StringW(kFormat, L"%s; it is left as it is", ini.loadError.c_str());
        return false;
    }
    SaveToIni();
    return ini.Save();
}

std::vector<BPropertySection*> Options::Sections() {
    return {&general, &file, &ui, &uiColors, &codeColors, &fonts, &saveData};
}

std::vector<BPropertySection*> Options::DialogSections() {
    return {&file, &ui, &uiColors, &codeColors, &fonts, &saveData};
}

StringW Options::DefaultPath() { return ProgramFolder() + L"Trelvo.ini"; }
