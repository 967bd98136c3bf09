// A watched window that another subclasser hooks too, before or after the
// capture, and that removes itself the plain way: by putting back the
// procedure it saved, whatever the window runs now.
#include "EngineFixture.h"
#include "OtherSubclasser.h"
#include <memory>
#include <utility>

using namespace kxtest;

namespace {

constexpr UINT kProbe = WM_USER + 7;

class SubclasserTest : public EngineTest {
protected:
    // One probe message: what it returned, and who saw it how often.
    struct Trip {
        LRESULT result;
        size_t callbacks, other, window;
    };
    Trip Send(HWND h, OtherSubclasser* other) {
        const size_t events = control_.events.size(), logged = Recorder::Only({kProbe}).size();
        const int before = other ? other->seen : 0;
        const LRESULT r = SendMessageA(h, kProbe, 1, 2);
        return {r, control_.events.size() - events, other ? static_cast<size_t>(other->seen - before) : 0,
                Recorder::Only({kProbe}).size() - logged};
    }
    bool SetsText(HWND h) {
        char text[16] = {};
        return SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("changed")) &&
            GetWindowTextA(h, text, sizeof text) && std::string(text) == "changed";
    }
    bool Start(HWND h, bool raw) {
        gFn_Engine().g_TargetHandle = raw ? reinterpret_cast<LONG_PTR>(h) : 0;
        return raw ? Capture({}, L"ALL") : Capture({{L"Text1", h}}, L"ALL");
    }
};

#define EXPECT_TRIP(trip, cb, oth, win)                                                                  \
    do {                                                                                                 \
        const auto t_ = (trip);                                                                          \
        EXPECT_EQ(t_.result, Recorder::kResult);                                                         \
        EXPECT_EQ(t_.callbacks, static_cast<size_t>(cb)) << "GetEvents calls";                           \
        EXPECT_EQ(t_.other, static_cast<size_t>(oth)) << "messages through the other subclasser";        \
        EXPECT_EQ(t_.window, static_cast<size_t>(win)) << "messages through the window's own procedure"; \
    } while (0)

} // namespace

// Every order of hooking and removing, for a target control and the raw
// window: each message reaches every procedure still in the chain once,
// the capture calls back only while it runs, and the window ends with its
// own procedure.
TEST_F(SubclasserTest, EveryOrderOfHookingAndRemovingLeavesAWorkingWindow) {
    struct Case {
        bool raw, otherFirst, otherGoesWhileCapturing;
    };
    for (const Case c :
         {Case{false, false, false}, Case{false, false, true}, Case{false, true, false}, Case{false, true, true},
          Case{true, false, false}, Case{true, false, true}, Case{true, true, false}, Case{true, true, true}}) {
        SCOPED_TRACE(testing::Message() << "raw " << c.raw << ", other first " << c.otherFirst
                                        << ", other goes while capturing " << c.otherGoesWhileCapturing);
        TestWindow w;
        const WNDPROC original = w.proc();
        std::unique_ptr<OtherSubclasser> other;
        if (c.otherFirst) other = std::make_unique<OtherSubclasser>(w.hwnd(), kProbe);
        ASSERT_TRUE(Start(w.hwnd(), c.raw));
        if (!c.otherFirst) other = std::make_unique<OtherSubclasser>(w.hwnd(), kProbe);
        EXPECT_TRIP(Send(w.hwnd(), other.get()), 1, 1, 1);

        if (c.otherGoesWhileCapturing) {
            other->Remove();
            // Removed from above us it gives us back the window; from below,
            // it cuts us off with the procedure it saved.
            EXPECT_TRIP(Send(w.hwnd(), nullptr), c.otherFirst ? 0 : 1, 0, 1);
        }
        gFn_SubClassOff();
        EXPECT_TRIP(Send(w.hwnd(), other.get()), 0, c.otherGoesWhileCapturing ? 0 : 1, 1);
        EXPECT_TRUE(SetsText(w.hwnd()));
        other.reset();
        EXPECT_TRIP(Send(w.hwnd(), nullptr), 0, 0, 1);
        EXPECT_EQ(w.proc(), original) << "the window was not handed back its own procedure";
        gFn_SubClassOff();
    }
}

TEST_F(SubclasserTest, AWindowLeftHookedBelowAnotherIsCapturedOnceByTheNextSession) {
    for (const bool raw : {false, true}) {
        SCOPED_TRACE(raw ? "raw window" : "target control");
        TestWindow w;
        const WNDPROC original = w.proc();
        ASSERT_TRUE(Start(w.hwnd(), raw));
        OtherSubclasser other(w.hwnd(), kProbe);
        gFn_SubClassOff();
        EXPECT_TRUE(gFn_LeftoversRemain()) << "a live window still calls our procedure";

        ASSERT_TRUE(Start(w.hwnd(), raw));
        EXPECT_TRIP(Send(w.hwnd(), &other), 1, 1, 1);
        gFn_SubClassOff();
        EXPECT_TRIP(Send(w.hwnd(), &other), 0, 1, 1);

        other.Remove();
        EXPECT_TRIP(Send(w.hwnd(), nullptr), 0, 0, 1);
        EXPECT_EQ(w.proc(), original);
        EXPECT_FALSE(gFn_LeftoversRemain());
    }
}

TEST_F(SubclasserTest, ALeftoverIsHandedBackByTheNextRemovalOrForgottenWithItsWindow) {
    TestWindow w;
    const WNDPROC original = w.proc();
    ASSERT_TRUE(Start(w.hwnd(), false));
    auto other = std::make_unique<OtherSubclasser>(w.hwnd(), kProbe);
    gFn_SubClassOff();
    other.reset(); // our procedure is on top again, and no message has come
    gFn_SubClassOff();
    EXPECT_EQ(w.proc(), original);
    EXPECT_FALSE(gFn_LeftoversRemain());

    // A window destroyed while the other subclasser still sits above us.
    auto gone = std::make_unique<TestWindow>();
    ASSERT_TRUE(Start(gone->hwnd(), true));
    auto above = std::make_unique<OtherSubclasser>(gone->hwnd(), kProbe);
    gFn_SubClassOff();
    EXPECT_TRUE(gFn_LeftoversRemain());
    gone.reset();
    EXPECT_FALSE(gFn_LeftoversRemain()) << "a destroyed window still keeps the library";
}
