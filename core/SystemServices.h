// Thin wrappers over Windows services that several windows share: Unicode clipboard text, the shell's
// folder browser, menu items by command id, files, the message pump, bounded text copy, path parts and
// the WOW64 file-system redirection.
#pragma once

#include "core/StringW.h"

#include <windows.h>

#include <memory>

// Puts the text on the clipboard as CF_UNICODETEXT (emptying it first when asked); false when the
// clipboard cannot be opened or the data cannot be handed over.
bool ClipboardPutText(const wchar_t* text, bool emptyFirst);
// A copy of the clipboard's Unicode text, always terminated; null when there is none or it cannot
// be read.
std::unique_ptr<wchar_t[]> ClipboardGetText();

// The shell's folder browser rooted at the computer's drives, starting at the path in `path` (at least
// MAX_PATH characters); on OK the chosen folder is written there and the result is true.
bool BrowseForFolder(wchar_t* path, HWND owner, const wchar_t* title);

// Position of the item with the command id among the menu's items, or -1.
int MenuItemPosition(HMENU menu, UINT id);
// The first submenu of the menu holding an item with the id (its position written out), or null.
HMENU FindSubmenuWithId(HMENU menu, UINT id, int* position);

// True when the path's attributes can be read and it is not a folder.
bool FileExists(const wchar_t* path);

// Dispatches every pending message of the thread. A WM_QUIT is posted again and ends the pump, so
// the message loop still sees it.
void PumpMessages();

// Copies at most n characters and writes a terminator at n - 1; nothing at all when n <= 0.
wchar_t* CopyTextN(wchar_t* destination, const wchar_t* source, int n);
// 0 for a null or empty text; else 1 plus the separators followed by another character.
int CountSeparated(const wchar_t* text, wchar_t separator);
// Removes everything from the last '.'.
void StripExtension(StringW& string);
// The part of the path after its last '\', else after its first ':', else the whole path.
void FileNameOfPath(StringW& string, const wchar_t* path);

// Disables (or reverts) the WOW64 file-system redirection of the process; 0 or the error of a failed
// call.
DWORD SetWow64Redirection(bool disable);
