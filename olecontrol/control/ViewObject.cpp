// IViewObject2, for containers that draw controls themselves, and the
// default face.
#include "ControlCore.h"
#include "NonCopyable.h"

#include "ComTrap.h"
#include "ReturnIf.h"

namespace kx::ole {

namespace {
// A memory DC with one bitmap selected, put back and deleted at the end.
class MemoryDc : private kx::NonCopyable {
public:
    MemoryDc(HDC like, HGDIOBJ bitmap) : dc_(CreateCompatibleDC(like)) {
        if (dc_) old_ = SelectObject(dc_, bitmap);
    }
    ~MemoryDc() {
        if (!dc_) return;
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    HDC get() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};
} // namespace

void ControlCore::OnDraw(HDC dc, const RECT& bounds) {
    FillRect(dc, &bounds, GetSysColorBrush(COLOR_WINDOW));
    if (!faceLoaded_) {
        faceLoaded_ = true;
        if (info_.faceBitmapId) {
            face_.reset(LoadImageA(module_, MAKEINTRESOURCEA(info_.faceBitmapId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        }
    }
    if (!face_) return;
    BITMAP bm{};
    if (!GetObjectA(face_.get(), sizeof bm, &bm)) return;
    MemoryDc mem(dc, face_.get());
    if (!mem.get()) return;
    if (GetMapMode(dc) == MM_TEXT) {
        BitBlt(dc, bounds.left, bounds.top, bm.bmWidth, bm.bmHeight, mem.get(), 0, 0, SRCCOPY);
    } else {
        // A metafile or a scaled device: the face fills the bounds.
        StretchBlt(dc, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, mem.get(), 0, 0,
                   bm.bmWidth, bm.bmHeight, SRCCOPY);
    }
}

void ControlCore::InvalidateView() {
    if (HWND hwnd = window_.get()) InvalidateRect(hwnd, nullptr, TRUE);
    if (viewSink_ && (viewAspects_ & DVASPECT_CONTENT)) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
}

STDMETHODIMP ControlCore::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                               BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    return Trap(IID_IViewObject2, [&]() -> HRESULT {
        RETURN_HR_IF(DV_E_DVASPECT, aspect != DVASPECT_CONTENT);
        RETURN_HR_IF_NULL(E_INVALIDARG, dc);
        RECT r{};
        if (bounds) {
            r = RECT{bounds->left, bounds->top, bounds->right, bounds->bottom};
        } else if (window_.get()) {
            GetClientRect(window_.get(), &r);
        } else {
            return E_INVALIDARG;
        }
        const int saved = SaveDC(dc);
        OnDraw(dc, r);
        if (saved) RestoreDC(dc, saved);
        return S_OK;
    });
}

STDMETHODIMP ControlCore::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
    if (colors) *colors = nullptr;
    return S_FALSE;
}

STDMETHODIMP ControlCore::Freeze(DWORD, LONG, void*, DWORD* cookie) {
    if (cookie) *cookie = 0;
    return E_NOTIMPL;
}

STDMETHODIMP ControlCore::Unfreeze(DWORD) { return E_NOTIMPL; }

STDMETHODIMP ControlCore::SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* sink) {
    viewSink_ = sink;
    viewAspects_ = aspects;
    viewAdvf_ = advf;
    return S_OK;
}

STDMETHODIMP ControlCore::GetAdvise(DWORD* aspects, DWORD* advf, IAdviseSink** sink) {
    if (aspects) *aspects = viewAspects_;
    if (advf) *advf = viewAdvf_;
    if (sink) {
        *sink = viewSink_.Get();
        if (*sink) (*sink)->AddRef();
    }
    return S_OK;
}

STDMETHODIMP ControlCore::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    RETURN_HR_IF_NULL(E_POINTER, size);
    RETURN_HR_IF(DV_E_DVASPECT, aspect != DVASPECT_CONTENT);
    *size = extent_;
    return S_OK;
}

} // namespace kx::ole
