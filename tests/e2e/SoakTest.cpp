// Random input over every pane and bar of an open file: keys, clicks, double clicks, drags and
// wheel turns, with any dialog answered. Afterwards the program must be alive and responsive, with
// no crash report, no Wine error, and its objects and memory not growing without bound. The seed is
// printed; TRELVO_SOAK_SEED and TRELVO_SOAK_INPUTS repeat or lengthen a run.
#include "tests/e2e/E2eFlow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace e2e {
namespace {

unsigned EnvNumber(const char* name, unsigned fallback) {
    const char* text = std::getenv(name);
    return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

class Soak : public FlowTest {
protected:
    // Answers whatever the program shows besides its main window; false when it showed a crash
    // report.
    bool AnswerDialogs() {
        for (int round = 0; round < 20; ++round) {
            bool any = false;
            for (HWND window : s.Screen().TopWindows()) {
                if (window == s.Main())
                    continue;
                const std::wstring cls = ScreenReader::ClassName(window);
                const std::wstring title = ScreenReader::Text(window);
                if (title.find(L"Ba-bah!") != std::wstring::npos) {
                    crashText = ScreenReader::Text(::GetDlgItem(window, 60695));
                    return false;
                }
                if (cls == L"tooltips_class32" || (!::IsWindowEnabled(window) && cls != L"#32770"))
                    continue;
                any = true;
                s.Note("answer " + std::string(cls.begin(), cls.end()) + " '" + std::string(title.begin(), title.end()) + "'");
                if (cls == L"#32770") {
                    // No (a question), else Cancel: nothing is saved and nothing is run.
                    HWND no = ::GetDlgItem(window, IDNO);
                    HWND cancel = ::GetDlgItem(window, IDCANCEL);
                    HWND button = no ? no : cancel;
                    if (button && ::IsWindowEnabled(button))
                        UserInput::Click(UserInput::Centre(button));
                    else
                        UserInput::Key(VK_ESCAPE);
                } else {
                    UserInput::Key(VK_ESCAPE);
                }
                Sync();
            }
            if (!any)
                return true;
        }
        return true;
    }

    // Two message round trips: the input given before has been taken and handled.
    void Sync() {
        s.Settle();
        s.Settle();
    }

    std::wstring crashText;
};

TEST_F(Soak, RandomInputOverEveryPaneAndBar) {
    const unsigned seed = EnvNumber("TRELVO_SOAK_SEED", 20261209);
    const unsigned inputs = EnvNumber("TRELVO_SOAK_INPUTS", 2500);
    const DWORD budgetMs = Scaled(150000);
    std::printf("soak: seed %u, %u inputs, at most %.0f s\n", seed, inputs, budgetMs / 1000.0);
    std::mt19937 random(seed);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };

    ASSERT_TRUE(OpenSample()) << s.LastNotes();

    const std::vector<int> panes = {kDizaPane, kCommentPane, kDumpPane, kLogPane, kShowas, kDetails, kSideTab,
                                    kSegments, kNames, kBookmarks, kRefers, kStrings, kFind1, kFind2,
                                    kStatusBar, kButtonBar, kLowPane};
    const WORD keys[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_PRIOR, VK_NEXT, VK_HOME, VK_END, VK_TAB,
                         VK_RETURN, VK_ESCAPE, VK_DELETE, VK_BACK, VK_SPACE, 'A', 'E', 'G', 'X', '1', '7', VK_F1};
    Usage first{}, peak{};
    const DWORD start = ::GetTickCount();
    unsigned done = 0;
    for (; done < inputs && ::GetTickCount() - start < budgetMs; ++done) {
        if (done == inputs / 5)
            first = s.App().Sample();
        HWND file = s.FileWindow();
        if (!file) {
            // The file was closed by an input: open it again from the start screen.
            s.Note("reopen");
            UserInput::DoubleClick(UserInput::Centre(ScreenReader::ChildPath(s.Main(), {kStartScreen, 101})));
            if (HWND dialog = WaitOpenDialog(5000))
                s.ClickControl(ScreenReader::Child(dialog, IDOK));
            WaitUntil([&] { return s.FileWindow() != nullptr; }, 10000);
            continue;
        }
        HWND target = s.Pane(panes[pick(static_cast<int>(panes.size()))]);
        if (!ScreenReader::Visible(target))
            target = s.Pane(kDizaPane);
        RECT r{};
        ::GetClientRect(target, &r);
        if (r.right < 4 || r.bottom < 4)
            continue;
        const POINT at = UserInput::ClientPoint(target, 1 + pick(r.right - 2), 1 + pick(r.bottom - 2));
        // The close button ends the file: leave it to a few inputs only.
        if (HWND close = ScreenReader::Child(::GetDlgItem(file, kButtonBar), kFileClose)) {
            const RECT c = ScreenReader::ScreenRect(close);
            if (PtInRect(&c, at) && pick(20) != 0)
                continue;
        }
        const int kind = pick(100);
        char note[96];
        if (kind < 35) {
            const WORD key = keys[pick(sizeof(keys) / sizeof(keys[0]))];
            const int modifiers = pick(4) == 0 ? UserInput::kShift : pick(6) == 0 ? UserInput::kCtrl : 0;
            std::snprintf(note, sizeof note, "#%u key %u mods %d", done, key, modifiers);
            s.Note(note);
            UserInput::Key(key, modifiers);
        } else if (kind < 60) {
            const bool right = pick(8) == 0;
            std::snprintf(note, sizeof note, "#%u %s click %ld,%ld", done, right ? "right" : "left", at.x, at.y);
            s.Note(note);
            UserInput::Click(at, right);
        } else if (kind < 72) {
            std::snprintf(note, sizeof note, "#%u double click %ld,%ld", done, at.x, at.y);
            s.Note(note);
            UserInput::DoubleClick(at);
        } else if (kind < 84) {
            const POINT to{at.x + pick(121) - 60, at.y + pick(121) - 60};
            std::snprintf(note, sizeof note, "#%u drag %ld,%ld -> %ld,%ld", done, at.x, at.y, to.x, to.y);
            s.Note(note);
            UserInput::Drag(at, to, 4, [&] { Sync(); });
        } else {
            const int notches = pick(7) - 3;
            std::snprintf(note, sizeof note, "#%u wheel %d at %ld,%ld", done, notches, at.x, at.y);
            s.Note(note);
            UserInput::Wheel(at, notches ? notches : 1);
        }
        Sync();
        ASSERT_TRUE(AnswerDialogs()) << "crash report after input " << done << " (seed " << seed << "):\n"
                                     << std::string(crashText.begin(), crashText.end());
        if (done % 100 == 0) {
            ASSERT_TRUE(s.App().Alive()) << "the program ended at input " << done << " (seed " << seed << ")\n"
                                         << s.App().WineErrors();
            ASSERT_TRUE(ScreenReader::Responsive(s.Main(), 10000)) << "no answer at input " << done << " (seed " << seed << ")";
            const Usage now = s.App().Sample();
            peak.gdiObjects = std::max(peak.gdiObjects, now.gdiObjects);
            peak.userObjects = std::max(peak.userObjects, now.userObjects);
            peak.privateBytes = std::max(peak.privateBytes, now.privateBytes);
        }
    }
    const double seconds = (::GetTickCount() - start) / 1000.0;
    // Leave the pointer free and the keys up for what comes after.
    UserInput::Release(UserInput::Centre(s.Main()));
    ASSERT_TRUE(AnswerDialogs()) << std::string(crashText.begin(), crashText.end());
    ASSERT_TRUE(s.App().Alive()) << "seed " << seed;
    ASSERT_TRUE(ScreenReader::Responsive(s.Main(), 10000)) << "seed " << seed;
    const Usage last = s.App().Sample();
    std::printf("soak: %u inputs in %.1f s; GDI %lu -> %lu (peak %lu)%s, USER %lu -> %lu, private %lu KB -> %lu KB\n",
                done, seconds, first.gdiObjects, last.gdiObjects, peak.gdiObjects, last.gdiCounted ? "" : " (not counted)",
                first.userObjects, last.userObjects, static_cast<unsigned long>(first.privateBytes / 1024),
                static_cast<unsigned long>(last.privateBytes / 1024));
    s.Shot("soak-end");
    EXPECT_GE(done, inputs / 4) << "too few inputs in the time";
    // Bounded growth: a leak per input would add hundreds over the run.
    if (last.gdiCounted && first.gdiCounted) {
        EXPECT_LT(last.gdiObjects, first.gdiObjects + 300) << "seed " << seed;
    }
    EXPECT_LT(last.userObjects, first.userObjects + 60) << "seed " << seed;
    EXPECT_LT(last.privateBytes, first.privateBytes + 96u * 1024 * 1024) << "seed " << seed;

    // It still ends normally, and Wine logged no error from it.
    UserInput::Key(VK_F4, UserInput::kAlt);
    AnswerDialogs();
    const DWORD code = s.App().WaitExit(15000);
    EXPECT_EQ(code, 0u) << "seed " << seed;
    const std::string errors = s.App().WineErrors();
    EXPECT_EQ(errors, "") << "seed " << seed;
    if (HasFailure())
        std::printf("soak seed %u; last inputs:\n%s", seed, s.LastNotes().c_str());
}

}  // namespace
}  // namespace e2e
