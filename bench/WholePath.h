// The whole path of a watched message, as a program using the control pays
// it: a form of the form runtime holding Kestrix.OCX (beside the bench) and a
// command button, Command1; the control watches "ALL" on Command1 and, when
// asked, on a raw window too. The engine inside the OCX calls DoGetEvents by
// name through the form's extender, the control raises GetEvents, and the
// form's handler does nothing but count. With the trace on, every message
// also writes its line (a "Control:" line for Command1, a "Handle:" line for
// the raw window) to a trace file of the bench's own, removed at the end.
// Answering, the handler passes the message on itself and sets the answer.
#pragma once
#include <windows.h>
#include "ComPtr.h"
#include "Kestrix32.h"
#include "NonCopyable.h"
#include <memory>
#include <string>

namespace kxhost {
class Form;
class Runtime;
} // namespace kxhost

namespace kxbench {

class WholePath : private kx::NonCopyable {
public:
    WholePath();
    ~WholePath();

    // Loads the OCX, registers it and loads the form; false with a reason
    // when something is missing.
    bool Open(std::string* why);
    // Command1's window (a target of every capture here).
    HWND ControlWindow() const;
    // Starts the capture of Command1 and of the raw window raw (none when
    // null), tracing when traced; false with a reason when it did not start.
    bool Start(HWND raw, bool traced, std::string* why);
    // Stops it; false when a window did not get its procedure back.
    bool Stop(HWND raw, WNDPROC rawOriginal, WNDPROC controlOriginal);
    // GetEvents handled for the bench's message so far.
    long events = 0;
    // The handler answers the message itself: CallOriginal, then ReturnValue
    // set to the window's answer.
    bool answering = false;

private:
    std::unique_ptr<kxhost::Runtime> rt_;
    std::unique_ptr<kxhost::Form> form_;
    kx::ComPtr<_Kestrix2> dual_;
    std::wstring traceFile_;
};

} // namespace kxbench
