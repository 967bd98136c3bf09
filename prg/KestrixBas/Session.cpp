// Installing and removing the capture session: every target window gets a
// replacement procedure, and every one is handed back on removal.
#include "KestrixBas.h"
#include "ErrorTexts.h"
#include "ByName.h"
#include <shellapi.h>
#include <algorithm>
#include <utility>

namespace {

WNDPROC Replace(HWND h, WNDPROC proc) {
    return reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

bool TargetsControls() { return g_TargetControls != Def_NothingText; }

// Whether the install let the windows accept dropped files: the removal
// takes it back even if a form loaded meanwhile changed FileDropMode.
bool g_DropsAccepted = false;

// The replaced windows sorted by handle, so that finding a window's previous
// procedure on every message costs the same however many targets there are.
// It mirrors the nonzero entries of g_PrevProcs (the first entry of a window).
std::vector<std::pair<HWND, WNDPROC>> g_PrevProcIndex;

void IndexAdd(HWND h, WNDPROC prev) {
    const auto at = std::lower_bound(g_PrevProcIndex.begin(), g_PrevProcIndex.end(), h,
                                     [](const std::pair<HWND, WNDPROC>& e, HWND k) { return e.first < k; });
    if (at == g_PrevProcIndex.end() || at->first != h) g_PrevProcIndex.insert(at, {h, prev});
}

// A window that already stands earlier in the tables keeps the one
// replacement it got there, so it is handed back what it had before.
bool ReplacedEarlier(size_t i) {
    for (size_t j = 0; j < i && j < g_PrevProcs.size(); ++j)
        if (g_PrevProcs[j] && g_CtlHwnds.at(j) == g_CtlHwnds.at(i)) return true;
    return false;
}

// Our procedure on a window. A window that still holds it from an earlier
// session, below another subclasser, is captured through that one again:
// hooking it a second time would send each message through us twice.
WNDPROC Hook(HWND h, WNDPROC ours) {
    if (const WNDPROC prev = gFn_TakeLeftover(h, ours)) return prev;
    return Replace(h, ours);
}

// Removal of one window: its recorded procedure goes back only while the
// window runs ours; else whoever hooked it after us keeps passing messages
// through ours, which passes them on unchanged.
void Unhook(HWND h, WNDPROC ours, WNDPROC prev) {
    if (!gFn_HandBack(h, ours, prev)) gFn_LeaveHooked(h, ours, prev);
}

bool Install() {
    gFn_SweepLeftovers();
    if (g_DebugMode) gFn_DebugOpen(); // without a trace the capture still runs

    kx::AutomationError err;
    bool dropMode = false;
    if (FAILED(g_CallbackCtl.FileDropMode(&dropMode, &err))) throw kx::RaisedError(err);
    g_FileDropMode = dropMode;
    g_DropsAccepted = dropMode;

    if (g_TargetHandle != 0) {
        const HWND h = reinterpret_cast<HWND>(g_TargetHandle);
        if (g_FileDropMode) DragAcceptFiles(h, TRUE);
        g_PrevHandleProc = Hook(h, gFn_CallProcHandle);
        if (!g_PrevHandleProc) {
            gFn_SubClassOff();
            g_CallbackCtl.ErrMsg(kestrix::kErrTargetHandleInvalid, kestrix::kMsgTargetHandleInvalid, 100);
            return false;
        }
        g_PrevHandleHwnd = h;
    }

    g_PrevProcs.assign(1, nullptr);
    g_PrevProcIndex.clear();
    if (TargetsControls()) {
        for (size_t i = 0; i < g_Ctls.size(); ++i) {
            const HWND h = g_CtlHwnds.at(i);
            if (g_FileDropMode) DragAcceptFiles(h, TRUE);
            if (g_PrevProcs.size() < i + 1) g_PrevProcs.resize(i + 1, nullptr);
            if (ReplacedEarlier(i)) continue;
            g_PrevProcs[i] = Hook(h, gFn_CallProc);
            if (g_PrevProcs[i]) IndexAdd(h, g_PrevProcs[i]);
            if (!g_PrevProcs[i]) {
                gFn_SubClassOff();
                g_CallbackCtl.ErrMsg(kestrix::kErrControlInvalid,
                                     kx::byname::NameOf(g_Ctls[i].Get()) + kestrix::kMsgControlInvalidTail, 100);
                return false;
            }
        }
    }

    g_EventsStarted = true;
    return true;
}

} // namespace

bool gFn_SubClassOn() {
    try {
        return Install();
    } catch (const std::exception& e) {
        // The trap of the install: undo, then report the failure as it is. At
        // run time that report raises, and the raise leaves to our caller.
        const kx::AutomationError err = kx::ErrorFromException(e);
        gFn_SubClassOff();
        g_CallbackCtl.ErrMsg(err.number, err.description, 0);
        return false;
    }
}

void gFn_ResetTargets() {
    g_Ctls.assign(1, nullptr);
    g_CtlHwnds.assign(1, nullptr);
    g_PrevProcs.assign(1, nullptr);
}

void gFn_SubClassOff() noexcept {
    try {
        // Every recorded procedure goes back, whatever TargetControls says
        // now: a form loaded during the capture may have set "(Nothing)".
        // Without controls at install the table holds none.
        for (size_t i = 0; i < g_PrevProcs.size(); ++i) {
            if (!g_PrevProcs[i]) continue;
            const HWND h = g_CtlHwnds.at(i);
            Unhook(h, gFn_CallProc, g_PrevProcs[i]);
            g_PrevProcs[i] = nullptr;
            if (g_DropsAccepted) DragAcceptFiles(h, FALSE);
        }
        if (g_PrevHandleProc) {
            Unhook(g_PrevHandleHwnd, gFn_CallProcHandle, g_PrevHandleProc);
            g_PrevHandleProc = nullptr;
            if (g_DropsAccepted) DragAcceptFiles(g_PrevHandleHwnd, FALSE);
            g_PrevHandleHwnd = nullptr;
        }
    } catch (...) {
        // What could not be undone stays as it is; the session still ends.
    }
    g_PrevProcIndex.clear();
    gFn_SweepLeftovers();
    gFn_DebugClose();
    g_EventsStarted = false;
}

WNDPROC gFn_PrevProc(HWND h) noexcept {
    const auto at = std::lower_bound(g_PrevProcIndex.begin(), g_PrevProcIndex.end(), h,
                                     [](const std::pair<HWND, WNDPROC>& e, HWND k) { return e.first < k; });
    return at != g_PrevProcIndex.end() && at->first == h ? at->second : nullptr;
}
