#include "AboutBox.h"

#include <memory>
#include <string>
#include <utility>

#include "Ansi.h"
#include "KestrixBas.h"
#include "KestrixVerDlg.h"
#include "VerDlgControls.h"

namespace kestrix {

namespace {

// The process's one dialog while it exists.
KestrixVerDlg* g_VerDlg = nullptr;

class CurrentDialog {
public:
    explicit CurrentDialog(KestrixVerDlg* dlg) : outer_(std::exchange(g_VerDlg, dlg)) {}
    ~CurrentDialog() { g_VerDlg = outer_; }
    CurrentDialog(const CurrentDialog&) = delete;
    CurrentDialog& operator=(const CurrentDialog&) = delete;

private:
    KestrixVerDlg* outer_;
};

// The environment's window is disabled while the dialog is open, and
// enabled and focused again however the showing ends.
class DisabledWhileOpen {
public:
    explicit DisabledWhileOpen(HWND w) : w_(w) { EnableWindow(w_, FALSE); }
    ~DisabledWhileOpen() {
        EnableWindow(w_, TRUE);
        SetFocus(w_);
    }
    DisabledWhileOpen(const DisabledWhileOpen&) = delete;
    DisabledWhileOpen& operator=(const DisabledWhileOpen&) = delete;

private:
    HWND w_;
};

} // namespace

void ShowAboutBox(HMODULE module) {
    const std::string title = kx::ToAnsi(kVerDlgCaption);
    if (HWND open = FindWindowA(nullptr, title.c_str())) {
        // No second dialog. A window of that title that is not ours (another
        // program's dialog) leaves this program with nothing to focus.
        if (g_VerDlg && g_VerDlg->hwnd() == open) g_VerDlg->Focus();
        return;
    }
    HWND devEnv = gFn_FindDevEnvWnd();
    if (!devEnv) return;
    DisabledWhileOpen disabled(devEnv);
    auto dlg = std::make_unique<KestrixVerDlg>(module);
    CurrentDialog current(dlg.get());
    dlg->ShowModal();
}

void LoadVersionDialogOnce(HMODULE module) noexcept {
    if (g_VerDlgLoaded) return;
    // Once per process, whether or not the window could be made: the dialog
    // is only warmed up here, and the control loads all the same.
    g_VerDlgLoaded = true;
    try {
        KestrixVerDlg dlg(module);
        CurrentDialog current(&dlg);
        dlg.LoadUnshown();
    } catch (...) {
    }
}

} // namespace kestrix
