// The control class as its container drives it: its class, its size, its
// window and its end.
#include "Kestrix.h"
#include "KestrixBas.h"
#include "PageIds.h"
#include "resource.h"

namespace kestrix {

namespace {

// 465 x 420 twips, the control's one size.
constexpr SIZEL kFixedExtent{820, 741};
constexpr DWORD kMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INVISIBLEATRUNTIME | OLEMISC_ACTIVATEWHENVISIBLE |
    OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
static_assert(kMiscStatus == 0x20591, "the misc status registered and reported since the first release");

} // namespace

const kx::ole::ControlClassInfo kKestrixClass = {
    &CLSID_Kestrix,
    &IID__Kestrix2,
    &DIID___Kestrix,
    kMiscStatus,
    kFixedExtent,
    kKestrixPages,
    static_cast<UINT>(std::size(kKestrixPages)),
    IDB_KESTRIX_FACE,
    "KestrixControl",
    &IID__Kestrix, // as published in 1.34
};

// Each instance holds its thread's store and session while it lives.
Kestrix::Kestrix() : ControlBase(kKestrixClass) { gFn_EngineHold(); }

Kestrix::~Kestrix() {
    Terminate();
    gFn_EngineLetGo();
}

void Kestrix::OnSiteChanged() {
    if (ClientSite()) {
        sited_ = true;
    } else if (sited_) {
        // The container lets the control go: its end.
        Terminate();
    }
}

void Kestrix::Terminate() noexcept {
    if (terminated_) return;
    terminated_ = true;
    // The instance holds its thread's state until its destructor.
    EngineState* const state = gFn_EngineIfAny();
    if (!state) return;
    EngineState& e = *state;
    if (e.g_EventsStarted) gFn_SubClassOff();
    e.g_CallbackCtl.Reset();
    e.g_ParentForm.Reset();
    e.g_Ambient.Reset();
}

void Kestrix::OnSetExtent(SIZEL* himetric) { *himetric = kFixedExtent; }

void Kestrix::OnWindowCreated(HWND) {
    if (gFn_Engine().g_UserMode) PrepareReceiver();
}

bool Kestrix::OnMessage(UINT msg, WPARAM, LPARAM, LRESULT* result) {
    if (msg != WM_PAINT || !gFn_Engine().g_UserMode) return false;
    // At run time a paint is the link's delivery: the window text is the data.
    ReceiveLink();
    ValidateRect(Hwnd(), nullptr);
    *result = 0;
    return true;
}

} // namespace kestrix
