// Starting and stopping a capture: every error of EventsStart with its
// text at run time (raised) and design time (message boxes), nothing left
// installed after a failure, control arrays, the raw TargetHandle window,
// HandleCheck, and the end of the control while it captures.
#include "Ansi.h"
#include "KestrixFixture.h"
#include "OtherProcess.h"
#include "WindowRecorder.h"

using namespace kxtest;
using kxhost::EventArgs;
using kxhost::Mode;

namespace {

LONG H(HWND h) { return static_cast<LONG>(reinterpret_cast<LONG_PTR>(h)); }
LONG_PTR ProcOf(HWND h) { return GetWindowLongPtrA(h, GWLP_WNDPROC); }

const std::wstring kQuiet = L"        Bag debugmode = False\n";

class CaptureTest : public KestrixTest {
protected:
    // The procedures of the form's windows, to tell what a capture changed.
    std::vector<LONG_PTR> Procs() const {
        return {ProcOf(Hwnd(L"Form1")), ProcOf(Hwnd(L"List1")), ProcOf(Hwnd(L"Command1")), ProcOf(Hwnd(L"Text1"))};
    }
    std::optional<kx::AutomationError> Start() {
        return RaisedBy([&] { K().Call(L"EventsStart"); });
    }
    bool Started() const { return K().Call(L"IsEventsStart").AsBool(); }
    bool Check(LONG h) const { return K().Call(L"HandleCheck", {h}).AsBool(); }
    // A window that has been destroyed: its handle is no window any more.
    static HWND GoneWindow() {
        HWND h = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        DestroyWindow(h);
        return h;
    }
};

struct StartError {
    const wchar_t* bag;
    LONG number;
    std::wstring text;
};

// The errors found before anything is installed, with the bag that causes each.
const StartError kStartErrors[] = {
    {L"        Bag targetcontrols = \"   \"\n", 10006, L"TargetControls と TargetHandle ﾌﾟﾛﾊﾟﾃｨが設定されていません"},
    {L"        Bag targetevents = \"  \"\n", 10007, L"TargetEvents ﾌﾟﾛﾊﾟﾃｨが設定されていません"},
    {L"        Bag targetcontrols = \"Form1,Label1,Text1\"\n", 10008,
     L"TargetControlsﾌﾟﾛﾊﾟﾃｨの 'Label1' はhWndﾌﾟﾛﾊﾟﾃｨがｻﾎﾟｰﾄされていないｺﾝﾄﾛｰﾙです"},
    {L"        Bag targetcontrols = \"Form1, Command1\"\n", 10009,
     L"TargetControlsﾌﾟﾛﾊﾟﾃｨの ' Command1' が見つかりません"},
    {L"        Bag targetcontrols = \"Form1,Command1,\"\n", 10009, L"TargetControlsﾌﾟﾛﾊﾟﾃｨの '' が見つかりません"},
    {L"        Bag targetcontrols = \"Kestrix1\"\n", 10009, L"TargetControlsﾌﾟﾛﾊﾟﾃｨの 'Kestrix1' が見つかりません"},
    {L"        Bag targetcontrols = \"Form1,Nowhere,Text1\"\n", 10009,
     L"TargetControlsﾌﾟﾛﾊﾟﾃｨの 'Nowhere' が見つかりません"},
};

} // namespace

TEST_F(CaptureTest, StartErrorsRaiseAtRunTimeWithNothingInstalled) {
    for (const StartError& e : kStartErrors) {
        SCOPED_TRACE(testing::Message() << "error " << e.number);
        Load(e.bag + kQuiet);
        const auto before = Procs();
        ExpectOwnError(Start(), e.number, e.text);
        EXPECT_FALSE(Started());
        EXPECT_EQ(Procs(), before);
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(CaptureTest, StartErrorsShowOneBoxEachAtDesignTime) {
    for (const StartError& e : kStartErrors) {
        SCOPED_TRACE(testing::Message() << "error " << e.number);
        boxes_->Clear();
        Load(e.bag + kQuiet, Mode::Design);
        const auto before = Procs();
        EXPECT_FALSE(Start().has_value());
        ASSERT_EQ(Boxes().size(), 1u);
        ExpectOwnBox(Boxes()[0], e.text);
        EXPECT_FALSE(Started());
        EXPECT_EQ(Procs(), before);
    }
}

TEST_F(CaptureTest, BlankTargetControlsReadsNothingAfterTheRefusal) {
    Load(L"        Bag targetcontrols = \"  \"\n" + kQuiet);
    ExpectOwnError(Start(), 10006, L"TargetControls と TargetHandle ﾌﾟﾛﾊﾟﾃｨが設定されていません");
    EXPECT_EQ(K().Call(L"TargetControls").AsString(), L"(Nothing)");
}

TEST_F(CaptureTest, NamesMatchWithoutRegardToCaseAndStartingTwiceDoesNothing) {
    Load(L"        Bag targetcontrols = \"form1,COMMAND1,list1\"\n" + kQuiet);
    const auto before = Procs();
    EXPECT_FALSE(Start().has_value());
    ASSERT_TRUE(Started());
    const auto during = Procs();
    EXPECT_NE(during[0], before[0]);
    EXPECT_NE(during[1], before[1]);
    EXPECT_NE(during[2], before[2]);
    EXPECT_EQ(during[3], before[3]); // Text1 is not named
    EXPECT_FALSE(Start().has_value());
    EXPECT_EQ(Procs(), during);
    K().Call(L"EventsStop");
    EXPECT_FALSE(Started());
    EXPECT_EQ(Procs(), before);
    K().Call(L"EventsStop"); // harmless when nothing is captured
    EXPECT_EQ(Procs(), before);
}

// ---- a window whose procedure cannot be replaced ---------------------------------

TEST_F(CaptureTest, RunTimeInstallFailureOfTheRawWindowRaises10003WithNothingLeft) {
    OtherProcessWindow other;
    ASSERT_TRUE(other.hwnd()) << "the helper's window did not appear";
    Load(L"        Bag targetcontrols = \"Form1,Command1\"\n" + kQuiet);
    const auto before = Procs();
    K().Let(L"TargetHandle", other.handle()); // a window, so accepted
    ExpectOwnError(Start(), 10003, L"TargetHandle ﾌﾟﾛﾊﾟﾃｨが不正です");
    EXPECT_FALSE(Started());
    EXPECT_EQ(Procs(), before);

    // A raw handle whose window has gone since it was set.
    HWND temp = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    K().Let(L"TargetHandle", H(temp));
    DestroyWindow(temp);
    ExpectOwnError(Start(), 10003, L"TargetHandle ﾌﾟﾛﾊﾟﾃｨが不正です");
    EXPECT_FALSE(Started());
    EXPECT_EQ(Procs(), before);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(CaptureTest, RunTimeInstallFailureOfAControlRaises10004AndUndoesTheOthers) {
    Load(L"        Bag targetcontrols = \"Form1,Command1,List1\"\n" + kQuiet);
    K().Let(L"TargetHandle", H(Hwnd(L"Text1")));
    DestroyWindow(Hwnd(L"List1")); // its handle stays with the control, but is no window
    const LONG_PTR form = ProcOf(Hwnd(L"Form1")), command = ProcOf(Hwnd(L"Command1")), text = ProcOf(Hwnd(L"Text1"));
    ExpectOwnError(Start(), 10004, L"List1 が不正です");
    EXPECT_FALSE(Started());
    // The raw window and the two controls before List1 were replaced, then restored.
    EXPECT_EQ(ProcOf(Hwnd(L"Form1")), form);
    EXPECT_EQ(ProcOf(Hwnd(L"Command1")), command);
    EXPECT_EQ(ProcOf(Hwnd(L"Text1")), text);
    // A later start without the broken control works.
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(CaptureTest, DesignTimeInstallFailuresShowTheirBoxThenTheFailedCapture) {
    const HWND gone = GoneWindow();
    Load(L"        Bag targethandle = " + std::to_wstring(H(gone)) + L"\n" + kQuiet, Mode::Design);
    const auto before = Procs();
    EXPECT_FALSE(Start().has_value());
    ASSERT_EQ(Boxes().size(), 2u);
    ExpectOwnBox(Boxes()[0], L"TargetHandle ﾌﾟﾛﾊﾟﾃｨが不正です");
    ExpectOwnBox(Boxes()[1], L"イベントの取得に失敗しました");
    EXPECT_FALSE(Started());
    EXPECT_EQ(Procs(), before);

    boxes_->Clear();
    Load(L"        Bag targetcontrols = \"Form1,Text1,Command1\"\n" + kQuiet, Mode::Design);
    DestroyWindow(Hwnd(L"Text1"));
    const LONG_PTR form = ProcOf(Hwnd(L"Form1")), command = ProcOf(Hwnd(L"Command1"));
    EXPECT_FALSE(Start().has_value());
    ASSERT_EQ(Boxes().size(), 2u);
    ExpectOwnBox(Boxes()[0], L"Text1 が不正です");
    ExpectOwnBox(Boxes()[1], L"イベントの取得に失敗しました");
    EXPECT_FALSE(Started());
    EXPECT_EQ(ProcOf(Hwnd(L"Form1")), form);
    EXPECT_EQ(ProcOf(Hwnd(L"Command1")), command);
}

// ---- what is captured ----------------------------------------------------------------

TEST_F(CaptureTest, AControlArrayOfThreeButtonsGivesThreeTargetsAndLaterNamesStillResolve) {
    std::wstring buttons;
    for (int i = 0; i < 3; ++i)
        buttons += L"    Begin CommandButton Cmd(" + std::to_wstring(i) +
            L")\n        Caption = \"B\"\n        Left = " + std::to_wstring(3600 + 400 * i) +
            L"\n        Top = 1200\n        TabIndex = " + std::to_wstring(3 + i) + L"\n    End\n";
    auto& f = Load(L"        Bag targetcontrols = \"cmd,Text1\"\n        Bag targetevents = \"'1030'\"\n" + kQuiet,
                   Mode::Run, buttons);
    std::vector<std::pair<std::wstring, LONG>> seen; // name and index of each GetEvents' Control
    f.On(L"Kestrix1", L"GetEvents", [&](EventArgs& a) {
        const kxhost::Object c = a.Obj(0);
        const std::wstring name = c.Call(L"Name").AsString();
        seen.emplace_back(name, name == L"Cmd" ? c.Call(L"Index").AsLong() : -1);
    });
    EXPECT_FALSE(Start().has_value());
    ASSERT_TRUE(Started());
    for (LONG i = 2; i >= 0; --i) SendMessageA(f.Find(L"Cmd", i)->hwnd(), WM_USER + 6, 0, 0);
    SendMessageA(Hwnd(L"Text1"), WM_USER + 6, 0, 0);
    SendMessageA(Hwnd(L"Command1"), WM_USER + 6, 0, 0); // not a target
    EXPECT_EQ(seen,
              (std::vector<std::pair<std::wstring, LONG>>{{L"Cmd", 2}, {L"Cmd", 1}, {L"Cmd", 0}, {L"Text1", -1}}));
}

TEST_F(CaptureTest, ARawHandleThatIsANamedControlsWindowIsCapturedOnceAsThatControl) {
    auto& f =
        Load(L"        Bag targetcontrols = \"Form1,Command1\"\n        Bag targetevents = \"'1030'\"\n" + kQuiet);
    K().Let(L"TargetHandle", H(Hwnd(L"Command1")));
    std::vector<std::wstring> sources;
    f.On(L"Kestrix1", L"GetEvents", [&](EventArgs& a) { sources.push_back(a.Obj(0).Call(L"Name").AsString()); });
    EXPECT_FALSE(Start().has_value());
    ASSERT_TRUE(Started());
    EXPECT_EQ(K().Call(L"TargetHandle").AsLong(), 0);
    SendMessageA(Hwnd(L"Command1"), WM_USER + 6, 0, 0);
    EXPECT_EQ(sources, std::vector<std::wstring>{L"Command1"});
    const LONG_PTR during = ProcOf(Hwnd(L"Command1"));
    K().Call(L"EventsStop");
    EXPECT_NE(ProcOf(Hwnd(L"Command1")), during);
}

TEST_F(CaptureTest, TheRawHandleAloneIsCapturedAsTheKestrixControl) {
    auto& f = Load(L"        Bag targetcontrols = \"(Nothing)\"\n        Bag targetevents = \"'1030'\"\n" + kQuiet);
    K().Let(L"TargetHandle", H(Hwnd(L"Text1")));
    std::vector<bool> fromSelf;
    f.On(L"Kestrix1", L"GetEvents", [&](EventArgs& a) { fromSelf.push_back(a.Obj(0).Is(K())); });
    const auto before = Procs();
    EXPECT_FALSE(Start().has_value());
    ASSERT_TRUE(Started());
    const auto during = Procs();
    EXPECT_EQ(during[0], before[0]); // the form is not captured
    EXPECT_NE(during[3], before[3]);
    SendMessageA(Hwnd(L"Text1"), WM_USER + 6, 0, 0);
    SendMessageA(Hwnd(L"Form1"), WM_USER + 6, 0, 0);
    EXPECT_EQ(fromSelf, std::vector<bool>{true});
    K().Call(L"EventsStop");
    EXPECT_EQ(Procs(), before);
}

// ---- HandleCheck ---------------------------------------------------------------------

TEST_F(CaptureTest, HandleCheckTellsWhichWindowsCanBeCaptured) {
    Load(L"        Bag targetcontrols = \"Form1,Command1\"\n" + kQuiet);
    OtherProcessWindow other;
    ASSERT_TRUE(other.hwnd()) << "the helper's window did not appear";
    const auto before = Procs();
    EXPECT_TRUE(Check(H(Hwnd(L"Text1"))));
    EXPECT_TRUE(Check(H(Hwnd(L"Form1"))));
    EXPECT_EQ(Procs(), before) << "the probe puts every procedure back";
    EXPECT_FALSE(Check(H(GoneWindow())));
    EXPECT_FALSE(Check(0));
    EXPECT_FALSE(Check(other.handle()));

    // While capturing, targets count as capturable.
    K().Let(L"TargetHandle", H(Hwnd(L"Text1")));
    EXPECT_FALSE(Start().has_value());
    ASSERT_TRUE(Started());
    const auto during = Procs();
    EXPECT_TRUE(Check(H(Hwnd(L"Command1"))));
    EXPECT_TRUE(Check(H(Hwnd(L"Text1"))));
    EXPECT_TRUE(Check(H(Hwnd(L"List1"))));
    EXPECT_FALSE(Check(other.handle()));
    EXPECT_EQ(Procs(), during);
    EXPECT_TRUE(Started());
    EXPECT_TRUE(Boxes().empty());
}

// ---- the end of the control -------------------------------------------------------

TEST_F(CaptureTest, UnloadingTheFormWhileCapturingRestoresEveryWindow) {
    // Watching a message that unloading never sends: no call-back can fail
    // on the way and end the capture by itself.
    Load(L"        Bag targetcontrols = \"Form1,List1,Command1\"\n        Bag targetevents = \"'1032'\"\n" + kQuiet);
    WindowRecorder form(Hwnd(L"Form1")), list(Hwnd(L"List1")), command(Hwnd(L"Command1"));
    HWND own = CreateWindowExA(0, "STATIC", "raw", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(own);
    WindowRecorder raw(own);
    K().Let(L"TargetHandle", H(own));
    EXPECT_FALSE(Start().has_value());
    ASSERT_TRUE(Started());
    EXPECT_FALSE(form.Installed());
    EXPECT_FALSE(raw.Installed());

    EXPECT_TRUE(form_->Unload());
    for (WindowRecorder* r : {&form, &list, &command}) {
        EXPECT_TRUE(r->destroyed);
        EXPECT_TRUE(r->recorderAtDestroy) << "a window still ran the capture when it was destroyed";
    }
    EXPECT_TRUE(raw.Installed()); // the raw window outlives the form and has its procedure back
    DestroyWindow(own);
}

TEST_F(CaptureTest, TheEndOfAnyInstanceStopsTheCaptureOfAnother) {
    Load(L"        Bag targetcontrols = \"Form1,Command1\"\n" + kQuiet);
    auto second = LoadOther(L"Form2", L"        Bag targetcontrols = \"Form1,Command1\"\n" + kQuiet);
    const auto before = Procs();
    EXPECT_FALSE(Start().has_value());
    ASSERT_TRUE(Started());
    EXPECT_TRUE(second->Ctl(L"Kestrix1").Call(L"IsEventsStart").AsBool()) << "one capture for the whole process";
    EXPECT_TRUE(second->Unload());
    EXPECT_FALSE(Started());
    EXPECT_EQ(Procs(), before);
}

TEST_F(CaptureTest, AnotherFormLoadingWhileCapturingLeavesTheCaptureWhole) {
    // The later form's values replace the store's, "(Nothing)" included.
    for (const wchar_t* secondTargets : {L"Form2", L"(Nothing)"}) {
        SCOPED_TRACE(kx::ToAnsi(secondTargets));
        auto& f =
            Load(L"        Bag targetcontrols = \"Form1,Command1\"\n        Bag targetevents = \"'1032'\"\n" + kQuiet);
        WindowRecorder command(Hwnd(L"Command1"));
        int events = 0;
        f.On(L"Kestrix1", L"GetEvents", [&](EventArgs&) { ++events; });
        const auto before = Procs();
        EXPECT_FALSE(Start().has_value());
        ASSERT_TRUE(Started());
        auto second =
            LoadOther(L"Form2", L"        Bag targetcontrols = \"" + std::wstring(secondTargets) + L"\"\n" + kQuiet);
        // The most recently loaded control is the one the engine calls back.
        int secondEvents = 0;
        second->On(L"Kestrix1", L"GetEvents", [&](EventArgs&) { ++secondEvents; });
        EXPECT_TRUE(Started());
        SendMessageA(Hwnd(L"Command1"), WM_USER + 8, 3, 4);
        ASSERT_EQ(command.Seen(WM_USER + 8).size(), 1u) << "the message did not reach the window";
        EXPECT_EQ(events, 0);
        EXPECT_EQ(secondEvents, 1);
        K().Call(L"EventsStop");
        EXPECT_EQ(Procs(), before) << "a window kept the capture's procedure";
        EXPECT_TRUE(command.Installed());
        SendMessageA(Hwnd(L"Command1"), WM_USER + 8, 5, 6);
        EXPECT_EQ(command.Seen(WM_USER + 8).size(), 2u);
    }
}
