// The control's own child window: an ANSI window class per module,
// registered on first use and unregistered when the module unloads.
// Messages go to a WindowHooks object; a message that arrives after Detach
// goes to DefWindowProcA only.
#pragma once
#include <windows.h>
#include "NonCopyable.h"

namespace kx::ole {

class WindowHooks {
public:
    // Must not throw. handled = false lets DefWindowProcA answer.
    virtual LRESULT WindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool* handled) = 0;
    // The window is going away (WM_NCDESTROY), however it was destroyed.
    virtual void WindowGone(HWND hwnd) = 0;

protected:
    ~WindowHooks() = default;
};

class ControlWindow : private kx::NonCopyable {
public:
    ControlWindow() = default;
    ~ControlWindow() { Destroy(); }

    HRESULT Create(HINSTANCE module, const char* className, HWND parent, const RECT& pos, bool visible,
                   WindowHooks* hooks);
    // Destroys the window; hooks see its messages (WM_DESTROY...) unless
    // detached first.
    void Destroy();
    // Stops delivering messages to the hooks (used by a dying control).
    void Detach();
    // The window was destroyed by someone else (its parent went).
    void Forget() { hwnd_ = nullptr; }
    HWND get() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

} // namespace kx::ole
