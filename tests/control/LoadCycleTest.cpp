// Hosts load and free the library many times (a designer opening and
// closing forms, CoFreeUnusedLibraries). Here the library is loaded only by
// COM, never pinned by the test, so each cycle really maps and unmaps it.
#include <windows.h>
#include <ole2.h>
#include <gtest/gtest.h>

#include "Form.h"
#include "FormFile.h"
#include "Kestrix32.h"
#include "OtherSubclasser.h"
#include "Runtime.h"

namespace {

bool Loaded() { return GetModuleHandleW(L"Kestrix.OCX") != nullptr; }

// Registers the library beside the test program and lets it go again.
bool RegisterAndFree() {
    HMODULE ocx = LoadLibraryW(L"Kestrix.OCX");
    if (!ocx) return false;
    auto reg = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(ocx, "DllRegisterServer"));
    const bool ok = reg && SUCCEEDED(reg());
    FreeLibrary(ocx);
    return ok && !Loaded();
}

struct Usage {
    DWORD handles;
    SIZE_T privateBytes;
};

// The process's open handles, counted one by one: the handle count the
// system keeps is not reported under Wine. Registry keys are handles too.
DWORD OpenHandles() {
    DWORD count = 0, flags = 0;
    for (ULONG_PTR h = 4; h < 0x10000; h += 4)
        if (GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags)) ++count;
    return count;
}

// Committed private memory, region by region: heaps and what a library
// allocates directly.
SIZE_T PrivateBytes() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION mbi{};
    for (const char* at = nullptr; VirtualQuery(at, &mbi, sizeof mbi) == sizeof mbi;
         at = static_cast<const char*>(mbi.BaseAddress) + mbi.RegionSize) {
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE) total += mbi.RegionSize;
        if (static_cast<const char*>(mbi.BaseAddress) + mbi.RegionSize < at) break;
    }
    return total;
}

Usage Now() { return {OpenHandles(), PrivateBytes()}; }

// One cycle: load with the first object, release it, free the library.
void ComCycle() {
    IDispatch* obj = nullptr;
    ASSERT_HRESULT_SUCCEEDED(
        CoCreateInstance(CLSID_Kestrix, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&obj)));
    ASSERT_TRUE(Loaded());
    obj->Release();
    CoFreeUnusedLibrariesEx(0, 0);
    ASSERT_FALSE(Loaded()) << "the library stayed loaded with no object left";
}

void RuntimeCycle() {
    HMODULE dll = LoadLibraryW(L"KxRuntimeOnly.dll");
    ASSERT_NE(dll, nullptr);
    FreeLibrary(dll);
}

// What n cycles leave behind, after a few that pay the system's first-time costs.
Usage Growth(void (*cycle)(), int n) {
    for (int i = 0; i < 5; ++i) cycle();
    const Usage before = Now();
    for (int i = 0; i < n && !testing::Test::HasFatalFailure(); ++i) cycle();
    const Usage after = Now();
    return {after.handles - before.handles, after.privateBytes - before.privateBytes};
}

} // namespace

TEST(LoadCycle, HundredCyclesLeaveNothingBeyondWhatTheStaticRuntimeLeaves) {
    ASSERT_TRUE(RegisterAndFree());
    const Usage runtime = Growth(RuntimeCycle, 100);
    const Usage ocx = Growth(ComCycle, 100);
    ASSERT_FALSE(HasFatalFailure());
    printf("100 cycles leave: the runtime alone %lu handles, %lu bytes; Kestrix.OCX %lu handles, %lu bytes\n",
           runtime.handles, static_cast<unsigned long>(runtime.privateBytes), ocx.handles,
           static_cast<unsigned long>(ocx.privateBytes));
    EXPECT_EQ(ocx.handles, runtime.handles);
    EXPECT_LE(ocx.privateBytes, runtime.privateBytes + 64 * 1024);
}

namespace {

constexpr UINT kProbe = WM_USER + 9;
int g_windowSaw = 0;

LRESULT CALLBACK CountingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == kProbe) return ++g_windowSaw;
    return DefWindowProcA(h, m, w, l);
}

HWND MakeWindow() {
    static const ATOM atom = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = CountingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KxLoadCycleWindow";
        return RegisterClassA(&wc);
    }();
    return atom
        ? CreateWindowExA(0, "KxLoadCycleWindow", "raw", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr)
        : nullptr;
}

const wchar_t kForm[] =
    LR"frm(Form Form1
    Begin Control Kestrix1 "Kestrix32.Kestrix"
        Bag TargetControls = "(Nothing)"
        Bag DebugMode = False
    End
End
)frm";

} // namespace

// A window another subclasser hooked above the capture keeps calling our
// procedure after EventsStop; the library stays loaded for it, even with
// every object gone and the host freeing unused libraries, until the other
// subclasser goes and the window is handed back.
TEST(LoadCycle, AWindowThatStillCallsUsKeepsTheLibraryLoaded) {
    ASSERT_TRUE(RegisterAndFree());
    HWND w = MakeWindow();
    ASSERT_NE(w, nullptr);
    const LONG_PTR original = GetWindowLongPtrA(w, GWLP_WNDPROC);
    std::unique_ptr<kxtest::OtherSubclasser> other;
    {
        kxhost::Runtime rt(kxhost::Mode::Run, L"LoadCycle");
        auto form = kxhost::Form::Create(rt, kxhost::ParseForm(kForm, L"Form1.frm"));
        kxhost::Object k = form->Ctl(L"Kestrix1");
        k.Let(L"TargetHandle", static_cast<LONG>(reinterpret_cast<LONG_PTR>(w)));
        k.Call(L"EventsStart");
        ASSERT_TRUE(k.Call(L"IsEventsStart").AsBool());
        other = std::make_unique<kxtest::OtherSubclasser>(w, kProbe);
        k.Call(L"EventsStop");
    }
    CoFreeUnusedLibrariesEx(0, 0);
    ASSERT_TRUE(Loaded()) << "the library was freed under a window that still calls it";
    EXPECT_EQ(SendMessageA(w, kProbe, 0, 0), 1) << "the window lost its message";
    EXPECT_EQ(other->seen, 1);
    EXPECT_TRUE(SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("still working")));

    other.reset(); // puts our procedure back on top
    EXPECT_EQ(SendMessageA(w, kProbe, 0, 0), 2);
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), original) << "the window was not handed back its procedure";
    CoFreeUnusedLibrariesEx(0, 0);
    EXPECT_FALSE(Loaded()) << "the library stayed after the window was handed back";
    DestroyWindow(w);
}
