// Files dropped on watched windows: FileDrop with the paths in order and
// whole, the drop always passed on while FileDropMode is on, GetEvents
// alone (and Cancel honoured) while it is off, and the Control each names.
#include "Ansi.h"
#include "DropFiles.h"
#include "KestrixFixture.h"
#include "WindowRecorder.h"

using namespace kxtest;
using kxhost::EventArgs;

namespace {

struct Drop {
    std::wstring control;
    std::vector<std::wstring> files;
    LONG count;
};

class DropTest : public KestrixTest {
protected:
    void LoadWatching(const std::wstring& targetEvents, bool dropMode) {
        auto& f =
            Load(L"        Bag targetcontrols = \"Form1,Command1\"\n        Bag targetevents = \"" + targetEvents +
                 L"\"\n        Bag debugmode = False\n" + (dropMode ? L"" : L"        Bag filedropmode = False\n"));
        f.On(L"Kestrix1", L"GetEvents", [this](EventArgs& a) {
            if (a.Long(1) != WM_DROPFILES) return;
            ++getEvents_;
            if (cancelDrops_) a.SetBool(4, true);
        });
        // In front of the windows before the capture: they see what the capture passes on.
        recorders_.clear();
        for (const wchar_t* name : {L"Form1", L"Command1", L"Text1"})
            recorders_.push_back(std::make_unique<WindowRecorder>(Hwnd(name)));
        f.On(L"Kestrix1", L"FileDrop", [this](EventArgs& a) {
            const kxhost::Object c = a.Obj(0);
            drops_.push_back({c.Is(K()) ? L"(Kestrix1)" : c.Call(L"Name").AsString(), a.Strings(1), a.Long(2)});
        });
    }
    void Start() {
        K().Call(L"EventsStart");
        ASSERT_TRUE(K().Call(L"IsEventsStart").AsBool());
    }
    // Sends a drop of these paths to the window; true when the window's
    // previous procedure received it, with the drop's handle.
    bool SendDrop(HWND h, const std::vector<std::string>& paths) {
        WindowRecorder* r = nullptr;
        for (auto& each : recorders_)
            if (each->hwnd() == h) r = each.get();
        if (!r) return false;
        r->Clear();
        kx::UniqueHglobal drop = MakeDrop(paths);
        SendMessageA(h, WM_DROPFILES, reinterpret_cast<WPARAM>(drop.get()), 0);
        const auto seen = r->Seen(WM_DROPFILES);
        return seen.size() == 1 && seen[0].wp == reinterpret_cast<WPARAM>(drop.get());
    }
    std::vector<std::unique_ptr<WindowRecorder>> recorders_;
    int getEvents_ = 0;
    bool cancelDrops_ = false;
    std::vector<Drop> drops_;
};

} // namespace

TEST_F(DropTest, ThreeFilesArriveInOrderAndTheDropIsPassedOnEvenWhenCancelled) {
    LoadWatching(L"'15'", true); // 563 is not listed: FileDropMode alone watches it on target controls
    cancelDrops_ = true;
    Start();
    kx::UniqueHglobal drop = MakeDrop({"C:\\data\\one.txt", "C:\\data\\two.txt", "D:\\three"});
    SendMessageA(Hwnd(L"Command1"), WM_DROPFILES, reinterpret_cast<WPARAM>(drop.get()), 0);
    EXPECT_EQ(getEvents_, 1);
    ASSERT_EQ(drops_.size(), 1u);
    EXPECT_EQ(drops_[0].control, L"Command1");
    EXPECT_EQ(drops_[0].files, (std::vector<std::wstring>{L"C:\\data\\one.txt", L"C:\\data\\two.txt", L"D:\\three"}));
    EXPECT_EQ(drops_[0].count, 3);
    // The handler's Cancel is overruled: the window gets the drop, handle intact.
    const auto seen = recorders_[1]->Seen(WM_DROPFILES);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].wp, reinterpret_cast<WPARAM>(drop.get()));
    EXPECT_EQ(DragQueryFileA(reinterpret_cast<HDROP>(drop.get()), 0xFFFFFFFF, nullptr, 0), 3u);
}

TEST_F(DropTest, ADropOfNoFilesGivesOneEmptyPathAndCountZero) {
    LoadWatching(L"ALL", true);
    Start();
    kx::UniqueHglobal drop = MakeDrop(std::vector<std::string>{});
    SendMessageA(Hwnd(L"Form1"), WM_DROPFILES, reinterpret_cast<WPARAM>(drop.get()), 0);
    ASSERT_EQ(drops_.size(), 1u);
    EXPECT_EQ(drops_[0].control, L"Form1");
    EXPECT_EQ(drops_[0].files, std::vector<std::wstring>{L""});
    EXPECT_EQ(drops_[0].count, 0);
}

TEST_F(DropTest, LongAndJapanesePathsArriveWholeWithOuterBlanksRemoved) {
    LoadWatching(L"ALL", true);
    Start();
    const std::wstring longPath = L"C:\\" + std::wstring(150, L'a') + L"\\データ\\" + std::wstring(150, L'b') + L".txt";
    ASSERT_GT(kx::ToAnsi(longPath).size(), 255u);
    kx::UniqueHglobal drop =
        MakeDrop({kx::ToAnsi(longPath), kx::ToAnsi(L"  C:\\ｶﾅ\\名前 付き.txt  "), kx::ToAnsi(L"\tC:\\tab.txt")});
    PostMessageA(Hwnd(L"Command1"), WM_DROPFILES, reinterpret_cast<WPARAM>(drop.get()), 0);
    rt_->DoEvents();
    ASSERT_EQ(drops_.size(), 1u);
    ASSERT_EQ(drops_[0].files.size(), 3u);
    EXPECT_EQ(drops_[0].files[0], longPath);
    EXPECT_EQ(drops_[0].files[1], L"C:\\ｶﾅ\\名前 付き.txt"); // blanks inside stay
    EXPECT_EQ(drops_[0].files[2], L"\tC:\\tab.txt"); // only blanks are trimmed
    EXPECT_EQ(drops_[0].count, 3);
}

TEST_F(DropTest, PathsTheAnsiCodePageCannotSpellArriveExactAndNameTheirFiles) {
    LoadWatching(L"ALL", true);
    Start();
    wchar_t temp[MAX_PATH] = {};
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    // Korean, an emoji (a surrogate pair), accented letters, beside Japanese.
    const std::vector<std::wstring> paths = {std::wstring(temp) + L"\uD55C\uAD6D\uC5B4 \U0001F600.txt",
                                             std::wstring(temp) + L"d\u00E9j\u00E0 \u0107\u0142.txt",
                                             std::wstring(temp) + L"データ.txt"};
    for (const std::wstring& p : paths) {
        kx::UniqueFile f(CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(f) << "could not create a file to drop";
    }
    kx::UniqueHglobal drop = MakeDrop(paths);
    SendMessageA(Hwnd(L"Command1"), WM_DROPFILES, reinterpret_cast<WPARAM>(drop.get()), 0);
    ASSERT_EQ(drops_.size(), 1u);
    EXPECT_EQ(drops_[0].files, paths);
    for (const std::wstring& p : drops_[0].files) {
        EXPECT_NE(GetFileAttributesW(p.c_str()), INVALID_FILE_ATTRIBUTES) << "a dropped path names no file";
        DeleteFileW(p.c_str());
    }
}

TEST_F(DropTest, WithFileDropModeOffADropIsAnOrdinaryMessage) {
    LoadWatching(L"ALL", false);
    cancelDrops_ = true;
    Start();
    EXPECT_FALSE(SendDrop(Hwnd(L"Command1"), {"C:\\x.txt"})) << "the cancelled drop reached the window";
    EXPECT_EQ(getEvents_, 1);
    EXPECT_TRUE(drops_.empty());
    cancelDrops_ = false;
    EXPECT_TRUE(SendDrop(Hwnd(L"Command1"), {"C:\\x.txt"}));
    EXPECT_EQ(getEvents_, 2);
    EXPECT_TRUE(drops_.empty());
    K().Call(L"EventsStop");

    // Not listed and FileDropMode off: not watched at all.
    getEvents_ = 0;
    LoadWatching(L"'15'", false);
    Start();
    EXPECT_TRUE(SendDrop(Hwnd(L"Command1"), {"C:\\x.txt"}));
    EXPECT_EQ(getEvents_, 0);
}

TEST_F(DropTest, ADropOnTheRawWindowNamesTheKestrixControlAndNeedsTheMessageListed) {
    LoadWatching(L"ALL", true);
    K().Let(L"TargetHandle", static_cast<LONG>(reinterpret_cast<LONG_PTR>(Hwnd(L"Text1"))));
    Start();
    EXPECT_TRUE(SendDrop(Hwnd(L"Text1"), {"C:\\raw.txt"}));
    ASSERT_EQ(drops_.size(), 1u);
    EXPECT_EQ(drops_[0].control, L"(Kestrix1)");
    EXPECT_EQ(drops_[0].files, std::vector<std::wstring>{L"C:\\raw.txt"});
    K().Call(L"EventsStop");

    // The raw window has no FileDropMode rule of its own.
    drops_.clear();
    getEvents_ = 0;
    LoadWatching(L"'15'", true);
    K().Let(L"TargetHandle", static_cast<LONG>(reinterpret_cast<LONG_PTR>(Hwnd(L"Text1"))));
    Start();
    EXPECT_TRUE(SendDrop(Hwnd(L"Text1"), {"C:\\raw.txt"}));
    EXPECT_EQ(getEvents_, 0);
    EXPECT_TRUE(drops_.empty());
}

TEST_F(DropTest, TargetsAcceptFilesOnlyWhileCapturingWithFileDropModeOn) {
    auto accepts = [](HWND h) { return (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0; };
    LoadWatching(L"ALL", true);
    K().Let(L"TargetHandle", static_cast<LONG>(reinterpret_cast<LONG_PTR>(Hwnd(L"Text1"))));
    EXPECT_FALSE(accepts(Hwnd(L"Command1")));
    Start();
    EXPECT_TRUE(accepts(Hwnd(L"Form1")));
    EXPECT_TRUE(accepts(Hwnd(L"Command1")));
    EXPECT_TRUE(accepts(Hwnd(L"Text1")));
    EXPECT_FALSE(accepts(Hwnd(L"List1")));
    K().Call(L"EventsStop");
    EXPECT_FALSE(accepts(Hwnd(L"Form1")));
    EXPECT_FALSE(accepts(Hwnd(L"Command1")));
    EXPECT_FALSE(accepts(Hwnd(L"Text1")));

    LoadWatching(L"ALL", false);
    Start();
    EXPECT_FALSE(accepts(Hwnd(L"Command1")));
}
