// In-place activation and the control's own window.
#include "ControlCore.h"

#include "ComTrap.h"
#include "ReturnIf.h"

namespace kx::ole {

HRESULT ControlCore::ActivateInPlace(bool uiActivate, IOleClientSite* activeSite, HWND parentHint, LPCRECT posHint) {
    if (!site_.ClientSite() && activeSite) {
        site_.Reset(activeSite);
        OnSiteChanged();
    }
    IOleInPlaceSite* ips = site_.InPlaceSite();
    RETURN_HR_IF_NULL(E_NOINTERFACE, ips);

    if (!inPlaceActive_) {
        RETURN_HR_IF(E_FAIL, ips->CanInPlaceActivate() != S_OK);
        RETURN_IF_FAILED(ips->OnInPlaceActivate());
        inPlaceActive_ = true;
    }

    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> doc;
    if (!window_.get()) RETURN_IF_FAILED(CreateInPlaceWindow(ips, parentHint, posHint, frame, doc));
    if (uiActivate && !uiActive_) UIActivate(ips, frame, doc);
    return S_OK;
}

HRESULT ControlCore::CreateInPlaceWindow(IOleInPlaceSite* ips, HWND parentHint, LPCRECT posHint,
                                         ComPtr<IOleInPlaceFrame>& frame, ComPtr<IOleInPlaceUIWindow>& doc) {
    HWND parent = nullptr;
    if (FAILED(ips->GetWindow(&parent)) || !parent) parent = parentHint;
    RECT pos{}, clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    if (FAILED(ips->GetWindowContext(&frame, &doc, &pos, &clip, &frameInfo))) {
        if (!posHint) {
            ips->OnInPlaceDeactivate();
            inPlaceActive_ = false;
            return E_FAIL;
        }
        pos = *posHint;
    }
    RETURN_HR_IF_NULL(E_FAIL, parent);
    posRect_ = pos;
    // Invisible at run time: the window exists (others find it by
    // handle) but is never shown.
    const bool visible = !(info_.miscStatus & OLEMISC_INVISIBLEATRUNTIME) || !RunMode();
    const HRESULT hr = window_.Create(module_, info_.windowClass, parent, pos, visible, this);
    if (FAILED(hr)) {
        ips->OnInPlaceDeactivate();
        inPlaceActive_ = false;
        return hr;
    }
    OnWindowCreated(window_.get());
    return S_OK;
}

void ControlCore::UIActivate(IOleInPlaceSite* ips, ComPtr<IOleInPlaceFrame>& frame, ComPtr<IOleInPlaceUIWindow>& doc) {
    uiActive_ = true;
    ips->OnUIActivate();
    if (!frame) {
        RECT pos{}, clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof frameInfo;
        frame = nullptr;
        doc = nullptr;
        ips->GetWindowContext(&frame, &doc, &pos, &clip, &frameInfo);
    }
    IOleInPlaceActiveObject* active = this;
    if (frame) frame->SetActiveObject(active, nullptr);
    if (doc) doc->SetActiveObject(active, nullptr);
    if (window_.get() && IsWindowVisible(window_.get())) SetFocus(window_.get());
}

STDMETHODIMP ControlCore::InPlaceDeactivate() {
    return Trap(IID_IOleInPlaceObject, [&]() -> HRESULT {
        if (!inPlaceActive_) return S_OK;
        ComPtr<IOleObject> keep(static_cast<IOleObject*>(this));
        UIDeactivate();
        inPlaceActive_ = false;
        if (HWND hwnd = window_.get()) {
            OnWindowDestroying(hwnd);
            window_.Destroy();
        }
        if (IOleInPlaceSite* ips = site_.InPlaceSite()) ips->OnInPlaceDeactivate();
        return S_OK;
    });
}

STDMETHODIMP ControlCore::UIDeactivate() {
    return Trap(IID_IOleInPlaceObject, [&]() -> HRESULT {
        if (!uiActive_) return S_OK;
        uiActive_ = false;
        IOleInPlaceSite* ips = site_.InPlaceSite();
        if (!ips) return S_OK;
        ComPtr<IOleInPlaceFrame> frame;
        ComPtr<IOleInPlaceUIWindow> doc;
        RECT pos{}, clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof frameInfo;
        if (SUCCEEDED(ips->GetWindowContext(&frame, &doc, &pos, &clip, &frameInfo))) {
            if (doc) doc->SetActiveObject(nullptr, nullptr);
            if (frame) frame->SetActiveObject(nullptr, nullptr);
        }
        ips->OnUIDeactivate(FALSE);
        return S_OK;
    });
}

STDMETHODIMP ControlCore::SetObjectRects(LPCRECT pos, LPCRECT) {
    RETURN_HR_IF_NULL(E_POINTER, pos);
    posRect_ = *pos;
    if (HWND hwnd = window_.get()) {
        MoveWindow(hwnd, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
    }
    return S_OK;
}

STDMETHODIMP ControlCore::GetWindow(HWND* hwnd) {
    RETURN_HR_IF_NULL(E_POINTER, hwnd);
    *hwnd = window_.get();
    return *hwnd ? S_OK : E_FAIL;
}

STDMETHODIMP ControlCore::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }
STDMETHODIMP ControlCore::ReactivateAndUndo() { return E_NOTIMPL; }
STDMETHODIMP ControlCore::TranslateAccelerator(LPMSG) { return S_FALSE; }
STDMETHODIMP ControlCore::OnFrameWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP ControlCore::OnDocWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP ControlCore::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
STDMETHODIMP ControlCore::EnableModeless(BOOL) { return S_OK; }

void ControlCore::ApplyRunModeVisibility() {
    HWND hwnd = window_.get();
    if (!hwnd || !(info_.miscStatus & OLEMISC_INVISIBLEATRUNTIME)) return;
    ShowWindow(hwnd, RunMode() ? SW_HIDE : SW_SHOWNA);
}

LRESULT ControlCore::WindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool* handled) {
    // Held for the message: a handler may let go of the control. A count
    // that comes back as 1 was 0: the control is being destroyed, and what
    // is left of it answers nothing.
    if (static_cast<IOleObject*>(this)->AddRef() == 1) return 0;
    LRESULT result = 0;
    try {
        *handled = OnMessage(msg, wp, lp, &result);
        if (!*handled && msg == WM_PAINT) {
            PAINTSTRUCT ps;
            if (HDC dc = BeginPaint(hwnd, &ps)) {
                RECT client;
                GetClientRect(hwnd, &client);
                try {
                    OnDraw(dc, client);
                } catch (...) {
                    // A face that fails to draw stays blank.
                }
                EndPaint(hwnd, &ps);
            }
            *handled = true;
            result = 0;
        }
    } catch (...) {
        // Nothing leaves a window procedure; the default answer stands.
        *handled = false;
    }
    static_cast<IOleObject*>(this)->Release();
    return result;
}

void ControlCore::WindowGone(HWND hwnd) {
    if (window_.get() == hwnd) window_.Forget();
}

} // namespace kx::ole
