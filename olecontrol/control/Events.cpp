// IConnectionPointContainer and firing events and change notifications.
#include "ControlCore.h"

#include "ComTrap.h"
#include "ReturnIf.h"

namespace kx::ole {

STDMETHODIMP ControlCore::EnumConnectionPoints(IEnumConnectionPoints** e) {
    return Trap(IID_IConnectionPointContainer, [&]() { return events_.Enum(e); });
}

STDMETHODIMP ControlCore::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    return Trap(IID_IConnectionPointContainer, [&]() { return events_.Find(iid, point); });
}

HRESULT ControlCore::FireEvent(DISPID id, VARIANTARG* args, UINT count) {
    if (frozen_ > 0) return S_FALSE;
    ComPtr<IOleObject> keep(static_cast<IOleObject*>(this));
    return events_.Fire(id, args, count);
}

void ControlCore::NotifyChanged(DISPID id) {
    ComPtr<IOleObject> keep(static_cast<IOleObject*>(this));
    events_.NotifyChanged(id);
    SetDirty(true);
}

bool ControlCore::RequestEdit(DISPID id) {
    ComPtr<IOleObject> keep(static_cast<IOleObject*>(this));
    return events_.RequestEdit(id);
}

} // namespace kx::ole
