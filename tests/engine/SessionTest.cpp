// Installing and removing a capture session on real windows.
#include "EngineFixture.h"
#include <commctrl.h>

using namespace kxtest;

namespace {

bool AcceptsFiles(HWND h) { return (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0; }

HWND DeadWindow() {
    TestWindow w("dead");
    return w.hwnd(); // destroyed when w goes
}

} // namespace

TEST_F(EngineTest, InstallReplacesEveryTargetAndRemovalRestoresIt) {
    TestWindow a, b, raw;
    const WNDPROC original = a.proc();
    gFn_Engine().g_TargetHandle = raw.handle();

    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}, {L"Command1", b.hwnd()}}, L"'513'"));
    EXPECT_TRUE(gFn_Engine().g_EventsStarted);
    EXPECT_EQ(ProcOf(a.hwnd()), gFn_CallProc);
    EXPECT_EQ(ProcOf(b.hwnd()), gFn_CallProc);
    EXPECT_EQ(ProcOf(raw.hwnd()), gFn_CallProcHandle);
    EXPECT_EQ(gFn_Engine().PrevProcOf(a.hwnd()), original);
    EXPECT_EQ(gFn_Engine().g_PrevProcs.size(), gFn_Engine().g_Ctls.size());

    gFn_SubClassOff();
    EXPECT_FALSE(gFn_Engine().g_EventsStarted);
    EXPECT_EQ(ProcOf(a.hwnd()), original);
    EXPECT_EQ(ProcOf(b.hwnd()), original);
    EXPECT_EQ(ProcOf(raw.hwnd()), original);
    EXPECT_EQ(gFn_Engine().PrevProcOf(a.hwnd()), nullptr);
    EXPECT_EQ(gFn_Engine().g_PrevHandleProc, nullptr);
    EXPECT_TRUE(control_.reports.empty());
}

TEST_F(EngineTest, SystemControlsKeepWorkingWhileCapturedAndAfterwards) {
    // A button of an ANSI class and a list box created as a Unicode window.
    HWND button = CreateWindowExA(0, "BUTTON", "OK", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr, nullptr, nullptr);
    HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP, 0, 0, 80, 80, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(button && list);
    const LONG_PTR buttonProc = GetWindowLongPtrW(button, GWLP_WNDPROC);
    const LONG_PTR listProc = GetWindowLongPtrW(list, GWLP_WNDPROC);

    ASSERT_TRUE(Capture({{L"Command1", button}, {L"List1", list}}, L"'384'")); // LB_ADDSTRING
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("ａｂｃ"));
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"日本語"));
    char text[16] = {};
    SendMessageA(button, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "OK");
    ASSERT_EQ(control_.events.size(), 2u);
    EXPECT_EQ(control_.events[0].msg, static_cast<UINT>(LB_ADDSTRING));

    gFn_SubClassOff();
    EXPECT_EQ(GetWindowLongPtrW(button, GWLP_WNDPROC), buttonProc);
    EXPECT_EQ(GetWindowLongPtrW(list, GWLP_WNDPROC), listProc);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    wchar_t item[16] = {};
    SendMessageW(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, L"日本語");
    DestroyWindow(button);
    DestroyWindow(list);
}

TEST_F(EngineTest, NothingTargetedWithoutHandleStartsWithoutReplacingAnything) {
    ASSERT_TRUE(Capture({}, L"ALL"));
    EXPECT_TRUE(gFn_Engine().g_EventsStarted);
    EXPECT_EQ(gFn_Engine().g_PrevHandleProc, nullptr);
    EXPECT_EQ(gFn_Engine().g_PrevProcs.size(), 1u);
    EXPECT_EQ(gFn_Engine().g_PrevProcs[0], nullptr);
}

TEST_F(EngineTest, RawHandleAloneIsTheOnlyWindowReplacedAndRestored) {
    TestWindow raw, other;
    const WNDPROC original = raw.proc();
    gFn_Engine().g_TargetHandle = raw.handle();
    // Tables left over from an earlier session must not be touched.
    gFn_ResetTargets();
    gFn_AddTarget(MakeTargetControl(L"Other", other.hwnd()), other.hwnd());
    gFn_Engine().g_TargetControls = Def_NothingText;
    gFn_Engine().g_TargetEvents = L"ALL";
    ASSERT_TRUE(gFn_SubClassOn());
    EXPECT_EQ(raw.proc(), gFn_CallProcHandle);
    EXPECT_EQ(other.proc(), original);
    gFn_SubClassOff();
    EXPECT_EQ(raw.proc(), original);
}

TEST_F(EngineTest, WindowNamedTwiceGetsItsOwnProcedureBackAndOneCallPerMessage) {
    TestWindow a;
    const WNDPROC original = a.proc();
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}, {L"Text1", a.hwnd()}}, L"'1025'"));
    EXPECT_EQ(SendMessageA(a.hwnd(), 1025, 1, 2), Recorder::kResult);
    EXPECT_EQ(control_.events.size(), 1u);
    EXPECT_EQ(Recorder::Only({1025}).size(), 1u);
    gFn_SubClassOff();
    EXPECT_EQ(a.proc(), original);
}

TEST_F(EngineTest, FailedReplacementAtRunTimeUndoesEverythingAndRaises) {
    TestWindow a, b, raw;
    const WNDPROC original = a.proc();
    gFn_Engine().g_TargetHandle = raw.handle();
    const HWND dead = DeadWindow();
    SetTargets({{L"Text1", a.hwnd()}, {L"Text2", b.hwnd()}, {L"Text3", dead}});
    gFn_Engine().g_TargetEvents = L"ALL";

    try {
        gFn_SubClassOn();
        FAIL() << "a run-time report must leave the install as a raised error";
    } catch (const kx::RaisedError& e) {
        EXPECT_EQ(e.error().number, 10004);
        EXPECT_EQ(e.error().description, L"Text3 が不正です");
    }
    // Reported once by the install, then once more by its trap with context 0.
    ASSERT_EQ(control_.reports.size(), 2u);
    EXPECT_EQ(control_.reports[0].number, 10004);
    EXPECT_EQ(control_.reports[0].text, L"Text3 が不正です");
    EXPECT_EQ(control_.reports[0].helpContext, 100);
    EXPECT_EQ(control_.reports[1].number, 10004);
    EXPECT_EQ(control_.reports[1].helpContext, 0);
    EXPECT_FALSE(gFn_Engine().g_EventsStarted);
    EXPECT_EQ(a.proc(), original);
    EXPECT_EQ(b.proc(), original);
    EXPECT_EQ(raw.proc(), original);
}

TEST_F(EngineTest, FailedReplacementAtDesignTimeReportsOnceAndReturnsFalse) {
    control_.runTime = false;
    TestWindow a;
    const WNDPROC original = a.proc();
    gFn_Engine().g_TargetHandle = reinterpret_cast<LONG_PTR>(DeadWindow());
    EXPECT_FALSE(Capture({{L"Text1", a.hwnd()}}, L"ALL"));
    ASSERT_EQ(control_.reports.size(), 1u);
    EXPECT_EQ(control_.reports[0].number, 10003);
    EXPECT_EQ(control_.reports[0].text, L"TargetHandle ﾌﾟﾛﾊﾟﾃｨが不正です");
    EXPECT_EQ(control_.reports[0].helpContext, 100);
    EXPECT_FALSE(gFn_Engine().g_EventsStarted);
    EXPECT_EQ(a.proc(), original);
}

TEST_F(EngineTest, FailureReadingTheControlIsReportedWithItsOwnNumber) {
    control_.runTime = false;
    control_.object().Remove(L"FileDropMode");
    TestWindow a;
    EXPECT_FALSE(Capture({{L"Text1", a.hwnd()}}, L"ALL"));
    ASSERT_EQ(control_.reports.size(), 1u);
    EXPECT_EQ(control_.reports[0].number, 438);
    EXPECT_EQ(control_.reports[0].helpContext, 0);
    EXPECT_NE(a.proc(), gFn_CallProc);
}

TEST_F(EngineTest, RemovalWhenIdleLeavesWindowsAloneAndIsRepeatable) {
    TestWindow a;
    SetTargets({{L"Text1", a.hwnd()}});
    // Someone else's procedure on a window that stands in the tables.
    const LONG_PTR foreign = SetWindowLongPtrA(a.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
    gFn_SubClassOff();
    gFn_SubClassOff();
    EXPECT_EQ(a.proc(), reinterpret_cast<WNDPROC>(DefWindowProcA));
    EXPECT_FALSE(gFn_Engine().g_EventsStarted);
    SetWindowLongPtrA(a.hwnd(), GWLP_WNDPROC, foreign);
}

TEST_F(EngineTest, FileDropAcceptanceFollowsTheSession) {
    control_.fileDropMode = true;
    TestWindow a, raw;
    gFn_Engine().g_TargetHandle = raw.handle();
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'15'"));
    EXPECT_TRUE(gFn_Engine().g_FileDropMode);
    EXPECT_TRUE(AcceptsFiles(a.hwnd()));
    EXPECT_TRUE(AcceptsFiles(raw.hwnd()));
    gFn_SubClassOff();
    EXPECT_FALSE(AcceptsFiles(a.hwnd()));
    EXPECT_FALSE(AcceptsFiles(raw.hwnd()));

    control_.fileDropMode = false;
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'15'"));
    EXPECT_FALSE(AcceptsFiles(a.hwnd()));
    gFn_SubClassOff();

    // A form loaded during the capture may switch the store's FileDropMode
    // off: what the install accepted is still taken back.
    control_.fileDropMode = true;
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'15'"));
    gFn_Engine().g_FileDropMode = false;
    gFn_SubClassOff();
    EXPECT_FALSE(AcceptsFiles(a.hwnd()));
    EXPECT_FALSE(AcceptsFiles(raw.hwnd()));
}

TEST_F(EngineTest, RawWindowIsRestoredEvenWhenTargetHandleChangedMeanwhile) {
    TestWindow raw;
    const WNDPROC original = raw.proc();
    gFn_Engine().g_TargetHandle = raw.handle();
    ASSERT_TRUE(Capture({}, L"'1025'"));
    gFn_Engine().g_TargetHandle = 0;
    EXPECT_EQ(SendMessageA(raw.hwnd(), 1025, 0, 0), Recorder::kResult);
    gFn_SubClassOff();
    EXPECT_EQ(raw.proc(), original);
}

TEST_F(EngineTest, ProbeReplacesAndPutsBackOrFailsOnNoWindow) {
    TestWindow a;
    const WNDPROC original = a.proc();
    EXPECT_TRUE(gFn_ProbeWindow(a.hwnd()));
    EXPECT_EQ(a.proc(), original);
    EXPECT_FALSE(gFn_ProbeWindow(DeadWindow()));
    EXPECT_FALSE(gFn_ProbeWindow(nullptr));
}
