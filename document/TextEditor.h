#pragma once
// The dialogs that edit a store's text (name, comment) as the stores see them: a caption and a text
// that the user changes. The application's dialogs implement it; tests answer with a fixed text.

#include "core/StringW.h"

class BTextEditor {
public:
    virtual ~BTextEditor() = default;
    // Shows the text under the caption; true (with the new text) when the user chose OK.
    virtual bool EditText(const StringW& caption, StringW& text) = 0;
};
