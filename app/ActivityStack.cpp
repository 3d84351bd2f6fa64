#include "app/ActivityStack.h"

#include "app/FileTabber.h"

void ActivityStack::Push(uint32_t key) {
    keys.push_back(key);
    ShowTop();
}

void ActivityStack::Remove(uint32_t key) {
    if (keys.empty())
        return;
    if (keys.back() == key) {
        keys.pop_back();
        ShowTop();
        return;
    }
    // Below the top the mark does not change.
    for (size_t i = keys.size() - 1; i-- > 0;) {
        if (keys[i] == key) {
            keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

void ActivityStack::ShowTop() {
    if (!window || !window->m_hWnd)
        return;
    if (auto* tabber = dynamic_cast<FileTabber*>(CWnd::FromHandle(window->GetParent())))
        tabber->ShowActivity(window, !keys.empty(), Top());
}
