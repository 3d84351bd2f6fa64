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

std::vector<Waiting>& WaitingPosts() {
    static thread_local std::vector<Waiting> posts;
    return posts;
}

}  // namespace

ModalLoopScope::ModalLoopScope() { ++t_depth; }

ModalLoopScope::~ModalLoopScope() {
    if (--t_depth > 0)
        return;
    std::vector<Waiting> posts;
    posts.swap(WaitingPosts());
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
    std::vector<Waiting>& posts = WaitingPosts();
    if (std::find(posts.begin(), posts.end(), post) == posts.end())
        posts.push_back(post);
}
