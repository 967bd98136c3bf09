// Variants and texts written to and read back from an IStream, in the
// layout the in-memory property bag saves (little-endian):
//   text:    DWORD length in UTF-16 units, then the units
//   variant: WORD vt, then the value: nothing for EMPTY/NULL; 1, 2, 4 or 8
//            bytes for numbers, Booleans, errors, currency and dates;
//            16 for DECIMAL; a text for BSTR (length 0xFFFFFFFF: null BSTR);
//            for DISPATCH/UNKNOWN a BYTE (0 = Nothing) and then the object
//            as OleSaveToStream writes it (its CLSID and its own stream).
// Arrays and other types are refused with DISP_E_BADVARTYPE.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <string>

namespace kx::ole {

HRESULT WriteText(IStream* s, const wchar_t* text, UINT length);
HRESULT ReadText(IStream* s, std::wstring* out);
HRESULT WriteVariant(IStream* s, const VARIANT& v);
// out must be empty (VariantInit); it is left empty on failure.
HRESULT ReadVariant(IStream* s, VARIANT* out);

HRESULT WriteBytes(IStream* s, const void* data, ULONG size);
HRESULT ReadBytes(IStream* s, void* data, ULONG size);

} // namespace kx::ole
