// Dismisses every message box the code under test shows on this thread, and
// keeps what each one said. A thread timer runs inside the box's own modal
// loop, finds the box (class #32770), reads it and presses OK, so a test
// never waits for a user.
#pragma once
#include <windows.h>
#include "NonCopyable.h"
#include <string>
#include <vector>

namespace kxtest {

struct SeenBox {
    std::wstring title;
    std::wstring text;
    bool okButton = false;
    bool helpButton = false;
    bool cancelButton = false;
    bool stopIcon = false; // the critical-stop (hand) icon
};

class BoxCatcher : private kx::NonCopyable {
public:
    BoxCatcher();
    ~BoxCatcher();

    const std::vector<SeenBox>& Seen() const;
    void Clear();

private:
    UINT_PTR timer_;
};

} // namespace kxtest
