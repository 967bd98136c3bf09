// The control held by code without any form, as VBA holds it (Dim WithEvents
// K As Kestrix, Set K = New Kestrix or CreateObject): made with
// CoCreateInstance, never sited or initialised, its events sunk through
// IConnectionPointContainer, a window captured through TargetHandle.
#include "KestrixFixture.h"
#include "Ansi.h"
#include "ByName.h"
#include "ComObject.h"
#include "Kestrix32.h"
#include "Variant.h"
#include "WindowRecorder.h"
#include <olectl.h>
#include <memory>

using namespace kxtest;

namespace {

constexpr UINT kPlain = WM_USER + 8;
constexpr UINT kCancel = WM_USER + 7;
constexpr UINT kChange = WM_USER + 9;
constexpr UINT kLetGo = WM_USER + 6; // the sink lets the control go in its handler

// A WithEvents variable's sink: GetEvents (1) noted, cancel and change
// applied through the by-reference arguments (rgvarg is last first).
class KestrixSink : public kx::ComObject<KestrixSink, IDispatch> {
public:
    static kx::ComPtr<KestrixSink> New() {
        kx::ComPtr<KestrixSink> s;
        Make(s);
        return s;
    }
    bool QueryOther(REFIID iid, void** out) {
        if (iid != DIID___Kestrix) return false;
        *out = static_cast<IDispatch*>(this);
        return true;
    }
    KX_NO_TYPE_INFO
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*, UINT*) override {
        if (id != 1 || !p || p->cArgs != 5) return S_OK;
        IDispatch* control = *V_DISPATCHREF(&p->rgvarg[4]);
        LONG* msg = V_I4REF(&p->rgvarg[3]);
        LONG_PTR* p1 = static_cast<LONG_PTR*>(V_BYREF(&p->rgvarg[2]));
        VARIANT_BOOL* cancel = V_BOOLREF(&p->rgvarg[0]);
        seen.push_back(*msg);
        sameControl = sameControl && held && kx::SameObject(control, held->Get());
        if (*msg == static_cast<LONG>(kCancel)) {
            *cancel = VARIANT_TRUE;
            if (answer) {
                try {
                    kx::byname::LetLongPtr(control, L"ReturnValue", answer);
                } catch (...) {
                    answer = -1; // the instance refused: nothing escapes a sink
                }
            }
        }
        if (*msg == static_cast<LONG>(kChange)) {
            *msg = static_cast<LONG>(kPlain);
            *p1 = 4242;
        }
        if (*msg == static_cast<LONG>(kLetGo) && held) held->Reset();
        return S_OK;
    }
    std::vector<LONG> seen;
    LONG_PTR answer = 0; // the ReturnValue a cancelled message gets, when not 0
    bool sameControl = true;
    kx::ComPtr<IDispatch>* held = nullptr; // the program's variable

private:
    friend class kx::ComObject<KestrixSink, IDispatch>;
    KestrixSink() = default;
};

HRESULT CanUnloadNow() {
    const auto fn = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        GetProcAddress(GetModuleHandleW(L"Kestrix.OCX"), "DllCanUnloadNow"));
    return fn ? fn() : E_FAIL;
}

class BareInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterKestrix();
        window_ =
            CreateWindowExA(0, "STATIC", "office form", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        recorder_ = std::make_unique<WindowRecorder>(window_);
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_Kestrix, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&k_)));
        sink_->held = std::addressof(k_); // a ComPtr's & releases what it holds
        kx::ComPtr<IConnectionPointContainer> cpc;
        kx::ComPtr<IConnectionPoint> cp;
        ASSERT_HRESULT_SUCCEEDED(k_.As(&cpc));
        ASSERT_HRESULT_SUCCEEDED(cpc->FindConnectionPoint(DIID___Kestrix, &cp));
        DWORD cookie = 0;
        ASSERT_HRESULT_SUCCEEDED(cp->Advise(sink_.Get(), &cookie));
        const auto raised = RaisedBy([&] {
            kx::byname::Let(k_.Get(), L"DebugMode", false);
            kx::byname::LetLongPtr(k_.Get(), L"TargetHandle", reinterpret_cast<LONG_PTR>(window_));
            kx::byname::Invoke(k_.Get(), L"EventsStart", DISPATCH_METHOD, nullptr, 0, nullptr);
        });
        ASSERT_FALSE(raised) << "raised " << raised->number << " " << kx::ToAnsi(raised->description);
        kx::Variant started;
        kx::byname::Invoke(k_.Get(), L"IsEventsStart", DISPATCH_METHOD, nullptr, 0, started.get());
        ASSERT_EQ(V_VT(started.get()), VT_BOOL);
        ASSERT_EQ(V_BOOL(started.get()), VARIANT_TRUE);
    }
    void TearDown() override {
        k_.Reset();
        recorder_.reset();
        DestroyWindow(window_);
    }
    HWND window_ = nullptr;
    std::unique_ptr<WindowRecorder> recorder_;
    kx::ComPtr<IDispatch> k_;
    kx::ComPtr<KestrixSink> sink_ = KestrixSink::New();
};

} // namespace

TEST_F(BareInstanceTest, ItsSinkGetsTheMessagesAndTheLastReleaseEndsTheCapture) {
    SendMessageA(window_, kPlain, 1, 2);
    EXPECT_EQ(SendMessageA(window_, kCancel, 0, 0), 0);
    SendMessageA(window_, kChange, 1, 2);
    EXPECT_EQ(sink_->seen, (std::vector<LONG>{kPlain, kCancel, kChange}));
    EXPECT_TRUE(sink_->sameControl) << "GetEvents did not name the instance itself";
    EXPECT_TRUE(recorder_->Seen(kCancel).empty()) << "a cancelled message reached the window";
    const auto plain = recorder_->Seen(kPlain);
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_EQ(plain[1].wp, 4242u);

    // Set K = Nothing while it captures.
    k_.Reset();
    EXPECT_TRUE(recorder_->Installed()) << "the window does not run its own procedure again";
    SendMessageA(window_, kPlain, 3, 4);
    EXPECT_EQ(sink_->seen.size(), 3u);
    EXPECT_EQ(recorder_->Seen(kPlain).size(), 3u);
    EXPECT_EQ(CanUnloadNow(), S_OK);
}

TEST_F(BareInstanceTest, ItsSinkAnswersAMessageThroughTheInstance) {
    sink_->answer = 31;
    EXPECT_EQ(SendMessageA(window_, kCancel, 0, 0), 31);
    EXPECT_TRUE(recorder_->Seen(kCancel).empty());
}

TEST_F(BareInstanceTest, ReleasedFromInsideItsOwnHandlerTheMessageStillReachesTheWindow) {
    SendMessageA(window_, kLetGo, 5, 6);
    EXPECT_FALSE(k_);
    EXPECT_EQ(recorder_->Seen(kLetGo).size(), 1u) << "the message of the last event was lost";
    EXPECT_TRUE(recorder_->Installed());
    SendMessageA(window_, kPlain, 0, 0);
    EXPECT_EQ(sink_->seen, (std::vector<LONG>{kLetGo}));
    EXPECT_EQ(CanUnloadNow(), S_OK);
}
