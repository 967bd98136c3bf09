// The module's small look-ups: splitting, target and window look-ups, the
// file test and the host check (in this process and in copies of a probe).
#include "EngineFixture.h"
#include "TestPaths.h"
#include <string>
#include <vector>

using namespace kxtest;

namespace {

using Pieces = std::vector<std::wstring>;

struct SplitResult {
    LONG upper;
    Pieces pieces;
    bool operator==(const SplitResult& o) const { return upper == o.upper && pieces == o.pieces; }
};
std::ostream& operator<<(std::ostream& os, const SplitResult& r) {
    return os << r.upper << " " << testing::PrintToString(r.pieces);
}

SplitResult Split(const std::wstring& text, wchar_t d = L',') {
    Pieces pieces = {L"left", L"over", L"from", L"before"};
    const LONG upper = gFn_Split(text, d, pieces);
    return {upper, pieces};
}

std::wstring TempFolder(const wchar_t* tag) {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    static int serial = 0;
    std::wstring dir =
        std::wstring(tmp) + tag + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

void MakeFile(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
    CloseHandle(h);
}

// The folder of this program, without the trailing backslash.
std::wstring OwnFolder() {
    const std::wstring dir = ExeDir();
    return dir.substr(0, dir.size() - 1);
}

// Runs a copy of the probe and returns its exit code.
DWORD RunProbe(const std::wstring& exe) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ADD_FAILURE() << "cannot start " << testing::PrintToString(exe) << " (" << exe.size() << " characters), error "
                      << GetLastError();
        return 99;
    }
    DWORD code = 98;
    if (WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    else TerminateProcess(pi.hProcess, 97);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

class UtilitiesTest : public EngineTest {};

} // namespace

TEST(Utilities, SplitKeepsEveryPieceAsItStands) {
    EXPECT_EQ(Split(L"Text1,Command1"), (SplitResult{1, {L"Text1", L"Command1"}}));
    EXPECT_EQ(Split(L"Text1"), (SplitResult{0, {L"Text1"}}));
    EXPECT_EQ(Split(L""), (SplitResult{0, {L""}}));
    EXPECT_EQ(Split(L"Text1, Command1"), (SplitResult{1, {L"Text1", L" Command1"}}));
    EXPECT_EQ(Split(L", Command1"), (SplitResult{1, {L"", L" Command1"}}));
    EXPECT_EQ(Split(L"a,,b"), (SplitResult{2, {L"a", L"", L"b"}}));
    EXPECT_EQ(Split(L"a,"), (SplitResult{1, {L"a", L""}}));
    EXPECT_EQ(Split(L",a"), (SplitResult{1, {L"", L"a"}}));
    EXPECT_EQ(Split(L","), (SplitResult{1, {L"", L""}}));
    EXPECT_EQ(Split(L",,,"), (SplitResult{3, {L"", L"", L"", L""}}));
    EXPECT_EQ(Split(L" a , b "), (SplitResult{1, {L" a ", L" b "}}));
    EXPECT_EQ(Split(L"a;b,c", L';'), (SplitResult{1, {L"a", L"b,c"}}));
    EXPECT_EQ(Split(L"A,a", L'a'), (SplitResult{1, {L"A,", L""}})); // exact comparison, case counts
    EXPECT_EQ(Split(L"テキスト1,コマンド1"), (SplitResult{1, {L"テキスト1", L"コマンド1"}}));

    const SplitResult names = Split(Def_AllEventsName), values = Split(Def_AllEventsValue);
    EXPECT_EQ(names.upper, 165);
    EXPECT_EQ(values.upper, 165);
    ASSERT_EQ(names.pieces.size(), 166u);
    ASSERT_EQ(values.pieces.size(), 166u);
    EXPECT_EQ(names.pieces[165] + values.pieces[165], L"'WM_WININICHANGE''26             '");
}

TEST_F(UtilitiesTest, TargetCtlFindsTheControlOfAWindowOrFallsBackToTheCallback) {
    TestWindow a, b, other;
    SetTargets({{L"Text1", a.hwnd()}, {L"Command1", b.hwnd()}});
    EXPECT_EQ(gFn_TargetCtl(a.hwnd()).Get(), gFn_Engine().g_Ctls[0].Get());
    EXPECT_EQ(gFn_TargetCtl(b.hwnd()).Get(), gFn_Engine().g_Ctls[1].Get());
    EXPECT_NE(gFn_Engine().g_Ctls[0].Get(), gFn_Engine().g_Ctls[1].Get());
    EXPECT_EQ(gFn_TargetCtl(other.hwnd()).Get(), control_.dispatch());

    // The same window twice: the first entry wins.
    SetTargets({{L"Text1", a.hwnd()}, {L"Text2", a.hwnd()}});
    EXPECT_EQ(gFn_TargetCtl(a.hwnd()).Get(), gFn_Engine().g_Ctls[0].Get());

    // A handle without an object beside it is not a match.
    gFn_Engine().g_CtlHwnds.push_back(other.hwnd());
    EXPECT_EQ(gFn_TargetCtl(other.hwnd()).Get(), control_.dispatch());

    gFn_ResetTargets();
    EXPECT_EQ(gFn_TargetCtl(a.hwnd()).Get(), control_.dispatch());

    gFn_Engine().g_CallbackCtl.Reset();
    EXPECT_EQ(gFn_TargetCtl(a.hwnd()).Get(), nullptr);
}

TEST(Utilities, CtlHwndReadsTheHwndPropertyOrGivesZero) {
    EXPECT_EQ(gFn_CtlHwnd(MakeTargetControl(L"Text1", reinterpret_cast<HWND>(0x10042)).Get()), 0x10042);

    auto label = AutoObject::New(); // a windowless control raises on hwnd
    label->DefineString(L"Name", L"Label1");
    label->Define(L"hWnd", [](WORD, DISPPARAMS*, VARIANT*, EXCEPINFO* ei) {
        return AutoObject::Raise(ei, 438, L"Object doesn't support this property or method");
    });
    EXPECT_EQ(gFn_CtlHwnd(label.Get()), 0);

    auto line = AutoObject::New(); // no hwnd member at all
    line->DefineString(L"Name", L"Line1");
    EXPECT_EQ(gFn_CtlHwnd(line.Get()), 0);

    EXPECT_EQ(gFn_CtlHwnd(nullptr), 0);

    auto text = AutoObject::New();
    text->DefineString(L"HWND", L"123");
    EXPECT_EQ(gFn_CtlHwnd(text.Get()), 123);
    text->DefineString(L"HWND", L"abc");
    EXPECT_EQ(gFn_CtlHwnd(text.Get()), 0);
    text->DefineLong(L"hwnd", -77);
    EXPECT_EQ(gFn_CtlHwnd(text.Get()), -77);
}

TEST(Utilities, FileExistsForFilesAndForDirectoriesWithAnotherAttribute) {
    const std::wstring dir = TempFolder(L"kxfiles-");
    const std::wstring file = dir + L"\\CtlPaste.wav", flagged = dir + L"\\flagged.wav", sub = dir + L"\\sub",
                       marked = dir + L"\\marked";
    MakeFile(file);
    MakeFile(flagged);
    ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(marked.c_str(), nullptr));
    ASSERT_EQ(GetFileAttributesW(sub.c_str()), DWORD(FILE_ATTRIBUTE_DIRECTORY));

    EXPECT_TRUE(gFn_FileExists(file));
    EXPECT_TRUE(gFn_FileExists(dir + L"\\ctlpaste.WAV"));
    EXPECT_FALSE(gFn_FileExists(dir + L"\\missing.wav"));
    EXPECT_FALSE(gFn_FileExists(dir + L"\\missing\\CtlPaste.wav"));
    EXPECT_FALSE(gFn_FileExists(L""));
    EXPECT_FALSE(gFn_FileExists(dir + L"\\*.wav"));
    EXPECT_FALSE(gFn_FileExists(sub));
    EXPECT_FALSE(gFn_FileExists(dir));
    // Wine keeps no read-only or archive flag on a directory, but hidden and system.
    for (DWORD attrs : {DWORD(FILE_ATTRIBUTE_HIDDEN), DWORD(FILE_ATTRIBUTE_SYSTEM)}) {
        ASSERT_TRUE(SetFileAttributesW(marked.c_str(), attrs));
        ASSERT_EQ(GetFileAttributesW(marked.c_str()), FILE_ATTRIBUTE_DIRECTORY | attrs);
        EXPECT_TRUE(gFn_FileExists(marked)) << attrs;
    }
    for (DWORD attrs : {DWORD(FILE_ATTRIBUTE_READONLY), DWORD(FILE_ATTRIBUTE_HIDDEN),
                        DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)}) {
        ASSERT_TRUE(SetFileAttributesW(flagged.c_str(), attrs));
        EXPECT_TRUE(gFn_FileExists(flagged)) << attrs;
    }

    SetFileAttributesW(flagged.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(marked.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(file.c_str());
    DeleteFileW(flagged.c_str());
    RemoveDirectoryW(sub.c_str());
    RemoveDirectoryW(marked.c_str());
    EXPECT_TRUE(RemoveDirectoryW(dir.c_str()));
}

TEST(Utilities, DevEnvPathsEndInOneOfFiveTextsInAnyCase) {
    for (const wchar_t* path : {L"C:\\Program Files\\DevStudio\\VB\\VB6.EXE", L"c:\\vb\\vb6.exe", L"C:\\VB5\\Vb5.Exe",
                                L"D:\\x\\VB7.EXE", L"C:\\X\\VB32.EXE", L"C:\\X\\AVB32.EXE", L"C:\\X\\vb32.exe",
                                L"C:\\X\\5CCE.EXE", L"C:\\X\\X5cce.exe", L"\\VB6.EXE", L"VB32.EXE"})
        EXPECT_TRUE(gFn_IsDevEnvPath(path)) << testing::PrintToString(std::wstring(path));

    for (const wchar_t* path : {L"C:\\X\\MYVB6.EXE", L"C:\\X\\myvb5.exe", L"C:\\X\\AVB7.EXE", L"C:\\VB6.EXE.BAK",
                                L"C:\\X\\VB4.EXE", L"C:\\X\\VB6.EX", L"C:/X/VB6.EXE", L"C:\\X\\VB6 .EXE", L"VB6.EXE",
                                L"B32.EXE", L"", L"C:\\X\\Kestrix.exe", L"C:\\VB6\\Project1.exe"})
        EXPECT_FALSE(gFn_IsDevEnvPath(path)) << testing::PrintToString(std::wstring(path));
}

// Copies of the probe under other names and paths, removed afterwards.
class HostProbe : public ::testing::Test {
protected:
    void SetUp() override {
        probe_ = OwnFolder() + L"\\StandAloneProbe.exe";
        ASSERT_NE(GetFileAttributesW(probe_.c_str()), INVALID_FILE_ATTRIBUTES)
            << "StandAloneProbe.exe is built beside us";
        dir_ = TempFolder(L"kxhost-");
    }
    void TearDown() override {
        for (const std::wstring& f : files_) DeleteFileW(f.c_str());
        for (auto f = folders_.rbegin(); f != folders_.rend(); ++f) RemoveDirectoryW(f->c_str());
        EXPECT_TRUE(RemoveDirectoryW(dir_.c_str()));
    }

    std::wstring Copy(const std::wstring& path) {
        files_.push_back(path);
        EXPECT_TRUE(CopyFileW(probe_.c_str(), path.c_str(), FALSE)) << GetLastError();
        return path;
    }

    // A copy named vb6.exe whose full path has `length` characters, under
    // folders of `step` copies of one character each (first, first + 1, ...).
    std::wstring DeepHost(size_t length, wchar_t first, size_t step) {
        const std::wstring exeName = L"\\vb6.exe";
        std::wstring deep = dir_;
        for (wchar_t c = first; deep.size() + exeName.size() + 2 + step < length; ++c) {
            deep += L"\\" + std::wstring(step, c);
            EXPECT_TRUE(CreateDirectoryW(deep.c_str(), nullptr)) << GetLastError();
            folders_.push_back(deep);
        }
        deep += L"\\" + std::wstring(length - deep.size() - 1 - exeName.size(), first);
        EXPECT_TRUE(CreateDirectoryW(deep.c_str(), nullptr)) << GetLastError();
        folders_.push_back(deep);
        EXPECT_EQ(deep.size() + exeName.size(), length);
        return Copy(deep + exeName);
    }

    std::wstring probe_, dir_;
    std::vector<std::wstring> files_, folders_;
};

TEST_F(HostProbe, ThisProgramAndCopiesNamedLikeTheHosts) {
    EXPECT_TRUE(gFn_IsStandAlone());
    EXPECT_EQ(RunProbe(probe_), 0u);
    EXPECT_EQ(RunProbe(Copy(dir_ + L"\\VB6.EXE")), 1u);
    EXPECT_EQ(RunProbe(Copy(dir_ + L"\\notvb6.exe")), 0u);
    EXPECT_EQ(RunProbe(Copy(dir_ + L"\\vb5.exe")), 1u);
    EXPECT_EQ(RunProbe(Copy(dir_ + L"\\Vb32.exe")), 1u);
    EXPECT_EQ(RunProbe(Copy(dir_ + L"\\vb6.exe.exe")), 0u);
}

// Wine starts no program from a path of 260 characters or more, so 259 is
// the longest host path that can be tried here (still beyond 256).
TEST_F(HostProbe, HostPathOf259CharactersIsReadWhole) { EXPECT_EQ(RunProbe(DeepHost(259, L'a', 60)), 1u); }

// Under 260 characters, but about 400 bytes in Shift-JIS: the path as the
// ANSI call gives it does not fit in 260 bytes.
TEST_F(HostProbe, HostPathLongerThan260BytesInShiftJisIsReadWhole) {
    const std::wstring host = DeepHost(230, L'\u3042', 60); // folders of あ, ぃ, い
    EXPECT_GT(WideCharToMultiByte(932, 0, host.c_str(), -1, nullptr, 0, nullptr, nullptr), 300);
    EXPECT_EQ(RunProbe(host), 1u);
}
