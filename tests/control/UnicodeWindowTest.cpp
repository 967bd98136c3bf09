// Windows of a Unicode class stay Unicode while captured: their text and
// characters arrive whole, GetEvents sees the UTF-16 unit the window gets,
// and an ANSI window is captured as it always was.
#include "KestrixFixture.h"
#include "Ansi.h"
#include "OtherSubclasser.h"

using namespace kxtest;
using kxhost::EventArgs;

namespace {

constexpr UINT kChangeMe = 'q'; // the handler turns this character into kChanged
constexpr WPARAM kChanged = 0x0153; // "œ", outside the ANSI code page
const wchar_t kText[] = L"\uD55C\uAD6D\uC5B4 \U0001F600 \u0153 \u00E9 \u00D1 \u00FA";

// A top-level window of the test's own, of either character set, that notes
// the characters its procedure receives.
class CharWindow {
public:
    explicit CharWindow(bool unicode) {
        if (unicode) {
            static const ATOM wide = [] {
                WNDCLASSW wc{};
                wc.lpfnWndProc = Proc<true>;
                wc.hInstance = GetModuleHandleW(nullptr);
                wc.lpszClassName = L"KxWideWindow";
                return RegisterClassW(&wc);
            }();
            h_ = wide ? CreateWindowExW(0, L"KxWideWindow", L"wide", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr,
                                        nullptr)
                      : nullptr;
        } else {
            static const ATOM ansi = [] {
                WNDCLASSA wc{};
                wc.lpfnWndProc = Proc<false>;
                wc.hInstance = GetModuleHandleA(nullptr);
                wc.lpszClassName = "KxAnsiWindow";
                return RegisterClassA(&wc);
            }();
            h_ = ansi
                ? CreateWindowExA(0, "KxAnsiWindow", "ansi", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr)
                : nullptr;
        }
        chars().clear();
    }
    ~CharWindow() { DestroyWindow(h_); }
    HWND hwnd() const { return h_; }
    static std::vector<WPARAM>& chars() {
        static std::vector<WPARAM> seen;
        return seen;
    }
    std::wstring Text() const {
        wchar_t buf[64] = {};
        GetWindowTextW(h_, buf, 64);
        return buf;
    }

private:
    template <bool Unicode>
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_CHAR) chars().push_back(w);
        return Unicode ? DefWindowProcW(h, m, w, l) : DefWindowProcA(h, m, w, l);
    }
    HWND h_;
};

class UnicodeWindowTest : public KestrixTest {
protected:
    // Captures the window by handle with the given events; every WM_CHAR's
    // Parameter1 is noted, and kChangeMe becomes kChanged.
    void Capture(HWND h, const std::wstring& events) {
        auto& f = Load(L"        Bag targetevents = \"" + events + L"\"\n        Bag debugmode = False\n");
        f.On(L"Kestrix1", L"GetEvents", [this](EventArgs& a) {
            if (a.Long(1) != WM_CHAR) return;
            chars_.push_back(a.LongPtr(2));
            if (a.LongPtr(2) == static_cast<LONG_PTR>(kChangeMe)) a.SetLongPtr(2, static_cast<LONG_PTR>(kChanged));
        });
        K().Let(L"TargetHandle", static_cast<LONG>(reinterpret_cast<LONG_PTR>(h)));
        K().Call(L"EventsStart");
        ASSERT_TRUE(K().Call(L"IsEventsStart").AsBool());
    }
    std::vector<LONG_PTR> chars_;
};

} // namespace

TEST_F(UnicodeWindowTest, AWideWindowKeepsItsCharacterSetTextAndCharactersWhileCaptured) {
    for (const wchar_t* events : {L"ALL", L"'12','258'", L"'15'"}) {
        SCOPED_TRACE(testing::Message() << "TargetEvents " << kx::ToAnsi(events));
        chars_.clear();
        CharWindow w(true);
        ASSERT_TRUE(IsWindowUnicode(w.hwnd()));
        Capture(w.hwnd(), events);
        EXPECT_TRUE(IsWindowUnicode(w.hwnd())) << "the capture made the window ANSI";

        EXPECT_TRUE(SendMessageW(w.hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kText)));
        EXPECT_EQ(w.Text(), kText);
        SendMessageW(w.hwnd(), WM_CHAR, 0xD55C, 0);
        SendMessageW(w.hwnd(), WM_CHAR, kChangeMe, 0);
        const bool watched = std::wstring(events) != L"'15'";
        EXPECT_EQ(CharWindow::chars(), (std::vector<WPARAM>{0xD55C, watched ? kChanged : kChangeMe}));
        if (watched) EXPECT_EQ(chars_, (std::vector<LONG_PTR>{0xD55C, kChangeMe}));
        else EXPECT_TRUE(chars_.empty());

        K().Call(L"EventsStop");
        EXPECT_TRUE(IsWindowUnicode(w.hwnd()));
        EXPECT_EQ(w.Text(), kText);
    }
}

// A handler that passes a wide window's text on itself: the window gets it
// through the wide function, whole, and its answer comes back.
TEST_F(UnicodeWindowTest, CallOriginalHandsAWideWindowItsTextWhole) {
    CharWindow w(true);
    LONG_PTR answer = -1;
    auto& f = Load(L"        Bag targetevents = \"'12'\"\n        Bag debugmode = False\n");
    f.On(L"Kestrix1", L"GetEvents", [&](EventArgs& a) {
        answer = K().Call(L"CallOriginal", {a.Long(1), kxhost::Var::LongPtr(a.LongPtr(2)),
                                            kxhost::Var::LongPtr(a.LongPtr(3))})
                     .AsLongPtr();
    });
    K().Let(L"TargetHandle", static_cast<LONG>(reinterpret_cast<LONG_PTR>(w.hwnd())));
    K().Call(L"EventsStart");
    ASSERT_TRUE(K().Call(L"IsEventsStart").AsBool());
    EXPECT_EQ(SendMessageW(w.hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kText)), TRUE);
    EXPECT_EQ(answer, TRUE);
    EXPECT_EQ(w.Text(), kText);
    K().Call(L"EventsStop");
    EXPECT_TRUE(IsWindowUnicode(w.hwnd()));
}

TEST_F(UnicodeWindowTest, AnAnsiWindowStaysAnsiAndGetsItsCharactersAsBefore) {
    CharWindow w(false);
    Capture(w.hwnd(), L"ALL");
    EXPECT_FALSE(IsWindowUnicode(w.hwnd()));
    SendMessageA(w.hwnd(), WM_CHAR, 'a', 0);
    SendMessageA(w.hwnd(), WM_CHAR, kChangeMe, 0);
    EXPECT_EQ(chars_, (std::vector<LONG_PTR>{'a', kChangeMe}));
    // The changed value reaches the window as set.
    EXPECT_EQ(CharWindow::chars(), (std::vector<WPARAM>{'a', kChanged}));
    K().Call(L"EventsStop");
    EXPECT_FALSE(IsWindowUnicode(w.hwnd()));
}

// Another subclasser hooks the wide window with the ANSI functions above the
// capture, and stops the plain way after EventsStop: the window keeps its
// messages throughout and is a wide window with its own procedure in the end.
TEST_F(UnicodeWindowTest, AWideWindowUnderAnAnsiSubclasserIsHandedBackWide) {
    CharWindow w(true);
    const LONG_PTR own = GetWindowLongPtrW(w.hwnd(), GWLP_WNDPROC);
    Capture(w.hwnd(), L"ALL");
    auto other = std::make_unique<OtherSubclasser>(w.hwnd(), WM_CHAR);
    SendMessageA(w.hwnd(), WM_CHAR, 'b', 0);
    K().Call(L"EventsStop");
    SendMessageA(w.hwnd(), WM_CHAR, 'c', 0);
    other.reset();
    SendMessageW(w.hwnd(), WM_CHAR, 0xD55C, 0);
    EXPECT_EQ(chars_, (std::vector<LONG_PTR>{'b'}));
    EXPECT_EQ(CharWindow::chars(), (std::vector<WPARAM>{'b', 'c', 0xD55C}));
    EXPECT_TRUE(IsWindowUnicode(w.hwnd()));
    EXPECT_EQ(GetWindowLongPtrW(w.hwnd(), GWLP_WNDPROC), own) << "the window was not handed back its procedure";
    EXPECT_TRUE(SendMessageW(w.hwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kText)));
    EXPECT_EQ(w.Text(), kText);
}
