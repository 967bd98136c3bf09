// Installing and removing the capture session: every target window gets a
// replacement procedure, and every one is handed back on removal.
#include "KestrixBas.h"
#include "ErrorTexts.h"
#include "ByName.h"
#include "CharSetProcs.h"
#include <shellapi.h>
#include <algorithm>
#include <utility>

namespace {

void IndexAdd(EngineSession& s, HWND h, WNDPROC prev, bool unicode) {
    if (!s.Replaced(h)) s.replacedIndex.insert(s.IndexAt(h), {h, prev, unicode});
}

// A window that already stands earlier in the tables keeps the one
// replacement it got there, so it is handed back what it had before.
bool ReplacedEarlier(const EngineSession& s, size_t i) {
    for (size_t j = 0; j < i && j < s.g_PrevProcs.size(); ++j)
        if (s.g_PrevProcs[j] && s.g_CtlHwnds.at(j) == s.g_CtlHwnds.at(i)) return true;
    return false;
}

// Our procedure on a window, in the window's character set (as it is when
// ours goes on). A window that still holds ours from an earlier session,
// below another subclasser, is captured through that one again: hooking it
// a second time would send each message through us twice.
WNDPROC Hook(HWND h, WNDPROC ansi, WNDPROC wide, bool& unicode) {
    unicode = IsWindowUnicode(h) != FALSE;
    const WNDPROC ours = unicode ? wide : ansi;
    if (const WNDPROC prev = gFn_TakeLeftover(h, ours)) return prev;
    // A leftover of the other character set is still our procedure.
    if (const WNDPROC prev = gFn_TakeLeftover(h, unicode ? ansi : wide)) {
        unicode = !unicode;
        return prev;
    }
    return SetProcOf(h, ours, unicode);
}

// Removal of one window: its recorded procedure goes back only while the
// window runs ours; else whoever hooked it after us keeps passing messages
// through ours, which passes them on unchanged.
void Unhook(HWND h, WNDPROC ours, WNDPROC prev) {
    if (!gFn_HandBack(h, ours, prev)) gFn_LeaveHooked(h, ours, prev);
}

// A window that cannot be taken: everything is undone, then reported.
bool Refuse(EngineState& e, LONG number, const std::wstring& text) {
    gFn_SubClassOff();
    e.g_CallbackCtl.ErrMsg(number, text, 100);
    return false;
}

bool Install(EngineState& e) {
    gFn_SweepLeftovers();
    if (e.g_DebugMode) gFn_DebugOpen(); // without a trace the capture still runs

    kx::AutomationError err;
    bool dropMode = false;
    if (FAILED(e.g_CallbackCtl.FileDropMode(&dropMode, &err))) throw kx::RaisedError(err);
    e.g_FileDropMode = dropMode;
    e.dropsAccepted = dropMode;

    if (e.g_TargetHandle != 0) {
        const HWND h = reinterpret_cast<HWND>(e.g_TargetHandle);
        if (gFn_OnAnotherThread(h)) return Refuse(e, kestrix::kErrCaptureFailed, kestrix::kMsgCaptureFailed);
        if (e.g_FileDropMode) DragAcceptFiles(h, TRUE);
        e.g_PrevHandleProc = Hook(h, gFn_CallProcHandle, gFn_CallProcHandleW, e.prevHandleUnicode);
        if (!e.g_PrevHandleProc) return Refuse(e, kestrix::kErrTargetHandleInvalid, kestrix::kMsgTargetHandleInvalid);
        e.prevHandleHwnd = h;
    }

    e.g_PrevProcs.assign(1, nullptr);
    e.replacedIndex.clear();
    if (e.g_TargetControls != Def_NothingText) {
        for (size_t i = 0; i < e.g_Ctls.size(); ++i) {
            const HWND h = e.g_CtlHwnds.at(i);
            if (e.g_FileDropMode) DragAcceptFiles(h, TRUE);
            if (e.g_PrevProcs.size() < i + 1) e.g_PrevProcs.resize(i + 1, nullptr);
            if (ReplacedEarlier(e, i)) continue;
            if (gFn_OnAnotherThread(h)) return Refuse(e, kestrix::kErrCaptureFailed, kestrix::kMsgCaptureFailed);
            bool unicode = false;
            e.g_PrevProcs[i] = Hook(h, gFn_CallProc, gFn_CallProcW, unicode);
            if (!e.g_PrevProcs[i])
                return Refuse(e, kestrix::kErrControlInvalid,
                              kx::byname::NameOf(e.g_Ctls[i].Get()) + kestrix::kMsgControlInvalidTail);
            IndexAdd(e, h, e.g_PrevProcs[i], unicode);
        }
    }

    // Started only when every target control got its entry.
    e.g_EventsStarted = e.g_PrevProcs.size() == e.g_Ctls.size();
    return e.g_EventsStarted;
}

} // namespace

bool gFn_SubClassOn() {
    try {
        return Install(gFn_Engine());
    } catch (const std::exception& ex) {
        // The trap of the install: undo, then report the failure as it is. At
        // run time that report raises, and the raise leaves to our caller.
        const kx::AutomationError err = kx::ErrorFromException(ex);
        gFn_SubClassOff();
        gFn_Engine().g_CallbackCtl.ErrMsg(err.number, err.description, 0);
        return false;
    }
}

void gFn_ResetTargets() {
    EngineSession& s = gFn_Engine();
    s.g_Ctls.assign(1, nullptr);
    s.g_CtlHwnds.assign(1, nullptr);
    s.g_PrevProcs.assign(1, nullptr);
}

bool gFn_OnAnotherThread(HWND h) noexcept {
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(h, &process);
    return thread != 0 && process == GetCurrentProcessId() && thread != GetCurrentThreadId();
}

void gFn_AddTarget(kx::ComPtr<IDispatch> ctl, HWND h) {
    EngineSession& s = gFn_Engine();
    if (s.g_Ctls.size() == 1 && !s.g_Ctls[0]) {
        s.g_Ctls[0] = std::move(ctl);
        s.g_CtlHwnds.assign(1, h);
        return;
    }
    s.g_Ctls.push_back(std::move(ctl));
    s.g_CtlHwnds.push_back(h);
}

void gFn_SubClassOff() noexcept {
    EngineState* const state = gFn_EngineIfAny();
    if (!state) return;
    EngineState& e = *state;
    try {
        // Every recorded procedure goes back, whatever TargetControls says
        // now: a form loaded during the capture may have set "(Nothing)".
        // Without controls at install the table holds none.
        for (size_t i = 0; i < e.g_PrevProcs.size(); ++i) {
            if (!e.g_PrevProcs[i]) continue;
            const HWND h = e.g_CtlHwnds.at(i);
            const ReplacedWindow* const r = e.Replaced(h);
            const bool unicode = r && r->unicode;
            Unhook(h, unicode ? gFn_CallProcW : gFn_CallProc, e.g_PrevProcs[i]);
            e.g_PrevProcs[i] = nullptr;
            if (e.dropsAccepted) DragAcceptFiles(h, FALSE);
        }
        if (e.g_PrevHandleProc) {
            Unhook(e.prevHandleHwnd, e.prevHandleUnicode ? gFn_CallProcHandleW : gFn_CallProcHandle,
                   e.g_PrevHandleProc);
            e.g_PrevHandleProc = nullptr;
            if (e.dropsAccepted) DragAcceptFiles(e.prevHandleHwnd, FALSE);
            e.prevHandleHwnd = nullptr;
        }
    } catch (...) {
        // What could not be undone stays as it is; the session still ends.
    }
    e.replacedIndex.clear();
    gFn_SweepLeftovers();
    gFn_DebugClose();
    e.g_EventsStarted = false;
}
