// A captured message becomes GetEvents, and a drop of files FileDrop.
#include "Kestrix.h"
#include "Ansi.h"
#include "ComTrap.h"
#include "DispIds.h"
#include "KestrixBas.h"
#include "Text.h"
#include "Variant.h"
#include <shellapi.h>
#include <optional>
#include <vector>

namespace kestrix {

namespace {

constexpr DISPID kEventGetEvents = 1;
constexpr DISPID kEventFileDrop = 3;
constexpr LONG kDropFiles = WM_DROPFILES;

// Every path of a drop, whole and exact: its length is asked first, so a
// long path is not cut, and it is read wide, so a name the ANSI code page
// cannot spell still names its file.
std::vector<std::wstring> DroppedFiles(HDROP drop, LONG* count) {
    *count = static_cast<LONG>(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0));
    std::vector<std::wstring> files(1);
    for (LONG i = 0; i < *count; ++i) {
        const UINT len = DragQueryFileW(drop, static_cast<UINT>(i), nullptr, 0);
        std::wstring path(static_cast<size_t>(len) + 1, L'\0');
        const UINT got = DragQueryFileW(drop, static_cast<UINT>(i), &path[0], len + 1);
        path.resize(got);
        if (files.size() < static_cast<size_t>(i) + 1) files.resize(static_cast<size_t>(i) + 1);
        files[static_cast<size_t>(i)] = kx::TrimBlanks(path);
    }
    return files;
}

// A one-dimensional array of strings with lower bound 0.
SAFEARRAY* StringArray(const std::vector<std::wstring>& items) {
    SAFEARRAY* sa = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(items.size()));
    if (!sa) throw std::bad_alloc();
    for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i) {
        BSTR b = SysAllocStringLen(items[i].data(), static_cast<UINT>(items[i].size()));
        const HRESULT hr = SafeArrayPutElement(sa, &i, b);
        SysFreeString(b);
        if (FAILED(hr)) {
            SafeArrayDestroy(sa);
            throw std::bad_alloc();
        }
    }
    return sa;
}

} // namespace

bool Kestrix::DeliverEvent(LONG_PTR* hwnd, LONG* msg, LONG_PTR* wp, LONG_PTR* lp) {
    const HWND h = reinterpret_cast<HWND>(*hwnd);
    // The engine's own call hands on the control it looked up; code's call
    // looks it up here, and has no message behind its event.
    Delivery* const delivery = gFn_TakeDelivery(h);
    std::optional<NoMessageScope> noMessage;
    if (!delivery) noMessage.emplace(gFn_Engine());
    // A drop's files are read as it came, before a handler may pass it on
    // (the window's procedure may free the handle) or change it.
    const bool drop = *msg == kDropFiles && gFn_Engine().g_FileDropMode;
    LONG fileCount = 0;
    std::vector<std::wstring> files;
    if (drop) files = DroppedFiles(reinterpret_cast<HDROP>(*wp), &fileCount);

    // The slot of a by-reference object owns its reference (a handler may
    // replace it). FileDrop names the control the slot held before the handler.
    IDispatch* controlRef = delivery ? kx::ComPtr<IDispatch>(delivery->control).Detach() : gFn_TargetCtl(h).Detach();
    const kx::ComPtr<IDispatch> dropControl = drop ? controlRef : nullptr;

    VARIANT_BOOL cancel = VARIANT_FALSE;
    // The handler's changes to the message and its parameters reach the
    // caller's own variables: the arguments refer to them.
    VARIANTARG args[5];
    V_VT(&args[0]) = VT_BYREF | VT_DISPATCH;
    V_DISPATCHREF(&args[0]) = &controlRef;
    V_VT(&args[1]) = VT_BYREF | VT_I4;
    V_I4REF(&args[1]) = msg;
    kx::SetLongPtrRef(args[2], wp);
    kx::SetLongPtrRef(args[3], lp);
    V_VT(&args[4]) = VT_BYREF | VT_BOOL;
    V_BOOLREF(&args[4]) = &cancel;
    const HRESULT hr = FireEvent(kEventGetEvents, args, 5);
    if (controlRef) controlRef->Release();
    if (FAILED(hr)) throw kx::RaisedError(kx::ErrorFromStatus(hr));

    if (drop) {
        // A drop the control handles always goes on to the window.
        DeliverDrop(dropControl.Get(), files, fileCount);
        return false;
    }
    return cancel != VARIANT_FALSE;
}

void Kestrix::DeliverDrop(IDispatch* control, const std::vector<std::wstring>& files, LONG count) {
    SAFEARRAY* sa = StringArray(files);
    IDispatch* targetRef = kx::ComPtr<IDispatch>(control).Detach();
    VARIANTARG args[3];
    V_VT(&args[0]) = VT_BYREF | VT_DISPATCH;
    V_DISPATCHREF(&args[0]) = &targetRef;
    V_VT(&args[1]) = VT_BYREF | VT_ARRAY | VT_BSTR;
    V_ARRAYREF(&args[1]) = &sa;
    V_VT(&args[2]) = VT_BYREF | VT_I4;
    V_I4REF(&args[2]) = &count;
    const HRESULT hr = FireEvent(kEventFileDrop, args, 3);
    if (targetRef) targetRef->Release();
    SafeArrayDestroy(sa);
    if (FAILED(hr)) throw kx::RaisedError(kx::ErrorFromStatus(hr));
}

STDMETHODIMP Kestrix::DoGetEvents(LONG_PTR* ml_CtlhWnd, LONG* ml_Msg, LONG_PTR* ml_wParam, LONG_PTR* ml_lParam,
                                  VARIANT_BOOL* result) {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        if (!ml_CtlhWnd || !ml_Msg || !ml_wParam || !ml_lParam || !result) return E_POINTER;
        *result = DeliverEvent(ml_CtlhWnd, ml_Msg, ml_wParam, ml_lParam) ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    });
}

// DoGetEvents as the engine calls it on every watched message (and a host of
// the VB kind with its own variables): four variables of the declared types
// by reference. Any other form of the call goes through the type library.
bool Kestrix::InvokeDirect(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, HRESULT* hr) {
    if (id != DISPID_KX_DOGETEVENTS || !(flags & DISPATCH_METHOD) || !params || params->cArgs != 4 ||
        params->cNamedArgs != 0)
        return false;
    VARIANTARG* args = params->rgvarg; // last first
    constexpr VARTYPE kLongPtrRef = VT_BYREF | kx::kVtLongPtr;
    if (V_VT(&args[3]) != kLongPtrRef || V_VT(&args[2]) != (VT_BYREF | VT_I4) || V_VT(&args[1]) != kLongPtrRef ||
        V_VT(&args[0]) != kLongPtrRef)
        return false;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    *hr = DoGetEvents(static_cast<LONG_PTR*>(V_BYREF(&args[3])), V_I4REF(&args[2]),
                      static_cast<LONG_PTR*>(V_BYREF(&args[1])), static_cast<LONG_PTR*>(V_BYREF(&args[0])), &cancel);
    // The result is given even when the call failed, as the type library's call gives it.
    if (result) {
        V_VT(result) = VT_BOOL;
        V_BOOL(result) = cancel;
    }
    return true;
}

STDMETHODIMP Kestrix::GetEventName(LONG* EventValue, BSTR* result) {
    if (!EventValue || !result) return E_POINTER;
    std::wstring name = gFn_EventName(*EventValue);
    if (name == L"?????") name.clear();
    *result = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
    return *result ? S_OK : E_OUTOFMEMORY;
}

} // namespace kestrix
