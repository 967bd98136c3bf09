// Late-bound calls by name into the control: the conversion of
// by-reference arguments in front of ITypeInfo::Invoke.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include "Bstr.h"
#include "LateBound.h"
#include "TestControlDll.h"
#include "Variant.h"

using kx::ComPtr;
using kx::Variant;

namespace kxtest {
namespace {

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ctl_ = NewInitializedTestControl();
        ASSERT_TRUE(ctl_);
        ASSERT_HRESULT_SUCCEEDED(ctl_.As(&disp_));
    }
    // Calls a method by name with args in call order; argErr receives the
    // failing argument's index (as IDispatch numbers them: last first).
    HRESULT Call(const wchar_t* name, VARIANTARG* args, UINT count, VARIANT* result = nullptr, UINT* argErr = nullptr) {
        DISPID id = DISPID_UNKNOWN;
        HRESULT hr = kx::GetDispId(disp_.Get(), name, &id);
        if (FAILED(hr)) return hr;
        VARIANTARG reversed[8];
        for (UINT i = 0; i < count; ++i) reversed[i] = args[count - 1 - i];
        DISPPARAMS dp{reversed, nullptr, count, 0};
        EXCEPINFO ei{};
        UINT err = 0xFFFF;
        hr = disp_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &dp, result, &ei, &err);
        if (argErr) *argErr = err;
        SysFreeString(ei.bstrSource);
        SysFreeString(ei.bstrDescription);
        SysFreeString(ei.bstrHelpFile);
        return hr;
    }
    static void SetRef(VARIANT& v, VARTYPE vt, void* p) {
        V_VT(&v) = VT_BYREF | vt;
        V_BYREF(&v) = p;
    }

    ComPtr<IKxTestCtl> ctl_;
    ComPtr<IDispatch> disp_;
};

TEST_F(DispatchTest, NamesAreFoundWithoutRegardToCase) {
    DISPID id = 0;
    ASSERT_HRESULT_SUCCEEDED(kx::GetDispId(disp_.Get(), L"Caption", &id));
    EXPECT_EQ(1, id);
    ASSERT_HRESULT_SUCCEEDED(kx::GetDispId(disp_.Get(), L"eCHO", &id));
    EXPECT_EQ(3, id);
    ASSERT_HRESULT_SUCCEEDED(kx::GetDispId(disp_.Get(), L"hwnd", &id));
    EXPECT_EQ(DISPID_HWND, id);
    EXPECT_EQ(DISP_E_UNKNOWNNAME, kx::GetDispId(disp_.Get(), L"NoSuchMember", &id));
}

TEST_F(DispatchTest, TypeInfoDescribesTheDualInterface) {
    UINT count = 0;
    ASSERT_HRESULT_SUCCEEDED(disp_->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    ComPtr<ITypeInfo> info;
    ASSERT_HRESULT_SUCCEEDED(disp_->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info));
    TYPEATTR* attr = nullptr;
    ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attr));
    EXPECT_TRUE(attr->guid == IID_IKxTestCtl);
    info->ReleaseTypeAttr(attr);
    EXPECT_EQ(DISP_E_BADINDEX, disp_->GetTypeInfo(1, LOCALE_USER_DEFAULT, &info));
}

TEST_F(DispatchTest, OtherInterfaceIdIsRefused) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    Variant result;
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
              disp_->Invoke(2, IID_IDispatch, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, result.get(), nullptr,
                            nullptr));
}

TEST_F(DispatchTest, PropertiesByNameCoerceByValueArguments) {
    VARIANT text;
    V_VT(&text) = VT_BSTR;
    kx::Bstr abc(L"abc");
    V_BSTR(&text) = abc.get();
    ASSERT_HRESULT_SUCCEEDED(kx::PutProperty(disp_.Get(), L"Caption", text));
    Variant got;
    ASSERT_HRESULT_SUCCEEDED(kx::GetProperty(disp_.Get(), L"Caption", got.put()));
    ASSERT_EQ(VT_BSTR, got.vt());
    EXPECT_STREQ(L"abc", V_BSTR(got.get()));

    kx::Bstr fortyTwo(L"42");
    V_BSTR(&text) = fortyTwo.get();
    ASSERT_HRESULT_SUCCEEDED(kx::PutProperty(disp_.Get(), L"Value", text));
    LONG v = 0;
    ASSERT_HRESULT_SUCCEEDED(ctl_->get_Value(&v));
    EXPECT_EQ(42, v);
}

TEST_F(DispatchTest, EchoWithReferencesOfTheDeclaredTypes) {
    LONG n = 21;
    kx::Bstr s(L"hi");
    BSTR sb = s.release();
    VARIANTARG args[2];
    SetRef(args[0], VT_I4, &n);
    SetRef(args[1], VT_BSTR, &sb);
    ASSERT_HRESULT_SUCCEEDED(Call(L"Echo", args, 2));
    kx::Bstr back;
    *back.put() = sb;
    EXPECT_EQ(42, n);
    EXPECT_EQ(L"hi!", back.str());
}

TEST_F(DispatchTest, EchoWritesIntoReferencedVariants) {
    Variant n, s;
    V_VT(n.get()) = VT_I4;
    V_I4(n.get()) = 5;
    V_VT(s.get()) = VT_BSTR;
    V_BSTR(s.get()) = SysAllocString(L"x");
    VARIANTARG args[2];
    SetRef(args[0], VT_VARIANT, n.get());
    SetRef(args[1], VT_VARIANT, s.get());
    ASSERT_HRESULT_SUCCEEDED(Call(L"Echo", args, 2));
    ASSERT_EQ(VT_I4, n.vt());
    EXPECT_EQ(10, V_I4(n.get()));
    ASSERT_EQ(VT_BSTR, s.vt());
    EXPECT_STREQ(L"x!", V_BSTR(s.get()));
}

TEST_F(DispatchTest, EmptyReferencedVariantsReceiveTheResult) {
    Variant n, s;
    VARIANTARG args[2];
    SetRef(args[0], VT_VARIANT, n.get());
    SetRef(args[1], VT_VARIANT, s.get());
    ASSERT_HRESULT_SUCCEEDED(Call(L"Echo", args, 2));
    ASSERT_EQ(VT_I4, n.vt());
    EXPECT_EQ(0, V_I4(n.get()));
    ASSERT_EQ(VT_BSTR, s.vt());
    EXPECT_STREQ(L"!", V_BSTR(s.get()));
}

TEST_F(DispatchTest, ReferencedVariantsOfOtherTypesGetTheDeclaredType) {
    Variant n, s;
    V_VT(n.get()) = VT_R8;
    V_R8(n.get()) = 2.0;
    V_VT(s.get()) = VT_I4;
    V_I4(s.get()) = 7;
    VARIANTARG args[2];
    SetRef(args[0], VT_VARIANT, n.get());
    SetRef(args[1], VT_VARIANT, s.get());
    ASSERT_HRESULT_SUCCEEDED(Call(L"Echo", args, 2));
    ASSERT_EQ(VT_I4, n.vt());
    EXPECT_EQ(4, V_I4(n.get()));
    ASSERT_EQ(VT_BSTR, s.vt());
    EXPECT_STREQ(L"7!", V_BSTR(s.get()));
}

TEST_F(DispatchTest, ByValueArgumentsAreAcceptedAndLeftAlone) {
    Variant n, s;
    V_VT(n.get()) = VT_I4;
    V_I4(n.get()) = 7;
    V_VT(s.get()) = VT_BSTR;
    V_BSTR(s.get()) = SysAllocString(L"q");
    VARIANTARG args[2] = {*n.get(), *s.get()}; // shallow: the owners keep them
    ASSERT_HRESULT_SUCCEEDED(Call(L"Echo", args, 2));
    EXPECT_EQ(7, V_I4(n.get()));
    EXPECT_STREQ(L"q", V_BSTR(s.get()));
}

TEST_F(DispatchTest, ReferencesOfOtherTypesAreConvertedBothWays) {
    SHORT n = 3;
    VARIANTARG args[2];
    SetRef(args[0], VT_I2, &n);
    Variant s;
    SetRef(args[1], VT_VARIANT, s.get());
    ASSERT_HRESULT_SUCCEEDED(Call(L"Echo", args, 2));
    EXPECT_EQ(6, n);
}

TEST_F(DispatchTest, WriteBackThatDoesNotFitIsAnOverflow) {
    SHORT n = 20000;
    Variant s;
    VARIANTARG args[2];
    SetRef(args[0], VT_I2, &n);
    SetRef(args[1], VT_VARIANT, s.get());
    UINT argErr = 0;
    EXPECT_EQ(DISP_E_OVERFLOW, Call(L"Echo", args, 2, nullptr, &argErr));
    EXPECT_EQ(20000, n);
    EXPECT_EQ(1u, argErr); // n is the first argument: last in rgvarg order
}

TEST_F(DispatchTest, UnconvertibleArgumentIsATypeMismatchAndChangesNothing) {
    Variant n, s;
    V_VT(n.get()) = VT_BSTR;
    V_BSTR(n.get()) = SysAllocString(L"abc");
    V_VT(s.get()) = VT_BSTR;
    V_BSTR(s.get()) = SysAllocString(L"keep");
    VARIANTARG args[2];
    SetRef(args[0], VT_VARIANT, n.get());
    SetRef(args[1], VT_VARIANT, s.get());
    UINT argErr = 0;
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(L"Echo", args, 2, nullptr, &argErr));
    EXPECT_EQ(1u, argErr);
    EXPECT_STREQ(L"abc", V_BSTR(n.get()));
    EXPECT_STREQ(L"keep", V_BSTR(s.get()));
}

TEST_F(DispatchTest, BooleanAndVariantReferences) {
    VARIANT_BOOL flag = VARIANT_FALSE;
    Variant any;
    VARIANTARG args[2];
    SetRef(args[0], VT_BOOL, &flag);
    SetRef(args[1], VT_VARIANT, any.get());
    ASSERT_HRESULT_SUCCEEDED(Call(L"Flip", args, 2));
    EXPECT_EQ(VARIANT_TRUE, flag);
    ASSERT_EQ(VT_BSTR, any.vt());
    EXPECT_STREQ(L"flipped", V_BSTR(any.get()));

    // A Long variable passed for the Boolean receives True as -1; a
    // by-value argument for the VARIANT* parameter is accepted.
    LONG asLong = 0;
    SetRef(args[0], VT_I4, &asLong);
    V_VT(&args[1]) = VT_I4;
    V_I4(&args[1]) = 3;
    ASSERT_HRESULT_SUCCEEDED(Call(L"Flip", args, 2));
    EXPECT_EQ(-1, asLong);
}

TEST_F(DispatchTest, MethodResultComesBack) {
    VARIANTARG arg;
    V_VT(&arg) = VT_BSTR; // converted by value to the declared Long
    kx::Bstr nine(L"9");
    V_BSTR(&arg) = nine.get();
    Variant result;
    ASSERT_HRESULT_SUCCEEDED(Call(L"Fire", &arg, 1, result.get()));
    ASSERT_EQ(VT_I4, result.vt());
    EXPECT_EQ(9, V_I4(result.get()));
}

} // namespace
} // namespace kxtest
