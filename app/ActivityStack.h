#pragma once
// The marks of a file's tab: a stack of theme colour numbers, one per kind of job running (parsing,
// refers scan, find). The tab shows a small box in the colour of the top entry, none when empty.

#include "classlib/CWnd.h"

#include <cstdint>
#include <vector>

class ActivityStack {
public:
    static constexpr uint32_t kParsing = 25;
    static constexpr uint32_t kRefers = 26;
    static constexpr uint32_t kFinding = 27;
    static constexpr int kNone = -1;

    explicit ActivityStack(CWnd* window) : window(window) {}
    virtual ~ActivityStack() = default;

    void Push(uint32_t key);
    void Remove(uint32_t key);
    // The top key, or kNone.
    int Top() const { return keys.empty() ? kNone : static_cast<int>(keys.back()); }

    CWnd* window;
    std::vector<uint32_t> keys;

private:
    void ShowTop();
};
