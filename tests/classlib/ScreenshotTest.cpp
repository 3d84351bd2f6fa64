#include "classlib/Caret.h"
#include "classlib/CursorIcon.h"
#include "classlib/DC.h"
#include "classlib/Menu.h"
#include "classlib/Screenshot.h"
#include "tests/classlib/WindowTestSupport.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kSky = RGB(40, 90, 200), kRed = RGB(220, 30, 30), kGreen = RGB(20, 180, 60);
const COLORREF kWhite = RGB(255, 255, 255);

// A plain window whose WM_PAINT draws a known picture with the wrappers.
LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message != WM_PAINT)
        return ::DefWindowProcW(window, message, wparam, lparam);
    CPaintDC dc(window);
    RECT client{};
    ::GetClientRect(window, &client);
    dc.FillSolidRect(client, kSky);
    dc.FillSolidRect(RECT{10, 10, 70, 50}, kRed);
    CPen pen(PS_SOLID, 1, kWhite);
    CBrush brush(kGreen);
    dc.SelectObject(pen);
    dc.SelectObject(brush);
    dc.Ellipse(90, 10, 150, 70);
    CFont font;
    font.CreatePointFont(140, L"Arial");
    dc.SelectObject(font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(kWhite);
    RECT text{10, 80, 230, 120};
    dc.DrawText(L"Trelvo GDI", &text, DT_LEFT | DT_TOP | DT_SINGLELINE);
    return 0;
}

class PictureWindow {
public:
    PictureWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = PictureProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = L"TrelvoPictureWindow";
        ::RegisterClassW(&wc);
        window_ = ::CreateWindowExW(0, wc.lpszClassName, L"Picture", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    60, 60, 260, 180, nullptr, nullptr, wc.hInstance, nullptr);
        ::UpdateWindow(window_);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
    }
    ~PictureWindow() { ::DestroyWindow(window_); }
    HWND Get() const { return window_; }

private:
    HWND window_ = nullptr;
};

}  // namespace

TEST(Screenshot, WindowShowsWhatItsCodeDraws)
{
    PictureWindow window;
    ASSERT_NE(window.Get(), nullptr);
    PixelSurface client;
    ASSERT_TRUE(CaptureWindow(window.Get(), client, true));
    RECT rc{};
    ::GetClientRect(window.Get(), &rc);
    EXPECT_EQ(client.Width(), rc.right);
    EXPECT_EQ(client.CountColour(RECT{10, 10, 70, 50}, kRed), 60 * 40);
    EXPECT_EQ(client.Pixel(5, 5), kSky);
    EXPECT_GT(client.CountColour(RECT{95, 15, 145, 65}, kGreen), 1500);   // most of the disc
    EXPECT_GT(client.CountColour(RECT{10, 80, 230, 120}, kWhite), 50);   // some text, whatever the font
    EXPECT_TRUE(client.SavePng(L"screenshot_client.png"));

    PixelSurface whole;
    ASSERT_TRUE(CaptureWindow(window.Get(), whole));
    RECT frame{};
    ::GetWindowRect(window.Get(), &frame);
    EXPECT_EQ(whole.Width(), frame.right - frame.left);
    EXPECT_EQ(whole.Height(), frame.bottom - frame.top);
    EXPECT_GE(whole.CountColour(RECT{0, 0, whole.Width(), whole.Height()}, kRed), 60 * 40);
    EXPECT_TRUE(SaveScreenshot(window.Get(), L"screenshot_window.png"));
}

TEST(Screenshot, ScreenHoldsTheWindow)
{
    PictureWindow window;
    PixelSurface screen;
    ASSERT_TRUE(CaptureScreen(screen));
    EXPECT_EQ(screen.Width(), ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
    POINT corner{10, 10};
    ::ClientToScreen(window.Get(), &corner);
    EXPECT_EQ(screen.CountColour(RECT{corner.x, corner.y, corner.x + 60, corner.y + 40}, kRed), 60 * 40);
    EXPECT_TRUE(screen.SavePng(L"screenshot_screen.png"));

    // The X display itself, and a drawing that no paint makes is told from a paint.
    PixelSurface shown;
    ASSERT_TRUE(wintest::SettledDisplayPixels(RECT{corner.x, corner.y, corner.x + 60, corner.y + 40}, shown));
    EXPECT_EQ(shown.CountColour(RECT{0, 0, 60, 40}, kRed), 60 * 40);
    EXPECT_EQ(wintest::PixelsAwaitingPaint(window.Get()), 0);
    HDC dc = ::GetDC(window.Get());
    CDC(dc).FillSolidRect(RECT{10, 10, 20, 20}, kGreen);
    ::ReleaseDC(window.Get(), dc);
    EXPECT_EQ(wintest::PixelsAwaitingPaint(window.Get()), 100);
}

TEST(Screenshot, PngAndBmpFilesHaveTheirHeaders)
{
    PixelSurface s(3, 2);
    s.SetPixelColour(0, 0, kRed);
    ASSERT_TRUE(s.SavePng(L"tiny.png"));
    ASSERT_TRUE(s.SaveBmp(L"tiny.bmp"));
    FILE* png = _wfopen(L"tiny.png", L"rb");
    ASSERT_NE(png, nullptr);
    unsigned char head[24] = {};
    fread(head, 1, sizeof(head), png);
    fclose(png);
    EXPECT_EQ(0, memcmp(head, "\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16));
    EXPECT_EQ(head[19], 3);                                  // width
    EXPECT_EQ(head[23], 2);                                  // height
    CBitmap loaded;
    loaded.Attach(::LoadImageW(nullptr, L"tiny.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_FALSE(loaded.IsNull());
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    dc.SelectObject(loaded);
    EXPECT_EQ(dc.GetPixel(0, 0), kRed);                      // the BMP's rows are in the right order
    EXPECT_EQ(dc.GetPixel(0, 1), RGB(0, 0, 0));
}

TEST(CaretAndCursor, CaretFollowsItsWindow)
{
    PictureWindow window;
    Caret caret;
    ASSERT_TRUE(caret.Create(window.Get(), 1, 12));
    EXPECT_TRUE(caret.SetPos(17, 3));
    POINT at{};
    ASSERT_TRUE(::GetCaretPos(&at));
    EXPECT_EQ(at.x, 17);
    EXPECT_EQ(at.y, 3);
    caret.Destroy();
    EXPECT_FALSE(caret.IsCreated());
    EXPECT_FALSE(caret.SetPos(1, 1));
}

TEST(CaretAndCursor, MonochromeCursorFromMasks)
{
    uint8_t andMask[32 * 4], xorMask[32 * 4];
    memset(andMask, 0xFF, sizeof(andMask));
    memset(xorMask, 0, sizeof(xorMask));
    for (int y = 8; y < 24; ++y) {
        andMask[y * 4 + 1] = 0;
        xorMask[y * 4 + 1] = 0xFF;
    }
    OwnedIcon cursor;
    ASSERT_TRUE(cursor.CreateCursor(15, 15, 32, 32, andMask, xorMask));
    SIZE size = cursor.GetSize();
    EXPECT_EQ(size.cx, 32);
    EXPECT_EQ(size.cy, 32);
    OwnedIcon moved(std::move(cursor));
    EXPECT_EQ(cursor.Get(), nullptr);
    EXPECT_NE(moved.Get(), nullptr);
}

namespace {

RECT g_clip{0, 0, 1280, 1024};
int g_clipCount = 0;
BOOL WINAPI FakeClip(const RECT* area) { g_clip = *area; ++g_clipCount; return TRUE; }
BOOL WINAPI FakeGetClip(RECT* area) { *area = g_clip; return TRUE; }

}  // namespace

TEST(CaretAndCursor, ClipComesBackAtScopeEnd)
{
    CursorClip::Calls real = CursorClip::Replace({FakeClip, FakeGetClip});
    g_clip = RECT{0, 0, 1280, 1024};
    g_clipCount = 0;
    {
        CursorClip clip(RECT{100, 100, 300, 200});
        EXPECT_TRUE(clip.IsActive());
        EXPECT_EQ(g_clip.left, 100);
        EXPECT_TRUE(clip.Confine(RECT{110, 100, 300, 200}));    // moved: the first previous is kept
        EXPECT_EQ(g_clip.left, 110);
    }
    EXPECT_EQ(g_clip.left, 0);
    EXPECT_EQ(g_clip.right, 1280);
    EXPECT_EQ(g_clipCount, 3);
    {
        CursorClip clip;
        clip.Release();                                          // never confined: nothing to undo
    }
    EXPECT_EQ(g_clipCount, 3);
    CursorClip::Replace(real);
}

TEST(Menus, BuildEnableCheckAndRead)
{
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendMenu(MF_STRING, 301, L"&Open..."));
    ASSERT_TRUE(menu.AppendMenu(MF_STRING, 302, L"&Close"));
    EXPECT_EQ(menu.GetMenuItemCount(), 2);
    EXPECT_EQ(menu.GetMenuItemID(1), 302u);
    EXPECT_EQ(menu.GetMenuString(301, MF_BYCOMMAND), L"&Open...");
    EXPECT_EQ(menu.EnableMenuItem(301, MF_BYCOMMAND | MF_GRAYED), static_cast<UINT>(MF_ENABLED));
    EXPECT_TRUE(menu.GetMenuState(301, MF_BYCOMMAND) & MF_GRAYED);
    menu.CheckMenuItem(302, MF_BYCOMMAND | MF_CHECKED);
    EXPECT_TRUE(menu.GetMenuState(302, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(menu.EnableMenuItem(999, MF_BYCOMMAND | MF_GRAYED), static_cast<UINT>(-1));
    HMENU handle = menu;
    menu.DestroyMenu();
    EXPECT_FALSE(::IsMenu(handle));
}

TEST(Menus, WindowOwnsAMenuGivenToIt)
{
    PictureWindow window;
    HMENU handle = nullptr;
    {
        CMenu bar;
        ASSERT_TRUE(bar.CreateMenu());
        bar.AppendMenu(MF_STRING, 310, L"&Options");
        handle = bar;
        ASSERT_TRUE(bar.SetToWindow(window.Get()));
        EXPECT_EQ(bar.EnableMenuItem(310, MF_BYCOMMAND | MF_GRAYED), static_cast<UINT>(MF_ENABLED));
    }
    EXPECT_TRUE(::IsMenu(handle));                           // still the window's
    EXPECT_EQ(::GetMenu(window.Get()), handle);
}
