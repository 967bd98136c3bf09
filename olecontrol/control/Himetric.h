// HIMETRIC (0.01 mm) to screen pixels and back, as containers measure
// control extents.
#pragma once
#include <windows.h>

namespace kx::ole {

SIZE HimetricToPixels(const SIZEL& himetric);
SIZEL PixelsToHimetric(const SIZE& pixels);

} // namespace kx::ole
