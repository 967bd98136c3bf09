// The form runtime with intrinsic controls: windows, automation objects,
// the Controls collection, events, tab order and errors.
#include <gtest/gtest.h>
#include <windows.h>

#include "Form.h"
#include "FormFile.h"
#include "Intrinsic.h"
#include "Runtime.h"

using namespace kxhost;

namespace {

const wchar_t kForm[] =
    LR"(Form TestFrm
    Caption = "テスト"
    ClientWidth = 6000
    ClientHeight = 3000
    Begin Label Label1(2)
        Caption = "二番目"
        Left = 0
        Top = 0
        Width = 2000
        Height = 255
        TabIndex = 3
    End
    Begin ListBox List1
        Left = 0
        Top = 1500
        Width = 3000
        Height = 1200
        TabIndex = 0
    End
    Begin CommandButton Command1
        Caption = "クリア"
        Left = 3600
        Top = 1500
        Width = 1455
        Height = 495
        TabIndex = 1
    End
    Begin TextBox Text1
        Text = "abc"
        Left = 3600
        Top = 2100
        Width = 1455
        Height = 375
        TabIndex = 2
    End
    Begin Label Label1(1)
        Caption = "一番目"
        Left = 0
        Top = 300
        Width = 2000
        Height = 255
        TabIndex = 4
    End
End
)";

class RuntimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        rt_.SetUnhandledErrorPolicy([this](const kx::AutomationError& e) { unhandled_.push_back(e); });
        form_ = Form::Create(rt_, ParseForm(kForm, L"test.frm"));
    }
    Runtime rt_{Mode::Run, L"RuntimeTest"};
    std::unique_ptr<Form> form_;
    std::vector<kx::AutomationError> unhandled_;
};

std::vector<std::wstring> NamesOf(const Object& collection) {
    std::vector<std::wstring> names;
    const LONG n = collection.Call(L"Count").AsLong();
    for (LONG i = 0; i < n; ++i) {
        Object item(collection.Call(L"Item", {i}));
        std::wstring name = item.Call(L"Name").AsString();
        try {
            name += L"(" + std::to_wstring(item.Call(L"Index").AsLong()) + L")";
        } catch (const kx::RaisedError&) {}
        names.push_back(name);
    }
    return names;
}

} // namespace

TEST_F(RuntimeTest, ControlsYieldTheFormThenEveryControlInFormOrder) {
    const Object controls(form_->AsObject().Call(L"Controls"));
    EXPECT_EQ(NamesOf(controls),
              (std::vector<std::wstring>{L"TestFrm", L"Label1(2)", L"List1", L"Command1", L"Text1", L"Label1(1)"}));

    // The same objects through the enumerator, and the same identity on every walk.
    kx::ComPtr<IEnumVARIANT> e;
    Var en = controls.Call(L"_NewEnum");
    ASSERT_EQ(en.vt(), VT_UNKNOWN);
    ASSERT_HRESULT_SUCCEEDED(V_UNKNOWN(en.get())->QueryInterface(IID_PPV_ARGS(&e)));
    std::vector<Object> walked;
    VARIANT v;
    ULONG got = 0;
    while (e->Next(1, &v, &got) == S_OK) {
        walked.emplace_back(Var::Copy(v));
        VariantClear(&v);
    }
    ASSERT_EQ(walked.size(), 6u);
    EXPECT_TRUE(walked[0].Is(form_->AsObject()));
    EXPECT_TRUE(walked[2].Is(form_->Ctl(L"List1")));
    EXPECT_TRUE(Object(controls.Call(L"Item", {L"command1"})).Is(walked[3]));
    EXPECT_THROW(controls.Call(L"Item", {99}), kx::RaisedError);
}

TEST_F(RuntimeTest, WindowedControlsAreRealChildWindowsAndLabelsHaveNone) {
    HWND list = reinterpret_cast<HWND>(static_cast<LONG_PTR>(form_->Ctl(L"List1").Call(L"hwnd").AsLong()));
    ASSERT_TRUE(IsWindow(list));
    EXPECT_EQ(GetParent(list), form_->hwnd());
    char cls[32] = {};
    GetClassNameA(list, cls, sizeof cls);
    EXPECT_STRCASEEQ(cls, "LISTBOX");
    EXPECT_EQ(form_->AsObject().Call(L"hwnd").AsLong(), static_cast<LONG>(reinterpret_cast<LONG_PTR>(form_->hwnd())));

    try {
        form_->Ctl(L"Label1", 1).Call(L"hwnd");
        FAIL() << "a label has no window";
    } catch (const kx::RaisedError& e) {
        EXPECT_EQ(e.error().number, 438);
    }
    EXPECT_EQ(form_->Ctl(L"Label1", 1).Call(L"Caption").AsString(), L"一番目");
    EXPECT_EQ(form_->Ctl(L"Label1", 2).Call(L"Index").AsLong(), 2);
    EXPECT_TRUE(Object(form_->Ctl(L"Text1").Call(L"Parent")).Is(form_->AsObject()));
}

TEST_F(RuntimeTest, PositionsAreTwipsOfTheScreen) {
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
    HWND button = form_->Get<CommandButton>(L"Command1").hwnd();
    RECT r;
    GetWindowRect(button, &r);
    MapWindowPoints(nullptr, form_->hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, MulDiv(3600, dpi, 1440));
    EXPECT_EQ(r.right - r.left, MulDiv(1455, dpi, 1440));
    RECT client;
    GetClientRect(form_->hwnd(), &client);
    EXPECT_EQ(client.right, MulDiv(6000, dpi, 1440));
    EXPECT_EQ(form_->Ctl(L"Command1").Call(L"Left").AsLong(), 3600);
}

TEST_F(RuntimeTest, TabMovesTheFocusInTabIndexOrder) {
    HWND list = form_->Get<ListBox>(L"List1").hwnd();
    HWND button = form_->Get<CommandButton>(L"Command1").hwnd();
    HWND text = form_->Get<TextBox>(L"Text1").hwnd();
    EXPECT_EQ(GetNextDlgTabItem(form_->hwnd(), list, FALSE), button);
    EXPECT_EQ(GetNextDlgTabItem(form_->hwnd(), button, FALSE), text);
}

TEST_F(RuntimeTest, ListBoxThroughAutomationAndCpp) {
    const Object list = form_->Ctl(L"List1");
    list.Call(L"AddItem", {L"日本語"});
    list.Call(L"AddItem", {L"two"});
    EXPECT_EQ(list.Call(L"ListCount").AsLong(), 2);
    EXPECT_EQ(list.Call(L"NewIndex").AsLong(), 1);
    list.Let(L"ListIndex", 1);
    EXPECT_EQ(form_->Get<ListBox>(L"List1").ListIndex(), 1);
    EXPECT_EQ(list.Call(L"List", {0}).AsString(), L"日本語");
    EXPECT_EQ(list.Call(L"Text").AsString(), L"two");
    list.Call(L"Clear");
    EXPECT_EQ(form_->Get<ListBox>(L"List1").ListCount(), 0);
}

TEST_F(RuntimeTest, EventsReachHandlersByControlAndEventName) {
    std::vector<std::wstring> seen;
    form_->On(L"TestFrm", L"Load", [&](EventArgs&) { seen.push_back(L"Load"); });
    form_->On(L"Command1", L"Click", [&](EventArgs&) { seen.push_back(L"Click"); });
    form_->On(L"Text1", L"Change", [&](EventArgs&) { seen.push_back(L"Change"); });
    form_->Load();
    form_->Get<CommandButton>(L"Command1").Click();
    form_->Ctl(L"Text1").Let(L"Text", L"xyz");
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"Load", L"Click", L"Change"}));
    EXPECT_EQ(form_->Get<TextBox>(L"Text1").Text(), L"xyz");
}

TEST_F(RuntimeTest, UnloadCanBeCancelledAndOtherwiseDestroysTheForm) {
    bool cancel = true;
    form_->On(L"TestFrm", L"Unload", [&](EventArgs& a) { a.SetLong(0, cancel ? 1 : 0); });
    HWND h = form_->hwnd();
    EXPECT_FALSE(form_->Unload());
    EXPECT_TRUE(IsWindow(h));
    cancel = false;
    SendMessageA(h, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_TRUE(rt_.Forms().empty());
    // Whoever kept a control's object finds it gone, without a crash.
    EXPECT_EQ(form_->Controls().size(), 0u);
}

TEST_F(RuntimeTest, ErrorsAHandlerDoesNotCatchGoToTheRuntime) {
    form_->On(L"Command1", L"Click", [&](EventArgs&) { form_->Ctl(L"Nothing1"); });
    form_->Get<CommandButton>(L"Command1").Click();
    ASSERT_EQ(unhandled_.size(), 1u);
    EXPECT_EQ(unhandled_[0].number, 730);
}

TEST_F(RuntimeTest, LateBoundErrorsCarryTheirNumber) {
    try {
        form_->Ctl(L"List1").Call(L"NoSuchMethod");
        FAIL();
    } catch (const kx::RaisedError& e) {
        EXPECT_EQ(e.error().number, 438);
    }
    try {
        form_->Ctl(L"List1").Let(L"ListIndex", L"not a number");
        FAIL();
    } catch (const kx::RaisedError& e) {
        EXPECT_EQ(e.error().number, 13);
    }
}

TEST(RuntimeFormErrors, UnknownControlKindNamesTheFormAndLine) {
    Runtime rt(Mode::Run);
    try {
        Form::Create(rt, ParseForm(L"Form F\n    Begin Slider S1\n    End\nEnd\n", L"bad.frm"));
        FAIL();
    } catch (const FormFileError& e) {
        EXPECT_EQ(e.line(), 2);
        EXPECT_NE(e.message().find(L"Slider"), std::wstring::npos);
    }
}

TEST(RuntimeFormErrors, UnregisteredActiveXControlIsAClearError) {
    Runtime rt(Mode::Run);
    try {
        Form::Create(rt, ParseForm(L"Form F\n    Begin Control X1 \"No.Such.Control\"\n    End\nEnd\n", L"x.frm"));
        FAIL();
    } catch (const FormFileError& e) {
        EXPECT_EQ(e.line(), 2);
        EXPECT_NE(e.message().find(L"No.Such.Control"), std::wstring::npos);
        EXPECT_NE(e.message().find(L"not registered"), std::wstring::npos);
    }
}

TEST(RuntimeValues, ConversionsAreTheOnesVbMakes) {
    EXPECT_EQ(Var(true).AsString(), L"True");
    EXPECT_EQ(Var(false).AsString(), L"False");
    EXPECT_EQ(Var(L"12").AsLong(), 12);
    try {
        Var(L"twelve").AsLong();
        FAIL() << "a text that is no number";
    } catch (const kx::RaisedError& e) {
        EXPECT_EQ(e.error().number, 13);
    }
}
