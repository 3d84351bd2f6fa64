#include "app/BLogPane.h"

#include "app/AppMessages.h"
#include "options/Options.h"
#include "toolkit/ScrollPager.h"
#include "toolkit/ZoneText.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace {

constexpr wchar_t kBackspace = 8;

}  // namespace

// --- The ring.

BTextRoll::BTextRoll(uint32_t capacity) : capacity_(capacity), buffer_(new wchar_t[capacity + 1]) {
    buffer_[capacity_] = 1;   // end mark
}

void BTextRoll::Clear() {
    used_ = 0;
    count_ = 0;
    cachedIndex_ = -1;
}

void BTextRoll::DropFront(uint32_t characters) {
    std::memmove(buffer_.get(), buffer_.get() + characters, (used_ - characters) * sizeof(wchar_t));
    used_ -= characters;
    cachedIndex_ = -1;
}

int32_t BTextRoll::MakeRoom(uint32_t length) {
    if (capacity_ < length)
        return -1;
    int32_t dropped = 0;
    uint32_t cut = 0;
    while (capacity_ - (used_ - cut) < length && cut < used_) {
        const wchar_t* end = std::wmemchr(buffer_.get() + cut, 0, used_ - cut);
        cut = end ? static_cast<uint32_t>(end - buffer_.get()) + 1 : used_;
        ++dropped;
    }
    if (cut > 0) {
        DropFront(cut);
        count_ = std::max(count_ - dropped, 0);
    }
    return dropped;
}

int32_t BTextRoll::AddText(const wchar_t* text, bool continuation) {
    if (!text)
        text = L"";
    const size_t characters = std::wcslen(text);
    if (characters + 1 > capacity_)
        return -1;
    const uint32_t length = static_cast<uint32_t>(characters) + 1;
    const int32_t dropped = MakeRoom(length);
    if (dropped < 0)
        return -1;
    bool joined = false;
    if (continuation && used_ > 0) {
        --used_;   // the last text's zero: the new one joins it
        joined = true;
    }
    // A backspace takes back a character of the text it joins, never a text's end.
    while (*text == kBackspace) {
        if (joined && used_ > 0 && buffer_[used_ - 1] != 0)
            --used_;
        ++text;
    }
    const size_t rest = std::wcslen(text);
    std::wmemcpy(buffer_.get() + used_, text, rest + 1);
    used_ += static_cast<uint32_t>(rest) + 1;
    if (!joined)
        ++count_;
    cachedIndex_ = -1;
    return dropped;
}

const wchar_t* BTextRoll::GetText(int32_t index) const {
    if (index < 0 || index >= count_ || used_ == 0)
        return nullptr;
    int32_t at = 0;
    uint32_t offset = 0;
    if (cachedIndex_ >= 0 && cachedIndex_ <= index) {
        at = cachedIndex_;
        offset = cachedOffset_;
    }
    while (at < index) {
        const wchar_t* end = std::wmemchr(buffer_.get() + offset, 0, used_ - offset);
        if (!end)
            return nullptr;
        offset = static_cast<uint32_t>(end - buffer_.get()) + 1;
        ++at;
    }
    if (offset >= used_)
        return nullptr;
    cachedIndex_ = index;
    cachedOffset_ = offset;
    return buffer_.get() + offset;
}

int32_t BTextRoll::GetLength(int32_t index) const {
    const wchar_t* text = GetText(index);
    return text ? static_cast<int32_t>(std::wcslen(text)) : -1;
}

// --- The line.

void LogLine::CreateZones(BMultiZone*) {
    text = new ZoneStringPreset(kZoneId, BZone::kAlignLeft | BZone::kStretch, 256);
    AddZone(text);
}

void LogLine::SetData(const void* item) {
    if (text)
        text->SetText(static_cast<const wchar_t*>(item));
}

// --- The pane.

const MessageEntry BLogPane::kEntries[] = {
    Cracked(WM_CREATE),
    OnMessage(kMsgOptions, Route<&BLogPane::OnOptions>),
};
const MessageMap BLogPane::kMessageMap{ &BMultiZone::kMessageMap, kEntries };

BLogPane::BLogPane(int32_t count) : ring_(new BTextRoll(static_cast<uint32_t>(count & 0xFFFFFF) * 1024)) {}

BLogPane::~BLogPane() = default;

void BLogPane::ResizeRing(int32_t count) {
    const uint32_t capacity = static_cast<uint32_t>(count & 0xFFFFFF) * 1024;
    if (ring_->Used() != 0 || ring_->Capacity() == capacity)
        return;
    ring_.reset(new BTextRoll(capacity));
}

int BLogPane::OnCreate(CREATESTRUCTW* cs) {
    if (BMultiZone::OnCreate(cs) == -1)
        return -1;
    VBar().SetPager(new ScrollPagerPage);
    line_ = new LogLine;
    BMultiZone::AddLine(line_);
    selection.flags = TextSelection::kAllowed | TextSelection::kLinesAllowed | TextSelection::kWordsAllowed;
    return 0;
}

void* BLogPane::GetItem(int row) {
    const int64_t index = VBar().top + row;
    if (index < 0 || index > INT32_MAX)
        return nullptr;
    return const_cast<wchar_t*>(ring_->GetText(static_cast<int32_t>(index)));
}

void BLogPane::UpdateCount() {
    VBar().rangeStart = 0;
    VBar().rangeEnd = ring_->Count();
}

void BLogPane::AddLine(const wchar_t* text, bool continuation) {
    if (continuation)
        continueNext = true;
    AddLine(text);
}

void BLogPane::AddLine(const wchar_t* text) {
    StringW line;
    if (pendingPrefix && !continueNext) {
        line.assign(1, pendingPrefix);
        pendingPrefix = 0;
    }
    line.Append(text ? text : L"");
    const bool continuation = continueNext;
    continueNext = false;
    VScroller& bar = VBar();
    const bool atEnd = bar.top + std::max<int64_t>(bar.page, 1) >= bar.rangeEnd;
    const int32_t dropped = ring_->AddText(line.c_str(), continuation);
    if (dropped < 0)
        return;
    if (dropped > 0) {
        selection.LinesRemoved(0, dropped);
        bar.top = std::max<int64_t>(bar.top - dropped, 0);
    }
    UpdateCount();
    if (atEnd && bar.Pager() && m_hWnd) {
        bar.Pager()->Bottom(bar);
        bar.NormalizePosition();
    }
    if (m_hWnd) {
        if (bar.m_hWnd)
            bar.UpdateThumb();
        Invalidate();
    }
}

void BLogPane::ClearLog() {
    selection.Clear();
    ring_->Clear();
    VBar().top = 0;
    UpdateCount();
    if (m_hWnd)
        Invalidate();
}

StringW BLogPane::SelectedText() const {
    StringW text;
    if (!selection.HasAnchor())
        return text;
    if (selection.IsLineSelection()) {
        const int64_t first = std::min(selection.firstLine, selection.lastLine);
        const int64_t last = std::max(selection.firstLine, selection.lastLine);
        for (int64_t i = std::max<int64_t>(first, 0); i <= last && i < ring_->Count(); ++i) {
            const wchar_t* line = ring_->GetText(static_cast<int32_t>(i));
            if (!line)
                break;
            if (*line >= 1 && *line <= 6)
                ++line;   // the colour preset is not text
            text.Append(line);
            text.Append(L"\r\n");
        }
        return text;
    }
    return selection.selectedText;
}

LRESULT BLogPane::OnOptions(WPARAM what, LPARAM lparam) {
    const Options* options = reinterpret_cast<const Options*>(lparam);
    if (what == 1 && options)
        ApplyOptions(*options);
    return 0;
}

void BLogPane::ApplyOptions(const Options& options) {
    SetFont(options.fonts.logFont.face.c_str(), options.fonts.logFont.size, FW_NORMAL);
    SetNormalColor(options.uiColors.logBk.value);
    SetTextColor(options.uiColors.logTxt.value);
    selectedColor = options.uiColors.logSelectLinesBk.value;
    SetMatchColor(options.codeColors.markerMk.value);
    if (m_hWnd)
        Invalidate();
}
