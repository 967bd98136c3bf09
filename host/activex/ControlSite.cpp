#include "ControlSite.h"
#include "LateBound.h"
#include "ReturnIf.h"
#include "Units.h"
#include "Text.h"
#include "ActiveXControl.h"
#include "Form.h"
#include "Runtime.h"
#include <olectl.h>
#include <cmath>

namespace kxhost {

namespace {
// The ambient properties the form gives, by name.
const kx::NamedId kAmbients[] = {
    {L"UserMode", DISPID_AMBIENT_USERMODE},
    {L"DisplayName", DISPID_AMBIENT_DISPLAYNAME},
    {L"LocaleID", DISPID_AMBIENT_LOCALEID},
    {L"BackColor", DISPID_AMBIENT_BACKCOLOR},
    {L"ForeColor", DISPID_AMBIENT_FORECOLOR},
    {L"MessageReflect", DISPID_AMBIENT_MESSAGEREFLECT},
    {L"UIDead", DISPID_AMBIENT_UIDEAD},
    {L"ShowGrabHandles", DISPID_AMBIENT_SHOWGRABHANDLES},
    {L"ShowHatching", DISPID_AMBIENT_SHOWHATCHING},
    {L"Font", DISPID_AMBIENT_FONT},
};
} // namespace

STDMETHODIMP ControlSite::RequestNewObjectLayout() {
    if (!owner_) return E_UNEXPECTED;
    owner_->SyncExtent();
    return S_OK;
}

STDMETHODIMP ControlSite::GetContainer(IOleContainer** c) {
    return kx::GiveRef(owner_ ? owner_->Parent().Container() : nullptr, c, E_NOINTERFACE);
}

STDMETHODIMP ControlSite::GetWindow(HWND* h) {
    if (!h) return E_POINTER;
    *h = owner_ ? owner_->Parent().hwnd() : nullptr;
    return *h ? S_OK : E_FAIL;
}

STDMETHODIMP ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                           LPOLEINPLACEFRAMEINFO info) {
    if (!frame || !doc || !pos || !clip || !info) return E_POINTER;
    if (!owner_) return E_UNEXPECTED;
    *frame = this;
    AddRef();
    *doc = nullptr;
    *pos = owner_->PixelRect();
    GetClientRect(owner_->Parent().hwnd(), clip);
    info->fMDIApp = FALSE;
    info->hwndFrame = owner_->Parent().hwnd();
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP ControlSite::OnPosRectChange(LPCRECT rc) {
    if (!rc) return E_POINTER;
    if (!owner_) return E_UNEXPECTED;
    owner_->OnPosRectChange(*rc);
    return S_OK;
}

STDMETHODIMP ControlSite::GetExtendedControl(IDispatch** ext) {
    return kx::GiveRef(owner_ ? owner_->Dispatch() : nullptr, ext, E_UNEXPECTED);
}

STDMETHODIMP ControlSite::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
    if (!himetric || !container) return E_POINTER;
    if (!owner_) return E_UNEXPECTED;
    // The form's units are twips, for positions and sizes alike.
    if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
        container->x = static_cast<float>(himetric->x * kx::kTwipsPerInch / double{kx::kHimetricPerInch});
        container->y = static_cast<float>(himetric->y * kx::kTwipsPerInch / double{kx::kHimetricPerInch});
    } else if (flags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
        // Rounded to the nearest, away from zero on a half, negative values too.
        himetric->x = static_cast<LONG>(std::lround(container->x * kx::kHimetricPerInch / double{kx::kTwipsPerInch}));
        himetric->y = static_cast<LONG>(std::lround(container->y * kx::kHimetricPerInch / double{kx::kTwipsPerInch}));
    } else {
        return E_INVALIDARG;
    }
    return S_OK;
}

STDMETHODIMP ControlSite::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return kx::IdsOfNames(kAmbients, names, count, ids); // ambient properties take no named arguments
}

STDMETHODIMP ControlSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) {
    if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    if (!owner_) return E_UNEXPECTED;
    if (!result) return E_POINTER;
    VariantInit(result);
    try {
        return Ambient(id, result);
    } catch (...) {
        VariantClear(result);
        return E_OUTOFMEMORY;
    }
}

HRESULT ControlSite::Ambient(DISPID id, VARIANT* result) {
    const bool user = owner_->Parent().runtime().UserMode();
    auto boolean = [result](bool b) {
        V_VT(result) = VT_BOOL;
        V_BOOL(result) = b ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    };
    switch (id) {
    case DISPID_AMBIENT_USERMODE:
        return boolean(user);
    case DISPID_AMBIENT_UIDEAD:
        return boolean(false);
    case DISPID_AMBIENT_MESSAGEREFLECT:
        return boolean(false);
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
        return boolean(!user);
    case DISPID_AMBIENT_DISPLAYNAME: {
        // The name as the designer lists it: with its index for an array member.
        std::wstring name = owner_->Name();
        if (owner_->Index()) name += L"(" + std::to_wstring(*owner_->Index()) + L")";
        V_VT(result) = VT_BSTR;
        V_BSTR(result) = SysAllocString(name.c_str());
        return V_BSTR(result) ? S_OK : E_OUTOFMEMORY;
    }
    case DISPID_AMBIENT_LOCALEID:
        V_VT(result) = VT_I4;
        V_I4(result) = static_cast<LONG>(GetUserDefaultLCID());
        return S_OK;
    case DISPID_AMBIENT_BACKCOLOR:
        V_VT(result) = VT_I4;
        V_I4(result) = static_cast<LONG>(0x80000000u | COLOR_BTNFACE);
        return S_OK;
    case DISPID_AMBIENT_FORECOLOR:
        V_VT(result) = VT_I4;
        V_I4(result) = static_cast<LONG>(0x80000000u | COLOR_BTNTEXT);
        return S_OK;
    case DISPID_AMBIENT_FONT: {
        LOGFONTW lf{};
        GetObjectW(owner_->Parent().FontFor({}), sizeof lf, &lf);
        FONTDESC fd{sizeof(FONTDESC),
                    lf.lfFaceName,
                    {},
                    static_cast<SHORT>(lf.lfWeight),
                    static_cast<SHORT>(lf.lfCharSet),
                    FALSE,
                    FALSE,
                    FALSE};
        const int dpi = kx::ScreenDpi(LOGPIXELSY);
        fd.cySize.int64 = static_cast<LONGLONG>((lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight) * 72.0 / dpi * 10000.0);
        IFontDisp* font = nullptr;
        RETURN_IF_FAILED(OleCreateFontIndirect(&fd, IID_IFontDisp, reinterpret_cast<void**>(&font)));
        V_VT(result) = VT_DISPATCH;
        V_DISPATCH(result) = font;
        return S_OK;
    }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

STDMETHODIMP ControlSite::OnChanged(DISPID id) {
    try {
        if (owner_) owner_->OnChanged(id);
    } catch (...) {
        // The record is lost, not the control's change.
    }
    return S_OK;
}

} // namespace kxhost
