// The link between programs: a Kestrix control in this test program sends,
// KxLinkPeer.exe programs (and forms of this program) receive.
#include <gtest/gtest.h>
#include <map>
#include <memory>

#include "DemoSupport.h"
#include "Form.h"
#include "LateBound.h"
#include "Runtime.h"

using namespace kxtest;
using kxhost::Arg;
using kxhost::Object;

namespace {

struct Peer {
    ChildProgram program;
    std::wstring file;
    HWND window = nullptr;
    std::vector<std::wstring> records() const { return ReadRecords(file); }
};

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(RegisterOcx()) << "Kestrix.OCX could not be registered";
        rt_ = std::make_unique<kxhost::Runtime>(kxhost::Mode::Run, L"LinkTest");
        rt_->SetUnhandledErrorPolicy([this](const kx::AutomationError& e) { unhandled_.push_back(e); });
    }
    void TearDown() override {
        peers_.clear();
        forms_.clear();
        rt_.reset();
        EXPECT_TRUE(unhandled_.empty()) << "a handler raised " << unhandled_.front().number;
    }

    // A form of this program holding Kestrix1 with the given link name (empty: the default).
    kxhost::Form& LoadForm(const std::wstring& name, const std::wstring& linkName = L"") {
        std::wstring text = L"Form " + name + L"\n    Caption = \"" + name +
            L"\"\n"
            L"    Begin Control Kestrix1 \"Kestrix32.Kestrix\"\n        Left = 0\n        Top = 0\n";
        if (!linkName.empty()) text += L"        Bag linkname = \"" + linkName + L"\"\n";
        text += L"    End\nEnd\n";
        forms_.push_back(kxhost::Form::Create(*rt_, kxhost::ParseForm(text, name)));
        kxhost::Form& f = *forms_.back();
        f.On(L"Kestrix1", L"LinkReceive",
             [this, &f](kxhost::EventArgs& a) { received_[f.Name()].push_back(a.String(0)); });
        return f;
    }

    // Another program holding a receiving control ("-": the default link name).
    Peer& StartPeer(const std::wstring& mode, const std::wstring& caption, const std::wstring& linkName) {
        auto p = std::make_unique<Peer>();
        p->file = FreshFile(caption + L".rec");
        const std::wstring args = mode + L" \"" + caption + L"\" " + linkName + L" \"" + p->file + L"\"";
        EXPECT_TRUE(p->program.Start(ExeDir() + L"KxLinkPeer.exe", args)) << "KxLinkPeer.exe did not start";
        p->window = p->program.WaitWindow(caption, linkName == L"-" ? L"Kestrix" : linkName);
        EXPECT_NE(p->window, nullptr) << "no receiver window from " << Utf8(caption);
        peers_.push_back(std::move(p));
        return *peers_.back();
    }

    static bool Send(kxhost::Form& f, std::wstring& name, const std::wstring& data) {
        std::wstring d = data;
        return f.Ctl(L"Kestrix1").Call(L"LinkSend", {Arg::Ref(name), Arg::Ref(d)}).AsBool();
    }
    static bool Send(kxhost::Form& f, const std::wstring& name, const std::wstring& data) {
        std::wstring n = name;
        return Send(f, n, data);
    }
    static HWND KestrixWindow(kxhost::Form& f) {
        return reinterpret_cast<HWND>(static_cast<LONG_PTR>(f.Ctl(L"Kestrix1").Call(L"hwnd").AsLong()));
    }

    std::unique_ptr<kxhost::Runtime> rt_;
    std::vector<std::unique_ptr<kxhost::Form>> forms_;
    std::vector<std::unique_ptr<Peer>> peers_;
    std::map<std::wstring, std::vector<std::wstring>> received_;
    std::vector<kx::AutomationError> unhandled_;
};

TEST_F(LinkTest, TextArrivesInTheOtherProgramWhichThenShowsItsNameAgain) {
    kxhost::Form& sender = LoadForm(L"SendForm");
    Peer& peer = StartPeer(L"receive", L"KxPeer Alpha", L"KxLinkAlpha");
    EXPECT_TRUE(Send(sender, L"KxLinkAlpha", L"abc"));
    EXPECT_EQ(peer.records(), std::vector<std::wstring>{L"abc"});
    EXPECT_NE(FindWindowExA(peer.window, nullptr, nullptr, "KxLinkAlpha"), nullptr) << "link name not put back";

    // The link name is found without regard to case; each text replaces the last.
    EXPECT_TRUE(Send(sender, L"kxlinkALPHA", L"second"));
    EXPECT_EQ(peer.records(), (std::vector<std::wstring>{L"abc", L"second"}));
    EXPECT_NE(FindWindowExA(peer.window, nullptr, nullptr, "KxLinkAlpha"), nullptr);
}

TEST_F(LinkTest, EveryReceiverGetsItButTheSendersOwnFormIsSkipped) {
    kxhost::Form& sender = LoadForm(L"SendForm", L"KxLinkBoth");
    Peer& one = StartPeer(L"receive", L"KxPeer One", L"KxLinkBoth");
    Peer& two = StartPeer(L"receive", L"KxPeer Two", L"KxLinkBoth");
    EXPECT_TRUE(Send(sender, L"KxLinkBoth", L"to both"));
    EXPECT_EQ(one.records(), std::vector<std::wstring>{L"to both"});
    EXPECT_EQ(two.records(), std::vector<std::wstring>{L"to both"});
    EXPECT_TRUE(received_[L"SendForm"].empty()) << "the sender's own control received its text";
}

TEST_F(LinkTest, JapaneseAndLongTextsArriveWhole) {
    kxhost::Form& sender = LoadForm(L"SendForm");
    Peer& peer = StartPeer(L"receive", L"KxPeer Long", L"KxLinkLong");
    const std::wstring japanese = L"早くDemlet1にファイルをドロップしてや！待ってんで．．．ｺﾝﾄﾛｰﾙ";
    std::wstring longText;
    while (longText.size() < 400) longText += L"受信データ0123456789ﾃﾞｰﾀ,";
    // 255 and 256 bytes: the old cut fell between them.
    const std::wstring bytes255(255, L'x'), bytes256(256, L'y');
    for (const std::wstring& t : {japanese, longText, bytes255, bytes256}) EXPECT_TRUE(Send(sender, L"KxLinkLong", t));
    const std::vector<std::wstring> got = peer.records();
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(Utf8(got[0]), Utf8(japanese));
    EXPECT_EQ(got[1].size(), longText.size());
    EXPECT_EQ(Utf8(got[1]), Utf8(longText));
    EXPECT_EQ(got[2], bytes255);
    EXPECT_EQ(got[3], bytes256);
}

TEST_F(LinkTest, BlankDataRaises10017AndSendsNothing) {
    kxhost::Form& sender = LoadForm(L"SendForm");
    Peer& peer = StartPeer(L"receive", L"KxPeer Blank", L"KxLinkBlank");
    for (const wchar_t* data : {L"", L"   "}) {
        std::wstring name = L"KxLinkBlank";
        try {
            Send(sender, name, data);
            ADD_FAILURE() << "no error for blank data '" << Utf8(data) << "'";
        } catch (const kx::RaisedError& e) {
            EXPECT_EQ(e.error().number, 10017);
            EXPECT_EQ(Utf8(e.error().description), Utf8(L"LinkData は必須です"));
        }
    }
    // An empty name is made "Kestrix" before the data is looked at, and the
    // caller's variable learns it even though the send then fails.
    std::wstring name;
    EXPECT_THROW(Send(sender, name, L" "), kx::RaisedError);
    EXPECT_EQ(Utf8(name), "Kestrix");

    EXPECT_TRUE(Send(sender, L"KxLinkBlank", L"after"));
    EXPECT_EQ(peer.records(), std::vector<std::wstring>{L"after"}) << "a blank send delivered something";
}

TEST_F(LinkTest, NoReceiverGivesFalse) {
    kxhost::Form& sender = LoadForm(L"SendForm", L"KxLinkLonely");
    // Its own control carries the name, but its own form is skipped.
    EXPECT_FALSE(Send(sender, L"KxLinkLonely", L"anyone?"));
    EXPECT_FALSE(Send(sender, L"KxLinkNobodyHasThis", L"anyone?"));
    EXPECT_TRUE(received_[L"SendForm"].empty());
}

TEST_F(LinkTest, AnEmptyLinkNameVariableComesBackAsKestrix) {
    kxhost::Form& sender = LoadForm(L"SendForm", L"KxLinkSender");
    Peer& peer = StartPeer(L"receive", L"KxPeer Default", L"-");
    for (const wchar_t* blank : {L"", L"  "}) {
        std::wstring name = blank;
        EXPECT_TRUE(Send(sender, name, L"abc"));
        EXPECT_EQ(Utf8(name), "Kestrix");
    }
    EXPECT_EQ(peer.records(), (std::vector<std::wstring>{L"abc", L"abc"}));
    // A name that is not blank stays as the caller wrote it.
    std::wstring name = L" Kestrix";
    Send(sender, name, L"x");
    EXPECT_EQ(Utf8(name), " Kestrix");
}

TEST_F(LinkTest, AnotherFormOfTheSendingProgramIsReached) {
    kxhost::Form& first = LoadForm(L"FirstForm", L"KxLinkHere");
    // The form loaded last is the one whose window a send skips.
    kxhost::Form& second = LoadForm(L"SecondForm", L"KxLinkHere");
    EXPECT_TRUE(Send(second, L"KxLinkHere", L"next door"));
    EXPECT_EQ(received_[L"FirstForm"], std::vector<std::wstring>{L"next door"});
    EXPECT_TRUE(received_[L"SecondForm"].empty());
    EXPECT_NE(FindWindowExA(first.hwnd(), nullptr, nullptr, "KxLinkHere"), nullptr);
}

TEST_F(LinkTest, ASendFromInsideADeliveryLeavesTheOuterSendWhole) {
    Peer& outerPeer = StartPeer(L"receive", L"KxPeer Outer", L"KxLinkOuter");
    Peer& innerPeer = StartPeer(L"receive", L"KxPeer Inner", L"KxLinkInner");
    kxhost::Form& relay = LoadForm(L"RelayForm", L"KxLinkOuter");
    kxhost::Form& sender = LoadForm(L"SendForm", L"KxLinkOuter");
    // The relay, reached first, sends on while the outer send waits for it.
    relay.On(L"Kestrix1", L"LinkReceive", [&](kxhost::EventArgs& a) {
        received_[L"RelayForm"].push_back(a.String(0));
        Send(relay, L"KxLinkInner", L"inner");
    });
    SetWindowPos(relay.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(Send(sender, L"KxLinkOuter", L"outer"));
    EXPECT_EQ(received_[L"RelayForm"], std::vector<std::wstring>{L"outer"});
    EXPECT_EQ(innerPeer.records(), std::vector<std::wstring>{L"inner"});
    EXPECT_EQ(outerPeer.records(), std::vector<std::wstring>{L"outer"}) << "the outer send lost its name or text";
}

TEST_F(LinkTest, ADeliveryIsBoundedForAReceiverThatDoesNotAnswer) {
    kxhost::Form& sender = LoadForm(L"SendForm");
    // A program that never reads its messages is given up: no receiver reached.
    Peer& hung = StartPeer(L"hung", L"KxPeer Hung", L"KxLinkHung");
    DWORD start = GetTickCount();
    EXPECT_FALSE(Send(sender, L"KxLinkHung", L"hello?"));
    EXPECT_LT(GetTickCount() - start, 60000u) << "the sender waited for ever";
    hung.program.End();

    // One whose handler is still busy when the time is up has the text: reached.
    Peer& slow = StartPeer(L"slow", L"KxPeer Slow", L"KxLinkSlow");
    start = GetTickCount();
    EXPECT_TRUE(Send(sender, L"KxLinkSlow", L"take your time"));
    EXPECT_LT(GetTickCount() - start, 60000u);
    EXPECT_EQ(slow.records(), std::vector<std::wstring>{L"take your time"});
    // Its paint finishes later and the name comes back.
    EXPECT_TRUE(WaitFor([&] { return FindWindowExA(slow.window, nullptr, nullptr, "KxLinkSlow") != nullptr; }, 20000));
}

TEST_F(LinkTest, AnyPaintAtRunTimeRaisesTheWindowText) {
    kxhost::Form& f = LoadForm(L"PaintForm", L"KxLinkPaint");
    HWND own = KestrixWindow(f);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(GetParent(own), f.hwnd()) << "the receiver is not a direct child of its form";
    // At rest the text is the link name, which then arrives as the data.
    SendMessageA(own, WM_PAINT, 0, 0);
    EXPECT_EQ(received_[L"PaintForm"], std::vector<std::wstring>{L"KxLinkPaint"});
    // An empty text raises nothing, and the name is put back all the same.
    SetWindowTextA(own, "");
    SendMessageA(own, WM_PAINT, 0, 0);
    EXPECT_EQ(received_[L"PaintForm"].size(), 1u);
    char text[64] = {};
    GetWindowTextA(own, text, sizeof text);
    EXPECT_STREQ(text, "KxLinkPaint");
}

} // namespace
