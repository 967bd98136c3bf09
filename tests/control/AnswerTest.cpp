// A handler answers the message it handles: what SendMessage returns for a
// swallowed message with and without ReturnValue, CallOriginal reaching the
// window's procedure once with the values given, nested messages and a
// DoGetEvents that code calls each with their own answer, a drop passed on
// from the handler, and both members used outside a handler.
#include "DropFiles.h"
#include "KestrixFixture.h"
#include "WindowRecorder.h"

using namespace kxtest;
using kxhost::EventArgs;
using kxhost::Var;

namespace {

constexpr UINT kPlain = WM_USER + 8; // the window's own procedure answers 0
constexpr UINT kOuter = WM_USER + 10;
constexpr UINT kInner = WM_USER + 11;
constexpr UINT kByCode = WM_USER + 12;
const std::wstring kNoMessage = L"GetEvents ｲﾍﾞﾝﾄの外では ReturnValue ﾌﾟﾛﾊﾟﾃｨと CallOriginal ﾒｿｯﾄﾞは使用できません";

class AnswerTest : public KestrixTest {
protected:
    // Captures Form1, Command1 and List1 with every message watched; the
    // handler for this window and message runs on each GetEvents.
    void Capture(std::function<void(EventArgs&)> handler, const std::wstring& bag = L"") {
        auto& f = Load(L"        Bag targetcontrols = \"Form1,Command1,List1\"\n        Bag targetevents = \"ALL\"\n"
                       L"        Bag debugmode = False\n" +
                       bag);
        handler_ = std::move(handler);
        f.On(L"Kestrix1", L"GetEvents", [this](EventArgs& a) {
            if (handler_) handler_(a);
        });
        // In front of the windows before the capture: they see what it passes on.
        command_ = std::make_unique<WindowRecorder>(Hwnd(L"Command1"));
        list_ = std::make_unique<WindowRecorder>(Hwnd(L"List1"));
        K().Call(L"EventsStart");
        ASSERT_TRUE(K().Call(L"IsEventsStart").AsBool());
    }
    LONG_PTR ReturnValue() const { return K().Call(L"ReturnValue").AsLongPtr(); }
    void SetReturnValue(LONG_PTR v) const { K().Let(L"ReturnValue", Var::LongPtr(v)); }
    LONG_PTR CallOriginal(LONG msg, LONG_PTR wp, LONG_PTR lp) const {
        return K().Call(L"CallOriginal", {msg, Var::LongPtr(wp), Var::LongPtr(lp)}).AsLongPtr();
    }

    std::function<void(EventArgs&)> handler_;
    std::unique_ptr<WindowRecorder> command_, list_;
};

} // namespace

TEST_F(AnswerTest, WhatTheSenderGetsFollowsCancelReturnValueAndCallOriginal) {
    // The list holds two items: its own answer to LB_GETCOUNT is 2.
    const struct {
        const char* what;
        bool cancel;
        bool setValue; // ReturnValue = 77 before the handler returns
        bool callOriginal;
        LRESULT answer;
        size_t reachedWindow;
    } rows[] = {
        {"passed on", false, false, false, 2, 1},
        {"passed on, ReturnValue ignored", false, true, false, 2, 1},
        {"swallowed: 0 as before", true, false, false, 0, 0},
        {"swallowed with ReturnValue", true, true, false, 77, 0},
        {"CallOriginal: its answer, once", false, false, true, 2, 1},
        {"CallOriginal, answer changed after it", false, true, true, 77, 1},
        {"CallOriginal and Cancel", true, false, true, 2, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        LONG_PTR seenBefore = -1, calledAnswer = -1;
        Capture([&](EventArgs& a) {
            if (a.Long(1) != LB_GETCOUNT) return;
            seenBefore = ReturnValue(); // each message starts at 0
            if (row.callOriginal) {
                calledAnswer = CallOriginal(LB_GETCOUNT, 0, 0);
                // Changed after the call: the window is not asked again.
                a.SetLong(1, static_cast<LONG>(kPlain));
            }
            if (row.setValue) SetReturnValue(77);
            if (row.cancel) a.SetBool(4, true);
        });
        form_->Ctl(L"List1").Call(L"AddItem", {L"one"});
        form_->Ctl(L"List1").Call(L"AddItem", {L"two"});
        list_->Clear();
        EXPECT_EQ(SendMessageA(Hwnd(L"List1"), LB_GETCOUNT, 0, 0), row.answer);
        EXPECT_EQ(seenBefore, 0);
        if (row.callOriginal) EXPECT_EQ(calledAnswer, 2);
        EXPECT_EQ(list_->Seen(LB_GETCOUNT).size(), row.reachedWindow);
        EXPECT_TRUE(list_->Seen(kPlain).empty());
        K().Call(L"EventsStop");
    }
}

TEST_F(AnswerTest, CallOriginalPassesExactlyTheValuesGivenAndSetsReturnValue) {
    LONG_PTR afterCall = 0;
    Capture([&](EventArgs& a) {
        if (a.Long(1) != static_cast<LONG>(kOuter)) return;
        CallOriginal(static_cast<LONG>(kPlain), 7, -8);
        afterCall = ReturnValue();
    });
    EXPECT_EQ(SendMessageA(Hwnd(L"Command1"), kOuter, 1, 2), 0);
    EXPECT_TRUE(command_->Seen(kOuter).empty());
    const auto seen = command_->Seen(kPlain);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].wp, 7u);
    EXPECT_EQ(static_cast<LONG_PTR>(seen[0].lp), -8);
    // The window's answer to kPlain is 0, which ReturnValue now holds.
    EXPECT_EQ(afterCall, 0);
}

// A message sent from inside a handler has its own answer; a DoGetEvents
// that code calls has none, and leaves the real message's answer as it is.
TEST_F(AnswerTest, NestedMessagesAndDoGetEventsCalledByCodeKeepTheirOwnAnswers) {
    LRESULT innerAnswer = -1;
    LONG_PTR outerAfterInner = -1, byCodeValue = -1, outerAfterByCode = -1;
    std::optional<kx::AutomationError> byCodeSet, byCodeCall;
    Capture([&](EventArgs& a) {
        const LONG msg = a.Long(1);
        if (msg == static_cast<LONG>(kOuter)) {
            SetReturnValue(1);
            innerAnswer = SendMessageA(Hwnd(L"List1"), kInner, 0, 0);
            outerAfterInner = ReturnValue();
            LONG_PTR h = reinterpret_cast<LONG_PTR>(Hwnd(L"Command1"));
            LONG code = static_cast<LONG>(kByCode);
            LONG_PTR wp = 0, lp = 0;
            K().Call(L"DoGetEvents", {Var::LongPtr(h), code, Var::LongPtr(wp), Var::LongPtr(lp)});
            outerAfterByCode = ReturnValue();
            a.SetBool(4, true);
        } else if (msg == static_cast<LONG>(kInner)) {
            SetReturnValue(2);
            a.SetBool(4, true);
        } else if (msg == static_cast<LONG>(kByCode)) {
            byCodeValue = ReturnValue();
            byCodeSet = RaisedBy([&] { SetReturnValue(3); });
            byCodeCall = RaisedBy([&] { CallOriginal(static_cast<LONG>(kPlain), 0, 0); });
        }
    });
    EXPECT_EQ(SendMessageA(Hwnd(L"Command1"), kOuter, 0, 0), 1);
    EXPECT_EQ(innerAnswer, 2);
    EXPECT_EQ(outerAfterInner, 1);
    EXPECT_EQ(byCodeValue, 0);
    ExpectOwnError(byCodeSet, 10021, kNoMessage);
    ExpectOwnError(byCodeCall, 10021, kNoMessage);
    EXPECT_EQ(outerAfterByCode, 1);
    EXPECT_TRUE(command_->Seen(kPlain).empty()) << "CallOriginal with no message passed something on";
}

TEST_F(AnswerTest, OutsideAHandlerReturnValueReadsZeroAndBothMistakesAreReported) {
    Capture(nullptr);
    EXPECT_EQ(ReturnValue(), 0);
    ExpectOwnError(RaisedBy([&] { SetReturnValue(5); }), 10021, kNoMessage);
    ExpectOwnError(RaisedBy([&] { CallOriginal(static_cast<LONG>(kPlain), 0, 0); }), 10021, kNoMessage);
    EXPECT_TRUE(command_->Seen(kPlain).empty());
}

// The drop's files are read as it came; a handler that passes it on makes
// it reach the window once, and FileDrop still lists the files.
TEST_F(AnswerTest, ADropPassedOnFromGetEventsReachesTheWindowOnceAndStillListsItsFiles) {
    std::vector<std::wstring> files;
    Capture([&](EventArgs& a) {
        if (a.Long(1) != WM_DROPFILES) return;
        CallOriginal(WM_DROPFILES, a.LongPtr(2), a.LongPtr(3));
        a.SetLongPtr(2, 0); // changed after: neither the drop's files nor its window see it
        a.SetLong(1, static_cast<LONG>(kPlain));
    });
    form_->On(L"Kestrix1", L"FileDrop", [&](EventArgs& a) { files = a.Strings(1); });
    kx::UniqueHglobal drop = MakeDrop(std::vector<std::string>{"C:\\data\\one.txt", "D:\\two"});
    SendMessageA(Hwnd(L"Command1"), WM_DROPFILES, reinterpret_cast<WPARAM>(drop.get()), 0);
    EXPECT_EQ(files, (std::vector<std::wstring>{L"C:\\data\\one.txt", L"D:\\two"}));
    const auto seen = command_->Seen(WM_DROPFILES);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].wp, reinterpret_cast<WPARAM>(drop.get()));
    EXPECT_TRUE(command_->Seen(kPlain).empty());
}

#ifdef _WIN64
TEST_F(AnswerTest, AnAnswerBeyond32BitsComesBackWhole) {
    constexpr LONG_PTR kBig = 0x123456789AB;
    Capture([&](EventArgs& a) {
        if (a.Long(1) != static_cast<LONG>(kOuter)) return;
        SetReturnValue(kBig);
        a.SetBool(4, true);
    });
    EXPECT_EQ(SendMessageA(Hwnd(L"Command1"), kOuter, 0, 0), kBig);
}
#endif
