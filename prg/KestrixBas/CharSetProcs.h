// A window's procedure as its character set wants it handled: a Unicode
// window is hooked, called and handed back with the wide functions, so that
// it stays Unicode and its messages keep their text; an ANSI window with the
// ANSI ones. The engine's procedures are written once over these.
#pragma once
#include <windows.h>

template <auto GetLong, auto SetLong, auto CallProc>
struct CharSetProcs {
    static WNDPROC Get(HWND h) { return reinterpret_cast<WNDPROC>(GetLong(h, GWLP_WNDPROC)); }
    static WNDPROC Set(HWND h, WNDPROC p) {
        return reinterpret_cast<WNDPROC>(SetLong(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(p)));
    }
    static LRESULT Call(WNDPROC p, HWND h, UINT m, WPARAM w, LPARAM l) { return CallProc(p, h, m, w, l); }
};

using AnsiProcs = CharSetProcs<GetWindowLongPtrA, SetWindowLongPtrA, CallWindowProcA>;
using WideProcs = CharSetProcs<GetWindowLongPtrW, SetWindowLongPtrW, CallWindowProcW>;

// The three calls for a window of either set, chosen at run time.
inline WNDPROC GetProcOf(HWND h, bool unicode) { return unicode ? WideProcs::Get(h) : AnsiProcs::Get(h); }
inline WNDPROC SetProcOf(HWND h, WNDPROC p, bool unicode) {
    return unicode ? WideProcs::Set(h, p) : AnsiProcs::Set(h, p);
}
inline LRESULT CallProcOf(bool unicode, WNDPROC p, HWND h, UINT m, WPARAM w, LPARAM l) {
    return unicode ? WideProcs::Call(p, h, m, w, l) : AnsiProcs::Call(p, h, m, w, l);
}
