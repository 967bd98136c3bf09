#include "ControlWindow.h"

#include <mutex>
#include <string>
#include <vector>

namespace kx::ole {

namespace {

LRESULT CALLBACK ControlWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lp);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* hooks = reinterpret_cast<WindowHooks*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (hooks) {
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            hooks->WindowGone(hwnd);
        } else {
            bool handled = false;
            const LRESULT r = hooks->WindowMessage(hwnd, msg, wp, lp, &handled);
            if (handled) return r;
        }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// The classes this module registered: this library is linked into each
// control DLL, so each module has its own list, emptied when it unloads
// (a class left behind would point at code that is gone).
class ClassRegistry {
public:
    ~ClassRegistry() {
        for (const auto& c : classes_) UnregisterClassA(c.name.c_str(), c.module);
    }
    bool Ensure(HINSTANCE module, const char* name) {
        // Controls of one module may live in several apartments (threads).
        std::lock_guard<std::mutex> lock(mutex_);
        WNDCLASSEXA existing{};
        existing.cbSize = sizeof existing;
        if (GetClassInfoExA(module, name, &existing)) {
            if (existing.lpfnWndProc == ControlWndProc) return true;
            UnregisterClassA(name, module); // left by an earlier load of this module
        }
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ControlWndProc;
        wc.hInstance = module;
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = name;
        if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
        try {
            classes_.push_back({module, name});
        } catch (...) {
            // Still registered; only the clean-up at unload misses it.
        }
        return true;
    }

private:
    struct Registered {
        HINSTANCE module;
        std::string name;
    };
    std::mutex mutex_;
    std::vector<Registered> classes_;
};

ClassRegistry g_Classes;

} // namespace

HRESULT ControlWindow::Create(HINSTANCE module, const char* className, HWND parent, const RECT& pos, bool visible,
                              WindowHooks* hooks) {
    if (hwnd_) return S_FALSE;
    if (!className) className = "KxOleControl";
    if (!g_Classes.Ensure(module, className)) return HRESULT_FROM_WIN32(GetLastError());
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (visible) style |= WS_VISIBLE;
    HWND hwnd = CreateWindowExA(0, className, "", style, pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top,
                                parent, nullptr, module, hooks);
    if (!hwnd) {
        const DWORD e = GetLastError();
        return e ? HRESULT_FROM_WIN32(e) : E_FAIL;
    }
    hwnd_ = hwnd;
    return S_OK;
}

void ControlWindow::Destroy() {
    if (!hwnd_) return;
    HWND h = hwnd_;
    hwnd_ = nullptr;
    DestroyWindow(h);
}

void ControlWindow::Detach() {
    if (hwnd_) SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
}

} // namespace kx::ole
