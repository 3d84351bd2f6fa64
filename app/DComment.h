#pragma once
// The comment dialog: a multi-line text under the caller's caption; Ctrl+Enter is OK, Enter a new line.
// CommentEditor is what the comment stores run it through.

#include "app/ThemeDialog.h"
#include "core/StringW.h"
#include "document/TextEditor.h"

class DComment : public ThemeDialog {
public:
    DComment(CWnd* parent, const StringW& caption, const StringW& text);

    static const MessageMap kMessageMap;
    const MessageMap* GetMessageMap() const override { return &kMessageMap; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnSize(UINT type, int cx, int cy) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // Line feeds of the store and the editor's CR LF.
    static StringW ToEditor(const StringW& text);
    static StringW FromEditor(const StringW& text);

    StringW caption;
    StringW text;   // after OK: the edited text, lines separated by line feeds

private:
    CFont font_;
};

class CommentEditor : public BTextEditor {
public:
    explicit CommentEditor(CWnd* parent) : parent_(parent) {}
    bool EditText(const StringW& caption, StringW& text) override;

private:
    CWnd* parent_;
};
