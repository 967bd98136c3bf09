#include "FormContainer.h"
#include "ReturnIf.h"
#include "Enumerator.h"
#include "ActiveXControl.h"
#include "Form.h"
#include <vector>

namespace kxhost {

namespace {

// A walk over the controls' objects.
struct UnknownTraits {
    static constexpr bool kFetchedOptional = false;
    using Stored = kx::ComPtr<IUnknown>;
    static IUnknown* HandOut(const Stored& s) {
        if (s) s->AddRef();
        return s.Get();
    }
};
using UnknownEnum = kx::Enumerator<IEnumUnknown, IUnknown*, UnknownTraits>;

} // namespace

STDMETHODIMP FormContainer::ParseDisplayName(IBindCtx*, LPOLESTR, ULONG* eaten, IMoniker** out) {
    if (eaten) *eaten = 0;
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP FormContainer::EnumObjects(DWORD flags, IEnumUnknown** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
        std::vector<kx::ComPtr<IUnknown>> items;
        // The form holds embedded objects only: its ActiveX controls.
        if (form_ && (flags & OLECONTF_EMBEDDINGS)) {
            for (const auto& c : form_->Controls()) {
                auto* x = dynamic_cast<ActiveXControl*>(c.get());
                kx::ComPtr<IUnknown> unknown;
                if (x && x->OleObject() && SUCCEEDED(x->OleObject()->QueryInterface(IID_PPV_ARGS(&unknown))))
                    items.push_back(std::move(unknown));
            }
        }
        kx::ComPtr<UnknownEnum> e;
        RETURN_IF_FAILED(UnknownEnum::Make(e, std::move(items), size_t{0}));
        *out = e.Detach();
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

} // namespace kxhost
