#include "Units.h"

namespace kx {

int ScreenDpi(int axis) {
    HDC dc = GetDC(nullptr);
    const int dpi = dc ? GetDeviceCaps(dc, axis) : 0;
    if (dc) ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}

int TwipsToPixelsX(LONG twips) { return MulDiv(twips, ScreenDpi(LOGPIXELSX), kTwipsPerInch); }
int TwipsToPixelsY(LONG twips) { return MulDiv(twips, ScreenDpi(LOGPIXELSY), kTwipsPerInch); }
LONG PixelsToTwipsX(int pixels) { return MulDiv(pixels, kTwipsPerInch, ScreenDpi(LOGPIXELSX)); }
LONG PixelsToTwipsY(int pixels) { return MulDiv(pixels, kTwipsPerInch, ScreenDpi(LOGPIXELSY)); }

SIZE HimetricToPixels(const SIZEL& himetric) {
    return SIZE{MulDiv(himetric.cx, ScreenDpi(LOGPIXELSX), kHimetricPerInch),
                MulDiv(himetric.cy, ScreenDpi(LOGPIXELSY), kHimetricPerInch)};
}

} // namespace kx
