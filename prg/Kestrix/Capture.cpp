// Starting and stopping a capture: the names in TargetControls become the
// engine's targets, and every failure is reported with its own message.
#include "Kestrix.h"
#include "ComTrap.h"
#include "ErrorTexts.h"
#include "KestrixBas.h"
#include "Text.h"
#include "Variant.h"
#include <optional>

namespace kestrix {

namespace {

struct Report {
    LONG number;
    std::wstring text;
};

// The form's controls, the form itself first, as one walk of its collection.
std::vector<kx::ComPtr<IDispatch>> Walk(IDispatch* collection) {
    kx::Variant en;
    kx::AutomationError err;
    if (FAILED(kx::InvokeId(collection, DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr, 0, en.get(), &err)))
        throw kx::RaisedError(err);
    kx::ComPtr<IEnumVARIANT> e;
    if (en.vt() != VT_UNKNOWN && en.vt() != VT_DISPATCH) throw kx::RaisedError(kx::ErrorFromStatus(DISP_E_TYPEMISMATCH));
    HRESULT hr = V_UNKNOWN(en.get())->QueryInterface(IID_PPV_ARGS(&e));
    if (FAILED(hr)) throw kx::RaisedError(kx::ErrorFromStatus(hr));
    std::vector<kx::ComPtr<IDispatch>> items;
    for (;;) {
        kx::Variant item;
        ULONG got = 0;
        if (e->Next(1, item.get(), &got) != S_OK || got == 0) break;
        kx::ComPtr<IDispatch> d;
        if (item.vt() == VT_DISPATCH) d = V_DISPATCH(item.get());
        else if (item.vt() == VT_UNKNOWN && V_UNKNOWN(item.get())) V_UNKNOWN(item.get())->QueryInterface(IID_PPV_ARGS(&d));
        items.push_back(d);
    }
    return items;
}

LONG ReadLong(IDispatch* obj, const wchar_t* name) {
    kx::Variant v;
    kx::AutomationError err;
    if (FAILED(kx::GetProperty(obj, name, v.get(), &err))) throw kx::RaisedError(err);
    LONG out = 0;
    if (!v.toLong(out)) throw kx::RaisedError(kx::ErrorFromStatus(DISP_E_TYPEMISMATCH));
    return out;
}

bool ReadBool(IDispatch* obj, const wchar_t* name) {
    kx::Variant v;
    kx::AutomationError err;
    if (FAILED(kx::GetProperty(obj, name, v.get(), &err))) throw kx::RaisedError(err);
    bool out = false;
    if (!v.toBool(out)) throw kx::RaisedError(kx::ErrorFromStatus(DISP_E_TYPEMISMATCH));
    return out;
}

} // namespace

void Kestrix::StartCapture() {
    if (g_EventsStarted) return;
    g_EventsStarted = false;

    std::optional<Report> report;
    bool started = false;
    try {
        if (kx::TrimBlanks(g_TargetControls).empty()) g_TargetControls = Def_NothingText;
        if (g_TargetControls == Def_NothingText && g_TargetHandle == 0) {
            report = Report{kErrNothingToCapture, kMsgNothingToCapture};
        } else if (kx::TrimBlanks(g_TargetEvents.text()).empty()) {
            report = Report{kErrNoTargetEvents, kMsgNoTargetEvents};
        } else {
            g_Ctls.assign(1, nullptr);
            g_CtlHwnds.assign(1, nullptr);
            g_PrevProcs.assign(1, nullptr);
            size_t k = 0;
            if (g_TargetControls != Def_NothingText) {
                std::vector<std::wstring> names;
                gFn_Split(g_TargetControls, L',', names);
                const kx::ComPtr<IDispatch> ext = Extender();
                const kx::ComPtr<IDispatch> form = ParentFormOf(ext.Get());
                kx::Variant controls;
                kx::AutomationError err;
                if (!form || FAILED(kx::GetProperty(form.Get(), L"Controls", controls.get(), &err)) ||
                    controls.vt() != VT_DISPATCH)
                    throw kx::RaisedError(form ? err : kx::ErrorFromStatus(E_POINTER));
                IDispatch* collection = V_DISPATCH(controls.get());
                for (const std::wstring& name : names) {
                    const std::wstring wanted = kx::UpperCase(name);
                    bool matched = false;
                    for (const kx::ComPtr<IDispatch>& item : Walk(collection)) {
                        if (!item || kx::UpperCase(NameOf(item.Get())) != wanted || IsSelf(item.Get())) continue;
                        matched = true;
                        const LONG h = gFn_CtlHwnd(item.Get());
                        if (g_CtlHwnds.size() < k + 1) g_CtlHwnds.resize(k + 1);
                        g_CtlHwnds[k] = reinterpret_cast<HWND>(static_cast<LONG_PTR>(h));
                        if (h == 0) {
                            report = Report{kErrNoHwnd, kMsgNoHwndHead + name + kMsgNoHwndTail};
                            break;
                        }
                        // A window named as a control is captured once, as that control.
                        if (h == ReadLong(ext.Get(), L"TargetHandle")) {
                            kx::AutomationError perr;
                            VARIANT zero;
                            V_VT(&zero) = VT_I4;
                            V_I4(&zero) = 0;
                            if (FAILED(kx::PutProperty(ext.Get(), L"TargetHandle", zero, &perr)))
                                throw kx::RaisedError(perr);
                        }
                        if (g_Ctls.size() < k + 1) g_Ctls.resize(k + 1);
                        g_Ctls[k] = item;
                        ++k;
                    }
                    if (report) break;
                    if (!matched) {
                        report = Report{kErrNotFound, kMsgNotFoundHead + name + kMsgNotFoundTail};
                        break;
                    }
                }
            }
            if (!report) {
                gFn_SubClassOn();
                if (g_Ctls.size() != g_PrevProcs.size()) g_EventsStarted = false;
                started = g_EventsStarted;
                if (!started) {
                    gFn_SubClassOff();
                    report = Report{kErrCaptureFailed, kMsgCaptureFailed};
                }
            }
        }
    } catch (const std::exception& e) {
        // Nothing stays installed. At run time the failure reaches the
        // caller with its own number and text: a capture that did not start
        // is never reported as one that did.
        const kx::AutomationError err = kx::ErrorFromException(e);
        g_EventsStarted = false;
        gFn_SubClassOff();
        if (g_UserMode) throw kx::RaisedError(err);
        return;
    }
    if (report) ErrMsg(report->number, report->text, 100);
}

STDMETHODIMP Kestrix::EventsStart() {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        StartCapture();
        return S_OK;
    });
}

STDMETHODIMP Kestrix::EventsStop() {
    gFn_SubClassOff();
    return S_OK;
}

STDMETHODIMP Kestrix::IsEventsStart(VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = g_EventsStarted ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

bool Kestrix::CheckHandle(LONG hwnd) {
    const HWND h = reinterpret_cast<HWND>(static_cast<LONG_PTR>(hwnd));
    try {
        const kx::ComPtr<IDispatch> ext = Extender();
        if (ReadBool(ext.Get(), L"IsEventsStart")) {
            if (hwnd == ReadLong(ext.Get(), L"TargetHandle")) return true;
            const kx::ComPtr<IDispatch> owner = gFn_TargetCtl(h);
            if (owner && !IsSelf(owner.Get())) return true;
        }
    } catch (...) {
        // A failing step is passed over; the probe decides.
    }
    return gFn_ProbeWindow(h);
}

STDMETHODIMP Kestrix::HandleCheck(LONG* hwnd, VARIANT_BOOL* result) {
    if (!hwnd || !result) return E_POINTER;
    *result = CheckHandle(*hwnd) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

} // namespace kestrix
