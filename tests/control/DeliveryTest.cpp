// Captured messages as GetEvents: which messages are watched, a handler's
// Cancel and changed values as the window's previous procedure receives
// them, the window's answer coming back, nested deliveries, GetEventName.
#include "KestrixFixture.h"
#include "WindowRecorder.h"

using namespace kxtest;
using kxhost::EventArgs;

namespace {

constexpr UINT kPlain = WM_USER + 8; // no window here answers it
constexpr UINT kCancel = WM_USER + 7; // the handlers below cancel it
constexpr UINT kChange = WM_USER + 9; // the handlers below change it

struct Event {
    std::wstring source;
    LONG msg;
    LONG_PTR wp, lp;
    bool operator==(const Event& o) const { return source == o.source && msg == o.msg && wp == o.wp && lp == o.lp; }
};

class DeliveryTest : public KestrixTest {
protected:
    // Loads the form capturing Form1, Command1 and List1 with the given
    // events; every GetEvents is noted in events_.
    void LoadCapturing(const std::wstring& targetEvents) {
        auto& f = Load(L"        Bag targetcontrols = \"Form1,Command1,List1\"\n        Bag targetevents = \"" +
                       targetEvents + L"\"\n        Bag debugmode = False\n");
        f.On(L"Kestrix1", L"GetEvents", [this](EventArgs& a) {
            events_.push_back({a.Obj(0).Call(L"Name").AsString(), a.Long(1), a.LongPtr(2), a.LongPtr(3)});
            if (extra_) extra_(a);
        });
    }
    void Start() {
        K().Call(L"EventsStart");
        ASSERT_TRUE(K().Call(L"IsEventsStart").AsBool());
    }
    std::vector<Event> events_;
    std::function<void(EventArgs&)> extra_;
};

} // namespace

TEST_F(DeliveryTest, OnlyListedMessagesOfTargetWindowsAreDelivered) {
    LoadCapturing(L"'513','1032'");
    Start();
    SendMessageA(Hwnd(L"Command1"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 5));
    SendMessageA(Hwnd(L"Command1"), WM_LBUTTONUP, 0, MAKELPARAM(3, 5));
    SendMessageA(Hwnd(L"List1"), kPlain, 11, -12);
    SendMessageA(Hwnd(L"Text1"), kPlain, 0, 0); // no target
    EXPECT_EQ(events_,
              (std::vector<Event>{{L"Command1", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 5)},
                                  {L"List1", static_cast<LONG>(kPlain), 11, -12}}));
}

TEST_F(DeliveryTest, AllWatchesEveryMessageAndOnlyInCapitals) {
    LoadCapturing(L"ALL");
    Start();
    SendMessageA(Hwnd(L"Command1"), WM_NCHITTEST, 0, 0);
    SendMessageA(Hwnd(L"Command1"), WM_SETCURSOR, 0, 0);
    SendMessageA(Hwnd(L"Form1"), kPlain, 1, 2);
    ASSERT_GE(events_.size(), 3u);
    EXPECT_EQ(events_[0].msg, WM_NCHITTEST);
    EXPECT_NE(std::find(events_.begin(), events_.end(), Event{L"Command1", WM_SETCURSOR, 0, 0}), events_.end());
    EXPECT_NE(std::find(events_.begin(), events_.end(), Event{L"Form1", static_cast<LONG>(kPlain), 1, 2}),
              events_.end());
    K().Call(L"EventsStop");

    // Restored as saved, "all" in lower case watches nothing at all.
    events_.clear();
    LoadCapturing(L"all");
    Start();
    SendMessageA(Hwnd(L"Command1"), kPlain, 0, 0);
    SendMessageA(Hwnd(L"Command1"), WM_NCHITTEST, 0, 0);
    EXPECT_TRUE(events_.empty());
}

TEST_F(DeliveryTest, CancelSwallowsTheMessageAndChangesReachThePreviousProcedure) {
    LoadCapturing(L"ALL");
    WindowRecorder command(Hwnd(L"Command1"));
    extra_ = [](EventArgs& a) {
        if (a.Long(1) == static_cast<LONG>(kCancel)) a.SetBool(4, true);
        if (a.Long(1) == static_cast<LONG>(kChange)) {
            a.SetLong(1, static_cast<LONG>(kPlain));
            a.SetLong(2, 4242);
            a.SetLong(3, -7);
        }
    };
    Start();
    EXPECT_EQ(SendMessageA(Hwnd(L"Command1"), kCancel, 1, 2), 0);
    SendMessageA(Hwnd(L"Command1"), kChange, 1, 2);
    EXPECT_TRUE(command.Seen(kCancel).empty()) << "a cancelled message reached the window";
    EXPECT_TRUE(command.Seen(kChange).empty());
    const auto changed = command.Seen(kPlain);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].wp, 4242u);
    EXPECT_EQ(static_cast<LONG>(changed[0].lp), -7);
    K().Call(L"EventsStop");
    EXPECT_TRUE(command.Installed());
}

#ifdef _WIN64
// In a 64-bit process the parameters are 64 bits wide the whole way: the
// handler gets them whole, and what it sets is what the window receives.
TEST_F(DeliveryTest, ParametersBeyond32BitsArriveAndChangeWhole) {
    constexpr LONG_PTR kBig = 0x123456789AB, kNegative = -0x500000001;
    LoadCapturing(L"ALL");
    WindowRecorder command(Hwnd(L"Command1"));
    extra_ = [](EventArgs& a) {
        if (a.Long(1) != static_cast<LONG>(kChange)) return;
        a.SetLongPtr(2, kBig + 1);
        a.SetLongPtr(3, kNegative - 1);
    };
    Start();
    SendMessageA(Hwnd(L"Command1"), kPlain, kBig, kNegative);
    SendMessageA(Hwnd(L"Command1"), kChange, 1, 2);
    EXPECT_NE(std::find(events_.begin(), events_.end(), Event{L"Command1", static_cast<LONG>(kPlain), kBig, kNegative}),
              events_.end());
    const auto plain = command.Seen(kPlain), changed = command.Seen(kChange);
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(static_cast<LONG_PTR>(plain[0].wp), kBig);
    EXPECT_EQ(plain[0].lp, kNegative);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(static_cast<LONG_PTR>(changed[0].wp), kBig + 1);
    EXPECT_EQ(changed[0].lp, kNegative - 1);
}
#endif

TEST_F(DeliveryTest, TheWindowsOwnAnswerComesBack) {
    LoadCapturing(L"ALL");
    form_->Ctl(L"List1").Call(L"AddItem", {L"one"});
    form_->Ctl(L"List1").Call(L"AddItem", {L"two"});
    Start();
    EXPECT_EQ(SendMessageA(Hwnd(L"List1"), LB_GETCOUNT, 0, 0), 2);
    char text[16] = {};
    EXPECT_EQ(SendMessageA(Hwnd(L"List1"), LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)), 3);
    EXPECT_STREQ(text, "two");
    EXPECT_NE(std::find(events_.begin(), events_.end(), Event{L"List1", LB_GETCOUNT, 0, 0}), events_.end());
}

TEST_F(DeliveryTest, NestedDeliveriesKeepTheirOwnValues) {
    LoadCapturing(L"'1032','1033'");
    WindowRecorder list(Hwnd(L"List1"));
    extra_ = [this](EventArgs& a) {
        if (a.Long(1) == static_cast<LONG>(kPlain)) {
            // The handler itself sends a watched message, changed on its way.
            SendMessageA(Hwnd(L"List1"), kPlain + 1, 77, 88);
            a.SetLong(2, a.Long(2) + 1);
        } else {
            a.SetLong(2, 99);
        }
    };
    Start();
    SendMessageA(Hwnd(L"Command1"), kPlain, 10, 20);
    EXPECT_EQ(events_,
              (std::vector<Event>{{L"Command1", static_cast<LONG>(kPlain), 10, 20},
                                  {L"List1", static_cast<LONG>(kPlain + 1), 77, 88}}));
    const auto inner = list.Seen(kPlain + 1);
    ASSERT_EQ(inner.size(), 1u);
    EXPECT_EQ(inner[0].wp, 99u);
}

TEST_F(DeliveryTest, AHandlerThatStopsTheCaptureStillLetsItsMessageThrough) {
    LoadCapturing(L"ALL");
    WindowRecorder command(Hwnd(L"Command1"));
    extra_ = [this](EventArgs& a) {
        if (a.Long(1) == static_cast<LONG>(kPlain)) K().Call(L"EventsStop");
    };
    Start();
    SendMessageA(Hwnd(L"Command1"), kPlain, 5, 6);
    EXPECT_FALSE(K().Call(L"IsEventsStart").AsBool());
    EXPECT_TRUE(command.Installed());
    ASSERT_EQ(command.Seen(kPlain).size(), 1u);
    EXPECT_EQ(command.Seen(kPlain)[0].wp, 5u);
}

TEST_F(DeliveryTest, GetEventNameNamesCatalogueMessagesAndNothingElse) {
    Load(L"        Bag debugmode = False\n");
    const struct {
        LONG value;
        const wchar_t* name;
    } names[] = {
        {563, L"WM_DROPFILES"},
        {513, L"WM_LBUTTONDOWN"},
        {15, L"WM_PAINT"},
        {1, L"WM_CREATE"},
        {99999, L""},
        {-1, L""},
        {1032, L""},
    };
    for (const auto& n : names) EXPECT_EQ(K().Call(L"GetEventName", {n.value}).AsString(), n.name) << n.value;
}
