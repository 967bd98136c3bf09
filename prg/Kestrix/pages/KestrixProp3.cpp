// KestrixProp3, "詳細設定": DebugMode and DebugFile, FileDropMode and
// LinkName of the selected control, shown as the control reports them and
// written back with defaults for an empty file name or link name.
#include "ByName.h"
#include "Defaults.h"
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
    {kP3DebugMode, Kind::CheckBox, L" 拡張イベント発生情報をログに記録", 240, 600, 4695, 495, 0, nullptr},
    {kP3FileCaption, Kind::Label, L"ログファイル：", 480, 1200, 1695, 255, 5, nullptr},
    {kP3DebugFile, Kind::TextBox, nullptr, 480, 1560, 4215, 375, 1, nullptr},
    {kP3FileDropMode, Kind::CheckBox, L" ドロップされたファイル名を取得", 240, 2400, 4695, 495, 2, nullptr},
    {kP3DropNote, Kind::Label, L"(FileDropイベントが発生するようになる)", 600, 2880, 4455, 255, 8, nullptr},
    {kP3Link, Kind::CheckBox, nullptr, 240, 3600, 255, 495, 3, nullptr},
    {kP3LinkCaption, Kind::Label, L"  他のアプリケーションにデータを送る", 480, 3720, 4455, 375, 7, nullptr},
    {kP3NameCaption, Kind::Label, L"通信名：", 480, 4200, 1695, 255, 6, nullptr},
    {kP3LinkName, Kind::TextBox, nullptr, 480, 4560, 4215, 375, 4, nullptr},
};

const PageLayout kLayout = {L"詳細設定", 5055, 5880, kChildren, std::size(kChildren), 0};

class KestrixProp3 : public PropertyPage<KestrixProp3> {
public:
    ~KestrixProp3() override = default;

private:
    friend ComBase;
    KestrixProp3() : PropertyPage(kLayout) {}

    int Check(int id) const { return static_cast<int>(SendMessageA(Item(id), BM_GETCHECK, 0, 0)); }

    // Setting a check box's value runs its click handler when the value
    // changes, as a click does.
    void SetCheck(int id, int value) {
        if (Check(id) == value) return;
        SendMessageA(Item(id), BM_SETCHECK, static_cast<WPARAM>(value), 0);
        Command(id, BN_CLICKED);
    }

    // Setting a box's text runs its change handler (EN_CHANGE).
    void SetBox(int id, const std::wstring& text) { forms::SetText(Item(id), text); }

    void SelectionChanged() override {
        const kx::ComPtr<IDispatch> ctl = Selected();
        const bool debug = kx::byname::GetBool(ctl.Get(), L"DebugMode");
        SetCheck(kP3DebugMode, debug ? BST_CHECKED : BST_UNCHECKED);
        EnableWindow(Item(kP3DebugFile), debug);
        SetBox(kP3DebugFile, kx::byname::GetString(ctl.Get(), L"DebugFile"));
        SetCheck(kP3FileDropMode, kx::byname::GetBool(ctl.Get(), L"FileDropMode") ? BST_CHECKED : BST_UNCHECKED);
        // No property switches the link off: always on, never read.
        EnableWindow(Item(kP3Link), FALSE);
        SendMessageA(Item(kP3Link), BM_SETCHECK, BST_CHECKED, 0);
        SetBox(kP3LinkName, kx::byname::GetString(ctl.Get(), L"LinkName"));
        ClearChanged();
    }

    void Command(int id, WORD code) override {
        if (id == kP3DebugMode && code == BN_CLICKED) {
            EnableWindow(Item(kP3DebugFile), Check(kP3DebugMode) == BST_CHECKED);
            MarkChanged();
        } else if ((id == kP3FileDropMode && code == BN_CLICKED) ||
                   ((id == kP3DebugFile || id == kP3LinkName) && code == EN_CHANGE)) {
            MarkChanged();
        }
    }

    void ApplyChanges() override {
        const kx::ComPtr<IDispatch> ctl = Selected();
        if (Check(kP3DebugMode) == BST_CHECKED) {
            kx::byname::Let(ctl.Get(), L"DebugMode", true);
            const std::wstring file = forms::GetText(Item(kP3DebugFile));
            if (kx::TrimBlanks(file).empty()) {
                kx::byname::Let(ctl.Get(), L"DebugFile",
                                kx::byname::GetString(gFn_Engine().g_CallbackCtl.Get(), L"Name") + kDebugFileSuffix);
                SetBox(kP3DebugFile, kx::byname::GetString(ctl.Get(), L"DebugFile"));
            } else {
                kx::byname::Let(ctl.Get(), L"DebugFile", file); // as typed: the control trims
            }
        } else {
            kx::byname::Let(ctl.Get(), L"DebugMode", false);
        }
        kx::byname::Let(ctl.Get(), L"FileDropMode", Check(kP3FileDropMode) == BST_CHECKED);
        const std::wstring link = forms::GetText(Item(kP3LinkName));
        if (kx::TrimBlanks(link).empty()) {
            kx::byname::Let(ctl.Get(), L"LinkName", std::wstring(kDefaultLinkName));
            SetBox(kP3LinkName, kx::byname::GetString(ctl.Get(), L"LinkName"));
        } else {
            kx::byname::Let(ctl.Get(), L"LinkName", link);
        }
        SelectionChanged();
        Message(std::wstring(Caption()) + L"を設定しました。", MB_OK);
    }
};

} // namespace

HRESULT CreateKestrixProp3(REFIID iid, void** out) { return kx::ole::CreateInstance<KestrixProp3>(iid, out); }

} // namespace kestrix
