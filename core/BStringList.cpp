#include "core/BStringList.h"

BStringList::BStringList() { entries_.reserve(64); }

void BStringList::OnRemove(int) {}

void BStringList::AddToControl(HWND combo, int index) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entries_[index].c_str()));
}

void BStringList::RemoveEqual(const wchar_t* text) {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (StringEquals(text, entries_[i])) {
            entries_.erase(entries_.begin() + i);
            OnRemove(static_cast<int>(i));
            return;
        }
    }
}

void BStringList::PushFront(const wchar_t* text) {
    if (!text || !*text) return;
    if (!entries_.empty() && StringEquals(text, entries_.front())) return;
    RemoveEqual(text);
    while (!entries_.empty() && static_cast<int>(entries_.size()) >= limit_) {
        entries_.pop_back();
        OnRemove(static_cast<int>(entries_.size()));
    }
    entries_.insert(entries_.begin(), StringW(text));
}

void BStringList::FillControl(HWND combo) {
    if (entries_.empty()) return;
    for (int i = 0; i < Count(); ++i) AddToControl(combo, i);
    SetWindowTextW(combo, entries_.front().c_str());
}

void ListBoxAddFiltered(HWND listBox, const BStringList& list, const wchar_t* filter) {
    const bool all = !filter || !*filter;
    for (const StringW& entry : list.Entries()) {
        if (all || entry.FindNoCase(filter, 0) >= 0) {
            SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
        }
    }
}
