#include "BoxCatcher.h"
#include <cstddef>

namespace kxtest {

namespace {

std::vector<SeenBox> g_seen;
std::vector<HWND> g_pressed; // boxes already answered, not counted twice

std::wstring TextOf(HWND h) {
    const int n = GetWindowTextLengthW(h);
    std::wstring s(static_cast<size_t>(n > 0 ? n : 0) + 1, L'\0');
    const int got = GetWindowTextW(h, &s[0], n + 1);
    s.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return s;
}

bool VisibleButton(HWND box, int id) {
    HWND b = GetDlgItem(box, id);
    return b && IsWindowVisible(b);
}

// The icon of a message box is a static control showing an icon.
BOOL CALLBACK FindIcon(HWND child, LPARAM out) {
    char cls[16] = {};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        const HICON shown = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
        if (shown && shown == LoadIconW(nullptr, MAKEINTRESOURCEW(32513))) *reinterpret_cast<bool*>(out) = true;
    }
    return TRUE;
}

BOOL CALLBACK FindBox(HWND h, LPARAM) {
    char cls[16] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(h)) return TRUE;
    for (HWND p : g_pressed)
        if (p == h) return TRUE;
    SeenBox b;
    b.title = TextOf(h);
    if (HWND t = GetDlgItem(h, 0xFFFF)) b.text = TextOf(t);
    b.okButton = VisibleButton(h, IDOK);
    b.helpButton = VisibleButton(h, IDHELP);
    b.cancelButton = VisibleButton(h, IDCANCEL);
    EnumChildWindows(h, FindIcon, reinterpret_cast<LPARAM>(&b.stopIcon));
    g_seen.push_back(b);
    g_pressed.push_back(h);
    PostMessageW(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return TRUE;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    // A box that has gone may leave its handle to a later one.
    for (size_t i = g_pressed.size(); i-- > 0;)
        if (!IsWindow(g_pressed[i])) g_pressed.erase(g_pressed.begin() + static_cast<std::ptrdiff_t>(i));
    EnumThreadWindows(GetCurrentThreadId(), FindBox, 0);
}

} // namespace

BoxCatcher::BoxCatcher() : timer_(SetTimer(nullptr, 0, 30, Tick)) {
    g_seen.clear();
    g_pressed.clear();
}

BoxCatcher::~BoxCatcher() {
    if (timer_) KillTimer(nullptr, timer_);
    g_pressed.clear();
}

const std::vector<SeenBox>& BoxCatcher::Seen() const { return g_seen; }

void BoxCatcher::Clear() { g_seen.clear(); }

} // namespace kxtest
