// Kestrix with nothing registered, in the prefix where nothing ever is
// (wineprefix-unreg): built twice, as a program whose own manifest names
// the Kestrix assembly (RegFreeManifestTests, KX_OWN_MANIFEST) and as one
// without a manifest that activates the OCX's own through the form
// runtime (RegFreeActCtxTests). Kestrix.OCX and Kestrix.manifest lie beside.
#include <gtest/gtest.h>
#include <memory>

#include "DemoSupport.h"
#include "Form.h"
#include "FormFile.h"
#include "Kestrix32.h"
#include "PageIds.h"
#include "Runtime.h"

using namespace kxtest;

namespace {

using AtlAxWinInitFunction = BOOL(WINAPI*)();
using AtlAxGetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);

// What the probe beside the demo tests finds registered: it has no manifest.
constexpr DWORD kNothingRegistered = 7;

class RegFreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        rt_ = std::make_unique<kxhost::Runtime>(kxhost::Mode::Run, L"RegFree");
#ifndef KX_OWN_MANIFEST
        ASSERT_HRESULT_SUCCEEDED(rt_->UseControlFile(ExeDir() + L"Kestrix.OCX"));
#endif
    }
    void TearDown() override {
        form_.reset();
        rt_.reset();
    }
    std::unique_ptr<kxhost::Runtime> rt_;
    std::unique_ptr<kxhost::Form> form_;
};

} // namespace

TEST(RegFreePrefix, NothingIsRegisteredHere) {
    EXPECT_EQ(RunAndWait(L"\"" + ExeDir() + L"..\\demos\\KxRegProbe.exe\""), kNothingRegistered);
}

TEST_F(RegFreeTest, TheControlIsCreatedByProgIdAndClassIdAndItsTypeLibraryLoads) {
    // The class id from the ProgID may be an alias made for this process:
    // good for creating, never to be compared with the published one.
    CLSID fromProgId{};
    ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"Kestrix32.Kestrix", &fromProgId));
    for (const CLSID& clsid : {fromProgId, CLSID_Kestrix}) {
        kx::ComPtr<IDispatch> control;
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&control)));
        kx::ComPtr<_Kestrix> dual;
        EXPECT_HRESULT_SUCCEEDED(control.As(&dual));
    }
    kx::ComPtr<ITypeLib> lib;
    ASSERT_HRESULT_SUCCEEDED(LoadRegTypeLib(LIBID_Kestrix32, 1, 34, 0, &lib));
    kx::ComPtr<ITypeInfo> info;
    EXPECT_HRESULT_SUCCEEDED(lib->GetTypeInfoOfGuid(IID__Kestrix, &info));
}

TEST_F(RegFreeTest, AFormHostsItAndItCaptures) {
    form_ = kxhost::Form::Create(*rt_, kxhost::ParseForm(L"Form Form1\n"
                                                         L"    Caption = \"Form1\"\n"
                                                         L"    Begin Control Kestrix1 \"Kestrix32.Kestrix\"\n"
                                                         L"        Bag targetcontrols = \"Form1\"\n"
                                                         L"        Bag targetevents = \"'1025'\"\n"
                                                         L"        Bag debugmode = False\n"
                                                         L"    End\n"
                                                         L"End\n",
                                                         L"Form1"));
    std::vector<LONG_PTR> seen;
    form_->On(L"Kestrix1", L"GetEvents", [&](kxhost::EventArgs& a) { seen.push_back(a.LongPtr(2)); });
    const kxhost::Object k = form_->Ctl(L"Kestrix1");
    k.Call(L"EventsStart");
    ASSERT_TRUE(k.Call(L"IsEventsStart").AsBool());
    SendMessageA(form_->hwnd(), WM_USER + 1, 42, 0);
    k.Call(L"EventsStop");
    EXPECT_EQ(seen, std::vector<LONG_PTR>{42});
}

TEST_F(RegFreeTest, ItsPropertyPagesAreCreatedByClassId) {
    for (const CLSID& page : kestrix::kKestrixPages) {
        kx::ComPtr<IPropertyPage> p;
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(page, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&p)));
        PROPPAGEINFO info{};
        info.cb = sizeof info;
        ASSERT_HRESULT_SUCCEEDED(p->GetPageInfo(&info));
        EXPECT_NE(info.pszTitle, nullptr);
        CoTaskMemFree(info.pszTitle);
        CoTaskMemFree(info.pszDocString);
        CoTaskMemFree(info.pszHelpFile);
    }
}

TEST_F(RegFreeTest, AnAtlHostWindowHostsItByProgId) {
    HMODULE atl = LoadLibraryA("atl.dll"); // stays loaded: its window class lives with the process
    ASSERT_NE(atl, nullptr);
    auto init = reinterpret_cast<AtlAxWinInitFunction>(GetProcAddress(atl, "AtlAxWinInit"));
    auto getControl = reinterpret_cast<AtlAxGetControlFunction>(GetProcAddress(atl, "AtlAxGetControl"));
    ASSERT_TRUE(init && getControl);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(GetModuleHandleW(nullptr), L"AtlAxWin", &wc)) {
        ASSERT_TRUE(init());
    }
    kx::UniqueHwnd host(CreateWindowExA(0, "AtlAxWin", "Kestrix32.Kestrix", WS_POPUP, 0, 0, 100, 50, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(host);
    kx::ComPtr<IUnknown> unk;
    ASSERT_HRESULT_SUCCEEDED(getControl(host.get(), &unk));
    kx::ComPtr<_Kestrix> control;
    ASSERT_HRESULT_SUCCEEDED(unk.As(&control));
    BSTR events = nullptr;
    ASSERT_HRESULT_SUCCEEDED(control->get_TargetEvents(&events));
    EXPECT_STREQ(events, L"ALL");
    SysFreeString(events);
}

#ifndef KX_OWN_MANIFEST
// A program whose manifest names another version of the assembly than the
// files beside it (1.34.0.0, the one before) is not bound to them: Windows
// refuses to start it (14001), Wine starts it without the context, and
// with nothing registered the control is not found.
TEST(RegFreeVersions, AProgramNamingAnotherVersionIsNotBoundToTheseFiles) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring dir = std::wstring(temp) + L"kx-regfree-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    for (const wchar_t* f : {L"Kestrix.OCX", L"Kestrix.manifest"})
        ASSERT_TRUE(CopyFileW((ExeDir() + f).c_str(), (dir + f).c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((ExeDir() + L"..\\demos\\KxRegProbe.exe").c_str(), (dir + L"KxRegProbe.exe").c_str(), FALSE));
    const char* arch = sizeof(void*) == 8 ? "amd64" : "x86";
    const std::string manifest =
        std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
                    "  <assemblyIdentity type=\"win32\" name=\"KxRegProbe\" version=\"1.0.0.0\" processorArchitecture=\"") +
        arch +
        "\"/>\r\n  <dependency><dependentAssembly>\r\n"
        "    <assemblyIdentity type=\"win32\" name=\"Kestrix\" version=\"1.34.0.0\" processorArchitecture=\"" +
        arch + "\"/>\r\n  </dependentAssembly></dependency>\r\n</assembly>\r\n";
    const HANDLE f = CreateFileW((dir + L"KxRegProbe.exe.manifest").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(f, manifest.data(), static_cast<DWORD>(manifest.size()), &written, nullptr);
    CloseHandle(f);
    // 0: the class is not registered, and the probe ended normally.
    EXPECT_EQ(RunAndWait(L"\"" + dir + L"KxRegProbe.exe\" notregistered", 60000, dir), 0u);
    for (const wchar_t* name : {L"KxRegProbe.exe.manifest", L"KxRegProbe.exe", L"Kestrix.manifest", L"Kestrix.OCX"})
        DeleteFileW((dir + name).c_str());
    RemoveDirectoryW(dir.c_str());
}

// The demo programs carry manifests of their own: started from their folder
// they create their controls and speak over the link, unregistered.
TEST(RegFreeDemos, TheDemosRunFromTheirFolderAndTheirLinkWorks) {
    const std::wstring demos = ExeDir() + KX_DEMO_RELDIR L"\\";
    ChildProgram demlet1, demlet2;
    ASSERT_TRUE(demlet1.Start(demos + L"Demlet1.exe", L"", demos));
    const DWORD staged = RunAndWait(L"\"" + demos + L"stage\\DemoStage.exe\"", 60000, demos);
    DWORD pid = 0;
    if (HWND shown = FindWindowA(nullptr, "Demlet2.EXE")) GetWindowThreadProcessId(shown, &pid);
    if (pid) demlet2.Adopt(pid);
    EXPECT_EQ(staged, 0u) << "Demlet2 did not show the files dropped on Demlet1";
    EXPECT_NE(pid, 0u) << "no Demlet2 window";
}
#endif
