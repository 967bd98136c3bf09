// KestrixVerDlg, the version-information dialog: product, version, the
// maker's name, home page and e-mail address, and a button that opens the
// home page. ShowAboutBox (AboutBox.h) decides when it is shown.
#pragma once
#include <windows.h>

#include "FormDialog.h"
#include "FormLayout.h"
#include "UniqueHandle.h"

namespace kestrix {

class KestrixVerDlg : public forms::FormDialog {
public:
    explicit KestrixVerDlg(HMODULE module) : module_(module) {}

    // Loaded and at once unloaded without being shown (Form_Load runs).
    void LoadUnshown();
    // Shown modally, with no owner form; returns once it is closed.
    void ShowModal();
    // Gives the open dialog the keyboard focus.
    void Focus();

private:
    BOOL OnInit() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR* result) override;
    void FormLoad();
    void Command(int id, WORD code);

    HMODULE module_;
    forms::FontSet fonts_;
    bool showing_ = false; // shown modally, not only loaded
};

} // namespace kestrix
