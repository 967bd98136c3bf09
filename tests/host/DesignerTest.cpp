// Design mode: the designer's main window, opening a saved form, placing a
// new control, property pages, the about entry and saving.
#include "HostFixture.h"
#include "Ansi.h"
#include "Designer.h"
#include "FormFileTestSupport.h"
#include <olectl.h>

using namespace kxhost;
using namespace kxtest;

namespace {

const char kSaved[] =
    "Form Entwurf\n"
    "    Caption = \"設計\"\n"
    "    Begin Label Label1(1)\n"
    "        Caption = \"一\"\n"
    "    End\n"
    "    Begin Control Ctl1 \"KxTest.Ctl\"\n"
    "        Left = 240\n"
    "        Top = 240\n"
    "        Bag caption = \"Gespeichert\"\n"
    "    End\n"
    "    Begin Control Ctl2(3) \"KxTest.Ctl\"\n"
    "        Bag value = 3\n"
    "    End\n"
    "End\n";

class DesignerTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestControl();
        scratch_.Write(L"saved.frm", kSaved);
    }
    Object Ctl(const std::wstring& name, std::optional<LONG> index = std::nullopt) {
        return designer_.CurrentForm()->Ctl(name, index);
    }
    Runtime rt_{Mode::Design, L"DesignerTest"};
    Designer designer_{rt_, L"Kestrix"};
    ScratchFolder scratch_;
};

} // namespace

TEST_F(DesignerTest, TheMainWindowIsTitledAsTheDevelopmentEnvironment) {
    EXPECT_EQ(Designer::TitleFor(L"Kestrix"), L"Kestrix - Microsoft Visual Basic [デザイン]");
    EXPECT_EQ(FindWindowA(nullptr, kx::ToAnsi(L"Kestrix - Microsoft Visual Basic [デザイン]").c_str()),
              designer_.hwnd());
    EXPECT_EQ(designer_.CurrentForm(), nullptr);
    EXPECT_EQ(designer_.Selected(), nullptr);
    EXPECT_EQ(designer_.ShowPropertyPages(), E_UNEXPECTED);
    EXPECT_EQ(designer_.ShowAbout(), E_UNEXPECTED);
}

TEST_F(DesignerTest, OpenPlaceSaveAndOpenAgain) {
    designer_.Open(scratch_.Path(L"saved.frm"));
    Form* form = designer_.CurrentForm();
    ASSERT_NE(form, nullptr);
    // Loaded controls read their saved properties, in design mode.
    EXPECT_EQ(Ctl(L"Ctl1").Call(L"Caption").AsString(), L"Gespeichert");
    EXPECT_EQ(Ctl(L"Ctl1").Call(L"UserModeSeen").AsLong(), 0);
    EXPECT_EQ(Ctl(L"Ctl2", 3).Call(L"Value").AsLong(), 3);
    ASSERT_NE(designer_.Selected(), nullptr);
    EXPECT_EQ(designer_.Selected()->Name(), L"Ctl1");
    EXPECT_FALSE(form->Dirty());

    // A new control starts fresh (InitNew), in design mode, and changes the form.
    ActiveXControl& placed = designer_.PlaceControl(L"KxTest.Ctl", L"Neu1", 1200, 600);
    EXPECT_EQ(&placed, designer_.Selected());
    EXPECT_TRUE(form->Dirty());
    const Object neu = Ctl(L"Neu1");
    EXPECT_EQ(neu.Call(L"Caption").AsString(), L"KxTest");
    EXPECT_EQ(neu.Call(L"UserModeSeen").AsLong(), 0);
    EXPECT_EQ(neu.Call(L"ExtenderName").AsString(), L"Neu1");
    EXPECT_EQ(neu.Call(L"Left").AsLong(), 1200);
    EXPECT_EQ(GetParent(placed.hwnd()), form->hwnd());
    EXPECT_TRUE(IsWindowVisible(placed.hwnd()));
    neu.Let(L"Caption", L"新しい");
    neu.Let(L"Value", 8);
    // It is in the Controls collection, last.
    const Object controls(form->AsObject().Call(L"Controls"));
    ASSERT_EQ(controls.Call(L"Count").AsLong(), 5);
    EXPECT_TRUE(Object(controls.Call(L"Item", {4})).Is(neu));

    designer_.Save(scratch_.Path(L"out.frm"));
    EXPECT_FALSE(form->Dirty());
    const FormDesc saved = LoadFormFile(scratch_.Path(L"out.frm"));
    ASSERT_EQ(saved.controls.size(), 4u);
    EXPECT_EQ(saved.controls[3].name, L"Neu1");
    EXPECT_EQ(saved.controls[3].progId, L"KxTest.Ctl");
    ExpectSameProps(saved.controls[3].bag, {{L"caption", std::wstring(L"新しい")}, {L"value", LONG(8)}}, "Neu1");
    ExpectSameProps(saved.controls[1].bag, {{L"caption", std::wstring(L"Gespeichert")}}, "Ctl1");

    designer_.Open(scratch_.Path(L"out.frm"));
    ASSERT_NE(designer_.CurrentForm(), nullptr);
    EXPECT_EQ(Ctl(L"Neu1").Call(L"Caption").AsString(), L"新しい");
    EXPECT_EQ(Ctl(L"Neu1").Call(L"Value").AsLong(), 8);
    EXPECT_EQ(Ctl(L"Neu1").Call(L"Left").AsLong(), 1200);
    EXPECT_EQ(Ctl(L"Ctl1").Call(L"Caption").AsString(), L"Gespeichert");
    EXPECT_EQ(Ctl(L"Ctl2", 3).Call(L"Value").AsLong(), 3);
    EXPECT_EQ(Ctl(L"Label1", 1).Call(L"Caption").AsString(), L"一");
    EXPECT_EQ(designer_.CurrentForm()->AsObject().Call(L"Caption").AsString(), L"設計");
}

TEST_F(DesignerTest, PlacingANameInUseOrAnUnknownControlFailsAndKeepsTheForm) {
    designer_.Open(scratch_.Path(L"saved.frm"));
    EXPECT_THROW(designer_.PlaceControl(L"KxTest.Ctl", L"ctl1"), FormFileError);
    EXPECT_THROW(designer_.PlaceControl(L"KxTest.Ctl", L"Label1"), FormFileError);
    try {
        designer_.PlaceControl(L"Kx.Nowhere", L"X1");
        FAIL();
    } catch (const FormFileError& e) {
        EXPECT_NE(e.message().find(L"not registered"), std::wstring::npos);
    }
    EXPECT_EQ(designer_.CurrentForm()->Controls().size(), 3u);
    EXPECT_EQ(designer_.Selected()->Name(), L"Ctl1");
    // Array members are told apart by their index.
    designer_.Select(L"Ctl2", 3);
    ASSERT_NE(designer_.Selected(), nullptr);
    EXPECT_EQ(designer_.Selected()->Index(), std::optional<LONG>(3));
    designer_.Select(L"Ctl2", 4);
    EXPECT_EQ(designer_.Selected(), nullptr);
}

TEST_F(DesignerTest, AControlWithoutPagesOrAboutEntryShowsNothing) {
    designer_.Open(scratch_.Path(L"saved.frm"));
    BoxAnswerer boxes;
    // The test control names no property pages: no frame opens.
    EXPECT_EQ(designer_.ShowPropertyPages(), S_FALSE);
    // ... and has no about entry (dispatch id -552).
    EXPECT_EQ(designer_.ShowAbout(), DISP_E_MEMBERNOTFOUND);
    rt_.DoEvents();
    EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(DesignerTest, PlacingWithoutAFormStartsABlankOne) {
    ActiveXControl& c = designer_.PlaceControl(L"KxTest.Ctl", L"Erster");
    ASSERT_NE(designer_.CurrentForm(), nullptr);
    EXPECT_EQ(designer_.CurrentForm()->Name(), L"Form1");
    EXPECT_EQ(c.Name(), L"Erster");
    designer_.Save(scratch_.Path(L"blank.frm"));
    const FormDesc saved = LoadFormFile(scratch_.Path(L"blank.frm"));
    ASSERT_EQ(saved.controls.size(), 1u);
    EXPECT_TRUE(saved.controls[0].bag.empty());
}

namespace {
struct LoopProbe {
    HWND form = nullptr;
    HWND designer = nullptr;
    bool formAliveAndHidden = false;
    bool designerStillThere = false;
} g_probe;

// Runs inside the loop once the form's WM_CLOSE went through: looks, then closes the designer.
void CALLBACK CloseTheDesigner(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    g_probe.formAliveAndHidden = IsWindow(g_probe.form) && !IsWindowVisible(g_probe.form);
    g_probe.designerStillThere = IsWindow(g_probe.designer) != FALSE;
    PostMessageA(g_probe.designer, WM_CLOSE, 0, 0);
}

void CALLBACK Rescue(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    Runtime::Current().Quit(99);
}
} // namespace

TEST_F(DesignerTest, TheLoopRunsAsLongAsTheDesignerWindowWhateverBecomesOfTheForm) {
    designer_.Open(scratch_.Path(L"saved.frm"));
    g_probe = {};
    g_probe.form = designer_.CurrentForm()->hwnd();
    g_probe.designer = designer_.hwnd();
    bool unloadRan = false;
    designer_.CurrentForm()->On(L"Entwurf", L"Unload", [&](EventArgs&) { unloadRan = true; });
    // Closing the form's window at design time puts it away; no form code runs.
    PostMessageA(g_probe.form, WM_CLOSE, 0, 0);
    const UINT_PTR look = SetTimer(nullptr, 0, 200, CloseTheDesigner);
    const UINT_PTR rescue = SetTimer(nullptr, 0, 10000, Rescue);
    EXPECT_EQ(rt_.Run(), 0);
    KillTimer(nullptr, look);
    KillTimer(nullptr, rescue);
    EXPECT_TRUE(g_probe.formAliveAndHidden);
    EXPECT_TRUE(g_probe.designerStillThere);
    EXPECT_FALSE(unloadRan);
    EXPECT_FALSE(IsWindow(g_probe.designer));
    EXPECT_EQ(designer_.CurrentForm(), nullptr);
}
