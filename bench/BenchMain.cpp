// KestrixBench: the price of the capture per message.
//
// Real windows of this process receive the same message through
// SendMessageA in these set-ups:
//   bare                    its own window procedure, nothing in front;
//   floor                   a replacement procedure that only passes every
//                           message on with CallWindowProcA (what any
//                           replacement of a window procedure pays);
//   floor-write-line        the floor with one WriteFile of a typical trace
//                           line per message, to a file opened as the trace
//                           is: what the trace cannot avoid paying;
//   captured-unwatched-1    the engine's capture, the message not in a
//                           one-entry watch list;
//   captured-unwatched-500  the same with 500 entries, the message absent;
//   captured-watched        the message watched, the call-back doing nothing.
//   floor-wide              the floor on a window of a Unicode class, with
//                           SendMessageW and CallWindowProcW: the floor of
//                           the two cases below;
//   captured-unwatched-wide the engine's capture of that window (in its
//                           wide form), the message not watched;
//   whole-path-wide         the whole path below on that window.
//   whole-path-all          Kestrix.OCX on a form of the form runtime,
//                           watching "ALL" on this window: the OCX's engine
//                           calls DoGetEvents by name through the form's
//                           extender, the control raises GetEvents and the
//                           form's handler does nothing (WholePath.h);
//   traced-handle           the same with the trace on: a "Handle:" line
//                           per message;
//   traced-control          the same path through the form's Command1 (its
//                           window answering as this one does), the trace
//                           on: a "Control:" line per message.
//   answered-all            the whole path, the handler passing the message
//                           on with CallOriginal and setting ReturnValue to
//                           the answer.
// Each set-up is timed with QueryPerformanceCounter for a fixed time per
// sample; the set-ups take turns (the order rotating each round), each
// sample split into ten slices that alternate with slices of the floor, and
// the median over the rounds is reported, as ns per message and as the
// median of its ratios to the floor of its own sample (the best and the
// worst round follow in brackets, the best also as a ratio to the floor's
// best). The
// goal lines tell whether an unwatched message costs at most 1.05 times the
// floor, a message through the whole path at most 3 times and a traced one
// at most 12 times, and an answered one at most 2 times the whole path,
// judged on the medians.
//
//   KestrixBench.exe [seconds-per-sample [rounds]]     (default 0.3 7)
//
// Exit status 0 whether the goals hold or not; 1 when something broke (a
// set-up failed, a message did not arrive, the call-back count is wrong).
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "Ansi.h"
#include "BenchControl.h"
#include "KestrixBas.h"
#include "WholePath.h"

using kxbench::BenchControl;

namespace {

constexpr UINT kMsg = WM_USER + 1; // 1025: no window procedure of the system cares about it
constexpr LRESULT kTargetResult = 0x4B58; // what the target answers to kMsg
constexpr int kBatch = 256; // messages between two clock readings
constexpr int kSlices = 10; // turns of the floor and a case in one sample
constexpr double kUnwatchedGoal = 1.05;
constexpr double kWholePathGoal = 3.0;
constexpr double kTracedGoal = 12.0;
constexpr double kAnsweredGoal = 2.0; // to the whole path

// ---------------------------------------------------------------- the windows

LRESULT CALLBACK TargetProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == kMsg) return kTargetResult;
    return DefWindowProcA(h, m, w, l);
}

LRESULT CALLBACK TargetProcW(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == kMsg) return kTargetResult;
    return DefWindowProcW(h, m, w, l);
}

WNDPROC g_FloorPrev = nullptr;

LRESULT CALLBACK FloorProc(HWND h, UINT m, WPARAM w, LPARAM l) { return CallWindowProcA(g_FloorPrev, h, m, w, l); }
LRESULT CALLBACK FloorProcW(HWND h, UINT m, WPARAM w, LPARAM l) { return CallWindowProcW(g_FloorPrev, h, m, w, l); }

// As the window's own character set gives it.
WNDPROC ProcOf(HWND h) {
    return reinterpret_cast<WNDPROC>(IsWindowUnicode(h) ? GetWindowLongPtrW(h, GWLP_WNDPROC)
                                                        : GetWindowLongPtrA(h, GWLP_WNDPROC));
}

HWND MakeWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = TargetProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KestrixBenchTarget";
    if (!RegisterClassA(&wc)) return nullptr;
    return CreateWindowExA(0, wc.lpszClassName, "bench target", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

HWND MakeWideWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = TargetProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KestrixBenchWideTarget";
    if (!RegisterClassW(&wc)) return nullptr;
    return CreateWindowExW(0, wc.lpszClassName, L"bench wide target", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                           nullptr, wc.hInstance, nullptr);
}

// ---------------------------------------------------------------- failures

bool g_Broken = false;

void Broken(const std::string& what) {
    std::fprintf(stderr, "KestrixBench: %s\n", what.c_str());
    g_Broken = true;
}

// ---------------------------------------------------------------- the cases

struct Case {
    Case(const char* n, std::function<bool()> install, std::function<void()> remove, bool w = false,
         std::function<long()> calls = nullptr, HWND to = nullptr)
        : name(n), on(std::move(install)), off(std::move(remove)), watched(w), callbacks(std::move(calls)), target(to) {
    }
    const char* name;
    std::function<bool()> on; // installs the set-up; false when it failed
    std::function<void()> off; // removes it
    bool watched; // the call-back runs once per message
    std::function<long()> callbacks; // counts them; the bench control's count when empty
    HWND target; // the window the messages go to; the bench's window when null
    size_t floor = 1; // the case this one is judged against
    std::vector<double> ns; // ns per message, one per round
    std::vector<double> ratio; // to the floor of the same round
};

std::wstring ManyEntries(size_t count) {
    // Distinct numbers, never kMsg: most in the range of window messages,
    // a few beyond it (kept apart by the engine) and one negative.
    std::wstring text;
    size_t made = 0;
    auto add = [&](long v) {
        text += L"'" + std::to_wstring(v) + L"',";
        ++made;
    };
    add(-5);
    for (long v = 100000; made < 11; v += 7919) add(v);
    for (long v = 0; made < count; v += 3) {
        if (v != static_cast<long>(kMsg)) add(v);
    }
    text.pop_back();
    return text;
}

bool Capture(HWND h, BenchControl* control, const std::wstring& events) {
    gFn_Engine().g_TargetEvents = events;
    if (gFn_Engine().g_TargetEvents.watches(static_cast<LONG>(kMsg)) !=
        (events.find(L"'1025'") != std::wstring::npos)) {
        Broken("the watch list does not say what the bench meant");
        return false;
    }
    gFn_Engine().g_CallbackCtl = kx::ComPtr<IDispatch>(control);
    gFn_Engine().g_TargetControls = L"Target1";
    gFn_Engine().g_TargetHandle = 0;
    gFn_Engine().g_DebugMode = false;
    gFn_Engine().g_InDevEnv = false;
    gFn_ResetTargets();
    gFn_AddTarget(kx::ComPtr<IDispatch>(control), h);
    const long errorsBefore = control->errors;
    if (!gFn_SubClassOn()) {
        const long reports = control->errors - errorsBefore;
        Broken("gFn_SubClassOn failed" + (reports ? ": " + kx::ToAnsi(control->lastError) : std::string()));
        return false;
    }
    if (ProcOf(h) != (IsWindowUnicode(h) ? gFn_CallProcW : gFn_CallProc)) {
        Broken("after gFn_SubClassOn the window does not have the capture procedure of its character set");
        gFn_SubClassOff();
        return false;
    }
    return true;
}

void Release(HWND h, WNDPROC original = TargetProc) {
    gFn_SubClassOff();
    gFn_Engine().g_CallbackCtl.Reset();
    gFn_ResetTargets();
    gFn_Engine().g_TargetControls = Def_NothingText;
    gFn_Engine().g_TargetEvents = L"";
    if (ProcOf(h) != original) Broken("gFn_SubClassOff did not give the window its procedure back");
}

// ---------------------------------------------------------------- timing

LONGLONG g_Freq = 0;

LONGLONG Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

// Sends kMsg for at least `seconds` (with SendMessageW to a Unicode window);
// ns per message. `sent` counts the messages.
double Sample(HWND h, double seconds, long long& sent) {
    const bool wide = IsWindowUnicode(h) != FALSE;
    const LONGLONG ticks = static_cast<LONGLONG>(seconds * static_cast<double>(g_Freq));
    long long n = 0;
    long wrong = 0;
    const LONGLONG t0 = Now();
    LONGLONG elapsed;
    do {
        if (wide) {
            for (int i = 0; i < kBatch; ++i)
                if (SendMessageW(h, kMsg, static_cast<WPARAM>(i), 0) != kTargetResult) ++wrong;
        } else {
            for (int i = 0; i < kBatch; ++i)
                if (SendMessageA(h, kMsg, static_cast<WPARAM>(i), 0) != kTargetResult) ++wrong;
        }
        n += kBatch;
        elapsed = Now() - t0;
    } while (elapsed < ticks);
    if (wrong) Broken(std::to_string(wrong) + " message(s) did not reach the target procedure");
    sent = n;
    return static_cast<double>(elapsed) * 1e9 / static_cast<double>(g_Freq) / static_cast<double>(n);
}

// Runs one sample of a case, checking what the call-back saw.
double Measure(Case& c, HWND h, BenchControl* control, double seconds) {
    if (!c.on()) return 0;
    auto count = [&] { return c.callbacks ? c.callbacks() : control->events; };
    const long before = count();
    long long sent = 0;
    const double ns = Sample(c.target ? c.target : h, seconds, sent);
    const long calls = count() - before;
    c.off();
    if (c.watched && calls != sent)
        Broken(std::string(c.name) + ": " + std::to_string(calls) + " call-backs for " + std::to_string(sent) +
               " messages");
    if (!c.watched && calls != 0)
        Broken(std::string(c.name) + ": " + std::to_string(calls) + " call-backs for an unwatched message");
    return ns;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// The floor: the plainest replacement procedure there is, in the window's
// character set.
Case FloorCase(const char* name, HWND h) {
    const bool wide = IsWindowUnicode(h) != FALSE;
    return Case(
        name,
        [h, wide] {
            g_FloorPrev = reinterpret_cast<WNDPROC>(
                wide ? SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FloorProcW))
                     : SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FloorProc)));
            if (!g_FloorPrev) Broken("the floor procedure could not be installed");
            return g_FloorPrev != nullptr;
        },
        [h, wide] {
            if (wide) SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_FloorPrev));
            else SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_FloorPrev));
            if (ProcOf(h) != (wide ? TargetProcW : TargetProc)) Broken("the floor procedure could not be removed");
        },
        false, nullptr, h);
}

// The floor with the one write a trace line costs: a line of the size of
// traced-control's, handed to the system with WriteFile on every message, to
// a file opened as the trace file is (written at its end, shared for reading).
HANDLE g_LineFile = INVALID_HANDLE_VALUE;
std::wstring g_LineFilePath;
const char kTypicalLine[] =
    "[12:34:56]Control:Command1  Event:?????"
    "( 1025)          P1:255        P2:0\r\n";

LRESULT CALLBACK WriteLineProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    DWORD written = 0;
    WriteFile(g_LineFile, kTypicalLine, sizeof kTypicalLine - 1, &written, nullptr);
    return CallWindowProcA(g_FloorPrev, h, m, w, l);
}

Case WriteLineCase(HWND h) {
    return Case(
        "floor-write-line",
        [h] {
            wchar_t dir[MAX_PATH];
            const DWORD n = GetTempPathW(MAX_PATH, dir);
            g_LineFilePath = std::wstring(dir, n < MAX_PATH ? n : 0) + L"KestrixBench-line-" +
                std::to_wstring(GetCurrentProcessId()) + L".log";
            g_LineFile = CreateFileW(g_LineFilePath.c_str(), FILE_WRITE_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
            LARGE_INTEGER none{};
            if (g_LineFile == INVALID_HANDLE_VALUE || !SetFilePointerEx(g_LineFile, none, nullptr, FILE_END))
                Broken("the line file could not be opened");
            g_FloorPrev = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WriteLineProc)));
            return g_LineFile != INVALID_HANDLE_VALUE && g_FloorPrev != nullptr;
        },
        [h] {
            SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_FloorPrev));
            CloseHandle(g_LineFile);
            g_LineFile = INVALID_HANDLE_VALUE;
            DeleteFileW(g_LineFilePath.c_str());
            if (ProcOf(h) != TargetProc) Broken("the line-writing procedure could not be removed");
        });
}

// A message watched with "ALL" through Kestrix.OCX on a form to a handler:
// to the raw window h, or with raw null to the form's Command1.
Case WholePathCase(const char* name, HWND raw, bool traced, kxbench::WholePath* wp, bool answering = false) {
    const WNDPROC original = raw && IsWindowUnicode(raw) ? TargetProcW : TargetProc;
    return Case(
        name,
        [raw, traced, wp, answering] {
            std::string reason;
            wp->answering = answering;
            if (wp->Start(raw, traced, &reason)) return true;
            Broken(std::string("whole path: ") + reason);
            return false;
        },
        [raw, wp, original] {
            if (!wp->Stop(raw, original, TargetProc)) Broken("whole path: a window did not get its procedure back");
        },
        true, [wp] { return wp->events; }, raw ? raw : wp->ControlWindow());
}

// The cases in their order: kFloor second, then the engine's, the whole paths,
// the wide window's last.
constexpr size_t kFloor = 1;
std::vector<Case> MakeCases(HWND h, HWND wide, BenchControl* ctl, kxbench::WholePath* wp) {
    static const std::wstring one = L"'513'", many = ManyEntries(500), watched = L"'513','1025'";
    std::vector<Case> cases;
    cases.emplace_back(
        "bare", [] { return true; }, [] {});
    cases.push_back(FloorCase("floor", h));
    cases.push_back(WriteLineCase(h));
    cases.emplace_back(
        "captured-unwatched-1", [h, ctl] { return Capture(h, ctl, one); }, [h] { Release(h); });
    cases.emplace_back(
        "captured-unwatched-500", [h, ctl] { return Capture(h, ctl, many); }, [h] { Release(h); });
    cases.emplace_back(
        "captured-watched", [h, ctl] { return Capture(h, ctl, watched); }, [h] { Release(h); }, true);
    cases.push_back(WholePathCase("whole-path-all", h, false, wp));
    cases.push_back(WholePathCase("traced-handle", h, true, wp));
    cases.push_back(WholePathCase("traced-control", nullptr, true, wp));
    cases.push_back(WholePathCase("answered-all", h, false, wp, true));
    const size_t wideFloor = cases.size();
    cases.push_back(FloorCase("floor-wide", wide));
    cases.back().floor = wideFloor;
    cases.emplace_back(
        "captured-unwatched-wide", [wide, ctl] { return Capture(wide, ctl, one); },
        [wide] { Release(wide, TargetProcW); }, false, nullptr, wide);
    cases.back().floor = wideFloor;
    cases.push_back(WholePathCase("whole-path-wide", wide, false, wp));
    cases.back().floor = wideFloor;
    return cases;
}

// Every case once a round, each round starting one case further on.
void RunRounds(std::vector<Case>& cases, HWND h, BenchControl* ctl, double seconds, int rounds) {
    // A short warm-up of every case, not counted.
    for (Case& c : cases)
        if (!g_Broken) Measure(c, h, ctl, seconds / 10);
    const size_t n = cases.size();
    for (int r = 0; r < rounds && !g_Broken; ++r) {
        for (size_t k = 0; k < n; ++k) {
            const size_t i = (k + static_cast<size_t>(r)) % n;
            const size_t floor = cases[i].floor;
            if (i == floor) {
                cases[i].ns.push_back(Measure(cases[i], h, ctl, seconds));
                cases[i].ratio.push_back(1);
                continue;
            }
            // Each case is judged against the floor in short turns, each
            // slice of the case right after one of the floor: the load of a
            // shared machine changes little in between.
            double floorNs = 0, ns = 0;
            for (int s = 0; s < kSlices; ++s) {
                floorNs += Measure(cases[floor], h, ctl, seconds / kSlices);
                ns += Measure(cases[i], h, ctl, seconds / kSlices);
            }
            cases[i].ns.push_back(ns / kSlices);
            cases[i].ratio.push_back(floorNs > 0 ? ns / floorNs : 0);
        }
    }
}

double MedianRatio(const std::vector<Case>& cases, const char* name) {
    for (const Case& c : cases)
        if (std::string(c.name) == name) return Median(c.ratio);
    return 0;
}

void PrintGoal(const char* what, double goal, const std::vector<Case>& cases,
               std::initializer_list<const char*> names) {
    bool pass = true;
    std::string detail;
    for (const char* n : names) {
        const double r = MedianRatio(cases, n);
        pass = pass && r <= goal;
        char part[64];
        std::snprintf(part, sizeof part, "%s%s %.2fx", detail.empty() ? "" : ", ", n, r);
        detail += part;
    }
    std::printf("goal: %s <= %.2fx floor: %s (%s)\n", what, goal, pass ? "PASS" : "FAIL", detail.c_str());
}

void PrintResults(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        const std::vector<double>& floorNs = cases[c.floor].ns;
        const double floorBest = *std::min_element(floorNs.begin(), floorNs.end());
        const auto mm = std::minmax_element(c.ns.begin(), c.ns.end());
        std::printf("%-24s %8.1f ns/msg %6.2fx floor   (rounds: best %.1f ns = %.2fx, worst %.1f ns)\n", c.name,
                    Median(c.ns), Median(c.ratio), *mm.first, *mm.first / floorBest, *mm.second);
    }
    PrintGoal("unwatched", kUnwatchedGoal, cases,
              {"captured-unwatched-1", "captured-unwatched-500", "captured-unwatched-wide"});
    PrintGoal("whole path with \"ALL\"", kWholePathGoal, cases, {"whole-path-all", "whole-path-wide"});
    PrintGoal("traced whole path", kTracedGoal, cases, {"traced-handle", "traced-control"});
    const double answered = MedianRatio(cases, "answered-all"), whole = MedianRatio(cases, "whole-path-all");
    const double toWhole = whole > 0 ? answered / whole : 0;
    std::printf("goal: answered <= %.2fx whole path: %s (answered-all %.2fx / whole-path-all %.2fx = %.2f)\n",
                kAnsweredGoal, whole > 0 && toWhole <= kAnsweredGoal ? "PASS" : "FAIL", answered, whole, toWhole);
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 0.3;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
    if (!(seconds > 0 && seconds <= 10) || rounds < 1 || rounds > 99) {
        std::fprintf(stderr, "usage: KestrixBench [seconds-per-sample (0-10] [rounds 1-99]]\n");
        return 2;
    }
    if (FAILED(OleInitialize(nullptr))) {
        std::fprintf(stderr, "KestrixBench: OleInitialize failed\n");
        return 1;
    }
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    g_Freq = f.QuadPart;
    // The bench holds the thread's engine state as an instance of the control would.
    const EngineHold engine;

    const HWND h = MakeWindow();
    const HWND wide = MakeWideWindow();
    if (!h || !wide) {
        std::fprintf(stderr, "KestrixBench: no window could be created (error %lu; is DISPLAY set?)\n", GetLastError());
        OleUninitialize();
        return 1;
    }
    if (ProcOf(h) != TargetProc) Broken("the window's procedure does not read back as set");
    kx::ComPtr<BenchControl> control = kxbench::BenchControl::New(L"Kestrix1");
    auto whole = std::make_unique<kxbench::WholePath>();
    std::string why;
    if (!whole->Open(&why)) Broken("whole path: " + why);
    // Command1's window answers the bench's message as the bench's window does.
    const HWND command1 = whole->ControlWindow();
    if (!command1 || !SetWindowLongPtrA(command1, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TargetProc)))
        Broken("whole path: Command1 has no window to send to");
    std::vector<Case> cases = MakeCases(h, wide, control.Get(), whole.get());

    std::printf(
        "KestrixBench: SendMessageA of message %u to a window of this process; %d rounds x %.2f s per case,"
        " median of the rounds\n",
        kMsg, rounds, seconds);
    std::fflush(stdout);
    RunRounds(cases, h, control.Get(), seconds, rounds);
    if (!g_Broken) PrintResults(cases);

    cases.clear();
    whole.reset();
    control.Reset();
    DestroyWindow(wide);
    DestroyWindow(h);
    OleUninitialize();
    if (g_Broken) {
        std::printf("KestrixBench: BROKEN, see the messages above\n");
        return 1;
    }
    return 0;
}
