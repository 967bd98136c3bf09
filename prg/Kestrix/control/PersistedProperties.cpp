// Creating, loading and saving the control's properties, from the one table.
#include "Kestrix.h"
#include "Defaults.h"
#include "KestrixBas.h"
#include "PersistedProperties.h"
#include "PlacementSound.h"
#include "PropertyBagIo.h"
#include "ReturnIf.h"
#include "AboutBox.h"
#include <vector>

namespace kestrix {

namespace {

// One bag read or write of a value of the type its default has.
HRESULT Read(IPropertyBag* bag, const PersistedProperty& p, const StoreValue& def, StoreValue* out, IErrorLog* log) {
    return std::visit(
        [&](const auto& d) -> HRESULT {
            auto value = d;
            RETURN_IF_FAILED(kx::ole::ReadValue(bag, p.key, d, &value, log));
            *out = std::move(value);
            return S_OK;
        },
        def);
}

HRESULT Write(IPropertyBag* bag, const PersistedProperty& p, const StoreValue& value, const StoreValue& def,
              BOOL saveAll) {
    return std::visit(
        [&](const auto& v) -> HRESULT {
            return kx::ole::WriteValue(bag, p.key, v, std::get<std::decay_t<decltype(v)>>(def), saveAll);
        },
        value);
}

} // namespace

const std::vector<PersistedProperty>& Kestrix::Persisted() {
    using V = const StoreValue&;
    static const std::vector<PersistedProperty> table = {
        // Saved as a Long in both bitnesses, so a form saved by either loads
        // in the other: a window handle has 32 significant bits, sign-extended
        // in a 64-bit process, so nothing is lost.
        {L"TargetHandle", [](const DefaultNames&) -> StoreValue { return LONG{0}; },
         []() -> StoreValue { return static_cast<LONG>(gFn_Engine().g_TargetHandle); },
         [](V v) { gFn_Engine().g_TargetHandle = std::get<LONG>(v); },
         // Set only at run time: a new control just starts with none.
         [](Kestrix&, V v) { gFn_Engine().g_TargetHandle = std::get<LONG>(v); }},
        {L"TargetControls", [](const DefaultNames& n) -> StoreValue { return n.form; },
         []() -> StoreValue { return gFn_Engine().g_TargetControls; },
         [](V v) { gFn_Engine().g_TargetControls = std::get<std::wstring>(v); },
         [](Kestrix& k, V v) { k.SetTargetControls(std::get<std::wstring>(v)); }},
        {L"TargetEvents", [](const DefaultNames&) -> StoreValue { return std::wstring(kDefaultTargetEvents); },
         []() -> StoreValue { return gFn_Engine().g_TargetEvents.text(); },
         [](V v) { gFn_Engine().g_TargetEvents = std::get<std::wstring>(v); },
         [](Kestrix& k, V v) { k.SetTargetEvents(std::get<std::wstring>(v)); }},
        {L"DebugMode", [](const DefaultNames&) -> StoreValue { return kDefaultDebugMode; },
         []() -> StoreValue { return gFn_Engine().g_DebugMode; },
         [](V v) { gFn_Engine().g_DebugMode = std::get<bool>(v); },
         [](Kestrix& k, V v) { k.SetDebugMode(std::get<bool>(v)); }},
        {L"DebugFile", [](const DefaultNames& n) -> StoreValue { return n.own + kDebugFileSuffix; },
         []() -> StoreValue { return gFn_Engine().g_DebugFile; },
         [](V v) { gFn_Engine().g_DebugFile = std::get<std::wstring>(v); },
         [](Kestrix& k, V v) { k.SetDebugFile(std::get<std::wstring>(v)); }},
        {L"LinkName", [](const DefaultNames&) -> StoreValue { return std::wstring(kDefaultLinkName); },
         []() -> StoreValue { return gFn_Engine().g_LinkName; },
         [](V v) { gFn_Engine().g_LinkName = std::get<std::wstring>(v); },
         [](Kestrix& k, V v) { k.SetLinkName(std::get<std::wstring>(v)); }},
        {L"FileDropMode", [](const DefaultNames&) -> StoreValue { return kDefaultFileDropMode; },
         []() -> StoreValue { return gFn_Engine().g_FileDropMode; },
         [](V v) { gFn_Engine().g_FileDropMode = std::get<bool>(v); },
         [](Kestrix& k, V v) { k.SetFileDropMode(std::get<bool>(v)); }},
    };
    return table;
}

DefaultNames Kestrix::Defaults(IDispatch* form) const { return {FormName(form), OwnName()}; }

HRESULT Kestrix::OnInitNew() {
    EngineStore& store = gFn_Engine();
    store.g_UserMode = UserModeFromContainer();
    const kx::ComPtr<IDispatch> ext = Extender();
    const kx::ComPtr<IDispatch> form = ParentFormOf(ext.Get());
    const DefaultNames names = Defaults(form.Get());
    // A control newly placed in the designer takes its defaults through the
    // set operations, each with its change notification; started fresh
    // where no designer is, it takes the same defaults quietly.
    if (!store.g_UserMode) PlacementSound(Module());
    for (const PersistedProperty& p : Persisted()) {
        if (store.g_UserMode) p.put(p.fallback(names));
        else p.place(*this, p.fallback(names));
    }
    store.g_CallbackCtl = ext;
    store.g_ParentForm = form;
    return S_OK;
}

HRESULT Kestrix::OnLoad(IPropertyBag* bag, IErrorLog* log) {
    EngineState& e = gFn_Engine();
    e.g_UserMode = UserModeFromContainer();
    LoadVersionDialogOnce(Module());
    const kx::ComPtr<IDispatch> ext = Extender();
    const kx::ComPtr<IDispatch> form = ParentFormOf(ext.Get());
    const DefaultNames names = Defaults(form.Get());

    // Every value is read before any goes into the store: a bag that fails
    // half way leaves the store as it was.
    std::vector<StoreValue> values(Persisted().size());
    for (size_t i = 0; i < values.size(); ++i) {
        const PersistedProperty& p = Persisted()[i];
        RETURN_IF_FAILED(Read(bag, p, p.fallback(names), &values[i], log));
    }
    // Restored values go straight into the store: no rules, no notifications.
    for (size_t i = 0; i < values.size(); ++i) Persisted()[i].put(values[i]);

    kx::ComPtr<IDispatch> ambient;
    if (IOleClientSite* site = ClientSite()) site->QueryInterface(IID_PPV_ARGS(&ambient));
    e.g_Ambient = ambient; // kept in the store, as the design has it; nothing reads it back
    e.g_CallbackCtl = ext;
    e.g_ParentForm = form;

    // The tables of a running capture (another instance's) hold the
    // procedures its windows must get back: they are left to it, and the
    // next EventsStart rebuilds them anyway.
    if (!e.g_EventsStarted) gFn_ResetTargets();

    e.g_InDevEnv = false;
    if (e.g_UserMode) {
        PrepareReceiver(); // again once the window exists (OnWindowCreated)
        if (!gFn_IsStandAlone()) e.g_InDevEnv = true;
    }
    return S_OK;
}

HRESULT Kestrix::OnSave(IPropertyBag* bag, BOOL, BOOL saveAll) {
    const DefaultNames names = Defaults(ParentFormOf(Extender().Get()).Get());
    for (const PersistedProperty& p : Persisted()) RETURN_IF_FAILED(Write(bag, p, p.get(), p.fallback(names), saveAll));
    return S_OK;
}

} // namespace kestrix
