// Another subclasser of a window, as other libraries and the form's own code
// hook it: a procedure that counts one message number and passes every
// message on, and that removes itself the plain way, by putting back the
// procedure it saved, whatever the window runs now. One at a time.
#pragma once
#include <windows.h>
#include "NonCopyable.h"
#include <utility>

namespace kxtest {

class OtherSubclasser : private kx::NonCopyable {
public:
    OtherSubclasser(HWND h, UINT counted) : h_(h), counted_(counted) {
        instance_ = this;
        saved_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
    }
    ~OtherSubclasser() {
        Remove();
        instance_ = nullptr;
    }
    void Remove() {
        if (saved_) SetWindowLongPtrA(h_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(std::exchange(saved_, nullptr)));
    }
    int seen = 0; // messages of the counted number that came through

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == instance_->counted_) ++instance_->seen;
        return CallWindowProcA(instance_->saved_, h, m, w, l);
    }
    static inline OtherSubclasser* instance_ = nullptr;
    HWND h_;
    UINT counted_;
    WNDPROC saved_ = nullptr;
};

} // namespace kxtest
