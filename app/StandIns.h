#pragma once
// Stand-ins for windows and dialogs that are being built alongside the shell: a plain file window that
// owns its document and shows its log, the open dialog reduced to a parser probe, and an options
// dialog that cancels. Each goes when the real one lands.

#include "app/ActivityStack.h"
#include "core/StringW.h"
#include "document/DocumentHost.h"
#include "toolkit/BPane.h"

#include <cstdint>
#include <vector>

class FileParseThread;
class Options;
class ParserRegistry;
struct ParseRequest;

class StandInFileWindow : public BPane, public BDocumentHost, public BLogSink {
public:
    StandInFileWindow() : BPane(0) {}
    ~StandInFileWindow() override;
    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    bool IsParsing() const { return false; }

    // The document's host.
    void AttachDocument(FileParseThread* doc, int32_t fileId) override;
    intptr_t NotifyWindows(uint32_t message, uintptr_t wparam, intptr_t lparam, bool windowFirst) override;
    void SendNotify(uint32_t message, uintptr_t wparam, intptr_t lparam) override;
    void Post(uint32_t message, uintptr_t wparam, intptr_t lparam) override;
    void UpdateTabTitle() override;
    void Relayout() override {}
    void RepaintSideTabs() override {}
    void OnClosing() override {}
    void CloseCancelQuestion() override {}
    bool CancelAnswered() override { return false; }
    void ShowProgress(const wchar_t*) override {}
    void PumpMessages() override;
    bool CommentPaneVisible() override { return false; }
    // The file log.
    void AddLine(const wchar_t* text, bool continuation) override;

    BOOL OnEraseBkgnd(HDC dc) override;
    void OnPaint() override;
    LRESULT OnParsing(WPARAM wParam, LPARAM lParam);
    LRESULT OnParserDone(WPARAM wParam, LPARAM lParam);
    LRESULT OnRefers(WPARAM wParam, LPARAM lParam);
    void OnClose302();

    FileParseThread* document = nullptr;
    ActivityStack activity{this};
    std::vector<StringW> lines;
};

// The open dialog's stand-in: the first parser of the registry that accepts the file; false when the
// name is empty, the file is missing or no parser takes it.
bool StandInOpenDialog(ParserRegistry& parsers, const wchar_t* fileName, ParseRequest** chosen);
// The options dialog's stand-in: nothing edited, Cancel.
INT_PTR StandInOptionsDialog(Options& options, HWND owner);
// The cancel question's stand-in: "Do You want cancel %s ?", captioned "Ask confirm abort"; true on Yes.
bool StandInAskCancel(const wchar_t* what);
