// The control class as its container drives it: creation, the property bag,
// its size, its window and its end.
#include "Kestrix.h"
#include "AboutBox.h"
#include "ErrorTexts.h"
#include "KestrixBas.h"
#include "PropertyBagIo.h"
#include "Ansi.h"
#include "ComTrap.h"
#include "Text.h"
#include "PageIds.h"
#include "Variant.h"
#include "ModuleInfo.h"
#include "resource.h"
#include <mmsystem.h>

namespace kestrix {

namespace {

// 465 x 420 twips, the control's one size.
constexpr SIZEL kFixedExtent{820, 741};
constexpr DWORD kMiscStatus = 0x20591;

// Placement sound beside the library, played when a control is placed.
// winmm is loaded for the first sound only, so a host that loads and frees
// the library never pays for it; once loaded it stays, since a sound
// played asynchronously may outlast this library.
void PlacementSound(HMODULE module) {
    std::wstring path = kx::ole::ModulePath(module);
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return;
    path.replace(slash + 1, std::wstring::npos, L"CtlPaste.wav");
    if (!gFn_FileExists(path)) return;
    HMODULE winmm = GetModuleHandleW(L"winmm.dll");
    if (!winmm) winmm = LoadLibraryW(L"winmm.dll");
    if (!winmm) return; // no sound system: the control is placed all the same
    using PlaySoundW = BOOL(WINAPI*)(LPCWSTR, UINT);
    if (auto play = reinterpret_cast<PlaySoundW>(GetProcAddress(winmm, "sndPlaySoundW")))
        play(path.c_str(), SND_ASYNC);
}

// The Help button of an error message opens its topic.
void CALLBACK HelpButton(LPHELPINFO info) {
    WinHelpA(nullptr, "Kestrix.hlp", HELP_CONTEXT, static_cast<ULONG_PTR>(info ? info->dwContextId : kHelpContext));
}

} // namespace

const kx::ole::ControlClassInfo kKestrixClass = {
    &CLSID_Kestrix, &IID__Kestrix, &DIID___Kestrix, kMiscStatus, kFixedExtent,
    kKestrixPages, static_cast<UINT>(std::size(kKestrixPages)), IDB_KESTRIX_FACE, "KestrixControl",
};

Kestrix::Kestrix() : ControlBase(kKestrixClass) {}

Kestrix::~Kestrix() { Terminate(); }

// ---- container services ----------------------------------------------------

kx::ComPtr<IDispatch> Kestrix::Extender() const {
    kx::ComPtr<IDispatch> ext;
    if (SUCCEEDED(ExtendedControl(&ext)) && ext) return ext;
    // No extender: the control stands for itself.
    return kx::ComPtr<IDispatch>(static_cast<IDispatch*>(const_cast<Kestrix*>(this)));
}

kx::ComPtr<IDispatch> Kestrix::ParentFormOf(IDispatch* extender) const {
    kx::Variant v;
    kx::ComPtr<IDispatch> form;
    if (SUCCEEDED(kx::GetProperty(extender, L"Parent", v.get())) && v.vt() == VT_DISPATCH && V_DISPATCH(v.get()))
        form = V_DISPATCH(v.get());
    return form;
}

std::wstring Kestrix::NameOf(IDispatch* object) const {
    kx::Variant v;
    std::wstring name;
    kx::AutomationError err;
    if (FAILED(kx::GetProperty(object, L"Name", v.get(), &err))) throw kx::RaisedError(err);
    if (!v.toString(name)) throw kx::RaisedError(kx::ErrorFromStatus(DISP_E_TYPEMISMATCH));
    return name;
}

std::wstring Kestrix::FormName(IDispatch* form) const {
    if (form) {
        try { return NameOf(form); } catch (const kx::RaisedError&) {}
    }
    return Def_NothingText; // no parent form: nothing to target by default
}

std::wstring Kestrix::OwnName() const {
    try {
        return NameOf(Extender().Get());
    } catch (const kx::RaisedError&) {
        std::wstring display;
        return AmbientDisplayName(&display) && !display.empty() ? display : std::wstring(L"Kestrix");
    }
}

bool Kestrix::IsSelf(IDispatch* object) const {
    if (!object) return false;
    kx::ComPtr<IUnknown> a, b;
    object->QueryInterface(IID_PPV_ARGS(&a));
    Extender()->QueryInterface(IID_PPV_ARGS(&b));
    return a && a.Get() == b.Get();
}

bool Kestrix::UserModeFromContainer() const {
    // A container that says nothing gets run-time behaviour, so that no
    // message box waits for a user who is not there.
    bool user = true;
    return AmbientUserMode(&user) ? user : true;
}

void Kestrix::PrepareReceiver() {
    HWND own = Hwnd();
    if (!own) return;
    if (kx::ComPtr<IDispatch> form = ParentFormOf(Extender().Get())) {
        LONG formHwnd = gFn_CtlHwnd(form.Get());
        if (formHwnd) SetParent(own, reinterpret_cast<HWND>(static_cast<LONG_PTR>(formHwnd)));
    }
    SetWindowTextA(own, kx::ToAnsi(g_LinkName).c_str());
}

// ---- the error reporter ----------------------------------------------------------

void Kestrix::ErrMsg(LONG number, const std::wstring& text, LONG helpContext) {
    // Below 10000 a caught failure is handed on with its own description.
    const bool own = number >= 10000;
    const std::wstring helpFile = own ? kHelpFile : L"";
    const LONG context = own ? kHelpContext : helpContext;
    if (g_UserMode) {
        kx::AutomationError e;
        e.number = number;
        e.hr = kx::VbErrorStatus(number);
        e.description = text;
        e.helpFile = helpFile;
        e.helpContext = static_cast<DWORD>(context);
        throw kx::RaisedError(e);
    }
    MSGBOXPARAMSW box{};
    box.cbSize = sizeof box;
    box.hwndOwner = GetActiveWindow();
    box.lpszText = text.c_str();
    box.lpszCaption = kTitle;
    box.dwStyle = kMessageStyle;
    box.dwContextHelpId = static_cast<DWORD_PTR>(context);
    box.lpfnMsgBoxCallback = HelpButton;
    MessageBoxIndirectW(&box);
}

STDMETHODIMP Kestrix::gFn_ErrMsg(LONG* ml_ErrNo, BSTR* ms_Description, LONG* ml_HelpContext, VARIANT_BOOL* result) {
    return kx::ole::Trap(IID__Kestrix, [&]() -> HRESULT {
        if (!ml_ErrNo || !ms_Description || !ml_HelpContext || !result) return E_POINTER;
        *result = VARIANT_FALSE;
        const LONG number = *ml_ErrNo;
        if (number >= 10000) *ml_HelpContext = kHelpContext; // the caller's variable learns the topic used
        const std::wstring text = *ms_Description ? std::wstring(*ms_Description, SysStringLen(*ms_Description)) : L"";
        ErrMsg(number, text, *ml_HelpContext);
        return S_OK;
    });
}

// ---- initialising, reading and writing the properties --------------------------

HRESULT Kestrix::OnInitNew() {
    g_UserMode = UserModeFromContainer();
    kx::ComPtr<IDispatch> ext = Extender();
    kx::ComPtr<IDispatch> form = ParentFormOf(ext.Get());
    const std::wstring formName = FormName(form.Get());
    const std::wstring own = OwnName();
    if (!g_UserMode) {
        // A control newly placed in the designer: defaults through the set
        // operations, each with its change notification.
        PlacementSound(Module());
        g_TargetHandle = 0;
        SetTargetControls(formName);
        SetTargetEvents(L"ALL");
        SetDebugMode(true);
        SetDebugFile(own + L".Dbg");
        SetLinkName(L"Kestrix");
        SetFileDropMode(true);
    } else {
        // Started fresh where no designer is: the same defaults, quietly.
        g_TargetHandle = 0;
        g_TargetControls = formName;
        g_TargetEvents = L"ALL";
        g_DebugMode = true;
        g_DebugFile = own + L".Dbg";
        g_LinkName = L"Kestrix";
        g_FileDropMode = true;
    }
    g_CallbackCtl = ext;
    g_ParentForm = form;
    return S_OK;
}

HRESULT Kestrix::OnLoad(IPropertyBag* bag, IErrorLog* log) {
    g_UserMode = UserModeFromContainer();
    LoadVersionDialogOnce(Module());
    kx::ComPtr<IDispatch> ext = Extender();
    kx::ComPtr<IDispatch> form = ParentFormOf(ext.Get());
    const std::wstring formName = FormName(form.Get());
    const std::wstring own = OwnName();

    LONG handle = 0;
    std::wstring controls, events, file, link;
    bool debug = true, drop = true;
    HRESULT hr;
    if (FAILED(hr = kx::ole::ReadLong(bag, L"TargetHandle", 0, &handle, log))) return hr;
    if (FAILED(hr = kx::ole::ReadString(bag, L"TargetControls", formName, &controls, log))) return hr;
    if (FAILED(hr = kx::ole::ReadString(bag, L"TargetEvents", L"ALL", &events, log))) return hr;
    if (FAILED(hr = kx::ole::ReadBool(bag, L"DebugMode", true, &debug, log))) return hr;
    if (FAILED(hr = kx::ole::ReadString(bag, L"Debugfile", own + L".Dbg", &file, log))) return hr;
    if (FAILED(hr = kx::ole::ReadString(bag, L"LinkName", L"Kestrix", &link, log))) return hr;
    if (FAILED(hr = kx::ole::ReadBool(bag, L"FileDropMode", true, &drop, log))) return hr;
    // Restored values go straight into the store: no rules, no notifications.
    g_TargetHandle = handle;
    g_TargetControls = controls;
    g_TargetEvents = events;
    g_DebugMode = debug;
    g_DebugFile = file;
    g_LinkName = link;
    g_FileDropMode = drop;

    kx::ComPtr<IDispatch> ambient;
    if (IOleClientSite* site = ClientSite()) site->QueryInterface(IID_PPV_ARGS(&ambient));
    g_Ambient = ambient;
    g_CallbackCtl = ext;
    g_ParentForm = form;

    // The tables of a running capture (another instance's) hold the
    // procedures its windows must get back: they are left to it, and the
    // next EventsStart rebuilds them anyway.
    if (!g_EventsStarted) {
        g_Ctls.assign(1, nullptr);
        g_CtlHwnds.assign(1, nullptr);
        g_PrevProcs.assign(1, nullptr);
    }

    g_InDevEnv = false;
    if (g_UserMode) {
        PrepareReceiver(); // again once the window exists (OnWindowCreated)
        if (!gFn_IsStandAlone()) g_InDevEnv = true;
    }
    return S_OK;
}

HRESULT Kestrix::OnSave(IPropertyBag* bag, BOOL, BOOL saveAll) {
    kx::ComPtr<IDispatch> form = ParentFormOf(Extender().Get());
    const std::wstring formName = FormName(form.Get());
    HRESULT hr;
    if (FAILED(hr = kx::ole::WriteLong(bag, L"TargetHandle", g_TargetHandle, 0, saveAll))) return hr;
    if (FAILED(hr = kx::ole::WriteString(bag, L"TargetControls", g_TargetControls, formName, saveAll))) return hr;
    if (FAILED(hr = kx::ole::WriteString(bag, L"TargetEvents", g_TargetEvents.text(), L"ALL", saveAll))) return hr;
    if (FAILED(hr = kx::ole::WriteBool(bag, L"DebugMode", g_DebugMode, true, saveAll))) return hr;
    if (FAILED(hr = kx::ole::WriteString(bag, L"DebugFile", g_DebugFile, OwnName() + L".Dbg", saveAll))) return hr;
    if (FAILED(hr = kx::ole::WriteString(bag, L"LinkName", g_LinkName, L"Kestrix", saveAll))) return hr;
    return kx::ole::WriteBool(bag, L"FileDropMode", g_FileDropMode, true, saveAll);
}

void Kestrix::OnSiteChanged() {
    if (ClientSite()) {
        sited_ = true;
    } else if (sited_) {
        // The container lets the control go: its end.
        Terminate();
    }
}

void Kestrix::Terminate() noexcept {
    if (terminated_) return;
    terminated_ = true;
    if (g_EventsStarted) gFn_SubClassOff();
    g_CallbackCtl.Reset();
    g_ParentForm.Reset();
    g_Ambient.Reset();
}

void Kestrix::OnSetExtent(SIZEL* himetric) { *himetric = kFixedExtent; }

void Kestrix::OnWindowCreated(HWND) {
    if (g_UserMode) PrepareReceiver();
}

bool Kestrix::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT* result) {
    if (msg != WM_PAINT || !g_UserMode) return false;
    // At run time a paint is the link's delivery: the window text is the data.
    ReceiveLink();
    ValidateRect(Hwnd(), nullptr);
    *result = 0;
    return true;
}

} // namespace kestrix
