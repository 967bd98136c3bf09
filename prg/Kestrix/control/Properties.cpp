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

constexpr DISPID kIdTargetControls = DISPID_KX_TARGETCONTROLS;
constexpr DISPID kIdTargetEvents = DISPID_KX_TARGETEVENTS;
constexpr DISPID kIdDebugMode = DISPID_KX_DEBUGMODE;
constexpr DISPID kIdFileDropMode = DISPID_KX_FILEDROPMODE;
constexpr DISPID kIdDebugFile = DISPID_KX_DEBUGFILE;
constexpr DISPID kIdTargetHandle = DISPID_KX_TARGETHANDLE;
constexpr DISPID kIdLinkName = DISPID_KX_LINKNAME;

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

} // namespace

// ---- the rules ---------------------------------------------------------------

void Kestrix::SetTargetControls(std::wstring v) {
    if (g_UserMode) ErrMsg(kErrTargetControlsRunTime, kMsgTargetControlsRunTime, 100);
    if (kx::TrimBlanks(v).empty()) v = Def_NothingText;
    g_TargetControls = kx::TrimBlanks(v);
    NotifyChanged(kIdTargetControls);
}

void Kestrix::SetTargetEvents(std::wstring v) {
    if (g_UserMode) ErrMsg(kErrTargetEventsRunTime, kMsgTargetEventsRunTime, 100);
    if (kx::TrimBlanks(v).empty()) {
        ErrMsg(kErrTargetEventsBlank, kMsgTargetEventsBlank, 100);
        v = g_TargetEvents.text();
    }
    g_TargetEvents = kx::UpperCase(kx::TrimBlanks(v));
    NotifyChanged(kIdTargetEvents);
}

void Kestrix::SetDebugMode(bool v) {
    g_DebugMode = v;
    NotifyChanged(kIdDebugMode);
}

void Kestrix::SetDebugFile(std::wstring v) {
    if (g_UserMode) ErrMsg(kErrDebugFileRunTime, kMsgDebugFileRunTime, 100);
    if (kx::TrimBlanks(v).empty()) {
        ErrMsg(kErrDebugFileBlank, kMsgDebugFileBlank, 100);
        v = g_DebugFile;
    }
    g_DebugFile = kx::TrimBlanks(v);
    NotifyChanged(kIdDebugFile);
}

void Kestrix::SetFileDropMode(bool v) {
    if (g_UserMode) ErrMsg(kErrFileDropModeRunTime, kMsgFileDropModeRunTime, 100);
    g_FileDropMode = v;
    NotifyChanged(kIdFileDropMode);
}

void Kestrix::SetLinkName(std::wstring v) {
    if (g_UserMode) ErrMsg(kErrLinkNameRunTime, kMsgLinkNameRunTime, 100);
    if (kx::TrimBlanks(v).empty()) {
        ErrMsg(kErrLinkNameBlank, kMsgLinkNameBlank, 100);
        v = g_LinkName;
    }
    g_LinkName = kx::TrimBlanks(v);
    NotifyChanged(kIdLinkName);
}

void Kestrix::SetTargetHandle(LONG v) {
    if (!g_UserMode) {
        ErrMsg(kErrTargetHandleDesign, kMsgTargetHandleDesign, 100);
        v = 0;
    } else if (v != 0) {
        if (!IsWindow(reinterpret_cast<HWND>(static_cast<LONG_PTR>(v))))
            ErrMsg(kErrTargetHandleNoWindow, kMsgTargetHandleNoWindow, 100);
        // A new raw window takes effect at the next start.
        if (g_EventsStarted) gFn_SubClassOff();
    }
    g_TargetHandle = v;
    NotifyChanged(kIdTargetHandle);
}

// ---- the interface -------------------------------------------------------------

STDMETHODIMP Kestrix::get_TargetControls(BSTR* value) { return ReturnText(g_TargetControls, value); }

STDMETHODIMP Kestrix::put_TargetControls(BSTR* value) {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        if (!value) return E_POINTER;
        SetTargetControls(kx::FromBstr(*value));
        if (kx::TrimBlanks(kx::FromBstr(*value)).empty()) WriteBack(value, Def_NothingText);
        return S_OK;
    });
}

STDMETHODIMP Kestrix::get_TargetEvents(BSTR* value) { return ReturnText(g_TargetEvents.text(), value); }

STDMETHODIMP Kestrix::put_TargetEvents(BSTR* value) {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        if (!value) return E_POINTER;
        const bool blank = kx::TrimBlanks(kx::FromBstr(*value)).empty();
        SetTargetEvents(kx::FromBstr(*value));
        if (blank) WriteBack(value, g_TargetEvents.text());
        return S_OK;
    });
}

STDMETHODIMP Kestrix::get_DebugMode(VARIANT_BOOL* value) { return ReturnBool(g_DebugMode, value); }

STDMETHODIMP Kestrix::put_DebugMode(VARIANT_BOOL* value) {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        if (!value) return E_POINTER;
        SetDebugMode(*value != VARIANT_FALSE);
        return S_OK;
    });
}

STDMETHODIMP Kestrix::get_FileDropMode(VARIANT_BOOL* value) { return ReturnBool(g_FileDropMode, value); }

STDMETHODIMP Kestrix::put_FileDropMode(VARIANT_BOOL* value) {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        if (!value) return E_POINTER;
        SetFileDropMode(*value != VARIANT_FALSE);
        return S_OK;
    });
}

STDMETHODIMP Kestrix::get_DebugFile(BSTR* value) { return ReturnText(g_DebugFile, value); }

STDMETHODIMP Kestrix::put_DebugFile(BSTR* value) {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        if (!value) return E_POINTER;
        const bool blank = kx::TrimBlanks(kx::FromBstr(*value)).empty();
        SetDebugFile(kx::FromBstr(*value));
        if (blank) WriteBack(value, g_DebugFile);
        return S_OK;
    });
}

STDMETHODIMP Kestrix::get_hwnd(LONG* value) {
    if (!value) return E_POINTER;
    *value = static_cast<LONG>(reinterpret_cast<LONG_PTR>(Hwnd()));
    return S_OK;
}

STDMETHODIMP Kestrix::get_TargetHandle(LONG* value) {
    if (!value) return E_POINTER;
    *value = g_TargetHandle;
    return S_OK;
}

STDMETHODIMP Kestrix::put_TargetHandle(LONG value) {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        SetTargetHandle(value);
        return S_OK;
    });
}

STDMETHODIMP Kestrix::get_LinkName(BSTR* value) { return ReturnText(g_LinkName, value); }

STDMETHODIMP Kestrix::put_LinkName(BSTR value) {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        SetLinkName(kx::FromBstr(value));
        return S_OK;
    });
}

} // namespace kestrix
