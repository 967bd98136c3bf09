// The control in a site of the tests' own: ambient user mode, extender,
// in-place activation and its window, extent, drawing, class info.
#include <windows.h>
#include "NonCopyable.h"
#include <olectl.h>

#include <gtest/gtest.h>

#include "AutoObject.h"
#include "Bstr.h"
#include "Units.h"
#include "TestControlDll.h"
#include "TestSite.h"

using kx::ComPtr;

namespace kxtest {
namespace {

class SiteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, host_.get());
        site_ = TestSite::New(host_.get());
        ctl_ = NewTestControl();
        ASSERT_TRUE(ctl_);
        ASSERT_HRESULT_SUCCEEDED(ctl_.As(&ole_));
    }
    void TearDown() override {
        if (ole_) {
            ole_->Close(OLECLOSE_NOSAVE);
            ole_->SetClientSite(nullptr);
        }
    }
    // As a container of the VB kind does it: site first, then new state.
    void Attach() {
        ASSERT_HRESULT_SUCCEEDED(ole_->SetClientSite(site_.Get()));
        ComPtr<IPersistStreamInit> persist;
        ASSERT_HRESULT_SUCCEEDED(ctl_.As(&persist));
        ASSERT_HRESULT_SUCCEEDED(persist->InitNew());
    }
    HWND Activate(LONG verb = OLEIVERB_INPLACEACTIVATE) {
        RECT r = site_->pos;
        EXPECT_HRESULT_SUCCEEDED(ole_->DoVerb(verb, nullptr, site_.Get(), 0, host_.get(), &r));
        LONG h = 0;
        ctl_->get_hWnd(&h);
        return reinterpret_cast<HWND>(static_cast<LONG_PTR>(h));
    }
    // The extent the control reports once given this one.
    SIZEL ExtentAfterSetting(SIZEL size) {
        EXPECT_HRESULT_SUCCEEDED(ole_->SetExtent(DVASPECT_CONTENT, &size));
        SIZEL got{};
        EXPECT_HRESULT_SUCCEEDED(ole_->GetExtent(DVASPECT_CONTENT, &got));
        return got;
    }
    LONG UserModeSeen() {
        LONG v = 99;
        EXPECT_HRESULT_SUCCEEDED(ctl_->get_UserModeSeen(&v));
        return v;
    }
    static bool HasVisibleStyle(HWND hwnd) { return (GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

    HostWindow host_;
    ComPtr<TestSite> site_;
    ComPtr<IKxTestCtl> ctl_;
    ComPtr<IOleObject> ole_;
};

TEST_F(SiteTest, ControlReadsTheAmbientUserMode) {
    site_->userMode = false;
    Attach();
    EXPECT_EQ(0, UserModeSeen());
    site_->userMode = true;
    ComPtr<IOleControl> control;
    ASSERT_HRESULT_SUCCEEDED(ctl_.As(&control));
    EXPECT_EQ(0, UserModeSeen()); // read again only when told
    ASSERT_HRESULT_SUCCEEDED(control->OnAmbientPropertyChange(DISPID_AMBIENT_USERMODE));
    EXPECT_EQ(-1, UserModeSeen());
    site_->userMode.reset();
    ASSERT_HRESULT_SUCCEEDED(control->OnAmbientPropertyChange(DISPID_UNKNOWN));
    EXPECT_EQ(1, UserModeSeen());
}

TEST_F(SiteTest, ControlReadsTheExtenderByName) {
    ComPtr<kx::AutoObject> extender = kx::AutoObject::New();
    extender->DefineString(L"Name", L"KxTest1");
    site_->extender = extender;
    Attach();
    kx::Bstr name;
    ASSERT_HRESULT_SUCCEEDED(ctl_->get_ExtenderName(name.put()));
    EXPECT_EQ(L"KxTest1", name.str());
}

TEST_F(SiteTest, ControlWithoutExtenderCopes) {
    Attach();
    kx::Bstr name;
    ASSERT_HRESULT_SUCCEEDED(ctl_->get_ExtenderName(name.put()));
    EXPECT_EQ(L"", name.str());
}

TEST_F(SiteTest, WindowIsAChildOfTheSiteWindowHiddenAtRunTime) {
    site_->userMode = true;
    Attach();
    HWND hwnd = Activate();
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(host_.get(), GetParent(hwnd));
    EXPECT_EQ("KxTestCtlWindow", WindowClassName(hwnd));
    EXPECT_TRUE(GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD);
    EXPECT_FALSE(HasVisibleStyle(hwnd));
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, host_.get(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(site_->pos.left, r.left);
    EXPECT_EQ(site_->pos.top, r.top);
    EXPECT_EQ(site_->pos.right, r.right);
    EXPECT_EQ(site_->pos.bottom, r.bottom);
    EXPECT_EQ(1, site_->inPlaceActivations);

    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_HRESULT_SUCCEEDED(ctl_.As(&inPlace));
    HWND reported = nullptr;
    ASSERT_HRESULT_SUCCEEDED(inPlace->GetWindow(&reported));
    EXPECT_EQ(hwnd, reported);
}

TEST_F(SiteTest, WithoutUserModeTheControlTakesRunTime) {
    Attach();
    HWND hwnd = Activate();
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_FALSE(HasVisibleStyle(hwnd));
}

TEST_F(SiteTest, WindowIsShownAtDesignTimeAndHiddenWhenRunning) {
    site_->userMode = false;
    Attach();
    HWND hwnd = Activate();
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_TRUE(HasVisibleStyle(hwnd));
    site_->userMode = true;
    ComPtr<IOleControl> control;
    ASSERT_HRESULT_SUCCEEDED(ctl_.As(&control));
    ASSERT_HRESULT_SUCCEEDED(control->OnAmbientPropertyChange(DISPID_AMBIENT_USERMODE));
    EXPECT_FALSE(HasVisibleStyle(hwnd));
    EXPECT_TRUE(IsWindow(hwnd));
}

TEST_F(SiteTest, WindowProcedureHookAnswersMessages) {
    Attach();
    HWND hwnd = Activate();
    ctl_->put_Value(1234);
    EXPECT_EQ(1234, SendMessageA(hwnd, WM_USER + 1, 0, 0));
    EXPECT_EQ(0, SendMessageA(hwnd, WM_USER + 2, 0, 0)); // not answered: DefWindowProc
}

TEST_F(SiteTest, SetObjectRectsMovesTheWindow) {
    Attach();
    HWND hwnd = Activate();
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_HRESULT_SUCCEEDED(ctl_.As(&inPlace));
    RECT moved{30, 40, 70, 90};
    ASSERT_HRESULT_SUCCEEDED(inPlace->SetObjectRects(&moved, &moved));
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, host_.get(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(30, r.left);
    EXPECT_EQ(40, r.top);
    EXPECT_EQ(40, r.right - r.left);
    EXPECT_EQ(50, r.bottom - r.top);
}

TEST_F(SiteTest, DeactivationDestroysTheWindow) {
    Attach();
    HWND hwnd = Activate();
    ASSERT_TRUE(IsWindow(hwnd));
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_HRESULT_SUCCEEDED(ctl_.As(&inPlace));
    ASSERT_HRESULT_SUCCEEDED(inPlace->InPlaceDeactivate());
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(1, site_->inPlaceDeactivations);
    LONG h = -1;
    ctl_->get_hWnd(&h);
    EXPECT_EQ(0, h);
    // Active again: a new window.
    EXPECT_TRUE(IsWindow(Activate()));
}

TEST_F(SiteTest, UiActivationTellsTheSite) {
    site_->userMode = false;
    Attach();
    Activate(OLEIVERB_UIACTIVATE);
    EXPECT_EQ(1, site_->inPlaceActivations);
    EXPECT_EQ(1, site_->uiActivations);
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_HRESULT_SUCCEEDED(ctl_.As(&inPlace));
    ASSERT_HRESULT_SUCCEEDED(inPlace->UIDeactivate());
    EXPECT_EQ(1, site_->uiDeactivations);
}

TEST_F(SiteTest, ReleasingTheSiteEndsActivation) {
    Attach();
    HWND hwnd = Activate();
    ASSERT_HRESULT_SUCCEEDED(ole_->SetClientSite(nullptr));
    EXPECT_FALSE(IsWindow(hwnd));
    ComPtr<IOleClientSite> none;
    ASSERT_HRESULT_SUCCEEDED(ole_->GetClientSite(&none));
    EXPECT_FALSE(none);
}

TEST_F(SiteTest, WindowDestroyedWithItsParentIsForgotten) {
    Attach();
    HWND hwnd = Activate();
    host_.Destroy();
    EXPECT_FALSE(IsWindow(hwnd));
    LONG h = -1;
    ctl_->get_hWnd(&h);
    EXPECT_EQ(0, h);
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_HRESULT_SUCCEEDED(ctl_.As(&inPlace));
    EXPECT_HRESULT_SUCCEEDED(inPlace->InPlaceDeactivate());
}

TEST_F(SiteTest, FreeSizedControlTakesTheExtentGiven) {
    Attach();
    Activate();
    SIZEL size{2000, 1000};
    const SIZEL got = ExtentAfterSetting(size);
    EXPECT_EQ(2000, got.cx);
    EXPECT_EQ(1000, got.cy);
    EXPECT_TRUE(site_->posRectChanges.empty());
    EXPECT_EQ(0, site_->layoutRequests);
    EXPECT_EQ(DV_E_DVASPECT, ole_->SetExtent(DVASPECT_ICON, &size));
}

TEST_F(SiteTest, FixedSizeControlKeepsItsExtentAndAsksTheContainer) {
    Attach();
    Activate();
    ctl_->put_FixedSize(VARIANT_TRUE);
    SIZEL size{2000, 1000};
    const SIZEL got = ExtentAfterSetting(size);
    EXPECT_EQ(820, got.cx);
    EXPECT_EQ(741, got.cy);
    ASSERT_EQ(1u, site_->posRectChanges.size());
    const SIZE px = kx::HimetricToPixels(SIZEL{820, 741});
    const RECT& r = site_->posRectChanges[0];
    EXPECT_EQ(site_->pos.left, r.left);
    EXPECT_EQ(site_->pos.top, r.top);
    EXPECT_EQ(px.cx, r.right - r.left);
    EXPECT_EQ(px.cy, r.bottom - r.top);
    EXPECT_EQ(0, site_->layoutRequests);

    // A container that will not move it is asked for a new layout.
    site_->posRectChangeAnswer = E_NOTIMPL;
    ASSERT_HRESULT_SUCCEEDED(ole_->SetExtent(DVASPECT_CONTENT, &size));
    EXPECT_EQ(1, site_->layoutRequests);
}

TEST_F(SiteTest, PropertiesVerbLetsTheContainerShowItsFrame) {
    Attach();
    RECT r = site_->pos;
    site_->propertyFrameAnswer = S_OK;
    EXPECT_EQ(S_OK, ole_->DoVerb(OLEIVERB_PROPERTIES, nullptr, site_.Get(), 0, host_.get(), &r));
    EXPECT_EQ(1, site_->propertyFrames);
    // The control has no pages of its own to show instead.
    site_->propertyFrameAnswer = E_NOTIMPL;
    EXPECT_EQ(S_FALSE, ole_->DoVerb(OLEIVERB_PROPERTIES, nullptr, site_.Get(), 0, host_.get(), &r));
    EXPECT_EQ(2, site_->propertyFrames);
    EXPECT_EQ(OLEOBJ_S_INVALIDVERB, ole_->DoVerb(7, nullptr, site_.Get(), 0, host_.get(), &r));
}

TEST_F(SiteTest, ClassInfoForTheContainer) {
    DWORD misc = 0;
    ASSERT_HRESULT_SUCCEEDED(ole_->GetMiscStatus(DVASPECT_CONTENT, &misc));
    EXPECT_EQ(0x20591u, misc);
    CLSID clsid{};
    ASSERT_HRESULT_SUCCEEDED(ole_->GetUserClassID(&clsid));
    EXPECT_TRUE(clsid == CLSID_KxTestCtl);

    ComPtr<IProvideClassInfo2> info;
    ASSERT_HRESULT_SUCCEEDED(ctl_.As(&info));
    GUID source{};
    ASSERT_HRESULT_SUCCEEDED(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source));
    EXPECT_TRUE(source == DIID__KxTestCtlEvents);
    ComPtr<ITypeInfo> classInfo;
    ASSERT_HRESULT_SUCCEEDED(info->GetClassInfo(&classInfo));
    TYPEATTR* attr = nullptr;
    ASSERT_HRESULT_SUCCEEDED(classInfo->GetTypeAttr(&attr));
    EXPECT_TRUE(attr->guid == CLSID_KxTestCtl);
    EXPECT_EQ(TKIND_COCLASS, attr->typekind);
    classInfo->ReleaseTypeAttr(attr);

    ComPtr<ISpecifyPropertyPages> pages;
    ASSERT_HRESULT_SUCCEEDED(ctl_.As(&pages));
    CAUUID list{99, nullptr};
    ASSERT_HRESULT_SUCCEEDED(pages->GetPages(&list));
    EXPECT_EQ(0u, list.cElems);
    CoTaskMemFree(list.pElems);

    SIZEL extent{};
    ASSERT_HRESULT_SUCCEEDED(ole_->GetExtent(DVASPECT_CONTENT, &extent));
    EXPECT_EQ(820, extent.cx);
    EXPECT_EQ(741, extent.cy);
}

// A 32-bit DIB section to draw into, read back pixel by pixel.
class Canvas : private kx::NonCopyable {
public:
    Canvas(int w, int h) : w_(w), h_(h) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        RECT all{0, 0, w, h};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const DWORD p = static_cast<const DWORD*>(bits_)[y * w_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

private:
    int w_, h_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    void* bits_ = nullptr;
};

TEST_F(SiteTest, ViewObjectDrawsTheFace) {
    ComPtr<IViewObject2> view;
    ASSERT_HRESULT_SUCCEEDED(ctl_.As(&view));
    Canvas canvas(60, 60);
    RECTL bounds{0, 0, 60, 60};
    ASSERT_HRESULT_SUCCEEDED(
        view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds, nullptr, nullptr, 0));
    EXPECT_EQ(RGB(255, 0, 0), canvas.At(0, 0)); // the face's frame
    EXPECT_EQ(RGB(0, 0, 255), canvas.At(14, 13)); // its centre
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), canvas.At(45, 45)); // background
    EXPECT_EQ(DV_E_DVASPECT,
              view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds, nullptr, nullptr, 0));
    SIZEL extent{};
    ASSERT_HRESULT_SUCCEEDED(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent));
    EXPECT_EQ(820, extent.cx);
}

} // namespace
} // namespace kxtest
