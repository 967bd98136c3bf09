// The test control: IKxTestCtl on the control base (see KxTestCtl.idl for
// what each member does).
#pragma once
#include <windows.h>
#include <string>

#include "ControlBase.h"
#include "KxTestCtlLib.h"

namespace kxtest {

extern const kx::ole::ControlClassInfo kTestControlInfo;

class TestControl : public kx::ole::ControlBase<TestControl, IKxTestCtl> {
public:
    STDMETHODIMP get_Caption(BSTR* value) override;
    STDMETHODIMP put_Caption(BSTR value) override;
    STDMETHODIMP get_Value(LONG* value) override;
    STDMETHODIMP put_Value(LONG value) override;
    STDMETHODIMP Echo(LONG* n, BSTR* s) override;
    STDMETHODIMP Fail(LONG number) override;
    STDMETHODIMP get_UserModeSeen(LONG* value) override;
    STDMETHODIMP get_ExtenderName(BSTR* value) override;
    STDMETHODIMP Fire(LONG value, LONG* result) override;
    STDMETHODIMP get_Cancelled(VARIANT_BOOL* value) override;
    STDMETHODIMP get_FixedSize(VARIANT_BOOL* value) override;
    STDMETHODIMP put_FixedSize(VARIANT_BOOL value) override;
    STDMETHODIMP Flip(VARIANT_BOOL* flag, VARIANT* any) override;
    STDMETHODIMP get_hWnd(LONG* value) override;

private:
    friend ComBase;
    TestControl() : ControlBase(kTestControlInfo) {}

    HRESULT OnInitNew() override;
    HRESULT OnLoad(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT OnSave(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
    void OnSiteChanged() override;
    void OnAmbientChanged(DISPID id) override;
    void OnSetExtent(SIZEL* himetric) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

    void ReadUserMode();

    std::wstring caption_ = L"KxTest";
    LONG value_ = 0;
    LONG userModeSeen_ = 1;
    bool cancelled_ = false;
    bool fixedSize_ = false;
};

} // namespace kxtest
