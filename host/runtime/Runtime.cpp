#include "Runtime.h"
#include "ActivationContext.h"
#include "ScopeExit.h"
#include "Ansi.h"
#include "Form.h"
#include "UniqueHandle.h"
#include <ole2.h>
#include <shellapi.h>

namespace kxhost {

namespace {
thread_local Runtime* t_current = nullptr;
}

Runtime::Runtime(Mode mode, std::wstring title) : mode_(mode), title_(std::move(title)) {
    oleInitialized_ = SUCCEEDED(OleInitialize(nullptr));
    previous_ = t_current;
    t_current = this;
}

Runtime::~Runtime() {
    // Runtimes need not end in the reverse order of their start (a program
    // may make a new one before the old one goes): take this one out of the
    // thread's chain wherever it is.
    if (t_current == this) {
        t_current = previous_;
    } else {
        for (Runtime* r = t_current; r; r = r->previous_) {
            if (r->previous_ == this) {
                r->previous_ = previous_;
                break;
            }
        }
    }
    while (!controlFiles_.empty()) controlFiles_.pop_back();
    if (oleInitialized_) OleUninitialize();
}

HRESULT Runtime::UseControlFile(const std::wstring& path) {
    auto context = std::make_unique<kx::ActivationContext>(path);
    const HRESULT hr = context->status();
    if (SUCCEEDED(hr)) controlFiles_.push_back(std::move(context));
    return hr;
}

Runtime& Runtime::Current() {
    if (!t_current) throw kx::RaisedError(kx::ErrorFromStatus(E_POINTER));
    return *t_current;
}

void Runtime::AddForm(Form* f) { forms_.push_back(f); }

void Runtime::RemoveForm(Form* f) {
    for (auto it = forms_.begin(); it != forms_.end(); ++it) {
        if (*it == f) {
            forms_.erase(it);
            QuitIfDone();
            break;
        }
    }
}

void Runtime::Unhold() {
    if (holds_ > 0) --holds_;
    QuitIfDone();
}

void Runtime::QuitIfDone() {
    if (running_ > 0 && forms_.empty() && holds_ == 0) PostQuitMessage(0);
}

bool Runtime::PreTranslate(MSG& m) {
    // Tab and arrow keys move the focus between a form's controls.
    for (Form* f : forms_) {
        if (f->hwnd() && (m.hwnd == f->hwnd() || IsChild(f->hwnd(), m.hwnd)) && IsDialogMessageA(f->hwnd(), &m))
            return true;
    }
    return false;
}

int Runtime::Run() {
    ++running_;
    kx::ScopeExit running([this] { --running_; });
    if (forms_.empty() && holds_ == 0) return 0;
    // The loop ends with the WM_QUIT that the last form or hold posts as it
    // goes (or Quit): taken from the queue here, it ends nothing else.
    MSG m;
    for (;;) {
        const BOOL r = GetMessageA(&m, nullptr, 0, 0);
        if (r == 0) return static_cast<int>(m.wParam);
        if (r < 0) return -1;
        if (PreTranslate(m)) continue;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

void Runtime::DoEvents() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam));
            return;
        }
        if (PreTranslate(m)) continue;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

void Runtime::Quit(int code) { PostQuitMessage(code); }

int Runtime::MsgBox(const std::wstring& prompt, UINT style, const std::wstring& title) {
    HWND owner = GetActiveWindow();
    return MessageBoxA(owner, kx::ToAnsi(prompt).c_str(), kx::ToAnsi(title.empty() ? title_ : title).c_str(), style);
}

DWORD Runtime::Shell(const std::wstring& file, int show) {
    const std::string name = kx::ToAnsi(file);
    SHELLEXECUTEINFOA sei{};
    sei.cbSize = sizeof sei;
    // No error box of the system's own: a failed start is the caller's to report.
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    sei.lpVerb = "open";
    sei.lpFile = name.c_str();
    sei.nShow = show;
    if (!ShellExecuteExA(&sei)) return 0;
    if (!sei.hProcess) return 0;
    kx::UniqueFile process(sei.hProcess);
    return GetProcessId(process.get());
}

void Runtime::ReportUnhandled(const kx::AutomationError& e) {
    if (onError_) {
        onError_(e);
        return;
    }
    MsgBox(L"実行時エラー '" + std::to_wstring(e.number) + L"':\r\n\r\n" + e.description, MB_OK | MB_ICONSTOP);
    ExitProcess(static_cast<UINT>(e.number ? e.number : 1));
}

} // namespace kxhost
