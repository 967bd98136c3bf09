// The replacement window procedures of a capture session. The path of an
// unwatched message is one table look-up, one set look-up and the call to
// the previous procedure; tracing and the call-back run only for watched ones.
// Each procedure comes in the ANSI and the wide form, for the character set
// of the window it replaces.
#include "KestrixBas.h"
#include "CharSetProcs.h"
#include "ScopedSlot.h"
#include "SrwGuard.h"
#include <type_traits>

namespace {

constexpr LONG kDropFiles = WM_DROPFILES;
constexpr DWORD kFailedLastError = 0xFFFFFFFFu;

// Passes a message on to the procedure a window had before ours: the one
// call for the engine and for a handler's CallOriginal. On a target
// control's window only the passed-on procedure's own failure counts (under
// Wine an idle PeekMessage leaves -1 as the thread's code): it ends the
// session, without repeating the message, unless the control runs in the
// development environment. The procedure may have ended the state: it is
// asked again.
template <class Procs>
LRESULT PassOn(bool controlWindow, WNDPROC prev, HWND h, UINT m, WPARAM w, LPARAM l) {
    if (!controlWindow) return Procs::Call(prev, h, m, w, l);
    SetLastError(ERROR_SUCCESS);
    const LRESULT result = Procs::Call(prev, h, m, w, l);
    if (GetLastError() == kFailedLastError) {
        const EngineState* const now = gFn_EngineIfAny();
        if (now && !now->g_InDevEnv) gFn_SubClassOff();
    }
    return result;
}

// Runs the trace line and the call-back of a watched message. False when
// either failed; cancel tells whether the message is to be swallowed. The
// call-back may change the message and its parameters through the references.
// The target control is looked up once, for the line and for the event.
bool Deliver(EngineState& e, Delivery& d, LONG& msg, LONG_PTR& wp, LONG_PTR& lp, bool& cancel) noexcept {
    try {
        d.control = gFn_TargetCtl(e, d.hwnd);
        if (e.g_DebugMode && e.g_DebugOpen) {
            const bool written = d.controlWindow ? gFn_DebugControlLine(e, d.control, msg, wp, lp)
                                                 : gFn_DebugHandleLine(e, d.hwnd, msg, wp, lp);
            if (!written) return false;
        }
        const kx::ScopedSlot<Delivery> innermost(e.delivery, &d);
        LONG_PTR hwnd = reinterpret_cast<LONG_PTR>(d.hwnd);
        return SUCCEEDED(e.g_CallbackCtl.DoGetEvents(&hwnd, &msg, &wp, &lp, &cancel));
    } catch (...) {
        return false; // the error path: the session ends, the message goes on
    }
}

// A watched message: true when it is answered here, with d.returnValue
// (swallowed, or passed on by the handler through CallOriginal: never a
// second time). The state is held for the delivery, since the handler may
// end the thread's last instance; after this the state may be gone. A
// failed delivery ends the session unless it is to survive a failing
// handler (the development environment, for the controls' windows).
template <class Procs>
bool Answered(EngineState& e, Delivery& d, LONG& msg, LONG_PTR& wp, LONG_PTR& lp) noexcept {
    d.message = true;
    d.unicode = std::is_same_v<Procs, WideProcs>;
    const EngineHold hold(e);
    bool cancel = false;
    const bool delivered = Deliver(e, d, msg, wp, lp, cancel);
    if (!delivered && (!d.controlWindow || !e.g_InDevEnv)) gFn_SubClassOff();
    return d.calledOriginal || (delivered && cancel);
}

template <class Procs>
LRESULT ControlProc(WNDPROC ours, HWND h, UINT m, WPARAM w, LPARAM l) {
    EngineState* const e = gFn_EngineIfAny();
    // Taken at arrival: if the call-back ends the session, the message still
    // reaches the procedure the window had when it came.
    const WNDPROC prev = e ? e->PrevProcOf(h) : nullptr;
    if (!prev) return gFn_PassLeftover(ours, h, m, w, l);
    LONG msg = static_cast<LONG>(m);
    LONG_PTR wp = static_cast<LONG_PTR>(w), lp = l;

    if (e->g_TargetEvents.watches(msg) || (e->g_FileDropMode && msg == kDropFiles)) {
        Delivery d;
        d.hwnd = h;
        d.prev = prev;
        d.controlWindow = true;
        if (Answered<Procs>(*e, d, msg, wp, lp)) return d.returnValue;
    }
    return PassOn<Procs>(true, prev, h, static_cast<UINT>(msg), static_cast<WPARAM>(wp), lp);
}

template <class Procs>
LRESULT HandleProc(WNDPROC ours, HWND h, UINT m, WPARAM w, LPARAM l) {
    EngineState* const e = gFn_EngineIfAny();
    const WNDPROC prev = e && h == e->prevHandleHwnd ? e->g_PrevHandleProc : nullptr;
    if (!prev) return gFn_PassLeftover(ours, h, m, w, l);
    LONG msg = static_cast<LONG>(m);
    LONG_PTR wp = static_cast<LONG_PTR>(w), lp = l;
    if (e->g_TargetEvents.watches(msg)) {
        Delivery d;
        d.hwnd = h;
        d.prev = prev;
        if (Answered<Procs>(*e, d, msg, wp, lp)) return d.returnValue;
    }
    return PassOn<Procs>(false, prev, h, static_cast<UINT>(msg), static_cast<WPARAM>(wp), lp);
}

// The procedure of the window being probed; messages that arrive during
// the probe (on the window's own thread, which may be another) go there
// unchanged. One probe at a time in the process.
SRWLOCK g_ProbeLock = SRWLOCK_INIT;
WNDPROC g_ProbePrevProc = nullptr;

template <class Procs>
bool Probe(HWND h, WNDPROC pass) noexcept {
    const kx::SrwGuard guard(g_ProbeLock);
    // Known before the swap, so that a message that comes in between is not lost.
    g_ProbePrevProc = Procs::Get(h);
    const WNDPROC prev = Procs::Set(h, pass);
    if (prev) Procs::Set(h, prev);
    return prev != nullptr;
}

} // namespace

LRESULT CALLBACK gFn_CallProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return ControlProc<AnsiProcs>(gFn_CallProc, h, m, w, l);
}
LRESULT CALLBACK gFn_CallProcW(HWND h, UINT m, WPARAM w, LPARAM l) {
    return ControlProc<WideProcs>(gFn_CallProcW, h, m, w, l);
}
LRESULT CALLBACK gFn_CallProcHandle(HWND h, UINT m, WPARAM w, LPARAM l) {
    return HandleProc<AnsiProcs>(gFn_CallProcHandle, h, m, w, l);
}
LRESULT CALLBACK gFn_CallProcHandleW(HWND h, UINT m, WPARAM w, LPARAM l) {
    return HandleProc<WideProcs>(gFn_CallProcHandleW, h, m, w, l);
}

LRESULT CALLBACK gFn_PassProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return CallWindowProcA(g_ProbePrevProc, h, m, w, l);
}
LRESULT CALLBACK gFn_PassProcW(HWND h, UINT m, WPARAM w, LPARAM l) {
    return CallWindowProcW(g_ProbePrevProc, h, m, w, l);
}

Delivery* gFn_CurrentMessage() noexcept {
    EngineState* const e = gFn_EngineIfAny();
    Delivery* const d = e ? e->delivery : nullptr;
    return d && d->message ? d : nullptr;
}

LRESULT gFn_CallOriginal(Delivery& d, LONG msg, LONG_PTR wp, LONG_PTR lp) noexcept {
    const UINT m = static_cast<UINT>(msg);
    const WPARAM w = static_cast<WPARAM>(wp);
    d.returnValue = d.unicode ? PassOn<WideProcs>(d.controlWindow, d.prev, d.hwnd, m, w, lp)
                              : PassOn<AnsiProcs>(d.controlWindow, d.prev, d.hwnd, m, w, lp);
    d.calledOriginal = true;
    return d.returnValue;
}

Delivery* gFn_TakeDelivery(HWND h) noexcept {
    Delivery* const d = gFn_CurrentMessage();
    if (!d || d->taken || d->hwnd != h) return nullptr;
    d->taken = true;
    return d;
}

bool gFn_ProbeWindow(HWND h) noexcept {
    return IsWindowUnicode(h) ? Probe<WideProcs>(h, gFn_PassProcW) : Probe<AnsiProcs>(h, gFn_PassProc);
}
