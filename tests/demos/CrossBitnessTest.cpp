// Kestrix of both bitnesses in one 64-bit prefix: each registered in its own
// view of the registry beside the other, and the link between a 32-bit and
// a 64-bit program. The 32-bit build is the one KX_BUILD32_DIR names.
#include <gtest/gtest.h>

#include "DemoSupport.h"
#include "UniqueHandle.h"

using namespace kxtest;

namespace {

const wchar_t kLibId[] = L"{5C2BF89F-7E58-43A7-BB95-8DF1DBF28742}";

struct Bitness {
    const wchar_t* name;
    std::wstring build; // the build folder, with a trailing backslash
    REGSAM view;
    std::wstring ocx() const { return build + L"prg\\Kestrix\\Kestrix.OCX"; }
    std::wstring demos() const { return build + L"demos\\"; }
    // What a program of this bitness finds registered (KxRegProbe's exit code).
    DWORD Probe() const { return RunAndWait(L"\"" + build + L"tests\\demos\\KxRegProbe.exe\""); }
    DWORD Register(bool unregister = false) const { return RegSvr32(ocx(), unregister); }
    bool ClassKey() const {
        return KeyIn(view, L"CLSID\\{9C3D95F7-81D2-4F8F-BF6F-2945C667B57D}\\InprocServer32");
    }
    static bool KeyIn(REGSAM view, const std::wstring& key) {
        HKEY raw = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, (L"Software\\Classes\\" + key).c_str(), 0, KEY_READ | view, &raw) !=
            ERROR_SUCCESS)
            return false;
        kx::UniqueHkey open(raw);
        return true;
    }
};

std::wstring FullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

// This test program's build and the 32-bit one.
const Bitness k64{L"64-bit", FullPath(ExeDir() + L"..\\..\\"), KEY_WOW64_64KEY};
const Bitness k32{L"32-bit", KX_BUILD32_DIR, KEY_WOW64_32KEY};

// The version's key is named in hexadecimal: 1.35 is "1.23".
bool TypeLibKey(const wchar_t* platform) {
    return Bitness::KeyIn(KEY_WOW64_64KEY, L"TypeLib\\" + std::wstring(kLibId) + L"\\1.23\\0\\" + platform);
}
bool SharedKeys() {
    return Bitness::KeyIn(KEY_WOW64_64KEY, L"Kestrix32.Kestrix\\CLSID") &&
        Bitness::KeyIn(KEY_WOW64_64KEY, L"TypeLib\\" + std::wstring(kLibId));
}

bool Is32BitProcess(DWORD pid) {
    kx::UniqueFile process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    BOOL wow64 = FALSE;
    return process && IsWow64Process(process.get(), &wow64) && wow64;
}

class CrossBitnessTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const Bitness* b : {&k64, &k32}) {
            ASSERT_NE(GetFileAttributesW(b->ocx().c_str()), INVALID_FILE_ATTRIBUTES)
                << "no " << Utf8(b->name) << " build at " << Utf8(b->build);
            ASSERT_EQ(b->Register(), 0u) << "regsvr32 of the " << Utf8(b->name) << " Kestrix.OCX";
        }
    }
    // Whatever a test did, the prefix is left as the other tests of this
    // bitness know it: the 64-bit control registered, the 32-bit one not.
    void TearDown() override {
        k64.Register();
        k32.Register(true);
    }

    // Demlet1 of one bitness and Demlet2 of the other in one folder: Demlet1
    // starts that Demlet2, DemoStage (of Demlet1's bitness) drops files on
    // Demlet1's form and waits until Demlet2 shows them, sent over the link.
    void LinkAcross(const Bitness& one, const Bitness& two, const wchar_t* folder) {
        const std::wstring dir = ExeDir() + folder;
        CreateDirectoryW(dir.c_str(), nullptr);
        CreateDirectoryW((dir + L"\\stage").c_str(), nullptr);
        ASSERT_TRUE(CopyFileW((one.demos() + L"Demlet1.exe").c_str(), (dir + L"\\Demlet1.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW((two.demos() + L"Demlet2.exe").c_str(), (dir + L"\\Demlet2.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW((one.demos() + L"stage\\DemoStage.exe").c_str(),
                              (dir + L"\\stage\\DemoStage.exe").c_str(), FALSE));

        ChildProgram demlet1, demlet2;
        ASSERT_TRUE(demlet1.Start(dir + L"\\Demlet1.exe", L"", dir));
        const DWORD staged = RunAndWait(L"\"" + dir + L"\\stage\\DemoStage.exe\"", 60000, dir);
        HWND shown = FindWindowA(nullptr, "Demlet2.EXE");
        DWORD pid = 0;
        if (shown) GetWindowThreadProcessId(shown, &pid);
        if (pid) demlet2.Adopt(pid);
        EXPECT_EQ(staged, 0u) << "Demlet2 did not show the files dropped on Demlet1";
        EXPECT_EQ(Is32BitProcess(demlet1.pid()), &one == &k32) << "Demlet1 is not " << Utf8(one.name);
        ASSERT_NE(pid, 0u) << "no Demlet2 window";
        EXPECT_EQ(Is32BitProcess(pid), &two == &k32) << "Demlet2 is not " << Utf8(two.name);
    }
};

TEST_F(CrossBitnessTest, EachBitnessUnregistersOnlyItsOwnAndTheOtherKeepsWorking) {
    EXPECT_EQ(k64.Probe(), 0u);
    EXPECT_EQ(k32.Probe(), 0u);
    EXPECT_TRUE(TypeLibKey(L"win32") && TypeLibKey(L"win64"));

    // Each in turn goes; the other keeps its class, the shared ProgID and
    // type library keys, and works. (Wine's 64-bit LoadRegTypeLib falls back
    // to the win32 entry, so the gone side is told by its class alone.)
    for (const auto& [gone, kept] : {std::pair{&k64, &k32}, std::pair{&k32, &k64}}) {
        SCOPED_TRACE(Utf8(gone->name) + " unregistered");
        ASSERT_EQ(gone->Register(true), 0u);
        EXPECT_FALSE(gone->ClassKey());
        EXPECT_TRUE(kept->ClassKey());
        EXPECT_TRUE(SharedKeys());
        EXPECT_EQ(kept->Probe(), 0u);
        EXPECT_EQ(gone->Probe() & 2u, 2u) << "the unregistered bitness still creates the control";
        EXPECT_FALSE(TypeLibKey(gone == &k64 ? L"win64" : L"win32"));
        EXPECT_TRUE(TypeLibKey(kept == &k64 ? L"win64" : L"win32"));
        ASSERT_EQ(gone->Register(), 0u);
    }

    // The last one to go takes the shared keys with it.
    ASSERT_EQ(k64.Register(true), 0u);
    ASSERT_EQ(k32.Register(true), 0u);
    EXPECT_FALSE(Bitness::KeyIn(KEY_WOW64_64KEY, L"Kestrix32.Kestrix"));
    EXPECT_FALSE(Bitness::KeyIn(KEY_WOW64_64KEY, L"TypeLib\\" + std::wstring(kLibId)));
    EXPECT_EQ(k32.Probe(), 7u);
}

TEST_F(CrossBitnessTest, A32BitDemlet1ReachesA64BitDemlet2) { LinkAcross(k32, k64, L"cross-32-to-64"); }

TEST_F(CrossBitnessTest, A64BitDemlet1ReachesA32BitDemlet2) { LinkAcross(k64, k32, L"cross-64-to-32"); }

} // namespace
