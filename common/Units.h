// The units of forms and controls, in one place: screen pixels, twips
// (1/1440 inch, the form's unit) and HIMETRIC (0.01 mm, the unit of OLE
// extents).
#pragma once
#include <windows.h>

namespace kx {

constexpr int kTwipsPerInch = 1440;
constexpr int kHimetricPerInch = 2540;

// The screen's pixels per inch along one axis (LOGPIXELSX or LOGPIXELSY);
// 96 when the screen tells none.
int ScreenDpi(int axis);

int TwipsToPixelsX(LONG twips);
int TwipsToPixelsY(LONG twips);
LONG PixelsToTwipsX(int pixels);
LONG PixelsToTwipsY(int pixels);

inline LONG TwipsToHimetric(LONG twips) { return MulDiv(twips, kHimetricPerInch, kTwipsPerInch); }
inline LONG HimetricToTwips(LONG himetric) { return MulDiv(himetric, kTwipsPerInch, kHimetricPerInch); }
SIZE HimetricToPixels(const SIZEL& himetric);

} // namespace kx
