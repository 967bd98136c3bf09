// KestrixProp2, the target-events page: the catalogue rows, the value
// boxes in decimal and &h hexadecimal, select all and clear all, the
// changed flag, and what applying writes into TargetEvents.
#include <algorithm>

#include "ActiveXControl.h"
#include "Object.h"
#include "PageControls.h"
#include "PageFixture.h"
#include "PageIds.h"

using namespace kxtest;
using namespace kestrix::pages;
using kestrix::CLSID_KestrixProp2;

namespace {

const wchar_t kConfirm[] = L"TargetEventsﾌﾟﾛﾊﾟﾃｨを設定しました。";

LONG RowOf(const PageDriver& p, const std::wstring& name) {
    for (LONG i = 0; i < p.Rows(kP2List); ++i)
        if (p.Row(kP2List, i) == name) return i;
    return -1;
}

class TargetEventsPage : public PageTest {
protected:
    void SetUp() override {
        PageTest::SetUp();
        LoadDemlet1();
        page_ = std::make_unique<PageDriver>(CLSID_KestrixProp2, std::vector<IDispatch*>{Ext()});
        ASSERT_HRESULT_SUCCEEDED(page_->Activate());
    }
    void TearDown() override {
        page_.reset();
        PageTest::TearDown();
    }
    PageDriver& P() { return *page_; }
    std::unique_ptr<PageDriver> page_;
};

} // namespace

TEST_F(TargetEventsPage, AFillListsTheCatalogueWithRowZeroCurrentAndMarksThePageChanged) {
    EXPECT_EQ(P().Rows(kP2List), 166);
    EXPECT_EQ(P().Text(kP2ListCnt), L"166");
    EXPECT_EQ(P().Text(kP2SelCnt), L"0");
    EXPECT_EQ(P().SelectedCount(kP2List), 0);
    EXPECT_EQ(P().Row(kP2List, 0), L"WM_ACTIVATE");
    EXPECT_EQ(P().Row(kP2List, 6), L"WM_CHAR");
    EXPECT_EQ(P().CurrentRow(kP2List), 0);
    EXPECT_EQ(P().Text(kP2EventDec), L"6");
    EXPECT_EQ(P().Text(kP2EventHex), L"&h6");
    // The fill's click leaves the page changed: the page never clears it itself.
    EXPECT_TRUE(P().Dirty());
    EXPECT_EQ(P().Statuses(), std::vector<DWORD>{PROPPAGESTATUS_DIRTY});
    // Every row is a clean name: no quotes, no blanks.
    for (LONG i = 0; i < P().Rows(kP2List); ++i) {
        const std::wstring row = P().Row(kP2List, i);
        ASSERT_EQ(row.rfind(L"WM_", 0), 0u) << "row " << i << ": " << row;
        ASSERT_EQ(row.find_first_of(L"' "), std::wstring::npos) << "row " << i << ": " << row;
    }
}

TEST_F(TargetEventsPage, TheCurrentRowShowsItsValueInDecimalAndHexadecimal) {
    struct Case {
        const wchar_t* name;
        const wchar_t* dec;
        const wchar_t* hex;
    };
    const Case cases[] = {
        {L"WM_USER", L"1024", L"&h400"}, {L"WM_NULL", L"0", L"&h0"},     {L"WM_KEYDOWN", L"256", L"&h100"},
        {L"WM_PAINT", L"15", L"&hF"},    {L"WM_CHAR", L"258", L"&h102"}, {L"WM_LBUTTONDOWN", L"513", L"&h201"},
    };
    for (const Case& c : cases) {
        const LONG row = RowOf(P(), c.name);
        ASSERT_GE(row, 0) << c.name;
        P().MakeCurrent(kP2List, row);
        EXPECT_EQ(P().Text(kP2EventDec), c.dec) << c.name;
        EXPECT_EQ(P().Text(kP2EventHex), c.hex) << c.name;
    }
    EXPECT_EQ(P().SelectedCount(kP2List), 0) << "making a row current selected it";
}

TEST_F(TargetEventsPage, ApplyQuotesTheSelectedValuesInCatalogueOrderAndConfirms) {
    P().SelectRows(kP2List, {6, 0}); // WM_CHAR, then WM_ACTIVATE
    EXPECT_EQ(P().Text(kP2SelCnt), L"2");
    ASSERT_HRESULT_SUCCEEDED(P().Apply());
    EXPECT_EQ(Get(L"TargetEvents"), L"'6','258'");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, kConfirm);
    EXPECT_EQ(Boxes()[0].icon, 0u);

    P().SelectRows(kP2List, {RowOf(P(), L"WM_PAINT")});
    ASSERT_HRESULT_SUCCEEDED(P().Apply());
    EXPECT_EQ(Get(L"TargetEvents"), L"'15'");

    // Duplicate values stay.
    P().SelectRows(kP2List, {RowOf(P(), L"WM_KEYFIRST"), RowOf(P(), L"WM_KEYDOWN")});
    ASSERT_HRESULT_SUCCEEDED(P().Apply());
    EXPECT_EQ(Get(L"TargetEvents"), L"'256','256'");
}

TEST_F(TargetEventsPage, NoneAndAllBothStoreAll) {
    kxhost::Object(Ext()).Let(L"TargetEvents", L"'12','22'");
    // A fresh page shows none selected: applying as it is overwrites with ALL.
    PageDriver fresh(CLSID_KestrixProp2, {Ext()});
    ASSERT_HRESULT_SUCCEEDED(fresh.Activate());
    EXPECT_EQ(fresh.SelectedCount(kP2List), 0);
    ASSERT_HRESULT_SUCCEEDED(fresh.Apply());
    EXPECT_EQ(Get(L"TargetEvents"), L"ALL");

    kxhost::Object(Ext()).Let(L"TargetEvents", L"'12'");
    P().Click(kP2SelectAll);
    ASSERT_HRESULT_SUCCEEDED(P().Apply());
    EXPECT_EQ(Get(L"TargetEvents"), L"ALL");

    // All but one is listed in full.
    P().Click(kP2SelectAll);
    SendMessageA(P().Item(kP2List), LB_SETSEL, FALSE, 0);
    ASSERT_HRESULT_SUCCEEDED(P().Apply());
    const std::wstring all = Get(L"TargetEvents");
    EXPECT_EQ(all.rfind(L"'28','", 0), 0u) << "row 1, WM_ACTIVATEAPP, comes first: " << all.substr(0, 40);
    EXPECT_EQ(std::count(all.begin(), all.end(), L','), 164);
}

TEST_F(TargetEventsPage, SelectAllAndClearAllUpdateTheCounterAndTheValueBoxes) {
    const LONG user = RowOf(P(), L"WM_USER");
    P().MakeCurrent(kP2List, user);
    ASSERT_EQ(P().Text(kP2EventDec), L"1024");

    P().Click(kP2SelectAll);
    EXPECT_EQ(P().SelectedCount(kP2List), 166);
    EXPECT_EQ(P().Text(kP2SelCnt), L"166");
    EXPECT_EQ(P().CurrentRow(kP2List), 0);
    EXPECT_EQ(P().Text(kP2EventDec), L"6");
    EXPECT_EQ(P().Text(kP2EventHex), L"&h6");
    EXPECT_TRUE(IsWindowVisible(P().Item(kP2List))) << "the list stayed hidden";
    EXPECT_EQ(GetFocus(), P().Item(kP2List));

    P().Click(kP2ClearAll);
    EXPECT_EQ(P().SelectedCount(kP2List), 0);
    EXPECT_EQ(P().Text(kP2SelCnt), L"0");
    EXPECT_TRUE(P().Dirty());
}

TEST_F(TargetEventsPage, OnlyTheFirstSelectedControlIsWrittenAndApplyingClearsTheFlag) {
    // A second form's control is selected second: its notifications must not move.
    auto other = LoadAnother(L"Form Other\n    Begin Control KestrixB \"Kestrix32.Kestrix\"\n    End\nEnd\n");
    auto& b = other->Get<kxhost::ActiveXControl>(L"KestrixB");
    PageDriver p(CLSID_KestrixProp2, {Ext(), other->Find(L"KestrixB")->Dispatch()});
    ASSERT_HRESULT_SUCCEEDED(p.Activate());
    const size_t before = b.Changes().size();
    p.SelectRows(kP2List, {1});
    ASSERT_TRUE(p.Dirty());
    ASSERT_HRESULT_SUCCEEDED(p.Apply());
    EXPECT_FALSE(p.Dirty());
    EXPECT_EQ(Get(L"TargetEvents"), L"'28'");
    EXPECT_EQ(b.Changes().size(), before);
}

TEST_F(TargetEventsPage, AnErrorOfTheControlReachesTheFrameWithoutTheConfirmation) {
    LoadText(L"Form Form1\n    Begin Control Kestrix1 \"Kestrix32.Kestrix\"\n    End\nEnd\n", kxhost::Mode::Run);
    PageDriver p(CLSID_KestrixProp2, {Ext()});
    ASSERT_HRESULT_SUCCEEDED(p.Activate());
    p.SelectRows(kP2List, {0});
    const HRESULT hr = p.Apply();
    EXPECT_EQ(static_cast<unsigned long>(hr), 0x800A0000ul + 10011);
    EXPECT_EQ(PageDriver::ErrorText(), L"実行時にTargetEvents ﾌﾟﾛﾊﾟﾃｨは設定できません");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Get(L"TargetEvents"), L"ALL");
}
