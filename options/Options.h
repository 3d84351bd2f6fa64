// An option set: the options text and the seven sections. The application holds one (AppOptions);
// each open file's document holds a copy of it.
//
//   AppOptions options;                          // defaults, window place for this screen
//   options.ApplyColorTheme();                   // colours from the current theme
//   options.Load(Options::DefaultPath().c_str());   // "Trelvo.ini" beside the program, when present
//   ...
//   if (!options.Save()) Log(options.ini.text.saveError);
#pragma once

#include "options/BInifile.h"
#include "options/OptionsSections.h"

#include <vector>

class Options {
public:
    Options();
    virtual ~Options() = default;
    // The sections point into themselves: an option set is copied into (CopyFrom), never copied.
    Options(const Options&) = delete;
    Options& operator=(const Options&) = delete;

    // Copies every section of `other` (the options text stays this set's own).
    void CopyFrom(const Options& other);
    // Makes the grey theme current and seeds the UIColors and CodeColors sections from it.
    void ApplyColorTheme();

    // Writes every keyed property into the options text. A loaded text is edited in place, keeping its
    // comments and unknown keys; without one the text starts anew as "Version=1".
    void SaveToIni();
    // Reads every keyed property from the options text; unreadable values keep what they had.
    void LoadFromIni();
    // Reads the options file and the sections from it; the path is kept for Save. False (ini.loadError
    // says why) when the file cannot be read: the set keeps its values.
    bool Load(const wchar_t* path);
    // SaveToIni, then writes the file (ini.text.saveError says why it failed). The old file is replaced
    // only by a complete new one; a file that exists but was not read is read first, and left alone
    // while it cannot be.
    bool Save();

    // All seven sections in file order, and the six that the options dialog shows.
    std::vector<BPropertySection*> Sections();
    std::vector<BPropertySection*> DialogSections();

    // "Trelvo.ini" in the program's folder.
    static StringW DefaultPath();

    BInifile ini;
    OptionsGeneral general;
    OptionsFile file;
    OptionsUI ui;
    OptionsUIColors uiColors;
    OptionsCodeColors codeColors;
    OptionsFonts fonts;
    OptionsSaveData saveData;
};

class AppOptions : public Options {};
