// The runtime's services for programs: message boxes and starting another
// program without waiting for it.
#include "HostFixture.h"
#include "FormFile.h"
#include "UniqueHandle.h"

using namespace kxhost;
using namespace kxtest;

namespace {

std::wstring Beside(const wchar_t* name) { return ExeDir() + name; }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class RuntimeServices : public ::testing::Test {
protected:
    Runtime rt_{Mode::Run, L"サービス"};
};

const wchar_t kSmallForm[] = L"Form Klein\n    Begin CommandButton Command1\n    End\nEnd\n";

// Ends a loop that would otherwise never end, so a failing test fails instead of hanging.
void CALLBACK Rescue(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    Runtime::Current().Quit(99);
}

bool QuitWaiting() {
    MSG m;
    return PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

} // namespace

TEST_F(RuntimeServices, MsgBoxShowsPromptAndTitleAndGivesTheAnswer) {
    BoxAnswerer boxes;
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
    const std::wstring go = Beside(L"shellprobe.go"), ran = Beside(L"shellprobe.ran"),
                       late = Beside(L"shellprobe.late");
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
    BoxAnswerer boxes;
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

TEST_F(RuntimeServices, RunEndsWhenTheLastFormIsClosed) {
    auto form = Form::Create(rt_, ParseForm(kSmallForm, L"klein.frm"));
    form->Show();
    PostMessageA(form->hwnd(), WM_CLOSE, 0, 0);
    const UINT_PTR rescue = SetTimer(nullptr, 0, 10000, Rescue);
    EXPECT_EQ(rt_.Run(), 0);
    KillTimer(nullptr, rescue);
    EXPECT_TRUE(rt_.Forms().empty());
    EXPECT_EQ(form->hwnd(), nullptr);
    EXPECT_FALSE(QuitWaiting());
}

TEST_F(RuntimeServices, UnloadingTheLastFormOutsideTheLoopLeavesNoQuitToEndTheNextBox) {
    auto form = Form::Create(rt_, ParseForm(kSmallForm, L"klein.frm"));
    ASSERT_TRUE(form->Unload());
    EXPECT_FALSE(QuitWaiting());
    BoxAnswerer boxes;
    EXPECT_EQ(rt_.MsgBox(L"まだ動く"), IDOK);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].text, L"まだ動く");
}
