// The control in Wine's own ATL host window ("AtlAxWin" from atl.dll),
// which gives no ambient properties (its site has no IDispatch) and no
// extender (GetExtendedControl answers E_NOTIMPL).
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include "Bstr.h"
#include "LateBound.h"
#include "Registration.h"
#include "TestControlDll.h"
#include "TestSite.h"
#include "Variant.h"

using kx::ComPtr;

namespace kxtest {
namespace {

using AtlAxWinInitFunction = BOOL(WINAPI*)();
using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);

class AtlHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(RegisterTestControl());
        atl_ = LoadLibraryA("atl.dll");
        ASSERT_NE(nullptr, atl_);
        auto init = reinterpret_cast<AtlAxWinInitFunction>(GetProcAddress(atl_, "AtlAxWinInit"));
        getControl_ = reinterpret_cast<AtlAxGetControlFunction>(GetProcAddress(atl_, "AtlAxGetControl"));
        ASSERT_NE(nullptr, init);
        ASSERT_NE(nullptr, getControl_);
        // Wine's AtlAxWinInit answers FALSE once its class is registered.
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        if (!GetClassInfoExW(GetModuleHandleW(nullptr), L"AtlAxWin", &wc)) {
            ASSERT_TRUE(init());
        }
    }
    // atl.dll stays loaded: its window class lives as long as the process.

    HWND CreateHost(const std::string& text) {
        return CreateWindowExA(0, "AtlAxWin", text.c_str(), WS_CHILD | WS_VISIBLE, 5, 5, 200, 100, parent_.get(),
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ComPtr<IKxTestCtl> ControlOf(HWND host) {
        ComPtr<IUnknown> unk;
        ComPtr<IKxTestCtl> ctl;
        if (SUCCEEDED(getControl_(host, &unk)) && unk) unk.As(&ctl);
        return ctl;
    }
    void CheckHosted(HWND host) {
        ASSERT_TRUE(IsWindow(host));
        ComPtr<IKxTestCtl> ctl = ControlOf(host);
        ASSERT_TRUE(ctl) << "the host made no KxTestCtl";

        LONG seen = 99;
        ASSERT_HRESULT_SUCCEEDED(ctl->get_UserModeSeen(&seen));
        EXPECT_EQ(1, seen); // no ambient properties at all
        kx::Bstr name(L"unset");
        ASSERT_HRESULT_SUCCEEDED(ctl->get_ExtenderName(name.put()));
        EXPECT_EQ(L"", name.str());

        LONG h = 0;
        ASSERT_HRESULT_SUCCEEDED(ctl->get_hWnd(&h));
        HWND hwnd = reinterpret_cast<HWND>(static_cast<LONG_PTR>(h));
        ASSERT_TRUE(IsWindow(hwnd));
        EXPECT_EQ(host, GetParent(hwnd));
        EXPECT_EQ("KxTestCtlWindow", WindowClassName(hwnd));
        // No user mode given: run time, so the invisible control hides.
        EXPECT_FALSE(GetWindowLongA(hwnd, GWL_STYLE) & WS_VISIBLE);

        // Late-bound calls work as anywhere else.
        ComPtr<IDispatch> disp;
        ASSERT_HRESULT_SUCCEEDED(ctl.As(&disp));
        kx::Variant n, s;
        VARIANTARG args[2];
        V_VT(&args[0]) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&args[0]) = n.get();
        V_VT(&args[1]) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&args[1]) = s.get();
        V_VT(n.get()) = VT_I4;
        V_I4(n.get()) = 4;
        ASSERT_HRESULT_SUCCEEDED(kx::InvokeByName(disp.Get(), L"Echo", DISPATCH_METHOD, args, 2, nullptr, nullptr));
        EXPECT_EQ(8, V_I4(n.get()));

        ctl.Reset();
        disp.Reset();
        DestroyWindow(host);
        EXPECT_FALSE(IsWindow(hwnd));
    }

    HostWindow parent_;
    HMODULE atl_ = nullptr;
    AtlAxGetControlFunction getControl_ = nullptr;
};

TEST_F(AtlHostTest, HostedByClsidWithoutAmbientsOrExtender) {
    std::wstring clsid = kx::ole::GuidString(CLSID_KxTestCtl);
    CheckHosted(CreateHost(std::string(clsid.begin(), clsid.end())));
}

TEST_F(AtlHostTest, HostedByProgId) { CheckHosted(CreateHost("KxTest.Ctl")); }

} // namespace
} // namespace kxtest
