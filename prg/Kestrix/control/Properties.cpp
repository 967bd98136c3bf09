// The properties: every get returns the store's value; every set applies the
// design-time and run-time rules, and a completed set tells the container.
#include "Kestrix.h"
#include "Bstr.h"
#include "ComTrap.h"
#include "DispIds.h"
#include "ErrorTexts.h"
#include "KestrixBas.h"
#include "Text.h"

namespace kestrix {

namespace {

HRESULT ReturnText(const std::wstring& s, BSTR* out) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT ReturnBool(bool b, VARIANT_BOOL* out) {
    if (!out) return E_POINTER;
    *out = b ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

// The caller's variable of a by-reference argument learns what the set made of it.
void WriteBack(BSTR* arg, const std::wstring& v) {
    BSTR fresh = SysAllocStringLen(v.data(), static_cast<UINT>(v.size()));
    if (!fresh) throw std::bad_alloc();
    SysFreeString(*arg);
    *arg = fresh;
}

// A text property's put: the set operation with its rules, and then the
// caller's variable learns what a blank value became.
template <class Set, class Stored>
HRESULT PutText(BSTR* value, Set&& set, Stored&& stored) {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        if (!value) return E_POINTER;
        const std::wstring text = kx::FromBstr(*value);
        set(text);
        if (kx::TrimBlanks(text).empty()) WriteBack(value, stored());
        return S_OK;
    });
}

template <class Set>
HRESULT PutBool(VARIANT_BOOL* value, Set&& set) {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        if (!value) return E_POINTER;
        set(*value != VARIANT_FALSE);
        return S_OK;
    });
}

} // namespace

// ---- the rules ---------------------------------------------------------------

void Kestrix::SetTargetControls(std::wstring v) {
    if (gFn_Engine().g_UserMode) ErrMsg(kErrTargetControlsRunTime, kMsgTargetControlsRunTime, 100);
    if (kx::TrimBlanks(v).empty()) v = Def_NothingText;
    gFn_Engine().g_TargetControls = kx::TrimBlanks(v);
    NotifyChanged(DISPID_KX_TARGETCONTROLS);
}

void Kestrix::SetTargetEvents(std::wstring v) {
    if (gFn_Engine().g_UserMode) ErrMsg(kErrTargetEventsRunTime, kMsgTargetEventsRunTime, 100);
    if (kx::TrimBlanks(v).empty()) {
        ErrMsg(kErrTargetEventsBlank, kMsgTargetEventsBlank, 100);
        v = gFn_Engine().g_TargetEvents.text();
    }
    gFn_Engine().g_TargetEvents = kx::UpperCase(kx::TrimBlanks(v));
    NotifyChanged(DISPID_KX_TARGETEVENTS);
}

void Kestrix::SetDebugMode(bool v) {
    gFn_Engine().g_DebugMode = v;
    NotifyChanged(DISPID_KX_DEBUGMODE);
}

void Kestrix::SetRequiredText(std::wstring v, std::wstring& store, const TextRule& rule) {
    if (gFn_Engine().g_UserMode) ErrMsg(rule.runTimeNumber, rule.runTimeText, 100);
    if (kx::TrimBlanks(v).empty()) {
        ErrMsg(rule.blankNumber, rule.blankText, 100);
        v = store;
    }
    store = kx::TrimBlanks(v);
    NotifyChanged(rule.id);
}

void Kestrix::SetDebugFile(std::wstring v) {
    SetRequiredText(
        std::move(v), gFn_Engine().g_DebugFile,
        {kErrDebugFileRunTime, kMsgDebugFileRunTime, kErrDebugFileBlank, kMsgDebugFileBlank, DISPID_KX_DEBUGFILE});
}

void Kestrix::SetFileDropMode(bool v) {
    if (gFn_Engine().g_UserMode) ErrMsg(kErrFileDropModeRunTime, kMsgFileDropModeRunTime, 100);
    gFn_Engine().g_FileDropMode = v;
    NotifyChanged(DISPID_KX_FILEDROPMODE);
}

void Kestrix::SetLinkName(std::wstring v) {
    SetRequiredText(
        std::move(v), gFn_Engine().g_LinkName,
        {kErrLinkNameRunTime, kMsgLinkNameRunTime, kErrLinkNameBlank, kMsgLinkNameBlank, DISPID_KX_LINKNAME});
}

void Kestrix::SetTargetHandle(LONG_PTR v) {
    if (!gFn_Engine().g_UserMode) {
        ErrMsg(kErrTargetHandleDesign, kMsgTargetHandleDesign, 100);
        v = 0;
    } else if (v != 0) {
        if (!IsWindow(reinterpret_cast<HWND>(v))) ErrMsg(kErrTargetHandleNoWindow, kMsgTargetHandleNoWindow, 100);
        // A new raw window takes effect at the next start.
        if (gFn_Engine().g_EventsStarted) gFn_SubClassOff();
    }
    gFn_Engine().g_TargetHandle = v;
    NotifyChanged(DISPID_KX_TARGETHANDLE);
}

// ---- the interface -------------------------------------------------------------

STDMETHODIMP Kestrix::get_TargetControls(BSTR* value) { return ReturnText(gFn_Engine().g_TargetControls, value); }

STDMETHODIMP Kestrix::put_TargetControls(BSTR* value) {
    return PutText(
        value, [this](const std::wstring& v) { SetTargetControls(v); }, [] { return gFn_Engine().g_TargetControls; });
}

STDMETHODIMP Kestrix::get_TargetEvents(BSTR* value) { return ReturnText(gFn_Engine().g_TargetEvents.text(), value); }

STDMETHODIMP Kestrix::put_TargetEvents(BSTR* value) {
    return PutText(
        value, [this](const std::wstring& v) { SetTargetEvents(v); },
        [] { return gFn_Engine().g_TargetEvents.text(); });
}

STDMETHODIMP Kestrix::get_DebugMode(VARIANT_BOOL* value) { return ReturnBool(gFn_Engine().g_DebugMode, value); }

STDMETHODIMP Kestrix::put_DebugMode(VARIANT_BOOL* value) {
    return PutBool(value, [this](bool v) { SetDebugMode(v); });
}

STDMETHODIMP Kestrix::get_FileDropMode(VARIANT_BOOL* value) { return ReturnBool(gFn_Engine().g_FileDropMode, value); }

STDMETHODIMP Kestrix::put_FileDropMode(VARIANT_BOOL* value) {
    return PutBool(value, [this](bool v) { SetFileDropMode(v); });
}

STDMETHODIMP Kestrix::get_DebugFile(BSTR* value) { return ReturnText(gFn_Engine().g_DebugFile, value); }

STDMETHODIMP Kestrix::put_DebugFile(BSTR* value) {
    return PutText(
        value, [this](const std::wstring& v) { SetDebugFile(v); }, [] { return gFn_Engine().g_DebugFile; });
}

STDMETHODIMP Kestrix::get_hwnd(LONG_PTR* value) {
    if (!value) return E_POINTER;
    *value = reinterpret_cast<LONG_PTR>(Hwnd());
    return S_OK;
}

STDMETHODIMP Kestrix::get_TargetHandle(LONG_PTR* value) {
    if (!value) return E_POINTER;
    *value = gFn_Engine().g_TargetHandle;
    return S_OK;
}

STDMETHODIMP Kestrix::put_TargetHandle(LONG_PTR value) {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        SetTargetHandle(value);
        return S_OK;
    });
}

STDMETHODIMP Kestrix::get_LinkName(BSTR* value) { return ReturnText(gFn_Engine().g_LinkName, value); }

STDMETHODIMP Kestrix::put_LinkName(BSTR value) {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        SetLinkName(kx::FromBstr(value));
        return S_OK;
    });
}

} // namespace kestrix
