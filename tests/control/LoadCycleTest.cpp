// Hosts load and free the library many times (a designer opening and
// closing forms, CoFreeUnusedLibraries). Here the library is loaded only by
// COM: once it has served an object it stays loaded until the process ends,
// and cycles of objects, captures and frees leave nothing behind.
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

// Registers the library beside the test program and lets it go again: a
// plain load serves no object, and goes with its free.
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
    LONGLONG heapBytes;
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

// The bytes of every heap's blocks in use, to the byte.
LONGLONG HeapBytes() {
    HANDLE heaps[64];
    const DWORD n = GetProcessHeaps(64, heaps);
    LONGLONG total = 0;
    for (DWORD i = 0; i < n && i < 64; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY e{};
        while (HeapWalk(heaps[i], &e))
            if (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += e.cbData;
        HeapUnlock(heaps[i]);
    }
    return total;
}

Usage Now() { return {OpenHandles(), PrivateBytes(), HeapBytes()}; }

void PlainCycle() {
    HMODULE ocx = LoadLibraryW(L"Kestrix.OCX");
    ASSERT_NE(ocx, nullptr);
    FreeLibrary(ocx);
}

void RuntimeCycle() {
    HMODULE dll = LoadLibraryW(L"KxRuntimeOnly.dll");
    ASSERT_NE(dll, nullptr);
    FreeLibrary(dll);
}

// What n cycles leave behind, after a warm-up of ten that pay the system's
// first-time costs.
Usage Growth(void (*cycle)(), int n) {
    for (int i = 0; i < 10; ++i) cycle();
    const Usage before = Now();
    for (int i = 0; i < n && !testing::Test::HasFatalFailure(); ++i) cycle();
    const Usage after = Now();
    return {after.handles - before.handles, after.privateBytes - before.privateBytes,
            after.heapBytes - before.heapBytes};
}

void Print(const char* what, const Usage& u) {
    printf("100 cycles of %s leave %ld handles, %ld committed bytes, %lld heap bytes\n", what,
           static_cast<long>(u.handles), static_cast<long>(u.privateBytes), u.heapBytes);
}

HWND MakeWindow();

const wchar_t kCycleForm[] =
    LR"frm(Form Form1
    Begin Control Kestrix1 "Kestrix32.Kestrix"
        Bag TargetControls = "(Nothing)"
        Bag TargetEvents = "ALL"
        Bag DebugMode = False
    End
End
)frm";

// One cycle as a host runs it: a form that creates, loads and activates
// the control, which captures a window and sees its messages; then the
// form goes without EventsStop, and the host frees unused libraries.
void FormCycle() {
    HWND w = MakeWindow();
    ASSERT_NE(w, nullptr);
    {
        kxhost::Runtime rt(kxhost::Mode::Run, L"LoadCycle");
        auto form = kxhost::Form::Create(rt, kxhost::ParseForm(kCycleForm, L"Form1.frm"));
        form->Show();
        kxhost::Object k = form->Ctl(L"Kestrix1");
        k.Let(L"TargetHandle", static_cast<LONG>(reinterpret_cast<LONG_PTR>(w)));
        k.Call(L"EventsStart");
        ASSERT_TRUE(k.Call(L"IsEventsStart").AsBool());
        SendMessageA(w, WM_USER, 1, 2);
    }
    CoFreeUnusedLibrariesEx(0, 0);
    DestroyWindow(w);
}

} // namespace

TEST(LoadCycle, HundredCyclesOfFormsAndCapturesLeaveNothing) {
    ASSERT_TRUE(RegisterAndFree());
    const Usage runtime = Growth(RuntimeCycle, 100);
    const Usage unpinned = Growth(PlainCycle, 100);
    Print("loading the static runtime alone", runtime);
    Print("loading Kestrix.OCX before it served an object", unpinned);
    ASSERT_FALSE(Loaded());

    const Usage forms = Growth(FormCycle, 100);
    ASSERT_FALSE(HasFatalFailure());
    Print("a form, a capture and a free", forms);
    EXPECT_TRUE(Loaded()) << "the library that served objects was unloaded";
    EXPECT_LE(forms.handles, 0);
    EXPECT_LE(forms.heapBytes, 16 * 100);
    EXPECT_LE(forms.privateBytes, 0);

    const Usage pinned = Growth(PlainCycle, 100);
    Print("loading Kestrix.OCX once it is kept", pinned);
    EXPECT_LE(pinned.handles, 0);
    EXPECT_LE(pinned.heapBytes, 0);
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
// procedure after EventsStop: the library says it cannot be unloaded until
// the other subclasser goes and the window is handed back.
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
    const auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        GetProcAddress(GetModuleHandleW(L"Kestrix.OCX"), "DllCanUnloadNow"));
    ASSERT_NE(canUnload, nullptr);
    EXPECT_EQ(canUnload(), S_FALSE) << "a window still calls the library";
    EXPECT_EQ(SendMessageA(w, kProbe, 0, 0), 1) << "the window lost its message";
    EXPECT_EQ(other->seen, 1);
    EXPECT_TRUE(SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("still working")));

    other.reset(); // puts our procedure back on top
    EXPECT_EQ(SendMessageA(w, kProbe, 0, 0), 2);
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), original) << "the window was not handed back its procedure";
    EXPECT_EQ(canUnload(), S_OK) << "nothing calls the library any more";
    DestroyWindow(w);
}
