// KestrixProp1, the target-controls page: what it lists for a form, the
// counters, select all and clear all, the changed flag, and what applying
// writes into TargetControls of the first selected control.
#include <windows.h>
#include <prsht.h>

#include "ActiveXControl.h"
#include "PageControls.h"
#include "PageFixture.h"
#include "PageIds.h"

using namespace kxtest;
using namespace kestrix::pages;
using kestrix::CLSID_KestrixProp1;

namespace {

constexpr DISPID kIdTargetControls = 0x68030006;
const wchar_t kConfirm[] = L"TargetControlsﾌﾟﾛﾊﾟﾃｨを設定しました。";

std::vector<std::wstring> RowsOf(const PageDriver& p) {
    std::vector<std::wstring> rows;
    for (LONG i = 0; i < p.Rows(kP1List); ++i) rows.push_back(p.Row(kP1List, i));
    return rows;
}

// A form with a control array, a label, a check box and two Kestrix controls.
const wchar_t kArrayForm[] =
    L"Form Form1\n"
    L"    Begin TextBox Text1(0)\n        Left = 0\n        Top = 0\n    End\n"
    L"    Begin TextBox Text1(1)\n        Left = 0\n        Top = 400\n    End\n"
    L"    Begin Label Label1\n        Caption = \"x\"\n        Left = 0\n        Top = 800\n    End\n"
    L"    Begin TextBox Text1(2)\n        Left = 0\n        Top = 1200\n    End\n"
    L"    Begin Control Kestrix1 \"Kestrix32.Kestrix\"\n        Left = 2000\n        Top = 0\n    End\n"
    L"    Begin CheckBox Check1\n        Caption = \"c\"\n        Left = 0\n        Top = 1600\n    End\n"
    L"    Begin Control Kestrix2 \"Kestrix32.Kestrix\"\n        Left = 2000\n        Top = 600\n    End\n"
    L"End\n";

const wchar_t kOtherForm[] =
    L"Form Other\n"
    L"    Begin CommandButton Go\n        Caption = \"Go\"\n        Left = 0\n        Top = 0\n    End\n"
    L"    Begin Control KestrixB \"Kestrix32.Kestrix\"\n        Left = 2000\n        Top = 0\n    End\n"
    L"End\n";

class TargetControlsPage : public PageTest {};

} // namespace

TEST_F(TargetControlsPage, Demlet1FormGivesTheFormAndItsWindowedControlsNoneSelectedAndUnchanged) {
    LoadDemlet1();
    // The saved value names all three; the page never reads it.
    ASSERT_EQ(Get(L"TargetControls"), L"DragDropFrm,Command1,List1");
    PageDriver p(CLSID_KestrixProp1, {Ext()});
    ASSERT_HRESULT_SUCCEEDED(p.Activate());
    // The form's own order (List1 comes first in Demlet1's form); labels
    // have no window, and the control itself is left out.
    EXPECT_EQ(RowsOf(p), (std::vector<std::wstring>{L"DragDropFrm", L"List1", L"Command1"}));
    EXPECT_EQ(p.Text(kP1ListCnt), L"3");
    EXPECT_EQ(p.Text(kP1SelCnt), L"0");
    EXPECT_EQ(p.SelectedCount(kP1List), 0);
    EXPECT_EQ(p.CurrentRow(kP1List), 0);
    EXPECT_FALSE(p.Dirty());
    // The fill's own click marks the page changed, and the fill clears it.
    EXPECT_EQ(p.Statuses(), (std::vector<DWORD>{PROPPAGESTATUS_DIRTY, PROPPAGESTATUS_CLEAN}));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(TargetControlsPage, ApplyJoinsTheSelectedNamesInRowOrderAndConfirms) {
    LoadDemlet1();
    PageDriver p(CLSID_KestrixProp1, {Ext()});
    ASSERT_HRESULT_SUCCEEDED(p.Activate());

    p.SelectRows(kP1List, {2, 0, 1});
    EXPECT_EQ(p.Text(kP1SelCnt), L"3");
    EXPECT_TRUE(p.Dirty());
    ASSERT_HRESULT_SUCCEEDED(p.Apply());
    EXPECT_EQ(Get(L"TargetControls"), L"DragDropFrm,List1,Command1");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, kConfirm);
    EXPECT_EQ(Boxes()[0].icon, 0u);
    EXPECT_FALSE(p.Dirty()) << "applied changes are no longer unapplied";

    p.SelectRows(kP1List, {1});
    EXPECT_EQ(p.Text(kP1SelCnt), L"1");
    ASSERT_HRESULT_SUCCEEDED(p.Apply());
    EXPECT_EQ(Get(L"TargetControls"), L"List1"); // no comma before or after

    // Nothing selected: the empty text, which the control stores as "(Nothing)".
    p.SelectRows(kP1List, {});
    EXPECT_EQ(p.Text(kP1SelCnt), L"0");
    ASSERT_HRESULT_SUCCEEDED(p.Apply());
    EXPECT_EQ(Get(L"TargetControls"), L"(Nothing)");
    EXPECT_EQ(Boxes().size(), 3u);
}

TEST_F(TargetControlsPage, SelectAllAndClearAllSetEveryRowMakeRowZeroCurrentAndFocusTheList) {
    LoadDemlet1();
    PageDriver p(CLSID_KestrixProp1, {Ext()});
    ASSERT_HRESULT_SUCCEEDED(p.Activate());
    p.MakeCurrent(kP1List, 2);
    ASSERT_EQ(p.CurrentRow(kP1List), 2);

    p.Click(kP1SelectAll);
    EXPECT_EQ(p.SelectedCount(kP1List), 3);
    EXPECT_EQ(p.Text(kP1SelCnt), L"3");
    EXPECT_EQ(p.CurrentRow(kP1List), 0);
    EXPECT_EQ(GetFocus(), p.Item(kP1List));
    EXPECT_TRUE(p.Dirty());

    p.Click(kP1ClearAll);
    EXPECT_EQ(p.SelectedCount(kP1List), 0);
    EXPECT_EQ(p.Text(kP1SelCnt), L"0");
    ASSERT_HRESULT_SUCCEEDED(p.Apply());
    EXPECT_EQ(Get(L"TargetControls"), L"(Nothing)");
}

TEST_F(TargetControlsPage, AnyKeyInTheListMarksThePageChanged) {
    LoadDemlet1();
    PageDriver p(CLSID_KestrixProp1, {Ext()});
    ASSERT_HRESULT_SUCCEEDED(p.Activate());
    ASSERT_FALSE(p.Dirty());
    // A key that moves nothing: only the key handling can mark the page.
    SendMessageA(p.Item(kP1List), WM_KEYDOWN, VK_SHIFT, 0);
    EXPECT_TRUE(p.Dirty());
    EXPECT_EQ(p.SelectedCount(kP1List), 0);

    // A new selection fills again and clears the flag; a typed character marks it.
    IDispatch* again = Ext();
    ASSERT_HRESULT_SUCCEEDED(p.page()->SetObjects(1, reinterpret_cast<IUnknown**>(&again)));
    EXPECT_FALSE(p.Dirty());
    SendMessageA(p.Item(kP1List), WM_CHAR, '!', 0);
    EXPECT_TRUE(p.Dirty());
}

TEST_F(TargetControlsPage, ArraysRepeatTheirNameOtherKestrixControlsAreListedTheLastLoadedIsNot) {
    LoadText(kArrayForm);
    // Kestrix2 was loaded last: it is the one left out, whichever is selected.
    PageDriver p(CLSID_KestrixProp1, {Ext(L"Kestrix1")});
    ASSERT_HRESULT_SUCCEEDED(p.Activate());
    EXPECT_EQ(RowsOf(p), (std::vector<std::wstring>{L"Form1", L"Text1", L"Text1", L"Text1", L"Kestrix1", L"Check1"}));
    EXPECT_EQ(p.Text(kP1ListCnt), L"6");
    p.SelectRows(kP1List, {1, 3});
    ASSERT_HRESULT_SUCCEEDED(p.Apply());
    EXPECT_EQ(Get(L"TargetControls"), L"Text1,Text1");
}

TEST_F(TargetControlsPage, OnlyTheFirstSelectedControlIsWritten) {
    LoadText(kArrayForm);
    auto& k1 = form_->Get<kxhost::ActiveXControl>(L"Kestrix1");
    auto& k2 = form_->Get<kxhost::ActiveXControl>(L"Kestrix2");
    PageDriver p(CLSID_KestrixProp1, {Ext(L"Kestrix2"), Ext(L"Kestrix1")});
    ASSERT_HRESULT_SUCCEEDED(p.Activate());
    const size_t before1 = k1.Changes().size(), before2 = k2.Changes().size();
    p.SelectRows(kP1List, {0});
    ASSERT_HRESULT_SUCCEEDED(p.Apply());
    EXPECT_EQ(Get(L"TargetControls", L"Kestrix2"), L"Form1");
    ASSERT_EQ(k2.Changes().size(), before2 + 1);
    EXPECT_EQ(k2.Changes().back(), kIdTargetControls);
    EXPECT_EQ(k1.Changes().size(), before1) << "the second selected control was written";
}

TEST_F(TargetControlsPage, ListsTheFormOfTheLastLoadedControlWhicheverIsSelected) {
    LoadDemlet1();
    auto other = LoadAnother(kOtherForm);
    PageDriver p(CLSID_KestrixProp1, {Ext()}); // DragDropFrm's Kestrix1
    ASSERT_HRESULT_SUCCEEDED(p.Activate());
    EXPECT_EQ(RowsOf(p), (std::vector<std::wstring>{L"Other", L"Go"}));
}

TEST_F(TargetControlsPage, AnErrorOfTheControlReachesTheFrameWithoutTheConfirmation) {
    // At run time the control refuses TargetControls with 10005.
    LoadText(
        L"Form Form1\n    Begin CommandButton Command1\n        Caption = \"x\"\n    End\n"
        L"    Begin Control Kestrix1 \"Kestrix32.Kestrix\"\n    End\nEnd\n",
        kxhost::Mode::Run);
    PageDriver p(CLSID_KestrixProp1, {Ext()});
    ASSERT_HRESULT_SUCCEEDED(p.Activate());
    p.SelectRows(kP1List, {1});
    const HRESULT hr = p.Apply();
    EXPECT_EQ(static_cast<unsigned long>(hr), 0x800A0000ul + 10005);
    EXPECT_EQ(PageDriver::ErrorText(), L"実行時にTargetControls ﾌﾟﾛﾊﾟﾃｨは設定できません");
    EXPECT_TRUE(Boxes().empty()) << "confirmed a write that failed";
    EXPECT_TRUE(p.Dirty()) << "a failed apply keeps the changes unapplied";
    EXPECT_EQ(Get(L"TargetControls"), L"Form1");
}

TEST_F(TargetControlsPage, WithoutALoadedControlTheFillFailsBackToTheFrame) {
    LoadDemlet1();
    kx::ComPtr<IDispatch> ext = Ext();
    form_.reset(); // the control ends and the engine lets go of it
    PageDriver p(CLSID_KestrixProp1, {ext.Get()});
    const HRESULT hr = p.Activate();
    EXPECT_EQ(static_cast<unsigned long>(hr), 0x800A0000ul + 91);
    EXPECT_EQ(p.Rows(kP1List), 0);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(TargetControlsPage, APageLetGoWithoutDeactivatingTakesItsWindowAndHooksWithIt) {
    LoadDemlet1();
    kx::ComPtr<IPropertyPage> page;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_KestrixProp1, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&page)));
    kx::UniqueHwnd host(CreateWindowExA(0, "STATIC", "Host", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 400, 500, nullptr,
                                        nullptr, nullptr, nullptr));
    IUnknown* object = Ext();
    ASSERT_HRESULT_SUCCEEDED(page->SetObjects(1, &object));
    RECT at{0, 0, 337, 419};
    ASSERT_HRESULT_SUCCEEDED(page->Activate(host.get(), &at, TRUE));
    HWND w = FindWindowExA(host.get(), nullptr, "#32770", nullptr);
    ASSERT_TRUE(w);
    // With the focus inside, the window's going may notify the page (the
    // list losing the focus) while the page is being destroyed.
    SetForegroundWindow(host.get());
    SetFocus(GetDlgItem(w, kP1List));
    ASSERT_EQ(GetFocus(), GetDlgItem(w, kP1List));
    page.Reset();
    EXPECT_FALSE(IsWindow(w));
    // The host's window no longer leads to the page.
    NMHDR apply{host.get(), 0, static_cast<UINT>(PSN_APPLY)};
    SendMessageA(host.get(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&apply));
    EXPECT_TRUE(Boxes().empty());
}
