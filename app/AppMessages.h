#pragma once
// The application's private window messages; handlers return 0. The document's messages are in
// document/DocumentHost.h, the toolkit's layout message in toolkit/BPane.h.

#include <windows.h>

enum : UINT {
    kMsgStartup = 0x5E00,        // to the main window once at start: offer the command line's files
    kMsgMainMoved = 0x5E01,      // the main window moved; lparam x, y
    kMsgCursorAddress = 0x5E10,  // the file mark was set; wparam 1 valid, 0 cleared; lparam the document
    kMsgShowasItem = 0x5E14,     // to the disassembly pane: go to an item; lparam its record (address, kind word)
    kMsgOptions = 0x5E20,        // the option set; wparam kOptionsApply or kOptionsStore; lparam the set
    kMsgRepaintTabs = 0x5E28,    // repaint the tab strip
};

// wparam of kMsgOptions: windows apply the set, or store their state into it.
constexpr WPARAM kOptionsApply = 1;
constexpr WPARAM kOptionsStore = 2;
