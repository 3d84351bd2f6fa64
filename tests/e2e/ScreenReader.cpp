#include "tests/e2e/ScreenReader.h"

#include "classlib/DC.h"
#include "tests/e2e/UserInput.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace e2e {

namespace {

double ReadTimeScale() {
    const char* emulated = std::getenv("TRELVO_EMULATED");
    const double fallback = emulated && *emulated ? 5.0 : 1.0;
    const char* text = std::getenv("TRELVO_E2E_TIME_SCALE");
    if (!text || !*text)
        return fallback;
    char* end = nullptr;
    const double scale = std::strtod(text, &end);
    if (*end || !(scale > 0 && scale <= 1000)) {
        std::fprintf(stderr, "TRELVO_E2E_TIME_SCALE='%s' is not a number from 0 to 1000; the waits are scaled by %g\n",
                     text, fallback);
        return fallback;
    }
    return scale;
}

}  // namespace

double TimeScale() {
    static const double scale = ReadTimeScale();
    return scale;
}

DWORD Scaled(DWORD ms) {
    const double scaled = ms * TimeScale() + 0.5;
    return scaled >= static_cast<double>(INFINITE) ? INFINITE - 1 : static_cast<DWORD>(scaled);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    const DWORD limit = Scaled(timeoutMs);
    for (;;) {
        if (condition())
            return true;
        if (::GetTickCount() - start > limit)
            return condition();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 15, QS_ALLINPUT);
    }
}

namespace {

struct TopSearch {
    DWORD process;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectTop(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<TopSearch*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->process && ::IsWindowVisible(window))
        search->windows.push_back(window);
    return TRUE;
}

struct ChildSearch {
    int id;
    HWND visible = nullptr;
    HWND hidden = nullptr;
};

BOOL CALLBACK FindChildById(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ChildSearch*>(data);
    if (::GetDlgCtrlID(window) == search->id) {
        if (::IsWindowVisible(window)) {
            search->visible = window;
            return FALSE;
        }
        if (!search->hidden)
            search->hidden = window;
    }
    return TRUE;
}

BOOL CALLBACK CollectStatics(HWND window, LPARAM data) {
    if (ScreenReader::ClassName(window) == L"Static") {
        auto* text = reinterpret_cast<std::wstring*>(data);
        const std::wstring line = ScreenReader::Text(window);
        if (!line.empty())
            *text += (text->empty() ? L"" : L"\n") + line;
    }
    return TRUE;
}

}  // namespace

std::vector<HWND> ScreenReader::TopWindows() const {
    TopSearch search{process_, {}};
    ::EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

HWND ScreenReader::FindTop(const wchar_t* titlePart, const wchar_t* className) const {
    for (HWND window : TopWindows()) {
        if (className && ClassName(window) != className)
            continue;
        if (titlePart && Text(window).find(titlePart) == std::wstring::npos)
            continue;
        return window;
    }
    return nullptr;
}

HWND ScreenReader::WaitTop(const wchar_t* titlePart, const wchar_t* className, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTop(titlePart, className)) != nullptr; }, timeoutMs);
    return found;
}

HWND ScreenReader::Child(HWND parent, int id) {
    if (!parent)
        return nullptr;
    ChildSearch search{id};
    ::EnumChildWindows(parent, FindChildById, reinterpret_cast<LPARAM>(&search));
    return search.visible ? search.visible : search.hidden;
}

HWND ScreenReader::ChildPath(HWND root, std::initializer_list<int> ids) {
    HWND window = root;
    for (int id : ids)
        window = Child(window, id);
    return window;
}

std::wstring ScreenReader::Text(HWND window) {
    if (!window)
        return std::wstring();
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, Scaled(3000), &length))
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                               SMTO_ABORTIFHUNG, Scaled(3000), &copied))
        return std::wstring();
    text.resize(static_cast<size_t>(copied));
    return text;
}

std::wstring ScreenReader::ClassName(HWND window) {
    wchar_t name[128] = {};
    ::GetClassNameW(window, name, 128);
    return name;
}

RECT ScreenReader::ScreenRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

bool ScreenReader::Responsive(HWND window, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, Scaled(timeoutMs), &result) != 0;
}

std::wstring ScreenReader::StaticTexts(HWND dialog) {
    std::wstring text;
    ::EnumChildWindows(dialog, CollectStatics, reinterpret_cast<LPARAM>(&text));
    return text;
}

HWND ScreenReader::VisibleTip() const {
    for (HWND window : TopWindows()) {
        if (ClassName(window) == L"tooltips_class32")
            return window;
    }
    return nullptr;
}

std::wstring ScreenReader::ReadTip(POINT where, POINT away, DWORD timeoutMs) const {
    UserInput::MoveTo(away);
    WaitUntil([&] { return VisibleTip() == nullptr; }, 2000);
    UserInput::MoveTo(where);
    // A second move inside the tool starts the tip's timer on every platform.
    UserInput::MoveTo(POINT{where.x + 1, where.y});
    std::wstring text;
    WaitUntil([&] {
        HWND tip = VisibleTip();
        text = tip ? Text(tip) : std::wstring();
        return !text.empty();
    }, timeoutMs);
    return text;
}

std::wstring ScreenReader::Clipboard() {
    std::wstring text;
    WaitUntil([] { return ::OpenClipboard(nullptr) != FALSE; }, 3000);
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (data) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

std::wstring ScreenReader::WaitClipboard(DWORD sequence, DWORD timeoutMs) {
    if (!WaitUntil([&] {
            return ::GetClipboardSequenceNumber() != sequence && ::IsClipboardFormatAvailable(CF_UNICODETEXT);
        }, timeoutMs))
        return std::wstring();
    return Clipboard();
}

void ScreenReader::ClearClipboard() {
    if (WaitUntil([] { return ::OpenClipboard(nullptr) != FALSE; }, 3000)) {
        ::EmptyClipboard();
        ::CloseClipboard();
    }
}

bool ScreenReader::Capture(HWND window, PixelSurface& pixels, bool clientOnly) {
    RECT area{};
    if (clientOnly) {
        ::GetClientRect(window, &area);
        ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    } else {
        area = ScreenRect(window);
    }
    CClientDC screen(nullptr);
    return pixels.CopyFrom(screen, area);
}

bool ScreenReader::CaptureSettled(HWND window, PixelSurface& pixels, DWORD timeoutMs) {
    PixelSurface before;
    return WaitUntil([&] {
        if (!Capture(window, before))
            return false;
        ::Sleep(Scaled(100));
        return Capture(window, pixels) && pixels.Width() == before.Width() && pixels.Height() == before.Height() &&
               std::memcmp(pixels.Bits(), before.Bits(), sizeof(uint32_t) * pixels.Width() * pixels.Height()) == 0;
    }, timeoutMs);
}

bool ScreenReader::Shot(HWND window, const std::wstring& path) {
    PixelSurface pixels;
    return Capture(window, pixels, false) && pixels.SavePng(path);
}

}  // namespace e2e
