#include "app/StartLogPane.h"

#include "app/CApp.h"
#include "classlib/CommonDialogs.h"
#include "classlib/DC.h"
#include "options/BColorTheme.h"
#include "options/Options.h"

#include <algorithm>

constexpr MessageEntry kStartLogEntries[] = {
    Cracked(WM_ERASEBKGND),
    Cracked(WM_PAINT),
    Cracked(WM_LBUTTONDBLCLK),
    Cracked(WM_LBUTTONDOWN),
    Cracked(WM_LBUTTONUP),
    Cracked(WM_MOUSEMOVE),
    OnMessage(0x5E20, Route<&StartLogPane::OnOptions>),
};
const MessageMap StartLogPane::kMessageMap{&BPane::kMessageMap, kStartLogEntries};

int StartLogPane::OnCreate(CREATESTRUCTW* cs) {
    if (BPane::OnCreate(cs) == -1)
        return -1;
    font_.CreatePointFont(90, L"Helv");
    return 0;
}

void StartLogPane::AddLine(const wchar_t* text, bool continuation) {
    const wchar_t* p = text ? text : L"";
    const size_t length = wcslen(p) + 1;
    if (length > static_cast<size_t>(kCapacity))
        return;
    while (!lines_.empty() && kCapacity - used_ < length) {
        used_ -= lines_.front().size() + 1;
        lines_.pop_front();
    }
    if (!continuation || lines_.empty()) {
        lines_.emplace_back();
        used_ += 1;
    }
    StringW& last = lines_.back();
    for (; *p == L'\b'; ++p) {
        if (!last.empty()) {
            last.pop_back();
            --used_;
        }
    }
    last.append(p);
    used_ += wcslen(p);
    if (m_hWnd)
        Invalidate();
}

StringW StartLogPane::WebAddressOf(const StringW& line) {
    const size_t at = line.find(L"http");
    return at == StringW::npos ? StringW() : StringW(line.substr(at).c_str());
}

int StartLogPane::FirstShown() const {
    const RECT r = GetClientRect();
    const int rows = std::max(1, static_cast<int>((r.bottom - r.top) / LineHeight()));
    return std::max(0, LineCount() - rows);
}

int StartLogPane::LineAt(POINT point) const {
    if (point.y < 0)
        return -1;
    const int line = FirstShown() + point.y / LineHeight();
    return line < LineCount() ? line : -1;
}

void StartLogPane::OnLButtonDblClk(UINT, POINT point) {
    const int line = LineAt(point);
    if (line < 0)
        return;
    const StringW address = WebAddressOf(lines_[line]);
    if (!address.empty())
        ShellOpen(address.c_str(), m_hWnd);
}

BOOL StartLogPane::OnEraseBkgnd(HDC) { return TRUE; }

void StartLogPane::OnPaint() {
    CPaintDC paint(m_hWnd);
    const RECT client = GetClientRect();
    HDC dc = paint.GetSafeHdc();
    HBRUSH brush = ::CreateSolidBrush(background);
    ::FillRect(dc, &client, brush);
    ::DeleteObject(brush);
    HGDIOBJ oldFont = ::SelectObject(dc, font_.GetSafeHandle() ? font_.GetSafeHandle() : ::GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    lineHeight_ = metrics.tmHeight + metrics.tmExternalLeading;
    ::SetBkMode(dc, TRANSPARENT);
    int y = 0;
    for (int i = FirstShown(); i < LineCount() && y < client.bottom; ++i, y += LineHeight()) {
        const StringW& line = lines_[i];
        const wchar_t* text = line.c_str();
        int length = line.Length();
        COLORREF colour = textColor;
        const bool preset = length > 0 && text[0] >= 1 && text[0] <= 4;
        if (preset) {
            colour = presets[static_cast<int>(text[0])];
            if (text[0] != 4 && presetFont_.GetSafeHandle())
                ::SelectObject(dc, presetFont_.GetSafeHandle());
            ++text;
            --length;
        }
        ::SetTextColor(dc, colour);
        ::TextOutW(dc, 4, y, text, length);
        if (preset)
            ::SelectObject(dc, font_.GetSafeHandle() ? font_.GetSafeHandle() : ::GetStockObject(DEFAULT_GUI_FONT));
    }
    ::SelectObject(dc, oldFont);
}

LRESULT StartLogPane::OnOptions(WPARAM wParam, LPARAM lParam) {
    const Options* set = reinterpret_cast<const Options*>(lParam);
    if (!set || set != &App().options)
        return 0;
    if (wParam != 1)
        return 0;
    const PFont& logFont = set->fonts.logFont;
    font_.CreatePointFont(logFont.size * 10, logFont.face.c_str());
    background = set->uiColors.logBk.value;
    textColor = set->uiColors.logTxt.value;
    presetFont_.CreatePointFont(logFont.size * 10, L"Consolas");
    presets[1] = RGB(0, 0, 128);
    presets[2] = RGB(12, 132, 222);
    presets[3] = ThemeColor(65);
    presets[4] = set->uiColors.logLine.value;
    Invalidate();
    return 0;
}
