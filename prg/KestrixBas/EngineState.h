// The engine's state: the store of property values shared by the Kestrix
// instances of one user-interface thread, and the capture session they run.
// Each thread has its own (as each thread of an apartment-threaded component
// has its own copy of module data), reached through gFn_Engine().
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CallbackObject.h"
#include "ComPtr.h"
#include "Defaults.h"
#include "TargetEventList.h"
#include "TraceFile.h"

// The stored TargetControls text that means no control is targeted.
extern const wchar_t* const Def_NothingText;

// The property values and the references the engine calls back.
struct EngineStore {
    // Before any instance is initialised or loaded, the store holds what a
    // fresh instance holds at run time with no form around it: a bare caller
    // (a script's CreateObject) never initialises one, and gets run-time
    // rules, raised errors instead of message boxes that nobody could answer.
    std::wstring g_TargetControls = Def_NothingText;
    TargetEventList g_TargetEvents{kestrix::kDefaultTargetEvents};
    LONG_PTR g_TargetHandle = 0;
    bool g_DebugMode = kestrix::kDefaultDebugMode;
    std::wstring g_DebugFile = std::wstring(kestrix::kDefaultControlName) + kestrix::kDebugFileSuffix;
    std::wstring g_LinkName = kestrix::kDefaultLinkName;
    bool g_FileDropMode = kestrix::kDefaultFileDropMode;
    bool g_UserMode = true;
    bool g_InDevEnv = false;
    CallbackObject g_CallbackCtl;
    kx::ComPtr<IDispatch> g_ParentForm;
    kx::ComPtr<IDispatch> g_Ambient;
    // The version dialog has been loaded once.
    bool g_VerDlgLoaded = false;
};

// One window the session replaced the procedure of, in the sorted index.
struct ReplacedWindow {
    HWND hwnd;
    WNDPROC prev;
    bool unicode; // installed, called and restored with the wide functions
};

// One LinkSend's work: the texts as they cross the platform and the window
// to skip, worked out once per send instead of once per top-level window,
// and whether a receiver took the text.
struct LinkSendWork {
    std::string name;
    std::string data;
    HWND skip = nullptr;
    bool sent = false;
};

// One watched message on its way to the handler: made on the window
// procedure's stack and named the thread's innermost delivery while the
// handler runs, so that what the engine looked up once reaches the control,
// and the handler can answer the message or pass it on itself.
struct Delivery {
    HWND hwnd = nullptr;
    // The control the event names: the target control of the window, or
    // the call-back control for the raw window, as the state holds it. The
    // event takes its own reference before any handler runs.
    IDispatch* control = nullptr;
    // The control's DoGetEvents has taken it as the engine's own call.
    bool taken = false;
    // False while a DoGetEvents that code calls runs: no message behind it.
    bool message = false;
    // Where the message was going when it came (a capture ended by its
    // handler does not change that), and in which character set.
    WNDPROC prev = nullptr;
    bool unicode = false;
    // A target control's window: a failing procedure there ends the capture.
    bool controlWindow = false;
    // What the sender gets when the message is answered here: swallowed,
    // or passed on by the handler itself.
    LRESULT returnValue = 0;
    bool calledOriginal = false;
};

class EnumReports;

// The capture session and what it keeps while it runs.
struct EngineSession {
    // The index's first entry not below h: a binary search, on every message.
    std::vector<ReplacedWindow>::const_iterator IndexAt(HWND h) const noexcept {
        return std::lower_bound(replacedIndex.begin(), replacedIndex.end(), h,
                                [](const ReplacedWindow& e, HWND k) { return e.hwnd < k; });
    }
    // The entry of a target control's window, or null.
    const ReplacedWindow* Replaced(HWND h) const noexcept {
        const auto at = IndexAt(h);
        return at != replacedIndex.end() && at->hwnd == h ? &*at : nullptr;
    }
    // The recorded previous procedure of a target control's window, or null.
    WNDPROC PrevProcOf(HWND h) const noexcept {
        const ReplacedWindow* const r = Replaced(h);
        return r ? r->prev : nullptr;
    }

    // The target tables: entry i is a control, its window and the procedure
    // it had (entry 0 unused until the targets are resolved).
    std::vector<kx::ComPtr<IDispatch>> g_Ctls{1};
    std::vector<HWND> g_CtlHwnds{1};
    std::vector<WNDPROC> g_PrevProcs{1};
    // The replaced windows sorted by handle, so that finding a window's
    // previous procedure on every message costs the same however many
    // targets there are. It mirrors the nonzero entries of g_PrevProcs.
    std::vector<ReplacedWindow> replacedIndex;
    WNDPROC g_PrevHandleProc = nullptr;
    // The raw window whose procedure g_PrevHandleProc replaced: restored even
    // when TargetHandle has changed since.
    HWND prevHandleHwnd = nullptr;
    bool prevHandleUnicode = false;
    bool g_EventsStarted = false;
    // Whether the install let the windows accept dropped files: the removal
    // takes it back even if a form loaded meanwhile changed FileDropMode.
    bool dropsAccepted = false;

    // The trace: the shared open file and what its lines are made from.
    TraceFile g_DebugFileNo;
    bool g_DebugOpen = false;
    std::wstring dateSep = L"/";
    std::wstring timeSep = L":";
    std::string line;
    ULONGLONG clockSecond = 0;
    std::string clockText;
    // The names of the controls this session's lines show, read once per
    // session; the entry holds the object, so that no other can take its
    // place at the same address.
    std::vector<std::pair<kx::ComPtr<IDispatch>, std::string>> ctlNames;

    // The innermost of the nested runs of each kind on this thread, or null.
    EnumReports* enumReports = nullptr;
    Delivery* delivery = nullptr;

    // Found by gFn_DevEnvEnumProc; null when the last search found none.
    HWND g_DevEnvWnd = nullptr;
};

struct EngineState : EngineStore, EngineSession {
    // What holds this state: the Kestrix instances of the thread, and a
    // delivery in progress (whose handler may end the last instance).
    LONG instances = 0;
};

// This thread's engine state, made on first use.
EngineState& gFn_Engine();
// This thread's engine state, or null when it has none: what a window
// procedure asks, so that a message never makes one.
EngineState* gFn_EngineIfAny() noexcept;
// An instance of the thread holds the state; when the last holder lets go,
// the session stops and the state goes with it.
void gFn_EngineHold();
void gFn_EngineLetGo() noexcept;

// Holds the thread's state for a scope.
class EngineHold {
public:
    EngineHold() { gFn_EngineHold(); }
    // The state at hand, held without asking for it again.
    explicit EngineHold(EngineState& e) { ++e.instances; }
    ~EngineHold() { gFn_EngineLetGo(); }
    EngineHold(const EngineHold&) = delete;
    EngineHold& operator=(const EngineHold&) = delete;
};
