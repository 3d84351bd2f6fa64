#include "tests/e2e/UserInput.h"

namespace e2e {

namespace {

void SendOne(INPUT& input) { ::SendInput(1, &input, sizeof(INPUT)); }

void Mouse(POINT screen, DWORD flags, DWORD data = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = static_cast<LONG>((screen.x * 65536LL + width / 2) / width);
    input.mi.dy = static_cast<LONG>((screen.y * 65536LL + height / 2) / height);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.mouseData = data;
    SendOne(input);
}

void KeyEvent(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN || vk == VK_PRIOR || vk == VK_NEXT ||
        vk == VK_HOME || vk == VK_END || vk == VK_DELETE || vk == VK_INSERT)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    SendOne(input);
}

void Modifiers(int modifiers, bool up) {
    if (modifiers & UserInput::kShift) KeyEvent(VK_SHIFT, up);
    if (modifiers & UserInput::kCtrl) KeyEvent(VK_CONTROL, up);
    if (modifiers & UserInput::kAlt) KeyEvent(VK_MENU, up);
}

}  // namespace

void UserInput::MoveTo(POINT screen) { Mouse(screen, 0); }

void UserInput::Press(POINT screen, bool right) {
    Mouse(screen, 0);
    Mouse(screen, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
}

void UserInput::Release(POINT screen, bool right) {
    Mouse(screen, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

void UserInput::Click(POINT screen, bool right) {
    Press(screen, right);
    Release(screen, right);
}

void UserInput::MiddleClick(POINT screen) {
    Mouse(screen, 0);
    Mouse(screen, MOUSEEVENTF_MIDDLEDOWN);
    Mouse(screen, MOUSEEVENTF_MIDDLEUP);
}

void UserInput::DoubleClick(POINT screen) {
    Click(screen);
    Click(screen);
}

void UserInput::Drag(POINT from, POINT to, int steps, const std::function<void()>& settle) {
    Press(from);
    if (settle) settle();
    for (int i = 1; i <= steps; ++i) {
        POINT p{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
        Mouse(p, 0);
        if (settle) settle();
    }
    Release(to);
}

void UserInput::Wheel(POINT screen, int notches) {
    Mouse(screen, 0);
    Mouse(screen, MOUSEEVENTF_WHEEL, static_cast<DWORD>(notches * WHEEL_DELTA));
}

void UserInput::KeyDown(WORD vk) { KeyEvent(vk, false); }
void UserInput::KeyUp(WORD vk) { KeyEvent(vk, true); }

void UserInput::Key(WORD vk, int modifiers) {
    Modifiers(modifiers, false);
    KeyEvent(vk, false);
    KeyEvent(vk, true);
    Modifiers(modifiers, true);
}

void UserInput::Type(const std::wstring& text) {
    for (wchar_t c : text) {
        const SHORT scan = ::VkKeyScanW(c);
        if (scan == -1)
            continue;
        int modifiers = 0;
        if (scan & 0x100) modifiers |= kShift;
        if (scan & 0x200) modifiers |= kCtrl;
        if (scan & 0x400) modifiers |= kAlt;
        Key(static_cast<WORD>(scan & 0xFF), modifiers);
    }
}

POINT UserInput::ClientPoint(HWND window, int x, int y) {
    POINT p{x, y};
    ::ClientToScreen(window, &p);
    return p;
}

POINT UserInput::Centre(HWND window) {
    RECT r{};
    ::GetClientRect(window, &r);
    return ClientPoint(window, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

}  // namespace e2e
