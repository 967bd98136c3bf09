// Raised errors: DISP_E_EXCEPTION with EXCEPINFO for late-bound callers,
// the error object for vtable callers.
#include <gtest/gtest.h>

#include "Bstr.h"
#include "LateBound.h"
#include "TestControlDll.h"
#include "Variant.h"

using kx::ComPtr;

namespace kxtest {
namespace {

TEST(ErrorTest, LateBoundCallerGetsTheExceptionInfo) {
    ComPtr<IKxTestCtl> ctl = NewInitializedTestControl();
    ComPtr<IDispatch> disp;
    ASSERT_HRESULT_SUCCEEDED(ctl.As(&disp));
    DISPID id = 0;
    ASSERT_HRESULT_SUCCEEDED(kx::GetDispId(disp.Get(), L"Fail", &id));
    VARIANTARG arg;
    V_VT(&arg) = VT_I4;
    V_I4(&arg) = 10009;
    DISPPARAMS dp{&arg, nullptr, 1, 0};
    EXCEPINFO ei{};
    ASSERT_EQ(DISP_E_EXCEPTION,
              disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &dp, nullptr, &ei, nullptr));
    if (ei.pfnDeferredFillIn) ei.pfnDeferredFillIn(&ei);
    kx::Bstr source, description, helpFile;
    *source.put() = ei.bstrSource;
    *description.put() = ei.bstrDescription;
    *helpFile.put() = ei.bstrHelpFile;
    EXPECT_EQ(static_cast<SCODE>(0x800A0000 + 10009), ei.scode);
    EXPECT_EQ(0, ei.wCode);
    EXPECT_EQ(L"テスト エラー", description.str());
    EXPECT_EQ(L"KxTest.hlp", helpFile.str());
    EXPECT_EQ(7u, ei.dwHelpContext);
    EXPECT_EQ(L"", source.str());
}

TEST(ErrorTest, LateBoundErrorAsAVbCallerSeesIt) {
    ComPtr<IKxTestCtl> ctl = NewInitializedTestControl();
    ComPtr<IDispatch> disp;
    ASSERT_HRESULT_SUCCEEDED(ctl.As(&disp));
    VARIANTARG arg;
    V_VT(&arg) = VT_I4;
    V_I4(&arg) = 5;
    kx::AutomationError err;
    EXPECT_EQ(DISP_E_EXCEPTION, kx::InvokeByName(disp.Get(), L"Fail", DISPATCH_METHOD, &arg, 1, nullptr, &err));
    EXPECT_EQ(5, err.number);
    EXPECT_EQ(L"テスト エラー", err.description);
    EXPECT_EQ(7u, err.helpContext);
}

TEST(ErrorTest, VtableCallerGetsTheErrorObject) {
    ComPtr<IKxTestCtl> ctl = NewInitializedTestControl();
    EXPECT_EQ(static_cast<HRESULT>(0x800A0000 + 513), ctl->Fail(513));
    ComPtr<ISupportErrorInfo> support;
    ASSERT_HRESULT_SUCCEEDED(ctl.As(&support));
    EXPECT_EQ(S_OK, support->InterfaceSupportsErrorInfo(IID_IKxTestCtl));
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IOleObject));
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(S_OK, GetErrorInfo(0, &info));
    kx::Bstr description, helpFile, source;
    ASSERT_HRESULT_SUCCEEDED(info->GetDescription(description.put()));
    ASSERT_HRESULT_SUCCEEDED(info->GetHelpFile(helpFile.put()));
    info->GetSource(source.put());
    DWORD context = 0;
    ASSERT_HRESULT_SUCCEEDED(info->GetHelpContext(&context));
    GUID guid{};
    ASSERT_HRESULT_SUCCEEDED(info->GetGUID(&guid));
    EXPECT_EQ(L"テスト エラー", description.str());
    EXPECT_EQ(L"KxTest.hlp", helpFile.str());
    EXPECT_EQ(7u, context);
    EXPECT_TRUE(guid == IID_IKxTestCtl);
    EXPECT_EQ(L"", source.str());
}

TEST(ErrorTest, AnErrorObjectLeftOverDoesNotOutliveTheNextCall) {
    ComPtr<IKxTestCtl> ctl = NewInitializedTestControl();
    ComPtr<IDispatch> disp;
    ASSERT_HRESULT_SUCCEEDED(ctl.As(&disp));
    EXPECT_HRESULT_FAILED(ctl->Fail(6)); // its error object is never read
    kx::Variant v;
    ASSERT_HRESULT_SUCCEEDED(kx::GetProperty(disp.Get(), L"Value", v.put()));
    ComPtr<IErrorInfo> info;
    EXPECT_EQ(S_FALSE, GetErrorInfo(0, &info));
}

} // namespace
} // namespace kxtest
