// The one shape of our own windows' procedures: each window belongs to one
// object, given to CreateWindowEx as its creation parameter and kept from
// WM_NCCREATE on, so that the object sees every message of its window; the
// object's handler has the window procedure's own signature. Nothing thrown
// crosses the system's dispatch: a failing message gets the default handling.
#pragma once
#include <windows.h>

namespace kx {

template <class T>
LRESULT ObjectWindowMessage(HWND h, UINT m, WPARAM w, LPARAM l, LRESULT (T::*handle)(HWND, UINT, WPARAM, LPARAM)) {
    if (m == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(l);
        SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    T* object = reinterpret_cast<T*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (!object) return DefWindowProcA(h, m, w, l);
    try {
        return (object->*handle)(h, m, w, l);
    } catch (...) {
        // nothing crosses the system's dispatch; the message gets the default handling
        return DefWindowProcA(h, m, w, l);
    }
}

// Registers (once per process) the class of such windows in the program's
// module: the arrow cursor, the given background system colour and style.
inline ATOM RegisterObjectClass(const char* name, WNDPROC proc, int backgroundColor, UINT style = 0) {
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(backgroundColor + 1));
    wc.lpszClassName = name;
    return RegisterClassA(&wc);
}

} // namespace kx
