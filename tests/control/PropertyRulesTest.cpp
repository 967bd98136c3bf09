// The set operations of every property at design time (a message box for
// a refusal) and at run time (a raised error), what each leaves stored, and
// the change notifications the container receives.
#include "DispIds.h"
#include "Ansi.h"
#include "KestrixFixture.h"
#include <cstring>
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

// Catches the next call into the system's HtmlHelpW: the entry is overwritten
// with a jump to Caught, which notes the request, puts the entry back and
// passes the call on, so the real viewer still opens.
class HtmlHelpCatch {
public:
    static inline std::wstring file;
    static inline UINT command = ~0u;

    HtmlHelpCatch() {
        wchar_t dir[MAX_PATH];
        const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
        module_ = LoadLibraryW((std::wstring(dir, n) + L"\\hhctrl.ocx").c_str());
        entry_ = module_ ? reinterpret_cast<BYTE*>(GetProcAddress(module_, "HtmlHelpW")) : nullptr;
        if (!entry_) return;
        std::memcpy(saved_, entry_, sizeof saved_);
        BYTE jump[kJump];
#ifdef _WIN64
        jump[0] = 0x48, jump[1] = 0xB8; // mov rax, Caught
        const auto to = reinterpret_cast<UINT_PTR>(&Caught);
        std::memcpy(jump + 2, &to, 8);
        jump[10] = 0xFF, jump[11] = 0xE0; // jmp rax
#else
        jump[0] = 0xE9; // jmp rel32
        const auto rel = static_cast<INT32>(reinterpret_cast<INT_PTR>(&Caught) - reinterpret_cast<INT_PTR>(entry_ + 5));
        std::memcpy(jump + 1, &rel, 4);
#endif
        Write(jump);
        self_ = this;
    }
    ~HtmlHelpCatch() { if (self_ == this) Write(saved_); self_ = nullptr; if (module_) FreeLibrary(module_); }
    bool Armed() const { return self_ == this; }

private:
#ifdef _WIN64
    static constexpr size_t kJump = 12;
#else
    static constexpr size_t kJump = 5;
#endif
    static HWND WINAPI Caught(HWND caller, LPCWSTR path, UINT cmd, DWORD_PTR data) {
        file = path ? path : L"";
        command = cmd;
        HtmlHelpCatch* const self = std::exchange(self_, nullptr);
        self->Write(self->saved_);
        return reinterpret_cast<HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR)>(self->entry_)(caller, path, cmd, data);
    }
    void Write(const BYTE* bytes) {
        DWORD was = 0;
        VirtualProtect(entry_, kJump, PAGE_EXECUTE_READWRITE, &was);
        std::memcpy(entry_, bytes, kJump);
        VirtualProtect(entry_, kJump, was, &was);
        FlushInstructionCache(GetCurrentProcess(), entry_, kJump);
    }
    static inline HtmlHelpCatch* self_ = nullptr;
    HMODULE module_ = nullptr;
    BYTE* entry_ = nullptr;
    BYTE saved_[kJump] = {};
};

class PropertyRules : public KestrixTest {
protected:
    std::vector<DISPID> ChangesSince(size_t from) const {
        const auto& all = Kx().Changes();
        return std::vector<DISPID>(all.begin() + static_cast<std::ptrdiff_t>(from), all.end());
    }
};

} // namespace

// ---- design time --------------------------------------------------------------

// The box's Help key (WM_HELP: Wine's box ignores its Help button) asks the
// HTML Help viewer for the errors topic of Kestrix.chm beside the OCX, and
// the viewer opens (its window shows the help file's title); with the file
// gone, a box names where it should be.
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

    HtmlHelpCatch request;
    ASSERT_TRUE(request.Armed());
    K().Let(L"TargetEvents", L"   ");
    ASSERT_EQ(Boxes().size(), 1u);
    ExpectOwnBox(Boxes()[0], L"対象イベント値が指定されていません");
    EXPECT_EQ(HtmlHelpCatch::file, chm + L"::/errors.html");
    EXPECT_EQ(HtmlHelpCatch::command, 0u) << "not HH_DISPLAY_TOPIC";
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
    EXPECT_EQ(K().Call(L"TargetEvents").AsString(), L"ALL");
    K().Let(L"TargetEvents", L" '12','22' ");
    EXPECT_EQ(K().Call(L"TargetEvents").AsString(), L"'12','22'");
    EXPECT_TRUE(Boxes().empty());

    K().Let(L"TargetEvents", L"   ");
    ASSERT_EQ(Boxes().size(), 1u);
    ExpectOwnBox(Boxes()[0], L"対象イベント値が指定されていません");
    EXPECT_EQ(K().Call(L"TargetEvents").AsString(), L"'12','22'");
    // The set carries on with the old value and completes: three notifications.
    EXPECT_EQ(ChangesSince(before), std::vector<DISPID>(3, DISPID_KX_TARGETEVENTS));
}

TEST_F(PropertyRules, DesignDebugFileAndLinkNameAreTrimmedAndBlankIsRefusedWithABox) {
    Load(kSaved, Mode::Design);
    const size_t before = Kx().Changes().size();
    K().Let(L"DebugFile", L"  trace.dbg ");
    EXPECT_EQ(K().Call(L"DebugFile").AsString(), L"trace.dbg");
    K().Let(L"DebugFile", L"");
    K().Let(L"LinkName", L" Other ");
    EXPECT_EQ(K().Call(L"LinkName").AsString(), L"Other");
    K().Let(L"LinkName", L"  ");

    ASSERT_EQ(Boxes().size(), 2u);
    ExpectOwnBox(Boxes()[0], L"デバッグファイルが指定されていません");
    ExpectOwnBox(Boxes()[1], L"LinkName ﾌﾟﾛﾊﾟﾃｨが指定されていません");
    EXPECT_EQ(K().Call(L"DebugFile").AsString(), L"trace.dbg");
    EXPECT_EQ(K().Call(L"LinkName").AsString(), L"Other");
    EXPECT_EQ(ChangesSince(before),
              (std::vector<DISPID>{DISPID_KX_DEBUGFILE, DISPID_KX_DEBUGFILE, DISPID_KX_LINKNAME, DISPID_KX_LINKNAME}));
}

TEST_F(PropertyRules, DesignBooleansAreAccepted) {
    Load(kSaved, Mode::Design);
    const size_t before = Kx().Changes().size();
    EXPECT_FALSE(K().Call(L"FileDropMode").AsBool());
    K().Let(L"FileDropMode", true);
    EXPECT_TRUE(K().Call(L"FileDropMode").AsBool());
    K().Let(L"DebugMode", true);
    EXPECT_TRUE(K().Call(L"DebugMode").AsBool());
    K().Let(L"DebugMode", false);
    EXPECT_FALSE(K().Call(L"DebugMode").AsBool());
    EXPECT_EQ(ChangesSince(before),
              (std::vector<DISPID>{DISPID_KX_FILEDROPMODE, DISPID_KX_DEBUGMODE, DISPID_KX_DEBUGMODE}));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(PropertyRules, DesignTargetHandleIsRefusedWithABoxAndBecomesZero) {
    Load(L"        Bag targethandle = 4242\n", Mode::Design);
    EXPECT_EQ(K().Call(L"TargetHandle").AsLong(), 4242); // restored as saved, no rule applied
    const size_t before = Kx().Changes().size();
    // Even a real window is refused at design time.
    K().Let(L"TargetHandle", static_cast<LONG>(reinterpret_cast<LONG_PTR>(Hwnd(L"Command1"))));
    ASSERT_EQ(Boxes().size(), 1u);
    ExpectOwnBox(Boxes()[0], L"デザイン時にTargetHandle ﾌﾟﾛﾊﾟﾃｨは設定できません");
    EXPECT_EQ(K().Call(L"TargetHandle").AsLong(), 0);
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
    EXPECT_EQ(K().Call(L"TargetControls").AsString(), L"Form1,Command1");
    EXPECT_EQ(K().Call(L"TargetEvents").AsString(), L"'513','514'");
    EXPECT_EQ(K().Call(L"DebugFile").AsString(), L"saved.dbg");
    EXPECT_FALSE(K().Call(L"FileDropMode").AsBool());
    EXPECT_EQ(K().Call(L"LinkName").AsString(), L"Saved");
    EXPECT_TRUE(ChangesSince(before).empty());
    EXPECT_TRUE(Boxes().empty()) << "no message box at run time";
}

TEST_F(PropertyRules, RunTimeDebugModeIsAccepted) {
    Load(kSaved);
    const size_t before = Kx().Changes().size();
    K().Let(L"DebugMode", true);
    EXPECT_TRUE(K().Call(L"DebugMode").AsBool());
    K().Let(L"DebugMode", false);
    EXPECT_FALSE(K().Call(L"DebugMode").AsBool());
    EXPECT_EQ(ChangesSince(before), std::vector<DISPID>(2, DISPID_KX_DEBUGMODE));
}

TEST_F(PropertyRules, RunTimeTargetHandleTakesWindowsAndZeroAndRefusesTheRest) {
    Load(kSaved);
    const size_t before = Kx().Changes().size();
    const LONG text1 = static_cast<LONG>(reinterpret_cast<LONG_PTR>(Hwnd(L"Text1")));
    K().Let(L"TargetHandle", text1);
    EXPECT_EQ(K().Call(L"TargetHandle").AsLong(), text1);

    // Not a window: refused, the stored handle stays.
    ExpectOwnError(RaisedBy([&] { K().Let(L"TargetHandle", 0x7FFF0001); }), 10016,
                   L"対象ハンドル値が有効ではありません");
    HWND gone = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(gone);
    DestroyWindow(gone);
    ExpectOwnError(RaisedBy([&] { K().Let(L"TargetHandle", static_cast<LONG>(reinterpret_cast<LONG_PTR>(gone))); }),
                   10016, L"対象ハンドル値が有効ではありません");
    EXPECT_EQ(K().Call(L"TargetHandle").AsLong(), text1);

    K().Let(L"TargetHandle", 0);
    EXPECT_EQ(K().Call(L"TargetHandle").AsLong(), 0);
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
    EXPECT_EQ(K().Call(L"TargetHandle").AsLong(), 0);
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
    EXPECT_EQ(K().Call(L"TargetHandle").AsLong(), static_cast<LONG>(reinterpret_cast<LONG_PTR>(text1)));
}
