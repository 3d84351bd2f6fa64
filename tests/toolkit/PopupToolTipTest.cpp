#include "toolkit/BPopup.h"
#include "toolkit/ToolTip.h"

#include "classlib/DC.h"
#include "classlib/Screenshot.h"
#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

struct TopWindow : CWnd {
    bool Make(int x = 100, int y = 100, int w = 600, int h = 400) {
        return CreateEx(0, nullptr, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{x, y, x + w, y + h}, nullptr, 0);
    }
    ~TopWindow() override { DestroyWindow(); }
};

// A child that answers the tool hit test with its id and a text.
struct TipChild : CWnd {
    TipChild(CWnd& parent, int id, RECT r, const wchar_t* tipText, bool visible = true) : tip(tipText) {
        CreateEx(0, nullptr, L"", WS_CHILD | (visible ? WS_VISIBLE : 0), r, parent.m_hWnd, id);
    }
    ~TipChild() override { DestroyWindow(); }
    INT_PTR OnToolHitTest(POINT p, TOOLINFOW* info) const override {
        lastPoint = p;
        if (!tip)
            return -1;
        info->lpszText = WcsDupN(256, tip);
        return GetDlgCtrlID();
    }
    const wchar_t* tip;
    mutable POINT lastPoint{-1, -1};
};

// A pop-up shown with a text over a fresh owner.
template <class Popup = BPopup>
struct ShownPopup {
    explicit ShownPopup(const wchar_t* text) {
        made = owner.Make() && popup.Create(&owner);
        popup.SetText(text);
    }
    ~ShownPopup() { popup.DestroyWindow(); }
    TopWindow owner;
    Popup popup;
    bool made = false;
};

SIZE TextExtent(BPopup& popup, const wchar_t* text)
{
    CClientDC dc(popup.m_hWnd);
    dc.SelectObject(popup.font);
    RECT r{0, 0, 0, 0};
    dc.DrawText(text, static_cast<int>(wcslen(text)), &r, popup.textFormat | DT_CALCRECT);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

TEST(BPopup, WidthFollowsTheTextAboveTheMinimum) {
    TopWindow owner;
    ASSERT_TRUE(owner.Make());
    BPopup popup;
    ASSERT_TRUE(popup.Create(&owner));
    EXPECT_TRUE(popup.GetExStyle() & WS_EX_LAYERED);
    EXPECT_FALSE(popup.IsWindowVisible());

    popup.SetText(L"Hi");
    Pump();
    EXPECT_TRUE(popup.IsWindowVisible());
    RECT r = popup.GetWindowRect();
    SIZE extent = TextExtent(popup, L"Hi");
    EXPECT_EQ(r.right - r.left, 360);
    EXPECT_EQ(r.bottom - r.top, extent.cy + 28);
    // Centred on the owner.
    RECT o = owner.GetWindowRect();
    EXPECT_LE(std::abs((r.left + r.right) - (o.left + o.right)), 1);
    EXPECT_LE(std::abs((r.top + r.bottom) - (o.top + o.bottom)), 1);

    // While shown, a longer text resizes the pop-up in place.
    std::wstring longText(120, L'W');
    popup.SetText(longText.c_str());
    RECT grown = popup.GetWindowRect();
    EXPECT_EQ(grown.right - grown.left, TextExtent(popup, longText.c_str()).cx + 12);
    EXPECT_GT(grown.right - grown.left, 360);
    EXPECT_EQ(grown.left, r.left);
    EXPECT_EQ(grown.top, r.top);

    popup.SetText(nullptr);
    EXPECT_TRUE(popup.text.empty());
    popup.DestroyWindow();
}

TEST(BPopup, PaintsFrameAndGround) {
    ShownPopup<> shown(L"Parsing...");
    ASSERT_TRUE(shown.made);
    BPopup& popup = shown.popup;
    popup.textColor = RGB(0, 0, 255);
    popup.Invalidate();
    popup.UpdateWindow();
    Pump();
    PixelSurface shot;
    ASSERT_TRUE(CaptureWindow(popup.m_hWnd, shot, true));
    int w = shot.Width(), h = shot.Height();
    EXPECT_EQ(shot.Pixel(0, 0), RGB(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(shot.Pixel(2, h / 2), RGB(0, 0, 0));          // the frame, 2 pixels in
    EXPECT_EQ(shot.Pixel(w - 3, h / 2), RGB(0, 0, 0));
    EXPECT_EQ(shot.Pixel(w / 2, 2), RGB(0, 0, 0));
    EXPECT_GT(shot.CountColour(RECT{4, 4, w - 4, h - 4}, RGB(0, 0, 255)), 0);   // the text

    // A new text of the same size while shown reaches the display.
    ASSERT_EQ(wintest::PixelsAwaitingPaint(popup.m_hWnd), 0);
    popup.SetText(L"Scanning..");
    EXPECT_EQ(wintest::PixelsAwaitingPaint(popup.m_hWnd), 0);
}

TEST(BPopup, DragMovesTheWindowAndGivesTheFocusBack) {
    ShownPopup<> shown(L"drag me");
    ASSERT_TRUE(shown.made);
    BPopup& popup = shown.popup;
    popup.focusAfter = &shown.owner;
    RECT before = popup.GetWindowRect();
    popup.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_TRUE(popup.HasCapture());
    popup.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 5));
    RECT after = popup.GetWindowRect();
    EXPECT_EQ(after.left - before.left, 20);
    EXPECT_EQ(after.top - before.top, -5);
    popup.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));   // button up: no move
    EXPECT_EQ(popup.GetWindowRect().left, after.left);
    popup.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(30, 5));
    EXPECT_FALSE(popup.HasCapture());
    EXPECT_EQ(::GetFocus(), shown.owner.m_hWnd);
}

struct ClaimingPopup : BPopup {
    bool HitTest(int x, int) override { return x < 20; }
};

TEST(BPopup, APointTheDerivedPopupClaimsStartsNoDrag) {
    ShownPopup<ClaimingPopup> shown(L"x");
    ASSERT_TRUE(shown.made);
    ClaimingPopup& popup = shown.popup;
    popup.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_FALSE(popup.HasCapture());
    popup.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 10));
    EXPECT_TRUE(popup.HasCapture());
    popup.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(40, 10));
}

TEST(ToolTip, TheDeepestVisibleChildAnswers) {
    TopWindow main;
    ASSERT_TRUE(main.Make());
    ToolTip tip;
    ASSERT_TRUE(tip.Create(&main));
    EXPECT_EQ(GetThreadToolTip(), tip.Control());
    EXPECT_TRUE(main.ToolTipsEnabled());

    TipChild below(main, 11, RECT{10, 10, 210, 110}, L"below");
    TipChild hidden(main, 12, RECT{10, 10, 110, 60}, L"hidden", false);
    TipChild inner(below, 13, RECT{100, 50, 150, 90}, L"inner");
    TipChild silent(main, 14, RECT{300, 10, 400, 110}, nullptr);
    ::SetWindowPos(hidden.m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    struct Row { const char* name; int x, y; INT_PTR id; HWND hwnd; POINT childPoint; };
    const Row rows[] = {
        {"over the hidden child: the visible one beneath", 20, 20, 11, below.m_hWnd, {10, 10}},
        {"a child of a child", 120, 70, 13, inner.m_hWnd, {10, 10}},
        {"the main window's own client area", 250, 200, -1, nullptr, {0, 0}},
        {"a child without a tip", 350, 50, -1, nullptr, {0, 0}},
    };
    for (const Row& r : rows) {
        TOOLINFOW info{};
        info.cbSize = sizeof(info);
        INT_PTR id = tip.HitTest(r.x, r.y, &info);
        EXPECT_EQ(id, r.id) << r.name;
        if (r.id != -1) {
            EXPECT_EQ(info.hwnd, r.hwnd) << r.name;
            RECT client{};
            ::GetClientRect(r.hwnd, &client);
            EXPECT_TRUE(EqualRect(&info.rect, &client)) << r.name;
            const TipChild& child = r.hwnd == inner.m_hWnd ? inner : below;
            EXPECT_EQ(child.lastPoint.x, r.childPoint.x) << r.name;
            EXPECT_EQ(child.lastPoint.y, r.childPoint.y) << r.name;
        }
        if (info.lpszText && info.lpszText != LPSTR_TEXTCALLBACKW)
            std::free(info.lpszText);
    }
    EXPECT_EQ(hidden.lastPoint.x, -1);   // never asked
}

TEST(ToolTip, EachWindowGetsItsFontOrTheDefaultOne) {
    TopWindow main;
    ASSERT_TRUE(main.Make());
    ToolTip tip;
    ASSERT_TRUE(tip.Create(&main));
    TipChild a(main, 21, RECT{0, 0, 100, 100}, L"a");
    TipChild b(main, 22, RECT{100, 0, 200, 100}, L"b");
    HWND control = tip.Control()->m_hWnd;
    auto fontAt = [&](int x) {
        TOOLINFOW info{};
        info.cbSize = sizeof(info);
        tip.HitTest(x, 50, &info);
        std::free(info.lpszText);
        return reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    };
    // The control keeps a font of its own made from the one it was given: compare what they are.
    auto same = [](HFONT x, HFONT y) {
        LOGFONTW a{}, b{};
        ::GetObjectW(x, sizeof(a), &a);
        ::GetObjectW(y, sizeof(b), &b);
        return a.lfHeight == b.lfHeight && std::wstring(a.lfFaceName) == b.lfFaceName;
    };
    tip.SelectFont(nullptr);
    EXPECT_EQ(tip.fonts.currentFont, -1);
    tip.fonts.Set(a.m_hWnd, 12, L"Arial");
    tip.fonts.Set(nullptr, 8, L"Tahoma");
    HFONT fontA = tip.fonts.Font(tip.fonts.Find(a.m_hWnd));
    HFONT fallback = tip.fonts.Font(tip.fonts.Find(nullptr));
    EXPECT_NE(fontA, fallback);
    EXPECT_TRUE(same(fontAt(50), fontA));
    EXPECT_EQ(tip.fonts.Find(b.m_hWnd), tip.fonts.Find(nullptr));
    EXPECT_TRUE(same(fontAt(150), fallback));
    // Replacing the font in use: the control lets go of the old one before it is deleted.
    tip.fonts.Set(nullptr, 9, L"Tahoma");
    EXPECT_EQ(tip.fonts.currentFont, -1);
    EXPECT_TRUE(same(fontAt(150), tip.fonts.Font(tip.fonts.Find(nullptr))));
    EXPECT_FALSE(same(fontAt(150), fontA));
    tip.fonts.Remove(a.m_hWnd);
    EXPECT_EQ(tip.fonts.fonts.size(), 1u);
}

TEST(ToolTip, ClearPutsThePreviousToolTipBack) {
    TopWindow main;
    ASSERT_TRUE(main.Make());
    CWnd* before = GetThreadToolTip();
    {
        ToolTip tip;
        ASSERT_TRUE(tip.Create(&main));
        EXPECT_NE(GetThreadToolTip(), before);
        tip.fonts.Set(nullptr, 9, L"Tahoma");
        tip.Clear();
        EXPECT_EQ(GetThreadToolTip(), before);
        EXPECT_TRUE(tip.fonts.fonts.empty());
        ASSERT_TRUE(tip.Create(&main));
    }
    EXPECT_EQ(GetThreadToolTip(), before);   // the destructor clears too
}

TEST(ToolTipText, DupAndFormat) {
    struct Row { int n; const wchar_t* in; const wchar_t* expect; };
    const Row rows[] = {
        {10, L"short", L"short"},
        {4, L"longer", L"lon"},      // at most n - 1 characters
        {1, L"x", L""},
        {5, nullptr, L""},
    };
    for (const Row& r : rows) {
        wchar_t* copy = WcsDupN(r.n, r.in);
        ASSERT_NE(copy, nullptr);
        EXPECT_STREQ(copy, r.expect);
        std::free(copy);
    }
    EXPECT_EQ(WcsDupN(0, L"x"), nullptr);
    wchar_t* text = TextFormat(L"%s has %d", L"row", 7);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, L"row has 7");
    std::free(text);
}

}  // namespace
