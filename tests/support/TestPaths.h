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

} // namespace kxtest
