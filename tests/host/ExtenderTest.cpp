// The extender of an ActiveX control on a form: its own members, every
// other name forwarded to the control with by-reference arguments both
// ways, its identity with what the control's site gives, and errors.
#include "HostFixture.h"
#include "Ansi.h"

using namespace kxhost;
using namespace kxtest;

namespace {

class Extender : public HostTest {};

LONG HwndOf(const Object& o) { return o.Call(L"hwnd").AsLong(); }

} // namespace

TEST_F(Extender, OwnMembersDescribeTheControlOnItsForm) {
    Load();
    const Object ext = Ctl(L"Ctl1");
    EXPECT_EQ(ext.Call(L"Name").AsString(), L"Ctl1");
    EXPECT_TRUE(Object(ext.Call(L"Parent")).Is(form_->AsObject()));
    EXPECT_EQ(Object(ext.Call(L"Parent")).Call(L"Name").AsString(), L"Form1");

    // hwnd is the control's own window, the one the control reports itself.
    const Object own(ext.Call(L"Object"));
    EXPECT_TRUE(own.Is(Object(Ax(L"Ctl1").ControlObject())));
    EXPECT_FALSE(own.Is(ext));
    HWND h = Ax(L"Ctl1").hwnd();
    ASSERT_TRUE(IsWindow(h));
    EXPECT_EQ(HwndOf(ext), static_cast<LONG>(reinterpret_cast<LONG_PTR>(h)));
    EXPECT_EQ(own.Call(L"hWnd").AsLong(), HwndOf(ext));

    // Position and size in twips, as the saved form gave them (960 x 720
    // twips survive the trip through HIMETRIC exactly).
    EXPECT_EQ(ext.Call(L"Left").AsLong(), 2880);
    EXPECT_EQ(ext.Call(L"Top").AsLong(), 240);
    EXPECT_EQ(ext.Call(L"Width").AsLong(), 960);
    EXPECT_EQ(ext.Call(L"Height").AsLong(), 720);

    // Index exists only for members of a control array.
    EXPECT_EQ(Ctl(L"Ctl2", 1).Call(L"Index").AsLong(), 1);
    EXPECT_EQ(Ctl(L"Ctl2", 0).Call(L"Index").AsLong(), 0);
    try {
        ext.Call(L"Index");
        FAIL() << "Ctl1 is no array member";
    } catch (const kx::RaisedError& e) {
        EXPECT_EQ(e.error().number, 438);
    }
}

TEST_F(Extender, MovingThroughTheExtenderMovesTheControlsWindow) {
    Load();
    const Object ext = Ctl(L"Ctl1");
    ext.Let(L"Left", 1440);
    ext.Let(L"Top", 720);
    ext.Let(L"Width", 2880);
    HWND h = Ax(L"Ctl1").hwnd();
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, form_->hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, MulDiv(1440, Dpi(LOGPIXELSX), 1440));
    EXPECT_EQ(r.top, MulDiv(720, Dpi(LOGPIXELSY), 1440));
    EXPECT_EQ(r.right - r.left, MulDiv(2880, Dpi(LOGPIXELSX), 1440));
    EXPECT_EQ(r.bottom - r.top, MulDiv(720, Dpi(LOGPIXELSY), 1440));
    EXPECT_EQ(ext.Call(L"Width").AsLong(), 2880);
    EXPECT_EQ(ext.Call(L"Left").AsLong(), 1440);
    // The control was told its new extent in HIMETRIC.
    SIZEL extent{};
    ASSERT_HRESULT_SUCCEEDED(Ax(L"Ctl1").OleObject()->GetExtent(DVASPECT_CONTENT, &extent));
    EXPECT_EQ(extent.cx, 5080);
    EXPECT_EQ(extent.cy, 1270);
}

TEST_F(Extender, OtherNamesReachTheControl) {
    Load();
    const Object ext = Ctl(L"Ctl1");
    EXPECT_EQ(ext.Call(L"Caption").AsString(), L"Eins");
    EXPECT_EQ(ext.Call(L"Value").AsLong(), 11);
    ext.Let(L"Caption", L"ツヴァイ");
    ext.Let(L"value", 12); // names without regard to case
    const Object own(ext.Call(L"Object"));
    EXPECT_EQ(own.Call(L"Caption").AsString(), L"ツヴァイ");
    EXPECT_EQ(own.Call(L"Value").AsLong(), 12);
    // The control reads its extender's Name by name: the site gave it this extender.
    EXPECT_EQ(ext.Call(L"ExtenderName").AsString(), L"Ctl1");
    EXPECT_EQ(Ctl(L"Ctl2", 1).Call(L"ExtenderName").AsString(), L"Ctl2");
    try {
        ext.Call(L"NoSuchMember");
        FAIL();
    } catch (const kx::RaisedError& e) {
        EXPECT_EQ(e.error().number, 438);
    }
}

TEST_F(Extender, ByReferenceArgumentsTravelBothWays) {
    Load();
    const Object ext = Ctl(L"Ctl1");

    // Typed variables: VT_BYREF|VT_I4 and VT_BYREF|VT_BSTR.
    LONG n = 21;
    std::wstring s = L"はい";
    ext.Call(L"Echo", {Arg::Ref(n), Arg::Ref(s)});
    EXPECT_EQ(n, 42);
    EXPECT_EQ(s, L"はい!");

    // Variant variables (VT_BYREF|VT_VARIANT) for the typed long* and BSTR*
    // parameters: converted on the way in, and the variables hold what the
    // control left, in the parameter's type.
    Var vn(L"7");
    Var vs(L"x");
    ext.Call(L"Echo", {Arg::Ref(vn), Arg::Ref(vs)});
    EXPECT_EQ(vn.vt(), VT_I4);
    EXPECT_EQ(vn.AsLong(), 14);
    EXPECT_EQ(vs.vt(), VT_BSTR);
    EXPECT_EQ(vs.AsString(), L"x!");

    // A Boolean variable and a Variant for a VARIANT* parameter.
    bool flag = false;
    Var any(LONG(5));
    ext.Call(L"Flip", {Arg::Ref(flag), Arg::Ref(any)});
    EXPECT_TRUE(flag);
    EXPECT_EQ(any.vt(), VT_BSTR);
    EXPECT_EQ(any.AsString(), L"flipped");
    Var vflag(true);
    ext.Call(L"Flip", {Arg::Ref(vflag), Arg::Ref(any)});
    EXPECT_EQ(vflag.vt(), VT_BOOL);
    EXPECT_FALSE(vflag.AsBool());
}

TEST_F(Extender, AVariantThatDoesNotConvertIsATypeMismatchAndStaysAsItWas) {
    Load();
    Var vn(L"zwei");
    Var vs(L"x");
    try {
        Ctl(L"Ctl1").Call(L"Echo", {Arg::Ref(vn), Arg::Ref(vs)});
        FAIL();
    } catch (const kx::RaisedError& e) {
        EXPECT_EQ(e.error().number, 13);
    }
    EXPECT_EQ(vn.AsString(), L"zwei");
    EXPECT_EQ(vs.AsString(), L"x");
}

TEST_F(Extender, TheSitesExtenderIsTheItemInControls) {
    Load();
    for (const auto& item : std::vector<std::pair<std::wstring, std::optional<LONG>>>{
             {L"Ctl1", std::nullopt}, {L"Ctl2", 0}, {L"Ctl2", 1}}) {
        SCOPED_TRACE(testing::Message() << "control " << kx::ToAnsi(item.first));
        ActiveXControl& c = Ax(item.first, item.second);
        kx::ComPtr<IDispatch> fromSite = ExtenderFromSite(c.OleObject());
        ASSERT_TRUE(fromSite);
        EXPECT_TRUE(Object(fromSite).Is(Object(c.Dispatch())));
        EXPECT_TRUE(Object(fromSite).Is(Ctl(item.first, item.second)));
        // The same object every time the control asks.
        EXPECT_EQ(ExtenderFromSite(c.OleObject()).Get(), fromSite.Get());
    }
    // ... and the one the collection yields, by position and when walked.
    const Object controls(form_->AsObject().Call(L"Controls"));
    const Object third(controls.Call(L"Item", {3}));
    EXPECT_TRUE(third.Is(Object(ExtenderFromSite(Ax(L"Ctl1").OleObject()))));
    EXPECT_EQ(third.get(), ExtenderFromSite(Ax(L"Ctl1").OleObject()).Get());
}

TEST_F(Extender, ErrorsOfTheControlReachTheCallerWithNumberTextAndHelp) {
    Load();
    for (const Object& target : {Ctl(L"Ctl1"), Object(Ctl(L"Ctl1").Call(L"Object"))}) {
        try {
            target.Call(L"Fail", {10005});
            FAIL() << "Fail raises";
        } catch (const kx::RaisedError& e) {
            EXPECT_EQ(e.error().number, 10005);
            EXPECT_EQ(e.error().hr, static_cast<HRESULT>(0x800A2715));
            EXPECT_EQ(e.error().description, L"テスト エラー");
            EXPECT_EQ(e.error().helpFile, L"KxTest.hlp");
            EXPECT_EQ(e.error().helpContext, 7u);
        }
    }
    // The low word is the number VB shows.
    try {
        Ctl(L"Ctl1").Call(L"Fail", {438});
        FAIL();
    } catch (const kx::RaisedError& e) {
        EXPECT_EQ(e.error().number, 438);
        EXPECT_EQ(e.error().description, L"テスト エラー");
    }
}

TEST_F(Extender, AnExtenderKeptAfterUnloadAnswersNothingAndDoesNotCrash) {
    Load();
    const Object kept = Ctl(L"Ctl1");
    ASSERT_TRUE(form_->Unload());
    for (const wchar_t* name : {L"Name", L"hwnd", L"Caption", L"Parent"}) {
        try {
            kept.Call(name);
            ADD_FAILURE() << "the extender of an unloaded control answered";
        } catch (const kx::RaisedError& e) {
            EXPECT_EQ(e.error().number, 438);
        }
    }
}
