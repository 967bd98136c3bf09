// Shared ground for the engine's tests: a stand-in for the control reached by
// name (as the engine reaches the real one), target controls with real
// windows, and a window class whose procedure records every message it gets.
#pragma once
#include <windows.h>
#include "NonCopyable.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

#include "AutoObject.h"
#include "KestrixBas.h"
#include "MessageLog.h"

namespace kxtest {

// The runtime's automation object is the tests' stand-in control.
using kx::ArgLong;
using kx::ArgLongRef;
using kx::ArgLongPtrRef;
using kx::ArgString;
using kx::AutoObject;
using kx::MemberFn;

// What the stand-in control's gFn_ErrMsg was called with.
struct Reported {
    LONG number;
    std::wstring text;
    LONG helpContext;
};

// The control as the engine sees it: DoGetEvents, gFn_ErrMsg, FileDropMode, Name.
class FakeControl {
public:
    using Handler = std::function<bool(LONG_PTR& hwnd, LONG& msg, LONG_PTR& wp, LONG_PTR& lp)>;

    explicit FakeControl(const std::wstring& name = L"Kestrix1");
    IDispatch* dispatch() const { return obj_.Get(); }
    AutoObject& object() const { return *obj_.Get(); }

    Handler onEvent; // default: record and let the message through
    bool fileDropMode = false;
    bool runTime = true; // gFn_ErrMsg raises at run time, returns at design time
    std::vector<Seen> events; // every DoGetEvents call, values as received
    std::vector<Reported> reports;

private:
    kx::ComPtr<AutoObject> obj_;
};

// A window procedure that records into Recorder::log and returns a fixed value.
class Recorder {
public:
    static constexpr LRESULT kResult = 4242;
    static std::vector<Seen> log;
    static ATOM RegisterClassOnce();
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l);
    // Only the messages whose number is in `msgs`, to keep sequences short.
    static std::vector<Seen> Only(std::initializer_list<UINT> msgs);
};

// A top-level window of the recording class, destroyed with the object.
class TestWindow : private kx::NonCopyable {
public:
    explicit TestWindow(const char* text = "target");
    ~TestWindow();
    HWND hwnd() const { return h_; }
    LONG_PTR handle() const { return reinterpret_cast<LONG_PTR>(h_); }
    WNDPROC proc() const { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h_, GWLP_WNDPROC)); }

private:
    HWND h_;
};

// An automation object with Name and hwnd, as a form's control collection yields one.
kx::ComPtr<AutoObject> MakeTargetControl(const std::wstring& name, HWND hwnd);

WNDPROC ProcOf(HWND h);

// Every engine test starts and ends with an idle engine and an empty store.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Empties the store: the tests set what each one needs.
    static void ClearStore();

    // Fills the target tables as the control does before it installs.
    void SetTargets(const std::vector<std::pair<std::wstring, HWND>>& targets);
    // Sets the targets and events, and installs; returns gFn_SubClassOn's result.
    bool Capture(const std::vector<std::pair<std::wstring, HWND>>& targets, const std::wstring& events);

    FakeControl control_;
};

} // namespace kxtest
