// KestrixBas: the capture engine of the Kestrix control.
//
// One store and one capture session per user-interface thread (EngineState),
// shared by every Kestrix instance of that thread and used only on it. What
// the threads share is locked: the records of windows left hooked, the open
// trace files and the probe of a window. The engine reaches the control only
// by member name on g_CallbackCtl (DoGetEvents, gFn_ErrMsg, FileDropMode,
// Name).
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <optional>
#include <string>
#include <vector>

#include "ComPtr.h"
#include "EngineState.h"
#include "ScopedSlot.h"

// ---- The window-message catalogue -------------------------------------
extern const wchar_t Def_AllEventsName[];
extern const wchar_t Def_AllEventsValue[];
constexpr size_t Def_AllEventsLength = 2735;

// The WM_ name of the first catalogue entry with value v, or "?????".
std::wstring gFn_EventName(LONG v);

// ---- Capture session ----------------------------------------------------
// Installs the replacement procedures and sets g_EventsStarted. True when
// every target was taken. At run time a failure reported through gFn_ErrMsg
// comes back as kx::RaisedError.
bool gFn_SubClassOn();
// Empties the target tables (g_Ctls, g_CtlHwnds, g_PrevProcs) to their one
// unused entry: what the next install starts from.
void gFn_ResetTargets();
// Adds a target control and its window to the tables (the first one takes
// the unused entry).
void gFn_AddTarget(kx::ComPtr<IDispatch> ctl, HWND h);
// Puts every replaced procedure back, closes the trace, clears the flag.
void gFn_SubClassOff() noexcept;

// ---- Windows that another subclasser hooked above us --------------------
// Puts prev back as the window's procedure only when the window runs ours
// now; true when it did.
bool gFn_HandBack(HWND h, WNDPROC ours, WNDPROC prev) noexcept;
// A window that could not be handed back keeps ours as a pass-through to prev.
void gFn_LeaveHooked(HWND h, WNDPROC ours, WNDPROC prev);
// The pass-through record of a window, taken back into a new session: its
// prev, or null when it has none.
WNDPROC gFn_TakeLeftover(HWND h, WNDPROC ours) noexcept;
// Hands back every pass-through window that runs ours again, and forgets
// those that are gone.
void gFn_SweepLeftovers() noexcept;
// True while a live window may still call one of our procedures outside a
// session: the library must stay loaded.
bool gFn_LeftoversRemain() noexcept;
// A message for a window outside the session: passed on unchanged.
LRESULT gFn_PassLeftover(WNDPROC ours, HWND h, UINT m, WPARAM w, LPARAM l);

// ---- Capture window procedures ------------------------------------------
// The procedures of ANSI windows, and (W) of Unicode windows.
LRESULT CALLBACK gFn_CallProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK gFn_CallProcW(HWND h, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK gFn_CallProcHandle(HWND h, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK gFn_CallProcHandleW(HWND h, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK gFn_PassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK gFn_PassProcW(HWND h, UINT msg, WPARAM wp, LPARAM lp);
// Tries to replace a window's procedure with gFn_PassProc (in the window's
// character set) and puts the old one straight back: true when the window's
// procedure can be replaced.
bool gFn_ProbeWindow(HWND h) noexcept;

// ---- Trace output -------------------------------------------------------
bool gFn_DebugOpen() noexcept;
bool gFn_DebugClose() noexcept;
// One message line, written as one write; false when it could not be written.
// The control's line names ctl, looked up once by the caller.
bool gFn_DebugControlLine(EngineSession& s, IDispatch* ctl, LONG msg, LONG_PTR wp, LONG_PTR lp) noexcept;
bool gFn_DebugHandleLine(EngineSession& s, HWND h, LONG msg, LONG_PTR wp, LONG_PTR lp) noexcept;

// ---- The link between programs: the sending end --------------------------
// param: the send's LinkSendWork.
BOOL CALLBACK gFn_LinkEnumProc(HWND window, LPARAM param);
// Works out the send once and offers every top-level window to
// gFn_LinkEnumProc; true when at least one receiver was reached. A failure
// reported during the enumeration is raised here, once it has ended.
bool gFn_LinkSendAll(const std::wstring& name, const std::wstring& data);

// ---- The development environment's main window --------------------------
// True to go on: stops at the first top-level window whose title (its first
// 255 characters) contains "- Microsoft Visual Basic [".
BOOL CALLBACK gFn_DevEnvEnumProc(HWND window, LPARAM unused);
// Clears g_DevEnvWnd, offers every top-level window to gFn_DevEnvEnumProc
// and gives what it found. A failure reported during the enumeration is
// raised here, once it has ended.
HWND gFn_FindDevEnvWnd();

// The engine's own delivery of a message to window h, taken once by the
// control's DoGetEvents; null for a DoGetEvents that code calls.
Delivery* gFn_TakeDelivery(HWND h) noexcept;

// ---- Answering a message from its handler ---------------------------------
// The innermost message this thread is delivering, or null outside any
// handler and while a DoGetEvents that code calls runs.
Delivery* gFn_CurrentMessage() noexcept;
// Passes the values to the procedure the message's window had when it came,
// at once, in the window's character set, and returns its answer, which the
// message is then answered with.
LRESULT gFn_CallOriginal(Delivery& d, LONG msg, LONG_PTR wp, LONG_PTR lp) noexcept;
// A DoGetEvents that code calls: no message behind its event, whatever
// delivery it runs inside.
class NoMessageScope {
public:
    explicit NoMessageScope(EngineSession& s) : slot_(s.delivery, &none_) {}

private:
    Delivery none_;
    kx::ScopedSlot<Delivery> slot_;
};
// A window of another thread of this program: its messages run on that
// thread, whose objects are not this one's.
bool gFn_OnAnotherThread(HWND h) noexcept;

// ---- Module utilities ---------------------------------------------------
// The target control of window h, or the call-back control when h is none
// of them (the raw window): as the state holds it, for as long as the state
// keeps it, and with a reference of the caller's own (null on a thread
// without a state).
IDispatch* gFn_TargetCtl(const EngineState& e, HWND h) noexcept;
kx::ComPtr<IDispatch> gFn_TargetCtl(HWND h) noexcept;
// Fills pieces from index 0 and returns the upper bound (pieces - 1).
LONG gFn_Split(const std::wstring& text, wchar_t delimiter, std::vector<std::wstring>& pieces);
// The control's window handle (its hwnd, Long or LongPtr), or 0.
LONG_PTR gFn_CtlHwnd(IDispatch* ctl) noexcept;
bool gFn_FileExists(const std::wstring& path) noexcept;
bool gFn_IsStandAlone();
// The host check on a given executable path (what gFn_IsStandAlone applies
// to the process's own path).
bool gFn_IsDevEnvPath(const std::wstring& exePath);
