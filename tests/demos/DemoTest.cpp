// The demo programs: their forms and handlers loaded in this test program
// (a dropped-file handle does not cross programs), with real Demlet2.exe
// programs receiving what Demlet1 sends.
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>

#include "Ansi.h"
#include "Control.h"
#include "Demlet1.h"
#include "Demlet2.h"
#include "DemoSupport.h"
#include "Intrinsic.h"
#include "FormProps.h"

using namespace kxtest;
using kxhost::Object;

namespace {

const std::wstring kGreeting = L"早くDemlet1にファイルをドロップしてや！待ってんで．．．";

// A real Demlet2.exe, ended with the test.
struct Demlet2Program {
    ChildProgram program;
    HWND window = nullptr;
    HWND text1 = nullptr;
    std::wstring Text() const { return text1 ? TextOf(text1) : L"<no Text1>"; }
};

class DemoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(RegisterOcx()) << "Kestrix.OCX could not be registered";
        rt_ = std::make_unique<kxhost::Runtime>(kxhost::Mode::Run, L"DemoTest");
        rt_->SetUnhandledErrorPolicy([this](const kx::AutomationError& e) { unhandled_.push_back(e); });
    }
    void TearDown() override {
        form_.reset();
        demlet2s_.clear();
        rt_.reset();
        for (const auto& e : unhandled_) ADD_FAILURE() << "unhandled error " << e.number << " " << Utf8(e.description);
    }

    Demlet2Program& StartDemlet2() {
        auto d = std::make_unique<Demlet2Program>();
        EXPECT_TRUE(d->program.Start(Demlet2Path(), L"", ExeDir())) << "cannot start " << Utf8(Demlet2Path());
        d->window = d->program.WaitWindow(L"Demlet2.EXE", L"Kestrix");
        EXPECT_NE(d->window, nullptr) << "Demlet2's form with its receiving control did not appear";
        if (d->window) d->text1 = ChildOfClass(d->window, "Edit");
        demlet2s_.push_back(std::move(d));
        return *demlet2s_.back();
    }

    // Demlet1's form with its handlers, loaded as the program loads it.
    kxhost::Form& LoadDemlet1() {
        form_ = demlet1::CreateForm(*rt_);
        form_->Load();
        form_->Show();
        return *form_;
    }

    kxhost::ListBox& List1() const { return form_->Get<kxhost::ListBox>(L"List1"); }
    std::vector<std::wstring> Items() const {
        std::vector<std::wstring> out;
        for (LONG i = 0; i < List1().ListCount(); ++i) out.push_back(List1().List(i));
        return out;
    }
    HWND Hwnd(const wchar_t* name) const { return form_->Find(name)->hwnd(); }

    // Lets messages flow through the runtime's loop (Tab moves the focus there).
    void Run(DWORD ms) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            rt_->DoEvents();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    void Drop(HWND target, const std::vector<std::wstring>& files) {
        kx::UniqueHglobal drop = MakeDrop(files);
        ASSERT_TRUE(drop);
        SendMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(drop.get()), 0);
    }

    std::unique_ptr<kxhost::Runtime> rt_;
    std::unique_ptr<kxhost::Form> form_;
    std::vector<std::unique_ptr<Demlet2Program>> demlet2s_;
    std::vector<kx::AutomationError> unhandled_;
};

// ---- the saved forms ---------------------------------------------------------------

struct Expected {
    const wchar_t* name;
    LONG index; // -1: no index
    const wchar_t* kind;
    const wchar_t* caption;
    LONG left, top, width, height, tabIndex;
    const wchar_t* font; // null: the form's font
    double size;
};

void CheckControls(const kxhost::FormDesc& form, const std::vector<Expected>& table) {
    ASSERT_EQ(form.controls.size(), table.size() + 1) << "controls besides Kestrix1";
    for (const Expected& e : table) {
        SCOPED_TRACE(Utf8(e.name) + "(" + std::to_string(e.index) + ")");
        const kxhost::ControlDesc* found = nullptr;
        for (const auto& c : form.controls)
            if (c.name == e.name && (e.index < 0 ? !c.index : c.index && *c.index == e.index)) found = &c;
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->kind, e.kind);
        if (e.caption) {
            EXPECT_EQ(
                Utf8(kxhost::PropString(found->props, e.kind == std::wstring(L"TextBox") ? L"Text" : L"Caption", L"?")),
                Utf8(e.caption));
        }
        EXPECT_EQ(kxhost::PropLong(found->props, L"Left", -1), e.left);
        EXPECT_EQ(kxhost::PropLong(found->props, L"Top", -1), e.top);
        EXPECT_EQ(kxhost::PropLong(found->props, L"Width", -1), e.width);
        EXPECT_EQ(kxhost::PropLong(found->props, L"Height", -1), e.height);
        EXPECT_EQ(kxhost::PropLong(found->props, L"TabIndex", -1), e.tabIndex);
        if (e.font) {
            EXPECT_EQ(Utf8(kxhost::PropString(found->props, L"FontName", L"")), Utf8(e.font));
            EXPECT_DOUBLE_EQ(kxhost::PropDouble(found->props, L"FontSize", 0), e.size);
        } else {
            EXPECT_EQ(kxhost::FindProp(found->props, L"FontName"), nullptr);
        }
    }
}

void CheckKestrix(const kxhost::FormDesc& form, LONG left, LONG top, const std::vector<kxhost::Property>& bag) {
    const kxhost::ControlDesc& k = form.controls.back();
    EXPECT_EQ(k.name, L"Kestrix1");
    EXPECT_EQ(k.progId, L"Kestrix32.Kestrix");
    EXPECT_EQ(kxhost::PropLong(k.props, L"Left", -1), left);
    EXPECT_EQ(kxhost::PropLong(k.props, L"Top", -1), top);
    EXPECT_EQ(kxhost::PropLong(k.props, L"ExtentX", -1), 820);
    EXPECT_EQ(kxhost::PropLong(k.props, L"ExtentY", -1), 741);
    ASSERT_EQ(k.bag.size(), bag.size());
    for (size_t i = 0; i < bag.size(); ++i) {
        EXPECT_EQ(k.bag[i].name, bag[i].name);
        EXPECT_TRUE(k.bag[i].value == bag[i].value);
    }
}

TEST(DemoForms, Demlet1FormHoldsEveryControlAsDesigned) {
    const kxhost::FormDesc f = kxhost::LoadFormResource(nullptr, demlet1::kFormResource);
    EXPECT_EQ(f.name, L"DragDropFrm");
    EXPECT_EQ(Utf8(kxhost::PropString(f.props, L"Caption", L"")), "Demlet1.EXE");
    EXPECT_EQ(kxhost::PropLong(f.props, L"ClientWidth", 0), 8910);
    EXPECT_EQ(kxhost::PropLong(f.props, L"ClientHeight", 0), 4260);
    EXPECT_EQ(Utf8(kxhost::PropString(f.props, L"FontName", L"")), Utf8(L"ＭＳ ゴシック"));
    EXPECT_DOUBLE_EQ(kxhost::PropDouble(f.props, L"FontSize", 0), 11.25);
    EXPECT_EQ(kxhost::PropLong(f.props, L"FontCharset", 0), SHIFTJIS_CHARSET);
    EXPECT_EQ(kxhost::FindProp(f.props, L"Left"), nullptr) << "the system chooses the position";
    const wchar_t* gothic = L"ＭＳ ゴシック";
    CheckControls(
        f,
        {
            {L"List1", -1, L"ListBox", nullptr, 0, 1680, 8895, 1815, 0, gothic, 9.75},
            {L"Command1", -1, L"CommandButton", L"クリア", 7320, 3600, 1455, 495, 1, nullptr, 0},
            {L"Label1", 2, L"Label", L"エラーが発生する時は下記のことを確認して下さい", 0, 120, 8775, 255, 3, gothic,
             9},
            {L"Label1", 3, L"Label", L"１．Kestrixｺﾝﾄﾛｰﾙは使用可能ですか？", 0, 360, 8775, 255, 4, gothic, 9},
            {L"Label1", 4, L"Label",
             L"２．Kestrixｺﾝﾄﾛｰﾙがﾌｫｰﾑに貼り付けられていますか？（貼り付けるだけでいい）注．実行時は見えなくなる", 0,
             600, 8775, 255, 5, gothic, 9},
            {L"Label1", 5, L"Label", L"３．Demlet2.EXEが起動されていますか？（複数起動してもいい）", 0, 840, 8775, 255,
             6, gothic, 9},
            {L"Label1", 1, L"Label",
             L"後はこのﾌｫｰﾑにﾌｧｲﾙをﾄﾞﾛｯﾌﾟするとﾌｧｲﾙ名がEXE間でﾃﾞｰﾀ転送されて、Demlet2.EXEのﾌｫｰﾑに表示されます", 0, 1320,
             8775, 255, 2, gothic, 9},
        });
    EXPECT_FALSE(kxhost::PropBool(f.controls[0].props, L"Sorted", true));
    CheckKestrix(f, 120, 3720, {{L"targetcontrols", std::wstring(L"DragDropFrm,Command1,List1")}});
}

TEST(DemoForms, Demlet2FormHoldsEveryControlAsDesigned) {
    const kxhost::FormDesc f = kxhost::LoadFormResource(nullptr, demlet2::kFormResource);
    EXPECT_EQ(f.name, L"Form1");
    EXPECT_EQ(Utf8(kxhost::PropString(f.props, L"Caption", L"")), "Demlet2.EXE");
    EXPECT_EQ(kxhost::PropLong(f.props, L"ClientWidth", 0), 11070);
    EXPECT_EQ(kxhost::PropLong(f.props, L"ClientHeight", 0), 1230);
    EXPECT_EQ(kxhost::FindProp(f.props, L"FontName"), nullptr) << "the system's default form font";
    EXPECT_EQ(kxhost::FindProp(f.props, L"Left"), nullptr) << "the system chooses the position";
    CheckControls(f,
                  {
                      {L"Text1", -1, L"TextBox", L"", 120, 600, 10815, 375, 0, L"ＭＳ Ｐゴシック", 11.25},
                      {L"Label1", 0, L"Label", L"受信データ", 120, 120, 2415, 375, 1, L"ＭＳ Ｐゴシック", 14.25},
                      {L"Label1", 4, L"Label",
                       L"Kestrixｺﾝﾄﾛｰﾙがﾌｫｰﾑに貼り付けられていますか？（貼り付けるだけでいい）注．実行時は見えなくなる",
                       3480, 120, 6375, 375, 2, L"ＭＳ ゴシック", 9},
                  });
    CheckKestrix(f, 2640, 120, {});
}

// ---- Demlet1 and Demlet2 together ---------------------------------------------------------------

TEST_F(DemoTest, Demlet2ShowsTheGreetingWhenItWasAlreadyRunning) {
    Demlet2Program& one = StartDemlet2();
    Demlet2Program& two = StartDemlet2();
    EXPECT_EQ(Utf8(one.Text()), "");
    BoxAnswerer boxes;
    kxhost::Form& f = LoadDemlet1();
    EXPECT_EQ(Utf8(one.Text()), Utf8(kGreeting));
    EXPECT_EQ(Utf8(two.Text()), Utf8(kGreeting));
    // Form_Load showed the form, started the capture, and said nothing.
    EXPECT_TRUE(IsWindowVisible(f.hwnd()));
    EXPECT_TRUE(f.Ctl(L"Kestrix1").Call(L"IsEventsStart").AsBool());
    EXPECT_TRUE(boxes.Seen().empty()) << Utf8(boxes.Seen().front().text);
    EXPECT_TRUE(Items().empty());
}

TEST_F(DemoTest, DroppedFilesAreListedAndDemlet2ShowsThemJoinedByCommas) {
    Demlet2Program& demlet2 = StartDemlet2();
    BoxAnswerer boxes;
    kxhost::Form& f = LoadDemlet1();
    const std::vector<std::wstring> files = {L"C:\\work\\a.txt", L"C:\\データ\\受信,ﾃﾞｰﾀ.doc", L"D:\\b c\\z.bin"};
    Drop(f.hwnd(), files);
    EXPECT_EQ(Items(), files);
    EXPECT_EQ(List1().ListIndex(), 2) << "the last item added is not selected";
    EXPECT_EQ(GetFocus(), f.hwnd()) << "the form did not take the focus";
    EXPECT_EQ(Utf8(demlet2.Text()), Utf8(files[0] + L"," + files[1] + L"," + files[2]));

    // A drop on the button raises FileDrop for it, but lists and sends nothing.
    Drop(Hwnd(L"Command1"), {L"C:\\on\\button.txt"});
    EXPECT_EQ(Items(), files);
    EXPECT_EQ(Utf8(demlet2.Text()), Utf8(files[0] + L"," + files[1] + L"," + files[2]));
    // The system's list box hands a drop on to its form, which is watched
    // too: the files arrive once more as a drop on the form, listed once.
    Drop(Hwnd(L"List1"), {L"C:\\on\\list.txt"});
    EXPECT_EQ(Items().size(), 4u);
    EXPECT_EQ(Utf8(demlet2.Text()), "C:\\on\\list.txt");

    // One file: one more item, sent with no comma.
    Drop(f.hwnd(), {L"C:\\one.txt"});
    EXPECT_EQ(Items().size(), 5u);
    EXPECT_EQ(Utf8(demlet2.Text()), "C:\\one.txt");
    EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(DemoTest, ADropWithNoDemlet2RunningSaysSoAndKeepsTheItems) {
    BoxAnswerer boxes;
    kxhost::Form& f = LoadDemlet1();
    Drop(f.hwnd(), {L"C:\\lonely.txt"});
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(Utf8(boxes.Seen()[0].title), "Demlet1");
    EXPECT_EQ(Utf8(boxes.Seen()[0].text), Utf8(L"通信名：'Kestrix'のKestrixｺﾝﾄﾛｰﾙが見つかりません"));
    EXPECT_EQ(Items(), std::vector<std::wstring>{L"C:\\lonely.txt"});
}

// ---- focus moves and keys -------------------------------------------------------------

void Key(BYTE vk) {
    keybd_event(vk, 0, 0, 0);
    keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
}

TEST_F(DemoTest, FocusMovesAndTwoKeysAreListed) {
    kxhost::Form& f = LoadDemlet1();
    SetForegroundWindow(f.hwnd());
    SetFocus(Hwnd(L"List1"));
    // An idle pump leaves the thread's last-error code at -1 under Wine: the
    // capture must live on through it.
    Run(100);
    ASSERT_TRUE(f.Ctl(L"Kestrix1").Call(L"IsEventsStart").AsBool());
    List1().Clear();

    // Tab from List1 to Command1, as the user presses it.
    Key(VK_TAB);
    Run(300);
    EXPECT_EQ(GetFocus(), Hwnd(L"Command1")) << "Tab did not move the focus";
    EXPECT_EQ(Items(), std::vector<std::wstring>{demlet1::FocusMovedItem(L"List1", L"Command1")});
    EXPECT_EQ(List1().ListIndex(), 0);

    // SHIFT in Command1, then another key that adds nothing.
    Key(VK_SHIFT);
    Key('A');
    Run(300);
    ASSERT_EQ(Items().size(), 2u);
    EXPECT_EQ(Utf8(Items()[1]), Utf8(L"Command1でSHIFTキーが押されました"));
    EXPECT_EQ(List1().ListIndex(), 1);

    // NumLock (posted, so the display's own lock state stays as it is).
    PostMessageA(Hwnd(L"Command1"), WM_KEYDOWN, VK_NUMLOCK, 0);
    Run(100);
    ASSERT_EQ(Items().size(), 3u);
    EXPECT_EQ(Utf8(Items()[2]), Utf8(L"Command1でNumLockキーが押されました"));

    // To the form itself, and to no window at all.
    SetFocus(f.hwnd());
    Run(50);
    ASSERT_EQ(Items().size(), 4u);
    EXPECT_EQ(Utf8(Items()[3]), Utf8(demlet1::FocusMovedItem(L"Command1", L"DragDropFrm")));
    SetFocus(Hwnd(L"List1"));
    Run(50);
    ASSERT_EQ(Items().size(), 5u);
    EXPECT_EQ(Utf8(Items()[4]), Utf8(demlet1::FocusMovedItem(L"DragDropFrm", L"List1")));
    SendMessageA(Hwnd(L"List1"), WM_KILLFOCUS, 0, 0);
    Run(50);
    EXPECT_EQ(Items().size(), 5u) << "an item for the focus going to no window";
}

TEST_F(DemoTest, ClickingClearWhileTheListHasTheFocusEndsWithAnEmptyList) {
    kxhost::Form& f = LoadDemlet1();
    SetForegroundWindow(f.hwnd());
    SetFocus(Hwnd(L"List1"));
    List1().AddItem(L"old");
    // The button takes the focus first (an item), then its click empties the list.
    SendMessageA(Hwnd(L"Command1"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(Hwnd(L"Command1"), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Run(100);
    EXPECT_EQ(GetFocus(), Hwnd(L"Command1"));
    EXPECT_TRUE(Items().empty());
}

// ---- the run's trace and its end ----------------------------------------------------------------

std::string ReadAll(const std::wstring& path) {
    HANDLE h =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string s;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got) s.append(buf, got);
    CloseHandle(h);
    return s;
}

TEST_F(DemoTest, UnloadStopsTheCaptureAndTheTraceFileHoldsTheRun) {
    const std::wstring trace = FreshFile(L"Kestrix1.Dbg");
    kxhost::Form& f = LoadDemlet1();
    SendMessageA(Hwnd(L"List1"), WM_KEYDOWN, VK_SHIFT, 0);
    const Object kestrix = f.Ctl(L"Kestrix1");
    ASSERT_TRUE(kestrix.Call(L"IsEventsStart").AsBool());
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    kxhost::EventArgs args(&none);
    demlet1::Form_Unload(f, args);
    EXPECT_FALSE(kestrix.Call(L"IsEventsStart").AsBool());

    const std::wstring text = kx::FromAnsi(ReadAll(trace));
    ASSERT_FALSE(text.empty()) << "no trace in " << Utf8(trace);
    EXPECT_EQ(text.rfind(L"イベント取得を開始しました。(", 0), 0u) << Utf8(text.substr(0, 80));
    EXPECT_NE(text.find(L"Control:List1"), std::wstring::npos);
    EXPECT_NE(text.find(L"Event:WM_KEYDOWN( 256)"), std::wstring::npos);
    EXPECT_NE(text.find(L"P1:16"), std::wstring::npos);
    const size_t stop = text.rfind(L"イベント取得を停止しました。(");
    ASSERT_NE(stop, std::wstring::npos);
    EXPECT_EQ(text.substr(text.size() - 5), L")\r\n\r\n") << "the stop line and a blank line end the run";
    form_->Unload();
}

TEST_F(DemoTest, Demlet1StartsDemlet2FromTheCurrentFolderWithoutWaiting) {
    // A folder with Demlet2.exe in it, as the current folder.
    const std::wstring dir = ExeDir() + L"start-here";
    CreateDirectoryW(dir.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(Demlet2Path().c_str(), (dir + L"\\Demlet2.exe").c_str(), FALSE));
    // The assembly its manifest names lies beside it, as a program ships.
    for (const wchar_t* file : {L"Kestrix.OCX", L"Kestrix.manifest"}) {
        ASSERT_TRUE(CopyFileW((ExeDir() + file).c_str(), (dir + L"\\" + file).c_str(), FALSE));
    }
    wchar_t before[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    SetCurrentDirectoryW(dir.c_str());
    const std::vector<HWND> existing = WindowsOf(0, true);
    LoadDemlet1();
    SetCurrentDirectoryW(before);

    ChildProgram started;
    HWND found = nullptr;
    EXPECT_TRUE(WaitFor(
        [&] {
            found = FindWindowA(nullptr, "Demlet2.EXE");
            return found && std::find(existing.begin(), existing.end(), found) == existing.end();
        },
        15000))
        << "no Demlet2 appeared";
    if (found) {
        DWORD pid = 0;
        GetWindowThreadProcessId(found, &pid);
        started.Adopt(pid);
        EXPECT_NE(pid, GetCurrentProcessId());
    }
    started.End();
    for (const wchar_t* file : {L"Demlet2.exe", L"Kestrix.OCX", L"Kestrix.manifest"}) DeleteFileW((dir + L"\\" + file).c_str());
    DeleteFileW((dir + L"\\Kestrix1.Dbg").c_str());
    RemoveDirectoryW(dir.c_str());
}

// ---- Demlet2 on its own ---------------------------------------------------------------------

TEST_F(DemoTest, Demlet2ShowsOnlyTheLastTextAndNeitherCapturesNorTakesDrops) {
    std::unique_ptr<kxhost::Form> f = demlet2::CreateForm(*rt_);
    f->Load();
    f->Show();
    const Object kestrix = f->Ctl(L"Kestrix1");
    EXPECT_EQ(Utf8(kestrix.Call(L"LinkName").AsString()), "Kestrix");
    EXPECT_FALSE(kestrix.Call(L"IsEventsStart").AsBool());
    EXPECT_EQ(GetWindowLongA(f->hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
    auto& text1 = f->Get<kxhost::TextBox>(L"Text1");
    EXPECT_EQ(text1.Text(), L"");

    // What a sender in another program does, step by step.
    HWND own = reinterpret_cast<HWND>(static_cast<LONG_PTR>(kestrix.Call(L"hwnd").AsLong()));
    for (const std::wstring& t : {std::wstring(L"first"), kGreeting}) {
        SetWindowTextA(own, kx::ToAnsi(t).c_str());
        SendMessageA(own, WM_PAINT, 0, 0);
    }
    EXPECT_EQ(Utf8(text1.Text()), Utf8(kGreeting));
    f.reset();
}

} // namespace
