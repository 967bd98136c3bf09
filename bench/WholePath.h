// The whole path of a watched message, as a program using the control pays
// it: a form of the form runtime holding Kestrix.OCX (beside the bench),
// watching "ALL" on a raw window; the engine inside the OCX calls
// DoGetEvents by name through the form's extender, the control raises
// GetEvents, and the form's handler does nothing but count.
#pragma once
#include <windows.h>
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
    // Starts the capture of window h; false with a reason when it did not start.
    bool Start(HWND h, std::string* why);
    // Stops it; false when the window did not get its procedure back.
    bool Stop(HWND h, WNDPROC original);
    // GetEvents handled for the bench's message so far.
    long events = 0;

private:
    std::unique_ptr<kxhost::Runtime> rt_;
    std::unique_ptr<kxhost::Form> form_;
};

} // namespace kxbench
