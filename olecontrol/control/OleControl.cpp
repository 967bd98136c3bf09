// IOleControl and the ambient properties the control reads.
#include "ControlCore.h"

#include "ComTrap.h"
#include "ReturnIf.h"

namespace kx::ole {

bool ControlCore::AmbientUserMode(bool* value) const {
    bool v = false;
    if (!site_.AmbientBool(DISPID_AMBIENT_USERMODE, &v)) return false;
    if (value) *value = v;
    return true;
}

bool ControlCore::AmbientDisplayName(std::wstring* value) const {
    return site_.AmbientString(DISPID_AMBIENT_DISPLAYNAME, value);
}

bool ControlCore::RunMode() const {
    bool user = true;
    return !AmbientUserMode(&user) || user;
}

STDMETHODIMP ControlCore::GetControlInfo(CONTROLINFO* ci) {
    RETURN_HR_IF_NULL(E_POINTER, ci);
    // No mnemonics. cb is the caller's.
    ci->hAccel = nullptr;
    ci->cAccel = 0;
    ci->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP ControlCore::OnMnemonic(MSG*) { return S_OK; }

STDMETHODIMP ControlCore::OnAmbientPropertyChange(DISPID id) {
    return Trap(IID_IOleControl, [&]() -> HRESULT {
        ComPtr<IOleObject> keep(static_cast<IOleObject*>(this));
        if (id == DISPID_AMBIENT_USERMODE || id == DISPID_UNKNOWN) ApplyRunModeVisibility();
        OnAmbientChanged(id);
        return S_OK;
    });
}

STDMETHODIMP ControlCore::FreezeEvents(BOOL freeze) {
    if (freeze) ++frozen_;
    else if (frozen_ > 0) --frozen_;
    return S_OK;
}

} // namespace kx::ole
