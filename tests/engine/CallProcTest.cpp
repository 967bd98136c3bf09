// What the replacement window procedures do with each message: watch or
// not, call back, swallow, change, pass on, and end the session on failure.
#include "EngineFixture.h"

using namespace kxtest;

namespace {
constexpr UINT kMsgA = WM_USER + 1; // 1025
constexpr UINT kMsgB = WM_USER + 2; // 1026

// What the window's own procedure receives, scenario by scenario; the
// nested send's call-backs are logged as 0xBEEF0000 | message.
const Sequence kLeftClick = {"left click, both passed on",
                             {{WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4)}, {WM_LBUTTONUP, 0, MAKELPARAM(3, 4)}}};
const Sequence kOnlyTheUncancelled = {"the cancelled message never arrives", {{kMsgB, 7, 8}}, {kMsgA}};
const Sequence kNestedSend = {
    "a send from the handler, delivered whole inside the first",
    {{0xBEEF0000u | kMsgA, 0, 0}, {0xBEEF0000u | kMsgB, 0, 0}, {kMsgB, 20, 21}, {kMsgA, 10, 11}}};
} // namespace

TEST_F(EngineTest, AllWatchesEveryMessageButOnlyInCapitals) {
    TestWindow a;
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"ALL"));
    SendMessageA(a.hwnd(), WM_NCHITTEST, 0, 0);
    SendMessageA(a.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(a.hwnd()), 0);
    ASSERT_EQ(control_.events.size(), 2u);
    EXPECT_EQ(control_.events[0].msg, static_cast<UINT>(WM_NCHITTEST));
    EXPECT_EQ(control_.events[1].msg, static_cast<UINT>(WM_SETCURSOR));
    gFn_SubClassOff();

    control_.events.clear();
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"all"));
    SendMessageA(a.hwnd(), WM_NCHITTEST, 0, 0);
    SendMessageA(a.hwnd(), kMsgA, 0, 0);
    EXPECT_TRUE(control_.events.empty());
}

TEST_F(EngineTest, OnlyListedNumbersAreWatchedAndAllMessagesPassOn) {
    TestWindow a;
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'12','513','22'"));
    SendMessageA(a.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
    SendMessageA(a.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
    ASSERT_EQ(control_.events.size(), 1u);
    EXPECT_EQ(control_.events[0], (Seen{a.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4)}));
    ExpectSequence(Recorder::log, a.hwnd(), kLeftClick);
}

TEST_F(EngineTest, EntryWithABlankInsideItsQuotesWatchesNothing) {
    TestWindow a;
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"' 1025','1026 '"));
    SendMessageA(a.hwnd(), kMsgA, 0, 0);
    SendMessageA(a.hwnd(), kMsgB, 0, 0);
    EXPECT_TRUE(control_.events.empty());
}

TEST_F(EngineTest, CancelledMessageNeverReachesThePreviousProcedure) {
    TestWindow a;
    control_.onEvent = [](LONG_PTR&, LONG&, LONG_PTR&, LONG_PTR&) { return true; };
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'1025'"));
    EXPECT_EQ(SendMessageA(a.hwnd(), kMsgA, 7, 8), 0);
    EXPECT_EQ(SendMessageA(a.hwnd(), kMsgB, 7, 8), Recorder::kResult);
    ExpectSequence(Recorder::log, a.hwnd(), kOnlyTheUncancelled);
}

TEST_F(EngineTest, ChangedValuesAreTheOnesPassedOn) {
    TestWindow a;
    control_.onEvent = [](LONG_PTR&, LONG& msg, LONG_PTR& wp, LONG_PTR& lp) {
        msg = kMsgB;
        wp = -5;
        lp = 123456;
        return false;
    };
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'1025'"));
    EXPECT_EQ(SendMessageA(a.hwnd(), kMsgA, 1, 2), Recorder::kResult);
    EXPECT_EQ(Recorder::Only({kMsgA, kMsgB}), (std::vector<Seen>{{a.hwnd(), kMsgB, static_cast<WPARAM>(-5), 123456}}));
}

TEST_F(EngineTest, DropsAreAlwaysWatchedOnControlsButNotOnTheRawWindow) {
    control_.fileDropMode = true;
    TestWindow a, raw;
    gFn_Engine().g_TargetHandle = raw.handle();
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'15'"));
    SendMessageA(a.hwnd(), WM_DROPFILES, 0, 0);
    SendMessageA(raw.hwnd(), WM_DROPFILES, 0, 0);
    ASSERT_EQ(control_.events.size(), 1u);
    EXPECT_EQ(control_.events[0].hwnd, a.hwnd());
    EXPECT_EQ(control_.events[0].msg, 563u);
    EXPECT_EQ(Recorder::Only({WM_DROPFILES}).size(), 2u);
    gFn_SubClassOff();

    // Without file-drop mode a drop is an ordinary message.
    control_.fileDropMode = false;
    control_.events.clear();
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'15'"));
    SendMessageA(a.hwnd(), WM_DROPFILES, 0, 0);
    EXPECT_TRUE(control_.events.empty());
}

TEST_F(EngineTest, RawWindowMessagesComeWithTheirOwnHandle) {
    TestWindow raw;
    gFn_Engine().g_TargetHandle = raw.handle();
    ASSERT_TRUE(Capture({}, L"'1025'"));
    EXPECT_EQ(SendMessageA(raw.hwnd(), kMsgA, 3, 4), Recorder::kResult);
    ASSERT_EQ(control_.events.size(), 1u);
    EXPECT_EQ(control_.events[0], (Seen{raw.hwnd(), kMsgA, 3, 4}));
}

TEST_F(EngineTest, FailingCallBackEndsTheSessionButTheMessageStillArrives) {
    TestWindow a;
    const WNDPROC original = a.proc();
    control_.object().Remove(L"DoGetEvents");
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'1025'"));
    EXPECT_EQ(SendMessageA(a.hwnd(), kMsgA, 1, 2), Recorder::kResult);
    EXPECT_EQ(Recorder::Only({kMsgA}).size(), 1u);
    EXPECT_FALSE(gFn_Engine().g_EventsStarted);
    EXPECT_EQ(a.proc(), original);
    EXPECT_TRUE(control_.reports.empty());
}

TEST_F(EngineTest, FailingCallBackInsideTheDevelopmentEnvironmentKeepsTheSession) {
    TestWindow a;
    gFn_Engine().g_InDevEnv = true;
    control_.object().Define(L"DoGetEvents", [](WORD, DISPPARAMS*, VARIANT*, EXCEPINFO* ei) {
        return AutoObject::Raise(ei, 5, L"handler failed");
    });
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'1025'"));
    EXPECT_EQ(SendMessageA(a.hwnd(), kMsgA, 1, 2), Recorder::kResult);
    EXPECT_TRUE(gFn_Engine().g_EventsStarted);
    EXPECT_EQ(a.proc(), gFn_CallProc);
    EXPECT_EQ(Recorder::Only({kMsgA}).size(), 1u);
}

TEST_F(EngineTest, FailureOnTheRawWindowEndsTheSessionEvenInsideTheEnvironment) {
    TestWindow raw;
    gFn_Engine().g_InDevEnv = true;
    gFn_Engine().g_TargetHandle = raw.handle();
    ASSERT_TRUE(Capture({}, L"'1025'"));
    gFn_Engine().g_CallbackCtl.Reset(); // the control has gone
    EXPECT_EQ(SendMessageA(raw.hwnd(), kMsgA, 0, 0), Recorder::kResult);
    EXPECT_FALSE(gFn_Engine().g_EventsStarted);
    EXPECT_NE(raw.proc(), gFn_CallProcHandle);
}

TEST_F(EngineTest, StoppingInsideTheHandlerStillDeliversTheMessage) {
    TestWindow a, raw;
    const WNDPROC original = a.proc();
    gFn_Engine().g_TargetHandle = raw.handle();
    control_.onEvent = [](LONG_PTR&, LONG&, LONG_PTR& wp, LONG_PTR&) {
        gFn_SubClassOff();
        wp = 99;
        return false;
    };
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'1025'"));
    EXPECT_EQ(SendMessageA(a.hwnd(), kMsgA, 1, 2), Recorder::kResult);
    EXPECT_EQ(Recorder::Only({kMsgA}), (std::vector<Seen>{{a.hwnd(), kMsgA, 99, 2}}));
    EXPECT_EQ(a.proc(), original);

    // The same for the raw window.
    Recorder::log.clear();
    ASSERT_TRUE(Capture({}, L"'1025'"));
    EXPECT_EQ(SendMessageA(raw.hwnd(), kMsgA, 1, 2), Recorder::kResult);
    EXPECT_EQ(Recorder::Only({kMsgA}), (std::vector<Seen>{{raw.hwnd(), kMsgA, 99, 2}}));
}

namespace {
LRESULT CALLBACK FailingLastErrorProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    const LRESULT r = Recorder::Proc(h, m, w, l);
    if (m == kMsgA) SetLastError(0xFFFFFFFF);
    return r;
}
} // namespace

TEST_F(EngineTest, LastErrorOfAllBitsEndsTheSessionWithoutPassingTwice) {
    TestWindow a;
    SetWindowLongPtrA(a.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FailingLastErrorProc));
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'1026'"));
    SendMessageA(a.hwnd(), kMsgB, 0, 0);
    EXPECT_TRUE(gFn_Engine().g_EventsStarted);
    EXPECT_EQ(SendMessageA(a.hwnd(), kMsgA, 0, 0), Recorder::kResult);
    EXPECT_EQ(Recorder::Only({kMsgA}).size(), 1u);
    EXPECT_FALSE(gFn_Engine().g_EventsStarted);
    EXPECT_EQ(a.proc(), FailingLastErrorProc);
}

// A handler that passed the message on and then failed: the sender gets the
// answer, the window has had the message once, and the -1 the window's
// procedure left ends the capture as CallOriginal returns.
TEST_F(EngineTest, AfterCallOriginalAFailedDeliveryAnswersWithoutPassingAgain) {
    TestWindow a;
    SetWindowLongPtrA(a.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FailingLastErrorProc));
    bool startedAfterCall = true;
    control_.object().Define(L"DoGetEvents", [&](WORD, DISPPARAMS*, VARIANT*, EXCEPINFO* ei) -> HRESULT {
        Delivery* const d = gFn_CurrentMessage();
        if (!d) return E_UNEXPECTED;
        EXPECT_EQ(gFn_CallOriginal(*d, kMsgA, 5, 6), Recorder::kResult);
        startedAfterCall = gFn_Engine().g_EventsStarted;
        d->returnValue += 1;
        return AutoObject::Raise(ei, 5, L"handler failed");
    });
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'1025'"));
    EXPECT_EQ(SendMessageA(a.hwnd(), kMsgA, 1, 2), Recorder::kResult + 1);
    EXPECT_EQ(Recorder::Only({kMsgA}), (std::vector<Seen>{{a.hwnd(), kMsgA, 5, 6}}));
    EXPECT_FALSE(startedAfterCall);
    EXPECT_FALSE(gFn_Engine().g_EventsStarted);
    EXPECT_EQ(gFn_CurrentMessage(), nullptr);
}

TEST_F(EngineTest, NestedMessagesAreHandledInOrderEachWithItsOwnValues) {
    TestWindow a;
    // The handler of A sends B to the same window: B is delivered whole
    // before A goes on, and A keeps its own values.
    control_.onEvent = [&a](LONG_PTR&, LONG& msg, LONG_PTR&, LONG_PTR&) {
        Recorder::log.push_back({a.hwnd(), 0xBEEF0000u | static_cast<UINT>(msg), 0, 0});
        if (msg == static_cast<LONG>(kMsgA)) SendMessageA(a.hwnd(), kMsgB, 20, 21);
        return false;
    };
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'1025','1026'"));
    SendMessageA(a.hwnd(), kMsgA, 10, 11);
    ExpectSequence(Recorder::log, a.hwnd(), kNestedSend);
}

TEST_F(EngineTest, PostedMessagesAreCapturedFromTheMessageLoop) {
    TestWindow a;
    ASSERT_TRUE(Capture({{L"Text1", a.hwnd()}}, L"'1025'"));
    PostMessageA(a.hwnd(), kMsgA, 5, 6);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    ASSERT_EQ(control_.events.size(), 1u);
    EXPECT_EQ(control_.events[0], (Seen{a.hwnd(), kMsgA, 5, 6}));
}
