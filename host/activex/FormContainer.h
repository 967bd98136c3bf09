// The form as its ActiveX controls see it through their site's
// GetContainer: IOleContainer, whose EnumObjects lists the form's ActiveX
// controls in form order.
#pragma once
#include <oleidl.h>

#include "ComObject.h"

namespace kxhost {

class Form;

class FormContainer : public kx::ComObject<FormContainer, IOleContainer> {
public:
    explicit FormContainer(Form* form) : form_(form) {}
    // The form is gone: the container enumerates nothing any more.
    void Detach() { form_ = nullptr; }

    bool QueryOther(REFIID riid, void** ppv) {
        if (riid != IID_IParseDisplayName) return false;
        *ppv = static_cast<IParseDisplayName*>(this);
        return true;
    }

    // IParseDisplayName: the form names nothing inside it.
    STDMETHODIMP ParseDisplayName(IBindCtx*, LPOLESTR, ULONG* eaten, IMoniker** out) override;
    // IOleContainer
    STDMETHODIMP EnumObjects(DWORD flags, IEnumUnknown** out) override;
    STDMETHODIMP LockContainer(BOOL) override { return S_OK; }

private:
    Form* form_;
};

} // namespace kxhost
