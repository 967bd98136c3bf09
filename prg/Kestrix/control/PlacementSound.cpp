#include "PlacementSound.h"
#include "KestrixBas.h"
#include "ModulePath.h"
#include <mmsystem.h>

namespace kestrix {

// Placement sound beside the library, played when a control is placed.
// winmm is loaded for the first sound only, so a host that loads and frees
// the library never pays for it; once loaded it stays, since a sound
// played asynchronously may outlast this library.
void PlacementSound(HMODULE module) {
    std::wstring path = kx::ModulePath(module);
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) return;
    path.replace(slash + 1, std::wstring::npos, L"CtlPaste.wav");
    if (!gFn_FileExists(path)) return;
    HMODULE winmm = GetModuleHandleW(L"winmm.dll");
    if (!winmm) winmm = LoadLibraryW(L"winmm.dll");
    if (!winmm) return; // no sound system: the control is placed all the same
    using PlaySoundW = BOOL(WINAPI*)(LPCWSTR, UINT);
    if (auto play = reinterpret_cast<PlaySoundW>(GetProcAddress(winmm, "sndPlaySoundW"))) play(path.c_str(), SND_ASYNC);
}

} // namespace kestrix
