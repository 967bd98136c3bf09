#include "FormDialog.h"

namespace kestrix::forms {

namespace {

// An empty dialog template: no controls, no menu, the default class, an
// empty title (set later through the ANSI code page). Menu, class and
// title follow the header as WORDs; the whole must be DWORD aligned.
#pragma pack(push, 2)
struct TemplateData {
    DLGTEMPLATE header;
    WORD menu;
    WORD windowClass;
    WCHAR title;
};
#pragma pack(pop)

class EmptyTemplate {
public:
    EmptyTemplate(DWORD style, DWORD exStyle) {
        data_.header.style = style;
        data_.header.dwExtendedStyle = exStyle;
    }
    const DLGTEMPLATE* get() const { return &data_.header; }

private:
    alignas(4) TemplateData data_{};
};

constexpr DWORD kChildStyle = WS_CHILD | DS_CONTROL | DS_3DLOOK;
constexpr DWORD kPopupStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;

bool IsColorMessage(UINT msg) { return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC; }

} // namespace

FormDialog::~FormDialog() { DestroyQuietly(); }

HWND FormDialog::CreateChildForm(HINSTANCE module, HWND parent) {
    const EmptyTemplate t(kChildStyle, WS_EX_CONTROLPARENT);
    modal_ = false;
    return CreateDialogIndirectParamA(module, t.get(), parent, Proc, reinterpret_cast<LPARAM>(this));
}

HWND FormDialog::CreatePopupForm(HINSTANCE module, HWND owner) {
    const EmptyTemplate t(kPopupStyle, WS_EX_DLGMODALFRAME);
    modal_ = false;
    return CreateDialogIndirectParamA(module, t.get(), owner, Proc, reinterpret_cast<LPARAM>(this));
}

INT_PTR FormDialog::RunModal(HINSTANCE module, HWND owner) {
    const EmptyTemplate t(kPopupStyle | WS_VISIBLE, WS_EX_DLGMODALFRAME);
    modal_ = true;
    const INT_PTR r = DialogBoxIndirectParamA(module, t.get(), owner, Proc, reinterpret_cast<LPARAM>(this));
    modal_ = false;
    return r;
}

void FormDialog::Close() {
    if (!hwnd_) return;
    if (modal_) EndDialog(hwnd_, IDOK);
    else Destroy();
}

void FormDialog::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void FormDialog::DestroyQuietly() {
    if (!hwnd_) return;
    HWND h = hwnd_;
    hwnd_ = nullptr;
    SetWindowLongPtrA(h, DWLP_USER, 0);
    DestroyWindow(h);
}

INT_PTR CALLBACK FormDialog::Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    FormDialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<FormDialog*>(lp);
        SetWindowLongPtrA(h, DWLP_USER, lp);
        self->hwnd_ = h;
        return self->OnInit();
    }
    self = reinterpret_cast<FormDialog*>(GetWindowLongPtrA(h, DWLP_USER));
    if (!self) return FALSE;
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(h, DWLP_USER, 0);
        self->hwnd_ = nullptr;
        return FALSE;
    }
    INT_PTR result = 0;
    if (!self->OnMessage(msg, wp, lp, &result)) return FALSE;
    // Colour messages answer with the brush itself; the rest through DWLP_MSGRESULT.
    if (IsColorMessage(msg)) return result;
    SetWindowLongPtrA(h, DWLP_MSGRESULT, result);
    return TRUE;
}

} // namespace kestrix::forms
