#include "KestrixFixture.h"
#include "FormFile.h"
#include "Control.h"

namespace kxtest {

void RegisterKestrix() { ASSERT_TRUE(RegisterDllOnce(L"Kestrix.OCX")) << "Kestrix.OCX could not be registered"; }

std::wstring OcxPath() { return ExeDir() + L"Kestrix.OCX"; }

std::wstring FormText(const std::wstring& formName, const std::wstring& bagLines, const std::wstring& extra,
                      bool withKestrix) {
    std::wstring text = L"Form " + formName +
        L"\n"
        L"    Caption = \"" +
        formName +
        L"\"\n"
        L"    ClientWidth = 6000\n"
        L"    ClientHeight = 3000\n"
        L"    Begin ListBox List1\n        Left = 0\n        Top = 0\n        Width = 3000\n        Height = 1500\n    "
        L"    TabIndex = 0\n    End\n"
        L"    Begin CommandButton Command1\n        Caption = \"OK\"\n        Left = 3600\n        Top = 0\n        "
        L"TabIndex = 1\n    End\n"
        L"    Begin TextBox Text1\n        Left = 3600\n        Top = 600\n        TabIndex = 2\n    End\n"
        L"    Begin Label Label1\n        Caption = \"label\"\n        Left = 0\n        Top = 2000\n    End\n" +
        extra;
    if (withKestrix)
        text += L"    Begin Control Kestrix1 \"Kestrix32.Kestrix\"\n        Left = 120\n        Top = 2400\n" +
            bagLines + L"    End\n";
    return text + L"End\n";
}

std::optional<kx::AutomationError> RaisedBy(const std::function<void()>& call) {
    try {
        call();
    } catch (const kx::RaisedError& e) {
        return e.error();
    }
    return std::nullopt;
}

void ExpectOwnError(const std::optional<kx::AutomationError>& e, LONG number, const std::wstring& text) {
    ASSERT_TRUE(e.has_value()) << "nothing was raised; expected " << number;
    EXPECT_EQ(e->number, number);
    EXPECT_EQ(static_cast<unsigned long>(e->hr), 0x800A0000ul + static_cast<unsigned long>(number));
    EXPECT_EQ(e->description, text);
    EXPECT_EQ(e->helpFile, L"Kestrix.hlp");
    EXPECT_EQ(e->helpContext, 10u);
    EXPECT_EQ(e->source, L"");
}

void ExpectOwnBox(const SeenBox& box, const std::wstring& text) {
    EXPECT_EQ(box.title, L"Kestrix");
    EXPECT_EQ(box.text, text);
    EXPECT_TRUE(box.stopIcon) << "no critical-stop icon";
    EXPECT_TRUE(box.okButton);
    EXPECT_TRUE(box.helpButton);
    EXPECT_FALSE(box.cancelButton);
}

void KestrixTest::SetUp() {
    RegisterKestrix();
    boxes_ = std::make_unique<BoxAnswerer>();
}

kxhost::Form& KestrixTest::Load(const std::wstring& bagLines, kxhost::Mode mode, const std::wstring& extra) {
    return LoadForm(kxhost::ParseForm(FormText(L"Form1", bagLines, extra), L"Form1.frm"), mode, L"KestrixTest");
}

std::unique_ptr<kxhost::Form> KestrixTest::LoadOther(const std::wstring& formName, const std::wstring& bagLines,
                                                     const std::wstring& extra) {
    return kxhost::Form::Create(*rt_, kxhost::ParseForm(FormText(formName, bagLines, extra), formName + L".frm"));
}

HWND KestrixTest::Hwnd(const wchar_t* name) const {
    kxhost::Control* c = form_->Find(name);
    return c ? c->hwnd() : form_->hwnd();
}

} // namespace kxtest
