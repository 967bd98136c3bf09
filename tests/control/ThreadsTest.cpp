// Several user-interface threads in one program, each with its own form,
// its own Kestrix and its own capture: nothing one thread does is seen by
// another, and every event runs on the thread of the control it reaches.
#include "KestrixFixture.h"
#include "WindowRecorder.h"
#include "Ansi.h"
#include "UniqueHandle.h"
#include <algorithm>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <thread>

using namespace kxtest;
using kxhost::EventArgs;

namespace {

constexpr UINT kPlain = WM_USER + 8;
constexpr UINT kRun = WM_APP + 1;

// A thread of its own apartment with a message loop; Run executes work on
// it and waits, so that what a step leaves is there for the next.
class UiThread {
public:
    UiThread() {
        thread_ = std::thread([this] { Loop(); });
        WaitForSingleObject(ready_.get(), INFINITE);
    }
    ~UiThread() {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    void Run(const std::function<void()>& work) { SendMessageA(window_, kRun, 0, reinterpret_cast<LPARAM>(&work)); }
    DWORD id() const { return id_; }

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == kRun) {
            (*reinterpret_cast<const std::function<void()>*>(l))();
            return 0;
        }
        if (m == WM_CLOSE) {
            DestroyWindow(h);
            PostQuitMessage(0);
            return 0;
        }
        return DefWindowProcA(h, m, w, l);
    }
    void Loop() {
        OleInitialize(nullptr);
        id_ = GetCurrentThreadId();
        window_ = CreateWindowExA(0, "STATIC", "run", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc));
        SetEvent(ready_.get());
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        OleUninitialize();
    }
    kx::UniqueHandle<kx::FilePolicy> ready_{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::thread thread_;
    HWND window_ = nullptr;
    DWORD id_ = 0;
};

// One thread's program: a form capturing Command1 (or the bags given), and
// the GetEvents it saw, with the thread each ran on.
struct ThreadForm {
    UiThread thread;
    std::unique_ptr<kxhost::Runtime> rt;
    std::unique_ptr<kxhost::Form> form;
    std::vector<LONG_PTR> seen; // Parameter1 of each event
    std::vector<DWORD> ranOn;

    explicit ThreadForm(const std::wstring& bags =
                            L"        Bag targetcontrols = \"Command1\"\n"
                            L"        Bag targetevents = \"'1032'\"\n"
                            L"        Bag debugmode = False\n") {
        thread.Run([&] {
            rt = std::make_unique<kxhost::Runtime>(kxhost::Mode::Run, L"Threads");
            form = kxhost::Form::Create(*rt, kxhost::ParseForm(FormText(L"Form1", bags), L"Form1.frm"));
            form->Show();
            form->On(L"Kestrix1", L"GetEvents", [this](EventArgs& a) {
                seen.push_back(a.LongPtr(2));
                ranOn.push_back(GetCurrentThreadId());
            });
        });
    }
    ~ThreadForm() { End(); }
    void End() {
        thread.Run([&] {
            form.reset();
            rt.reset();
        });
    }
    kxhost::Object K() const { return form->Ctl(L"Kestrix1"); }
    HWND Command1() const { return form->Find(L"Command1")->hwnd(); }
    void Start() {
        thread.Run([&] { K().Call(L"EventsStart"); });
    }
    void Stop() {
        thread.Run([&] { K().Call(L"EventsStop"); });
    }
    bool Started() {
        bool started = false;
        thread.Run([&] { started = K().Call(L"IsEventsStart").AsBool(); });
        return started;
    }
    bool AllOnOwnThread() const {
        return std::all_of(ranOn.begin(), ranOn.end(), [&](DWORD t) { return t == thread.id(); });
    }
};

class ThreadsTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterKestrix(); }
    // Sends one message to each form's Command1, numbered by the round.
    static void SendRound(std::initializer_list<ThreadForm*> forms, LONG_PTR round) {
        for (ThreadForm* f : forms) SendMessageA(f->Command1(), kPlain, static_cast<WPARAM>(round), 0);
    }
};

} // namespace

TEST_F(ThreadsTest, EachThreadHasItsOwnCaptureThroughStartsStopsAndRestarts) {
    ThreadForm a, b, c;
    a.Start();
    b.Start();
    c.Start();
    SendRound({&a, &b, &c}, 1);
    b.Stop();
    EXPECT_TRUE(a.Started());
    EXPECT_FALSE(b.Started());
    EXPECT_TRUE(c.Started());
    SendRound({&a, &b, &c}, 2);
    c.Stop();
    b.Start();
    SendRound({&a, &b, &c}, 3);
    a.Stop();
    SendRound({&a, &b, &c}, 4);
    b.Stop();
    SendRound({&a, &b, &c}, 5);

    EXPECT_EQ(a.seen, (std::vector<LONG_PTR>{1, 2, 3}));
    EXPECT_EQ(b.seen, (std::vector<LONG_PTR>{1, 3, 4}));
    EXPECT_EQ(c.seen, (std::vector<LONG_PTR>{1, 2}));
    EXPECT_TRUE(a.AllOnOwnThread() && b.AllOnOwnThread() && c.AllOnOwnThread())
        << "an event was raised on another thread than its control's";
}

TEST_F(ThreadsTest, AThreadThatEndsItsObjectsWhileCapturingLeavesTheOthersCapturing) {
    ThreadForm a;
    auto b = std::make_unique<ThreadForm>(L"        Bag targetevents = \"'1032'\"\n        Bag debugmode = False\n");
    // A window of B's own that outlives B's form, captured by handle.
    HWND raw = nullptr;
    std::unique_ptr<WindowRecorder> recorder;
    b->thread.Run([&] {
        raw = CreateWindowExA(0, "STATIC", "raw", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        recorder = std::make_unique<WindowRecorder>(raw);
        b->K().Let(L"TargetHandle", static_cast<LONG>(reinterpret_cast<LONG_PTR>(raw)));
    });
    a.Start();
    b->Start();
    SendMessageA(raw, kPlain, 7, 0);
    ASSERT_EQ(b->seen, (std::vector<LONG_PTR>{7}));
    ASSERT_FALSE(recorder->Installed());

    // B lets its form go and uninitialises COM, without EventsStop.
    b->End();
    EXPECT_TRUE(recorder->Installed()) << "the window does not run its own procedure again";
    SendMessageA(raw, kPlain, 8, 0);
    EXPECT_EQ(b->seen.size(), 1u);
    EXPECT_EQ(recorder->Seen(kPlain).size(), 2u);
    b->thread.Run([&] {
        recorder.reset();
        DestroyWindow(raw);
    });
    b.reset();

    EXPECT_TRUE(a.Started());
    SendRound({&a}, 9);
    EXPECT_EQ(a.seen, (std::vector<LONG_PTR>{9}));
    EXPECT_TRUE(a.AllOnOwnThread());
}

TEST_F(ThreadsTest, AWindowOfAnotherThreadIsRefusedAndNothingIsInstalled) {
    ThreadForm a(L"        Bag targetevents = \"ALL\"\n        Bag debugmode = False\n");
    ThreadForm b;
    WindowRecorder recorder(b.Command1());
    std::optional<kx::AutomationError> raised;
    bool checked = true;
    a.thread.Run([&] {
        // HandleCheck says so beforehand, without a probe.
        checked = a.K().Call(L"HandleCheck", {kxhost::Var::LongPtr(reinterpret_cast<LONG_PTR>(b.Command1()))}).AsBool();
        a.K().Let(L"TargetHandle", static_cast<LONG>(reinterpret_cast<LONG_PTR>(b.Command1())));
        raised = RaisedBy([&] { a.K().Call(L"EventsStart"); });
    });
    EXPECT_FALSE(checked);
    ExpectOwnError(raised, 10010, L"イベントの取得に失敗しました");
    EXPECT_FALSE(a.Started());
    EXPECT_TRUE(recorder.Installed());
    SendMessageA(b.Command1(), kPlain, 1, 0);
    EXPECT_TRUE(a.seen.empty());
}

TEST_F(ThreadsTest, TwoThreadsTracingToOneFileKeepEveryLineWholeAndInOrder) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + L"KxThreads.Dbg";
    DeleteFileW(path.c_str());
    const std::wstring bags =
        L"        Bag targetevents = \"'1032'\"\n        Bag debugmode = True\n"
        L"        Bag debugfile = \"" +
        path + L"\"\n        Bag targetcontrols = \"";
    ThreadForm a(bags + L"Command1\"\n"), b(bags + L"List1\"\n");
    a.Start();
    b.Start();
    constexpr int kRounds = 40;
    HWND list1 = b.form->Find(L"List1")->hwnd();
    for (int i = 1; i <= kRounds; ++i) {
        SendMessageA(a.Command1(), kPlain, static_cast<WPARAM>(i), 0);
        SendMessageA(list1, kPlain, static_cast<WPARAM>(i), 0);
    }
    a.Stop();
    b.Stop();

    std::ifstream in(kx::ToAnsi(path), std::ios::binary);
    ASSERT_TRUE(in) << "no trace file";
    std::stringstream text;
    text << in.rdbuf();
    const std::regex lineRe(R"(^\[[^\]]+\]Control:(Command1|List1)\s+Event:\S+\( 1032\)\s+P1:(\d+)\s+P2:0$)");
    std::vector<int> seenA, seenB;
    int starts = 0, stops = 0;
    std::string line;
    while (std::getline(text, line)) {
        ASSERT_FALSE(line.empty() || line.back() != '\r') << "a line without its CR LF";
        line.pop_back();
        if (line.empty()) continue;
        std::smatch m;
        if (std::regex_match(line, m, lineRe)) {
            (m[1] == "Command1" ? seenA : seenB).push_back(std::stoi(m[2]));
        } else if (line.find(kx::ToAnsi(L"イベント取得を開始しました。")) == 0) {
            ++starts;
        } else if (line.find(kx::ToAnsi(L"イベント取得を停止しました。")) == 0) {
            ++stops;
        } else {
            ADD_FAILURE() << "a broken line: " << line;
        }
    }
    std::vector<int> expected;
    for (int i = 1; i <= kRounds; ++i) expected.push_back(i);
    EXPECT_EQ(seenA, expected);
    EXPECT_EQ(seenB, expected);
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(stops, 2);
    in.close();
    DeleteFileW(path.c_str());
}
