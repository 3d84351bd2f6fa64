#pragma once
// The dialog that confirms a file before it opens: the name with the recent files, every parser that
// accepts the file (plug-ins first, "Binary(internal)" last), and the chosen parser's suggestions for
// base address, code size, element order, refers and string scans, which the user may change.
//
//   DOpenfile dialog(mainWindow, &registry, L"C:\\x\\a.exe");
//   if (dialog.DoModal() == IDOK) document->OpenFile(dialog.TakeRequest());

#include "app/ThemeDialog.h"
#include "core/BStringList.h"
#include "core/StringW.h"

#include <vector>

class BFileParser;
class ParserRegistry;
struct ParseRequest;

class DOpenfile : public ThemeDialog {
public:
    static constexpr UINT_PTR kProbeTimer = 1;
    static constexpr UINT kProbeDelay = 500;   // ms after the last keystroke

    DOpenfile(CWnd* parent, ParserRegistry* registry, const wchar_t* fileName);
    ~DOpenfile() override;

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    // After OK: the chosen request, now the caller's (free it with FreeParseRecord); null otherwise.
    ParseRequest* TakeRequest();
    const StringW& FileName() const { return fileName_; }

    // The process-wide history of opened names.
    static BStringList& RecentFiles();
    // The parser chosen last, kept with the registry's parsers: a pointer kept past them could match
    // another parser made later at the same address.
    BFileParser*& LastParser();

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnTimer(UINT_PTR id) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    void OnBaseChanged();
    void OnFileSelChange();
    void OnFileEdit();
    void Browse();
    void SelectParser();
    void OnSecondParser();
    void OnCodesize(UINT id);
    void FillParsers();
    // Probes a typed name at once when its pause has not run out yet.
    void ProbeNow();

    bool fileFound = false;
    bool parserAccepted = false;
    bool baseValid = true;

private:
    void FreeRequests(ParseRequest* keep);
    void UpdateOk();
    int CheckedCodesize() const;

    ParserRegistry* registry_;
    StringW fileName_;
    ParseRequest* request_ = nullptr;          // the chosen one, held in requests_
    std::vector<ParseRequest*> requests_;      // owned until the dialog ends
    ParseRequest* taken_ = nullptr;
    bool probePending_ = false;   // a typed name waits for its probe
};
