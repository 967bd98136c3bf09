// The process-wide store of the engine: one set of values for every
// Kestrix instance in the process.
#include "KestrixBas.h"
#include "Defaults.h"

const wchar_t* const Def_NothingText = L"(Nothing)";

// Before any instance is initialised or loaded, the store holds what a
// fresh instance holds at run time with no form around it: a bare caller
// (a script's CreateObject) never initialises one, and gets run-time rules,
// raised errors instead of message boxes that nobody could answer.
std::wstring g_TargetControls = L"(Nothing)";
TargetEventList g_TargetEvents(kestrix::kDefaultTargetEvents);
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
bool g_VerDlgLoaded = false;

std::vector<kx::ComPtr<IDispatch>> g_Ctls(1);
std::vector<HWND> g_CtlHwnds(1);
std::vector<WNDPROC> g_PrevProcs(1);
WNDPROC g_PrevHandleProc = nullptr;
HWND g_PrevHandleHwnd = nullptr;
bool g_EventsStarted = false;

kx::UniqueFile g_DebugFileNo;
bool g_DebugOpen = false;
