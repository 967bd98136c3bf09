#include "MessageBoxes.h"

#include <algorithm>

namespace kxtest {

namespace {

std::wstring g_title;
std::vector<SeenBox> g_seen;
std::vector<HWND> g_answered; // boxes already read, not counted twice
std::function<void(HWND)> g_onNew;

std::wstring TextOf(HWND h) {
    const int n = GetWindowTextLengthW(h);
    std::wstring s(static_cast<size_t>(n > 0 ? n : 0) + 1, L'\0');
    const int got = GetWindowTextW(h, &s[0], n + 1);
    s.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return s;
}

bool IsClass(HWND h, const char* name) {
    char cls[32] = {};
    GetClassNameA(h, cls, sizeof cls);
    return lstrcmpiA(cls, name) == 0;
}

bool VisibleButton(HWND box, int id) {
    HWND b = GetDlgItem(box, id);
    return b && IsWindowVisible(b);
}

// A box's statics: the icon it shows, and its texts.
BOOL CALLBACK ReadStatic(HWND child, LPARAM out) {
    if (!IsClass(child, "Static")) return TRUE;
    SeenBox& b = *reinterpret_cast<SeenBox*>(out);
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        const HICON shown = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        const struct {
            LPCWSTR id;
            UINT flag;
        } icons[] = {{MAKEINTRESOURCEW(32513), MB_ICONHAND},
                     {MAKEINTRESOURCEW(32515), MB_ICONEXCLAMATION},
                     {MAKEINTRESOURCEW(32516), MB_ICONASTERISK},
                     {MAKEINTRESOURCEW(32514), MB_ICONQUESTION}};
        for (const auto& i : icons)
            if (shown && shown == LoadIconW(nullptr, i.id)) b.icon = i.flag;
    } else if (!GetDlgItem(GetParent(child), 0xFFFF)) {
        b.text += TextOf(child);
    }
    return TRUE;
}

BOOL CALLBACK AnswerBox(HWND h, LPARAM) {
    if (!IsClass(h, "#32770") || !IsWindowVisible(h)) return TRUE;
    const std::wstring title = TextOf(h);
    if (!g_title.empty() && title != g_title) return TRUE;
    if (std::find(g_answered.begin(), g_answered.end(), h) == g_answered.end()) {
        g_answered.push_back(h);
        SeenBox b;
        b.title = title;
        // A message box shows its prompt in a static control with id 0xFFFF.
        if (HWND prompt = GetDlgItem(h, 0xFFFF)) b.text = TextOf(prompt);
        b.okButton = VisibleButton(h, IDOK);
        b.helpButton = VisibleButton(h, IDHELP);
        b.cancelButton = VisibleButton(h, IDCANCEL);
        EnumChildWindows(h, ReadStatic, reinterpret_cast<LPARAM>(&b));
        b.stopIcon = b.icon == MB_ICONHAND;
        g_seen.push_back(b);
        if (g_onNew) g_onNew(h);
    }
    // Again at every tick until it has gone: a box busy when the first came still closes.
    PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return TRUE;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { BoxAnswerer::AnswerOpenBoxes(); }

} // namespace

BoxAnswerer::BoxAnswerer(std::wstring title) : timer_(SetTimer(nullptr, 0, 30, Tick)) {
    g_title = std::move(title);
    g_seen.clear();
    g_answered.clear();
}

BoxAnswerer::~BoxAnswerer() {
    if (timer_) KillTimer(nullptr, timer_);
    g_answered.clear();
    g_onNew = nullptr;
}

void BoxAnswerer::OnNewBox(std::function<void(HWND)> action) { g_onNew = std::move(action); }

const std::vector<SeenBox>& BoxAnswerer::Seen() const { return g_seen; }

void BoxAnswerer::Clear() { g_seen.clear(); }

void BoxAnswerer::AnswerOpenBoxes() {
    // A box that has gone may leave its handle to a later one.
    g_answered.erase(std::remove_if(g_answered.begin(), g_answered.end(), [](HWND h) { return !IsWindow(h); }),
                     g_answered.end());
    EnumThreadWindows(GetCurrentThreadId(), AnswerBox, 0);
}

} // namespace kxtest
