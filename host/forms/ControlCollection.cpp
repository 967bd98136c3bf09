#include "ControlCollection.h"
#include "ReturnIf.h"
#include "AutoObject.h"
#include "ComObject.h"
#include "Control.h"
#include "Form.h"
#include "Text.h"
#include <vector>

namespace kxhost {

namespace {

// Enumerates a snapshot of the items, so a walk is stable while controls come and go.
class ItemEnum : public kx::ComObject<ItemEnum, IEnumVARIANT> {
public:
    explicit ItemEnum(std::vector<kx::ComPtr<IDispatch>> items, ULONG pos = 0) : items_(std::move(items)), pos_(pos) {}

    STDMETHODIMP Next(ULONG n, VARIANT* out, ULONG* fetched) override {
        if (!out) return E_POINTER;
        ULONG got = 0;
        for (; got < n && pos_ < items_.size(); ++got, ++pos_) {
            VariantInit(&out[got]);
            V_VT(&out[got]) = VT_DISPATCH;
            V_DISPATCH(&out[got]) = items_[pos_].Get();
            if (items_[pos_]) items_[pos_]->AddRef();
        }
        if (fetched) *fetched = got;
        return got == n ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG n) override {
        pos_ += n;
        if (pos_ > items_.size()) { pos_ = static_cast<ULONG>(items_.size()); return S_FALSE; }
        return S_OK;
    }
    STDMETHODIMP Reset() override { pos_ = 0; return S_OK; }
    STDMETHODIMP Clone(IEnumVARIANT** out) override {
        if (!out) return E_POINTER;
        kx::ComPtr<ItemEnum> copy;
        RETURN_IF_FAILED(Make(copy, items_, pos_));
        *out = copy.Detach();
        return S_OK;
    }

private:
    std::vector<kx::ComPtr<IDispatch>> items_;
    ULONG pos_;
};

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
        if (r) { V_VT(r) = VT_I4; V_I4(r) = static_cast<LONG>(Items(*f).size()); }
        return S_OK;
    });
    o->Define(L"Item", [f](WORD, DISPPARAMS* p, VARIANT* r, EXCEPINFO* ei) -> HRESULT {
        if (!p || p->cArgs < 1) return DISP_E_BADPARAMCOUNT;
        VARIANT key;
        VariantInit(&key);
        VariantCopyInd(&key, &p->rgvarg[p->cArgs - 1]);
        const auto items = Items(*f);
        IDispatch* found = nullptr;
        bool ok = false;
        if (V_VT(&key) == VT_BSTR) {
            const std::wstring want = kx::UpperCase(V_BSTR(&key) ? V_BSTR(&key) : L"");
            if (kx::UpperCase(f->Name()) == want) { found = items[0].Get(); ok = true; }
            else if (Control* c = f->Find(want)) { found = c->Dispatch(); ok = true; }
        } else if (SUCCEEDED(VariantChangeType(&key, &key, 0, VT_I4))) {
            const LONG i = V_I4(&key);
            if (i >= 0 && static_cast<size_t>(i) < items.size()) { found = items[static_cast<size_t>(i)].Get(); ok = true; }
        }
        VariantClear(&key);
        if (!ok) return kx::AutoObject::Raise(ei, 9, L"インデックスが有効範囲にありません。");
        return ReturnObject(r, found);
    }, DISPID_VALUE);
    o->Define(L"_NewEnum", [f](WORD, DISPPARAMS*, VARIANT* r, EXCEPINFO*) -> HRESULT {
        kx::ComPtr<ItemEnum> e;
        RETURN_IF_FAILED(ItemEnum::Make(e, Items(*f)));
        if (r) { V_VT(r) = VT_UNKNOWN; V_UNKNOWN(r) = e.Detach(); }
        return S_OK;
    }, DISPID_NEWENUM);
    return o;
}

} // namespace kxhost
