#include "LateBound.h"
#include "Bstr.h"
#include "Text.h"
#include "ExcepInfo.h"
#include <new>

namespace kx {

namespace {
constexpr UINT kMaxArgs = 16;

std::wstring TakeBstr(BSTR& b) {
    std::wstring s = FromBstr(b);
    SysFreeString(b);
    b = nullptr;
    return s;
}

AutomationError FromExcepInfo(HRESULT hr, ExcepInfo& info) {
    EXCEPINFO& ei = info.Filled();
    AutomationError e;
    e.hr = ei.scode ? ei.scode : hr;
    // The number VB's Err shows: the raiser's own, or the one of its status
    // (a type mismatch raised as DISP_E_TYPEMISMATCH is error 13).
    e.number = ei.wCode ? ei.wCode : ErrorFromStatus(e.hr).number;
    e.description = TakeBstr(ei.bstrDescription);
    e.source = TakeBstr(ei.bstrSource);
    e.helpFile = TakeBstr(ei.bstrHelpFile);
    e.helpContext = ei.dwHelpContext;
    if (e.description.empty()) e.description = ErrorFromStatus(e.hr).description;
    return e;
}
} // namespace

namespace {

// The runtime errors VB reports for the statuses a late-bound call can end with.
struct StatusError {
    HRESULT hr;
    LONG number;
    const wchar_t* description;
};
const StatusError kStatusErrors[] = {
    {DISP_E_UNKNOWNNAME, 438, L"オブジェクトは、このプロパティまたはメソッドをサポートしていません。"},
    {DISP_E_MEMBERNOTFOUND, 438, L"オブジェクトは、このプロパティまたはメソッドをサポートしていません。"},
    {DISP_E_TYPEMISMATCH, 13, L"型が一致しません。"},
    {DISP_E_OVERFLOW, 6, L"オーバーフローしました。"},
    {DISP_E_BADPARAMCOUNT, 450, L"引数の数が一致していません。または不正なプロパティを指定しています。"},
    {DISP_E_PARAMNOTOPTIONAL, 450, L"引数の数が一致していません。または不正なプロパティを指定しています。"},
    {E_POINTER, 91, L"オブジェクト変数または With ブロック変数が設定されていません。"},
    {E_OUTOFMEMORY, 7, L"メモリが不足しています。"},
};

} // namespace

AutomationError ErrorFromStatus(HRESULT hr) {
    AutomationError e;
    e.hr = hr;
    for (const StatusError& s : kStatusErrors) {
        if (s.hr != hr) continue;
        e.number = s.number;
        e.description = s.description;
        return e;
    }
    if (HRESULT_FACILITY(hr) == FACILITY_CONTROL) {
        e.number = HRESULT_CODE(hr);
        e.description = L"アプリケーション定義またはオブジェクト定義のエラーです。";
    } else {
        e.number = hr;
        e.description = L"オートメーション エラーです。";
    }
    return e;
}

AutomationError ErrorFromException(const std::exception& ex) {
    if (auto r = dynamic_cast<const RaisedError*>(&ex)) return r->error();
    if (dynamic_cast<const std::bad_alloc*>(&ex)) return ErrorFromStatus(E_OUTOFMEMORY);
    AutomationError e;
    if (dynamic_cast<const std::out_of_range*>(&ex)) {
        e.number = 9;
        e.description = L"インデックスが有効範囲にありません。";
    } else {
        e.number = 5;
        e.description = L"プロシージャの呼び出し、または引数が不正です。";
    }
    e.hr = VbErrorStatus(e.number);
    return e;
}

HRESULT GetDispId(IDispatch* obj, const wchar_t* name, DISPID* id) {
    if (!obj) return E_POINTER;
    LPOLESTR n = const_cast<LPOLESTR>(name);
    return obj->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, id);
}

HRESULT InvokeId(IDispatch* obj, DISPID id, WORD flags, VARIANTARG* args, UINT count, VARIANT* result,
                 AutomationError* err) {
    if (!obj) {
        if (err) *err = ErrorFromStatus(E_POINTER);
        return E_POINTER;
    }
    if (count > kMaxArgs) return E_INVALIDARG;
    ReversedArgs<kMaxArgs> reversed(args, count);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS dp{count ? reversed.items : nullptr, nullptr, count, 0};
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        dp.rgdispidNamedArgs = &named;
        dp.cNamedArgs = 1;
    }
    ExcepInfo ei;
    UINT argErr = 0;
    const HRESULT hr = obj->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &dp, result, ei.get(), &argErr);
    if (hr == DISP_E_EXCEPTION) {
        if (err) *err = FromExcepInfo(hr, ei);
    } else if (FAILED(hr) && err) {
        *err = ErrorFromStatus(hr);
    }
    return hr;
}

HRESULT InvokeByName(IDispatch* obj, const wchar_t* name, WORD flags, VARIANTARG* args, UINT count, VARIANT* result,
                     AutomationError* err) {
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = GetDispId(obj, name, &id);
    if (FAILED(hr)) {
        if (err) *err = ErrorFromStatus(hr == E_POINTER ? hr : DISP_E_UNKNOWNNAME);
        return hr;
    }
    return InvokeId(obj, id, flags, args, count, result, err);
}

HRESULT GetProperty(IDispatch* obj, const wchar_t* name, VARIANT* result, AutomationError* err) {
    return InvokeByName(obj, name, DISPATCH_PROPERTYGET, nullptr, 0, result, err);
}

HRESULT PutProperty(IDispatch* obj, const wchar_t* name, VARIANT value, AutomationError* err) {
    return InvokeByName(obj, name, DISPATCH_PROPERTYPUT, &value, 1, nullptr, err);
}

HRESULT IdsOfNames(const NamedId* table, size_t size, LPOLESTR* names, UINT count, DISPID* ids) {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    if (!names[0]) return DISP_E_UNKNOWNNAME;
    for (size_t i = 0; i < size; ++i) {
        if (!SameTextNoCase(table[i].name, names[0])) continue;
        ids[0] = table[i].id;
        return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
    return DISP_E_UNKNOWNNAME;
}

} // namespace kx
