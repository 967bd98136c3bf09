// The replacement window procedures of a capture session. The path of an
// unwatched message is one table look-up, one set look-up and the call to
// the previous procedure; tracing and the call-back run only for watched ones.
#include "KestrixBas.h"

namespace {

constexpr LONG kDropFiles = WM_DROPFILES;
constexpr DWORD kFailedLastError = 0xFFFFFFFFu;

enum class Source { Control, Handle };

// Runs the trace line and the call-back of a watched message. False when
// either failed; cancel tells whether the message is to be swallowed. The
// call-back may change the message and its parameters through the references.
bool Deliver(Source src, HWND h, LONG& msg, LONG_PTR& wp, LONG_PTR& lp, bool& cancel) noexcept {
    try {
        if (gFn_Engine().g_DebugMode && gFn_Engine().g_DebugOpen) {
            const bool written =
                src == Source::Control ? gFn_DebugControlLine(h, msg, wp, lp) : gFn_DebugHandleLine(h, msg, wp, lp);
            if (!written) return false;
        }
        LONG_PTR hwnd = reinterpret_cast<LONG_PTR>(h);
        return SUCCEEDED(gFn_Engine().g_CallbackCtl.DoGetEvents(&hwnd, &msg, &wp, &lp, &cancel));
    } catch (...) {
        return false; // the error path: the session ends, the message goes on
    }
}

LRESULT PassOn(WNDPROC prev, HWND h, LONG msg, LONG_PTR wp, LONG_PTR lp) {
    return CallWindowProcA(prev, h, static_cast<UINT>(msg), static_cast<WPARAM>(wp), static_cast<LPARAM>(lp));
}

} // namespace

LRESULT CALLBACK gFn_CallProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    // Taken at arrival: if the call-back ends the session, the message still
    // reaches the procedure the window had when it came.
    const WNDPROC prev = gFn_PrevProc(h);
    if (!prev) return gFn_PassLeftover(gFn_CallProc, h, m, w, l);
    LONG msg = static_cast<LONG>(m);
    LONG_PTR wp = static_cast<LONG_PTR>(w), lp = l;

    if (gFn_Engine().g_TargetEvents.watches(msg) || (gFn_Engine().g_FileDropMode && msg == kDropFiles)) {
        bool cancel = false;
        if (!Deliver(Source::Control, h, msg, wp, lp, cancel)) {
            // Inside the development environment the session survives a
            // failing handler, so that the developer can go on debugging.
            if (!gFn_Engine().g_InDevEnv) gFn_SubClassOff();
            return PassOn(prev, h, msg, wp, lp);
        }
        if (cancel) return 0;
    }

    // Only the passed-on procedure's own failure counts: a code left by an
    // earlier call of the thread (under Wine an idle PeekMessage leaves -1)
    // must not end the session.
    SetLastError(ERROR_SUCCESS);
    const LRESULT result = PassOn(prev, h, msg, wp, lp);
    // The message has been passed on once already: end the session, do not repeat it.
    if (GetLastError() == kFailedLastError && !gFn_Engine().g_InDevEnv) gFn_SubClassOff();
    return result;
}

LRESULT CALLBACK gFn_CallProcHandle(HWND h, UINT m, WPARAM w, LPARAM l) {
    const WNDPROC prev = gFn_Engine().g_PrevHandleProc;
    if (!prev || h != gFn_Engine().g_PrevHandleHwnd) return gFn_PassLeftover(gFn_CallProcHandle, h, m, w, l);
    LONG msg = static_cast<LONG>(m);
    LONG_PTR wp = static_cast<LONG_PTR>(w), lp = l;

    if (gFn_Engine().g_TargetEvents.watches(msg)) {
        bool cancel = false;
        if (!Deliver(Source::Handle, h, msg, wp, lp, cancel)) {
            gFn_SubClassOff();
            return PassOn(prev, h, msg, wp, lp);
        }
        if (cancel) return 0;
    }
    return PassOn(prev, h, msg, wp, lp);
}

LRESULT CALLBACK gFn_PassProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return CallWindowProcA(gFn_Engine().g_ProbePrevProc, h, m, w, l);
}

bool gFn_ProbeWindow(HWND h) noexcept {
    // Known before the swap, so a message that comes in between (from
    // another thread of the process) is not lost.
    gFn_Engine().g_ProbePrevProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC));
    const LONG_PTR prev = SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gFn_PassProc));
    if (!prev) return false;
    SetWindowLongPtrA(h, GWLP_WNDPROC, prev);
    return true;
}
