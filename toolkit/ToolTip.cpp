#include "toolkit/ToolTip.h"

#include "core/StringW.h"

#include <cstdarg>
#include <cstdlib>
#include <cwchar>

void FontCache::Erase(size_t index)
{
    // The control may be using the font: it gets the default font first, and is given a font
    // again on the next selection.
    if (static_cast<int32_t>(index) == currentFont && control)
        ::SendMessageW(control, WM_SETFONT, 0, FALSE);
    fonts.erase(fonts.begin() + static_cast<ptrdiff_t>(index));
    currentFont = -1;
}

void FontCache::Set(HWND window, int points, const wchar_t* face)
{
    Remove(window);
    auto entry = std::make_unique<Entry>();
    entry->key = window;
    entry->font.CreatePointFont(points * 10, face);
    fonts.push_back(std::move(entry));
    currentFont = -1;
}

void FontCache::Remove(HWND window)
{
    for (size_t i = 0; i < fonts.size(); ++i) {
        if (fonts[i]->key == window) {
            Erase(i);
            return;
        }
    }
}

int FontCache::Find(HWND window) const
{
    int fallback = -1;
    for (size_t i = 0; i < fonts.size(); ++i) {
        if (fonts[i]->key == window)
            return static_cast<int>(i);
        if (!fonts[i]->key && fallback < 0)
            fallback = static_cast<int>(i);
    }
    return fallback;
}

HFONT FontCache::Font(int index) const
{
    return index >= 0 && static_cast<size_t>(index) < fonts.size() ? static_cast<HFONT>(fonts[index]->font) : nullptr;
}

void FontCache::Clear()
{
    if (currentFont >= 0 && control)
        ::SendMessageW(control, WM_SETFONT, 0, FALSE);
    fonts.clear();
    currentFont = -1;
}

ToolTip::~ToolTip()
{
    Clear();
}

bool ToolTip::Create(CWnd* window)
{
    if (!window || !window->m_hWnd)
        return false;
    auto control = std::make_unique<CWnd>();
    RECT anywhere{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    if (!control->CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, anywhere,
                           window->m_hWnd, 0))
        return false;
    ReleaseControl();
    control_ = std::move(control);
    window_ = window->m_hWnd;
    fonts.control = control_->m_hWnd;
    savedTip = SetThreadToolTip(control_.get());
    installed_ = true;
    control_->SendMessage(TTM_SETMAXTIPWIDTH, 0, 0xFFFFFF);
    control_->SendMessage(TTM_SETDELAYTIME, TTDT_AUTOMATIC, 1000);
    control_->SendMessage(TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
    control_->SendMessage(TTM_ACTIVATE, TRUE, 0);
    window->EnableToolTips(true);
    return true;
}

INT_PTR ToolTip::HitTest(int x, int y, TOOLINFOW* toolInfo)
{
    if (!window_ || !toolInfo)
        return -1;
    HWND parent = window_, deepest = window_;
    POINT point{x, y};
    for (;;) {
        HWND child = ::ChildWindowFromPointEx(deepest, point, CWP_SKIPINVISIBLE);
        if (!child || child == deepest)
            break;
        ::MapWindowPoints(deepest, child, &point, 1);
        deepest = child;
    }
    if (deepest == parent)
        return -1;
    ::GetClientRect(deepest, &toolInfo->rect);
    toolInfo->hwnd = deepest;
    CWnd* wnd = CWnd::FromHandle(deepest);
    if (!wnd)
        return -1;
    INT_PTR id = wnd->OnToolHitTest(point, toolInfo);
    if (id == -1)
        return -1;
    SelectFont(deepest);
    return id;
}

void ToolTip::SelectFont(HWND window)
{
    int index = fonts.Find(window);
    if (index == fonts.currentFont)
        return;
    if (control_ && control_->m_hWnd)
        control_->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Font(index)), FALSE);
    fonts.currentFont = index;
}

void ToolTip::Clear()
{
    fonts.Clear();
    ReleaseControl();
}

void ToolTip::ReleaseControl()
{
    if (fonts.currentFont >= 0 && control_ && control_->m_hWnd)
        control_->SendMessage(WM_SETFONT, 0, FALSE);
    fonts.currentFont = -1;
    // The control is ours: it goes, and the tool tip installed before comes back (none when there
    // was none), so the thread never keeps a pointer to a destroyed control.
    if (installed_ && GetThreadToolTip() == control_.get())
        SetThreadToolTip(savedTip);
    installed_ = false;
    savedTip = nullptr;
    if (control_)
        control_->DestroyWindow();
    control_.reset();
    fonts.control = nullptr;
    window_ = nullptr;
}

wchar_t* WcsDupN(int n, const wchar_t* text)
{
    if (n < 1)
        return nullptr;
    if (!text)
        text = L"";
    size_t length = wcsnlen(text, static_cast<size_t>(n - 1));
    auto* copy = static_cast<wchar_t*>(std::malloc((length + 1) * sizeof(wchar_t)));
    if (!copy)
        return nullptr;
    std::wmemcpy(copy, text, length);
    copy[length] = L'\0';
    return copy;
}

wchar_t* TextFormat(const wchar_t* format, ...)
{
    std::wstring buffer(kFormatBufferSize, L'\0');
    va_list args;
    va_start(args, format);
    FormatIntoW(&buffer[0], kFormatBufferSize, format ? format : L"", args);
    va_end(args);
    return WcsDupN(kFormatBufferSize, buffer.c_str());
}
