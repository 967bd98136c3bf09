// When the version dialog is shown: only over the development
// environment's main window, one at a time.
#pragma once
#include <windows.h>

namespace kestrix {

// The control's about entry (ShowAboutDlg). With a window titled like the
// dialog already there, the open dialog of this process gets the focus and
// nothing else happens. Otherwise, when the development environment's main
// window is found, it is disabled while the dialog is shown modally, then
// enabled again and given the focus. Without one nothing is shown. A
// failure reported while searching is raised (kx::RaisedError).
void ShowAboutBox(HMODULE module);

// Loads the dialog and unloads it again at once, unshown, the first time in
// the thread's store (g_VerDlgLoaded).
void LoadVersionDialogOnce(HMODULE module) noexcept;

} // namespace kestrix
