// The in-memory property bag: keys without regard to case, values as
// variants, and its stream form.
#include <gtest/gtest.h>

#include "Bstr.h"
#include "BagSupport.h"
#include "MemoryPropertyBag.h"
#include "Variant.h"

using kx::ComPtr;
using kx::Variant;
using kx::ole::MemoryPropertyBag;

namespace kxtest {
namespace {

void WriteString(IPropertyBag* bag, const wchar_t* name, const wchar_t* text) {
    Variant v;
    V_VT(v.get()) = VT_BSTR;
    V_BSTR(v.get()) = SysAllocString(text);
    ASSERT_HRESULT_SUCCEEDED(bag->Write(name, v.get()));
}

void WriteLong(IPropertyBag* bag, const wchar_t* name, LONG n) {
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = n;
    ASSERT_HRESULT_SUCCEEDED(bag->Write(name, &v));
}

ComPtr<IStream> NewStream() {
    ComPtr<IStream> s;
    EXPECT_HRESULT_SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &s));
    return s;
}

void Rewind(IStream* s) {
    LARGE_INTEGER zero{};
    s->Seek(zero, STREAM_SEEK_SET, nullptr);
}

TEST(PropertyBagTest, KeysAreMatchedWithoutRegardToCase) {
    ComPtr<MemoryPropertyBag> bag = NewBag();
    WriteString(bag.Get(), L"DebugFile", L"a.dbg");
    Variant v;
    ASSERT_HRESULT_SUCCEEDED(bag->Read(L"Debugfile", v.get(), nullptr));
    ASSERT_EQ(VT_BSTR, v.vt());
    EXPECT_STREQ(L"a.dbg", V_BSTR(v.get()));

    // Writing under another spelling replaces the value, keeps the name.
    WriteString(bag.Get(), L"DEBUGFILE", L"b.dbg");
    EXPECT_EQ(1u, bag->Count());
    EXPECT_EQ(L"DebugFile", bag->NameAt(0));
    ASSERT_HRESULT_SUCCEEDED(bag->Read(L"debugfile", v.put(), nullptr));
    EXPECT_STREQ(L"b.dbg", V_BSTR(v.get()));
}

TEST(PropertyBagTest, ReadConvertsToTheTypeAskedFor) {
    ComPtr<MemoryPropertyBag> bag = NewBag();
    WriteString(bag.Get(), L"Value", L"42");
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I4;
    ASSERT_HRESULT_SUCCEEDED(bag->Read(L"Value", &v, nullptr));
    EXPECT_EQ(VT_I4, V_VT(&v));
    EXPECT_EQ(42, V_I4(&v));

    WriteString(bag.Get(), L"Text", L"abc");
    V_VT(&v) = VT_I4;
    EXPECT_EQ(DISP_E_TYPEMISMATCH, bag->Read(L"Text", &v, nullptr));
    EXPECT_EQ(VT_EMPTY, V_VT(&v));
}

TEST(PropertyBagTest, MissingPropertyIsAnInvalidArgument) {
    ComPtr<MemoryPropertyBag> bag = NewBag();
    Variant v;
    EXPECT_EQ(E_INVALIDARG, bag->Read(L"Nothing", v.get(), nullptr));
    EXPECT_FALSE(bag->Has(L"Nothing"));
    WriteLong(bag.Get(), L"Gone", 1);
    EXPECT_TRUE(bag->Remove(L"GONE"));
    EXPECT_FALSE(bag->Remove(L"gone"));
    EXPECT_EQ(0u, bag->Count());
}

TEST(PropertyBagTest, ReferencedValuesAreStoredByValue) {
    ComPtr<MemoryPropertyBag> bag = NewBag();
    LONG n = 5;
    VARIANT ref;
    V_VT(&ref) = VT_BYREF | VT_I4;
    V_I4REF(&ref) = &n;
    ASSERT_HRESULT_SUCCEEDED(bag->Write(L"N", &ref));
    n = 6;
    Variant v;
    ASSERT_HRESULT_SUCCEEDED(bag->Read(L"N", v.get(), nullptr));
    EXPECT_EQ(VT_I4, v.vt());
    EXPECT_EQ(5, V_I4(v.get()));
}

TEST(PropertyBagTest, StreamRoundTripKeepsNamesTypesAndValues) {
    ComPtr<MemoryPropertyBag> bag = NewBag();
    WriteString(bag.Get(), L"Text", L"日本語\x0001 text");
    WriteLong(bag.Get(), L"Long", -7);
    VARIANT v;
    V_VT(&v) = VT_BOOL;
    V_BOOL(&v) = VARIANT_TRUE;
    bag->Write(L"Bool", &v);
    V_VT(&v) = VT_R8;
    V_R8(&v) = 2.5;
    bag->Write(L"Double", &v);
    V_VT(&v) = VT_I2;
    V_I2(&v) = -2;
    bag->Write(L"Short", &v);
    V_VT(&v) = VT_UI1;
    V_UI1(&v) = 200;
    bag->Write(L"Byte", &v);
    V_VT(&v) = VT_CY;
    V_CY(&v).int64 = 123456789;
    bag->Write(L"Currency", &v);
    V_VT(&v) = VT_DATE;
    V_DATE(&v) = 45000.25;
    bag->Write(L"Date", &v);
    V_VT(&v) = VT_NULL;
    bag->Write(L"Null", &v);
    V_VT(&v) = VT_EMPTY;
    bag->Write(L"Empty", &v);
    Variant dec;
    V_VT(dec.get()) = VT_I4;
    V_I4(dec.get()) = 12345;
    ASSERT_HRESULT_SUCCEEDED(VariantChangeType(dec.get(), dec.get(), 0, VT_DECIMAL));
    bag->Write(L"Decimal", dec.get());
    Variant nullText;
    V_VT(nullText.get()) = VT_BSTR;
    V_BSTR(nullText.get()) = nullptr;
    bag->Write(L"NullText", nullText.get());

    ComPtr<IStream> s = NewStream();
    ASSERT_HRESULT_SUCCEEDED(bag->Save(s.Get()));
    Rewind(s.Get());
    ComPtr<MemoryPropertyBag> back = NewBag();
    ASSERT_HRESULT_SUCCEEDED(back->LoadFrom(s.Get()));

    ASSERT_EQ(bag->Count(), back->Count());
    for (size_t i = 0; i < bag->Count(); ++i) {
        const std::wstring name = bag->NameAt(i);
        EXPECT_EQ(name, back->NameAt(i));
        Variant a, b;
        ASSERT_HRESULT_SUCCEEDED(bag->Get(name.c_str(), a.get()));
        ASSERT_HRESULT_SUCCEEDED(back->Get(name.c_str(), b.get()));
        ASSERT_EQ(a.vt(), b.vt()) << "property " << i;
        if (a.vt() == VT_BSTR) {
            ASSERT_EQ(SysStringLen(V_BSTR(a.get())), SysStringLen(V_BSTR(b.get())));
            EXPECT_EQ(V_BSTR(a.get()) == nullptr, V_BSTR(b.get()) == nullptr) << "property " << i;
            if (V_BSTR(a.get())) {
                EXPECT_EQ(0, wmemcmp(V_BSTR(a.get()), V_BSTR(b.get()), SysStringLen(V_BSTR(a.get()))));
            }
        } else if (a.vt() != VT_EMPTY && a.vt() != VT_NULL) {
            EXPECT_EQ(VARCMP_EQ, VarCmp(a.get(), b.get(), LOCALE_USER_DEFAULT, 0)) << "property " << i;
        }
    }
}

TEST(PropertyBagTest, DamagedStreamsAreRefusedAndLeaveTheBagEmpty) {
    ComPtr<MemoryPropertyBag> bag = NewBag();
    WriteString(bag.Get(), L"Caption", L"some text");
    ComPtr<IStream> s = NewStream();
    ASSERT_HRESULT_SUCCEEDED(bag->Save(s.Get()));
    STATSTG st{};
    s->Stat(&st, STATFLAG_NONAME);

    // Cut short.
    ULARGE_INTEGER shorter;
    shorter.QuadPart = st.cbSize.QuadPart - 3;
    s->SetSize(shorter);
    Rewind(s.Get());
    ComPtr<MemoryPropertyBag> back = NewBag();
    WriteLong(back.Get(), L"Before", 1);
    EXPECT_HRESULT_FAILED(back->LoadFrom(s.Get()));
    EXPECT_EQ(0u, back->Count());

    // Not a bag at all.
    ComPtr<IStream> junk = NewStream();
    const char text[] = "not a property bag";
    junk->Write(text, sizeof text, nullptr);
    Rewind(junk.Get());
    EXPECT_EQ(STG_E_INVALIDHEADER, back->LoadFrom(junk.Get()));
}

TEST(PropertyBagTest, ObjectWithoutStreamFormCannotBeSaved) {
    ComPtr<MemoryPropertyBag> bag = NewBag();
    ComPtr<MemoryPropertyBag> other = NewBag(); // answers no IPersistStream
    VARIANT v;
    V_VT(&v) = VT_UNKNOWN;
    V_UNKNOWN(&v) = static_cast<IPropertyBag*>(other.Get());
    ASSERT_HRESULT_SUCCEEDED(bag->Write(L"Object", &v));
    ComPtr<IStream> s = NewStream();
    EXPECT_EQ(DISP_E_BADVARTYPE, bag->Save(s.Get()));
}

} // namespace
} // namespace kxtest
