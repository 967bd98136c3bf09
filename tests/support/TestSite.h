// The one container site of the tests' own: client site, in-place site,
// control site (with an extender, or E_NOTIMPL without one, as Wine's ATL
// host window answers), the ambient user mode and display name through its
// own IDispatch (each can be missing) and a sink for change notifications. It records what the
// control asked of it and told it. For a control started outside the form
// runtime, as a script host or another container would start it.
#pragma once
#include <windows.h>
#include "NonCopyable.h"
#include <ocidl.h>
#include <olectl.h>
#include <optional>
#include <string>
#include <vector>

#include "ComObject.h"
#include "ComPtr.h"

namespace kxtest {

class TestSite
    : public kx::ComObject<TestSite, IOleClientSite, IOleInPlaceSite, IOleControlSite, IDispatch, IPropertyNotifySink> {
public:
    // window: where the control goes in place (none: it has nowhere to go).
    static kx::ComPtr<TestSite> New(HWND window = nullptr);

    // What the site gives.
    std::optional<bool> userMode; // none: the ambient is missing
    std::optional<std::wstring> displayName = std::wstring(L"KxTest1"); // none: missing
    kx::ComPtr<IDispatch> extender; // null: GetExtendedControl fails
    RECT pos{10, 20, 110, 70}; // the control's place in window
    HRESULT posRectChangeAnswer = S_OK;
    HRESULT propertyFrameAnswer = E_NOTIMPL;

    // What the control did.
    int inPlaceActivations = 0;
    int inPlaceDeactivations = 0;
    int uiActivations = 0;
    int uiDeactivations = 0;
    int layoutRequests = 0;
    int saveRequests = 0;
    int propertyFrames = 0;
    std::vector<RECT> posRectChanges;
    std::vector<DISPID> changes; // the change notifications, in order

    // IOleClientSite
    STDMETHODIMP SaveObject() override;
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** mk) override;
    STDMETHODIMP GetContainer(IOleContainer** c) override;
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override;
    // IOleWindow, IOleInPlaceSite
    STDMETHODIMP GetWindow(HWND* hwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override;
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override;
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT pos) override;
    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
    STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
    STDMETHODIMP GetExtendedControl(IDispatch** out) override;
    STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    STDMETHODIMP OnFocus(BOOL) override { return S_OK; }
    STDMETHODIMP ShowPropertyFrame() override {
        ++propertyFrames;
        return propertyFrameAnswer;
    }
    // IDispatch: the ambient properties
    KX_NO_TYPE_INFO
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override;
    // IPropertyNotifySink
    STDMETHODIMP OnChanged(DISPID id) override {
        changes.push_back(id);
        return S_OK;
    }
    STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }

private:
    friend class kx::ComObject<TestSite, IOleClientSite, IOleInPlaceSite, IOleControlSite, IDispatch,
                               IPropertyNotifySink>;
    explicit TestSite(HWND window) : window_(window) {}
    HWND window_;
};

// A visible top-level window to hold controls, destroyed with the owner.
class HostWindow : private kx::NonCopyable {
public:
    HostWindow();
    ~HostWindow();
    HWND get() const { return hwnd_; }
    void Destroy();

private:
    HWND hwnd_ = nullptr;
};

// The class name of a window, ANSI.
std::string WindowClassName(HWND hwnd);

} // namespace kxtest
