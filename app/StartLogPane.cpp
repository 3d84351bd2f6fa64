#include "app/StartLogPane.h"

#include "app/AppMessages.h"
#include "app/CApp.h"
#include "classlib/CommonDialogs.h"
#include "options/BColorTheme.h"
#include "options/Options.h"
#include "toolkit/GuiMetrics.h"
#include "toolkit/ZoneText.h"

#include <cwchar>
#include <cwctype>

constexpr MessageEntry kStartLogEntries[] = {
    Cracked(WM_LBUTTONDOWN),
    Cracked(WM_LBUTTONUP),
    Cracked(WM_MOUSEMOVE),
    Cracked(WM_LBUTTONDBLCLK),
    OnMessage(kMsgOptions, Route<&StartLogPane::OnStartOptions>),
};
const MessageMap StartLogPane::kMessageMap{&BLogPane::kMessageMap, kStartLogEntries};

StringW StartLogPane::LineText(int index) {
    const wchar_t* text = Ring().GetText(index);
    if (!text)
        return StringW();
    if (*text >= 1 && *text <= 6)
        ++text;
    return StringW(text);
}

int StartLogPane::LineAt(POINT point) {
    const int row = RowAtY(point.y);
    if (row < 0)
        return -1;
    const int64_t index = VBar().top + row;
    return index >= 0 && index < LineCount() ? static_cast<int>(index) : -1;
}

StringW StartLogPane::WebAddressOf(const wchar_t* line) {
    // Only a web address goes to the shell: anything else it would open as a path, and run.
    for (const wchar_t* at = line ? wcsstr(line, L"http") : nullptr; at; at = wcsstr(at + 1, L"http")) {
        const size_t scheme = wcsncmp(at, L"http://", 7) == 0 ? 7 : wcsncmp(at, L"https://", 8) == 0 ? 8 : 0;
        if (scheme == 0)
            continue;
        size_t end = scheme;
        while (at[end] && !iswspace(at[end]))
            ++end;
        if (end > scheme) {
            StringW address;
            address.assign(at, end);
            return address;
        }
    }
    return StringW();
}

void StartLogPane::OnLButtonDblClk(UINT, POINT point) {
    const int line = LineAt(point);
    if (line < 0)
        return;
    const StringW address = WebAddressOf(Ring().GetText(line));
    if (!address.empty())
        ShellOpen(address.c_str(), m_hWnd);
}

LRESULT StartLogPane::OnStartOptions(WPARAM wParam, LPARAM lParam) {
    const Options* set = reinterpret_cast<const Options*>(lParam);
    if (!set || set != static_cast<const Options*>(&App().options))
        return 0;
    OnOptions(wParam, lParam);
    if (wParam != 1 || !Line() || !Line()->text)
        return 0;
    const PFont& font = set->fonts.logFont;
    CreateFontPoints(presetFont, L"Consolas", font.size, false, FW_NORMAL);
    CreateFontPoints(logFont, font.face.c_str(), font.size, false, FW_NORMAL);
    ZoneStringPreset* text = Line()->text;
    text->SetPreset(1, &presetFont, RGB(0, 0, 128));
    text->SetPreset(2, &presetFont, RGB(12, 132, 222));
    text->SetPreset(3, &presetFont, ThemeColor(65));
    text->SetPreset(4, &logFont, set->uiColors.logLine.value);
    Invalidate();
    return 0;
}
