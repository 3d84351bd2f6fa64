#pragma once
// The marks of a file's tab: a stack of colours, one per kind of job running (theme colour 25 while
// parsing, 26 while the refers scan runs, 27 while a find runs). The tab shows a small box in the colour
// of the top entry, none when the stack is empty.

#include "classlib/CWnd.h"

#include <cstdint>
#include <vector>

class ActivityStack {
public:
    explicit ActivityStack(CWnd* window) : window(window) {}
    virtual ~ActivityStack() = default;

    void Push(uint32_t key);
    void Remove(uint32_t key);
    bool Empty() const { return keys.empty(); }
    uint32_t Top() const { return keys.empty() ? 0 : keys.back(); }

    CWnd* window;
    std::vector<uint32_t> keys;

private:
    // The tab shows the top colour (or nothing); repainted when that changed.
    void ShowTop();
};
