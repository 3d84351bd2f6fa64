#pragma once
// Brings an address or a line position onto the document's disassembly page: folded ranges around it
// open, the page moves when the line is not on it, and the cursor goes there.

#include "core/BStringList.h"
#include "core/DizaLinePos.h"

#include <cstdint>

class BBDizaWalk;
class FileParseThread;

class FileNavigator {
public:
    explicit FileNavigator(FileParseThread* document) : document(document) {}
    virtual ~FileNavigator() = default;

    void GotoAddress(int64_t address);
    void GotoLinePosition(const DizaLinePos& position);
    // An address as typed: in a segment as it is, else as the main parser translates it, else plus the
    // image base; false (and "Address %s not found") when none lies in a segment. A usable address is
    // posted to the window as a go-to.
    bool ResolveAddress(int64_t address);
    // Shows the walk's line and moves the pane's cursor to the address given.
    void ShowWalkPosition(BBDizaWalk& walk, int64_t cursor);

    FileParseThread* document;
    BStringList texts;
};
