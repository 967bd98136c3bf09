// IOleObject: the container's site, verbs, extent and advise sinks.
#include "ControlCore.h"

#include "ComTrap.h"
#include "Units.h"
#include "ReturnIf.h"

namespace kx::ole {

STDMETHODIMP ControlCore::SetClientSite(IOleClientSite* site) {
    return Trap(IID_IOleObject, [&]() -> HRESULT {
        // Letting go of the site ends in-place activity: the window's
        // parent belongs to the container.
        if (!site && inPlaceActive_) InPlaceDeactivate();
        site_.Reset(site);
        OnSiteChanged();
        return S_OK;
    });
}

STDMETHODIMP ControlCore::GetClientSite(IOleClientSite** site) {
    RETURN_HR_IF_NULL(E_POINTER, site);
    *site = site_.ClientSite();
    if (*site) (*site)->AddRef();
    return S_OK;
}

STDMETHODIMP ControlCore::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP ControlCore::Close(DWORD saveOption) {
    return Trap(IID_IOleObject, [&]() -> HRESULT {
        ComPtr<IOleObject> keep(static_cast<IOleObject*>(this));
        InPlaceDeactivate();
        if (dirty_ && site_.ClientSite() && (saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE)) {
            site_.ClientSite()->SaveObject();
        }
        if (adviseHolder_) adviseHolder_->SendOnClose();
        return S_OK;
    });
}

STDMETHODIMP ControlCore::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

STDMETHODIMP ControlCore::GetMoniker(DWORD assign, DWORD which, IMoniker** mk) {
    RETURN_HR_IF_NULL(E_POINTER, mk);
    *mk = nullptr;
    RETURN_HR_IF_NULL(E_UNEXPECTED, site_.ClientSite());
    return site_.ClientSite()->GetMoniker(assign, which, mk);
}

STDMETHODIMP ControlCore::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }
STDMETHODIMP ControlCore::GetClipboardData(DWORD, IDataObject** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ControlCore::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite, LONG, HWND parent, LPCRECT pos) {
    return Trap(IID_IOleObject, [&]() -> HRESULT {
        ComPtr<IOleObject> keep(static_cast<IOleObject*>(this));
        switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_UIACTIVATE:
            return ActivateInPlace(true, activeSite, parent, pos);
        case OLEIVERB_INPLACEACTIVATE:
            return ActivateInPlace(false, activeSite, parent, pos);
        case OLEIVERB_HIDE:
            UIDeactivate();
            if (window_.get()) ShowWindow(window_.get(), SW_HIDE);
            return S_OK;
        case OLEIVERB_PROPERTIES:
            return ShowPropertyPages(parent);
        case OLEIVERB_OPEN:
        case OLEIVERB_DISCARDUNDOSTATE:
            return E_NOTIMPL;
        default:
            return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
        }
    });
}

HRESULT ControlCore::ShowPropertyPages(HWND owner) {
    // The container may show its own frame (with the extender's pages).
    if (IOleControlSite* cs = site_.ControlSite()) {
        if (cs->ShowPropertyFrame() == S_OK) return S_OK;
    }
    RETURN_HR_IF(S_FALSE, info_.pageCount == 0);
    IUnknown* objects[] = {static_cast<IOleObject*>(this)};
    return OleCreatePropertyFrame(owner, 0, 0, nullptr, 1, objects, info_.pageCount, const_cast<CLSID*>(info_.pages),
                                  GetUserDefaultLCID(), 0, nullptr);
}

STDMETHODIMP ControlCore::EnumVerbs(IEnumOLEVERB** verbs) {
    RETURN_HR_IF_NULL(E_POINTER, verbs);
    return OleRegEnumVerbs(*info_.clsid, verbs);
}

STDMETHODIMP ControlCore::Update() { return S_OK; }
STDMETHODIMP ControlCore::IsUpToDate() { return S_OK; }

STDMETHODIMP ControlCore::GetUserClassID(CLSID* clsid) {
    RETURN_HR_IF_NULL(E_POINTER, clsid);
    *clsid = *info_.clsid;
    return S_OK;
}

STDMETHODIMP ControlCore::GetUserType(DWORD form, LPOLESTR* type) {
    RETURN_HR_IF_NULL(E_POINTER, type);
    return OleRegGetUserType(*info_.clsid, form, type);
}

STDMETHODIMP ControlCore::SetExtent(DWORD aspect, SIZEL* size) {
    return Trap(IID_IOleObject, [&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_POINTER, size);
        RETURN_HR_IF(DV_E_DVASPECT, aspect != DVASPECT_CONTENT);
        SIZEL wanted = *size;
        OnSetExtent(&wanted);
        const bool changed = extent_.cx != wanted.cx || extent_.cy != wanted.cy;
        extent_ = wanted;
        if (changed) SetDirty(true);
        // A size other than the one asked for goes back to the container.
        if (wanted.cx != size->cx || wanted.cy != size->cy) RequestResize(wanted);
        return S_OK;
    });
}

HRESULT ControlCore::RequestResize(const SIZEL& himetric) {
    if (IOleInPlaceSite* ips = inPlaceActive_ ? site_.InPlaceSite() : nullptr) {
        const SIZE px = kx::HimetricToPixels(himetric);
        RECT r{posRect_.left, posRect_.top, posRect_.left + px.cx, posRect_.top + px.cy};
        if (SUCCEEDED(ips->OnPosRectChange(&r))) return S_OK;
    }
    // Wine's AtlAxWin answers both with E_NOTIMPL: the size then stays the
    // container's.
    RETURN_HR_IF_NULL(E_UNEXPECTED, site_.ClientSite());
    return site_.ClientSite()->RequestNewObjectLayout();
}

STDMETHODIMP ControlCore::GetExtent(DWORD aspect, SIZEL* size) {
    RETURN_HR_IF_NULL(E_POINTER, size);
    RETURN_HR_IF(DV_E_DVASPECT, aspect != DVASPECT_CONTENT);
    *size = extent_;
    return S_OK;
}

STDMETHODIMP ControlCore::Advise(IAdviseSink* sink, DWORD* cookie) {
    RETURN_HR_IF_NULL(E_POINTER, cookie);
    *cookie = 0;
    if (!adviseHolder_) RETURN_IF_FAILED(CreateOleAdviseHolder(&adviseHolder_));
    return adviseHolder_->Advise(sink, cookie);
}

STDMETHODIMP ControlCore::Unadvise(DWORD cookie) {
    RETURN_HR_IF_NULL(OLE_E_NOCONNECTION, adviseHolder_);
    return adviseHolder_->Unadvise(cookie);
}

STDMETHODIMP ControlCore::EnumAdvise(IEnumSTATDATA** e) {
    RETURN_HR_IF_NULL(E_POINTER, e);
    *e = nullptr;
    RETURN_HR_IF_NULL(S_FALSE, adviseHolder_);
    return adviseHolder_->EnumAdvise(e);
}

STDMETHODIMP ControlCore::GetMiscStatus(DWORD, DWORD* status) {
    RETURN_HR_IF_NULL(E_POINTER, status);
    *status = info_.miscStatus;
    return S_OK;
}

STDMETHODIMP ControlCore::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

} // namespace kx::ole
