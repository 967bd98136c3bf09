#include "AboutBox.h"

#include <memory>
#include <string>
#include <utility>

#include "Ansi.h"
#include "KestrixBas.h"
#include "KestrixVerDlg.h"
#include "ScopeExit.h"
#include "VerDlgControls.h"

namespace kestrix {

namespace {

// The process's one dialog while it exists.
KestrixVerDlg* g_VerDlg = nullptr;

// Makes dlg the process's dialog while it exists; the one before it is
// back when it goes.
auto CurrentDialog(KestrixVerDlg* dlg) {
    return kx::ScopeExit([outer = std::exchange(g_VerDlg, dlg)] { g_VerDlg = outer; });
}

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
    // The environment's window is disabled while the dialog is open, and
    // enabled and focused again however the showing ends.
    EnableWindow(devEnv, FALSE);
    kx::ScopeExit enable([devEnv] {
        EnableWindow(devEnv, TRUE);
        SetFocus(devEnv);
    });
    auto dlg = std::make_unique<KestrixVerDlg>(module);
    const auto current = CurrentDialog(dlg.get());
    dlg->ShowModal();
}

void LoadVersionDialogOnce(HMODULE module) noexcept {
    // The loading instance holds its thread's state.
    EngineState* const e = gFn_EngineIfAny();
    if (!e || e->g_VerDlgLoaded) return;
    // Once per thread's store, whether or not the window could be made: the
    // dialog is only warmed up here, and the control loads all the same.
    e->g_VerDlgLoaded = true;
    try {
        KestrixVerDlg dlg(module);
        const auto current = CurrentDialog(&dlg);
        dlg.LoadUnshown();
    } catch (...) {
        // Only a warm-up: the dialog is made again when it is shown.
    }
}

} // namespace kestrix
