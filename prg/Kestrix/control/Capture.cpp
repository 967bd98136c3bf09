// Starting and stopping a capture: the names in TargetControls become the
// engine's targets, and every failure is reported with its own message.
#include "Kestrix.h"
#include "ByName.h"
#include "ComTrap.h"
#include "ErrorTexts.h"
#include "KestrixBas.h"
#include "Text.h"
#include "Variant.h"
#include <optional>

namespace kestrix {

std::optional<Kestrix::CaptureReport> Kestrix::CheckCaptureSettings() {
    EngineStore& store = gFn_Engine();
    if (kx::TrimBlanks(store.g_TargetControls).empty()) store.g_TargetControls = Def_NothingText;
    if (store.g_TargetControls == Def_NothingText && store.g_TargetHandle == 0)
        return CaptureReport{kErrNothingToCapture, kMsgNothingToCapture};
    if (kx::TrimBlanks(store.g_TargetEvents.text()).empty()) return CaptureReport{kErrNoTargetEvents, kMsgNoTargetEvents};
    return std::nullopt;
}

std::optional<Kestrix::CaptureReport> Kestrix::ResolveTargets() {
    gFn_ResetTargets();
    const std::wstring& targets = gFn_Engine().g_TargetControls;
    if (targets == Def_NothingText) return std::nullopt;
    std::vector<std::wstring> names;
    gFn_Split(targets, L',', names);
    const kx::ComPtr<IDispatch> ext = Extender();
    const kx::ComPtr<IDispatch> form = ParentFormOf(ext.Get());
    if (!form) throw kx::RaisedError(kx::ErrorFromStatus(E_POINTER));
    // Fetched once for the whole resolution.
    const kx::ComPtr<IDispatch> controls = kx::byname::GetObject(form.Get(), L"Controls");
    for (const std::wstring& name : names) {
        if (auto report = ResolveName(name, controls.Get(), ext.Get())) return report;
    }
    return std::nullopt;
}

std::optional<Kestrix::CaptureReport> Kestrix::ResolveName(const std::wstring& name, IDispatch* controls,
                                                           IDispatch* ext) {
    const std::wstring wanted = kx::UpperCase(name);
    bool matched = false;
    // Every control of that name (the members of a control array share it).
    for (const kx::ComPtr<IDispatch>& item : kx::byname::Members(controls)) {
        if (!item || kx::UpperCase(kx::byname::NameOf(item.Get())) != wanted || IsSelf(item.Get())) continue;
        matched = true;
        const LONG_PTR h = gFn_CtlHwnd(item.Get());
        if (h == 0) return CaptureReport{kErrNoHwnd, kMsgNoHwndHead + name + kMsgNoHwndTail};
        // A window named as a control is captured once, as that control.
        if (h == kx::byname::GetLongPtr(ext, L"TargetHandle")) kx::byname::LetLongPtr(ext, L"TargetHandle", 0);
        gFn_AddTarget(item, reinterpret_cast<HWND>(h));
    }
    if (!matched) return CaptureReport{kErrNotFound, kMsgNotFoundHead + name + kMsgNotFoundTail};
    return std::nullopt;
}

std::optional<Kestrix::CaptureReport> Kestrix::InstallTargets() {
    if (gFn_SubClassOn()) return std::nullopt;
    gFn_SubClassOff();
    return CaptureReport{kErrCaptureFailed, kMsgCaptureFailed};
}

void Kestrix::StartCapture() {
    EngineState& state = gFn_Engine();
    if (state.g_EventsStarted) return;
    // An instance that no container holds (New or CreateObject with
    // WithEvents) is the call-back object where its thread has none, held
    // without a reference: its own events carry the capture's messages.
    if (!ClientSite() && !state.g_CallbackCtl) state.g_CallbackCtl.SetWeak(static_cast<IDispatch*>(this));
    std::optional<CaptureReport> report;
    try {
        report = CheckCaptureSettings();
        if (!report) report = ResolveTargets();
        if (!report) report = InstallTargets();
    } catch (const std::exception& e) {
        // Nothing stays installed. At run time the failure reaches the
        // caller with its own number and text: a capture that did not start
        // is never reported as one that did.
        const kx::AutomationError err = kx::ErrorFromException(e);
        gFn_SubClassOff();
        if (state.g_UserMode) throw kx::RaisedError(err);
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
    *result = gFn_Engine().g_EventsStarted ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

bool Kestrix::CheckHandle(LONG_PTR hwnd) {
    const HWND h = reinterpret_cast<HWND>(hwnd);
    // EventsStart refuses such a window: no probe needed to say so.
    if (gFn_OnAnotherThread(h)) return false;
    try {
        const kx::ComPtr<IDispatch> ext = Extender();
        if (kx::byname::GetBool(ext.Get(), L"IsEventsStart")) {
            if (hwnd == kx::byname::GetLongPtr(ext.Get(), L"TargetHandle")) return true;
            const kx::ComPtr<IDispatch> owner = gFn_TargetCtl(h);
            if (owner && !IsSelf(owner.Get())) return true;
        }
    } catch (...) {
        // A failing step is passed over; the probe decides.
    }
    return gFn_ProbeWindow(h);
}

STDMETHODIMP Kestrix::HandleCheck(LONG_PTR* hwnd, VARIANT_BOOL* result) {
    if (!hwnd || !result) return E_POINTER;
    *result = CheckHandle(*hwnd) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

} // namespace kestrix
