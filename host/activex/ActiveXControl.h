// An ActiveX control on a form: created from its ProgID or CLSID, given a
// site, its saved properties (or a fresh start), an extender that the
// Controls collection yields for it, in-place activation in its own child
// window, and its events connected to the form's handlers.
#pragma once
#include <ocidl.h>
#include <oleidl.h>
#include <vector>

#include "ComPtr.h"
#include "Control.h"

namespace kxhost {

class ControlSite;
class EventSink;

class ActiveXControl : public Control {
public:
    // fresh: the control is newly placed (design time) and starts with InitNew.
    ActiveXControl(Form& parent, const ControlDesc& desc, bool fresh = false);
    ~ActiveXControl() override;

    const wchar_t* Kind() const override { return L"Control"; }
    HWND hwnd() const override;
    void Create() override;
    void Move(LONG left, LONG top, LONG width, LONG height) override;
    ControlDesc Describe() const override;

    // The control's own automation object (not the extender).
    IDispatch* ControlObject() const { return dispatch_.Get(); }
    IOleObject* OleObject() const { return ole_.Get(); }
    const CLSID& Clsid() const { return clsid_; }
    // Dispatch ids the control reported through IPropertyNotifySink::OnChanged, in order.
    const std::vector<DISPID>& Changes() const { return changes_; }
    // The position rectangle in pixels within the form.
    RECT PixelRect() const;

private:
    friend class ControlSite;
    friend class EventSink;
    void OnChanged(DISPID id);
    void OnPosRectChange(const RECT& px);
    void ApplyExtent(); // asks the control for the form's size, then takes the control's
    void SyncExtent(); // takes the size the control has
    void DefineExtenderMembers();
    void Teardown() noexcept;

    CLSID clsid_{};
    bool fresh_;
    kx::ComPtr<IOleObject> ole_;
    kx::ComPtr<IDispatch> dispatch_;
    kx::ComPtr<ControlSite> site_;
    kx::ComPtr<EventSink> sink_;
    DWORD notifyCookie_ = 0;
    std::vector<DISPID> changes_;
};

} // namespace kxhost
