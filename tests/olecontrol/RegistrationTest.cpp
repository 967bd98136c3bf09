// Self-registration of the test control: the table-driven rows, the type
// library, creation by CLSID and ProgID, unregistration, regsvr32.
#include <gtest/gtest.h>

#include "Registration.h"
#include "TestControlDll.h"

using kx::ComPtr;

namespace kxtest {
namespace {

const std::wstring kClsidKey = L"CLSID\\" + kx::ole::GuidString(CLSID_KxTestCtl);

TEST(RegistrationTest, RegisterWritesTheControlKeys) {
    ASSERT_HRESULT_SUCCEEDED(RegisterTestControl());
    const std::wstring path = TestControlPath();
    EXPECT_EQ(path, RegistryString(HKEY_CLASSES_ROOT, kClsidKey + L"\\InprocServer32"));
    EXPECT_EQ(L"Apartment", RegistryString(HKEY_CLASSES_ROOT, kClsidKey + L"\\InprocServer32", L"ThreadingModel"));
    EXPECT_EQ(L"KxTest.Ctl", RegistryString(HKEY_CLASSES_ROOT, kClsidKey + L"\\ProgID"));
    EXPECT_EQ(L"KxTest.Ctl", RegistryString(HKEY_CLASSES_ROOT, kClsidKey + L"\\VersionIndependentProgID"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, kClsidKey + L"\\Control"));
    EXPECT_EQ(L"0", RegistryString(HKEY_CLASSES_ROOT, kClsidKey + L"\\MiscStatus"));
    EXPECT_EQ(L"132497", RegistryString(HKEY_CLASSES_ROOT, kClsidKey + L"\\MiscStatus\\1")); // 0x20591
    EXPECT_EQ(path + L", 102", RegistryString(HKEY_CLASSES_ROOT, kClsidKey + L"\\ToolboxBitmap32"));
    EXPECT_EQ(kx::ole::GuidString(LIBID_KxTestCtlLib), RegistryString(HKEY_CLASSES_ROOT, kClsidKey + L"\\TypeLib"));
    EXPECT_EQ(L"1.0", RegistryString(HKEY_CLASSES_ROOT, kClsidKey + L"\\Version"));
    EXPECT_EQ(kx::ole::GuidString(CLSID_KxTestCtl), RegistryString(HKEY_CLASSES_ROOT, L"KxTest.Ctl\\CLSID"));

    ComPtr<ITypeLib> lib;
    EXPECT_HRESULT_SUCCEEDED(LoadRegTypeLib(LIBID_KxTestCtlLib, 1, 0, LOCALE_NEUTRAL, &lib));
}

TEST(RegistrationTest, CreatesByClsidAndByProgId) {
    ASSERT_HRESULT_SUCCEEDED(RegisterTestControl());
    ComPtr<IKxTestCtl> byClsid;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_KxTestCtl, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&byClsid)));
    CLSID clsid{};
    ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"KxTest.Ctl", &clsid));
    EXPECT_TRUE(clsid == CLSID_KxTestCtl);
    ComPtr<IDispatch> byProgId;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&byProgId)));
    ComPtr<IOleObject> ole;
    EXPECT_HRESULT_SUCCEEDED(byProgId.As(&ole));
}

TEST(RegistrationTest, UnregisterRemovesWhatRegisterWrote) {
    ASSERT_HRESULT_SUCCEEDED(RegisterTestControl());
    ASSERT_HRESULT_SUCCEEDED(UnregisterTestControl());
    CLSID clsid{};
    EXPECT_HRESULT_FAILED(CLSIDFromProgID(L"KxTest.Ctl", &clsid));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, kClsidKey));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"KxTest.Ctl"));
    ComPtr<ITypeLib> lib;
    EXPECT_HRESULT_FAILED(LoadRegTypeLib(LIBID_KxTestCtlLib, 1, 0, LOCALE_NEUTRAL, &lib));
    ComPtr<IUnknown> obj;
    EXPECT_EQ(REGDB_E_CLASSNOTREG,
              CoCreateInstance(CLSID_KxTestCtl, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&obj)));
    // What is already gone counts as unregistered.
    EXPECT_EQ(S_OK, UnregisterTestControl());
    ASSERT_HRESULT_SUCCEEDED(RegisterTestControl());
}

TEST(RegistrationTest, Regsvr32RegistersAndUnregisters) {
    ASSERT_HRESULT_SUCCEEDED(UnregisterTestControl());
    ASSERT_EQ(0u, RunRegsvr32(false));
    CLSID clsid{};
    EXPECT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"KxTest.Ctl", &clsid));
    EXPECT_EQ(TestControlPath(), RegistryString(HKEY_CLASSES_ROOT, kClsidKey + L"\\InprocServer32"));
    ASSERT_EQ(0u, RunRegsvr32(true));
    EXPECT_HRESULT_FAILED(CLSIDFromProgID(L"KxTest.Ctl", &clsid));
    ASSERT_HRESULT_SUCCEEDED(RegisterTestControl());
}

TEST(RegistrationTest, ServerStaysLoadedWhileObjectsOrLocksLive) {
    HMODULE m = TestControlModule();
    ASSERT_NE(nullptr, m);
    ASSERT_EQ(S_OK, TestControlCanUnloadNow()) << "an earlier test left an object alive";
    {
        ComPtr<IKxTestCtl> ctl = NewTestControl();
        EXPECT_EQ(S_FALSE, TestControlCanUnloadNow());
    }
    EXPECT_EQ(S_OK, TestControlCanUnloadNow());

    using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObjectFunction>(GetProcAddress(m, "DllGetClassObject"));
    ASSERT_NE(nullptr, get);
    ComPtr<IClassFactory> factory;
    ASSERT_HRESULT_SUCCEEDED(get(CLSID_KxTestCtl, IID_PPV_ARGS(&factory)));
    ASSERT_HRESULT_SUCCEEDED(factory->LockServer(TRUE));
    factory.Reset();
    EXPECT_EQ(S_FALSE, TestControlCanUnloadNow());
    ASSERT_HRESULT_SUCCEEDED(get(CLSID_KxTestCtl, IID_PPV_ARGS(&factory)));
    ASSERT_HRESULT_SUCCEEDED(factory->LockServer(FALSE));
    factory.Reset();
    EXPECT_EQ(S_OK, TestControlCanUnloadNow());

    ComPtr<IUnknown> none;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, get(IID_IDispatch, IID_PPV_ARGS(&none)));
    ASSERT_HRESULT_SUCCEEDED(get(CLSID_KxTestCtl, IID_PPV_ARGS(&factory)));
    ComPtr<IUnknown> aggregated;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(factory.Get(), IID_PPV_ARGS(&aggregated)));
}

} // namespace
} // namespace kxtest
