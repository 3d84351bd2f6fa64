// Most-recent-first list of the texts typed into a combo box: no duplicates, at most 64 entries.
#pragma once

#include "core/StringW.h"

#include <windows.h>

#include <vector>

class BStringList {
public:
    BStringList();
    virtual ~BStringList() = default;

    // Puts a plain copy of the text first; an equal older entry is removed, the oldest is dropped at the
    // limit. An empty text, or one equal to the newest entry, changes nothing.
    void PushFront(const wchar_t* text);
    // Removes the first entry equal to the text (exact comparison).
    void RemoveEqual(const wchar_t* text);
    // Adds every entry to a combo box and sets its text to the newest.
    void FillControl(HWND combo);

    int Count() const { return static_cast<int>(entries_.size()); }
    const StringW& At(int index) const { return entries_[index]; }
    const std::vector<StringW>& Entries() const { return entries_; }
    int Limit() const { return limit_; }

protected:
    // Called after entry `index` was removed.
    virtual void OnRemove(int index);
    // Adds entry `index` to a combo box.
    virtual void AddToControl(HWND combo, int index);

    std::vector<StringW> entries_;
    int limit_ = 64;
};

// Adds the entries that contain the filter (without regard to case) to a list box; an empty filter
// adds every entry.
void ListBoxAddFiltered(HWND listBox, const BStringList& list, const wchar_t* filter);
