// KestrixProp1, "対象ｺﾝﾄﾛｰﾙ": lists the form of the most recently created or
// loaded Kestrix control and the form's windowed controls, and writes the
// selected names into TargetControls of the selected control.
#include "ByName.h"
#include "ClassFactory.h"
#include "KestrixBas.h"
#include "PageControls.h"
#include "Pages.h"
#include "PropertyPage.h"
#include "Text.h"

namespace kestrix {

namespace {

using namespace pages;
using forms::Kind;

const forms::ChildDesc kChildren[] = {
    {kP1Heading, Kind::Label, L"TargetControls ﾌﾟﾛﾊﾟﾃｨ", 300, 240, 4095, 255, 0, nullptr},
    {kP1ListCnt, Kind::Label, L"0", 600, 720, 855, 255, 6, nullptr},
    {kP1CountCaption, Kind::Label, L"Count", 1560, 720, 720, 240, 8, nullptr},
    {kP1SelCnt, Kind::Label, L"0", 2880, 720, 855, 255, 5, nullptr},
    {kP1SelectCaption, Kind::Label, L"Select", 3840, 720, 735, 255, 7, nullptr},
    {kP1List, Kind::ListBox, nullptr, 120, 1080, 4815, 3660, 1, nullptr},
    {kP1Msg, Kind::Label, L"ｲﾍﾞﾝﾄを拡張するｺﾝﾄﾛｰﾙを選択(複数可)", 360, 4920, 4335, 255, 2, nullptr},
    {kP1SelectAll, Kind::Button, L"全選択", 360, 5400, 1215, 615, 3, nullptr},
    {kP1ClearAll, Kind::Button, L"全解除", 1560, 5400, 1215, 615, 4, nullptr},
};

const PageLayout kLayout = {L"対象ｺﾝﾄﾛｰﾙ", 5055, 6285, kChildren, std::size(kChildren), kP1List};

class KestrixProp1 : public PropertyPage<KestrixProp1> {
public:
    ~KestrixProp1() override = default;

private:
    friend ComBase;
    KestrixProp1() : PropertyPage(kLayout) {}

    void SelectionChanged() override {
        SendMessageA(Item(kP1List), LB_RESETCONTENT, 0, 0);
        IDispatch* callback = gFn_Engine().g_CallbackCtl.Get();
        const kx::ComPtr<IDispatch> form = kx::byname::GetObject(callback, L"Parent");
        AddRow(kP1List, kx::byname::GetString(form.Get(), L"Name"));
        const std::wstring own = kx::byname::GetString(callback, L"Name");
        const kx::ComPtr<IDispatch> controls = kx::byname::GetObject(form.Get(), L"Controls");
        for (const kx::ComPtr<IDispatch>& member : kx::byname::Members(controls.Get())) {
            // The collection yields the form itself too: it is row 0 already.
            if (member && kx::SameObject(member.Get(), form.Get())) continue;
            if (gFn_CtlHwnd(member.Get()) == 0) continue; // no window: labels, shapes, timers...
            const std::wstring name = kx::byname::GetString(member.Get(), L"Name");
            if (name == own) continue;
            AddRow(kP1List, name);
        }
        SetLabel(kP1ListCnt, kx::Decimal(Rows(kP1List)));
        SetLabel(kP1SelCnt, L"0");
        SetCurrentRow(0);
        // A freshly filled page has no changes.
        ClearChanged();
    }

    // Setting the current row changes no row's selection and runs the
    // click handling, as a click does.
    void SetCurrentRow(LONG row) {
        SendMessageA(Item(kP1List), LB_SETCARETINDEX, static_cast<WPARAM>(row), FALSE);
        ListClick();
    }

    void ListClick() {
        LONG selected = 0;
        const LONG rows = Rows(kP1List);
        for (LONG i = 0; i < rows; ++i)
            if (RowSelected(kP1List, i)) ++selected;
        SetLabel(kP1SelCnt, kx::Decimal(selected));
        MarkChanged();
    }

    void Action(int index) {
        const LONG rows = Rows(kP1List);
        for (LONG i = 0; i < rows; ++i) {
            if (index == 0) SendMessageA(Item(kP1List), LB_SETSEL, TRUE, i);
            else if (index == 1) SendMessageA(Item(kP1List), LB_SETSEL, FALSE, i);
        }
        SetCurrentRow(0);
        SetFocus(Item(kP1List));
        MarkChanged();
    }

    void Command(int id, WORD code) override {
        if (id == kP1List && code == LBN_SELCHANGE) ListClick();
        else if (id == kP1SelectAll && code == BN_CLICKED) Action(0);
        else if (id == kP1ClearAll && code == BN_CLICKED) Action(1);
    }

    void ApplyChanges() override {
        std::wstring joined;
        LONG n = 0;
        const LONG rows = Rows(kP1List);
        for (LONG i = 0; i < rows; ++i) {
            if (!RowSelected(kP1List, i)) continue;
            joined += L",";
            joined += RowText(kP1List, i);
            ++n;
        }
        kx::byname::Let(Selected().Get(), L"TargetControls", n > 0 ? joined.substr(1) : std::wstring());
        Message(L"TargetControlsﾌﾟﾛﾊﾟﾃｨを設定しました。", MB_OK);
    }
};

} // namespace

HRESULT CreateKestrixProp1(REFIID iid, void** out) { return kx::ole::CreateInstance<KestrixProp1>(iid, out); }

} // namespace kestrix
