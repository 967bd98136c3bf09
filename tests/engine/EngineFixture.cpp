#include "EngineFixture.h"
#include "Ansi.h"
#include <ostream>

namespace kxtest {

std::vector<Seen> Recorder::log;

ATOM Recorder::RegisterClassOnce() {
    static ATOM atom = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KxTestTarget";
        return RegisterClassA(&wc);
    }();
    return atom;
}

LRESULT CALLBACK Recorder::Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    log.push_back({h, m, w, l});
    if (m >= WM_USER) return kResult;
    return DefWindowProcA(h, m, w, l);
}

std::vector<Seen> Recorder::Only(std::initializer_list<UINT> msgs) { return OnlyOf(log, msgs); }

TestWindow::TestWindow(const char* text) {
    Recorder::RegisterClassOnce();
    h_ = CreateWindowExA(0, "KxTestTarget", text, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

TestWindow::~TestWindow() {
    if (IsWindow(h_)) DestroyWindow(h_);
}

WNDPROC ProcOf(HWND h) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC)); }

kx::ComPtr<AutoObject> MakeTargetControl(const std::wstring& name, HWND hwnd) {
    auto o = AutoObject::New();
    o->DefineString(L"Name", name);
    o->DefineLong(L"hwnd", static_cast<LONG>(reinterpret_cast<LONG_PTR>(hwnd)));
    return o;
}

FakeControl::FakeControl(const std::wstring& name) : obj_(AutoObject::New()) {
    obj_->DefineString(L"Name", name);
    obj_->Define(L"FileDropMode", [this](WORD flags, DISPPARAMS*, VARIANT* r, EXCEPINFO*) -> HRESULT {
        if (!(flags & DISPATCH_PROPERTYGET) || !r) return DISP_E_MEMBERNOTFOUND;
        V_VT(r) = VT_BOOL;
        V_BOOL(r) = fileDropMode ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    });
    obj_->Define(L"DoGetEvents", [this](WORD, DISPPARAMS* p, VARIANT* r, EXCEPINFO*) -> HRESULT {
        // The handle and the parameters are pointer-sized, the message a Long.
        LONG_PTR* hwnd = ArgLongPtrRef(p, 0);
        LONG* msg = ArgLongRef(p, 1);
        LONG_PTR* wp = ArgLongPtrRef(p, 2);
        LONG_PTR* lp = ArgLongPtrRef(p, 3);
        if (!hwnd || !msg || !wp || !lp) return DISP_E_TYPEMISMATCH;
        events.push_back({reinterpret_cast<HWND>(*hwnd), static_cast<UINT>(*msg), static_cast<WPARAM>(*wp), *lp});
        const bool cancel = onEvent ? onEvent(*hwnd, *msg, *wp, *lp) : false;
        if (r) {
            V_VT(r) = VT_BOOL;
            V_BOOL(r) = cancel ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return S_OK;
    });
    obj_->Define(L"gFn_ErrMsg", [this](WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO* ei) -> HRESULT {
        reports.push_back({ArgLong(p, 0), ArgString(p, 1), ArgLong(p, 2)});
        if (runTime) return AutoObject::Raise(ei, ArgLong(p, 0), ArgString(p, 1));
        return S_OK;
    });
}

void EngineTest::SetUp() {
    // The test holds the thread's state as an instance of the control would.
    gFn_EngineHold();
    ClearStore();
    Recorder::log.clear();
    gFn_Engine().g_CallbackCtl = control_.dispatch();
}

void EngineTest::TearDown() {
    gFn_SubClassOff();
    ClearStore();
    gFn_EngineLetGo();
}

void EngineTest::ClearStore() {
    EngineStore cleared;
    cleared.g_TargetControls.clear();
    cleared.g_TargetEvents = L"";
    cleared.g_DebugMode = false;
    cleared.g_DebugFile.clear();
    cleared.g_FileDropMode = false;
    static_cast<EngineStore&>(gFn_Engine()) = std::move(cleared);
    gFn_ResetTargets();
}

void EngineTest::SetTargets(const std::vector<std::pair<std::wstring, HWND>>& targets) {
    gFn_ResetTargets();
    std::wstring& names = gFn_Engine().g_TargetControls;
    names = targets.empty() ? Def_NothingText : L"";
    for (const auto& t : targets) {
        if (!names.empty()) names += L",";
        names += t.first;
        gFn_AddTarget(MakeTargetControl(t.first, t.second), t.second);
    }
}

bool EngineTest::Capture(const std::vector<std::pair<std::wstring, HWND>>& targets, const std::wstring& events) {
    SetTargets(targets);
    gFn_Engine().g_TargetEvents = events;
    return gFn_SubClassOn();
}

} // namespace kxtest
