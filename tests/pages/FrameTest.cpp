// The pages in the system's property-page frame, as the designer of the
// form runtime shows it: driven by a thread timer running inside the
// frame's modal loop, which finds the page controls, clicks them and
// presses the frame's buttons. A script that does not finish in time
// cancels the frame, so a test never waits for a user.
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <functional>
#include <vector>

#include <olectl.h>

#include "ActiveXControl.h"
#include "Designer.h"
#include "FormFile.h"
#include "Object.h"
#include "PageControls.h"
#include "PageFixture.h"
#include "PageIds.h"

using namespace kxtest;
using namespace kestrix::pages;

namespace {

constexpr int kApplyButton = 0x3021;

BOOL CALLBACK FindFrame(HWND h, LPARAM out) {
    char cls[16] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(h) && FindWindowExA(h, nullptr, "SysTabControl32", nullptr)) {
        *reinterpret_cast<HWND*>(out) = h;
        return FALSE;
    }
    return TRUE;
}

HWND Frame() {
    HWND frame = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindFrame, reinterpret_cast<LPARAM>(&frame));
    return frame;
}

struct IdSearch {
    int id;
    HWND found;
};
BOOL CALLBACK FindId(HWND h, LPARAM p) {
    auto* s = reinterpret_cast<IdSearch*>(p);
    if (GetDlgCtrlID(h) == s->id && IsWindowVisible(h)) {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}

// A visible control of the frame's current page, found by its id.
HWND Find(HWND frame, int id) {
    IdSearch s{id, nullptr};
    EnumChildWindows(frame, FindId, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// A script run while the frame is open; past its deadline it cancels the frame.
class ScriptRun : public ModalScript {
public:
    explicit ScriptRun(std::vector<Step> steps)
        : ModalScript(Frame, std::move(steps), [](HWND f) { PropSheet_PressButton(f, PSBTN_CANCEL); }) {}
};

bool Click(HWND frame, int id) {
    HWND b = Find(frame, id);
    if (!b) return false;
    SendMessageA(b, BM_CLICK, 0, 0);
    return true;
}

bool ApplyEnabled(HWND frame) { return IsWindowEnabled(GetDlgItem(frame, kApplyButton)) != FALSE; }

class PageFrame : public PageTest {
protected:
    kxhost::Designer& OpenDemlet1() {
        rt_ = std::make_unique<kxhost::Runtime>(kxhost::Mode::Design, L"Demlet1");
        designer_ = std::make_unique<kxhost::Designer>(*rt_);
        designer_->Open(ExeDir() + L"DragDropFrm.frm");
        NoteKestrixLoaded();
        designer_->Select(L"Kestrix1");
        return *designer_;
    }
    std::wstring Prop(const wchar_t* name) const {
        return kxhost::Object(designer_->Selected()->Dispatch()).Call(name).AsString();
    }
    void TearDown() override {
        designer_.reset();
        PageTest::TearDown();
    }
    std::unique_ptr<kxhost::Designer> designer_;
};

} // namespace

TEST_F(PageFrame, TheDesignersFrameShowsTheFirstPageAndOkAppliesIt) {
    kxhost::Designer& d = OpenDemlet1();
    LONG rows = -1;
    bool applyBefore = true, applyAfter = false;
    ScriptRun run({
        [&](HWND f) {
            HWND list = Find(f, kP1List);
            if (!list) return false;
            rows = static_cast<LONG>(SendMessageA(list, LB_GETCOUNT, 0, 0));
            applyBefore = ApplyEnabled(f);
            return true;
        },
        [&](HWND f) { return Click(f, kP1SelectAll); },
        [&](HWND f) {
            applyAfter = ApplyEnabled(f);
            PropSheet_PressButton(f, PSBTN_OK);
            return true;
        },
    });
    EXPECT_HRESULT_SUCCEEDED(d.ShowPropertyPages());
    run.Check();
    EXPECT_EQ(rows, 3);
    EXPECT_FALSE(applyBefore) << "a freshly filled page offered Apply";
    EXPECT_TRUE(applyAfter) << "a changed page did not enable Apply";
    EXPECT_EQ(Prop(L"TargetControls"), L"DragDropFrm,List1,Command1");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, L"TargetControlsﾌﾟﾛﾊﾟﾃｨを設定しました。");
    EXPECT_FALSE(Frame());
    // The designer saves what the page applied.
    EXPECT_TRUE(d.CurrentForm()->Dirty());
    const std::wstring saved = ExeDir() + L"FrameTestSaved.frm";
    d.Save(saved);
    const kxhost::FormDesc desc = kxhost::LoadFormFile(saved);
    DeleteFileW(saved.c_str());
    const auto k = std::find_if(desc.controls.begin(), desc.controls.end(),
                                [](const kxhost::ControlDesc& c) { return c.name == L"Kestrix1"; });
    ASSERT_NE(k, desc.controls.end());
    const auto bag = std::find_if(k->bag.begin(), k->bag.end(),
                                  [](const kxhost::Property& p) { return p.name == L"targetcontrols"; });
    ASSERT_NE(bag, k->bag.end());
    ASSERT_TRUE(std::holds_alternative<std::wstring>(bag->value));
    EXPECT_EQ(std::get<std::wstring>(bag->value), L"DragDropFrm,List1,Command1");
}

TEST_F(PageFrame, TheOtherTabsApplyWithTheApplyButtonAndCancelDropsUnappliedChanges) {
    kxhost::Designer& d = OpenDemlet1();
    LONG eventRows = -1;
    ScriptRun run({
        [&](HWND f) {
            PropSheet_SetCurSel(f, nullptr, 2);
            return true;
        },
        [&](HWND f) { return Click(f, kP3FileDropMode); },
        [&](HWND f) { return ApplyEnabled(f) && Click(f, kApplyButton); },
        [&](HWND) { return !Boxes().empty(); },
        [&](HWND f) {
            PropSheet_SetCurSel(f, nullptr, 1);
            return true;
        },
        [&](HWND f) {
            HWND list = Find(f, kP2List);
            if (!list) return false;
            eventRows = static_cast<LONG>(SendMessageA(list, LB_GETCOUNT, 0, 0));
            SendMessageA(list, LB_SETSEL, TRUE, 6);
            SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(kP2List, LBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(list));
            return true;
        },
        [&](HWND f) {
            PropSheet_PressButton(f, PSBTN_CANCEL);
            return true;
        },
    });
    EXPECT_HRESULT_SUCCEEDED(d.ShowPropertyPages());
    run.Check();
    EXPECT_EQ(eventRows, 166);
    EXPECT_FALSE(kxhost::Object(d.Selected()->Dispatch()).Call(L"FileDropMode").AsBool());
    EXPECT_EQ(Prop(L"TargetEvents"), L"ALL") << "a cancelled page was applied";
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, L"詳細設定を設定しました。");
}

TEST_F(PageFrame, AFailedApplyIsShownAndKeepsTheFrameOpen) {
    // A control at run time refuses TargetControls: the frame gets the error.
    LoadText(
        L"Form Form1\n    Begin CommandButton Command1\n        Caption = \"x\"\n    End\n"
        L"    Begin Control Kestrix1 \"Kestrix32.Kestrix\"\n    End\nEnd\n",
        kxhost::Mode::Run);
    bool openAfterError = false;
    ScriptRun run({
        [&](HWND f) { return Click(f, kP1SelectAll); },
        [&](HWND f) {
            PropSheet_PressButton(f, PSBTN_OK);
            return true;
        },
        [&](HWND) { return !Boxes().empty(); },
        [&](HWND f) {
            openAfterError = IsWindowVisible(f) != FALSE;
            PropSheet_PressButton(f, PSBTN_CANCEL);
            return true;
        },
    });
    IUnknown* object = Ext();
    CLSID pages[] = {kestrix::CLSID_KestrixProp1};
    EXPECT_HRESULT_SUCCEEDED(OleCreatePropertyFrame(form_->hwnd(), 0, 0, L"Kestrix1", 1, &object, 1, pages,
                                                    LOCALE_USER_DEFAULT, 0, nullptr));
    run.Check();
    EXPECT_TRUE(openAfterError);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, L"実行時にTargetControls ﾌﾟﾛﾊﾟﾃｨは設定できません");
    EXPECT_EQ(Boxes()[0].icon, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(Get(L"TargetControls"), L"Form1");
}
