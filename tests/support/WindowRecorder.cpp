#include "WindowRecorder.h"

#include <map>

namespace kxtest {

namespace {
// The procedure each recorded window had before; kept after the recorder
// has gone while the window may still pass messages through it (a capture
// records it as the previous procedure and may hand it back later).
struct Entry {
    WNDPROC prev;
    WindowRecorder* recorder;
};
std::map<HWND, Entry>& Entries() {
    static std::map<HWND, Entry> all;
    return all;
}
} // namespace

WindowRecorder::WindowRecorder(HWND h) : hwnd_(h) {
    prev_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC));
    Entries()[h] = Entry{prev_, this};
    SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc));
}

WindowRecorder::~WindowRecorder() {
    auto it = Entries().find(hwnd_);
    if (it == Entries().end()) return;
    it->second.recorder = nullptr;
    // A window that still runs the recorder gets its procedure back; one
    // that runs something else in front of it keeps passing through it.
    if (IsWindow(hwnd_) && Installed()) {
        SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prev_));
        Entries().erase(it);
    }
}

bool WindowRecorder::Installed() const {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd_, GWLP_WNDPROC)) == Proc;
}

std::vector<Seen> WindowRecorder::Seen(UINT msg) const { return OnlyOf(seen_, {msg}); }

LRESULT CALLBACK WindowRecorder::Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto it = Entries().find(h);
    if (it == Entries().end()) return DefWindowProcA(h, m, w, l);
    const WNDPROC prev = it->second.prev;
    if (WindowRecorder* r = it->second.recorder) {
        try {
            r->seen_.push_back({h, m, w, l});
        } catch (...) {}
        if (m == WM_NCDESTROY) {
            r->destroyed = true;
            r->recorderAtDestroy = r->Installed();
        }
    }
    if (m == WM_NCDESTROY) Entries().erase(h);
    return CallWindowProcA(prev, h, m, w, l);
}

} // namespace kxtest
