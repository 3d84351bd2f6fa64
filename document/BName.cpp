#include "document/BName.h"

#include "document/ChunkMerge.h"
#include "document/FileParseThread.h"
#include "document/TextEditor.h"

#include <algorithm>
#include <cstring>

bool IsNameChar(wchar_t c) {
    if (c >= 128 || c == 0)
        return false;
    if ((c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == 0x7F)
        return true;
    // '`' splits the halves of a wide address text ("fn_01`40001000").
    return std::wcschr(L"#$%()-.?@[]_`~", c) != nullptr;
}

bool IsValidName(const wchar_t* text) {
    if (!text || !*text || (*text >= L'0' && *text <= L'9'))
        return false;
    for (const wchar_t* p = text; *p; ++p)
        if (!IsNameChar(*p))
            return false;
    return true;
}

void NameRecentList::SetKey(const wchar_t* key, int length) {
    key_.SetText(key);
    limit_ = std::clamp(length, 0, 64);
    if (static_cast<int>(entries_.size()) > limit_)
        entries_.resize(static_cast<size_t>(limit_));
}

BName::BName(int recordsPerChunk)
    : pool_(recordsPerChunk * 48, 2), byAddress_(recordsPerChunk), byText_(recordsPerChunk) {}

const wchar_t* BName::Copy(const wchar_t* text, int mark) {
    wchar_t* copy = pool_.AddString(text);
    copy[-1] = static_cast<wchar_t>(mark >= 32 && mark <= 126 ? mark : 32);
    return copy;
}

int BName::AddressIndexOf(int64_t address, const wchar_t* pooled) const {
    int i = byAddress_.Find(address);
    for (; i >= 0 && i < byAddress_.count && byAddress_[i].address == address; ++i)
        if (byAddress_[i].text == pooled)
            return i;
    return -1;
}

bool BName::Add(int64_t address, const wchar_t* text, int mark) {
    SectionLock lock(lock_.Get());
    if (address < 0 || !text || !*text || byText_.Find(text) >= 0 || !IsValidName(text))
        return false;
    const NAME_DATA record = { address, Copy(text, mark) };
    byAddress_.Insert(record);
    byText_.Insert(record);
    ++changes_;
    return true;
}

std::vector<int64_t> BName::AddMany(const std::vector<std::pair<int64_t, StringW>>& names, int mark) {
    SectionLock lock(lock_.Get());
    std::vector<NAME_DATA> fresh;
    for (const auto& name : names) {
        const wchar_t* text = name.second.c_str();
        if (name.first < 0 || !*text || byText_.Find(text) >= 0 || !IsValidName(text))
            continue;
        fresh.push_back(NAME_DATA{ name.first, text });
    }
    const auto textLess = [](const NAME_DATA& a, const NAME_DATA& b) { return ChunkKeyLess(a.text, b.text); };
    // One record per text, the first one given.
    std::stable_sort(fresh.begin(), fresh.end(), textLess);
    fresh.erase(std::unique(fresh.begin(), fresh.end(),
                            [](const NAME_DATA& a, const NAME_DATA& b) { return std::wcscmp(a.text, b.text) == 0; }),
                fresh.end());
    for (NAME_DATA& record : fresh)
        record.text = Copy(record.text, mark);
    MergeIntoSorted(byText_, fresh, textLess);
    // By address, the later of two names at one address goes first, as with one Add after another.
    std::reverse(fresh.begin(), fresh.end());
    std::stable_sort(fresh.begin(), fresh.end(), [](const NAME_DATA& a, const NAME_DATA& b) { return a.address < b.address; });
    MergeIntoSorted(byAddress_, fresh, [](const NAME_DATA& a, const NAME_DATA& b) { return a.address < b.address; });
    if (!fresh.empty())
        ++changes_;
    std::vector<int64_t> added;
    added.reserve(fresh.size());
    for (const NAME_DATA& record : fresh)
        added.push_back(record.address);
    return added;
}

bool BName::HasText(const wchar_t* text) {
    SectionLock lock(lock_.Get());
    return text && byText_.Find(text) >= 0;
}

int64_t BName::AddressOf(const wchar_t* text) {
    SectionLock lock(lock_.Get());
    const int i = text ? byText_.Find(text) : -1;
    return i >= 0 ? byText_[i].address : -1;
}

int32_t BName::CountAt(int64_t address) {
    SectionLock lock(lock_.Get());
    int i = byAddress_.Find(address);
    if (i < 0)
        return 0;
    int n = 0;
    for (; i < byAddress_.count && byAddress_[i].address == address; ++i)
        ++n;
    return n;
}

int BName::FirstIndexAt(int64_t address) {
    SectionLock lock(lock_.Get());
    const int i = byAddress_.Find(address);
    return i >= 0 ? i : -1;
}

StringW BName::TextAt(int64_t address, int n) {
    SectionLock lock(lock_.Get());
    const int first = byAddress_.Find(address);
    if (first < 0 || n < 0 || n >= byAddress_.count - first || byAddress_[first + n].address != address)
        return StringW();
    StringW text;
    text.SetText(byAddress_[first + n].text);
    return text;
}

wchar_t BName::MarkAt(int64_t address, int n) {
    SectionLock lock(lock_.Get());
    const int first = byAddress_.Find(address);
    if (first < 0 || n < 0 || n >= byAddress_.count - first || byAddress_[first + n].address != address)
        return 0;
    return MarkOf(byAddress_[first + n].text);
}

bool BName::RemoveText(const wchar_t* text) {
    SectionLock lock(lock_.Get());
    const int t = text ? byText_.Find(text) : -1;
    if (t < 0)
        return false;
    const NAME_DATA record = byText_[t];
    const int a = AddressIndexOf(record.address, record.text);
    if (a >= 0)
        byAddress_.Erase(a, 1);
    byText_.Erase(t, 1);
    ++changes_;
    return true;
}

bool BName::Rename(const wchar_t* oldText, const wchar_t* newText) {
    SectionLock lock(lock_.Get());
    const int t = oldText ? byText_.Find(oldText) : -1;
    if (t < 0)
        return false;
    if (!newText || !*newText)
        return RemoveText(oldText);
    if (!IsValidName(newText))
        return false;
    const NAME_DATA old = byText_[t];
    if (std::wcscmp(old.text, newText) == 0)
        return true;
    // Two records with one text would break the text index: a taken text is refused.
    if (byText_.Find(newText) >= 0)
        return false;
    const int a = AddressIndexOf(old.address, old.text);
    const NAME_DATA renamed = { old.address, Copy(newText, MarkOf(old.text)) };
    if (a >= 0)
        byAddress_[a].text = renamed.text;
    byText_.Erase(t, 1);
    byText_.Insert(renamed);
    ++changes_;
    return true;
}

bool BName::EditDialog(BTextEditor* editor, FileParseThread* document, int64_t address, int n) {
    if (!editor || !document)
        return false;
    const StringW addressText = document->AddressText(address);
    const StringW old = TextAt(address, n);
    StringW text = old;
    if (text.empty())
        text = StringW(kFormat, L"%s%s", Prefix(), addressText.c_str());
    if (!editor->EditText(addressText, text))
        return false;
    SectionLock lock(lock_.Get());
    if (!old.empty())
        Rename(old.c_str(), text.c_str());
    else
        Add(address, text.c_str(), ' ');
    return true;
}

int BName::Count() {
    SectionLock lock(lock_.Get());
    return byAddress_.count;
}

uint32_t BName::Changes() {
    SectionLock lock(lock_.Get());
    return changes_;
}

NAME_DATA BName::ByAddressAt(int i) {
    SectionLock lock(lock_.Get());
    const NAME_DATA* r = byAddress_.Get(i);
    return r ? *r : NAME_DATA{ -1, nullptr };
}

NAME_DATA BName::ByTextAt(int i) {
    SectionLock lock(lock_.Get());
    const NAME_DATA* r = byText_.Get(i);
    return r ? *r : NAME_DATA{ -1, nullptr };
}
