#include "KestrixFixture.h"
#include "FormFile.h"
#include "Control.h"

namespace kxtest {

void RegisterKestrix() {
    static bool done = [] {
        HMODULE ocx = LoadLibraryA("Kestrix.OCX");
        if (!ocx) return false;
        auto reg = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(ocx, "DllRegisterServer"));
        return reg && SUCCEEDED(reg());
    }();
    ASSERT_TRUE(done) << "Kestrix.OCX could not be registered";
}

kxhost::Form& KestrixTest::Load(const std::wstring& bagLines, kxhost::Mode mode, const std::wstring& extra) {
    form_.reset();
    rt_ = std::make_unique<kxhost::Runtime>(mode, L"KestrixTest");
    rt_->SetUnhandledErrorPolicy([this](const kx::AutomationError& e) { unhandled_.push_back(e); });
    const std::wstring text = L"Form Form1\n"
                              L"    Caption = \"Form1\"\n"
                              L"    ClientWidth = 6000\n"
                              L"    ClientHeight = 3000\n"
                              L"    Begin ListBox List1\n        Left = 0\n        Top = 0\n        Width = 3000\n        Height = 1500\n        TabIndex = 0\n    End\n"
                              L"    Begin CommandButton Command1\n        Caption = \"OK\"\n        Left = 3600\n        Top = 0\n        TabIndex = 1\n    End\n"
                              L"    Begin TextBox Text1\n        Left = 3600\n        Top = 600\n        TabIndex = 2\n    End\n"
                              L"    Begin Label Label1\n        Caption = \"label\"\n        Left = 0\n        Top = 2000\n    End\n" +
                              extra +
                              L"    Begin Control Kestrix1 \"Kestrix32.Kestrix\"\n        Left = 120\n        Top = 2400\n" + bagLines +
                              L"    End\n"
                              L"End\n";
    form_ = kxhost::Form::Create(*rt_, kxhost::ParseForm(text, L"Form1.frm"));
    return *form_;
}

HWND KestrixTest::Hwnd(const wchar_t* name) const {
    kxhost::Control* c = form_->Find(name);
    return c ? c->hwnd() : form_->hwnd();
}

void KestrixTest::TearDown() {
    form_.reset();
    rt_.reset();
}

} // namespace kxtest
