#include "tests/ModalWatch.h"

#include "classlib/CWnd.h"
#include "classlib/Dialog.h"
#include "tests/Emulation.h"
#include "toolkit/InPlaceEdit.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cxxabi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <mutex>
#include <string>
#include <typeinfo>
#include <vector>

namespace modalwatch {

namespace {

// Posted by the watchdog to the helper window of the test thread: something overstayed its bound.
constexpr UINT kOverdue = WM_APP + 0x3A1;

struct Entry {
    int id;
    HWND window;         // null for a LoopBound
    std::wstring what;   // a LoopBound's text; windows are described when they overstay
    DWORD since;
    bool reported;
    DWORD endAskedAt;    // when its loop was first told to end, 0 not yet
};

struct Watch {
    std::mutex lock;
    std::vector<Entry> entries;
    int nextId = 1;
    HWND helper = nullptr;
    HHOOK hook = nullptr;
    HANDLE stop = nullptr;
    HANDLE dog = nullptr;
    bool endedLoops = false;           // this test's loops were ended: the WM_QUIT goes at its end
    std::atomic<DWORD> askedAt{ 0 };   // when the helper was asked and has not answered yet, 0 none
    std::string test;                  // the running test's name, under the lock
};

Watch& TheWatch() {
    static Watch* watch = new Watch;   // the watchdog may still look at it while statics go
    return *watch;
}

std::wstring WindowTextOf(HWND window) {
    wchar_t text[200] = {};
    ::GetWindowTextW(window, text, 200);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t kind[64] = {};
    ::GetClassNameW(window, kind, 64);
    return kind;
}

std::wstring TypeOf(const CWnd& window) {
    int status = 0;
    char* name = abi::__cxa_demangle(typeid(window).name(), nullptr, nullptr, &status);
    const std::string text = status == 0 && name ? name : typeid(window).name();
    std::free(name);
    return std::wstring(text.begin(), text.end());
}

BOOL CALLBACK CollectStatics(HWND child, LPARAM texts) {
    if (::_wcsicmp(ClassOf(child).c_str(), L"Static") == 0 && !WindowTextOf(child).empty())
        *reinterpret_cast<std::wstring*>(texts) += L" \"" + WindowTextOf(child) + L"\"";
    return TRUE;
}

// What the test waited for, said from the window it left open (on the test thread).
std::wstring Describe(HWND window) {
    const std::wstring kind = ClassOf(window);
    const std::wstring caption = L"\"" + WindowTextOf(window) + L"\"";
    if (kind == L"#32768")
        return L"the pop-up menu to close";
    if (kind != L"#32770") {
        wchar_t id[16];
        std::swprintf(id, 16, L"%X", static_cast<unsigned>(::GetDlgCtrlID(window)));
        return L"the in-place editor " + kind + L" (control " + id + L") to take Enter or Esc";
    }
    if (const CWnd* ours = CWnd::FromHandle(window))
        return L"the dialog " + TypeOf(*ours) + L" " + caption + L" to close";
    std::wstring texts;
    ::EnumChildWindows(window, CollectStatics, reinterpret_cast<LPARAM>(&texts));
    return L"the system dialog " + caption + (texts.empty() ? L"" : L" saying" + texts) + L" to close";
}

// A window whose life is a modal loop of the thread that makes it.
bool RunsALoop(HWND window, const CREATESTRUCTW& create) {
    const std::wstring kind = ClassOf(window);
    if (kind == L"#32770" || kind == L"#32768")
        return true;
    const int id = static_cast<int>(reinterpret_cast<INT_PTR>(create.hMenu));
    return (create.style & WS_CHILD) && (id == kPopupEditId || id == kPopupComboId);
}

int Add(HWND window, const std::wstring& what) {
    Watch& w = TheWatch();
    std::lock_guard<std::mutex> hold(w.lock);
    w.entries.push_back(Entry{ w.nextId, window, what, ::GetTickCount(), false, 0 });
    return w.nextId++;
}

template <class Match>
void RemoveWhere(Match match) {
    Watch& w = TheWatch();
    std::lock_guard<std::mutex> hold(w.lock);
    for (size_t i = 0; i < w.entries.size();)
        if (match(w.entries[i]))
            w.entries.erase(w.entries.begin() + static_cast<std::ptrdiff_t>(i));
        else
            ++i;
}

LRESULT CALLBACK NoteWindows(int code, WPARAM wParam, LPARAM lParam) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && RunsALoop(window, *reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs))
        Add(window, std::wstring());
    else if (code == HCBT_DESTROYWND)
        RemoveWhere([window](const Entry& e) { return e.window == window; });
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// On the test thread, inside whatever loop runs: fails the test for each loop past its bound and ends
// the loops (again on each call while they stay).
void EndOverdueLoops() {
    Watch& w = TheWatch();
    const DWORD now = ::GetTickCount();
    std::vector<Entry> late;
    bool overdue = false;
    {
        std::lock_guard<std::mutex> hold(w.lock);
        for (Entry& e : w.entries) {
            if (now - e.since <= BoundMs())
                continue;
            overdue = true;
            if (!e.reported)
                late.push_back(e);
            e.reported = true;
        }
    }
    for (Entry& e : late) {
        if (e.window)
            e.what = Describe(e.window);
        ADD_FAILURE() << "gave up after " << BoundMs() / 1000 << " s waiting for " << e.what
                      << " (queued dialog actions not taken: " << PendingModalActions() << "); its loop was ended";
    }
    if (!overdue)
        return;
    w.endedLoops = true;
    ::EndMenu();
    ::PostQuitMessage(0);
    std::lock_guard<std::mutex> hold(w.lock);
    for (Entry& e : w.entries) {
        for (const Entry& described : late)
            if (described.id == e.id)
                e.what = described.what;   // for the watchdog, should the loop not end
        if (e.reported && e.endAskedAt == 0)
            e.endAskedAt = now | 1;
    }
}

LRESULT CALLBACK HelperProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kOverdue)
        return ::DefWindowProcW(window, message, wParam, lParam);
    TheWatch().askedAt = 0;
    EndOverdueLoops();
    return 0;
}

// From the watchdog: what the test thread's failures said so far goes out first.
void EndTheProgram(const std::wstring& why) {
    Watch& w = TheWatch();
    std::string test;
    {
        std::lock_guard<std::mutex> hold(w.lock);
        test = w.test;
    }
    std::fflush(stdout);
    std::fprintf(stderr, "[  FAILED  ] %s: %ls: the program ends\n", test.c_str(), why.c_str());
    std::fflush(stderr);
    ::TerminateProcess(::GetCurrentProcess(), 3);
}

// A loop told to end leaves in milliseconds, unless its queue never empties: that holds back the WM_QUIT.
unsigned EndingMs() { return BoundMs() / 4; }

// Asks the test thread at most twice a second while a loop overstays; a thread that does not answer
// within the bound takes no messages at all, and the program ends with a failure. So it does when a
// loop told to end still runs after EndingMs().
DWORD WINAPI Watchdog(void*) {
    Watch& w = TheWatch();
    DWORD lastAsk = 0;
    while (::WaitForSingleObject(w.stop, 200) == WAIT_TIMEOUT) {
        const DWORD now = ::GetTickCount();
        std::wstring overdue;
        std::wstring unended;
        {
            std::lock_guard<std::mutex> hold(w.lock);
            for (const Entry& e : w.entries) {
                if (now - e.since > BoundMs()) {
                    wchar_t text[200] = {};
                    if (e.window)
                        ::InternalGetWindowText(e.window, text, 200);
                    overdue = e.window ? L"the window \"" + std::wstring(text) + L"\"" : e.what;
                }
                if (e.endAskedAt != 0 && now - e.endAskedAt > EndingMs())
                    unended = e.what;
            }
        }
        if (!unended.empty())
            EndTheProgram(L"the loop waiting for " + unended + L" still runs " +
                          std::to_wstring((EndingMs() + 999) / 1000) +
                          L" s after it was told to end (its queue never empties)");
        if (overdue.empty()) {
            w.askedAt = 0;   // a question left in the queue of a loop that ended is no longer open
            continue;
        }
        const DWORD asked = w.askedAt;
        if (asked != 0 && now - asked > BoundMs())
            EndTheProgram(L"the test thread takes no messages while waiting for " + overdue + L" past " +
                          std::to_wstring(BoundMs() / 1000) + L" s");
        if (asked == 0 && now - lastAsk >= 500) {
            lastAsk = now;
            w.askedAt = now | 1;
            ::PostMessageW(w.helper, kOverdue, 0, 0);
        }
    }
    return 0;
}

class Listener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo& test) override {
        Watch& w = TheWatch();
        std::lock_guard<std::mutex> hold(w.lock);
        w.test = std::string(test.test_suite_name()) + "." + test.name();
    }
    void OnTestProgramStart(const ::testing::UnitTest&) override {
        Watch& w = TheWatch();
        WNDCLASSW kind{};
        kind.lpfnWndProc = HelperProcedure;
        kind.hInstance = ::GetModuleHandleW(nullptr);
        kind.lpszClassName = L"TrelvoModalWatch";
        ::RegisterClassW(&kind);
        w.helper = ::CreateWindowExW(0, kind.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     kind.hInstance, nullptr);
        w.hook = ::SetWindowsHookExW(WH_CBT, NoteWindows, nullptr, ::GetCurrentThreadId());
        w.stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        w.dog = ::CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
    }
    // A loop ended by the watch left its WM_QUIT for the loops outside: the next test must not see it.
    void OnTestEnd(const ::testing::TestInfo&) override {
        Watch& w = TheWatch();
        if (w.endedLoops) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
            }
            w.endedLoops = false;
        }
        RemoveWhere([](const Entry& e) { return e.window && !::IsWindow(e.window); });
    }
    void OnTestProgramEnd(const ::testing::UnitTest&) override {
        Watch& w = TheWatch();
        ::SetEvent(w.stop);
        ::WaitForSingleObject(w.dog, 2000);
        ::UnhookWindowsHookEx(w.hook);
        ::DestroyWindow(w.helper);
    }
};

struct Listening {
    Listening() { ::testing::UnitTest::GetInstance()->listeners().Append(new Listener); }
} gListening;

}  // namespace

unsigned BoundMs() {
    static const unsigned bound = [] {
        wchar_t text[16] = {};
        if (::GetEnvironmentVariableW(L"TRELVO_MODAL_BOUND_MS", text, 16) > 0)
            return static_cast<unsigned>(std::wcstoul(text, nullptr, 10));
        return RunsEmulated() ? 100000u : 20000u;
    }();
    return bound;
}

LoopBound::LoopBound(const std::wstring& what) : id_(Add(nullptr, what)) {}

LoopBound::~LoopBound() {
    const int id = id_;
    RemoveWhere([id](const Entry& e) { return e.id == id; });
}

}  // namespace modalwatch
