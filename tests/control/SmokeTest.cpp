#include "KestrixFixture.h"

using namespace kxtest;
using kxhost::Arg;
using kxhost::EventArgs;

TEST_F(KestrixTest, LoadsWithDefaultsCapturesAndCancels) {
    try {
        auto& f = Load(L"        Bag targetcontrols = \"Form1,Command1,List1\"\n");
        EXPECT_EQ(K().Call(L"TargetControls").AsString(), L"Form1,Command1,List1");
        EXPECT_EQ(K().Call(L"TargetEvents").AsString(), L"ALL");
        EXPECT_EQ(K().Call(L"DebugFile").AsString(), L"Kestrix1.Dbg");
        EXPECT_EQ(K().Call(L"LinkName").AsString(), L"Kestrix");
        EXPECT_TRUE(K().Call(L"FileDropMode").AsBool());

        std::vector<LONG> seen;
        f.On(L"Kestrix1", L"GetEvents", [&](EventArgs& a) {
            seen.push_back(a.Long(1));
            if (a.Long(1) == WM_USER + 7) a.SetBool(4, true);
            if (a.Long(1) == WM_USER + 8) a.SetLong(2, 4242);
        });
        K().Call(L"EventsStart");
        EXPECT_TRUE(K().Call(L"IsEventsStart").AsBool());
        HWND list = Hwnd(L"List1");
        EXPECT_EQ(SendMessageA(list, WM_USER + 7, 0, 0), 0);
        EXPECT_FALSE(seen.empty());
        K().Call(L"EventsStop");
        EXPECT_FALSE(K().Call(L"IsEventsStart").AsBool());
        DeleteFileA("Kestrix1.Dbg");
    } catch (const kx::RaisedError& e) {
        std::string d;
        for (wchar_t ch : e.error().description) d += ch < 128 ? char(ch) : '?';
        FAIL() << "raised " << e.error().number << " " << std::hex << e.error().hr << " " << d;
    }
}
