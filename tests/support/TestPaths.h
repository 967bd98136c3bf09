// Small things every test program needs: where it is, a message pump that
// waits for a condition, and registering a COM server beside it once.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

namespace kxtest {

// The folder of this test program, with a trailing backslash.
std::wstring ExeDir();
// Pumps this thread's messages for ms, or until done() holds (no done:
// for the whole time); true when done() held.
bool PumpUntil(const std::function<bool()>& done, DWORD ms);
// Loads the DLL beside the test program and runs its DllRegisterServer,
// once per process per DLL; true when that succeeded. The DLL stays loaded.
bool RegisterDllOnce(const wchar_t* dll);
// Runs a command line (in dir, when given) and waits up to ms for it to
// end; its exit code, kNotStarted or kTimedOut (the program is then killed).
constexpr DWORD kNotStarted = 0xFFFFFFFF, kTimedOut = 0xFFFFFFFE;
DWORD RunAndWait(std::wstring commandLine, DWORD ms = 30000, const std::wstring& dir = L"");
// regsvr32 /s [/u] on a DLL given by its full path: the system's own, which
// registers a DLL of either bitness in that bitness's registry view.
DWORD RegSvr32(const std::wstring& dll, bool unregister);

} // namespace kxtest
