// The whole program as a user meets it: the built Trelvo.exe started and driven through real input by
// the end-to-end driver, a file opened at base 401000 as 32-bit code with refers and ASCII strings
// asked for, then a line find, a hex find and a few keys. The times come from the program's own
// timing trace (TRELVO_TIMING): its log lines, lamps, parse pop-up, and the disassembly pane's key
// arrivals and ends of paint. Beside each job stands the same job's figure from the benches of the
// jobs alone, read from their output (see program_bench.md).
//   program_bench.exe <benches' output> <label>=<file>...
#include "tests/e2e/E2eFlow.h"

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace e2e;

long long NowMicros() {
    LARGE_INTEGER now{}, frequency{};
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return now.QuadPart / frequency.QuadPart * 1000000 + now.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart;
}

struct Event {
    long long at;
    std::string text;
};

// The program's timing trace as written so far.
class Trace {
public:
    explicit Trace(std::wstring path) : path_(std::move(path)) {}
    const std::wstring& Path() const { return path_; }
    std::vector<Event> Read() const {
        std::vector<Event> events;
        std::istringstream lines(ReadWholeFile(path_));
        std::string line;
        while (std::getline(lines, line)) {
            const size_t space = line.find(' ');
            if (space != std::string::npos && line.back() != '\r')
                events.push_back({std::atoll(line.c_str()), line.substr(space + 1)});
        }
        return events;
    }
    // The first event at or after `from` whose text starts with the prefix; its time, or -1.
    long long Find(const std::string& prefix, long long from = 0) const {
        for (const Event& e : Read())
            if (e.at >= from && e.text.compare(0, prefix.size(), prefix) == 0)
                return e.at;
        return -1;
    }
    long long Wait(const std::string& prefix, long long from, DWORD timeoutMs) const {
        long long at = -1;
        WaitUntil([&] { return (at = Find(prefix, from)) >= 0; }, timeoutMs);
        return at;
    }

private:
    std::wstring path_;
};

// The first line of the benches' output holding every key.
std::string CompanionLine(const std::string& output, std::initializer_list<std::string> keys) {
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        bool all = true;
        for (const std::string& key : keys)
            all = all && line.find(key) != std::string::npos;
        if (all)
            return line;
    }
    return std::string();
}

// The number just before the unit (after `from`) in a line, or 0.
double NumberBefore(const std::string& line, const char* unit, size_t from = 0) {
    size_t at = line.find(unit, from);
    if (at == std::string::npos)
        return 0;
    while (at > 0 && line[at - 1] == ' ')
        --at;
    size_t begin = at;
    while (begin > 0 && (std::isdigit(static_cast<unsigned char>(line[begin - 1])) || line[begin - 1] == '.'))
        --begin;
    return std::atof(line.substr(begin, at - begin).c_str());
}

// The job time of a log line: "in 2.844s", "in 1m 36s", "in 1h 02m 03s".
double SecondsIn(const std::string& text) {
    const size_t in = text.rfind(" in ");
    if (in == std::string::npos)
        return 0;
    double seconds = 0;
    const char* p = text.c_str() + in + 4;
    while (*p) {
        char* end = nullptr;
        const double value = std::strtod(p, &end);
        if (end == p)
            break;
        seconds += value * (*end == 'h' ? 3600 : *end == 'm' ? 60 : 1);
        p = *end ? end + 1 : end;
        while (*p == ' ')
            ++p;
    }
    return seconds;
}

void Row(const char* what, double ms, double companionMs) {
    std::printf("  %-36s %9.1f ms", what, ms);
    if (companionMs > 0)
        std::printf("   bench %9.1f ms   ratio %5.2fx", companionMs, ms / companionMs);
    std::printf("\n");
}

// Each job of the open may take this long on a large file under an emulated CPU.
constexpr DWORD kJobWaitMs = 600000;

double Mb(SIZE_T bytes) { return bytes / 1048576.0; }


// A sampling profiler from outside, for where perf cannot see the program (an emulated CPU): every
// few milliseconds each thread of the process is stopped and its instruction pointer written as
// "<phase> <thread> <eip> <caller>" to the file named by TRELVO_BENCH_PROFILE, with the modules'
// ranges; the caller is the first word on the stack that points into the program's code (a guess at
// who called into a system DLL). bench/app/profile_report.py turns that into symbols.
class Sampler {
public:
    Sampler() {
        const char* path = std::getenv("TRELVO_BENCH_PROFILE");
        if (path && *path)
            out_ = std::fopen(path, "a");
    }
    ~Sampler() { Stop(); if (out_) std::fclose(out_); }

    void Start(DWORD process, const char* phase) {
        Stop();
        if (!out_)
            return;
        phase_ = phase;
        if (!modulesWritten_)
            Modules(process);
        running_ = true;
        thread_ = std::thread([this, process] { Loop(process); });
    }
    void Stop() {
        running_ = false;
        if (thread_.joinable())
            thread_.join();
    }
private:
    void Modules(DWORD id) {
        HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
        HMODULE modules[256];
        DWORD needed = 0;
        modulesWritten_ = true;
        if (!process || !::EnumProcessModules(process, modules, sizeof modules, &needed)) {
            // Wine may not list them: the program's own image stands where its header says.
            const std::string image = ReadWholeFile(WindowsPath(E2E_PROGRAM));
            if (image.size() > 0x200) {
                const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
                const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(image.data() + dos->e_lfanew);
                codeStart_ = nt->OptionalHeader.ImageBase;
                codeEnd_ = codeStart_ + nt->OptionalHeader.SizeOfImage;
                std::fprintf(out_, "module Trelvo.exe %08lX %08lX\n", static_cast<unsigned long>(codeStart_),
                             static_cast<unsigned long>(codeEnd_));
            }
            if (process)
                ::CloseHandle(process);
            return;
        }
        for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 256; ++i) {
            MODULEINFO info{};
            char name[MAX_PATH] = {};
            ::GetModuleInformation(process, modules[i], &info, sizeof info);
            ::GetModuleBaseNameA(process, modules[i], name, MAX_PATH);
            std::fprintf(out_, "module %s %08lX %08lX\n", name, static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(info.lpBaseOfDll)),
                         static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(info.lpBaseOfDll) + info.SizeOfImage));
            if (i == 0) {
                codeStart_ = reinterpret_cast<ULONG_PTR>(info.lpBaseOfDll);
                codeEnd_ = codeStart_ + info.SizeOfImage;
            }
        }
        ::CloseHandle(process);
    }

    // Up to three words of the stack that point into the program's code, nearest first.
    std::string Callers(HANDLE process, DWORD esp) const {
        DWORD words[256] = {};
        SIZE_T read = 0;
        ::ReadProcessMemory(process, reinterpret_cast<void*>(static_cast<ULONG_PTR>(esp)), words, sizeof words, &read);
        std::string text;
        for (size_t i = 0, found = 0; i < read / 4 && found < 3; ++i)
            if (words[i] > codeStart_ + 0x1000 && words[i] < codeEnd_) {
                char word[12];
                std::snprintf(word, sizeof word, found ? ",%08lX" : "%08lX", static_cast<unsigned long>(words[i]));
                text += word;
                ++found;
            }
        return text.empty() ? "0" : text;
    }

    void Loop(DWORD process) {
        HANDLE memory = ::OpenProcess(PROCESS_VM_READ, FALSE, process);
        while (running_) {
            HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
            std::vector<DWORD> threads;
            THREADENTRY32 entry{};
            entry.dwSize = sizeof entry;
            for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry))
                if (entry.th32OwnerProcessID == process)
                    threads.push_back(entry.th32ThreadID);
            ::CloseHandle(snapshot);
            for (int round = 0; round < 20 && running_; ++round) {
                for (DWORD id : threads) {
                    HANDLE t = ::OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE, id);
                    if (!t)
                        continue;
                    CONTEXT context{};
                    context.ContextFlags = CONTEXT_CONTROL;
                    if (::SuspendThread(t) != static_cast<DWORD>(-1)) {
                        if (::GetThreadContext(t, &context))
                            std::fprintf(out_, "%s %lu %08lX %s\n", phase_.c_str(), id,
                                         static_cast<unsigned long>(context.Eip),
                                         Callers(memory, context.Esp).c_str());
                        ::ResumeThread(t);
                    }
                    ::CloseHandle(t);
                }
                ::Sleep(3);
            }
        }
        if (memory)
            ::CloseHandle(memory);
    }

    std::FILE* out_ = nullptr;
    std::string phase_;
    std::atomic<bool> running_{false};
    bool modulesWritten_ = false;
    ULONG_PTR codeStart_ = 0, codeEnd_ = 0;
    std::thread thread_;
};

class ProgramRun : public Flow {
public:
    ProgramRun(const std::string& companions, const std::string& label) : companions_(companions), label_(label) {}

    bool Run(const std::wstring& file, double fileMb) {
        const std::wstring tracePath = s.Folder() + L"\\timing.txt";
        ::SetEnvironmentVariableW(L"TRELVO_TIMING", tracePath.c_str());
        Trace trace(tracePath);
        std::printf("%s: %.0f MB\n", label_.c_str(), fileMb);
        if (!s.Launch(Quoted(file))) {
            std::printf("  the program did not start\n");
            return false;
        }
        HWND open = WaitOpenDialog();
        if (!open) {
            std::printf("  no open dialog\n");
            return false;
        }
        // A text file is opened raw (data) with ASCII strings alone; the others as code with refers.
        const bool text = label_ == "text";
        s.TypeInto(ScreenReader::Child(open, 15), L"401000");
        for (int id : {text ? 19 : 17, 22, 33})
            if (Checked(ScreenReader::Child(open, id)) != (id != 22 || !text))
                s.ClickControl(ScreenReader::Child(open, id));
        WaitUntil([&] {
            return Checked(ScreenReader::Child(open, 33)) && Checked(ScreenReader::Child(open, 22)) != text;
        }, 3000);
        const Usage before = s.App().Sample();
        const long long ok = NowMicros();
        sampler_.Start(s.App().Id(), "open");
        s.ClickControl(ScreenReader::Child(open, IDOK));

        // Memory after each job, sampled as soon as its end is logged; the profile's phases follow
        // the log.
        trace.Wait("log The file: ", ok, kJobWaitMs);
        sampler_.Start(s.App().Id(), "open-parse");
        const long long parsed = trace.Wait("log Main parser is ", ok, kJobWaitMs);
        sampler_.Start(s.App().Id(), "open-after-parse");
        const Usage afterParse = s.App().Sample();
        long long refersDone = 0;
        if (!text) {
            trace.Wait("log Scan refers is starting", ok, kJobWaitMs);
            sampler_.Start(s.App().Id(), "open-refers");
            refersDone = trace.Wait("log Refers scan is finished", ok, kJobWaitMs);
        }
        sampler_.Start(s.App().Id(), "open-strings");
        const Usage afterRefers = s.App().Sample();
        const long long stringsDone = trace.Wait("log Scan stringz is finished", ok, kJobWaitMs);
        if (parsed < 0 || refersDone < 0 || stringsDone < 0) {
            std::printf("  the open did not finish (parse %lld, refers %lld, strings %lld); the program %s; events:\n",
                        parsed, refersDone, stringsDone, s.App().Alive() ? "runs" : "ended");
            for (const Event& e : trace.Read())
                if (e.at >= ok)
                    std::printf("    %7.3f  %s\n", (e.at - ok) / 1e6, e.text.c_str());
            sampler_.Stop();
            return false;
        }
        const Usage afterStrings = s.App().Sample();
        // The strings filter's texts are made in idle slices after the scan: their memory is sampled
        // once they are made (or given up).
        const long long textsDone = trace.Wait("strings texts ", stringsDone, kJobWaitMs);
        const bool textsMade = textsDone >= 0 && trace.Find("strings texts ready", stringsDone) >= 0;
        // Ready: nothing more happens for a second.
        size_t count = 0;
        while (trace.Read().size() != count) {
            count = trace.Read().size();
            ::Sleep(1000);
        }
        const Usage afterTexts = s.App().Sample();
        sampler_.Stop();
        std::vector<Event> events = trace.Read();
        long long ready = ok;
        for (const Event& e : events)
            if (e.at >= ok && e.text.compare(0, 10, "diza paint") != 0 && e.text.compare(0, 14, "strings texts ") != 0)
                ready = std::max(ready, e.at);
        ReportOpen(events, ok, ready);
        std::printf("  memory (page-file usage): before OK %.1f MB, parsed %.1f MB (+%.1f), refers %.1f MB (+%.1f), "
                    "strings %.1f MB (+%.1f), filter texts %.1f MB (+%.1f, %s); %.2f x the file\n",
                    Mb(before.privateBytes), Mb(afterParse.privateBytes), Mb(afterParse.privateBytes - before.privateBytes),
                    Mb(afterRefers.privateBytes), Mb(afterRefers.privateBytes - afterParse.privateBytes),
                    Mb(afterStrings.privateBytes), Mb(afterStrings.privateBytes - afterRefers.privateBytes),
                    Mb(afterTexts.privateBytes), Mb(afterTexts.privateBytes - afterStrings.privateBytes),
                    textsMade ? "made" : textsDone >= 0 ? "not made: over the ceiling" : "not seen",
                    (afterTexts.privateBytes - before.privateBytes) / (fileMb * 1048576.0));

        // TRELVO_BENCH_OPEN_ONLY: the open alone (the memory ceiling on large files).
        if (const char* only = std::getenv("TRELVO_BENCH_OPEN_ONLY"); only && *only && *only != '0') {
            sampler_.Stop();
            s.Stop();
            return true;
        }
        // The text file: its strings filter alone, past the texts' ceiling.
        if (text) {
            sampler_.Start(s.App().Id(), "strings");
            FilteredList(trace, L"river");
            sampler_.Stop();
            s.Stop();
            return true;
        }
        // TRELVO_BENCH_PHASES: the phases to run after the open, e.g. "goto,strings" (all without it).
        if (Wanted("linefind")) {
            sampler_.Start(s.App().Id(), "linefind");
            RunOneFind(trace, false, L"qqqzzz*", {61});
        }
        if (Wanted("hexfind")) {
            sampler_.Start(s.App().Id(), "hexfind");
            RunOneFind(trace, true, L"48 89 5C 24", {});
        }
        if (Wanted("keys")) {
            sampler_.Start(s.App().Id(), "keys");
            Keys(trace);
        }
        if (Wanted("goto")) {
            sampler_.Start(s.App().Id(), "goto");
            Goto(trace, L"401000");
        }
        if (Wanted("strings")) {
            sampler_.Start(s.App().Id(), "strings");
            FilteredList(trace, L"error");
        }
        sampler_.Stop();
        s.Stop();
        return true;
    }

private:
    static bool Wanted(const char* phase) {
        const char* phases = std::getenv("TRELVO_BENCH_PHASES");
        if (!phases || !*phases)
            return true;
        const std::string list = std::string(",") + phases + ",";
        return list.find(std::string(",") + phase + ",") != std::string::npos;
    }

    void ReportOpen(const std::vector<Event>& events, long long ok, long long ready) {
        std::printf("  events after OK (s):\n");
        // Nothing is shown between two events unless a lamp is lit or the pop-up stands meanwhile.
        long long last = ok, widest = 0, widestAt = ok;
        int lamps = 0;
        bool popup = false;
        for (const Event& e : events) {
            if (e.at < ok || e.text.compare(0, 10, "diza paint") == 0)
                continue;
            std::printf("    %7.3f  %s\n", (e.at - ok) / 1e6, e.text.c_str());
            // The strings filter's texts are made while no input waits: nobody waits for them.
            if (e.text.compare(0, 14, "strings texts ") == 0)
                continue;
            if (lamps == 0 && !popup && e.at - last > widest) {
                widest = e.at - last;
                widestAt = last;
            }
            last = e.at;
            lamps += e.text.compare(0, 7, "lamp on") == 0 ? 1 : e.text.compare(0, 8, "lamp off") == 0 ? -1 : 0;
            popup = e.text.compare(0, 6, "popup ") == 0 ? e.text != "popup closed" : popup;
        }
        double parse = 0, refers = 0, strings = 0;
        long long firstLine = -1, refersStart = -1, refersEnd = -1, stringsStart = -1, parseEnd = -1;
        long long parserNamed = -1, parseStart = -1;
        for (const Event& e : events) {
            if (e.at < ok)
                continue;
            if (firstLine < 0 && e.text.compare(0, 4, "log ") == 0)
                firstLine = e.at;
            if (parserNamed < 0 && e.text.compare(0, 17, "log Main parser: ") == 0)
                parserNamed = e.at;
            if (parseStart < 0 && e.text.compare(0, 7, "lamp on") == 0)
                parseStart = e.at;
            if (e.text.find("Main parser is ") != std::string::npos) {
                parse = SecondsIn(e.text);
                parseEnd = e.at;
            }
            if (e.text.find("Scan refers is starting") != std::string::npos)
                refersStart = e.at;
            if (e.text.find("Refers scan is finished") != std::string::npos) {
                refers = SecondsIn(e.text);
                refersEnd = e.at;
            }
            if (e.text.find("Scan stringz is starting") != std::string::npos)
                stringsStart = e.at;
            if (e.text.find("Scan stringz is finished") != std::string::npos)
                strings = SecondsIn(e.text);
        }
        const double jobs = parse + refers + strings;
        const std::string& c = companions_;
        const double mb = fileMb_;
        const double openRate = NumberBefore(CompanionLine(c, {"document OpenFile"}), "MB/s");
        // The refers bench's row of a 64 MB file: size, then seconds.
        const std::string refersRow = CompanionLine(c, {"   64 MB "});
        const double refersBench = refersRow.empty() ? 0 : std::atof(refersRow.c_str() + refersRow.find("MB") + 2);
        Row("OK to the log's first line", (firstLine - ok) / 1e3, 0);
        Row("file read (first line to parser's)", (parserNamed - firstLine) / 1e3, openRate > 0 ? mb / openRate * 1e3 : 0);
        Row("parser's line to parse start (lamp)", (parseStart - parserNamed) / 1e3, 0);
        Row("parse (the log's own time)", parse * 1e3, 0);
        if (refersStart >= 0) {
            Row("gap: parse end to refers start", (refersStart - parseEnd) / 1e3, 0);
            Row("refers (the log's own time)", refers * 1e3, refersBench * 1e3);
            Row("gap: refers end to strings start", (stringsStart - refersEnd) / 1e3, 0);
        }
        Row("strings (the log's own time)", strings * 1e3,
            NumberBefore(CompanionLine(c, {label_ + " ", "string scan"}), " ms", 20));
        Row("OK to ready", (ready - ok) / 1e3, 0);
        std::printf("  %-36s %9.1f ms   (target: jobs + 500 ms = %.1f ms)\n", "jobs' own times", jobs * 1e3,
                    jobs * 1e3 + 500);
        std::printf("  %-36s %9.1f ms   from %.3f s (no lamp, no pop-up; target 500 ms)\n",
                    "longest time with nothing shown", widest / 1e3,
                    (widestAt - ok) / 1e6);
    }

    void RunOneFind(const Trace& trace, bool hex, const std::wstring& text, std::initializer_list<int> boxes) {
        const long long start = NowMicros();
        if (!RunFind(hex, text, boxes, 0)) {
            std::printf("  %s find: the dialog did not run\n", hex ? "hex" : "line");
            return;
        }
        const long long began = trace.Wait("log Find1 for ", start, 10000);
        const long long done = trace.Wait("lamp off", began, 600000);
        double companion = 0;
        std::string what = std::string(hex ? "hex" : "line") + " find '" + std::string(text.begin(), text.end()) + "'";
        if (hex) {
            companion = NumberBefore(CompanionLine(companions_, {label_ + " ", "hex find"}), " ms", 20);
            Row(what.c_str(), (done - began) / 1e3, companion);
        } else {
            // The jobs' bench gives a rate in lines of its made-up code, 2.0 bytes a line: compared in
            // MB/s (random bytes and real code make longer lines, so fewer a MB).
            const double rate = NumberBefore(CompanionLine(companions_, {"line find 'cpuid"}), "M lines/s");
            const double mbPerSecond = fileMb_ / ((done - began) / 1e6);
            Row(what.c_str(), (done - began) / 1e3, rate > 0 ? fileMb_ / (rate * 2.0) * 1e3 : 0);
            std::printf("  %-36s %9.2f MB/s   bench %.2f M lines/s = %.2f MB/s; target: within 1.25x\n",
                        "line find rate", mbPerSecond, rate, rate * 2.0);
        }
    }

    void Keys(const Trace& trace) {
        HWND pane = s.Pane(kDizaPane);
        if (!pane)
            return;
        RECT r{};
        ::GetClientRect(pane, &r);
        UserInput::Click(UserInput::ClientPoint(pane, r.right / 2, r.bottom / 3));
        s.Settle();
        struct Press {
            const char* name;
            WORD vk;
            int modifiers;
        } const presses[] = {{"PageDown", VK_NEXT, 0}, {"Down", VK_DOWN, 0}, {"Ctrl+End", VK_END, UserInput::kCtrl},
                             {"Ctrl+Home", VK_HOME, UserInput::kCtrl}};
        const double frameMs = NumberBefore(CompanionLine(companions_, {"page downs"}), " us a page") / 1e3;
        for (const Press& p : presses) {
            double worst = 0, total = 0;
            int n = 0;
            for (int round = 0; round < 6; ++round) {
                const long long from = NowMicros();
                UserInput::Key(p.vk, p.modifiers);
                s.Settle();
                s.Settle();
                ::Sleep(100);
                const std::string arrival = "diza key " + std::to_string(p.vk);
                long long key = -1, painted = -1;
                for (const Event& e : trace.Read()) {
                    if (e.at < from)
                        continue;
                    if (key < 0 && e.text == arrival)
                        key = e.at;
                    else if (key >= 0 && e.text == "diza painted")
                        painted = e.at;
                }
                if (key < 0 || painted < 0)
                    continue;
                const double ms = (painted - key) / 1e3;
                worst = std::max(worst, ms);
                total += ms;
                ++n;
            }
            char what[64];
            std::snprintf(what, sizeof what, "key %s to end of paint (mean)", p.name);
            Row(what, n ? total / n : 0, p.vk == VK_NEXT ? frameMs : 0);
            std::printf("  %-36s %9.1f ms   (%d of 6 seen; target 16 ms)\n", "  worst", worst, n);
        }
    }

    // The go-to dialog: from the button's click to the dialog shown with the focus in its text and
    // answering; then each typed key to its effect: the text shown, the list refilled (the program's
    // "goto listed" event for that text) and OK in its state.
    void Goto(const Trace& trace, const std::wstring& text) {
        const long long from = NowMicros();
        s.ClickButton(kGoto);
        const HWND dialog = s.WaitDialog(L"Goto", kJobWaitMs);
        const HWND combo = dialog ? ScreenReader::Child(dialog, 11) : nullptr;
        const HWND ok = dialog ? ScreenReader::Child(dialog, IDOK) : nullptr;
        const auto typing = [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return ScreenReader::Visible(dialog) &&
                   ::GetGUIThreadInfo(::GetWindowThreadProcessId(dialog, nullptr), &info) && info.hwndFocus &&
                   (info.hwndFocus == combo || ::GetParent(info.hwndFocus) == combo) &&
                   ScreenReader::Responsive(dialog, kJobWaitMs);
        };
        if (!combo || !ok || !Poll(typing, kJobWaitMs)) {
            std::printf("  go-to: the dialog did not open\n");
            return;
        }
        Row("go-to: opening to ready for input", (NowMicros() - from) / 1e3, 0);
        double worst = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            const std::wstring typed = text.substr(0, i + 1);
            const std::string listed = " " + std::string(typed.begin(), typed.end());
            const long long key = NowMicros();
            UserInput::Type(text.substr(i, 1));
            long long refilled = -1;
            int rows = -1, enabled = -1;
            const bool seen = Poll([&] {
                for (const Event& e : trace.Read())
                    if (e.at >= key && e.text.compare(0, 12, "goto listed ") == 0 && e.text.size() > listed.size() &&
                        e.text.compare(e.text.size() - listed.size(), listed.size(), listed) == 0 &&
                        std::sscanf(e.text.c_str() + 12, "%d %d", &rows, &enabled) == 2)
                        refilled = e.at;
                return refilled >= 0 && ScreenReader::Text(combo) == typed &&
                       (::IsWindowEnabled(ok) != FALSE) == (enabled == 1);
            }, kJobWaitMs);
            const double ms = (NowMicros() - key) / 1e3;
            worst = std::max(worst, ms);
            std::printf("  go-to key '%ls' to its effect %12.1f ms   (list refilled at %.1f ms: %d names; OK %s)%s\n",
                        typed.c_str() + i, ms, (refilled - key) / 1e3, rows, enabled == 1 ? "on" : "off",
                        seen ? "" : "; not seen");
        }
        std::printf("  %-36s %9.1f ms   (target 16 ms natively, 300 ms emulated)\n", "go-to key, worst", worst);
        s.ClickControl(ScreenReader::Child(dialog, IDCANCEL));
        WaitUntil([&] { return !::IsWindow(dialog) || !ScreenReader::Visible(dialog); }, kJobWaitMs);
    }

    // The strings list: a filter typed into it, then PageDown six times; each key to the end of the
    // list's paint.
    void FilteredList(const Trace& trace, const std::wstring& filter) {
        bool shown = false;
        for (int attempt = 0; attempt < 3 && !shown; ++attempt) {
            s.Settle();
            shown = SelectSideTab(kStrings);
        }
        if (!shown) {
            std::printf("  strings list: not shown\n");
            return;
        }
        const HWND list = s.Pane(kStrings);
        UserInput::Click(UserInput::ClientPoint(list, 30, 28));
        s.Settle();
        const std::string painted = "list painted " + std::to_string(kStrings);
        const std::string pageDown = "list key " + std::to_string(kStrings) + " " + std::to_string(VK_NEXT);
        // The last paint after the key's arrival (or after `from` for a typed character), once
        // nothing more is painted.
        const auto keyToPaint = [&](long long from, const std::string& arrival) {
            long long key = arrival.empty() ? from : trace.Wait(arrival, from, kJobWaitMs);
            if (key < 0 || trace.Wait(painted, key, kJobWaitMs) < 0)
                return -1.0;
            s.Settle();
            ::Sleep(100);
            long long last = -1;
            for (const Event& e : trace.Read())
                if (e.at >= key && e.text == painted)
                    last = e.at;
            return (last - key) / 1e3;
        };
        double worst = 0, total = 0;
        for (size_t i = 0; i < filter.size(); ++i) {
            const long long from = NowMicros();
            UserInput::Type(filter.substr(i, 1));
            const double ms = keyToPaint(from, std::string());
            std::printf("  strings filter key '%lc' to end of paint %9.1f ms\n", filter[i], ms);
            worst = std::max(worst, ms);
        }
        int n = 0;
        for (int round = 0; round < 6; ++round) {
            const long long from = NowMicros();
            UserInput::Key(VK_NEXT);
            const double ms = keyToPaint(from, pageDown);
            if (ms < 0)
                continue;
            ++n;
            total += ms;
            worst = std::max(worst, ms);
        }
        Row("strings: PageDown to end of paint (mean)", n ? total / n : 0, 0);
        // BackSpace widens the filter back to its first character, each key to the end of paint.
        for (size_t left = filter.size() - 1; left >= 1; --left) {
            const long long from = NowMicros();
            UserInput::Key(VK_BACK);
            const double ms = keyToPaint(from, std::string());
            std::printf("  strings filter BackSpace to '%ls' to end of paint %9.1f ms\n", filter.substr(0, left).c_str(), ms);
            worst = std::max(worst, ms);
        }
        std::printf("  %-36s %9.1f ms   (%d of 6 seen; filter '%ls'; target 16 ms)\n", "  worst of the keys", worst, n,
                    filter.c_str());
        std::printf("  memory after the filter keys (page-file usage): %.1f MB\n", Mb(s.App().Sample().privateBytes));
    }

    // Polls a condition every millisecond up to the bound.
    static bool Poll(const std::function<bool()>& condition, DWORD timeoutMs) {
        const DWORD start = ::GetTickCount();
        while (!condition()) {
            if (::GetTickCount() - start > timeoutMs)
                return false;
            ::Sleep(1);
        }
        return true;
    }

    std::string companions_;
    std::string label_;
    Sampler sampler_;

public:
    double fileMb_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: %s <benches' output> <label>=<file>...\n", argv[0]);
        return 2;
    }
    const std::string companions = ReadWholeFile(WindowsPath(argv[1]));
    int failures = 0;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const size_t eq = arg.find('=');
        if (eq == std::string::npos)
            continue;
        wchar_t full[MAX_PATH] = {};
        ::GetFullPathNameW(WindowsPath(arg.substr(eq + 1).c_str()).c_str(), MAX_PATH, full, nullptr);
        const std::wstring path = full;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
            std::printf("%s: cannot read %ls\n", arg.substr(0, eq).c_str(), path.c_str());
            ++failures;
            continue;
        }
        ProgramRun run(companions, arg.substr(0, eq));
        run.fileMb_ = data.nFileSizeLow / 1048576.0 + data.nFileSizeHigh * 4096.0;
        failures += !run.Run(path, run.fileMb_);
        std::fflush(stdout);
    }
    return failures ? 1 : 0;
}
