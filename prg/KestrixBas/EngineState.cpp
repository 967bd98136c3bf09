// The engine's state of each user-interface thread, behind one TLS slot.
// Not thread_local: with this toolchain that is the thread library's
// emulation, a call per message and records that outlive the library.
#include "KestrixBas.h"
#include <winternl.h>
#include <memory>
#include <new>

const wchar_t* const Def_NothingText = L"(Nothing)";

namespace {

// Taken when the library loads, given back when it unloads.
struct Slot {
    const DWORD index = TlsAlloc();
    ~Slot() { TlsFree(index); }
};
const Slot g_Slot;

} // namespace

// NtCurrentTeb reads the thread's block at a fixed segment offset, which GCC
// takes for an access through a null pointer.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
#endif
EngineState* gFn_EngineIfAny() noexcept {
    // Asked on every message: the thread's own block holds the first 64
    // slots, read there as TlsGetValue reads them, without its call.
    if (g_Slot.index < 64) return static_cast<EngineState*>(NtCurrentTeb()->TlsSlots[g_Slot.index]);
    return static_cast<EngineState*>(TlsGetValue(g_Slot.index));
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

EngineState& gFn_Engine() {
    if (EngineState* const e = gFn_EngineIfAny()) return *e;
    auto made = std::make_unique<EngineState>();
    if (!TlsSetValue(g_Slot.index, made.get())) throw std::bad_alloc();
    return *made.release();
}

void gFn_EngineHold() { ++gFn_Engine().instances; }

void gFn_EngineLetGo() noexcept {
    EngineState* const e = gFn_EngineIfAny();
    if (!e || --e->instances > 0) return;
    // The thread's last holder: no window keeps calling into the state.
    if (e->g_EventsStarted) gFn_SubClassOff();
    TlsSetValue(g_Slot.index, nullptr);
    std::unique_ptr<EngineState> gone(e);
}
