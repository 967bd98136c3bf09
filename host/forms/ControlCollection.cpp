#include "ControlCollection.h"
#include "ReturnIf.h"
#include "AutoObject.h"
#include "ComObject.h"
#include "Enumerator.h"
#include "Control.h"
#include "Form.h"
#include "Text.h"
#include <vector>

namespace kxhost {

namespace {

// For Each over the controls: VARIANTs holding each control.
struct ItemTraits {
    static constexpr bool kFetchedOptional = true; // as IEnumVARIANT allows
    using Stored = kx::ComPtr<IDispatch>;
    static VARIANT HandOut(const Stored& s) {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_DISPATCH;
        V_DISPATCH(&v) = s.Get();
        if (s) s->AddRef();
        return v;
    }
};
using ItemEnum = kx::Enumerator<IEnumVARIANT, VARIANT, ItemTraits>;

std::vector<kx::ComPtr<IDispatch>> Items(Form& form) {
    std::vector<kx::ComPtr<IDispatch>> items;
    items.emplace_back(form.Dispatch());
    for (const auto& c : form.Controls()) {
        if (c) items.emplace_back(c->Dispatch());
    }
    return items;
}

HRESULT ReturnObject(VARIANT* r, IDispatch* d) {
    if (!r) return S_OK;
    V_VT(r) = VT_DISPATCH;
    V_DISPATCH(r) = d;
    if (d) d->AddRef();
    return S_OK;
}

} // namespace

kx::ComPtr<IDispatch> MakeControlCollection(Form& form) {
    auto o = kx::AutoObject::New();
    Form* f = &form;
    o->Define(L"Count", [f](WORD, DISPPARAMS*, VARIANT* r, EXCEPINFO*) {
        if (r) {
            V_VT(r) = VT_I4;
            V_I4(r) = static_cast<LONG>(Items(*f).size());
        }
        return S_OK;
    });
    o->Define(
        L"Item",
        [f](WORD, DISPPARAMS* p, VARIANT* r, EXCEPINFO* ei) -> HRESULT {
            if (!p || p->cArgs < 1) return DISP_E_BADPARAMCOUNT;
            VARIANT key;
            VariantInit(&key);
            VariantCopyInd(&key, &p->rgvarg[p->cArgs - 1]);
            const auto items = Items(*f);
            IDispatch* found = nullptr;
            bool ok = false;
            if (V_VT(&key) == VT_BSTR) {
                const std::wstring want = kx::UpperCase(V_BSTR(&key) ? V_BSTR(&key) : L"");
                if (kx::UpperCase(f->Name()) == want) {
                    found = items[0].Get();
                    ok = true;
                } else if (Control* c = f->Find(want)) {
                    found = c->Dispatch();
                    ok = true;
                }
            } else if (SUCCEEDED(VariantChangeType(&key, &key, 0, VT_I4))) {
                const LONG i = V_I4(&key);
                if (i >= 0 && static_cast<size_t>(i) < items.size()) {
                    found = items[static_cast<size_t>(i)].Get();
                    ok = true;
                }
            }
            VariantClear(&key);
            if (!ok) return kx::AutoObject::Raise(ei, 9, L"インデックスが有効範囲にありません。");
            return ReturnObject(r, found);
        },
        DISPID_VALUE);
    o->Define(
        L"_NewEnum",
        [f](WORD, DISPPARAMS*, VARIANT* r, EXCEPINFO*) -> HRESULT {
            kx::ComPtr<ItemEnum> e;
            RETURN_IF_FAILED(ItemEnum::Make(e, Items(*f), size_t{0}));
            if (r) {
                V_VT(r) = VT_UNKNOWN;
                V_UNKNOWN(r) = e.Detach();
            }
            return S_OK;
        },
        DISPID_NEWENUM);
    return o;
}

} // namespace kxhost
