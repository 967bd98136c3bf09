// A form of ours (a property page, the version dialog) as a dialog made
// from an empty in-memory template: the dialog manager gives it tab order,
// Esc, the modal loop and the frame's navigation into a page; the children
// come from a layout table (FormLayout.h).
#pragma once
#include <windows.h>
#include "NonCopyable.h"

namespace kestrix::forms {

class FormDialog : private kx::NonCopyable {
public:
    FormDialog() = default;
    virtual ~FormDialog();

    HWND hwnd() const { return hwnd_; }
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

protected:
    // A child form inside parent (a property page), not shown yet.
    HWND CreateChildForm(HINSTANCE module, HWND parent);
    // A top-level form with a fixed dialog border, not shown.
    HWND CreatePopupForm(HINSTANCE module, HWND owner);
    // Shows a top-level form modally; returns once it is closed.
    INT_PTR RunModal(HINSTANCE module, HWND owner);
    // Closes the form: ends the modal loop, or destroys a modeless form.
    void Close();
    void Destroy();
    // Destroys the window without telling the hooks: for destructors, when
    // the derived parts that answer messages are gone already.
    void DestroyQuietly();

    // Hooks; none may throw. OnInit makes the children (TRUE lets the
    // dialog manager focus the first tab stop).
    virtual BOOL OnInit() = 0;
    // True when handled, with the message's result.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR* result) = 0;

private:
    static INT_PTR CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
    bool modal_ = false;
};

} // namespace kestrix::forms
