// The form runtime of a program: its mode, its forms, the message loop, and
// the services VB-kind code takes from its runtime (message boxes, starting
// another program, the default handling of an unhandled error).
#pragma once
#include <windows.h>
#include "NonCopyable.h"
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "LateBound.h"

namespace kx {
class ActivationContext;
}

namespace kxhost {

class Form;

enum class Mode { Run, Design };

class Runtime : private kx::NonCopyable {
public:
    explicit Runtime(Mode mode = Mode::Run, std::wstring title = L"Project1");
    ~Runtime();

    static Runtime& Current(); // the runtime of this thread

    Mode mode() const { return mode_; }
    bool UserMode() const { return mode_ == Mode::Run; }
    const std::wstring& Title() const { return title_; }

    // Runs the message loop until every form is closed and nothing holds
    // the program open (or Quit is called).
    int Run();
    // A window of the runtime that is no form (the designer's) keeps Run
    // going from Hold to Unhold.
    void Hold() { ++holds_; }
    void Unhold();
    // Pumps the messages that are waiting, without blocking.
    void DoEvents();
    void Quit(int code = 0);

    // VB's MsgBox: style as the MB_ flags; title defaults to the program's title.
    int MsgBox(const std::wstring& prompt, UINT style = MB_OK, const std::wstring& title = L"");
    // VB's Shell: starts a program by file name (found as the system finds
    // programs) without waiting and without any message of its own. Gives
    // the new process's id, VB's task id (no handle is kept), or 0 when
    // nothing could be started.
    DWORD Shell(const std::wstring& file, int show = SW_SHOWNORMAL);

    // What happens to an error that a handler does not catch: by default a
    // message box with the number and description, then the program ends.
    using ErrorPolicy = std::function<void(const kx::AutomationError&)>;
    void SetUnhandledErrorPolicy(ErrorPolicy p) { onError_ = std::move(p); }
    void ReportUnhandled(const kx::AutomationError& e);

    // Controls may come from this control file (its full path) whether it
    // is registered or not: the side-by-side manifest it carries is the
    // thread's activation context while the runtime lives, so forms create
    // its classes by ProgID or class id, and its pages and type library
    // load, as if it were registered. A failure is the status of the
    // activation context's making.
    HRESULT UseControlFile(const std::wstring& path);

    // Forms register themselves while their window lives.
    void AddForm(Form* f);
    void RemoveForm(Form* f);
    const std::vector<Form*>& Forms() const { return forms_; }

private:
    bool PreTranslate(MSG& m);
    // Ends a running loop once nothing keeps it: only then, so that no
    // stray WM_QUIT waits in the queue to end the next modal loop.
    void QuitIfDone();
    Mode mode_;
    std::wstring title_;
    std::vector<Form*> forms_;
    ErrorPolicy onError_;
    bool oleInitialized_ = false;
    int holds_ = 0;
    int running_ = 0;
    Runtime* previous_ = nullptr;
    // Ended last first, as activations must be.
    std::vector<std::unique_ptr<kx::ActivationContext>> controlFiles_;
};

} // namespace kxhost
