// What the control asks of its container: its extender, its form, names
// and identity, the user mode, and its place on the form at run time.
#include "Kestrix.h"
#include "Defaults.h"
#include "ByName.h"
#include "Ansi.h"
#include "KestrixBas.h"
#include "Variant.h"

namespace kestrix {

kx::ComPtr<IDispatch> Kestrix::Extender() const {
    kx::ComPtr<IDispatch> ext;
    if (SUCCEEDED(ExtendedControl(&ext)) && ext) return ext;
    // No extender: the control stands for itself.
    return kx::ComPtr<IDispatch>(static_cast<IDispatch*>(const_cast<Kestrix*>(this)));
}

kx::ComPtr<IDispatch> Kestrix::ParentFormOf(IDispatch* extender) const {
    kx::Variant v;
    kx::ComPtr<IDispatch> form;
    if (SUCCEEDED(kx::GetProperty(extender, L"Parent", v.get())) && v.vt() == VT_DISPATCH && V_DISPATCH(v.get()))
        form = V_DISPATCH(v.get());
    return form;
}

std::wstring Kestrix::FormName(IDispatch* form) const {
    if (form) {
        try {
            return kx::byname::NameOf(form);
        } catch (const kx::RaisedError&) {
            // a form without a readable Name is treated as no form
        }
    }
    return Def_NothingText; // no parent form: nothing to target by default
}

std::wstring Kestrix::OwnName() const {
    try {
        return kx::byname::NameOf(Extender().Get());
    } catch (const kx::RaisedError&) {
        std::wstring display;
        return AmbientDisplayName(&display) && !display.empty() ? display : std::wstring(kDefaultControlName);
    }
}

bool Kestrix::IsSelf(IDispatch* object) const { return object && kx::SameObject(object, Extender().Get()); }

bool Kestrix::UserModeFromContainer() const {
    // A container that says nothing gets run-time behaviour, so that no
    // message box waits for a user who is not there.
    bool user = true;
    return AmbientUserMode(&user) ? user : true;
}

void Kestrix::PrepareReceiver() {
    HWND own = Hwnd();
    if (!own) return;
    if (kx::ComPtr<IDispatch> form = ParentFormOf(Extender().Get())) {
        const LONG_PTR formHwnd = gFn_CtlHwnd(form.Get());
        if (formHwnd) SetParent(own, reinterpret_cast<HWND>(formHwnd));
    }
    SetWindowTextA(own, kx::ToAnsi(gFn_Engine().g_LinkName).c_str());
}

} // namespace kestrix
