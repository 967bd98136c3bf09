// A window that belongs to another process: KxOtherWindow.exe (beside the
// test program) started for the lifetime of this object and ended after.
#pragma once
#include <windows.h>
#include "NonCopyable.h"

#include "UniqueHandle.h"

namespace kxtest {

class OtherProcessWindow : private kx::NonCopyable {
public:
    OtherProcessWindow();
    ~OtherProcessWindow();

    // Null when the helper could not be started or showed no window.
    HWND hwnd() const { return hwnd_; }
    LONG handle() const { return static_cast<LONG>(reinterpret_cast<LONG_PTR>(hwnd_)); }

private:
    kx::UniqueFile process_;
    HWND hwnd_ = nullptr;
};

} // namespace kxtest
