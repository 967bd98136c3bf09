// The COM face of a property page: IPropertyPage2 (and IPropertyPage)
// forwarded to PageCore, and error information for the frame.
//
//   class MyPage : public PropertyPage<MyPage> {
//       friend ComBase;
//       MyPage() : PropertyPage(kMyLayout) {}
//       void SelectionChanged() override; ...
//   };
#pragma once
#include <windows.h>
#include <ocidl.h>

#include "ComObject.h"
#include "ModuleInfo.h"
#include "PageCore.h"

namespace kestrix::pages {

template <class Derived>
class PropertyPage : public kx::ComObject<Derived, IPropertyPage2, ISupportErrorInfo>, public PageCore {
public:
    using ComBase = kx::ComObject<Derived, IPropertyPage2, ISupportErrorInfo>;

    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override { return PageCore::SetPageSite(site); }
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override {
        return PageCore::Activate(parent, rect, modal);
    }
    STDMETHODIMP Deactivate() override { return PageCore::Deactivate(); }
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override { return PageCore::GetPageInfo(info); }
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override { return PageCore::SetObjects(count, objects); }
    STDMETHODIMP Show(UINT cmd) override { return PageCore::Show(cmd); }
    STDMETHODIMP Move(LPCRECT rect) override { return PageCore::Move(rect); }
    STDMETHODIMP IsPageDirty() override { return PageCore::IsPageDirty(); }
    STDMETHODIMP Apply() override { return PageCore::Apply(); }
    STDMETHODIMP Help(LPCOLESTR) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG* msg) override { return PageCore::TranslateAccelerator(msg); }
    STDMETHODIMP EditProperty(DISPID) override { return E_NOTIMPL; }

    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == IID_IPropertyPage || iid == IID_IPropertyPage2 ? S_OK : S_FALSE;
    }

    // IPropertyPage, the base of IPropertyPage2.
    bool QueryOther(REFIID iid, void** out) {
        if (iid != IID_IPropertyPage) return false;
        *out = static_cast<IPropertyPage*>(static_cast<IPropertyPage2*>(this));
        return true;
    }

protected:
    explicit PropertyPage(const PageLayout& layout) : PageCore(layout, kx::ole::ModuleOf(&layout)) {}
    ~PropertyPage() override = default;
};

} // namespace kestrix::pages
