// Events through the connection point of the default source interface,
// and change notifications through IPropertyNotifySink.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include "AutoObject.h"
#include "Bstr.h"
#include "LateBound.h"
#include "Sinks.h"
#include "TestControlDll.h"
#include "Variant.h"

using kx::ComPtr;

namespace kxtest {
namespace {

class EventTest : public ::testing::Test {
protected:
    void SetUp() override {
        ctl_ = NewInitializedTestControl();
        ASSERT_TRUE(ctl_);
    }
    ComPtr<IKxTestCtl> ctl_;
};

TEST_F(EventTest, HandlerChangesComeBackThroughTheReferences) {
    ComPtr<EventSink> sink = EventSink::New();
    sink->handler = [](DISPPARAMS* p) {
        // Changed(value, cancel): cancel is rgvarg[0], value rgvarg[1].
        *V_I4REF(&p->rgvarg[1]) *= 3;
        *V_BOOLREF(&p->rgvarg[0]) = VARIANT_TRUE;
    };
    EXPECT_EQ(1u, Connect(ctl_.Get(), DIID__KxTestCtlEvents, sink.Get()));
    LONG result = 0;
    ASSERT_HRESULT_SUCCEEDED(ctl_->Fire(5, &result));
    EXPECT_EQ(15, result);
    VARIANT_BOOL cancelled = VARIANT_FALSE;
    ASSERT_HRESULT_SUCCEEDED(ctl_->get_Cancelled(&cancelled));
    EXPECT_EQ(VARIANT_TRUE, cancelled);
    ASSERT_EQ(1u, sink->calls.size());
    EXPECT_EQ(1, sink->calls[0].id);
    EXPECT_EQ(DISPATCH_METHOD, sink->calls[0].flags);
    ASSERT_EQ(2u, sink->calls[0].types.size());
    EXPECT_EQ(VT_BYREF | VT_I4, sink->calls[0].types[0]);
    EXPECT_EQ(VT_BYREF | VT_BOOL, sink->calls[0].types[1]);
}

TEST_F(EventTest, EverySinkIsCalledAndCookiesAreReused) {
    ComPtr<EventSink> a = EventSink::New();
    ComPtr<EventSink> b = EventSink::New();
    a->handler = [](DISPPARAMS* p) { *V_I4REF(&p->rgvarg[1]) += 1; };
    b->handler = [](DISPPARAMS* p) { *V_I4REF(&p->rgvarg[1]) *= 10; };
    const DWORD ca = Connect(ctl_.Get(), DIID__KxTestCtlEvents, a.Get());
    const DWORD cb = Connect(ctl_.Get(), DIID__KxTestCtlEvents, b.Get());
    EXPECT_EQ(1u, ca);
    EXPECT_EQ(2u, cb);
    LONG result = 0;
    ASSERT_HRESULT_SUCCEEDED(ctl_->Fire(1, &result));
    EXPECT_EQ(20, result); // a first, then b

    ASSERT_HRESULT_SUCCEEDED(Disconnect(ctl_.Get(), DIID__KxTestCtlEvents, ca));
    ASSERT_HRESULT_SUCCEEDED(ctl_->Fire(1, &result));
    EXPECT_EQ(10, result);
    EXPECT_EQ(1u, a->calls.size());
    EXPECT_EQ(CONNECT_E_NOCONNECTION, Disconnect(ctl_.Get(), DIID__KxTestCtlEvents, ca));
    EXPECT_EQ(CONNECT_E_NOCONNECTION, Disconnect(ctl_.Get(), DIID__KxTestCtlEvents, 99));
    EXPECT_EQ(1u, Connect(ctl_.Get(), DIID__KxTestCtlEvents, a.Get()));
}

TEST_F(EventTest, NoSinkLeavesTheValueAsItWas) {
    LONG result = 0;
    ASSERT_HRESULT_SUCCEEDED(ctl_->Fire(7, &result));
    EXPECT_EQ(7, result);
}

TEST_F(EventTest, PlainDispatchSinkIsAcceptedForEvents) {
    // A sink that answers only IDispatch (as script engines' sinks do).
    ComPtr<kx::AutoObject> sink = kx::AutoObject::New();
    sink->Define(
        L"Changed",
        [](WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*) {
            *V_I4REF(&p->rgvarg[1]) = -4;
            return S_OK;
        },
        1);
    EXPECT_NE(0u, Connect(ctl_.Get(), DIID__KxTestCtlEvents, sink.Get()));
    LONG result = 0;
    ASSERT_HRESULT_SUCCEEDED(ctl_->Fire(7, &result));
    EXPECT_EQ(-4, result);
}

TEST_F(EventTest, ChangeNotificationsNeedTheirInterface) {
    ComPtr<kx::AutoObject> notANotifySink = kx::AutoObject::New();
    HRESULT hr = S_OK;
    EXPECT_EQ(0u, Connect(ctl_.Get(), IID_IPropertyNotifySink, notANotifySink.Get(), &hr));
    EXPECT_EQ(CONNECT_E_CANNOTCONNECT, hr);
}

TEST_F(EventTest, SinkThatFailsDoesNotFailTheFiring) {
    ComPtr<kx::AutoObject> sink = kx::AutoObject::New();
    sink->Define(
        L"Changed",
        [](WORD, DISPPARAMS*, VARIANT*, EXCEPINFO* ei) { return kx::AutoObject::Raise(ei, 5, L"handler failed"); }, 1);
    Connect(ctl_.Get(), DIID__KxTestCtlEvents, sink.Get());
    LONG result = 0;
    EXPECT_EQ(S_OK, ctl_->Fire(3, &result));
    EXPECT_EQ(3, result);
}

TEST_F(EventTest, FrozenEventsAreDropped) {
    ComPtr<EventSink> sink = EventSink::New();
    Connect(ctl_.Get(), DIID__KxTestCtlEvents, sink.Get());
    ComPtr<IOleControl> control;
    ASSERT_HRESULT_SUCCEEDED(ctl_.As(&control));
    ASSERT_HRESULT_SUCCEEDED(control->FreezeEvents(TRUE));
    LONG result = 0;
    ctl_->Fire(3, &result);
    EXPECT_TRUE(sink->calls.empty());
    ASSERT_HRESULT_SUCCEEDED(control->FreezeEvents(FALSE));
    ctl_->Fire(3, &result);
    EXPECT_EQ(1u, sink->calls.size());
}

TEST_F(EventTest, HandlerMayLetGoOfTheControlDuringALateBoundCall) {
    ComPtr<IDispatch> disp;
    ASSERT_HRESULT_SUCCEEDED(ctl_.As(&disp));
    ComPtr<EventSink> sink = EventSink::New();
    sink->handler = [&disp](DISPPARAMS* p) {
        disp.Reset(); // the caller's last reference
        *V_I4REF(&p->rgvarg[1]) = 11;
    };
    Connect(ctl_.Get(), DIID__KxTestCtlEvents, sink.Get());
    ctl_.Reset();
    IDispatch* raw = disp.Get();
    VARIANTARG arg;
    V_VT(&arg) = VT_I4;
    V_I4(&arg) = 2;
    kx::Variant result;
    EXPECT_EQ(S_OK, kx::InvokeByName(raw, L"Fire", DISPATCH_METHOD, &arg, 1, result.get(), nullptr));
    EXPECT_EQ(VT_I4, result.vt());
    EXPECT_EQ(11, V_I4(result.get()));
    EXPECT_FALSE(disp);
    // The control went when the call ended, and took its sinks with it.
    EXPECT_EQ(S_OK, TestControlCanUnloadNow());
    EXPECT_EQ(1u, sink->calls.size());
}

TEST_F(EventTest, ConnectionPointsAreListedAndKnowTheirControl) {
    ComPtr<IConnectionPointContainer> cpc;
    ASSERT_HRESULT_SUCCEEDED(ctl_.As(&cpc));
    ComPtr<IEnumConnectionPoints> points;
    ASSERT_HRESULT_SUCCEEDED(cpc->EnumConnectionPoints(&points));
    IConnectionPoint* got[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, points->Next(3, got, &fetched));
    ASSERT_EQ(2u, fetched);
    std::vector<IID> iids;
    for (ULONG i = 0; i < fetched; ++i) {
        IID iid{};
        got[i]->GetConnectionInterface(&iid);
        iids.push_back(iid);
        ComPtr<IConnectionPointContainer> back;
        ASSERT_HRESULT_SUCCEEDED(got[i]->GetConnectionPointContainer(&back));
        EXPECT_TRUE(back.Get() == cpc.Get());
        got[i]->Release();
    }
    EXPECT_TRUE(iids[0] == DIID__KxTestCtlEvents);
    EXPECT_TRUE(iids[1] == IID_IPropertyNotifySink);

    ComPtr<IConnectionPoint> none;
    EXPECT_EQ(CONNECT_E_NOCONNECTION, cpc->FindConnectionPoint(IID_IDispatch, &none));

    ComPtr<EventSink> sink = EventSink::New();
    const DWORD cookie = Connect(ctl_.Get(), DIID__KxTestCtlEvents, sink.Get());
    ComPtr<IConnectionPoint> cp;
    ASSERT_HRESULT_SUCCEEDED(cpc->FindConnectionPoint(DIID__KxTestCtlEvents, &cp));
    ComPtr<IEnumConnections> conns;
    ASSERT_HRESULT_SUCCEEDED(cp->EnumConnections(&conns));
    CONNECTDATA cd{};
    ASSERT_EQ(S_OK, conns->Next(1, &cd, nullptr));
    EXPECT_EQ(cookie, cd.dwCookie);
    ComPtr<IUnknown> sinkUnknown;
    sink.As(&sinkUnknown);
    ComPtr<IUnknown> connectedUnknown;
    cd.pUnk->QueryInterface(IID_PPV_ARGS(&connectedUnknown));
    cd.pUnk->Release();
    EXPECT_TRUE(sinkUnknown.Get() == connectedUnknown.Get());
    EXPECT_EQ(S_FALSE, conns->Next(1, &cd, nullptr));
}

TEST_F(EventTest, ConnectionPointOutlivingItsControlAnswersUnexpected) {
    ComPtr<IConnectionPointContainer> cpc;
    ASSERT_HRESULT_SUCCEEDED(ctl_.As(&cpc));
    ComPtr<IConnectionPoint> cp;
    ASSERT_HRESULT_SUCCEEDED(cpc->FindConnectionPoint(IID_IPropertyNotifySink, &cp));
    cpc.Reset();
    ctl_.Reset();
    ComPtr<IConnectionPointContainer> back;
    EXPECT_EQ(E_UNEXPECTED, cp->GetConnectionPointContainer(&back));
}

TEST_F(EventTest, PropertyChangesAreNotified) {
    ComPtr<NotifySink> sink = NotifySink::New();
    EXPECT_EQ(1u, Connect(ctl_.Get(), IID_IPropertyNotifySink, sink.Get()));
    ComPtr<IPersistStreamInit> persist;
    ASSERT_HRESULT_SUCCEEDED(ctl_.As(&persist));
    EXPECT_EQ(S_FALSE, persist->IsDirty());
    kx::Bstr caption(L"new");
    ASSERT_HRESULT_SUCCEEDED(ctl_->put_Caption(caption.get()));
    ASSERT_HRESULT_SUCCEEDED(ctl_->put_Value(3));
    ASSERT_EQ(2u, sink->changed.size());
    EXPECT_EQ(1, sink->changed[0]);
    EXPECT_EQ(2, sink->changed[1]);
    EXPECT_EQ(1u, sink->editRequests.size());
    EXPECT_EQ(S_OK, persist->IsDirty());
}

TEST_F(EventTest, RefusedEditLeavesThePropertyUnchanged) {
    ComPtr<NotifySink> sink = NotifySink::New();
    sink->editAnswer = S_FALSE;
    Connect(ctl_.Get(), IID_IPropertyNotifySink, sink.Get());
    kx::Bstr caption(L"refused");
    ASSERT_HRESULT_SUCCEEDED(ctl_->put_Caption(caption.get()));
    kx::Bstr now;
    ASSERT_HRESULT_SUCCEEDED(ctl_->get_Caption(now.put()));
    EXPECT_EQ(L"KxTest", now.str());
    EXPECT_TRUE(sink->changed.empty());
}

} // namespace
} // namespace kxtest
