// The control's link to its container: the client site and what it offers
// besides (control site, in-place site, the ambient-properties IDispatch).
// Any of these may be missing: Wine's AtlAxWin gives a site without
// IDispatch (no ambient properties) whose GetExtendedControl fails.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <string>

#include "ComPtr.h"

namespace kx::ole {

class SiteLink {
public:
    void Reset(IOleClientSite* site);

    IOleClientSite* ClientSite() const { return client_.Get(); }
    IOleControlSite* ControlSite() const { return control_.Get(); }
    // Asked for once per site.
    IOleInPlaceSite* InPlaceSite();

    // An ambient property by its DISPID_AMBIENT_ id; E_NOINTERFACE when the
    // site gives no ambient properties, the site's failure when it lacks
    // this one.
    HRESULT Ambient(DISPID id, VARIANT* value) const;
    // True when the site gave a value of (or converting to) the type.
    bool AmbientBool(DISPID id, bool* value) const;
    bool AmbientString(DISPID id, std::wstring* value) const;

    // The container's extender object of the control.
    HRESULT ExtendedControl(IDispatch** out) const;

private:
    ComPtr<IOleClientSite> client_;
    ComPtr<IOleControlSite> control_;
    ComPtr<IDispatch> ambient_;
    ComPtr<IOleInPlaceSite> inPlace_;
    bool inPlaceAsked_ = false;
};

} // namespace kx::ole
