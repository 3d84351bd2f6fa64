#pragma once
// Matches a user's wildcard pattern against one line of text.
//
//   x      the character itself (folded when the case does not matter)   \x   x taken literally
//   ?      any one character                                              *    any run, 0 or more
//   {ABC}  one of the set; {A-C} a range ("-" before "}" runs to U+FFFF); {!ABC} none of the set
//   (a|b)  either alternative, nested up to 8 deep
//   !      first: the result is inverted        ^  first or last: anchored at the text's start or end
//
// Without an anchor the pattern is wrapped in stars, so it searches. A run of blanks in the text counts
// as one blank. Failed (element, text position) states are remembered during a match, so a match costs
// at most elements x text length steps whatever the pattern.

#include <cstdint>
#include <vector>

class PatternMatcher {
public:
    enum Result : int { kHit = 0, kNoHit = 1, kTooDeep = 17 };
    static constexpr int kPatternSize = 255;   // characters with the terminator
    static constexpr int kMaxDepth = 8;

    PatternMatcher();
    virtual ~PatternMatcher();
    PatternMatcher(const PatternMatcher&) = delete;
    PatternMatcher& operator=(const PatternMatcher&) = delete;

    void Clear();
    // False for an empty text or one too long for the pattern (length + 4 > 255).
    bool Compile(const wchar_t* text);
    // kHit, kNoHit or kTooDeep; on a hit `start` and `length` give the matched part in characters.
    int Match(const wchar_t* text);
    // The next hit in the same text after the last one; kNoHit after no hit of non-zero length, for a
    // negated pattern and for one anchored at the text's start.
    int MatchNext();
    void SetResult(const wchar_t* match, int32_t start, int32_t length);

    // Only the user's first character negates: "^!abc" looks for lines starting with "!abc".
    bool IsNegated() const { return negated_; }
    const wchar_t* Pattern() const { return pattern; }

    uint8_t caseSensitive = 0;
    wchar_t pattern[kPatternSize] = {};
    const wchar_t* matchStart = nullptr;
    const wchar_t* matchEnd = nullptr;
    int32_t start = 0;
    int32_t length = 0;
    int32_t captureLevel = -1;

private:
    enum Kind : uint8_t { kLiteral, kAny, kStar, kSet, kOpen, kAlternative, kClose, kEnd };
    struct Element {
        Kind kind;
        bool negated;         // sets
        wchar_t ch;           // literals
        int32_t first, last;  // sets: ranges [first, last) of ranges_; groups: see Compile
    };
    struct Range {
        wchar_t low, high;
    };

    void FillFold();
    bool MatchAt(int element, int at);
    bool Failed(int element, int at) const;
    void MarkFailed(int element, int at);
    bool InSet(const Element& e, wchar_t c) const;
    int Step(int at) const;
    int RunMatch(const wchar_t* text, bool allowStartAnchor);

    std::vector<wchar_t> fold_;   // one entry per UTF-16 unit
    int foldState_ = -1;          // -1 unfilled, 0 identity, 1 upper case
    std::vector<Element> elements_;
    std::vector<Range> ranges_;
    int depth_ = 0;
    bool anchoredStart_ = false;
    bool negated_ = false;
    int coreStart_ = 0;           // first element after the leading stars
    int coreEnd_ = 0;             // first of the trailing stars, or the end
    // The text being matched.
    const wchar_t* text_ = nullptr;
    int textLength_ = 0;
    const wchar_t* base_ = nullptr;   // the text of the last Match, for MatchNext
    int hitStart_ = 0, hitEnd_ = 0;
    std::vector<uint64_t> failed_;
    std::vector<int> starFrom_;   // per star: every position from here on has failed
    int failedStride_ = 0;
};
