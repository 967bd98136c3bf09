// ActiveX controls on a form: the Controls collection, user mode in both
// modes, the control's window, events, change notification, control
// arrays, the site's container and coordinates, and unloading.
#include "HostFixture.h"
#include "Ansi.h"
#include <olectl.h>

using namespace kxhost;
using namespace kxtest;

namespace {

class ActiveXForm : public HostTest {};

std::wstring Title(const Object& item) {
    std::wstring name = item.Call(L"Name").AsString();
    try {
        name += L"(" + std::to_wstring(item.Call(L"Index").AsLong()) + L")";
    } catch (const kx::RaisedError&) {}
    return name;
}

Var Ambient(ActiveXControl& c, DISPID id) {
    kx::ComPtr<IOleClientSite> site;
    kx::ComPtr<IDispatch> ambient;
    Var v;
    if (FAILED(c.OleObject()->GetClientSite(&site)) || !site || FAILED(site.As(&ambient))) return v;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ambient->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, v.get(), nullptr, nullptr);
    return v;
}

} // namespace

TEST_F(ActiveXForm, ControlsYieldTheFormFirstThenEveryControlInFormOrder) {
    Load();
    const Object controls(form_->AsObject().Call(L"Controls"));
    const std::vector<std::wstring> expected{L"Form1",   L"Label1",  L"List1",   L"Ctl1",
                                             L"Ctl2(0)", L"Ctl2(1)", L"Command1"};
    ASSERT_EQ(controls.Call(L"Count").AsLong(), 7);
    std::vector<std::wstring> byIndex;
    for (LONG i = 0; i < 7; ++i) byIndex.push_back(Title(Object(controls.Call(L"Item", {i}))));
    EXPECT_EQ(byIndex, expected);

    // Two walks with the enumerator give the same objects in the same order.
    for (int walk = 0; walk < 2; ++walk) {
        kx::ComPtr<IEnumVARIANT> e;
        Var en = controls.Call(L"_NewEnum");
        ASSERT_EQ(en.vt(), VT_UNKNOWN);
        ASSERT_HRESULT_SUCCEEDED(V_UNKNOWN(en.get())->QueryInterface(IID_PPV_ARGS(&e)));
        std::vector<std::wstring> walked;
        VARIANT v;
        ULONG got = 0;
        LONG i = 0;
        while (e->Next(1, &v, &got) == S_OK) {
            const Object item(Var::Copy(v));
            VariantClear(&v);
            walked.push_back(Title(item));
            EXPECT_TRUE(item.Is(Object(controls.Call(L"Item", {i++}))));
        }
        EXPECT_EQ(walked, expected);
    }
    // The ActiveX items are the extenders; the label has no window.
    EXPECT_TRUE(Object(controls.Call(L"Item", {4})).Is(Ctl(L"Ctl2", 0)));
    try {
        Object(controls.Call(L"Item", {1})).Call(L"hwnd");
        FAIL() << "a label has no window";
    } catch (const kx::RaisedError& e) {
        EXPECT_EQ(e.error().number, 438);
    }
    EXPECT_NE(Object(controls.Call(L"Item", {3})).Call(L"hwnd").AsLong(), 0);
}

TEST_F(ActiveXForm, UserModeIsTrueInRunModeAndFalseInDesignMode) {
    Load(kHostForm, Mode::Run);
    EXPECT_EQ(Ctl(L"Ctl1").Call(L"UserModeSeen").AsLong(), -1);
    EXPECT_EQ(Ctl(L"Ctl2", 1).Call(L"UserModeSeen").AsLong(), -1);
    EXPECT_EQ(Ambient(Ax(L"Ctl1"), DISPID_AMBIENT_USERMODE).AsBool(), true);
    EXPECT_EQ(Ambient(Ax(L"Ctl1"), DISPID_AMBIENT_DISPLAYNAME).AsString(), L"Ctl1");
    EXPECT_EQ(Ambient(Ax(L"Ctl2", 1), DISPID_AMBIENT_DISPLAYNAME).AsString(), L"Ctl2(1)");
    // By name too, as a control that reads its ambient properties late-bound does.
    kx::ComPtr<IOleClientSite> site;
    ASSERT_HRESULT_SUCCEEDED(Ax(L"Ctl1").OleObject()->GetClientSite(&site));
    kx::ComPtr<IDispatch> ambient;
    ASSERT_HRESULT_SUCCEEDED(site.As(&ambient));
    EXPECT_TRUE(Object(ambient).Call(L"usermode").AsBool());
    EXPECT_EQ(Object(ambient).Call(L"LocaleID").AsLong(), static_cast<LONG>(GetUserDefaultLCID()));
    // The form's font: the runtime's default, 9 points.
    const Object font(Object(ambient).Call(L"Font"));
    EXPECT_EQ(font.Call(L"Name").AsString(), L"ＭＳ Ｐゴシック");
    EXPECT_EQ(font.Call(L"Charset").AsLong(), SHIFTJIS_CHARSET);
    // Invisible at run time: the control keeps its window hidden.
    EXPECT_FALSE(IsWindowVisible(Ax(L"Ctl1").hwnd()));

    Load(kHostForm, Mode::Design);
    EXPECT_EQ(Ctl(L"Ctl1").Call(L"UserModeSeen").AsLong(), 0);
    EXPECT_EQ(Ctl(L"Ctl2", 0).Call(L"UserModeSeen").AsLong(), 0);
    EXPECT_EQ(Ambient(Ax(L"Ctl1"), DISPID_AMBIENT_USERMODE).AsBool(), false);
    form_->Show();
    EXPECT_TRUE(IsWindowVisible(Ax(L"Ctl1").hwnd()));
}

TEST_F(ActiveXForm, TheControlsWindowIsAChildOfTheFormWhereTheFormPutsIt) {
    Load();
    HWND h = Ax(L"Ctl1").hwnd();
    ASSERT_TRUE(IsWindow(h));
    EXPECT_EQ(GetParent(h), form_->hwnd());
    EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & WS_CHILD);
    char cls[32] = {};
    GetClassNameA(h, cls, sizeof cls);
    EXPECT_STREQ(cls, "KxTestCtlWindow");
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, form_->hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, MulDiv(2880, Dpi(LOGPIXELSX), 1440));
    EXPECT_EQ(r.top, MulDiv(240, Dpi(LOGPIXELSY), 1440));
    EXPECT_EQ(r.right - r.left, MulDiv(960, Dpi(LOGPIXELSX), 1440));
    EXPECT_EQ(r.bottom - r.top, MulDiv(720, Dpi(LOGPIXELSY), 1440));
    // The control's window answers its own messages.
    EXPECT_EQ(SendMessageA(h, WM_USER + 1, 0, 0), 11);
    // Without a size in the saved form a control gets the runtime's default 1215 x 495.
    EXPECT_EQ(Ctl(L"Ctl2", 0).Call(L"Width").AsLong(), 1215);
    EXPECT_EQ(Ctl(L"Ctl2", 0).Call(L"Height").AsLong(), 495);
}

TEST_F(ActiveXForm, AControlThatKeepsItsOwnSizeGetsIt) {
    Load();
    const Object ext = Ctl(L"Ctl1");
    ext.Let(L"FixedSize", true);
    ext.Let(L"Width", 4000);
    ext.Let(L"Height", 3000);
    // 820 x 741 HIMETRIC, whatever the form asked for.
    const LONG w = MulDiv(820, 1440, 2540), hgt = MulDiv(741, 1440, 2540);
    EXPECT_EQ(ext.Call(L"Width").AsLong(), w);
    EXPECT_EQ(ext.Call(L"Height").AsLong(), hgt);
    RECT r;
    GetWindowRect(Ax(L"Ctl1").hwnd(), &r);
    EXPECT_EQ(r.right - r.left, MulDiv(w, Dpi(LOGPIXELSX), 1440));
    EXPECT_EQ(r.bottom - r.top, MulDiv(hgt, Dpi(LOGPIXELSY), 1440));
    // The place stays where the form put it.
    EXPECT_EQ(ext.Call(L"Left").AsLong(), 2880);
}

TEST_F(ActiveXForm, EventsReachTheHandlerByNameAndByReferenceChangesGoBack) {
    Load();
    std::vector<LONG> seen;
    form_->On(L"ctl1", L"CHANGED", [&](EventArgs& a) {
        ASSERT_EQ(a.Count(), 2u);
        seen.push_back(a.Long(0));
        EXPECT_FALSE(a.Bool(1));
        a.SetLong(0, a.Long(0) * 10);
        a.SetBool(1, a.Long(0) > 100);
    });
    EXPECT_EQ(Ctl(L"Ctl1").Call(L"Fire", {5}).AsLong(), 50);
    EXPECT_FALSE(Ctl(L"Ctl1").Call(L"Cancelled").AsBool());
    EXPECT_EQ(Ctl(L"Ctl1").Call(L"Fire", {20}).AsLong(), 200);
    EXPECT_TRUE(Ctl(L"Ctl1").Call(L"Cancelled").AsBool());
    EXPECT_EQ(seen, (std::vector<LONG>{5, 20}));
    // No handler for Ctl2: the event passes unchanged.
    EXPECT_EQ(Ctl(L"Ctl2", 0).Call(L"Fire", {7}).AsLong(), 7);
    EXPECT_FALSE(Ctl(L"Ctl2", 0).Call(L"Cancelled").AsBool());
    EXPECT_EQ(seen.size(), 2u);
}

TEST_F(ActiveXForm, AControlArrayPassesTheIndexFirst) {
    Load();
    std::vector<std::pair<LONG, LONG>> seen;
    form_->On(L"Ctl2", L"Changed", [&](EventArgs& a) {
        ASSERT_EQ(a.Count(), 3u);
        EXPECT_EQ(a[0].vt(), VT_I2);
        seen.emplace_back(a.Long(0), a.Long(1));
        a.SetLong(1, a.Long(1) + 100 * a.Long(0));
        a.SetBool(2, true);
    });
    EXPECT_EQ(Ctl(L"Ctl2", 1).Call(L"Fire", {3}).AsLong(), 103);
    EXPECT_EQ(Ctl(L"Ctl2", 0).Call(L"Fire", {4}).AsLong(), 4);
    EXPECT_TRUE(Ctl(L"Ctl2", 0).Call(L"Cancelled").AsBool());
    EXPECT_EQ(seen, (std::vector<std::pair<LONG, LONG>>{{1, 3}, {0, 4}}));
}

TEST_F(ActiveXForm, AnErrorInAnEventHandlerGoesToTheRuntimeNotToTheControl) {
    Load();
    form_->On(L"Ctl1", L"Changed", [&](EventArgs& a) {
        a.SetLong(0, 99);
        Ctl(L"NoSuchControl");
    });
    EXPECT_EQ(Ctl(L"Ctl1").Call(L"Fire", {1}).AsLong(), 99);
    ASSERT_EQ(unhandled_.size(), 1u);
    EXPECT_EQ(unhandled_[0].number, 730);
}

TEST_F(ActiveXForm, PropertyChangesAreRecordedAndMarkTheFormChanged) {
    Load(kHostForm, Mode::Design);
    EXPECT_FALSE(form_->Dirty());
    EXPECT_TRUE(Ax(L"Ctl1").Changes().empty());
    Ctl(L"Ctl1").Let(L"Value", 12);
    EXPECT_TRUE(form_->Dirty());
    Ctl(L"Ctl1").Let(L"Caption", L"neu");
    EXPECT_EQ(Ax(L"Ctl1").Changes(), (std::vector<DISPID>{2, 1}));
    EXPECT_TRUE(Ax(L"Ctl2", 0).Changes().empty());
    // A property that sends no notification leaves the record as it was.
    Ctl(L"Ctl1").Let(L"FixedSize", true);
    EXPECT_EQ(Ax(L"Ctl1").Changes().size(), 2u);
}

TEST_F(ActiveXForm, TheSitesContainerListsTheFormsActiveXControls) {
    Load();
    kx::ComPtr<IOleClientSite> site;
    ASSERT_HRESULT_SUCCEEDED(Ax(L"Ctl2", 1).OleObject()->GetClientSite(&site));
    kx::ComPtr<IOleContainer> container;
    ASSERT_HRESULT_SUCCEEDED(site->GetContainer(&container));
    kx::ComPtr<IOleContainer> again;
    ASSERT_HRESULT_SUCCEEDED(site->GetContainer(&again));
    EXPECT_EQ(container.Get(), again.Get());

    kx::ComPtr<IEnumUnknown> e;
    ASSERT_HRESULT_SUCCEEDED(container->EnumObjects(OLECONTF_EMBEDDINGS, &e));
    std::vector<kx::ComPtr<IUnknown>> items;
    IUnknown* got[4] = {};
    ULONG n = 0;
    ASSERT_EQ(e->Next(4, got, &n), S_FALSE);
    ASSERT_EQ(n, 3u);
    for (ULONG i = 0; i < n; ++i) items.emplace_back().Attach(got[i]);
    const ActiveXControl* order[] = {&Ax(L"Ctl1"), &Ax(L"Ctl2", 0), &Ax(L"Ctl2", 1)};
    for (size_t i = 0; i < 3; ++i) {
        kx::ComPtr<IUnknown> expected;
        order[i]->OleObject()->QueryInterface(IID_PPV_ARGS(&expected));
        EXPECT_EQ(items[i].Get(), expected.Get()) << "object " << i;
    }
    // Links and other kinds of objects: the form holds none.
    kx::ComPtr<IEnumUnknown> links;
    ASSERT_HRESULT_SUCCEEDED(container->EnumObjects(OLECONTF_LINKS, &links));
    EXPECT_EQ(links->Next(1, got, &n), S_FALSE);
    EXPECT_EQ(n, 0u);

    // After the form is gone the container a control kept lists nothing.
    form_.reset();
    kx::ComPtr<IEnumUnknown> none;
    ASSERT_HRESULT_SUCCEEDED(container->EnumObjects(OLECONTF_EMBEDDINGS, &none));
    EXPECT_EQ(none->Next(1, got, &n), S_FALSE);
}

TEST_F(ActiveXForm, TheSiteTransformsHimetricAndTwips) {
    Load();
    kx::ComPtr<IOleClientSite> site;
    ASSERT_HRESULT_SUCCEEDED(Ax(L"Ctl1").OleObject()->GetClientSite(&site));
    kx::ComPtr<IOleControlSite> cs;
    ASSERT_HRESULT_SUCCEEDED(site.As(&cs));
    POINTL him{2540, -1270};
    POINTF twips{};
    ASSERT_HRESULT_SUCCEEDED(cs->TransformCoords(&him, &twips, XFORMCOORDS_SIZE | XFORMCOORDS_HIMETRICTOCONTAINER));
    EXPECT_FLOAT_EQ(twips.x, 1440.0f);
    EXPECT_FLOAT_EQ(twips.y, -720.0f);
    twips = {15.0f, -1.0f};
    ASSERT_HRESULT_SUCCEEDED(cs->TransformCoords(&him, &twips, XFORMCOORDS_POSITION | XFORMCOORDS_CONTAINERTOHIMETRIC));
    EXPECT_EQ(him.x, 26); // 26.46
    EXPECT_EQ(him.y, -2); // -1.76, rounded away from zero like +1.76
    EXPECT_EQ(cs->TransformCoords(&him, &twips, XFORMCOORDS_POSITION), E_INVALIDARG);
}

TEST_F(ActiveXForm, UnloadingTheFormClosesItsControls) {
    Load();
    kx::ComPtr<IDispatch> own(Ax(L"Ctl1").ControlObject());
    HWND h = Ax(L"Ctl1").hwnd();
    ASSERT_TRUE(IsWindow(h));
    ASSERT_EQ(Object(own).Call(L"UserModeSeen").AsLong(), -1);
    ASSERT_TRUE(form_->Unload());
    // The control was let go of its site: it sees no user mode and no extender any more.
    EXPECT_EQ(Object(own).Call(L"UserModeSeen").AsLong(), 1);
    EXPECT_EQ(Object(own).Call(L"ExtenderName").AsString(), L"");
    EXPECT_FALSE(IsWindow(h));
    kx::ComPtr<IOleObject> ole;
    ASSERT_HRESULT_SUCCEEDED(own.As(&ole));
    kx::ComPtr<IOleClientSite> site;
    ole->GetClientSite(&site);
    EXPECT_FALSE(site);
    EXPECT_TRUE(form_->Controls().empty());
    EXPECT_TRUE(rt_->Forms().empty());
}

TEST_F(ActiveXForm, AddingAControlFollowsTheNamingRulesOfSavedForms) {
    Load(kHostForm, Mode::Design);
    ControlDesc d;
    d.kind = L"Control";
    d.progId = L"KxTest.Ctl";
    auto add = [&](const std::wstring& name, std::optional<LONG> index) {
        d.name = name;
        d.index = index;
        return &form_->AddControl(d, true);
    };
    // Only a new member of an array of ActiveX controls may share a name.
    EXPECT_THROW(add(L"ctl1", std::nullopt), FormFileError);
    EXPECT_THROW(add(L"Ctl1", 2), FormFileError);
    EXPECT_THROW(add(L"Ctl2", std::nullopt), FormFileError);
    EXPECT_THROW(add(L"Ctl2", 1), FormFileError);
    EXPECT_THROW(add(L"List1", 0), FormFileError);
    EXPECT_EQ(form_->Controls().size(), 6u);
    ActiveXControl* member = add(L"Ctl2", 2);
    EXPECT_EQ(member, &Ax(L"Ctl2", 2));
    EXPECT_EQ(Ctl(L"Ctl2", 2).Call(L"Index").AsLong(), 2);
    // It starts fresh, and the whole form can still be saved.
    EXPECT_EQ(Ctl(L"Ctl2", 2).Call(L"Value").AsLong(), 0);
    EXPECT_NO_THROW(WriteForm(form_->Describe()));
}

TEST_F(ActiveXForm, AFormMakesOneFontPerLookHoweverOftenItIsAsked) {
    Load();
    const HFONT plain = form_->FontFor({});
    const std::vector<Property> big{{L"FontSize", 12.0}};
    const HFONT larger = form_->FontFor(big);
    EXPECT_NE(plain, larger);
    // Labels ask at every paint, controls at every ambient read: still the same two fonts.
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(form_->FontFor({}), plain);
        ASSERT_EQ(form_->FontFor(big), larger);
        RedrawWindow(form_->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    LOGFONTW lf{};
    ASSERT_EQ(GetObjectW(larger, sizeof lf, &lf), static_cast<int>(sizeof lf));
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(lf.lfHeight, -static_cast<LONG>(12.0 * GetDeviceCaps(dc, LOGPIXELSY) / 72.0 + 0.5));
    ReleaseDC(nullptr, dc);
    EXPECT_STREQ(lf.lfFaceName, L"ＭＳ Ｐゴシック");
}
