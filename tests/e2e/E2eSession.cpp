#include "tests/e2e/E2eSession.h"

#include <algorithm>
#include <cstdio>
#include <random>

namespace e2e {

namespace {

constexpr unsigned kRandomSeed = 20261208;
constexpr size_t kRandomSize = 48 * 1024;

std::string RandomBytes() {
    std::mt19937 engine(kRandomSeed);
    std::string bytes(kRandomSize, '\0');
    for (char& b : bytes)
        b = static_cast<char>(engine() & 0xFF);
    return bytes;
}

}  // namespace

Session::Session() {
    ::CopyFileW(WindowsPath(E2E_PROGRAM).c_str(), ProgramPath().c_str(), FALSE);
    sample_ = ReadWholeFile(WindowsPath(E2E_SAMPLE));
    WriteWholeFile(SamplePath(), sample_);
    WriteWholeFile(RandomPath(), RandomBytes());
    ::CreateDirectoryW(ShotFolder().c_str(), nullptr);
}

Session::~Session() { Stop(); }

std::wstring Session::ShotFolder() { return WindowsPath(E2E_SHOTS); }

bool Session::Start(const std::wstring& arguments) {
    Stop();
    app_ = std::make_unique<AppProcess>();
    Note("start: Trelvo.exe " + std::string(arguments.begin(), arguments.end()));
    if (!app_->Start(ProgramPath(), arguments, temp_ / L"wine.log"))
        return false;
    screen_.SetProcess(app_->Id());
    return true;
}

bool Session::Launch(const std::wstring& arguments) {
    if (!Start(arguments))
        return false;
    main_ = screen_.WaitTop(L"Trelvo 2503", nullptr, 20000);
    return main_ != nullptr;
}

void Session::Stop() {
    if (app_) {
        app_->Kill();
        app_.reset();
    }
    main_ = nullptr;
}

HWND Session::FileWindow() const {
    HWND tabber = ScreenReader::Child(main_, kTabber);
    if (!tabber || !::IsWindowVisible(tabber))
        return nullptr;
    // The file window is the visible child of the tabber that holds a main pane.
    for (HWND child = ::GetWindow(tabber, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::IsWindowVisible(child) && ScreenReader::Child(child, kMainPane))
            return child;
    }
    return nullptr;
}

HWND Session::Pane(int id) const {
    // The file window's own children first: a few of them share their id with a tool button.
    HWND file = FileWindow();
    if (HWND own = file ? ::GetDlgItem(file, id) : nullptr)
        return own;
    return ScreenReader::Child(file, id);
}

HWND Session::WaitDialog(const wchar_t* titlePart, DWORD timeoutMs) const {
    return screen_.WaitTop(titlePart, L"#32770", timeoutMs);
}

void Session::ClickControl(HWND control) {
    wchar_t name[64];
    std::swprintf(name, 64, L"click control %d", ::GetDlgCtrlID(control));
    Note(std::string(name, name + wcslen(name)));
    UserInput::Click(UserInput::Centre(control));
}

void Session::ClickButton(int command) {
    HWND bar = ::GetDlgItem(FileWindow(), kButtonBar);
    HWND button = ScreenReader::Child(bar, command);
    if (!button)
        button = ScreenReader::Child(FileWindow(), command);
    Note("click button " + std::to_string(command));
    if (button)
        UserInput::Click(UserInput::Centre(button));
}

void Session::TypeInto(HWND control, const std::wstring& text) {
    Note("type " + std::string(text.begin(), text.end()));
    RECT r{};
    ::GetClientRect(control, &r);
    // The left part of a combo box is its edit field.
    UserInput::Click(UserInput::ClientPoint(control, std::min<LONG>(20, r.right / 2), r.bottom / 2));
    UserInput::Key(VK_HOME);
    UserInput::Key(VK_END, UserInput::kShift);
    UserInput::Key(VK_DELETE);
    UserInput::Type(text);
}

HWND Session::Capture() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!main_ || !::GetGUIThreadInfo(::GetWindowThreadProcessId(main_, nullptr), &info))
        return nullptr;
    return info.hwndCapture;
}

void Session::Settle() const {
    if (main_)
        ScreenReader::Responsive(main_, 5000);
}

void Session::Drag(POINT from, POINT to, int steps) {
    Note("drag " + std::to_string(from.x) + "," + std::to_string(from.y) + " -> " + std::to_string(to.x) + "," +
         std::to_string(to.y));
    bool pressed = false;
    UserInput::Drag(from, to, steps, [&] {
        if (!pressed)
            pressed = WaitUntil([&] { return Capture() != nullptr; }, 3000);
        Settle();
    });
    WaitUntil([&] { return Capture() == nullptr; }, 3000);
}

void Session::Note(const std::string& text) {
    notes_.push_back(text);
    if (notes_.size() > 40)
        notes_.pop_front();
}

std::string Session::LastNotes() const {
    std::string text;
    for (const std::string& note : notes_)
        text += "  " + note + "\n";
    return text;
}

std::wstring Session::Shot(const std::string& name) {
    wchar_t file[160];
    std::swprintf(file, 160, L"\\%02d-%hs.png", ++shots_, name.c_str());
    const std::wstring path = ShotFolder() + file;
    ScreenReader::Shot(main_, path);
    return path;
}

}  // namespace e2e
