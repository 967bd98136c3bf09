#include "ComObject.h"

namespace kx {
namespace {
LONG g_Locks = 0;
}
void ModuleLock() { InterlockedIncrement(&g_Locks); }
void ModuleUnlock() { InterlockedDecrement(&g_Locks); }
LONG ModuleLockCount() { return g_Locks; }
} // namespace kx
