// The pages as classes of Kestrix.OCX: registered beside the control,
// named by it in order, and gone again with it.
#include <olectl.h>

#include <string>

#include "ActiveXControl.h"
#include "PageFixture.h"
#include "PageIds.h"
#include "UniqueHandle.h"

using namespace kxtest;

namespace {

std::wstring ClsidKey(const CLSID& clsid) {
    wchar_t text[40] = {};
    StringFromGUID2(clsid, text, 40);
    return std::wstring(L"CLSID\\") + text;
}

bool ReadValue(const std::wstring& key, const wchar_t* name, std::wstring* out) {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) return false;
    kx::UniqueHkey k(raw);
    wchar_t data[MAX_PATH * 2] = {};
    DWORD size = sizeof data - sizeof(wchar_t), type = 0;
    if (RegQueryValueExW(k.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    *out = data;
    return true;
}

HRESULT CallServer(const char* entry) {
    HMODULE ocx = GetModuleHandleA("Kestrix.OCX");
    auto fn = ocx ? reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(ocx, entry)) : nullptr;
    return fn ? fn() : E_FAIL;
}

const struct {
    const CLSID* clsid;
    const wchar_t* name;
} kPages[] = {
    {&kestrix::CLSID_KestrixProp1, L"KestrixProp1"},
    {&kestrix::CLSID_KestrixProp2, L"KestrixProp2"},
    {&kestrix::CLSID_KestrixProp3, L"KestrixProp3"},
};

class PageRegistration : public PageTest {};

} // namespace

TEST_F(PageRegistration, EachPageIsAnApartmentClassOfTheOcxWithItsPublishedId) {
    // Published ids never change.
    EXPECT_EQ(ClsidKey(kestrix::CLSID_KestrixProp1), L"CLSID\\{FB36C703-6340-40A4-BEEB-56036C5C61D7}");
    EXPECT_EQ(ClsidKey(kestrix::CLSID_KestrixProp2), L"CLSID\\{E48147E9-C570-4BF4-B89C-FA0EE1117026}");
    EXPECT_EQ(ClsidKey(kestrix::CLSID_KestrixProp3), L"CLSID\\{2EC5D106-BE93-4AF5-B735-6EB8A668016A}");
    for (const auto& p : kPages) {
        const std::wstring key = ClsidKey(*p.clsid);
        std::wstring value;
        ASSERT_TRUE(ReadValue(key, nullptr, &value)) << key;
        EXPECT_EQ(value, p.name);
        ASSERT_TRUE(ReadValue(key + L"\\InprocServer32", nullptr, &value)) << key;
        EXPECT_EQ(value, ExeDir() + L"Kestrix.OCX");
        ASSERT_TRUE(ReadValue(key + L"\\InprocServer32", L"ThreadingModel", &value)) << key;
        EXPECT_EQ(value, L"Apartment");
        // A page is no control.
        EXPECT_FALSE(ReadValue(key + L"\\Control", nullptr, &value));
    }
}

TEST_F(PageRegistration, TheControlNamesItsThreePagesInOrder) {
    LoadDemlet1();
    auto& c = form_->Get<kxhost::ActiveXControl>(L"Kestrix1");
    kx::ComPtr<ISpecifyPropertyPages> spp;
    ASSERT_HRESULT_SUCCEEDED(c.OleObject()->QueryInterface(IID_PPV_ARGS(&spp)));
    CAUUID pages{0, nullptr};
    ASSERT_HRESULT_SUCCEEDED(spp->GetPages(&pages));
    ASSERT_EQ(pages.cElems, 3u);
    for (ULONG i = 0; i < 3; ++i) EXPECT_TRUE(pages.pElems[i] == *kPages[i].clsid) << "page " << i;
    CoTaskMemFree(pages.pElems);
}

TEST_F(PageRegistration, UnregisteringRemovesThePagesAndRegisteringBringsThemBack) {
    ASSERT_HRESULT_SUCCEEDED(CallServer("DllUnregisterServer"));
    for (const auto& p : kPages) {
        std::wstring value;
        EXPECT_FALSE(ReadValue(ClsidKey(*p.clsid), nullptr, &value)) << p.name;
        kx::ComPtr<IUnknown> page;
        EXPECT_EQ(CoCreateInstance(*p.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&page)), REGDB_E_CLASSNOTREG);
    }
    // Gone already counts as done.
    EXPECT_HRESULT_SUCCEEDED(CallServer("DllUnregisterServer"));
    ASSERT_HRESULT_SUCCEEDED(CallServer("DllRegisterServer"));
    for (const auto& p : kPages) {
        kx::ComPtr<IPropertyPage2> page;
        EXPECT_HRESULT_SUCCEEDED(CoCreateInstance(*p.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&page)));
    }
}
