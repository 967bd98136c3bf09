// The runtime's services for programs: message boxes and starting another
// program without waiting for it.
#include "HostFixture.h"
#include "UniqueHandle.h"

using namespace kxhost;
using namespace kxtest;

namespace {

std::wstring Beside(const wchar_t* name) {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path = exe;
    return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class RuntimeServices : public ::testing::Test {
protected:
    Runtime rt_{Mode::Run, L"サービス"};
};

} // namespace

TEST_F(RuntimeServices, MsgBoxShowsPromptAndTitleAndGivesTheAnswer) {
    BoxDismisser boxes;
    EXPECT_EQ(rt_.MsgBox(L"通信名：'Kestrix'のKestrixｺﾝﾄﾛｰﾙが見つかりません"), IDOK);
    EXPECT_EQ(rt_.MsgBox(L"二つ目", MB_OKCANCEL | MB_ICONSTOP, L"Kestrix"), IDOK);
    ASSERT_EQ(boxes.Seen().size(), 2u);
    // Without a title the box carries the program's title.
    EXPECT_EQ(boxes.Seen()[0].title, L"サービス");
    EXPECT_EQ(boxes.Seen()[0].text, L"通信名：'Kestrix'のKestrixｺﾝﾄﾛｰﾙが見つかりません");
    EXPECT_EQ(boxes.Seen()[1].title, L"Kestrix");
    EXPECT_EQ(boxes.Seen()[1].text, L"二つ目");
}

TEST_F(RuntimeServices, ShellStartsAProgramByFileNameWithoutWaiting) {
    const std::wstring go = Beside(L"shellprobe.go"), ran = Beside(L"shellprobe.ran"), late = Beside(L"shellprobe.late");
    for (const auto& f : {go, ran, late}) DeleteFileW(f.c_str());

    const DWORD pid = rt_.Shell(L"KxShellProbe.exe");
    ASSERT_NE(pid, 0u);
    kx::UniqueFile process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
    ASSERT_TRUE(process) << "the program ended before it was told to";
    // Shell came back while the program still waits for its go-ahead.
    EXPECT_FALSE(Exists(ran));
    EXPECT_FALSE(Exists(late));
    HANDLE f = CreateFileW(go.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);
    const DWORD waited = WaitForSingleObject(process.get(), 20000);
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.get(), 1); // never leave it behind
    EXPECT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_TRUE(Exists(ran));
    EXPECT_FALSE(Exists(late));
    for (const auto& p : {go, ran, late}) DeleteFileW(p.c_str());
}

TEST_F(RuntimeServices, ShellOfAMissingProgramGivesZeroAndShowsNothing) {
    BoxDismisser boxes;
    EXPECT_EQ(rt_.Shell(L"KxNoSuchProgram.exe"), 0u);
    rt_.DoEvents();
    EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(RuntimeServices, RuntimesMayEndInAnyOrder) {
    EXPECT_EQ(&Runtime::Current(), &rt_);
    auto first = std::make_unique<Runtime>(Mode::Design, L"first");
    auto second = std::make_unique<Runtime>(Mode::Run, L"second");
    EXPECT_EQ(&Runtime::Current(), second.get());
    // A program that makes a new runtime before it lets go of the old one.
    first.reset();
    EXPECT_EQ(&Runtime::Current(), second.get());
    second.reset();
    EXPECT_EQ(&Runtime::Current(), &rt_);
}
