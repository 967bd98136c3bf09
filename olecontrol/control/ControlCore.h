// Everything a windowed ActiveX control does for its container, in one
// class that is no template: ControlBase<Derived, Dual> (ControlBase.h)
// adds IUnknown (through kx::ComObject) and IDispatch for the control's
// dual interface, and the control class derives from that.
//
// The member definitions are split by the interface they serve:
//   ControlCore.cpp   class info, error info, pages, IDispatch support
//   OleObject.cpp     IOleObject: site, verbs, extent, advise
//   InPlace.cpp       in-place activation and the control's window
//   OleControl.cpp    IOleControl: ambient changes, frozen events
//   ViewObject.cpp    IViewObject2 and the default face drawing
//   Persistence.cpp   IPersistPropertyBag, IPersistStreamInit
//   Events.cpp        IConnectionPointContainer, firing
//
// Hooks for the control class are the virtual On... members below. Every
// COM method traps exceptions from them: a kx::RaisedError thrown by a hook
// reaches the caller as that automation error.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <string>

#include "ComPtr.h"
#include "ControlClassInfo.h"
#include "ControlWindow.h"
#include "DispatchCall.h"
#include "EventPoints.h"
#include "LateBound.h"
#include "SiteLink.h"
#include "UniqueHandle.h"

namespace kx::ole {

class ControlCore : public IOleObject,
                    public IOleInPlaceObject,
                    public IOleInPlaceActiveObject,
                    public IOleControl,
                    public IViewObject2,
                    public IPersistPropertyBag,
                    public IPersistStreamInit,
                    public IConnectionPointContainer,
                    public IProvideClassInfo2,
                    public ISpecifyPropertyPages,
                    public ISupportErrorInfo,
                    private WindowHooks {
public:
    // ---------------------------------------------------------- for the class
    const ControlClassInfo& ClassInfo() const { return info_; }
    HMODULE Module() const { return module_; }

    // Sets the error object and returns the status to hand back from a
    // method: MAKE_HRESULT(1, FACILITY_CONTROL, number). Late-bound callers
    // get DISP_E_EXCEPTION with scode 0x800A0000 + number, the description,
    // help file and help context (no source); vtable callers GetErrorInfo.
    HRESULT RaiseError(LONG number, const std::wstring& description, const std::wstring& helpFile = std::wstring(),
                       DWORD helpContext = 0) const;

    // Events. args in call order; VT_BYREF arguments carry handlers'
    // changes back. Events are dropped while the container freezes them.
    HRESULT FireEvent(DISPID id, VARIANTARG* args, UINT count);
    void NotifyChanged(DISPID id);
    bool RequestEdit(DISPID id);

    // The container.
    IOleClientSite* ClientSite() const { return site_.ClientSite(); }
    HRESULT AmbientProperty(DISPID id, VARIANT* value) const { return site_.Ambient(id, value); }
    // False when the container gives no user mode.
    bool AmbientUserMode(bool* value) const;
    bool AmbientDisplayName(std::wstring* value) const;
    // The design-time / run-time decision as the base takes it: True when
    // the container says so or says nothing.
    bool RunMode() const;
    // The container's extender of this control; fails (E_NOTIMPL under
    // Wine's AtlAxWin, E_NOINTERFACE without a control site) when there is
    // none.
    HRESULT ExtendedControl(IDispatch** out) const { return site_.ExtendedControl(out); }

    // The control's own window: null until in-place activation.
    HWND Hwnd() const { return window_.get(); }
    bool InPlaceActive() const { return inPlaceActive_; }
    // The extent in HIMETRIC.
    SIZEL Extent() const { return extent_; }
    // Asks the container to give the control this size (HIMETRIC) through
    // IOleInPlaceSite::OnPosRectChange or else
    // IOleClientSite::RequestNewObjectLayout.
    HRESULT RequestResize(const SIZEL& himetric);
    // Redraws the window and tells the view's advise sink.
    void InvalidateView();

    bool IsDirty() const { return dirty_; }
    void SetDirty(bool dirty) { dirty_ = dirty; }

    // ---------------------------------------------------------------- hooks
    // A new control (no saved state). Default: S_OK.
    virtual HRESULT OnInitNew() { return S_OK; }
    // Saved state; log may be null. Default: S_OK.
    virtual HRESULT OnLoad(IPropertyBag* bag, IErrorLog* log) { return S_OK; }
    // saveAll = FALSE allows leaving out values equal to their defaults.
    virtual HRESULT OnSave(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) { return S_OK; }
    // After SetClientSite (also with null, when the container lets go).
    virtual void OnSiteChanged() {}
    // The container says ambient property id changed (DISPID_UNKNOWN: any).
    virtual void OnAmbientChanged(DISPID id) {}
    // The container sets the extent; change *himetric to keep another size
    // (a fixed-size control): the base stores it and asks the container to
    // resize (RequestResize).
    virtual void OnSetExtent(SIZEL* himetric) {}
    // The control's window procedure: return true with *result to answer a
    // message. WM_PAINT not answered here paints with OnDraw.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) { return false; }
    virtual void OnWindowCreated(HWND hwnd) {}
    // Before the base destroys the window (not when its parent destroys it).
    virtual void OnWindowDestroying(HWND hwnd) {}
    // Draws the face: default fills with the window colour and draws the
    // class's face bitmap at the top left.
    virtual void OnDraw(HDC dc, const RECT& bounds);
    // A late-bound call of a member that callers make on every window
    // message: the control may call the member itself, when the arguments
    // are exactly the types it declares, and answer true with the member's
    // status in *hr (the base reports a failure as the type information's
    // call does). False leaves the call to the type information. Default: false.
    virtual bool InvokeDirect(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, HRESULT* hr) { return false; }

    // ---------------------------------------------------------- IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR obj) override;
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD which, IMoniker* mk) override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** mk) override;
    STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
    STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
    STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* activeSite, LONG index, HWND parent,
                        LPCRECT pos) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
    STDMETHODIMP Update() override;
    STDMETHODIMP IsUpToDate() override;
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** e) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE* pal) override;

    // ---------------------- IOleWindow, IOleInPlaceObject, ...ActiveObject
    STDMETHODIMP GetWindow(HWND* hwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override;
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
    STDMETHODIMP EnableModeless(BOOL enable) override;

    // ---------------------------------------------------------- IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* ci) override;
    STDMETHODIMP OnMnemonic(MSG* msg) override;
    STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
    STDMETHODIMP FreezeEvents(BOOL freeze) override;

    // --------------------------------------------------------- IViewObject2
    STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDc, HDC dc,
                      LPCRECTL bounds, LPCRECTL wBounds, BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR),
                      ULONG_PTR contArg) override;
    STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDc,
                             LOGPALETTE** colors) override;
    STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* cookie) override;
    STDMETHODIMP Unfreeze(DWORD cookie) override;
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* sink) override;
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* advf, IAdviseSink** sink) override;
    STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

    // ------------------------------ IPersist, IPersistPropertyBag, ...Stream
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP InitNew() override;
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;

    // ------------------------------------------- IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** e) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // ------------------------------------------------- IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // -------------------------------------------- ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

    // ------------------------------------------------ ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

protected:
    explicit ControlCore(const ControlClassInfo& info);
    virtual ~ControlCore();
    ControlCore(const ControlCore&) = delete;
    ControlCore& operator=(const ControlCore&) = delete;

    // The interfaces above, for QueryInterface (IUnknown and the dual
    // interface are answered by ControlBase).
    bool QueryCore(REFIID iid, void** out);

    // IDispatch of the dual interface at instance, through the type library.
    HRESULT DispatchTypeInfoCount(UINT* count);
    HRESULT DispatchTypeInfo(UINT index, ITypeInfo** info);
    HRESULT DispatchIdsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids);
    HRESULT DispatchInvoke(void* instance, DISPID id, REFIID iid, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* excepInfo, UINT* argErr);

private:
    HRESULT EnsureTypeInfo();
    HRESULT ActivateInPlace(bool uiActivate, IOleClientSite* activeSite, HWND parentHint, LPCRECT posHint);
    // The two steps of ActivateInPlace: the window in its place, then the
    // frame and document told which object is active.
    HRESULT CreateInPlaceWindow(IOleInPlaceSite* ips, HWND parentHint, LPCRECT posHint, ComPtr<IOleInPlaceFrame>& frame,
                                ComPtr<IOleInPlaceUIWindow>& doc);
    void UIActivate(IOleInPlaceSite* ips, ComPtr<IOleInPlaceFrame>& frame, ComPtr<IOleInPlaceUIWindow>& doc);
    HRESULT ShowPropertyPages(HWND owner);
    void ApplyRunModeVisibility();
    HRESULT LoadFromBag(IPropertyBag* bag, IErrorLog* log);
    LRESULT WindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool* handled) override;
    void WindowGone(HWND hwnd) override;

    const ControlClassInfo& info_;
    HMODULE module_;
    SiteLink site_;
    ControlWindow window_;
    EventPoints events_;
    ComPtr<ITypeLib> typeLib_;
    ComPtr<ITypeInfo> dispatchInfo_; // TKIND_DISPATCH, what GetTypeInfo hands out
    ComPtr<ITypeInfo> interfaceInfo_; // TKIND_INTERFACE of the dual, what Invoke calls through
    CoercionPlan plan_; // of interfaceInfo_
    ComPtr<IOleAdviseHolder> adviseHolder_;
    ComPtr<IAdviseSink> viewSink_;
    DWORD viewAspects_ = 0;
    DWORD viewAdvf_ = 0;
    SIZEL extent_;
    RECT posRect_{};
    bool inPlaceActive_ = false;
    bool uiActive_ = false;
    bool dirty_ = false;
    LONG frozen_ = 0;
    mutable UniqueGdi face_;
    mutable bool faceLoaded_ = false;
};

} // namespace kx::ole
