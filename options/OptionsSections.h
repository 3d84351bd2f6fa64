// The seven sections of an option set, each property in its file order. Members made with flags 0 and
// no key live only in memory; kListed ones are in the options file and the options dialog.
#pragma once

#include "options/BPropertySection.h"

class OptionsGeneral : public TPropertySection<OptionsGeneral> {
public:
    OptionsGeneral() : TPropertySection(L"General", 32, 0x0000FF) {}

    PDir pluginFolder{this, 0, nullptr, L"$\\"};
    // Made unset; the option set fills in the place for the screen.
    PWindowPos windowPos{this, 0, nullptr, PWindowPos::kUnset, PWindowPos::kUnset, PWindowPos::kUnset,
                         PWindowPos::kUnset, false};
    PInt logRingPower{this, 0, nullptr, 7, 0, 11};     // a file log keeps 2^value x 1024 characters
    PInt historySize{this, 0, nullptr, 16, 0, 64};     // go-to and find histories
    PBool showParsingPopup{this, 0, nullptr, true};
};

class OptionsFile : public TPropertySection<OptionsFile> {
public:
    OptionsFile() : TPropertySection(L"File", 32, 0x1818FF) {}

    PBool showDumpBytes{this, kListed, L"FileShowDumpBytes", true};
    PInt dumpBytesPerLine{this, 0, nullptr, 16, 4, 256};
    PBool showCommentOnline{this, kListed, L"FileShowCommentOnline", true};
    PBool dataDecimal{this, kListed, L"DataDecimal", false};
    PBool dataSigned{this, kListed, L"DataSigned", false};
    PList dataOrder{this, 0, L"DataOrder", L"LE|BE", 0};   // keyed, but set per file by the open dialog
    PList stringCodepage{this, kListed, L"StringCodepage", L"ANSI|OEM|UTF8", 0};
    PInt codeRunPower{this, 0, nullptr, 0, 0, 30};         // code without a count: 2^value - 1 bytes
    PInt maxStringLength{this, 0, nullptr, 4096, 8, 65536};
};

class OptionsUI : public TPropertySection<OptionsUI> {
public:
    OptionsUI() : TPropertySection(L"UI", 32, 0x3030FF) {}

    PList statusbarHighlightTimer{this, kListed, L"StatusbarHighlightTimer",
                                  L"None|1|2|3|4|5|6|7|8|9|10|15|20|25|30|45|60|90|120", 5};
    PBool resultHighlight{this, 0, nullptr, false};
    PBool sidePaneShow{this, kListed, L"FileSidePaneShow", true};
    PList sidePaneSide{this, kListed, L"FileSidePaneSide", L"Left|Right", 0};
    PInt sidePaneWidth{this, 0, nullptr, 28, 0, 80};       // percent of the file window
    PBool lowPaneShow{this, kListed, L"FileLowPaneShow", true};
    PInt lowPaneHeight{this, 0, nullptr, 20, 0, 80};       // percent
    PInt lowPaneDivider{this, 0, nullptr, 75, 20, 80};     // percent
    PInt mainPaneDivider{this, 0, nullptr, 30, 0, 50};     // percent
};

// Colours start at 0; the colour theme seeds them.
class OptionsUIColors : public TPropertySection<OptionsUIColors> {
public:
    OptionsUIColors() : TPropertySection(L"UIColors", 32, 0x4848FF) {}

    PColor logBk{this, kListed, L"LogBk", 0};
    PColor logTxt{this, kListed, L"LogTxt", 0};
    PColor logSelectLinesBk{this, kListed, L"LogSelectLinesBk", 0};
    PColor logLine{this, 0, nullptr, 0};   // a line colour of both log panes
    PColor dumpBk{this, kListed, L"DumpBk", 0};
    PColor dumpTxt{this, kListed, L"DumpTxt", 0};
    PColor dumpNoVaddress{this, kListed, L"DumpNoVaddress", 0};
    PColor listBk{this, kListed, L"ListBk", 0};
    PColor listTxt{this, kListed, L"ListTxt", 0};
    PColor listInfocus{this, kListed, L"ListInfocus", 0};
    PColor listOutfocus{this, kListed, L"ListOutfocus", 0};
    PColor statusbarHighlight{this, kListed, L"StatusbarHighlight", 0};
    PColor detailsMark{this, kListed, L"DetailsMark", 0};
};

class OptionsCodeColors : public TPropertySection<OptionsCodeColors> {
public:
    OptionsCodeColors() : TPropertySection(L"CodeColors", 32, 0x6060FF) {}

    PColor codeBk{this, kListed, L"CodeBk", 0};
    PColor codeTxt{this, kListed, L"CodeTxt", 0};
    PColor addressTxt{this, kListed, L"AddressTxt", 0};
    PColor commentTxt{this, kListed, L"CommentTxt", 0};
    PColor nameTxt{this, kListed, L"NameTxt", 0};
    PColor mnemonicTxt{this, kListed, L"MnemonicTxt", 0};
    PColor registerTxt{this, kListed, L"RegisterTxt", 0};
    PColor numberTxt{this, kListed, L"NumberTxt", 0};
    PColor memoryTxt{this, kListed, L"MemoryTxt", 0};
    PColor markerMk{this, kListed, L"MarkerMk", 0};
    PColor foundBk{this, kListed, L"FoundBk", 0};
    PColor selectLinesBk{this, kListed, L"SelectLinesBk", 0};
    PColor codeInfocus{this, kListed, L"CodeInfocus", 0};
    PColor codeOutfocus{this, kListed, L"CodeOutfocus", 0};
    PColor codeClickAddress{this, kListed, L"CodeClickAddress", 0};
};

class OptionsFonts : public TPropertySection<OptionsFonts> {
public:
    OptionsFonts() : TPropertySection(L"Fonts", 16, 0x7070FF) {}

    PFont codeFont{this, kListed, L"CodeFont", L"Consolas", 9, false, false};
    PFont commentFont{this, kListed, L"CommentFont", L"Consolas", 9, true, false};
    PFont dumpFont{this, kListed, L"DumpFont", L"Consolas", 9, false, false};
    PFont listFont{this, kListed, L"ListFont", L"Verdana", 8, false, false};
    PFont listHeaderFont{this, 0, nullptr, L"Tahoma", 8, false, false};
    PFont logFont{this, kListed, L"LogFont", L"Helv", 9, false, false};
    PFont statusFont{this, 0, nullptr, L"Helv", 10, false, false};
    PFont mainWindowFont{this, 0, nullptr, L"Helv", 9, false, false};   // also the tool tips'
};

class OptionsSaveData : public TPropertySection<OptionsSaveData> {
public:
    OptionsSaveData() : TPropertySection(L"SaveData", 16, 0x8080FF) {}

    PDir saverDir{this, kListed, L"SaverDir", L"$\\Savers"};
    PList saveFileData{this, kListed, L"SaveFileData", L"Never|Always|Ask", 2};
};
