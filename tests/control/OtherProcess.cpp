#include "OtherProcess.h"
#include <string>

namespace kxtest {

OtherProcessWindow::OtherProcessWindow() {
    const std::string title =
        "KxOtherWindow " + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
    std::string command = "KxOtherWindow.exe \"" + title + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
    CloseHandle(pi.hThread);
    process_.reset(pi.hProcess);
    // Its window may take a moment to appear.
    for (int i = 0; i < 250 && !hwnd_; ++i) {
        hwnd_ = FindWindowA("KxOtherWindow", title.c_str());
        if (!hwnd_) Sleep(20);
    }
}

OtherProcessWindow::~OtherProcessWindow() {
    if (!process_) return;
    if (hwnd_) PostMessageA(hwnd_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.get(), 3000) != WAIT_OBJECT_0) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 3000);
    }
}

} // namespace kxtest
