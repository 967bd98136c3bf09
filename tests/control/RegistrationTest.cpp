// Kestrix.OCX as regsvr32 registers and unregisters it, and the resources
// a container reads from the file: version, face and toolbox bitmaps.
#include "Ansi.h"
#include "KestrixFixture.h"
#include "UniqueHandle.h"

#include <algorithm>
#include <cwctype>

using namespace kxtest;

namespace {

const wchar_t kClsid[] = L"{9C3D95F7-81D2-4F8F-BF6F-2945C667B57D}";
const wchar_t kLibId[] = L"{5C2BF89F-7E58-43A7-BB95-8DF1DBF28742}";
const wchar_t kDualIid[] = L"{459EEE11-887B-4B5E-8133-0DF0B8E8E8A2}";
const wchar_t kEventsIid[] = L"{EE7E5239-2028-428C-BFFD-CC4CB248F473}";

// The type library's platform key: each bitness registers its own.
const std::wstring kPlatform = sizeof(void*) == 8 ? L"win64" : L"win32";

std::wstring Clsid(const std::wstring& sub = L"") { return L"CLSID\\" + std::wstring(kClsid) + sub; }

bool KeyExists(const std::wstring& key) {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) return false;
    RegCloseKey(raw);
    return true;
}

// A value of a key as text; "(absent)" when there is none.
std::wstring ValueOf(const std::wstring& key, const wchar_t* name = nullptr) {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) return L"(absent)";
    kx::UniqueHkey k(raw);
    wchar_t data[1024] = {};
    DWORD size = sizeof data - sizeof(wchar_t), type = 0;
    if (RegQueryValueExW(k.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
        return L"(absent)";
    return type == REG_SZ || type == REG_EXPAND_SZ ? std::wstring(data) : L"(not text)";
}

std::wstring Upper(std::wstring s) {
    std::transform(s.begin(), s.end(), s.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
    return s;
}

// regsvr32 /s [/u] on the OCX beside the test program; its exit code.
DWORD RegSvr32(bool unregister) { return kxtest::RegSvr32(OcxPath(), unregister); }

// Whatever a test did, the control is registered again for the others.
struct RegisterAgain {
    ~RegisterAgain() { RegSvr32(false); }
};

BOOL CALLBACK AddBitmapId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) {
    if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<int>*>(out)->push_back(LOWORD(name));
    return TRUE;
}

using RegistrationTest = KestrixTest;

} // namespace

TEST_F(RegistrationTest, Regsvr32RegistersTheControlAndUnregistersAllOfIt) {
    RegisterAgain guard;
    ASSERT_EQ(RegSvr32(false), 0u);
    const std::wstring ocx = Upper(OcxPath());

    EXPECT_EQ(ValueOf(L"Kestrix32.Kestrix\\CLSID"), kClsid);
    EXPECT_EQ(ValueOf(Clsid(L"\\ProgID")), L"Kestrix32.Kestrix");
    EXPECT_EQ(Upper(ValueOf(Clsid(L"\\InprocServer32"))), ocx);
    EXPECT_EQ(ValueOf(Clsid(L"\\InprocServer32"), L"ThreadingModel"), L"Apartment");
    EXPECT_TRUE(KeyExists(Clsid(L"\\Control")));
    EXPECT_EQ(ValueOf(Clsid(L"\\MiscStatus\\1")), L"132497");
    const std::wstring toolbox = Upper(ValueOf(Clsid(L"\\ToolboxBitmap32")));
    EXPECT_EQ(toolbox.substr(0, ocx.size() + 2), ocx + L", ") << kx::ToAnsi(toolbox);
    EXPECT_EQ(ValueOf(Clsid(L"\\TypeLib")), kLibId);
    EXPECT_EQ(ValueOf(Clsid(L"\\Version")), L"1.34");
    // The type library and its interfaces, for containers that browse them
    // (the library's key names its version in hexadecimal: 1.34 is 1.22).
    EXPECT_EQ(Upper(ValueOf(L"TypeLib\\" + std::wstring(kLibId) + L"\\1.22\\0\\" + kPlatform)), ocx);
    EXPECT_EQ(ValueOf(L"TypeLib\\" + std::wstring(kLibId) + L"\\1.22"), L"Kestrix (ｲﾍﾞﾝﾄを拡張するｺﾝﾄﾛｰﾙ)");
    EXPECT_TRUE(KeyExists(L"Interface\\" + std::wstring(kDualIid)));
    EXPECT_TRUE(KeyExists(L"Interface\\" + std::wstring(kEventsIid)));
    CLSID fromProgId{};
    EXPECT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"Kestrix32.Kestrix", &fromProgId));

    ASSERT_EQ(RegSvr32(true), 0u);
    for (const std::wstring& key : {std::wstring(L"Kestrix32.Kestrix"), Clsid(), L"TypeLib\\" + std::wstring(kLibId),
                                    L"Interface\\" + std::wstring(kDualIid), L"Interface\\" + std::wstring(kEventsIid)})
        EXPECT_FALSE(KeyExists(key)) << kx::ToAnsi(key) << " is still registered";
    // Unregistering what is not registered is no failure.
    EXPECT_EQ(RegSvr32(true), 0u);
    ASSERT_EQ(RegSvr32(false), 0u);
    EXPECT_TRUE(KeyExists(Clsid(L"\\InprocServer32")));
}

TEST_F(RegistrationTest, TheFileCarriesVersion134AndItsTwoBitmaps) {
    const std::wstring ocx = OcxPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(ocx.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(ocx.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(34, 1));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(34, 1));
    wchar_t* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\041104b0\\FileVersion",
                               reinterpret_cast<void**>(&text), &len));
    EXPECT_STREQ(text, L"1.34");
    EXPECT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\041104b0\\OLESelfRegister",
                               reinterpret_cast<void**>(&text), &len));

    HMODULE file = LoadLibraryExW(ocx.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(file);
    // The toolbox bitmap is the one the registry names; the face is the other one.
    const std::wstring toolbox = ValueOf(Clsid(L"\\ToolboxBitmap32"));
    const int toolboxId = _wtoi(toolbox.substr(toolbox.rfind(L',') + 1).c_str());
    auto sizeOf = [&](int id) {
        kx::UniqueGdi bmp(LoadImageW(file, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
        BITMAP b{};
        if (bmp) GetObjectW(bmp.get(), sizeof b, &b);
        return std::make_pair(b.bmWidth, b.bmHeight);
    };
    std::vector<int> ids;
    EnumResourceNamesW(file, reinterpret_cast<LPCWSTR>(RT_BITMAP), AddBitmapId, reinterpret_cast<LONG_PTR>(&ids));
    ASSERT_EQ(ids.size(), 2u);
    ASSERT_NE(std::find(ids.begin(), ids.end(), toolboxId), ids.end());
    EXPECT_EQ(sizeOf(toolboxId), std::make_pair(16L, 15L));
    const int faceId = ids[0] == toolboxId ? ids[1] : ids[0];
    EXPECT_EQ(sizeOf(faceId), std::make_pair(29L, 26L));
    FreeLibrary(file);
}
