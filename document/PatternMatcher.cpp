#include "document/PatternMatcher.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

// Whether the character at `at` is escaped by an odd run of backslashes before it.
bool IsEscaped(const wchar_t* begin, const wchar_t* at) {
    int n = 0;
    while (at > begin && at[-1] == L'\\') {
        --at;
        ++n;
    }
    return n % 2 != 0;
}

// Past a run of blanks, plain or escaped: the text's blank runs match as one blank, so the
// pattern's runs fold the same way.
const wchar_t* SkipBlanks(const wchar_t* c, const wchar_t* end) {
    for (;;) {
        if (c < end && *c == L' ')
            ++c;
        else if (end - c >= 2 && c[0] == L'\\' && c[1] == L' ')
            c += 2;
        else
            return c;
    }
}

}  // namespace

PatternMatcher::PatternMatcher() : fold_(65536) {}

PatternMatcher::~PatternMatcher() = default;

void PatternMatcher::Clear() {
    matchStart = matchEnd = nullptr;
    start = length = 0;
    base_ = nullptr;
}

void PatternMatcher::FillFold() {
    const int want = caseSensitive ? 0 : 1;
    if (foldState_ == want)
        return;
    for (int i = 0; i < 65536; ++i)
        fold_[i] = static_cast<wchar_t>(i);
    if (want)
        CharUpperBuffW(fold_.data(), 65536);
    foldState_ = want;
}

bool PatternMatcher::Compile(const wchar_t* text) {
    Clear();
    elements_.clear();
    ranges_.clear();
    pattern[0] = 0;
    depth_ = 0;
    negated_ = false;
    if (!text || !*text)
        return false;
    const size_t total = std::wcslen(text);
    if (total + 4 > static_cast<size_t>(kPatternSize))
        return false;

    negated_ = text[0] == L'!';
    const wchar_t* p = text + (negated_ ? 1 : 0);
    anchoredStart_ = *p == L'^';
    if (anchoredStart_)
        ++p;
    const wchar_t* end = p + std::wcslen(p);
    const bool anchoredEnd = end > p && end[-1] == L'^' && !IsEscaped(p, end - 1);
    if (anchoredEnd)
        --end;

    std::wstring core(p, end);
    if (!caseSensitive && !core.empty())
        CharUpperBuffW(&core[0], static_cast<DWORD>(core.size()));
    FillFold();

    std::wstring shown;
    if (negated_)
        shown += L'!';
    if (!anchoredStart_)
        shown += L'*';
    shown += core;
    if (!anchoredEnd)
        shown += L'*';
    std::wmemcpy(pattern, shown.c_str(), shown.size() + 1);

    auto add = [&](Kind kind, wchar_t ch = 0) {
        if (kind == kStar && !elements_.empty() && elements_.back().kind == kStar)
            return;
        elements_.push_back({ kind, false, ch, 0, 0 });
    };
    struct Group {
        int open;
        int lastSeparator;
        std::vector<int> alternatives;
    };
    std::vector<Group> groups;
    auto closeGroup = [&]() {
        const int close = static_cast<int>(elements_.size());
        add(kClose);
        Group& g = groups.back();
        elements_[g.lastSeparator].first = close;
        elements_[g.open].last = close;
        for (int a : g.alternatives)
            elements_[a].last = close;
        groups.pop_back();
    };

    if (!anchoredStart_)
        add(kStar);
    const wchar_t* c = core.c_str();
    const wchar_t* cend = c + core.size();
    while (c < cend) {
        const wchar_t ch = *c++;
        switch (ch) {
        case L'\\':
            // A trailing backslash stands for itself.
            add(kLiteral, c < cend ? *c++ : L'\\');
            if (elements_.back().ch == L' ')
                c = SkipBlanks(c, cend);
            break;
        case L'?':
            add(kAny);
            break;
        case L'*':
            add(kStar);
            break;
        case L'{': {
            Element set{ kSet, false, 0, static_cast<int32_t>(ranges_.size()), 0 };
            if (c < cend && *c == L'!') {
                set.negated = true;
                ++c;
            }
            while (c < cend && *c != L'}') {
                wchar_t low = *c++;
                if (low == L'\\' && c < cend)
                    low = *c++;
                wchar_t high = low;
                if (c < cend && *c == L'-') {
                    ++c;
                    if (c >= cend || *c == L'}') {
                        high = 0xFFFF;
                    } else {
                        high = *c++;
                        if (high == L'\\' && c < cend)
                            high = *c++;
                    }
                }
                ranges_.push_back({ low, high });
            }
            if (c < cend)
                ++c;   // the closing brace; an unterminated set ends with the pattern
            set.last = static_cast<int32_t>(ranges_.size());
            elements_.push_back(set);
            break;
        }
        case L'(': {
            const int open = static_cast<int>(elements_.size());
            add(kOpen);
            groups.push_back({ open, open, {} });
            depth_ = std::max(depth_, static_cast<int>(groups.size()));
            break;
        }
        case L'|':
            if (groups.empty()) {
                add(kLiteral, ch);
            } else {
                const int at = static_cast<int>(elements_.size());
                add(kAlternative);
                elements_[groups.back().lastSeparator].first = at;
                groups.back().lastSeparator = at;
                groups.back().alternatives.push_back(at);
            }
            break;
        case L')':
            if (groups.empty())
                add(kLiteral, ch);
            else
                closeGroup();
            break;
        case L' ':
            add(kLiteral, ch);
            c = SkipBlanks(c, cend);
            break;
        default:
            add(kLiteral, ch);
            break;
        }
    }
    // Unterminated groups end with the user's text, before the added star.
    while (!groups.empty())
        closeGroup();
    if (!anchoredEnd)
        add(kStar);
    add(kEnd);

    const int n = static_cast<int>(elements_.size());
    coreStart_ = anchoredStart_ ? 0 : 1;
    coreEnd_ = anchoredEnd ? n - 1 : n - 2;
    if (coreEnd_ < coreStart_)
        coreStart_ = coreEnd_;
    captureLevel = elements_[coreStart_].kind == kOpen || elements_[coreStart_].kind == kStar ? -1 : 0;
    return true;
}

bool PatternMatcher::InSet(const Element& e, wchar_t c) const {
    bool in = false;
    for (int i = e.first; i < e.last && !in; ++i)
        in = c >= ranges_[i].low && c <= ranges_[i].high;
    return in != e.negated;
}

int PatternMatcher::Step(int at) const {
    if (text_[at] != L' ')
        return at + 1;
    while (at < textLength_ && text_[at] == L' ')
        ++at;
    return at;
}

bool PatternMatcher::Failed(int element, int at) const {
    const size_t bit = static_cast<size_t>(element) * failedStride_ + at;
    return (failed_[bit >> 6] >> (bit & 63)) & 1;
}

void PatternMatcher::MarkFailed(int element, int at) {
    const size_t bit = static_cast<size_t>(element) * failedStride_ + at;
    failed_[bit >> 6] |= uint64_t{ 1 } << (bit & 63);
}

bool PatternMatcher::MatchAt(int e, int t) {
    int startAt = -1, endAt = -1;
    const wchar_t* fold = fold_.data();
    for (;;) {
        if (e == coreStart_)
            startAt = t;
        if (e == coreEnd_)
            endAt = t;
        const Element& el = elements_[e];
        switch (el.kind) {
        case kEnd:
            if (t != textLength_)
                return false;
            if (startAt >= 0)
                hitStart_ = startAt;
            if (endAt >= 0)
                hitEnd_ = endAt;
            return true;
        case kLiteral:
            if (t >= textLength_ || fold[static_cast<uint16_t>(text_[t])] != el.ch)
                return false;
            t = Step(t);
            ++e;
            continue;
        case kAny:
            if (t >= textLength_)
                return false;
            t = Step(t);
            ++e;
            continue;
        case kSet:
            if (t >= textLength_ || !InSet(el, fold[static_cast<uint16_t>(text_[t])]))
                return false;
            t = Step(t);
            ++e;
            continue;
        case kAlternative:
            e = el.last + 1;   // the alternative matched: go on after the group
            continue;
        case kClose:
            ++e;
            continue;
        case kStar:
        case kOpen:
            break;
        }
        bool found = false;
        if (el.kind == kStar) {
            const int next = e + 1;
            const Element& n = elements_[next];
            if (n.kind == kEnd) {
                t = textLength_;   // a final star takes the rest
                e = next;
                continue;
            }
            // Positions from starFrom_[e] on were all tried by an earlier entry into this star, so
            // each star scans the text once per match.
            const int until = std::min(textLength_, starFrom_[e] - 1);
            for (int u = t; u <= until && !found; ++u) {
                if (n.kind == kLiteral) {
                    while (u < textLength_ && fold[static_cast<uint16_t>(text_[u])] != n.ch)
                        ++u;
                    if (u >= textLength_)
                        break;
                }
                if (Failed(next, u))
                    continue;
                found = MatchAt(next, u);
                if (!found)
                    MarkFailed(next, u);
            }
            if (!found)
                starFrom_[e] = std::min(starFrom_[e], t);
        } else {
            int first = e + 1;
            int separator = el.first;
            for (;;) {
                if (!Failed(first, t)) {
                    found = MatchAt(first, t);
                    if (found)
                        break;
                    MarkFailed(first, t);
                }
                if (elements_[separator].kind == kClose)
                    break;
                first = separator + 1;
                separator = elements_[separator].first;
            }
        }
        if (found) {
            if (startAt >= 0)
                hitStart_ = startAt;
            if (endAt >= 0)
                hitEnd_ = endAt;
        }
        return found;
    }
}

int PatternMatcher::RunMatch(const wchar_t* text, bool allowStartAnchor) {
    if (elements_.empty() || !text || !*text)
        return kNoHit;
    if (depth_ > kMaxDepth)
        return kTooDeep;
    if (anchoredStart_ && !allowStartAnchor)
        return kNoHit;
    text_ = text;
    textLength_ = static_cast<int>(std::wcslen(text));
    failedStride_ = textLength_ + 1;
    const size_t bits = elements_.size() * static_cast<size_t>(failedStride_);
    const size_t words = (bits + 63) / 64;
    if (failed_.size() < words)
        failed_.resize(words);
    std::fill(failed_.begin(), failed_.begin() + words, 0);
    starFrom_.assign(elements_.size(), textLength_ + 1);
    hitStart_ = hitEnd_ = 0;
    const bool ok = MatchAt(0, 0);
    if (IsNegated()) {
        hitStart_ = hitEnd_ = 0;
        return ok ? kNoHit : kHit;
    }
    return ok ? kHit : kNoHit;
}

int PatternMatcher::Match(const wchar_t* text) {
    Clear();
    const int r = RunMatch(text, true);
    if (r == kHit) {
        base_ = text;
        SetResult(text + hitStart_, hitStart_, hitEnd_ - hitStart_);
    }
    return r;
}

int PatternMatcher::MatchNext() {
    if (!base_ || length <= 0 || IsNegated() || anchoredStart_)
        return kNoHit;
    const int32_t from = start + length;
    const int r = RunMatch(base_ + from, false);
    if (r != kHit) {
        length = 0;
        return r;
    }
    SetResult(base_ + from + hitStart_, from + hitStart_, hitEnd_ - hitStart_);
    return kHit;
}

void PatternMatcher::SetResult(const wchar_t* match, int32_t at, int32_t count) {
    matchStart = match;
    matchEnd = match ? match + count : nullptr;
    start = at;
    length = count;
}
