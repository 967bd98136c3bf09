// KestrixProp2, "拡張ｲﾍﾞﾝﾄ": lists every window message of the catalogue,
// shows the current row's value in decimal and hexadecimal, and writes the
// selected values into TargetEvents of the selected control.
#include <cwchar>
#include <vector>

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
    {kP2Heading, Kind::Label, L"TargetEvents ﾌﾟﾛﾊﾟﾃｨ", 300, 240, 3000, 240, 0, nullptr},
    {kP2ListCnt, Kind::Label, L"0", 600, 720, 855, 255, 11, nullptr},
    {kP2CountCaption, Kind::Label, L"Count", 1560, 720, 720, 240, 9, nullptr},
    {kP2SelCnt, Kind::Label, L"0", 2880, 720, 855, 255, 12, nullptr},
    {kP2SelectCaption, Kind::Label, L"Select", 3840, 720, 735, 255, 10, nullptr},
    {kP2List, Kind::ListBox, nullptr, 120, 1080, 4815, 2760, 1, nullptr},
    {kP2Msg0, Kind::Label, L"取得するｲﾍﾞﾝﾄを選択(複数可)", 300, 4005, 4440, 315, 2, nullptr},
    {kP2SelectAll, Kind::Button, L"全選択", 360, 4440, 1215, 615, 7, nullptr},
    {kP2ClearAll, Kind::Button, L"全解除", 1560, 4440, 1215, 615, 8, nullptr},
    {kP2Msg1, Kind::Label, L"選択ｲﾍﾞﾝﾄ値(10進数)", 300, 5340, 2340, 315, 3, nullptr},
    {kP2EventDec, Kind::TextBox, nullptr, 2700, 5340, 2115, 390, 4, nullptr},
    {kP2Msg2, Kind::Label, L"選択ｲﾍﾞﾝﾄ値(16進数)", 300, 5790, 2340, 315, 5, nullptr},
    {kP2EventHex, Kind::TextBox, nullptr, 2700, 5715, 2115, 390, 6, nullptr},
};

const PageLayout kLayout = {L"拡張ｲﾍﾞﾝﾄ", 5055, 6285, kChildren, std::size(kChildren), 0};

// A catalogue entry such as "'6          '" becomes "6": blanks, then one
// quote at each end, then blanks again.
void Clean(std::wstring& s) {
    s = kx::TrimBlanks(s);
    if (!s.empty() && s.front() == L'\'') s.erase(0, 1);
    if (!s.empty() && s.back() == L'\'') s.pop_back();
    s = kx::TrimBlanks(s);
}

// "&h" and the upper-case hexadecimal digits of the number a text starts
// with, as a 32-bit value ("&h0" for zero).
std::wstring HexText(const std::wstring& decimal) {
    const LONG v = wcstol(decimal.c_str(), nullptr, 10);
    wchar_t digits[12] = {};
    swprintf(digits, 12, L"%lX", static_cast<unsigned long>(v));
    return std::wstring(L"&h") + digits;
}

class KestrixProp2 : public PropertyPage<KestrixProp2> {
public:
    ~KestrixProp2() override = default;

private:
    friend ComBase;
    KestrixProp2() : PropertyPage(kLayout) {}

    void SelectionChanged() override {
        SendMessageA(Item(kP2List), LB_RESETCONTENT, 0, 0);
        const LONG un = gFn_Split(Def_AllEventsName, L',', names_);
        const LONG uv = gFn_Split(Def_AllEventsValue, L',', values_);
        if (un != uv) {
            Message(L"Def_AllEventsNameとDef_AllEventsValueﾃﾞｰﾀ数が一致しません", MB_OK | MB_ICONHAND);
            return;
        }
        for (LONG i = 0; i <= un; ++i) {
            Clean(names_[static_cast<size_t>(i)]);
            Clean(values_[static_cast<size_t>(i)]);
            AddRow(kP2List, names_[static_cast<size_t>(i)]);
        }
        SetLabel(kP2ListCnt, kx::Decimal(Rows(kP2List)));
        SetLabel(kP2SelCnt, L"0");
        // This marks the page changed, and the fill leaves it so.
        SetCurrentRow(0);
    }

    void SetCurrentRow(LONG row) {
        SendMessageA(Item(kP2List), LB_SETCARETINDEX, static_cast<WPARAM>(row), FALSE);
        ListClick();
    }

    void ListClick() {
        LONG selected = 0;
        const LONG rows = Rows(kP2List);
        for (LONG i = 0; i < rows; ++i)
            if (RowSelected(kP2List, i)) ++selected;
        SetLabel(kP2SelCnt, kx::Decimal(selected));
        // An empty list (after a catalogue mismatch) has no current value.
        const LONG row = CurrentRow(kP2List);
        if (row >= 0 && static_cast<size_t>(row) < values_.size() && row < rows) {
            forms::SetText(Item(kP2EventDec), values_[static_cast<size_t>(row)]);
            forms::SetText(Item(kP2EventHex), HexText(forms::GetText(Item(kP2EventDec))));
        }
        MarkChanged();
    }

    void Action(int index) {
        HWND list = Item(kP2List);
        ShowWindow(list, SW_HIDE);
        const LONG rows = Rows(kP2List);
        for (LONG i = 0; i < rows; ++i) {
            if (index == 0) SendMessageA(list, LB_SETSEL, TRUE, i);
            else if (index == 1) SendMessageA(list, LB_SETSEL, FALSE, i);
        }
        SetCurrentRow(0);
        ShowWindow(list, SW_SHOW);
        SetFocus(list);
        MarkChanged();
    }

    void Command(int id, WORD code) override {
        if (id == kP2List && code == LBN_SELCHANGE) ListClick();
        else if (id == kP2SelectAll && code == BN_CLICKED) Action(0);
        else if (id == kP2ClearAll && code == BN_CLICKED) Action(1);
    }

    void ApplyChanges() override {
        std::wstring joined;
        LONG n = 0;
        const LONG rows = Rows(kP2List);
        for (LONG i = 0; i < rows && static_cast<size_t>(i) < values_.size(); ++i) {
            if (!RowSelected(kP2List, i)) continue;
            joined += L",'";
            joined += values_[static_cast<size_t>(i)];
            joined += L"'";
            ++n;
        }
        // None and all say the same: every message.
        const std::wstring result = (n == 0 || n == rows) ? std::wstring(L"ALL") : joined.substr(1);
        kx::byname::Let(Selected().Get(), L"TargetEvents", result);
        Message(L"TargetEventsﾌﾟﾛﾊﾟﾃｨを設定しました。", MB_OK);
    }

    std::vector<std::wstring> names_; // ms_EventNames
    std::vector<std::wstring> values_; // ms_EventValues
};

} // namespace

HRESULT CreateKestrixProp2(REFIID iid, void** out) { return kx::ole::CreateInstance<KestrixProp2>(iid, out); }

} // namespace kestrix
