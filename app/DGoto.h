#pragma once
// The go-to dialog: a hexadecimal address or a name of the document, with the go-to history below, or,
// while something is typed, every name that contains it. OK only for an address inside a segment.

#include "app/ThemeDialog.h"
#include "core/StringW.h"

#include <cstdint>

class FileParseThread;

class DGoto : public ThemeDialog {
public:
    DGoto(CWnd* parent, FileParseThread* document);

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnEdit();
    void OnSelect();

    // The address a text names in the document (hexadecimal when it starts with a digit, else a name);
    // -1 when none, or when it lies in no segment.
    int64_t Resolve(const StringW& text) const;
    HWND ListHandle() const { return list_; }

    StringW text;
    int64_t address = -1;   // after OK: where to go

private:
    void Check(const StringW& typed);
    void Refill(const StringW& typed);
    void Fill(const StringW& typed);

    FileParseThread* document_;
    HWND list_ = nullptr;
};
