// KestrixVerDlg behind the control's about entry: shown only over the
// development environment's main window, modal over it, one at a time,
// its texts and version, its keys and buttons; and the load once per
// thread's store, unshown, when a control first reads its saved properties.
#include <olectl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ActiveXControl.h"
#include "Ansi.h"
#include "Designer.h"
#include "PageFixture.h"
#include "VerDlgControls.h"
#include "VersionText.h"

using namespace kxtest;
using namespace kestrix;

namespace {

const wchar_t kEnvTitle[] = L"Project1 - Microsoft Visual Basic [デザイン]";
const wchar_t kForm[] = L"Form Form1\n    Begin Control Kestrix1 \"Kestrix32.Kestrix\"\n    End\nEnd\n";

// A top-level window of this test, titled as given.
kx::UniqueHwnd TopWindow(const std::wstring& title, bool visible = true) {
    return kx::UniqueHwnd(CreateWindowExA(0, "STATIC", kx::ToAnsi(title).c_str(),
                                          WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 10, 10, 300, 200, nullptr,
                                          nullptr, GetModuleHandleA(nullptr), nullptr));
}

HWND Dialog() { return FindWindowA(nullptr, kx::ToAnsi(kVerDlgCaption).c_str()); }

BOOL CALLBACK CountTitled(HWND h, LPARAM count) {
    char title[128] = {};
    GetWindowTextA(h, title, sizeof title);
    if (kx::FromAnsi(title) == kVerDlgCaption) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int DialogsOpen() {
    int n = 0;
    EnumWindows(CountTitled, reinterpret_cast<LPARAM>(&n));
    return n;
}

// Which of two windows the system enumerates first.
struct FirstOf {
    HWND a, b, first;
};
BOOL CALLBACK FindFirstOf(HWND h, LPARAM p) {
    auto* s = reinterpret_cast<FirstOf*>(p);
    if (h != s->a && h != s->b) return TRUE;
    s->first = h;
    return FALSE;
}

std::wstring TextOf(HWND h) {
    char text[256] = {};
    GetWindowTextA(h, text, sizeof text);
    return kx::FromAnsi(text);
}

// While the dialog is open; past the deadline it is closed.
class DialogScript : public ModalScript {
public:
    explicit DialogScript(std::vector<Step> steps)
        : ModalScript(Dialog, std::move(steps), [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }) {}
};

// Top-level dialog windows made, shown or activated on this thread.
class DialogWatch {
public:
    DialogWatch() : hook_(SetWindowsHookExA(WH_CBT, Proc, nullptr, GetCurrentThreadId())) { self_ = this; }
    ~DialogWatch() {
        UnhookWindowsHookEx(hook_);
        self_ = nullptr;
    }
    int created = 0, destroyed = 0, activated = 0, visibleAtEnd = 0;

private:
    static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp) {
        if (self_ && code >= 0) {
            HWND h = reinterpret_cast<HWND>(wp);
            char cls[16] = {};
            if (GetClassNameA(h, cls, sizeof cls) && lstrcmpA(cls, "#32770") == 0 &&
                !(GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) {
                if (code == HCBT_CREATEWND) {
                    auto* cw = reinterpret_cast<CBT_CREATEWNDA*>(lp);
                    if (!(cw->lpcs->style & WS_CHILD)) ++self_->created;
                } else if (code == HCBT_DESTROYWND) {
                    ++self_->destroyed;
                    if (IsWindowVisible(h)) ++self_->visibleAtEnd;
                } else if (code == HCBT_ACTIVATE) {
                    ++self_->activated;
                }
            }
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    HHOOK hook_;
    static DialogWatch* self_;
};
DialogWatch* DialogWatch::self_ = nullptr;

class VersionDialog : public PageTest {
protected:
    // The control's about entry, as the designer calls it.
    HRESULT About() {
        auto& c = form_->Get<kxhost::ActiveXControl>(L"Kestrix1");
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        return c.ControlObject()->Invoke(DISPID_ABOUTBOX, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none,
                                         nullptr, nullptr, nullptr);
    }
};

} // namespace

TEST(VersionCaption, MajorThenTheMinorWithAtLeastTwoDigits) {
    EXPECT_EQ(VersionCaption(1, 34), L"Ver 1.34");
    EXPECT_EQ(VersionCaption(1, 5), L"Ver 1.05");
    EXPECT_EQ(VersionCaption(1, 0), L"Ver 1.00");
    EXPECT_EQ(VersionCaption(12, 10), L"Ver 12.10");
    EXPECT_EQ(VersionCaption(1, 123), L"Ver 1.123");
}

TEST_F(VersionDialog, WithoutTheEnvironmentsWindowNothingIsShown) {
    LoadText(kForm);
    // Close, but not it: the mark must be in the first 255 characters.
    auto longTitle = TopWindow(std::wstring(250, L'x') + L" - Microsoft Visual Basic [デザイン]");
    auto otherTitle = TopWindow(L"Project1 - Microsoft Visual Basic");
    DialogWatch watch;
    EXPECT_HRESULT_SUCCEEDED(About());
    EXPECT_EQ(watch.created, 0);
    EXPECT_FALSE(Dialog());
    EXPECT_TRUE(IsWindowEnabled(longTitle.get()));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(VersionDialog, ShownModallyOverTheEnvironmentsWindowCentredWithItsTexts) {
    LoadText(kForm);
    auto env = TopWindow(kEnvTitle);
    bool envDisabled = false, second = false;
    int openDuringSecond = 0;
    RECT rect{}, client{};
    std::wstring version, author, home, mail, caption;
    DialogScript script({
        [&](HWND d) {
            envDisabled = !IsWindowEnabled(env.get());
            GetWindowRect(d, &rect);
            GetClientRect(d, &client);
            caption = TextOf(d);
            version = TextOf(GetDlgItem(d, kVdVersion));
            author = TextOf(GetDlgItem(d, kVdAuthor));
            home = TextOf(GetDlgItem(d, kVdHome));
            mail = TextOf(GetDlgItem(d, kVdMail));
            return true;
        },
        [&](HWND) {
            // The about entry again while the dialog is open: no second one.
            second = SUCCEEDED(About());
            openDuringSecond = DialogsOpen();
            return true;
        },
        [&](HWND d) {
            SendMessageA(GetDlgItem(d, kVdOk), BM_CLICK, 0, 0);
            return true;
        },
    });
    EXPECT_HRESULT_SUCCEEDED(About());
    script.Check();
    EXPECT_TRUE(envDisabled) << "the environment's window stayed enabled under the dialog";
    EXPECT_TRUE(IsWindowEnabled(env.get()));
    EXPECT_EQ(GetFocus(), env.get());
    EXPECT_FALSE(Dialog());
    EXPECT_TRUE(second);
    EXPECT_EQ(openDuringSecond, 1);
    EXPECT_EQ(caption, L"Kestrixｺﾝﾄﾛｰﾙ ﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_EQ(version, L"Ver 1.35");
    EXPECT_EQ(author, L"Kestrix");
    EXPECT_EQ(home, L"https://kestrix.example.org/");
    EXPECT_EQ(mail, L"kestrix@example.org");
    // 7680 x 3555 twips of client area, centred on the screen.
    EXPECT_EQ(client.right, 512);
    EXPECT_EQ(client.bottom, 237);
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - w) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - h) / 2);
}

TEST_F(VersionDialog, EscTheCloseBoxAndOkCloseItAndTheTextBoxesSelectAllOnFocus) {
    LoadText(kForm);
    auto env = TopWindow(kEnvTitle);
    std::vector<std::pair<DWORD, DWORD>> selections;
    std::vector<DWORD> lengths;
    DialogScript esc({
        [&](HWND d) {
            for (int id : {kVdAuthor, kVdHome, kVdMail}) {
                HWND box = GetDlgItem(d, id);
                SendMessageA(box, EM_SETSEL, 0, 0);
                SetFocus(box);
                DWORD from = 0, to = 0;
                SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
                selections.emplace_back(from, to);
                lengths.push_back(static_cast<DWORD>(GetWindowTextLengthA(box)));
            }
            // Esc typed while the dialog has the keyboard.
            PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
            return true;
        },
    });
    EXPECT_HRESULT_SUCCEEDED(About());
    esc.Check();
    EXPECT_FALSE(Dialog());
    ASSERT_EQ(selections.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(selections[i].first, 0u) << "box " << i;
        EXPECT_EQ(selections[i].second, lengths[i]) << "box " << i;
        EXPECT_GT(lengths[i], 0u);
    }

    for (auto close : {+[](HWND d) { PostMessageA(d, WM_CHAR, VK_ESCAPE, 0); },
                       +[](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }}) {
        DialogScript other({[&](HWND d) {
            close(d);
            return true;
        }});
        EXPECT_HRESULT_SUCCEEDED(About());
        other.Check();
        EXPECT_FALSE(Dialog());
        EXPECT_TRUE(IsWindowEnabled(env.get()));
    }
}

TEST_F(VersionDialog, TheFirstEnvironmentWindowInTheSystemsOrderIsTheOneDisabled) {
    LoadText(kForm);
    auto a = TopWindow(L"A - Microsoft Visual Basic [実行]", false);
    auto b = TopWindow(kEnvTitle, false);
    // The order the system enumerates them in, seen independently.
    FirstOf seen{a.get(), b.get(), nullptr};
    EnumWindows(FindFirstOf, reinterpret_cast<LPARAM>(&seen));
    ASSERT_TRUE(seen.first);
    HWND second = seen.first == a.get() ? b.get() : a.get();
    bool firstDisabled = false, secondEnabled = false;
    DialogScript script({[&](HWND d) {
        firstDisabled = !IsWindowEnabled(seen.first);
        secondEnabled = IsWindowEnabled(second) != FALSE;
        SendMessageA(GetDlgItem(d, kVdOk), BM_CLICK, 0, 0);
        return true;
    }});
    EXPECT_HRESULT_SUCCEEDED(About());
    script.Check();
    EXPECT_TRUE(firstDisabled);
    EXPECT_TRUE(secondEnabled);
    EXPECT_TRUE(IsWindowEnabled(seen.first));
}

TEST_F(VersionDialog, AWindowTitledLikeTheDialogThatIsNotOursOpensNothing) {
    LoadText(kForm);
    auto env = TopWindow(kEnvTitle);
    auto impostor = TopWindow(kVerDlgCaption); // as another program's dialog would be
    DialogWatch watch;
    EXPECT_HRESULT_SUCCEEDED(About());
    EXPECT_EQ(watch.created, 0);
    EXPECT_TRUE(IsWindowEnabled(env.get()));
    EXPECT_EQ(DialogsOpen(), 1);
}

TEST_F(VersionDialog, TheHomePageButtonOpensWhatTheHomePageBoxHoldsAndIgnoresFailures) {
    LoadText(kForm);
    auto env = TopWindow(kEnvTitle);
    const std::wstring probe = ExeDir() + L"KxOpenProbe.exe";
    const std::wstring done = ExeDir() + L"KxOpenProbe.done";
    DeleteFileW(done.c_str());
    bool opened = false;
    DialogScript script({
        [&](HWND d) {
            // A place that does not exist: nothing happens, nothing is shown.
            SetWindowTextA(GetDlgItem(d, kVdHome), "Z:\\no such folder\\nothing.exe");
            SendMessageA(GetDlgItem(d, kVdVisit), BM_CLICK, 0, 0);
            SetWindowTextA(GetDlgItem(d, kVdHome), kx::ToAnsi(probe).c_str());
            SendMessageA(GetDlgItem(d, kVdVisit), BM_CLICK, 0, 0);
            return true;
        },
        [&](HWND) { return opened = GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; },
        [&](HWND d) {
            SendMessageA(GetDlgItem(d, kVdOk), BM_CLICK, 0, 0);
            return true;
        },
    });
    EXPECT_HRESULT_SUCCEEDED(About());
    script.Check();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(Boxes().empty());
    DeleteFileW(done.c_str());
}

TEST_F(VersionDialog, TheDesignersAboutEntryShowsItOverTheDesignersWindow) {
    rt_ = std::make_unique<kxhost::Runtime>(kxhost::Mode::Design, L"Demlet1");
    kxhost::Designer designer(*rt_);
    designer.Open(ExeDir() + L"DragDropFrm.frm");
    NoteKestrixLoaded();
    designer.Select(L"Kestrix1");
    bool designerDisabled = false;
    DialogScript script({[&](HWND d) {
        designerDisabled = !IsWindowEnabled(designer.hwnd());
        SendMessageA(GetDlgItem(d, kVdOk), BM_CLICK, 0, 0);
        return true;
    }});
    EXPECT_HRESULT_SUCCEEDED(designer.ShowAbout());
    script.Check();
    EXPECT_TRUE(designerDisabled);
    EXPECT_TRUE(IsWindowEnabled(designer.hwnd()));
}

TEST_F(VersionDialog, TheFirstSavedPropertiesOfTheProcessLoadItOnceUnshown) {
    if (KestrixLoadedInProcess()) GTEST_SKIP() << "needs a process of its own (ctest runs each test alone)";
    auto active = TopWindow(L"Active");
    SetActiveWindow(active.get());
    DialogWatch watch;
    auto form = kxhost::Form::Create(*(rt_ = std::make_unique<kxhost::Runtime>(kxhost::Mode::Run, L"Once")),
                                     kxhost::ParseForm(kForm, L"Once.frm"));
    NoteKestrixLoaded();
    EXPECT_EQ(watch.created, 1);
    EXPECT_EQ(watch.destroyed, 1);
    EXPECT_EQ(watch.activated, 0) << "the unshown dialog took the activation";
    EXPECT_EQ(watch.visibleAtEnd, 0);
    EXPECT_EQ(GetActiveWindow(), active.get());
    EXPECT_FALSE(Dialog());
    // Once per thread's store: a second control of the thread loads nothing.
    auto again = kxhost::Form::Create(*rt_, kxhost::ParseForm(kForm, L"Again.frm"));
    EXPECT_EQ(watch.created, 1);
}
