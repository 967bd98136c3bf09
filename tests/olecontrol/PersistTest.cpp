// The control's persistence: IPersistPropertyBag and IPersistStreamInit
// through the same hooks, defaults, keys in any case.
#include <gtest/gtest.h>

#include "Bstr.h"
#include "BagSupport.h"
#include "MemoryPropertyBag.h"
#include "TestControlDll.h"
#include "Variant.h"

using kx::ComPtr;
using kx::Variant;
using kx::ole::MemoryPropertyBag;

namespace kxtest {
namespace {

std::wstring Caption(IKxTestCtl* ctl) {
    kx::Bstr b;
    EXPECT_HRESULT_SUCCEEDED(ctl->get_Caption(b.put()));
    return b.str();
}

LONG Value(IKxTestCtl* ctl) {
    LONG v = -999;
    EXPECT_HRESULT_SUCCEEDED(ctl->get_Value(&v));
    return v;
}

ComPtr<IPersistPropertyBag> BagPersist(IKxTestCtl* ctl) {
    ComPtr<IPersistPropertyBag> p;
    EXPECT_HRESULT_SUCCEEDED(ctl->QueryInterface(IID_PPV_ARGS(&p)));
    return p;
}

TEST(PersistTest, NewControlHasTheDefaults) {
    ComPtr<IKxTestCtl> ctl = NewTestControl();
    ASSERT_HRESULT_SUCCEEDED(BagPersist(ctl.Get())->InitNew());
    EXPECT_EQ(L"KxTest", Caption(ctl.Get()));
    EXPECT_EQ(0, Value(ctl.Get()));
    CLSID clsid{};
    ASSERT_HRESULT_SUCCEEDED(BagPersist(ctl.Get())->GetClassID(&clsid));
    EXPECT_TRUE(clsid == CLSID_KxTestCtl);
}

TEST(PersistTest, PropertyBagRoundTrip) {
    ComPtr<IKxTestCtl> ctl = NewInitializedTestControl();
    kx::Bstr caption(L"保存 abc");
    ctl->put_Caption(caption.get());
    ctl->put_Value(42);
    ComPtr<MemoryPropertyBag> bag = NewBag();
    ComPtr<IPersistStreamInit> stream;
    ASSERT_HRESULT_SUCCEEDED(ctl.As(&stream));
    EXPECT_EQ(S_OK, stream->IsDirty());
    ASSERT_HRESULT_SUCCEEDED(BagPersist(ctl.Get())->Save(bag.Get(), TRUE, FALSE));
    EXPECT_EQ(S_FALSE, stream->IsDirty());
    EXPECT_TRUE(bag->Has(L"Caption"));
    EXPECT_TRUE(bag->Has(L"Value"));

    ComPtr<IKxTestCtl> copy = NewTestControl();
    ASSERT_HRESULT_SUCCEEDED(BagPersist(copy.Get())->Load(bag.Get(), nullptr));
    EXPECT_EQ(L"保存 abc", Caption(copy.Get()));
    EXPECT_EQ(42, Value(copy.Get()));
}

TEST(PersistTest, DefaultsAreLeftOutUnlessAllAreWanted) {
    ComPtr<IKxTestCtl> ctl = NewInitializedTestControl();
    ComPtr<MemoryPropertyBag> bag = NewBag();
    ASSERT_HRESULT_SUCCEEDED(BagPersist(ctl.Get())->Save(bag.Get(), FALSE, FALSE));
    EXPECT_EQ(0u, bag->Count());
    ASSERT_HRESULT_SUCCEEDED(BagPersist(ctl.Get())->Save(bag.Get(), FALSE, TRUE));
    EXPECT_EQ(2u, bag->Count());
}

TEST(PersistTest, SavedKeysAreFoundInAnyCase) {
    ComPtr<MemoryPropertyBag> bag = NewBag();
    Variant v;
    V_VT(v.get()) = VT_BSTR;
    V_BSTR(v.get()) = SysAllocString(L"lower");
    bag->Write(L"caption", v.get());
    VARIANT n;
    V_VT(&n) = VT_I4;
    V_I4(&n) = 9;
    bag->Write(L"VALUE", &n);
    ComPtr<IKxTestCtl> ctl = NewTestControl();
    ASSERT_HRESULT_SUCCEEDED(BagPersist(ctl.Get())->Load(bag.Get(), nullptr));
    EXPECT_EQ(L"lower", Caption(ctl.Get()));
    EXPECT_EQ(9, Value(ctl.Get()));
}

TEST(PersistTest, MissingKeysTakeTheDefaults) {
    ComPtr<IKxTestCtl> ctl = NewInitializedTestControl();
    ctl->put_Value(5);
    ComPtr<MemoryPropertyBag> empty = NewBag();
    ASSERT_HRESULT_SUCCEEDED(BagPersist(ctl.Get())->Load(empty.Get(), nullptr));
    EXPECT_EQ(L"KxTest", Caption(ctl.Get()));
    EXPECT_EQ(0, Value(ctl.Get()));
}

TEST(PersistTest, ValueOfTheWrongTypeFailsTheLoad) {
    ComPtr<IKxTestCtl> ctl = NewInitializedTestControl();
    ctl->put_Value(5);
    ComPtr<MemoryPropertyBag> bag = NewBag();
    Variant v;
    V_VT(v.get()) = VT_BSTR;
    V_BSTR(v.get()) = SysAllocString(L"not a number");
    bag->Write(L"Value", v.get());
    EXPECT_EQ(DISP_E_TYPEMISMATCH, BagPersist(ctl.Get())->Load(bag.Get(), nullptr));
    EXPECT_EQ(5, Value(ctl.Get()));
}

TEST(PersistTest, StreamRoundTrip) {
    ComPtr<IKxTestCtl> ctl = NewInitializedTestControl();
    kx::Bstr caption(L"streamed");
    ctl->put_Caption(caption.get());
    ctl->put_Value(-3);
    ComPtr<IPersistStreamInit> persist;
    ASSERT_HRESULT_SUCCEEDED(ctl.As(&persist));
    ComPtr<IStream> s;
    ASSERT_HRESULT_SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &s));
    ULARGE_INTEGER max{};
    ASSERT_HRESULT_SUCCEEDED(persist->GetSizeMax(&max));
    ASSERT_HRESULT_SUCCEEDED(persist->Save(s.Get(), TRUE));
    EXPECT_EQ(S_FALSE, persist->IsDirty());
    STATSTG st{};
    s->Stat(&st, STATFLAG_NONAME);
    EXPECT_EQ(max.QuadPart, st.cbSize.QuadPart);

    LARGE_INTEGER zero{};
    s->Seek(zero, STREAM_SEEK_SET, nullptr);
    ComPtr<IKxTestCtl> copy = NewTestControl();
    ComPtr<IPersistStreamInit> copyPersist;
    ASSERT_HRESULT_SUCCEEDED(copy.As(&copyPersist));
    ASSERT_HRESULT_SUCCEEDED(copyPersist->Load(s.Get()));
    EXPECT_EQ(L"streamed", Caption(copy.Get()));
    EXPECT_EQ(-3, Value(copy.Get()));
}

TEST(PersistTest, DamagedStreamFailsTheLoad) {
    ComPtr<IKxTestCtl> ctl = NewInitializedTestControl();
    ComPtr<IPersistStreamInit> persist;
    ASSERT_HRESULT_SUCCEEDED(ctl.As(&persist));
    ComPtr<IStream> s;
    ASSERT_HRESULT_SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &s));
    s->Write("junk", 4, nullptr);
    LARGE_INTEGER zero{};
    s->Seek(zero, STREAM_SEEK_SET, nullptr);
    EXPECT_HRESULT_FAILED(persist->Load(s.Get()));
}

TEST(PersistTest, ControlIsSavedAsAnObjectInsideABag) {
    // IPersistStream (answered by IPersistStreamInit) lets OLE save the
    // control into a stream and make it again from there.
    ASSERT_HRESULT_SUCCEEDED(RegisterTestControl());
    ComPtr<IKxTestCtl> ctl = NewInitializedTestControl();
    ctl->put_Value(77);
    ComPtr<MemoryPropertyBag> bag = NewBag();
    VARIANT v;
    V_VT(&v) = VT_DISPATCH;
    V_DISPATCH(&v) = ctl.Get();
    ASSERT_HRESULT_SUCCEEDED(bag->Write(L"Inner", &v));
    ComPtr<IStream> s;
    ASSERT_HRESULT_SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &s));
    ASSERT_HRESULT_SUCCEEDED(bag->Save(s.Get()));
    LARGE_INTEGER zero{};
    s->Seek(zero, STREAM_SEEK_SET, nullptr);
    ComPtr<MemoryPropertyBag> back = NewBag();
    ASSERT_HRESULT_SUCCEEDED(back->LoadFrom(s.Get()));
    Variant inner;
    ASSERT_HRESULT_SUCCEEDED(back->Get(L"Inner", inner.get()));
    ASSERT_EQ(VT_DISPATCH, inner.vt());
    ComPtr<IKxTestCtl> copy;
    ASSERT_HRESULT_SUCCEEDED(V_DISPATCH(inner.get())->QueryInterface(IID_PPV_ARGS(&copy)));
    EXPECT_NE(ctl.Get(), copy.Get());
    EXPECT_EQ(77, Value(copy.Get()));
}

} // namespace
} // namespace kxtest
