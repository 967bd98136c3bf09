#include "WholePath.h"

#include "ActiveXControl.h"
#include "Ansi.h"
#include "Control.h"
#include "Form.h"
#include "FormFile.h"
#include "Runtime.h"

namespace kxbench {

namespace {

constexpr UINT kMsg = WM_USER + 1; // the bench's message (BenchMain)

// No drops: what is measured is the delivery itself, and the trace line when
// the trace is on.
std::wstring FormText(const std::wstring& traceFile) {
    return L"Form BenchForm\n"
           L"    Caption = \"KestrixBench\"\n"
           L"    Begin CommandButton Command1\n"
           L"        Caption = \"Command1\"\n"
           L"    End\n"
           L"    Begin Control Kestrix1 \"Kestrix32.Kestrix\"\n"
           L"        Bag targetcontrols = \"Command1\"\n"
           L"        Bag targetevents = \"ALL\"\n"
           L"        Bag debugmode = False\n"
           L"        Bag debugfile = \"" +
        traceFile +
        L"\"\n"
        L"        Bag filedropmode = False\n"
        L"    End\n"
        L"End\n";
}

std::wstring TraceFilePath() {
    wchar_t dir[MAX_PATH];
    const DWORD n = GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir, n > 0 && n < MAX_PATH ? n : 0) + L"KestrixBench-" +
        std::to_wstring(GetCurrentProcessId()) + L".log";
}

std::string Describe(const kx::AutomationError& e) {
    return "error " + std::to_string(e.number) + " " + kx::ToAnsi(e.description);
}

// As the window's own character set gives it.
WNDPROC ProcOf(HWND h) {
    return reinterpret_cast<WNDPROC>(IsWindowUnicode(h) ? GetWindowLongPtrW(h, GWLP_WNDPROC)
                                                        : GetWindowLongPtrA(h, GWLP_WNDPROC));
}

} // namespace

WholePath::WholePath() = default;

WholePath::~WholePath() {
    dual_.Reset();
    form_.reset();
    rt_.reset();
    if (!traceFile_.empty()) DeleteFileW(traceFile_.c_str());
}

bool WholePath::Open(std::string* why) {
    HMODULE ocx = LoadLibraryA("Kestrix.OCX");
    if (!ocx) {
        *why = "Kestrix.OCX is not beside the bench";
        return false;
    }
    auto reg = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(ocx, "DllRegisterServer"));
    if (!reg || FAILED(reg())) {
        *why = "Kestrix.OCX did not register";
        return false;
    }
    traceFile_ = TraceFilePath();
    try {
        rt_ = std::make_unique<kxhost::Runtime>(kxhost::Mode::Run, L"KestrixBench");
        rt_->SetUnhandledErrorPolicy([](const kx::AutomationError&) {});
        form_ = kxhost::Form::Create(*rt_, kxhost::ParseForm(FormText(traceFile_), L"BenchForm.frm"));
        form_->On(L"Kestrix1", L"GetEvents", [this](kxhost::EventArgs& a) {
            if (a.Long(1) != static_cast<LONG>(kMsg)) return;
            ++events;
            if (!answering || !dual_) return;
            // Through the control's dual interface, as a compiled program calls it.
            LONG_PTR answer = 0;
            if (SUCCEEDED(dual_->CallOriginal(a.Long(1), a.LongPtr(2), a.LongPtr(3), &answer)))
                dual_->put_ReturnValue(answer);
        });
        form_->Get<kxhost::ActiveXControl>(L"Kestrix1").ControlObject()->QueryInterface(
            IID__Kestrix2, reinterpret_cast<void**>(dual_.ReleaseAndGetAddressOf()));
    } catch (const kx::RaisedError& e) {
        *why = "the form did not load: " + Describe(e.error());
        return false;
    } catch (const kxhost::FormFileError& e) {
        *why = "the form did not load: " + kx::ToAnsi(e.text());
        return false;
    }
    return true;
}

HWND WholePath::ControlWindow() const {
    kxhost::Control* c = form_ ? form_->Find(L"Command1") : nullptr;
    return c ? c->hwnd() : nullptr;
}

bool WholePath::Start(HWND raw, bool traced, std::string* why) {
    try {
        const kxhost::Object k = form_->Ctl(L"Kestrix1");
        k.Let(L"TargetHandle", kxhost::Var::LongPtr(reinterpret_cast<LONG_PTR>(raw)));
        k.Let(L"DebugMode", traced);
        k.Call(L"EventsStart");
        if (!k.Call(L"IsEventsStart").AsBool()) {
            *why = "EventsStart did not start the capture";
            return false;
        }
    } catch (const kx::RaisedError& e) {
        *why = "EventsStart failed: " + Describe(e.error());
        return false;
    }
    return true;
}

bool WholePath::Stop(HWND raw, WNDPROC rawOriginal, WNDPROC controlOriginal) {
    try {
        const kxhost::Object k = form_->Ctl(L"Kestrix1");
        k.Call(L"EventsStop");
        k.Let(L"TargetHandle", 0);
        k.Let(L"DebugMode", false);
    } catch (const kx::RaisedError&) {
        return false; // the caller reports the stop as failed
    }
    return (!raw || ProcOf(raw) == rawOriginal) && ProcOf(ControlWindow()) == controlOriginal;
}

} // namespace kxbench
