#include "TestControl.h"

#include "Bstr.h"
#include "ComTrap.h"
#include "LateBound.h"
#include "PropertyBagIo.h"
#include "ReturnIf.h"
#include "Variant.h"
#include "resource.h"

namespace kxtest {

namespace {
constexpr DISPID kCaptionId = 1;
constexpr DISPID kValueId = 2;
constexpr DISPID kChangedEventId = 1;
constexpr wchar_t kDefaultCaption[] = L"KxTest";
constexpr LONG kDefaultValue = 0;
constexpr SIZEL kFixedExtent{820, 741};

template <class F>
HRESULT Guard(F&& body) {
    return kx::ole::Trap(IID_IKxTestCtl, std::forward<F>(body));
}

HRESULT ReturnString(const std::wstring& s, BSTR* out) {
    RETURN_HR_IF_NULL(E_POINTER, out);
    *out = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}
} // namespace

const kx::ole::ControlClassInfo kTestControlInfo = {
    &CLSID_KxTestCtl,
    &IID_IKxTestCtl,
    &DIID__KxTestCtlEvents,
    OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
        OLEMISC_INVISIBLEATRUNTIME | OLEMISC_SETCLIENTSITEFIRST,
    kFixedExtent,
    nullptr,
    0,
    IDB_KXTEST_FACE,
    "KxTestCtlWindow",
};

void TestControl::ReadUserMode() {
    bool user = false;
    userModeSeen_ = AmbientUserMode(&user) ? (user ? -1 : 0) : 1;
}

void TestControl::OnSiteChanged() { ReadUserMode(); }

void TestControl::OnAmbientChanged(DISPID id) {
    if (id == DISPID_AMBIENT_USERMODE || id == DISPID_UNKNOWN) ReadUserMode();
}

HRESULT TestControl::OnInitNew() {
    ReadUserMode();
    caption_ = kDefaultCaption;
    value_ = kDefaultValue;
    return S_OK;
}

HRESULT TestControl::OnLoad(IPropertyBag* bag, IErrorLog* log) {
    ReadUserMode();
    std::wstring caption;
    LONG value = 0;
    RETURN_IF_FAILED(kx::ole::ReadValue(bag, L"Caption", std::wstring(kDefaultCaption), &caption, log));
    RETURN_IF_FAILED(kx::ole::ReadValue(bag, L"Value", LONG{kDefaultValue}, &value, log));
    caption_ = caption;
    value_ = value;
    return S_OK;
}

HRESULT TestControl::OnSave(IPropertyBag* bag, BOOL, BOOL saveAll) {
    RETURN_IF_FAILED(kx::ole::WriteValue(bag, L"Caption", caption_, std::wstring(kDefaultCaption), saveAll));
    RETURN_IF_FAILED(kx::ole::WriteValue(bag, L"Value", LONG{value_}, LONG{kDefaultValue}, saveAll));
    return S_OK;
}

void TestControl::OnSetExtent(SIZEL* himetric) {
    if (fixedSize_) *himetric = kFixedExtent;
}

bool TestControl::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT* result) {
    if (msg != WM_USER + 1) return false;
    *result = value_;
    return true;
}

STDMETHODIMP TestControl::get_Caption(BSTR* value) {
    return Guard([&] { return ReturnString(caption_, value); });
}

STDMETHODIMP TestControl::put_Caption(BSTR value) {
    return Guard([&]() -> HRESULT {
        if (!RequestEdit(kCaptionId)) return S_OK; // refused: unchanged, no error
        caption_.assign(value ? value : L"", SysStringLen(value));
        NotifyChanged(kCaptionId);
        return S_OK;
    });
}

STDMETHODIMP TestControl::get_Value(LONG* value) {
    RETURN_HR_IF_NULL(E_POINTER, value);
    *value = value_;
    return S_OK;
}

STDMETHODIMP TestControl::put_Value(LONG value) {
    return Guard([&]() -> HRESULT {
        value_ = value;
        NotifyChanged(kValueId);
        return S_OK;
    });
}

STDMETHODIMP TestControl::Echo(LONG* n, BSTR* s) {
    return Guard([&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_POINTER, n);
        RETURN_HR_IF_NULL(E_POINTER, s);
        *n *= 2;
        std::wstring text(*s ? *s : L"", SysStringLen(*s));
        text += L"!";
        kx::Bstr fresh(text);
        RETURN_HR_IF_NULL(E_OUTOFMEMORY, fresh.get());
        SysFreeString(*s);
        *s = fresh.release();
        return S_OK;
    });
}

STDMETHODIMP TestControl::Fail(LONG number) { return RaiseError(number, L"テスト エラー", L"KxTest.hlp", 7); }

STDMETHODIMP TestControl::get_UserModeSeen(LONG* value) {
    RETURN_HR_IF_NULL(E_POINTER, value);
    *value = userModeSeen_;
    return S_OK;
}

STDMETHODIMP TestControl::get_ExtenderName(BSTR* value) {
    return Guard([&]() -> HRESULT {
        std::wstring name;
        kx::ComPtr<IDispatch> extender;
        if (SUCCEEDED(ExtendedControl(&extender))) {
            kx::Variant v;
            if (SUCCEEDED(kx::GetProperty(extender.Get(), L"Name", v.get()))) v.toString(name);
        }
        return ReturnString(name, value);
    });
}

STDMETHODIMP TestControl::Fire(LONG value, LONG* result) {
    return Guard([&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_POINTER, result);
        LONG v = value;
        VARIANT_BOOL cancel = VARIANT_FALSE;
        VARIANTARG args[2];
        V_VT(&args[0]) = VT_BYREF | VT_I4;
        V_I4REF(&args[0]) = &v;
        V_VT(&args[1]) = VT_BYREF | VT_BOOL;
        V_BOOLREF(&args[1]) = &cancel;
        RETURN_IF_FAILED(FireEvent(kChangedEventId, args, 2));
        cancelled_ = cancel != VARIANT_FALSE;
        *result = v;
        return S_OK;
    });
}

STDMETHODIMP TestControl::get_Cancelled(VARIANT_BOOL* value) {
    RETURN_HR_IF_NULL(E_POINTER, value);
    *value = cancelled_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP TestControl::get_FixedSize(VARIANT_BOOL* value) {
    RETURN_HR_IF_NULL(E_POINTER, value);
    *value = fixedSize_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP TestControl::put_FixedSize(VARIANT_BOOL value) {
    fixedSize_ = value != VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP TestControl::Flip(VARIANT_BOOL* flag, VARIANT* any) {
    return Guard([&]() -> HRESULT {
        RETURN_HR_IF_NULL(E_POINTER, flag);
        RETURN_HR_IF_NULL(E_POINTER, any);
        BSTR text = SysAllocString(L"flipped");
        RETURN_HR_IF_NULL(E_OUTOFMEMORY, text);
        *flag = *flag ? VARIANT_FALSE : VARIANT_TRUE;
        VariantClear(any);
        V_VT(any) = VT_BSTR;
        V_BSTR(any) = text;
        return S_OK;
    });
}

STDMETHODIMP TestControl::get_hWnd(LONG* value) {
    RETURN_HR_IF_NULL(E_POINTER, value);
    *value = static_cast<LONG>(reinterpret_cast<LONG_PTR>(Hwnd()));
    return S_OK;
}

} // namespace kxtest
