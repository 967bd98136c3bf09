// The sound a control makes when it is placed on a form in a designer.
#pragma once
#include <windows.h>

namespace kestrix {

// Plays CtlPaste.wav from beside the given library, if it is there.
void PlacementSound(HMODULE module);

} // namespace kestrix
