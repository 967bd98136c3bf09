#include "VariantStream.h"

#include <ole2.h>

#include "ComPtr.h"
#include "ReturnIf.h"
#include "Variant.h"

namespace kx::ole {

namespace {
constexpr DWORD kNullText = 0xFFFFFFFF;
// A text longer than this is taken as a damaged stream.
constexpr DWORD kMaxText = 0x4000000;

ULONG FixedSize(VARTYPE vt) {
    if (vt == VT_EMPTY || vt == VT_NULL) return 0;
    const size_t n = ValueSize(vt);
    return n ? static_cast<ULONG>(n) : kNullText;
}
} // namespace

HRESULT WriteBytes(IStream* s, const void* data, ULONG size) {
    if (size == 0) return S_OK;
    ULONG done = 0;
    RETURN_IF_FAILED(s->Write(data, size, &done));
    return done == size ? S_OK : STG_E_MEDIUMFULL;
}

HRESULT ReadBytes(IStream* s, void* data, ULONG size) {
    if (size == 0) return S_OK;
    ULONG done = 0;
    RETURN_IF_FAILED(s->Read(data, size, &done));
    return done == size ? S_OK : STG_E_READFAULT;
}

HRESULT WriteText(IStream* s, const wchar_t* text, UINT length) {
    const DWORD n = text ? length : kNullText;
    RETURN_IF_FAILED(WriteBytes(s, &n, sizeof n));
    return text ? WriteBytes(s, text, length * sizeof(wchar_t)) : S_OK;
}

HRESULT ReadText(IStream* s, std::wstring* out) {
    DWORD n = 0;
    RETURN_IF_FAILED(ReadBytes(s, &n, sizeof n));
    out->clear();
    if (n == kNullText) return S_OK;
    RETURN_HR_IF(STG_E_READFAULT, n > kMaxText);
    out->resize(n);
    return n ? ReadBytes(s, &(*out)[0], n * sizeof(wchar_t)) : S_OK;
}

HRESULT WriteVariant(IStream* s, const VARIANT& v) {
    const VARTYPE vt = V_VT(&v);
    if (vt & VT_BYREF) {
        VARIANT copy;
        VariantInit(&copy);
        RETURN_IF_FAILED(VariantCopyInd(&copy, const_cast<VARIANT*>(&v)));
        const HRESULT hr = WriteVariant(s, copy);
        VariantClear(&copy);
        return hr;
    }
    const ULONG fixed = FixedSize(vt);
    if (fixed != kNullText) {
        RETURN_IF_FAILED(WriteBytes(s, &vt, sizeof vt));
        return WriteBytes(s, &V_UI1(&v), fixed);
    }
    switch (vt) {
    case VT_DECIMAL: {
        RETURN_IF_FAILED(WriteBytes(s, &vt, sizeof vt));
        DECIMAL d = V_DECIMAL(&v);
        d.wReserved = 0;
        return WriteBytes(s, &d, sizeof d);
    }
    case VT_BSTR:
        RETURN_IF_FAILED(WriteBytes(s, &vt, sizeof vt));
        return WriteText(s, V_BSTR(&v), SysStringLen(V_BSTR(&v)));
    case VT_DISPATCH:
    case VT_UNKNOWN: {
        ComPtr<IPersistStream> persist;
        if (V_UNKNOWN(&v)) {
            RETURN_HR_IF(DISP_E_BADVARTYPE, FAILED(V_UNKNOWN(&v)->QueryInterface(IID_PPV_ARGS(&persist))));
        }
        RETURN_IF_FAILED(WriteBytes(s, &vt, sizeof vt));
        const BYTE present = persist ? 1 : 0;
        RETURN_IF_FAILED(WriteBytes(s, &present, sizeof present));
        return persist ? OleSaveToStream(persist.Get(), s) : S_OK;
    }
    default:
        return DISP_E_BADVARTYPE;
    }
}

HRESULT ReadVariant(IStream* s, VARIANT* out) {
    VARTYPE vt = VT_EMPTY;
    RETURN_IF_FAILED(ReadBytes(s, &vt, sizeof vt));
    const ULONG fixed = FixedSize(vt);
    if (fixed != kNullText) {
        VARIANT v;
        VariantInit(&v);
        RETURN_IF_FAILED(ReadBytes(s, &V_UI1(&v), fixed));
        V_VT(&v) = vt;
        *out = v;
        return S_OK;
    }
    switch (vt) {
    case VT_DECIMAL: {
        DECIMAL d;
        RETURN_IF_FAILED(ReadBytes(s, &d, sizeof d));
        V_DECIMAL(out) = d;
        V_VT(out) = VT_DECIMAL; // after the copy: the type field overlays wReserved
        return S_OK;
    }
    case VT_BSTR: {
        DWORD n = 0;
        RETURN_IF_FAILED(ReadBytes(s, &n, sizeof n));
        BSTR b = nullptr;
        if (n != kNullText) {
            RETURN_HR_IF(STG_E_READFAULT, n > kMaxText);
            b = SysAllocStringLen(nullptr, n);
            RETURN_HR_IF_NULL(E_OUTOFMEMORY, b);
            const HRESULT hr = ReadBytes(s, b, n * sizeof(wchar_t));
            if (FAILED(hr)) {
                SysFreeString(b);
                return hr;
            }
        }
        V_VT(out) = VT_BSTR;
        V_BSTR(out) = b;
        return S_OK;
    }
    case VT_DISPATCH:
    case VT_UNKNOWN: {
        BYTE present = 0;
        RETURN_IF_FAILED(ReadBytes(s, &present, sizeof present));
        IUnknown* obj = nullptr;
        if (present) {
            RETURN_IF_FAILED(
                OleLoadFromStream(s, vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown, reinterpret_cast<void**>(&obj)));
        }
        V_VT(out) = vt;
        V_UNKNOWN(out) = obj;
        return S_OK;
    }
    default:
        return DISP_E_BADVARTYPE;
    }
}

} // namespace kx::ole
