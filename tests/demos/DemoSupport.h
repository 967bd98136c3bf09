// What the link and demo tests share: the control registered from beside
// the test program, other programs started and always ended, drops made in
// this process, message boxes answered, and waiting while messages flow.
#pragma once
#include <windows.h>
#include "DropFiles.h"
#include "MessageBoxes.h"
#include "NonCopyable.h"
#include "TestPaths.h"
#include <functional>
#include <string>
#include <vector>

namespace kxtest {

// Registers Kestrix.OCX (beside the test program) once per process; false when it failed.
inline bool RegisterOcx() { return RegisterDllOnce(L"Kestrix.OCX"); }

// Demlet2.exe in the build's demo folder.
std::wstring Demlet2Path();

// Pumps this thread's messages until done() holds or ms have passed.
inline bool WaitFor(const std::function<bool()>& done, DWORD ms = 10000) { return PumpUntil(done, ms); }
// Pumps this thread's messages for ms.
inline void Pump(DWORD ms) { PumpUntil(nullptr, ms); }

// Another program, started by a test and ended by it (WM_CLOSE to its
// windows, then killed if it is still there).
class ChildProgram : private kx::NonCopyable {
public:
    ChildProgram() = default;
    ~ChildProgram() { End(); }

    bool Start(const std::wstring& exe, const std::wstring& args, const std::wstring& dir = L"");
    // Takes over a program that something else started.
    void Adopt(DWORD pid);
    void End();
    DWORD pid() const { return pid_; }
    bool running() const;
    // Its visible or hidden top-level window with this caption, waiting for it
    // and for a direct child titled childText (when given) to appear.
    HWND WaitWindow(const std::wstring& caption, const std::wstring& childText = L"", DWORD ms = 15000) const;

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// Top-level windows of a process (every process's with all set).
std::vector<HWND> WindowsOf(DWORD pid, bool all = false);
// A window's text as WM_GETTEXT gives it, also across processes.
std::wstring TextOf(HWND h);
// A window's title without asking the window (answers for a hung program too).
std::wstring CaptionOf(HWND h);
// The first direct child of a window with this class name.
HWND ChildOfClass(HWND parent, const char* cls);

// Reads a KxLinkPeer record file: one text per delivery, in order.
std::vector<std::wstring> ReadRecords(const std::wstring& file);
// A fresh file name in the test program's folder (removed first).
std::wstring FreshFile(const std::wstring& name);

// Conversions for readable failure messages.
std::string Utf8(const std::wstring& w);

} // namespace kxtest
