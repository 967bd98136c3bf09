// Kestrix.OCX as regsvr32 registers and unregisters it, and the resources
// a container reads from the file: version, face and toolbox bitmaps.
#include "Ansi.h"
#include "KestrixFixture.h"
#include "Kestrix32.h"
#include "PageIds.h"
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
    EXPECT_EQ(ValueOf(Clsid(L"\\Version")), L"1.35");
    // The type library and its interfaces, for containers that browse them
    // (the library's key names its version in hexadecimal: 1.35 is 1.23).
    EXPECT_EQ(Upper(ValueOf(L"TypeLib\\" + std::wstring(kLibId) + L"\\1.23\\0\\" + kPlatform)), ocx);
    EXPECT_EQ(ValueOf(L"TypeLib\\" + std::wstring(kLibId) + L"\\1.23"), L"Kestrix (ｲﾍﾞﾝﾄを拡張するｺﾝﾄﾛｰﾙ)");
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

// A program compiled against 1.34 asks for that version: registering takes
// this bitness's entries of older versions away (an install that left its
// key behind included), so that it loads this file; the other bitness's
// entries stay.
TEST_F(RegistrationTest, RegisteringTakesOlderVersionsOfThisBitnessAwaySoA134ProgramLoadsThisFile) {
    RegisterAgain guard;
    const std::wstring lib = L"TypeLib\\" + std::wstring(kLibId);
    const std::wstring other = sizeof(void*) == 8 ? L"win32" : L"win64";
    const auto put = [](const std::wstring& key, const wchar_t* value) {
        RegSetValueW(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value, static_cast<DWORD>(wcslen(value) * sizeof(wchar_t)));
    };
    const auto loads135 = [] {
        kx::ComPtr<ITypeLib> loaded;
        if (FAILED(LoadRegTypeLib(LIBID_Kestrix32, 1, 34, 0, &loaded))) return false;
        TLIBATTR* attr = nullptr;
        if (FAILED(loaded->GetLibAttr(&attr))) return false;
        const bool current = attr->wMinorVerNum == 35;
        loaded->ReleaseTLibAttr(attr);
        return current;
    };
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (lib + L"\\1.22").c_str()); // what a failed run may have left
    // An older install of this bitness only: its key goes whole.
    put(lib + L"\\1.22\\0\\" + kPlatform, L"C:\\old\\Kestrix.OCX");
    ASSERT_EQ(RegSvr32(false), 0u);
    EXPECT_FALSE(KeyExists(lib + L"\\1.22")) << "an older version's key left empty stays";
    EXPECT_TRUE(loads135());

    // Of both bitnesses: the other's entry stays.
    put(lib + L"\\1.22\\0\\" + kPlatform, L"C:\\old\\Kestrix.OCX");
    put(lib + L"\\1.22\\0\\" + other, L"C:\\other\\Kestrix.OCX");
    ASSERT_EQ(RegSvr32(false), 0u);
    EXPECT_FALSE(KeyExists(lib + L"\\1.22\\0\\" + kPlatform));
    EXPECT_EQ(ValueOf(lib + L"\\1.22\\0\\" + other), L"C:\\other\\Kestrix.OCX");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (lib + L"\\1.22").c_str());
}

TEST_F(RegistrationTest, TheFileCarriesVersion135AndItsTwoBitmaps) {
    const std::wstring ocx = OcxPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(ocx.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(ocx.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(35, 1));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(35, 1));
    wchar_t* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\041104b0\\FileVersion",
                               reinterpret_cast<void**>(&text), &len));
    EXPECT_STREQ(text, L"1.35");
    EXPECT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\041104b0\\OLESelfRegister",
                               reinterpret_cast<void**>(&text), &len));
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\041104b0\\LegalCopyright",
                               reinterpret_cast<void**>(&text), &len));
    EXPECT_NE(std::wstring(text).find(L"MIT License"), std::wstring::npos);

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

namespace {

// A manifest resource of a module, as text.
std::string ManifestResource(const std::wstring& module, int id) {
    kx::UniqueModule file(LoadLibraryExW(module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!file) return {};
    HRSRC res = FindResourceW(file.get(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(24));
    if (!res) return {};
    return std::string(static_cast<const char*>(LockResource(LoadResource(file.get(), res))),
                       SizeofResource(file.get(), res));
}

std::string FileText(const std::wstring& path) {
    kx::UniqueFile f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string text(f ? GetFileSize(f.get(), nullptr) : 0, '\0');
    DWORD got = 0;
    if (f) ReadFile(f.get(), &text[0], static_cast<DWORD>(text.size()), &got, nullptr);
    return text;
}

// Wine binds an assembly whatever architecture it names (Windows does not):
// the text is what says it is right.
const std::string kArch = sizeof(void*) == 8 ? "amd64" : "x86";

} // namespace

// The manifest beside the OCX and inside it are one, and say what
// registration writes: the same classes, ProgID, threading, misc status.
TEST_F(RegistrationTest, TheManifestBesideAndInsideTheFileSaysWhatRegistrationWrites) {
    RegisterAgain guard;
    ASSERT_EQ(RegSvr32(false), 0u);
    const std::string beside = FileText(ExeDir() + L"Kestrix.manifest");
    ASSERT_FALSE(beside.empty()) << "no Kestrix.manifest beside the OCX";
    EXPECT_EQ(ManifestResource(OcxPath(), 2), beside);
    EXPECT_NE(beside.find("<assemblyIdentity type=\"win32\" name=\"Kestrix\" version=\"1.35.0.0\" "
                          "processorArchitecture=\"" + kArch + "\"/>"),
              std::string::npos);
    EXPECT_NE(beside.find("<file name=\"Kestrix.OCX\">"), std::string::npos);

    const std::string control = kx::ToAnsi(L"<comClass clsid=\"" + std::wstring(kClsid) + L"\" progid=\"" +
                                           ValueOf(Clsid(L"\\ProgID")) + L"\" threadingModel=\"" +
                                           ValueOf(Clsid(L"\\InprocServer32"), L"ThreadingModel") + L"\" tlbid=\"" +
                                           ValueOf(Clsid(L"\\TypeLib")) + L"\"");
    EXPECT_NE(beside.find(control), std::string::npos) << beside;
    // MiscStatus\1 = 132497: the content aspect's flags, by their names.
    ASSERT_EQ(ValueOf(Clsid(L"\\MiscStatus\\1")), L"132497");
    EXPECT_NE(beside.find("miscStatusContent=\"recomposeonresize,cantlinkinside,insideout,activatewhenvisible,"
                          "invisibleatruntime,setclientsitefirst\""),
              std::string::npos);
    for (const CLSID& page : kestrix::kKestrixPages) {
        wchar_t text[40] = {};
        StringFromGUID2(page, text, 40);
        EXPECT_EQ(ValueOf(L"CLSID\\" + std::wstring(text) + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
        EXPECT_NE(beside.find(kx::ToAnsi(L"<comClass clsid=\"" + std::wstring(text) + L"\" threadingModel=\"Apartment\"")),
                  std::string::npos);
    }
    EXPECT_NE(beside.find(kx::ToAnsi(L"<typelib tlbid=\"" + std::wstring(kLibId) + L"\" version=\"1.35\" helpdir=\"\"")),
              std::string::npos);

    // The demo programs name this assembly, of their own architecture.
    for (const wchar_t* demo : {L"Demlet1.exe", L"Demlet2.exe"}) {
        const std::string own = ManifestResource(ExeDir() + L"..\\..\\demos\\" + demo, 1);
        EXPECT_NE(own.find("<assemblyIdentity type=\"win32\" name=\"Kestrix\" version=\"1.35.0.0\" "
                           "processorArchitecture=\"" + kArch + "\"/>"),
                  std::string::npos)
            << kx::ToAnsi(demo) << ":\n" << own;
    }
}
