// How a control starts: restored from a saved form (defaults for what the
// form does not hold, keys of any case), saved again, newly placed in the
// designer, started fresh at run time or in containers that give no user
// mode or no extender, and two forms of one program sharing one store.
#include "BareControl.h"
#include "Designer.h"
#include "FormFile.h"
#include "DispIds.h"
#include "KestrixFixture.h"

using namespace kxtest;
using kxhost::Mode;
using kxhost::Object;

namespace {

struct Values {
    std::wstring targetControls, targetEvents, debugFile, linkName;
    bool debugMode, fileDropMode;
    LONG targetHandle;
};

void ExpectValues(const Object& k, const Values& v) {
    EXPECT_EQ(k.Call(L"TargetControls").AsString(), v.targetControls);
    EXPECT_EQ(k.Call(L"TargetEvents").AsString(), v.targetEvents);
    EXPECT_EQ(k.Call(L"DebugMode").AsBool(), v.debugMode);
    EXPECT_EQ(k.Call(L"DebugFile").AsString(), v.debugFile);
    EXPECT_EQ(k.Call(L"LinkName").AsString(), v.linkName);
    EXPECT_EQ(k.Call(L"FileDropMode").AsBool(), v.fileDropMode);
    EXPECT_EQ(k.Call(L"TargetHandle").AsLong(), v.targetHandle);
}

std::wstring Text(const kxhost::Value& v) {
    if (auto s = std::get_if<std::wstring>(&v)) return *s;
    if (auto b = std::get_if<bool>(&v)) return *b ? L"True" : L"False";
    if (auto l = std::get_if<LONG>(&v)) return std::to_wstring(*l);
    return L"?";
}

using InitTest = KestrixTest;

} // namespace

TEST_F(InitTest, AnEmptySavedFormRestoresTheDefaultsInBothModes) {
    for (Mode mode : {Mode::Run, Mode::Design}) {
        SCOPED_TRACE(mode == Mode::Run ? "run mode" : "design mode");
        Load(L"        Bag targethandle = 0\n", mode); // a value equal to its default changes nothing
        Load(L"", mode);
        ExpectValues(K(), {L"Form1", L"ALL", L"Kestrix1.Dbg", L"Kestrix", true, true, 0});
        // Restoring applies no rule and tells the container nothing.
        EXPECT_TRUE(Kx().Changes().empty());
        // Saved again, every value equals its default and is left out.
        EXPECT_TRUE(Kx().Describe().bag.empty());
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(InitTest, SavedValuesGoStraightIntoTheStoreWhateverTheirKeysCase) {
    // No rule on restoring: a handle that is no window, lower-case events,
    // blanks around names all come back as saved.
    Load(
        L"        Bag TARGETHANDLE = 4242\n"
        L"        Bag TargetControls = \" Text1 \"\n"
        L"        Bag targetevents = \"all\"\n"
        L"        Bag DebugFile = \"mixed.dbg\"\n"
        L"        Bag linkname = \"Far\"\n"
        L"        Bag debugmode = False\n"
        L"        Bag FileDropMode = False\n");
    ExpectValues(K(), {L" Text1 ", L"all", L"mixed.dbg", L"Far", false, false, 4242});
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(InitTest, SavingWritesTheChangedValuesUnderTheirKeysInOrder) {
    Load(L"        Bag targetcontrols = \"Form1,Text1\"\n        Bag debugmode = False\n", Mode::Design);
    K().Let(L"TargetEvents", L"'513'");
    K().Let(L"LinkName", L"Mine");
    const auto bag = Kx().Describe().bag;
    std::vector<std::wstring> lines;
    for (const auto& p : bag) lines.push_back(p.name + L"=" + Text(p.value));
    EXPECT_EQ(lines,
              (std::vector<std::wstring>{L"targetcontrols=Form1,Text1", L"targetevents='513'", L"debugmode=False",
                                         L"linkname=Mine"}));
    // And the saved form loads back to the same values.
    kxhost::FormDesc saved = form_->Describe();
    form_.reset();
    form_ = kxhost::Form::Create(*rt_, kxhost::ParseForm(kxhost::WriteForm(saved), L"saved.frm"));
    ExpectValues(K(), {L"Form1,Text1", L"'513'", L"Kestrix1.Dbg", L"Mine", false, true, 0});
}

TEST_F(InitTest, PlacedInTheDesignerItTakesTheDefaultsOfANewControl) {
    // A handle restored by an earlier form goes back to 0.
    Load(L"        Bag targethandle = 4242\n        Bag linkname = \"Old\"\n", Mode::Design);
    form_.reset();
    kxhost::Designer designer(*rt_);
    kxhost::ActiveXControl& placed = designer.PlaceControl(L"Kestrix32.Kestrix", L"Kestrix7");
    Object k(placed.Dispatch());
    ExpectValues(k, {L"Form1", L"ALL", L"Kestrix7.Dbg", L"Kestrix", true, true, 0});
    EXPECT_TRUE(Boxes().empty()) << "the defaults pass every rule";
    // Each default went through its set operation and told the designer.
    EXPECT_EQ(placed.Changes(),
              (std::vector<DISPID>{DISPID_KX_TARGETCONTROLS, DISPID_KX_TARGETEVENTS, DISPID_KX_DEBUGMODE,
                                   DISPID_KX_DEBUGFILE, DISPID_KX_LINKNAME, DISPID_KX_FILEDROPMODE}));
    EXPECT_TRUE(designer.CurrentForm()->Dirty());
    EXPECT_TRUE(placed.Describe().bag.empty());
}

TEST_F(InitTest, ANewControlInADesignerTellsTheContainerOfEveryDefault) {
    // A container that connects its notifications before InitNew sees the
    // six set operations of a newly placed control, in order.
    auto form = kx::AutoObject::New();
    form->DefineString(L"Name", L"FormX");
    auto extender = kx::AutoObject::New();
    extender->DefineString(L"Name", L"Kestrix9");
    extender->DefineValue(L"Parent", [&] {
        VARIANT v;
        V_VT(&v) = VT_DISPATCH;
        V_DISPATCH(&v) = form.Get();
        return v;
    }());
    kx::ComPtr<TestSite> site = BareSite();
    site->userMode = false;
    site->extender = extender;
    BareControl c;
    StartBare(c, site.Get());
    ASSERT_HRESULT_SUCCEEDED(c.initNew);
    EXPECT_EQ(site->changes,
              (std::vector<DISPID>{DISPID_KX_TARGETCONTROLS, DISPID_KX_TARGETEVENTS, DISPID_KX_DEBUGMODE,
                                   DISPID_KX_DEBUGFILE, DISPID_KX_LINKNAME, DISPID_KX_FILEDROPMODE}));
    ExpectValues(Object(c.dispatch.Get()), {L"FormX", L"ALL", L"Kestrix9.Dbg", L"Kestrix", true, true, 0});
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(InitTest, StartedFreshAtRunTimeItTakesTheDefaultsQuietly) {
    Load(L"        Bag targethandle = 4242\n");
    kxhost::ControlDesc d;
    d.kind = L"Control";
    d.progId = L"Kestrix32.Kestrix";
    d.name = L"Kestrix2";
    kxhost::ActiveXControl& fresh = form_->AddControl(d, /*fresh=*/true);
    ExpectValues(Object(fresh.Dispatch()), {L"Form1", L"ALL", L"Kestrix2.Dbg", L"Kestrix", true, true, 0});
    EXPECT_TRUE(fresh.Changes().empty());
    // Still run-time rules: a refusal raises and shows nothing.
    ExpectOwnError(RaisedBy([&] { Object(fresh.Dispatch()).Let(L"LinkName", L"x"); }), 10018,
                   L"実行時にLinkName ﾌﾟﾛﾊﾟﾃｨは設定できません");

    // The same through a container that tells its notifications from the start.
    auto extender = kx::AutoObject::New();
    extender->DefineString(L"Name", L"Kestrix3");
    kx::ComPtr<TestSite> site = BareSite();
    site->userMode = true;
    site->extender = extender;
    BareControl c;
    StartBare(c, site.Get());
    ASSERT_HRESULT_SUCCEEDED(c.initNew);
    EXPECT_TRUE(site->changes.empty());
    // No parent form: "(Nothing)".
    ExpectValues(Object(c.dispatch.Get()), {L"(Nothing)", L"ALL", L"Kestrix3.Dbg", L"Kestrix", true, true, 0});
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(InitTest, WithoutAUserModeOrAnExtenderItBehavesAsAtRunTime) {
    kx::ComPtr<TestSite> site = BareSite();
    BareControl withSite;
    StartBare(withSite, site.Get());
    BareControl noSite;
    StartBare(noSite, nullptr);
    for (BareControl* c : {&withSite, &noSite}) {
        SCOPED_TRACE(c == &noSite ? "no site" : "a site without user mode or extender");
        ASSERT_HRESULT_SUCCEEDED(c->initNew);
        const Object k(c->dispatch.Get());
        ExpectValues(k, {L"(Nothing)", L"ALL", L"Kestrix.Dbg", L"Kestrix", true, true, 0});
        // The control stands for itself: refusals raise, no message box waits.
        ExpectOwnError(RaisedBy([&] { k.Let(L"TargetControls", L"Form1"); }), 10005,
                       L"実行時にTargetControls ﾌﾟﾛﾊﾟﾃｨは設定できません");
        ExpectOwnError(RaisedBy([&] { k.Call(L"EventsStart"); }), 10006,
                       L"TargetControls と TargetHandle ﾌﾟﾛﾊﾟﾃｨが設定されていません");
    }
    EXPECT_TRUE(site->changes.empty());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(InitTest, TwoFormsShareOneStoreAndTheLaterOneDecides) {
    Load(
        L"        Bag targetcontrols = \"Form1,Command1\"\n        Bag linkname = \"First\"\n"
        L"        Bag debugmode = False\n");
    auto second = LoadOther(L"Form2", L"        Bag targetevents = \"'513'\"\n        Bag linkname = \"Second\"\n");
    const Object k1 = K();
    const Object k2 = second->Ctl(L"Kestrix1");
    for (const Object* k : {&k1, &k2}) {
        SCOPED_TRACE(k == &k1 ? "Form1's control" : "Form2's control");
        ExpectValues(*k, {L"Form2", L"'513'", L"Kestrix1.Dbg", L"Second", true, true, 0});
    }
    // A change through one is seen through the other.
    k1.Let(L"DebugMode", false);
    EXPECT_FALSE(k2.Call(L"DebugMode").AsBool());
}

TEST_F(InitTest, TheControlHasItsOneSizeAndItsOwnWindowInBothModes) {
    for (Mode mode : {Mode::Run, Mode::Design}) {
        SCOPED_TRACE(mode == Mode::Run ? "run mode" : "design mode");
        Load(L"        Bag linkname = \"Ears\"\n", mode);
        // 465 x 420 twips, whatever the designer asks for.
        Kx().Move(120, 2400, 2000, 1000);
        const RECT twips = Kx().TwipsRect();
        EXPECT_EQ(twips.right - twips.left, 465);
        EXPECT_EQ(twips.bottom - twips.top, 420);
        SIZEL extent{};
        ASSERT_HRESULT_SUCCEEDED(Kx().OleObject()->GetExtent(DVASPECT_CONTENT, &extent));
        EXPECT_EQ(extent.cx, 820);
        EXPECT_EQ(extent.cy, 741);

        // Its own window, through the extender and on the control alike.
        const HWND own = reinterpret_cast<HWND>(static_cast<LONG_PTR>(K().Call(L"hwnd").AsLong()));
        ASSERT_TRUE(IsWindow(own));
        EXPECT_EQ(Object(Kx().ControlObject()).Call(L"hwnd").AsLong(), K().Call(L"hwnd").AsLong());
        EXPECT_EQ(GetParent(own), Hwnd(L"Form1"));
        char title[32] = {};
        GetWindowTextA(own, title, sizeof title);
        if (mode == Mode::Run) {
            // Invisible, yet there, and findable by its link name.
            EXPECT_FALSE(IsWindowVisible(own));
            EXPECT_STREQ(title, "Ears");
        } else {
            form_->Show();
            EXPECT_TRUE(IsWindowVisible(own));
        }
    }
}
