// The process-wide store of the engine: one set of values for every
// Kestrix instance in the process.
#include "KestrixBas.h"

const wchar_t* const Def_NothingText = L"(Nothing)";

std::wstring g_TargetControls;
TargetEventList g_TargetEvents;
LONG g_TargetHandle = 0;
bool g_DebugMode = false;
std::wstring g_DebugFile;
std::wstring g_LinkName;
bool g_FileDropMode = false;
bool g_UserMode = false;
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
