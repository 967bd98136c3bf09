// A recording window procedure put in front of a window before a capture
// starts, so that it becomes the procedure the capture passes messages on
// to: it sees what really reaches the window after the capture (cancelled
// messages never, changed parameters as changed), and whether the window
// got it back as its procedure before it was destroyed.
#pragma once
#include <windows.h>
#include "MessageLog.h"
#include "NonCopyable.h"
#include <vector>

namespace kxtest {

class WindowRecorder : private kx::NonCopyable {
public:
    explicit WindowRecorder(HWND h);
    ~WindowRecorder();

    HWND hwnd() const { return hwnd_; }
    const std::vector<kxtest::Seen>& Seen() const { return seen_; }
    // The messages with this number that reached the window.
    std::vector<kxtest::Seen> Seen(UINT msg) const;
    void Clear() { seen_.clear(); }
    // True when the window runs this recorder as its own procedure.
    bool Installed() const;
    // Set when the window was destroyed: whether it ran the recorder then.
    bool destroyed = false;
    bool recorderAtDestroy = false;

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l);
    HWND hwnd_;
    WNDPROC prev_ = nullptr;
    std::vector<kxtest::Seen> seen_;
};

} // namespace kxtest
