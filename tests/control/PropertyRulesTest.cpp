// The set operations of every property at design time (a message box for
// a refusal) and at run time (a raised error), what each leaves stored, and
// the change notifications the container receives.
#include "DispIds.h"
#include "Ansi.h"
#include "KestrixFixture.h"
#include <utility>

using namespace kxtest;
using kxhost::Mode;

namespace {

const std::wstring kSaved =
    L"        Bag targetcontrols = \"Form1,Command1\"\n"
    L"        Bag targetevents = \"'513','514'\"\n"
    L"        Bag debugfile = \"saved.dbg\"\n"
    L"        Bag linkname = \"Saved\"\n"
    L"        Bag filedropmode = False\n"
    L"        Bag debugmode = False\n";

class PropertyRules : public KestrixTest {
protected:
    std::vector<DISPID> ChangesSince(size_t from) const {
        const auto& all = Kx().Changes();
        return std::vector<DISPID>(all.begin() + static_cast<std::ptrdiff_t>(from), all.end());
    }
};

} // namespace

// ---- design time --------------------------------------------------------------

// The box's Help key (WM_HELP: Wine's box ignores its Help button) opens the
// HTML Help viewer on Kestrix.chm beside the OCX (its window shows the help
// file's title); with the file gone, a box names where it should be.
TEST_F(PropertyRules, TheHelpKeyOfAnErrorBoxOpensTheHelpFileBesideTheOcx) {
    Load(kSaved, Mode::Design);
    bool first = true;
    boxes_->OnNewBox([&first](HWND box) {
        if (!std::exchange(first, false)) return; // the box that answers the help request
        HELPINFO hi{sizeof hi, HELPINFO_WINDOW, 0, box, 0, {0, 0}};
        SendMessageW(box, WM_HELP, 0, reinterpret_cast<LPARAM>(&hi));
    });
    std::wstring dir = OcxPath();
    dir.erase(dir.find_last_of(L'\\') + 1);
    const std::wstring chm = dir + L"Kestrix.chm", moved = dir + L"Kestrix.chm.away";

    K().Let(L"TargetEvents", L"   ");
    ASSERT_EQ(Boxes().size(), 1u);
    ExpectOwnBox(Boxes()[0], L"対象イベント値が指定されていません");
    const HWND viewer = FindWindowW(L"HH Parent", nullptr);
    ASSERT_NE(viewer, nullptr) << "no help window opened";
    wchar_t title[64] = {};
    GetWindowTextW(viewer, title, 64);
    EXPECT_STREQ(title, L"Kestrix") << "the help window shows another file";
    SendMessageW(viewer, WM_CLOSE, 0, 0);

    ASSERT_TRUE(MoveFileW(chm.c_str(), moved.c_str()));
    boxes_->Clear();
    first = true;
    K().Let(L"TargetEvents", L"   ");
    EXPECT_TRUE(MoveFileW(moved.c_str(), chm.c_str()));
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1].title, L"Kestrix");
    EXPECT_EQ(Boxes()[1].text, L"ヘルプ ファイルがありません。次の場所に置いてください:\r\n" + chm);
}

TEST_F(PropertyRules, DesignTargetEventsIsUpperCasedAndBlankIsRefusedWithABox) {
    Load(kSaved, Mode::Design);
    const size_t before = Kx().Changes().size();
    K().Let(L"TargetEvents", L"all");
    EXPECT_EQ(K().Get(L"TargetEvents").AsString(), L"ALL");
    K().Let(L"TargetEvents", L" '12','22' ");
    EXPECT_EQ(K().Get(L"TargetEvents").AsString(), L"'12','22'");
    EXPECT_TRUE(Boxes().empty());

    K().Let(L"TargetEvents", L"   ");
    ASSERT_EQ(Boxes().size(), 1u);
    ExpectOwnBox(Boxes()[0], L"対象イベント値が指定されていません");
    EXPECT_EQ(K().Get(L"TargetEvents").AsString(), L"'12','22'");
    // The set carries on with the old value and completes: three notifications.
    EXPECT_EQ(ChangesSince(before), std::vector<DISPID>(3, DISPID_KX_TARGETEVENTS));
}

TEST_F(PropertyRules, DesignDebugFileAndLinkNameAreTrimmedAndBlankIsRefusedWithABox) {
    Load(kSaved, Mode::Design);
    const size_t before = Kx().Changes().size();
    K().Let(L"DebugFile", L"  trace.dbg ");
    EXPECT_EQ(K().Get(L"DebugFile").AsString(), L"trace.dbg");
    K().Let(L"DebugFile", L"");
    K().Let(L"LinkName", L" Other ");
    EXPECT_EQ(K().Get(L"LinkName").AsString(), L"Other");
    K().Let(L"LinkName", L"  ");

    ASSERT_EQ(Boxes().size(), 2u);
    ExpectOwnBox(Boxes()[0], L"デバッグファイルが指定されていません");
    ExpectOwnBox(Boxes()[1], L"LinkName ﾌﾟﾛﾊﾟﾃｨが指定されていません");
    EXPECT_EQ(K().Get(L"DebugFile").AsString(), L"trace.dbg");
    EXPECT_EQ(K().Get(L"LinkName").AsString(), L"Other");
    EXPECT_EQ(ChangesSince(before),
              (std::vector<DISPID>{DISPID_KX_DEBUGFILE, DISPID_KX_DEBUGFILE, DISPID_KX_LINKNAME, DISPID_KX_LINKNAME}));
}

TEST_F(PropertyRules, DesignBooleansAreAccepted) {
    Load(kSaved, Mode::Design);
    const size_t before = Kx().Changes().size();
    EXPECT_FALSE(K().Get(L"FileDropMode").AsBool());
    K().Let(L"FileDropMode", true);
    EXPECT_TRUE(K().Get(L"FileDropMode").AsBool());
    K().Let(L"DebugMode", true);
    EXPECT_TRUE(K().Get(L"DebugMode").AsBool());
    K().Let(L"DebugMode", false);
    EXPECT_FALSE(K().Get(L"DebugMode").AsBool());
    EXPECT_EQ(ChangesSince(before),
              (std::vector<DISPID>{DISPID_KX_FILEDROPMODE, DISPID_KX_DEBUGMODE, DISPID_KX_DEBUGMODE}));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(PropertyRules, DesignTargetHandleIsRefusedWithABoxAndBecomesZero) {
    Load(L"        Bag targethandle = 4242\n", Mode::Design);
    EXPECT_EQ(K().Get(L"TargetHandle").AsLong(), 4242); // restored as saved, no rule applied
    const size_t before = Kx().Changes().size();
    // Even a real window is refused at design time.
    K().Let(L"TargetHandle", static_cast<LONG>(reinterpret_cast<LONG_PTR>(Hwnd(L"Command1"))));
    ASSERT_EQ(Boxes().size(), 1u);
    ExpectOwnBox(Boxes()[0], L"デザイン時にTargetHandle ﾌﾟﾛﾊﾟﾃｨは設定できません");
    EXPECT_EQ(K().Get(L"TargetHandle").AsLong(), 0);
    EXPECT_EQ(ChangesSince(before), std::vector<DISPID>{DISPID_KX_TARGETHANDLE});
}

// ---- run time -------------------------------------------------------------------

TEST_F(PropertyRules, RunTimeRefusalsRaiseAndLeaveEverythingAsItWas) {
    Load(kSaved);
    const size_t before = Kx().Changes().size();
    struct Case {
        const wchar_t* name;
        kxhost::Arg value;
        LONG number;
        const wchar_t* text;
    };
    const Case cases[] = {
        {L"TargetControls", L"Text1", 10005, L"実行時にTargetControls ﾌﾟﾛﾊﾟﾃｨは設定できません"},
        {L"TargetEvents", L"ALL", 10011, L"実行時にTargetEvents ﾌﾟﾛﾊﾟﾃｨは設定できません"},
        {L"DebugFile", L"other.dbg", 10013, L"実行時にDebugFile ﾌﾟﾛﾊﾟﾃｨは設定できません"},
        {L"FileDropMode", true, 10020, L"実行時にFileDropMode ﾌﾟﾛﾊﾟﾃｨは設定できません"},
        {L"LinkName", L"Other", 10018, L"実行時にLinkName ﾌﾟﾛﾊﾟﾃｨは設定できません"},
        // Blank values are refused for being set at run time, before anything else.
        {L"TargetEvents", L"  ", 10011, L"実行時にTargetEvents ﾌﾟﾛﾊﾟﾃｨは設定できません"},
        {L"LinkName", L"", 10018, L"実行時にLinkName ﾌﾟﾛﾊﾟﾃｨは設定できません"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "property " << std::string(c.name, c.name + wcslen(c.name)));
        ExpectOwnError(RaisedBy([&] { K().Let(c.name, c.value); }), c.number, c.text);
    }
    EXPECT_EQ(K().Get(L"TargetControls").AsString(), L"Form1,Command1");
    EXPECT_EQ(K().Get(L"TargetEvents").AsString(), L"'513','514'");
    EXPECT_EQ(K().Get(L"DebugFile").AsString(), L"saved.dbg");
    EXPECT_FALSE(K().Get(L"FileDropMode").AsBool());
    EXPECT_EQ(K().Get(L"LinkName").AsString(), L"Saved");
    EXPECT_TRUE(ChangesSince(before).empty());
    EXPECT_TRUE(Boxes().empty()) << "no message box at run time";
}

TEST_F(PropertyRules, RunTimeDebugModeIsAccepted) {
    Load(kSaved);
    const size_t before = Kx().Changes().size();
    K().Let(L"DebugMode", true);
    EXPECT_TRUE(K().Get(L"DebugMode").AsBool());
    K().Let(L"DebugMode", false);
    EXPECT_FALSE(K().Get(L"DebugMode").AsBool());
    EXPECT_EQ(ChangesSince(before), std::vector<DISPID>(2, DISPID_KX_DEBUGMODE));
}

TEST_F(PropertyRules, RunTimeTargetHandleTakesWindowsAndZeroAndRefusesTheRest) {
    Load(kSaved);
    const size_t before = Kx().Changes().size();
    const LONG text1 = static_cast<LONG>(reinterpret_cast<LONG_PTR>(Hwnd(L"Text1")));
    K().Let(L"TargetHandle", text1);
    EXPECT_EQ(K().Get(L"TargetHandle").AsLong(), text1);

    // Not a window: refused, the stored handle stays.
    ExpectOwnError(RaisedBy([&] { K().Let(L"TargetHandle", 0x7FFF0001); }), 10016,
                   L"対象ハンドル値が有効ではありません");
    HWND gone = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(gone);
    DestroyWindow(gone);
    ExpectOwnError(RaisedBy([&] { K().Let(L"TargetHandle", static_cast<LONG>(reinterpret_cast<LONG_PTR>(gone))); }),
                   10016, L"対象ハンドル値が有効ではありません");
    EXPECT_EQ(K().Get(L"TargetHandle").AsLong(), text1);

    K().Let(L"TargetHandle", 0);
    EXPECT_EQ(K().Get(L"TargetHandle").AsLong(), 0);
    EXPECT_EQ(ChangesSince(before), std::vector<DISPID>(2, DISPID_KX_TARGETHANDLE));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(PropertyRules, RunTimeTargetHandleStopsAnActiveCaptureButZeroDoesNot) {
    Load(L"        Bag targetcontrols = \"Form1,Command1\"\n        Bag debugmode = False\n");
    const HWND text1 = Hwnd(L"Text1");
    const LONG_PTR before = GetWindowLongPtrA(text1, GWLP_WNDPROC);
    K().Let(L"TargetHandle", static_cast<LONG>(reinterpret_cast<LONG_PTR>(text1)));
    K().Call(L"EventsStart");
    ASSERT_TRUE(K().Call(L"IsEventsStart").AsBool());
    EXPECT_NE(GetWindowLongPtrA(text1, GWLP_WNDPROC), before);

    // Setting 0 clears the raw handle without stopping.
    K().Let(L"TargetHandle", 0);
    EXPECT_TRUE(K().Call(L"IsEventsStart").AsBool());
    EXPECT_EQ(K().Get(L"TargetHandle").AsLong(), 0);
    K().Call(L"EventsStop");

    // The same window again while capturing: the capture stops, every
    // window gets its procedure back, and the handle is kept for next time.
    K().Let(L"TargetHandle", static_cast<LONG>(reinterpret_cast<LONG_PTR>(text1)));
    K().Call(L"EventsStart");
    ASSERT_TRUE(K().Call(L"IsEventsStart").AsBool());
    const LONG_PTR formBefore = GetWindowLongPtrA(Hwnd(L"Form1"), GWLP_WNDPROC);
    K().Let(L"TargetHandle", static_cast<LONG>(reinterpret_cast<LONG_PTR>(text1)));
    EXPECT_FALSE(K().Call(L"IsEventsStart").AsBool());
    EXPECT_EQ(GetWindowLongPtrA(text1, GWLP_WNDPROC), before);
    EXPECT_NE(GetWindowLongPtrA(Hwnd(L"Form1"), GWLP_WNDPROC), formBefore);
    EXPECT_EQ(K().Get(L"TargetHandle").AsLong(), static_cast<LONG>(reinterpret_cast<LONG_PTR>(text1)));
}
