#include "document/BComment.h"

#include "core/SectionLock.h"
#include "document/FileParseThread.h"
#include "document/TextEditor.h"

#include <algorithm>
#include <cwchar>

int32_t CountCommentLines(const wchar_t* text) {
    if (!text || !*text)
        return 0;
    int32_t lines = 1;
    const wchar_t* p = text;
    for (; *p; ++p)
        if (*p == L'\n')
            ++lines;
    return p[-1] == L'\n' ? lines - 1 : lines;
}

StringW CommentLineOf(const wchar_t* text, int n) {
    StringW line;
    if (!text || n < 0 || n >= CountCommentLines(text))
        return line;
    const wchar_t* p = text;
    for (int i = 0; i < n; ++i)
        p = std::wcschr(p, L'\n') + 1;
    for (; *p && *p != L'\n'; ++p)
        if (*p != L'\r')
            line.push_back(*p);
    return line;
}

BComment::BComment(int recordsPerChunk) : records_(recordsPerChunk), pool_(recordsPerChunk * 64, 0) {}

const wchar_t* BComment::RawText(int64_t address) const {
    const int i = records_.Find(address);
    return i >= 0 ? records_[i].text : nullptr;
}

StringW BComment::GetLineText(int64_t address, int n) { return CommentLineOf(RawText(address), n); }

int32_t BComment::LineCount(int64_t address) { return CountCommentLines(RawText(address)); }

int32_t CommentOnline::LineCount(int64_t address) { return std::max(BComment::LineCount(address) - 1, 0); }

StringW BComment::Text(int64_t address) const {
    StringW text;
    text.SetText(RawText(address));
    return text;
}

void BComment::SetComment(int64_t address, const wchar_t* text) {
    const int i = records_.Find(address);
    if (!text || !*text) {
        if (i >= 0)
            records_.Erase(i, 1);
        return;
    }
    const wchar_t* copy = pool_.AddString(text);
    if (i >= 0)
        records_[i].text = copy;
    else
        records_.Insert(_COMMENT{ address, copy });
}

bool BComment::EditDialog(BTextEditor* editor, FileParseThread* document, int64_t address) {
    if (!editor || !document)
        return false;
    StringW text;
    {
        SectionLock lock(document->FileLock());
        text = Text(address);
    }
    // No lock while the dialog runs its own message loop.
    if (!editor->EditText(StringW(kFormat, L"Comment @ %s", document->AddressText(address).c_str()), text))
        return false;
    SectionLock lock(document->FileLock());
    SetComment(address, text.c_str());
    return true;
}
