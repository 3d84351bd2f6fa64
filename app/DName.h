#pragma once
// The name dialog: a name for an address, with the recently entered names; "%A" in the text stands for
// the address. NameEditor is what the names store runs it through.

#include "app/ThemeDialog.h"
#include "core/StringW.h"
#include "document/TextEditor.h"

class BName;

class DName : public ThemeDialog {
public:
    // `oldName` is the address's current name (empty when it has none); `initial` the text shown.
    DName(CWnd* parent, BName* names, const StringW& addressText, const StringW& oldName, const StringW& initial);

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnEdit();
    void OnSelect();

    // The text with every "%A" replaced by the address text.
    StringW Expand(const StringW& text) const;
    // Whether OK may take the (expanded) text.
    bool Acceptable(const StringW& text) const;

    StringW name;   // after OK: the chosen text

private:
    void Check(const StringW& typed);

    BName* names_;
    StringW addressText_;
    StringW oldName_;
};

// Runs DName for the names store: the caption it gets is the address text.
class NameEditor : public BTextEditor {
public:
    NameEditor(CWnd* parent, BName* names) : parent_(parent), names_(names) {}
    bool EditText(const StringW& caption, StringW& text) override;

private:
    CWnd* parent_;
    BName* names_;
};
