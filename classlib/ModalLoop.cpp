#include "classlib/ModalLoop.h"

#include <algorithm>
#include <vector>

namespace {

struct Waiting {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Waiting& o) const {
        return window == o.window && message == o.message && wParam == o.wParam && lParam == o.lParam;
    }
};

thread_local int t_depth = 0;
thread_local std::vector<Waiting> t_waiting;

}  // namespace

ModalLoopScope::ModalLoopScope() { ++t_depth; }

ModalLoopScope::~ModalLoopScope() {
    if (--t_depth > 0)
        return;
    std::vector<Waiting> posts;
    posts.swap(t_waiting);
    for (const Waiting& p : posts)
        ::PostMessageW(p.window, p.message, p.wParam, p.lParam);
}

int ModalLoopDepth() { return t_depth; }

void PostAfterModalLoops(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const Waiting post{window, message, wParam, lParam};
    if (t_depth == 0) {
        ::PostMessageW(window, message, wParam, lParam);
        return;
    }
    if (std::find(t_waiting.begin(), t_waiting.end(), post) == t_waiting.end())
        t_waiting.push_back(post);
}
