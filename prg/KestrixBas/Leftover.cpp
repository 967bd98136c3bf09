// Windows whose capture procedure could not be taken back at removal,
// because another subclasser hooked them after us and still holds our
// procedure as the one it passes on to. Putting the recorded procedure
// back over that subclasser would cut it off, or reinstate a procedure of
// a library that has gone; so such a window keeps our procedure as a pure
// pass-through to what it had before, and is handed back properly once it
// runs our procedure again. The records are the process's, not a thread's:
// they outlive the sessions, and any thread may ask for them.
#include "KestrixBas.h"
#include "CharSetProcs.h"
#include "SrwGuard.h"
#include <algorithm>

namespace {

struct Leftover {
    HWND hwnd;
    WNDPROC ours; // one of the capture procedures, of the window's character set
    WNDPROC prev; // what the window ran before our procedure
};

SRWLOCK g_Lock = SRWLOCK_INIT;
std::vector<Leftover> g_Leftovers;

std::vector<Leftover>::iterator Find(HWND h, WNDPROC ours) {
    return std::find_if(g_Leftovers.begin(), g_Leftovers.end(),
                        [&](const Leftover& l) { return l.hwnd == h && l.ours == ours; });
}

bool IsWide(WNDPROC ours) { return ours == gFn_CallProcW || ours == gFn_CallProcHandleW; }

} // namespace

bool gFn_HandBack(HWND h, WNDPROC ours, WNDPROC prev) noexcept {
    const bool unicode = IsWide(ours);
    if (GetProcOf(h, unicode) != ours) return false;
    SetProcOf(h, prev, unicode);
    return true;
}

void gFn_LeaveHooked(HWND h, WNDPROC ours, WNDPROC prev) {
    // A window that is gone calls nothing any more.
    if (!IsWindow(h)) return;
    const kx::SrwGuard guard(g_Lock);
    const auto at = Find(h, ours);
    if (at != g_Leftovers.end()) at->prev = prev;
    else g_Leftovers.push_back({h, ours, prev});
}

WNDPROC gFn_TakeLeftover(HWND h, WNDPROC ours) noexcept {
    const kx::SrwGuard guard(g_Lock);
    const auto at = Find(h, ours);
    if (at == g_Leftovers.end()) return nullptr;
    const WNDPROC prev = at->prev;
    g_Leftovers.erase(at);
    return prev;
}

void gFn_SweepLeftovers() noexcept {
    const kx::SrwGuard guard(g_Lock);
    g_Leftovers.erase(
        std::remove_if(g_Leftovers.begin(), g_Leftovers.end(),
                       [](const Leftover& l) { return !IsWindow(l.hwnd) || gFn_HandBack(l.hwnd, l.ours, l.prev); }),
        g_Leftovers.end());
    // None left: nothing of the table stays either.
    if (g_Leftovers.empty()) g_Leftovers.shrink_to_fit();
}

bool gFn_LeftoversRemain() noexcept {
    gFn_SweepLeftovers();
    const kx::SrwGuard guard(g_Lock);
    return !g_Leftovers.empty();
}

LRESULT gFn_PassLeftover(WNDPROC ours, HWND h, UINT m, WPARAM w, LPARAM l) {
    WNDPROC prev = nullptr;
    {
        const kx::SrwGuard guard(g_Lock);
        const auto at = Find(h, ours);
        // A window we have no record of: nothing to pass the message to.
        if (at == g_Leftovers.end()) return 0;
        prev = at->prev;
        // The subclasser above us has gone and left our procedure on top: the
        // window gets its own procedure back now.
        if (gFn_HandBack(h, ours, prev) || m == WM_NCDESTROY) g_Leftovers.erase(at);
    }
    return CallProcOf(IsWide(ours), prev, h, m, w, l);
}
