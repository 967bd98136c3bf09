#include "WholePath.h"

#include "Ansi.h"
#include "Form.h"
#include "FormFile.h"
#include "Runtime.h"

namespace kxbench {

namespace {

constexpr UINT kMsg = WM_USER + 1; // the bench's message (BenchMain)

// No trace file and no drops: what is measured is the delivery itself.
const wchar_t kForm[] =
    L"Form BenchForm\n"
    L"    Caption = \"KestrixBench\"\n"
    L"    Begin Control Kestrix1 \"Kestrix32.Kestrix\"\n"
    L"        Bag targetcontrols = \"(Nothing)\"\n"
    L"        Bag targetevents = \"ALL\"\n"
    L"        Bag debugmode = False\n"
    L"        Bag filedropmode = False\n"
    L"    End\n"
    L"End\n";

std::string Describe(const kx::AutomationError& e) {
    return "error " + std::to_string(e.number) + " " + kx::ToAnsi(e.description);
}

} // namespace

WholePath::WholePath() = default;

WholePath::~WholePath() {
    form_.reset();
    rt_.reset();
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
    try {
        rt_ = std::make_unique<kxhost::Runtime>(kxhost::Mode::Run, L"KestrixBench");
        rt_->SetUnhandledErrorPolicy([](const kx::AutomationError&) {});
        form_ = kxhost::Form::Create(*rt_, kxhost::ParseForm(kForm, L"BenchForm.frm"));
        form_->On(L"Kestrix1", L"GetEvents", [this](kxhost::EventArgs& a) {
            if (a.Long(1) == static_cast<LONG>(kMsg)) ++events;
        });
    } catch (const kx::RaisedError& e) {
        *why = "the form did not load: " + Describe(e.error());
        return false;
    } catch (const kxhost::FormFileError& e) {
        *why = "the form did not load: " + kx::ToAnsi(e.text());
        return false;
    }
    return true;
}

bool WholePath::Start(HWND h, std::string* why) {
    try {
        const kxhost::Object k = form_->Ctl(L"Kestrix1");
        k.Let(L"TargetHandle", kxhost::Var::LongPtr(reinterpret_cast<LONG_PTR>(h)));
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

bool WholePath::Stop(HWND h, WNDPROC original) {
    try {
        const kxhost::Object k = form_->Ctl(L"Kestrix1");
        k.Call(L"EventsStop");
        k.Let(L"TargetHandle", 0);
    } catch (const kx::RaisedError&) {
        return false; // the caller reports the stop as failed
    }
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC)) == original;
}

} // namespace kxbench
