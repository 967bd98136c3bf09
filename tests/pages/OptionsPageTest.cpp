// KestrixProp3, the options page: loaded from the control, the change
// handlers, the defaults filled in on apply, the reload after it, and
// failures that stop the apply where they happen.
#include "ActiveXControl.h"
#include "Object.h"
#include "PageControls.h"
#include "PageFixture.h"
#include "PageIds.h"

using namespace kxtest;
using namespace kestrix::pages;
using kestrix::CLSID_KestrixProp3;

namespace {

constexpr DISPID kIdDebugFile = 0x68030002;
const wchar_t kConfirm[] = L"詳細設定を設定しました。";

std::wstring FormWith(const std::wstring& bag, const std::wstring& extra = L"") {
    return L"Form Form1\n"
           L"    Begin Control Kestrix1 \"Kestrix32.Kestrix\"\n" +
        bag + L"    End\n" + extra + L"End\n";
}

bool Checked(const PageDriver& p, int id) { return SendMessageA(p.Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool Enabled(const PageDriver& p, int id) { return IsWindowEnabled(p.Item(id)) != FALSE; }

class OptionsPage : public PageTest {
protected:
    bool Flag(const wchar_t* prop) const { return kxhost::Object(Ext()).Call(prop).AsBool(); }
};

} // namespace

TEST_F(OptionsPage, ShowsTheControlsValuesUnchanged) {
    LoadDemlet1();
    PageDriver p(CLSID_KestrixProp3, {Ext()});
    ASSERT_HRESULT_SUCCEEDED(p.Activate());
    EXPECT_TRUE(Checked(p, kP3DebugMode));
    EXPECT_TRUE(Enabled(p, kP3DebugFile));
    EXPECT_EQ(p.Text(kP3DebugFile), L"Kestrix1.Dbg");
    EXPECT_TRUE(Checked(p, kP3FileDropMode));
    EXPECT_TRUE(Checked(p, kP3Link));
    EXPECT_FALSE(Enabled(p, kP3Link)) << "the link cannot be switched off";
    EXPECT_EQ(p.Text(kP3LinkName), L"Kestrix");
    EXPECT_FALSE(p.Dirty());
    ASSERT_FALSE(p.Statuses().empty());
    EXPECT_EQ(p.Statuses().back(), static_cast<DWORD>(PROPPAGESTATUS_CLEAN));
}

TEST_F(OptionsPage, DebugModeOffShowsTheFileDisabledAndApplyingLeavesTheFileAlone) {
    LoadText(
        FormWith(L"        Bag debugmode = False\n        Bag debugfile = \"trace.dbg\"\n"
                 L"        Bag linkname = \"Peer\"\n        Bag filedropmode = False\n"));
    auto& k = form_->Get<kxhost::ActiveXControl>(L"Kestrix1");
    PageDriver p(CLSID_KestrixProp3, {Ext()});
    ASSERT_HRESULT_SUCCEEDED(p.Activate());
    EXPECT_FALSE(Checked(p, kP3DebugMode));
    EXPECT_FALSE(Enabled(p, kP3DebugFile));
    EXPECT_EQ(p.Text(kP3DebugFile), L"trace.dbg");
    EXPECT_FALSE(Checked(p, kP3FileDropMode));
    EXPECT_EQ(p.Text(kP3LinkName), L"Peer");
    EXPECT_FALSE(p.Dirty());

    p.Type(kP3DebugFile, L"other.dbg");
    EXPECT_TRUE(p.Dirty());
    const size_t before = k.Changes().size();
    ASSERT_HRESULT_SUCCEEDED(p.Apply());
    EXPECT_FALSE(Flag(L"DebugMode"));
    EXPECT_EQ(Get(L"DebugFile"), L"trace.dbg");
    for (size_t i = before; i < k.Changes().size(); ++i) EXPECT_NE(k.Changes()[i], kIdDebugFile);
    // Reloaded from the control.
    EXPECT_EQ(p.Text(kP3DebugFile), L"trace.dbg");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, kConfirm);
    EXPECT_EQ(Boxes()[0].icon, 0u);
    EXPECT_FALSE(p.Dirty());
}

TEST_F(OptionsPage, TheChangeHandlersMarkThePageAndTheDebugBoxFollowsItsCheckBox) {
    LoadDemlet1();
    PageDriver p(CLSID_KestrixProp3, {Ext()});
    ASSERT_HRESULT_SUCCEEDED(p.Activate());
    p.SetCheck(kP3DebugMode, false);
    EXPECT_FALSE(Enabled(p, kP3DebugFile));
    EXPECT_TRUE(p.Dirty());
    p.SetCheck(kP3DebugMode, true);
    EXPECT_TRUE(Enabled(p, kP3DebugFile));

    for (int id : {kP3FileDropMode, kP3LinkName, kP3DebugFile}) {
        IDispatch* again = Ext();
        ASSERT_HRESULT_SUCCEEDED(p.page()->SetObjects(1, reinterpret_cast<IUnknown**>(&again)));
        ASSERT_FALSE(p.Dirty());
        if (id == kP3FileDropMode) p.SetCheck(id, false);
        else p.Type(id, L"x");
        EXPECT_TRUE(p.Dirty()) << "control " << id;
    }
}

TEST_F(OptionsPage, BlankNamesGetTheirDefaultsAndTypedNamesGoAsTyped) {
    LoadDemlet1();
    PageDriver p(CLSID_KestrixProp3, {Ext()});
    ASSERT_HRESULT_SUCCEEDED(p.Activate());
    p.Type(kP3DebugFile, L"   ");
    p.Type(kP3LinkName, L"");
    ASSERT_HRESULT_SUCCEEDED(p.Apply());
    EXPECT_EQ(Get(L"DebugFile"), L"Kestrix1.Dbg");
    EXPECT_EQ(Get(L"LinkName"), L"Kestrix");
    EXPECT_EQ(p.Text(kP3DebugFile), L"Kestrix1.Dbg");
    EXPECT_EQ(p.Text(kP3LinkName), L"Kestrix");

    // Spaces go to the control, whose own rule removes them.
    p.Type(kP3DebugFile, L" log.txt ");
    p.Type(kP3LinkName, L"  Peer 2 ");
    p.SetCheck(kP3FileDropMode, false);
    ASSERT_HRESULT_SUCCEEDED(p.Apply());
    EXPECT_EQ(Get(L"DebugFile"), L"log.txt");
    EXPECT_EQ(Get(L"LinkName"), L"Peer 2");
    EXPECT_FALSE(Flag(L"FileDropMode"));
    EXPECT_EQ(p.Text(kP3DebugFile), L"log.txt");
    EXPECT_EQ(p.Text(kP3LinkName), L"Peer 2");
    EXPECT_FALSE(Checked(p, kP3FileDropMode));
    EXPECT_FALSE(p.Dirty());
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1].text, kConfirm);
}

TEST_F(OptionsPage, TheDefaultFileIsNamedAfterTheLastLoadedControl) {
    // Two controls: the engine's call-back control is Kestrix2, loaded last.
    LoadText(FormWith(L"", L"    Begin Control Kestrix2 \"Kestrix32.Kestrix\"\n    End\n"));
    auto& k2 = form_->Get<kxhost::ActiveXControl>(L"Kestrix2");
    PageDriver p(CLSID_KestrixProp3, {Ext(L"Kestrix1"), Ext(L"Kestrix2")});
    ASSERT_HRESULT_SUCCEEDED(p.Activate());
    const size_t before = k2.Changes().size();
    p.Type(kP3DebugFile, L"");
    ASSERT_HRESULT_SUCCEEDED(p.Apply());
    EXPECT_EQ(Get(L"DebugFile", L"Kestrix1"), L"Kestrix2.Dbg");
    EXPECT_EQ(k2.Changes().size(), before) << "the second selected control was written";
}

TEST_F(OptionsPage, AFailedWriteStopsTheApplyKeepsWhatWasWrittenAndConfirmsNothing) {
    // At run time DebugMode may be set, FileDropMode may not (10020).
    LoadText(FormWith(L""), kxhost::Mode::Run);
    PageDriver p(CLSID_KestrixProp3, {Ext()});
    ASSERT_HRESULT_SUCCEEDED(p.Activate());
    p.SetCheck(kP3DebugMode, false);
    p.Type(kP3LinkName, L"  typed ");
    const HRESULT hr = p.Apply();
    EXPECT_EQ(static_cast<unsigned long>(hr), 0x800A0000ul + 10020);
    EXPECT_EQ(PageDriver::ErrorText(), L"実行時にFileDropMode ﾌﾟﾛﾊﾟﾃｨは設定できません");
    EXPECT_FALSE(Flag(L"DebugMode")) << "what was written before the failure stays";
    EXPECT_EQ(Get(L"LinkName"), L"Kestrix");
    EXPECT_EQ(p.Text(kP3LinkName), L"  typed ") << "the page was reloaded after a failure";
    EXPECT_TRUE(p.Dirty());
    EXPECT_TRUE(Boxes().empty());
}
