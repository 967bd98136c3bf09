#include "Himetric.h"

namespace kx::ole {

namespace {
constexpr int kHimetricPerInch = 2540;

SIZE ScreenDpi() {
    SIZE dpi{96, 96};
    if (HDC dc = GetDC(nullptr)) {
        dpi.cx = GetDeviceCaps(dc, LOGPIXELSX);
        dpi.cy = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
    }
    return dpi;
}
} // namespace

SIZE HimetricToPixels(const SIZEL& himetric) {
    const SIZE dpi = ScreenDpi();
    return SIZE{MulDiv(himetric.cx, dpi.cx, kHimetricPerInch), MulDiv(himetric.cy, dpi.cy, kHimetricPerInch)};
}

SIZEL PixelsToHimetric(const SIZE& pixels) {
    const SIZE dpi = ScreenDpi();
    return SIZEL{MulDiv(pixels.cx, kHimetricPerInch, dpi.cx), MulDiv(pixels.cy, kHimetricPerInch, dpi.cy)};
}

} // namespace kx::ole
