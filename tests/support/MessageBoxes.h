// The one answerer of message boxes for every test: while it lives, each
// message box or dialog box (class #32770) this thread shows is read and
// answered OK from a thread timer, which runs inside the box's own modal
// loop, so a test never waits for a user.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

#include "NonCopyable.h"

namespace kxtest {

struct SeenBox {
    std::wstring title;
    std::wstring text; // the prompt of a message box (all its static texts for another dialog)
    bool okButton = false;
    bool helpButton = false;
    bool cancelButton = false;
    UINT icon = 0; // MB_ICONHAND, MB_ICONEXCLAMATION, MB_ICONASTERISK, MB_ICONQUESTION or 0
    bool stopIcon = false; // the critical-stop (hand) icon
};

class BoxAnswerer : private kx::NonCopyable {
public:
    // title: only boxes with this title (the code under test's), leaving
    // other dialogs (a property frame, a version dialog) alone; empty: all.
    explicit BoxAnswerer(std::wstring title = L"");
    ~BoxAnswerer();
    // Every box answered, each once, in the order they appeared.
    const std::vector<SeenBox>& Seen() const;
    void Clear();
    // Answers the boxes that are open now (for a timer of a test's own).
    static void AnswerOpenBoxes();
    // Runs for each new box once it has been read, before it is answered
    // (a test may press its Help key); none when empty.
    void OnNewBox(std::function<void(HWND)> action);

private:
    UINT_PTR timer_;
};

} // namespace kxtest
