// The engine's state and its accessor.
#include "KestrixBas.h"

const wchar_t* const Def_NothingText = L"(Nothing)";

namespace {
EngineState g_Engine;
} // namespace

EngineState& gFn_Engine() { return g_Engine; }
EngineState* gFn_EngineIfAny() noexcept { return &g_Engine; }
void gFn_EngineHold() { ++g_Engine.instances; }
void gFn_EngineLetGo() noexcept { --g_Engine.instances; }
